// Hit testing and dragging the virtual ruler, which takes a plan click before any tool.
#pragma once
#include <cstdint>

#include "model/Types.h"

enum : int16_t { kRulerHitNone = 0, kRulerHitBody = 1, kRulerHitStart = 2, kRulerHitEnd = 3 };

// The plan view's event queue during a ruler drag: the next left-mouse dragged (1) or
// left-mouse up (2) event and its window point; 0 when the queue has nothing more (the drag
// then ends as at a mouse-up).
struct VirtualRulerHooks {
  int (*nextDragEvent)(int32_t* x, int32_t* y) = nullptr;
};
extern VirtualRulerHooks gVirtualRulerHooks;
enum : int { kRulerEventNone = 0, kRulerEventDragged = 1, kRulerEventUp = 2 };

// PointInVirtualRuler and TrackVirtualRuler are declared with the plan view's other click
// services (model/PendingServices.h).
// The shortest ruler (plan units) an end drag leaves.
constexpr float kMinimumRulerLength = 72.0f;
