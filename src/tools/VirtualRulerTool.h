// Hit testing and dragging the virtual ruler, which takes a plan click before any tool.
#pragma once
#include <cstdint>

#include "model/Types.h"

class ZLKDocumentView;

enum : int16_t { kRulerHitNone = 0, kRulerHitBody = 1, kRulerHitStart = 2, kRulerHitEnd = 3 };

// The drag reads the plan window's events through the nested-loop queue (tools/ModalEvents.h):
// dragged events move it; the mouse-up, or a queue with nothing more, ends it; the closing of
// the design window ends it at once.

// 1 when the visible virtual ruler is hit at the window point; *part gets the part hit
// (kRulerHit codes).
int16_t PointInVirtualRuler(POINT where, int16_t* part);
// The same test for a window point given by address: hit[0] gets the part hit, hit[1] 0.
// 0 when either argument is missing.
int16_t PointInVirtualRuler(const POINT* where, uint8_t hit[2]);
// Drags the ruler's part from the window point (x, y) until the mouse-up.
void TrackVirtualRuler(int32_t x, int32_t y, POINT where, int16_t part);
// The same drag started from a press in a plan view.
void TrackVirtualRuler(int32_t x, int32_t y, ZLKDocumentView* view, int16_t part);
// The shortest ruler (plan units) an end drag leaves.
constexpr float kMinimumRulerLength = 72.0f;
