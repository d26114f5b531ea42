// Wall attachment anchors (kept by the building library, which the wall routines below the
// tools share) and the outline of a wall segment while the move tool drags it.
#pragma once
#include <cstdint>

#include "building3d/WallJoining.h"  // ReplaceAttachmentBasePoint, ReverseAttachmentDirection

class DrawContext;
struct ClickInfo;
struct Objex;

// For each drag step of a wall segment: a new filled transform element in the plan view's
// overlay, then the bands of the moved segment (at gTranslateWallSegPt1/2) and of the two
// segments that join it. a and b are not used; c only has to be given.
void DrawTranslatedWallObject(DrawContext* context, Objex* wall, const void* a, const void* b, const void* c,
                              const ClickInfo* click);
// Appends one closed band `thickness` plan units wide, centred on the line from (x1, z1) to
// (x2, z2), to the overlay's active transform element.
void DrawTranslatedWall(DrawContext* context, float x1, float y1, float z1, float x2, float y2, float z2,
                        float thickness);
