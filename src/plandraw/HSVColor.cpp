// RGB and HSV conversions of 16-bit colour components.
#include "plandraw/HSVColor.h"

#include <algorithm>
#include <cmath>

namespace {
uint16_t Component(double v) {
  if (!(v > 0)) return 0;
  if (v >= 65535.0) return 65535;
  return static_cast<uint16_t>(v + 0.5);
}
}  // namespace

void RGBtoHSV(const uint16_t rgb[3], uint16_t hsv[3]) {
  if (!rgb || !hsv) return;
  const double r = rgb[0], g = rgb[1], b = rgb[2];
  const double max = std::max({r, g, b}), min = std::min({r, g, b});
  const double delta = max - min;
  hsv[2] = static_cast<uint16_t>(max);
  if (max <= 0 || delta <= 0) {
    hsv[0] = hsv[1] = 0;
    return;
  }
  hsv[1] = Component(delta / max * 65535.0);
  double sector;
  if (r == max) sector = (g - b) / delta;
  else if (g == max) sector = 2.0 + (b - r) / delta;
  else sector = 4.0 + (r - g) / delta;
  if (sector < 0) sector += 6.0;
  const double hue = sector / 6.0 * 65535.0;
  hsv[0] = hue >= 65535.0 ? 0 : Component(hue);
}

void HSVtoRGB(const uint16_t hsv[3], uint16_t rgb[3]) {
  if (!hsv || !rgb) return;
  const double v = hsv[2], s = hsv[1] / 65535.0;
  if (hsv[1] == 0) {
    rgb[0] = rgb[1] = rgb[2] = hsv[2];
    return;
  }
  double sector = hsv[0] / 65535.0 * 6.0;
  if (sector >= 6.0) sector = 0;
  const int i = static_cast<int>(std::floor(sector));
  const double f = sector - i;
  const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
  double r, g, b;
  switch (i) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: r = v, g = p, b = q; break;
  }
  rgb[0] = Component(r);
  rgb[1] = Component(g);
  rgb[2] = Component(b);
}
