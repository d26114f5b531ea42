// The application frame: start-up services and an empty design window that shows
// and closes.
#include <gtest/gtest.h>

#include <QImage>
#include <QMenuBar>
#include <QPointer>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

#include "AppTestSupport.h"
#include "app/ZLKDocumentScrollView.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "model/Globals.h"
#include "platform/Alerts.h"
#include "platform/TemporaryFolder.h"
#include "platform/UserDefaults.h"
#include "platform/qt/SystemLocale.h"

namespace {

TEST(ZLKApplication, StartsServicesWithTheCNumericLocale) {
  char scratch[] = "/tmp/casa-app-XXXXXX";
  ASSERT_NE(::mkdtemp(scratch), nullptr);
  std::string runtime = std::string(scratch) + "/run", config = std::string(scratch) + "/config";
  ::mkdir(runtime.c_str(), 0700);
  std::string oldRuntime = std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
  std::string oldConfig = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);

  ZLKApplication* app = TestApplication();
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  EXPECT_EQ(app->organizationDomain(), QString("zelkoworks.com"));
  EXPECT_EQ(app->applicationName(), QString("casavelt"));

  UserDefaults* fallback = &StandardUserDefaults();
  EXPECT_TRUE(app->startServices());
  struct stat st{};
  ASSERT_EQ(::lstat(ApplicationTemporaryPath().c_str(), &st), 0);
  EXPECT_EQ(ApplicationTemporaryPath(), runtime + "/com.zelkoworks.casavelt");
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  EXPECT_NE(CurrentAlertPresenter(), nullptr);
  EXPECT_NE(&StandardUserDefaults(), fallback);
  EXPECT_EQ(gDecimalSeparator, SystemDecimalSeparator());

  SetAlertPresenter(nullptr);
  SetStandardUserDefaults(nullptr);
  if (oldRuntime.empty()) ::unsetenv("XDG_RUNTIME_DIR");
  else ::setenv("XDG_RUNTIME_DIR", oldRuntime.c_str(), 1);
  if (oldConfig.empty()) ::unsetenv("XDG_CONFIG_HOME");
  else ::setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
  std::error_code ec;
  std::filesystem::remove_all(scratch, ec);
}

// Readouts keep '.' only for a locale whose separator is exactly "."; any other separator,
// one outside ASCII included, turns them to ','.
TEST(ZLKApplication, DecimalSeparatorOfTheLocale) {
  EXPECT_EQ(SystemDecimalSeparator(QLocale::c()), '.');
  EXPECT_EQ(SystemDecimalSeparator(QLocale(QLocale::English, QLocale::UnitedStates)), '.');
  EXPECT_EQ(SystemDecimalSeparator(QLocale(QLocale::German, QLocale::Germany)), ',');
  const QLocale arabic(QLocale::Arabic, QLocale::Egypt);
  ASSERT_NE(arabic.decimalPoint(), QString("."));
  EXPECT_EQ(SystemDecimalSeparator(arabic), ',');
}

TEST(ZLKWindowController, ShowsAnEmptyPlanAndQuitsFromTheFileMenu) {
  TestApplication();
  auto* window = new ZLKWindowController;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  QApplication::processEvents();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), QString("Untitled"));
  EXPECT_EQ(ZLKApplication::mainWindowController(), window);

  ZLKDocumentView* view = window->documentView();
  ASSERT_NE(view, nullptr);
  ASSERT_NE(window->documentScrollView(), nullptr);
  EXPECT_TRUE(window->centralWidget()->isAncestorOf(window->documentScrollView()));
  EXPECT_EQ(window->documentScrollView()->widget(), view);
  QImage shot = view->grab().toImage();
  ASSERT_FALSE(shot.isNull());
  EXPECT_EQ(shot.pixelColor(shot.width() / 2, shot.height() / 2), QColor(Qt::white));

  QList<QAction*> menus = window->menuBar()->actions();
  ASSERT_FALSE(menus.isEmpty());
  EXPECT_EQ(menus[0]->text(), QString("File"));
  EXPECT_TRUE(menus[0]->menu()->actions().contains(window->quitAction()));
  EXPECT_EQ(window->quitAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

  QPointer<ZLKWindowController> watch(window);
  window->quitAction()->trigger();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
  EXPECT_TRUE(watch.isNull());  // closed and deleted
  EXPECT_EQ(ZLKApplication::mainWindowController(), nullptr);
}

}  // namespace
