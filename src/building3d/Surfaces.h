// The surfaces of the 3D model as planes of the current plane object: a planar ring (cap),
// a four-point patch between two rings (one quad when straight, strips of a bicubic Hermite
// surface when curved), one textured quad, and the height of a wall at a segment end.
// The patch mathematics itself lives with the model (model/HermitePatch.h).
#pragma once
#include <cstdint>

#include "model/HermitePatch.h"
#include "model/Types.h"

struct Objex;
struct Poinz;

// One planar polygon from `count` points of the ring at `firstPoint` (curves flattened),
// facing the ring's winding when `front` is set and the other way when not.
void RenderPlanarSurface(Poinz* firstPoint, int32_t count, const RGBColor* colour, int front, Objex* object);
// The patch between consecutive points a and c of the lower ring and the same points b and d
// of the upper ring (s runs from a to c, t from the lower ring to the upper).
void RenderBicubicSurface(Poinz* a, Poinz* b, Poinz* c, Poinz* d, int16_t sSteps, int16_t tSteps,
                          int16_t linked, const RGBColor* colour, Objex* object);
// One quad p0, p1, p2, p3 (x, y, z each) with texture u from the path lengths and v 1 at p0
// and p3, 0 at p1 and p2, added to the current plane object.
void RenderMeshPlane(const float p0[3], const float p1[3], const float p2[3], const float p3[3],
                     float ringLength, float ringLength2, Objex* object, float uStart, float uStart2,
                     float uEnd, float uEnd2);
// Wall height in screen units at the start (`end` 1) or the end (anything else) of the
// segment that starts at `point`.
float GetWallHeight(Poinz* point, int16_t end);
