// Mouse moves over the plan view with no button held, at 5k and 50k records against 1k and one
// walk of the design: moves outside any click, and the moves of a tool's own loop between its
// clicks (the rubber band following the cursor). The view stands for the main window's plan
// view (its overlay and refresh) but is not shown: the redraw is not timed here (PlanBench).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "DesignGenerator.h"
#include "ProgramBench.h"
#include "app/PlanViewEventSource.h"
#include "app/ZLKDocumentView.h"
#include "model/Delete.h"
#include "model/HitTest.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/PlanarTransforms.h"
#include "model/ViewProjection.h"
#include "plandraw/Base2DView.h"
#include "plandraw/PlanViewHooks.h"
#include "tools/ObjectSnaps.h"
#include "model/Bounds.h"
#include "tools/ToolCodes.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

namespace {

constexpr int kWidth = 1600, kHeight = 1000;
ZLKDocumentView* gView = nullptr;

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

struct HoverScene {
  TestDocument doc;
  ZLKDocumentView view;
  explicit HoverScene(int records) {
    bench::GenerateDesign(doc, records, true);
    // The view stands for the main window's: its drawing, its overlay, its refresh.
    gView = &view;
    gPlanViewHooks.documentView = []() -> Base2DView* { return &gView->planDrawing(); };
    gPlanViewHooks.dynamicDrawEngine = [] { return &gView->dynamicDrawEngine(); };
    gFrontEnd.refreshDocumentVisibleView = [](ZLKDocumentModel*) { gView->refreshVisibleView(); };
    bench::LookDownOnThePlan();
    view.resize(kWidth, kHeight);
    doc.ds()->zoomFactor = 1.0f;
  }
  ~HoverScene() {
    gPlanViewHooks.documentView = nullptr;
    gPlanViewHooks.dynamicDrawEngine = nullptr;
    gFrontEnd.refreshDocumentVisibleView = nullptr;
    gView = nullptr;
  }
  QPointF at(double x, double y) const {
    const NSPoint origin = view.boundsOrigin();
    return QPointF(x - origin.x, y - origin.y);
  }
  void mouse(QEvent::Type type, QPointF p, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent event(type, p, view.mapToGlobal(p), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
  }
  void key(int k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &press);
  }
  // The i-th hover point: a small round over the first cells.
  QPointF hover(int i) const { return at(300 + 40 * std::cos(i * 0.1), 400 + 40 * std::sin(i * 0.1)); }
  void moves(int n) {
    for (int i = 0; i < n; ++i) mouse(QEvent::MouseMove, hover(i), Qt::NoButton, Qt::NoButton);
  }
  double walkSeconds() { return bench::WalkDesignSeconds(doc); }
  void selectOne(bool one) {
    for (Layer* l = doc.model.itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next)
        if (IsAnyObjectSelected(o)) SelectObj(o, kSelectOff, 1);
    if (!one) return;
    for (Objex* o = doc.first->firstObject; o; o = o->next)
      if (o->type == kObjWall) {
        SelectObj(o, kSelectOn, 1);
        return;
      }
  }
};

// Plain hover: moves with no button, outside any click. Milliseconds per move.
double PlainHoverMs(HoverScene& s, uint16_t tool, int n) {
  gCurTool = tool;
  auto t0 = std::chrono::steady_clock::now();
  s.moves(n);
  return Seconds(t0, std::chrono::steady_clock::now()) * 1000 / n;
}

// The moves of the tool's loop between clicks: the first click (press, optionally dragged to
// a second point, release) starts it; the moves are sent as one batch while the loop waits and
// timed until the loop waits again with the batch done; then clicks and keys end the loop.
// -1 when no loop took mouse moves; `ended` says whether the tool finished.
double LoopHoverMs(HoverScene& s, uint16_t tool, bool drag, int n, bool* ended) {
  gCurTool = tool;
  double ms = -1;
  auto t0 = std::chrono::steady_clock::now();
  int attempt = 0, armed = 0;
  std::function<void()> finish;
  // Every callback runs before this function returns (it waits for all that it armed).
  auto arm = [&](std::function<void()> step) {
    ++armed;
    QTimer::singleShot(0, [&armed, step] {
      --armed;
      step();
    });
  };
  finish = [&] {
    if (!s.view.eventSource().isWaiting() || attempt >= 40) return;
    // A click elsewhere, a right click, Escape, a double click, in turn.
    const QPointF a = s.at(700 + 30 * attempt, 650 + 10 * attempt);
    switch (attempt++ % 4) {
      case 0:
        s.mouse(QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
        s.mouse(QEvent::MouseButtonRelease, a, Qt::LeftButton, Qt::NoButton);
        break;
      case 1:
        s.mouse(QEvent::MouseButtonPress, a, Qt::RightButton, Qt::RightButton);
        s.mouse(QEvent::MouseButtonRelease, a, Qt::RightButton, Qt::NoButton);
        break;
      case 2:
        s.key(Qt::Key_Escape);
        break;
      default:
        s.mouse(QEvent::MouseButtonDblClick, a, Qt::LeftButton, Qt::LeftButton);
        s.mouse(QEvent::MouseButtonRelease, a, Qt::LeftButton, Qt::NoButton);
        break;
    }
    arm(finish);
  };
  arm([&] {
    PlanViewEventSource& source = s.view.eventSource();
    if (!source.isWaiting() || !source.acceptsMouseMovedEvents()) return finish();
    t0 = std::chrono::steady_clock::now();
    s.moves(n);
    arm([&] {
      ms = Seconds(t0, std::chrono::steady_clock::now()) * 1000 / n;
      finish();
    });
  });
  const QPointF down = s.at(200, 300), up = drag ? s.at(320, 300) : down;
  s.mouse(QEvent::MouseButtonPress, down, Qt::LeftButton, Qt::LeftButton);
  if (drag)
    for (int i = 1; i <= 4; ++i) s.mouse(QEvent::MouseMove, s.at(200 + 30 * i, 300), Qt::NoButton, Qt::LeftButton);
  s.mouse(QEvent::MouseButtonRelease, up, Qt::LeftButton, Qt::NoButton);
  while (armed > 0) QCoreApplication::processEvents();
  *ended = !s.view.isTracking() && !s.view.eventSource().isWaiting();
  return ms;
}

// `n` moves of a drag tracked from a press at the first hover point, with the button held, back
// to where it began; the mean time of a move in ms. The selection is dropped afterwards.
double TrackedMovesMs(HoverScene& s, int n) {
  gMouseCaptured = 1;
  auto point = [&](int i) {
    const QPointF p = s.hover(i);
    return POINT{static_cast<int32_t>(p.x()), static_cast<int32_t>(p.y())};
  };
  BeginTracking(point(0).x, point(0).y);
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 1; i <= n; ++i) KeepTracking(point(i).x, point(i).y, point(i - 1).x, point(i - 1).y);
  const double ms = Seconds(t0, std::chrono::steady_clock::now()) * 1000 / n;
  EndTracking(point(0).x, point(0).y, point(0).x, point(0).y);
  FinishTracking();
  gMouseCaptured = 0;
  s.selectOne(false);
  return ms;
}

// The steps of a drag with the tool of two selected walls, as the view sends them with the
// button held (the press and the release apart). It ends where it began, so that nothing turns
// or moves.
double DragMs(HoverScene& s, uint16_t tool, int n) {
  s.selectOne(false);
  int walls = 0;
  for (Objex* o = s.doc.first->firstObject; o && walls < 2; o = o->next)
    if (o->type == kObjWall) SelectObj(o, kSelectOn, 1), ++walls;
  gData3DRect = EmptyFloat3DRect();
  GetAllLayers3DBounds(s.doc.model.itsLayers, 1, &gData3DRect, 0);
  gDataRect = FloatRect{32000, 32000, -32000, -32000};
  GetAllLayersObjBounds(s.doc.model.itsLayers, 1, &gDataRect, 0, 0);
  gCurTool = tool;
  gClickInfo = ClickInfo{};
  gClickInfo.hitMode = 1;
  for (Objex* o = s.doc.first->firstObject; o && !gClickInfo.hitObject; o = o->next)
    if (IsAnyObjectSelected(o)) gClickInfo.hitObject = o;
  return TrackedMovesMs(s, n);
}

// The steps of a wall drawn with the wall tool from an empty press, as the view sends them
// with the button held. It ends where it began: a click, which makes no wall.
double WallDragMs(HoverScene& s, int n) {
  s.selectOne(false);
  gCurTool = kToolInteriorWall;
  gClickInfo = ClickInfo{};
  return TrackedMovesMs(s, n);
}

// The cases: 0 moves outside any click with the selection tool and a wall selected (the view
// takes no move without a button); 1 the polygon tool's rubber band after its first click; 2
// the same with the endpoint snap locked (each move hit-tests the design for the snap); 3 the
// curved wall's sweep after its chord (each move hit-tests the walls under the cursor); 4 the
// steps of a turn drag of two selected walls; 5 the steps of a move drag of them.
double CaseMs(HoverScene& s, int which, int moves) {
  double ms = -1;
  bool ended = false;
  // What the tool makes is taken away afterwards, so that every run clicks on the same design.
  std::vector<std::pair<Layer*, Objex*>> lasts;
  for (Layer* l = s.doc.model.itsLayers; l; l = l->next) lasts.emplace_back(l, LastObjectOfLayer(l));
  switch (which) {
    case 0:
      s.selectOne(true);
      PlainHoverMs(s, kToolSelection, 50);
      ms = PlainHoverMs(s, kToolSelection, moves);
      s.selectOne(false);
      break;
    case 1:
    case 2:
      gCurSnap = which == 2 ? 501 : 500;
      gSnapLocked = which == 2;
      ms = LoopHoverMs(s, kToolPolygon, false, moves, &ended);
      gCurSnap = 500;
      gSnapLocked = 0;
      break;
    case 3:
      ms = LoopHoverMs(s, kToolCurvedWall, true, moves, &ended);
      break;
    default:
      ms = DragMs(s, which == 4 ? kToolRotate : kToolSelection, moves);
      ended = true;
      break;
  }
  for (auto [layer, last] : lasts)
    while (Objex* made = last ? last->next : layer->firstObject) {
      UnlinkObject(made);
      DeleteObj(made);
    }
  if (which != 0 && !ended) ms = -1;
  gCurTool = kToolSelection;
  return ms;
}

// Each iteration's moves (`run` gives their time in ms, below zero when the tool's loop failed)
// and, untimed, one walk of the design: the means of both in ms. False when a run failed.
template <class Run>
bool TimeMoves(benchmark::State& state, HoverScene& s, Run run, double* move, double* walk) {
  double total = 0, walked = 0;
  for (auto _ : state) {
    const double ms = run();
    if (ms < 0) {
      state.SkipWithError("the tool's loop did not take the moves or did not end");
      return false;
    }
    total += ms;
    state.PauseTiming();
    walked += s.walkSeconds() * 1000;
    state.ResumeTiming();
  }
  *move = total / static_cast<double>(state.iterations());
  *walk = walked / static_cast<double>(state.iterations());
  return true;
}

// The moves at `records` against the same moves at 1k plus one walk of the design, both
// measured in the same run: "growth" is the move at records / the move at 1k (about 1 when
// the move does not look at the whole design), "walks" the move / one walk of the design.
void BM_HoverMove(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const int moves = which == 0 ? 2000 : which == 1 ? 200 : which >= 4 ? 100 : 20;
  double small = 0;
  {
    HoverScene s(1000);
    small = CaseMs(s, which, moves);
  }
  if (small < 0) {
    state.SkipWithError("the tool's loop did not take the moves or did not end");
    return;
  }
  HoverScene s(static_cast<int>(state.range(1)));
  double move = 0, walk = 0;
  if (!TimeMoves(state, s, [&] { return CaseMs(s, which, moves); }, &move, &walk)) return;
  state.counters["move_ms"] = move;
  state.counters["1k_ms"] = small;
  state.counters["walk_ms"] = walk;
  state.counters["growth"] = small > 0 ? move / small : 0;
  state.counters["walks"] = walk > 0 ? move / walk : 0;
  state.counters["ratio"] = move / (small + walk);
}
BENCHMARK(BM_HoverMove)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {5000, 50000}})
    ->ArgNames({"case", "records"})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// The moves of a gesture that hit-test under the cursor on every step: 0 a move drag of two
// selected walls, 1 the same with the endpoint snap locked, 2 a wall drawn, 3 the same with the
// endpoint snap locked, 4 the polygon's rubber band with the intersection snap locked (two hit
// tests a move). "walks" is the move against one walk of the design in the same run: about 1 or
// more when each move walks the design, far below 1 when the moves look up what the gesture
// measured once.
double GestureCaseMs(HoverScene& s, int which, int moves) {
  std::vector<std::pair<Layer*, Objex*>> lasts;
  for (Layer* l = s.doc.model.itsLayers; l; l = l->next) lasts.emplace_back(l, LastObjectOfLayer(l));
  const bool snapped = which == 1 || which == 3 || which == 4;
  gCurSnap = which == 4 ? 505 : snapped ? 501 : 500;
  gSnapLocked = snapped;
  double ms = -1;
  bool ended = true;
  switch (which) {
    case 0: case 1: ms = DragMs(s, kToolSelection, moves); break;
    case 2: case 3: ms = WallDragMs(s, moves); break;
    default: ms = LoopHoverMs(s, kToolPolygon, false, moves, &ended); break;
  }
  gCurSnap = 500;
  gSnapLocked = 0;
  for (auto [layer, last] : lasts)
    while (Objex* made = last ? last->next : layer->firstObject) {
      UnlinkObject(made);
      DeleteObj(made);
    }
  gCurTool = kToolSelection;
  return ended ? ms : -1;
}

void BM_GestureMove(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const int moves = which == 4 ? 40 : 100;
  HoverScene s(static_cast<int>(state.range(1)));
  double move = 0, walk = 0;
  if (!TimeMoves(state, s, [&] { return GestureCaseMs(s, which, moves); }, &move, &walk)) return;
  state.counters["move_ms"] = move;
  state.counters["walk_ms"] = walk;
  state.counters["walks"] = walk > 0 ? move / walk : 0;
}
BENCHMARK(BM_GestureMove)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {5000, 50000}})
    ->ArgNames({"case", "records"})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

CASA_PROGRAM_BENCHMARK_MAIN()
