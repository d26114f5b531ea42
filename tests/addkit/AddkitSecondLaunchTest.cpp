// A second plug-in launched from the panel while the first still runs on the same design:
// the buttons of the first, a middle and the last row follow each row's own state, and the
// close question names the selected plug-in.
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "AddkitTestSupport.h"

namespace {

namespace fs = std::filesystem;

void SelectRow(AddkitLauncherController& launcher, int row) {
  QTableView* table = launcher.akEntryTableView();
  table->selectionModel()->select(table->model()->index(row, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

}  // namespace

TEST_F(AddkitTest, ASecondPluginFromThePanelWhileTheFirstRuns) {
  install(140, "hang", "Alpha");
  install(141, "hang", "Middle");
  install(142, "hang", "Zeta");
  buildList();
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  AddkitLauncherController& launcher = AddkitLauncherController::sharedAddkitLauncherController();
  ASSERT_EQ(launcher.akEntryControllers().size(), 3u);
  int rowOf[3] = {-1, -1, -1};
  for (int row = 0; row < 3; ++row) rowOf[launcher.akEntryControllers()[size_t(row)]->AKOwner()->plugInID() - 140] = row;
  for (int r : rowOf) ASSERT_GE(r, 0);
  const int first = rowOf[0], middle = rowOf[1], last = rowOf[2];
  auto buttons = [&](int row) {
    SelectRow(launcher, row);
    launcher.updateButtonStates();
    return std::pair{launcher.launchButton()->isEnabled(), launcher.closeAddkitButton()->isEnabled()};
  };
  auto status = [&](int row) { return launcher.akEntryControllers()[size_t(row)]->akStatusText()->text().toStdString(); };

  SelectRow(launcher, first);
  launcher.launchButtonChanged();
  ASSERT_TRUE(waitForFile(pluginFile("Alpha", "listening")));
  EXPECT_EQ(entry(140)->plugInOwnerDocument(), model);
  EXPECT_EQ(buttons(first), std::pair(false, true));
  EXPECT_EQ(buttons(middle), std::pair(true, false));
  EXPECT_EQ(buttons(last), std::pair(true, false));

  // The last row launches beside the running one; both hold the design.
  launcher.launchButtonChanged();
  ASSERT_TRUE(waitForFile(pluginFile("Zeta", "listening")));
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(entry(142)->plugInOwnerDocument(), model);
  EXPECT_EQ(entry(140)->plugInOwnerDocument(), model);
  EXPECT_TRUE(entry(141)->plugInAvailable());
  EXPECT_EQ(status(first), "Running");
  EXPECT_EQ(status(middle), "Available");
  EXPECT_EQ(status(last), "Running");
  EXPECT_EQ(buttons(first), std::pair(false, true));
  EXPECT_EQ(buttons(middle), std::pair(true, false));
  EXPECT_EQ(buttons(last), std::pair(false, true));
  // A double click on a running row starts no second copy of it.
  fs::remove(pluginFile("Zeta", "ran"));
  SelectRow(launcher, last);
  launcher.doubleClickLaunchAddkit();
  EXPECT_FALSE(fs::exists(pluginFile("Zeta", "ran")));

  // Cancel in the close question keeps both; the question names the selected one.
  alerts.answer = 1;
  SelectRow(launcher, last);
  launcher.closeAddkitButtonChanged();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Are you sure you want to close 'Zeta'?");
  EXPECT_FALSE(entry(142)->plugInAvailable());
  EXPECT_FALSE(entry(140)->plugInAvailable());
  // Close Addkit on the last row ends only that one: the first keeps the design, which
  // stays covered, now in the first one's name.
  alerts.answer = 0;
  launcher.closeAddkitButtonChanged();
  EXPECT_TRUE(entry(142)->plugInAvailable());
  EXPECT_TRUE(waitForFile(pluginFile("Zeta", "asked-to-close")));
  EXPECT_FALSE(entry(140)->plugInAvailable());
  EXPECT_EQ(dispatcher.addkitEntryForDocument(model), entry(140));
  ASSERT_NE(window->addkitProgressSheet(), nullptr);
  EXPECT_TRUE(window->addkitProgressSheet()->isVisible());
  EXPECT_EQ(window->addkitStatusText()->text().toStdString(), "'Alpha' is currently using this design.");
  EXPECT_EQ(status(first), "Running");
  EXPECT_EQ(status(last), "Available");
  EXPECT_EQ(buttons(last), std::pair(true, false));
  QTest::qWait(300);
  EXPECT_FALSE(fs::exists(pluginFile("Alpha", "asked-to-close")));
  EXPECT_FALSE(entry(140)->plugInAvailable());

  // Then the first row: the design is free and its sheet gone.
  alerts.shown.clear();
  SelectRow(launcher, first);
  launcher.closeAddkitButtonChanged();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Are you sure you want to close 'Alpha'?");
  EXPECT_TRUE(entry(140)->plugInAvailable());
  EXPECT_EQ(dispatcher.addkitEntryForDocument(model), nullptr);
  EXPECT_FALSE(window->addkitProgressSheet()->isVisible());
  EXPECT_TRUE(waitForFile(pluginFile("Alpha", "asked-to-close")));
  EXPECT_EQ(buttons(first), std::pair(true, false));
}
