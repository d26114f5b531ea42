// Snapping points to the document's grid.
#pragma once
#include <cstdint>

struct DocState;
struct FloatPoint;

// Floors x and z of a plan point to the grid (grid spacing in plan units, no zoom);
// y is unchanged. 0 when snapping is off, an argument is missing or a spacing is 0.
int Snap3DPointToGrid(const DocState* docState, float* x, float* y, float* z);
// Rounds a window point to the nearest step of the zoomed grid. 0 when a spacing is 0.
int SnapPointToGrid(const DocState* docState, int32_t h, int32_t v, FloatPoint* out);
