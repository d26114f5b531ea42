// File > Open of designs whose walls all lie on one floor: houses of 10 walls (each with a door
// and a window, every third with an attached wall dimension), a floor and a gable roof each,
// 1,000, 10,000 and 50,000 walls. The design is opened through ZLKDocument::readFromFile as the
// menu opens it, against the raw read of the same file (its bytes and one pass over them)
// measured in the same run (the mean of five reads): "ratio" by the clock, "cpu_ratio" by this
// thread's processor time, which a busy machine disturbs less. Each size after the first
// reports how much longer it took than the size before, scaled to ten times the walls
// ("growth_per_10x", "cpu_growth_per_10x": linear growth gives 10). The same for rebuilding
// every wall of the opened floor (the layer walkers' road), for the undo snapshot's writing, and
// for each other road that rebuilds many walls of the floor: an undo step restored, every wall
// copied and pasted, a plug-in's answer replacing every wall, every wall moved and resized, and
// a custom door definition applied again to every door. Each of them measures the floor's
// attached dimensions once, not once per wall.
// The program's routines are installed (ProgramBench.h).
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "DesignGenerator.h"
#include "ProgramBench.h"
#include "RuntimeFolder.h"
#include "app/ZLKDocument.h"
#include "building3d/Walls3D.h"
#include "files/ByteStream.h"
#include "files/Clipboard.h"
#include "files/DesignFile.h"
#include "files/PlugInFile.h"
#include "files/PlugOutFile.h"
#include "files/StreamState.h"
#include "files/Undo.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/Delete.h"
#include "model/DocumentModel.h"
#include "model/SymEntryInfo.h"
#include "model/TransformInfo.h"
#include "openings/CustomDefinitions.h"
#include "platform/ContentPaths.h"
#include "tools/WallAttachments.h"

namespace {

namespace fs = std::filesystem;

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// The processor time of this thread (its system time included: the raw read is mostly the
// kernel's copy), which other work on a busy machine does not stretch as it stretches the clock.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Clock and processor seconds summed over the timed stretches.
struct Timed {
  double clock = 0, cpu = 0;
  template <typename F>
  void add(F&& f) {
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = ThreadSeconds();
    f();
    cpu += ThreadSeconds() - c0;
    clock += Seconds(t0, std::chrono::steady_clock::now());
  }
};

// The raw read: the file's bytes and one pass over them.
void RawRead(const fs::path& p) {
  std::vector<unsigned char> bytes;
  if (FILE* f = std::fopen(p.c_str(), "rb")) {
    std::fseek(f, 0, SEEK_END);
    bytes.resize(static_cast<size_t>(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
    std::fclose(f);
  }
  unsigned sum = 0;
  for (unsigned char b : bytes) sum += b;
  benchmark::DoNotOptimize(sum);
}

// Five raw reads, timed into `raw` as one (their mean): one read of a few milliseconds varies
// much more on a busy machine than an open of some hundreds.
void RawReads(const fs::path& p, Timed* raw) {
  constexpr int kReads = 5;
  Timed five;
  five.add([&] {
    for (int i = 0; i < kReads; ++i) RawRead(p);
  });
  raw->clock += five.clock / kReads;
  raw->cpu += five.cpu / kReads;
}

constexpr int kWallsPerHouse = 10;
// A house takes a square of this side; houses lie in rows as long as the floor is deep.
constexpr float kHouseSize = 420.0f;

// `walls` walls on the first floor, in houses of 10: two rows of five U-shaped walls 80 apart,
// each facing its neighbours, a floor under them and a gable roof over them.
void GenerateOneFloor(TestDocument& doc, int walls) {
  Layer* floor = doc.first;
  const int houses = (walls + kWallsPerHouse - 1) / kWallsPerHouse;
  int perRow = 1;
  while (perRow * perRow < houses) ++perRow;
  int made = 0;
  for (int house = 0; made < walls; ++house) {
    const float ox = static_cast<float>(house % perRow) * kHouseSize;
    const float oz = static_cast<float>(house / perRow) * kHouseSize;
    for (int i = 0; i < kWallsPerHouse && made < walls; ++i, ++made) {
      const float x = ox + static_cast<float>(i % 5) * 80.0f + 5.0f;
      const float z = oz + static_cast<float>(i / 5) * 200.0f + 5.0f;
      Objex* w = bench::NewObject(kObjWall, false);
      w->subtype = kSubExteriorWall;
      w->width = 6;
      bench::AddPoints(w, {{x, z}, {x + 60, z}, {x + 60, z + 120}});
      bench::Place(w, floor);
      bench::AddHouseWall(w, made % 3 == 0);
    }
    Objex* slab = bench::AddPoints(bench::NewObject(kObjFloor, true),
                                   {{ox, oz}, {ox + 400, oz}, {ox + 400, oz + 330}, {ox, oz + 330}});
    slab->width = 6;
    bench::Place(slab, floor);
    Update3DFloorSkirting(slab);
    Objex* roof = bench::AddPoints(bench::NewObject(kObjRoof, true),
                                   {{ox, oz}, {ox + 400, oz}, {ox + 400, oz + 330}, {ox, oz + 330}});
    roof->width = 6;
    roof->textureID = 2;
    bench::Place(roof, floor);
    Update3DRoof(roof);
  }
  Layer* current = doc.model.itsCurLayer;
  doc.model.itsCurLayer = floor;
  UpdateAttachedDimLayerService(floor);
  doc.model.itsCurLayer = current;
  for (Objex* o = floor->firstObject; o; o = o->next) SetObjectSelectFlags(o, 0);
}

// The clock and processor seconds each size took per iteration, by road, for the growth to
// the next size.
std::map<int, Timed>& TimesOf(const std::string& road) {
  static std::map<std::string, std::map<int, Timed>> times;
  return times[road];
}

// Reports the road's time against the raw reads' and the growth from the size before.
void Report(benchmark::State& state, const std::string& road, int size, const Timed& timed, const Timed& raw) {
  const double iterations = static_cast<double>(state.iterations());
  state.counters[road + "_ms"] = timed.clock * 1000 / iterations;
  state.counters["raw_ms"] = raw.clock * 1000 / iterations;
  state.counters["ratio"] = raw.clock > 0 ? timed.clock / raw.clock : 0;
  state.counters["cpu_ratio"] = raw.cpu > 0 ? timed.cpu / raw.cpu : 0;
  std::map<int, Timed>& bySize = TimesOf(road);
  bySize[size] = Timed{timed.clock / iterations, timed.cpu / iterations};
  auto it = bySize.find(size);
  if (it == bySize.begin()) return;
  const auto before = std::prev(it);
  const double sizes = static_cast<double>(size) / before->first;
  // Growth as if the walls had grown tenfold at the same rate per wall: target at most 11.
  state.counters["growth_per_10x"] = it->second.clock / before->second.clock / sizes * 10;
  state.counters["cpu_growth_per_10x"] = it->second.cpu / before->second.cpu / sizes * 10;
}

void BM_OpenOneFloor(benchmark::State& state) {
  RuntimeFolder folder("casa-onefloor");
  const int walls = static_cast<int>(state.range(0));
  const fs::path file = folder.path / "design.pro";
  int dimensions = 0;
  {
    TestDocument doc;
    GenerateOneFloor(doc, walls);
    for (Objex* o = doc.first->firstObject; o; o = o->next)
      for (Objex* c = o->firstChild; c; c = c->next) dimensions += c->subtype == kSubDimensionAttachment;
    KeyFileWrite(file.c_str());
  }
  Timed open, raw;
  bool ok = true;
  int read = 0;
  for (auto _ : state) {
    // Each open goes into a new window's empty document, as File > Open does; making the
    // document and closing it again are not timed.
    state.PauseTiming();
    ZLKDocument* document = ZLKDocument::init();
    state.ResumeTiming();
    if (!document) {
      state.SkipWithError("no document");
      return;
    }
    open.add([&] { ok = document->readFromFile(file.string(), ZLKDocument::kDesignFileType) && ok; });
    state.PauseTiming();
    // What was opened: every wall on the one floor.
    read = 0;
    if (ZLKDocumentModel* m = document->documentModel(); m && m->itsLayers)
      for (Objex* o = m->itsLayers->firstObject; o; o = o->next) read += o->type == kObjWall;
    delete document;
    RawReads(file, &raw);
    state.ResumeTiming();
  }
  state.counters["ok"] = ok && read == walls ? 1 : 0;
  state.counters["dimensions"] = dimensions;
  state.counters["bytes"] = static_cast<double>(fs::file_size(file));
  // Target at 10,000 walls: a ratio of at most 20.
  Report(state, "open", walls, open, raw);
}
// Fewer iterations as the design grows (in this order: each size's growth is from the one before).
BENCHMARK(BM_OpenOneFloor)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_OpenOneFloor)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OpenOneFloor)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(2);

// A generated one-floor design of `walls` walls written to `file` and opened as the program
// opens it; null (the benchmark told why) when it does not open.
ZLKDocument* OpenGenerated(const fs::path& file, int walls, benchmark::State& state) {
  {
    TestDocument doc;
    GenerateOneFloor(doc, walls);
    KeyFileWrite(file.c_str());
  }
  ZLKDocument* document = ZLKDocument::init();
  if (!document || !document->readFromFile(file.string(), ZLKDocument::kDesignFileType)) {
    delete document;
    state.SkipWithError("the design did not open");
    return nullptr;
  }
  return document;
}

// Every wall of the opened floor rebuilt in 3D and its attachments refitted, as the layer
// walkers do it (the floor current), against the raw read of the design's file.
void BM_RebuildOneFloor(benchmark::State& state) {
  RuntimeFolder folder("casa-onefloor");
  const int walls = static_cast<int>(state.range(0));
  const fs::path file = folder.path / "design.pro";
  ZLKDocument* document = OpenGenerated(file, walls, state);
  if (!document) return;
  ZLKDocumentModel* model = document->documentModel();
  Layer* floor = model->itsLayers;
  model->itsCurLayer = floor;
  Timed rebuild, raw;
  for (auto _ : state) {
    rebuild.add([&] {
      Update3DWallLayer(floor);
      UpdateAllWallAttachmentsLayer(floor);
    });
    state.PauseTiming();
    RawReads(file, &raw);
    state.ResumeTiming();
  }
  delete document;
  Report(state, "rebuild", walls, rebuild, raw);
}
BENCHMARK(BM_RebuildOneFloor)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RebuildOneFloor)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RebuildOneFloor)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(2);

// The undo snapshot every open and every edit writes: the opened design laid into the output
// buffer by the design writer (the file itself not written), against the raw read of the file.
void BM_SnapshotOneFloor(benchmark::State& state) {
  RuntimeFolder folder("casa-onefloor");
  const int walls = static_cast<int>(state.range(0));
  const fs::path file = folder.path / "design.pro";
  ZLKDocument* document = OpenGenerated(file, walls, state);
  if (!document) return;
  Timed write, raw;
  size_t bytes = 0;
  for (auto _ : state) {
    write.add([&] {
      BeginOutputBuffer();
      WriteDesignToOutputBuffer();
      bytes = gStream.outDataBuffer.size();
      ReleaseOutputBuffer();
    });
    state.PauseTiming();
    RawReads(file, &raw);
    state.ResumeTiming();
  }
  delete document;
  // The snapshot holds what the file holds.
  state.counters["ok"] = bytes == fs::file_size(file) ? 1 : 0;
  Report(state, "snapshot", walls, write, raw);
}
BENCHMARK(BM_SnapshotOneFloor)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_SnapshotOneFloor)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_SnapshotOneFloor)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(4);

// A generated one-floor design opened as the program opens it, its floor current.
struct OpenedFloor {
  RuntimeFolder folder{"casa-onefloor"};
  fs::path file;
  ZLKDocument* document = nullptr;
  ZLKDocumentModel* model = nullptr;
  Layer* floor = nullptr;
  int walls = 0;

  OpenedFloor(int wallCount, benchmark::State& state) : file(folder.path / "design.pro"), walls(wallCount) {
    document = OpenGenerated(file, walls, state);
    if (!document) return;
    model = document->documentModel();
    gCurDocument = model;
    floor = model->itsLayers;
    model->itsCurLayer = floor;
  }
  ~OpenedFloor() { delete document; }
  OpenedFloor(const OpenedFloor&) = delete;
  OpenedFloor& operator=(const OpenedFloor&) = delete;

  int countWalls() const {
    int n = 0;
    for (Objex* o = floor->firstObject; o; o = o->next) n += o->type == kObjWall;
    return n;
  }
  void selectWalls() const {
    for (Objex* o = floor->firstObject; o; o = o->next)
      if (o->type == kObjWall) SelectObj(o, kSelectOn, 0);
  }
};

// Times `road` on an opened floor of state.range(0) walls against the raw read of its file;
// `check` tells after the run whether the road did its work.
template <typename Road, typename Check>
void TimeRoad(benchmark::State& state, const std::string& name, OpenedFloor& opened, Road&& road, Check&& check) {
  Timed timed, raw;
  for (auto _ : state) {
    timed.add(road);
    state.PauseTiming();
    RawReads(opened.file, &raw);
    state.ResumeTiming();
  }
  state.counters["ok"] = check() ? 1 : 0;
  Report(state, name, opened.walls, timed, raw);
}

// Undo and redo in turn after one edit: each restores a whole snapshot of the floor. Besides
// the raw read, the same snapshot is read as a design of its own while the floor stays open,
// and that design dropped again ("beside"): what a restore cannot do without, since a snapshot
// that fails to read must leave the design as it was. Its growth is reported as
// "beside_growth_per_10x", and the restore against it as "beside_ratio".
void BM_UndoRestoreOneFloor(benchmark::State& state) {
  OpenedFloor opened(static_cast<int>(state.range(0)), state);
  if (!opened.document) return;
  StoreUndo("Move");
  bool back = true;
  Timed timed, raw, beside;
  for (auto _ : state) {
    timed.add([&] {
      if (back) DoUndo();
      else DoRedo();
    });
    back = !back;
    state.PauseTiming();
    RawReads(opened.file, &raw);
    const std::string snapshot = UndoStatePath(opened.model->itsCurrentUndo);
    beside.add([&] {
      ZLKDocumentModel read;
      read.itsDocID = opened.model->itsDocID + 1;
      {
        CurrentDocumentScope scope(&read);
        if (!read.buildFreshState() || KeyFileRead(snapshot.c_str()) != 1) state.SkipWithError("no snapshot read");
      }
      ReleaseModelContents(&read);
    });
    state.ResumeTiming();
  }
  // The restore put a design of its own in place: its first floor is the one read.
  opened.floor = opened.model->itsLayers;
  state.counters["ok"] = opened.floor && opened.countWalls() == opened.walls ? 1 : 0;
  const double iterations = static_cast<double>(state.iterations());
  state.counters["beside_ms"] = beside.clock * 1000 / iterations;
  state.counters["beside_ratio"] = beside.clock > 0 ? timed.clock / beside.clock : 0;
  std::map<int, Timed>& bySize = TimesOf("beside");
  bySize[opened.walls] = Timed{beside.clock / iterations, beside.cpu / iterations};
  if (auto it = bySize.find(opened.walls); it != bySize.begin()) {
    const auto before = std::prev(it);
    state.counters["beside_growth_per_10x"] =
        it->second.clock / before->second.clock / (static_cast<double>(opened.walls) / before->first) * 10;
  }
  Report(state, "undo", opened.walls, timed, raw);
}

// Every wall copied, then pasted into the same floor (the pasted walls deleted again, untimed).
void BM_PasteOneFloor(benchmark::State& state) {
  OpenedFloor opened(static_cast<int>(state.range(0)), state);
  if (!opened.document) return;
  opened.selectWalls();
  DoCopyObjects();
  int pasted = 0;
  Timed timed, raw;
  for (auto _ : state) {
    state.PauseTiming();
    ForgetPasteCarry();
    Objex* tail = LastObjectOfLayer(opened.floor);
    state.ResumeTiming();
    timed.add([] { DoPasteObjects(); });
    state.PauseTiming();
    pasted = 0;
    {
      WallDimensionRefreshBatch dimensions;
      for (Objex* o = tail ? tail->next : nullptr; o;) {
        Objex* next = o->next;
        pasted += o->type == kObjWall;
        DeleteObj(o);
        o = next;
      }
    }
    RawReads(opened.file, &raw);
    state.ResumeTiming();
  }
  state.counters["ok"] = pasted == opened.walls ? 1 : 0;
  Report(state, "paste", opened.walls, timed, raw);
}

// A plug-in's answer replacing every wall of the floor with a record of itself.
void BM_PlugInMergeOneFloor(benchmark::State& state) {
  OpenedFloor opened(static_cast<int>(state.range(0)), state);
  if (!opened.document) return;
  const fs::path answer = opened.folder.path / "data.qxf";
  std::vector<uint8_t> bytes;
  auto u16 = [&](uint32_t v) { bytes.push_back(uint8_t(v)), bytes.push_back(uint8_t(v >> 8)); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
  u32(131), u32(kVersionExchange11000), u16(2);
  for (Objex* o = opened.floor->firstObject; o; o = o->next) {
    if (o->type != kObjWall) continue;
    u16(kTagExchangeReplaceObject), u32(o->objectID);
    BeginOutputBuffer();
    sWriteVersion = kVersionExchange11000;
    WriteAPlugInObject(o);
    bytes.insert(bytes.end(), gStream.outDataBuffer.begin(), gStream.outDataBuffer.end());
    ReleaseOutputBuffer();
  }
  u16(kTagExchangeObjectsEnd);
  if (FILE* f = std::fopen(answer.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  bool ok = true;
  TimeRoad(state, "plugin", opened, [&] { ok = PlugOutFileRead(answer.c_str()) == 1 && ok; },
           [&] { return ok && opened.countWalls() == opened.walls; });
}

// Every wall moved (range(1) 0) or resized about the floor's middle (1), there and back in turn.
void BM_TransformOneFloor(benchmark::State& state) {
  OpenedFloor opened(static_cast<int>(state.range(0)), state);
  if (!opened.document) return;
  opened.selectWalls();
  const bool resize = state.range(1) != 0;
  bool there = true;
  bool ok = true;
  TimeRoad(state, resize ? "resize" : "move", opened, [&] {
    TransformInfo t{};
    t.scale[0] = t.scale[1] = t.scale[2] = 1;
    if (resize) {
      const float f = there ? 1.25f : 0.8f;
      t.scale[0] = t.scale[2] = f;
    } else {
      t.delta[0] = t.delta[2] = there ? 12.0f : -12.0f;
    }
    ok = SelectedObjectAllLayers(opened.model->itsLayers, 1, resize ? kCmdScaleObjects : kCmdTranslateObjects,
                                 CommandArg::Transform(&t)) && ok;
    there = !there;
  }, [&] { return ok; });
}

// A custom door definition applied again to every door of the floor (each wall's openings refitted).
void BM_CustomDefinitionOneFloor(benchmark::State& state) {
  OpenedFloor opened(static_cast<int>(state.range(0)), state);
  if (!opened.document) return;
  const std::string savedShared = LocalDomainUserSharedPath();
  const fs::path shared = opened.folder.path / "shared";
  const fs::path definition = shared / "QVRA/Components/Doors/P/d.QTF";
  fs::create_directories(definition.parent_path());
  ZLKDocumentModel* current = gCurDocument;
  {
    // The definition: a door outline 36 wide and 80 high.
    TestDocument scratch;
    Objex* outline = bench::AddPoints(bench::NewObject(kObjSkylightOutline, true),
                                      {{-18, 0}, {18, 0}, {18, -80}, {-18, -80}});
    AppendObjectToLayer(outline, scratch.first);
    KeyFileWrite(definition.c_str());
  }
  gCurDocument = current;
  SetUserSharedRoot(shared.string());
  int doors = 0;
  for (Objex* o = opened.floor->firstObject; o; o = o->next)
    for (Objex* c = o->firstChild; c; c = c->next)
      if (c->type == kObjDoor && c->typeData) {
        static_cast<DoorWindowData*>(c->typeData)->subtype = kDoorCustom;
        SelectObj(c, kSelectOn, 0);
        ++doors;
      }
  gSelectedContentCategory = kCustomDoorCategory;
  gSelectedContentEntryType = kEntryCustomDoor;
  gSelectedContentEntry = SymEntryInfo{};
  gSelectedContentEntry.type = kEntryCustomDoor;
  gSelectedContentEntry.objectData = "P/d.QTF";
  TimeRoad(state, "definition", opened, [] { ApplyCurCustAttachToSelectedWinAndDoor(); }, [&] {
    int named = 0;
    for (Objex* o = opened.floor->firstObject; o; o = o->next)
      for (Objex* c = o->firstChild; c; c = c->next) named += c->type == kObjDoor && AttachmentData(c) &&
                                                              AttachmentData(c)->definitionParts == nullptr &&
                                                              AttachmentData(c)->maskObject != nullptr;
    return doors > 0 && named == doors;
  });
  gSelectedContentCategory = -1;
  gSelectedContentEntryType = 0;
  gSelectedContentEntry = SymEntryInfo{};
  SetUserSharedRoot(savedShared);
}

// In this order: each size's growth is from the one before.
#define ONE_FLOOR_ROAD(bench, ...)                                                                  \
  BENCHMARK(bench)->Args({1000, ##__VA_ARGS__})->Unit(benchmark::kMillisecond)->Iterations(10);   \
  BENCHMARK(bench)->Args({10000, ##__VA_ARGS__})->Unit(benchmark::kMillisecond)->Iterations(4);   \
  BENCHMARK(bench)->Args({50000, ##__VA_ARGS__})->Unit(benchmark::kMillisecond)->Iterations(2)
ONE_FLOOR_ROAD(BM_UndoRestoreOneFloor);
ONE_FLOOR_ROAD(BM_PasteOneFloor);
ONE_FLOOR_ROAD(BM_PlugInMergeOneFloor);
ONE_FLOOR_ROAD(BM_TransformOneFloor, 0);
ONE_FLOOR_ROAD(BM_TransformOneFloor, 1);
ONE_FLOOR_ROAD(BM_CustomDefinitionOneFloor);

}  // namespace

CASA_PROGRAM_BENCHMARK_MAIN()
