// A vector path of view coordinates: moves, lines, cubic curves and closes, with its
// own line width and dash, as the overlay and the drawing context use it.
#pragma once
#include <cstddef>
#include <vector>

#include "plandraw/DrawTypes.h"

class BezierPath {
 public:
  enum class ElementKind : uint8_t { MoveTo, LineTo, CurveTo, Close };
  struct Element {
    ElementKind kind;
    NSPoint points[3];  // MoveTo/LineTo: points[0]; CurveTo: control 1, control 2, end
  };

  void moveToPoint(NSPoint p);
  // Starts at the point when the path has no current point.
  void lineToPoint(NSPoint p);
  void curveToPoint(NSPoint end, NSPoint control1, NSPoint control2);
  void closePath();
  // Arc about the centre from the start angle counter-clockwise (in the y-up sense of
  // the angles) to the end angle, degrees; joined to the current point by a line.
  void appendArcWithCenter(NSPoint centre, float radius, float startAngle, float endAngle);
  void appendRect(const NSRect& rect);
  void appendOvalInRect(const NSRect& rect);
  void appendLine(NSPoint from, NSPoint to);
  void removeAllPoints();

  bool isEmpty() const { return elements_.empty(); }
  // Tight bounds of the path's geometry (curves by their extreme points); zero rect when empty.
  NSRect bounds() const;
  const std::vector<Element>& elements() const { return elements_; }
  // The path as polylines (curves in straight steps): one list of points per subpath;
  // closed subpaths repeat their first point at the end.
  std::vector<std::vector<NSPoint>> flattened(int curveSteps = 16) const;

  float lineWidth() const { return lineWidth_; }
  void setLineWidth(float width) { lineWidth_ = width; }
  // Dash lengths alternate dash and gap, absolute view units; count 0 is solid.
  void setLineDash(const float* lengths, int count, float phase);
  const std::vector<float>& lineDash() const { return dash_; }
  float lineDashPhase() const { return dashPhase_; }

 private:
  std::vector<Element> elements_;
  NSPoint current_{};
  NSPoint subpathStart_{};
  bool hasCurrentPoint_ = false;
  float lineWidth_ = 1.0f;
  std::vector<float> dash_;
  float dashPhase_ = 0;
};
