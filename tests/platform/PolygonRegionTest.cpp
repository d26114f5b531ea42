// Integer polygon regions: cells by their centres, touching shapes, even-odd holes, the span
// algebra, and coordinates truncated and saturated rather than wrapped.
#include <gtest/gtest.h>

#include <limits>

#include "platform/PolygonRegion.h"

namespace {

PolygonRegion Rect(int x0, int y0, int x1, int y1) {
  return PolygonRegion::FromPolygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

TEST(PolygonRegion, RectanglesCoverTheirCellsAndTouchingOnesDoNotIntersect) {
  const PolygonRegion a = Rect(0, 0, 40, 40);
  EXPECT_EQ(a.area(), 1600);
  EXPECT_TRUE(a.contains(0, 0));
  EXPECT_TRUE(a.contains(39, 39));
  EXPECT_FALSE(a.contains(40, 10));
  const PolygonRegion b = Rect(40, 0, 80, 40);
  EXPECT_FALSE(a.intersects(b));
  EXPECT_TRUE(a.intersects(Rect(39, 39, 50, 50)));
  EXPECT_EQ(a.united(b), Rect(0, 0, 80, 40));
  EXPECT_EQ(a.intersected(Rect(20, 20, 60, 60)), Rect(20, 20, 40, 40));
}

TEST(PolygonRegion, ContainmentIsUnionEqualToTheOuterRegion) {
  const PolygonRegion plane = PolygonRegion::FromPolygon({{0, 120}, {240, 120}, {240, 60}, {0, 60}});
  EXPECT_TRUE(plane.contains(Rect(100, 70, 140, 110)));
  EXPECT_TRUE(plane.contains(plane));  // equal regions fit
  EXPECT_FALSE(plane.contains(Rect(100, 50, 140, 70)));
  EXPECT_TRUE(PolygonRegion().isEmpty());
  EXPECT_TRUE(plane.contains(PolygonRegion()));
}

TEST(PolygonRegion, TrianglesAndHolesFollowTheEvenOddRule) {
  const PolygonRegion tri = PolygonRegion::FromPolygon({{0, 0}, {60, 60}, {0, 120}});
  EXPECT_TRUE(tri.contains(10, 60));
  EXPECT_FALSE(tri.contains(59, 10));
  const PolygonRegion ring = PolygonRegion::FromPolygons(
      {{{0, 0}, {30, 0}, {30, 30}, {0, 30}}, {{10, 10}, {20, 10}, {20, 20}, {10, 20}}});
  EXPECT_FALSE(ring.contains(15, 15));
  EXPECT_TRUE(ring.contains(5, 15));
  EXPECT_EQ(ring.area(), 900 - 100);
  EXPECT_TRUE(PolygonRegion::FromPolygon({{0, 0}, {10, 10}}).isEmpty());
}

TEST(PolygonRegion, CoordinatesTruncateTowardZeroAndSaturate) {
  EXPECT_EQ(PolygonRegion::Coordinate(12.9f), 12);
  EXPECT_EQ(PolygonRegion::Coordinate(-12.9f), -12);
  EXPECT_EQ(PolygonRegion::Coordinate(40000.0f), 32767);
  EXPECT_EQ(PolygonRegion::Coordinate(-1e9f), -32767);
  EXPECT_EQ(PolygonRegion::Coordinate(std::numeric_limits<float>::quiet_NaN()), 0);
  // A huge outline stays a huge region rather than wrapping to a small one.
  const int32_t big = PolygonRegion::Coordinate(70000.0f);
  const PolygonRegion r = Rect(0, 0, big, 4);
  EXPECT_TRUE(r.contains(32000, 2));
  EXPECT_FALSE(r.contains(-5, 2));
}

}  // namespace
