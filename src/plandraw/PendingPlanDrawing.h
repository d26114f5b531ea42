// Plan drawing routines that the line primitives call but that are drawn by later
// parts of the plan drawing; each call is reported to the service hook until then.
#pragma once

class DrawContext;
struct Objex;

// The arrowhead at the end of a staircase's path; view coordinates.
void DrawStairArrowhead(DrawContext* handle, Objex* object, float tipX, float tipY, float tailX, float tailY);
