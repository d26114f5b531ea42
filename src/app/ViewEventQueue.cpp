// The nested modal loops' wait for the next event of a view's queue.
#include "app/ViewEventQueue.h"

#include <QWidget>

ViewEventQueue::~ViewEventQueue() {
  if (CurrentModalEventSource() == this) SetModalEventSource(nullptr);
}

bool ViewEventQueue::interruptLoop(const ModalEvent& event) {
  if (!loop_ || !(ModalEventMask(event.type) & waitMask_)) return false;
  queue_.push_back(event);
  loop_->quit();
  return true;
}

bool ViewEventQueue::nextEvent(uint32_t mask, ModalEvent* event) {
  if (!event) return false;
  *event = ModalEvent{};
  for (;;) {
    QWidget* view = queueView();
    if (closed_ || !view) {
      closed_ = true;
      event->type = kModalWindowClosed;
      return false;
    }
    while (!queue_.empty()) {
      const ModalEvent next = queue_.front();
      queue_.pop_front();
      if (ModalEventMask(next.type) & mask) {
        if (next.type == kModalPeriodic) ++periodicTaken_;
        *event = next;
        return true;
      }
    }
    // The window is watched only while a loop waits (each queue decides what its hiding
    // does); its deletion is held back until the loop's caller has left the view, and the
    // queue stays closed from then on.
    window_ = view->window();
    if (window_ && window_ != view) window_->installEventFilter(this);
    QEventLoop loop;
    loop_ = &loop;
    waitMask_ = mask;
    loop.exec();
    loop_ = nullptr;
    waitMask_ = 0;
    if (window_ && window_ != queueView()) window_->removeEventFilter(this);
    if (heldDelete_ && window_) {
      heldDelete_ = false;
      closed_ = true;
      window_->deleteLater();
    }
  }
}
