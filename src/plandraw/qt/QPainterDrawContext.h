// The drawing context that paints with a QPainter: into a widget, a QImage or a
// printer. Lines are drawn aliased, text anti-aliased.
#pragma once
#include <QBrush>
#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QList>
#include <QPainterPath>
#include <QLineF>
#include <QPen>
#include <QSizeF>
#include <QTransform>
#include <QVector>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "plandraw/DrawContext.h"

class QPainter;

class QPainterDrawContext : public DrawContext {
 public:
  // The painter must stay active for the life of the context.
  explicit QPainterDrawContext(QPainter* painter);
  ~QPainterDrawContext() override;

  void saveGraphicsState() override;
  void restoreGraphicsState() override;
  void strokeLines(const NSPoint* points, size_t count, const StrokeStyle& style) override;
  void strokePolyline(const NSPoint* points, size_t count, const StrokeStyle& style) override;
  void strokePath(const BezierPath& path, const StrokeStyle& style) override;
  void fillPath(const BezierPath& path, const FillStyle& style) override;
  void fillPolygon(const NSPoint* points, size_t count, const FillStyle& style) override;
  void drawText(const TextRun& run) override;
  NSSize measureText(const std::string& text, const FontDescription& font) override;
  void drawImage(const DrawImageData& image, const NSRect& dest, float opacity) override;
  void clipToRect(const NSRect& rect) override;
  void translateBy(float dx, float dy) override;
  DrawColor focusIndicatorColor() const override;
  void flushLines() override;

  QPainter* painter() const { return painter_; }

 private:
  // A font and its metrics on the painter's device, kept while the context lives.
  struct FontEntry {
    QFont font;
    QFontMetricsF metrics;
  };
  const FontEntry& fontFor(const FontDescription& font);
  QSizeF measure(const std::string& text, const FontDescription& font);
  // A text laid out once in a font: its glyph runs and the line's ascent.
  struct Shaped {
    QList<QGlyphRun> runs;
    qreal ascent = 0;
  };
  const Shaped& shape(const std::string& text, const FontEntry& entry);
  // The brush of a fill: one kept brush per colour in a row of solid fills.
  const QBrush& brushFor(const FillStyle& style);
  // Paints the fills or strokes the lines held back, if any.
  void fillHeldFills();
  void strokeHeldLines();
  // Holds the fill back with the fills held, painting those first when they cannot go with it;
  // false when the fill is to be painted at once (patterns, curves, anti-aliasing).
  bool holdFill(const BezierPath& path, const FillStyle& style);
  // Saves the painter's state for every save not yet passed on to it: a save costs the
  // painter nothing (and breaks no batch) until its clip or transform is changed under it.
  void savePainterState();

  QPainter* painter_;
  std::unordered_map<std::string, std::unique_ptr<FontEntry>> fonts_;
  FontDescription lastFontDescription_;
  const FontEntry* lastFont_ = nullptr;
  // Text sizes by font and text: the shaping of a text is done once.
  std::unordered_map<std::string, QSizeF> sizes_;
  std::unordered_map<std::string, Shaped> shaped_;
  // The last solid fill's brush, a pattern fill's brush, and the path filled, kept between fills.
  std::optional<QBrush> solidBrush_;
  QBrush patternBrush_;
  QPainterPath fillPath_;
  // Solid fills of one colour held back in a batch, as one path, and the device pixels each may
  // touch (a rect, edges included).
  struct PixelRange {
    int left, top, right, bottom;
  };
  QPainterPath heldFills_;
  std::vector<PixelRange> heldFillPixels_;
  QTransform heldFillTransform_;
  // Lines held back in a batch and the style they share.
  QVector<QLineF> heldLines_;
  StrokeStyle heldStyle_;
  // Saves at the top of the stack not passed on to the painter (every draw sets its own pen and
  // brush, so only clip and transform changes need the painter's own save).
  size_t unsavedStates_ = 0;
};

// Most lines one QPainter::drawLines call is given; longer batches are split.
constexpr size_t kMaxLinesPerBatch = 20000;
// Most fills held back together (each is checked against those held).
constexpr size_t kMaxFillsPerBatch = 128;

QColor ToQColor(const DrawColor& color);
// The pen of a stroke: flat caps, mitred joins, the dash converted from view units into
// Qt's units of the pen width.
QPen PenForStroke(const StrokeStyle& style);
// A font of the description at the device's resolution (view units are 1/72 inch).
QFont QFontFromDescription(const FontDescription& font, double logicalDpi);
FontDescription FontDescriptionFromQFont(const QFont& font, double logicalDpi);
