// The working plane of a polygon from its extents.
#include <gtest/gtest.h>

#include <vector>

#include "render3d/WorkingPlane.h"

TEST(WorkingPlane, ByTheSmallestExtent) {
  const PlanarPolyPoint level[3] = {{0, 5, 0, 0, 0, 0}, {10, 5, 0, 0, 0, 0}, {10, 5, 10, 0, 0, 0}};
  EXPECT_EQ(DetermineWorkingPlane(level, 3), kPlaneXZ);
  const PlanarPolyPoint alongX[3] = {{0, 0, 3, 0, 0, 0}, {10, 0, 3, 0, 0, 0}, {10, 8, 3, 0, 0, 0}};
  EXPECT_EQ(DetermineWorkingPlane(alongX, 3), kPlaneXY);
  const PlanarPolyPoint alongZ[3] = {{2, 0, 0, 0, 0, 0}, {2, 0, 10, 0, 0, 0}, {2, 8, 10, 0, 0, 0}};
  EXPECT_EQ(DetermineWorkingPlane(alongZ, 3), kPlaneZY);
  const PlanarPolyPoint cube[2] = {{0, 0, 0, 0, 0, 0}, {4, 4, 4, 0, 0, 0}};
  EXPECT_EQ(DetermineWorkingPlane(cube, 2), kPlaneXZ);  // equal extents: the first test wins
  EXPECT_EQ(DetermineWorkingPlane(nullptr, 3), kPlaneXY);
  EXPECT_EQ(DetermineWorkingPlane(level, 0), kPlaneXY);
}

// Two extents tied for the smallest, and the extent set by the first or the last corner only,
// with corners on both sides of the origin.
TEST(WorkingPlane, TiesAndTheFirstAndLastCorner) {
  const struct {
    std::vector<PlanarPolyPoint> corners;
    int16_t plane;
  } cases[] = {
      // x = y = 2 under z = 9: the first test (y smallest) wins.
      {{{-1, -1, -4, 0, 0, 0}, {1, 1, 5, 0, 0, 0}}, kPlaneXZ},
      // y = z = 2 under x = 9: y smallest again.
      {{{-4, -1, -1, 0, 0, 0}, {5, 1, 1, 0, 0, 0}}, kPlaneXZ},
      // x = z = 2 under y = 9: z smallest.
      {{{-1, -4, -1, 0, 0, 0}, {1, 5, 1, 0, 0, 0}}, kPlaneXY},
      // Only the last corner leaves the line along y: x then spans 0.5 under z's 1.
      {{{0, -6, 0, 0, 0, 0}, {0, 6, 0, 0, 0, 0}, {0.5f, 0, -1, 0, 0, 0}}, kPlaneZY},
      // Only the first corner does: z spans 0.5 under x's 1.
      {{{-1, 0, 0.5f, 0, 0, 0}, {0, -6, 0, 0, 0, 0}, {0, 6, 0, 0, 0, 0}}, kPlaneXY},
      // A single corner spans nothing.
      {{{-3, 7, 2, 0, 0, 0}}, kPlaneXZ},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DetermineWorkingPlane(c.corners.data(), static_cast<int32_t>(c.corners.size())), c.plane)
        << c.corners.size() << " corners from " << c.corners[0].x << "," << c.corners[0].y;
}
