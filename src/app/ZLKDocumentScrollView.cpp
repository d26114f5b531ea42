// The plan's scroll view: centring, constrained scrolling and the Command-wheel zoom.
#include "app/ZLKDocumentScrollView.h"

#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

#include "app/ZLKDocumentView.h"

ZLKDocumentScrollView::ZLKDocumentScrollView(QWidget* parent) : QScrollArea(parent) {
  setBackgroundRole(QPalette::Dark);
  QPalette grey = palette();
  grey.setColor(QPalette::Dark, QColor::fromRgbF(0.5, 0.5, 0.5));
  setPalette(grey);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setAlignment(Qt::AlignCenter);
  setWidgetResizable(false);
}

ZLKDocumentView* ZLKDocumentScrollView::documentView() const {
  return qobject_cast<ZLKDocumentView*>(widget());
}

NSPoint ZLKDocumentScrollView::constrainScrollPoint(NSPoint proposed, NSSize frame, NSSize visible) {
  auto axis = [](float p, float frameExtent, float visibleExtent) {
    if (visibleExtent > frameExtent) return std::round((frameExtent - visibleExtent) * 0.5f);
    return std::round(std::fmin(std::fmax(p, 0.0f), frameExtent - visibleExtent));
  };
  return {axis(proposed.x, frame.width, visible.width), axis(proposed.y, frame.height, visible.height)};
}

void ZLKDocumentScrollView::scrollToPoint(NSPoint framePoint) {
  QWidget* document = widget();
  if (!document) return;
  const QSize port = viewport()->size();
  const NSPoint origin = constrainScrollPoint(
      framePoint, {static_cast<float>(document->width()), static_cast<float>(document->height())},
      {static_cast<float>(port.width()), static_cast<float>(port.height())});
  // The scroll bars centre a smaller document themselves (the alignment).
  horizontalScrollBar()->setValue(static_cast<int>(std::fmax(origin.x, 0.0f)));
  verticalScrollBar()->setValue(static_cast<int>(std::fmax(origin.y, 0.0f)));
}

NSPoint ZLKDocumentScrollView::scrollOrigin() const {
  QWidget* document = widget();
  if (!document) return {};
  return {static_cast<float>(-document->x()), static_cast<float>(-document->y())};
}

void ZLKDocumentScrollView::wheelEvent(QWheelEvent* event) {
  ZLKDocumentView* view = documentView();
  const double steps = event->angleDelta().y() / 120.0;
  if (view && (event->modifiers() & Qt::ControlModifier) && steps != 0) {
    const QPointF inView = view->mapFrom(viewport(), event->position());
    if (view->zoomWithWheel(steps, view->viewPointFromWidget(inView))) {
      event->accept();
      return;
    }
  }
  QScrollArea::wheelEvent(event);
}
