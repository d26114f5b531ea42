// State handling and conveniences shared by every drawing context.
#include "plandraw/DrawContext.h"

#include <algorithm>

DrawContext* gCurrentDrawContext = nullptr;

void StrokeStyle::setDash(const float* lengths, int count, float phase) {
  dashCount = 0;
  dashPhase = phase;
  if (!lengths || count <= 0) return;
  dashCount = std::min(count, 6);
  for (int i = 0; i < dashCount; ++i) dash[i] = lengths[i];
}

bool DrawImageData::isValid() const {
  return pixels && width > 0 && height > 0 && (bytesPerPixel == 3 || bytesPerPixel == 4) &&
         static_cast<int64_t>(bytesPerRow) >= static_cast<int64_t>(width) * bytesPerPixel;
}

StrokeStyle DrawContext::currentStroke() const {
  StrokeStyle s;
  s.color = state_.color;
  s.width = state_.lineWidth;
  return s;
}

void DrawContext::saveGraphicsState() { saved_.push_back(state_); }

void DrawContext::restoreGraphicsState() {
  if (saved_.empty()) return;
  state_ = saved_.back();
  saved_.pop_back();
}

DrawColor DrawContext::focusIndicatorColor() const { return {0.231f, 0.6f, 0.988f, 1.0f}; }

void DrawContext::strokePathWithOwnStyle(const BezierPath& path) {
  StrokeStyle s;
  s.color = state_.color;
  s.width = path.lineWidth();
  const auto& dash = path.lineDash();
  s.setDash(dash.data(), static_cast<int>(dash.size()), path.lineDashPhase());
  strokePath(path, s);
}

void DrawContext::fillRect(const NSRect& rect, const DrawColor& color) {
  BezierPath p;
  p.appendRect(rect);
  FillStyle f;
  f.color = color;
  fillPath(p, f);
}
