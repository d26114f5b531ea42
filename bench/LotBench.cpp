// The lot at 800 x 600 on the X display (Xvfb): RenderGLLot of a 100 x 100 grid, without and
// with 10 excavations, against 10,000 raw polygons with a colour per vertex; and the terrain
// heights of 20 regions of 100 points on that grid against a plain crossing-number loop; and
// the cut-outs left out of a lot render on designs of 5k and 20k records against a walk of the
// design; and the menu's Nudge and Delete of every topography region, and its Convert to
// Topography of detail outlines, on designs of 5k and 20k records with the 3D window shown.
// Each reports its ratio to the raw baseline measured in the same run.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "DesignGenerator.h"
#include "ProgramBench.h"
#include "TestDocument.h"
#include "app/PlanViewActions.h"
#include "files/Undo.h"
#include "building3d/Building3DServices.h"
#include "model/CommandCodes.h"
#include "model/PlanarPolygons.h"
#include "model/Services.h"
#include "model/TopoGrid.h"
#include "render3d/LotRendering.h"
#include "render3d/Render3DServices.h"
#include "render3d/SceneFrame.h"
#include "render3d/TopoCutouts.h"

// Qt after the model: its `slots` keyword would clash with a record field.
#include "BenchGLContext.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;
constexpr int kCells = 100;
constexpr float kSpacing = 48;  // 4800 inches across

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

BenchGLContext& Context() {
  static BenchGLContext gl("bench_lot");
  return gl;
}

// A design whose lot is a 100 x 100 grid of rolling ground, seen from above.
struct LotScene {
  TestDocument doc;
  LiveViewHost saved = gLiveViewHost;
  LotScene() {
    gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = kWidth, *h = kHeight; };
    gLiveViewHost.isVisible = [] { return true; };
    DocState* ds = doc.ds();
    const float half = kCells * kSpacing / 2;
    ds->planBounds = {-half, -half, half, half};
    ds->topoGridSpacing = kSpacing;
    ds->lotColor = {20000, 50000, 20000};
    ds->lotTextureID = 0;
    ds->renderMode() = kRenderSolid;
    ds->clearViewOpacity() = 255;
    snprintf(ds->topoPath, sizeof ds->topoPath, "%s", "rolling.topo");
    SetupTopoGrid();
    for (int r = 0; r <= kCells; ++r)
      for (int c = 0; c <= kCells; ++c)
        gTopographyGrid[r * (kCells + 1) + c] = 40 * std::sin(r * 0.2f) * std::cos(c * 0.15f) + 1;
  }
  ~LotScene() {
    FreeTopoGrid();
    gLiveViewHost = saved;
  }
  // Ten excavations of about 3 x 3 cells whose outlines cross the cells they pass.
  void AddExcavations() {
    for (int i = 0; i < 10; ++i) {
      const float x = -2000 + i * 400 + 7, z = -1500 + (i % 3) * 1100 + 5;
      doc.addObject(kObjTopoExcavation, true, {{x, z}, {x + 150, z}, {x + 150, z + 140}, {x, z + 140}}, doc.first);
    }
  }
};

void LookDown(const DocState* ds) {
  BindRenderTarget(kWidth, kHeight);
  glViewport(0, 0, kWidth, kHeight);
  const FloatRect& b = ds->planBounds;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(b.floatLeft, b.floatRight, -b.floatBottom, -b.floatTop, -20000, 20000);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(90, 1, 0, 0);
  glEnable(GL_DEPTH_TEST);
  glShadeModel(GL_SMOOTH);
}

// The raw baseline: one polygon per cell with a colour per vertex, straight from arrays.
struct RawLot {
  std::vector<float> xyz;
  std::vector<unsigned char> rgb;
  explicit RawLot(const DocState* ds) {
    const float left = ds->planBounds.floatLeft, top = ds->planBounds.floatTop;
    for (int r = 0; r < kCells; ++r)
      for (int c = 1; c <= kCells; ++c)
        for (auto [rr, cc] : {std::pair{r, c - 1}, {r, c}, {r + 1, c}, {r + 1, c - 1}}) {
          xyz.insert(xyz.end(), {left + cc * kSpacing, gTopographyGrid[rr * (kCells + 1) + cc], top + rr * kSpacing});
          rgb.insert(rgb.end(), {static_cast<unsigned char>(rr), 200, static_cast<unsigned char>(cc)});
        }
  }
  void Draw() const {
    for (size_t p = 0; p < xyz.size() / 12; ++p) {
      glBegin(GL_POLYGON);
      for (size_t k = 0; k < 4; ++k) {
        const size_t i = p * 4 + k;
        glColor4ub(rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2], 255);
        glVertex3f(xyz[i * 3], xyz[i * 3 + 1], xyz[i * 3 + 2]);
      }
      glEnd();
    }
  }
};

void BM_RenderGLLot(benchmark::State& state) {
  if (!Context().ok) {
    state.SkipWithError("no display for an OpenGL context");
    return;
  }
  LotScene scene;
  if (state.range(0) > 0) scene.AddExcavations();
  LookDown(scene.doc.ds());
  const RawLot raw(scene.doc.ds());
  double ours = 0, rawTime = 0;
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
    auto t0 = Clock::now();
    RenderGLLot();
    glFinish();
    auto t1 = Clock::now();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
    auto t2 = Clock::now();
    raw.Draw();
    glFinish();
    auto t3 = Clock::now();
    ours += Seconds(t0, t1), rawTime += Seconds(t2, t3);
    state.SetIterationTime(Seconds(t0, t1));
  }
  state.counters["ratio"] = rawTime > 0 ? ours / rawTime : 0;
  state.counters["trimmed_patches"] = LotTrimmedPatchCount();
  state.counters["nurbs_errors"] = LotNurbsErrorCount();
}
BENCHMARK(BM_RenderGLLot)->Arg(0)->Arg(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// The plain loop: every region against every node, a crossing-number test each.
void PlainHeights(const std::vector<std::vector<PlanarPolyPoint>>& regions, const DocState* ds) {
  const float left = ds->planBounds.floatLeft, top = ds->planBounds.floatTop;
  for (int i = 0; i < (kCells + 1) * (kCells + 1); ++i) gTopographyGrid[i] = 0;
  for (const auto& poly : regions)
    for (int r = 0; r <= kCells; ++r)
      for (int c = 0; c <= kCells; ++c) {
        const float x = left + c * kSpacing, z = top + r * kSpacing;
        bool inside = false;
        for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
          const PlanarPolyPoint &a = poly[i], &b = poly[j];
          if ((a.z > z) != (b.z > z) && x < (b.x - a.x) * (z - a.z) / (b.z - a.z) + a.x) inside = !inside;
        }
        if (inside) gTopographyGrid[r * (kCells + 1) + c] += 12;
      }
}

void BM_SetLotElevation(benchmark::State& state) {
  LotScene scene;
  DocState* ds = scene.doc.ds();
  ds->topoPath[0] = 0;
  std::vector<std::vector<PlanarPolyPoint>> regions;
  for (int k = 0; k < 20; ++k) {
    const float cx = -1800 + (k % 5) * 900, cz = -1500 + (k / 5) * 900, radius = 300 + k * 20;
    std::vector<PlanarPolyPoint> poly;
    Objex* o = scene.doc.addObject(kObjTopography, true, {}, scene.doc.first);
    o->width = 12;
    for (int i = 0; i < 100; ++i) {
      const float a = i * 6.2831853f / 100, wobble = radius * (1 + 0.2f * std::sin(a * 5));
      const float x = cx + wobble * std::cos(a), z = cz + wobble * std::sin(a);
      poly.push_back({x, 0, z, 0, 0, 0});
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
    }
    regions.push_back(std::move(poly));
  }
  double ours = 0, plain = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    SetLotElevation();
    auto t1 = Clock::now();
    PlainHeights(regions, ds);
    auto t2 = Clock::now();
    ours += Seconds(t0, t1), plain += Seconds(t1, t2);
    state.SetIterationTime(Seconds(t0, t1));
  }
  state.counters["ratio"] = plain > 0 ? ours / plain : 0;
}
BENCHMARK(BM_SetLotElevation)->UseManualTime()->Unit(benchmark::kMillisecond);

// The cut-outs a lot render leaves out (FindIntersectingTopoCutouts, then ResetIntersectingFlags)
// on generated designs of 5k and 20k records whose walls all stand on the foundation plan (some
// 1,100 and 4,500 cut-outs side by side), against one plain walk of the design. Each cut-out is
// compared only with those whose boxes touch its own: compared with every later one, 20k took
// about 250 walks.
void BM_MarkTopoCutouts(benchmark::State& state) {
  TestDocument doc;
  bench::GenerateDesign(doc, static_cast<int>(state.range(0)));
  int cutouts = 0;
  for (Layer* l = doc.model.itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next)
      if (o->type == kObjWall) o->planMask = 1, ++cutouts;  // shown on the foundation plan only
  double marked = 0, walked = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    FindIntersectingTopoCutouts();
    ResetIntersectingFlags();
    marked += Seconds(t0, Clock::now());
    walked += bench::WalkDesignSeconds(doc);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["cutouts"] = cutouts;
  state.counters["walk_ms"] = walked * 1000 / n;
  state.counters["ratio"] = walked > 0 ? marked / walked : 0;  // target: at most 15
}
BENCHMARK(BM_MarkTopoCutouts)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// A generated design of `records` records with terrain over it (bench::AddTerrain: `perCell`
// outlines of `type` in each cell, selected), the 3D window shown and its scene built, as the
// program has it while the user edits the plan with the 3D view open.
struct TerrainScene {
  TestDocument doc;
  LiveViewHost saved = gLiveViewHost;
  std::vector<Objex*> outlines;
  TerrainScene(int records, int perCell, int16_t type) {
    gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = kWidth, *h = kHeight; };
    gLiveViewHost.isVisible = [] { return true; };
    bench::GenerateDesign(doc, records);
    outlines = bench::AddTerrain(doc, records, perCell, type);
    SetLotElevation();
    RenderAllLayers();
  }
  ~TerrainScene() {
    ResetSceneDisplayList();
    DeleteAllRendererObjects();
    FreeTopoGrid();
    gLiveViewHost = saved;
  }
};

// Nudge (/0) and Delete (/1) of every topography region of the design (two in each cell of 100
// records: 100 and 400 regions on the three floors), through the menu's handler, the undo
// snapshot left out (bench_files times it). Each region's move or removal asks for the ground's
// heights again; worked out after each one, 20k took 23 times as long as 5k. "ratio" is the
// time over one walk of the design.
void BM_TerrainRegionsEdit(benchmark::State& state) {
  if (!Context().ok) {
    state.SkipWithError("no display for an OpenGL context");
    return;
  }
  const int32_t command = state.range(0) == 0 ? kCmdNudgeRight : kCmdDelete;
  const int records = static_cast<int>(state.range(1));
  double edit = 0, walked = 0;
  size_t regions = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto scene = std::make_unique<TerrainScene>(records, 2, kObjTopography);
    regions = scene->outlines.size();
    const uint8_t undo = gUndoActive;
    gUndoActive = 0;
    PlanViewActions actions;
    state.ResumeTiming();
    auto t0 = Clock::now();
    actions.perform(command);
    edit += Seconds(t0, Clock::now());
    state.PauseTiming();
    gUndoActive = undo;
    walked += bench::WalkDesignSeconds(scene->doc);
    scene.reset();
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["regions"] = static_cast<double>(regions);
  state.counters["edit_ms"] = edit * 1000 / n;
  state.counters["walk_ms"] = walked * 1000 / n;
  state.counters["ratio"] = walked > 0 ? edit / walked : 0;
}
BENCHMARK(BM_TerrainRegionsEdit)
    ->ArgsProduct({{0, 1}, {5000, 20000}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Convert to Topography of selected detail outlines on the first floor (two in each cell of 100
// records: 100 and 400), through the menu's handler. Each conversion stays its own undo step:
// with /1 the undo snapshots are stored as in the program, with /0 undo is off and only the
// conversions and the 3D upkeep are timed. "ratio" is the time over one walk of the design.
void BM_ConvertToTopography(benchmark::State& state) {
  if (!Context().ok) {
    state.SkipWithError("no display for an OpenGL context");
    return;
  }
  const bool undoOn = state.range(0) != 0;
  const int records = static_cast<int>(state.range(1));
  const std::string folder = "/tmp/casa-lotbench-" + std::to_string(getpid());
  double convert = 0, walked = 0;
  size_t outlines = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::create_directories(folder);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    auto scene = std::make_unique<TerrainScene>(records, 2, kObjDetail);
    outlines = scene->outlines.size();
    const uint8_t undo = gUndoActive;
    gUndoActive = undoOn ? 1 : 0;
    if (undoOn) InitializeUndo();
    const auto storeUndo = gFrontEnd.storeUndo;
    gFrontEnd.storeUndo = StoreUndo;  // as the program's application installs it
    PlanViewActions actions;
    state.ResumeTiming();
    auto t0 = Clock::now();
    actions.perform(kCmdConvertToTopography);
    convert += Seconds(t0, Clock::now());
    state.PauseTiming();
    gFrontEnd.storeUndo = storeUndo;
    gUndoActive = undo;
    walked += bench::WalkDesignSeconds(scene->doc);
    scene.reset();
    std::filesystem::remove_all(folder);
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["outlines"] = static_cast<double>(outlines);
  state.counters["convert_ms"] = convert * 1000 / n;
  state.counters["walk_ms"] = walked * 1000 / n;
  state.counters["ratio"] = walked > 0 ? convert / walked : 0;
}
BENCHMARK(BM_ConvertToTopography)
    ->ArgsProduct({{0, 1}, {5000, 20000}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

CASA_PROGRAM_BENCHMARK_MAIN()
