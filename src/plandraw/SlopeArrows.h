// Slope arrows of roofs, the lot, slope lot sections and foundation slopes, and the
// elevation labels beside the points of topography lines, roof panels, roofs and the lot.
#pragma once

class DrawContext;
struct FloatPoint;
struct Objex;
struct Poinz;

// Each arrow runs from its first point (the tail) to its second (the head). Lines go through
// DrawLine at height 0; labels through the plan text routines.

// The roof slope arrow: shaft, 45-degree barbs of 30, the pitch on one side and the run
// ("12" imperial, "10" metric) on the other.
void DrawRoofSlopeDirectionArrow(DrawContext* handle, Objex* arrow);
// The same between two given plan points, with the pitch of the roof.
void DrawCannedRoofSlopeArrow(DrawContext* handle, Objex* roof, const FloatPoint* tail, const FloatPoint* head);
// The entire lot: arrow, the zero-elevation line at the tail, "Elevation=0" and the descent.
void DrawTopoSlopeDirectionArrow(DrawContext* handle, Objex* lot);
// A slope lot section: as the lot with a head line, and its length while automatic
// dimensions are shown.
void DrawTopoMultiSlopeDirectionArrow(DrawContext* handle, Objex* section);
// A foundation slope: arrow and the word "Slope".
void DrawFoundationSlope(DrawContext* handle, Objex* slope);

// One label at the point: the topography line's ascent or descent, the roof panel point's
// elevation, the roof's base elevation, or the lot's descent.
void DrawTopoLineElevation(DrawContext* handle, Objex* topography, Poinz* point);
void DrawRoofPointElevation(DrawContext* handle, Objex* panel, Poinz* point);
void DrawCannedRoofPointElevation(DrawContext* handle, Objex* roof, Poinz* point);
void DrawTopoSlopeElevation(DrawContext* handle, Objex* lot, Poinz* point);
