// The dimension tools: free dimension lines, offset and length dimensions, diameters of drawn
// circles and leaders, each placed on the current layer.
#pragma once
#include <cstdint>

// The dimension line tool (209): window point, constrained plan point, stage 1/2/3.
void TrackDimLine(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
// The offset (210) and length (211) dimension tools, the diameter (212) and the leader (213)
// tools; the evaluated point and the stage. 210, 211 and 213 place their line with a loop of
// their own after the mouse-up, 212 follows the drag from its mouse-down to its mouse-up.
void TrackOffsetDim(float x, float y, float z, int16_t phase);
void TrackDiameterDim(float x, float y, float z, int16_t phase);
void TrackLeaderDim(float x, float y, float z, int16_t phase);

// Overlay previews in window coordinates (view units, zoomed).
// A length dimension of (x1, y1)-(x2, y2) on the side of the mouse, as far out as the mouse.
void DrawLengthDimState(float x1, float y1, float x2, float y2, float mx, float my);
// An offset dimension: 1 when the vertical (z) extent was chosen, 0 for the horizontal (x)
// extent. (rawX, rawY) is the mouse before snapping; it chooses the extent.
int16_t DrawOffsetDimState(float x1, float y1, float x2, float y2, float mx, float my, float rawX, float rawY);
// A diameter line through the centre toward the mouse; `outside` gets how far the mouse lies
// beyond the circle (diameter in plan units); true when that is positive.
bool DrawDiameterDimState(float cx, float cy, float mx, float my, float diameter, float* outside);
