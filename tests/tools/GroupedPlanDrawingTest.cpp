// Objects in groups drawn in the plan: each member is drawn as it is drawn alone (wall bands,
// fills and dimensions, openings, the parts of paths, edging, staircases and decks, every kind
// the tools make), in a group and in groups within groups, on the current floor and on another,
// at two plan scales and in both unit systems, read from a recording context.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ToolTestSupport.h"
#include "files/DesignFile.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/Services.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/RecordingDrawContext.h"

namespace {

using Kind = RecordingDrawContext::Kind;

Base2DView* gGroupedView = nullptr;

std::string Reproducer(const char* name) {
  return (std::filesystem::path(__FILE__).parent_path() / "data" / "regressions" / name).string();
}

// One drawing call as text: its kind, colours, stroke, points and text.
std::string Describe(const RecordingDrawContext::Call& c) {
  char head[200];
  std::snprintf(head, sizeof head, "%d stroke %.3f %.3f %.3f %.3f w%.2f d%d fill %.3f %.3f %.3f %.3f p%d |",
                static_cast<int>(c.kind), c.stroke.color.red, c.stroke.color.green, c.stroke.color.blue, c.stroke.color.alpha,
                c.stroke.width, c.stroke.dashCount, c.fill.color.red, c.fill.color.green, c.fill.color.blue, c.fill.color.alpha,
                c.patterned ? 1 : 0);
  std::string out = head;
  char at[64];
  for (const NSPoint& p : c.points) {
    std::snprintf(at, sizeof at, " %.2f,%.2f", p.x, p.y);
    out += at;
  }
  if (c.kind == Kind::Text) {
    std::snprintf(at, sizeof at, " @%.2f,%.2f ", c.text.anchor.x, c.text.anchor.y);
    out += at + c.text.text;
  }
  return out;
}

struct GroupedPlanDrawing : ToolTest {
  RecordingDrawContext ctx;
  std::optional<CurrentDrawContextScope> scope;
  std::unique_ptr<Base2DView> planView;

  void SetUp() override {
    ToolTest::SetUp();
    scope.emplace(&ctx);
    planView = std::make_unique<Base2DView>();  // also makes the line buffer groups and edging use
    planView->setVisibleRect(NSMakeRect(-20000, -20000, 40000, 40000));
    gGroupedView = planView.get();
    gPlanViewHooks.documentView = [] { return gGroupedView; };
    gCurTool = kToolSelection;  // no foundation outlines
  }
  void TearDown() override {
    gGroupedView = nullptr;
    scope.reset();
    ToolTest::TearDown();
  }

  void open(const char* name) {
    ASSERT_EQ(KeyFileRead(Reproducer(name).c_str()), 1);
    ASSERT_EQ(gCurDocument, &doc.model);
    RenderAllLayers();
    // Every floor shown: drawn, and open to the group commands.
    for (Layer* l = doc.model.itsLayers; l; l = l->next) l->visible = 1;
  }
  Layer* floorNamed(const char* name) {
    for (Layer* l = doc.model.itsLayers; l; l = l->next)
      if (std::string(l->name) == name) return l;
    return nullptr;
  }

  // The whole plan as the view draws it, one line of text per call.
  std::vector<std::string> drawn() {
    ctx.clear();
    DrawAllLayers(nullptr, doc.model.itsLayers, nullptr, kDrawFlagAll, nullptr);
    std::vector<std::string> out;
    for (const auto& c : ctx.calls) out.push_back(Describe(c));
    return out;
  }

  void deselectAll() {
    for (Layer* l = doc.model.itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next) SetObjectSelectFlags(o, 0);
  }
  // Plan > Group on the given top-level objects; the group made, deselected.
  Objex* group(const std::vector<Objex*>& objects) {
    deselectAll();
    for (Objex* o : objects) SetObjectSelectFlags(o, 1);
    gGroupLeader = nullptr;
    TopLevelObjectAllLayers(doc.model.itsLayers, kCmdGroup, CommandArg::None());
    Objex* g = gGroupLeader;
    gGroupLeader = nullptr;
    deselectAll();
    return g;
  }
  // Plan > Ungroup until no group with members is left on the floor: its objects at its end,
  // in order.
  void ungroupAll(Layer* floor) {
    for (bool any = true; any && !testing::Test::HasFatalFailure();) {
      any = false;
      deselectAll();
      for (Objex* o = floor->firstObject; o; o = o->next)
        if (o->type == kObjGroup && o->subtype == 0 && o->firstChild) SetObjectSelectFlags(o, 1), any = true;
      if (!any) break;
      TopLevelObjectAllLayers(doc.model.itsLayers, kCmdUngroup, CommandArg::None());
      for (Objex* o = floor->firstObject; o; o = o->next)
        ASSERT_FALSE(o->type == kObjGroup && o->subtype == 0 && IsObjectSelected(o)) << "a group left whole";
    }
    // A group read back empty (a nested group's record) draws nothing and cannot be selected.
    for (Objex* o = floor->firstObject; o;) {
      Objex* next = o->next;
      if (o->type == kObjGroup && o->subtype == 0 && !o->firstChild) {
        UnlinkObject(o);
        DeleteObj(o);
      }
      o = next;
    }
    deselectAll();
  }
  static std::vector<Objex*> TopLevel(Layer* floor) {
    std::vector<Objex*> out;
    for (Objex* o = floor->firstObject; o; o = o->next) out.push_back(o);
    return out;
  }
};

// The calls the same, one for one, else the first that differs.
void ExpectSameDrawing(const std::vector<std::string>& alone, const std::vector<std::string>& grouped) {
  const size_t n = std::min(alone.size(), grouped.size());
  size_t i = 0;
  while (i < n && alone[i] == grouped[i]) ++i;
  if (i == n && alone.size() == grouped.size()) return;
  ADD_FAILURE() << alone.size() << " calls alone, " << grouped.size() << " grouped; call " << i << " differs:\n alone:   "
                << (i < alone.size() ? alone[i] : "(none)") << "\n grouped: " << (i < grouped.size() ? grouped[i] : "(none)");
}

size_t CountKind(const RecordingDrawContext& ctx, Kind kind, bool patterned = false) {
  size_t n = 0;
  for (const auto& c : ctx.calls) n += c.kind == kind && c.patterned == patterned;
  return n;
}

}  // namespace

// Every kind the tools make, on the Second Floor: the plan drawn with them alone, all in one
// group, and in groups three deep, the order of drawing kept (each group's members stand where
// the objects stood). Drawn with that floor current and with the First Floor current (in the
// inactive-floor colour), at two plan scales and zooms, in inches and in metres.
TEST_F(GroupedPlanDrawing, EveryKindIsDrawnInGroupsAsItIsAlone) {
  open("every-kind-grouped-second-floor.pro");
  Layer* second = floorNamed("Second Floor");
  Layer* first = floorNamed("First Floor");
  ASSERT_NE(second, nullptr);
  ASSERT_NE(first, nullptr);
  ungroupAll(second);
  const std::vector<Objex*> objects = TopLevel(second);
  ASSERT_GE(objects.size(), 10u);
  // What the floor holds: the comparison covers walls with openings, paths, edging, staircases
  // and decks with their type-data parts.
  auto holds = [&](int16_t type) {
    return std::any_of(objects.begin(), objects.end(), [&](Objex* o) { return o->type == type && o->typeData; });
  };
  for (int16_t type : {kObjWall, kObjPath, kObjEdging, kObjStaircase, kObjDeck}) EXPECT_TRUE(holds(type)) << type;
  EXPECT_TRUE(std::any_of(objects.begin(), objects.end(), [](Objex* o) {
    return o->type == kObjWall && o->firstChild && (o->firstChild->type == kObjDoor || o->firstChild->type == kObjWindow);
  }));

  struct Setting {
    Layer* current;
    float planScale, zoom;
    int16_t system;
    int32_t plans;
  };
  // Every plan shown, and all but the deck and landscape plans (those members left out).
  const int32_t allPlans = doc.ds()->currentPlanMask;
  const int32_t fewerPlans = allPlans & ~((1 << kPlanDeck) | (1 << kPlanLandscape));
  ASSERT_NE(fewerPlans, allPlans);
  std::vector<Setting> settings;
  for (Layer* current : {second, first})
    for (auto [scale, zoom] : {std::pair{36.0f, 0.6f}, std::pair{96.0f, 1.5f}})
      for (int16_t system : {kMeasureImperial, kMeasureMetric})
        settings.push_back({current, scale, zoom, system, allPlans});
  settings.push_back({second, 36, 0.6f, kMeasureImperial, fewerPlans});

  auto drawEach = [&]() {
    std::vector<std::vector<std::string>> out;
    for (const Setting& s : settings) {
      doc.model.itsCurLayer = s.current;
      doc.ds()->planScale = s.planScale;
      doc.ds()->zoomFactor = s.zoom;
      doc.ds()->measureSystem = s.system;
      doc.ds()->currentPlanMask = s.plans;
      out.push_back(drawn());
      doc.ds()->currentPlanMask = allPlans;
    }
    return out;
  };
  const auto alone = drawEach();
  // Not an empty comparison: the walls' bands are filled and the decks hatched.
  doc.model.itsCurLayer = second;
  doc.ds()->planScale = 36;
  doc.ds()->zoomFactor = 0.6f;
  doc.ds()->measureSystem = kMeasureImperial;
  drawn();
  EXPECT_GT(CountKind(ctx, Kind::FillPath), 3u);
  EXPECT_GE(CountKind(ctx, Kind::FillPath, true), 1u);
  EXPECT_GE(CountKind(ctx, Kind::Text), 4u);

  Objex* all = group(objects);
  ASSERT_NE(all, nullptr);
  ASSERT_EQ(second->firstObject, all);
  ASSERT_EQ(all->next, nullptr);
  const auto grouped = drawEach();

  // Three deep: the last third in a group, that and the middle third in another, all in a third.
  ungroupAll(second);
  ASSERT_EQ(TopLevel(second), objects);
  const size_t third = objects.size() / 3;
  Objex* inner = group(std::vector<Objex*>(objects.end() - static_cast<std::ptrdiff_t>(third), objects.end()));
  std::vector<Objex*> middle(objects.begin() + static_cast<std::ptrdiff_t>(third),
                             objects.end() - static_cast<std::ptrdiff_t>(third));
  middle.push_back(inner);
  Objex* mid = group(middle);
  std::vector<Objex*> outer(objects.begin(), objects.begin() + static_cast<std::ptrdiff_t>(third));
  outer.push_back(mid);
  Objex* top = group(outer);
  ASSERT_EQ(second->firstObject, top);
  ASSERT_EQ(inner->parent, mid);
  ASSERT_EQ(mid->parent, top);
  const auto nested = drawEach();

  for (size_t i = 0; i < settings.size(); ++i) {
    SCOPED_TRACE(testing::Message() << (settings[i].current == second ? "its floor current" : "another floor current")
                                    << ", scale " << settings[i].planScale << ", "
                                    << (settings[i].system == kMeasureMetric ? "metric" : "imperial")
                                    << (settings[i].plans == allPlans ? "" : ", no deck or landscape plan"));
    {
      SCOPED_TRACE("one group");
      ExpectSameDrawing(alone[i], grouped[i]);
    }
    {
      SCOPED_TRACE("groups three deep");
      ExpectSameDrawing(alone[i], nested[i]);
    }
  }
}

// The exterior walls in a group show their dotted foundation outlines while an exterior wall
// tool is current, as they do alone.
TEST_F(GroupedPlanDrawing, GroupedExteriorWallsShowTheirFoundationOutlines) {
  open("every-kind-grouped-second-floor.pro");
  Layer* second = floorNamed("Second Floor");
  ASSERT_NE(second, nullptr);
  doc.model.itsCurLayer = second;
  gCurTool = kToolExteriorWall;
  ungroupAll(second);
  const std::vector<Objex*> objects = TopLevel(second);
  const auto alone = drawn();
  size_t dotted = 0;
  for (const auto& c : ctx.calls) dotted += c.stroke.dashCount > 0;
  EXPECT_GT(dotted, 0u);
  group(objects);
  ExpectSameDrawing(alone, drawn());
}

// The tester's design: two lone walls and two in a group on the First Floor, two more on the
// Second. The grouped walls are drawn as the lone ones are (filled bands with their dimensions),
// as read and after Ungroup, which only puts them later in the floor's list.
TEST_F(GroupedPlanDrawing, TheTestersGroupedWallsAreDrawnAsTheLoneOnes) {
  open("ceiling-grouped-walls.pro");
  Layer* first = floorNamed("First Floor");
  ASSERT_NE(first, nullptr);
  for (Layer* current : {first, floorNamed("Second Floor")}) {
    SCOPED_TRACE(current->name);
    doc.model.itsCurLayer = current;
    std::vector<std::string> grouped = drawn();
    size_t walls = 0, groups = 0;
    for (Objex* o = first->firstObject; o; o = o->next) {
      if (o->type == kObjGroup) ++groups;
      for (Objex* m = o->type == kObjGroup ? o->firstChild : o; m; m = o->type == kObjGroup ? m->next : nullptr)
        walls += m->type == kObjWall;
    }
    ASSERT_EQ(groups, 1u);
    ASSERT_EQ(walls, 4u);
    // A filled band for every wall on the floor drawn current.
    if (current == first) {
      size_t bands = 0;
      for (const auto& c : ctx.calls) bands += c.kind == Kind::FillPath && !c.patterned;
      EXPECT_GE(bands, walls);
    }
    Objex* group = nullptr;
    for (Objex* o = first->firstObject; o; o = o->next)
      if (o->type == kObjGroup) group = o;
    std::vector<Objex*> members;
    for (Objex* m = group->firstChild; m; m = m->next) members.push_back(m);
    ungroupAll(first);
    std::vector<std::string> alone = drawn();
    // The same calls; the exterior fills and bands of the two walls come later in the list.
    std::sort(grouped.begin(), grouped.end());
    std::sort(alone.begin(), alone.end());
    ExpectSameDrawing(alone, grouped);
    this->group(members);
  }
}
