// The application delegate: the user defaults it registers, the front-end services it
// gives the core, and the road from the current document to its window and plan view.
#pragma once
#include <QMargins>
#include <QRect>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/UserDefaults.h"

class QAction;
struct DocState;
class QWidget;
class ZLKDocument;
class ZLKDocumentView;
class ZLKWindowController;

class AppController {
 public:
  // Registers the undo defaults ("UndoEnabled" YES, "UndoLevels" 200) on the standard user
  // defaults and installs the services the core calls (trace image reload, floor pop-up, a
  // model made anew, the model's road to StoreUndo, the status line and elevation pane).
  // Safe to repeat.
  static void initialize();

  // The open document whose model is gCurDocument; null when none.
  static ZLKDocument* mainWindowDocument();
  // The open document whose model is the one given; null when none is open.
  static ZLKDocument* documentOfModel(const class ZLKDocumentModel* model);
  // The first window controller of mainWindowDocument(); null when none.
  static ZLKWindowController* mainWindowController();
  // The plan view of mainWindowController(); null when none.
  static ZLKDocumentView* mainWindowDocumentView();
  // The login session's id; the first number of every undo file name.
  static int32_t sessionID();

  // Back to the selection tool after a tool was used: with force, or when the current tool
  // is not one that stays selected after use, gCurTool becomes 200, the drawing-tools
  // palette loses its selection and the editing palette selects the arrow.
  static void resetStandardTool(bool force);
  // Whether the tool stays current after it was used once.
  static bool toolStaysSelected(uint16_t tool);

  // The floating palettes' visibility flags ("ShowGeneralTools", "ShowPlanTools" at launch;
  // the palettes set them when shown or closed).
  static void loadWindowVisibilityState();
  static bool editToolsVisible();
  static bool planToolsVisible();
  static void setEditToolsVisible(bool visible);
  static void setPlanToolsVisible(bool visible);
  // Hides and closes the palettes, remembering which were visible; shows those again (the
  // first time placing them and restoring their saved frames).
  static void closeVisiblePanelsAndSaveState();
  static void restoreAllVisiblePanels();
  // A plug-in that takes the design over: the palettes, the inspector and the 3D window are
  // hidden, each remembered (once, however often it is asked); when the plug-in lets go every
  // one of them that was shown comes back as it was.
  static void hidePanelsForAddkit();
  static void restorePanelsAfterAddkit();
  // First placement: the drawing-tools palette in the top-left corner of the screen's
  // available area, the editing palette 5 points below it, unless frames were saved.
  static void setInitialWindowPositionsAndAutoSaveNames();
  // Window menu: hides a visible palette, shows a hidden one.
  static void toggleToolPalettePanel();
  static void togglePlanToolPalettePanel();
  static void toggleSnapPalettePanel();
  // The 3D window: a visible one is ordered out and closed; a hidden one is shown with its
  // scene brought up to date and its view marked for display. showLiveViewPanel only shows.
  static void toggleLiveViewPanel();
  // The toolbar's "Inspector" item and Window > Show/Hide Inspector: hides a shown inspector
  // dock, shows a hidden one (the visible flag and "ShowInspectorPanel" follow).
  static void toggleInspectorPanel();
  static void showLiveViewPanel();
  // Plan > Addkits...: the plug-in launcher, centred and run as the application's modal
  // window; afterwards the main design window is redrawn.
  static void showAddkitLauncherWindow();
  // Preferences (controls reloaded when the window was hidden) and the About window.
  static void showPreferenceWindow();
  static void showAboutWindow();
  // The number of undo levels the preferences hold, within the range the preferences take.
  static int undoLevelsPreference();
  // Help > casavelt Manual: the manual shipped with the program ("QVRAVerdaliaManual.pdf" in
  // the folder of the shipped content), opened by the application the desktop names for it;
  // nothing happens without the file or such an application.
  static void launchManual();
  static std::string manualPath();
  // Help > casavelt Home Page: the product line's home page in the user's browser; the
  // address is looked up in the string table (the address itself is the key).
  static void visitZelkoHomePage();
  static const char* const kHomePageAddress;
  // Opens a file or web address with the desktop's application for it; false when there is
  // none. Tests replace it.
  static std::function<bool(const std::string& fileOrAddress, bool isFile)> openWithDesktop;

  // Palette frames in the user defaults under "NSWindow Frame <name>": the frame, decorations
  // included, then the decorations' left, top, right and bottom widths.
  static void savePanelFrame(const QWidget* panel, const std::string& name);
  // Puts the panel's frame back where it was saved, moved onto the available area of its
  // screen (and sized as saved with restoreSize); false when none was saved or it is unreadable.
  static bool restorePanelFrame(QWidget* panel, const std::string& name, bool restoreSize = false);
  // Places a window so that its frame, decorations included, is the one given; decorations
  // the window system has not reported yet are taken as given.
  static void placeWindowFrame(QWidget* window, const QRect& frame, const QMargins& decorations, bool resize);
  // Makes the palettes and the 3D window transient for the design window, so that the
  // window manager keeps them above it (visible ones are mapped again for the new hint); a
  // design window without its native window yet changes nothing.
  static void keepPanelsWithDesignWindow(QWidget* design);
  // The same for the main design window, before a panel is shown.
  static void keepPanelsWithMainWindow();
  // A design window that fills the screen (maximized or full screen): the palettes that cover
  // its menu bar, its toolbar with the floor selector or its plan tabs move down to just under
  // them, and off each other.
  static void keepPanelsClearOfDesignBars(ZLKWindowController* design);
  // The same window restored: the palettes moved for it go back where they were, unless the
  // user has moved them since or one would cover a palette that stays.
  static void returnPanelsMovedForDesignBars(ZLKWindowController* design);
  static bool hasSavedPanelFrame(const std::string& name);
  // A window placed before its decorations were known: once the window manager has framed it
  // (checked a few times), its frame is moved onto the available area, title bar included.
  static void keepFramedOnScreen(QWidget* window, int triesLeft = 40);

  // ---- Launch and the user defaults ----
  // Every default the application registers, by key: "UseImperialSystemKey" is 4 on a
  // metric locale, else 3; colours are "#rrggbb" texts.
  static std::map<std::string, UserDefaultValue> registrationDefaults(bool metricLocale);
  // Whether the user's locale measures in metric units.
  static bool localeUsesMetricSystem();
  // The delegate's start-up, after initialize(): the temporary folder, the document
  // controller, the option globals, the readout preferences and panel flags from the
  // defaults, the default fonts, the plug-in list and the plan-line buffer; then the splash
  // period begins.
  static void startUp();
  // After the first document: the splash period ends and the application counts as launched.
  static void applicationDidFinishLaunching();
  // At quit: frees the plan-line buffer.
  static void applicationWillTerminate();
  static bool applicationDidLaunch();
  static bool shouldDisplaySplashScreen();
  // Creates the private temporary folder of the undo files; false when it cannot be made
  // safe (start-up goes on without it).
  static bool initializeSupportPath();
  // New designs' unit system and readout formats, and whether they take the defaults
  // whatever the template says, from the user defaults. Also after the preferences are saved.
  static void loadNewPlanReadoutState();
  // The plan colours of the user defaults ("FoundationPlanColor" .. "DetailPlanColor", one
  // per plan kind) into the design's DocState.planColors; nothing without a DocState.
  static void loadColorsForDocument(ZLKDocument* document);
  static void loadPlanColors(DocState* ds);

  // Flags of the panels that are shown by other parts of the program.
  static bool snapToolsVisible();
  static bool inspectorVisible();
  static bool contentLibraryVisible();
  static void setSnapToolsVisible(bool visible);
  static void setInspectorVisible(bool visible);
  static void setContentLibraryVisible(bool visible);

  // Open documents whose first window is not minimized.
  static unsigned deMiniaturizedDocumentWindowCount();
  // The application menu's items: enabled with a current design that no plug-in holds, shown
  // in a window that is not minimized; the panel items (14000..14004) read "Hide ..." while their panel shows.
  static bool validateMenuItem(QAction* item);
  // The rule of those items: a current design that no plug-in holds, in a window that is not
  // minimized.
  static bool delegateItemsEnabled();
};
