// The list walkers on a real GL context: openings through walls and floors by the stencil,
// exclusions, the Escape poll, the real-time scene list and its pick names.
#include <GL/gl.h>

#include "platform/KeyWatch.h"
#include "render3d/SceneFrame.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RenderTestSupport.h"

namespace {

constexpr RGBColor kRed{65535, 0, 0};
constexpr RGBColor kGreen{0, 65535, 0};

class ListsTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    if (IsSkipped()) return;
    gDisableRenderInterrupt = 0;
    g3DViewPrintInterrupted = 0;
    gCurrentStencilValue = 2;
    ds()->renderExclusions() = 0;
    gSceneDisplayList = 0;
  }
  void TearDown() override {
    RenderTest::TearDown();
    gGLPickMode = 0;
    gCurrentStencilValue = 2;
  }

  // A 64 x 64 target cleared to black, one world unit per pixel with (0, 0) at its centre.
  static void BeginFrame() {
    ASSERT_TRUE(BindRenderTarget(64, 64));
    glViewport(0, 0, 64, 64);
    glClearColor(0, 0, 0, 1);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-32, 32, -32, 32, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
  }
  static bool Background(const Pixel& p) { return p.r < 8 && p.g < 8 && p.b < 8; }

  // A square of the given part type under a plan object on `layer`.
  PlaneObject* addPart(int16_t partType, float x0, float y0, float x1, float y1, RGBColor color,
                       Layer* layer, int16_t planType) {
    Objex* owner = doc.addObject(planType, true, {{0, 0}, {1, 0}}, layer);
    PlaneObject* p = addSquare(x0, y0, x1, y1, 0, color, owner);
    p->partType = partType;
    return p;
  }
};

TEST_F(ListsTest, DoorCutOutShowsBackgroundInTheOpeningAndWallBesideIt) {
  PlaneObject* wall = addSquare(-20, -20, 20, 20, 0, kRed);
  wall->partType = kObjWallFace;
  PlaneObject* door = addPolygon({{-5, -20, 0}, {5, -20, 0}, {5, 5, 0}, {-5, 5, 0}}, kGreen, nullptr, false);
  door->partType = kObjDoor;
  wall->children = door;
  BeginFrame();
  RenderGLPlaneObjects(gGLPlaneObjects);
  EXPECT_TRUE(Background(current(32, 22))) << current(32, 22);  // inside the opening
  const Pixel beside = current(45, 32);
  EXPECT_GT(beside.r, 100) << beside;
  EXPECT_LT(beside.g, 8) << beside;  // the door's polygon only reached the stencil
  EXPECT_EQ(gDisableRenderInterrupt, 0);
}

TEST_F(ListsTest, FloorWithCutOutShowsTheHole) {
  addPart(kObjFloor, -20, -20, 20, 20, kGreen, doc.first, kObjFloor);
  addPart(kObjCutout, -5, -5, 5, 5, kRed, doc.first, kObjCutout);
  BeginFrame();
  RenderGLPlaneObjects(gGLPlaneObjects);
  EXPECT_TRUE(Background(current(32, 32))) << current(32, 32);
  EXPECT_GT(current(45, 32).g, 100) << current(45, 32);
}

TEST_F(ListsTest, FloorPartsOffTheFloorsAreDrawnWithTheOpaqueObjects) {
  Layer* sketch = CreateLayer("Sketch", 1, 1, nullptr);
  AppendLayerToDocument(sketch);
  addPart(kObjFloor, -20, -20, 20, 20, kGreen, sketch, kObjFloor);
  BeginFrame();
  RenderGLPlaneObjects(gGLPlaneObjects);
  EXPECT_GT(current(32, 32).g, 100) << current(32, 32);
}

// A floor of subtype 170 shows its floor face with the opaque objects; the floor pass draws
// none of its parts, so its second slab face shows nowhere.
TEST_F(ListsTest, FloorsOfSubtype170ShowTheirFaceAndNoOtherPart) {
  PlaneObject* face = addPart(kObjFloor, -20, -20, 0, 20, kGreen, doc.first, kObjFloor);
  PlaneObject* slab = addPart(kObjFloorSecondPass, 0, -20, 20, 20, kRed, doc.first, kObjFloor);
  face->base2DObject->subtype = 170;
  slab->base2DObject->subtype = 170;
  BeginFrame();
  RenderGLPlaneObjects(gGLPlaneObjects);
  EXPECT_GT(current(16, 32).g, 100) << current(16, 32);
  EXPECT_TRUE(Background(current(48, 32))) << current(48, 32);
  // Any other floor draws both in the floor pass.
  slab->base2DObject->subtype = 0;
  BeginFrame();
  RenderGLPlaneObjects(gGLPlaneObjects);
  EXPECT_GT(current(48, 32).r, 100) << current(48, 32);
}

TEST_F(ListsTest, RoofsOffDrawsNoRoof) {
  addPart(kObjRoofPlane, -20, -20, 20, 20, kRed, parts, kObjRoof);
  BeginFrame();
  ds()->renderExclusions() = kLVOffRoofs;
  RenderGLPlaneObjects(gGLPlaneObjects);
  EXPECT_TRUE(Background(current(32, 32))) << current(32, 32);
  ds()->renderExclusions() = 0;
  RenderGLPlaneObjects(gGLPlaneObjects);
  EXPECT_GT(current(32, 32).r, 100) << current(32, 32);
}

// Each exclusion on its own hides its own kind and nothing else: a wall face, a roof slope,
// a door leaf and a 3D symbol part, side by side in the four quarters of the view.
TEST_F(ListsTest, EachExclusionAloneHidesOnlyItsKind) {
  struct Part {
    int16_t partType, planType;
    int x, y;  // the quarter's centre pixel
  };
  const Part kinds[] = {{kObjWallFace, kObjWall, 16, 16},
                        {kObjRoofPlane, kObjRoof, 48, 16},
                        {kObjDoorLeafFace, kObjDoor, 16, 48},
                        {kObjSymbolPart3D, kObjGroup, 48, 48}};
  for (const Part& k : kinds) {
    const float x0 = static_cast<float>(k.x - 32 - 12), y0 = static_cast<float>(k.y - 32 - 12);
    addPart(k.partType, x0, y0, x0 + 24, y0 + 24, kRed, parts, k.planType);
  }
  struct Row {
    int32_t off;
    bool shown[4];  // wall, roof, door, symbol
  };
  const Row rows[] = {
      {0, {true, true, true, true}},
      {kLVOffDoors, {true, true, false, true}},
      {kLVOffRoofs, {true, false, true, true}},
      {kLVOffObjects, {true, true, true, false}},
      {kLVOffPlants | kLVOffHVAC | kLVOffPlumbing | kLVOffElectrical, {true, true, true, true}},
      {kLVOffDoors | kLVOffObjects, {true, true, false, false}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.off);
    BeginFrame();
    ds()->renderExclusions() = row.off;
    RenderGLPlaneObjects(gGLPlaneObjects);
    for (int i = 0; i < 4; ++i) EXPECT_NE(Background(current(kinds[i].x, kinds[i].y)), row.shown[i]) << i;
  }
  ds()->renderExclusions() = 0;
}

TEST_F(ListsTest, AntiAliasedWalkPollsEveryThreeHundredObjects) {
  Objex* owner = planObject();
  for (int i = 0; i < 900; ++i) addSquare(-1, -1, 1, 1, 0, kRed, owner)->partType = kObjWallFace;
  BeginFrame();
  {
    ScopedKeyWatch keys;
    RenderGLPlaneObjects(gGLPlaneObjects);
    EXPECT_EQ(keys.polls, 0);  // not anti-aliased: never interrupted
  }
  gRenderOpenGLAntiAlias = 1;
  {
    ScopedKeyWatch keys;
    RenderGLPlaneObjects(gGLPlaneObjects);
    EXPECT_EQ(keys.polls, 3);
    EXPECT_EQ(gBreakOpenGLRender, 0);
  }
  {
    // Printing or a fresh build forbids the interruption.
    ScopedKeyWatch keys;
    gDisableRenderInterrupt = 1;
    RenderGLPlaneObjects(gGLPlaneObjects);
    EXPECT_EQ(keys.polls, 0);
    EXPECT_EQ(gDisableRenderInterrupt, 0);
  }
  {
    ScopedKeyWatch keys;
    keys.keys = {12, kKeyWatchEscape};
    gTotalObjectsRendered = 0;
    gCountRenderingObjects = 1;
    RenderGLPlaneObjects(gGLPlaneObjects);
    gCountRenderingObjects = 0;
    EXPECT_EQ(keys.polls, 2);
    EXPECT_EQ(gBreakOpenGLRender, 1);
    EXPECT_EQ(g3DViewPrintInterrupted, 1);
    EXPECT_EQ(gTotalObjectsRendered, 600);
  }
}

TEST_F(ListsTest, StencilValueRestartsBeforeItPassesTheStencilBits) {
  BeginFrame();
  GLint bits = 0;
  glGetIntegerv(GL_STENCIL_BITS, &bits);
  ASSERT_GT(bits, 0);
  ASSERT_LT(bits, 31);
  // A wall in front with a door in its middle, a wall behind with a door of its own at a corner.
  PlaneObject* front = addSquare(-20, -20, 20, 20, 10, kRed);
  front->partType = kObjWallFace;
  front->children = addPolygon({{-5, -20, 10}, {5, -20, 10}, {5, 5, 10}, {-5, 5, 10}}, kRed, nullptr, false);
  PlaneObject* back = addSquare(-25, -25, 25, 25, -10, kGreen);
  back->partType = kObjWallFace;
  back->children = addPolygon({{15, -25, -10}, {20, -25, -10}, {20, -20, -10}, {15, -20, -10}}, kGreen, nullptr, false);
  // The front wall takes the last value the stencil holds; the wall behind would be clamped to
  // the same value and lose the front door's area, but the count restarts instead.
  gCurrentStencilValue = (1 << bits) - 1;
  RenderGLPlaneObjects(gGLPlaneObjects);
  const Pixel throughDoor = current(32, 22);
  EXPECT_GT(throughDoor.g, 100) << throughDoor;
  EXPECT_GT(current(45, 32).r, 100);
}

TEST_F(ListsTest, WireframeCompilesNoSceneList) {
  addSquare(-20, -20, 20, 20, 0, kRed)->partType = kObjWallFace;
  BeginFrame();
  ds()->renderMode() = kRenderWireframe;
  RealTimeRenderGLPlaneObjects(gGLPlaneObjects);
  EXPECT_EQ(gSceneDisplayList, 0u);
  ds()->renderMode() = kRenderSolid;
  RealTimeRenderGLPlaneObjects(gGLPlaneObjects);
  const uint32_t list = gSceneDisplayList;
  EXPECT_NE(list, 0u);
  EXPECT_GT(current(32, 32).r, 100) << current(32, 32);
  // The next frame replays the list.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  RealTimeRenderGLPlaneObjects(gGLPlaneObjects);
  EXPECT_EQ(gSceneDisplayList, list);
  EXPECT_GT(current(32, 32).r, 100);
}

TEST_F(ListsTest, PickNamesMapBackToPlaneObjects) {
  PlaneObject* left = addSquare(-30, -10, -10, 10, 0, kRed);
  PlaneObject* right = addSquare(10, -10, 30, 10, 0, kGreen);
  left->partType = right->partType = kObjWallFace;
  PlaneObject* trim = addPolygon({{12, -10, 1}, {28, -10, 1}, {28, -8, 1}, {12, -8, 1}}, kRed, nullptr, false);
  trim->partType = 1;
  right->attachments = trim;
  BeginFrame();
  gGLPickMode = 1;
  GLuint hits[64] = {};
  glSelectBuffer(64, hits);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);
  // Only the right half of the view.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(5, 32, -32, 32, -100, 100);
  glMatrixMode(GL_MODELVIEW);
  RealTimeRenderGLPlaneObjects(gGLPlaneObjects);
  const GLint count = glRenderMode(GL_RENDER);
  ASSERT_GE(count, 2);
  std::vector<PlaneObject*> picked;
  for (GLint i = 0, at = 0; i < count; ++i) {
    const GLuint names = hits[at];
    if (names > 0) picked.push_back(PlaneObjectForPickName(hits[at + 3 + names - 1]));
    at += 3 + static_cast<GLint>(names);
  }
  EXPECT_NE(std::find(picked.begin(), picked.end(), right), picked.end());
  EXPECT_NE(std::find(picked.begin(), picked.end(), trim), picked.end());
  EXPECT_EQ(std::find(picked.begin(), picked.end(), left), picked.end());
  EXPECT_EQ(PlaneObjectForPickName(0), nullptr);
  EXPECT_EQ(PlaneObjectForPickName(100000), nullptr);
}

TEST_F(ListsTest, PlantsTrimsAndSymbolPartsGoToTheirOwnRoutines) {
  PlaneObject* plant = addSquare(-2, -2, 2, 2, 0, kGreen);
  plant->renderKind = 8;
  PlaneObject* wall = addSquare(-20, -20, 20, 20, 0, kRed);
  wall->partType = kObjWallFace;
  PlaneObject* trim = addPolygon({{-20, -20, 1}, {20, -20, 1}, {20, -18, 1}, {-20, -18, 1}}, kRed, nullptr, false);
  trim->partType = 2;
  wall->attachments = trim;
  Objex* symbol = planObject(kObjSymbolPart3D);
  symbol->options[0] = 1;
  addSquare(-1, -1, 1, 1, 2, kRed, symbol)->partType = kObjSymbolPart3D;
  BeginFrame();
  {
    ServiceCallRecorder calls;
    RenderGLPlaneObjects(gGLPlaneObjects);
    EXPECT_EQ(calls.count("RenderGLPlantObject"), 1u);
    EXPECT_EQ(calls.count("RenderGLTrimPlaneObject"), 1u);
    EXPECT_EQ(calls.count("RenderGLAutoGenPlaneObject"), 1u);
    RenderGLPlaneObjectsPlantsOnly(gGLPlaneObjects);
    EXPECT_EQ(calls.count("RenderGLPlantObject"), 2u);
  }
  {
    ServiceCallRecorder calls;
    ds()->renderExclusions() = kLVOffPlants | kLVOffObjects;
    RenderGLPlaneObjects(gGLPlaneObjects);
    RenderGLPlaneObjectsPlantsOnly(gGLPlaneObjects);
    EXPECT_EQ(calls.count("RenderGLPlantObject"), 0u);
    EXPECT_EQ(calls.count("RenderGLAutoGenPlaneObject"), 0u);
    EXPECT_EQ(calls.count("RenderGLTrimPlaneObject"), 1u);
  }
}

}  // namespace
