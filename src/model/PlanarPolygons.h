// Flat vertex arrays of point rings, with curved segments sampled and every vertex
// given texture coordinates.
#pragma once
#include <cstdint>

struct Poinz;

struct PlanarPolyPoint {
  float x, y, z;
  int16_t flag;  // caller's mark
  float u, v;
};

// Appends one vertex, growing `size` (bytes) by one vertex and the array (malloc'd, or null)
// as needed.
// 1 on success; 0 when an argument is absent or the array cannot grow (the array is lost).
int StorePolyPoint(PlanarPolyPoint** array, float x, float y, float z, int32_t* size, int16_t flag,
                   float u, float v);
// Appends the vertices of the segment first -> second (second excluded).
void AppendObjectSegment(PlanarPolyPoint** array, const Poinz* first, const Poinz* second,
                         int32_t* size, int32_t* added);
// The closed ring from `first`; count in = points of the ring, out = vertices. Null when
// count < 3 or memory runs out. Free with DeletePlanarPolygon.
PlanarPolyPoint* CreatePlanarPolygon(const Poinz* first, int32_t* count);
PlanarPolyPoint* CreatePlanarPolygonReverseOrder(const Poinz* first, int32_t* count);
// Appends one vertex, projected into the current view when `project` is set (u, v zero).
PlanarPolyPoint* StorePoint(PlanarPolyPoint** array, float x, float y, float z, int32_t* size,
                            uint8_t project, int16_t flag);
void DeletePlanarPolygon(PlanarPolyPoint* array);
