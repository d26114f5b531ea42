// The image loader refuses, before decoding, images whose pixels or side data would take
// too much memory, and says why.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <atomic>
#include <filesystem>

#include "AllocationWatch.h"
#include "plandraw/qt/ImageLoader.h"

namespace {

uint32_t Crc32(const QByteArray& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (char c : bytes) {
    crc ^= uint8_t(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

QByteArray BigEndian(uint32_t v) {
  QByteArray b(4, 0);
  for (int i = 0; i < 4; ++i) b[i] = char(v >> (24 - 8 * i));
  return b;
}

QByteArray Chunk(const char* type, const QByteArray& data) {
  QByteArray body = QByteArray(type, 4) + data;
  return BigEndian(uint32_t(data.size())) + body + BigEndian(Crc32(body));
}

// A 4 x 3 PNG as Qt writes it.
QByteArray SmallPng() {
  QImage image(4, 3, QImage::Format_RGB888);
  image.fill(QColor(20, 40, 60));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

// The PNG with a text chunk of `textBytes` bytes just before its end chunk.
QByteArray WithText(QByteArray png, int textBytes) {
  QByteArray text = "Comment";
  text += '\0';
  text += QByteArray(textBytes - text.size(), 'x');
  png.insert(png.size() - 12, Chunk("tEXt", text));
  return png;
}

std::string Save(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
  QFile file(dir.filePath(name));
  file.open(QIODevice::WriteOnly);
  file.write(bytes);
  return file.fileName().toStdString();
}

}  // namespace

TEST(ImageLoaderLimits, TextChunkClaimingTwoGigabytesIsRefusedWithoutTheMemory) {
  const std::string path =
      (std::filesystem::path(__FILE__).parent_path() / "data" / "png-text-chunk-claims-2GB.png").string();
  ASSERT_TRUE(std::filesystem::exists(path));
  const bool watching = WatchAllocations();
  QString error;
  const QImage image = LoadImageFile(QString::fromStdString(path), &error);
  EXPECT_TRUE(image.isNull());
  EXPECT_FALSE(error.isEmpty());
  if (watching) EXPECT_LT(LargestAllocation(), size_t(256) << 20);
  EXPECT_EQ(ApplePortDIBImageLoad(path.c_str()), nullptr);
}

TEST(ImageLoaderLimits, AncillaryChunksBeyondTheLimitAreRefused) {
  QTemporaryDir dir;
  QString error;
  const std::string modest = Save(dir, "modest.png", WithText(SmallPng(), 1000));
  QImage image = LoadImageFile(QString::fromStdString(modest), &error);
  EXPECT_EQ(image.size(), QSize(4, 3)) << error.toStdString();
  EXPECT_TRUE(error.isEmpty());

  const std::string huge = Save(dir, "huge.png", WithText(SmallPng(), int(kImageMaxAncillaryChunkBytes) + 1));
  const bool watching = WatchAllocations();
  image = LoadImageFile(QString::fromStdString(huge), &error);
  EXPECT_TRUE(image.isNull());
  EXPECT_EQ(error, "The image file carries too much additional data.");
  if (watching) EXPECT_LT(LargestAllocation(), size_t(kImageMaxAncillaryChunkBytes));
}

TEST(ImageLoaderLimits, PixelsBeyondTheLimitAreRefusedBeforeDecoding) {
  QTemporaryDir dir;
  QByteArray png = SmallPng();
  // IHDR: 20000 x 20000 pixels (1.6 GB of pixels at four bytes each).
  QByteArray ihdr = png.mid(16, 13);
  ihdr.replace(0, 4, BigEndian(20000));
  ihdr.replace(4, 4, BigEndian(20000));
  png.replace(8, 25, Chunk("IHDR", ihdr));
  const std::string path = Save(dir, "vast.png", png);
  const bool watching = WatchAllocations();
  QString error;
  EXPECT_TRUE(LoadImageFile(QString::fromStdString(path), &error).isNull());
  EXPECT_EQ(error, "The image is too large.");
  if (watching) EXPECT_LT(LargestAllocation(), size_t(64) << 20);

  const std::string junk = Save(dir, "junk.png", "not an image at all");
  EXPECT_TRUE(LoadImageFile(QString::fromStdString(junk), &error).isNull());
  EXPECT_EQ(error, "The file is not an image of a kind that can be read.");
  EXPECT_TRUE(LoadImageFile(dir.filePath("missing.png"), &error).isNull());
  EXPECT_EQ(error, "The image file could not be found.");
}

// An uncompressed BMP whose rows stop before the height its header gives is refused, whether a
// row or nearly all of them are missing; the whole file reads.
TEST(ImageLoaderLimits, BmpFilesCutShortAreRefused) {
  QTemporaryDir dir;
  QImage image(30, 20, QImage::Format_RGB888);
  image.fill(QColor(200, 100, 50));
  QByteArray bmp;
  QBuffer buffer(&bmp);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(image.save(&buffer, "BMP"));
  QString error;
  const QImage whole = LoadImageFile(QString::fromStdString(Save(dir, "whole.bmp", bmp)), &error);
  ASSERT_FALSE(whole.isNull()) << error.toStdString();
  EXPECT_EQ(whole.size(), QSize(30, 20));
  for (int cut : {1, 90, int(bmp.size()) - 70}) {
    SCOPED_TRACE(cut);
    const std::string path = Save(dir, "cut.bmp", bmp.left(bmp.size() - cut));
    EXPECT_TRUE(LoadImageFile(QString::fromStdString(path), &error).isNull());
    EXPECT_EQ(error, "The image file is damaged: it ends too early.");
  }
}

// A BMP of the oldest kind (a 12-byte header of 16-bit sizes), and any header the decoder takes
// for one, is held to its rows the same way, however short the file.
TEST(ImageLoaderLimits, OldKindBmpFilesCutShortAreRefused) {
  QTemporaryDir dir;
  // 3 x 2 pixels of 24 bits: rows of 12 bytes after a 26-byte head.
  QByteArray bmp("BM", 2);
  auto put = [&bmp](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) bmp.append(char((v >> (8 * i)) & 0xFF));
  };
  put(50, 4), put(0, 4), put(26, 4);
  put(12, 4), put(3, 2), put(2, 2), put(1, 2), put(24, 2);
  for (int i = 0; i < 24; ++i) bmp.append(char(i % 3 == 0 ? 200 : 40));
  QString error;
  const QImage whole = LoadImageFile(QString::fromStdString(Save(dir, "old.bmp", bmp)), &error);
  ASSERT_FALSE(whole.isNull()) << error.toStdString();
  EXPECT_EQ(whole.size(), QSize(3, 2));
  const std::string cut = Save(dir, "old-cut.bmp", bmp.left(bmp.size() - 5));
  EXPECT_TRUE(LoadImageFile(QString::fromStdString(cut), &error).isNull());
  EXPECT_EQ(error, "The image file is damaged: it ends too early.");
  // 31 bytes whose header size is none of the Windows ones: read as the oldest kind, they claim
  // 9,411 x 3,584 pixels (a top-down picture) and hold none of them.
  const QByteArray claims = QByteArray::fromBase64("Qk1GAAAAAAAALAAyAAAAAAIAwyQA8gEAGACJzz/Pxw==");
  const std::string vast = Save(dir, "claims.bmp", claims);
  EXPECT_TRUE(LoadImageFile(QString::fromStdString(vast), &error).isNull());
  EXPECT_EQ(error, "The image file is damaged: it ends too early.");
}
