// The pathway and driveway tool.
#pragma once
#include <cstdint>

struct Objex;

// Tool 7502: an open centre line entered corner by corner (curved unless the document draws
// straight paths); at the end stage the new path, built and rendered, else null.
Objex* TrackPath(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
