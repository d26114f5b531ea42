// A warm final-quality frame (the plane-object walker) of 1,000 textured faces in 20 textures,
// each face binding its texture by the binding rule, against the same faces drawn raw under one
// texture bound once, at 800 x 600 on the X display (Xvfb); the ratio is a counter. Argument 1:
// the faces of each texture follow each other (as a surface's faces do); 0: every face binds
// another texture than the one before. A second counter compares the walk with the same walk
// of every face under one texture.
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
#include "render3d/PlaneObjectLists.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/RendererUpkeep.h"
#include "render3d/SceneFrame.h"
#include "render3d/TextureLoading.h"

// Qt after the model: its `slots` keyword would clash with a record field.
#include "BenchGLContext.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;
constexpr int kFaces = 1000, kTextures = 20, kColumns = 40;
constexpr int32_t kFirstID = 1500;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

BenchGLContext& Context() {
  static BenchGLContext gl("bench_textures");
  return gl;
}

// 1,000 quads of 20 x 24 pixels over the view, face i textured with id 1500 + i mod 20; the
// 20 textures are resident (64 x 64 each).
struct Scene {
  TestDocument doc;
  LiveViewHost saved = gLiveViewHost;
  Layer* parts = CreateLayer("Parts", 0, 0, nullptr);
  std::vector<PlaneObject*> faces;
  GLuint names[kTextures] = {};
  GLuint framebuffer = 0, colour = 0;
  explicit Scene(bool runs) {
    AppendLayerToDocument(parts);
    gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = kWidth, *h = kHeight; };
    gLiveViewHost.isVisible = [] { return true; };
    BindRenderTarget(kWidth, kHeight);
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kWidth, 0, kHeight, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    doc.ds()->renderMode() = kRenderSolid;
    glGenTextures(kTextures, names);
    std::vector<uint8_t> pixels(64 * 64 * 3);
    for (int t = 0; t < kTextures; ++t) {
      for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * (t + 3));
      glBindTexture(GL_TEXTURE_2D, names[t]);
      UploadTextureImage(3, 64, 64, GL_RGB, pixels.data());
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
      SetGLTextureNameForID(kFirstID + t, names[t]);
    }
    Objex* owner = doc.addObject(kObjWall, false, {{0, 0}, {1, 0}}, parts);
    for (int i = 0; i < kFaces; ++i) {
      PlaneObject* po = CreatePlaneObject();
      po->partType = kObjWallFace;
      po->colorA = po->colorB = RGBColor{50000, 40000, 30000};
      po->base2DObject = po->actual3DObject = po->sourceObject = owner;
      po->actual3DType = kObjWall;
      po->textureIdB = kFirstID + (runs ? i / (kFaces / kTextures) : i % kTextures);
      const float x = static_cast<float>(i % kColumns) * 20, y = static_cast<float>(i / kColumns) * 24;
      auto* v = static_cast<PlaneVertex*>(malloc(4 * sizeof(PlaneVertex)));
      v[0] = {x, -y, 0, 0, 0, 0};
      v[1] = {x + 20, -y, 0, 0, 1, 0};
      v[2] = {x + 20, -(y + 24), 0, 0, 1, 1};
      v[3] = {x, -(y + 24), 0, 0, 0, 1};
      AppendPlane(v, 4, 0, 0, 0.99f, po);
      faces.push_back(po);
      if (!gGLPlaneObjects) gGLPlaneObjects = po;
      else gGLPlaneObjectsTail->next = po, po->prev = gGLPlaneObjectsTail;
      gGLPlaneObjectsTail = po;
    }
  }
  ~Scene() {
    DeleteAllRendererObjects();
    for (int t = 0; t < kTextures; ++t) SetGLTextureNameForID(kFirstID + t, 0);
    glDeleteTextures(kTextures, names);
    gLiveViewHost = saved;
  }
};

// The same quads under one texture bound once, a colour and texture coordinates per vertex.
void RawOneTexture(const Scene& scene) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, scene.names[0]);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  for (const PlaneObject* po : scene.faces) {
    const Plane* p = po->planes;
    glBegin(GL_POLYGON);
    glNormal3f(p->normal[0], p->normal[1], p->normal[2]);
    for (int i = 0; i < p->vertexCount; ++i) {
      const PlaneVertex& v = p->vertices[i];
      glColor4ub(195, 155, 116, 235);
      glTexCoord2f(v.u, v.v);
      glVertex3f(v.x, -v.y, v.z);
    }
    glEnd();
  }
  glDisable(GL_TEXTURE_2D);
}

void BM_WarmTexturedFrame(benchmark::State& state) {
  if (!Context().ok) {
    state.SkipWithError("no display for an OpenGL context");
    return;
  }
  Scene scene(state.range(0) != 0);
  RenderGLPlaneObjects(gGLPlaneObjects);  // warm
  glFinish();
  std::vector<int32_t> ids;
  for (const PlaneObject* po : scene.faces) ids.push_back(po->textureIdB);
  double ours = 0, raw = 0, oneTexture = 0;
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    const auto t0 = Clock::now();
    RenderGLPlaneObjects(gGLPlaneObjects);
    glFinish();
    const auto t1 = Clock::now();
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    const auto t2 = Clock::now();
    RawOneTexture(scene);
    glFinish();
    const auto t3 = Clock::now();
    // The same walk with every face in the first texture.
    for (PlaneObject* po : scene.faces) po->textureIdB = kFirstID;
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    const auto t4 = Clock::now();
    RenderGLPlaneObjects(gGLPlaneObjects);
    glFinish();
    const auto t5 = Clock::now();
    for (size_t i = 0; i < ids.size(); ++i) scene.faces[i]->textureIdB = ids[i];
    ours += Seconds(t0, t1), raw += Seconds(t2, t3), oneTexture += Seconds(t4, t5);
    state.SetIterationTime(Seconds(t0, t1));
  }
  state.counters["ratio"] = raw > 0 ? ours / raw : 0;
  // The cost of the 20 textures alone: the walk against the same walk under one texture.
  state.counters["vs_one_texture"] = oneTexture > 0 ? ours / oneTexture : 0;
}
BENCHMARK(BM_WarmTexturedFrame)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

// The libraries linked here serve the model's calls, as in the program.
const bool kServicesInstalled = [] {
  InstallBuilding3DServices();
  InstallRender3DServices();
  return true;
}();

BENCHMARK_MAIN();
