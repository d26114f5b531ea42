// The drawing context that all plan drawing goes through: batches of lines, paths,
// fills, text and images in view coordinates (y downward), plus the current colour and
// line width. One implementation paints with QPainter (a window, a QImage or a printer);
// the recording one keeps every call for tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "plandraw/BezierPath.h"
#include "plandraw/DrawTypes.h"

// How a line or path outline is drawn.
struct StrokeStyle {
  DrawColor color = kDrawBlack;
  // View units; 0 draws the thinnest line the device can show.
  float width = 1.0f;
  // Alternate dash and gap lengths in view units (not in line widths); none is solid.
  int dashCount = 0;
  float dash[6] = {};
  float dashPhase = 0;

  bool isDashed() const { return dashCount > 0; }
  void setDash(const float* lengths, int count, float phase = 0);
};

// A block of pixels handed to the context: rows top first, 3 (RGB) or 4 (RGBA, not
// premultiplied) bytes per pixel, `bytesPerRow` apart. Not owned.
struct DrawImageData {
  int32_t width = 0, height = 0;
  int32_t bytesPerPixel = 4;
  int32_t bytesPerRow = 0;
  const uint8_t* pixels = nullptr;

  bool isValid() const;
};

struct FillStyle {
  DrawColor color = kDrawBlack;
  bool evenOdd = false;
  // A tile repeated over the fill (hatches); the colour is not used when set.
  const DrawImageData* pattern = nullptr;
  // The view point where a tile's top-left corner lies (the tiles repeat from there).
  NSPoint patternOrigin{};
};

// Font traits as the font adapters exchange them.
constexpr uint32_t kFontItalicTrait = 1;
constexpr uint32_t kFontBoldTrait = 2;

struct FontDescription {
  std::string family;   // UTF-8; empty for the default sans serif family
  float pointSize = 12;  // view units
  uint32_t traits = 0;   // kFontItalicTrait | kFontBoldTrait
};

// Text under this height in view units is too small to read: neither shaped nor drawn.
constexpr float kSmallestReadableText = 3.0f;
// Whether text of the font shows at all (a size that is not a positive number draws at 12).
inline bool IsReadableFontSize(const FontDescription& font) {
  return !(font.pointSize > 0 && font.pointSize < kSmallestReadableText);
}

enum class TextAlignment : uint8_t { Left, Centre, Right };

// One line of text. `anchor` is where the text box is placed: its centre for Centre,
// the middle of its left or right edge for Left and Right. The box turns about the
// anchor by `angleDegrees`, counter-clockwise on the screen.
struct TextRun {
  std::string text;  // UTF-8
  NSPoint anchor;
  FontDescription font;
  DrawColor color = kDrawBlack;
  float angleDegrees = 0;
  TextAlignment alignment = TextAlignment::Centre;
};

class DrawContext {
 public:
  virtual ~DrawContext() = default;

  // Current state, used by the plan drawing routines for what they draw "in the current
  // colour" and "at the default width"; saved and restored with the clip.
  DrawColor color() const { return state_.color; }
  void setColor(const DrawColor& c) { state_.color = c; }
  float lineWidth() const { return state_.lineWidth; }
  void setLineWidth(float width) { state_.lineWidth = width; }
  // The current colour and width as a solid stroke.
  StrokeStyle currentStroke() const;
  virtual void saveGraphicsState();
  virtual void restoreGraphicsState();

  // Line segments: `points` holds two end points per segment (count is the number of
  // points; an odd last point is ignored).
  virtual void strokeLines(const NSPoint* points, size_t count, const StrokeStyle& style) = 0;
  // An open polyline through the points.
  virtual void strokePolyline(const NSPoint* points, size_t count, const StrokeStyle& style) = 0;
  virtual void strokePath(const BezierPath& path, const StrokeStyle& style) = 0;
  virtual void fillPath(const BezierPath& path, const FillStyle& style) = 0;
  // A closed polygon through the points.
  virtual void fillPolygon(const NSPoint* points, size_t count, const FillStyle& style) = 0;
  virtual void drawText(const TextRun& run) = 0;
  // Width and height of the text's box in the font.
  virtual NSSize measureText(const std::string& text, const FontDescription& font) = 0;
  // The image scaled into the rectangle; `opacity` from 0 to 1.
  virtual void drawImage(const DrawImageData& image, const NSRect& dest, float opacity = 1.0f) = 0;
  // Limits further drawing to the rectangle (within the current clip) until restored.
  virtual void clipToRect(const NSRect& rect) = 0;
  // Moves the origin of further drawing by (dx, dy) until the graphics state is restored.
  // Contexts without a coordinate system of their own (recording) ignore it.
  virtual void translateBy(float dx, float dy) {}
  // The platform's keyboard focus indicator colour (outlines of objects being moved).
  virtual DrawColor focusIndicatorColor() const;

  // Between beginLineBatch and the matching endLineBatch a context may hold back the lines
  // given to strokeLines and stroke runs of one style together, and the fills given to
  // fillPath and paint runs of one colour together where no two can touch one pixel; anything
  // else it is asked to draw paints what is held first, so the picture is the same. The last
  // endLineBatch paints what is held.
  void beginLineBatch() { ++lineBatchDepth_; }
  void endLineBatch() {
    if (lineBatchDepth_ > 0 && --lineBatchDepth_ == 0) flushLines();
  }
  // Paints what is held back (lines, fills), if anything.
  virtual void flushLines() {}
  // Whether what is given now may be held back: inside a batch.
  bool batchingLines() const { return lineBatchDepth_ > 0; }

  // Stroke the path with its own width and dash in the current colour.
  void strokePathWithOwnStyle(const BezierPath& path);
  void fillRect(const NSRect& rect, const DrawColor& color);

 protected:
  struct State {
    DrawColor color = kDrawBlack;
    float lineWidth = 1.0f;
  };
  State state_;
  std::vector<State> saved_;
  int lineBatchDepth_ = 0;
};

// Lines of one style are stroked in batches for the life of the scope.
struct LineBatchScope {
  DrawContext* context;
  explicit LineBatchScope(DrawContext* c) : context(c) {
    if (context) context->beginLineBatch();
  }
  ~LineBatchScope() {
    if (context) context->endLineBatch();
  }
  LineBatchScope(const LineBatchScope&) = delete;
  LineBatchScope& operator=(const LineBatchScope&) = delete;
};

// The context the plan drawing routines draw into when they are given none; null
// outside a drawing pass.
extern DrawContext* gCurrentDrawContext;

// Makes a context current for the life of the scope.
struct CurrentDrawContextScope {
  DrawContext* saved;
  explicit CurrentDrawContextScope(DrawContext* c) : saved(gCurrentDrawContext) { gCurrentDrawContext = c; }
  ~CurrentDrawContextScope() { gCurrentDrawContext = saved; }
  CurrentDrawContextScope(const CurrentDrawContextScope&) = delete;
  CurrentDrawContextScope& operator=(const CurrentDrawContextScope&) = delete;
};

// The given context, else the current one.
inline DrawContext* ResolveDrawContext(DrawContext* given) { return given ? given : gCurrentDrawContext; }
