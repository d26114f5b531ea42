// Groups and the family-tree queries over them, nudging, smoothing, releasing an
// object's type data, and recomputing an object's stored bounds.
#pragma once
#include <cstdint>

struct Objex;

// The group the group command fills; set by the walker, reset by its caller.
extern Objex* gGroupLeader;

// How deep groups stand in one another: a group holds groups at most this many levels down (a
// group of groups of plain objects holds them one level down). Every reader of an object stream
// keeps this many levels, and the group command never builds a tree deeper, so that every
// tree a design holds is written and read back whole.
constexpr int kMaxGroupNesting = 32;
// The levels of groups held in `obj`: 0 for an object that holds no group (null too).
int GroupNesting(const Objex* obj);

Objex* GetRootObject(Objex* obj);
const Objex* GetRootObject(const Objex* obj);
bool IsObjectGrouped(const Objex* obj);
// A group made with Plan > Group (subtype 0) whose members stand each as it would alone: each
// drawn, picked and printed on the plans that would show it alone. Not the group of one
// symbol's parts (a fixed component's, subtype kSubFixedSymbolMember, or a library symbol's 2D
// and 3D parts), which its own plan bit shows whole, nor a group of another kind (a cabinet).
bool GroupMembersStandAlone(const Objex* obj);
// Kinds that stand at elevations of their own and never follow the terrain (walls, floors,
// roofs, staircases, railings, cut-outs, decks, roof panels, excavations).
bool NeverFollowsTerrain(int16_t type);
// Parts that their group places (its base elevation and terrain flag), having no placement of
// their own: 3D and 2D symbol parts, cabinets (and a cabinet's second face while it is built),
// custom attachment parts, fixed electrical, plumbing and duct symbols.
bool IsPlacedByItsGroup(int16_t type);
// Kinds that stand where their own base elevation and terrain flag put them, in a group as
// alone: every kind but the parts a group places. A group's base elevation and terrain flag
// place none of them; when the group moves, they move with it.
bool KeepsOwnElevation(int16_t type);
// The object whose elevations and terrain flag place `object` in 3D: its root when that is not
// a group. Under groups: the topmost group above it that is not an ordinary one (subtype 0),
// such as a cabinet; otherwise its topmost non-group ancestor (or itself), which stands where
// it would stand alone, except that the parts a group places (IsPlacedByItsGroup) go by the
// group that holds them. Null for null.
const Objex* GetPlacementObject(const Objex* object);
// Any point of the object or of its descendants locked.
bool IsObjectLocked(const Objex* obj);
// Any point of the object or of its descendants not detectable.
bool IsObjectUndetectable(const Objex* obj);

// Moves the object into gGroupLeader's child list.
void GroupObject(Objex* obj);
// Whether the object may go into a group: false for a group that already holds groups
// kMaxGroupNesting levels down.
bool MayBeGrouped(const Objex* obj);
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
