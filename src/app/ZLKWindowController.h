// The design window: menus around the plan view, its title and edited marker.
#pragma once
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <string>

#include "app/PlanViewActions.h"
#include "app/ZLKDocument.h"

class QMenu;
class QTimer;
class ZLKDocumentScrollView;
class ZLKDocumentView;

class ZLKWindowController : public QMainWindow {
  Q_OBJECT
 public:
  explicit ZLKWindowController(QWidget* parent = nullptr);

  ZLKDocumentView* documentView() const { return documentView_; }
  // The scroll view around the plan view.
  ZLKDocumentScrollView* documentScrollView() const { return documentScrollView_; }
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
  // Asks the plan view to redraw (on its next drawing pass).
  void refreshDocumentVisibleView();

  // The plan view's menu actions and the menu items that carry them (each item's data is
  // its tag).
  PlanViewActions& planViewActions() { return planViewActions_; }
  const QList<QAction*>& planActions() const { return planActions_; }
  // Enables, checks and retitles the plan menu items from the current document.
  void validatePlanMenus();
  // End of the trace image open panel: for return code 1 the image at path becomes the
  // design's trace image (an alert when it cannot be loaded).
  void floorplanTraceOpenPanelDidEnd(int returnCode, const std::string& path);
  // Reads the chosen object file into the plan, centred and grouped, on return code 1.
  void import3DObjectOpenPanelDidEnd(int returnCode, const std::string& path);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void buildMenus();
  void buildPlanMenus(QMenu* edit);
  QAction* addPlanAction(QMenu* menu, const char* title, int32_t tag,
                         const QKeySequence& shortcut = {});
  void designChanged();
  void acceptClose(QCloseEvent* event);

  ZLKDocumentView* documentView_ = nullptr;
  ZLKDocumentScrollView* documentScrollView_ = nullptr;
  QPointer<ZLKDocument> document_;
  QAction* quitAction_ = nullptr;
  QAction* newAction_ = nullptr;
  QAction* openAction_ = nullptr;
  QAction* saveAction_ = nullptr;
  QAction* saveAsAction_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  QTimer* stateTimer_ = nullptr;
  PlanViewActions planViewActions_;
  QList<QAction*> planActions_;
  bool closeApproved_ = false;
};
