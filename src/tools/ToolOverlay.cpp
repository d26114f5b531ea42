// Overlay drawing shared by the drawing tools.
#include "tools/ToolOverlay.h"

#include <climits>
#include <cmath>
#include <cstdint>

#include "model/Globals.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/ViewProjection.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/TrackingState.h"

namespace {

// The dimension routines draw only for two owners; nothing is read through them.
const char kLiveDimensionOwner = 0;

float RoundWhole(float v) { return std::trunc(v + 0.5f); }

}  // namespace

void DrawDimensionLineNoOffset(float x1, float, float z1, float x2, float, float z2) {
  if (!MainViewDynamicDrawEngine()) return;
  ::DrawDimensionLineNoOffset(nullptr, x1, z1, x2, z2, x1, z1, x2, z2, 1, 0.0f, 1, &kLiveDimensionOwner,
                              &kLiveDimensionOwner, 0, 0, 0.0f, 0, nullptr);
}

void DrawLiveDimensionLine(float x1, float z1, float x2, float z2, float offset, uint8_t side) {
  if (!MainViewDynamicDrawEngine()) return;
  DrawDimensionLine(nullptr, x1, z1, x2, z2, x1, z1, x2, z2, side, offset, 1, &kLiveDimensionOwner,
                    &kLiveDimensionOwner, 0, 0, offset, 0, nullptr);
}

void AppendOverlayModelLine(ZLKDynamicDrawEngine* overlay, float x1, float y1, float z1, float x2, float y2,
                            float z2) {
  if (!overlay) return;
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
  overlay->appendLineToActivePathWithStartPoint(NSMakePoint(RoundWhole(x1), RoundWhole(y1)),
                                                NSMakePoint(RoundWhole(x2), RoundWhole(y2)));
}

bool DragBelowMouseLimit() {
  const float travel = GetLineLength(static_cast<float>(gStartMouse.x), static_cast<float>(gStartMouse.y),
                                     static_cast<float>(gEndMouse.x), static_cast<float>(gEndMouse.y));
  return travel < gMouseModeLimit;
}

void ClearToolOverlay() {
  if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) overlay->removePointsFromAllPaths();
}

void AbandonShortDrag() {
  ResetStandardTool(1);
  ClearToolOverlay();
}

int32_t RoundToLong(float v) {
  const double r = std::trunc(static_cast<double>(v) + 0.5);
  if (!(r > -2147483648.0)) return std::isnan(r) ? 0 : INT32_MIN;
  if (r > 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(r);
}

int16_t RoundToShort(float v) {
  const int32_t r = RoundToLong(v);
  return static_cast<int16_t>(r < -32768 ? -32768 : r > 32767 ? 32767 : r);
}

void SnapTo15Degrees(float fromX, float fromZ, float* x, float* z) {
  float length = 0;
  const float angle = GetLineLengthAndAngle(fromX, fromZ, *x, *z, &length);
  if (length == 0) return;
  const double degrees = angle * 180.0 / 3.14159265358979323846;
  const double snapped = std::trunc(degrees / 15 + 0.5) * 15;
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(static_cast<float>(snapped * 3.14159265358979323846 / 180.0), length, &dx, &dz);
  *x = fromX + dx;
  *z = fromZ + dz;
}

void PlaneToModel(int16_t plane, float a, float b, float third, float* x, float* y, float* z) {
  if (plane == 3) *z = a, *y = b, *x = third;
  else if (plane == 1) *x = a, *y = b, *z = third;
  else *x = a, *z = b, *y = third;
}

void ModelToPlane(int16_t plane, float x, float y, float z, float* a, float* b, float* third) {
  if (plane == 3) *a = z, *b = y, *third = x;
  else if (plane == 1) *a = x, *b = y, *third = z;
  else *a = x, *b = z, *third = y;
}
