// Applying a texture in the 3D view over a scene of 10,000 plane objects: the selection pass
// of ApplyTexture against one real-time frame of the same scene (a new interaction, which
// compiles its lists), on the X display (Xvfb). The ratio of the two is reported ("ratio").
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <chrono>
#include <cstdlib>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "model/DocState.h"
#include "model/Services.h"
#include "render3d/ApplyMaterials.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RendererUpkeep.h"
#include "render3d/SceneFrame.h"

// Qt after the model: its `slots` keyword would clash with a record field.
#include "BenchGLContext.h"
#include "ProgramBench.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kObjects = 10000;
constexpr int32_t kViewWidth = 800, kViewHeight = 600;

BenchGLContext& Context() {
  static BenchGLContext gl("bench_apply");
  return gl;
}

// 10,000 quads on a 100 x 100 grid, 300 to 500 units in front of the walk camera. The
// plane objects name no plan object: the pick is what is measured.
void BuildScene() {
  for (int o = 0; o < kObjects; ++o) {
    PlaneObject* po = CreatePlaneObject();
    po->partType = kObjWallFace;
    po->renderKind = 6;
    po->colorA = po->colorB = RGBColor{static_cast<uint16_t>(o * 6), 30000, 50000};
    const float x = static_cast<float>(o % 100) * 8 - 400, y = static_cast<float>(o / 100) * 6 - 300;
    const float z = -300.0f - static_cast<float>(o % 7) * 30;
    auto* v = static_cast<PlaneVertex*>(malloc(4 * sizeof(PlaneVertex)));
    v[0] = {x, -y, z, 0, 0, 0};
    v[1] = {x + 7, -y, z, 0, 1, 0};
    v[2] = {x + 7, -(y + 5), z, 0, 1, 1};
    v[3] = {x, -(y + 5), z, 0, 0, 1};
    AppendPlane(v, 4, 0, 0, 0.99f, po);
    if (!gGLPlaneObjects) gGLPlaneObjects = po;
    else gGLPlaneObjectsTail->next = po, po->prev = gGLPlaneObjectsTail;
    gGLPlaneObjectsTail = po;
  }
}

double Seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

void BM_ApplyTexturePick(benchmark::State& state) {
  if (!Context().ok) {
    state.SkipWithError("no display for an OpenGL context");
    return;
  }
  TestDocument doc;
  const LiveViewHost savedHost = gLiveViewHost;
  gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = kViewWidth, *h = kViewHeight; };
  gLiveViewHost.isVisible = [] { return true; };
  DocState* ds = doc.ds();
  ds->orthoView() = 0;
  ds->navigationMode = kNavWalkThrough;
  ds->walkEyeHeight() = 0;
  ds->renderMode() = kRenderSolid;
  ds->backgroundTextureID = 0;
  BuildScene();
  double pick = 0, frame = 0;
  for (auto _ : state) {
    glFinish();
    auto t0 = Clock::now();
    RTInitializeGLScene();
    RTSetViewpoint(ds);
    RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
    RTFinalizeGLScene();
    glFinish();
    frame += Seconds(t0);

    t0 = Clock::now();
    ApplyTexture(POINT{kViewWidth / 2, kViewHeight / 2}, 2400);
    glFinish();
    const double one = Seconds(t0);
    pick += one;
    state.SetIterationTime(one);
  }
  state.counters["objects"] = kObjects;
  state.counters["ratio"] = frame > 0 ? pick / frame : 0;
  ResetSceneDisplayList();
  DeleteAllRendererObjects();
  ReleaseRenderTarget();
  gLiveViewHost = savedHost;
}
BENCHMARK(BM_ApplyTexturePick)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

CASA_PROGRAM_BENCHMARK_MAIN();
