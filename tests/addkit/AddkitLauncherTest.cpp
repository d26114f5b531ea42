// The launcher panel: its rows, the buttons by the selected plug-in's state, launching,
// double clicks, the close question and a launch that fails.
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "AddkitTestSupport.h"
#include "platform/Session.h"

namespace {

namespace fs = std::filesystem;

void Select(AddkitLauncherController& launcher, int row) {
  QTableView* table = launcher.akEntryTableView();
  table->selectionModel()->select(table->model()->index(row, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

}  // namespace

TEST_F(AddkitTest, WithoutPluginsTheTableIsEmptyAndTheButtonsStay) {
  buildList();
  AddkitLauncherController& launcher = AddkitLauncherController::sharedAddkitLauncherController();
  EXPECT_EQ(launcher.akEntryTableView()->model()->rowCount(), 0);
  EXPECT_TRUE(launcher.akEntryControllers().empty());
  const bool launch = launcher.launchButton()->isEnabled(), close = launcher.closeAddkitButton()->isEnabled();
  launcher.updateButtonStates();
  launcher.launchButtonChanged();
  launcher.doubleClickLaunchAddkit();
  launcher.closeAddkitButtonChanged();
  EXPECT_EQ(launcher.launchButton()->isEnabled(), launch);
  EXPECT_EQ(launcher.closeAddkitButton()->isEnabled(), close);
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(AddkitTest, RowsShowEachPluginAndFollowItsLock) {
  install(131, "hang", "Cabinets");
  install(109, "hang", "Photos");
  buildList();
  AddkitLauncherController& launcher = AddkitLauncherController::sharedAddkitLauncherController();
  ASSERT_EQ(launcher.akEntryTableView()->model()->rowCount(), 2);
  ASSERT_EQ(launcher.akEntryControllers().size(), 2u);
  AddkitEntryController* cabinets = launcher.akEntryControllers()[0].get();
  ASSERT_EQ(cabinets->AKOwner(), entry(131));
  EXPECT_EQ(entry(131)->plugInViewController(), cabinets);
  EXPECT_EQ(cabinets->akNameText()->text(), "Cabinets");
  EXPECT_EQ(cabinets->akStatusText()->text(), "Available");
  EXPECT_EQ(cabinets->akDescriptionText()->text(), "The Cabinets test plug-in");
  EXPECT_FALSE(cabinets->akImageView()->pixmap().isNull());
  // Each row is hosted in the table.
  QWidget* hosted = launcher.akEntryTableView()->indexWidget(launcher.akEntryTableView()->model()->index(0, 0));
  ASSERT_NE(hosted, nullptr);
  EXPECT_EQ(cabinets->view()->parentWidget(), hosted);
  // The first row starts highlighted and selected; selecting the second moves the highlight.
  EXPECT_EQ(cabinets->akNameText()->palette().color(QPalette::WindowText), QColor(Qt::white));
  EXPECT_TRUE(launcher.akEntryTableView()->selectionModel()->isRowSelected(0, QModelIndex()));
  EXPECT_TRUE(launcher.launchButton()->isEnabled());
  Select(launcher, 1);
  EXPECT_EQ(cabinets->akNameText()->palette().color(QPalette::WindowText), QColor(Qt::black));
  EXPECT_EQ(launcher.akEntryControllers()[1]->akNameText()->palette().color(QPalette::WindowText), QColor(Qt::white));
  // A lock shows "Running" and turns the buttons; the photo view's Close Addkit stays off.
  entry(109)->setPlugInAvailable(false);
  entry(109)->setPlugInOwnerDocument(model);
  launcher.akEntryControllers()[1]->updateControls();
  launcher.updateButtonStates();
  EXPECT_EQ(launcher.akEntryControllers()[1]->akStatusText()->text(), "Running");
  EXPECT_FALSE(launcher.launchButton()->isEnabled());
  EXPECT_FALSE(launcher.closeAddkitButton()->isEnabled());
  Select(launcher, 0);
  entry(131)->setPlugInAvailable(false);
  entry(131)->setPlugInOwnerDocument(model);
  launcher.updateButtonStates();
  EXPECT_FALSE(launcher.launchButton()->isEnabled());
  EXPECT_TRUE(launcher.closeAddkitButton()->isEnabled());
  // Releasing the lock brings the row and the buttons back.
  AddkitDispatcher::sharedAddkitDispatcher().releaseLockForAddkit(entry(131));
  EXPECT_EQ(cabinets->akStatusText()->text(), "Available");
  EXPECT_TRUE(launcher.launchButton()->isEnabled());
  EXPECT_FALSE(launcher.closeAddkitButton()->isEnabled());
  AddkitDispatcher::sharedAddkitDispatcher().releaseLockForAddkit(entry(109));
}

TEST_F(AddkitTest, LaunchingFromThePanelCoversTheDesign) {
  install(131, "hang", "Cabinets");
  buildList();
  AddkitLauncherController& launcher = AddkitLauncherController::sharedAddkitLauncherController();
  Select(launcher, 0);
  launcher.launchButtonChanged();
  EXPECT_FALSE(entry(131)->plugInAvailable());
  EXPECT_EQ(entry(131)->plugInOwnerDocument(), model);
  EXPECT_EQ(launcher.result(), 1);
  EXPECT_EQ(launcher.akEntryControllers()[0]->akStatusText()->text(), "Running");
  ASSERT_NE(window->addkitProgressSheet(), nullptr);
  EXPECT_TRUE(window->addkitProgressSheet()->isVisible());
  ASSERT_TRUE(waitForFile(pluginFile("Cabinets", "listening")));
  // A double click on the running plug-in does nothing: no second process, no question.
  fs::remove(pluginFile("Cabinets", "ran"));
  launcher.doubleClickLaunchAddkit();
  QTest::qWait(500);
  EXPECT_FALSE(fs::exists(pluginFile("Cabinets", "ran")));
  EXPECT_TRUE(alerts.shown.empty());
  // Cancel in the close question keeps it running and the design locked.
  alerts.answer = 1;
  launcher.closeAddkitButtonChanged();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Are you sure you want to close 'Cabinets'?");
  EXPECT_EQ(alerts.shown[0].informative,
            "You will lose all unsaved settings in this Addkit if you choose to close it.");
  EXPECT_FALSE(entry(131)->plugInAvailable());
  EXPECT_EQ(AddkitDispatcher::sharedAddkitDispatcher().addkitEntryForDocument(model), entry(131));
  EXPECT_TRUE(window->addkitProgressSheet()->isVisible());
  // Close Addkit: the sheet ends and the plug-in is asked to quit.
  alerts.answer = 0;
  launcher.closeAddkitButtonChanged();
  EXPECT_TRUE(entry(131)->plugInAvailable());
  EXPECT_FALSE(window->addkitProgressSheet()->isVisible());
  EXPECT_TRUE(waitForFile(pluginFile("Cabinets", "asked-to-close")));
  // Cancel ends the panel's run with -1.
  launcher.cancelButtonChanged();
  EXPECT_EQ(launcher.result(), -1);
}

TEST_F(AddkitTest, AFailedLaunchSaysSoAndKeepsThePanel) {
  install(140, "update", "Broken", "-", /*program=*/false);
  buildList();
  AddkitLauncherController& launcher = AddkitLauncherController::sharedAddkitLauncherController();
  launcher.show();
  Select(launcher, 0);
  launcher.doubleClickLaunchAddkit();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to launch Broken");
  EXPECT_EQ(alerts.shown[0].informative, "Please make sure the Addkit is installed correctly.");
  EXPECT_TRUE(entry(140)->plugInAvailable());
  EXPECT_TRUE(launcher.isVisible());
  EXPECT_EQ(launcher.akEntryControllers()[0]->akStatusText()->text(), "Available");
  launcher.hide();
}

TEST_F(AddkitTest, ThePhotoViewFromThePanelOpensTheImagePanel) {
  install(109, "update", "Photos");
  buildList();
  AddkitLauncherController& launcher = AddkitLauncherController::sharedAddkitLauncherController();
  Select(launcher, 0);
  bool asked = false;
  bool lockedWhileAsked = false;
  ZLKDocumentView::choosePhotoViewImagePaths = [&] {
    asked = true;
    lockedWhileAsked = !entry(109)->plugInAvailable();
    return std::vector<std::string>{};
  };
  launcher.launchButtonChanged();
  EXPECT_TRUE(asked);
  EXPECT_TRUE(lockedWhileAsked);
  EXPECT_TRUE(entry(109)->plugInAvailable());
  EXPECT_TRUE(window->addkitProgressSheet() == nullptr || !window->addkitProgressSheet()->isVisible());
}

TEST_F(AddkitTest, ADoubleClickOnARowLaunchesOnlyAnAvailablePlugin) {
  install(109, "update", "Photos");
  buildList();
  AddkitLauncherController& launcher = AddkitLauncherController::sharedAddkitLauncherController();
  launcher.resize(500, 300);
  launcher.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&launcher));
  QTableView* table = launcher.akEntryTableView();
  const QPoint row = table->visualRect(table->model()->index(0, 0)).center();
  int asked = 0;
  ZLKDocumentView::choosePhotoViewImagePaths = [&] {
    ++asked;
    return std::vector<std::string>{};
  };
  // The row's widgets let the clicks through to the table: a click selects, a double click
  // launches.
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row);
  EXPECT_EQ(table->selectionModel()->selectedRows().size(), 1);
  QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row);
  EXPECT_EQ(asked, 1);
  // While it runs a double click does nothing.
  launcher.show();
  Select(launcher, 0);
  entry(109)->setPlugInAvailable(false);
  entry(109)->setPlugInOwnerDocument(model);
  QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(alerts.shown.empty());
  AddkitDispatcher::sharedAddkitDispatcher().releaseLockForAddkit(entry(109));
  launcher.hide();
}
