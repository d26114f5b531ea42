// The preferences window and the snap palette.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <filesystem>
#include <limits>

#include "app/AppController.h"
#include "files/Undo.h"
#include "inspectors/PreferencesController.h"
#include "model/CommandCodes.h"
#include "inspectors/ReadoutFormatControls.h"
#include "inspectors/SheetHooks.h"
#include "inspectors/SheetTestSupport.h"
#include "inspectors/SnapPaletteController.h"
#include "model/Globals.h"
#include "platform/Alerts.h"
#include "platform/TemporaryFolder.h"
#include "tools/ObjectSnaps.h"
#include "tools/SnapCodes.h"

namespace {

class Preferences : public SheetTest {
 protected:
  PreferencesController& prefs() { return PreferencesController::sharedPreferencesController(); }
  void afterDocument() override {
    SheetTest::afterDocument();
    AppController::initialize();  // the registered defaults on this test's store
    prefs().hide();
    prefs().initializeControls();
  }
  void okWithLevels(const char* levels) {
    prefs().undoLevelsText->setText(levels);
    prefs().dismissWindow(1);
  }
};

TEST_F(Preferences, UndoLevelsAreClampedAndAnUnchangedLevelResetsNobody) {
  doc->undoManager().setActionName("Move");
  okWithLevels("200");
  EXPECT_EQ(defaults.getInt("UndoLevels"), 200);
  EXPECT_TRUE(anyUndo());
  for (const char* small : {"0", "3"}) {
    prefs().initializeControls();
    okWithLevels(small);
    EXPECT_EQ(defaults.getInt("UndoLevels"), 5) << small;
  }
  // The change cleared every open design's history.
  EXPECT_FALSE(anyUndo());
  prefs().initializeControls();
  okWithLevels("1000");
  EXPECT_EQ(defaults.getInt("UndoLevels"), 500);
  EXPECT_EQ(doc->undoManager().levelsOfUndo(), 500u);
  // An empty field counts as no levels.
  prefs().initializeControls();
  okWithLevels("");
  EXPECT_EQ(defaults.getInt("UndoLevels"), 5);
}

TEST_F(Preferences, UndoLevelsOnEachSideOfBothBounds) {
  // Each count next to a bound, typed after a different one: what is stored and what the open
  // design's history then holds.
  struct Row {
    const char* typed;
    int kept;
  };
  const Row rows[] = {{"4", 5}, {"6", 6}, {"5", 5}, {"499", 499}, {"501", 500}, {"500", 500}, {"-1", 5}};
  for (const Row& r : rows) {
    prefs().initializeControls();
    okWithLevels(r.typed);
    EXPECT_EQ(defaults.getInt("UndoLevels"), r.kept) << r.typed;
    EXPECT_EQ(doc->undoManager().levelsOfUndo(), static_cast<size_t>(r.kept)) << r.typed;
  }
}

// Levels typed in the window restart every open design's history at once: the snapshots of the
// old ring go then, lowered or raised, not when the design closes.
TEST_F(Preferences, ChangedUndoLevelsLeaveOnlyTheNewHistorysSnapshots) {
  auto snapshots = [&] {
    const std::string head = model->undoFilePrefix() + "_";
    size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ApplicationTemporaryPath()))
      n += entry.path().filename().string().compare(0, head.size(), head) == 0;
    return n;
  };
  auto edit = [&](int times) {
    gCurDocument = model;
    for (int i = 0; i < times; ++i) {
      ds->gridSnap.floatH = static_cast<float>(i + 1);
      StoreUndo("Grid");
    }
  };
  okWithLevels("200");
  edit(30);
  EXPECT_EQ(snapshots(), 31u);
  prefs().initializeControls();
  okWithLevels("5");
  EXPECT_EQ(snapshots(), 1u);
  edit(10);
  EXPECT_EQ(snapshots(), 6u);
  prefs().initializeControls();
  okWithLevels("500");
  EXPECT_EQ(snapshots(), 1u);
}

TEST_F(Preferences, TurningUndoOffClearsHistory) {
  doc->undoManager().setActionName("Move");
  prefs().enableUndoButton->setChecked(false);
  EXPECT_FALSE(prefs().undoLevelsText->isEnabled());
  prefs().dismissWindow(1);
  EXPECT_FALSE(anyUndo());
  EXPECT_FALSE(defaults.getBool("UndoEnabled"));
}

TEST_F(Preferences, MetricCentimetresStoreFourAndTwoAndLeaveImperial) {
  defaults.setInt("UseImperialSystemKey", 3);
  defaults.setInt("ImperialReadoutKey", 112);
  prefs().initializeControls();
  ReadoutFormatControls* c = prefs().controls;
  ReadoutFormatControls::selectTag(c->unitsPopUpButton, 4);
  c->loadField2ItemsAndSelect();
  c->setFieldVisibility();
  ReadoutFormatControls::selectTag(c->field2PopUpButton, c->field2PopUpButton->findText("#.## cm"));
  ReadoutFormatControls::selectTag(c->field2PopUpButton, 1);
  EXPECT_EQ(c->field2PopUpButton->currentText(), "#.## cm");
  prefs().dismissWindow(1);
  EXPECT_EQ(defaults.getInt("UseImperialSystemKey"), 4);
  EXPECT_EQ(defaults.getInt("MetricReadoutKey"), 2);
  EXPECT_EQ(defaults.getInt("ImperialReadoutKey"), 112);
}

TEST_F(Preferences, ResetColorsShowsOnlyOnTheSecondTabAndWellsAreStored) {
  prefs().prefTabView->setCurrentIndex(0);
  EXPECT_FALSE(prefs().resetColorsButton->isVisibleTo(&prefs()));
  prefs().prefTabView->setCurrentIndex(1);
  EXPECT_TRUE(prefs().resetColorsButton->isVisibleTo(&prefs()));
  prefs().prefTabView->setCurrentIndex(2);
  EXPECT_FALSE(prefs().resetColorsButton->isVisibleTo(&prefs()));

  prefs().setWellColor(1, QColor(10, 20, 30));  // the floor plan
  prefs().dismissWindow(1);
  EXPECT_EQ(defaults.getString("FloorPlanColor"), "#0a141e");
  EXPECT_EQ(ds->planColors[kPlanFloor].red, 10 * 257);
  prefs().initializeControls();
  EXPECT_EQ(prefs().wellColor(1), QColor(10, 20, 30));
  prefs().resetColorsButtonChanged();
  EXPECT_EQ(prefs().wellColor(1), QColor(0, 64, 136));
}

TEST_F(Preferences, UnitsAndField2ActionsReloadAndKeepTheMetricChoice) {
  defaults.setInt("UseImperialSystemKey", 3);
  defaults.setInt("MetricReadoutKey", 1);
  prefs().initializeControls();
  ReadoutFormatControls* c = prefs().controls;
  ReadoutFormatControls::selectTag(c->unitsPopUpButton, 4);
  prefs().unitsPopUpButtonChanged();
  ReadoutFormatControls::selectTag(c->field2PopUpButton, 1);
  ASSERT_EQ(c->field2PopUpButton->currentText(), "#.## cm");
  prefs().field2PopUpButtonChanged();
  EXPECT_EQ(c->metricFormat, 2);
  ReadoutFormatControls::selectTag(c->unitsPopUpButton, 3);
  prefs().unitsPopUpButtonChanged();
  ReadoutFormatControls::selectTag(c->unitsPopUpButton, 4);
  prefs().unitsPopUpButtonChanged();
  EXPECT_EQ(c->field2PopUpButton->currentText(), "#.## cm");
  prefs().dismissWindow(0);
}

TEST_F(Preferences, StoredColoursReadAndWriteThroughTheirKeysAndWells) {
  defaults.setString("GridColor", "#a8b0c8");
  EXPECT_EQ(PreferencesController::colorForKey("GridColor"), QColor(168, 176, 200));
  EXPECT_FALSE(PreferencesController::colorForKey(nullptr).isValid());
  prefs().setWellColor(15, QColor(1, 2, 3));
  EXPECT_EQ(PreferencesController::archivedColorForSender(prefs().colorWells[15]), "#010203");
  EXPECT_EQ(PreferencesController::archivedColorForSender(nullptr), "");
  prefs().dismissWindow(1);
  EXPECT_EQ(PreferencesController::colorForKey("GridColor"), QColor(1, 2, 3));
}

TEST_F(Preferences, AnUnmovedPreviewSliderRebuildsNothingAndCancelStoresNothing) {
  int rebuilds = 0;
  auto saved = TheSheetHooks().refreshContentView;
  TheSheetHooks().refreshContentView = [&] { ++rebuilds; };
  prefs().previewSizeSlider->setValue(3);
  prefs().previewSizeSlider->setValue(2);
  prefs().dismissWindow(1);
  EXPECT_EQ(rebuilds, 0);
  prefs().initializeControls();
  prefs().previewSizeSlider->setValue(4);
  prefs().dismissWindow(1);
  EXPECT_EQ(rebuilds, 1);
  EXPECT_EQ(defaults.getInt("PreviewSizeKey"), 4);
  prefs().initializeControls();
  prefs().showSnapToolsButton->setChecked(!defaults.getBool("ShowSnapTools"));
  const bool before = defaults.getBool("ShowSnapTools");
  prefs().dismissWindow(0);
  EXPECT_EQ(defaults.getBool("ShowSnapTools"), before);
  TheSheetHooks().refreshContentView = saved;
}

// A damaged preferences file: each number is held to what its control can show, the window
// opens on those, and OK stores them without refusing anything the user did not type.
TEST_F(Preferences, DamagedNumbersAreHeldToWhatTheirControlsShow) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ReadoutFormatControls* c = prefs().controls;
  // Past the top of each range: a count the most it may be, codes that an int16 would wrap.
  defaults.setInt("UndoLevels", 100000);
  defaults.setDouble("MaxSearchResults", nan);
  defaults.setInt("PreviewSizeKey", 9);
  defaults.setInt("UseImperialSystemKey", 7);
  defaults.setInt("AngleReadoutKey", 65536 + 1);
  defaults.setInt("ImperialReadoutKey", 65536 + 1);
  defaults.setInt("MetricReadoutKey", 65536 + 2);
  prefs().initializeControls();
  EXPECT_EQ(prefs().undoLevelsText->text(), "500");
  EXPECT_EQ(prefs().searchResultsText->text(), "1");
  EXPECT_EQ(prefs().previewSizeSlider->value(), 2);  // the size the content view shows for it
  EXPECT_EQ(c->unitsTag(), 4);                        // anything but imperial is metric
  EXPECT_EQ(ReadoutFormatControls::selectedTag(c->field1PopUpButton), 2);  // codes outside: the defaults
  EXPECT_EQ(c->imperialFormat, 112);
  EXPECT_EQ(c->metricFormat, 1);
  EXPECT_EQ(c->field2PopUpButton->currentText(), "#.#### m");
  {
    ScopedAlertRecorder alerts;
    prefs().dismissWindow(1);
    EXPECT_TRUE(alerts.shown.empty());
  }
  EXPECT_EQ(defaults.getInt("UndoLevels"), 500);
  EXPECT_EQ(defaults.getInt("MaxSearchResults"), 1);
  EXPECT_EQ(defaults.getInt("PreviewSizeKey"), 2);
  EXPECT_EQ(defaults.getInt("UseImperialSystemKey"), 4);
  EXPECT_EQ(defaults.getInt("AngleReadoutKey"), 2);
  EXPECT_EQ(defaults.getInt("MetricReadoutKey"), 1);

  // Below the bottom of each range, and imperial with a code that is no set of its bits.
  defaults.setDouble("UndoLevels", nan);
  defaults.setInt("MaxSearchResults", -5);
  defaults.setInt("PreviewSizeKey", -1);
  defaults.setInt("UseImperialSystemKey", 3);
  defaults.setString("AngleReadoutKey", "-2");
  defaults.setInt("ImperialReadoutKey", -1);
  prefs().initializeControls();
  EXPECT_EQ(prefs().undoLevelsText->text(), "5");
  EXPECT_EQ(prefs().searchResultsText->text(), "1");
  EXPECT_EQ(prefs().previewSizeSlider->value(), 2);
  EXPECT_EQ(c->unitsTag(), 3);
  EXPECT_EQ(ReadoutFormatControls::selectedTag(c->field1PopUpButton), 2);
  // 112: sixteenths, feet-inches, fractions.
  EXPECT_EQ(ReadoutFormatControls::selectedTag(c->field2PopUpButton), 4);
  EXPECT_EQ(ReadoutFormatControls::selectedTag(c->field3PopUpButton), 0);
  EXPECT_EQ(c->readoutFormatMatrix->checkedId(), 0);
  {
    ScopedAlertRecorder alerts;
    prefs().dismissWindow(1);
    EXPECT_TRUE(alerts.shown.empty());
  }
  EXPECT_EQ(defaults.getInt("UndoLevels"), 5);
  EXPECT_EQ(defaults.getInt("AngleReadoutKey"), 2);
  EXPECT_EQ(defaults.getInt("ImperialReadoutKey"), 112);
}

class SnapPalette : public SheetTest {
 protected:
  SnapPaletteController& palette() { return SnapPaletteController::sharedSnapPaletteController(); }
  void afterDocument() override {
    SheetTest::afterDocument();
    palette();
    ds->measureSystem = kMeasureImperial;
    gSnapLocked = 0;
    SetSnapTool(kSnapAnywhere);
  }
  // A press on a cell, and for a double-click the second press that the window system
  // reports as a double-click.
  void click(int code, int count) {
    QToolButton* cell = palette().cell(code);
    const QPointF at(4, 4);
    QMouseEvent press(QEvent::MouseButtonPress, at, cell->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, cell->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(cell, &press);
    QApplication::sendEvent(cell, &release);
    if (count == 2) {
      QMouseEvent twice(QEvent::MouseButtonDblClick, at, cell->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
      QApplication::sendEvent(cell, &twice);
      QApplication::sendEvent(cell, &release);
    }
  }
  void beforeClosing() override {
    gSnapLocked = 0;
    SetSnapTool(kSnapAnywhere);
    SheetTest::beforeClosing();
  }
};

TEST_F(SnapPalette, OneClickAppliesToOneMouseDownThenAnywhereShows) {
  click(kSnapEndpoint, 1);
  EXPECT_EQ(gCurSnap, kSnapEndpoint);
  EXPECT_TRUE(palette().cell(kSnapEndpoint)->isChecked());
  ResetSnapTool();  // the first drag step of a tracking
  EXPECT_EQ(gCurSnap, kSnapAnywhere);
  EXPECT_TRUE(palette().cell(kSnapAnywhere)->isChecked());
}

TEST_F(SnapPalette, DoubleClickOnANewCellSelectsThenLocksIt) {
  click(kSnapIntersection, 2);
  EXPECT_EQ(gCurSnap, kSnapIntersection);
  EXPECT_EQ(gSnapLocked, 1);
  EXPECT_EQ(palette().cellImageName(kSnapIntersection), "SPIntersectionLock");
  ResetSnapTool();
  EXPECT_EQ(gCurSnap, kSnapIntersection);
  // Tab moves the lock and its image.
  SetSnapTool(kSnapPerpendicular);
  EXPECT_EQ(gSnapLocked, 1);
  EXPECT_EQ(palette().cellImageName(kSnapIntersection), "SPIntersection");
  EXPECT_EQ(palette().cellImageName(kSnapPerpendicular), "SPPerpendicularLock");
  EXPECT_TRUE(palette().cell(kSnapPerpendicular)->isChecked());
  // Another cell unlocks.
  palette().selectTool(kSnapEndpoint, 1);
  EXPECT_EQ(gSnapLocked, 0);
  EXPECT_EQ(palette().cellImageName(kSnapPerpendicular), "SPPerpendicular");
}

TEST_F(SnapPalette, OffsetFieldOnlyFor507AndAnyValueIsStored) {
  for (int code = kSnapAnywhere; code <= kSnapOnSegment; ++code) {
    palette().selectTool(code, 1);
    EXPECT_EQ(palette().offsetText->isEnabled(), code == kSnapSegmentOffset) << code;
  }
  palette().selectTool(kSnapSegmentOffset, 1);
  ds->snapOffset = 12;
  palette().offsetText->setText("0");
  Q_EMIT palette().offsetText->editingFinished();
  EXPECT_FLOAT_EQ(ds->snapOffset, 0);
  palette().offsetText->setText("2' 6");
  Q_EMIT palette().offsetText->editingFinished();
  EXPECT_FLOAT_EQ(ds->snapOffset, 30);
  EXPECT_FALSE(anyUndo());
}

TEST_F(SnapPalette, OriginAlwaysResetsAndTheToolTipsFollowTheCodes) {
  gSnapLocked = 1;
  SetSnapTool(kSnapOrigin);
  ResetSnapTool();
  EXPECT_EQ(gCurSnap, kSnapAnywhere);
  EXPECT_FALSE(palette().offsetText->isEnabled());
  EXPECT_EQ(palette().cell(kSnapSegmentCenter)->toolTip(), "Snap to Segment Center");
  EXPECT_EQ(palette().cell(kSnapOnSegment)->toolTip(), "Snap to On-Segment");
  gSnapLocked = 0;
}

TEST_F(SnapPalette, SetAutoSaveNameRestoresTheFrameKeptUnderSnapPanel) {
  std::vector<std::string> restored;
  const auto saved = TheSheetHooks().restorePanelFrame;
  TheSheetHooks().restorePanelFrame = [&](QWidget* panel, const std::string& name) {
    EXPECT_EQ(panel, &palette());
    restored.push_back(name);
    return true;
  };
  palette().setAutoSaveName();
  TheSheetHooks().restorePanelFrame = saved;
  EXPECT_EQ(restored, std::vector<std::string>{"SnapPanel"});
}

TEST_F(SnapPalette, TheDesignWindowShowsTheOffsetWhenItBecomesMain) {
  ds->snapOffset = 18;
  gCurDocument = nullptr;
  window->activateWindow();
  QEvent change(QEvent::ActivationChange);
  window->show();
  QApplication::setActiveWindow(window);
  QApplication::sendEvent(window, &change);
  QApplication::processEvents();
  EXPECT_FLOAT_EQ(GetFloatItem(palette().offsetText), 18);
  window->hide();
}

TEST_F(SnapPalette, UndoAndRedoTypedInThePaletteActOnTheDesign) {
  ASSERT_EQ(palette().windowWillReturnUndoManager(), model->itsUndoManager);
  const int count = objectCount();
  addSelectedSquare();
  StoreUndo("Add Square");
  ASSERT_EQ(objectCount(), count + 1);
  palette().show();
  QApplication::setActiveWindow(&palette());  // the palette is key
  QTest::keySequence(&palette(), QKeySequence(QKeySequence::Undo));
  EXPECT_EQ(objectCount(), count);
  ASSERT_TRUE(model->itsUndoManager->canRedo());
  QApplication::setActiveWindow(&palette());
  QTest::keySequence(&palette(), QKeySequence(QKeySequence::Redo));
  EXPECT_EQ(objectCount(), count + 1);
  palette().hide();
}

TEST_F(SnapPalette, TheWindowMenuShowsAndHidesThePalette) {
  palette().hide();
  choose(kCmdToggleSnapTools);
  EXPECT_TRUE(palette().isVisible());
  EXPECT_EQ(PlanViewActions::validate(kCmdToggleSnapTools).title, "Hide Snap Tools");
  choose(kCmdToggleSnapTools);
  EXPECT_FALSE(palette().isVisible());
}

}  // namespace
