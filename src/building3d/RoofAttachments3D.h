// Skylights and dormer cut-outs in the roof faces: the holes they open in the face being built
// (children of gCurPlaneObject) and the curbs around them.
//
// Heights follow the face builders: y grows downward, so "- 12" is 12 units higher. A
// skylight's points lie on the underside of the roof; the top face is 12 units above them.
#pragma once
#include <cstdint>

#include "model/PlaneObjectRecords.h"

struct Objex;
struct RoofAttachmentData;

// Part types of the holes and of the curb faces.
constexpr int16_t kPartSkylightHole = 160;
constexpr int16_t kPartDormerHole = 166;
constexpr int16_t kPartSkylightTopRing = 1;
constexpr int16_t kPartSkylightBottomRing = 2;
constexpr int16_t kPartSkylightTopBand = 4;
constexpr int16_t kPartSkylightBottomBand = 5;
constexpr int16_t kPartDormerTrim = 6;

// Curb heights, relative to the height of an outline point (y units).
constexpr float kRoofTopFaceRise = 12.0f;     // the side-1 face and the start of every band
constexpr float kTopCurbRise = 16.0f;         // top of the top curb and its ring
constexpr float kBottomCurbDrop = 2.0f;       // bottom of the bottom curb and its ring
constexpr float kDormerTrimRise = 12.0f;      // dormer cut-out bands

// One hole in the face being built: a plane of the outline's points (at most pointCount of
// them; y raised by 12 on side 1) with the face's normal, of `partType`, appended as a child
// of gCurPlaneObject. Nothing without an outline with points, a plane, a document or a
// current plane object.
void CarveRoofAttachment(Objex* outline, Plane* plane, int16_t side, int16_t partType);
// Every skylight and dormer cut-out of a freehand roof panel, with its curb for the side.
void CarveAllRoofPanelAttachments(Objex* panel, Plane* plane, int16_t side);
// The same for a gable or hip roof, only for the attachments whose owner panel is `panelID`.
void CarveAllRoofAttachments(Objex* roof, Plane* plane, int32_t panelID, int16_t side);

// One curb face of `count` vertices (the array is handed over and freed whatever happens),
// hung as a trim on the face being built. A skylight's face takes the top or bottom
// material slot and the band or ring part type; a dormer cut-out's is white, part type 6.
// Null when nothing was made.
PlaneObject* CreateRoofAttachmentTrimPlane(RoofAttachmentData* data, PlaneVertex* vertices, int32_t count,
                                           uint8_t top, uint8_t band);
// The curbs of a standard skylight (its own points) and of one outline part of a custom
// skylight: bands on the outline and on the outline widened by the record's trim width (at
// the roof's height), and the ring between them. Top: bands from 12 to 16 units up, ring at
// 16 up. Bottom: bands from 12 up to 2 down, ring at 2 down.
void BuildTopSkylightTrimPlanes(Objex* skylight);
void BuildBottomSkylightTrimPlanes(Objex* skylight);
void BuildTopCustomSkylightTrimPlanes(Objex* skylight, Objex* outline);
void BuildBottomCustomSkylightTrimPlanes(Objex* skylight, Objex* outline);
// One 12-unit band up from each edge of a dormer cut-out's outline.
void BuildDormerCutoutTrimPlanes(Objex* cutout);
