// The drawing-tools and editing-tools palettes: tool tips, choosing tools, the standard tool
// reset, the toolset pop-up, the plant growth stepper and the palettes' visibility.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "inspectors/SheetController.h"
#include "AppTestSupport.h"
#include "app/AppController.h"
#include "app/EditToolPaletteController.h"
#include "app/PlanToolPaletteController.h"
#include "app/ToolIcons.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKDocumentScrollView.h"
#include "app/ZLKWindowController.h"
#include "inspectors/SnapPaletteController.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "platform/UserDefaults.h"
#include "platform/qt/QtUserDefaults.h"
#include "tools/ToolCodes.h"

namespace fs = std::filesystem;

namespace {

class ToolPalettes : public DesignWindowTest {
 protected:
  void afterDocument() override {
    gCurTool = kToolSelection;
    gCurToolSet = kPlanLandscape;
    plan().loadToolPaletteForPlan(kPlanLandscape);
    plan().updateToolsetForPlan(kPlanLandscape);
    edit().selectArrowTool();
  }
  void beforeClosing() override {
    gCurTool = kToolSelection;
    gCurToolSet = kPlanLandscape;
  }

  static PlanToolPaletteController& plan() { return PlanToolPaletteController::sharedPlanToolPaletteController(); }
  static ToolPaletteController& edit() { return ToolPaletteController::sharedToolPaletteController(); }

  int checkedPlanCells(int16_t kind) {
    int n = 0;
    for (int i = 0; i < plan().cellCount(kind); ++i) n += plan().cell(kind, i)->isChecked();
    return n;
  }
  int checkedEditCells() {
    int n = 0;
    for (int i = 0; i < edit().cellCount(); ++i) n += edit().cell(i)->isChecked();
    return n;
  }
};

// What the window system sends for a double click: press, release, double-click, release.
void doubleClick(QWidget* button) {
  const QPointF centre(button->width() / 2.0, button->height() / 2.0);
  QTest::mouseClick(button, Qt::LeftButton);
  QMouseEvent press(QEvent::MouseButtonDblClick, centre, button->mapToGlobal(centre), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(button, &press);
  QTest::mouseRelease(button, Qt::LeftButton);
}

struct TipRow {
  int16_t kind;
  int cell;
  const char* tip;
  uint16_t tool;
};

TEST_F(ToolPalettes, CellsCarryTheToolTipsAndToolsOfTheTable) {
  const TipRow rows[] = {
      {kPlanFloor, 0, "Exterior Wall", 7050}, {kPlanFloor, 1, "Interior Wall", 7052},
      {kPlanFloor, 2, "Door", 7056}, {kPlanFloor, 3, "Window", 7057},
      {kPlanFloor, 4, "Fixture Lights", 7109}, {kPlanRoofing, 0, "Gable", 7300},
      {kPlanRoofing, 1, "Hip", 7301}, {kPlanRoofing, 2, "Hip/Gable", 7302},
      {kPlanRoofing, 3, "Gable Connector", 7303}, {kPlanRoofing, 4, "Hip Connector", 7304},
      {kPlanRoofing, 5, "Cross Connector", 7305}, {kPlanRoofing, 6, "Freehand Roof", 7306},
      {kPlanDeck, 0, "Deck with Railing", 7600}, {kPlanDeck, 1, "Deck without Railing", 7601},
      {kPlanDeck, 2, "Straight Railing", 7602}, {kPlanDeck, 3, "Curved Railing", 7603},
      {kPlanDeck, 4, "Straight Stairway", 7604}, {kPlanDeck, 5, "Curved Stairway", 7605},
      {kPlanLandscape, 0, "Property Line", 7500}, {kPlanLandscape, 1, "Ground Fill Region", 7501},
      {kPlanLandscape, 2, "Pathway/Driveway", 7502}, {kPlanLandscape, 3, "Fill", 7503},
      {kPlanLandscape, 4, "Edging", 7504}, {kPlanLandscape, 5, "Fence", 7505},
      {kPlanLandscape, 6, "Gate", 7506}, {kPlanLandscape, 7, "Retaining Wall", 7507},
      {kPlanLandscape, 8, "Sprinkler Head", 7508}, {kPlanLandscape, 9, "Excavate Topography", 7509},
      {kPlanLandscape, 10, "Straight Topography", 7512}, {kPlanLandscape, 11, "Curved Topography", 7511},
      {kPlanDetail, 0, "Rectangle", 7700}, {kPlanDetail, 1, "Circle/Oval", 7701},
      {kPlanDetail, 2, "Line", 7702}, {kPlanDetail, 3, "Polygon", 7703}, {kPlanDetail, 4, "Arc", 7704},
      {kPlanDetail, 5, "Circular Arc", 7705}, {kPlanDetail, 6, "Multigon", 7706},
      {kPlanDetail, 7, "Curve", 7707},
  };
  for (const TipRow& r : rows) {
    QToolButton* button = plan().cell(r.kind, r.cell);
    ASSERT_NE(button, nullptr) << r.tip;
    EXPECT_EQ(button->toolTip().toStdString(), r.tip);
    EXPECT_EQ(ToolOfButton(button), r.tool) << r.tip;
    EXPECT_FALSE(button->icon().isNull()) << r.tip;
  }
  const TipRow editRows[] = {{0, 0, "Selection", 200}, {0, 1, "Rotate", 202}, {0, 2, "Zoom", 203},
                             {0, 3, "Pan", 204},       {0, 4, "View Point", 205}, {0, 5, "Text", 207}};
  for (const TipRow& r : editRows) {
    EXPECT_EQ(edit().cell(r.cell)->toolTip().toStdString(), r.tip);
    EXPECT_EQ(ToolOfButton(edit().cell(r.cell)), r.tool);
  }
  // Every matrix holds tools; tools whose drag is not built are shown disabled, tool tip kept.
  for (int16_t kind = 0; kind < PlanToolPaletteController::kPlanKinds; ++kind) EXPECT_GT(plan().cellCount(kind), 0);
  EXPECT_TRUE(plan().cell(kPlanFloor, 0)->isEnabled());   // exterior and interior walls draw
  EXPECT_TRUE(plan().cell(kPlanFloor, 1)->isEnabled());
  EXPECT_TRUE(plan().cell(kPlanFloor, 2)->isEnabled());   // doors and windows place
  EXPECT_TRUE(plan().cell(kPlanFloor, 3)->isEnabled());
  EXPECT_TRUE(plan().cell(kPlanDeck, 0)->isEnabled());    // decks draw
  EXPECT_TRUE(plan().cell(kPlanLandscape, 7)->isEnabled());  // retaining wall
  EXPECT_TRUE(plan().cell(kPlanDetail, 0)->isEnabled());
  for (int cell = 2; cell <= 7; ++cell) EXPECT_TRUE(plan().cell(kPlanDetail, cell)->isEnabled()) << cell;
  EXPECT_TRUE(plan().cell(kPlanLandscape, 8)->isEnabled());  // sprinkler heads
  EXPECT_TRUE(edit().cell(0)->isEnabled());
  EXPECT_TRUE(edit().cellWithTool(kToolText)->isEnabled());
  // The view point cell switches the 3D window to walking.
  EXPECT_TRUE(edit().cellWithTool(kToolViewPoint)->isEnabled());
  EXPECT_TRUE(edit().cellWithTool(kToolKeyEntry)->isEnabled());
}

TEST_F(ToolPalettes, ClickingRectangleMakesItCurrentAndClearsTheSelection) {
  Objex* square = addSelectedSquare();
  plan().loadToolPaletteForPlan(kPlanDetail);
  ServiceCallRecorder calls;
  QTest::mouseClick(plan().cell(kPlanDetail, 0), Qt::LeftButton);
  EXPECT_EQ(gCurTool, kToolRectangle);
  EXPECT_FALSE(IsObjectSelected(square));
  EXPECT_TRUE(plan().cell(kPlanDetail, 0)->isChecked());
  EXPECT_EQ(checkedPlanCells(kPlanDetail), 1);
  EXPECT_EQ(checkedEditCells(), 0);
  EXPECT_TRUE(calls.called("UpdateInspectorPropertiesState"));
  EXPECT_EQ(window->documentScrollView()->viewport()->cursor().shape(), Qt::CrossCursor);

  // The current tool's own cell: nothing happens and the cell stays selected.
  SelectObj(square, kSelectOn, 1);
  calls.calls.clear();
  QTest::mouseClick(plan().cell(kPlanDetail, 0), Qt::LeftButton);
  EXPECT_TRUE(IsObjectSelected(square));
  EXPECT_TRUE(plan().cell(kPlanDetail, 0)->isChecked());
  EXPECT_FALSE(calls.called("UpdateInspectorPropertiesState"));

  // Another cell takes over; no cell selected puts the current tool's cell back.
  QTest::mouseClick(plan().cell(kPlanDetail, 1), Qt::LeftButton);
  EXPECT_EQ(gCurTool, kToolCircleOval);
  EXPECT_EQ(checkedPlanCells(kPlanDetail), 1);
  plan().removeToolSelection();
  plan().selectTool(kPlanDetail, -1);
  EXPECT_EQ(gCurTool, kToolCircleOval);
  EXPECT_TRUE(plan().cell(kPlanDetail, 1)->isChecked());
}

TEST_F(ToolPalettes, ResetStandardToolGoesBackToTheArrow) {
  plan().loadToolPaletteForPlan(kPlanDetail);
  QTest::mouseClick(plan().cell(kPlanDetail, 0), Qt::LeftButton);
  ASSERT_EQ(gCurTool, kToolRectangle);
  ResetStandardTool(0);  // the shape tools stay after use
  EXPECT_EQ(gCurTool, kToolRectangle);
  EXPECT_TRUE(plan().cell(kPlanDetail, 0)->isChecked());

  ResetStandardTool(1);
  EXPECT_EQ(gCurTool, kToolSelection);
  EXPECT_EQ(checkedPlanCells(kPlanDetail), 0);
  EXPECT_TRUE(edit().cellWithTool(kToolSelection)->isChecked());
  EXPECT_EQ(checkedEditCells(), 1);

  gCurTool = kToolFloorDrain;  // not among the tools that stay
  ResetStandardTool(0);
  EXPECT_EQ(gCurTool, kToolSelection);
  gCurTool = kToolToilet;
  ResetStandardTool(0);
  EXPECT_EQ(gCurTool, kToolToilet);
  EXPECT_FALSE(AppController::toolStaysSelected(kToolInsertPoint));
  EXPECT_TRUE(AppController::toolStaysSelected(kToolSkylight));
  EXPECT_FALSE(AppController::toolStaysSelected(7202));
}

TEST_F(ToolPalettes, ToolsetPopUpBrowsesAnotherPlansTools) {
  QComboBox* popUp = plan().toolsetPopUpButton();
  ASSERT_EQ(popUp->count(), PlanToolPaletteController::kPlanKinds);
  EXPECT_EQ(popUp->currentData().toInt(), kPlanLandscape);
  EXPECT_EQ(plan().shownToolSet(), kPlanLandscape);

  const int roofing = popUp->findData(static_cast<int>(kPlanRoofing));
  popUp->setCurrentIndex(roofing);
  Q_EMIT popUp->activated(roofing);
  EXPECT_EQ(plan().shownToolSet(), kPlanRoofing);
  EXPECT_FALSE(plan().toolView(kPlanRoofing)->isHidden());
  EXPECT_TRUE(plan().toolView(kPlanLandscape)->isHidden());
  EXPECT_EQ(plan().width(), plan().toolView(kPlanRoofing)->width() + 204);
  EXPECT_EQ(plan().height(), 32);
  // Browsing changes neither the plan kind nor the tool.
  EXPECT_EQ(gCurToolSet, kPlanLandscape);
  EXPECT_EQ(gCurTool, kToolSelection);

  plan().updateToolsetForPlan(kPlanDetail);
  EXPECT_EQ(popUp->currentData().toInt(), kPlanDetail);
  plan().loadToolPaletteForPlan(12);  // no such plan: nothing changes
  EXPECT_EQ(plan().shownToolSet(), kPlanRoofing);
}

TEST_F(ToolPalettes, GrowthStepperStaysWithinTheDesignsAges) {
  EXPECT_EQ(PlantGrowthStatusText(1).toStdString(), "Plant Growth at 3 Months");
  EXPECT_EQ(PlantGrowthStatusText(2).toStdString(), "Plant Growth at 6 Months");
  EXPECT_EQ(PlantGrowthStatusText(3).toStdString(), "Plant Growth at 9 Months");
  EXPECT_EQ(PlantGrowthStatusText(4).toStdString(), "Plant Growth at 1 Years");

  model->itsMaximumPlantAge = 5;
  ds->plantAge = 3.6f;  // level 4
  ServiceCallRecorder calls;
  plan().plantGrowthRightButtonChanged();
  EXPECT_EQ(ds->plantAge, 5.0f);
  EXPECT_TRUE(calls.called("SetStatusBar"));
  EXPECT_FALSE(plan().plantGrowthRightButton()->isEnabled());
  EXPECT_TRUE(plan().plantGrowthLeftButton()->isEnabled());
  EXPECT_EQ(plan().plantGrowthLevelIndicator()->maximum(), 5);
  EXPECT_EQ(plan().plantGrowthLevelIndicator()->value(), 5);
  plan().plantGrowthRightButtonChanged();  // at the most: stays, still reports
  EXPECT_EQ(ds->plantAge, 5.0f);
  EXPECT_EQ(calls.count("SetStatusBar"), 2u);

  for (int i = 0; i < 8; ++i) plan().plantGrowthLeftButtonChanged();
  EXPECT_EQ(ds->plantAge, 1.0f);
  EXPECT_FALSE(plan().plantGrowthLeftButton()->isEnabled());
  // The design window's stepper steps the same way and keeps its own indicator current.
  calls.calls.clear();
  window->plantGrowthRightButtonChanged();
  EXPECT_EQ(ds->plantAge, 2.0f);
  EXPECT_TRUE(calls.called("SetStatusBar"));
  EXPECT_EQ(window->plantGrowthLevelIndicator()->value(), 2);
  window->plantGrowthLeftButtonChanged();
  EXPECT_EQ(ds->plantAge, 1.0f);
  EXPECT_EQ(window->plantGrowthLevelIndicator()->value(), 1);

  // Ages that no design should hold: not a number, far out of range, no room at all.
  ds->plantAge = std::nanf("");
  plan().plantGrowthRightButtonChanged();
  EXPECT_EQ(ds->plantAge, 2.0f);
  ds->plantAge = 1e30f;
  plan().plantGrowthLeftButtonChanged();
  EXPECT_EQ(ds->plantAge, 1.0f);
  model->itsMaximumPlantAge = 0;
  plan().plantGrowthRightButtonChanged();
  EXPECT_EQ(ds->plantAge, 1.0f);

  gCurDocument = nullptr;  // without a design the stepper does nothing
  calls.calls.clear();
  plan().plantGrowthRightButtonChanged();
  EXPECT_FALSE(calls.called("SetStatusBar"));
}

TEST_F(ToolPalettes, EditToolsSetCursorAndSelection) {
  Objex* square = addSelectedSquare();
  QWidget* viewport = window->documentScrollView()->viewport();
  ServiceCallRecorder calls;
  edit().selectTool(kToolSelection);  // already current: keeps the selection
  EXPECT_TRUE(IsObjectSelected(square));
  EXPECT_FALSE(calls.called("UpdateInspectorPropertiesState"));
  EXPECT_EQ(viewport->cursor().shape(), Qt::ArrowCursor);

  doubleClick(edit().cellWithTool(kToolSelection));
  // The double-click opened the Move Objects sheet on the design window.
  SheetController* moveSheet = SheetController::attachedSheet(window);
  ASSERT_NE(moveSheet, nullptr);
  EXPECT_EQ(moveSheet->layoutName(), "MoveObjectsSheet");
  moveSheet->dismissSheet(0);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(gCurTool, kToolSelection);
  calls.calls.clear();
  QTest::mouseClick(edit().cellWithTool(kToolSelection), Qt::LeftButton);  // a single click again
  EXPECT_EQ(SheetController::attachedSheet(window), nullptr);

  QTest::mouseClick(edit().cellWithTool(kToolPan), Qt::LeftButton);
  EXPECT_EQ(gCurTool, kToolPan);
  EXPECT_EQ(viewport->cursor().shape(), Qt::OpenHandCursor);
  EXPECT_TRUE(calls.called("UpdateInspectorPropertiesState"));
  EXPECT_TRUE(IsObjectSelected(square));

  edit().selectTool(kToolZoom);
  EXPECT_EQ(viewport->cursor().shape(), Qt::BitmapCursor);

  edit().selectTool(kToolText);  // the text and dimension tools drop the selection
  EXPECT_FALSE(IsObjectSelected(square));
  EXPECT_EQ(viewport->cursor().shape(), Qt::CrossCursor);

  // Choosing an edit tool clears the drawing palette's cell.
  plan().loadToolPaletteForPlan(kPlanDetail);
  QTest::mouseClick(plan().cell(kPlanDetail, 0), Qt::LeftButton);
  QTest::mouseClick(edit().cellWithTool(kToolInsertPoint), Qt::LeftButton);
  EXPECT_EQ(gCurTool, kToolInsertPoint);
  EXPECT_EQ(checkedPlanCells(kPlanDetail), 0);
  EXPECT_EQ(checkedEditCells(), 1);
}

TEST_F(ToolPalettes, PanelsRememberVisibilityAndFrames) {
  plan().showWindow();
  edit().showWindow();
  EXPECT_TRUE(AppController::planToolsVisible());
  plan().move(40, 60);
  AppController::closeVisiblePanelsAndSaveState();
  EXPECT_FALSE(plan().isVisible());
  EXPECT_FALSE(edit().isVisible());
  EXPECT_TRUE(AppController::planToolsVisible());  // recorded as it was
  EXPECT_TRUE(defaults.hasValue("NSWindow Frame PlanToolPanel"));

  AppController::togglePlanToolPalettePanel();
  EXPECT_TRUE(plan().isVisible());
  AppController::togglePlanToolPalettePanel();
  EXPECT_FALSE(plan().isVisible());
  EXPECT_FALSE(AppController::planToolsVisible());
  AppController::restoreAllVisiblePanels();
  EXPECT_FALSE(plan().isVisible());
  EXPECT_TRUE(edit().isVisible());

  // A stored frame that is not four numbers is ignored.
  defaults.setString("NSWindow Frame EditToolPanel", "12 x");
  EXPECT_FALSE(AppController::restorePanelFrame(&edit(), "EditToolPanel"));
  defaults.setString("NSWindow Frame EditToolPanel", "99999999999999 1 2 3");
  EXPECT_FALSE(AppController::restorePanelFrame(&edit(), "EditToolPanel"));
  edit().close();
  AppController::setEditToolsVisible(true);
  AppController::setPlanToolsVisible(true);
}

// A damaged preferences file: frames whose edges would leave an int (or any screen) are
// refused like an empty one, and the palette keeps its default place.
TEST_F(ToolPalettes, DamagedSavedFramesAreRefused) {
  // The preferences file of the report, read by the program's own settings store.
  QTemporaryDir folder;
  const QString ini = folder.filePath("casavelt.conf");
  ASSERT_TRUE(QFile::copy(QString::fromStdString(
                              (fs::path(__FILE__).parent_path() / "data" / "regressions" / "panel-frame-x-int-max.conf")
                                  .string()),
                          ini));
  QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
  {
    QtUserDefaults damaged(ini);
    SetStandardUserDefaults(&damaged);
    EXPECT_EQ(damaged.getString("NSWindow Frame EditToolPanel"), "2147483647 0 2 2");
    const QPoint before = edit().pos();
    EXPECT_FALSE(AppController::restorePanelFrame(&edit(), "EditToolPanel"));
    EXPECT_EQ(edit().pos(), before);
    SetStandardUserDefaults(&defaults);
  }
  for (const char* frame : {"0 2147483647 2 2", "10 10 2147483647 100", "10 10 100 2147483647",
                            "-2147483648 0 100 100", "0 -2147483648 100 100", "2147483600 0 100 100"}) {
    defaults.setString("NSWindow Frame EditToolPanel", frame);
    EXPECT_FALSE(AppController::restorePanelFrame(&edit(), "EditToolPanel")) << frame;
  }
  defaults.setString("NSWindow Frame EditToolPanel", "40 60 120 200");
  EXPECT_TRUE(AppController::restorePanelFrame(&edit(), "EditToolPanel"));
  defaults.removeKey("NSWindow Frame EditToolPanel");

  // Numbers of the other preferences are held to what the program takes.
  for (const auto& [stored, used] :
       {std::pair{2147483647, 500}, std::pair{-5, 5}, std::pair{0, 5}, std::pair{42, 42}}) {
    defaults.setInt("UndoLevels", stored);
    EXPECT_EQ(AppController::undoLevelsPreference(), used) << stored;
  }
  defaults.removeKey("UndoLevels");
  defaults.setInt("AngleReadoutKey", 70000);
  defaults.setInt("MetricReadoutKey", -70000);
  AppController::loadNewPlanReadoutState();
  EXPECT_EQ(gAngleReadoutFormat, 2);
  EXPECT_EQ(gMetricReadoutFormat, 1);
  defaults.removeKey("AngleReadoutKey");
  defaults.removeKey("MetricReadoutKey");
  AppController::loadNewPlanReadoutState();
}

TEST_F(ToolPalettes, WindowWillCloseSavesTheFrameAndRecordsThePaletteHidden) {
  SnapPaletteController& snap = SnapPaletteController::sharedSnapPaletteController();
  AppController::setEditToolsVisible(true);
  AppController::setPlanToolsVisible(true);
  AppController::setSnapToolsVisible(true);
  for (const char* key : {"NSWindow Frame PlanToolPanel", "NSWindow Frame EditToolPanel", "NSWindow Frame SnapPanel"})
    defaults.removeKey(key);
  plan().windowWillClose();
  edit().windowWillClose();
  snap.windowWillClose();
  EXPECT_FALSE(AppController::planToolsVisible());
  EXPECT_FALSE(AppController::editToolsVisible());
  EXPECT_FALSE(AppController::snapToolsVisible());
  EXPECT_TRUE(defaults.hasValue("NSWindow Frame PlanToolPanel"));
  EXPECT_TRUE(defaults.hasValue("NSWindow Frame EditToolPanel"));
  EXPECT_TRUE(defaults.hasValue("NSWindow Frame SnapPanel"));
  AppController::setEditToolsVisible(true);
  AppController::setPlanToolsVisible(true);
  AppController::setSnapToolsVisible(true);
}

TEST_F(ToolPalettes, RestoringThePanelsReopensOnlyTheToolPalettes) {
  SnapPaletteController& snap = SnapPaletteController::sharedSnapPaletteController();
  AppController::restoreAllVisiblePanels();  // the run's first placement is behind us
  plan().showWindow();
  edit().showWindow();
  snap.showWindow();
  AppController::closeVisiblePanelsAndSaveState();
  EXPECT_FALSE(snap.isVisible());
  EXPECT_TRUE(AppController::snapToolsVisible());  // recorded as it was
  AppController::restoreAllVisiblePanels();
  EXPECT_TRUE(plan().isVisible());
  EXPECT_TRUE(edit().isVisible());
  EXPECT_FALSE(snap.isVisible());
  plan().close();
  edit().close();
  AppController::setEditToolsVisible(true);
  AppController::setPlanToolsVisible(true);
  AppController::setSnapToolsVisible(true);
}

}  // namespace

TEST_F(ToolPalettes, PalettesPaintTheirButtons) {
  for (QWidget* palette : {static_cast<QWidget*>(&plan()), static_cast<QWidget*>(&edit())}) {
    const QImage image = palette->grab().toImage();
    ASSERT_FALSE(image.isNull());
    int light = 0;
    for (int y = 0; y < image.height(); y += 2)
      for (int x = 0; x < image.width(); x += 2) light += qGray(image.pixel(x, y)) > 128;
    EXPECT_GT(light, image.width() * image.height() / 16) << palette->windowTitle().toStdString();
  }
}
