// The plan view's queue for the tools' nested modal loops: while a loop waits, the view's
// mouse, key and modifier events are taken from it and handed to the loop; closing the
// design window ends the wait for good.
#pragma once
#include <QEventLoop>
#include <QObject>
#include <QPointer>

#include <deque>
#include <functional>

#include "tools/ModalEvents.h"

class ZLKDocumentView;

class PlanViewEventSource : public QObject, public ModalEventSource {
 public:
  explicit PlanViewEventSource(ZLKDocumentView* view);
  ~PlanViewEventSource() override;

  bool nextEvent(uint32_t mask, ModalEvent* event) override;
  POINT mouseLocation() const override;
  void setAcceptsMouseMovedEvents(bool accept) override;
  bool acceptsMouseMovedEvents() const override { return acceptsMoved_; }
  bool windowClosed() const override { return closed_; }

  // A loop is waiting inside nextEvent.
  bool isWaiting() const { return loop_ != nullptr; }
  // The view is going away while a loop may still be on the stack: the queue reports the
  // window closed from now on.
  void viewGone();
  // Called with the kTrackMod bits of every event the queue takes, so that the tracking
  // stages' current modifiers follow the loop.
  std::function<void(uint16_t)> onModifiers;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void take(const ModalEvent& event);
  void markClosed();

  QPointer<ZLKDocumentView> view_;
  QPointer<QWidget> window_;
  std::deque<ModalEvent> queue_;
  QEventLoop* loop_ = nullptr;
  bool acceptsMoved_ = false;
  bool closed_ = false;
  bool heldDelete_ = false;  // the window asked to be deleted while a loop waited
};
