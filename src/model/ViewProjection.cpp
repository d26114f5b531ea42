// The view transform of the plan, elevation, isometric and perspective views: the
// rotation and its inverse, the perspective step, and the plane of the working grid.
#include "model/ViewProjection.h"

#include <cmath>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarTransforms.h"

float gXViewAngle = 90.0f;
float gYViewAngle = 0.0f;
float gViewFactor = 6.0f;
uint8_t gPerspective = 0;
float gSinXAngle = 0, gCosXAngle = 0, gSinYAngle = 0, gCosYAngle = 0;
float gGlobalXOffset = 0, gGlobalYOffset = -96.0f, gGlobalZOffset = 0;
float gViewDistance = 600.0f;
float gPiDiv180 = 0.017453292f;
float gGridC1 = 1.0f, gGridC2 = 1.0f, gGridC3 = 1.0f, gGridCONST = 1.0f;

void ComputeRotationAboutArbitraryAxis(float* x, float* y, float* z, float cosX, float sinX, float cosY,
                                       float sinY, float offsetX, float offsetY, float offsetZ) {
  if (!x || !y || !z) return;
  float px = *x, py = *y, pz = *z;
  if (gPerspective) {
    px *= gViewFactor;
    py *= gViewFactor;
    pz *= gViewFactor;
    offsetX *= gViewFactor;
    offsetY *= gViewFactor;
    offsetZ *= gViewFactor;
  }
  float X = px - offsetX, Y = py - offsetY, Z = pz - offsetZ;
  float x1 = X * cosY - Z * sinY;
  float z1 = X * sinY + Z * cosY;
  *x = x1;
  *y = Y * cosX + z1 * sinX;
  *z = z1 * cosX - Y * sinX;
}

void ComputeInverseRotationAboutArbitraryAxis(float* x, float* y, float* z, float cosX, float sinX,
                                              float cosY, float sinY, float offsetX, float offsetY,
                                              float offsetZ) {
  if (!x || !y || !z) return;
  float vx = *x, vy = *y, vz = *z;
  float z1 = vz * cosX + vy * sinX;
  float Y = vy * cosX - vz * sinX;
  float X = z1 * sinY + vx * cosY;
  float Z = z1 * cosY - vx * sinY;
  // A view factor of 0 would have collapsed the point; leave it unscaled rather than divide by 0.
  if (gPerspective && gViewFactor != 0) {
    X /= gViewFactor;
    Y /= gViewFactor;
    Z /= gViewFactor;
  }
  *x = X + offsetX;
  *y = Y + offsetY;
  *z = Z + offsetZ;
}

void AddPerspective(float* x, float* y, float* z, float distance, float dx, float dy, float dz) {
  if (!x || !y || !z) return;
  *x += dx;
  *y += dy;
  *z += dz;
  float q = distance != 0 ? 1 - *z / distance : 1.0f;
  if (q == 0) q = 0.0001f;
  *x /= q;
  *y /= q;
  *z /= q;
}

void RemovePerspective(float* x, float* y, float* z, float distance, float dx, float dy, float dz) {
  if (!x || !y || !z) return;
  if (distance != 0) {
    float denominator = distance + *z;
    if (denominator == 0) denominator = 0.0001f;
    float s = distance / denominator;
    *x *= s;
    *y *= s;
    *z *= s;
  }
  *x -= dx;
  *y -= dy;
  *z -= dz;
}

void ConversionToIsometric(float* x, float* y, float* z, float cosX, float sinX, float cosY, float sinY,
                           float offsetX, float offsetY, float offsetZ, int zoom) {
  if (!x || !y || !z) return;
  if (zoom) {
    // One look-up of the zoom for the three coordinates (as ZoomF scales each).
    const float f = CurrentZoomFactor();
    if (f != 1.0f) {
      *x *= f;
      *y *= f;
      *z *= f;
    }
  }
  ComputeRotationAboutArbitraryAxis(x, y, z, cosX, sinX, cosY, sinY, offsetX, offsetY, offsetZ);
}

void ConvertToIso(float* x1, float* y1, float* z1, float* x2, float* y2, float* z2, int perspective) {
  if (!x1 || !y1 || !z1 || !x2 || !y2 || !z2) return;
  ConversionToIsometric(x1, y1, z1, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                        gGlobalYOffset, gGlobalZOffset, 1);
  ConversionToIsometric(x2, y2, z2, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                        gGlobalYOffset, gGlobalZOffset, 1);
  if (perspective) {
    AddPerspective(x1, y1, z1, gViewDistance, 0, 0, 0);
    AddPerspective(x2, y2, z2, gViewDistance, 0, 0, 0);
  }
}

void CalcParametric(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3,
                    float z3, float* a, float* b, float* c, float* d) {
  if (!a || !b || !c || !d) return;
  float ux = x2 - x1, uy = y2 - y1, uz = z2 - z1;
  float vx = x3 - x1, vy = y3 - y1, vz = z3 - z1;
  *a = uy * vz - vy * uz;
  *b = uz * vx - ux * vz;
  *c = ux * vy - uy * vx;
  *d = *a * x1 + *b * y1 + *c * z1;
}

float ComputePointOnPlane(float x, float y, float a, float b, float c, float d) {
  float numerator = d - a * x - b * y;
  return c == 0 ? numerator : numerator / c;
}

namespace {

struct GridPoints {
  float p[3][3];
};

// Three points of the plane of the working grid through `w` (the coordinate along
// the plane's normal), each coordinate zoomed.
GridPoints WorkingPlanePoints(const DocState* ds, float w, bool defaultForOther) {
  float L = ds->planBounds.floatLeft, R = ds->planBounds.floatRight;
  float T = ds->planBounds.floatTop, B = ds->planBounds.floatBottom;
  GridPoints g;
  switch (ds->viewPlane) {
    case 2: g = {{{L, w, T}, {R, w, T}, {R, w, B}}}; break;
    case 3: g = {{{w, T, L}, {w, T, R}, {w, B, R}}}; break;
    case 1: g = {{{L, T, w}, {R, T, w}, {R, B, w}}}; break;
    default:
      g = {{{-100, defaultForOther ? 0 : w, -100}, {100, defaultForOther ? 0 : w, -100},
            {100, defaultForOther ? 0 : w, 100}}};
      break;
  }
  for (auto& point : g.p)
    for (float& v : point) v = ZoomF(v);
  return g;
}

void PlaneThrough(GridPoints& g, float cosX, float sinX, float cosY, float sinY, bool perspective,
                  float* a, float* b, float* c, float* d) {
  for (auto& point : g.p) {
    ComputeRotationAboutArbitraryAxis(&point[0], &point[1], &point[2], cosX, sinX, cosY, sinY,
                                      gGlobalXOffset, gGlobalYOffset, gGlobalZOffset);
    if (perspective) AddPerspective(&point[0], &point[1], &point[2], gViewDistance, 0, 0, 0);
  }
  CalcParametric(g.p[0][0], g.p[0][1], g.p[0][2], g.p[1][0], g.p[1][1], g.p[1][2], g.p[2][0], g.p[2][1],
                 g.p[2][2], a, b, c, d);
}

}  // namespace

void SetUpForRotationAboutArbitraryAxis(float angleX, float angleY, float* cosX, float* sinX,
                                        float* cosY, float* sinY, int perspective) {
  if (!cosX || !sinX || !cosY || !sinY) return;
  float ax = angleX * gPiDiv180, ay = angleY * gPiDiv180;
  *cosX = std::cos(ax);
  *sinX = std::sin(ax);
  *cosY = std::cos(ay);
  *sinY = std::sin(ay);
  const DocState* ds = CurDocState();
  if (!ds) return;
  GridPoints g = WorkingPlanePoints(ds, ds->viewPlane == 3   ? ds->viewPoint.floatH
                                        : ds->viewPlane == 1 ? ds->viewPoint.floatD
                                                             : ds->viewPoint.floatV,
                                    true);
  PlaneThrough(g, *cosX, *sinX, *cosY, *sinY, perspective != 0, &gGridC1, &gGridC2, &gGridC3, &gGridCONST);
}

float ComputePointOnPlaneParallelToGrid(float x, float y, float coordinate) {
  const DocState* ds = CurDocState();
  if (!ds) return 0;
  // Any working plane other than 1 and 3 is taken as a plan plane at that height.
  GridPoints g = WorkingPlanePoints(ds, coordinate, false);
  float a, b, c, d;
  PlaneThrough(g, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gPerspective != 0, &a, &b, &c, &d);
  return ComputePointOnPlane(x, y, a, b, c, d);
}
