// Pixel counts for comparing two pictures of the plan drawn the same size.
#pragma once
#include <QImage>

// How many pixels differ between the two pictures.
inline int DifferentPixels(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

// How many pixels are not white (drawn on).
inline int Inked(const QImage& a) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != qRgb(255, 255, 255);
  return n;
}
