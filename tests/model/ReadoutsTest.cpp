// Length, angle and pitch readouts: known answers for every format code, the
// decimal separator, locale independence, and rounding/clamping of typed values.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "TestDocument.h"
#include "model/Globals.h"
#include "model/Readouts.h"

namespace {

std::string Imperial(float inches, int16_t code) {
  char text[kReadoutTextSize];
  ConvertInchesToImperialStr(inches, text, code);
  return text;
}

std::string Metric(float inches, uint16_t unit) {
  char text[kReadoutTextSize];
  ConvertInchesToMetricStr(inches, text, unit);
  return text;
}

std::string Deg(const char* number) { return std::string(number) + kReadoutDegreeMark; }

struct SeparatorGuard {
  char saved = gDecimalSeparator;
  explicit SeparatorGuard(char c) { gDecimalSeparator = c; }
  ~SeparatorGuard() { gDecimalSeparator = saved; }
};

// Expected text of one length for codes 0..17.
void ExpectAllCodes(float inches, const char* const (&expected)[18]) {
  for (int16_t code = 0; code < 18; ++code)
    EXPECT_EQ(Imperial(inches, code), expected[code]) << inches << " in code " << code;
}

}  // namespace

TEST(ImperialReadout, WorkedLengthsInEveryCode) {
  ExpectAllCodes(150.5f, {"12'-7\"", "12'-6 1/2\"", "12'-6 1/2\"", "12'-6 1/2\"", "12'-6 1/2\"", "151\"",
                          "150 1/2\"", "150 1/2\"", "150 1/2\"", "150 1/2\"", "12'-6.5\"", "12'-6.5\"",
                          "12'-6.5\"", "12'-6.5\"", "150.5\"", "150.5\"", "150.5\"", "150.5\""});
  ExpectAllCodes(150.3f, {"12'-6\"", "12'-6 1/2\"", "12'-6 1/4\"", "12'-6 1/4\"", "12'-6 5/16\"", "150\"",
                          "150 1/2\"", "150 1/4\"", "150 1/4\"", "150 5/16\"", "12'-6.5\"", "12'-6.25\"",
                          "12'-6.25\"", "12'-6.3125\"", "150.5\"", "150.25\"", "150.25\"", "150.3125\""});
  ExpectAllCodes(-3.75f, {"-4\"", "-4\"", "-3 3/4\"", "-3 3/4\"", "-3 3/4\"", "-4\"", "-4\"", "-3 3/4\"",
                          "-3 3/4\"", "-3 3/4\"", "-4\"", "-3.75\"", "-3.75\"", "-3.75\"", "-4\"", "-3.75\"",
                          "-3.75\"", "-3.75\""});
  ExpectAllCodes(11.97f, {"1'-0\"", "1'-0\"", "1'-0\"", "1'-0\"", "1'-0\"", "12\"", "12\"", "12\"", "12\"",
                          "12\"", "1'-0\"", "1'-0\"", "1'-0\"", "1'-0\"", "12\"", "12\"", "12\"", "12\""});
}

TEST(ImperialReadout, RoundingCarriesAndSigns) {
  EXPECT_EQ(Imperial(0, kReadoutFtInWhole), "0\"");
  // Exact half steps go to the even neighbour.
  for (int16_t code : {4, 9, 13, 17}) EXPECT_EQ(Imperial(6.03125f, code), "6\"") << code;
  for (int16_t code : {1, 6, 10, 14}) EXPECT_EQ(Imperial(0.25f, code), "0\"") << code;
  EXPECT_EQ(Imperial(0.25f, kReadoutInQuarter), "1/4\"");
  EXPECT_EQ(Imperial(0.25f, kReadoutInDecimalQuarter), "0.25\"");
  EXPECT_EQ(Imperial(23.99f, kReadoutFtInSixteenth), "2'-0\"");
  // A fraction with no whole inches keeps the feet and a zero.
  EXPECT_EQ(Imperial(144.5f, kReadoutFtInHalf), "12'-0 1/2\"");
  EXPECT_EQ(Imperial(144.0625f, kReadoutFtInDecimalSixteenth), "12'-0.0625\"");
  // The minus sign appears once, on the first number.
  EXPECT_EQ(Imperial(-150.5f, kReadoutFtInHalf), "-12'-6 1/2\"");
  EXPECT_EQ(Imperial(-0.5f, kReadoutInHalf), "-1/2\"");
  EXPECT_EQ(Imperial(-150.5f, kReadoutFtInDecimalHalf), "-12'-6.5\"");
  // A negative length that rounds to nothing prints no sign.
  EXPECT_EQ(Imperial(-0.01f, kReadoutInDecimalSixteenth), "0\"");
  EXPECT_EQ(Imperial(-0.01f, kReadoutFtInWhole), "0\"");
  // Codes outside the table behave as 17.
  EXPECT_EQ(Imperial(150.3f, 42), "150.3125\"");
  EXPECT_EQ(Imperial(150.3f, -1), "150.3125\"");
}

TEST(ImperialReadout, HostileValuesStayInTheBuffer) {
  const float inf = std::numeric_limits<float>::infinity();
  const float big = std::numeric_limits<float>::max();
  for (float v : {inf, -inf, big, -big, std::nanf("")}) {
    for (int16_t code = 0; code < 18; ++code) {
      std::string s = Imperial(v, code);
      EXPECT_LT(s.size(), kReadoutTextSize);
      EXPECT_EQ(s.back(), '"');
    }
    char text[kReadoutTextSize];
    ConvertInchesToMetricStr(v, text, kReadoutMillimeters);
    EXPECT_LT(strlen(text), kReadoutTextSize);
    ConvertPitchToImperialStr(v, text, kReadoutInDecimalSixteenth);
    EXPECT_LT(strlen(text), kReadoutTextSize);
  }
  EXPECT_EQ(Imperial(std::nanf(""), kReadoutFtInWhole), "0\"");
  ConvertInchesToImperialStr(1, nullptr, 0);  // no crash
  ConvertInchesToMetricStr(1, nullptr, 0);
}

TEST(MetricReadout, WorkedLengths) {
  EXPECT_EQ(Metric(150.5f, kReadoutMeters), "3.8227 m");
  EXPECT_EQ(Metric(150.5f, kReadoutCentimeters), "382.27 cm");
  EXPECT_EQ(Metric(150.5f, kReadoutMillimeters), "3822.7 mm");
  EXPECT_EQ(Metric(12, kReadoutMeters), "0.3048 m");
  EXPECT_EQ(Metric(12, kReadoutCentimeters), "30.48 cm");
  EXPECT_EQ(Metric(12, kReadoutMillimeters), "304.8 mm");
  EXPECT_EQ(Metric(0, kReadoutMeters), "0 m");
  EXPECT_EQ(Metric(-0.0001f, kReadoutMeters), "0 m");
  EXPECT_EQ(Metric(39.37f, 7), "1000 mm");
}

TEST(Readout, TruncateTrailingZeros) {
  const char* cases[][2] = {{"12.500", "12.5"}, {"12.000", "12"}, {"0.000", "0"}, {"1200", "1200"},
                            {"0", "0"},         {".", "."},       {"10.0", "10"}, {"5.05", "5.05"}};
  for (auto& c : cases) {
    char text[16];
    strcpy(text, c[0]);
    TruncateTrailingZeros(text);
    EXPECT_STREQ(text, c[1]) << c[0];
  }
  TruncateTrailingZeros(nullptr);
}

TEST(Readout, FractionRoutines) {
  int32_t whole = 3, num = 0, den = 0;
  ConvertDecimalToSixteenths(0.75, &whole, &num, &den);
  EXPECT_EQ(whole, 3);
  EXPECT_EQ(num, 3);
  EXPECT_EQ(den, 4);
  ConvertDecimalToEighths(0.97, &whole, &num, &den);
  EXPECT_EQ(whole, 4);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(den, 8);
  ConvertDecimalToHalves(0.5, nullptr, &num, &den);  // nothing happens
  EXPECT_EQ(den, 8);
  ConvertDecimalToFourths(std::nan(""), &whole, &num, &den);
  EXPECT_EQ(num, 0);
  EXPECT_FLOAT_EQ(ConvertFractionToDecimal(5, 16), 0.3125f);
  EXPECT_FLOAT_EQ(ConvertFractionToDecimal(1, 3), 0);
  EXPECT_FLOAT_EQ(ConvertFractionToDecimal(1, 0), 0);
}

TEST(Readout, DecodersFollowTheDocument) {
  EXPECT_EQ(DecodeImperialReadoutFormat(), kReadoutInDecimalSixteenth);  // no document
  EXPECT_EQ(DecodeMetricReadoutFormat(), kReadoutMillimeters);
  TestDocument doc;
  DocState* ds = doc.ds();
  const int16_t F = kReadoutFlagFeetInches, R = kReadoutFlagFractions;
  const struct { int16_t flags, code; } cases[] = {
      {kReadoutFlagWhole | F, 0}, {kReadoutFlagWhole | R, 5}, {kReadoutFlagHalves | R | F, 1},
      {kReadoutFlagHalves | R, 6}, {kReadoutFlagHalves | F, 10}, {kReadoutFlagHalves, 14},
      {kReadoutFlagQuarters | R | F, 2}, {kReadoutFlagQuarters, 15}, {kReadoutFlagEighths | R, 8},
      {kReadoutFlagEighths | F, 12}, {R | F, 4}, {0, 17}};
  for (auto c : cases) {
    ds->imperialReadout = c.flags;
    EXPECT_EQ(DecodeImperialReadoutFormat(), c.code) << c.flags;
  }
  ds->metricReadout = kReadoutFlagMeters | kReadoutFlagCentimeters;
  EXPECT_EQ(DecodeMetricReadoutFormat(), kReadoutMeters);
  ds->metricReadout = kReadoutFlagCentimeters;
  EXPECT_EQ(DecodeMetricReadoutFormat(), kReadoutCentimeters);
  ds->metricReadout = 0;
  EXPECT_EQ(DecodeMetricReadoutFormat(), kReadoutMillimeters);
}

TEST(Readout, DocumentReadoutsAndSeparator) {
  char text[kReadoutTextSize] = "untouched";
  ConvertInchesToStr(150.5f, text);  // no document
  ConvertAngleToStr(45, text);
  ConvertPitchToStr(6, text);
  EXPECT_STREQ(text, "untouched");

  TestDocument doc;
  DocState* ds = doc.ds();
  ds->measureSystem = kMeasureImperial;
  ds->imperialReadout = kReadoutFlagHalves;
  {
    SeparatorGuard sep('.');
    ConvertInchesToStr(150.5f, text);
    EXPECT_STREQ(text, "150.5\"");
  }
  {
    SeparatorGuard sep(',');
    ConvertInchesToStr(150.5f, text);
    EXPECT_STREQ(text, "150,5\"");
    // The explicit formatters keep '.'.
    ConvertInchesToImperialStr(150.5f, text, kReadoutInDecimalHalf);
    EXPECT_STREQ(text, "150.5\"");
    ds->measureSystem = kMeasureMetric;  // any value but 3 is metric
    ds->metricReadout = kReadoutFlagMeters;
    ConvertInchesToStr(150.5f, text);
    EXPECT_STREQ(text, "3,8227 m");
    ds->angleReadout = kReadoutAngle1;
    ConvertAngleToStr(45.5f, text);
    EXPECT_EQ(std::string(text), Deg("45,5"));
  }
  {
    SeparatorGuard sep(0);  // a missing setting is not "."
    ds->measureSystem = 0;
    ds->metricReadout = kReadoutFlagCentimeters;
    ConvertInchesToStr(150.5f, text);
    EXPECT_STREQ(text, "382,27 cm");
  }
}

TEST(Readout, SameTextUnderAnyNumericLocale) {
  TestDocument doc;
  DocState* ds = doc.ds();
  ds->measureSystem = kMeasureImperial;
  ds->angleReadout = kReadoutAngle4;
  int tried = 0;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "C.UTF-8"}) {
    if (!setlocale(LC_NUMERIC, name)) continue;
    ++tried;
    SCOPED_TRACE(name);
    char text[kReadoutTextSize];
    EXPECT_EQ(Imperial(150.5f, kReadoutFtInWhole), "12'-7\"");
    EXPECT_EQ(Imperial(150.5f, kReadoutFtInHalf), "12'-6 1/2\"");
    EXPECT_EQ(Imperial(150.5f, kReadoutInWhole), "151\"");
    EXPECT_EQ(Imperial(150.5f, kReadoutInHalf), "150 1/2\"");
    EXPECT_EQ(Imperial(150.5f, kReadoutFtInDecimalHalf), "12'-6.5\"");
    EXPECT_EQ(Imperial(150.5f, kReadoutInDecimalHalf), "150.5\"");
    EXPECT_EQ(Metric(150.5f, kReadoutMeters), "3.8227 m");
    EXPECT_EQ(Metric(150.5f, kReadoutCentimeters), "382.27 cm");
    EXPECT_EQ(Metric(150.5f, kReadoutMillimeters), "3822.7 mm");
    ConvertAngleToStr(33.12345f, text);
    EXPECT_EQ(std::string(text), Deg("33.1235"));
    ConvertPitchToMetricStr(6.5f, text);
    EXPECT_STREQ(text, "5.42");
    ds->imperialReadout = kReadoutFlagEighths;
    float v = 2.3f;
    NormalizeInputToPrecision(&v);
    EXPECT_FLOAT_EQ(v, 2.25f);
  }
  setlocale(LC_NUMERIC, "C");
  if (tried == 0) GTEST_SKIP() << "no other numeric locale installed";
}

TEST(Readout, AngleText) {
  TestDocument doc;
  DocState* ds = doc.ds();
  char text[kReadoutTextSize];
  ds->angleReadout = kReadoutAngle2;
  ConvertAngleToStr(45.0f, text);
  EXPECT_EQ(std::string(text), Deg("45"));
  ds->angleReadout = kReadoutAngle0;
  ConvertAngleToStr(22.5f, text);  // half to even
  EXPECT_EQ(std::string(text), Deg("22"));
  ds->angleReadout = 9;  // any other value: four decimals
  ConvertAngleToStr(-12.34567f, text);
  EXPECT_EQ(std::string(text), Deg("-12.3457"));
  ConvertAngleToStr(std::numeric_limits<float>::max(), text);
  EXPECT_LT(strlen(text), kReadoutTextSize);
  EXPECT_EQ(text[strlen(text) - 1], kReadoutDegreeMark);
}

TEST(Readout, PitchTextAndAngles) {
  char text[kReadoutTextSize];
  const struct { float pitch; int16_t code; const char* text; } cases[] = {
      {6.5f, 0, "7"},          {6.4f, 5, "6"},       {6.5f, 1, "6 1/2"},    {0.25f, 7, "1/4"},
      {6.03125f, 9, "6"},      {5.97f, 4, "6"},      {6.3f, 13, "6.3125"},  {6.5f, 14, "6.5"},
      {6.3f, 42, "6.3125"},    {12, 2, "12"}};
  for (auto c : cases) {
    ConvertPitchToImperialStr(c.pitch, text, c.code);
    EXPECT_STREQ(text, c.text) << c.pitch << " code " << c.code;
  }
  ConvertPitchToMetricStr(12, text);
  EXPECT_STREQ(text, "10");
  ConvertPitchToMetricStr(6.5f, text);
  EXPECT_STREQ(text, "5.42");

  EXPECT_NEAR(ConvertPitchToAngle(12), 45.0f, 1e-4f);
  EXPECT_EQ(ConvertPitchToAngle(-1), 0);
  EXPECT_EQ(ConvertPitchToAngle(1000.5f), 0);
  EXPECT_EQ(ConvertPitchToAngle(std::nanf("")), 0);
  EXPECT_EQ(ConvertAngleToPitch(45), 0);  // no document

  TestDocument doc;
  DocState* ds = doc.ds();
  ds->measureSystem = kMeasureImperial;
  ds->imperialReadout = kReadoutFlagFractions;  // sixteenths
  EXPECT_EQ(ConvertAngleToPitch(45), 12.0f);
  EXPECT_EQ(ConvertAngleToPitch(89.3126f), 0);
  EXPECT_EQ(ConvertAngleToPitch(-1), 0);
  ds->measureSystem = kMeasureMetric;
  EXPECT_NEAR(ConvertAngleToPitch(30), 6.9282f, 1e-4f);
  {
    SeparatorGuard sep(',');
    ConvertPitchToStr(6.5f, text);
    EXPECT_STREQ(text, "5,42");
    ds->measureSystem = kMeasureImperial;
    ds->imperialReadout = kReadoutFlagQuarters;
    ConvertPitchToStr(6.3f, text);
    EXPECT_STREQ(text, "6,25");
  }
}

TEST(Readout, NormalizeAndConstrainTypedValues) {
  float v = 2.3f;
  NormalizeInputToPrecision(&v);  // no document: unchanged
  EXPECT_EQ(v, 2.3f);
  ConstrainValueToLimits(&v, 5, 10);
  EXPECT_EQ(v, 2.3f);

  TestDocument doc;
  DocState* ds = doc.ds();
  ds->measureSystem = kMeasureMetric;  // the imperial flags apply in any system
  const struct { int16_t flags; float in, out; } rounding[] = {
      {kReadoutFlagWhole, 2.5f, 2},         {kReadoutFlagWhole, 3.5f, 4},      {kReadoutFlagWhole, -2.7f, -3},
      {kReadoutFlagHalves, 2.3f, 2.5f},     {kReadoutFlagQuarters, 2.3f, 2.25f}, {kReadoutFlagEighths, -2.3f, -2.25f},
      {0, 2.3f, 2.3125f},                   {0, 5.99f, 6},                      {kReadoutFlagHalves, 0.25f, 0}};
  for (auto c : rounding) {
    ds->imperialReadout = c.flags;
    float x = c.in;
    NormalizeInputToPrecision(&x);
    EXPECT_FLOAT_EQ(x, c.out) << c.flags << " " << c.in;
  }
  float nan = std::nanf("");
  NormalizeInputToPrecision(&nan);
  EXPECT_TRUE(std::isnan(nan));
  NormalizeInputToPrecision(nullptr);

  // Metric: plain clamping.
  v = 0.3f;
  ConstrainValueToLimits(&v, 1.03f, 10.07f);
  EXPECT_FLOAT_EQ(v, 1.03f);
  v = 20;
  ConstrainValueToLimits(&v, 1.03f, 10.07f);
  EXPECT_FLOAT_EQ(v, 10.07f);
  // Imperial: onto the precision grid inside the range.
  ds->measureSystem = kMeasureImperial;
  ds->imperialReadout = kReadoutFlagEighths;
  v = 1;
  ConstrainValueToLimits(&v, 2.06f, 10);
  EXPECT_FLOAT_EQ(v, 2.125f);
  v = 20;
  ConstrainValueToLimits(&v, 2.06f, 10.07f);
  EXPECT_FLOAT_EQ(v, 10.0f);
  v = 5.01f;
  ConstrainValueToLimits(&v, 2.06f, 10.07f);
  EXPECT_FLOAT_EQ(v, 5.01f);
  ds->imperialReadout = kReadoutFlagWhole;
  v = 0;
  ConstrainValueToLimits(&v, 0.2f, 4);
  EXPECT_FLOAT_EQ(v, 1.0f);
  // High below 1 or not above low: nothing happens.
  v = 0.9f;
  ConstrainValueToLimits(&v, 0, 0.5f);
  EXPECT_FLOAT_EQ(v, 0.9f);
  v = 9;
  ConstrainValueToLimits(&v, 5, 5);
  EXPECT_FLOAT_EQ(v, 9);
}
