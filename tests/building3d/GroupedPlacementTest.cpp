// Objects in groups in 3D: walls, roofs, staircases and decks stand where their own elevations
// put them, grouped (nested too) as ungrouped, on every floor, whatever the group's base
// elevation holds; groups that place their parts (symbols, cabinets) keep placing them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "ModelInvariants.h"
#include "SceneTestSupport.h"
#include "WallTestSupport.h"
#include "building3d/RenderRoad.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DeckFields.h"
#include "model/Delete.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/StairFields.h"
#include "model/WallFields.h"

namespace {

bool sShown = true;
void Bounds64(int32_t* w, int32_t* h) { *w = *h = 64; }
bool Shown() { return sShown; }

// The heights of every vertex built for each plan object, sorted.
using Heights = std::map<const Objex*, std::vector<float>>;

struct GroupedPlacement : SceneTest {
  LiveViewHost savedHost = gLiveViewHost;
  GroupedPlacement() {
    gLiveViewHost.viewBounds = Bounds64;
    gLiveViewHost.isVisible = Shown;
    gRenderOnShow = gForceRenderObjectNow = gEnableBackgroundRendering = 0;
  }
  ~GroupedPlacement() override {
    FreeScene();
    gLiveViewHost = savedHost;
    EXPECT_MODEL_SOUND();
  }

  static Heights Scene() {
    FreeScene();
    RenderAllLayers();
    Heights h;
    for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next)
      for (const Plane* p = po->planes; p; p = p->next)
        for (int32_t i = 0; i < p->vertexCount; ++i) h[po->base2DObject].push_back(p->vertices[i].y);
    for (auto& [object, ys] : h) std::sort(ys.begin(), ys.end());
    return h;
  }

  // The selected top-level objects grouped (the group gets the working base elevation, 0
  // here, as a group made while another floor was worked on), or each selected group undone.
  Objex* group(std::initializer_list<Objex*> objects) {
    for (Objex* o : objects) SetObjectSelectFlags(o, 1);
    doc.ds()->baseElevation = 0;
    gGroupLeader = nullptr;
    TopLevelObjectAllLayers(doc.model.itsLayers, kCmdGroup, CommandArg::None());
    Objex* g = gGroupLeader;
    gGroupLeader = nullptr;
    SetObjectSelectFlags(g, 0);
    return g;
  }
  void ungroup(Objex* g) {
    SetObjectSelectFlags(g, 1);
    TopLevelObjectAllLayers(doc.model.itsLayers, kCmdUngroup, CommandArg::None());
  }

  // A wall, a gable roof on top of the floor, a staircase and a deck on the floor.
  std::vector<Objex*> building(Layer* floor) {
    const float base = GetLayerAbsBaseHeight(floor), top = base + floor->height;
    Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}, {200, 100}}, false, 4, floor);
    for (Poinz* p = wall->firstPoint; p; p = p->next) BaseElevationOf(p) = base;
    wall->baseElevation = base;
    Update3DWall(wall);

    Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {200, 0}, {200, 100}, {0, 100}}, floor);
    roof->width = 6;
    roof->textureID = 2;
    roof->baseElevation = top;
    Update3DRoof(roof);

    Objex* stairs = doc.addObject(kObjStaircase, false, {{300, 0}, {300, 200}}, floor);
    stairs->subtype = kSubStraightStair;
    StairWidthOf(stairs) = 48;
    StairStepHeightOf(stairs) = 7;
    StairStepDepthOf(stairs) = 10;
    StairHandrailHeightOf(stairs) = 36;
    StairHeightOf(stairs) = floor->height;
    LeftRailOf(stairs) = RightRailOf(stairs) = 1;
    ClosedStepsOf(stairs) = 1.0f;
    stairs->baseElevation = base;
    UpdateStairObject(stairs);

    Objex* deck = doc.addObject(kObjDeck, true, {{400, 0}, {500, 0}, {500, 100}, {400, 100}}, floor);
    DeckHeightOf(deck) = 24;
    DeckSpindleSpacingOf(deck) = 6;
    ClosedStepsOf(deck) = 1;
    for (Poinz* p = deck->firstPoint; p; p = p->next) {
      p->position[1] = -ConvertWorldToScreen(24, doc.ds(), 0);
      p->segmentFlags = 1;  // railed
      RailingHeightOf(p) = 36;
    }
    deck->baseElevation = base;
    Update3DDeck(deck);
    for (Objex* o : {wall, roof, stairs, deck}) UpdateObjectBounds(o);
    return {wall, roof, stairs, deck};
  }
};

void ExpectSameHeights(const Heights& expected, const Heights& actual, const std::vector<Objex*>& objects) {
  for (Objex* o : objects) {
    SCOPED_TRACE(testing::Message() << "kind " << o->type);
    ASSERT_EQ(expected.count(o), 1u) << "nothing built";
    ASSERT_EQ(actual.count(o), 1u) << "nothing built";
    const std::vector<float>& a = expected.at(o);
    const std::vector<float>& b = actual.at(o);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) ASSERT_NEAR(a[i], b[i], 1e-3) << "vertex " << i;
  }
}

TEST_F(GroupedPlacement, MembersStandWhereTheyStandUngroupedOnEveryFloor) {
  for (const float scale : {36.0f, 100.0f}) {
    doc.ds()->planScale = scale;
    for (Layer* floor : {doc.first, doc.second, doc.third}) {
      SCOPED_TRACE(testing::Message() << floor->name << ", plan scale " << scale);
      for (Layer* l = doc.model.itsLayers; l; l = l->next)
        while (l->firstObject) {
          Objex* o = l->firstObject;
          UnlinkObject(o);
          DeleteObj(o);
        }
      const std::vector<Objex*> objects = building(floor);
      const Heights alone = Scene();
      // The wall stands on the floor and reaches its ceiling, and on through the floor's depth
      // (up is negative).
      const std::vector<float>& wall = alone.at(objects[0]);
      const float base = ConvertWorldToScreen(GetLayerAbsBaseHeight(floor), doc.ds(), 0);
      EXPECT_NEAR(wall.back(), -base, 1e-3);
      EXPECT_NEAR(wall.front(), -base - ConvertWorldToScreen(96 + FloorDepthOf(objects[0]), doc.ds(), 0), 1e-3);

      Objex* inner = group({objects[0], objects[1], objects[2], objects[3]});
      ASSERT_NE(inner, nullptr);
      ASSERT_EQ(objects[0]->parent, inner);
      {
        SCOPED_TRACE("grouped");
        ExpectSameHeights(alone, Scene(), objects);
      }
      Objex* outer = group({inner});
      ASSERT_EQ(inner->parent, outer);
      outer->baseElevation = 1000;  // whatever a group holds
      {
        SCOPED_TRACE("in a group in a group");
        ExpectSameHeights(alone, Scene(), objects);
      }
      ungroup(outer);
      ungroup(inner);
      ASSERT_EQ(objects[0]->parent, nullptr);
      {
        SCOPED_TRACE("ungrouped");
        ExpectSameHeights(alone, Scene(), objects);
      }
      if (HasFailure()) return;
    }
  }
}

// Symbols and cabinets are groups whose base elevation places their parts: raised, the parts
// rise with it, whatever their own base elevations hold.
TEST_F(GroupedPlacement, GroupsThatPlaceTheirPartsKeepPlacingThem) {
  Objex* symbol = doc.addObject(kObjGroup, false, {});
  for (float x : {0.0f, 50.0f}) {
    Objex* part = doc.addObject(kObjSymbolPart3D, true, {{x, 0}, {x + 20, 0}, {x + 20, 20}, {x, 20}});
    UnlinkObject(part);
    AppendChildToObject(part, symbol);
    part->layer = symbol->layer;
    part->pointCount = 4;
  }
  Objex* cabinet = doc.addObject(kObjGroup, false, {});
  cabinet->subtype = kSubCabinet;
  Objex* box = doc.addObject(kObjCabinet, true, {{100, 0}, {130, 0}, {130, 20}, {100, 20}});
  UnlinkObject(box);
  AppendChildToObject(box, cabinet);
  box->layer = cabinet->layer;
  box->pointCount = 4;
  for (Objex* g : {symbol, cabinet}) UpdateObjectBounds(g);
  const Heights onTheFloor = Scene();
  symbol->baseElevation = cabinet->baseElevation = 30;
  for (Objex* parts : {symbol, cabinet})
    for (Objex* c = parts->firstChild; c; c = c->next) c->baseElevation = 500;
  const Heights raised = Scene();
  const float rise = ConvertWorldToScreen(30, doc.ds(), 0);
  int checked = 0;
  for (const auto& [object, ys] : onTheFloor) {
    ASSERT_EQ(raised.count(object), 1u);
    const std::vector<float>& now = raised.at(object);
    ASSERT_EQ(now.size(), ys.size());
    for (size_t i = 0; i < ys.size(); ++i, ++checked) EXPECT_NEAR(now[i], ys[i] - rise, 1e-3) << object->type;
  }
  EXPECT_GT(checked, 0);
}

}  // namespace
