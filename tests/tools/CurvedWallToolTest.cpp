// The curved wall tool: the chord drag, the sweep loop, the straight segments of the arc and
// the joining of its ends to free wall ends.
#include <cmath>

#include "ScriptedModalEvents.h"
#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "model/WallFields.h"
#include "tools/CurvedWallTool.h"

namespace {

struct CurvedWallTool : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    doc.ds()->wallSetting2 = 24;  // segment length, inches: 48 plan units
    doc.ds()->wallDisplayFlags = 0;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  // Chord (100, 300)-(300, 300), then the sweep loop ended by a click at the window point.
  void sweepTo(int32_t x, int32_t z, uint32_t flags = 0) {
    ScriptedModalEvents e;
    e.move(x, z, flags).down(x, z, flags);
    gCurTool = kToolCurvedWall;
    drag({{100, 300}, {200, 300}, {300, 300}});
    EXPECT_FALSE(e.acceptsMouseMovedEvents());
  }
};

TEST_F(CurvedWallTool, StepFollowsTheSegmentLength) {
  EXPECT_NEAR(CurvedWallStepAngle(48, 100), 2 * std::asin(0.24f) * 180 / 3.14159265f, 0.001f);
  EXPECT_NEAR(CurvedWallStepAngle(48, 100), 27.77f, 0.01f);
  EXPECT_FLOAT_EQ(CurvedWallStepAngle(1, 100), 5);     // never below 5 degrees
  EXPECT_FLOAT_EQ(CurvedWallStepAngle(150, 100), 90);  // never above 90
  EXPECT_FLOAT_EQ(CurvedWallStepAngle(250, 100), 90);  // longer than the diameter: 90
  EXPECT_FLOAT_EQ(CurvedWallStepAngle(48, 0), 90);     // no radius counts as 1

  const FloatRect circle{200, 100, 400, 300};
  int32_t count = 0;
  SetupCurvedWall(nullptr, &circle, 0, 180, 2, 0, nullptr, nullptr, nullptr, 0, &count, 0, 24);
  EXPECT_EQ(count, 8);
  SetupCurvedWall(nullptr, &circle, 0, 180, 2, 0, nullptr, nullptr, nullptr, 0, &count, 1, 24);
  EXPECT_EQ(count, 7);
  SetupCurvedWall(nullptr, nullptr, 0, 180, 2, 0, nullptr, nullptr, nullptr, 0, &count, 0, 24);
  EXPECT_EQ(count, 0);
}

TEST_F(CurvedWallTool, HalfCircleIsEightPointsOfWall) {
  ServiceCallRecorder calls;
  sweepTo(40, 300);  // half way round, back past the chord's start
  ASSERT_EQ(CountObjects(doc.first), 1);
  Objex* wall = doc.first->firstObject;
  EXPECT_EQ(wall->type, kObjWall);
  EXPECT_EQ(wall->subtype, 0);
  EXPECT_EQ(wall->planMask, 2);
  EXPECT_EQ(NoAutoFloorOf(wall), 1);
  EXPECT_FLOAT_EQ(FloorDepthOf(wall), 0.5f);
  EXPECT_EQ(wall->capped, 0);
  ASSERT_EQ(wall->pointCount, 8);
  int index = 0;
  for (Poinz* p = wall->firstPoint; p; p = p->next, ++index) {
    const bool inner = p->prev && p->next;
    if (inner) {
      EXPECT_EQ(p->pointType, 9) << index;
    }
    EXPECT_EQ(DisplayFlagsOf(p), index == 1 ? 0 : 3) << index;
    // Every point on the circle of radius 100 about (200, 300), on the upper half.
    EXPECT_NEAR(std::hypot(p->position[0] - 200, p->position[2] - 300), 100, 0.05f) << index;
    EXPECT_LE(p->position[2], 300.05f);
    EXPECT_FLOAT_EQ(p->outHandle[0], 0);
    EXPECT_FLOAT_EQ(p->inHandle[2], 0);
    ASSERT_NE(SideAOf(p), nullptr);
    EXPECT_EQ(SideAOf(p)->trimCodeA, 0);  // no interior bits
  }
  EXPECT_TRUE(calls.called("Update3DWall") || calls.count("Update3DWall") == 0);
  EXPECT_TRUE(overlay.areAllPathsEmpty());
  EXPECT_EQ(gMouseCaptured, 0);
}

TEST_F(CurvedWallTool, SweepUnderFiveDegreesBuildsNothing) {
  // 3 degrees round from the chord's end (300, 300) about (200, 300).
  sweepTo(300, 295);
  EXPECT_EQ(CountObjects(doc.first), 0);
}

TEST_F(CurvedWallTool, ShortChordBuildsNothing) {
  ScriptedModalEvents e;
  e.move(100, 200).down(100, 200);
  gCurTool = kToolCurvedWall;
  ServiceCallRecorder calls;
  drag({{100, 300}, {110, 300}});
  EXPECT_TRUE(calls.called("ResetStandardTool"));  // the palette goes back to the arrow
  EXPECT_EQ(CountObjects(doc.first), 0);
  EXPECT_EQ(e.pending(), 2u);  // no sweep loop
  EXPECT_EQ(gMouseCaptured, 0);
}

TEST_F(CurvedWallTool, PressOnAWallEndStartsTheChordThere) {
  AddTestWall(doc, {{100, 500}, {100, 300}});
  hitTest(101, 302);
  ASSERT_NE(gClickInfo.hitPoint, nullptr);
  ScriptedModalEvents e;
  e.move(40, 300).down(40, 300);
  gCurTool = kToolCurvedWall;
  drag({{101, 302}, {200, 300}, {300, 300}});
  EXPECT_FLOAT_EQ(gDownX, 100);
  EXPECT_FLOAT_EQ(gDownZ, 300);
  ASSERT_EQ(CountObjects(doc.first), 1);  // merged with the wall it started on
  EXPECT_EQ(doc.first->firstObject->pointCount, 9);
}

TEST_F(CurvedWallTool, EndsOnFreeWallEndsMerge) {
  AddTestWall(doc, {{100, 500}, {100, 300}});
  AddTestWall(doc, {{300, 300}, {300, 500}});
  ASSERT_EQ(CountObjects(doc.first), 2);
  sweepTo(40, 300);
  ASSERT_EQ(CountObjects(doc.first), 1);
  Objex* wall = doc.first->firstObject;
  EXPECT_EQ(wall->type, kObjWall);
  EXPECT_EQ(wall->pointCount, 10);  // 2 + 8 + 2, less the two shared ends
}

}  // namespace
