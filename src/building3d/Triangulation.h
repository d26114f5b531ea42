// Turning the planes of plane objects into triangles (and quads) before they join the scene:
// the GLU tessellator with its callbacks, and our own ear clipper and path splitter.
//
// Vertex flags mark edges (the flag stands on the edge's first vertex). Handed in: 10000 is
// an internal edge, anything else an outline edge. Produced here: 1 internal, 0 outline.
#pragma once
#include <cstdint>

#include "building3d/PlaneObjects.h"
#include "model/Types.h"

// Input flag of an internal edge, and the output flags.
constexpr int16_t kInternalEdgeMark = 10000;
constexpr int16_t kEdgeDiagonal = 1;
constexpr int16_t kEdgeOutline = 0;

// Replaces every plane of five or more vertices by the tessellator's triangles (our ear
// clipper when the tessellator would have to add a vertex); smaller planes are copied with
// their flags turned into output flags (a concave quad is split at its reflex corner).
// A plane object whose new list stays empty keeps its planes.
void R3DTriangulatePlaneObject(PlaneObject* planeObject);
void R3DTriangulatePlaneObjects(PlaneObject* first);
// The same with our own routines only: path surfaces (type 23) by TriangulatePath, the
// rest by TriangulatePlane.
void D3DTriangulatePlaneObject(PlaneObject* planeObject);

// The most vertices the ear clipper clips: a larger outline (one the tessellator could not
// take, crossing or touching itself) is thinned evenly to this many first.
constexpr int32_t kMaxEarClipVertices = 1024;

// Ear clipping of one plane; the triangles (source normal) are appended to `list`, whose
// head is returned. The plane itself is left as it is; at most kMaxEarClipVertices - 2
// triangles come of it.
Plane* TriangulatePlane(Plane* plane, Plane* list);
// A path outline (first half forward, second half back) as n / 2 - 1 quads with the side
// edges outline and the rungs internal.
Plane* TriangulatePath(Plane* plane, Plane* list);

// 1 when the triangle is an ear of the polygon (x and y are read): its closing edge (vertex
// 0 to 2) crosses no polygon edge, it lies inside, and no other polygon vertex lies in it.
int TriangleInsideRegion(const PlaneVertex* triangle, const PlaneVertex* polygon, int32_t count);
// 1 when the segment p1-p2 crosses the triangle's closing edge (vertex 0 to vertex 2) inside
// both of their extents; shared ends never cross.
int LineIntersectTriangle(const PlaneVertex* p1, const PlaneVertex* p2, const PlaneVertex* triangle);
// Crossing-number test in x and y: a point on a lower horizontal boundary is outside, on an
// upper one inside.
int IsPointInsidePolygon(const PlaneVertex* point, const PlaneVertex* polygon, int32_t count);
// The same for a point given as (x, y) and vertices of six floats each, x and y first.
int16_t IsPointInsidePolygon(const float point[2], const float* vertices, int32_t count);
// Bounding box of a segment; a zero width or height is widened by 0.5 on each side.
void GetLineBounds(const PlaneVertex* p1, const PlaneVertex* p2, FloatRect* rect);

// GLU tessellator callbacks (types as GLU declares them: GLenum, GLboolean, GLdouble, GLfloat).
void TessBeginCallback(unsigned int type);
void TessEndCallback();
void TessVertexCallback(void* record);
void TessEdgeCallback(unsigned char flag);
void TessCombineCallback(double coords[3], void* vertexData[4], float weight[4], void** outData);
void TessErrorCallback(unsigned int error);
