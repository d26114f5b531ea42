// The 3D view's queue for the navigation loops: while a loop waits, the view's mouse-ups,
// drags and keys are taken from it and handed to the loop, with a periodic event every period
// while periodic events run. Losing the mouse or the window (the window hidden, closed or no
// longer active) reaches the loop as a mouse-up.
#pragma once
#include <QPointer>
#include <QTimer>

#include "app/ViewEventQueue.h"

class QWidget;

class LiveViewEventSource : public ViewEventQueue {
 public:
  explicit LiveViewEventSource(QWidget* view);

  // The pointer in the view's coordinates, wherever it is.
  POINT mouseLocation() const override;
  void setAcceptsMouseMovedEvents(bool) override {}
  bool acceptsMouseMovedEvents() const override { return false; }
  void startPeriodicEvents(int delayMs, int periodMs) override;
  void stopPeriodicEvents() override;
  void discardKeyEvents() override;

  // Drops what an earlier loop left unread (a new loop starts with an empty queue).
  void clear() { queue_.clear(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  QWidget* queueView() const override { return view_; }

 private:
  void take(const ModalEvent& event);
  void loseMouse();

  QPointer<QWidget> view_;
  QTimer timer_;
  int period_ = 10;
};
