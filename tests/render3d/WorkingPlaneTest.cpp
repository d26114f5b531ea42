// The working plane of a polygon from its extents.
#include <gtest/gtest.h>

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
