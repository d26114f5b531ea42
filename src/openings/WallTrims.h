// Trims along the sides of wall faces: base and crown mouldings, the wainscot band, paneling
// (field, rails and stiles) and custom base and top profiles swept along the segment, mitred
// against trimmed neighbours and closed by end pieces elsewhere. Each trim is a plane object
// hung on the face being built (gCurPlaneObject); its material is the one the side's trim
// record holds for the kind, and links back to the record's fields.
#pragma once
#include <cstdint>

#include "model/PlaneObjectRecords.h"

struct Objex;
struct Poinz;
struct TrimData;

// Part types of the trims built here.
constexpr int16_t kPartBaseMoulding = 63;  // also every face of a custom wall profile
constexpr int16_t kPartPaneling = 64;
constexpr int16_t kPartWainscotBand = 132;
constexpr int16_t kPartCrownMoulding = 159;

// Material slots of a wall side's trim record.
enum : int { kTrimSlotLower = 0, kTrimSlotCrown = 1, kTrimSlotRail = 2, kTrimSlotField = 3, kTrimSlotWainscot = 4 };

// Heights (inches) of the next moulding or band and of the next paneling, set by the wall-face
// builder from the trim record's size bits.
extern float gBaseTrimHeight;
extern float gPanelingHeight;

// The common arguments: the side's trim record, the face's plane (its normal goes to front
// faces), `angle` the direction from the face's end corner `end` to its start corner `start`
// (the face's bottom corners), the face's length, the wall height and floor depth in screen
// units, the side and the segment's elevation (inches). Nothing is built without record,
// plane, corners, gCurPlaneObject and a current document state.
//
// One band 0.75 out from the face: kinds 63 (base moulding) and 132 (wainscot band) from the
// floor up to gBaseTrimHeight, 159 (crown moulding) that high below the top of the wall.
void CreateMoulding(TrimData* trim, Plane* plane, float angle, float length, const PlaneVertex* start,
                    const PlaneVertex* end, float wallHeight, float base, int16_t side, float elevation,
                    int16_t kind);
// Paneling gPanelingHeight high: the field 0.75 out, the rails 1.9 out (about every 12) and
// the stiles 1.91 out (about every 18), each rail and stile closed toward the wall.
void CreatePaneling(TrimData* trim, Plane* plane, float angle, float length, const PlaneVertex* start,
                    const PlaneVertex* end, float wallHeight, float base, int16_t side, float elevation,
                    int16_t kind);
// The record's custom profiles swept along the face: the base profile when the lower trim word
// is custom and has a profile, the top profile likewise for the crown word. Wall height and
// elevation in inches; `startPoint` starts the face's segment.
void ApplyCustomTrimToWall(TrimData* trim, Plane* plane, float angle, float length, const PlaneVertex* start,
                           const PlaneVertex* end, float wallHeight, float base, int16_t side, float elevation,
                           Poinz* startPoint);
// The same sweep given the face's corners A (vertex 3) and B (vertex 0) first, as the
// wall-face builder hands them on; `base` in screen units, wall height and elevation in inches.
void ApplyCustomTrimToWall(const PlaneVertex* A, const PlaneVertex* B, float angle, float base, float wallHeight,
                           float elevation, int16_t side, TrimData* trim, Poinz* startPoint);

// Sweeps a profile (`count` points of three floats, x and z relative to a segment end, y the
// height) from `segStart` to `segEnd`: one face per profile edge but the first, mitred at an
// end whose neighbouring segment (on the face's side, 1 with `swap`) is trimmed for `slot`
// (0 lower, 1 crown), closed by an end piece at an end that is not. `wallPoint` starts the
// segment; with `swap` the two ends are taken the other way round (the return side runs from
// the segment's end to its start).
void BuildCustomTrimPlanesForWalls(TrimData* record, const PlaneVertex* segStart, const PlaneVertex* segEnd,
                                   const float* profile, int32_t count, float textureLength, int16_t slot,
                                   Poinz* wallPoint, int16_t swap);
// One flat face of the whole profile at `end`.
void BuildTrimEndPiece(TrimData* record, const PlaneVertex* end, const float* profile, int32_t count,
                       float textureLength, int16_t slot);
// u (and with `withV` v) of the vertices from the plane they extend least across, and the
// plane object's texture sizes for that u extent and the texture length.
void SetWallTrimFaceUVCoords(PlaneObject* planeObject, PlaneVertex* vertices, int32_t count, float textureLength,
                             int16_t withV);
// v of a swept face's four vertices: the bottom pair `startV`, the top pair `step` further
// along the texture length (0 and 1 for a level face); nothing with a texture length of 0.
void CalculateVCoordinates(float textureLength, float step, float startV, PlaneVertex* vertices);
// Shifts the profile's points so that the least x and the least z of its bounds are 0.
void MoveTrimProfileToFirstQuadrant(Objex* profile);
