// A scripted event queue for the tools' nested modal loops: tests list the events a user
// would make, install the queue for the life of a scope, and read back what the loop asked.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>

#include "tools/ModalEvents.h"

class ScriptedModalEvents : public ModalEventSource {
 public:
  // Installs itself as the current queue; the previous one comes back at the end of scope.
  ScriptedModalEvents() : previous_(CurrentModalEventSource()) { SetModalEventSource(this); }
  ~ScriptedModalEvents() override { SetModalEventSource(previous_); }
  ScriptedModalEvents(const ScriptedModalEvents&) = delete;
  ScriptedModalEvents& operator=(const ScriptedModalEvents&) = delete;

  // Queue builders; each returns *this so a script reads as one expression.
  ScriptedModalEvents& push(const ModalEvent& event) {
    events_.push_back(event);
    return *this;
  }
  ScriptedModalEvents& drag(int32_t x, int32_t y, uint32_t flags = 0) {
    return push(make(kModalMouseDragged, x, y, flags));
  }
  ScriptedModalEvents& move(int32_t x, int32_t y, uint32_t flags = 0) {
    return push(make(kModalMouseMoved, x, y, flags));
  }
  ScriptedModalEvents& down(int32_t x, int32_t y, uint32_t flags = 0, int clicks = 1) {
    ModalEvent event = make(kModalMouseDown, x, y, flags);
    event.clickCount = clicks;
    return push(event);
  }
  ScriptedModalEvents& up(int32_t x, int32_t y, uint32_t flags = 0) { return push(make(kModalMouseUp, x, y, flags)); }
  ScriptedModalEvents& key(uint16_t keyCode, uint32_t flags = 0) {
    ModalEvent event = make(kModalKeyDown, location_.x, location_.y, flags);
    event.keyCode = keyCode;
    return push(event);
  }
  ScriptedModalEvents& keyUp(uint16_t keyCode, uint32_t flags = 0) {
    ModalEvent event = make(kModalKeyUp, location_.x, location_.y, flags);
    event.keyCode = keyCode;
    return push(event);
  }
  ScriptedModalEvents& rightUp(int32_t x, int32_t y) { return push(make(kModalRightMouseUp, x, y, 0)); }
  // n periodic events (delivered only while periodic events run); the mouse stays put.
  ScriptedModalEvents& periodic(int n = 1) {
    for (int i = 0; i < n; ++i) push(make(kModalPeriodic, 0, 0, 0));
    return *this;
  }
  ScriptedModalEvents& flags(uint32_t flags) { return push(make(kModalFlagsChanged, location_.x, location_.y, flags)); }
  // The design window closes when the loop reaches this point of the script.
  ScriptedModalEvents& closeWindow() { return push(make(kModalWindowClosed, location_.x, location_.y, 0)); }

  bool nextEvent(uint32_t mask, ModalEvent* event) override {
    ++reads_;
    lastMask_ = mask;
    while (!events_.empty()) {
      const ModalEvent next = events_.front();
      events_.pop_front();
      if (next.type == kModalWindowClosed) {
        closed_ = true;
        events_.clear();
        *event = next;
        return false;
      }
      // Mouse moves reach a loop only while they are on, as on the platform.
      if (next.type == kModalMouseMoved && !acceptsMoved_) continue;
      if (next.type == kModalPeriodic && !periodic_) continue;
      if (!(ModalEventMask(next.type) & mask)) continue;
      if (next.type != kModalKeyDown && next.type != kModalKeyUp && next.type != kModalFlagsChanged &&
          next.type != kModalPeriodic)
        location_ = next.where;
      *event = next;
      return true;
    }
    event->type = kModalEventNone;
    return false;
  }
  POINT mouseLocation() const override { return location_; }
  void setAcceptsMouseMovedEvents(bool accept) override {
    acceptsMoved_ = accept;
    ++movedSwitches_;
  }
  bool acceptsMouseMovedEvents() const override { return acceptsMoved_; }
  bool windowClosed() const override { return closed_; }
  void startPeriodicEvents(int delayMs, int periodMs) override {
    periodic_ = true;
    periodicDelay_ = delayMs;
    periodicPeriod_ = periodMs;
  }
  void stopPeriodicEvents() override { periodic_ = false; }
  // The script's key events stay: a script lists only the keys a user's held key would leave.
  void discardKeyEvents() override { ++keyDiscards_; }

  void setMouseLocation(POINT where) { location_ = where; }
  size_t pending() const { return events_.size(); }
  int reads() const { return reads_; }
  uint32_t lastMask() const { return lastMask_; }
  int movedSwitches() const { return movedSwitches_; }
  bool periodicRunning() const { return periodic_; }
  int periodicDelay() const { return periodicDelay_; }
  int periodicPeriod() const { return periodicPeriod_; }
  int keyDiscards() const { return keyDiscards_; }

 private:
  ModalEvent make(int16_t type, int32_t x, int32_t y, uint32_t flags) const {
    ModalEvent event;
    event.type = type;
    event.where = POINT{x, y};
    event.modifierFlags = flags;
    return event;
  }

  ModalEventSource* previous_;
  std::deque<ModalEvent> events_;
  POINT location_{};
  bool acceptsMoved_ = false;
  bool closed_ = false;
  int reads_ = 0;
  uint32_t lastMask_ = 0;
  int movedSwitches_ = 0;
  bool periodic_ = false;
  int periodicDelay_ = 0, periodicPeriod_ = 0;
  int keyDiscards_ = 0;
};
