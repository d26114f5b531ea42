// The rotate tool: turns the selection about the centre of its 3D bounds by dragging
// around that centre, in 5 degree steps in the plan, at the mouse-up.
#pragma once
#include <cstdint>

// World point of the mouse (after evaluation) and the stage. The model changes only at
// the end stage.
void TrackRotate(float x, float y, float z, int16_t phase);
