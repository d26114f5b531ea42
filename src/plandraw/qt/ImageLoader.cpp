// The image loader.
#include "plandraw/qt/ImageLoader.h"

#include <cstdlib>
#include <cstring>
#include <QFile>
#include <QImage>
#include <QImageReader>

namespace {

constexpr char kPngSignature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
// Chunks a PNG may hold before it is taken for a damaged file; each takes at least 12 bytes.
constexpr int kMaxPngChunks = 1 << 16;

bool Refuse(QString* error, const char* text) {
  if (error) *error = QString::fromLatin1(text);
  return false;
}

uint32_t BigEndian32(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return uint32_t(u[0]) << 24 | uint32_t(u[1]) << 16 | uint32_t(u[2]) << 8 | uint32_t(u[3]);
}

// Walks the chunk headers of a PNG (seeking past the data) before the decoder sees it:
// every chunk must lie inside the file and no ancillary chunk (text, profiles, private
// data, which the decoder would allocate whole) may be longer than the limit.
bool CheckPngChunks(QIODevice& file, QString* error) {
  const qint64 size = file.size();
  qint64 at = sizeof kPngSignature;
  for (int count = 0; count < kMaxPngChunks; ++count) {
    char head[8];
    if (!file.seek(at) || file.read(head, sizeof head) != qint64(sizeof head))
      return Refuse(error, "The image file is damaged: it ends too early.");
    const qint64 length = BigEndian32(head);
    if (length > 0x7fffffff || at + 12 + length > size)
      return Refuse(error, "The image file is damaged: a part of it runs past its end.");
    const bool ancillary = (head[4] & 0x20) != 0;
    if (ancillary && length > kImageMaxAncillaryChunkBytes)
      return Refuse(error, "The image file carries too much additional data.");
    if (std::memcmp(head + 4, "IEND", 4) == 0) return true;
    at += 12 + length;
  }
  return Refuse(error, "The image file is damaged: it has too many parts.");
}

uint32_t LittleEndian32(const unsigned char* u) {
  return uint32_t(u[0]) | uint32_t(u[1]) << 8 | uint32_t(u[2]) << 16 | uint32_t(u[3]) << 24;
}

// An uncompressed BMP (plain or bit-field rows) must hold every row its header claims: the
// decoder would otherwise give a picture of the claimed size from a few bytes, the rest black.
// The decoder takes a header of any other size than the four Windows ones as the oldest kind
// (16-bit width and height, never compressed), so such a header is measured that way.
bool CheckBmpLength(QIODevice& file, QString* error) {
  unsigned char head[34] = {};
  if (!file.seek(0)) return true;
  const qint64 got = file.read(reinterpret_cast<char*>(head), sizeof head);
  if (got < 26 || head[0] != 'B' || head[1] != 'M') return true;
  const uint32_t infoSize = LittleEndian32(head + 14);
  qint64 width = 0, height = 0, bits = 0;
  if (infoSize == 40 || infoSize == 64 || infoSize == 108 || infoSize == 124) {
    if (got < qint64(sizeof head)) return true;  // the decoder can't read such a header
    const uint32_t compression = LittleEndian32(head + 30);
    if (compression != 0 && compression != 3) return true;
    width = std::abs(qint64(int32_t(LittleEndian32(head + 18))));
    height = std::abs(qint64(int32_t(LittleEndian32(head + 22))));
    bits = head[28] | head[29] << 8;
  } else {
    width = std::abs(qint64(int16_t(head[18] | head[19] << 8)));
    height = std::abs(qint64(int16_t(head[20] | head[21] << 8)));
    bits = head[24] | head[25] << 8;
  }
  const qint64 rowBytes = (width * bits + 31) / 32 * 4;
  if (rowBytes == 0 || height == 0) return true;
  // Compared by division: the claimed rows times their length may pass any integer.
  const qint64 rowsHeld = (file.size() - qint64(LittleEndian32(head + 10))) / rowBytes;
  if (file.size() < qint64(LittleEndian32(head + 10)) || height > rowsHeld)
    return Refuse(error, "The image file is damaged: it ends too early.");
  return true;
}

}  // namespace

QImage LoadImageFile(const QString& path, QString* error, const QSize& decodedSize) {
  if (error) error->clear();
  if (path.isEmpty()) {
    Refuse(error, "No image file was named.");
    return {};
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    Refuse(error, file.exists() ? "The image file could not be opened." : "The image file could not be found.");
    return {};
  }
  if (file.isSequential()) {
    Refuse(error, "The image is not a file.");
    return {};
  }
  char signature[sizeof kPngSignature] = {};
  const qint64 got = file.read(signature, sizeof signature);
  if (got == qint64(sizeof signature) && std::memcmp(signature, kPngSignature, sizeof signature) == 0 &&
      !CheckPngChunks(file, error))
    return {};
  if (!CheckBmpLength(file, error)) return {};
  if (!file.seek(0)) {
    Refuse(error, "The image file could not be read.");
    return {};
  }

  QImageReader reader(&file);
  reader.setDecideFormatFromContent(true);
  // The header tells the size: an image whose pixels would pass the limit is refused
  // before any of it is decoded.
  reader.setAllocationLimit(kImageAllocationLimitMB);
  if (!reader.canRead()) {
    Refuse(error, "The file is not an image of a kind that can be read.");
    return {};
  }
  const QSize size = reader.size();
  if (size.isValid()) {
    const qint64 bytes = qint64(size.width()) * size.height() * 4;
    if (size.isEmpty() || bytes > (qint64(kImageAllocationLimitMB) << 20)) {
      Refuse(error, "The image is too large.");
      return {};
    }
  }
  if (decodedSize.isValid() && !decodedSize.isEmpty()) reader.setScaledSize(decodedSize);
  QImage image;
  if (!reader.read(&image) || image.isNull()) {
    if (error) *error = QStringLiteral("The image could not be read: %1.").arg(reader.errorString());
    return {};
  }
  return image;
}

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
  return DIBImageFromQImage(LoadImageFile(QFile::decodeName(path)));
}
