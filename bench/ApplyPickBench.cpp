// Applying a texture in the 3D view over scenes of 10,000 and 50,000 plane objects (quads in
// front of the walk camera, two triangles each), on the X display (Xvfb), against raw GL
// drawing the same triangles in the same run:
//   "pick_ms"        ApplyTexture's selection pass, against the same triangles drawn once in
//                    GL_SELECT mode through the same narrowed projection, each object under a
//                    name of its own ("raw_select_ms", "pick_ratio");
//   "next_frame_ms"  the real-time frame that follows the pick (every camera move, cut-away drag
//                    or marker drag starts as a new interaction), against clearing and calling
//                    one display list of the raw triangles ("raw_frame_ms", "next_frame_ratio");
//                    "next_over_frame" is it over the same frame without a pick before it;
//   "ratio"          the pick and the next frame together over the two raw passes.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "model/DocState.h"
#include "model/Services.h"
#include "render3d/ApplyMaterials.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RendererUpkeep.h"
#include "render3d/SceneFrame.h"
#include "render3d/SurfacePick.h"

// Qt after the model: its `slots` keyword would clash with a record field.
#include "BenchGLContext.h"
#include "ProgramBench.h"
#include "SceneCamera.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int32_t kViewWidth = 800, kViewHeight = 600;

BenchGLContext& Context() {
  static BenchGLContext gl("bench_apply");
  return gl;
}

// Quads on a 100-wide grid (rows of 6 units), 300 to 500 units in front of the walk camera,
// drawn for the owner (a wall) but built from no plan object: the pick is what is measured,
// the apply writes nothing. The raw triangles (two per quad, as the scene sends them) go to
// `raw`.
void BuildScene(Objex* owner, int objects, std::vector<float>* raw) {
  for (int o = 0; o < objects; ++o) {
    PlaneObject* po = CreatePlaneObject();
    po->partType = kObjWallFace;
    po->renderKind = 6;
    po->actual3DObject = po->sourceObject = owner;
    po->actual3DType = owner->type;
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
    for (int i : {0, 1, 3, 1, 2, 3}) raw->insert(raw->end(), {v[i].x, -v[i].y, v[i].z});
  }
}

double Seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

void SendRawTriangles(const std::vector<float>& raw, bool named) {
  const size_t perObject = 6 * 3;
  for (size_t at = 0, o = 0; at < raw.size(); at += perObject, ++o) {
    if (named) glLoadName(static_cast<GLuint>(o + 2));
    glBegin(GL_TRIANGLES);
    glColor3ub(static_cast<GLubyte>(o), 120, 200);
    for (size_t v = 0; v < perObject; v += 3) glVertex3fv(&raw[at + v]);
    glEnd();
  }
}

void BM_ApplyTexturePick(benchmark::State& state) {
  if (!Context().ok) {
    state.SkipWithError("no display for an OpenGL context");
    return;
  }
  const int objects = static_cast<int>(state.range(0));
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
  Objex* owner = doc.addObject(kObjWall, false, {{0, 0}, {1, 0}}, doc.first);
  std::vector<float> raw;
  BuildScene(owner, objects, &raw);

  // One frame of a new interaction, whose camera the raw passes take over.
  bench::SceneCamera camera = bench::StartFrameTakingCamera(ds);
  RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
  RTFinalizeGLScene();
  const GLuint rawList = glGenLists(1);
  glNewList(rawList, GL_COMPILE);
  SendRawTriangles(raw, false);
  glEndList();
  std::vector<GLuint> rawBuffer(kPickBufferEntries);
  const POINT point{kViewWidth / 2, kViewHeight / 2};

  double frame = 0, pick = 0, next = 0, rawSelect = 0, rawFrame = 0;
  GLint rawHits = 0;
  auto newInteractionFrame = [ds] {
    RTInitializeGLScene();
    RTSetViewpoint(ds);
    RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
    RTFinalizeGLScene();
    glFinish();
  };
  for (auto _ : state) {
    glFinish();
    auto t0 = Clock::now();
    newInteractionFrame();
    frame += Seconds(t0);

    t0 = Clock::now();
    ApplyTexture(point, 2400);
    glFinish();
    const double onePick = Seconds(t0);
    t0 = Clock::now();
    newInteractionFrame();
    const double oneNext = Seconds(t0);
    pick += onePick, next += oneNext;
    state.SetIterationTime(onePick + oneNext);

    // The raw selection pass: the pick's narrowed projection, the camera, a name per object.
    t0 = Clock::now();
    rawHits = bench::RawSelectPass(camera, point, &rawBuffer, [&raw] { SendRawTriangles(raw, true); });
    rawSelect += Seconds(t0);

    // The raw frame: the same camera, cleared, the raw list called.
    t0 = Clock::now();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(camera.projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(camera.modelView);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glCallList(rawList);
    glFinish();
    rawFrame += Seconds(t0);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["objects"] = objects;
  state.counters["pick_ms"] = pick / n * 1e3;
  state.counters["next_frame_ms"] = next / n * 1e3;
  state.counters["raw_select_ms"] = rawSelect / n * 1e3;
  state.counters["raw_frame_ms"] = rawFrame / n * 1e3;
  state.counters["raw_hits"] = rawHits;
  state.counters["pick_ratio"] = rawSelect > 0 ? pick / rawSelect : 0;
  state.counters["next_frame_ratio"] = rawFrame > 0 ? next / rawFrame : 0;
  state.counters["ratio"] = rawSelect + rawFrame > 0 ? (pick + next) / (rawSelect + rawFrame) : 0;
  state.counters["next_over_frame"] = frame > 0 ? next / frame : 0;
  glDeleteLists(rawList, 1);
  ResetSceneDisplayList();
  DeleteAllRendererObjects();
  ReleaseRenderTarget();
  gLiveViewHost = savedHost;
}
BENCHMARK(BM_ApplyTexturePick)->Arg(10000)->Arg(50000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

CASA_PROGRAM_BENCHMARK_MAIN();
