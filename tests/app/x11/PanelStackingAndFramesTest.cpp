// The palettes and the 3D window on a real X display: which window they are kept above, and
// their saved frames over many starts of the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <map>
#include <string>
#include <vector>

#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "app/x11/SettleWindows.h"
#include "app/EditToolPaletteController.h"
#include "app/LiveViewController.h"
#include "app/PlanToolPaletteController.h"
#include "inspectors/SnapPaletteController.h"

namespace {

class PanelWindows : public DesignWindowTest {
 protected:
  PanelWindows() : DesignWindowTest(/*makesDocument=*/false) {}
  void beforeDocument() override {
    hidePalettes();
    LiveViewController::releaseSharedLiveViewController();
    defaults.setBool("ShowSnapTools", true);
  }
  void afterClosing() override {
    hidePalettes();
    LiveViewController::releaseSharedLiveViewController();
    AppController::applicationWillTerminate();
  }
  // Hidden, each at its own size: a size another test gave a palette (before it was first
  // shown, with the window system's default height) would stay with it, and a saved frame
  // would then no longer describe it.
  static void hidePalettes() {
    for (QWidget* palette : {static_cast<QWidget*>(&edit()), static_cast<QWidget*>(&plan()),
                             static_cast<QWidget*>(&snap())}) {
      palette->hide();
      palette->adjustSize();
    }
  }
  static ToolPaletteController& edit() { return ToolPaletteController::sharedToolPaletteController(); }
  static PlanToolPaletteController& plan() { return PlanToolPaletteController::sharedPlanToolPaletteController(); }
  static SnapPaletteController& snap() { return SnapPaletteController::sharedSnapPaletteController(); }
  static QWidget* liveView() { return LiveViewController::sharedLiveViewController()->window(); }

  // A start of the program with the current user defaults, its first design window shown.
  ZLKWindowController* launch() {
    AppController::initialize();
    AppController::startUp();
    return openWindow();
  }
  ZLKWindowController* openWindow() {
    ZLKDocument* d = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(/*display=*/true);
    if (!d) return nullptr;
    ZLKWindowController* w = d->windowControllers().value(0);
    if (!w || !QTest::qWaitForWindowExposed(w)) return nullptr;
    activate(w);
    return w;
  }
  static void activate(QWidget* w) {
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
    settle();
  }
  static void settle() { EXPECT_TRUE(SettleWindows()) << "the windows did not settle"; }
  // The window each panel is kept above, and whether it is shown.
  static void expectPanelsAbove(ZLKWindowController* design, const char* when) {
    ASSERT_NE(design->windowHandle(), nullptr);
    struct Panel {
      const char* name;
      QWidget* widget;
    } const panels[] = {{"editing tools", &edit()}, {"drawing tools", &plan()}, {"snap", &snap()},
                        {"3D window", liveView()}};
    for (const Panel& p : panels) {
      EXPECT_TRUE(p.widget->isVisible()) << p.name << ", " << when;
      ASSERT_NE(p.widget->windowHandle(), nullptr) << p.name << ", " << when;
      EXPECT_EQ(p.widget->windowHandle()->transientParent(), design->windowHandle()) << p.name << ", " << when;
    }
  }
};

}  // namespace

TEST_F(PanelWindows, TerminatingOrdersOutAShown3DWindowFirst) {
  ZLKWindowController* first = launch();
  ASSERT_NE(first, nullptr);
  LiveViewController::sharedLiveViewController()->showWindow();
  settle();
  ASSERT_TRUE(LiveViewController::sharedLiveViewController()->isVisible());
  TestApplication()->terminate();
  EXPECT_FALSE(LiveViewController::sharedLiveViewController()->isVisible());
  EXPECT_TRUE(first->isVisible());  // the design windows are left to the normal termination
}

TEST_F(PanelWindows, PalettesAndThe3DWindowStayAboveTheActiveDesignWindow) {
  ZLKWindowController* first = launch();
  ASSERT_NE(first, nullptr);
  LiveViewController::sharedLiveViewController()->showWindow();
  settle();
  activate(first);
  expectPanelsAbove(first, "first window");

  // Another design window becomes active: every panel follows it, still shown.
  ZLKWindowController* second = openWindow();
  ASSERT_NE(second, nullptr);
  expectPanelsAbove(second, "second window");
  // Mapped again for the new hint, the panels leave the keyboard with the design window.
  EXPECT_TRUE(second->isActiveWindow());

  activate(first);
  expectPanelsAbove(first, "first window again");

  // A palette shown again from the menu is kept above the active window too.
  edit().close();
  activate(second);
  edit().showWindow();
  settle();
  EXPECT_EQ(edit().windowHandle()->transientParent(), second->windowHandle());
}

TEST_F(PanelWindows, PanelsStayAboveAMaximizedDesignWindowAndAfterARestart) {
  for (int start = 0; start < 2; ++start) {
    SCOPED_TRACE(start == 0 ? "first start" : "restart");
    // No activation by the test: the start-up road alone gives the hints.
    AppController::initialize();
    AppController::startUp();
    ZLKDocument* d = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(/*display=*/true);
    ASSERT_NE(d, nullptr);
    ZLKWindowController* window = d->windowControllers().value(0);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    LiveViewController::sharedLiveViewController()->showWindow();
    settle();
    expectPanelsAbove(window, "opened");
    for (QWidget* panel : {static_cast<QWidget*>(&edit()), static_cast<QWidget*>(&plan()),
                           static_cast<QWidget*>(&snap()), liveView()})
      EXPECT_EQ(panel->windowHandle()->type(), Qt::Tool) << panel->windowTitle().toStdString();
    window->showMaximized();
    settle();
    expectPanelsAbove(window, "maximized");
    window->showNormal();
    settle();
    expectPanelsAbove(window, "back to its size");
    EXPECT_TRUE(window->close());
    settle();
    LiveViewController::releaseSharedLiveViewController();
    AppController::applicationWillTerminate();
  }
}

// Records, in order, when windows are mapped and first shown on the screen.
class MapOrder : public QObject {
 public:
  MapOrder() { qApp->installEventFilter(this); }
  ~MapOrder() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (auto* window = qobject_cast<QWindow*>(watched)) {
      if (event->type() == QEvent::Show) lastShown[window] = ++sequence;
      if (event->type() == QEvent::Expose && window->isExposed() && !firstExposed.count(window))
        firstExposed[window] = ++sequence;
    }
    return false;
  }
  int sequence = 0;
  std::map<QWindow*, int> lastShown, firstExposed;
};

TEST_F(PanelWindows, PalettesShownBeforeTheDesignWindowAreMappedAgainAboveIt) {
  // A window manager keeps a palette above its design window only when the palette is mapped
  // while that window is on the screen; at start-up the palettes come up first.
  MapOrder order;
  ZLKWindowController* window = launch();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(order.firstExposed.count(window->windowHandle()));
  const int designOnScreen = order.firstExposed[window->windowHandle()];
  for (QWidget* panel :
       {static_cast<QWidget*>(&edit()), static_cast<QWidget*>(&plan()), static_cast<QWidget*>(&snap())}) {
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->windowHandle()->transientParent(), window->windowHandle());
    EXPECT_GT(order.lastShown[panel->windowHandle()], designOnScreen) << panel->windowTitle().toStdString();
  }
}

TEST_F(PanelWindows, TheDesignWindowOpensWhereItWasClosedAndOnTheScreen) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  // Closed where the user left it, it opens there at the next start.
  ZLKWindowController* window = launch();
  ASSERT_NE(window, nullptr);
  const QRect chosen(area.topLeft() + QPoint(150, 100), QSize(700, 500));
  window->setGeometry(chosen);
  settle();
  const QRect closedAt = window->frameGeometry();
  EXPECT_TRUE(window->close());
  settle();
  AppController::applicationWillTerminate();
  window = launch();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->frameGeometry(), closedAt);
  // A second design window of the same run is placed beside the palettes, not over the first.
  AppController::applicationDidFinishLaunching();
  ZLKWindowController* second = openWindow();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second->frameGeometry(), closedAt);
  EXPECT_TRUE(second->close());
  EXPECT_TRUE(window->close());
  settle();
  AppController::applicationWillTerminate();

  // A frame saved with its title bar above the screen and its bottom edge below it comes back
  // within the available area: the decorations saved with it (a 22-pixel title bar) are inside.
  defaults.setString("NSWindow Frame DocumentWindow", std::to_string(area.x() + 100) + " " +
                                                          std::to_string(area.y() - 40) + " 800 " +
                                                          std::to_string(area.height() + 100) + " 2 22 2 2");
  window = launch();
  ASSERT_NE(window, nullptr);
  const QRect client = window->geometry();
  EXPECT_EQ(client.top(), area.top() + 22) << "the title bar is on the screen";
  EXPECT_EQ(client.bottom(), area.bottom() - 2) << "the bottom edge is on the screen";
  EXPECT_EQ(client.left(), area.left() + 102);
  EXPECT_EQ(client.width(), 796);
}

TEST_F(PanelWindows, SavedFramesStayPutAndOnScreenOverManyStarts) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  auto at = [&area](int x, int y, int width, int height) {
    return std::to_string(area.x() + x) + " " + std::to_string(area.y() + y) + " " + std::to_string(width) + " " +
           std::to_string(height);
  };
  // Frames left off the screen: above the top, left of it, below the bottom, past the right.
  defaults.setString("NSWindow Frame PlanToolPanel", at(5, -47, 400, 40));
  defaults.setString("NSWindow Frame EditToolPanel", at(-300, 200, 60, 300));
  defaults.setString("NSWindow Frame SnapPanel", at(200, area.height() + 100, 150, 250));
  defaults.setString("NSWindow Frame LiveViewPanel", at(area.width() - 180, area.height() - 100, 640, 520));

  struct Frames {
    QRect edit, plan, snap, liveView;
  };
  std::vector<Frames> starts;
  for (int start = 0; start < 8; ++start) {
    ZLKWindowController* window = launch();
    ASSERT_NE(window, nullptr);
    // The 3D window is made anew at each start, as at a start of the program.
    LiveViewController::releaseSharedLiveViewController();
    LiveViewController::sharedLiveViewController()->showWindow();
    settle();
    ASSERT_TRUE(edit().isVisible() && plan().isVisible() && snap().isVisible()) << start;
    ASSERT_TRUE(liveView()->isVisible()) << start;
    const Frames f{edit().frameGeometry(), plan().frameGeometry(), snap().frameGeometry(),
                   liveView()->frameGeometry()};
    EXPECT_TRUE(area.contains(f.edit)) << start;
    EXPECT_TRUE(area.contains(f.plan)) << start;
    EXPECT_TRUE(area.contains(f.snap)) << start;
    EXPECT_TRUE(area.contains(f.liveView)) << start;
    EXPECT_EQ(f.liveView.size(), QSize(640, 520)) << start;
    // Moved onto the screen no further than needed.
    EXPECT_EQ(f.plan.topLeft(), area.topLeft() + QPoint(5, 0)) << start;
    EXPECT_EQ(f.edit.x(), area.x()) << start;
    EXPECT_EQ(f.snap.x(), area.x() + 200) << start;
    EXPECT_EQ(f.snap.y(), area.y() + area.height() - 250) << start;  // the saved height, at the bottom
    if (!starts.empty()) {
      EXPECT_EQ(f.edit, starts.back().edit) << start;
      EXPECT_EQ(f.plan, starts.back().plan) << start;
      EXPECT_EQ(f.snap, starts.back().snap) << start;
      EXPECT_EQ(f.liveView, starts.back().liveView) << start;
    }
    starts.push_back(f);
    // Closing the last design window saves every frame for the next start.
    EXPECT_TRUE(window->close());
    settle();
  }
}

TEST_F(PanelWindows, FirstWindowOpensWithinTheAvailableArea) {
  // A wide snap palette at the left edge pushes the window right: it is narrowed to fit.
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  snap().resize(400, snap().height());
  defaults.setString("NSWindow Frame SnapPanel",
                     std::to_string(area.x() + 5) + " " + std::to_string(area.y() + 400) + " 400 200");
  ZLKWindowController* window = launch();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(snap().isVisible());
  const QRect frame = window->frameGeometry();
  EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
  EXPECT_EQ(frame.x(), snap().frameGeometry().x() + snap().frameGeometry().width() + 5);
  EXPECT_EQ(frame.x() + frame.width(), area.x() + area.width());
}

TEST_F(PanelWindows, WindowsNotFramedYetTakeTheDecorationsSavedWithTheirFrames) {
  // Saved under a window manager that drew a 20-pixel title bar and 3-pixel borders. Here,
  // at start-up, no decorations are known yet: the windows' own areas go inside the saved
  // frames, so that the frames come back where they were once decorated.
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QPoint origin = area.topLeft() + QPoint(200, 300);
  defaults.setString("NSWindow Frame PlanToolPanel",
                     std::to_string(origin.x()) + " " + std::to_string(origin.y()) + " 400 40 3 20 3 3");
  defaults.setString("NSWindow Frame LiveViewPanel",
                     std::to_string(origin.x()) + " " + std::to_string(origin.y()) + " 640 520 3 20 3 3");
  // Frames saved before the decorations were recorded are taken as undecorated; decorations
  // that cannot be right are ignored.
  defaults.setString("NSWindow Frame EditToolPanel",
                     std::to_string(origin.x()) + " " + std::to_string(origin.y() + 100) + " 60 300");
  defaults.setString("NSWindow Frame SnapPanel",
                     std::to_string(origin.x()) + " " + std::to_string(origin.y() + 500) + " 150 200 -5 9999 0 0");
  ZLKWindowController* window = launch();
  ASSERT_NE(window, nullptr);
  LiveViewController::sharedLiveViewController()->showWindow();
  settle();
  EXPECT_EQ(plan().geometry().topLeft(), origin + QPoint(3, 20));
  EXPECT_EQ(liveView()->geometry(), QRect(origin + QPoint(3, 20), QSize(634, 497)));
  EXPECT_EQ(edit().geometry().topLeft(), origin + QPoint(0, 100));
  EXPECT_EQ(snap().geometry().topLeft(), origin + QPoint(0, 500));
}
