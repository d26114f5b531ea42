// A floor's ceiling height set with its sheet: the floors above stand on it, so their 3D rises
// or sinks by the change (the floor's own walls keep their feet, and their tops when these did
// not reach the ceiling), whether the value is typed and sent with Return or the OK button is
// clicked; one undo step, which undo and redo step.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cfloat>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "LiveViewTestSupport.h"
#include "RedWalls.h"
#include "app/PlanViewActions.h"
#include "app/ZLKWindowController.h"
#include "building3d/PlaneObjects.h"
#include "building3d/Roofs3D.h"
#include "files/Undo.h"
#include "inspectors/PlanSettingsSheets.h"
#include "inspectors/SheetController.h"
#include "inspectors/ValueFields.h"
#include "model/Delete.h"
#include "model/Grouping.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/WallFields.h"

namespace {

using namespace red_walls;

class CeilingHeightTest : public LiveViewTest {
 protected:
  Layer* floor(const char* name) const { return GetLayerFromName(name); }

  // A wall on the floor, standing on its base.
  void addWallOn(Layer* layer, float z) {
    model->itsCurLayer = layer;
    Objex* wall = AddRedWall(model, {{-150, z}, {150, z}});
    const float base = GetLayerAbsBaseHeight(layer);
    for (Poinz* p = wall->firstPoint; p; p = p->next) BaseElevationOf(p) = base;
    wall->baseElevation = base;
    Update3DWall(wall);
    model->itsCurLayer = model->itsLayers;
  }
  // The lowest and highest vertex height (screen units, up negative) of the 3D built for the
  // wall.
  static std::pair<float, float> WallSpan(const Objex* wall) {
    float low = FLT_MAX, high = -FLT_MAX;
    for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
      if (po->base2DObject != wall) continue;
      for (const Plane* plane = po->planes; plane; plane = plane->next)
        for (int32_t i = 0; i < plane->vertexCount; ++i) {
          low = std::min(low, plane->vertices[i].y);
          high = std::max(high, plane->vertices[i].y);
        }
    }
    return {low, high};
  }
  // Every object of every floor deleted.
  void clearLayers() {
    for (Layer* l = model->itsLayers; l; l = l->next)
      while (l->firstObject) {
        Objex* o = l->firstObject;
        UnlinkObject(o);
        DeleteObj(o);
      }
  }
  // Undo (or redo) through the design's history: the design is read back from its snapshot.
  void stepHistory(bool redo) {
    if (redo) doc->undoManager().redo();
    else doc->undoManager().undo();
    model = doc->documentModel();
    ds = model->itsDocState;
  }
  void openSheet(int32_t tag = kTagCeilingHeightFirstFloor) {
    gCurDocument = model;
    window->planViewActions().perform(tag);
    SheetController* s = SheetController::attachedSheet(window);
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(s));
    s->activateWindow();
    QApplication::processEvents();
  }
  // Types into whatever has the keyboard when the sheet opens, then Return.
  void typeAndReturn(const char* text) {
    openSheet();
    // The window system hands the sheet the keyboard in its own time.
    QWidget* focus = nullptr;
    QTest::qWaitFor([&] { return (focus = QApplication::focusWidget()) != nullptr; }, 5000);
    ASSERT_NE(focus, nullptr);
    QTest::keyClicks(focus, text);
    QTest::keyClick(focus, Qt::Key_Return);
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void typeAndClickOK(const char* text, int32_t tag = kTagCeilingHeightFirstFloor) {
    openSheet(tag);
    auto* s = qobject_cast<CeilingHeightController*>(SheetController::attachedSheet(window));
    ASSERT_NE(s, nullptr);
    s->heightText->setText(text);
    s->okButton()->click();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

TEST_F(CeilingHeightTest, TheFloorsAboveFollowTheCeilingFromTheFieldAndTheButtonWithOneUndoStep) {
  struct System {
    bool metric;
    float start;                  // the first floor's height, inches
    const char *typed, *clicked;  // a new height sent with Return, then one with OK
    float typedInches, clickedInches;
  };
  const System systems[] = {{false, 96, "106\"", "8'", 106, 96},
                            {true, 240 / 2.54f, "270 cm", "2.5 m", 270 / 2.54f, 250 / 2.54f}};
  const int16_t scales[] = {8, 9, 10, 11};
  ds->planBounds = FloatRect{-2400, -2400, 2400, 2400};
  window->show();
  QApplication::setActiveWindow(window);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  ASSERT_TRUE(showLiveViewAt(320, 240));
  for (const System& system : systems)
    for (const int16_t scale : scales) {
      SCOPED_TRACE(std::string(system.metric ? "metric" : "imperial") + " scale " + std::to_string(scale));
      clearLayers();
      ds->measureSystem = system.metric ? kMeasureMetric : kMeasureImperial;
      ds->metricReadout = kReadoutFlagCentimeters;
      ds->planScaleChoice = scale;
      floor("First Floor")->height = system.start;
      floor("Second Floor")->height = system.metric ? 250 / 2.54f : 100;  // floors of their own heights
      addWallOn(floor("First Floor"), 1700);
      addWallOn(floor("Second Floor"), 1700);
      addWallOn(floor("Third Floor"), 1700);
      RenderAllLayers();
      StoreUndo("Walls");
      const char* const names[] = {"First Floor", "Second Floor", "Third Floor"};
      std::pair<float, float> at[3];
      for (int i = 0; i < 3; ++i) at[i] = WallSpan(floor(names[i])->firstObject);
      ASSERT_LT(at[1].first, at[0].first);  // the second floor stands higher (up is negative)

      // Each step's floors: the two above move by the change in screen units; the first's wall
      // (96 high) keeps its foot, and its top follows the ceiling where it reached it (8').
      const bool reached = !system.metric;
      auto expectSpans = [&](float height, const char* when) {
        const float rise = ConvertWorldToScreen(height - system.start, ds, 0);
        for (int i = 0; i < 3; ++i) {
          const auto now = WallSpan(floor(names[i])->firstObject);
          EXPECT_NEAR(at[i].first - now.first, i > 0 || reached ? rise : 0, 0.01f) << when << " " << names[i];
          EXPECT_NEAR(at[i].second - now.second, i > 0 ? rise : 0, 0.01f) << when << " " << names[i];
        }
        EXPECT_NEAR(floor("First Floor")->height, height, 0.01f) << when;
      };

      typeAndReturn(system.typed);
      EXPECT_EQ(doc->undoManager().undoActionName(), "First Floor Ceiling Height");
      expectSpans(system.typedInches, "Return");

      stepHistory(false);
      expectSpans(system.start, "undo");
      EXPECT_EQ(doc->undoManager().undoActionName(), "Walls");
      stepHistory(true);
      expectSpans(system.typedInches, "redo");

      typeAndClickOK(system.clicked);
      expectSpans(system.clickedInches, "OK");
      stepHistory(false);
      expectSpans(system.typedInches, "undo of OK");
      doc->undoManager().removeAllActions();
    }
}

// Each floor's item of the menu opens the sheet of that floor, showing its own height, and
// sets that floor alone, with an undo step of its name that puts it back.
TEST_F(CeilingHeightTest, EachFloorsItemSetsThatFloorAlone) {
  window->show();
  QApplication::setActiveWindow(window);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  const char* const names[] = {"First Floor", "Second Floor", "Third Floor"};
  const int32_t tags[] = {kTagCeilingHeightFirstFloor, kTagCeilingHeightFirstFloor + 1, kTagCeilingHeightThirdFloor};
  const float heights[] = {96, 100, 104};
  for (int chosen = 0; chosen < 3; ++chosen) {
    SCOPED_TRACE(names[chosen]);
    for (int i = 0; i < 3; ++i) floor(names[i])->height = heights[i];
    StoreUndo("Heights");
    gCurDocument = model;
    window->planViewActions().perform(tags[chosen]);
    auto* s = qobject_cast<CeilingHeightController*>(SheetController::attachedSheet(window));
    ASSERT_NE(s, nullptr);
    EXPECT_NEAR(GetFloatItem(s->heightText), heights[chosen], 0.01f);
    s->heightText->setText("9'");
    s->okButton()->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(floor(names[i])->height, i == chosen ? 108 : heights[i], 0.01f) << names[i];
    EXPECT_EQ(doc->undoManager().undoActionName(), std::string(names[chosen]) + " Ceiling Height");
    stepHistory(false);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(floor(names[i])->height, heights[i], 0.01f) << names[i];
  }
}

}  // namespace

namespace {

using namespace red_walls;

// The walls of a floor whose tops stood at its ceiling follow a new ceiling height, raised or
// lowered, so the floor above still stands on them; a wall or a segment given a height of its
// own keeps it. One undo step puts back the floors and the walls, and redo makes the change
// again. Both unit systems, two plan scales.
class CeilingHeightWalls : public CeilingHeightTest {
 protected:
  // A wall through the points on the floor, standing on its base, every segment `height`
  // high (inches).
  Objex* wallOn(Layer* layer, std::initializer_list<std::pair<float, float>> points, float height) {
    model->itsCurLayer = layer;
    Objex* wall = AddRedWall(model, points);
    const float base = GetLayerAbsBaseHeight(layer);
    for (Poinz* p = wall->firstPoint; p; p = p->next) {
      BaseElevationOf(p) = base;
      WallHeightOf(p) = height;
    }
    wall->baseElevation = base;
    Update3DWall(wall);
    model->itsCurLayer = model->itsLayers;
    return wall;
  }
  static std::vector<float> Heights(const Objex* wall) {
    std::vector<float> h;
    for (Poinz* p = wall->firstPoint; p; p = p->next) h.push_back(WallHeightOf(p));
    return h;
  }
  // The objects, moved from the layer's list into a new group of base elevation `base`.
  static Objex* groupOf(Layer* layer, std::initializer_list<Objex*> members, float base) {
    RGBColor white{65535, 65535, 65535};
    FloatRect zero{};
    gGroupLeader = CreateObject(kObjGroup, 0, 0, &white, &white, 0, 6, 0, &zero, nullptr, nullptr, nullptr, layer,
                                nullptr);
    AppendObjectToLayer(gGroupLeader, layer);
    gGroupLeader->baseElevation = base;
    for (Objex* m : members) GroupObject(m);
    Objex* group = gGroupLeader;
    gGroupLeader = nullptr;
    UpdateObjectBounds(group);
    return group;
  }
  // The walls and the groups of the object's tree.
  static void Collect(Objex* o, std::vector<Objex*>* walls, std::vector<Objex*>* groups) {
    if (o->type == kObjWall) walls->push_back(o);
    if (o->type != kObjGroup) return;
    groups->push_back(o);
    for (Objex* c = o->firstChild; c; c = c->next) Collect(c, walls, groups);
  }
  // The roofs of the object's tree.
  static void CollectRoofs(Objex* o, std::vector<Objex*>* roofs) {
    if (o->type == kObjRoof) roofs->push_back(o);
    if (o->type != kObjGroup) return;
    for (Objex* c = o->firstChild; c; c = c->next) CollectRoofs(c, roofs);
  }
  // The n-th wall of the floor (the records change with each undo and redo).
  Objex* nth(const char* name, int n) {
    Objex* o = floor(name)->firstObject;
    while (o && n-- > 0) o = o->next;
    return o;
  }
};

TEST_F(CeilingHeightWalls, WallsAtTheCeilingFollowItWallsOfTheirOwnHeightStayAndUndoPutsAllBack) {
  struct Change {
    bool metric;
    float from, to;    // the first floor's height, inches
    const char* typed;  // the new height as typed
    float own;          // a wall height of its own, inches
  };
  const Change changes[] = {{true, 240 / 2.54f, 270 / 2.54f, "270 cm", 100 / 2.54f},
                            {true, 270 / 2.54f, 240 / 2.54f, "2.4 m", 100 / 2.54f},
                            {false, 96, 108, "9'", 42},
                            {false, 108, 90, "7' 6\"", 42}};
  const float scales[] = {36, 100};  // inches of the world per 72 plan units
  window->show();
  QApplication::setActiveWindow(window);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  ASSERT_TRUE(showLiveViewAt(320, 240));
  for (const Change& change : changes)
    for (const float scale : scales) {
      SCOPED_TRACE(std::string(change.typed) + " plan scale " + std::to_string(scale));
      clearLayers();
      ds->measureSystem = change.metric ? kMeasureMetric : kMeasureImperial;
      ds->metricReadout = kReadoutFlagCentimeters;
      ds->planScale = scale;
      floor("First Floor")->height = change.from;
      floor("Second Floor")->height = change.metric ? 250 / 2.54f : 100;
      // First floor: a wall at the ceiling, one of its own height, and one whose first segment
      // reaches the ceiling and whose second is lower. Second floor: one at its own ceiling.
      wallOn(floor("First Floor"), {{-150, 1700}, {150, 1700}}, change.from);
      wallOn(floor("First Floor"), {{-150, 1600}, {150, 1600}}, change.own);
      Objex* mixed = wallOn(floor("First Floor"), {{-150, 1500}, {0, 1500}, {150, 1500}}, change.from);
      WallHeightOf(mixed->firstPoint->next) = change.own;
      Update3DWall(mixed);
      wallOn(floor("First Floor"), {{-150, 1400}, {150, 1400}}, change.from - 0.01f);  // just short of it
      wallOn(floor("Second Floor"), {{-150, 1700}, {150, 1700}}, floor("Second Floor")->height);
      RenderAllLayers();
      StoreUndo("Walls");

      auto expectWalls = [&](float ceiling, const char* when) {
        SCOPED_TRACE(when);
        EXPECT_NEAR(floor("First Floor")->height, ceiling, 1e-3);
        const std::vector<float> atCeiling = Heights(nth("First Floor", 0));
        for (float h : atCeiling) EXPECT_NEAR(h, ceiling, 1e-3);
        for (float h : Heights(nth("First Floor", 1))) EXPECT_NEAR(h, change.own, 1e-3);
        const std::vector<float> m = Heights(nth("First Floor", 2));
        ASSERT_EQ(m.size(), 3u);
        EXPECT_NEAR(m[0], ceiling, 1e-3);
        EXPECT_NEAR(m[1], change.own, 1e-3);
        for (float h : Heights(nth("First Floor", 3))) EXPECT_NEAR(h, change.from - 0.01f, 1e-4);
        Objex* upper = nth("Second Floor", 0);
        for (float h : Heights(upper)) EXPECT_NEAR(h, floor("Second Floor")->height, 1e-3);
        EXPECT_NEAR(BaseElevationOf(upper->firstPoint), ceiling, 1e-3);
        // In 3D the first floor's wall reaches up to where the second floor's wall stands, and
        // on through the floor's depth (up is negative).
        const auto lower = WallSpan(nth("First Floor", 0)), above = WallSpan(upper);
        const float depth = ConvertWorldToScreen(FloorDepthOf(nth("First Floor", 0)), ds, 0);
        EXPECT_NEAR(lower.first, above.second - depth, 0.01f) << "a gap between the floors";
      };
      expectWalls(change.from, "before");
      typeAndReturn(change.typed);
      EXPECT_EQ(doc->undoManager().undoActionName(), "First Floor Ceiling Height");
      expectWalls(change.to, "set");
      stepHistory(false);
      EXPECT_EQ(doc->undoManager().undoActionName(), "Walls");
      expectWalls(change.from, "undone");
      stepHistory(true);
      expectWalls(change.to, "redone");
      doc->undoManager().removeAllActions();
      if (HasFailure()) return;
    }
}

// The walls of each floor in turn, alone, in a group and in a group in that group, stand at
// their floor's ceiling; the ceiling raised and lowered, in both unit systems: they follow it,
// the floors above carry theirs (each group and each wall moved once) and the 3D follows; one
// undo step puts all back and redo makes the change again.
TEST_F(CeilingHeightWalls, WallsInGroupsOnEveryFloorFollowItsCeilingAndTheFloorsAboveCarryThem) {
  struct System {
    bool metric;
    float scale;       // inches of the world per 72 plan units
    float heights[3];  // the floors' heights, inches
    const char* typed[2];
    float inches[2];
  };
  const System systems[] = {{false, 36, {96, 100, 90}, {"110\"", "80\""}, {110, 80}},
                            {true, 100, {240 / 2.54f, 250 / 2.54f, 230 / 2.54f}, {"270 cm", "2.2 m"}, {270 / 2.54f, 220 / 2.54f}}};
  const char* const names[] = {"First Floor", "Second Floor", "Third Floor"};
  window->show();
  QApplication::setActiveWindow(window);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  ASSERT_TRUE(showLiveViewAt(320, 240));
  for (const System& system : systems)
    for (int changed = 0; changed < 3; ++changed)
      for (int step = 0; step < 2; ++step) {
        SCOPED_TRACE(std::string(names[changed]) + " to " + system.typed[step]);
        clearLayers();
        ds->measureSystem = system.metric ? kMeasureMetric : kMeasureImperial;
        ds->metricReadout = kReadoutFlagCentimeters;
        ds->planScale = system.scale;
        for (int i = 0; i < 3; ++i) floor(names[i])->height = system.heights[i];
        for (int i = 0; i < 3; ++i) {
          Layer* layer = floor(names[i]);
          const float base = GetLayerAbsBaseHeight(layer);
          wallOn(layer, {{-150, 1700}, {150, 1700}}, layer->height);
          Objex* inner = groupOf(layer, {wallOn(layer, {{-150, 1500}, {150, 1500}}, layer->height)}, base);
          groupOf(layer, {wallOn(layer, {{-150, 1600}, {150, 1600}}, layer->height), inner}, base);
        }
        RenderAllLayers();
        StoreUndo("Walls");

        auto expectFloors = [&](float changedHeight, const char* when) {
          SCOPED_TRACE(when);
          float base = 0;
          for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(names[i]);
            const float height = i == changed ? changedHeight : system.heights[i];
            Layer* layer = floor(names[i]);
            EXPECT_NEAR(layer->height, height, 1e-3);
            std::vector<Objex*> walls, groups;
            for (Objex* o = layer->firstObject; o; o = o->next) Collect(o, &walls, &groups);
            ASSERT_EQ(walls.size(), 3u);
            // A design read back from its undo step keeps the group in the group.
            ASSERT_EQ(groups.size(), 2u);
            for (Objex* g : groups) EXPECT_NEAR(g->baseElevation, base, 1e-3) << "a group";
            for (Objex* w : walls) {
              EXPECT_NEAR(w->baseElevation, base, 1e-3);
              for (Poinz* p = w->firstPoint; p; p = p->next) {
                EXPECT_NEAR(BaseElevationOf(p), base, 1e-3);
                EXPECT_NEAR(WallHeightOf(p), height, 1e-3);
              }
              // In 3D from the floor's base up to its ceiling, and on through the floor's depth.
              const auto span = WallSpan(w);
              EXPECT_NEAR(span.second, -ConvertWorldToScreen(base, ds, 0), 0.01f);
              EXPECT_NEAR(span.first, -ConvertWorldToScreen(base + height + FloorDepthOf(w), ds, 0), 0.01f);
            }
            base += height;
          }
        };
        expectFloors(system.heights[changed], "before");
        typeAndClickOK(system.typed[step], kTagCeilingHeightFirstFloor + changed);
        EXPECT_EQ(doc->undoManager().undoActionName(), std::string(names[changed]) + " Ceiling Height");
        expectFloors(system.inches[step], "set");
        stepHistory(false);
        EXPECT_EQ(doc->undoManager().undoActionName(), "Walls");
        expectFloors(system.heights[changed], "undone");
        stepHistory(true);
        expectFloors(system.inches[step], "redone");
        doc->undoManager().removeAllActions();
        if (HasFailure()) return;
      }
}

// The tester's design: on the first floor (96") a wall alone, two walls in a group and a wall
// with a sloped top; on the second a wall alone and one in a group. The first floor's ceiling
// to 120" and to 60": the walls at it follow, grouped or not, the sloped one keeps its height,
// and the second floor's walls, grouped or not, stand on the new ceiling, in the model and in
// 3D; undo and redo step through both.
TEST_F(CeilingHeightWalls, TheTestersGroupedWallsFollowTheFirstFloorsCeiling) {
  openRegressionDesign("ceiling-grouped-walls.pro");
  RenderAllLayers();
  StoreUndo("Opened");
  auto expectCeiling = [&](float ceiling, const char* when) {
    SCOPED_TRACE(when);
    std::vector<Objex*> first, upper, groups;
    for (Objex* o = floor("First Floor")->firstObject; o; o = o->next) Collect(o, &first, &groups);
    for (Objex* o = floor("Second Floor")->firstObject; o; o = o->next) Collect(o, &upper, &groups);
    ASSERT_EQ(first.size(), 4u);
    ASSERT_EQ(upper.size(), 2u);
    for (Objex* w : first) {
      const bool sloped = WallStyleOf(w->firstPoint) != 0;
      EXPECT_NEAR(WallHeightOf(w->firstPoint), sloped ? 96 : ceiling, 1e-3) << "a first-floor wall";
      if (sloped) continue;
      const float depth = FloorDepthOf(w);
      EXPECT_NEAR(WallSpan(w).first, -ConvertWorldToScreen(ceiling + depth, ds, 0), 0.01f) << "a first-floor wall";
    }
    for (Objex* w : upper) {
      EXPECT_NEAR(BaseElevationOf(w->firstPoint), ceiling, 1e-3) << "a second-floor wall";
      EXPECT_NEAR(WallSpan(w).second, -ConvertWorldToScreen(ceiling, ds, 0), 0.01f) << "a second-floor wall";
    }
  };
  expectCeiling(96, "opened");
  typeAndClickOK("120");
  expectCeiling(120, "raised");
  stepHistory(false);
  expectCeiling(96, "undone");
  stepHistory(true);
  expectCeiling(120, "redone");
  typeAndClickOK("60");
  expectCeiling(60, "lowered");
  stepHistory(false);
  expectCeiling(120, "lowering undone");
}

// A house on the first floor and one on the second, each of four walls at its floor's ceiling
// under a gable roof whose eaves stand on them and a higher roof a foot above the ceiling;
// alone or grouped with its walls. The first or the second floor's ceiling raised and
// lowered, in both unit systems: that floor's walls and their roof go up or down together, in
// the model and in 3D, the higher roof stays, the floor above carries its house once; one undo
// step puts walls and roofs back, and redo makes the change again.
TEST_F(CeilingHeightWalls, AGableRoofOnTheWallsGoesWithTheCeiling) {
  struct System {
    bool metric;
    float heights[2];  // the first and second floors' heights, inches
    const char* typed[2];
    float inches[2];
  };
  const System systems[] = {{false, {96, 100}, {"110\"", "80\""}, {110, 80}},
                            {true, {240 / 2.54f, 250 / 2.54f}, {"270 cm", "2.2 m"}, {270 / 2.54f, 220 / 2.54f}}};
  const char* const names[] = {"First Floor", "Second Floor"};
  constexpr float kHigher = 12;  // the higher roof's eaves above the ceiling, inches
  window->show();
  QApplication::setActiveWindow(window);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  ASSERT_TRUE(showLiveViewAt(320, 240));
  // A gable roof over the house, pitch 6 (4 for the higher one), its eaves at `base`.
  auto roofOn = [&](Layer* layer, float base, float pitch) {
    RGBColor black{};
    Objex* roof = CreateObject(kObjRoof, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr);
    for (auto [x, z] : {std::pair{-170.0f, 1480.0f}, {170, 1480}, {170, 1720}, {-170, 1720}})
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, roof), roof);
    roof->width = pitch;
    roof->textureID = 2;
    roof->planMask = 16;
    roof->baseElevation = base;
    AppendObjectToLayer(roof, layer);
    UpdateObjectBounds(roof);
    Update3DRoof(roof);
    return roof;
  };
  for (const System& system : systems)
    for (const bool grouped : {false, true})
      for (int changed = 0; changed < 2; ++changed)
        for (int step = 0; step < 2; ++step) {
          SCOPED_TRACE(std::string(names[changed]) + " to " + system.typed[step] + (grouped ? ", grouped" : ""));
          clearLayers();
          ds->measureSystem = system.metric ? kMeasureMetric : kMeasureImperial;
          ds->metricReadout = kReadoutFlagCentimeters;
          ds->planScale = system.metric ? 100 : 36;
          for (int i = 0; i < 2; ++i) floor(names[i])->height = system.heights[i];
          for (int i = 0; i < 2; ++i) {
            Layer* layer = floor(names[i]);
            const float base = GetLayerAbsBaseHeight(layer), ceiling = base + layer->height;
            Objex* walls = wallOn(layer, {{-150, 1500}, {150, 1500}, {150, 1700}, {-150, 1700}, {-150, 1500}},
                                  layer->height);
            Objex* roof = roofOn(layer, ceiling, 6);
            if (grouped) groupOf(layer, {walls, groupOf(layer, {roof}, base)}, base);
            roofOn(layer, ceiling + kHigher, 4);
          }
          RenderAllLayers();
          StoreUndo("House");

          auto expectHouses = [&](float changedHeight, const char* when) {
            SCOPED_TRACE(when);
            float base = 0;
            for (int i = 0; i < 2; ++i) {
              SCOPED_TRACE(names[i]);
              const float height = i == changed ? changedHeight : system.heights[i];
              const float ceiling = base + height;
              std::vector<Objex*> walls, roofs, groups;
              for (Objex* o = floor(names[i])->firstObject; o; o = o->next) {
                Collect(o, &walls, &groups);
                CollectRoofs(o, &roofs);
              }
              ASSERT_EQ(walls.size(), 1u);
              ASSERT_EQ(roofs.size(), 2u);
              ASSERT_EQ(groups.size(), grouped ? 2u : 0u);
              for (Poinz* p = walls[0]->firstPoint; p; p = p->next) EXPECT_NEAR(WallHeightOf(p), height, 1e-3);
              for (Objex* roof : roofs) {
                const bool higher = roof->width == 4;
                // Where the house stood a foot under the higher roof, it stands there still.
                const float eaves = higher ? base + system.heights[i] + kHigher : ceiling;
                EXPECT_NEAR(roof->baseElevation, eaves, 1e-3) << (higher ? "the higher roof" : "the roof");
                // In 3D its lowest edge, the underside at the eaves (up is negative), sits there.
                const auto span = WallSpan(roof);
                EXPECT_NEAR(span.second, -ConvertWorldToScreen(eaves, ds, 0), 0.01f) << (higher ? "the higher roof" : "the roof");
              }
              // The walls' tops (through the floor's depth) reach the roof's eaves.
              const float depth = FloorDepthOf(walls[0]);
              EXPECT_NEAR(WallSpan(walls[0]).first, -ConvertWorldToScreen(ceiling + depth, ds, 0), 0.01f);
              base += height;
            }
          };
          expectHouses(system.heights[changed], "before");
          typeAndClickOK(system.typed[step], kTagCeilingHeightFirstFloor + changed);
          EXPECT_EQ(doc->undoManager().undoActionName(), std::string(names[changed]) + " Ceiling Height");
          expectHouses(system.inches[step], "set");
          stepHistory(false);
          EXPECT_EQ(doc->undoManager().undoActionName(), "House");
          expectHouses(system.heights[changed], "undone");
          stepHistory(true);
          expectHouses(system.inches[step], "redone");
          doc->undoManager().removeAllActions();
          if (HasFailure()) return;
        }
}

}  // namespace
