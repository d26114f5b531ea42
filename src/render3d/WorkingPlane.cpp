// The working plane of a polygon from its extents.
#include "render3d/WorkingPlane.h"

#include <algorithm>

int16_t DetermineWorkingPlane(const PlanarPolyPoint* vertices, int32_t count) {
  if (!vertices || count < 1) return kPlaneXY;
  float minX = 32000, minY = 32000, minZ = 32000, maxX = -32000, maxY = -32000, maxZ = -32000;
  for (int32_t i = 0; i < count; ++i) {
    const PlanarPolyPoint& v = vertices[i];
    minX = std::min(minX, v.x), maxX = std::max(maxX, v.x);
    minY = std::min(minY, v.y), maxY = std::max(maxY, v.y);
    minZ = std::min(minZ, v.z), maxZ = std::max(maxZ, v.z);
  }
  const float x = maxX - minX, y = maxY - minY, z = maxZ - minZ;
  if (x >= y && z >= y) return kPlaneXZ;
  if (x >= z && y >= z) return kPlaneXY;
  if (z >= x && y >= x) return kPlaneZY;
  return kPlaneXZ;
}
