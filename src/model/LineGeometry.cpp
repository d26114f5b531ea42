// Line and spline geometry: Hermite segments, lengths and angles, slopes,
// intersections, and the jittered projection of the anti-aliasing passes.
#include "model/LineGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Records.h"
#include "model/RepeatBound.h"
#include "model/ViewProjection.h"

float gRemainingLength = 0;

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

bool IsStraight3(const float* out, const float* in) {
  return out[0] == 0 && out[1] == 0 && out[2] == 0 && in[0] == 0 && in[1] == 0 && in[2] == 0;
}

// The 16-bit rounding test of the older slope routines: dx + 0.5 truncates to 0.
bool RoundsToVertical(float dx) {
  float v = dx + 0.5f;
  return v > -1.0f && v < 1.0f;
}

// Clamps a screen coordinate and rounds it half up to a 16-bit value.
int16_t RoundScreen(float v) {
  if (std::isnan(v)) return 0;
  v = std::clamp(v, -32767.0f, 32767.0f);
  return static_cast<int16_t>(static_cast<int32_t>(v + 0.5f));
}

void ProjectForBounds(float& x, float& y, float& z) {
  ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                        gGlobalYOffset, gGlobalZOffset, 1);
  if (gPerspective) AddPerspective(&x, &y, &z, gViewDistance, 0, 0, 0);
}

}  // namespace

int CurrentCurveSegments() {
  const DocState* ds = CurDocState();
  return ds ? CurveSamples(ds, 1, 1) : 10;
}

void SetupSpline(float p0, float t0, float p1, float t1, float* a, float* b, float* c, float* d) {
  if (!a || !b || !c || !d) return;
  *a = 2 * p0 - 2 * p1 + t0 + t1;
  *b = -3 * p0 + 3 * p1 - 2 * t0 - t1;
  *c = t0;
  *d = p0;
}

void SetupSequencedSpline(float p0, float p1, float t0, float t1, float* a, float* b, float* c, float* d) {
  SetupSpline(p0, t0, p1, t1, a, b, c, d);
}

float GetSplineCoord(float a, float b, float c, float d, float t, float t2, float t3) {
  return a * t3 + b * t2 + c * t + d;
}

float GetTangentSplineCoord(float a, float b, float c, float t, float t2) {
  return 3 * a * t2 + 2 * b * t + c;
}

void GetUniformTensionDeriv(float previous, float next, float tension, float* out) {
  if (out) *out = tension * next - tension * previous;
}

void GetSplineCoordinate(const Poinz* p0, const Poinz* p1, float t, float* x, float* y, float* z) {
  if (!p0 || !p1 || !x || !y) return;
  float t2 = t * t, t3 = t2 * t;
  float out[3];
  for (int axis = 0; axis < 3; ++axis) {
    float a, b, c, d;
    SetupSpline(p0->position[axis], p0->outHandle[axis], p1->position[axis], p1->inHandle[axis], &a, &b,
                &c, &d);
    out[axis] = GetSplineCoord(a, b, c, d, t, t2, t3);
  }
  *x = out[0];
  *y = out[1];
  if (z) *z = out[2];
}

void BuildRadiusSpline(float sweep, float radius, float* x0, float* tx0, float* tx1, float* x1,
                       float* y0, float* ty0, float* ty1, float* y1) {
  if (!x0 || !tx0 || !tx1 || !x1 || !y0 || !ty0 || !ty1 || !y1) return;
  double h = sweep / 2.0;
  double r = radius;
  double bulge = 4.0 * (1.0 - std::cos(h)) * r;
  double tanH = std::tan(h);
  *x0 = *x1 = static_cast<float>(r * std::cos(h));
  *y0 = static_cast<float>(-r * std::sin(h));
  *y1 = static_cast<float>(r * std::sin(h));
  *tx0 = static_cast<float>(bulge);
  *tx1 = static_cast<float>(-bulge);
  // (1 - cos h) / tan h tends to 0 with h: a zero sweep has zero tangents.
  *ty0 = *ty1 = tanH == 0 ? 0.0f : static_cast<float>(bulge / tanH);
}

void GetSplineBounds(float x0, float tx0, float tx1, float x1, float y0, float ty0, float ty1, float y1,
                     float z0, float tz0, float tz1, float z1, RECT* rect) {
  if (!rect) return;
  float px[4] = {x0, x0 + tx0, x1 - tx1, x1};
  float py[4] = {y0, y0 + ty0, y1 - ty1, y1};
  float pz[4] = {z0, z0 + tz0, z1 - tz1, z1};
  float minX = 0, maxX = 0, minY = 0, maxY = 0;
  for (int i = 0; i < 4; ++i) {
    ProjectForBounds(px[i], py[i], pz[i]);
    if (i == 0 || px[i] < minX) minX = px[i];
    if (i == 0 || px[i] > maxX) maxX = px[i];
    if (i == 0 || py[i] < minY) minY = py[i];
    if (i == 0 || py[i] > maxY) maxY = py[i];
  }
  Point2Rect(RoundScreen(minX), RoundScreen(minY), RoundScreen(maxX), RoundScreen(maxY), rect);
}

float GetSegmentLength(const Objex* object, const Poinz* p0, const Poinz* p1) {
  if (!object || !p0 || !p1) return 0;
  if (IsStraight3(p0->outHandle, p1->inHandle))
    return GetLineLength(p0->position[0], p0->position[2], p1->position[0], p1->position[2]);
  float step = 1.0f / static_cast<float>(CurrentCurveSegments());
  float ax, bx, cx, dx, az, bz, cz, dz;
  SetupSpline(p0->position[0], p0->outHandle[0], p1->position[0], p1->inHandle[0], &ax, &bx, &cx, &dx);
  SetupSpline(p0->position[2], p0->outHandle[2], p1->position[2], p1->inHandle[2], &az, &bz, &cz, &dz);
  float length = 0, lastX = 0, lastZ = 0;
  bool first = true;
  for (float t = 0; static_cast<double>(t) <= 1.01; t += step) {
    float t2 = t * t, t3 = t2 * t;
    float x = GetSplineCoord(ax, bx, cx, dx, t, t2, t3);
    float z = GetSplineCoord(az, bz, cz, dz, t, t2, t3);
    if (!first) length += GetLineLength(lastX, lastZ, x, z);
    first = false;
    lastX = x;
    lastZ = z;
  }
  return length;
}

float GetObjectLength(const Objex* object) {
  if (!object || object->levels != 1 || !object->firstPoint) return 0;
  switch (object->type) {
    case kObjWall: case kObjPropertyLine: case kObjPath: case kObjEdging: case kObjFence:
    case kObjFill: case kObjGroundFill: case kObjStaircase: case kObjRailing:
      break;
    default:
      return 0;
  }
  float length = 0;
  const Poinz* p = object->firstPoint;
  for (; p->next; p = p->next) length += GetSegmentLength(object, p, p->next);
  if (object->closed) length += GetSegmentLength(object, p, object->firstPoint);
  return length;
}

float GetLineLength(float x1, float y1, float x2, float y2) {
  float dx = x2 - x1, dy = y2 - y1;
  return std::sqrt(dx * dx + dy * dy);
}

float Get3DLineLength(float x1, float y1, float z1, float x2, float y2, float z2) {
  float dx = x2 - x1, dy = y2 - y1, dz = z2 - z1;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

float GetLineLengthAndAngle(float x1, float y1, float x2, float y2, float* length) {
  if (!length) return 0;
  float dx = x2 - x1;
  float len = GetLineLength(x1, y1, x2, y2);
  *length = len;
  if (len == 0) return 0;
  // Keeps acos within its domain whatever the rounding of the length.
  double cosine = std::clamp(static_cast<double>(dx) / len, -1.0, 1.0);
  double angle = std::acos(cosine);
  if (y2 > y1) angle = kTwoPi - angle;
  return static_cast<float>(angle);
}

void GetPointFromLengthAndAngle(float angle, float length, float* dx, float* dy) {
  if (!dx || !dy) return;
  *dx = length * std::cos(angle);
  *dy = -length * std::sin(angle);
}

void ConvertPiRadiansToQDAngle(float radians, int16_t* degrees) {
  if (!degrees) return;
  float deg = static_cast<float>(radians * 57.29577951308232);
  if (deg < 0) deg += 360;
  float q = 90 - deg;
  if (q < 0) q += 360;
  float rounded = q + 0.5f;
  *degrees = std::isfinite(rounded) ? static_cast<int16_t>(static_cast<int32_t>(rounded)) : 0;
}

int GetPointOnLineFromLength(const Poinz* p0, const Poinz* p1, FloatPoint* out, float length) {
  if (!p0 || !p1 || !out) return 0;
  float x0 = p0->position[0], z0 = p0->position[2];
  float x1 = p1->position[0], z1 = p1->position[2];
  if (p0->outHandle[0] == 0 && p0->outHandle[2] == 0 && p1->inHandle[0] == 0 && p1->inHandle[2] == 0) {
    float segment = 0;
    float angle = GetLineLengthAndAngle(x0, z0, x1, z1, &segment);
    float dx = 0, dz = 0;
    if (segment > 0) GetPointFromLengthAndAngle(angle, length, &dx, &dz);
    out->floatH = x0 + dx;
    out->floatV = z0 + dz;
    return segment >= length ? 1 : 0;
  }
  float ax, bx, cx, dx, az, bz, cz, dz;
  SetupSpline(x0, p0->outHandle[0], x1, p1->inHandle[0], &ax, &bx, &cx, &dx);
  SetupSpline(z0, p0->outHandle[2], z1, p1->inHandle[2], &az, &bz, &cz, &dz);
  float total = 0, lastX = 0, lastZ = 0;
  float t = 0;
  for (int i = 0; i < 102; ++i) {
    float t2 = t * t, t3 = t2 * t;
    float x = GetSplineCoord(ax, bx, cx, dx, t, t2, t3);
    float z = GetSplineCoord(az, bz, cz, dz, t, t2, t3);
    if (i > 0) {
      total += GetLineLength(lastX, lastZ, x, z);
      if (total > length) {
        out->floatH = x;
        out->floatV = z;
        return 1;
      }
    }
    lastX = x;
    lastZ = z;
    t = static_cast<float>(static_cast<double>(t) + 0.01);
  }
  gRemainingLength = length - total;
  return 0;
}

float GetSlope(float x1, float y1, float x2, float y2) {
  float dx = x2 - x1;
  if (RoundsToVertical(dx)) return kSlopeVertical;
  return (y2 - y1) / dx;
}

float FGetSlope(float x1, float y1, float x2, float y2) {
  float dx = x2 - x1;
  if (dx == 0) return kSlopeVertical;
  return (y2 - y1) / dx;
}

float GetYIntercept(float slope, float y, float x) { return y - slope * x; }

namespace {

void PerpendicularFoot(float m, bool vertical, float x1, float y1, float px, float py, float* x, float* y) {
  if (vertical || m == kSlopeVertical) {
    *x = x1;
    *y = py;
    return;
  }
  if (m == 0) {
    *x = px;
    *y = y1;
    return;
  }
  float mp = -1 / m;
  float b = y1 - x1 * m;
  *x = (py - px * mp - b) / (m - mp);
  *y = b + *x * m;
}

void Intersect(float m1, float m2, bool parallel, float x1, float y1, float x3, float y3, float* x,
               float* y) {
  if (parallel) {
    *x = *y = 32000.0f;
    return;
  }
  if (m1 == kSlopeVertical) {
    *x = x1;
    *y = y3 - x3 * m2 + m2 * x1;
    return;
  }
  float b1 = y1 - x1 * m1;
  if (m2 == kSlopeVertical) {
    *x = x3;
    *y = b1 + m1 * x3;
    return;
  }
  *x = (y3 - x3 * m2 - b1) / (m1 - m2);
  *y = b1 + m1 * *x;
}

}  // namespace

void FGetPerpIntersection(float x1, float y1, float x2, float y2, float px, float py, float* x, float* y) {
  if (!x || !y) return;
  float dx = x2 - x1;
  bool vertical = dx == 0;
  PerpendicularFoot(vertical ? 0 : (y2 - y1) / dx, vertical, x1, y1, px, py, x, y);
}

void GetPerpIntersection(float x1, float y1, float x2, float y2, float px, float py, float* x, float* y) {
  if (!x || !y) return;
  float dx = x2 - x1;
  bool vertical = RoundsToVertical(dx);
  PerpendicularFoot(vertical ? 0 : (y2 - y1) / dx, vertical, x1, y1, px, py, x, y);
}

void FGetIntersection(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                      float* x, float* y) {
  if (!x || !y) return;
  float m1 = FGetSlope(x1, y1, x2, y2);
  float m2 = FGetSlope(x3, y3, x4, y4);
  Intersect(m1, m2, m1 == m2, x1, y1, x3, y3, x, y);
}

void GetIntersection(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                     float* x, float* y) {
  if (!x || !y) return;
  float m1 = GetSlope(x1, y1, x2, y2);
  float m2 = GetSlope(x3, y3, x4, y4);
  double diff = static_cast<double>(m1) - static_cast<double>(m2);
  Intersect(m1, m2, diff > -0.001 && diff < 0.001, x1, y1, x3, y3, x, y);
}

void GetIntersectionWithSlope(float slope1, float x1, float y1, float x3, float y3, float x4, float y4, float* x,
                              float* y) {
  if (!x || !y) return;
  float m2 = GetSlope(x3, y3, x4, y4);
  double diff = static_cast<double>(slope1) - static_cast<double>(m2);
  Intersect(slope1, m2, diff > -0.001 && diff < 0.001, x1, y1, x3, y3, x, y);
}

FrustumValues ComputeAccFrustum(double left, double right, double bottom, double top, double zNear,
                                double zFar, double pixdx, double pixdy, double eyedx, double eyedy,
                                double focus, int32_t viewportWidth, int32_t viewportHeight) {
  double width = viewportWidth > 0 ? viewportWidth : 1;
  double height = viewportHeight > 0 ? viewportHeight : 1;
  double eyeX = focus != 0 ? eyedx * zNear / focus : 0;
  double eyeY = focus != 0 ? eyedy * zNear / focus : 0;
  double dx = -(pixdx * (right - left) / width + eyeX);
  double dy = -(pixdy * (top - bottom) / height + eyeY);
  return {left + dx, right + dx, bottom + dy, top + dy, zNear, zFar};
}

FrustumValues ComputeAccPerspective(double fovy, double aspect, double zNear, double zFar, double pixdx,
                                    double pixdy, double eyedx, double eyedy, double focus,
                                    int32_t viewportWidth, int32_t viewportHeight) {
  double h = fovy * std::numbers::pi / 180.0 * 0.5;
  double top = zNear / (std::cos(h) / std::sin(h));
  double bottom = -top;
  double right = top * aspect;
  double left = -right;
  return ComputeAccFrustum(left, right, bottom, top, zNear, zFar, pixdx, pixdy, eyedx, eyedy, focus,
                           viewportWidth, viewportHeight);
}
