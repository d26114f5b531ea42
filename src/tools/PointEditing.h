// The move tool's point-level drags: one point (vertex editing), an end of an open wall,
// and one wall segment moved parallel to itself with the walls meeting it following.
#pragma once
#include <cstdint>

struct Layer;
struct Objex;
struct Poinz;

// The neighbours of the dragged point and whether they were selected at the mouse-down.
extern Poinz* gTrackPrevPoint;
extern Poinz* gTrackNextPoint;
extern uint8_t gTrackPrevPointSelected, gTrackNextPointSelected;

// Forgets the drag state (the mouse-down of every move drag).
void ResetPointEditing();
// Mouse-down on a point to drag: the point alone becomes the selection; an end point of
// an open outline starts an end drag.
void BeginPointDrag(Layer* layers, Objex* object, Poinz* point);
// Mouse-down on a wall segment: the segment move starts when the wall is not entirely
// selected (or has two points) and the inspector shows fewer than two objects.
void BeginWallSegmentHit(Objex* wall);
bool IsPointDrag();
bool IsWallSegmentMove();
// Angle readout of a point or end drag while the mouse is away from the mouse-down point.
void DrawPointEditReadouts(Objex* object, float x, float z);
// An end dropped within 10 plan units of the end segment's other point does not move.
void LimitEndDragOffset(float* dx, float* dz);
// Mouse-up of a segment move that left the mouse-down point: the segment goes to
// gTranslateWallSegPt1/2 (or by the offset when those are unset) and the open walls
// whose ends met it follow onto its new line.
void ApplyWallSegmentMove(Objex* wall, float dx, float dz);
// After the common ending: an end drag that left its wall's end segment shorter than 20
// plan units is undone; the neighbours selected at the mouse-down are selected again.
void FinishPointEditing(Objex* object);
