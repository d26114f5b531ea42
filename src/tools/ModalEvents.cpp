// The current nested-loop event queue and the helpers the loops share.
#include "tools/ModalEvents.h"

#include "model/HitTest.h"
#include "tools/ToolCodes.h"

namespace {
ModalEventSource* sSource = nullptr;
}  // namespace

ModalEventSource* CurrentModalEventSource() { return sSource; }
void SetModalEventSource(ModalEventSource* source) { sSource = source; }

bool NextModalEvent(uint32_t mask, ModalEvent* event) {
  ModalEvent scratch;
  ModalEvent* out = event ? event : &scratch;
  *out = ModalEvent{};
  if (!sSource) return false;
  if (sSource->windowClosed()) {
    out->type = kModalWindowClosed;
    return false;
  }
  // A queue that hands back a type outside the mask has that event dropped.
  for (;;) {
    *out = ModalEvent{};
    if (!sSource->nextEvent(mask, out)) {
      if (out->type != kModalWindowClosed) out->type = kModalEventNone;
      return false;
    }
    if (ModalEventMask(out->type) & mask) return true;
  }
}

POINT ModalMouseLocation() { return sSource ? sSource->mouseLocation() : POINT{}; }

bool ModalWindowClosed() { return sSource && sSource->windowClosed(); }

uint16_t TrackModifiersOfEvent(const ModalEvent& event) {
  uint16_t bits = 0;
  if (event.modifierFlags & kModalShiftKey) bits |= kTrackModShift;
  if (event.modifierFlags & kModalCommandKey) bits |= kTrackModCommand;
  return bits;
}

ModalMouseMovedScope::ModalMouseMovedScope(bool accept) : source_(sSource) {
  // The loop's moves hit-test a design that only its clicks edit.
  if (accept) {
    BeginHitGesture();
    gesture_ = true;
  }
  if (!source_) return;
  previous_ = source_->acceptsMouseMovedEvents();
  source_->setAcceptsMouseMovedEvents(accept);
}

ModalMouseMovedScope::~ModalMouseMovedScope() {
  if (gesture_) EndHitGesture();
  // The queue may have changed hands (its view closed) while the loop ran.
  if (source_ && source_ == sSource) source_->setAcceptsMouseMovedEvents(previous_);
}
