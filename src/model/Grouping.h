// Groups and the family-tree queries over them, nudging, smoothing, releasing an
// object's type data, and recomputing an object's stored bounds.
#pragma once
#include <cstdint>

struct Objex;

// The group the group command fills; set by the walker, reset by its caller.
extern Objex* gGroupLeader;

Objex* GetRootObject(Objex* obj);
const Objex* GetRootObject(const Objex* obj);
bool IsObjectGrouped(const Objex* obj);
// Kinds that stand at elevations of their own wherever they are (walls, floors, roofs,
// staircases, railings, cut-outs, decks, roof panels, excavations: the kinds that never
// follow the terrain). In a group they keep standing there: the group's base elevation and
// terrain flag place only members that have no elevation of their own (symbol, cabinet and
// fixture parts).
bool KeepsOwnElevation(int16_t type);
// The object whose elevations and terrain flag place `object` in 3D: its root, except for an
// object under ordinary groups only (subtype 0, nested at any depth) whose topmost non-group
// ancestor (or itself) keeps its own elevation: then that ancestor. Null for null.
const Objex* GetPlacementObject(const Objex* object);
// Any point of the object or of its descendants locked.
bool IsObjectLocked(const Objex* obj);
// Any point of the object or of its descendants not detectable.
bool IsObjectUndetectable(const Objex* obj);

// Moves the object into gGroupLeader's child list.
void GroupObject(Objex* obj);
// Deletes the group and returns its members, deselected, to its layer; inner groups stay.
void UngroupObject(Objex* obj);
void UpdateObjectBounds(Objex* obj);
// Moves the selected points by distance: direction 0 up, 1 left, 2 down, 3 right.
void NudgeObject(Objex* obj, float distance, int16_t direction);
// Frees every kind of type data the object owns and clears typeData.
void DeleteObjectData(Objex* obj);

void SmoothObject(Objex* obj);
void SmoothSelectedObject(Objex* obj);
void UnsmoothObject(Objex* obj);
void UnsmoothSelectedObject(Objex* obj);
void ObjectSmoothing(Objex* obj);
void ObjectStraightening(Objex* obj);
