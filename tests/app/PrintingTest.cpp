// Printing the plan: the fit-to-page and to-scale scales, printing a design to a PDF file,
// tiling a large plan over pages, the zoom put back and the print scale kept, a group printed
// by the members the tab shows.
#include <gtest/gtest.h>

#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <string>

#include "AppTestSupport.h"
#include "app/PlanViewActions.h"
#include "app/ZLKDocument.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/ViewCommands.h"
#include "plandraw/Base2DView.h"

namespace {

// A wall from (x0, 0) to (x1, 0) on the first floor, measured by its 6-unit-thick outline.
void AddWall(float x0, float x1, float z = 0) {
  RGBColor black{};
  Layer* layer = gCurDocument->itsLayers;
  Objex* wall = CreateObject(kObjWall, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr);
  for (float x : {x0, x1}) AppendPointToObject(CreatePoint(1, 1, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, wall), wall);
  Objex* outline = CreateObject(kObjWallFace, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, wall,
                                layer, nullptr);
  for (auto [x, dz] : {std::pair{x0, -3.f}, {x1, -3.f}, {x1, 3.f}, {x0, 3.f}})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z + dz, 0, 0, 0, 0, 0, 0, outline), outline);
  wall->typeData = outline;
  AppendObjectToLayer(wall, layer);
}

int CountPdfPages(const std::string& path) {
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QByteArray data = f.readAll();
  int pages = 0;
  for (qsizetype at = data.indexOf("/Type /Page"); at >= 0; at = data.indexOf("/Type /Page", at + 1))
    if (data.mid(at, 12) != "/Type /Pages") ++pages;
  return pages;
}

class PrintingTest : public DesignWindowTest {
 protected:
  void afterDocument() override {
    pdf = folder + "/plan.pdf";
    saved = ZLKDocument::printPanelRunner();
    // Letter paper with half-inch margins: 540 by 720 points to print on.
    ZLKDocument::printPanelRunner() = [this](QPrinter& printer, QWidget*) {
      ++panels;
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(pdf));
      printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                        QMarginsF(36, 36, 36, 36), QPageLayout::Point));
      if (fromPage) printer.setFromTo(fromPage, toPage);
      return accept;
    };
  }
  void beforeClosing() override { ZLKDocument::printPanelRunner() = saved; }

  // Sets the zoom values, the view placement and print globals to odd values and checks them
  // after a print.
  void SetOddState() {
    GridOrigin(ds) = {11, 22, 33};
    gGlobalXOffset = 5;
    gGlobalZOffset = -6;
    PlanZoom(ds) = 2.5f;
    TopViewZoom(ds) = 3.5f;
    OtherViewZoom(ds) = 0.5f;
    gPrinting = 0;
    gHPrintScale = 1.25f;
    gVPrintScale = 1.5f;
    gAffineTranslateX = 7;
    gAffineTranslateY = -9;
  }
  void ExpectViewPlacementBack() {
    EXPECT_FLOAT_EQ(GridOrigin(ds).floatH, 11);
    EXPECT_FLOAT_EQ(GridOrigin(ds).floatV, 22);
    EXPECT_FLOAT_EQ(GridOrigin(ds).floatD, 33);
    EXPECT_FLOAT_EQ(gGlobalXOffset, 5);
    EXPECT_FLOAT_EQ(gGlobalZOffset, -6);
  }
  void ExpectOddState() {
    ExpectViewPlacementBack();
    EXPECT_FLOAT_EQ(PlanZoom(ds), 2.5f);
    EXPECT_FLOAT_EQ(TopViewZoom(ds), 3.5f);
    EXPECT_FLOAT_EQ(OtherViewZoom(ds), 0.5f);
    EXPECT_EQ(gPrinting, 0);
    EXPECT_FLOAT_EQ(gHPrintScale, 1.25f);
    EXPECT_FLOAT_EQ(gVPrintScale, 1.5f);
    EXPECT_FLOAT_EQ(gAffineTranslateX, 7);
    EXPECT_FLOAT_EQ(gAffineTranslateY, -9);
  }
  // After a print run: the zoom values put back, the print scale and the translation that
  // centres the grown drawing on the page kept.
  void ExpectZoomsBackAndPrintedAt(float scale, float translateX, float translateY) {
    ExpectViewPlacementBack();
    EXPECT_FLOAT_EQ(PlanZoom(ds), 2.5f);
    EXPECT_FLOAT_EQ(TopViewZoom(ds), 3.5f);
    EXPECT_FLOAT_EQ(OtherViewZoom(ds), 0.5f);
    EXPECT_EQ(gPrinting, 0);
    EXPECT_FLOAT_EQ(gHPrintScale, scale);
    EXPECT_FLOAT_EQ(gVPrintScale, scale);
    EXPECT_NEAR(gAffineTranslateX, translateX, 1e-3);
    EXPECT_NEAR(gAffineTranslateY, translateY, 1e-3);
  }
  void TearDownGlobals() {
    gGlobalXOffset = gGlobalZOffset = 0;
    gHPrintScale = gVPrintScale = 1.0f;
    gAffineTranslateX = gAffineTranslateY = 0;
  }

  std::string pdf;
  bool accept = true;
  int fromPage = 0, toPage = 0;  // the range the panel chose; 0: every page
  int panels = 0;
  std::function<bool(QPrinter&, QWidget*)> saved;
};

TEST_F(PrintingTest, PaperScaleFitsTheGrownDrawing) {
  // 0..456 by 0..216 grows to 600 by 360; on 540 by 720 paper width decides: 0.9.
  FloatRect drawing{0, 0, 216, 456};
  const FloatRect paper{0, 0, 720, 540};
  EXPECT_FLOAT_EQ(ZLKDocument::calculatePaperScaleWithDrawingBounds(&drawing, &paper), 0.9f);
  EXPECT_FLOAT_EQ(drawing.floatTop, -72);
  EXPECT_FLOAT_EQ(drawing.floatLeft, -72);
  EXPECT_FLOAT_EQ(drawing.floatBottom, 288);
  EXPECT_FLOAT_EQ(drawing.floatRight, 528);
  // Tall: 0..56 by 0..1856 grows to 200 by 2000; height decides: 0.36.
  FloatRect tall{0, 0, 1856, 56};
  EXPECT_FLOAT_EQ(ZLKDocument::calculatePaperScaleWithDrawingBounds(&tall, &paper), 0.36f);
  EXPECT_FLOAT_EQ(ZLKDocument::calculatePaperScaleWithDrawingBounds(nullptr, &paper), 1.0f);
  EXPECT_FLOAT_EQ(ZLKDocument::calculatePaperScaleWithDrawingBounds(&tall, nullptr), 1.0f);
}

TEST_F(PrintingTest, TileScaleFollowsPlanScaleAndUnits) {
  struct Case { int16_t code; float imperial, metric; };
  for (Case c : {Case{8, 0.375f, 0.36f}, Case{9, 0.75f, 0.72f}, Case{10, 1.0f, 1.8f}, Case{11, 1.5f, 3.6f},
                 Case{7, 1.0f, 1.0f}, Case{12, 1.0f, 1.0f}}) {
    ds->planScaleChoice = c.code;
    ds->measureSystem = 3;
    FloatRect r{0, 0, 10, 10};
    EXPECT_FLOAT_EQ(ZLKDocument::calculateTileScaleWithDrawingBounds(&r), c.imperial) << c.code;
    EXPECT_FLOAT_EQ(r.floatLeft, -72);
    ds->measureSystem = kMeasureMetric;
    EXPECT_FLOAT_EQ(ZLKDocument::calculateTileScaleWithDrawingBounds(&r), c.metric) << c.code;
  }
  EXPECT_FLOAT_EQ(ZLKDocument::calculateTileScaleWithDrawingBounds(nullptr), 1.0f);
  gCurDocument = nullptr;
  FloatRect r{0, 0, 10, 10};
  EXPECT_FLOAT_EQ(ZLKDocument::calculateTileScaleWithDrawingBounds(&r), 1.0f);
  EXPECT_FLOAT_EQ(r.floatLeft, 0);  // not grown
  gCurDocument = model;
}

TEST_F(PrintingTest, PrintsAWallToPdfAndPutsTheStateBack) {
  AddWall(0, 300);
  SetOddState();
  doc->printShowingPrintPanel(true);
  EXPECT_EQ(panels, 1);
  EXPECT_EQ(CountPdfPages(pdf), 1);
  EXPECT_GT(QFile(QString::fromStdString(pdf)).size(), 0);
  // 0..300 by -3..3 grown to 444 by 150 on 540 by 720: 540 / 444, centred on x 150.
  ExpectZoomsBackAndPrintedAt(540.0f / 444.0f, -150 * (540.0f / 444.0f), 0);

  // Cancelled: no file, nothing changed.
  QFile::remove(QString::fromStdString(pdf));
  SetOddState();
  accept = false;
  doc->printToScaleShowingPrintPanel();
  EXPECT_FALSE(QFile::exists(QString::fromStdString(pdf)));
  ExpectOddState();
  TearDownGlobals();
}

TEST_F(PrintingTest, MenuPrintsToScaleOverSeveralPages) {
  // About 2000 by 1000 points at 1:1: four pages across, two down.
  AddWall(0, 1900);
  AddWall(0, 1900, 900);
  ds->planScaleChoice = 10;
  ds->measureSystem = 3;
  SetOddState();
  PlanViewActions actions;
  ASSERT_TRUE(actions.perform(kTagPrintToScale));
  EXPECT_EQ(CountPdfPages(pdf), 8);
  // At 1:1 the plan's centre (950, 450) goes to the middle of the tiled view.
  ExpectZoomsBackAndPrintedAt(1.0f, -950, -450);

  QFile::remove(QString::fromStdString(pdf));
  SetOddState();
  ASSERT_TRUE(actions.perform(kTagPrint));
  EXPECT_EQ(CountPdfPages(pdf), 1);
  // 2044 by 1050 on 540 by 720: 540 / 2044.
  ExpectZoomsBackAndPrintedAt(540.0f / 2044.0f, -950 * (540.0f / 2044.0f), -450 * (540.0f / 2044.0f));
  TearDownGlobals();
}

// The pages the print panel names, across then down: the first, the last, and a range between.
TEST_F(PrintingTest, ToScaleKeepsToThePagesOfTheRange) {
  AddWall(0, 1900);
  AddWall(0, 1900, 900);
  ds->planScaleChoice = 10;
  ds->measureSystem = 3;
  struct Range { int from, to, pages; };
  for (Range r : {Range{1, 1, 1}, Range{8, 8, 1}, Range{2, 3, 2}, Range{4, 5, 2}, Range{7, 20, 2}}) {
    QFile::remove(QString::fromStdString(pdf));
    fromPage = r.from;
    toPage = r.to;
    SetOddState();
    doc->printToScaleShowingPrintPanel();
    EXPECT_EQ(CountPdfPages(pdf), r.pages) << r.from << ".." << r.to;
    ExpectZoomsBackAndPrintedAt(1.0f, -950, -450);
  }
  TearDownGlobals();
}

// A wall and a line on the landscape plan far beside it, grouped on the Roofing tab: printed
// from the Electrical tab the page holds the wall as it would alone (the line is not on that
// tab's plans); from the Landscape tab, both.
TEST_F(PrintingTest, AGroupPrintsTheMembersItsTabShows) {
  AddWall(0, 300);
  RGBColor black{};
  Objex* line = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr);
  for (float x : {1000.0f, 1200.0f})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, line), line);
  line->planMask = 1 << kPlanLandscape;
  AppendObjectToLayer(line, model->itsLayers);
  UpdateObjectBounds(line);
  SelectAllLayers(model->itsLayers, kSelectOn, 1);
  ds->newObjectPlanMask = 1 << kPlanRoofing;
  gGroupLeader = nullptr;
  TopLevelObjectAllLayers(model->itsLayers, kCmdGroup, CommandArg::None());
  gGroupLeader = nullptr;
  SelectAllLayers(model->itsLayers, kSelectOff, 0);
  ASSERT_EQ(model->itsLayers->firstObject->type, kObjGroup);
  ASSERT_EQ(model->itsLayers->firstObject->next, nullptr);

  ds->currentPlanMask = ds->planMasks[kPlanElectrical];
  SetOddState();
  doc->printShowingPrintPanel(true);
  EXPECT_EQ(CountPdfPages(pdf), 1);
  // As the wall alone: 0..300 by -3..3 grown to 444 by 150.
  ExpectZoomsBackAndPrintedAt(540.0f / 444.0f, -150 * (540.0f / 444.0f), 0);

  QFile::remove(QString::fromStdString(pdf));
  ds->currentPlanMask = ds->planMasks[kPlanLandscape];
  SetOddState();
  doc->printShowingPrintPanel(true);
  EXPECT_EQ(CountPdfPages(pdf), 1);
  // 0..1200 by -3..3 grown to 1344 by 150, centred on x 600.
  ExpectZoomsBackAndPrintedAt(540.0f / 1344.0f, -600 * (540.0f / 1344.0f), 0);
  TearDownGlobals();
}

TEST_F(PrintingTest, NothingToPrintMakesNoPages) {
  SetOddState();
  doc->printShowingPrintPanel(true);  // an empty plan
  EXPECT_FALSE(QFile::exists(QString::fromStdString(pdf)));
  ExpectOddState();

  AddWall(0, 100);
  Layer* layers = model->itsLayers;
  model->itsLayers = nullptr;  // no layers: not even the panel
  doc->printToScaleShowingPrintPanel();
  model->itsLayers = layers;
  EXPECT_EQ(panels, 1);
  ExpectOddState();
  TearDownGlobals();
}

}  // namespace
