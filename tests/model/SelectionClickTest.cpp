// The selection tool's click in one walk (hit passes noting the selection, the noted
// deselection, the noted readouts) against the hit passes, the full deselection and the full
// readouts one after another, on generated designs with random selections.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ChildBuilders.h"
#include "TestDocument.h"
#include "ViewStateGuard.h"
#include "model/Delete.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Selection.h"
#include "model/SelectionClick.h"
#include "model/SelectionState.h"
#include "model/ToolCodes.h"

namespace {

const int16_t kAttachments[] = {kObjDoor, kObjWindow, kObjComponent, kObjDeckSteps, kObjAccessory};
const HitPass kPasses[] = {{0, kAttachments, 5}, {1, nullptr, 0}, {0, nullptr, 0}};

// What a click leaves behind.
struct Outcome {
  bool hit = false;
  ClickInfo click{};
  std::vector<uint8_t> flags;  // selected, detectable, locked of every point
  FloatRect rect{};
  Float3DRect box{};
  SelectionState40 summary{};
  std::vector<std::string> calls;  // the feedback and inspector calls, in order
};

// A plan view at zoom 1 over four floors: the first two shown and selectable, the third shown
// but locked, the fourth hidden. Objects overlap from floor to floor and within a cell, so that
// every pass and every select index finds something somewhere.
struct ClickFixture : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;
  Layer* hidden = nullptr;
  std::vector<Objex*> tops;
  uint16_t savedTool = gCurTool;
  uint8_t savedOrientation = gPointOrientation;
  int16_t savedIndex = gSelectIndex;

  ClickFixture() {
    doc.ds()->zoomFactor = 1.0f;
    doc.ds()->currentPlanMask = 2;
    doc.second->selectable = 1;
    hidden = CreateLayer("Hidden", 0, 1, nullptr);
    AppendLayerToDocument(hidden);
    gCurTool = kToolSelection;
  }
  ~ClickFixture() override {
    gCurTool = savedTool;
    gPointOrientation = savedOrientation;
    gSelectIndex = savedIndex;
  }

  Objex* place(Objex* o) {
    o->planMask = 2;
    o->baseElevation = static_cast<float>(tops.size() % 7) * 12.0f;
    o->auxFlag = tops.size() % 11 == 5 ? 1 : 0;
    UpdateObjectBounds(o);
    tops.push_back(o);
    return o;
  }
  Objex* add(Layer* layer, int16_t type, bool closed, std::initializer_list<std::pair<float, float>> pts) {
    return place(doc.addObject(type, closed, pts, layer));
  }

  // Cells of a wall (outline and door), a polygon, a line, a text box and a group of one line;
  // cell i lies on floor i % 4, so four cells share each stretch of the plan.
  void Generate(int cells) {
    Layer* floors[4] = {doc.first, doc.second, doc.third, hidden};
    RGBColor black{};
    for (int i = 0; i < cells; ++i) {
      Layer* layer = floors[i % 4];
      const float x = static_cast<float>(i / 4) * 150.0f + static_cast<float>(i % 4) * 6.0f;
      Objex* wall = add(layer, kObjWall, false, {{x, 0}, {x + 100, 0}, {x + 100, 80}});
      Objex* outline = CreateObject(kObjWallFace, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, wall,
                                    layer, nullptr);
      for (auto [px, pz] : {std::pair{x, -3.f}, {x + 103, -3.f}, {x + 103, 80.f}, {x + 97, 80.f}, {x, 3.f}})
        AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, px, 0, pz, 0, 0, 0, 0, 0, 0, outline), outline);
      UpdateObjectBounds(outline);
      wall->typeData = outline;
      Objex* door = AddDoor(wall, 0);
      door->planMask = 2;
      UpdateObjectBounds(door);
      UpdateObjectBounds(wall);
      add(layer, kObjClosedPoly, true, {{x + 10, 10}, {x + 70, 10}, {x + 80, 60}, {x + 20, 70}});
      add(layer, kObjLine, false, {{x, 40}, {x + 120, 50}});
      add(layer, kObjText, true, {{x + 30, 20}, {x + 90, 20}, {x + 90, 36}, {x + 30, 36}});
      Objex* group = add(layer, kObjGroup, false, {});
      Objex* member = AddChild(group, kObjLine, {{x + 5, 75}, {x + 60, 5}});
      member->planMask = 2;
      UpdateObjectBounds(member);
      UpdateObjectBounds(group);
    }
  }

  // Every point of the design in one fixed order: objects, children, wall outlines.
  void CollectPoints(Objex* o, std::vector<Poinz*>* out) {
    for (Poinz* p = o->firstPoint; p; p = p->next) out->push_back(p);
    for (Objex* c = o->firstChild; c; c = c->next) CollectPoints(c, out);
    if (o->type == kObjWall && o->typeData) CollectPoints(static_cast<Objex*>(o->typeData), out);
  }
  // Gathered once: the tests change flags, never which points there are.
  const std::vector<Poinz*>& AllPoints() {
    if (points.empty())
      for (Layer* l = doc.model.itsLayers; l; l = l->next)
        for (Objex* o = l->firstObject; o; o = o->next) CollectPoints(o, &points);
    return points;
  }
  std::vector<Poinz*> points;
  std::vector<uint8_t> Flags() {
    std::vector<uint8_t> flags(AllPoints().size() * 3);
    size_t i = 0;
    for (Poinz* p : AllPoints()) {
      flags[i++] = p->selected;
      flags[i++] = p->detectable;
      flags[i++] = p->locked;
    }
    return flags;
  }
  void SetFlags(const std::vector<uint8_t>& flags) {
    size_t i = 0;
    for (Poinz* p : AllPoints()) {
      p->selected = flags[i++];
      p->detectable = flags[i++];
      p->locked = flags[i++];
    }
  }

  // A selection written straight into the records: whole objects, single points, a door, a
  // group member or a wall's outline only; now and then a point that cannot be picked.
  void RandomSelection(std::mt19937& rng) {
    for (Poinz* p : AllPoints()) p->selected = 0, p->detectable = 1, p->locked = 0;
    for (Objex* o : tops) {
      switch (rng() % 8) {
        case 0:
          SetObjectSelectFlags(o, 1);
          break;
        case 1:
          if (Poinz* p = PointAt(o, static_cast<int>(rng() % 3))) p->selected = 1;
          break;
        case 2:
          if (o->firstChild) o->firstChild->firstPoint->selected = 1;
          break;
        case 3:
          if (o->type == kObjWall) static_cast<Objex*>(o->typeData)->firstPoint->selected = 1;
          break;
        case 4:
          if (Poinz* p = PointAt(o, 1)) p->detectable = 0;
          break;
        default:
          break;
      }
    }
  }

  static ClickInfo At(int32_t x, int32_t y) {
    ClickInfo c{};
    c.where = POINT{x, y};
    c.flags = static_cast<int16_t>(0x8000);
    return c;
  }

  Outcome Finish(Outcome out, const FloatRect& rect, const Float3DRect& box, const ServiceCallRecorder& rec) {
    out.flags = Flags();
    out.rect = rect;
    out.box = box;
    out.summary = doc.ds()->selectionState40;
    for (const ServiceCall& c : rec.calls)
      if (c.routine != "GetLineWeight") out.calls.push_back(c.routine + ":" + std::to_string(c.objectID));
    return out;
  }

  // The three steps as the selection tool took them: the passes, everything deselected, the
  // hit object selected, the readouts.
  Outcome ThreeSteps(int32_t x, int32_t y) {
    ServiceCallRecorder rec;
    Outcome out;
    out.click = At(x, y);
    Layer* layers = doc.model.itsLayers;
    out.hit = SelectFromAllLayersInPasses(layers, &out.click, kPasses, 3);
    SelectAllLayers(layers, kSelectOff, 1);
    if (out.hit && out.click.hitObject) SelectObj(out.click.hitObject, kSelectOn, 1);
    FloatRect rect{32000, 32000, -32000, -32000};
    Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
    GatherSelectionReadouts(layers, doc.ds(), &rect, &box);
    return Finish(out, rect, box, rec);
  }

  Outcome OneWalk(int32_t x, int32_t y) {
    ServiceCallRecorder rec;
    Outcome out;
    out.click = At(x, y);
    FloatRect rect{32000, 32000, -32000, -32000};
    Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
    out.hit = ClickSelectInOneWalk(doc.model.itsLayers, &out.click, kPasses, 3, doc.ds(), &rect, &box);
    return Finish(out, rect, box, rec);
  }

  // A click at (x, y) from the point flags `before`, by the three steps and by the one walk:
  // whether both leave the same, and the one walk's outcome.
  ::testing::AssertionResult ClickBothWays(int32_t x, int32_t y, const std::vector<uint8_t>& before, Outcome* got);
};

bool SameBits(const void* a, const void* b, size_t n) { return std::memcmp(a, b, n) == 0; }

// Field by field (the record has padding): what hit, where, and the chord of a segment hit.
::testing::AssertionResult SameOutcome(const Outcome& a, const Outcome& b) {
  const ClickInfo &p = a.click, &q = b.click;
  if (a.hit != b.hit) return ::testing::AssertionFailure() << "hit " << a.hit << " vs " << b.hit;
  const bool sameClick =
      p.hitObject == q.hitObject && p.hitPoint == q.hitPoint && p.segmentEnd == q.segmentEnd &&
      p.pointHit == q.pointHit && p.segmentHit == q.segmentHit && p.insideHit == q.insideHit &&
      p.cornerHit == q.cornerHit && p.corner == q.corner && p.hitMode == q.hitMode && p.flags == q.flags &&
      SameBits(&p.hitPosition, &q.hitPosition, sizeof p.hitPosition) &&
      SameBits(&p.chordStart, &q.chordStart, sizeof p.chordStart) &&
      SameBits(&p.chordEnd, &q.chordEnd, sizeof p.chordEnd) && p.chordStartT == q.chordStartT &&
      p.chordEndT == q.chordEndT;
  if (!sameClick) return ::testing::AssertionFailure() << "click records differ";
  if (a.flags != b.flags) return ::testing::AssertionFailure() << "point flags differ";
  if (!SameBits(&a.rect, &b.rect, sizeof a.rect) || !SameBits(&a.box, &b.box, sizeof a.box))
    return ::testing::AssertionFailure() << "selection bounds differ";
  const SelectionState40 &s = a.summary, &t = b.summary;
  if (s.ssStateFresh != t.ssStateFresh || s.ssBaseElevation != t.ssBaseElevation ||
      !SameBits(&s.ssBaseElevationValue, &t.ssBaseElevationValue, sizeof s.ssBaseElevationValue))
    return ::testing::AssertionFailure() << "elevation summaries differ";
  if (a.calls != b.calls) return ::testing::AssertionFailure() << "feedback calls differ";
  return ::testing::AssertionSuccess();
}

}  // namespace

::testing::AssertionResult ClickFixture::ClickBothWays(int32_t x, int32_t y, const std::vector<uint8_t>& before,
                                                      Outcome* got) {
  SetFlags(before);
  const Outcome expected = ThreeSteps(x, y);
  SetFlags(before);
  *got = OneWalk(x, y);
  return SameOutcome(expected, *got) << " at " << x << "," << y;
}

TEST_F(ClickFixture, OneWalkLeavesWhatTheThreeStepsLeave) {
  Generate(24);
  std::mt19937 rng(19);
  int compared = 0, hits = 0, keptOnLockedFloor = 0, deeperHits = 0;
  for (int selection = 0; selection < 4; ++selection) {
    RandomSelection(rng);
    // First with nothing selected beforehand: the clicked object is then all the readouts see.
    if (selection == 0)
      for (Poinz* p : AllPoints()) p->selected = 0;
    const std::vector<uint8_t> before = Flags();
    for (uint8_t orientation : {1, 0}) {
      gPointOrientation = orientation;
      for (int16_t index : {1, 2, 3}) {
        gSelectIndex = index;
        for (int32_t y = -8; y <= 90; y += 14)
          for (int32_t x = -6; x <= 930; x += 37) {
            Outcome got;
            ASSERT_TRUE(ClickBothWays(x, y, before, &got)) << " index " << index << " selection " << selection;
            ++compared;
            hits += got.hit;
            deeperHits += got.hit && index > 1;
            // Selected objects on the locked floor stay selected and count in the readouts.
            for (Objex* o : tops)
              if (o->layer == doc.third && HasSelectedPointInTree(o)) {
                ++keptOnLockedFloor;
                break;
              }
          }
      }
    }
  }
  EXPECT_GT(compared, 3000);
  EXPECT_GT(hits, compared / 8);
  EXPECT_GT(deeperHits, 0);
  EXPECT_GT(keptOnLockedFloor, 0);
}

// A walk asks for the records the last walk of the floor read, ahead of reaching them. Objects
// freed and made between clicks leave those addresses stale: nothing may change for it, and
// nothing freed may be read.
TEST_F(ClickFixture, ClicksAfterObjectsAreFreedAndMadeLeaveWhatTheThreeStepsLeave) {
  Generate(12);
  std::mt19937 rng(41);
  int compared = 0, hits = 0;
  auto clickAcross = [&] {
    RandomSelection(rng);
    const std::vector<uint8_t> before = Flags();
    for (int32_t y = -8; y <= 90; y += 14)
      for (int32_t x = -6; x <= 480; x += 29) {
        Outcome got;
        ASSERT_TRUE(ClickBothWays(x, y, before, &got));
        ++compared;
        hits += got.hit;
      }
  };
  clickAcross();
  // Every polygon and text freed, new lines made in their place.
  std::vector<Objex*> kept;
  for (Objex* o : tops) {
    if (o->type != kObjClosedPoly && o->type != kObjText) {
      kept.push_back(o);
      continue;
    }
    Layer* layer = o->layer;
    const float x = o->firstPoint->position[0];
    DeleteObj(o);
    kept.push_back(nullptr);
    kept.back() = doc.addObject(kObjLine, false, {{x + 15, 15}, {x + 85, 65}}, layer);
    kept.back()->planMask = 2;
    UpdateObjectBounds(kept.back());
  }
  tops = kept;
  points.clear();
  clickAcross();
  EXPECT_GT(compared, 250);
  EXPECT_GT(hits, compared / 8);
}

TEST_F(ClickFixture, ListsThatDoNotLinkBackTakeTheFullWalks) {
  Generate(8);
  for (Objex* o : tops) SetObjectSelectFlags(o, 1);
  const std::vector<uint8_t> before = Flags();
  // A first-floor object whose back link skips its predecessor: walking back from the end
  // stops there, so the note would miss the objects before it.
  Objex* cut = doc.first->firstObject->next->next;
  Objex* keptPrev = cut->prev;
  cut->prev = nullptr;
  SelectionWalk walk;
  ClickInfo click = At(500, 500);
  SelectFromAllLayersNotingSelection(doc.model.itsLayers, &click, kPasses, 3, &walk);
  EXPECT_FALSE(walk.complete);
  for (int32_t x : {20, 45, 160, 500}) {
    SetFlags(before);
    const Outcome expected = ThreeSteps(x, 40);
    SetFlags(before);
    EXPECT_TRUE(SameOutcome(expected, OneWalk(x, 40))) << x;
  }
  // Nothing stays selected on the first floor, the objects before the cut included.
  for (Objex* o = doc.first->firstObject; o; o = o->next) EXPECT_FALSE(HasSelectedPointInTree(o));
  cut->prev = keptPrev;
  // A floor list that does not link back either.
  Layer* keptLayerPrev = doc.second->prev;
  doc.second->prev = nullptr;
  SelectFromAllLayersNotingSelection(doc.model.itsLayers, &click, kPasses, 3, &walk);
  EXPECT_FALSE(walk.complete);
  doc.second->prev = keptLayerPrev;
}

TEST_F(ClickFixture, WalkNotesTheObjectsHoldingASelectedPointAtAnyDepth) {
  // The walk reads the selection of each object while noting its points: a selected point of a
  // child, of a child nested deeper than the walk notes, or of nothing (a wall's outline is not
  // part of the wall's tree) must note exactly the objects HasSelectedPointInTree answers for.
  Generate(4);
  std::vector<Objex*> deepest;
  for (int depth = 1; depth <= 12; ++depth) {
    Objex* top = add(doc.first, kObjGroup, false, {});
    Objex* parent = top;
    for (int d = 1; d < depth; ++d) parent = AddChild(parent, kObjGroup, {});
    const float x = 700.0f + 30.0f * static_cast<float>(depth);
    Objex* line = AddChild(parent, kObjLine, {{x, 5}, {x + 20, 25}});
    UpdateObjectBounds(line);
    UpdateObjectBounds(top);
    deepest.push_back(line);
  }
  Objex* wall = tops.front();
  ASSERT_EQ(wall->type, kObjWall);
  Objex* outline = static_cast<Objex*>(wall->typeData);
  Objex* door = wall->firstChild;
  ASSERT_NE(door, nullptr);
  auto check = [&](const char* what) -> size_t {
    SCOPED_TRACE(what);
    SelectionWalk walk;
    ClickInfo click = At(-5000, -5000);
    EXPECT_FALSE(SelectFromAllLayersNotingSelection(doc.model.itsLayers, &click, kPasses, 3, &walk));
    EXPECT_TRUE(walk.complete);
    // The walk goes from the last floor and from each floor's end.
    std::vector<Objex*> expected, noted;
    for (size_t f = 0; f < walk.floors.size(); ++f) {
      Objex* last = walk.floors[f].layer->firstObject;
      while (last && last->next) last = last->next;
      for (Objex* o = last; o; o = o->prev)
        if (HasSelectedPointInTree(o)) expected.push_back(o);
    }
    for (const SelectionWalk::Noted& n : walk.selected) noted.push_back(n.object);
    EXPECT_EQ(noted, expected);
    return noted.size();
  };
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  EXPECT_EQ(check("nothing selected"), 0u);
  for (size_t k = 0; k < deepest.size(); ++k) {
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
    deepest[k]->firstPoint->next->selected = 1;
    EXPECT_EQ(check(("a line " + std::to_string(k + 1) + " levels down").c_str()), 1u);
  }
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  door->firstPoint->selected = 1;
  EXPECT_EQ(check("a wall's door"), 1u);
  door->firstPoint->selected = 0;
  outline->firstPoint->selected = 1;
  EXPECT_EQ(check("only a wall's outline"), 0u);
  outline->firstPoint->selected = 0;
  wall->firstPoint->next->next->selected = 1;
  deepest.back()->firstPoint->selected = 1;
  EXPECT_EQ(check("a wall's own last point and the deepest line"), 2u);
}

TEST_F(ClickFixture, NotedReadoutsFollowShiftClicksAndFallBackForOtherChanges) {
  Generate(12);
  std::mt19937 rng(11);
  for (int round = 0; round < 6; ++round) {
    RandomSelection(rng);
    const std::vector<uint8_t> before = Flags();
    for (int32_t x : {12, 40, 95, 170, 330}) {
      for (int variant = 0; variant < 2; ++variant) {
        SetFlags(before);
        SelectionWalk walk;
        ClickInfo click = At(x, 38);
        if (!SelectFromAllLayersNotingSelection(doc.model.itsLayers, &click, kPasses, 3, &walk)) continue;
        Objex* changed = click.hitObject;
        if (variant == 0) {
          // Shift: the hit object's top-level object toggles, nothing is deselected.
          SelectObj(walk.hitTop, kSelectToggle, 1);
        } else {
          // Something the walk did not note and did not hit changes too: the full walk answers.
          for (Objex* o : tops)
            if (o->layer == doc.first && o != walk.hitTop && !HasSelectedPointInTree(o)) {
              SetObjectSelectFlags(o, 1);
              changed = o;
              break;
            }
        }
        FloatRect rect{32000, 32000, -32000, -32000}, fullRect = rect;
        Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000}, fullBox = box;
        GatherNotedSelectionReadouts(doc.model.itsLayers, walk, changed, doc.ds(), &rect, &box);
        const SelectionState40 noted = doc.ds()->selectionState40;
        GatherSelectionReadouts(doc.model.itsLayers, doc.ds(), &fullRect, &fullBox);
        const SelectionState40& full = doc.ds()->selectionState40;
        EXPECT_TRUE(SameBits(&rect, &fullRect, sizeof rect)) << x << " variant " << variant;
        EXPECT_TRUE(SameBits(&box, &fullBox, sizeof box)) << x << " variant " << variant;
        EXPECT_EQ(noted.ssBaseElevation, full.ssBaseElevation);
        EXPECT_EQ(noted.ssBaseElevationValue, full.ssBaseElevationValue);
        EXPECT_EQ(noted.ssStateFresh, full.ssStateFresh);
      }
    }
  }
}
