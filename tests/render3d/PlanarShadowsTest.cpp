// Planar shadows: receivers marked in the stencil, casters drawn once per pixel through the
// shadow matrix, holes kept unshadowed.
#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "model/PlanarTransforms.h"
#include "render3d/PlanarShadows.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RenderTestSupport.h"
// Qt after the model's headers: its `slots` keyword would clash with a record field.
#include <QImage>

namespace {

TEST(PlanarShadowMaths, UnitNormalOfThreePoints) {
  const struct {
    float points[9];
    float normal[3];
  } cases[] = {
      {{0, 0, 0, 1, 0, 0, 1, 1, 0}, {0, 0, 1}},
      {{1, 1, 0, 1, 0, 0, 0, 0, 0}, {0, 0, -1}},   // the other way round
      {{0, 0, 0, 0, 0, 5, 3, 0, 5}, {0, 1, 0}},    // long edges still give a unit vector
      {{0, 0, 0, 1, 1, 1, 2, 2, 2}, {0, 0, 0}},    // collinear: no direction
  };
  for (const auto& c : cases) {
    float n[3] = {9, 9, 9};
    calcNormal(c.points, n);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(n[i], c.normal[i], 1e-6) << i;
  }
  // The empty shadow matrix maker leaves the matrix as it is.
  float saved[16];
  std::memcpy(saved, shadowMat, sizeof saved);
  shadowMat[5] = 3;
  MakeShadowMatrix();
  EXPECT_EQ(shadowMat[5], 3);
  std::memcpy(shadowMat, saved, sizeof saved);
}

// A 64 x 64 frame cleared to white, seen from above: window x = x + 32, window y = 32 - z, one
// unit per pixel. The shadow matrix of the tests lays a point (x, y, z) on the ground at
// (x + y, 0, z): light slanting down from the left.
class PlanarShadows : public RenderTest {
 protected:
  float savedMat[16];

  void SetUp() override {
    RenderTest::SetUp();
    if (IsSkipped()) return;
    std::memcpy(savedMat, shadowMat, sizeof savedMat);
    static const float kSlanted[16] = {1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::memcpy(shadowMat, kSlanted, sizeof shadowMat);
    gShadowingLot = 0;
    gCurrentShadowRecipient = nullptr;
    ASSERT_TRUE(BindRenderTarget(64, 64));
    glViewport(0, 0, 64, 64);
    glClearColor(1, 1, 1, 1);
    glClearStencil(0);
    glClearDepth(1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-32, 32, -32, 32, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(90, 1, 0, 0);
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
  }
  void TearDown() override {
    if (!IsSkipped()) {
      glMatrixMode(GL_MODELVIEW);
      glLoadIdentity();
      std::memcpy(shadowMat, savedMat, sizeof savedMat);
      gShadowingLot = 0;
      gCurrentShadowRecipient = nullptr;
      gRenderingOpenGLShadows = 0;
    }
    RenderTest::TearDown();
  }

  // A level square at `height` over plan x0..x1, z0..z1, from a plan object of the type.
  PlaneObject* level(float x0, float z0, float x1, float z1, float height, int16_t type = kObjRoof,
                     bool link = true) {
    return addPolygon({{x0, height, z0}, {x1, height, z0}, {x1, height, z1}, {x0, height, z1}}, {0, 0, 65535},
                      planObject(type), link);
  }
  // The grey of the pixel over plan (x, z), and its stencil value.
  static int grey(float x, float z) { return current(static_cast<int>(x + 32), static_cast<int>(32 - z)).r; }
  static int stencil(float x, float z) {
    uint8_t s = 0;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(static_cast<int>(x + 32), static_cast<int>(32 - z), 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &s);
    return s;
  }
};

constexpr int kWhite = 255, kShadow = 191;  // 255 x (1 - 64 / 255)

TEST_F(PlanarShadows, EachReceiverPixelIsDarkenedOnceAndOnlyCastersHighEnoughCast) {
  ds()->shadowQuality = 0;
  PrepareShadowingForLot();
  EXPECT_EQ(gShadowingLot, 1);
  EXPECT_EQ(gShadowPlaneElevation, 0);
  EXPECT_EQ(gCurrentStencilValue, 2);
  EXPECT_EQ(stencil(0, 0), 0);
  // Two casters 20 up whose shadows (moved 20 to the right) overlap from x = 10 to 20.
  RenderGLPlaneShadowObject(level(-20, -10, 0, 10, 20));
  RenderGLPlaneShadowObject(level(-10, -10, 10, 10, 20));
  // Too low (3 above the ground), a floor, and a ground fill cast nothing.
  RenderGLPlaneShadowObject(level(-30, 15, 30, 25, 3));
  RenderGLPlaneShadowObject(level(-30, 15, 30, 25, 20, kObjFloor));
  RenderGLPlaneShadowObject(level(-30, 15, 30, 25, 20, kObjGroundFill));
  const struct {
    float x, z;
    int grey, stencil;
  } probes[] = {
      {-5, 0, kWhite, 0},    // under the casters: the shadow falls to the right
      {5, 0, kShadow, 1},    // the first shadow only
      {15, 0, kShadow, 1},   // both shadows: darkened once
      {25, 0, kShadow, 1},   // the second only
      {25, 12, kWhite, 0},   // beside them
      {0, 20, kWhite, 0},    // under the low caster's place
      {22, 20, kWhite, 0},   // where the floor's and fill's shadows would fall
  };
  for (const auto& p : probes) {
    SCOPED_TRACE(testing::Message() << p.x << ", " << p.z);
    EXPECT_NEAR(grey(p.x, p.z), p.grey, 1);
    EXPECT_EQ(stencil(p.x, p.z), p.stencil);
  }
  EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PlanarShadows, HolesStayUnshadowedAndTheirStencilReturns) {
  // The receiver: a ground fill over x < 10; the rest of the frame is no receiver.
  PlaneObject* ground = level(-32, -32, 10, 32, 0, kObjGroundFill);
  PrepareShadowingForPlaneObject(ground);
  EXPECT_EQ(gCurrentShadowRecipient, ground);
  EXPECT_EQ(gShadowingLot, 0);
  EXPECT_EQ(stencil(0, 0), 0);
  EXPECT_EQ(stencil(20, 0), 1);
  // A caster 20 up over x -20..0 with a hole over x -15..-5, z -5..5: its shadow covers x 0..20
  // and the hole's x 5..15.
  PlaneObject* caster = level(-20, -10, 0, 10, 20);
  caster->children = level(-15, -5, -5, 5, 20, kObjCutout, false);
  RenderGLPlaneShadowObjectMask(caster);
  RenderGLPlaneShadowObject(caster);
  RenderGLPlaneShadowObject(ground);  // the receiver casts nothing on itself
  const struct {
    float x, z;
    int grey, stencil;
  } probes[] = {
      {2, 0, kShadow, 1},   // shadow on the receiver, left of the hole
      {2, 8, kShadow, 1},   // shadow above the hole
      {7, 0, kWhite, 0},    // the hole on the receiver: back to "receiver"
      {12, 0, kWhite, 1},   // the hole off the receiver: back to "no receiver"
      {17, 0, kWhite, 1},   // shadow off the receiver
      {-10, 0, kWhite, 0},  // under the caster
  };
  for (const auto& p : probes) {
    SCOPED_TRACE(testing::Message() << p.x << ", " << p.z);
    EXPECT_NEAR(grey(p.x, p.z), p.grey, 1);
    EXPECT_EQ(stencil(p.x, p.z), p.stencil);
  }
  EXPECT_EQ(gStencilBufferScrap, nullptr);  // the copy is freed once written back
  // The projection is restored after the stencil was written back.
  GLdouble projection[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  EXPECT_NEAR(projection[0], 2.0 / 64, 1e-9);
}

// Each type that casts no planar shadow beside the type numbers next to it that do: a caster
// 20 up over x -20..0 throws its shadow 20 to the right.
TEST_F(PlanarShadows, WhichTypesCastAShadow) {
  const struct {
    int16_t type;
    bool casts;
  } cases[] = {{12, true},  {13, false}, {14, true},  {20, true},  {21, false}, {22, true},  {23, false},
               {24, true},  {25, true},  {26, false}, {27, false}, {28, true},  {33, true},  {34, false},
               {35, true},  {36, false}, {40, true},  {41, false}, {42, true},  {45, true},  {46, false},
               {47, false}, {48, false}, {49, false}, {50, false}, {51, true},  {126, true}, {127, false},
               {128, true}};
  for (const auto& c : cases) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    RenderGLPlaneShadowObject(level(-20, -10, 0, 10, 20, c.type, false));
    EXPECT_NEAR(grey(10, 0), c.casts ? kShadow : kWhite, 1) << c.type;
    EXPECT_EQ(grey(-10, 0), kWhite) << c.type;
  }
}

// A receiver's plane: a floor or a pass at its base plus its thickness, a ground surface at its
// root's base (its own thickness left out), any other kind at 0. A caster throws a shadow on it
// from 5 above it, at 5 exactly too. Two plan scales, in inches and in centimetres.
TEST_F(PlanarShadows, EachReceiverAtItsOwnHeightAndCastersFromFiveAbove) {
  const struct {
    float planScale;
    int16_t units;
    float perWorldUnit;  // plan units
  } scales[] = {{96, 1, 0.75f}, {24, 6, 3 / 2.54f}};
  const struct {
    int16_t type;
    float worldHeight;  // of base 40, thickness 8
  } kinds[] = {{kObjFloor, 48},      {kObjWallFloorPass, 48}, {49, 48}, {50, 48}, {kObjPathSurface, 40},
               {kObjFill, 40},       {kObjGroundFill, 40},    {kObjRoof, 0}, {kObjWall, 0}, {kObjDeck, 0},
               {kObjFloorSecondPass, 0}};
  for (const auto& sc : scales) {
    ds()->planScale = sc.planScale;
    ds()->worldUnits = sc.units;
    for (const auto& k : kinds) {
      SCOPED_TRACE(testing::Message() << "type " << k.type << " at scale " << sc.planScale);
      PlaneObject* receiver = level(-32, -32, 32, 32, 0, k.type, false);
      receiver->base2DObject->baseElevation = 40;
      receiver->base2DObject->params[2] = 8;
      PrepareShadowingForPlaneObject(receiver);
      const float height = k.worldHeight * sc.perWorldUnit;
      EXPECT_NEAR(gShadowPlaneElevation, height, 1e-3);
      EXPECT_EQ(gShadowingLot, 0);
      EXPECT_TRUE(ShadowReachesReceiver(level(-20, -10, 0, 10, height + 5, kObjRoof, false), true));
      EXPECT_FALSE(ShadowReachesReceiver(level(-20, -10, 0, 10, height + 4.9f, kObjRoof, false), true));
      EXPECT_TRUE(ShadowReachesReceiver(level(-20, -10, 0, 10, height + 4.9f, kObjRoof, false), false));
    }
  }
}

TEST_F(PlanarShadows, TheEmptyShadowMatrixDrawsNothing) {
  std::memset(shadowMat, 0, sizeof shadowMat);
  MakeShadowMatrix();
  PrepareShadowingForLot();
  PlaneObject* caster = level(-20, -10, 0, 10, 20);
  RenderGLPlaneShadowObject(caster);
  caster->children = level(-15, -5, -5, 5, 20, kObjCutout, false);
  RenderGLPlaneShadowObjectMask(caster);
  RenderGLPlaneShadowObject(caster);
  for (float x : {-10.0f, 0.0f, 10.0f, 20.0f}) {
    EXPECT_EQ(grey(x, 0), kWhite) << x;
    EXPECT_EQ(stencil(x, 0), 0) << x;
  }
}

TEST_F(PlanarShadows, OnTheLotWallsReachingFarBelowCastNothing) {
  PrepareShadowingForLot();
  // A wall part from 20 up: on the lot its lowest point is its base elevation, so a wall based
  // 30 below the lot casts nothing, one based at the lot casts.
  const float below = ConvertScreenToWorld(30, ds(), 0);
  PlaneObject* sunk = level(-20, 12, 0, 20, 20, kObjWall);
  sunk->base2DObject->baseElevation = -below;
  RenderGLPlaneShadowObject(sunk);
  PlaneObject* standing = level(-20, -20, 0, -12, 20, kObjWall);
  RenderGLPlaneShadowObject(standing);
  EXPECT_EQ(grey(10, 16), kWhite);
  EXPECT_NEAR(grey(10, -16), kShadow, 1);
  EXPECT_TRUE(ShadowReachesReceiver(standing, true));
  EXPECT_FALSE(ShadowReachesReceiver(sunk, true));
}

TEST_F(PlanarShadows, TheListWalkerDrawsShadowsWhileSwitchedOn) {
  ds()->renderExclusions() = 0;
  PrepareShadowingForLot();
  level(-20, -10, 0, 10, 20);
  gRenderingOpenGLShadows = 1;
  RenderGLPlaneObjects(gGLPlaneObjects);
  gRenderingOpenGLShadows = 0;
  EXPECT_EQ(grey(-10, 0), kWhite);  // the caster itself is not drawn
  EXPECT_NEAR(grey(10, 0), kShadow, 1);
}

TEST_F(PlanarShadows, APhotoCastsOnlyItsPictureNotItsBlackBackground) {
  // A picture white on its left half and black on its right.
  char folder[] = "/tmp/casa-photo-shadow-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string path = std::string(folder) + "/photo.png";
  QImage image(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) image.setPixel(x, y, x < 32 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));

  PrepareShadowingForLot();
  // The photo lies 20 up over x -20..0 with u running 0..1 along x: its shadow covers x 0..20,
  // the picture's white half x 0..10.
  PlaneObject* photo = level(-20, -10, 0, 10, 20, kObjPhotoView);
  PlaneVertex* v = photo->planes->vertices;
  for (int i = 0; i < 4; ++i) {
    v[i].u = (i == 1 || i == 2) ? 1.0f : 0.0f;
    v[i].v = (i >= 2) ? 1.0f : 0.0f;
  }
  photo->base2DObject->sourceObject = strdup(path.c_str());
  photo->base2DObject->capped = 0;  // not mirrored
  RenderGLPhotoShadowObject(photo);
  EXPECT_NEAR(grey(4, 0), kShadow, 1);
  EXPECT_EQ(grey(15, 0), kWhite);
  EXPECT_EQ(grey(-10, 0), kWhite);
  EXPECT_EQ(stencil(4, 0), 1);
  EXPECT_EQ(stencil(15, 0), 0);
  // The receiver's own photo casts nothing on it.
  gCurrentShadowRecipient = photo;
  glClear(GL_COLOR_BUFFER_BIT);
  RenderGLPhotoShadowObject(photo);
  EXPECT_EQ(grey(4, 0), kWhite);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

TEST_F(PlanarShadows, APlantCastsItsPictureFromTheQuadFacingTheViewer) {
  // A user plant's picture: white on its upper half, black below.
  char folder[] = "/tmp/casa-plant-shadow-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string path = std::string(folder) + "/plant.png";
  QImage image(32, 32, QImage::Format_RGB32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) image.setPixel(x, y, y < 16 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));

  PrepareShadowingForLot();
  // The footprint's base point is (0, 0, 10); the picture is 16 wide and 20 high. Seen from
  // above, the quad facing the viewer lies flat and runs up the screen (to -z) from the base,
  // so its shadow through the test matrix is the quad itself: the white upper half over
  // z -10..0.
  Objex* plant = planObject(kObjPlant);
  plant->subtype = kSubUserPlant;
  plant->typeData = strdup(path.c_str());
  PlaneObject* po = addPolygon({{-5, 0, 5}, {5, 0, 5}, {5, 0, 15}, {-5, 0, 15}}, {0, 0, 0}, plant);
  po->renderKind = 9;
  po->textureIdA = 20001;
  po->billboardSize[0] = 8;
  po->billboardSize[1] = 20;
  RenderGLPlantShadowObject(po);
  const struct {
    float x, z;
    int grey;
  } probes[] = {{0, -5, kShadow}, {6, -8, kShadow}, {0, 5, kWhite}, {12, -5, kWhite}, {0, -14, kWhite}};
  for (const auto& p : probes) EXPECT_NEAR(grey(p.x, p.z), p.grey, 1) << p.x << ", " << p.z;
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

}  // namespace
