// The distances from the cursor's foot on a selected wall segment to the walls on both of
// its sides, shown once and forgotten, and the wall dimension attachment.
#pragma once
#include <cstdint>

#include "model/Types.h"

class DrawContext;
struct Objex;
struct Poinz;

// The stored dimensions, plan x and z; -32000 in both coordinates is "none". A side counts
// as set when any of its coordinates is above -30000.
extern FloatPoint gSelectedWallSegmentStartPtSideA, gSelectedWallSegmentEndPtSideA;
extern FloatPoint gSelectedWallSegmentStartPtSideB, gSelectedWallSegmentEndPtSideB;

// DrawDimensionWallSegmentSelection (declared with the model's pending services) stores,
// for a wall whose segment A-B is selected, the dimension on each side from the foot of the
// cursor's perpendicular to the nearest wall crossed, when it is longer than 10 and shorter
// than 30000.

// One side's dimension end: `angle` receives the direction (left of A-B when `side` is set,
// else right) and `end` the start moved 32000 that way, pulled back to the nearest other
// wall segment of the current floor.
void GetWallDimensionPoint(Objex* wall, Poinz* pointA, Poinz* pointB, FloatPoint* start, FloatPoint* end,
                           int16_t side, float* angle, float segmentAngle);
// With A and B both selected, stores the segment's two dimensions (one on each side) at the
// foot of the window point on A-B, for the overlay to show.
void DrawDimensionWallSegmentSelection(Objex* wall, Poinz* pointA, Poinz* pointB, int32_t windowX, int32_t windowY);
// Draws the stored dimensions in red into the plan and forgets them.
void ApplePortDrawDimensionWallSegmentSelection();
// The same into the rubber-band overlay (the model's ClearDimensionWallSegmentSelection).
void PlanClearDimensionWallSegmentSelection();

// The wall dimension attachment: from its place on the wall segment (or the wall face) its
// length away from the wall, on its side.
void DrawDimensionAttachment(DrawContext* handle, Objex* attachment);
