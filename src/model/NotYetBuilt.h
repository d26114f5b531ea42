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

// Custom trim definitions: ReadCustomTrimFile puts a copy of the selected trim profile into
// an opening's trim slot (slot A when slotA is set, else slot B) or into a wall part's trim
// record; it records the call and changes nothing yet.
void ReadCustomTrimFile(Objex* target, bool slotA, TrimData* wallTrim);

// Roof openings (carved roof faces).
void CarveAllRoofAttachments(Objex* roof, Plane* plane, int32_t panelID, int16_t side);
void CarveAllRoofPanelAttachments(Objex* panel, Plane* plane, int16_t side);

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

// Applying content to the surface under a 3D view point; each reports whether it changed
// the design.
bool ApplyColor(POINT point, int32_t color, int32_t a, int32_t b);
bool ApplyTexture(POINT point, int32_t textureID);
bool ApplyMoulding(POINT point, int32_t textureID);
bool ApplyCustomTextureImage(POINT point, SymEntryInfo* entry);
bool ApplyCustomMoulding(POINT point, SymEntryInfo* entry);

// The renderer's neighbours (light glows, image export): no glow.
// The drawing of shadows, which the list walkers (render3d/PlaneObjectLists) call: nothing is
// drawn yet.
void RenderGLPlaneShadowObject(PlaneObject* object);
void RenderGLPlaneShadowObjectMask(PlaneObject* object);
void RenderGLPlantShadowObject(PlaneObject* object);
void RenderGLPhotoShadowObject(PlaneObject* object);
// The light pools of one fixture, drawn with the matrices of the finished frame.
void RenderCanLightMask(PlaneObject* object, const double* modelView, const double* projection,
                        const int32_t* viewport);
void RenderCanLightMap(PlaneObject* object, const double* modelView, const double* projection,
                       const int32_t* viewport);
void RenderFloodLightMask(PlaneObject* object, const double* modelView, const double* projection,
                          const int32_t* viewport);
// The two shots of a wall flood light (render3d/ShadowRender.h RenderLightView); records its
// call and shoots nothing yet.
void CastSpotLight(Objex* wall, Objex* floodLight);
extern float gWalkFOV;                        // walk field of view, degrees (45)
extern float gChopperFOV;                     // fly field of view, degrees (38)
extern uint8_t gPrinting3DView;               // the 3D view is being printed
extern uint8_t g3DViewPrintInterrupted;       // a render for export or print was cancelled
