// A plant of the content palette dropped on the plan of a 10k-record design, against its raw
// baseline in the same run (reported as the counter "ratio"): the one walk of the design that
// any placement needs (deselecting everything) and BuildLandscapePlant of the same plant.
// A ratio near 1 means the drop walks the design no more than once. Undo is off: the
// snapshot, a write of the whole design, is bench_undo's to measure.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMimeData>
#include <chrono>

#include "DesignGenerator.h"
#include "app/ProgramServices.h"
#include "app/ZLKDocumentView.h"
#include "building3d/Plants3D.h"
#include "content/SymEntry.h"
#include "files/Undo.h"
#include "model/Delete.h"
#include "model/HitTest.h"
#include "model/Records.h"

using Clock = std::chrono::steady_clock;

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "bench_plan_drop";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

void BM_DropPlantOn10kDesign(benchmark::State& state) {
  App();
  TestDocument doc;
  doc.ds()->planScale = 72;
  bench::GenerateDesign(doc, 10000);
  const uint8_t undo = gUndoActive;
  gUndoActive = 0;
  ZLKDocumentView view;
  SymEntryInfo plant;
  plant.type = kEntryPlant;
  plant.textureID = 7001;
  const std::vector<uint8_t> record = encodeSymEntry(plant);
  const QByteArray bytes(reinterpret_cast<const char*>(record.data()), static_cast<qsizetype>(record.size()));
  QMimeData data;
  data.setData(QString::fromLatin1(Content2DDNDPboardType), bytes);
  data.setData(QString::fromLatin1(Content3DDNDPboardType), bytes);
  Layer* layer = doc.model.itsCurLayer;
  double drops = 0, raw = 0;
  bool placed = true;
  for (auto _ : state) {
    auto t0 = Clock::now();
    placed = view.performDragOperation(&data, POINT{40, 30}) && placed;
    auto t1 = Clock::now();
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 1);
    Objex* built = BuildLandscapePlant(layer, 1, plant.textureID);
    auto t2 = Clock::now();
    benchmark::DoNotOptimize(built);
    drops += Seconds(t0, t1);
    raw += Seconds(t1, t2);
    state.SetIterationTime(Seconds(t0, t1));
    // The design keeps its size: both plants go again.
    DeleteObj(built);
    DeleteObj(LastObjectOfLayer(layer));
  }
  gUndoActive = undo;
  if (!placed) state.SkipWithError("the drop placed nothing");
  state.counters["ratio"] = raw > 0 ? drops / raw : 0;
}
BENCHMARK(BM_DropPlantOn10kDesign)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace

const bool kServicesInstalled = [] {
  InstallProgramServices();
  return true;
}();

BENCHMARK_MAIN();
