// Framing view: FrameWindowsAndDoors over 100 wall segments carrying 50 windows, against
// appending the same member faces directly (the raw cost of the plane objects the framing
// makes: plane objects, planes, elevation and triangulation). The ratio is reported as a counter.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "TestDocument.h"
#include "building3d/Building3DServices.h"
#include "building3d/Framing3D.h"
#include "building3d/PlaneObjects.h"
#include "model/Attachments.h"
#include "model/WallFields.h"

namespace {

using Clock = std::chrono::steady_clock;

void FreeScene() {
  for (PlaneObject* po = gGLPlaneObjects; po;) {
    PlaneObject* next = po->next;
    DeletePlaneObject(po);
    po = next;
  }
  gGLPlaneObjects = gGLPlaneObjectsTail = nullptr;
}

// 100 two-point walls of 240 plan units (120 in), every other one with a window.
std::vector<Objex*> BuildWalls(TestDocument& doc) {
  std::vector<Objex*> walls;
  const RGBColor white{65535, 65535, 65535};
  for (int i = 0; i < 100; ++i) {
    const float z = static_cast<float>(i) * 50;
    Objex* wall = doc.addObject(kObjWall, false, {{0, z}, {240, z}}, doc.first);
    wall->width = 4;
    wall->subtype = kSubExteriorWall;
    wall->planMask = 3;
    FloorDepthOf(wall) = 0.5f;
    StudSpacingOf(wall) = 16;
    for (Poinz* p = wall->firstPoint; p; p = p->next) WallHeightOf(p) = 96;
    if (i % 2 == 0) {
      auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
      data->ownerType = kObjWindow;
      data->anchorStart = wall->firstPoint;
      data->anchorEnd = wall->firstPoint->next;
      data->startDistance = 120;
      data->width = 72;
      data->height = 112;
      data->elevation = 48;
      Objex* window = CreateObject(kObjWindow, 0, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, wall,
                                   wall->layer, data);
      AppendChildToObject(window, wall);
    }
    walls.push_back(wall);
  }
  return walls;
}

// One member face as the framing made it: its corners, normal and wall.
struct MadeFace {
  PlaneVertex v[4];
  float normal[3];
  int32_t texture;
  Objex* source;
};

std::vector<MadeFace> TakeFaces() {
  std::vector<MadeFace> faces;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    if (!po->planes || po->planes->vertexCount != 4) continue;
    MadeFace f{};
    for (int i = 0; i < 4; ++i) f.v[i] = po->planes->vertices[i];
    for (int k = 0; k < 3; ++k) f.normal[k] = po->planes->normal[k];
    f.texture = po->textureIdA;
    f.source = po->sourceObject;
    faces.push_back(f);
  }
  return faces;
}

// The same faces appended straight to the scene, with their texture and colours.
void AppendFacesDirectly(const std::vector<MadeFace>& faces) {
  const RGBColor white{65535, 65535, 65535};
  for (const MadeFace& f : faces) {
    auto* v = static_cast<PlaneVertex*>(malloc(4 * sizeof(PlaneVertex)));
    for (int i = 0; i < 4; ++i) v[i] = f.v[i];
    PlaneObject* po = CreatePlaneObject();
    po->renderKind = kRenderKindFraming;
    po->textureIdA = po->textureIdB = f.texture;
    po->colorA = po->colorB = white;
    AppendPlane(v, 4, f.normal[0], f.normal[1], f.normal[2], po);
    AppendPlaneObject(po, f.source);
  }
}

void BM_FrameWallsWithWindows(benchmark::State& state) {
  TestDocument doc;
  const std::vector<Objex*> walls = BuildWalls(doc);
  double framing = 0, raw = 0;
  int64_t faces = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    for (Objex* wall : walls) FrameWindowsAndDoors(wall);
    auto t1 = Clock::now();
    const std::vector<MadeFace> made = TakeFaces();
    faces = static_cast<int64_t>(made.size());
    FreeScene();
    auto t2 = Clock::now();
    AppendFacesDirectly(made);
    auto t3 = Clock::now();
    FreeScene();
    framing += std::chrono::duration<double>(t1 - t0).count();
    raw += std::chrono::duration<double>(t3 - t2).count();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  state.counters["faces"] = static_cast<double>(faces);
  state.counters["ratio"] = raw > 0 ? framing / raw : 0;
}
BENCHMARK(BM_FrameWallsWithWindows)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

const bool kServicesInstalled = [] {
  InstallBuilding3DServices();
  return true;
}();

BENCHMARK_MAIN();
