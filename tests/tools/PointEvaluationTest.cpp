// Window points to world points in the plan view: view inversion, unzoom, the nearest grid line
// and the treatments that skip the grid; the nearest-segment searches.
#include <cmath>
#include <string>

#include "ToolTestSupport.h"
#include "model/Delete.h"
#include "model/Grid.h"

namespace {

using PointEvaluation = ToolTest;

struct World {
  float x = 0, y = 0, z = 0;
};

World Evaluate(int32_t x, int32_t y, uint8_t snap = 1, ClickInfo* click = nullptr) {
  World w;
  EvaluatePoint(x, y, &w.x, &w.y, &w.z, snap, click, 1);
  return w;
}

TEST_F(PointEvaluation, PlanViewUnzoomsAndTakesTheNearestGridLine) {
  // Zoom 0.6, plan scale 36: a 12-inch grid is 24 plan units.
  gCurTool = kToolRectangle;
  World w = Evaluate(100, 50);  // (166.7, 83.3) before the grid
  EXPECT_FLOAT_EQ(w.x, 168.0f);  // the nearer line, not the one below at 144
  EXPECT_FLOAT_EQ(w.z, 72.0f);
  EXPECT_NEAR(w.y, 0.0f, 1e-4);

  w = Evaluate(-10, -20);  // (-16.7, -33.3)
  EXPECT_FLOAT_EQ(w.x, -24.0f);
  EXPECT_FLOAT_EQ(w.z, -24.0f);
}

TEST_F(PointEvaluation, ViewOffsetsAreAddedBeforeTheZoomIsUndone) {
  gCurTool = kToolRectangle;
  doc.ds()->snapToGrid = 0;
  gGlobalXOffset = 30;
  World w = Evaluate(90, 60);
  EXPECT_NEAR(w.x, 200.0f, 1e-3);
  EXPECT_NEAR(w.z, 100.0f, 1e-3);
}

TEST_F(PointEvaluation, GridOnlyWhenAskedAndSwitchedOn) {
  gCurTool = kToolRectangle;
  EXPECT_NEAR(Evaluate(100, 50, 0).x, 166.667f, 1e-3);
  doc.ds()->snapToGrid = 0;
  EXPECT_NEAR(Evaluate(100, 50).x, 166.667f, 1e-3);
}

// A window point given as floats: the answer tells whether the grid was applied.
TEST_F(PointEvaluation, FloatPointReportsTheGridSnap) {
  gCurTool = kToolRectangle;
  World w;
  EXPECT_EQ(EvaluateFloatPoint(100, 50, &w.x, &w.y, &w.z, 1, nullptr, 1), 1);
  EXPECT_FLOAT_EQ(w.x, 168.0f);
  EXPECT_FLOAT_EQ(w.z, 72.0f);
  EXPECT_EQ(EvaluateFloatPoint(100, 50, &w.x, &w.y, &w.z, 0, nullptr, 1), 0);
  EXPECT_NEAR(w.x, 166.667f, 1e-3);
  gCurTool = kToolTextAlt;
  EXPECT_EQ(EvaluateFloatPoint(100, 50, &w.x, &w.y, &w.z, 1, nullptr, 1), 0);
  EXPECT_NEAR(w.x, 166.667f, 1e-3);
  gCurTool = kToolRectangle;
  doc.ds()->gridSpacing = {0, 12};  // a spacing of nothing: no grid
  EXPECT_EQ(EvaluateFloatPoint(100, 50, &w.x, &w.y, &w.z, 1, nullptr, 1), 0);
  EXPECT_NEAR(w.x, 166.667f, 1e-3);
}

TEST_F(PointEvaluation, ToolsWithoutGrid) {
  for (uint16_t tool : {uint16_t(kToolNone), uint16_t(kToolRotate), uint16_t(kToolCircularArc), uint16_t(kToolFillet)}) {
    gCurTool = tool;
    EXPECT_NEAR(Evaluate(100, 50).x, 166.667f, 1e-3) << tool;
  }
  // The selection tool without a click record applies nothing; with one but no hit object
  // nothing either.
  gCurTool = kToolSelection;
  EXPECT_NEAR(Evaluate(100, 50).x, 166.667f, 1e-3);
  ClickInfo click{};
  EXPECT_NEAR(Evaluate(100, 50, 1, &click).x, 166.667f, 1e-3);
}

TEST_F(PointEvaluation, SelectionToolOnAnObjectSnapsAndKeepsToAnAxisWithShift) {
  Objex* shape = addShape({{0, 0}, {96, 0}, {96, 96}, {0, 96}});
  gCurTool = kToolSelection;
  ClickInfo click{};
  click.hitObject = shape;
  World w = Evaluate(100, 50, 1, &click);
  EXPECT_FLOAT_EQ(w.x, 168.0f);
  EXPECT_FLOAT_EQ(w.z, 72.0f);
  gDownX = 0, gDownZ = 0;
  gTrackingMouse = 1;
  gTrackModifiers = kTrackModShift;
  w = Evaluate(100, 50, 1, &click);  // moved more along x: z stays at the down point
  EXPECT_FLOAT_EQ(w.x, 168.0f);
  EXPECT_FLOAT_EQ(w.z, 0.0f);
  w = Evaluate(20, 50, 1, &click);
  EXPECT_FLOAT_EQ(w.x, 0.0f);
  EXPECT_FLOAT_EQ(w.z, 72.0f);
}

// A wall of two points grabbed by its segment: the moved segment follows the grid-snapped
// cursor at once, before the drag starts, so the move tool has it from the first step.
TEST_F(PointEvaluation, SelectionToolOnAShortWallSegmentPlacesTheMovedSegment) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {200, 0}});
  gCurTool = kToolSelection;
  ClickInfo click{};
  click.hitObject = wall;
  click.segmentHit = 1;
  click.hitPoint = wall->firstPoint;
  click.segmentEnd = wall->firstPoint->next;
  gDownX = 24, gDownZ = 0;
  gTrackingMouse = 0;
  gTranslateWallSegPt1 = gTranslateWallSegPt2 = FloatPoint{-999999.0f, -999999.0f};
  World w = Evaluate(100, 50, 1, &click);
  EXPECT_FLOAT_EQ(w.x, 168.0f);
  EXPECT_FLOAT_EQ(w.z, 72.0f);
  EXPECT_FLOAT_EQ(gTranslateWallSegPt1.floatH, 144.0f);
  EXPECT_FLOAT_EQ(gTranslateWallSegPt1.floatV, 72.0f);
  EXPECT_FLOAT_EQ(gTranslateWallSegPt2.floatH, 344.0f);
  EXPECT_FLOAT_EQ(gTranslateWallSegPt2.floatV, 72.0f);
}

TEST_F(PointEvaluation, RectangleSquaresWhileDraggingAndShiftInvertsTheLock) {
  gCurTool = kToolRectangle;
  gDownX = 0, gDownZ = 0;
  EXPECT_FLOAT_EQ(Evaluate(100, 20).z, 24.0f);  // not dragging yet: never squared
  gTrackingMouse = 1;
  gTrackModifiers = kTrackModShift;
  EXPECT_FLOAT_EQ(Evaluate(100, 20).z, 168.0f);
  EXPECT_FLOAT_EQ(Evaluate(100, -20).z, -168.0f);
  gLockRectTool = 1;  // locked: Shift draws a free rectangle
  EXPECT_FLOAT_EQ(Evaluate(100, 20).z, 24.0f);
  gTrackModifiers = 0;
  EXPECT_FLOAT_EQ(Evaluate(100, 20).z, 168.0f);
}

// Every shape tool that squares reads its own lock, whatever the other tools' locks say.
TEST_F(PointEvaluation, EachShapeToolSquaresByItsOwnLock) {
  struct Case {
    uint16_t tool;
    uint8_t* lock;
  };
  const Case cases[] = {{kToolRectangle, &gLockRectTool},
                        {kToolCircleOval, &gLockOvalTool},
                        {kToolFill, &gLockOvalTool},
                        {kToolArc, &gLockArcTool}};
  gDownX = 0, gDownZ = 0;
  gTrackingMouse = 1;
  for (const Case& c : cases)
    for (uint8_t lock : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "tool " << c.tool << " lock " << int(lock));
      gCurTool = c.tool;
      gLockRectTool = gLockOvalTool = gLockArcTool = !lock;
      *c.lock = lock;
      EXPECT_FLOAT_EQ(Evaluate(100, 20).z, lock ? 168.0f : 24.0f);
      EXPECT_FLOAT_EQ(Evaluate(-100, -20).z, lock ? -168.0f : -24.0f);
    }
}

TEST_F(PointEvaluation, ObjectSnapLeavesTheClickRecordAsItWas) {
  addShape({{0, 0}, {96, 0}, {96, 96}, {0, 96}});
  gCurTool = kToolRectangle;
  gCurSnap = 501;
  ClickInfo click{};
  click.where = {7, 9};
  click.flags = 3;
  click.hitMode = 1;
  ClickInfo before = click;
  ServiceCallRecorder calls;
  float x = 1, y = 2, z = 3;
  CADEvaluatePoint(0, 0, &x, &y, &z, 1, &click, 1);
  EXPECT_EQ(memcmp(&click, &before, sizeof click), 0);
  EXPECT_NEAR(x, 0, 1e-3);  // the corner under the click
  EXPECT_NEAR(z, 0, 1e-3);
}

TEST_F(PointEvaluation, WallToolOnASelectedWallPointLendsTheDragToTheSelectionTool) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {200, 0}});
  wall->planMask = 2;
  // Walls are hit through the 2D outline their 3D update keeps in the type data.
  RGBColor black{};
  Objex* outline = CreateObject(kObjClosedPoly, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr);
  for (auto [x, z] : {std::pair{0.f, -6.f}, {200.f, -6.f}, {200.f, 6.f}, {0.f, 6.f}})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, outline), outline);
  UpdateObjectBounds(outline);
  wall->typeData = outline;
  UpdateObjectBounds(wall);
  gCurTool = kToolExteriorWall;
  const uint8_t orientation = gPointOrientation;
  gPointOrientation = 1;  // wall points are edited one by one (no corner handles)
  Evaluate(0, 0, 1, &gClickInfo);  // unselected point: the wall tool draws
  EXPECT_EQ(gCurTool, kToolExteriorWall);
  EXPECT_EQ(gResetToWallTool, 0);

  SelectPoint(wall->firstPoint, kSelectOn, 1);
  Evaluate(0, 0, 1, &gClickInfo);
  EXPECT_EQ(gCurTool, kToolSelection);
  EXPECT_EQ(gResetToWallTool, 1);
  EXPECT_EQ(gResetWallTool, kToolExteriorWall);
  EXPECT_EQ(gClickInfo.hitObject, wall);
  FinishTracking();
  EXPECT_EQ(gCurTool, kToolExteriorWall);
  EXPECT_EQ(gResetToWallTool, 0);
  gPointOrientation = orientation;
  wall->typeData = nullptr;
  DeleteObj(outline);
}

// While a straight wall tool drags from a grid node, the far end goes to the grid node nearest
// the pointer, as the start did: a pointer a little off the start's line, to the right or to
// the left, up or down, gives a level or a plumb wall. Without the grid the angle goes in
// 5-degree steps; other angle-stepping tools keep their steps on the grid.
TEST_F(PointEvaluation, StraightWallToolsOnTheGridTakeTheNearestNodeAndStepTheAngleWithout) {
  gDownX = 0, gDownZ = 0;  // a node: the grid is 24 units across and down
  gTrackingMouse = 1;
  struct Case {
    int32_t x, y;  // window point; the plan point is 5/3 of it
    float nodeX, nodeZ;
  };
  const Case cases[] = {{100, 5, 168, 0},   {-100, 5, -168, 0},  {100, -5, 168, 0}, {-100, -5, -168, 0},
                        {5, 100, 0, 168},   {5, -100, 0, -168},  {-5, 100, 0, 168}, {-5, -100, 0, -168},
                        {100, 20, 168, 24}, {-100, -20, -168, -24}};
  for (const uint16_t tool : {uint16_t(kToolExteriorWall), uint16_t(kToolExteriorWallKeyEntry),
                              uint16_t(kToolInteriorWall), uint16_t(kToolInteriorWallKeyEntry)})
    for (const Case& c : cases) {
      SCOPED_TRACE("tool " + std::to_string(tool) + " at " + std::to_string(c.x) + ", " + std::to_string(c.y));
      gCurTool = tool;
      doc.ds()->snapToGrid = 1;
      World w = Evaluate(c.x, c.y, 1, &gClickInfo);
      EXPECT_EQ(w.x, c.nodeX);
      EXPECT_EQ(w.z, c.nodeZ);

      doc.ds()->snapToGrid = 0;  // no grid: 5-degree steps along the pointer
      w = Evaluate(c.x, c.y, 1, &gClickInfo);
      const float along = std::hypot(c.x, c.y) * 5 / 3.0f;
      EXPECT_NEAR(std::hypot(w.x, w.z), along, 1e-2);
      const double degrees = std::atan2(-w.z, w.x) * 180 / M_PI;
      EXPECT_NEAR(std::remainder(degrees, 5.0), 0, 1e-3);
    }
  // With the grid on, a leader dimension still steps its angle along the pointer.
  doc.ds()->snapToGrid = 1;
  gCurTool = kToolLeaderDimension;
  World w = Evaluate(100, 20, 1, &gClickInfo);  // 11.3 degrees down the screen: 10
  EXPECT_NEAR(std::atan2(-w.z, w.x) * 180 / M_PI, -10, 1e-3);
}

TEST_F(PointEvaluation, ClosestSplineAndSegment) {
  Objex* shape = addShape({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  Poinz *start = nullptr, *end = nullptr;
  Poinz* nearest = GetClosestSpline(shape, 90, 30, &start, &end);
  EXPECT_EQ(nearest, shape->firstPoint->next);
  EXPECT_EQ(start, shape->firstPoint->next);  // the segment toward the nearer neighbour
  EXPECT_EQ(end, shape->firstPoint->next->next);
  nearest = GetClosestSpline(shape, 5, 40, &start, &end);
  EXPECT_EQ(nearest, shape->firstPoint);
  EXPECT_EQ(start, shape->firstPoint->next->next->next);  // the last point wraps round
  EXPECT_EQ(end, shape->firstPoint);

  FloatPoint a, b;
  GetClosestSegment(shape->firstPoint, shape->firstPoint->next, 40, 25, &a, &b);
  EXPECT_FLOAT_EQ(a.floatH, 40.0f);
  EXPECT_FLOAT_EQ(a.floatV, 0.0f);
  EXPECT_FLOAT_EQ(b.floatH, 40.0f);
  EXPECT_EQ(GetClosestSpline(nullptr, 0, 0, &start, &end), nullptr);
}

}  // namespace
