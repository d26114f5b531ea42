// Constraints on tracked points: the plan bounds and origin lines, angle steps from the
// mouse-down point, and keeping the neighbours of a dragged point or segment straight.
#pragma once
#include <cstdint>

struct ClickInfo;

extern uint8_t gTrackingPoly;  // a multi-click tool is placing its points

// Keeps point (x, y, z) inside the plan bounds and on the reference's side of locked origin lines.
void ConstrainPoint(float* reference, float* point);
// 5-degree steps and whole grid steps of length from the origin while Shift is up (or forced).
void SnapCursorToAngleConstraint(float originX, float originZ, float* x, float* z, uint8_t force);
// The same, only while gTrackingPoly is set.
void SnapCursorToPolyAngleConstraint(float originX, float originZ, float* x, float* z, uint8_t force);
// Steps of `step` degrees while Shift is held (or forced).
void SnapCursorToCustomAngleConstraint(float originX, float originZ, float* x, float* z, uint8_t force,
                                       int32_t step);
// Keeps the neighbours of a dragged wall or outline point, or of a dragged segment, straight:
// a point slides along one neighbouring segment while the other turns in 5-degree steps; a
// segment moves across itself and its ends slide along the neighbouring segments
// (gTranslateWallSegPt1/2). Uses the click record's point and segment hits.
void SnapCursorToSegmentConstraint(ClickInfo* click, float downX, float downZ, float* x, float* z);
