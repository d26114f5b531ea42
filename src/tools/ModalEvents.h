// The event queue the tools' nested modal loops read: the plan window's next event of a
// kind, the mouse position, and whether plain mouse moves are delivered. The plan view
// stands in a queue of its own; tests script one.
#pragma once
#include <cstdint>

#include "model/Types.h"

// Event types; a loop asks for several at once with a mask of ModalEventMask(type) bits.
enum : int16_t {
  kModalEventNone = 0,       // the queue has nothing more (a scripted queue ran out)
  kModalMouseDown = 1,
  kModalMouseUp = 2,
  kModalRightMouseUp = 4,
  kModalMouseMoved = 5,      // only while mouse-moved events are on
  kModalMouseDragged = 6,
  kModalRightMouseDragged = 7,
  kModalKeyDown = 10,
  kModalKeyUp = 11,
  kModalFlagsChanged = 12,   // a modifier key went down or up
  kModalPeriodic = 16,       // only while periodic events run (the 3D navigation loops)
  kModalToolChanged = 20,    // the user chose another tool while the loop waited
  kModalWindowClosed = -1,   // the design window closed during the loop
};
constexpr uint32_t ModalEventMask(int16_t type) { return type > 0 ? 1u << type : 0u; }
constexpr uint32_t kModalMouseDownMask = ModalEventMask(kModalMouseDown);
constexpr uint32_t kModalMouseUpMask = ModalEventMask(kModalMouseUp);
constexpr uint32_t kModalMouseMovedMask = ModalEventMask(kModalMouseMoved);
constexpr uint32_t kModalMouseDraggedMask = ModalEventMask(kModalMouseDragged);
constexpr uint32_t kModalKeyDownMask = ModalEventMask(kModalKeyDown);
constexpr uint32_t kModalFlagsChangedMask = ModalEventMask(kModalFlagsChanged);
constexpr uint32_t kModalRightMouseUpMask = ModalEventMask(kModalRightMouseUp);
constexpr uint32_t kModalRightMouseDraggedMask = ModalEventMask(kModalRightMouseDragged);
constexpr uint32_t kModalKeyUpMask = ModalEventMask(kModalKeyUp);
constexpr uint32_t kModalPeriodicMask = ModalEventMask(kModalPeriodic);
// The loops that wait, after the mouse went up, for the press that ends what they make ask for
// this one too: they end their object as it stands, and the next press belongs to the tool
// chosen.
constexpr uint32_t kModalToolChangedMask = ModalEventMask(kModalToolChanged);
constexpr uint32_t kModalAnyEventMask = kModalMouseDownMask | kModalMouseUpMask | kModalMouseMovedMask |
                                        kModalMouseDraggedMask | kModalKeyDownMask | kModalFlagsChangedMask;

// Modifier flags of an event (Command is Ctrl, Option is Alt).
enum : uint32_t {
  kModalShiftKey = 0x20000, kModalControlKey = 0x40000, kModalOptionKey = 0x80000, kModalCommandKey = 0x100000
};

// Key codes the loops test.
enum : uint16_t {
  kModalKeyReturn = 36, kModalKeyTab = 48, kModalKeyEscape = 53, kModalKeyEnter = 76,
  kModalKeyLeftArrow = 123, kModalKeyRightArrow = 124, kModalKeyDownArrow = 125, kModalKeyUpArrow = 126
};

struct ModalEvent {
  int16_t type = kModalEventNone;
  POINT where{};               // window point, as the tracking stages take it
  uint32_t modifierFlags = 0;  // kModal...Key bits held at the event
  uint16_t keyCode = 0;        // key-down and key-up only
  int clickCount = 0;          // mouse-down only
};

class ModalEventSource {
 public:
  virtual ~ModalEventSource() = default;
  // Waits for the next event whose type is in `mask`; events of other types that come first
  // are dropped. False when none can come: the design window closed (type kModalWindowClosed)
  // or the queue ran out (type kModalEventNone). A loop then ends at once and leaves the
  // model as it is.
  virtual bool nextEvent(uint32_t mask, ModalEvent* event) = 0;
  // The mouse's window point now, outside the event stream.
  virtual POINT mouseLocation() const = 0;
  virtual void setAcceptsMouseMovedEvents(bool accept) = 0;
  virtual bool acceptsMouseMovedEvents() const = 0;
  // The window the loop runs in has closed.
  virtual bool windowClosed() const { return false; }
  // Periodic events (kModalPeriodic): the first after delayMs, then every periodMs, until
  // stopped; a queue that has none ignores these.
  virtual void startPeriodicEvents(int delayMs, int periodMs) {}
  virtual void stopPeriodicEvents() {}
  // Drops the key presses waiting in the queue (held keys do not pile up behind a slow step);
  // releases are kept, so a loop always learns that a key went up.
  virtual void discardKeyEvents() {}
  // A loop waits inside nextEvent now.
  virtual bool loopWaiting() const { return false; }
  // Hands the waiting loop `event` after what is queued. False (nothing done) when no loop
  // waits or the one waiting does not take events of that type.
  virtual bool interruptLoop(const ModalEvent&) { return false; }
};

// The queue of the plan view that took the mouse-down; null when there is none (every loop
// then ends at once).
ModalEventSource* CurrentModalEventSource();
void SetModalEventSource(ModalEventSource* source);

// The next event of the current queue; false (with `event` of type kModalEventNone or
// kModalWindowClosed) when there is no queue or it has nothing more.
bool NextModalEvent(uint32_t mask, ModalEvent* event);
POINT ModalMouseLocation();
// The closing of the design window ended the last loop.
bool ModalWindowClosed();
// kTrackModShift and kTrackModCommand bits of an event's modifier flags.
uint16_t TrackModifiersOfEvent(const ModalEvent& event);

// Turns mouse-moved events on (or off) for the life of a loop and puts the previous setting
// back however the loop ends.
class ModalMouseMovedScope {
 public:
  explicit ModalMouseMovedScope(bool accept = true);
  ~ModalMouseMovedScope();
  ModalMouseMovedScope(const ModalMouseMovedScope&) = delete;
  ModalMouseMovedScope& operator=(const ModalMouseMovedScope&) = delete;

 private:
  ModalEventSource* source_;
  bool previous_ = false;
  bool gesture_ = false;  // the loop's moves are a hit-test gesture (BeginHitGesture)
};
