// Selection predicates, point modes, point-oriented tools and the selection summaries.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <utility>

#include "ChildBuilders.h"
#include "TestDocument.h"
#include "ViewStateGuard.h"
#include "model/Delete.h"
#include "model/Attachments.h"
#include "model/HitTest.h"
#include "model/Selection.h"
#include "model/SelectionState.h"


TEST(Selection, DoorSelectedInWallSelectsTheDoorNotTheWall) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  Objex* door = AddChild(wall, kObjDoor, {{20, 0}, {40, 0}});
  SetObjectSelectFlags(door, 1);
  EXPECT_FALSE(IsObjectSelected(wall));
  EXPECT_TRUE(IsObjectSelected(door));
  EXPECT_TRUE(IsAnyObjectSelected(wall));
  EXPECT_EQ(gIsAnyObjectSelectedObject, door);
  EXPECT_EQ(GetASelectedObject(1), nullptr);  // the wall is not a selected top-level object
  wall->firstPoint->selected = 1;
  EXPECT_TRUE(IsAnyObjectSelected(wall));
  EXPECT_EQ(gIsAnyObjectSelectedObject, wall);
  EXPECT_EQ(GetASelectedObject(1), wall);
  EXPECT_FALSE(IsEntireObjectSelected(wall));
}

TEST(Selection, RoofCountsSkylightOnlyWhileTracking) {
  TestDocument doc;
  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {100, 0}, {100, 100}});
  Objex* sky = AddChild(roof, kObjSkylight, {{10, 10}, {20, 10}});
  SetObjectSelectFlags(sky, 1);
  EXPECT_FALSE(IsObjectSelected(roof));
  gTrackingMouse = 1;
  EXPECT_TRUE(IsObjectSelected(roof));
  gTrackingMouse = 0;
  EXPECT_TRUE(IsAnyRoofAttachmentSelected(roof));
}

TEST(Selection, EmptyObjectIsEntirelyButNotSelected) {
  TestDocument doc;
  Objex* empty = doc.addObject(kObjGroup, false, {});
  EXPECT_TRUE(IsEntireObjectSelected(empty));
  EXPECT_FALSE(IsObjectSelected(empty));
  EXPECT_FALSE(IsObjectSelected(nullptr));
  EXPECT_FALSE(IsEntireObjectSelected(nullptr));
}

TEST(Selection, HideLockAndUnhidePoints) {
  TestDocument doc;
  Objex* line = doc.addObject(kObjOpenPoly, false, {{0, 0}, {10, 0}});
  Poinz* p = line->firstPoint;
  SpecialSelectPoint(p, kSelectHide, 0);
  EXPECT_EQ(p->detectable, 1);  // unselected: unchanged
  p->selected = 1;
  SpecialSelectPoint(p, kSelectLock, 0);
  EXPECT_EQ(p->locked, 1);
  EXPECT_EQ(p->selected, 1);
  SpecialSelectPoint(p, kSelectHide, 0);
  EXPECT_EQ(p->selected, 0);
  EXPECT_EQ(p->detectable, 0);
  SpecialSelectPoint(p, kSelectUnhide, 0);  // needs no selection
  EXPECT_EQ(p->detectable, 1);
}

TEST(Selection, PointOrientedTools) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {10, 0}});
  Objex* oval = doc.addObject(kObjOval, true, {{0, 0}, {10, 0}});
  gPointOrientation = 0;
  EXPECT_FALSE(ToolIsPointOriented(kToolSelection, wall));
  EXPECT_TRUE(ToolIsPointOriented(7910, wall));
  EXPECT_FALSE(ToolIsPointOriented(7910, oval));
  EXPECT_FALSE(ToolIsPointOriented(0, wall));  // no tool: the mode itself
  gPointOrientation = 1;
  EXPECT_TRUE(ToolIsPointOriented(kToolSelection, wall));
  EXPECT_TRUE(ToolIsPointOriented(-1, nullptr));
  gPointOrientation = 0;
}

TEST(Selection, FirstSelectedObjectIDOfCurrentLayer) {
  TestDocument doc;
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  Objex* b = doc.addObject(kObjLine, false, {{0, 5}, {10, 5}});
  uint32_t id = 0;
  EXPECT_FALSE(FindFirstSelectedObjectID(&id));
  SetObjectSelectFlags(b, 1);
  EXPECT_TRUE(FindFirstSelectedObjectID(&id));
  EXPECT_EQ(id, b->objectID);
  EXPECT_FALSE(FindFirstSelectedObjectID(nullptr));
}

// The chosen corner of the selection is made whole (halves upward, also left of and above the
// origin) and snapped; the selection moves by the difference. The grid here is 20 view units.
TEST(Selection, AlignToGridRoundsTheCornerHalfUp) {
  TestDocument doc;
  ViewStateGuard view;
  doc.ds()->zoomFactor = 1;
  doc.ds()->gridSpacing = FloatPoint{10, 10};
  const struct {
    int32_t cmd;
    float x, z;  // the corner's expected place after the move
  } cases[] = {
      {0, -20, 0},       // top-left: -10.7 is -11, nearer -20 than 0; 4 snaps to 0
      {5141, 60, 0},     // top-right: 49.5 is 50, which rounds up to 60
      {5142, 60, 40},    // bottom-right: 30.4 is 30, which rounds up to 40
      {5143, -20, 40},   // bottom-left
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cmd);
    Objex* line = doc.addObject(kObjLine, false, {{-10.7f, 4}, {49.5f, 30.4f}});
    SetObjectSelectFlags(line, 1);
    AlignSelectedToGrid(c.cmd);
    Poinz* first = line->firstPoint;
    Poinz* last = first->next;
    const float x = c.cmd == 5141 || c.cmd == 5142 ? last->position[0] : first->position[0];
    const float z = c.cmd == 5142 || c.cmd == 5143 ? last->position[2] : first->position[2];
    EXPECT_NEAR(x, c.x, 1e-3);
    EXPECT_NEAR(z, c.z, 1e-3);
    DeleteObj(line);
  }
}

// The projected point is made whole by rounding halves upward, left of the origin too: a point
// projected to x = -3.7 sits at -4, so its hit square spans -9 to 1.
TEST(Selection, Test3DHitRoundsTheProjectedPointHalfUp) {
  TestDocument doc;
  ViewStateGuard view;
  auto project = [](float x) {
    float y = 0, z = 0;
    ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                          gGlobalYOffset, gGlobalZOffset, 1);
    return std::pair{x, y};
  };
  const auto [x0, y0] = project(0);
  const float perUnit = project(1).first - x0;
  const float modelX = (-3.7f - x0) / perUnit;
  const auto [px, py] = project(modelX);
  ASSERT_NEAR(px, -3.7f, 1e-3);
  ClickInfo click{};
  click.where.y = static_cast<int32_t>(std::floor(py + 0.5f));
  for (const auto& [x, hit] : {std::pair{-10, false}, {-9, true}, {1, true}, {2, false}}) {
    click.where.x = x;
    EXPECT_EQ(Test3DHit(modelX, 0, 0, &click), hit) << x;
  }
  EXPECT_FALSE(Test3DHit(modelX, 0, 0, nullptr));
}

TEST(SelectionState, DetailWeightsRoundAndDisagree) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjDetail, true, {{0, 0}, {10, 0}, {10, 10}});
  Objex* b = doc.addObject(kObjDetail, true, {{0, 0}, {10, 0}, {10, 10}});
  a->subtype = b->subtype = kSubDetailRect;
  a->width = 1.4f;
  b->width = 1.6f;
  SelectionState ss;
  ClearSelectionState(doc.ds(), &ss);
  UpdateSelectionState(doc.ds(), &ss, a);
  EXPECT_EQ(ss.ssStateFresh, 0);
  EXPECT_EQ(ss.ssPenWidthValue, 1);
  EXPECT_EQ(ss.ssPenWidth, 1);
  UpdateSelectionState(doc.ds(), &ss, b);
  EXPECT_EQ(ss.ssPenWidthValue, 1);
  EXPECT_EQ(ss.ssPenWidth, 0);
  EXPECT_EQ(ss.ssPenStyle, 1);  // both styles 6

  // Weights read from a file may lie beyond a short: they are held to its range, both for
  // the first object and the ones after it; a weight that is not a number counts as 0.
  a->width = 40000.4f;
  b->width = 1e9f;
  ClearSelectionState(doc.ds(), &ss);
  UpdateSelectionState(doc.ds(), &ss, a);
  EXPECT_EQ(ss.ssPenWidthValue, 32767);
  UpdateSelectionState(doc.ds(), &ss, b);
  EXPECT_EQ(ss.ssPenWidthValue, 32767);
  EXPECT_EQ(ss.ssPenWidth, 1);
  a->width = -1e9f;
  b->width = std::nanf("");
  ClearSelectionState(doc.ds(), &ss);
  UpdateSelectionState(doc.ds(), &ss, a);
  EXPECT_EQ(ss.ssPenWidthValue, -32768);
  UpdateSelectionState(doc.ds(), &ss, b);
  EXPECT_EQ(ss.ssPenWidth, 0);
}

TEST(SelectionState, NonDetailObjectsAgreeOnConstants) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  SelectionState ss;
  ClearSelectionState(doc.ds(), &ss);
  UpdateSelectionState(doc.ds(), &ss, a);
  UpdateSelectionState(doc.ds(), &ss, a);
  EXPECT_EQ(static_cast<uint16_t>(ss.ssPenWidthValue), 65535);
  EXPECT_EQ(ss.ssPenWidth, 1);
  EXPECT_EQ(ss.ssFillPatID, 0);
  EXPECT_EQ(ss.ssPenStyleType, 6);
}

TEST(SelectionState, WallElevationsDisagree) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {100, 100}});
  SetObjectSelectFlags(wall, 1);
  wall->baseElevation = 10;
  SelectionState40 ss40;
  ClearSelectionState40(doc.ds(), &ss40);
  UpdateSelectionState40(&ss40, wall);
  EXPECT_EQ(ss40.ssBaseElevation, 0);
  EXPECT_EQ(ss40.ssStateFresh, 0);

  // Only the segment elevations of a partly selected wall count.
  for (Poinz* p = wall->firstPoint; p; p = p->next) p->segmentElevation = 4;
  wall->firstPoint->next->next->selected = 0;
  ClearSelectionState40(doc.ds(), &ss40);
  UpdateSelectionState40(&ss40, wall);
  EXPECT_EQ(ss40.ssBaseElevation, 1);
  EXPECT_FLOAT_EQ(ss40.ssBaseElevationValue, 4);
}

TEST(SelectionState, FloatingRootClearsTheAgreementBeforeItsOwnFold) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  Objex* b = doc.addObject(kObjLine, false, {{0, 20}, {10, 20}});
  a->auxFlag = 1;
  SelectionState40 ss40;
  // Alone (or first) its fresh fold starts the summary again.
  ClearSelectionState40(doc.ds(), &ss40);
  UpdateSelectionState40(&ss40, a);
  EXPECT_EQ(ss40.ssBaseElevation, 1);
  // After another object of the same elevation it leaves the summary mixed.
  ClearSelectionState40(doc.ds(), &ss40);
  UpdateSelectionState40(&ss40, b);
  UpdateSelectionState40(&ss40, a);
  EXPECT_EQ(ss40.ssBaseElevation, 0);
}

// What a marquee around a wall leaves: every wall point selected, the door in it not. The
// wall counts as entirely selected (its children never count), the door as unselected, and
// the door's elevation stays out of the summary until the door itself is selected with one
// of its anchors left out.
TEST(SelectionState, WallSelectedWithoutItsDoor) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {100, 100}});
  Objex* door = AddDoor(wall, 0);
  static_cast<DoorWindowData*>(door->typeData)->elevation = 30;
  for (Poinz* p = wall->firstPoint; p; p = p->next) p->selected = 1;
  EXPECT_TRUE(IsEntireObjectSelected(wall));
  EXPECT_TRUE(IsObjectSelected(wall));
  EXPECT_TRUE(IsRootObjectSelected(wall));
  EXPECT_FALSE(IsObjectSelected(door));
  EXPECT_FALSE(IsEntireObjectSelected(door));
  EXPECT_TRUE(IsAnyObjectSelected(wall));
  EXPECT_EQ(gIsAnyObjectSelectedObject, wall);

  SelectionState40 ss40;
  ClearSelectionState40(doc.ds(), &ss40);
  UpdateSelectionState40(&ss40, wall);
  EXPECT_EQ(ss40.ssBaseElevation, 1);
  EXPECT_FLOAT_EQ(ss40.ssBaseElevationValue, 0);

  // The door entirely selected but both anchors too: still not folded.
  SetObjectSelectFlags(door, 1);
  ClearSelectionState40(doc.ds(), &ss40);
  UpdateSelectionState40(&ss40, wall);
  EXPECT_EQ(ss40.ssBaseElevation, 1);

  // One anchor left out: the door's elevation (30 plan units) disagrees with the 0 of the
  // segment still selected.
  wall->firstPoint->selected = 0;
  ClearSelectionState40(doc.ds(), &ss40);
  UpdateSelectionState40(&ss40, wall);
  EXPECT_EQ(ss40.ssBaseElevation, 0);
}
