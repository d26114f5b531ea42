// The plan view base class (text, regions, patterns, grid, camera marker, the plan drawing
// in order) and the print view.
#include "plandraw/Base2DView.h"

#include <cmath>
#include <vector>

#include "model/DocState.h"
#include "model/ViewCommands.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/ViewProjection.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/SelectionHandles.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/RegionFills.h"
#include "plandraw/ZLKDynamicDrawEngine.h"

float gAffineTranslateX = 0;
float gAffineTranslateY = 0;

namespace {

// More steps than this along one grid axis draw no grid (the lines would run together).
constexpr double kMaxGridSteps = 20000;
// More grid points than this draw no dots.
constexpr double kMaxGridDots = 4000000;
constexpr float kPi = 3.14159265358979f;

// Puts the pen colour back when the scope ends; the pass starts from the design's pen colour.
struct PassPenColor {
  RGBColor saved = gPlanDrawSettings.penColor;
  explicit PassPenColor(const DocState* ds) { gPlanDrawSettings.penColor = ds->newPenColor; }
  ~PassPenColor() { gPlanDrawSettings.penColor = saved; }
};

float Whole(float v) {
  const float w = v + 0.5f;
  if (!(w > -32768.0f)) return -32768.0f;
  if (!(w < 32767.0f)) return 32767.0f;
  return static_cast<float>(static_cast<int16_t>(w));
}

NSPoint PrintScaled(float x, float y) {
  if (gPrinting) {
    x *= gHPrintScale;
    y *= gVPrintScale;
  }
  return {Whole(x), Whole(y)};
}

// Whether a grid can be laid from start to end with the step (a positive, finite spacing).
bool GridStepUsable(float start, float end, float step) {
  return step > 0 && std::isfinite(step) && std::isfinite(start) && std::isfinite(end);
}

// Number of grid positions from start while <= end, step apart; 0 when there are none or
// too many.
int32_t GridSteps(float start, float end, float step) {
  if (!GridStepUsable(start, end, step)) return 0;
  const double count = std::floor((static_cast<double>(end) - start) / step) + 1;
  if (!(count >= 1) || count > kMaxGridSteps) return 0;
  return static_cast<int32_t>(count);
}

// Both ends of a line in the view, with perspective when the view has it.
void ProjectLine(float x1, float y1, float z1, float x2, float y2, float z2, NSPoint* a, NSPoint* b) {
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
  *a = PrintScaled(x1, y1);
  *b = PrintScaled(x2, y2);
}

NSPoint ProjectPlanPoint(float x, float z) {
  float y = 0;
  ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset, gGlobalYOffset,
                        gGlobalZOffset, 1);
  return {x, y};
}

StrokeStyle Stroke(const DrawColor& color, float width, bool dotted) {
  static const float kDots[] = {3, 3};
  StrokeStyle s;
  s.color = color;
  s.width = width;
  if (dotted) s.setDash(kDots, 2, 0);
  return s;
}

HatchKind HatchOfDetailPattern(int32_t style) {
  switch (style) {
    case kPatternForwardDiagonal: return HatchKind::ForwardDiagonal;
    case kPatternBackwardDiagonal: return HatchKind::BackwardDiagonal;
    case kPatternDiagonalCross: return HatchKind::DiagonalCross;
    case kPatternHorizontal: return HatchKind::Horizontal;
    case kPatternVertical: return HatchKind::Vertical;
    default: return HatchKind::Cross;
  }
}

RGBColor BackgroundUnlessPrinting(const RGBColor& background) {
  return gPrinting ? RGBColor{65535, 65535, 65535} : background;
}

}  // namespace

Base2DView::Base2DView() : dynamicDrawEngine_(std::make_unique<ZLKDynamicDrawEngine>()) {
  AllocateAcclLineBuffer();
  InstallSelectionDrawingServices();
}

Base2DView::~Base2DView() = default;

ColoredHatch& Base2DView::hatch(HatchKind kind) {
  auto& slot = hatches_[static_cast<int>(kind)];
  if (!slot) slot = std::make_unique<ColoredHatch>(kind);
  return *slot;
}

// ---- Text ----

namespace {
// Text up to this many times as wide as its stored box is made smaller to fit it.
constexpr float kMostTextFitting = 1.25f;
}  // namespace

void Base2DView::drawStdText(const char* text, const NSRect* rect, const LOGFONT* font, const RGBColor* color,
                             int16_t alignment) {
  DrawContext* ctx = gCurrentDrawContext;
  if (!text || !rect || !font || !color || !ctx || !text[0]) return;
  TextRun run;
  run.text = text;
  run.font = FontDescriptionFromLOGFONT(*font);
  if (!IsReadableFontSize(run.font)) return;
  run.color = DrawColorFromRGB(*color);
  const NSSize size = ctx->measureText(run.text, run.font);
  // A stored box was measured with the face the design names; a stand-in a little wider is
  // made to fit it rather than lose the end of the text. Much wider text is only clipped.
  const float boxWidth = static_cast<float>(rect->size.width);
  if (boxWidth > 0 && size.width > boxWidth && size.width <= boxWidth * kMostTextFitting) {
    const float natural = run.font.pointSize;
    float width = size.width;
    for (float scale = boxWidth / size.width; width > boxWidth && scale > 0.5f; scale *= 0.98f) {
      run.font.pointSize = natural * scale;
      width = ctx->measureText(run.text, run.font).width;
    }
  }
  const float y = NSMinY(*rect) + size.height / 2;
  if (alignment == kTextAlignCenter) {
    run.alignment = TextAlignment::Centre;
    run.anchor = {NSMidX(*rect), y};
  } else if (alignment == kTextAlignRight) {
    run.alignment = TextAlignment::Right;
    run.anchor = {NSMaxX(*rect), y};
  } else {
    run.alignment = TextAlignment::Left;
    run.anchor = {NSMinX(*rect), y};
  }
  ctx->saveGraphicsState();
  ctx->clipToRect(*rect);
  ctx->drawText(run);
  ctx->restoreGraphicsState();
}

void Base2DView::drawText(const char* text, const NSRect* rect, const LOGFONT* font, const RGBColor* color) {
  if (!gCurrentDrawContext) return;
  DrawTextInRectWithFontInfo(gCurrentDrawContext, text, rect, font, color);
}

namespace {
NSSize (*sTextMeasurer)(const std::string&, const FontDescription&) = nullptr;
}

void Base2DView::setTextMeasurer(NSSize (*measurer)(const std::string&, const FontDescription&)) {
  sTextMeasurer = measurer;
}

NSSize Base2DView::textMetricsForString(const char* text, const LOGFONT* font) {
  if (!text || !font) return {};
  if (DrawContext* ctx = gCurrentDrawContext) return ctx->measureText(text, FontDescriptionFromLOGFONT(*font));
  // Outside a drawing pass (a sheet sizing new text) the installed measurer answers.
  return sTextMeasurer ? sTextMeasurer(text, FontDescriptionFromLOGFONT(*font)) : NSSize{};
}

// ---- Regions and patterns ----

void Base2DView::fillWithHatch(const BezierPath& path, HatchKind kind, const RGBColor& color) {
  DrawContext* ctx = gCurrentDrawContext;
  if (!ctx) return;
  FillStyle fill;
  fill.pattern = &hatch(kind).image(DrawColorFromRGB(color));
  fill.patternOrigin = boundsOrigin_;
  ctx->fillPath(path, fill);
}

void Base2DView::drawDetailPatternObject(const BezierPath* path, int32_t patternStyle, const RGBColor* foreground,
                                         const RGBColor* background, int32_t lineWidth) {
  DrawContext* ctx = gCurrentDrawContext;
  if (!path || !foreground || !background || !ctx) return;
  if (patternStyle < kPatternBackground || patternStyle > kPatternCross) return;
  StrokeStyle stroke = Stroke(DrawColorFromRGB(*foreground), static_cast<float>(lineWidth), false);
  const std::vector<float>& dash = path->lineDash();
  if (!dash.empty()) stroke.setDash(dash.data(), static_cast<int>(dash.size()), path->lineDashPhase());
  FillStyle back;
  back.color = DrawColorFromRGB(BackgroundUnlessPrinting(*background));
  switch (patternStyle) {
    case kPatternBackground:
      ctx->fillPath(*path, back);
      ctx->strokePath(*path, stroke);
      break;
    case kPatternForeground: {
      FillStyle fore;
      fore.color = DrawColorFromRGB(*foreground);
      ctx->fillPath(*path, fore);
      break;
    }
    default:
      ctx->fillPath(*path, back);
      fillWithHatch(*path, HatchOfDetailPattern(patternStyle), *foreground);
      ctx->strokePath(*path, stroke);
      break;
  }
}

void Base2DView::draw2DPatternRegion(const POINT* points, int32_t count, int32_t penStyle, int32_t brushStyle,
                                     const RGBColor* strokeColor, const RGBColor* fillColor, int32_t lineWidth) {
  DrawContext* ctx = gCurrentDrawContext;
  DocState* ds = CurDocState();
  if (!points || count <= 2 || !strokeColor || !fillColor || !ds || !ctx) return;
  // Kept between regions: a redraw fills one after another.
  thread_local BezierPath path;
  path.removeAllPoints();
  path.moveToPoint({static_cast<float>(points[0].x), static_cast<float>(points[0].y)});
  for (int32_t i = 1; i < count; ++i)
    path.lineToPoint({static_cast<float>(points[i].x), static_cast<float>(points[i].y)});
  path.closePath();
  const StrokeStyle stroke =
      Stroke(DrawColorFromRGB(*strokeColor), static_cast<float>(lineWidth), penStyle == kPenRegionDotted);

  // A solid fill leaves the context's state as it found it: no state to keep for it.
  const bool keepState = brushStyle != kBrushSolid;
  if (keepState) ctx->saveGraphicsState();
  switch (brushStyle) {
    case kBrushHollow:
      ctx->strokePath(path, stroke);
      break;
    case kBrushSolid: {
      FillStyle fill;
      fill.color = DrawColorFromRGB(*fillColor);
      ctx->fillPath(path, fill);
      break;
    }
    case kBrushBackwardDiagonal:
    case kBrushForwardDiagonal: {
      FillStyle back;
      back.color = DrawColorFromRGB(BackgroundUnlessPrinting(PlanBackgroundColor(ds)));
      ctx->fillPath(path, back);
      fillWithHatch(path, brushStyle == kBrushForwardDiagonal ? HatchKind::ForwardDiagonal : HatchKind::BackwardDiagonal,
                    *fillColor);
      break;
    }
    default:
      break;
  }
  if (keepState) ctx->restoreGraphicsState();
  // The outline by the pen, over whatever the brush drew (a hollow region's own stroke too).
  if (penStyle != kPenRegionNone) ctx->strokePath(path, stroke);
}

// ---- Grid ----

void Base2DView::GridSpacingAndOffsets(float* h, float* v, float* hOff, float* vOff) {
  *h = *v = *hOff = *vOff = 0;
  const DocState* ds = CurDocState();
  if (!ds) return;
  *h = ConvertWorldToScreen(ds->gridSpacing.floatH, ds, 0);
  *v = ConvertWorldToScreen(ds->gridSpacing.floatV, ds, 0);
  const FloatRect& b = ds->planBounds;
  double whole;
  if (*v > 0) *vOff = *v * static_cast<float>(std::modf((b.floatBottom - b.floatTop) / *v * 0.5, &whole));
  if (*h > 0) *hOff = *h * static_cast<float>(std::modf((b.floatRight - b.floatLeft) / *h * 0.5, &whole));
  if (!std::isfinite(*vOff)) *vOff = 0;
  if (!std::isfinite(*hOff)) *hOff = 0;
}

void Base2DView::drawGridFrame(float, float, float, float, const FloatRect* paper, const Float3DPoint* origin) {
  DrawContext* ctx = gCurrentDrawContext;
  if (!paper || !origin || !gCurDocument || !CurDocState() || !ctx) return;
  NSPoint corner, right, bottom, unused;
  ProjectLine(paper->floatLeft, 0, paper->floatTop, paper->floatRight, 0, paper->floatTop, &corner, &right);
  ProjectLine(paper->floatLeft, 0, paper->floatBottom, paper->floatLeft, 0, paper->floatBottom, &bottom, &unused);
  BezierPath frame;
  frame.appendRect(NSMakeRect(corner.x, corner.y, Whole(right.x - corner.x), Whole(bottom.y - corner.y)));
  ctx->strokePath(frame, Stroke(DrawColorFromRGB(gPlanDrawSettings.penColor), 1, false));
}

void Base2DView::draw3DGridDots(float h, float v, float hOff, float vOff, const FloatRect* paper,
                                const Float3DPoint* origin) {
  DrawContext* ctx = gCurrentDrawContext;
  DocState* ds = CurDocState();
  if (!paper || !gCurDocument || !ds || !ctx) return;
  const int32_t rows = GridSteps(paper->floatTop + vOff, paper->floatBottom, v);
  const int32_t columns = GridSteps(paper->floatLeft + hOff, paper->floatRight, h);
  if (!rows || !columns || static_cast<double>(rows) * columns > kMaxGridDots) return;
  const NSRect visible = visibleRect_;
  std::vector<NSPoint> dots;
  dots.reserve(500);
  for (int32_t r = 0; r < rows; ++r) {
    const float z = paper->floatTop + vOff + static_cast<float>(r) * v;
    for (int32_t c = 0; c < columns; ++c) {
      const float x = paper->floatLeft + hOff + static_cast<float>(c) * h;
      const NSPoint p0 = ProjectPlanPoint(x, z);
      const NSPoint p = PrintScaled(p0.x, p0.y);
      if (p.x < NSMinX(visible) || p.x >= NSMaxX(visible) || p.y < NSMinY(visible) || p.y >= NSMaxY(visible))
        continue;
      // A dot one unit long: shorter lines leave no mark on an aliased device.
      dots.push_back(p);
      dots.push_back({p.x, p.y + 1.0f});
    }
  }
  if (!dots.empty()) ctx->strokeLines(dots.data(), dots.size(), Stroke(DrawColorFromRGB(GridColor(ds)), 1, false));
}

void Base2DView::draw3DGridLines(float h, float v, float hOff, float vOff, const FloatRect* paper,
                                 const Float3DPoint* origin) {
  DrawContext* ctx = gCurrentDrawContext;
  DocState* ds = CurDocState();
  if (!paper || !origin || !gCurDocument || !ds || !ctx) return;
  const NSRect grown = NSInsetRect(visibleRect_, -10, -10);
  const float y = origin->floatV;
  const FloatRect& b = *paper;
  std::vector<NSPoint> lines;
  lines.reserve(500);
  NSPoint a, e;
  auto add = [&] {
    lines.push_back(a);
    lines.push_back(e);
  };

  const int32_t rows = GridSteps(b.floatTop + vOff, b.floatBottom, v);
  for (int32_t r = 0; r < rows; ++r) {
    const float z = b.floatTop + vOff + static_cast<float>(r) * v;
    ProjectLine(b.floatLeft, y, z, b.floatRight, y, z, &a, &e);
    if (gPrinting || (a.y >= NSMinY(grown) && a.y <= NSMaxY(grown))) add();
  }
  // The edges of an offset grid are drawn even when no inner line falls within the bounds.
  if (GridStepUsable(b.floatTop + vOff, b.floatBottom, v) && std::fabs(vOff) > 0.5f) {
    ProjectLine(b.floatLeft, y, b.floatTop, b.floatRight, y, b.floatTop, &a, &e);
    add();
    ProjectLine(b.floatLeft, y, b.floatBottom, b.floatRight, y, b.floatBottom, &a, &e);
    add();
  }
  const int32_t columns = GridSteps(b.floatLeft + hOff, b.floatRight, h);
  for (int32_t c = 0; c < columns; ++c) {
    const float x = b.floatLeft + hOff + static_cast<float>(c) * h;
    ProjectLine(x, y, b.floatTop, x, y, b.floatBottom, &a, &e);
    if (gPrinting || (a.x >= NSMinX(grown) && a.x <= NSMaxX(grown))) add();
  }
  if (GridStepUsable(b.floatLeft + hOff, b.floatRight, h) && std::fabs(hOff) > 0.5f) {
    ProjectLine(b.floatLeft, y, b.floatTop, b.floatLeft, y, b.floatBottom, &a, &e);
    add();
    ProjectLine(b.floatRight, y, b.floatTop, b.floatRight, y, b.floatBottom, &a, &e);
    add();
  }
  if (lines.size() >= 2) ctx->strokeLines(lines.data(), lines.size(), Stroke(DrawColorFromRGB(GridColor(ds)), 1, false));
}

// ---- Camera marker ----

void Base2DView::drawViewPoint() {
  DrawContext* ctx = gCurrentDrawContext;
  DocState* ds = CurDocState();
  if (!gCurDocument || !ds || !ctx) return;
  ctx->saveGraphicsState();
  FillStyle black;
  black.color = kDrawBlack;
  BezierPath marker;
  if (CameraMode(ds) == 1) {
    const FloatPoint camera = CameraPosition(ds);
    const NSPoint c = ProjectPlanPoint(camera.floatH, camera.floatV);
    const float a = CameraAngle(ds);
    auto around = [&](float degrees, float length) {
      float dx = 0, dy = 0;
      GetPointFromLengthAndAngle(degrees * kPi / 180.0f, length, &dx, &dy);
      return NSPoint{c.x + dx, c.y + dy};
    };
    marker.moveToPoint(around(a + 90, 20));
    marker.lineToPoint(around(a + 130, 10));
    marker.lineToPoint(around(a + 50, 10));
    marker.closePath();
    marker.appendOvalInRect(NSMakeRect(Whole(c.x) - 5, Whole(c.y) - 5, 10, 10));
    ctx->fillPath(marker, black);
  } else {
    const FloatPoint target = CameraTarget(ds);
    const NSPoint t = ProjectPlanPoint(target.floatH, target.floatV);
    marker.appendOvalInRect(NSMakeRect(Whole(t.x) - 5, Whole(t.y) - 5, 10, 10));
    ctx->fillPath(marker, black);
    const NSPoint cross[4] = {{t.x, t.y - 20}, {t.x, t.y + 20}, {t.x - 20, t.y}, {t.x + 20, t.y}};
    ctx->strokeLines(cross, 4, Stroke(kDrawBlack, 1, false));
  }
  ctx->restoreGraphicsState();
}

// ---- The plan ----

void Base2DView::drawTraceImage(const DrawImageData& image) {
  DrawContext* ctx = gCurrentDrawContext;
  const DocState* ds = CurDocState();
  if (!ctx || !ds || !image.isValid()) return;
  const float w = static_cast<float>(image.width), h = static_cast<float>(image.height);
  const float sx = ds->traceImageScaleX, sy = ds->traceImageScaleY;
  float x = std::round(ZoomF(w * sx * 0.5f)), y = std::round(ZoomF(h * sy * 0.5f)), z = 0;
  ComputeInverseRotationAboutArbitraryAxis(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle,
                                           gGlobalXOffset, gGlobalYOffset, gGlobalZOffset);
  const NSRect dest = NSMakeRect(-x, -z, std::round(ZoomF(w * sx)), std::round(ZoomF(h * sy)));
  if (!std::isfinite(dest.origin.x) || !std::isfinite(dest.origin.y) || NSIsEmptyRect(dest)) return;
  ctx->drawImage(image, dest, 1.0f);
}

void Base2DView::doDraw3D(const NSRect* rect, int32_t drawFlags) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (!rect || !doc || !ds) return;
  const RECT update = ConvertNSRectToRECT(rect);
  SetUpForRotationAboutArbitraryAxis(gXViewAngle, gYViewAngle, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle,
                                     gPerspective);
  if (const DrawImageData* image = traceImage(); image && image->isValid() && ds->traceImageVisible)
    drawTraceImage(*image);
  float h, v, hOff, vOff;
  GridSpacingAndOffsets(&h, &v, &hOff, &vOff);
  if (doc->itsTopoLayer && ShowTopography(ds)) DrawLayer(nullptr, doc->itsTopoLayer, &update, drawFlags, nullptr);
  if (gPlanDrawSettings.gridVisible) {
    if (ds->gridStyle == 1) draw3DGridLines(h, v, hOff, vOff, &ds->planBounds, &GridOrigin(ds));
    else draw3DGridDots(h, v, hOff, vOff, &ds->planBounds, &GridOrigin(ds));
  } else {
    drawGridFrame(h, v, hOff, vOff, &ds->planBounds, &GridOrigin(ds));
  }
  DrawAllLayers(nullptr, doc->itsLayers, &update, drawFlags, nullptr);
  if (shouldDrawViewPoint_) drawViewPoint();
}

void Base2DView::draw3D(const NSRect* rect, int32_t drawFlags) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  DrawContext* ctx = gCurrentDrawContext;
  if (!rect || !doc || !ds || !doc->itsLayers || !ctx) return;
  PassPenColor pen(ds);
  drawing_ = true;
  drawingRect_ = *rect;
  ctx->fillRect(*rect, DrawColorFromRGB(PlanBackgroundColor(ds)));
  SelectedObjectsOfRedrawScope noteSelected;
  doDraw3D(rect, drawFlags);
  if (dynamicDrawEngine_->areAllPathsEmpty()) {
    const RECT update = ConvertNSRectToRECT(rect);
    DrawAllLayerHandles(doc->itsLayers, &update);
  }
  dynamicDrawEngine_->strokeAllPaths(ctx);
  drawing_ = false;
}

void Base2DView::drawRect(const NSRect& rect) {
  if (DrawContext* ctx = gCurrentDrawContext) ctx->fillRect(rect, kDrawWhite);
}

bool Base2DView::needsToDrawRect(const NSRect& rect) const {
  if (!drawing_) return true;
  const NSRect& d = drawingRect_;
  return NSMinX(rect) < NSMaxX(d) && NSMaxX(rect) > NSMinX(d) && NSMinY(rect) < NSMaxY(d) &&
         NSMaxY(rect) > NSMinY(d);
}

// ---- Printing ----

void ZLKDocumentPrintView::drawRect(const NSRect& rect) {
  DrawContext* ctx = gCurrentDrawContext;
  if (!ctx) return;
  ctx->fillRect(rect, kDrawWhite);
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (!doc || !ds || !doc->itsLayers) return;
  PassPenColor pen(ds);
  ctx->saveGraphicsState();
  ctx->translateBy(gAffineTranslateX, gAffineTranslateY);
  setVisibleRect(NSMakeRect(NSMinX(rect) - gAffineTranslateX, NSMinY(rect) - gAffineTranslateY, rect.size.width,
                            rect.size.height));
  gPrinting = 1;
  if (gPlanDrawSettings.gridVisible && gPlanDrawSettings.printGrid) {
    float h, v, hOff, vOff;
    GridSpacingAndOffsets(&h, &v, &hOff, &vOff);
    if (ds->gridStyle == 1) draw3DGridLines(h, v, hOff, vOff, &ds->planBounds, &GridOrigin(ds));
    else draw3DGridDots(h, v, hOff, vOff, &ds->planBounds, &GridOrigin(ds));
  }
  const RECT empty{};
  if (doc->itsTopoLayer && ShowTopography(ds)) DrawLayer(nullptr, doc->itsTopoLayer, &empty, kDrawFlagAll, nullptr);
  DrawAllLayers(nullptr, doc->itsLayers, &empty, kDrawFlagAll, nullptr);
  gPrinting = 0;
  ctx->restoreGraphicsState();
}
