// The image loader.
#include "plandraw/qt/ImageLoader.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

DIBImage* DIBImageFromQImage(const QImage& image) {
  if (image.isNull()) return nullptr;
  // Alpha is dropped, not composited: the colour of each pixel is kept as stored.
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  if (rgb.isNull()) return nullptr;
  DrawImageData data;
  data.width = rgb.width();
  data.height = rgb.height();
  data.bytesPerPixel = 3;
  data.bytesPerRow = static_cast<int32_t>(rgb.bytesPerLine());
  data.pixels = rgb.constBits();
  return CreateDIBImageFromPixels(data);
}

DIBImage* ApplePortDIBImageLoad(const char* path) {
  if (!path || !*path) return nullptr;
  QImageReader reader(QFile::decodeName(path));
  // An image whose size would overflow the pixel block is refused before decoding.
  reader.setAllocationLimit(1024);
  QImage image;
  if (!reader.read(&image)) return nullptr;
  return DIBImageFromQImage(image);
}
