// The fixture of the sheet tests: a design window with its design, the sheet attached to
// it, and the undo step the last action stored.
#pragma once
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/PlanViewActions.h"
#include "app/Win32EventHandler.h"
#include "app/ZLKDocumentView.h"
#include "inspectors/SheetController.h"
#include "inspectors/ValueFields.h"
#include "model/DocumentModel.h"
#include "model/Records.h"
#include "model/Services.h"
#include "platform/Alerts.h"
#include "tools/ToolCodes.h"

// Presses OK of the sheet. A sheet whose OK refused an entry stays open (its alert says why);
// it is then closed with Cancel, as the user leaves it.
inline void PressOkThenCancelIfKept(QWidget* window, SheetController* s) {
  if (!s) return;
  s->okButton()->click();
  if (SheetController::attachedSheet(window) == s) s->cancelButton()->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class SheetTest : public DesignWindowTest {
 protected:
  void afterDocument() override {
    if (doc) doc->undoManager().removeAllActions();
  }
  void beforeClosing() override {
    if (SheetController* s = SheetController::attachedSheet(window)) s->dismissSheet(0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // The one wall of the current floor, found again after each step that reads the design back.
  Objex* theOnlyWall() const {
    Objex* found = nullptr;
    int walls = 0;
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next)
      if (o->type == kObjWall) found = o, ++walls;
    EXPECT_EQ(walls, 1);
    return found;
  }

  // Opens a sheet the way its menu item does.
  void choose(int32_t tag) {
    gCurDocument = model;
    window->planViewActions().perform(tag);
  }
  template <class T>
  T* sheet() const {
    return qobject_cast<T*>(SheetController::attachedSheet(window));
  }
  // Presses OK (then Cancel when a refused entry kept the sheet) or Cancel of the attached sheet.
  void ok() {
    SheetController* s = SheetController::attachedSheet(window);
    ASSERT_NE(s, nullptr);
    PressOkThenCancelIfKept(window, s);
  }
  void cancel() {
    SheetController* s = SheetController::attachedSheet(window);
    ASSERT_NE(s, nullptr);
    s->cancelButton()->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  std::string lastUndo() const { return doc->undoManager().undoActionName(); }
  bool anyUndo() const { return doc->undoManager().canUndo(); }
  // Types into a field and leaves it.
  static void type(QLineEdit* field, const QString& text) {
    field->setText(text);
    Q_EMIT field->editingFinished();
  }
};

// A sheet test whose tools reach the sheets through the running program's plan view.
class PlanViewSheetTest : public SheetTest {
 protected:
  void afterDocument() override {
    SheetTest::afterDocument();
    InstallSheetHooks();
    view = showPlanView(2);
  }
  void beforeClosing() override {
    gCurTool = kToolSelection;
    SheetTest::beforeClosing();
  }
  QPoint at(float x, float z) const { return WidgetPointOf(view, x, z); }
  ZLKDocumentView* view = nullptr;
};
