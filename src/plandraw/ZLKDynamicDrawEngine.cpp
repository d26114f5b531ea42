// The rubber-band overlay: its paths, labels and transform elements, and how it draws.
#include "plandraw/ZLKDynamicDrawEngine.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "plandraw/DrawContext.h"
#include "plandraw/LineStyles.h"
#include "plandraw/PlanViewHooks.h"

namespace {

// Whole view units as the platform rounds a width: 0.5 added, truncated, kept in range.
int32_t WholeWidth(float v) {
  double r = static_cast<double>(v) + 0.5;
  if (!(r > -32768.0)) return 0;
  if (r > 32767.0) return 32767;
  return static_cast<int32_t>(r);
}

// Grows a running union by a rectangle, zero-area rectangles (a lone line) included.
void Accumulate(bool* any, NSRect* total, const NSRect& r) {
  if (!*any) {
    *total = r;
    *any = true;
    return;
  }
  float left = std::fmin(NSMinX(*total), NSMinX(r)), top = std::fmin(NSMinY(*total), NSMinY(r));
  float right = std::fmax(NSMaxX(*total), NSMaxX(r)), bottom = std::fmax(NSMaxY(*total), NSMaxY(r));
  *total = NSMakeRect(left, top, right - left, bottom - top);
}

}  // namespace

// Labels.

ZLKDynamicDimElement::~ZLKDynamicDimElement() { free(dimensionText_); }

bool ZLKDynamicDimElement::initDynaimcDimElementTextRect(const NSRect* rect, const char* string,
                                                         const LOGFONT* fontInfo) {
  if (!rect || !string || !*string || !fontInfo) return false;
  size_t length = strlen(string);
  char* copy = static_cast<char*>(calloc(length + 5, 1));
  if (!copy) return false;
  memcpy(copy, string, length);
  free(dimensionText_);
  dimensionText_ = copy;
  textRect_ = *rect;
  textFontInfo_ = *fontInfo;
  return true;
}

bool ZLKDynamicDimElement::initDynamicDimElementTextRect(const NSRect* rect, const char* string,
                                                         const LOGFONT* fontInfo,
                                                         const FloatPoint backingPathPoints[4]) {
  if (!backingPathPoints || !initDynaimcDimElementTextRect(rect, string, fontInfo)) return false;
  auto path = std::make_unique<BezierPath>();
  path->moveToPoint({backingPathPoints[0].floatH, backingPathPoints[0].floatV});
  for (int i = 1; i < 4; ++i) path->lineToPoint({backingPathPoints[i].floatH, backingPathPoints[i].floatV});
  path->closePath();
  backingPath_ = std::move(path);
  return true;
}

bool ZLKDynamicDimElement::hasBackingBox() const { return backingPath_ && !backingPath_->isEmpty(); }

NSRect ZLKDynamicDimElement::backingPathBounds() const {
  return hasBackingBox() ? backingPath_->bounds() : NSZeroRect;
}

bool ZLKDynamicDimElement::isBackingPathEmpty() const { return backingPath_ && backingPath_->isEmpty(); }

void ZLKDynamicDimElement::drawDynamicDimElement(DrawContext* context) const {
  DrawContext* ctx = ResolveDrawContext(context);
  if (ctx && hasBackingBox()) {
    FillStyle white;
    white.color = kDrawWhite;
    ctx->fillPath(*backingPath_, white);
    ctx->setColor(kDrawRed);
  }
  if (!dimensionText_) return;
  const RGBColor red{65535, 0, 0};
  if (gPlanViewHooks.drawText) gPlanViewHooks.drawText(dimensionText_, &textRect_, &textFontInfo_, &red);
  else DrawTextInRectWithFontInfo(ctx, dimensionText_, &textRect_, &textFontInfo_, &red);
}

// Transform elements.

void ZLKDynamicTransformElement::appendPathWithLineFromPoint(NSPoint from, NSPoint to) {
  path_.moveToPoint(from);
  path_.lineToPoint(to);
}

void ZLKDynamicTransformElement::setLineStyleForObject(const Objex* object) {
  const DocState* ds = CurDocState();
  if (!object || !ds) return;
  if (object->type == kObjWall) {
    path_.setLineWidth(static_cast<float>(ZoomL(WholeWidth(ConvertWorldToScreen(object->width, ds, 0)))));
    return;
  }
  if (object->type == kObjDetail && object->subtype >= 1 && object->subtype <= 7) {
    path_.setLineWidth(static_cast<float>(ZoomL(WholeWidth(object->width))));
    // Only the dashed styles fill the record; any other style stays solid rather than
    // picking up the dash another object left there.
    if (object->penStyle >= kPenDashDot && object->penStyle <= kPenLongDashDot) {
      LoadStyle(object->penStyle, &gStyleState, object->width);
      path_.setLineDash(gStyleState.lengths, gStyleState.count, 0);
    }
  }
}

void ZLKDynamicTransformElement::drawDynamicTransformElement(DrawContext* context) const {
  DrawContext* ctx = ResolveDrawContext(context);
  if (!ctx) return;
  if (drawUsingIndicatorColor_) ctx->setColor(ctx->focusIndicatorColor());
  if (fillPath_) {
    FillStyle f;
    f.color = ctx->color();
    ctx->fillPath(path_, f);
  } else {
    ctx->strokePathWithOwnStyle(path_);
  }
}

// Engine.

ZLKDynamicDrawEngine::ZLKDynamicDrawEngine() = default;

ZLKDynamicDrawEngine::~ZLKDynamicDrawEngine() {
  removeAllDynamicDimElements();
  removeAllDynamicTransformElements();
}

BezierPath* ZLKDynamicDrawEngine::mutablePath(int16_t path) {
  if (path == kPathPrimary) return &primaryPath_;
  if (path == kPathSecondary) return &secondaryPath_;
  return nullptr;
}

const BezierPath* ZLKDynamicDrawEngine::pathForID(int16_t path) const {
  return const_cast<ZLKDynamicDrawEngine*>(this)->mutablePath(path);
}

void ZLKDynamicDrawEngine::removeAllDynamicTransformElements() { dynamicTransformArray_.clear(); }

ZLKDynamicTransformElement* ZLKDynamicDrawEngine::activeTransformElement() const {
  return dynamicTransformArray_.empty() ? nullptr : dynamicTransformArray_.back().get();
}

void ZLKDynamicDrawEngine::addDynamicTransformElement(std::unique_ptr<ZLKDynamicTransformElement> element) {
  if (element) dynamicTransformArray_.push_back(std::move(element));
}

void ZLKDynamicDrawEngine::removeAllDynamicDimElements() { dynamicDimArray_.clear(); }

void ZLKDynamicDrawEngine::addDynamicDimElement(std::unique_ptr<ZLKDynamicDimElement> element) {
  if (element) dynamicDimArray_.push_back(std::move(element));
}

void ZLKDynamicDrawEngine::resetAttributesForAllPaths() {
  for (int16_t id : {kPathPrimary, kPathSecondary}) {
    BezierPath* p = mutablePath(id);
    p->setLineWidth(1.0f);
    p->setLineDash(nullptr, 0, 0);
  }
  primaryColor_ = secondaryColor_ = kDrawRed;
  primaryPathDrawMethod_ = secondaryPathDrawMethod_ = kDrawMethodStroke;
}

void ZLKDynamicDrawEngine::removePointsFromPath(int16_t path) {
  if (BezierPath* p = mutablePath(path)) p->removeAllPoints();
}

void ZLKDynamicDrawEngine::removePointsFromAllPaths() {
  primaryPath_.removeAllPoints();
  secondaryPath_.removeAllPoints();
  removeAllDynamicDimElements();
  removeAllDynamicTransformElements();
}

void ZLKDynamicDrawEngine::strokeAllPaths(DrawContext* context) const {
  DrawContext* ctx = ResolveDrawContext(context);
  if (!ctx) return;
  const struct {
    const BezierPath* path;
    DrawColor color;
    int16_t method;
  } paths[] = {{&primaryPath_, primaryColor_, primaryPathDrawMethod_},
               {&secondaryPath_, secondaryColor_, secondaryPathDrawMethod_}};
  for (const auto& p : paths) {
    ctx->setColor(p.color);
    if (p.path->isEmpty()) continue;
    if (p.method == kDrawMethodStroke) {
      ctx->strokePathWithOwnStyle(*p.path);
    } else if (p.method == kDrawMethodFill) {
      FillStyle f;
      f.color = p.color;
      ctx->fillPath(*p.path, f);
    }
  }
  for (const auto& label : dynamicDimArray_) label->drawDynamicDimElement(context);
  for (const auto& element : dynamicTransformArray_) element->drawDynamicTransformElement(ctx);
}

NSRect ZLKDynamicDrawEngine::boundsForAllPaths() const {
  bool any = false;
  NSRect total = NSZeroRect;
  if (!primaryPath_.isEmpty()) Accumulate(&any, &total, primaryPath_.bounds());
  if (!secondaryPath_.isEmpty()) Accumulate(&any, &total, secondaryPath_.bounds());
  for (const auto& label : dynamicDimArray_)
    if (label->hasBackingBox()) Accumulate(&any, &total, label->backingPathBounds());
  return total;
}

NSRect ZLKDynamicDrawEngine::boundsForPath(int16_t path) const {
  const BezierPath* p = pathForID(path);
  return p ? p->bounds() : NSZeroRect;
}

bool ZLKDynamicDrawEngine::isPathEmpty(int16_t path) const {
  const BezierPath* p = pathForID(path);
  return p ? p->isEmpty() : true;
}

bool ZLKDynamicDrawEngine::areAllPathsEmpty() const {
  if (!primaryPath_.isEmpty() || !secondaryPath_.isEmpty()) return false;
  for (const auto& label : dynamicDimArray_)
    if (!label->isBackingPathEmpty()) return false;
  return true;
}

void ZLKDynamicDrawEngine::closePath(int16_t path) {
  if (BezierPath* p = mutablePath(path)) p->closePath();
}

void ZLKDynamicDrawEngine::activePathLineToPoint(NSPoint p) { mutablePath(activePathID_)->lineToPoint(p); }

void ZLKDynamicDrawEngine::activePathMoveToPoint(NSPoint p) { mutablePath(activePathID_)->moveToPoint(p); }

void ZLKDynamicDrawEngine::appendActivePathWithArcWithCenter(NSPoint centre, float radius, float startAngle,
                                                            float endAngle) {
  mutablePath(activePathID_)->appendArcWithCenter(centre, radius, startAngle, endAngle);
}

void ZLKDynamicDrawEngine::appendRectToActivePath(const NSRect& rect) { mutablePath(activePathID_)->appendRect(rect); }

void ZLKDynamicDrawEngine::appendOvalToActivePathWithBoundingRect(const NSRect& rect) {
  mutablePath(activePathID_)->appendOvalInRect(rect);
}

void ZLKDynamicDrawEngine::appendLineToActivePathWithStartPoint(NSPoint start, NSPoint end) {
  mutablePath(activePathID_)->appendLine(start, end);
}

void ZLKDynamicDrawEngine::setDrawMethod(int16_t method, int16_t path) {
  if (method != kDrawMethodStroke && method != kDrawMethodFill) return;
  if (path == kPathPrimary) primaryPathDrawMethod_ = method;
  else if (path == kPathSecondary) secondaryPathDrawMethod_ = method;
}

void ZLKDynamicDrawEngine::setDeviceRed(float red, float green, float blue, float alpha, int16_t path) {
  DrawColor c{red, green, blue, alpha};
  if (path == kPathPrimary) primaryColor_ = c;
  else if (path == kPathSecondary) secondaryColor_ = c;
}

void ZLKDynamicDrawEngine::setLineDash(const float* lengths, int count, float phase, int16_t path) {
  if (BezierPath* p = mutablePath(path)) p->setLineDash(lengths, count, phase);
}

void ZLKDynamicDrawEngine::setLineWidthForPath(int16_t path, float lineWidth) {
  if (BezierPath* p = mutablePath(path)) p->setLineWidth(lineWidth);
}

void ZLKDynamicDrawEngine::setActivePath(int16_t path) {
  activePathID_ = (path == kPathSecondary) ? kPathSecondary : kPathPrimary;
}

int16_t ZLKDynamicDrawEngine::drawMethodForPath(int16_t path) const {
  return path == kPathSecondary ? secondaryPathDrawMethod_ : primaryPathDrawMethod_;
}

DrawColor ZLKDynamicDrawEngine::colorForPath(int16_t path) const {
  return path == kPathSecondary ? secondaryColor_ : primaryColor_;
}
