// The plan view's queue for the tools' nested modal loops: while a loop waits, the view's
// mouse, key and modifier events are taken from it and handed to the loop; closing the
// design window ends the wait for good.
#pragma once
#include <QPointer>

#include <functional>

#include "app/ViewEventQueue.h"

class ZLKDocumentView;

class PlanViewEventSource : public ViewEventQueue {
 public:
  explicit PlanViewEventSource(ZLKDocumentView* view);

  POINT mouseLocation() const override;
  void setAcceptsMouseMovedEvents(bool accept) override;
  bool acceptsMouseMovedEvents() const override { return acceptsMoved_; }

  // The view is going away while a loop may still be on the stack: the queue reports the
  // window closed from now on.
  void viewGone();
  // Called with the kTrackMod bits of every event the queue takes, so that the tracking
  // stages' current modifiers follow the loop.
  std::function<void(uint16_t)> onModifiers;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  QWidget* queueView() const override;

 private:
  void take(const ModalEvent& event);
  void markClosed();

  QPointer<ZLKDocumentView> view_;
  bool acceptsMoved_ = false;
};
