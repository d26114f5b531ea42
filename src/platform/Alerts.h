// Alerts the core and the front end show: one small interface so that tests can
// record what was asked and choose the button.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct AlertRequest {
  std::string message;
  std::string informative;
  std::vector<std::string> buttons;  // first is the default; empty means "OK"
  bool sheet = true;                 // document-modal sheet on the design window
};

class AlertPresenter {
 public:
  virtual ~AlertPresenter() = default;
  // Shows the alert; returns the index of the button chosen (0 = default).
  // A sheet may answer later: `done` is called with the index when it ends.
  virtual void present(const AlertRequest& request, std::function<void(int)> done) = 0;
};

// Installs the presenter (null restores the silent default, which answers 0 at once).
void SetAlertPresenter(AlertPresenter* presenter);
AlertPresenter* CurrentAlertPresenter();

// Shows an alert with an "OK" button (message and informative text are looked up
// in the string table).
void ShowAlert(const std::string& message, const std::string& informative = {}, bool sheet = true);
// Shows an alert with buttons and calls `done` with the chosen index.
void ShowAlertWithButtons(const AlertRequest& request, std::function<void(int)> done);
// How many alerts were asked for so far (with or without a presenter), for a caller that must
// know whether a step it may repeat told the user anything.
uint64_t AlertsAskedCount();

// While one lives, an alert with the lone "OK" button whose texts match one already shown in
// its life is not shown again: a read that removes parts from many walls tells the user once.
// Alerts with buttons or an answer to wait for are always shown. Nested ones share the outer.
class RepeatedAlertsOnce {
 public:
  RepeatedAlertsOnce();
  ~RepeatedAlertsOnce();
  RepeatedAlertsOnce(const RepeatedAlertsOnce&) = delete;
  RepeatedAlertsOnce& operator=(const RepeatedAlertsOnce&) = delete;

 private:
  bool outer_;
};

// Records every alert and answers with a chosen button; for tests.
class RecordingAlertPresenter : public AlertPresenter {
 public:
  std::vector<AlertRequest> shown;
  int answer = 0;
  void present(const AlertRequest& request, std::function<void(int)> done) override {
    shown.push_back(request);
    if (done) done(answer);
  }
  bool sawMessage(const std::string& text) const {
    for (const auto& a : shown)
      if (a.message == text || a.informative == text) return true;
    return false;
  }
};

// Installs a recorder for the life of the object.
class ScopedAlertRecorder : public RecordingAlertPresenter {
 public:
  ScopedAlertRecorder() : previous_(CurrentAlertPresenter()) { SetAlertPresenter(this); }
  ~ScopedAlertRecorder() override { SetAlertPresenter(previous_); }
 private:
  AlertPresenter* previous_;
};
