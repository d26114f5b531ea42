// The cost of every edit: storing an undo snapshot and undoing one, on a design of 5,000 walls.
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "TestDocument.h"
#include "files/Undo.h"

namespace {

struct WallDesign {
  std::filesystem::path runtime;
  TestDocument doc;
  WallDesign() {
    runtime = std::filesystem::temp_directory_path() / ("casa-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(runtime);
    chmod(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    for (int i = 0; i < 5000; ++i) {
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

}  // namespace

BENCHMARK_MAIN();
