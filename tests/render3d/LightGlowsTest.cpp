// Halos of can and flood lights, and the two light-map shots of a wall flood light.
#include "render3d/TextureTestSupport.h"

#include <GL/glu.h>

#include <cmath>

#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/TextureIDs.h"
#include "render3d/LightGlows.h"
#include "render3d/Lighting.h"

namespace {

TEST(CanLightHalos, PlaceSizeAndAlphaByKindAndDimmer) {
  const struct {
    int16_t kind;
    float dy, dz, widthRise, heightRise;
    int32_t alphaBright, alphaDimmed;  // dimmer 0 and 255
  } cases[] = {
      {79, -2, 0, 220, 130, 200, 100}, {80, 0, 0, 95, 75, 255, 128},   {81, -5, 7, 190, 100, 240, 120},
      {82, -5, 7, 190, 100, 240, 120}, {146, 2, 0, 115, 65, 255, 128}, {149, 19, 0, 75, 75, 255, 128},
      {150, 0, 0, 95, 75, 255, 128},   {151, 0, 0, 95, 75, 255, 128},  {152, 0, 0, 95, 75, 255, 51},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    CanLightHalo h;
    ASSERT_TRUE(GetCanLightHalo(c.kind, 0, &h));
    EXPECT_EQ(h.dy, c.dy);
    EXPECT_EQ(h.dz, c.dz);
    EXPECT_EQ(h.widthRise, c.widthRise);
    EXPECT_EQ(h.heightRise, c.heightRise);
    EXPECT_EQ(h.alpha, c.alphaBright);
    ASSERT_TRUE(GetCanLightHalo(c.kind, 255, &h));
    EXPECT_EQ(h.alpha, c.alphaDimmed);
  }
  // Half dimmed: (255 - 64) / 255 x 200 = 149.8 for kind 79; kind 152 (255 - 102.4) = 152.6.
  CanLightHalo h;
  ASSERT_TRUE(GetCanLightHalo(79, 128, &h));
  EXPECT_EQ(h.alpha, 150);
  ASSERT_TRUE(GetCanLightHalo(152, 128, &h));
  EXPECT_EQ(h.alpha, 153);
  // A dimmer past its range gives no negative alpha.
  ASSERT_TRUE(GetCanLightHalo(152, 1000, &h));
  EXPECT_EQ(h.alpha, 0);
  // Kinds without a halo: the two that hang no glow, a flood light, any other object.
  for (int16_t kind : {147, 148, 83, 78, 153, 12}) EXPECT_FALSE(GetCanLightHalo(kind, 0, &h)) << kind;
  EXPECT_FALSE(GetCanLightHalo(80, 0, nullptr));
}

// A wall from (0, 0) to (100, 0) in the plan, with a flood light hung 50 along it.
struct FloodWall {
  Objex* wall = nullptr;
  Objex* light = nullptr;
  DoorWindowData* record = nullptr;

  FloodWall(TestDocument& doc, bool flipped, Layer* layer = nullptr) {
    wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}}, layer);
    wall->width = 6;       // world inches
    wall->params[2] = 10;  // world inches
    wall->firstPoint->segmentElevation = 20;
    record = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    record->anchorStart = wall->firstPoint;
    record->anchorEnd = wall->firstPoint->next;
    record->startDistance = 50;
    record->elevation = 7;
    record->flipHorizontal = flipped ? 1 : 0;
    RGBColor black{};
    light = CreateObject(kObjComponent, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, wall, layer,
                         record);
    light->subtype = 83;
    light->plantAge = 0;      // glow on
    light->extraFlags = 51;   // dimmer
    light->params[1] = 100;   // radius: the cone
    light->params[2] = 12.6f; // falloff
    AppendChildToObject(light, wall);
  }
};

struct Shot {
  float height, x, y, vertical, horizontal;
  int16_t ortho;
  float cone;
  int32_t falloff;
  float intensity;
  int16_t kind;
};
std::vector<Shot> gShots;
void RecordShot(DocState*, float height, float x, float y, float vertical, float horizontal, int16_t ortho, float cone,
                int32_t falloff, float intensity, int16_t kind) {
  gShots.push_back({height, x, y, vertical, horizontal, ortho, cone, falloff, intensity, kind});
}

struct RecordedShots {
  LightViewShot saved = gFloodLightShot;
  RecordedShots() {
    gShots.clear();
    gFloodLightShot = &RecordShot;
  }
  ~RecordedShots() { gFloodLightShot = saved; }
};

TEST(FloodLightShots, TwoShotsLookingAcrossTheBeamsOnEitherSide) {
  TestDocument doc;
  DocState* ds = doc.ds();
  // The lamp base: 50 along the wall, then the wall's width out to the light's side (the plan's
  // up, -z, when flipped); 9 out along a' + 57 and a' - 57 degrees.
  const float width = ConvertWorldToScreen(6, ds, 0);
  const float height = 7 + ConvertWorldToScreen(20, ds, 0) + ConvertWorldToScreen(10, ds, 0);
  const float c = 9 * std::cos(57 * static_cast<float>(M_PI) / 180), s = 9 * std::sin(57 * static_cast<float>(M_PI) / 180);
  const struct {
    bool flipped;
    float x1, z1, h1, x2, z2, h2;
  } cases[] = {
      // a' = 90 degrees: shot 1 along 147 degrees, shot 2 along 33 degrees.
      {true, 50 - s, -width - c, 138, 50 + s, -width - c, 222},
      // a' = -90 degrees: the mirror image, shots along -33 and -147 degrees.
      {false, 50 + s, width + c, -42, 50 - s, width + c, 42},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.flipped);
    FloodWall w(doc, k.flipped);
    RecordedShots shots;
    CastSpotLight(w.wall, w.light);
    ASSERT_EQ(gShots.size(), 2u);
    const float expected[2][3] = {{k.x1, k.z1, k.h1}, {k.x2, k.z2, k.h2}};
    for (int i = 0; i < 2; ++i) {
      const Shot& shot = gShots[i];
      EXPECT_NEAR(shot.x, expected[i][0], 1e-3);
      EXPECT_NEAR(shot.y, expected[i][1], 1e-3);
      EXPECT_NEAR(shot.horizontal, expected[i][2], 1e-3);
      EXPECT_FLOAT_EQ(shot.height, height);
      EXPECT_EQ(shot.vertical, 130);
      EXPECT_EQ(shot.ortho, 0);
      EXPECT_EQ(shot.cone, 60);
      EXPECT_EQ(shot.falloff, 13);
      EXPECT_FLOAT_EQ(shot.intensity, 204.0f / 255.0f);
      EXPECT_EQ(shot.kind, 83);
    }
    // The second shot looks 84 degrees further round than the first.
    EXPECT_NEAR(gShots[1].horizontal - gShots[0].horizontal, 84, 1e-4);
  }
}

// A wall off the origin and across the axes (a 3-4-5 run from (10, 20) to (70, -60)), at two plan
// scales in inches and in centimetres: the base stands 50 along the wall and the wall's width
// out to the light's side, the height adds the wall's and the segment's rises, and the two
// shots stand 9 out, mirrored about that side.
TEST(FloodLightShots, ADiagonalWallAtEachScaleAndSide) {
  TestDocument doc;
  DocState* ds = doc.ds();
  const struct {
    float planScale;
    int16_t units;
    float width, height;  // plan units: the wall's width, the lamp's height
  } scales[] = {{96, 1, 4.5f, 29.5f}, {24, 6, 7.086614f, 42.433071f}};
  const float a = std::atan2(0.8f, 0.6f);
  for (const auto& sc : scales)
    for (const bool flipped : {false, true}) {
      SCOPED_TRACE(testing::Message() << "scale " << sc.planScale << (flipped ? " flipped" : ""));
      ds->planScale = sc.planScale;
      ds->worldUnits = sc.units;
      FloodWall w(doc, flipped);
      Poinz* start = w.wall->firstPoint;
      start->position[0] = 10, start->position[2] = 20;
      start->next->position[0] = 70, start->next->position[2] = -60;
      FloodLamp lamp;
      ASSERT_TRUE(GetFloodLamp(w.wall, w.light, ds, &lamp));
      const float out = flipped ? -sc.width : sc.width;
      EXPECT_NEAR(lamp.baseX, 40 + 0.8f * out, 1e-3);
      EXPECT_NEAR(lamp.baseZ, -20 + 0.6f * out, 1e-3);
      EXPECT_NEAR(lamp.height, sc.height, 1e-3);
      EXPECT_NEAR(lamp.wallAngle, a, 1e-5);
      EXPECT_NEAR(lamp.sideAngle, flipped ? a + M_PI_2 : a - M_PI_2, 1e-5);

      RecordedShots shots;
      CastSpotLight(w.wall, w.light);
      ASSERT_EQ(gShots.size(), 2u);
      const float side = flipped ? 1 : -1;  // along the side: (0.8, 0.6) unflipped
      const float along = kFloodLampOffset * std::cos(kFloodBeamSpread);
      EXPECT_NEAR((gShots[0].x + gShots[1].x) / 2, lamp.baseX - side * 0.8f * along, 1e-3);
      EXPECT_NEAR((gShots[0].y + gShots[1].y) / 2, lamp.baseZ - side * 0.6f * along, 1e-3);
      for (const Shot& shot : gShots) {
        EXPECT_NEAR(std::hypot(shot.x - lamp.baseX, shot.y - lamp.baseZ), kFloodLampOffset, 1e-3);
        EXPECT_FLOAT_EQ(shot.height, lamp.height);
      }
      const float degrees = a * 180 / static_cast<float>(M_PI) + (flipped ? 90 : -90);
      EXPECT_NEAR(gShots[0].horizontal, degrees + 48, 1e-3);
      EXPECT_NEAR(gShots[1].horizontal, degrees + 132, 1e-3);
    }
}

TEST(FloodLightShots, NothingWithoutTheWallPointsOrADocument) {
  TestDocument doc;
  FloodWall w(doc, true);
  RecordedShots shots;
  w.record->anchorEnd = nullptr;
  CastSpotLight(w.wall, w.light);
  w.record->anchorEnd = w.wall->firstPoint->next;
  CastSpotLight(nullptr, w.light);
  CastSpotLight(w.wall, nullptr);
  FloodLamp lamp;
  EXPECT_FALSE(GetFloodLamp(w.light, w.light, doc.ds(), &lamp));  // not on a wall
  ZLKDocumentModel* saved = gCurDocument;
  gCurDocument = nullptr;
  CastSpotLight(w.wall, w.light);
  gCurDocument = saved;
  EXPECT_TRUE(gShots.empty());
  CastSpotLight(w.wall, w.light);
  EXPECT_EQ(gShots.size(), 2u);
}

// Halos drawn over a W x H frame seen from the front: one 3D unit per pixel, the origin at the
// centre, the z axis into the screen.
class Halos : public TextureTest {
 protected:
  static constexpr int W = 400, H = 300;
  GLdouble modelView[16], projection[16];
  int32_t viewport[4] = {0, 0, W, H};
  GLUquadric* savedQuadric = nullptr;

  void SetUp() override {
    TextureTest::SetUp();
    if (!TestGLContext()) return;
    savedQuadric = gQuadricObject;
    ASSERT_TRUE(BindRenderTarget(W, H));
    glViewport(0, 0, W, H);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-W / 2.0, W / 2.0, -H / 2.0, H / 2.0, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    clearFrame();
  }
  void TearDown() override {
    if (TestGLContext()) {
      if (gQuadricObject && gQuadricObject != savedQuadric) gluDeleteQuadric(gQuadricObject);
      gQuadricObject = savedQuadric;
      // The flood pass leaves depth writes off and the stencil on for the pools after it.
      glDepthMask(GL_TRUE);
      glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
      glDisable(GL_STENCIL_TEST);
    }
    TextureTest::TearDown();
  }

  static void clearFrame() {
    glClearColor(0, 0, 0, 1);
    glClearDepth(1);
    glClearStencil(0);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  }

  void writeHalo(QColor colour) {
    char name[kTexturePathSize] = {};
    GetTextureFileNameFromID(kHaloTextureID, name, sizeof name);
    writeSolid(stockFolder() + "/" + name, 8, 8, colour);
  }

  // The box of lit pixels (red above `threshold`) of the frame: left, bottom, right, top
  // (exclusive); all -1 when none is lit.
  struct Box {
    int left = -1, bottom = -1, right = -1, top = -1;
  };
  static Box litBox(int threshold = 0) {
    std::vector<uint8_t> px(static_cast<size_t>(W) * H * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    Box b;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        if (px[(static_cast<size_t>(y) * W + x) * 4] <= threshold) continue;
        if (b.left < 0) b = {x, y, x + 1, y + 1};
        b.left = std::min(b.left, x), b.right = std::max(b.right, x + 1);
        b.bottom = std::min(b.bottom, y), b.top = std::max(b.top, y + 1);
      }
    return b;
  }

  // A light fixture of the kind, its lamp centred at plan (x, z), at the world elevation.
  Objex* fixture(int16_t kind, float x, float z, float elevation, int32_t dimmer) {
    Objex* light = doc.addObject(kind, false, {{x, z}}, parts);
    light->bounds3D = {0, x - 4, z - 4, 0, x + 4, z + 4};
    light->baseElevation = elevation;
    light->extraFlags = dimmer;
    return light;
  }
  PlaneObject* symbolPart(Objex* light) {
    PlaneObject* p = addSquare(-1, -1, 1, 1, 500, {0, 0, 0}, light);
    p->partType = 111;
    return p;
  }
};

TEST_F(Halos, CanLightHaloSpansItsRisesWithItsAlphaOverEverything) {
  writeHalo(QColor(255, 255, 255));
  const struct {
    int16_t kind;
    int32_t dimmer;
    int halfWidth, halfHeight, dy, alpha;
  } cases[] = {{152, 0, 95, 75, 0, 255}, {79, 255, 0, 130, -2, 100}, {146, 255, 115, 65, 2, 128}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    clearFrame();
    // Something in front of the lamp: the halo shows through it.
    glEnable(GL_DEPTH_TEST);
    glColor3ub(0, 0, 255);
    glBegin(GL_QUADS);
    glVertex3f(-200, -150, 900), glVertex3f(200, -150, 900), glVertex3f(200, 150, 900), glVertex3f(-200, 150, 900);
    glEnd();
    Objex* light = fixture(c.kind, 20, 0, 0, c.dimmer);
    const float y = ConvertWorldToScreen(0, ds(), 0) + c.dy;
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    RenderCanLightMap(symbolPart(light), light, modelView, projection, viewport);
    const int cx = W / 2 + 20, cy = static_cast<int>(H / 2 + y);
    const Box b = litBox();
    if (c.halfWidth) {
      EXPECT_NEAR(b.left, cx - c.halfWidth, 1);
      EXPECT_NEAR(b.right, cx + c.halfWidth, 1);
    } else {  // 2 x 220 is wider than the frame
      EXPECT_EQ(b.left, 0);
      EXPECT_EQ(b.right, W);
    }
    EXPECT_NEAR(b.bottom, std::max(0, cy - c.halfHeight), 1);
    EXPECT_NEAR(b.top, std::min(H, cy + c.halfHeight), 1);
    // White at the halo's alpha over the blue in front: red and green = alpha.
    const Pixel p = current(cx, cy);
    EXPECT_NEAR(p.r, c.alpha, 1);
    EXPECT_NEAR(p.b, 255, 1);
    // The halo leaves depth and stencil tests on, texturing and blending off.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glDisable(GL_STENCIL_TEST);
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Halos, OnlyTheBrightestPartOfTheImageIsOpaque) {
  // Grey 200: alpha 4 x 200 - 765 = 35, so the halo adds 200 x 35 / 255 = 27 over black.
  writeHalo(QColor(200, 200, 200));
  Objex* light = fixture(150, 0, 0, 0, 0);
  RenderCanLightMap(symbolPart(light), light, modelView, projection, viewport);
  EXPECT_NEAR(current(W / 2, H / 2).r, 27, 1);
  // Grey 191 is below the cut: nothing shows.
  clearFrame();
  ForgetLoadedTextures();
  writeHalo(QColor(191, 191, 191));
  RenderCanLightMap(symbolPart(light), light, modelView, projection, viewport);
  EXPECT_EQ(litBox().left, -1);
}

TEST_F(Halos, AnImageThatCannotBeLoadedGivesNoHaloAndIsNotTriedEachFrame) {
  Objex* light = fixture(150, 0, 0, 0, 0);
  PlaneObject* part = symbolPart(light);
  RenderCanLightMap(part, light, modelView, projection, viewport);
  EXPECT_EQ(litBox().left, -1);
  const uint64_t lookups = TextureFileLookups();
  writeHalo(QColor(255, 255, 255));
  for (int frame = 0; frame < 3; ++frame) RenderCanLightMap(part, light, modelView, projection, viewport);
  EXPECT_EQ(litBox().left, -1);
  EXPECT_EQ(TextureFileLookups(), lookups);
  // Once the renderer forgets its missing images the halo image is looked for again.
  DeleteCachedTextureImagesGL(nullptr, 0);
  RenderCanLightMap(part, light, modelView, projection, viewport);
  EXPECT_NE(litBox().left, -1);
}

TEST_F(Halos, FloodBeamsShowTwoHalosAboveTheLampBaseAndLeaveTheStencilForThePools) {
  writeHalo(QColor(255, 255, 255));
  FloodWall w(doc, true, parts);
  w.light->extraFlags = 255;  // 255 - 127 = 128
  FloodLamp lamp;
  ASSERT_TRUE(GetFloodLamp(w.wall, w.light, ds(), &lamp));
  PlaneObject* part = symbolPart(w.light);
  // Without the view's quadric no beam shows.
  gQuadricObject = nullptr;
  RenderFloodLightMask(part, w.light, modelView, projection, viewport);
  EXPECT_EQ(litBox().left, -1);
  gQuadricObject = gluNewQuadric();
  clearFrame();
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);  // as RenderLights leaves it
  RenderFloodLightMask(part, w.light, modelView, projection, viewport);
  GLboolean mask[4];
  glGetBooleanv(GL_COLOR_WRITEMASK, mask);
  EXPECT_FALSE(mask[0]);
  GLint func = 0, ref = 0, pass = 0;
  glGetIntegerv(GL_STENCIL_FUNC, &func);
  glGetIntegerv(GL_STENCIL_REF, &ref);
  glGetIntegerv(GL_STENCIL_PASS_DEPTH_PASS, &pass);
  EXPECT_EQ(func, GL_ALWAYS);
  EXPECT_EQ(ref, 1);
  EXPECT_EQ(pass, GL_REPLACE);
  EXPECT_TRUE(glIsEnabled(GL_STENCIL_TEST));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDisable(GL_STENCIL_TEST);
  // The beams' lamps sit 9 out at a' +- 57 degrees, 5 above the light's height: seen from the
  // front they are 2 x 9 sin 57 apart, each halo 190 x 150.
  const double s = 9 * std::sin(57 * M_PI / 180);
  const int cy = static_cast<int>(std::lround(H / 2 + lamp.height + 5));
  const Box b = litBox();
  EXPECT_NEAR(b.left, W / 2 + lamp.baseX - s - 95, 1);
  EXPECT_NEAR(b.right, W / 2 + lamp.baseX + s + 95, 1);
  EXPECT_NEAR(b.bottom, cy - 75, 1);
  EXPECT_NEAR(b.top, cy + 75, 1);
  // One halo alone at its outer edge; both overlap in the middle.
  EXPECT_NEAR(current(static_cast<int>(W / 2 + lamp.baseX - s - 90), cy).r, 128, 1);
  EXPECT_NEAR(current(static_cast<int>(W / 2 + lamp.baseX), cy).r, 128 + 127 * 128 / 255, 2);
}

TEST_F(Halos, RenderLightsGivesCanAndFloodPoolsButNoneForTheKindsWithoutGlow) {
  writeHalo(QColor(255, 255, 255));
  gQuadricObject = gluNewQuadric();
  struct Case {
    int16_t kind;
    bool glowOn, halo;
  } cases[] = {{150, true, true}, {147, true, false}, {148, true, false}, {150, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    clearFrame();
    Objex* light = fixture(c.kind, 0, 0, 0, 0);
    light->plantAge = c.glowOn ? 0.0f : 1.0f;
    PlaneObject* part = symbolPart(light);
    part->next = nullptr;
    RenderLights(part);
    EXPECT_EQ(litBox().left != -1, c.halo);
  }
  // A light object of another kind marked as a flood light gives the flood pool.
  clearFrame();
  FloodWall w(doc, false, parts);
  const auto componentType = w.light->type;
  w.light->type = 120;
  PlaneObject* part = symbolPart(w.light);
  part->next = nullptr;
  RenderLights(part);
  EXPECT_NE(litBox().left, -1);
  // Electrical parts left out of the view: no pools.
  clearFrame();
  ds()->renderExclusions() |= kLVOffElectrical;
  RenderLights(part);
  EXPECT_EQ(litBox().left, -1);
  w.light->type = componentType;  // the design frees the door and window record by the type
}

}  // namespace
