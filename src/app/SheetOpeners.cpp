// The command bridge's sheet openers, the menu items that reach them, and what the sheets,
// the preferences window and the snap palette are given of the design window.
#include <QMenu>
#include <cstring>

#include "app/AppController.h"
#include "app/ContextMenuFactory.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "app/PlanViewActions.h"
#include "app/Win32EventHandler.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "content/ContentCategoryItem.h"
#include "content/ContentLibraryManager.h"
#include "content/ContentPaletteController.h"
#include "content/PlantDetailsController.h"
#include "files/Undo.h"
#include "inspectors/AboutWindowController.h"
#include "inspectors/CeilingBuilderController.h"
#include "inspectors/CurveTensionController.h"
#include "inspectors/DimensionPropertiesController.h"
#include "inspectors/GridPropertiesController.h"
#include "inspectors/KeyEntryControllers.h"
#include "inspectors/MeasurementUnitsController.h"
#include "inspectors/MoveObjectsController.h"
#include "inspectors/ObjectElevationController.h"
#include "inspectors/PlanScaleController.h"
#include "inspectors/PlanSettingsSheets.h"
#include "inspectors/PlantFillController.h"
#include "inspectors/PlantSheets.h"
#include "inspectors/PreferencesController.h"
#include "inspectors/RotateObjectsController.h"
#include "inspectors/SheetHooks.h"
#include "inspectors/SnapPaletteController.h"
#include "inspectors/TextEntryController.h"
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/LineGeometry.h"
#include "model/Records.h"
#include "model/Services.h"
#include "plandraw/PerimeterDimensions.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"
#include "platform/UserDefaults.h"
#include "tools/KeyEntryTools.h"
#include "tools/WallTool.h"

namespace {

QWidget* MainWindow() { return AppController::mainWindowController(); }
Win32EventHandler& Handler() { return *Win32EventHandler::sharedEventHandler(); }

void RecentreMainDesignView() {
  ZLKWindowController* window = AppController::mainWindowController();
  if (!window) return;
  window->documentView()->fitFrameToPlan();
  window->centrePlanOrigin();
  window->documentView()->update();
}

// "Use these formats for opened designs" reaches the designs already open as well, with the rule a
// design read from a file follows; each change is a step of its own to undo.
void ForcePlanReadouts(ZLKDocumentModel* model) {
  DocState* ds = model->itsDocState;
  if (!ds) return;
  const int16_t system = gDefaultToImperial ? kMeasureImperial : kMeasureMetric;
  const int16_t readout = system == kMeasureImperial ? gImperialReadoutFormat : gMetricReadoutFormat;
  const int16_t current = system == kMeasureImperial ? ds->imperialReadout : ds->metricReadout;
  if (ds->measureSystem == system && current == readout) return;
  ds->measureSystem = system;
  (system == kMeasureImperial ? ds->imperialReadout : ds->metricReadout) = readout;
  SnapPaletteController::sharedSnapPaletteController().updateSnapOffsetText();
  UpdateInspectorPropertiesState(true);
  Refresh();
  StoreUndo(LocalizedString("Measurement Options"));
}

void ApplyPreferencesToOpenDesigns(bool undoChanged) {
  UserDefaults& defaults = StandardUserDefaults();
  if (undoChanged) SetUndoLevels(AppController::undoLevelsPreference());
  AppController::loadNewPlanReadoutState();
  for (ZLKDocument* document : ZLKDocumentController::sharedDocumentController().documents()) {
    ZLKDocumentModel* model = document ? document->documentModel() : nullptr;
    if (!model) continue;
    AppController::loadColorsForDocument(document);
    CurrentDocumentScope scope(model);
    if (undoChanged) {
      gUndoActive = defaults.getBool("UndoEnabled") ? 1 : 0;
      document->undoManager().removeAllActions();
      document->undoManager().setLevelsOfUndo(static_cast<size_t>(AppController::undoLevelsPreference()));
      model->itsFirstUndo = model->itsLastUndo = model->itsCurrentUndo = -1;
      InitializeUndo();
    }
    if (gForceNewPlanDefaults) ForcePlanReadouts(model);
    for (ZLKWindowController* window : document->windowControllers()) window->refreshDocumentVisibleView();
  }
}

}  // namespace

void InstallSheetHooks() {
  SheetHooks& hooks = TheSheetHooks();
  hooks.mainDesignWindow = [] { return MainWindow(); };
  hooks.updateViewingHeight = [] { Handler().updateViewingHeight(); };
  hooks.recentreDesignView = RecentreMainDesignView;
  hooks.applyPreferencesToOpenDesigns = ApplyPreferencesToOpenDesigns;
  hooks.redraw3DView = [] {
    if (!LiveViewController::exists()) return;
    if (QWidget* view = LiveViewController::sharedLiveViewController()->liveViewOGLView()) view->update();
  };
  hooks.loadNewPlanReadoutState = [] { AppController::loadNewPlanReadoutState(); };
  hooks.savePanelFrame = [](const QWidget* panel, const std::string& name) {
    AppController::savePanelFrame(panel, name);
  };
  hooks.restorePanelFrame = [](QWidget* panel, const std::string& name) {
    return AppController::restorePanelFrame(panel, name);
  };
  hooks.setSnapToolsVisible = [](bool visible) { AppController::setSnapToolsVisible(visible); };
  gKeyEntrySheetHook = [](Objex* object, Poinz* start, Poinz* end) {
    Handler().keyEntrySheetForObject(object, start, end);
  };
  gWallKeyEntrySheetHook = [](Poinz* start, Poinz* end, Objex* wall) {
    return WallKeyEntryController::newWallKeyEntrySheetForParent(MainWindow(), start, end, wall);
  };
  hooks.updatePlantGrowthIndicator = [] {
    if (ZLKWindowController* main = AppController::mainWindowController()) main->updatePlantGrowthIndicatorLevel();
  };
  hooks.refreshContentView = [] { ContentPaletteController::sharedContentPaletteController()->refreshContentView(); };
  hooks.refreshTrimContent = [] {
    ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController();
    ContentCategoryItem* item = palette->selectedCategoryItem();
    if (!item || item->categoryType != kCategoryTrim) return;
    if (item->libraryType != kLibraryBaseTrim && item->libraryType != kLibraryCrownTrim &&
        item->libraryType != kLibraryPaneling && item->libraryType != kLibraryWainscot)
      return;
    ContentLibraryManager::sharedContentLibraryManager().rebuildSymEntryListForItem(item);
    palette->refreshContentView();
  };
}

// ---- The command bridge's openers ----

void Win32EventHandler::moveObjectsUsingWindow(QWidget* w) { MoveObjectsController::newMoveObjectsPanelForParent(w); }
void Win32EventHandler::movePlanUsingWindow(QWidget* w) { MovePlanController::newMovePlanPanelForParent(w); }
void Win32EventHandler::rotateObjectsUsingWindow(QWidget* w) {
  RotateObjectsController::newRotateObjectsPanelForParent(w);
}
void Win32EventHandler::rotatePlanUsingWindow(QWidget* w) { RotatePlanController::newRotatePlanPanelForParent(w); }
void Win32EventHandler::setObjectElevationUsingWindow(QWidget* w) {
  const DocState* ds = CurDocState();
  if (!ds) return;
  // The elevation pane's value, when it shows one.
  gDLOGElevation = gDrawElevation ? ds->selectionState40.ssBaseElevationValue : 0;
  gDLOGTopoFloat = 0;
  ObjectElevationController::newObjectElevationSheetForParent(w);
}
void Win32EventHandler::setWorkingElevationUsingWindow(QWidget* w) {
  WorkingElevationController::newWorkingElevationSheetForParent(w);
}
void Win32EventHandler::setCeilingHeightForLayer(Layer* layer, QWidget* w) {
  CeilingHeightController::newCeilingHeightSheetForParent(w, layer);
}
void Win32EventHandler::resizeFloorplanTraceImageUsingWindow(QWidget* w) {
  TraceImageScaleController::newTraceImageScaleSheetForParent(w);
}
void Win32EventHandler::setLotSizeUsingWindow(QWidget* w) { LotSizeController::newLotSizeSheetForParent(w); }
void Win32EventHandler::setTrueNorthAngleUsingWindow(QWidget* w) { CompassController::newCompassSheetForParent(w); }
void Win32EventHandler::setGridPropertiesUsingWindow(QWidget* w) {
  GridPropertiesController::newGridPropertiesSheetForParent(w);
}
void Win32EventHandler::setDimensionPropertiesUsingWindow(QWidget* w) {
  DimensionPropertiesController::newDimensionPropertiesSheetForParent(w);
}
void Win32EventHandler::setPlanScaleUsingWindow(QWidget* w) { PlanScaleController::newPlanScaleSheetForParent(w); }
void Win32EventHandler::setPlanZoomUsingWindow(QWidget* w) { PlanZoomController::newPlanZoomSheetForParent(w); }
void Win32EventHandler::setMeasurementUnitsUsingWindow(QWidget* w) {
  MeasurementUnitsController::newMeasurementUnitsSheetForParent(w);
}
void Win32EventHandler::editTextObjectUsingWindow(QWidget* w) {
  TextEntryController::newTextEntrySheetForParent(w, gContextFoundObj);
}
void Win32EventHandler::showCeilingBuilderUsingWindow(QWidget* w) {
  CeilingBuilderController::newCeilingBuilderSheetForParent(w);
}
void ZLKDocumentView::showCeilingBuilder() { Win32EventHandler::sharedEventHandler()->showCeilingBuilderUsingWindow(window()); }
void Win32EventHandler::setPlantingAgeUsingWindow(QWidget* w) { PlantingAgeController::newPlantingAgeSheetForParent(w); }
void Win32EventHandler::setPlantGrowthProjectionUsingWindow(QWidget* w) {
  PlantGrowthProjController::newPlantGrowthProjSheetForParent(w);
}
void Win32EventHandler::fillObjectWithPlantsUsingWindow(QWidget* w) {
  ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController();
  if (!w || !palette) return;
  if (palette->selectedCategory() != kCategoryPlants) palette->selectCategory(kCategoryPlants, false);
  if (palette->selectedSymEntry()) PlantFillController::newPlantFillSheetForParent(w, gContextFoundObj);
  else ShowAlert("No plant selected.", "You must select a plant before attempting to use this feature.");
}
void Win32EventHandler::showPlantDetailsWindow() {
  PlantDetailsController::newPlantDetailsWindow(gContextFoundObj, MainWindow());
}
void Win32EventHandler::smoothSelected() { CurveTensionController::newCurveTensionSheetForParent(MainWindow()); }
void Win32EventHandler::keyEntrySheetForObject(Objex* object, Poinz* start, Poinz* end) {
  if (!object || !start || !end) return;
  float length = 0, angle = 0;
  float offset = 0;
  if (object->type == kObjWall) {
    float pointToPoint = 0;
    GetLineLengthAndAngle(start->position[0], start->position[2], end->position[0], end->position[2], &pointToPoint);
    float x1 = start->position[0], z1 = start->position[2], x2 = end->position[0], z2 = end->position[2];
    AdjustWallDimensionForMethod(object, start, end, &x1, &z1, &x2, &z2);
    angle = GetLineLengthAndAngle(x1, z1, x2, z2, &length);
    offset = length - pointToPoint;
  } else {
    angle = GetLineLengthAndAngle(start->position[0], start->position[2], end->position[0], end->position[2], &length);
  }
  KeyEntryController::sLength = length;
  if (KeyEntryController::sDirection < 1 || KeyEntryController::sDirection > 3) KeyEntryController::sDirection = 1;
  KeyEntryController::newKeyEntrySheetForParent(MainWindow(), object, start, end, offset, length, angle);
}

// ---- The menu items ----

bool PlanViewActions::opensSheet(int32_t tag) {
  return (tag >= kTagMoveObjects && tag <= kTagShowAbout) ||
         (tag >= kTagCeilingHeightFirstFloor && tag <= kTagCeilingHeightThirdFloor) ||
         tag == kTagResizeFloorplanTraceImage ||
         tag == kTagSetPlantingAge || tag == kTagSetPlantGrowthProjection || tag == kTagFillObjectWithPlants ||
         tag == kCmdToggleSnapTools;
}

bool PlanViewActions::openSheet(int32_t tag) {
  if (!opensSheet(tag)) return false;
  QWidget* w = MainWindow();
  Win32EventHandler& h = Handler();
  switch (tag) {
    case kTagMoveObjects: h.moveObjectsUsingWindow(w); break;
    case kTagMovePlan: h.movePlanUsingWindow(w); break;
    case kTagRotateObjects: h.rotateObjectsUsingWindow(w); break;
    case kTagRotatePlan: h.rotatePlanUsingWindow(w); break;
    case kTagSetObjectElevation: h.setObjectElevationUsingWindow(w); break;
    case kTagSetWorkingElevation: h.setWorkingElevationUsingWindow(w); break;
    case kTagCeilingHeightFirstFloor: case kTagCeilingHeightFirstFloor + 1: case kTagCeilingHeightThirdFloor: {
      static const char* const kFloors[] = {"First Floor", "Second Floor", "Third Floor"};
      if (Layer* layer = GetLayerFromName(kFloors[tag - kTagCeilingHeightFirstFloor]))
        h.setCeilingHeightForLayer(layer, w);
      break;
    }
    case kTagResizeFloorplanTraceImage: h.resizeFloorplanTraceImageUsingWindow(w); break;
    case kTagSetLotSize: h.setLotSizeUsingWindow(w); break;
    case kTagSetTrueNorthAngle: h.setTrueNorthAngleUsingWindow(w); break;
    case kTagSetGridProperties: h.setGridPropertiesUsingWindow(w); break;
    case kTagSetDimensionProperties: h.setDimensionPropertiesUsingWindow(w); break;
    case kTagSetPlanScale: h.setPlanScaleUsingWindow(w); break;
    case kTagSetPlanZoom: h.setPlanZoomUsingWindow(w); break;
    case kTagSetMeasurementUnits: h.setMeasurementUnitsUsingWindow(w); break;
    case kTagEditTextObject: h.editTextObjectUsingWindow(w); break;
    case kTagSmoothCurves: h.smoothSelected(); break;
    case kTagSetPlantingAge: h.setPlantingAgeUsingWindow(w); break;
    case kTagSetPlantGrowthProjection: h.setPlantGrowthProjectionUsingWindow(w); break;
    case kTagFillObjectWithPlants: h.fillObjectWithPlantsUsingWindow(w); break;
    case kTagShowPreferences: AppController::showPreferenceWindow(); break;
    case kTagShowAbout: AppController::showAboutWindow(); break;
    case kCmdToggleSnapTools: AppController::toggleSnapPalettePanel(); break;
    default: break;
  }
  return true;
}

MenuItemValidation PlanViewActions::validateSheetItem(int32_t tag) {
  MenuItemValidation v;
  if (tag == kCmdToggleSnapTools)
    v.title = LocalizedString(SnapPaletteController::sharedSnapPaletteController().isVisible() ? "Hide Snap Tools"
                                                                                                : "Show Snap Tools");
  return v;
}
