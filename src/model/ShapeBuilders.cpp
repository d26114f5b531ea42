// Shape builders: polygons from point arrays, rectangles, ovals, regular polygons,
// lines, arcs and the click-by-click polyline and spline, with their starting style.
#include "model/ShapeBuilders.h"

#include <cmath>
#include <numbers>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/ExtrudeFlip.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/ObjectTransforms.h"
#include "model/ParallelObjects.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/TextureFace.h"

namespace {

struct ShapeStyle {
  RGBColor pen{65535, 65535, 65535};
  RGBColor fill{0, 0, 0};
  int16_t penStyle = 6;
  float weight = 1.0f;
  int16_t pattern = 0;
};

ShapeStyle StyleFor(uint8_t useStyle) {
  ShapeStyle style;
  const DocState* ds = CurDocState();
  if (useStyle && ds) {
    style.pen = ds->newPenColor;
    style.fill = ds->newFillColor;
    style.penStyle = ds->newPenStyle;
    style.weight = static_cast<float>(ds->newLineWeight);
    style.pattern = gPattern;
  }
  return style;
}

int32_t RoundCorner(float v) {
  double r = std::trunc(static_cast<double>(v) + 0.5);
  if (!(r >= -32768)) return -32768;
  if (r > 32767) return 32767;
  return static_cast<int16_t>(r);
}

// The rectangle of two corners, each coordinate rounded to a whole number.
FloatRect CornerRect(float x1, float y1, float x2, float y2) {
  RECT r;
  Point2Rect(RoundCorner(x1), RoundCorner(y1), RoundCorner(x2), RoundCorner(y2), &r);
  return FloatRect{static_cast<float>(r.top), static_cast<float>(r.left), static_cast<float>(r.bottom),
                   static_cast<float>(r.right)};
}

// Without a current document and its DocState no shape is made: the object would come out
// zeroed and without points.
Objex* NewShape(int16_t type, uint8_t closed, const ShapeStyle& style, const FloatRect* rect, Layer* layer) {
  if (!CurDocState()) return nullptr;
  return CreateObject(type, closed, 1, &style.pen, &style.fill, style.weight, style.penStyle, style.pattern, rect,
                      nullptr, nullptr, nullptr, layer, nullptr);
}

void AddPoint(Objex* obj, int16_t kind, float x, float y, float z, float hx = 0, float hy = 0) {
  if (Poinz* p = CreatePoint(kind, 1, 0, hx, hy, 0, x, y, z, hx, hy, 0, 0, 0, 0, obj)) AppendPointToObject(p, obj);
}

// Centre, radius and axis factors of the shape between two corners.
struct EllipseFrame {
  double cx, cy;
  float r;
  float sx = 1, sy = 1;
  bool scaled = false;
};

EllipseFrame FrameOf(float x1, float y1, float x2, float y2) {
  float w = x2 - x1, h = y2 - y1;
  EllipseFrame f{x1 + w / 2.0, y1 + h / 2.0, (w > h ? w : h) / 2};
  if (w != h) {
    f.scaled = true;
    if (w > h) f.sy = GetScale(w, h, 0);
    else f.sx = GetScale(h, w, 0);
  }
  return f;
}

struct HermiteArc {
  float x0, tx0, tx1, x1, y0, ty0, ty1, y1;
  void rotate(float angle) {
    Rotate(&x0, &y0, 0, 0, angle);
    Rotate(&x1, &y1, 0, 0, angle);
    Rotate(&tx0, &ty0, 0, 0, angle);
    Rotate(&tx1, &ty1, 0, 0, angle);
  }
};

HermiteArc RadiusSpline(float sweep, float radius) {
  HermiteArc a{};
  BuildRadiusSpline(sweep, radius, &a.x0, &a.tx0, &a.tx1, &a.x1, &a.y0, &a.ty0, &a.ty1, &a.y1);
  return a;
}

void RefreshBounds(Objex* obj) { UpdateObjectBounds(obj); }

// Restores the working plane on every exit of an arc build.
class PlaneGuard {
 public:
  explicit PlaneGuard(DocState* ds) : ds_(ds), saved_(ds->viewPlane) { ds->viewPlane = 1; }
  ~PlaneGuard() { ds_->viewPlane = saved_; }

 private:
  DocState* ds_;
  int16_t saved_;
};

enum class ArcKind { kPlaced, kTemporary, kIncrement };

Objex* BuildAnyArc(ArcKind kind, float x1, float y1, float x2, float y2, float start, float sweep, Layer* layer,
                   uint8_t useStyle, float w, int16_t plane, float increment) {
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  PlaneGuard guard(ds);
  if (x1 == x2 && y1 == y2) return nullptr;
  if (kind == ArcKind::kPlaced && !layer) return nullptr;
  if (!std::isfinite(sweep) || !std::isfinite(start)) return nullptr;
  EllipseFrame f = FrameOf(x1, y1, x2, y2);
  double segments;
  if (kind == ArcKind::kPlaced) {
    segments = std::trunc(std::fabs(sweep) / 90 + 1);
  } else if (kind == ArcKind::kTemporary || !(increment != 0) || !std::isfinite(sweep / increment)) {
    // Without a usable increment the arc is split as the plain temporary arc is.
    segments = std::ceil(std::fabs(sweep) / 90);
  } else {
    segments = std::ceil(std::fabs(sweep / increment));
  }
  if (segments < 1) segments = 1;
  if (segments > 3600) segments = 3600;
  int n = static_cast<int>(segments);
  float s = sweep / static_cast<float>(n);
  HermiteArc arc = RadiusSpline(static_cast<float>(s * std::numbers::pi / 180), f.r);
  FloatRect rect = CornerRect(x1, y1, x2, y2);
  Objex* obj = kind == ArcKind::kPlaced ? NewShape(kObjArc, 0, StyleFor(useStyle), &rect, layer)
                                        : NewShape(kObjArc, 0, ShapeStyle{}, &rect, nullptr);
  if (!obj) return nullptr;
  if (sweep == 0) return obj;
  float third = kind == ArcKind::kPlaced ? 0 : w;
  float cx = static_cast<float>(f.cx), cy = static_cast<float>(f.cy);
  arc.rotate(static_cast<float>((start + sweep - s / 2) * std::numbers::pi / 180));
  AddPoint(obj, 5, cx + arc.x0, cy + arc.y0, third, arc.tx0, arc.ty0);
  AddPoint(obj, 5, cx + arc.x1, cy + arc.y1, third, arc.tx1, arc.ty1);
  float back = static_cast<float>(-s * std::numbers::pi / 180);
  arc.rotate(back);
  for (int i = 1; i < n; ++i) {
    arc.rotate(back);
    AddPoint(obj, 5, cx + arc.x0, cy + arc.y0, third, arc.tx0, arc.ty0);
  }
  if (kind == ArcKind::kPlaced) {
    AddPoint(obj, 4, cx, cy, 0);
    AppendObjectToLayer(obj, layer);
  }
  if (f.scaled) {
    TransformInfo xform{};
    xform.scale[0] = f.sx;
    xform.scale[1] = f.sy;
    xform.scale[2] = 1;
    xform.centre[0] = cx;
    xform.centre[1] = cy;
    ScaleObject(obj, &xform);
  }
  if (kind != ArcKind::kPlaced) {
    if (plane == 2) ConvertXYtoXZ(obj);
    else if (plane == 3) ConvertXYtoZY(obj);
  }
  RefreshBounds(obj);
  return obj;
}

Objex* BuildClickPoly(Objex* object, float x, float y, float z, Layer* layer, int16_t phase, uint8_t useStyle,
                      bool spline, int16_t plane) {
  if (!layer) return nullptr;
  switch (phase) {
    case 1: {
      ShapeStyle style = StyleFor(useStyle);
      FloatRect rect{};
      Objex* obj = NewShape(kObjOpenPoly, 0, style, &rect, layer);
      if (!obj) return nullptr;
      if (Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, x, y, z, 0, 0, 0, 0, 0, 0, obj)) AppendPointToObject(p, obj);
      AppendObjectToLayer(obj, layer);
      obj->levels = 1;
      if (!spline)
        if (const DocState* ds = CurDocState()) obj->planMask = ds->newObjectPlanMask;
      return obj;
    }
    case 2:
      if (!object) return nullptr;
      if (Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, x, y, z, 0, 0, 0, 0, 0, 0, object))
        AppendPointToObject(p, object);
      RefreshBounds(object);
      object->levels = 1;
      return object;
    case 3:
      if (!object) return nullptr;
      RefreshBounds(object);
      object->levels = 1;
      SelectObj(object, 1, 0);
      if (spline) {
        if (plane == 1 || plane == 2) {
          SmoothObject(object);
        } else if (plane == 3) {
          ConvertXYtoZY(object);
          SmoothObject(object);
          ConvertXYtoZY(object);
        }
        RefreshBounds(object);
      }
      return object;
    default:
      return nullptr;
  }
}

}  // namespace

Objex* BuildGeneralPoly(const float* positions1, const float* positions2, const float* inHandles1,
                        const float* outHandles1, const float* inHandles2, const float* outHandles2, int32_t count,
                        Layer* layer, uint8_t useStyle, int16_t type, uint8_t closed, uint8_t addToLayer) {
  if (!positions1 || !inHandles1 || !outHandles1 || !layer) return nullptr;
  FloatRect empty = EmptyFloatRect();
  Objex* obj = NewShape(type, closed, StyleFor(useStyle), &empty, layer);
  if (!obj) return nullptr;
  // The points go on after the last one made, so that a long outline is built in linear time.
  Poinz* tail = nullptr;
  auto add = [&](const float* in, const float* pos, const float* out) {
    if (Poinz* p = CreatePoint(1, 1, 0, in[0], in[1], in[2], pos[0], pos[1], pos[2], out[0], out[1], out[2], 0, 0, 0,
                               obj)) {
      InsertPointInObject(p, obj, tail);
      tail = p;
    }
  };
  for (int32_t i = 0; i < count; ++i) add(inHandles1 + 3 * i, positions1 + 3 * i, outHandles1 + 3 * i);
  bool secondRing = positions2 && inHandles2 && outHandles2;
  if (secondRing)
    for (int32_t i = 0; i < count; ++i) add(inHandles2 + 3 * i, positions2 + 3 * i, outHandles2 + 3 * i);
  if (addToLayer) AppendObjectToLayer(obj, layer);
  // Two levels only when the second ring is really on the list.
  obj->levels = secondRing ? 2 : 1;
  RefreshBounds(obj);
  if (closed && addToLayer && obj->levels >= 2) VerifyObjectDirection(obj, 1);
  return obj;
}

Objex* BuildOpenPoly(const float* positions1, const float* positions2, const float* inHandles1,
                     const float* outHandles1, const float* inHandles2, const float* outHandles2, int32_t count,
                     Layer* layer, uint8_t useStyle) {
  Objex* obj = BuildGeneralPoly(positions1, positions2, inHandles1, outHandles1, inHandles2, outHandles2, count,
                                layer, useStyle, kObjOpenPoly, 0, 1);
  if (obj) SetObjectPointLengths(obj);
  return obj;
}

Objex* BuildClosedPoly(const float* positions1, const float* positions2, const float* inHandles1,
                       const float* outHandles1, const float* inHandles2, const float* outHandles2, int32_t count,
                       Layer* layer, uint8_t useStyle) {
  Objex* obj = BuildGeneralPoly(positions1, positions2, inHandles1, outHandles1, inHandles2, outHandles2, count,
                                layer, useStyle, kObjClosedPoly, 1, 1);
  if (!obj) return nullptr;
  ValidateCapDirection(obj);
  SetTextureFaceUV(obj);
  SetObjectPointLengths(obj);
  return obj;
}

Objex* BuildRect(float x1, float y1, float x2, float y2, Layer* layer, uint8_t useStyle) {
  if (!layer || (x1 == x2 && y1 == y2)) return nullptr;
  FloatRect rect = CornerRect(x1, y1, x2, y2);
  Objex* obj = NewShape(kObjRect, 1, StyleFor(useStyle), &rect, layer);
  if (!obj) return nullptr;
  AddPoint(obj, 1, x1, y1, 0);
  AddPoint(obj, 1, x2, y1, 0);
  AddPoint(obj, 1, x2, y2, 0);
  AddPoint(obj, 1, x1, y2, 0);
  AppendObjectToLayer(obj, layer);
  obj->levels = 1;
  return obj;
}

Objex* BuildLine(float x1, float y1, float x2, float y2, Layer* layer, uint8_t useStyle) {
  if (!layer || (x1 == x2 && y1 == y2)) return nullptr;
  FloatRect rect = CornerRect(x1, y1, x2, y2);
  Objex* obj = NewShape(kObjLine, 0, StyleFor(useStyle), &rect, layer);
  if (!obj) return nullptr;
  AddPoint(obj, 1, x1, y1, 0);
  AddPoint(obj, 1, x2, y2, 0);
  AppendObjectToLayer(obj, layer);
  return obj;
}

Objex* BuildOval(float x1, float y1, float x2, float y2, Layer* layer, uint8_t useStyle) {
  if (!layer || (x1 == x2 && y1 == y2)) return nullptr;
  EllipseFrame f = FrameOf(x1, y1, x2, y2);
  HermiteArc quarter = RadiusSpline(static_cast<float>(std::numbers::pi / 2), f.r);
  quarter.rotate(0.7853982f);
  // The turned arc leaves the top along x: its first tangent is (k, 0), k signed like r.
  float k = quarter.tx0;
  float rx = f.r * f.sx, ry = f.r * f.sy, kx = k * f.sx, ky = k * f.sy;
  FloatRect rect = CornerRect(x1, y1, x2, y2);
  Objex* obj = NewShape(kObjOval, 1, StyleFor(useStyle), &rect, layer);
  if (!obj) return nullptr;
  float cx = static_cast<float>(f.cx), cy = static_cast<float>(f.cy);
  AddPoint(obj, 1, cx, cy - ry, 0, kx, 0);
  AddPoint(obj, 1, cx + rx, cy, 0, 0, ky);
  AddPoint(obj, 1, cx, cy + ry, 0, -kx, 0);
  AddPoint(obj, 1, cx - rx, cy, 0, 0, -ky);
  AppendObjectToLayer(obj, layer);
  return obj;
}

Objex* BuildMulti(float centreX, float centreY, float cornerX, float cornerY, Layer* layer, int16_t sides,
                  uint8_t useStyle, float w) {
  float r = 0;
  float angle = GetLineLengthAndAngle(centreX, centreY, cornerX, cornerY, &r);
  FloatRect rect = CornerRect(centreX - r, centreY - r, centreX + r, centreY + r);
  if (!layer) return nullptr;
  Objex* obj = NewShape(kObjMultigon, 1, StyleFor(useStyle), &rect, layer);
  if (!obj) return nullptr;
  for (int16_t i = 1; i <= sides; ++i) {
    angle = static_cast<float>(angle + 2 * std::numbers::pi / sides);
    float dx = 0, dy = 0;
    GetPointFromLengthAndAngle(angle, r, &dx, &dy);
    AddPoint(obj, 1, centreX + dx, centreY + dy, w);
  }
  AppendObjectToLayer(obj, layer);
  return obj;
}

Objex* BuildPoly(Objex* object, int32_t, int32_t, int32_t, float x, float y, float z, Layer* layer, int16_t phase,
                 uint8_t useStyle) {
  return BuildClickPoly(object, x, y, z, layer, phase, useStyle, false, 0);
}

Objex* BuildSpline(Objex* object, int32_t, int32_t, int32_t, float x, float y, float z, Layer* layer,
                   int16_t phase, uint8_t useStyle, int16_t plane) {
  return BuildClickPoly(object, x, y, z, layer, phase, useStyle, true, plane);
}

Objex* BuildArc(float x1, float y1, float x2, float y2, float startAngle, float sweep, Layer* layer,
                uint8_t useStyle) {
  return BuildAnyArc(ArcKind::kPlaced, x1, y1, x2, y2, startAngle, sweep, layer, useStyle, 0, 0, 0);
}

Objex* BuildTempArc(float x1, float y1, float x2, float y2, float startAngle, float sweep, float w, int16_t plane) {
  return BuildAnyArc(ArcKind::kTemporary, x1, y1, x2, y2, startAngle, sweep, nullptr, 0, w, plane, 0);
}

Objex* BuildTempArcGivenIncrement(float x1, float y1, float x2, float y2, float startAngle, float sweep, float w,
                                  int16_t plane, float increment) {
  return BuildAnyArc(ArcKind::kIncrement, x1, y1, x2, y2, startAngle, sweep, nullptr, 0, w, plane, increment);
}
