// The generated parts of a wall: its body (the footprint with its thickness, as a two-ring
// outline at the wall's heights and below them by the floor depth) kept in the wall's type
// data, and for exterior walls the quick-wall outline (the footprint widened by the
// foundation) kept as its 3D symbol. The renderer turns them into faces.
#pragma once
#include <cstdint>

struct Objex;
struct Poinz;
struct Layer;

// Rebuilds the body and the quick wall of a wall (type 12 only) and its 3D bounds. The
// caller re-fits the wall's attachments and has it rendered.
namespace building3d { void Update3DWall(Objex* wall); }
// The new body (type 10 when closed, 11 when open; subtype 140; unlinked), or null.
Objex* Construct3DWall(Objex* wall);
// The new quick-wall outline (type 113, unlinked), or null.
Objex* ConstructQuickWall(Objex* wall);
// Update3DWall on every object of a visible layer / of every layer of a list.
void Update3DWallLayer(Layer* layer);
void Update3DWallAllLayers(Layer* firstLayer);
// Writes 0 to *start and the plan length of the segment to *length; returns that length
// plus 5. Returns 0 and writes nothing when a point or an output is missing.
float GetWallSegmentWorkingLength(float x, float y, Poinz* startPoint, Poinz* endPoint, float* start,
                                  float* length);
// A new open two-point wall on the current layer from two points of a wall; null when
// refused or out of memory.
Objex* SeparateWallSegment(Objex* wall, Poinz* p1, Poinz* p2);
