// The design window: menus around the plan view, its title and edited marker.
#pragma once
#include <QMainWindow>
#include <QPointer>

#include "app/ZLKDocument.h"

class QTimer;
class ZLKDocumentView;

class ZLKWindowController : public QMainWindow {
  Q_OBJECT
 public:
  explicit ZLKWindowController(QWidget* parent = nullptr);

  ZLKDocumentView* documentView() const { return documentView_; }
  QAction* quitAction() const { return quitAction_; }
  QAction* newAction() const { return newAction_; }
  QAction* openAction() const { return openAction_; }
  QAction* saveAction() const { return saveAction_; }
  QAction* saveAsAction() const { return saveAsAction_; }
  QAction* undoAction() const { return undoAction_; }
  QAction* redoAction() const { return redoAction_; }

  ZLKDocument* document() const { return document_; }
  // Shows the document's design; the window's title and edited marker follow it.
  void setDocument(ZLKDocument* document);
  // Title (file name), edited marker and the Undo and Redo items from the document.
  void updateWindowState();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void buildMenus();
  void designChanged();
  void acceptClose(QCloseEvent* event);

  ZLKDocumentView* documentView_ = nullptr;
  QPointer<ZLKDocument> document_;
  QAction* quitAction_ = nullptr;
  QAction* newAction_ = nullptr;
  QAction* openAction_ = nullptr;
  QAction* saveAction_ = nullptr;
  QAction* saveAsAction_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  QTimer* stateTimer_ = nullptr;
  bool closeApproved_ = false;
};
