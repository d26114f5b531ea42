// Stand-ins for the renderer's neighbours that are not built yet: light glows draw nothing.
#include "model/NotYetBuilt.h"
#include "model/Services.h"
#include "render3d/SceneFrame.h"

float gWalkFOV = 45.0f;
float gChopperFOV = 38.0f;
uint8_t gPrinting3DView = 0;
uint8_t g3DViewPrintInterrupted = 0;

void RenderCanLightMask(PlaneObject*, const double*, const double*, const int32_t*) {}
void RenderCanLightMap(PlaneObject*, const double*, const double*, const int32_t*) {}
void RenderFloodLightMask(PlaneObject*, const double*, const double*, const int32_t*) {}
void CastSpotLight(Objex* wall, Objex*) { NoteServiceCall("CastSpotLight", wall); }
