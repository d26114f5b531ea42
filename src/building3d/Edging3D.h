// Edging in 3D: a row of small square blocks of varied height set along the edging's line at
// a fixed spacing, kept in the edging's list of generated parts (Objex.typeData). The walk
// along the line keeps its state in a dash record: spacing in lengths[0], the block counter in
// phase and the distance walked since the last block (a float) in the final field.
#pragma once
#include <cstdint>

#include "model/Records.h"

struct DashStyle;
struct Layer;

// Blocks stand this far apart along the line (plan units), 8 by 8 units, 12 to 24 high.
constexpr float kEdgingSpacing = 20.0f;
constexpr float kEdgingBlockSize = 8.0f;

// Rebuilds the blocks (type 24 with at least 2 points in one level; anything else is left
// untouched). Each block's height, 12 to 24 in whole units, follows from the edging's own shape
// and the block's place in the row: the same edging always builds the same blocks.
namespace building3d { void UpdateEdgingObject(Objex* edging); }
// UpdateEdgingObject on every object of a visible layer / of every visible layer of a list.
void UpdateEdgingLayer(Layer* layer);
void UpdateEdgingAllLayers(Layer* firstLayer);
// Samples the segment from a to b (Hermite, with the points' tangents) and walks each chord.
void UpdateEdgingSegment(Objex* edging, Poinz* a, Poinz* b, DashStyle* state);
// Walks one straight chord, setting a block wherever the spacing is reached.
void UpdateEdgingList(float x0, float y0, float z0, float x1, float y1, float z1, DashStyle* state, Objex* edging);
// One block standing on (x, y, z), turned by the plan angle.
void AppendEdgingObject(Objex* edging, float x, float y, float z, float angle);
// Resets a walk state for an edging (returns 0); for any other object returns whether it is
// non-null and leaves the state alone.
int32_t UpdateEdgingStyle(int32_t ignored, DashStyle* state, Objex* object);
