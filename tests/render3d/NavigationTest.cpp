// The camera loops of the 3D view on a scripted event queue: walking, flying and the orbit
// centre's keys at each speed, controlled walk, the plan's camera-marker drags, the
// background's scrolling, plant growth and how every loop ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "model/CommandWalkers.h"
#include "model/HitTest.h"
#include "model/Selection.h"
#include "plandraw/PlanPoints.h"
#include "render3d/Cutaway.h"
#include "render3d/Navigation.h"
#include "render3d/SceneSurfaces.h"
#include "render3d/RenderTestSupport.h"
#include "tools/ScriptedModalEvents.h"

namespace {

struct Start {
  bool left = true;
  uint32_t flags = 0;
  POINT where{100, 100};
};

class Navigation : public RenderTest {
 protected:
  static inline Start sStart;
  static inline int sDisplays = 0;
  static inline int sSnapshots = 0, sSnapshotEnds = 0;
  static inline std::vector<std::array<float, 4>> sPlanRects;
  NavigationHost savedNavigation;
  std::array<float, 4> savedBackground{};

  void SetUp() override {
    RenderTest::SetUp();
    if (!TestGLContext()) return;
    savedNavigation = gNavigationHost;
    std::copy(gBackgroundVertices, gBackgroundVertices + 4, savedBackground.begin());
    sStart = Start{};
    sDisplays = sSnapshots = sSnapshotEnds = 0;
    sPlanRects.clear();
    gNavigationHost = NavigationHost{};
    gNavigationHost.startEvent = [](bool* left, uint32_t* flags, POINT* where) {
      *left = sStart.left, *flags = sStart.flags, *where = sStart.where;
      return true;
    };
    gNavigationHost.viewWidth = [] { return 200; };
    gNavigationHost.beginMarkerSnapshot = [] { ++sSnapshots; };
    gNavigationHost.endMarkerSnapshot = [] { ++sSnapshotEnds; };
    gNavigationHost.invalidatePlanRect = [](float x, float y, float w, float h) { sPlanRects.push_back({x, y, w, h}); };
    gLiveViewHost.display = [] { ++sDisplays; };
    gRealTimeElevate = 0;
    gAnimateBackground = 0;
    gEnableBackgroundRendering = 0;
    gRefreshRender = 0;
    DocState* d = ds();
    d->orthoView() = 0;
    d->navigationStep = 8;
    d->navigationMode = kNavWalkThrough;
    d->controlledNavigation() = 0;
    d->walkViewAngle() = 0;
    d->walkEyePoint() = {0, 0};
    d->walkPitchAngle() = 0;
    d->flyAngleX() = 15;
    d->flyAngleY() = 0;
    d->flyDistance() = 1000;
    d->flyCenter() = {0, 0};
    addSquare(-10, -10, 10, 10, -50, {65535, 0, 0});
  }
  void TearDown() override {
    if (TestGLContext()) {
      gNavigationHost = savedNavigation;
      // The background's scroll belongs to this test alone.
      std::copy(savedBackground.begin(), savedBackground.end(), gBackgroundVertices);
    }
    gRealTimeElevate = gAnimateBackground = gEnableBackgroundRendering = 0;
    RenderTest::TearDown();
  }

  // The loop ended as every loop must: real-time drawing off and one full render asked for.
  void expectEnded(const ScriptedModalEvents& events) {
    EXPECT_EQ(gRealTimeDraw, 0);
    EXPECT_EQ(gRenderingOpenGL, 0);
    EXPECT_EQ(gRefreshRender, 1);
    EXPECT_EQ(sDisplays, 1);
    EXPECT_FALSE(events.periodicRunning());
  }
};

TEST_F(Navigation, SpeedTableAndAngleWrapping) {
  const NavigationSpeedRow eight = NavigationSpeedRowFor(8);
  EXPECT_EQ(eight.walkTurn, 15);
  EXPECT_EQ(eight.walkForward, 2);
  EXPECT_EQ(eight.walkHeight, 6);
  EXPECT_EQ(eight.walkSmoothing, 2);
  EXPECT_EQ(eight.controlledFlyTurn, 3);
  EXPECT_EQ(eight.flyDistance, 30);
  const NavigationSpeedRow other = NavigationSpeedRowFor(11);
  EXPECT_EQ(other.walkTurn, 20);
  EXPECT_EQ(other.flyDistance, 25);
  EXPECT_EQ(other.flySmoothing, 3);
  EXPECT_EQ(NavigationSpeedRowFor(5).walkTurn, other.walkTurn);
  struct Row {
    float in, out;
  };
  for (const Row& r : {Row{-1, 359}, Row{0, 0}, Row{359, 359}, Row{359.5f, -0.5f}, Row{360, 0}})
    EXPECT_FLOAT_EQ(WrapNavigationAngle(r.in), r.out) << r.in;
}

TEST_F(Navigation, WalkTurnsAndWalksAtTheHeldOffsetOnEveryPeriodicEvent) {
  struct Row {
    const char* name;
    POINT pointer;  // held here, the press at (100, 100)
    float angle, eyeX, eyeZ;
  };
  const Row rows[] = {
      {"30 px right turns 1 degree per event", {130, 100}, 350, 0, 0},
      {"30 px left turns the other way", {70, 100}, 10, 0, 0},
      {"20 px below walks back 5 per event", {100, 120}, 0, 0, 50},
      {"20 px above walks forward", {100, 80}, 0, 0, -50},
      {"1 px right is smoothed away", {101, 100}, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ds()->walkViewAngle() = 0;
    ds()->walkEyePoint() = {0, 0};
    sDisplays = 0;
    gRefreshRender = 0;
    ScriptedModalEvents events;
    events.setMouseLocation(r.pointer);
    events.periodic(10).up(r.pointer.x, r.pointer.y);
    RealTimeRotateAnimOpenGL();
    EXPECT_NEAR(ds()->walkViewAngle(), r.angle, 1e-3);
    EXPECT_NEAR(ds()->walkEyePoint().floatH, r.eyeX, 1e-3);
    EXPECT_NEAR(ds()->walkEyePoint().floatV, r.eyeZ, 1e-3);
    EXPECT_EQ(events.periodicDelay(), 10);
    EXPECT_EQ(events.periodicPeriod(), 10);
    EXPECT_EQ(events.pending(), 0u);
    expectEnded(events);
  }
  // The plan's camera marker followed the walk, and the plan showed its snapshot meanwhile.
  EXPECT_FALSE(sPlanRects.empty());
  EXPECT_EQ(sSnapshots, static_cast<int>(std::size(rows)));
  EXPECT_EQ(sSnapshotEnds, sSnapshots);
}

TEST_F(Navigation, TheCommandKeyLeavesThePlanMarkerAloneAndARightClickChangesHeight) {
  sStart.flags = kModalCommandKey;
  {
    ScriptedModalEvents events;
    events.setMouseLocation({100, 120});
    events.periodic(3).up(100, 120);
    RealTimeRotateAnimOpenGL();
  }
  EXPECT_TRUE(sPlanRects.empty());
  // A right-button start walks up (gRealTimeElevate set) or down by the height step even
  // with the pointer still.
  struct Row {
    uint8_t elevate;
    float change;
  };
  for (const Row& r : {Row{1, 6 * 4}, Row{0, -6 * 4}}) {
    sStart = Start{false, 0, {100, 100}};
    gRealTimeElevate = r.elevate;
    ds()->walkEyeHeight() = 60;
    ScriptedModalEvents events;
    events.setMouseLocation({100, 100});
    events.periodic(4).rightUp(100, 100);
    RealTimeRotateAnimOpenGL();
    EXPECT_FLOAT_EQ(ds()->walkEyeHeight(), 60 + r.change);
  }
}

TEST_F(Navigation, FlyKeepsItsTiltAndDistanceWithinBounds) {
  ds()->navigationMode = kNavFlyAround;
  struct Row {
    const char* name;
    bool right;
    uint8_t elevate;
    POINT pointer;
    float distance;
    float tiltAfter, distanceAfter;
  };
  const Row rows[] = {
      {"the pointer below tilts down to 5", false, 0, {100, 400}, 1000, 5, 1000},
      {"the pointer above tilts up to 25", false, 0, {100, -300}, 1000, 25, 1000},
      {"climbing stops at 50000", true, 1, {100, 100}, 49990, 15, 50000},
      {"sinking stops while the distance is not above the step", true, 0, {100, 100}, 70, 15, 10},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    sStart = Start{!r.right, 0, {100, 100}};
    gRealTimeElevate = r.elevate;
    ds()->flyAngleX() = 15;
    ds()->flyDistance() = r.distance;
    ScriptedModalEvents events;
    events.setMouseLocation(r.pointer);
    for (int i = 0; i < 20; ++i) {
      events.periodic(1);
    }
    events.up(r.pointer.x, r.pointer.y);
    RealTimeRotateAnimOpenGL();
    EXPECT_GE(ds()->flyAngleX(), 5);
    EXPECT_LE(ds()->flyAngleX(), 25);
    EXPECT_FLOAT_EQ(ds()->flyAngleX(), r.tiltAfter);
    EXPECT_GT(ds()->flyDistance(), 0);
    EXPECT_LE(ds()->flyDistance(), 50000);
    EXPECT_FLOAT_EQ(ds()->flyDistance(), r.distanceAfter);
  }
  // Fly never moves the plan's walk marker.
  EXPECT_TRUE(sPlanRects.empty());
}

TEST_F(Navigation, FlyTurnsAroundTheCentreAndControlledFlySteersByTheLastStep) {
  ds()->navigationMode = kNavFlyAround;
  {
    // Free fly: 30 px right, smoothed by 2, turn divisor 15: 1 degree per event.
    ScriptedModalEvents events;
    events.setMouseLocation({130, 100});
    events.periodic(5).up(130, 100);
    RealTimeRotateAnimOpenGL();
    EXPECT_FLOAT_EQ(ds()->flyAngleY(), 355);
  }
  {
    // Controlled fly: the press point follows each step, so a pointer that stays put has its
    // offset used up over the steps (6, 3, 1, 1 pixels); divisor 3, coordinates negated.
    ds()->controlledNavigation() = 1;
    ds()->flyAngleY() = 0;
    ScriptedModalEvents events;
    events.setMouseLocation({112, 100});
    events.periodic(5).up(112, 100);
    RealTimeRotateAnimOpenGL();
    EXPECT_NEAR(ds()->flyAngleY(), 11.0f / 3, 1e-4);
  }
}

TEST_F(Navigation, ArrowKeysMoveTheOrbitCentreByTheSpeedsStep) {
  struct Row {
    const char* name;
    int16_t speed;
    float heading;
    bool left, right, up, down;
    float x, z;
  };
  const Row rows[] = {
      {"up at heading 0, speed 8", 8, 0, false, false, true, false, 2, 0},
      {"down at heading 0, speed 8", 8, 0, false, false, false, true, -2, 0},
      {"left at heading 0, speed 10", 10, 0, true, false, false, false, 0, -4},
      {"right at heading 0, speed 6", 6, 0, false, true, false, false, 0, 0.5f},
      {"up at heading 90, speed 9", 9, 90, false, false, true, false, 0, 3},
      {"unknown speed steps 0.5", 3, 0, false, false, true, false, 0.5f, 0},
      {"up and down cancel", 7, 0, false, false, true, true, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ds()->navigationStep = r.speed;
    ds()->flyAngleY() = r.heading;
    ds()->flyCenter() = {0, 0};
    ScriptedModalEvents events;
    const int before = sFramesKept;
    ApplePortCheckArrowKeys(r.left, r.right, r.up, r.down, false);
    EXPECT_NEAR(ds()->flyCenter().floatH, r.x, 1e-4);
    EXPECT_NEAR(ds()->flyCenter().floatV, r.z, 1e-4);
    EXPECT_EQ(sFramesKept, before + 1);
    EXPECT_EQ(events.keyDiscards(), 1);
  }
  // No key: no frame. Clamping holds the centre inside the plan bounds.
  const int before = sFramesKept;
  ApplePortCheckArrowKeys(false, false, false, false, false);
  EXPECT_EQ(sFramesKept, before);
  ds()->planBounds = {-32, -32, 32, 32};
  ds()->flyCenter() = {100, -100};
  ApplePortCheckArrowKeys(false, false, false, false, true);
  EXPECT_FLOAT_EQ(ds()->flyCenter().floatH, 32);
  EXPECT_FLOAT_EQ(ds()->flyCenter().floatV, -32);
  ds()->flyCenter() = {10, 5};
  ApplePortCheckArrowKeys(false, false, false, false, true);
  EXPECT_FLOAT_EQ(ds()->flyCenter().floatH, 10);
  EXPECT_FLOAT_EQ(ds()->flyCenter().floatV, 5);
}

TEST_F(Navigation, AHeldArrowMovesTheCentreAtEveryEventTheLoopTakes) {
  ds()->navigationMode = kNavFlyAround;
  ScriptedModalEvents events;
  events.setMouseLocation({100, 100});
  // Down, three periodic events, up, two more: four moves of 2.
  events.key(kModalKeyUpArrow).periodic(3).keyUp(kModalKeyUpArrow).periodic(2).up(100, 100);
  RealTimeRotateAnimOpenGL();
  EXPECT_FLOAT_EQ(ds()->flyCenter().floatH, 8);
  EXPECT_GE(events.keyDiscards(), 4);
}

TEST_F(Navigation, ControlledWalkStepsWithTheArrowsAndLooksWithThePointer) {
  ds()->controlledNavigation() = 1;
  {
    // Speed 8: step (6 + a) with a growing by 0.25 per event, forward at heading 0 is -z.
    ScriptedModalEvents events;
    events.setMouseLocation({100, 100});
    events.key(kModalKeyUpArrow).periodic(1).keyUp(kModalKeyUpArrow).periodic(1).up(100, 100);
    RealTimeRotateAnimOpenGL();
    EXPECT_NEAR(ds()->walkEyePoint().floatV, -(6.25f + 6.5f), 1e-3);
    EXPECT_NEAR(ds()->walkEyePoint().floatH, 0, 1e-3);
    expectEnded(events);
  }
  struct Row {
    const char* name;
    POINT pointer;
    float pitch, heading;
  };
  const Row rows[] = {
      {"pointer 60 below looks down 10", {100, 160}, 10, 0},
      {"far below stops at 35", {100, 400}, 35, 0},
      {"far above stops at -35", {100, -300}, -35, 0},
      {"40 right turns by the smoothed offset", {140, 100}, 0, 340},
      {"left of the view keeps turning by 1 per event", {-5, 100}, 0, 3},
      {"right of the view turns the other way", {205, 100}, 0, 357},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ds()->walkPitchAngle() = 0;
    ds()->walkViewAngle() = 0;
    ScriptedModalEvents events;
    events.setMouseLocation(r.pointer);
    events.periodic(3).up(r.pointer.x, r.pointer.y);
    RealTimeRotateAnimOpenGL();
    EXPECT_NEAR(ds()->walkPitchAngle(), r.pitch, 1e-3);
    EXPECT_NEAR(ds()->walkViewAngle(), r.heading, 1e-3);
  }
}

TEST_F(Navigation, ControlledWalkWithPitchFollowingClimbsAsItLooksUp) {
  ds()->controlledNavigation() = 1;
  sStart = Start{false, 0, {100, 100}};
  ds()->walkPitchAngle() = 0;
  ds()->walkEyeHeight() = 60;
  ScriptedModalEvents events;
  // The pointer 60 above: the pitch is -10 before the first step.
  events.setMouseLocation({100, 40});
  events.key(kModalKeyUpArrow).periodic(1).rightUp(100, 40);
  RealTimeRotateAnimOpenGL();
  EXPECT_FLOAT_EQ(ds()->walkPitchAngle(), -10);
  // The first step was taken at pitch 0 (no climb), the second at -10: 6.5 along a slope of
  // twice the pitch.
  EXPECT_NEAR(ds()->walkEyeHeight(), 60 + 6.5f * std::sin(20 * 0.017453292f), 1e-3);
  EXPECT_LT(ds()->walkEyePoint().floatV, -12);

  // Backward with the pitch followed goes back as far (not forward again) and sinks.
  ds()->walkEyePoint() = {0, 0};
  ds()->walkEyeHeight() = 60;
  ds()->walkPitchAngle() = 0;
  {
    ScriptedModalEvents back;
    back.setMouseLocation({100, 40});
    back.key(kModalKeyDownArrow).periodic(1).rightUp(100, 40);
    RealTimeRotateAnimOpenGL();
  }
  EXPECT_GT(ds()->walkEyePoint().floatV, 12);
  EXPECT_NEAR(ds()->walkEyeHeight(), 60 - 6.5f * std::sin(20 * 0.017453292f), 1e-3);
}

TEST_F(Navigation, ThreeDPointFromLengthAndAngles) {
  struct Row {
    float length, horizontal, vertical, x, y, z;
  };
  const Row rows[] = {{10, 0, 0, 0, 0, -10}, {10, 0, 90, 0, 10, 0}, {10, 90, 0, -10, 0, 0}, {0, 30, 40, 0, 0, 0}};
  for (const Row& r : rows) {
    float x = 1, y = 1, z = 1;
    Get3DPointFromLengthAndAngles(r.length, r.horizontal, r.vertical, &x, &y, &z);
    EXPECT_NEAR(x, r.x, 1e-3);
    EXPECT_NEAR(y, r.y, 1e-3);
    EXPECT_NEAR(z, r.z, 1e-3);
    // The same into a vector of three floats.
    float v[3] = {1, 1, 1};
    Get3DPointFromLengthAndAngles(r.length, r.horizontal, r.vertical, v);
    EXPECT_NEAR(v[0], r.x, 1e-3);
    EXPECT_NEAR(v[1], r.y, 1e-3);
    EXPECT_NEAR(v[2], r.z, 1e-3);
  }
  Get3DPointFromLengthAndAngles(10, 0, 0, static_cast<float*>(nullptr));
  float x = 0, y = 0, z = 0;
  Get3DPointFromLengthAndAngles(20, 33, 21, &x, &y, &z);
  EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), 20, 1e-3);
}

TEST_F(Navigation, TheBackgroundScrollsOneImagePerQuarterTurn) {
  struct Row {
    int16_t mode;
    float walkAngle, flyAngle;
    int32_t exclusions;
    float s[4];
  };
  const Row rows[] = {
      {kNavWalkThrough, 45, 0, 0, {-0.5f, 0.5f, 0.5f, -0.5f}},
      {kNavFlyAround, 0, 90, 0, {-1, -2, -2, -1}},
      {kNavWalkThrough, 180, 0, 64, {0, 1, 1, 0}},
  };
  for (const Row& r : rows) {
    const float initial[4] = {0, 1, 1, 0};
    std::copy(initial, initial + 4, gBackgroundVertices);
    ds()->navigationMode = r.mode;
    ds()->walkViewAngle() = r.walkAngle;
    ds()->flyAngleY() = r.flyAngle;
    ds()->renderExclusions() = r.exclusions;
    AnimateBackground(ds());
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(gBackgroundVertices[i], r.s[i]) << i;
  }
  // The camera-angle call re-aligns the background only while it animates.
  ds()->renderExclusions() = 0;
  ds()->navigationMode = kNavWalkThrough;
  ds()->walkViewAngle() = 90;
  gAnimateBackground = 0;
  SetCameraAngle(0, 0, 0);
  EXPECT_FLOAT_EQ(gBackgroundVertices[0], 0);
  gAnimateBackground = 1;
  SetCameraAngle(0, 0, 0);
  EXPECT_FLOAT_EQ(gBackgroundVertices[0], -1);
  // Given only the angle, which is not read either.
  gBackgroundVertices[0] = 5;
  SetCameraAngle(270);
  EXPECT_FLOAT_EQ(gBackgroundVertices[0], -1);
  // The redraw request.
  int marked = 0;
  static int* sMarked = nullptr;
  sMarked = &marked;
  gNavigationHost.viewNeedsDisplay = [] { ++*sMarked; };
  gRefreshRender = 0;
  EXPECT_EQ(RenderLoop(), 1);
  EXPECT_EQ(gRefreshRender, 1);
  EXPECT_EQ(marked, 1);
}

TEST_F(Navigation, LoopsEndAsAtAMouseUpWhenTheWindowGoesAndNeedTheFloors) {
  {
    ScriptedModalEvents events;
    events.setMouseLocation({130, 100});
    events.periodic(2).closeWindow();
    RealTimeRotateAnimOpenGL();
    EXPECT_FLOAT_EQ(ds()->walkViewAngle(), 358);
    expectEnded(events);
  }
  // Without the third floor nothing runs and no event is read.
  sDisplays = 0;
  gRefreshRender = 0;
  UnlinkLayer(doc.third);
  ScriptedModalEvents events;
  events.setMouseLocation({130, 100});
  events.periodic(2).up(130, 100);
  RealTimeRotateAnimOpenGL();
  RealTimeTrackAngleD3D();
  RealTimeTrackPositionD3D();
  EXPECT_EQ(events.reads(), 0);
  EXPECT_EQ(sDisplays, 0);
  EXPECT_EQ(gRefreshRender, 0);
  AppendLayerToDocument(doc.third);
}

TEST_F(Navigation, ALoopMeasuresTheCutAwayExtentOnceAtItsFirstFrame) {
  doc.addObject(kObjClosedPoly, true, {{0, 0}, {100, 0}, {100, 200}, {0, 200}}, doc.first);
  ds()->cutAwayDirection() = kCutAwayNorth;
  // The walk's second step adds an object far off: the loop's frames keep the first extent.
  static TestDocument* sDoc = nullptr;
  static int sSteps = 0;
  sDoc = &doc;
  sSteps = 0;
  gNavigationHost.invalidatePlanRect = [](float, float, float, float) {
    if (++sSteps == 2) sDoc->addObject(kObjClosedPoly, true, {{0, 5000}, {10, 5000}, {10, 5010}}, sDoc->first);
  };
  ScriptedModalEvents events;
  events.setMouseLocation({130, 100});
  events.periodic(3).up(130, 100);
  RealTimeRotateAnimOpenGL();
  EXPECT_EQ(sSteps, 3);
  EXPECT_FLOAT_EQ(gCutawayBounds.floatFront, 300);
  EXPECT_EQ(gSlicePlaneBoundsHeld, 0);
  SetSlicePlaneBounds();
  EXPECT_FLOAT_EQ(gCutawayBounds.floatFront, 5110);
}

TEST_F(Navigation, TheMarkerDragsTurnAndMoveTheCamera) {
  ds()->navigationMode = kNavFlyAround;
  ds()->walkEyePoint() = {0, 0};
  const NSPoint marker = ProjectPlanPointFlat(0, 0);
  const int mx = static_cast<int>(std::lround(marker.x)), my = static_cast<int>(std::lround(marker.y));
  struct Row {
    int dx, dy;
    float angle;
  };
  for (const Row& r : {Row{0, -50, 0}, Row{50, 0, 270}, Row{-50, 0, 90}, Row{0, 50, 180}}) {
    sDisplays = 0;
    ScriptedModalEvents events;
    events.drag(mx + r.dx, my + r.dy).up(mx + r.dx, my + r.dy);
    const int before = sFramesKept;
    RealTimeTrackAngleD3D();
    EXPECT_NEAR(ds()->walkViewAngle(), r.angle, 0.5f);
    // Turning the walk camera goes to walk.
    EXPECT_EQ(ds()->navigationMode, kNavWalkThrough);
    EXPECT_EQ(sFramesKept, before + 1);
    expectEnded(events);
  }
  // Drawing in the background: no frames of its own.
  gEnableBackgroundRendering = 1;
  {
    ScriptedModalEvents events;
    events.drag(mx + 50, my).drag(mx + 50, my).drag(mx, my - 50).up(mx, my - 50);
    const int before = sFramesKept;
    RealTimeTrackAngleD3D();
    EXPECT_EQ(sFramesKept, before);
    EXPECT_NEAR(ds()->walkViewAngle(), 0, 0.5f);
  }
  gEnableBackgroundRendering = 0;

  // Moving: the evaluated plan point becomes the eye in walk and the orbit centre in fly.
  for (int16_t mode : {kNavWalkThrough, kNavFlyAround}) {
    ds()->navigationMode = mode;
    ds()->walkEyePoint() = {0, 0};
    ds()->flyCenter() = {0, 0};
    float x = 0, y = 0, z = 0;
    EvaluatePoint(mx + 20, my + 10, &x, &y, &z, 1, nullptr, 1);
    ScriptedModalEvents events;
    events.drag(mx + 20, my + 10).up(mx + 20, my + 10);
    RealTimeTrackPositionD3D();
    const FloatPoint& moved = mode == kNavFlyAround ? ds()->flyCenter() : ds()->walkEyePoint();
    const FloatPoint& kept = mode == kNavFlyAround ? ds()->walkEyePoint() : ds()->flyCenter();
    EXPECT_FLOAT_EQ(moved.floatH, x);
    EXPECT_FLOAT_EQ(moved.floatV, z);
    EXPECT_FLOAT_EQ(kept.floatH, 0);
    EXPECT_EQ(ds()->navigationMode, mode);
  }
}

TEST_F(Navigation, PlantGrowthKeepsTheAgeWithinOneAndTheMaximum) {
  doc.model.itsMaximumPlantAge = 23;
  Objex* plant = doc.addObject(kObjPlant, false, {{0, 0}});
  struct Row {
    const char* name;
    bool visible;
    int16_t level, delta;
    float age;
    float plantAge;  // the plant's own age after (from 5)
    size_t grown;    // GrowPlantVisuals calls
  };
  const Row rows[] = {
      {"hidden window: the plants grow in the model", false, 5, 1, 6, 6, 0},
      {"hidden, back a year", false, 5, -1, 4, 4, 0},
      {"at the maximum nothing grows", false, 23, 1, 23, 5, 0},
      {"below one stays at one", false, 1, -1, 1, 5, 0},
      {"shown window: the 3D pictures grow", true, 5, 1, 6, 5, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    sVisible = r.visible;
    plant->plantAge = 5;
    plant->firstPoint->selected = 1;
    gRefreshRender = 0;
    ServiceCallRecorder calls;
    RealTimePlantGrowthD3D(r.level, r.delta);
    EXPECT_FLOAT_EQ(ds()->plantAge, r.age);
    EXPECT_FLOAT_EQ(plant->plantAge, r.plantAge);
    EXPECT_EQ(calls.count("GrowPlantVisuals"), r.grown);
    EXPECT_EQ(gRefreshRender, r.grown ? 1 : 0);
    EXPECT_EQ(gRealTimeDraw, 0);
    EXPECT_FALSE(IsObjectSelected(plant));
  }
  sVisible = true;
}

}  // namespace
