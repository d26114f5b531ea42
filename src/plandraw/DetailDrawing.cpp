// Detail shapes, plants and foundation piers in plan.
#include "plandraw/DetailDrawing.h"

#include <cmath>
#include <string>
#include <vector>

#include "model/Bounds.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/ObjectTransforms.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "model/ViewProjection.h"
#include "platform/Strings.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DrawContext.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/LineStyles.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlanText.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/SymbolGeometry.h"
#include "plandraw/ZLKDynamicDrawEngine.h"

int16_t gPolyPtCount = 0;
uint8_t gPolyHappening = 0;

namespace {

bool IsVertex(const Poinz* p) { return p->pointType != 2 && p->pointType != 4; }
bool IsZero3(const float v[3]) { return v[0] == 0 && v[1] == 0 && v[2] == 0; }

void ReleaseKeptOutline(Objex* object) {
  if (object->cocoaObject) ReleasePlanPath(static_cast<PlanPath*>(object->cocoaObject));
  object->cocoaObject = nullptr;
}

// The outline's points in order, for the hit test.
PlanPath* OutlineOf(const BezierPath& path) {
  std::vector<FloatPoint> points;
  for (const BezierPath::Element& e : path.elements())
    if (e.kind == BezierPath::ElementKind::MoveTo || e.kind == BezierPath::ElementKind::LineTo)
      points.push_back({e.points[0].x, e.points[0].y});
  return CreatePlanPath(points.data(), static_cast<int32_t>(points.size()));
}

void ApplyDash(BezierPath* path, int16_t penStyle) {
  if (penStyle == kPenSolid) return;
  path->setLineDash(gStyleState.lengths, gStyleState.count, gStyleState.phase);
}

// Where a segment's lines go: the active transform element, or the path.
struct SegmentTarget {
  ZLKDynamicTransformElement* element = nullptr;
  BezierPath* path = nullptr;

  NSPoint place(float x, float y) const {
    if (!element && gPrinting) x *= gHPrintScale, y *= gVPrintScale;
    return {WholeCoordinate(x), WholeCoordinate(y)};
  }
  void line(const float a[3], const float b[3]) const {
    float x1 = a[0], y1 = a[1], z1 = a[2], x2 = b[0], y2 = b[1], z2 = b[2];
    ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
    const NSPoint from = place(x1, y1), to = place(x2, y2);
    if (gPolyPtCount == 0) {
      if (element) element->moveToPoint(from);
      else path->moveToPoint(from);
      ++gPolyPtCount;
    }
    if (element) element->lineToPoint(to);
    else path->lineToPoint(to);
    ++gPolyPtCount;
  }
};

void TransformCopy(Poinz* p, int32_t flags, const DragTransformInfo* transform) {
  if (!transform) return;
  if (flags & kDrawFlagTranslate) TranslatePoint(p, flags, transform);
  else if (flags & kDrawFlagScale) ScalePoint(p, flags, transform);
  else if (flags & kDrawFlagShear) ShearPoint(p, flags, transform);
  else if (flags & kDrawFlagRotate) RotatePoint(p, flags, transform);
}

}  // namespace

void ApplePortDrawDetailObject(Objex* object, int32_t drawFlags, const DragTransformInfo* transform) {
  DocState* ds = CurDocState();
  if (!gCurDocument || !ds || !CanObjectBeDrawn(object, drawFlags)) return;
  int32_t width = GetLineWeight(object, 1);
  if (width == 0 && transform) width = 1;
  if (object->penStyle != kPenSolid) LoadStyle(object->penStyle, &gStyleState, object->width);
  if (object->fillPattern > 0 && object->closed && !transform) gPolyHappening = 1;

  BezierPath path;
  Poinz* first = object->firstPoint;
  while (first && !IsVertex(first)) first = first->next;
  if (first) {
    Poinz* previous = first;
    for (Poinz* p = first->next; p; p = p->next) {
      if (!IsVertex(p)) continue;
      ApplePortDrawDetailObjectSegment(object, previous, p, drawFlags, transform, &path);
      previous = p;
    }
    if (object->closed) ApplePortDrawDetailObjectSegment(object, previous, first, drawFlags, transform, &path);
  }

  if (gPolyHappening) {
    ReleaseKeptOutline(object);
    object->cocoaObject = OutlineOf(path);
    path.closePath();
    ApplyDash(&path, object->penStyle);
    if (Base2DView* view = MainDocumentView()) {
      const RGBColor background = PlanBackgroundColor(ds);
      view->drawDetailPatternObject(&path, object->fillPattern, &gPlanDrawSettings.penColor, &background, width);
    }
    gPolyHappening = 0;
  } else if (!transform) {
    ReleaseKeptOutline(object);
    if (DrawContext* ctx = gCurrentDrawContext) {
      ctx->setColor(DrawColorFromRGB(gPlanDrawSettings.penColor));
      if (object->closed) path.closePath();
      ApplyDash(&path, object->penStyle);
      path.setLineWidth(static_cast<float>(width));
      ctx->strokePathWithOwnStyle(path);
    }
  }
  gPolyPtCount = 0;
}

void ApplePortDrawDetailObjectSegment(Objex* object, Poinz* pointA, Poinz* pointB, int32_t drawFlags,
                                      const DragTransformInfo* transform, BezierPath* path) {
  const DocState* ds = CurDocState();
  if (!pointA || !pointB || !gCurDocument || !ds) return;
  SegmentTarget target;
  if (gTransformationDrawing) {
    ZLKDynamicDrawEngine* engine = MainViewDynamicDrawEngine();
    target.element = engine ? engine->activeTransformElement() : nullptr;
    if (!target.element) return;
  } else {
    if (!path) return;
    target.path = path;
  }
  Poinz a = *pointA, b = *pointB;
  TransformCopy(&a, drawFlags, transform);
  TransformCopy(&b, drawFlags, transform);
  if (IsZero3(a.outHandle) && IsZero3(b.inHandle)) {
    target.line(a.position, b.position);
    return;
  }
  ForEachCurveLine(a, b, ZoomL(ds->curveSegments),
                   [&](const float from[3], const float to[3]) { target.line(from, to); });
}

void DrawPlant(DrawContext* handle, Objex* plant) {
  const Poinz* p1 = plant ? plant->firstPoint : nullptr;
  const Poinz* p2 = p1 ? p1->next : nullptr;
  const Poinz* p3 = p2 ? p2->next : nullptr;
  DrawContext* ctx = ResolveDrawContext(handle);
  if (!p3 || !ctx) return;
  const float cx = (p1->position[0] + p2->position[0]) / 2, cz = (p2->position[2] + p3->position[2]) / 2;
  const float r = (p2->position[0] - p1->position[0]) / 2;
  BezierPath path;
  for (int i = 0; i < 6; ++i) {
    const PlanPoint d = Polar(static_cast<float>(i) * 0.5235988f, i % 2 == 0 ? r : 0.9f * r);
    AppendPlanLine(&path, {cx + d.x, cz + d.z}, {cx - d.x, cz - d.z}, true);
  }
  float vx = cx, vy = 0, vz = cz;
  ConversionToIsometric(&vx, &vy, &vz, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                        gGlobalYOffset, gGlobalZOffset, 1);
  const float radius = std::trunc(ZoomF(0.8f * r) + 0.5f);
  float x = std::trunc(vx + 0.5f) - radius, y = std::trunc(vy + 0.5f) - radius, w = 2 * radius, h = 2 * radius;
  if (gPrinting) x *= gHPrintScale, w *= gHPrintScale, y *= gVPrintScale, h *= gVPrintScale;
  path.appendOvalInRect(NSMakeRect(WholeCoordinate(x), WholeCoordinate(y), WholeCoordinate(w), WholeCoordinate(h)));
  StrokeSymbolPath(ctx, path);
}

void DrawFoundationPier(DrawContext* handle, Objex* pier) {
  const DocState* ds = CurDocState();
  if (!pier || !gCurDocument || !ds) return;
  Poinz* pts[4];
  Poinz* p = pier->firstPoint;
  for (int i = 0; i < 4; ++i, p = p->next) {
    if (!p) return;
    pts[i] = p;
  }
  const float diameter = pier->params[0];
  const float radius = ConvertWorldToScreen(diameter / 2, ds, 0);
  const float cx = (pts[0]->position[0] + pts[2]->position[0]) / 2;
  const float cz = (pts[0]->position[2] + pts[2]->position[2]) / 2;
  const float left = cx - radius, right = cx + radius, top = cz - radius, bottom = cz + radius;
  if (pts[0]->position[0] != left) {
    const float corners[4][2] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    for (int i = 0; i < 4; ++i) {
      pts[i]->position[0] = corners[i][0];
      pts[i]->position[2] = corners[i][1];
    }
    FloatRect bounds{32000, 32000, -32000, -32000};
    GetObjectBounds(pier, 0, &bounds, 0, 0);
    pier->bounds = bounds;
    Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
    GetObject3DBounds(pier, 0, &box, 0);
    pier->bounds3D = box;
  }
  float x1 = left, y1 = 0, z1 = top, x2 = right, y2 = 0, z2 = bottom;
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
  float x = x1, y = y1, w = x2 - x1, h = y2 - y1;
  if (gPrinting) x *= gHPrintScale, w *= gHPrintScale, y *= gVPrintScale, h *= gVPrintScale;
  BezierPath oval;
  oval.appendOvalInRect(NSMakeRect(WholeCoordinate(x), WholeCoordinate(y), WholeCoordinate(w), WholeCoordinate(h)));
  StrokeSymbolPath(ResolveDrawContext(handle), oval);
  char readout[256] = {};
  ConvertInchesToStr(diameter, readout);
  std::string label = LocalizedString("%s DIA");
  if (const size_t at = label.find("%s"); at != std::string::npos) label.replace(at, 2, readout);
  DrawNormalText(handle, label.c_str(), right + 33.0f, cz, 0.0f);
}
