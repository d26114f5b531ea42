// Line styles of detail objects: the dash record of each dashed style, and the pen
// width of an object's line weight (GetLineWeight and GetPenOffset live with the model,
// which measures bounds and hits with them).
#pragma once
#include <cstdint>

#include "model/Services.h"

// Line style codes (Objex.penStyle).
enum : int16_t {
  kPenSolid = 6, kPenDashDot = 7, kPenDashDotDot = 8, kPenDash = 9, kPenShortDash = 10,
  kPenShortDashPair = 11, kPenLongDashDotDot = 12, kPenDot = 13, kPenLongDashDot = 14
};

struct DashStyle {
  uint16_t count;     // lengths used: 2, 4 or 6
  float lengths[6];   // view units, alternately dash and gap
  int16_t phase;      // always 0
  int32_t reserved;   // always 0
};

// The shared dash record the drawing routines fill.
extern DashStyle gStyleState;

// Fills `out` for styles 7 to 14 at the current zoom; gaps widen with line weights
// above 1. Any other style, or no record, leaves `out` unchanged.
void LoadStyle(int16_t style, DashStyle* out, float lineWeight);
