// The alert entry points; the presenter is installed by the front end or a test.
#include "platform/Alerts.h"
#include "platform/Strings.h"

namespace {
AlertPresenter* sPresenter = nullptr;
}

void SetAlertPresenter(AlertPresenter* presenter) { sPresenter = presenter; }
AlertPresenter* CurrentAlertPresenter() { return sPresenter; }

void ShowAlertWithButtons(const AlertRequest& request, std::function<void(int)> done) {
  AlertRequest localized = request;
  localized.message = LocalizedString(request.message);
  localized.informative = LocalizedString(request.informative);
  if (localized.buttons.empty()) localized.buttons.push_back(LocalizedString("OK"));
  else
    for (auto& b : localized.buttons) b = LocalizedString(b);
  if (!sPresenter) {
    if (done) done(0);
    return;
  }
  sPresenter->present(localized, std::move(done));
}

void ShowAlert(const std::string& message, const std::string& informative, bool sheet) {
  AlertRequest r;
  r.message = message;
  r.informative = informative;
  r.sheet = sheet;
  ShowAlertWithButtons(r, nullptr);
}
