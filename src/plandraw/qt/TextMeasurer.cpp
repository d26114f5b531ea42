// The text measurer used outside a drawing pass.
#include "plandraw/qt/TextMeasurer.h"

#include <QImage>
#include <QPainter>

#include "plandraw/Base2DView.h"
#include "plandraw/qt/QPainterDrawContext.h"

namespace {
NSSize MeasureOnImage(const std::string& text, const FontDescription& font) {
  QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  QPainterDrawContext context(&painter);
  return context.measureText(text, font);
}
}  // namespace

void InstallQtTextMeasurer() { Base2DView::setTextMeasurer(MeasureOnImage); }
