// QMessageBox behind the alert interface; button indexes follow the request's order.
#include "platform/qt/QtAlertPresenter.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <memory>
#include <vector>

namespace {

// Index of the clicked button; Escape or closing the box counts as the escape button.
int ChosenIndex(QMessageBox* box, const std::vector<QAbstractButton*>& buttons) {
  QAbstractButton* clicked = box->clickedButton();
  if (!clicked) clicked = box->escapeButton();
  for (size_t i = 0; i < buttons.size(); ++i)
    if (buttons[i] == clicked) return int(i);
  return 0;
}

}  // namespace

QtAlertPresenter::QtAlertPresenter(std::function<QWidget*()> window) : window_(std::move(window)) {}

void QtAlertPresenter::present(const AlertRequest& request, std::function<void(int)> done) {
  QWidget* parent = window_ ? window_() : nullptr;
  bool asSheet = request.sheet && parent;

  auto* box = new QMessageBox(parent);
  box->setIcon(QMessageBox::Warning);
  box->setText(QString::fromStdString(request.message));
  if (!request.informative.empty())
    box->setInformativeText(QString::fromStdString(request.informative));

  std::vector<std::string> titles = request.buttons;
  if (titles.empty()) titles.push_back("OK");
  auto buttons = std::make_shared<std::vector<QAbstractButton*>>();
  for (size_t i = 0; i < titles.size(); ++i) {
    QString title = QString::fromStdString(titles[i]);
    bool cancel = title.compare(QStringLiteral("Cancel"), Qt::CaseInsensitive) == 0;
    QMessageBox::ButtonRole role = i == 0 ? QMessageBox::AcceptRole
                                   : cancel ? QMessageBox::RejectRole
                                            : QMessageBox::DestructiveRole;
    QPushButton* b = box->addButton(title, role);
    buttons->push_back(b);
    if (cancel) box->setEscapeButton(b);
  }
  box->setDefaultButton(static_cast<QPushButton*>((*buttons)[0]));
  if (titles.size() == 1) box->setEscapeButton((*buttons)[0]);

  if (!asSheet) {
    box->exec();
    int index = ChosenIndex(box, *buttons);
    delete box;
    if (done) done(index);
    return;
  }

  box->setWindowModality(Qt::WindowModal);
  box->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(box, &QMessageBox::finished, box, [box, buttons, done = std::move(done)](int) {
    int index = ChosenIndex(box, *buttons);
    if (done) done(index);
  });
  sheet_ = box;
  box->open();
}
