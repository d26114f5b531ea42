// Dash records of the line styles and pen widths of line weights.
#include <gtest/gtest.h>

#include "TestDocument.h"
#include "model/Records.h"
#include "plandraw/LineStyles.h"

namespace {

void ExpectLengths(const DashStyle& s, std::initializer_list<float> expected) {
  ASSERT_EQ(s.count, expected.size());
  int i = 0;
  for (float v : expected) EXPECT_FLOAT_EQ(s.lengths[i++], v) << "entry " << i - 1;
  for (; i < 6; ++i) EXPECT_EQ(s.lengths[i], 0) << "entry " << i;
  EXPECT_EQ(s.phase, 0);
  EXPECT_EQ(s.reserved, 0);
}

}  // namespace

TEST(LoadStyle, PatternsAtActualSizeAndThinLines) {
  DashStyle s;
  LoadStyle(kPenDashDot, &s, 1);
  ExpectLengths(s, {60, 6, 7, 6});
  LoadStyle(kPenDashDotDot, &s, 0);
  ExpectLengths(s, {60, 6, 7, 6, 7, 6});
  LoadStyle(kPenDash, &s, 1);
  ExpectLengths(s, {20, 6});
  LoadStyle(kPenShortDash, &s, 1);
  ExpectLengths(s, {8, 6});
  LoadStyle(kPenLongDashDotDot, &s, 1);
  ExpectLengths(s, {60, 6, 2, 6, 2, 6});
  LoadStyle(kPenDot, &s, 1);
  ExpectLengths(s, {2, 6});
  LoadStyle(kPenLongDashDot, &s, 1);
  ExpectLengths(s, {60, 6, 2, 6});
}

TEST(LoadStyle, GapsWidenWithWeightAndEverythingFollowsTheZoom) {
  TestDocument doc;
  doc.ds()->zoomFactor = 1;
  DashStyle s;
  LoadStyle(kPenShortDashPair, &s, 2);
  ExpectLengths(s, {8, 9, 8, 18});
  doc.ds()->zoomFactor = 2;
  LoadStyle(kPenShortDashPair, &s, 2);
  ExpectLengths(s, {16, 18, 16, 36});
  LoadStyle(kPenDash, &s, 4);  // w = 2: only the gap widens
  ExpectLengths(s, {40, 24});
}

TEST(LoadStyle, OtherStylesOrNoRecordLeaveTheRecordAlone) {
  DashStyle s{3, {1, 2, 3, 4, 5, 6}, 7, 8};
  for (int16_t style : {0, 5, 6, 15, -1}) {
    LoadStyle(style, &s, 2);
    EXPECT_EQ(s.count, 3);
    EXPECT_EQ(s.lengths[5], 6);
    EXPECT_EQ(s.phase, 7);
    EXPECT_EQ(s.reserved, 8);
  }
  LoadStyle(kPenDash, nullptr, 1);  // no crash
}

TEST(LineWeight, WholePixelsOfTheLineWeight) {
  TestDocument doc;
  doc.ds()->zoomFactor = 1;
  Objex* o = doc.addObject(kObjDetail, false, {{0, 0}, {10, 0}});
  EXPECT_EQ(GetLineWeight(nullptr, 1), 1);
  const std::pair<float, int16_t> cases[] = {{0, 0}, {0.3f, 1}, {-1, 1}, {-0.1f, 0}, {-0.05f, 0},
                                             {2.4f, 2}, {2.5f, 3}, {1e30f, 32767}};
  for (auto [width, expected] : cases) {
    o->width = width;
    EXPECT_EQ(GetLineWeight(o, 0), expected) << "width " << width;
  }
  o->width = 2;
  doc.ds()->zoomFactor = 2.5f;
  EXPECT_EQ(GetLineWeight(o, 1), 5);
  EXPECT_EQ(GetLineWeight(o, 0), 2);
  gPrinting = 1;
  gHPrintScale = 3;
  EXPECT_EQ(GetLineWeight(o, 0), 6);
  gPrinting = 0;
  gHPrintScale = 1;
}

TEST(LineWeight, PenOffsetIsMinusHalfTheWidth) {
  int16_t dx = 7, dy = 9;
  GetPenOffset(1, &dx, &dy);
  EXPECT_EQ(dx, 7);
  EXPECT_EQ(dy, 9);
  GetPenOffset(0, &dx, &dy);
  EXPECT_EQ(dx, 7);
  GetPenOffset(5, &dx, &dy);
  EXPECT_EQ(dx, -2);
  EXPECT_EQ(dy, -2);
  GetPenOffset(4, &dx, &dy);
  EXPECT_EQ(dx, -2);
}
