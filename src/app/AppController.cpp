// The application delegate's defaults, front-end services and main-window road.
#include "app/AppController.h"

#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKWindowController.h"
#include "files/Undo.h"
#include "model/DocumentModel.h"
#include "model/PendingServices.h"
#include "platform/Session.h"
#include "platform/UserDefaults.h"

namespace {

ZLKDocument* DocumentOfModel(const ZLKDocumentModel* model) {
  if (!model) return nullptr;
  for (ZLKDocument* document : ZLKDocumentController::sharedDocumentController().documents())
    if (document->documentModel() == model) return document;
  return nullptr;
}

bool ReloadTraceImage(const char* path) {
  ZLKDocument* document = AppController::mainWindowDocument();
  if (!document) return false;
  document->clearTraceImage();
  if (!path || !path[0]) return true;
  return document->setTraceImageFromFile(path);
}

// The active-floor pop-up belongs to the toolbar, which is not built yet.
void SelectActiveFloorItem(int32_t) {}

void DocumentReinitialized(ZLKDocumentModel* model) {
  if (ZLKDocument* document = DocumentOfModel(model)) {
    document->clearTraceImage();
    document->setFileName({});
  }
}

}  // namespace

void AppController::initialize() {
  StandardUserDefaults().registerDefaults({{"UndoEnabled", true}, {"UndoLevels", 200}});
  gFrontEnd.reloadTraceImage = ReloadTraceImage;
  gFrontEnd.selectActiveFloorItem = SelectActiveFloorItem;
  gFrontEnd.documentReinitialized = DocumentReinitialized;
  gStoreUndoHook = StoreUndo;
}

ZLKDocument* AppController::mainWindowDocument() { return DocumentOfModel(gCurDocument); }

ZLKWindowController* AppController::mainWindowController() {
  ZLKDocument* document = mainWindowDocument();
  if (!document) return nullptr;
  QList<ZLKWindowController*> controllers = document->windowControllers();
  return controllers.isEmpty() ? nullptr : controllers.first();
}

ZLKDocumentView* AppController::mainWindowDocumentView() {
  ZLKWindowController* controller = mainWindowController();
  return controller ? controller->documentView() : nullptr;
}

int32_t AppController::sessionID() { return SessionID(); }
