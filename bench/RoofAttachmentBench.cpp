// Re-fitting the skylights of a roof: UpdateAllRoofAttachments of a gable roof holding 40
// skylights against the same region work made directly (the plane's and the skylights'
// regions, each skylight's union with the plane and equality test, and its intersections
// with the others). The ratio is reported as a counter.
#include "building3d/Building3DServices.h"
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "TestDocument.h"
#include "building3d/Roofs3D.h"
#include "building3d/Skylights3D.h"
#include "model/Attachments.h"
#include "model/Records.h"
#include "model/Services.h"
#include "platform/PolygonRegion.h"

namespace {

using Clock = std::chrono::steady_clock;

// A gable roof 1200 by 600 plan units with 40 skylights of 40 by 40 on its c3-c2 slope.
Objex* BuildRoof(TestDocument& doc) {
  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {1200, 0}, {1200, 600}, {0, 600}}, doc.first);
  roof->width = 6;
  roof->textureID = 2;
  Update3DRoof(roof);
  Objex* plane = nullptr;
  for (Objex* p = static_cast<Objex*>(roof->typeData); p; p = p->next)
    if (p->type == kObjRoofPlane && p->subtype == 10) plane = p;
  for (int i = 0; i < 40; ++i) {
    const float x = 60.0f + static_cast<float>(i % 10) * 110, z = 340.0f + static_cast<float>(i / 10) * 60;
    auto* r = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
    r->ownerType = kObjSkylight;
    r->subtype = kSkylightRectangular;
    r->width() = r->height() = 40;
    r->angle() = 90;
    r->panelID = 10;
    const RGBColor white{65535, 65535, 65535};
    Objex* s = CreateObject(kObjSkylight, 1, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, roof, doc.first, r);
    r->object() = s;
    const std::vector<float> outline = SkylightOutline(kSkylightRectangular, x, z, 1, r);
    CreateSkylightPoints(s, plane, outline.data(), 4, x, z, 90);
    CreateSkylightFillerPlane(s, 1);
    CreateSkylightFillerPlane(s, 0);
    AppendChildToObject(s, roof);
  }
  return roof;
}

// The same region tests, straight on the outlines.
int DirectRegionWork(Objex* roof, Objex* plane) {
  const PolygonRegion planeRegion = CreateObjectAppleRegion(plane);
  std::vector<PolygonRegion> regions;
  for (Objex* c = roof->firstChild; c; c = c->next) regions.push_back(CreateObjectAppleRegion(c));
  int fitting = 0;
  for (size_t i = 0; i < regions.size(); ++i) {
    bool fits = planeRegion.united(regions[i]) == planeRegion;
    for (size_t j = 0; j < regions.size() && fits; ++j)
      if (j != i && regions[i].intersects(regions[j])) fits = false;
    fitting += fits;
  }
  return fitting;
}

void BM_UpdateAllRoofAttachmentsOf40Skylights(benchmark::State& state) {
  TestDocument doc;
  Objex* roof = BuildRoof(doc);
  Objex* plane = nullptr;
  for (Objex* p = static_cast<Objex*>(roof->typeData); p; p = p->next)
    if (p->type == kObjRoofPlane && p->subtype == 10) plane = p;
  double refit = 0, raw = 0;
  int kept = 0, fitting = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    UpdateAllRoofAttachments(roof);
    auto t1 = Clock::now();
    fitting = DirectRegionWork(roof, plane);
    auto t2 = Clock::now();
    benchmark::DoNotOptimize(fitting);
    refit += std::chrono::duration<double>(t1 - t0).count();
    raw += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  kept = 0;
  for (Objex* c = roof->firstChild; c; c = c->next) ++kept;
  state.counters["skylights"] = kept;
  state.counters["fittingDirect"] = fitting;
  state.counters["ratio"] = raw > 0 ? refit / raw : 0;
}
BENCHMARK(BM_UpdateAllRoofAttachmentsOf40Skylights)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(0.5);

}  // namespace

// The libraries linked here serve the model's calls, as in the program.
const bool kServicesInstalled = [] {
  InstallBuilding3DServices();
  return true;
}();

BENCHMARK_MAIN();
