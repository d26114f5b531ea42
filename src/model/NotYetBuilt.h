// Routines of parts of the program that are not built yet. Each is declared here once and
// does only what its callers rely on (most record their call); the model's bodies are in
// NotYetBuilt.cpp, the renderer's in render3d/PendingRenderServices.cpp and
// render3d/PendingListRenderers.cpp. A routine leaves this file when its part is built.
#pragma once
#include <cstddef>
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


// The renderer's neighbours (light glows, shadows, image export): no glow; the shadow render
// draws a plain frame.
void RenderShadows();
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
// One lamp's depth view folded into the light map of the shadow render (angles in degrees,
// ortho set for a parallel view, kind the light kind), and the two shots of a wall flood
// light; both record their call and draw nothing yet.
void RenderLightView(DocState* docState, float height, float x, float y, float verticalAngle,
                     float horizontalAngle, int16_t ortho, float cone, int32_t falloff, float intensity,
                     int16_t kind);
void CastSpotLight(Objex* wall, Objex* floodLight);
extern float gWalkFOV;                        // walk field of view, degrees (45)
extern float gChopperFOV;                     // fly field of view, degrees (38)
extern uint8_t gAdjustTrimLightIntensity;     // the fully lit shadow pass brightens trims
extern uint8_t gRenderingAntiAliasShadowMap;  // the anti-aliased shadow render runs
extern uint8_t gPrinting3DView;               // the 3D view is being printed
extern uint8_t g3DViewPrintInterrupted;       // a render for export or print was cancelled
