// The coordinate plane a polygon lies closest to, for projecting textures onto it.
#pragma once
#include <cstdint>

#include "model/PlanarPolygons.h"

constexpr int16_t kPlaneXY = 1, kPlaneXZ = 2, kPlaneZY = 3;

// By the polygon's extents: 2 (x/z, level) when y is the smallest, else 1 (x/y) when z is,
// else 3 (z/y) when x is; 1 for a null array or no vertices.
int16_t DetermineWorkingPlane(const PlanarPolyPoint* vertices, int32_t count);
