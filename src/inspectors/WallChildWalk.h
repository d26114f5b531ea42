// The walk of the panes whose objects hang in walls (bath fixtures, flood lights, accessories,
// attached wall dimensions): the children of the current floor's walls whose own points are
// selected, and the rebuild of each wall that had one of them changed.
#pragma once
#include <cstdint>
#include <functional>

struct Objex;

// Calls f(wall, child) for each child of a top-level wall of the current layer whose type is
// `type` (and, unless subtype is negative, whose subtype is `subtype`) and whose own points
// are selected. f answers whether it changed the child.
// Answers the number of walls with a changed child; with rebuildWalls set each such wall
// gets UpdateAllWallAttachments and ReRenderObject once, after the walk of its children.
int ForEachSelectedWallChild(int16_t type, int32_t subtype, bool rebuildWalls,
                             const std::function<bool(Objex* wall, Objex* child)>& f);
