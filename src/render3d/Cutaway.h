// The cut-away: one user clip plane whose place follows the 3D window's slider.
#pragma once
#include <cstdint>

#include "model/Types.h"

constexpr int16_t kCutAwayNorth = 0, kCutAwayEast = 1, kCutAwaySouth = 2, kCutAwayWest = 3,
                  kCutAwayTop = 4;

extern Float3DRect gCutawayBounds;  // extent of the model the cut-away spans (+100 each side)
extern float gCutawayRange;         // extent along the cut-away direction, never 0
// Set while a camera loop runs after its first frame: the frames of the loop keep the extent
// that frame measured (measuring walks every object of every layer).
extern uint8_t gSlicePlaneBoundsHeld;
// gSlicePaneEquation (SceneFrame.h): a x + b y + c z + d >= 0 stays visible.

// Measures the extent, or keeps the last one while the design, its shown layers, the
// direction and the 3D road's change count (SceneObjectsChangeCount) are what it was
// measured from.
void SetSlicePlaneBounds();
// The next SetSlicePlaneBounds measures whatever it was measured from.
void ForgetCutawayExtent();
// How many times the extent has been measured (walked the design) since the start.
int64_t CutawayExtentMeasures();
void ComputeSlicePlane();
// ComputeSlicePlane, then loads the plane as clip plane 0 (enabling it is the caller's).
void LoadSliceClipPlane();
// One real-time frame for a step of the cut-away slider.
void RealTimeCutawayOpenGL();
