// Drawing the trims of openings and skylights (part types 1 to 5): their faces carry no texture
// coordinates and are mapped from their positions at the repeat size of the trim's material
// slot on the door, window or skylight.
#pragma once
#include <cstdint>

#include "render3d/RenderPlaneObject.h"

struct PlaneObject;

// The repeat size of the trim face's texture and whether it maps on the level plane, as the
// real-time view reads it: a door's or window's slot (1 slot A, 2 slot B, 3 the lining's slot)
// gives its scale pair; a skylight's top (1, 4) or bottom (2, 5) curb slot gives its pair and
// its rings (1, 2) map level; anything else 1 x 1. The final-quality drawing first stores the
// current size of a palette-linked material in the door's or window's slot, when it draws the
// face textured.
GeneratedTextureSize TrimTextureSize(const PlaneObject* object);

void RenderGLTrimPlaneObject(PlaneObject* object, int16_t includeExcavation);
void RTRenderGLTrimPlaneObject(PlaneObject* object, int16_t includeExcavation);
