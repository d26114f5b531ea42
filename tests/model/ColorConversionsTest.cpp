// Hue, saturation and value of 16-bit colours: each sector's edges and a degree either side,
// both ways round, greys and luminance.
#include <gtest/gtest.h>

#include "model/ColorConversions.h"

namespace {

TEST(ColorConversions, HueSaturationValueByWholeDegrees) {
  HSVColor hsv{1, 1, 1};
  const RGBColor black{0, 0, 0};
  RGBtoHSV(&black, &hsv);
  EXPECT_EQ(hsv.hue, 65535);
  EXPECT_EQ(hsv.saturation, 0);
  EXPECT_EQ(hsv.value, 0);
  // A hue that comes to 360 whole degrees converts as 0 (red).
  RGBColor rgb;
  const HSVColor almostRed{65500, 65535, 65535};
  HSVtoRGB(&almostRed, &rgb);
  EXPECT_EQ(rgb, (RGBColor{65535, 0, 0}));
  // Blue: 240 degrees; the value is stored as given.
  const RGBColor blue{0, 0, 40000};
  RGBtoHSV(&blue, &hsv);
  EXPECT_EQ(hsv.hue, 43690);
  EXPECT_EQ(hsv.saturation, 65535);
  HSVtoRGB(&hsv, &rgb);
  EXPECT_EQ(rgb, blue);
  // A grey keeps its value through both ways.
  const RGBColor grey{1234, 1234, 1234};
  RGBtoHSV(&grey, &hsv);
  HSVtoRGB(&hsv, &rgb);
  EXPECT_EQ(rgb, grey);
  // Null pointers do nothing.
  RGBtoHSV(nullptr, &hsv);
  HSVtoRGB(&hsv, nullptr);
}

TEST(ColorConversions, LuminanceAndComponents) {
  const RGBColor c{10000, 20000, 30000};
  RGBColor out;
  EXPECT_EQ(RGBtoLuminance(&c, &out), 18100);  // 3000 + 11800 + 3300
  EXPECT_EQ(out, (RGBColor{18100, 18100, 18100}));
  EXPECT_EQ(MaxComponent(&c), 30000);
  EXPECT_EQ(MinComponent(&c), 10000);
  EXPECT_EQ(RGBtoLuminance(nullptr, &out), 0);
}

TEST(ColorConversions, EachSectorEdgeAndADegreeEitherSide) {
  constexpr uint16_t V = 65535;
  struct Row {
    int degrees;
    RGBColor rgb;
  };
  // Pure colours at full saturation and value: a degree past an edge moves the rising or
  // falling component by 1/60 of the range (1092 or 64443 after rounding).
  const Row rows[] = {
      {0, {V, 0, 0}},       {1, {V, 1092, 0}},     {59, {V, 64443, 0}},   {60, {V, V, 0}},
      {61, {64443, V, 0}},  {119, {1092, V, 0}},   {120, {0, V, 0}},      {121, {0, V, 1092}},
      {179, {0, V, 64443}}, {180, {0, V, V}},      {181, {0, 64443, V}},  {239, {0, 1092, V}},
      {240, {0, 0, V}},     {241, {1092, 0, V}},   {299, {64443, 0, V}},  {300, {V, 0, V}},
      {301, {V, 0, 64443}}, {359, {V, 0, 1092}},   {360, {V, 0, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.degrees);
    const HSVColor hsv{static_cast<uint16_t>(row.degrees * 65535.0 / 360 + 0.5), V, V};
    RGBColor rgb{1, 1, 1};
    HSVtoRGB(&hsv, &rgb);
    EXPECT_EQ(rgb, row.rgb);
    // Back again: the same whole degree (360 reads as 0, which 65535 would mean grey).
    HSVColor back;
    RGBtoHSV(&rgb, &back);
    EXPECT_EQ(back.saturation, V);
    EXPECT_EQ(back.value, V);
    const int expected = row.degrees % 360;
    EXPECT_NEAR(back.hue * 360.0 / 65535, expected, 0.02);
  }
  // Half a degree either side of 360 rounds to red; just under that stays at 359.
  RGBColor rgb;
  const HSVColor halfUnder{65444, V, V};  // 359.5 degrees
  HSVtoRGB(&halfUnder, &rgb);
  EXPECT_EQ(rgb, (RGBColor{V, 0, 0}));
  const HSVColor under{65443, V, V};  // 359.49 degrees
  HSVtoRGB(&under, &rgb);
  EXPECT_EQ(rgb, (RGBColor{V, 0, 1092}));
}

}  // namespace
