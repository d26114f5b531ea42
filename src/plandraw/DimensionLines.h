// Dimension lines of the plan and the rubber band: extension lines, the dimension line, its
// arrowheads and its readout, and the arrowheads of stairs, ducts and cables by style bits.
#pragma once
#include <cstdint>

class DrawContext;
struct Objex;

// Arrow style ids of dimension lines (DocState.dimArrowStyle).
enum : int16_t {
  kArrowStyleSolid = 5086, kArrowStyleHollow = 5087, kArrowStyleOpen = 5088, kArrowStyleInwardSlant = 5089,
  kArrowStyleOutwardSlant = 5090, kArrowStyleSolidDot = 5091, kArrowStyleOpenDot = 5092
};
// Arrow style bits of DrawArrowhead; kArrowOutside draws the head outside the tip.
enum : int32_t {
  kArrowSolid = 0x01, kArrowHollow = 0x02, kArrowOpen = 0x04, kArrowInwardSlant = 0x08,
  kArrowOutwardSlant = 0x10, kArrowSolidDot = 0x20, kArrowOpenDot = 0x40, kArrowOutside = 0x80
};

// Set to 1 only while a selected wall segment's dimension is drawn: its text is red and 12 high.
extern int16_t gSelectionState;

// A dimension of the two measured points, oriented by the direction line (plan x and z of
// each). The dimension lies at +90 degrees from the direction line when `side` is set, else
// at -90, `offset` view units (before zoom) from the measured points. `dynamic` draws into
// the rubber band. Nothing is drawn unless both `guard` pointers are given (nothing is read
// through them). `oneSided` draws only the first extension line and arrowhead; `start` is
// where static extension lines begin; `compact` draws the text only (also forced for a
// projected length under 71.5 zoomed units); `suffix` (may be null) follows the static
// readout. The static form is drawn only while automatic dimensions are shown.
void DrawDimensionLine(DrawContext* handle, float fromX, float fromZ, float toX, float toZ, float measuredFromX,
                       float measuredFromZ, float measuredToX, float measuredToZ, uint8_t side, float offset,
                       uint8_t dynamic, const void* guard1, const void* guard2, uint8_t unused, uint8_t oneSided,
                       float start, uint8_t compact, const char* suffix);
// The same with the dimension line at the offset itself and extension lines that start
// behind the measured points; drawn whatever the automatic dimension switch says.
void DrawDimensionLineNoOffset(DrawContext* handle, float fromX, float fromZ, float toX, float toZ,
                               float measuredFromX, float measuredFromZ, float measuredToX, float measuredToZ,
                               uint8_t side, float offset, uint8_t dynamic, const void* guard1, const void* guard2,
                               uint8_t unused, uint8_t oneSided, float start, uint8_t compact, const char* suffix);
// The readout of the measured points centred on the dimension line (x1, y1)-(x2, y2) (view
// units), turned with it and kept upright, over a box in the background colour.
void DrawDimensionText(DrawContext* handle, float x1, float y1, float x2, float y2, float measuredFromX,
                       float measuredFromZ, float measuredToX, float measuredToZ, const void* guard1,
                       const void* guard2, uint8_t unused, const char* suffix);
// The live readout of the line's own (unzoomed) length as a rubber-band label; the line too
// unless compact.
void DrawDynamicDimensionText(DrawContext* handle, float x1, float y1, float x2, float y2, uint8_t compact);
// One dimension arrowhead at the tip pointing away from the reference point (view units),
// by style id; sizes zoomed unless `unzoomed`.
void DrawDimensionArrow(DrawContext* handle, float tipX, float tipY, float refX, float refY, int16_t style,
                        uint8_t unzoomed);
// One arrowhead by style bits (the first style bit set wins); into the rubber band while it
// is drawn. `object` is needed only with kArrowOutside (no leader for an angle dimension).
void DrawArrowhead(DrawContext* handle, const Objex* object, float tipX, float tipY, float refX, float refY,
                   int32_t styleBits);
