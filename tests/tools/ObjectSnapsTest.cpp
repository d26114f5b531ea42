// Object snaps on known objects, the Tab cycle and the one-shot reset of the snap tool.
#include <cmath>

#include "ToolTestSupport.h"
#include "tools/ObjectSnaps.h"
#include "tools/SnapCodes.h"

namespace {

class ObjectSnaps : public ToolTest {
 protected:
  uint8_t savedLocked = gSnapLocked;
  void TearDown() override {
    gSnapLocked = savedLocked;
    gTrackEventKeyCode = 0;
    gSnapInfo = ClickInfo{};
    ToolTest::TearDown();
  }
  // A segment hit on the first segment of the object.
  static ClickInfo SegmentHit(Objex* o) {
    ClickInfo c{};
    c.hitMode = 1;
    c.segmentHit = 1;
    c.hitObject = o;
    c.hitPoint = o->firstPoint;
    c.segmentEnd = o->firstPoint->next;
    return c;
  }
  struct Plan { float h = -1, v = -1; uint8_t ok = 0; };
  Plan snap(ClickInfo& c, int32_t x, int32_t y, uint16_t code) {
    Plan p;
    p.ok = SnapPoint(&c, x, y, code, doc.model.itsLayers, &p.h, &p.v);
    return p;
  }
};

// The zoom of the test view is 0.6: plan x 100 is window x 60.
TEST_F(ObjectSnaps, EndPointTakesTheHitPointTheNearerEndOrTheCorner) {
  Objex* o = addShape({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  ClickInfo c = SegmentHit(o);
  Plan p = snap(c, 50, 0, kSnapEndpoint);  // nearer the second end
  EXPECT_EQ(p.ok, 1);
  EXPECT_FLOAT_EQ(p.h, 100);
  EXPECT_FLOAT_EQ(p.v, 0);
  p = snap(c, 10, 0, kSnapEndpoint);
  EXPECT_FLOAT_EQ(p.h, 0);
  Objex* across = addShape({{-50, 300}, {50, 300}, {50, 400}});
  ClickInfo tie = SegmentHit(across);
  p = snap(tie, 0, 180, kSnapEndpoint);  // a tie gives the segment end point
  EXPECT_FLOAT_EQ(p.h, 50);

  ClickInfo point{};
  point.hitMode = 1;
  point.pointHit = 1;
  point.hitPoint = o->firstPoint->next->next;
  p = snap(point, 0, 0, kSnapEndpoint);
  EXPECT_FLOAT_EQ(p.h, 100);
  EXPECT_FLOAT_EQ(p.v, 100);

  ClickInfo corner{};
  corner.hitMode = 1;
  corner.cornerHit = 1;
  corner.hitObject = o;
  corner.corner = 3;
  p = snap(corner, 0, 0, kSnapEndpoint);
  EXPECT_FLOAT_EQ(p.h, o->bounds.floatRight);
  EXPECT_FLOAT_EQ(p.v, o->bounds.floatBottom);
  corner.corner = 5;
  EXPECT_EQ(snap(corner, 0, 0, kSnapEndpoint).ok, 0);
  ClickInfo missed = SegmentHit(o);
  missed.hitMode = 0;
  EXPECT_EQ(snap(missed, 0, 0, kSnapEndpoint).ok, 0);
}

TEST_F(ObjectSnaps, SegmentMiddleAndObjectCentreAndCorner) {
  Objex* o = addShape({{0, 0}, {100, 0}, {100, 60}, {0, 60}});
  ClickInfo c = SegmentHit(o);
  Plan p = snap(c, 5, 0, kSnapSegmentCenter);
  EXPECT_EQ(p.ok, 1);
  EXPECT_FLOAT_EQ(p.h, 50);
  EXPECT_FLOAT_EQ(p.v, 0);
  c.pointHit = 1;  // point hits have no middle
  EXPECT_EQ(snap(c, 5, 0, kSnapSegmentCenter).ok, 0);

  p = snap(c, 5, 0, kSnapObjectCenter);
  EXPECT_EQ(p.ok, 1);
  EXPECT_FLOAT_EQ(p.h, 50);
  EXPECT_FLOAT_EQ(p.v, 30);
  // Centre in the window: (30, 18). Right of and below it: the right front corner.
  p = snap(c, 40, 30, kSnapObjectCorner);
  EXPECT_FLOAT_EQ(p.h, 100);
  EXPECT_FLOAT_EQ(p.v, 60);
  p = snap(c, 10, 5, kSnapObjectCorner);
  EXPECT_FLOAT_EQ(p.h, 0);
  EXPECT_FLOAT_EQ(p.v, 0);

  // An attachment measures its parent.
  Objex* child = addShape({{200, 200}, {210, 200}, {210, 210}});
  child->parent = o;
  ClickInfo onChild = SegmentHit(child);
  p = snap(onChild, 0, 0, kSnapObjectCenter);
  child->parent = nullptr;
  EXPECT_FLOAT_EQ(p.h, 50);
  EXPECT_FLOAT_EQ(p.v, 30);
}

TEST_F(ObjectSnaps, IntersectionOfTheTwoHitSegments) {
  Objex* o = addShape({{0, 0}, {100, 0}, {100, 100}});
  ClickInfo c = SegmentHit(o);
  c.chordStart = {0, 0, 0};
  c.chordEnd = {60, 0, 0};
  gSnapInfo = SegmentHit(o);
  gSnapInfo.chordStart = {30, -30, 0};
  gSnapInfo.chordEnd = {30, 30, 0};
  Plan p = snap(c, 0, 0, kSnapIntersection);
  EXPECT_EQ(p.ok, 1);
  EXPECT_NEAR(p.h, 50, 1e-3);
  EXPECT_NEAR(p.v, 0, 1e-3);

  gSnapInfo.chordStart = {0, 10, 0};  // parallel: no point
  gSnapInfo.chordEnd = {60, 10, 0};
  EXPECT_EQ(snap(c, 0, 0, kSnapIntersection).ok, 0);

  gSnapInfo.pointHit = 1;  // a point hit in the second record wins over segments
  gSnapInfo.hitPoint = o->firstPoint->next->next;
  p = snap(c, 0, 0, kSnapIntersection);
  EXPECT_FLOAT_EQ(p.h, 100);
  EXPECT_FLOAT_EQ(p.v, 100);
  gSnapInfo.hitMode = 0;
  EXPECT_EQ(snap(c, 0, 0, kSnapIntersection).ok, 0);
}

TEST_F(ObjectSnaps, PerpendicularRecordsTheSegmentWithoutMovingThePoint) {
  Objex* o = addShape({{0, 0}, {100, 0}, {100, 100}});
  Poinz* second = o->firstPoint->next;
  ClickInfo c{};
  c.hitMode = 1;
  c.pointHit = 1;
  c.hitPoint = second;
  Plan p = snap(c, 60, 0, kSnapPerpendicular);
  EXPECT_EQ(p.ok, 0);
  EXPECT_FLOAT_EQ(p.h, -1);
  EXPECT_EQ(c.segmentHit, 1);
  EXPECT_EQ(c.segmentEnd, o->firstPoint);  // a straight point pairs with its previous one
  EXPECT_EQ(gPerpStartPtz, second);
  EXPECT_EQ(gPerpEndPtz, o->firstPoint);
  ClickInfo other = SegmentHit(o);
  other.hitPoint = o->firstPoint->next->next;
  snap(other, 0, 0, kSnapPerpendicular);  // the first pair of the drag stays
  EXPECT_EQ(gPerpStartPtz, second);
}

TEST_F(ObjectSnaps, SegmentOffsetAndOnSegment) {
  Objex* o = addShape({{0, 0}, {100, 0}, {100, 100}});
  doc.ds()->snapOffset = 12;  // 24 plan units
  ClickInfo c = SegmentHit(o);
  Plan p = snap(c, 5, 0, kSnapSegmentOffset);
  EXPECT_EQ(p.ok, 1);
  EXPECT_NEAR(p.h, 24, 1e-3);
  EXPECT_NEAR(p.v, 0, 1e-3);
  p = snap(c, 55, 0, kSnapSegmentOffset);
  EXPECT_NEAR(p.h, 76, 1e-3);
  doc.ds()->snapOffset = 100;  // longer than the segment: beyond the far end
  p = snap(c, 5, 0, kSnapSegmentOffset);
  EXPECT_NEAR(p.h, 200, 1e-3);
  p = SnapSplinePercentage2(&c, 5, 0, doc.model.itsLayers, &p.h, &p.v) ? p : Plan{};
  EXPECT_NEAR(p.h, -100, 1e-3);  // from the segment end point, wherever the click
  o->firstPoint->outHandle[0] = 30;  // curved segments are ignored
  EXPECT_EQ(snap(c, 5, 0, kSnapSegmentOffset).ok, 0);

  c.chordStart = {0, 0, 0};
  c.chordEnd = {60, 0, 0};
  p = snap(c, 12, 5, kSnapOnSegment);  // 13 from the nearer end
  EXPECT_EQ(p.ok, 1);
  EXPECT_NEAR(p.h, 13 / 0.6f, 1e-3);
  EXPECT_NEAR(p.v, 0, 1e-3);
  p = snap(c, 48, -5, kSnapOnSegment);
  EXPECT_NEAR(p.h, (60 - 13) / 0.6f, 1e-3);
  c.chordEnd = c.chordStart = {30, 0, 0};  // a chord of no length: its point, not beside it
  p = snap(c, 12, 5, kSnapOnSegment);
  EXPECT_NEAR(p.h, 30 / 0.6f, 1e-3);
  EXPECT_NEAR(p.v, 0, 1e-3);
}

TEST_F(ObjectSnaps, OriginNeedsNoHit) {
  doc.ds()->origin = {10, 0, 20};
  ClickInfo c{};
  Plan p = snap(c, 0, 0, kSnapOrigin);
  EXPECT_EQ(p.ok, 1);
  EXPECT_FLOAT_EQ(p.h, 10);
  EXPECT_FLOAT_EQ(p.v, 20);
  EXPECT_EQ(SnapPoint(nullptr, 0, 0, kSnapOrigin, doc.model.itsLayers, &p.h, &p.v), 0);
  EXPECT_EQ(snap(c, 0, 0, 509).ok, 0);
}

TEST_F(ObjectSnaps, EvaluatedPointLandsOnTheEndPoint) {
  addShape({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  gCurTool = kToolRectangle;
  gCurSnap = kSnapEndpoint;
  float x = 1, y = 2, z = 3;
  CADEvaluatePoint(57, 1, &x, &y, &z, 1, nullptr, 1);  // near plan (95, 1.7)
  EXPECT_NEAR(x, 100, 1e-3);
  EXPECT_NEAR(z, 0, 1e-3);
}

TEST_F(ObjectSnaps, TabCyclesThroughTheSnapTools) {
  gCurSnap = kSnapOnSegment;
  SnapToolChange();
  EXPECT_EQ(gCurSnap, kSnapAnywhere);
  SnapToolChange();
  EXPECT_EQ(gCurSnap, kSnapEndpoint);
  sModifiers = kTrackModShift;
  SnapToolChange();
  SnapToolChange();
  EXPECT_EQ(gCurSnap, kSnapOnSegment);  // Shift-Tab from 500 gives 508
  sModifiers = 0;
  EXPECT_EQ(MaintainSnapTools(), 0);
  EXPECT_EQ(gCurSnap, kSnapOnSegment);  // not a Tab event
  gTrackEventKeyCode = kKeyCodeTab;
  MaintainSnapTools();
  EXPECT_EQ(gCurSnap, kSnapAnywhere);
}

TEST_F(ObjectSnaps, OneShotResetAtTheFirstDragStepUnlessLocked) {
  gCurTool = kToolRectangle;
  gCurSnap = kSnapEndpoint;
  drag({{0, 0}, {10, 10}});
  EXPECT_EQ(gCurSnap, kSnapAnywhere);

  gSnapLocked = 1;
  gCurSnap = kSnapEndpoint;
  drag({{0, 0}, {10, 10}});
  EXPECT_EQ(gCurSnap, kSnapEndpoint);
  gCurSnap = kSnapOrigin;  // never kept
  drag({{0, 0}, {10, 10}});
  EXPECT_EQ(gCurSnap, kSnapAnywhere);

  // Tab during the drag: the new snap serves the rest of this drag.
  gSnapLocked = 0;
  gCurSnap = kSnapEndpoint;
  gMouseCaptured = 1;
  BeginTracking(0, 0);
  KeepTracking(10, 10, 0, 0);
  EXPECT_EQ(gCurSnap, kSnapAnywhere);
  gTrackEventKeyCode = kKeyCodeTab;
  KeepTracking(10, 10, 10, 10);
  gTrackEventKeyCode = 0;
  KeepTracking(20, 20, 10, 10);
  EXPECT_EQ(gCurSnap, kSnapEndpoint);
  EndTracking(20, 20, 20, 20);
  FinishTracking();
}

}  // namespace
