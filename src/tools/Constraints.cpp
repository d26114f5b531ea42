// The limit constraint of tracked points and the angle constraints from the mouse-down point.
#include "tools/Constraints.h"

#include <algorithm>
#include <cmath>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grid.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Records.h"
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
    d = NearestGridMultiple(d, g);
  }
  const double angle = gTrackConstrainAngle;
  *x = originX + d * static_cast<float>(std::cos(angle));
  *z = originZ - d * static_cast<float>(std::sin(angle));
}

bool ShiftHeld() { return (gTrackModifiers & kTrackModShift) != 0; }

// Farther than this on either axis, an intersection means the lines were parallel.
constexpr float kParallelLimit = 30000.0f;
// The least length a neighbouring segment, and the moved segment, keep.
constexpr float kLeastNeighbourLength = 23.5f;
constexpr float kLeastSegmentLength = 47.5f;

bool IsStraight(const Poinz* p) {
  return p->inHandle[0] == 0 && p->inHandle[1] == 0 && p->inHandle[2] == 0 && p->outHandle[0] == 0 &&
         p->outHandle[1] == 0 && p->outHandle[2] == 0;
}

Poinz* LastPoint(Poinz* p) {
  while (p && p->next) p = p->next;
  return p;
}

// The point before p, wrapping on a closed object; never one of `not1`/`not2`.
Poinz* PreviousNeighbour(const Objex* owner, Poinz* p, const Poinz* not1, const Poinz* not2) {
  Poinz* n = p->prev;
  if (!n && owner && owner->closed) n = LastPoint(owner->firstPoint);
  return (n == not1 || n == not2) ? nullptr : n;
}

Poinz* NextNeighbour(const Objex* owner, Poinz* p, const Poinz* not1, const Poinz* not2) {
  Poinz* n = p->next;
  if (!n && owner && owner->closed) n = owner->firstPoint;
  return (n == not1 || n == not2) ? nullptr : n;
}

bool BeyondLimit(float x, float z) {
  return !(std::fabs(x) <= kParallelLimit && std::fabs(z) <= kParallelLimit);
}

double DirectionDegrees(float fromX, float fromZ, float toX, float toZ) {
  return std::atan2(-(toZ - fromZ), toX - fromX) * kDegreesPerRadian;
}

// The two directions differ by 5 degrees or more (the difference folded into -180..180).
bool Turns(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return std::fabs(d) >= 5.0;
}

void SnapToGrid(float* x, float* z) {
  if (const DocState* ds = CurDocState()) {
    float y = 0;
    Snap3DPointToGrid(ds, x, &y, z);
  }
}

void DragPoint(ClickInfo* click, float downX, float downZ, float* x, float* z) {
  Poinz* p = click->hitPoint;
  const Objex* owner = click->hitObject;
  const float fx = downX - p->position[0], fz = downZ - p->position[2];
  const float px = p->position[0], pz = p->position[2];
  Poinz* a = PreviousNeighbour(owner, p, p, nullptr);
  Poinz* b = NextNeighbour(owner, p, p, nullptr);
  if (a == b) b = nullptr;  // a closed object of two points
  auto snappedPlusGrab = [&] {
    SnapToGrid(x, z);
    *x += fx;
    *z += fz;
  };
  if (ShiftHeld() || !IsStraight(p) || (a && !IsStraight(a)) || (b && !IsStraight(b))) {
    snappedPlusGrab();
    return;
  }
  if (!a || !b) {
    if (Poinz* n = a ? a : b) SnapCursorToAngleConstraint(n->position[0], n->position[2], x, z, 0);
    *x += fx;
    *z += fz;
    return;
  }
  const float cx = *x, cz = *z;
  const float ax = a->position[0], az = a->position[2], bx = b->position[0], bz = b->position[2];
  float d1x = 0, d1z = 0, d2x = 0, d2z = 0;
  GetPerpIntersection(ax, az, px, pz, cx, cz, &d1x, &d1z);
  GetPerpIntersection(bx, bz, px, pz, cx, cz, &d2x, &d2z);
  float ix = 0, iz = 0;
  if (GetLineLength(px, pz, d1x, d1z) <= GetLineLength(px, pz, d2x, d2z)) {
    // Slide along B-P; the segment from A turns in steps. The cursor carries the grab offset.
    *x = d2x + fx;
    *z = d2z + fz;
    SnapCursorToAngleConstraint(ax, az, x, z, 0);
    GetIntersection(ax, az, *x, *z, bx, bz, px, pz, &ix, &iz);
  } else {
    *x = d1x + fx;
    *z = d1z + fz;
    SnapCursorToAngleConstraint(bx, bz, x, z, 0);
    GetIntersection(bx, bz, *x, *z, ax, az, px, pz, &ix, &iz);
  }
  if (BeyondLimit(ix, iz)) {
    *x = cx;
    *z = cz;
    snappedPlusGrab();
    return;
  }
  *x = ix + fx;
  *z = iz + fz;
}

void RefuseSegmentStep(const Poinz* p, const Poinz* q) {
  if (gPrevTranslateWallSegPt1.floatH < -999990.0f || gPrevTranslateWallSegPt1.floatV < -999990.0f) {
    gPrevTranslateWallSegPt1 = gTranslateWallSegPt1 = FloatPoint{p->position[0], p->position[2]};
    gPrevTranslateWallSegPt2 = gTranslateWallSegPt2 = FloatPoint{q->position[0], q->position[2]};
    return;
  }
  gTranslateWallSegPt1 = gPrevTranslateWallSegPt1;
  gTranslateWallSegPt2 = gPrevTranslateWallSegPt2;
}

// One end of the moved segment: where the neighbouring segment (from `n` through `end`) meets
// the moved line, or the moved end when the neighbour runs on in line. False: the step is
// refused or decided (*done set).
enum class EndResult { kPlaced, kRefused, kParallel };
EndResult PlaceEnd(const Poinz* n, const Poinz* end, const Poinz* other, float movedX, float movedZ, float otherMovedX,
                   float otherMovedZ, FloatPoint* out) {
  out->floatH = movedX;
  out->floatV = movedZ;
  if (!n) return EndResult::kPlaced;
  const float nx = n->position[0], nz = n->position[2];
  const float ex = end->position[0], ez = end->position[2];
  const float ox = other->position[0], oz = other->position[2];
  if (!Turns(DirectionDegrees(ox, oz, nx, nz), DirectionDegrees(ox, oz, ex, ez))) return EndResult::kPlaced;
  float ix = 0, iz = 0;
  GetIntersection(nx, nz, ex, ez, movedX, movedZ, otherMovedX, otherMovedZ, &ix, &iz);
  if (BeyondLimit(ix, iz)) return EndResult::kParallel;
  if (GetLineLength(ix, iz, nx, nz) < kLeastNeighbourLength) return EndResult::kRefused;
  out->floatH = ix;
  out->floatV = iz;
  return EndResult::kPlaced;
}

void DragSegment(ClickInfo* click, float downX, float downZ, float* x, float* z) {
  Poinz* p = click->hitPoint;
  Poinz* q = click->segmentEnd;
  const Objex* owner = click->hitObject;
  const DocState* ds = CurDocState();
  if (owner->pointCount > 2 && !(*x == downX && *z == downZ)) SnapToGrid(x, z);
  const float dx = *x - downX, dz = *z - downZ;
  const float px = p->position[0], pz = p->position[2], qx = q->position[0], qz = q->position[2];
  if (ShiftHeld()) {
    gTranslateWallSegPt1 = FloatPoint{px + dx, pz + dz};
    gTranslateWallSegPt2 = FloatPoint{qx + dx, qz + dz};
    return;
  }
  float fx = 0, fz = 0;
  GetPerpIntersection(px, pz, qx, qz, *x, *z, &fx, &fz);
  float vx = *x - fx, vz = *z - fz;
  if (owner->pointCount < 3) {
    // The cursor keeps the offset as it was; only the segment moves by whole grid steps.
    const float cursorX = downX + vx, cursorZ = downZ + vz;
    if (ds && ds->snapToGrid && ds->gridSpacing.floatH != 0) {
      const float g = ConvertWorldToScreen(ds->gridSpacing.floatH, ds, 0);
      const float length = std::hypot(vx, vz);
      if (g != 0 && std::isfinite(g) && length > 0) {
        const float cut = NearestGridMultiple(length, g);
        vx = vx / length * cut;
        vz = vz / length * cut;
      }
    }
    gTranslateWallSegPt1 = FloatPoint{px + vx, pz + vz};
    gTranslateWallSegPt2 = FloatPoint{qx + vx, qz + vz};
    *x = cursorX;
    *z = cursorZ;
    return;
  }
  Poinz* a = PreviousNeighbour(owner, p, p, q);
  Poinz* b = NextNeighbour(owner, q, p, q);
  if (!a || !b) {
    // An end segment of an open outline moves across itself; the free end follows.
    gTranslateWallSegPt1 = FloatPoint{px + vx, pz + vz};
    gTranslateWallSegPt2 = FloatPoint{qx + vx, qz + vz};
    *x = downX + vx;
    *z = downZ + vz;
    return;
  }
  const float p2x = px + vx, p2z = pz + vz, q2x = qx + vx, q2z = qz + vz;
  FloatPoint first, second;
  auto parallel = [&] {
    gTranslateWallSegPt1 = FloatPoint{*x, *z};
    gTranslateWallSegPt2 = FloatPoint{*x - px + qx, *z - pz + qz};
  };
  EndResult r = PlaceEnd(a, p, q, p2x, p2z, q2x, q2z, &first);
  if (r == EndResult::kParallel) return parallel();
  if (r == EndResult::kRefused) return RefuseSegmentStep(p, q);
  r = PlaceEnd(b, q, p, q2x, q2z, p2x, p2z, &second);
  if (r == EndResult::kParallel) return parallel();
  if (r == EndResult::kRefused) return RefuseSegmentStep(p, q);
  if (GetLineLength(first.floatH, first.floatV, second.floatH, second.floatV) < kLeastSegmentLength)
    return RefuseSegmentStep(p, q);
  gTranslateWallSegPt1 = first;
  gTranslateWallSegPt2 = second;
}

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
  // With the grid on, every corner of a click-by-click outline goes to its nearest grid node,
  // the later ones as the first: a step in angle with a length along the pointer would leave
  // the nodes, and a rectangle clicked on the grid would come out skewed.
  const DocState* ds = CurDocState();
  const bool onGrid = ds && ds->snapToGrid && ds->gridSpacing.floatH != 0 && ds->gridSpacing.floatV != 0;
  AngleSteps(originX, originZ, x, z, !onGrid && gTrackingPoly && (!ShiftHeld() || force), 5);
}

void SnapCursorToCustomAngleConstraint(float originX, float originZ, float* x, float* z, uint8_t force,
                                       int32_t step) {
  AngleSteps(originX, originZ, x, z, ShiftHeld() || force, step);
}

void SnapCursorToSegmentConstraint(ClickInfo* click, float downX, float downZ, float* x, float* z) {
  if (downX == kTrackUnset && downZ == kTrackUnset) return;
  if (!CurDocState() || !x || !z || !click || !gTrackingMouse) return;
  if (!click->hitObject || !click->hitPoint) return;
  if (click->pointHit) DragPoint(click, downX, downZ, x, z);
  else if (click->segmentHit && click->segmentEnd) DragSegment(click, downX, downZ, x, z);
}
