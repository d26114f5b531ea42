// The 3D view's queue for the navigation loops: the view's mouse-ups, drags and arrow keys of
// both buttons, held keys as one press and one release, periodic events that never pile up,
// dropping queued keys, and a hidden window reaching the loop as a mouse-up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include "AppTestSupport.h"
#include "app/LiveViewEventSource.h"
#include "tools/ModalEvents.h"

namespace {

constexpr uint32_t kAll = kModalMouseUpMask | kModalRightMouseUpMask | kModalMouseDraggedMask |
                          kModalRightMouseDraggedMask | kModalKeyDownMask | kModalKeyUpMask | kModalPeriodicMask;

class LiveViewEventSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    widget.resize(200, 100);
    widget.show();
    previous = CurrentModalEventSource();
    SetModalEventSource(&source);
  }
  void TearDown() override { SetModalEventSource(previous); }

  void mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, QPointF at) {
    QMouseEvent e(type, at, widget.mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &e);
  }
  void key(QEvent::Type type, int code, bool repeat = false) {
    QKeyEvent e(type, code, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(&widget, &e);
  }
  ModalEvent next(uint32_t mask = kAll) {
    ModalEvent e;
    EXPECT_TRUE(source.nextEvent(mask, &e));
    return e;
  }

  bool application = (TestApplication(), true);  // before the widget
  QWidget widget;
  LiveViewEventSource source{&widget};
  ModalEventSource* previous = nullptr;
};

TEST_F(LiveViewEventSourceTest, MouseAndKeyEventsOfBothButtonsInOrder) {
  mouse(QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {10, 20});
  mouse(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {11, 20});  // no button: not taken
  key(QEvent::KeyPress, Qt::Key_Up);
  key(QEvent::KeyPress, Qt::Key_Up, true);  // auto-repeat: the key is still the one press
  key(QEvent::KeyRelease, Qt::Key_Up, true);
  key(QEvent::KeyRelease, Qt::Key_Up);
  key(QEvent::KeyPress, Qt::Key_Left);
  mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {5, 5});  // swallowed
  mouse(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, {12, 21});
  struct Row {
    int16_t type;
    uint16_t keyCode;
  };
  const Row rows[] = {{kModalRightMouseDragged, 0},
                      {kModalKeyDown, kModalKeyUpArrow},
                      {kModalKeyUp, kModalKeyUpArrow},
                      {kModalKeyDown, kModalKeyLeftArrow},
                      {kModalRightMouseUp, 0}};
  for (const Row& r : rows) {
    const ModalEvent e = next();
    EXPECT_EQ(e.type, r.type);
    EXPECT_EQ(e.keyCode, r.keyCode);
  }
}

TEST_F(LiveViewEventSourceTest, KeysAreDroppedOnRequestAndPeriodicEventsNeverPileUp) {
  key(QEvent::KeyPress, Qt::Key_Down);
  mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {3, 4});
  source.discardKeyEvents();
  ModalEvent e = next();
  EXPECT_EQ(e.type, kModalMouseUp);
  EXPECT_EQ(e.where.x, 3);
  EXPECT_EQ(e.where.y, 4);
  // A release queued behind a slow step is kept: otherwise the key would stay held.
  key(QEvent::KeyPress, Qt::Key_Up);
  key(QEvent::KeyRelease, Qt::Key_Up);
  mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {3, 4});
  source.discardKeyEvents();
  e = next();
  EXPECT_EQ(e.type, kModalKeyUp);
  EXPECT_EQ(e.keyCode, kModalKeyUpArrow);
  EXPECT_EQ(next().type, kModalMouseUp);

  // Periodic events every 10 ms; however long the loop takes between reads, one waits.
  source.startPeriodicEvents(10, 10);
  e = next();
  EXPECT_EQ(e.type, kModalPeriodic);
  QTest::qWait(60);
  e = next();
  EXPECT_EQ(e.type, kModalPeriodic);
  mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {3, 4});
  e = next(kModalMouseUpMask | kModalPeriodicMask);
  EXPECT_EQ(e.type, kModalMouseUp);
  source.stopPeriodicEvents();
  QTest::qWait(30);
  // Nothing periodic is left: the next event is the release that follows.
  mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {7, 8});
  e = next(kModalMouseUpMask | kModalPeriodicMask);
  EXPECT_EQ(e.type, kModalMouseUp);
  EXPECT_EQ(e.where.x, 7);
}

TEST_F(LiveViewEventSourceTest, AHiddenViewEndsTheLoopAsAMouseUpAndANewLoopStartsClean) {
  key(QEvent::KeyPress, Qt::Key_Right);
  widget.hide();
  ModalEvent e = next(kModalMouseUpMask);
  EXPECT_EQ(e.type, kModalMouseUp);
  EXPECT_FALSE(source.windowClosed());
  // The second mouse-up of the window's going (the window and the view both hid) is dropped
  // with the rest when the next loop starts.
  source.clear();
  widget.show();
  mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {30, 40});
  e = next();
  EXPECT_EQ(e.type, kModalMouseDragged);
  // Outside a loop the view's events are its own.
  SetModalEventSource(nullptr);
  mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {3, 4});
  SetModalEventSource(&source);
  key(QEvent::KeyPress, Qt::Key_Escape);
  e = next();
  EXPECT_EQ(e.type, kModalKeyDown);
  EXPECT_EQ(e.keyCode, kModalKeyEscape);
}

}  // namespace
