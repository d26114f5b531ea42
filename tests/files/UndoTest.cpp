// Snapshot undo: the ring words, the snapshot files, restoring, and failures.
#include <gtest/gtest.h>

#include <utility>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestDocument.h"
#include "files/FileTestSupport.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/Undo.h"
#include "model/Delete.h"
#include "model/HitTest.h"
#include "model/Selection.h"
#include "model/SelectionClick.h"
#include "model/Services.h"
#include "model/TopoGrid.h"
#include "platform/Alerts.h"
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

// Undo restores the design, not the view: the 3D camera, the cut-away and the plan's tab stay as
// the user left them, and the kinds the tab shows follow the restored design's own masks.
TEST_F(UndoTest, TheCameraAndThePlanTabStayWhereTheUserLeftThem) {
  DocState* ds = doc.ds();
  ds->newObjectPlanMask = 1 << kPlanFloor;
  ds->currentPlanMask = ds->planMasks[kPlanFloor];
  InitializeUndo();
  ds->planMasks[kPlanLandscape] = 0x81;
  StoreUndo("Display");
  ds->planMasks[kPlanLandscape] = 0x83;
  StoreUndo("Display");

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
  EXPECT_EQ(ds->planMasks[kPlanLandscape], 0x81);  // the design's setting is undone
  EXPECT_EQ(ds->newObjectPlanMask, 1 << kPlanLandscape);
  EXPECT_EQ(ds->currentPlanMask, 0x81);
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
  EXPECT_EQ(names.undoActionName(), "Line");

  // A missing snapshot: the design stays and undo switches off.
  fs::remove(UndoStatePath(1));
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
