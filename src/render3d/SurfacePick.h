// The 3D pick: which surface of the real-time scene lies under a point of the 3D view. An
// OpenGL selection pass over the real-time scene; the plane objects answer with the names the
// scene walker gives them (render3d/PlaneObjectLists.h), the lot with name 1.
#pragma once
#include <cstddef>
#include <cstdint>

#include "model/Types.h"

struct PlaneObject;

// Entries of the selection buffer of one pick.
constexpr size_t kPickBufferEntries = 10000;
// The name the lot is drawn under (loaded by RTSetViewpoint before the plane objects).
constexpr uint32_t kPickNameLot = 1;

enum class PickResult : uint8_t {
  kFailed,      // no document, no DocState or no buffer: nothing may change
  kBackground,  // nothing under the point
  kLot,
  kNothing,     // a hit on name 0, or on a plane object that has left the scene
  kSurface,
};

struct SurfacePick {
  PickResult result = PickResult::kFailed;
  PlaneObject* surface = nullptr;  // set for kSurface
};

// The hit records of a selection buffer (count, minimum depth, maximum depth, names): the
// first name of the record with the smallest minimum depth, the earlier record on equal
// depths. False when no record names anything. Records that would run past `entries` are
// not read (a negative count, the overflow answer of glRenderMode, reads what fits).
bool NearestHitName(const uint32_t* buffer, size_t entries, int32_t hits, uint32_t* name);

// Picks the surface under the view point (view coordinates, y downwards) with the current
// document's camera. The pick's switches and the real-time detail level are put back before
// it returns. Needs the 3D view's OpenGL context to be current.
SurfacePick PickSurfaceAt(POINT point);
