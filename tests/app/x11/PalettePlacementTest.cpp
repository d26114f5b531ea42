// The palettes and the design window on a real X display: where they open at start-up, and
// how the palettes follow the window when it is minimized, restored and closed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QTabBar>
#include <QToolBar>
#include <QTest>
#include <ostream>
#include <string>
#include <vector>

#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "app/x11/SettleWindows.h"
#include "app/EditToolPaletteController.h"
#include "app/PlanToolPaletteController.h"
#include "inspectors/InspectorController.h"
#include "inspectors/SnapPaletteController.h"
#include "model/Globals.h"
#include "model/ToolCodes.h"

// Frames in failure messages as x, y, width and height.
inline void PrintTo(const QRect& r, std::ostream* os) {
  *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace {

class PalettePlacement : public DesignWindowTest, protected StubFileChoosers {
 protected:
  PalettePlacement() : DesignWindowTest(/*makesDocument=*/false) {}
  void beforeDocument() override {
    installFileChoosers();
    hidePalettes();
  }
  void afterClosing() override {
    restoreFileChoosers();
    hidePalettes();
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

  // A start of the program with the current user defaults: its first design window shown.
  void launch() {
    AppController::initialize();
    AppController::startUp();
    doc = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(/*display=*/true);
    ASSERT_NE(doc, nullptr);
    model = doc->documentModel();
    ds = model->itsDocState;
    window = doc->windowControllers().value(0);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    gCurDocument = model;
    settle();
  }
  static void settle() { EXPECT_TRUE(SettleWindows()) << "the windows did not settle"; }
  void minimize() {
    window->showMinimized();
    settle();
  }
  void restore() {
    window->showNormal();
    settle();
  }
};

}  // namespace

TEST_F(PalettePlacement, FirstWindowOpensBesideThePalettes) {
  defaults.setBool("ShowSnapTools", false);
  launch();
  ASSERT_FALSE(snap().isVisible());
  ASSERT_TRUE(plan().isVisible());
  ASSERT_TRUE(edit().isVisible());
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect planFrame = plan().frameGeometry(), editFrame = edit().frameGeometry(),
              windowFrame = window->frameGeometry();
  // Drawing tools top left, editing tools 5 below them.
  EXPECT_EQ(planFrame.topLeft(), area.topLeft() + QPoint(5, 0));
  EXPECT_EQ(editFrame.x(), area.x() + 5);
  EXPECT_EQ(editFrame.y(), planFrame.y() + planFrame.height() + 5);
  // The window beside the editing tools and under the drawing tools, overlapping neither.
  EXPECT_EQ(windowFrame.x(), editFrame.x() + editFrame.width() + 5);
  EXPECT_EQ(windowFrame.y(), planFrame.y() + planFrame.height() + 5);
  EXPECT_FALSE(windowFrame.intersects(planFrame));
  EXPECT_FALSE(windowFrame.intersects(editFrame));
  EXPECT_LE(windowFrame.y() + windowFrame.height(), area.y() + area.height());
}

TEST_F(PalettePlacement, AShownSnapPaletteAtTheLeftEdgeCountsToo) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  // The snap palette reaches further right than the editing tools: the window opens beside
  // it. Moved off the left edge, it no longer counts. Each start puts it at its saved frame.
  for (const int fromEdge : {10, 60}) {
    defaults.setBool("ShowSnapTools", true);
    snap().resize(200, snap().height());
    defaults.setString("NSWindow Frame SnapPanel",
                       std::to_string(area.x() + fromEdge) + " " + std::to_string(area.y() + 400) + " 200 200");
    // Without a frame of its own from the start before, the window is placed beside the palettes.
    defaults.removeKey("NSWindow Frame DocumentWindow");
    launch();
    ASSERT_TRUE(snap().isVisible());
    const QRect snapFrame = snap().frameGeometry(), editFrame = edit().frameGeometry();
    ASSERT_GT(snapFrame.x() + snapFrame.width(), editFrame.x() + editFrame.width());
    const int besideSnap = snapFrame.x() + snapFrame.width() + 5, besideEdit = editFrame.x() + editFrame.width() + 5;
    EXPECT_EQ(window->frameGeometry().x(), fromEdge <= 20 ? besideSnap : besideEdit) << fromEdge;
    EXPECT_TRUE(window->close());
    settle();
  }
}

TEST_F(PalettePlacement, PalettesFollowTheWindowWhenMinimizedRestoredAndClosed) {
  launch();
  ASSERT_TRUE(plan().isVisible() && edit().isVisible());
  minimize();
  EXPECT_FALSE(plan().isVisible());
  EXPECT_FALSE(edit().isVisible());
  restore();
  EXPECT_TRUE(plan().isVisible());
  EXPECT_TRUE(edit().isVisible());

  // Only the drawing tools open: only they come back.
  edit().close();
  minimize();
  EXPECT_FALSE(plan().isVisible());
  restore();
  EXPECT_TRUE(plan().isVisible());
  EXPECT_FALSE(edit().isVisible());

  // The closed palette stays closed when a design is made new or read.
  ZLKDocumentController::sharedDocumentController().newDocument();
  settle();
  EXPECT_FALSE(edit().isVisible());
  EXPECT_TRUE(plan().isVisible());
  openPath = file("read.pro");
  ASSERT_TRUE(doc->writeToFile(openPath, ZLKDocument::kDesignFileType));
  ZLKDocumentController::sharedDocumentController().openDocument();
  settle();
  EXPECT_EQ(doc->displayName(), QString("read.pro"));
  EXPECT_FALSE(edit().isVisible());
  EXPECT_TRUE(plan().isVisible());
  window->hide();
  window->show();
  settle();
  EXPECT_FALSE(edit().isVisible());
}

TEST_F(PalettePlacement, ClosingTheWindowSavesThePaletteFramesForTheNextStart) {
  launch();
  edit().move(40, 300);
  plan().move(200, 0);
  settle();
  const QPoint editAt = edit().frameGeometry().topLeft(), planAt = plan().frameGeometry().topLeft();
  EXPECT_TRUE(window->close());
  settle();
  EXPECT_FALSE(plan().isVisible());
  EXPECT_FALSE(edit().isVisible());
  EXPECT_TRUE(defaults.hasValue("NSWindow Frame EditToolPanel"));
  EXPECT_TRUE(defaults.hasValue("NSWindow Frame PlanToolPanel"));

  // The next start puts them where they were.
  launch();
  EXPECT_TRUE(plan().isVisible());
  EXPECT_TRUE(edit().isVisible());
  EXPECT_EQ(edit().frameGeometry().topLeft(), editAt);
  EXPECT_EQ(plan().frameGeometry().topLeft(), planAt);
}

// A design window maximized over the palettes at the top left (its frame given as a window
// manager gives it): the palettes move clear of its menu bar and of the toolbar with the floor
// selector, the others going under the drawing tools, all on the screen.
TEST_F(PalettePlacement, PalettesKeepClearOfAMaximizedWindowsMenuBarAndFloorSelector) {
  defaults.setBool("ShowSnapTools", true);
  defaults.setString("NSWindow Frame SnapPanel", "5 30 180 120");
  launch();
  ASSERT_TRUE(plan().isVisible() && edit().isVisible() && snap().isVisible());
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  window->setGeometry(area);
  window->setWindowState(Qt::WindowMaximized);
  settle();
  ASSERT_TRUE(window->isMaximized());
  const QRect menuBar(window->menuBar()->mapToGlobal(QPoint(0, 0)), window->menuBar()->size());
  const QWidget* floor = window->activeFloorTBPopUpButton()->parentWidget();
  const QRect floorSelector(floor->mapToGlobal(QPoint(0, 0)), floor->size());
  ASSERT_FALSE(menuBar.isEmpty());
  ASSERT_FALSE(floorSelector.isEmpty());
  QWidget* const palettes[] = {&plan(), &edit(), &snap()};
  for (QWidget* p : palettes) {
    SCOPED_TRACE(p->metaObject()->className());
    const QRect frame = p->frameGeometry();
    EXPECT_FALSE(frame.intersects(menuBar));
    EXPECT_FALSE(frame.intersects(floorSelector));
    EXPECT_TRUE(area.contains(frame));
  }
  // Stacked 5 apart in the order they stood (the snap palette's top was the higher), none on
  // another.
  EXPECT_EQ(snap().frameGeometry().y(), plan().frameGeometry().bottom() + 1 + 5);
  EXPECT_EQ(edit().frameGeometry().y(), snap().frameGeometry().bottom() + 1 + 5);
  EXPECT_FALSE(plan().frameGeometry().intersects(edit().frameGeometry()));
  EXPECT_FALSE(plan().frameGeometry().intersects(snap().frameGeometry()));
  EXPECT_FALSE(snap().frameGeometry().intersects(edit().frameGeometry()));
  EXPECT_EQ(plan().frameGeometry().x(), area.x() + 5);  // only moved down
}

// Maximize and Restore as a window manager does them, the frame and the state. Maximized, the
// palettes keep clear of the window's menu bar, toolbar and plan tabs and off each other's
// tools, those that overlapped a little before too (as a title bar's difference can make
// them); restored, those moved for it are back where they were, clear of the window's tabs.
// A palette the user moved meanwhile stays where the user put it. Minimizing in between
// changes none of this.
TEST_F(PalettePlacement, PalettesMovedForAMaximizedWindowGoBackWhenItIsRestored) {
  // The snap palette stays closed once the window is minimized: it is left out.
  defaults.setBool("ShowSnapTools", false);
  launch();
  ASSERT_TRUE(plan().isVisible() && edit().isVisible());
  ASSERT_FALSE(snap().isVisible());
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect normal = window->geometry();
  QWidget* const palettes[] = {&plan(), &edit()};
  auto globalRect = [](const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); };
  auto frames = [&] {
    std::vector<QRect> out;
    for (const QWidget* p : palettes) out.push_back(p->isVisible() ? p->frameGeometry() : QRect());
    return out;
  };
  auto maximize = [&] {
    window->setGeometry(area);
    window->setWindowState(Qt::WindowMaximized);
    settle();
    ASSERT_TRUE(window->isMaximized());
  };
  auto restore = [&] {
    window->setWindowState(Qt::WindowNoState);
    window->setGeometry(normal);
    settle();
    ASSERT_FALSE(window->isMaximized());
  };
  // No shown palette on the window's bars and tabs, nor on another.
  auto expectClear = [&](const char* when) {
    SCOPED_TRACE(when);
    const QRect bars[] = {globalRect(window->menuBar()), globalRect(window->docToolbar()),
                          globalRect(window->docTabView())};
    const std::vector<QRect> shown = frames();
    for (size_t i = 0; i < shown.size(); ++i) {
      if (shown[i].isEmpty()) continue;
      SCOPED_TRACE(palettes[i]->metaObject()->className());
      for (const QRect& bar : bars) {
        ASSERT_FALSE(bar.isEmpty());
        EXPECT_FALSE(shown[i].intersects(bar)) << "bar at " << bar.y() << ", " << bar.height() << " high";
      }
      EXPECT_TRUE(area.contains(shown[i]));
      for (size_t j = i + 1; j < shown.size(); ++j) EXPECT_FALSE(shown[i].intersects(shown[j])) << j;
    }
  };

  // The opening places, then the editing tools 10 up into the drawing tools' lowest row.
  for (const int overlap : {0, 10}) {
    SCOPED_TRACE(overlap);
    const QPoint shift(0, overlap > 0 ? overlap + 5 : 0);
    edit().move(edit().pos() - shift);
    settle();
    const std::vector<QRect> before = frames();
    ASSERT_EQ(plan().frameGeometry().intersects(edit().frameGeometry()), overlap > 0);
    maximize();
    expectClear("maximized");
    // Minimized and shown again, still maximized: the same.
    window->showMinimized();
    settle();
    window->setWindowState(Qt::WindowMaximized);
    settle();
    ASSERT_TRUE(window->isMaximized());
    ASSERT_TRUE(plan().isVisible() && edit().isVisible());
    expectClear("maximized again");
    restore();
    EXPECT_EQ(frames(), before);
    for (const QRect& frame : frames()) EXPECT_FALSE(frame.intersects(globalRect(window->docTabView())));
    // Back at the places the window opened beside.
    edit().move(edit().pos() + shift);
    settle();
  }

  // Moved by the user while the window is maximized: that palette stays, the others go back.
  const std::vector<QRect> before = frames();
  maximize();
  const QPoint userPlace = edit().frameGeometry().topLeft() + QPoint(300, 100);
  edit().move(userPlace);
  settle();
  restore();
  std::vector<QRect> expected = before;
  expected[1].moveTopLeft(userPlace);
  EXPECT_EQ(frames(), expected);
}

// The inspector opens tall enough for its pane: the wall tool's shows whole, not just its
// first row under the content library.
TEST_F(PalettePlacement, TheInspectorOpensTallEnoughForItsPane) {
  defaults.setBool("ShowInspectorPanel", true);
  defaults.setBool("ShowContentPanel", true);
  launch();
  window->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
  window->setWindowState(Qt::WindowMaximized);
  settle();
  InspectorController* inspector = InspectorController::sharedInspectorController();
  QDockWidget* dock = inspector->panel();
  ASSERT_NE(dock, nullptr);
  ASSERT_TRUE(dock->isVisible());
  gCurTool = kToolExteriorWall;
  inspectors::UpdateInspectorPropertiesState(false);
  settle();
  const QWidget* pane = inspector->currentPane();
  ASSERT_NE(pane, nullptr);
  ASSERT_NE(pane, inspector->noPropertiesView());
  auto* scroll = dock->findChild<QScrollArea*>(QStringLiteral("InspectorScrollView"));
  ASSERT_NE(scroll, nullptr);
  EXPECT_GE(scroll->viewport()->height(), pane->height());

  // Dragged down to its title and closed, it opens again tall enough.
  window->resizeDocks({dock}, {90}, Qt::Vertical);
  settle();
  ASSERT_LT(scroll->viewport()->height(), pane->height());
  AppController::toggleInspectorPanel();
  settle();
  ASSERT_TRUE(dock->isHidden());
  AppController::toggleInspectorPanel();
  settle();
  ASSERT_TRUE(dock->isVisible());
  EXPECT_GE(scroll->viewport()->height(), pane->height());
}

