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


extern float gWalkFOV;                        // walk field of view, degrees (45)
extern float gChopperFOV;                     // fly field of view, degrees (38)
extern uint8_t gPrinting3DView;               // the 3D view is being printed
extern uint8_t g3DViewPrintInterrupted;       // a render for export or print was cancelled
