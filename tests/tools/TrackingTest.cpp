// The tracking stages and the dispatch by tool code: the globals each stage leaves, the
// codes without a routine, and undo names.
#include "ToolTestSupport.h"
#include "tools/ToolUndoNames.h"

namespace {

using Tracking = ToolTest;

TEST_F(Tracking, StagesRecordTheDownAndUpPoints) {
  gCurTool = kToolRectangle;
  gMouseCaptured = 1;
  BeginTracking(100, 50);
  EXPECT_EQ(gStartMouse.x, 100);
  EXPECT_EQ(gBeginMouse.y, 50);
  EXPECT_FLOAT_EQ(gDownX, 168.0f);
  EXPECT_FLOAT_EQ(gDownZ, 72.0f);
  EXPECT_FLOAT_EQ(gTrackState.startX, 168.0f);
  EXPECT_EQ(gBeginKeepTracking, 1);
  EXPECT_EQ(gTrackingObject, 0);
  EXPECT_EQ(doc.ds()->documentChanged, 1);

  KeepTracking(160, 90, 100, 50);
  EXPECT_EQ(gTrackingMouse, 1);
  EXPECT_EQ(gTrackingObject, 1);
  EXPECT_EQ(gBeginKeepTracking, 0);
  EXPECT_FLOAT_EQ(gTrackState.currentX, 264.0f);  // 266.7 to the nearest grid line
  EXPECT_FLOAT_EQ(gTrackState.currentZ, 144.0f);

  EndTracking(999, 999, 160, 90);  // the last tracked point counts, not the up event's
  EXPECT_EQ(gEndMouse.x, 160);
  EXPECT_FLOAT_EQ(gUpX, 264.0f);
  EXPECT_FLOAT_EQ(gUpZ, 144.0f);
  FinishTracking();
  EXPECT_EQ(gTrackingMouse, 0);
  EXPECT_EQ(gTrackingObject, 0);
}

TEST_F(Tracking, ModifiersFollowTheCurrentEvent) {
  gCurTool = kToolRectangle;
  sModifiers = kTrackModShift | kTrackModCommand;
  MaintainModifiers();
  EXPECT_EQ(gTrackModifiers, kTrackModShift | kTrackModCommand);
  sModifiers = kTrackModCommand;
  MaintainModifiers();
  EXPECT_EQ(gTrackModifiers, kTrackModCommand);
}

TEST_F(Tracking, CodesWithoutARoutineOnlyReleaseTheMouse) {
  gCurTool = 9999;  // no tool has this code
  drag({{10, 10}, {80, 10}});
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_EQ(CountObjects(doc.first), 0);
  // Every tool code has its routine now, the view point and the key-entry wall tools too.
  for (uint16_t tool : {kToolViewPoint, kToolExteriorWallKeyEntry, kToolInteriorWallKeyEntry, kToolRectangle})
    EXPECT_EQ(PendingTrackingRoutine(tool), nullptr) << tool;
}

TEST_F(Tracking, NoDocumentOrNoToolDoesNothing) {
  gCurTool = kToolNone;
  doc.ds()->documentChanged = 0;
  drag({{10, 10}, {80, 10}});
  EXPECT_EQ(doc.ds()->documentChanged, 1);  // the stage reached the dispatch
  EXPECT_EQ(gMouseCaptured, 1);             // but no tool ran

  CurrentDocumentScope none(nullptr);
  gStartMouse = {};
  BeginTracking(50, 50);
  EXPECT_EQ(gStartMouse.x, 0);
}

TEST_F(Tracking, RotateAndFilletWithoutAHitRunTheMarquee) {
  Objex* shape = addShape({{48, 48}, {96, 48}, {96, 96}, {48, 96}});
  for (uint16_t tool : {uint16_t(kToolRotate), uint16_t(kToolFillet)}) {
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 1);
    gCurTool = tool;
    gClickInfo = ClickInfo{};
    drag({{0, 0}, {100, 100}});
    EXPECT_TRUE(IsObjectSelected(shape)) << tool;
  }
}

TEST_F(Tracking, UndoNamesByTool) {
  EXPECT_STREQ(UndoNameForTool(kToolSelection), "Move/Resize");
  EXPECT_STREQ(UndoNameForTool(kToolResize), "Resize");
  EXPECT_STREQ(UndoNameForTool(kToolRotate), "Rotate");
  EXPECT_STREQ(UndoNameForTool(kToolRectangle), "Rectangle Tool");
  EXPECT_STREQ(UndoNameForTool(kToolCircleOval), "Circle/Oval Tool");
  EXPECT_STREQ(UndoNameForTool(kToolExteriorWall), "Exterior Wall Tool");
  EXPECT_STREQ(UndoNameForTool(kToolDeckStraightRailing), "Straight Railing Tool");
  EXPECT_STREQ(UndoNameForTool(kToolSkylight), "Skylight");
  EXPECT_STREQ(UndoNameForTool(kToolPointSelection), " ");
  EXPECT_EQ(UndoNameForTool(kToolInsertPoint), nullptr);
  EXPECT_EQ(UndoNameForTool(kToolText), nullptr);

  // The drag tools store a step only after a hit, the corner tools only when they cut.
  for (uint16_t tool : {kToolSelection, kToolRotate, kToolResize}) {
    EXPECT_FALSE(ToolStoresUndo(tool, 0, 1)) << tool;
    EXPECT_TRUE(ToolStoresUndo(tool, 1, 0)) << tool;
  }
  for (uint16_t tool : {kToolFillet, kToolInvertedFillet, kToolChamfer}) {
    EXPECT_FALSE(ToolStoresUndo(tool, 1, 0)) << tool;
    EXPECT_TRUE(ToolStoresUndo(tool, 0, 1)) << tool;
  }
  EXPECT_TRUE(ToolStoresUndo(kToolRectangle, 0, 0));
  EXPECT_FALSE(ToolStoresUndo(kToolPan, 1, 1));
}

}  // namespace
