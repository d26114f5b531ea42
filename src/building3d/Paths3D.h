// Pathways and driveways in 3D: a ribbon surface along the path's centre line, with edging
// blocks along both borders when the path asks for them, and the pathway tool's walkers.
#pragma once

struct Objex;
struct Layer;

// Rebuilds the generated parts of one path (type 22 only): the border blocks, then the surface.
namespace building3d { void Update3DPath(Objex* path); }
void Update3DPathLayer(Layer* layer);
void Update3DPathAllLayers(Layer* firstLayer);
// The ribbon surface of a path (type 23, off every layer, its source the path), or null. The
// path's own points keep their positions and tangents.
Objex* Construct3DPath(Objex* path);
