// Loading image files into packed RGB records.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <cstring>
#include <fstream>

#include "plandraw/qt/ImageLoader.h"

namespace {

struct TempFolder {
  QTemporaryDir dir;
  std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
};

}  // namespace

TEST(ImageLoader, RgbaImageGivesThreeBytesPerPixelBottomRowFirst) {
  TempFolder tmp;
  QImage img(2, 2, QImage::Format_RGBA8888);
  img.setPixelColor(0, 0, QColor(10, 20, 30, 255));
  img.setPixelColor(1, 0, QColor(40, 50, 60, 128));
  img.setPixelColor(0, 1, QColor(70, 80, 90, 255));
  img.setPixelColor(1, 1, QColor(100, 110, 120, 255));
  const std::string file = tmp.path("rgba.png");
  ASSERT_TRUE(img.save(QString::fromStdString(file)));

  DIBImage* image = ApplePortDIBImageLoad(file.c_str());
  ASSERT_NE(image, nullptr);
  ASSERT_NE(image->pixels, nullptr);
  EXPECT_EQ(image->width, 2);
  EXPECT_EQ(image->height, 2);
  const uint8_t expected[12] = {70, 80, 90, 100, 110, 120, 10, 20, 30, 40, 50, 60};
  EXPECT_EQ(memcmp(image->pixels, expected, 12), 0);
  FreeDIBImage(image);
}

TEST(ImageLoader, RowsArePackedWhateverTheFormatPads) {
  TempFolder tmp;
  for (const char* name : {"odd.bmp", "odd.png", "odd.jpg"}) {
    QImage img(3, 5, QImage::Format_RGB888);  // 9-byte rows, padded to 12 in memory
    img.fill(QColor(200, 100, 50));
    img.setPixelColor(2, 4, QColor(0, 0, 255));
    const std::string file = tmp.path(name);
    ASSERT_TRUE(img.save(QString::fromStdString(file), nullptr, 100)) << name;
    DIBImage* image = ApplePortDIBImageLoad(file.c_str());
    ASSERT_NE(image, nullptr) << name;
    ASSERT_NE(image->pixels, nullptr);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 5);
    // The last pixel of the picture's bottom row is the third pixel of the block.
    EXPECT_LT(image->pixels[6], 40) << name;
    EXPECT_GT(image->pixels[8], 215) << name;
    // The last byte of the block belongs to the top row's last pixel.
    EXPECT_NEAR(image->pixels[3 * 5 * 3 - 3], 200, 6) << name;
    FreeDIBImage(image);
  }
}

TEST(ImageLoader, MissingOrUnreadableFilesGiveNone) {
  TempFolder tmp;
  EXPECT_EQ(ApplePortDIBImageLoad(nullptr), nullptr);
  EXPECT_EQ(ApplePortDIBImageLoad(""), nullptr);
  EXPECT_EQ(ApplePortDIBImageLoad(tmp.path("missing.png").c_str()), nullptr);
  const std::string junk = tmp.path("junk.png");
  std::ofstream(junk) << "\x89PNG\r\n\x1a\n truncated";
  EXPECT_EQ(ApplePortDIBImageLoad(junk.c_str()), nullptr);
  EXPECT_EQ(DIBImageFromQImage(QImage()), nullptr);
}
