// The command bridge's commands: clipboard, floors, plans, selection edits, views, toggles
// and the trace image, each carried into the core for the current document.
#include "app/Win32EventHandler.h"

#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/AddkitDispatcher.h"
#include "app/AppController.h"
#include "app/ContextMenuFactory.h"
#include "app/FitToWindow.h"
#include "app/LiveViewController.h"
#include "app/LiveViewExport.h"
#include "app/LiveViewOGLView.h"
#include "app/PlanViewActions.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "files/ByteStream.h"
#include "files/Clipboard.h"
#include "files/Undo.h"
#include "model/CommandWalkers.h"
#include "model/ConvertObject.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/ExtrudeFlip.h"
#include "model/Area.h"
#include "model/Bounds.h"
#include "model/Floors2D.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/PaletteLinks.h"
#include "render3d/Navigation.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/SelectionState.h"
#include "model/TransformInfo.h"
#include "model/ViewCommands.h"
#include "model/ViewProjection.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "building3d/PlaneObjects.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/RendererUpkeep.h"
#include "plandraw/PlanDrawSettings.h"
#include "tools/TrackingState.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"

namespace {

constexpr const char* kFirstFloor = "First Floor";
constexpr const char* kThirdFloor = "Third Floor";

void Undo(const char* name) { StoreUndo(LocalizedString(name)); }
// The commands that may find nothing of theirs in the selection (no group to ungroup, no curve
// to straighten, nothing to float) store a step only when they changed the design.
void UndoIfChanged(const char* name) { StoreUndoIfChanged(LocalizedString(name), UndoCompare::kDesign); }
void InspectorUpdate() { UpdateInspectorPropertiesState(true); }

DocState* DocStateWithLayers() {
  return gCurDocument && gCurDocument->itsLayers ? gCurDocument->itsDocState : nullptr;
}

bool IsLayerNamed(const Layer* layer, const char* name) {
  return layer && std::strcmp(layer->name, name) == 0;
}

bool InRange(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

bool IsMoveToPlanCommand(int32_t c) {
  return InRange(c, kCmdMoveToFoundationPlan, kCmdMoveToLandscapePlan) || c == kCmdMoveToDetailPlan;
}

void MoveObjectsToPlan(int32_t command, const char* undoName) {
  if (!gCurDocument || !gCurDocument->itsLayers || !IsMoveToPlanCommand(command)) return;
  Layer* layers = gCurDocument->itsLayers;
  TopLevelObjectAllLayers(layers, command, CommandArg::None());
  SelectAllLayers(layers, kSelectOff, 1);
  Refresh();
  Undo(undoName);
}

// The size of the selection in the status line: the extents of the selected objects' stored
// 3D boxes in world units (width, depth, height); zeros when nothing measurable is selected.
void ShowSelectionSize(Layer* layers, const DocState* ds) {
  Float3DRect box;
  box.floatTop = box.floatLeft = box.floatBack = 32000;
  box.floatBottom = box.floatRight = box.floatFront = -32000;
  GetAllLayersObj3DBounds(layers, 1, &box, 0);
  const bool measured = box.floatLeft < 30000 && box.floatTop < 30000 && box.floatBack < 30000 &&
                        box.floatRight > -30000 && box.floatBottom > -30000 && box.floatFront > -30000;
  gWidthHeightDepth = Float3DPoint{};
  if (measured && ds) {
    gWidthHeightDepth.floatH = ConvertScreenToWorld(box.floatRight - box.floatLeft, ds, 1);
    gWidthHeightDepth.floatV = ConvertScreenToWorld(box.floatBottom - box.floatTop, ds, 1);
    gWidthHeightDepth.floatD = ConvertScreenToWorld(box.floatFront - box.floatBack, ds, 1);
  }
  DrawWH(gWidthHeightDepth.floatH, gWidthHeightDepth.floatD, gWidthHeightDepth.floatV);
}

// What the user last copied, set aside while a command copies and pastes on its own: the
// scrap, its palette, its source floor and document and the paste offset. Put back when the
// command ends, so the next Paste brings what the user copied.
class ClipboardKeeper {
 public:
  ClipboardKeeper()
      : scrap_(gStream.privateScrap), scrapLength_(gStream.scrapLength), palette_(gClipBoardPalette),
        layer_(gClipboardLayer), doc_(gClipboardDoc), docID_(gClipboardDocID), offset_(gPasteOffset),
        unlink_(gUnlinkClipBoardFromPalette) {
    std::memcpy(layerName_, gClipboardLayerName, sizeof layerName_);
    gStream.privateScrap = nullptr;
    gStream.scrapLength = 0;
    gStream.scrapIndex = 0;
    gClipBoardPalette = nullptr;
  }
  ~ClipboardKeeper() {
    FreeScrap();
    FreeClipBoardPaletteList();
    gStream.privateScrap = scrap_;
    gStream.scrapLength = scrapLength_;
    gStream.scrapIndex = 0;
    gClipBoardPalette = palette_;
    std::memcpy(gClipboardLayerName, layerName_, sizeof layerName_);
    gClipboardLayer = layer_;
    gClipboardDoc = doc_;
    gClipboardDocID = docID_;
    gPasteOffset = offset_;
    gUnlinkClipBoardFromPalette = unlink_;
  }
  ClipboardKeeper(const ClipboardKeeper&) = delete;
  ClipboardKeeper& operator=(const ClipboardKeeper&) = delete;

 private:
  uint8_t* scrap_;
  uint32_t scrapLength_;
  DocPaletteList* palette_;
  char layerName_[sizeof gClipboardLayerName];
  Layer* layer_;
  ZLKDocumentModel* doc_;
  int32_t docID_;
  float offset_;
  uint8_t unlink_;
};

}  // namespace

uint8_t gWorkingFloorVisibleOnly = 0;

bool ShouldProceedWithEditEvent() {
  Layer* layer = gCurDocument ? gCurDocument->itsCurLayer : nullptr;
  if (!layer) return false;
  for (Objex* o = layer->firstObject; o; o = o->next)
    if (IsAnyObjectSelected(o)) return true;
  return false;
}

bool DocumentHasTraceImage() {
  ZLKDocument* document = AppController::mainWindowDocument();
  return document && !document->traceImage().isNull();
}

Win32EventHandler* Win32EventHandler::sharedEventHandler() {
  static Win32EventHandler* handler = new Win32EventHandler;
  return handler;
}

// ---- Clipboard and selection ----

void Win32EventHandler::cutObjects() {
  DocState* ds = DocStateWithLayers();
  if (!ds) return;
  DeselectAllAttachmentObjects();
  if (!ShouldProceedWithEditEvent()) return;
  Layer* layers = gCurDocument->itsLayers;
  DoCopyObjects();
  TopLevelObjectAllLayers(layers, kCmdCutObjects, CommandArg::None());
  SelectedObjectAllLayers(layers, 0, kCmdCutObjects, CommandArg::Doc(ds));
  Refresh();
  SetStatusBar("");
  Undo("Cut");
  InspectorUpdate();
}

void Win32EventHandler::copyObjects() {
  DeselectAllAttachmentObjects();
  if (ShouldProceedWithEditEvent()) DoCopyObjects();
  Refresh();
}

void Win32EventHandler::pasteObjects() {
  // Without a document there is nothing to paste into and no ring to store the step in.
  if (!gClipboardLayer || !gStream.privateScrap || !gCurDocument) return;
  if (GetCurrentView() != kCmdViewTop) viewTop();
  DoPasteObjects();
  StoreUndoAfterPaste(LocalizedString("Paste"));
}

void Win32EventHandler::selectAllObjects() {
  if (!gCurDocument || !gCurDocument->itsLayers || !gCurDocument->itsCurLayer) return;
  if (gCurTool == kToolKeyEntry) ResetStandardTool(1);
  if (GetCurrentView() == kCmdViewTop) SelectVisualAllLayers(gCurDocument->itsLayers, kSelectOn, 1);
  else SelectVisualLayer(gCurDocument->itsCurLayer, kSelectOn, 1);
  ShowSelectionSize(gCurDocument->itsLayers, gCurDocument->itsDocState);
  Refresh();
  if (DocState* ds = gCurDocument->itsDocState) {
    ClearSelectionState40(ds, &ds->selectionState40);
    TopLevelObjectAllLayers(gCurDocument->itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
    UpdateSelectionState40Controls(&ds->selectionState40);
  }
  InspectorUpdate();
}

void Win32EventHandler::deleteObjects() {
  DocState* ds = DocStateWithLayers();
  if (!ds || !ShouldProceedWithEditEvent()) return;
  Layer* layers = gCurDocument->itsLayers;
  TopLevelObjectAllLayers(layers, kCmdDelete, CommandArg::None());
  SelectedObjectAllLayers(layers, 0, kCmdDelete, CommandArg::Doc(ds));
  Refresh();
  SetStatusBar("");  // the readout described what is gone
  Undo("Delete");
  InspectorUpdate();
}

// ---- Floors ----

void Win32EventHandler::floorMove(int32_t command) {
  Layer* layer = gCurDocument ? gCurDocument->itsCurLayer : nullptr;
  if (!layer) return;
  const bool up = command == kCmdMoveToUpperFloor || command == kCmdCopyToUpperFloor;
  const bool copy = command == kCmdCopyToUpperFloor || command == kCmdCopyToLowerFloor;
  const bool possible = up ? layer->next && !IsLayerNamed(layer, kThirdFloor)
                           : layer->prev && !IsLayerNamed(layer, kFirstFloor);
  if (!possible) {
    const char* title = up ? (copy ? "Unable to copy objects to upper floor."
                                   : "Unable to move objects to upper floor.")
                           : (copy ? "Unable to copy objects to lower floor."
                                   : "Unable to move objects to lower floor.");
    ShowAlert(title, up ? "You are currently on the top floor." : "You are currently on the bottom floor.");
    return;
  }
  TopLevelObjectLayer(layer, command, CommandArg::None());
  Refresh();
  if (!copy) SetStatusBar("");  // the readout described what left this floor
  Undo(up ? (copy ? "Copy To Upper Floor" : "Move To Upper Floor")
          : (copy ? "Copy To Lower Floor" : "Move To Lower Floor"));
}

void Win32EventHandler::copyObjectsToUpperFloor() { floorMove(kCmdCopyToUpperFloor); }
void Win32EventHandler::copyObjectsToLowerFloor() { floorMove(kCmdCopyToLowerFloor); }
void Win32EventHandler::moveObjectsToUpperFloor() { floorMove(kCmdMoveToUpperFloor); }
void Win32EventHandler::moveObjectsToLowerFloor() { floorMove(kCmdMoveToLowerFloor); }

// ---- Plans ----

void Win32EventHandler::moveObjectsToPlanUsingCommand(int32_t command) {
  MoveObjectsToPlan(command, "Move To Plan");
}

void Win32EventHandler::moveToPlanUsingCommand(int32_t command) {
  MoveObjectsToPlan(command, "Move to Plan");
}

void Win32EventHandler::setVisiblePlansUsingCommand(int32_t command) {
  DocState* ds = DocStateWithLayers();
  if (!ds) return;
  if (InRange(command, 11000, 11008)) ds->currentPlanMask ^= 1 << (command - 11000);
  for (int kind = 0; kind < kPlanKindCount; ++kind)
    if (ds->newObjectPlanMask == (1 << kind)) ds->planMasks[kind] = ds->currentPlanMask;
  ResetStandardTool(1);
  SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 0);
  Refresh();
}

void Win32EventHandler::flipPlanUsingCommand(int32_t command) {
  DocState* ds = DocStateWithLayers();
  if (!ds || (command != kCmdFlipPlanHorizontal && command != kCmdFlipPlanVertical)) return;
  SelectedObjectAllLayers(gCurDocument->itsLayers, 0, command, CommandArg::None());
  Refresh();
  Undo("Flip Entire Plan");
}

// ---- Edits of the selection ----

void Win32EventHandler::flipObjectsUsingCommand(int32_t command) {
  DocState* ds = DocStateWithLayers();
  if (!ds) return;
  Layer* layers = gCurDocument->itsLayers;
  SelectedObjectAllLayers(layers, 1, kCmdSelectObject, CommandArg::Doc(ds));
  Float3DRect box;
  box.floatTop = box.floatLeft = box.floatBack = 32000;
  box.floatBottom = box.floatRight = box.floatFront = -32000;
  GetAllLayers3DBounds(layers, 1, &box, 0);
  auto mid = [](float lo, float hi) { return lo + (hi - lo) * 0.5f; };
  // The centre along the two axes the view plane shows (1: x and y, 2: x and z, 3: z and y).
  float x = 0, y = 0, z = 0;
  const auto plane = ds->viewPlane;
  if (plane >= 1 && plane <= 3) {
    if (plane != 3) x = mid(box.floatLeft, box.floatRight);
    if (plane != 2) y = mid(box.floatTop, box.floatBottom);
    if (plane != 1) z = mid(box.floatBack, box.floatFront);
    gFlipCenterX = plane == 3 ? z : x;
    gFlipCenterY = plane == 2 ? z : y;
  }
  gCommandHappened = 0;
  if (command == kCmdFlipHorizontal || command == kCmdFlipVertical) {
    TransformInfo flip{};
    flip.angle = static_cast<float>(M_PI);
    flip.centre[0] = x;
    flip.centre[1] = y;
    flip.centre[2] = z;
    SelectedObjectAllLayers(layers, 1, command, CommandArg::Transform(&flip));
  }
  Refresh();
  InspectorUpdate();
  if (gCommandHappened) Undo("Flip");
}

void Win32EventHandler::mirrorObjectsUsingCommand(int32_t command) {
  if (!gCurDocument) return;
  const uint8_t undoWasActive = gUndoActive;
  gUndoActive = 0;
  gMirroring = 1;
  gCommandHappened = 0;
  // Without a selection to copy, the paste would bring back whatever the clipboard held.
  if (ShouldProceedWithEditEvent()) {
    ClipboardKeeper keep;
    copyObjects();
    pasteObjects();
    gCommandHappened = 0;
    if (command == kCmdMirrorHorizontal) flipObjectsUsingCommand(kCmdFlipHorizontal);
    else if (command == kCmdMirrorVertical) flipObjectsUsingCommand(kCmdFlipVertical);
  }
  gMirroring = 0;
  gUndoActive = undoWasActive;
  Refresh();
  InspectorUpdate();
  if (gCommandHappened) Undo("Mirror");
}

void Win32EventHandler::nudgeObjectsUsingCommand(int32_t command) {
  DocState* ds = DocStateWithLayers();
  if (!ds || !InRange(command, kCmdNudgeUp, kCmdNudgeRight)) return;
  if (!SelectedObjectAllLayers(gCurDocument->itsLayers, 1, command, CommandArg::Doc(ds))) return;
  Refresh();
  Undo("Nudge");
}

void Win32EventHandler::alterObjectPositionUsingCommand(int32_t command) {
  DocState* ds = DocStateWithLayers();
  if (!ds || (command != kCmdBringToFront && command != kCmdSendToBack)) return;
  TopLevelObjectAllLayers(gCurDocument->itsLayers, command, CommandArg::Doc(ds));
  Refresh();
  Undo(command == kCmdBringToFront ? "Bring Objects to the Front" : "Send Objects to the Back");
}

void Win32EventHandler::groupNoRedraw() {
  if (!gCurDocument || !gCurDocument->itsLayers) return;
  Layer* layers = gCurDocument->itsLayers;
  gOverload = 0;
  gObjectCount = 0;
  SelectedObjectAllLayers(layers, 1, kCmdCountGroups, CommandArg::None());
  if (gOverload) {
    ShowAlert("Unable to group the selected objects.",
              "One of the selected groups holds more than " + std::to_string(kMaxGroupsToGroup) +
                  " groups in all (itself and the groups in it, at every depth). Ungroup some of them, then "
                  "group the objects again.");
    return;
  }
  gObjectCount = 0;
  gGroupLeader = nullptr;
  TopLevelObjectAllLayers(layers, kCmdCountObjects, CommandArg::None());
  if (gObjectCount > 0) TopLevelObjectAllLayers(layers, kCmdGroup, CommandArg::None());
}

void Win32EventHandler::groupObjects() {
  if (!gCurDocument || !gCurDocument->itsLayers) return;
  groupNoRedraw();
  const bool grouped = gGroupLeader != nullptr;
  gGroupLeader = nullptr;
  if (!grouped) return;
  Refresh();
  InspectorUpdate();
  Undo("Group");
}

void Win32EventHandler::ungroupObjects() {
  if (!gCurDocument || !gCurDocument->itsLayers) return;
  TopLevelObjectAllLayers(gCurDocument->itsLayers, kCmdUngroup, CommandArg::None());
  Refresh();
  SetStatusBar("");  // the readout described the group
  InspectorUpdate();
  UndoIfChanged("Ungroup");
}

void Win32EventHandler::unsmoothSelected() {
  if (!gCurDocument || !gCurDocument->itsLayers) return;
  SelectedObjectAllLayers(gCurDocument->itsLayers, 1, kCmdUnsmoothObjects, CommandArg::None());
  Refresh();
  UndoIfChanged("Unsmooth Objects");
}

void Win32EventHandler::floatObjectAboveTopo() {
  if (!gCurDocument || !gCurDocument->itsLayers) return;
  gTopoFloatNA = 0;
  TopLevelObjectAllLayers(gCurDocument->itsLayers, kCmdFloatAboveTopography, CommandArg::None());
  if (gTopoFloatNA)
    ShowAlert("Unable to elevate some objects.",
              "Wall and cabinet objects cannot float above the topography.  The elevation of "
              "these objects will not be changed.");
  Refresh();
  UndoIfChanged("Float Above Topography");
}

void Win32EventHandler::convertObjectsUsingCommand(int32_t command) {
  if (!gCurDocument || !gCurDocument->itsCurLayer || !ConversionUndoName(command)) return;
  ConversionBatch batch;
  Objex* object = gCurDocument->itsCurLayer->firstObject;
  while (object) {
    if (object->type != kObjDetail || !IsObjectSelected(object)) {
      object = object->next;
      continue;
    }
    // The conversion may retype or unlink the object: the walk goes on from the next
    // detail object found before it.
    Objex* next = object->next;
    while (next && next->type != kObjDetail) next = next->next;
    ConvertObjectType(object, command);
    object = next;
  }
}

// ---- Object context commands ----

void Win32EventHandler::convertWallTypeUsingCommand(int32_t command) {
  Objex* wall = gContextFoundObj;
  if (!wall || wall->type != kObjWall) return;
  if (command == kCmdConvertWallToInterior) {
    ConvertWallToInterior(wall);
    Undo("Convert Wall to Interior");
  } else if (command == kCmdConvertWallToExterior) {
    ConvertWallToExterior(wall);
    Undo("Convert Wall to Exterior");
  } else {
    return;
  }
  InspectorUpdate();
}

void Win32EventHandler::reverseStairDirection() {
  Objex* stairs = gContextFoundObj;
  if (!stairs || stairs->type != kObjStaircase) return;
  ReverseAnyObjectDirection(stairs);
  UpdateStairObject(stairs);
  ReRenderObject(stairs);
  Refresh();
  Undo("Reverse Staircase Direction");
}

void Win32EventHandler::launchObjectAddkit() {
  Objex* cabinet = gContextFoundObj;
  if (!cabinet || cabinet->type != kObjCabinet || !gCurDocument || !gCurDocument->itsLayers) return;
  if (!AddkitDispatcher::sharedAddkitDispatcher().addkitEntryForID(kAddkitObject)) return;
  SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 1);
  SelectObj(cabinet, kSelectOn, 1);
  launchCabinetAddkit();
}

bool Win32EventHandler::launchCabinetAddkit() {
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  AddkitEntry* entry = dispatcher.addkitEntryForID(kAddkitObject);
  if (!entry) return false;
  auto named = [entry](const char* format) {
    std::string text = LocalizedString(format);
    const size_t at = text.find("%@");
    if (at != std::string::npos) text.replace(at, 2, entry->plugInName().toStdString());
    return text;
  };
  if (!entry->plugInAvailable()) {
    ShowAlert(named("The Addkit '%@' is currently being used."), "Only one design at a time may use any given Addkit.");
    return false;
  }
  if (!dispatcher.launchAddkit(entry)) {
    ShowAlert(named("Unable to launch %@"), "Please make sure the Addkit is installed correctly.");
    return false;
  }
  if (ZLKWindowController* main = AppController::mainWindowController()) main->beginAddkitProgressSheetForEntry(entry);
  return true;
}

void Win32EventHandler::calculateAndDisplayArea() {
  DocState* ds = CurDocState();
  Layer* layer = gCurDocument ? gCurDocument->itsCurLayer : nullptr;
  if (!ds || !layer) return;
  double sum = 0;
  for (Objex* o = layer->firstObject; o; o = o->next) {
    const Objex* measured = o;
    switch (o->type) {
      case kObjFloor: case kObjPropertyLine: case kObjFill: case kObjGroundFill: case kObjDetail:
      case kObjCutout: case kObjDeck:
        break;
      case kObjPath:
        // A path counts the ribbon surface its 3D rebuild made (among its generated parts).
        measured = nullptr;
        for (const Objex* part = static_cast<const Objex*>(o->typeData); part; part = part->next)
          if (part->type == kObjPathSurface) measured = part;
        if (!measured) continue;
        break;
      default:
        continue;
    }
    if (!IsObjectSelected(o)) continue;
    const float area = ComputeObjectCurvedArea(measured);
    if (area > 0) sum += o->type == kObjCutout ? -area : area;
  }
  // The readout is a whole number; huge or broken outlines must not overflow the conversion.
  double rounded = sum + 0.5;
  if (!(rounded > -2e9)) rounded = -2e9;
  if (rounded > 2e9) rounded = 2e9;
  const std::string format = LocalizedString(ds->measureSystem == 3 ? "Area: %ld sq.ft." : "Area: %ld sq.m.");
  char text[256];
  std::snprintf(text, sizeof text, format.c_str(), static_cast<long>(rounded));
  SetStatusBar(text);
}

// ---- Views of the plan ----

void Win32EventHandler::resetView() { ResetView(); }
void Win32EventHandler::updateViewingHeight() { UpdateViewingHeight(); }
void Win32EventHandler::viewTop() { ViewTop(); }
void Win32EventHandler::actualSize() { ActualSize(); }

void Win32EventHandler::resetPlanView() {
  DocState* ds = CurDocState();
  if (!ds) return;
  PlanZoom(ds) = 0.6f;
  ResetView();
  gSinXAngle = 1.0f;
  gCosYAngle = 1.0f;
  // The paper at the new zoom, scrolled so that plan point (0, 0) is in the middle.
  if (ZLKDocumentView* view = AppController::mainWindowDocumentView()) {
    view->fitFrameToPlan();
    const NSRect shown = view->visibleRect();
    view->scrollRectToVisible(
        NSMakeRect(-shown.size.width / 2, -shown.size.height / 2, shown.size.width, shown.size.height));
  }
  Refresh();
}

void Win32EventHandler::refreshView() {
  // The 3D view runs its full render on its next draw too.
  gRenderDirty = 1;
  gRefreshRender = 1;
  Refresh();
}

// ---- Toggles ----

void Win32EventHandler::toggleGrid() {
  if (!CurDocState()) return;
  gPlanDrawSettings.gridVisible = !gPlanDrawSettings.gridVisible;
  Refresh();
}

void Win32EventHandler::snapToGrid() {
  if (DocState* ds = CurDocState()) ds->snapToGrid = !ds->snapToGrid;
}

void Win32EventHandler::toggleDimensions() {
  DocState* ds = CurDocState();
  if (!ds) return;
  ShowAutoDimensions(ds) = !ShowAutoDimensions(ds);
  Refresh();
  Undo("Automatic Dimensioning");
}

void Win32EventHandler::toggleCallouts() {
  DocState* ds = CurDocState();
  if (!ds) return;
  ds->showCallouts = !ds->showCallouts;
  Refresh();
  Undo("Window & Door Callouts");
}

void Win32EventHandler::toggleTopographyLines() {
  if (DocState* ds = CurDocState()) ShowTopography(ds) = !ShowTopography(ds);
  Refresh();
}

void Win32EventHandler::toggleVirtualRuler() {
  if (!gCurDocument) return;
  gCurDocument->itsVRVisible = !gCurDocument->itsVRVisible;
  Refresh();
}

void Win32EventHandler::toggleFloorplanTraceImage() {
  DocState* ds = CurDocState();
  if (!ds || !DocumentHasTraceImage()) return;
  ds->traceImageVisible = !ds->traceImageVisible;
  Refresh();
}

void Win32EventHandler::loadFloorplanTraceImage() {
  ZLKWindowController* controller = AppController::mainWindowController();
  if (!controller || !CurDocState()) return;
  std::string path;
  if (chooseTraceImagePath) {
    path = chooseTraceImagePath();
  } else {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
      patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    QString chosen = QFileDialog::getOpenFileName(
        controller, QString(), QString(),
        QString::fromStdString(LocalizedString("Images")) + " (" + patterns.join(' ') + ")");
    path = QFile::encodeName(chosen).toStdString();
  }
  controller->floorplanTraceOpenPanelDidEnd(path.empty() ? 0 : 1, path);
}

void Win32EventHandler::import3DObjectUsingWindow(QWidget* window) {
  ZLKWindowController* controller = AppController::mainWindowController();
  if (!controller || !CurDocState()) return;
  std::string path;
  if (chooseObjectFilePath) {
    path = chooseObjectFilePath();
  } else {
    QString chosen = QFileDialog::getOpenFileName(
        window ? window : controller, QString(), QString(),
        QString::fromStdString(LocalizedString("3D Objects")) + " (*.QOB *.qob)");
    path = QFile::encodeName(chosen).toStdString();
  }
  controller->import3DObjectOpenPanelDidEnd(path.empty() ? 0 : 1, path);
}

void Win32EventHandler::exportVRMLUsingWindow(QWidget* window) {
  ZLKWindowController* controller = AppController::mainWindowController();
  if (!controller || !CurDocState()) return;
  std::string path;
  if (chooseVRMLSavePath) {
    path = chooseVRMLSavePath();
  } else {
    QString chosen = QFileDialog::getSaveFileName(
        window ? window : controller, QString(), ExportStartPath(QStringLiteral("wrl")),
        QString::fromStdString(LocalizedString("VRML Files")) + " (*.wrl);;" +
            QString::fromStdString(LocalizedString("All Files")) + " (*)");
    path = QFile::encodeName(chosen).toStdString();
  }
  controller->exportVRMLSavePanelDidEnd(path.empty() ? 0 : 1, path);
}

void Win32EventHandler::removeFloorplanTraceImage() {
  DocState* ds = CurDocState();
  if (!ds) return;
  if (ZLKDocument* document = AppController::mainWindowDocument()) document->clearTraceImage();
  ds->traceImagePath[0] = 0;
  ds->traceImageVisible = 0;
  Refresh();
  Undo("Remove Floorplan Trace Image");
}

// ---- Fitting, floors and plans ----

void Win32EventHandler::fitToWindow() {
  DocState* ds = CurDocState();
  if (!ds) return;
  gGlobalZOffset = 0;
  gGlobalXOffset = 0;
  PlanZoom(ds) = 0.6f;
  ResetView();
  TopViewZoom(ds) = 0.6f;
  FitToWindow();
}

void Win32EventHandler::workOnFloorUsingCommand(int32_t command) {
  DocState* ds = CurDocState();
  if (!ds) return;
  Layer* floors[3] = {GetLayerFromName("First Floor"), GetLayerFromName("Second Floor"),
                      GetLayerFromName("Third Floor")};
  uint8_t visible[3] = {static_cast<uint8_t>(floors[0] ? floors[0]->visible : 1),
                        static_cast<uint8_t>(floors[1] ? floors[1]->visible : 0),
                        static_cast<uint8_t>(floors[2] ? floors[2]->visible : 0)};
  int working = 0;
  if (floors[1] && floors[1]->selectable) working = 1;
  if (floors[2] && floors[2]->selectable) working = 2;
  bool rebuild = true;
  if (InRange(command, kTagFirstFloor, kTagFirstFloor + 2)) {
    working = command - kTagFirstFloor;
    // A floor the design does not have cannot become the working floor.
    if (!floors[working]) return;
    visible[working] = 1;
    ds->wallFoundationMask() = working == 0 ? 1 : 2;
    rebuild = gWorkingFloorVisibleOnly != 0;
    if (rebuild)
      for (int i = 0; i < 3; ++i)
        if (i != working) visible[i] = 0;
  } else if (command == kTagViewAllFloors) {
    visible[0] = visible[1] = visible[2] = 1;
    gWorkingFloorVisibleOnly = 0;
  } else if (command == kTagViewWorkingFloorOnly) {
    gWorkingFloorVisibleOnly = 1;
    for (int i = 0; i < 3; ++i) visible[i] = i == working ? 1 : 0;
  }
  for (int i = 0; i < 3; ++i) {
    Layer* floor = floors[i];
    if (!floor) continue;
    floor->visible = visible[i];
    if (i == working) {
      floor->selectable = 1;
      gCurDocument->itsCurLayer = floor;
    } else {
      SelectLayer(floor, kSelectOff, 0);
      floor->selectable = 0;
    }
  }
  if (gCurDocument->itsCurLayer) gCurDocument->itsCurLayer->visible = 1;
  if (GetCurrentView() == kCmdViewTop) {
    // A floor's view layer is not made here: the choice of a floor adds nothing to the design.
    Layer* view = Find2DViewLayer(kCmdViewTop);
    gCurDocument->itsCur2DLayer = view;
    Set2DViewLayerVisibility(view);
    SelectedObjectAllLayers(gCurDocument->itsLayers, 0, 7001, CommandArg::None());
  }
  updateViewingHeight();
  ClearSelectionState40(ds, &ds->selectionState40);
  UpdateSelectionState40Controls(&ds->selectionState40);
  ResetStandardTool(1);
  InspectorUpdate();
  Refresh();
  if (InRange(command, kTagFirstFloor, kTagFirstFloor + 2))
    if (ZLKWindowController* controller = AppController::mainWindowController())
      controller->selectActiveFloorItem(command);
  if (rebuild) {
    RenderAllLayers();
    RenderLoop();
  }
}

void Win32EventHandler::workOnPlanUsingCommand(int32_t command) {
  DocState* ds = CurDocState();
  if (!ds) return;
  int kind = -1;
  if (InRange(command, 5343, 5350)) kind = command - 5343;
  else if (command == 5390) kind = kPlanDetail;
  if (kind < 0 || ds->newObjectPlanMask == (1 << kind)) return;
  if (ZLKWindowController* controller = AppController::mainWindowController())
    controller->selectPlanTab(kind);
}

std::string FloorAreaStatusText(int32_t command) {
  DocState* ds = CurDocState();
  if (!ds) return {};
  static const char* const kFloors[3] = {"First Floor", "Second Floor", "Third Floor"};
  static const char* const kLabels[3] = {"First Floor Area:", "Second Floor Area:", "Third Floor Area:"};
  if (!InRange(command, 5300, 5302)) return {};
  const int i = command - 5300;
  const Layer* floor = GetLayerFromName(kFloors[i]);
  if (!floor) return {};
  const float area = ComputeSquareFootage(floor, kObjWall);
  if (!(area >= 0)) return {};
  const long n = static_cast<long>(static_cast<double>(area) + 0.5);
  const char* unit = ds->measureSystem == kMeasureMetric ? "sq.m." : "sq.ft.";
  char text[256];
  std::snprintf(text, sizeof text, "%s %ld %s", LocalizedString(kLabels[i]).c_str(), n,
                LocalizedString(unit).c_str());
  return text;
}

void Win32EventHandler::calculateFloorAreaUsingCommand(int32_t command) {
  const std::string text = FloorAreaStatusText(command);
  if (text.empty()) return;
  if (ZLKWindowController* controller = AppController::mainWindowController())
    controller->setStatusBarText(text.c_str());
}

// ---- 3D view settings ----

void Win32EventHandler::setLVInteractionMethodUsingCommand(int32_t command) {
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  switch (command) {
    case kCmdFreeWalkThrough: controller->freeWalkThrough(); break;
    case kCmdFreeFlyAround: controller->freeFlyAround(); break;
    case kCmdControlledWalkThrough: controller->controlledWalkThrough(); break;
    case kCmdControlledFlyAround: controller->controlledFlyAround(); break;
    default: break;
  }
}

void Win32EventHandler::setRenderStyleUsingCommand(int32_t command) {
  DocState* ds = CurDocState();
  if (!ds) return;
  constexpr int16_t kWireframe = 1, kSolid = 5, kClearView = 6;
  LiveViewOGLView* view = LiveViewController::sharedLiveViewController()->liveViewOGLView();
  switch (command) {
    case kCmdRenderWireframe:
    case kCmdRenderTexturedWireframe:
      gTexturedWire = command == kCmdRenderTexturedWireframe ? 1 : 0;
      ds->clearView() = 0;
      ds->renderMode() = kWireframe;
      gRenderDirty = 1;
      gRefreshRender = 1;
      view->update();
      return;
    case kCmdRenderClearView:
      if (ds->clearView() && ds->renderMode() != kWireframe) return;
      gTexturedWire = 0;
      ds->clearView() = 1;
      ds->renderMode() = kClearView;
      break;
    case kCmdRenderSolid:
      if (ds->renderMode() == 0) return;
      gTexturedWire = 0;
      ds->clearView() = 0;
      ds->renderMode() = kSolid;
      break;
    default: return;
  }
  gRenderDirty = 1;
  gRenderGL = 1;
  gRefreshRender = 1;
  view->display();
  gRenderGL = 0;
}

void Win32EventHandler::setViewpointUsingCommand(int32_t command) {
  DocState* ds = CurDocState();
  if (!ds) return;
  const FloatRect& lot = ds->planBounds;
  float angle = 0;
  FloatPoint position{};
  bool known = true;
  switch (command) {
    case kViewpointLotTopEdge: angle = 180; position = {0, lot.floatTop + 125}; break;
    case kViewpointLotBottomEdge: angle = 0; position = {0, lot.floatBottom - 125}; break;
    case kViewpointLotRightEdge: angle = 90; position = {lot.floatRight - 125, 0}; break;
    case kViewpointLotLeftEdge: angle = 270; position = {lot.floatLeft + 125, 0}; break;
    default: known = false; break;
  }
  if (known) {
    ds->cameraAngle() = angle;
    ds->cameraPosition() = position;
    ds->walkPitchAngle() = 0;
    ds->cameraMode() = 1;
    if (const Layer* layer = gCurDocument->itsCurLayer)
      ds->eyeHeight() = ConvertWorldToScreen(GetLayerAbsBaseHeight(layer), ds, 0) +
                        0.5f * ConvertWorldToScreen(layer->height, ds, 0);
    float dx = 0, dy = 0;
    GetPointFromLengthAndAngle((angle + 90.0f) * 0.017453292f, 1000.0f, &dx, &dy);
    SetCameraAngle(dx, 0, -dy);
    SetCameraPosition(position.floatH, ds->eyeHeight(), -position.floatV);
  }
  gRefreshRender = 1;
  gRenderDirty = 1;
  Refresh();
  if (LiveViewController::exists())
    LiveViewController::sharedLiveViewController()->liveViewOGLView()->resetCursorRects();
}

void Win32EventHandler::setNavigationSpeedUsingCommand(int32_t command) {
  DocState* ds = CurDocState();
  if (!ds || !InRange(command, kCmdNavigationSpeed1, kCmdNavigationSpeed5)) return;
  ds->navigationStep = static_cast<int16_t>(6 + command - kCmdNavigationSpeed1);
}

void Win32EventHandler::setRenderQualityUsingCommand(int32_t command) {
  DocState* ds = CurDocState();
  if (!ds || !InRange(command, kCmdRenderQualityLow, kCmdRenderQualityExcellent)) return;
  static const int32_t kPasses[4] = {4, 8, 15, 24};
  ds->renderPasses() = kPasses[command - kCmdRenderQualityLow];
}

void Win32EventHandler::setShadowQualityUsingCommand(int32_t command) {
  DocState* ds = CurDocState();
  if (!ds) return;
  if (command == kCmdShadowQualityLow) ds->shadowQuality = 0;
  else if (command == kCmdShadowQualityHigh) ds->shadowQuality = 5;
}

namespace {
LiveViewController* BringLiveViewForward() {
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  if (!controller->isVisible()) {
    controller->makeKeyAndOrderFront();
    if (gRenderOnShow) RenderAllLayers();
  }
  return controller;
}
}  // namespace

// Export and print show the 3D window as its show command does: a hidden window with a
// current scene renders it anew.
void Win32EventHandler::exportLiveViewImage() {
  AppController::showLiveViewPanel();
  LiveViewController::sharedLiveViewController()->displayExport3DSavePanel();
}
void Win32EventHandler::print3DLiveViewImage() {
  AppController::showLiveViewPanel();
  LiveViewController::sharedLiveViewController()->showPrint3DPropertiesPanel();
}
void Win32EventHandler::showLVAndRenderFinal() { BringLiveViewForward()->renderFinal(); }
void Win32EventHandler::showLVAndRenderShadows() { BringLiveViewForward()->renderShadows(); }
