// Moving and copying objects between floors, clamping and raising them against a floor,
// interior and exterior walls, the 2D view layers and flattening curved segments.
#pragma once
#include <cstdint>

struct Objex;
struct Poinz;
struct Layer;

// Sets the wall's base elevation to the lowest elevation of its segments, at whatever height
// they stand (every point but the last of an open wall starts a segment). A wall without a
// segment, or whose segments hold no comparable elevation, keeps its base.
void WallBaseFromSegments(Objex* wall);

// Changes the elevations of the object's root for a move by one floor (5168..5171): up by
// the current layer's height, down by the height of the layer before it; a group's members
// go with it (ElevateGroupMembers). What stands on the terrain, alone or grouped, stays on it.
// Nothing without a current DocState and layer, or without a layer in that direction.
void SendToNeighboringFloor(Objex* object, int32_t command);
// SendToNeighboringFloor, then moves the root object (with its child tree) to the end of the
// neighbouring layer and deselects it; walls change plan and are rebuilt.
void MoveToNeighboringFloor(Objex* object, int32_t command);

// Lowers every point above the top of the object's floor to that top (doors and windows also
// keep 6 units below it), with the children.
void ScaleObjectToWallHeight(Objex* object);
void ScaleLayerToWallHeight(Layer* layer);
// Raises every point of the object, with its children, by dy.
void RaiseObjectToBaseHeight(Objex* object, float dy);
void RaiseLayerToBaseHeight(Layer* layer, float dy);
// A group's base elevation changed by dy: the members that stand at elevations of their own
// (KeepsOwnElevation, Grouping.h) move by dy with it, each once, at any depth: nested groups'
// base elevations, whole walls (every segment's elevation and the base; their 3D and
// attachments built again), the base elevation of the other kinds. Members of a group that is
// not an ordinary one (subtype 0), and members placed by their group, keep theirs.
void ElevateGroupMembers(Objex* group, float dy);
// A floor's height changed by dy inches: every object of every floor after it (not the 2D
// view layers) stands dy higher. Walls raise each segment's base and build their 3D and
// attachments again; other objects raise their base elevation, which their 3D is lifted by;
// a group's members follow it (ElevateGroupMembers).
void RaiseFloorsAbove(Layer* layer, float dy);
// A floor's height changed by dy inches: the wall segments of that floor, in groups at any
// depth too, whose level tops stood at its old ceiling (base elevation plus wall height) rise
// or sink with it, so the floor above still stands on them. A segment of another height, a
// sloped or stepped one (a wall style) and one that would be left without height keep theirs.
// Changed walls build their 3D and attachments again. A roof of that floor (in groups too)
// whose eaves stood at the old ceiling over a wall segment that followed goes with it: a gable
// or hip roof by its lowest corner, a roof panel anchored at its lowest corner. A roof at
// another height, over no such segment, or placed by its group or on the terrain stays.
void RaiseWallsToCeiling(Layer* layer, float dy);

// Interior walls go from the foundation plan to the floor plan and make no floor; exterior
// walls (subtype 54) keep their plan. Non-walls: nothing.
void ConvertWallToInterior(Objex* wall);
void ConvertWallToExterior(Objex* wall);

// The layer that holds the 2D annotation of a view ("X_TOP_FIRST_FLOOR", "X_LEFT" ...),
// created at the end of the layer list when missing; null without a document.
Layer* Get2DViewLayer(int32_t viewCode);
// The same layer when the design has it, null otherwise: nothing is made.
Layer* Find2DViewLayer(int32_t viewCode);
// Shows the given 2D view layer and hides the other view layers (the top-view layers follow
// the visibility of their floors).
void Set2DViewLayerVisibility(Layer* layer);
// Moves a top-level object to the end of layer's object list and gives it and its whole
// child tree that layer. Nothing for a null argument.
void Move2DObject(Objex* object, Layer* layer);
// Sets layer on the object and every object below it in the child lists.
void Move2DSubObjects(Objex* object, Layer* layer);
// Moves the dimension text boxes and 2D annotation objects (types 102, 200, 201, or groups whose
// first child is one) of a layer to the view's 2D view layer.
void Move2DObjectsTo2DLayer(Layer* layer, int32_t viewCode);

// Replaces the curved segment a-b by curveSegments straight pieces (2 when curveSegments < 2).
void ConvertSegmentCurveToPolygon(Objex* object, Poinz* a, Poinz* b);
// The same for every segment of the object, the closing segment of a closed object included.
void ConvertObjectCurvesToPolygons(Objex* object);
// Opens a closed object and appends a copy of its first point, so no segment is lost.
void PreserveConvertClosedToOpen(Objex* object);
