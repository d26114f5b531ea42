// Objects in groups in 3D: every kind stands where its own elevations and terrain flag put it,
// grouped (nested too) as ungrouped, on every floor, whatever the group's base elevation holds;
// groups that place their parts (symbols, cabinets) keep placing them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <filesystem>
#include <map>
#include <tuple>
#include <vector>

#include <unistd.h>

#include "ModelInvariants.h"
#include "SceneTestSupport.h"
#include "WallTestSupport.h"
#include "building3d/Plants3D.h"
#include "building3d/RenderRoad.h"
#include "building3d/RoofAttachments3D.h"
#include "building3d/SiteFences3D.h"
#include "building3d/Skylights3D.h"
#include "files/DesignFile.h"
#include "model/Attachments.h"
#include "model/CabinetState.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DeckFields.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/SelectionState.h"
#include "model/Services.h"
#include "model/StairFields.h"
#include "model/TopoGrid.h"
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
    FreeTopoGrid();
    gLiveViewHost = savedHost;
    EXPECT_MODEL_SOUND();
  }

  static Heights Scene() {
    FreeScene();
    RenderAllLayers();
    Heights h;
    for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) AddHeights(po, po->base2DObject, &h);
    for (auto& [object, ys] : h) std::sort(ys.begin(), ys.end());
    return h;
  }
  // A plane object's vertex heights with those of its cut-outs and trims (a skylight's curb).
  static void AddHeights(const PlaneObject* po, const Objex* object, Heights* h) {
    for (const Plane* p = po->planes; p; p = p->next)
      for (int32_t i = 0; i < p->vertexCount; ++i) (*h)[object].push_back(p->vertices[i].y);
    for (const PlaneObject* c = po->children; c; c = c->next) AddHeights(c, object, h);
    for (const PlaneObject* a = po->attachments; a; a = a->next) AddHeights(a, object, h);
  }
  // How many plane objects (trims and cut-outs too) of the part type the scene holds.
  static int CountParts(int16_t partType) {
    int n = 0;
    auto count = [&](auto&& self, const PlaneObject* po) -> void {
      for (; po; po = po->next) {
        if (po->partType == partType) ++n;
        self(self, po->children);
        self(self, po->attachments);
      }
    };
    count(count, gGLPlaneObjects);
    return n;
  }

  // Terrain everywhere at `height` screen units (up is negative in the scene: a vertex on it
  // has y = -height); none at 0.
  void TerrainAt(float height) {
    FreeTopoGrid();
    doc.ds()->topoPath[0] = 0;
    if (height == 0) return;
    doc.ds()->planBounds = FloatRect{-1000, -1000, 1000, 1000};
    doc.ds()->topoGridSpacing = 1000;
    auto* g = static_cast<float*>(malloc(sizeof(float) * 9));
    for (int i = 0; i < 9; ++i) g[i] = height;
    AdoptTopoGrid(g, 2, 2);
    snprintf(doc.ds()->topoPath, sizeof doc.ds()->topoPath, "%s", "lot.topo");  // a grid file: in use
  }

  // The objects grouped (the group gets the working base elevation, 0 by default, as a group
  // made while the first floor was worked on), or each selected group undone.
  Objex* group(const std::vector<Objex*>& objects, float workingBase = 0) {
    for (Objex* o : objects) SetObjectSelectFlags(o, 1);
    doc.ds()->baseElevation = workingBase;
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

  // A plant from the library and a user's photo plant, as placed while the floor is worked on.
  std::vector<Objex*> plants(Layer* floor, float x) {
    const float working = doc.ds()->baseElevation;
    doc.ds()->baseElevation = GetLayerAbsBaseHeight(floor);
    const char* names[10] = {"", "", "", "", "", "", "", "", "", "/plants/Maple.png"};
    std::vector<Objex*> made = {BuildLandscapePlant(floor, 1, 3), BuildUserLandscapePlant(floor, 1, names, 10)};
    doc.ds()->baseElevation = working;
    for (Objex* plant : made) {
      EXPECT_NE(plant, nullptr);
      if (!plant) return {};
      for (Poinz* p = plant->firstPoint; p; p = p->next) p->position[0] += x;
      x += 40;
      UpdateObjectBounds(plant);
    }
    return made;
  }

  // A railing on the floor, a gable roof over it holding a skylight, and a fence, edging, a path
  // and two plants on the ground, or, raised, 10" above the floor (as Object Elevation leaves
  // them).
  std::vector<Objex*> railingRoofAndSite(Layer* floor, bool raised) {
    const float base = GetLayerAbsBaseHeight(floor), top = base + floor->height;
    const RGBColor white{65535, 65535, 65535};
    Objex* railing = doc.addObject(kObjRailing, false, {{0, 300}, {120, 300}, {120, 360}}, floor);
    railing->subtype = kSubStraightRail;
    RailHeightOf(railing) = 36;
    RailBalusterSpacingOf(railing) = 6;
    railing->textureID1 = 2206;
    for (Poinz* p = railing->firstPoint; p; p = p->next) p->segmentFlags = kDeckSegmentPost;
    railing->baseElevation = base;
    UpdateRailObject(railing);

    Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {240, 0}, {240, 120}, {0, 120}}, floor);
    roof->width = 6;
    roof->textureID = 2;
    roof->baseElevation = top;
    Update3DRoof(roof);
    auto* r = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
    r->ownerType = kObjSkylight;
    r->subtype = kSkylightRectangular;
    r->width() = 40;
    r->height() = 20;
    r->trimWidth() = 6;
    r->angle() = 90;
    r->panelID = 11;  // the roof plane over z 0..60
    r->slots[0] = TrimSlot{0, 0, 100, 100, white, nullptr};
    r->slots[1] = TrimSlot{0, 2218, 64, 32, white, nullptr};
    Objex* skylight = CreateObject(kObjSkylight, 1, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, roof,
                                   roof->layer, r);
    r->object() = skylight;
    skylight->baseElevation = base;  // as the tool leaves it: the floor's, not the roof's
    const std::vector<float> outline = SkylightOutline(kSkylightRectangular, 100, 30, 1, r);
    CreateSkylightPoints(skylight, roof, outline.data(), static_cast<int32_t>(outline.size() / 3), 100, 30, 90);
    AppendChildToObject(skylight, roof);
    UpdateObjectBounds(railing);
    UpdateObjectBounds(roof);
    std::vector<Objex*> objects = {railing, roof};
    for (Objex* o : site(floor, raised)) objects.push_back(o);
    return objects.size() == 7 ? objects : std::vector<Objex*>{};
  }

  // A fence, edging, a path and two plants on the ground, or 10" above the floor.
  std::vector<Objex*> site(Layer* floor, bool raised) {
    const float base = GetLayerAbsBaseHeight(floor);
    Objex* fence = doc.addObject(kObjFence, false, {{300, 300}, {400, 300}}, floor);
    fence->levels = 1;
    fence->textureID = kFenceStylePicket;
    FenceSpanLengthOf(fence) = FenceSpanHeightOf(fence) = FencePostHeightOf(fence) = FenceGateHeightOf(fence) = 72;
    FencePostWidthOf(fence) = 24;
    Objex* edging = doc.addObject(kObjEdging, false, {{300, 400}, {410, 400}, {410, 445}}, floor);
    edging->levels = 1;
    Objex* path = doc.addObject(kObjPath, false, {{500, 300}, {700, 300}, {700, 450}}, floor);
    path->width = 36;
    const std::vector<Objex*> planted = plants(floor, 750);
    if (planted.size() != 2) return {};
    for (Objex* o : {fence, edging, path, planted[0], planted[1]}) {
      o->auxFlag = raised ? 0 : 1;
      o->baseElevation = raised ? base + 10 : base;
      RebuildObject(o, kRebuildBasic);
    }
    for (Objex* o : {fence, edging, path}) UpdateObjectBounds(o);
    return {fence, edging, path, planted[0], planted[1]};
  }
};

// Lays the whole design aside.
void DeleteEveryObject(ZLKDocumentModel* model) {
  for (Layer* l = model->itsLayers; l; l = l->next)
    while (l->firstObject) {
      Objex* o = l->firstObject;
      UnlinkObject(o);
      DeleteObj(o);
    }
}

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

// As ExpectSameHeights, for objects of which some build nothing in 3D (plan details): those
// build nothing either way.
void ExpectSameScene(const Heights& expected, const Heights& actual, const std::vector<Objex*>& objects) {
  std::vector<Objex*> built;
  for (Objex* o : objects) {
    if (expected.count(o)) built.push_back(o);
    else EXPECT_EQ(actual.count(o), 0u) << "kind " << o->type;
  }
  ExpectSameHeights(expected, actual, built);
}

// A railing, a skylight in a roof, a fence, edging and a path, on each floor, on the ground or
// raised, at two plan scales, in inches and in centimetres: grouped (while that floor or the
// first one is worked on), in a group in a group and ungrouped again, each stands as alone.
TEST_F(GroupedPlacement, RailingsSkylightsAndSiteKindsStandWhereTheyStandUngrouped) {
  for (const int16_t units : {kMeasureImperial, kMeasureMetric})
    for (const float scale : {36.0f, 100.0f})
      for (Layer* floor : {doc.first, doc.second, doc.third})
        for (const bool raised : {false, true}) {
          SCOPED_TRACE(testing::Message() << floor->name << ", plan scale " << scale << (units == kMeasureMetric ? ", metric" : "")
                                          << (raised ? ", raised" : ", on the ground"));
          doc.ds()->measureSystem = units;
          doc.ds()->planScale = scale;
          DeleteEveryObject(&doc.model);
          const std::vector<Objex*> objects = railingRoofAndSite(floor, raised);
          ASSERT_EQ(objects.size(), 7u);
          const Heights alone = Scene();
          ASSERT_GT(CountParts(kPartSkylightTopBand), 0) << "the skylight's curb";
          // The plants stand on the ground, or 10" above their floor (up is negative).
          const float plantAt =
              raised ? -ConvertWorldToScreen(GetLayerAbsBaseHeight(floor) + 10, doc.ds(), 0) : 0.0f;
          for (Objex* plant : {objects[5], objects[6]})
            for (const float y : alone.at(plant)) ASSERT_NEAR(y, plantAt, 1e-3) << "plant " << plant->subtype;
          for (const float working : {GetLayerAbsBaseHeight(floor), 0.0f}) {
            SCOPED_TRACE(testing::Message() << "working base elevation " << working);
            Objex* inner = group(objects, working);
            ASSERT_EQ(objects[0]->parent, inner);
            inner->baseElevation = 1000;  // whatever a group holds: it places none of them
            {
              SCOPED_TRACE("grouped");
              ExpectSameHeights(alone, Scene(), objects);
            }
            Objex* outer = group({inner}, working);
            ASSERT_EQ(inner->parent, outer);
            outer->baseElevation = 1000;
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

// A cabinet and a symbol put in a group stand where they stood once the design is saved and
// opened: each still places its parts (the cabinet at 30", the symbol at 20"), not the group.
TEST_F(GroupedPlacement, ACabinetAndASymbolInAGroupStandWhereTheyStoodOnceOpened) {
  Objex* cabinet = doc.addObject(kObjGroup, false, {});
  cabinet->subtype = kSubCabinet;
  cabinet->baseElevation = 30;
  auto* state = static_cast<CabinetState*>(calloc(1, sizeof(CabinetState)));
  state->angle = 45;
  cabinet->typeData = state;
  Objex* symbol = doc.addObject(kObjGroup, false, {});
  symbol->baseElevation = 20;
  for (float x : {0.0f, 50.0f})
    for (Objex* g : {cabinet, symbol}) {
      const float at = g == symbol ? x + 200 : x;
      Objex* part = doc.addObject(g == symbol ? kObjSymbolPart3D : kObjCabinet, true,
                                  {{at, 0}, {at + 20, 0}, {at + 20, 20}, {at, 20}});
      UnlinkObject(part);
      AppendChildToObject(part, g);
      part->layer = g->layer;
      part->pointCount = 4;
      part->baseElevation = 500;  // whatever a part holds
    }
  for (Objex* g : {cabinet, symbol}) UpdateObjectBounds(g);
  group({cabinet, symbol});
  auto partHeights = [] {
    const Heights scene = Scene();
    std::vector<std::vector<float>> heights;
    for (const Objex* g = GetLayerFromName("First Floor")->firstObject->firstChild; g; g = g->next)
      for (const Objex* part = g->firstChild; part; part = part->next)
        heights.push_back(scene.count(part) ? scene.at(part) : std::vector<float>{});
    return heights;
  };
  const std::vector<std::vector<float>> placed = partHeights();
  ASSERT_EQ(placed.size(), 4u);
  const std::string path =
      (std::filesystem::temp_directory_path() / ("casa-grouped-" + std::to_string(getpid()) + ".pro")).string();
  ASSERT_EQ(KeyFileWrite(path.c_str()), 1);
  FreeScene();
  ASSERT_EQ(KeyFileRead(path.c_str()), 1);
  std::filesystem::remove(path);
  const std::vector<std::vector<float>> opened = partHeights();
  ASSERT_EQ(opened.size(), placed.size());
  for (size_t i = 0; i < placed.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "part " << i);
    ASSERT_FALSE(placed[i].empty());
    ASSERT_EQ(opened[i].size(), placed[i].size());
    for (size_t k = 0; k < placed[i].size(); ++k) EXPECT_NEAR(opened[i][k], placed[i][k], 1e-3);
  }
}

// Float Above Topography: a railing and a roof never follow the terrain (the command says so
// and they stay where they stand); a fence stands on the ground, edging sits its blocks' feet in
// it, a path lies 6 units above it. Alone, in a group and in a group in a group, on terrain at
// 0 and raised 30 units.
TEST_F(GroupedPlacement, FloatAboveTopographyPutsEachKindWhereItsRuleSays) {
  for (const float terrain : {0.0f, 30.0f})
    for (const int depth : {0, 1, 2}) {
      SCOPED_TRACE(testing::Message() << "terrain " << terrain << ", grouped " << depth << " deep");
      DeleteEveryObject(&doc.model);
      TerrainAt(terrain);
      const std::vector<Objex*> objects = railingRoofAndSite(doc.second, true);
      const Heights raised = Scene();
      Objex* root = objects[0];
      std::vector<Objex*> roots = objects;
      for (int d = 0; d < depth; ++d) {
        root = group(d == 0 ? objects : std::vector<Objex*>{root}, 96);
        roots = {root};
      }
      for (Objex* o : roots) SetObjectSelectFlags(o, 1);
      gTopoFloatNA = 0;
      TopLevelObjectAllLayers(doc.model.itsLayers, kCmdFloatAboveTopography, CommandArg::None());
      SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
      EXPECT_EQ(gTopoFloatNA, depth == 0 ? 1 : 0) << "alone, the railing and the roof refuse";
      const Heights floated = Scene();
      for (Objex* stays : {objects[0], objects[1]}) {
        SCOPED_TRACE(testing::Message() << "kind " << stays->type);
        EXPECT_EQ(stays->auxFlag, 0);
        EXPECT_EQ(floated.at(stays), raised.at(stays));
      }
      const std::vector<float>& fence = floated.at(objects[2]);
      EXPECT_NEAR(fence.back(), -terrain, 1e-3) << "the fence's foot";
      const std::vector<float>& before = raised.at(objects[2]);
      EXPECT_NEAR(fence.front() - fence.back(), before.front() - before.back(), 1e-3) << "its height";
      EXPECT_NEAR(floated.at(objects[3]).back(), -terrain, 1e-3) << "the edging's feet";
      for (const float y : floated.at(objects[4])) ASSERT_NEAR(y, -terrain - 6, 1e-3) << "the path";
      for (Objex* plant : {objects[5], objects[6]}) {
        EXPECT_EQ(plant->auxFlag, 1);
        for (const float y : floated.at(plant)) ASSERT_NEAR(y, -terrain, 1e-3) << "plant " << plant->subtype;
      }
    }
}

// Each object's heights by its place in the list; of edging, whose blocks are built to heights
// drawn at random, only where its blocks stand (their feet).
std::vector<std::vector<float>> HeightsOf(const Heights& scene, const std::vector<Objex*>& objects) {
  std::vector<std::vector<float>> h;
  for (Objex* o : objects) {
    const auto found = scene.find(o);
    std::vector<float> ys = found == scene.end() ? std::vector<float>{} : found->second;
    if (o->type == kObjEdging && !ys.empty()) ys = {ys.back()};
    h.push_back(ys);
  }
  return h;
}

void ExpectSameHeights(const std::vector<std::vector<float>>& expected, const std::vector<std::vector<float>>& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    SCOPED_TRACE(testing::Message() << "object " << k);
    ASSERT_EQ(expected[k].size(), actual[k].size());
    ASSERT_FALSE(expected[k].empty()) << "nothing built";
    for (size_t i = 0; i < expected[k].size(); ++i) ASSERT_NEAR(expected[k][i], actual[k][i], 1e-3) << "vertex " << i;
  }
}

// A fence, edging and a path on the terrain, with a railing and a roof, on each floor, on flat
// and raised terrain, in inches and centimetres, alone, grouped and in a group in a group.
// Object Elevation shows where each stands (a fence, the ground under it), and that elevation
// given back changes nothing; raised by 12 they leave the terrain to stand 12 above the ground,
// lowered by 12 they stand on it again as before, as after Move To Upper Floor and back down
// (Lower, then Upper, from the top floor). Grouped, each does what it does alone.
TEST_F(GroupedPlacement, ObjectsOnTheTerrainDoGroupedWhatTheyDoAlone) {
  DocState* ds = doc.ds();
  auto deselect = [&] {  // on every floor, selectable or not
    for (Layer* l = doc.model.itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next) SetObjectSelectFlags(o, 0);
  };
  auto select = [&](Objex* root) {
    deselect();
    SetObjectSelectFlags(root, 1);
  };
  auto shown = [&](Objex* root) {
    select(root);
    ClearSelectionState40(ds, &ds->selectionState40);
    TopLevelObjectAllLayers(doc.model.itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
    return ds->selectionState40.ssBaseElevationValue;
  };
  auto command = [&](const std::vector<Objex*>& roots, int32_t cmd, float by) {
    for (Objex* root : roots) {
      const float value = shown(root) + by;
      select(root);
      gBaseElevation = value / 12;
      std::srand(7);
      TopLevelObjectAllLayers(doc.model.itsLayers, cmd, CommandArg::None());
    }
    deselect();
  };
  // Inches on flat terrain, centimetres on raised terrain.
  for (const auto& [units, terrain] : {std::pair<int16_t, float>{kMeasureImperial, 0.0f}, {kMeasureMetric, 30.0f}})
      for (Layer* floor : {doc.first, doc.second, doc.third}) {
        std::vector<std::vector<float>> aloneRaised;
        for (const int depth : {0, 1, 2}) {
          SCOPED_TRACE(testing::Message() << floor->name << (units == kMeasureMetric ? ", metric" : "") << ", terrain "
                                          << terrain << ", grouped " << depth << " deep");
          ds->measureSystem = units;
          DeleteEveryObject(&doc.model);
          TerrainAt(terrain);
          std::srand(7);
          const std::vector<Objex*> objects = railingRoofAndSite(floor, false);
          Objex* fence = objects[2];
          std::vector<Objex*> roots = objects;
          for (int d = 0; d < depth; ++d) roots = {group(roots, GetLayerAbsBaseHeight(floor))};
          ASSERT_EQ(objects.size(), 7u);
          const std::vector<Objex*> plants = {objects[5], objects[6]};
          auto onTheTerrain = [&] {
            int n = 0;
            for (size_t k = 2; k < objects.size(); ++k) n += objects[k]->auxFlag;
            return n;
          };
          const auto before = HeightsOf(Scene(), objects);
          for (size_t k = 5; k < 7; ++k)
            for (const float y : before[k]) ASSERT_NEAR(y, -terrain, 1e-3) << "a plant on the ground";
          const float ground = ConvertScreenToWorld(terrain, ds, 0);
          if (depth == 0) EXPECT_NEAR(shown(plants[0]), ground, 1e-3) << "where the plant stands";

          command(roots, kCmdElevateObjects, 0);  // the elevation shown, given back
          EXPECT_EQ(onTheTerrain(), 5);
          EXPECT_FLOAT_EQ(fence->baseElevation, GetLayerAbsBaseHeight(floor));
          {
            SCOPED_TRACE("given the elevation shown");
            ExpectSameHeights(before, HeightsOf(Scene(), objects));
          }
          command(roots, kCmdElevateObjects, 12);
          EXPECT_EQ(onTheTerrain(), 0);
          const Heights raised = Scene();
          EXPECT_NEAR(raised.at(fence).back(), -terrain - ConvertWorldToScreen(12, ds, 0), 1e-3) << "12 above the ground";
          for (Objex* plant : plants)
            for (const float y : raised.at(plant))
              ASSERT_NEAR(y, -terrain - ConvertWorldToScreen(12, ds, 0), 1e-3) << "a plant 12 above the ground";
          if (depth == 0) aloneRaised = HeightsOf(raised, objects);
          else {
            SCOPED_TRACE("raised, as alone");
            ExpectSameHeights(aloneRaised, HeightsOf(raised, objects));
          }
          command(roots, kCmdElevateObjects, -12);
          EXPECT_EQ(onTheTerrain(), 5) << "the plants too";
          {
            SCOPED_TRACE("lowered back");
            ExpectSameHeights(before, HeightsOf(Scene(), objects));
          }
          const float base = fence->baseElevation;
          const bool top = floor == doc.third;
          for (const int32_t move : {top ? kCmdMoveToLowerFloor : kCmdMoveToUpperFloor,
                                     top ? kCmdMoveToUpperFloor : kCmdMoveToLowerFloor}) {
            doc.model.itsCurLayer = roots[0]->layer;
            for (Objex* root : roots) SetObjectSelectFlags(root, 1);
            TopLevelObjectAllLayers(doc.model.itsLayers, move, CommandArg::None());
            deselect();
            EXPECT_EQ(onTheTerrain(), 5);
          }
          EXPECT_EQ(fence->layer, floor);
          EXPECT_FLOAT_EQ(fence->baseElevation, base);
          {
            SCOPED_TRACE("moved a floor and back");
            ExpectSameHeights(before, HeightsOf(Scene(), objects));
          }
          doc.model.itsCurLayer = doc.first;
          if (HasFailure()) return;
        }
      }
}

// The parts a symbol's group places stand where it placed them after the group is undone, and
// where they stood when they are grouped again, in a group in a group too.
TEST_F(GroupedPlacement, SymbolPartsStandWhereTheyStoodUngroupedAndGroupedAgain) {
  // Placed at its base elevation, and floated above terrain 30 units up: there its parts stand
  // on the terrain, and keep following it once ungrouped.
  for (const bool floated : {false, true}) {
    SCOPED_TRACE(floated ? "floated above the terrain" : "at its base elevation");
    DeleteEveryObject(&doc.model);
    TerrainAt(floated ? 30 : 0);
    Objex* symbol = doc.addObject(kObjGroup, false, {}, doc.second);
    std::vector<Objex*> parts;
    for (float x : {0.0f, 50.0f}) {
      Objex* part = doc.addObject(kObjSymbolPart3D, true, {{x, 0}, {x + 20, 0}, {x + 20, 20}, {x, 20}}, doc.second);
      UnlinkObject(part);
      AppendChildToObject(part, symbol);
      part->layer = symbol->layer;
      part->pointCount = 4;
      part->baseElevation = 500;  // whatever a part holds
      parts.push_back(part);
    }
    symbol->baseElevation = 130;
    UpdateObjectBounds(symbol);
    if (floated) {
      SetObjectSelectFlags(symbol, 1);
      TopLevelObjectAllLayers(doc.model.itsLayers, kCmdFloatAboveTopography, CommandArg::None());
      SetObjectSelectFlags(symbol, 0);
    }
    const Heights placed = Scene();
    const float foot = floated ? -30 : -ConvertWorldToScreen(130, doc.ds(), 0);
    for (Objex* part : parts) EXPECT_NEAR(placed.at(part).back(), foot, 1e-3);
    ungroup(symbol);
    ASSERT_EQ(parts[0]->parent, nullptr);
    {
      SCOPED_TRACE("ungrouped");
      ExpectSameHeights(placed, Scene(), parts);
    }
    Objex* again = group(parts, 0);
    {
      SCOPED_TRACE("grouped again while the first floor is worked on");
      ExpectSameHeights(placed, Scene(), parts);
    }
    Objex* outer = group({again}, 0);
    outer->baseElevation = 1000;
    {
      SCOPED_TRACE("in a group in a group");
      ExpectSameHeights(placed, Scene(), parts);
    }
  }
}

// The tester's design: every kind built with the tools on the Second Floor, all in one group
// whose base elevation is the floor's (96"). Fences, edging, paths and plants stand on the
// ground alone; grouped they stood at the group's base, and raised by Object Elevation they
// dropped to it. Every member, on each floor, on the ground or raised, stands where it stands
// alone: grouped while that floor or the first one is worked on, in a group in a group, and
// ungrouped again.
TEST_F(GroupedPlacement, EveryKindOfTheTestersDesignStandsWhereItStandsAloneOnEveryFloor) {
  const std::filesystem::path design = std::filesystem::path(CASA_SOURCE_DIR) / "tests" / "app" / "data" /
                                       "regressions" / "every-kind-grouped-second-floor.pro";
  ASSERT_EQ(KeyFileRead(design.string().c_str()), 1);
  DocState* ds = doc.ds();
  for (Layer* l = doc.model.itsLayers; l; l = l->next) l->visible = 1;
  Layer* second = GetLayerFromName("Second Floor");
  ASSERT_NE(second, nullptr);
  Objex* saved = second->firstObject;
  ASSERT_NE(saved, nullptr);
  ASSERT_EQ(saved->type, kObjGroup);
  EXPECT_FLOAT_EQ(saved->baseElevation, 96);
  std::vector<Objex*> members;
  for (Objex* c = saved->firstChild; c; c = c->next) members.push_back(c);
  Objex* fence = nullptr;
  for (Objex* o : members)
    if (o->type == kObjFence) fence = o;
  ASSERT_NE(fence, nullptr);
  std::vector<int16_t> kinds;
  for (Objex* o : members) kinds.push_back(o->type);
  for (int16_t kind : {kObjWall, kObjRoof, kObjRoofPanel, kObjStaircase, kObjRailing, kObjDeck, kObjFence, kObjEdging,
                       kObjPath, kObjPlant})
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), kind), kinds.end()) << "kind " << kind;

  const Heights asSaved = Scene();
  EXPECT_GT(CountParts(kPartSkylightTopBand), 0) << "the skylights' curbs";
  ungroup(saved);
  ASSERT_EQ(fence->parent, nullptr);
  const Heights opened = Scene();
  {
    SCOPED_TRACE("as saved, grouped");
    ExpectSameScene(opened, asSaved, members);
  }
  // Alone the fence (75" high) stands on the ground (up is negative).
  ASSERT_EQ(opened.count(fence), 1u);
  EXPECT_NEAR(opened.at(fence).back(), 0, 1e-3);
  EXPECT_NEAR(opened.at(fence).front(), -ConvertWorldToScreen(75, ds, 0), 0.05);

  auto move = [&](int32_t command) {
    doc.model.itsCurLayer = members.front()->layer;
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
    for (Objex* o : members) SetObjectSelectFlags(o, 1);
    TopLevelObjectAllLayers(doc.model.itsLayers, command, CommandArg::None());
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
    for (Objex* o : members) RebuildObject(o, kRebuildNoRoofRefresh);
  };
  const struct {
    const char* floor;
    int32_t command;  // the move that brings the members there
  } kFloors[] = {{"Second Floor", 0}, {"Third Floor", kCmdMoveToUpperFloor}, {"Second Floor", kCmdMoveToLowerFloor},
                 {"First Floor", kCmdMoveToLowerFloor}};
  for (const auto& f : kFloors) {
    if (f.command) move(f.command);
    Layer* floor = GetLayerFromName(f.floor);
    ASSERT_EQ(members.front()->layer, floor);
    const float base = GetLayerAbsBaseHeight(floor);
    for (const bool raised : {false, true}) {
      SCOPED_TRACE(testing::Message() << f.floor << (raised ? ", raised 10\" above it" : ", as moved"));
      // The kinds that may follow the terrain: on it, or 10" above the floor (Object Elevation).
      for (Objex* o : members)
        if (o->type == kObjFence || o->type == kObjEdging || o->type == kObjPath || o->type == kObjPlant) {
          o->auxFlag = raised ? 0 : 1;
          if (raised) o->baseElevation = base + 10;
        }
      const Heights alone = Scene();
      for (const float working : {base, 0.0f}) {
        SCOPED_TRACE(testing::Message() << "grouped with the working base elevation at " << working);
        Objex* inner = group(members, working);
        ASSERT_NE(inner, nullptr);
        ASSERT_EQ(fence->parent, inner);
        {
          SCOPED_TRACE("grouped");
          ExpectSameScene(alone, Scene(), members);
        }
        Objex* outer = group({inner}, working);
        ASSERT_EQ(inner->parent, outer);
        outer->baseElevation = 1000;  // whatever a group holds
        {
          SCOPED_TRACE("in a group in a group");
          ExpectSameScene(alone, Scene(), members);
        }
        ungroup(outer);
        ungroup(inner);
        ASSERT_EQ(fence->parent, nullptr);
        {
          SCOPED_TRACE("ungrouped");
          ExpectSameScene(alone, Scene(), members);
        }
        if (HasFailure()) return;
      }
    }
  }
}

// The objects of a tree below its groups.
std::vector<Objex*> Leaves(Objex* root) {
  std::vector<Objex*> found;
  auto walk = [&](auto&& self, Objex* o) -> void {
    if (o->type != kObjGroup) found.push_back(o);
    for (Objex* c = o->firstChild; c && o->type == kObjGroup; c = c->next) self(self, c);
  };
  walk(walk, root);
  return found;
}

// Plants placed from the library on each floor, on flat and raised terrain, at two plan scales,
// in inches and centimetres: on the First Floor they stand on the ground, above it on their
// floor; floated, on the ground. Grouped, in a group in a group, moved a floor up and back,
// copied a floor up, and saved and opened again, they stand where they stood.
TEST_F(GroupedPlacement, PlantsFromTheLibraryStandOnTheirFloorOrOnTheGround) {
  DocState* ds = doc.ds();
  auto all = [&](int32_t cmd, const std::vector<Objex*>& roots) {
    doc.model.itsCurLayer = roots[0]->layer;
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
    for (Objex* o : roots) SetObjectSelectFlags(o, 1);
    TopLevelObjectAllLayers(doc.model.itsLayers, cmd, CommandArg::None());
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
    doc.model.itsCurLayer = GetLayerFromName("First Floor");
  };
  auto expectAt = [&](const Heights& scene, const std::vector<Objex*>& plants, float y, const char* where) {
    SCOPED_TRACE(where);
    ASSERT_EQ(plants.size(), 2u);
    for (Objex* plant : plants) {
      ASSERT_EQ(scene.count(plant), 1u) << "nothing built";
      for (const float v : scene.at(plant)) ASSERT_NEAR(v, y, 1e-3) << "plant " << plant->subtype;
    }
  };
  const std::string path =
      (std::filesystem::temp_directory_path() / ("casa-plants-" + std::to_string(getpid()) + ".pro")).string();
  for (const auto& [units, scale, terrain] :
       {std::tuple<int16_t, float, float>{kMeasureImperial, 36.0f, 0.0f}, {kMeasureMetric, 100.0f, 30.0f}})
    for (const char* name : {"First Floor", "Second Floor", "Third Floor"}) {
      DeleteEveryObject(&doc.model);
      ds = doc.ds();
      ds->measureSystem = units;
      ds->planScale = scale;
      TerrainAt(terrain);
      // Layers found by name: opening the design saved replaces them.
      Layer* floor = GetLayerFromName(name);
      ASSERT_NE(floor, nullptr);
      SCOPED_TRACE(testing::Message() << name << ", plan scale " << scale
                                      << (units == kMeasureMetric ? ", metric" : "") << ", terrain " << terrain);
      const float base = GetLayerAbsBaseHeight(floor);
      std::vector<Objex*> planted = plants(floor, 750);
      ASSERT_EQ(planted.size(), 2u);
      const bool onTheGround = floor == GetLayerFromName("First Floor");
      for (Objex* plant : planted) {
        EXPECT_EQ(plant->auxFlag, onTheGround ? 1 : 0);
        EXPECT_FLOAT_EQ(plant->baseElevation, base);
      }
      expectAt(Scene(), planted, onTheGround ? -terrain : -ConvertWorldToScreen(base, ds, 0), "as placed");
      all(kCmdFloatAboveTopography, planted);
      expectAt(Scene(), planted, -terrain, "floated");

      Objex* inner = group(planted, base);
      Objex* outer = group({inner}, base);
      expectAt(Scene(), planted, -terrain, "in a group in a group");
      const bool top = floor == GetLayerFromName("Third Floor");
      all(top ? kCmdMoveToLowerFloor : kCmdMoveToUpperFloor, {outer});
      all(top ? kCmdMoveToUpperFloor : kCmdMoveToLowerFloor, {outer});
      ASSERT_EQ(outer->layer, floor);
      expectAt(Scene(), planted, -terrain, "moved a floor and back");
      all(top ? kCmdCopyToLowerFloor : kCmdCopyToUpperFloor, {outer});
      Layer* other = top ? GetLayerFromName("Second Floor") : floor->next;
      ASSERT_NE(other, nullptr);
      ASSERT_NE(other->lastObject, nullptr);
      const std::vector<Objex*> copies = Leaves(other->lastObject);
      const Heights scene = Scene();
      expectAt(scene, copies, -terrain, "copied a floor up");
      expectAt(scene, planted, -terrain, "the originals");

      ASSERT_EQ(KeyFileWrite(path.c_str()), 1);
      FreeScene();
      ASSERT_EQ(KeyFileRead(path.c_str()), 1);
      std::filesystem::remove(path);
      ds = doc.ds();
      TerrainAt(terrain);
      Layer* opened = GetLayerFromName(name);
      ASSERT_NE(opened, nullptr);
      ASSERT_NE(opened->firstObject, nullptr);
      expectAt(Scene(), Leaves(opened->firstObject), -terrain, "saved and opened");
      if (HasFailure()) return;
    }
}

// A group holding only what stands on the terrain (a fence, edging, a path and two plants),
// made on a floor or moved or copied there from the First Floor, in a group in a group too, on
// flat and raised terrain, in inches and centimetres: Object Elevation shows the ground under
// it, as it shows under each member alone, whatever the group's base elevation holds. The
// ground given back changes nothing; 2' and 12' above it stand each member that high above it;
// the ground again puts every member back on the terrain as it stood.
TEST_F(GroupedPlacement, AGroupOfWhatStandsOnTheTerrainShowsTheGroundAndIsRaisedFromIt) {
  DocState* ds = doc.ds();
  auto select = [&](Objex* root) {
    for (Layer* l = doc.model.itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next) SetObjectSelectFlags(o, 0);
    if (root) SetObjectSelectFlags(root, 1);
  };
  auto shown = [&](Objex* root) {
    select(root);
    ClearSelectionState40(ds, &ds->selectionState40);
    TopLevelObjectAllLayers(doc.model.itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
    select(nullptr);
    return ds->selectionState40.ssBaseElevationValue;
  };
  auto elevate = [&](Objex* root, float inches) {
    select(root);
    gBaseElevation = inches / 12;
    TopLevelObjectAllLayers(doc.model.itsLayers, kCmdElevateObjects, CommandArg::None());
    select(nullptr);
  };
  enum Road { kMadeThere, kMovedThere, kCopiedThere };
  for (const auto& [units, terrain] : {std::pair<int16_t, float>{kMeasureImperial, 0.0f}, {kMeasureMetric, 30.0f}})
    for (const Road road : {kMadeThere, kMovedThere, kCopiedThere})
      for (const int floorIndex : {0, 1, 2})
        for (const int depth : {1, 2}) {
          if (road != kMadeThere && floorIndex == 0) continue;
          SCOPED_TRACE(testing::Message() << "floor " << floorIndex + 1 << (units == kMeasureMetric ? ", metric" : "")
                                          << ", terrain " << terrain << ", road " << road << ", " << depth << " deep");
          DeleteEveryObject(&doc.model);
          ds->measureSystem = units;
          TerrainAt(terrain);
          Layer* floor = floorIndex == 0 ? doc.first : floorIndex == 1 ? doc.second : doc.third;
          Layer* made = road == kMadeThere ? floor : doc.first;
          std::srand(7);
          std::vector<Objex*> members = site(made, false);
          ASSERT_EQ(members.size(), 5u);
          const auto alone = HeightsOf(Scene(), members);
          const float ground = ConvertScreenToWorld(terrain, ds, 0);
          for (Objex* o : members) EXPECT_NEAR(shown(o), ground, 1e-3) << "alone, kind " << o->type;
          Objex* root = group(members, GetLayerAbsBaseHeight(made));
          if (depth == 2) root = group({root}, GetLayerAbsBaseHeight(made));
          while (root->layer != floor) {
            doc.model.itsCurLayer = root->layer;
            select(root);
            TopLevelObjectAllLayers(doc.model.itsLayers, road == kCopiedThere ? kCmdCopyToUpperFloor : kCmdMoveToUpperFloor,
                                    CommandArg::None());
            select(nullptr);
            if (road == kCopiedThere) {
              ASSERT_NE(root->layer->next, nullptr);
              root = root->layer->next->lastObject;
              ASSERT_NE(root, nullptr);
              ASSERT_EQ(root->type, kObjGroup);
            }
          }
          doc.model.itsCurLayer = doc.first;
          members = Leaves(root);
          ASSERT_EQ(members.size(), 5u);
          auto onTheTerrain = [&] {
            int n = 0;
            for (Objex* o : members) n += o->auxFlag;
            return n;
          };
          std::srand(7);
          {
            SCOPED_TRACE("grouped");
            ExpectSameHeights(alone, HeightsOf(Scene(), members));
          }
          EXPECT_NEAR(shown(root), ground, 1e-3) << "where its members stand";
          std::srand(7);
          elevate(root, ground);
          EXPECT_EQ(onTheTerrain(), 5);
          {
            SCOPED_TRACE("given the ground");
            ExpectSameHeights(alone, HeightsOf(Scene(), members));
          }
          for (const float above : {24.0f, 144.0f}) {
            SCOPED_TRACE(testing::Message() << above << "\" above the ground");
            elevate(root, ground + above);
            EXPECT_EQ(onTheTerrain(), 0);
            EXPECT_NEAR(shown(root), ground + above, 1e-3);
            const Heights raised = Scene();
            const float y = -terrain - ConvertWorldToScreen(above, ds, 0);
            EXPECT_NEAR(raised.at(members[0]).back(), y, 1e-3) << "the fence's foot";
            for (Objex* plant : {members[3], members[4]})
              for (const float v : raised.at(plant)) ASSERT_NEAR(v, y, 1e-3) << "plant " << plant->subtype;
          }
          std::srand(7);
          elevate(root, ground);
          EXPECT_EQ(onTheTerrain(), 5) << "back on the terrain";
          EXPECT_NEAR(shown(root), ground, 1e-3);
          {
            SCOPED_TRACE("the ground again");
            ExpectSameHeights(alone, HeightsOf(Scene(), members));
          }
          if (HasFailure()) return;
        }
}

// The tester's design: every kind built with the tools on the Third Floor, floated, and saved
// (copies of them on the Second Floor). Each object on the terrain shows the ground alone, and
// so does the group of them all that the Third Floor is worked on to make (its base the
// floor's, 192"). Set 2' above the ground, each member leaves the terrain to stand 2' higher
// than it stood; the ground again puts each back on the terrain where it stood. The plants keep
// the heights their points hold in the file (the Third Floor's base, written there by the
// builder that placed them): what a saved design holds is kept as it is.
TEST_F(GroupedPlacement, TheTestersFloatedThirdFloorShowsTheGroundGroupedAsAlone) {
  const std::filesystem::path design = std::filesystem::path(CASA_SOURCE_DIR) / "tests" / "app" / "data" /
                                       "regressions" / "every-kind-third-floor-floated.pro";
  ASSERT_EQ(KeyFileRead(design.string().c_str()), 1);
  DocState* ds = doc.ds();
  for (Layer* l = doc.model.itsLayers; l; l = l->next) l->visible = 1;
  Layer* third = GetLayerFromName("Third Floor");
  ASSERT_NE(third, nullptr);
  auto shown = [&](Objex* root) {
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
    SetObjectSelectFlags(root, 1);
    ClearSelectionState40(ds, &ds->selectionState40);
    TopLevelObjectAllLayers(doc.model.itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
    SetObjectSelectFlags(root, 0);
    return ds->selectionState40.ssBaseElevationValue;
  };
  std::vector<Objex*> floated, built;
  for (Objex* o = third->firstObject; o; o = o->next)
    if (o->auxFlag) floated.push_back(o);
  const Heights opened = Scene();
  std::vector<int16_t> kinds;
  for (Objex* o : floated) {
    kinds.push_back(o->type);
    if (opened.count(o)) built.push_back(o);
    EXPECT_NEAR(shown(o), 0, 1e-3) << "alone, kind " << o->type;
  }
  for (const int16_t kind : {kObjFence, kObjEdging, kObjPlant})
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), kind), kinds.end()) << "kind " << kind;
  const auto before = HeightsOf(opened, built);
  auto onTheTerrain = [&] {
    int n = 0;
    for (Objex* o : built) n += o->auxFlag;
    return n;
  };
  const int standing = onTheTerrain();
  ASSERT_EQ(static_cast<size_t>(standing), built.size());
  doc.model.itsCurLayer = third;
  Objex* root = group(floated, GetLayerAbsBaseHeight(third));
  ASSERT_NE(root, nullptr);
  EXPECT_FLOAT_EQ(root->baseElevation, 192);
  {
    SCOPED_TRACE("grouped");
    ExpectSameHeights(before, HeightsOf(Scene(), built));
  }
  EXPECT_NEAR(shown(root), 0, 1e-3) << "the ground, where its members stand";
  auto elevate = [&](float inches) {
    SetObjectSelectFlags(root, 1);
    gBaseElevation = inches / 12;
    TopLevelObjectAllLayers(doc.model.itsLayers, kCmdElevateObjects, CommandArg::None());
    SetObjectSelectFlags(root, 0);
  };
  elevate(24);
  EXPECT_EQ(onTheTerrain(), 0);
  const auto raised = HeightsOf(Scene(), built);
  const float rise = ConvertWorldToScreen(24, ds, 0);
  for (size_t k = 0; k < built.size(); ++k) {
    SCOPED_TRACE(testing::Message() << "kind " << built[k]->type);
    ASSERT_EQ(raised[k].size(), before[k].size());
    // A fence's foot and each plant's footprint: 2' higher than they stood.
    if (built[k]->type == kObjFence) EXPECT_NEAR(raised[k].back(), before[k].back() - rise, 1e-3);
    if (built[k]->type == kObjPlant)
      for (size_t i = 0; i < raised[k].size(); ++i) EXPECT_NEAR(raised[k][i], before[k][i] - rise, 1e-3);
  }
  elevate(0);
  EXPECT_EQ(onTheTerrain(), standing);
  {
    SCOPED_TRACE("the ground again");
    ExpectSameHeights(before, HeightsOf(Scene(), built));
  }
  for (Objex* o : built)
    if (o->type == kObjPlant)
      for (Poinz* p = o->firstPoint; p; p = p->next) EXPECT_FLOAT_EQ(p->position[1], 192) << "as saved";
}

}  // namespace
