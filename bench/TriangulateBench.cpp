// Triangulating one plane object of a 2,000-vertex outline against the bare GLU tessellation
// of the same outline (the ratio is the cost of our records, flags and fallback checks).
#include "building3d/Building3DServices.h"
#include <benchmark/benchmark.h>

#include <GL/glu.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "building3d/Triangulation.h"

namespace {

constexpr int kVertices = 2000;

// A star of 1,000 points: simple, far from convex, so the tessellator sweeps for real.
std::vector<PlaneVertex> StarOutline() {
  std::vector<PlaneVertex> v(kVertices);
  for (int i = 0; i < kVertices; ++i) {
    const double angle = 2 * M_PI * i / kVertices;
    const double radius = i % 2 == 0 ? 1000.0 : 900.0;
    v[static_cast<size_t>(i)] = PlaneVertex{static_cast<float>(radius * std::cos(angle)), 0,
                                            static_cast<float>(radius * std::sin(angle)), 0, 0, 0};
  }
  return v;
}

PlaneObject* StarPlaneObject(const std::vector<PlaneVertex>& outline) {
  auto* copy = static_cast<PlaneVertex*>(malloc(sizeof(PlaneVertex) * outline.size()));
  memcpy(copy, outline.data(), sizeof(PlaneVertex) * outline.size());
  PlaneObject* po = CreatePlaneObject();
  AppendPlane(copy, static_cast<int32_t>(outline.size()), 0, 0.99f, 0, po);
  return po;
}

// The bare tessellation: the same properties and primitives, output vertices only counted.
struct RawOutput {
  std::vector<const void*> vertices;
};
RawOutput* gRaw = nullptr;
void RawBegin(GLenum) {}
void RawEnd() {}
void RawEdge(GLboolean) {}
void RawVertex(void* data) { gRaw->vertices.push_back(data); }
void RawCombine(GLdouble[3], void*[4], GLfloat[4], void** out) { *out = nullptr; }

template <typename F>
_GLUfuncptr Callback(F* f) {
  return reinterpret_cast<_GLUfuncptr>(f);
}

size_t RawTessellate(const std::vector<PlaneVertex>& outline, RawOutput& out) {
  gRaw = &out;
  out.vertices.clear();
  GLUtesselator* tess = gluNewTess();
  gluTessCallback(tess, GLU_TESS_BEGIN, Callback(RawBegin));
  gluTessCallback(tess, GLU_TESS_END, Callback(RawEnd));
  gluTessCallback(tess, GLU_TESS_EDGE_FLAG, Callback(RawEdge));
  gluTessCallback(tess, GLU_TESS_VERTEX, Callback(RawVertex));
  gluTessCallback(tess, GLU_TESS_COMBINE, Callback(RawCombine));
  gluTessProperty(tess, GLU_TESS_BOUNDARY_ONLY, 0);
  gluTessBeginPolygon(tess, nullptr);
  gluTessBeginContour(tess);
  for (const PlaneVertex& v : outline) {
    GLdouble coords[3] = {v.x, v.y, v.z};
    gluTessVertex(tess, coords, const_cast<PlaneVertex*>(&v));
  }
  gluTessEndContour(tess);
  gluTessEndPolygon(tess);
  gluDeleteTess(tess);
  return out.vertices.size() / 3;
}

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

void BM_R3DTriangulatePlaneObject(benchmark::State& state) {
  TestDocument doc;
  const std::vector<PlaneVertex> outline = StarOutline();
  RawOutput raw;
  double ours = 0, bare = 0;
  int triangles = 0;
  for (auto _ : state) {
    state.PauseTiming();
    PlaneObject* po = StarPlaneObject(outline);
    state.ResumeTiming();
    auto t0 = std::chrono::steady_clock::now();
    R3DTriangulatePlaneObject(po);
    ours += Seconds(t0, std::chrono::steady_clock::now());
    state.PauseTiming();
    triangles = 0;
    for (const Plane* p = po->planes; p; p = p->next) ++triangles;
    DeletePlaneObject(po);
    auto t1 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(RawTessellate(outline, raw));
    bare += Seconds(t1, std::chrono::steady_clock::now());
    state.ResumeTiming();
  }
  state.counters["triangles"] = triangles;
  state.counters["raw_ms"] = bare * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio"] = bare > 0 ? ours / bare : 0;  // target: at most 1.5
}
BENCHMARK(BM_R3DTriangulatePlaneObject)->Unit(benchmark::kMillisecond);

}  // namespace

// The libraries linked here serve the model's calls, as in the program.
const bool kServicesInstalled = [] {
  InstallBuilding3DServices();
  return true;
}();

BENCHMARK_MAIN();
