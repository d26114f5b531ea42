// The plan in the design window: a design file written by the program is opened and its
// walls show in the window; the plan view's hooks and Refresh reach the right window.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "AppTestSupport.h"
#include "app/AppController.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "files/DesignFile.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/Records.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/WallSegmentDimensions.h"
#include "platform/UserDefaults.h"

namespace fs = std::filesystem;

namespace {

Objex* AddShape(int16_t type, int32_t planMask, float half, Layer* layer) {
  RGBColor black{};
  Objex* o = CreateObject(type, 1, 1, &black, &black, 4, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  const float corners[4][2] = {{-half, -half}, {half, -half}, {half, half}, {-half, half}};
  for (const auto& c : corners)
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, c[0], 0, c[1], 0, 0, 0, 0, 0, 0, o), o);
  o->planMask = planMask;
  AppendObjectToLayer(o, layer);
  return o;
}

class PlanView : public DesignWindowTest {
 protected:
  PlanView() : DesignWindowTest(/*makesDocument=*/false) {}
  // A design with an exterior wall square of 200 inches, a floor inside it and a deck
  // beside it, written by the program's own writer.
  std::string writeDesign() {
    ZLKDocumentModel* previous = gCurDocument;
    ZLKDocumentModel* m = ZLKDocumentModel::init();
    Objex* wall = AddShape(kObjWall, 2, 100, m->itsCurLayer);
    wall->subtype = kSubExteriorWall;
    AddShape(kObjFloor, 2, 90, m->itsCurLayer);
    Objex* deck = AddShape(kObjDeck, 64, 40, m->itsCurLayer);
    for (Poinz* p = deck->firstPoint; p; p = p->next) p->position[0] += 250;
    std::string path = folder + "/plan.pro";
    EXPECT_EQ(KeyFileWrite(path.c_str()), 1);
    ZLKDocumentModel::release(m);
    gCurDocument = previous;
    return path;
  }
};

bool Dark(const QImage& shot, int x, int y) { return qGray(shot.pixel(x, y)) < 80; }

// Whether a dark pixel lies within 2 of (x, y).
bool DarkNear(const QImage& shot, int x, int y) {
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx)
      if (Dark(shot, x + dx, y + dy)) return true;
  return false;
}

}  // namespace

TEST_F(PlanView, ShowsTheWallsOfAnOpenedDesign) {
  const std::string path = writeDesign();
  ASSERT_EQ(openFilesFromArguments({QString::fromStdString(path)}), 1);
  ZLKDocument* doc = ZLKDocumentController::sharedDocumentController().documents().at(0);
  ZLKWindowController* window = doc->windowControllers().value(0);
  ASSERT_NE(window, nullptr);
  ZLKDocumentView* view = window->documentView();
  gCurDocument = nullptr;  // the view draws its own design whatever is current
  const QImage shot = view->grab().toImage();
  ASSERT_FALSE(shot.isNull());
  const float zoom = doc->documentModel()->itsDocState->zoomFactor;
  const int cx = view->width() / 2, cy = view->height() / 2;
  const int edge = static_cast<int>(100 * zoom);
  // The four walls, dark on the light plan; the middle is not.
  EXPECT_TRUE(DarkNear(shot, cx + edge, cy));
  EXPECT_TRUE(DarkNear(shot, cx - edge, cy));
  EXPECT_TRUE(DarkNear(shot, cx, cy + edge));
  EXPECT_TRUE(DarkNear(shot, cx, cy - edge));
  EXPECT_FALSE(Dark(shot, cx + 3, cy + 3));
  EXPECT_EQ(gCurDocument, nullptr);  // put back after the pass
}

TEST_F(PlanView, RefreshAndTheViewHooksFindTheWindowOfTheCurrentDesign) {
  ZLKDocument* doc = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
  ASSERT_NE(doc, nullptr);
  ZLKWindowController* window = doc->windowControllers().value(0);
  ASSERT_NE(window, nullptr);
  gCurDocument = doc->documentModel();
  ASSERT_NE(gPlanViewHooks.documentView, nullptr);
  EXPECT_EQ(MainDocumentView(), &window->docView()->planDrawing());
  EXPECT_EQ(MainViewDynamicDrawEngine(), &window->documentView()->planDrawing().dynamicDrawEngine());
  Refresh();  // schedules a redraw; never draws by itself

  // A model without a document window: nothing happens.
  ZLKDocumentModel loose;
  gCurDocument = &loose;
  Refresh();
  EXPECT_EQ(MainDocumentView(), nullptr);
  gCurDocument = nullptr;
  Refresh();
}

TEST_F(PlanView, AWallSegmentsSideDimensionsShowInTheNextPassOnly) {
  ZLKDocument* doc = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
  ASSERT_NE(doc, nullptr);
  ZLKWindowController* window = doc->windowControllers().value(0);
  ASSERT_NE(window, nullptr);
  ZLKDocumentView* view = window->documentView();
  gCurDocument = doc->documentModel();
  const FloatPoint none{-32000, -32000};
  auto store = [] {
    gSelectedWallSegmentStartPtSideA = {0, 0};
    gSelectedWallSegmentEndPtSideA = {0, -120};
  };

  // While a transformation draws, the pass leaves them for a later one.
  store();
  gTransformationDrawing = 1;
  view->grab();
  gTransformationDrawing = 0;
  EXPECT_FLOAT_EQ(gSelectedWallSegmentEndPtSideA.floatV, -120);

  // Drawn with the plan, then forgotten.
  view->grab();
  EXPECT_FLOAT_EQ(gSelectedWallSegmentStartPtSideA.floatH, none.floatH);
  EXPECT_FLOAT_EQ(gSelectedWallSegmentEndPtSideA.floatV, none.floatV);
  gSelectedWallSegmentStartPtSideA = gSelectedWallSegmentEndPtSideA = none;
  gCurDocument = nullptr;
}
