// Grid snapping.
#include "model/Grid.h"

#include <cmath>

#include "model/DocState.h"
#include "model/PlanarTransforms.h"

namespace {
// Truncates toward zero to a whole number in the 16-bit range of window coordinates (a
// whole number: -0.5 gives 0, never -0).
float Trunc16(float v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<float>(static_cast<int32_t>(std::trunc(std::fmax(-32768.0f, std::fmin(32767.0f, v)))));
}
}  // namespace

int Snap3DPointToGrid(const DocState* ds, float* x, float* y, float* z) {
  if (!ds || !x || !y || !z || !ds->snapToGrid) return 0;
  float gh = ConvertWorldToScreen(ds->gridSpacing.floatH, ds, 0);
  float gv = ConvertWorldToScreen(ds->gridSpacing.floatV, ds, 0);
  if (gh == 0 || gv == 0 || !std::isfinite(gh) || !std::isfinite(gv)) return 0;
  *x = gh * std::floor(Trunc16(*x) / gh);
  *z = gv * std::floor(Trunc16(*z) / gv);
  return 1;
}

int SnapPointToGrid(const DocState* ds, int32_t h, int32_t v, FloatPoint* out) {
  if (!ds || !out) return 0;
  float gh = ConvertWorldToScreen(ds->gridSpacing.floatH, ds, 1);
  float gv = ConvertWorldToScreen(ds->gridSpacing.floatV, ds, 1);
  if (gh == 0 || gv == 0 || !std::isfinite(gh) || !std::isfinite(gv)) return 0;
  out->floatH = gh * std::floor(static_cast<float>(h) / gh + 0.5f);
  out->floatV = gv * std::floor(static_cast<float>(v) / gv + 0.5f);
  return 1;
}
