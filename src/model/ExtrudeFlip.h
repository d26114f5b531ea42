// Extruding and revolving point rings, mirroring selected points, reversing point
// order, and the cap direction of closed bodies.
#pragma once
#include <cstdint>

struct Objex;
struct Poinz;
struct Layer;
struct DragTransformInfo;

// Mirror centre of FlipObject, set by the flip command and the skylight part builders.
extern float gFlipCenterX;
extern float gFlipCenterY;

// Appends a copy of the ring raised by `height` along the working plane's normal.
void ExtrudeObject(Objex* object, float height);
// Appends copies of the ring turned about the record's anchor in steps of at most 90 degrees.
void RevolveObject(Objex* object, DragTransformInfo* xform);
// Mirrors the selected points about the flip centre; nonzero = left-right.
void FlipObject(Objex* object, int16_t horizontal);
// Reverses the first n points of a chain in place and returns the new head; the
// points after the n-th stay linked behind the old first point.
Poinz* ReverseSegmentDirection(Poinz* first, int32_t n);
Poinz* ReverseAnySegmentDirection(Poinz* first, int32_t n);
// Reverses each level's point order in place (polygon, wall and face types only).
void ReverseObjectDirection(Objex* object);
// The same for any type, with every handle negated.
void ReverseAnyObjectDirection(Objex* object);
void ValidateCapDirection(Objex* object);
void ValidateCapDirectionLayer(Layer* layer);
void ValidateCapDirectionAllLayers(Layer* layers);
