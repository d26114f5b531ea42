// The model's seam to the libraries above it. The model calls routines that live higher up
// (the building elements' 3D rebuilders, the openings, the tools, the renderer's upkeep, the
// content palette, the inspector, the plan drawing and the front end). It reaches each
// through a table of function pointers, one table per providing library, which that library
// fills with its Install...Services call at start-up (the program installs every table in
// InstallProgramServices, src/app/ProgramServices.h; a test program installs what it links).
//
// The routines below keep their usual names and are what every caller uses. Each hands its
// call to the installed routine; with none installed it records the call (so tests can check
// that an edit asks for "Update3DWall" of object N without linking the 3D code) and does only
// what callers rely on.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/SymEntryInfo.h"
#include "model/Types.h"

struct Objex;
struct Poinz;
struct Plane;
struct Layer;
struct ClickInfo;
struct FloatPoint;
struct FloatRect;
struct Float3DRect;
struct SelectionState40;
struct PlaneObject;
struct DIBImage;
struct TrimData;
class MovedWallDimensions;
class LeavingWallDimensions;
class ZLKDocumentModel;

struct ServiceCall {
  std::string routine;
  uint32_t objectID = 0;  // 0 when the call names no object
};

// Calls recorded since the last clear (recording is on while a ServiceCallRecorder lives).
class ServiceCallRecorder {
 public:
  ServiceCallRecorder();
  ~ServiceCallRecorder();
  std::vector<ServiceCall> calls;
  bool called(const std::string& routine, uint32_t objectID = 0) const;
  size_t count(const std::string& routine) const;
};
void NoteServiceCall(const char* routine, const Objex* object);

// ---------------------------------------------------------------------------------------
// The tables. Every member is a plain function pointer (InstalledServiceGaps checks each).

// Building elements (building3d: InstallBuilding3DServices).
struct BuildingServices {
  void (*update3DWall)(Objex* wall) = nullptr;
  void (*update3DRoof)(Objex* roof) = nullptr;
  void (*update3DRoofPanel)(Objex* panel) = nullptr;
  void (*update3DDeck)(Objex* deck) = nullptr;
  void (*update3DPath)(Objex* path) = nullptr;
  void (*update3DFloorSkirting)(Objex* object) = nullptr;
  void (*update3DTopoCutoutDepthObject)(Objex* cutout) = nullptr;
  void (*update3DPhoto)(Objex* photo) = nullptr;
  void (*updateStairObject)(Objex* stairs) = nullptr;
  void (*updateRailObject)(Objex* railing) = nullptr;
  void (*updateEdgingObject)(Objex* edging) = nullptr;
  void (*updateFenceObject)(Objex* fence) = nullptr;
  void (*updateAllRoofAttachments)(Objex* roof) = nullptr;
  Poinz* (*addDeckSteps)(Objex* deck, Poinz* point, Poinz* nextPoint) = nullptr;
  void (*createCustomSkylightSymbols)(Objex* skylight, float x, float z, float size) = nullptr;
  void (*createSkylightFillerPlane)(Objex* skylight, int16_t side) = nullptr;
  void (*getCustomSkylightBounds)(Objex* skylight, FloatRect* rect, Float3DRect* box) = nullptr;
  void (*createCustomSkylightBoundsPoints)(Objex* skylight, const Float3DRect* bounds) = nullptr;
  Objex* (*connectWallPoint)(Objex* wall, Poinz* endPoint) = nullptr;
  float (*groundUnder)(const Objex* object) = nullptr;
  void (*renderAllLayers)() = nullptr;
  void (*renderEntireObject)(Objex* object) = nullptr;
  void (*renderSingleObject)(Objex* object) = nullptr;
};
extern BuildingServices gBuildingServices;

// Doors, windows and openings in 3D (openings: InstallOpeningsServices).
struct OpeningsServices {
  void (*buildAttachmentFrame)(Objex* attachment) = nullptr;
  void (*carveWindowsAndDoors)(Objex* part, Objex* wall, Poinz* bottomStart, Poinz* topStart, Poinz* bottomEnd,
                               Poinz* topEnd, int32_t faceIndex, Plane* plane) = nullptr;
  void (*readCustomWindowDoorFile)(Objex* attachment) = nullptr;
  void (*readCustomSkylightFile)(Objex* skylight) = nullptr;
  void (*readCustomTrimFile)(Objex* target, bool slotA, TrimData* wallTrim) = nullptr;
};
extern OpeningsServices gOpeningsServices;

// The drawing and editing tools (tools: InstallToolsServices).
struct ToolsServices {
  int (*updateAllWallAttachments)(Objex* wall) = nullptr;
  void (*updateFixedComponent)(Objex* object) = nullptr;
  void (*attach3DSymbol)(Objex* object, int32_t symbolType, float offsetX, float offsetZ) = nullptr;
  void (*evaluatePoint)(int32_t x, int32_t y, float* outX, float* outY, float* outZ, uint8_t snap,
                        ClickInfo* click, uint8_t unzoom) = nullptr;
  void (*translateDeckAttachment)(Objex* steps, float x, float y, float z) = nullptr;
  void (*translateWallComponent)(Objex* component, float x, float y, float z) = nullptr;
  float (*limitWallDimension)(FloatPoint* start, FloatPoint* end, Layer* layer, Poinz* pointA,
                              Poinz* pointB) = nullptr;
  void (*trackKeyEntry)(int32_t x, int32_t y) = nullptr;
  void (*updateAttachedDimLayer)(Layer* layer) = nullptr;
  // The state of a MovedWallDimensionRefresh (tools: AttachedWallDims).
  MovedWallDimensions* (*beginMovedWallDimensions)(Layer* layer, Objex* firstMoved) = nullptr;
  void (*measureMovedWallDimensions)(MovedWallDimensions* state) = nullptr;
  void (*endMovedWallDimensions)(MovedWallDimensions* state) = nullptr;
  bool (*carryOnMovedWallDimensions)(MovedWallDimensions* state, Objex* firstMoved) = nullptr;
  // The state of an AppendedWallDimensionRefresh, ended as the others.
  MovedWallDimensions* (*beginAppendedWallDimensions)(Layer* layer, Objex* lastStill) = nullptr;
  // The state of a floor walls leave while a WallDimensionRefreshBatch is open (tools:
  // AttachedWallDims).
  LeavingWallDimensions* (*beginLeavingWallDimensions)(Layer* layer) = nullptr;
  bool (*noteLeavingWallRefit)(LeavingWallDimensions* state, Objex* wall) = nullptr;
  bool (*measureBeforeLeaving)(LeavingWallDimensions* state, Objex* object) = nullptr;
  void (*finishLeavingWallDimensions)(LeavingWallDimensions* state) = nullptr;
  void (*endLeavingWallDimensions)(LeavingWallDimensions* state) = nullptr;
};
extern ToolsServices gToolsServices;

// The renderer's upkeep (render3d: InstallRender3DServices).
struct RendererServices {
  void (*reRenderObject)(Objex* object) = nullptr;
  void (*deleteRendererObject)(Objex* object) = nullptr;
  void (*deleteAllRendererObjects)() = nullptr;
  void (*resetSceneDisplayList)() = nullptr;
  void (*deleteCachedTextureImages)(const uint32_t* textureIDs, int32_t count) = nullptr;
};
extern RendererServices gRendererServices;

// The content palette (content: InstallContentServices).
struct ContentServices {
  SymEntryInfo* (*selectedSymEntry)() = nullptr;
  bool (*decodeSymEntryWithData)(const uint8_t* data, size_t size, SymEntryInfo* entry) = nullptr;
};
extern ContentServices gContentServices;

// The inspector (inspectors: InstallInspectorsServices).
struct InspectorServices {
  void (*updatePropertiesState)(bool scanSelection) = nullptr;
};
extern InspectorServices gInspectorServices;

// The plan drawing (plandraw: InstallSelectionDrawingServices).
struct PlanDrawingServices {
  void (*drawSelectionLine)(Objex* object) = nullptr;
  void (*clearDimensionWallSegmentSelection)() = nullptr;
};
extern PlanDrawingServices gPlanDrawingServices;

// The front end (app: the application delegate at start-up, the status readouts, and the 3D
// window's status line while its controller lives).
struct FrontEndServices {
  // Releases the current document's trace image and, for a non-empty path, loads it;
  // false when the image could not be loaded.
  bool (*reloadTraceImage)(const char* path) = nullptr;
  // Selects the floor item of the main window's active-floor pop-up (5275..5277).
  void (*selectActiveFloorItem)(int32_t tag) = nullptr;
  // A model was emptied for a new design: its document drops its file name and trace image.
  void (*documentReinitialized)(class ZLKDocumentModel* model) = nullptr;
  // Asks the window of the document whose model this is to redraw its plan (Refresh).
  void (*refreshDocumentVisibleView)(class ZLKDocumentModel* model) = nullptr;
  // The main window's status line and elevation pane; the status entry points below hand
  // their values here (lengths in inches, angles in degrees).
  void (*clearStatusBar)() = nullptr;
  void (*setStatusBarText)(const char* text) = nullptr;
  void (*drawAngle)(float degrees) = nullptr;
  void (*drawDiameter)(float diameter) = nullptr;
  void (*drawLength)(float length) = nullptr;
  void (*drawViewLength)(float length) = nullptr;
  void (*updateRadius)(float radius) = nullptr;
  void (*drawWidthHeightArea)(float width, float height, float area) = nullptr;
  void (*drawWidthHeightDepth)(float width, float height, float depth) = nullptr;
  void (*setElevationPane)(const SelectionState40* ss40) = nullptr;
  // The application delegate's resetStandardTool: (ResetStandardTool hands its flag on).
  void (*resetStandardTool)(uint8_t force) = nullptr;
  // Snapshot undo lives with the design files, which the model does not link: StoreUndo.
  void (*storeUndo)(const std::string& name) = nullptr;
  // The 3D window's status line, progress animation and light-shot progress (the five LV
  // status calls below); set while the 3D window's controller lives.
  void (*setLVStatusString)(const char* text) = nullptr;
  void (*initializeAnimatedLVStatus)() = nullptr;
  void (*resetAnimatedLVStatus)() = nullptr;
  void (*initializeLVLightProgress)(int32_t count) = nullptr;
  void (*updateLVLightProgress)(int32_t done) = nullptr;
  // Reads an image file into the packed RGB record the texture code uploads (null when the
  // file cannot be read as an image).
  DIBImage* (*loadDIBImage)(const char* path) = nullptr;
  // The ids of the installed plug-ins in the dispatcher's list order (a new design keeps a
  // data block for each).
  std::vector<int32_t> (*addkitPluginIDs)() = nullptr;
};
extern FrontEndServices gFrontEnd;

// One table that is not fully installed: its name and the positions of its empty members.
struct ServiceGap {
  std::string table;
  std::vector<size_t> emptySlots;
};
// Every table above whose members are not all installed. The 3D window's status members of
// the front end are left out (they follow the 3D window's controller).
std::vector<ServiceGap> InstalledServiceGaps();

// ---------------------------------------------------------------------------------------
// The routines callers use.

// Building elements: 3D rebuilders of each kind of object.
void Update3DWall(Objex* wall);
void Update3DRoof(Objex* roof);
void Update3DRoofPanel(Objex* panel);
void Update3DDeck(Objex* deck);
void Update3DPath(Objex* path);
void Update3DFloorSkirting(Objex* object);
void Update3DTopoCutoutDepthObject(Objex* cutout);
void Update3DPhoto(Objex* photo);
void UpdateStairObject(Objex* stairs);
void UpdateRailObject(Objex* railing);
void UpdateEdgingObject(Objex* edging);
void UpdateFenceObject(Objex* fence);
void UpdateAllRoofAttachments(Objex* roof);
// Deck steps in the middle of the segment, as the deck's last child; the segment's end
// point, or null when nothing was made. Not installed: a zeroed record anchored on the
// segment is appended.
Poinz* AddDeckSteps(Objex* deck, Poinz* point, Poinz* nextPoint);
// Skylight parts: the symbol parts of a custom skylight placed around (x, z), and one
// filler plane (side 1 below, side 0 above).
void CreateCustomSkylightSymbols(Objex* skylight, float x, float z, float size);
void CreateSkylightFillerPlane(Objex* skylight, int16_t side);
// Union of the 2D and 3D bounds of a custom skylight's outline parts.
void GetCustomSkylightBounds(Objex* skylight, FloatRect* rect, Float3DRect* box);
// Replaces the skylight's points with the four plan corners of the 3D bounds.
void CreateCustomSkylightBoundsPoints(Objex* skylight, const Float3DRect* bounds);
// Joins the wall to a wall found at its end point; the resulting wall (maybe another
// record). Not installed: the wall itself.
Objex* ConnectWallPoint(Objex* wall, Poinz* endPoint);
// The road from the plan to the 3D scene. Not installed, RenderAllLayers asks for a redraw
// (gRefreshRender).
void RenderAllLayers();
void RenderEntireObject(Objex* object);
void RenderSingleObject(Objex* object);
// The elevation (world inches) of the ground an object on the terrain stands on: the highest
// terrain point under its points, a group's members' at any depth. 0 where the design has no
// terrain heights. Not installed: 0.
float GroundUnder(const Objex* object);

// Openings: the 3D faces of a door, window or accessory rebuilt from its record into
// DoorWindowData.faces. (The building library, the only caller of the wall-face finishing,
// reaches gOpeningsServices.carveWindowsAndDoors through CarveWindowsAndDoors,
// building3d/WallFaceFinish.h.)
void BuildAttachmentFrame(Objex* attachment);
// Custom definitions chosen in the content palette: a door's or window's custom part lists and
// name, a custom skylight's five definition lists, and a copy of the selected trim profile in a
// wall side's trim record (wallTrim given) or in a door's or window's trim slot A or B. Not
// installed: the call is recorded and nothing changes.
void ReadCustomWindowDoorFile(Objex* attachment);
void ReadCustomSkylightFile(Objex* skylight);
void ReadCustomTrimFile(Objex* target, bool slotA, TrimData* wallTrim);

// Tools.
// Re-fits every attachment of a wall; the count removed (0 when not installed).
int UpdateAllWallAttachments(Objex* wall);
// Measures every attached wall dimension of the layer again (the current floor's walls are
// those measured to).
void UpdateAttachedDimLayerService(Layer* layer);
// While one lives (they nest), refitting a wall's attachments leaves the attached wall
// dimensions of the current floor to be measured once, when the outermost ends, for each
// floor that was current at a refit. A design being read refits each wall as it arrives: the
// dimensions would otherwise be measured against the whole floor once per wall. Measured at
// the end against all the walls read, each dimension comes out as the last per-wall
// measurement would have left it.
class WallDimensionRefreshBatch {
 public:
  WallDimensionRefreshBatch();
  ~WallDimensionRefreshBatch();
  WallDimensionRefreshBatch(const WallDimensionRefreshBatch&) = delete;
  WallDimensionRefreshBatch& operator=(const WallDimensionRefreshBatch&) = delete;
};
// True while a batch is open: the current document's current floor is noted for its end
// (`wall` is the one refitted).
bool DeferWallDimensionRefresh(Objex* wall);
// For a reader about to take a top-level object out of its floor again and free it while
// batches are open (nothing without one; they stay open). Before a wall leaves, the dimensions
// put off so far are measured as they stand with it, as a measurement after every wall would
// have left them: only those it can be measured to (the rest cannot tell it from its absence),
// the floor's others when the batch ends unless no wall has been refitted since; the whole
// floor where the tools cannot measure them apart.
void ObjectLeavingFloor(Objex* object);
// While one lives, objects appended at the end of a floor (from `firstMoved` on) are the only
// ones that move on it: each time the floor's attached wall dimensions are due to be measured
// (at the end of a batch, or through measure()), only those the moved walls can have changed
// are measured: the dimensions of the moved walls and those whose rays cross the moved walls
// where they lie now or lay at the previous measurement. The others keep what their last
// measurement gave, which a measurement of the whole floor would give them again.
class MovedWallDimensionRefresh {
 public:
  MovedWallDimensionRefresh(Layer* layer, Objex* firstMoved);
  // The same going on from a state an earlier refresh of the same floor released (see
  // release()): the walls moved then join the still ones where they lie now. The caller
  // answers that nothing on the floor has changed since that refresh's last measurement but
  // the objects appended at its end, from `firstMoved` on. A state that cannot go on is ended
  // and a fresh one begun.
  MovedWallDimensionRefresh(Layer* layer, Objex* firstMoved, MovedWallDimensions* carried);
  ~MovedWallDimensionRefresh();
  // Hands the state over to a later refresh instead of ending it (null when there is none).
  MovedWallDimensions* release();
  // Ends a released state.
  static void End(MovedWallDimensions* state);
  MovedWallDimensionRefresh(const MovedWallDimensionRefresh&) = delete;
  MovedWallDimensionRefresh& operator=(const MovedWallDimensionRefresh&) = delete;
  // True when the floor of `document` is the one this refresh covers.
  bool covers(const ZLKDocumentModel* document, const Layer* layer) const;
  // Measures what the move may have changed (the whole floor when the tools are not installed).
  void measure();

 private:
  ZLKDocumentModel* document_;
  Layer* layer_;
  MovedWallDimensions* state_ = nullptr;
  MovedWallDimensionRefresh* outer_;
};
// While one lives, the objects appended to a floor after `lastStill` (its last object when
// the refresh began; null: the floor was empty) are the only change on it: copies that arrive
// there and leave again on their way to another floor. Each time a wall's refit measures that
// floor's attached wall dimensions (outside a WallDimensionRefreshBatch), the whole floor is
// measured the first time; after that only the dimensions the appended walls can have changed
// are: theirs and those whose rays cross the appended walls where they lie now or lay at the
// previous measurement. The others keep what their last measurement gave, which a measurement
// of the whole floor would give them again.
class AppendedWallDimensionRefresh {
 public:
  explicit AppendedWallDimensionRefresh(Layer* layer);
  ~AppendedWallDimensionRefresh();
  AppendedWallDimensionRefresh(const AppendedWallDimensionRefresh&) = delete;
  AppendedWallDimensionRefresh& operator=(const AppendedWallDimensionRefresh&) = delete;
  // Measures the current floor's dimensions when a refresh covers the current document's
  // current floor: true. False: nothing was measured (the caller measures the whole floor).
  static bool MeasureCurrentFloor();

 private:
  ZLKDocumentModel* document_;
  Layer* layer_;
  MovedWallDimensions* state_ = nullptr;
  AppendedWallDimensionRefresh* outer_;
};
void UpdateFixedComponent(Objex* object);
// The 3D symbol parts of a component placed at its offset (nothing when not installed).
void Attach3DSymbol(Objex* object, int32_t symbolType, float offsetX, float offsetZ);
// Turns a window point into a model point. Not installed: the view inversion only.
void EvaluatePoint(int32_t x, int32_t y, float* outX, float* outY, float* outZ, uint8_t snap,
                   ClickInfo* click, uint8_t unzoom);
// Drags that run their own loops, handed over by the move tool at mouse-down.
void TranslateDeckAttachment(Objex* steps, float x, float y, float z);
// The deck-steps drag of the current click record (gClickInfo) alone: the click decides.
void TranslateDeckAttachment();
void TranslateWallComponent(Objex* component, float x, float y, float z);
// Pulls `end` back along the ray from `start` to the nearest other wall segment of the layer
// that it crosses; that wall's thickness, or 0 (end unchanged; 0 when not installed).
float LimitWallDimension(FloatPoint* start, FloatPoint* end, Layer* layer, Poinz* pointA, Poinz* pointB);
// The key-entry tool.
void TrackKeyEntry(int32_t x, int32_t y);

// Renderer upkeep. Not installed, ReRenderObject marks the object for a rebuild.
void ReRenderObject(Objex* object);
void DeleteRendererObject(Objex* object);
void DeleteAllRendererObjects();
// Drops the real-time scene display list.
void ResetSceneDisplayList();
// Drops the renderer's loaded images of these texture ids (and what it remembers of images
// it could not find).
void DeleteCachedTextureImages(const uint32_t* textureIDs, int32_t count);
// An image file as a packed RGB record (plandraw/PlatformAdapters.h; free with FreeDIBImage);
// null when it cannot be read, or with no loader installed.
DIBImage* LoadDIBImageFile(const char* path);

// Content palette: its selected entry (not installed: gSelectedContentEntry, whose type is
// gSelectedContentEntryType, null while that is 0), and the entry held by the data of a
// content library drag (false when the data holds none).
SymEntryInfo* ContentPaletteSelectedSymEntry();
bool DecodeSymEntryWithData(const uint8_t* data, size_t size, SymEntryInfo* entry);

// Rebuilds the inspector pane (InspectorController::updatePropertiesState).
void UpdateInspectorPropertiesState(bool refresh);

// Plan drawing: draws the object's outline as selection feedback, and shows the stored
// wall-segment dimensions in the overlay and forgets them.
void DrawSelectionLine(Objex* object);
void ClearDimensionWallSegmentSelection();

// Front end.
// Asks the window of the current document to redraw its plan (through
// gFrontEnd.refreshDocumentVisibleView); no document or no window: nothing. Never draws.
void Refresh();
// Shows the base-elevation summary in the main window's elevation pane.
void SetElevationPane(const SelectionState40* ss40);
// Back to the selection tool after a one-shot tool: with flag 0 a tool that stays selected
// after use stays; otherwise gCurTool becomes 200 and the palettes follow.
void ResetStandardTool(uint8_t flag);
// Records "StoreUndo" and hands the action name to gFrontEnd.storeUndo (nothing is stored
// without it).
void StoreUndoFromModel(const std::string& name);
// Main window readouts (world units; 0 empties them, DrawAngle empties on 32000).
void DrawWH(float width, float depth, float height);
void DrawWHArea(float width, float height);
void DrawAngle(float degrees);
void DrawDiameter(float diameter);
void DrawLength(float length);
void DrawViewLength(float length);
void UpdateRadius(float radius);
void ClearStatusBar();
void SetStatusBar(const char* text);
// Progress display of the 3D window (indeterminate animation and status text).
void InitializeAnimatedLVStatus();
void SetLVStatusString(const char* text);
void ResetAnimatedLVStatus();
// The 3D window's progress bar over the light shots of a shadow render: count shots, done so far.
void InitializeLVLightProgress(int32_t count);
void UpdateLVLightProgress(int32_t done);

// The 3D window as the core reaches it (the shared LiveViewController): the controller fills
// these hooks when it is created and empties them when it goes. With no viewBounds hook there
// is no 3D window controller, and the renderer draws nothing.
struct LiveViewHost {
  // Size of the 3D view's drawing surface in device pixels.
  void (*viewBounds)(int32_t* width, int32_t* height) = nullptr;
  bool (*isVisible)() = nullptr;  // the 3D window is shown
  // The next key pressed in the 3D window since the render began (kKeyCodeEscape 53 for
  // Escape), taken off the queue; -1 when none waits. flushKeys drops the queued keys.
  int32_t (*takeKeyDown)() = nullptr;
  void (*flushKeys)() = nullptr;
  // A finished frame is kept for the view (FinalizeGLScene); the view shows it.
  void (*frameFinished)() = nullptr;
  // Redraw the 3D view now (a full render when gRefreshRender is set).
  void (*display)() = nullptr;
  // The event being handled: kLiveViewLeftMouseDown, kLiveViewLeftMouseUp or 0.
  int32_t (*currentMouseEvent)() = nullptr;
};
extern LiveViewHost gLiveViewHost;
constexpr int32_t kKeyCodeEscape = 53;
constexpr int32_t kLiveViewLeftMouseDown = 1, kLiveViewLeftMouseUp = 2;
bool LiveViewControllerExists();
bool LiveViewWindowVisible();

// ---------------------------------------------------------------------------------------
// State the model shares with the libraries above it (owned here).

// The 3D scene.
extern uint8_t gRefreshRender;
extern uint8_t gRenderOnShow;          // the 3D scene is stale: rebuild it when the window shows
extern uint8_t gForceRenderObjectNow;  // rebuild an object now even while the window is hidden
// The ten 3D option bits (bits 0..9); all set at start-up.
extern int32_t gLiveViewOptions;
extern uint8_t gRealTimeDraw;

// Tool drawing state: the rubber band is being drawn (lines go to the overlay), or the
// objects being moved, scaled or rotated are (lines go to the active transform element).
extern uint8_t gDynamicDrawing;
extern uint8_t gTransformationDrawing;
// Set by the tools before they draw live dimension readouts.
extern uint8_t gRoundToggle;

// Plan drawing and printing.
extern uint8_t gPrinting;  // drawing for the printer
// Print scale of the horizontal and vertical view coordinates while printing (1 otherwise).
extern float gHPrintScale, gVPrintScale;
// Pen width in screen units of an object's line weight (zoomed when asked, times the
// horizontal print scale while printing), at least 1;
// 0 for a weight in [-0.1, 0].
int16_t GetLineWeight(const Objex* object, int zoomed);
// For a width above 1, both offsets become minus half the width.
void GetPenOffset(int16_t width, int16_t* dx, int16_t* dy);
// Whether the object shows on the plans of the mask: walls, doors and windows on the floor,
// electrical, plumbing and HVAC plans as well as on their own; a group made with Plan > Group
// (GroupMembersStandAlone) where any of its members shows, at any depth, whatever its own plan bit;
// every other object on its own plans. Drawing, picking and printing all ask this.
bool IsObjectOnCurrentPlan(const Objex* object, int32_t planMask);

// The object open in the symbol workbench, or null.
extern Objex* gWorkbenchObject;

// Application shell: the mirror command's paste flag.
extern uint8_t gMirroring;

// Content library: the type of the content palette's selected entry (kEntrySymbol for a 2D
// symbol entry), 0 while no entry is selected. The content palette keeps it up to date.
extern int16_t gSelectedContentEntryType;
// The content palette's selected category (kCategoryAccessories 0 .. kCategoryTrim 3 apply
// in 3D), -1 while there is no content palette; the entry served while no palette is
// installed.
extern int16_t gSelectedContentCategory;
extern SymEntryInfo gSelectedContentEntry;
// Trim is applied as base trim (set by the content palette while a base trim category is
// chosen); the trim appliers read it.
extern uint8_t gApplyTrimAsBase;

// Drawing tools: the snap code and the defaults the tools give new objects.
extern uint16_t gCurSnap;  // current snap tool code, 500 at start-up
extern int32_t gFlooringDefaultTexture;  // 1700
extern int32_t gFillDefaultTexture;      // 1115
extern int32_t gPathDefaultTexture;
extern float gPathDefaultWidth;          // 36
extern int32_t gEdgingDefaultTexture;    // 2202
extern int32_t gFenceDefaultTexture;     // 2212
// Colours indexed by material; nothing fills it, so every row reads black.
constexpr int32_t kMaterialTableSize = 256;
extern RGBColor gMaterialTable[kMaterialTableSize];
// The colour of a material row; black outside the table.
RGBColor MaterialTableColor(int32_t material);
// Font of new dimension text boxes.
extern int16_t gDimensionFontNum;
extern int16_t gDimensionFontSize;
extern int16_t gDimensionFontStyle;
extern LOGFONT gCurFontInfo;
extern int32_t gCurPropertiesObjectCount;    // objects the inspector shows
extern uint8_t gFilletChamferUndo;           // a fillet or chamfer drag changed a corner
extern uint8_t gMatchAccessoryToNextWindow;  // the next window click refreshes the inspector
extern int16_t gCurToolSet;                  // the plan kind whose tools the palette shows
