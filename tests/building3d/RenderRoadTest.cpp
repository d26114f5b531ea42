// The road from plan objects to plane objects: deferral while the 3D window is hidden, the
// layer walk, patches and caps of ring objects, retypes that leave the plan as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <cmath>
#include <map>
#include <vector>

#include "SceneTestSupport.h"
#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "building3d/Plants3D.h"
#include "building3d/RenderRoad.h"
#include "building3d/Walls3D.h"
#include "model/Delete.h"
#include "model/Plants.h"
#include "model/Services.h"
#include "model/WallFields.h"

namespace {

bool sVisible = false;
void ViewBounds(int32_t* w, int32_t* h) { *w = *h = 64; }
bool IsVisible() { return sVisible; }

// A document with a 3D window controller whose window is shown or hidden, and an empty scene
// that is freed again afterwards.
struct RoadTest : ::testing::Test {
  TestDocument doc;
  LiveViewHost savedHost = gLiveViewHost;

  void SetUp() override {
    gLiveViewHost.viewBounds = ViewBounds;
    gLiveViewHost.isVisible = IsVisible;
    sVisible = true;
    gRenderOnShow = gForceRenderObjectNow = gEnableBackgroundRendering = 0;
    gDisableRenderInterrupt = 0;
    FreeScene();
  }
  void TearDown() override {
    FreeScene();
    gLiveViewHost = savedHost;
    gRenderOnShow = gForceRenderObjectNow = 0;
  }
  static int Count() {
    int n = 0;
    for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) ++n;
    return n;
  }
  static std::map<int, int> CountByPartType() {
    std::map<int, int> byType;
    for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) ++byType[po->partType];
    return byType;
  }

  // A closed polygon of `levels` rings of 4 points (a 100 x 100 square, each ring 50 higher).
  Objex* Rings(int levels, bool closed, bool capped, int16_t type = kObjClosedPoly) {
    Objex* o = doc.addObject(type, closed, {});
    for (int r = 0; r < levels; ++r)
      for (auto [x, z] : {std::pair{0.f, 0.f}, {100.f, 0.f}, {100.f, 100.f}, {0.f, 100.f}})
        AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, -50.f * r, z, 0, 0, 0, 0, 0, 0, o), o);
    o->pointCount = 4 * levels;
    o->levels = static_cast<int16_t>(levels);
    o->closed = closed;
    o->capped = capped;
    return o;
  }
};

TEST_F(RoadTest, HiddenWindowDefersEveryBuild) {
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {200, 0}, {200, 200}, {0, 200}});
  sVisible = false;
  RenderSingleObject(wall);
  EXPECT_EQ(gGLPlaneObjects, nullptr);
  EXPECT_EQ(gRenderOnShow, 1);

  for (auto build : {+[] { RenderAllLayers(); }, +[] { RenderLayer(gCurDocument->itsLayers); },
                     +[] { RenderEntireObject(gCurDocument->itsLayers->firstObject); }}) {
    gRenderOnShow = 0;
    build();
    EXPECT_EQ(gRenderOnShow, 1);
    EXPECT_EQ(gGLPlaneObjects, nullptr);
  }

  // Background rendering keeps the scene up to date although the window is hidden.
  gRenderOnShow = 0;
  gEnableBackgroundRendering = 1;
  RenderSingleObject(wall);
  EXPECT_EQ(gRenderOnShow, 0);
  EXPECT_NE(gGLPlaneObjects, nullptr);
  gEnableBackgroundRendering = 0;
}

TEST_F(RoadTest, ForcedBuildOnEmptyOrStaleSceneIsNotForced) {
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {200, 0}, {200, 200}, {0, 200}});
  sVisible = false;
  gForceRenderObjectNow = 1;
  RenderSingleObject(wall);
  EXPECT_EQ(gForceRenderObjectNow, 0);
  EXPECT_EQ(gRenderOnShow, 1);
  EXPECT_EQ(gGLPlaneObjects, nullptr);

  // A forced build on a current scene goes on while hidden and leaves the stale flag alone.
  sVisible = true;
  RenderSingleObject(wall);
  const int built = Count();
  ASSERT_GT(built, 0);
  sVisible = false;
  gRenderOnShow = 0;
  gForceRenderObjectNow = 1;
  RenderSingleObject(wall);
  EXPECT_EQ(gForceRenderObjectNow, 1);
  EXPECT_EQ(gRenderOnShow, 0);
  EXPECT_EQ(Count(), 2 * built);
  gForceRenderObjectNow = 0;
}

// Building a plant's 3D sizes its billboard from its age and leaves the plan alone: the plant
// stays unselected and its footprint keeps its size, however often the scene is built.
TEST_F(RoadTest, BuildingAPlantSizesItsBillboardAndLeavesThePlantAsItWas) {
  Objex* plant = BuildLandscapePlant(doc.first, 0, 4711);
  ASSERT_NE(plant, nullptr);
  plant->plantAge += 3;  // older than its footprint: the growth commands resize, a build does not
  const float right = plant->bounds3D.floatRight;
  float width = 0, height = 0;
  GetPlantBounds(plant, &width, &height, 0);
  for (int pass = 0; pass < 2; ++pass) {
    FreeScene();
    RenderAllLayers();
    PlaneObject* po = gGLPlaneObjects;
    ASSERT_NE(po, nullptr);
    EXPECT_FLOAT_EQ(po->billboardSize[0], width / 2);
    EXPECT_FLOAT_EQ(po->billboardSize[1], height);
    for (Poinz* p = plant->firstPoint; p; p = p->next) EXPECT_EQ(p->selected, 0);
    EXPECT_FLOAT_EQ(plant->bounds3D.floatRight, right);
  }
}

TEST_F(RoadTest, NoControllerBuildsAndMarksNothing) {
  gLiveViewHost.viewBounds = nullptr;
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {200, 0}, {200, 200}, {0, 200}});
  RenderSingleObject(wall);
  RenderAllLayers();
  EXPECT_EQ(gGLPlaneObjects, nullptr);
  EXPECT_EQ(gRenderOnShow, 0);
}

TEST_F(RoadTest, ThreeClosedCappedRingsGiveEightPatchesAndTwoCaps) {
  Objex* o = Rings(3, true, true);
  RenderObject(o);
  int patches = 0, caps = 0;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    if (po->renderKind == 6) ++caps;
    else ++patches;
    EXPECT_EQ(po->base2DObject, nullptr);
    EXPECT_EQ(po->sourceObject, o);
  }
  EXPECT_EQ(patches, 8);
  EXPECT_EQ(caps, 2);
  EXPECT_EQ(o->needsRender, 0);
}

TEST_F(RoadTest, OpenOrUncappedRingsGetNoCaps) {
  Objex* open = Rings(2, false, true);
  RenderObject(open);
  EXPECT_EQ(Count(), 3);  // three patches: no closing patch, no caps
  FreeScene();
  Objex* uncapped = Rings(2, true, false);
  RenderObject(uncapped);
  EXPECT_EQ(Count(), 4);
}

TEST_F(RoadTest, CappedEdgingPartGetsOnlyTheBackCap) {
  Objex* edging = doc.addObject(kObjEdging, false, {});
  Objex* part = Rings(2, true, true);
  UnlinkObject(part);
  part->sourceObject = edging;
  RenderObject(part);
  int caps = 0;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) caps += po->renderKind == 6;
  EXPECT_EQ(Count(), 5);
  EXPECT_EQ(caps, 1);
  DeleteObj(part);
}

TEST_F(RoadTest, WallGetsFloorAndCeilingPassesAndKeepsItsFields) {
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {200, 0}, {200, 200}, {0, 200}});
  wall->width = 4;
  wall->subtype = kSubExteriorWall;
  for (Poinz* p = wall->firstPoint; p; p = p->next) WallHeightOf(p) = 96;
  Update3DWall(wall);
  ASSERT_NE(wall->typeData, nullptr);
  NoAutoFloorOf(wall) = 0;
  wall->capped = 0;
  wall->closed = 1;
  const Objex before = *wall;
  RenderSingleObject(wall);
  std::map<int, int> byType = CountByPartType();
  EXPECT_EQ(byType[kObjWallFloorPass], 1);
  EXPECT_EQ(byType[kObjWallCeilingPass], 1);
  EXPECT_EQ(byType[kObjWallFace], 10);
  EXPECT_EQ(wall->type, before.type);
  EXPECT_EQ(wall->closed, before.closed);
  EXPECT_EQ(wall->capped, before.capped);
  EXPECT_EQ(wall->sourceObject, before.sourceObject);
  EXPECT_EQ(wall->auxShort, before.auxShort);
  EXPECT_EQ(memcmp(&wall->textureRect, &before.textureRect, sizeof(FloatRect)), 0);
  EXPECT_EQ(gBase2DObject, nullptr);
  EXPECT_EQ(gActual3DObject, nullptr);
  // Every plane object of the wall names it as its plan object.
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) EXPECT_EQ(po->base2DObject, wall);
}

TEST_F(RoadTest, WallsWithoutAutomaticFloorOrWithTwoPoints) {
  Objex* two = doc.addObject(kObjWall, false, {{0, 0}, {200, 0}});
  RenderSingleObject(two);
  EXPECT_EQ(CountByPartType()[kObjWallFloorPass], 0);
  Objex* interior = doc.addObject(kObjWall, true, {{0, 0}, {200, 0}, {200, 200}});
  NoAutoFloorOf(interior) = 1;
  RenderSingleObject(interior);
  EXPECT_EQ(CountByPartType()[kObjWallFloorPass], 0);
  EXPECT_EQ(CountByPartType()[kObjWallCeilingPass], 0);
}

TEST_F(RoadTest, FramingViewBuildsOnlyFramedKinds) {
  doc.ds()->framingView = 1;
  Objex* text = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}});
  RenderSingleObject(text);
  EXPECT_EQ(gGLPlaneObjects, nullptr);
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {200, 0}, {200, 200}, {0, 200}});
  RenderSingleObject(wall);
  int members = 0;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) members += po->renderKind == 37 && po->sourceObject == wall;
  EXPECT_GT(members, 0) << "the wall's framing";
  EXPECT_EQ(CountByPartType()[kObjWallCeilingPass], 0);
  EXPECT_EQ(CountByPartType()[kObjWallFloorPass], 1);
  doc.ds()->framingView = 0;
}

TEST_F(RoadTest, FramingViewBuildsRoofTrussesAfterTheRoofsParts) {
  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {240, 0}, {240, 144}, {0, 144}});
  roof->textureID = 2;  // gable
  roof->width = 6;
  auto trussFaces = [&] {
    int n = 0;
    for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) n += po->renderKind == 37 && po->sourceObject == roof;
    return n;
  };
  RenderSingleObject(roof);
  EXPECT_EQ(trussFaces(), 0) << "not outside framing view";
  doc.ds()->framingView = 1;
  RenderSingleObject(roof);
  // Six trusses of two rafters, the ridge, two purlins and two plates: four faces each.
  EXPECT_EQ(trussFaces(), 6 * 8 + 5 * 4);
  doc.ds()->framingView = 0;
}

TEST_F(RoadTest, RetypedSlabsGetBackTheirTypes) {
  Objex* floor = doc.addObject(kObjFloor, true, {{0, 0}, {100, 0}, {100, 100}});
  RenderSingleObject(floor);
  EXPECT_EQ(floor->type, kObjFloor);
  std::map<int, int> byType = CountByPartType();
  EXPECT_EQ(byType[kObjFloor], 1);
  EXPECT_EQ(byType[kObjFloorSecondPass], 1);

  Objex* cutout = doc.addObject(kObjCutout, true, {{0, 0}, {10, 0}, {10, 10}});
  RenderSingleObject(cutout);
  EXPECT_EQ(cutout->type, kObjCutout);
  byType = CountByPartType();
  EXPECT_EQ(byType[kObjCutout], 1);
  EXPECT_EQ(byType[kObjCutoutFirstPass], 1);

  // An excavation comes back uncapped but stays closed.
  Objex* dig = doc.addObject(kObjTopoExcavation, false, {{0, 0}, {50, 0}, {50, 50}});
  dig->capped = 1;
  RenderSingleObject(dig);
  EXPECT_EQ(dig->type, kObjTopoExcavation);
  EXPECT_EQ(dig->closed, 1);
  EXPECT_EQ(dig->capped, 0);
  EXPECT_EQ(CountByPartType()[kObjExcavationPass], 1);

  // A wall's floor and ceiling passes leave it uncapped.
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {200, 0}, {200, 200}, {0, 200}});
  NoAutoFloorOf(wall) = 0;
  wall->capped = 1;
  RenderSingleObject(wall);
  EXPECT_EQ(wall->type, kObjWall);
  EXPECT_EQ(wall->closed, 1);
  EXPECT_EQ(wall->capped, 0);
}

TEST_F(RoadTest, GroupOnTerrainIsReseatedOnceNotEveryBuild) {
  Objex* group = doc.addObject(kObjGroup, false, {});
  Objex* part = Rings(1, true, true, kObjSymbolPart3D);
  UnlinkObject(part);
  for (Poinz* p = part->firstPoint; p; p = p->next) p->position[1] = 10;
  group->firstChild = part;
  part->parent = group;
  part->bounds3D = {10, 0, 0, 10, 100, 100};
  group->bounds3D = part->bounds3D;
  OnTopographyOf(group) = 1;
  RenderSingleObject(group);
  // Without a terrain the ground is at 0: the parts come down by 10, and so do the bounds.
  EXPECT_FLOAT_EQ(part->firstPoint->position[1], 0);
  EXPECT_FLOAT_EQ(group->bounds3D.floatBottom, 0);
  RenderSingleObject(group);
  EXPECT_FLOAT_EQ(part->firstPoint->position[1], 0);
  EXPECT_EQ(gGLPlaneObjects, nullptr);  // a group builds nothing itself
}

TEST_F(RoadTest, AllLayersFromFirstFloorOn) {
  Layer* before = CreateLayer("Sketch", 1, 1, nullptr);
  before->next = doc.model.itsLayers;
  doc.model.itsLayers->prev = before;
  doc.model.itsLayers = before;
  Objex* early = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}}, before);
  Objex* upstairs = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}}, doc.second);
  Objex* hidden = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}}, doc.third);
  doc.third->visible = 0;
  gPrevPlaneParentObject = early;
  gPrevPlaneColor = RGBColor{40, 50, 60};
  RenderAllLayers();
  bool sawEarly = false, sawUpstairs = false, sawHidden = false;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    sawEarly |= po->base2DObject == early;
    sawUpstairs |= po->base2DObject == upstairs;
    sawHidden |= po->base2DObject == hidden;
  }
  EXPECT_FALSE(sawEarly);
  EXPECT_TRUE(sawUpstairs);
  EXPECT_FALSE(sawHidden);
  EXPECT_EQ(gPrevPlaneParentObject, nullptr);
  EXPECT_EQ(gPrevPlaneColor, (RGBColor{1, 1, 1}));  // the renderer's "none"
  EXPECT_EQ(gRefreshRender, 1);

  // Without a "First Floor" every layer is built.
  FreeScene();
  strcpy(doc.first->name, "Ground");
  RenderAllLayers();
  sawEarly = false;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) sawEarly |= po->base2DObject == early;
  EXPECT_TRUE(sawEarly);
}

TEST_F(RoadTest, AlphaOfGlassAndCustomParts) {
  Objex* part = Rings(1, true, true, kObjCustomAttachmentPart);
  AlphaValueOf(part) = 90;
  RenderObject(part);
  ASSERT_NE(gGLPlaneObjects, nullptr);
  EXPECT_EQ(gGLPlaneObjects->alpha, 90);
  FreeScene();
  part->subtype = kObjWindow;
  RenderObject(part);
  ASSERT_NE(gGLPlaneObjects, nullptr);
  EXPECT_EQ(gGLPlaneObjects->alpha, gWindowGlassTransparency);
  FreeScene();
  AlphaValueOf(part) = 100000;  // out of range in a damaged file
  part->subtype = 0;
  RenderObject(part);
  ASSERT_NE(gGLPlaneObjects, nullptr);
  EXPECT_EQ(gGLPlaneObjects->alpha, 255);
}

TEST_F(RoadTest, WallFacesOfSubtype173AreCollectedIntoOnePlaneObject) {
  Objex* face = Rings(2, true, false, kObjWallFace);
  face->subtype = 173;
  RenderObject(face);
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(gGLPlaneObjects->partType, 173);
  EXPECT_NE(gGLPlaneObjects->planes, nullptr);
}

TEST_F(RoadTest, AccessoryFacesTakeTheAccessorysTransparency) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {200, 0}});
  Objex* accessory = doc.addObject(kObjAccessory, false, {});
  UnlinkObject(accessory);
  wall->firstChild = accessory;
  accessory->parent = wall;
  auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  data->anchorStart = wall->firstPoint;
  data->anchorEnd = wall->firstPoint->next;
  BaseElevationOf(wall->firstPoint) = 12;
  accessory->typeData = data;
  Objex* face = Rings(1, true, true, kObjAccessoryFace);
  UnlinkObject(face);
  data->faces = face;
  accessory->params[4] = 55;
  RenderSingleObject(wall);
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(gGLPlaneObjects->alpha, 200);
  EXPECT_FLOAT_EQ(gGLPlaneObjects->elevation, 12);
  EXPECT_EQ(gGLPlaneObjects->actual3DObject, accessory);
  FreeScene();
  accessory->params[4] = std::numeric_limits<float>::quiet_NaN();  // a damaged design
  RenderSingleObject(wall);
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(gGLPlaneObjects->alpha, 255);
}

}  // namespace

// Each face of a wall's body takes the material of its segment's side from the segment's
// start point: the faces along the wall points show the point's first slot (drawn side B),
// the faces of the other side its second; the end faces keep the wall's own colours.
TEST_F(RoadTest, WallFacesTakeTheirSegmentsSideMaterials) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {200, 0}, {200, 200}});
  wall->width = 4;
  NoAutoFloorOf(wall) = 1;
  wall->penColor = RGBColor{1000, 1000, 1000};
  wall->fillColor = RGBColor{2000, 2000, 2000};
  const RGBColor red{65535, 0, 0}, green{0, 65535, 0}, blue{0, 0, 65535}, yellow{65535, 65535, 0};
  Poinz* p0 = wall->firstPoint;
  Poinz* p1 = p0->next;
  p0->color[0] = red, p0->color[1] = green;
  p1->color[0] = blue, p1->color[1] = yellow;
  p0->textureID[0] = 1700, p0->textureID[1] = 0;
  p0->textureScale[0] = ShortPoint{50, 80};
  for (Poinz* p = wall->firstPoint; p; p = p->next) WallHeightOf(p) = 96;
  Update3DWall(wall);
  ASSERT_NE(wall->typeData, nullptr);
  RenderSingleObject(wall);
  std::vector<PlaneObject*> faces;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next)
    if (po->partType == kObjWallFace && po->renderKind != 126) faces.push_back(po);
  // Three points: two faces along the points, the far end, two faces back, the near end.
  ASSERT_EQ(faces.size(), 6u);
  auto expectSide = [](PlaneObject* po, Poinz* start, int shown) {
    EXPECT_EQ(po->colorB, start->color[shown]);
    EXPECT_EQ(po->colorA, start->color[1 - shown]);
    EXPECT_EQ(po->colorLinkB, &start->color[shown]);
    EXPECT_EQ(po->textureIdB, start->textureID[shown]);
    EXPECT_EQ(po->textureLinkB, &start->textureID[shown]);
    EXPECT_EQ(po->textureScaleB[0], start->textureScale[shown].x);
    EXPECT_EQ(po->textureScaleB[1], start->textureScale[shown].y);
  };
  expectSide(faces[0], p0, 0);  // segment 0, along the points: red
  expectSide(faces[1], p1, 0);  // segment 1: blue
  expectSide(faces[3], p1, 1);  // segment 1, other side: yellow
  expectSide(faces[4], p0, 1);  // segment 0, other side: green
  EXPECT_GT(faces[0]->textureSizeB[0], 0.0f);
  EXPECT_EQ(faces[4]->textureIdB, 0);
  // The far end has no segment of its own.
  for (Poinz* p = wall->firstPoint; p; p = p->next) EXPECT_NE(faces[2]->colorLinkB, &p->color[0]);
}

namespace {

double PlanArea(const Plane* p) {
  double a = 0;
  for (int32_t i = 0; i < p->vertexCount; ++i) {
    const PlaneVertex& u = p->vertices[i];
    const PlaneVertex& v = p->vertices[(i + 1) % p->vertexCount];
    a += static_cast<double>(u.x) * v.z - static_cast<double>(v.x) * u.z;
  }
  return std::fabs(a) / 2;
}

bool InsideRoom(const std::vector<std::pair<float, float>>& room, double x, double z) {
  bool inside = false;
  for (size_t i = 0, j = room.size() - 1; i < room.size(); j = i++) {
    const auto [xi, zi] = room[i];
    const auto [xj, zj] = room[j];
    if ((zi > z) != (zj > z) && x < (xj - xi) * (z - zi) / (zj - zi) + xi) inside = !inside;
  }
  return inside;
}

// Automatic floors of rooms of three corners and of concave rooms (an L and a U): the floor
// and ceiling passes tile exactly the room, facing up, at the floor line.
TEST_F(RoadTest, AutomaticFloorsTileRoomsOfThreeCornersAndConcaveRooms) {
  struct Room {
    std::vector<std::pair<float, float>> outline;
    double area;
  };
  const Room rooms[] = {
      {{{0, 0}, {200, 0}, {0, 150}}, 15000},
      {{{0, 0}, {200, 0}, {200, 100}, {100, 100}, {100, 200}, {0, 200}}, 30000},
      {{{0, 0}, {300, 0}, {300, 200}, {200, 200}, {200, 100}, {100, 100}, {100, 200}, {0, 200}}, 50000},
  };
  for (const Room& room : rooms) {
    SCOPED_TRACE(room.outline.size());
    FreeScene();
    Objex* wall = doc.addObject(kObjWall, true, {});
    for (auto [x, z] : room.outline)
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, wall), wall);
    wall->width = 4;
    wall->subtype = kSubExteriorWall;
    NoAutoFloorOf(wall) = 0;
    for (Poinz* p = wall->firstPoint; p; p = p->next) WallHeightOf(p) = 96;
    Update3DWall(wall);
    RenderSingleObject(wall);
    std::map<int, double> areaByPass;
    for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
      if (po->partType != kObjWallFloorPass && po->partType != kObjWallCeilingPass) continue;
      for (const Plane* p = po->planes; p; p = p->next) {
        areaByPass[po->partType] += PlanArea(p);
        EXPECT_LT(p->normal[1], -0.9f);
        double cx = 0, cz = 0;
        for (int32_t k = 0; k < p->vertexCount; ++k) {
          EXPECT_FLOAT_EQ(p->vertices[k].y, 0);
          cx += p->vertices[k].x, cz += p->vertices[k].z;
        }
        EXPECT_TRUE(InsideRoom(room.outline, cx / p->vertexCount, cz / p->vertexCount)) << cx << " " << cz;
      }
    }
    EXPECT_NEAR(areaByPass[kObjWallFloorPass], room.area, 1e-2);
    EXPECT_NEAR(areaByPass[kObjWallCeilingPass], room.area, 1e-2);
  }
}

}  // namespace
