// Routines that model code calls but that live in higher libraries (3D rebuilding,
// rendering, plan redraw, inspector refresh, plants) or in parts not built yet. Each is
// declared here once. Where the real routine exists, its library defines it and this
// library keeps a weak fallback doing only what callers rely on (so lower test programs
// still link); where it does not exist yet, the body here is all there is, and the section
// says so.
//
// Every call is reported to the service hook, so tests can check that an edit
// asks for "Update3DWall" of object N without linking the 3D code.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/Types.h"
#include "model/SymEntryInfo.h"

struct Objex;
struct Poinz;
struct PlantInfo;

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

// 3D rebuilding (building elements).
void Update3DWall(Objex* wall);  // building3d/Walls3D (weak fallback here records the call)
void Update3DRoof(Objex* roof);
void Update3DRoofPanel(Objex* panel);
// Decks, paths, skirting, excavation rims and photo planes: building3d/Decks3D, Paths3D and
// Skirting3D (weak fallbacks here record the call).
void Update3DDeck(Objex* deck);
void Update3DPath(Objex* path);
void Update3DFloorSkirting(Objex* object);
void Update3DTopoCutoutDepthObject(Objex* cutout);
void Update3DPhoto(Objex* photo);
void UpdateStairObject(Objex* stairs);   // building3d/Stairs3D (weak fallback here records the call)
void UpdateRailObject(Objex* railing);  // building3d/Railings3D (weak fallback here records the call)
void UpdateEdgingObject(Objex* edging);  // building3d/Edging3D (weak fallback here records the call)
void UpdateFenceObject(Objex* fence);    // building3d/SiteFences3D (weak fallback here records the call)
// Deck steps in the middle of the segment, as the deck's last child (building3d/DeckSteps3D;
// the weak fallback here appends a zeroed record anchored on the segment); the segment's end
// point, or null when nothing was made.
Poinz* AddDeckSteps(Objex* deck, Poinz* point, Poinz* nextPoint);
// Skylight parts: the symbol parts of a custom skylight placed around (x, z), and one
// filler plane (side 1 below, side 0 above).
void CreateCustomSkylightSymbols(Objex* skylight, float x, float z, float size);
// Custom skylight definitions are not read yet: ReadCustomSkylightFile finds no definition
// (the record's definition lists stay empty; records the call) and GetCustomSkylightWHAndBounds
// gives a size of 0 by 0 and empty bounds.
struct RoofAttachmentData;
void ReadCustomSkylightFile(Objex* skylight);
void GetCustomSkylightWHAndBounds(const RoofAttachmentData* record, float* width, float* height, FloatRect* bounds);
void CreateSkylightFillerPlane(Objex* skylight, int16_t side);

// Tools.
// Re-fits every attachment of a wall; the count removed. tools/WallAttachments (the weak
// fallback here records the call for programs without the tools library).
int UpdateAllWallAttachments(Objex* wall);
// Door and window parts (the openings subsystem): the 3D faces of a door, window or
// accessory rebuilt from its record into DoorWindowData.faces (openings/AttachmentFrame; the
// weak fallback here records the call), and the custom definition read into a custom door or
// window.
void BuildAttachmentFrame(Objex* attachment);
void ReadCustomWindowDoorFile(Objex* attachment);
void UpdateAllRoofAttachments(Objex* roof);
void UpdateFixedComponent(Objex* object);  // tools/Components (weak fallback here records the call)

// Rendering.
// Renderer upkeep lives in render3d/RendererUpkeep; the model keeps weak fallbacks (record
// the call; ReRenderObject marks the object for a rebuild) for programs without it.
void ReRenderObject(Objex* object);
void DeleteRendererObject(Objex* object);
void DeleteAllRendererObjects();
extern uint8_t gRenderOnShow;          // the 3D scene is stale: rebuild it when the window shows
extern uint8_t gForceRenderObjectNow;  // rebuild an object now even while the window is hidden
// Drops the real-time scene display list (render3d/RealTimeScene; weak fallback here).
void ResetSceneDisplayList();
// The road from the plan to the 3D scene lives in building3d/RenderRoad; the model keeps weak
// fallbacks (record the call; RenderAllLayers asks for a redraw) for programs without it.
void RenderAllLayers();
void RenderEntireObject(Objex* object);
void RenderSingleObject(Objex* object);
// Openings cut into the faces being built (doors, windows, skylights, dormer cut-outs) and the
// framing of walls. Wall faces are finished by openings/WallOpenings (outline by height mode,
// side material, doors and windows cut, casings, step faces); the building library keeps a
// weak fallback that only gives the face its side material (building3d/PendingWallFaces).
// Roof openings and framing are not built yet.
struct Plane;
void CarveWindowsAndDoors(Objex* part, Objex* wall, Poinz* bottomStart, Poinz* topStart,
                          Poinz* bottomEnd, Poinz* topEnd, int32_t faceIndex, Plane* plane);
// Side trims of a wall face (base and crown mouldings, wainscot band, paneling, custom wall
// profiles), hung on the face being built: not built yet; they hang nothing. Each gets the
// side's trim record, the face's plane, the direction along the face, its length, the face's
// two bottom corners (start, then end), the wall height and the floor depth in screen units,
// the side and the segment's elevation; kind 63 base, 132 wainscot band, 159 crown, 64
// paneling. The custom one gets world heights and the segment's start point.
struct TrimData;
struct PlanarPolyPoint;
extern float gBaseTrimHeight;  // inches: height of the next moulding or band
extern float gPanelingHeight;  // inches: height of the next paneling
void CreateMoulding(TrimData* trim, Plane* plane, float angle, float length, const PlanarPolyPoint* start,
                    const PlanarPolyPoint* end, float wallHeight, float base, int16_t side, float elevation,
                    int16_t kind);
void CreatePaneling(TrimData* trim, Plane* plane, float angle, float length, const PlanarPolyPoint* start,
                    const PlanarPolyPoint* end, float wallHeight, float base, int16_t side, float elevation,
                    int16_t kind);
void ApplyCustomTrimToWall(TrimData* trim, Plane* plane, float angle, float length, const PlanarPolyPoint* start,
                           const PlanarPolyPoint* end, float wallHeight, float base, int16_t side, float elevation,
                           Poinz* startPoint);
// Custom door and window definitions: not read yet. UpdateCustomAttachment re-reads the
// definition of a custom door or window (records the call); the definition's size is the x
// and y extent of the record's outline (mask) list, 0 and 0 without one.
struct DoorWindowData;
void UpdateCustomAttachment(Objex* attachment);
void GetCustomAttachmentWidthAndHeight(const DoorWindowData* record, float* width, float* height);
void CarveAllRoofAttachments(Objex* roof, Plane* plane, int32_t panelID, int16_t side);
void CarveAllRoofPanelAttachments(Objex* panel, Plane* plane, int16_t side);
void FrameWindowsAndDoors(Objex* wall);
extern uint8_t gRefreshRender;
// The ten 3D option bits (bits 0..9); all set at start-up.
extern int32_t gLiveViewOptions;
extern uint8_t gRealTimeDraw;
// Tool drawing state: the rubber band is being drawn (lines go to the overlay), or the
// objects being moved, scaled or rotated are (lines go to the active transform element).
extern uint8_t gDynamicDrawing;
extern uint8_t gTransformationDrawing;

// Plan drawing and panels.
// Asks the window of the current document to redraw its plan (through
// gFrontEnd.refreshDocumentVisibleView); no document or no window: nothing. Never draws.
void Refresh();
// Shows the stored wall-segment dimensions in the overlay and forgets them (through
// gPlanDrawingServices).
void ClearDimensionWallSegmentSelection();
// The plan drawing routines that model code calls. The plan drawing installs them
// (InstallSelectionDrawingServices); unset, the calls are only recorded.
struct PlanDrawingServices {
  void (*drawSelectionLine)(Objex* object) = nullptr;
  void (*clearDimensionWallSegmentSelection)() = nullptr;
};
extern PlanDrawingServices gPlanDrawingServices;
// Rebuilds the inspector pane (InspectorController::updatePropertiesState); the inspector
// library holds the real one, this library only a recording fallback.
void UpdateInspectorPropertiesState(bool refresh);
extern uint8_t gPrinting;  // drawing for the printer
// Print scale of the horizontal and vertical view coordinates while printing (1 otherwise).
extern float gHPrintScale, gVPrintScale;
// Pen width in screen units of an object's line weight (zoomed when asked, times the
// horizontal print scale while printing), at least 1;
// 0 for a weight in [-0.1, 0].
int16_t GetLineWeight(const Objex* object, int zoomed);
// For a width above 1, both offsets become minus half the width.
void GetPenOffset(int16_t width, int16_t* dx, int16_t* dy);
// Whether the object shows on the plans of the mask.
bool IsObjectOnCurrentPlan(const Objex* object, int32_t planMask);

// Plants.
PlantInfo* CreatePlantInfo(int32_t textureID);
PlantInfo* CreateUserPlantInfo(const char* path);
void DeletePlantInfo(PlantInfo* info);
PlantInfo* DuplicatePlantInfo(const PlantInfo* info);
// Without plant information the outputs keep the values the caller put in.
void GetPlantBounds(Objex* plant, float* width, float* height, int apply);

// Texture cache of the renderer.
// Deletes the renderer's cached images of these texture ids (one glDeleteTextures call).
void DeleteCachedTextureImages(const uint32_t* textureIDs, int32_t count);
// Repairs a texture path in a 512-byte buffer in place (content folder plus file name when
// the path is of the other platform's form or missing).
void Validate512Pathname(char* path);

// Plug-in exchange.
// IDs of the installed plug-ins, in the dispatcher's list order.
std::vector<int32_t> AddkitPluginIDs();

// Custom skylights (building elements).
struct FloatRect;
struct Float3DRect;
// Union of the 2D and 3D bounds of a custom skylight's outline parts.
void GetCustomSkylightBounds(Objex* skylight, FloatRect* rect, Float3DRect* box);
// Replaces the skylight's points with the four corners of the bounds.
void CreateCustomSkylightBoundsPoints(Objex* skylight, const FloatRect* bounds);

// Selection, deletion and hit-testing neighbours.
struct DocState;
struct FloatPoint;
struct SelectionState40;
// The object open in the symbol workbench, or null.
extern Objex* gWorkbenchObject;
// Recomputes the terrain heights from the lot slopes and topography regions.
void SetLotElevation();
// Whether the terrain is in use: the grid exists and the design has the topography flag or a
// topography file, or a topography, lot or slope-section object at the top of a layer.
// The 3D lot rendering owns it; this body answers from the model until it is built.
bool TopoInUse();
// Draws the object's outline as selection feedback (through gPlanDrawingServices).
void DrawSelectionLine(Objex* object);
// Shows the base-elevation summary in the main window's elevation pane.
void SetElevationPane(const SelectionState40* ss40);

// The scene list of plane objects (its records in model/PlaneObjectRecords.h) lives in
// building3d/PlaneObjects; a weak empty list stands in for programs that do not link it.
struct PlaneObject;
extern PlaneObject* gGLPlaneObjects;
// The 3D window as the core reaches it (the shared LiveViewController): the controller fills
// these hooks when it is created and empties them when it goes. With no viewBounds hook there
// is no 3D window controller, and the renderer draws nothing.
struct LiveViewHost {
  // Size of the 3D view's drawing surface in device pixels.
  void (*viewBounds)(int32_t* width, int32_t* height) = nullptr;
  bool (*isVisible)() = nullptr;                    // the 3D window is shown
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
// Progress display of the 3D window (indeterminate animation and status text).
void InitializeAnimatedLVStatus();
void SetLVStatusString(const char* text);
void ResetAnimatedLVStatus();

// Application shell: the mirror command's paste flag and the standard tool.
extern uint8_t gMirroring;
// Back to the selection tool after a one-shot tool: with flag 0 a tool that stays selected
// after use stays; otherwise gCurTool becomes 200 and the palettes follow (through
// gFrontEnd.resetStandardTool; without it the call is only recorded).
void ResetStandardTool(uint8_t flag);

// Front-end services the core calls; the application installs them, tests may record them.
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
  // The 3D window's status line and progress animation (the three LV status calls above).
  void (*setLVStatusString)(const char* text) = nullptr;
  void (*initializeAnimatedLVStatus)() = nullptr;
  void (*resetAnimatedLVStatus)() = nullptr;
};
extern FrontEndServices gFrontEnd;

// Content library: the type of the content palette's selected entry (kEntrySymbol for a 2D
// symbol entry), 0 while no entry is selected. The content palette keeps it up to date.
extern int16_t gSelectedContentEntryType;

// Drawing tools: the snap code, turning a click into a model point, joining walls, and
// the defaults the tools give new objects.
struct ClickInfo;
extern uint16_t gCurSnap;  // current snap tool code, 500 at start-up
// Turns a window point into a model point. Defined by the tools library
// (tools/PointEvaluation.h); the model keeps a weak fallback (the view inversion only) for
// programs that do not link the tools.
void EvaluatePoint(int32_t x, int32_t y, float* outX, float* outY, float* outZ, uint8_t snap,
                   ClickInfo* click, uint8_t unzoom);
// Joins the wall to a wall found at its end point; the resulting wall (maybe another
// record). Lives in building3d/WallJoining (weak fallback here records the call).
Objex* ConnectWallPoint(Objex* wall, Poinz* endPoint);
extern int32_t gFlooringDefaultTexture;  // 1700
extern int32_t gFillDefaultTexture;      // 1115
extern int32_t gPathDefaultTexture;
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

// Snapshot undo lives with the design files, which the model does not link: the
// application points this hook at StoreUndo. Null: nothing is stored.
extern void (*gStoreUndoHook)(const std::string& name);
// Records "StoreUndo" and hands the action name to gStoreUndoHook.
void StoreUndoFromModel(const std::string& name);


// Drawing tools not built yet: constraints, object snaps, the attachment drags of the move
// tool, and the readouts and overlay drawing the tools feed.
struct Float3DRect;
struct Layer;
extern int32_t gCurPropertiesObjectCount;  // objects the inspector shows
// SnapCursorToSegmentConstraint lives with the tools' constraints (tools/Constraints.h).
// Drags that run their own loops, handed over by the move tool at mouse-down. The deck steps'
// drag lives in tools/DeckStepTools (weak fallback here records the call).
void TranslateDeckAttachment(Objex* steps, float x, float y, float z);
void TranslateWallComponent(Objex* component, float x, float y, float z);  // tools/WallAttachmentPlacement
void TrackRoofSlopeDirection(Objex* arrow, float x, float y, float z);  // tools/RoofPanelTools
// Main window readouts (world units; 0 empties them, DrawAngle empties on 32000).
void DrawWH(float width, float depth, float height);
void DrawWHArea(float width, float height);
void DrawAngle(float degrees);
void DrawDiameter(float diameter);
void DrawLength(float length);
void DrawViewLength(float length);
void UpdateRadius(float radius);
// Overlay drawing of the tools: the projected 3D box of the selection and the segment
// dimensions of the wall under the cursor.
void DrawCube(const Float3DRect* box);
void DrawDimensionWallSegmentSelection(Objex* wall, Poinz* point, Poinz* segmentEnd, int32_t winX,
                                       int32_t winY);
// Drawing tools (tools/AttachedWallDims; weak fallback here): pulls `end` back along the ray from `start` to the nearest other wall
// segment of the layer that it crosses; that wall's thickness, or 0 (end unchanged).
float LimitWallDimension(FloatPoint* start, FloatPoint* end, Layer* layer, Poinz* pointA, Poinz* pointB);


// What the plan view's click road and keyboard call that is not built yet: the virtual
// ruler's hit test and drag, the key-entry tool, the slope arrow of a
// roof panel, the fillet and chamfer tools' undo flag, the status line text, and the
// shell globals of the context menus and the plan tool palette.
// 1 when the visible virtual ruler is hit at the window point; *part gets the part hit
// (kRulerHit codes). Both are defined by the tools library (tools/VirtualRulerTool).
int16_t PointInVirtualRuler(POINT where, int16_t* part);
// Drags the ruler's part from the window point (x, y) until the mouse-up.
void TrackVirtualRuler(int32_t x, int32_t y, POINT where, int16_t part);
// The key-entry tool (tools/KeyEntryTools; weak fallback here records the call).
void TrackKeyEntry(int32_t x, int32_t y);
Objex* FindSlopeDirectionArrowObject(Objex* roofPanel);  // building3d/RoofPanels3D
extern uint8_t gFilletChamferUndo;           // a fillet or chamfer drag changed a corner
extern uint8_t gMatchAccessoryToNextWindow;  // the next window click refreshes the inspector
extern int16_t gCurToolSet;                  // the plan kind whose tools the palette shows
void ClearStatusBar();
void SetStatusBar(const char* text);

// Plant growth of the whole design (3D view): level + step clamped to 1 .. the document's
// itsMaximumPlantAge (at least 1) goes into DocState.plantAge; every object is deselected
// and the plan redrawn. Growing the plants themselves is not built. No DocState: nothing.
void RealTimePlantGrowthD3D(int16_t level, int16_t step);

// The 3D window's neighbours that are not built yet: camera navigation, the property and
// altitude sheets, the content palette's selection, and applying content in 3D.
// Navigation: the modal loop a mouse-down in the 3D view starts (returns at mouse-up), the
// camera set-up of the animated background, and its re-alignment.
void RealTimeRotateAnimOpenGL();
void SetCameraAngle(float x, float y, float z);
void SetCameraPosition(float x, float y, float z);
extern uint8_t gAnimateBackground;  // the background follows the camera
void AnimateBackground(DocState* docState);
// The rendering and lighting sheets and the walk elevation and fly altitude sheets of the
// 3D window; each returns when its sheet is closed.
void RunLVGeneralPropertiesSheet();
void RunLVLightPropertiesSheet();
void RunWalkElevationSheet();
void RunFlyAltitudeSheet();
// The content palette's selected category (kCategoryAccessories 0 .. kCategoryTrim 3 apply
// in 3D), -1 while there is no content palette; its selected entry. Built in the content
// library (content/ContentPaletteController.cpp); without a palette the fallback serves
// gSelectedContentEntry, whose type is gSelectedContentEntryType (null while that is 0).
extern int16_t gSelectedContentCategory;
extern SymEntryInfo gSelectedContentEntry;
SymEntryInfo* ContentPaletteSelectedSymEntry();
// Fills the entry from the data of a content library drag; false when the data holds none.
// Built in the content library (content/SymEntry.cpp).
bool DecodeSymEntryWithData(const uint8_t* data, size_t size, SymEntryInfo* entry);
// Trim is applied as base trim (set by the content palette while a base trim category is
// chosen); the trim appliers read it.
extern uint8_t gApplyTrimAsBase;
// Applying content to the surface under a 3D view point; each reports whether it changed
// the design.
bool ApplyColor(POINT point, int32_t color, int32_t a, int32_t b);
bool ApplyTexture(POINT point, int32_t textureID);
bool ApplyMoulding(POINT point, int32_t textureID);
bool ApplyCustomTextureImage(POINT point, SymEntryInfo* entry);
bool ApplyCustomMoulding(POINT point, SymEntryInfo* entry);

// The 3D renderer's neighbours not built yet (lot and topography, background, grid faces,
// plants, textures, light glows, shadows, image export). Bodies in
// render3d/PendingRenderServices.cpp: no lot, no background, no texture, no glow; the shadow
// render draws a plain frame.
struct PlaneObject;
void RenderShadows();
void RenderGLBackground(int16_t antiAliased, int32_t pass);
void RTRenderGLBackground();
void RenderGLLot();
void RenderGLLotBase();
void RTRenderGLLot();
void RTRenderGLLotBase();
void SetupTopoTrimObjectList();
void RenderGLGridPlaneObject(PlaneObject* object);
void RTRenderGLPlantObject(PlaneObject* object);
// The drawing of auto-generated symbol parts, plants, photos and shadows, which the list
// walkers (render3d/PlaneObjectLists) call; not built yet. Bodies in
// render3d/PendingListRenderers.cpp: symbol parts are drawn as plain plane objects, plants,
// photos and shadows draw nothing. (Trims: render3d/TrimPlaneRendering.)
void RenderGLAutoGenPlaneObject(PlaneObject* object, int16_t includeExcavation);
void RTRenderGLAutoGenPlaneObject(PlaneObject* object, int16_t includeExcavation);
void RenderGLPlantObject(PlaneObject* object);
void RenderGLPhotoObject(PlaneObject* object);
void RTRenderGLPhotoObject(PlaneObject* object);
void RenderGLPlaneShadowObject(PlaneObject* object);
void RenderGLPlaneShadowObjectMask(PlaneObject* object);
void RenderGLPlantShadowObject(PlaneObject* object);
void RenderGLPhotoShadowObject(PlaneObject* object);
// Makes a texture id resident (its GL name in the renderer's id-to-name map); false when it
// cannot be loaded.
bool LoadGLTexture(int32_t textureID);
bool LoadGLCustomTexture(int32_t textureID, const char* path);
// The light pools of one fixture, drawn with the matrices of the finished frame.
void RenderCanLightMask(PlaneObject* object, const double* modelView, const double* projection,
                        const int32_t* viewport);
void RenderCanLightMap(PlaneObject* object, const double* modelView, const double* projection,
                       const int32_t* viewport);
void RenderFloodLightMask(PlaneObject* object, const double* modelView, const double* projection,
                          const int32_t* viewport);
extern float gWalkFOV;                      // walk field of view, degrees (45)
extern float gChopperFOV;                   // fly field of view, degrees (38)
extern uint8_t gAdjustTrimLightIntensity;   // the fully lit shadow pass brightens trims
extern uint8_t gRenderingAntiAliasShadowMap;  // the anti-aliased shadow render runs
extern uint8_t gPrinting3DView;             // the 3D view is being printed
extern uint8_t g3DViewPrintInterrupted;     // a render for export or print was cancelled
// Plane-object copies that trim the lot surface (lot rendering), linked by next.
extern PlaneObject* gGLTopoTrimPlaneObjects;
