// Bodies of the routines of subsystems not built yet: each records its call and
// does only what its callers rely on.
#include "model/PendingServices.h"

#include "model/PlanarTransforms.h"
#include <cstdlib>

#include "model/Attachments.h"
#include "model/DocumentModel.h"
#include "model/DocState.h"
#include "model/HitTest.h"
#include "model/Records.h"
#include "model/TopoGrid.h"
#include "model/ViewProjection.h"

uint8_t gRefreshRender = 0;
int32_t gLiveViewOptions = 1023;
uint8_t gRealTimeDraw = 0;
uint8_t gDynamicDrawing = 0;
uint8_t gTransformationDrawing = 0;

namespace {
std::vector<ServiceCallRecorder*> sRecorders;

// Records a call of a front-end service and passes it to the front end's hook, if one is set.
template <typename Hook, typename... Args>
void ForwardToFrontEnd(const char* routine, Hook hook, Args... args) {
  NoteServiceCall(routine, nullptr);
  if (hook) hook(args...);
}
}  // namespace

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

#define PENDING_OBJECT_ROUTINE(name) \
  void name(Objex* object) { NoteServiceCall(#name, object); }

// Weak: building3d/Walls3D's Update3DWall replaces it wherever the building library is linked.
__attribute__((weak)) void Update3DWall(Objex* object) { NoteServiceCall("Update3DWall", object); }
PENDING_OBJECT_ROUTINE(Update3DRoof)
PENDING_OBJECT_ROUTINE(Update3DRoofPanel)
PENDING_OBJECT_ROUTINE(Update3DDeck)
PENDING_OBJECT_ROUTINE(Update3DPath)
PENDING_OBJECT_ROUTINE(Update3DFloorSkirting)
PENDING_OBJECT_ROUTINE(Update3DTopoCutoutDepthObject)
PENDING_OBJECT_ROUTINE(Update3DPhoto)
PENDING_OBJECT_ROUTINE(UpdateStairObject)
PENDING_OBJECT_ROUTINE(UpdateRailObject)
PENDING_OBJECT_ROUTINE(UpdateEdgingObject)
PENDING_OBJECT_ROUTINE(UpdateFenceObject)
PENDING_OBJECT_ROUTINE(UpdateAllRoofAttachments)
// Weak: tools/Components replaces it wherever the tools library is linked.
__attribute__((weak)) void UpdateFixedComponent(Objex* object) { NoteServiceCall("UpdateFixedComponent", object); }
// Weak: building3d/RenderRoad replaces these wherever the building library is linked.
__attribute__((weak)) void RenderEntireObject(Objex* object) { NoteServiceCall("RenderEntireObject", object); }
__attribute__((weak)) void RenderSingleObject(Objex* object) { NoteServiceCall("RenderSingleObject", object); }
PENDING_OBJECT_ROUTINE(FrameWindowsAndDoors)
// CarveWindowsAndDoors: its stand-in lives in building3d/PendingWallFaces (its only callers).
void CarveAllRoofAttachments(Objex* roof, Plane*, int32_t, int16_t) {
  NoteServiceCall("CarveAllRoofAttachments", roof);
}
void CarveAllRoofPanelAttachments(Objex* panel, Plane*, int16_t) {
  NoteServiceCall("CarveAllRoofPanelAttachments", panel);
}

// Weak: the renderer's upkeep (render3d/RendererUpkeep) replaces these wherever it is linked.
__attribute__((weak)) uint8_t gRenderOnShow = 0;
__attribute__((weak)) uint8_t gForceRenderObjectNow = 0;
__attribute__((weak)) void DeleteRendererObject(Objex* object) {
  NoteServiceCall("DeleteRendererObject", object);
}
__attribute__((weak)) void DeleteAllRendererObjects() {
  NoteServiceCall("DeleteAllRendererObjects", nullptr);
}
__attribute__((weak)) void ResetSceneDisplayList() {}

void AddDeckSteps(Objex* deck, Poinz* point, Poinz* nextPoint) {
  NoteServiceCall("AddDeckSteps", deck);
  if (!deck || !point || !nextPoint || !CurDocState()) return;
  auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  if (!data) return;
  const RGBColor white{65535, 65535, 65535};
  Objex* steps = CreateObject(kObjDeckSteps, 0, 1, &white, &white, 1.0f, 6, 0, nullptr, nullptr,
                              nullptr, deck, deck->layer, data);
  if (!steps) {
    free(data);
    return;
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
}

void CreateCustomSkylightSymbols(Objex* skylight, float, float, float) {
  NoteServiceCall("CreateCustomSkylightSymbols", skylight);
}
void CreateSkylightFillerPlane(Objex* skylight, int16_t) {
  NoteServiceCall("CreateSkylightFillerPlane", skylight);
}

__attribute__((weak)) int UpdateAllWallAttachments(Objex* wall) {
  NoteServiceCall("UpdateAllWallAttachments", wall);
  return 0;
}
void BuildAttachmentFrame(Objex* attachment) { NoteServiceCall("BuildAttachmentFrame", attachment); }
void ReadCustomWindowDoorFile(Objex* attachment) { NoteServiceCall("ReadCustomWindowDoorFile", attachment); }

__attribute__((weak)) void ReRenderObject(Objex* object) {
  NoteServiceCall("ReRenderObject", object);
  if (object) object->needsRender = 1;
}

__attribute__((weak)) void RenderAllLayers() {
  NoteServiceCall("RenderAllLayers", nullptr);
  gRefreshRender = 1;
}

void Refresh() {
  NoteServiceCall("Refresh", nullptr);
  if (gCurDocument && gFrontEnd.refreshDocumentVisibleView) gFrontEnd.refreshDocumentVisibleView(gCurDocument);
}
PlanDrawingServices gPlanDrawingServices;
void ClearDimensionWallSegmentSelection() {
  NoteServiceCall("ClearDimensionWallSegmentSelection", nullptr);
  if (gPlanDrawingServices.clearDimensionWallSegmentSelection) gPlanDrawingServices.clearDimensionWallSegmentSelection();
}

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
  if (object->planMask & planMask) return true;
  bool wallLike = object->type == kObjWall || object->type == kObjDoor || object->type == kObjWindow;
  return wallLike && (planMask & (2 | 4 | 8 | 32)) != 0;
}
void UpdateInspectorPropertiesState(bool) { NoteServiceCall("UpdateInspectorPropertiesState", nullptr); }

PlantInfo* CreatePlantInfo(int32_t) { return nullptr; }
PlantInfo* CreateUserPlantInfo(const char*) { return nullptr; }
void DeletePlantInfo(PlantInfo*) {}
PlantInfo* DuplicatePlantInfo(const PlantInfo*) { return nullptr; }
void GetPlantBounds(Objex* plant, float* width, float* height, int) {
  NoteServiceCall("GetPlantBounds", plant);
  if (width) *width = 0;
  if (height) *height = 0;
}

void DeleteCachedTextureImages(const uint32_t*, int32_t) { NoteServiceCall("DeleteCachedTextureImages", nullptr); }
void Validate512Pathname(char*) { NoteServiceCall("Validate512Pathname", nullptr); }

std::vector<int32_t> AddkitPluginIDs() { return {}; }

void GetCustomSkylightBounds(Objex* skylight, FloatRect*, Float3DRect*) {
  NoteServiceCall("GetCustomSkylightBounds", skylight);
}
void CreateCustomSkylightBoundsPoints(Objex* skylight, const FloatRect*) {
  NoteServiceCall("CreateCustomSkylightBoundsPoints", skylight);
}

Objex* gWorkbenchObject = nullptr;
void SetLotElevation() { NoteServiceCall("SetLotElevation", nullptr); }
__attribute__((weak)) bool TopoInUse() {
  const DocState* ds = CurDocState();
  if (!ds || !gTopographyGrid) return false;
  if (ds->topoFlag1 || ds->topoPath[0]) return true;
  auto holdsTerrain = [](const Layer* layer) {
    for (const Objex* o = layer ? layer->firstObject : nullptr; o; o = o->next)
      if (o->type == kObjTopography || o->type == kObjEntireLot || o->type == kObjSlopeLotSection)
        return true;
    return false;
  };
  if (holdsTerrain(gCurDocument->itsTopoLayer)) return true;
  for (const Layer* l = gCurDocument->itsLayers; l; l = l->next)
    if (holdsTerrain(l)) return true;
  return false;
}
void DrawSelectionLine(Objex* object) {
  NoteServiceCall("DrawSelectionLine", object);
  if (gPlanDrawingServices.drawSelectionLine) gPlanDrawingServices.drawSelectionLine(object);
}
void SetElevationPane(const SelectionState40* ss40) {
  NoteServiceCall("SetElevationPane", nullptr);
  if (ss40 && gFrontEnd.setElevationPane) gFrontEnd.setElevationPane(ss40);
}

__attribute__((weak)) PlaneObject* gGLPlaneObjects = nullptr;
LiveViewHost gLiveViewHost;
bool LiveViewControllerExists() { return gLiveViewHost.viewBounds != nullptr; }
bool LiveViewWindowVisible() { return gLiveViewHost.isVisible && gLiveViewHost.isVisible(); }
void InitializeAnimatedLVStatus() {
  ForwardToFrontEnd("InitializeAnimatedLVStatus", gFrontEnd.initializeAnimatedLVStatus);
}
void SetLVStatusString(const char* text) {
  ForwardToFrontEnd("SetLVStatusString", gFrontEnd.setLVStatusString, text);
}
void ResetAnimatedLVStatus() { ForwardToFrontEnd("ResetAnimatedLVStatus", gFrontEnd.resetAnimatedLVStatus); }

uint8_t gMirroring = 0;
void ResetStandardTool(uint8_t flag) {
  ForwardToFrontEnd("ResetStandardTool", gFrontEnd.resetStandardTool, flag);
}

FrontEndServices gFrontEnd;

int16_t gSelectedContentEntryType = 0;


uint16_t gCurSnap = 500;

// Weak: the tools library's EvaluatePoint replaces it wherever the tools are linked.
__attribute__((weak)) void EvaluatePoint(int32_t x, int32_t y, float* outX, float* outY, float* outZ,
                                         uint8_t, ClickInfo*, uint8_t unzoom) {
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

// Weak: building3d/WallJoining's ConnectWallPoint replaces it where the building library is linked.
__attribute__((weak)) Objex* ConnectWallPoint(Objex* wall, Poinz*) {
  NoteServiceCall("ConnectWallPoint", wall);
  return wall;
}

int32_t gFlooringDefaultTexture = 1700;
int32_t gFillDefaultTexture = 1115;
int32_t gPathDefaultTexture = 0;
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

void (*gStoreUndoHook)(const std::string& name) = nullptr;

void StoreUndoFromModel(const std::string& name) {
  NoteServiceCall("StoreUndo", nullptr);
  if (gStoreUndoHook) gStoreUndoHook(name);
}

int32_t gCurPropertiesObjectCount = 0;
void TranslateDeckAttachment(Objex* steps, float, float, float) { NoteServiceCall("TranslateDeckAttachment", steps); }
// Weak: tools/WallAttachmentPlacement replaces it.
__attribute__((weak)) void TranslateWallComponent(Objex* component, float, float, float) {
  NoteServiceCall("TranslateWallComponent", component);
}
void TrackRoofSlopeDirection(Objex* arrow, float, float, float) { NoteServiceCall("TrackRoofSlopeDirection", arrow); }
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
void DrawAngle(float degrees) {
  ForwardToFrontEnd("DrawAngle", gFrontEnd.drawAngle, degrees);
}
void DrawDiameter(float diameter) {
  ForwardToFrontEnd("DrawDiameter", gFrontEnd.drawDiameter, diameter);
}
void DrawLength(float length) {
  ForwardToFrontEnd("DrawLength", gFrontEnd.drawLength, length);
}
void DrawViewLength(float length) {
  ForwardToFrontEnd("DrawViewLength", gFrontEnd.drawViewLength, length);
}
void UpdateRadius(float radius) {
  ForwardToFrontEnd("UpdateRadius", gFrontEnd.updateRadius, radius);
}
void DrawDimensionLineNoOffset(float, float, float, float, float, float) {
  NoteServiceCall("DrawDimensionLineNoOffset", nullptr);
}
// Weak: tools/AttachedWallDims replaces it wherever the tools library is linked.
__attribute__((weak)) float LimitWallDimension(FloatPoint*, FloatPoint*, Layer*, Poinz* pointA, Poinz*) {
  NoteServiceCall("LimitWallDimension", pointA ? pointA->owner : nullptr);
  return 0;
}

void TrackKeyEntry(int32_t, int32_t) { NoteServiceCall("TrackKeyEntry", nullptr); }
Objex* FindSlopeDirectionArrowObject(Objex* roofPanel) {
  NoteServiceCall("FindSlopeDirectionArrowObject", roofPanel);
  return nullptr;
}
uint8_t gFilletChamferUndo = 0;
uint8_t gMatchAccessoryToNextWindow = 0;
int16_t gCurToolSet = 7;
void ClearStatusBar() {
  ForwardToFrontEnd("ClearStatusBar", gFrontEnd.clearStatusBar);
}
void SetStatusBar(const char* text) {
  ForwardToFrontEnd("SetStatusBar", gFrontEnd.setStatusBarText, text);
}

void RealTimePlantGrowthD3D(int16_t level, int16_t step) {
  NoteServiceCall("RealTimePlantGrowthD3D", nullptr);
  if (!gCurDocument || !gCurDocument->itsDocState) return;
  const int32_t most = gCurDocument->itsMaximumPlantAge < 1 ? 1 : gCurDocument->itsMaximumPlantAge;
  int32_t age = static_cast<int32_t>(level) + step;
  if (age < 1) age = 1;
  if (age > most) age = most;
  gCurDocument->itsDocState->plantAge = static_cast<float>(age);
  if (gCurDocument->itsLayers) SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 1);
  Refresh();
}

void RealTimeRotateAnimOpenGL() { NoteServiceCall("RealTimeRotateAnimOpenGL", nullptr); }
void SetCameraAngle(float, float, float) { NoteServiceCall("SetCameraAngle", nullptr); }
void SetCameraPosition(float, float, float) { NoteServiceCall("SetCameraPosition", nullptr); }
uint8_t gAnimateBackground = 0;
void AnimateBackground(DocState*) { NoteServiceCall("AnimateBackground", nullptr); }
void RunLVGeneralPropertiesSheet() { NoteServiceCall("RunLVGeneralPropertiesSheet", nullptr); }
void RunLVLightPropertiesSheet() { NoteServiceCall("RunLVLightPropertiesSheet", nullptr); }
void RunWalkElevationSheet() { NoteServiceCall("RunWalkElevationSheet", nullptr); }
void RunFlyAltitudeSheet() { NoteServiceCall("RunFlyAltitudeSheet", nullptr); }
int16_t gSelectedContentCategory = -1;
SymEntryInfo gSelectedContentEntry;
SymEntryInfo* ContentPaletteSelectedSymEntry() {
  if (gSelectedContentEntryType == 0) return nullptr;
  gSelectedContentEntry.type = gSelectedContentEntryType;
  return &gSelectedContentEntry;
}
bool DecodeSymEntryWithData(const uint8_t*, size_t, SymEntryInfo*) {
  NoteServiceCall("DecodeSymEntryWithData", nullptr);
  return false;
}
bool ApplyColor(POINT, int32_t, int32_t, int32_t) {
  NoteServiceCall("ApplyColor", nullptr);
  return false;
}
bool ApplyTexture(POINT, int32_t) {
  NoteServiceCall("ApplyTexture", nullptr);
  return false;
}
bool ApplyMoulding(POINT, int32_t) {
  NoteServiceCall("ApplyMoulding", nullptr);
  return false;
}
bool ApplyCustomTextureImage(POINT, SymEntryInfo*) {
  NoteServiceCall("ApplyCustomTextureImage", nullptr);
  return false;
}
bool ApplyCustomMoulding(POINT, SymEntryInfo*) {
  NoteServiceCall("ApplyCustomMoulding", nullptr);
  return false;
}
