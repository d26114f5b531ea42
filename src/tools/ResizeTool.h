// The resize tool: stretching the selection's box from the grabbed side or corner while the
// opposite side stays fixed, applied to the selection at the mouse-up.
#pragma once
#include <cstdint>

#include "model/Types.h"

// World x and y of the mouse (unused: the tracking state gives the point) and the stage.
void TrackScale(float x, float y, int16_t phase);
// The rectangle of two corners, normalised (left and top the smaller coordinates); returns
// its bottom. Null rect: 0.
int32_t SetMobiusRect(RECT* rect, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
