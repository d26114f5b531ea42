// Keeping the neighbours of a dragged wall point or segment straight.
#include <cmath>

#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "model/PlanarTransforms.h"
#include "tools/Constraints.h"

namespace {

class SegmentConstraint : public ToolTest {
 protected:
  Objex* wall = nullptr;
  ClickInfo click{};

  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->snapToGrid = 0;
    gTrackingMouse = 1;
    // An open wall: two sides hanging up the screen from a middle segment along x.
    wall = AddTestWall(doc, {{0, -100}, {0, 0}, {200, 0}, {200, -100}});
  }
  void TearDown() override {
    gTrackModifiers = 0;
    ToolTest::TearDown();
  }
  void grabSegment(int index) {
    click = ClickInfo{};
    click.hitObject = wall;
    click.segmentHit = 1;
    click.hitPoint = TestPointAt(wall, index);
    click.segmentEnd = TestPointAt(wall, index + 1);
  }
  // One drag step of the segment from the down point to (x, z), as the drag stage runs it.
  void step(float downX, float downZ, float x, float z) {
    SnapCursorToSegmentConstraint(&click, downX, downZ, &x, &z);
    cursorX = x, cursorZ = z;
    gPrevTranslateWallSegPt1 = gTranslateWallSegPt1;
    gPrevTranslateWallSegPt2 = gTranslateWallSegPt2;
  }
  float cursorX = 0, cursorZ = 0;
};

void ExpectAt(FloatPoint p, float x, float z) {
  EXPECT_NEAR(p.floatH, x, 1e-3);
  EXPECT_NEAR(p.floatV, z, 1e-3);
}

TEST_F(SegmentConstraint, MiddleSegmentMovesAcrossItselfAndRefusesASideShorterThanTheLeast) {
  grabSegment(1);
  step(100, 0, 110, 30);  // 30 down the screen; the slide along the segment is dropped
  ExpectAt(gTranslateWallSegPt1, 0, 30);
  ExpectAt(gTranslateWallSegPt2, 200, 30);
  EXPECT_NEAR(cursorX, 110, 1e-3);
  step(100, 0, 100, -90);  // the sides would be 10 long: the previous step stays
  ExpectAt(gTranslateWallSegPt1, 0, 30);
  ExpectAt(gTranslateWallSegPt2, 200, 30);
  step(100, 0, 100, -70);  // 30 long sides are allowed
  ExpectAt(gTranslateWallSegPt1, 0, -70);
  ExpectAt(gTranslateWallSegPt2, 200, -70);
}

TEST_F(SegmentConstraint, RefusedFirstStepKeepsTheSegmentWhereItWas) {
  grabSegment(1);
  gPrevTranslateWallSegPt1 = gPrevTranslateWallSegPt2 = FloatPoint{kTrackUnset, kTrackUnset};
  step(100, 0, 100, -90);
  ExpectAt(gTranslateWallSegPt1, 0, 0);
  ExpectAt(gTranslateWallSegPt2, 200, 0);
}

TEST_F(SegmentConstraint, SlantedNeighbourIsFollowedAndAnInLineNeighbourMovesStraight) {
  // The first side slants; the last side runs on in line with the moved segment.
  Poinz* first = TestPointAt(wall, 0);
  first->position[0] = -100;  // (-100, -100): the side climbs at 45 degrees
  Poinz* last = TestPointAt(wall, 3);
  last->position[0] = 300, last->position[2] = 0;
  grabSegment(1);
  step(100, 0, 100, 30);
  ExpectAt(gTranslateWallSegPt1, 30, 30);   // on the slanted side's line
  ExpectAt(gTranslateWallSegPt2, 200, 30);  // moved straight with the segment
}

TEST_F(SegmentConstraint, SegmentsShorterThanTheLeastAreRefused) {
  Poinz* q = TestPointAt(wall, 2);
  q->position[0] = 40;  // the moved segment is 40 long, under 47.5
  TestPointAt(wall, 3)->position[0] = 40;
  grabSegment(1);
  step(20, 0, 20, 30);
  ExpectAt(gTranslateWallSegPt1, 0, 0);
  ExpectAt(gTranslateWallSegPt2, 40, 0);
}

TEST_F(SegmentConstraint, TwoPointWallMovesByWholeGridStepsWhileTheCursorKeepsItsOffset) {
  Objex* line = AddTestWall(doc, {{0, 0}, {200, 0}});
  doc.ds()->snapToGrid = 1;
  doc.ds()->gridSpacing.floatH = 24;
  const float g = ConvertWorldToScreen(24, doc.ds(), 0);
  ASSERT_GT(g, 0);
  click = ClickInfo{};
  click.hitObject = line;
  click.segmentHit = 1;
  click.hitPoint = TestPointAt(line, 0);
  click.segmentEnd = TestPointAt(line, 1);
  const float across = 2.6f * g;  // 2.6 grid steps down the screen
  step(100, 0, 130, across);
  ExpectAt(gTranslateWallSegPt1, 0, 3 * g);  // the segment: the nearest whole steps
  ExpectAt(gTranslateWallSegPt2, 200, 3 * g);
  EXPECT_NEAR(cursorX, 100, 1e-3);  // the slide along the segment is dropped
  EXPECT_NEAR(cursorZ, across, 1e-3);  // the offset across it is not cut
}

TEST_F(SegmentConstraint, ShiftMovesTheSegmentFreely) {
  grabSegment(1);
  gTrackModifiers = kTrackModShift;
  step(100, 0, 120, 30);
  ExpectAt(gTranslateWallSegPt1, 20, 30);
  ExpectAt(gTranslateWallSegPt2, 220, 30);
}

TEST_F(SegmentConstraint, PointSlidesAlongOneNeighbourWhileTheOtherTurnsInSteps) {
  click = ClickInfo{};
  click.hitObject = wall;
  click.pointHit = 1;
  click.hitPoint = TestPointAt(wall, 1);  // the corner (0, 0) between (0, -100) and (200, 0)
  // Grabbed 2 right of the corner; the mouse goes mostly down the vertical side, so the corner
  // slides down that side's line while the segment from (200, 0) turns to 190 degrees.
  float x = 3, z = 40;
  SnapCursorToSegmentConstraint(&click, 2, 0, &x, &z);
  EXPECT_NEAR(x, 0 + 2, 1e-3);  // the grab offset comes back on
  EXPECT_NEAR(z, 200 * std::tan(10 * M_PI / 180), 1e-2);

  // Grabbed 10 along the segment from the corner: the turning segment's angle is taken with the
  // grab offset on, (50, 0) from (0, -100) giving 295 degrees rather than 290 from (40, 0).
  float gx = 40, gz = 3;
  SnapCursorToSegmentConstraint(&click, 10, 0, &gx, &gz);
  EXPECT_NEAR(gx, 100 * std::tan(25 * M_PI / 180) + 10, 1e-2);
  EXPECT_NEAR(gz, 0, 1e-3);

  // Shift frees the point: only the grab offset is added.
  gTrackModifiers = kTrackModShift;
  x = 3, z = 40;
  SnapCursorToSegmentConstraint(&click, 2, 0, &x, &z);
  EXPECT_NEAR(x, 5, 1e-4);
  EXPECT_NEAR(z, 40, 1e-4);
}

TEST_F(SegmentConstraint, DoesNothingBeforeTheFirstDragStepOrWithoutAHit) {
  grabSegment(1);
  gTrackingMouse = 0;
  gTranslateWallSegPt1 = FloatPoint{kTrackUnset, kTrackUnset};
  float x = 100, z = 30;
  SnapCursorToSegmentConstraint(&click, 100, 0, &x, &z);
  EXPECT_EQ(gTranslateWallSegPt1.floatH, kTrackUnset);
  gTrackingMouse = 1;
  SnapCursorToSegmentConstraint(&click, kTrackUnset, kTrackUnset, &x, &z);
  click.hitPoint = nullptr;
  SnapCursorToSegmentConstraint(&click, 100, 0, &x, &z);
  SnapCursorToSegmentConstraint(nullptr, 100, 0, &x, &z);
  EXPECT_EQ(gTranslateWallSegPt1.floatH, kTrackUnset);
  EXPECT_FLOAT_EQ(x, 100);
  EXPECT_FLOAT_EQ(z, 30);
}

}  // namespace
