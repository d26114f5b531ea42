// The road from the plan to the 3D scene: RenderAllLayers of 100 four-wall rooms against
// appending the same surfaces' plane objects directly (the raw cost of the scene they make:
// plane objects, planes, elevation and triangulation). The ratio is reported as a counter.
#include "building3d/Building3DServices.h"
#include "render3d/Render3DServices.h"
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "building3d/Walls3D.h"
#include "model/Services.h"
#include "model/WallFields.h"
#include "render3d/RendererUpkeep.h"

namespace {

using Clock = std::chrono::steady_clock;

void ViewBounds(int32_t* w, int32_t* h) { *w = *h = 64; }
bool Visible() { return true; }

void FreeScene() {
  for (PlaneObject* po = gGLPlaneObjects; po;) {
    PlaneObject* next = po->next;
    DeletePlaneObject(po);
    po = next;
  }
  gGLPlaneObjects = gGLPlaneObjectsTail = nullptr;
}

// 100 rooms of four two-point walls, 10 x 10 rooms of 200 x 200 plan units.
void BuildRooms(TestDocument& doc) {
  for (int room = 0; room < 100; ++room) {
    const float x = static_cast<float>(room % 10) * 300, z = static_cast<float>(room / 10) * 300;
    const std::pair<float, float> corners[4] = {{x, z}, {x + 200, z}, {x + 200, z + 200}, {x, z + 200}};
    for (int side = 0; side < 4; ++side) {
      auto [x0, z0] = corners[side];
      auto [x1, z1] = corners[(side + 1) % 4];
      Objex* wall = doc.addObject(kObjWall, false, {{x0, z0}, {x1, z1}}, doc.first);
      wall->width = 4;
      for (Poinz* p = wall->firstPoint; p; p = p->next) WallHeightOf(p) = 96;
      Update3DWall(wall);
    }
  }
}

// The surfaces a wall body makes (a quad per side patch, a cap per end ring), appended
// straight to the scene.
void AppendBodiesDirectly(Layer* layer) {
  for (Objex* wall = layer->firstObject; wall; wall = wall->next) {
    Objex* body = static_cast<Objex*>(wall->typeData);
    if (!body || body->levels != 2) continue;
    const int32_t n = body->pointCount / 2;
    std::vector<Poinz*> pts;
    for (Poinz* p = body->firstPoint; p; p = p->next) pts.push_back(p);
    if (static_cast<int32_t>(pts.size()) < 2 * n) continue;
    gBase2DObject = gActual3DObject = wall;
    auto vertex = [](PlaneVertex* v, const Poinz* p) { *v = {p->position[0], p->position[1], p->position[2], 0, 0, 0}; };
    for (int32_t i = 0; i < n; ++i) {
      const int32_t j = (i + 1) % n;
      if (j == 0 && !body->closed) break;
      auto* v = static_cast<PlaneVertex*>(malloc(4 * sizeof(PlaneVertex)));
      vertex(&v[0], pts[i]);
      vertex(&v[1], pts[n + i]);
      vertex(&v[2], pts[n + j]);
      vertex(&v[3], pts[j]);
      PlaneObject* po = CreatePlaneObject();
      AppendPlane(v, 4, 0, 0, 0.99f, po);
      AppendPlaneObject(po, wall);
    }
    for (int ring = 0; ring < 2; ++ring) {
      auto* v = static_cast<PlaneVertex*>(malloc(static_cast<size_t>(n) * sizeof(PlaneVertex)));
      for (int32_t i = 0; i < n; ++i) vertex(&v[i], pts[ring * n + i]);
      PlaneObject* po = CreatePlaneObject();
      AppendPlane(v, n, 0, 0.99f, 0, po);
      AppendPlaneObject(po, wall);
    }
  }
  gBase2DObject = gActual3DObject = nullptr;
}

void BM_RenderAllLayersOfRooms(benchmark::State& state) {
  TestDocument doc;
  BuildRooms(doc);
  LiveViewHost saved = gLiveViewHost;
  gLiveViewHost.viewBounds = ViewBounds;
  gLiveViewHost.isVisible = Visible;
  double road = 0, raw = 0;
  int64_t planeObjects = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    RenderAllLayers();
    auto t1 = Clock::now();
    planeObjects = 0;
    for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) ++planeObjects;
    FreeScene();
    auto t2 = Clock::now();
    AppendBodiesDirectly(doc.first);
    auto t3 = Clock::now();
    FreeScene();
    road += std::chrono::duration<double>(t1 - t0).count();
    raw += std::chrono::duration<double>(t3 - t2).count();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  state.counters["planeObjects"] = static_cast<double>(planeObjects);
  state.counters["ratio"] = raw > 0 ? road / raw : 0;
  gLiveViewHost = saved;
}
BENCHMARK(BM_RenderAllLayersOfRooms)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

// The libraries linked here serve the model's calls, as in the program.
const bool kServicesInstalled = [] {
  InstallBuilding3DServices();
  InstallRender3DServices();
  return true;
}();

BENCHMARK_MAIN();
