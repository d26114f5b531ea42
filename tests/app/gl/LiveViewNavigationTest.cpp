// Moving the camera with the mouse on the X display: a drag in the 3D view walks (the next
// grab shows the turned view), the arrow keys move the orbit centre during a fly drag, and the
// plan's camera marker turns and moves the camera.
#include <gtest/gtest.h>

// The wall records first: their field "slots" is a word Qt's headers take for themselves.
#include "model/Attachments.h"
#include "model/WallFields.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "RedWalls.h"
#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "LiveViewTestSupport.h"
#include "app/LiveViewController.h"
#include "app/LiveViewEventSource.h"
#include "app/LiveViewOGLView.h"
#include "app/ZLKDocumentView.h"
#include "building3d/PlaneObjects.h"
#include "model/Services.h"
#include "render3d/Navigation.h"
#include "render3d/SceneFrame.h"
#include "tools/TrackingState.h"

namespace {

using namespace red_walls;

// The mean column of the row's red pixels, the red wall's (-1 when none). The sky and the lawn
// round it are textured, blue and green: no pixel of theirs is taken for the wall.
double MeanColumnOfRed(const QImage& image, int row) {
  double sum = 0;
  int n = 0;
  for (int x = 0; x < image.width(); ++x) {
    const QRgb c = image.pixel(x, row);
    if (qRed(c) > 2 * qGreen(c) + 20 && qRed(c) > 2 * qBlue(c) + 20) sum += x, ++n;
  }
  return n ? sum / n : -1;
}

class LiveViewNavigationTest : public LiveViewTest {
 protected:
  void afterDocument() override {
    LiveViewTest::afterDocument();
    if (IsSkipped()) return;
    controller = LiveViewController::sharedLiveViewController();
    view = controller->liveViewOGLView();
    gRealTimeElevate = 0;
    gRefreshRender = 0;
    ds->planBounds = FloatRect{-2400, -2400, 2400, 2400};
    walkCamera(48);
    ds->controlledNavigation() = 0;
    ds->navigationStep = 8;
  }
  void showLiveView() {
    ASSERT_TRUE(showLiveViewAt(400, 360));
    gRefreshRender = 1;
    view->display();
    QApplication::processEvents();
  }
  // Presses in the middle of the 3D view with the pointer held at offset from there; `during`
  // runs once the loop waits, and the button goes up after holdMs, once the loop has taken at
  // least `periodic` periodic events (however slowly this machine draws the frames).
  void pressAndHold(QPoint offset, int holdMs, const std::function<void()>& during = {}, int periodic = 0,
                    Qt::MouseButton button = Qt::LeftButton) {
    const int periodicBefore = view->eventSource().periodicEventsTaken();
    const QPoint press(view->width() / 2, view->height() / 2);
    QCursor::setPos(view->mapToGlobal(press + offset));
    QApplication::processEvents();
    QTimer::singleShot(0, view, [this, during] {
      EXPECT_EQ(gRealTimeDraw, 1);
      EXPECT_EQ(gRenderingOpenGL, 1);
      if (during) during();
    });
    // A release still pending when the loop ended otherwise goes with the timer.
    QTimer release;
    release.setSingleShot(true);
    QObject::connect(&release, &QTimer::timeout, view,
                     [this, press, offset, periodic, periodicBefore, button, &release] {
                       if (view->eventSource().periodicEventsTaken() - periodicBefore < periodic) {
                         release.start(10);
                         return;
                       }
                       QTest::mouseRelease(view, button, {}, press + offset);
                     });
    release.start(holdMs);
    QTest::mousePress(view, button, {}, press);
    if (release.isActive()) QTest::mouseRelease(view, button, {}, press + offset);
  }

  LiveViewController* controller = nullptr;
  LiveViewOGLView* view = nullptr;
};

TEST_F(LiveViewNavigationTest, ADragInTheViewTurnsTheWalkAndTheNextGrabShowsIt) {
  AddRedWall(model, {{-150, 1700}, {150, 1700}});
  showLiveView();
  const QImage before = view->grabFramebuffer();
  const int row = before.height() / 2;
  const double wallBefore = MeanColumnOfRed(before, row);
  ASSERT_GT(wallBefore, 0) << "the wall is not in view";

  const int renders = view->renderCount();
  const int periodic = view->eventSource().periodicEventsTaken();
  // 30 px right of the press: the walk turns by a degree at each periodic event, and the loop
  // goes on until ten degrees have turned the wall well to the left (a short hold measured in
  // time turned it by too little to see when the frames came slowly).
  pressAndHold(QPoint(30, 0), 150, {}, 10);
  const int taken = view->eventSource().periodicEventsTaken() - periodic;
  EXPECT_GE(taken, 10);
  EXPECT_NEAR(ds->walkViewAngle(), 360 - taken, 1.01);
  // The end: real-time drawing off and one full render of the new camera.
  EXPECT_EQ(gRealTimeDraw, 0);
  EXPECT_EQ(gRenderingOpenGL, 0);
  EXPECT_EQ(view->renderCount(), renders + 1);
  EXPECT_EQ(view->mouseEvent(), nullptr);
  QApplication::processEvents();
  EXPECT_EQ(view->renderCount(), renders + 1);

  const QImage after = view->grabFramebuffer();
  const double wallAfter = MeanColumnOfRed(after, row);
  EXPECT_NE(after, before);
  // Turned right: the wall ahead moved to the left of the picture.
  EXPECT_LT(wallAfter, wallBefore - 5);
}

// Red pixels in the row and their mean column.
std::pair<int, double> RedInRow(const QImage& image, int row) {
  int n = 0;
  for (int x = 0; x < image.width(); ++x) {
    const QRgb c = image.pixel(x, row);
    if (qRed(c) > 2 * qGreen(c) + 20 && qRed(c) > 2 * qBlue(c) + 20) ++n;
  }
  return {n, MeanColumnOfRed(image, row)};
}

// Each way of the pointer from the press: left and right turn the walk that way, up walks
// toward what is ahead and down away from it; the eye moves only along the view.
TEST_F(LiveViewNavigationTest, ADragEachWayTurnsOrWalksThatWay) {
  AddRedWall(model, {{-150, 1700}, {150, 1700}});
  const struct {
    const char* name;
    QPoint offset;
    int turn;  // +1 to the left (the angle grows), -1 to the right, 0 none
    int walk;  // +1 toward the wall, -1 away, 0 none
  } drags[] = {{"right", {30, 0}, -1, 0}, {"left", {-30, 0}, 1, 0}, {"up", {0, -30}, 0, 1}, {"down", {0, 30}, 0, -1}};
  for (const auto& d : drags) {
    SCOPED_TRACE(d.name);
    walkCamera(48);
    showLiveView();
    const QImage before = view->grabFramebuffer();
    const int row = before.height() / 2 + 4;
    const auto [widthBefore, wallBefore] = RedInRow(before, row);
    ASSERT_GT(widthBefore, 0) << "the wall is not in view";
    const int periodic = view->eventSource().periodicEventsTaken();
    pressAndHold(d.offset, 150, {}, 10);
    const int taken = view->eventSource().periodicEventsTaken() - periodic;
    ASSERT_GE(taken, 10);
    const float angle = ds->walkViewAngle() > 180 ? ds->walkViewAngle() - 360 : ds->walkViewAngle();
    const FloatPoint eye = ds->walkEyePoint();
    const auto [widthAfter, wallAfter] = RedInRow(view->grabFramebuffer(), row);
    if (d.turn) {
      EXPECT_NEAR(angle, d.turn * taken, 1.01);
      EXPECT_FLOAT_EQ(eye.floatH, 0);
      EXPECT_FLOAT_EQ(eye.floatV, 2275);
      // Turned left, what was ahead moves right in the picture, and the other way round.
      if (widthAfter > 0) EXPECT_GT(d.turn * (wallAfter - wallBefore), 5);
    } else {
      EXPECT_FLOAT_EQ(angle, 0);
      EXPECT_NEAR(eye.floatH, 0, 1e-3);
      EXPECT_GT(d.walk * (2275 - eye.floatV), 5) << eye.floatV;
      EXPECT_GT(d.walk * (widthAfter - widthBefore), 0) << widthBefore << " " << widthAfter;
    }
  }
}

// Escape typed in the middle of a drag belongs to the drag: the walk goes on turning until the
// button goes up, and the full render that follows is not taken for an interrupted one.
TEST_F(LiveViewNavigationTest, EscapeDuringADragLeavesTheWalkAndTheRenderAfterItWhole) {
  AddRedWall(model, {{-150, 1700}, {150, 1700}});
  showLiveView();
  controller->setLVStatusString("");
  // The flag an interrupted final render leaves (an earlier test's) is the export's to clear.
  g3DViewPrintInterrupted = 0;
  const int renders = view->renderCount();
  const int periodic = view->eventSource().periodicEventsTaken();
  pressAndHold(QPoint(30, 0), 150, [this] {
    QTest::keyPress(view, Qt::Key_Escape);
    QTest::keyRelease(view, Qt::Key_Escape);
  }, 10);
  const int taken = view->eventSource().periodicEventsTaken() - periodic;
  EXPECT_GE(taken, 10);
  // A degree at each periodic event, and at each of the key's two events at most.
  EXPECT_LE(ds->walkViewAngle(), 360 - taken + 1.01);
  EXPECT_GE(ds->walkViewAngle(), 360 - taken - 3.01);
  EXPECT_EQ(view->renderCount(), renders + 1);
  EXPECT_EQ(gBreakOpenGLRender, 0);
  EXPECT_EQ(g3DViewPrintInterrupted, 0);
  EXPECT_NE(controller->statusString(), "Rendering interrupted");
  EXPECT_EQ(gRealTimeDraw, 0);
  // Nothing of the Escape is left for the next render either.
  gRefreshRender = 1;
  view->display();
  EXPECT_EQ(view->renderCount(), renders + 2);
  EXPECT_EQ(gBreakOpenGLRender, 0);
  EXPECT_NE(controller->statusString(), "Rendering interrupted");
}

TEST_F(LiveViewNavigationTest, ThePlanShowsItsSnapshotDuringTheLoopAndLosingTheWindowEndsIt) {
  ZLKDocumentView* plan = showPlanView(ds->currentPlanMask);
  showLiveView();
  const bool mainPlan = AppController::mainWindowDocumentView() == plan;
  bool snapshot = false;
  // The 3D window goes away while the button is down: the loop ends as at a mouse-up.
  pressAndHold(QPoint(30, 0), 5000, [&] {
    snapshot = plan->drawsViewPointDynamically();
    QTimer::singleShot(40, view, [this] { controller->orderOut(); });
  });
  ASSERT_TRUE(mainPlan);
  EXPECT_TRUE(snapshot);
  EXPECT_FALSE(plan->drawsViewPointDynamically());
  EXPECT_EQ(gRealTimeDraw, 0);
  EXPECT_EQ(gRenderingOpenGL, 0);
  EXPECT_EQ(view->mouseEvent(), nullptr);
  EXPECT_LT(ds->walkViewAngle(), 360);
  EXPECT_GT(ds->walkViewAngle(), 300);
}

TEST_F(LiveViewNavigationTest, TheUpArrowMovesTheOrbitCentreWhileFlying) {
  ds->navigationMode = kNavFlyAround;
  ds->flyAngleY() = 0;
  ds->flyCenter() = FloatPoint{0, 0};
  showLiveView();
  pressAndHold(QPoint(0, 0), 200, [this] {
    QTest::keyPress(view, Qt::Key_Up);
    QTimer::singleShot(60, view, [this] { QTest::keyRelease(view, Qt::Key_Up); });
  });
  // Two per event while the key was down, along x at heading 0.
  EXPECT_GE(ds->flyCenter().floatH, 4);
  EXPECT_FLOAT_EQ(std::fmod(ds->flyCenter().floatH, 2.0f), 0);
  EXPECT_NEAR(ds->flyCenter().floatV, 0, 1e-3);
  const float stopped = ds->flyCenter().floatH;
  // The key went up: the next drag leaves the centre alone.
  pressAndHold(QPoint(0, 0), 60);
  EXPECT_FLOAT_EQ(ds->flyCenter().floatH, stopped);
}

TEST_F(LiveViewNavigationTest, ThePlansCameraMarkerTurnsAndMovesTheCamera) {
  ds->walkEyePoint() = FloatPoint{0, 0};
  ds->walkViewAngle() = 0;
  ZLKDocumentView* plan = showPlanView(ds->currentPlanMask);
  ASSERT_FALSE(controller->isVisible());
  const QPoint marker = WidgetPointOf(plan, 0, 0);
  const NSPoint origin = plan->boundsOrigin();
  auto viewPoint = [&](QPoint p) { return NSPoint{p.x() + origin.x, p.y() + origin.y}; };
  // The square, the arrow ahead of it (up the screen at angle 0) and a miss; fly has no arrow.
  EXPECT_EQ(plan->ptInViewPoint(viewPoint(marker)), 2);
  EXPECT_EQ(plan->ptInViewPoint(viewPoint(marker + QPoint(0, -14))), 1);
  EXPECT_EQ(plan->ptInViewPoint(viewPoint(marker + QPoint(0, 14))), 0);
  EXPECT_EQ(plan->ptInViewPoint(viewPoint(marker + QPoint(30, 30))), 0);
  ds->navigationMode = kNavFlyAround;
  EXPECT_EQ(plan->ptInViewPoint(viewPoint(marker + QPoint(0, -14))), 0);
  ds->navigationMode = kNavWalkThrough;

  // Dragging the square moves the eye; the 3D window opened for it.
  QTimer::singleShot(0, plan, [&] {
    QTest::mouseMove(plan, marker + QPoint(40, 0));
    QTimer::singleShot(0, plan, [&] { QTest::mouseRelease(plan, Qt::LeftButton, {}, marker + QPoint(40, 0)); });
  });
  QTest::mousePress(plan, Qt::LeftButton, {}, marker);
  EXPECT_TRUE(controller->isVisible());
  EXPECT_NEAR(ds->walkEyePoint().floatH, 40, 1.5);
  EXPECT_NEAR(ds->walkEyePoint().floatV, 0, 1.5);
  EXPECT_EQ(gRealTimeDraw, 0);
  EXPECT_EQ(gMouseCaptured, 0);

  // Dragging the arrow turns the camera toward the pointer: to the right of the marker is
  // 270 degrees.
  const QPoint moved = WidgetPointOf(plan, ds->walkEyePoint().floatH, ds->walkEyePoint().floatV);
  QTimer::singleShot(0, plan, [&] {
    QTest::mouseMove(plan, moved + QPoint(60, 0));
    QTimer::singleShot(0, plan, [&] { QTest::mouseRelease(plan, Qt::LeftButton, {}, moved + QPoint(60, 0)); });
  });
  QTest::mousePress(plan, Qt::LeftButton, {}, moved + QPoint(0, -14));
  EXPECT_NEAR(ds->walkViewAngle(), 270, 1.5);
  EXPECT_EQ(gRealTimeDraw, 0);
}

// The plan's camera marker at two zooms: the square dragged either way along each axis puts
// the eye at the plan point under the pointer, and the arrow turns the camera toward the
// pointer on each of its four sides.
TEST_F(LiveViewNavigationTest, TheMarkerMovesAndTurnsTheCameraEachWayAtEachZoom) {
  ZLKDocumentView* plan = showPlanView(ds->currentPlanMask);
  for (const float zoom : {1.0f, 2.0f}) {
    PlanZoom(ds) = TopViewZoom(ds) = zoom;
    plan->refreshVisibleView();
    QApplication::processEvents();
    const struct {
      float h, v;
    } moves[] = {{-40, 30}, {50, -20}};
    for (const auto& m : moves) {
      SCOPED_TRACE("zoom " + std::to_string(zoom) + " to " + std::to_string(m.h) + ", " + std::to_string(m.v));
      ds->walkEyePoint() = FloatPoint{0, 0};
      ds->walkViewAngle() = 0;
      ds->navigationMode = kNavWalkThrough;
      const QPoint from = WidgetPointOf(plan, 0, 0), to = WidgetPointOf(plan, m.h, m.v);
      QTimer::singleShot(0, plan, [&] {
        QTest::mouseMove(plan, to);
        QTimer::singleShot(0, plan, [&] { QTest::mouseRelease(plan, Qt::LeftButton, {}, to); });
      });
      QTest::mousePress(plan, Qt::LeftButton, {}, from);
      EXPECT_NEAR(ds->walkEyePoint().floatH, m.h, 1.5 / zoom);
      EXPECT_NEAR(ds->walkEyePoint().floatV, m.v, 1.5 / zoom);
    }
    const struct {
      QPoint toward;
      float angle;
    } turns[] = {{{60, 0}, 270}, {{-60, 0}, 90}, {{0, 60}, 180}, {{0, -60}, 0}};
    for (const auto& t : turns) {
      SCOPED_TRACE("zoom " + std::to_string(zoom) + " toward " + std::to_string(t.toward.x()) + ", " +
                   std::to_string(t.toward.y()));
      ds->walkEyePoint() = FloatPoint{0, 0};
      ds->walkViewAngle() = 0;
      const QPoint marker = WidgetPointOf(plan, 0, 0);
      QTimer::singleShot(0, plan, [&] {
        QTest::mouseMove(plan, marker + t.toward);
        QTimer::singleShot(0, plan, [&] { QTest::mouseRelease(plan, Qt::LeftButton, {}, marker + t.toward); });
      });
      QTest::mousePress(plan, Qt::LeftButton, {}, marker + QPoint(0, -14));
      const float angle = std::fmod(ds->walkViewAngle() + 360.0f, 360.0f);
      EXPECT_NEAR(std::min(std::fabs(angle - t.angle), 360 - std::fabs(angle - t.angle)), 0, 1.5);
      EXPECT_FLOAT_EQ(ds->walkEyePoint().floatH, 0);
    }
  }
  PlanZoom(ds) = TopViewZoom(ds) = 1.0f;
}

// A held right button raises the walking eye and the next one lowers it; flying, it moves the
// camera out and then back in. The view's turn and the eye's place stay.
TEST_F(LiveViewNavigationTest, TheRightButtonRaisesThenLowersTheWalkAndMovesTheFlyOutThenIn) {
  showLiveView();
  for (const bool fly : {false, true}) {
    SCOPED_TRACE(fly ? "fly" : "walk");
    walkCamera(48);
    ds->navigationMode = fly ? kNavFlyAround : kNavWalkThrough;
    ds->flyDistance() = 1500;
    ds->flyAngleX() = 20;
    ds->flyAngleY() = 0;
    gRealTimeElevate = 0;
    auto height = [this, fly] { return fly ? ds->flyDistance() : ds->walkEyeHeight(); };
    const float start = height();
    pressAndHold(QPoint(0, 0), 100, {}, 5, Qt::RightButton);
    EXPECT_EQ(gRealTimeElevate, 1);
    const float raised = height();
    EXPECT_GT(raised, start + 4);
    pressAndHold(QPoint(0, 0), 100, {}, 5, Qt::RightButton);
    EXPECT_EQ(gRealTimeElevate, 0);
    EXPECT_LT(height(), raised - 4);
    if (!fly) {
      EXPECT_FLOAT_EQ(ds->walkViewAngle(), 0);
      EXPECT_FLOAT_EQ(ds->walkEyePoint().floatH, 0);
      EXPECT_FLOAT_EQ(ds->walkEyePoint().floatV, 2275);
    } else {
      EXPECT_FLOAT_EQ(ds->flyAngleY(), 0);
    }
  }
  gRealTimeElevate = 0;
}

}  // namespace
