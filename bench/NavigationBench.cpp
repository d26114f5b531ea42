// A walk through a large design at 800 x 600 on the X display (Xvfb): the frames of the
// navigation loop (a design of 10,000 plan objects whose 10,000 plane objects, 500 plants and
// 100 x 100 terrain grid the loop draws, turning at every periodic event) against the same
// triangles replayed from one raw display list plus 500 raw textured quads, measured in the
// same run. "ratio" is navigation frames per second over raw frames per second (higher is
// better). The plants and the terrain are drawn by whatever plant and lot renderers the
// program has.
#include "building3d/Building3DServices.h"
#include "render3d/Render3DServices.h"
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "model/Services.h"
#include "model/TopoGrid.h"
#include "render3d/Navigation.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RendererUpkeep.h"
#include "render3d/SceneFrame.h"
#include "tools/ScriptedModalEvents.h"

// Qt after the model: its `slots` keyword would clash with a record field.
#include "BenchGLContext.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;
constexpr int kObjects = 10000, kPlants = 500, kGrid = 100, kFrames = 40;
constexpr int16_t kPlantKind = 8;

BenchGLContext& Context() {
  static BenchGLContext gl("bench_navigation");
  return gl;
}

std::vector<Clock::time_point> sFrameTimes;

PlaneObject* AddQuad(Objex* owner, float x, float y, float z, float size, int16_t kind) {
  PlaneObject* po = CreatePlaneObject();
  po->partType = kObjWallFace;
  po->renderKind = kind;
  po->colorA = po->colorB = RGBColor{static_cast<uint16_t>(x * 60), 30000, 50000};
  po->base2DObject = po->actual3DObject = po->sourceObject = owner;
  po->actual3DType = owner->type;
  auto* v = static_cast<PlaneVertex*>(malloc(4 * sizeof(PlaneVertex)));
  v[0] = {x, -y, z, 0, 0, 0};
  v[1] = {x + size, -y, z, 0, 1, 0};
  v[2] = {x + size, -(y + size), z, 0, 1, 1};
  v[3] = {x, -(y + size), z, 0, 0, 1};
  AppendPlane(v, 4, 0, 0, 0.99f, po);
  if (!gGLPlaneObjects) gGLPlaneObjects = po;
  else gGLPlaneObjectsTail->next = po, po->prev = gGLPlaneObjectsTail;
  gGLPlaneObjectsTail = po;
  return po;
}

// The raw baseline: the plane objects' quads in one list, then 500 textured quads drawn
// directly.
double RawFrame(GLuint list, GLuint texture, const std::vector<PlaneObject*>& plants) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  const auto t0 = Clock::now();
  glCallList(list);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  glBegin(GL_QUADS);
  for (PlaneObject* po : plants) {
    const PlaneVertex* v = po->planes->vertices;
    for (int i = 0; i < 4; ++i) {
      glTexCoord2f(v[i].u, v[i].v);
      glVertex3f(v[i].x, -v[i].y, v[i].z);
    }
  }
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glFinish();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

void BM_NavigationFrame(benchmark::State& state) {
  if (!Context().ok) {
    state.SkipWithError("no display for an OpenGL context");
    return;
  }
  TestDocument doc;
  const LiveViewHost savedHost = gLiveViewHost;
  gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = kWidth, *h = kHeight; };
  gLiveViewHost.isVisible = [] { return true; };
  // Each frame finished on the GPU before the next.
  gLiveViewHost.frameFinished = [] {
    glFinish();
    sFrameTimes.push_back(Clock::now());
  };
  const NavigationHost savedNavigation = gNavigationHost;
  gNavigationHost = NavigationHost{};
  gNavigationHost.startEvent = [](bool* left, uint32_t* flags, POINT* where) {
    *left = true, *flags = 0, *where = POINT{400, 300};
    return true;
  };
  DocState* ds = doc.ds();
  ds->orthoView() = 0;
  ds->renderMode() = kRenderSolid;
  ds->navigationMode = kNavWalkThrough;
  ds->controlledNavigation() = 0;
  ds->navigationStep = 8;
  ds->planBounds = {-500, -500, 500, 500};
  ds->walkEyePoint() = {0, 1500};
  ds->walkEyeHeight() = 48;
  ds->walkViewAngle() = 0;
  float* grid = static_cast<float*>(calloc((kGrid + 1) * (kGrid + 1), sizeof(float)));
  AdoptTopoGrid(grid, kGrid, kGrid);

  std::vector<PlaneObject*> plants;
  for (int i = 0; i < kObjects; ++i) {
    const float x = static_cast<float>(i % 100) * 8 - 400, z = static_cast<float>(i / 100) * 8 - 400;
    Objex* o = doc.addObject(kObjClosedPoly, true, {{x, z}, {x + 6, z}, {x + 6, z + 6}}, doc.first);
    AddQuad(o, x, static_cast<float>(i % 37) * 4, z, 6, 0);
  }
  Objex* plantOwner = doc.addObject(kObjPlant, false, {{0, 0}}, doc.first);
  for (int i = 0; i < kPlants; ++i)
    plants.push_back(AddQuad(plantOwner, static_cast<float>(i % 25) * 30 - 375, 0,
                             static_cast<float>(i / 25) * 30 - 300, 20, kPlantKind));

  // The baseline's list and texture.
  BindRenderTarget(kWidth, kHeight);
  glViewport(0, 0, kWidth, kHeight);
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glBegin(GL_QUADS);
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    if (po->renderKind == kPlantKind) continue;
    glColor4ub(static_cast<GLubyte>(po->colorA.red / 257), 100, 200, 255);
    const Plane* p = po->planes;
    glNormal3f(p->normal[0], p->normal[1], p->normal[2]);
    for (int i = 0; i < 4; ++i) glVertex3f(p->vertices[i].x, -p->vertices[i].y, p->vertices[i].z);
  }
  glEnd();
  glEndList();
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  std::vector<uint32_t> pixels(256 * 256, 0xFF20A040u);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

  double navigation = 0, raw = 0;
  int navigationFrames = 0, rawFrames = 0;
  for (auto _ : state) {
    // One loop of kFrames periodic events with the pointer held 30 px right of the press.
    sFrameTimes.clear();
    {
      ScriptedModalEvents events;
      events.setMouseLocation({430, 300});
      events.periodic(kFrames).up(430, 300);
      RealTimeRotateAnimOpenGL();
    }
    // The first frame compiles the scene list: the loop's steady frames are the ones after it.
    if (sFrameTimes.size() >= 2) {
      const double span = std::chrono::duration<double>(sFrameTimes.back() - sFrameTimes.front()).count();
      navigation += span;
      navigationFrames += static_cast<int>(sFrameTimes.size()) - 1;
      state.SetIterationTime(span / static_cast<double>(sFrameTimes.size() - 1));
    }
    // The raw frames under the loop's last camera.
    RTSetViewpoint(ds);
    for (int i = 0; i < kFrames - 1; ++i, ++rawFrames) raw += RawFrame(list, texture, plants);
  }
  if (navigationFrames > 0 && rawFrames > 0 && navigation > 0) {
    const double navigationFps = navigationFrames / navigation, rawFps = rawFrames / raw;
    state.counters["navigationFps"] = navigationFps;
    state.counters["rawFps"] = rawFps;
    state.counters["ratio"] = navigationFps / rawFps;
  }
  state.counters["planeObjects"] = kObjects + kPlants;
  glDeleteLists(list, 1);
  glDeleteTextures(1, &texture);
  ResetSceneDisplayList();
  DeleteAllRendererObjects();
  FreeTopoGrid();
  ReleaseRenderTarget();
  gLiveViewHost = savedHost;
  gNavigationHost = savedNavigation;
}
BENCHMARK(BM_NavigationFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

// The libraries linked here serve the model's calls, as in the program.
const bool kServicesInstalled = [] {
  InstallBuilding3DServices();
  InstallRender3DServices();
  return true;
}();

BENCHMARK_MAIN();
