// The design window's menus as the user opens them on a real X display: the Window menu's
// show/hide items follow the palettes, and texts holding '&' show it as written.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "app/AppTestSupport.h"
#include "app/EditToolPaletteController.h"
#include "app/LiveViewController.h"
#include "app/PlanToolPaletteController.h"
#include "app/PlanViewActions.h"
#include "app/Win32EventHandler.h"
#include "files/Undo.h"
#include "inspectors/InspectorController.h"
#include "inspectors/SnapPaletteController.h"
#include "model/CommandCodes.h"

namespace {

class DesignMenus : public DesignWindowTest {
 protected:
  QMenu* menuTitled(const QString& title) {
    for (QAction* a : window->menuBar()->actions())
      if (a->menu() && a->text() == title) return a->menu();
    return nullptr;
  }
  // Opens the menu as a click on its title does, waits until it is on the screen and closes
  // it again.
  void openAndClose(QMenu* menu) {
    menu->popup(window->mapToGlobal(QPoint(20, 20)));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(menu));
    menu->hide();
    QApplication::processEvents();
  }
  QAction* item(QMenu* menu, int32_t tag) {
    for (QAction* a : menu->actions())
      if (a->data().toInt() == tag) return a;
    return nullptr;
  }
};

TEST_F(DesignMenus, WindowMenuSaysWhetherThePalettesAreShown) {
  showPlanView(1);
  QMenu* windows = menuTitled("Window");
  ASSERT_NE(windows, nullptr);
  ToolPaletteController& edit = ToolPaletteController::sharedToolPaletteController();
  PlanToolPaletteController& plan = PlanToolPaletteController::sharedPlanToolPaletteController();
  edit.show();
  plan.hide();
  openAndClose(windows);
  EXPECT_EQ(item(windows, kCmdToggleEditingTools)->text(), QString("Hide Editing Tools"));
  EXPECT_EQ(item(windows, kCmdToggleDrawingTools)->text(), QString("Show Drawing Tools"));
  edit.hide();
  plan.show();
  openAndClose(windows);
  EXPECT_EQ(item(windows, kCmdToggleEditingTools)->text(), QString("Show Editing Tools"));
  EXPECT_EQ(item(windows, kCmdToggleDrawingTools)->text(), QString("Hide Drawing Tools"));
  plan.hide();
}

// Every item of the Window menu names what its window is, shown or hidden, whatever the
// others are; choosing it turns that window, and only that one, the other way.
TEST_F(DesignMenus, EachWindowItemFollowsItsOwnWindowAndTurnsIt) {
  showPlanView(1);
  QMenu* windows = menuTitled("Window");
  ASSERT_NE(windows, nullptr);
  QWidget* inspector = InspectorController::sharedInspectorController()->panel();
  ASSERT_NE(inspector, nullptr);
  const struct {
    int32_t tag;
    const char* name;
    QWidget* widget;
  } items[] = {{kCmdToggleLiveViewPanel, "3D View", LiveViewController::sharedLiveViewController()->window()},
               {kCmdToggleEditingTools, "Editing Tools", &ToolPaletteController::sharedToolPaletteController()},
               {kCmdToggleDrawingTools, "Drawing Tools", &PlanToolPaletteController::sharedPlanToolPaletteController()},
               {kCmdToggleInspector, "Inspector", inspector},
               {kCmdToggleSnapTools, "Snap Tools", &SnapPaletteController::sharedSnapPaletteController()}};
  auto title = [](bool shown, const char* name) { return QString(shown ? "Hide " : "Show ") + name; };
  for (const auto& chosen : items) {
    for (const bool shown : {true, false}) {
      SCOPED_TRACE(std::string(chosen.name) + (shown ? " shown" : " hidden"));
      for (const auto& other : items) other.widget->setVisible(&other == &chosen ? shown : !shown);
      openAndClose(windows);
      QAction* action = item(windows, chosen.tag);
      ASSERT_NE(action, nullptr);
      EXPECT_EQ(action->text(), title(shown, chosen.name));
      action->trigger();
      QApplication::processEvents();
      // The chosen window turned; the others, already the other way, stayed as they were.
      for (const auto& other : items) EXPECT_EQ(!other.widget->isHidden(), !shown) << other.name;
      openAndClose(windows);
      EXPECT_EQ(action->text(), title(!shown, chosen.name));
    }
  }
  for (const auto& i : items) i.widget->hide();
}

// Qt takes a single '&' for the mark of a mnemonic: a text holding one must show it whole.
TEST_F(DesignMenus, AmpersandsShowAsWritten) {
  showPlanView(1);
  QMenu* view = menuTitled("View");
  ASSERT_NE(view, nullptr);
  QAction* callouts = item(view, kTagToggleCallouts);
  ASSERT_NE(callouts, nullptr);
  openAndClose(view);
  const QString shown = callouts->text();
  EXPECT_EQ(shown, QString("Show Window && Door Callouts"));
  EXPECT_EQ(callouts->iconText(), QString("Show Window & Door Callouts"));
  callouts->trigger();
  openAndClose(view);
  EXPECT_EQ(callouts->iconText(), QString("Hide Window & Door Callouts"));
  // The undo step keeps its own name; the Edit menu shows it whole.
  EXPECT_EQ(doc->undoManager().undoActionName(), "Window & Door Callouts");
  QMenu* edit = menuTitled("Edit");
  ASSERT_NE(edit, nullptr);
  openAndClose(edit);
  EXPECT_EQ(window->undoAction()->iconText(), QString("Undo Window & Door Callouts"));
}

}  // namespace
