// Landscape plants: a square footprint of four points as wide as the plant, which the road to
// 3D turns into one billboard.
#pragma once
#include <cstdint>

struct Objex;
struct Layer;

// A catalogue plant of that plant id on the layer, appended and rendered; null without a
// layer, document or DocState, or when memory is short.
Objex* BuildLandscapePlant(Layer* layer, uint8_t useCurrentStyle, int32_t plantID);
// A user plant (subtype 153) whose image path is names[9]; names holds `count` strings (the
// plant list's ten when not given). Null also when names is null, holds fewer than ten
// strings or the tenth is null.
Objex* BuildUserLandscapePlant(Layer* layer, uint8_t useCurrentStyle, const char* const* names,
                               int32_t count = 10);
