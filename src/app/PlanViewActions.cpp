// The plan view's menu actions (forwarders to the command bridge) and their validation.
#include "app/PlanViewActions.h"

#include "app/MenuText.h"
#include "inspectors/InspectorController.h"

#include "app/AppController.h"
#include "app/ContextMenuFactory.h"
#include "app/EditToolPaletteController.h"
#include "app/LiveViewController.h"
#include "app/PlanToolPaletteController.h"

#include <QAction>
#include <cstring>

#include "app/Win32EventHandler.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "files/Clipboard.h"
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/ViewCommands.h"
#include "plandraw/PlanDrawSettings.h"
#include "platform/Strings.h"
#include "render3d/RenderPlaneObject.h"

namespace {

Win32EventHandler& Handler() { return *Win32EventHandler::sharedEventHandler(); }

bool InRange(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

bool IsCurrentLayer(const char* name) {
  const Layer* layer = gCurDocument ? gCurDocument->itsCurLayer : nullptr;
  return layer && std::strcmp(layer->name, name) == 0;
}

// The 3D settings commands that carry their value in the tag.
bool IsLiveViewSettingTag(int32_t tag) {
  return InRange(tag, kViewpointLotLeftEdge, kViewpointLotTopEdge) ||
         InRange(tag, kCmdRenderWireframe, kCmdControlledFlyAround) ||
         InRange(tag, kCmdNavigationSpeed1, kCmdNavigationSpeed5) ||
         InRange(tag, kCmdRenderQualityLow, kCmdRenderQualityExcellent);
}

bool IsMoveToPlanTag(int32_t tag) {
  return InRange(tag, kCmdMoveToFoundationPlan, kCmdMoveToLandscapePlan) || tag == kCmdMoveToDetailPlan;
}

MenuItemValidation Titled(const char* shown, const char* hidden, bool on) {
  MenuItemValidation v;
  v.title = LocalizedString(on ? shown : hidden);
  return v;
}

MenuItemValidation Checked(bool on) {
  MenuItemValidation v;
  v.hasState = true;
  v.checked = on;
  return v;
}

MenuItemValidation Enabled(bool on) {
  MenuItemValidation v;
  v.enabled = on;
  return v;
}

}  // namespace

// ---- Actions ----

void PlanViewActions::cut() { Handler().cutObjects(); }
void PlanViewActions::copy() { Handler().copyObjects(); }
void PlanViewActions::paste() { Handler().pasteObjects(); }
void PlanViewActions::selectAll() { Handler().selectAllObjects(); }
void PlanViewActions::deleteSelection() { Handler().deleteObjects(); }
void PlanViewActions::moveObjectsToPlan(int32_t tag) { Handler().moveObjectsToPlanUsingCommand(tag); }
void PlanViewActions::flipObjects(int32_t tag) { Handler().flipObjectsUsingCommand(tag); }
void PlanViewActions::flipPlan(int32_t tag) { Handler().flipPlanUsingCommand(tag); }
void PlanViewActions::mirrorObjects(int32_t tag) { Handler().mirrorObjectsUsingCommand(tag); }
void PlanViewActions::nudgeObjects(int32_t tag) { Handler().nudgeObjectsUsingCommand(tag); }
void PlanViewActions::alterObjectPosition(int32_t tag) { Handler().alterObjectPositionUsingCommand(tag); }

void PlanViewActions::copyObjectsToFloor(int32_t tag) {
  if (tag == kCmdCopyToUpperFloor) Handler().copyObjectsToUpperFloor();
  else if (tag == kCmdCopyToLowerFloor) Handler().copyObjectsToLowerFloor();
}

void PlanViewActions::moveObjectsToFloor(int32_t tag) {
  if (tag == kCmdMoveToUpperFloor) Handler().moveObjectsToUpperFloor();
  else if (tag == kCmdMoveToLowerFloor) Handler().moveObjectsToLowerFloor();
}

void PlanViewActions::groupObjects() { Handler().groupObjects(); }
void PlanViewActions::ungroupObjects() { Handler().ungroupObjects(); }
void PlanViewActions::unsmoothObjects() { Handler().unsmoothSelected(); }
void PlanViewActions::floatObjectAboveTopo() { Handler().floatObjectAboveTopo(); }
void PlanViewActions::convertObjects(int32_t tag) { Handler().convertObjectsUsingCommand(tag); }
void PlanViewActions::resetPlanView() { Handler().resetPlanView(); }
void PlanViewActions::refreshView() { Handler().refreshView(); }
void PlanViewActions::toggleGrid() { Handler().toggleGrid(); }
void PlanViewActions::snapToGrid() { Handler().snapToGrid(); }
void PlanViewActions::setVisiblePlans(int32_t tag) { Handler().setVisiblePlansUsingCommand(tag); }
void PlanViewActions::toggleDimensions() { Handler().toggleDimensions(); }
void PlanViewActions::toggleCallouts() { Handler().toggleCallouts(); }
void PlanViewActions::toggleTopographyLines() { Handler().toggleTopographyLines(); }
void PlanViewActions::toggleVirtualRuler() { Handler().toggleVirtualRuler(); }
void PlanViewActions::loadFloorplanTraceImage() { Handler().loadFloorplanTraceImage(); }
void PlanViewActions::import3DObject() { Handler().import3DObjectUsingWindow(); }
void PlanViewActions::toggleFloorplanTraceImage() { Handler().toggleFloorplanTraceImage(); }
void PlanViewActions::removeFloorplanTraceImage() { Handler().removeFloorplanTraceImage(); }
void PlanViewActions::fitToWindow() { Handler().fitToWindow(); }

void PlanViewActions::print() {
  if (ZLKDocument* doc = ZLKDocumentController::sharedDocumentController().currentDocument())
    doc->printShowingPrintPanel(true);
}

void PlanViewActions::printToScale() {
  if (ZLKDocument* doc = ZLKDocumentController::sharedDocumentController().currentDocument())
    doc->printToScaleShowingPrintPanel();
}
void PlanViewActions::workOnPlan(int32_t tag) { Handler().workOnPlanUsingCommand(tag); }
void PlanViewActions::calculateFloorArea(int32_t tag) { Handler().calculateFloorAreaUsingCommand(tag); }
void PlanViewActions::setFloorView(int32_t tag) { Handler().workOnFloorUsingCommand(tag); }
void PlanViewActions::convertWallType(int32_t tag) { Handler().convertWallTypeUsingCommand(tag); }
void PlanViewActions::reverseStairDirection() { Handler().reverseStairDirection(); }
void PlanViewActions::launchObjectAddkit() { Handler().launchObjectAddkit(); }
void PlanViewActions::showAddkitLauncher() { AppController::showAddkitLauncherWindow(); }
void PlanViewActions::calculateAndDisplayArea() { Handler().calculateAndDisplayArea(); }
void PlanViewActions::setLVInteractionMethod(int32_t tag) { Handler().setLVInteractionMethodUsingCommand(tag); }
void PlanViewActions::setRenderStyle(int32_t tag) { Handler().setRenderStyleUsingCommand(tag); }
void PlanViewActions::setViewpoint(int32_t tag) { Handler().setViewpointUsingCommand(tag); }
void PlanViewActions::setLVNavigationSpeed(int32_t tag) { Handler().setNavigationSpeedUsingCommand(tag); }
void PlanViewActions::setRenderQuality(int32_t tag) { Handler().setRenderQualityUsingCommand(tag); }
void PlanViewActions::setShadowQuality(int32_t tag) { Handler().setShadowQualityUsingCommand(tag); }
void PlanViewActions::showLVAndRenderFinal() { Handler().showLVAndRenderFinal(); }
void PlanViewActions::showLVAndRenderShadows() { Handler().showLVAndRenderShadows(); }
void PlanViewActions::resetLV3DView() { LiveViewController::sharedLiveViewController()->reset3DView(); }
void PlanViewActions::setLVWalkThroughElevation() {
  LiveViewController::sharedLiveViewController()->setWalkThroughElevation();
}
void PlanViewActions::setLVFlyAroundAltitude() { LiveViewController::sharedLiveViewController()->setFlyAroundAltitude(); }
void PlanViewActions::showLVRenderProperties() { LiveViewController::sharedLiveViewController()->showRenderProperties(); }
void PlanViewActions::showLVLightProperties() { LiveViewController::sharedLiveViewController()->showLightProperties(); }

bool PlanViewActions::understands(int32_t tag) {
  if (opensSheet(tag)) return true;
  switch (tag) {
    case kCmdCutObjects: case kTagCopyObjects: case kTagPasteObjects: case kTagSelectAllObjects:
    case kCmdDelete: case kCmdGroup: case kCmdUngroup: case kCmdUnsmoothObjects:
    case kCmdFloatAboveTopography: case kTagResetPlanView: case kTagRefreshView:
    case kTagShowGrid: case kTagSnapToGrid: case kTagToggleCallouts:
    case kTagShowAutomaticDimensions: case kTagToggleTopographyLines: case kTagToggleVirtualRuler:
    case kTagLoadFloorplanTraceImage: case kTagToggleFloorplanTraceImage:
    case kTagRemoveFloorplanTraceImage: case kTagImport3DObject: case kTagExportVRML:
    case kTagExportLiveViewImage: case kTagPrint3DLiveViewImage:
    case kCmdToggleEditingTools: case kCmdToggleDrawingTools: case kCmdToggleInspector:
    case kCmdFlipHorizontal: case kCmdFlipVertical: case kCmdFlipPlanHorizontal:
    case kCmdFlipPlanVertical: case kCmdMirrorHorizontal: case kCmdMirrorVertical:
    case kCmdBringToFront: case kCmdSendToBack:
    case kCmdMoveToUpperFloor: case kCmdMoveToLowerFloor: case kCmdCopyToUpperFloor:
    case kCmdCopyToLowerFloor:
    case kCmdConvertWallToInterior: case kCmdConvertWallToExterior: case kCmdReverseStaircaseDirection:
    case kTagCalculateAndDisplayArea:
    case kTagFitToWindow: case kTagWorkOnDetailPlan: case kTagPrint: case kTagPrintToScale:
    case kCmdToggleLiveViewPanel: case kTagShowLVAndRenderFinal: case kTagShowLVAndRenderShadows:
    case kTagResetLV3DView: case kTagSetLVWalkThroughElevation: case kTagSetLVFlyAroundAltitude:
    case kTagShowLVRenderProperties: case kTagShowLVLightProperties:
    case kCmdShadowQualityLow: case kCmdShadowQualityHigh: case kTagShowAddkitLauncher:
    case kTagLaunchManual: case kTagVisitHomePage:
      return true;
    default:
      return IsLiveViewSettingTag(tag) || IsMoveToPlanTag(tag) || InRange(tag, kCmdNudgeUp, kCmdNudgeRight) ||
             InRange(tag, kCmdFirstFloor, kCmdViewWorkingFloorOnly) ||
             InRange(tag, kTagFirstFloorArea, kTagFirstFloorArea + 2) ||
             InRange(tag, kTagWorkOnFoundationPlan, kTagWorkOnFoundationPlan + 7) ||
             InRange(tag, kTagShowFoundationPlan, kTagShowFoundationPlan + 8) ||
             (InRange(tag, kCmdConvertToInteriorWall, kCmdConvertToDeckCutout) &&
              tag != kCmdConvertToFoundationBeam && tag != kCmdConvertToFoundationStrand &&
              tag != kCmdConvertToFoundationSlope && tag != kCmdConvertToFoundationPier &&
              tag != kCmdConvertToSwitchConnector && tag != kCmdConvertToAirDuct &&
              tag != kCmdConvertToEntireLot && tag != kCmdConvertToSlopeLotSection);
  }
}

bool PlanViewActions::perform(int32_t tag) {
  if (openSheet(tag)) return true;
  if (!understands(tag)) return false;
  switch (tag) {
    case kCmdCutObjects: cut(); break;
    case kTagCopyObjects: copy(); break;
    case kTagPasteObjects: paste(); break;
    case kTagSelectAllObjects: selectAll(); break;
    case kCmdDelete: deleteSelection(); break;
    case kCmdGroup: groupObjects(); break;
    case kCmdUngroup: ungroupObjects(); break;
    case kCmdUnsmoothObjects: unsmoothObjects(); break;
    case kCmdFloatAboveTopography: floatObjectAboveTopo(); break;
    case kTagResetPlanView: resetPlanView(); break;
    case kTagRefreshView: refreshView(); break;
    case kTagShowGrid: toggleGrid(); break;
    case kTagSnapToGrid: snapToGrid(); break;
    case kTagToggleCallouts: toggleCallouts(); break;
    case kTagShowAutomaticDimensions: toggleDimensions(); break;
    case kTagToggleTopographyLines: toggleTopographyLines(); break;
    case kTagToggleVirtualRuler: toggleVirtualRuler(); break;
    case kTagLoadFloorplanTraceImage: loadFloorplanTraceImage(); break;
    case kTagImport3DObject: import3DObject(); break;
    case kTagExportVRML: Handler().exportVRMLUsingWindow(nullptr); break;
    case kTagExportLiveViewImage: Handler().exportLiveViewImage(); break;
    case kTagPrint3DLiveViewImage: Handler().print3DLiveViewImage(); break;
    case kCmdToggleEditingTools: AppController::toggleToolPalettePanel(); break;
    case kCmdToggleDrawingTools: AppController::togglePlanToolPalettePanel(); break;
    case kCmdToggleInspector: AppController::toggleInspectorPanel(); break;
    case kTagToggleFloorplanTraceImage: toggleFloorplanTraceImage(); break;
    case kTagRemoveFloorplanTraceImage: removeFloorplanTraceImage(); break;
    case kCmdFlipHorizontal: case kCmdFlipVertical: flipObjects(tag); break;
    case kCmdFlipPlanHorizontal: case kCmdFlipPlanVertical: flipPlan(tag); break;
    case kCmdMirrorHorizontal: case kCmdMirrorVertical: mirrorObjects(tag); break;
    case kCmdBringToFront: case kCmdSendToBack: alterObjectPosition(tag); break;
    case kCmdMoveToUpperFloor: case kCmdMoveToLowerFloor: moveObjectsToFloor(tag); break;
    case kCmdCopyToUpperFloor: case kCmdCopyToLowerFloor: copyObjectsToFloor(tag); break;
    case kCmdConvertWallToInterior: case kCmdConvertWallToExterior: convertWallType(tag); break;
    case kCmdReverseStaircaseDirection: reverseStairDirection(); break;
    case kTagCalculateAndDisplayArea: calculateAndDisplayArea(); break;
    case kTagFitToWindow: fitToWindow(); break;
    case kTagPrint: print(); break;
    case kTagPrintToScale: printToScale(); break;
    case kTagWorkOnDetailPlan: workOnPlan(tag); break;
    case kCmdToggleLiveViewPanel: AppController::toggleLiveViewPanel(); break;
    case kTagShowLVAndRenderFinal: showLVAndRenderFinal(); break;
    case kTagShowLVAndRenderShadows: showLVAndRenderShadows(); break;
    case kTagResetLV3DView: resetLV3DView(); break;
    case kTagSetLVWalkThroughElevation: setLVWalkThroughElevation(); break;
    case kTagSetLVFlyAroundAltitude: setLVFlyAroundAltitude(); break;
    case kTagShowLVRenderProperties: showLVRenderProperties(); break;
    case kTagShowLVLightProperties: showLVLightProperties(); break;
    case kCmdShadowQualityLow: case kCmdShadowQualityHigh: setShadowQuality(tag); break;
    case kTagShowAddkitLauncher: showAddkitLauncher(); break;
    case kTagLaunchManual: AppController::launchManual(); break;
    case kTagVisitHomePage: AppController::visitZelkoHomePage(); break;
    default:
      if (InRange(tag, kViewpointLotLeftEdge, kViewpointLotTopEdge)) setViewpoint(tag);
      else if (InRange(tag, kCmdRenderWireframe, kCmdRenderSolid)) setRenderStyle(tag);
      else if (InRange(tag, kCmdFreeWalkThrough, kCmdControlledFlyAround)) setLVInteractionMethod(tag);
      else if (InRange(tag, kCmdNavigationSpeed1, kCmdNavigationSpeed5)) setLVNavigationSpeed(tag);
      else if (InRange(tag, kCmdRenderQualityLow, kCmdRenderQualityExcellent)) setRenderQuality(tag);
      else
      if (IsMoveToPlanTag(tag)) moveObjectsToPlan(tag);
      else if (InRange(tag, kCmdNudgeUp, kCmdNudgeRight)) nudgeObjects(tag);
      else if (InRange(tag, kCmdFirstFloor, kCmdViewWorkingFloorOnly)) setFloorView(tag);
      else if (InRange(tag, kTagFirstFloorArea, kTagFirstFloorArea + 2)) calculateFloorArea(tag);
      else if (InRange(tag, kTagWorkOnFoundationPlan, kTagWorkOnFoundationPlan + 7)) workOnPlan(tag);
      else if (InRange(tag, kTagShowFoundationPlan, kTagShowFoundationPlan + 8)) setVisiblePlans(tag);
      else convertObjects(tag);
      break;
  }
  return true;
}

// ---- Validation ----

MenuItemValidation PlanViewActions::validate(int32_t tag) {
  DocState* ds = gCurDocument ? gCurDocument->itsDocState : nullptr;
  if (!ds || !gCurDocument->itsCurLayer) return Enabled(false);
  const bool hasTraceImage = DocumentHasTraceImage();
  if (opensSheet(tag) && tag != kTagResizeFloorplanTraceImage) return validateSheetItem(tag);
  switch (tag) {
    case kTagShowAddkitLauncher: case kTagLaunchManual: case kTagVisitHomePage:
      return Enabled(AppController::delegateItemsEnabled());
    case kTagShowGrid: return Titled("Hide Grid", "Show Grid", gPlanDrawSettings.gridVisible);
    case kTagSnapToGrid: return Checked(ds->snapToGrid);
    case kCmdToggleEditingTools:
      return Titled("Hide Editing Tools", "Show Editing Tools",
                    ToolPaletteController::sharedToolPaletteController().isVisible());
    case kCmdToggleDrawingTools:
      return Titled("Hide Drawing Tools", "Show Drawing Tools",
                    PlanToolPaletteController::sharedPlanToolPaletteController().isVisible());
    case kCmdToggleInspector: {
      QDockWidget* inspector = InspectorController::sharedInspectorController()->panel();
      return Titled("Hide Inspector", "Show Inspector", inspector && !inspector->isHidden());
    }
    case kCmdViewLeft: case kCmdViewRight: case kCmdViewFront: case kCmdViewBack:
    case 5239: case 5240: case 5241: case 5253: case 5416:
      return Enabled(LiveViewController::exists() && LiveViewController::sharedLiveViewController()->isVisible());
    case kCmdToggleLiveViewPanel:
      return Titled("Hide 3D View", "Show 3D View",
                    LiveViewController::exists() && LiveViewController::sharedLiveViewController()->isVisible());
    case kCmdRenderQualityLow: return Checked(ds->renderPasses() == 4);
    case kCmdRenderQualityHigh: return Checked(ds->renderPasses() == 8);
    case kCmdRenderQualityUltraHigh: return Checked(ds->renderPasses() == 15);
    case kCmdRenderQualityExcellent: return Checked(ds->renderPasses() == 24);
    case kCmdShadowQualityLow: return Checked(ds->shadowQuality == 0);
    case kCmdShadowQualityHigh: return Checked(ds->shadowQuality == 5);
    case kCmdRenderWireframe: return Checked(ds->renderMode() == 1 && !gTexturedWire);
    case kCmdRenderTexturedWireframe: return Checked(ds->renderMode() == 1 && gTexturedWire);
    case kCmdRenderClearView: return Checked(ds->renderMode() == 6);
    case kCmdRenderSolid: return Checked(ds->renderMode() == 5);
    case kCmdFreeWalkThrough: case kCmdFreeFlyAround:
      return Checked(ds->cameraMode() == tag - kCmdFreeWalkThrough + 1 && !ds->controlledNavigation());
    case kCmdControlledWalkThrough: case kCmdControlledFlyAround:
      return Checked(ds->cameraMode() == tag - kCmdControlledWalkThrough + 1 && ds->controlledNavigation());
    // The command itself tells when no floor lies that way.
    case kCmdMoveToUpperFloor: case kCmdCopyToUpperFloor:
      return Enabled(!IsCurrentLayer("Third Floor"));
    case kCmdMoveToLowerFloor: case kCmdCopyToLowerFloor:
      return Enabled(!IsCurrentLayer("First Floor"));
    case kTagToggleVirtualRuler:
      return Titled("Hide Virtual Ruler", "Show Virtual Ruler", gCurDocument->itsVRVisible);
    case kTagFirstFloor: return Checked(IsCurrentLayer("First Floor"));
    case kTagFirstFloor + 1: return Checked(IsCurrentLayer("Second Floor"));
    case kTagFirstFloor + 2: return Checked(IsCurrentLayer("Third Floor"));
    case kTagViewAllFloors: case kTagViewWorkingFloorOnly: {
      const Layer* floors[] = {GetLayerFromName("First Floor"), GetLayerFromName("Second Floor"),
                               GetLayerFromName("Third Floor")};
      bool all = true;
      for (const Layer* f : floors) all = all && f && f->visible;
      return Checked(tag == kTagViewAllFloors ? all : !all);
    }
    case kTagToggleFloorplanTraceImage: {
      MenuItemValidation v = Titled("Hide Floorplan Trace Image", "Show Floorplan Trace Image",
                                    hasTraceImage && ds->traceImageVisible);
      v.enabled = hasTraceImage;
      return v;
    }
    case kTagResizeFloorplanTraceImage: case kTagRemoveFloorplanTraceImage:
      return Enabled(hasTraceImage);
    case kTagToggleCallouts:
      return Titled("Hide Window & Door Callouts", "Show Window & Door Callouts", ds->showCallouts);
    case kTagShowAutomaticDimensions:
      return Titled("Hide Automatic Dimensions", "Show Automatic Dimensions", ShowAutoDimensions(ds));
    case kTagToggleTopographyLines:
      return Titled("Hide Topography Lines", "Show Topography Lines", ShowTopography(ds));
    default:
      break;
  }
  // Moving the object under the last context click to the plan it is already on.
  if (IsMoveToPlanTag(tag)) {
    if (!gContextParentObj) return {};
    const int32_t bit = tag == kCmdMoveToDetailPlan ? 256 : 1 << (tag - kCmdMoveToFoundationPlan);
    const bool on = gContextParentObj->planMask == bit;
    MenuItemValidation v = Checked(on);
    v.enabled = !on;
    return v;
  }
  if (InRange(tag, kCmdNavigationSpeed1, kCmdNavigationSpeed5))
    return Checked(ds->navigationStep == 6 + tag - kCmdNavigationSpeed1);
  if (InRange(tag, 5343, 5350) || tag == 5390) {
    const int32_t bit = tag == 5390 ? 256 : 1 << (tag - 5343);
    return Checked(ds->newObjectPlanMask == bit);
  }
  if (InRange(tag, kTagShowFoundationPlan, kTagShowFoundationPlan + 8)) {
    const int32_t bit = 1 << (tag - kTagShowFoundationPlan);
    MenuItemValidation v = Checked((ds->currentPlanMask & bit) != 0);
    v.enabled = bit != ds->newObjectPlanMask;
    return v;
  }
  return {};
}

bool PlanViewActions::validateMenuItem(QAction* item) {
  if (!item) return false;
  bool ok = false;
  const int32_t tag = item->data().toInt(&ok);
  if (!ok) return item->isEnabled();
  // The application's own items (the panels, the preferences, about, the plug-in launcher,
  // the manual and the home page) follow the application delegate's rule: off, and the panels
  // reading "Show", while no shown design window is free of a plug-in.
  if ((tag >= kCmdToggleLiveViewPanel && tag <= kCmdToggleInspector) || tag == kTagShowPreferences ||
      tag == kTagShowAbout || tag == kTagShowAddkitLauncher || tag == kTagLaunchManual ||
      tag == kTagVisitHomePage)
    return AppController::validateMenuItem(item);
  const MenuItemValidation v = validate(tag);
  item->setEnabled(v.enabled);
  if (v.hasState) {
    item->setCheckable(true);
    item->setChecked(v.checked);
  }
  if (!v.title.empty()) item->setText(MenuText(v.title));
  return v.enabled;
}
