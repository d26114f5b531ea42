// Plan view drawing: the document's plan into a QPainter drawing context.
#include "app/ZLKDocumentView.h"

#include <QPainter>
#include <QPaintEvent>

#include "app/ZLKDocument.h"
#include "app/ZLKWindowController.h"
#include "model/DocumentModel.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/qt/QPainterDrawContext.h"

const DrawImageData* ZLKPlanDrawing::traceImage() const {
  const QImage image = owner_ ? owner_->traceImage() : QImage();
  if (image.isNull()) return nullptr;
  if (image.cacheKey() != traceKey_ || traceCopy_.isNull()) {
    traceCopy_ = image.convertToFormat(QImage::Format_RGBA8888);
    traceKey_ = image.cacheKey();
    traceData_.width = traceCopy_.width();
    traceData_.height = traceCopy_.height();
    traceData_.bytesPerPixel = 4;
    traceData_.bytesPerRow = static_cast<int32_t>(traceCopy_.bytesPerLine());
    traceData_.pixels = traceCopy_.constBits();
  }
  return &traceData_;
}

ZLKDocumentView::ZLKDocumentView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

ZLKDocumentModel* ZLKDocumentView::documentModel() const {
  auto* controller = qobject_cast<ZLKWindowController*>(window());
  ZLKDocument* document = controller ? controller->document() : nullptr;
  return document ? document->documentModel() : nullptr;
}

QImage ZLKDocumentView::traceImage() const {
  auto* controller = qobject_cast<ZLKWindowController*>(window());
  ZLKDocument* document = controller ? controller->document() : nullptr;
  return document ? document->traceImage() : QImage();
}

NSPoint ZLKDocumentView::boundsOrigin() const {
  return {-static_cast<float>(width() / 2), -static_cast<float>(height() / 2)};
}

void ZLKDocumentView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  QPainterDrawContext context(&painter);
  CurrentDrawContextScope contextScope(&context);
  const NSPoint origin = boundsOrigin();
  painter.translate(-origin.x, -origin.y);
  const QRect dirty = event->rect();
  const NSRect rect = NSMakeRect(dirty.x() + origin.x, dirty.y() + origin.y, dirty.width(), dirty.height());
  drawing_.setBoundsOrigin(origin);
  drawing_.setVisibleRect(NSMakeRect(origin.x, origin.y, width(), height()));
  ZLKDocumentModel* model = documentModel();
  if (!model || !model->itsDocState || !model->itsLayers) {
    drawing_.drawRect(rect);
    return;
  }
  // The core draws the current document: this view's, for the length of the pass.
  CurrentDocumentScope documentScope(model);
  drawing_.draw3D(&rect, kDrawFlagAll);
}
