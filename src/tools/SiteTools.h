// The landscape and deck palettes' object tools: fills, property lines, ground-fill regions,
// edging, fences, topography regions and decks (an outline entered, then given its kind's
// defaults and its 3D), and the gate tool, which cuts a gate into a fence section.
#pragma once
#include <cstdint>

#include "model/DocState.h"

struct ClickInfo;
struct Objex;

// 1 = new edging is drawn with straight segments, 0 = curved.
extern uint8_t gEdgingStyleFlag;

// The height of new topography regions (world inches).
inline float& TopoElevationOf(DocState* ds) { return ds->topographyWidth; }

// Each tool routine takes (window x, window y, plan x, y, z, stage) and acts at the end stage
// (the gate tool at the begin stage). Those that make an object return it (null otherwise or
// when it was removed again).
Objex* TrackFill(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
Objex* TrackPropertyLine(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
Objex* TrackGroundFill(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
Objex* TrackEdging(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
Objex* TrackFence(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
Objex* TrackTopo(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
Objex* TrackDeck(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
void TrackGate(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
// Places a gate `gateWidth` plan units wide on the fence section of the click record (at the
// begin stage only): a slide along the section, then two new points splitting it into fence,
// gate and fence. True when the gate was placed; a refused gate changes nothing.
bool SupportTrackGate(int32_t winX, int32_t winY, float x, int16_t stage, ClickInfo* click, uint16_t modifiers,
                      float gateWidth);
