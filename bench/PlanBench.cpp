// The plan view at scale: a whole-plan redraw fitted to 1600 x 1000 against one drawLines of
// the segments it issues, a redraw at zoom 1 of the same area at 1k and 50k records, and a
// click that selects an object against one walk of the design.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QVector>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <initializer_list>
#include <memory>

#include "DesignGenerator.h"
#include "model/Bounds.h"
#include "model/HitTest.h"
#include "model/PlanarTransforms.h"
#include "model/Selection.h"
#include "model/SelectionClick.h"
#include "model/SelectionState.h"
#include "model/ViewProjection.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/RecordingDrawContext.h"
#include "plandraw/qt/QPainterDrawContext.h"

namespace {

constexpr int kWidth = 1600, kHeight = 1000;

QGuiApplication* App() {
  static int argc = 1;
  static char name[] = "bench_plan";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  return app;
}

Base2DView* gView = nullptr;

// A design of `records` records with a plan view drawing it.
struct Scene {
  TestDocument doc;
  Base2DView view;
  explicit Scene(int records) {
    App();
    bench::GenerateDesign(doc, records);
    gView = &view;
    gPlanViewHooks.documentView = [] { return gView; };
    gXViewAngle = 90.0f;
    gYViewAngle = 0.0f;
    gPerspective = 0;
    // The plan view as the window sets it up: looking straight down from a floor height.
    gGlobalXOffset = gGlobalZOffset = 0;
    gGlobalYOffset = -96;
    SetUpForRotationAboutArbitraryAxis(gXViewAngle, gYViewAngle, &gCosXAngle, &gSinXAngle, &gCosYAngle,
                                       &gSinYAngle, gPerspective);
  }
  ~Scene() {
    gPlanViewHooks.documentView = nullptr;
    gView = nullptr;
  }
  // The view rect of the plan units [x0, x1] x [z0, z1] at the current zoom.
  NSRect viewRectOf(float x0, float z0, float x1, float z1) {
    float ax = x0, ay = 0, az = z0, bx = x1, by = 0, bz = z1;
    ConvertToIso(&ax, &ay, &az, &bx, &by, &bz, 0);
    return NSMakeRect(std::min(ax, bx), std::min(ay, by), std::fabs(bx - ax), std::fabs(by - ay));
  }
  // Fits the whole design into 1600 x 1000 and answers the rect drawn.
  NSRect fit() {
    const int records = static_cast<int>(CountRecords());
    const int cells = (records + 99) / 100, perRow = bench::CellsPerRow(records);
    const float w = static_cast<float>(std::min(cells, perRow)) * bench::kCellSize;
    const float h = static_cast<float>((cells + perRow - 1) / perRow) * bench::kCellSize;
    doc.ds()->zoomFactor = std::min(kWidth / w, kHeight / h);
    return viewRectOf(0, 0, w, h);
  }
  // Zoom 1 on the design's first 1600 x 1000 plan units.
  NSRect zoomOne() {
    doc.ds()->zoomFactor = 1.0f;
    return viewRectOf(0, 0, kWidth, kHeight);
  }
  size_t CountRecords() {
    size_t n = 0;
    for (Layer* l = doc.model.itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next) {
        ++n;
        for (Objex* c = o->firstChild; c; c = c->next) ++n;
      }
    return n;
  }
  void draw(QImage& image, const NSRect& rect) {
    image.fill(Qt::white);
    redraw(image, rect);
  }
  // The redraw alone, into an image made ready.
  void redraw(QImage& image, const NSRect& rect) {
    QPainter painter(&image);
    painter.translate(-rect.origin.x, -rect.origin.y);
    QPainterDrawContext ctx(&painter);
    CurrentDrawContextScope scope(&ctx);
    view.draw3D(&rect, kDrawFlagAll);
  }
  // The line segments the redraw issues.
  QVector<QLineF> issuedSegments(const NSRect& rect) {
    RecordingDrawContext rec;
    {
      CurrentDrawContextScope scope(&rec);
      view.draw3D(&rect, kDrawFlagAll);
    }
    const std::vector<NSPoint> pts = rec.strokedLinePoints();
    QVector<QLineF> lines;
    for (size_t i = 0; i + 1 < pts.size(); i += 2)
      lines.push_back(QLineF(pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y));
    return lines;
  }
};

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

void BM_RedrawFitted(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  const NSRect rect = scene.fit();
  const QVector<QLineF> lines = scene.issuedSegments(rect);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  double redraw = 0, raw = 0;
  for (auto _ : state) {
    // Both timings start on an image made white beforehand.
    image.fill(Qt::white);
    auto t0 = std::chrono::steady_clock::now();
    scene.redraw(image, rect);
    auto t1 = std::chrono::steady_clock::now();
    state.PauseTiming();
    {
      image.fill(Qt::white);
      QPainter painter(&image);
      painter.translate(-rect.origin.x, -rect.origin.y);
      painter.setPen(QPen(Qt::black, 0));
      auto r0 = std::chrono::steady_clock::now();
      painter.drawLines(lines);
      painter.end();
      raw += Seconds(r0, std::chrono::steady_clock::now());
    }
    state.ResumeTiming();
    redraw += Seconds(t0, t1);
  }
  state.counters["segments"] = static_cast<double>(lines.size());
  state.counters["raw_ms"] = raw * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio"] = raw > 0 ? redraw / raw : 0;  // target: at most 2
}
BENCHMARK(BM_RedrawFitted)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// Redraw at zoom 1 of the same area; the ratio is against the same redraw at 1k records.
void BM_RedrawZoomOne(benchmark::State& state) {
  double small = 0;
  {
    Scene scene(1000);
    const NSRect rect = scene.zoomOne();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    scene.draw(image, rect);
    constexpr int kRuns = 20;
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kRuns; ++i) scene.draw(image, rect);
    small = Seconds(t0, std::chrono::steady_clock::now()) / kRuns;
  }
  Scene scene(static_cast<int>(state.range(0)));
  const NSRect rect = scene.zoomOne();
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  double total = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    scene.draw(image, rect);
    total += Seconds(t0, std::chrono::steady_clock::now());
  }
  state.counters["segments"] = static_cast<double>(scene.issuedSegments(rect).size());
  state.counters["1k_ms"] = small * 1000;
  state.counters["ratio"] = small > 0 ? total / static_cast<double>(state.iterations()) / small : 0;  // at most 1.5
}
BENCHMARK(BM_RedrawZoomOne)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// A click that selects an object, as the selection tool's click does it: the hit tests (wall
// attachments, then selected objects, then everything) in one walk that notes the selection it
// meets, the noted objects deselected, the object selected, then the readouts of the selection
// from the noted objects.
bool Click(Scene& scene, POINT where) {
  ClickInfo click{};
  click.where = where;
  Layer* layers = scene.doc.model.itsLayers;
  static constexpr int16_t kAttachments[] = {kObjDoor, kObjWindow, kObjComponent, kObjDeckSteps, kObjAccessory};
  static constexpr HitPass kPasses[] = {{0, kAttachments, 5}, {1, nullptr, 0}, {0, nullptr, 0}};
  FloatRect rect{32000, 32000, -32000, -32000};
  Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
  const bool hit = ClickSelectInOneWalk(layers, &click, kPasses, 3, scene.doc.ds(), &rect, &box);
  benchmark::DoNotOptimize(box);
  return hit;
}

double ClickSeconds(Scene& scene, POINT where, int runs) {
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < runs; ++i) Click(scene, where);
  return Seconds(t0, std::chrono::steady_clock::now()) / runs;
}

// One walk of the design: every object, child and point read once.
double WalkSeconds(Scene& scene, int runs) {
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < runs; ++i) {
    float sum = 0;
    for (Layer* l = scene.doc.model.itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next) {
        for (Poinz* p = o->firstPoint; p; p = p->next) sum += p->position[0];
        for (Objex* c = o->firstChild; c; c = c->next)
          for (Poinz* p = c->firstPoint; p; p = p->next) sum += p->position[0];
      }
    benchmark::DoNotOptimize(sum);
  }
  return Seconds(t0, std::chrono::steady_clock::now()) / runs;
}

void BM_ClickSelect(benchmark::State& state) {
  // On a line of the first floor in the first cell, at zoom 1: it runs from (5, 85) to (75, 135).
  double small = 0;
  {
    Scene scene(1000);
    scene.zoomOne();
    small = ClickSeconds(scene, POINT{40, 110}, 20);
  }
  Scene scene(static_cast<int>(state.range(0)));
  scene.zoomOne();
  const POINT where = POINT{40, 110};
  // The walk is timed after every click, so that both see the same machine.
  double total = 0, walked = 0;
  bool hit = false;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    hit = Click(scene, where);
    total += Seconds(t0, std::chrono::steady_clock::now());
    state.PauseTiming();
    walked += WalkSeconds(scene, 1);
    state.ResumeTiming();
  }
  const double click = total / static_cast<double>(state.iterations());
  const double walk = walked / static_cast<double>(state.iterations());
  state.counters["hit"] = hit ? 1 : 0;
  state.counters["1k_ms"] = small * 1000;
  state.counters["walk_ms"] = walk * 1000;
  state.counters["ratio"] = click / (small + walk);  // target: at most 1.5
}
BENCHMARK(BM_ClickSelect)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// The floor of any redraw that looks at every object: the object lists of all floors walked,
// one field of each object read (/0), or the positions of all their points (/1).
void BM_ListWalk(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    float sum = 0;
    for (Layer* l = scene.doc.model.itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next) {
        if (state.range(1))
          for (Poinz* p = o->firstPoint; p; p = p->next) sum += p->position[0];
        else
          sum += static_cast<float>(o->type);
      }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_ListWalk)->Args({1000, 0})->Args({50000, 0})->Args({50000, 1})->Unit(benchmark::kMillisecond);

// The same walk of every point, each record asked for `ahead` records before it is reached from
// a list of all their addresses made beforehand: the floor of a walk that never waits on the
// list's links.
void BM_ListWalkPrefetched(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  std::vector<const void*> trace;
  for (Layer* l = scene.doc.model.itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) {
      trace.push_back(o);
      for (Poinz* p = o->firstPoint; p; p = p->next) trace.push_back(p);
    }
  const size_t ahead = static_cast<size_t>(state.range(1));
  for (auto _ : state) {
    float sum = 0;
    size_t k = 0;
    for (Layer* l = scene.doc.model.itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next) {
        for (Poinz* p = o->firstPoint; p; p = p->next) {
          if (k + ahead < trace.size()) __builtin_prefetch(trace[k + ahead]);
          ++k;
          sum += p->position[0];
        }
        if (k + ahead < trace.size()) __builtin_prefetch(trace[k + ahead]);
        ++k;
      }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_ListWalkPrefetched)->Args({50000, 8})->Args({50000, 32})->Args({50000, 128})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
