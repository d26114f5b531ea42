// Automatic dimensions along object outlines: length labels of outline segments by object
// kind, the dimension string of a wall segment through its doors and windows with their
// callouts, and the live distances along a wall while an attachment is placed.
#pragma once
#include <cstdint>

#include "model/Records.h"
#include "model/Types.h"

class DrawContext;

// The per-segment dimension settings kept on a segment's start point, and an outline's
// automatic dimension switch.
// Nonzero: the wall segment is measured at the wall face, not the centre line.
inline int16_t& PointFromWallFace(Poinz* p) { return p->segmentShort1; }
// 1: the wall segment's dimensions lie on the other side.
inline int16_t& PointFlipDimension(Poinz* p) { return p->segmentShort2; }
// Floors, cut-outs and decks: bit 1 shows automatic dimensions; details: bit 1 hides them.
inline int32_t& ObjectDimensionFlags(Objex* o) { return o->extraLong; }
// Segment flags of a wall's start point.
constexpr int32_t kSegmentHideDimensions = 1;
constexpr int32_t kSegmentHideCallouts = 2;

// The alternation of crowded callouts; reset at the start of each wall segment.
extern uint8_t gToggleCallout;

// Every segment of the outline through DimensionWallSegment (dimension lines always, other
// kinds while automatic dimensions are shown).
void DrawObjectPerimeter(DrawContext* handle, Objex* object);
// A wall's 2D copy in the top view: the copy filled in the pen colour when the wall shows on
// the current plan, then the wall's segment dimensions.
void Draw2DWall(DrawContext* handle, Objex* copy, Objex* wall);
// The segment dimensions of a wall (segments hiding both dimensions and callouts left out).
void DrawWallSegmentDimensions(DrawContext* handle, Objex* wall);
// A roof panel's segment labels, leaving out segments flagged to be skipped.
void Draw2DRoofPanel(DrawContext* handle, Objex* roofPanel);
// One segment, by the object's kind.
void DimensionWallSegment(DrawContext* handle, Objex* object, Poinz* start, Poinz* end, uint8_t side);
// One segment with all the attachments anchored on it, without the wall rules.
void DimensionPerimeterSegment(DrawContext* handle, Objex* object, Poinz* start, Poinz* end, uint8_t side);
// Live distances from the segment's ends and openings to the plan point, into the rubber band.
void DimensionWallSegmentToPoint(DrawContext* handle, Objex* wall, Poinz* start, Poinz* end, int32_t unused,
                                 const FloatPoint* point, const Objex* placing);
// The ends of a wall segment's dimension: its points, or at the wall face on the dimension's
// side when the segment is measured at the face.
void AdjustWallDimensionForMethod(const Objex* object, const Poinz* start, const Poinz* end, float* x1, float* z1,
                                  float* x2, float* z2);
