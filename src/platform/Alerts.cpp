// The alert entry points; the presenter is installed by the front end or a test.
#include "platform/Alerts.h"
#include "platform/Strings.h"

#include <set>
#include <utility>

namespace {
AlertPresenter* sPresenter = nullptr;
// The texts shown while a RepeatedAlertsOnce lives on this thread; null when none does.
thread_local std::set<std::pair<std::string, std::string>>* sShownOnce = nullptr;
uint64_t sAlertsAsked = 0;
}

RepeatedAlertsOnce::RepeatedAlertsOnce() : outer_(sShownOnce == nullptr) {
  if (outer_) sShownOnce = new std::set<std::pair<std::string, std::string>>;
}

RepeatedAlertsOnce::~RepeatedAlertsOnce() {
  if (!outer_) return;
  delete sShownOnce;
  sShownOnce = nullptr;
}

void SetAlertPresenter(AlertPresenter* presenter) { sPresenter = presenter; }
AlertPresenter* CurrentAlertPresenter() { return sPresenter; }

uint64_t AlertsAskedCount() { return sAlertsAsked; }

void ShowAlertWithButtons(const AlertRequest& request, std::function<void(int)> done) {
  ++sAlertsAsked;
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
  if (sShownOnce && !sShownOnce->emplace(message, informative).second) return;
  ShowAlertWithButtons(r, nullptr);
}
