// The virtual ruler: hit codes at its handles and body, and dragging an end or the whole
// ruler with and without grid snapping.
#include <algorithm>
#include <cmath>
#include <deque>
#include <utility>

#include "ScriptedModalEvents.h"
#include "ToolTestSupport.h"
#include "model/Grid.h"
#include "plandraw/RecordingDrawContext.h"
#include "plandraw/VirtualRuler.h"
#include "tools/VirtualRulerTool.h"

namespace {

class VirtualRuler : public ToolTest {
 protected:

  void SetUp() override {
    ToolTest::SetUp();
    doc.model.itsVRVisible = 1;
    doc.model.itsVRStartPt = {-144, 0};
    doc.model.itsVREndPt = {144, 0};
    doc.ds()->snapToGrid = 0;
  }
  int16_t hit(int32_t x, int32_t y) {
    int16_t part = -1;
    const int16_t result = PointInVirtualRuler(POINT{x, y}, &part);
    EXPECT_EQ(result != 0, part != 0);
    return part;
  }
  // Presses at `from`, drags through `steps` and releases.
  void dragRuler(POINT from, std::initializer_list<POINT> steps) {
    int16_t part = 0;
    PointInVirtualRuler(from, &part);
    ScriptedModalEvents events;
    for (const POINT& step : steps) events.drag(step.x, step.y);
    events.up(steps.size() ? std::data(steps)[steps.size() - 1].x : from.x,
              steps.size() ? std::data(steps)[steps.size() - 1].y : from.y);
    TrackVirtualRuler(from.x, from.y, from, part);
  }
};

// At zoom 0.6 the ruler runs from window (-86.4, 0) to (86.4, 0), 30 wide; the handles,
// 8.4 on a side, are centred at x = -78 and 78.
TEST_F(VirtualRuler, HitCodesAtHandlesBodyAndOutside) {
  EXPECT_EQ(hit(0, 0), kRulerHitBody);
  EXPECT_EQ(hit(0, 14), kRulerHitBody);
  EXPECT_EQ(hit(-40, -14), kRulerHitBody);
  EXPECT_EQ(hit(0, 20), kRulerHitNone);
  EXPECT_EQ(hit(100, 0), kRulerHitNone);
  EXPECT_EQ(hit(-78, 0), kRulerHitStart);
  EXPECT_EQ(hit(-75, 3), kRulerHitStart);
  EXPECT_EQ(hit(78, 0), kRulerHitEnd);
  EXPECT_EQ(hit(70, 0), kRulerHitBody);  // near the handle, outside it
  doc.model.itsVRVisible = 0;
  EXPECT_EQ(hit(0, 0), kRulerHitNone);
  EXPECT_EQ(PointInVirtualRuler(POINT{0, 0}, nullptr), 0);
}

// The address-and-byte-pair form the plan view's click handler uses, and the drag started
// from a view.
TEST_F(VirtualRuler, HitPairFormAndDragFromAView) {
  uint8_t pair[2] = {9, 9};
  const POINT onStart{-78, 0}, onBody{0, 0}, onEnd{78, 0}, outside{0, 20};
  EXPECT_EQ(PointInVirtualRuler(&onStart, pair), 1);
  EXPECT_EQ(pair[0], kRulerHitStart);
  EXPECT_EQ(pair[1], 0);
  EXPECT_EQ(PointInVirtualRuler(&onEnd, pair), 1);
  EXPECT_EQ(pair[0], kRulerHitEnd);
  EXPECT_EQ(PointInVirtualRuler(&onBody, pair), 1);
  EXPECT_EQ(pair[0], kRulerHitBody);
  pair[1] = 9;
  EXPECT_EQ(PointInVirtualRuler(&outside, pair), 0);
  EXPECT_EQ(pair[0], kRulerHitNone);
  EXPECT_EQ(pair[1], 0);
  EXPECT_EQ(PointInVirtualRuler(nullptr, pair), 0);
  EXPECT_EQ(PointInVirtualRuler(&onBody, nullptr), 0);
  doc.model.itsVRVisible = 0;
  EXPECT_EQ(PointInVirtualRuler(&onBody, pair), 0);
  EXPECT_EQ(pair[0], kRulerHitNone);
  doc.model.itsVRVisible = 1;

  ScriptedModalEvents events;
  events.drag(30, 18).up(30, 18);
  TrackVirtualRuler(0, 0, static_cast<ZLKDocumentView*>(nullptr), kRulerHitBody);
  EXPECT_NEAR(doc.model.itsVRStartPt.floatH, -94, 1e-3);
  EXPECT_NEAR(doc.model.itsVRStartPt.floatV, 30, 1e-3);
  EXPECT_NEAR(doc.model.itsVREndPt.floatH, 194, 1e-3);
}

TEST_F(VirtualRuler, HitTestFollowsATurnedRuler) {
  doc.model.itsVRStartPt = {0, 0};
  doc.model.itsVREndPt = {0, 300};  // down the screen: window (0, 0) to (0, 180)
  EXPECT_EQ(hit(0, 90), kRulerHitBody);
  EXPECT_EQ(hit(40, 90), kRulerHitNone);
  EXPECT_EQ(hit(0, 8), kRulerHitStart);
  EXPECT_EQ(hit(0, 172), kRulerHitEnd);
}

TEST_F(VirtualRuler, DraggingAnEndMovesOnlyThatEnd) {
  dragRuler({78, 0}, {{90, 0}, {90, 0}, {108, 18}});  // window (30, 18) is plan (50, 30)
  EXPECT_NEAR(doc.model.itsVRStartPt.floatH, -144, 1e-3);
  EXPECT_NEAR(doc.model.itsVRStartPt.floatV, 0, 1e-3);
  EXPECT_NEAR(doc.model.itsVREndPt.floatH, 194, 1e-3);
  EXPECT_NEAR(doc.model.itsVREndPt.floatV, 30, 1e-3);

  dragRuler({-78, 0}, {{-108, -6}});
  EXPECT_NEAR(doc.model.itsVRStartPt.floatH, -194, 1e-3);
  EXPECT_NEAR(doc.model.itsVRStartPt.floatV, -10, 1e-3);
  EXPECT_NEAR(doc.model.itsVREndPt.floatH, 194, 1e-3);
}

TEST_F(VirtualRuler, DraggingTheBodyMovesBothEndsAndNeverLengthens) {
  dragRuler({0, 0}, {{30, 18}});
  EXPECT_NEAR(doc.model.itsVRStartPt.floatH, -94, 1e-3);
  EXPECT_NEAR(doc.model.itsVRStartPt.floatV, 30, 1e-3);
  EXPECT_NEAR(doc.model.itsVREndPt.floatH, 194, 1e-3);
  EXPECT_NEAR(doc.model.itsVREndPt.floatV, 30, 1e-3);

  doc.model.itsVRStartPt = {0, 0};
  doc.model.itsVREndPt = {30, 0};  // shorter than the least end drag leaves
  {
    ScriptedModalEvents events;
    events.drag(6, 0);  // the queue then runs out: the drag ends as at a mouse-up
    TrackVirtualRuler(0, 0, POINT{0, 0}, kRulerHitBody);
  }
  EXPECT_NEAR(doc.model.itsVRStartPt.floatH, 10, 1e-3);
  EXPECT_NEAR(doc.model.itsVREndPt.floatH, 40, 1e-3);
}

TEST_F(VirtualRuler, EndDraggedOntoTheStartLeavesTheShortestRuler) {
  dragRuler({78, 0}, {{-90, 0}});  // the end passes 8 beyond the start
  EXPECT_NEAR(doc.model.itsVRStartPt.floatH, -144, 1e-3);
  EXPECT_NEAR(doc.model.itsVREndPt.floatH, -144 + kMinimumRulerLength, 1e-3);
  EXPECT_NEAR(doc.model.itsVREndPt.floatV, 0, 1e-3);

  doc.model.itsVREndPt = {144, 0};
  dragRuler({-78, 0}, {{90, 0}});  // the start lands 8 short of the end
  EXPECT_NEAR(doc.model.itsVRStartPt.floatH, 144 - kMinimumRulerLength, 1e-3);
  EXPECT_NEAR(doc.model.itsVREndPt.floatH, 144, 1e-3);
}

TEST_F(VirtualRuler, SnappingPutsTheEndsOnTheGrid) {
  DocState* ds = doc.ds();
  ds->snapToGrid = 1;
  gCurTool = kToolRectangle;  // a tool whose points the grid floors
  doc.model.itsVRStartPt = {-139, 5};
  doc.model.itsVREndPt = {149, 5};
  int16_t part = 0;
  ASSERT_TRUE(PointInVirtualRuler(POINT{81, 3}, &part));
  ScriptedModalEvents events;
  events.drag(111, 3).up(111, 3);
  TrackVirtualRuler(81, 3, POINT{81, 3}, part);
  float y = 0;
  // Both ends were snapped first and then moved by a whole number of grid steps.
  float sx = -139, sz = 5;
  Snap3DPointToGrid(ds, &sx, &y, &sz);
  EXPECT_FLOAT_EQ(doc.model.itsVRStartPt.floatH, sx);
  EXPECT_FLOAT_EQ(doc.model.itsVRStartPt.floatV, sz);
  float ex = doc.model.itsVREndPt.floatH, ez = doc.model.itsVREndPt.floatV;
  float snappedX = ex, snappedZ = ez;
  Snap3DPointToGrid(ds, &snappedX, &y, &snappedZ);
  EXPECT_FLOAT_EQ(ex, snappedX);
  EXPECT_FLOAT_EQ(ez, snappedZ);
  EXPECT_FLOAT_EQ(ex, sx + 288 + 48);  // 30 window units are 50 plan units, 48 on the grid
}

// Dragged by its body with snapping on, the ruler keeps the length it measures (12 feet here,
// which the grid's steps do not divide): its start lands on the grid, the end keeps its place
// relative to it.
TEST_F(VirtualRuler, SnappingKeepsTheLengthOfARulerDraggedByItsBody) {
  DocState* ds = doc.ds();
  ds->snapToGrid = 1;
  gCurTool = kToolRectangle;
  for (const FloatPoint start : {FloatPoint{-139, 5}, FloatPoint{-144, 0}, FloatPoint{-101.5f, 17}}) {
    doc.model.itsVRStartPt = start;
    doc.model.itsVREndPt = {start.floatH + 144 * std::cos(0.3f), start.floatV + 144 * std::sin(0.3f)};
    // Window points are plan points times the zoom, 0.6.
    const POINT middle{int32_t(std::lround(0.3f * (start.floatH + doc.model.itsVREndPt.floatH))),
                       int32_t(std::lround(0.3f * (start.floatV + doc.model.itsVREndPt.floatV)))};
    int16_t part = 0;
    ASSERT_TRUE(PointInVirtualRuler(middle, &part));
    ASSERT_EQ(part, kRulerHitBody);
    dragRuler(middle, {{middle.x + 30, middle.y + 18}});
    const float length = std::hypot(doc.model.itsVREndPt.floatH - doc.model.itsVRStartPt.floatH,
                                    doc.model.itsVREndPt.floatV - doc.model.itsVRStartPt.floatV);
    EXPECT_NEAR(length, 144, 1e-3) << start.floatH;
    float x = doc.model.itsVRStartPt.floatH, y = 0, z = doc.model.itsVRStartPt.floatV;
    Snap3DPointToGrid(ds, &x, &y, &z);
    EXPECT_FLOAT_EQ(x, doc.model.itsVRStartPt.floatH) << start.floatH;
    EXPECT_FLOAT_EQ(z, doc.model.itsVRStartPt.floatV) << start.floatH;
  }
}

TEST_F(VirtualRuler, HiddenRulerDoesNotMove) {
  doc.model.itsVRVisible = 0;
  ScriptedModalEvents events;
  events.drag(30, 30);
  TrackVirtualRuler(0, 0, POINT{0, 0}, kRulerHitBody);
  EXPECT_FLOAT_EQ(doc.model.itsVRStartPt.floatH, -144);
  EXPECT_FLOAT_EQ(doc.model.itsVREndPt.floatH, 144);
}

TEST_F(VirtualRuler, DragReadsOnlyDragsAndTheReleaseAndStopsAtTheRelease) {
  ScriptedModalEvents events;
  // A key and a modifier change are not asked for; nothing after the release is read.
  events.key(kModalKeyTab).flags(kModalShiftKey).drag(30, 18).up(30, 18).drag(60, 60);
  TrackVirtualRuler(0, 0, POINT{0, 0}, kRulerHitBody);
  EXPECT_EQ(events.lastMask(), kModalMouseDraggedMask | kModalMouseUpMask);
  EXPECT_EQ(events.pending(), 1u);
  EXPECT_NEAR(doc.model.itsVRStartPt.floatH, -94, 1e-3);
  EXPECT_NEAR(doc.model.itsVRStartPt.floatV, 30, 1e-3);
}

TEST_F(VirtualRuler, ClosingTheWindowEndsTheDragWithoutTheLastStretch) {
  // A short end drag would be lengthened at a release; a close leaves the ruler alone.
  ScriptedModalEvents events;
  events.drag(-70, 0).closeWindow();
  TrackVirtualRuler(78, 0, POINT{78, 0}, kRulerHitEnd);
  EXPECT_TRUE(ModalWindowClosed());
  EXPECT_LT(doc.model.itsVREndPt.floatH - doc.model.itsVRStartPt.floatH, kMinimumRulerLength);
}

// 288 plan units at zoom 0.6 are 172.8 window units; the 12-inch grid is 24 plan units,
// 14.4 window units: 11 ticks, short and long in turn, on both edges.
TEST_F(VirtualRuler, DrawingHasHairsYellowBodyHandlesTicksAndText) {
  using Kind = RecordingDrawContext::Kind;
  RecordingDrawContext ctx;
  DrawVirtualRuler(&ctx);
  ASSERT_EQ(ctx.count(Kind::FillPolygon), 1u);
  const auto body = std::find_if(ctx.calls.begin(), ctx.calls.end(), [](auto& c) { return c.kind == Kind::FillPolygon; });
  EXPECT_EQ(body->fill.color, (DrawColor{1, 1, 0, 1}));
  ASSERT_EQ(body->points.size(), 4u);
  // (-86.4, -15) rounded by adding 0.5 and truncating toward 0.
  EXPECT_FLOAT_EQ(body->points[0].x, -85.0f);
  EXPECT_FLOAT_EQ(body->points[0].y, -14.0f);
  EXPECT_FLOAT_EQ(body->points[2].y, 15.0f);
  EXPECT_EQ(ctx.count(Kind::FillPath), 1u);  // both round handles
  ASSERT_EQ(ctx.count(Kind::Text), 1u);
  const auto text = std::find_if(ctx.calls.begin(), ctx.calls.end(), [](auto& c) { return c.kind == Kind::Text; });
  EXPECT_EQ(text->text.text, "144\"");  // 288 plan units at the 1:36 plan scale
  EXPECT_FLOAT_EQ(text->text.angleDegrees, 0);
  const auto lines = ctx.strokedLinePoints();
  EXPECT_EQ(lines.size(), 8u + 11u * 4u);
  // The first tick (at 14.4) is short (7 * 0.6), the second long (14 * 0.6).
  EXPECT_NEAR(std::fabs(lines[8].y - lines[9].y), 4.0f, 1.0f);
  EXPECT_NEAR(std::fabs(lines[12].y - lines[13].y), 8.0f, 1.0f);

  ctx.clear();
  doc.ds()->gridSpacing = {0, 0};  // no spacing: no ticks, the rest as before
  DrawVirtualRuler(&ctx);
  EXPECT_EQ(ctx.strokedLinePoints().size(), 8u);
  EXPECT_EQ(ctx.count(Kind::FillPolygon), 1u);

  // Laid right to left (180 degrees) the text still reads upright.
  ctx.clear();
  std::swap(doc.model.itsVRStartPt, doc.model.itsVREndPt);
  DrawVirtualRuler(&ctx);
  const auto upright = std::find_if(ctx.calls.begin(), ctx.calls.end(), [](auto& c) { return c.kind == Kind::Text; });
  ASSERT_NE(upright, ctx.calls.end());
  EXPECT_NEAR(std::fmod(upright->text.angleDegrees + 360.0f, 360.0f), 0.0f, 1e-3);

  ctx.clear();
  doc.model.itsVRVisible = 0;
  DrawVirtualRuler(&ctx);
  EXPECT_TRUE(ctx.calls.empty());
}

}  // namespace
