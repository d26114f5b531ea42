// Stand-ins for the renderer's neighbours that are not built yet: the shadow render draws the
// plain frame.
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
void RenderLightView(DocState*, float, float, float, float, float, int16_t, float, int32_t, float, int16_t) {
  NoteServiceCall("RenderLightView", nullptr);
}
