// Hit testing under the plan view, the platform's rectangle and path rules, and selecting
// objects, points and rectangles.
#include <gtest/gtest.h>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "ViewStateGuard.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/PendingServices.h"
#include "model/Selection.h"

namespace {

// A plan-view document at zoom 1 where every object shows.
struct HitFixture : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;
  HitFixture() {
    doc.ds()->zoomFactor = 1.0f;
    doc.ds()->currentPlanMask = 2;
  }
  Objex* add(int16_t type, bool closed, std::initializer_list<std::pair<float, float>> pts) {
    Objex* o = doc.addObject(type, closed, pts);
    o->planMask = 2;
    UpdateObjectBounds(o);
    return o;
  }
  static ClickInfo Click(int32_t x, int32_t y) {
    ClickInfo c{};
    c.where = POINT{x, y};
    return c;
  }
};

}  // namespace

TEST(PlatformRules, RectanglesAreHalfOpen) {
  RECT r{10, 10, 20, 20};
  EXPECT_TRUE(RectContainsPoint(r, 10, 10));
  EXPECT_TRUE(RectContainsPoint(r, 19.9f, 19.9f));
  EXPECT_FALSE(RectContainsPoint(r, 20, 15));
  EXPECT_FALSE(RectContainsPoint(r, 15, 20));
  EXPECT_FALSE(RectContainsPoint(RECT{10, 10, 10, 20}, 10, 15));
  EXPECT_TRUE(RectsIntersect(r, RECT{19, 19, 30, 30}));
  EXPECT_FALSE(RectsIntersect(r, RECT{20, 10, 30, 20}));  // touching edges only
  EXPECT_FALSE(RectsIntersect(r, RECT{12, 12, 12, 18}));  // empty
}

TEST(PlatformRules, PathUsesNonZeroWinding) {
  // A pentagram: its centre is wound twice, inside by the non-zero rule.
  const FloatPoint star[] = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
  PlanPath* path = CreatePlanPath(star, 5);
  EXPECT_TRUE(PlanPathContainsPoint(path, 50, 50));
  EXPECT_TRUE(PlanPathContainsPoint(path, 50, 10));
  EXPECT_FALSE(PlanPathContainsPoint(path, 5, 80));
  EXPECT_FALSE(PlanPathContainsPoint(nullptr, 50, 50));
  ReleasePlanPath(path);
}

TEST_F(HitFixture, PickToleranceOneBehavesAsTwo) {
  Objex* line = add(kObjLine, false, {{100, 100}, {300, 100}});
  Poinz* p = line->firstPoint;
  for (int16_t tol : {0, 1, 2}) {
    doc.ds()->pickTolerance = tol;
    EXPECT_EQ(PickTolerance(), 2);
    ClickInfo in = Click(101, 101), corner = Click(98, 98), edge = Click(102, 100);
    EXPECT_TRUE(SearchPoint(p, &in, 0, 0));
    EXPECT_TRUE(SearchPoint(p, &corner, 0, 0));
    EXPECT_FALSE(SearchPoint(p, &edge, 0, 0));  // right edge is outside
  }
  doc.ds()->pickTolerance = 3;
  ClickInfo edge = Click(102, 100);
  EXPECT_TRUE(SearchPoint(p, &edge, 0, 0));
}

TEST_F(HitFixture, UndetectableEndPointRefusesItsPickBox) {
  Objex* line = add(kObjLine, false, {{0, 0}, {100, 0}});
  line->firstPoint->detectable = 0;
  ClickInfo nearEnd = Click(1, 0);
  EXPECT_FALSE(SearchOnASpline(line, line->firstPoint, line->firstPoint->next, &nearEnd, 0, 0));
  EXPECT_EQ(nearEnd.hitObject, nullptr);
  ClickInfo middle = Click(50, 1);
  EXPECT_TRUE(SearchOnASpline(line, line->firstPoint, line->firstPoint->next, &middle, 0, 0));
  EXPECT_EQ(middle.segmentHit, 1);
  EXPECT_EQ(middle.hitPoint, line->firstPoint);
  EXPECT_EQ(middle.segmentEnd, line->firstPoint->next);
  ClickInfo otherEnd = Click(99, 0);
  EXPECT_TRUE(SearchOnASpline(line, line->firstPoint, line->firstPoint->next, &otherEnd, 0, 0));
  EXPECT_EQ(otherEnd.pointHit, 1);
  EXPECT_EQ(otherEnd.hitPoint, line->firstPoint->next);
}

TEST_F(HitFixture, HeavyLinesAreHitFurtherOut) {
  Objex* line = add(kObjLine, false, {{0, 0}, {100, 0}});  // tolerance 5: chords grow by 4
  ClickInfo c = Click(50, 6);
  line->width = 1;
  EXPECT_FALSE(SearchSplinesInObject(line, &c));
  line->width = 6;  // half the weight, 3 units, further on each side
  c = Click(50, 6);
  EXPECT_TRUE(SearchSplinesInObject(line, &c));
  c = Click(50, -7);
  EXPECT_TRUE(SearchSplinesInObject(line, &c));
  c = Click(50, -8);
  EXPECT_FALSE(SearchSplinesInObject(line, &c));
}

TEST_F(HitFixture, DoorOffTheCurrentPlansIsNotHit) {
  Objex* wall = add(kObjWall, false, {{0, 0}, {200, 0}});
  Objex* door = AddChild(wall, kObjDoor, {{50, 20}, {90, 20}});
  door->planMask = 2;
  UpdateObjectBounds(door);
  wall->planMask = 2 | 64;
  ClickInfo c = Click(70, 20);
  EXPECT_TRUE(SelectFromLayer(doc.first, &c, 0, nullptr, 0));
  EXPECT_EQ(c.hitObject, door);
  doc.ds()->currentPlanMask = 64;  // the deck plan: doors do not show
  c = Click(70, 20);
  EXPECT_FALSE(SelectFromLayer(doc.first, &c, 0, nullptr, 0));
}

TEST_F(HitFixture, SelectIndexPicksDeeperObjects) {
  Objex* lower = add(kObjLine, false, {{0, 0}, {100, 0}});
  Objex* upper = add(kObjLine, false, {{0, 0}, {100, 0}});
  ClickInfo c = Click(50, 0);
  EXPECT_TRUE(SelectFromAllLayers(doc.model.itsLayers, &c, 0, nullptr, 0));
  EXPECT_EQ(c.hitObject, upper);
  gSelectIndex = 2;
  c = Click(50, 0);
  EXPECT_TRUE(SelectFromAllLayers(doc.model.itsLayers, &c, 0, nullptr, 0));
  EXPECT_EQ(c.hitObject, lower);
  gSelectIndex = 3;
  c = Click(50, 0);
  EXPECT_FALSE(SelectFromAllLayers(doc.model.itsLayers, &c, 0, nullptr, 0));
  gSelectIndex = 1;
}

TEST_F(HitFixture, BoxKindsAndCornerHandles) {
  Objex* text = add(kObjText, true, {{0, 0}, {40, 0}, {40, 20}, {0, 20}});
  ClickInfo c = Click(20, 10);
  EXPECT_TRUE(SelectFromLayer(doc.first, &c, 0, nullptr, 0));
  EXPECT_EQ(c.pointHit, 1);
  EXPECT_EQ(c.hitPoint, text->firstPoint);
  SetObjectSelectFlags(text, 1);
  c = Click(41, 21);
  EXPECT_TRUE(SelectFromLayer(doc.first, &c, 0, nullptr, 0));
  EXPECT_EQ(c.cornerHit, 1);
  EXPECT_EQ(c.corner, 6);  // the first corner at (40, 20): right, top, front
}

TEST_F(HitFixture, SelectingObjectsWithModes) {
  Objex* line = add(kObjOpenPoly, false, {{0, 0}, {10, 0}});
  EXPECT_EQ(SelectObj(nullptr, kSelectOn, 7), 7);
  EXPECT_FALSE(DoSelectObject(line, kSelectHide));  // not selected: nothing
  EXPECT_EQ(line->firstPoint->detectable, 1);
  EXPECT_TRUE(DoSelectObject(line, kSelectOn));
  EXPECT_TRUE(IsEntireObjectSelected(line));
  EXPECT_TRUE(DoSelectObject(line, kSelectHide));
  EXPECT_FALSE(IsObjectSelected(line));
  EXPECT_FALSE(DoSelectObject(line, kSelectOn));  // undetectable points refuse selection
  EXPECT_FALSE(DoSelectObject(line, kSelectUnhide));
  EXPECT_EQ(line->firstPoint->next->detectable, 1);
  EXPECT_TRUE(DoSelectObject(line, kSelectToggle));
  EXPECT_TRUE(DoSelectObject(line, kSelectToggle));
  EXPECT_FALSE(IsObjectSelected(line));
  DoSelectObject(line, kSelectOn);
  EXPECT_TRUE(DoSelectObject(line, kSelectLock));
  EXPECT_EQ(line->firstPoint->locked, 1);
  EXPECT_FALSE(SpecialSelectObject(line, 6));
}

TEST_F(HitFixture, MarqueeSelectsWallPointsAlways) {
  Objex* wall = add(kObjWall, false, {{0, 0}, {100, 0}, {300, 0}});
  Objex* box = add(kObjRect, true, {{10, 10}, {30, 10}, {30, 30}, {10, 30}});
  Objex* big = add(kObjRect, true, {{10, 10}, {300, 10}, {300, 30}, {10, 30}});
  RECT r{-10, -10, 150, 150};
  SelectAllLayersInRect(doc.model.itsLayers, &r, kSelectOff, 1);
  EXPECT_EQ(wall->firstPoint->selected, 1);
  EXPECT_EQ(wall->firstPoint->next->selected, 1);
  EXPECT_EQ(wall->firstPoint->next->next->selected, 0);
  SelectAllLayersInRect(doc.model.itsLayers, &r, kSelectOn, 1);
  EXPECT_TRUE(IsEntireObjectSelected(box));
  EXPECT_FALSE(IsObjectSelected(big));  // only partly inside
  EXPECT_MODEL_SOUND();
}

TEST_F(HitFixture, PointAndSegmentHitsSelectByTool) {
  Objex* a = add(kObjPropertyLine, false, {{0, 0}, {50, 0}, {100, 0}});
  gCurTool = kToolSelection;
  // Point orientation (on at start-up) makes the selection tool take single points.
  gPointOrientation = 1;
  SelectObjectPoint(a->firstPoint, a, kSelectOn, 0);
  EXPECT_EQ(a->firstPoint->selected, 1);
  EXPECT_FALSE(IsEntireObjectSelected(a));
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  gPointOrientation = 0;
  SelectObjectPoint(a->firstPoint, a, kSelectOn, 0);
  EXPECT_TRUE(IsEntireObjectSelected(a));  // without it, the whole object
  gPointOrientation = 1;
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  gCurTool = 7910;  // a point tool
  SelectObjectSpline(a->firstPoint, a->firstPoint->next, a, kSelectOn, 0);
  EXPECT_EQ(a->firstPoint->selected, 1);
  EXPECT_EQ(a->firstPoint->next->selected, 1);
  EXPECT_EQ(a->firstPoint->next->next->selected, 0);
  gCurTool = kToolNone;
}

// An open outline has no segment from its last point back to its first: a click there hits
// nothing, while the same click on the closed outline hits that closing segment.
TEST_F(HitFixture, AnOpenOutlineHasNoClosingSegment) {
  Objex* open = add(kObjOpenPoly, false, {{0, 0}, {100, 0}, {100, 100}});
  ClickInfo c = Click(50, 50);
  EXPECT_FALSE(SearchSplinesInObject(open, &c));
  EXPECT_EQ(c.segmentHit, 0);

  Objex* closed = add(kObjClosedPoly, true, {{200, 0}, {300, 0}, {300, 100}});
  c = Click(250, 50);
  EXPECT_TRUE(SearchSplinesInObject(closed, &c));
  EXPECT_EQ(c.segmentHit, 1);
  EXPECT_EQ(c.hitPoint, closed->firstPoint->next->next);
  EXPECT_EQ(c.segmentEnd, closed->firstPoint);
}
