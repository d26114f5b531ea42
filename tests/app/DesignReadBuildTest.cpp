// A design read builds the 3D of its walls, openings, floors and roofs and measures its attached
// wall dimensions exactly as building each of them afresh does, with every library installed as
// the program installs them: the bodies, quick walls, frame and leaf faces (points, texture
// coordinates, ring lengths, bounds) and the dimensions' points and depths.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../../bench/DesignGenerator.h"
#include "building3d/Plants3D.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/PlugInFile.h"
#include "files/PlugOutFile.h"
#include "files/StreamState.h"
#include "files/Undo.h"
#include "model/Attachments.h"
#include "model/Delete.h"
#include "model/DocumentModel.h"
#include "model/Plants.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/TextureIDs.h"
#include "platform/Alerts.h"
#include "platform/ContentPaths.h"

namespace {

struct Shape {
  std::vector<float> values;
  std::vector<int> kinds;

  void rect(const FloatRect& r) { values.insert(values.end(), {r.floatTop, r.floatLeft, r.floatBottom, r.floatRight}); }
  void box(const Float3DRect& b) {
    values.insert(values.end(), {b.floatTop, b.floatLeft, b.floatBack, b.floatBottom, b.floatRight, b.floatFront});
  }
  // A chain of 3D parts: each part's kind, levels, bounds, texture rectangle and points.
  void chain(const Objex* o) {
    for (; o; o = o->next) {
      kinds.insert(kinds.end(), {o->type, o->levels, o->pointCount, o->auxShort});
      rect(o->bounds);
      box(o->bounds3D);
      rect(o->textureRect);
      for (const Poinz* p = o->firstPoint; p; p = p->next) {
        values.insert(values.end(), p->position, p->position + 3);
        values.insert(values.end(), {p->texU, p->texV, p->ringLength, p->pathLength});
      }
      chain(o->firstChild);
    }
  }
};

// Everything the 3D road and the plan read of the design's built objects, floor by floor.
Shape ShapeOf(ZLKDocumentModel& model) {
  Shape s;
  for (Layer* l = model.itsLayers; l; l = l->next) {
    for (Objex* o = l->firstObject; o; o = o->next) {
      s.kinds.push_back(o->type);
      s.rect(o->bounds);
      s.box(o->bounds3D);
      if (o->type == kObjWall) {
        s.chain(static_cast<const Objex*>(o->typeData));
        s.chain(o->symbol3D);
        for (Objex* c = o->firstChild; c; c = c->next) {
          s.kinds.push_back(c->type);
          s.rect(c->bounds);
          for (const Poinz* p = c->firstPoint; p; p = p->next) s.values.insert(s.values.end(), p->position, p->position + 3);
          if (const DoorWindowData* d = AttachmentData(c)) {
            s.values.insert(s.values.end(), {d->height, d->remainingLength});
            s.chain(d->faces);
          }
        }
      } else if (o->type == kObjRoof || o->type == kObjFloor) {
        s.chain(static_cast<const Objex*>(o->typeData));
        s.chain(o->symbol3D);
      }
    }
  }
  return s;
}

// Builds every built object of the design again, floor by floor, as the edits do; the attached
// dimensions are measured once per floor against that floor's walls.
void RebuildAll(ZLKDocumentModel& model) {
  Layer* current = model.itsCurLayer;
  for (Layer* l = model.itsLayers; l; l = l->next) {
    model.itsCurLayer = l;
    {
      WallDimensionRefreshBatch dimensions;
      for (Objex* o = l->firstObject; o; o = o->next) {
        if (o->type == kObjWall) {
          Update3DWall(o);
          UpdateAllWallAttachments(o);
        } else if (o->type == kObjRoof) {
          Update3DRoof(o);
        } else if (o->type == kObjFloor) {
          Update3DFloorSkirting(o);
        }
      }
    }
  }
  model.itsCurLayer = current;
}

TEST(DesignReadBuild, ReadBuildsWhatBuildingAfreshBuilds) {
  const std::string path = ::testing::TempDir() + "/design-read-build.ckd";
  {
    TestDocument made;
    bench::GenerateDesign(made, 600, true);
    ASSERT_EQ(KeyFileWrite(path.c_str()), 1);
  }
  TestDocument read;
  ASSERT_EQ(KeyFileRead(path.c_str()), 1);
  std::remove(path.c_str());
  const Shape afterRead = ShapeOf(read.model);
  // A design of houses: walls with bodies, openings with faces, floors and roofs.
  size_t walls = 0, faces = 0;
  for (Layer* l = read.model.itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) {
      if (o->type != kObjWall) continue;
      ASSERT_NE(o->typeData, nullptr);
      ++walls;
      for (Objex* c = o->firstChild; c; c = c->next)
        if (const DoorWindowData* d = AttachmentData(c))
          for (const Objex* f = d->faces; f; f = f->next) ++faces;
    }
  EXPECT_GT(walls, 50u);
  EXPECT_GT(faces, 10 * walls);

  RebuildAll(read.model);
  const Shape rebuilt = ShapeOf(read.model);
  EXPECT_EQ(afterRead.kinds, rebuilt.kinds);
  ASSERT_EQ(afterRead.values.size(), rebuilt.values.size());
  size_t differing = 0;
  for (size_t i = 0; i < rebuilt.values.size(); ++i) differing += afterRead.values[i] != rebuilt.values[i];
  EXPECT_EQ(differing, 0u);
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Where two files first differ (their common length when one is a prefix), -1 when equal.
long FirstDifference(const std::string& a, const std::string& b) {
  if (a == b) return -1;
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return static_cast<long>(i);
}

// Undo and redo on a design of houses (the old design dropped whole, 3D parts and all) give back
// the same design at every visit of a step: the same file bytes and the same built 3D.
TEST(DesignReadBuild, UndoAndRedoGiveBackEachStepsDesign) {
  namespace fs = std::filesystem;
  const fs::path runtime = fs::temp_directory_path() / ("casa-undo-build-" + std::to_string(getpid()));
  fs::create_directories(runtime);
  chmod(runtime.c_str(), 0700);
  const char* oldRuntime = getenv("XDG_RUNTIME_DIR");
  const std::string savedRuntime = oldRuntime ? oldRuntime : "";
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  const std::string written = (runtime / "step.ckd").string();
  {
    TestDocument doc;
    doc.model.itsDocID = 4343;
    bench::GenerateDesign(doc, 600, true);
    InitializeUndo();
    // The edit: the first floor's first wall goes, doors and windows with it.
    Objex* wall = doc.model.itsLayers->firstObject;
    while (wall && wall->type != kObjWall) wall = wall->next;
    ASSERT_NE(wall, nullptr);
    DeleteObj(wall);
    StoreUndo("Delete");
    struct Visit {
      std::string bytes;
      Shape shape;
    };
    auto visit = [&] {
      EXPECT_EQ(KeyFileWrite(written.c_str()), 1);
      return Visit{FileText(written), ShapeOf(doc.model)};
    };
    std::vector<Visit> undone, redone;
    for (int round = 0; round < 3; ++round) {
      DoUndo();
      undone.push_back(visit());
      DoRedo();
      redone.push_back(visit());
    }
    EXPECT_NE(undone[0].bytes, redone[0].bytes);
    EXPECT_GT(undone[0].shape.kinds.size(), redone[0].shape.kinds.size());
    for (size_t round = 1; round < undone.size(); ++round) {
      SCOPED_TRACE(round);
      EXPECT_EQ(FirstDifference(undone[round].bytes, undone[0].bytes), -1);
      EXPECT_TRUE(undone[round].shape.kinds == undone[0].shape.kinds);
      EXPECT_TRUE(undone[round].shape.values == undone[0].shape.values);
      EXPECT_EQ(FirstDifference(redone[round].bytes, redone[0].bytes), -1);
      EXPECT_TRUE(redone[round].shape.kinds == redone[0].shape.kinds);
      EXPECT_TRUE(redone[round].shape.values == redone[0].shape.values);
    }
  }
  std::error_code ec;
  fs::remove_all(runtime, ec);
  if (savedRuntime.empty()) unsetenv("XDG_RUNTIME_DIR");
  else setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
}

// A design with plants of a few kinds (their information files read once each) saves, undoes,
// redoes and opens again to the same bytes; every plant's record is what its kind's file gives, and
// a record is its plant's own.
TEST(DesignReadBuild, PlantsKeepTheDesignsBytesAndTheirOwnRecords) {
  namespace fs = std::filesystem;
  const fs::path runtime = fs::temp_directory_path() / ("casa-plant-design-" + std::to_string(getpid()));
  fs::create_directories(runtime);
  chmod(runtime.c_str(), 0700);
  const char* oldRuntime = getenv("XDG_RUNTIME_DIR");
  const std::string savedRuntime = oldRuntime ? oldRuntime : "";
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  const std::string savedShared = LocalDomainUserSharedPath();
  SetUserSharedRoot((runtime / "shared").string());
  constexpr int kKinds = 3;
  for (int k = 0; k < kKinds; ++k) {
    char path[kTexturePathSize] = {};
    GetTextureInfoFileNameFromID(3000 + k, path, sizeof path);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << "[Description]\nCommonName=Kind " << k << "\nWater=" << k + 1
                        << "\nMaximumGrowthHeight=" << 100 + 10 * k << "\nAnnualGrowthRate=" << 5 + k << "\n";
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::minutes(10));
  }
  const std::string original = (runtime / "plants.ckd").string(), written = (runtime / "again.ckd").string();
  // Saved with the same ID counters and changed flag each time (put back after): a read raises
  // the counters past the IDs its 3D parts take, and an undo step marks the design changed.
  auto save = [](TestDocument& doc, const std::string& path) {
    DocState* ds = doc.ds();
    const uint32_t objects = ds->nextObjectID, points = ds->nextPointID;
    const auto changed = ds->documentChanged;
    ds->nextObjectID = 4000000;
    ds->nextPointID = 9000000;
    ds->documentChanged = 0;
    EXPECT_EQ(KeyFileWrite(path.c_str()), 1);
    ds->nextObjectID = objects;
    ds->nextPointID = points;
    ds->documentChanged = changed;
  };
  {
    TestDocument made;
    bench::GenerateDesign(made, 200, true);
    for (int i = 0; i < 12; ++i) {
      Objex* plant = BuildLandscapePlant(made.first, 1, 3000 + i % kKinds);
      ASSERT_NE(plant, nullptr);
      for (Poinz* p = plant->firstPoint; p; p = p->next) p->position[0] += 40.0f * static_cast<float>(i);
      UpdateObjectBounds(plant);
    }
    ASSERT_EQ(KeyFileWrite(original.c_str()), 1);
  }
  {
    TestDocument doc;
    doc.model.itsDocID = 4344;
    ASSERT_EQ(KeyFileRead(original.c_str()), 1);
    const std::string opened = (runtime / "opened.ckd").string();
    save(doc, opened);

    std::vector<Objex*> plants;
    for (Objex* o = doc.model.itsLayers->firstObject; o; o = o->next)
      if (o->type == kObjPlant) plants.push_back(o);
    ASSERT_EQ(plants.size(), 12u);
    for (size_t i = 0; i < plants.size(); ++i) {
      PlantInfo* fresh = CreatePlantInfo(3000 + static_cast<int32_t>(i % kKinds));
      ASSERT_TRUE(fresh && plants[i]->plantInfo);
      EXPECT_EQ(std::memcmp(plants[i]->plantInfo, fresh, sizeof(PlantInfo)), 0) << i;
      DeletePlantInfo(fresh);
    }
    // One plant's own record changed; its kind's other plants keep theirs.
    plants[0]->plantInfo->annualGrowthRate = 50;
    std::strcpy(plants[0]->plantInfo->commonName, "Mine");
    EXPECT_FLOAT_EQ(plants[kKinds]->plantInfo->annualGrowthRate, 5);
    EXPECT_STREQ(plants[kKinds]->plantInfo->commonName, "Kind 0");

    InitializeUndo();
    StoreUndo("Move");
    DeleteObj(plants[1]);
    StoreUndo("Delete");
    const std::string edited = (runtime / "edited.ckd").string();
    save(doc, edited);
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(round);
      DoUndo();
      const std::string undone = (runtime / "undone.ckd").string();
      save(doc, undone);
      EXPECT_EQ(FirstDifference(FileText(undone), FileText(opened)), -1);
      DoRedo();
      save(doc, written);
      EXPECT_EQ(FirstDifference(FileText(written), FileText(edited)), -1);
    }
    int kindOne = 0;
    for (Objex* o = doc.model.itsLayers->firstObject; o; o = o->next)
      kindOne += o->type == kObjPlant && o->plantInfo && std::strcmp(o->plantInfo->commonName, "Kind 1") == 0 &&
                 o->plantInfo->water == 2;
    EXPECT_EQ(kindOne, 3);  // four of kind 1, one deleted
  }
  {
    // Opened again, the saved design saves to the same bytes.
    TestDocument doc;
    doc.model.itsDocID = 4345;
    const std::string opened = (runtime / "opened.ckd").string();
    ASSERT_EQ(KeyFileRead(opened.c_str()), 1);
    save(doc, written);
    EXPECT_EQ(FirstDifference(FileText(written), FileText(opened)), -1);
  }
  SetUserSharedRoot(savedShared);
  std::error_code ec;
  fs::remove_all(runtime, ec);
  if (savedRuntime.empty()) unsetenv("XDG_RUNTIME_DIR");
  else setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
}

// Windows that no longer fit their walls are removed as the design is read, each of them, and the
// user is told once for the whole read, not once per wall; a read where everything fits says
// nothing.
TEST(DesignReadBuild, AReadRemovingPartsFromManyWallsTellsTheUserOnce) {
  const std::string path = ::testing::TempDir() + "/design-read-misfits.ckd";
  const std::string removed = "One or more components have been removed.";
  int widened = 0;
  {
    TestDocument made;
    bench::GenerateDesign(made, 600, true);
    ASSERT_EQ(KeyFileWrite(path.c_str()), 1);
    {
      TestDocument read;
      ScopedAlertRecorder alerts;
      ASSERT_EQ(KeyFileRead(path.c_str()), 1);
      EXPECT_TRUE(alerts.shown.empty());
    }
    for (Layer* l = made.model.itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next)
        if (o->type == kObjWall)
          for (Objex* c = o->firstChild; c; c = c->next)
            if (c->type == kObjWindow) {
              AttachmentData(c)->width = 5000;
              ++widened;
            }
    ASSERT_GT(widened, 20);
    ASSERT_EQ(KeyFileWrite(path.c_str()), 1);
  }
  TestDocument read;
  ScopedAlertRecorder alerts;
  ASSERT_EQ(KeyFileRead(path.c_str()), 1);
  std::remove(path.c_str());
  int windows = 0, doors = 0;
  for (Layer* l = read.model.itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next)
      for (Objex* c = o->firstChild; c; c = c->next) {
        windows += c->type == kObjWindow;
        doors += c->type == kObjDoor;
      }
  EXPECT_EQ(windows, 0);
  EXPECT_EQ(doors, widened);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, removed);
  // Outside a read, each removal still speaks for itself.
  ScopedAlertRecorder later;
  Objex* wall = read.model.itsLayers->firstObject;
  while (wall && wall->type != kObjWall) wall = wall->next;
  ASSERT_NE(wall, nullptr);
  Objex* door = wall->firstChild;
  while (door && door->type != kObjDoor) door = door->next;
  ASSERT_NE(door, nullptr);
  AttachmentData(door)->width = 5000;
  EXPECT_EQ(UpdateAllWallAttachments(wall), 1);
  EXPECT_EQ(later.shown.size(), 1u);
}

}  // namespace

namespace {

// The design's bytes, as a save or an undo snapshot writes them.
std::vector<uint8_t> DesignBytes() {
  BeginOutputBuffer();
  WriteDesignToOutputBuffer();
  std::vector<uint8_t> written = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  return written;
}

// A floor of 160 walls in rows facing each other (every seventh turned a little, every other
// one with an attached dimension) merged with a plug-in's answer that replaces every wall
// `replacedEvery` picks with a record of itself moved `shift` along x, adds a copy of every
// eleventh wall and then replaces every fourth by a text. With `apart` the floor's dimensions are measured only where the leaving walls
// can change them; without it the whole floor is measured before each wall leaves, as a
// measurement after every wall does. Answers the design's bytes.
std::vector<uint8_t> MergedAnswer(float planScale, int replacedEvery, float shift, bool apart) {
  TestDocument doc;
  doc.ds()->planScale = planScale;
  doc.model.itsCurLayer = doc.first;
  std::vector<Objex*> walls;
  for (int i = 0; i < 160; ++i) {
    const float x = static_cast<float>(i % 20) * 80.0f, z = static_cast<float>(i / 20) * 200.0f;
    const float turn = i % 7 == 0 ? static_cast<float>(i % 5) - 2.0f : 0.0f;
    Objex* w = bench::NewObject(kObjWall, false);
    w->subtype = kSubExteriorWall;
    w->width = 4 + static_cast<float>(i % 3) * 2;
    bench::AddPoints(w, {{x, z}, {x + 60, z + turn}, {x + 60 + turn, z + 120}});
    bench::Place(w, doc.first);
    bench::AddHouseWall(w, i % 2 == 0);
    walls.push_back(w);
  }
  UpdateAttachedDimLayerService(doc.first);
  std::vector<uint8_t> bytes;
  auto u16 = [&](uint32_t v) { bytes.push_back(uint8_t(v)), bytes.push_back(uint8_t(v >> 8)); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
  auto record = [&](Objex* o) {
    for (Poinz* p = o->firstPoint; p; p = p->next) p->position[0] += shift;
    BeginOutputBuffer();
    sWriteVersion = kVersionExchange11000;
    WriteAPlugInObject(o);
    bytes.insert(bytes.end(), gStream.outDataBuffer.begin(), gStream.outDataBuffer.end());
    ReleaseOutputBuffer();
    for (Poinz* p = o->firstPoint; p; p = p->next) p->position[0] -= shift;
  };
  u32(131), u32(kVersionExchange11000), u16(2);
  for (size_t i = 0; i < walls.size(); ++i) {
    if (static_cast<int>(i) % replacedEvery == 0) {
      u16(kTagExchangeReplaceObject), u32(walls[i]->objectID);
      record(walls[i]);
    }
    if (i % 11 == 5) record(walls[i]);
  }
  // Then walls replaced by texts: no wall is read after them, and what the dimensions measured
  // to them before they left stays.
  Objex* text = bench::AddText(doc.second, 0, 0, 1);
  for (size_t i = 1; i < walls.size(); i += 4) {
    u16(kTagExchangeReplaceObject), u32(walls[i]->objectID);
    record(text);
  }
  u16(kTagExchangeObjectsEnd);
  const std::string path = ::testing::TempDir() + "/merged-answer.qxf";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  const ToolsServices saved = gToolsServices;
  if (!apart) gToolsServices.beginLeavingWallDimensions = nullptr;
  EXPECT_EQ(PlugOutFileRead(path.c_str()), 1);
  gToolsServices = saved;
  std::remove(path.c_str());
  return DesignBytes();
}

}  // namespace

// Walls replaced by a plug-in leave the floor's attached dimensions as measuring the whole floor
// before each wall leaves does, byte for byte.
TEST(DesignReadBuild, APlugInReplacingWallsMeasuresAsTheWholeFloorBeforeEachLeaves) {
  struct Case {
    int replacedEvery;
    float shift;
  } cases[] = {{1, 0}, {1, 30}, {3, -45}};
  for (const float scale : {72.0f, 18.0f})
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << "scale " << scale << ", every " << c.replacedEvery << ", shift " << c.shift);
      const std::vector<uint8_t> apart = MergedAnswer(scale, c.replacedEvery, c.shift, true);
      const std::vector<uint8_t> whole = MergedAnswer(scale, c.replacedEvery, c.shift, false);
      EXPECT_EQ(apart.size(), whole.size());
      EXPECT_TRUE(apart == whole) << "the bytes differ";
    }
}
