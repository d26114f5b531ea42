// Stand-ins for the renderer's neighbours that are not built yet: the background,
// grid faces, plants, texture loading and light glows draw nothing, and the shadow render
// draws the plain frame.
#include "model/NotYetBuilt.h"
#include "model/Services.h"
#include "render3d/SceneFrame.h"

float gWalkFOV = 45.0f;
float gChopperFOV = 38.0f;
uint8_t gAdjustTrimLightIntensity = 0;
uint8_t gRenderingAntiAliasShadowMap = 0;
uint8_t gPrinting3DView = 0;
uint8_t g3DViewPrintInterrupted = 0;

void RenderShadows() {
  NoteServiceCall("RenderShadows", nullptr);
  RenderGLScene();
}
void RenderGLBackground(int16_t, int32_t) { NoteServiceCall("RenderGLBackground", nullptr); }
void RTRenderGLBackground() { NoteServiceCall("RTRenderGLBackground", nullptr); }
void RenderGLGridPlaneObject(PlaneObject*) {}
void RTRenderGLPlantObject(PlaneObject*) {}
bool LoadGLTexture(int32_t) { return false; }
bool LoadGLCustomTexture(int32_t, const char*) { return false; }
void RenderCanLightMask(PlaneObject*, const double*, const double*, const int32_t*) {}
void RenderCanLightMap(PlaneObject*, const double*, const double*, const int32_t*) {}
void RenderFloodLightMask(PlaneObject*, const double*, const double*, const int32_t*) {}
