// The QPainter drawing context.
#include "plandraw/qt/QPainterDrawContext.h"

#include "plandraw/qt/ReadoutText.h"

#include <fontconfig/fontconfig.h>

#include <QBrush>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPolygonF>
#include <QStringDecoder>
#include <QTextLayout>
#include <QTransform>
#include <QVector>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>

namespace {

// Plan text as shown: UTF-8 when the bytes are UTF-8; otherwise byte by byte in ISO Latin 1,
// the readouts' degree byte shown as the degree sign (a readout such as an angle label holds
// that lone byte, which is no UTF-8).
QString PlanText(const std::string& text) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = utf8.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (!utf8.hasError()) return decoded;
  return ReadoutBytesToString(text);
}

// The path in `q`, emptied first unless the path is to follow what `q` holds (its memory stays
// for the next path).
void ToQPath(const BezierPath& path, QPainterPath& q, bool empty = true) {
  if (empty) q.clear();
  // After a close the path goes on from the closed subpath's start, as the overlay expects.
  QPointF start;
  bool closed = false;
  auto resume = [&] {
    if (closed) q.moveTo(start);
    closed = false;
  };
  for (const BezierPath::Element& e : path.elements()) {
    switch (e.kind) {
      case BezierPath::ElementKind::MoveTo:
        start = QPointF(e.points[0].x, e.points[0].y);
        q.moveTo(start);
        closed = false;
        break;
      case BezierPath::ElementKind::LineTo:
        resume();
        q.lineTo(e.points[0].x, e.points[0].y);
        break;
      case BezierPath::ElementKind::CurveTo:
        resume();
        q.cubicTo(e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x, e.points[2].y);
        break;
      case BezierPath::ElementKind::Close:
        q.closeSubpath();
        closed = true;
        break;
    }
  }
}

QPainterPath ToQPath(const BezierPath& path) {
  QPainterPath q;
  ToQPath(path, q);
  return q;
}

QImage WrapImage(const DrawImageData& image) {
  if (!image.isValid()) return {};
  return QImage(image.pixels, image.width, image.height, image.bytesPerRow,
                image.bytesPerPixel == 3 ? QImage::Format_RGB888 : QImage::Format_RGBA8888);
}

QBrush BrushFor(const FillStyle& style) {
  if (style.pattern && style.pattern->isValid()) {
    QBrush brush(WrapImage(*style.pattern).copy());
    if (std::isfinite(style.patternOrigin.x) && std::isfinite(style.patternOrigin.y))
      brush.setTransform(QTransform::fromTranslate(style.patternOrigin.x, style.patternOrigin.y));
    return brush;
  }
  return QBrush(ToQColor(style.color));
}

}  // namespace

QColor ToQColor(const DrawColor& c) {
  auto unit = [](float v) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f; };
  return QColor::fromRgbF(unit(c.red), unit(c.green), unit(c.blue), unit(c.alpha));
}

QPen PenForStroke(const StrokeStyle& style) {
  QPen pen(ToQColor(style.color));
  const float width = std::isfinite(style.width) && style.width > 0 ? style.width : 0.0f;
  pen.setWidthF(width);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  if (style.dashCount > 0) {
    // Qt measures dashes in pen widths (a width of 0 counts as 1).
    const qreal unit = width > 1 ? width : 1.0;
    QVector<qreal> pattern;
    bool usable = false;
    for (int i = 0; i < style.dashCount && i < 6; ++i) {
      float v = style.dash[i];
      if (!std::isfinite(v) || v < 0) return pen;  // not a pattern: solid
      usable |= v > 0;
      pattern.push_back(v / unit);
    }
    if (!usable) return pen;
    // A pattern of odd length repeats with dashes and gaps swapped, as the platform did.
    if (pattern.size() % 2) pattern += pattern;
    pen.setDashPattern(pattern);
    if (std::isfinite(style.dashPhase)) pen.setDashOffset(style.dashPhase / unit);
  }
  return pen;
}

namespace {

// The face fontconfig puts in place of a face this system does not have: its metric aliases
// give the faces with the same advance widths (Arial and Helvetica: Liberation Sans or Arimo;
// Times New Roman: Liberation Serif; Courier New: Liberation Mono...), whose text fits the
// boxes the designs stored when they measured it with the named face. Empty when fontconfig
// names none.
QString FontconfigStandIn(const QString& family) {
  static std::mutex lock;
  static std::map<QString, QString> known;
  std::lock_guard<std::mutex> hold(lock);
  auto it = known.find(family);
  if (it != known.end()) return it->second;
  QString standIn;
  if (FcPattern* pattern = FcPatternCreate()) {
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    if (FcConfigSubstitute(nullptr, pattern, FcMatchPattern)) {
      FcDefaultSubstitute(pattern);
      FcResult result = FcResultNoMatch;
      if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* matched = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &matched) == FcResultMatch && matched)
          standIn = QString::fromUtf8(reinterpret_cast<const char*>(matched));
        FcPatternDestroy(match);
      }
    }
    FcPatternDestroy(pattern);
  }
  known.emplace(family, standIn);
  return standIn;
}

}  // namespace

QFont QFontFromDescription(const FontDescription& font, double logicalDpi) {
  QFont q;
  if (!font.family.empty()) {
    const QString family = QString::fromUtf8(font.family.c_str()).trimmed();
    // The named face when it is installed, else the one fontconfig stands in for it.
    static const QStringList installed = QFontDatabase::families();
    const QString standIn = installed.contains(family, Qt::CaseInsensitive) ? QString() : FontconfigStandIn(family);
    if (!standIn.isEmpty()) q.setFamilies({standIn, family});
    else q.setFamily(family);
  }
  double size = std::isfinite(font.pointSize) && font.pointSize > 0 ? font.pointSize : 12.0;
  // View units are points of 1/72 inch; Qt's point size follows the device resolution.
  q.setPointSizeF(size * 72.0 / (logicalDpi > 0 ? logicalDpi : 72.0));
  q.setBold(font.traits & kFontBoldTrait);
  q.setItalic(font.traits & kFontItalicTrait);
  return q;
}

FontDescription FontDescriptionFromQFont(const QFont& font, double logicalDpi) {
  FontDescription d;
  d.family = font.family().toStdString();
  double points = font.pointSizeF();
  if (points <= 0) points = font.pixelSize() * 72.0 / (logicalDpi > 0 ? logicalDpi : 72.0);
  d.pointSize = static_cast<float>(points * (logicalDpi > 0 ? logicalDpi : 72.0) / 72.0);
  d.traits = (font.bold() ? kFontBoldTrait : 0) | (font.italic() ? kFontItalicTrait : 0);
  return d;
}

QPainterDrawContext::QPainterDrawContext(QPainter* painter) : painter_(painter) {
  if (painter_) painter_->setRenderHint(QPainter::Antialiasing, false);
}

QPainterDrawContext::~QPainterDrawContext() { flushLines(); }

namespace {

bool SameStroke(const StrokeStyle& a, const StrokeStyle& b) {
  if (a.color.red != b.color.red || a.color.green != b.color.green || a.color.blue != b.color.blue ||
      a.color.alpha != b.color.alpha || a.width != b.width || a.dashCount != b.dashCount)
    return false;
  if (a.dashCount > 0) {
    if (a.dashPhase != b.dashPhase) return false;
    for (int i = 0; i < a.dashCount && i < 6; ++i)
      if (a.dash[i] != b.dash[i]) return false;
  }
  return true;
}

}  // namespace

void QPainterDrawContext::flushLines() {
  fillHeldFills();
  strokeHeldLines();
}

void QPainterDrawContext::strokeHeldLines() {
  if (heldLines_.isEmpty()) return;
  if (painter_) {
    painter_->setPen(PenForStroke(heldStyle_));
    painter_->setBrush(Qt::NoBrush);
    painter_->drawLines(heldLines_);
  }
  heldLines_.clear();
}

void QPainterDrawContext::fillHeldFills() {
  if (heldFillPixels_.empty()) return;
  if (painter_) painter_->fillPath(heldFills_, *solidBrush_);
  heldFills_.clear();
  heldFillPixels_.clear();
}

bool QPainterDrawContext::holdFill(const BezierPath& path, const FillStyle& style) {
  if (style.pattern || painter_->testRenderHint(QPainter::Antialiasing)) return false;
  const std::vector<BezierPath::Element>& elements = path.elements();
  if (elements.front().kind != BezierPath::ElementKind::MoveTo) return false;
  float left = elements.front().points[0].x, right = left;
  float top = elements.front().points[0].y, bottom = top;
  for (const BezierPath::Element& e : elements) {
    if (e.kind == BezierPath::ElementKind::CurveTo) return false;
    if (e.kind == BezierPath::ElementKind::Close) continue;
    const NSPoint& p = e.points[0];
    left = std::min(left, p.x), right = std::max(right, p.x);
    top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  }
  // The painter's state stays as it is while fills are held (every change goes through the
  // context, which paints them first): its transform is taken once for them.
  if (heldFillPixels_.empty()) heldFillTransform_ = painter_->combinedTransform() * painter_->deviceTransform();
  if (heldFillTransform_.type() == QTransform::TxProject) return false;
  const QRectF device = heldFillTransform_.mapRect(QRectF(QPointF(left, top), QPointF(right, bottom)));
  // The pixels the fill may touch: whatever point of a pixel the painter samples, it lies within
  // the pixel's unit square, and rounding moves an edge by far less than a sixteenth.
  constexpr double kSlack = 1.0 / 16, kLimit = 1e9;
  const double l = std::ceil(device.left() - 1 - kSlack), r = std::floor(device.right() + kSlack);
  const double t = std::ceil(device.top() - 1 - kSlack), b = std::floor(device.bottom() + kSlack);
  if (!(std::fabs(l) < kLimit && std::fabs(r) < kLimit && std::fabs(t) < kLimit && std::fabs(b) < kLimit)) return false;
  const PixelRange pixels{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b)};

  const QColor color = ToQColor(style.color);
  const Qt::FillRule rule = style.evenOdd ? Qt::OddEvenFill : Qt::WindingFill;
  bool fits = !heldFillPixels_.empty() && solidBrush_ && solidBrush_->color() == color &&
              heldFills_.fillRule() == rule && heldFillPixels_.size() < kMaxFillsPerBatch;
  // Fills painted together cannot share a pixel: then each pixel is painted by the one fill that
  // covers it, as when they are painted one by one.
  for (size_t i = 0; fits && i < heldFillPixels_.size(); ++i) {
    const PixelRange& o = heldFillPixels_[i];
    fits = pixels.right < o.left || o.right < pixels.left || pixels.bottom < o.top || o.bottom < pixels.top;
  }
  if (!fits) {
    fillHeldFills();
    if (!solidBrush_ || solidBrush_->color() != color) solidBrush_ = QBrush(color);
    heldFills_.setFillRule(rule);
  }
  ToQPath(path, heldFills_, false);
  heldFillPixels_.push_back(pixels);
  return true;
}

void QPainterDrawContext::saveGraphicsState() {
  DrawContext::saveGraphicsState();
  ++unsavedStates_;
}

void QPainterDrawContext::restoreGraphicsState() {
  if (saved_.empty()) return;
  DrawContext::restoreGraphicsState();
  if (unsavedStates_ > 0) {
    --unsavedStates_;
    return;
  }
  flushLines();
  if (painter_) painter_->restore();
}

void QPainterDrawContext::savePainterState() {
  for (; unsavedStates_ > 0; --unsavedStates_)
    if (painter_) painter_->save();
}

void QPainterDrawContext::strokeLines(const NSPoint* points, size_t count, const StrokeStyle& style) {
  if (!painter_ || !points || count < 2) return;
  fillHeldFills();
  if (lineBatchDepth_ > 0) {
    if (!heldLines_.isEmpty() && !SameStroke(style, heldStyle_)) strokeHeldLines();
    if (heldLines_.isEmpty()) heldStyle_ = style;
    for (size_t i = 0; i + 1 < count; i += 2) {
      heldLines_.push_back(QLineF(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y));
      if (heldLines_.size() >= static_cast<qsizetype>(kMaxLinesPerBatch)) strokeHeldLines();
    }
    return;
  }
  painter_->setPen(PenForStroke(style));
  painter_->setBrush(Qt::NoBrush);
  const size_t lines = count / 2;
  QVector<QLineF> batch;
  batch.reserve(static_cast<qsizetype>(std::min(lines, kMaxLinesPerBatch)));
  for (size_t i = 0; i < lines; ++i) {
    batch.push_back(QLineF(points[2 * i].x, points[2 * i].y, points[2 * i + 1].x, points[2 * i + 1].y));
    if (batch.size() == static_cast<qsizetype>(kMaxLinesPerBatch)) {
      painter_->drawLines(batch);
      batch.clear();
    }
  }
  if (!batch.isEmpty()) painter_->drawLines(batch);
}

void QPainterDrawContext::strokePolyline(const NSPoint* points, size_t count, const StrokeStyle& style) {
  flushLines();
  if (!painter_ || !points || count < 2) return;
  QPolygonF poly;
  poly.reserve(static_cast<qsizetype>(count));
  for (size_t i = 0; i < count; ++i) poly.push_back(QPointF(points[i].x, points[i].y));
  painter_->setPen(PenForStroke(style));
  painter_->setBrush(Qt::NoBrush);
  painter_->drawPolyline(poly);
}

void QPainterDrawContext::strokePath(const BezierPath& path, const StrokeStyle& style) {
  flushLines();
  if (!painter_ || path.isEmpty()) return;
  painter_->strokePath(ToQPath(path), PenForStroke(style));
}

void QPainterDrawContext::fillPath(const BezierPath& path, const FillStyle& style) {
  strokeHeldLines();
  if (!painter_ || path.isEmpty()) return;
  if (lineBatchDepth_ > 0 && holdFill(path, style)) return;
  fillHeldFills();
  ToQPath(path, fillPath_);
  fillPath_.setFillRule(style.evenOdd ? Qt::OddEvenFill : Qt::WindingFill);
  painter_->fillPath(fillPath_, brushFor(style));
}

const QBrush& QPainterDrawContext::brushFor(const FillStyle& style) {
  if (style.pattern && style.pattern->isValid()) {
    patternBrush_ = BrushFor(style);
    return patternBrush_;
  }
  // The same brush object for fills of one colour: the painter takes it up without setting
  // up its fill again.
  const QColor color = ToQColor(style.color);
  if (!solidBrush_ || solidBrush_->color() != color) solidBrush_ = QBrush(color);
  return *solidBrush_;
}

void QPainterDrawContext::fillPolygon(const NSPoint* points, size_t count, const FillStyle& style) {
  flushLines();
  if (!painter_ || !points || count < 3) return;
  QPolygonF poly;
  poly.reserve(static_cast<qsizetype>(count));
  for (size_t i = 0; i < count; ++i) poly.push_back(QPointF(points[i].x, points[i].y));
  painter_->setPen(Qt::NoPen);
  painter_->setBrush(brushFor(style));
  painter_->drawPolygon(poly, style.evenOdd ? Qt::OddEvenFill : Qt::WindingFill);
  painter_->setBrush(Qt::NoBrush);
}

const QPainterDrawContext::FontEntry& QPainterDrawContext::fontFor(const FontDescription& font) {
  // Runs of text mostly share one font: the last one answers without a look-up.
  if (lastFont_ && font.pointSize == lastFontDescription_.pointSize && font.traits == lastFontDescription_.traits &&
      font.family == lastFontDescription_.family)
    return *lastFont_;
  const double dpi = painter_ && painter_->device() ? painter_->device()->logicalDpiY() : 72.0;
  // The key: the size, traits and resolution as bytes, then the family.
  std::string key(sizeof(float) + sizeof(uint32_t) + sizeof(double), '\0');
  std::memcpy(key.data(), &font.pointSize, sizeof(float));
  std::memcpy(key.data() + sizeof(float), &font.traits, sizeof(uint32_t));
  std::memcpy(key.data() + sizeof(float) + sizeof(uint32_t), &dpi, sizeof(double));
  key.append(font.family);
  auto& slot = fonts_[key];
  if (!slot) {
    QFont q = QFontFromDescription(font, dpi);
    QFontMetricsF metrics(q, painter_ ? painter_->device() : nullptr);
    slot = std::make_unique<FontEntry>(FontEntry{q, metrics});
  }
  lastFontDescription_ = font;
  lastFont_ = slot.get();
  return *slot;
}

QSizeF QPainterDrawContext::measure(const std::string& text, const FontDescription& font) {
  const FontEntry& entry = fontFor(font);
  // The entry's address names the font for as long as the context lives.
  const FontEntry* name = &entry;
  std::string key(reinterpret_cast<const char*>(&name), sizeof name);
  key.append(text);
  if (auto it = sizes_.find(key); it != sizes_.end()) return it->second;
  const QString s = PlanText(text);
  const QSizeF size(entry.metrics.horizontalAdvance(s), entry.metrics.height());
  // Bounded: a long pass over many different labels starts the table over.
  if (sizes_.size() >= 50000) sizes_.clear();
  sizes_.emplace(std::move(key), size);
  return size;
}

const QPainterDrawContext::Shaped& QPainterDrawContext::shape(const std::string& text, const FontEntry& entry) {
  const FontEntry* name = &entry;
  std::string key(reinterpret_cast<const char*>(&name), sizeof name);
  key.append(text);
  if (auto it = shaped_.find(key); it != shaped_.end()) return it->second;
  Shaped out;
  QTextLayout layout(PlanText(text), entry.font,
                     painter_ ? painter_->device() : nullptr);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  if (line.isValid()) {
    out.ascent = line.ascent();
    out.runs = layout.glyphRuns();
  }
  if (shaped_.size() >= 20000) shaped_.clear();
  return shaped_.emplace(std::move(key), std::move(out)).first->second;
}

void QPainterDrawContext::drawText(const TextRun& run) {
  if (!painter_ || run.text.empty() || !IsReadableFontSize(run.font)) return;
  flushLines();
  const FontEntry& entry = fontFor(run.font);
  const QFontMetricsF& metrics = entry.metrics;
  const qreal width = measure(run.text, run.font).width(), height = metrics.height();
  const Shaped& shaped = shape(run.text, entry);
  qreal left = -width / 2;
  if (run.alignment == TextAlignment::Left) left = 0;
  else if (run.alignment == TextAlignment::Right) left = -width;
  painter_->save();
  painter_->setRenderHint(QPainter::Antialiasing, true);
  painter_->setRenderHint(QPainter::TextAntialiasing, true);
  painter_->translate(run.anchor.x, run.anchor.y);
  if (std::isfinite(run.angleDegrees) && run.angleDegrees != 0) painter_->rotate(-run.angleDegrees);
  painter_->setFont(entry.font);
  painter_->setPen(ToQColor(run.color));
  // The glyphs shaped once, placed as drawText places them: the baseline at the ascent.
  const QPointF origin(left, -height / 2 + metrics.ascent() - shaped.ascent);
  for (const QGlyphRun& glyphs : shaped.runs) painter_->drawGlyphRun(origin, glyphs);
  painter_->restore();
}

NSSize QPainterDrawContext::measureText(const std::string& text, const FontDescription& font) {
  const QSizeF size = measure(text, font);
  return {static_cast<float>(size.width()), static_cast<float>(size.height())};
}

void QPainterDrawContext::drawImage(const DrawImageData& image, const NSRect& dest, float opacity) {
  flushLines();
  if (!painter_ || !image.isValid()) return;
  const qreal saved = painter_->opacity();
  painter_->setOpacity(std::isfinite(opacity) ? std::clamp(opacity, 0.0f, 1.0f) : 1.0);
  painter_->drawImage(QRectF(dest.origin.x, dest.origin.y, dest.size.width, dest.size.height), WrapImage(image));
  painter_->setOpacity(saved);
}

void QPainterDrawContext::clipToRect(const NSRect& rect) {
  flushLines();
  savePainterState();
  if (!painter_) return;
  const QRectF r(rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
  painter_->setClipRect(r, painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void QPainterDrawContext::translateBy(float dx, float dy) {
  flushLines();
  savePainterState();
  if (painter_ && std::isfinite(dx) && std::isfinite(dy)) painter_->translate(dx, dy);
}

DrawColor QPainterDrawContext::focusIndicatorColor() const {
  if (!QGuiApplication::instance()) return DrawContext::focusIndicatorColor();
  const QColor c = QGuiApplication::palette().color(QPalette::Highlight);
  return {static_cast<float>(c.redF()), static_cast<float>(c.greenF()), static_cast<float>(c.blueF()), 1.0f};
}
