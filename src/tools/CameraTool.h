// The view point tool: the mouse-down places the 3D camera in the plan and the drag aims it,
// with the 3D view following.
#pragma once
#include <cstdint>

// One stage of the drag; at the end stage 1 when the final view distance is at least 5,
// else 0 (the other stages 0).
int16_t TrackCamera(int32_t windowX, int32_t windowY, float worldX, float worldY, float worldZ, int16_t stage);
