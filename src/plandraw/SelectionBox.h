// The projected 3D box of a selected object, or of the selection being moved or scaled:
// its footprint in the plan view, its twelve edges (or one face when it is flat) elsewhere.
#pragma once

class DrawContext;
struct Float3DRect;

// Stroked at once, 2 units wide in the focus indicator colour; while the transform tools
// draw (gTransformationDrawing) it becomes a transform element of the overlay instead.
// The handle is not read; the one-argument form draws the same.
void DrawCube(DrawContext* handle, const Float3DRect* box);
void DrawCube(const Float3DRect* box);

// Two coordinates count as the same extent when they round to the same whole unit.
bool SameExtent(float a, float b);
