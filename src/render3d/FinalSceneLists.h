// The full-quality scene kept from one anti-aliased frame to the next: each plan object's plane
// objects sorted into the opaque, floor and transparent passes and drawn (shaded, faded) into
// display lists once, compiled again only when that object is rebuilt or its drawing inputs
// change (materials, colours, the light, the render settings). Every pass of a frame calls the
// lists in scene order; what faces the camera (plants, photos) and the holes of the floors,
// chosen by the eye, are drawn afresh in each pass.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct DocState;
struct Objex;
struct PlaneObject;

namespace render3d {
// One pass of the full-quality walk of gGLPlaneObjects (RenderGLPlaneObjects' picture), from
// the kept lists. The first pass of a frame (`newFrame`) looks for what changed since the last
// frame; the others draw what it found. Escape is looked for as often as the walk looks for it;
// false when it stopped the pass.
bool DrawFinalScene(DocState* ds, bool newFrame);

// The faces 0..count-1 in the order a list draws them so that each texture is bound once:
// untextured faces (name 0) first, then each texture in the order of its first use, the scene's
// order kept within each group.
std::vector<size_t> FacesGroupedByTexture(size_t count, const std::function<uint32_t(size_t)>& textureOf);
// The object's lists go (its plane objects are rebuilt or deleted); deleted when next drawn.
void DropFinalLists(const Objex* object);
void DropAllFinalLists();
// Deletes every kept list now (the context is current and about to go).
void ReleaseFinalLists();
// Whether the final frame draws the object's cut-outs carved out of its planes (true) or
// through the stencil: carved only where the carving covers exactly the pixels the stencil
// leaves (no cut-out corner on the face's edges or another cut-out's), in filled modes, and not
// for curved strips or grid faces.
bool DrawsCarvedInFinalFrame(const PlaneObject* po, int16_t mode);
// How many lists have been compiled since the program started (each holds the shaded drawing
// of one plan object's plane objects in one pass).
int64_t FinalListCompilations();
}  // namespace render3d
