// The final and real-time frames at 800 x 600 on the X display (Xvfb), scenes of 12k and 120k
// triangles, each against its raw baseline measured in the same run (ratios as counters):
// an 8-pass anti-aliased render against 8 plain passes; a real-time frame through the scene
// list against one raw glCallList; a plain final pass against raw immediate mode with a colour
// per vertex; and ReRenderObject of one wall against RenderAllLayers of 10k walls.
#include "building3d/Building3DServices.h"
#include "render3d/Render3DServices.h"
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "building3d/Walls3D.h"
#include "model/Services.h"
#include "model/WallFields.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RendererUpkeep.h"
#include "render3d/SceneFrame.h"
#include "TriangleField.h"

// Qt after the model: its `slots` keyword would clash with a record field.
#include "BenchGLContext.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;

double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

BenchGLContext& Context() {
  static BenchGLContext gl("bench_render");
  return gl;
}

// A document, a visible stand-in 3D window of 800 x 600 and a generated scene seen from an
// orthographic elevation.
struct Scene {
  TestDocument doc;
  LiveViewHost saved = gLiveViewHost;
  Layer* parts = CreateLayer("Parts", 0, 0, nullptr);
  explicit Scene(int triangles) {
    AppendLayerToDocument(parts);
    gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = kWidth, *h = kHeight; };
    gLiveViewHost.isVisible = [] { return true; };
    DocState* ds = doc.ds();
    ds->orthoView() = 1;
    ds->planBounds = {-300, -400, 300, 400};
    Objex* owner = doc.addObject(kObjWall, false, {{0, 0}, {1, 0}}, parts);
    bench::AppendTriangleField(owner, triangles);
  }
  ~Scene() {
    ResetSceneDisplayList();
    ResetViewpointDisplayList();
    DeleteAllRendererObjects();
    gLiveViewHost = saved;
  }
};

// The same triangles in immediate mode, a colour per vertex.
void RawImmediate() {
  glBegin(GL_TRIANGLES);
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next)
    for (Plane* p = po->planes; p; p = p->next)
      for (int i = 0; i < p->vertexCount; ++i) {
        glColor4ub(static_cast<GLubyte>(po->colorA.red / 257),
                   static_cast<GLubyte>(po->colorA.green / 257),
                   static_cast<GLubyte>(po->colorA.blue / 257), 235);
        glVertex3f(p->vertices[i].x, -p->vertices[i].y, p->vertices[i].z);
      }
  glEnd();
}

void ClearAndFinish() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glFinish();
}

bool Ready(benchmark::State& state) {
  if (Context().ok) return true;
  state.SkipWithError("no display for an OpenGL context");
  return false;
}

void BM_AntiAliasedRender(benchmark::State& state) {
  if (!Ready(state)) return;
  Scene scene(static_cast<int>(state.range(0)));
  scene.doc.ds()->antiAliasPasses() = 8;
  double ours = 0, plain = 0;
  for (auto _ : state) {
    glFinish();
    auto t0 = Clock::now();
    gRenderOpenGLAntiAlias = 1;
    RenderGLScene();
    gRenderOpenGLAntiAlias = 0;
    glFinish();
    auto t1 = Clock::now();
    for (int i = 0; i < 8; ++i) RenderGLScene();
    glFinish();
    auto t2 = Clock::now();
    ours += Seconds(t0, t1), plain += Seconds(t1, t2);
    state.SetIterationTime(Seconds(t0, t1));
  }
  state.counters["ratio"] = plain > 0 ? ours / plain : 0;
}
BENCHMARK(BM_AntiAliasedRender)->Arg(12000)->Arg(120000)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RealTimeFrame(benchmark::State& state) {
  if (!Ready(state)) return;
  Scene scene(static_cast<int>(state.range(0)));
  DocState* ds = scene.doc.ds();
  RTInitializeGLScene();
  RTSetViewpoint(ds);
  RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);  // compiles the scene list
  RTFinalizeGLScene();
  const GLuint raw = glGenLists(1);
  glNewList(raw, GL_COMPILE);
  RawImmediate();
  glEndList();
  double ours = 0, rawTime = 0, viewpoint = 0, objects = 0;
  for (auto _ : state) {
    glFinish();
    auto t0 = Clock::now();
    RTSetViewpoint(ds);
    glFinish();
    auto ta = Clock::now();
    RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
    glFinish();
    auto tb = Clock::now();
    RTFinalizeGLScene();
    glFinish();
    auto t1 = Clock::now();
    viewpoint += Seconds(t0, ta), objects += Seconds(ta, tb);
    ClearAndFinish();
    auto t2 = Clock::now();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glCallList(raw);
    glFinish();
    auto t3 = Clock::now();
    ours += Seconds(t0, t1), rawTime += Seconds(t2, t3);
    state.SetIterationTime(Seconds(t0, t1));
  }
  // Frames per second of ours over the raw list's.
  state.counters["fps_ratio"] = ours > 0 ? rawTime / ours : 0;
  // Where a frame's time goes: the viewpoint set-up and the scene walker, as fractions.
  state.counters["viewpoint"] = ours > 0 ? viewpoint / ours : 0;
  state.counters["scene_walker"] = ours > 0 ? objects / ours : 0;
  glDeleteLists(raw, 1);
}
BENCHMARK(BM_RealTimeFrame)->Arg(12000)->Arg(120000)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PlainFinalPass(benchmark::State& state) {
  if (!Ready(state)) return;
  Scene scene(static_cast<int>(state.range(0)));
  double ours = 0, rawTime = 0;
  for (auto _ : state) {
    glFinish();
    auto t0 = Clock::now();
    RenderGLScene();
    glFinish();
    auto t1 = Clock::now();
    ClearAndFinish();
    auto t2 = Clock::now();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    RawImmediate();
    glFinish();
    auto t3 = Clock::now();
    ours += Seconds(t0, t1), rawTime += Seconds(t2, t3);
    state.SetIterationTime(Seconds(t0, t1));
  }
  state.counters["ratio"] = rawTime > 0 ? ours / rawTime : 0;
}
BENCHMARK(BM_PlainFinalPass)->Arg(12000)->Arg(120000)->UseManualTime()->Unit(benchmark::kMillisecond);

// 10,000 two-point walls on the first floor: rebuilding one edited wall (ten different walls
// edited one after another, each timed) against rebuilding all of them.
void BM_ReRenderOneWall(benchmark::State& state) {
  TestDocument doc;
  LiveViewHost saved = gLiveViewHost;
  gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = kWidth, *h = kHeight; };
  gLiveViewHost.isVisible = [] { return true; };
  std::vector<Objex*> edited;
  for (int i = 0; i < 10000; ++i) {
    const float x = static_cast<float>(i % 100) * 300, z = static_cast<float>(i / 100) * 300;
    Objex* wall = doc.addObject(kObjWall, false, {{x, z}, {x + 200, z}}, doc.first);
    wall->width = 4;
    for (Poinz* p = wall->firstPoint; p; p = p->next) WallHeightOf(p) = 96;
    Update3DWall(wall);
    if (i % 1000 == 500) edited.push_back(wall);
  }
  double one = 0, all = 0, drop = 0;
  int edits = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    RenderAllLayers();
    auto t1 = Clock::now();
    all += Seconds(t0, t1);
    double these = 0;
    for (Objex* wall : edited) {
      auto e0 = Clock::now();
      ReRenderObject(wall);
      auto e1 = Clock::now();
      these += Seconds(e0, e1);
      ++edits;
    }
    one += these;
    auto d0 = Clock::now();
    DeleteRendererObject(edited.front());
    drop += Seconds(d0, Clock::now());
    state.SetIterationTime(these / static_cast<double>(edited.size()));
  }
  int planeObjects = 0;
  for (PlaneObject* p = gGLPlaneObjects; p; p = p->next) ++planeObjects;
  const double perEdit = edits > 0 ? one / edits : 0;
  const double perRebuild = all / static_cast<double>(state.iterations());
  state.counters["plane_objects"] = planeObjects;
  state.counters["ratio"] = perRebuild > 0 ? perEdit / perRebuild : 0;
  // The share of an edit spent finding and dropping the wall's old plane objects.
  state.counters["drop_share"] =
      perEdit > 0 ? drop / static_cast<double>(state.iterations()) / perEdit : 0;
  DeleteAllRendererObjects();
  gLiveViewHost = saved;
}
BENCHMARK(BM_ReRenderOneWall)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

// The libraries linked here serve the model's calls, as in the program.
const bool kServicesInstalled = [] {
  InstallBuilding3DServices();
  InstallRender3DServices();
  return true;
}();

BENCHMARK_MAIN();
