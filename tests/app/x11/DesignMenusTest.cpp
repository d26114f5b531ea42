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
#include "app/PlanToolPaletteController.h"
#include "app/PlanViewActions.h"
#include "app/Win32EventHandler.h"
#include "files/Undo.h"
#include "model/CommandCodes.h"

namespace {

class DesignMenus : public DesignWindowTest {
 protected:
  QMenu* menuTitled(const QString& title) {
    for (QAction* a : window->menuBar()->actions())
      if (a->menu() && a->text() == title) return a->menu();
    return nullptr;
  }
  // Opens the menu as a click on its title does, lets it settle and closes it again.
  void openAndClose(QMenu* menu) {
    menu->popup(window->mapToGlobal(QPoint(20, 20)));
    QTest::qWait(50);
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
