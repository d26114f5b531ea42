// The alert entry points: alerts a scope has already shown with the lone OK button are not shown
// again, alerts with buttons always are, and without a presenter the default button answers.
#include <gtest/gtest.h>

#include "platform/Alerts.h"

namespace {

TEST(Alerts, RepeatedOkAlertsAreShownOnceWhileAScopeLives) {
  ScopedAlertRecorder recorder;
  const uint64_t asked = AlertsAskedCount();
  const std::string message = "Walls changed", informative = "Parts were removed.";
  ShowAlert(message, informative);
  ShowAlert(message, informative, false);  // no scope: every time
  {
    RepeatedAlertsOnce once;
    ShowAlert(message, informative);
    ShowAlert(message, informative);
    ShowAlert(message, informative, false);  // the same texts, though not on a sheet
    ShowAlert(message, "Other parts were removed.");  // texts that differ in either half are shown
    ShowAlert("Roofs changed", informative);
    {
      RepeatedAlertsOnce inner;  // shares the outer scope's record
      ShowAlert(message, informative);
      ShowAlert("Floors changed", "");
    }
    ShowAlert("Floors changed", "");
    AlertRequest withButtons{message, informative, {"Replace", "Cancel"}, true};
    ShowAlertWithButtons(withButtons, nullptr);
    ShowAlertWithButtons(withButtons, nullptr);
  }
  ShowAlert(message, informative);
  struct Shown {
    std::string message, informative;
    std::vector<std::string> buttons;
    bool sheet;
  } expected[] = {
      {message, informative, {"OK"}, true},
      {message, informative, {"OK"}, false},
      {message, informative, {"OK"}, true},
      {message, "Other parts were removed.", {"OK"}, true},
      {"Roofs changed", informative, {"OK"}, true},
      {"Floors changed", "", {"OK"}, true},
      {message, informative, {"Replace", "Cancel"}, true},
      {message, informative, {"Replace", "Cancel"}, true},
      {message, informative, {"OK"}, true},
  };
  ASSERT_EQ(recorder.shown.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(recorder.shown[i].message, expected[i].message);
    EXPECT_EQ(recorder.shown[i].informative, expected[i].informative);
    EXPECT_EQ(recorder.shown[i].buttons, expected[i].buttons);
    EXPECT_EQ(recorder.shown[i].sheet, expected[i].sheet);
  }
  EXPECT_EQ(AlertsAskedCount() - asked, std::size(expected));  // those not shown were not asked
}

TEST(Alerts, WithoutAPresenterTheDefaultButtonAnswersAtOnce) {
  AlertPresenter* previous = CurrentAlertPresenter();
  SetAlertPresenter(nullptr);
  const uint64_t asked = AlertsAskedCount();
  int answer = -1;
  ShowAlertWithButtons({"Save changes?", "", {"Save", "Cancel"}, true}, [&](int index) { answer = index; });
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(AlertsAskedCount(), asked + 1);
  SetAlertPresenter(previous);
}

}  // namespace
