// Routines of parts of the program that are not built yet. Each is declared here once and
// does only what its callers rely on (most record their call); the model's bodies are in
// NotYetBuilt.cpp, the renderer's in render3d/PendingRenderServices.cpp and
// render3d/PendingListRenderers.cpp. A routine leaves this file when its part is built.
#pragma once
#include <cstdint>
#include <vector>

#include "model/SymEntryInfo.h"
#include "model/Types.h"

struct Objex;
struct Poinz;
struct Plane;
struct PlantInfo;
struct PlaneObject;
struct DocState;
struct FloatRect;
struct TrimData;
struct PlanarPolyPoint;
struct DoorWindowData;
struct RoofAttachmentData;

// Custom skylight definitions: ReadCustomSkylightFile finds no definition (the record's
// definition lists stay empty; records the call) and GetCustomSkylightWHAndBounds gives the
// plan extent of the definition's outlines, 0 by 0 and empty bounds without them.
void ReadCustomSkylightFile(Objex* skylight);
void GetCustomSkylightWHAndBounds(const RoofAttachmentData* record, float* width, float* height, FloatRect* bounds);

// Custom door and window definitions: ReadCustomWindowDoorFile and UpdateCustomAttachment
// record the call; the definition's size is the x and y extent of the record's outline
// (mask) list, 0 and 0 without one.
void ReadCustomWindowDoorFile(Objex* attachment);
void UpdateCustomAttachment(Objex* attachment);
void GetCustomAttachmentWidthAndHeight(const DoorWindowData* record, float* width, float* height);

// Roof openings (carved roof faces) and the framing of walls.
void CarveAllRoofAttachments(Objex* roof, Plane* plane, int32_t panelID, int16_t side);
void CarveAllRoofPanelAttachments(Objex* panel, Plane* plane, int16_t side);
void FrameWindowsAndDoors(Objex* wall);

// Side trims of a wall face (base and crown mouldings, wainscot band, paneling, custom wall
// profiles), hung on the face being built: they hang nothing yet. Each gets the side's trim
// record, the face's plane, the direction along the face, its length, the face's two bottom
// corners (start, then end), the wall height and the floor depth in screen units, the side
// and the segment's elevation; kind 63 base, 132 wainscot band, 159 crown, 64 paneling. The
// custom one gets world heights and the segment's start point.
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

// Plants: no plant information exists yet.
PlantInfo* CreatePlantInfo(int32_t textureID);
PlantInfo* CreateUserPlantInfo(const char* path);
void DeletePlantInfo(PlantInfo* info);
PlantInfo* DuplicatePlantInfo(const PlantInfo* info);
// Without plant information the outputs keep the values the caller put in.
void GetPlantBounds(Objex* plant, float* width, float* height, int apply);
// Grows every plant shown in the 3D scene by years (negative to go back) and resizes its
// picture: records the call.
void GrowPlantVisuals(int16_t years);

// Texture cache of the renderer.
// Deletes the renderer's cached images of these texture ids (one glDeleteTextures call).
void DeleteCachedTextureImages(const uint32_t* textureIDs, int32_t count);
// Repairs a texture path in a 512-byte buffer in place (content folder plus file name when
// the path is of the other platform's form or missing).
void Validate512Pathname(char* path);

// Whether the path in the 512-byte buffer names an existing file: 1, else 0. Finding the file
// in the content folder (search) and the not-available stand-in (substitute) are not built:
// the buffer is left as it is. Records the call.
int VerifyOrFindFile(char* path, int search, int substitute);

// Plug-in exchange: IDs of the installed plug-ins, in the dispatcher's list order.
std::vector<int32_t> AddkitPluginIDs();

// Applying content to the surface under a 3D view point; each reports whether it changed
// the design.
bool ApplyColor(POINT point, int32_t color, int32_t a, int32_t b);
bool ApplyTexture(POINT point, int32_t textureID);
bool ApplyMoulding(POINT point, int32_t textureID);
bool ApplyCustomTextureImage(POINT point, SymEntryInfo* entry);
bool ApplyCustomMoulding(POINT point, SymEntryInfo* entry);

// The renderer's neighbours (background, grid faces, plants, textures, light glows, shadows,
// image export): no background, no texture, no glow; the shadow render draws a plain frame.
void RenderShadows();
void RenderGLBackground(int16_t antiAliased, int32_t pass);
void RTRenderGLBackground();
void RenderGLGridPlaneObject(PlaneObject* object);
void RTRenderGLPlantObject(PlaneObject* object);
// The drawing of auto-generated symbol parts, plants, photos and shadows, which the list
// walkers (render3d/PlaneObjectLists) call: symbol parts are drawn as plain plane objects,
// plants, photos and shadows draw nothing. (Trims: render3d/TrimPlaneRendering.)
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
extern float gWalkFOV;                        // walk field of view, degrees (45)
extern float gChopperFOV;                     // fly field of view, degrees (38)
extern uint8_t gAdjustTrimLightIntensity;     // the fully lit shadow pass brightens trims
extern uint8_t gRenderingAntiAliasShadowMap;  // the anti-aliased shadow render runs
extern uint8_t gPrinting3DView;               // the 3D view is being printed
extern uint8_t g3DViewPrintInterrupted;       // a render for export or print was cancelled
