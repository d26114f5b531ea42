// Entry point: the application object, its services, the design window and the design
// files the program was started with.
#include "app/AppController.h"
#include "app/ZLKApplication.h"
#include "app/ZLKDocumentController.h"

int main(int argc, char** argv) {
  ZLKApplication app(argc, argv);
  app.startServices();
  AppController::initialize();
  AppController::startUp();
  if (!ZLKDocumentController::sharedDocumentController().makeUntitledDocument()) return 1;
  openFilesFromArguments(app.arguments().mid(1));
  AppController::applicationDidFinishLaunching();
  const int status = app.exec();
  AppController::applicationWillTerminate();
  return status;
}
