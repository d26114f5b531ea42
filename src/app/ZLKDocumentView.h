// The plan view of a design window.
#pragma once
#include <QWidget>

class ZLKDocumentView : public QWidget {
  Q_OBJECT
 public:
  explicit ZLKDocumentView(QWidget* parent = nullptr);
  QSize sizeHint() const override { return {800, 600}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
};
