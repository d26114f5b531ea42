// The record fields that the plan symbols read under the names they draw them by: text
// objects' alignment, font and angle, roof panels' height sense, lot slopes, the measuring
// mode of wall dimension attachments, key-entry handle state and accessory offsets.
#pragma once
#include <cstdint>

#include "model/Attachments.h"
#include "model/Records.h"
#include "model/Types.h"

// Standard text: the alignment (0 left, 1 centre, 2 right); dynamic text: half its width.
inline int32_t& TextAlignmentOf(Objex* o) { return o->extraLong; }
// The text object's font record, or null.
inline const LOGFONT* TextFontOf(const Objex* o) { return static_cast<const LOGFONT*>(o->extraData); }
// A dynamic text's rotation in degrees.
inline float& TextAngleOf(Objex* o) { return o->params[0]; }
// A text object's string, or null.
inline const char* TextStringOf(const Objex* o) { return static_cast<const char*>(o->typeData); }

// A freehand roof panel's point heights count downward from its base elevation.
inline int16_t HeightsBelowBase(const Objex* panel) { return panel->direction; }
// The descent angle in degrees of a lot point (the first point holds the lot's).
inline float SlopeAngleOf(const Poinz* p) { return p->segmentFloats[0]; }
// On the first point of a wall dimension attachment: measured from the wall face.
inline int16_t FromWallFace(const Poinz* p) { return p->segmentShort1; }
// The colour state of the point's last key-entry handle.
inline int16_t& KeyEntryStateOf(Poinz* p) { return p->keyEntryMark; }
// A wall accessory's distance from the wall face, world units (the door's swing angle slot).
inline float AccessoryOffsetOf(const DoorWindowData* d) { return d->auxFloat1; }
