// The move tool's point-level drags: one point (vertex editing), an end of an open wall,
// and one wall segment moved parallel to itself with the walls meeting it following.
#pragma once
#include <cstdint>
#include <span>

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
// The readout points of a segment hit and, for a wall, the measuring line across the segment
// with the crossings of the walls of the current layer.
void BeginSegmentReadouts(Objex* object, Poinz* start, Poinz* end);
bool IsPointDrag();
bool IsWallSegmentMove();
// Readouts while the mouse is away from the mouse-down point: the distances of a moved wall
// segment to the crossing walls and its joining segments; the segments beside a dragged
// point or segment, moved by the drag offset (dx, dz); the angle of a point or end drag.
void DrawPointEditReadouts(Objex* object, float x, float z, float dx, float dz);
// An end dropped within 10 plan units of the end segment's other point does not move.
void LimitEndDragOffset(float* dx, float* dz);
// Mouse-up of a segment move that left the mouse-down point: the segment goes to
// gTranslateWallSegPt1/2 (or by the offset when those are unset) and the open walls
// whose ends met it follow onto its new line.
void ApplyWallSegmentMove(Objex* wall, float dx, float dz);
// One segment of a wall before and after an edit moved it (plan x and z of its two ends).
struct MovedWallSegment {
  float oldA[2], oldB[2], newA[2], newB[2];
};
// The open walls on the wall's floor whose free ends met one of its moved segments (within
// the wall's thickness) follow it: each such end slides along its own direction onto the
// segment's new line, and the walls that moved are built again. The wall's own points stay, and
// so do the points in `placed` (ends the same edit has already put where they belong).
void FollowMovedWallSegments(Objex* wall, const MovedWallSegment* segments, int count,
                             std::span<Poinz* const> placed = {});
// Mouse-up of an end drag that moved the first point of a wall: the attachments anchored at
// it keep their place along the wall (their start distances grow by the added length).
// Called with the drag's offset before the point moves (the move fits the openings again).
void ShiftEndDragAttachments(Objex* object, float dx, float dz);
// After the common ending: the drop search of a wall end drag (a join with another wall's
// free end, the closing of its own wall, or a trim to the nearest crossing wall, undone when
// the end segment is left shorter than 20 plan units); the neighbours selected at the
// mouse-down are selected again; the wall-dimension state is freed. Returns the object
// that remains (a join may free the dragged wall), null when none.
Objex* FinishPointEditing(Objex* object);
