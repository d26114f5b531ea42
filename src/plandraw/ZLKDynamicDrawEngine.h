// The rubber-band overlay of a plan view: two general paths, live dimension labels
// and outlines of objects being transformed, filled by the tools while they track and
// drawn by the view on top of the plan.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "model/Types.h"
#include "plandraw/BezierPath.h"
#include "plandraw/DrawTypes.h"

class DrawContext;
struct Objex;

enum : int16_t { kPathPrimary = 0, kPathSecondary = 1 };
enum : int16_t { kDrawMethodStroke = 0, kDrawMethodFill = 1 };

// A live length label: text in a rectangle, over an optional white backing box.
class ZLKDynamicDimElement {
 public:
  ZLKDynamicDimElement() = default;
  ~ZLKDynamicDimElement();
  ZLKDynamicDimElement(const ZLKDynamicDimElement&) = delete;
  ZLKDynamicDimElement& operator=(const ZLKDynamicDimElement&) = delete;

  // Copies the rect, the font and the string; the backing box is the closed path through
  // the four points in order. Nothing is stored when an argument is missing or the
  // string is empty; false then.
  bool initDynamicDimElementTextRect(const NSRect* rect, const char* string, const LOGFONT* fontInfo,
                                     const FloatPoint backingPathPoints[4]);
  // The same without a backing box.
  bool initDynaimcDimElementTextRect(const NSRect* rect, const char* string, const LOGFONT* fontInfo);

  // The backing box filled white, then the text in red centred on the rect.
  void drawDynamicDimElement(DrawContext* context = nullptr) const;
  // The backing box's bounds; the zero rect without one.
  NSRect backingPathBounds() const;
  // True only for a backing box without points: a label without a box is not empty,
  // since its text still shows.
  bool isBackingPathEmpty() const;
  bool hasBackingBox() const;

  const char* dimensionText() const { return dimensionText_; }
  const BezierPath* backingPath() const { return backingPath_.get(); }
  const NSRect& textRect() const { return textRect_; }
  const LOGFONT& textFontInfo() const { return textFontInfo_; }

 private:
  char* dimensionText_ = nullptr;
  std::unique_ptr<BezierPath> backingPath_;
  NSRect textRect_{};
  LOGFONT textFontInfo_{};
};

// The outline of one object being moved, scaled or rotated.
class ZLKDynamicTransformElement {
 public:
  void drawDynamicTransformElement(DrawContext* context = nullptr) const;
  void appendPathWithLineFromPoint(NSPoint from, NSPoint to);
  void closePath() { path_.closePath(); }
  void lineToPoint(NSPoint p) { path_.lineToPoint(p); }
  void moveToPoint(NSPoint p) { path_.moveToPoint(p); }
  // Width (and dash) as the object shows on screen: walls as wide as the wall, detail
  // lines at their weight and style; others width 1, solid.
  void setLineStyleForObject(const Objex* object);
  void setLineWidth(float width) { path_.setLineWidth(width); }
  void setFillPath(bool fill) { fillPath_ = fill; }
  void setDrawUsingIndicatorColor(bool use) { drawUsingIndicatorColor_ = use; }

  bool drawUsingIndicatorColor() const { return drawUsingIndicatorColor_; }
  bool fillPath() const { return fillPath_; }
  const BezierPath& path() const { return path_; }

 private:
  bool drawUsingIndicatorColor_ = false;
  bool fillPath_ = false;
  BezierPath path_;
};

class ZLKDynamicDrawEngine {
 public:
  ZLKDynamicDrawEngine();
  ~ZLKDynamicDrawEngine();
  ZLKDynamicDrawEngine(const ZLKDynamicDrawEngine&) = delete;
  ZLKDynamicDrawEngine& operator=(const ZLKDynamicDrawEngine&) = delete;

  void removeAllDynamicTransformElements();
  // The most recently added transform element, or null.
  ZLKDynamicTransformElement* activeTransformElement() const;
  // The engine owns what it is given; null is ignored.
  void addDynamicTransformElement(std::unique_ptr<ZLKDynamicTransformElement> element);
  void removeAllDynamicDimElements();
  void addDynamicDimElement(std::unique_ptr<ZLKDynamicDimElement> element);

  // Both paths: width 1, solid, red, stroked; the active path stays.
  void resetAttributesForAllPaths();
  void removePointsFromPath(int16_t path);
  // Empties both paths and drops every label and transform element; the paths keep
  // their colours, widths, dashes and draw methods.
  void removePointsFromAllPaths();
  // Draws the primary path, the secondary path, the labels, then the transform elements.
  void strokeAllPaths(DrawContext* context = nullptr) const;

  // Union of the non-empty paths and every label's backing box (zero rect when none).
  NSRect boundsForAllPaths() const;
  NSRect boundsForPath(int16_t path) const;
  NSRect activePathBounds() const { return boundsForPath(activePathID_); }
  bool isPathEmpty(int16_t path) const;
  bool isActivePathEmpty() const { return isPathEmpty(activePathID_); }
  // Both paths empty and no label with something to show (a label without a backing
  // box always shows its text).
  bool areAllPathsEmpty() const;

  void closePath(int16_t path);
  void closeActivePath() { closePath(activePathID_); }
  void activePathLineToPoint(NSPoint p);
  void activePathMoveToPoint(NSPoint p);
  // Angles in degrees, counter-clockwise in the sense of the path's arcs.
  void appendActivePathWithArcWithCenter(NSPoint centre, float radius, float startAngle, float endAngle);
  void appendRectToActivePath(const NSRect& rect);
  void appendOvalToActivePathWithBoundingRect(const NSRect& rect);
  void appendLineToActivePathWithStartPoint(NSPoint start, NSPoint end);

  void setDrawMethod(int16_t method, int16_t path);
  void setActivePathDrawMethod(int16_t method) { setDrawMethod(method, activePathID_); }
  void setDeviceRed(float red, float green, float blue, float alpha, int16_t path);
  void setActivePathDeviceRed(float red, float green, float blue, float alpha) {
    setDeviceRed(red, green, blue, alpha, activePathID_);
  }
  void setLineDash(const float* lengths, int count, float phase, int16_t path);
  void setActivePathLineDash(const float* lengths, int count, float phase) {
    setLineDash(lengths, count, phase, activePathID_);
  }
  void setLineWidthForPath(int16_t path, float lineWidth);
  void setActivePathLineWidth(float lineWidth) { setLineWidthForPath(activePathID_, lineWidth); }
  // Selects path 0 or 1; any other id selects 0.
  void setActivePath(int16_t path);

  int16_t activePathID() const { return activePathID_; }
  int16_t drawMethodForPath(int16_t path) const;
  DrawColor colorForPath(int16_t path) const;
  const BezierPath* pathForID(int16_t path) const;
  const std::vector<std::unique_ptr<ZLKDynamicDimElement>>& dynamicDimArray() const { return dynamicDimArray_; }
  const std::vector<std::unique_ptr<ZLKDynamicTransformElement>>& dynamicTransformArray() const {
    return dynamicTransformArray_;
  }

 private:
  BezierPath* mutablePath(int16_t path);
  DrawColor primaryColor_ = kDrawRed;
  DrawColor secondaryColor_ = kDrawRed;
  int16_t activePathID_ = kPathPrimary;
  int16_t primaryPathDrawMethod_ = kDrawMethodStroke;
  int16_t secondaryPathDrawMethod_ = kDrawMethodStroke;
  BezierPath primaryPath_;
  BezierPath secondaryPath_;
  std::vector<std::unique_ptr<ZLKDynamicDimElement>> dynamicDimArray_;
  std::vector<std::unique_ptr<ZLKDynamicTransformElement>> dynamicTransformArray_;
};
