// The resize tool: stretching the selection's box from the grabbed side or corner while the
// opposite side stays fixed, applied to the selection at the mouse-up.
#pragma once
#include <cstdint>

// World x and y of the mouse (unused: the tracking state gives the point) and the stage.
void TrackScale(float x, float y, int16_t phase);
