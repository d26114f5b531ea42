// The design window's layout, its File and Edit menus and the close check.
#include "app/ZLKWindowController.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QTimer>
#include <memory>

#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKDocumentView.h"
#include "model/DocumentModel.h"
#include "platform/Strings.h"

namespace {
QString Localized(const char* key) { return QString::fromStdString(LocalizedString(key)); }
// Edits made by the core (which only flags the model) show in the title within this time.
constexpr int kStatePollMilliseconds = 250;
}  // namespace

ZLKWindowController::ZLKWindowController(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(Localized("Untitled"));
  documentView_ = new ZLKDocumentView(this);
  setCentralWidget(documentView_);
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
  updateWindowState();
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
  documentView_->update();
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
}

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
