// Click-by-click outline entry shared by the outline tools (floors, cut-outs, decks, roof
// panels, fences, paths, railings, drawing tools...): the first corner at the mouse-up of the
// first click, then a modal loop for each further corner, and the floor and deck cut-out
// tools built on it.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct Objex;

// Object kinds that change how the entry draws (a foundation draws its rubber band in
// overlay path 1 with a line width of 2).
constexpr int16_t kPolyEntryKindFoundation = 54;

// Stage 1 and 2 only prepare the snap lock; stage 3 runs the corner loop and returns the new
// outline (kObjClosedPoly when `closed`, else kObjOpenPoly) on the current layer, or null when
// nothing was made (no document or layer; with only the first corner, another tool chosen,
// the window closed or a closed outline clicked shut). The entry ends on a double click, a right (Control-) click, Escape, a
// click on the first corner, another tool chosen or the window closing, the same way for every
// tool; with only the first corner, a double or right click or Escape counts as a click.
// (winX, winY) is the window point of the stage, (x, y, z) its constrained plan point.
Objex* TrackGnrlPoly(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage, uint8_t curved,
                     uint8_t closed, uint8_t constrain, int16_t kind);

// Floors and floor cut-outs (tools 7062, 7063) and deck cut-outs (7606).
Objex* TrackFloor(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
Objex* TrackDeckCutout(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);

// Origin of the perpendicular snap while an outline is entered: the last corner placed;
// (32000, 32000) when there is none.
extern FloatPoint gPerpFromLoc;
constexpr float kPerpFromNone = 32000.0f;
