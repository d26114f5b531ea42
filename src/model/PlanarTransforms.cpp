// Elementary 2D transforms of one point, unit conversion between inches, world
// units and plan units, and the zoom arithmetic of the current document.
#include "model/PlanarTransforms.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Records.h"

namespace {

constexpr float kDefaultPlanScale = 36.0f;
constexpr float kMinUsablePlanScale = 0.001f;
constexpr float kMinUsableZoom = 0.001f;
constexpr float kMaxUsableZoom = 1000.0f;

// trunc(v + 0.5) kept within the 32-bit range.
int32_t RoundHalfUpTruncated(double v) {
  v += 0.5;
  if (std::isnan(v)) return 0;
  v = std::clamp(v, -2147483648.0, 2147483647.0);
  return static_cast<int32_t>(v);
}

}  // namespace

void Translate(float* x, float* y, float dx, float dy) {
  if (!x || !y) return;
  *x += dx;
  *y += dy;
}

float GetTranslate(float a, float b) { return b - a; }

void Scale(float* x, float* y, float cx, float cy, float sx, float sy) {
  if (!x || !y) return;
  *x = cx + (*x - cx) * sx;
  *y = cy + (*y - cy) * sy;
}

float GetScale(float a, float b, float c) {
  float denominator = a - c;
  if (denominator == 0) return 1.0f;
  return (b - c) / denominator;
}

void Shear(float ax, float ay, float bx, float by, float* x, float* y, float cx, float cy) {
  if (!x || !y) return;
  float h = (ay - cy) == 0 ? 0.0f : (*y - cy) / (ay - cy) * (bx - ax);
  if (ax - cx == 0) {
    *x += h;
    return;
  }
  float v = (*x - cx) / (ax - cx) * (by - ay);
  *x += h;
  *y += v;
}

void Rotate(float* x, float* y, float cx, float cy, float angle) {
  if (!x || !y) return;
  float length = 0;
  float a = GetLineLengthAndAngle(cx, cy, *x, *y, &length);
  float dx = 0, dy = 0;
  GetPointFromLengthAndAngle(a + angle, length, &dx, &dy);
  *x = cx + dx;
  *y = cy + dy;
}

float GetRotate(float a, float b) {
  constexpr double pi = std::numbers::pi;
  if (static_cast<double>(a) > pi) a = static_cast<float>(a - 2 * pi);
  if (static_cast<double>(b) > pi) b = static_cast<float>(b - 2 * pi);
  return b - a;
}

float ConvertMMToInches(float v) { return static_cast<float>(v * 0.03937); }
float ConvertInchesToMM(float v) { return static_cast<float>(v / 0.03937); }
float ConvertCMToInches(float v) { return static_cast<float>(v * 0.3937); }
float ConvertInchesToCM(float v) { return static_cast<float>(v / 0.3937); }
float ConvertDMToInches(float v) { return static_cast<float>(v * 3.937); }
float ConvertInchesToDM(float v) { return static_cast<float>(v / 3.937); }
float ConvertMetersToInches(float v) { return static_cast<float>(v * 39.37); }
float ConvertInchesToMeters(float v) { return static_cast<float>(v / 39.37); }
float ConvertFeetToInches(float v) { return v * 12.0f; }
float ConvertInchesToFeet(float v) { return v / 12.0f; }
float ConvertYardsToInches(float v) { return v * 36.0f; }
float ConvertInchesToYards(float v) { return v / 36.0f; }
float ConvertMilesToInches(float v) { return v * 63360.0f; }
float ConvertInchesToMiles(float v) { return v / 63360.0f; }
float ConvertInchesToPixels(float v) { return 72.0f * v; }

float UsablePlanScale(const DocState* docState) {
  if (!docState) return kDefaultPlanScale;
  float scale = docState->planScale;
  if (!std::isfinite(scale) || scale <= 0) return kDefaultPlanScale;
  return std::max(scale, kMinUsablePlanScale);
}

float ConvertWorldToScreen(float value, const DocState* docState, int zoom) {
  if (!docState) return value;
  float v = GetInchesFromWorld(value, docState) / UsablePlanScale(docState) * 72.0f;
  return zoom ? ZoomF(v) : v;
}

float ConvertScreenToWorld(float value, const DocState* docState, int zoom) {
  if (!docState) return value;
  float v = GetWorldFromInches(value / 72.0f * UsablePlanScale(docState), docState);
  return zoom ? ZoomF(v) : v;
}

float CurrentZoomFactor() {
  const DocState* ds = CurDocState();
  if (!ds) return 1.0f;
  float f = ds->zoomFactor;
  if (!std::isfinite(f) || f <= 0) return 1.0f;
  return std::clamp(f, kMinUsableZoom, kMaxUsableZoom);
}

float ZoomF(float v) {
  float f = CurrentZoomFactor();
  return f == 1.0f ? v : v * f;
}

float UnzoomF(float v) {
  float f = CurrentZoomFactor();
  return f == 1.0f ? v : v / f;
}

int32_t ZoomL(int32_t v) {
  float f = CurrentZoomFactor();
  return f == 1.0f ? v : RoundHalfUpTruncated(static_cast<double>(f * static_cast<float>(v)));
}

int32_t UnzoomL(int32_t v) {
  float f = CurrentZoomFactor();
  return f == 1.0f ? v : RoundHalfUpTruncated(static_cast<double>(static_cast<float>(v) / f));
}

void ZoomFRect(FloatRect* rect) {
  if (!rect) return;
  rect->floatTop = ZoomF(rect->floatTop);
  rect->floatLeft = ZoomF(rect->floatLeft);
  rect->floatBottom = ZoomF(rect->floatBottom);
  rect->floatRight = ZoomF(rect->floatRight);
}

void UnzoomFRect(FloatRect* rect) {
  if (!rect) return;
  rect->floatTop = UnzoomF(rect->floatTop);
  rect->floatLeft = UnzoomF(rect->floatLeft);
  rect->floatBottom = UnzoomF(rect->floatBottom);
  rect->floatRight = UnzoomF(rect->floatRight);
}

void ZoomLRect(RECT* rect) {
  if (!rect) return;
  rect->left = ZoomL(rect->left);
  rect->top = ZoomL(rect->top);
  rect->right = ZoomL(rect->right);
  rect->bottom = ZoomL(rect->bottom);
}

void ZoomRect(RECT* rect) {
  if (!rect || CurrentZoomFactor() == 1.0f) return;
  rect->left = static_cast<int16_t>(ZoomL(rect->left));
  rect->top = static_cast<int16_t>(ZoomL(rect->top));
  rect->right = static_cast<int16_t>(ZoomL(rect->right));
  rect->bottom = static_cast<int16_t>(ZoomL(rect->bottom));
}

void ZoomPoinz(Poinz* point) {
  if (!point) return;
  float f = CurrentZoomFactor();
  if (f == 1.0f) return;
  point->position[0] *= f;
  point->position[1] *= f;
  point->inHandle[0] *= f;
  point->inHandle[1] *= f;
  point->outHandle[0] *= f;
  point->outHandle[1] *= f;
}

float GetMinZoom() {
  const DocState* ds = CurDocState();
  if (!ds) return 0.01f;
  float w = ds->lotSize.floatH, d = ds->lotSize.floatV;
  if (ds->lotSizeUnits == 2) {
    w = ConvertInchesToFeet(ConvertMetersToInches(w));
    d = ConvertInchesToFeet(ConvertMetersToInches(d));
  }
  struct Row {
    float feet, zoom;
  };
  static constexpr Row kRows[] = {{1500, 0.01f}, {1000, 0.015f}, {500, 0.025f}, {450, 0.035f},
                                  {400, 0.04f},  {350, 0.045f},  {300, 0.05f},  {200, 0.055f},
                                  {100, 0.06f}};
  for (const Row& row : kRows)
    if (w > row.feet || d > row.feet) return row.zoom;
  return 0.045f;
}

int PinMaxZoom(DocState* docState) {
  if (!docState) return 0;
  const FloatRect& b = docState->planBounds;
  // Inverted bounds span the same extent.
  double extent = std::max(std::fabs(static_cast<double>(b.floatRight) - b.floatLeft),
                           std::fabs(static_cast<double>(b.floatBottom) - b.floatTop));
  if (!(extent > 0) || !std::isfinite(extent)) return 0;
  double limit = std::floor(32000.0 / extent);
  // Beyond 32000 units the whole-number limit would be 0: keep the exact ratio instead.
  if (limit < 1) limit = 32000.0 / extent;
  if (docState->zoomFactor > limit) {
    docState->zoomFactor = static_cast<float>(limit);
    return 1;
  }
  return 0;
}

int32_t TruncToInt32(double v) {
  if (!std::isfinite(v)) return v > 0 ? INT32_MAX : (v < 0 ? INT32_MIN : 0);
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}
