// File > Open, Undo, StoreUndo, File > Save, a template read into the design and a plug-in's
// answer merged into it, on generated designs of houses (walls with doors, windows and attached
// dimensions, floors and roofs, built in 3D), each against its raw baseline measured in the same
// run: reading the bytes (and one pass over them), writing the same bytes to a temporary file
// and renaming it (with fsync for Save), or one walk of the design; and File > Open and Undo of
// a design with plants against the same design without them. The program's routines are
// installed (ProgramBench.h).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "DesignGenerator.h"
#include "ProgramBench.h"
#include "building3d/Plants3D.h"
#include "model/Plants.h"
#include "model/TextureIDs.h"
#include "platform/ContentPaths.h"
#include "RuntimeFolder.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/PlugInFile.h"
#include "files/PlugOutFile.h"
#include "files/StreamState.h"
#include "files/TemplateFile.h"
#include "files/Undo.h"
#include "model/DocumentModel.h"
#include "model/SymEntryInfo.h"

namespace {

namespace fs = std::filesystem;

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

std::vector<unsigned char> ReadAll(const fs::path& p) {
  std::vector<unsigned char> bytes;
  FILE* f = std::fopen(p.c_str(), "rb");
  if (!f) return bytes;
  std::fseek(f, 0, SEEK_END);
  bytes.resize(static_cast<size_t>(std::ftell(f)));
  std::fseek(f, 0, SEEK_SET);
  if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
  std::fclose(f);
  return bytes;
}

// The raw read: the file's bytes and one pass over them.
double RawRead(const fs::path& p) {
  auto t0 = std::chrono::steady_clock::now();
  std::vector<unsigned char> bytes = ReadAll(p);
  unsigned sum = 0;
  for (unsigned char b : bytes) sum += b;
  benchmark::DoNotOptimize(sum);
  return Seconds(t0, std::chrono::steady_clock::now());
}

// The raw write: the bytes into a temporary file renamed over the target, fsynced when asked.
double RawWrite(const fs::path& target, const std::vector<unsigned char>& bytes, bool durable) {
  auto t0 = std::chrono::steady_clock::now();
  const fs::path tmp = target.string() + ".raw";
  int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return 0;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  if (durable) fsync(fd);
  close(fd);
  std::rename(tmp.c_str(), target.c_str());
  if (durable) {
    int dir = open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
      fsync(dir);
      close(dir);
    }
  }
  return Seconds(t0, std::chrono::steady_clock::now());
}

// Opening as the menu does: a fresh document reads the file. Closing it again is timed apart
// (the menu leaves the design open), into *closeSeconds.
bool OpenFresh(const fs::path& p, double* closeSeconds) {
  ZLKDocumentModel fresh;
  bool ok;
  {
    CurrentDocumentScope scope(&fresh);
    ok = fresh.buildFreshState() && KeyFileRead(p.c_str());
  }
  auto t0 = std::chrono::steady_clock::now();
  ReleaseModelContents(&fresh);
  *closeSeconds += Seconds(t0, std::chrono::steady_clock::now());
  return ok;
}

void BM_Open(benchmark::State& state) {
  RuntimeFolder folder("casa-filebench");
  const fs::path file = folder.path / "design.ckd";
  {
    TestDocument doc;
    bench::GenerateDesign(doc, static_cast<int>(state.range(0)), true);
    KeyFileWrite(file.c_str());
  }
  TestDocument current;
  double open = 0, close = 0, raw = 0;
  bool ok = true;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    double closing = 0;
    ok = OpenFresh(file, &closing) && ok;
    open += Seconds(t0, std::chrono::steady_clock::now()) - closing;
    close += closing;
    state.PauseTiming();
    raw += RawRead(file);
    state.ResumeTiming();
  }
  state.counters["ok"] = ok ? 1 : 0;
  state.counters["bytes"] = static_cast<double>(fs::file_size(file));
  state.counters["raw_ms"] = raw * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio"] = raw > 0 ? open / raw : 0;  // target: at most 5
  state.counters["close_ms"] = close * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio_with_close"] = raw > 0 ? (open + close) / raw : 0;
}
BENCHMARK(BM_Open)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state) {
  RuntimeFolder folder("casa-filebench");
  const fs::path file = folder.path / "design.ckd";
  TestDocument doc;
  bench::GenerateDesign(doc, static_cast<int>(state.range(0)), true);
  KeyFileWrite(file.c_str());
  const std::vector<unsigned char> bytes = ReadAll(file);
  double save = 0, raw = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    KeyFileWrite(file.c_str());
    save += Seconds(t0, std::chrono::steady_clock::now());
    state.PauseTiming();
    raw += RawWrite(folder.path / "raw.ckd", bytes, true);
    state.ResumeTiming();
  }
  state.counters["raw_ms"] = raw * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio"] = raw > 0 ? save / raw : 0;  // target: at most 2
}
BENCHMARK(BM_Save)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_StoreUndoAtScale(benchmark::State& state) {
  RuntimeFolder folder("casa-filebench");
  TestDocument doc;
  bench::GenerateDesign(doc, static_cast<int>(state.range(0)), true);
  InitializeUndo();
  StoreUndo("Move");
  double store = 0, raw = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    StoreUndo("Move");
    store += Seconds(t0, std::chrono::steady_clock::now());
    state.PauseTiming();
    const fs::path snapshot = UndoStatePath(doc.model.itsCurrentUndo);
    const std::vector<unsigned char> bytes = ReadAll(snapshot);
    raw += RawWrite(folder.path / "raw.undo", bytes, false);
    state.ResumeTiming();
  }
  state.counters["raw_ms"] = raw * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio"] = raw > 0 ? store / raw : 0;  // target: at most 2
}
BENCHMARK(BM_StoreUndoAtScale)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_UndoAtScale(benchmark::State& state) {
  RuntimeFolder folder("casa-filebench");
  TestDocument doc;
  bench::GenerateDesign(doc, static_cast<int>(state.range(0)), true);
  InitializeUndo();
  StoreUndo("Move");
  double undo = 0, raw = 0;
  bool back = true;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    if (back) DoUndo();
    else DoRedo();
    undo += Seconds(t0, std::chrono::steady_clock::now());
    back = !back;
    state.PauseTiming();
    // The snapshot the step just restored.
    raw += RawRead(UndoStatePath(doc.model.itsCurrentUndo));
    state.ResumeTiming();
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size(UndoStatePath(doc.model.itsCurrentUndo)));
  state.counters["raw_ms"] = raw * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio"] = raw > 0 ? undo / raw : 0;  // target: at most 5
}
BENCHMARK(BM_UndoAtScale)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// A template of the design read into the design (as the content palette drops one): every wall
// refits its attachments as it arrives, the floor's attached dimensions measured once at the end.
// Against the raw read of the template file.
void BM_TemplateRead(benchmark::State& state) {
  RuntimeFolder folder("casa-filebench");
  const fs::path file = folder.path / "template.qtf";
  const int records = static_cast<int>(state.range(0));
  {
    TestDocument doc;
    bench::GenerateDesign(doc, records, true);
    KeyFileWrite(file.c_str());
  }
  double read = 0, raw = 0;
  bool ok = true;
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<TestDocument>();
    bench::GenerateDesign(*doc, records, true);
    const int16_t entryType = gSelectedContentEntryType;
    gSelectedContentEntryType = kEntryTemplate;
    gUpdateID = 1;
    state.ResumeTiming();
    auto t0 = std::chrono::steady_clock::now();
    ok = TemplateFileRead(file.c_str()) == 1 && ok;
    read += Seconds(t0, std::chrono::steady_clock::now());
    state.PauseTiming();
    gUpdateID = 0;
    gSelectedContentEntryType = entryType;
    doc.reset();
    raw += RawRead(file);
    state.ResumeTiming();
  }
  state.counters["ok"] = ok ? 1 : 0;
  state.counters["raw_ms"] = raw * 1000 / static_cast<double>(state.iterations());
  // Measured per wall against the whole floor, the 10k read took about 2,600 times the raw read.
  state.counters["ratio"] = raw > 0 ? read / raw : 0;  // target: at most 40
}
BENCHMARK(BM_TemplateRead)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

// A plug-in's answer merged into the design (PlugOutFileRead, as when a plug-in closes with
// changes), against one plain walk of the design: 1% of the top-level objects replaced by ID
// with records of themselves (mode 0), a copy of every top-level object added (mode 1), or every
// wall of the current floor replaced by a record of itself (mode 2). The walls read put off
// measuring the current floor's attached wall dimensions to the end of the read; before a
// replaced wall leaves the plan, only those that can be measured to it are measured. Measured
// after every wall, adding the copies of 20k records took some 24 seconds; the whole floor
// measured before each replaced wall left, replacing the walls of 20k records some 13.
void BM_PlugOutMerge(benchmark::State& state) {
  RuntimeFolder folder("casa-filebench");
  const fs::path file = folder.path / "data.qxf";
  const int records = static_cast<int>(state.range(0));
  double merged = 0, walked = 0;
  bool ok = true;
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<TestDocument>();
    bench::GenerateDesign(*doc, records, true);
    // Header (plug-in 131, version 11000, platform 2), then the records (each replacement after
    // tag 309 and the ID it replaces).
    std::vector<uint8_t> bytes;
    auto u16 = [&](uint32_t v) { bytes.push_back(uint8_t(v)), bytes.push_back(uint8_t(v >> 8)); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    u32(131), u32(kVersionExchange11000), u16(2);
    int n = 0;
    for (Layer* l = doc->model.itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next, ++n) {
        if (state.range(1) == 0) {
          if (n % 100 != 7) continue;
          u16(kTagExchangeReplaceObject), u32(o->objectID);
        } else if (state.range(1) == 2) {
          if (l != doc->model.itsCurLayer || o->type != kObjWall) continue;
          u16(kTagExchangeReplaceObject), u32(o->objectID);
        }
        BeginOutputBuffer();
        sWriteVersion = kVersionExchange11000;
        WriteAPlugInObject(o);
        bytes.insert(bytes.end(), gStream.outDataBuffer.begin(), gStream.outDataBuffer.end());
        ReleaseOutputBuffer();
      }
    u16(kTagExchangeObjectsEnd);
    FILE* f = std::fopen(file.c_str(), "wb");
    ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && ok;
    if (f) std::fclose(f);
    walked += bench::WalkDesignSeconds(*doc);
    state.ResumeTiming();
    auto t0 = std::chrono::steady_clock::now();
    ok = PlugOutFileRead(file.c_str()) == 1 && ok;
    merged += Seconds(t0, std::chrono::steady_clock::now());
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  state.counters["ok"] = ok ? 1 : 0;
  state.counters["walk_ms"] = walked * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio"] = walked > 0 ? merged / walked : 0;
}
BENCHMARK(BM_PlugOutMerge)
    ->Args({5000, 0})
    ->Args({20000, 0})
    ->Args({5000, 1})
    ->Args({20000, 1})
    ->Args({5000, 2})
    ->Args({20000, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Designs of houses of state.range(0) records, once as they are and once with state.range(1)
// plants of 20 kinds added on the first floor, their information files in a shared folder of their own
// written an hour before. Each plant's record is filled from its kind's file as the design is
// read: File > Open and an undo step of the design with plants, against the same without them
// in the same iteration ("plants_ratio"; target at most 1.2).
struct PlantDesigns {
  RuntimeFolder folder{"casa-plantbench"};
  fs::path withPlants = folder.path / "plants.ckd", without = folder.path / "bare.ckd";
  std::string savedShared = LocalDomainUserSharedPath();
  static constexpr int kKinds = 20;
  int plants;

  PlantDesigns(int records, int plantCount) : plants(plantCount) {
    SetUserSharedRoot((folder.path / "shared").string());
    for (int k = 0; k < kKinds; ++k) {
      char path[kTexturePathSize] = {};
      GetTextureInfoFileNameFromID(3000 + k, path, sizeof path);
      fs::create_directories(fs::path(path).parent_path());
      std::ofstream(path) << "[Description]\nCommonName=Plant " << k << "\nBotanicalName=Planta " << k
                          << "\nType=2\nPropagation=3\nWater=2\nSunLight=3\nMaximumGrowthHeight=" << 120 + k
                          << "\nSoilType=4\nZone3=1\nZone4=1\nZone5=1\nAnnualGrowthRate=12\n";
      fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    TestDocument doc;
    bench::GenerateDesign(doc, records, true);
    KeyFileWrite(without.c_str());
    AddPlants(doc, plants);
    KeyFileWrite(withPlants.c_str());
  }
  ~PlantDesigns() { SetUserSharedRoot(savedShared); }

  static void AddPlants(TestDocument& doc, int count) {
    for (int i = 0; i < count; ++i) {
      Objex* plant = BuildLandscapePlant(doc.first, 1, 3000 + i % kKinds);
      if (!plant) continue;
      const float dx = static_cast<float>(i % 25) * 50, dz = -100 - static_cast<float>(i / 25) * 50;
      for (Poinz* p = plant->firstPoint; p; p = p->next) p->position[0] += dx, p->position[2] += dz;
      UpdateObjectBounds(plant);
    }
  }
};

void BM_OpenWithPlants(benchmark::State& state) {
  PlantDesigns designs(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  TestDocument current;
  double plants = 0, bare = 0;
  bool ok = true;
  for (auto _ : state) {
    // Closing each design again is timed apart by OpenFresh and left out.
    double closingPlants = 0, closingBare = 0;
    auto t0 = std::chrono::steady_clock::now();
    ok = OpenFresh(designs.withPlants, &closingPlants) && ok;
    auto t1 = std::chrono::steady_clock::now();
    ok = OpenFresh(designs.without, &closingBare) && ok;
    auto t2 = std::chrono::steady_clock::now();
    plants += Seconds(t0, t1) - closingPlants;
    bare += Seconds(t1, t2) - closingBare;
  }
  state.counters["ok"] = ok ? 1 : 0;
  state.counters["plants_ms"] = plants * 1000 / static_cast<double>(state.iterations());
  state.counters["bare_ms"] = bare * 1000 / static_cast<double>(state.iterations());
  state.counters["plants_ratio"] = bare > 0 ? plants / bare : 0;
}
BENCHMARK(BM_OpenWithPlants)->Args({10000, 500})->Args({10000, 2000})->Unit(benchmark::kMillisecond)->Iterations(10);

// Undo and redo in turn on each design after one edit (each step restores a whole snapshot).
void BM_UndoWithPlants(benchmark::State& state) {
  PlantDesigns designs(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  TestDocument plantDoc, bareDoc;
  plantDoc.model.itsDocID = 7101;
  bareDoc.model.itsDocID = 7102;
  bool ok = true;
  for (auto [doc, file] : {std::pair{&plantDoc, designs.withPlants}, std::pair{&bareDoc, designs.without}}) {
    CurrentDocumentScope scope(&doc->model);
    ok = KeyFileRead(file.c_str()) == 1 && ok;
    InitializeUndo();
    StoreUndo("Move");
  }
  double plants = 0, bare = 0;
  bool back = true;
  for (auto _ : state) {
    for (TestDocument* doc : {&plantDoc, &bareDoc}) {
      CurrentDocumentScope scope(&doc->model);
      auto t0 = std::chrono::steady_clock::now();
      if (back) DoUndo();
      else DoRedo();
      (doc == &plantDoc ? plants : bare) += Seconds(t0, std::chrono::steady_clock::now());
    }
    back = !back;
  }
  int read = 0;
  for (Objex* o = plantDoc.model.itsLayers ? plantDoc.model.itsLayers->firstObject : nullptr; o; o = o->next)
    read += o->type == kObjPlant && o->plantInfo && o->plantInfo->maximumGrowthHeight >= 120;
  state.counters["ok"] = ok && read == designs.plants ? 1 : 0;
  state.counters["plants_ms"] = plants * 1000 / static_cast<double>(state.iterations());
  state.counters["bare_ms"] = bare * 1000 / static_cast<double>(state.iterations());
  state.counters["plants_ratio"] = bare > 0 ? plants / bare : 0;
}
BENCHMARK(BM_UndoWithPlants)->Args({10000, 500})->Args({10000, 2000})->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

CASA_PROGRAM_BENCHMARK_MAIN()
