// The shadowed frame at 800 x 600 on the X display (Xvfb), a scene of 12k triangles on a ground
// seen from above, each against its raw baseline measured in the same run (ratios as counters):
// RenderShadows without anti-aliasing with L lamp shots against 5 + L plain renders, and the
// sun depth grid of 10 x 10 tiles against 100 depth-only renders of the scene (and, as the
// floor of any grid that reads each tile back, against the same renders each read back).
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "model/Services.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RendererUpkeep.h"
#include "render3d/SceneFrame.h"
#include "render3d/ShadowRender.h"

// Qt after the model: its `slots` keyword would clash with a record field.
#include "BenchGLContext.h"
#include "ProgramBench.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;
constexpr int kTrianglesPerObject = 20;

double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

BenchGLContext& Context() {
  static BenchGLContext gl("bench_shadow");
  return gl;
}

bool Ready(benchmark::State& state) {
  if (Context().ok) return true;
  state.SkipWithError("no display for an OpenGL context");
  return false;
}

// A ground of 1200 x 900 strewn with small raised triangles, seen straight down by the walk
// camera, with `lamps` fixtures of kind 80 hanging above it.
struct Scene {
  TestDocument doc;
  LiveViewHost saved = gLiveViewHost;
  Layer* parts = CreateLayer("Parts", 0, 0, nullptr);
  Scene(int triangles, int lamps) {
    AppendLayerToDocument(parts);
    gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = kWidth, *h = kHeight; };
    gLiveViewHost.isVisible = [] { return true; };
    DocState* ds = doc.ds();
    ds->orthoView() = 0;
    ds->navigationMode = kNavWalkThrough;
    ds->controlledNavigation() = 1;
    ds->walkPitchAngle() = 90;
    ds->walkEyePoint() = {0, 0};
    ds->walkEyeHeight() = 900;
    ds->shadowQuality = 5;
    ds->planBounds = {-600, -450, 600, 450};
    Objex* owner = doc.addObject(kObjWall, false, {{0, 0}, {1, 0}}, parts);
    auto add = [owner](std::vector<PlaneVertex> v) {
      PlaneObject* po = CreatePlaneObject();
      po->partType = kObjWallFace;
      po->colorA = po->colorB = RGBColor{40000, 30000, 50000};
      po->base2DObject = po->actual3DObject = po->sourceObject = owner;
      po->actual3DType = kObjWall;
      auto* copy = static_cast<PlaneVertex*>(malloc(v.size() * sizeof(PlaneVertex)));
      std::copy(v.begin(), v.end(), copy);
      AppendPlane(copy, static_cast<int32_t>(v.size()), 0, 0, 0.99f, po);
      if (!gGLPlaneObjects) gGLPlaneObjects = po;
      else gGLPlaneObjectsTail->next = po, po->prev = gGLPlaneObjectsTail;
      gGLPlaneObjectsTail = po;
      return po;
    };
    add({{-600, 0, -450, 0, 0, 0}, {600, 0, -450, 0, 0, 0}, {600, 0, 450, 0, 0, 0}, {-600, 0, 450, 0, 0, 0}});
    const int objects = triangles / kTrianglesPerObject;
    for (int o = 0; o < objects; ++o) {
      PlaneObject* po = nullptr;
      for (int t = 0; t < kTrianglesPerObject; ++t) {
        const int k = o * kTrianglesPerObject + t;
        const float x = static_cast<float>(k % 110) * 10 - 550, z = static_cast<float>(k / 110 % 110) * 8 - 440;
        const float h = -static_cast<float>(5 + k % 30);  // stored heights grow downward
        std::vector<PlaneVertex> v = {{x, h, z, 0, 0, 0}, {x + 6, h, z, 0, 1, 0}, {x, h, z + 6, 0, 0, 1}};
        if (!po) {
          po = add(v);
        } else {
          auto* copy = static_cast<PlaneVertex*>(malloc(3 * sizeof(PlaneVertex)));
          std::copy(v.begin(), v.end(), copy);
          AppendPlane(copy, 3, 0, 0, 0.99f, po);
        }
      }
    }
    for (int i = 0; i < lamps; ++i) {
      Objex* group = doc.addObject(kObjGroup, false, {}, doc.first);
      Objex* part = doc.addObject(80, false, {}, parts);
      // Off the parts layer, under the group.
      if (part->prev) part->prev->next = part->next;
      else parts->firstObject = part->next;
      if (part->next) part->next->prev = part->prev;
      if (parts->lastObject == part) parts->lastObject = part->prev;
      part->prev = part->next = nullptr;
      part->layer = nullptr;
      AppendChildToObject(part, group);
      const float x = static_cast<float>(i % 3) * 300 - 300, z = static_cast<float>(i / 3) * 300 - 150;
      part->bounds3D.floatLeft = part->bounds3D.floatRight = x;
      part->bounds3D.floatBack = part->bounds3D.floatFront = z;
      part->params[1] = 60;
      part->params[2] = 1;
      group->baseElevation = ConvertScreenToWorld(300, ds, 0) + 8;
    }
  }
  ~Scene() {
    ResetSceneDisplayList();
    ResetViewpointDisplayList();
    DeleteAllRendererObjects();
    gLiveViewHost = saved;
  }
};

void BM_ShadowRenderWithLamps(benchmark::State& state) {
  if (!Ready(state)) return;
  const int lamps = static_cast<int>(state.range(0));
  Scene scene(12000, lamps);
  DocState* ds = scene.doc.ds();
  ds->shadowRender() = 1;
  ds->sunlightOn() = 0;
  double ours = 0, plain = 0;
  for (auto _ : state) {
    glFinish();
    auto t0 = Clock::now();
    RenderShadows();
    glFinish();
    auto t1 = Clock::now();
    for (int i = 0; i < 5 + lamps; ++i) RenderGLScene();
    glFinish();
    auto t2 = Clock::now();
    ours += Seconds(t0, t1), plain += Seconds(t1, t2);
    state.SetIterationTime(Seconds(t0, t1));
  }
  state.counters["ratio"] = plain > 0 ? ours / plain : 0;
}
BENCHMARK(BM_ShadowRenderWithLamps)->Arg(1)->Arg(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// The camera state a shadow render has when it reaches the sun.
void PrepareCamera() {
  RenderGLScene();
  glGetIntegerv(GL_VIEWPORT, gCamViewPort);
  glGetDoublev(GL_MODELVIEW_MATRIX, gCamMVMatrix);
  glGetDoublev(GL_PROJECTION_MATRIX, gCamProjMatrix);
  gVPWidth = gCamViewPort[2], gVPHeight = gCamViewPort[3];
  gLightDBuffer = static_cast<float*>(shadow::AllocPixelBuffer(gVPWidth, gVPHeight, sizeof(float)));
}

void BM_SunGridOfTenByTen(benchmark::State& state) {
  if (!Ready(state)) return;
  Scene scene(12000, 0);
  DocState* ds = scene.doc.ds();
  ds->sunlightOn() = 1;
  ds->sunShadowQuality() = 6;
  ds->sunOverheadAngle() = 50;
  gRenderingShadowMap = 1;
  double ours = 0, depth = 0, depthRead = 0;
  std::vector<float> readBack(static_cast<size_t>(kWidth) * kHeight);
  for (auto _ : state) {
    PrepareCamera();
    glFinish();
    auto t0 = Clock::now();
    FillSunMapWithGrid();
    glFinish();
    auto t1 = Clock::now();
    if (gSunDBufferWidth != 10 * kWidth) state.SkipWithError("the sun grid is not 10 x 10");
    // The depth-only renders: the same scene drawn for depth from the same place.
    int16_t& mode = ds->renderMode();
    const int16_t saved = mode;
    mode = kRenderLightView;
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    for (int i = 0; i < 100; ++i) {
      glClear(GL_DEPTH_BUFFER_BIT);
      RenderGLPlaneObjects(gGLPlaneObjects);
    }
    glFinish();
    auto t2 = Clock::now();
    // The same renders, each read back as a tile is: the floor of a grid that reads every
    // tile's depth.
    for (int i = 0; i < 100; ++i) {
      glClear(GL_DEPTH_BUFFER_BIT);
      RenderGLPlaneObjects(gGLPlaneObjects);
      glReadPixels(0, 0, kWidth, kHeight, GL_DEPTH_COMPONENT, GL_FLOAT, readBack.data());
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    mode = saved;
    glFinish();
    auto t3 = Clock::now();
    ours += Seconds(t0, t1), depth += Seconds(t1, t2), depthRead += Seconds(t2, t3);
    state.SetIterationTime(Seconds(t0, t1));
    std::free(gSunDBuffer);
    gSunDBuffer = nullptr;
    FreeShadowBuffers();
    DeleteShadowCasterLists();
  }
  gRenderingShadowMap = 0;
  state.counters["ratio"] = depth > 0 ? ours / depth : 0;
  // The depth-only renders read back, over the depth-only renders; and ours over them.
  state.counters["readback_floor"] = depth > 0 ? depthRead / depth : 0;
  state.counters["ratio_over_floor"] = depthRead > 0 ? ours / depthRead : 0;
}
BENCHMARK(BM_SunGridOfTenByTen)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

CASA_PROGRAM_BENCHMARK_MAIN();
