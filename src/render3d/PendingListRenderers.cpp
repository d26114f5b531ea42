// Stand-ins for the drawing of auto-generated symbol parts, plants, photos and shadows: symbol
// parts are drawn as plain plane objects; plants, photos and shadows draw nothing. Each records
// its call. (Trims: render3d/TrimPlaneRendering.)
#include "model/NotYetBuilt.h"
#include "model/Services.h"
#include "render3d/RenderPlaneObject.h"

void RenderGLAutoGenPlaneObject(PlaneObject* object, int16_t includeExcavation) {
  NoteServiceCall("RenderGLAutoGenPlaneObject", nullptr);
  RenderGLPlaneObject(object, includeExcavation);
}
void RTRenderGLAutoGenPlaneObject(PlaneObject* object, int16_t includeExcavation) {
  NoteServiceCall("RTRenderGLAutoGenPlaneObject", nullptr);
  RTRenderGLPlaneObject(object, includeExcavation);
}
void RenderGLPlantObject(PlaneObject*) { NoteServiceCall("RenderGLPlantObject", nullptr); }
void RenderGLPhotoObject(PlaneObject*) { NoteServiceCall("RenderGLPhotoObject", nullptr); }
void RTRenderGLPhotoObject(PlaneObject*) { NoteServiceCall("RTRenderGLPhotoObject", nullptr); }
void GrowPlantVisuals(int16_t) { NoteServiceCall("GrowPlantVisuals", nullptr); }
void RenderGLPlaneShadowObject(PlaneObject*) { NoteServiceCall("RenderGLPlaneShadowObject", nullptr); }
void RenderGLPlaneShadowObjectMask(PlaneObject*) { NoteServiceCall("RenderGLPlaneShadowObjectMask", nullptr); }
void RenderGLPlantShadowObject(PlaneObject*) { NoteServiceCall("RenderGLPlantShadowObject", nullptr); }
void RenderGLPhotoShadowObject(PlaneObject*) { NoteServiceCall("RenderGLPhotoShadowObject", nullptr); }
