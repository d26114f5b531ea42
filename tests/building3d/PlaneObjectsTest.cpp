// Plane objects: creation defaults, the normal limit, the class rule, linking into the scene
// list and its sub-lists, and freeing.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "SceneTestSupport.h"
#include "building3d/PlaneObjects.h"

namespace {

using PlaneObjects = SceneTest;

Plane* PlaneWithNormal(float nx, float ny, float nz) {
  return CreatePlane(Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), 3, nx, ny, nz);
}

// A plane object with one pentagon (triangulated on append unless exempt).
PlaneObject* PentagonObject(int16_t renderKind = 0) {
  PlaneObject* po = CreatePlaneObject();
  po->renderKind = renderKind;
  AppendPlane(Vertices({{0, 0}, {10, 0}, {13, 8}, {5, 13}, {-3, 8}}), 5, 0, 0, 1, po);
  return po;
}

TEST_F(PlaneObjects, NewPlaneObjectHasItsDefaults) {
  PlaneObject* po = CreatePlaneObject();
  ASSERT_NE(po, nullptr);
  EXPECT_EQ(po->textureScaleA[0], 100);
  EXPECT_EQ(po->textureScaleB[1], 100);
  EXPECT_FLOAT_EQ(po->textureSizeA[1], 1.0f);
  EXPECT_FLOAT_EQ(po->textureSizeB[0], 1.0f);
  EXPECT_FLOAT_EQ(po->billboardSize[0], 1.0f);
  EXPECT_EQ(po->alpha, 255);
  EXPECT_EQ(po->planes, nullptr);
  EXPECT_EQ(po->planeClass, 0);
  DeletePlaneObject(po);
}

TEST_F(PlaneObjects, NormalsAreKeptBelowOne) {
  Plane* p = PlaneWithNormal(0, 2, 0);
  EXPECT_FLOAT_EQ(p->normal[0], 0);
  EXPECT_FLOAT_EQ(p->normal[1], 0.99f);
  EXPECT_FLOAT_EQ(p->normal[2], 0);
  DeletePlane(p);
  p = PlaneWithNormal(0.5f, 0.5f, 0);
  EXPECT_FLOAT_EQ(p->normal[0], 0.5f);
  EXPECT_FLOAT_EQ(p->normal[1], 0.5f);
  DeletePlane(p);
  p = PlaneWithNormal(-3, 1.5f, 0);
  EXPECT_FLOAT_EQ(p->normal[0], -0.99f);
  EXPECT_FLOAT_EQ(p->normal[1], 0.495f);
  EXPECT_FLOAT_EQ(p->normal[2], 0);
  DeletePlane(p);
  p = PlaneWithNormal(0, 0, -1);  // exactly 1 is scaled too
  EXPECT_FLOAT_EQ(p->normal[2], -0.99f);
  DeletePlane(p);
  EXPECT_EQ(CreatePlane(nullptr, 3, 0, 0, 1), nullptr);
}

TEST_F(PlaneObjects, AppendPlaneLinksAtTheTailAndNeverLeaksItsArray) {
  PlaneObject* po = CreatePlaneObject();
  Plane* first = AppendPlane(Vertices({{0, 0}, {1, 0}, {0, 1}}), 3, 0, 0, 1, po);
  Plane* second = AppendPlane(Vertices({{0, 0}, {2, 0}, {0, 2}}), 3, 0, 0, 1, po);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(po->planes, first);
  EXPECT_EQ(first->next, second);
  EXPECT_EQ(second->prev, first);
  EXPECT_EQ(second->next, nullptr);
  // No plane object: nothing is made and the handed-over array is freed (ASan would report it).
  EXPECT_EQ(AppendPlane(Vertices({{0, 0}, {1, 0}, {0, 1}}), 3, 0, 0, 1, nullptr), nullptr);
  EXPECT_EQ(AppendPlane(nullptr, 3, 0, 0, 1, po), nullptr);
  EXPECT_EQ(CountPlanes(po->planes), 2);
  DeletePlaneObject(po);
}

// Planes made with room for their vertices mix with planes owning a separate array: both are
// linked alike, keep the normal limit and are freed once (ASan reports a wrong or double free).
TEST_F(PlaneObjects, PlanesWithTheirOwnRoomLinkAndFreeLikeOthers) {
  PlaneObject* po = CreatePlaneObject();
  Plane* own = AppendPlane(Vertices({{0, 0}, {1, 0}, {0, 1}}), 3, 0, 0, 1, po);
  Plane* roomy = AppendPlaneWithRoom(4, 0, -2, 0, po);
  ASSERT_NE(roomy, nullptr);
  EXPECT_EQ(own->next, roomy);
  EXPECT_EQ(roomy->prev, own);
  ASSERT_EQ(roomy->vertexCount, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(roomy->vertices[i].x, 0) << "zeroed";
  EXPECT_FLOAT_EQ(roomy->normal[1], -0.99f);
  roomy->vertices[3].z = 7;
  EXPECT_EQ(AppendPlaneWithRoom(4, 0, 0, 1, nullptr), nullptr);
  EXPECT_EQ(AppendPlaneWithRoom(0, 0, 0, 1, po), nullptr);
  EXPECT_EQ(CountPlanes(po->planes), 2);
  // Letting go of the vertices of either kind leaves a plane without any; a new array can be hung.
  ReleasePlaneVertices(roomy);
  EXPECT_EQ(roomy->vertices, nullptr);
  EXPECT_EQ(roomy->vertexCount, 0);
  roomy->vertices = Vertices({{0, 0}, {3, 0}, {0, 3}});
  roomy->vertexCount = 3;
  ReleasePlaneVertices(own);
  EXPECT_EQ(own->vertices, nullptr);
  DeletePlaneObject(po);
  DeletePlane(CreatePlaneWithRoom(3, 0, 0, 1));
}

// Freed plane objects and small planes are made again from the same blocks: what comes back
// must be exactly what a fresh one is, whatever the freed one held.
TEST_F(PlaneObjects, RemadeBlocksComeBackAsNew) {
  PlaneObject* fresh = CreatePlaneObject();
  for (int round = 0; round < 3; ++round) {
    std::vector<PlaneObject*> used;
    for (int i = 0; i < 50; ++i) {
      PlaneObject* po = CreatePlaneObject();
      memset(static_cast<void*>(po), 0x5A, sizeof(PlaneObject));
      po->planes = nullptr;
      po->children = po->attachments = nullptr;
      po->sceneIndexEntry = nullptr;
      po->sameBasePrev = po->sameBaseNext = nullptr;
      Plane* plane = AppendPlaneWithRoom(4, 0, 0, 1, po);
      for (int k = 0; k < 4; ++k) plane->vertices[k] = PlaneVertex{1, 2, 3, 4, 5, 6};
      used.push_back(po);
    }
    for (PlaneObject* po : used) DeletePlaneObject(po);
    for (int i = 0; i < 50; ++i) {
      PlaneObject* po = CreatePlaneObject();
      EXPECT_EQ(memcmp(static_cast<void*>(po), static_cast<void*>(fresh), sizeof(PlaneObject)), 0);
      Plane* plane = CreatePlaneWithRoom(3, 0, 0, 1);
      EXPECT_EQ(plane->prev, nullptr);
      EXPECT_EQ(plane->next, nullptr);
      for (int k = 0; k < 3; ++k) EXPECT_EQ(plane->vertices[k].x + plane->vertices[k].flag + plane->vertices[k].v, 0);
      po->planes = plane;
      used[static_cast<size_t>(i)] = po;
    }
    for (PlaneObject* po : used) DeletePlaneObject(po);
  }
  DeletePlaneObject(fresh);
}

TEST_F(PlaneObjects, ClassFollowsTheSourceType) {
  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {10, 0}, {10, 10}});
  Objex* floor = doc.addObject(kObjFloor, true, {{0, 0}, {10, 0}, {10, 10}});
  Objex* face = doc.addObject(kObjWallFace, true, {{0, 0}, {10, 0}, {10, 10}});
  Objex* slopedPart = doc.addObject(45, true, {{0, 0}, {10, 0}, {10, 10}});
  PlaneObject* plainRoof = PentagonObject();
  AppendPlaneObject(plainRoof, roof);
  roof->fillPattern = 3;
  PlaneObject* patternedRoof = PentagonObject();
  AppendPlaneObject(patternedRoof, roof);
  PlaneObject* floorPart = PentagonObject();
  AppendPlaneObject(floorPart, floor);
  PlaneObject* facePart = PentagonObject();
  AppendPlaneObject(facePart, face);
  PlaneObject* railPart = PentagonObject();
  AppendPlaneObject(railPart, slopedPart);
  EXPECT_EQ(plainRoof->planeClass, 1);
  EXPECT_EQ(patternedRoof->planeClass, 2);
  EXPECT_EQ(floorPart->planeClass, 2);
  EXPECT_EQ(facePart->planeClass, 1);
  EXPECT_EQ(railPart->planeClass, 2);
  // Roofs keep their polygons; other plane objects are handed on as triangles.
  EXPECT_EQ(plainRoof->planes->vertexCount, 5);
  EXPECT_EQ(CountPlanes(facePart->planes), 3);
  EXPECT_EQ(facePart->planes->vertexCount, 3);
}

TEST_F(PlaneObjects, FramingMembersAreSecondClassOnlyInFramingView) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  PlaneObject* member = PentagonObject(37);
  AppendPlaneObject(member, wall);
  EXPECT_EQ(member->planeClass, 1);
  doc.ds()->framingView = 1;
  PlaneObject* framed = PentagonObject(37);
  AppendPlaneObject(framed, wall);
  EXPECT_EQ(framed->planeClass, 2);
}

TEST_F(PlaneObjects, BillboardsAndPhotosKeepTheirPolygons) {
  Objex* plant = doc.addObject(kObjPlant, true, {{0, 0}, {10, 0}, {10, 10}});
  for (int16_t kind : {8, 9, 131}) {
    PlaneObject* po = PentagonObject(kind);
    AppendPlaneObject(po, plant);
    EXPECT_EQ(CountPlanes(po->planes), 1) << kind;
    EXPECT_EQ(po->planes->vertexCount, 5) << kind;
  }
}

TEST_F(PlaneObjects, AppendRecordsWhereThePlaneObjectCameFrom) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  Objex* door = doc.addObject(kObjDoor, false, {{10, 0}, {40, 0}});
  gBase2DObject = wall;
  gActual3DObject = door;
  PlaneObject* po = PentagonObject();
  AppendPlaneObject(po, door);
  EXPECT_EQ(po->sourceObject, door);
  EXPECT_EQ(po->base2DObject, wall);
  EXPECT_EQ(po->actual3DObject, door);
  EXPECT_EQ(po->actual3DType, kObjDoor);
  EXPECT_EQ(gDisableRenderInterrupt, 1);
  // A trim records the plan object's type, a cut-out keeps the links its builder set.
  PlaneObject* trim = PentagonObject();
  AppendPlaneObjectAttachment(trim, po);
  EXPECT_EQ(trim->planeClass, 2);
  EXPECT_EQ(trim->sourceObject, wall);
  EXPECT_EQ(trim->actual3DObject, door);
  EXPECT_EQ(trim->actual3DType, kObjWall);
  PlaneObject* cutout = PentagonObject();
  AppendPlaneObjectChild(cutout, po);
  EXPECT_EQ(cutout->planeClass, 2);
  EXPECT_EQ(cutout->sourceObject, nullptr);
  EXPECT_EQ(po->children, cutout);
  EXPECT_EQ(po->attachments, trim);
}

TEST_F(PlaneObjects, NothingIsAppendedWithoutADocStateOrArguments) {
  Objex* face = doc.addObject(kObjWallFace, true, {{0, 0}, {10, 0}, {10, 10}});
  PlaneObject* po = PentagonObject();
  AppendPlaneObject(po, nullptr);
  AppendPlaneObject(nullptr, face);
  DocState* saved = doc.model.itsDocState;
  doc.model.itsDocState = nullptr;
  AppendPlaneObject(po, face);
  doc.model.itsDocState = saved;
  EXPECT_EQ(gGLPlaneObjects, nullptr);
  AppendPlaneObjectChild(nullptr, po);
  AppendPlaneObjectAttachment(nullptr, po);
  EXPECT_EQ(po->children, nullptr);
  DeletePlaneObject(po);
}

TEST_F(PlaneObjects, SceneListKeepsItsTailThroughUnlinks) {
  Objex* face = doc.addObject(kObjWallFace, true, {{0, 0}, {10, 0}, {10, 10}});
  PlaneObject* a = PentagonObject();
  PlaneObject* b = PentagonObject();
  PlaneObject* c = PentagonObject();
  AppendPlaneObject(a, face);
  AppendPlaneObject(b, face);
  AppendPlaneObject(c, face);
  EXPECT_EQ(gGLPlaneObjects, a);
  EXPECT_EQ(gGLPlaneObjectsTail, c);
  EXPECT_EQ(c->prev, b);
  UnlinkPlaneObject(c);
  DeletePlaneObject(c);
  EXPECT_EQ(gGLPlaneObjectsTail, b);
  PlaneObject* d = PentagonObject();
  AppendPlaneObject(d, face);
  EXPECT_EQ(b->next, d);
  EXPECT_EQ(d->prev, b);
  UnlinkPlaneObject(a);
  DeletePlaneObject(a);
  EXPECT_EQ(gGLPlaneObjects, b);
  EXPECT_EQ(b->prev, nullptr);
  // A list emptied from outside without its tail starts again at the head.
  FreeScene();
  PlaneObject* e = PentagonObject();
  AppendPlaneObject(e, face);
  EXPECT_EQ(gGLPlaneObjects, e);
  EXPECT_EQ(e->prev, nullptr);
  EXPECT_EQ(CountPlaneObjects(gGLPlaneObjects), 1);
}

TEST_F(PlaneObjects, DeletingFreesChildrenTrimsAndTheirPlanes) {
  // Two cut-outs and a trim: ASan's leak check fails the run when any record is left.
  PlaneObject* po = PentagonObject();
  AppendPlaneObjectChild(PentagonObject(), po);
  AppendPlaneObjectChild(PentagonObject(), po);
  AppendPlaneObjectAttachment(PentagonObject(), po);
  EXPECT_EQ(CountPlaneObjects(po->children), 2);
  EXPECT_EQ(po->children->next->prev, po->children);
  gRenderDirty = 0;
  DeletePlaneObject(po);
  EXPECT_EQ(gRenderDirty, 1);
}

// A plane object of `base`'s linked into the scene after `face`.
PlaneObject* AppendPentagonFor(Objex* base, Objex* face) {
  gBase2DObject = base;
  PlaneObject* po = PentagonObject();
  AppendPlaneObject(po, face);
  gBase2DObject = nullptr;
  return po;
}

// The plane objects of one plan object are found without walking the scene, and stay right
// through unlinks, whole-list frees, and plane objects linked in from outside.
TEST_F(PlaneObjects, SceneIndexFindsThePlaneObjectsOfOnePlanObject) {
  Objex* face = doc.addObject(kObjWallFace, true, {{0, 0}, {10, 0}, {10, 10}});
  Objex* wallA = doc.addObject(kObjWall, false, {{0, 0}, {10, 0}});
  Objex* wallB = doc.addObject(kObjWall, false, {{0, 0}, {10, 0}});
  auto appendFor = [&](Objex* base) { return AppendPentagonFor(base, face); };
  auto of = [](Objex* base) {
    std::vector<PlaneObject*> found;
    for (PlaneObject* po = FirstScenePlaneObjectOf(base); po; po = po->sameBaseNext) found.push_back(po);
    return found;
  };
  PlaneObject* a1 = appendFor(wallA);
  PlaneObject* b1 = appendFor(wallB);
  PlaneObject* a2 = appendFor(wallA);
  EXPECT_EQ(of(wallA), (std::vector<PlaneObject*>{a1, a2}));
  EXPECT_EQ(of(wallB), (std::vector<PlaneObject*>{b1}));
  EXPECT_TRUE(of(face).empty());
  UnlinkPlaneObject(a1);
  DeletePlaneObject(a1);
  EXPECT_EQ(of(wallA), (std::vector<PlaneObject*>{a2}));

  // Linked from outside: found after one walk.
  PlaneObject* outside = PentagonObject();
  outside->base2DObject = wallB;
  gGLPlaneObjectsTail->next = outside;
  outside->prev = gGLPlaneObjectsTail;
  gGLPlaneObjectsTail = outside;
  PlaneObject* a3 = appendFor(wallA);
  EXPECT_EQ(of(wallB), (std::vector<PlaneObject*>{b1, outside}));
  EXPECT_EQ(of(wallA), (std::vector<PlaneObject*>{a2, a3}));

  // The whole list freed at once: nothing of it is handed out again (ASan checks).
  FreeScene();
  EXPECT_TRUE(of(wallA).empty());
  PlaneObject* a4 = appendFor(wallA);
  EXPECT_EQ(of(wallA), (std::vector<PlaneObject*>{a4}));
  EXPECT_TRUE(of(wallB).empty());
  // Replaced from outside by a list of its own.
  PlaneObject* replaced = PentagonObject();
  replaced->base2DObject = wallB;
  FreeScene();
  gGLPlaneObjects = gGLPlaneObjectsTail = replaced;
  EXPECT_EQ(of(wallB), (std::vector<PlaneObject*>{replaced}));
  EXPECT_TRUE(of(wallA).empty());
}

// The journal names the plan objects whose plane objects came or went since it was last taken,
// and says when it cannot: the list linked from outside, freed whole, or started again.
TEST_F(PlaneObjects, SceneJournalNamesThePlanObjectsChanged) {
  Objex* face = doc.addObject(kObjWallFace, true, {{0, 0}, {10, 0}, {10, 10}});
  Objex* wallA = doc.addObject(kObjWall, false, {{0, 0}, {10, 0}});
  Objex* wallB = doc.addObject(kObjWall, false, {{0, 0}, {10, 0}});
  auto appendFor = [&](Objex* base) { return AppendPentagonFor(base, face); };
  std::vector<const Objex*> changed;
  using Bases = std::vector<const Objex*>;
  // A new scene is no list of changes.
  PlaneObject* a1 = appendFor(wallA);
  appendFor(wallA);
  EXPECT_FALSE(TakeSceneListChanges(changed));
  EXPECT_TRUE(changed.empty());
  // Nothing since.
  EXPECT_TRUE(TakeSceneListChanges(changed));
  EXPECT_TRUE(changed.empty());

  struct Step {
    const char* what;
    std::function<void()> change;
    bool known;
    Bases bases;
  };
  PlaneObject* b1 = nullptr;
  const Step steps[] = {
      {"appended", [&] { b1 = appendFor(wallB); appendFor(wallB); }, true, {wallB}},
      {"unlinked and freed", [&] { UnlinkPlaneObject(a1); DeletePlaneObject(a1); }, true, {wallA}},
      {"one rebuilt, another appended", [&] { UnlinkPlaneObject(b1); DeletePlaneObject(b1); appendFor(wallA); appendFor(wallB); },
       true, {wallB, wallA, wallB}},
      {"linked from outside", [&] {
         PlaneObject* outside = PentagonObject();
         outside->base2DObject = wallB;
         gGLPlaneObjectsTail->next = outside;
         outside->prev = gGLPlaneObjectsTail;
         gGLPlaneObjectsTail = outside;
         appendFor(wallA);
       }, false, {}},
      {"nothing", [] {}, true, {}},
      {"freed whole", [&] { FreeScene(); }, false, {}},
      {"started again", [&] { appendFor(wallB); }, false, {}},
      {"appended after the start", [&] { appendFor(wallA); }, true, {wallA}},
  };
  for (const Step& step : steps) {
    step.change();
    EXPECT_EQ(TakeSceneListChanges(changed), step.known) << step.what;
    EXPECT_EQ(changed, step.bases) << step.what;
  }
}

}  // namespace
