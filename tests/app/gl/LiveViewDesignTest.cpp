// The program with a saved design of walls: Show 3D View draws the walls where they project,
// and a wall moved in the plan moves in the next frame.
#include <gtest/gtest.h>

// The wall records first: their field "slots" is a word Qt's headers take for themselves.
#include "model/Attachments.h"
#include "model/WallFields.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "LiveViewTestSupport.h"
#include "app/x11/SettleWindows.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "app/RenderKeyWatch.h"
#include "RedWalls.h"
#include "building3d/PlaneObjects.h"
#include "building3d/Walls3D.h"
#include "model/Bounds.h"
#include "model/Grouping.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "render3d/RendererUpkeep.h"
#include "render3d/SceneFrame.h"

namespace {

using namespace red_walls;

// Whether the pixel shows the material colour, shaded (a darker copy of it).
bool ShowsColour(QRgb pixel, RGBColor material) {
  const double m[3] = {material.red / 257.0, material.green / 257.0, material.blue / 257.0};
  const double p[3] = {double(qRed(pixel)), double(qGreen(pixel)), double(qBlue(pixel))};
  const double top = std::max({m[0], m[1], m[2]}), seen = std::max({p[0], p[1], p[2]});
  if (top <= 0 || seen < 40) return false;
  const double k = seen / top;
  for (int i = 0; i < 3; ++i)
    if (std::abs(p[i] - k * m[i]) > 14) return false;
  return true;
}

// The columns of a row that show the colour: first and last, -1 when none.
std::pair<int, int> ColumnsShowing(const QImage& image, int row, RGBColor material) {
  int first = -1, last = -1;
  for (int x = 0; x < image.width(); ++x)
    if (ShowsColour(image.pixel(x, row), material)) {
      if (first < 0) first = x;
      last = x;
    }
  return {first, last};
}

class LiveViewDesignTest : public LiveViewTest {};

TEST_F(LiveViewDesignTest, SavedWallsShowInTheirColourAndFollowThePlan) {
  // A wall across the view, 500 inches in front of the walk camera's default place.
  ds->planBounds = FloatRect{-2400, -2400, 2400, 2400};
  AddRedWall(model, {{-150, 1700}, {150, 1700}});
  const std::string path = file("walls.pro");
  ASSERT_TRUE(doc->writeToFile(path, "pro"));

  // The saved design opened in the program; its 3D window shown.
  bool opened = false;
  ZLKDocumentController::sharedDocumentController().openDocumentWithContentsOfFile(path,
                                                                                   [&](bool ok) { opened = ok; });
  ASSERT_TRUE(opened);
  model = doc->documentModel();
  gCurDocument = model;
  ds = model->itsDocState;
  walkCamera(48);

  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  ASSERT_TRUE(showLiveViewAt(400, 360));
  LiveViewOGLView* view = controller->liveViewOGLView();
  gRefreshRender = 1;
  view->display();
  QImage before = view->grabFramebuffer();
  ASSERT_FALSE(before.isNull());
  const int row = before.height() / 2;
  // The wall's faces carry the material colour of its sides.
  ASSERT_NE(gGLPlaneObjects, nullptr);
  const RGBColor material = gGLPlaneObjects->colorA;
  const auto [left, right] = ColumnsShowing(before, row, material);
  ASSERT_GE(left, 0) << "no wall-coloured pixels in the 3D view";
  EXPECT_LT(right, before.width() - 1);
  EXPECT_GT(left, 0);
  // Centred on the view: the wall runs from -150 to 150 straight ahead.
  EXPECT_NEAR((left + right) / 2.0, before.width() / 2.0, before.width() * 0.05);

  // A repaint without a stale scene shows the kept frame again.
  const int renders = view->renderCount();
  view->update();
  QApplication::processEvents();
  EXPECT_EQ(view->renderCount(), renders);
  EXPECT_EQ(view->grabFramebuffer(), before);

  // Drawing the plan redraws the 3D view, except while a tool tracks the mouse.
  ZLKDocumentView* plan = showPlanView(ds->currentPlanMask);
  ASSERT_TRUE(SettleWindows());
  const int settled = view->renderCount();
  gTrackingMouse = 1;
  gRefreshRender = 1;
  plan->repaint();
  QApplication::processEvents();
  EXPECT_EQ(view->renderCount(), settled);
  gTrackingMouse = 0;
  plan->repaint();
  QTRY_COMPARE(view->renderCount(), settled + 1);

  // The wall moved 100 inches to the right in the plan: the next frame shows it moved.
  Objex* wall = model->itsCurLayer->firstObject;
  ASSERT_NE(wall, nullptr);
  for (Poinz* p = wall->firstPoint; p; p = p->next) p->position[0] += 100;
  UpdateObjectBounds(wall);
  Update3DWall(wall);
  ReRenderObject(wall);
  gRefreshRender = 1;  // as the editing tools ask after an edit
  view->display();
  QImage after = view->grabFramebuffer();
  const auto [left2, right2] = ColumnsShowing(after, row, material);
  ASSERT_GE(left2, 0);
  EXPECT_GT(left2, left + 5);
  EXPECT_GT(right2, right + 5);
}

}  // namespace

namespace {

TEST_F(LiveViewDesignTest, EscapeDuringTheFinalRenderInterruptsIt) {
  ds->planBounds = FloatRect{-2400, -2400, 2400, 2400};
  // Enough walls that the anti-aliased render polls the keyboard (every 300th plane object).
  for (int i = 0; i < 100; ++i) {
    const float z = 1000.0f + 5.0f * i;
    AddRedWall(model, {{-150, z}, {150, z}});
  }
  ds->renderMode() = 5;
  ds->antiAliasPasses() = 8;
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  AppController::showLiveViewPanel();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(controller->window()));
  LiveViewOGLView* view = controller->liveViewOGLView();
  gRefreshRender = 1;
  view->display();
  int count = 0;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) ++count;
  ASSERT_GE(count, 300);

  // Escape typed in the 3D window once the render has begun (keys typed before it are
  // dropped): with the first status line the render shows.
  static LiveViewOGLView* sView;
  static void (*sShowStatus)(const char*);
  static bool sTyped;
  sView = view, sShowStatus = gFrontEnd.setLVStatusString, sTyped = false;
  gFrontEnd.setLVStatusString = [](const char* text) {
    if (!sTyped) {
      sTyped = true;
      QCoreApplication::postEvent(sView, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    }
    sShowStatus(text);
  };
  const int renders = view->renderCount();
  controller->renderFinal();
  gFrontEnd.setLVStatusString = sShowStatus;
  EXPECT_TRUE(sTyped);
  EXPECT_EQ(controller->statusString(), "Rendering interrupted");
  // The interrupted frame is replaced by a plain render; the switches are back.
  EXPECT_EQ(view->renderCount(), renders + 1);
  EXPECT_EQ(gBreakOpenGLRender, 0);
  EXPECT_EQ(gRefreshRender, 0);
  EXPECT_EQ(gRenderOpenGLAntiAlias, 0);
  EXPECT_EQ(ds->renderMode(), 5);
  EXPECT_FALSE(RenderKeyWatch::shared().watching());
}

}  // namespace

namespace {

// Whether the scene list holds a plane object built for a wall of the design.
bool SceneShowsAWallOf(const ZLKDocumentModel* design) {
  for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next)
    for (const Layer* layer = design->itsLayers; layer; layer = layer->next)
      for (const Objex* o = layer->firstObject; o; o = o->next)
        if (o->type == kObjWall && (po->sourceObject == o || po->base2DObject == o)) return true;
  return false;
}

// The 3D window shown first on an empty design: a design opened afterwards, or made new, is
// what the 3D view shows.
TEST_F(LiveViewDesignTest, TheShownWindowFollowsOpenAndNew) {
  ds->planBounds = FloatRect{-2400, -2400, 2400, 2400};
  ASSERT_TRUE(showLiveViewAt(400, 360));
  ASSERT_EQ(gGLPlaneObjects, nullptr);

  // A design of one wall, saved from another document.
  ZLKDocument* other = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
  ASSERT_NE(other, nullptr);
  {
    CurrentDocumentScope scope(other->documentModel());
    other->documentModel()->itsDocState->planBounds = FloatRect{-2400, -2400, 2400, 2400};
    AddRedWall(other->documentModel(), {{-150, 1700}, {150, 1700}});
    ASSERT_TRUE(other->writeToFile(file("one-wall.pro"), "pro"));
  }
  ZLKDocumentController::sharedDocumentController().removeDocument(other);
  gCurDocument = model;
  QApplication::setActiveWindow(window);

  bool opened = false;
  ZLKDocumentController::sharedDocumentController().openDocumentWithContentsOfFile(file("one-wall.pro"),
                                                                                   [&](bool ok) { opened = ok; });
  ASSERT_TRUE(opened);
  model = doc->documentModel();
  EXPECT_TRUE(SceneShowsAWallOf(model));
  EXPECT_EQ(gRefreshRender, 1);

  // A new design: no wall of the old one is left in the scene.
  doc->setDocumentEdited(false);
  ZLKDocumentController::sharedDocumentController().newDocument();
  model = doc->documentModel();
  EXPECT_EQ(gGLPlaneObjects, nullptr);
}

}  // namespace
