// The application delegate's defaults, front-end services and main-window road.
#include "app/AppController.h"

#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "files/Undo.h"
#include "model/DocumentModel.h"
#include "model/PendingServices.h"
#include "plandraw/PlanViewHooks.h"
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

void RefreshDocumentVisibleView(ZLKDocumentModel* model) {
  ZLKDocument* document = DocumentOfModel(model);
  if (!document) return;
  QList<ZLKWindowController*> controllers = document->windowControllers();
  if (!controllers.isEmpty()) controllers.first()->refreshDocumentVisibleView();
}

// The plan drawing reaches the main window's plan view through these.
Base2DView* MainPlanDrawing() {
  ZLKDocumentView* view = AppController::mainWindowDocumentView();
  return view ? &view->planDrawing() : nullptr;
}

ZLKDynamicDrawEngine* MainDynamicDrawEngine() {
  Base2DView* drawing = MainPlanDrawing();
  return drawing ? &drawing->dynamicDrawEngine() : nullptr;
}

void MainViewDrawText(const char* text, const NSRect* rect, const LOGFONT* font, const RGBColor* color) {
  if (Base2DView* drawing = MainPlanDrawing()) drawing->drawText(text, rect, font, color);
  else DrawTextInRectWithFontInfo(nullptr, text, rect, font, color);
}

}  // namespace

void AppController::initialize() {
  StandardUserDefaults().registerDefaults({{"UndoEnabled", true}, {"UndoLevels", 200}});
  gFrontEnd.reloadTraceImage = ReloadTraceImage;
  gFrontEnd.selectActiveFloorItem = SelectActiveFloorItem;
  gFrontEnd.documentReinitialized = DocumentReinitialized;
  gStoreUndoHook = StoreUndo;
  gFrontEnd.refreshDocumentVisibleView = RefreshDocumentVisibleView;
  gPlanViewHooks.documentView = MainPlanDrawing;
  gPlanViewHooks.dynamicDrawEngine = MainDynamicDrawEngine;
  gPlanViewHooks.drawText = MainViewDrawText;
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
