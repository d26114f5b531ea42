// Lines of the plan: projection, culling, destinations, styles by object kind, object
// and link segments, and the line buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "TestDocument.h"
#include "model/RepeatBound.h"
#include "model/Services.h"
#include "model/TransformInfo.h"
#include "model/ViewStateGuard.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/RecordingDrawContext.h"
#include "plandraw/ZLKDynamicDrawEngine.h"

namespace {

using Kind = RecordingDrawContext::Kind;

ZLKDynamicDrawEngine* gTestEngine = nullptr;

// A plan view at zoom 1 drawing into a recording context, with an overlay installed.
struct LineFixture : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;
  RecordingDrawContext ctx;
  CurrentDrawContextScope scope{&ctx};
  ZLKDynamicDrawEngine engine;

  LineFixture() {
    doc.ds()->zoomFactor = 1;
    doc.ds()->curveSegments = 10;
    ctx.setColor({0, 0, 1, 1});
    ctx.setLineWidth(2);
    gTestEngine = &engine;
    gPlanViewHooks.dynamicDrawEngine = [] { return gTestEngine; };
  }
  ~LineFixture() override {
    gPlanViewHooks.dynamicDrawEngine = nullptr;
    gTestEngine = nullptr;
    gDynamicDrawing = gTransformationDrawing = gPrinting = gRealTimeDraw = 0;
    gHPrintScale = gVPrintScale = 1;
    FreeAcclLineBuffer();
  }

  // Line count of one curved segment from (0, 0) to (100, 0) bowing out in z.
  size_t CurveLines(int16_t type = kObjDetail) {
    Objex* o = doc.addObject(type, false, {{0, 0}, {100, 0}});
    o->firstPoint->outHandle[2] = 60;
    o->firstPoint->next->inHandle[2] = -60;
    ctx.clear();
    DrawObjectSegment(nullptr, o, o->firstPoint, o->firstPoint->next, kDrawFlagAll, nullptr);
    return ctx.strokedLinePoints().size() / 2;
  }
};

void ExpectPoint(const NSPoint& p, float x, float y) {
  EXPECT_NEAR(p.x, x, 1e-3);
  EXPECT_NEAR(p.y, y, 1e-3);
}

}  // namespace

TEST_F(LineFixture, PlanLineIsProjectedAndStrokedInTheCurrentColourAndWidth) {
  Objex* o = doc.addObject(kObjDetail, false, {{10, 20}, {50, 20}});
  DrawLine(nullptr, 10.4f, 0, 20.6f, 50, 0, 20, 0, o, nullptr);
  ASSERT_EQ(ctx.calls.size(), 1u);
  const auto& c = ctx.calls[0];
  EXPECT_EQ(c.kind, Kind::Lines);
  ASSERT_EQ(c.points.size(), 2u);
  ExpectPoint(c.points[0], 10, 21);  // made whole: +0.5 and truncated
  ExpectPoint(c.points[1], 50, 20);
  EXPECT_EQ(c.stroke.width, 2);
  EXPECT_FALSE(c.stroke.isDashed());
  EXPECT_EQ(c.stroke.color, (DrawColor{0, 0, 1, 1}));

  // Without an object nothing is drawn.
  ctx.clear();
  DrawLine(nullptr, 0, 0, 0, 10, 0, 10, 0, nullptr, nullptr);
  EXPECT_TRUE(ctx.calls.empty());
}

TEST_F(LineFixture, LinesLeavingTheDrawableRangeAreDroppedNotClipped) {
  Objex* o = doc.addObject(kObjDetail, false, {{0, 0}, {1, 0}});
  DrawLine(nullptr, 0, 0, 0, 29999, 0, -29999, 0, o, nullptr);
  EXPECT_EQ(ctx.calls.size(), 1u);
  ctx.clear();
  for (float far : {30000.0f, -30000.0f, 1e30f, std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN()}) {
    DrawLine(nullptr, 0, 0, 0, far, 0, 5, 0, o, nullptr);
    DrawLine(nullptr, 0, 0, far, 5, 0, 5, 0, o, nullptr);
  }
  EXPECT_TRUE(ctx.calls.empty());

  // The zoom and the print scale count before the cull.
  DrawLine(nullptr, 0, 0, 0, 16000, 0, 0, 0, o, nullptr);
  EXPECT_EQ(ctx.calls.size(), 1u);
  gPrinting = 1;
  gHPrintScale = 2;
  DrawLine(nullptr, 0, 0, 0, 16000, 0, 0, 0, o, nullptr);
  EXPECT_EQ(ctx.calls.size(), 1u);
  gVPrintScale = 3;
  DrawLine(nullptr, 0, 0, 0, 100, 0, 100, 0, o, nullptr);
  ASSERT_EQ(ctx.calls.size(), 2u);
  ExpectPoint(ctx.calls[1].points[1], 200, 300);
}

TEST_F(LineFixture, StyleFollowsTheObjectKind) {
  struct Case {
    int16_t type;
    int32_t subtype;
    int16_t pointType;
    float width;
    std::vector<float> dash;
  };
  const std::vector<Case> cases = {
      {kObjTopography, 0, 1, 2, {3, 3}},  {kObjPath, 0, 1, 2, {3, 3}},
      {kObjRailing, 0, 1, 2, {3, 3}},     {kObjSprinkler, 0, 1, 2, {3, 3}},
      {kObjDormerCutout, 0, 1, 2, {3, 3}}, {kObjPropertyLine, 0, 1, 2, {18, 6}},
      {kObjQuickWall, 0, 1, 2, {18, 6}},  {kObjPhotoView, 0, 1, 3, {}},
      {kObjFence, 0, 6, 3, {}},           {kObjFence, 0, 1, 2, {3, 3}},
      {kObjCutout, kSubDeckCutout, 1, 2, {3, 3}}, {kObjCutout, kSubSwitchConnector, 1, 2, {3, 3}},
      {kObjCutout, 0, 1, 2, {}},          {kObjDetail, kSubSwitchConnector, 1, 2, {3, 3}},
      {kObjDetail, kSubDetailLine, 1, 2, {}}, {kObjWall, 0, 1, 2, {}},
  };
  for (const Case& k : cases) {
    Objex* o = doc.addObject(k.type, false, {{0, 0}, {10, 0}});
    o->subtype = k.subtype;
    o->firstPoint->pointType = k.pointType;
    ctx.clear();
    DrawLine(nullptr, 0, 0, 0, 10, 0, 0, 0, o, o->firstPoint);
    ASSERT_EQ(ctx.calls.size(), 1u) << "type " << k.type;
    const StrokeStyle& s = ctx.calls[0].stroke;
    EXPECT_EQ(s.width, k.width) << "type " << k.type;
    ASSERT_EQ(s.dashCount, static_cast<int>(k.dash.size())) << "type " << k.type;
    for (size_t i = 0; i < k.dash.size(); ++i) EXPECT_EQ(s.dash[i], k.dash[i]);
    EXPECT_EQ(s.dashPhase, 0);
  }
  // A fence line without its point is not a gate.
  Objex* fence = doc.addObject(kObjFence, false, {{0, 0}, {10, 0}});
  fence->firstPoint->pointType = 6;
  ctx.clear();
  DrawLine(nullptr, 0, 0, 0, 10, 0, 0, 0, fence, nullptr);
  EXPECT_EQ(ctx.calls[0].stroke.dashCount, 2);
}

TEST_F(LineFixture, OverlayAndTransformOutlinesTakeTheLineWhileTracking) {
  gDynamicDrawing = 1;
  DrawLine(nullptr, 1.6f, 0, 2.4f, 10, 0, 20, 0, nullptr, nullptr);  // no object needed
  EXPECT_TRUE(ctx.calls.empty());
  EXPECT_EQ(engine.boundsForPath(kPathPrimary).origin.x, 2);
  EXPECT_EQ(engine.boundsForPath(kPathPrimary).origin.y, 2);
  EXPECT_EQ(NSMaxY(engine.boundsForPath(kPathPrimary)), 20);
  Draw2DLine(0, 0, 5, 5, 0);
  EXPECT_TRUE(ctx.calls.empty());
  EXPECT_EQ(NSMinX(engine.activePathBounds()), 0);

  // No overlay: nothing anywhere.
  gPlanViewHooks.dynamicDrawEngine = nullptr;
  DrawLine(nullptr, 0, 0, 0, 10, 0, 10, 0, nullptr, nullptr);
  EXPECT_TRUE(ctx.calls.empty());
  gPlanViewHooks.dynamicDrawEngine = [] { return gTestEngine; };

  gDynamicDrawing = 0;
  gTransformationDrawing = 1;
  engine.removePointsFromAllPaths();
  DrawLine(nullptr, 0, 0, 0, 10, 0, 10, 0, nullptr, nullptr);  // no element yet
  EXPECT_TRUE(ctx.calls.empty());
  engine.addDynamicTransformElement(std::make_unique<ZLKDynamicTransformElement>());
  auto second = std::make_unique<ZLKDynamicTransformElement>();
  ZLKDynamicTransformElement* active = second.get();
  engine.addDynamicTransformElement(std::move(second));
  DrawLine(nullptr, 3, 0, 4, 10, 0, 10, 0, nullptr, nullptr);
  EXPECT_TRUE(ctx.calls.empty());
  EXPECT_TRUE(engine.dynamicTransformArray()[0]->path().isEmpty());
  ASSERT_EQ(active->path().elements().size(), 2u);
  ExpectPoint(active->path().elements()[0].points[0], 3, 4);
  EXPECT_TRUE(engine.isPathEmpty(kPathPrimary));
}

TEST_F(LineFixture, SymbolPartsOfGroupsAndEdgingGoThroughTheLineBuffer) {
  ASSERT_TRUE(AllocateAcclLineBuffer());
  Objex* group = doc.addObject(kObjGroup, false, {});
  Objex* part = doc.addObject(kObjSymbolPart3D, false, {{0, 0}, {1, 0}});
  part->parent = group;
  Objex* edging = doc.addObject(kObjEdging, false, {{0, 0}, {1, 0}});
  Objex* loosePart = doc.addObject(kObjSymbolPart3D, false, {{0, 0}, {1, 0}});
  DrawLine(nullptr, 1.25f, 0, 2.75f, 3, 0, 4, 0, part, nullptr);
  DrawLine(nullptr, 5, 0, 6, 7, 0, 8, 0, edging, nullptr);
  DrawLine(nullptr, 5, 0, 6, 7, 0, 8, 0, loosePart, nullptr);
  EXPECT_EQ(ctx.calls.size(), 1u);  // only the part outside a group is stroked alone
  ASSERT_EQ(gAcclLinePointCount, 4);
  ExpectPoint(gAcclLineBuffer[0], 1.25f, 2.75f);  // unrounded
  ctx.clear();
  StrokeAcclLineBuffer(nullptr);
  ASSERT_EQ(ctx.calls.size(), 1u);
  EXPECT_EQ(ctx.calls[0].points.size(), 4u);
  EXPECT_EQ(ctx.calls[0].stroke.width, 2);
  EXPECT_EQ(gAcclLinePointCount, 0);
  EXPECT_NE(gAcclLineBuffer, nullptr);
  part->parent = nullptr;  // not linked as the group's child: each is freed on its own
}

// At the growth boundary: the 500th segment fills the 1000 points exactly without growing;
// the 501st grows the buffer and keeps every point before it.
TEST_F(LineFixture, LineBufferGrowsOnlyWhenASegmentWouldNotFit) {
  ASSERT_TRUE(AllocateAcclLineBuffer());
  for (int i = 0; i < 500; ++i) ApplePortAcceleratedDrawLine(static_cast<float>(i), 1, static_cast<float>(i), 2);
  EXPECT_EQ(gAcclLinePointCount, 1000);
  EXPECT_EQ(gAcclLinePointCap, 1000);
  ExpectPoint(gAcclLineBuffer[999], 499, 2);
  ApplePortAcceleratedDrawLine(500, 1, 500, 2);
  EXPECT_EQ(gAcclLinePointCount, 1002);
  EXPECT_EQ(gAcclLinePointCap, 2000);
  ExpectPoint(gAcclLineBuffer[0], 0, 1);
  ExpectPoint(gAcclLineBuffer[999], 499, 2);
  ExpectPoint(gAcclLineBuffer[1001], 500, 2);
}

// One segment is enough to stroke; an empty buffer strokes nothing.
TEST_F(LineFixture, LineBufferStrokesASingleSegment) {
  ASSERT_TRUE(AllocateAcclLineBuffer());
  StrokeAcclLineBuffer(nullptr);
  EXPECT_TRUE(ctx.calls.empty());
  ApplePortAcceleratedDrawLine(3, 4, 5, 6);
  StrokeAcclLineBuffer(nullptr);
  ASSERT_EQ(ctx.calls.size(), 1u);
  ASSERT_EQ(ctx.calls[0].points.size(), 2u);
  ExpectPoint(ctx.calls[0].points[0], 3, 4);
  ExpectPoint(ctx.calls[0].points[1], 5, 6);
  EXPECT_EQ(gAcclLinePointCount, 0);
}

TEST_F(LineFixture, LineBufferGrowsInStepsOfAThousandPoints) {
  ApplePortAcceleratedDrawLine(0, 0, 1, 1);  // no buffer yet: ignored
  EXPECT_EQ(gAcclLinePointCount, 0);
  ASSERT_TRUE(AllocateAcclLineBuffer());
  EXPECT_EQ(gAcclLinePointCap, 1000);
  for (int i = 0; i < 600; ++i) ApplePortAcceleratedDrawLine(static_cast<float>(i), 0, static_cast<float>(i), 1);
  EXPECT_EQ(gAcclLinePointCount, 1200);
  EXPECT_EQ(gAcclLinePointCap, 2000);
  ExpectPoint(gAcclLineBuffer[1198], 599, 0);
  StrokeAcclLineBuffer(nullptr);
  EXPECT_EQ(ctx.calls[0].points.size(), 1200u);
}

TEST_F(LineFixture, CurvedSegmentStepsFollowResolutionZoomAndRealTime) {
  EXPECT_EQ(CurveLines(), 10u);
  doc.ds()->curveSegments = 13;
  EXPECT_EQ(CurveLines(), 13u);
  doc.ds()->zoomFactor = 0.5f;  // 6.5 steps: at least 8
  EXPECT_EQ(CurveLines(), 8u);
  doc.ds()->zoomFactor = 3;  // 39 steps: at most 20
  EXPECT_EQ(CurveLines(), 20u);
  doc.ds()->zoomFactor = 1;
  doc.ds()->curveSegments = 30;
  gRealTimeDraw = 1;
  EXPECT_EQ(CurveLines(), 15u);
  doc.ds()->curveSegments = 1;  // halved to 0, kept at 1, then the minimum of 8
  EXPECT_EQ(CurveLines(), 8u);
  gRealTimeDraw = 0;
  for (int16_t resolution : {0, -5, 32767}) {
    doc.ds()->curveSegments = resolution;
    size_t n = CurveLines();
    EXPECT_TRUE(n == 8 || n == 20) << resolution;
  }
}

TEST_F(LineFixture, CurvedSegmentRunsFromPointAToPointB) {
  Objex* o = doc.addObject(kObjDetail, false, {{0, 0}, {100, 0}});
  o->firstPoint->outHandle[2] = 60;
  o->firstPoint->next->inHandle[2] = -60;
  DrawObjectSegment(nullptr, o, o->firstPoint, o->firstPoint->next, kDrawFlagAll, nullptr);
  auto pts = ctx.strokedLinePoints();
  ASSERT_EQ(pts.size(), 20u);
  ExpectPoint(pts.front(), 0, 0);
  ExpectPoint(pts.back(), 100, 0);
  for (size_t i = 1; i + 1 < pts.size(); i += 2) ExpectPoint(pts[i], pts[i + 1].x, pts[i + 1].y);  // joined
  EXPECT_GT(pts[10].y, 5);  // bows out in z (view y)
}

TEST_F(LineFixture, FarAwayCurvesEndAndDrawNothing) {
  Objex* o = doc.addObject(kObjDetail, false, {{0, 0}, {1e30f, 0}});
  o->firstPoint->outHandle[0] = 1e30f;
  DrawObjectSegment(nullptr, o, o->firstPoint, o->firstPoint->next, kDrawFlagAll, nullptr);
  EXPECT_TRUE(ctx.calls.empty());
}

TEST_F(LineFixture, StraightSegmentIsOneLineAndStairsGetAnArrowhead) {
  Objex* o = doc.addObject(kObjStaircase, false, {{0, 0}, {0, 100}});
  o->subtype = kSubStraightStair;
  DrawObjectSegment(nullptr, o, o->firstPoint, o->firstPoint->next, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.strokedLinePoints().size(), 2u);
  EXPECT_EQ(ctx.count(Kind::StrokePath), 1u);  // the arrowhead

  o->subtype = kSubCurvedStair;
  o->firstPoint->outHandle[0] = 50;
  DrawObjectSegment(nullptr, o, o->firstPoint, o->firstPoint->next, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.count(Kind::StrokePath), 2u);
  DrawObjectSegment(nullptr, o, o->firstPoint, nullptr, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.count(Kind::StrokePath), 2u);
}

TEST_F(LineFixture, TrackingTransformMovesCopiesNotTheModel) {
  doc.ds()->viewPlane = 2;
  Objex* o = doc.addObject(kObjDetail, false, {{0, 0}, {10, 0}});
  DragTransformInfo xform{};
  xform.current[0] = 5;
  xform.current[2] = 7;
  DrawObjectSegment(nullptr, o, o->firstPoint, o->firstPoint->next, kDrawFlagTranslate, &xform);
  auto pts = ctx.strokedLinePoints();
  ASSERT_EQ(pts.size(), 2u);
  ExpectPoint(pts[0], 5, 7);
  ExpectPoint(pts[1], 15, 7);
  EXPECT_EQ(o->firstPoint->position[0], 0);

  // Dimension info objects never turn.
  xform = {};
  xform.anchor[0] = 0;
  xform.currentAngle = 1.5f;
  xform.sweepAngle = 1.5f;
  ctx.clear();
  o->type = kObjDimensionInfo;
  DrawObjectSegment(nullptr, o, o->firstPoint, o->firstPoint->next, kDrawFlagRotate, &xform);
  pts = ctx.strokedLinePoints();
  ASSERT_EQ(pts.size(), 2u);
  ExpectPoint(pts[1], 10, 0);
}

TEST_F(LineFixture, GateSegmentsSetThePenColour) {
  Objex* fence = doc.addObject(kObjFence, false, {{0, 0}, {10, 0}, {20, 0}});
  fence->firstPoint->pointType = 6;
  gPlanDrawSettings.penColor = {65535, 0, 0};
  DrawObjectSegment(nullptr, fence, fence->firstPoint, fence->firstPoint->next, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.color(), (DrawColor{1, 0, 0, 1}));
  EXPECT_EQ(ctx.calls.back().stroke.width, 3);
  EXPECT_EQ(ctx.calls.back().stroke.color, (DrawColor{1, 0, 0, 1}));
  DrawObjectSegment(nullptr, fence, fence->firstPoint, fence->firstPoint->next, kDrawFlagAll | kDrawFlagRed, nullptr);
  EXPECT_EQ(ctx.color(), kDrawBlack);
  // The next segment is not a gate: dashed, and the colour stays as set.
  DrawObjectSegment(nullptr, fence, fence->firstPoint->next, fence->firstPoint->next->next, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.calls.back().stroke.dashCount, 2);
  EXPECT_EQ(ctx.color(), kDrawBlack);
  gPlanDrawSettings.penColor = {};
}

TEST_F(LineFixture, LinkSegmentsFollowTheLinkVectors) {
  Objex* o = doc.addObject(kObjDetail, false, {{0, 0}, {0, 100}});
  Poinz* a = o->firstPoint;
  Poinz* b = a->next;
  DrawLinkSegment(nullptr, o, a, b, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.strokedLinePoints().size(), 2u);

  a->linkVector[0] = 40;
  b->linkVector[0] = -40;
  doc.ds()->curveSegments = 4;  // no zoom scaling and no bounds
  ctx.clear();
  DrawLinkSegment(nullptr, o, a, b, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.strokedLinePoints().size(), 8u);
  gRealTimeDraw = 1;
  ctx.clear();
  DrawLinkSegment(nullptr, o, a, b, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.strokedLinePoints().size(), 4u);
  doc.ds()->curveSegments = 1;  // halved below one step: one line
  ctx.clear();
  DrawLinkSegment(nullptr, o, a, b, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.strokedLinePoints().size(), 2u);
  gRealTimeDraw = 0;
  // No steps outside real time: the walk ends at once and nothing is drawn.
  for (int16_t resolution : {0, -3}) {
    doc.ds()->curveSegments = resolution;
    ctx.clear();
    DrawLinkSegment(nullptr, o, a, b, kDrawFlagAll, nullptr);
    EXPECT_EQ(ctx.strokedLinePoints().size(), 0u) << resolution;
  }
  gRealTimeDraw = 1;
  doc.ds()->curveSegments = 0;
  ctx.clear();
  DrawLinkSegment(nullptr, o, a, b, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.strokedLinePoints().size(), 2u);
  gRealTimeDraw = 0;
  // A curve setting past the bound on curve samples (a design may hold up to 32767) draws at
  // the bound; just under it, as asked.
  for (const int16_t resolution : {int16_t{1000}, int16_t{1025}, int16_t{32767}}) {
    doc.ds()->curveSegments = resolution;
    ctx.clear();
    DrawLinkSegment(nullptr, o, a, b, kDrawFlagAll, nullptr);
    const size_t lines = std::min<size_t>(resolution, kMaxRepeats);
    EXPECT_GE(ctx.strokedLinePoints().size(), 2 * lines) << resolution;
    EXPECT_LE(ctx.strokedLinePoints().size(), 2 * (lines + 11)) << resolution;  // t runs to 1.01
  }
}

TEST_F(LineFixture, Draw2DLineZoomsWholeUnits) {
  doc.ds()->zoomFactor = 2;
  Draw2DLine(10, 20, 30, 41, 1);
  ASSERT_EQ(ctx.calls.size(), 1u);
  ExpectPoint(ctx.calls[0].points[0], 20, 40);
  ExpectPoint(ctx.calls[0].points[1], 60, 82);
  Draw2DLine(10, 20, 30, 41, 0);
  ExpectPoint(ctx.calls[1].points[1], 30, 41);
}
