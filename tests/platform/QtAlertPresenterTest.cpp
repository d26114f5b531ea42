// Alert sheets on a window: the chosen button's index reaches the caller.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <QPushButton>
#include <QTimer>

#include "platform/qt/QtAlertPresenter.h"
#include "QtTestApplication.h"

namespace {

TEST(QtAlertPresenter, SheetAnswersWithTheClickedButton) {
  TestApplication();
  QMainWindow window;
  window.show();
  QtAlertPresenter presenter([&window]() -> QWidget* { return &window; });
  SetAlertPresenter(&presenter);

  int answer = -1;
  AlertRequest request;
  request.message = "Save changes?";
  request.informative = "Your changes will be lost.";
  request.buttons = {"Save", "Cancel", "Don't Save"};
  ShowAlertWithButtons(request, [&](int index) { answer = index; });
  QMessageBox* box = presenter.openSheet();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->windowModality(), Qt::WindowModal);
  EXPECT_EQ(box->parentWidget(), &window);
  EXPECT_EQ(box->text(), QString("Save changes?"));
  EXPECT_EQ(box->informativeText(), QString("Your changes will be lost."));
  EXPECT_EQ(answer, -1);  // a sheet answers when it ends
  // The buttons in the request's order: the first the default, Cancel the one that cancels.
  const QMessageBox::ButtonRole roles[] = {QMessageBox::AcceptRole, QMessageBox::RejectRole,
                                           QMessageBox::DestructiveRole};
  for (int i = 0; i < 3; ++i) {
    QAbstractButton* b = nullptr;
    for (QAbstractButton* candidate : box->buttons())
      if (candidate->text() == QString::fromStdString(request.buttons[size_t(i)])) b = candidate;
    ASSERT_NE(b, nullptr) << i;
    EXPECT_EQ(box->buttonRole(b), roles[i]) << i;
    EXPECT_EQ(box->defaultButton() == b, i == 0) << i;
    EXPECT_EQ(box->escapeButton() == b, i == 1) << i;
  }

  QAbstractButton* dontSave = nullptr;
  for (QAbstractButton* b : box->buttons())
    if (b->text() == "Don't Save") dontSave = b;
  ASSERT_NE(dontSave, nullptr);
  dontSave->click();
  QApplication::processEvents();
  EXPECT_EQ(answer, 2);

  // Escape takes the Cancel button.
  ShowAlertWithButtons(request, [&](int index) { answer = index; });
  box = presenter.openSheet();
  ASSERT_NE(box, nullptr);
  box->reject();
  QApplication::processEvents();
  EXPECT_EQ(answer, 1);

  // A lone OK button answers Escape too.
  ShowAlertWithButtons(AlertRequest{"Done.", "", {}, true}, [&](int index) { answer = index; });
  box = presenter.openSheet();
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(box->buttons().size(), 1);
  EXPECT_EQ(box->buttons()[0]->text(), QString("OK"));
  answer = -1;
  box->reject();
  QApplication::processEvents();
  EXPECT_EQ(answer, 0);

  // Not as a sheet, though a window is open: the alert runs modal for the whole program and
  // answers before it returns.
  bool ranModal = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* modal = qobject_cast<QMessageBox*>(w); modal && modal->isVisible()) {
        ranModal = modal->windowModality() == Qt::ApplicationModal;
        for (QAbstractButton* b : modal->buttons())
          if (b->text() == "Don't Save") b->click();
      }
  });
  answer = -1;
  request.sheet = false;
  ShowAlertWithButtons(request, [&](int index) { answer = index; });
  EXPECT_EQ(answer, 2);
  EXPECT_TRUE(ranModal);
  QApplication::processEvents();
  SetAlertPresenter(nullptr);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
