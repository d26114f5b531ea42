// The inspector's rebuild after a mouse-up: updatePropertiesState on a floor of 10,000
// objects with 100 selected walls, against one bare walk of the floor testing
// IsRootObjectSelected on each object. The rebuild for a floor of 5,000 and 20,000 detail
// objects, all selected, against the same bare walk. A thickness typed into the wall pane for
// every wall of the first floor of a design of houses of 20,000 records, against the same at
// 5,000 records. The wall dimension pane's method chosen for every attached dimension of the
// first floor of designs of houses of 5,000 and 20,000 records, against one plain walk of the
// design. The elevation readout of a Select All of 5,000 and 20,000 fences on the terrain,
// against one plain walk of the design.
#include "building3d/Building3DServices.h"
#include "content/ContentServices.h"
#include "inspectors/InspectorsServices.h"
#include "tools/ToolsServices.h"
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <algorithm>
#include <chrono>

#include "DesignGenerator.h"
#include "TestDocument.h"
#include "files/Undo.h"
#include "inspectors/InspectorController.h"
#include "inspectors/ValueFields.h"
#include "inspectors/WallDimInspectorController.h"
#include "inspectors/WallObjectInspectorController.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/SelectionState.h"
#include "model/TopoGrid.h"

namespace {

QApplication* App() {
  static int argc = 1;
  static char name[] = "bench_inspectors";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return app;
}

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// 10,000 objects on the first floor: walls of 3 points, closed polygons and lines; the
// first 100 walls have every point selected.
void Build(TestDocument& doc, int records, int selectedWalls) {
  int selected = 0;
  for (int i = 0; i < records; ++i) {
    const float x = static_cast<float>(i % 100) * 80.0f, z = static_cast<float>(i / 100) * 80.0f;
    Objex* o = nullptr;
    switch (i % 4) {
      case 0:
        o = doc.addObject(kObjWall, false, {{x, z}, {x + 60, z}, {x + 60, z + 60}});
        o->subtype = kSubExteriorWall;
        o->width = 4;
        if (selected < selectedWalls) {
          for (Poinz* p = o->firstPoint; p; p = p->next) p->selected = 1;
          ++selected;
        }
        break;
      case 1: o = doc.addObject(kObjClosedPoly, true, {{x, z}, {x + 50, z}, {x + 50, z + 50}, {x, z + 50}}); break;
      default: o = doc.addObject(kObjLine, false, {{x, z}, {x + 50, z + 20}}); break;
    }
  }
}

// The inspector's refresh of the selection of `floor` against a bare walk of the floor testing
// each object once; `counted` names the count of objects the refresh took.
void TimeRefreshAgainstWalk(benchmark::State& state, InspectorController* inspector, Layer* floor,
                            const char* counted, const char* target) {
  gCurTool = 200;
  inspector->updatePropertiesState(true);  // the panes are made once per process

  // The bare walk: every object of the floor tested once.
  constexpr int kWalks = 20;
  size_t found = 0;
  auto w0 = std::chrono::steady_clock::now();
  for (int i = 0; i < kWalks; ++i)
    for (Objex* o = floor->firstObject; o; o = o->next) found += IsRootObjectSelected(o) ? 1 : 0;
  const double walk = Seconds(w0, std::chrono::steady_clock::now()) / kWalks;
  benchmark::DoNotOptimize(found);

  double total = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    inspector->updatePropertiesState(true);
    total += Seconds(t0, std::chrono::steady_clock::now());
  }
  const double update = total / static_cast<double>(state.iterations());
  state.counters[counted] = static_cast<double>(gCurPropertiesObjectCount);
  state.counters["walk_ms"] = walk * 1000;
  state.counters["ratio"] = walk > 0 ? update / walk : 0;
  state.SetLabel(target);
}

void BM_UpdatePropertiesState(benchmark::State& state) {
  App();
  TestDocument doc;
  Build(doc, static_cast<int>(state.range(0)), 100);
  InspectorController* inspector = InspectorController::sharedInspectorController();
  TimeRefreshAgainstWalk(state, inspector, doc.first, "segments", "ratio target: at most 4");
}
BENCHMARK(BM_UpdatePropertiesState)->Arg(10000)->Unit(benchmark::kMillisecond);

// Every object of the floor a selected detail object: the pane takes each in turn.
void BM_DetailSelectionRebuild(benchmark::State& state) {
  App();
  TestDocument doc;
  const int records = static_cast<int>(state.range(0));
  for (int i = 0; i < records; ++i) {
    const float x = static_cast<float>(i % 200) * 80.0f, z = static_cast<float>(i / 200) * 80.0f;
    Objex* o = doc.addObject(kObjDetail, true, {{x, z}, {x + 50, z}, {x + 50, z + 50}, {x, z + 50}});
    o->pointCount = 4;
    for (Poinz* p = o->firstPoint; p; p = p->next) p->selected = 1;
  }
  InspectorController* inspector = InspectorController::sharedInspectorController();
  TimeRefreshAgainstWalk(state, inspector, doc.first, "objects", "ratio the same at both sizes");
}
BENCHMARK(BM_DetailSelectionRebuild)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The pane's thickness edit with every wall of the first floor selected (each wall rebuilt and
// its attachments refitted), the fastest of `edits` edits in seconds; undo is off (its
// snapshot is bench_undo's to measure). `walk` takes the fastest plain walk of the design.
double EditAllWallThickness(int records, int edits, double* walk) {
  TestDocument doc;
  bench::GenerateDesign(doc, records, true);
  *walk = 1e9;
  for (int i = 0; i < 20; ++i) *walk = std::min(*walk, bench::WalkDesignSeconds(doc));
  for (Objex* o = doc.first->firstObject; o; o = o->next)
    if (o->type == kObjWall) SelectObj(o, kSelectOn, 1);
  InspectorController::sharedInspectorController()->updatePropertiesState(true);
  WallObjectInspectorController* pane = WallObjectInspectorController::sharedInspectorController();
  QLineEdit* field = pane->outlet<QLineEdit>("wallThicknessText");
  double fastest = 1e9;
  for (int i = 0; i < edits; ++i) {
    SetFloatItem(field, i % 2 ? 6.0f : 8.0f);
    auto t0 = std::chrono::steady_clock::now();
    pane->controlTextDidEndEditing(field);
    fastest = std::min(fastest, Seconds(t0, std::chrono::steady_clock::now()));
  }
  return fastest;
}

void BM_WallPaneThicknessAllWalls(benchmark::State& state) {
  App();
  gCurTool = 200;
  const uint8_t undo = gUndoActive;
  gUndoActive = 0;
  double smallWalk = 0;
  const double small = EditAllWallThickness(5000, 40, &smallWalk);
  TestDocument doc;
  bench::GenerateDesign(doc, 20000, true);
  double walk = 1e9;
  for (int k = 0; k < 20; ++k) walk = std::min(walk, bench::WalkDesignSeconds(doc));
  size_t walls = 0;
  for (Objex* o = doc.first->firstObject; o; o = o->next)
    if (o->type == kObjWall) {
      SelectObj(o, kSelectOn, 1);
      ++walls;
    }
  InspectorController::sharedInspectorController()->updatePropertiesState(true);
  WallObjectInspectorController* pane = WallObjectInspectorController::sharedInspectorController();
  QLineEdit* field = pane->outlet<QLineEdit>("wallThicknessText");
  double fastest = 1e9;
  int i = 0;
  for (auto _ : state) {
    SetFloatItem(field, i++ % 2 ? 6.0f : 8.0f);
    auto t0 = std::chrono::steady_clock::now();
    pane->controlTextDidEndEditing(field);
    fastest = std::min(fastest, Seconds(t0, std::chrono::steady_clock::now()));
  }
  gUndoActive = undo;
  const double edit = fastest;
  state.counters["walls"] = static_cast<double>(walls);
  state.counters["5k_ms"] = small * 1000;
  // The fastest edits of both sizes: 4 times the records, about 4 times the time (no more than
  // a plain walk of the design grows, walk_ratio, which memory makes grow faster than 4).
  state.counters["ratio"] = small > 0 ? edit / small : 0;
  state.counters["walk_ratio"] = smallWalk > 0 ? walk / smallWalk : 0;
}
BENCHMARK(BM_WallPaneThicknessAllWalls)->Unit(benchmark::kMillisecond);

// Each edit sets the method of every selected dimension and measures each again.
void BM_WallDimMethodAllDimensions(benchmark::State& state) {
  App();
  gCurTool = 200;
  const uint8_t undo = gUndoActive;
  gUndoActive = 0;
  TestDocument doc;
  bench::GenerateDesign(doc, static_cast<int>(state.range(0)), true);
  size_t dimensions = 0;
  for (Objex* o = doc.first->firstObject; o; o = o->next)
    for (Objex* c = o->firstChild; c; c = c->next)
      if (c->type == kObjComponent && c->subtype == kSubDimensionAttachment) {
        SelectObj(c, kSelectOn, 1);
        ++dimensions;
      }
  InspectorController::sharedInspectorController()->updatePropertiesState(true);
  auto* matrix = WallDimInspectorController::sharedInspectorController()->outlet<InspectorMatrix>(
      "dimensionFromButtons");
  double walk = 1e9;
  for (int i = 0; i < 20; ++i) walk = std::min(walk, bench::WalkDesignSeconds(doc));
  double total = 0;
  int tag = 0;
  for (auto _ : state) {
    tag = 1 - tag;
    auto t0 = std::chrono::steady_clock::now();
    matrix->cellWithTag(tag)->click();
    total += Seconds(t0, std::chrono::steady_clock::now());
  }
  gUndoActive = undo;
  const double edit = total / static_cast<double>(state.iterations());
  state.counters["dimensions"] = static_cast<double>(dimensions);
  state.counters["walk_ms"] = walk * 1000;
  state.counters["ratio"] = walk > 0 ? edit / walk : 0;  // about the same at both sizes
}
BENCHMARK(BM_WallDimMethodAllDimensions)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The elevation readout of a Select All of fences standing on the terrain, on a lot with a
// grid and no ground objects (whether the design has ground is then a walk of all of it),
// against one plain walk of the design: about the same ratio at both sizes.
void BM_SelectAllElevationOnTheTerrain(benchmark::State& state) {
  App();
  TestDocument doc;
  const int records = static_cast<int>(state.range(0));
  for (int i = 0; i < records; ++i) {
    const float x = static_cast<float>(i % 200) * 40.0f, z = static_cast<float>(i / 200) * 40.0f;
    Objex* fence = doc.addObject(kObjFence, false, {{x, z}, {x + 30, z}});
    fence->auxFlag = 1;  // on the terrain
    SelectObj(fence, kSelectOn, 1);
  }
  doc.ds()->planBounds = {-100, -100, 8100, static_cast<float>(records / 200) * 40.0f + 100};
  SetupTopoGrid();
  double walk = 1e9;
  for (int i = 0; i < 20; ++i) walk = std::min(walk, bench::WalkDesignSeconds(doc));
  DocState* ds = doc.ds();
  double total = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    ClearSelectionState40(ds, &ds->selectionState40);
    TopLevelObjectAllLayers(doc.model.itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
    total += Seconds(t0, std::chrono::steady_clock::now());
  }
  FreeTopoGrid();
  const double readout = total / static_cast<double>(state.iterations());
  state.counters["walk_ms"] = walk * 1000;
  state.counters["ratio"] = walk > 0 ? readout / walk : 0;
}
BENCHMARK(BM_SelectAllElevationOnTheTerrain)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

// The libraries linked here serve the model's calls, as in the program.
const bool kServicesInstalled = [] {
  InstallBuilding3DServices();
  InstallToolsServices();
  InstallContentServices();
  InstallInspectorsServices();
  return true;
}();

BENCHMARK_MAIN();
