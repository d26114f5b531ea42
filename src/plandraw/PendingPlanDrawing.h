// Plan drawing routines that the line primitives and the pipeline call but that are drawn
// by later parts of the plan drawing; each call is reported to the service hook until then.
#pragma once

class DrawContext;
struct Layer;
struct Objex;
struct Poinz;
struct RECT;

// The arrowhead at the end of a staircase's path; view coordinates.
void DrawStairArrowhead(DrawContext* handle, Objex* object, float tipX, float tipY, float tailX, float tailY);
// The selection handles of every visible layer.
void DrawAllLayerHandles(Layer* layers, const RECT* updateRect);
// The automatic dimensions along an object's outline.
void DrawObjectPerimeter(DrawContext* handle, Objex* object);
// The fill and segment dimensions of a wall's 2D copy in the top view.
void Draw2DWall(DrawContext* handle, Objex* copy, Objex* wall);
// The elevation label of one point of a topography line.
void DrawTopoLineElevation(DrawContext* handle, Objex* topography, Poinz* point);
