// The design window's controls: the active-floor pop-up and its road through undo, fitting
// the plan to the window, the status readouts, the elevation pane, the end of the remove-point
// sheet, the floor areas and the New and Open roads that keep the one window.
#include <gtest/gtest.h>

// Before the Qt headers: the attachment records have a field named as a Qt keyword.
#include "model/ChildBuilders.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "AppTestSupport.h"
#include "app/AppController.h"
#include "app/EditToolPaletteController.h"
#include "app/FitToWindow.h"
#include "app/LiveViewController.h"
#include "app/PlanToolPaletteController.h"
#include "app/StatusReadouts.h"
#include "app/Win32EventHandler.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "files/DesignFile.h"
#include "files/Undo.h"
#include "inspectors/InspectorController.h"
#include "inspectors/ObjectElevationController.h"
#include "inspectors/SnapPaletteController.h"
#include "inspectors/ValueFields.h"
#include "model/AddRemovePoints.h"
#include "model/DocState.h"
#include "model/Delete.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "model/TopoGrid.h"
#include "model/ViewCommands.h"
#include "plandraw/PlatformAdapters.h"
#include "platform/Alerts.h"
#include "platform/UserDefaults.h"

namespace fs = std::filesystem;

namespace {

// An open line through the plan points, on the current floor.
Objex* AddLine(std::initializer_list<std::pair<float, float>> points) {
  RGBColor black{};
  Objex* o = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr);
  o->planMask = gCurDocument->itsDocState->newObjectPlanMask;
  for (auto [x, z] : points) AppendPointToObject(CreatePoint(1, 1, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
  AppendObjectToLayer(o, gCurDocument->itsCurLayer);
  return o;
}

std::string Inches(float v) {
  char text[kReadoutTextSize] = {};
  ConvertInchesToStr(v, text);
  return text;
}

// A presenter whose sheets answer only when told, as a sheet does.
class DeferredAlerts : public AlertPresenter {
 public:
  DeferredAlerts() : previous_(CurrentAlertPresenter()) { SetAlertPresenter(this); }
  ~DeferredAlerts() override { SetAlertPresenter(previous_); }
  void present(const AlertRequest& request, std::function<void(int)> done) override {
    shown.push_back(request);
    pending = std::move(done);
  }
  void answer(int button) {
    auto done = std::move(pending);
    pending = nullptr;
    if (done) done(button);
  }
  std::vector<AlertRequest> shown;
  std::function<void(int)> pending;

 private:
  AlertPresenter* previous_;
};

class WindowController : public DesignWindowTest, protected StubFileChoosers {
 protected:
  void beforeDocument() override { installFileChoosers(); }
  void afterClosing() override { restoreFileChoosers(); }
  QString status() const { return window->statusText()->text(); }
  const char* currentFloor() const { return model->itsCurLayer ? model->itsCurLayer->name : ""; }
};

TEST_F(WindowController, FloorPopUpSwitchesTheWorkingFloorAndUndoKeepsIt) {
  QComboBox* floors = window->activeFloorTBPopUpButton();
  ASSERT_NE(floors, nullptr);
  ASSERT_EQ(floors->count(), 3);
  EXPECT_EQ(floors->itemData(0).toInt(), 5275);
  EXPECT_EQ(floors->itemData(2).toInt(), 5277);
  EXPECT_STREQ(currentFloor(), "First Floor");
  EXPECT_EQ(floors->currentIndex(), 0);

  Q_EMIT floors->activated(1);
  EXPECT_STREQ(currentFloor(), "Second Floor");
  EXPECT_EQ(floors->currentIndex(), 1);
  // New exterior walls go on the floor plan above the first floor: the stored wall default.
  EXPECT_EQ(model->itsDocState->wallFoundationMask(), 2);
  EXPECT_EQ(model->itsDocState->wallFoundation, 2);
  Layer* first = GetLayerFromName("First Floor");
  Layer* second = GetLayerFromName("Second Floor");
  EXPECT_EQ(first->selectable, 0);
  EXPECT_EQ(second->selectable, 1);
  EXPECT_EQ(second->visible, 1);
  EXPECT_EQ(first->visible, 1);  // the other floors stay shown
  AddLine({{0, 0}, {100, 0}});
  StoreUndo("Line");

  // "View Working Floor Only" and back.
  Win32EventHandler& handler = *Win32EventHandler::sharedEventHandler();
  handler.workOnFloorUsingCommand(5279);
  EXPECT_EQ(first->visible, 0);
  EXPECT_EQ(second->visible, 1);
  handler.workOnFloorUsingCommand(5278);
  EXPECT_EQ(first->visible, 1);
  EXPECT_EQ(gWorkingFloorVisibleOnly, 0);

  // The menu's first floor selects the pop-up's item too.
  handler.workOnFloorUsingCommand(5275);
  EXPECT_STREQ(currentFloor(), "First Floor");
  EXPECT_EQ(floors->currentIndex(), 0);
  EXPECT_EQ(model->itsDocState->wallFoundation, 1);
  AddLine({{0, 50}, {100, 50}});
  StoreUndo("Line");

  // Undo and Redo step the design and leave the floor worked on, the pop-up with it.
  doc->performUndo();
  EXPECT_STREQ(currentFloor(), "First Floor");
  EXPECT_EQ(floors->currentIndex(), 0);
  EXPECT_EQ(GetLayerFromName("First Floor")->firstObject, nullptr);  // the line made there is undone
  handler.workOnFloorUsingCommand(5276);
  doc->performRedo();
  EXPECT_STREQ(currentFloor(), "Second Floor");
  EXPECT_EQ(floors->currentIndex(), 1);
  EXPECT_NE(GetLayerFromName("First Floor")->firstObject, nullptr);
}

TEST_F(WindowController, FloorCommandsForAMissingFloorChangeNothing) {
  Layer* third = GetLayerFromName("Third Floor");
  ASSERT_NE(third, nullptr);
  std::strcpy(third->name, "Attic");
  Win32EventHandler::sharedEventHandler()->workOnFloorUsingCommand(5277);
  EXPECT_STREQ(currentFloor(), "First Floor");
  EXPECT_EQ(GetLayerFromName("First Floor")->selectable, 1);
}

TEST_F(WindowController, PlanTabsMakeTheWorkingPlan) {
  DocState* ds = model->itsDocState;
  ds->planMasks[2] = 4 | 2;
  window->docTabView()->setCurrentIndex(2);
  EXPECT_EQ(ds->newObjectPlanMask, 4);
  EXPECT_EQ(ds->currentPlanMask, 6);
  EXPECT_EQ(gCurToolSet, 2);
  // The working plan's own command changes nothing; another one switches the tab.
  Win32EventHandler::sharedEventHandler()->workOnPlanUsingCommand(5345);
  EXPECT_EQ(window->docTabView()->currentIndex(), 2);
  Win32EventHandler::sharedEventHandler()->workOnPlanUsingCommand(5390);
  EXPECT_EQ(window->docTabView()->currentIndex(), 8);
  EXPECT_EQ(ds->newObjectPlanMask, 256);
  // Every plan's command, the first and the last as well, makes that plan the working one.
  const int32_t commands[] = {5343, 5344, 5345, 5346, 5347, 5348, 5349, 5350, 5390};
  for (int kind = 0; kind < 9; ++kind) {
    Win32EventHandler::sharedEventHandler()->workOnPlanUsingCommand(commands[kind]);
    EXPECT_EQ(window->docTabView()->currentIndex(), kind) << commands[kind];
    EXPECT_EQ(ds->newObjectPlanMask, 1 << kind) << commands[kind];
  }
}

TEST_F(WindowController, ADesignShownInTheWindowStartsWithTheArrowAtItsFloorsHeight) {
  // Left over from the design shown before: a drawing tool and a raised working height.
  gCurTool = kToolViewPoint;
  ds->baseElevation = 5 * 12;
  window->setDocument(nullptr);
  window->setDocument(doc);
  EXPECT_EQ(gCurTool, kToolSelection);
  EXPECT_EQ(ds->baseElevation, 0.0f);  // the first floor's base
  EXPECT_EQ(window->elevationText()->text(), QString("0'"));
}

TEST_F(WindowController, ToolbarItemsInTheirDefaultOrderWithTheirToolTipsAndPictures) {
  QStringList names, tips;
  for (QAction* a : window->docToolbar()->actions()) {
    if (a->objectName().isEmpty()) {
      names << "space";  // a flexible space
      continue;
    }
    names << a->objectName();
    tips << a->toolTip();
    // Every button item shows its picture; the active floor item is its pop-up instead.
    if (a->objectName() != "Document Toolbar Active Floor Item") EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
  }
  EXPECT_EQ(names.join(" | ").toStdString(),
            "Document Toolbar Active Floor Item | space | Document Toolbar Content Item | "
            "Document Toolbar Inspector Item | Document Toolbar Lot Properties Item | space | "
            "Document Toolbar LiveView Item");
  EXPECT_EQ(tips.join(" | ").toStdString(),
            " | Toggle the content library | Toggle the object inspector | "
            "Set lot properties such as size and resolution | Toggle the 3D LiveView window");
}

// The inspector's views are reached through the window too, and the window events can be
// sent by hand: becoming main takes the window's design unless it is already current;
// closing lets go of it only when it is.
TEST_F(WindowController, InspectorViewsAndWindowEventsAreReachable) {
  InspectorController* inspector = InspectorController::sharedInspectorController();
  ASSERT_NE(window->parentInspectorView(), nullptr);
  EXPECT_EQ(window->parentInspectorView(), inspector->parentInspectorView());
  EXPECT_EQ(window->noPropertiesView(), inspector->noPropertiesView());

  gCurToolSet = kPlanDetail;
  window->windowDidBecomeMain();  // already the current design: nothing happens
  EXPECT_EQ(gCurToolSet, kPlanDetail);
  gCurDocument = nullptr;
  window->windowDidBecomeMain();
  EXPECT_EQ(gCurDocument, model);
  EXPECT_EQ(gCurToolSet, kPlanFloor);

  ZLKDocumentModel other;
  gCurDocument = &other;
  window->windowWillClose();  // another design is current: it stays
  EXPECT_EQ(gCurDocument, &other);
  gCurDocument = model;
  window->windowWillClose();
  EXPECT_EQ(gCurDocument, nullptr);
  gCurDocument = model;
}

// The plant-growth level shown is the design's age rounded and kept between 1 and the
// design's maximum; the stepper's buttons go off at either end.
TEST_F(WindowController, PlantGrowthLevelAndItsButtonsFollowTheDesign) {
  PlanToolPaletteController& plan = PlanToolPaletteController::sharedPlanToolPaletteController();
  model->itsMaximumPlantAge = 10;
  struct Case {
    float age;
    int level;
  };
  for (const Case& c : {Case{0, 1}, Case{1.49f, 1}, Case{1.5f, 2}, Case{5, 5}, Case{9.49f, 9}, Case{9.5f, 10},
                        Case{12, 10}, Case{-3, 1}}) {
    ds->plantAge = c.age;
    window->updatePlantGrowthIndicatorLevel();
    EXPECT_EQ(window->plantGrowthLevelIndicator()->maximum(), 10) << c.age;
    EXPECT_EQ(window->plantGrowthLevelIndicator()->value(), c.level) << c.age;
    EXPECT_EQ(plan.plantGrowthLevelIndicator()->value(), c.level) << c.age;
    EXPECT_EQ(plan.plantGrowthLeftButton()->isEnabled(), c.level != 1) << c.age;
    EXPECT_EQ(plan.plantGrowthRightButton()->isEnabled(), c.level != 10) << c.age;
    // The status bar's gauge says the age in words.
    EXPECT_TRUE(window->plantGrowthLevelIndicator()->isTextVisible());
    EXPECT_EQ(window->plantGrowthLevelIndicator()->text(), PlantGrowthStatusText(c.level)) << c.age;
  }
  EXPECT_EQ(PlantGrowthStatusText(2), QString("Plant Growth at 6 Months"));
  EXPECT_EQ(PlantGrowthStatusText(10), QString("Plant Growth at 7 Years"));
}

TEST_F(WindowController, BecomingTheMainWindowReadsItsDesignsTopographyGrid) {
  int32_t rows = 0, columns = 0;
  {
    CurrentDocumentScope scope(model);
    SetupTopoGrid();
    rows = gTopoRowCnt;
    columns = gTopoColumnCnt;
  }
  ASSERT_GT(rows, 1);
  // The grid of another design is in place, and this design is not the current one.
  AdoptTopoGrid(static_cast<float*>(calloc(4, sizeof(float))), 1, 1);
  gCurDocument = nullptr;
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  QApplication::processEvents();
  ASSERT_EQ(gCurDocument, model);
  EXPECT_EQ(gTopoRowCnt, rows);
  EXPECT_EQ(gTopoColumnCnt, columns);
}

TEST(FitZoom, KnownAnswerOfTheWidthRatio) {
  // A measured extent of 400 by 300 at zoom 2.0 in a 600 by 600 view: 600 / (400 / 2) = 3.0.
  FloatRect measured{};
  measured.floatLeft = -195;
  measured.floatRight = 205;
  measured.floatTop = 0;
  measured.floatBottom = 300;
  EXPECT_FLOAT_EQ(FitZoomFactor(measured, 2.0f, 600, 600), 3.0f);
  // The height decides when it is the smaller ratio: 600 / (300 / 2) = 4 against 200 / 150.
  EXPECT_FLOAT_EQ(FitZoomFactor(measured, 2.0f, 600, 200), 200.0f / 150.0f);
  EXPECT_EQ(FitZoomFactor(measured, 2.0f, 0, 600), 0.0f);
  EXPECT_EQ(FitZoomFactor(FloatRect{}, 1.0f, 600, 600), 0.0f);
}

TEST_F(WindowController, FitToWindowFitsTheDrawingAndCentresIt) {
  window->resize(900, 700);
  window->show();
  ZLKDocumentView* view = window->documentView();
  AddLine({{-500, -200}, {500, 200}});
  DocState* ds = model->itsDocState;
  PinMaxZoom(ds);
  const NSRect visible = view->visibleRect();
  const float w = static_cast<int16_t>(visible.size.width), h = static_cast<int16_t>(visible.size.height);
  ASSERT_GT(w, 0);
  // At the command's starting zoom of 0.6 the drawing measures 600 by 240 view units; the
  // margin adds 5 on each side.
  const float expected = std::min(w / (610 / 0.6f), h / (250 / 0.6f));
  Win32EventHandler::sharedEventHandler()->fitToWindow();
  EXPECT_NEAR(PlanZoom(ds), expected, 1e-4);
  EXPECT_FLOAT_EQ(TopViewZoom(ds), PlanZoom(ds));
  const NSRect shown = view->visibleRect();
  EXPECT_NEAR(shown.origin.x + shown.size.width / 2, 0, 1.0);
  EXPECT_NEAR(shown.origin.y + shown.size.height / 2, 0, 1.0);

  // An empty plan fits the lot rectangle (with the margin).
  for (Layer* l = model->itsLayers; l; l = l->next)
    while (l->firstObject) DeleteObj(l->firstObject);
  const FloatRect& lot = ds->planBounds;
  const NSRect now = view->visibleRect();
  const float w2 = static_cast<int16_t>(now.size.width), h2 = static_cast<int16_t>(now.size.height);
  float lotZoom = std::min(w2 / (lot.floatRight - lot.floatLeft + 10 / 0.6f),
                           h2 / (lot.floatBottom - lot.floatTop + 10 / 0.6f));
  Win32EventHandler::sharedEventHandler()->fitToWindow();
  const float pinned = std::floor(32000 / std::max(lot.floatRight - lot.floatLeft, lot.floatBottom - lot.floatTop));
  EXPECT_NEAR(PlanZoom(ds), std::min(lotZoom, pinned), 1e-3);
  window->hide();
}

TEST_F(WindowController, ResetPlanViewCentresThePlanOriginAtTheStartingZoom) {
  window->resize(900, 700);
  window->show();
  ZLKDocumentView* view = window->documentView();
  DocState* ds = model->itsDocState;
  // Zoomed in and scrolled away from the plan origin first.
  PlanZoom(ds) = 2.0f;
  view->refreshVisibleView();
  NSRect shown = view->visibleRect();
  view->scrollRectToVisible(NSMakeRect(300, 200, shown.size.width, shown.size.height));
  shown = view->visibleRect();
  ASSERT_GT(shown.origin.x + shown.size.width / 2, 100);

  Win32EventHandler::sharedEventHandler()->resetPlanView();
  EXPECT_FLOAT_EQ(PlanZoom(ds), 0.6f);
  float w = 0, h = 0;
  GetAdjustedPaperWidthAndHeight(&w, &h);
  EXPECT_EQ(view->width(), static_cast<int>(w));
  EXPECT_EQ(view->height(), static_cast<int>(h));
  shown = view->visibleRect();
  EXPECT_NEAR(shown.origin.x + shown.size.width / 2, 0, 1.0);
  EXPECT_NEAR(shown.origin.y + shown.size.height / 2, 0, 1.0);
  window->hide();
}

TEST_F(WindowController, ReadoutsShowTheirTextsAndEmptyOnZero) {
  DocState* ds = model->itsDocState;
  PlanZoom(ds) = 1.0f;
  const QString length = QString::fromStdString("Length: " + Inches(30));
  DrawLength(30);
  EXPECT_EQ(status(), length);
  DrawLength(0);
  EXPECT_EQ(status(), QString());
  DrawDiameter(24);
  EXPECT_EQ(status(), QString::fromStdString("Diameter: " + Inches(24)));
  DrawViewLength(120);
  EXPECT_EQ(status(), QString::fromStdString("View Distance: " + Inches(120)));
  DrawAngle(45);
  EXPECT_EQ(status(), QString::fromUtf8("Angle: 45\u00B0"));
  DrawAngle(32000);
  EXPECT_EQ(status(), QString());

  // Width, then the second argument as depth, then the third as height.
  DrawWH(10, 20, 30);
  EXPECT_EQ(status(), QString::fromStdString("Width: " + Inches(10) + ", Depth: " + Inches(20) +
                                             ", Height: " + Inches(30)));
  window->drawWidthHeightDepth(0.3f, 0.2f, -1.2f);
  EXPECT_EQ(status(), QString());
  window->drawWidthHeightDepth(0, 10, 5);
  EXPECT_EQ(status(), QString::fromStdString("Depth: " + Inches(5) + ", Height: " + Inches(10)));
  window->drawWidthHeightDepth(0, -10, 0);
  EXPECT_EQ(status(), QString::fromStdString("Height: " + Inches(10)));
  // Any one of the three past the half that rounds to nothing shows alone; all under it, none.
  window->drawWidthHeightDepth(0.6f, 0, 0);
  EXPECT_EQ(status(), QString::fromStdString("Width: " + Inches(0.6f)));
  window->drawWidthHeightDepth(0, 0.6f, 0);
  EXPECT_EQ(status(), QString::fromStdString("Height: " + Inches(0.6f)));
  window->drawWidthHeightDepth(0, 0, 0.6f);
  EXPECT_EQ(status(), QString::fromStdString("Depth: " + Inches(0.6f)));
  window->drawWidthHeightDepth(0.4f, 0.4f, 0.4f);
  EXPECT_EQ(status(), QString());

  // The area readout takes plan units and shows world units; the area in square feet.
  const float w = ConvertScreenToWorld(72, ds, 0), h = ConvertScreenToWorld(144, ds, 0);
  DrawWHArea(72, 144);
  EXPECT_EQ(status(), QString::fromStdString("Width: " + Inches(w) + ", Height: " + Inches(h) + ", Area: " +
                                             std::to_string(static_cast<long>(w * h / 144 + 0.5f)) +
                                             " sq.ft."));
  DrawWHArea(0, 0);
  EXPECT_EQ(status(), QString());

  // The radius is a world length: the zoom does not change it.
  PlanZoom(ds) = 2.0f;
  UpdateRadius(40);
  EXPECT_EQ(status(), QString::fromStdString("Radius: " + Inches(40)));
  UpdateRadius(0);
  EXPECT_EQ(status(), QString());
  PlanZoom(ds) = 1.0f;

  SetStatusBar("Ready");
  EXPECT_EQ(status(), QString("Ready"));
  SetStatusBar(nullptr);
  EXPECT_EQ(status(), QString());
  SetStatusBar("Ready");
  ClearStatusBar();
  EXPECT_EQ(status(), QString());

  // Without a main window nothing is shown and nothing breaks.
  gCurDocument = nullptr;
  DrawLength(30);
  DrawWHArea(10, 10);
  gCurDocument = model;
  EXPECT_EQ(status(), QString());
}

TEST_F(WindowController, FloorAreaGoesToTheStatusLine) {
  Win32EventHandler::sharedEventHandler()->calculateFloorAreaUsingCommand(5300);
  EXPECT_EQ(status(), QString("First Floor Area: 0 sq.ft."));
  model->itsDocState->measureSystem = kMeasureMetric;
  Win32EventHandler::sharedEventHandler()->calculateFloorAreaUsingCommand(5302);
  EXPECT_EQ(status(), QString("Third Floor Area: 0 sq.m."));
  SetStatusBar("kept");
  Win32EventHandler::sharedEventHandler()->calculateFloorAreaUsingCommand(5303);
  EXPECT_EQ(status(), QString("kept"));
}

TEST_F(WindowController, ElevationPaneAndSlider) {
  DocState* ds = model->itsDocState;
  SelectionState40 ss{};
  ss.ssStateFresh = 1;
  ss.ssBaseElevationValue = 21 * 12;
  window->setElevationPane(&ss);
  EXPECT_FALSE(window->elevationKnobShown());
  EXPECT_EQ(window->elevationText()->text(), QString("21'"));
  EXPECT_EQ(gDrawElevationNoSelection, 1);

  ss.ssBaseElevationValue = 5 * 12;
  window->setElevationPane(&ss);
  EXPECT_TRUE(window->elevationKnobShown());
  EXPECT_EQ(window->elevationSlider()->value(), 5);
  EXPECT_EQ(window->elevationText()->text(), QString("5'"));

  // Mixed elevations change nothing.
  SelectionState40 mixed{};
  window->setElevationPane(&mixed);
  EXPECT_EQ(window->elevationText()->text(), QString("5'"));

  // The object elevation sheet starts from the value the pane shows, else from 0, unfloated.
  ds->selectionState40 = ss;
  gDLOGTopoFloat = 1;
  Win32EventHandler::sharedEventHandler()->setObjectElevationUsingWindow(nullptr);
  EXPECT_FLOAT_EQ(gDLOGElevation, 0);
  EXPECT_EQ(gDLOGTopoFloat, 0);
  window->setElevationPane(&ss);
  Win32EventHandler::sharedEventHandler()->setObjectElevationUsingWindow(nullptr);
  EXPECT_FLOAT_EQ(gDLOGElevation, 5 * 12);

  ds->measureSystem = kMeasureMetric;
  ss.ssBaseElevationValue = ConvertMetersToInches(3);
  window->setElevationPane(&ss);
  EXPECT_EQ(window->elevationText()->text(), QString("3"));
  ds->measureSystem = kMeasureImperial;

  // Dragging moves only the text; releasing applies the value to new objects.
  ds->selectionState40 = ss;
  const float before = ds->baseElevation;
  window->elevationSlider()->setSliderDown(true);
  window->elevationSlider()->setValue(7);
  EXPECT_EQ(window->elevationText()->text(), QString("7'"));
  EXPECT_EQ(ds->baseElevation, before);
  window->elevationSlider()->setSliderDown(false);
  EXPECT_FLOAT_EQ(ds->baseElevation, 84);
  EXPECT_EQ(doc->undoManager().undoActionName(), "Elevation Slider");

  // With mixed elevations the question comes first; Cancel still stores the step.
  ScopedAlertRecorder alerts;
  alerts.answer = 1;
  ds->selectionState40 = mixed;
  doc->undoManager().removeAllActions();
  window->elevationSliderChanged(true);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Elevation settings will be applied to all selected objects.");
  EXPECT_EQ(doc->undoManager().undoActionName(), "Elevation Slider");
}

// The sheet that asks before a point with attachments goes ends in this window: "Delete
// Point" removes the point with the door on its segment, anything else leaves the wall.
TEST_F(WindowController, RemovePointSheetEndFinishesThePendingRemoval) {
  DeferredAlerts alerts;
  const RGBColor black{};
  Objex* wall = CreateObject(kObjWall, 0, 1, &black, &black, 4, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr);
  for (float x : {0.0f, 100.0f, 200.0f, 300.0f})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, wall), wall);
  AppendObjectToLayer(wall, model->itsCurLayer);
  UpdateObjectBounds(wall);
  Objex* door = AddDoor(wall, 1);
  PointAt(wall, 1)->selected = 1;
  EXPECT_EQ(RemovePoint(wall, PointAt(wall, 1), ds), 0);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(gRemovePtTargetObject, wall);
  window->removePointSheetDidEnd(0);  // "Cancel"
  EXPECT_EQ(wall->pointCount, 4);
  EXPECT_EQ(wall->firstChild, door);
  window->removePointSheetDidEnd(1);
  EXPECT_EQ(wall->pointCount, 3);
  EXPECT_FLOAT_EQ(PointAt(wall, 1)->position[0], 200);
  EXPECT_EQ(wall->firstChild, nullptr);
  EXPECT_EQ(doc->undoManager().undoActionName(), "Remove Point");
}

TEST_F(WindowController, QuitThenCancelLeavesEveryWindowAsItWas) {
  ScopedAlertRecorder alerts;
  window->show();
  ToolPaletteController& edit = ToolPaletteController::sharedToolPaletteController();
  PlanToolPaletteController& plan = PlanToolPaletteController::sharedPlanToolPaletteController();
  edit.showWindow();
  plan.showWindow();
  AddLine({{0, 0}, {10, 0}});
  doc->setDocumentEdited(true);
  alerts.answer = 2;  // Cancel
  window->quitAction()->trigger();
  QApplication::processEvents();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(edit.isVisible());
  EXPECT_TRUE(plan.isVisible());
  EXPECT_TRUE(LiveViewController::exists());
  EXPECT_EQ(CountObjects(model), 1);
  doc->setDocumentEdited(false);
}

TEST_F(WindowController, NewAsksToSaveAnEditedDesignAndKeepsTheWindow) {
  ScopedAlertRecorder alerts;
  std::string path = file("house.pro");
  ASSERT_TRUE(doc->writeToFile(path, "pro"));
  doc->setFileName(path);
  AddLine({{0, 0}, {10, 0}});
  doc->setDocumentEdited(true);
  Q_EMIT window->activeFloorTBPopUpButton()->activated(1);

  alerts.answer = 0;  // Save
  bool made = false;
  ZLKDocumentController::sharedDocumentController().newDocument([&](bool ok) { made = ok; });
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Do you want to save the changes you made in the document \"house\"?");
  EXPECT_EQ(alerts.shown[0].informative, "Your changes will be lost if you don't save them");
  EXPECT_EQ(alerts.shown[0].buttons, (std::vector<std::string>{"Save", "Don't Save", "Cancel"}));
  EXPECT_TRUE(made);
  EXPECT_EQ(doc->windowControllers().value(0), window);
  EXPECT_EQ(CountObjects(model), 0);
  EXPECT_EQ(doc->fileName(), "");
  EXPECT_FALSE(doc->isDocumentEdited());
  EXPECT_EQ(window->activeFloorTBPopUpButton()->currentIndex(), 0);
  EXPECT_EQ(gCurToolSet, kPlanFloor);

  // The saved file holds the edit.
  ZLKDocument* check = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
  ASSERT_TRUE(check->readFromFile(path, "pro"));
  EXPECT_EQ(CountObjects(check->documentModel()), 1);
  gCurDocument = model;
}

TEST_F(WindowController, ASaveThatFailsStopsTheRoad) {
  ScopedAlertRecorder alerts;
  const std::string path = file("gone/house.pro");
  doc->setFileName(path);
  AddLine({{0, 0}, {10, 0}});
  doc->setDocumentEdited(true);
  alerts.answer = 0;
  bool made = true;
  ZLKDocumentController::sharedDocumentController().newDocument([&](bool ok) { made = ok; });
  EXPECT_FALSE(made);
  EXPECT_TRUE(alerts.sawMessage("The document \"house\" could not be saved as \"house\"."));
  EXPECT_EQ(CountObjects(model), 1);
  EXPECT_TRUE(doc->isDocumentEdited());
  EXPECT_EQ(doc->fileName(), path);
}

TEST_F(WindowController, OpenSavesAnUntitledDesignThroughThePanelThenReads) {
  // A design file with two lines to open.
  ZLKDocument* source = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
  AddLine({{0, 0}, {10, 0}});
  AddLine({{0, 10}, {10, 10}});
  openPath = file("other.pro");
  ASSERT_TRUE(source->writeToFile(openPath, "pro"));
  ZLKDocumentController::sharedDocumentController().removeDocument(source);
  gCurDocument = model;

  ScopedAlertRecorder alerts;
  AddLine({{0, 0}, {10, 0}});
  doc->setDocumentEdited(true);
  savePath = file("mine.pro");
  alerts.answer = 0;
  ZLKDocumentController::sharedDocumentController().openDocument();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Do you want to save the changes you made in the document Untitled?");
  EXPECT_EQ(alerts.shown[0].informative, "Your changes will be lost if you don't save them.");
  EXPECT_EQ(alerts.shown[0].buttons[0], "Save...");
  EXPECT_TRUE(fs::exists(savePath));
  EXPECT_EQ(doc->fileName(), openPath);
  EXPECT_EQ(CountObjects(model), 2);
  EXPECT_FALSE(doc->isDocumentEdited());
  EXPECT_EQ(ZLKDocumentController::sharedDocumentController().documents().size(), 1u);

  // Cancel leaves everything.
  doc->setDocumentEdited(true);
  alerts.answer = 2;
  openPath = savePath;
  ZLKDocumentController::sharedDocumentController().openDocument();
  EXPECT_EQ(doc->fileName(), file("other.pro"));
  EXPECT_EQ(CountObjects(model), 2);
}

TEST_F(WindowController, NewAndOpenShowTheDesignsSnapOffset) {
  SnapPaletteController& snap = SnapPaletteController::sharedSnapPaletteController();
  ZLKDocument* source = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
  source->documentModel()->itsDocState->snapOffset = 30;
  openPath = file("offset.pro");
  ASSERT_TRUE(source->writeToFile(openPath, "pro"));
  ZLKDocumentController::sharedDocumentController().removeDocument(source);
  gCurDocument = model;

  ds->snapOffset = 18;
  snap.setSnapOffsetText(18);
  doc->setDocumentEdited(false);
  ZLKDocumentController::sharedDocumentController().openDocument();
  ASSERT_EQ(doc->fileName(), openPath);
  EXPECT_FLOAT_EQ(GetFloatItem(snap.offsetText), 30);

  doc->setDocumentEdited(false);
  ZLKDocumentController::sharedDocumentController().newDocument();
  EXPECT_FLOAT_EQ(GetFloatItem(snap.offsetText), model->itsDocState->snapOffset);
}

// The snap offset of a design opened by any road (the open panel, the recent list or the
// desktop) is shown in that design's units, from imperial to metric and back; so is the
// offset after Undo and Redo of a change of units.
TEST_F(WindowController, SnapOffsetShowsTheOpenedDesignsUnitsOnEveryRoad) {
  SnapPaletteController& snap = SnapPaletteController::sharedSnapPaletteController();
  const uint8_t forced = gForceNewPlanDefaults;
  gForceNewPlanDefaults = 0;
  constexpr float kOffset = 11.811f;  // 30 cm
  const auto writeDesign = [&](const std::string& name, bool metric) {
    ZLKDocument* source = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
    DocState* sds = source->documentModel()->itsDocState;
    sds->measureSystem = metric ? kMeasureMetric : kMeasureImperial;
    sds->metricReadout = kReadoutFlagMeters;
    sds->imperialReadout = kReadoutFlagFractions;  // inches and sixteenths
    sds->snapOffset = kOffset;
    const std::string path = file(name);
    EXPECT_TRUE(source->writeToFile(path, "pro"));
    ZLKDocumentController::sharedDocumentController().removeDocument(source);
    gCurDocument = model;
    return path;
  };
  const std::string imperialPath = writeDesign("imperial.pro", false), metricPath = writeDesign("metric.pro", true);
  const QString imperialText = QString::fromUtf8("11 13/16\""), metricText = QStringLiteral("0.3 m");
  // The session's design in the other units, its offset shown in them.
  const auto session = [&](bool metric) {
    ASSERT_EQ(gCurDocument, model);
    DocState* ds = model->itsDocState;
    ds->measureSystem = metric ? kMeasureMetric : kMeasureImperial;
    ds->metricReadout = kReadoutFlagMeters;
    ds->imperialReadout = kReadoutFlagFractions;
    ds->snapOffset = kOffset;
    snap.updateSnapOffsetText();
    ASSERT_EQ(snap.offsetText->text(), metric ? metricText : imperialText);
    doc->setDocumentEdited(false);
  };
  auto& controller = ZLKDocumentController::sharedDocumentController();
  for (const bool openMetric : {false, true}) {
    SCOPED_TRACE(openMetric ? "metric design opened" : "imperial design opened");
    const std::string& path = openMetric ? metricPath : imperialPath;
    const QString& expected = openMetric ? metricText : imperialText;
    // The recent list and the desktop.
    session(!openMetric);
    controller.openRecentDocument(path);
    ASSERT_EQ(doc->fileName(), path);
    EXPECT_EQ(model->itsDocState->measureSystem, openMetric ? kMeasureMetric : kMeasureImperial);
    EXPECT_EQ(snap.offsetText->text(), expected);
    doc->setFileName("");
    session(!openMetric);
    EXPECT_EQ(controller.openDocumentWithContentsOfURL(path), doc);
    EXPECT_EQ(snap.offsetText->text(), expected);
    // The open panel.
    doc->setFileName("");
    session(!openMetric);
    openPath = path;
    controller.openDocument();
    ASSERT_EQ(doc->fileName(), path);
    EXPECT_EQ(snap.offsetText->text(), expected);
    doc->setFileName("");
  }

  // A change of units undone and redone.
  session(false);
  InitializeUndo();
  doc->undoManager().removeAllActions();
  model->itsDocState->measureSystem = kMeasureMetric;
  snap.updateSnapOffsetText();
  StoreUndo("Measurement Options");
  ASSERT_EQ(snap.offsetText->text(), metricText);
  window->updateWindowState();
  window->undoAction()->trigger();
  EXPECT_EQ(model->itsDocState->measureSystem, kMeasureImperial);
  EXPECT_EQ(snap.offsetText->text(), imperialText);
  window->updateWindowState();
  window->redoAction()->trigger();
  EXPECT_EQ(model->itsDocState->measureSystem, kMeasureMetric);
  EXPECT_EQ(snap.offsetText->text(), metricText);
  model->itsDocState->measureSystem = kMeasureImperial;
  gForceNewPlanDefaults = forced;
}

TEST_F(WindowController, DesktopOpenWaitsForTheSheetAndKnowsTheOpenFile) {
  auto& controller = ZLKDocumentController::sharedDocumentController();
  const std::string path = file("Plan.pro");
  ASSERT_TRUE(doc->writeToFile(path, "pro"));
  doc->setFileName(path);
  AddLine({{0, 0}, {10, 0}});
  doc->setDocumentEdited(true);

  // The open design's own file, in other letter case: returned unread.
  EXPECT_EQ(controller.openDocumentWithContentsOfURL(file("PLAN.pro")), doc);
  EXPECT_EQ(CountObjects(model), 1);

  // Another file while edited: the document at once, the read after Don't Save.
  ZLKDocument* source = controller.makeUntitledDocument(false);
  AddLine({{0, 0}, {10, 0}});
  AddLine({{0, 5}, {10, 5}});
  AddLine({{0, 9}, {10, 9}});
  const std::string other = file("three.pro");
  ASSERT_TRUE(source->writeToFile(other, "pro"));
  controller.removeDocument(source);
  gCurDocument = model;

  DeferredAlerts alerts;
  EXPECT_EQ(controller.openDocumentWithContentsOfURL(other), doc);
  EXPECT_EQ(controller.candidatePath(), other);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(CountObjects(model), 1);
  alerts.answer(1);  // Don't Save
  EXPECT_EQ(CountObjects(model), 3);
  EXPECT_EQ(doc->fileName(), other);
  EXPECT_FALSE(doc->isDocumentEdited());
}

// While the design is edited the desktop's open returns the open document whatever the
// save question then answers, even when it answers at once.
TEST_F(WindowController, DesktopOpenOfAnEditedDesignReturnsTheDocumentWhateverTheSheetAnswers) {
  auto& controller = ZLKDocumentController::sharedDocumentController();
  ScopedAlertRecorder alerts;
  doc->setDocumentEdited(true);
  alerts.answer = 2;  // Cancel
  EXPECT_EQ(controller.openDocumentWithContentsOfURL(file("other.pro")), doc);
  EXPECT_EQ(controller.candidatePath(), file("other.pro"));
  EXPECT_TRUE(doc->isDocumentEdited());
  alerts.answer = 1;  // Don't Save, and the file cannot be read
  EXPECT_EQ(controller.openDocumentWithContentsOfURL(file("missing.pro")), doc);
  EXPECT_TRUE(alerts.sawMessage("The document \"missing\" could not be loaded."));
}

}  // namespace

// The slider's scale ends at -10 and at 20 (feet or metres): the knob shows at each end and
// not beyond it. Released, the slider gives its value, in the design's unit, as the elevation
// of new objects (nothing selected) or of the selected objects that share one, as one step
// undo takes back and redo does again.
TEST_F(WindowController, ElevationSliderEndsAndValuesInEitherUnit) {
  for (bool metric : {false, true}) {
    DocState* ds = model->itsDocState;
    ds->measureSystem = metric ? kMeasureMetric : kMeasureImperial;
    const float unit = metric ? ConvertMetersToInches(1) : 12;
    const char* system = metric ? " m" : " ft";
    struct End {
      long value;
      bool shown;
    };
    for (End e : {End{-10, true}, End{-11, false}, End{20, true}, End{21, false}, End{-3, true}}) {
      SelectionState40 ss{};
      ss.ssStateFresh = 1;
      ss.ssBaseElevationValue = e.value * unit;
      window->setElevationPane(&ss);
      EXPECT_EQ(window->elevationKnobShown(), e.shown) << e.value << system;
      EXPECT_EQ(window->elevationText()->text(), metric ? QString::number(e.value) : QString("%1'").arg(e.value));
      if (e.shown) EXPECT_EQ(window->elevationSlider()->value(), e.value) << e.value << system;
    }

    auto release = [&](int value) {
      window->elevationSlider()->setSliderDown(true);
      window->elevationSlider()->setValue(value == 0 ? 1 : 0);
      window->elevationSlider()->setValue(value);
      window->elevationSlider()->setSliderDown(false);
    };
    SelectionState40 fresh{};
    fresh.ssStateFresh = 1;
    ds->selectionState40 = fresh;
    release(4);
    EXPECT_NEAR(ds->baseElevation, 4 * unit, 1e-3) << system;

    // A selected line at one elevation; undo and redo.
    SelectAllLayers(model->itsLayers, kSelectOff, 1);
    Objex* line = AddPlanLine(model->itsCurLayer, 0, 0, 100, 0);
    SelectObj(line, kSelectOn, 1);
    InitializeUndo();
    doc->undoManager().removeAllActions();
    ds = model->itsDocState;
    SelectionState40 shared{};
    shared.ssBaseElevation = 1;
    ds->selectionState40 = shared;
    release(3);
    auto lastLine = [&] {
      Objex* last = model->itsCurLayer->firstObject;
      while (last && last->next) last = last->next;
      return last;
    };
    ASSERT_NE(lastLine(), nullptr);
    EXPECT_NEAR(lastLine()->baseElevation, 3 * unit, 1e-3) << system;
    EXPECT_EQ(doc->undoManager().undoActionName(), "Elevation Slider");
    window->updateWindowState();
    window->undoAction()->trigger();
    EXPECT_NEAR(lastLine()->baseElevation, 0, 1e-3) << system;
    window->updateWindowState();
    window->redoAction()->trigger();
    EXPECT_NEAR(lastLine()->baseElevation, 3 * unit, 1e-3) << system;
    model->itsDocState->measureSystem = kMeasureImperial;
  }
}
