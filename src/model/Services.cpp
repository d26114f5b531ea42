// The model's calls into the libraries above it, through the tables those libraries install.
#include "model/Services.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "model/Attachments.h"
#include "model/DesignEdits.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/PlanarTransforms.h"
#include "model/PlaneObjectRecords.h"
#include "model/Records.h"
#include "model/ViewProjection.h"

BuildingServices gBuildingServices;
OpeningsServices gOpeningsServices;
ToolsServices gToolsServices;
RendererServices gRendererServices;
ContentServices gContentServices;
InspectorServices gInspectorServices;
PlanDrawingServices gPlanDrawingServices;
FrontEndServices gFrontEnd;
LiveViewHost gLiveViewHost;

namespace {
std::vector<ServiceCallRecorder*> sRecorders;

// Records a call of a front-end service and passes it to the front end's hook, if one is set.
template <typename Hook, typename... Args>
void ForwardToFrontEnd(const char* routine, Hook hook, Args... args) {
  NoteServiceCall(routine, nullptr);
  if (hook) hook(args...);
}

// The positions of the empty members of a table made only of function pointers.
template <typename Table>
void NoteGaps(const char* name, const Table& table, size_t skipFrom, size_t skipTo,
              std::vector<ServiceGap>* gaps) {
  using Slot = void (*)();
  static_assert(sizeof(Table) % sizeof(Slot) == 0, "a service table holds function pointers only");
  ServiceGap gap{name, {}};
  const auto* bytes = reinterpret_cast<const unsigned char*>(&table);
  for (size_t i = 0; i < sizeof(Table) / sizeof(Slot); ++i) {
    if (i >= skipFrom && i < skipTo) continue;
    Slot slot = nullptr;
    std::memcpy(&slot, bytes + i * sizeof(Slot), sizeof(Slot));
    if (!slot) gap.emptySlots.push_back(i);
  }
  if (!gap.emptySlots.empty()) gaps->push_back(std::move(gap));
}
}  // namespace

std::vector<ServiceGap> InstalledServiceGaps() {
  std::vector<ServiceGap> gaps;
  NoteGaps("building", gBuildingServices, 0, 0, &gaps);
  NoteGaps("openings", gOpeningsServices, 0, 0, &gaps);
  NoteGaps("tools", gToolsServices, 0, 0, &gaps);
  NoteGaps("renderer", gRendererServices, 0, 0, &gaps);
  NoteGaps("content", gContentServices, 0, 0, &gaps);
  NoteGaps("inspector", gInspectorServices, 0, 0, &gaps);
  NoteGaps("plan drawing", gPlanDrawingServices, 0, 0, &gaps);
  // The 3D window's status members come and go with the 3D window's controller.
  constexpr size_t firstLVMember = offsetof(FrontEndServices, setLVStatusString) / sizeof(void (*)());
  NoteGaps("front end", gFrontEnd, firstLVMember, firstLVMember + 5, &gaps);
  return gaps;
}

ServiceCallRecorder::ServiceCallRecorder() { sRecorders.push_back(this); }
ServiceCallRecorder::~ServiceCallRecorder() { std::erase(sRecorders, this); }

bool ServiceCallRecorder::called(const std::string& routine, uint32_t objectID) const {
  for (const auto& c : calls)
    if (c.routine == routine && (objectID == 0 || c.objectID == objectID)) return true;
  return false;
}

size_t ServiceCallRecorder::count(const std::string& routine) const {
  size_t n = 0;
  for (const auto& c : calls) n += c.routine == routine;
  return n;
}

void NoteServiceCall(const char* routine, const Objex* object) {
  for (auto* r : sRecorders) r->calls.push_back({routine, object ? object->objectID : 0u});
}

// An installed routine gets the call; otherwise it is recorded and nothing else happens.
#define CALL_INSTALLED_OBJECT_ROUTINE(table, member, name)   \
  void name(Objex* object) {                                  \
    NoteDesignEdit();                                         \
    if (table.member) return table.member(object);            \
    NoteServiceCall(#name, object);                           \
  }

// Building elements.
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, update3DWall, Update3DWall)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, update3DRoof, Update3DRoof)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, update3DRoofPanel, Update3DRoofPanel)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, update3DDeck, Update3DDeck)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, update3DPath, Update3DPath)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, update3DFloorSkirting, Update3DFloorSkirting)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, update3DTopoCutoutDepthObject, Update3DTopoCutoutDepthObject)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, update3DPhoto, Update3DPhoto)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, updateStairObject, UpdateStairObject)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, updateRailObject, UpdateRailObject)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, updateEdgingObject, UpdateEdgingObject)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, updateFenceObject, UpdateFenceObject)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, updateAllRoofAttachments, UpdateAllRoofAttachments)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, renderEntireObject, RenderEntireObject)
CALL_INSTALLED_OBJECT_ROUTINE(gBuildingServices, renderSingleObject, RenderSingleObject)

Poinz* AddDeckSteps(Objex* deck, Poinz* point, Poinz* nextPoint) {
  if (gBuildingServices.addDeckSteps) return gBuildingServices.addDeckSteps(deck, point, nextPoint);
  NoteServiceCall("AddDeckSteps", deck);
  if (!deck || !point || !nextPoint || !CurDocState()) return nullptr;
  auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  if (!data) return nullptr;
  const RGBColor white{65535, 65535, 65535};
  Objex* steps = CreateObject(kObjDeckSteps, 0, 1, &white, &white, 1.0f, 6, 0, nullptr, nullptr,
                              nullptr, deck, deck->layer, data);
  if (!steps) {
    free(data);
    return nullptr;
  }
  data->anchorStart = point;
  data->anchorEnd = nextPoint;
  Objex** link = &deck->firstChild;
  Objex* last = nullptr;
  while (*link) {
    last = *link;
    link = &last->next;
  }
  *link = steps;
  steps->prev = last;
  return nextPoint;
}

void CreateCustomSkylightSymbols(Objex* skylight, float x, float z, float size) {
  if (gBuildingServices.createCustomSkylightSymbols)
    return gBuildingServices.createCustomSkylightSymbols(skylight, x, z, size);
  NoteServiceCall("CreateCustomSkylightSymbols", skylight);
}

void CreateSkylightFillerPlane(Objex* skylight, int16_t side) {
  if (gBuildingServices.createSkylightFillerPlane) return gBuildingServices.createSkylightFillerPlane(skylight, side);
  NoteServiceCall("CreateSkylightFillerPlane", skylight);
}

void GetCustomSkylightBounds(Objex* skylight, FloatRect* rect, Float3DRect* box) {
  if (gBuildingServices.getCustomSkylightBounds) return gBuildingServices.getCustomSkylightBounds(skylight, rect, box);
  NoteServiceCall("GetCustomSkylightBounds", skylight);
}

void CreateCustomSkylightBoundsPoints(Objex* skylight, const Float3DRect* bounds) {
  if (gBuildingServices.createCustomSkylightBoundsPoints)
    return gBuildingServices.createCustomSkylightBoundsPoints(skylight, bounds);
  NoteServiceCall("CreateCustomSkylightBoundsPoints", skylight);
}

float GroundUnder(const Objex* object) {
  return gBuildingServices.groundUnder ? gBuildingServices.groundUnder(object) : 0;
}

Objex* ConnectWallPoint(Objex* wall, Poinz* endPoint) {
  if (gBuildingServices.connectWallPoint) return gBuildingServices.connectWallPoint(wall, endPoint);
  NoteServiceCall("ConnectWallPoint", wall);
  return wall;
}

void RenderAllLayers() {
  if (gBuildingServices.renderAllLayers) return gBuildingServices.renderAllLayers();
  NoteServiceCall("RenderAllLayers", nullptr);
  gRefreshRender = 1;
}

// Openings.
CALL_INSTALLED_OBJECT_ROUTINE(gOpeningsServices, buildAttachmentFrame, BuildAttachmentFrame)
CALL_INSTALLED_OBJECT_ROUTINE(gOpeningsServices, readCustomWindowDoorFile, ReadCustomWindowDoorFile)
CALL_INSTALLED_OBJECT_ROUTINE(gOpeningsServices, readCustomSkylightFile, ReadCustomSkylightFile)

void ReadCustomTrimFile(Objex* target, bool slotA, TrimData* wallTrim) {
  if (gOpeningsServices.readCustomTrimFile) return gOpeningsServices.readCustomTrimFile(target, slotA, wallTrim);
  NoteServiceCall("ReadCustomTrimFile", target);
}

// Tools.
CALL_INSTALLED_OBJECT_ROUTINE(gToolsServices, updateFixedComponent, UpdateFixedComponent)

int UpdateAllWallAttachments(Objex* wall) {
  NoteDesignEdit();
  if (gToolsServices.updateAllWallAttachments) return gToolsServices.updateAllWallAttachments(wall);
  NoteServiceCall("UpdateAllWallAttachments", wall);
  return 0;
}

void UpdateAttachedDimLayerService(Layer* layer) {
  NoteDesignEdit();
  if (gToolsServices.updateAttachedDimLayer) return gToolsServices.updateAttachedDimLayer(layer);
  NoteServiceCall("UpdateAttachedDimLayer", nullptr);
}

namespace {
// Makes a design and its floor current for the life of the scope.
class FloorAsCurrent {
 public:
  FloorAsCurrent(ZLKDocumentModel* document, Layer* layer)
      : document_(document), scope_(document), current_(document->itsCurLayer) {
    document->itsCurLayer = layer;
  }
  ~FloorAsCurrent() { document_->itsCurLayer = current_; }
  FloorAsCurrent(const FloorAsCurrent&) = delete;
  FloorAsCurrent& operator=(const FloorAsCurrent&) = delete;

 private:
  ZLKDocumentModel* document_;
  CurrentDocumentScope scope_;
  Layer* current_;
};

struct DeferredFloor {
  ZLKDocumentModel* document;
  Layer* layer;
  // What was measured as walls left the floor (null until one leaves).
  LeavingWallDimensions* leaving = nullptr;
};
int sWallDimensionBatchDepth = 0;
std::vector<DeferredFloor> sDeferredFloors;
MovedWallDimensionRefresh* sMovedWallDimensions = nullptr;

bool LeavingWallsMeasuredApart() {
  const ToolsServices& t = gToolsServices;
  return t.beginLeavingWallDimensions && t.noteLeavingWallRefit && t.measureBeforeLeaving &&
         t.finishLeavingWallDimensions && t.endLeavingWallDimensions;
}

void EndLeaving(DeferredFloor* f) {
  if (f->leaving) gToolsServices.endLeavingWallDimensions(f->leaving);
  f->leaving = nullptr;
}

// Measures the floor's dimensions put off (those not measured before walls left it since the
// last refit), the floor taken as its design's current one.
void MeasureDeferredFloor(DeferredFloor* f) {
  FloorAsCurrent floor(f->document, f->layer);
  if (f->leaving) {
    NoteDesignEdit();
    gToolsServices.finishLeavingWallDimensions(f->leaving);
    f->leaving = nullptr;
  } else if (sMovedWallDimensions && sMovedWallDimensions->covers(f->document, f->layer)) {
    sMovedWallDimensions->measure();
  } else {
    UpdateAttachedDimLayerService(f->layer);
  }
}

void MeasureDeferredFloors() {
  std::vector<DeferredFloor> floors;
  floors.swap(sDeferredFloors);
  for (DeferredFloor& f : floors) {
    // Only a floor still in its design, measured as it was: that design's current floor.
    if (!FloorListHolds(f.document->itsLayers, f.layer)) {
      EndLeaving(&f);
      continue;
    }
    MeasureDeferredFloor(&f);
  }
}
}  // namespace

WallDimensionRefreshBatch::WallDimensionRefreshBatch() { ++sWallDimensionBatchDepth; }

WallDimensionRefreshBatch::~WallDimensionRefreshBatch() {
  if (--sWallDimensionBatchDepth > 0) return;
  MeasureDeferredFloors();
}

void ObjectLeavingFloor(Objex* object) {
  if (sWallDimensionBatchDepth <= 0 || !object) return;
  const bool wall = object->type == kObjWall;
  std::vector<DeferredFloor> floors;
  floors.swap(sDeferredFloors);
  std::vector<DeferredFloor> kept;
  for (DeferredFloor& f : floors) {
    // Another object than a wall leaves only the lists of the floors measured apart.
    if (!wall && !f.leaving) {
      kept.push_back(f);
      continue;
    }
    if (!FloorListHolds(f.document->itsLayers, f.layer)) {
      EndLeaving(&f);
      continue;
    }
    // The dimensions a wall can be measured to, the floor staying due for the others.
    bool apart = false;
    if (f.leaving ||
        (LeavingWallsMeasuredApart() && !(sMovedWallDimensions && sMovedWallDimensions->covers(f.document, f.layer)))) {
      FloorAsCurrent floor(f.document, f.layer);
      if (!f.leaving) f.leaving = gToolsServices.beginLeavingWallDimensions(f.layer);
      apart = f.leaving && gToolsServices.measureBeforeLeaving(f.leaving, object);
    }
    if (apart) {
      if (wall) NoteDesignEdit();
      kept.push_back(f);
      continue;
    }
    // Otherwise the floor's dimensions still due, measured now with the object standing: a
    // measurement after every wall would have measured none of them again before a refit.
    MeasureDeferredFloor(&f);
  }
  kept.insert(kept.end(), sDeferredFloors.begin(), sDeferredFloors.end());
  sDeferredFloors.swap(kept);
}

bool DeferWallDimensionRefresh(Objex* wall) {
  if (sWallDimensionBatchDepth <= 0) return false;
  ZLKDocumentModel* doc = gCurDocument;
  Layer* layer = doc ? doc->itsCurLayer : nullptr;
  if (!layer) return true;
  for (DeferredFloor& f : sDeferredFloors)
    if (f.document == doc && f.layer == layer) {
      // Every dimension of the floor is due again.
      if (f.leaving && !gToolsServices.noteLeavingWallRefit(f.leaving, wall)) EndLeaving(&f);
      return true;
    }
  sDeferredFloors.push_back({doc, layer});
  return true;
}

MovedWallDimensionRefresh::MovedWallDimensionRefresh(Layer* layer, Objex* firstMoved)
    : document_(gCurDocument), layer_(layer), outer_(sMovedWallDimensions) {
  if (gToolsServices.beginMovedWallDimensions && gToolsServices.measureMovedWallDimensions &&
      gToolsServices.endMovedWallDimensions && layer)
    state_ = gToolsServices.beginMovedWallDimensions(layer, firstMoved);
  sMovedWallDimensions = this;
}

MovedWallDimensionRefresh::MovedWallDimensionRefresh(Layer* layer, Objex* firstMoved, MovedWallDimensions* carried)
    : document_(gCurDocument), layer_(layer), outer_(sMovedWallDimensions) {
  if (carried && layer && gToolsServices.beginMovedWallDimensions && gToolsServices.carryOnMovedWallDimensions &&
      gToolsServices.measureMovedWallDimensions && gToolsServices.endMovedWallDimensions &&
      gToolsServices.carryOnMovedWallDimensions(carried, firstMoved)) {
    state_ = carried;
  } else {
    End(carried);
    if (gToolsServices.beginMovedWallDimensions && gToolsServices.measureMovedWallDimensions &&
        gToolsServices.endMovedWallDimensions && layer)
      state_ = gToolsServices.beginMovedWallDimensions(layer, firstMoved);
  }
  sMovedWallDimensions = this;
}

MovedWallDimensions* MovedWallDimensionRefresh::release() {
  MovedWallDimensions* state = state_;
  state_ = nullptr;
  return state;
}

void MovedWallDimensionRefresh::End(MovedWallDimensions* state) {
  if (state && gToolsServices.endMovedWallDimensions) gToolsServices.endMovedWallDimensions(state);
}

MovedWallDimensionRefresh::~MovedWallDimensionRefresh() {
  if (state_) gToolsServices.endMovedWallDimensions(state_);
  sMovedWallDimensions = outer_;
}

bool MovedWallDimensionRefresh::covers(const ZLKDocumentModel* document, const Layer* layer) const {
  return document == document_ && layer == layer_;
}

void MovedWallDimensionRefresh::measure() {
  if (!layer_ || !document_) return;
  FloorAsCurrent floor(document_, layer_);
  if (state_) gToolsServices.measureMovedWallDimensions(state_);
  else UpdateAttachedDimLayerService(layer_);
}

namespace {
AppendedWallDimensionRefresh* sAppendedWallDimensions = nullptr;
}  // namespace

AppendedWallDimensionRefresh::AppendedWallDimensionRefresh(Layer* layer)
    : document_(gCurDocument), layer_(layer), outer_(sAppendedWallDimensions) {
  if (gToolsServices.beginAppendedWallDimensions && gToolsServices.measureMovedWallDimensions &&
      gToolsServices.endMovedWallDimensions && layer && document_)
    state_ = gToolsServices.beginAppendedWallDimensions(layer, LastObjectOfLayer(layer));
  sAppendedWallDimensions = this;
}

AppendedWallDimensionRefresh::~AppendedWallDimensionRefresh() {
  if (state_) gToolsServices.endMovedWallDimensions(state_);
  sAppendedWallDimensions = outer_;
}

bool AppendedWallDimensionRefresh::MeasureCurrentFloor() {
  const AppendedWallDimensionRefresh* r = sAppendedWallDimensions;
  if (!r || !r->state_ || !gCurDocument || r->document_ != gCurDocument || gCurDocument->itsCurLayer != r->layer_)
    return false;
  gToolsServices.measureMovedWallDimensions(r->state_);
  return true;
}

void Attach3DSymbol(Objex* object, int32_t symbolType, float offsetX, float offsetZ) {
  if (gToolsServices.attach3DSymbol) gToolsServices.attach3DSymbol(object, symbolType, offsetX, offsetZ);
}

void EvaluatePoint(int32_t x, int32_t y, float* outX, float* outY, float* outZ, uint8_t snap, ClickInfo* click,
                   uint8_t unzoom) {
  if (gToolsServices.evaluatePoint) return gToolsServices.evaluatePoint(x, y, outX, outY, outZ, snap, click, unzoom);
  NoteServiceCall("EvaluatePoint", nullptr);
  if (!CurDocState() || !outX || !outY || !outZ) return;
  float mx = static_cast<float>(x), my = static_cast<float>(y), mz = 0;
  ComputeInverseRotationAboutArbitraryAxis(&mx, &my, &mz, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle,
                                           gGlobalXOffset, gGlobalYOffset, gGlobalZOffset);
  if (unzoom) {
    mx = UnzoomF(mx);
    my = UnzoomF(my);
    mz = UnzoomF(mz);
  }
  *outX = mx;
  *outY = my;
  *outZ = mz;
}

void TranslateDeckAttachment(Objex* steps, float x, float y, float z) {
  if (gToolsServices.translateDeckAttachment) return gToolsServices.translateDeckAttachment(steps, x, y, z);
  NoteServiceCall("TranslateDeckAttachment", steps);
}

void TranslateDeckAttachment() { TranslateDeckAttachment(nullptr, 0, 0, 0); }

void TranslateWallComponent(Objex* component, float x, float y, float z) {
  if (gToolsServices.translateWallComponent) return gToolsServices.translateWallComponent(component, x, y, z);
  NoteServiceCall("TranslateWallComponent", component);
}

float LimitWallDimension(FloatPoint* start, FloatPoint* end, Layer* layer, Poinz* pointA, Poinz* pointB) {
  if (gToolsServices.limitWallDimension) return gToolsServices.limitWallDimension(start, end, layer, pointA, pointB);
  NoteServiceCall("LimitWallDimension", pointA ? pointA->owner : nullptr);
  return 0;
}

void TrackKeyEntry(int32_t x, int32_t y) {
  if (gToolsServices.trackKeyEntry) return gToolsServices.trackKeyEntry(x, y);
  NoteServiceCall("TrackKeyEntry", nullptr);
}

// Renderer upkeep.
void ReRenderObject(Objex* object) {
  NoteDesignEdit();
  if (gRendererServices.reRenderObject) return gRendererServices.reRenderObject(object);
  NoteServiceCall("ReRenderObject", object);
  if (object) object->needsRender = 1;
}

CALL_INSTALLED_OBJECT_ROUTINE(gRendererServices, deleteRendererObject, DeleteRendererObject)

void DeleteAllRendererObjects() {
  NoteDesignEdit();
  if (gRendererServices.deleteAllRendererObjects) return gRendererServices.deleteAllRendererObjects();
  NoteServiceCall("DeleteAllRendererObjects", nullptr);
}

void ResetSceneDisplayList() {
  if (gRendererServices.resetSceneDisplayList) return gRendererServices.resetSceneDisplayList();
  NoteServiceCall("ResetSceneDisplayList", nullptr);
}

void DeleteCachedTextureImages(const uint32_t* textureIDs, int32_t count) {
  if (gRendererServices.deleteCachedTextureImages)
    return gRendererServices.deleteCachedTextureImages(textureIDs, count);
  NoteServiceCall("DeleteCachedTextureImages", nullptr);
}

DIBImage* LoadDIBImageFile(const char* path) {
  if (gFrontEnd.loadDIBImage) return gFrontEnd.loadDIBImage(path);
  NoteServiceCall("LoadDIBImageFile", nullptr);
  return nullptr;
}

// Content palette.
SymEntryInfo* ContentPaletteSelectedSymEntry() {
  if (gContentServices.selectedSymEntry) return gContentServices.selectedSymEntry();
  if (gSelectedContentEntryType == 0) return nullptr;
  gSelectedContentEntry.type = gSelectedContentEntryType;
  return &gSelectedContentEntry;
}

bool DecodeSymEntryWithData(const uint8_t* data, size_t size, SymEntryInfo* entry) {
  if (gContentServices.decodeSymEntryWithData) return gContentServices.decodeSymEntryWithData(data, size, entry);
  NoteServiceCall("DecodeSymEntryWithData", nullptr);
  return false;
}

// Inspector.
void UpdateInspectorPropertiesState(bool scanSelection) {
  if (gInspectorServices.updatePropertiesState) return gInspectorServices.updatePropertiesState(scanSelection);
  NoteServiceCall("UpdateInspectorPropertiesState", nullptr);
}

// Plan drawing.
void DrawSelectionLine(Objex* object) {
  NoteServiceCall("DrawSelectionLine", object);
  if (gPlanDrawingServices.drawSelectionLine) gPlanDrawingServices.drawSelectionLine(object);
}

void ClearDimensionWallSegmentSelection() {
  NoteServiceCall("ClearDimensionWallSegmentSelection", nullptr);
  if (gPlanDrawingServices.clearDimensionWallSegmentSelection) gPlanDrawingServices.clearDimensionWallSegmentSelection();
}

// Front end.
void Refresh() {
  NoteServiceCall("Refresh", nullptr);
  if (gCurDocument && gFrontEnd.refreshDocumentVisibleView) gFrontEnd.refreshDocumentVisibleView(gCurDocument);
}

void SetElevationPane(const SelectionState40* ss40) {
  NoteServiceCall("SetElevationPane", nullptr);
  if (ss40 && gFrontEnd.setElevationPane) gFrontEnd.setElevationPane(ss40);
}

void ResetStandardTool(uint8_t flag) { ForwardToFrontEnd("ResetStandardTool", gFrontEnd.resetStandardTool, flag); }

void StoreUndoFromModel(const std::string& name) {
  NoteServiceCall("StoreUndo", nullptr);
  if (gFrontEnd.storeUndo) gFrontEnd.storeUndo(name);
}

// The readouts: the second and third arguments of DrawWH change places on the way, so the
// line shows the width, then the depth, then the height.
void DrawWH(float width, float depth, float height) {
  ForwardToFrontEnd("DrawWH", gFrontEnd.drawWidthHeightDepth, width, height, depth);
}

void DrawWHArea(float width, float height) {
  NoteServiceCall("DrawWHArea", nullptr);
  const DocState* ds = CurDocState();
  if (!ds || !gFrontEnd.drawWidthHeightArea) return;
  const float w = ConvertScreenToWorld(width, ds, 0);
  const float h = ConvertScreenToWorld(height, ds, 0);
  // The area goes on in square inches: the status line shows it in square feet or metres.
  gFrontEnd.drawWidthHeightArea(w, h, w * h);
}

void DrawAngle(float degrees) { ForwardToFrontEnd("DrawAngle", gFrontEnd.drawAngle, degrees); }
void DrawDiameter(float diameter) { ForwardToFrontEnd("DrawDiameter", gFrontEnd.drawDiameter, diameter); }
void DrawLength(float length) { ForwardToFrontEnd("DrawLength", gFrontEnd.drawLength, length); }
void DrawViewLength(float length) { ForwardToFrontEnd("DrawViewLength", gFrontEnd.drawViewLength, length); }
void UpdateRadius(float radius) { ForwardToFrontEnd("UpdateRadius", gFrontEnd.updateRadius, radius); }
void ClearStatusBar() { ForwardToFrontEnd("ClearStatusBar", gFrontEnd.clearStatusBar); }
void SetStatusBar(const char* text) { ForwardToFrontEnd("SetStatusBar", gFrontEnd.setStatusBarText, text); }

void InitializeAnimatedLVStatus() {
  ForwardToFrontEnd("InitializeAnimatedLVStatus", gFrontEnd.initializeAnimatedLVStatus);
}
void SetLVStatusString(const char* text) { ForwardToFrontEnd("SetLVStatusString", gFrontEnd.setLVStatusString, text); }
void ResetAnimatedLVStatus() { ForwardToFrontEnd("ResetAnimatedLVStatus", gFrontEnd.resetAnimatedLVStatus); }
void InitializeLVLightProgress(int32_t count) {
  ForwardToFrontEnd("InitializeLVLightProgress", gFrontEnd.initializeLVLightProgress, count);
}
void UpdateLVLightProgress(int32_t done) {
  ForwardToFrontEnd("UpdateLVLightProgress", gFrontEnd.updateLVLightProgress, done);
}

bool LiveViewControllerExists() { return gLiveViewHost.viewBounds != nullptr; }
bool LiveViewWindowVisible() { return gLiveViewHost.isVisible && gLiveViewHost.isVisible(); }

// Shared state.
uint8_t gRefreshRender = 0;
uint8_t gRenderOnShow = 0;
uint8_t gForceRenderObjectNow = 0;
int32_t gLiveViewOptions = 1023;
uint8_t gRealTimeDraw = 0;
// The scene list of plane objects (model/PlaneObjectRecords.h); the building library fills it.
PlaneObject* gGLPlaneObjects = nullptr;
uint8_t gDynamicDrawing = 0;
uint8_t gTransformationDrawing = 0;
uint8_t gRoundToggle = 0;

uint8_t gPrinting = 0;
float gHPrintScale = 1.0f;
float gVPrintScale = 1.0f;

int16_t GetLineWeight(const Objex* object, int zoomed) {
  NoteServiceCall("GetLineWeight", object);
  if (!object) return 1;
  float w = object->width;
  if (w > 0) {
    if (zoomed) w = ZoomF(w);
    if (gPrinting) w *= gHPrintScale;
    float rounded = w + 0.5f;
    if (!(rounded < 32767)) return 32767;
    return rounded < 1 ? 1 : static_cast<int16_t>(rounded);
  }
  return w >= -0.1f ? 0 : 1;
}

void GetPenOffset(int16_t width, int16_t* dx, int16_t* dy) {
  if (width <= 1) return;
  if (dx) *dx = static_cast<int16_t>(-(width / 2));
  if (dy) *dy = static_cast<int16_t>(-(width / 2));
}

bool IsObjectOnCurrentPlan(const Objex* object, int32_t planMask) {
  if (!object) return false;
  // A group made with Plan > Group shows where any of its members would show alone, whatever
  // plan it was made on.
  if (GroupMembersStandAlone(object)) {
    for (const Objex* m = object->firstChild; m; m = m->next)
      if (IsObjectOnCurrentPlan(m, planMask)) return true;
    return false;
  }
  if (object->planMask & planMask) return true;
  bool wallLike = object->type == kObjWall || object->type == kObjDoor || object->type == kObjWindow;
  return wallLike && (planMask & (2 | 4 | 8 | 32)) != 0;
}

Objex* gWorkbenchObject = nullptr;
uint8_t gMirroring = 0;
int16_t gSelectedContentEntryType = 0;
int16_t gSelectedContentCategory = -1;
SymEntryInfo gSelectedContentEntry;
uint8_t gApplyTrimAsBase = 0;

uint16_t gCurSnap = 500;
int32_t gFlooringDefaultTexture = 1700;
int32_t gFillDefaultTexture = 1115;
int32_t gPathDefaultTexture = 0;
float gPathDefaultWidth = 36.0f;
int32_t gEdgingDefaultTexture = 2202;
int32_t gFenceDefaultTexture = 2212;
RGBColor gMaterialTable[kMaterialTableSize] = {};

RGBColor MaterialTableColor(int32_t material) {
  if (material < 0 || material >= kMaterialTableSize) return RGBColor{};
  return gMaterialTable[material];
}

int16_t gDimensionFontNum = 0;
int16_t gDimensionFontSize = 0;
int16_t gDimensionFontStyle = 0;
LOGFONT gCurFontInfo{};
int32_t gCurPropertiesObjectCount = 0;
uint8_t gFilletChamferUndo = 0;
uint8_t gMatchAccessoryToNextWindow = 0;
int16_t gCurToolSet = 1;  // kPlanFloor until a design window picks its plan
