// The plan view of a design window: draws its document's plan through the plan drawing
// at the design's zoom, and offers the drawing services the core reaches it for.
#pragma once
#include <QImage>
#include <QWidget>

#include "plandraw/Base2DView.h"

class ZLKDocumentModel;
class ZLKDocumentView;

// The view's drawing: the plan of its window's design, with that design's trace image.
class ZLKPlanDrawing : public Base2DView {
 public:
  explicit ZLKPlanDrawing(ZLKDocumentView* owner) : owner_(owner) {}

 protected:
  const DrawImageData* traceImage() const override;

 private:
  ZLKDocumentView* owner_;
  mutable QImage traceCopy_;
  mutable qint64 traceKey_ = 0;
  mutable DrawImageData traceData_;
};

class ZLKDocumentView : public QWidget {
  Q_OBJECT
 public:
  explicit ZLKDocumentView(QWidget* parent = nullptr);
  QSize sizeHint() const override { return {800, 600}; }

  // The model of the design this view's window shows; null when none.
  ZLKDocumentModel* documentModel() const;
  // The document's trace image (null image when none).
  QImage traceImage() const;
  ZLKPlanDrawing& planDrawing() { return drawing_; }
  // View coordinate at the widget's top-left: the model origin sits in the middle.
  NSPoint boundsOrigin() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ZLKPlanDrawing drawing_{this};
};
