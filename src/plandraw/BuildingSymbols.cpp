// Windows, accessories, beams, strands, staircase labels, air ducts and projected lines.
#include "plandraw/BuildingSymbols.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/RepeatBound.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "model/ViewCommands.h"
#include "model/ViewProjection.h"
#include "platform/Strings.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/DrawContext.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanRecordFields.h"
#include "plandraw/PlanText.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/SymbolGeometry.h"

namespace {

constexpr int kLabelSize = 255;

struct Ends {
  PlanPoint p1, p2;
};

bool TwoPoints(const Objex* o, Ends* e) {
  if (!o || !o->firstPoint || !o->firstPoint->next) return false;
  e->p1 = PlanPositionOf(o->firstPoint);
  e->p2 = PlanPositionOf(o->firstPoint->next);
  return true;
}

float Degrees(float radians) { return static_cast<float>(radians * kRadianDegrees); }

std::string Readout(float inches) {
  char text[kLabelSize + 1] = {};
  ConvertInchesToStr(inches, text);
  return text;
}

// The format with each "%s" (or "%ld") replaced in turn by the values; the table's text is
// never used as a printf format. Cut to the label buffer's size.
std::string FillFormat(std::string format, std::initializer_list<std::string> values) {
  size_t from = 0;
  for (const std::string& v : values) {
    const size_t s = format.find("%s", from), l = format.find("%ld", from);
    const size_t at = std::min(s, l);
    if (at == std::string::npos) break;
    format.replace(at, at == l ? 3 : 2, v);
    from = at + v.size();
  }
  if (format.size() > static_cast<size_t>(kLabelSize)) format.resize(kLabelSize);
  return format;
}

// Both plan points through the view, unrounded and not print-scaled (arrowhead input).
void ProjectRaw(PlanPoint a, PlanPoint b, NSPoint* va, NSPoint* vb) {
  float x1 = a.x, y1 = 0, z1 = a.z, x2 = b.x, y2 = 0, z2 = b.z;
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
  *va = {x1, y1};
  *vb = {x2, y2};
}

// A closed outline of two parallel lines offset by d to each side, with caps at both ends.
void DoubleLine(BezierPath* path, PlanPoint p1, PlanPoint p2, PlanPoint d) {
  AppendPlanLine(path, p1 + d, p2 + d, true);
  AppendPlanLine(path, p1 - d, p2 - d, true);
  AppendPlanLine(path, p1 + d, p1 - d, true);
  AppendPlanLine(path, p2 + d, p2 - d, true);
}

float HalfWallThickness(const Objex* wall, const DocState* ds) {
  return ConvertWorldToScreen(wall->width, ds, 0) * 0.5f;
}

}  // namespace

void DrawWindow(DrawContext* handle, Objex* window) {
  DocState* ds = CurDocState();
  DrawContext* ctx = ResolveDrawContext(handle);
  Ends e;
  if (!ds || !ctx || !window || !window->typeData || !window->parent || !TwoPoints(window, &e)) return;
  if (GetCurrentView() != kCmdViewTop || gPerspective) return;
  const float h = HalfWallThickness(window->parent, ds) + 4.0f;
  const float a = PlanAngle(e.p2, e.p1);
  const PlanPoint c[4] = {e.p2 + Polar(a + kRightAngle, h), e.p1 + Polar(a + kRightAngle, h),
                          e.p1 + Polar(a - kRightAngle, h), e.p2 + Polar(a - kRightAngle, h)};
  NSPoint v[4];
  ProjectLine(c[0].x, 0, c[0].z, c[1].x, 0, c[1].z, true, &v[0], &v[1]);
  ProjectLine(c[2].x, 0, c[2].z, c[3].x, 0, c[3].z, true, &v[2], &v[3]);
  BezierPath path;
  path.moveToPoint(v[0]);
  for (int i = 1; i < 4; ++i) path.lineToPoint(v[i]);
  path.closePath();
  FillStyle fill;
  fill.color = gPrinting ? kDrawWhite : DrawColorFromRGB(PlanBackgroundColor(ds));
  ctx->fillPath(path, fill);
  StrokeStyle stroke;
  stroke.color = DrawColorFromRGB(gPlanDrawSettings.penColor);
  stroke.width = 1.0f;
  ctx->strokePath(path, stroke);
}

void DrawAccessory(DrawContext* handle, Objex* accessory) {
  const DocState* ds = CurDocState();
  Ends e;
  if (!ds || !accessory || !accessory->parent || !TwoPoints(accessory, &e)) return;
  const auto* data = static_cast<const DoorWindowData*>(accessory->typeData);
  if (!data || !data->anchorStart || !data->anchorEnd) return;
  const float a = PlanAngle(PlanPositionOf(data->anchorStart), PlanPositionOf(data->anchorEnd));
  const float s = data->flipHorizontal ? a + kRightAngle : a - kRightAngle;
  const float hw = HalfWallThickness(accessory->parent, ds);
  const PlanPoint q1 = e.p1 + Polar(s, hw), q2 = e.p2 + Polar(s, hw);
  const PlanPoint out = Polar(s, std::max(6.0f, ConvertWorldToScreen(AccessoryOffsetOf(data), ds, 0)));
  const PlanPoint r1 = q1 + out, r2 = q2 + out;
  // The middle of the far side comes from the projected points before they are made whole.
  float x1 = r1.x, y1 = 0, z1 = r1.z, x2 = r2.x, y2 = 0, z2 = r2.z;
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
  if (gPrinting) x1 *= gHPrintScale, x2 *= gHPrintScale, y1 *= gVPrintScale, y2 *= gVPrintScale;
  const NSPoint m{(x1 + x2) / 2, (y1 + y2) / 2};
  NSPoint vq1, vr1, vq2, vr2;
  ProjectLine(q1.x, 0, q1.z, r1.x, 0, r1.z, true, &vq1, &vr1);
  ProjectLine(q2.x, 0, q2.z, r2.x, 0, r2.z, true, &vq2, &vr2);
  BezierPath path;
  path.moveToPoint(vq1);
  path.lineToPoint(vr1);
  path.lineToPoint(vr2);
  path.lineToPoint(vq2);
  path.lineToPoint(m);
  path.lineToPoint(vq1);
  StrokeSymbolPath(ResolveDrawContext(handle), path);
}

void DrawFoundationBeam(DrawContext* handle, Objex* beam) {
  DocState* ds = CurDocState();
  Ends e;
  if (!ds || !TwoPoints(beam, &e)) return;
  const float a = PlanAngle(e.p1, e.p2);
  const PlanPoint d = Polar(a + kRightAngle, ConvertWorldToScreen(beam->params[3], ds, 0) * 0.5f);
  BezierPath path;
  static const float kDash[] = {18, 6};
  path.setLineDash(kDash, 2, 0);
  DoubleLine(&path, e.p1, e.p2, d);
  StrokeSymbolPath(ResolveDrawContext(handle), path);
  if (!ShowAutoDimensions(ds)) return;
  const std::string label =
      FillFormat(LocalizedString("L, %s W, %s D"), {Readout(beam->params[3]), Readout(beam->params[2])});
  float guard1 = 0, guard2 = 0;
  DrawDimensionLine(handle, e.p1.x, e.p1.z, e.p2.x, e.p2.z, e.p1.x, e.p1.z, e.p2.x, e.p2.z, 1, -9.0f, 0, &guard1,
                    &guard2, 0, 0, 0.0f, 1, label.c_str());
}

void DrawFoundationTensionCable(DrawContext* handle, Objex* strand) {
  Ends e;
  if (!CurDocState() || !TwoPoints(strand, &e)) return;
  const float a = PlanAngle(e.p1, e.p2);
  const PlanPoint d = Polar(a + kRightAngle, 5.0f);
  BezierPath path;
  AppendPlanLine(&path, e.p1 + d, e.p1 - d, true);
  AppendPlanLine(&path, e.p1, e.p2, true);
  StrokeSymbolPath(ResolveDrawContext(handle), path);
  NSPoint tip, ref;
  ProjectRaw(e.p2, e.p1, &tip, &ref);
  DrawArrowhead(handle, strand, tip.x, tip.y, ref.x, ref.y, kArrowSolid);
}

void DrawStaircase(DrawContext* handle, Objex* stairs) {
  DocState* ds = CurDocState();
  Ends e;
  if (!ds || !ShowAutoDimensions(ds) || !TwoPoints(stairs, &e)) return;
  // A riser height of 0 or one larger than the rise still counts one riser.
  // The two sizes are divided as they are stored, in single precision (96.6 / 6.9 is 14).
  const float ratio = stairs->params[4] / stairs->params[1];
  const long risers = std::isfinite(ratio) && ratio >= 1 ? static_cast<long>(std::min(ratio, 1e9f)) : 1;
  PlanPoint toward = e.p2;
  if (stairs->subtype == kSubCurvedStair && ds->curveSegments > 0) {
    const Poinz* a = stairs->firstPoint;
    const Poinz* b = a->next;
    const float t = 1.0f / static_cast<float>(CurveSamples(ds, 6, 6)), t2 = t * t, t3 = t2 * t;
    float coord[3];
    for (int k = 0; k < 3; k += 2) {
      float ca, cb, cc, cd;
      SetupSpline(a->position[k], a->outHandle[k], b->position[k], b->inHandle[k], &ca, &cb, &cc, &cd);
      coord[k] = GetSplineCoord(ca, cb, cc, cd, t, t2, t3);
    }
    toward = {coord[0], coord[2]};
  }
  const float a = PlanAngle(toward, e.p1);
  // The labels run across the stair, turned at most a quarter turn either way so that they
  // read from below or from the right whichever way the stair was drawn.
  float textAngle = std::fmod(Degrees(a + kRightAngle), 360.0f);
  if (textAngle > 180.0f) textAngle -= 360.0f;
  if (textAngle < -180.0f) textAngle += 360.0f;
  if (textAngle > 90.0f) textAngle -= 180.0f;
  else if (textAngle < -90.0f) textAngle += 180.0f;
  const PlanPoint widthAt = e.p1 + Polar(a, 10.0f);
  DrawNormalText(handle, FillFormat(LocalizedString("%sW"), {Readout(stairs->params[0])}).c_str(), widthAt.x,
                 widthAt.z, textAngle);
  const PlanPoint step = Polar(a, 27.0f);
  const PlanPoint riserAt = e.p1 + step;
  DrawNormalText(handle,
                 FillFormat(LocalizedString("%ldR x %sT"), {std::to_string(risers), Readout(stairs->params[2])}).c_str(),
                 riserAt.x, riserAt.z, textAngle);
  const PlanPoint upAt = e.p1 + step * -0.75f;
  DrawNormalText(handle, LocalizedString("Up").c_str(), upAt.x, upAt.z, textAngle);
  const PlanPoint nearPoint = e.p1 - step, farPoint = e.p1 - step * 2.0f;
  BezierPath path;
  AppendPlanLine(&path, nearPoint, farPoint, true);
  StrokeSymbolPath(ResolveDrawContext(handle), path);
  NSPoint tip, ref;
  ProjectRaw(farPoint, nearPoint, &tip, &ref);
  DrawArrowhead(handle, stairs, tip.x, tip.y, ref.x, ref.y, kArrowSolid);
}

void DrawHVACDuct(DrawContext* handle, Objex* duct) {
  DocState* ds = CurDocState();
  Ends e;
  if (!ds || !TwoPoints(duct, &e)) return;
  DrawContext* ctx = ResolveDrawContext(handle);
  const float a = PlanAngle(e.p1, e.p2);
  const PlanPoint d = Polar(a + kRightAngle, ConvertWorldToScreen(duct->params[2], ds, 0) * 0.5f);
  BezierPath outline;
  static const float kDash[] = {3, 3};
  outline.setLineDash(kDash, 2, 0);
  DoubleLine(&outline, e.p1, e.p2, d);
  StrokeSymbolPath(ctx, outline);
  const float length = ds->measureSystem == kMeasureImperial ? 25.0f : 55.0f;
  const PlanPoint start = e.p2 - Polar(a, length) * (1.0f / 1.5f);
  BezierPath arrow;
  AppendPlanLine(&arrow, start, e.p2, true);
  StrokeSymbolPath(ctx, arrow);
  NSPoint tip, ref;
  ProjectRaw(e.p2, start, &tip, &ref);
  DrawArrowhead(handle, duct, tip.x, tip.y, ref.x, ref.y, kArrowOpen);
  if (!ShowAutoDimensions(ds)) return;
  const PlanPoint mid = Midpoint(e.p1, e.p2);
  const std::string label = FillFormat("%sx%s", {Readout(duct->params[2]), Readout(duct->params[3])});
  DrawNormalText(handle, label.c_str(), mid.x, mid.z, Degrees(a));
  float guard1 = 0, guard2 = 0;
  DrawDimensionLine(handle, e.p1.x, e.p1.z, e.p2.x, e.p2.z, e.p1.x, e.p1.z, e.p2.x, e.p2.z, 1, duct->params[2] + 5.0f, 0,
                    &guard1, &guard2, 0, 0, 0.0f, 1, nullptr);
}

void DrawRecept(DrawContext* handle, Objex* object, const FloatPoint* from, const FloatPoint* to) {
  if (!object || !from || !to) return;
  BezierPath path;
  AppendPlanLine(&path, {from->floatH, from->floatV}, {to->floatH, to->floatV}, true);
  StrokeSymbolPath(ResolveDrawContext(handle), path);
}
