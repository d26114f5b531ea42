// Attached wall dimensions: a wall component (subtype 138) that measures the clear distance
// from its segment, at right angles, to the nearest facing wall of the current layer, and
// follows both walls whenever walls change.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "model/Records.h"  // kSubDimensionAttachment

struct FloatPoint;
struct Layer;
struct Objex;
struct Poinz;


// Re-measures one dimension of the wall and re-fits its points.
void UpdateAttachedDim(Objex* dimension, Objex* wall);
// Pulls `to` back along the ray from `from` onto the nearest wall segment of the layer it
// crosses (the segment pointA-pointB excepted); that wall's thickness, or 0 (`to` unchanged).
// The plan drawing reaches it through LimitWallDimension (model/Services.h).
namespace tools {
float LimitWallDimension(FloatPoint* from, FloatPoint* to, Layer* layer, Poinz* pointA, Poinz* pointB);
}  // namespace tools
// Puts the attachment's points where its record says.
void UpdateDimWallAttachment(Objex* attachment);
// Every dimension of one wall / of every wall of a visible layer / of every visible layer.
void UpdateAttachedDimObject(Objex* wall);
void UpdateAttachedDimLayer(Layer* layer);
// The given dimensions (each with its wall) measured again, as UpdateAttachedDim measures each;
// when their walls are all of `layer`, many are measured through one grid of its walls.
void UpdateAttachedDims(Layer* layer, const std::vector<std::pair<Objex*, Objex*>>& dimensions);
void UpdateAttachedDimAllLayers(Layer* firstLayer);
// The floor's dimensions after moves of the walls from `firstMoved` to its end, the walls
// before it staying put (see MovedWallDimensionRefresh in model/Services.h).
class MovedWallDimensions;
MovedWallDimensions* BeginMovedWallDimensions(Layer* layer, Objex* firstMoved);
// The same for objects that come and go after `lastStill` (see AppendedWallDimensionRefresh in
// model/Services.h); ended and measured as the state above.
MovedWallDimensions* BeginAppendedWallDimensions(Layer* layer, Objex* lastStill);
void MeasureMovedWallDimensions(MovedWallDimensions* state);
void EndMovedWallDimensions(MovedWallDimensions* state);
// The state goes on with the walls from `firstMoved` to the floor's end as the moved ones,
// those moved before joining the still walls where they lie now (the caller answers that
// nothing else on the floor has changed since). False: the state is to be ended.
bool CarryOnMovedWallDimensions(MovedWallDimensions* state, Objex* firstMoved);
// The floor's dimensions while walls leave it during a read (see ObjectLeavingFloor in
// model/Services.h): before a wall leaves, those it can be measured to are measured; at the
// end, the rest.
class LeavingWallDimensions;
LeavingWallDimensions* BeginLeavingWallDimensions(Layer* layer);
// A wall was refitted; false: the state is to be ended (the wall is one it keeps).
bool NoteLeavingWallRefit(LeavingWallDimensions* state, Objex* wall);
// Before the top-level object leaves; false: the state is to be ended and the whole floor
// measured instead.
bool MeasureBeforeLeaving(LeavingWallDimensions* state, Objex* object);
// Measures the dimensions not measured since the last refit and ends the state.
void FinishLeavingWallDimensions(LeavingWallDimensions* state);
void EndLeavingWallDimensions(LeavingWallDimensions* state);
