// The shadowed frame read back: a box on the ground under a lamp and under the sun, checked
// pixel by pixel against the shadow computed from the geometry; the falloff, the progress
// count, Escape, the anti-aliased passes, the render-time text and the sun grid sizes.
#include <gtest/gtest.h>

#include <limits>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "model/DocState.h"
#include "render3d/SceneFrame.h"
#include "model/PlanarTransforms.h"
#include "render3d/RenderTestSupport.h"
#include "render3d/ShadowRender.h"

namespace {
constexpr RGBColor kGrey{52428, 52428, 52428};  // 204

// ---- Arithmetic without a context ----

TEST(PixelDistance, ModesFalloffAndOutside) {
  struct Case {
    float px, py;
    int32_t falloff;
    int16_t mode;
    float expected;
  };
  // A 100 x 80 light view: the circle has radius 40 around (50, 40).
  const Case cases[] = {
      {50, 40, 1, 1, 0},            // on the axis
      {70, 40, 0, 1, 0.5f},         // falloff 0: linear
      {70, 40, 1, 1, 0.25f},        // squared once
      {70, 40, 2, 1, 0.0625f},      // falloff 2: fourth power
      {70, 40, -3, 1, 0.5f},        // below 1: unchanged
      {89.9f, 40, 0, 1, 0.9975f},   // just inside
      {90, 40, 1, 1, -1},           // on the circle: outside
      {95, 40, 1, 1, -1},           // outside
      {50, 0, 1, 1, -1},            // above the circle, inside the rectangle
      {10, 20, 0, 2, 0.75f},        // 1 - py/h
      {10, 20, 0, 3, 0.25f},        // py/h
      {10, 20, 1, 4, 0.75f * 0.75f * 0.5f},
      {10, 20, 1, 5, 0.25f * 0.25f * 0.5f},
      {10, 80, 1, 2, -1},           // py at the bottom: outside
      {10, 79.5f, 0, 3, 79.5f / 80},
      {50, 40, 1, 0, -1},           // unknown modes
      {50, 40, 1, 6, -1},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(GetPixelDistance(c.px, c.py, 0, 0, 100, 80, c.falloff, c.mode), c.expected, 1e-5)
        << c.px << "," << c.py << " falloff " << c.falloff << " mode " << c.mode;
}

TEST(ShadowRenderTime, WholeSecondsThenMinutes) {
  EXPECT_EQ(ShadowRenderTimeText(60.0), "1.00 minutes to render");
  EXPECT_EQ(ShadowRenderTimeText(59.9), "59 seconds to render");
  EXPECT_EQ(ShadowRenderTimeText(0.2), "0 seconds to render");
  EXPECT_EQ(ShadowRenderTimeText(125.7), "2.08 minutes to render");  // 125 s
}

TEST(SunGrid, QualitiesGiveTheirGrids) {
  struct Case {
    int16_t quality;
    float halfWidth;
    int32_t grid;
  };
  const Case cases[] = {
      {-1, 3001, 10}, {-1, 3000, 8}, {-1, 2001, 8}, {-1, 2000, 6}, {-1, 1001, 6},
      {-1, 1000, 4},  {-1, 500, 4},  {0, 5000, 1},  {1, 5000, 1},  {-2, 5000, 1},
      {2, 500, 2},    {3, 500, 4},   {4, 500, 6},   {5, 500, 8},   {6, 500, 10},
      {7, 500, 2},    {30, 500, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(SunGridSize(c.quality, c.halfWidth), c.grid) << c.quality << " " << c.halfWidth;
}

// The plan objects that bound the sun's view: each kind that throws no shadow, the first and
// last number of every run of them, beside the numbers next to them that do; a root whose
// shadow is switched off is left out, and a group's children widen the bounds.
TEST(SunGrid, ObjectBoundsLeaveOutKindsThatThrowNoShadow) {
  TestDocument doc;
  const struct {
    int16_t type;
    bool counts;
  } cases[] = {{1, false},   {7, false},   {8, true},    {20, true},   {21, false},  {22, true},
               {28, true},   {29, false},  {30, true},   {99, true},   {100, false}, {104, false},
               {105, true},  {106, false}, {108, false}, {109, true},  {113, true},  {114, false},
               {117, false}, {118, true},  {124, true},  {125, false}, {126, true},  {143, true},
               {144, false}, {145, false}, {146, true}};
  for (const auto& c : cases) {
    Layer* layer = CreateLayer("Sun", 1, 1, nullptr);
    AppendLayerToDocument(layer);
    doc.addObject(c.type, true, {{-30, 40}, {70, -20}}, layer);
    FloatRect b{32000, 32000, -32000, -32000};
    GetObjectsBoundsForSun(layer, &b);  // the layer added last: only its object
    const float expected[4] = {c.counts ? -20.0f : 0, c.counts ? -30.0f : 0, c.counts ? 40.0f : 0,
                               c.counts ? 70.0f : 0};
    EXPECT_FLOAT_EQ(b.floatTop, expected[0]) << c.type;
    EXPECT_FLOAT_EQ(b.floatLeft, expected[1]) << c.type;
    EXPECT_FLOAT_EQ(b.floatBottom, expected[2]) << c.type;
    EXPECT_FLOAT_EQ(b.floatRight, expected[3]) << c.type;
  }
  Layer* layer = CreateLayer("Sun", 1, 1, nullptr);
  AppendLayerToDocument(layer);
  Objex* off = doc.addObject(kObjClosedPoly, true, {{-500, -500}, {500, 500}}, layer);
  off->options[1] = 1;
  Objex* group = doc.addObject(kObjGroup, true, {{10, 10}}, layer);
  const RGBColor black{};
  Objex* child = CreateObject(kObjClosedPoly, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr);
  for (auto [x, z] : {std::pair{-5.0f, 25.0f}, {15.0f, 60.0f}})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, child), child);
  AppendChildToObject(child, group);
  FloatRect b{32000, 32000, -32000, -32000};
  GetObjectsBoundsForSun(layer, &b);
  EXPECT_FLOAT_EQ(b.floatLeft, -5);
  EXPECT_FLOAT_EQ(b.floatRight, 15);
  EXPECT_FLOAT_EQ(b.floatTop, 10);
  EXPECT_FLOAT_EQ(b.floatBottom, 60);
}

using SunBox = RenderTest;

// The sun's box reaches up to the highest point of the scene, a trim attached to an object and
// the last object of the list included; a scene wholly below the ground reaches the ground.
TEST_F(SunBox, TheHighestPointCountsAttachmentsAndTheLastObject) {
  EXPECT_EQ(GetHighestPlanePointValue(), 0);
  addPolygon({{0, -10, 0}, {10, -20, 0}, {10, -5, 10}}, {0, 0, 0});
  EXPECT_EQ(GetHighestPlanePointValue(), 0);
  PlaneObject* wall = addPolygon({{0, 30, 0}, {10, 45, 0}, {10, 12, 10}}, {0, 0, 0});
  addPolygon({{0, 5, 0}, {10, 5, 0}, {10, 5, 10}}, {0, 0, 0});
  EXPECT_FLOAT_EQ(GetHighestPlanePointValue(), -45);
  PlaneObject* trim = addPolygon({{0, 50, 0}, {1, 61, 0}, {1, 70, 1}}, {0, 0, 0}, nullptr, false);
  wall->attachments = trim;
  EXPECT_FLOAT_EQ(GetHighestPlanePointValue(), -70);
  addPolygon({{0, 5, 0}, {10, 80, 0}, {10, 5, 10}}, {0, 0, 0});
  EXPECT_FLOAT_EQ(GetHighestPlanePointValue(), -80);
}

TEST(SunGrid, DepthCheckLooksOnlyInsideTheTile) {
  std::vector<float> depth(6 * 4, 1.0f);
  depth[2 * 6 + 3] = 0.5f;  // column 3, row 2
  EXPECT_EQ(DepthCheck(6, 0, 6, 0, 4, depth.data()), 1);
  EXPECT_EQ(DepthCheck(6, 3, 4, 2, 3, depth.data()), 1);
  EXPECT_EQ(DepthCheck(6, 0, 3, 0, 4, depth.data()), 0);  // x1 is not included
  EXPECT_EQ(DepthCheck(6, 4, 6, 0, 4, depth.data()), 0);
  EXPECT_EQ(DepthCheck(6, 0, 6, 3, 4, depth.data()), 0);
  depth[0] = NAN;
  EXPECT_EQ(DepthCheck(6, 0, 1, 0, 1, depth.data()), 0);
  EXPECT_EQ(DepthCheck(6, 0, 6, 0, 4, nullptr), 0);
}

TEST(LightJitter, EveryStoredCountStaysInsideItsTable) {
  auto length = [](const JitterPoint* t) {
    return t == j2 ? 2 : t == j3 ? 3 : t == j4 ? 4 : t == j8 ? 8 : t == j15 ? 15 : t == j24 ? 24 : 0;
  };
  for (int32_t stored = -2; stored <= 30; ++stored) {
    int32_t n = stored;
    const PassPlan plan = LightJitterPlan(&n);
    EXPECT_GE(plan.passes, 1) << stored;
    EXPECT_LE(plan.passes, length(plan.table)) << stored;
  }
  int32_t n = 2;
  EXPECT_EQ(LightJitterPlan(&n).table, j2);
  n = 3;
  EXPECT_EQ(LightJitterPlan(&n).table, j3);
  n = 4;
  EXPECT_EQ(LightJitterPlan(&n).table, j4);
  n = 24;
  EXPECT_EQ(LightJitterPlan(&n).table, j24);
  EXPECT_FLOAT_EQ(j2[0].x, 0.246490f);
  EXPECT_FLOAT_EQ(j2[1].y, -0.249999f);
}

// ---- The shadowed frame ----

// A box of 40 on a 400 x 400 ground, seen from straight above by the walk camera, with one
// lamp of kind 80 hanging 200 above the ground.
class ShadowScene : public RenderTest {
 protected:
  static constexpr float kHalf = 20, kBoxHeight = 40, kLampX = 50, kLampHeight = 200, kEye = 150;
  Objex* lamp = nullptr;
  Objex* part = nullptr;

  void SetUp() override {
    RenderTest::SetUp();
    if (IsSkipped()) return;
    sWidth = 160, sHeight = 120;
    gLiveViewOptions = 1023;  // shading on: the lit image is brighter than the dark one
    DocState* d = ds();
    d->orthoView() = 0;
    d->navigationMode = kNavWalkThrough;
    d->controlledNavigation() = 1;
    d->walkPitchAngle() = 90;
    d->walkViewAngle() = 0;
    d->walkEyePoint() = {0, 0};
    d->walkEyeHeight() = kEye;
    d->lightBrightness() = 0.6f;
    d->lightIntensity() = 0;  // no fade across the faces
    d->shadowQuality = 5;
    d->shadowRender() = 1;
    d->sunlightOn() = 0;
    d->renderExclusions() = 0;
    d->cutAwayPosition() = 0;
    d->planBounds = {5000, 5000, 5001, 5001};  // the lot lies far out of sight
    gWalkFOV = 45;
    // The ground and the box (GL coordinates: y up).
    addPolygon({{-200, 0, -200}, {200, 0, -200}, {200, 0, 200}, {-200, 0, 200}}, kGrey);
    const float h = kHalf, t = kBoxHeight;
    addPolygon({{-h, t, -h}, {h, t, -h}, {h, t, h}, {-h, t, h}}, kGrey);
    addPolygon({{-h, 0, -h}, {h, 0, -h}, {h, t, -h}, {-h, t, -h}}, kGrey);
    addPolygon({{-h, 0, h}, {h, 0, h}, {h, t, h}, {-h, t, h}}, kGrey);
    addPolygon({{-h, 0, -h}, {-h, 0, h}, {-h, t, h}, {-h, t, -h}}, kGrey);
    addPolygon({{h, 0, -h}, {h, 0, h}, {h, t, h}, {h, t, -h}}, kGrey);
    // The fixture: a group whose first child is the light part.
    lamp = doc.addObject(kObjGroup, false, {}, doc.first);
    part = doc.addObject(80, false, {}, parts);
    UnlinkFromLayer(part);
    AppendChildToObject(part, lamp);
    part->bounds3D.floatLeft = part->bounds3D.floatRight = kLampX;
    part->bounds3D.floatBack = part->bounds3D.floatFront = 0;
    part->params[1] = 60;  // cone
    part->params[2] = 1;   // falloff
    part->extraLong = 0;   // on
    part->extraFlags = 0;  // dimmer: full intensity
    part->textureID = 0;   // no ambient cluster
    lamp->baseElevation = ConvertScreenToWorld(kLampHeight, d, 0) + 8;
  }

  void TearDown() override {
    gRenderOpenGLAntiAlias = 0;
    RenderTest::TearDown();
  }

  static void UnlinkFromLayer(Objex* o) {
    Layer* layer = o->layer;
    if (o->prev) o->prev->next = o->next;
    else if (layer) layer->firstObject = o->next;
    if (o->next) o->next->prev = o->prev;
    if (layer && layer->lastObject == o) layer->lastObject = o->prev;
    o->prev = o->next = nullptr;
    o->layer = nullptr;
  }

  struct Image {
    int w = 0, h = 0;
    std::vector<uint8_t> rgba;
    Pixel at(int x, int y) const {
      const uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
      return {p[0], p[1], p[2], p[3]};
    }
  };
  static Image KeptImage() {
    Image image;
    image.rgba = KeptFrame(&image.w, &image.h);
    return image;
  }
  // The frame the current settings render.
  Image Render() {
    RefreshGLScene();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return KeptImage();
  }
  // One colour image of the shadow render (dark or lit), drawn over the plain frame.
  Image ColourImage(bool light) {
    RenderGLScene();
    if (light) RenderOffscreenFullyLight();
    else RenderOffscreenFullyDark();
    Image image;
    image.w = sWidth, image.h = sHeight;
    image.rgba.resize(static_cast<size_t>(sWidth) * sHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, sWidth, sHeight, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    return image;
  }

  // Where the camera ray of pixel (x, y) meets the ground; false where the box top is met
  // first or the ground is missed.
  struct Camera {
    GLdouble mv[16], pr[16];
    GLint vp[4];
  };
  Camera CameraNow() {
    RenderGLScene();
    Camera c;
    glGetDoublev(GL_MODELVIEW_MATRIX, c.mv);
    glGetDoublev(GL_PROJECTION_MATRIX, c.pr);
    glGetIntegerv(GL_VIEWPORT, c.vp);
    return c;
  }
  static bool GroundPoint(const Camera& c, double x, double y, double g[3]) {
    double n[3], f[3];
    gluUnProject(x, y, 0, c.mv, c.pr, c.vp, &n[0], &n[1], &n[2]);
    gluUnProject(x, y, 1, c.mv, c.pr, c.vp, &f[0], &f[1], &f[2]);
    const double dy = f[1] - n[1];
    if (dy == 0) return false;
    double s = (kBoxHeight - n[1]) / dy;  // the box top first
    const double tx = n[0] + s * (f[0] - n[0]), tz = n[2] + s * (f[2] - n[2]);
    if (std::fabs(tx) <= kHalf + 1.5 && std::fabs(tz) <= kHalf + 1.5) return false;
    s = -n[1] / dy;
    for (int i = 0; i < 3; ++i) g[i] = n[i] + s * (f[i] - n[i]);
    return std::fabs(g[0]) < 200 && std::fabs(g[2]) < 200;
  }
  // True when the segment from p towards direction d (length `reach`) passes through the box.
  static bool Blocked(const double p[3], const double d[3], double reach) {
    const double lo[3] = {-kHalf, 0, -kHalf}, hi[3] = {kHalf, kBoxHeight, kHalf};
    double t0 = 1e-4, t1 = reach;
    for (int i = 0; i < 3; ++i) {
      if (std::fabs(d[i]) < 1e-12) {
        if (p[i] < lo[i] || p[i] > hi[i]) return false;
        continue;
      }
      double a = (lo[i] - p[i]) / d[i], b = (hi[i] - p[i]) / d[i];
      if (a > b) std::swap(a, b);
      t0 = std::max(t0, a), t1 = std::min(t1, b);
      if (t0 > t1) return false;
    }
    return true;
  }
  // How far the ground point is from the shadow's edge, in world units (rough: the distance
  // along the ground at which the blocked test changes).
  static bool NearEdge(const double g[3], const std::function<bool(const double*)>& shaded, double r) {
    const bool here = shaded(g);
    for (double dx : {-r, 0.0, r})
      for (double dz : {-r, 0.0, r}) {
        const double q[3] = {g[0] + dx, 0, g[2] + dz};
        if (shaded(q) != here) return true;
      }
    return false;
  }
};

TEST_F(ShadowScene, LampShadowOfTheBoxIsTheDarkImageAndLitPixelsFollowTheFalloff) {
  const Camera cam = CameraNow();
  const Image dark = ColourImage(false);
  const Image light = ColourImage(true);
  ASSERT_GT(light.at(80, 10).r, dark.at(80, 10).r + 60) << "the lit image must be brighter";
  const Image result = Render();
  ASSERT_EQ(result.w, 160);
  // The lamp's own matrices are left from its view. Its depth image is taken from the lamp
  // moved by its depth-bias offset, along the rays of the lamp in place.
  const double lamp[3] = {kLampX, kLampHeight, 0};
  float o[3];
  GetLightOffset(o, kLampX, 0, 90, 0, 80);
  EXPECT_GT(o[1], 0);
  const double moved[3] = {lamp[0] + o[0], lamp[1] + o[1], lamp[2] + o[2]};
  auto shaded = [&](const double* g) {
    const double d[3] = {g[0] - lamp[0], g[1] - lamp[1], g[2] - lamp[2]};
    return Blocked(moved, d, 1.0);
  };
  int expectedShadow = 0, renderedShadow = 0, checkedLit = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) {
      double g[3];
      if (!GroundPoint(cam, x, y, g)) continue;
      double lx, ly, lz;
      gluProject(g[0], g[1], g[2], gLightMVMatrix, gLightProjMatrix, gLightViewPort, &lx, &ly, &lz);
      const float t = GetPixelDistance(static_cast<float>(lx), static_cast<float>(120 - ly), 0, 0, 160, 120, 1, 1);
      if (t < 0 || t > 0.7f) continue;  // well inside the cone
      const bool inShadow = shaded(g);
      const Pixel r = result.at(x, y), d = dark.at(x, y), l = light.at(x, y);
      const double lit = d.r + (l.r - d.r) * (1 - t);
      const bool looksDark = std::abs(r.r - d.r) < std::abs(r.r - lit);
      expectedShadow += inShadow;
      renderedShadow += looksDark;
      if (NearEdge(g, shaded, 2.0)) continue;
      if (inShadow) {
        EXPECT_NEAR(r.r, d.r, 3) << x << "," << y;
        EXPECT_NEAR(r.g, d.g, 3) << x << "," << y;
      } else {
        ++checkedLit;
        EXPECT_NEAR(r.r, lit, 3) << x << "," << y << " t " << t;
        EXPECT_NEAR(r.b, d.b + (l.b - d.b) * (1 - t), 3) << x << "," << y;
      }
    }
  EXPECT_GT(expectedShadow, 100);
  EXPECT_GT(checkedLit, 1000);
  EXPECT_NEAR(renderedShadow, expectedShadow, expectedShadow * 0.1);
  // Buffers are gone and the time is reported (how long it took is the machine's: the wording
  // of each time is ShadowRenderTime's).
  EXPECT_EQ(gDarkColorBuffer, nullptr);
  EXPECT_EQ(gEyeUnProBuf, nullptr);
  EXPECT_EQ(gShadowDisplayList, 0u);
  ASSERT_FALSE(sStatus.empty());
  const std::string& time = sStatus.back();
  EXPECT_TRUE(time.find(" seconds to render") != std::string::npos ||
              time.find(" minutes to render") != std::string::npos)
      << time;
}

TEST_F(ShadowScene, HalfQualityTestsACheckerboardAndFillsTheRest) {
  ds()->shadowRender() = 1;
  const Image full = Render();
  ds()->shadowQuality = 0;
  const Image half = Render();
  // Away from the shadow's edges the filled half matches the full test closely.
  int differing = 0, compared = 0;
  for (int y = 1; y < 119; ++y)
    for (int x = 1; x < 159; ++x) {
      const int a = full.at(x, y).r, b = half.at(x, y).r;
      ++compared;
      if (std::abs(a - b) > 4) ++differing;
    }
  EXPECT_LT(differing, compared / 50);
  EXPECT_GT(compared, 10000);
}

TEST_F(ShadowScene, NothingToShootDrawsThePlainFrameWithoutStatus) {
  ds()->shadowRender() = 1;
  part->extraLong = 1;  // the lamp is off
  ServiceCallRecorder calls;
  const Image plain = Render();
  EXPECT_TRUE(calls.called("RenderShadows"));
  EXPECT_FALSE(calls.called("InitializeLVLightProgress") && calls.count("UpdateLVLightProgress") > 0);
  const std::vector<std::string> shadowStatus = sStatus;
  sStatus.clear();
  ds()->shadowRender() = 0;
  const Image reference = Render();
  EXPECT_EQ(plain.rgba, reference.rgba);
  // No render time, nothing but what the plain frame says.
  EXPECT_EQ(shadowStatus, sStatus);
}

TEST_F(ShadowScene, ProgressCountsTheShotsOfEachKind) {
  struct Case {
    int16_t kind;
    int32_t ambient, off;
    bool antiAliased;
    int32_t shots;
  };
  ds()->antiAliasPasses() = 4;
  const Case cases[] = {
      {80, 0, 0, false, 1}, {80, 1, 0, false, 5}, {80, 1, 0, true, 17}, {81, 0, 1, false, 0},
      {79, 0, 0, false, 4}, {79, 0, 0, true, 16}, {146, 1, 0, false, 5}, {150, 0, 0, true, 1},
      {147, 1, 0, false, 1}, {149, 0, 0, true, 1}, {152, 0, 0, false, 2}, {152, 1, 0, false, 10},
      {152, 1, 0, true, 34}, {100, 0, 0, false, 0}, {145, 1, 0, false, 0},
  };
  for (const Case& c : cases) {
    part->type = c.kind;
    part->textureID = c.ambient;
    part->extraLong = c.off;
    gRenderOpenGLAntiAlias = c.antiAliased;
    EXPECT_EQ(InitializeLightProgressBar(0), c.shots) << c.kind << " ambient " << c.ambient;
    // Plane objects are in the scene: with anti-aliasing 2cN + 2N, else 2c + 1.
    const int32_t N = 4;
    EXPECT_EQ(gTotalLightsToRender, c.antiAliased ? 2 * c.shots * N + 2 * N : 2 * c.shots + 1);
    EXPECT_EQ(gTotalLightsRendered, 0);
  }
  gRenderOpenGLAntiAlias = 0;
  part->type = 80, part->extraLong = 0, part->textureID = 0;
  // A flood light on a wall counts two shots; the electrical exclusion counts none.
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {10, 0}}, doc.first);
  Objex* flood = doc.addObject(kObjComponent, false, {}, parts);
  UnlinkFromLayer(flood);
  AppendChildToObject(flood, wall);
  flood->subtype = 83;
  EXPECT_EQ(InitializeLightProgressBar(0), 3);
  // The sun: g (g x g x 2 with plane objects) plus 1.
  ds()->sunlightOn() = 1;
  InitializeLightProgressBar(3);
  EXPECT_EQ(gTotalLightsToRender, 3 * 3 * 2 + 1 + 2 * 3 + 1);
  ds()->renderExclusions() = kLVOffElectrical;
  EXPECT_EQ(InitializeLightProgressBar(0), 0);
  doc.first->visible = 0;
  ds()->renderExclusions() = 0;
  EXPECT_EQ(InitializeLightProgressBar(0), 0);
  doc.first->visible = 1;
}

TEST_F(ShadowScene, EachKindShootsTheViewsItCounts) {
  struct Case {
    int16_t kind;
    int32_t ambient;
    size_t views, clusters;
  };
  const Case cases[] = {{80, 0, 1, 0}, {80, 1, 5, 1}, {79, 0, 4, 1}, {146, 1, 5, 1}, {147, 1, 1, 0},
                        {149, 0, 1, 0}, {152, 0, 2, 0}, {152, 1, 10, 1}, {120, 1, 0, 0}};
  for (const Case& c : cases) {
    part->type = c.kind;
    part->textureID = c.ambient;
    ServiceCallRecorder calls;
    Render();
    EXPECT_EQ(calls.count("RenderLightView"), c.views) << c.kind << " ambient " << c.ambient;
    EXPECT_EQ(calls.count("RenderAmbient"), c.clusters) << c.kind << " ambient " << c.ambient;
    EXPECT_EQ(gPointLightDownShot, 1);
    EXPECT_FALSE(gAmbientLightDown || gAmbientLightUp || gAmbientLightUpDown || gFadeDown);
  }
}

namespace {
struct FixtureShot {
  float height, x, y, vertical, horizontal, cone;
  int32_t falloff;
  float intensity;
  int16_t kind;
};
std::vector<FixtureShot> gFixtureShots;
void RecordFixtureShot(DocState*, float height, float x, float y, float vertical, float horizontal, int16_t,
                       float cone, int32_t falloff, float intensity, int16_t kind) {
  gFixtureShots.push_back({height, x, y, vertical, horizontal, cone, falloff, intensity, kind});
}
}  // namespace

// Each kind of fixture shoots from its own height above the group's base (in plan units at
// the plan scale: 96 in inches and 24 in centimetres), at its own angles and cone; the wall
// lamps first move out along their turn. The kinds just outside the runs shoot nothing (79 takes
// only the ambient views, which the shadow render's counts test).
TEST(FixtureShots, EachKindFromItsOwnHeightAnglesAndCone) {
  TestDocument doc;
  const LightViewShot saved = gFixtureShot;
  gFixtureShot = &RecordFixtureShot;
  const struct {
    float planScale;
    int16_t units;
    float perWorldUnit;
  } scales[] = {{96, 1, 0.75f}, {24, 6, 3 / 2.54f}};
  struct Expected {
    float rise;  // world units above the base of 100; the point lamp's 5 are plan units
    float vertical, horizontal, cone, dx, dy;
    float planRise = 0;
  };
  const float c10 = -5, s10 = -8.660254f, c16 = -8, s16 = -13.856406f;  // 10 and 16 along 120 degrees
  const struct {
    int16_t kind;
    std::vector<Expected> shots;
  } kinds[] = {
      {80, {{-8, 90, 0, 60, 0, 0}}},       {82, {{-8, 90, 0, 60, 0, 0}}},     {146, {{1.5f, -90, 0, 40, 0, 0}}},
      {147, {{12, 315, 30, 40, c10, s10}}}, {148, {{-8, 45, 30, 40, c16, s16}}}, {149, {{30, 90, 0, 90, 0, 0}}},
      {150, {{2, -90, 0, 60, 0, 0}}},       {151, {{-0.5f, 90, 0, 60, 0, 0}}},
      {152, {{0, 90, 0, 60, 0, 0, 5}, {0, -90, 0, 60, 0, 0, -5}}},
      {78, {}}, {83, {}}, {145, {}}, {153, {}},
  };
  for (const auto& sc : scales)
    for (const auto& k : kinds) {
      SCOPED_TRACE(testing::Message() << "kind " << k.kind << " at scale " << sc.planScale);
      doc.ds()->planScale = sc.planScale;
      doc.ds()->worldUnits = sc.units;
      Objex* group = doc.addObject(kObjGroup, true, {{0, 0}}, doc.first);
      group->baseElevation = 100;
      const RGBColor black{};
      Objex* part = CreateObject(k.kind, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr);
      AppendChildToObject(part, group);
      part->bounds3D.floatLeft = 20, part->bounds3D.floatRight = 40;
      part->bounds3D.floatBack = -10, part->bounds3D.floatFront = 50;
      part->params[0] = 30, part->params[1] = 60, part->params[2] = 2.6f;
      part->extraFlags = 51;  // dimmer
      gFixtureShots.clear();
      ShootFixture(doc.ds(), group);
      ASSERT_EQ(gFixtureShots.size(), k.shots.size());
      for (size_t i = 0; i < k.shots.size(); ++i) {
        const Expected& e = k.shots[i];
        const FixtureShot& s = gFixtureShots[i];
        EXPECT_NEAR(s.height, (100 + e.rise) * sc.perWorldUnit + e.planRise, 1e-3) << i;
        EXPECT_NEAR(s.x, 30 + e.dx, 1e-4) << i;
        EXPECT_NEAR(s.y, 20 + e.dy, 1e-4) << i;
        EXPECT_EQ(s.vertical, e.vertical) << i;
        EXPECT_EQ(s.horizontal, e.horizontal) << i;
        EXPECT_EQ(s.cone, e.cone) << i;
        EXPECT_EQ(s.falloff, 3) << i;
        EXPECT_FLOAT_EQ(s.intensity, 0.8f) << i;
        EXPECT_EQ(s.kind, k.kind) << i;
      }
    }
  gFixtureShot = saved;
}

using LampOffsets = RenderTest;

// Flying, the lamps move towards the camera where the scene's own view puts it: round the
// centre at the fly angle, in both halves of the turn and at two distances (the move grows from
// 600 units away).
TEST_F(LampOffsets, FlyingTheLampsMoveTowardsTheSceneCamera) {
  ds()->navigationMode = kNavFlyAround;
  ds()->flyCenter() = {100, 50};
  ds()->flyAngleX() = 0;
  const struct {
    float angle, distance;
  } cameras[] = {{30, 200}, {210, 200}, {120, 900}, {300, 900}};
  for (const auto& c : cameras) {
    SCOPED_TRACE(testing::Message() << "fly angle " << c.angle << " at " << c.distance);
    ds()->flyAngleY() = c.angle;
    ds()->flyDistance() = c.distance;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ApplySceneCamera(ds());
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    double eye[3];
    for (int i = 0; i < 3; ++i) eye[i] = -(m[i * 4] * m[12] + m[i * 4 + 1] * m[13] + m[i * 4 + 2] * m[14]);
    glLoadIdentity();
    const float lamp[2] = {-40, 70};
    const double dx = eye[0] - lamp[0], dz = eye[2] - lamp[1], dist = std::hypot(dx, dz);
    const double k = dist >= 600 ? dist * 0.00167 : 1.0;
    float o[3];
    GetLightOffset(o, lamp[0], lamp[1], -90, 0, 146);  // a ceiling lamp: towards the camera only
    EXPECT_NEAR(o[0], dx / dist, 1e-4);
    EXPECT_NEAR(o[1], 0, 1e-6);
    EXPECT_NEAR(o[2], dz / dist, 1e-4);
    GetLightOffset(o, lamp[0], lamp[1], 90, 0, 80);  // a hanging lamp: up as well
    EXPECT_NEAR(o[0], 1.5 * dx / dist, 1e-4);
    EXPECT_NEAR(o[1], 2.5 * k, 1e-3);
    EXPECT_NEAR(o[2], 1.5 * dz / dist, 1e-4);
  }
  ds()->navigationMode = kNavWalkThrough;
}

// Where each kind's depth image is taken from: the lamp moved a little so that the surfaces
// it lights do not shadow themselves. Hanging lamps move up and towards the camera, the others
// towards the camera only, the spots and the ambient shots back along their beam, the sun up by
// its distance over the width of its view (moves grow from 600 units away, 1000 for 79).
TEST_F(ShadowScene, EachKindTakesItsDepthImageFromItsOwnPlace) {
  enum Rule { kUpAndToward, kToward, kBack, kBackAndToward, kSun };
  struct Case {
    int16_t kind;
    bool downShot;
    float x, y;                  // the lamp in the plan (the camera is at the origin)
    float vertical, horizontal;  // of the shot
    Rule rule;
  };
  const Case cases[] = {
      {80, true, 30, 40, 90, 0, kUpAndToward},      {81, true, -30, 40, 90, 0, kUpAndToward},
      {82, true, 30, -40, 90, 0, kUpAndToward},     {149, true, 360, 480, 90, 0, kUpAndToward},
      {151, true, 500, 1200, 90, 0, kUpAndToward},  {152, true, -30, -40, 90, 0, kUpAndToward},
      {152, false, -30, -40, -90, 0, kToward},      {146, true, 30, 40, -90, 0, kToward},
      {150, true, 500, 1200, -90, 0, kToward},      {83, true, 30, 40, 45, 30, kBack},
      {147, true, 30, 40, 315, 30, kBack},          {148, true, 500, 1200, 45, 120, kBack},
      {79, true, 30, 40, 52, 90, kBackAndToward},   {79, true, 500, 1200, 52, 270, kBackAndToward},
      {79, true, 360, 480, -52, 180, kBackAndToward}, {1, true, 0, 0, 40, 30, kSun},
  };
  const float sunX = gXSunOffset, sunZ = gZSunOffset, left = gOrthoSizeLeft, right = gOrthoSizeRight;
  gXSunOffset = -300, gZSunOffset = -400;  // the sun's view is centred on (300, 400)
  gOrthoSizeLeft = -500, gOrthoSizeRight = 500;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " at " << c.x << ", " << c.y);
    gPointLightDownShot = c.downShot;
    float o[3];
    GetLightOffset(o, c.x, c.y, c.vertical, c.horizontal, c.kind);
    gPointLightDownShot = 1;
    const double dist = std::hypot(c.x, c.y), k = dist >= 600 ? dist * 0.00167 : 1.0;
    const double toCamera[2] = {-c.x / dist, -c.y / dist};
    const double v = c.vertical * M_PI / 180, h = c.horizontal * M_PI / 180;
    // Backwards along the beam (a view turned by vertical about x, then horizontal about -y).
    const double back[3] = {std::cos(v) * std::sin(h), std::sin(v), std::cos(v) * std::cos(h)};
    double e[3] = {0, 0, 0};
    switch (c.rule) {
      case kUpAndToward: e[0] = 1.5 * toCamera[0], e[1] = 2.5 * k, e[2] = 1.5 * toCamera[1]; break;
      case kToward: e[0] = toCamera[0], e[2] = toCamera[1]; break;
      case kBack: e[0] = k * back[0], e[1] = k * back[1], e[2] = k * back[2]; break;
      case kBackAndToward: {
        const double k2 = dist >= 1000 ? dist * 0.001 : 1.0;
        e[0] = k2 * back[0] + 1.5 * toCamera[0], e[1] = k2 * back[1], e[2] = k2 * back[2] + 1.5 * toCamera[1];
        break;
      }
      case kSun: e[1] = 500.0 / 1000 + 1; break;
    }
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(o[i], e[i], 1e-4) << "axis " << i;
  }
  gXSunOffset = sunX, gZSunOffset = sunZ, gOrthoSizeLeft = left, gOrthoSizeRight = right;
}

// Where each kind's beam starts and which way it points, read from the light's view that its
// last shot leaves: the fixture's centre at its kind's height (moved out from the wall for the
// sconces), looking down, up or along the fixture's turn, with its kind's cone.
TEST_F(ShadowScene, EachKindsBeamStartsAtItsHeightAndPointsItsWay) {
  struct Case {
    int16_t kind;
    float heightOffset;  // above the group's elevation, in world units
    float along;         // moved out along the fixture's turn + 90 degrees
    float vertical, horizontal, coneChange;
  };
  constexpr float kTurn = 30;
  const Case cases[] = {
      {80, -8, 0, 90, 0, 0},         {81, -8, 0, 90, 0, 0},       {82, -8, 0, 90, 0, 0},
      {146, 1.5f, 0, -90, 0, -20},   {147, 12, 10, 315, kTurn, -20}, {148, -8, 16, 45, kTurn, -20},
      {149, 30, 0, 90, 0, 30},       {150, 2, 0, -90, 0, 0},      {151, -0.5f, 0, 90, 0, 0},
      {79, -10, 0, 52, 270, 105 - 60},  // the last of its ambient shots: cone 105
  };
  part->params[0] = kTurn;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << c.kind);
    part->type = c.kind;
    Render();
    const double* m = gLightMVMatrix;
    double eye[3], look[3];
    for (int j = 0; j < 3; ++j) {
      eye[j] = -(m[j * 4] * m[12] + m[j * 4 + 1] * m[13] + m[j * 4 + 2] * m[14]);
      look[j] = -m[j * 4 + 2];
    }
    const double turn = (kTurn + 90) * M_PI / 180;
    EXPECT_NEAR(eye[0], kLampX + c.along * std::cos(turn), 1e-2);
    EXPECT_NEAR(eye[1], ConvertWorldToScreen(lamp->baseElevation + c.heightOffset, ds(), 0), 1e-2);
    EXPECT_NEAR(eye[2], -c.along * std::sin(turn), 1e-2);
    const double v = c.vertical * M_PI / 180, h = c.horizontal * M_PI / 180;
    EXPECT_NEAR(look[0], -std::cos(v) * std::sin(h), 1e-4);
    EXPECT_NEAR(look[1], -std::sin(v), 1e-4);
    EXPECT_NEAR(look[2], -std::cos(v) * std::cos(h), 1e-4);
    EXPECT_NEAR(2 * std::atan(1 / gLightProjMatrix[5]) * 180 / M_PI, part->params[1] + c.coneChange, 1e-3);
  }
  // Kind 152 shoots down from 5 above its centre, then up from 5 below: the last view is the
  // upward one.
  part->type = 152;
  Render();
  const double* m = gLightMVMatrix;
  EXPECT_NEAR(-(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]),
              ConvertWorldToScreen(lamp->baseElevation, ds(), 0) - 5, 1e-2);
  EXPECT_NEAR(-m[6], 1, 1e-4);  // looking up
  part->type = 80, part->params[0] = 0;
}

// Two ambient shots of different strength over the same pixels: each pixel keeps the weaker
// light, whichever shot came first (and the weaker is the stronger in proportion).
TEST_F(ShadowScene, OfTwoAmbientShotsOnOnePixelTheWeakerStays) {
  const Camera cam = CameraNow();
  gVPWidth = sWidth, gVPHeight = sHeight;
  std::copy_n(cam.mv, 16, gCamMVMatrix);
  std::copy_n(cam.pr, 16, gCamProjMatrix);
  std::copy_n(cam.vp, 4, gCamViewPort);
  const size_t n = static_cast<size_t>(sWidth) * sHeight;
  auto buffer = [](int floats) { return static_cast<float*>(shadow::AllocPixelBuffer(sWidth, sHeight, floats * sizeof(float))); };
  gCamDBuffer = buffer(1);
  gEyeUnProBuf = buffer(3);
  gLightDBuffer = buffer(1);
  gLightMap = buffer(1);
  gLightMapAA = buffer(1);
  gMultiMap = buffer(1);
  ASSERT_TRUE(gCamDBuffer && gEyeUnProBuf && gLightDBuffer && gLightMap && gLightMapAA && gMultiMap);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, sWidth, sHeight, GL_DEPTH_COMPONENT, GL_FLOAT, gCamDBuffer);
  gFillUnProjectBuffer = 1;
  gFillingBucketBuffer = 0;
  auto shoot = [&](float intensity) {
    gAmbientLightDown = 1;
    RenderLightView(ds(), kLampHeight, kLampX, 0, 52, 0, 0, 105, 3, intensity, 79);
    gAmbientLightDown = 0;
  };
  auto take = [n] {
    std::vector<float> m(gMultiMap, gMultiMap + n);
    std::fill_n(gMultiMap, n, 0.0f);
    return m;
  };
  shoot(0.8f);
  const std::vector<float> strong = take();
  shoot(0.3f);
  const std::vector<float> weak = take();
  for (const auto& [first, second] : {std::pair{0.8f, 0.3f}, std::pair{0.3f, 0.8f}}) {
    SCOPED_TRACE(::testing::Message() << first << " then " << second);
    shoot(first);
    shoot(second);
    const std::vector<float> both = take();
    int lit = 0;
    for (size_t i = 0; i < n; ++i) {
      if (!(strong[i] > 0)) {
        EXPECT_EQ(both[i], 0.0f) << i;
        continue;
      }
      ++lit;
      EXPECT_NEAR(weak[i], strong[i] * 0.3f / 0.8f, 1e-5) << i;
      EXPECT_NEAR(both[i], weak[i], 1e-6) << i;
    }
    EXPECT_GT(lit, 1000);
  }
  for (float** b : {&gCamDBuffer, &gEyeUnProBuf, &gLightDBuffer, &gLightMap, &gLightMapAA, &gMultiMap}) {
    shadow::ReleasePixelBuffer(*b);
    *b = nullptr;
  }
  DeleteShadowCasterLists();
  gVPWidth = gVPHeight = 0;
}

// Lamps on a hidden floor, each floor shown and hidden with the other: the walk shoots the
// lamps of the shown floors only, as many views as the progress bar counted for them.
TEST_F(ShadowScene, LampsOnAHiddenFloorAreNeitherCountedNorShot) {
  Objex* upstairs = doc.addObject(kObjGroup, false, {}, doc.second);
  Objex* upstairsPart = doc.addObject(79, false, {}, parts);  // four views
  UnlinkFromLayer(upstairsPart);
  AppendChildToObject(upstairsPart, upstairs);
  upstairsPart->bounds3D = part->bounds3D;
  upstairsPart->params[1] = 60, upstairsPart->params[2] = 1;
  upstairsPart->extraLong = upstairsPart->extraFlags = 0;
  upstairsPart->textureID = 0;
  upstairs->baseElevation = lamp->baseElevation;
  struct Case {
    uint8_t first, second;  // the floors shown
    size_t views;
  };
  for (const Case& c : {Case{1, 1, 5}, Case{0, 1, 4}, Case{1, 0, 1}, Case{0, 0, 0}}) {
    SCOPED_TRACE(::testing::Message() << "first " << int(c.first) << ", second " << int(c.second));
    doc.first->visible = c.first;
    doc.second->visible = c.second;
    EXPECT_EQ(InitializeLightProgressBar(0), static_cast<int32_t>(c.views));
    ServiceCallRecorder calls;
    Render();
    EXPECT_EQ(calls.count("RenderLightView"), c.views);
  }
  doc.first->visible = doc.second->visible = 1;
}

TEST_F(ShadowScene, EscapeInTheLampWalkFreesTheBuffersAndRedrawsThePlainScene) {
  ds()->shadowRender() = 0;
  const Image plain = Render();
  ds()->shadowRender() = 1;
  // Escape comes with the poll after the lamp.
  static int sPolls;
  sPolls = 0;
  gLiveViewHost.takeKeyDown = [] { return ++sPolls >= 3 ? kKeyCodeEscape : -1; };
  const Image result = Render();
  gLiveViewHost.takeKeyDown = nullptr;
  EXPECT_EQ(gBreakOpenGLRender, 1);
  EXPECT_EQ(gDarkColorBuffer, nullptr);
  EXPECT_EQ(gLightMap, nullptr);
  EXPECT_EQ(gCamDBuffer, nullptr);
  EXPECT_EQ(gEyeUnProBuf, nullptr);
  EXPECT_EQ(gShadowDisplayList, 0u);
  ASSERT_FALSE(sStatus.empty());
  EXPECT_EQ(sStatus.back(), "Rendering interrupted");
  EXPECT_EQ(result.rgba, plain.rgba);
  gBreakOpenGLRender = 0;
}

TEST_F(ShadowScene, AntiAliasedPassesSoftenButKeepTheShadow) {
  ds()->shadowRender() = 1;
  const Image sharp = Render();
  for (int32_t passes : {2, 3, 4, 5}) {
    ds()->antiAliasPasses() = passes;
    gRenderOpenGLAntiAlias = 1;
    const Image soft = Render();
    gRenderOpenGLAntiAlias = 0;
    ASSERT_EQ(soft.w, 160) << passes;
    int far = 0;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 160; ++x)
        if (std::abs(soft.at(x, y).r - sharp.at(x, y).r) > 40) ++far;
    EXPECT_LT(far, 160 * 120 / 40) << passes;
    EXPECT_EQ(ds()->antiAliasPasses(), passes);
    EXPECT_FALSE(gRenderingShadowMapAntiAlias);
  }
}

TEST_F(ShadowScene, SunShadowFallsWhereTheSunIsBlockedAtEveryGridQuality) {
  part->extraLong = 1;  // only the sun
  ds()->sunlightOn() = 1;
  ds()->sunBrightness() = 100;
  ds()->sunOverheadAngle() = 50;
  ds()->sunDirectionAngle() = 30;
  ds()->shadowRender() = 1;
  const Camera cam = CameraNow();
  const Image dark = ColourImage(false);
  const Image light = ColourImage(true);
  for (int16_t quality : {int16_t(-1), int16_t(0), int16_t(2), int16_t(6)}) {
    ds()->sunShadowQuality() = quality;
    const Image result = Render();
    // Towards the sun: the eye axis of the sun's view in world coordinates.
    const double toSun[3] = {gSunMVMatrix[2], gSunMVMatrix[6], gSunMVMatrix[10]};
    ASSERT_GT(toSun[1], 0.5) << quality;
    // The sun stands 50 degrees up, 30 degrees round from the plan's top (-z) towards +x.
    const double up = 50 * M_PI / 180, round = 30 * M_PI / 180;
    EXPECT_NEAR(toSun[0], std::cos(up) * std::sin(round), 1e-4) << quality;
    EXPECT_NEAR(toSun[1], std::sin(up), 1e-4) << quality;
    EXPECT_NEAR(toSun[2], -std::cos(up) * std::cos(round), 1e-4) << quality;
    auto shaded = [&](const double* g) { return Blocked(g, toSun, 1000.0); };
    int expected = 0, wrong = 0;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 160; ++x) {
        double g[3];
        if (!GroundPoint(cam, x, y, g)) continue;
        const bool inShadow = shaded(g);
        expected += inShadow;
        const Pixel r = result.at(x, y), d = dark.at(x, y), l = light.at(x, y);
        const bool looksDark = std::abs(r.r - d.r) < std::abs(r.r - l.r);
        const double texel = 1000.0 / (SunGridSize(quality, 500) * 120);
        if (looksDark != inShadow && !NearEdge(g, shaded, 1.5 * texel)) ++wrong;
      }
    EXPECT_GT(expected, 100) << quality;
    EXPECT_LE(wrong, expected / 30) << quality;
    EXPECT_EQ(gSunDBuffer, nullptr);
  }
  // The other half of the turn: a sun 210 degrees round stands opposite.
  ds()->sunDirectionAngle() = 210;
  ds()->sunShadowQuality() = -1;
  Render();
  EXPECT_NEAR(gSunMVMatrix[2], -std::cos(50 * M_PI / 180) * 0.5, 1e-4);
  EXPECT_NEAR(gSunMVMatrix[10], std::cos(50 * M_PI / 180) * std::cos(30 * M_PI / 180), 1e-4);
}
// A buffer that cannot be had is named in the status line, and the frame shows the lit scene
// (never the white plant pass the render draws last before its blend).
TEST_F(ShadowScene, ABufferThatCannotBeHadIsNamedAndTheFrameStaysTheLitScene) {
  part->extraLong = 1;  // only the sun
  ds()->sunlightOn() = 1;
  ds()->sunBrightness() = 100;
  ds()->sunOverheadAngle() = 20;
  ds()->sunShadowQuality() = -1;
  ds()->shadowRender() = 0;
  const Image plain = Render();
  const Image light = ColourImage(true);
  ds()->shadowRender() = 1;
  struct Limit {
    ~Limit() { shadow::gPixelBufferLimit = std::numeric_limits<size_t>::max(); }
  } restore;

  // Room for every view-sized buffer (160 x 120) but not for the 4 x 4 sun grid.
  shadow::gPixelBufferLimit = 1000000;
  sStatus.clear();
  Image result = Render();
  ASSERT_FALSE(sStatus.empty());
  EXPECT_NE(sStatus.back().find("the sun was left out (could not allocate the sun's depth grid, 1.2 MB)"),
            std::string::npos)
      << sStatus.back();
  // No sun shadow: every pixel the lit image's (the blend at full light).
  int far = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) far += std::abs(result.at(x, y).r - light.at(x, y).r) > 3;
  EXPECT_LT(far, 160 * 120 / 100);

  // Not even the colour images: the plain lit frame, and the first buffer missed named.
  shadow::gPixelBufferLimit = 50000;
  sStatus.clear();
  result = Render();
  ASSERT_FALSE(sStatus.empty());
  EXPECT_NE(sStatus.back().find("the sun was left out (could not allocate the plant image, 0.1 MB)"),
            std::string::npos)
      << sStatus.back();
  EXPECT_EQ(result.rgba, plain.rgba);
  EXPECT_EQ(gSunDBuffer, nullptr);
  EXPECT_EQ(gLightMap, nullptr);
}
}  // namespace
