// Polar offsets, rounding and projection of plan points for the text, dimension and door drawing.
#include "plandraw/PlanPoints.h"

#include "model/Globals.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/ViewProjection.h"

NSPoint PolarOffset(float angle, float length) {
  NSPoint p;
  GetPointFromLengthAndAngle(angle, length, &p.x, &p.y);
  return p;
}

float AngleBetween(NSPoint a, NSPoint b, float* length) {
  float l = 0;
  const float angle = GetLineLengthAndAngle(a.x, a.y, b.x, b.y, &l);
  if (length) *length = l;
  return angle;
}

float AngleBetween(PlanXZ a, PlanXZ b, float* length) { return AngleBetween(NSPoint{a.x, a.z}, NSPoint{b.x, b.z}, length); }

int16_t Trunc16(float v) {
  if (!(v > -32768.0f)) return -32768;
  if (!(v < 32767.0f)) return 32767;
  return static_cast<int16_t>(v);
}

void ProjectModelPoint(float* x, float* y, float* z) {
  ConversionToIsometric(x, y, z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset, gGlobalYOffset,
                        gGlobalZOffset, 1);
  if (gPerspective) AddPerspective(x, y, z, gViewDistance, 0, 0, 0);
}

void ProjectModelPoint(float* x, float* y, float* z, float zoom) {
  if (zoom != 1.0f) {
    *x *= zoom;
    *y *= zoom;
    *z *= zoom;
  }
  ConversionToIsometric(x, y, z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset, gGlobalYOffset,
                        gGlobalZOffset, 0);
  if (gPerspective) AddPerspective(x, y, z, gViewDistance, 0, 0, 0);
}

NSPoint ProjectPlanPoint(float x, float z) {
  float y = 0;
  ProjectModelPoint(&x, &y, &z);
  return {x, y};
}

NSPoint ProjectPlanPointFlat(float x, float z) {
  float y = 0;
  ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset, gGlobalYOffset,
                        gGlobalZOffset, 1);
  return {x, y};
}

NSPoint PrintScaled(NSPoint p) {
  if (gPrinting) {
    p.x *= gHPrintScale;
    p.y *= gVPrintScale;
  }
  return p;
}
