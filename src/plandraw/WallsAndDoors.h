// Walls and doors in plan: a door's opening patch and marks with the swing of hinged doors,
// the symbols of garage, sliding, pocket and bi-fold doors, a wall drawn from its own points,
// and the rubber-band wall of the wall tool.
#pragma once
#include <cstdint>

#include "model/Types.h"

class DrawContext;
struct Objex;
struct DragTransformInfo;

// Door kinds (DoorWindowData.subtype).
enum : int16_t {
  kDoorFrameOnly = 500, kDoorSliding = 502, kDoorArchedOpening = 504, kDoorArchedOpeningLow = 505,
  kDoorArchedHinged = 506, kDoorArchedHingedLow = 507, kDoorHingedGlass = 508, kDoorHingedHalfGlass = 509,
  kDoorPocket = 510, kDoorBiFold = 511
};
// DoorWindowData.flipVertical of a door: the swing turns toward increasing angles.
constexpr int16_t kDoorSwingPositive = 4;

// The door's whole plan symbol: the opening, then the symbol of its kind.
void DrawDoor(DrawContext* handle, Objex* door, const RECT* updateRect, int32_t drawFlags,
              const DragTransformInfo* transform);
// The background patch over the wall and the dashed marks of the opening; the swing of
// hinged kinds.
void DrawDoorOpening(DrawContext* handle, Objex* door);
void DrawGarageDoor(DrawContext* handle, Objex* door);
void DrawSlidingDoor(DrawContext* handle, Objex* door);
void DrawPocketDoor(DrawContext* handle, Objex* door);
void DrawBiFoldDoor(DrawContext* handle, Objex* door);
// The swing arc (radius width - 3) from the closed leaf and the open leaf line; plan units.
// Drawn only for a sweep of 3 to 180 degrees either way.
void DrawDoorArc(DrawContext* handle, int32_t hingeX, int32_t hingeZ, int32_t freeX, int32_t freeZ,
                 int32_t swingX, int32_t swingZ, float closedAngle, float width, int16_t swingSense,
                 const RGBColor* color);
// A wall without its outline: both faces (and the ends of an open wall) from its own points
// at its thickness, then its segment dimensions in the top view.
void DrawWallFromPoints(DrawContext* handle, Objex* wall);
// The rubber-band wall from the first to the second point, `thickness` plan units, with its
// live length on `dimensionSide`.
void DrawWall(DrawContext* handle, float x1, float y1, float z1, float x2, float y2, float z2, float thickness,
              uint8_t dimensionSide);
