// Keeping the scene in step with edits: rebuild now while the 3D window shows, mark the scene
// stale while it is hidden, and drop plane objects by their plan object.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "render3d/RenderTestSupport.h"
#include "render3d/TopoCutouts.h"

namespace {
std::vector<PlaneObject*> Scene() {
  std::vector<PlaneObject*> list;
  for (PlaneObject* p = gGLPlaneObjects; p; p = p->next) list.push_back(p);
  return list;
}
}  // namespace

class Upkeep : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    gRenderOnShow = 0;
    gForceRenderObjectNow = 0;
  }
  void TearDown() override {
    RenderTest::TearDown();
    gRenderOnShow = 0;
    gForceRenderObjectNow = 0;
  }
};

TEST_F(Upkeep, HiddenWindowMarksTheSceneStaleAndBuildsNothing) {
  Objex* wall = planObject();
  addSquare(-1, -1, 1, 1, 0, {}, wall);
  const std::vector<PlaneObject*> before = Scene();
  sVisible = false;
  ReRenderObject(wall);
  EXPECT_EQ(Scene(), before);
  EXPECT_EQ(gRenderOnShow, 1);
  // Further edits leave it stale; a null object only updates the flag.
  ReRenderObject(nullptr);
  EXPECT_EQ(gRenderOnShow, 1);
}

TEST_F(Upkeep, VisibleWindowReplacesExactlyTheObjectsPlaneObjects) {
  Objex* edited = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, parts);
  Objex* other = planObject();
  PlaneObject* o1 = addSquare(-1, -1, 1, 1, 0, {}, other);
  addSquare(-1, -1, 1, 1, 0, {}, edited);
  PlaneObject* o2 = addSquare(-2, -2, 2, 2, 0, {}, other);
  addSquare(-1, -1, 1, 1, 0, {}, edited);
  PlaneObject* o3 = addSquare(-3, -3, 3, 3, 0, {}, other);
  ServiceCallRecorder calls;
  ReRenderObject(edited);
  EXPECT_EQ(gRenderOnShow, 0);
  EXPECT_TRUE(calls.called("RenderSingleObject", edited->objectID));
  const std::vector<PlaneObject*> after = Scene();
  ASSERT_GE(after.size(), 3u);
  EXPECT_EQ(after[0], o1);
  EXPECT_EQ(after[1], o2);
  EXPECT_EQ(after[2], o3);
  for (size_t i = 3; i < after.size(); ++i) EXPECT_EQ(after[i]->base2DObject, edited);
  for (size_t i = 1; i < after.size(); ++i) EXPECT_EQ(after[i]->prev, after[i - 1]);
}

TEST_F(Upkeep, DeletingResetsTheSceneListEvenWithNothingToDrop) {
  Objex* lonely = planObject();
  addSquare(-1, -1, 1, 1, 0, {}, planObject());
  gSceneDisplayList = glGenLists(1);
  glNewList(gSceneDisplayList, GL_COMPILE);
  glEndList();
  DeleteRendererObject(lonely);
  EXPECT_EQ(gSceneDisplayList, 0u);
  EXPECT_EQ(Scene().size(), 1u);
  // Dropping the last entry empties the list and its tail.
  DeleteRendererObject(gGLPlaneObjects->base2DObject);
  EXPECT_EQ(gGLPlaneObjects, nullptr);
  EXPECT_EQ(gGLPlaneObjectsTail, nullptr);
}

TEST_F(Upkeep, DeleteAllLeavesTheLotTrimsOfAnEmptyScene) {
  PlaneObject* trim = CreatePlaneObject();
  gGLTopoTrimPlaneObjects = trim;
  DeleteAllRendererObjects();
  EXPECT_EQ(gGLTopoTrimPlaneObjects, trim);
  addSquare(-1, -1, 1, 1, 0, {});
  DeleteAllRendererObjects();  // frees both lists (ASan checks the trim goes)
  EXPECT_EQ(gGLPlaneObjects, nullptr);
  EXPECT_EQ(gGLTopoTrimPlaneObjects, nullptr);
}

TEST_F(Upkeep, ForcedRebuildOfAnEmptySceneObeysTheWindow) {
  Objex* wall = planObject();
  gForceRenderObjectNow = 1;
  sVisible = false;
  ReRenderObject(wall);
  EXPECT_EQ(gForceRenderObjectNow, 0);
  EXPECT_EQ(gRenderOnShow, 1);
  // With a scene present the flag bypasses the hidden window.
  addSquare(-1, -1, 1, 1, 0, {});
  gRenderOnShow = 0;
  gForceRenderObjectNow = 1;
  ServiceCallRecorder calls;
  ReRenderObject(wall);
  EXPECT_TRUE(calls.called("DeleteRendererObject", wall->objectID));
  EXPECT_EQ(gRenderOnShow, 0);
}

TEST_F(Upkeep, NoControllerNoMark) {
  gLiveViewHost.viewBounds = nullptr;
  sVisible = false;
  ReRenderObject(planObject());
  EXPECT_EQ(gRenderOnShow, 0);
}

// Rebuilding the same object again and again drops exactly its plane objects each time, also
// when the scene mixes plane objects linked in from outside with those the road appended.
TEST_F(Upkeep, RepeatedRebuildsDropOnlyTheObjectsOwnPlaneObjects) {
  Objex* edited = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, parts);
  Objex* other = doc.addObject(kObjClosedPoly, true, {{0, 0}, {20, 0}, {20, 20}}, parts);
  addSquare(-1, -1, 1, 1, 0, {}, other);
  addSquare(-1, -1, 1, 1, 0, {}, edited);
  ReRenderObject(other);  // the road's own plane objects of `other` now follow
  const size_t afterFirst = Scene().size();
  for (int i = 0; i < 3; ++i) {
    ReRenderObject(edited);
    EXPECT_EQ(Scene().size(), afterFirst);
  }
  const std::vector<PlaneObject*> scene = Scene();
  size_t ofEdited = 0;
  for (PlaneObject* p : scene) ofEdited += p->base2DObject == edited;
  EXPECT_GE(ofEdited, 1u);
  DeleteRendererObject(edited);
  for (PlaneObject* p : Scene()) EXPECT_EQ(p->base2DObject, other);
  DeleteRendererObject(other);
  EXPECT_EQ(gGLPlaneObjects, nullptr);
  EXPECT_EQ(gGLPlaneObjectsTail, nullptr);
}
