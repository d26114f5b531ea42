// Dimension lines, their arrowheads and readouts, static and in the rubber band, and the
// arrowheads of stairs, ducts and cables by style bits.
#include "plandraw/DimensionLines.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "model/ViewCommands.h"
#include "plandraw/DrawContext.h"
#include "plandraw/BezierPath.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanPoints.h"
#include "plandraw/PlanText.h"
#include "plandraw/PlanTextServices.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/ZLKDynamicDrawEngine.h"

int16_t gSelectionState = 0;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kWing = 0.2617993877991494f;    // 15 degrees
constexpr float kSlash = 0.7853981633974483f;   // 45 degrees
constexpr float kSlashBack = 2.356194490192345f;  // 135 degrees
constexpr float kArrowLength = 12, kSlashHalf = 9, kSolidDotRadius = 2, kOpenDotRadius = 6, kOutsideLeader = 36;
constexpr size_t kMaxReadout = 250;

// A static view point: print-scaled, then whole.
NSPoint StaticPoint(NSPoint p) { return RoundPoint(PrintScaled(p)); }

void StrokeSegment(DrawContext* ctx, NSPoint a, NSPoint b) {
  const NSPoint line[2] = {a, b};
  ctx->strokeLines(line, 2, ctx->currentStroke());
}

// The oval rectangle of a dot of radius r at the tip (the printed form unrounded).
NSRect DotRect(float tipX, float tipY, float r) {
  if (gPrinting) {
    const float left = (tipX - r) * gHPrintScale, top = (tipY - r) * gVPrintScale;
    return NSMakeRect(left, top, (tipX + r + 1) * gHPrintScale - left, (tipY + r + 1) * gVPrintScale - top);
  }
  const float left = Trunc16(tipX - r), top = Trunc16(tipY - r);
  const float right = Trunc16(r + tipX + 1), bottom = Trunc16(r + tipY + 1);
  return NSMakeRect(left, top, right - left, bottom - top);
}

// Where a dimension or arrowhead goes: the main view's dynamic-draw overlay when drawing
// dynamically, else the resolved context. False when neither is there.
bool ResolveDrawTarget(bool dynamic, DrawContext* handle, ZLKDynamicDrawEngine** engine, DrawContext** ctx) {
  *engine = nullptr;
  *ctx = nullptr;
  if (dynamic) {
    *engine = MainViewDynamicDrawEngine();
    if (!*engine) return false;
    (*engine)->setActivePath(kPathPrimary);
    return true;
  }
  *ctx = ResolveDrawContext(handle);
  return *ctx != nullptr;
}

// Fills the path in the context's colour, or strokes it with the current stroke.
void FillOrStroke(DrawContext* ctx, const BezierPath& path, bool fill) {
  if (!fill) {
    ctx->strokePath(path, ctx->currentStroke());
    return;
  }
  FillStyle style;
  style.color = ctx->color();
  ctx->fillPath(path, style);
}

struct DimensionGeometry {
  float extensionStart, extensionEnd, line;
};

void DrawDimension(bool noOffset, DrawContext* handle, float fromX, float fromZ, float toX, float toZ, float mfX,
                   float mfZ, float mtX, float mtZ, uint8_t side, float offset, uint8_t dynamic, const void* guard1,
                   const void* guard2, uint8_t oneSided, float start, uint8_t compact, const char* suffix) {
  DocState* ds = CurDocState();
  if (!ds || !guard1 || !guard2) return;
  if (!noOffset && !dynamic && !ShowAutoDimensions(ds)) return;
  ZLKDynamicDrawEngine* engine;
  DrawContext* ctx;
  if (!ResolveDrawTarget(dynamic, handle, &engine, &ctx)) return;

  const NSPoint from = ProjectPlanPoint(fromX, fromZ), to = ProjectPlanPoint(toX, toZ);
  const NSPoint m1 = ProjectPlanPoint(mfX, mfZ), m2 = ProjectPlanPoint(mtX, mtZ);
  float length = 0;
  const float a = AngleBetween(from, to, &length);
  const bool isCompact = compact || length < ZoomF(71.5f);
  const float normal = a + (side ? kPi / 2 : -kPi / 2);
  const float st = dynamic ? offset : start;
  DimensionGeometry g;
  if (noOffset) g = {-(st + 10.0f), offset + 10.0f, offset};
  else g = {st + 3.0f, offset + 22.0f, isCompact ? offset + 10.0f : offset + 15.0f};
  auto along = [&](NSPoint m, float distance) { return m + PolarOffset(normal, ZoomF(distance)); };

  if (!isCompact) {
    for (int end = 0; end < (oneSided ? 1 : 2); ++end) {
      const NSPoint m = end == 0 ? m1 : m2;
      const NSPoint e1 = along(m, g.extensionStart), e2 = along(m, g.extensionEnd);
      if (engine) engine->appendLineToActivePathWithStartPoint(RoundPoint(e1), RoundPoint(e2));
      else StrokeSegment(ctx, StaticPoint(e1), StaticPoint(e2));
    }
  }
  const NSPoint d1 = along(m1, g.line), d2 = along(m2, g.line);
  if (engine) {
    DrawDynamicDimensionText(handle, d1.x, d1.y, d2.x, d2.y, isCompact);
    return;
  }
  if (!isCompact) {
    StrokeSegment(ctx, StaticPoint(d1), StaticPoint(d2));
    DrawDimensionArrow(ctx, d1.x, d1.y, d2.x, d2.y, ds->dimArrowStyle, 0);
    if (!oneSided) DrawDimensionArrow(ctx, d2.x, d2.y, d1.x, d1.y, ds->dimArrowStyle, 0);
  }
  DrawDimensionText(ctx, d1.x, d1.y, d2.x, d2.y, mfX, mfZ, mtX, mtZ, guard1, guard2, 0, suffix);
}

// The readout of a length in plan units, in the document's units.
void LengthReadout(float planLength, char* text) {
  text[0] = 0;
  ConvertInchesToStr(ConvertScreenToWorld(planLength, CurDocState(), 0), text);
}

}  // namespace

void DrawDimensionLine(DrawContext* handle, float fromX, float fromZ, float toX, float toZ, float measuredFromX,
                       float measuredFromZ, float measuredToX, float measuredToZ, uint8_t side, float offset,
                       uint8_t dynamic, const void* guard1, const void* guard2, uint8_t, uint8_t oneSided,
                       float start, uint8_t compact, const char* suffix) {
  DrawDimension(false, handle, fromX, fromZ, toX, toZ, measuredFromX, measuredFromZ, measuredToX, measuredToZ, side,
                offset, dynamic, guard1, guard2, oneSided, start, compact, suffix);
}

void DrawDimensionLineNoOffset(DrawContext* handle, float fromX, float fromZ, float toX, float toZ,
                               float measuredFromX, float measuredFromZ, float measuredToX, float measuredToZ,
                               uint8_t side, float offset, uint8_t dynamic, const void* guard1, const void* guard2,
                               uint8_t, uint8_t oneSided, float start, uint8_t compact, const char* suffix) {
  DrawDimension(true, handle, fromX, fromZ, toX, toZ, measuredFromX, measuredFromZ, measuredToX, measuredToZ, side,
                offset, dynamic, guard1, guard2, oneSided, start, compact, suffix);
}

void DrawDimensionText(DrawContext* handle, float x1, float y1, float x2, float y2, float measuredFromX,
                       float measuredFromZ, float measuredToX, float measuredToZ, const void* guard1,
                       const void* guard2, uint8_t, const char* suffix) {
  DocState* ds = CurDocState();
  DrawContext* ctx = ResolveDrawContext(handle);
  if (!ds || !guard1 || !guard2 || !ctx) return;
  // A readout too small to read still gets its box and reaches the view at its scaled height
  // (-1 at the smallest zoom); the painter leaves the text out.
  const NSPoint q{(x1 + x2) / 2, (y1 + y2) / 2};
  const float a = AngleBetween(NSPoint{UnzoomF(x1), UnzoomF(y1)}, NSPoint{UnzoomF(x2), UnzoomF(y2)});
  const RGBColor color = gSelectionState ? RGBColor{65535, 0, 0} : gPlanDrawSettings.penColor;

  LOGFONT font = ds->font;
  // Measured at the zoomed height; the print scale is applied after measuring.
  const int16_t zoomedHeight = Trunc16(ZoomF(static_cast<float>(ds->font.lfHeight)) - 0.5f);
  font.lfHeight = gSelectionState ? -12 : (zoomedHeight == 0 ? -1 : zoomedHeight);
  float d = UprightTextAngle(a * kDegreesPerRadian);
  if (gPrinting) {
    const int32_t whole = static_cast<int32_t>(d + 0.5f);
    if (whole == 0 || whole == 90 || whole == 180 || whole == 270 || whole == 360 || whole == 450) d += 0.1f;
  }
  font.lfEscapement = font.lfOrientation = TextEscapement(d);

  char text[kMaxReadout + kReadoutTextSize] = {};
  LengthReadout(GetLineLength(measuredFromX, measuredFromZ, measuredToX, measuredToZ), text);
  if (suffix) {
    const size_t used = std::strlen(text), extra = std::strlen(suffix);
    if (used + extra < kMaxReadout) std::memcpy(text + used, suffix, extra + 1);
  }

  const NSSize size = MeasurePlanText(ctx, text, font);
  const NSPoint u = PolarOffset(a, static_cast<float>(static_cast<int32_t>(size.width + 6) / 2));
  const NSPoint v = PolarOffset(a + kPi / 2, static_cast<float>(static_cast<int32_t>(size.height) / 2));
  BezierPath box;
  box.moveToPoint(StaticPoint(q + u + v));
  box.lineToPoint(StaticPoint(q - u + v));
  box.lineToPoint(StaticPoint(q - u - v));
  box.lineToPoint(StaticPoint(q + u - v));
  box.closePath();
  FillStyle fill;
  fill.color = gPrinting ? kDrawWhite : DrawColorFromRGB(PlanBackgroundColor(ds));
  ctx->saveGraphicsState();
  ctx->fillPath(box, fill);
  const NSRect bounds = box.bounds();
  ctx->restoreGraphicsState();
  if (gPrinting) font.lfHeight = static_cast<int32_t>(static_cast<float>(font.lfHeight) * gHPrintScale);
  DrawPlanTextInRect(ctx, text, bounds, font, color);
}

void DrawDynamicDimensionText(DrawContext* handle, float x1, float y1, float x2, float y2, uint8_t compact) {
  DocState* ds = CurDocState();
  ZLKDynamicDrawEngine* engine = MainViewDynamicDrawEngine();
  if (!ds || !engine) return;
  engine->setActivePath(kPathPrimary);
  const NSPoint q{(x1 + x2) / 2, (y1 + y2) / 2};
  const NSPoint u1{UnzoomF(x1), UnzoomF(y1)}, u2{UnzoomF(x2), UnzoomF(y2)};
  float unzoomedLength = 0;
  const float a = AngleBetween(u1, u2, &unzoomedLength);

  LOGFONT font{};
  font.lfHeight = -12;
  font.lfItalic = 1;
  font.lfPitchAndFamily = 0x34;
  std::strcpy(font.lfFaceName, "Arial");
  font.lfEscapement = font.lfOrientation = TextEscapement(UprightTextAngle(a * kDegreesPerRadian));

  char text[kReadoutTextSize] = {};
  LengthReadout(unzoomedLength, text);
  const NSSize size = MeasurePlanText(handle, text, font);
  const float wi = Trunc16(size.width + 6), hi = Trunc16(size.height);

  if (!compact)
    engine->appendLineToActivePathWithStartPoint(RoundPoint({ZoomF(u1.x), ZoomF(u1.y)}),
                                                 RoundPoint({ZoomF(u2.x), ZoomF(u2.y)}));
  auto element = std::make_unique<ZLKDynamicDimElement>();
  ZLKDynamicDimElement* added = element.get();
  engine->addDynamicDimElement(std::move(element));

  const float left = Trunc16(q.x - wi / 2 + 0.5f), top = Trunc16(q.y - hi / 2 + 0.5f);
  const float right = Trunc16(q.x + wi / 2 + 0.5f), bottom = Trunc16(q.y + hi / 2 + 0.5f);
  const NSRect rect = NSMakeRect(left, top, right - left, bottom - top);
  const float turn = static_cast<float>(font.lfOrientation) / 10.0f * 3.1415927f / 180.0f;
  FloatPoint corners[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  for (FloatPoint& c : corners) {
    float l = 0;
    const float angle = GetLineLengthAndAngle(q.x, q.y, c.floatH, c.floatV, &l);
    float dx = 0, dy = 0;
    GetPointFromLengthAndAngle(angle + turn, l, &dx, &dy);
    c = {q.x + dx, q.y + dy};
  }
  added->initDynamicDimElementTextRect(&rect, text, &font, corners);
}

void DrawDimensionArrow(DrawContext* handle, float tipX, float tipY, float refX, float refY, int16_t style,
                        uint8_t unzoomed) {
  DocState* ds = CurDocState();
  DrawContext* ctx = ResolveDrawContext(handle);
  if (!ds || !ctx) return;
  const NSPoint tip{tipX, tipY};
  const float t = AngleBetween(tip, NSPoint{refX, refY});
  auto size = [&](float v) { return unzoomed ? v : ZoomF(v); };
  auto at = [&](float angle, float length) { return StaticPoint(tip + PolarOffset(angle, size(length))); };
  const NSPoint tipPoint = StaticPoint(tip);
  BezierPath path;
  switch (style) {
    case kArrowStyleSolid:
    case kArrowStyleHollow: {
      path.moveToPoint(tipPoint);
      path.lineToPoint(at(t + kWing, kArrowLength));
      path.lineToPoint(at(t - kWing, kArrowLength));
      path.closePath();
      FillStyle fill;
      if (style == kArrowStyleSolid) {
        fill.color = ctx->color();
        ctx->fillPath(path, fill);
      } else {
        fill.color = DrawColorFromRGB(PlanBackgroundColor(ds));
        ctx->fillPath(path, fill);
        ctx->setColor(DrawColorFromRGB(gPlanDrawSettings.penColor));
        ctx->strokePath(path, ctx->currentStroke());
      }
      break;
    }
    case kArrowStyleOpen:
      path.moveToPoint(tipPoint);
      path.lineToPoint(at(t + kWing, kArrowLength));
      path.moveToPoint(tipPoint);
      path.lineToPoint(at(t - kWing, kArrowLength));
      ctx->strokePath(path, ctx->currentStroke());
      break;
    case kArrowStyleInwardSlant:
      path.moveToPoint(at(t + kSlash, kSlashHalf));
      path.lineToPoint(at(t - kSlashBack, kSlashHalf));
      ctx->strokePath(path, ctx->currentStroke());
      break;
    case kArrowStyleOutwardSlant:
      path.moveToPoint(at(t + kSlashBack, kSlashHalf));
      path.lineToPoint(at(t - kSlash, kSlashHalf));
      ctx->strokePath(path, ctx->currentStroke());
      break;
    case kArrowStyleSolidDot:
    case kArrowStyleOpenDot: {
      const bool solid = style == kArrowStyleSolidDot;
      // The radius follows the zoom on screen; the printed dot keeps its unzoomed size.
      const float r = solid ? kSolidDotRadius : kOpenDotRadius;
      path.appendOvalInRect(DotRect(tipX, tipY, gPrinting ? r : size(r)));
      FillOrStroke(ctx, path, solid);
      break;
    }
    default:
      break;
  }
}

void DrawArrowhead(DrawContext* handle, const Objex* object, float tipX, float tipY, float refX, float refY,
                   int32_t styleBits) {
  if (!CurDocState()) return;
  ZLKDynamicDrawEngine* engine;
  DrawContext* ctx;
  if (!ResolveDrawTarget(gDynamicDrawing, handle, &engine, &ctx)) return;
  static constexpr int32_t kStyles[] = {kArrowSolid,       kArrowHollow,       kArrowOpen,   kArrowInwardSlant,
                                        kArrowOutwardSlant, kArrowSolidDot, kArrowOpenDot};
  int32_t style = 0;
  for (int32_t s : kStyles)
    if (styleBits & s) {
      style = s;
      break;
    }
  if (!style) return;
  if ((styleBits & kArrowOutside) && !object) return;

  const NSPoint tip{tipX, tipY}, ref{refX, refY};
  // Overlay points are never print-scaled.
  auto place = [&](NSPoint p) { return engine ? RoundPoint(p) : StaticPoint(p); };
  auto segment = [&](NSPoint a, NSPoint b) {
    if (engine) engine->appendLineToActivePathWithStartPoint(place(a), place(b));
    else StrokeSegment(ctx, place(a), place(b));
  };
  float t = AngleBetween(tip, ref);
  if (styleBits & kArrowOutside) {
    t = AngleBetween(ref, tip);
    if (object->type != kObjAngleDim) segment(tip, tip + PolarOffset(t, ZoomF(kOutsideLeader)));
  }

  switch (style) {
    case kArrowSolid:
    case kArrowHollow:
    case kArrowOpen: {
      const NSPoint w1 = tip + PolarOffset(t + kWing, ZoomF(kArrowLength));
      const NSPoint w2 = tip + PolarOffset(t - kWing, ZoomF(kArrowLength));
      if (engine) {
        segment(tip, w1);
        if (style == kArrowOpen) {
          segment(tip, w2);
        } else {
          segment(w1, w2);
          segment(w2, tip);
        }
        break;
      }
      BezierPath path;
      path.moveToPoint(place(tip));
      path.lineToPoint(place(w1));
      if (style == kArrowOpen) {
        path.moveToPoint(place(tip));
        path.lineToPoint(place(w2));
        ctx->strokePath(path, ctx->currentStroke());
        break;
      }
      path.lineToPoint(place(w2));
      path.closePath();
      FillOrStroke(ctx, path, style == kArrowSolid);
      break;
    }
    case kArrowInwardSlant:
      segment(tip + PolarOffset(t + kSlash, ZoomF(kSlashHalf)), tip + PolarOffset(t - kSlashBack, ZoomF(kSlashHalf)));
      break;
    case kArrowOutwardSlant:
      segment(tip + PolarOffset(t + kSlashBack, ZoomF(kSlashHalf)), tip + PolarOffset(t - kSlash, ZoomF(kSlashHalf)));
      break;
    default: {
      const bool solid = style == kArrowSolidDot;
      const float r = gPrinting ? (solid ? kSolidDotRadius : kOpenDotRadius)
                                : ZoomF(solid ? kSolidDotRadius : kOpenDotRadius);
      const NSRect rect = DotRect(tipX, tipY, r);
      if (engine) {
        engine->appendOvalToActivePathWithBoundingRect(rect);
        break;
      }
      BezierPath path;
      path.appendOvalInRect(rect);
      FillOrStroke(ctx, path, solid);
      break;
    }
  }
}
