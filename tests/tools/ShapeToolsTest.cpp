// The rectangle and oval tools: rubber band while dragging, a detail shape on the current
// layer at the mouse-up, nothing for a drag shorter than the mouse limit.
#include <array>
#include <cmath>

#include "ToolTestSupport.h"
#include "model/Delete.h"

namespace {

using ShapeTools = ToolTest;

std::vector<std::array<float, 3>> Corners(const Objex* o) {
  std::vector<std::array<float, 3>> out;
  for (const Poinz* p = o->firstPoint; p; p = p->next) out.push_back({p->position[0], p->position[1], p->position[2]});
  return out;
}

TEST_F(ShapeTools, RectangleDragMakesADetailRectangleWithTheDocumentStyle) {
  DocState* ds = doc.ds();
  ds->newPenColor = {1000, 2000, 3000};
  ds->newFillColor = {4000, 5000, 6000};
  ds->newPenStyle = 3;
  ds->newLineWeight = 2;
  ds->newObjectPlanMask = 0x104;
  ds->detailEditLevel = 1;
  ds->detailDisplayDims = 1;
  gCurTool = kToolRectangle;

  gMouseCaptured = 1;
  BeginTracking(12, 12);
  KeepTracking(132, 75, 12, 12);
  EXPECT_FALSE(overlay.isPathEmpty(kPathPrimary));  // the rubber band
  EXPECT_EQ(CountObjects(doc.first), 0);            // nothing before the mouse-up
  EndTracking(132, 75, 132, 75);
  FinishTracking();

  ASSERT_EQ(CountObjects(doc.first), 1);
  Objex* rect = doc.first->firstObject;
  EXPECT_EQ(rect->type, kObjDetail);
  EXPECT_EQ(rect->subtype, kSubDetailRect);
  EXPECT_EQ(rect->closed, 1);
  EXPECT_EQ(rect->pointCount, 4);
  EXPECT_EQ(rect->penColor, (RGBColor{1000, 2000, 3000}));
  EXPECT_EQ(rect->fillColor, (RGBColor{4000, 5000, 6000}));
  EXPECT_EQ(rect->penStyle, 3);
  EXPECT_FLOAT_EQ(rect->width, 2.0f);
  EXPECT_EQ(rect->planMask, 0x104);
  EXPECT_EQ(rect->extraFlags, 1);  // edited point by point
  EXPECT_EQ(rect->extraLong, 1);
  EXPECT_EQ(rect->layer, doc.first);
  // Window (12, 12) to (132, 75) at zoom 0.6 is (20, 20) to (220, 125), each on the nearest
  // line of the 24-unit grid.
  auto c = Corners(rect);
  float minX = 1e9, maxX = -1e9, minZ = 1e9, maxZ = -1e9;
  for (auto& p : c) {
    minX = std::fmin(minX, p[0]), maxX = std::fmax(maxX, p[0]);
    minZ = std::fmin(minZ, p[2]), maxZ = std::fmax(maxZ, p[2]);
    EXPECT_NEAR(p[1], 0.0f, 1e-4);
  }
  EXPECT_FLOAT_EQ(minX, 24.0f);
  EXPECT_FLOAT_EQ(maxX, 216.0f);
  EXPECT_FLOAT_EQ(minZ, 24.0f);
  EXPECT_FLOAT_EQ(maxZ, 120.0f);
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_TRUE(overlay.areAllPathsEmpty());
}

TEST_F(ShapeTools, ShortDragOrClickMakesNothingAndReturnsToTheStandardTool) {
  gCurTool = kToolRectangle;
  ServiceCallRecorder calls;
  drag({{12, 12}, {20, 20}});  // 11.3 window units
  EXPECT_EQ(CountObjects(doc.first), 0);
  EXPECT_TRUE(calls.called("ResetStandardTool"));
  EXPECT_TRUE(overlay.areAllPathsEmpty());
  EXPECT_EQ(gMouseCaptured, 0);

  drag({{50, 50}});  // a click: the end stage gets the down point
  EXPECT_EQ(gEndMouse.x, gStartMouse.x);
  EXPECT_EQ(CountObjects(doc.first), 0);

  drag({{12, 12}, {26, 26}});  // 19.8: still short
  EXPECT_EQ(CountObjects(doc.first), 0);
}

TEST_F(ShapeTools, CentreModeMirrorsTheDownPointAndPutsItBack) {
  gCurTool = kToolRectangle;
  gCenterRectTool = 1;
  drag({{120, 60}, {180, 90}});  // down (192, 96), up (312, 144) after the grid
  ASSERT_EQ(CountObjects(doc.first), 1);
  auto c = Corners(doc.first->firstObject);
  float minX = 1e9, minZ = 1e9;
  for (auto& p : c) minX = std::fmin(minX, p[0]), minZ = std::fmin(minZ, p[2]);
  EXPECT_FLOAT_EQ(minX, 72.0f);
  EXPECT_FLOAT_EQ(minZ, 48.0f);
  EXPECT_FLOAT_EQ(gDownX, 192.0f);
  EXPECT_FLOAT_EQ(gDownZ, 96.0f);
}

TEST_F(ShapeTools, OvalDragMakesAFourPointEllipse) {
  gCurTool = kToolCircleOval;
  drag({{0, 0}, {150, 75}});  // (0, 0) to (250, 125), on the grid at (240, 120)
  ASSERT_EQ(CountObjects(doc.first), 1);
  Objex* oval = doc.first->firstObject;
  EXPECT_EQ(oval->type, kObjDetail);
  EXPECT_EQ(oval->subtype, kSubDetailOval);
  EXPECT_EQ(oval->pointCount, 4);
  for (const Poinz* p = oval->firstPoint; p; p = p->next) {
    // Every point lies on the ellipse centred at (120, 60) with radii 120 and 60.
    const float u = (p->position[0] - 120) / 120, v = (p->position[2] - 60) / 60;
    EXPECT_NEAR(u * u + v * v, 1.0f, 1e-3);
  }
  EXPECT_EQ(gDynamicDrawing, 0);
}

// In the elevation planes the oval spans the drag: z and y in plane 3, x and y in plane 1,
// a circle unless Shift gives the height.
TEST_F(ShapeTools, ElevationOvalSpansTheDrag) {
  struct Box {
    float min[3], max[3];
  };
  auto boxOf = [](const Objex* o) {
    Box b{{1e9f, 1e9f, 1e9f}, {-1e9f, -1e9f, -1e9f}};
    for (const Poinz* p = o->firstPoint; p; p = p->next)
      for (int k = 0; k < 3; ++k) b.min[k] = std::fmin(b.min[k], p->position[k]), b.max[k] = std::fmax(b.max[k], p->position[k]);
    return b;
  };
  auto expectBox = [](const Box& b, std::array<float, 3> lo, std::array<float, 3> hi) {
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(b.min[k], lo[k], 1e-3) << k;
      EXPECT_NEAR(b.max[k], hi[k], 1e-3) << k;
    }
  };
  gStartMouse = {0, 0};
  gEndMouse = {30, 0};
  struct Case {
    int16_t plane;
    uint16_t modifiers;
    float x, y, z;
    std::array<float, 3> lo, hi;
  };
  // Down at (5, 10, 20).
  const Case cases[] = {
      {3, 0, 999, 999, 80, {5, 10, 20}, {5, 70, 80}},             // circle: y grows by the z extent
      {3, kTrackModShift, 999, 40, 80, {5, 10, 20}, {5, 40, 80}},  // Shift: the current y
      {1, 0, 65, 999, 999, {5, 10, 20}, {65, 70, 20}},
      {1, kTrackModShift, 65, 30, 999, {5, 10, 20}, {65, 30, 20}},
  };
  for (const Case& c : cases) {
    doc.ds()->viewPlane = c.plane;
    gTrackModifiers = c.modifiers;
    gDownX = 5, gDownY = 10, gDownZ = 20;
    Objex* oval = TrackOval(0, 0, c.x, c.y, c.z, kTrackEnd);
    ASSERT_NE(oval, nullptr);
    EXPECT_EQ(oval->pointCount, 4);
    expectBox(boxOf(oval), c.lo, c.hi);
    DeleteObj(oval);
  }
  gTrackModifiers = 0;
  doc.ds()->viewPlane = 2;
}

TEST_F(ShapeTools, FullEllipseHasFourPointsClosedAndFiveOpen) {
  const float rect[4] = {0, 0, 100, 50};
  float positions[15];
  int32_t count = 0;
  Draw3DEllipse(nullptr, rect, 0, 360, 2, 0, positions, nullptr, nullptr, 0, &count, 1, 90);
  EXPECT_EQ(count, 4);
  Draw3DEllipse(nullptr, rect, 0, 360, 2, 0, positions, nullptr, nullptr, 0, &count, 0, 90);
  EXPECT_EQ(count, 5);
  EXPECT_EQ(EllipsePointCapacity(360, 90), 5);
  Draw3DEllipse(nullptr, nullptr, 0, 360, 2, 0, positions, nullptr, nullptr, 0, &count, 0, 90);
}

}  // namespace
