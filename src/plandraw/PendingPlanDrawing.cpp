// Recording bodies of the plan drawing routines not drawn yet.
#include "plandraw/PendingPlanDrawing.h"

#include "model/PendingServices.h"

void DrawStairArrowhead(DrawContext* handle, Objex* object, float tipX, float tipY, float tailX, float tailY) {
  NoteServiceCall("DrawStairArrowhead", object);
}

void DrawAllLayerHandles(Layer* layers, const RECT* updateRect) { NoteServiceCall("DrawAllLayerHandles", nullptr); }

void DrawObjectPerimeter(DrawContext* handle, Objex* object) { NoteServiceCall("DrawObjectPerimeter", object); }

void Draw2DWall(DrawContext* handle, Objex* copy, Objex* wall) { NoteServiceCall("Draw2DWall", copy); }

void DrawTopoLineElevation(DrawContext* handle, Objex* topography, Poinz* point) {
  NoteServiceCall("DrawTopoLineElevation", topography);
}
