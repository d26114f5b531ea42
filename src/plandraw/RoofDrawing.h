// Generated roofs in plan: the corner outline, the lines from the corners to the ridge
// ends, the ridge, their length labels and the downslope arrows; and the arrowhead at the
// end of a staircase's path.
#pragma once
#include "model/RoofStyles.h"

class DrawContext;
struct Objex;

// From the roof's first four points (P1-P2 and P3-P4 the eaves along the ridge, P4-P1 the
// left end), its style and its pitch. Nothing with fewer than four points.
void DrawRoof(DrawContext* handle, Objex* roof);
// Two 50-unit (zoomed) barbs at 25 degrees either side of the line from the tip back to the
// tail; view coordinates. The object is not read.
void DrawStairArrowhead(DrawContext* handle, Objex* object, float tipX, float tipY, float tailX, float tailY);
