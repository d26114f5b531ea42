// A drawing context that draws nothing and keeps every call, for tests and for
// measuring what a drawing pass would paint.
#pragma once
#include <vector>

#include "plandraw/DrawContext.h"

class RecordingDrawContext : public DrawContext {
 public:
  enum class Kind : uint8_t { Lines, Polyline, StrokePath, FillPath, FillPolygon, Text, Image, Clip };
  struct Call {
    Kind kind;
    StrokeStyle stroke;      // Lines, Polyline, StrokePath
    FillStyle fill;          // FillPath, FillPolygon (pattern pointer not kept)
    bool patterned = false;  // the fill had a pattern tile
    std::vector<NSPoint> points;  // Lines and polygons: as given; paths: flattened, subpaths joined
    NSRect rect{};           // Image destination, clip, or the path's bounds
    TextRun text;            // Text
  };

  std::vector<Call> calls;

  void strokeLines(const NSPoint* points, size_t count, const StrokeStyle& style) override;
  void strokePolyline(const NSPoint* points, size_t count, const StrokeStyle& style) override;
  void strokePath(const BezierPath& path, const StrokeStyle& style) override;
  void fillPath(const BezierPath& path, const FillStyle& style) override;
  void fillPolygon(const NSPoint* points, size_t count, const FillStyle& style) override;
  void drawText(const TextRun& run) override;
  // 0.6 of the point size per character wide, the point size high.
  NSSize measureText(const std::string& text, const FontDescription& font) override;
  void drawImage(const DrawImageData& image, const NSRect& dest, float opacity) override;
  void clipToRect(const NSRect& rect) override;

  // Every stroked line segment (Lines calls only), two points each, in call order.
  std::vector<NSPoint> strokedLinePoints() const;
  size_t count(Kind kind) const;
  void clear() { calls.clear(); }
};
