// Replaying the real-time scene list of a 100,000-triangle scene against glCallList of a raw
// display list of the same triangles (one colour per triangle), on the X display (Xvfb). The
// ratio of the frame times is reported as a counter ("ratio"); "walkerRatio" compares the scene
// list with a list of the per-object drawing alone (the walker's own share of the frame).
#include "building3d/Building3DServices.h"
#include "render3d/Render3DServices.h"
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "model/Services.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RendererUpkeep.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneFrame.h"

// Qt after the model: its `slots` keyword would clash with a record field.
#include "BenchGLContext.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kObjects = 1000, kTrianglesPerObject = 100;

BenchGLContext& Context() {
  static BenchGLContext gl("bench_scene");
  return gl;
}

// 1000 plane objects of 100 small triangles each, spread over the view.
void BuildScene(Objex* owner) {
  for (int o = 0; o < kObjects; ++o) {
    PlaneObject* po = CreatePlaneObject();
    po->partType = kObjWallFace;
    po->colorA = po->colorB = RGBColor{static_cast<uint16_t>(o * 60), 30000, 50000};
    po->base2DObject = po->actual3DObject = po->sourceObject = owner;
    for (int t = 0; t < kTrianglesPerObject; ++t) {
      const float x = static_cast<float>((o * kTrianglesPerObject + t) % 320) - 160;
      const float y = static_cast<float>((o * kTrianglesPerObject + t) / 320 % 320) - 160;
      auto* v = static_cast<PlaneVertex*>(malloc(3 * sizeof(PlaneVertex)));
      v[0] = {x, -y, 0, 0, 0, 0};
      v[1] = {x + 1, -y, 0, 0, 1, 0};
      v[2] = {x, -(y + 1), 0, 0, 0, 1};
      AppendPlane(v, 3, 0, 0, 0.99f, po);
    }
    if (!gGLPlaneObjects) gGLPlaneObjects = po;
    else gGLPlaneObjectsTail->next = po, po->prev = gGLPlaneObjectsTail;
    gGLPlaneObjectsTail = po;
  }
}

GLuint RawList() {
  GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glBegin(GL_TRIANGLES);
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    glColor4ub(static_cast<GLubyte>(po->colorA.red / 257), static_cast<GLubyte>(po->colorA.green / 257),
               static_cast<GLubyte>(po->colorA.blue / 257), 255);
    for (Plane* p = po->planes; p; p = p->next) {
      glNormal3f(p->normal[0], p->normal[1], p->normal[2]);
      for (int i = 0; i < p->vertexCount; ++i) glVertex3f(p->vertices[i].x, -p->vertices[i].y, p->vertices[i].z);
    }
  }
  glEnd();
  glEndList();
  return list;
}

// The same plane objects drawn one by one by the per-object routine, without the walker.
GLuint PerObjectList() {
  GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) RTRenderGLPlaneObject(po, 0);
  glEndList();
  return list;
}

double TimeList(GLuint list) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glFinish();
  auto t0 = Clock::now();
  glCallList(list);
  glFinish();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

void SetUpView() {
  BindRenderTarget(800, 600);
  glViewport(0, 0, 800, 600);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-200, 200, -150, 150, -100, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
}

void BM_SceneListReplay(benchmark::State& state) {
  if (!Context().ok) {
    state.SkipWithError("no display for an OpenGL context");
    return;
  }
  TestDocument doc;
  Objex* owner = doc.addObject(kObjWall, false, {{0, 0}, {1, 0}}, doc.first);
  BuildScene(owner);
  SetUpView();
  ResetSceneDisplayList();
  RealTimeRenderGLPlaneObjects(gGLPlaneObjects);  // compiles the scene list
  glFinish();
  const GLuint raw = RawList();
  const GLuint perObject = PerObjectList();
  double scene = 0, rawTime = 0, perObjectTime = 0;
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
    auto t0 = Clock::now();
    RealTimeRenderGLPlaneObjects(gGLPlaneObjects);
    glFinish();
    auto t1 = Clock::now();
    rawTime += TimeList(raw);
    perObjectTime += TimeList(perObject);
    scene += std::chrono::duration<double>(t1 - t0).count();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  state.counters["triangles"] = kObjects * kTrianglesPerObject;
  state.counters["ratio"] = rawTime > 0 ? scene / rawTime : 0;
  state.counters["walkerRatio"] = perObjectTime > 0 ? scene / perObjectTime : 0;
  glDeleteLists(raw, 1);
  glDeleteLists(perObject, 1);
  ResetSceneDisplayList();
  DeleteAllRendererObjects();
  ReleaseRenderTarget();
}
BENCHMARK(BM_SceneListReplay)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

// The libraries linked here serve the model's calls, as in the program.
const bool kServicesInstalled = [] {
  InstallBuilding3DServices();
  InstallRender3DServices();
  return true;
}();

BENCHMARK_MAIN();
