// The plan's scroll view: keeps a plan smaller than the window centred, never scrolls past
// the plan's edges, and zooms about the cursor when the wheel turns with Command held.
#pragma once
#include <QScrollArea>

#include "plandraw/DrawTypes.h"

class ZLKDocumentView;

class ZLKDocumentScrollView : public QScrollArea {
  Q_OBJECT
 public:
  explicit ZLKDocumentScrollView(QWidget* parent = nullptr);

  ZLKDocumentView* documentView() const;
  // The allowed origin of the visible part (document frame coordinates) for a proposed one:
  // centred on an axis where the document is smaller than the visible size, else within
  // 0 .. frame - visible; rounded.
  static NSPoint constrainScrollPoint(NSPoint proposed, NSSize frame, NSSize visible);
  // Puts the visible part's top-left at the frame point (constrained).
  void scrollToPoint(NSPoint framePoint);
  // The visible part's top-left in frame coordinates (negative when centred).
  NSPoint scrollOrigin() const;

 protected:
  void wheelEvent(QWheelEvent* event) override;
};
