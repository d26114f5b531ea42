// The selection tool's drags: a click selects what it hits, a marquee selects what it
// encloses (Shift toggles), the move tool moves the selection at the mouse-up; the resize
// tool scales about the fixed side.
#include <array>
#include <vector>

#include "ToolTestSupport.h"

namespace {

using SelectionTools = ToolTest;

float X(const Objex* o, int i) {
  const Poinz* p = o->firstPoint;
  while (i-- > 0) p = p->next;
  return p->position[0];
}
float Z(const Objex* o, int i) {
  const Poinz* p = o->firstPoint;
  while (i-- > 0) p = p->next;
  return p->position[2];
}

TEST_F(SelectionTools, ClickOnAnObjectSelectsIt) {
  Objex* shape = addShape({{48, 48}, {96, 48}, {96, 96}, {48, 96}});
  Objex* other = addShape({{300, 300}, {348, 300}, {348, 348}, {300, 348}});
  gCurTool = kToolSelection;
  hitTest(43, 29);  // on the top edge: (72, 48) in the plan
  ASSERT_TRUE(gClickInfo.hitMode);
  ASSERT_EQ(gClickInfo.hitObject, shape);
  drag({{43, 29}});
  EXPECT_TRUE(IsEntireObjectSelected(shape));
  EXPECT_FALSE(IsObjectSelected(other));
  EXPECT_FLOAT_EQ(X(shape, 0), 48.0f);  // a click moves nothing
}

TEST_F(SelectionTools, MarqueeSelectsWhatItEnclosesAndShiftToggles) {
  Objex* inside = addShape({{48, 48}, {96, 48}, {96, 96}, {48, 96}});
  Objex* outside = addShape({{300, 300}, {348, 300}, {348, 348}, {300, 348}});
  gCurTool = kToolSelection;
  hitTest(5, 5);
  ASSERT_FALSE(gClickInfo.hitMode);
  ServiceCallRecorder calls;
  gMouseCaptured = 1;
  BeginTracking(5, 5);
  KeepTracking(100, 100, 5, 5);
  EXPECT_FALSE(overlay.isPathEmpty(kPathPrimary));
  EXPECT_FALSE(IsObjectSelected(inside));  // nothing before the mouse-up
  EndTracking(100, 100, 100, 100);
  FinishTracking();
  EXPECT_TRUE(IsObjectSelected(inside));
  EXPECT_FALSE(IsObjectSelected(outside));
  EXPECT_TRUE(overlay.areAllPathsEmpty());
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_TRUE(calls.called("DrawWHArea"));

  // With Shift a marquee over both toggles them.
  sModifiers = kTrackModShift;
  hitTest(5, 300);
  drag({{5, 300}, {250, 5}});
  EXPECT_FALSE(IsObjectSelected(inside));
  EXPECT_TRUE(IsObjectSelected(outside));
}

// The marquee's last corner is a pixel it covers: an object (with the two units of slop every
// pick has) is taken when it reaches that corner, not when it reaches one unit beyond it.
// While dragging, the readout shows the marquee's width and depth as world lengths at each
// plan scale and world unit.
TEST_F(SelectionTools, MarqueeReadsItsSizeAndTakesAnObjectReachingItsLastCorner) {
  static std::vector<std::array<float, 3>> sReadouts;  // width, depth, area as sent
  FrontEndServices saved = gFrontEnd;
  gFrontEnd.drawWidthHeightArea = [](float w, float h, float a) { sReadouts.push_back({w, h, a}); };
  struct Case {
    float planScale;
    int16_t worldUnits;  // 1 inches, 2 feet, 6 centimetres
    POINT to;            // the marquee from window (20, 10) at zoom 0.6
    bool taken;          // the square from plan (50, 50) to (100, 100): window 30 to 60, 28 to 62 picked
    float width, depth;  // plan size * scale / 72 inches, in the world unit
  };
  const Case cases[] = {
      {96, 1, {62, 62}, true, 42 / 0.6f * 96 / 72, 52 / 0.6f * 96 / 72},
      {48, 2, {61, 62}, false, 41 / 0.6f * 48 / 72 / 12, 52 / 0.6f * 48 / 72 / 12},
      {36, 6, {62, 61}, false, 42 / 0.6f * 36 / 72 * 2.54f, 51 / 0.6f * 36 / 72 * 2.54f},
      {24, 1, {63, 63}, true, 43 / 0.6f * 24 / 72, 53 / 0.6f * 24 / 72},
  };
  Objex* square = addShape({{50, 50}, {100, 50}, {100, 100}, {50, 100}});
  gCurTool = kToolSelection;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "scale " << c.planScale << " to " << c.to.x << ", " << c.to.y);
    doc.ds()->planScale = c.planScale;
    doc.ds()->worldUnits = c.worldUnits;
    SelectObj(square, kSelectOff, 1);
    hitTest(20, 10);
    ASSERT_FALSE(gClickInfo.hitMode);
    sReadouts.clear();
    gMouseCaptured = 1;
    BeginTracking(20, 10);
    KeepTracking(c.to.x, c.to.y, 20, 10);
    ASSERT_FALSE(sReadouts.empty());
    EXPECT_NEAR(sReadouts.back()[0], c.width, c.width * 1e-4);
    EXPECT_NEAR(sReadouts.back()[1], c.depth, c.depth * 1e-4);
    EndTracking(c.to.x, c.to.y, c.to.x, c.to.y);
    FinishTracking();
    EXPECT_EQ(IsObjectSelected(square), c.taken);
  }
  gFrontEnd = saved;
}

TEST_F(SelectionTools, MarqueeThatEnclosesNothingStillRebuildsTheSummaries) {
  addShape({{300, 300}, {348, 300}, {348, 348}, {300, 348}});
  gCurTool = kToolSelection;
  ServiceCallRecorder calls;
  drag({{0, 0}, {10, 60}});
  EXPECT_FALSE(IsObjectSelected(doc.first->firstObject));
  EXPECT_EQ(gMouseCaptured, 0);
}

// Click record of a hit on the first segment of the object, as the click road leaves it.
void HitSegment(Objex* o, int32_t x, int32_t y) {
  gClickInfo = ClickInfo{};
  gClickInfo.where = {x, y};
  gClickInfo.hitMode = 1;
  gClickInfo.segmentHit = 1;
  gClickInfo.hitPoint = o->firstPoint;
  gClickInfo.segmentEnd = o->firstPoint->next;
  gClickInfo.hitObject = o;
}

TEST_F(SelectionTools, MoveToolMovesTheSelectionByTheGridFlooredOffsetAtMouseUp) {
  Objex* shape = addShape({{48, 48}, {96, 48}, {96, 96}, {48, 96}});
  Objex* other = addShape({{300, 300}, {348, 300}, {348, 348}, {300, 348}});
  SelectObj(shape, kSelectOn, 1);
  gCurTool = kToolSelection;
  HitSegment(shape, 43, 29);  // (71.7, 48.3) floors to (48, 48)
  gMouseCaptured = 1;
  BeginTracking(43, 29);
  KeepTracking(100, 60, 43, 29);  // (166.7, 100) floors to (144, 96)
  EXPECT_FLOAT_EQ(X(shape, 0), 48.0f);  // the model waits for the mouse-up
  EndTracking(100, 60, 100, 60);
  FinishTracking();
  EXPECT_FLOAT_EQ(X(shape, 0), 48.0f + 96.0f);
  EXPECT_FLOAT_EQ(Z(shape, 0), 48.0f + 48.0f);
  EXPECT_FLOAT_EQ(X(shape, 2), 96.0f + 96.0f);
  EXPECT_FLOAT_EQ(X(other, 0), 300.0f);  // unselected: unchanged
  EXPECT_EQ(gMouseCaptured, 0);
}

TEST_F(SelectionTools, MoveStopsTheSelectionAtThePlanLimits) {
  // Plan bounds reach x = 2400.
  Objex* shape = addShape({{2304, 48}, {2352, 48}, {2352, 96}, {2304, 96}});
  SelectObj(shape, kSelectOn, 1);
  gCurTool = kToolSelection;
  HitSegment(shape, 1382, 29);
  drag({{1382, 29}, {1502, 29}});  // +216 asked, 48 left to the limit
  EXPECT_FLOAT_EQ(X(shape, 1), 2400.0f);
  EXPECT_FLOAT_EQ(X(shape, 0), 2352.0f);
  EXPECT_FLOAT_EQ(Z(shape, 0), 48.0f);
}

TEST_F(SelectionTools, MovedWallAsksForItsRebuild) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {240, 0}});
  UpdateObjectBounds(wall);
  SelectObj(wall, kSelectOn, 1);
  gCurTool = kToolSelection;
  HitSegment(wall, 60, 0);
  ServiceCallRecorder calls;
  drag({{60, 0}, {60, 60}});
  EXPECT_FLOAT_EQ(Z(wall, 0), 96.0f);
  EXPECT_FLOAT_EQ(Z(wall, 1), 96.0f);
  EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
  EXPECT_TRUE(calls.called("UpdateAllWallAttachments", wall->objectID));
  EXPECT_TRUE(calls.called("ReRenderObject", wall->objectID));
}

TEST_F(SelectionTools, ClickOnADoorHandsTheDragToTheWallAttachmentRoutine) {
  Objex* door = doc.addObject(kObjDoor, false, {{0, 0}});
  gCurTool = kToolSelection;
  gClickInfo = ClickInfo{};
  gClickInfo.hitMode = 1;
  gClickInfo.hitObject = door;
  ServiceCallRecorder calls;
  drag({{0, 0}, {60, 0}});
  EXPECT_EQ(calls.count("TranslateWallAttachment"), 1u);
  EXPECT_FLOAT_EQ(X(door, 0), 0.0f);
}

TEST_F(SelectionTools, ResizeScalesAboutTheFixedSide) {
  Objex* shape = addShape({{0, 0}, {96, 0}, {96, 48}, {0, 48}});
  SelectObj(shape, kSelectOn, 1);
  gData3DRect = EmptyFloat3DRect();
  GetObject3DBounds(shape, 1, &gData3DRect, 0);
  gCurTool = kToolResize;
  gClickInfo = ClickInfo{};
  gClickInfo.hitMode = 1;
  gClickInfo.hitObject = shape;
  gClickInfo.cornerHit = 1;
  // Grab near the right-bottom corner (96, 48) and drag to (192, 48): x doubles.
  drag({{58, 29}, {116, 29}});
  EXPECT_FLOAT_EQ(X(shape, 0), 0.0f);
  EXPECT_FLOAT_EQ(X(shape, 1), 192.0f);
  EXPECT_FLOAT_EQ(Z(shape, 2), 48.0f);
  EXPECT_FLOAT_EQ(gXResizeDirection, 1.0f);
}

}  // namespace
