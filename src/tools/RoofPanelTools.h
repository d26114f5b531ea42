// The freehand roof tool and the drag that turns a roof panel by its slope arrow.
#pragma once
#include <cstdint>

struct Objex;

// Tool 7306: a closed outline entered corner by corner becomes a roof panel falling toward
// 270 degrees, with its slope arrow. Returns the panel at the end stage, else null.
Objex* TrackRoofPanel(int32_t windowX, int32_t windowY, float x, float y, float z, int16_t stage);
// Gives a new closed outline the fields of a roof panel (pitch and materials from the
// document, falling toward `direction` degrees from `baseElevation` inches), puts its slope
// arrow first among its children, builds its slab and renders it.
void FinishNewRoofPanel(Objex* panel, float direction, float baseElevation);
// The slope direction an arrow drag gives at `degrees`: whole 15-degree steps unless only
// Shift is held (`snap` 0).
float SnapSlopeDirection(float degrees, bool snap);
// Turns a roof panel by its slope arrow from the mouse-down at (x, y, z) until the mouse-up.
void TrackRoofSlopeDirection(Objex* arrow, float x, float y, float z);
// The same drag for the arrow the click in gClickInfo hit.
void TrackRoofSlopeDirection();
