// Framing view: the skeleton of walls (plates, studs, headers, sills, cripples and foundation
// blocks) and the trusses of generated roofs, every member a box of four faces, each face its
// own plane object of render kind 37 sourced to the wall or roof.
#pragma once
#include <cstdint>

#include "model/PlaneObjectRecords.h"

struct DocState;
struct Objex;

// Member sizes in vertex units.
constexpr float kStudDepth = 10.0f;     // across the wall, half on each side of its line
constexpr float kStudThickness = 2.5f;  // along the wall; also the plate height
constexpr float kHeaderWidth = 6.0f;    // headers and foundation blocks, half on each side
constexpr int32_t kStudTexture = 2202;
constexpr int32_t kHeaderTexture = 2203;
constexpr int16_t kRenderKindFraming = 37;

// The whole framing of a wall.
void FrameWindowsAndDoors(Objex* wall);
// A row of vertical studs from start to end between the heights bottom and top (vertex y):
// at the start and the end when asked, and every stud spacing between.
void FrameWallStuds(const PlaneVertex& start, const PlaneVertex& end, float bottom, float top, Objex* wall,
                    const DocState* docState, bool studAtStart, bool studAtEnd);
// One stud from its bottom to its top point, turned by the wall's angle (radians).
void FrameVerticalStud(float angle, const PlaneVertex& bottom, const PlaneVertex& top, Objex* wall);
// One plate (horizontal member) from start to end, its underside at the points.
void FrameStud(const PlaneVertex& start, const PlaneVertex& end, Objex* wall);
// A header from start to end, its underside `offset` above the points and `height` high.
void FrameWallHeader(const PlaneVertex& start, const PlaneVertex& end, float offset, float height, Objex* wall);
// The same box as a foundation block.
void FrameFloorFoundation(const PlaneVertex& start, const PlaneVertex& end, float offset, float height,
                          Objex* wall);
// The same four members from points given as three floats (x, height y, z); nothing without
// both points.
void FrameVerticalStud(float angle, const float* bottom, const float* top, Objex* wall);
void FrameStud(const float* start, const float* end, Objex* wall);
void FrameWallHeader(const float* start, const float* end, float offset, float height, Objex* wall);
void FrameFloorFoundation(const float* start, const float* end, float offset, float height, Objex* wall);
// One face of a stud or plate, a header, a foundation block (points x, height y, z).
void BuildStudPlane(const float* p0, const float* p1, const float* p2, const float* p3, Objex* source,
                    bool vertical);
void BuildHeaderPlane(const float* p0, const float* p1, const float* p2, const float* p3, Objex* source);
void BuildFoundationPlane(const float* p0, const float* p1, const float* p2, const float* p3, Objex* source);

// The points of the first (end 1) and the last (end 2) truss of the roof framed last: the
// bottom chord's ends, its third points, the peak and the top chords' third points.
extern PlaneVertex sEnd1StartPt, sEnd1EndPt, sEnd1OneThirdBasePt, sEnd1TwoThirdBasePt, sEnd1MidPeakPt,
    sEnd1LeftThirdRakePt, sEnd1RightThirdRakePt;
extern PlaneVertex sEnd2StartPt, sEnd2EndPt, sEnd2OneThirdBasePt, sEnd2TwoThirdBasePt, sEnd2MidPeakPt,
    sEnd2LeftThirdRakePt, sEnd2RightThirdRakePt;

// All trusses and tie members of a generated roof with four points and a style from 1 to 6.
void FrameRoofTrusses(Objex* roof);
// One truss from start to end at the pitch (rise per 1); endIndex 1 or 2 also stores its
// points as that end's.
void FrameRoofTruss(const PlaneVertex& start, const PlaneVertex& end, float pitch, Objex* roof, int16_t endIndex,
                    bool bottomChord, bool webs);
// One sloped or level member from a to b, 2.5 wide and 10 deep above the line.
void RenderRoofTruss(const PlaneVertex& a, const PlaneVertex& b, Objex* roof);
// One upright member from a to b, 2.5 across the truss and 10 along it (to the other side
// when flipped).
void RenderVerticalRoofTruss(float angle, const PlaneVertex& a, const PlaneVertex& b, Objex* roof, bool flip);
