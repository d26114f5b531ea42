// Entry point: the application object, its services, the design window and the design
// files the program was started with.
#include "app/AppController.h"
#include "app/ZLKApplication.h"
#include "app/ZLKDocumentController.h"
#include "content/ShippedLibrary.h"
#include "inspectors/SmallControls.h"

#include <QElapsedTimer>
#include <QThread>
#include <memory>

int main(int argc, char** argv) {
  ZLKApplication app(argc, argv);
  app.startServices();
  // Shipped catalogues, plants, objects and components the user does not have yet.
  InstallShippedLibrary();
  AppController::initialize();
  AppController::startUp();
  // The splash window stays up half a second while the first design is made.
  std::unique_ptr<AppSplashScreen> splash;
  if (AppController::shouldDisplaySplashScreen()) {
    splash = std::make_unique<AppSplashScreen>(QSize(420, 240));
    splash->show();
    QElapsedTimer held;
    held.start();
    while (held.elapsed() < AppSplashScreen::kHoldMilliseconds) {
      QCoreApplication::processEvents();
      QThread::msleep(10);
    }
  }
  if (!ZLKDocumentController::sharedDocumentController().makeUntitledDocument()) return 1;
  if (splash) splash->close();
  openFilesFromArguments(app.arguments().mid(1));
  AppController::applicationDidFinishLaunching();
  const int status = app.exec();
  AppController::applicationWillTerminate();
  return status;
}
