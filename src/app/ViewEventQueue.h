// What the plan view's and the 3D view's queues for the nested modal loops share: the queue of
// the view's events and the wait, in a local event loop, for its next event of a loop's kinds.
#pragma once
#include <QEventLoop>
#include <QObject>
#include <QPointer>

#include <deque>

#include "tools/ModalEvents.h"

class QWidget;

class ViewEventQueue : public QObject, public ModalEventSource {
 public:
  ~ViewEventQueue() override;

  bool nextEvent(uint32_t mask, ModalEvent* event) override;
  bool windowClosed() const override { return closed_; }

  // A loop is waiting inside nextEvent.
  bool isWaiting() const { return loop_ != nullptr; }
  bool loopWaiting() const override { return isWaiting(); }
  bool interruptLoop(const ModalEvent& event) override;
  // Forgets the events the loops of an earlier gesture took in but did not read (the release
  // of the click that ended a loop may come in with it): they belong to no later gesture.
  void dropLeftovers() { queue_.clear(); }
  // Periodic events taken by loops since the queue was made.
  int periodicEventsTaken() const { return periodicTaken_; }

 protected:
  ViewEventQueue() = default;
  // The view whose events fill the queue; null once it is gone.
  virtual QWidget* queueView() const = 0;

  std::deque<ModalEvent> queue_;
  // The view's window, watched while a loop waits.
  QPointer<QWidget> window_;
  QEventLoop* loop_ = nullptr;
  uint32_t waitMask_ = 0;  // the kinds the waiting loop takes
  bool closed_ = false;
  bool heldDelete_ = false;  // the window asked to be deleted while a loop waited
  int periodicTaken_ = 0;
};
