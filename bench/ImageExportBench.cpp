// The 3D view exported as a PNG of 1600 x 1200 at quality 2 (8 anti-aliased passes) against
// the same render at 800 x 600, both through the program's own 3D window on the X display
// (run under xvfb-run with QT_QPA_PLATFORM=xcb). The scene holds 12k triangles filling a walk
// view.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "model/Services.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RendererUpkeep.h"
#include "render3d/SceneFrame.h"
#include "TriangleField.h"

// Qt after the model: its `slots` keyword would clash with a record field.
#include "ProgramBench.h"
#include "app/LiveViewController.h"
#include "app/LiveViewExport.h"
#include "app/LiveViewOGLView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMainWindow>
#include <QWidget>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTriangles = 12000;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

void BM_ExportImage(benchmark::State& state) {
  if (!getenv("DISPLAY") || QGuiApplication::platformName() != "xcb") {
    state.SkipWithError("needs the X display: run under xvfb-run with QT_QPA_PLATFORM=xcb");
    return;
  }
  TestDocument doc;
  DocState* ds = doc.ds();
  // A walk view (quality 2 anti-aliases only perspective views) from 700 in front of the
  // triangles, which then fill the 45-degree view.
  ds->orthoView() = 0;
  ds->navigationMode = kNavWalkThrough;
  ds->controlledNavigation() = 0;
  ds->walkViewAngle() = 0;
  ds->walkEyePoint().floatH = 0;
  ds->walkEyePoint().floatV = 700;
  ds->walkEyeHeight() = 0;
  ds->planBounds = {-300, -400, 300, 400};
  ds->renderMode() = kRenderSolid;
  Layer* parts = CreateLayer("Parts", 0, 0, nullptr);
  AppendLayerToDocument(parts);
  Objex* owner = doc.addObject(kObjWall, false, {{0, 0}, {1, 0}}, parts);

  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  controller->window()->resize(320, 240);
  controller->showWindow();
  QElapsedTimer waited;
  waited.start();
  while (!(controller->liveViewOGLView() && controller->liveViewOGLView()->isValid()) && waited.elapsed() < 5000)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  if (!controller->liveViewOGLView() || !controller->liveViewOGLView()->isValid()) {
    state.SkipWithError("the 3D window got no OpenGL context");
    return;
  }
  bench::AppendTriangleField(owner, kTriangles);
  gRenderDirty = 0;

  const std::string path =
      (std::filesystem::temp_directory_path() / ("casa-export-" + std::to_string(getpid()) + ".png")).string();
  double exported = 0, rendered = 0, large = 0, encoded = 0;
  bool ok = true;
  for (auto _ : state) {
    auto t0 = Clock::now();
    ok = ExportLiveViewImage(path, 3, kQualityHigh, 1600, 1200) && ok;
    auto t1 = Clock::now();
    ok = PrepareLiveViewUsingQuality(kQualityHigh, 800, 600) && ok;
    auto t2 = Clock::now();
    exported += Seconds(t0, t1);
    rendered += Seconds(t1, t2);
    // Where the export's time goes: the render at its size, then the encoding.
    state.PauseTiming();
    auto t3 = Clock::now();
    ok = PrepareLiveViewUsingQuality(kQualityHigh, 1600, 1200) && ok;
    auto t4 = Clock::now();
    const QImage image = LiveViewOGLViewBitmapImage();
    ok = !EncodeLiveViewImage(image, 3).isEmpty() && ok;
    auto t5 = Clock::now();
    // The share of the image the triangles cover (pixels unlike the top left corner's).
    int64_t covered = 0;
    for (int y = 0; y < image.height(); y += 8)
      for (int x = 0; x < image.width(); x += 8) covered += image.pixel(x, y) != image.pixel(0, 0);
    state.counters["covered"] = static_cast<double>(covered) * 64 / (1600.0 * 1200.0);
    large += Seconds(t3, t4);
    encoded += Seconds(t4, t5);
    state.ResumeTiming();
  }
  std::remove(path.c_str());
  controller->orderOut();
  ResetSceneDisplayList();
  ResetViewpointDisplayList();
  DeleteAllRendererObjects();
  if (!ok) state.SkipWithError("an export or render failed");
  const double n = static_cast<double>(state.iterations());
  state.counters["export_ms"] = exported * 1000 / n;
  state.counters["render_800x600_ms"] = rendered * 1000 / n;
  state.counters["render_1600x1200_ms"] = large * 1000 / n;
  state.counters["encode_ms"] = encoded * 1000 / n;
  state.counters["ratio"] = rendered > 0 ? exported / rendered : 0;  // target: at most 4.5
}
BENCHMARK(BM_ExportImage)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

CASA_PROGRAM_BENCHMARK_MAIN();
