// The door and window tools (placing by a press on a wall, the slide, the swing), the arc
// rubber bands, and keeping a wall's openings in step with it: re-fitting after a wall edit
// and the move tool's slide and stretch of one opening.
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "ScriptedModalEvents.h"
#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "model/Globals.h"
#include "model/LineGeometry.h"
#include "model/Selection.h"
#include "model/ViewProjection.h"
#include "platform/Alerts.h"
#include "tools/AttachedWallDims.h"
#include "tools/DoorWindowTools.h"
#include "tools/WallAttachments.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// The plan at zoom 1 without grid snapping: window points are plan points (1 in = 2 units).
struct DoorWindow : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  // A press of the current tool on the wall's segment from point i to the next.
  void pressOnSegment(Objex* wall, int i, int32_t x, int32_t y) {
    gClickInfo = ClickInfo{};
    gClickInfo.hitMode = 1;
    gClickInfo.hitObject = wall;
    gClickInfo.segmentHit = 1;
    gClickInfo.hitPoint = TestPointAt(wall, i);
    gClickInfo.segmentEnd = TestPointAt(wall, i + 1);
    gClickInfo.where = {x, y};
    drag({{x, y}});
  }
  Objex* pressDoor(Objex* wall, int32_t x) {
    gCurTool = kToolDoor;
    pressOnSegment(wall, 0, x, 0);
    return wall->firstChild;
  }
};

float X(const Objex* o, int i) { return TestPointAt(const_cast<Objex*>(o), i)->position[0]; }
float Z(const Objex* o, int i) { return TestPointAt(const_cast<Objex*>(o), i)->position[2]; }

TEST_F(DoorWindow, DoorPressedAtTheMiddleTakesItsDefaults) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  ScopedAlertRecorder alerts;
  Objex* door = pressDoor(wall, 100);
  ASSERT_NE(door, nullptr);
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(door->type, kObjDoor);
  EXPECT_EQ(door->parent, wall);
  EXPECT_EQ(door->planMask, 2);
  EXPECT_EQ(door->levels, 1);
  EXPECT_EQ(door->textureID, 2218);
  EXPECT_EQ(door->penStyle, 6);
  EXPECT_FLOAT_EQ(door->width, 1.0f);
  EXPECT_EQ(door->penColor, (RGBColor{45232, 31868, 7710}));
  EXPECT_EQ(door->fillColor, (RGBColor{65535, 65535, 65535}));
  ASSERT_EQ(CountPoints(door), 2);
  EXPECT_FLOAT_EQ(X(door, 0), 70);
  EXPECT_FLOAT_EQ(Z(door, 0), 0);
  EXPECT_FLOAT_EQ(X(door, 1), 130);
  EXPECT_FLOAT_EQ(Z(door, 1), 0);
  const DoorWindowData* d = AttachmentData(door);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->ownerType, kObjDoor);
  EXPECT_EQ(d->subtype, 501);
  EXPECT_EQ(d->anchorStart, wall->firstPoint);
  EXPECT_EQ(d->anchorEnd, wall->firstPoint->next);
  EXPECT_FLOAT_EQ(d->startDistance, 100);
  EXPECT_FLOAT_EQ(d->remainingLength, 100);
  EXPECT_FLOAT_EQ(d->width, 60);
  EXPECT_FLOAT_EQ(d->height, 160);
  EXPECT_FLOAT_EQ(d->elevation, 0);
  EXPECT_EQ(d->dividerStyle(), 1);
  EXPECT_EQ(d->dividerOption(), 0);
  EXPECT_FLOAT_EQ(d->frameSize(), 3.0f);
  EXPECT_EQ(d->flipVertical, 0);  // no swing chosen: the loop had no click
  for (const TrimSlot* slot : {&d->trimSlotA, &d->trimSlotB}) {
    EXPECT_EQ(slot->flag, 0);
    EXPECT_EQ(slot->textureID, 2218);
    EXPECT_EQ(slot->color, (RGBColor{65535, 65535, 65535}));
    EXPECT_EQ(slot->profile, nullptr);
  }
  EXPECT_TRUE(IsObjectSelected(door));
}

TEST_F(DoorWindow, AnOpeningStopsFiveInsideEitherEnd) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  Objex* near = pressDoor(wall, 10);
  ASSERT_NE(near, nullptr);
  EXPECT_FLOAT_EQ(X(near, 0), 5);
  EXPECT_FLOAT_EQ(X(near, 1), 65);
  Objex* other = AddTestWall(doc, {{0, 0}, {200, 0}});
  Objex* far = pressDoor(other, 195);
  ASSERT_NE(far, nullptr);
  EXPECT_FLOAT_EQ(X(far, 0), 135);
  EXPECT_FLOAT_EQ(X(far, 1), 195);
}

TEST_F(DoorWindow, WindowTakesTheWindowDefaults) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  gCurTool = kToolWindow;
  pressOnSegment(wall, 0, 100, 0);
  Objex* window = wall->firstChild;
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->type, kObjWindow);
  const DoorWindowData* d = AttachmentData(window);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->subtype, 600);
  EXPECT_FLOAT_EQ(d->width, 72);
  EXPECT_FLOAT_EQ(d->height, 112);
  EXPECT_FLOAT_EQ(d->elevation, 48);
  EXPECT_EQ(d->dividerStyle(), 0);
  EXPECT_EQ(d->flipHorizontal, 0);
  EXPECT_FLOAT_EQ(X(window, 0), 64);
  EXPECT_FLOAT_EQ(X(window, 1), 136);
}

TEST_F(DoorWindow, RefusalsShowTheToolsSheets) {
  ScopedAlertRecorder alerts;
  gCurTool = kToolDoor;
  gClickInfo = ClickInfo{};
  drag({{100, 100}});
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Wall segment not found.");
  EXPECT_EQ(alerts.shown[0].informative,
            "To place a door, click on a wall segment of sufficient length and then drag to position the door.");
  gCurTool = kToolWindow;
  drag({{100, 100}});
  ASSERT_EQ(alerts.shown.size(), 2u);
  EXPECT_EQ(alerts.shown[1].informative,
            "To place a window, click on a wall segment of sufficient length and then drag to position the window.");

  // A 60-unit door is wider than the working length (59) of a 54-unit segment.
  Objex* wall = AddTestWall(doc, {{0, 0}, {54, 0}});
  EXPECT_EQ(pressDoor(wall, 27), nullptr);
  ASSERT_EQ(alerts.shown.size(), 3u);
  EXPECT_EQ(alerts.shown[2].message, "Unable to place door on wall segment.");
  EXPECT_EQ(alerts.shown[2].informative, "Please make sure the wall segment is long enough to accommodate the door.");
  EXPECT_EQ(wall->firstChild, nullptr);
  // A 55-unit segment (working length 60) takes it. A swinging door that wide cannot stay:
  // the re-fit after the swing takes it off again with its own sheet.
  Objex* longer = AddTestWall(doc, {{0, 100}, {55, 100}});
  gCurTool = kToolDoor;
  pressOnSegment(longer, 0, 27, 100);
  ASSERT_EQ(alerts.shown.size(), 4u);
  EXPECT_EQ(alerts.shown[3].message, "One or more components have been removed.");
  EXPECT_EQ(longer->firstChild, nullptr);
  EXPECT_EQ(CountPoints(longer), 2);
  // A garage door has no swing: it stays where the slide put it, 5 in from the start.
  doc.ds()->doorStyle = kDoorGarage;
  pressOnSegment(longer, 0, 27, 100);
  EXPECT_EQ(alerts.shown.size(), 4u);
  Objex* door = longer->firstChild;
  ASSERT_NE(door, nullptr);
  EXPECT_FLOAT_EQ(X(door, 0), 5);
  EXPECT_FLOAT_EQ(X(door, 1), 65);
  EXPECT_FLOAT_EQ(AttachmentData(door)->startDistance, 35);

  // The window tool: a 72-unit window is refused by a 66-unit segment and placed on a 67-unit one.
  gCurTool = kToolWindow;
  Objex* shortWall = AddTestWall(doc, {{0, 200}, {66, 200}});
  pressOnSegment(shortWall, 0, 33, 200);
  ASSERT_EQ(alerts.shown.size(), 5u);
  EXPECT_EQ(alerts.shown[4].message, "Unable to place window on wall segment.");
  EXPECT_EQ(alerts.shown[4].informative,
            "Please make sure the wall segment is long enough to accommodate the window.");
  EXPECT_EQ(shortWall->firstChild, nullptr);
  Objex* windowWall = AddTestWall(doc, {{0, 300}, {67, 300}});
  pressOnSegment(windowWall, 0, 33, 300);
  EXPECT_EQ(alerts.shown.size(), 5u);
  ASSERT_NE(windowWall->firstChild, nullptr);
  EXPECT_EQ(windowWall->firstChild->type, kObjWindow);
}

// An opening wider than its segment, slid to the far end, starts before the segment start:
// its record measures the centre along the segment, so the next re-fit sees it does not fit.
TEST_F(DoorWindow, AnOpeningWiderThanItsSegmentKeepsItsCentreAlongTheSegment) {
  ScopedAlertRecorder alerts;
  Objex* wall = AddTestWall(doc, {{0, 0}, {70, 0}});
  gCurTool = kToolWindow;
  pressOnSegment(wall, 0, 60, 0);
  Objex* window = wall->firstChild;
  ASSERT_NE(window, nullptr);
  EXPECT_FLOAT_EQ(X(window, 0), -7);
  EXPECT_FLOAT_EQ(X(window, 1), 65);
  const DoorWindowData* d = AttachmentData(window);
  ASSERT_NE(d, nullptr);
  EXPECT_FLOAT_EQ(d->startDistance, 29);
  EXPECT_FLOAT_EQ(d->remainingLength, 41);
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(UpdateAllWallAttachments(wall), 1);
  EXPECT_EQ(wall->firstChild, nullptr);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "One or more components have been removed.");
}

TEST_F(DoorWindow, OffAWallInAnElevationNothingIsSaid) {
  ScopedAlertRecorder alerts;
  gXViewAngle = 0;
  gYViewAngle = 0;  // the front elevation
  ASSERT_NE(GetCurrentView(), kCmdViewTop);
  gCurTool = kToolDoor;
  gClickInfo = ClickInfo{};
  drag({{100, 100}});
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(DoorWindow, ClosingTheWindowDuringTheSlideMakesNothing) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  ScriptedModalEvents events;
  events.drag(120, 0).closeWindow();
  EXPECT_EQ(pressDoor(wall, 100), nullptr);
}

TEST_F(DoorWindow, TheSlideFollowsTheMouseAndPutsTheResizeFactorsBack) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  gXResizeDirection = -1;
  FloatPoint first{}, second{};
  {
    ScriptedModalEvents events;
    events.drag(110, 0).drag(150, 3).up(150, 3);
    EXPECT_EQ(TrackDoorPlacement(wall, wall->firstPoint, wall->firstPoint->next, 60, 205, 0, 200, 100, 0, &first,
                                 &second, 0, 0, kObjDoor, 0, nullptr, nullptr),
              1);
  }
  EXPECT_FLOAT_EQ(first.floatH, 120);
  EXPECT_FLOAT_EQ(second.floatH, 180);
  EXPECT_FLOAT_EQ(first.floatV, 0);
  EXPECT_FLOAT_EQ(gXResizeDirection, -1);
  EXPECT_TRUE(overlay.areAllPathsEmpty());
}

// In an elevation the pointer gives one plan coordinate; a door moved along a wall at 45
// degrees still lands under the pointer in each of the four side views.
TEST_F(DoorWindow, AMovedDoorFollowsThePointerInEverySideView) {
  const float diagonal = std::sqrt(2.0f);
  for (float yAngle : {270.0f, 90.0f, 0.0f, 180.0f}) {
    Objex* wall = AddTestWall(doc, {{0, 0}, {200, 200}});
    gXViewAngle = 0;
    gYViewAngle = yAngle;
    SetUpForRotationAboutArbitraryAxis(0, yAngle, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle, 0);
    ASSERT_GE(GetCurrentView(), kCmdViewLeft);
    ASSERT_LE(GetCurrentView(), kCmdViewBack);
    auto windowAt = [&](float along) {
      float x = along / diagonal, y = 0, z = along / diagonal;
      ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                            gGlobalYOffset, gGlobalZOffset, 1);
      return POINT{static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
    };
    DoorWindowData record{};
    record.startDistance = 100;
    record.width = 40;
    const POINT press = windowAt(100), release = windowAt(150);
    FloatPoint first{}, second{};
    ScriptedModalEvents events;
    events.drag(release.x, release.y).up(release.x, release.y);
    EXPECT_EQ(TrackDoorPlacement(wall, wall->firstPoint, wall->firstPoint->next, 40, 288, 0, 283, press.x, press.y,
                                 &first, &second, 0, 0, kObjDoor, 1, &record, nullptr),
              1);
    EXPECT_NEAR(first.floatH, 130 / diagonal, 1.0f) << yAngle;
    EXPECT_NEAR(first.floatV, 130 / diagonal, 1.0f) << yAngle;
    EXPECT_NEAR(second.floatH, 170 / diagonal, 1.0f) << yAngle;
    EXPECT_NEAR(second.floatV, 170 / diagonal, 1.0f) << yAngle;
  }
}

TEST_F(DoorWindow, PositionDoorStretchesOneEndAtLeast18) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  Poinz* a = wall->firstPoint;
  Poinz* b = a->next;
  FloatPoint first{70, 0}, second{130, 0};
  // The first end fixed: the second follows the mouse, at least 18 beyond the first.
  PositionDoor(a, b, 60, 205, -30, 230, 80, 0, &first, &second, 1, 0);
  EXPECT_FLOAT_EQ(first.floatH, 70);
  EXPECT_FLOAT_EQ(second.floatH, 88);
  PositionDoor(a, b, 60, 205, -30, 230, 400, 0, &first, &second, 1, 0);
  EXPECT_FLOAT_EQ(second.floatH, 195);
  second = {130, 0};
  PositionDoor(a, b, 60, 205, -30, 230, -50, 0, &first, &second, 0, 1);
  EXPECT_FLOAT_EQ(first.floatH, 5);
  EXPECT_FLOAT_EQ(second.floatH, 130);
}

// A door from (70, 0) to (130, 0) on the wall (0, 0)-(200, 0).
struct DoorSwing : DoorWindow {
  Objex* wall = nullptr;
  Objex* door = nullptr;
  DoorWindowData* d = nullptr;
  void SetUp() override {
    DoorWindow::SetUp();
    wall = AddTestWall(doc, {{0, 0}, {200, 0}});
    door = pressDoor(wall, 100);
    ASSERT_NE(door, nullptr);
    d = AttachmentData(door);
    d->flipHorizontal = 7;
    d->flipVertical = 7;
    d->swingAngle() = 7;
  }
};

TEST_F(DoorSwing, HingeNearTheMouseAndTheShortWayRound) {
  ScriptedModalEvents events;
  events.setMouseLocation({125, 0});  // nearer the second end: the hinge is there
  events.move(130, -60).down(130, -60);
  TrackDoorSwing(door);
  EXPECT_EQ(d->flipHorizontal, 0);
  EXPECT_EQ(d->flipVertical, 0);
  EXPECT_NEAR(d->swingAngle(), -kPi / 2, 1e-5);
  EXPECT_FALSE(events.acceptsMouseMovedEvents());  // switched off again
}

TEST_F(DoorSwing, TheOtherSideSetsFour) {
  ScriptedModalEvents events;
  events.setMouseLocation({72, 0});
  events.move(70, 60).down(70, 60);
  TrackDoorSwing(door);
  EXPECT_EQ(d->flipHorizontal, 1);  // hung on the first point
  EXPECT_EQ(d->flipVertical, 0);  // from the first end toward +z is clockwise on the screen
  EXPECT_NEAR(d->swingAngle(), 3 * kPi / 2, 1e-5);

  ScriptedModalEvents again;
  again.setMouseLocation({72, 0});
  again.move(70, -60).down(70, -60);
  TrackDoorSwing(door);
  EXPECT_EQ(d->flipVertical, 4);
  EXPECT_NEAR(d->swingAngle(), kPi / 2, 1e-5);
}

TEST_F(DoorSwing, EndingOnTheWallLineKeepsTheRecord) {
  {
    ScriptedModalEvents events;
    events.setMouseLocation({125, 0});
    events.move(130, -60).down(40, -1);  // about 1 degree off the wall line
    TrackDoorSwing(door);
  }
  EXPECT_EQ(d->flipHorizontal, 7);
  EXPECT_EQ(d->flipVertical, 7);
  EXPECT_FLOAT_EQ(d->swingAngle(), 7);
  {
    ScriptedModalEvents events;  // no click: the loop ends without a choice
    events.setMouseLocation({125, 0});
    events.move(130, -60);
    TrackDoorSwing(door);
  }
  EXPECT_FLOAT_EQ(d->swingAngle(), 7);
}

TEST_F(DoorWindow, ArcStatesRunOppositeWays) {
  // Centre (0, 0), start (10, 0): the mouse straight up on the screen is 90 degrees round.
  EXPECT_NEAR(DrawArcState(0, 0, 10, 0, 0, -10, 0, 10), 90, 1e-3);
  EXPECT_NEAR(DrawDoorArcState(0, 0, 10, 0, 0, -10, 0, 10), -270, 1e-3);
  gTrackModifiers = kTrackModShift;
  EXPECT_NEAR(DrawArcState(0, 0, 10, 0, 0, -10, 0, 10), -270, 1e-3);
  EXPECT_NEAR(DrawDoorArcState(0, 0, 10, 0, 0, -10, 0, 10), 90, 1e-3);
  for (int step = 0; step < 36; ++step) {
    const float a = step * 10 * kPi / 180;
    const auto mx = static_cast<int32_t>(std::lround(100 * std::cos(a)));
    const auto my = static_cast<int32_t>(std::lround(-100 * std::sin(a)));
    for (uint16_t mods : {uint16_t{0}, uint16_t{kTrackModShift}}) {
      gTrackModifiers = mods;
      const float plain = DrawArcState(0, 0, 10, -10, mx, my, kPi / 4, 10);
      const float door = DrawDoorArcState(0, 0, 10, -10, mx, my, kPi / 4, 10);
      if (mods) {
        EXPECT_TRUE(plain >= -360 && plain <= 0) << plain;
        EXPECT_TRUE(door >= 0 && door <= 360) << door;
      } else {
        EXPECT_TRUE(plain >= 0 && plain <= 360) << plain;
        EXPECT_TRUE(door >= -360 && door <= 0) << door;
      }
    }
  }
  gTrackModifiers = 0;

  // The last radius line runs to the start point the caller gives, not to one rebuilt from
  // the start angle and a radius that the caller measured before rounding.
  overlay.removePointsFromAllPaths();
  DrawArcState(0, 0, 10, 0, 0, -10, 0, 10.6f);
  const BezierPath* path = overlay.pathForID(kPathPrimary);
  ASSERT_TRUE(path && !path->elements().empty());
  float x1 = 0, y1 = gDownY, z1 = 0, x2 = 10, y2 = gDownY, z2 = 0;
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
  const NSPoint end = path->elements().back().points[0];
  EXPECT_FLOAT_EQ(end.x, std::floor(x2 + 0.5f));
  EXPECT_FLOAT_EQ(end.y, std::floor(y2 + 0.5f));
  overlay.removePointsFromAllPaths();
}

// In every working plane the rubber band's arc runs between the ends of its two radius lines
// (the mouse end first, the start end last), off the plane at the mouse-down point.
TEST_F(DoorWindow, ArcStateMeetsItsRadiusLinesInEveryWorkingPlane) {
  SetUpForRotationAboutArbitraryAxis(30, 45, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle, 0);
  gDownX = 40, gDownY = -7, gDownZ = 25;
  for (int16_t plane : {int16_t{2}, int16_t{3}, int16_t{1}}) {
    doc.ds()->viewPlane = plane;
    overlay.removePointsFromAllPaths();
    DrawArcState(0, 0, 10, 0, 0, -10, 0, 10);
    const BezierPath* path = overlay.pathForID(kPathPrimary);
    ASSERT_TRUE(path && path->elements().size() > 4);
    const auto& e = path->elements();
    const NSPoint arcFirst = e.front().points[0], arcLast = e[e.size() - 5].points[0];
    const NSPoint mouseEnd = e[e.size() - 3].points[0], startEnd = e.back().points[0];
    EXPECT_NEAR(arcFirst.x, mouseEnd.x, 1.01f) << plane;
    EXPECT_NEAR(arcFirst.y, mouseEnd.y, 1.01f) << plane;
    EXPECT_NEAR(arcLast.x, startEnd.x, 1.01f) << plane;
    EXPECT_NEAR(arcLast.y, startEnd.y, 1.01f) << plane;
  }
  doc.ds()->viewPlane = 2;
  overlay.removePointsFromAllPaths();
}

// A door of width 60 centred 100 along the wall (0, 0)-(200, 0).
struct Refit : DoorWindow {
  Objex* wall = nullptr;
  void SetUp() override {
    DoorWindow::SetUp();
    wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  }
  Objex* door(float c, float w = 60) {
    Objex* o = AddTestDoor(wall, wall->firstPoint, wall->firstPoint->next, c, w);
    for (float x : {c - w / 2, c + w / 2})
      AppendPointToObject(CreatePoint(9, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
    return o;
  }
  int children() const {
    int n = 0;
    for (Objex* c = wall->firstChild; c; c = c->next) ++n;
    return n;
  }
};

TEST_F(Refit, AShortenedSegmentKeepsTheDoorUntilItSticksOutMoreThan5) {
  door(100);
  ScopedAlertRecorder alerts;
  wall->firstPoint->next->position[0] = 125;
  EXPECT_EQ(UpdateAllWallAttachments(wall), 0);
  ASSERT_EQ(children(), 1);
  EXPECT_FLOAT_EQ(AttachmentData(wall->firstChild)->remainingLength, 25);
  EXPECT_FLOAT_EQ(X(wall->firstChild, 1), 130);
  EXPECT_TRUE(alerts.shown.empty());
  wall->firstPoint->next->position[0] = 124;
  EXPECT_EQ(UpdateAllWallAttachments(wall), 1);
  EXPECT_EQ(children(), 0);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "One or more components have been removed.");
  EXPECT_EQ(alerts.shown[0].informative,
            "The wall was not long enough to accommodate all of its attachments.  One or more windows, doors, "
            "and/or fixtures were removed.");
}

TEST_F(Refit, ThreeRemovedGiveOneSheetAndADimensionGoesSilently) {
  door(40, 20);
  door(100, 20);
  door(160, 20);
  Objex* kept = door(10, 10);
  ScopedAlertRecorder alerts;
  wall->firstPoint->next->position[0] = 20;
  EXPECT_EQ(UpdateAllWallAttachments(wall), 3);
  EXPECT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(wall->firstChild, kept);
  EXPECT_EQ(kept->next, nullptr);

  // An attached dimension that no longer fits goes without a sheet.
  kept->subtype = kSubDimensionAttachment;
  AttachmentData(kept)->startDistance = 100;
  EXPECT_EQ(UpdateWallAttachment(kept), 0);
  EXPECT_EQ(wall->firstChild, nullptr);
  EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST_F(Refit, TheThirdPointGoesAcrossTheWallBySide) {
  Objex* o = door(100);
  AppendPointToObject(CreatePoint(9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
  DoorWindowData* d = AttachmentData(o);
  d->height = 40;
  UpdateWallAttachment(o);
  EXPECT_NEAR(X(o, 2), 100, 1e-4);
  EXPECT_NEAR(Z(o, 2), 40, 1e-4);  // right of the segment's direction: +z on the screen
  d->flipHorizontal = 1;
  UpdateWallAttachment(o);
  EXPECT_NEAR(Z(o, 2), -40, 1e-4);
  // Missing anchors: left alone, not removed.
  d->anchorEnd = nullptr;
  d->startDistance = 1000;
  EXPECT_EQ(UpdateWallAttachment(o), 0);
  EXPECT_EQ(wall->firstChild, o);
}

TEST_F(Refit, DraggingAnEndStretchesTheDoor) {
  Objex* o = door(100);
  gClickInfo = ClickInfo{};
  gClickInfo.hitMode = 1;
  gClickInfo.hitObject = o;
  gClickInfo.pointHit = 1;
  gClickInfo.hitPoint = o->firstPoint->next;
  gClickInfo.where = {130, 0};
  ScriptedModalEvents events;
  events.drag(150, 0).up(160, 0);
  TranslateWallAttachment();
  const DoorWindowData* d = AttachmentData(o);
  EXPECT_FLOAT_EQ(X(o, 0), 70);
  EXPECT_FLOAT_EQ(X(o, 1), 160);
  EXPECT_FLOAT_EQ(d->width, 90);
  EXPECT_FLOAT_EQ(d->startDistance, 115);
  EXPECT_FLOAT_EQ(d->remainingLength, 85);
  EXPECT_TRUE(IsObjectSelected(o));
}

TEST_F(Refit, SlidingMovesTheWholeDoorAndAClickOnlySelects) {
  Objex* o = door(100);
  gClickInfo = ClickInfo{};
  gClickInfo.hitMode = 1;
  gClickInfo.hitObject = o;
  gClickInfo.segmentHit = 1;
  gClickInfo.where = {110, 0};
  {
    ScriptedModalEvents events;
    events.up(110, 0);
    TranslateWallAttachment();
  }
  EXPECT_FLOAT_EQ(X(o, 0), 70);
  EXPECT_FLOAT_EQ(AttachmentData(o)->startDistance, 100);
  EXPECT_TRUE(IsObjectSelected(o));
  {
    ScriptedModalEvents events;
    events.drag(120, 0).up(130, 0);
    TranslateWallAttachment();
  }
  EXPECT_FLOAT_EQ(X(o, 0), 90);
  EXPECT_FLOAT_EQ(X(o, 1), 150);
  EXPECT_FLOAT_EQ(AttachmentData(o)->startDistance, 120);
  EXPECT_FLOAT_EQ(AttachmentData(o)->width, 60);
}

// A door as wide as the segment slid toward the end stops 5 short of it, its first end 5 before
// the segment start; the record keeps the centre of the two points.
TEST_F(Refit, SlidingAWideDoorKeepsItsCentreAlongTheSegment) {
  Objex* o = door(100, 200);
  gClickInfo = ClickInfo{};
  gClickInfo.hitMode = 1;
  gClickInfo.hitObject = o;
  gClickInfo.segmentHit = 1;
  gClickInfo.where = {100, 0};
  ScriptedModalEvents events;
  events.drag(150, 0).up(150, 0);
  TranslateWallAttachment();
  EXPECT_FLOAT_EQ(X(o, 0), -5);
  EXPECT_FLOAT_EQ(X(o, 1), 195);
  EXPECT_FLOAT_EQ(AttachmentData(o)->startDistance, 95);
  EXPECT_FLOAT_EQ(AttachmentData(o)->remainingLength, 105);
}

TEST_F(Refit, StartDistancesShiftOnlyForTheAnchoredPoint) {
  Objex* first = door(100);
  Objex* other = AddTestDoor(wall, wall->firstPoint->next, wall->firstPoint, 50, 20);
  UpdateWallAttachmentStartDistance(wall, wall->firstPoint, 50);
  EXPECT_FLOAT_EQ(AttachmentData(first)->startDistance, 150);
  EXPECT_FLOAT_EQ(AttachmentData(other)->startDistance, 50);
}

}  // namespace

namespace {

TEST_F(Refit, LimitingAWallRebuildsItAndRefitsItsOpenings) {
  Objex* second = AddTestWall(doc, {{0, 50}, {100, 50}, {100, 150}});
  ServiceCallRecorder calls;
  LimitWallLayer(doc.first, doc.first);
  for (Objex* w : {wall, second}) {
    EXPECT_TRUE(calls.called("UpdateAllWallAttachments", w->objectID));
    EXPECT_TRUE(calls.called("ReRenderObject", w->objectID));
  }
  // Not a wall, or a wall of one point: nothing.
  calls.calls.clear();
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  LimitWallObject(line, doc.first);
  EXPECT_FALSE(calls.called("UpdateAllWallAttachments", line->objectID));
}

}  // namespace

namespace {

TEST_F(DoorWindow, ThePlanViewsHitTestLeadsToADoor) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  gCurTool = kToolDoor;
  hitTest(100, 1);
  ASSERT_EQ(gClickInfo.hitObject, wall);
  drag({{100, 1}});
  ASSERT_NE(wall->firstChild, nullptr);
  EXPECT_FLOAT_EQ(AttachmentData(wall->firstChild)->startDistance, 100);
}

}  // namespace

namespace {

TEST_F(DoorWindow, GarageAndCustomDoorsTakeTheirOwnRoads) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  doc.ds()->doorStyle = kDoorGarage;
  ServiceCallRecorder calls;
  ScriptedModalEvents events;
  events.up(100, 0).move(100, -60).down(100, -60);
  Objex* garage = pressDoor(wall, 100);
  ASSERT_NE(garage, nullptr);
  EXPECT_EQ(AttachmentData(garage)->flipHorizontal, 0);  // a two-point wall
  EXPECT_EQ(events.pending(), 2u);                       // no swing asked for
  EXPECT_TRUE(calls.called("BuildAttachmentFrame", garage->objectID));

  Objex* other = AddTestWall(doc, {{0, 100}, {200, 100}});
  doc.ds()->doorStyle = kDoorCustom;
  calls.calls.clear();
  gCurTool = kToolDoor;
  pressOnSegment(other, 0, 100, 100);
  ASSERT_NE(other->firstChild, nullptr);
  EXPECT_TRUE(calls.called("ReadCustomWindowDoorFile", other->firstChild->objectID));
  EXPECT_EQ(AttachmentData(other->firstChild)->subtype, kDoorCustom);
}

}  // namespace

namespace {

float Cm(float cm) { return cm / 2.54f; }  // in inches

// A metric design as a new user gets it: the test document's zoom and plan scale, the grid
// snapping on with its 50 cm step.
struct MetricOpenings : ToolTest {
  static constexpr float kMetre = 39.370079f * 2;  // plan units at plan scale 36
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->measureSystem = kMeasureMetric;
    SetDocStateMetricDefaults(doc.ds());
    ASSERT_EQ(doc.ds()->snapToGrid, 1);
  }
  // The window point of a plan point, as the view shows it.
  static POINT Window(float x, float z) {
    float wx = x, wy = 0, wz = z;
    ConversionToIsometric(&wx, &wy, &wz, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                          gGlobalYOffset, gGlobalZOffset, 1);
    return POINT{static_cast<int32_t>(std::lround(wx)), static_cast<int32_t>(std::lround(wy))};
  }
  // The press of the current tool at a plan point, through the plan view's hit test.
  void press(float x, float z) {
    const POINT w = Window(x, z);
    hitTest(w.x, w.y);
    ASSERT_NE(gClickInfo.hitObject, nullptr);
    drag({w});
  }
};

// What the overlay held and how often the view was asked to redraw, each time a loop asks for
// its next event (after it drew for the event before).
class OverlayWatch : public ScriptedModalEvents {
 public:
  struct Seen {
    NSRect primary, secondary;
    bool primaryDrawn, secondaryDrawn;
    size_t refreshes;
  };
  OverlayWatch(const ZLKDynamicDrawEngine* overlay, const ServiceCallRecorder* calls)
      : overlay_(overlay), calls_(calls) {}
  bool nextEvent(uint32_t mask, ModalEvent* event) override {
    seen.push_back({overlay_->boundsForPath(kPathPrimary), overlay_->boundsForPath(kPathSecondary),
                    !overlay_->isPathEmpty(kPathPrimary), !overlay_->isPathEmpty(kPathSecondary),
                    calls_->count("Refresh")});
    return ScriptedModalEvents::nextEvent(mask, event);
  }
  // Where the pointer is when the swing loop starts.
  void setAcceptsMouseMovedEvents(bool accept) override {
    if (accept && afterRelease) setMouseLocation(*afterRelease);
    ScriptedModalEvents::setAcceptsMouseMovedEvents(accept);
  }
  std::vector<Seen> seen;
  std::optional<POINT> afterRelease;

 private:
  const ZLKDynamicDrawEngine* overlay_;
  const ServiceCallRecorder* calls_;
};

// The pointer goes somewhere else between the release of the slide and the swing loop.
class MoveAfterRelease : public ScriptedModalEvents {
 public:
  explicit MoveAfterRelease(POINT to) : to_(to) {}
  void setAcceptsMouseMovedEvents(bool accept) override {
    if (accept) setMouseLocation(to_);
    ScriptedModalEvents::setAcceptsMouseMovedEvents(accept);
  }

 private:
  POINT to_;
};

float MidX(const NSRect& r) { return r.origin.x + r.size.width / 2; }

TEST_F(MetricOpenings, TheSlidingOutlineIsShownUnderThePointerAtEveryZoom) {
  for (const float zoom : {0.5f, 0.6f, 2.0f}) {
    doc.ds()->zoomFactor = zoom;
    Objex* wall = AddTestWall(doc, {{0, 0}, {6 * kMetre, 0}});
    gCurTool = kToolWindow;
    ServiceCallRecorder calls;
    OverlayWatch events(&overlay, &calls);
    const int32_t stops[] = {Window(1.7f * kMetre, 0).x, Window(2.9f * kMetre, 0).x, Window(4.2f * kMetre, 0).x};
    for (int32_t x : stops) events.drag(x, 0);
    events.up(stops[2], 0);
    press(1.0f * kMetre, 0);
    // One look before the first event, one after each drag.
    ASSERT_EQ(events.seen.size(), 4u) << zoom;
    for (size_t i = 1; i < 4; ++i) {
      const OverlayWatch::Seen& now = events.seen[i];
      ASSERT_TRUE(now.secondaryDrawn) << zoom << " step " << i;
      EXPECT_NEAR(MidX(now.secondary), stops[i - 1], 2) << zoom << " step " << i;
      // As wide as the window on the screen.
      EXPECT_NEAR(now.secondary.size.width, Cm(90) * 2 * zoom, 2) << zoom;
      EXPECT_GT(now.refreshes, events.seen[i - 1].refreshes) << zoom << " step " << i;
    }
    EXPECT_TRUE(overlay.areAllPathsEmpty());
    ASSERT_NE(wall->firstChild, nullptr);
  }
}

TEST_F(MetricOpenings, AWindowLandsWhereThePointerWasReleased) {
  for (const float zoom : {0.5f, 0.6f, 1.0f, 2.0f}) {
    doc.ds()->zoomFactor = zoom;
    for (const bool reversed : {false, true}) {
      // The same wall drawn either way; the release 2.9 m from its left end.
      Objex* wall =
          reversed ? AddTestWall(doc, {{4 * kMetre, 0}, {0, 0}}) : AddTestWall(doc, {{0, 0}, {4 * kMetre, 0}});
      gCurTool = kToolWindow;
      ScriptedModalEvents events;
      const POINT release = Window(2.9f * kMetre, 0);
      events.drag(release.x - 30, release.y).drag(release.x, release.y).up(release.x, release.y);
      press(1.0f * kMetre, 0);
      Objex* window = wall->firstChild;
      ASSERT_NE(window, nullptr) << zoom;
      const float centre = (window->firstPoint->position[0] + window->firstPoint->next->position[0]) / 2;
      // Within a window pixel and the one-inch step of the slide.
      EXPECT_NEAR(centre, 2.9f * kMetre, 1 / zoom + 2) << zoom << " reversed " << reversed;
      const float along = reversed ? 4 * kMetre - centre : centre;
      EXPECT_NEAR(AttachmentData(window)->startDistance, along, 0.01f) << zoom;
    }
  }
  EXPECT_NEAR(doc.ds()->gridSpacing.floatH, Cm(50), 1e-4);  // the drawing grid comes back
}

// A 10 x 8 m room of thick walls: on each of its sides, the closing one included, a window
// released 2.9 m along the side lands there.
TEST_F(MetricOpenings, AWindowLandsWhereReleasedOnEverySideOfARoom) {
  const float w = 10 * kMetre, d = 8 * kMetre;
  const std::pair<float, float> corners[4] = {{0, 0}, {w, 0}, {w, d}, {0, d}};
  for (int side = 0; side < 4; ++side) {
    Objex* room = AddTestWall(doc, {corners[0], corners[1], corners[2], corners[3]}, true, 12.0f);
    const float ax = corners[side].first, az = corners[side].second;
    const float bx = corners[(side + 1) % 4].first, bz = corners[(side + 1) % 4].second;
    const float length = std::hypot(bx - ax, bz - az);
    auto along = [&](float metres, float* x, float* z) {
      *x = ax + (bx - ax) * metres * kMetre / length;
      *z = az + (bz - az) * metres * kMetre / length;
    };
    gCurTool = kToolWindow;
    float x = 0, z = 0;
    along(2.9f, &x, &z);
    const POINT release = Window(x, z);
    ScriptedModalEvents events;
    events.drag(release.x, release.y).up(release.x, release.y);
    along(1.0f, &x, &z);
    press(x, z);
    Objex* window = room->firstChild;
    ASSERT_NE(window, nullptr) << side;
    const DoorWindowData* data = AttachmentData(window);
    EXPECT_EQ(data->anchorStart->position[0], ax) << side;
    EXPECT_EQ(data->anchorStart->position[2], az) << side;
    EXPECT_NEAR(data->startDistance, 2.9f * kMetre, 3) << side;
    const float cx = (window->firstPoint->position[0] + window->firstPoint->next->position[0]) / 2;
    const float cz = (window->firstPoint->position[2] + window->firstPoint->next->position[2]) / 2;
    EXPECT_NEAR(std::hypot(cx - ax, cz - az), 2.9f * kMetre, 3) << side;
  }
}

// The hinge and the open end of the leaf as the plan symbol and the 3D leaf hang a door: on
// the first point when the flag is set, else on the second, the leaf turned by the swing
// angle from the closed line.
void HungLeaf(const Objex* door, FloatPoint* hinge, FloatPoint* open) {
  const DoorWindowData* d = AttachmentData(const_cast<Objex*>(door));
  const Poinz* a = door->firstPoint;
  const Poinz* b = a->next;
  const Poinz* h = d->flipHorizontal ? a : b;
  const Poinz* f = d->flipHorizontal ? b : a;
  float w = 0;
  const float closed = GetLineLengthAndAngle(h->position[0], h->position[2], f->position[0], f->position[2], &w);
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(closed + d->swingAngle(), w, &dx, &dz);
  *hinge = {h->position[0], h->position[2]};
  *open = {h->position[0] + dx, h->position[2] + dz};
}

TEST_F(MetricOpenings, TheSwingOpensTowardTheClickAtTheNearerEnd) {
  // The wall runs 10 units off the grid lines, so a grid step could carry the pointer across it.
  constexpr float kWallZ = 10;
  struct Case {
    bool reversed;     // the wall drawn from right to left
    float clickSide;   // -1 above the wall on the screen, +1 below
    bool nearLeftEnd;  // the swing click near the opening's left end
  };
  const Case cases[] = {{false, -1, true}, {false, -1, false}, {false, 1, true}, {false, 1, false},
                        {true, -1, true},  {true, -1, false},  {true, 1, true},  {true, 1, false}};
  for (const float zoom : {0.6f, 2.0f}) {
    doc.ds()->zoomFactor = zoom;
    for (const Case& c : cases) {
      Objex* wall = c.reversed ? AddTestWall(doc, {{5 * kMetre, kWallZ}, {0, kWallZ}})
                               : AddTestWall(doc, {{0, kWallZ}, {5 * kMetre, kWallZ}});
      const float centre = 2.5f * kMetre;
      const float halfWidth = Cm(83);  // half the metric door in plan units
      const float endX = c.nearLeftEnd ? centre - halfWidth : centre + halfWidth;
      const POINT where = Window(centre, kWallZ);
      const POINT swing = Window(endX + (c.nearLeftEnd ? 20 : -20), kWallZ + c.clickSide * 25);
      gCurTool = kToolDoor;
      MoveAfterRelease events(swing);  // the hinge goes to the end the pointer is nearer then
      events.up(where.x, where.y);
      events.move(swing.x, swing.y).down(swing.x, swing.y);
      hitTest(where.x, where.y);
      ASSERT_EQ(gClickInfo.hitObject, wall);
      drag({where});
      Objex* door = wall->firstChild;
      ASSERT_NE(door, nullptr);
      FloatPoint hinge{}, open{};
      HungLeaf(door, &hinge, &open);
      const std::string label = std::to_string(zoom) + (c.reversed ? " reversed" : "") +
                                (c.clickSide < 0 ? " above" : " below") + (c.nearLeftEnd ? " left" : " right");
      // Within the pointer's pixel and half a step of the placement's fine grid.
      EXPECT_NEAR(hinge.floatH, endX, 1.5) << label;
      EXPECT_NEAR(hinge.floatV, kWallZ, 1e-3) << label;
      // The open leaf points at the click, on its side of the wall.
      EXPECT_GT((open.floatV - kWallZ) * c.clickSide, 20) << label;
      float mx = 0, my = 0, mz = 0;
      EvaluatePoint(swing.x, swing.y, &mx, &my, &mz, 0, nullptr, 1);
      float toMouse = 0, toOpen = 0;
      const float mouseAngle = GetLineLengthAndAngle(hinge.floatH, hinge.floatV, mx, mz, &toMouse);
      const float openAngle = GetLineLengthAndAngle(hinge.floatH, hinge.floatV, open.floatH, open.floatV, &toOpen);
      EXPECT_NEAR(std::remainder(openAngle - mouseAngle, 2 * kPi), 0, 0.15f) << label;  // the one-inch step
    }
  }
}

TEST_F(MetricOpenings, TheSwingIsPreviewedAsThePointerMoves) {
  for (const float zoom : {0.5f, 2.0f}) {
    doc.ds()->zoomFactor = zoom;
    Objex* wall = AddTestWall(doc, {{0, 0}, {5 * kMetre, 0}});
    const POINT where = Window(2.5f * kMetre, 0);
    const float hingeX = 2.5f * kMetre - Cm(83);
    const float radius = Cm(83) * 2;
    const POINT above = Window(hingeX + 10, -100), below = Window(hingeX + 10, 100);
    gCurTool = kToolDoor;
    ServiceCallRecorder calls;
    OverlayWatch events(&overlay, &calls);
    events.afterRelease = above;  // near the left end: the hinge is there
    events.up(where.x, where.y);
    events.move(above.x, above.y).move(below.x, below.y).down(below.x, below.y);
    hitTest(where.x, where.y);
    drag({where});
    ASSERT_NE(wall->firstChild, nullptr);
    // Reads: the slide's one, then the swing's: before its first move, after each move.
    ASSERT_EQ(events.seen.size(), 4u) << zoom;
    const float wallY = static_cast<float>(where.y);
    const OverlayWatch::Seen& up = events.seen[2];
    const OverlayWatch::Seen& down = events.seen[3];
    ASSERT_TRUE(up.primaryDrawn && down.primaryDrawn) << zoom;
    // The arc reaches a leaf's length to the side of the pointer, in window points.
    EXPECT_NEAR(up.primary.origin.y, wallY - radius * zoom, 3) << zoom;
    EXPECT_NEAR(down.primary.origin.y + down.primary.size.height, wallY + radius * zoom, 3) << zoom;
    EXPECT_NEAR(up.primary.origin.x, Window(hingeX, 0).x, 3) << zoom;
    for (size_t i = 1; i < 4; ++i) EXPECT_GT(events.seen[i].refreshes, events.seen[i - 1].refreshes) << zoom;
    EXPECT_TRUE(overlay.areAllPathsEmpty());
  }
}

}  // namespace

namespace {

// Stretching a 60-wide door on a 200 wall (ends clear by 5 within -30..230) with either end
// fixed: the moving end stops 18 from the fixed one and at the far clearance, each bound
// tried just inside, on it and just outside.
TEST_F(DoorWindow, StretchWithEitherEndFixedStopsAtBothBounds) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  Poinz* a = wall->firstPoint;
  Poinz* b = a->next;
  struct Row {
    bool fixFirst;
    float mouse, expected;
  };
  const Row rows[] = {
      {true, 87, 88},   {true, 88, 88},   {true, 89, 89},    {true, 194, 194},
      {true, 195, 195}, {true, 196, 195}, {false, 4, 5},     {false, 5, 5},
      {false, 6, 6},    {false, 111, 111}, {false, 112, 112}, {false, 113, 112},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << (row.fixFirst ? "first fixed, mouse " : "second fixed, mouse ") << row.mouse);
    FloatPoint first{70, 0}, second{130, 0};
    PositionDoor(a, b, 60, 205, -30, 230, row.mouse, 0, &first, &second, row.fixFirst ? 1 : 0,
                 row.fixFirst ? 0 : 1);
    const FloatPoint& fixed = row.fixFirst ? first : second;
    const FloatPoint& moved = row.fixFirst ? second : first;
    EXPECT_FLOAT_EQ(fixed.floatH, row.fixFirst ? 70 : 130);
    EXPECT_FLOAT_EQ(moved.floatH, row.expected);
    EXPECT_FLOAT_EQ(moved.floatV, 0);
  }
}

}  // namespace
