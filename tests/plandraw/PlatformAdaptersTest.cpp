// Point, rectangle and font adapters, pixel packing, and the plan's extent.
#include <gtest/gtest.h>

#include <cstring>

#include "TestDocument.h"
#include "model/ViewStateGuard.h"
#include "plandraw/PlatformAdapters.h"

TEST(PlatformAdapters, RectanglesAndPoints) {
  NSRect r = NSMakeRect(10.4f, 20.6f, 5.2f, 5.2f);
  RECT R = ConvertNSRectToRECT(&r);
  EXPECT_EQ(R.left, 10);
  EXPECT_EQ(R.top, 21);
  EXPECT_EQ(R.right, 16);
  EXPECT_EQ(R.bottom, 26);
  R = ConvertNSRectToRECT(nullptr);
  EXPECT_EQ(R.left | R.top | R.right | R.bottom, 0);
  NSRect huge = NSMakeRect(1e30f, -1e30f, std::numeric_limits<float>::quiet_NaN(), 1);
  R = ConvertNSRectToRECT(&huge);  // saturates instead of overflowing
  EXPECT_EQ(R.left, INT32_MAX);
  EXPECT_EQ(R.top, INT32_MIN);
  EXPECT_EQ(R.right, 0);

  RECT in{10, 21, 16, 26};
  NSRect back = ConvertRECTToNSRect(&in);
  EXPECT_TRUE(NSEqualRects(back, NSMakeRect(10, 21, 6, 5)));
  EXPECT_TRUE(NSEqualRects(ConvertRECTToNSRect(nullptr), NSZeroRect));

  InflateRect(&in, 3, -2);
  EXPECT_EQ(in.left, 7);
  EXPECT_EQ(in.right, 19);
  EXPECT_EQ(in.top, 23);
  EXPECT_EQ(in.bottom, 24);
  InflateRect(nullptr, 1, 1);

  NSPoint p{-3.7f, 8.9f};
  POINT P = ConvertNSPointToPOINT(&p);
  EXPECT_EQ(P.x, -3);
  EXPECT_EQ(P.y, 8);
  P = ConvertNSPointToPOINT(nullptr);
  EXPECT_EQ(P.x | P.y, 0);

  NSRect a, b;
  ConvertCoordsToNSRect(&a, 50, 10, 20, 40);
  ConvertCoordsToNSRect(&b, 20, 40, 50, 10);
  EXPECT_TRUE(NSEqualRects(a, b));
  EXPECT_TRUE(NSEqualRects(a, NSMakeRect(20, 10, 30, 30)));
}

TEST(PlatformAdapters, LogfontToSizeAndTraits) {
  LOGFONT f{};
  float size = -1;
  uint32_t traits = 0;
  f.lfHeight = -16;
  ConvertWin32FontInfoToApple(&f, &size, &traits);
  EXPECT_EQ(size, 16);
  EXPECT_EQ(traits, 0u);
  f.lfHeight = 10;
  ConvertWin32FontInfoToApple(&f, &size, &traits);
  EXPECT_EQ(size, 12);
  f.lfHeight = 0;
  ConvertWin32FontInfoToApple(&f, &size, &traits);
  EXPECT_EQ(size, 0);

  f.lfWeight = 600;
  ConvertWin32FontInfoToApple(&f, &size, &traits);
  EXPECT_EQ(traits, 0u);
  f.lfWeight = 700;
  f.lfItalic = 1;
  ConvertWin32FontInfoToApple(&f, &size, &traits);
  EXPECT_EQ(traits, kFontBoldTrait | kFontItalicTrait);
  traits = 0x10;  // bits the caller set stay
  f.lfWeight = 0;
  ConvertWin32FontInfoToApple(&f, &size, &traits);
  EXPECT_EQ(traits, 0x10u | kFontItalicTrait);
  ConvertWin32FontInfoToApple(&f, nullptr, &traits);  // needs all three
}

TEST(PlatformAdapters, FontToLogfont) {
  FontDescription d;
  d.family = "Helvetica Neue";
  d.pointSize = 13.7f;
  d.traits = kFontBoldTrait;
  LOGFONT f{};
  f.lfUnderline = 1;
  f.lfEscapement = 450;
  f.lfCharSet = 9;
  ConvertAppleFontToWin32FontInfo(&d, &f);
  EXPECT_EQ(f.lfHeight, -13);
  EXPECT_EQ(f.lfWeight, 700);
  EXPECT_EQ(f.lfItalic, 0);
  EXPECT_EQ(f.lfEscapement, 0);
  EXPECT_EQ(f.lfCharSet, 0);
  EXPECT_EQ(f.lfUnderline, 1);
  EXPECT_EQ(f.lfPitchAndFamily, 0x34);
  EXPECT_STREQ(f.lfFaceName, "Helvetica Neue");

  d.family = std::string(40, 'x');
  d.traits = kFontItalicTrait;
  ConvertAppleFontToWin32FontInfo(&d, &f);
  EXPECT_EQ(strnlen(f.lfFaceName, sizeof f.lfFaceName), 31u);
  EXPECT_EQ(f.lfItalic, 1);
  EXPECT_EQ(f.lfWeight, 0);

  FontDescription round = FontDescriptionFromLOGFONT(f);
  EXPECT_EQ(round.family, std::string(31, 'x'));
  EXPECT_EQ(round.pointSize, 13);
  EXPECT_EQ(round.traits, kFontItalicTrait);
}

TEST(PlatformAdapters, PixelsArePackedBottomRowFirstWithoutPadding) {
  // 2 x 2 RGBA with 12 bytes per row (4 of padding).
  const uint8_t rgba[] = {1, 2, 3, 255, 4, 5, 6, 255, 0, 0, 0, 0,
                          7, 8, 9, 255, 10, 11, 12, 0, 0, 0, 0, 0};
  DrawImageData d{2, 2, 4, 12, rgba};
  DIBImage* image = CreateDIBImageFromPixels(d);
  ASSERT_NE(image, nullptr);
  ASSERT_NE(image->pixels, nullptr);
  EXPECT_EQ(image->width, 2);
  EXPECT_EQ(image->height, 2);
  const uint8_t expected[] = {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6};
  EXPECT_EQ(memcmp(image->pixels, expected, sizeof expected), 0);
  FreeDIBImage(image);

  d.bytesPerRow = 7;  // shorter than a row: refused
  EXPECT_EQ(CreateDIBImageFromPixels(d), nullptr);
  EXPECT_EQ(CreateDIBImageFromPixels(DrawImageData{}), nullptr);
  FreeDIBImage(nullptr);
}

TEST(PlatformAdapters, PaperExtentIsTheProjectedPlanWithAMargin) {
  float w = -1, h = -2;
  {
    CurrentDocumentScope none(nullptr);
    GetAdjustedPaperWidthAndHeight(&w, &h);
    EXPECT_EQ(w, -1);
    EXPECT_EQ(h, -2);
  }
  TestDocument doc;
  ViewStateGuard view;
  doc.ds()->zoomFactor = 1;
  doc.ds()->planBounds = {-100, -200, 300, 400};  // top, left, bottom, right
  GetAdjustedPaperWidthAndHeight(&w, &h);
  EXPECT_NEAR(w, 700, 1e-2);
  EXPECT_NEAR(h, 500, 1e-2);
  doc.ds()->zoomFactor = 2;
  GetAdjustedPaperWidthAndHeight(&w, &h);
  EXPECT_NEAR(w, 1400, 1e-2);
  EXPECT_NEAR(h, 1000, 1e-2);
  GetAdjustedPaperWidthAndHeight(nullptr, &h);
}
