// Plan view: content palette entries placed on the plan, by a drop or by auto-click (Option
// held with the selection tool, each click places the palette's chosen entry).
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <cmath>
#include <cstring>
#include <string>

#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "app/Win32EventHandler.h"
#include "app/ZLKDocumentView.h"
#include "building3d/Plants3D.h"
#include "content/AssignString.h"
#include "content/ContentCategoryItem.h"
#include "content/ContentPaletteController.h"
#include "content/SymEntry.h"
#include "files/ObjectFile.h"
#include "files/StreamState.h"
#include "files/TemplateFile.h"
#include "files/Undo.h"
#include "model/Bounds.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/HitTest.h"
#include "model/ParallelObjects.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/Services.h"
#include "model/TransformInfo.h"
#include "model/ViewProjection.h"
#include "platform/IniFile.h"
#include "platform/Strings.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

const QString& Plan2DType() {
  static const QString name = QString::fromLatin1(Content2DDNDPboardType);
  return name;
}
const QString& RecordType() {
  static const QString name = QString::fromLatin1(Content3DDNDPboardType);
  return name;
}

// Why the plan takes no drop of this data; null when it does.
const char* RefusalOf(const QMimeData* data) {
  if (data && data->hasFormat(Plan2DType())) return nullptr;
  if (data && data->hasFormat(RecordType())) return "Colors, materials and trims are applied in the 3D view: drop them there.";
  return "Only plants, objects, templates and symbols of the content palette can be dropped on the plan.";
}

// The status line of the view's own design.
void SayOnStatusLine(ZLKDocumentModel* model, const char* text) {
  if (!model) return;
  CurrentDocumentScope scope(model);
  SetStatusBar(LocalizedString(text).c_str());
}

const char* InsertUndoName(int16_t type) {
  switch (type) {
    case kEntryPlant: case kEntryUserPlant: return "Insert Plants";
    case kEntrySymbol: return "Insert Symbols";
    case kEntry3DObject: return "Insert Objects";
    case kEntryTemplate: return "Insert Templates";
    default: return nullptr;
  }
}

// Made whole as plan points are: 0.5 added, truncated toward zero, narrowed to 16 bits.
int16_t RoundToShort(float v) {
  const double t = std::trunc(static_cast<double>(v) + 0.5);
  return static_cast<int16_t>(static_cast<int32_t>(std::fmax(-2147483648.0, std::fmin(2147483647.0, t))));
}

// The evaluated drop point split by the working plane: the in-plane point, rounded, and the
// value along the axis off the plane.
struct PlanePoint {
  int16_t first = 0, second = 0;
  float offPlane = 0;
};

PlanePoint SplitByWorkingPlane(int16_t plane, float x, float y, float z) {
  PlanePoint p;
  switch (plane) {
    case 2: p = {RoundToShort(x), RoundToShort(z), y}; break;
    case 3: p = {RoundToShort(z), RoundToShort(y), x}; break;
    case 1: p = {RoundToShort(x), RoundToShort(y), z}; break;
    default: break;
  }
  return p;
}

TransformInfo Translation(float dx, float dy, float dz) {
  TransformInfo t{};
  t.scale[0] = t.scale[1] = t.scale[2] = 1.0f;
  t.delta[0] = dx;
  t.delta[1] = dy;
  t.delta[2] = dz;
  return t;
}

// Moves what was placed: the one object when known (nothing else is selected then), else the
// selected objects of the layer.
void TranslatePlaced(Layer* layer, Objex* only, TransformInfo t) {
  if (only) {
    if (layer->visible) SelectedObject(only, 1, kCmdTranslateObjects, CommandArg::Transform(&t));
  } else {
    SelectedObjectLayer(layer, 1, kCmdTranslateObjects, CommandArg::Transform(&t));
  }
}

// The two moves from the origin to the drop point: first off the working plane (the plane
// switched for that move to one holding that axis), then within it.
void MovePlacedToPoint(DocState* ds, Layer* layer, Objex* only, const PlanePoint& p) {
  const int16_t plane = ds->viewPlane;
  TransformInfo off = Translation(0, 0, 0);
  if (plane == 2) off = Translation(0, p.offPlane, 0);
  else if (plane == 3) off = Translation(p.offPlane, 0, 0);
  else if (plane == 1) off = Translation(0, 0, p.offPlane);
  ds->viewPlane = plane == 2 ? 1 : 2;
  TranslatePlaced(layer, only, off);
  ds->viewPlane = plane;
  gSymbarObjectDrop = 0;
  TransformInfo in = Translation(0, 0, 0);
  if (plane == 2) in = Translation(p.first, 0, p.second);
  else if (plane == 3) in = Translation(0, p.second, p.first);
  else if (plane == 1) in = Translation(p.first, p.second, 0);
  TranslatePlaced(layer, only, in);
}

// Centres one object on the middle of the plan, as CenterObjects does for a selection that
// holds only it.
void CenterPlacedObject(Objex* object) {
  DocState* ds = CurDocState();
  if (!ds || !object->layer || !object->layer->visible) return;
  Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
  GetObject3DBounds(object, 1, &box, 0);
  if (IsEmptyBounds(box)) return;
  auto round = [](float v) {
    const double r = std::trunc(static_cast<double>(v) + 0.5);
    return !(r >= -32768) ? -32768 : r > 32767 ? 32767 : static_cast<int>(r);
  };
  const int top = round(ds->planBounds.floatTop), left = round(ds->planBounds.floatLeft);
  const int bottom = round(ds->planBounds.floatBottom), right = round(ds->planBounds.floatRight);
  const float mx = static_cast<float>(left + (right - left) / 2) - (box.floatLeft + (box.floatRight - box.floatLeft) * 0.5f);
  const float mz = static_cast<float>(top + (bottom - top) / 2) - (box.floatBack + (box.floatFront - box.floatBack) * 0.5f);
  TransformInfo t = Translation(mx, 0, mz);
  SelectedObject(object, 1, kCmdTranslateObjects, CommandArg::Transform(&t));
}

// A user plant's builder reads its image path from the tenth name.
Objex* BuildUserPlantOfEntry(Layer* layer, const SymEntryInfo& entry) {
  const char* names[10] = {};
  names[9] = entry.objectData.c_str();
  return BuildUserLandscapePlant(layer, 1, names, 10);
}

// The selection's 3D size on the layer as the size readout; false when nothing is selected.
bool SizeReadoutOfSelection(Layer* layer, DocState* ds) {
  Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
  GetLayerObj3DBounds(layer, 1, &box, 0);
  const bool valid = box.floatLeft < 30000 && box.floatTop < 30000 && box.floatBack < 30000 &&
                     box.floatRight > -30000 && box.floatBottom > -30000 && box.floatFront > -30000;
  if (!valid) return false;
  // Zoomed, as every size readout hands it over: the readout takes the zoom off again.
  gWidthHeightDepth.floatH = ConvertScreenToWorld(box.floatRight - box.floatLeft, ds, 1);
  gWidthHeightDepth.floatV = ConvertScreenToWorld(box.floatBottom - box.floatTop, ds, 1);
  gWidthHeightDepth.floatD = ConvertScreenToWorld(box.floatFront - box.floatBack, ds, 1);
  return true;
}

}  // namespace

// ---- Drops ----

void ZLKDocumentView::dragEnterEvent(QDragEnterEvent* event) {
  if (const char* refusal = RefusalOf(event->mimeData())) {
    SayOnStatusLine(documentModel(), refusal);
    event->ignore();
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void ZLKDocumentView::dragMoveEvent(QDragMoveEvent* event) {
  if (RefusalOf(event->mimeData())) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void ZLKDocumentView::dropEvent(QDropEvent* event) {
  // A drag the plan does not take was refused when it entered: nothing is dropped.
  if (const char* refusal = RefusalOf(event->mimeData())) {
    SayOnStatusLine(documentModel(), refusal);
    event->ignore();
    return;
  }
  const POINT where = windowPointFromViewPoint(viewPointFromWidget(event->position()));
  if (performDragOperation(event->mimeData(), where)) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
}

bool ZLKDocumentView::performDragOperation(const QMimeData* data, POINT where) {
  // The drop works on this window's design.
  if (ZLKDocumentModel* model = documentModel()) gCurDocument = model;
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc || !doc->itsDocState || !doc->itsCurLayer) return false;
  // Without the plan's own drag type the drop is taken and ignored.
  if (const char* refusal = RefusalOf(data)) {
    SayOnStatusLine(doc, refusal);
    return true;
  }
  const QByteArray record = data->data(RecordType());
  SymEntryInfo entry;
  if (record.isEmpty() || !DecodeSymEntryWithData(reinterpret_cast<const uint8_t*>(record.constData()),
                                                  static_cast<size_t>(record.size()), &entry)) {
    SayOnStatusLine(doc, "The dropped content entry could not be read.");
    return false;
  }
  if (!placeContentEntry(where, &entry, false)) return true;
  StoreUndo(LocalizedString(InsertUndoName(entry.type)));
  return true;
}

// ---- Placing an entry ----

bool ZLKDocumentView::placeContentEntry(POINT where, SymEntryInfo* entry, bool autoClick) {
  ZLKDocumentModel* doc = gCurDocument;
  if (!entry || !doc || !doc->itsDocState || !doc->itsLayers || !doc->itsCurLayer) return false;
  DocState* ds = doc->itsDocState;
  Layer* layer = doc->itsCurLayer;
  const int16_t type = entry->type;
  if (entry->objectData.empty() && type != kEntryPlant) {
    SayOnStatusLine(doc, "This content entry has no file to place.");
    return false;
  }

  SetUpForRotationAboutArbitraryAxis(gXViewAngle, gYViewAngle, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle,
                                     gPerspective);
  float x = 0, y = 0, z = 0;
  EvaluatePoint(where.x, where.y, &x, &y, &z, 0, nullptr, 1);
  const PlanePoint point = SplitByWorkingPlane(ds->viewPlane, x, y, z);

  SelectAllLayers(doc->itsLayers, kSelectOff, 1);
  if (!InsertUndoName(type)) {
    // Nothing is read for it: the plan shows the cleared selection.
    if (autoClick) gRefreshRender = 0;
    Refresh();
    SayOnStatusLine(doc, "This content entry cannot be placed on the plan.");
    return false;
  }
  // A plant is the one object placed: it alone is moved and deselected, and the design is
  // walked only by the deselection above.
  Objex* plant = nullptr;
  bool placed = false;
  FloatRect centred{};
  const char* path = entry->objectData.c_str();
  const bool plantEntry = type == kEntryPlant || type == kEntryUserPlant;
  switch (type) {
    case kEntryPlant:
    case kEntryUserPlant:
      gForceRenderObjectNow = 1;
      plant = type == kEntryPlant ? BuildLandscapePlant(layer, 1, entry->textureID) : BuildUserPlantOfEntry(layer, *entry);
      if (plant) {
        SelectObj(plant, kSelectOn, 1);
        CenterPlacedObject(plant);
        if (autoClick) autoClick2DEntryIDs_.push_back(plant->objectID);
      }
      placed = plant != nullptr;
      break;
    case kEntry3DObject: {
      gOpenSymbol = 1;
      gSymbarObjectDrop = 1;
      placed = ObjectFileRead(path) != 0;
      gOpenSymbol = 0;
      if (!placed) break;
      CenterObjects(1, &centred);
      Win32EventHandler::sharedEventHandler()->groupNoRedraw();
      uint32_t id = 0;
      if (autoClick && FindFirstSelectedObjectID(&id)) autoClick2DEntryIDs_.push_back(id);
      break;
    }
    default: {  // templates and symbols
      // The reader treats the file by the kind of entry placed.
      const int16_t chosenType = gSelectedContentEntryType;
      gSelectedContentEntryType = type;
      gUpdateID = 1;
      placed = TemplateFileRead(path) != 0;
      gUpdateID = 0;
      gSelectedContentEntryType = chosenType;
      if (!placed) break;
      CenterObjects(1, &centred);
      gBaseElevation = ConvertInchesToFeet(ds->baseElevation);
      TopLevelObjectAllLayers(doc->itsLayers, kCmdPlaceDroppedObjects, CommandArg::Doc(ds));
      UpdateInspectorPropertiesState(true);
      if (autoClick)
        for (Objex* o = layer->firstObject; o; o = o->next)
          if (IsObjectSelected(o)) autoClick2DEntryIDs_.push_back(o->objectID);
      break;
    }
  }
  if (!placed) {
    gSymbarObjectDrop = 0;
    gForceRenderObjectNow = 0;
    // The readers say themselves why a damaged file was refused; a missing one they don't.
    const std::string text = plantEntry ? LocalizedString("The plant could not be made.")
                                        : LocalizedString("The file of this content entry could not be read:") + " " +
                                              entry->objectData;
    CurrentDocumentScope scope(doc);
    SetStatusBar(text.c_str());
    return false;
  }

  MovePlacedToPoint(ds, layer, plant, point);

  if (type == kEntry3DObject && !entry->objectInfo.empty()) {
    char name[250] = {};
    GetPrivateProfileString("Description", "ObjectName", "Done", name, sizeof name, entry->objectInfo.c_str());
    if (std::strcmp(name, "Done") != 0) AssignStringToSelectedObjects(name);
  }
  // A template stays selected; the rest is left unselected.
  if (plant) SelectObj(plant, kSelectOff, 1);
  else if (type != kEntryTemplate) SelectAllLayers(doc->itsLayers, kSelectOff, 1);
  if (autoClick) gRefreshRender = 0;
  Refresh();
  gForceRenderObjectNow = 0;
  // The size readout of what stays selected (a template), and the selection tool to go on.
  if (type == kEntryTemplate && SizeReadoutOfSelection(layer, ds)) {
    DrawWH(gWidthHeightDepth.floatH, gWidthHeightDepth.floatD, gWidthHeightDepth.floatV);
    if (!autoClick) ResetStandardTool(1);
  }
  return true;
}

// ---- Auto-click ----

bool ZLKDocumentView::canEnable2DAutoClickForEvent(const Qt::KeyboardModifiers* modifiers) const {
  ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController();
  if (!palette || !modifiers || gCurTool != kToolSelection || !(*modifiers & Qt::AltModifier)) return false;
  if (!palette->selectedSymEntry()) return false;
  const int32_t category = palette->selectedCategory();
  return category == kCategoryObjects || category == kCategoryPlants || category == kCategoryTemplates;
}

void ZLKDocumentView::flagsChanged(Qt::KeyboardModifiers modifiers) {
  if (gCurTool != kToolSelection) return;
  if (canEnable2DAutoClickForEvent(&modifiers)) {
    if (!autoClick2DActive_) {
      trackingTag_ = true;
      autoClick2DEntryIDs_.clear();
    }
    setCursor(Qt::PointingHandCursor);
    autoClick2DActive_ = true;
    return;
  }
  unsetCursor();
  if (autoClick2DActive_) endAutoClickRun();
  autoClick2DActive_ = false;
  trackingTag_ = false;
}

void ZLKDocumentView::mouseExited() {
  if (autoClick2DActive_) endAutoClickRun();
  autoClick2DActive_ = false;
  trackingTag_ = false;
  unsetCursor();
}

void ZLKDocumentView::leaveEvent(QEvent* event) {
  if (trackingTag_) mouseExited();
  QWidget::leaveEvent(event);
}

void ZLKDocumentView::endAutoClickRun() {
  store2DAutoClickUndoAction();
  if (!autoClick2DEntryIDs_.empty()) {
    for (uint32_t id : autoClick2DEntryIDs_)
      if (Objex* placed = FindObjectWithID(id)) RenderEntireObject(placed);
    gRefreshRender = 1;
    if (LiveViewController::exists()) LiveViewController::sharedLiveViewController()->liveViewOGLView()->update();
  }
  autoClick2DEntryIDs_.clear();
}

void ZLKDocumentView::store2DAutoClickUndoAction() {
  if (autoClick2DEntryIDs_.empty()) return;
  const SymEntryInfo* entry = ContentPaletteSelectedSymEntry();
  const char* name = entry ? InsertUndoName(entry->type) : nullptr;
  if (name) StoreUndo(LocalizedString(name));
}

void ZLKDocumentView::do2DSymTargetClick(POINT where, SymEntryInfo* entry) {
  if (!entry) return;
  // The palette may change its entry list while this one is placed.
  SymEntryInfo kept = *entry;
  placeContentEntry(where, &kept, true);
}
