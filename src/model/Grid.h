// Snapping points to the document's grid.
#pragma once
#include <cstdint>

struct DocState;
struct FloatPoint;

// The one rule of grid snapping: the multiple of `step` nearest to `value` (a value halfway
// between two goes up), the value first kept within the window's 16-bit range. A zero or
// non-finite step leaves the value as it is. Lengths laid out in whole grid steps take it
// too.
float NearestGridMultiple(float value, float step);
// Moves x and z of a plan point to the nearest grid lines (grid spacing in plan units, no
// zoom); y is unchanged. 0 when snapping is off, an argument is missing or a spacing is 0.
int Snap3DPointToGrid(const DocState* docState, float* x, float* y, float* z);
// Rounds a window point to the nearest step of the zoomed grid. 0 when a spacing is 0.
int SnapPointToGrid(const DocState* docState, int32_t h, int32_t v, FloatPoint* out);
