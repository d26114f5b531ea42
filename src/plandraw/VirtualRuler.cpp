// The virtual ruler: window geometry of its body and handles, and its drawing (hairs,
// yellow body, round handles, length text, tick marks).
#include "plandraw/VirtualRuler.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/ViewProjection.h"
#include "plandraw/DrawContext.h"
#include "plandraw/PlanViewHooks.h"

namespace {

constexpr float kBodyWidth = 50.0f;
constexpr float kHandleSize = 14.0f;
constexpr float kHairLength = 10.0f;
constexpr float kShortTick = 7.0f, kLongTick = 14.0f;
constexpr int kMaxTicks = 4000;
constexpr float kHalfPi = 1.5707963f;
constexpr DrawColor kRulerYellow{1, 1, 0, 1};

int16_t Round16(float v) {
  if (!std::isfinite(v)) return 0;
  const float r = v + 0.5f;
  if (r >= 32767.0f) return 32767;
  if (r <= -32768.0f) return -32768;
  return static_cast<int16_t>(static_cast<int32_t>(r));
}

// The projected ends, the angle from start to end and the half body width.
struct RulerFrame {
  NSPoint s, e;
  float angle, backAngle, halfWidth, viewLength;
};

NSPoint Project(FloatPoint p) {
  float x = p.floatH, y = 0, z = p.floatV, x2 = x, y2 = y, z2 = z;
  ConvertToIso(&x, &y, &z, &x2, &y2, &z2, gPerspective);
  return {x, y};
}

NSPoint Polar(NSPoint from, float angle, float length) {
  float dx = 0, dy = 0;
  GetPointFromLengthAndAngle(angle, length, &dx, &dy);
  return {from.x + dx, from.y + dy};
}

NSPoint Rounded(NSPoint p) { return {static_cast<float>(Round16(p.x)), static_cast<float>(Round16(p.y))}; }

bool CurrentFrame(RulerFrame* f) {
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc || !f) return false;
  f->s = Project(doc->itsVRStartPt);
  f->e = Project(doc->itsVREndPt);
  if (!std::isfinite(f->s.x) || !std::isfinite(f->s.y) || !std::isfinite(f->e.x) || !std::isfinite(f->e.y))
    return false;
  f->angle = GetLineLengthAndAngle(f->s.x, f->s.y, f->e.x, f->e.y, &f->viewLength);
  float unused = 0;
  f->backAngle = GetLineLengthAndAngle(f->e.x, f->e.y, f->s.x, f->s.y, &unused);
  f->halfWidth = ZoomF(kBodyWidth) / 2;
  return true;
}

void Corners(const RulerFrame& f, NSPoint out[4]) {
  out[0] = Rounded(Polar(f.s, f.angle + kHalfPi, f.halfWidth));
  out[1] = Rounded(Polar(f.e, f.backAngle - kHalfPi, f.halfWidth));
  out[2] = Rounded(Polar(f.e, f.backAngle + kHalfPi, f.halfWidth));
  out[3] = Rounded(Polar(f.s, f.angle - kHalfPi, f.halfWidth));
}

void HandleRect(NSPoint end, float towardAngle, RECT* rect) {
  const float size = ZoomF(kHandleSize);
  const NSPoint h = Polar(end, towardAngle, size);
  rect->left = Round16(h.x - size / 2);
  rect->top = Round16(h.y - size / 2);
  rect->right = Round16(h.x + size / 2);
  rect->bottom = Round16(h.y + size / 2);
}

bool ShownFrame(DrawContext* handle, RulerFrame* f, DrawContext** ctx) {
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc || !doc->itsVRVisible || !CurDocState()) return false;
  *ctx = ResolveDrawContext(handle);
  return *ctx && CurrentFrame(f);
}

}  // namespace

int ComputeRulerBoundaryFrame(POINT corners[4]) {
  RulerFrame f{};
  if (!corners || !CurrentFrame(&f)) return 0;
  NSPoint c[4];
  Corners(f, c);
  for (int i = 0; i < 4; ++i) corners[i] = POINT{static_cast<int32_t>(c[i].x), static_cast<int32_t>(c[i].y)};
  return 1;
}

int ComputeRulerStartPtFrame(RECT* rect) {
  RulerFrame f{};
  if (!rect || !CurrentFrame(&f)) return 0;
  HandleRect(f.s, f.angle, rect);
  return 1;
}

int ComputeRulerEndPtFrame(RECT* rect) {
  RulerFrame f{};
  if (!rect || !CurrentFrame(&f)) return 0;
  HandleRect(f.e, f.backAngle, rect);
  return 1;
}

void DrawRulerEdgeHairs(DrawContext* handle) {
  RulerFrame f{};
  DrawContext* ctx = nullptr;
  if (!ShownFrame(handle, &f, &ctx)) return;
  const float outer = f.halfWidth + ZoomF(kHairLength);
  std::vector<NSPoint> lines;
  for (const NSPoint& end : {f.s, f.e}) {
    for (float side : {f.angle + kHalfPi, f.angle - kHalfPi}) {
      lines.push_back(Rounded(Polar(end, side, outer)));
      lines.push_back(Rounded(Polar(end, side, f.halfWidth)));
    }
  }
  StrokeStyle style;
  style.color = kDrawBlack;
  ctx->strokeLines(lines.data(), lines.size(), style);
}

void UpdateRulerText(DrawContext* handle) {
  RulerFrame f{};
  DrawContext* ctx = nullptr;
  if (!ShownFrame(handle, &f, &ctx)) return;
  const ZLKDocumentModel* doc = gCurDocument;
  const DocState* ds = CurDocState();
  const float planLength = std::hypot(doc->itsVREndPt.floatH - doc->itsVRStartPt.floatH,
                                      doc->itsVREndPt.floatV - doc->itsVRStartPt.floatV);
  if (!std::isfinite(planLength)) return;
  char text[256] = {};
  ConvertInchesToStr(ConvertScreenToWorld(planLength, ds, 0), text);
  if (!text[0]) return;
  LOGFONT font{};
  std::strncpy(font.lfFaceName, "Arial", sizeof(font.lfFaceName) - 1);
  const int32_t height = ZoomL(28);
  font.lfHeight = height < 1 ? -1 : -height;
  font.lfItalic = 1;
  float degrees = f.angle * 57.29578f;
  if (degrees > 90 && degrees < 270) degrees += 180;
  font.lfEscapement = font.lfOrientation = static_cast<int32_t>(std::lround(degrees * 10));
  NSPoint c[4];
  Corners(f, c);
  float minX = c[0].x, maxX = c[0].x, minY = c[0].y, maxY = c[0].y;
  for (const NSPoint& p : c) {
    minX = std::fmin(minX, p.x);
    maxX = std::fmax(maxX, p.x);
    minY = std::fmin(minY, p.y);
    maxY = std::fmax(maxY, p.y);
  }
  const NSRect box = NSMakeRect(minX, minY, maxX - minX, maxY - minY);
  const RGBColor black{};
  DrawTextInRectWithFontInfo(ctx, text, &box, &font, &black);
}

void DrawRulerTickMarks(DrawContext* handle) {
  RulerFrame f{};
  DrawContext* ctx = nullptr;
  if (!ShownFrame(handle, &f, &ctx)) return;
  const DocState* ds = CurDocState();
  const float spacing = std::fmin(ds->gridSpacing.floatH, ds->gridSpacing.floatV);
  const float t = ZoomF(ConvertWorldToScreen(spacing, ds, 0));
  // No ticks without a positive spacing, nor when they would crowd into a solid bar.
  if (!(t > 0) || !std::isfinite(t) || f.viewLength / t > kMaxTicks) return;
  std::vector<NSPoint> lines;
  for (int i = 1;; ++i) {
    const float d = t * static_cast<float>(i);
    if (!(d < f.viewLength)) break;
    const NSPoint at = Polar(f.s, f.angle, d);
    const float k = ZoomF(i % 2 == 1 ? kShortTick : kLongTick);
    for (float side : {f.angle + kHalfPi, f.angle - kHalfPi}) {
      lines.push_back(Rounded(Polar(at, side, f.halfWidth)));
      lines.push_back(Rounded(Polar(at, side, f.halfWidth - k)));
    }
  }
  if (lines.empty()) return;
  StrokeStyle style;
  style.color = kDrawBlack;
  ctx->strokeLines(lines.data(), lines.size(), style);
}

void DrawVirtualRuler(DrawContext* handle) {
  RulerFrame f{};
  DrawContext* ctx = nullptr;
  if (!ShownFrame(handle, &f, &ctx)) return;
  ctx->saveGraphicsState();
  DrawRulerEdgeHairs(ctx);
  NSPoint body[4];
  Corners(f, body);
  FillStyle fill;
  fill.color = kRulerYellow;
  ctx->fillPolygon(body, 4, fill);
  BezierPath outline;
  outline.moveToPoint(body[0]);
  for (int i = 1; i < 4; ++i) outline.lineToPoint(body[i]);
  outline.closePath();
  StrokeStyle black;
  black.color = kDrawBlack;
  ctx->strokePath(outline, black);
  BezierPath handles;
  RECT r;
  for (int end = 0; end < 2; ++end) {
    if (end == 0) HandleRect(f.s, f.angle, &r);
    else HandleRect(f.e, f.backAngle, &r);
    handles.appendOvalInRect(NSMakeRect(static_cast<float>(r.left), static_cast<float>(r.top),
                                        static_cast<float>(r.right - r.left), static_cast<float>(r.bottom - r.top)));
  }
  FillStyle handleFill;
  handleFill.color = kDrawBlack;
  ctx->fillPath(handles, handleFill);
  UpdateRulerText(ctx);
  DrawRulerTickMarks(ctx);
  ctx->restoreGraphicsState();
}
