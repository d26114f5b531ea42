// The curved wall tool: a drag sets the chord (the diameter of the arc's circle), a loop
// follows the mouse round the circle, and a click builds the arc as straight wall segments.
#pragma once
#include <cstdint>

struct FloatRect;
class DrawContext;

void TrackCurvedWall(int32_t windowX, int32_t windowY, float worldX, float worldY, float worldZ, int16_t stage);

// Points of the arc of the circle in `circleRect` (plan units) from startAngle over sweep
// (degrees) in the working plane `mode` at `height`, in straight steps close to
// segmentLength (world units): the step angle is 2 asin(length / 2 / radius) within 5 to 90
// degrees (90 when the length exceeds the diameter). The arrays (three floats a point, may be
// null) receive count points, one fewer with dropLast; `draw` also draws the segments into the
// overlay.
void SetupCurvedWall(DrawContext* engine, const FloatRect* circleRect, float startAngle, float sweep, int16_t mode,
                     float height, float* positions, float* inHandles, float* outHandles, uint8_t draw,
                     int32_t* count, uint8_t dropLast, float segmentLength);
// The step angle (degrees) SetupCurvedWall uses for a circle of that radius (plan units).
float CurvedWallStepAngle(float segmentLengthPlan, float radius);
