// Mouldings and custom trim profiles applied by clicking or dropping on the 3D view: the
// picked wall face or door and window trim tells which wall side, segment or trim slot takes
// the moulding code or a copy of the profile; the wall or opening is then rebuilt.
#pragma once
#include <cstdint>

#include "model/SymEntryInfo.h"
#include "model/Types.h"

struct Objex;
struct Poinz;
struct TrimData;

// The stored value of a moulding code (a moulding entry's texture id), and whether it goes to
// the crown trim word rather than the lower one. False for a code outside the families.
bool MouldingCodeValue(int32_t code, int32_t* value, bool* crown);
// The standard trim width of doors and windows a code selects, in inches; 0 for none.
float MouldingCodeTrimWidth(int32_t code);
// Puts the code into the trim record (deleting the field's custom profile); false when the
// code is not a moulding code and nothing changed.
bool ApplyMouldingCodeToTrim(TrimData* trim, int32_t code);

// True when a wall or opening was hit (the code may still have changed nothing); false for
// a negative code or when nothing usable was hit.
bool ApplyMoulding(POINT point, int32_t code);
// The content palette's selected custom trim onto the picked wall side (with Shift, onto
// that side of every segment) or door and window trim slot. True when a wall was hit.
bool ApplyCustomMoulding(POINT point, SymEntryInfo* entry);
// The same two, given the view point as its x and y (view coordinates, y downwards).
inline bool ApplyMoulding(int32_t x, int32_t y, int32_t code) { return ApplyMoulding(POINT{x, y}, code); }
inline bool ApplyCustomMoulding(int32_t x, int32_t y, SymEntryInfo* entry) {
  return ApplyCustomMoulding(POINT{x, y}, entry);
}
// The code onto the side of every segment of the wall that `pickedRecord` (one of
// `pickedPoint`'s two records) belongs to.
void ApplyStandardMouldingToEntireWallGroup(Objex* wall, TrimData* pickedRecord, Poinz* pickedPoint, int32_t code);
// The selected custom trim definition onto that side of every segment: each record gets its
// own copy of the profile, mirrored for a crown trim.
void ApplyCustomTrimFileToEntireWallGroup(Objex* wall, TrimData* pickedRecord, Poinz* pickedPoint);
