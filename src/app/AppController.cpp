// The application delegate's defaults, front-end services and main-window road.
#include "app/AppController.h"

#include <QMenuBar>
#include <QTabBar>
#include <QToolBar>

#include "app/AddkitDispatcher.h"
#include "app/AddkitEntry.h"
#include "app/AddkitLauncherController.h"
#include "app/FieldUndoKeys.h"
#include "app/ProgramServices.h"
#include "app/Win32EventHandler.h"
#include "inspectors/SnapPaletteController.h"

#include "app/MenuText.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "building3d/PlaneObjects.h"

#include "model/HitTest.h"
#include "plandraw/qt/ImageLoader.h"
#include "plandraw/qt/TextMeasurer.h"

#include "app/StatusReadouts.h"
#include "app/EditToolPaletteController.h"
#include "app/PlanToolPaletteController.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "app/UserDefaultKeys.h"
#include "app/WindowPlacement.h"
#include "inspectors/AboutWindowController.h"
#include "inspectors/InspectorController.h"
#include "inspectors/PreferencesController.h"
#include "inspectors/ReadoutFormatControls.h"
#include "files/SideBlocks.h"
#include "files/Undo.h"
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/Globals.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanViewHooks.h"
#include "platform/ContentPaths.h"
#include "platform/Session.h"
#include "platform/Strings.h"
#include "platform/TemporaryFolder.h"
#include "platform/UserDefaults.h"
#include "tools/ToolCodes.h"

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QDockWidget>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QWidget>
#include <QTimer>
#include <QWindow>
#include <QPointer>
#include <algorithm>
#include <array>
#include <utility>
#include <vector>
#include <cstdio>
#include <sstream>

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

// The active-floor pop-up of the main window's toolbar.
void SelectActiveFloorItem(int32_t tag) {
  if (ZLKWindowController* controller = AppController::mainWindowController())
    controller->selectActiveFloorItem(tag);
}

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

// The floating palettes' flags, loaded from the user defaults at start-up.
bool sEditToolsVisible = true;
bool sPlanToolsVisible = true;
bool sInitialWindowPositionsSet = false;
// Set once the panels were closed for a plug-in or a lost window: from then on only the
// user brings the snap palette back.
bool sPanelsClosedSinceStart = false;
// What a plug-in's launch hid, beyond the palettes' own flags; `held` while it is hidden.
struct HiddenForAddkit {
  bool held = false, liveView = false, snap = false, inspector = false;
} sHiddenForAddkit;
bool sSnapToolsVisible = true;
bool sInspectorVisible = true;
bool sContentLibraryVisible = true;
bool sApplicationDidLaunch = false;
bool sShouldDisplaySplashScreen = false;

std::string ColorDefault(int red, int green, int blue) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", red & 255, green & 255, blue & 255);
  return text;
}

// The default fonts of new text: Arial, italic, at the given height.
LOGFONT DefaultFontInfo(int32_t height) {
  LOGFONT font{};
  font.lfHeight = height;
  font.lfItalic = 1;
  font.lfPitchAndFamily = 0x34;
  std::snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s", "Arial");
  return font;
}

void ResetStandardToolHook(uint8_t force) { AppController::resetStandardTool(force != 0); }

std::string PanelFrameKey(const std::string& name) { return "NSWindow Frame " + name; }

void MainViewDrawText(const char* text, const NSRect* rect, const LOGFONT* font, const RGBColor* color) {
  if (Base2DView* drawing = MainPlanDrawing()) drawing->drawText(text, rect, font, color);
  else DrawTextInRectWithFontInfo(nullptr, text, rect, font, color);
}

}  // namespace

void AppController::initialize() {
  InstallProgramServices();
  InstallFieldUndoKeys();
  StandardUserDefaults().registerDefaults(registrationDefaults(localeUsesMetricSystem()));
  InstallQtTextMeasurer();  // text measured outside a drawing pass (sheets sizing new text)
  gFrontEnd.reloadTraceImage = ReloadTraceImage;
  gFrontEnd.addkitPluginIDs = [] { return SharedAddkitPluginList().pluginIDs(); };
  gFrontEnd.selectActiveFloorItem = SelectActiveFloorItem;
  gFrontEnd.documentReinitialized = DocumentReinitialized;
  gFrontEnd.storeUndo = StoreUndo;
  gFrontEnd.refreshDocumentVisibleView = RefreshDocumentVisibleView;
  gFrontEnd.loadDIBImage = ApplePortDIBImageLoad;
  gPlanViewHooks.documentView = MainPlanDrawing;
  gPlanViewHooks.dynamicDrawEngine = MainDynamicDrawEngine;
  gPlanViewHooks.drawText = MainViewDrawText;
  gFrontEnd.resetStandardTool = ResetStandardToolHook;
  InstallStatusReadoutServices();
  InstallSheetHooks();
}

ZLKDocument* AppController::mainWindowDocument() { return DocumentOfModel(gCurDocument); }
ZLKDocument* AppController::documentOfModel(const ZLKDocumentModel* model) { return DocumentOfModel(model); }

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

bool AppController::toolStaysSelected(uint16_t tool) {
  struct Range {
    uint16_t first, last;
  };
  static constexpr Range kStaying[] = {
      {200, 203}, {205, 205}, {209, 213}, {400, 403}, {406, 406}, {7050, 7053}, {7056, 7057},
      {7064, 7064}, {7066, 7066}, {7100, 7115}, {7200, 7201}, {7203, 7207}, {7307, 7308},
      {7310, 7310}, {7400, 7403}, {7407, 7407}, {7505, 7506}, {7700, 7707},
  };
  for (const Range& r : kStaying)
    if (tool >= r.first && tool <= r.last) return true;
  return false;
}

void AppController::resetStandardTool(bool force) {
  if (!force && toolStaysSelected(gCurTool)) return;
  const uint16_t previous = gCurTool;
  gCurTool = kToolSelection;
  PlanToolPaletteController::sharedPlanToolPaletteController().removeToolSelection();
  ToolPaletteController::sharedToolPaletteController().selectArrowTool();
  ZLKDocumentView::toolChosen(previous);
}

void AppController::loadWindowVisibilityState() {
  const UserDefaults& defaults = StandardUserDefaults();
  sEditToolsVisible = defaults.getBool("ShowGeneralTools");
  sPlanToolsVisible = defaults.getBool("ShowPlanTools");
  sSnapToolsVisible = defaults.getBool(ZLKShowSnapToolsKey);
  sInspectorVisible = defaults.getBool(ZLKShowInspectorPanelKey);
  sContentLibraryVisible = defaults.getBool(ZLKShowContentPanelKey);
}

bool AppController::editToolsVisible() { return sEditToolsVisible; }
bool AppController::planToolsVisible() { return sPlanToolsVisible; }
void AppController::setEditToolsVisible(bool visible) { sEditToolsVisible = visible; }
void AppController::setPlanToolsVisible(bool visible) { sPlanToolsVisible = visible; }

void AppController::closeVisiblePanelsAndSaveState() {
  // The 3D window is closed without recording whether it was shown.
  if (LiveViewController::exists()) {
    LiveViewController::sharedLiveViewController()->orderOut();
    LiveViewController::sharedLiveViewController()->close();
  }
  // Closing a palette clears its flag; the flag records what was visible before.
  ToolPaletteController& edit = ToolPaletteController::sharedToolPaletteController();
  const bool editVisible = edit.isVisible();
  edit.close();
  sEditToolsVisible = editVisible;
  PlanToolPaletteController& plan = PlanToolPaletteController::sharedPlanToolPaletteController();
  const bool planVisible = plan.isVisible();
  plan.close();
  sPlanToolsVisible = planVisible;
  SnapPaletteController& snap = SnapPaletteController::sharedSnapPaletteController();
  const bool snapVisible = snap.isVisible();
  snap.close();
  sSnapToolsVisible = snapVisible;
  // The inspector is hidden as well; restoring the panels leaves it to the user.
  QDockWidget* inspector = InspectorController::sharedInspectorController()->panel();
  const bool inspectorShown = inspector && !inspector->isHidden();
  if (inspector) inspector->hide();
  sInspectorVisible = inspectorShown;
  sPanelsClosedSinceStart = true;
}

void AppController::restoreAllVisiblePanels() {
  const bool firstPlacement = !sInitialWindowPositionsSet;
  if (firstPlacement) {
    setInitialWindowPositionsAndAutoSaveNames();
    sInitialWindowPositionsSet = true;
  }
  keepPanelsWithMainWindow();
  if (sEditToolsVisible) ToolPaletteController::sharedToolPaletteController().showWindow();
  if (sPlanToolsVisible) PlanToolPaletteController::sharedPlanToolPaletteController().showWindow();
  // The snap palette comes up with the first design window of a run, unless the panels were
  // closed before; once closed with the other panels it stays closed until the user shows it
  // again. The inspector is not shown here either.
  if (firstPlacement && !sPanelsClosedSinceStart && sSnapToolsVisible)
    SnapPaletteController::sharedSnapPaletteController().showWindow();
}

void AppController::hidePanelsForAddkit() {
  // Hidden again while hidden, what was shown before stays remembered.
  HiddenForAddkit& hidden = sHiddenForAddkit;
  const bool editBefore = sEditToolsVisible, planBefore = sPlanToolsVisible;
  hidden.liveView |= LiveViewController::exists() && LiveViewController::sharedLiveViewController()->isVisible();
  hidden.snap |= SnapPaletteController::sharedSnapPaletteController().isVisible();
  const QDockWidget* inspector = InspectorController::sharedInspectorController()->panel();
  hidden.inspector |= inspector && !inspector->isHidden();
  const bool wasHeld = hidden.held;
  closeVisiblePanelsAndSaveState();
  if (wasHeld) {
    sEditToolsVisible = sEditToolsVisible || editBefore;
    sPlanToolsVisible = sPlanToolsVisible || planBefore;
  }
  hidden.held = true;
}

void AppController::restorePanelsAfterAddkit() {
  restoreAllVisiblePanels();
  const HiddenForAddkit hidden = sHiddenForAddkit;
  sHiddenForAddkit = HiddenForAddkit();
  if (!hidden.held) return;
  if (hidden.snap) {
    keepPanelsWithMainWindow();
    SnapPaletteController::sharedSnapPaletteController().showWindow();
  }
  if (hidden.inspector) {
    if (QDockWidget* inspector = InspectorController::sharedInspectorController()->panel()) inspector->show();
    sInspectorVisible = true;
  }
  if (hidden.liveView) showLiveViewPanel();
}

void AppController::setInitialWindowPositionsAndAutoSaveNames() {
  ToolPaletteController& edit = ToolPaletteController::sharedToolPaletteController();
  PlanToolPaletteController& plan = PlanToolPaletteController::sharedPlanToolPaletteController();
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen) {
    // Top-down screen coordinates: the drawing tools touch the top, the editing tools sit
    // 5 points below them; both 5 points from the left edge.
    const QRect area = screen->availableGeometry();
    const int planHeight = plan.frameGeometry().height();
    if (!hasSavedPanelFrame("EditToolPanel")) {
      edit.move(area.left() + 5, area.top() + planHeight + 5);
      keepFramedOnScreen(&edit);
    }
    if (!hasSavedPanelFrame("PlanToolPanel")) {
      plan.move(area.left() + 5, area.top());
      keepFramedOnScreen(&plan);
    }
  }
  edit.setAutoSaveName();
  plan.setAutoSaveName();
  // Read again at each start, and put back onto the screen like the others.
  restorePanelFrame(&SnapPaletteController::sharedSnapPaletteController(), "SnapPanel");
}

void AppController::toggleToolPalettePanel() {
  ToolPaletteController& edit = ToolPaletteController::sharedToolPaletteController();
  if (edit.isVisible()) edit.close();
  else edit.showWindow();
}

void AppController::togglePlanToolPalettePanel() {
  PlanToolPaletteController& plan = PlanToolPaletteController::sharedPlanToolPaletteController();
  if (plan.isVisible()) plan.close();
  else plan.showWindow();
}

void AppController::toggleSnapPalettePanel() {
  SnapPaletteController& palette = SnapPaletteController::sharedSnapPaletteController();
  if (palette.isVisible()) {
    palette.close();
    return;
  }
  keepPanelsWithMainWindow();
  palette.showWindow();
}

void AppController::showPreferenceWindow() {
  PreferencesController::sharedPreferencesController().showPreferenceWindow();
}

void AppController::showAboutWindow() { AboutWindowController::sharedAboutWindowController()->showWindow(); }

const char* const AppController::kHomePageAddress = "https://www.zelkoworks.com/";

std::function<bool(const std::string&, bool)> AppController::openWithDesktop = [](const std::string& what,
                                                                                 bool isFile) {
  const QUrl url = isFile ? QUrl::fromLocalFile(QFile::decodeName(what.c_str()))
                          : QUrl(QString::fromStdString(what));
  return url.isValid() && QDesktopServices::openUrl(url);
};

std::string AppController::manualPath() {
  const std::string root = LocalDomainApplicationSupportPath();
  return root.empty() ? std::string() : root + "/QVRAVerdaliaManual.pdf";
}

void AppController::launchManual() {
  const std::string path = manualPath();
  if (path.empty() || !QFileInfo(QFile::decodeName(path.c_str())).isFile() || !openWithDesktop) return;
  openWithDesktop(path, true);
}

void AppController::visitZelkoHomePage() {
  if (!openWithDesktop) return;
  const std::string address = LocalizedString(kHomePageAddress);
  if (!address.empty()) openWithDesktop(address, false);
}

namespace {
// Showing the 3D window brings its scene up to date: a deferred scene is rebuilt, a current
// one is rendered on the next draw.
void BringLiveViewUpToDate(LiveViewController* controller) {
  if (gRenderOnShow) {
    RenderAllLayers();
  } else {
    gRenderDirty = 1;
    gRefreshRender = 1;
  }
  controller->liveViewOGLView()->update();
}
}  // namespace

void AppController::toggleLiveViewPanel() {
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  if (controller->isVisible()) {
    controller->orderOut();
    controller->close();
    return;
  }
  controller->showWindow();
  BringLiveViewUpToDate(controller);
}

void AppController::showLiveViewPanel() {
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  if (controller->isVisible()) return;
  controller->showWindow();
  BringLiveViewUpToDate(controller);
}

void AppController::showAddkitLauncherWindow() {
  AddkitLauncherController& launcher = AddkitLauncherController::sharedAddkitLauncherController();
  launcher.adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = launcher.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    launcher.move(frame.topLeft());
  }
  launcher.exec();
  launcher.close();
  if (ZLKWindowController* controller = mainWindowController()) controller->update();
}

namespace {

// The decorations the window system draws around a window, once known (zero before the
// window was first shown, and without a window manager).
QMargins DecorationMargins(const QWidget* window) {
  const QRect frame = window->frameGeometry(), client = window->geometry();
  return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                  frame.bottom() - client.bottom());
}

// Decorations wider than this are taken for a misreading.
constexpr int kMostDecoration = 200;

// No screen reaches this far: a saved frame beyond it is a damaged one (and its edges,
// x + width and y + height, then stay well inside an int).
constexpr int kMostFrameCoordinate = 1 << 20;

bool PlausibleFrame(int x, int y, int width, int height) {
  return width > 0 && height > 0 && width <= kMostFrameCoordinate && height <= kMostFrameCoordinate &&
         x >= -kMostFrameCoordinate && x <= kMostFrameCoordinate && y >= -kMostFrameCoordinate &&
         y <= kMostFrameCoordinate;
}

bool PlausibleMargins(const QMargins& m) {
  for (const int side : {m.left(), m.top(), m.right(), m.bottom()})
    if (side < 0 || side > kMostDecoration) return false;
  return true;
}

// The available area of the screen that holds most of the frame (the primary screen when
// none does).
QRect AvailableAreaFor(const QRect& frame) {
  QScreen* best = QGuiApplication::primaryScreen();
  qint64 bestOverlap = 0;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect common = screen->geometry().intersected(frame);
    const qint64 overlap = qint64(common.width()) * common.height();
    if (!common.isEmpty() && overlap > bestOverlap) {
      best = screen;
      bestOverlap = overlap;
    }
  }
  return best ? best->availableGeometry() : QRect();
}

}  // namespace

// The frame, decorations included, then the decorations themselves: a window that has not
// been shown yet knows nothing of its decorations, and would otherwise come back shifted by
// its title bar at each start.
void AppController::savePanelFrame(const QWidget* panel, const std::string& name) {
  if (!panel) return;
  const QRect frame = panel->frameGeometry();
  const QMargins m = DecorationMargins(panel);
  char text[96];
  std::snprintf(text, sizeof text, "%d %d %d %d %d %d %d %d", frame.x(), frame.y(), frame.width(), frame.height(),
                m.left(), m.top(), m.right(), m.bottom());
  StandardUserDefaults().setString(PanelFrameKey(name), text);
}

bool AppController::hasSavedPanelFrame(const std::string& name) {
  return StandardUserDefaults().hasValue(PanelFrameKey(name));
}

bool AppController::restorePanelFrame(QWidget* panel, const std::string& name, bool restoreSize) {
  if (!panel || !hasSavedPanelFrame(name)) return false;
  int x = 0, y = 0, width = 0, height = 0;
  std::istringstream text(StandardUserDefaults().getString(PanelFrameKey(name)));
  // Also refuses numbers out of range; a frame off every screen is refused like an empty one,
  // and the palette keeps its default place.
  if (!(text >> x >> y >> width >> height) || !PlausibleFrame(x, y, width, height)) return false;
  // Frames saved before the decorations were recorded have none.
  int left = 0, top = 0, right = 0, bottom = 0;
  QMargins saved;
  if (text >> left >> top >> right >> bottom) saved = QMargins(left, top, right, bottom);
  if (!PlausibleMargins(saved)) saved = QMargins();
  // A palette sizes itself; its saved size still keeps all of it on the screen.
  const QRect frame(x, y, width, height);
  placeWindowFrame(panel, FitFrameInArea(frame, AvailableAreaFor(frame)), saved, restoreSize);
  return true;
}

void AppController::keepFramedOnScreen(QWidget* window, int triesLeft) {
  if (!window) return;
  QTimer::singleShot(50, window, [window, triesLeft] {
    if (!window->isVisible() || window->frameGeometry() == window->geometry()) {
      if (triesLeft > 0) keepFramedOnScreen(window, triesLeft - 1);
      return;
    }
    const QRect frame = window->frameGeometry();
    const QRect fitted = FitFrameInArea(frame, AvailableAreaFor(frame));
    if (fitted.topLeft() != frame.topLeft()) window->move(fitted.topLeft());
  });
}

void AppController::placeWindowFrame(QWidget* window, const QRect& frame, const QMargins& decorations,
                                     bool resize) {
  if (!window) return;
  // Made now, so that the position below always means the same thing: the window's own
  // origin plus the decorations the window system has reported.
  window->winId();
  const QMargins known = DecorationMargins(window);
  const QMargins m = known.isNull() ? decorations : known;
  if (resize) window->resize(std::max(1, frame.width() - m.left() - m.right()),
                             std::max(1, frame.height() - m.top() - m.bottom()));
  // Qt adds the decorations it knows of; those it does not know yet are added here.
  window->move(known.isNull() ? frame.topLeft() + QPoint(m.left(), m.top()) : frame.topLeft());
}

void AppController::keepPanelsWithMainWindow() { keepPanelsWithDesignWindow(mainWindowController()); }

namespace {
constexpr const char* kMappedAboveProperty = "casaMappedAbove";
}  // namespace

void AppController::keepPanelsWithDesignWindow(QWidget* design) {
  QWindow* parent = design ? design->windowHandle() : nullptr;
  if (!parent) return;  // not made yet: its showing and activation come back here
  // A window manager takes the hint only from a panel mapped while the design window is on
  // the screen: a panel mapped before (at start-up the palettes come first) is stacked as a
  // window of its own, under the design window. It is mapped again once the design window is
  // shown; the panel records the design window it was last mapped above.
  const bool parentShown = parent->isExposed();
  auto keep = [parent, parentShown](QWidget* panel) {
    if (!panel) return;
    panel->winId();
    QWindow* handle = panel->windowHandle();
    if (!handle) return;
    const QVariant above = handle->property(kMappedAboveProperty);
    const bool mappedAbove = above.isValid() && above.value<QObject*>() == parent;
    if (handle->transientParent() == parent && (mappedAbove || !parentShown)) return;
    handle->setTransientParent(parent);
    handle->setProperty(kMappedAboveProperty, parentShown ? QVariant::fromValue<QObject*>(parent) : QVariant());
    // The window system reads the hint when the window is mapped; mapped again, the panel
    // leaves the keyboard where it is.
    if (panel->isVisible()) {
      const bool quiet = panel->testAttribute(Qt::WA_ShowWithoutActivating);
      panel->setAttribute(Qt::WA_ShowWithoutActivating);
      // Asked for where it is, or the window manager places it afresh.
      const QPoint at = panel->pos();
      panel->hide();
      panel->move(at);
      panel->show();
      panel->setAttribute(Qt::WA_ShowWithoutActivating, quiet);
    }
  };
  keep(&ToolPaletteController::sharedToolPaletteController());
  keep(&PlanToolPaletteController::sharedPlanToolPaletteController());
  keep(&SnapPaletteController::sharedSnapPaletteController());
  if (LiveViewController::exists()) keep(LiveViewController::sharedLiveViewController()->window());
  if (auto* window = qobject_cast<ZLKWindowController*>(design)) keepPanelsClearOfDesignBars(window);
}

namespace {

// The palettes a design window filling the screen keeps clear of its bars.
std::array<QWidget*, 3> BarPalettes() {
  return {&PlanToolPaletteController::sharedPlanToolPaletteController(),
          &ToolPaletteController::sharedToolPaletteController(),
          &SnapPaletteController::sharedSnapPaletteController()};
}

// A palette moved clear of the bars: the frame it had before and where it was put.
struct MovedPalette {
  QWidget* palette = nullptr;
  QRect from;
  QPoint to;
};
// The design window the palettes were moved for; they go back when it is restored.
QPointer<ZLKWindowController> sPalettesMovedFor;
std::vector<MovedPalette> sMovedPalettes;

}  // namespace

void AppController::keepPanelsClearOfDesignBars(ZLKWindowController* design) {
  if (!design || !design->isVisible() || !(design->isMaximized() || design->isFullScreen())) return;
  // The band from the menu bar's top to the bottom of the plan tabs under the toolbar, across
  // the window.
  QRect band;
  for (const QWidget* bar : {static_cast<const QWidget*>(design->menuBar()), static_cast<const QWidget*>(design->docToolbar()),
                             static_cast<const QWidget*>(design->docTabView())})
    if (bar && bar->isVisible()) band |= QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size());
  if (band.isEmpty()) return;
  band.setLeft(design->frameGeometry().left());
  band.setRight(design->frameGeometry().right());
  const std::array<QWidget*, 3> palettes = BarPalettes();
  std::vector<QRect> frames;
  for (QWidget* palette : palettes) frames.push_back(palette->isVisible() ? palette->frameGeometry() : QRect());
  const std::vector<QRect> kept = KeepFramesClearOfBand(frames, band, AvailableAreaFor(design->frameGeometry()));
  if (sPalettesMovedFor != design) {
    sPalettesMovedFor = design;
    sMovedPalettes.clear();
  }
  for (size_t i = 0; i < frames.size(); ++i) {
    if (kept[i] == frames[i]) continue;
    placeWindowFrame(palettes[i], kept[i], DecorationMargins(palettes[i]), false);
    auto moved = std::find_if(sMovedPalettes.begin(), sMovedPalettes.end(),
                              [&](const MovedPalette& m) { return m.palette == palettes[i]; });
    if (moved == sMovedPalettes.end()) {
      sMovedPalettes.push_back({palettes[i], frames[i], kept[i].topLeft()});
    } else {
      // Moved by the user since it was put there: it goes back to where the user put it.
      if (moved->to != frames[i].topLeft()) moved->from = frames[i];
      moved->to = kept[i].topLeft();
    }
  }
}

void AppController::returnPanelsMovedForDesignBars(ZLKWindowController* design) {
  if (!design || design != sPalettesMovedFor) return;
  const std::vector<MovedPalette> moved = std::move(sMovedPalettes);
  sMovedPalettes.clear();
  sPalettesMovedFor = nullptr;
  // Those still where they were put go back; one the user has moved since stays.
  std::vector<std::pair<QWidget*, QRect>> back;
  for (const MovedPalette& m : moved)
    if (m.palette->frameGeometry().topLeft() == m.to)
      back.emplace_back(m.palette, QRect(m.from.topLeft(), m.palette->frameGeometry().size()));
  // None goes back onto a shown palette that stays where it is.
  for (const auto& [palette, frame] : back) {
    bool covers = false;
    for (const QWidget* other : BarPalettes()) {
      const bool returns = std::any_of(back.begin(), back.end(), [other](const auto& b) { return b.first == other; });
      covers = covers || (other != palette && !returns && other->isVisible() && other->frameGeometry().intersects(frame));
    }
    if (!covers) placeWindowFrame(palette, frame, DecorationMargins(palette), false);
  }
}

// ---- Launch and the user defaults ----

std::map<std::string, UserDefaultValue> AppController::registrationDefaults(bool metricLocale) {
  return {
      {ZLKUndoEnabledKey, true},
      {ZLKUndoLevelKey, 200},
      {ZLKShowPlanToolsKey, true},
      {ZLKShowSnapToolsKey, true},
      {ZLKShowGeneralToolsKey, true},
      {ZLKShowContentPanelKey, true},
      {ZLKShowInspectorPanelKey, true},
      {ZLKFoundationPlanColorKey, ColorDefault(192, 0, 0)},
      {ZLKFloorPlanColorKey, ColorDefault(0, 64, 136)},
      {ZLKElectricalPlanColorKey, ColorDefault(255, 128, 0)},
      {ZLKPlumbingPlanColorKey, ColorDefault(0, 192, 192)},
      {ZLKRoofingPlanColorKey, ColorDefault(0, 0, 192)},
      {ZLKHVACPlanColorKey, ColorDefault(192, 0, 192)},
      {ZLKDeckPlanColorKey, ColorDefault(192, 124, 32)},
      {ZLKLandscapePlanColorKey, ColorDefault(0, 192, 0)},
      {ZLKDetailPlanColorKey, ColorDefault(0, 64, 136)},
      {ZLKPlanBackgroundColorKey, ColorDefault(248, 248, 255)},
      {ZLKInactiveFloorColorKey, ColorDefault(208, 232, 255)},
      {ZLKInteriorFillColorKey, ColorDefault(242, 242, 255)},
      {ZLKTopographyLinesColorKey, ColorDefault(193, 221, 193)},
      {ZLKClearViewColorKey, ColorDefault(0, 64, 136)},
      {ZLKWireFrameColorKey, ColorDefault(0, 0, 0)},
      {ZLKGridColorKey, ColorDefault(168, 176, 200)},
      {ZLKMeasurementSystemKey, metricLocale ? 4 : 3},
      {ZLKAngleReadoutKey, 2},
      {ZLKImperialReadoutKey, 112},
      {ZLKMetricReadoutKey, 1},
      {ZLKForcePlanDefaultsKey, false},
      {ZLKMaxSearchResultsKey, 100},
      {ZLKPreviewSizeKey, 2},
  };
}

bool AppController::localeUsesMetricSystem() {
  return QLocale::system().measurementSystem() == QLocale::MetricSystem;
}

void AppController::startUp() {
  initializeSupportPath();
  ZLKDocumentController::sharedDocumentController();
  gLiveViewOptions = 1023;
  gToolsetOptions = 6911;
  loadNewPlanReadoutState();
  loadWindowVisibilityState();
  sInitialWindowPositionsSet = false;
  sPanelsClosedSinceStart = false;
  sHiddenForAddkit = HiddenForAddkit();
  sApplicationDidLaunch = false;
  gCurFontInfo = DefaultFontInfo(-16);
  gTextFontInfo = DefaultFontInfo(-28);
  AddkitDispatcher::sharedAddkitDispatcher().buildPluginList();
  AddkitDispatcher::sharedAddkitDispatcher().registerAllServerObservers();
  AllocateAcclLineBuffer();
  sShouldDisplaySplashScreen = true;
}

void AppController::applicationDidFinishLaunching() {
  sShouldDisplaySplashScreen = false;
  sApplicationDidLaunch = true;
  InspectorController::sharedInspectorController()->swapCurrentViewWithInspectorView(nullptr);
}

void AppController::applicationWillTerminate() { FreeAcclLineBuffer(); }

bool AppController::applicationDidLaunch() { return sApplicationDidLaunch; }
bool AppController::shouldDisplaySplashScreen() { return sShouldDisplaySplashScreen; }

bool AppController::initializeSupportPath() {
  if (!CreateApplicationTemporaryFolder()) return false;
  // Undo snapshots of runs that crashed would otherwise stay until the user logs out.
  RemoveAbandonedUndoFiles();
  return true;
}

void AppController::loadNewPlanReadoutState() {
  const UserDefaults& defaults = StandardUserDefaults();
  // Any stored value other than 3 counts as metric.
  gDefaultToImperial = defaults.getInt(ZLKMeasurementSystemKey) == 3 ? 1 : 0;
  gForceNewPlanDefaults = defaults.getBool(ZLKForcePlanDefaultsKey) ? 1 : 0;
  // New designs read out as the Preferences window shows the codes.
  gAngleReadoutFormat = StoredReadoutCode(defaults, ZLKAngleReadoutKey);
  gImperialReadoutFormat = StoredReadoutCode(defaults, ZLKImperialReadoutKey);
  gMetricReadoutFormat = StoredReadoutCode(defaults, ZLKMetricReadoutKey);
}

void AppController::loadColorsForDocument(ZLKDocument* document) {
  ZLKDocumentModel* model = document ? document->documentModel() : nullptr;
  if (model) loadPlanColors(model->itsDocState);
}

void AppController::loadPlanColors(DocState* ds) {
  if (!ds) return;
  // In plan-kind order: foundation, floor, electrical, plumbing, roofing, HVAC, deck,
  // landscape, detail.
  static const char* const kKeys[9] = {ZLKFoundationPlanColorKey, ZLKFloorPlanColorKey,
                                       ZLKElectricalPlanColorKey, ZLKPlumbingPlanColorKey,
                                       ZLKRoofingPlanColorKey,    ZLKHVACPlanColorKey,
                                       ZLKDeckPlanColorKey,       ZLKLandscapePlanColorKey,
                                       ZLKDetailPlanColorKey};
  const UserDefaults& defaults = StandardUserDefaults();
  for (int kind = 0; kind < 9; ++kind) {
    // "#rrggbb"; anything else leaves the design's colour as it is.
    const std::string text = defaults.getString(kKeys[kind]);
    unsigned red = 0, green = 0, blue = 0;
    char end = 0;
    if (text.size() != 7 || std::sscanf(text.c_str(), "#%2x%2x%2x%c", &red, &green, &blue, &end) != 3) continue;
    ds->planColors[kind] = {static_cast<uint16_t>(red * 257), static_cast<uint16_t>(green * 257),
                            static_cast<uint16_t>(blue * 257)};
  }
}

int AppController::undoLevelsPreference() {
  // The preferences window stores 5 to 500; a damaged file may hold anything.
  return std::clamp(StandardUserDefaults().getInt("UndoLevels"), 5, 500);
}

bool AppController::snapToolsVisible() { return sSnapToolsVisible; }
bool AppController::inspectorVisible() { return sInspectorVisible; }
bool AppController::contentLibraryVisible() { return sContentLibraryVisible; }
void AppController::setSnapToolsVisible(bool visible) { sSnapToolsVisible = visible; }
void AppController::setInspectorVisible(bool visible) { sInspectorVisible = visible; }
void AppController::toggleInspectorPanel() { InspectorController::sharedInspectorController()->toggleInspectorPanel(); }
void AppController::setContentLibraryVisible(bool visible) { sContentLibraryVisible = visible; }

unsigned AppController::deMiniaturizedDocumentWindowCount() {
  unsigned count = 0;
  for (ZLKDocument* document : ZLKDocumentController::sharedDocumentController().documents()) {
    const QList<ZLKWindowController*> controllers = document->windowControllers();
    if (!controllers.isEmpty() && !controllers.first()->isMinimized()) ++count;
  }
  return count;
}

bool AppController::delegateItemsEnabled() {
  return gCurDocument && !AddkitDispatcher::sharedAddkitDispatcher().addkitEntryForDocument(gCurDocument) &&
         deMiniaturizedDocumentWindowCount() != 0;
}

bool AppController::validateMenuItem(QAction* item) {
  if (!item) return false;
  const bool enabled = delegateItemsEnabled();
  bool ok = false;
  const int tag = item->data().toInt(&ok);
  if (ok && tag >= kCmdToggleLiveViewPanel && tag <= kCmdToggleInspector) {
    static const char* const kTitles[5][2] = {{"Hide 3D View", "Show 3D View"},
                                              {"Hide Editing Tools", "Show Editing Tools"},
                                              {"Hide Snap Tools", "Show Snap Tools"},
                                              {"Hide Drawing Tools", "Show Drawing Tools"},
                                              {"Hide Inspector", "Show Inspector"}};
    bool shown = false;
    if (tag == kCmdToggleLiveViewPanel)
      shown = LiveViewController::exists() && LiveViewController::sharedLiveViewController()->isVisible();
    else if (tag == kCmdToggleEditingTools) shown = ToolPaletteController::sharedToolPaletteController().isVisible();
    else if (tag == kCmdToggleSnapTools) shown = SnapPaletteController::sharedSnapPaletteController().isVisible();
    else if (tag == kCmdToggleDrawingTools)
      shown = PlanToolPaletteController::sharedPlanToolPaletteController().isVisible();
    else if (tag == kCmdToggleInspector)
      shown = InspectorController::sharedInspectorController()->panel() &&
              !InspectorController::sharedInspectorController()->panel()->isHidden();
    const char* title = kTitles[tag - kCmdToggleLiveViewPanel][shown && enabled ? 0 : 1];
    item->setText(LocalizedMenuText(title));
  }
  item->setEnabled(enabled);
  return enabled;
}
