// The view under the plan: one drawing of the plan (background, trace image, topography,
// grid, all floors, camera marker, selection handles, rubber-band overlay) into the current
// drawing context, and the text, region and pattern services the plan drawing calls back
// into. The print view draws the same plan without the screen-only parts.
#pragma once
#include <cstdint>
#include <memory>

#include "model/Types.h"
#include "plandraw/DrawContext.h"
#include "plandraw/DrawTypes.h"
#include "plandraw/HatchPatterns.h"

class ZLKDynamicDrawEngine;

// Detail object fill patterns.
enum : int32_t {
  kPatternNone = 0, kPatternBackground, kPatternForeground, kPatternForwardDiagonal,
  kPatternBackwardDiagonal, kPatternDiagonalCross, kPatternHorizontal, kPatternVertical, kPatternCross
};
// Alignment of drawStdText: left for any value but these two.
enum : int16_t { kTextAlignLeft = 0, kTextAlignCenter = 1, kTextAlignRight = 2 };

// Every service draws into the current drawing context and returns silently when an
// argument is missing, there is no current document or DocState, or no current context.
class Base2DView {
 public:
  Base2DView();
  virtual ~Base2DView();
  Base2DView(const Base2DView&) = delete;
  Base2DView& operator=(const Base2DView&) = delete;

  // Text from a LOGFONT: size -lfHeight in view units (12 for a positive height), italic for
  // lfItalic, bold for weight 700, face lfFaceName.
  // The string in the rect from its top, aligned left, centred (1) or right (2).
  void drawStdText(const char* text, const NSRect* rect, const LOGFONT* font, const RGBColor* color,
                   int16_t alignment);
  // The string centred on the rect's centre, turned by lfOrientation (tenths of a degree,
  // counter-clockwise on the screen).
  void drawText(const char* text, const NSRect* rect, const LOGFONT* font, const RGBColor* color);
  // Width and height of the string; outside a drawing pass it is measured with the installed
  // text measurer (0 by 0 when there is none).
  NSSize textMetricsForString(const char* text, const LOGFONT* font);
  // Measures text when no drawing context is current (installed by the Qt drawing layer).
  static void setTextMeasurer(NSSize (*measurer)(const std::string& text, const FontDescription& font));

  // A detail object's outline filled and stroked by pattern style (kPattern...).
  void drawDetailPatternObject(const BezierPath* path, int32_t patternStyle, const RGBColor* foreground,
                               const RGBColor* background, int32_t lineWidth);
  // A closed polygon (more than 2 points) filled by brush (hollow, solid, backward or forward
  // diagonal hatch) and stroked by region pen (solid, dotted or none).
  void draw2DPatternRegion(const POINT* points, int32_t count, int32_t penStyle, int32_t brushStyle,
                           const RGBColor* strokeColor, const RGBColor* fillColor, int32_t lineWidth);

  // The grid: h and v are the spacings and hOff and vOff the offsets in plan units; paper is
  // the plan bounds. A spacing of 0 or less draws no grid lines or dots.
  void drawGridFrame(float h, float v, float hOff, float vOff, const FloatRect* paper, const Float3DPoint* origin);
  void draw3DGridDots(float h, float v, float hOff, float vOff, const FloatRect* paper, const Float3DPoint* origin);
  void draw3DGridLines(float h, float v, float hOff, float vOff, const FloatRect* paper, const Float3DPoint* origin);
  // The 3D camera marker.
  void drawViewPoint();

  // The plan without background, handles and overlay.
  void doDraw3D(const NSRect* rect, int32_t drawFlags);
  // The whole plan drawing of the rect.
  void draw3D(const NSRect* rect, int32_t drawFlags);
  // Fills the rect with white; views of a document replace it.
  virtual void drawRect(const NSRect& rect);
  bool isFlipped() const { return true; }
  bool isOpaque() const { return true; }

  // Whether any part of the rect is being redrawn (always outside a drawing pass).
  bool needsToDrawRect(const NSRect& rect) const;
  // The rect of the drawing pass under way, view coordinates; false outside one.
  bool drawingRect(NSRect* rect) const {
    if (drawing_ && rect) *rect = drawingRect_;
    return drawing_;
  }
  // The part of the view that shows, view coordinates; grid dots and lines outside it are
  // left out.
  NSRect visibleRect() const { return visibleRect_; }
  void setVisibleRect(const NSRect& rect) { visibleRect_ = rect; }
  // The view coordinate at the top-left of the view; hatches are laid from it.
  NSPoint boundsOrigin() const { return boundsOrigin_; }
  void setBoundsOrigin(NSPoint origin) { boundsOrigin_ = origin; }

  bool shouldDrawViewPoint() const { return shouldDrawViewPoint_; }
  void setShouldDrawViewPoint(bool draw) { shouldDrawViewPoint_ = draw; }
  ZLKDynamicDrawEngine& dynamicDrawEngine() { return *dynamicDrawEngine_; }

  // The grid's spacings in plan units and the offsets that centre it on the plan bounds.
  static void GridSpacingAndOffsets(float* h, float* v, float* hOff, float* vOff);

 protected:
  // The document's trace image; none here.
  virtual const DrawImageData* traceImage() const { return nullptr; }
  // The trace image centred on the model origin at its scale and the zoom.
  void drawTraceImage(const DrawImageData& image);
  // Fills the path with the hatch in the colour, over the background colour (white when printing).
  void fillWithHatch(const BezierPath& path, HatchKind kind, const RGBColor& color);

 private:
  ColoredHatch& hatch(HatchKind kind);

  bool shouldDrawViewPoint_ = true;
  std::unique_ptr<ColoredHatch> hatches_[kHatchKindCount];
  std::unique_ptr<ZLKDynamicDrawEngine> dynamicDrawEngine_;
  NSRect visibleRect_{};
  NSPoint boundsOrigin_{};
  // The rect of the drawing pass under way; empty outside one.
  bool drawing_ = false;
  NSRect drawingRect_{};
};

// The plan for the printer: no trace image, camera marker, handles or overlay, the grid only
// when it is shown and printed, gPrinting set for the pass and cleared afterwards.
class ZLKDocumentPrintView : public Base2DView {
 public:
  void drawRect(const NSRect& rect) override;
};

// Where the print commands place the plan on the page.
extern float gAffineTranslateX, gAffineTranslateY;
