// Turning the planes of plane objects into triangles (and quads) before they join the scene:
// the GLU tessellator with its callbacks, and our own ear clipper and path splitter.
#include "building3d/Triangulation.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "model/Records.h"

namespace {

// One vertex handed to the tessellator: where it came from and a copy of it.
struct TessVertexRecord {
  Plane* plane;
  int32_t index;  // -1 marks a combined vertex
  PlaneVertex vertex;
};

// Tessellation state: one tessellation at a time.
Plane* gTessPlaneList = nullptr;
Plane* gTessPlaneTail = nullptr;  // last plane of gTessPlaneList, so appends stay O(1)
Plane* gTessSource = nullptr;     // the plane being tessellated
unsigned int gTessTriangleType = 0;
int32_t gPointCount = 0;
PlaneVertex gNewPoints[3];
uint8_t gTessEdgeFlag = 1;
uint8_t newPointFlag = 0;
int32_t gCombCount = 0;
uint8_t gStripTurn = 0;  // which of the two strip steps comes next

// Scale of the working copy the ear clipper projects into.
constexpr double kWorkingScale = 15.0;
// The most vertex reads the ear clipper's tests make in all before the rest is fanned: with at
// most kMaxEarClipVertices its cost stays near that many squared, whatever the outline.
constexpr int64_t kEarClipWork = int64_t{1} << 24;
// The most steps the check for an outline crossing itself takes before it gives up (and the
// outline is taken as crossing itself).
constexpr int64_t kCrossingWork = int64_t{1} << 22;

int16_t OutputFlag(int16_t inputFlag) { return inputFlag == kInternalEdgeMark ? kEdgeDiagonal : kEdgeOutline; }

// Appends `plane` after `*tail` in the list headed by `*head`.
void LinkPlane(Plane** head, Plane** tail, Plane* plane) {
  plane->next = nullptr;
  plane->prev = *tail;
  if (*tail)
    (*tail)->next = plane;
  else
    *head = plane;
  *tail = plane;
}

Plane* LastPlane(Plane* list) {
  while (list && list->next) list = list->next;
  return list;
}

// A new plane of `count` vertices copied from `vertices`, with the source's normal; null
// when memory is short.
Plane* NewPlaneLike(const Plane* source, const PlaneVertex* vertices, int32_t count) {
  Plane* plane = CreatePlaneWithRoom(count, source->normal[0], source->normal[1], source->normal[2]);
  if (plane) memcpy(plane->vertices, vertices, sizeof(PlaneVertex) * static_cast<size_t>(count));
  return plane;
}

// Axis the plane is most nearly perpendicular to: 0 x, 1 y, 2 z. The stored normal decides;
// without one, the polygon's own (Newell) normal.
int DominantAxis(const Plane* plane) {
  double n[3] = {plane->normal[0], plane->normal[1], plane->normal[2]};
  if (n[0] == 0 && n[1] == 0 && n[2] == 0) {
    const PlaneVertex* v = plane->vertices;
    for (int32_t i = 0; i < plane->vertexCount; ++i) {
      const PlaneVertex& a = v[i];
      const PlaneVertex& b = v[(i + 1) % plane->vertexCount];
      n[0] += (static_cast<double>(a.y) - b.y) * (static_cast<double>(a.z) + b.z);
      n[1] += (static_cast<double>(a.z) - b.z) * (static_cast<double>(a.x) + b.x);
      n[2] += (static_cast<double>(a.x) - b.x) * (static_cast<double>(a.y) + b.y);
    }
  }
  const double ax = std::fabs(n[0]), ay = std::fabs(n[1]), az = std::fabs(n[2]);
  if (ax > ay && ax > az) return 0;
  if (ay > ax && ay > az) return 1;
  return 2;
}

// The vertex in the working plane of `axis`, scaled; flag kept.
PlaneVertex Project(const PlaneVertex& v, int axis) {
  PlaneVertex p = v;
  const double s = kWorkingScale;
  if (axis == 0) {
    p.x = static_cast<float>(v.z * s);
    p.y = static_cast<float>(v.y * s);
  } else if (axis == 1) {
    p.x = static_cast<float>(v.x * s);
    p.y = static_cast<float>(v.z * s);
  } else {
    p.x = static_cast<float>(v.x * s);
    p.y = static_cast<float>(v.y * s);
  }
  p.z = 0;
  return p;
}

double Cross(const PlaneVertex& a, const PlaneVertex& b, const PlaneVertex& c) {
  return (static_cast<double>(b.x) - a.x) * (static_cast<double>(c.y) - a.y) -
         (static_cast<double>(b.y) - a.y) * (static_cast<double>(c.x) - a.x);
}

// Coordinates that cannot be triangulated (from a damaged design): such a plane is left out.
bool HasFiniteVertices(const Plane* plane) {
  for (int32_t i = 0; i < plane->vertexCount; ++i) {
    const PlaneVertex& v = plane->vertices[i];
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return false;
  }
  return true;
}

// The corner of a four-vertex plane at which it turns against its own winding (a concave
// quad, which could not be drawn as one convex piece), or -1 when there is none.
int ReflexCorner(const Plane* plane) {
  if (plane->vertexCount != 4) return -1;
  const int axis = DominantAxis(plane);
  PlaneVertex w[4];
  for (int i = 0; i < 4; ++i) w[i] = Project(plane->vertices[i], axis);
  double area = 0;
  for (int i = 0; i < 4; ++i)
    area += static_cast<double>(w[i].x) * w[(i + 1) % 4].y - static_cast<double>(w[(i + 1) % 4].x) * w[i].y;
  for (int r = 0; r < 4 && area != 0; ++r) {
    const double turn = Cross(w[(r + 3) % 4], w[r], w[(r + 1) % 4]);
    if (turn == 0 || (turn > 0) == (area > 0)) continue;
    return r;
  }
  return -1;
}

// The quad split at its reflex corner r: triangles (r, r+1, r+2) and (r+2, r+3, r), the
// diagonal r-(r+2) internal; each made is linked through `link`.
template <typename Link>
void SplitQuadAt(const Plane* plane, int r, Link&& link) {
  const PlaneVertex* v = plane->vertices;
  PlaneVertex first[3] = {v[r], v[(r + 1) % 4], v[(r + 2) % 4]};
  PlaneVertex second[3] = {v[(r + 2) % 4], v[(r + 3) % 4], v[r]};
  first[0].flag = OutputFlag(v[r].flag);
  first[1].flag = OutputFlag(v[(r + 1) % 4].flag);
  first[2].flag = kEdgeDiagonal;
  second[0].flag = OutputFlag(v[(r + 2) % 4].flag);
  second[1].flag = OutputFlag(v[(r + 3) % 4].flag);
  second[2].flag = kEdgeDiagonal;
  if (Plane* p = NewPlaneLike(plane, first, 3)) link(p);
  if (Plane* p = NewPlaneLike(plane, second, 3)) link(p);
}

// A plane of fewer than five vertices as output: flags turned into output flags; a concave
// quad split at its reflex corner.
void CopySmallPlane(const Plane* plane, Plane** head, Plane** tail) {
  const int32_t n = plane->vertexCount;
  if (n <= 0 || !plane->vertices) return;
  if (const int r = ReflexCorner(plane); r >= 0) {
    SplitQuadAt(plane, r, [&](Plane* p) { LinkPlane(head, tail, p); });
    return;
  }
  Plane* copy = NewPlaneLike(plane, plane->vertices, n);
  if (!copy) return;
  for (int32_t i = 0; i < n; ++i) copy->vertices[i].flag = OutputFlag(plane->vertices[i].flag);
  LinkPlane(head, tail, copy);
}

// Normal components as CreatePlane keeps them (the largest below 1 in magnitude).
void KeepNormalBelowOne(float normal[3]) {
  const float largest = std::fmax(std::fabs(normal[0]), std::fmax(std::fabs(normal[1]), std::fabs(normal[2])));
  if (largest >= 1.0f) {
    const float factor = 0.99f / largest;
    for (int k = 0; k < 3; ++k) normal[k] *= factor;
  }
}

// True when every plane has one to four finite vertices: CopySmallPlane would take each.
bool AllPlanesSmall(const PlaneObject* planeObject) {
  for (const Plane* plane = planeObject->planes; plane; plane = plane->next)
    if (!plane->vertices || plane->vertexCount <= 0 || plane->vertexCount >= 5 || !HasFiniteVertices(plane))
      return false;
  return true;
}

// What CopySmallPlane makes of each plane, made in the planes themselves: flags turned into
// output flags and the normal kept below 1 in place, a concave quad replaced by its two
// triangles. The planes come out as the copies would (same vertices, flags, normal, order)
// without allocating and freeing a copy of each.
void ConvertSmallPlanesInPlace(PlaneObject* planeObject) {
  Plane* head = nullptr;
  Plane* tail = nullptr;
  for (Plane* plane = planeObject->planes; plane;) {
    Plane* const next = plane->next;
    if (const int r = ReflexCorner(plane); r >= 0) {
      SplitQuadAt(plane, r, [&](Plane* p) { LinkPlane(&head, &tail, p); });
      DeletePlane(plane);
    } else {
      for (int32_t i = 0; i < plane->vertexCount; ++i) plane->vertices[i].flag = OutputFlag(plane->vertices[i].flag);
      KeepNormalBelowOne(plane->normal);
      LinkPlane(&head, &tail, plane);
    }
    plane = next;
  }
  planeObject->planes = head;
}

// A triangle without area whose edges are all internal adds nothing to the surface or its
// outline (the tessellator makes them where a vertex lies on a diagonal; the ear clipper's
// completion where the rest of a self-touching outline folds back on itself).
bool IsEmptyInternalTriangle(const PlaneVertex t[3]) {
  for (int k = 0; k < 3; ++k)
    if (t[k].flag != kEdgeDiagonal) return false;
  const double ux = t[1].x - t[0].x, uy = t[1].y - t[0].y, uz = t[1].z - t[0].z;
  const double wx = t[2].x - t[0].x, wy = t[2].y - t[0].y, wz = t[2].z - t[0].z;
  const double cx = uy * wz - uz * wy, cy = uz * wx - ux * wz, cz = ux * wy - uy * wx;
  const double cross = std::sqrt(cx * cx + cy * cy + cz * cz);
  const double scale = std::sqrt(ux * ux + uy * uy + uz * uz) * std::sqrt(wx * wx + wy * wy + wz * wz);
  return cross <= 1e-9 * scale;
}

void EmitTessTriangle() {
  if (!gTessSource || IsEmptyInternalTriangle(gNewPoints)) return;
  if (Plane* p = NewPlaneLike(gTessSource, gNewPoints, 3)) LinkPlane(&gTessPlaneList, &gTessPlaneTail, p);
}

template <typename F>
_GLUfuncptr GluCallback(F* f) {
  return reinterpret_cast<_GLUfuncptr>(f);
}

// Whether segments a-b and c-d cross at a point inside both (touching and overlapping do not
// count).
bool SegmentsCross(const PlaneVertex& a, const PlaneVertex& b, const PlaneVertex& c, const PlaneVertex& d) {
  const double d1 = Cross(a, b, c), d2 = Cross(a, b, d), d3 = Cross(c, d, a), d4 = Cross(c, d, b);
  return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

// Whether the outline may cross itself: two of its edges that are not neighbours cross, or
// finding out would take more than kCrossingWork steps. The edges are filed in a grid of
// about one cell per vertex by their extents and only edges sharing a cell are compared, so
// an outline of short edges (a sampled curve) is settled in about linear time. The
// tessellator is not given such an outline: it would make a new vertex at each crossing
// (which the ear clipper then takes over) and one that crosses itself at every edge keeps it
// busy for minutes.
bool MayCrossItself(const Plane* plane) {
  const int32_t n = plane->vertexCount;
  const int axis = DominantAxis(plane);
  std::vector<PlaneVertex> w(static_cast<size_t>(n));
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
  for (int32_t i = 0; i < n; ++i) {
    PlaneVertex& v = w[static_cast<size_t>(i)];
    v = Project(plane->vertices[i], axis);
    minX = i ? std::min<double>(minX, v.x) : v.x;
    maxX = i ? std::max<double>(maxX, v.x) : v.x;
    minY = i ? std::min<double>(minY, v.y) : v.y;
    maxY = i ? std::max<double>(maxY, v.y) : v.y;
  }
  const int32_t side = std::max<int32_t>(1, static_cast<int32_t>(std::sqrt(static_cast<double>(n))));
  const double cellW = maxX > minX ? (maxX - minX) / side : 1, cellH = maxY > minY ? (maxY - minY) / side : 1;
  auto cellOf = [&](double at, double low, double size) {
    return std::clamp(static_cast<int32_t>((at - low) / size), 0, side - 1);
  };
  std::vector<std::vector<int32_t>> cells(static_cast<size_t>(side) * static_cast<size_t>(side));
  int64_t work = 0;
  for (int32_t i = 0; i < n; ++i) {
    const PlaneVertex& a = w[static_cast<size_t>(i)];
    const PlaneVertex& b = w[static_cast<size_t>((i + 1) % n)];
    const int32_t x0 = cellOf(std::min(a.x, b.x), minX, cellW), x1 = cellOf(std::max(a.x, b.x), minX, cellW);
    const int32_t y0 = cellOf(std::min(a.y, b.y), minY, cellH), y1 = cellOf(std::max(a.y, b.y), minY, cellH);
    work += static_cast<int64_t>(x1 - x0 + 1) * (y1 - y0 + 1);
    if (work > kCrossingWork) return true;
    for (int32_t y = y0; y <= y1; ++y)
      for (int32_t x = x0; x <= x1; ++x) cells[static_cast<size_t>(y) * side + x].push_back(i);
  }
  for (const std::vector<int32_t>& cell : cells)
    for (size_t j = 0; j < cell.size(); ++j)
      for (size_t k = j + 1; k < cell.size(); ++k) {
        if (++work > kCrossingWork) return true;
        const int32_t e = cell[j], f = cell[k];
        if (f == e + 1 || (e == 0 && f == n - 1)) continue;  // neighbours share a vertex
        if (SegmentsCross(w[static_cast<size_t>(e)], w[static_cast<size_t>((e + 1) % n)], w[static_cast<size_t>(f)],
                          w[static_cast<size_t>((f + 1) % n)]))
          return true;
      }
  return false;
}

// Runs the tessellator over one plane of five or more vertices; the ear clipper takes it
// over when the tessellator asks to combine vertices, or at once when the outline may cross
// itself.
void TessellatePlane(GLUtesselator* tess, Plane* plane, std::vector<TessVertexRecord>& records) {
  const int32_t n = plane->vertexCount;
  if (MayCrossItself(plane)) {
    gTessPlaneList = TriangulatePlane(plane, gTessPlaneList);
    gTessPlaneTail = LastPlane(gTessPlaneTail ? gTessPlaneTail : gTessPlaneList);
    return;
  }
  records.resize(static_cast<size_t>(n));
  gTessSource = plane;
  newPointFlag = 0;
  Plane* const tailBefore = gTessPlaneTail;
  gluTessBeginPolygon(tess, nullptr);
  gluTessBeginContour(tess);
  for (int32_t i = 0; i < n; ++i) {
    TessVertexRecord& r = records[static_cast<size_t>(i)];
    r.plane = plane;
    r.index = i;
    r.vertex = plane->vertices[i];
    GLdouble coords[3] = {plane->vertices[i].x, plane->vertices[i].y, plane->vertices[i].z};
    gluTessVertex(tess, coords, &r);
  }
  gluTessEndContour(tess);
  gluTessEndPolygon(tess);
  gCombCount = 0;
  gTessSource = nullptr;
  if (newPointFlag) {
    // Drop anything the tessellator produced for this plane before it asked to combine.
    Plane* extra = tailBefore ? tailBefore->next : gTessPlaneList;
    if (tailBefore) tailBefore->next = nullptr; else gTessPlaneList = nullptr;
    gTessPlaneTail = tailBefore;
    DeletePlaneList(extra);
    gTessPlaneList = TriangulatePlane(plane, gTessPlaneList);
    gTessPlaneTail = LastPlane(gTessPlaneTail ? gTessPlaneTail : gTessPlaneList);
    newPointFlag = 0;
  }
}

// Gives the plane object the new list, or keeps its planes when nothing was made.
void ReplacePlanes(PlaneObject* planeObject, Plane* list) {
  if (!list) return;
  DeletePlaneList(planeObject->planes);
  planeObject->planes = list;
}

}  // namespace

// ---- Tessellator callbacks ----

void TessBeginCallback(unsigned int type) {
  gTessTriangleType = type;
  gPointCount = 0;
  gCombCount = 0;
  gStripTurn = 0;
}

void TessEndCallback() {
  gTessTriangleType = 0;
  gPointCount = 0;
  gCombCount = 0;
}

void TessEdgeCallback(unsigned char flag) { gTessEdgeFlag = flag; }

void TessCombineCallback(double[3], void*[4], float[4], void** outData) {
  newPointFlag = 1;
  ++gCombCount;
  if (outData) *outData = nullptr;
}

void TessErrorCallback(unsigned int) {}

void TessVertexCallback(void* data) {
  if (newPointFlag || !data) return;
  const auto* record = static_cast<const TessVertexRecord*>(data);
  PlaneVertex v = record->vertex;
  // The edge that starts here is outline when the tessellator says so and the source did not
  // mark it internal.
  v.flag = gTessEdgeFlag && v.flag != kInternalEdgeMark ? kEdgeOutline : kEdgeDiagonal;
  switch (gTessTriangleType) {
    case GL_TRIANGLES:
      gNewPoints[gPointCount++] = v;
      if (gPointCount == 3) {
        EmitTessTriangle();
        gPointCount = 0;
      }
      break;
    case GL_TRIANGLE_STRIP:
      if (gPointCount < 3) {
        gNewPoints[gPointCount++] = v;
        if (gPointCount == 3) EmitTessTriangle();
        break;
      }
      if (gStripTurn == 0)
        gNewPoints[0] = gNewPoints[2];
      else
        gNewPoints[1] = gNewPoints[2];
      gNewPoints[2] = v;
      gStripTurn ^= 1;
      EmitTessTriangle();
      break;
    case GL_TRIANGLE_FAN:
      if (gPointCount < 3) {
        gNewPoints[gPointCount++] = v;
        if (gPointCount == 3) EmitTessTriangle();
        break;
      }
      gNewPoints[1] = gNewPoints[2];
      gNewPoints[2] = v;
      EmitTessTriangle();
      break;
    default:
      break;
  }
}

// ---- Plane objects ----

namespace {

GLUtesselator* NewPlaneTessellator() {
  GLUtesselator* tess = gluNewTess();
  if (!tess) return nullptr;
  gluTessCallback(tess, GLU_TESS_VERTEX, GluCallback(TessVertexCallback));
  gluTessCallback(tess, GLU_TESS_BEGIN, GluCallback(TessBeginCallback));
  gluTessCallback(tess, GLU_TESS_END, GluCallback(TessEndCallback));
  gluTessCallback(tess, GLU_TESS_COMBINE, GluCallback(TessCombineCallback));
  gluTessCallback(tess, GLU_TESS_ERROR, GluCallback(TessErrorCallback));
  gluTessCallback(tess, GLU_TESS_EDGE_FLAG, GluCallback(TessEdgeCallback));
  gluTessProperty(tess, GLU_TESS_BOUNDARY_ONLY, 0);
  return tess;
}

}  // namespace

void R3DTriangulatePlaneObject(PlaneObject* planeObject) {
  if (!planeObject) return;
  // Planes of fewer than five points are copied as they are; the tessellator is made only
  // for an object that has a larger plane (most parts have none).
  if (AllPlanesSmall(planeObject)) {
    ConvertSmallPlanesInPlace(planeObject);
    return;
  }
  GLUtesselator* tess = nullptr;
  gTessPlaneList = gTessPlaneTail = nullptr;
  std::vector<TessVertexRecord> records;
  for (Plane* plane = planeObject->planes; plane; plane = plane->next) {
    if (!plane->vertices || plane->vertexCount <= 0 || !HasFiniteVertices(plane)) continue;
    if (plane->vertexCount < 5) {
      CopySmallPlane(plane, &gTessPlaneList, &gTessPlaneTail);
      continue;
    }
    if (!tess) tess = NewPlaneTessellator();
    if (!tess) {  // no tessellator: our own routine for everything
      DeletePlaneList(gTessPlaneList);
      gTessPlaneList = gTessPlaneTail = nullptr;
      D3DTriangulatePlaneObject(planeObject);
      return;
    }
    TessellatePlane(tess, plane, records);
  }
  ReplacePlanes(planeObject, gTessPlaneList);
  gTessPlaneList = gTessPlaneTail = nullptr;
  if (tess) gluDeleteTess(tess);
}

void R3DTriangulatePlaneObjects(PlaneObject* first) {
  for (PlaneObject* p = first; p; p = p->next) R3DTriangulatePlaneObject(p);
}

void D3DTriangulatePlaneObject(PlaneObject* planeObject) {
  if (!planeObject) return;
  Plane* list = nullptr;
  for (Plane* plane = planeObject->planes; plane; plane = plane->next)
    list = planeObject->partType == kObjPathSurface ? TriangulatePath(plane, list)
                                                    : TriangulatePlane(plane, list);
  ReplacePlanes(planeObject, list);
}

// ---- Our own routines ----

Plane* TriangulatePlane(Plane* plane, Plane* list) {
  if (!plane || !plane->vertices || plane->vertexCount <= 0 || !HasFiniteVertices(plane)) return list;
  Plane* tail = LastPlane(list);
  const int32_t n = plane->vertexCount;
  if (n < 5) {
    CopySmallPlane(plane, &list, &tail);
    return list;
  }
  const PlaneVertex* source = plane->vertices;
  const int axis = DominantAxis(plane);
  // The ring the clipper works on: every vertex, or an even thinning of a larger outline (only
  // an outline the tessellator could not take, one that crosses or touches itself, comes here).
  const int32_t stride = (n + kMaxEarClipVertices - 1) / kMaxEarClipVertices;
  std::vector<int32_t> ring;
  ring.reserve(static_cast<size_t>(n / stride + 1));
  for (int32_t i = 0; i < n; i += stride) ring.push_back(i);
  const int32_t r = static_cast<int32_t>(ring.size());
  if (r < 3) return list;
  std::vector<PlaneVertex> work(static_cast<size_t>(r));
  for (int32_t k = 0; k < r; ++k) work[static_cast<size_t>(k)] = Project(source[ring[static_cast<size_t>(k)]], axis);

  // Edge a-b of a triangle (ring positions) is outline when a and b are neighbours on the
  // ring and neither is marked internal: a marked vertex makes both of its edges diagonals.
  auto edgeFlag = [&](int32_t a, int32_t b) -> int16_t {
    const bool neighbours = (a + 1) % r == b || (b + 1) % r == a;
    const int16_t flagA = source[ring[static_cast<size_t>(a)]].flag, flagB = source[ring[static_cast<size_t>(b)]].flag;
    if (!neighbours || flagA == kInternalEdgeMark || flagB == kInternalEdgeMark) return kEdgeDiagonal;
    return kEdgeOutline;
  };
  auto emit = [&](int32_t a, int32_t b, int32_t c) {
    PlaneVertex t[3] = {source[ring[static_cast<size_t>(a)]], source[ring[static_cast<size_t>(b)]],
                        source[ring[static_cast<size_t>(c)]]};
    t[0].flag = edgeFlag(a, b);
    t[1].flag = edgeFlag(b, c);
    t[2].flag = edgeFlag(c, a);
    if (IsEmptyInternalTriangle(t)) return;
    if (Plane* p = NewPlaneLike(plane, t, 3)) LinkPlane(&list, &tail, p);
  };

  // Ears are tested against what is left of the polygon, so that no ear overlaps one
  // already cut. Each test reads every vertex left: the tests stop once they have read
  // kEarClipWork vertices in all (an outline that crosses itself can fail test after test),
  // and what is left is completed as below.
  std::vector<int32_t> left(static_cast<size_t>(r));
  for (int32_t i = 0; i < r; ++i) left[static_cast<size_t>(i)] = i;
  std::vector<PlaneVertex> remaining(work);
  size_t position = 1;
  size_t triedWithoutEar = 0;
  int64_t workDone = 0;
  while (left.size() > 3 && triedWithoutEar < left.size() && workDone < kEarClipWork) {
    const size_t m = left.size();
    workDone += static_cast<int64_t>(m);
    const int32_t i0 = left[(position + m - 1) % m], i1 = left[position % m], i2 = left[(position + 1) % m];
    const PlaneVertex triangle[3] = {work[static_cast<size_t>(i0)], work[static_cast<size_t>(i1)],
                                     work[static_cast<size_t>(i2)]};
    if (TriangleInsideRegion(triangle, remaining.data(), static_cast<int32_t>(m))) {
      emit(i0, i1, i2);
      left.erase(left.begin() + static_cast<std::ptrdiff_t>(position % m));
      remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(position % m));
      position = position % m;
      if (position >= left.size()) position = 0;
      triedWithoutEar = 0;
    } else {
      position = (position + 1) % m;
      ++triedWithoutEar;
    }
  }
  // The last triangle keeps the walk's order: it starts at the corner before the one the walk
  // stands on. A remainder without a clean ear is completed as a fan so that the whole
  // polygon is covered.
  if (left.size() == 3) {
    const size_t at = position % 3;
    emit(left[(at + 2) % 3], left[at], left[(at + 1) % 3]);
  } else {
    for (size_t k = 1; k + 1 < left.size(); ++k) emit(left[0], left[k], left[k + 1]);
  }
  return list;
}

Plane* TriangulatePath(Plane* plane, Plane* list) {
  if (!plane || !plane->vertices || plane->vertexCount <= 0) return list;
  Plane* tail = LastPlane(list);
  const int32_t n = plane->vertexCount;
  if (n < 5) {
    CopySmallPlane(plane, &list, &tail);
    return list;
  }
  const PlaneVertex* v = plane->vertices;
  for (int32_t i = 0; i < n / 2 - 1; ++i) {
    PlaneVertex quad[4] = {v[i], v[i + 1], v[n - 2 - i], v[n - 1 - i]};
    quad[0].flag = kEdgeOutline;
    quad[1].flag = kEdgeDiagonal;
    quad[2].flag = kEdgeOutline;
    quad[3].flag = kEdgeDiagonal;
    if (Plane* p = NewPlaneLike(plane, quad, 4)) LinkPlane(&list, &tail, p);
  }
  return list;
}

int TriangleInsideRegion(const PlaneVertex* triangle, const PlaneVertex* polygon, int32_t count) {
  if (!triangle || !polygon || count < 3) return 0;
  for (int32_t i = 0; i < count; ++i)
    if (LineIntersectTriangle(&polygon[i], &polygon[(i + 1) % count], triangle)) return 0;

  const PlaneVertex& a = triangle[0];
  const PlaneVertex& b = triangle[1];
  const PlaneVertex& c = triangle[2];
  PlaneVertex probe = a;
  probe.x = a.x + (c.x - a.x) / 3.0f;
  probe.y = a.y + (c.y - a.y) / 3.0f;
  if (!IsPointInsidePolygon(&probe, polygon, count)) return 0;
  PlaneVertex probe2 = b;
  probe2.x = b.x + (probe.x - b.x) / 1.5f;
  probe2.y = b.y + (probe.y - b.y) / 1.5f;
  if (!IsPointInsidePolygon(&probe2, polygon, count)) return 0;

  auto isCorner = [&](const PlaneVertex& p) {
    for (int k = 0; k < 3; ++k)
      if (p.x == triangle[k].x && p.y == triangle[k].y) return true;
    return false;
  };
  for (int32_t i = 0; i < count; ++i)
    if (!isCorner(polygon[i]) && IsPointInsidePolygon(&polygon[i], triangle, 3)) return 0;
  return 1;
}

int LineIntersectTriangle(const PlaneVertex* p1, const PlaneVertex* p2, const PlaneVertex* triangle) {
  if (!p1 || !p2 || !triangle) return 0;
  const PlaneVertex& e1 = triangle[0];
  const PlaneVertex& e2 = triangle[2];
  auto same = [](const PlaneVertex& a, const PlaneVertex& b) { return a.x == b.x && a.y == b.y; };
  if (same(*p1, *p2) || same(*p1, e1) || same(*p1, e2) || same(*p2, e1) || same(*p2, e2)) return 0;
  FloatRect segment, edge;
  GetLineBounds(p1, p2, &segment);
  GetLineBounds(&e1, &e2, &edge);
  if (segment.floatRight < edge.floatLeft || edge.floatRight < segment.floatLeft ||
      segment.floatBottom < edge.floatTop || edge.floatBottom < segment.floatTop)
    return 0;
  // Intersection of the two lines (parallel lines never cross).
  const double dx1 = static_cast<double>(p2->x) - p1->x, dy1 = static_cast<double>(p2->y) - p1->y;
  const double dx2 = static_cast<double>(e2.x) - e1.x, dy2 = static_cast<double>(e2.y) - e1.y;
  const double denominator = dx1 * dy2 - dy1 * dx2;
  if (denominator == 0) return 0;
  const double t = ((static_cast<double>(e1.x) - p1->x) * dy2 - (static_cast<double>(e1.y) - p1->y) * dx2) /
                   denominator;
  const double x = p1->x + t * dx1, y = p1->y + t * dy1;
  auto strictlyInside = [x, y](const FloatRect& r) {
    return x > r.floatLeft && x < r.floatRight && y > r.floatTop && y < r.floatBottom;
  };
  return strictlyInside(segment) && strictlyInside(edge) ? 1 : 0;
}

namespace {
// Crossing-number parity of (px, py) against count vertices whose x and y `at` gives.
template <class At>
int CrossingParity(double px, double py, int32_t count, At at) {
  int crossings = 0;
  for (int32_t i = 0; i < count; ++i) {
    const auto [ax, ay] = at(i);
    const auto [bx, by] = at((i + 1) % count);
    if (ay == by) continue;
    const double low = std::min(ay, by), high = std::max(ay, by);
    if (!(low < py && py <= high)) continue;
    if (std::max(ax, bx) < px) continue;
    if (ax == bx) {
      ++crossings;
      continue;
    }
    const double crossX = ax + (py - ay) * (static_cast<double>(bx) - ax) / (static_cast<double>(by) - ay);
    if (crossX >= px) ++crossings;
  }
  return crossings % 2;
}
}  // namespace

int IsPointInsidePolygon(const PlaneVertex* point, const PlaneVertex* polygon, int32_t count) {
  if (!point || !polygon || count < 3) return 0;
  return CrossingParity(point->x, point->y, count,
                        [polygon](int32_t i) { return std::pair<float, float>{polygon[i].x, polygon[i].y}; });
}

int16_t IsPointInsidePolygon(const float point[2], const float* vertices, int32_t count) {
  if (!point || !vertices || count < 3) return 0;
  constexpr int32_t kStride = 6;  // x, y, z, edge flag, u, v
  return static_cast<int16_t>(CrossingParity(point[0], point[1], count, [vertices](int32_t i) {
    return std::pair<float, float>{vertices[i * kStride], vertices[i * kStride + 1]};
  }));
}

void GetLineBounds(const PlaneVertex* p1, const PlaneVertex* p2, FloatRect* rect) {
  if (!p1 || !p2 || !rect) return;
  rect->floatTop = std::min(p1->y, p2->y);
  rect->floatBottom = std::max(p1->y, p2->y);
  rect->floatLeft = std::min(p1->x, p2->x);
  rect->floatRight = std::max(p1->x, p2->x);
  if (rect->floatRight == rect->floatLeft) {
    rect->floatLeft -= 0.5f;
    rect->floatRight += 0.5f;
  }
  if (rect->floatBottom == rect->floatTop) {
    rect->floatTop -= 0.5f;
    rect->floatBottom += 0.5f;
  }
}
