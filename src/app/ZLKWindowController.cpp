// The design window's layout, its File, Edit, Object and View menus and the close check.
#include "app/ZLKWindowController.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QTimer>
#include <cstring>
#include <memory>

#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKDocumentScrollView.h"
#include "app/ZLKDocumentView.h"
#include "app/PlanViewActions.h"
#include "app/Win32EventHandler.h"
#include "files/ObjectFile.h"
#include "files/StreamState.h"
#include "model/HitTest.h"
#include "model/ParallelObjects.h"
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "files/Undo.h"
#include "model/DocumentModel.h"
#include "model/PendingServices.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"

namespace {
QString Localized(const char* key) { return QString::fromStdString(LocalizedString(key)); }
// Edits made by the core (which only flags the model) show in the title within this time.
constexpr int kStatePollMilliseconds = 250;
}  // namespace

ZLKWindowController::ZLKWindowController(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(Localized("Untitled"));
  documentScrollView_ = new ZLKDocumentScrollView(this);
  documentView_ = new ZLKDocumentView;
  documentScrollView_->setWidget(documentView_);
  setCentralWidget(documentScrollView_);
  buildMenus();
  resize(1024, 768);
  stateTimer_ = new QTimer(this);
  connect(stateTimer_, &QTimer::timeout, this, &ZLKWindowController::updateWindowState);
}

void ZLKWindowController::buildMenus() {
  auto& documents = ZLKDocumentController::sharedDocumentController();
  QMenu* file = menuBar()->addMenu(Localized("File"));
  newAction_ = file->addAction(Localized("New"));
  newAction_->setShortcut(QKeySequence::New);
  connect(newAction_, &QAction::triggered, this, [&documents] { documents.newDocument(); });
  openAction_ = file->addAction(Localized("Open..."));
  openAction_->setShortcut(QKeySequence::Open);
  connect(openAction_, &QAction::triggered, this, [&documents] { documents.openDocument(); });
  file->addSeparator();
  saveAction_ = file->addAction(Localized("Save"));
  saveAction_->setShortcut(QKeySequence::Save);
  connect(saveAction_, &QAction::triggered, this, [this] {
    if (document_) document_->saveDocument();
  });
  saveAsAction_ = file->addAction(Localized("Save As..."));
  saveAsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  connect(saveAsAction_, &QAction::triggered, this, [this] {
    if (document_) document_->saveDocumentAs();
  });
  file->addSeparator();
  addPlanAction(file, "Import 3D Object...", kTagImport3DObject);
  file->addSeparator();
  quitAction_ = file->addAction(Localized("Quit"));
  quitAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  quitAction_->setMenuRole(QAction::QuitRole);
  connect(quitAction_, &QAction::triggered, qApp, &QApplication::closeAllWindows);

  QMenu* edit = menuBar()->addMenu(Localized("Edit"));
  undoAction_ = edit->addAction(Localized("Undo"));
  undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  connect(undoAction_, &QAction::triggered, this, [this] {
    if (document_) document_->undoManager().undo();
    updateWindowState();
  });
  redoAction_ = edit->addAction(Localized("Redo"));
  redoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  connect(redoAction_, &QAction::triggered, this, [this] {
    if (document_) document_->undoManager().redo();
    updateWindowState();
  });
  connect(edit, &QMenu::aboutToShow, this, &ZLKWindowController::updateWindowState);
  buildPlanMenus(edit);
  updateWindowState();
}

QAction* ZLKWindowController::addPlanAction(QMenu* menu, const char* title, int32_t tag,
                                            const QKeySequence& shortcut) {
  QAction* action = menu->addAction(Localized(title));
  action->setData(tag);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  connect(action, &QAction::triggered, this, [this, tag] {
    if (document_) gCurDocument = document_->documentModel();
    planViewActions_.perform(tag);
    updateWindowState();
  });
  planActions_.append(action);
  return action;
}

void ZLKWindowController::buildPlanMenus(QMenu* edit) {
  edit->addSeparator();
  addPlanAction(edit, "Cut", kCmdCutObjects, QKeySequence(Qt::CTRL | Qt::Key_X));
  addPlanAction(edit, "Copy", kTagCopyObjects, QKeySequence(Qt::CTRL | Qt::Key_C));
  addPlanAction(edit, "Paste", kTagPasteObjects, QKeySequence(Qt::CTRL | Qt::Key_V));
  addPlanAction(edit, "Delete", kCmdDelete, QKeySequence::Delete);
  edit->addSeparator();
  addPlanAction(edit, "Select All", kTagSelectAllObjects, QKeySequence(Qt::CTRL | Qt::Key_A));

  QMenu* object = menuBar()->addMenu(Localized("Object"));
  addPlanAction(object, "Group", kCmdGroup, QKeySequence(Qt::CTRL | Qt::Key_G));
  addPlanAction(object, "Ungroup", kCmdUngroup, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G));
  object->addSeparator();
  addPlanAction(object, "Bring to Front", kCmdBringToFront,
                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BracketRight));
  addPlanAction(object, "Send to Back", kCmdSendToBack,
                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BracketLeft));
  object->addSeparator();
  addPlanAction(object, "Flip Horizontal", kCmdFlipHorizontal);
  addPlanAction(object, "Flip Vertical", kCmdFlipVertical);
  addPlanAction(object, "Mirror Horizontal", kCmdMirrorHorizontal);
  addPlanAction(object, "Mirror Vertical", kCmdMirrorVertical);
  QMenu* nudge = object->addMenu(Localized("Nudge"));
  addPlanAction(nudge, "Nudge Up", kCmdNudgeUp);
  addPlanAction(nudge, "Nudge Down", kCmdNudgeDown);
  addPlanAction(nudge, "Nudge Left", kCmdNudgeLeft);
  addPlanAction(nudge, "Nudge Right", kCmdNudgeRight);
  addPlanAction(object, "Straighten Curves", kCmdUnsmoothObjects);
  object->addSeparator();
  addPlanAction(object, "Move to Upper Floor", kCmdMoveToUpperFloor);
  addPlanAction(object, "Move to Lower Floor", kCmdMoveToLowerFloor);
  addPlanAction(object, "Copy to Upper Floor", kCmdCopyToUpperFloor);
  addPlanAction(object, "Copy to Lower Floor", kCmdCopyToLowerFloor);
  object->addSeparator();
  static const char* const kPlanNames[kPlanKindCount] = {
      "Foundation Plan", "Floor Plan", "Electrical Plan", "Plumbing Plan", "Roofing Plan",
      "HVAC Plan", "Deck Plan", "Landscape Plan", "Detail Plan"};
  QMenu* moveToPlan = object->addMenu(Localized("Move to Plan"));
  for (int kind = 0; kind < kPlanKindCount; ++kind)
    addPlanAction(moveToPlan, kPlanNames[kind],
                  kind == kPlanDetail ? kCmdMoveToDetailPlan : kCmdMoveToFoundationPlan + kind);
  addPlanAction(object, "Float Above Topography", kCmdFloatAboveTopography);
  QMenu* convert = object->addMenu(Localized("Convert Object To"));
  struct Row { const char* title; int32_t tag; bool separatorBefore; };
  static const Row kConversions[] = {
      {"Interior Wall", kCmdConvertToInteriorWall, false},
      {"Exterior Wall", kCmdConvertToExteriorWall, false},
      {"Staircase", kCmdConvertToStaircase, true},
      {"Railing", kCmdConvertToRailing, false},
      {"Floor", kCmdConvertToFloor, true},
      {"Floor Cutout", kCmdConvertToFloorCutout, false},
      {"Freehand Roof", kCmdConvertToFreehandRoof, true},
      {"Deck With Railing", kCmdConvertToDeckWithRailing, true},
      {"Deck Without Railing", kCmdConvertToDeckWithoutRailing, false},
      {"Deck Stairs", kCmdConvertToDeckStairs, false},
      {"Deck Railing", kCmdConvertToDeckRailing, false},
      {"Deck Cutout", kCmdConvertToDeckCutout, false},
      {"Property Line", kCmdConvertToPropertyLine, true},
      {"Ground Fill Region", kCmdConvertToGroundFillRegion, false},
      {"Edging", kCmdConvertToEdging, false},
      {"Pathway/Driveway", kCmdConvertToPathway, false},
      {"Fence", kCmdConvertToFence, false},
      {"Retaining Wall", kCmdConvertToRetainingWall, false},
      {"Topography", kCmdConvertToTopography, false},
      {"Topography Excavation", kCmdConvertToTopographyExcavation, false},
      {"Open Polygon", kCmdConvertToOpenPolygon, true},
      {"Closed Polygon", kCmdConvertToClosedPolygon, true},
  };
  for (const Row& row : kConversions) {
    if (row.separatorBefore) convert->addSeparator();
    addPlanAction(convert, row.title, row.tag);
  }

  QMenu* plan = menuBar()->addMenu(Localized("Plan"));
  addPlanAction(plan, "Flip Entire Plan Horizontal", kCmdFlipPlanHorizontal);
  addPlanAction(plan, "Flip Entire Plan Vertical", kCmdFlipPlanVertical);
  plan->addSeparator();
  QMenu* shown = plan->addMenu(Localized("Show Plans"));
  for (int kind = 0; kind < kPlanKindCount; ++kind)
    addPlanAction(shown, kPlanNames[kind], kTagShowFoundationPlan + kind);
  plan->addSeparator();
  QMenu* trace = plan->addMenu(Localized("Floorplan Trace Image"));
  addPlanAction(trace, "Load Floorplan Trace Image...", kTagLoadFloorplanTraceImage);
  addPlanAction(trace, "Show Floorplan Trace Image", kTagToggleFloorplanTraceImage);
  addPlanAction(trace, "Remove Floorplan Trace Image", kTagRemoveFloorplanTraceImage);

  QMenu* view = menuBar()->addMenu(Localized("View"));
  addPlanAction(view, "Reset Plan View", kTagResetPlanView);
  addPlanAction(view, "Refresh View", kTagRefreshView, QKeySequence(Qt::CTRL | Qt::Key_R));
  view->addSeparator();
  addPlanAction(view, "Show Grid", kTagShowGrid);
  addPlanAction(view, "Snap to Grid", kTagSnapToGrid);
  view->addSeparator();
  addPlanAction(view, "Show Virtual Ruler", kTagToggleVirtualRuler);
  addPlanAction(view, "Show Automatic Dimensions", kTagShowAutomaticDimensions);
  addPlanAction(view, "Show Window & Door Callouts", kTagToggleCallouts);
  addPlanAction(view, "Show Topography Lines", kTagToggleTopographyLines);

  for (QMenu* menu : {edit, object, nudge, moveToPlan, convert, plan, shown, trace, view})
    connect(menu, &QMenu::aboutToShow, this, &ZLKWindowController::validatePlanMenus);
}

void ZLKWindowController::validatePlanMenus() {
  // The items act on this window's design; without one every item is disabled.
  CurrentDocumentScope scope(document_ ? document_->documentModel() : nullptr);
  for (QAction* action : planActions_) PlanViewActions::validateMenuItem(action);
}

void ZLKWindowController::floorplanTraceOpenPanelDidEnd(int returnCode, const std::string& path) {
  if (returnCode != 1 || !document_ || path.empty()) return;
  ZLKDocumentModel* model = document_->documentModel();
  DocState* ds = model ? model->itsDocState : nullptr;
  if (!ds) return;
  CurrentDocumentScope scope(model);
  // A path the design cannot hold whole is refused rather than kept cut short.
  const bool fits = path.size() < sizeof ds->traceImagePath;
  if (fits && document_->setTraceImageFromFile(path.c_str())) {
    std::memcpy(ds->traceImagePath, path.c_str(), path.size() + 1);
    ds->traceImageVisible = 1;
    ds->traceImageScaleX = ds->traceImageScaleY = 1.0f;
    Refresh();
    StoreUndo(LocalizedString("Load Floorplan Trace Image"));
    return;
  }
  document_->clearTraceImage();
  ds->traceImageVisible = 0;
  ds->traceImagePath[0] = 0;
  ShowAlert("Unable to load the Floorplan Trace image.",
            "Please ensure the image is valid and you have adequate permissions to access it.");
}

void ZLKWindowController::import3DObjectOpenPanelDidEnd(int returnCode, const std::string& path) {
  if (returnCode != 1 || !document_ || path.empty()) return;
  ZLKDocumentModel* model = document_->documentModel();
  if (!model || !model->itsDocState) return;
  CurrentDocumentScope scope(model);
  Win32EventHandler& handler = *Win32EventHandler::sharedEventHandler();
  handler.viewTop();
  gOpenSymbol = 1;
  SelectAllLayers(model->itsLayers, 2, 1);
  const int read = ObjectFileRead(path.c_str());
  if (read) {
    FloatRect rect = EmptyFloatRect();
    CenterObjects(1, &rect);
    handler.groupNoRedraw();
  }
  gOpenSymbol = 0;
  Refresh();
  if (read) StoreUndo(LocalizedString("Import 3D Object"));
}

void ZLKWindowController::setDocument(ZLKDocument* document) {
  if (document_ == document) return;
  if (document_) disconnect(document_, nullptr, this, nullptr);
  document_ = document;
  if (document_) {
    connect(document_, &ZLKDocument::designChanged, this, &ZLKWindowController::designChanged);
    stateTimer_->start(kStatePollMilliseconds);
  } else {
    stateTimer_->stop();
  }
  designChanged();
}

void ZLKWindowController::designChanged() {
  updateWindowState();
  documentView_->refreshVisibleView();
}

void ZLKWindowController::updateWindowState() {
  bool hasDocument = document_ != nullptr;
  if (hasDocument) {
    setWindowTitle(document_->displayName() + QStringLiteral("[*]"));
    setWindowModified(document_->isDocumentEdited());
  }
  saveAction_->setEnabled(hasDocument);
  saveAsAction_->setEnabled(hasDocument);
  const UndoNameStack* undo = hasDocument ? &document_->undoManager() : nullptr;
  undoAction_->setText(undo ? QString::fromStdString(undo->undoMenuItemTitle()) : Localized("Undo"));
  redoAction_->setText(undo ? QString::fromStdString(undo->redoMenuItemTitle()) : Localized("Redo"));
  undoAction_->setEnabled(undo && undo->canUndo());
  redoAction_->setEnabled(undo && undo->canRedo());
  // Shortcuts act without the menu being opened: keep their items' states current.
  CurrentDocumentScope scope(document_ ? document_->documentModel() : nullptr);
  for (QAction* action : planActions_)
    if (!action->shortcut().isEmpty()) PlanViewActions::validateMenuItem(action);
}

void ZLKWindowController::refreshDocumentVisibleView() { documentView_->refreshVisibleView(); }

void ZLKWindowController::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && document_)
    gCurDocument = document_->documentModel();
}

void ZLKWindowController::acceptClose(QCloseEvent* event) {
  ZLKDocument* document = document_;
  setDocument(nullptr);
  if (document) ZLKDocumentController::sharedDocumentController().removeDocument(document);
  event->accept();
}

void ZLKWindowController::closeEvent(QCloseEvent* event) {
  if (!document_ || closeApproved_) {
    acceptClose(event);
    return;
  }
  // The save question answers at once (an application-modal alert) or later (a sheet),
  // when the window is closed again.
  struct Answer {
    bool pending = true, given = false, mayClose = false;
  };
  auto answer = std::make_shared<Answer>();
  QPointer<ZLKWindowController> self(this);
  document_->canCloseDocument([self, answer](bool mayClose) {
    if (answer->pending) {
      answer->given = true;
      answer->mayClose = mayClose;
      return;
    }
    if (!self || !mayClose) return;
    self->closeApproved_ = true;
    self->close();
  });
  answer->pending = false;
  if (answer->given && answer->mayClose) acceptClose(event);
  else event->ignore();
}
