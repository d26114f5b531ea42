// The design window's layout, its File, Edit, Object, Plan and View menus, the toolbar, the
// plan tabs, the status line, the elevation pane and the close check.
#include "app/ZLKWindowController.h"

#include "app/RenderKeyWatch.h"
#include "inspectors/SmallControls.h"
#include "inspectors/SnapPaletteController.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QPushButton>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QWindow>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWidgetAction>
#include <cmath>
#include <cstring>
#include <memory>

#include "app/AddkitDispatcher.h"
#include "app/AddkitLauncherController.h"
#include "app/AppController.h"
#include "app/ContextMenuFactory.h"
#include "app/UserDefaultKeys.h"
#include "content/ContentLibraryManager.h"
#include "inspectors/InspectorController.h"
#include "content/ContentPaletteController.h"
#include "content/ContentProviderController.h"
#include "app/LiveViewController.h"
#include "app/LiveViewExport.h"
#include "app/LiveViewOGLView.h"
#include "building3d/RenderRoad.h"
#include "model/LineGeometry.h"
#include "openings/CustomDefinitions.h"
#include "app/MenuText.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKDocumentScrollView.h"
#include "app/ZLKDocumentView.h"
#include "app/PlanToolPaletteController.h"
#include "app/EditToolPaletteController.h"
#include "app/WindowPlacement.h"
#include "app/PlanViewActions.h"
#include "app/StatusReadouts.h"
#include "app/Win32EventHandler.h"
#include "files/ObjectFile.h"
#include "files/StreamState.h"
#include "files/TopoGridFile.h"
#include "model/AddRemovePoints.h"
#include "model/HitTest.h"
#include "model/ParallelObjects.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/CustomTextures.h"
#include "model/Globals.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/SelectionState.h"
#include "model/TopoGrid.h"
#include "model/DocState.h"
#include "files/Undo.h"
#include "model/DocumentModel.h"
#include "render3d/Navigation.h"
#include "model/Services.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"
#include "platform/UserDefaults.h"

uint8_t gDrawElevation = 0;
uint8_t gDrawElevationNoSelection = 0;

namespace {
QString Localized(const char* key) { return QString::fromStdString(LocalizedString(key)); }
// The plug-in progress sheet: only the plug-in or the Close button ends it, not Escape or the
// window's close box.
class AddkitProgressSheet : public QDialog {
 public:
  using QDialog::QDialog;
  void reject() override {}
};
// The toolbar's 3D item: a small house in perspective.
QIcon LiveViewToolbarIcon() {
  QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 1.5));
  p.setBrush(QColor(230, 200, 150));
  p.drawPolygon(QPolygonF({QPointF(4, 16), QPointF(16, 20), QPointF(16, 29), QPointF(4, 25)}));
  p.setBrush(QColor(200, 170, 120));
  p.drawPolygon(QPolygonF({QPointF(16, 20), QPointF(28, 14), QPointF(28, 23), QPointF(16, 29)}));
  p.setBrush(QColor(170, 60, 50));
  p.drawPolygon(QPolygonF({QPointF(2, 17), QPointF(10, 6), QPointF(22, 3), QPointF(30, 15), QPointF(16, 21)}));
  p.end();
  return QIcon(QPixmap::fromImage(image));
}
// The other toolbar pictures, drawn the same way: 32 x 32, dark outlines.
template <class Draw>
QIcon DrawnToolbarIcon(Draw draw) {
  QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 1.5));
  draw(p);
  p.end();
  return QIcon(QPixmap::fromImage(image));
}
// The inspector: an "i" in a round badge.
QIcon InspectorToolbarIcon() {
  return DrawnToolbarIcon([](QPainter& p) {
    p.setBrush(QColor(70, 120, 200));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(14, 7.5, 4, 4));
    p.drawRoundedRect(QRectF(14, 13.5, 4, 11), 1, 1);
  });
}
// The content library: a tree beside a box of parts.
QIcon ContentToolbarIcon() {
  return DrawnToolbarIcon([](QPainter& p) {
    p.setBrush(QColor(150, 110, 70));
    p.drawRect(QRectF(8, 20, 3, 9));
    p.setBrush(QColor(80, 160, 80));
    p.drawEllipse(QRectF(2, 4, 15, 18));
    p.setBrush(QColor(220, 190, 120));
    p.drawRect(QRectF(17, 15, 12, 13));
    p.drawLine(QPointF(17, 19), QPointF(29, 19));
  });
}
// The lot: a four-sided lot outline on grass with a north arrow.
QIcon LotPropertiesToolbarIcon() {
  return DrawnToolbarIcon([](QPainter& p) {
    p.setBrush(QColor(150, 200, 120));
    p.drawPolygon(QPolygonF({QPointF(3, 10), QPointF(22, 6), QPointF(26, 28), QPointF(5, 29)}));
    p.setBrush(QColor(40, 40, 40));
    p.drawPolygon(QPolygonF({QPointF(27, 2), QPointF(30, 9), QPointF(24, 9)}));
    p.drawLine(QPointF(27, 9), QPointF(27, 14));
  });
}
constexpr const char* kFloorNames[3] = {"First Floor", "Second Floor", "Third Floor"};
constexpr int kElevationSliderMin = -10;
constexpr int kElevationSliderMax = 20;
// Edits made by the core (which only flags the model) show in the title within this time.
constexpr int kStatePollMilliseconds = 250;
}  // namespace

ZLKWindowController::ZLKWindowController(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(Localized("Untitled"));
  documentScrollView_ = new ZLKDocumentScrollView(this);
  documentView_ = new ZLKDocumentView;
  documentScrollView_->setWidget(documentView_);
  buildPlanTabs();
  buildMenus();
  setupToolbar();
  buildStatusLine();
  buildContentDock();
  buildInspectorDock();
  AttachToolPalettes(this);
  resize(1024, 768);
  placeWindow();
  stateTimer_ = new QTimer(this);
  connect(stateTimer_, &QTimer::timeout, this, &ZLKWindowController::updateWindowState);
}

void ZLKWindowController::buildMenus() {
  auto& documents = ZLKDocumentController::sharedDocumentController();
  QMenu* file = menuBar()->addMenu(LocalizedMenuText("File"));
  newAction_ = file->addAction(LocalizedMenuText("New"));
  newAction_->setShortcut(QKeySequence::New);
  connect(newAction_, &QAction::triggered, this, [&documents] { documents.newDocument(); });
  openAction_ = file->addAction(LocalizedMenuText("Open..."));
  openAction_->setShortcut(QKeySequence::Open);
  connect(openAction_, &QAction::triggered, this, [&documents] { documents.openDocument(); });
  openRecentMenu_ = file->addMenu(LocalizedMenuText("Open Recent"));
  connect(openRecentMenu_, &QMenu::aboutToShow, this, &ZLKWindowController::updateOpenRecentMenu);
  updateOpenRecentMenu();
  file->addSeparator();
  saveAction_ = file->addAction(LocalizedMenuText("Save"));
  saveAction_->setShortcut(QKeySequence::Save);
  connect(saveAction_, &QAction::triggered, this, [this] {
    if (document_) document_->saveDocument();
  });
  saveAsAction_ = file->addAction(LocalizedMenuText("Save As..."));
  saveAsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  connect(saveAsAction_, &QAction::triggered, this, [this] {
    if (document_) document_->saveDocumentAs();
  });
  file->addSeparator();
  addPlanAction(file, "Import 3D Object...", kTagImport3DObject);
  addPlanAction(file, "Export VRML...", kTagExportVRML);
  addPlanAction(file, "Export 3D Image...", kTagExportLiveViewImage);
  addPlanAction(file, "Print 3D View...", kTagPrint3DLiveViewImage);
  addPlanAction(file, "Print...", kTagPrint, QKeySequence(Qt::CTRL | Qt::Key_P));
  addPlanAction(file, "Print to Scale...", kTagPrintToScale);
  file->addSeparator();
  quitAction_ = file->addAction(LocalizedMenuText("Quit"));
  quitAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  quitAction_->setMenuRole(QAction::QuitRole);
  connect(quitAction_, &QAction::triggered, qApp, [] {
    // Every design window is asked first: a Cancel in its save question stops the quit and
    // leaves every window, the 3D window and the palettes included, as it was.
    for (ZLKDocument* document : ZLKDocumentController::sharedDocumentController().documents())
      for (ZLKWindowController* window : document->windowControllers())
        if (window && window->isVisible() && !window->close()) return;
    LiveViewController::closeSharedWindow();
    QApplication::closeAllWindows();
  });

  QMenu* edit = menuBar()->addMenu(LocalizedMenuText("Edit"));
  undoAction_ = edit->addAction(LocalizedMenuText("Undo"));
  undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  connect(undoAction_, &QAction::triggered, this, [this] {
    if (ZLKDocumentView::runAfterToolLoop(this, [this] {
          updateWindowState();
          undoAction_->trigger();
        })) return;
    if (document_) document_->undoManager().undo();
    updateWindowState();
  });
  redoAction_ = edit->addAction(LocalizedMenuText("Redo"));
  redoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  connect(redoAction_, &QAction::triggered, this, [this] {
    if (ZLKDocumentView::runAfterToolLoop(this, [this] {
          updateWindowState();
          redoAction_->trigger();
        })) return;
    if (document_) document_->undoManager().redo();
    updateWindowState();
  });
  connect(edit, &QMenu::aboutToShow, this, &ZLKWindowController::updateWindowState);
  buildPlanMenus(edit);
  updateWindowState();

  // The Help menu made with the plan menus (About) takes the content items too.
  QMenu* help = menuBar()->findChild<QMenu*>(QStringLiteral("HelpMenu"));
  if (!help) help = menuBar()->addMenu(LocalizedMenuText("Help"));
  help->setObjectName(QStringLiteral("HelpMenu"));
  QAction* providers = help->addAction(LocalizedMenuText("Content Providers..."));
  providers->setObjectName(QStringLiteral("showContentProvidersWindow:"));
  connect(providers, &QAction::triggered, this, [] {
    ContentProviderController* window = ContentProviderController::sharedContentProviderController();
    window->show();
    window->raise();
  });
}

void ZLKWindowController::buildContentDock() {
  if (contentDock_) return;
  ContentHooks().contentActionMenu = [](QObject* target, int16_t category, int16_t library) {
    return ContextMenuFactory::contentActionMenuUsingTarget(target, category, library);
  };
  if (!ContentHooks().applyCustomAttachment)
    ContentHooks().applyCustomAttachment = [] { ApplyCurCustAttachToSelectedWinAndDoor(); };
  contentDock_ = new QDockWidget(Localized("Content"), this);
  contentDock_->setObjectName(QStringLiteral("ContentLibraryDock"));
  contentPalette_ = new ContentPaletteController(contentDock_);
  contentDock_->setWidget(contentPalette_);
  addDockWidget(Qt::RightDockWidgetArea, contentDock_);
  contentDock_->setVisible(AppController::contentLibraryVisible());
  contentPalette_->makeShared();
}

void ZLKWindowController::buildInspectorDock() {
  InspectorHooks& hooks = InspectorControllerHooks();
  hooks.setInspectorVisible = [](bool visible) { AppController::setInspectorVisible(visible); };
  hooks.smoothSelected = [] { Win32EventHandler::sharedEventHandler()->smoothSelected(); };
  hooks.unsmoothSelected = [] { Win32EventHandler::sharedEventHandler()->unsmoothSelected(); };
  hooks.watchKeys = [](bool on) {
    if (on) RenderKeyWatch::shared().begin(nullptr);
    else RenderKeyWatch::shared().end();
  };
  hooks.showCeilingBuilder = [] {
    if (ZLKWindowController* window = AppController::mainWindowController()) window->documentView()->showCeilingBuilder();
  };
  InspectorController::sharedInspectorController()->attachToWindow(this, AppController::inspectorVisible());
}

ZLKInspectorView* ZLKWindowController::parentInspectorView() const {
  return InspectorController::sharedInspectorController()->parentInspectorView();
}

QWidget* ZLKWindowController::noPropertiesView() const {
  return InspectorController::sharedInspectorController()->noPropertiesView();
}

void ZLKWindowController::toggleContentLibraryPanel() {
  if (!contentDock_) return;
  const bool show = contentDock_->isHidden();
  contentDock_->setVisible(show);
  AppController::setContentLibraryVisible(show);
  StandardUserDefaults().setBool(ZLKShowContentPanelKey, show);
}

void ZLKWindowController::refreshContentPalette() {
  if (!contentPalette_) return;
  contentPalette_->makeShared();
  ContentLibraryManager::sharedContentLibraryManager().rebuildSymEntryListForItem(contentPalette_->selectedCategoryItem());
  contentPalette_->refreshContentView();
}

QAction* ZLKWindowController::addPlanAction(QMenu* menu, const char* title, int32_t tag,
                                            const QKeySequence& shortcut) {
  QAction* action = menu->addAction(LocalizedMenuText(title));
  action->setData(tag);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  connect(action, &QAction::triggered, this, [this, action, tag] {
    // Chosen while a tool's loop waits for its ending press, the command comes after the
    // object that loop makes, chosen again once its click is done.
    if (ZLKDocumentView::runAfterToolLoop(this, [this, action] {
          updateWindowState();
          if (action->isEnabled()) action->trigger();
        }))
      return;
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
  edit->addSeparator();
  addPlanAction(edit, "Preferences...", kTagShowPreferences);

  QMenu* object = menuBar()->addMenu(LocalizedMenuText("Object"));
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
  addPlanAction(object, "Move Objects...", kTagMoveObjects);
  addPlanAction(object, "Rotate Objects...", kTagRotateObjects);
  QMenu* nudge = object->addMenu(LocalizedMenuText("Nudge"));
  addPlanAction(nudge, "Nudge Up", kCmdNudgeUp);
  addPlanAction(nudge, "Nudge Down", kCmdNudgeDown);
  addPlanAction(nudge, "Nudge Left", kCmdNudgeLeft);
  addPlanAction(nudge, "Nudge Right", kCmdNudgeRight);
  addPlanAction(object, "Straighten Curves", kCmdUnsmoothObjects);
  addPlanAction(object, "Smooth Curves...", kTagSmoothCurves);
  object->addSeparator();
  addPlanAction(object, "Move to Upper Floor", kCmdMoveToUpperFloor);
  addPlanAction(object, "Move to Lower Floor", kCmdMoveToLowerFloor);
  addPlanAction(object, "Copy to Upper Floor", kCmdCopyToUpperFloor);
  addPlanAction(object, "Copy to Lower Floor", kCmdCopyToLowerFloor);
  object->addSeparator();
  static const char* const kPlanNames[kPlanKindCount] = {
      "Foundation Plan", "Floor Plan", "Electrical Plan", "Plumbing Plan", "Roofing Plan",
      "HVAC Plan", "Deck Plan", "Landscape Plan", "Detail Plan"};
  QMenu* moveToPlan = object->addMenu(LocalizedMenuText("Move to Plan"));
  for (int kind = 0; kind < kPlanKindCount; ++kind)
    addPlanAction(moveToPlan, kPlanNames[kind],
                  kind == kPlanDetail ? kCmdMoveToDetailPlan : kCmdMoveToFoundationPlan + kind);
  addPlanAction(object, "Float Above Topography", kCmdFloatAboveTopography);
  addPlanAction(object, "Set Elevation...", kTagSetObjectElevation);
  addPlanAction(object, "Planting Age...", kTagSetPlantingAge);
  addPlanAction(object, "Plant Growth Projection...", kTagSetPlantGrowthProjection);
  addPlanAction(object, "Fill Object with Plants...", kTagFillObjectWithPlants);
  QMenu* convert = object->addMenu(LocalizedMenuText("Convert Object To"));
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

  QMenu* plan = menuBar()->addMenu(LocalizedMenuText("Plan"));
  addPlanAction(plan, "Flip Entire Plan Horizontal", kCmdFlipPlanHorizontal);
  addPlanAction(plan, "Flip Entire Plan Vertical", kCmdFlipPlanVertical);
  addPlanAction(plan, "Move Entire Plan...", kTagMovePlan);
  addPlanAction(plan, "Rotate Entire Plan...", kTagRotatePlan);
  plan->addSeparator();
  QMenu* shown = plan->addMenu(LocalizedMenuText("Show Plans"));
  for (int kind = 0; kind < kPlanKindCount; ++kind)
    addPlanAction(shown, kPlanNames[kind], kTagShowFoundationPlan + kind);
  plan->addSeparator();
  QMenu* floors = plan->addMenu(LocalizedMenuText("Work on Floor"));
  for (int i = 0; i < 3; ++i) addPlanAction(floors, kFloorNames[i], kTagFirstFloor + i);
  floors->addSeparator();
  addPlanAction(floors, "View All Floors", kTagViewAllFloors);
  addPlanAction(floors, "View Working Floor Only", kTagViewWorkingFloorOnly);
  QMenu* workingPlan = plan->addMenu(LocalizedMenuText("Work on Plan"));
  for (int kind = 0; kind < kPlanKindCount; ++kind)
    addPlanAction(workingPlan, kPlanNames[kind], kind == kPlanDetail ? kTagWorkOnDetailPlan
                                                                      : kTagWorkOnFoundationPlan + kind);
  QMenu* area = plan->addMenu(LocalizedMenuText("Floor Area"));
  addPlanAction(area, "First Floor Area", kTagFirstFloorArea);
  addPlanAction(area, "Second Floor Area", kTagFirstFloorArea + 1);
  addPlanAction(area, "Third Floor Area", kTagFirstFloorArea + 2);
  addPlanAction(plan, "Working Elevation...", kTagSetWorkingElevation);
  QMenu* ceiling = plan->addMenu(LocalizedMenuText("Ceiling Height"));
  addPlanAction(ceiling, "First Floor...", kTagCeilingHeightFirstFloor);
  addPlanAction(ceiling, "Second Floor...", kTagCeilingHeightFirstFloor + 1);
  addPlanAction(ceiling, "Third Floor...", kTagCeilingHeightThirdFloor);
  addPlanAction(plan, "Lot Size...", kTagSetLotSize);
  addPlanAction(plan, "True North...", kTagSetTrueNorthAngle);
  plan->addSeparator();
  QMenu* trace = plan->addMenu(LocalizedMenuText("Floorplan Trace Image"));
  addPlanAction(trace, "Load Floorplan Trace Image...", kTagLoadFloorplanTraceImage);
  addPlanAction(trace, "Show Floorplan Trace Image", kTagToggleFloorplanTraceImage);
  addPlanAction(trace, "Remove Floorplan Trace Image", kTagRemoveFloorplanTraceImage);
  addPlanAction(trace, "Trace Image Scale...", kTagResizeFloorplanTraceImage);
  plan->addSeparator();
  addPlanAction(plan, "Addkits...", kTagShowAddkitLauncher);

  QMenu* view = menuBar()->addMenu(LocalizedMenuText("View"));
  addPlanAction(view, "Reset Plan View", kTagResetPlanView);
  addPlanAction(view, "Fit to Window", kTagFitToWindow);
  addPlanAction(view, "Refresh View", kTagRefreshView, QKeySequence(Qt::CTRL | Qt::Key_R));
  view->addSeparator();
  addPlanAction(view, "Show Grid", kTagShowGrid);
  addPlanAction(view, "Snap to Grid", kTagSnapToGrid);
  view->addSeparator();
  addPlanAction(view, "Show Virtual Ruler", kTagToggleVirtualRuler);
  addPlanAction(view, "Show Automatic Dimensions", kTagShowAutomaticDimensions);
  addPlanAction(view, "Show Window & Door Callouts", kTagToggleCallouts);
  addPlanAction(view, "Show Topography Lines", kTagToggleTopographyLines);
  view->addSeparator();
  addPlanAction(view, "Grid Properties...", kTagSetGridProperties);
  addPlanAction(view, "Dimension Properties...", kTagSetDimensionProperties);
  addPlanAction(view, "Plan Scale...", kTagSetPlanScale);
  addPlanAction(view, "Plan Zoom...", kTagSetPlanZoom);
  addPlanAction(view, "Measurement Units...", kTagSetMeasurementUnits);

  QMenu* liveView = menuBar()->addMenu(LocalizedMenuText("3D"));
  addPlanAction(liveView, "Render Final", kTagShowLVAndRenderFinal);
  addPlanAction(liveView, "Render Shadows", kTagShowLVAndRenderShadows);
  liveView->addSeparator();
  QMenu* styles = liveView->addMenu(LocalizedMenuText("Render Style"));
  static const char* const kStyles[] = {"Wireframe", "Textured Wireframe", "ClearView", "Solid Render"};
  for (int i = 0; i < 4; ++i) addPlanAction(styles, kStyles[i], kCmdRenderWireframe + i);
  QMenu* navigation = liveView->addMenu(LocalizedMenuText("Navigation"));
  addPlanAction(navigation, "Free Walkthrough", kCmdFreeWalkThrough);
  addPlanAction(navigation, "Free Fly Around", kCmdFreeFlyAround);
  addPlanAction(navigation, "Controlled Walkthrough", kCmdControlledWalkThrough);
  addPlanAction(navigation, "Controlled Fly Around", kCmdControlledFlyAround);
  QMenu* speed = liveView->addMenu(LocalizedMenuText("Navigation Speed"));
  static const char* const kSpeeds[] = {"Slowest", "Slow", "Normal", "Fast", "Fastest"};
  for (int i = 0; i < 5; ++i) addPlanAction(speed, kSpeeds[i], kCmdNavigationSpeed1 + i);
  QMenu* viewpoints = liveView->addMenu(LocalizedMenuText("Viewpoint"));
  addPlanAction(viewpoints, "View from Lot's Top Edge", kViewpointLotTopEdge);
  addPlanAction(viewpoints, "View from Lot's Bottom Edge", kViewpointLotBottomEdge);
  addPlanAction(viewpoints, "View from Lot's Left Edge", kViewpointLotLeftEdge);
  addPlanAction(viewpoints, "View from Lot's Right Edge", kViewpointLotRightEdge);
  QMenu* quality = liveView->addMenu(LocalizedMenuText("Render Quality"));
  static const char* const kQualities[] = {"Low Quality (Fast)", "High Quality (Moderate)",
                                           "Ultra-High Quality (Slow)", "Excellent Quality (Very Slow)"};
  for (int i = 0; i < 4; ++i) addPlanAction(quality, kQualities[i], kCmdRenderQualityLow + i);
  QMenu* shadowQuality = liveView->addMenu(LocalizedMenuText("Shadow Quality"));
  addPlanAction(shadowQuality, "Low", kCmdShadowQualityLow);
  addPlanAction(shadowQuality, "High", kCmdShadowQualityHigh);
  liveView->addSeparator();
  addPlanAction(liveView, "Reset 3D View", kTagResetLV3DView);
  addPlanAction(liveView, "Walkthrough Elevation...", kTagSetLVWalkThroughElevation);
  addPlanAction(liveView, "Fly Around Altitude...", kTagSetLVFlyAroundAltitude);
  addPlanAction(liveView, "Render Properties...", kTagShowLVRenderProperties);
  addPlanAction(liveView, "Lighting Properties...", kTagShowLVLightProperties);

  QMenu* windows = menuBar()->addMenu(LocalizedMenuText("Window"));
  addPlanAction(windows, "Show 3D View", kCmdToggleLiveViewPanel);
  addPlanAction(windows, "Show Editing Tools", kCmdToggleEditingTools);
  addPlanAction(windows, "Show Drawing Tools", kCmdToggleDrawingTools);
  addPlanAction(windows, "Show Inspector", kCmdToggleInspector);
  addPlanAction(windows, "Show Snap Tools", kCmdToggleSnapTools);
  QMenu* help = menuBar()->addMenu(LocalizedMenuText("Help"));
  help->setObjectName(QStringLiteral("HelpMenu"));
  addPlanAction(help, "casavelt Manual", kTagLaunchManual);
  addPlanAction(help, "casavelt Home Page", kTagVisitHomePage);
  addPlanAction(help, "About casavelt", kTagShowAbout);

  for (QMenu* menu : {edit, object, nudge, moveToPlan, convert, plan, shown, floors, workingPlan, area,
                      trace, view, liveView, styles, navigation, speed, viewpoints, quality, shadowQuality,
                      windows, help})
    connect(menu, &QMenu::aboutToShow, this, &ZLKWindowController::validatePlanMenus);
}

void ZLKWindowController::updateOpenRecentMenu() {
  openRecentMenu_->clear();
  auto& documents = ZLKDocumentController::sharedDocumentController();
  for (const std::string& path : documents.recentDocumentPaths()) {
    const QString name = QFileInfo(QFile::decodeName(path.c_str())).fileName();
    QAction* entry = openRecentMenu_->addAction(name);
    entry->setData(QFile::decodeName(path.c_str()));
    connect(entry, &QAction::triggered, this, [&documents, path] {
      documents.openRecentDocument(path);
    });
  }
  openRecentMenu_->addSeparator();
  QAction* clear = openRecentMenu_->addAction(LocalizedMenuText("Clear Menu"));
  clear->setEnabled(!documents.recentDocumentPaths().empty());
  connect(clear, &QAction::triggered, this, [&documents] { documents.clearRecentDocuments(); });
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
  Refresh();  // a trace image shown before is gone
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

void ZLKWindowController::exportVRMLSavePanelDidEnd(int returnCode, const std::string& path) {
  if (returnCode != 1 || !document_ || path.empty()) return;
  ZLKDocumentModel* model = document_->documentModel();
  if (!model || !model->itsDocState) return;
  CurrentDocumentScope scope(model);
  ExportVRMLFile(path.c_str());
}

void ZLKWindowController::setDocument(ZLKDocument* document) {
  if (document_ == document) return;
  if (document_) disconnect(document_, nullptr, this, nullptr);
  document_ = document;
  if (document_) {
    connect(document_, &ZLKDocument::designChanged, this, &ZLKWindowController::designChanged);
    stateTimer_->start(kStatePollMilliseconds);
    documentDidLoad();
  } else {
    stateTimer_->stop();
  }
  designChanged();
}

void ZLKWindowController::designChanged() {
  updateWindowState();
  // A design read, replaced or stepped back by undo brings its own floor and plan.
  syncFloorItem();
  syncPlanTab();
  updatePlantGrowthIndicatorLevel();
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
  undoAction_->setText(undo ? MenuText(undo->undoMenuItemTitle()) : LocalizedMenuText("Undo"));
  redoAction_->setText(undo ? MenuText(undo->redoMenuItemTitle()) : LocalizedMenuText("Redo"));
  undoAction_->setEnabled(undo && undo->canUndo());
  redoAction_->setEnabled(undo && undo->canRedo());
  // Shortcuts act without the menu being opened: keep their items' states current.
  CurrentDocumentScope scope(document_ ? document_->documentModel() : nullptr);
  for (QAction* action : planActions_)
    if (!action->shortcut().isEmpty()) PlanViewActions::validateMenuItem(action);
}

bool ZLKWindowController::performMenuShortcut(const QKeySequence& typed) {
  if (typed.isEmpty()) return false;
  // The items' states as the design window's own shortcuts find them.
  updateWindowState();
  QList<QMenu*> menus;
  for (QAction* title : menuBar()->actions())
    if (title->menu()) menus.append(title->menu());
  for (qsizetype i = 0; i < menus.size(); ++i)
    for (QAction* item : menus[i]->actions()) {
      if (item->menu()) {
        menus.append(item->menu());
        continue;
      }
      if (item->isEnabled() && item->shortcuts().contains(typed)) {
        item->trigger();
        return true;
      }
    }
  return false;
}

void ZLKWindowController::refreshDocumentVisibleView() { documentView_->refreshVisibleView(); }

void ZLKWindowController::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) windowDidBecomeMain();
  if (event->type() == QEvent::WindowStateChange) {
    // Filling the screen, the window has its new frame once the window manager has sized it.
    if (isMaximized() || isFullScreen())
      QTimer::singleShot(0, this, [this] { AppController::keepPanelsClearOfDesignBars(this); });
    else if (!isMinimized())
      AppController::returnPanelsMovedForDesignBars(this);
    const bool minimized = isMinimized();
    if (minimized && !wasMinimized_) windowDidMiniaturize();
    else if (!minimized && wasMinimized_) windowDidDeminiaturize();
    wasMinimized_ = minimized;
  }
}

void ZLKWindowController::windowDidMiniaturize() {
  if (AppController::deMiniaturizedDocumentWindowCount() == 0) AppController::closeVisiblePanelsAndSaveState();
}

void ZLKWindowController::windowDidDeminiaturize() { AppController::restoreAllVisiblePanels(); }

void ZLKWindowController::windowWillClose() {
  ZLKDocumentModel* model = document_ ? document_->documentModel() : nullptr;
  if (!model || model != gCurDocument) return;
  gCurDocument = nullptr;
  // This window is still counted: it was the last design window shown.
  if (ZLKDocumentController::sharedDocumentController().documents().empty() ||
      AppController::deMiniaturizedDocumentWindowCount() == 1)
    AppController::closeVisiblePanelsAndSaveState();
}

void ZLKWindowController::loadToolSetOfShownTab() {
  const int kind = docTabView_ ? docTabView_->currentIndex() : kPlanFloor;
  gCurToolSet = static_cast<int16_t>(kind >= 0 && kind < kPlanKindCount ? kind : kPlanFloor);
  PlanToolPaletteController& plan = PlanToolPaletteController::sharedPlanToolPaletteController();
  plan.loadToolPaletteForPlan(gCurToolSet);
  plan.updateToolsetForPlan(gCurToolSet);
}

void ZLKWindowController::placeWindow() {
  auto paletteFrame = [this](const QWidget* palette) {
    PaletteFrame f;
    if (!palette) return f;
    f.frame = palette->frameGeometry();
    f.visible = palette->isVisible();
    f.sameScreen = palette->screen() == screen();
    return f;
  };
  if (!AppController::applicationDidLaunch() && AppController::hasSavedPanelFrame(kFrameName)) restoresSavedFrame_ = true;
  if (restoresSavedFrame_ && AppController::restorePanelFrame(this, kFrameName, /*restoreSize=*/true)) {
    placedWithDecorations_ = frameGeometry() != geometry();
    return;
  }
  restoresSavedFrame_ = false;
  QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!shown) return;
  WindowPlacementInput in;
  in.window = frameGeometry();
  in.available = shown->availableGeometry();
  in.applicationDidLaunch = AppController::applicationDidLaunch();
  in.editTools = paletteFrame(&ToolPaletteController::sharedToolPaletteController());
  in.snapTools = paletteFrame(&SnapPaletteController::sharedSnapPaletteController());
  in.planTools = paletteFrame(&PlanToolPaletteController::sharedPlanToolPaletteController());
  const QRect frame = PlaceDesignWindow(in);
  // Frames include the decorations. Before the window is first shown they are unknown: those
  // of the design windows shown before stand in, and the window is placed again once its own
  // are reported.
  const QMargins known(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                       frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom());
  if (!known.isNull()) sDecorations = known;
  placedWithDecorations_ = !known.isNull();
  AppController::placeWindowFrame(this, frame, sDecorations, /*resize=*/true);
}

void ZLKWindowController::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (isMaximized() || isFullScreen()) AppController::keepPanelsClearOfDesignBars(this);
}

void ZLKWindowController::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  // The window manager has framed the window placed before it knew the decorations: placed
  // again, once, unless the user has already maximized it.
  if (placedWithDecorations_ || !isVisible() || frameGeometry() == geometry()) return;
  placedWithDecorations_ = true;
  if (windowState() == Qt::WindowNoState) placeWindow();
}

void ZLKWindowController::placeAgainOnceFramed(int triesLeft) {
  // The decorations are reported after the window is mapped, not always with a move.
  QTimer::singleShot(50, this, [this, triesLeft] {
    if (placedWithDecorations_ || !isVisible()) return;
    if (frameGeometry() == geometry()) {
      if (triesLeft > 0) placeAgainOnceFramed(triesLeft - 1);
      return;
    }
    placedWithDecorations_ = true;
    if (windowState() == Qt::WindowNoState) placeWindow();
  });
}

void ZLKWindowController::acceptClose(QCloseEvent* event) {
  // Kept for the next start; a maximized or minimized window leaves the last normal frame.
  if (isVisible() && windowState() == Qt::WindowNoState) AppController::savePanelFrame(this, kFrameName);
  ZLKDocument* document = document_;
  windowWillClose();
  if (document && document->documentModel() == gCurDocument) gCurDocument = nullptr;
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
  document_->canCloseDocumentWithDelegate([self, answer](bool mayClose) {
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

// ---- Layout: plan tabs, toolbar, status line ----

void ZLKWindowController::buildPlanTabs() {
  static const char* const kTabNames[kPlanKindCount] = {
      "Foundation", "Floor", "Electrical", "Plumbing", "Roofing", "HVAC", "Deck", "Landscape", "Detail"};
  auto* windowContainerView = new QWidget(this);
  auto* layout = new QVBoxLayout(windowContainerView);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  docTabView_ = new QTabBar(windowContainerView);
  docTabView_->setExpanding(false);
  for (int kind = 0; kind < kPlanKindCount; ++kind) {
    docTabView_->addTab(Localized(kTabNames[kind]));
    docTabView_->setTabData(kind, QString::number(1L << kind));
  }
  layout->addWidget(docTabView_);
  layout->addWidget(documentScrollView_, 1);
  setCentralWidget(windowContainerView);
  connect(docTabView_, &QTabBar::currentChanged, this, &ZLKWindowController::tabViewDidSelectTabViewItem);
}

void ZLKWindowController::setupToolbar() {
  if (docToolbar_) return;
  docToolbar_ = new QToolBar(Localized("Toolbar"), this);
  docToolbar_->setObjectName(QString::fromLatin1(DocToolbarIdentifier));
  docToolbar_->setMovable(false);
  docToolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);  // picture and label
  auto* activeFloorTBView = new QWidget(docToolbar_);
  auto* row = new QVBoxLayout(activeFloorTBView);
  row->setContentsMargins(4, 0, 4, 0);
  activeFloorTBPopUpButton_ = new QComboBox(activeFloorTBView);
  for (int i = 0; i < 3; ++i) activeFloorTBPopUpButton_->addItem(Localized(kFloorNames[i]), kTagFirstFloor + i);
  row->addWidget(activeFloorTBPopUpButton_);
  auto* label = new QLabel(Localized("Active Floor"), activeFloorTBView);
  label->setAlignment(Qt::AlignHCenter);
  row->addWidget(label);
  QAction* item = docToolbar_->addWidget(activeFloorTBView);
  item->setObjectName(QString::fromLatin1(DocTBActiveFloorItemIdentifier));
  item->setProperty("paletteLabel", Localized("Active Floor"));
  connect(activeFloorTBPopUpButton_, &QComboBox::activated, this,
          &ZLKWindowController::changeFloorTBPopUpButton);
  // The other items, in the toolbar's default order: a flexible space, Content, Inspector,
  // Lot Properties, a flexible space, LiveView.
  auto flexibleSpace = [this] {
    auto* spacer = new QWidget(docToolbar_);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    docToolbar_->addWidget(spacer);
  };
  flexibleSpace();
  QAction* content = docToolbar_->addAction(ContentToolbarIcon(), Localized("Content"));
  content->setObjectName(QString::fromLatin1(DocTBContentItemIdentifier));
  content->setToolTip(Localized("Toggle the content library"));
  content->setProperty("paletteLabel", Localized("Content Library"));
  connect(content, &QAction::triggered, this, &ZLKWindowController::toggleContentLibraryPanel);
  QAction* inspector = docToolbar_->addAction(InspectorToolbarIcon(), Localized("Inspector"));
  inspector->setObjectName(QString::fromLatin1(DocTBInspectorItemIdentifier));
  inspector->setToolTip(Localized("Toggle the object inspector"));
  inspector->setProperty("paletteLabel", Localized("Inspector"));
  connect(inspector, &QAction::triggered, this, [] { AppController::toggleInspectorPanel(); });
  QAction* lot = docToolbar_->addAction(LotPropertiesToolbarIcon(), Localized("Lot Properties"));
  lot->setObjectName(QString::fromLatin1(DocTBLotPropertiesItemIdentifier));
  lot->setToolTip(Localized("Set lot properties such as size and resolution"));
  lot->setProperty("paletteLabel", Localized("Lot Properties"));
  connect(lot, &QAction::triggered, this, [this] {
    if (document_) gCurDocument = document_->documentModel();
    planViewActions_.perform(kTagSetLotSize);
  });
  flexibleSpace();
  QAction* liveView = docToolbar_->addAction(LiveViewToolbarIcon(), Localized("LiveView"));
  liveView->setObjectName(QString::fromLatin1(DocTBLiveViewItemIdentifier));
  liveView->setToolTip(Localized("Toggle the 3D LiveView window"));
  liveView->setProperty("paletteLabel", Localized("LiveView"));
  connect(liveView, &QAction::triggered, this, [] { AppController::toggleLiveViewPanel(); });
  addToolBar(Qt::TopToolBarArea, docToolbar_);
}

void ZLKWindowController::popUpElevationSliderMenu(const QPoint& global) {
  if (document_) gCurDocument = document_->documentModel();
  std::unique_ptr<QMenu> menu = ContextMenuFactory::elevationSliderContextMenu();
  if (!menu) return;
  for (QAction* item : menu->actions()) PlanViewActions::validateMenuItem(item);
  QAction* chosen = ZLKDocumentView::contextMenuPresenter ? ZLKDocumentView::contextMenuPresenter(menu.get(), global)
                                                         : menu->exec(global);
  int32_t tag = 0;
  if (chosen && chosen->isEnabled() && ContextMenuFactory::tagOfItem(chosen, &tag)) planViewActions_.perform(tag);
}

void ZLKWindowController::setVisiblePlanUsingTBMenu(QWidget* sender) {
  if (document_) gCurDocument = document_->documentModel();
  std::unique_ptr<QMenu> menu = ContextMenuFactory::visiblePlanMenu();
  if (!menu) return;
  for (QAction* item : menu->actions()) {
    // A pull-down's first item is its title, which the open menu does not list.
    if (item->text().isEmpty() && !item->data().isValid()) item->setVisible(false);
    else PlanViewActions::validateMenuItem(item);
  }
  const QPoint at = sender ? sender->mapToGlobal(QPoint(0, sender->height())) : QCursor::pos();
  QAction* chosen =
      ZLKDocumentView::contextMenuPresenter ? ZLKDocumentView::contextMenuPresenter(menu.get(), at) : menu->exec(at);
  int32_t tag = 0;
  if (chosen && chosen->isEnabled() && ContextMenuFactory::tagOfItem(chosen, &tag)) planViewActions_.perform(tag);
}

void ZLKWindowController::show3DViewButtonChanged() { AppController::showLiveViewPanel(); }

void ZLKWindowController::buildStatusLine() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(true);
  statusText_ = new QLabel(bar);
  statusText_->setTextFormat(Qt::PlainText);
  bar->addWidget(statusText_, 1);
  auto* elevationSlider = new ElevationSlider(bar);
  elevationSlider->rightMouseDown = [this](const QPoint& global) { popUpElevationSliderMenu(global); };
  elevationSlider_ = elevationSlider;
  elevationSlider_->setRange(kElevationSliderMin, kElevationSliderMax);
  elevationSlider_->setFixedWidth(140);
  elevationSlider_->setToolTip(Localized("Elevation"));
  elevationText_ = new QLabel(bar);
  elevationText_->setTextFormat(Qt::PlainText);
  elevationText_->setMinimumWidth(36);
  // A level gauge that reads as the plants' age ("Plant Growth at 6 Months"), wide enough for
  // the longest of those texts.
  plantGrowthLevelIndicator_ = new QProgressBar(bar);
  plantGrowthLevelIndicator_->setTextVisible(true);
  plantGrowthLevelIndicator_->setAlignment(Qt::AlignCenter);
  plantGrowthLevelIndicator_->setFixedWidth(
      plantGrowthLevelIndicator_->fontMetrics().horizontalAdvance(PlantGrowthStatusText(53)) + 24);
  plantGrowthLevelIndicator_->setFormat(PlantGrowthStatusText(1));
  plantGrowthLevelIndicator_->setToolTip(Localized("Plant Growth"));
  bar->addPermanentWidget(elevationSlider_);
  bar->addPermanentWidget(elevationText_);
  bar->addPermanentWidget(plantGrowthLevelIndicator_);
  // Dragging shows the value; releasing the knob (or a step from the keys or the track)
  // applies it.
  connect(elevationSlider_, &QSlider::valueChanged, this, [this] {
    elevationSliderChanged(!elevationSlider_->isSliderDown());
  });
  connect(elevationSlider_, &QSlider::sliderReleased, this, [this] { elevationSliderChanged(true); });
}

// ---- Floors and plans ----

void ZLKWindowController::selectActiveFloorItem(int32_t tag) {
  if (!activeFloorTBPopUpButton_) return;
  const int index = activeFloorTBPopUpButton_->findData(tag);
  if (index < 0) return;
  QSignalBlocker block(activeFloorTBPopUpButton_);
  activeFloorTBPopUpButton_->setCurrentIndex(index);
}

void ZLKWindowController::changeFloorTBPopUpButton(int index) {
  if (!activeFloorTBPopUpButton_ || index < 0) return;
  if (document_) gCurDocument = document_->documentModel();
  Win32EventHandler::sharedEventHandler()->workOnFloorUsingCommand(
      activeFloorTBPopUpButton_->itemData(index).toInt());
  updateWindowState();
}

void ZLKWindowController::syncFloorItem() {
  ZLKDocumentModel* model = document_ ? document_->documentModel() : nullptr;
  const Layer* layer = model ? model->itsCurLayer : nullptr;
  if (!layer) return;
  for (int i = 0; i < 3; ++i)
    if (std::strcmp(layer->name, kFloorNames[i]) == 0) selectActiveFloorItem(kTagFirstFloor + i);
}

void ZLKWindowController::syncPlanTab() {
  ZLKDocumentModel* model = document_ ? document_->documentModel() : nullptr;
  const DocState* ds = model ? model->itsDocState : nullptr;
  if (!ds || !docTabView_) return;
  for (int kind = 0; kind < kPlanKindCount; ++kind)
    if (ds->newObjectPlanMask == (1 << kind) && docTabView_->currentIndex() != kind) {
      QSignalBlocker block(docTabView_);
      docTabView_->setCurrentIndex(kind);
    }
}

void ZLKWindowController::selectPlanTab(int kind) {
  if (!docTabView_ || kind < 0 || kind >= docTabView_->count()) return;
  if (docTabView_->currentIndex() == kind) tabViewDidSelectTabViewItem(kind);
  else docTabView_->setCurrentIndex(kind);
}

void ZLKWindowController::tabViewDidSelectTabViewItem(int index) {
  ZLKDocumentModel* model = document_ ? document_->documentModel() : nullptr;
  DocState* ds = model ? model->itsDocState : nullptr;
  if (!ds) return;
  gCurDocument = model;
  gCurToolSet = static_cast<int16_t>(index);
  if (index >= 0 && index < kPlanKindCount) {
    ds->newObjectPlanMask = 1 << index;
    ds->currentPlanMask = ds->planMasks[index];
    PlanToolPaletteController::sharedPlanToolPaletteController().loadToolPaletteForPlan(gCurToolSet);
  }
  ResetStandardTool(1);
  SelectAllLayers(model->itsLayers, kSelectOff, 0);
  refreshDocumentVisibleView();
}

// ---- Status line ----

void ZLKWindowController::clearStatusBar() { statusText_->clear(); }

void ZLKWindowController::setStatusBarText(const char* text) {
  statusText_->setText(text ? ReadoutString(text) : QString());
}

void ZLKWindowController::drawAngle(float degrees) { statusText_->setText(AngleReadoutText(degrees)); }
void ZLKWindowController::drawDiameter(float diameter) { statusText_->setText(DiameterReadoutText(diameter)); }
void ZLKWindowController::drawLength(float length) { statusText_->setText(LengthReadoutText(length)); }
void ZLKWindowController::drawViewLength(float length) { statusText_->setText(ViewLengthReadoutText(length)); }

void ZLKWindowController::updateRadius(float radius) {
  if (!CurDocState()) return;
  statusText_->setText(RadiusReadoutText(radius));
}

void ZLKWindowController::drawWidthHeightArea(float width, float height, float area) {
  statusText_->setText(WidthHeightAreaReadoutText(width, height, area));
}

void ZLKWindowController::drawWidthHeightDepth(float width, float height, float depth) {
  statusText_->setText(WidthHeightDepthReadoutText(width, height, depth));
}

// ---- Elevation pane ----

void ZLKWindowController::setElevationPane(const SelectionState40* ss40) {
  const DocState* ds = CurDocState();
  if (!ss40 || !ds) return;
  gDrawElevation = 0;
  gDrawElevationNoSelection = 0;
  if (!ss40->ssStateFresh && !ss40->ssBaseElevation) return;
  if (ss40->ssStateFresh) gDrawElevationNoSelection = 1;
  // The pane shows a value: the elevation of new objects or the selection's shared one.
  gDrawElevation = 1;
  const float value = ds->measureSystem == kMeasureMetric ? ConvertInchesToMeters(ss40->ssBaseElevationValue)
                                                          : ss40->ssBaseElevationValue / 12;
  const bool onScale = value >= kElevationSliderMin && value <= kElevationSliderMax;
  if (onScale != elevationKnobShown_) {
    elevationKnobShown_ = onScale;
    static_cast<ElevationSlider*>(elevationSlider_)->setShouldDrawKnob(onScale);
  }
  if (onScale) {
    QSignalBlocker block(elevationSlider_);
    elevationSlider_->setValue(static_cast<int>(std::lround(value)));
  }
  updateElevationIndicatorTextWithValue(std::lround(value));
}

void ZLKWindowController::updateElevationIndicatorTextWithValue(long value) {
  const DocState* ds = CurDocState();
  if (!ds) return;
  elevationText_->setText(ds->measureSystem == kMeasureImperial ? QStringLiteral("%1'").arg(value)
                                                                : QString::number(value));
}

namespace {

// The summary of the selection's elevations rebuilt and shown, then the 3D view and undo.
void ElevationApplied(ZLKDocumentModel* model) {
  DocState* ds = model->itsDocState;
  ClearSelectionState40(ds, &ds->selectionState40);
  TopLevelObjectAllLayers(model->itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
  UpdateSelectionState40Controls(&ds->selectionState40);
  gRefreshRender = 1;
  StoreUndo(LocalizedString("Elevation Slider"));
}

}  // namespace

void ZLKWindowController::elevationSliderChanged(bool mouseUp) {
  ZLKDocumentModel* model = document_ ? document_->documentModel() : nullptr;
  DocState* ds = model ? model->itsDocState : nullptr;
  if (!ds) return;
  gCurDocument = model;
  const long value = elevationSlider_->value();
  updateElevationIndicatorTextWithValue(value);
  if (!mouseUp) return;
  const bool metric = ds->measureSystem == kMeasureMetric;
  const SelectionState40& ss = ds->selectionState40;
  if (ss.ssStateFresh || ss.ssBaseElevation) {
    if (ss.ssStateFresh) {
      ds->baseElevation = metric ? ConvertMetersToInches(value) : value * 12.0f;
    } else {
      gBaseElevation = metric ? ConvertMetersToInches(value) / 12 : static_cast<float>(value);
      TopLevelObjectAllLayers(model->itsLayers, kCmdElevateObjects, CommandArg::None());
    }
    ElevationApplied(model);
    Refresh();
    return;
  }
  gBaseElevation = metric ? ConvertMetersToInches(value) / 12 : static_cast<float>(value);
  AlertRequest request;
  request.message = "Elevation settings will be applied to all selected objects.";
  request.buttons = {"Elevate Objects", "Cancel"};
  QPointer<ZLKWindowController> self(this);
  ShowAlertWithButtons(request, [self](int button) {
    if (self) self->elevateObjectSheetDidEnd(button == 0 ? 1 : 0);
  });
}

void ZLKWindowController::elevateObjectSheetDidEnd(int returnCode) {
  ZLKDocumentModel* model = document_ ? document_->documentModel() : nullptr;
  if (!model || !model->itsDocState || !model->itsLayers) return;
  gCurDocument = model;
  if (returnCode == 1) TopLevelObjectAllLayers(model->itsLayers, kCmdElevateObjects, CommandArg::None());
  ElevationApplied(model);
  Refresh();
}

void ZLKWindowController::removePointSheetDidEnd(int returnCode) {
  ZLKDocumentModel* model = document_ ? document_->documentModel() : nullptr;
  if (!model) return;
  gCurDocument = model;
  RemovePointSheetDidEnd(returnCode, gRemovePtTargetObjectID, gRemovePtTargetPointID, gRemovePtTargetPrevPointID);
}

// ---- Plant growth ----

void ZLKWindowController::plantGrowthLeftButtonChanged() {
  PlanToolPaletteController::sharedPlanToolPaletteController().plantGrowthLeftButtonChanged();
  updatePlantGrowthIndicatorLevel();
}

void ZLKWindowController::plantGrowthRightButtonChanged() {
  PlanToolPaletteController::sharedPlanToolPaletteController().plantGrowthRightButtonChanged();
  updatePlantGrowthIndicatorLevel();
}

void ZLKWindowController::updatePlantGrowthIndicatorLevel() {
  ZLKDocumentModel* model = document_ ? document_->documentModel() : nullptr;
  const DocState* ds = model ? model->itsDocState : nullptr;
  if (!ds) return;
  const int maximum = std::max<int>(1, model->itsMaximumPlantAge);
  const float raw = ds->plantAge + 0.5f;
  int level = std::isfinite(raw) && raw < maximum ? static_cast<int>(raw) : maximum;
  if (level <= 0) level = 1;
  plantGrowthLevelIndicator_->setRange(0, maximum);
  plantGrowthLevelIndicator_->setValue(level);
  plantGrowthLevelIndicator_->setFormat(PlantGrowthStatusText(level));
  // The growth stepper on the drawing-tools palette shows the current design's level: its
  // buttons go off at the first and the last level.
  if (model == gCurDocument) PlanToolPaletteController::sharedPlanToolPaletteController().updatePlantGrowthIndicatorLevel();
}

// ---- The window and its document ----

namespace {

// The 3D window follows the design now shown: a visible one redraws, and its cut-away
// control shows the design's direction and position.
void FollowWithLiveView() {
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  controller->liveViewOGLView()->resetCursorRects();
  if (controller->isVisible()) controller->liveViewOGLView()->update();
  controller->updateCutAwayImageAndPosition();
}

// The 3D scene is dropped and built anew from the current design (put off while the 3D
// window is hidden), the camera placed from the design, and a full render asked for.
void Restart3DScene() {
  // The 3D window's controller exists from here on: the scene road defers its work to it.
  LiveViewController::sharedLiveViewController();
  DeleteAllRendererObjects();
  RenderAllLayers();
  DocState* ds = CurDocState();
  if (!ds) return;
  float dx = 0, dy = 0;
  GetPointFromLengthAndAngle((ds->walkViewAngle() + 90.0f) * 0.017453292f, 1000.0f, &dx, &dy);
  SetCameraPosition(ds->walkEyePoint().floatH, ds->walkEyeHeight(), -ds->walkEyePoint().floatV);
  SetCameraAngle(dx, 0, -dy);
  AnimateBackground(ds);
  RenderLoop();
}

}  // namespace

void ZLKWindowController::documentDidLoad() {
  ZLKDocumentModel* model = document_ ? document_->documentModel() : nullptr;
  gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  gSinXAngle = gCosYAngle = 1.0f;
  // No tool chosen: the arrow, and an inspector without a pane.
  PlanToolPaletteController::sharedPlanToolPaletteController().removeToolSelection();
  ToolPaletteController::sharedToolPaletteController().selectArrowTool();
  InspectorController::sharedInspectorController()->swapCurrentViewWithInspectorView(nullptr);
  syncPlanTab();
  loadToolSetOfShownTab();
  if (model) {
    // The working height is the current floor's base.
    CurrentDocumentScope scope(model);
    Win32EventHandler::sharedEventHandler()->updateViewingHeight();
  }
  AppController::restoreAllVisiblePanels();
  clearStatusBar();
  if (!model || !model->itsDocState) return;
  CurrentDocumentScope scope(model);
  DocState* ds = model->itsDocState;
  ClearSelectionState40(ds, &ds->selectionState40);
  TopLevelObjectAllLayers(model->itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
  setElevationPane(&ds->selectionState40);
  SnapPaletteController::sharedSnapPaletteController().setSnapOffsetText(ds->snapOffset);
  if (!ds->topoPath[0]) SetupTopoGrid();
  AppController::loadColorsForDocument(document_);
  AppController::resetStandardTool(true);
  syncFloorItem();
  Restart3DScene();
  FollowWithLiveView();
  syncPlanTab();
  updatePlantGrowthIndicatorLevel();
  refreshContentPalette();
}

void ZLKWindowController::windowDidBecomeMain() {
  // The palettes and the 3D window float above the design window the user works in.
  AppController::keepPanelsWithDesignWindow(this);
  ZLKDocumentModel* model = document_ ? document_->documentModel() : nullptr;
  if (!model || model == gCurDocument) return;
  gCurDocument = model;
  if (!model->itsDocState) return;
  loadToolSetOfShownTab();
  ResetStandardTool(1);
  UpdateInspectorPropertiesState(true);
  SnapPaletteController::sharedSnapPaletteController().setSnapOffsetText(model->itsDocState->snapOffset);
  // While a plug-in holds the design its palettes stay away.
  if (!AddkitDispatcher::sharedAddkitDispatcher().addkitEntryForDocument(model)) AppController::restoreAllVisiblePanels();
  else AppController::closeVisiblePanelsAndSaveState();
  DeleteAllCachedCustomTextures();
  // The topography grid is shared by the designs: this design's is read anew (flat without
  // a topography file).
  ReadTopoGridFile(model->itsDocState->topoPath);
  Restart3DScene();
  FollowWithLiveView();
  updatePlantGrowthIndicatorLevel();
  refreshContentPalette();
}

void ZLKWindowController::beginAddkitProgressSheetForEntry(const AddkitEntry* entry) {
  if (!entry) return;
  if (!addkitProgressSheet_) {
    addkitProgressSheet_ = new AddkitProgressSheet(this);
    addkitProgressSheet_->setWindowModality(Qt::WindowModal);
    addkitProgressSheet_->setWindowTitle(Localized("Addkit"));
    auto* layout = new QVBoxLayout(addkitProgressSheet_);
    addkitStatusText_ = new QLabel(addkitProgressSheet_);
    addkitStatusText_->setWordWrap(true);
    layout->addWidget(addkitStatusText_);
    addkitProgressIndicator_ = new QProgressBar(addkitProgressSheet_);
    addkitProgressIndicator_->setTextVisible(false);
    layout->addWidget(addkitProgressIndicator_);
    auto* close = new QPushButton(Localized("Close"), addkitProgressSheet_);
    close->setObjectName(QStringLiteral("closeDocumentAddkitButton"));
    close->setAutoDefault(false);
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(close, &QPushButton::clicked, this, [this] { closeDocumentAddkitButtonChanged(); });
  }
  std::string text = LocalizedString("'%@' is currently using this design.");
  const size_t at = text.find("%@");
  if (at != std::string::npos) text.replace(at, 2, entry->plugInName().toStdString());
  addkitStatusText_->setText(QString::fromStdString(text));
  addkitProgressIndicator_->setRange(0, 0);  // spinning
  addkitProgressSheet_->open();
}

void ZLKWindowController::endAddkitProgressSheet() {
  if (!addkitProgressSheet_) return;
  addkitProgressIndicator_->setRange(0, 1);
  if (isMinimized()) showNormal();
  addkitProgressSheet_->done(1);
}

void ZLKWindowController::closeDocumentAddkitButtonChanged() {
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  // The sheet's own design, whichever design is current.
  ZLKDocumentModel* model = document_ ? document_->documentModel() : gCurDocument;
  AddkitEntry* entry = dispatcher.addkitEntryForDocument(model);
  if (!entry) {  // nothing holds the design any more
    endAddkitProgressSheet();
    return;
  }
  if (!ConfirmCloseAddkit(*entry)) return;
  endAddkitProgressSheet();
  dispatcher.forceQuitAddkitOwnedByDocument(model);
  AppController::restorePanelsAfterAddkit();
}

bool ZLKWindowController::eventFilter(QObject* watched, QEvent* event) {
  QWindow* handle = windowHandle();
  if (event->type() == QEvent::Expose && handle && watched == static_cast<QObject*>(handle) && handle->isExposed() &&
      document_ && document_->documentModel() == gCurDocument)
    AppController::keepPanelsWithDesignWindow(this);
  return QMainWindow::eventFilter(watched, event);
}

void ZLKWindowController::centrePlanOrigin() {
  const NSRect shown = documentView_->visibleRect();
  const NSPoint bounds = documentView_->boundsOrigin();
  documentScrollView_->scrollToPoint(
      {-shown.size.width / 2 - bounds.x, -shown.size.height / 2 - bounds.y});
}

void ZLKWindowController::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (document_ && document_->documentModel() == gCurDocument) AppController::keepPanelsWithDesignWindow(this);
  // Once on the screen, the palettes shown before it are mapped again above it.
  if (QWindow* handle = windowHandle()) {
    handle->removeEventFilter(this);
    handle->installEventFilter(this);
  }
  if (!placedWithDecorations_) placeAgainOnceFramed(40);
  if (centredOnShow_ || !document_) return;
  centredOnShow_ = true;
  // After the layout has given the scroll view its size.
  QTimer::singleShot(0, this, [this] {
    if (!document_) return;
    CurrentDocumentScope scope(document_->documentModel());
    documentView_->fitFrameToPlan();
    centrePlanOrigin();
  });
}

void ZLKWindowController::designReplaced() {
  ZLKDocumentModel* model = document_ ? document_->documentModel() : nullptr;
  if (!model) return;
  CurrentDocumentScope scope(model);
  // Every road that puts another design in the window (New, Open from the panel, the recent
  // list or the desktop, Revert) shows its snap offset in its own units.
  if (model->itsDocState)
    SnapPaletteController::sharedSnapPaletteController().setSnapOffsetText(model->itsDocState->snapOffset);
  Restart3DScene();
  FollowWithLiveView();
}

void ZLKWindowController::reinitializeDocumentUI() {
  ZLKDocumentModel* model = document_ ? document_->documentModel() : nullptr;
  if (!model) return;
  CurrentDocumentScope scope(model);
  // Readouts of the design replaced do not describe the new one.
  clearStatusBar();
  documentView_->fitFrameToPlan();
  centrePlanOrigin();
  documentView_->update();
  ResetStandardTool(1);
  UpdateInspectorPropertiesState(true);
  gCurToolSet = kPlanFloor;
  PlanToolPaletteController::sharedPlanToolPaletteController().loadToolPaletteForPlan(kPlanFloor);
  PlanToolPaletteController::sharedPlanToolPaletteController().updateToolsetForPlan(kPlanFloor);
  if (DocState* ds = model->itsDocState) {
    ClearSelectionState40(ds, &ds->selectionState40);
    TopLevelObjectAllLayers(model->itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
    setElevationPane(&ds->selectionState40);
    SnapPaletteController::sharedSnapPaletteController().setSnapOffsetText(ds->snapOffset);
  }
  updatePlantGrowthIndicatorLevel();
  selectActiveFloorItem(kTagFirstFloor);
  syncPlanTab();
  refreshContentPalette();
}
