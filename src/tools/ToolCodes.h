// The stage codes of the tracking routines and the modifier bits of gTrackModifiers; the
// tool codes themselves are in model/ToolCodes.h.
#pragma once
#include <cstdint>

#include "model/ToolCodes.h"

enum : int16_t { kTrackBegin = 1, kTrackKeep = 2, kTrackEnd = 3 };
enum : uint16_t { kTrackModShift = 4, kTrackModCommand = 8 };



// The last code of the edit tools.
extern uint16_t gLastEditToolID;  // 213
