// Plan-point arithmetic of the plan symbols: angles and offsets as the model measures them,
// plan points projected into whole view coordinates, and the stroke of a symbol's path.
#pragma once
#include <cstdint>

#include "model/Records.h"
#include "plandraw/BezierPath.h"
#include "plandraw/DrawTypes.h"

class DrawContext;
// A plan position: x and the plan's second axis z.
struct PlanPoint {
  float x = 0, z = 0;
};
inline PlanPoint operator+(PlanPoint a, PlanPoint b) { return {a.x + b.x, a.z + b.z}; }
inline PlanPoint operator-(PlanPoint a, PlanPoint b) { return {a.x - b.x, a.z - b.z}; }
inline PlanPoint operator*(PlanPoint a, float f) { return {a.x * f, a.z * f}; }
inline PlanPoint Midpoint(PlanPoint a, PlanPoint b) { return {(a.x + b.x) / 2, (a.z + b.z) / 2}; }
inline PlanPoint PlanPositionOf(const Poinz* p) { return {p->position[0], p->position[2]}; }

constexpr float kRightAngle = 1.5707964f;
constexpr double kRadianDegrees = 57.29577951308232;

// The angle of the line from `from` to `to` (GetLineLengthAndAngle); 0 for a point.
float PlanAngle(PlanPoint from, PlanPoint to);
// The offset of `length` along `angle` (GetPointFromLengthAndAngle): (r cos a, -r sin a).
PlanPoint Polar(float angle, float length);

// A view coordinate made whole: 0.5 added, truncated toward zero, kept in 16 bits (values
// beyond the 16-bit range stop at its ends).
float WholeCoordinate(float v);
// Both model points through the current view (ConvertToIso with the current perspective),
// print-scaled while printing when `printScale` is set, then made whole.
void ProjectLine(float x1, float y1, float z1, float x2, float y2, float z2, bool printScale, NSPoint* a,
                 NSPoint* b);
// One plan point at height 0, the same way.
NSPoint ProjectPlanPoint(PlanPoint p, bool printScale);
// Appends the line between two plan points at height 0 as a subpath of its own.
void AppendPlanLine(BezierPath* path, PlanPoint a, PlanPoint b, bool printScale);

// Strokes the path in the context's current colour at width 1 (the path's dash is kept).
void StrokeSymbolPath(DrawContext* ctx, const BezierPath& path);
