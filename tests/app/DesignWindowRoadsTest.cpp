// The design window's finishing roads: size readouts at every zoom, Open Recent, plan colours
// from the user defaults, Mirror and the clipboard, and the tool set shown at start-up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QTabBar>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/AppController.h"
#include "app/PlanToolPaletteController.h"
#include "app/Win32EventHandler.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKWindowController.h"
#include "files/DesignFile.h"
#include "files/Undo.h"
#include "app/StatusReadouts.h"
#include <QLabel>
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Readouts.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "platform/Alerts.h"
#include "platform/UserDefaults.h"

namespace {

class DesignWindowRoads : public DesignWindowTest, protected StubFileChoosers {
 protected:
  // The readout and undo settings come back through the base fixture.
  void beforeDocument() override {
    installFileChoosers();
    // New designs take the registered readout defaults of an imperial user.
    AppController::initialize();
    defaults.setInt("UseImperialSystemKey", 3);
    AppController::loadNewPlanReadoutState();
  }
  void afterClosing() override {
    restoreFileChoosers();
  }

  // A closed shape of width by depth plan units on the plan of the mask, its corner at the origin.
  Objex* add(int16_t type, float width, float depth, int32_t planMask) {
    RGBColor black{};
    Objex* o = CreateObject(type, 1, 1, &black, &black, 4, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr);
    const float corners[4][2] = {{0, 0}, {width, 0}, {width, depth}, {0, depth}};
    for (const auto& c : corners)
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, c[0], 0, c[1], 0, 0, 0, 0, 0, 0, o), o);
    o->planMask = planMask;
    AppendObjectToLayer(o, model->itsCurLayer);
    UpdateObjectBounds(o);
    return o;
  }
  QString status() const { return window->statusText()->text(); }
  Win32EventHandler& handler() { return *Win32EventHandler::sharedEventHandler(); }
  ZLKDocumentController& documents() { return ZLKDocumentController::sharedDocumentController(); }
  // A design file holding one line, written by the program's own writer.
  std::string writeDesign(const std::string& name) {
    ZLKDocumentModel* previous = gCurDocument;
    ZLKDocumentModel* m = ZLKDocumentModel::init();
    RGBColor black{};
    Objex* o = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr);
    for (float x : {0.0f, 100.0f})
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
    AppendObjectToLayer(o, m->itsCurLayer);
    const std::string path = file(name);
    EXPECT_EQ(KeyFileWrite(path.c_str()), 1);
    ZLKDocumentModel::release(m);
    gCurDocument = previous;
    return path;
  }
  QStringList recentTitles() {
    window->updateOpenRecentMenu();
    QStringList titles;
    for (QAction* a : window->openRecentMenu()->actions())
      if (!a->isSeparator()) titles << a->text();
    return titles;
  }
  QAction* recentEntry(const QString& title) {
    window->updateOpenRecentMenu();
    for (QAction* a : window->openRecentMenu()->actions())
      if (a->text() == title) return a;
    return nullptr;
  }
};

}  // namespace

TEST_F(DesignWindowRoads, SelectAllShowsTheSelectionsTrueSizeAtEveryZoom) {
  ASSERT_EQ(ds->measureSystem, kMeasureImperial);
  // On an empty floor the status line stays empty.
  handler().selectAllObjects();
  EXPECT_EQ(status(), QString());

  // 240 by 120 plan units on the detail plan: 10 by 5 feet at plan scale 36.
  ds->currentPlanMask |= 1 << kPlanDetail;
  Objex* detail = add(kObjRect, 240, 120, 1 << kPlanDetail);
  for (float zoom : {1.0f, 2.0f}) {
    PlanZoom(ds) = zoom;
    SelectAllLayers(model->itsLayers, kSelectOff, 0);
    window->clearStatusBar();
    handler().selectAllObjects();
    EXPECT_TRUE(IsObjectSelected(detail));
    EXPECT_EQ(status(), QString("Width: 10'-0\", Depth: 5'-0\"")) << "zoom " << zoom;
  }

  // Cut empties the status line and is one undo step.
  window->planViewActions().perform(kCmdCutObjects);
  window->updateWindowState();
  EXPECT_EQ(status(), QString());
  EXPECT_EQ(window->undoAction()->text(), QString("Undo Cut"));
}

TEST_F(DesignWindowRoads, MarqueeAreaRadiusAndSizeReadouts) {
  for (float zoom : {1.0f, 2.0f}) {
    PlanZoom(ds) = zoom;
    DrawWHArea(240, 120);
    EXPECT_EQ(status(), QString("Width: 10'-0\", Height: 5'-0\", Area: 50 sq.ft.")) << "zoom " << zoom;
    // The fillet tools' radius is a world length, like their preview label.
    UpdateRadius(96);
    EXPECT_EQ(status(), QString("Radius: 8'-0\"")) << "zoom " << zoom;
  }
  PlanZoom(ds) = 1.0f;
  DrawWH(10, 20, 30);
  EXPECT_TRUE(status().startsWith("Width: ")) << status().toStdString();
  EXPECT_TRUE(status().contains(", Depth: ") && status().contains(", Height: "));

  // Metric: 7,200 square inches are 4.645152 square metres, shown as precisely as the lengths.
  ds->measureSystem = kMeasureMetric;
  const auto metricReadout = ds->metricReadout;
  struct Case {
    int16_t flags;
    const char* length;
    const char* area;
  } metric[] = {{kReadoutFlagMeters, "3.048 m", "4.6452 sq.m."},
                {kReadoutFlagCentimeters, "304.8 cm", "4.65 sq.m."},
                {0, "3048 mm", "4.6 sq.m."}};
  for (const Case& c : metric) {
    ds->metricReadout = c.flags;
    DrawWHArea(240, 120);
    EXPECT_TRUE(status().startsWith(QString("Width: ") + c.length)) << status().toStdString();
    EXPECT_TRUE(status().endsWith(QString(", Area: ") + c.area)) << status().toStdString();
  }
  ds->metricReadout = kReadoutFlagMeters;
  EXPECT_EQ(AreaText(7200 * 2), QString("9.2903 sq.m."));
  EXPECT_EQ(AreaText(1550.0031f), QString("1 sq.m."));  // trailing zeros go
  ds->metricReadout = metricReadout;
  ds->measureSystem = kMeasureImperial;
  EXPECT_EQ(AreaText(144 * 10 + 71), QString("10.49 sq.ft."));
  EXPECT_EQ(AreaText(144 * 10 + 72), QString("10.5 sq.ft."));
  EXPECT_EQ(AreaText(NAN), QString::fromStdString(std::to_string(-2000000000L) + " sq.ft."));
}

// Moving the selection to another floor empties the readout that described it; copying it
// leaves the selection, and its readout, where they were.
TEST_F(DesignWindowRoads, MovingTheSelectionToAnotherFloorEmptiesItsReadout) {
  ASSERT_NE(model->itsCurLayer->next, nullptr);
  ds->currentPlanMask |= 1 << kPlanDetail;
  add(kObjRect, 240, 120, 1 << kPlanDetail);
  handler().selectAllObjects();
  ASSERT_EQ(status(), QString("Width: 10'-0\", Depth: 5'-0\""));
  window->planViewActions().perform(kCmdCopyToUpperFloor);
  EXPECT_EQ(status(), QString("Width: 10'-0\", Depth: 5'-0\""));
  window->planViewActions().perform(kCmdMoveToUpperFloor);
  EXPECT_EQ(status(), QString());
}

TEST_F(DesignWindowRoads, StartUpShowsTheFloorTabAndItsTools) {
  EXPECT_EQ(window->docTabView()->currentIndex(), kPlanFloor);
  EXPECT_EQ(ds->newObjectPlanMask, 2);
  EXPECT_EQ(gCurToolSet, kPlanFloor);
  PlanToolPaletteController& plan = PlanToolPaletteController::sharedPlanToolPaletteController();
  EXPECT_EQ(plan.shownToolSet(), kPlanFloor);

  // Another tab's tools follow the tab; File > New goes back to the floor tools.
  window->selectPlanTab(kPlanLandscape);
  EXPECT_EQ(gCurToolSet, kPlanLandscape);
  EXPECT_EQ(plan.shownToolSet(), kPlanLandscape);
  documents().newDocument();
  EXPECT_EQ(gCurToolSet, kPlanFloor);
  EXPECT_EQ(plan.shownToolSet(), kPlanFloor);
  EXPECT_EQ(window->docTabView()->currentIndex(), kPlanFloor);
}

TEST_F(DesignWindowRoads, PlanColoursComeFromTheUserDefaults) {
  const RGBColor floorBlue{0, 16448, 34952};
  EXPECT_EQ(ds->planColors[kPlanFloor], floorBlue);
  EXPECT_EQ(ds->planColors[kPlanFoundation], (RGBColor{0xC0C0, 0, 0}));
  EXPECT_EQ(ds->planColors[kPlanElectrical], (RGBColor{0xFFFF, 0x8080, 0}));
  EXPECT_EQ(ds->planColors[kPlanDetail], floorBlue);

  // File > New: a fresh DocState takes them again.
  ds->planColors[kPlanFloor] = {};
  documents().newDocument();
  ds = model->itsDocState;
  EXPECT_EQ(ds->planColors[kPlanFloor], floorBlue);

  // A design read from its file.
  openPath = writeDesign("colours.pro");
  documents().openDocument();
  ds = model->itsDocState;
  EXPECT_EQ(doc->displayName(), QString("colours.pro"));
  EXPECT_EQ(ds->planColors[kPlanFloor], floorBlue);
  EXPECT_EQ(ds->planColors[kPlanLandscape], (RGBColor{0, 0xC0C0, 0}));

  // An edit and its undo read a snapshot back.
  add(kObjLine, 50, 0, 2);
  StoreUndo("Add Line");
  doc->undoManager().undo();
  ds = model->itsDocState;
  EXPECT_EQ(ds->planColors[kPlanFloor], floorBlue);

  // A colour the user chose.
  defaults.setString("FloorPlanColor", "#102030");
  documents().newDocument();
  EXPECT_EQ(model->itsDocState->planColors[kPlanFloor], (RGBColor{0x1010, 0x2020, 0x3030}));
  defaults.setString("FloorPlanColor", "junk");
  AppController::loadColorsForDocument(doc);  // unreadable: left as it was
  EXPECT_EQ(model->itsDocState->planColors[kPlanFloor], (RGBColor{0x1010, 0x2020, 0x3030}));
  AppController::loadColorsForDocument(nullptr);
}

TEST_F(DesignWindowRoads, AFloorPlanLineDrawsInTheFloorPlanColour) {
  ds->currentPlanMask = 2;
  ds->snapToGrid = 0;
  PlanZoom(ds) = TopViewZoom(ds) = 1.0f;
  window->resize(800, 600);
  window->show();
  QApplication::processEvents();
  // A long horizontal floor-plan line through the plan's centre.
  RGBColor black{};
  Objex* o = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr);
  for (float x : {-300.0f, 300.0f}) AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
  o->planMask = 2;
  AppendObjectToLayer(o, model->itsCurLayer);
  UpdateObjectBounds(o);
  ZLKDocumentView* view = window->documentView();
  view->refreshVisibleView();
  const QImage shot = view->grab().toImage();
  ASSERT_FALSE(shot.isNull());
  // Somewhere on the view a pixel in the floor plan's blue (0, 64, 136).
  bool blue = false;
  for (int y = 0; y < shot.height() && !blue; ++y)
    for (int x = 0; x < shot.width() && !blue; ++x) {
      const QColor c = shot.pixelColor(x, y);
      blue = c.red() < 30 && std::abs(c.green() - 64) < 30 && std::abs(c.blue() - 136) < 30;
    }
  EXPECT_TRUE(blue);
  window->hide();
}

TEST_F(DesignWindowRoads, MirrorKeepsWhatTheUserCopied) {
  Objex* rectangle = add(kObjRect, 100, 50, 2);
  Objex* line = add(kObjLine, 80, 0, 2);
  SelectObj(rectangle, kSelectOn, 0);
  handler().copyObjects();
  SelectAllLayers(model->itsLayers, kSelectOff, 0);
  SelectObj(line, kSelectOn, 0);
  handler().mirrorObjectsUsingCommand(kCmdMirrorHorizontal);
  SelectAllLayers(model->itsLayers, kSelectOff, 0);
  const int before = CountObjects(model);
  handler().pasteObjects();
  ASSERT_EQ(CountObjects(model), before + 1);
  Objex* pasted = nullptr;
  for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next) pasted = o;
  ASSERT_NE(pasted, nullptr);
  EXPECT_EQ(pasted->type, kObjRect);
}

TEST_F(DesignWindowRoads, OpenRecentListsReadsAndKeepsTheDesigns) {
  ScopedAlertRecorder alerts;
  const std::string a = writeDesign("a.pro"), b = writeDesign("b.pro");
  EXPECT_EQ(recentTitles(), QStringList{"Clear Menu"});
  openPath = a;
  documents().openDocument();
  openPath = b;
  documents().openDocument();
  EXPECT_EQ(recentTitles(), (QStringList{"b.pro", "a.pro", "Clear Menu"}));

  // Choosing "a.pro" reads it: not edited, no undo step.
  QAction* entry = recentEntry("a.pro");
  ASSERT_NE(entry, nullptr);
  entry->trigger();
  EXPECT_EQ(doc->displayName(), QString("a.pro"));
  EXPECT_FALSE(doc->isDocumentEdited());
  EXPECT_FALSE(doc->undoManager().canUndo());
  EXPECT_EQ(recentTitles(), (QStringList{"a.pro", "b.pro", "Clear Menu"}));

  // The open design's own file reads nothing.
  add(kObjLine, 40, 0, 2);
  const int withEdit = CountObjects(model);
  recentEntry("a.pro")->trigger();
  EXPECT_EQ(CountObjects(model), withEdit);
  EXPECT_TRUE(alerts.shown.empty());

  // An edited design asks first; Cancel keeps everything.
  doc->setDocumentEdited(true);
  alerts.answer = 2;
  recentEntry("b.pro")->trigger();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].informative, "Your changes will be lost if you don't save them.");
  EXPECT_EQ(doc->displayName(), QString("a.pro"));
  EXPECT_EQ(CountObjects(model), withEdit);
  EXPECT_TRUE(doc->isDocumentEdited());

  // A deleted file's entry alerts, keeps the design and stays in the menu.
  doc->setDocumentEdited(false);
  alerts.shown.clear();
  alerts.answer = 0;
  std::remove(b.c_str());
  recentEntry("b.pro")->trigger();
  EXPECT_TRUE(alerts.sawMessage("The document \"b\" could not be loaded."));
  EXPECT_EQ(doc->displayName(), QString("a.pro"));
  EXPECT_EQ(CountObjects(model), withEdit);
  EXPECT_EQ(recentTitles(), (QStringList{"a.pro", "b.pro", "Clear Menu"}));

  // Ten at most: an eleventh drops the oldest.
  for (int i = 0; i < 9; ++i) {
    openPath = writeDesign("d" + std::to_string(i) + ".pro");
    documents().openDocument();
  }
  QStringList titles = recentTitles();
  ASSERT_EQ(titles.size(), 11);
  EXPECT_EQ(titles.first(), QString("d8.pro"));
  EXPECT_TRUE(titles.contains("a.pro"));
  EXPECT_FALSE(titles.contains("b.pro"));

  // Kept in the user defaults: another session's controller reads them.
  EXPECT_EQ(documents().recentDocumentPaths().size(), 10u);
  EXPECT_EQ(documents().recentDocumentPaths().front(), file("d8.pro"));

  recentEntry("Clear Menu")->trigger();
  EXPECT_EQ(recentTitles(), QStringList{"Clear Menu"});
  EXPECT_TRUE(documents().recentDocumentPaths().empty());
}
