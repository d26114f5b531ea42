// Point-level drags of the move tool: one selected point of a polyline, an end of an open
// wall (with its rebuild and the undo of a too-short end), and a wall segment moved
// parallel to itself with a meeting wall following.
#include <string>
#include <vector>

#include "ToolTestSupport.h"
#include "model/Selection.h"

namespace {

class PointEditing : public ToolTest {
 protected:
  static inline std::vector<float> sAngles;
  FrontEndServices savedFrontEnd = gFrontEnd;

  void SetUp() override {
    ToolTest::SetUp();
    sAngles.clear();
    gFrontEnd.drawAngle = [](float degrees) { sAngles.push_back(degrees); };
    doc.ds()->snapToGrid = 0;
    gCurTool = kToolSelection;
  }
  void TearDown() override {
    gFrontEnd = savedFrontEnd;
    ToolTest::TearDown();
  }

  // Click record of a hit on a point of the object.
  static void HitPoint(Objex* o, Poinz* p, int32_t x, int32_t y) {
    gClickInfo = ClickInfo{};
    gClickInfo.where = {x, y};
    gClickInfo.hitMode = 1;
    gClickInfo.pointHit = 1;
    gClickInfo.hitPoint = p;
    gClickInfo.hitObject = o;
  }
  static void HitSegment(Objex* o, Poinz* p, int32_t x, int32_t y) {
    gClickInfo = ClickInfo{};
    gClickInfo.where = {x, y};
    gClickInfo.hitMode = 1;
    gClickInfo.segmentHit = 1;
    gClickInfo.hitPoint = p;
    gClickInfo.segmentEnd = p->next;
    gClickInfo.hitObject = o;
  }
  Objex* addWall(std::initializer_list<std::pair<float, float>> pts) {
    Objex* w = doc.addObject(kObjWall, false, pts);
    w->width = 6;
    UpdateObjectBounds(w);
    return w;
  }
};

Poinz* At(const Objex* o, int i) {
  Poinz* p = o->firstPoint;
  while (i-- > 0) p = p->next;
  return p;
}

TEST_F(PointEditing, DraggingOneSelectedPointOfAPolylineMovesOnlyThatPoint) {
  Objex* line = doc.addObject(kObjClosedPoly, false, {{0, 0}, {120, 0}, {240, 0}, {240, 120}});
  line->planMask = 2;
  UpdateObjectBounds(line);
  SelectObj(line, kSelectOn, 1);
  Poinz* mid = At(line, 1);
  HitPoint(line, mid, 72, 0);  // (120, 0)
  gMouseCaptured = 1;
  BeginTracking(72, 0);
  EXPECT_TRUE(mid->selected);
  EXPECT_FALSE(At(line, 0)->selected);  // the point alone is dragged
  KeepTracking(72, 36, 72, 0);          // (120, 60)
  EXPECT_FLOAT_EQ(mid->position[2], 0.0f);
  EXPECT_FALSE(sAngles.empty());        // the angle readout follows the drag
  EndTracking(72, 36, 72, 36);
  FinishTracking();
  EXPECT_FLOAT_EQ(mid->position[0], 120.0f);
  EXPECT_FLOAT_EQ(mid->position[2], 60.0f);
  for (int i : {0, 2, 3}) EXPECT_FLOAT_EQ(At(line, i)->position[2], i == 3 ? 120.0f : 0.0f) << i;
  EXPECT_FLOAT_EQ(At(line, 0)->position[0], 0.0f);
  // The neighbours that were selected at the mouse-down are selected again.
  EXPECT_TRUE(At(line, 0)->selected);
  EXPECT_TRUE(At(line, 2)->selected);
  EXPECT_EQ(gMouseCaptured, 0);
}

TEST_F(PointEditing, DraggingASegmentOfAFloorShowsTheConstrainedAngleOrNoneWithShift) {
  for (const uint16_t modifiers : {uint16_t{0}, uint16_t{kTrackModShift}}) {
    Objex* floor = doc.addObject(kObjFloor, true, {{0, 0}, {240, 0}, {240, 240}, {0, 240}});
    floor->planMask = 2;
    UpdateObjectBounds(floor);
    SelectObj(floor, kSelectOn, 1);
    HitSegment(floor, floor->firstPoint, 72, 0);  // (120, 0) on the first segment
    sAngles.clear();
    sModifiers = modifiers;
    gTrackConstrainAngle = 0.5f;  // the angle the last constrained drag chose
    gMouseCaptured = 1;
    BeginTracking(72, 0);
    gPrevTrackModifiers = gTrackModifiers;
    KeepTracking(72, 36, 72, 0);
    ASSERT_FALSE(sAngles.empty()) << modifiers;
    if (modifiers) EXPECT_FLOAT_EQ(sAngles.back(), 32000.0f);
    else EXPECT_NEAR(sAngles.back(), 0.5 * 180.0 / 3.14159265358979, 1e-3);
    EndTracking(72, 36, 72, 36);
    FinishTracking();
    SelectObj(floor, kSelectOff, 1);
  }
}

// A dimension keeps its selection on a segment hit, and its segment drag shows the angle too.
TEST_F(PointEditing, DraggingASegmentOfALeaderDimensionShowsTheConstrainedAngle) {
  Objex* leader = doc.addObject(kObjLeaderDim, false, {{0, 0}, {240, 0}, {240, 240}});
  leader->planMask = 2;
  UpdateObjectBounds(leader);
  SelectObj(leader, kSelectOn, 1);
  HitSegment(leader, leader->firstPoint, 72, 0);  // (120, 0) on the first segment
  gTrackConstrainAngle = 0.5f;
  gMouseCaptured = 1;
  BeginTracking(72, 0);
  gPrevTrackModifiers = gTrackModifiers;
  KeepTracking(72, 36, 72, 0);
  ASSERT_FALSE(sAngles.empty());
  EXPECT_NEAR(sAngles.back(), 0.5 * 180.0 / 3.14159265358979, 1e-3);
  EndTracking(72, 36, 72, 36);
  FinishTracking();
  EXPECT_FLOAT_EQ(At(leader, 0)->position[2], 60.0f);  // the selection moved
  EXPECT_FLOAT_EQ(At(leader, 2)->position[2], 300.0f);
}

// A segment of a wall selected whole moves with the wall: the segments on both sides of it
// are measured to the moved segment while dragging.
TEST_F(PointEditing, DraggingASegmentOfAWholeWallMeasuresTheSegmentsBesideIt) {
  Objex* wall = addWall({{0, 0}, {240, 0}, {240, 240}, {0, 240}});
  SelectObj(wall, kSelectOn, 1);
  HitSegment(wall, At(wall, 1), 144, 72);  // (240, 120) on the middle segment
  gMouseCaptured = 1;
  gRoundToggle = 0;
  BeginTracking(144, 72);
  EXPECT_TRUE(overlay.dynamicDimArray().empty());
  gPrevTrackModifiers = gTrackModifiers;
  KeepTracking(180, 72, 144, 72);  // right by 60
  const auto& labels = overlay.dynamicDimArray();
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_EQ(gRoundToggle, 1);  // set for the readouts
  const std::string before = labels[0]->dimensionText(), after = labels[1]->dimensionText();
  EXPECT_EQ(before, "150\"");  // 240 + 60 plan units
  EXPECT_EQ(after, "150\"");
  EndTracking(180, 72, 180, 72);
  FinishTracking();
  EXPECT_FLOAT_EQ(At(wall, 0)->position[0], 60.0f);  // the whole wall moved
  EXPECT_FLOAT_EQ(At(wall, 2)->position[0], 300.0f);
}

TEST_F(PointEditing, DraggingAWallEndLengthensTheWallAndRebuildsIt) {
  Objex* wall = addWall({{0, 0}, {240, 0}});
  SelectObj(wall, kSelectOn, 1);
  HitPoint(wall, At(wall, 1), 144, 0);
  ServiceCallRecorder calls;
  drag({{144, 0}, {180, 0}});  // to (300, 0)
  EXPECT_FLOAT_EQ(At(wall, 1)->position[0], 300.0f);
  EXPECT_FLOAT_EQ(At(wall, 1)->position[2], 0.0f);
  EXPECT_FLOAT_EQ(At(wall, 0)->position[0], 0.0f);
  EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
  EXPECT_TRUE(calls.called("UpdateAllWallAttachments", wall->objectID));
  EXPECT_TRUE(calls.called("ReRenderObject", wall->objectID));
}

TEST_F(PointEditing, AWallEndLeftTooShortOrOntoItsOtherEndIsNotMoved) {
  Objex* wall = addWall({{0, 0}, {240, 0}});
  SelectObj(wall, kSelectOn, 1);
  size_t plainDrag = 0;
  {
    Objex* other = addWall({{0, 300}, {240, 300}});
    SelectObj(other, kSelectOn, 1);
    HitPoint(other, At(other, 1), 144, 180);
    ServiceCallRecorder reference;
    drag({{144, 180}, {120, 180}});
    plainDrag = reference.count("UpdateAllWallAttachments");
    SelectObj(other, kSelectOff, 1);
  }
  SelectObj(wall, kSelectOn, 1);
  HitPoint(wall, At(wall, 1), 144, 0);
  ServiceCallRecorder calls;
  drag({{144, 0}, {9, 0}});  // (15, 0): the end segment would be 15 long
  EXPECT_FLOAT_EQ(At(wall, 1)->position[0], 240.0f);
  // Moved, then rebuilt after the drop search, as every dropped end is (here as it was).
  EXPECT_EQ(calls.count("UpdateAllWallAttachments"), plainDrag);
  EXPECT_FLOAT_EQ(At(wall, 0)->position[0], 0.0f);

  SelectObj(wall, kSelectOn, 1);
  HitPoint(wall, At(wall, 1), 144, 0);
  drag({{144, 0}, {3, 0}});  // (5, 0): within 10 of the other end
  EXPECT_FLOAT_EQ(At(wall, 1)->position[0], 240.0f);
}

TEST_F(PointEditing, AWallSegmentDragMovesBothPointsAndAMeetingWallFollows) {
  Objex* wall = addWall({{0, 0}, {240, 0}});
  Objex* tee = addWall({{120, -120}, {120, 0}});  // its end meets the segment
  Objex* apart = addWall({{400, -120}, {400, 0}});
  SelectObj(wall, kSelectOn, 1);
  HitSegment(wall, wall->firstPoint, 36, 0);
  ServiceCallRecorder calls;
  drag({{36, 0}, {36, 36}});  // down by 60
  EXPECT_FLOAT_EQ(At(wall, 0)->position[2], 60.0f);
  EXPECT_FLOAT_EQ(At(wall, 1)->position[2], 60.0f);
  EXPECT_FLOAT_EQ(At(wall, 0)->position[0], 0.0f);
  EXPECT_FLOAT_EQ(At(wall, 1)->position[0], 240.0f);
  EXPECT_NEAR(At(tee, 1)->position[2], 60.0f, 1e-3);
  EXPECT_NEAR(At(tee, 1)->position[0], 120.0f, 1e-3);
  EXPECT_FLOAT_EQ(At(tee, 0)->position[2], -120.0f);
  EXPECT_FLOAT_EQ(At(apart, 1)->position[2], 0.0f);
  EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
  EXPECT_TRUE(calls.called("Update3DWall", tee->objectID));
  EXPECT_FALSE(calls.called("Update3DWall", apart->objectID));
}

}  // namespace
