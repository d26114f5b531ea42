// The accessory tool: a flat panel (shutter, awning, header) hung on one side of a wall
// segment and slid along it like a component.
#pragma once
#include <cstdint>

struct ClickInfo;
struct Objex;
struct FloatPoint;

// The accessory tool's defaults in inches (the accessory inspector sets them); when the
// first three are 0 at the first use they are taken from the window defaults.
extern float gdsAccessoryWidth, gdsAccessoryHeight, gdsAccessoryElevation, gdsAccessoryWallOffset;
// The translucency of new accessories (0 opaque to 255 clear), as the accessory inspector
// last set it.
extern int16_t gdsAccessoryTranslucency;
struct DocState;
// Takes the first three defaults from the window defaults when all three are 0.
void FillAccessoryDefaults(DocState* docState);

// Fills the defaults and places an accessory on the wall segment under the click.
Objex* TrackAccessory(int32_t windowX, int32_t windowY, float x, float y, float z, int16_t stage);
// The placement on the mouse-down; the new accessory or null. size: width along the wall and
// height, in plan units; wallOffset in inches.
Objex* SupportTrackAccessory(int32_t windowX, int32_t windowY, float x, float y, float z, int16_t stage,
                             ClickInfo* click, uint16_t modifiers, FloatPoint* size, int16_t type, float wallOffset);
