// The tool palettes on a real X display: a click in a palette leaves the design window's
// keyboard and shortcuts live.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include "app/AppTestSupport.h"
#include "app/EditToolPaletteController.h"
#include "app/PlanToolPaletteController.h"
#include "app/x11/SettleWindows.h"
#include "files/Undo.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"

namespace {

class PaletteFocus : public DesignWindowTest {
 protected:
  // The design window shown and active, as after the user clicked into it.
  void showActiveDesignWindow() {
    showPlanView(1);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  }
  // A click on a palette button, followed by what a click-to-focus window manager does to the
  // window clicked on: it asks for the palette to be activated.
  void clickInPalette(QWidget* palette, QToolButton* button) {
    palette->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(palette));
    QTest::mouseClick(button, Qt::LeftButton);
    palette->activateWindow();
    // A change of keyboard focus would be in before the display server answers.
    EXPECT_TRUE(SettleWindows());
  }
  // A key as the window system delivers it: to the window that has the keyboard.
  void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    // The window's state poll keeps its shortcut items current: the item is waited for.
    const QKeySequence typed(QKeyCombination(modifiers, key));
    QAction* item = nullptr;
    for (QAction* a : window->findChildren<QAction*>())
      if (a->shortcuts().contains(typed)) item = a;
    ASSERT_NE(item, nullptr) << typed.toString().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([item] { return item->isEnabled(); })) << typed.toString().toStdString();
    QWindow* focus = QGuiApplication::focusWindow();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key, modifiers);
    QApplication::processEvents();
  }
};

TEST_F(PaletteFocus, DeleteAfterAClickInTheEditingToolsDeletesTheSelection) {
  showActiveDesignWindow();
  addSelectedSquare();
  StoreUndo("Add Square");
  ASSERT_EQ(objectCount(), 1);
  ToolPaletteController& edit = ToolPaletteController::sharedToolPaletteController();
  clickInPalette(&edit, edit.cellWithTool(kToolSelection));
  EXPECT_EQ(QGuiApplication::focusWindow(), window->windowHandle());
  pressKey(Qt::Key_Delete);
  EXPECT_EQ(objectCount(), 0);
  pressKey(Qt::Key_Z, Qt::ControlModifier);  // undo is live as well
  EXPECT_EQ(objectCount(), 1);
  edit.hide();
}

TEST_F(PaletteFocus, DeleteAfterAClickInTheDrawingToolsDeletesTheSelection) {
  showActiveDesignWindow();
  addSelectedSquare();
  PlanToolPaletteController& plan = PlanToolPaletteController::sharedPlanToolPaletteController();
  gCurToolSet = kPlanLandscape;
  plan.loadToolPaletteForPlan(gCurToolSet);
  QToolButton* button = plan.cell(gCurToolSet, 0);
  ASSERT_NE(button, nullptr);
  clickInPalette(&plan, button);
  EXPECT_EQ(QGuiApplication::focusWindow(), window->windowHandle());
  ASSERT_EQ(objectCount(), 1);
  // Choosing a drawing tool may clear the selection; what counts here is where the keys go.
  SelectObj(model->itsCurLayer->firstObject, kSelectOn, 1);
  ASSERT_TRUE(IsObjectSelected(model->itsCurLayer->firstObject));
  pressKey(Qt::Key_Delete);
  EXPECT_EQ(objectCount(), 0);
  plan.hide();
  gCurTool = kToolSelection;
}

}  // namespace
