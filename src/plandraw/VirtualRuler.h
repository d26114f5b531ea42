// The virtual ruler of the plan: a yellow measuring strip between two points that the user
// drags; its window geometry and its drawing.
#pragma once
#include "model/Types.h"

class DrawContext;

// Window geometry of the current document's ruler (ends projected with y = 0, sizes
// zoomed). Each routine returns 0 and leaves its output untouched without a document.
// The four corners of the body: start left, end right, end left, start right.
int ComputeRulerBoundaryFrame(POINT corners[4]);
// The square handles 14 (zoomed) on a side, centred 14 from each end toward the other.
int ComputeRulerStartPtFrame(RECT* rect);
int ComputeRulerEndPtFrame(RECT* rect);

// When the current document's ruler is shown: the end hairs, the yellow body, the round
// handles, the length text along it and the tick marks at the grid spacing.
void DrawVirtualRuler(DrawContext* handle);
void DrawRulerEdgeHairs(DrawContext* handle);
void UpdateRulerText(DrawContext* handle);
void DrawRulerTickMarks(DrawContext* handle);
