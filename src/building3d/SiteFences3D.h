// Fences and gates in 3D: every section of a fence becomes flat pickets with short rail pieces
// (the four built-in styles) or spans between square posts (the custom style), and a section
// marked as a gate becomes a gate. The pieces are closed polygons kept in the fence's list of
// generated parts (Objex.typeData), taken off every layer.
#pragma once
#include <cstdint>

#include "model/DocState.h"
#include "model/Records.h"

struct Layer;

// Fence styles (Objex.textureID of a fence).
enum : int32_t {
  kFenceStylePicket = 700, kFenceStyleRanch = 701, kFenceStyleRail = 702, kFenceStylePrivacy = 703,
  kFenceStyleCustom = 704
};
// The first point of a gate section carries this point type.
constexpr int16_t kFenceGatePoint = 6;
// Subtypes of the pieces of a custom fence.
constexpr int32_t kSubFencePost = 154;
constexpr int32_t kSubGatePanel = 155;
// Built-in gates need a section at least this long (plan units).
constexpr float kFenceLeastGateLength = 50.0f;

// The custom style's sizes (world inches) kept on the fence.
inline float& FenceSpanLengthOf(Objex* o) { return o->params[0]; }
inline float& FenceSpanHeightOf(Objex* o) { return o->params[1]; }
inline float& FencePostHeightOf(Objex* o) { return o->params[2]; }
inline float& FencePostWidthOf(Objex* o) { return o->params[3]; }
inline float& FenceGateHeightOf(Objex* o) { return o->params[4]; }
// The document defaults new fences take them from (world inches).
inline float& FenceSpanLengthOf(DocState* ds) { return ds->fenceParam1; }
inline float& FenceSpanHeightOf(DocState* ds) { return ds->fenceParam2; }
inline float& FencePostHeightOf(DocState* ds) { return ds->fenceParam3; }
inline float& FencePostWidthOf(DocState* ds) { return ds->fenceParam4; }
inline float& FenceGateHeightOf(DocState* ds) { return ds->fenceParam5; }

// Rebuilds every piece of a fence (type 25 with at least 2 points in one level; anything else
// is left untouched).
namespace building3d { void UpdateFenceObject(Objex* fence); }
// UpdateFenceObject on every object of a visible layer / of every visible layer of a list.
void UpdateFenceLayer(Layer* layer);
void UpdateFenceAllLayers(Layer* firstLayer);

// Section builders: the section from a to b of the fence.
void UpdateFenceSegment(Objex* fence, Poinz* a, Poinz* b);
void UpdateGateSegment(Objex* fence, Poinz* a, Poinz* b);
void UpdateCustomFenceSegment(Objex* fence, Poinz* a, Poinz* b);
void UpdateCustomGateSegment(Objex* fence, Poinz* a, Poinz* b);

// Piece builders: each builds in a frame whose x runs along the section from the anchor
// (x, y, z) at the plan angle `angle`; sizes are plan units (heights as positive numbers above
// the ground, y = -h). Nothing is built without a layer to build on or when the fence has no
// points.
void AppendFencePicketObject(Objex* fence, float x, float y, float z, float angle, float width, float height);
void AppendFenceSpacerObjects(Objex* fence, float x, float y, float z, float angle, float length, float boardHeight,
                              float fenceHeight);
void AppendCustomFencePicketObject(Objex* fence, float x, float y, float z, float angle, float width, float height);
void AppendFencePostObject(Objex* fence, float x, float y, float z, float angle, float width, float height);
void AppendGatePanelObject(Objex* fence, float x, float y, float z, float angle, float width, float height);
