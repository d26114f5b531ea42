// Plan view drawing.
#include "app/ZLKDocumentView.h"

#include <QPainter>
#include <QPaintEvent>

ZLKDocumentView::ZLKDocumentView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

void ZLKDocumentView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
}
