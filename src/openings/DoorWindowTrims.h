// Casings and linings of door and window openings: the opening's mask (its outline relative to
// the opening, the wall's turn removed), the faces lining the opening through the wall, and
// trim faces swept from a profile around the mask on either wall face.
#pragma once
#include <cstdint>

#include "model/PlaneObjectRecords.h"

struct DoorWindowData;
struct Objex;

// Trim kinds (part types) of the faces built here: slot A's casing (wall side 0), slot B's
// casing (side 1), the lining of the opening.
constexpr int16_t kPartTrimSlotA = 1, kPartTrimSlotB = 2, kPartTrimLining = 3;
// Material of a trim face without an opening record.
constexpr int32_t kDefaultTrimTexture = 2203;

// The standard casing (a bar 2.5 deep and the trim width wide) around every mask of the
// record, on wall side `side`; `custom` marks a custom opening (its masks are scaled to the
// opening's size), `base` is the wall's floor depth in screen units.
void ApplyStandardTrimToDoorWin(float a, DoorWindowData* record, int16_t side, int16_t custom, float base);
// The same with a custom profile, scaled so that its z extent is the trim width.
void ApplyCustomTrimToDoorWin(Objex* profile, float a, DoorWindowData* record, int16_t side, int16_t custom,
                              float base);

// Makes the record's mask from an outline (`count` vertices; x and z in the plan, y the height
// growing downward): y lifted by the record's elevation and `verticalOffset`, turned by π about
// the centre when `flip` is set, then by 2π − `wallAngle`, and made relative to the centre. The
// mask is a working object of the record (never in a layer): the previous mask is freed first.
// Null without a record or outline, for a custom opening (whose masks are its definition), or
// without a current layer or memory.
Objex* BuildGenericMaskObject(DoorWindowData* record, const PlaneVertex* outline, int32_t count, float wallAngle,
                              float verticalOffset, float centreX, float unused, float centreZ, int16_t flip);
// The faces lining the opening through the wall, one quad per edge of every mask (part type 3).
void BuildInnerTrimPlanes(DoorWindowData* record, float wallAngle, float verticalOffset, int16_t fitCustom);
// Sweeps `profile` (`profileCount` points of three floats) around `outline`, on the face at
// `baseDepth` from the wall line (the other face when `faceFlag` is set), turned by `angle` and
// moved by (xOffset, zOffset); heights drop by `verticalOffset`.
void BuildCustomTrimPlanes(DoorWindowData* record, Objex* outline, const float* profile, int32_t profileCount,
                           float angle, float xOffset, float yOffset, float zOffset, float baseDepth,
                           float verticalOffset, int16_t faceFlag);
// The contours of a profile of more than 2 points around an (x/z) outline: profileCount − 1
// parallel copies chained by next, the last linked to the outline itself; `depths` (count
// entries) gets each contour's depth and 0 for the outline. Null when none can be made.
Objex* BuildTrimContours(int32_t profileCount, const float* profile, Objex* outline, float* depths);
// One quad per edge between each neighbouring pair of contours.
void BuildTrimPlanesFromContours(DoorWindowData* record, Objex* firstContour, Objex* outline, const float* depths,
                                 float angle, float xOffset, float yOffset, float zOffset, float baseDepth,
                                 float verticalOffset, int16_t faceFlag);
// The object the trim faces of the opening report as their 3D part.
Objex* GetAttachmentObjectHdl(const DoorWindowData* record);
// The signed height of the custom profile of slot A (slotB 0) or B: its least z minus its
// greatest z (0 or less; 0 without a profile). Stores the profile's 3D bounds.
float GetCustomTrimHeight(DoorWindowData* record, int16_t slotB, float* height);
// Around the building of one opening's trims, or of all the openings of a face (on the face in
// gCurPlaneObject, whose trims nothing removes meanwhile): new trims are linked at the face's
// trim list's end in constant time. Batches on the same face nest; each Begin has its End.
void BeginTrimBatch();
void EndTrimBatch();
// Slot B's material lines the opening only when slot B is custom with a profile and slot A is
// not custom.
bool LiningUsesSlotB(const DoorWindowData* record);
