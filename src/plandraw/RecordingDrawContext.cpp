// The recording drawing context.
#include "plandraw/RecordingDrawContext.h"

void RecordingDrawContext::strokeLines(const NSPoint* points, size_t count, const StrokeStyle& style) {
  Call c{Kind::Lines};
  c.stroke = style;
  if (points) c.points.assign(points, points + (count & ~static_cast<size_t>(1)));
  calls.push_back(std::move(c));
}

void RecordingDrawContext::strokePolyline(const NSPoint* points, size_t count, const StrokeStyle& style) {
  Call c{Kind::Polyline};
  c.stroke = style;
  if (points) c.points.assign(points, points + count);
  calls.push_back(std::move(c));
}

void RecordingDrawContext::strokePath(const BezierPath& path, const StrokeStyle& style) {
  Call c{Kind::StrokePath};
  c.stroke = style;
  for (const auto& poly : path.flattened()) c.points.insert(c.points.end(), poly.begin(), poly.end());
  c.rect = path.bounds();
  calls.push_back(std::move(c));
}

void RecordingDrawContext::fillPath(const BezierPath& path, const FillStyle& style) {
  Call c{Kind::FillPath};
  c.fill = style;
  c.patterned = style.pattern != nullptr;
  c.fill.pattern = nullptr;
  for (const auto& poly : path.flattened()) c.points.insert(c.points.end(), poly.begin(), poly.end());
  c.rect = path.bounds();
  calls.push_back(std::move(c));
}

void RecordingDrawContext::fillPolygon(const NSPoint* points, size_t count, const FillStyle& style) {
  Call c{Kind::FillPolygon};
  c.fill = style;
  c.patterned = style.pattern != nullptr;
  c.fill.pattern = nullptr;
  if (points) c.points.assign(points, points + count);
  calls.push_back(std::move(c));
}

void RecordingDrawContext::drawText(const TextRun& run) {
  Call c{Kind::Text};
  c.text = run;
  calls.push_back(std::move(c));
}

NSSize RecordingDrawContext::measureText(const std::string& text, const FontDescription& font) {
  return {0.6f * font.pointSize * static_cast<float>(text.size()), font.pointSize};
}

void RecordingDrawContext::drawImage(const DrawImageData& image, const NSRect& dest, float opacity) {
  Call c{Kind::Image};
  c.rect = dest;
  calls.push_back(std::move(c));
}

void RecordingDrawContext::clipToRect(const NSRect& rect) {
  Call c{Kind::Clip};
  c.rect = rect;
  calls.push_back(std::move(c));
}

std::vector<NSPoint> RecordingDrawContext::strokedLinePoints() const {
  std::vector<NSPoint> out;
  for (const Call& c : calls)
    if (c.kind == Kind::Lines) out.insert(out.end(), c.points.begin(), c.points.end());
  return out;
}

size_t RecordingDrawContext::count(Kind kind) const {
  size_t n = 0;
  for (const Call& c : calls) n += c.kind == kind;
  return n;
}
