// The plan view at scale: a whole-plan redraw fitted to 1600 x 1000 against one drawLines of
// the segments it issues, a redraw at zoom 1 of the same area at 1k and 50k records, a click
// that selects an object against one walk of the design (the click's walk alone, and the
// press and release through the plan view with the inspector shown, on designs of houses),
// and duplicating a selection. The program's routines are installed (ProgramBench.h).
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <QGuiApplication>
#include <QImage>
#include <QMainWindow>
#include <QMouseEvent>
#include <QLineF>
#include <QPainter>
#include <QVector>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <initializer_list>
#include <memory>

#include "DesignGenerator.h"
#include "ProgramBench.h"
#include "app/PlanViewActions.h"
#include "app/ZLKDocumentView.h"
#include "files/Clipboard.h"
#include "files/Undo.h"
#include "inspectors/InspectorController.h"
#include "model/CommandCodes.h"
#include "model/Selection.h"
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

// The application ProgramBenchmarkMain made.
QGuiApplication* App() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()); }

Base2DView* gView = nullptr;

// A design of `records` records with a plan view drawing it.
struct Scene {
  TestDocument doc;
  Base2DView view;
  explicit Scene(int records, bool houses = false) {
    App();
    bench::GenerateDesign(doc, records, houses);
    gView = &view;
    gPlanViewHooks.documentView = [] { return gView; };
    bench::LookDownOnThePlan();
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
double WalkSeconds(TestDocument& doc, int runs) {
  double total = 0;
  for (int i = 0; i < runs; ++i) total += bench::WalkDesignSeconds(doc);
  return total / runs;
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
    walked += WalkSeconds(scene.doc, 1);
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

// The selection tool's click as the program takes it: the press and the release sent to the
// plan view as mouse events, with the inspector shown in the main window (it shows the
// clicked object's pane). The clicks go in turn to two lines of the first floor, so that each
// selects anew: the one at (40, 110) and the one at (120, 110). "records_ms" is the time of
// reading the records the click read, alone (NotedRecordsSeconds).
// The main window holding the inspector, shown, for the whole run.
QMainWindow* InspectorWindow() {
  static QMainWindow* window = [] {
    auto* w = new QMainWindow;
    InspectorController::sharedInspectorController()->attachToWindow(w, true);
    w->resize(400, 300);
    w->show();
    return w;
  }();
  return window;
}

struct ViewScene : Scene {
  ZLKDocumentView view;
  Objex* lines[2] = {nullptr, nullptr};
  explicit ViewScene(int records) : Scene(records, true) {
    InspectorWindow();
    view.resize(kWidth, kHeight);
    zoomOne();

    gCurTool = kToolSelection;
    for (Objex* o = doc.first->firstObject; o; o = o->next)
      if (o->type == kObjLine && o->firstPoint->position[2] == 85) {
        if (o->firstPoint->position[0] == 5) lines[0] = o;
        if (o->firstPoint->position[0] == 85) lines[1] = o;
      }
  }
  void send(QEvent::Type type, QPointF at) {
    QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
  }
  // Press and release on line k; whether it ends selected.
  bool click(int k) {
    const NSPoint origin = view.boundsOrigin();
    const QPointF at(40.0 + 80.0 * k - origin.x, 110.0 - origin.y);
    send(QEvent::MouseButtonPress, at);
    send(QEvent::MouseButtonRelease, at);
    return lines[k] && IsAnyObjectSelected(lines[k]);
  }
};

// Every record the click's last walk read (its notes of each floor), read once from a list of
// their addresses with each asked for well ahead: what reading them alone costs, waiting on
// nothing but memory.
double NotedRecordsSeconds(TestDocument& doc) {
  std::vector<const void*> noted;
  for (Layer* l = doc.model.itsLayers; l; l = l->next)
    if (const std::vector<const void*>* notes = ClickWalkNotesOf(l)) noted.insert(noted.end(), notes->begin(), notes->end());
  auto lines = [](const void* note, const char** first, const char** last) {
    const uintptr_t at = reinterpret_cast<uintptr_t>(note);
    *first = reinterpret_cast<const char*>(at & ~uintptr_t(3));
    *last = *first + ((at & 1) ? 31 : (at & 2) ? 19 : 60);
  };
  constexpr size_t kAhead = 32;
  const char *first, *last;
  unsigned sum = 0;
  auto t0 = std::chrono::steady_clock::now();
  for (size_t k = 0; k < noted.size(); ++k) {
    if (k + kAhead < noted.size()) {
      lines(noted[k + kAhead], &first, &last);
      __builtin_prefetch(first);
      __builtin_prefetch(last);
    }
    lines(noted[k], &first, &last);
    sum += static_cast<unsigned char>(*first) + static_cast<unsigned char>(*last);
  }
  benchmark::DoNotOptimize(sum);
  return Seconds(t0, std::chrono::steady_clock::now());
}

void BM_ClickThroughView(benchmark::State& state) {
  double small = 0;
  {
    ViewScene scene(1000);
    scene.click(0);
    scene.click(1);  // the inspector's panes are made once per process
    constexpr int kRuns = 20;
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kRuns; ++i) scene.click(i % 2);
    small = Seconds(t0, std::chrono::steady_clock::now()) / kRuns;
  }
  ViewScene scene(static_cast<int>(state.range(0)));
  scene.click(0);
  double total = 0, walked = 0, read = 0;
  bool selects = true;
  int k = 1;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    selects = scene.click(k) && selects;
    total += Seconds(t0, std::chrono::steady_clock::now());
    k = 1 - k;
    state.PauseTiming();
    walked += WalkSeconds(scene.doc, 1);
    // The records read after the walk, as the click finds them; then the walk again, so that the
    // next click also follows a walk.
    read += NotedRecordsSeconds(scene.doc);
    WalkSeconds(scene.doc, 1);
    state.ResumeTiming();
  }
  const double click = total / static_cast<double>(state.iterations());
  const double walk = walked / static_cast<double>(state.iterations());
  if (!selects) state.SkipWithError("a click did not select its line");
  state.counters["1k_ms"] = small * 1000;
  state.counters["walk_ms"] = walk * 1000;
  state.counters["records_ms"] = read / static_cast<double>(state.iterations()) * 1000;
  state.counters["ratio"] = click / (small + walk);  // target: at most 1.5
}
BENCHMARK(BM_ClickThroughView)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// Duplicating a selection as Copy then Paste again and again: 16 objects of the first floor
// copied once and pasted `copies` times into a design of houses of 1,000 records (each paste
// selects what it pasted). Reported against 600 pastes timed in the same run: linear when
// 1,500 take at most 3 times as long ("ratio").
// The processor time of this thread, in seconds: on a busy machine the wall clock also counts
// the time others ran.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// "went_on": the share of the pastes that went on from what the paste before left (all but
// the first when 1); `cpu` gets the pastes' processor time.
double PasteSeconds(int copies, double* wentOn = nullptr, double* cpu = nullptr) {
  Scene scene(1000, true);
  int picked = 0;
  for (Objex* o = scene.doc.first->firstObject; o && picked < 16; o = o->next, ++picked) SelectObj(o, kSelectOn, 1);
  DoCopyObjects();
  // Each run starts from a heap that has handed its free memory back, so the base and the
  // longer run both pay for first touching the memory they keep (otherwise the base runs in
  // what the run before it freed, and the longer run alone pays).
  malloc_trim(0);
  int went = 0;
  const double c0 = ThreadSeconds();
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < copies; ++i) {
    DoPasteObjects();
    went += LastPasteWentOn() ? 1 : 0;
  }
  const double seconds = Seconds(t0, std::chrono::steady_clock::now());
  if (cpu) *cpu = ThreadSeconds() - c0;
  if (wentOn) *wentOn = copies > 1 ? static_cast<double>(went) / (copies - 1) : 0;
  return seconds;
}

void BM_Duplicate(benchmark::State& state) {
  double baseCpu = 0, cpu = 0, totalCpu = 0;
  const double base = PasteSeconds(600, nullptr, &baseCpu);
  double total = 0, wentOn = 0;
  for (auto _ : state) {
    total += PasteSeconds(static_cast<int>(state.range(0)), &wentOn, &cpu);
    totalCpu += cpu;
  }
  const double each = total / static_cast<double>(state.iterations());
  state.counters["600_s"] = base;
  state.counters["went_on"] = wentOn;
  // The same ratio in processor time (what the wall clock gives on a quiet machine).
  state.counters["cpu_ratio"] = baseCpu > 0 ? totalCpu / static_cast<double>(state.iterations()) / baseCpu : 0;
  state.counters["per_paste_ms"] = each * 1000 / static_cast<double>(state.range(0));
  state.counters["ratio"] = base > 0 ? each / base : 0;  // target at 1,500: at most 3
}
BENCHMARK(BM_Duplicate)->Arg(600)->Arg(1500)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same through Edit > Paste as the program takes it: each paste followed by the undo
// snapshot of the whole design it stores. Reported against 200 pastes timed in the same run
// ("ratio"; a snapshot writes the whole design, so this road grows with the design), with the
// share of the pastes that went on from the paste before ("went_on", 1 when all but the first).
double EditPasteSeconds(int copies, double* wentOn) {
  Scene scene(1000, true);
  int picked = 0;
  for (Objex* o = scene.doc.first->firstObject; o && picked < 16; o = o->next, ++picked) SelectObj(o, kSelectOn, 1);
  DoCopyObjects();
  const uint8_t undo = gUndoActive;
  gUndoActive = 1;
  InitializeUndo();
  int went = 0;
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < copies; ++i) {
    DoPasteObjects();
    went += LastPasteWentOn() ? 1 : 0;
    StoreUndoAfterPaste("Paste");
  }
  const double seconds = Seconds(t0, std::chrono::steady_clock::now());
  gUndoActive = undo;
  if (wentOn) *wentOn = copies > 1 ? static_cast<double>(went) / (copies - 1) : 0;
  return seconds;
}

void BM_DuplicateAsEditPaste(benchmark::State& state) {
  const double base = EditPasteSeconds(200, nullptr);
  double total = 0, wentOn = 0;
  for (auto _ : state) total += EditPasteSeconds(static_cast<int>(state.range(0)), &wentOn);
  const double each = total / static_cast<double>(state.iterations());
  state.counters["200_s"] = base;
  state.counters["per_paste_ms"] = each * 1000 / static_cast<double>(state.range(0));
  state.counters["went_on"] = wentOn;
  state.counters["ratio"] = base > 0 ? each / base : 0;  // linear would be 2.5 at 500
}
BENCHMARK(BM_DuplicateAsEditPaste)->Arg(200)->Arg(500)->Iterations(1)->Unit(benchmark::kMillisecond);

// Edit commands on the whole first floor of a design of houses, as the menu runs them (the
// undo snapshot, timed by bench_undo, left out): Group (/0), Move To Upper Floor (/1) and Copy
// To Upper Floor (/2), at 5,000 and 20,000 records. "ratio" is the time at 20k over four times the time at 5k: about 1
// when the command grows with the design, 4 when it is quadratic.
double WholeFloorEditSeconds(int records, int32_t command) {
  Scene scene(records, true);
  Layer* floor = scene.doc.first;
  scene.doc.model.itsCurLayer = floor;
  for (Objex* o = floor->firstObject; o; o = o->next) SelectObj(o, kSelectOn, 1);
  const uint8_t undo = gUndoActive;
  gUndoActive = 0;
  PlanViewActions actions;
  auto t0 = std::chrono::steady_clock::now();
  actions.perform(command);
  const double seconds = Seconds(t0, std::chrono::steady_clock::now());
  gUndoActive = undo;
  return seconds;
}

void BM_WholeFloorEdit(benchmark::State& state) {
  static const int32_t kCommands[] = {kCmdGroup, kCmdMoveToUpperFloor, kCmdCopyToUpperFloor};
  const int32_t command = kCommands[state.range(0)];
  double small = 0, large = 0;
  for (auto _ : state) {
    small += WholeFloorEditSeconds(5000, command);
    const double t = WholeFloorEditSeconds(20000, command);
    large += t;
    state.SetIterationTime(t);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["5k_ms"] = small / n * 1000;
  state.counters["20k_ms"] = large / n * 1000;
  state.counters["ratio"] = small > 0 ? large / (4 * small) : 0;  // target: at most 1.5
}
BENCHMARK(BM_WholeFloorEdit)->Arg(0)->Arg(1)->Arg(2)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

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

CASA_PROGRAM_BENCHMARK_MAIN()
