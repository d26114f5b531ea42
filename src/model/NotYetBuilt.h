// Routines of parts of the program that are not built yet. Each is declared here once and
// does only what its callers rely on (most record their call); the model's bodies are in
// NotYetBuilt.cpp, the renderer's in render3d/PendingRenderServices.cpp. A routine leaves this
// file when its part is built.
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


// The renderer's neighbours (shadows, image export): the shadow render draws a plain frame.
void RenderShadows();
// One lamp's depth view folded into the light map of the shadow render (angles in degrees,
// ortho set for a parallel view, kind the light kind); records its call and draws nothing yet.
void RenderLightView(DocState* docState, float height, float x, float y, float verticalAngle,
                     float horizontalAngle, int16_t ortho, float cone, int32_t falloff, float intensity,
                     int16_t kind);
extern float gWalkFOV;                        // walk field of view, degrees (45)
extern float gChopperFOV;                     // fly field of view, degrees (38)
extern uint8_t gAdjustTrimLightIntensity;     // the fully lit shadow pass brightens trims
extern uint8_t gRenderingAntiAliasShadowMap;  // the anti-aliased shadow render runs
extern uint8_t gPrinting3DView;               // the 3D view is being printed
extern uint8_t g3DViewPrintInterrupted;       // a render for export or print was cancelled
