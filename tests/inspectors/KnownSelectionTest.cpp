// The inspector told which objects may hold the selection (as a selecting click knows them)
// shows what it shows after looking at every object, and takes the word of the road that
// tells it.
#include <functional>
#include <string>
#include <vector>

#include "InspectorTestSupport.h"
#include "model/Delete.h"
#include "model/Selection.h"
#include "model/SelectionClick.h"

namespace {

struct Shown {
  std::string pane;
  int32_t count;
  SelectionState40 state;
};

class KnownSelectionTest : public InspectorTest {
 public:
  using InspectorTest::add;
  using InspectorTest::addSquare;

 protected:
  Shown look(const KnownSelection* known) {
    KnownSelectionScope scope(known);
    update();
    return {shownName(), gCurPropertiesObjectCount, model->itsDocState->selectionState40};
  }
  // The top-level objects of every floor, in design order, that `keep` picks.
  KnownSelection tops(const std::function<bool(Objex*)>& keep) {
    KnownSelection known;
    known.firstLayer = model->itsLayers;
    for (Layer* l = model->itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next)
        if (keep(o)) known.tops.push_back({o, l});
    return known;
  }
};

void ExpectSame(const Shown& a, const Shown& b) {
  EXPECT_EQ(a.pane, b.pane);
  EXPECT_EQ(a.count, b.count);
  EXPECT_EQ(a.state.ssStateFresh, b.state.ssStateFresh);
  EXPECT_EQ(a.state.ssBaseElevation, b.state.ssBaseElevation);
  EXPECT_EQ(a.state.ssBaseElevationValue, b.state.ssBaseElevationValue);
}

TEST_F(KnownSelectionTest, TheKnownObjectsShowWhatEveryObjectShows) {
  struct Case {
    const char* name;
    std::function<void(KnownSelectionTest&)> build;
  };
  const Case cases[] = {
      {"one wall", [](KnownSelectionTest& t) { t.add(kObjWall, {{0, 0}, {100, 0}}); }},
      {"two floors at different elevations",
       [](KnownSelectionTest& t) {
         t.addSquare(kObjFloor)->baseElevation = 10;
         t.addSquare(kObjFloor)->baseElevation = 30;
       }},
      {"a floor and a line: panes that cannot be shared",
       [](KnownSelectionTest& t) {
         t.addSquare(kObjFloor);
         t.add(kObjLine, {{0, 0}, {50, 50}});
       }},
      {"a door selected in a wall that is not",
       [](KnownSelectionTest& t) {
         Objex* wall = t.add(kObjWall, {{0, 0}, {200, 0}}, false, false);
         t.add(kObjDoor, {{20, 0}, {60, 0}}, false, true, wall);
       }},
      {"nothing selected: the tool's pane", [](KnownSelectionTest&) {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    while (Objex* o = model->itsCurLayer->firstObject) DeleteObj(o);
    // Objects with nothing selected around those the case selects.
    add(kObjClosedPoly, {{300, 300}, {400, 300}, {400, 400}}, true, false);
    c.build(*this);
    add(kObjLine, {{500, 0}, {600, 0}}, false, false);
    const Shown everything = look(nullptr);
    // The objects holding the selection, and all of them (more than need be known).
    const KnownSelection holding = tops([](Objex* o) { return HasSelectedPointInTree(o); });
    const KnownSelection all = tops([](Objex*) { return true; });
    ExpectSame(look(&holding), everything);
    ExpectSame(look(&all), everything);
  }
}

TEST_F(KnownSelectionTest, TheWordOfTheRoadIsTakenForItsOwnDesignOnly) {
  Objex* floor = addSquare(kObjFloor);
  KnownSelection none = tops([](Objex*) { return false; });
  // Told that nothing may be selected, the inspector looks no further: the tool's pane.
  const Shown told = look(&none);
  EXPECT_EQ(told.count, 0);
  EXPECT_EQ(look(nullptr).count, 1);
  // Word about another design's floors is not taken.
  none.firstLayer = nullptr;
  ExpectSame(look(&none), look(nullptr));
  (void)floor;
}

}  // namespace
