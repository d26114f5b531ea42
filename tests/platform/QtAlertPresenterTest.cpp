// Alert sheets on a window: the chosen button's index reaches the caller.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <QPushButton>

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
  request.buttons = {"Save", "Cancel", "Don't Save"};
  ShowAlertWithButtons(request, [&](int index) { answer = index; });
  QMessageBox* box = presenter.openSheet();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->windowModality(), Qt::WindowModal);
  EXPECT_EQ(box->parentWidget(), &window);
  EXPECT_EQ(box->text(), QString("Save changes?"));
  EXPECT_EQ(answer, -1);  // a sheet answers when it ends

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
  SetAlertPresenter(nullptr);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
