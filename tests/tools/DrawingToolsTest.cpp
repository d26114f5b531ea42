// The detail, electrical and landscape drawing tools: lines, polygons and curves, multigons,
// quarter arcs, switch connectors, sprinkler heads and circular arcs, and the drag rectangles
// they share.
#include <cmath>
#include <vector>

#include "ScriptedModalEvents.h"
#include "ToolTestSupport.h"
#include "model/Delete.h"
#include "tools/DrawingTools.h"
#include "tools/ObjectSnaps.h"
#include "tools/PolygonEntry.h"

namespace {

// The plan at zoom 1 without grid snapping: window points are plan points.
struct DrawingTools : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  void TearDown() override {
    gCenterLineTool = 0;
    gLockArcTool = 0;
    gClosePolyTool = gCloseSplineTool = 1;
    ToolTest::TearDown();
  }
  Objex* only() {
    EXPECT_EQ(CountObjects(doc.first), 1);
    return doc.first->firstObject;
  }
  // The two ends of an arc's outline, in either order, at (ax, az) and (bx, bz).
  static bool EndsAre(const std::vector<std::array<float, 3>>& p, float ax, float az, float bx, float bz) {
    auto at = [](const std::array<float, 3>& q, float x, float z) {
      return std::fabs(q[0] - x) < 0.05f && std::fabs(q[2] - z) < 0.05f;
    };
    if (p.size() < 2) return false;
    return (at(p.front(), ax, az) && at(p.back(), bx, bz)) || (at(p.front(), bx, bz) && at(p.back(), ax, az));
  }
  static std::vector<std::array<float, 3>> Points(const Objex* o) {
    std::vector<std::array<float, 3>> out;
    for (const Poinz* p = o->firstPoint; p; p = p->next) out.push_back({p->position[0], p->position[1], p->position[2]});
    return out;
  }
};

TEST_F(DrawingTools, EveryDrawingToolIsDispatched) {
  for (uint16_t tool : {kToolLine, kToolPolygon, kToolCurve, kToolMultigon, kToolArc, kToolCircularArc,
                        kToolSwitchConnector, kToolSprinklerHead, kToolDimension, kToolOffsetDimension,
                        kToolLengthDimension, kToolDiameterDimension, kToolLeaderDimension, kToolCurvedWall,
                        kToolFoundationPerimeter, kToolStiffenerBeam, kToolFoundationPier, kToolPostTensionStrand,
                        kToolFoundationSlope, kToolAirDuct})
    EXPECT_EQ(PendingTrackingRoutine(tool), nullptr) << tool;
}

TEST_F(DrawingTools, OvalBoundsSquareGrowsTowardTheMouseSide) {
  FloatRect r;
  RECT q;
  // Shift with the mouse above the start: the square grows upward by the width.
  GetOvalBounds(kTrackModShift, 10, 50, 40, 45, &r, &q, 0, 0);
  EXPECT_FLOAT_EQ(r.floatLeft, 10);
  EXPECT_FLOAT_EQ(r.floatRight, 40);
  EXPECT_FLOAT_EQ(r.floatTop, 20);
  EXPECT_FLOAT_EQ(r.floatBottom, 50);
  // Below the start it grows downward; without Shift the corners stay as they are.
  GetRectBounds(kTrackModShift, 10, 50, 40, 55, &r, &q, 0, 0);
  EXPECT_FLOAT_EQ(r.floatBottom, 80);
  GetOvalBounds(0, 10, 50, 40, 45, &r, &q, 0, 0);
  EXPECT_FLOAT_EQ(r.floatTop, 45);
  EXPECT_FLOAT_EQ(r.floatBottom, 50);
  EXPECT_EQ(q.top, 45);
  EXPECT_EQ(q.bottom, 50);
}

TEST_F(DrawingTools, DragRectanglesRoundCentreAndZoom) {
  FloatRect r;
  RECT q;
  LoadFloatAndQDRects(40.6f, 10.2f, 20.4f, 30.5f, &r, &q, 0, 0);
  EXPECT_FLOAT_EQ(r.floatLeft, 20.4f);
  EXPECT_FLOAT_EQ(r.floatRight, 40.6f);
  EXPECT_FLOAT_EQ(r.floatTop, 10.2f);
  EXPECT_FLOAT_EQ(r.floatBottom, 30.5f);
  EXPECT_EQ(q.left, 20);
  EXPECT_EQ(q.right, 41);
  EXPECT_EQ(q.top, 10);
  EXPECT_EQ(q.bottom, 31);
  // Centred: the first corner is the middle, whichever side the second lies on.
  LoadFloatAndQDRects(100, 100, 110, 105, &r, &q, 0, 1);
  EXPECT_FLOAT_EQ(r.floatLeft, 90);
  EXPECT_FLOAT_EQ(r.floatTop, 95);
  EXPECT_FLOAT_EQ(r.floatRight, 110);
  EXPECT_FLOAT_EQ(r.floatBottom, 105);
  EXPECT_EQ(q.left, 90);
  EXPECT_EQ(q.top, 95);
  LoadFloatAndQDRects(100, 100, 90, 95, &r, &q, 0, 1);
  EXPECT_FLOAT_EQ(r.floatLeft, 90);
  EXPECT_FLOAT_EQ(r.floatRight, 110);
  EXPECT_FLOAT_EQ(r.floatTop, 95);
  EXPECT_FLOAT_EQ(r.floatBottom, 105);
  EXPECT_EQ(q.right, 110);
  EXPECT_EQ(q.bottom, 105);
  // Zoomed corners.
  doc.ds()->zoomFactor = 0.5f;
  LoadFloatAndQDRects(0, 0, 100, 60, &r, &q, 1, 0);
  EXPECT_FLOAT_EQ(r.floatRight, 50);
  EXPECT_FLOAT_EQ(r.floatBottom, 30);
  // A missing rectangle: nothing is done.
  LoadFloatAndQDRects(0, 0, 1, 1, nullptr, &q, 0, 0);
  LoadFloatAndQDRects(0, 0, 1, 1, &r, nullptr, 0, 0);
}

TEST_F(DrawingTools, MultigonHasACornerUnderTheMouse) {
  doc.ds()->multigonSides = 6;
  doc.ds()->newObjectPlanMask = 0x100;
  gCurTool = kToolMultigon;
  drag({{0, 0}, {60, 0}, {100, 0}});
  Objex* m = only();
  EXPECT_EQ(m->type, kObjDetail);
  EXPECT_EQ(m->subtype, 4);
  EXPECT_EQ(m->closed, 1);
  EXPECT_EQ(m->planMask, 0x100);
  auto p = Points(m);
  ASSERT_EQ(p.size(), 6u);
  const float expected[6][2] = {{50, -86.6025f}, {-50, -86.6025f}, {-100, 0}, {-50, 86.6025f}, {50, 86.6025f}, {100, 0}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_NEAR(p[i][0], expected[i][0], 0.01f) << i;
    EXPECT_NEAR(p[i][2], expected[i][1], 0.01f) << i;
  }
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_TRUE(overlay.areAllPathsEmpty());
}

TEST_F(DrawingTools, MultigonOfTooFewSidesIsATriangle) {
  for (int16_t sides : {0, 1, 2, -4}) {
    doc.ds()->multigonSides = sides;
    gCurTool = kToolMultigon;
    drag({{200, 200}, {260, 200}});
    ASSERT_EQ(CountObjects(doc.first), 1) << sides;
    EXPECT_EQ(doc.first->firstObject->pointCount, 3) << sides;
    DeleteObj(doc.first->firstObject);
  }
}

TEST_F(DrawingTools, CentreLineDoublesTheDragAboutThePress) {
  gCenterLineTool = 1;
  doc.ds()->newLineWeight = 3;
  doc.ds()->detailDisplayDims = 1;
  doc.ds()->detailEditLevel = 1;
  gCurTool = kToolLine;
  drag({{100, 100}, {120, 100}, {130, 100}});
  Objex* line = only();
  EXPECT_EQ(line->type, kObjDetail);
  EXPECT_EQ(line->subtype, kSubDetailLine);
  EXPECT_EQ(line->fillPattern, 0);
  EXPECT_FLOAT_EQ(line->width, 3.0f);
  EXPECT_EQ(line->extraLong & 1, 1);
  EXPECT_EQ(line->extraFlags, 1);
  auto p = Points(line);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_FLOAT_EQ(p[0][0], 70);
  EXPECT_FLOAT_EQ(p[1][0], 130);
  EXPECT_FLOAT_EQ(p[0][2], 100);
  EXPECT_FLOAT_EQ(p[1][2], 100);
  EXPECT_FLOAT_EQ(std::fabs(p[1][0] - p[0][0]), 60);
}

TEST_F(DrawingTools, LineShowsItsRubberBandAndDimensionWhileDragging) {
  gCurTool = kToolLine;
  gMouseCaptured = 1;
  BeginTracking(100, 100);
  KeepTracking(250, 100, 100, 100);
  EXPECT_FALSE(overlay.isPathEmpty(kPathPrimary));
  EXPECT_FALSE(overlay.dynamicDimArray().empty());  // the live length label
  EXPECT_FLOAT_EQ(gPerpFromLoc.floatH, 100);
  EndTracking(250, 100, 250, 100);
  FinishTracking();
  EXPECT_FLOAT_EQ(gPerpFromLoc.floatH, kPerpFromNone);
  EXPECT_EQ(CountObjects(doc.first), 1);
}

TEST_F(DrawingTools, LineFromAPickedSegmentStaysSquareToIt) {
  Objex* segment = doc.addObject(kObjOpenPoly, false, {{0, 100}, {200, 100}});
  gCurTool = kToolLine;
  gPerpStartPtz = segment->firstPoint;
  gPerpEndPtz = segment->firstPoint->next;
  gPerpAtStart = 1;
  gDownX = 50, gDownY = 0, gDownZ = 100;
  TrackLine(80, 30, 80, 0, 30, kTrackKeep);
  // The start slides along the segment to the foot of the perpendicular from the mouse.
  EXPECT_NEAR(gDownX, 80, 1e-3f);
  EXPECT_NEAR(gDownZ, 100, 1e-3f);
  EXPECT_FLOAT_EQ(gPerpFromLoc.floatH, gDownX);
  TrackLine(120, 250, 120, 0, 250, kTrackKeep);
  EXPECT_NEAR(gDownX, 120, 1e-3f);
  EXPECT_NEAR(gDownZ, 100, 1e-3f);
  TrackLine(120, 250, 120, 0, 250, kTrackBegin);
  EXPECT_FLOAT_EQ(gPerpFromLoc.floatH, kPerpFromNone);
  overlay.removePointsFromAllPaths();
}

TEST_F(DrawingTools, ShortDragsMakeNothingAndReturnToTheStandardTool) {
  for (uint16_t tool : {kToolLine, kToolMultigon, kToolArc, kToolSwitchConnector, kToolSprinklerHead}) {
    gCurTool = tool;
    ServiceCallRecorder calls;
    drag({{100, 100}, {110, 110}, {112, 112}});  // under 20 window units
    EXPECT_EQ(CountObjects(doc.first), 0) << tool;
    EXPECT_TRUE(calls.called("ResetStandardTool")) << tool;
    EXPECT_TRUE(overlay.areAllPathsEmpty()) << tool;
    EXPECT_EQ(gMouseCaptured, 0) << tool;
  }
}

TEST_F(DrawingTools, QuarterArcTowardSmallerXAndZStartsAtNinety) {
  float rect[4], start = 0;
  QuarterArcBox(0, 100, 100, 40, 60, rect, &start);
  EXPECT_FLOAT_EQ(start, 90);
  // The ellipse is centred on (mouse x, down z) with the drag's width and height as radii.
  EXPECT_FLOAT_EQ((rect[0] + rect[2]) / 2, 40);
  EXPECT_FLOAT_EQ((rect[1] + rect[3]) / 2, 100);
  EXPECT_FLOAT_EQ(rect[2] - rect[0], 120);
  EXPECT_FLOAT_EQ(rect[3] - rect[1], 80);
  QuarterArcBox(0, 100, 100, 160, 160, rect, &start);
  EXPECT_FLOAT_EQ(start, -90);
  QuarterArcBox(0, 100, 100, 160, 40, rect, &start);
  EXPECT_FLOAT_EQ(start, -180);
  QuarterArcBox(0, 100, 100, 40, 160, rect, &start);
  EXPECT_FLOAT_EQ(start, 0);

  gCurTool = kToolArc;
  drag({{100, 100}, {70, 80}, {40, 60}});
  Objex* arc = only();
  EXPECT_EQ(arc->type, kObjDetail);
  EXPECT_EQ(arc->subtype, kSubDetailArc);
  EXPECT_EQ(arc->closed, 0);
  EXPECT_EQ(arc->fillPattern, 0);
  EXPECT_EQ(arc->extraLong & 1, 1);  // arcs always show their dimensions
  auto p = Points(arc);
  ASSERT_EQ(p.size(), 2u);  // one curve piece
  // From 90 degrees (the mouse point, above the centre) to the press.
  EXPECT_TRUE(EndsAre(p, 40, 60, 100, 100));
  // The end tangents that leave the arc are zero; at the press the arc runs along z.
  EXPECT_FLOAT_EQ(arc->firstPoint->inHandle[0], 0);
  EXPECT_FLOAT_EQ(arc->firstPoint->next->outHandle[2], 0);
  const Poinz* atPress = std::fabs(arc->firstPoint->position[0] - 100) < 0.05f ? arc->firstPoint : arc->firstPoint->next;
  const float* along = atPress == arc->firstPoint ? atPress->outHandle : atPress->inHandle;
  EXPECT_NEAR(along[0], 0, 0.01f);
  EXPECT_GT(std::fabs(along[2]), 1);
}

TEST_F(DrawingTools, PolygonAndCurveToolsGiveTheirSubtypes) {
  {
    ScriptedModalEvents e;
    e.move(100, 0).down(100, 0).move(100, 100).down(100, 100).move(0, 100).down(0, 100, 0, 2);
    gCurTool = kToolPolygon;
    drag({{0, 0}});
    Objex* poly = only();
    EXPECT_EQ(poly->type, kObjDetail);
    EXPECT_EQ(poly->subtype, kSubDetailPolygon);
    EXPECT_EQ(poly->closed, 1);
    DeleteObj(poly);
  }
  {
    gCloseSplineTool = 0;
    doc.ds()->detailDisplayDims = 0;
    ScriptedModalEvents e;
    e.move(100, 0).down(100, 0).move(100, 100).down(100, 100).move(0, 100).down(0, 100, 0, 2);
    gCurTool = kToolCurve;
    drag({{0, 0}});
    Objex* curve = only();
    EXPECT_EQ(curve->type, kObjDetail);
    EXPECT_EQ(curve->subtype, kSubDetailCurve);
    EXPECT_EQ(curve->closed, 0);
    EXPECT_EQ(curve->fillPattern, 0);  // an open result is never filled
    EXPECT_EQ(curve->extraLong & 1, 1);  // curves always show their dimensions
  }
}

TEST_F(DrawingTools, SwitchConnectorUpAndLeftStartsAtNinety) {
  gCurTool = kToolSwitchConnector;
  drag({{100, 100}, {70, 80}, {40, 60}});
  Objex* c = only();
  EXPECT_EQ(c->type, kObjDetail);
  EXPECT_EQ(c->subtype, kSubSwitchConnector);
  EXPECT_EQ(c->planMask, 4);
  auto p = Points(c);
  ASSERT_EQ(p.size(), 2u);
  // 90 degrees is above the centre (40, 100): the quarter runs from there to the press.
  EXPECT_TRUE(EndsAre(p, 40, 60, 100, 100));
  DeleteObj(c);

  // With Shift a quarter circle: both ends at the same distance from the centre.
  sModifiers = kTrackModShift;
  drag({{100, 100}, {70, 80}, {40, 70}});
  c = only();
  p = Points(c);
  ASSERT_GE(p.size(), 2u);
  const float r1 = std::hypot(p.front()[0] - 40, p.front()[2] - 100);
  const float r2 = std::hypot(p.back()[0] - 40, p.back()[2] - 100);
  EXPECT_NEAR(r1, 60, 0.01f);
  EXPECT_NEAR(r2, 60, 0.01f);
}

TEST_F(DrawingTools, SprinklerBackOnItsStartDirectionSpraysNothing) {
  ScriptedModalEvents e;
  e.move(180, 100).move(130, 150).move(200, 100).down(200, 100);
  gCurTool = kToolSprinklerHead;
  drag({{100, 100}, {130, 100}, {160, 100}});
  Objex* s = only();
  EXPECT_EQ(s->type, kObjSprinkler);
  EXPECT_EQ(s->closed, 1);
  EXPECT_EQ(s->planMask, 128);
  EXPECT_FLOAT_EQ(s->params[0], 0);
  // The outline ends at the head.
  auto p = Points(s);
  ASSERT_GE(p.size(), 3u);
  EXPECT_FLOAT_EQ(p.back()[0], 100);
  EXPECT_FLOAT_EQ(p.back()[2], 100);
  EXPECT_NEAR(p[p.size() - 2][0], 160, 0.01f);  // a spray of 0 starts and ends on the start direction
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_TRUE(overlay.areAllPathsEmpty());
  EXPECT_FALSE(e.acceptsMouseMovedEvents());
}

TEST_F(DrawingTools, SprinklerSprayAngleIsTheSweepAndShiftTurnsIt) {
  ScriptedModalEvents e;
  e.move(100, 30).down(100, 30);  // a quarter turn counter-clockwise on the screen
  gCurTool = kToolSprinklerHead;
  drag({{100, 100}, {160, 100}});
  Objex* s = only();
  EXPECT_NEAR(s->params[0], 90, 0.01f);
  auto p = Points(s);
  p.pop_back();  // the head
  EXPECT_TRUE(EndsAre(p, 160, 100, 100, 40));  // from the start direction to above the head
  DeleteObj(s);

  ScriptedModalEvents shifted;
  shifted.move(100, 30, kModalShiftKey).down(100, 30, kModalShiftKey);
  drag({{100, 100}, {160, 100}});
  s = only();
  EXPECT_NEAR(s->params[0], 270, 0.01f);  // the other way round
}

TEST_F(DrawingTools, CircularArcDoesNotCloseAtTheCentre) {
  doc.ds()->newLineWeight = 2;
  doc.ds()->detailEditLevel = 1;
  doc.ds()->newObjectPlanMask = 0x100;
  ScriptedModalEvents e;
  e.move(100, 30).down(100, 30);
  gCurTool = kToolCircularArc;
  drag({{100, 100}, {160, 100}});
  Objex* a = only();
  EXPECT_EQ(a->type, kObjDetail);
  EXPECT_EQ(a->subtype, kSubDetailArc);
  EXPECT_EQ(a->extraLong & 2, 2);
  EXPECT_EQ(a->fillPattern, 0);
  EXPECT_FLOAT_EQ(a->width, 2);
  EXPECT_EQ(a->planMask, 0x100);
  EXPECT_EQ(a->extraFlags, 1);
  auto p = Points(a);
  ASSERT_GE(p.size(), 2u);
  EXPECT_TRUE(EndsAre(p, 160, 100, 100, 40));  // no point at the centre
  EXPECT_FLOAT_EQ(a->firstPoint->inHandle[0], 0);
}

TEST_F(DrawingTools, TabInTheSweepLoopMovesToTheNextSnapTool) {
  for (uint16_t tool : {kToolSprinklerHead, kToolCircularArc}) {
    gCurSnap = 500;
    ScriptedModalEvents e;
    e.move(100, 30).key(kModalKeyTab).key(kModalKeyReturn).down(100, 30);
    gCurTool = tool;
    drag({{100, 100}, {160, 100}});
    EXPECT_NE(gCurSnap, 500) << tool;
    EXPECT_EQ(e.pending(), 0u) << tool;  // other keys did not end the loop
    ASSERT_EQ(CountObjects(doc.first), 1) << tool;
    DeleteObj(doc.first->firstObject);
  }
}

TEST_F(DrawingTools, SprinklerLoopEndedByAClosedWindowMakesNothing) {
  ScriptedModalEvents e;
  e.move(100, 30).closeWindow();
  gCurTool = kToolSprinklerHead;
  drag({{100, 100}, {160, 100}});
  EXPECT_EQ(CountObjects(doc.first), 0);
  EXPECT_TRUE(overlay.areAllPathsEmpty());
  EXPECT_EQ(gMouseCaptured, 0);
}

}  // namespace
