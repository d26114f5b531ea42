// Application start-up and the services it installs.
#include "app/ZLKApplication.h"
#include "app/LiveViewController.h"

#include <QtGlobal>
#include <clocale>

#include "app/ZLKWindowController.h"
#include "model/Globals.h"
#include "platform/Alerts.h"
#include "platform/TemporaryFolder.h"
#include "platform/UserDefaults.h"
#include "platform/qt/ContentRoots.h"
#include "platform/qt/QtAlertPresenter.h"
#include "platform/qt/QtUserDefaults.h"
#include "platform/qt/SystemLocale.h"

ZLKApplication::ZLKApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setOrganizationDomain(QStringLiteral("zelkoworks.com"));
  setApplicationName(QStringLiteral("casavelt"));
  // Numbers in files and readouts are formatted and parsed in the C locale whatever
  // the user's; QApplication has just set the locale from the environment.
  std::setlocale(LC_NUMERIC, "C");
  // Quitting closes the 3D window before the design windows.
  connect(this, &QCoreApplication::aboutToQuit, this, [] { LiveViewController::closeSharedWindow(); });
}

ZLKApplication::~ZLKApplication() {
  LiveViewController::releaseSharedLiveViewController();
  if (alertPresenter_ && CurrentAlertPresenter() == alertPresenter_.get()) SetAlertPresenter(nullptr);
  if (userDefaults_ && &StandardUserDefaults() == userDefaults_.get()) SetStandardUserDefaults(nullptr);
}

void ZLKApplication::terminate() {
  if (LiveViewController::exists() && LiveViewController::sharedLiveViewController()->isVisible())
    LiveViewController::closeSharedWindow();
  quit();
}

bool ZLKApplication::startServices() {
  InstallContentRoots();
  if (!userDefaults_) userDefaults_ = std::make_unique<QtUserDefaults>();
  SetStandardUserDefaults(userDefaults_.get());
  if (!alertPresenter_)
    alertPresenter_ = std::make_unique<QtAlertPresenter>(
        []() -> QWidget* { return ZLKApplication::mainWindowController(); });
  SetAlertPresenter(alertPresenter_.get());
  gDecimalSeparator = SystemDecimalSeparator();
  if (!CreateApplicationTemporaryFolder()) {
    qWarning("cannot create the private temporary folder %s", ApplicationTemporaryPath().c_str());
    return false;
  }
  return true;
}

ZLKWindowController* ZLKApplication::mainWindowController() {
  if (auto* active = qobject_cast<ZLKWindowController*>(activeWindow())) return active;
  for (QWidget* w : topLevelWidgets())
    if (auto* controller = qobject_cast<ZLKWindowController*>(w))
      if (controller->isVisible()) return controller;
  return nullptr;
}
