// The cost of every edit: storing an undo snapshot and undoing one, on a design of 5,000 walls;
// and a click that may have changed nothing (a tool click refused, a material dropped on a
// surface that has it) on designs of 10,000 and 50,000 walls, beside the store alone measured
// in the same run: `ratio` is the click's time over the store's.
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "TestDocument.h"
#include "files/Undo.h"

namespace {

struct WallDesign {
  std::filesystem::path runtime;
  TestDocument doc;
  explicit WallDesign(int walls = 5000) {
    // The snapshots go to the runtime folder, memory-backed on most systems.
    std::error_code ec;
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
    runtime = base / ("casa-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(runtime);
    chmod(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    for (int i = 0; i < walls; ++i) {
      float x = static_cast<float>(i % 100) * 200, z = static_cast<float>(i / 100) * 200;
      Objex* w = doc.addObject(kObjWall, false, {{x, z}, {x + 180, z}, {x + 180, z + 120}});
      w->subtype = kSubExteriorWall;
      w->width = 8;
    }
    InitializeUndo();
  }
  ~WallDesign() {
    std::error_code ec;
    std::filesystem::remove_all(runtime, ec);
  }
  // Moves the first wall's first point back and forth: every call changes the design.
  void edit() {
    float& x = doc.model.itsCurLayer->firstObject->firstPoint->position[0];
    x = x == 0 ? 1 : 0;
  }
};

void BM_StoreUndo(benchmark::State& state) {
  WallDesign design;
  for (auto _ : state) StoreUndo("Move");
}
BENCHMARK(BM_StoreUndo)->Unit(benchmark::kMillisecond);

void BM_DoUndo(benchmark::State& state) {
  WallDesign design;
  StoreUndo("Move");
  bool back = true;
  for (auto _ : state) {
    if (back) DoUndo();
    else DoRedo();
    back = !back;
  }
}
BENCHMARK(BM_DoUndo)->Unit(benchmark::kMillisecond);

using Clock = std::chrono::steady_clock;

double SecondsOf(const std::function<void()>& run) {
  const Clock::time_point start = Clock::now();
  run();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// A click: with range(1) it changed the design, without it nothing. Each iteration stores an
// edit with StoreUndo alone, then times the click (the benchmark's time); the counters give
// the mean of both and their ratio. The ring is full first, as in a long session: each store
// then gives up the oldest snapshot.
void BM_ClickBesideStore(benchmark::State& state) {
  SetUndoLevels(5);  // the ring's files of 50,000 walls stay within a few hundred megabytes
  WallDesign design(static_cast<int>(state.range(0)));
  const bool changes = state.range(1) != 0;
  for (int i = 0; i < gTotalUndos; ++i) {
    design.edit();
    StoreUndo("Move");
  }
  double stores = 0, clicks = 0;
  int64_t n = 0;
  for (auto _ : state) {
    stores += SecondsOf([&] {
      design.edit();
      StoreUndo("Move");
    });
    bool stored = false;
    const double click = SecondsOf([&] {
      if (changes) design.edit();
      stored = StoreUndoIfChanged("Door Tool");
    });
    state.SetIterationTime(click);
    clicks += click;
    ++n;
    if (stored != changes) state.SkipWithError("the click stored a step it should not, or none");
  }
  if (n > 0) {
    state.counters["store_ms"] = stores / static_cast<double>(n) * 1e3;
    state.counters["ratio"] = clicks / stores;
  }
  SetUndoLevels(24);
}
BENCHMARK(BM_ClickBesideStore)
    ->ArgNames({"walls", "changes"})
    ->Args({10000, 1})
    ->Args({10000, 0})
    ->Args({50000, 1})
    ->Args({50000, 0})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
