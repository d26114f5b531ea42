// Openings in walls: rebuilding a wall that holds 10 doors and windows with casings on both
// sides against the same wall without them, and moving one door along that wall (its frame and
// the wall rebuilt) against a whole RenderAllLayers of a 10k-record design; side trims:
// rebuilding a 40-segment wall with paneling and crown mouldings on both sides against the
// same wall bare. Each pair is measured in the same run (ratios as counters).
#include "building3d/Building3DServices.h"
#include "openings/OpeningsServices.h"
#include "render3d/Render3DServices.h"
#include <benchmark/benchmark.h>

#include <ctime>
#include <cstdlib>
#include <vector>

#include "DesignGenerator.h"
#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "building3d/Walls3D.h"
#include "model/Attachments.h"
#include "model/Services.h"
#include "model/WallFields.h"
#include "render3d/RendererUpkeep.h"

namespace {

// Times are this thread's processor time: the ratios stay meaningful on a loaded machine.
struct Clock {
  static double now() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  }
};

double Seconds(double a, double b) { return b - a; }

struct VisibleWindow {
  LiveViewHost saved = gLiveViewHost;
  VisibleWindow() {
    gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = 800, *h = 600; };
    gLiveViewHost.isVisible = [] { return true; };
  }
  ~VisibleWindow() {
    DeleteAllRendererObjects();
    gLiveViewHost = saved;
  }
};

// A straight wall 1200 long, 96 high, on the first floor.
Objex* LongWall(TestDocument& doc, float z) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, z}, {1200, z}}, doc.first);
  wall->width = 6;
  for (Poinz* p = wall->firstPoint; p; p = p->next) WallHeightOf(p) = 96;
  Update3DWall(wall);
  return wall;
}

// Five doors and five windows along the wall, every 110 units, with standard casings; with
// `framed` each also gets its two plan points across the opening, so that its frame and leaves
// are built as the placing tools build them.
std::vector<Objex*> AddOpenings(Objex* wall, bool framed = false) {
  std::vector<Objex*> openings;
  const RGBColor white{65535, 65535, 65535};
  for (int i = 0; i < 10; ++i) {
    auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    const bool door = i % 2 == 0;
    data->ownerType = door ? kObjDoor : kObjWindow;
    data->subtype = door ? kDoorHinged : kWindowRectangular;
    data->anchorStart = wall->firstPoint;
    data->anchorEnd = wall->firstPoint->next;
    data->startDistance = 100 + 110.0f * i;
    data->remainingLength = 1200 - data->startDistance;
    data->width = 36;
    data->height = door ? 80 : 40;
    data->elevation = door ? 0 : 36;
    data->trimWidth() = 4;
    data->trimSlotA = TrimSlot{0, 2203, 100, 100, white, nullptr};
    data->trimSlotB = TrimSlot{0, 2203, 100, 100, white, nullptr};
    Objex* o = CreateObject(data->ownerType, 0, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, wall,
                            wall->layer, data);
    if (framed) {
      const float z = wall->firstPoint->position[2];
      for (float x : {data->startDistance - data->width / 2, data->startDistance + data->width / 2})
        AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
    }
    AppendChildToObject(o, wall);
    BuildAttachmentFrame(o);
    openings.push_back(o);
  }
  return openings;
}

// How many plane objects (with their cut-outs and trims) the object's rebuild leaves in the
// scene, and how many of them come from its doors' and windows' frames and leaves.
struct SceneShare {
  double planeObjects = 0, fromOpenings = 0;
};
SceneShare ShareOf(const Objex* object) {
  SceneShare share;
  for (const PlaneObject* p = FirstScenePlaneObjectOf(object); p; p = p->sameBaseNext) {
    const bool opening = p->actual3DObject && p->actual3DObject != object;
    share.planeObjects += 1;
    share.fromOpenings += opening ? 1 : 0;
    for (const PlaneObject* c = p->children; c; c = c->next) share.planeObjects += 1;
    for (const PlaneObject* a = p->attachments; a; a = a->next) share.planeObjects += 1;
  }
  return share;
}

// state.range(0) 1: the openings have their frames and leaves (drawn again with the wall).
void BM_WallWithOpenings(benchmark::State& state) {
  TestDocument doc;
  doc.ds()->planScale = 72;
  VisibleWindow window;
  Objex* plain = LongWall(doc, 0);
  Objex* holed = LongWall(doc, 300);
  AddOpenings(holed, state.range(0) != 0);
  RenderAllLayers();
  double withOpenings = 0, without = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    ReRenderObject(holed);
    auto t1 = Clock::now();
    ReRenderObject(plain);
    auto t2 = Clock::now();
    withOpenings += Seconds(t0, t1);
    without += Seconds(t1, t2);
    state.SetIterationTime(Seconds(t0, t1));
  }
  state.counters["ratio"] = without > 0 ? withOpenings / without : 0;
  const SceneShare holedShare = ShareOf(holed), plainShare = ShareOf(plain);
  state.counters["planeObjects"] = holedShare.planeObjects;
  state.counters["framesLeaves"] = holedShare.fromOpenings;
  state.counters["plainPlaneObjects"] = plainShare.planeObjects;
}
BENCHMARK(BM_WallWithOpenings)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);

// state.range(0) 1: the openings have their frames and leaves (the moved door's rebuilt).
void BM_MoveOneDoor(benchmark::State& state) {
  TestDocument doc;
  doc.ds()->planScale = 72;
  VisibleWindow window;
  bench::GenerateDesign(doc, 10000);
  Objex* wall = LongWall(doc, -400);
  Objex* door = AddOpenings(wall, state.range(0) != 0).front();
  auto* data = static_cast<DoorWindowData*>(door->typeData);
  double moves = 0, full = 0;
  int moved = 0;
  for (auto _ : state) {
    auto f0 = Clock::now();
    RenderAllLayers();
    auto f1 = Clock::now();
    full += Seconds(f0, f1);
    double these = 0;
    for (int i = 0; i < 10; ++i) {
      auto m0 = Clock::now();
      data->startDistance += (i % 2 == 0) ? 1.0f : -1.0f;
      data->remainingLength = 1200 - data->startDistance;
      BuildAttachmentFrame(door);
      ReRenderObject(wall);
      auto m1 = Clock::now();
      these += Seconds(m0, m1);
      ++moved;
    }
    moves += these;
    state.SetIterationTime(these / 10);
  }
  const double perMove = moved > 0 ? moves / moved : 0;
  const double perFull = full / static_cast<double>(state.iterations());
  state.counters["ratio"] = perFull > 0 ? perMove / perFull : 0;
}
BENCHMARK(BM_MoveOneDoor)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// A wall of 40 segments zigzagging along x (each 30 across, 20 up or down), 96 high, each
// side of each segment with a trim record whose words are `lower` and `crown`.
Objex* ZigzagWall(TestDocument& doc, float z, int32_t lower, int32_t crown) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, z}}, doc.first);
  for (int i = 1; i <= 40; ++i)
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 30.0f * i, 0, z + (i % 2) * 20.0f, 0, 0, 0, 0, 0, 0, wall),
                        wall);
  wall->width = 6;
  for (Poinz* p = wall->firstPoint; p; p = p->next) {
    WallHeightOf(p) = 96;
    for (void** slot : {&p->trim1, &p->trim2}) {
      auto* r = static_cast<TrimData*>(calloc(1, sizeof(TrimData)));
      r->lowerTrim() = lower;
      r->crownTrim() = crown;
      for (int k = 0; k < 5; ++k) {
        r->slotTextureIDs[k] = 2213;
        r->slotColors[k] = RGBColor{65535, 65535, 65535};
        r->slotTextureScales[k] = ShortPoint{100, 100};
      }
      *slot = r;
    }
  }
  Update3DWall(wall);
  return wall;
}

// Rebuilding a 40-segment wall with paneling (42) and a crown moulding on both sides of every
// segment, against the same wall bare.
void BM_WallWithSideTrims(benchmark::State& state) {
  TestDocument doc;
  doc.ds()->planScale = 72;
  VisibleWindow window;
  Objex* bare = ZigzagWall(doc, 0, 0, 0);
  Objex* trimmed = ZigzagWall(doc, 300, 4 | 0x100, 1 | 32);
  RenderAllLayers();
  double withTrims = 0, without = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    ReRenderObject(trimmed);
    auto t1 = Clock::now();
    ReRenderObject(bare);
    auto t2 = Clock::now();
    withTrims += Seconds(t0, t1);
    without += Seconds(t1, t2);
    state.SetIterationTime(Seconds(t0, t1));
  }
  state.counters["ratio"] = without > 0 ? withTrims / without : 0;
  state.counters["planeObjects"] = ShareOf(trimmed).planeObjects;
  state.counters["barePlaneObjects"] = ShareOf(bare).planeObjects;
}
BENCHMARK(BM_WallWithSideTrims)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(100);

}  // namespace

// The libraries linked here serve the model's calls, as in the program.
const bool kServicesInstalled = [] {
  InstallBuilding3DServices();
  InstallOpeningsServices();
  InstallRender3DServices();
  return true;
}();

BENCHMARK_MAIN();
