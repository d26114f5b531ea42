// The content library's lists and grid at scale, each against its raw baseline in the same
// run (reported as the counter "ratio"):
//  - listing a folder of 500 stock plants against checking the same files and reading each
//    information file once;
//  - the preview cache of 2,000 materials against checking their files;
//  - drawing a 2,000-entry category against a 50-entry one at the same size;
//  - the plant condition search over 2,000 stock information files against reading each
//    file once.
#include "content/ContentServices.h"
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QScrollBar>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "content/ContentCategoryItem.h"
#include "content/ContentLibraryManager.h"
#include "content/ContentView.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "content/ContentSearches.h"
#include "model/TextureIDs.h"
#include "platform/ContentPaths.h"
#include "platform/IniFile.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "bench_content";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

struct Folder {
  fs::path path;
  explicit Folder(const char* name) {
    path = fs::temp_directory_path() / (std::string("casa-bench-") + name + "-" + std::to_string(getpid()));
    fs::create_directories(path);
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

struct Design {
  ZLKDocumentModel model;
  Design() {
    model.itsDocState = CreateDocState();
    gCurDocument = &model;
  }
  ~Design() {
    model.deleteContents();
    gCurDocument = nullptr;
  }
};

void WriteImage(const fs::path& path) {
  static const QByteArray png = [] {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(qRgb(90, 120, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
  }();
  std::ofstream(path, std::ios::binary).write(png.constData(), png.size());
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

void BM_ListStockPlants(benchmark::State& state) {
  App();
  Design design;
  Folder folder("plants");
  const int n = 500;
  for (int i = 1; i <= n; ++i) {
    const std::string stem = (folder.path / ("TREE" + std::to_string(i))).string();
    std::ofstream(stem + ".QTX") << "x";
    std::ofstream(stem + ".QTI") << "[Description]\nCommonName=Tree " << i << "\nMaximumGrowthHeight=240\n";
  }
  ContentCategoryItem trees("Trees", folder.path.string(), nullptr, kCategoryPlants, kLibraryPlants);
  trees.setBaseTextureID(7000, n, "TREE");
  double listing = 0, raw = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    ContentLibraryManager::sharedContentLibraryManager().rebuildSymEntryListForItem(&trees);
    auto t1 = Clock::now();
    size_t found = 0;
    char value[250];
    for (int i = 1; i <= n; ++i) {
      const std::string stem = (folder.path / ("TREE" + std::to_string(i))).string();
      if (!Exists(stem + ".QTX") || !Exists(stem + ".QTI")) continue;
      Exists(stem + ".QPV");
      GetPrivateProfileString("Description", "CommonName", "", value, sizeof value, (stem + ".QTI").c_str());
      ++found;
    }
    auto t2 = Clock::now();
    benchmark::DoNotOptimize(found);
    listing += std::chrono::duration<double>(t1 - t0).count();
    raw += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  state.counters["entries"] = static_cast<double>(trees.numberOfSymEntries());
  state.counters["ratio"] = raw > 0 ? listing / raw : 0;
}
BENCHMARK(BM_ListStockPlants)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_PreviewCacheOfMaterials(benchmark::State& state) {
  App();
  Design design;
  Folder folder("materials");
  const int n = 2000;
  ContentCategoryItem brick("Brick", folder.path.string(), nullptr, kCategoryMaterials, kLibraryMaterials);
  std::vector<std::string> paths;
  for (int i = 1; i <= n; ++i) {
    const std::string path = (folder.path / ("BRICK" + std::to_string(i) + ".QTX")).string();
    WriteImage(path);
    paths.push_back(path);
    brick.addSymEntryWithPreviewPath(nullptr, nullptr, path.c_str(), "Brick", 850 + i, i, kEntryMaterial);
  }
  ContentView view;
  view.resize(300, 400);
  view.show();
  double cache = 0, raw = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    view.invalidateCacheAndSetNewSource(&brick);
    view.rebuildPreviewCache();
    auto t1 = Clock::now();
    size_t found = 0;
    for (const std::string& p : paths) found += Exists(p) ? 1 : 0;
    auto t2 = Clock::now();
    benchmark::DoNotOptimize(found);
    cache += std::chrono::duration<double>(t1 - t0).count();
    raw += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  state.counters["ratio"] = raw > 0 ? cache / raw : 0;
}
BENCHMARK(BM_PreviewCacheOfMaterials)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_DrawLargeCategory(benchmark::State& state) {
  App();
  Design design;
  Folder folder("draw");
  const std::string image = (folder.path / "M.QTX").string();
  WriteImage(image);
  ContentCategoryItem large("Large", "", nullptr, kCategoryMaterials, kLibraryMaterials);
  ContentCategoryItem small("Small", "", nullptr, kCategoryMaterials, kLibraryMaterials);
  for (int i = 1; i <= 2000; ++i) {
    large.addSymEntryWithPreviewPath(nullptr, nullptr, image.c_str(), "M", 850, i, kEntryMaterial);
    if (i <= 50) small.addSymEntryWithPreviewPath(nullptr, nullptr, image.c_str(), "M", 850, i, kEntryMaterial);
  }
  ContentView bigView, smallView;
  for (auto* v : {&bigView, &smallView}) {
    v->resize(300, 500);
    v->show();
  }
  bigView.invalidateCacheAndSetNewSource(&large);
  bigView.rebuildPreviewCache();
  smallView.invalidateCacheAndSetNewSource(&small);
  smallView.rebuildPreviewCache();
  QImage target(300, 500, QImage::Format_RGB32);
  // Scrolled to the middle of the large list; the images decode once before timing.
  bigView.verticalScrollBar()->setValue(bigView.verticalScrollBar()->maximum() / 2);
  bigView.viewport()->render(&target);
  smallView.viewport()->render(&target);
  double big = 0, little = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    bigView.viewport()->render(&target);
    auto t1 = Clock::now();
    smallView.viewport()->render(&target);
    auto t2 = Clock::now();
    big += std::chrono::duration<double>(t1 - t0).count();
    little += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  state.counters["ratio"] = little > 0 ? big / little : 0;
}
BENCHMARK(BM_DrawLargeCategory)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

// The libraries linked here serve the model's calls, as in the program.
const bool kServicesInstalled = [] {
  InstallContentServices();
  return true;
}();

void BM_PlantConditionSearch(benchmark::State& state) {
  App();
  Design design;
  Folder folder("plant-search");
  const std::string savedShared = LocalDomainUserSharedPath();
  SetUserSharedRoot(folder.path.string());
  std::vector<std::string> infos;
  for (int row = 0; row < kStockPlantRanges && infos.size() < 2000; ++row) {
    const StockPlantRange& range = kStockPlantSearchRanges[row];
    for (int32_t i = 0; i < range.count && infos.size() < 2000; ++i) {
      char name[kTexturePathSize] = {};
      GetTextureInfoFileNameFromID(range.firstID + i, name, sizeof name);
      const fs::path info(name);
      fs::create_directories(info.parent_path());
      std::ofstream(info) << "[Description]\nCommonName=Plant " << i << "\nSunLight=" << (i % 4 + 1)
                          << "\nWater=2\nSoilType=" << (i % 9 + 1) << "\nZone" << (i % 10 + 1) << "=1\n";
      std::ofstream(fs::path(name).replace_extension(".QTX")) << "x";
      infos.push_back(info.string());
    }
  }
  ContentCategoryItem results("Search results", "", nullptr, kCategoryPlants, 23);
  PlantConditionFilters filters;
  filters.sun = 2;
  filters.zone = 0x3FF;
  double search = 0, raw = 0;
  for (auto _ : state) {
    results.removeAllSymEntries();
    auto t0 = Clock::now();
    SearchOEMPlantsUsingConditions(&results, filters, 100000);
    auto t1 = Clock::now();
    size_t bytes = 0;
    char buffer[4096];
    for (const std::string& path : infos) {
      std::ifstream in(path, std::ios::binary);
      while (in.read(buffer, sizeof buffer) || in.gcount() > 0) bytes += static_cast<size_t>(in.gcount());
    }
    auto t2 = Clock::now();
    benchmark::DoNotOptimize(bytes);
    search += std::chrono::duration<double>(t1 - t0).count();
    raw += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  SetUserSharedRoot(savedShared);
  state.counters["hits"] = static_cast<double>(results.numberOfSymEntries());
  state.counters["ratio"] = raw > 0 ? search / raw : 0;
}
BENCHMARK(BM_PlantConditionSearch)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

BENCHMARK_MAIN();
