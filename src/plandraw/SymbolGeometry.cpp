// Plan-point arithmetic and projection of the plan symbols.
#include "plandraw/SymbolGeometry.h"

#include <cmath>

#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/ViewProjection.h"
#include "plandraw/DrawContext.h"

float PlanAngle(PlanPoint from, PlanPoint to) {
  float length = 0;
  return GetLineLengthAndAngle(from.x, from.z, to.x, to.z, &length);
}

PlanPoint Polar(float angle, float length) {
  PlanPoint d;
  GetPointFromLengthAndAngle(angle, length, &d.x, &d.z);
  return d;
}

float WholeCoordinate(float v) {
  if (!std::isfinite(v)) return 0;
  const float r = std::trunc(v + 0.5f);
  if (r > 32767.0f) return 32767.0f;
  if (r < -32768.0f) return -32768.0f;
  return r;
}

void ProjectLine(float x1, float y1, float z1, float x2, float y2, float z2, bool printScale, NSPoint* a,
                 NSPoint* b) {
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
  if (printScale && gPrinting) {
    x1 *= gHPrintScale, x2 *= gHPrintScale;
    y1 *= gVPrintScale, y2 *= gVPrintScale;
  }
  if (a) *a = {WholeCoordinate(x1), WholeCoordinate(y1)};
  if (b) *b = {WholeCoordinate(x2), WholeCoordinate(y2)};
}

NSPoint ProjectPlanPoint(PlanPoint p, bool printScale) {
  NSPoint a;
  ProjectLine(p.x, 0, p.z, p.x, 0, p.z, printScale, &a, nullptr);
  return a;
}

void AppendPlanLine(BezierPath* path, PlanPoint a, PlanPoint b, bool printScale) {
  NSPoint va, vb;
  ProjectLine(a.x, 0, a.z, b.x, 0, b.z, printScale, &va, &vb);
  path->moveToPoint(va);
  path->lineToPoint(vb);
}

void StrokeSymbolPath(DrawContext* ctx, const BezierPath& path) {
  if (!ctx || path.isEmpty()) return;
  StrokeStyle style;
  style.color = ctx->color();
  style.width = 1.0f;
  if (!path.lineDash().empty())
    style.setDash(path.lineDash().data(), static_cast<int>(path.lineDash().size()), path.lineDashPhase());
  ctx->strokePath(path, style);
}
