// The 3D view's queue for the navigation loops: while a loop waits, the view's mouse-ups,
// drags and keys are taken from it and handed to the loop, with a periodic event every period
// while periodic events run. Losing the mouse or the window (the window hidden, closed or no
// longer active) reaches the loop as a mouse-up.
#pragma once
#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>

#include "tools/ModalEvents.h"

class QWidget;

class LiveViewEventSource : public QObject, public ModalEventSource {
 public:
  explicit LiveViewEventSource(QWidget* view);
  ~LiveViewEventSource() override;

  bool nextEvent(uint32_t mask, ModalEvent* event) override;
  // The pointer in the view's coordinates, wherever it is.
  POINT mouseLocation() const override;
  void setAcceptsMouseMovedEvents(bool) override {}
  bool acceptsMouseMovedEvents() const override { return false; }
  bool windowClosed() const override { return closed_; }
  void startPeriodicEvents(int delayMs, int periodMs) override;
  void stopPeriodicEvents() override;
  void discardKeyEvents() override;

  // Drops what an earlier loop left unread (a new loop starts with an empty queue).
  void clear() { queue_.clear(); }
  // A loop is waiting inside nextEvent.
  bool isWaiting() const { return loop_ != nullptr; }
  // Periodic events taken by loops since the source was made.
  int periodicEventsTaken() const { return periodicTaken_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void take(const ModalEvent& event);
  void loseMouse();

  QPointer<QWidget> view_;
  QPointer<QWidget> window_;
  std::deque<ModalEvent> queue_;
  QEventLoop* loop_ = nullptr;
  QTimer timer_;
  int period_ = 10;
  bool closed_ = false;
  bool heldDelete_ = false;
  int periodicTaken_ = 0;
};
