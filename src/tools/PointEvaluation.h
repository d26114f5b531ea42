// Turning window points into world points for the tools: the view inversion, grid, the
// constraint each tool asks for, shape squaring, object snaps and the wall tools' hand-over
// to the selection tool; and the nearest-segment searches of the line tool.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct ClickInfo;
struct Objex;
struct Poinz;

extern uint8_t gSkipConstraints;  // grid only: the perpendicular snap picked a segment
// Squares, circles and quarter arcs for the rectangle, oval and arc tools (Shift inverts).
extern uint8_t gLockRectTool, gLockOvalTool, gLockArcTool;
// The wall tool to give back after a drag that a wall tool lent to the selection tool.
extern uint16_t gResetWallTool;  // 7052
extern uint8_t gResetToWallTool;
extern ClickInfo gSnapInfo;  // the second hit of the intersection snap

// Window point (x, y) to a world point. snap: apply grid snapping; click: the drag's click
// record (may be null); unzoom: divide by the zoom factor. Nothing is written without a
// document, a DocState or an output.
namespace tools {
void EvaluatePoint(int32_t x, int32_t y, float* outX, float* outY, float* outZ, uint8_t snap,
                   ClickInfo* click, uint8_t unzoom);
}  // namespace tools
// The object-snap road: the outputs change only when a snap point is found. The click record
// is used as scratch and left exactly as it was.
void CADEvaluatePoint(int32_t x, int32_t y, float* outX, float* outY, float* outZ, uint8_t snap,
                      ClickInfo* click, uint8_t unzoom);
// The same road as EvaluatePoint's view inversion for a window point given as floats, with
// the depth taken from the click record's hit position on the working plane. Returns 1 when
// the point was snapped to the grid, 0 otherwise.
int EvaluateFloatPoint(float x, float y, float* outX, float* outY, float* outZ, uint8_t snap,
                       ClickInfo* click, uint8_t unzoom);

// The point of the object nearest to the plan point (x, z) and the segment it starts or ends
// that lies nearer; null without an object or points.
Poinz* GetClosestSpline(Objex* object, float x, float z, Poinz** start, Poinz** end);
// The short stretch of the segment from point0 to point1 nearest to (x, z).
void GetClosestSegment(const Poinz* point0, const Poinz* point1, float x, float z, FloatPoint* a,
                       FloatPoint* b);
