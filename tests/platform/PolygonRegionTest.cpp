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

// A diamond whose four edges pass exactly through cell centres: a centre on a left edge is
// inside, one on a right edge outside, in the upper and the lower half alike; the rows just
// past the top and bottom vertices hold nothing.
TEST(PolygonRegion, CentresExactlyOnEachEdgeOfADiamond) {
  const PolygonRegion diamond = PolygonRegion::FromPolygon({{10, 0}, {20, 10}, {10, 20}, {0, 10}});
  EXPECT_EQ(diamond.area(), 200);
  struct Row {
    int y, firstIn, lastIn;  // the edges cross the row's centre line at firstIn + 0.5 and lastIn + 1.5
  } rows[] = {{0, 9, 9}, {3, 6, 12}, {9, 0, 18}, {10, 0, 18}, {15, 5, 13}, {19, 9, 9}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.y);
    EXPECT_FALSE(diamond.contains(r.firstIn - 1, r.y));
    EXPECT_TRUE(diamond.contains(r.firstIn, r.y));
    EXPECT_TRUE(diamond.contains(r.lastIn, r.y));
    EXPECT_FALSE(diamond.contains(r.lastIn + 1, r.y));
  }
  for (int x = -1; x <= 21; ++x) {
    EXPECT_FALSE(diamond.contains(x, -1));
    EXPECT_FALSE(diamond.contains(x, 20));
  }
  // The same outline given the other way round covers the same cells.
  EXPECT_EQ(PolygonRegion::FromPolygon({{0, 10}, {10, 20}, {20, 10}, {10, 0}}), diamond);
}

// Rows of two spans (a ring round a hole): each span of a row answers, and the algebra walks
// every span of both operands, in either order.
TEST(PolygonRegion, RowsOfSeveralSpansInEveryOperation) {
  const PolygonRegion ring = PolygonRegion::FromPolygons(
      {{{0, 0}, {30, 0}, {30, 30}, {0, 30}}, {{10, 10}, {20, 10}, {20, 20}, {10, 20}}});
  EXPECT_TRUE(ring.contains(25, 15));  // the second span of a row
  EXPECT_FALSE(ring.contains(30, 15));
  EXPECT_TRUE(ring.contains(9, 15));  // the last cell before the hole, and the hole's last
  EXPECT_FALSE(ring.contains(19, 15));
  const PolygonRegion band = Rect(5, 12, 25, 14), right = Rect(22, 12, 28, 14), hole = Rect(12, 12, 18, 18);
  const PolygonRegion twoParts = PolygonRegion::FromPolygons(
      {{{5, 12}, {10, 12}, {10, 14}, {5, 14}}, {{20, 12}, {25, 12}, {25, 14}, {20, 14}}});
  EXPECT_EQ(ring.intersected(band), twoParts);
  EXPECT_EQ(band.intersected(ring), twoParts);
  EXPECT_EQ(twoParts.area(), 20);
  EXPECT_TRUE(ring.intersects(right));
  EXPECT_TRUE(right.intersects(ring));
  EXPECT_FALSE(ring.intersects(hole));
  EXPECT_FALSE(hole.intersects(ring));
  EXPECT_TRUE(ring.intersected(hole).isEmpty());
  EXPECT_EQ(ring.united(hole).area(), 900 - 100 + 36);
  EXPECT_EQ(hole.united(ring), ring.united(hole));

  // Shapes that only touch share no cell, whichever way they are combined; side by side in one
  // outline list they make one span per row.
  const PolygonRegion left = Rect(0, 0, 40, 40), next = Rect(40, 0, 80, 40), below = Rect(0, 40, 40, 80);
  for (const PolygonRegion* other : {&next, &below}) {
    EXPECT_TRUE(left.intersected(*other).isEmpty());
    EXPECT_TRUE(other->intersected(left).isEmpty());
    EXPECT_EQ(left.intersected(*other), PolygonRegion());
  }
  EXPECT_EQ(PolygonRegion::FromPolygons({{{0, 0}, {40, 0}, {40, 40}, {0, 40}}, {{40, 0}, {80, 0}, {80, 40}, {40, 40}}}),
            Rect(0, 0, 80, 40));
}

}  // namespace
