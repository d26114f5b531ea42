// The line primitives of the plan and the line buffer.
#include "plandraw/LinePrimitives.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/ObjectTransforms.h"
#include "model/RepeatBound.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ViewProjection.h"
#include "plandraw/DrawContext.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/RoofDrawing.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanPoints.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/ZLKDynamicDrawEngine.h"

NSPoint* gAcclLineBuffer = nullptr;
int32_t gAcclLinePointCount = 0;
int32_t gAcclLinePointCap = 0;

namespace {

constexpr int32_t kAcclLineBufferStep = 1000;
// Object types that never shear or rotate with a tracking transform.
constexpr int16_t kObjType200 = 200;

// A view coordinate made whole as paths take it: 0.5 added, truncated toward zero.
// Callers have culled the coordinate to the drawable range first.
float Whole(float v) { return static_cast<float>(static_cast<int16_t>(v + 0.5f)); }

bool InsideDrawableRange(float v) { return v > -kMaxViewCoordinate && v < kMaxViewCoordinate; }

// The stroke of a line of its own, styled by the object's kind.
StrokeStyle StyleForObject(const DrawContext& ctx, const Objex* object, const Poinz* point) {
  static const float kDash3[] = {3, 3};
  static const float kDash18[] = {18, 6};
  StrokeStyle s = ctx.currentStroke();
  switch (object->type) {
    case kObjTopography:
    case kObjPath:
    case kObjRailing:
    case kObjSprinkler:
    case kObjDormerCutout:
      s.setDash(kDash3, 2);
      break;
    case kObjPropertyLine:
    case kObjQuickWall:
      s.setDash(kDash18, 2);
      break;
    case kObjPhotoView:
      s.width = 3;
      break;
    case kObjFence:
      if (point && point->pointType == 6) s.width = 3;
      else s.setDash(kDash3, 2);
      break;
    case kObjCutout:
      if (object->subtype == kSubDeckCutout || object->subtype == kSubSwitchConnector) s.setDash(kDash3, 2);
      break;
    case kObjDetail:
      if (object->subtype == kSubSwitchConnector) s.setDash(kDash3, 2);
      break;
    default:
      break;
  }
  return s;
}

// Copies of the two points with the tracking transform that the flags choose.
void TransformCopies(const Objex* object, Poinz* a, Poinz* b, int32_t flags, const DragTransformInfo* xform) {
  if (!xform) return;
  bool noTurn = object && (object->type == kObjType200 || object->type == kObjDimensionInfo);
  void (*transform)(Poinz*, int32_t, const DragTransformInfo*) = nullptr;
  if (flags & kDrawFlagTranslate) transform = TranslatePoint;
  else if (flags & kDrawFlagScale) transform = ScalePoint;
  else if ((flags & kDrawFlagShear) && !noTurn) transform = ShearPoint;
  else if ((flags & kDrawFlagRotate) && !noTurn) transform = RotatePoint;
  if (!transform) return;
  transform(a, flags, xform);
  transform(b, flags, xform);
}

bool IsZero3(const float v[3]) { return v[0] == 0 && v[1] == 0 && v[2] == 0; }

void ProjectPoint(float* x, float* y, float* z) { ProjectModelPoint(x, y, z); }

struct Spline {
  float a[3], b[3], c[3], d[3];
  Spline(const float p0[3], const float t0[3], const float p1[3], const float t1[3]) {
    for (int k = 0; k < 3; ++k) SetupSpline(p0[k], t0[k], p1[k], t1[k], &a[k], &b[k], &c[k], &d[k]);
  }
  void at(float t, float out[3]) const {
    float t2 = t * t, t3 = t2 * t;
    for (int k = 0; k < 3; ++k) out[k] = GetSplineCoord(a[k], b[k], c[k], d[k], t, t2, t3);
  }
};

// Walks t from 0 by `step` while t <= 1.01 and joins the curve points with lines;
// returns the last two points through `last` and `beforeLast`.
int WalkSpline(DrawContext* handle, const Spline& spline, float step, const Objex* object, const Poinz* point,
               float last[3], float beforeLast[3]) {
  float prev[3] = {}, cur[3] = {};
  int points = 0;
  for (int i = 0;; ++i) {
    float t = static_cast<float>(i) * step;
    if (!(t <= 1.01f)) break;
    spline.at(t, cur);
    if (points > 0) DrawLine(handle, prev[0], prev[1], prev[2], cur[0], cur[1], cur[2], 0, object, point);
    for (int k = 0; k < 3; ++k) {
      beforeLast[k] = prev[k];
      prev[k] = last[k] = cur[k];
    }
    ++points;
  }
  return points;
}

}  // namespace

void ForEachCurveLine(const Poinz& a, const Poinz& b, int32_t segments,
                      const std::function<void(const float from[3], const float to[3])>& line) {
  const float step = segments < 8 ? 0.125f : (segments > 20 ? 0.05f : 1.0f / static_cast<float>(segments));
  const Spline spline(a.position, a.outHandle, b.position, b.inHandle);
  float prev[3] = {}, cur[3];
  for (int i = 0;; ++i) {
    const float t = static_cast<float>(i) * step;
    if (!(t <= 1.01f)) break;
    spline.at(t, cur);
    if (i > 0) line(prev, cur);
    for (int k = 0; k < 3; ++k) prev[k] = cur[k];
  }
}

void DrawLine(DrawContext* handle, float x1, float y1, float z1, float x2, float y2, float z2, uint8_t zoom,
              const Objex* object, const Poinz* point) {
  if (zoom && !gPrinting) {
    x1 = ZoomF(x1), y1 = ZoomF(y1), z1 = ZoomF(z1);
    x2 = ZoomF(x2), y2 = ZoomF(y2), z2 = ZoomF(z2);
  }
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
  if (gPrinting) {
    x1 *= gHPrintScale, x2 *= gHPrintScale;
    y1 *= gVPrintScale, y2 *= gVPrintScale;
  }
  if (!InsideDrawableRange(x1) || !InsideDrawableRange(y1) || !InsideDrawableRange(x2) ||
      !InsideDrawableRange(y2))
    return;

  if (gDynamicDrawing) {
    if (ZLKDynamicDrawEngine* engine = MainViewDynamicDrawEngine())
      engine->appendLineToActivePathWithStartPoint({Whole(x1), Whole(y1)}, {Whole(x2), Whole(y2)});
    return;
  }
  if (gTransformationDrawing) {
    ZLKDynamicDrawEngine* engine = MainViewDynamicDrawEngine();
    if (ZLKDynamicTransformElement* element = engine ? engine->activeTransformElement() : nullptr)
      element->appendPathWithLineFromPoint({Whole(x1), Whole(y1)}, {Whole(x2), Whole(y2)});
    return;
  }
  if (!object) return;
  if ((object->type == kObjSymbolPart3D && object->parent && object->parent->type == kObjGroup) ||
      object->type == kObjEdging) {
    ApplePortAcceleratedDrawLine(x1, y1, x2, y2);
    return;
  }
  DrawContext* ctx = ResolveDrawContext(handle);
  if (!ctx) return;
  const NSPoint line[2] = {{Whole(x1), Whole(y1)}, {Whole(x2), Whole(y2)}};
  ctx->strokeLines(line, 2, StyleForObject(*ctx, object, point));
}

void DrawLinesBetweenPoints(DrawContext* handle, const float* xyz, size_t pointCount, const uint32_t* ends,
                            size_t lineCount, const Objex* object) {
  if (!xyz || !ends) return;
  auto valid = [&](size_t k) { return ends[2 * k] < pointCount && ends[2 * k + 1] < pointCount; };
  auto point = [&](size_t i) { return xyz + 3 * i; };
  // The overlays and the buffered kinds take their lines one at a time.
  if (gDynamicDrawing || gTransformationDrawing || !object ||
      (object->type == kObjSymbolPart3D && object->parent && object->parent->type == kObjGroup) ||
      object->type == kObjEdging) {
    for (size_t k = 0; k < lineCount; ++k) {
      if (!valid(k)) continue;
      const float* a = point(ends[2 * k]);
      const float* b = point(ends[2 * k + 1]);
      DrawLine(handle, a[0], a[1], a[2], b[0], b[1], b[2], 0, object, nullptr);
    }
    return;
  }
  DrawContext* ctx = ResolveDrawContext(handle);
  if (!ctx) return;
  // Each point as DrawLine projects an end: projected, print-scaled, checked, made whole.
  struct Projected {
    NSPoint at;
    bool drawable;
  };
  thread_local std::vector<Projected> projected;
  projected.resize(pointCount);
  const float zoom = CurrentZoomFactor();
  for (size_t i = 0; i < pointCount; ++i) {
    float x = point(i)[0], y = point(i)[1], z = point(i)[2];
    ProjectModelPoint(&x, &y, &z, zoom);
    if (gPrinting) {
      x *= gHPrintScale;
      y *= gVPrintScale;
    }
    const bool drawable = InsideDrawableRange(x) && InsideDrawableRange(y);
    projected[i] = {drawable ? NSPoint{Whole(x), Whole(y)} : NSPoint{}, drawable};
  }
  const StrokeStyle style = StyleForObject(*ctx, object, nullptr);
  // One line to a call, as DrawLine gives them: which lines a context strokes together can
  // change their end pixels.
  for (size_t k = 0; k < lineCount; ++k) {
    if (!valid(k)) continue;
    const Projected& a = projected[ends[2 * k]];
    const Projected& b = projected[ends[2 * k + 1]];
    if (!a.drawable || !b.drawable) continue;
    const NSPoint line[2] = {a.at, b.at};
    ctx->strokeLines(line, 2, style);
  }
}

void Draw2DLine(int16_t x1, int16_t y1, int16_t x2, int16_t y2, uint8_t zoom) {
  int32_t a = x1, b = y1, c = x2, d = y2;
  if (zoom) a = ZoomL(a), b = ZoomL(b), c = ZoomL(c), d = ZoomL(d);
  const NSPoint from{static_cast<float>(a), static_cast<float>(b)};
  const NSPoint to{static_cast<float>(c), static_cast<float>(d)};
  if (gDynamicDrawing) {
    if (ZLKDynamicDrawEngine* engine = MainViewDynamicDrawEngine())
      engine->appendLineToActivePathWithStartPoint(from, to);
    return;
  }
  if (DrawContext* ctx = gCurrentDrawContext) {
    const NSPoint line[2] = {from, to};
    ctx->strokeLines(line, 2, ctx->currentStroke());
  }
}

void DrawObjectSegment(DrawContext* handle, Objex* object, Poinz* pointA, Poinz* pointB, int32_t drawFlags,
                       const DragTransformInfo* transform) {
  const DocState* ds = CurDocState();
  if (!pointA || !pointB || !ds) return;
  if (object && object->type == kObjFence && pointA->pointType == 6) {
    if (DrawContext* ctx = ResolveDrawContext(handle))
      ctx->setColor((drawFlags & (kDrawFlagRed | kDrawFlagRedAlt)) ? kDrawBlack
                                                                     : DrawColorFromRGB(gPlanDrawSettings.penColor));
  }
  // The points themselves, or copies moved by the tracking transform.
  Poinz movedA, movedB;
  if (transform) {
    movedA = *pointA;
    movedB = *pointB;
    TransformCopies(object, &movedA, &movedB, drawFlags, transform);
  }
  const Poinz& a = transform ? movedA : *pointA;
  const Poinz& b = transform ? movedB : *pointB;

  if (IsZero3(a.outHandle) && IsZero3(b.inHandle)) {
    DrawLine(handle, a.position[0], a.position[1], a.position[2], b.position[0], b.position[1], b.position[2], 0,
             object, pointA);
    if (object && object->subtype == kSubStraightStair) {
      float ax = a.position[0], ay = a.position[1], az = a.position[2];
      float bx = b.position[0], by = b.position[1], bz = b.position[2];
      ConvertToIso(&ax, &ay, &az, &bx, &by, &bz, gPerspective);
      DrawStairArrowhead(handle, object, bx, by, ax, ay);
    }
    return;
  }

  int32_t n = ds->curveSegments;
  if (gRealTimeDraw) n = std::max<int32_t>(n / 2, 1);
  n = ZoomL(n);
  float step = n < 8 ? 0.125f : (n > 20 ? 0.05f : 1.0f / static_cast<float>(n));
  const Spline spline(a.position, a.outHandle, b.position, b.inHandle);
  float last[3] = {}, beforeLast[3] = {};
  int points = WalkSpline(handle, spline, step, object, pointA, last, beforeLast);
  if (object && object->subtype == kSubCurvedStair && points >= 2) {
    ProjectPoint(&last[0], &last[1], &last[2]);
    ProjectPoint(&beforeLast[0], &beforeLast[1], &beforeLast[2]);
    DrawStairArrowhead(handle, object, last[0], last[1], beforeLast[0], beforeLast[1]);
  }
}

void DrawLinkSegment(DrawContext* handle, Objex* object, Poinz* pointA, Poinz* pointB, int32_t drawFlags,
                     const DragTransformInfo* transform) {
  if (!pointA || !pointB) return;
  Poinz a = *pointA, b = *pointB;
  TransformCopies(object, &a, &b, drawFlags, transform);
  if (IsZero3(a.linkVector) && IsZero3(b.linkVector)) {
    DrawLine(handle, a.position[0], a.position[1], a.position[2], b.position[0], b.position[1], b.position[2], 0,
             object, pointA);
    return;
  }
  const DocState* ds = CurDocState();
  int32_t n = ds ? CurveSamples(ds, 1, 0) : 10;
  float step;
  if (gRealTimeDraw) {
    // Halved below one step: the link is drawn as one line.
    n /= 2;
    step = n < 1 ? 1.0f : 1.0f / static_cast<float>(n);
  } else {
    // No steps at all: the step is unbounded, so the walk ends at its first point and
    // nothing is drawn.
    if (n < 1) return;
    step = 1.0f / static_cast<float>(n);
  }
  const Spline spline(a.position, a.linkVector, b.position, b.linkVector);
  float last[3], beforeLast[3];
  WalkSpline(handle, spline, step, object, pointA, last, beforeLast);
}

bool AllocateAcclLineBuffer() {
  if (gAcclLineBuffer) return true;
  gAcclLineBuffer = static_cast<NSPoint*>(malloc(sizeof(NSPoint) * kAcclLineBufferStep));
  gAcclLinePointCount = 0;
  gAcclLinePointCap = gAcclLineBuffer ? kAcclLineBufferStep : 0;
  return gAcclLineBuffer != nullptr;
}

void FreeAcclLineBuffer() {
  free(gAcclLineBuffer);
  gAcclLineBuffer = nullptr;
  gAcclLinePointCount = gAcclLinePointCap = 0;
}

void ApplePortAcceleratedDrawLine(float x1, float y1, float x2, float y2) {
  if (!gAcclLineBuffer) return;
  if (gAcclLinePointCount + 2 > gAcclLinePointCap) {
    if (gAcclLinePointCap > INT32_MAX - kAcclLineBufferStep) {
      FreeAcclLineBuffer();
      return;
    }
    int32_t cap = gAcclLinePointCap + kAcclLineBufferStep;
    auto* grown = static_cast<NSPoint*>(realloc(gAcclLineBuffer, sizeof(NSPoint) * static_cast<size_t>(cap)));
    if (!grown) {
      FreeAcclLineBuffer();
      return;
    }
    gAcclLineBuffer = grown;
    gAcclLinePointCap = cap;
  }
  gAcclLineBuffer[gAcclLinePointCount++] = {x1, y1};
  gAcclLineBuffer[gAcclLinePointCount++] = {x2, y2};
}

void StrokeAcclLineBuffer(DrawContext* handle) {
  DrawContext* ctx = ResolveDrawContext(handle);
  if (ctx && gAcclLineBuffer && gAcclLinePointCount >= 2)
    ctx->strokeLines(gAcclLineBuffer, static_cast<size_t>(gAcclLinePointCount), ctx->currentStroke());
  gAcclLinePointCount = 0;
}

void DrawPageBreaks(DrawContext*) {}
void DrawMoveTo(int16_t, int16_t) {}
void DrawLineTo(int16_t, int16_t) {}
void AdjustPtList(POINT*, int32_t) {}
void DrawCrosshair(int16_t, int16_t) {}
