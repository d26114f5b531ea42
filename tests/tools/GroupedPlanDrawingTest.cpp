// Objects in groups drawn in the plan: each member is drawn as it is drawn alone (wall bands,
// fills and dimensions, openings, the parts of paths, edging, staircases and decks, every kind
// the tools make), in a group and in groups within groups, whatever tab the group was made in,
// in every plan tab, on the current floor and on another, at two plan scales and in both unit
// systems, over the whole plan and over a band of it; fixed components drawn in their plans;
// read from a recording context.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "files/DesignFile.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
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

  // A band of the plan redrawn as the view redraws it, one line of text per call.
  std::vector<std::string> drawnIn(const NSRect& band) {
    ctx.clear();
    planView->draw3D(&band, kDrawFlagAll);
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
// the objects stood). The group made in three plan tabs, the groups three deep in three others:
// drawn with every plan shown and in each tab, with that floor current and with the First Floor
// current (in the inactive-floor colour), at two plan scales and zooms, in inches and in metres.
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
  DocState* ds = doc.ds();
  const int32_t allPlans = ds->currentPlanMask;
  std::vector<Setting> settings;
  for (Layer* current : {second, first})
    for (auto [scale, zoom] : {std::pair{36.0f, 0.6f}, std::pair{96.0f, 1.5f}})
      settings.push_back({current, scale, zoom,
                          (current == second) == (scale == 36) ? kMeasureImperial : kMeasureMetric, allPlans});
  // Each tab's plans (the kinds of some tabs left out), each set of plans once.
  for (int tab = 0; tab < kPlanKindCount; ++tab) {
    const int32_t plans = ds->planMasks[tab];
    if (std::none_of(settings.begin(), settings.end(), [&](const Setting& s) { return s.plans == plans; }))
      settings.push_back({second, 36, 0.6f, kMeasureImperial, plans});
  }
  ASSERT_GE(settings.size(), 10u);
  settings.push_back({first, 96, 1.5f, kMeasureMetric, ds->planMasks[kPlanElectrical]});
  ASSERT_NE(ds->planMasks[kPlanElectrical], allPlans);

  auto drawEach = [&]() {
    std::vector<std::vector<std::string>> out;
    for (const Setting& s : settings) {
      doc.model.itsCurLayer = s.current;
      ds->planScale = s.planScale;
      ds->zoomFactor = s.zoom;
      ds->measureSystem = s.system;
      ds->currentPlanMask = s.plans;
      out.push_back(drawn());
      ds->currentPlanMask = allPlans;
    }
    return out;
  };
  const auto alone = drawEach();
  // Not an empty comparison: the walls' bands are filled and the decks hatched.
  doc.model.itsCurLayer = second;
  ds->planScale = 36;
  ds->zoomFactor = 0.6f;
  ds->measureSystem = kMeasureImperial;
  drawn();
  EXPECT_GT(CountKind(ctx, Kind::FillPath), 3u);
  EXPECT_GE(CountKind(ctx, Kind::FillPath, true), 1u);
  EXPECT_GE(CountKind(ctx, Kind::Text), 4u);

  // One group, made in the Foundation, Roofing and Detail tabs (the plans of each leave out
  // most kinds).
  std::vector<std::vector<std::vector<std::string>>> grouped;
  const int madeIn[] = {kPlanFoundation, kPlanRoofing, kPlanDetail};
  for (int tab : madeIn) {
    ds->newObjectPlanMask = 1 << tab;
    Objex* all = group(objects);
    ASSERT_NE(all, nullptr);
    ASSERT_EQ(second->firstObject, all);
    ASSERT_EQ(all->next, nullptr);
    grouped.push_back(drawEach());
    ungroupAll(second);
    ASSERT_EQ(TopLevel(second), objects);
  }

  // Three deep, each made in another tab: the last third in a group, that and the middle third
  // in another, all in a third.
  const size_t third = objects.size() / 3;
  ds->newObjectPlanMask = 1 << kPlanLandscape;
  Objex* inner = group(std::vector<Objex*>(objects.end() - static_cast<std::ptrdiff_t>(third), objects.end()));
  std::vector<Objex*> middle(objects.begin() + static_cast<std::ptrdiff_t>(third),
                             objects.end() - static_cast<std::ptrdiff_t>(third));
  middle.push_back(inner);
  ds->newObjectPlanMask = 1 << kPlanElectrical;
  Objex* mid = group(middle);
  std::vector<Objex*> outer(objects.begin(), objects.begin() + static_cast<std::ptrdiff_t>(third));
  outer.push_back(mid);
  ds->newObjectPlanMask = 1 << kPlanRoofing;
  Objex* top = group(outer);
  ds->newObjectPlanMask = 1 << kPlanFloor;
  ASSERT_EQ(second->firstObject, top);
  ASSERT_EQ(inner->parent, mid);
  ASSERT_EQ(mid->parent, top);
  const auto nested = drawEach();

  for (size_t i = 0; i < settings.size(); ++i) {
    SCOPED_TRACE(testing::Message() << (settings[i].current == second ? "its floor current" : "another floor current")
                                    << ", scale " << settings[i].planScale << ", "
                                    << (settings[i].system == kMeasureMetric ? "metric" : "imperial") << ", plans "
                                    << settings[i].plans);
    for (size_t tab = 0; tab < grouped.size(); ++tab) {
      SCOPED_TRACE(testing::Message() << "one group made in tab " << madeIn[tab]);
      ExpectSameDrawing(alone[i], grouped[tab][i]);
    }
    {
      SCOPED_TRACE("groups three deep");
      ExpectSameDrawing(alone[i], nested[i]);
    }
  }
}

// Walls grouped without the roofs over them: the group stands where the first wall stood, so the
// walls' bands are drawn under the roofs' labels as they are alone, in the tabs that show the
// roofs and in one that does not.
TEST_F(GroupedPlanDrawing, GroupedWallsAreDrawnUnderTheRoofsLeftOutOfTheGroup) {
  open("every-kind-grouped-second-floor.pro");
  Layer* second = floorNamed("Second Floor");
  ASSERT_NE(second, nullptr);
  doc.model.itsCurLayer = second;
  ungroupAll(second);
  std::vector<Objex*> walls;
  bool roofAfter = false;
  for (Objex* o : TopLevel(second)) {
    if (o->type == kObjWall && !roofAfter) walls.push_back(o);
    roofAfter = roofAfter || (!walls.empty() && o->type == kObjRoof);
  }
  ASSERT_GE(walls.size(), 2u);
  ASSERT_TRUE(roofAfter);
  DocState* ds = doc.ds();
  const int tabs[] = {kPlanFloor, kPlanRoofing, kPlanElectrical};
  std::vector<std::vector<std::string>> alone;
  for (int tab : tabs) {
    ds->currentPlanMask = ds->planMasks[tab];
    alone.push_back(drawn());
  }
  ds->newObjectPlanMask = 1 << kPlanRoofing;
  Objex* g = group(walls);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(second->firstObject, g);
  for (size_t i = 0; i < alone.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "tab " << tabs[i]);
    ds->currentPlanMask = ds->planMasks[tabs[i]];
    ExpectSameDrawing(alone[i], drawn());
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

// A redraw of a band of the plan (after a small scroll, or where an overlay uncovered it) draws
// what reaches the band of the members of a group as it draws it of them alone: their dimension
// lines and the outer edges of the walls' bands above them, and whatever crosses a band through
// the middle. The tester's walls (two of them in a group on each floor; at two zooms) and the
// every-kind design, as read (in a group) and nested.
TEST_F(GroupedPlanDrawing, ABandOfThePlanRedrawsWhatTheGroupedMembersDrawInIt) {
  struct Design {
    const char* file;
    const char* floor;
    bool zoomedIn;  // drawn zoomed in too
  };
  for (const Design& d : {Design{"ceiling-grouped-walls.pro", "First Floor", true},
                          Design{"every-kind-grouped-second-floor.pro", "Second Floor", false}}) {
    SCOPED_TRACE(d.file);
    open(d.file);
    Layer* floor = floorNamed(d.floor);
    ASSERT_NE(floor, nullptr);
    doc.model.itsCurLayer = floor;
    Objex* read = nullptr;
    for (Objex* o = floor->firstObject; o; o = o->next)
      if (o->type == kObjGroup) read = o;
    ASSERT_NE(read, nullptr);
    deselectAll();
    // The band as the tester redrew it (view y -60 to -1, over the plan's width), one just
    // above the group's members and one through them.
    const Float3DRect box = read->bounds3D;
    const float top = ZoomF(box.floatBack), bottom = ZoomF(box.floatFront);
    const NSRect bands[] = {NSMakeRect(-20000, -60, 40000, 59), NSMakeRect(-20000, top - 60, 40000, 59),
                            NSMakeRect(-20000, (top + bottom) / 2 - 20, 40000, 40)};
    DocState* ds = doc.ds();
    auto drawEach = [&]() {
      std::vector<std::vector<std::string>> out;
      for (float zoom : {ds->zoomFactor, ds->zoomFactor * 2})
        for (const NSRect& band : bands) {
          if (zoom != ds->zoomFactor && !d.zoomedIn) continue;
          const float saved = ds->zoomFactor;
          ds->zoomFactor = zoom;
          out.push_back(drawnIn(band));
          ds->zoomFactor = saved;
          // The same calls, in the order of the floor's list.
          std::sort(out.back().begin(), out.back().end());
        }
      return out;
    };
    const auto grouped = drawEach();
    ungroupAll(floor);
    const std::vector<Objex*> objects = TopLevel(floor);
    const auto alone = drawEach();
    // The band above the walls holds their dimension lines.
    EXPECT_GE(alone[1].size(), 4u);
    // Two deep.
    std::vector<Objex*> last(objects.begin() + static_cast<std::ptrdiff_t>(objects.size() / 2), objects.end());
    Objex* inner = group(last);
    std::vector<Objex*> outer(objects.begin(), objects.begin() + static_cast<std::ptrdiff_t>(objects.size() / 2));
    outer.push_back(inner);
    group(outer);
    const auto nested = drawEach();
    for (size_t i = 0; i < alone.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "band " << i % 3 << (i < 3 ? "" : ", zoomed in"));
      ExpectSameDrawing(alone[i], grouped[i]);
      ExpectSameDrawing(alone[i], nested[i]);
    }
  }
}

// Every fixed component placed with its tool (the floor and ceiling receptacles, each fixture
// light, the ceiling fan, the floor drain, the water heater, the floor and ceiling registers,
// the air return and the three HVAC units) is drawn in each tab that shows its plan, as its
// symbol's outline where the tool placed it, and in no other tab; drawn with its floor current
// and from another floor, at two plan scales; and drawn the same with a wall in a group made in
// a tab that shows none of them, and in a group within another.
TEST_F(GroupedPlanDrawing, EveryFixedComponentIsDrawnInItsPlanAloneAndInGroups) {
  struct Case {
    uint16_t tool;
    int32_t style;  // the floor receptacles' style (9: in the ceiling), or the light's type
    int16_t kind;
  };
  const Case cases[] = {
      {kToolFloorCeilingReceptacle110, 8, 68}, {kToolFloorCeilingReceptacle110, 9, 69},
      {kToolFloorCeilingReceptacle220, 8, 71}, {kToolFloorCeilingReceptacle220, 9, 72},
      {kToolFixtureLight, 79, 79},  {kToolFixtureLight, 80, 80},  {kToolFixtureLight, 81, 81},
      {kToolFixtureLight, 82, 82},  {kToolFixtureLight, 146, 146}, {kToolFixtureLight, 147, 147},
      {kToolFixtureLight, 148, 148}, {kToolFixtureLight, 149, 149}, {kToolFixtureLight, 150, 150},
      {kToolFixtureLight, 151, 151}, {kToolFixtureLight, 152, 152}, {kToolCeilingFan, 0, 88},
      {kToolFloorDrain, 0, 110},    {kToolWaterHeater, 0, 98},    {kToolFloorRegister, 0, 118},
      {kToolCeilingRegister, 0, 119}, {kToolAirReturn, 0, 120},   {kToolFurnace, 0, 121},
      {kToolAirConditioner, 0, 122}, {kToolHeatPump, 0, 123}};
  Objex* const saved2D = gSymbol2DList;
  gSymbol2DList = OneSquareSymbolList({68, 69, 71, 72, 79, 80, 81, 82, 146, 147, 148, 149, 150, 151, 152, 88, 110,
                                       98, 118, 119, 120, 121, 122, 123});
  DocState* ds = doc.ds();
  for (Layer* l = doc.model.itsLayers; l; l = l->next) l->visible = 1;
  doc.model.itsCurLayer = doc.first;
  ds->snapToGrid = 0;
  // A row of components on the First Floor, each placed with its tool.
  std::vector<Objex*> components;
  for (const Case& c : cases) {
    ds->receptacleStyle2 = c.style;
    ds->lightType = c.style;
    gCurTool = c.tool;
    const int32_t x = 100 + 60 * static_cast<int32_t>(components.size());
    TrackObject(x, 60, static_cast<float>(x), 0, 60, kTrackEnd);
    Objex* placed = LastObjectOfLayer(doc.first);
    ASSERT_NE(placed, nullptr);
    ASSERT_EQ(placed->type, kObjGroup);
    ASSERT_EQ(placed->textureID, c.kind);
    ASSERT_TRUE(components.empty() || placed != components.back());
    components.push_back(placed);
  }
  gCurTool = kToolSelection;

  struct Setting {
    Layer* current;
    float planScale, zoom;
  };
  const Setting settings[] = {{doc.first, 36, 0.6f}, {doc.second, 96, 1.5f}};
  // The plan in each tab under each setting, and which components show in each: those with a
  // drawing call inside their symbol's box.
  std::vector<std::vector<bool>> shown;
  auto drawEach = [&]() {
    std::vector<std::vector<std::string>> out;
    shown.clear();
    for (const Setting& s : settings)
      for (int tab = 0; tab < kPlanKindCount; ++tab) {
        doc.model.itsCurLayer = s.current;
        ds->planScale = s.planScale;
        ds->zoomFactor = s.zoom;
        ds->currentPlanMask = ds->planMasks[tab];
        out.push_back(drawn());
        shown.emplace_back();
        for (const Objex* o : components) {
          const Float3DRect& b = o->bounds3D;
          const float left = ZoomF(b.floatLeft) - 1, right = ZoomF(b.floatRight) + 1;
          const float top = ZoomF(b.floatBack) - 1, bottom = ZoomF(b.floatFront) + 1;
          bool inside = false;
          for (const auto& call : ctx.calls)
            for (const NSPoint& p : call.points)
              inside = inside || (p.x >= left && p.x <= right && p.y >= top && p.y <= bottom);
          shown.back().push_back(inside);
        }
      }
    doc.model.itsCurLayer = doc.first;
    ds->planScale = 36;
    ds->zoomFactor = 0.6f;
    ds->currentPlanMask = 511;
    return out;
  };
  const auto alone = drawEach();
  for (size_t i = 0; i < shown.size(); ++i)
    for (size_t k = 0; k < components.size(); ++k) {
      const int tab = static_cast<int>(i) % kPlanKindCount;
      EXPECT_EQ(shown[i][k], (ds->planMasks[tab] & components[k]->planMask) != 0)
          << "symbol " << cases[k].kind << ", tab " << tab << (i < kPlanKindCount ? "" : ", from another floor");
    }

  // With a wall: alone, then all in a group made in a tab that shows none of the components,
  // then that group in another.
  Objex* wall = AddTestWall(doc, {{0, 400}, {300, 400}}, false, 6);
  wall->planMask = 1 << kPlanFloor;
  std::vector<Objex*> all = components;
  all.push_back(wall);
  const auto withWall = drawEach();
  ds->newObjectPlanMask = 1 << kPlanLandscape;
  for (const Objex* o : components) ASSERT_FALSE(ds->planMasks[kPlanLandscape] & o->planMask);
  Objex* inner = group(all);
  ASSERT_NE(inner, nullptr);
  const auto grouped = drawEach();
  ds->newObjectPlanMask = 1 << kPlanDeck;
  group({inner});
  ds->newObjectPlanMask = 1 << kPlanFloor;
  const auto nested = drawEach();
  for (size_t i = 0; i < withWall.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "tab " << i % kPlanKindCount
                                    << (i < kPlanKindCount ? "" : ", from another floor"));
    ExpectSameDrawing(withWall[i], grouped[i]);
    ExpectSameDrawing(withWall[i], nested[i]);
  }
  DeleteSymbolList(gSymbol2DList);
  gSymbol2DList = saved2D;
}
