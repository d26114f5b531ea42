// One plant growth step over a plan of 5,000 selected plants (the plan branch of the growth
// stepper: each plant measured and its footprint scaled) against a bare loop scaling the same
// 20,000 footprint points about each plant's centre; the counter "ratio" is their quotient.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "TestDocument.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/HitTest.h"
#include "model/Plants.h"

namespace {

using Clock = std::chrono::steady_clock;

void BM_PlantGrowthStep(benchmark::State& state) {
  TestDocument doc;
  for (int i = 0; i < 5000; ++i) {
    const float x = static_cast<float>(i % 100) * 40, z = static_cast<float>(i / 100) * 40;
    Objex* p = doc.addObject(kObjPlant, true, {{x, z}, {x + 14.4f, z}, {x + 14.4f, z + 14.4f}, {x, z + 14.4f}});
    p->plantAge = 1;
    p->plantInfo = static_cast<PlantInfo*>(calloc(1, sizeof(PlantInfo)));
    p->plantInfo->annualGrowthRate = 20;
    p->plantInfo->maximumGrowthHeight = 600;
    p->bounds3D.floatLeft = x;
    p->bounds3D.floatRight = x + 14.4f;
    p->bounds3D.floatBack = z;
    p->bounds3D.floatFront = z + 14.4f;
    SelectObj(p, kSelectOn, 1);
  }
  // The bare loop writes its scaled points here: the plants it reads stay as the step left them.
  std::vector<float> scaled(2 * 4 * 5000);
  double step = 0, raw = 0;
  int32_t direction = 1;
  for (auto _ : state) {
    auto t0 = Clock::now();
    SelectedObjectAllLayers(doc.model.itsLayers, 1, kCmdPlantBounds, CommandArg::Value(direction));
    auto t1 = Clock::now();
    const float factor = direction > 0 ? 1.2f : 1.0f / 1.2f;
    size_t k = 0;
    for (Objex* o = doc.model.itsCurLayer->firstObject; o; o = o->next) {
      const float cx = (o->bounds3D.floatLeft + o->bounds3D.floatRight) / 2;
      const float cz = (o->bounds3D.floatBack + o->bounds3D.floatFront) / 2;
      for (Poinz* p = o->firstPoint; p && k + 1 < scaled.size(); p = p->next) {
        scaled[k++] = cx + (p->position[0] - cx) * factor;
        scaled[k++] = cz + (p->position[2] - cz) * factor;
      }
    }
    benchmark::DoNotOptimize(scaled.data());
    auto t2 = Clock::now();
    benchmark::ClobberMemory();
    direction = -direction;
    step += std::chrono::duration<double>(t1 - t0).count();
    raw += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  state.counters["ratio"] = raw > 0 ? step / raw : 0;
}
BENCHMARK(BM_PlantGrowthStep)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
