// The limit constraint of tracked points and the angle constraints from the mouse-down point.
#include "tools/Constraints.h"

#include <algorithm>
#include <cmath>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grid.h"
#include "model/PlanarTransforms.h"
#include "model/Selection.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

uint8_t gTrackingPoly = 0;

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kRadiansPerDegree = 0.017453292519943295;

// Truncates toward zero to a 16-bit whole number (saturating; NaN reads 0).
int32_t WholeShort(float v) {
  if (!(v == v)) return 0;
  return static_cast<int32_t>(std::clamp(std::trunc(v), -32768.0f, 32767.0f));
}

// Keeps *value on the reference's side of the origin value.
void OriginLine(float reference, float origin, float* value) {
  const int32_t r = WholeShort(reference), o = WholeShort(origin), v = WholeShort(*value);
  if ((r < o && v > o) || (r > o && v < o) || (r == o && v != o)) *value = origin;
}

void Clamp(float* v, float lo, float hi) {
  if (*v < lo) *v = lo;
  if (*v > hi) *v = hi;
}

void AngleSteps(float originX, float originZ, float* x, float* z, bool acts, double step) {
  const DocState* ds = CurDocState();
  if (!ds) return;
  if (!x || !z || !gTrackingMouse || !acts || step <= 0) {
    float y = 0;
    if (x && z) Snap3DPointToGrid(ds, x, &y, z);
    gTrackConstrainAngle = 0;
    return;
  }
  float d = std::hypot(*x - originX, *z - originZ);
  double degrees = 0;
  if (d != 0) {
    if (gTrackModifiers & kTrackModCommand) {
      degrees = gTrackConstrainAngle * kDegreesPerRadian;
    } else {
      const double a = std::acos(std::clamp((*x - originX) / static_cast<double>(d), -1.0, 1.0));
      degrees = (*z > originZ ? 2 * M_PI - a : a) * kDegreesPerRadian;
    }
  }
  double n = std::round(degrees / step) * step;
  if (n == 360) n = 0;
  gTrackConstrainAngle = static_cast<float>(n * kRadiansPerDegree);
  if (ds->gridSpacing.floatH != 0 && ds->snapToGrid) {
    const float g = ConvertWorldToScreen(ds->gridSpacing.floatH, ds, 0);
    if (g != 0 && std::isfinite(g)) d = g * std::floor(WholeShort(d) / g);
  }
  const double angle = gTrackConstrainAngle;
  *x = originX + d * static_cast<float>(std::cos(angle));
  *z = originZ - d * static_cast<float>(std::sin(angle));
}

bool ShiftHeld() { return (gTrackModifiers & kTrackModShift) != 0; }

}  // namespace

void ConstrainPoint(float* reference, float* point) {
  const DocState* ds = CurDocState();
  if (!reference || !point || !ds) return;
  const FloatRect& b = ds->planBounds;
  const Float3DPoint& o = ds->origin;
  switch (ds->viewPlane) {
    case 2:
      Clamp(&point[0], b.floatLeft, b.floatRight);
      Clamp(&point[2], b.floatTop, b.floatBottom);
      if (ds->lockOriginX) OriginLine(reference[0], o.floatH, &point[0]);
      if (ds->lockOriginZ) OriginLine(reference[2], o.floatD, &point[2]);
      break;
    case 3:
      Clamp(&point[2], b.floatTop, b.floatBottom);
      if (point[1] < b.floatTop) point[1] = b.floatTop;
      if (ds->lockOriginZ) OriginLine(reference[2], o.floatD, &point[2]);
      if (ds->lockOriginY) OriginLine(reference[1], o.floatV, &point[1]);
      break;
    case 1:
      Clamp(&point[0], b.floatLeft, b.floatRight);
      if (point[1] < b.floatTop) point[1] = b.floatTop;
      if (ds->lockOriginX) OriginLine(reference[0], o.floatH, &point[0]);
      if (ds->lockOriginY) OriginLine(reference[1], o.floatV, &point[1]);
      break;
    default:
      break;
  }
}

void SnapCursorToAngleConstraint(float originX, float originZ, float* x, float* z, uint8_t force) {
  AngleSteps(originX, originZ, x, z, !ShiftHeld() || force, 5);
}

void SnapCursorToPolyAngleConstraint(float originX, float originZ, float* x, float* z, uint8_t force) {
  AngleSteps(originX, originZ, x, z, gTrackingPoly && (!ShiftHeld() || force), 5);
}

void SnapCursorToCustomAngleConstraint(float originX, float originZ, float* x, float* z, uint8_t force,
                                       int32_t step) {
  AngleSteps(originX, originZ, x, z, ShiftHeld() || force, step);
}
