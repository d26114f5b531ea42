// The plan view's input: clicks select and deselect, drags move the selection, draw a marquee
// or a rectangle, the arrow keys nudge, and the scroll view follows the zoom, the pan tool,
// the zoom drag, the Command-wheel and auto-scroll.
#include <gtest/gtest.h>

#include <limits>

#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "AppTestSupport.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKDocumentScrollView.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/ViewCommands.h"
#include "model/ViewProjection.h"
#include "plandraw/PlatformAdapters.h"
#include "platform/Alerts.h"
#include "platform/UserDefaults.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace fs = std::filesystem;

namespace {

class PlanViewInput : public DesignWindowTest {
 protected:
  void beforeDocument() override {
    ResetTrackingState();
    // Context menus are dismissed at once rather than waiting for a choice.
    ZLKDocumentView::contextMenuPresenter = [](QMenu*, const QPoint&) -> QAction* { return nullptr; };
  }
  void afterDocument() override { view = showPlanView(2); }
  void beforeClosing() override {
    ZLKDocumentView::contextMenuPresenter = nullptr;
    gCurTool = kToolSelection;
    ResetTrackingState();
  }

  // A line on the current floor through plan points (x, z).
  Objex* addLine(float x1, float z1, float x2, float z2) { return AddPlanLine(model->itsCurLayer, x1, z1, x2, z2); }
  // The widget position of a plan point.
  QPoint at(float x, float z) const {
    return WidgetPointOf(view, x, z);
  }
  // A press, moves in steps and a release.
  void drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mousePress(view, Qt::LeftButton, modifiers, from);
    for (int i = 1; i <= 4; ++i) QTest::mouseMove(view, from + (to - from) * i / 4);
    QTest::mouseRelease(view, Qt::LeftButton, modifiers, to);
  }
  void click(QPoint where, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mousePress(view, Qt::LeftButton, modifiers, where);
    QTest::mouseRelease(view, Qt::LeftButton, modifiers, where);
  }
  std::string undoName() { return doc->undoManager().undoActionName(); }

  ZLKDocumentView* view = nullptr;
};

}  // namespace

TEST_F(PlanViewInput, ClickSelectsALineAndAClickOnNothingDeselects) {
  Objex* line = addLine(-100, 0, 100, 0);
  click(at(30, 0));
  EXPECT_TRUE(IsObjectSelected(line));
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_EQ(view->mouseEvent(), nullptr);  // only during a mouse-down
  EXPECT_FALSE(view->isTracking());
  EXPECT_EQ(undoName(), "");  // selecting stores nothing

  // A click on nothing deselects and runs an empty marquee; no snapshot without a hit.
  click(at(0, 150));
  EXPECT_FALSE(IsObjectSelected(line));
  EXPECT_EQ(undoName(), "");
}

TEST_F(PlanViewInput, ShiftClickTogglesWithoutDeselectingTheRest) {
  Objex* a = addLine(-100, 0, 100, 0);
  Objex* b = addLine(-100, 80, 100, 80);
  click(at(30, 0));
  click(at(30, 80), Qt::ShiftModifier);
  EXPECT_TRUE(IsObjectSelected(a));
  EXPECT_TRUE(IsObjectSelected(b));
  click(at(30, 0), Qt::ShiftModifier);
  EXPECT_FALSE(IsObjectSelected(a));
  EXPECT_TRUE(IsObjectSelected(b));
}

TEST_F(PlanViewInput, DraggingASelectedLineMovesItAndStoresMoveResize) {
  Objex* line = addLine(-100, 0, 100, 0);
  click(at(30, 0));
  ASSERT_TRUE(IsObjectSelected(line));
  // The first drag on an unselected object only selects; this one moves.
  drag(at(30, 0), at(30, 0) + QPoint(60, 40));
  EXPECT_FALSE(view->isTracking());
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_EQ(gTrackingMouse, 0);
  EXPECT_NEAR(line->firstPoint->position[0], -40, 1.5);
  EXPECT_NEAR(line->firstPoint->position[2], 40, 1.5);
  EXPECT_EQ(undoName(), "Move/Resize");
}

TEST_F(PlanViewInput, MarqueeSelectsWhatItEncloses) {
  Objex* inside = addLine(-40, -20, 40, -20);
  Objex* outside = addLine(200, 100, 300, 100);
  drag(at(-80, -60), at(80, 40));
  EXPECT_TRUE(IsObjectSelected(inside));
  EXPECT_FALSE(IsObjectSelected(outside));
  EXPECT_EQ(undoName(), "");  // the click hit nothing: no Move/Resize
  EXPECT_FALSE(view->isTracking());
}

TEST_F(PlanViewInput, RectangleToolDrawsOnTheCurrentFloorAndNamesTheSnapshot) {
  gCurTool = kToolRectangle;
  const int before = objectCount();
  drag(at(-50, -50), at(60, 40));
  ASSERT_EQ(objectCount(), before + 1);
  Objex* made = model->itsCurLayer->firstObject;
  while (made->next) made = made->next;
  FloatRect box{32000, 32000, -32000, -32000};
  for (Poinz* p = made->firstPoint; p; p = p->next) {
    box.floatLeft = std::fmin(box.floatLeft, p->position[0]);
    box.floatRight = std::fmax(box.floatRight, p->position[0]);
    box.floatTop = std::fmin(box.floatTop, p->position[2]);
    box.floatBottom = std::fmax(box.floatBottom, p->position[2]);
  }
  EXPECT_NEAR(box.floatLeft, -50, 1.5);
  EXPECT_NEAR(box.floatRight, 60, 1.5);
  EXPECT_NEAR(box.floatTop, -50, 1.5);
  EXPECT_NEAR(box.floatBottom, 40, 1.5);
  EXPECT_EQ(undoName(), "Rectangle Tool");
}

TEST_F(PlanViewInput, TrackingFeedsBeginKeepAndEndOnce) {
  // A key press during the drag redraws the tool at the unchanged mouse position; the drag
  // still ends at the release and stores one snapshot.
  gCurTool = kToolRectangle;
  const QPoint from = at(-50, -50), to = at(70, 30);
  QTest::mousePress(view, Qt::LeftButton, {}, from);
  EXPECT_TRUE(view->isTracking());
  EXPECT_EQ(gMouseCaptured, 1);
  ASSERT_NE(view->mouseEvent(), nullptr);
  EXPECT_EQ(view->mouseEvent()->clickCount, 1);
  QTest::mouseMove(view, to);
  EXPECT_EQ(gTrackingMouse, 1);
  QTest::keyPress(view, Qt::Key_Shift);
  QTest::keyRelease(view, Qt::Key_Shift);
  EXPECT_TRUE(view->isTracking());
  QTest::mouseRelease(view, Qt::LeftButton, {}, to);
  EXPECT_FALSE(view->isTracking());
  EXPECT_EQ(gTrackingMouse, 0);
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_EQ(view->mouseEvent(), nullptr);
  EXPECT_EQ(undoName(), "Rectangle Tool");
}

// A drag that comes back to where it was pressed ends on the window point it began with, in
// each quarter of the view (left of and above its middle too) and on whole and part pixels:
// the press reads its point as the moves and the release do.
TEST_F(PlanViewInput, APressAndAReleaseAtOnePlaceReadOneWindowPoint) {
  const NSPoint origin = view->boundsOrigin();
  for (const QPoint corner : {at(-60, -60), at(60, -60), at(-60, 60), at(60, 60)})
    for (const double part : {0.0, 0.25, 0.5, 0.75}) {
      const QPointF p = QPointF(corner) + QPointF(part, part);
      SCOPED_TRACE(std::to_string(p.x()) + ", " + std::to_string(p.y()));
      gCurTool = kToolRectangle;
      auto send = [&](QEvent::Type type, QPointF where) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, where, view->mapToGlobal(where), button, held, Qt::NoModifier);
        QApplication::sendEvent(view, &event);
      };
      send(QEvent::MouseButtonPress, p);
      send(QEvent::MouseMove, p + QPointF(40, 30));
      send(QEvent::MouseMove, p);
      send(QEvent::MouseButtonRelease, p);
      EXPECT_FALSE(view->isTracking());
      EXPECT_EQ(gStartMouse.x, gEndMouse.x);
      EXPECT_EQ(gStartMouse.y, gEndMouse.y);
      EXPECT_EQ(gStartMouse.x, static_cast<int32_t>(std::trunc(p.x() + origin.x)));
      EXPECT_EQ(gStartMouse.y, static_cast<int32_t>(std::trunc(p.y() + origin.y)));
    }
}

TEST_F(PlanViewInput, ALostReleaseEndsTheDragAtTheNextPress) {
  gCurTool = kToolRectangle;
  const int before = objectCount();
  QTest::mousePress(view, Qt::LeftButton, {}, at(-50, -50));
  QTest::mouseMove(view, at(60, 40));
  // The release never arrives: the next press ends the old drag first.
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at(200, 200)), view->mapToGlobal(QPointF(at(200, 200))),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  gCurTool = kToolRectangle;
  QApplication::sendEvent(view, &press);
  EXPECT_EQ(objectCount(), before + 1);
  QTest::mouseRelease(view, Qt::LeftButton, {}, at(200, 200));
  EXPECT_FALSE(view->isTracking());
}

TEST_F(PlanViewInput, ArrowKeysNudgeTheSelection) {
  Objex* line = addLine(-100, 0, 100, 0);
  click(at(30, 0));
  ASSERT_TRUE(IsObjectSelected(line));
  const float x = line->firstPoint->position[0], z = line->firstPoint->position[2];
  QTest::keyClick(view, Qt::Key_Right);
  EXPECT_GT(line->firstPoint->position[0], x);
  EXPECT_EQ(undoName(), "Nudge Right");
  QTest::keyClick(view, Qt::Key_Down);
  EXPECT_GT(line->firstPoint->position[2], z);
  EXPECT_EQ(undoName(), "Nudge Down");

  // With nothing selected a nudge still stores its snapshot.
  click(at(0, 150));
  ASSERT_FALSE(IsObjectSelected(line));
  const float after = line->firstPoint->position[2];
  QTest::keyClick(view, Qt::Key_Up);
  EXPECT_EQ(line->firstPoint->position[2], after);
  EXPECT_EQ(undoName(), "Nudge Up");

  // A nudge that would move by a distance that is not a number is refused: nothing moves,
  // no undo step is stored, the design is not marked edited.
  click(at(30, 0));
  ASSERT_TRUE(IsObjectSelected(line));
  ds->snapToGrid = 1;
  ds->gridSnap.floatH = std::numeric_limits<float>::quiet_NaN();
  doc->setDocumentEdited(false);
  const float x2 = line->firstPoint->position[0];
  QTest::keyClick(view, Qt::Key_Left);
  EXPECT_EQ(line->firstPoint->position[0], x2);
  EXPECT_EQ(undoName(), "Nudge Up");
  EXPECT_FALSE(doc->isDocumentEdited());
  ds->snapToGrid = 0;
}

TEST_F(PlanViewInput, BackspaceDeletesTheSelectionAndTabCyclesTheSnapTool) {
  addLine(-100, 0, 100, 0);
  QTest::keyClick(view, Qt::Key_Backspace);  // nothing selected: nothing happens
  EXPECT_EQ(objectCount(), 1);
  EXPECT_EQ(undoName(), "");
  click(at(30, 0));
  QTest::keyClick(view, Qt::Key_Backspace);
  EXPECT_EQ(objectCount(), 0);
  EXPECT_EQ(undoName(), "Delete");

  ServiceCallRecorder recorder;
  QTest::keyClick(view, Qt::Key_Tab);
  QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(recorder.count("SnapToolChange"), 2u);
  EXPECT_TRUE(view->hasFocus() || !view->isActiveWindow());  // Tab does not move the focus
}

TEST_F(PlanViewInput, TheViewIsSizedFromThePlanAtTheZoom) {
  float w = 0, h = 0;
  GetAdjustedPaperWidthAndHeight(&w, &h);
  EXPECT_EQ(view->width(), static_cast<int>(w));
  EXPECT_EQ(view->height(), static_cast<int>(h));
  EXPECT_EQ(view->width(), 4900);  // lot of 4800 plan units plus a margin of 100

  PlanZoom(ds) = 0.5f;
  Refresh();  // the design window refits its view
  EXPECT_EQ(view->width(), 2450);
  EXPECT_EQ(view->height(), 2450);

  // A plan smaller than the window is centred in it; scrolling cannot move it.
  PlanZoom(ds) = 0.08f;
  Refresh();
  ZLKDocumentScrollView* scroll = window->documentScrollView();
  const QSize port = scroll->viewport()->size();
  ASSERT_LT(view->width(), port.width());
  ASSERT_LT(view->height(), port.height());
  EXPECT_NEAR(view->x(), (port.width() - view->width()) / 2, 1);
  EXPECT_NEAR(view->y(), (port.height() - view->height()) / 2, 1);
  scroll->scrollToPoint({500, 500});
  EXPECT_NEAR(view->x(), (port.width() - view->width()) / 2, 1);
}

TEST_F(PlanViewInput, ScrollPointsAreConstrainedToThePlan) {
  // Wider visible part than the frame: centred (negative origin); otherwise clamped.
  NSPoint p = ZLKDocumentScrollView::constrainScrollPoint({37, 900}, {300, 1000}, {500, 400});
  EXPECT_EQ(p.x, -100);
  EXPECT_EQ(p.y, 600);
  p = ZLKDocumentScrollView::constrainScrollPoint({-20, 250.4f}, {1000, 1000}, {500, 400});
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 250);
}

TEST_F(PlanViewInput, CommandWheelZoomsAboutTheCursor) {
  ZLKDocumentScrollView* scroll = window->documentScrollView();
  const QPoint cursorInView = at(120, -80);
  const QPoint cursorInPort = view->mapTo(scroll->viewport(), cursorInView);
  const float before = PlanZoom(ds);
  QWheelEvent wheel(QPointF(cursorInPort), QPointF(scroll->viewport()->mapToGlobal(cursorInPort)), QPoint(),
                    QPoint(0, 120 * 4), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(scroll->viewport(), &wheel);
  EXPECT_FLOAT_EQ(PlanZoom(ds), before + 0.1f);
  EXPECT_FLOAT_EQ(TopViewZoom(ds), PlanZoom(ds));
  EXPECT_EQ(view->width(), static_cast<int>(4800 * PlanZoom(ds) + 100 * PlanZoom(ds)));
  // The plan point under the cursor is still there.
  const QPoint now = view->mapTo(scroll->viewport(), at(120, -80));
  EXPECT_NEAR(now.x(), cursorInPort.x(), 1);
  EXPECT_NEAR(now.y(), cursorInPort.y(), 1);

  // Never above 3.01 nor below the lot's least zoom.
  QWheelEvent far(QPointF(cursorInPort), QPointF(), QPoint(), QPoint(0, 120 * 400), Qt::NoButton,
                  Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(scroll->viewport(), &far);
  EXPECT_FLOAT_EQ(PlanZoom(ds), 3.01f);
  QWheelEvent back(QPointF(cursorInPort), QPointF(), QPoint(), QPoint(0, -120 * 4000), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(scroll->viewport(), &back);
  EXPECT_FLOAT_EQ(PlanZoom(ds), GetMinZoom());

  // Without Command the wheel scrolls.
  const float zoom = PlanZoom(ds);
  QWheelEvent plain(QPointF(cursorInPort), QPointF(), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(scroll->viewport(), &plain);
  EXPECT_EQ(PlanZoom(ds), zoom);
}

TEST_F(PlanViewInput, PanToolMovesThePlanWithTheMouse) {
  gCurTool = kToolPan;
  ZLKDocumentScrollView* scroll = window->documentScrollView();
  const NSPoint start = scroll->scrollOrigin();
  const QPoint from = at(0, 0);
  QTest::mousePress(view, Qt::LeftButton, {}, from);
  // The view moves under the mouse: each move is given in the view's new position.
  QTest::mouseMove(view, from + QPoint(-30, -20));
  EXPECT_EQ(scroll->scrollOrigin().x, start.x + 30);
  EXPECT_EQ(scroll->scrollOrigin().y, start.y + 20);
  QTest::mouseRelease(view, Qt::LeftButton, {}, from + QPoint(-30, -20));
  EXPECT_FALSE(view->isTracking());
  EXPECT_EQ(undoName(), "");
}

TEST_F(PlanViewInput, ZoomDragCentresThePressAndZoomsWithTheVerticalTravel) {
  gCurTool = kToolZoom;
  const QPoint from = at(200, 100);
  const QPoint screen = view->mapToGlobal(from);
  // The drag runs in its own loop from the press to the release.
  bool ran = false;
  QTimer::singleShot(0, view, [&] {
    ran = true;
    // The pressed point moved to the middle of the visible part.
    const NSRect shown = view->visibleRect();
    EXPECT_NEAR(shown.origin.x + shown.size.width / 2, 200, 1);
    EXPECT_NEAR(shown.origin.y + shown.size.height / 2, 100, 1);
    // The mouse stays where it was pressed on the screen; 75 pixels up from there: +0.5.
    QTest::mouseMove(view, view->mapFromGlobal(screen + QPoint(0, -75)));
    // The loop takes the move once this returns.
    QTimer::singleShot(0, view, [&] {
      EXPECT_NEAR(PlanZoom(ds), 1.5f, 0.01f);
      EXPECT_FLOAT_EQ(TopViewZoom(ds), PlanZoom(ds));
      const NSRect now = view->visibleRect();
      EXPECT_NEAR(now.origin.x + now.size.width / 2, 300, 1.5);  // the zoom centre, zoomed
      QTest::mouseRelease(view, Qt::LeftButton, {}, view->mapFromGlobal(screen + QPoint(0, -75)));
    });
  });
  QTest::mousePress(view, Qt::LeftButton, {}, from);
  EXPECT_TRUE(ran);
  EXPECT_FALSE(view->isTracking());
  EXPECT_EQ(gMouseCaptured, 0);
}

// Down zooms out by the same rate up zooms in; the factor stops at 3 however far the mouse
// goes up, and the zoom centre stays in the middle.
TEST_F(PlanViewInput, ZoomDragOutwardsAndItsTopFactor) {
  gCurTool = kToolZoom;
  const QPoint from = at(-120, 80);
  const QPoint screen = view->mapToGlobal(from);
  std::vector<float> zooms;
  std::vector<float> centresX, centresY;
  auto note = [&] {
    zooms.push_back(PlanZoom(ds));
    const NSRect now = view->visibleRect();
    centresX.push_back(now.origin.x + now.size.width / 2);
    centresY.push_back(now.origin.y + now.size.height / 2);
  };
  QTimer::singleShot(0, view, [&] {
    QTest::mouseMove(view, view->mapFromGlobal(screen + QPoint(0, 75)));
    QTimer::singleShot(0, view, [&] {
      note();
      QTest::mouseMove(view, view->mapFromGlobal(screen + QPoint(0, -450)));
      QTimer::singleShot(0, view, [&] {
        note();
        QTest::mouseRelease(view, Qt::LeftButton, {}, view->mapFromGlobal(screen + QPoint(0, -450)));
      });
    });
  });
  QTest::mousePress(view, Qt::LeftButton, {}, from);
  ASSERT_EQ(zooms.size(), 2u);
  EXPECT_NEAR(zooms[0], 0.5f, 0.01f);
  EXPECT_FLOAT_EQ(zooms[1], 3.0f);
  EXPECT_FLOAT_EQ(TopViewZoom(ds), 3.0f);
  EXPECT_NEAR(centresX[0], -60, 1.5);
  EXPECT_NEAR(centresY[0], 40, 1.5);
  EXPECT_NEAR(centresX[1], -360, 1.5);
  EXPECT_NEAR(centresY[1], 240, 1.5);
  EXPECT_FALSE(view->isTracking());
}

TEST_F(PlanViewInput, AutoScrollMovesTenUnitsPerAxisAndNeverWithTheViewPointTool) {
  const NSRect shown = view->visibleRect();
  const POINT leftAbove{static_cast<int32_t>(shown.origin.x) - 50, static_cast<int32_t>(shown.origin.y) - 50};
  view->autoScrollToPoint(leftAbove);
  NSRect now = view->visibleRect();
  EXPECT_EQ(now.origin.x, shown.origin.x - 10);
  EXPECT_EQ(now.origin.y, shown.origin.y - 10);
  gCurTool = kToolViewPoint;
  view->autoScrollToPoint(leftAbove);
  EXPECT_EQ(view->visibleRect().origin.x, now.origin.x);
  gCurTool = kToolSelection;
  const POINT inside{static_cast<int32_t>(now.origin.x) + 5, static_cast<int32_t>(now.origin.y) + 5};
  view->autoScrollToPoint(inside);
  EXPECT_EQ(view->visibleRect().origin.x, now.origin.x);
  EXPECT_EQ(view->visibleRect().origin.y, now.origin.y);
}

// Each side of the visible part, and the edge itself: a point beyond an edge scrolls ten units
// that way, on that axis only; a point on the edge scrolls nothing.
TEST_F(PlanViewInput, AutoScrollTakesEachSideAndStopsAtTheEdge) {
  struct Case {
    const char* where;
    float x, y;  // as parts of the visible width and height from its origin
    int32_t beyondX, beyondY;  // plus these view units
    float dx, dy;
  };
  const Case cases[] = {
      {"left", 0, 0.5f, -1, 0, -10, 0},      {"right", 1, 0.5f, 1, 0, 10, 0},
      {"above", 0.5f, 0, 0, -1, 0, -10},     {"below", 0.5f, 1, 0, 1, 0, 10},
      {"right above", 1, 0, 40, -40, 10, -10}, {"left below", 0, 1, -40, 40, -10, 10},
      {"on the left edge", 0, 0.5f, 0, 0, 0, 0}, {"on the right edge", 1, 0.5f, 0, 0, 0, 0},
      {"on the top edge", 0.5f, 0, 0, 0, 0, 0},  {"on the bottom edge", 0.5f, 1, 0, 0, 0, 0},
  };
  ZLKDocumentScrollView* scroll = window->documentScrollView();
  for (const Case& c : cases) {
    scroll->scrollToPoint({1000, 1100});  // well inside the plan on every side
    const NSRect shown = view->visibleRect();
    const POINT point{static_cast<int32_t>(shown.origin.x + c.x * shown.size.width) + c.beyondX,
                      static_cast<int32_t>(shown.origin.y + c.y * shown.size.height) + c.beyondY};
    view->autoScrollToPoint(point);
    EXPECT_EQ(view->visibleRect().origin.x, shown.origin.x + c.dx) << c.where;
    EXPECT_EQ(view->visibleRect().origin.y, shown.origin.y + c.dy) << c.where;
  }
}

// The arrow keys move one or several selected objects by the grid step of their axis (across
// for left and right, down for up and down) when snapping, else by one screen unit at the
// zoom; each nudge is one step that undo takes back and redo does again.
TEST_F(PlanViewInput, ArrowKeysNudgeByTheGridStepOfTheirAxisWithUndoAndRedo) {
  addLine(-100, 0, 100, 0);
  addLine(-100, 60, 100, 60);
  InitializeUndo();
  doc->undoManager().removeAllActions();
  auto firstPoints = [&] {
    std::vector<std::pair<float, float>> at;
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next)
      at.push_back({o->firstPoint->position[0], o->firstPoint->position[2]});
    return at;
  };
  struct Case {
    Qt::Key key;
    const char* undo;
    int across, down;  // the sign of the move
  };
  const Case keys[] = {{Qt::Key_Left, "Nudge Left", -1, 0},
                       {Qt::Key_Right, "Nudge Right", 1, 0},
                       {Qt::Key_Up, "Nudge Up", 0, -1},
                       {Qt::Key_Down, "Nudge Down", 0, 1}};
  const float acrossStep = ConvertWorldToScreen(12, ds, 0), downStep = ConvertWorldToScreen(30, ds, 0);
  ASSERT_GT(downStep, acrossStep + 1);
  for (bool snap : {true, false}) {
    for (const Case& c : keys) {
      const std::string how = std::string(c.undo) + (snap ? " snapping" : " at zoom 2");
      // Undo and redo bring back the design's settings with its objects: set them each time.
      ds = model->itsDocState;
      ds->gridSnap.floatH = 12;  // world units across
      ds->gridSnap.floatV = 30;  // and down
      ds->snapToGrid = snap;
      PlanZoom(ds) = TopViewZoom(ds) = snap ? 1.0f : 2.0f;
      SelectAllLayers(model->itsLayers, kSelectOn, 1);
      const auto before = firstPoints();
      ASSERT_EQ(before.size(), 2u);
      QTest::keyClick(view, c.key);
      const auto after = firstPoints();
      const float across = snap ? acrossStep : 0.5f, down = snap ? downStep : 0.5f;
      for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_NEAR(after[i].first, before[i].first + c.across * across, 1e-3) << how << " object " << i;
        EXPECT_NEAR(after[i].second, before[i].second + c.down * down, 1e-3) << how << " object " << i;
      }
      window->updateWindowState();
      EXPECT_EQ(window->undoAction()->text().toStdString(), std::string("Undo ") + c.undo) << how;
      window->undoAction()->trigger();
      EXPECT_EQ(firstPoints(), before) << how;
      window->updateWindowState();
      EXPECT_EQ(window->redoAction()->text().toStdString(), std::string("Redo ") + c.undo) << how;
      window->redoAction()->trigger();
      const auto redone = firstPoints();
      ASSERT_EQ(redone.size(), 2u);
      for (size_t i = 0; i < redone.size(); ++i) {
        EXPECT_NEAR(redone[i].first, after[i].first, 1e-3) << how << " redone " << i;
        EXPECT_NEAR(redone[i].second, after[i].second, 1e-3) << how << " redone " << i;
      }
    }
  }
  ds = model->itsDocState;
  ds->snapToGrid = 0;
}

// An outline entered click by click and ended with Escape, begun with one and with several
// objects selected: the outline keeps exactly the corners clicked, the objects selected before
// are left where they were and unselected, and the outline is one step that undo takes away and
// redo brings back. An Escape before the second corner does not end the entry.
TEST_F(PlanViewInput, AnOutlineEndedByEscapeKeepsItsCornersAsOneStep) {
  Objex* a = addLine(-300, 200, -200, 200);
  Objex* b = addLine(-300, 260, -200, 260);
  InitializeUndo();
  doc->undoManager().removeAllActions();
  const float corners[3][2] = {{-60, -50}, {90, -50}, {90, 80}};
  auto outlines = [&] {
    std::vector<Objex*> found;
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next)
      if (o->type == kObjDetail) found.push_back(o);
    return found;
  };
  for (bool several : {false, true}) {
    SelectAllLayers(model->itsLayers, kSelectOff, 1);
    SelectObj(a, kSelectOn, 1);
    if (several) SelectObj(b, kSelectOn, 1);
    const float ax = a->firstPoint->position[0], bz = b->firstPoint->position[2];
    const size_t before = outlines().size();
    gCurTool = kToolPolygon;
    QTest::mousePress(view, Qt::LeftButton, {}, at(corners[0][0], corners[0][1]));
    QTimer::singleShot(0, view, [&] {
      if (several) QTest::keyClick(view, Qt::Key_Escape);
      for (int i = 1; i < 3; ++i) QTest::mouseClick(view, Qt::LeftButton, {}, at(corners[i][0], corners[i][1]));
      QTest::keyClick(view, Qt::Key_Escape);
    });
    QTest::mouseRelease(view, Qt::LeftButton, {}, at(corners[0][0], corners[0][1]));
    EXPECT_FALSE(view->isTracking());
    EXPECT_EQ(gMouseCaptured, 0);
    const std::vector<Objex*> now = outlines();
    ASSERT_EQ(now.size(), before + 1) << (several ? "several" : "one");
    Objex* outline = now.back();
    int n = 0;
    for (Poinz* p = outline->firstPoint; p; p = p->next, ++n) {
      ASSERT_LT(n, 3);
      EXPECT_NEAR(p->position[0], corners[n][0], 1.5) << n;
      EXPECT_NEAR(p->position[2], corners[n][1], 1.5) << n;
    }
    EXPECT_EQ(n, 3);
    EXPECT_FALSE(IsObjectSelected(a));
    EXPECT_FALSE(IsObjectSelected(b));
    EXPECT_EQ(a->firstPoint->position[0], ax);
    EXPECT_EQ(b->firstPoint->position[2], bz);
    window->updateWindowState();
    EXPECT_EQ(window->undoAction()->text(), QString("Undo Polygon Tool"));
    window->undoAction()->trigger();
    EXPECT_EQ(outlines().size(), before);
    window->updateWindowState();
    window->redoAction()->trigger();
    EXPECT_EQ(outlines().size(), before + 1);
    ds = model->itsDocState;
    a = model->itsCurLayer->firstObject;
    b = a->next;
  }
}

TEST_F(PlanViewInput, ARightClickResetsTheToolAndNeverDrags) {
  Objex* line = addLine(-100, 0, 100, 0);
  ServiceCallRecorder recorder;
  QTest::mousePress(view, Qt::RightButton, {}, at(0, 150));
  EXPECT_TRUE(recorder.called("ResetStandardTool"));
  EXPECT_FALSE(view->isTracking());
  EXPECT_EQ(gMouseCaptured, 0);
  QTest::mouseRelease(view, Qt::RightButton, {}, at(0, 150));
  // On an object: no selection change by the context click and no drag.
  QTest::mousePress(view, Qt::RightButton, {}, at(30, 0));
  EXPECT_FALSE(view->isTracking());
  QTest::mouseRelease(view, Qt::RightButton, {}, at(30, 0));
  EXPECT_FALSE(IsObjectSelected(line) && view->isTracking());

  // Whatever the tool, a drag begun with the right button ends at that button's release.
  gCurTool = kToolRectangle;
  QTest::mousePress(view, Qt::RightButton, {}, at(-50, -50));
  QTest::mouseRelease(view, Qt::RightButton, {}, at(60, 40));
  EXPECT_FALSE(view->isTracking());
  EXPECT_EQ(gMouseCaptured, 0);

  // Sent straight to the view: the tool goes back first, then the same click road.
  recorder.calls.clear();
  PlanMouseEvent event;
  event.location = view->viewPointFromWidget(QPointF(at(0, 150)));
  event.rightButton = true;
  view->rightMouseDown(event);
  EXPECT_TRUE(recorder.called("ResetStandardTool"));
  EXPECT_FALSE(view->isTracking());
  EXPECT_EQ(gMouseCaptured, 0);
}

TEST_F(PlanViewInput, TheCameraSnapshotReplacesThePlanUntilReset) {
  addLine(-100, 0, 100, 0);
  view->initializeDynamicViewPointSystem();
  EXPECT_TRUE(view->drawsViewPointDynamically());
  EXPECT_FALSE(view->planDrawing().shouldDrawViewPoint());
  EXPECT_FALSE(view->grab(QRect(at(-20, -20), at(20, 20))).isNull());
  view->resetDynamicViewPointSystem();
  EXPECT_FALSE(view->drawsViewPointDynamically());
  EXPECT_TRUE(view->planDrawing().shouldDrawViewPoint());
}

TEST_F(PlanViewInput, ADoubleClickOnADeckSelectsAllItsPoints) {
  RGBColor black{};
  Objex* deck = CreateObject(kObjDeck, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr);
  const float corners[4][2] = {{-100, -100}, {100, -100}, {100, 100}, {-100, 100}};
  for (const auto& c : corners)
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, c[0], 0, c[1], 0, 0, 0, 0, 0, 0, deck), deck);
  deck->planMask = 64;
  ds->currentPlanMask = 64;
  AppendObjectToLayer(deck, model->itsCurLayer);
  UpdateObjectBounds(deck);
  // The platform's order: press, release, double click (for the second press), release.
  click(at(0, -100));
  QTest::mouseDClick(view, Qt::LeftButton, {}, at(0, -100));
  EXPECT_FALSE(view->isTracking());
  QTest::mouseRelease(view, Qt::LeftButton, {}, at(0, -100));
  for (Poinz* p = deck->firstPoint; p; p = p->next) EXPECT_EQ(p->selected, 1);
  EXPECT_FALSE(view->isTracking());
}

TEST_F(PlanViewInput, DraggingTheVirtualRulersEndMovesOnlyThatEnd) {
  model->itsVRVisible = 1;
  const FloatPoint start = model->itsVRStartPt, end = model->itsVREndPt;
  // The end handle sits one handle size inside the end.
  const QPoint from = at(end.floatH - 14, end.floatV), to = at(end.floatH + 82, end.floatV + 48);
  // The ruler's drag pulls its events while the press is handled: queue them first.
  QTimer::singleShot(0, view, [this, to] {
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
  });
  QTest::mousePress(view, Qt::LeftButton, {}, from);
  EXPECT_FLOAT_EQ(model->itsVRStartPt.floatH, start.floatH);
  EXPECT_FLOAT_EQ(model->itsVRStartPt.floatV, start.floatV);
  EXPECT_GT(model->itsVREndPt.floatH, end.floatH + 40);
  EXPECT_GT(model->itsVREndPt.floatV, end.floatV + 20);
  EXPECT_EQ(objectCount(), 0);  // no tool ran
}

// The status line: a plain click on a selected object keeps the size readout of the click,
// and the readout of a selection that is gone (deleted, cut, ungrouped) or of a design that
// was replaced (File > New) does not stay behind.
TEST_F(PlanViewInput, StatusLineFollowsClicksEditsAndNewDesigns) {
  auto status = [&] { return window->statusText()->text(); };
  auto perform = [&](int32_t tag) {
    window->validatePlanMenus();  // as when the menu opens
    for (QAction* a : window->planActions())
      if (a->data().toInt() == tag) {
        a->trigger();
        return;
      }
    ADD_FAILURE() << "no action " << tag;
  };
  addLine(-100, 0, 100, 0);
  click(at(30, 0));  // selects: the size readout
  const QString readout = status();
  EXPECT_TRUE(readout.startsWith("Width: ")) << readout.toStdString();
  click(at(30, 0));  // a plain click on the selected line moves nothing but ends as a move does
  EXPECT_TRUE(status().startsWith("Angle: ")) << status().toStdString();
  drag(at(30, 0), at(60, 0));  // a real move ends with the angle readout
  EXPECT_TRUE(status().startsWith("Angle: ")) << status().toStdString();

  click(at(30, 0));
  ASSERT_FALSE(status().isEmpty());
  perform(kCmdDelete);
  EXPECT_EQ(objectCount(), 0);
  EXPECT_EQ(status(), QString());

  addLine(-100, 0, 100, 0);
  click(at(30, 0));
  ASSERT_FALSE(status().isEmpty());
  perform(kCmdCutObjects);
  EXPECT_EQ(objectCount(), 0);
  EXPECT_EQ(status(), QString());

  addLine(-100, 0, 100, 0);
  addLine(-100, 50, 100, 50);
  SelectAllLayers(model->itsLayers, kSelectOn, 1);
  perform(kCmdGroup);
  ASSERT_EQ(objectCount(), 1);
  SetStatusBar("Width: 10'");
  perform(kCmdUngroup);
  EXPECT_EQ(objectCount(), 2);
  EXPECT_EQ(status(), QString());

  SetStatusBar("Width: 21'-1\", Depth: 28'-8\"");
  doc->setDocumentEdited(false);
  bool made = false;
  ZLKDocumentController::sharedDocumentController().newDocument([&](bool ok) { made = ok; });
  EXPECT_TRUE(made);
  EXPECT_EQ(status(), QString());
}

// A rectangle from the rectangle tool, selected whole, pressed at a corner handle with the
// fillet tool: the user is told to switch point-level editing on; nothing is resized and no
// undo step is stored. With point-level editing on, the same press and drag round the corner.
TEST_F(PlanViewInput, FilletOnARectangleExplainsOrFillets) {
  gCurTool = kToolRectangle;
  drag(at(-50, -50), at(60, 40));
  Objex* rect = model->itsCurLayer->firstObject;
  while (rect->next) rect = rect->next;
  ASSERT_EQ(rect->type, kObjDetail);
  auto corners = [&] {
    int n = 0;
    for (Poinz* p = rect->firstPoint; p; p = p->next) ++n;
    return n;
  };
  const int before = corners();
  SelectAllLayers(model->itsLayers, kSelectOff, 1);
  SelectObj(rect, kSelectOn, 1);  // selected whole
  const std::string undoBefore = undoName();
  ScopedAlertRecorder alerts;
  gCurTool = kToolFillet;
  drag(at(60, -50), at(40, -30));
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to fillet corner.");
  EXPECT_EQ(alerts.shown[0].informative, "You must set the object to point-level editing before applying a fillet.");
  EXPECT_EQ(corners(), before);
  float right = -32000;
  for (Poinz* p = rect->firstPoint; p; p = p->next) right = std::fmax(right, p->position[0]);
  EXPECT_NEAR(right, 60, 1.5);  // not resized
  EXPECT_EQ(undoName(), undoBefore);

  rect->extraFlags = 1;  // point-level editing on
  gCurTool = kToolFillet;
  drag(at(60, -50), at(40, -30));
  EXPECT_GT(corners(), before);
  EXPECT_EQ(undoName(), "Fillet Tool");
  EXPECT_EQ(alerts.shown.size(), 1u);
}
