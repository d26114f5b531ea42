// Plan points, polar offsets and the projection and rounding of view coordinates shared by
// the text, dimension and door drawing.
#pragma once
#include <cstdint>

#include "plandraw/DrawTypes.h"

struct PlanXZ {
  float x = 0, z = 0;
};
inline PlanXZ operator+(PlanXZ a, PlanXZ b) { return {a.x + b.x, a.z + b.z}; }
inline PlanXZ operator-(PlanXZ a, PlanXZ b) { return {a.x - b.x, a.z - b.z}; }
inline NSPoint operator+(NSPoint a, NSPoint b) { return {a.x + b.x, a.y + b.y}; }
inline NSPoint operator-(NSPoint a, NSPoint b) { return {a.x - b.x, a.y - b.y}; }

constexpr float kQuarterTurn = 1.5707964f;
constexpr float kDegreesPerRadian = 57.29577951308232f;

// The offset (r cos a, -r sin a) that GetLineLengthAndAngle measures.
NSPoint PolarOffset(float angle, float length);
inline PlanXZ PolarPlan(float angle, float length) {
  const NSPoint p = PolarOffset(angle, length);
  return {p.x, p.y};
}
// The angle from a to b (radians, 0 to 2 pi); the length through `length` when given.
float AngleBetween(NSPoint a, NSPoint b, float* length = nullptr);
float AngleBetween(PlanXZ a, PlanXZ b, float* length = nullptr);

// v truncated toward zero to 16 bits, held within the 16-bit range.
int16_t Trunc16(float v);
// v + 0.5 truncated toward zero to 16 bits.
inline int16_t Round16(float v) { return Trunc16(v + 0.5f); }
inline NSPoint RoundPoint(NSPoint p) { return {static_cast<float>(Round16(p.x)), static_cast<float>(Round16(p.y))}; }

// The model point in view coordinates through the view transform and zoom, with perspective
// when it is on: as ConvertToIso projects each of its two points.
void ProjectModelPoint(float* x, float* y, float* z);
// The same with the zoom factor given (CurrentZoomFactor()), for runs of points.
void ProjectModelPoint(float* x, float* y, float* z, float zoom);
// The plan point (x, 0, z) in view coordinates through the view transform and zoom, with
// perspective when it is on.
NSPoint ProjectPlanPoint(float x, float z);
// The same without perspective.
NSPoint ProjectPlanPointFlat(float x, float z);
// Multiplied by the print scales while printing.
NSPoint PrintScaled(NSPoint p);
