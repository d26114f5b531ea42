// Bodies of the routines of subsystems not built yet: each records its call and
// does only what its callers rely on.
#include "model/PendingServices.h"

#include "model/PlanarTransforms.h"
#include <algorithm>
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
// Weak: building3d/Roofs3D replaces it wherever the building library is linked.
__attribute__((weak)) void Update3DRoof(Objex* object) { NoteServiceCall("Update3DRoof", object); }
// Weak: building3d/RoofPanels3D replaces it wherever the building library is linked.
__attribute__((weak)) void Update3DRoofPanel(Objex* object) { NoteServiceCall("Update3DRoofPanel", object); }
// Weak: building3d/Decks3D, Paths3D and Skirting3D replace them wherever the building library is linked.
__attribute__((weak)) void Update3DDeck(Objex* object) { NoteServiceCall("Update3DDeck", object); }
__attribute__((weak)) void Update3DPath(Objex* object) { NoteServiceCall("Update3DPath", object); }
__attribute__((weak)) void Update3DFloorSkirting(Objex* object) { NoteServiceCall("Update3DFloorSkirting", object); }
__attribute__((weak)) void Update3DTopoCutoutDepthObject(Objex* object) {
  NoteServiceCall("Update3DTopoCutoutDepthObject", object);
}
__attribute__((weak)) void Update3DPhoto(Objex* object) { NoteServiceCall("Update3DPhoto", object); }
// Weak: building3d/Stairs3D and Railings3D replace them wherever the building library is linked.
__attribute__((weak)) void UpdateStairObject(Objex* object) { NoteServiceCall("UpdateStairObject", object); }
__attribute__((weak)) void UpdateRailObject(Objex* object) { NoteServiceCall("UpdateRailObject", object); }
// Weak: building3d/Edging3D and SiteFences3D replace them wherever the building library is linked.
__attribute__((weak)) void UpdateEdgingObject(Objex* object) { NoteServiceCall("UpdateEdgingObject", object); }
__attribute__((weak)) void UpdateFenceObject(Objex* object) { NoteServiceCall("UpdateFenceObject", object); }
// Weak: building3d/Skylights3D replaces it wherever the building library is linked.
__attribute__((weak)) void UpdateAllRoofAttachments(Objex* object) { NoteServiceCall("UpdateAllRoofAttachments", object); }
// Weak: tools/Components replaces it wherever the tools library is linked.
__attribute__((weak)) void UpdateFixedComponent(Objex* object) { NoteServiceCall("UpdateFixedComponent", object); }
// Weak: building3d/RenderRoad replaces these wherever the building library is linked.
__attribute__((weak)) void RenderEntireObject(Objex* object) { NoteServiceCall("RenderEntireObject", object); }
__attribute__((weak)) void RenderSingleObject(Objex* object) { NoteServiceCall("RenderSingleObject", object); }
PENDING_OBJECT_ROUTINE(FrameWindowsAndDoors)
// CarveWindowsAndDoors: its stand-in lives in building3d/PendingWallFaces (its only callers).
float gBaseTrimHeight = 6.0f;
float gPanelingHeight = 42.0f;
void CreateMoulding(TrimData*, Plane*, float, float, const PlanarPolyPoint*, const PlanarPolyPoint*, float, float,
                    int16_t, float, int16_t) {
  NoteServiceCall("CreateMoulding", nullptr);
}
void CreatePaneling(TrimData*, Plane*, float, float, const PlanarPolyPoint*, const PlanarPolyPoint*, float, float,
                    int16_t, float, int16_t) {
  NoteServiceCall("CreatePaneling", nullptr);
}
void ApplyCustomTrimToWall(TrimData*, Plane*, float, float, const PlanarPolyPoint*, const PlanarPolyPoint*, float,
                           float, int16_t, float, Poinz* startPoint) {
  NoteServiceCall("ApplyCustomTrimToWall", startPoint ? startPoint->owner : nullptr);
}
void UpdateCustomAttachment(Objex* attachment) { NoteServiceCall("UpdateCustomAttachment", attachment); }
void GetCustomAttachmentWidthAndHeight(const DoorWindowData* record, float* width, float* height) {
  float w = 0, h = 0;
  if (record && record->maskObject) {
    float minX = 32000, maxX = -32000, minY = 32000, maxY = -32000;
    for (const Objex* o = record->maskObject; o; o = o->next)
      for (const Poinz* p = o->firstPoint; p; p = p->next) {
        minX = std::min(minX, p->position[0]);
        maxX = std::max(maxX, p->position[0]);
        minY = std::min(minY, p->position[1]);
        maxY = std::max(maxY, p->position[1]);
      }
    if (maxX >= minX) w = maxX - minX;
    if (maxY >= minY) h = maxY - minY;
  }
  if (width) *width = w;
  if (height) *height = h;
}
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

// Weak: building3d/DeckSteps replaces it wherever the building library is linked.
__attribute__((weak)) Poinz* AddDeckSteps(Objex* deck, Poinz* point, Poinz* nextPoint) {
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

// Weak: building3d/Skylights3D replaces these wherever the building library is linked.
__attribute__((weak)) void CreateCustomSkylightSymbols(Objex* skylight, float, float, float) {
  NoteServiceCall("CreateCustomSkylightSymbols", skylight);
}
void ReadCustomSkylightFile(Objex* skylight) { NoteServiceCall("ReadCustomSkylightFile", skylight); }
// The plan extent of the definition's outlines (right minus left, front minus back), which is
// all callers need of it: 0 by 0 without outlines.
void GetCustomSkylightWHAndBounds(const RoofAttachmentData* record, float* width, float* height, FloatRect* bounds) {
  FloatRect b{32000, 32000, -32000, -32000};
  for (const Objex* o = record ? record->outlineParts : nullptr; o; o = o->next)
    for (const Poinz* p = o->firstPoint; p; p = p->next) {
      b.floatLeft = std::min(b.floatLeft, p->position[0]), b.floatRight = std::max(b.floatRight, p->position[0]);
      b.floatTop = std::min(b.floatTop, p->position[2]), b.floatBottom = std::max(b.floatBottom, p->position[2]);
    }
  const bool any = b.floatLeft <= b.floatRight;
  if (width) *width = any ? b.floatRight - b.floatLeft : 0;
  if (height) *height = any ? b.floatBottom - b.floatTop : 0;
  if (bounds) *bounds = any ? b : FloatRect{};
}
// Weak: building3d/Skylights3D replaces it wherever the building library is linked.
__attribute__((weak)) void CreateSkylightFillerPlane(Objex* skylight, int16_t) {
  NoteServiceCall("CreateSkylightFillerPlane", skylight);
}

__attribute__((weak)) int UpdateAllWallAttachments(Objex* wall) {
  NoteServiceCall("UpdateAllWallAttachments", wall);
  return 0;
}
// Weak: openings/AttachmentFrame replaces it wherever the openings library is linked.
__attribute__((weak)) void BuildAttachmentFrame(Objex* attachment) { NoteServiceCall("BuildAttachmentFrame", attachment); }
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
__attribute__((weak)) void UpdateInspectorPropertiesState(bool) { NoteServiceCall("UpdateInspectorPropertiesState", nullptr); }

PlantInfo* CreatePlantInfo(int32_t) { return nullptr; }
PlantInfo* CreateUserPlantInfo(const char*) { return nullptr; }
void DeletePlantInfo(PlantInfo*) {}
PlantInfo* DuplicatePlantInfo(const PlantInfo*) { return nullptr; }
// Without plant information there is no growth data: the outputs keep what the caller put in.
void GetPlantBounds(Objex* plant, float*, float*, int) { NoteServiceCall("GetPlantBounds", plant); }

void DeleteCachedTextureImages(const uint32_t*, int32_t) { NoteServiceCall("DeleteCachedTextureImages", nullptr); }
void Validate512Pathname(char*) { NoteServiceCall("Validate512Pathname", nullptr); }

std::vector<int32_t> AddkitPluginIDs() { return {}; }

__attribute__((weak)) void GetCustomSkylightBounds(Objex* skylight, FloatRect*, Float3DRect*) {
  NoteServiceCall("GetCustomSkylightBounds", skylight);
}
__attribute__((weak)) void CreateCustomSkylightBoundsPoints(Objex* skylight, const FloatRect*) {
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
// Weak: tools/DeckStepTools replaces it wherever the tools library is linked.
__attribute__((weak)) void TranslateDeckAttachment(Objex* steps, float, float, float) {
  NoteServiceCall("TranslateDeckAttachment", steps);
}
// Weak: tools/WallAttachmentPlacement replaces it.
__attribute__((weak)) void TranslateWallComponent(Objex* component, float, float, float) {
  NoteServiceCall("TranslateWallComponent", component);
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
// Weak: tools/AttachedWallDims replaces it wherever the tools library is linked.
__attribute__((weak)) float LimitWallDimension(FloatPoint*, FloatPoint*, Layer*, Poinz* pointA, Poinz*) {
  NoteServiceCall("LimitWallDimension", pointA ? pointA->owner : nullptr);
  return 0;
}

// Weak: tools/KeyEntryTools replaces it wherever the tools library is linked.
__attribute__((weak)) void TrackKeyEntry(int32_t, int32_t) { NoteServiceCall("TrackKeyEntry", nullptr); }
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
uint8_t gApplyTrimAsBase = 0;
SymEntryInfo gSelectedContentEntry;
__attribute__((weak)) SymEntryInfo* ContentPaletteSelectedSymEntry() {
  if (gSelectedContentEntryType == 0) return nullptr;
  gSelectedContentEntry.type = gSelectedContentEntryType;
  return &gSelectedContentEntry;
}
__attribute__((weak)) bool DecodeSymEntryWithData(const uint8_t*, size_t, SymEntryInfo*) {
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
