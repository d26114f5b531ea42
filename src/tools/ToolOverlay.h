// What the drawing tools put into the plan view's overlay while they track: projected model
// lines, live dimension lines through the plan drawing's dimension routines, and the common
// ending of a drag too short to make anything.
#pragma once
#include <cstdint>

class ZLKDynamicDrawEngine;

// A live dimension line between two model points without extension offset (plan x and z; the
// heights are not used), drawn into the overlay with its length label.
void DrawDimensionLineNoOffset(float x1, float y1, float z1, float x2, float y2, float z2);
// A live dimension line offset from the measured plan points (x, z) by `offset` view units
// (before zoom), on the +90 degree side when `side` is set.
void DrawLiveDimensionLine(float x1, float z1, float x2, float z2, float offset, uint8_t side = 1);

// The model line projected through the current view and rounded, appended to the overlay's
// active path.
void AppendOverlayModelLine(ZLKDynamicDrawEngine* overlay, float x1, float y1, float z1, float x2, float y2,
                            float z2);
// A plan line (x, z at height y) the same way.
inline void AppendOverlayPlanLine(ZLKDynamicDrawEngine* overlay, float x1, float z1, float x2, float z2, float y) {
  AppendOverlayModelLine(overlay, x1, y, z1, x2, y, z2);
}

// The window travel of the drag (gStartMouse to gEndMouse) is below gMouseModeLimit.
bool DragBelowMouseLimit();
// The ending of such a drag: the standard tool comes back and the overlay is emptied.
void AbandonShortDrag();
// Empties the overlay (both paths, labels and outlines), when there is one.
void ClearToolOverlay();

// v rounded half up (adding 0.5 and truncating) as a whole number, held within the range of
// the integer type (coordinates far outside it cannot be shown anyway).
int32_t RoundToLong(float v);
int16_t RoundToShort(float v);

// Turns (x, z) about (fromX, fromZ) to the nearest multiple of 15 degrees, its distance kept.
void SnapTo15Degrees(float fromX, float fromZ, float* x, float* z);

// Model coordinates of a point given in the working plane's two coordinates (a, b) and the
// third: plane 2 (plan) a = x, b = z; plane 3 a = z, b = y; plane 1 a = x, b = y.
void PlaneToModel(int16_t plane, float a, float b, float third, float* x, float* y, float* z);
// The inverse: the two plane coordinates and the third of a model point.
void ModelToPlane(int16_t plane, float x, float y, float z, float* a, float* b, float* third);
