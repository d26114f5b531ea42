// The design window: menus around the plan view, its title and edited marker, the toolbar
// with the active-floor pop-up, the plan tabs, the status line and the elevation pane.
#pragma once
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>

#include "app/PlanViewActions.h"
#include "app/ZLKDocument.h"

class QComboBox;
class QDialog;
class QLabel;
class QMenu;
class QProgressBar;
class QSlider;
class QTabBar;
class QTimer;
class QToolBar;
struct SelectionState40;

// Read by the elevation slider's drawing: an elevation is shown, and it is the elevation of
// new objects (nothing selected).
extern uint8_t gDrawElevation;
extern uint8_t gDrawElevationNoSelection;
class ZLKDocumentScrollView;
class ZLKDocumentView;

class ZLKWindowController : public QMainWindow {
  Q_OBJECT
 public:
  explicit ZLKWindowController(QWidget* parent = nullptr);

  ZLKDocumentView* documentView() const { return documentView_; }
  ZLKDocumentView* docView() const { return documentView_; }
  // The scroll view around the plan view.
  ZLKDocumentScrollView* documentScrollView() const { return documentScrollView_; }
  QAction* quitAction() const { return quitAction_; }
  QAction* newAction() const { return newAction_; }
  QAction* openAction() const { return openAction_; }
  QAction* saveAction() const { return saveAction_; }
  QAction* saveAsAction() const { return saveAsAction_; }
  QAction* undoAction() const { return undoAction_; }
  QAction* redoAction() const { return redoAction_; }
  // File > Open Recent: one item per recent design (its file name; data: the path), then
  // "Clear Menu". Rebuilt each time it opens.
  QMenu* openRecentMenu() const { return openRecentMenu_; }
  void updateOpenRecentMenu();

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
  // A key typed in another window of the design (the 3D window) that no control there took:
  // the enabled menu item it is the shortcut of is performed. False when there is none.
  bool performMenuShortcut(const QKeySequence& typed);
  // End of the trace image open panel: for return code 1 the image at path becomes the
  // design's trace image (an alert when it cannot be loaded).
  void floorplanTraceOpenPanelDidEnd(int returnCode, const std::string& path);
  // Reads the chosen object file into the plan, centred and grouped, on return code 1.
  void import3DObjectOpenPanelDidEnd(int returnCode, const std::string& path);
  // Writes the 3D model to the chosen VRML file on return code 1.
  void exportVRMLSavePanelDidEnd(int returnCode, const std::string& path);

  // Toolbar ("Document Toolbar Identifier"): the active-floor pop-up, whose items carry the
  // floor commands 5275..5277 as their data.
  static constexpr const char* DocToolbarIdentifier = "Document Toolbar Identifier";
  static constexpr const char* DocTBActiveFloorItemIdentifier = "Document Toolbar Active Floor Item";
  static constexpr const char* DocTBLiveViewItemIdentifier = "Document Toolbar LiveView Item";
  static constexpr const char* DocTBLotPropertiesItemIdentifier = "Document Toolbar Lot Properties Item";
  // The window's 3D button: shows the 3D window.
  void show3DViewButtonChanged();
  // Makes and attaches the toolbar when there is none yet.
  void setupToolbar();
  QToolBar* docToolbar() const { return docToolbar_; }
  // The content library dock and its palette; the toolbar's "Content" item shows and hides it.
  static constexpr const char* DocTBContentItemIdentifier = "Document Toolbar Content Item";
  // The toolbar's "Inspector" item: shows and hides the inspector dock.
  static constexpr const char* DocTBInspectorItemIdentifier = "Document Toolbar Inspector Item";
  class QDockWidget* contentDock() const { return contentDock_; }
  class ContentPaletteController* contentPaletteController() const { return contentPalette_; }
  // The inspector's pane host and its no-properties view (the inspector owns both).
  class ZLKInspectorView* parentInspectorView() const;
  QWidget* noPropertiesView() const;
  void toggleContentLibraryPanel();
  // The palette refills its selected category from disk and redraws (a design was loaded or
  // the window became main).
  void refreshContentPalette();
  QComboBox* activeFloorTBPopUpButton() const { return activeFloorTBPopUpButton_; }
  // Shows the item with the tag, without running its command; another tag changes nothing.
  void selectActiveFloorItem(int32_t tag);
  // The pop-up's choice: the floor command of the item at index.
  void changeFloorTBPopUpButton(int index);
  // The action of a toolbar item for the visible plans: the plans menu pulled down under the
  // item's view (`sender`; under the pointer without one); the chosen plan is shown or hidden
  // as View > Plans does.
  Q_INVOKABLE void setVisiblePlanUsingTBMenu(QWidget* sender);

  // Plan tabs, one per plan kind (tab index = kind; tab data = the plan bit as text).
  QTabBar* docTabView() const { return docTabView_; }
  // Chooses the tab of the plan kind, which makes it the working plan.
  void selectPlanTab(int kind);
  // A tab was chosen: its plan becomes the working plan with its remembered visible plans.
  void tabViewDidSelectTabViewItem(int index);

  // Status line. Lengths in inches, angles in degrees; see StatusReadouts.h for the texts.
  QLabel* statusText() const { return statusText_; }
  void clearStatusBar();
  void setStatusBarText(const char* text);  // null empties it
  void drawAngle(float degrees);
  void drawDiameter(float diameter);
  void drawLength(float length);
  void drawViewLength(float length);
  void updateRadius(float radius);  // nothing without a document
  void drawWidthHeightArea(float width, float height, float area);
  void drawWidthHeightDepth(float width, float height, float depth);

  // Elevation pane: the slider (feet, or metres in metric designs; -10..20) and its text.
  QSlider* elevationSlider() const { return elevationSlider_; }
  QLabel* elevationText() const { return elevationText_; }
  bool elevationKnobShown() const { return elevationKnobShown_; }
  // Shows the base-elevation summary; nothing without it, a document or its DocState.
  void setElevationPane(const SelectionState40* ss40);
  void updateElevationIndicatorTextWithValue(long value);
  // The slider moved (mouseUp false: only the text follows) or was released (the value is
  // applied to the new objects' elevation or the selection).
  void elevationSliderChanged(bool mouseUp);
  // A right-click on the slider: its menu, whose command goes to the plan view.
  void popUpElevationSliderMenu(const QPoint& global);
  // End of the question before elevating objects of mixed elevations (1: elevate).
  void elevateObjectSheetDidEnd(int returnCode);
  // End of the question before removing a point that carries attachments (1: "Delete Point"):
  // finishes the pending removal on this window's design.
  void removePointSheetDidEnd(int returnCode);

  // Window events. Becoming main makes the window's design the current one and brings the
  // palettes, the 3D window and the content palette to it. The palettes follow the window:
  // closed when the last design window is minimized or closed, shown again when it comes
  // back. Closing clears the current design when it is this window's.
  void windowDidBecomeMain();
  void windowDidMiniaturize();
  void windowDidDeminiaturize();
  void windowWillClose();

  // The plant-growth level (1 .. the design's maximum plant age).
  QProgressBar* plantGrowthLevelIndicator() const { return plantGrowthLevelIndicator_; }
  void updatePlantGrowthIndicatorLevel();
  // The growth stepper's buttons (shown on the drawing-tools palette): one level back or on.
  void plantGrowthLeftButtonChanged();
  void plantGrowthRightButtonChanged();

  // Back to a fresh window after the model was re-initialised: the plan view resized and
  // centred on the plan origin, the standard tool, the floor-plan tools, the first floor.
  void reinitializeDocumentUI();
  // The document's design was replaced in place (read from a file, or made new): the 3D
  // scene is built anew from it and the 3D window follows.
  void designReplaced();
  // Scrolls so that plan point (0, 0) is in the middle of the visible part.
  void centrePlanOrigin();

  // The plug-in progress sheet: covers the window while a plug-in holds its design, with the
  // message "'<name>' is currently using this design." and a Close button.
  void beginAddkitProgressSheetForEntry(const class AddkitEntry* entry);
  void endAddkitProgressSheet();
  // The sheet's Close button: after the user confirms, the plug-in is asked to quit and its
  // lock released; the palettes come back.
  void closeDocumentAddkitButtonChanged();
  QDialog* addkitProgressSheet() const { return addkitProgressSheet_; }
  QLabel* addkitStatusText() const { return addkitStatusText_; }

  // Ends of the save-changes sheets and save panels of New, Open and opening from the
  // desktop. Sheet return codes: 1 Save, 0 Don't Save, -1 Cancel; panels: 1 with a path.
  // done(true) once the road reached its end (a new design, a read design).
  void saveBeforeCreateDocSheetDidEnd(int returnCode, std::function<void(bool)> done);
  void designCreateDocOpSavePanelDidEnd(int returnCode, const std::string& path,
                                        std::function<void(bool)> done);
  void saveBeforeOpenSheetDidEnd(int returnCode);
  void designOpenOpSavePanelDidEnd(int returnCode, const std::string& path);
  void saveBeforeShellOpenSheetDidEnd(int returnCode, std::function<void(bool)> done);
  void designShellOpenOpSavePanelDidEnd(int returnCode, const std::string& path,
                                        std::function<void(bool)> done);

 protected:
  void closeEvent(QCloseEvent* event) override;
  // The first time the window shows, the plan's origin is put in the middle of the view:
  // only then does the view know its visible size.
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool centredOnShow_ = false;
  void buildMenus();
  void buildPlanMenus(QMenu* edit);
  QAction* addPlanAction(QMenu* menu, const char* title, int32_t tag,
                         const QKeySequence& shortcut = {});
  void designChanged();
  void acceptClose(QCloseEvent* event);
  void buildPlanTabs();
  void buildStatusLine();
  // The window brought to the document it shows: elevation summary, floor item, tab.
  void documentDidLoad();
  // Placement beside the palettes (see WindowPlacement.h), when the window is made.
  void placeWindow();
  // gCurToolSet and the drawing-tools palette take the plan kind of the tab shown.
  void loadToolSetOfShownTab();
  bool wasMinimized_ = false;
  // Whether placeWindow knew this window's decorations; the decorations of the last design
  // window that reported them.
  bool placedWithDecorations_ = false;
  static inline QMargins sDecorations;
  // The first window of a run opens where the last one was closed (the frame saved under
  // kFrameName), kept on the screen; the others are placed beside the palettes.
  static constexpr const char* kFrameName = "DocumentWindow";
  bool restoresSavedFrame_ = false;
  // Once the window manager has framed the window, it is placed again with its decorations
  // (a few tries; without a window manager there are none to wait for).
  void placeAgainOnceFramed(int triesLeft);
  // Floor item from the current layer's name, plan tab from the working plan.
  void syncFloorItem();
  void syncPlanTab();
  // The road's save step: writes the design to path (the alert on failure); false when not
  // written. The document then carries that file name when rename is set.
  bool writeDesign(const std::string& path, bool rename);
  // Reads the pending desktop path into the design (the alert on failure).
  void readCandidate(std::function<void(bool)> done);

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
  QMenu* openRecentMenu_ = nullptr;
  QTimer* stateTimer_ = nullptr;
  PlanViewActions planViewActions_;
  QList<QAction*> planActions_;
  bool closeApproved_ = false;
  QToolBar* docToolbar_ = nullptr;
  class QDockWidget* contentDock_ = nullptr;
  class ContentPaletteController* contentPalette_ = nullptr;
  void buildContentDock();
  // The inspector dock "InspectorPanel", shown as the remembered flag says.
  void buildInspectorDock();
  QComboBox* activeFloorTBPopUpButton_ = nullptr;
  QTabBar* docTabView_ = nullptr;
  QLabel* statusText_ = nullptr;
  QLabel* elevationText_ = nullptr;
  QSlider* elevationSlider_ = nullptr;
  bool elevationKnobShown_ = true;
  QProgressBar* plantGrowthLevelIndicator_ = nullptr;
  QDialog* addkitProgressSheet_ = nullptr;
  QLabel* addkitStatusText_ = nullptr;
  QProgressBar* addkitProgressIndicator_ = nullptr;
};
