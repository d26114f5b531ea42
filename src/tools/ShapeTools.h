// The rectangle and circle/oval tools, which drag detail shapes from corner to corner (or
// from the centre), and the ellipse points they and other tools build from.
#pragma once
#include <cstdint>

struct Objex;
class DrawContext;

extern uint8_t gCenterRectTool, gCenterOvalTool;  // draw from the centre

void TrackRect(int32_t x, int32_t y, float worldX, float worldY, float worldZ, int16_t phase);
// The new oval at the end stage, else null.
Objex* TrackOval(int32_t x, int32_t y, float worldX, float worldY, float worldZ, int16_t phase);

// Points of an elliptic arc spanning rect (first and second coordinate of both corners in
// the plane) at fixedCoordinate on the third axis; angles in degrees. Each array (may be
// null) gets three floats per point; count gets the number of points. Closed drops the last
// point, which repeats the first. Draws the segments into context when draw is set.
void Draw3DEllipse(DrawContext* context, const float* rect, float startAngle, float sweep, int16_t plane,
                   float fixedCoordinate, float* positions, float* inHandles, float* outHandles, uint8_t draw,
                   int32_t* count, uint8_t closed, float increment);
// The largest count Draw3DEllipse can give for the sweep and increment (array sizes).
int32_t EllipsePointCapacity(float sweep, float increment);
