// Faces with their cut-outs carved out as plain triangles: what drawing the cut-outs into the
// stencil and the face under the stencil test shows, as geometry that needs no stencil.
//
// Each object's cut-outs (its children) mask that object's planes only, never its trims or any
// other object, and they mask whatever of the face they cover, also past the face's edge.
// A cut-out lying in the plane of some of the object's planes is carved out of those planes
// (the plane minus every such cut-out); the other planes of the object are left whole (the
// stencil would cut them only where the eye sees them through the cut-out, which no solid
// face shows). An object is not carved, and keeps the stencil, when one of its cut-outs lies in
// none of its planes (the hole then depends on where the eye stands), or when a plane it cuts
// is a concave polygon, a concave quad, or a quad whose texture coordinates do not follow its
// plane linearly (the triangles the quad is split into would decide them).
#pragma once
#include <cstdint>
#include <vector>

#include "model/PlaneObjectRecords.h"

namespace render3d {

// One plane of the object after carving. `whole`: nothing cuts it and it is drawn as it is
// (its own vertices, `triangles` empty). Otherwise `triangles` holds three vertices per
// triangle, wound as the plane is: the plane's own corners, the cut-outs' corners and the
// points where their outlines cross the plane's edges; texture coordinates (u, v) as drawing the
// plane interpolates them at that point; flag 0 on an edge along an outline (the plane's or a
// cut-out's), 1 on an inner edge (the flag stands on the edge's first vertex). The normal and
// every other property are the source plane's.
struct CarvedPlane {
  const Plane* source = nullptr;
  bool whole = true;
  std::vector<PlaneVertex> triangles;
};

struct CarvedPlaneObject {
  std::vector<CarvedPlane> planes;  // one per plane of the object, in order
  int32_t carvedPlanes = 0;         // planes not whole
};

// The object's planes with its cut-outs carved out. False (and `out` empty) when the object has
// no cut-outs or cannot be carved (see above): it is then drawn through the stencil.
bool CarvePlaneObject(const PlaneObject* po, CarvedPlaneObject* out);

}  // namespace render3d
