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
// Mirrors the plane's vertices: x about the middle of their x extent when `horizontal` is set,
// else y about the middle of their y extent.
void FlipPlane(Plane* plane, int16_t horizontal);
