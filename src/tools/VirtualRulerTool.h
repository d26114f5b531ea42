// Hit testing and dragging the virtual ruler, which takes a plan click before any tool.
#pragma once
#include <cstdint>

#include "model/Types.h"

enum : int16_t { kRulerHitNone = 0, kRulerHitBody = 1, kRulerHitStart = 2, kRulerHitEnd = 3 };

// The drag reads the plan window's events through the nested-loop queue (tools/ModalEvents.h):
// dragged events move it; the mouse-up, or a queue with nothing more, ends it; the closing of
// the design window ends it at once.

// PointInVirtualRuler and TrackVirtualRuler are declared with the plan view's other click
// services (model/PendingServices.h).
// The shortest ruler (plan units) an end drag leaves.
constexpr float kMinimumRulerLength = 72.0f;
