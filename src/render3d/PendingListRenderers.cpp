// Stand-ins for the drawing of shadows: they draw nothing and record their call.
#include "model/NotYetBuilt.h"
#include "model/Services.h"
#include "render3d/RenderPlaneObject.h"

void RenderGLPlaneShadowObject(PlaneObject*) { NoteServiceCall("RenderGLPlaneShadowObject", nullptr); }
void RenderGLPlaneShadowObjectMask(PlaneObject*) { NoteServiceCall("RenderGLPlaneShadowObjectMask", nullptr); }
void RenderGLPlantShadowObject(PlaneObject*) { NoteServiceCall("RenderGLPlantShadowObject", nullptr); }
void RenderGLPhotoShadowObject(PlaneObject*) { NoteServiceCall("RenderGLPhotoShadowObject", nullptr); }
