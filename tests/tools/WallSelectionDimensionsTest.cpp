// The selected wall segment's two dimension pairs: side A measures to the left of the
// segment, side B to the right, each to the nearest crossing wall of the floor; drawing
// them shows each once and forgets it.
#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "plandraw/WallSegmentDimensions.h"

namespace {

class WallSelectionDimensions : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;  // window points are plan points
    doc.ds()->snapToGrid = 0;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
    // A pair computed and not yet drawn stays stored until it is drawn (a side that measures
    // nothing keeps it): a pair another test left must not pass for this test's.
    gSelectedWallSegmentStartPtSideA = gSelectedWallSegmentEndPtSideA = FloatPoint{-32000, -32000};
    gSelectedWallSegmentStartPtSideB = gSelectedWallSegmentEndPtSideB = FloatPoint{-32000, -32000};
  }
};

TEST_F(WallSelectionDimensions, BothSidesMeasureToTheirOwnCrossingWall) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  AddTestWall(doc, {{0, -100}, {200, -100}});  // the wall to the left of (0, 0) -> (200, 0)
  AddTestWall(doc, {{0, 60}, {200, 60}});      // and the nearer one to its right
  Poinz* a = TestPointAt(wall, 0);
  Poinz* b = TestPointAt(wall, 1);
  a->selected = b->selected = 1;
  DrawDimensionWallSegmentSelection(wall, a, b, 50, 0);

  const FloatPoint sa = gSelectedWallSegmentStartPtSideA, ea = gSelectedWallSegmentEndPtSideA;
  const FloatPoint sb = gSelectedWallSegmentStartPtSideB, eb = gSelectedWallSegmentEndPtSideB;
  EXPECT_FLOAT_EQ(sa.floatH, 50);
  EXPECT_FLOAT_EQ(sa.floatV, 0);
  EXPECT_FLOAT_EQ(sb.floatH, 50);
  EXPECT_FLOAT_EQ(sb.floatV, 0);
  EXPECT_NEAR(ea.floatH, 50, 1e-3);
  EXPECT_NEAR(eb.floatH, 50, 1e-3);
  // Each end stops at its own wall, never beyond it and never on the other side.
  EXPECT_LT(ea.floatV, -80);
  EXPECT_GE(ea.floatV, -100);
  EXPECT_GT(eb.floatV, 40);
  EXPECT_LE(eb.floatV, 60);

  // Drawn once into the plan, then forgotten.
  ApplePortDrawDimensionWallSegmentSelection();
  EXPECT_FLOAT_EQ(gSelectedWallSegmentStartPtSideB.floatH, -32000);
  EXPECT_FLOAT_EQ(gSelectedWallSegmentEndPtSideB.floatV, -32000);
  EXPECT_FLOAT_EQ(gSelectedWallSegmentEndPtSideA.floatV, -32000);
}

// Without a wall to the right, side B runs past the 30000 limit and is not kept; side A is.
TEST_F(WallSelectionDimensions, ASideWithoutACrossingWallIsNotKept) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  AddTestWall(doc, {{0, -100}, {200, -100}});
  Poinz* a = TestPointAt(wall, 0);
  Poinz* b = TestPointAt(wall, 1);
  a->selected = b->selected = 1;
  DrawDimensionWallSegmentSelection(wall, a, b, 120, 0);
  EXPECT_FLOAT_EQ(gSelectedWallSegmentStartPtSideA.floatH, 120);
  EXPECT_FLOAT_EQ(gSelectedWallSegmentStartPtSideB.floatH, -32000);
  EXPECT_FLOAT_EQ(gSelectedWallSegmentEndPtSideB.floatV, -32000);
  ApplePortDrawDimensionWallSegmentSelection();
  EXPECT_FLOAT_EQ(gSelectedWallSegmentStartPtSideA.floatH, -32000);
}

}  // namespace
