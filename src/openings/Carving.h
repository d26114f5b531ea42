// Door and window openings cut into a wall face: the outline of each opening shape becomes a
// cut-out (a child plane object of the face being built, part type 61) and the opening's mask
// for its casings; then the casing of that wall side is hung around it.
#pragma once
#include <cstdint>

#include "model/PlaneObjectRecords.h"

struct DoorWindowData;

// Part type of a door or window cut-out.
constexpr int16_t kPartOpeningCutout = 61;

// Common arguments of the carving routines: the face's plane (its normal is read), the face
// direction `a` (radians, from the face's start corner along its bottom edge), the face length,
// the face's start corner, the opening's record, the wall side (0 along the wall points, 1 the
// return side), the correction of the start distance to the face, the face's wall height (not
// used) and the wall's floor depth, both in screen units.
void CarveDoorWindowAttachment(Plane* plane, float a, float length, const PlaneVertex* origin,
                               DoorWindowData* record, int16_t side, float offset, float wallHeight,
                               float base);
void CarveRectangle(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                    int16_t side, float offset, float wallHeight, float base);
void CarveArch(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
               int16_t side, float offset, float wallHeight, float base);
void CarveQtrArch(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                  int16_t side, float offset, float wallHeight, float base);
void CarveCircle(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                 int16_t side, float offset, float wallHeight, float base);
void CarveOctagon(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                  int16_t side, float offset, float wallHeight, float base);
void CarveParallelogram(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                        int16_t side, float offset, float wallHeight, float base);
void CarvePentagon(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                   int16_t side, float offset, float wallHeight, float base);
void CarveTriangleCorner(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                         int16_t side, float offset, float wallHeight, float base);
void CarveChipCorner(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                     int16_t side, float offset, float wallHeight, float base);
void CarveCustomShape(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                      int16_t side, float offset, float wallHeight, float base);

// One strip of a curved wall face and where it lies along its segment's chord (the straight
// line between the segment's wall points, along which openings are placed): its start corner
// (vertex 3) and end corner (vertex 0), and their positions along the chord from its origin.
struct FaceStrip {
  const PlaneVertex* start = nullptr;
  const PlaneVertex* end = nullptr;
  float chordStart = 0, chordEnd = 0;
  float chordOriginX = 0, chordOriginZ = 0;  // the segment's start point
  float chordDirX = 1, chordDirZ = 0;        // unit direction of the chord
};
// A strip covering less than this much of its chord takes no cut-out (its neighbours meet).
constexpr float kStripSpanMin = 1e-3f;

// The opening cut into one strip of a curved face. The arguments up to `base` describe the
// straight face along the chord, as CarveDoorWindowAttachment takes them; the cut-out made
// there is clipped to the strip's stretch of the chord and laid on the strip (one point at a
// given distance along the chord stays at that distance; heights are kept). With `withTrims`
// the opening's mask, lining and casings are built as well (on one strip of the face only).
void CarveDoorWindowIntoStrip(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                              int16_t side, float offset, float wallHeight, float base, const FaceStrip& strip,
                              bool withTrims);
// Mirrors the plane's vertices: x about the middle of their x extent when `horizontal` is set,
// else y about the middle of their y extent.
void FlipPlane(Plane* plane, int16_t horizontal);
