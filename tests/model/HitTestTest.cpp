// Hit testing under the plan view, the platform's rectangle and path rules, and selecting
// objects, points and rectangles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "ViewStateGuard.h"
#include "model/Bounds.h"
#include "model/Delete.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Selection.h"
#include "model/WalkNotes.h"

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

// Projected positions are made whole by rounding halves upward, left of and above the origin
// too: a point projected to (-3.7, -3.7) sits at (-4, -4), so with tolerance 5 its box spans
// -9 up to (not including) 1 on both axes.
TEST_F(HitFixture, PointsLeftOfTheOriginRoundHalfUp) {
  auto project = [](float x, float z) {
    float y = 0;
    ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                          gGlobalYOffset, gGlobalZOffset, 1);
    return std::pair{x, y};
  };
  Objex* line = add(kObjLine, false, {{0, 0}, {300, 0}});
  Poinz* p = line->firstPoint;
  // Find the model point that projects to (-3.7, -3.7) in this view.
  const auto [x0, y0] = project(0, 0);
  const float xPerX = project(1, 0).first - x0, yPerZ = project(0, 1).second - y0;
  ASSERT_NE(xPerX, 0);
  ASSERT_NE(yPerZ, 0);
  p->position[0] = (-3.7f - x0) / xPerX;
  p->position[2] = (-3.7f - y0) / yPerZ;
  const auto [px, py] = project(p->position[0], p->position[2]);
  ASSERT_NEAR(px, -3.7f, 1e-3);
  ASSERT_NEAR(py, -3.7f, 1e-3);
  doc.ds()->pickTolerance = 5;
  for (const auto& [c, hit] : {std::pair{-9, true}, {0, true}, {-10, false}, {1, false}}) {
    ClickInfo across = Click(c, -4), down = Click(-4, c);
    EXPECT_EQ(SearchPoint(p, &across, 0, 0), hit) << c;
    EXPECT_EQ(SearchPoint(p, &down, 0, 0), hit) << c;
  }
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

// Only 0 to 5, 7 and 8 are selection modes: 0 selects like 1, any other value leaves the flags.
TEST_F(HitFixture, ModesOutsideTheListChangeNothing) {
  Objex* line = add(kObjOpenPoly, false, {{0, 0}, {10, 0}});
  EXPECT_TRUE(DoSelectObject(line, 0));
  EXPECT_TRUE(IsEntireObjectSelected(line));
  DoSelectObject(line, kSelectOff);
  Poinz* p = line->firstPoint;
  SelectPoint(p, 0, 0);
  EXPECT_EQ(p->selected, 1);
  SelectPoint(p, kSelectOff, 0);
  for (int8_t mode : {int8_t(-1), int8_t(-128), int8_t(6), int8_t(9), int8_t(127)}) {
    EXPECT_FALSE(DoSelectObject(line, mode)) << int(mode);
    EXPECT_FALSE(IsObjectSelected(line)) << int(mode);
    SelectPoint(p, mode, 0);
    EXPECT_EQ(p->selected, 0) << int(mode);
    EXPECT_EQ(p->detectable, 1) << int(mode);
    EXPECT_EQ(p->locked, 0) << int(mode);
  }
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

  // A segment of a dormer cut-out picked by a tool that does not edit its points selects the
  // whole cut-out, not just the segment's ends and not the roof under it.
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  Objex* roof = add(kObjRoof, true, {{200, 0}, {400, 0}, {400, 200}, {200, 200}});
  Objex* dormer = AddChild(roof, kObjDormerCutout, {{250, 50}, {300, 50}, {300, 100}, {250, 100}});
  gCurTool = kToolSelection;
  gPointOrientation = 0;
  SelectObjectSpline(dormer->firstPoint, dormer->firstPoint->next, dormer, kSelectOn, 0);
  EXPECT_TRUE(IsEntireObjectSelected(dormer));
  EXPECT_EQ(roof->firstPoint->selected, 0);
  gPointOrientation = 1;
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

namespace {

// What the selection tool asked before the passes shared one walk: each pass alone, the
// record cleared before each and after a miss.
bool PassesOneByOne(Layer* layers, ClickInfo* click, const HitPass* passes, int count) {
  for (int i = 0; i < count; ++i) {
    ClearClickInfo(click);
    if (SelectFromAllLayers(layers, click, passes[i].selectedOnly, passes[i].types, passes[i].typeCount)) return true;
  }
  ClearClickInfo(click);
  return false;
}

bool SameClick(const ClickInfo& a, const ClickInfo& b) {
  return a.hitObject == b.hitObject && a.hitPoint == b.hitPoint && a.segmentEnd == b.segmentEnd &&
         a.pointHit == b.pointHit && a.segmentHit == b.segmentHit && a.insideHit == b.insideHit &&
         a.cornerHit == b.cornerHit && a.corner == b.corner && a.hitMode == b.hitMode &&
         a.where.x == b.where.x && a.where.y == b.where.y && a.flags == b.flags &&
         a.hitPosition.floatH == b.hitPosition.floatH && a.hitPosition.floatV == b.hitPosition.floatV &&
         a.hitPosition.floatD == b.hitPosition.floatD;
}

}  // namespace

TEST_F(HitFixture, PassesInOneWalkAnswerAsPassesOneByOne) {
  // Overlapping objects over two floors: walls with doors, lines, a text box and a polygon, so
  // that attachments, the selection and everything else each win somewhere.
  doc.second->visible = 1;
  doc.second->selectable = 1;
  Objex* wall = add(kObjWall, false, {{0, 0}, {200, 0}, {200, 120}});
  Objex* door = AddChild(wall, kObjDoor, {{40, 0}, {80, 0}});
  door->planMask = 2;
  UpdateObjectBounds(door);
  Objex* line = add(kObjLine, false, {{0, 10}, {200, 10}});
  Objex* text = add(kObjText, true, {{50, -10}, {110, -10}, {110, 30}, {50, 30}});
  add(kObjLine, false, {{60, -20}, {60, 60}});
  Objex* upstairs = doc.addObject(kObjLine, false, {{0, 0}, {200, 120}}, doc.second);
  upstairs->planMask = 2;
  UpdateObjectBounds(upstairs);
  Objex* poly = doc.addObject(kObjClosedPoly, true, {{150, -30}, {230, -30}, {230, 40}, {150, 40}}, doc.second);
  poly->planMask = 2;
  UpdateObjectBounds(poly);

  const int16_t attachments[] = {kObjDoor, kObjWindow, kObjComponent, kObjDeckSteps, kObjAccessory};
  const HitPass passes[] = {{0, attachments, 5}, {1, nullptr, 0}, {0, nullptr, 0}};
  const std::vector<std::vector<Objex*>> selections = {{}, {line}, {text, poly}, {wall}, {door, upstairs}};
  int compared = 0, hits[3] = {};
  for (const auto& selection : selections) {
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
    for (Objex* o : selection) SetObjectSelectFlags(o, 1);
    for (int16_t index : {1, 2, 3}) {
      gSelectIndex = index;
      for (int32_t y = -35; y <= 130; y += 5)
        for (int32_t x = -10; x <= 240; x += 5) {
          ClickInfo one = Click(x, y), merged = Click(x, y);
          one.flags = merged.flags = static_cast<int16_t>(0x8000);
          const bool expected = PassesOneByOne(doc.model.itsLayers, &one, passes, 3);
          ASSERT_EQ(SelectFromAllLayersInPasses(doc.model.itsLayers, &merged, passes, 3), expected)
              << "at " << x << "," << y << " index " << index;
          ASSERT_TRUE(SameClick(one, merged)) << "at " << x << "," << y << " index " << index;
          ++compared;
          if (!expected) continue;
          // Which pass answered: an attachment, a selected object, or anything.
          const bool attachment = one.hitObject == door;
          const bool selected = !attachment && IsObjectSelected(one.hitObject);
          ++hits[attachment ? 0 : selected ? 1 : 2];
        }
    }
  }
  gSelectIndex = 1;
  EXPECT_GT(compared, 1000);
  EXPECT_GT(hits[0], 0);
  EXPECT_GT(hits[1], 0);
  EXPECT_GT(hits[2], 0);
  // With no pass, or no document state, nothing is hit and the record is cleared.
  ClickInfo c = Click(70, 0);
  c.hitObject = line;
  EXPECT_FALSE(SelectFromAllLayersInPasses(doc.model.itsLayers, &c, passes, 0));
  EXPECT_EQ(c.hitObject, nullptr);
}

namespace {

// The pick box as SelectFromObject measures it: the tree's bounds with the pen, each edge
// clamped and rounded half up to a short, grown by `grow`; whether it holds the click.
bool MeasuredBoxHolds(Objex* obj, const ClickInfo& click, int32_t grow) {
  FloatRect fr = EmptyFloatRect();
  GetObjectObjBounds(obj, 0, &fr, 0, 1);
  auto edge = [](float v) {
    if (!(v <= 32767)) v = v != v ? 0 : 32767;
    if (v < -32767) v = -32767;
    return static_cast<int32_t>(std::floor(static_cast<double>(v) + 0.5));
  };
  RECT r{edge(fr.floatLeft) - grow, edge(fr.floatTop) - grow, edge(fr.floatRight) + grow, edge(fr.floatBottom) + grow};
  return RectContainsPoint(r, static_cast<float>(click.where.x), static_cast<float>(click.where.y));
}

struct QuickView {
  const char* name;
  float xAngle, yAngle, zoom, ox, oy, oz;
  bool printing;
};

}  // namespace

TEST_F(HitFixture, QuickLookAtPickBoxesNeverMissesWhatTheMeasuredBoxHolds) {
  // Objects with boxes written straight into the records (some reversed, some at the empty
  // marker, some not finite or far out), pens of several widths, children, walls measured
  // through their outlines and roofs that measure no children, under views that rotate, zoom,
  // shift and print.
  std::mt19937 rng(41);
  std::uniform_real_distribution<float> coord(-400, 400), size(0, 120);
  const float widths[] = {0, 1, 2.4f, 7, 31.5f, -3, 5000};
  const float odd[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 4e4f, -4e4f,
                       1e30f};
  auto randomBox = [&](Objex* o) {
    const float x = coord(rng), y = coord(rng) / 4, z = coord(rng);
    Float3DRect& b = o->bounds3D;
    b = Float3DRect{y, x, z, y + size(rng), x + size(rng), z + size(rng)};
    switch (rng() % 12) {
      case 0: std::swap(b.floatLeft, b.floatRight); break;
      case 1:
        b = Float3DRect{kEmptyBoundsMin, kEmptyBoundsMin, kEmptyBoundsMin,
                        kEmptyBoundsMax, kEmptyBoundsMax, kEmptyBoundsMax};
        break;
      case 2: b.floatRight = odd[rng() % 5]; break;
      case 3: b.floatFront = odd[rng() % 5]; break;
      default: break;
    }
    o->width = widths[rng() % 7];
  };
  const QuickView views[] = {{"plan", 90, 0, 1, 0, -96, 0, false},
                             {"plan zoomed", 90, 0, 3.5f, 120, -96, -40, false},
                             {"plan far out", 90, 0, 0.25f, -9000, 50, 7000, false},
                             {"turned", 90, 30, 1, 0, -96, 0, false},
                             {"tilted", 35, 140, 1.7f, 10, 20, 30, false},
                             {"printed", 90, 0, 2, 0, -96, 0, true}};
  const float savedScale = gHPrintScale;
  const uint8_t savedPrinting = gPrinting;
  for (const QuickView& v : views) {
    gXViewAngle = v.xAngle;
    gYViewAngle = v.yAngle;
    SetUpForRotationAboutArbitraryAxis(v.xAngle, v.yAngle, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle, 0);
    gGlobalXOffset = v.ox, gGlobalYOffset = v.oy, gGlobalZOffset = v.oz;
    doc.ds()->zoomFactor = v.zoom;
    gPrinting = v.printing;
    gHPrintScale = 1.5f;
    int held = 0, passedOver = 0;
    for (int n = 0; n < 300; ++n) {
      const int16_t kinds[] = {kObjClosedPoly, kObjWall, kObjRoof, kObjGroup, kObjLine};
      const int16_t kind = kinds[n % 5];
      Objex* o = add(kind, kind != kObjLine, {{0, 0}, {10, 0}, {10, 10}});
      randomBox(o);
      Objex* parent = o;
      if (kind == kObjWall) {
        const RGBColor black{};
        parent = CreateObject(kObjWallFace, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, o, o->layer,
                              nullptr);
        o->typeData = parent;
        randomBox(parent);
      }
      for (int c = 0; c < static_cast<int>(rng() % 3); ++c) randomBox(AddChild(parent, kObjLine, {{0, 0}, {5, 5}}));
      // Clicks on and about every edge of the measured box, and anywhere.
      FloatRect fr = EmptyFloatRect();
      GetObjectObjBounds(o, 0, &fr, 0, 1);
      std::vector<POINT> clicks;
      for (float ex : {fr.floatLeft, fr.floatRight, coord(rng)})
        for (float ey : {fr.floatTop, fr.floatBottom, coord(rng)})
          for (int d = -4; d <= 4; d += 2) {
            const auto at = [](float f, int d) {
              return static_cast<int32_t>(std::isfinite(f) ? std::clamp(f, -32000.f, 32000.f) : 0) + d;
            };
            clicks.push_back(POINT{at(ex, d), at(ey, -d)});
          }
      for (const POINT& where : clicks) {
        const ClickInfo click = Click(where.x, where.y);
        const int32_t grow = static_cast<int32_t>(rng() % 4);
        const bool measured = MeasuredBoxHolds(o, click, grow);
        const bool quick = PickBoxMayHoldClick(o, &click, grow);
        ASSERT_TRUE(!measured || quick) << v.name << ": object " << n << " at " << where.x << "," << where.y;
        held += measured;
        passedOver += !quick;
      }
    }
    // The look is quick only if it turns most clicks away without measuring.
    EXPECT_GT(held, 100) << v.name;
    EXPECT_GT(passedOver, 2000) << v.name;
  }
  gPrinting = savedPrinting;
  gHPrintScale = savedScale;
}

TEST_F(HitFixture, ClicksPickWhatTheyPicked) {
  // Overlapping objects on the first floor, one on the second, one each on a floor that is
  // locked and one that is hidden; each click is answered by the three passes of the selection
  // tool. The expected records were taken before the pick boxes were first looked at quickly.
  doc.second->visible = 1;
  doc.second->selectable = 1;
  Layer* locked = CreateLayer("Locked", 1, 0, nullptr);
  Layer* hidden = CreateLayer("Hidden", 0, 1, nullptr);
  AppendLayerToDocument(locked);
  AppendLayerToDocument(hidden);
  Objex* wall = add(kObjWall, false, {{0, 0}, {200, 0}, {200, 120}});
  const RGBColor black{};
  Objex* outline = CreateObject(kObjWallFace, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, wall,
                                wall->layer, nullptr);
  for (auto [px, pz] :
       {std::pair{-3.f, -3.f}, {203.f, -3.f}, {203.f, 120.f}, {197.f, 120.f}, {197.f, 3.f}, {-3.f, 3.f}})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, px, 0, pz, 0, 0, 0, 0, 0, 0, outline), outline);
  UpdateObjectBounds(outline);
  wall->typeData = outline;
  Objex* door = AddChild(wall, kObjDoor, {{40, 0}, {80, 0}});
  door->planMask = 2;
  UpdateObjectBounds(door);
  UpdateObjectBounds(wall);
  Objex* under = add(kObjClosedPoly, true, {{20, 20}, {120, 20}, {120, 90}, {20, 90}});
  Objex* over = add(kObjClosedPoly, true, {{60, 50}, {160, 50}, {160, 110}, {60, 110}});
  Objex* line = add(kObjLine, false, {{-50, 150}, {250, 150}});
  Objex* upstairs = doc.addObject(kObjLine, false, {{100, -40}, {100, 200}}, doc.second);
  upstairs->planMask = 2;
  UpdateObjectBounds(upstairs);
  for (Layer* l : {locked, hidden}) {
    Objex* o = doc.addObject(kObjLine, false, {{300, 0}, {300, 200}}, l);
    o->planMask = 2;
    UpdateObjectBounds(o);
  }
  const int16_t attachments[] = {kObjDoor, kObjWindow, kObjComponent, kObjDeckSteps, kObjAccessory};
  const HitPass passes[] = {{0, attachments, 5}, {1, nullptr, 0}, {0, nullptr, 0}};
  enum Kind { kNone, kPoint, kSegment };
  struct Case {
    const char* what;
    int32_t x, y;
    Objex* object;
    Kind kind;
    Objex* selected;  // selected beforehand
  };
  const Case cases[] = {
      {"the door over its wall", 60, 0, door, kSegment, nullptr},
      {"the door over its selected wall", 60, 0, door, kSegment, wall},
      {"the wall's far end", 200, 60, wall, kSegment, nullptr},
      {"the wall's corner point", 200, 0, wall, kPoint, nullptr},
      {"where two polygons' edges cross", 60, 90, over, kSegment, nullptr},
      {"the lower polygon's edge beside the upper", 40, 90, under, kSegment, nullptr},
      {"the upper polygon's edge inside the lower", 90, 50, over, kSegment, nullptr},
      {"inside both polygons, off their edges", 90, 70, nullptr, kNone, nullptr},
      {"a line's end point", 250, 150, line, kPoint, nullptr},
      {"a line under the floor above's", 100, 150, upstairs, kSegment, nullptr},
      {"a selected line under the floor above's", 100, 150, line, kSegment, line},
      {"empty space", -30, -30, nullptr, kNone, nullptr},
      {"empty space with a selection", -30, -30, nullptr, kNone, over},
      {"only on the locked and the hidden floor", 300, 100, nullptr, kNone, nullptr},
  };
  for (const Case& c : cases) {
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
    if (c.selected) SetObjectSelectFlags(c.selected, 1);
    ClickInfo click = Click(c.x, c.y);
    const bool hit = SelectFromAllLayersInPasses(doc.model.itsLayers, &click, passes, 3);
    EXPECT_EQ(hit, c.object != nullptr) << c.what;
    EXPECT_EQ(click.hitObject, c.object) << c.what;
    EXPECT_EQ(click.pointHit != 0, c.kind == kPoint) << c.what;
    EXPECT_EQ(click.segmentHit != 0, c.kind == kSegment) << c.what;
  }
}

TEST(NotesInPlace, EachWalkLeavesExactlyWhatItNoted) {
  // Walks of one floor in turn, each noting a list that differs from the walk before in its own
  // way; the kept note must be the new list, whatever was kept before.
  int records[12];
  auto at = [&](std::initializer_list<int> which) {
    std::vector<const void*> v;
    for (int i : which) v.push_back(&records[i]);
    return v;
  };
  std::vector<const void*> many;
  for (size_t k = 0; k < 2 * NotesInPlace::kAhead + 17; ++k) many.push_back(&records[k % 12]);
  const std::vector<std::vector<const void*>> walks = {
      at({0, 1, 2, 3}),        // the first walk: nothing kept
      at({0, 1, 2, 3}),        // unchanged
      at({0, 1, 5, 3}),        // one record changed in the middle
      at({0, 1, 5, 3, 6, 7}),  // records added at the end
      at({4, 0, 1, 5, 3}),     // one added at the start, the last dropped: everything shifts
      at({4, 0}),              // most removed
      many,                    // longer than the distance asked ahead
      at({3, 2, 1, 0}),        // reordered
      {},                      // an empty floor
      at({8}),
  };
  FloorNotesInPlace traces;
  Layer floor{}, other{};
  for (size_t w = 0; w < walks.size(); ++w) {
    NotesInPlace notes = traces.begin(&floor);
    for (const void* r : walks[w]) notes.note(r);
    notes.finish();
    // Another floor's walk in between never touches this floor's note.
    NotesInPlace elsewhere = traces.begin(&other);
    elsewhere.note(&records[11]);
    elsewhere.finish();
    ASSERT_NE(traces.find(&floor), nullptr);
    EXPECT_EQ(*traces.find(&floor), walks[w]) << "walk " << w;
  }
  // Fields and heads are told apart from records by the low bits.
  NotesInPlace notes = traces.begin(&floor);
  notes.noteField(&records[1]);
  notes.noteHead(&records[2]);
  notes.finish();
  const std::vector<const void*>& kept = *traces.find(&floor);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(kept[0]), reinterpret_cast<uintptr_t>(&records[1]) | 1);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(kept[1]), reinterpret_cast<uintptr_t>(&records[2]) | 2);
  traces.clear();
  EXPECT_EQ(traces.find(&floor), nullptr);
}

// A floor that goes takes its click notes with it, whether it is deleted alone or the whole
// design goes: a floor made later at the same address must start with none (the table is
// looked up by address only, never read through here).
TEST_F(HitFixture, AFloorThatGoesTakesItsClickNotesWithIt) {
  const HitPass passes[] = {{0, nullptr, 0}};
  auto walk = [&passes](Layer* layers) {
    ClickInfo off = Click(-5000, -5000);
    EXPECT_FALSE(SelectFromAllLayersInPasses(layers, &off, passes, 1));
  };
  add(kObjLine, false, {{0, 0}, {100, 0}});
  Layer* extra = CreateLayer("Extra", 1, 1, nullptr);
  AppendLayerToDocument(extra);
  Objex* upstairs = doc.addObject(kObjLine, false, {{0, 10}, {100, 10}}, extra);
  upstairs->planMask = 2;
  UpdateObjectBounds(upstairs);
  walk(doc.model.itsLayers);
  ASSERT_NE(ClickWalkNotesOf(extra), nullptr);
  ASSERT_NE(ClickWalkNotesOf(doc.first), nullptr);
  const Layer* gone = extra;
  DeleteLayer(extra);
  EXPECT_EQ(ClickWalkNotesOf(gone), nullptr);
  EXPECT_NE(ClickWalkNotesOf(doc.first), nullptr);  // the floors that stay keep theirs

  std::vector<const Layer*> floors;
  {
    TestDocument other;
    other.ds()->zoomFactor = 1.0f;
    other.ds()->currentPlanMask = 2;
    Objex* o = other.addObject(kObjLine, false, {{0, 0}, {100, 0}});
    o->planMask = 2;
    UpdateObjectBounds(o);
    walk(other.model.itsLayers);
    for (const Layer* l = other.model.itsLayers; l; l = l->next) floors.push_back(l);
    ASSERT_NE(ClickWalkNotesOf(floors.front()), nullptr);
  }
  for (const Layer* l : floors) EXPECT_EQ(ClickWalkNotesOf(l), nullptr);
}

TEST_F(HitFixture, ClickNotesFollowEveryChangeOfTheFloors) {
  // After each change of the floors, the clicks answer as the passes one by one do (the notes
  // of the walk before the change, freed records among them, are only ever asked for), and the
  // notes a walk rewrites in place are those a walk with no notes at all leaves.
  doc.second->visible = 1;
  doc.second->selectable = 1;
  Objex* wall = nullptr;
  Objex* line = nullptr;
  Objex* poly = nullptr;
  Objex* cross = nullptr;
  auto build = [&] {
    wall = add(kObjWall, false, {{0, 0}, {200, 0}, {200, 120}});
    Objex* door = AddChild(wall, kObjDoor, {{40, 0}, {80, 0}});
    door->planMask = 2;
    UpdateObjectBounds(door);
    line = add(kObjLine, false, {{0, 10}, {200, 10}});
    poly = add(kObjClosedPoly, true, {{20, 20}, {120, 20}, {120, 90}, {20, 90}});
    cross = add(kObjLine, false, {{60, -20}, {60, 60}});
    Objex* upstairs = doc.addObject(kObjLine, false, {{0, 0}, {200, 120}}, doc.second);
    upstairs->planMask = 2;
    UpdateObjectBounds(upstairs);
  };
  build();
  const int16_t attachments[] = {kObjDoor, kObjWindow, kObjComponent, kObjDeckSteps, kObjAccessory};
  const HitPass passes[] = {{0, attachments, 5}, {1, nullptr, 0}, {0, nullptr, 0}};
  Layer* layers = doc.model.itsLayers;
  auto check = [&](const char* what) {
    SCOPED_TRACE(what);
    // Clicks that stop at their hit leave the notes cut short; a click off everything walks all.
    int hits = 0;
    for (int32_t y = -35; y <= 130; y += 15)
      for (int32_t x = -10; x <= 240; x += 10) {
        ClickInfo one = Click(x, y), merged = Click(x, y);
        const bool expected = PassesOneByOne(layers, &one, passes, 3);
        ASSERT_EQ(SelectFromAllLayersInPasses(layers, &merged, passes, 3), expected) << x << "," << y;
        ASSERT_TRUE(SameClick(one, merged)) << x << "," << y;
        hits += expected;
      }
    EXPECT_GT(hits, 10);
    auto walkAll = [&] {
      ClickInfo off = Click(-5000, -5000);
      EXPECT_FALSE(SelectFromAllLayersInPasses(layers, &off, passes, 3));
      std::vector<std::vector<const void*>> notes;
      for (Layer* l = layers; l; l = l->next)
        notes.push_back(ClickWalkNotesOf(l) ? *ClickWalkNotesOf(l) : std::vector<const void*>{});
      return notes;
    };
    const auto inPlace = walkAll();
    ForgetClickWalkNotes();
    const auto fresh = walkAll();
    EXPECT_EQ(inPlace, fresh);
    EXPECT_FALSE(fresh.front().empty());
  };
  check("as built");

  add(kObjLine, false, {{0, 60}, {240, 60}});
  AddChild(wall, kObjWindow, {{200, 30}, {200, 70}})->planMask = 2;
  UpdateObjectBounds(wall);
  check("objects and a child added");

  DeleteObj(poly);
  check("an object deleted");

  UnlinkObject(line);
  AppendObjectToLayer(line, doc.first);
  check("brought to front");

  UnlinkObject(cross);
  cross->next = doc.first->firstObject;
  doc.first->firstObject->prev = cross;
  doc.first->firstObject = cross;
  cross->layer = doc.first;
  check("sent to back");

  const RGBColor black{};
  Objex* group = CreateObject(kObjGroup, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                              doc.first, nullptr);
  group->planMask = 2;
  AppendObjectToLayer(group, doc.first);
  gGroupLeader = group;
  GroupObject(line);
  GroupObject(cross);
  gGroupLeader = nullptr;
  UpdateObjectBounds(group);
  check("grouped");

  UngroupObject(group);
  check("ungrouped");

  UnlinkObject(wall);
  AppendObjectToLayer(wall, doc.second);
  wall->layer = doc.second;
  for (Objex* c = wall->firstChild; c; c = c->next) c->layer = doc.second;
  check("moved to the floor above");

  // A floor added and walked, then deleted: its notes go with it, and the floors that stay
  // answer as before.
  Layer* extra = CreateLayer("Extra", 1, 1, nullptr);
  AppendLayerToDocument(extra);
  Objex* high = doc.addObject(kObjLine, false, {{0, 40}, {200, 40}}, extra);
  high->planMask = 2;
  UpdateObjectBounds(high);
  check("a floor added");
  ASSERT_NE(ClickWalkNotesOf(extra), nullptr);
  const Layer* gone = extra;
  DeleteLayer(extra);
  EXPECT_EQ(ClickWalkNotesOf(gone), nullptr);
  check("a floor deleted");

  // Every record freed and made anew, as restoring an undo snapshot does.
  for (Layer* l = layers; l; l = l->next)
    while (l->firstObject) DeleteObj(l->firstObject);
  build();
  check("every record replaced");
  EXPECT_EQ(modelcheck::Check(), "");
}
