// Recording bodies of the plan drawing routines not drawn yet.
#include "plandraw/PendingPlanDrawing.h"

#include "model/PendingServices.h"

void DrawStairArrowhead(DrawContext* handle, Objex* object, float tipX, float tipY, float tailX, float tailY) {
  NoteServiceCall("DrawStairArrowhead", object);
}
