// Grid snapping: plan points and window points go to the nearest grid line.
#include <cmath>

#include <gtest/gtest.h>

#include "TestDocument.h"
#include "model/Grid.h"

TEST(Grid, PlanPointsGoToTheNearestGridLine) {
  TestDocument doc;  // 12-inch grid at plan scale 36: 24 plan units
  float x = 50, y = 7, z = -5;
  ASSERT_EQ(Snap3DPointToGrid(doc.ds(), &x, &y, &z), 1);
  EXPECT_FLOAT_EQ(x, 48);
  EXPECT_FLOAT_EQ(y, 7);
  EXPECT_FLOAT_EQ(z, 0);
  // A unit short of a line takes that line, not the one before; halfway goes up.
  x = 47, z = -25;
  Snap3DPointToGrid(doc.ds(), &x, &y, &z);
  EXPECT_FLOAT_EQ(x, 48);
  EXPECT_FLOAT_EQ(z, -24);
  x = 36, z = -36;
  Snap3DPointToGrid(doc.ds(), &x, &y, &z);
  EXPECT_FLOAT_EQ(x, 48);
  EXPECT_FLOAT_EQ(z, -24);
  doc.ds()->snapToGrid = 0;
  EXPECT_EQ(Snap3DPointToGrid(doc.ds(), &x, &y, &z), 0);
  doc.ds()->snapToGrid = 1;
  doc.ds()->gridSpacing.floatV = 0;
  x = 50;
  EXPECT_EQ(Snap3DPointToGrid(doc.ds(), &x, &y, &z), 0);
  EXPECT_FLOAT_EQ(x, 50);
}

// Just left of or above the origin points snap to a plain 0 (a negative zero would be written
// to the file as such).
TEST(Grid, PointsJustBeforeTheOriginSnapToAPlainZero) {
  TestDocument doc;
  doc.ds()->gridSpacing = {6, 6};  // 12 plan units
  float x = -0.5f, y = 0, z = -5.9f;
  ASSERT_EQ(Snap3DPointToGrid(doc.ds(), &x, &y, &z), 1);
  EXPECT_EQ(x, 0);
  EXPECT_FALSE(std::signbit(x));
  EXPECT_FALSE(std::signbit(z));
  x = -12.5f, z = -18.5f;
  Snap3DPointToGrid(doc.ds(), &x, &y, &z);
  EXPECT_FLOAT_EQ(x, -12);
  EXPECT_FLOAT_EQ(z, -24);
}

TEST(Grid, WindowPointsRoundToTheZoomedGrid) {
  TestDocument doc;
  doc.ds()->zoomFactor = 0.5f;  // 12 window units per step
  FloatPoint out;
  ASSERT_EQ(SnapPointToGrid(doc.ds(), 17, 19, &out), 1);
  EXPECT_FLOAT_EQ(out.floatH, 12);
  EXPECT_FLOAT_EQ(out.floatV, 24);
}
