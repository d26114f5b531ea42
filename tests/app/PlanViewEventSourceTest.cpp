// The plan view's queue for the tools' nested loops: the view's events of the asked kinds
// while a loop waits, mouse-moved events through the view's mouse tracking, and the closing
// of the design window, which ends the loop and leaves the design alone.
#include <gtest/gtest.h>

#include <QApplication>
#include <cmath>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include "AppTestSupport.h"
#include "app/PlanViewEventSource.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "model/CommandCodes.h"
#include "model/ConvertObject.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ViewProjection.h"
#include "tools/ModalEvents.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

class PlanViewEventSourceTest : public DesignWindowTest {
 protected:
  void beforeDocument() override { ResetTrackingState(); }
  void afterDocument() override { view = showPlanView(2); }
  void beforeClosing() override { ResetTrackingState(); }
  ZLKDocumentView* view = nullptr;
};

TEST_F(PlanViewEventSourceTest, LoopsReadTheViewsEventsOfTheAskedKinds) {
  PlanViewEventSource& source = view->eventSource();
  QTimer::singleShot(0, view, [this] {
    QTest::keyClick(view, Qt::Key_Tab);
    QTest::mouseMove(view, QPoint(300, 200));  // no button and moves off: not queued
    QTest::mousePress(view, Qt::LeftButton, Qt::ShiftModifier, QPoint(310, 210));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::ShiftModifier, QPoint(320, 220));
  });
  ModalEvent event;
  ASSERT_TRUE(source.nextEvent(kModalMouseDownMask | kModalMouseUpMask, &event));
  EXPECT_EQ(event.type, kModalMouseDown);
  EXPECT_EQ(event.modifierFlags & kModalShiftKey, kModalShiftKey);
  const POINT down = ZLKDocumentView::windowPointFromViewPoint(view->viewPointFromWidget(QPointF(310, 210)));
  EXPECT_EQ(event.where.x, down.x);
  EXPECT_EQ(event.where.y, down.y);
  ASSERT_TRUE(source.nextEvent(kModalMouseDownMask | kModalMouseUpMask, &event));
  EXPECT_EQ(event.type, kModalMouseUp);
  EXPECT_FALSE(source.windowClosed());
}

TEST_F(PlanViewEventSourceTest, ARightClickComesAsAControlClick) {
  PlanViewEventSource& source = view->eventSource();
  QTimer::singleShot(0, view, [this] {
    QTest::mouseClick(view, Qt::RightButton, Qt::NoModifier, QPoint(310, 210));
    QTest::keyClick(view, Qt::Key_Escape);
  });
  ModalEvent event;
  ASSERT_TRUE(source.nextEvent(kModalMouseDownMask | kModalMouseUpMask | kModalKeyDownMask, &event));
  EXPECT_EQ(event.type, kModalMouseDown);
  EXPECT_EQ(event.modifierFlags & kModalControlKey, kModalControlKey);
  const POINT down = ZLKDocumentView::windowPointFromViewPoint(view->viewPointFromWidget(QPointF(310, 210)));
  EXPECT_EQ(event.where.x, down.x);
  EXPECT_EQ(event.where.y, down.y);
  // The release of the right button is not a mouse-up of the loops.
  ASSERT_TRUE(source.nextEvent(kModalMouseDownMask | kModalMouseUpMask | kModalKeyDownMask, &event));
  EXPECT_EQ(event.type, kModalKeyDown);
}

TEST_F(PlanViewEventSourceTest, MouseMovesComeThroughMouseTrackingAndTheSettingIsPutBack) {
  PlanViewEventSource& source = view->eventSource();
  SetModalEventSource(&source);
  EXPECT_FALSE(view->hasMouseTracking());
  {
    ModalMouseMovedScope moves;
    EXPECT_TRUE(view->hasMouseTracking());
    QTimer::singleShot(0, view, [this] {
      QMouseEvent move(QEvent::MouseMove, QPointF(250, 250), view->mapToGlobal(QPointF(250, 250)), Qt::NoButton,
                       Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(view, &move);
      QTest::keyClick(view, Qt::Key_Escape);
    });
    ModalEvent event;
    ASSERT_TRUE(NextModalEvent(kModalMouseMovedMask | kModalKeyDownMask, &event));
    EXPECT_EQ(event.type, kModalMouseMoved);
    ASSERT_TRUE(NextModalEvent(kModalMouseMovedMask | kModalKeyDownMask, &event));
    EXPECT_EQ(event.type, kModalKeyDown);
    EXPECT_EQ(event.keyCode, kModalKeyEscape);
  }
  EXPECT_FALSE(view->hasMouseTracking());
  SetModalEventSource(nullptr);
}

TEST_F(PlanViewEventSourceTest, ClosingTheWindowDuringTheRulerDragEndsItWithoutTouchingTheDesign) {
  model->itsVRVisible = 1;
  const FloatPoint start = model->itsVRStartPt, end = model->itsVREndPt;
  float x1 = end.floatH - 14, y1 = 0, z1 = end.floatV, x2 = x1, y2 = 0, z2 = z1;
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, 0);
  const NSPoint origin = view->boundsOrigin();
  const QPoint from(static_cast<int>(x1 - origin.x), static_cast<int>(y1 - origin.y));
  // The window hides while the drag waits for its next event.
  QTimer::singleShot(0, view, [this] { window->hide(); });
  QTest::mousePress(view, Qt::LeftButton, {}, from);
  EXPECT_TRUE(view->eventSource().windowClosed());
  EXPECT_FLOAT_EQ(model->itsVRStartPt.floatH, start.floatH);
  EXPECT_FLOAT_EQ(model->itsVREndPt.floatH, end.floatH);  // not lengthened or moved
  EXPECT_EQ(gMouseCaptured, 0);
}

// A new user's metric design: a 10 m line turned into an exterior wall, the window tool
// pressed on it 1 m along, the pointer dragged to 2.9 m and released there through the plan
// view: the window's centre is where the pointer was released.
TEST_F(PlanViewEventSourceTest, AWindowSlidAlongAWallLandsWhereThePointerIsReleased) {
  ds->measureSystem = kMeasureMetric;
  SetDocStateMetricDefaults(ds);
  ds->currentPlanMask = 1;
  const float metre = ConvertWorldToScreen(39.370079f, ds, 0);
  RGBColor black{};
  Objex* line = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr);
  for (float x : {0.0f, 10 * metre})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, line), line);
  AppendObjectToLayer(line, model->itsCurLayer);
  ASSERT_TRUE(ConvertObjectType(line, kCmdConvertToExteriorWall));
  Objex* wall = line;
  ASSERT_EQ(wall->type, kObjWall);
  view->refreshVisibleView();
  QApplication::processEvents();
  auto widgetPoint = [&](float x, float z) {
    float x1 = x, y1 = 0, z1 = z, x2 = x, y2 = 0, z2 = z;
    ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, 0);
    const NSPoint origin = view->boundsOrigin();
    return QPoint(static_cast<int>(std::lround(x1 - origin.x)), static_cast<int>(std::lround(y1 - origin.y)));
  };
  const QPoint press = widgetPoint(1.0f * metre, 0), release = widgetPoint(2.9f * metre, 0);
  ASSERT_TRUE(view->rect().contains(press) && view->rect().contains(release)) << press.x() << " " << release.x();
  gCurTool = kToolWindow;
  QTimer::singleShot(0, view, [this, press, release] {
    for (int step = 1; step <= 4; ++step) {
      const QPointF at = press + (release - press) * step / 4.0;
      QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(view, &move);
    }
    QTest::mouseRelease(view, Qt::LeftButton, {}, release);
  });
  QTest::mousePress(view, Qt::LeftButton, {}, press);
  Objex* window = wall->firstChild;
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(window->type, kObjWindow);
  const float centre = (window->firstPoint->position[0] + window->firstPoint->next->position[0]) / 2;
  // Within a view pixel of the release.
  EXPECT_NEAR(centre / metre, 2.9f, 1.5f / (metre * PlanZoom(ds)) + 0.03f);
}

}  // namespace
