// Alerts as QMessageBox: a window-modal sheet on the design window, or an
// application-modal alert.
#pragma once
#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "platform/Alerts.h"

class QtAlertPresenter : public AlertPresenter {
 public:
  // `window` names the design window that carries sheets (null when none is open).
  explicit QtAlertPresenter(std::function<QWidget*()> window = {});

  // A sheet opens with open() and answers when it ends; without a window, or when
  // request.sheet is false, the alert runs exec() and answers at once.
  void present(const AlertRequest& request, std::function<void(int)> done) override;

  // The sheet currently open (null when none); lets tests press its buttons.
  QMessageBox* openSheet() const { return sheet_; }

 private:
  std::function<QWidget*()> window_;
  QPointer<QMessageBox> sheet_;
};
