// Grid snapping.
#include "model/Grid.h"

#include <cmath>

#include "model/DocState.h"
#include "model/PlanarTransforms.h"

namespace {
// A coordinate kept within the 16-bit range of window coordinates (a non-finite one is 0).
float Clamp16(float v) {
  if (!std::isfinite(v)) return 0;
  return std::fmax(-32768.0f, std::fmin(32767.0f, v));
}
}  // namespace

float NearestGridMultiple(float value, float step) {
  if (!(step != 0) || !std::isfinite(step)) return value;
  const double steps = std::floor(static_cast<double>(Clamp16(value)) / step + 0.5);
  return static_cast<float>(steps * step) + 0.0f;  // never a negative zero
}

int Snap3DPointToGrid(const DocState* ds, float* x, float* y, float* z) {
  if (!ds || !x || !y || !z || !ds->snapToGrid) return 0;
  float gh = ConvertWorldToScreen(ds->gridSpacing.floatH, ds, 0);
  float gv = ConvertWorldToScreen(ds->gridSpacing.floatV, ds, 0);
  if (gh == 0 || gv == 0 || !std::isfinite(gh) || !std::isfinite(gv)) return 0;
  *x = NearestGridMultiple(*x, gh);
  *z = NearestGridMultiple(*z, gv);
  return 1;
}

int SnapPointToGrid(const DocState* ds, int32_t h, int32_t v, FloatPoint* out) {
  if (!ds || !out) return 0;
  float gh = ConvertWorldToScreen(ds->gridSpacing.floatH, ds, 1);
  float gv = ConvertWorldToScreen(ds->gridSpacing.floatV, ds, 1);
  if (gh == 0 || gv == 0 || !std::isfinite(gh) || !std::isfinite(gv)) return 0;
  out->floatH = NearestGridMultiple(static_cast<float>(h), gh);
  out->floatV = NearestGridMultiple(static_cast<float>(v), gv);
  return 1;
}
