// Snapshot undo: the ring words, the snapshot files, restoring, and failures.
#include <gtest/gtest.h>

#include <utility>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestDocument.h"
#include "files/FileTestSupport.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/Undo.h"
#include "model/DocumentModel.h"
#include "model/Delete.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Selection.h"
#include "model/SelectionClick.h"
#include "model/Services.h"
#include "model/TopoGrid.h"
#include "platform/Alerts.h"
#include "platform/FileIO.h"
#include "platform/TemporaryFolder.h"
#include "platform/UndoNames.h"

namespace fs = std::filesystem;

namespace {


// A private runtime folder for the snapshot files of one test.
class UndoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = getenv("XDG_RUNTIME_DIR");
    if (old) savedRuntime = old;
    runtime = fs::temp_directory_path() / ("casa-undo-" + std::to_string(getpid()));
    fs::create_directories(runtime);
    chmod(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ResetByteStream();
    gUndoActive = 1;
    doc.model.itsDocID = 4242;
    doc.model.itsUndoManager = &names;
  }
  void TearDown() override {
    ResetByteStream();
    gUndoActive = 1;
    gTotalUndos = 25;
    SetUndoFreeBytesQuery({});
    std::error_code ec;
    fs::remove_all(runtime, ec);
    if (savedRuntime.empty()) unsetenv("XDG_RUNTIME_DIR");
    else setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
  }
  int ring(int32_t first, int32_t last, int32_t current) {
    return doc.model.itsFirstUndo == first && doc.model.itsLastUndo == last &&
           doc.model.itsCurrentUndo == current;
  }
  size_t lineCount() {
    size_t n = 0;
    for (Objex* o = GetLayerFromName("First Floor")->firstObject; o; o = o->next) ++n;
    return n;
  }
  // Enough lines for snapshots of about `bytes`.
  void addLinesFor(size_t bytes) {
    for (size_t i = 0; i < bytes / 630; ++i) {
      const float x = static_cast<float>(i % 200) * 12, z = static_cast<float>(i / 200) * 12;
      doc.addObject(kObjLine, false, {{x, z}, {x + 10, z}, {x + 10, z + 5}});
    }
  }
  // The slots whose snapshot files of this document are in the folder, and all the bytes there.
  std::vector<int32_t> slotsOnDisk() {
    std::vector<int32_t> slots;
    for (int32_t slot = 1; slot <= 501; ++slot)
      if (fs::exists(UndoStatePath(slot))) slots.push_back(slot);
    return slots;
  }
  static int64_t folderBytes() {
    int64_t bytes = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(ApplicationTemporaryPath(), ec))
      if (entry.is_regular_file()) bytes += static_cast<int64_t>(entry.file_size());
    return bytes;
  }
  // The ring's slots, oldest first.
  std::vector<int32_t> ringSlots() {
    std::vector<int32_t> slots;
    for (int32_t slot = doc.model.itsFirstUndo, n = CountUndos(slot, doc.model.itsLastUndo); n > 0; --n) {
      slots.push_back(slot);
      slot = slot == gTotalUndos ? 1 : slot + 1;
    }
    std::sort(slots.begin(), slots.end());
    return slots;
  }

  fs::path runtime;
  std::string savedRuntime;
  TestDocument doc;
  UndoNameStack names;
};

}  // namespace

TEST_F(UndoTest, RingHoldsTheNewestTwentyFiveSnapshots) {
  InitializeUndo();
  EXPECT_TRUE(ring(1, 1, 1));
  EXPECT_FALSE(names.canUndo());
  for (int i = 0; i < 25; ++i) StoreUndo("Edit " + std::to_string(i));
  EXPECT_TRUE(ring(2, 1, 1));
  EXPECT_EQ(names.undoMenuItemTitle(), "Undo Edit 24");
  int undos = 0;
  for (int i = 0; i < 30; ++i) {
    int32_t before = doc.model.itsCurrentUndo;
    DoUndo();
    if (doc.model.itsCurrentUndo != before) ++undos;
  }
  EXPECT_EQ(undos, 24);
  EXPECT_EQ(doc.model.itsCurrentUndo, 2);
}

TEST_F(UndoTest, UndoAndRedoStepThroughSnapshots) {
  InitializeUndo();
  DoUndo();  // nothing older
  EXPECT_TRUE(ring(1, 1, 1));
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  StoreUndo("Line");
  doc.addObject(kObjLine, false, {{0, 5}, {10, 5}});
  StoreUndo("Line");
  EXPECT_EQ(lineCount(), 2u);
  DoUndo();
  EXPECT_EQ(lineCount(), 1u);
  DoUndo();
  EXPECT_EQ(lineCount(), 0u);
  DoRedo();
  EXPECT_EQ(lineCount(), 1u);
  EXPECT_TRUE(ring(1, 3, 2));
  // A new store after undo drops what could be redone.
  doc.addObject(kObjRect, true, {{0, 0}, {1, 0}, {1, 1}});
  StoreUndo("Rectangle");
  EXPECT_TRUE(ring(1, 3, 3));
  int32_t current = doc.model.itsCurrentUndo;
  DoRedo();
  EXPECT_EQ(doc.model.itsCurrentUndo, current);
}

// The Undo of an edit reads the design back from its step: groups in a group come back as they
// were, the cabinet with its state, the symbol placing its parts.
TEST_F(UndoTest, GroupsInAGroupComeBackFromAnUndoAsTheyWere) {
  InitializeUndo();
  GroupCabinetSymbolAndWall(doc.model, doc.first);
  StoreUndo("Group");
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  StoreUndo("Line");
  DoUndo();
  const Layer* first = GetLayerFromName("First Floor");
  ASSERT_EQ(CountObjects(first), 1u);
  ExpectCabinetSymbolAndWall(first->firstObject);
}

// Which floors are shown and worked on is chosen with no step: Undo and Redo of edits made on
// other floors step the design back and forth and leave the user on the floor worked on, with
// the floors shown as they were and the working elevation of that floor (the pop-up shows it
// after each); what a step held selected on a floor no longer worked on is let go. A step that
// raises a floor below moves the working elevation, and its Undo moves it back.
TEST_F(UndoTest, UndoAndRedoLeaveTheUserOnTheFloorWorkedOn) {
  static std::vector<int32_t> shown;
  shown.clear();
  const auto saved = gFrontEnd.selectActiveFloorItem;
  gFrontEnd.selectActiveFloorItem = [](int32_t tag) { shown.push_back(tag); };
  // The floor worked on is the one whose objects can be picked; the others are let go.
  const auto workOn = [&](Layer* floor) {
    for (const char* name : {"First Floor", "Second Floor", "Third Floor"}) {
      Layer* l = GetLayerFromName(name);
      if (l != floor) SelectLayer(l, kSelectOff, 0);
      l->selectable = l == floor;
    }
    doc.model.itsCurLayer = floor;
    doc.ds()->baseElevation = GetLayerAbsBaseHeight(floor);
  };
  InitializeUndo();
  workOn(doc.second);
  Objex* onSecond = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  SelectLayer(doc.second, kSelectOn, 0);
  StoreUndo("Line");
  workOn(doc.third);
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  StoreUndo("Line");
  workOn(doc.first);
  doc.third->visible = 0;  // View Working Floor Only, in part (no step)
  EXPECT_FALSE(StoreUndoIfChanged("Door Tool"));
  const auto onFloor = [](Layer* l) { return l->firstObject != nullptr; };
  const auto stillOnFirst = [&] {
    Layer* first = GetLayerFromName("First Floor");
    EXPECT_EQ(doc.model.itsCurLayer, first);
    EXPECT_EQ(first->selectable, 1);
    EXPECT_EQ(GetLayerFromName("Second Floor")->selectable, 0);
    EXPECT_EQ(GetLayerFromName("Third Floor")->selectable, 0);
    EXPECT_EQ(GetLayerFromName("Third Floor")->visible, 0);
    EXPECT_EQ(doc.ds()->baseElevation, 0);
  };
  DoUndo();
  stillOnFirst();
  EXPECT_FALSE(onFloor(GetLayerFromName("Third Floor")));
  onSecond = GetLayerFromName("Second Floor")->firstObject;
  ASSERT_NE(onSecond, nullptr);
  EXPECT_FALSE(IsAnyObjectSelected(onSecond));
  DoUndo();
  stillOnFirst();
  EXPECT_FALSE(onFloor(GetLayerFromName("Second Floor")));
  DoRedo();
  DoRedo();
  stillOnFirst();
  EXPECT_TRUE(onFloor(GetLayerFromName("Third Floor")));
  EXPECT_EQ(shown, (std::vector<int32_t>{5275, 5275, 5275, 5275}));

  workOn(GetLayerFromName("Second Floor"));
  const float base = doc.ds()->baseElevation;
  GetLayerFromName("First Floor")->height += 24;
  doc.ds()->baseElevation = GetLayerAbsBaseHeight(doc.model.itsCurLayer);
  StoreUndo("First Floor Ceiling Height");
  DoUndo();
  EXPECT_STREQ(doc.model.itsCurLayer->name, "Second Floor");
  EXPECT_EQ(doc.ds()->baseElevation, base);
  DoRedo();
  EXPECT_EQ(doc.ds()->baseElevation, base + 24);
  gFrontEnd.selectActiveFloorItem = saved;
}

TEST_F(UndoTest, UndoFromSlotOneOfAWrappedRingRestoresSlotTwentyFive) {
  InitializeUndo();
  for (int i = 0; i < 24; ++i) {
    doc.ds()->gridSnap.floatH = static_cast<float>(i);
    StoreUndo("Grid");
  }
  EXPECT_TRUE(ring(1, 25, 25));
  doc.ds()->gridSnap.floatH = 99;
  StoreUndo("Grid");
  EXPECT_TRUE(ring(2, 1, 1));
  DoUndo();
  EXPECT_EQ(doc.model.itsCurrentUndo, 25);
  EXPECT_FLOAT_EQ(doc.ds()->gridSnap.floatH, 23);
}

TEST_F(UndoTest, SnapshotFilesAreDesignFilesNamedBySessionDocumentAndSlot) {
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  InitializeUndo();
  std::string slot1 = UndoStatePath(1);
  EXPECT_NE(slot1.find("com.zelkoworks.casavelt_1100_"), std::string::npos);
  EXPECT_TRUE(slot1.size() > 10 && slot1.compare(slot1.size() - 11, 11, "_4242_1.dat") == 0) << slot1;
  std::string design = (runtime / "same.dsn").string();
  ASSERT_EQ(KeyFileWrite(design.c_str()), 1);
  EXPECT_EQ(ReadBytes(slot1), ReadBytes(design));
}

// A design of several megabytes goes to its snapshot file in pieces while it is written: the
// file holds the same bytes as the design written out in one piece.
TEST_F(UndoTest, ASnapshotOfSeveralMegabytesIsTheDesignsBytes) {
  for (int i = 0; i < 20000; ++i) {
    const float x = static_cast<float>(i % 200) * 12, z = static_cast<float>(i / 200) * 12;
    doc.addObject(kObjLine, false, {{x, z}, {x + 10, z}, {x + 10, z + 5}});
  }
  InitializeUndo();
  const std::string design = (runtime / "large.dsn").string();
  ASSERT_EQ(KeyFileWrite(design.c_str()), 1);
  const auto written = ReadBytes(design);
  ASSERT_GT(written.size(), size_t(2) << 20);
  EXPECT_TRUE(ReadBytes(UndoStatePath(1)) == written);
}

TEST_F(UndoTest, ZoomSurvivesUndoAndOtherFieldsComeFromTheSnapshot) {
  InitializeUndo();
  doc.ds()->gridSpacing.floatH = 48;
  StoreUndo("Grid");
  doc.ds()->zoomFactor = 2.5f;
  doc.ds()->printSetting2 = 2.5f;
  DoUndo();
  EXPECT_FLOAT_EQ(doc.ds()->zoomFactor, 2.5f);
  EXPECT_FLOAT_EQ(doc.ds()->printSetting2, 2.5f);
  EXPECT_FLOAT_EQ(doc.ds()->gridSpacing.floatH, 12);
  EXPECT_EQ(doc.ds()->documentChanged, 1);
}

// Undo restores the design, not the view: the 3D camera, the cut-away, the plan's tab and the
// kinds each tab shows (chosen in the Plan menu, with no step of their own) stay as the user left
// them.
TEST_F(UndoTest, TheCameraAndThePlanTabStayWhereTheUserLeftThem) {
  DocState* ds = doc.ds();
  ds->newObjectPlanMask = 1 << kPlanFloor;
  ds->currentPlanMask = ds->planMasks[kPlanFloor];
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  InitializeUndo();
  ds->planMasks[kPlanLandscape] = 0x81;
  GetLayerFromName("First Floor")->firstObject->penColor.red = 1;
  StoreUndo("Pen Color");
  ds->planMasks[kPlanLandscape] = 0x83;
  GetLayerFromName("First Floor")->firstObject->penColor.red = 2;
  StoreUndo("Pen Color");

  ds->navigationMode = 2;
  ds->navigationSubMode = 1;
  ds->orthoView() = 3;
  ds->orthoScale() = 1.75f;
  ds->walkViewAngle() = 123;
  ds->walkEyePoint() = FloatPoint{-40, 310};
  ds->walkEyeHeight() = 66;
  ds->walkPitchAngle() = -12;
  ds->flyAngleX() = 33;
  ds->flyAngleY() = 210;
  ds->flyDistance() = 900;
  ds->flyCenter() = FloatPoint{15, -25};
  ds->cutAwayDirection() = 3;  // from the west
  ds->cutAwayPosition() = 750;
  ds->newObjectPlanMask = 1 << kPlanLandscape;
  ds->currentPlanMask = ds->planMasks[kPlanLandscape];
  DoUndo();
  ds = doc.ds();
  EXPECT_EQ(GetLayerFromName("First Floor")->firstObject->penColor.red, 1);  // the design is undone
  EXPECT_EQ(ds->planMasks[kPlanLandscape], 0x83);
  EXPECT_EQ(ds->newObjectPlanMask, 1 << kPlanLandscape);
  EXPECT_EQ(ds->currentPlanMask, 0x83);
  EXPECT_EQ(ds->navigationMode, 2);
  EXPECT_EQ(ds->navigationSubMode, 1);
  EXPECT_EQ(ds->orthoView(), 3);
  EXPECT_FLOAT_EQ(ds->orthoScale(), 1.75f);
  EXPECT_FLOAT_EQ(ds->walkViewAngle(), 123);
  EXPECT_FLOAT_EQ(ds->walkEyePoint().floatH, -40);
  EXPECT_FLOAT_EQ(ds->walkEyePoint().floatV, 310);
  EXPECT_FLOAT_EQ(ds->walkEyeHeight(), 66);
  EXPECT_FLOAT_EQ(ds->walkPitchAngle(), -12);
  EXPECT_FLOAT_EQ(ds->flyAngleX(), 33);
  EXPECT_FLOAT_EQ(ds->flyAngleY(), 210);
  EXPECT_FLOAT_EQ(ds->flyDistance(), 900);
  EXPECT_FLOAT_EQ(ds->flyCenter().floatH, 15);
  EXPECT_FLOAT_EQ(ds->flyCenter().floatV, -25);
  EXPECT_EQ(ds->cutAwayDirection(), 3);
  EXPECT_EQ(ds->cutAwayPosition(), 750);

  // A set of kinds chosen apart from the tab's own is kept as it is, through redo too.
  ds->currentPlanMask = 0x7;
  DoRedo();
  EXPECT_EQ(GetLayerFromName("First Floor")->firstObject->penColor.red, 2);
  EXPECT_EQ(doc.ds()->planMasks[kPlanLandscape], 0x83);
  EXPECT_EQ(doc.ds()->currentPlanMask, 0x7);
  EXPECT_EQ(doc.ds()->newObjectPlanMask, 1 << kPlanLandscape);
}

TEST_F(UndoTest, WithUndoOffNothingIsStoredButTheDocumentIsEdited) {
  gUndoActive = 0;
  InitializeUndo();
  EXPECT_TRUE(ring(-1, -1, -1));
  doc.model.itsEdited = false;
  StoreUndo("Move");
  EXPECT_TRUE(doc.model.itsEdited);
  EXPECT_FALSE(fs::exists(UndoStatePath(1)));
}

TEST_F(UndoTest, FailedStoreKeepsTheRingAndFailedRestoreKeepsTheDesign) {
  ScopedAlertRecorder alerts;
  InitializeUndo();
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  StoreUndo("Line");
  // Slot 3 cannot be written: a folder stands in its place.
  fs::create_directories(UndoStatePath(3));
  StoreUndo("Blocked");
  EXPECT_TRUE(alerts.sawMessage("Unable to store the undo state."));
  EXPECT_TRUE(ring(1, 2, 2));
  EXPECT_EQ(names.undoActionName(), "Blocked");  // undone by going back to slot 2

  // A missing snapshot: the design stays and undo switches off.
  fs::remove(UndoStatePath(2));
  DoUndo();
  EXPECT_TRUE(alerts.sawMessage("Unable to restore the undo state."));
  EXPECT_EQ(lineCount(), 1u);
  EXPECT_EQ(doc.model.itsCurrentUndo, 2);
  EXPECT_EQ(gUndoActive, 0);
}

TEST_F(UndoTest, DamagedSnapshotLeavesTheDesignAsItWas) {
  ScopedAlertRecorder alerts;
  InitializeUndo();
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  StoreUndo("Line");
  std::vector<uint8_t> bytes = ReadBytes(UndoStatePath(1));
  std::ofstream(UndoStatePath(1), std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size() / 2));
  DoUndo();
  EXPECT_EQ(lineCount(), 1u);
  EXPECT_TRUE(alerts.sawMessage("Unable to restore the undo state."));
}

TEST_F(UndoTest, MenuNeverOffersMoreStepsThanTheRingHolds) {
  InitializeUndo();
  for (int i = 0; i < 40; ++i) StoreUndo("Step");
  int offered = 0;
  while (names.canUndo()) {
    names.onUndo = [] { DoUndo(); };
    int32_t before = doc.model.itsCurrentUndo;
    names.undo();
    EXPECT_NE(doc.model.itsCurrentUndo, before) << offered;
    ++offered;
  }
  EXPECT_EQ(offered, 24);
}

TEST(UndoRing, CountUndos) {
  EXPECT_EQ(CountUndos(0, 5), 0);
  EXPECT_EQ(CountUndos(3, -1), 0);
  EXPECT_EQ(CountUndos(1, 1), 1);
  EXPECT_EQ(CountUndos(24, 2), 4);
  EXPECT_EQ(CountUndos(2, 1), 25);
}

TEST_F(UndoTest, RestoredSelectionSetsTheSelectionSummaryAndNoSelectionClearsIt) {
  InitializeUndo();
  doc.ds()->baseElevation = 0;
  Objex* raised = doc.addObject(kObjRect, true, {{0, 0}, {10, 0}, {10, 10}});
  raised->baseElevation = 30;
  doc.addObject(kObjLine, false, {{0, 20}, {10, 20}});
  SelectObj(raised, kSelectOn, 0);
  StoreUndo("Select");
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  StoreUndo("Deselect");

  DoUndo();  // back to the snapshot with the raised rectangle selected
  const SelectionState40& ss = doc.ds()->selectionState40;
  EXPECT_EQ(ss.ssStateFresh, 0);
  EXPECT_EQ(ss.ssBaseElevation, 1);
  EXPECT_FLOAT_EQ(ss.ssBaseElevationValue, 30.0f);

  DoRedo();  // nothing selected: the summary starts afresh from the design's elevation
  const SelectionState40& cleared = doc.ds()->selectionState40;
  EXPECT_EQ(cleared.ssStateFresh, 1);
  EXPECT_FLOAT_EQ(cleared.ssBaseElevationValue, doc.ds()->baseElevation);
}

namespace {

// What the inspector was told each time it was asked to look at the selection: whether it was
// told which objects alone hold a selection, whether those are exactly the objects of shown
// floors that hold one (in design order), and whether any object held one then.
struct InspectorLook {
  bool told;
  bool exact;
  bool anySelected;
};
std::vector<InspectorLook>* sLooks = nullptr;

void RecordLook(bool) {
  const KnownSelection* known = CurrentKnownSelection();
  std::vector<Objex*> holding, told;
  bool any = false;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) {
      any = any || IsAnyObjectSelected(o);
      if (l->visible && IsAnyObjectSelected(o)) holding.push_back(o);
    }
  if (known)
    for (const KnownSelection::Top& t : known->tops) told.push_back(t.object);
  sLooks->push_back({known && known->firstLayer == gCurDocument->itsLayers, told == holding, any});
}

}  // namespace

TEST_F(UndoTest, InspectorIsToldWhichObjectsHoldTheRestoredSelection) {
  std::vector<InspectorLook> looks;
  sLooks = &looks;
  const auto saved = gInspectorServices.updatePropertiesState;
  gInspectorServices.updatePropertiesState = RecordLook;
  InitializeUndo();
  doc.second->visible = 1;
  Objex* rect = doc.addObject(kObjRect, true, {{0, 0}, {10, 0}, {10, 10}});
  Objex* line = doc.addObject(kObjLine, false, {{0, 30}, {10, 30}});
  Objex* upstairs = doc.addObject(kObjLine, false, {{0, 20}, {10, 20}}, doc.second);
  Objex* hidden = doc.addObject(kObjLine, false, {{0, 40}, {10, 40}}, doc.third);
  doc.third->visible = 0;
  StoreUndo("Add");  // nothing selected
  SelectObj(rect, kSelectOn, 0);
  SelectObj(line, kSelectOn, 0);
  StoreUndo("Select");  // two objects of the first floor
  SetObjectSelectFlags(rect, 0);
  SetObjectSelectFlags(line, 0);
  upstairs->firstPoint->selected = 1;
  hidden->firstPoint->selected = 1;
  StoreUndo("Select points");  // a point on another floor and one on a hidden floor
  upstairs->firstPoint->selected = 0;
  hidden->firstPoint->selected = 0;
  StoreUndo("Deselect");  // nothing again
  looks.clear();
  // Back through every snapshot and forward again: the points, the two objects, nothing, the
  // two objects, the points, nothing, the points.
  for (int i = 0; i < 3; ++i) DoUndo();
  for (int i = 0; i < 3; ++i) DoRedo();
  DoUndo();
  const bool selected[] = {true, true, false, true, true, false, true};
  ASSERT_EQ(looks.size(), 7u);
  for (size_t i = 0; i < looks.size(); ++i) {
    EXPECT_TRUE(looks[i].told) << "restore " << i;
    EXPECT_TRUE(looks[i].exact) << "restore " << i;
    EXPECT_EQ(looks[i].anySelected, selected[i]) << "restore " << i;
  }
  gInspectorServices.updatePropertiesState = saved;
  sLooks = nullptr;
}

// With the 3D window showing, the ground's heights follow the design each step restores,
// whether the step brings ground objects back, changes them or takes them away.
TEST_F(UndoTest, GroundHeightsFollowTheRestoredDesign) {
  const LiveViewHost savedHost = gLiveViewHost;
  const uint8_t savedRenderOnShow = gRenderOnShow;
  gLiveViewHost.isVisible = [] { return true; };
  doc.ds()->planBounds = {-600, -600, 600, 600};
  doc.ds()->topoGridSpacing = 120;
  SetupTopoGrid();
  ASSERT_NE(gTopographyGrid, nullptr);
  auto heights = [] {
    return std::vector<float>(gTopographyGrid, gTopographyGrid + (gTopoRowCnt + 1) * (gTopoColumnCnt + 1));
  };
  auto region = [&](float height) {
    Objex* o = doc.addObject(kObjTopography, true, {{-300, -300}, {300, -300}, {300, 300}, {-300, 300}});
    o->width = height;
    return o;
  };
  InitializeUndo();  // flat
  SetLotElevation();
  const std::vector<float> flat = heights();
  Objex* low = region(120);
  StoreUndo("Region");
  SetLotElevation();
  const std::vector<float> lowHeights = heights();
  DeleteObj(low);
  region(240);
  StoreUndo("Height");
  SetLotElevation();
  const std::vector<float> highHeights = heights();
  DeleteObj(GetLayerFromName("First Floor")->firstObject);
  StoreUndo("Delete");
  SetLotElevation();
  ASSERT_EQ(heights(), flat);
  ASSERT_NE(lowHeights, flat);
  ASSERT_NE(lowHeights, highHeights);

  const struct {
    bool back;
    const std::vector<float>* expected;
  } steps[] = {{true, &highHeights}, {true, &lowHeights}, {true, &flat},
               {false, &lowHeights}, {false, &highHeights}, {false, &flat}};
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    if (steps[i].back) DoUndo();
    else DoRedo();
    EXPECT_EQ(heights(), *steps[i].expected);
  }
  FreeTopoGrid();
  gLiveViewHost = savedHost;
  gRenderOnShow = savedRenderOnShow;
}

namespace {
int sTraceLoads = 0;
}  // namespace

TEST_F(UndoTest, TraceImageReloadsOnlyWhenItsPathChangesAndAnEmptyPathKeepsItShown) {
  const auto savedReload = gFrontEnd.reloadTraceImage;
  sTraceLoads = 0;
  // Whatever the path, nothing loads: no window shows the design.
  gFrontEnd.reloadTraceImage = [](const char*) {
    ++sTraceLoads;
    return false;
  };
  doc.ds()->traceImageVisible = 1;
  InitializeUndo();
  strcpy(doc.ds()->traceImagePath, "/missing/trace.png");
  StoreUndo("Trace Image");
  doc.ds()->gridSnap.floatH = 3;
  StoreUndo("Grid");
  DoUndo();  // the same trace path in both snapshots: not reloaded
  EXPECT_EQ(sTraceLoads, 0);
  EXPECT_STREQ(doc.ds()->traceImagePath, "/missing/trace.png");
  DoUndo();  // back to no trace image: the image is dropped, the shown flag stays
  EXPECT_EQ(sTraceLoads, 1);
  EXPECT_STREQ(doc.ds()->traceImagePath, "");
  EXPECT_EQ(doc.ds()->traceImageVisible, 1);
  DoRedo();  // a path whose image cannot be loaded is forgotten and hidden
  EXPECT_EQ(sTraceLoads, 2);
  EXPECT_STREQ(doc.ds()->traceImagePath, "");
  EXPECT_EQ(doc.ds()->traceImageVisible, 0);
  gFrontEnd.reloadTraceImage = savedReload;
}

namespace {

const char kStoreFailed[] = "Unable to store the undo state.";
const char kStepsDropped[] = "The oldest undo steps were removed to make room.";

size_t TimesShown(const RecordingAlertPresenter& alerts, const std::string& message) {
  return static_cast<size_t>(std::count_if(alerts.shown.begin(), alerts.shown.end(),
                                           [&](const AlertRequest& a) { return a.message == message; }));
}

// A tmpfs of `megabytes` mounted on `path` in a mount namespace of this process's own, so that
// nothing outlives the process; unmounted again with the object. Needs the right to mount.
class SmallFolder {
 public:
  SmallFolder(const std::string& path, int megabytes) : path_(path) {
    if (unshare(CLONE_NEWNS) != 0) return;
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return;
    const std::string options = "size=" + std::to_string(megabytes) + "m,mode=0700";
    mounted_ = mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallFolder() {
    if (mounted_) umount2(path_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  std::string path_;
  bool mounted_ = false;
};

}  // namespace

// However little room the folder gives, every edit is stored: the snapshots keep within half of
// what the folder could give them, the oldest steps go first and the user hears of it once; undo
// and redo then walk through every step kept, with the menu naming each. A ring smaller than the
// room gives up its steps as always, without a word.
TEST_F(UndoTest, HistoryKeepsWithinTheFolderGivingUpTheOldestStepsFirst) {
  addLinesFor(160 << 10);
  InitializeUndo();
  const int64_t snapshot = folderBytes();
  ASSERT_GT(snapshot, 120 << 10);
  const struct {
    int levels;
    int64_t capacity;
    size_t kept;  // snapshots once the history is full
    bool told;
  } cases[] = {
      {500, 8 * snapshot, 4, true},  // (4 + the new one's estimate) of 8 would pass half
      {500, 100 * snapshot, 21, false},
      {5, 8 * snapshot, 4, true},
      {5, 100 * snapshot, 6, false},
      {500, 2 * snapshot, 2, true},  // the step the newest one undoes to always stays
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.levels << " levels, room for " << c.capacity / snapshot);
    ScopedAlertRecorder alerts;
    SetUndoFreeBytesQuery([&] { return c.capacity - folderBytes(); });
    SetUndoLevels(c.levels);
    doc.ds()->gridSnap.floatH = 0;
    InitializeUndo();
    for (int edit = 1; edit <= 20; ++edit) {
      doc.ds()->gridSnap.floatH = static_cast<float>(edit);
      StoreUndo("Edit " + std::to_string(edit));
      ASSERT_EQ(TimesShown(alerts, kStoreFailed), 0u) << edit;
      EXPECT_EQ(doc.model.itsCurrentUndo, doc.model.itsLastUndo);
      EXPECT_EQ(slotsOnDisk(), ringSlots()) << edit;
      if (c.told) EXPECT_LE(folderBytes(), std::max(c.capacity / 2, 2 * snapshot)) << edit;
    }
    EXPECT_EQ(slotsOnDisk().size(), c.kept);
    EXPECT_EQ(TimesShown(alerts, kStepsDropped), c.told ? 1u : 0u);

    names.onUndo = [] { DoUndo(); };
    names.onRedo = [] { DoRedo(); };
    int at = 20;
    while (names.canUndo()) {
      EXPECT_EQ(names.undoMenuItemTitle(), "Undo Edit " + std::to_string(at));
      names.undo();
      EXPECT_FLOAT_EQ(doc.ds()->gridSnap.floatH, static_cast<float>(--at));
    }
    EXPECT_EQ(at, 21 - static_cast<int>(c.kept));
    while (names.canRedo()) {
      EXPECT_EQ(names.redoMenuItemTitle(), "Redo Edit " + std::to_string(at + 1));
      names.redo();
      EXPECT_FLOAT_EQ(doc.ds()->gridSnap.floatH, static_cast<float>(++at));
    }
    EXPECT_EQ(at, 20);
    EXPECT_EQ(TimesShown(alerts, kStoreFailed), 0u);
  }
}

// The same on a runtime folder that really fills (3 MB, snapshots of about 1.1 MB): whether the
// free space it reports is heeded or overstated (the write then runs out of room), an edit gives
// up older steps rather than fail.
TEST_F(UndoTest, ARuntimeFolderThatFillsCostsOldStepsNotEdits) {
  addLinesFor(1100 << 10);
  for (const bool overstated : {false, true}) {
    SCOPED_TRACE(overstated ? "free space overstated" : "free space as reported");
    SmallFolder small(runtime.string(), 3);
    if (!small.mounted()) GTEST_SKIP() << "no small folder can be mounted here";
    ScopedAlertRecorder alerts;
    if (overstated) SetUndoFreeBytesQuery([] { return int64_t(1) << 40; });
    SetUndoLevels(500);
    doc.ds()->gridSnap.floatH = 0;
    InitializeUndo();
    const int64_t snapshot = folderBytes();
    ASSERT_GT(snapshot, 1000 << 10);
    ASSERT_LT(snapshot, 1400 << 10);
    for (int edit = 1; edit <= 6; ++edit) {
      doc.ds()->gridSnap.floatH = static_cast<float>(edit);
      StoreUndo("Edit " + std::to_string(edit));
      EXPECT_EQ(TimesShown(alerts, kStoreFailed), 0u) << edit;
      EXPECT_EQ(slotsOnDisk(), ringSlots()) << edit;
    }
    EXPECT_EQ(TimesShown(alerts, kStepsDropped), 1u);
    EXPECT_EQ(names.undoMenuItemTitle(), "Undo Edit 6");
    names.onUndo = [] { DoUndo(); };
    ASSERT_TRUE(names.undo());
    EXPECT_FLOAT_EQ(doc.ds()->gridSnap.floatH, 5);
    EXPECT_FALSE(names.canUndo());
    EXPECT_EQ(gUndoActive, 1);
    SetUndoFreeBytesQuery({});
  }
}

// An edit whose snapshot could not be stored is still an edit: the design is marked edited, one
// undo goes back to the newest stored state and the next to the one before it, and what could be
// redone before the edit cannot be redone after it.
TEST_F(UndoTest, UndoAfterAFailedStoreGoesBackOneStoredStep) {
  names.onUndo = [] { DoUndo(); };
  names.onRedo = [] { DoRedo(); };
  ScopedAlertRecorder alerts;
  auto edit = [&](float grid, const std::string& name) {
    doc.ds()->gridSnap.floatH = grid;
    StoreUndo(name);
  };
  auto grid = [&] { return doc.ds()->gridSnap.floatH; };
  {
    SCOPED_TRACE("edit, edit (fails), edit (fails), undo, undo, redo");
    doc.ds()->gridSnap.floatH = 0;
    InitializeUndo();
    edit(1, "Edit 1");
    fs::create_directories(UndoStatePath(3));  // slot 3 cannot be written
    doc.model.itsEdited = false;
    edit(2, "Edit 2");
    edit(3, "Edit 3");
    EXPECT_EQ(TimesShown(alerts, kStoreFailed), 2u);
    EXPECT_TRUE(doc.model.itsEdited);
    EXPECT_EQ(names.undoMenuItemTitle(), "Undo Edit 3");
    ASSERT_TRUE(names.undo());
    EXPECT_FLOAT_EQ(grid(), 1);
    EXPECT_FALSE(names.canRedo());  // edits 2 and 3 were never stored
    EXPECT_EQ(names.undoMenuItemTitle(), "Undo Edit 1");
    ASSERT_TRUE(names.undo());
    EXPECT_FLOAT_EQ(grid(), 0);
    EXPECT_FALSE(names.canUndo());
    EXPECT_EQ(names.redoMenuItemTitle(), "Redo Edit 1");
    ASSERT_TRUE(names.redo());
    EXPECT_FLOAT_EQ(grid(), 1);
    EXPECT_FALSE(names.canRedo());
    fs::remove(UndoStatePath(3));
  }
  {
    SCOPED_TRACE("a stored edit after failed ones undoes them together");
    doc.ds()->gridSnap.floatH = 0;
    InitializeUndo();
    edit(1, "Edit 1");
    fs::create_directories(UndoStatePath(3));
    edit(2, "Edit 2");
    fs::remove(UndoStatePath(3));
    edit(4, "Edit 4");
    EXPECT_EQ(names.undoMenuItemTitle(), "Undo Edit 4");
    ASSERT_TRUE(names.undo());
    EXPECT_FLOAT_EQ(grid(), 1);
    EXPECT_EQ(names.redoMenuItemTitle(), "Redo Edit 4");
    ASSERT_TRUE(names.undo());
    EXPECT_FLOAT_EQ(grid(), 0);
    ASSERT_TRUE(names.redo());
    ASSERT_TRUE(names.redo());
    EXPECT_FLOAT_EQ(grid(), 4);
  }
  {
    SCOPED_TRACE("a failed edit after undo drops what could be redone");
    doc.ds()->gridSnap.floatH = 0;
    InitializeUndo();
    edit(1, "Edit 1");
    edit(2, "Edit 2");
    ASSERT_TRUE(names.undo());  // back to edit 1, edit 2 could be redone
    fs::remove(UndoStatePath(3));
    fs::create_directories(UndoStatePath(3));
    edit(5, "Edit 5");
    EXPECT_FALSE(names.canRedo());
    DoRedo();  // straight from the document too: nothing to redo
    EXPECT_FLOAT_EQ(grid(), 5);
    ASSERT_TRUE(names.undo());
    EXPECT_FLOAT_EQ(grid(), 1);
    ASSERT_TRUE(names.undo());
    EXPECT_FLOAT_EQ(grid(), 0);
    fs::remove(UndoStatePath(3));
  }
}

// The levels bound the ring, and a history started afresh (as the preferences do for every open
// design when the levels change) leaves no snapshot of the old ring behind, lowered or raised.
TEST_F(UndoTest, ChangingTheLevelsLeavesOnlyTheNewRingsFiles) {
  const struct {
    int levels;
    int32_t slots;  // in the ring
  } steps[] = {{500, 501}, {5, 6}, {4, 6}, {200, 201}, {501, 501}, {5, 6}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.levels);
    SetUndoLevels(step.levels);
    EXPECT_EQ(gTotalUndos, step.slots);
    InitializeUndo();
    EXPECT_EQ(slotsOnDisk(), std::vector<int32_t>{1});
    for (int edit = 1; edit <= 30; ++edit) {
      doc.ds()->gridSnap.floatH = static_cast<float>(edit);
      StoreUndo("Edit");
    }
    EXPECT_EQ(slotsOnDisk().size(), static_cast<size_t>(std::min(step.slots, 31)));
    EXPECT_EQ(slotsOnDisk(), ringSlots());
    // Undone steps that a new edit replaces go with their files.
    for (int i = 0; i < 3; ++i) DoUndo();
    StoreUndo("Edit");
    EXPECT_EQ(slotsOnDisk(), ringSlots());
  }
}

namespace {
int sSignal = -1;
bool sStopBeforeWriting = false;
// Writes the design (all but its last piece reaches the file), says so, and waits to be killed.
void WriteThenWait() {
  if (!sStopBeforeWriting) WriteDesignToOutputBuffer();
  const char done = 1;
  if (write(sSignal, &done, 1) != 1) _exit(3);
  for (;;) pause();
}
}  // namespace

// A run killed while it wrote a snapshot leaves the write's temporary file beside the slot's
// file: empty, or with the pieces written so far. Start-up removes it once the run is gone, and
// leaves it while the run lives.
TEST_F(UndoTest, StartUpRemovesTheTemporaryFileOfASnapshotWriteKilledMidway) {
  addLinesFor(2500 << 10);
  ASSERT_TRUE(CreateApplicationTemporaryFolder());
  int32_t id = 900;
  for (const bool beforeWriting : {true, false}) {
    SCOPED_TRACE(beforeWriting ? "killed before the first piece" : "killed between pieces");
    ++id;
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(pipeFds[0]);
      sSignal = pipeFds[1];
      sStopBeforeWriting = beforeWriting;
      doc.model.itsDocID = id;
      if (HoldOwnershipLock(UndoLockPathFor(id)) < 0) _exit(2);
      WriteOutputFileStreamed(UndoStatePath(7).c_str(), false, WriteThenWait);
      _exit(4);
    }
    close(pipeFds[1]);
    char done = 0;
    const bool waiting = read(pipeFds[0], &done, 1) == 1;
    close(pipeFds[0]);
    auto leftovers = [&] {
      std::vector<std::pair<std::string, uintmax_t>> found;
      const std::string head = "." + UndoFilePrefixFor(id) + "_7.dat.";
      for (const auto& entry : fs::directory_iterator(ApplicationTemporaryPath())) {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, head.size(), head) == 0) found.emplace_back(name, entry.file_size());
      }
      return found;
    };
    auto found = leftovers();
    const int swept = waiting ? RemoveAbandonedUndoFiles() : -1;  // the run still lives
    const auto kept = leftovers();
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(waiting);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].first.size(), ("." + UndoFilePrefixFor(id) + "_7.dat.12345678.tmp").size());
    if (beforeWriting) EXPECT_EQ(found[0].second, 0u);
    else EXPECT_GE(found[0].second, uintmax_t(2) << 20);
    EXPECT_EQ(swept, 0);
    EXPECT_EQ(kept, found);

    EXPECT_EQ(RemoveAbandonedUndoFiles(), 2);  // the temporary file and the lock
    EXPECT_TRUE(leftovers().empty());
    EXPECT_FALSE(fs::exists(UndoLockPathFor(id)));
  }
}

// What a click that may have changed nothing is compared on: the design, not what the
// selection, the view, a tool default or the ID counters did since the step it stands at. The
// tools whose click selects compare the selection too.
TEST_F(UndoTest, AClickStoresAStepOnlyWhenTheDesignChanged) {
  const struct {
    const char* what;
    void (*change)(TestDocument&, Objex* line);
    bool design;     // a step for a click that compares the design alone
    bool selection;  // and for one that compares the selection too
  } cases[] = {
      {"nothing", [](TestDocument&, Objex*) {}, false, false},
      {"the line selected", [](TestDocument&, Objex* line) { SelectObj(line, kSelectOn, 0); }, false, true},
      {"plan zoom 2", [](TestDocument& d, Objex*) { d.ds()->zoomFactor = 2; }, false, false},
      {"the walk camera moved",
       [](TestDocument& d, Objex*) {
         d.ds()->walkPosition = {120, -480};
         d.ds()->walkAngle = 45;
         d.ds()->walkElevation = 70;
       },
       false, false},
      {"the cut-away and the plan tab",
       [](TestDocument& d, Objex*) {
         d.ds()->cutAwayPlane = 2;
         d.ds()->viewSetting2 = 50;
         d.ds()->currentPlanMask = d.ds()->planMasks[kPlanElectrical];
       },
       false, false},
      {"wall height 96\" to 108\"", [](TestDocument& d, Objex*) { d.ds()->wallHeight = 108; }, false, false},
      {"door width and deck height",
       [](TestDocument& d, Objex*) {
         d.ds()->doorWidth = 36;
         d.ds()->deckHeight = 30;
       },
       false, false},
      {"new IDs taken, the design saved",
       [](TestDocument& d, Objex*) {
         d.ds()->nextObjectID += 7;
         d.ds()->nextPointID += 9;
         d.ds()->documentChanged = !d.ds()->documentChanged;
       },
       false, false},
      {"the line moved",
       [](TestDocument&, Objex* line) {
         line->firstPoint->position[0] += 12;
         UpdateObjectBounds(line);
       },
       true, true},
      {"the line selected and moved",
       [](TestDocument&, Objex* line) {
         SelectObj(line, kSelectOn, 0);
         line->firstPoint->next->position[2] -= 1;
         UpdateObjectBounds(line);
       },
       true, true},
      {"a line added", [](TestDocument& d, Objex*) { d.addObject(kObjLine, false, {{50, 50}, {60, 50}}); }, true, true},
      {"the lot's material", [](TestDocument& d, Objex*) { d.ds()->lotTextureID += 1; }, true, true},
  };
  for (const bool metric : {false, true}) {
    for (const auto& c : cases) {
      for (const UndoCompare compare : {UndoCompare::kDesign, UndoCompare::kDesignAndSelection}) {
        SCOPED_TRACE(std::string(c.what) + (metric ? ", metric" : ", imperial") +
                     (compare == UndoCompare::kDesign ? "" : ", selection compared"));
        TestDocument fresh;
        fresh.model.itsDocID = 4243;
        fresh.model.itsUndoManager = &names;
        if (metric) SetDocStateMetricDefaults(fresh.ds());
        Objex* line = fresh.addObject(kObjLine, false, {{0, 0}, {10, 0}});
        InitializeUndo();
        c.change(fresh, line);
        const bool step = compare == UndoCompare::kDesign ? c.design : c.selection;
        EXPECT_EQ(StoreUndoIfChanged("Door Tool", compare), step);
        EXPECT_EQ(names.undoMenuItemTitle(), step ? "Undo Door Tool" : "Undo");
        EXPECT_EQ(fresh.model.itsCurrentUndo, step ? 2 : 1);
        // A second click with nothing changed since stores nothing.
        EXPECT_FALSE(StoreUndoIfChanged("Door Tool", compare));
        fresh.model.sanitizeUndoFiles();
      }
    }
  }
}

// The step a click is compared with is the one undo and redo stand at, wherever they went; an
// edit no snapshot took is never matched; a history started afresh and a design opened are
// their first step.
TEST_F(UndoTest, TheComparedStepFollowsUndoRedoFailedStoresAndOpen) {
  names.onUndo = [] { DoUndo(); };
  names.onRedo = [] { DoRedo(); };
  ScopedAlertRecorder alerts;
  // A design as read from its file: what the reader works out is there already.
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  const std::string path = (runtime / "design.pro").string();
  ASSERT_EQ(KeyFileWrite(path.c_str()), 1);
  ASSERT_EQ(KeyFileRead(path.c_str()), 1);
  auto line = [] { return GetLayerFromName("First Floor")->firstObject; };
  auto x = [&] { return static_cast<float>(line()->penColor.red); };
  auto move = [&](float to, const std::string& name) {
    line()->penColor.red = static_cast<uint16_t>(to);
    EXPECT_TRUE(StoreUndoIfChanged(name));
  };
  // Nothing but the view, a tool default and the selection changed: no step.
  auto idle = [&](float zoom) {
    doc.ds()->zoomFactor = zoom;
    doc.ds()->wallHeight += 12;
    SelectObj(line(), kSelectToggle, 0);
    EXPECT_FALSE(StoreUndoIfChanged("Door Tool"));
  };
  using Titles = std::pair<std::string, std::string>;
  auto titles = [&] { return Titles{names.undoMenuItemTitle(), names.redoMenuItemTitle()}; };

  SetUndoLevels(5);  // a ring of 6 slots, which the edits wrap
  InitializeUndo();
  idle(2);
  for (int i = 1; i <= 8; ++i) move(static_cast<float>(i), "Move " + std::to_string(i));
  EXPECT_EQ(doc.model.itsCurrentUndo, 3);  // wrapped
  idle(3);
  // Undo past the start of what the ring keeps, a click that changes nothing at each step.
  for (int i = 7; i >= 3; --i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(names.undo());
    EXPECT_FLOAT_EQ(x(), static_cast<float>(i));
    idle(static_cast<float>(i));
    EXPECT_EQ(titles(), (Titles{i > 3 ? "Undo Move " + std::to_string(i) : "Undo", "Redo Move " + std::to_string(i + 1)}));
  }
  EXPECT_FALSE(names.undo());
  EXPECT_FLOAT_EQ(x(), 3);
  // Redo past the end, the same at each step.
  for (int i = 4; i <= 8; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(names.redo());
    EXPECT_FLOAT_EQ(x(), static_cast<float>(i));
    idle(static_cast<float>(i));
    EXPECT_EQ(titles(), (Titles{"Undo Move " + std::to_string(i), i < 8 ? "Redo Move " + std::to_string(i + 1) : "Redo"}));
  }
  EXPECT_FALSE(names.redo());
  EXPECT_FLOAT_EQ(x(), 8);

  // An edit whose snapshot could not be stored is undone by going back to the newest stored
  // step, which a click is compared with again.
  fs::remove(UndoStatePath(4));
  fs::create_directories(UndoStatePath(4));  // the next slot cannot be written
  move(9, "Move 9");
  EXPECT_TRUE(alerts.sawMessage("Unable to store the undo state."));
  EXPECT_EQ(titles(), (Titles{"Undo Move 9", "Redo"}));
  ASSERT_TRUE(names.undo());
  EXPECT_FLOAT_EQ(x(), 8);
  idle(9);
  EXPECT_EQ(titles(), (Titles{"Undo Move 8", "Redo"}));
  // Left unstored again, the same design is a step once it can be stored.
  move(9, "Move 9");
  fs::remove(UndoStatePath(4));
  EXPECT_TRUE(StoreUndoIfChanged("Door Tool"));
  EXPECT_EQ(titles(), (Titles{"Undo Door Tool", "Redo"}));
  idle(4);
  ASSERT_TRUE(names.undo());
  EXPECT_FLOAT_EQ(x(), 8);
  ASSERT_TRUE(names.redo());
  EXPECT_FLOAT_EQ(x(), 9);

  // A design written and opened again: its first step is the design as opened.
  ASSERT_EQ(KeyFileWrite(path.c_str()), 1);
  ASSERT_EQ(KeyFileRead(path.c_str()), 1);
  InitializeUndo();
  EXPECT_FALSE(StoreUndoIfChanged("Door Tool"));
  idle(5);
  EXPECT_EQ(titles(), (Titles{"Undo", "Redo"}));
  move(10, "Move 10");
  EXPECT_EQ(titles(), (Titles{"Undo Move 10", "Redo"}));
}

// A snapshot of several megabytes goes to its file in pieces, while the check of a click writes
// the design whole in memory: both digest the same design alike.
TEST_F(UndoTest, ASnapshotWrittenInPiecesAndAClickWrittenWholeDigestAlike) {
  addLinesFor(size_t(3) << 20);
  Objex* line = GetLayerFromName("First Floor")->firstObject;
  InitializeUndo();
  ASSERT_GT(fs::file_size(UndoStatePath(1)), uintmax_t(2) << 20);
  for (int i = 1; i <= 2; ++i) {
    SCOPED_TRACE(i);
    doc.ds()->zoomFactor = static_cast<float>(i);
    SelectObj(line, kSelectToggle, 0);
    EXPECT_FALSE(StoreUndoIfChanged("Door Tool"));
    line->penColor.red = static_cast<uint16_t>(i);
    StoreUndo("Color");  // written in pieces
  }
  EXPECT_FALSE(StoreUndoIfChanged("Door Tool"));
  line->penColor.red = 7;
  EXPECT_TRUE(StoreUndoIfChanged("Color"));  // written whole
  EXPECT_FALSE(StoreUndoIfChanged("Door Tool"));
  EXPECT_EQ(names.undoMenuItemTitle(), "Undo Color");
}

namespace {
// A setting of DocState, the bytes it takes, and a change of it.
struct SettingChange {
  const char* name;
  size_t at, size;
  void (*change)(DocState*);
};
#define SETTING(field, ...) SettingChange{#field, offsetof(DocState, field), sizeof(DocState::field), [](DocState* d) { __VA_ARGS__; }}

bool SameSetting(const DocState& a, const DocState& b, const SettingChange& s) {
  return memcmp(reinterpret_cast<const char*>(&a) + s.at, reinterpret_cast<const char*>(&b) + s.at, s.size) == 0;
}
}  // namespace

// What the user changes with no undo step of its own (menu toggles and choices of the plan and
// the 3D window, the tools' defaults, the plant growth level, the view) is no change to a click
// that is refused, and Undo and Redo of the edits around it leave it as it stands, whether it
// changed before or after the edit.
TEST_F(UndoTest, SettingsChangedWithNoStepAreNeitherComparedNorUndone) {
  const SettingChange settings[] = {
      SETTING(snapToGrid, d->snapToGrid = !d->snapToGrid),  // Plan > Snap To Grid
      SETTING(showTopoLines, d->showTopoLines = !d->showTopoLines),  // Plan > Topography Lines
      SETTING(navigationStep, d->navigationStep = d->navigationStep == 9 ? 7 : 9),  // 3D navigation speed
      SETTING(renderSetting3, d->renderPasses() = d->renderPasses() == 24 ? 4 : 24),  // 3D render quality
      SETTING(shadowQuality, d->shadowQuality = d->shadowQuality == 5 ? 0 : 5),
      SETTING(viewSetting12, d->renderMode() = d->renderMode() == 1 ? 5 : 1),  // wireframe, solid
      SETTING(viewSetting1, d->clearView() = !d->clearView()),
      SETTING(shadowsOn, d->shadowRender() = !d->shadowRender()),
      SETTING(snapOffset, d->snapOffset += 11.8125f),
      SETTING(traceImageVisible, d->traceImageVisible = !d->traceImageVisible),
      SETTING(wallHeight, d->wallHeight = 108),  // the wall tool's default height
      SETTING(wallThickness, d->wallThickness += 2),  // the Exterior Wall tool's inspector
      SETTING(exteriorWallSetting, d->exteriorWallSetting += 3),
      SETTING(floorThickness, d->floorThickness = 9),
      SETTING(plantAge, d->plantAge = 5),  // the plant growth level
      SETTING(studSpacing, d->studSpacing += 8),
      SETTING(wallDisplayFlags, d->wallDisplayFlags ^= 3),
      SETTING(detailEditLevel, d->detailEditLevel += 1),
      SETTING(detailDisplayDims, d->detailDisplayDims ^= 1),
      SETTING(glowFlag, d->glowFlag = !d->glowFlag),
      SETTING(lightRadius, d->lightRadius += 24),
      SETTING(doorWidth, d->doorWidth = 36),
      SETTING(planMasks, d->planMasks[kPlanElectrical] ^= 1 << kPlanRoofing),  // Plan > a plan's kinds
      SETTING(viewPoint, d->viewPoint.floatH += 240),  // Fit To Window
      SETTING(zoomFactor, d->zoomFactor = 2),
      SETTING(walkAngle, d->walkAngle += 45),
      SETTING(wallDimensionFrom, d->wallDimensionFrom = d->wallDimensionFrom == 2 ? 1 : 2),
      // Held by no design file.
      SETTING(stairOpenSteps, d->stairOpenSteps = !d->stairOpenSteps),
      SETTING(stairClosedStringers, d->stairClosedStringers = !d->stairClosedStringers),
      SETTING(stairLongStringerBase, d->stairLongStringerBase = !d->stairLongStringerBase),
      SETTING(origin, d->origin.floatD += 30),
      SETTING(lockOriginX, d->lockOriginX = !d->lockOriginX),
      SETTING(lockOriginY, d->lockOriginY = !d->lockOriginY),
      SETTING(lockOriginZ, d->lockOriginZ = !d->lockOriginZ),
      SETTING(framingView, d->framingView = !d->framingView),
      SETTING(clearViewLine, d->clearViewLine.green ^= 0x4000),
      SETTING(clearViewFill, d->clearViewFill.blue ^= 0x4000),
      SETTING(roofStyle, d->roofStyle = d->roofStyle == 2 ? 3 : 2),
  };
  const std::string path = (runtime / "design.pro").string();
  for (const bool metric : {false, true}) {
    for (const bool afterEdit : {false, true}) {
      for (const SettingChange& s : settings) {
        SCOPED_TRACE(std::string(s.name) + (metric ? ", metric" : ", imperial") +
                     (afterEdit ? ", changed after the edit" : ", changed before the edit"));
        TestDocument fresh;
        fresh.model.itsDocID = 4244;
        UndoNameStack steps;
        fresh.model.itsUndoManager = &steps;
        if (metric) SetDocStateMetricDefaults(fresh.ds());
        fresh.addObject(kObjLine, false, {{0, 0}, {10, 0}});
        // The design as read from its file: what the reader works out is there already.
        ASSERT_EQ(KeyFileWrite(path.c_str()), 1);
        ASSERT_EQ(KeyFileRead(path.c_str()), 1);
        Objex* line = GetLayerFromName("First Floor")->firstObject;
        InitializeUndo();
        const DocState before = *fresh.ds();
        if (!afterEdit) s.change(fresh.ds());
        line->penColor.red = 500;
        StoreUndo("Move");
        if (afterEdit) s.change(fresh.ds());
        const DocState changed = *fresh.ds();
        ASSERT_FALSE(SameSetting(before, changed, s));
        // A door tool click off every wall changes nothing.
        EXPECT_FALSE(StoreUndoIfChanged("Door Tool"));
        EXPECT_EQ(steps.undoMenuItemTitle(), "Undo Move");
        DoUndo();
        line = GetLayerFromName("First Floor")->firstObject;
        EXPECT_NE(line->penColor.red, 500);
        EXPECT_TRUE(SameSetting(*fresh.ds(), changed, s));
        EXPECT_FALSE(StoreUndoIfChanged("Door Tool"));
        DoRedo();
        line = GetLayerFromName("First Floor")->firstObject;
        EXPECT_EQ(line->penColor.red, 500);
        EXPECT_TRUE(SameSetting(*fresh.ds(), changed, s));
        fresh.model.sanitizeUndoFiles();
      }
    }
  }
}

// A setting that an edit with its own step changes is that step's: a click after it alone is a
// change, and Undo and Redo put it back and forth.
TEST_F(UndoTest, SettingsChangedByAStepAreUndoneWithIt) {
  const struct {
    const char* step;
    SettingChange setting;
  } stepped[] = {
      {"Window & Door Callouts", SETTING(showCallouts, d->showCallouts = !d->showCallouts)},
      {"Automatic Dimensioning", SETTING(drawSetting1, d->drawSetting1 = !d->drawSetting1)},
      {"Grid Properties", SETTING(gridSpacing, d->gridSpacing.floatH += 12)},
      {"Measurement Options", SETTING(angleReadout, d->angleReadout = d->angleReadout ? 0 : 1)},
      {"Lighting Settings", SETTING(viewSetting6, d->lightBrightness() += 0.5f)},
      {"Plan Scale", SETTING(planScaleChoice, d->planScaleChoice += 1)},
      {"Lot Size", SETTING(planBounds, d->planBounds.floatRight += 120)},
      // Held by no design file: kept beside the step.
      {"Material", SETTING(backgroundTextureScale, d->backgroundTextureScale = ShortPoint{50, 200})},
  };
  for (const auto& [step, s] : stepped) {
    SCOPED_TRACE(step);
    TestDocument fresh;
    fresh.model.itsDocID = 4245;
    UndoNameStack steps;
    fresh.model.itsUndoManager = &steps;
    fresh.addObject(kObjLine, false, {{0, 0}, {10, 0}});
    InitializeUndo();
    const DocState before = *fresh.ds();
    s.change(fresh.ds());
    const DocState changed = *fresh.ds();
    EXPECT_TRUE(StoreUndoIfChanged(step));
    EXPECT_EQ(steps.undoMenuItemTitle(), std::string("Undo ") + step);
    DoUndo();
    EXPECT_TRUE(SameSetting(*fresh.ds(), before, s));
    DoRedo();
    EXPECT_TRUE(SameSetting(*fresh.ds(), changed, s));
    fresh.model.sanitizeUndoFiles();
  }
}

// The trace image's visibility is toggled with no step and stays through Undo and Redo; a step
// that loads or removes the image brings back the visibility it had.
TEST_F(UndoTest, TheTraceImageShowsAsItsStepLeftIt) {
  InitializeUndo();
  strcpy(doc.ds()->traceImagePath, "/nowhere/plan.png");
  doc.ds()->traceImageVisible = 1;
  StoreUndo("Load Floorplan Trace Image");
  doc.ds()->traceImageVisible = 0;  // hidden, no step
  EXPECT_FALSE(StoreUndoIfChanged("Door Tool"));
  DoUndo();
  EXPECT_STREQ(doc.ds()->traceImagePath, "");
  EXPECT_EQ(doc.ds()->traceImageVisible, 0);
  DoRedo();
  EXPECT_STREQ(doc.ds()->traceImagePath, "/nowhere/plan.png");
  EXPECT_EQ(doc.ds()->traceImageVisible, 1);  // as loaded
  doc.ds()->traceImageVisible = 0;
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  StoreUndo("Line Tool");
  DoUndo();
  EXPECT_STREQ(doc.ds()->traceImagePath, "/nowhere/plan.png");
  EXPECT_EQ(doc.ds()->traceImageVisible, 0);  // the same image: left as the user set it
}

// An edit left unstored by a failed store and then put back by hand leaves the design as its
// stored step holds it; the click after it still ends that edit's step, under the click's name,
// and Undo and Redo step through it.
TEST_F(UndoTest, AClickAfterAnUnstoredEditPutBackStoresTheEditsStep) {
  names.onUndo = [] { DoUndo(); };
  names.onRedo = [] { DoRedo(); };
  ScopedAlertRecorder alerts;
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  auto line = [] { return GetLayerFromName("First Floor")->firstObject; };
  using Titles = std::pair<std::string, std::string>;
  auto titles = [&] { return Titles{names.undoMenuItemTitle(), names.redoMenuItemTitle()}; };
  InitializeUndo();
  for (const int round : {0, 1}) {
    SCOPED_TRACE(round);
    line()->penColor.red = static_cast<uint16_t>(100 + round);
    StoreUndo("Move");
    const int32_t stored = doc.model.itsCurrentUndo;
    const int32_t next = stored + 1;
    fs::remove(UndoStatePath(next));
    fs::create_directories(UndoStatePath(next));  // the next slot cannot be written
    line()->penColor.red = 900;
    StoreUndo("Pen Color");
    EXPECT_TRUE(alerts.sawMessage("Unable to store the undo state."));
    EXPECT_EQ(titles(), (Titles{"Undo Pen Color", "Redo"}));
    fs::remove(UndoStatePath(next));
    // Put back by hand: the design is the stored step's again, byte for byte.
    line()->penColor.red = static_cast<uint16_t>(100 + round);
    EXPECT_TRUE(StoreUndoIfChanged("Door Tool"));
    EXPECT_EQ(doc.model.itsCurrentUndo, next);
    EXPECT_EQ(titles(), (Titles{"Undo Door Tool", "Redo"}));
    EXPECT_FALSE(StoreUndoIfChanged("Door Tool"));
    ASSERT_TRUE(names.undo());
    EXPECT_EQ(doc.model.itsCurrentUndo, stored);
    EXPECT_EQ(line()->penColor.red, 100 + round);
    EXPECT_EQ(titles(), (Titles{"Undo Move", "Redo Door Tool"}));
    ASSERT_TRUE(names.redo());
    EXPECT_EQ(doc.model.itsCurrentUndo, next);
    EXPECT_EQ(titles(), (Titles{"Undo Door Tool", "Redo"}));
    EXPECT_FALSE(doc.model.itsUnstoredEdit);
  }
}

// Two coordinates changed by a few units in their last place, together (in one run of the
// snapshot's bytes) and each alone: the click after them is a change like any other, on every
// floor, and Undo and Redo step over it.
TEST_F(UndoTest, CoordinatesNudgedInTheirLastPlaceAreAChange) {
  const std::string path = (runtime / "design.pro").string();
  const char* const floors[] = {"First Floor", "Second Floor", "Third Floor"};
  for (const char* floor : floors) {
    for (const int changes : {1, 2, 3}) {  // bits: the x of the first point, the z of the second
      SCOPED_TRACE(std::string(floor) + " " + std::to_string(changes));
      TestDocument fresh;
      fresh.model.itsDocID = 4246;
      UndoNameStack steps;
      steps.onUndo = [] { DoUndo(); };
      steps.onRedo = [] { DoRedo(); };
      fresh.model.itsUndoManager = &steps;
      Layer* layer = GetLayerFromName(floor);
      ASSERT_NE(layer, nullptr);
      fresh.addObject(kObjLine, false, {{3049.625f, 12.5f}, {96.25f, -61.125f}}, layer);
      // The design as read from its file: what the reader works out is there already.
      ASSERT_EQ(KeyFileWrite(path.c_str()), 1);
      ASSERT_EQ(KeyFileRead(path.c_str()), 1);
      InitializeUndo();
      auto first = [&] { return GetLayerFromName(floor)->firstObject->firstPoint; };
      if (changes & 1) first()->position[0] = 3049.63257f;
      if (changes & 2) first()->next->position[2] = -61.1250267f;
      UpdateObjectBounds(GetLayerFromName(floor)->firstObject);
      ASSERT_NE(first()->position[0] == 3049.625f && first()->next->position[2] == -61.125f, true);
      EXPECT_TRUE(StoreUndoIfChanged("Move"));
      EXPECT_EQ(steps.undoMenuItemTitle(), "Undo Move");
      ASSERT_TRUE(steps.undo());
      EXPECT_EQ(first()->position[0], 3049.625f);
      EXPECT_EQ(first()->next->position[2], -61.125f);
      ASSERT_TRUE(steps.redo());
      EXPECT_EQ(first()->position[0], changes & 1 ? 3049.63257f : 3049.625f);
      EXPECT_EQ(first()->next->position[2], changes & 2 ? -61.1250267f : -61.125f);
      fresh.model.sanitizeUndoFiles();
    }
  }
}
