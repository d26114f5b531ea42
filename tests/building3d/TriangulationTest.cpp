// Triangulation: small planes kept with output flags, the tessellator's triangles and edge
// flags, the ear clipper and its fallback role, path strips, and the geometric tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "SceneTestSupport.h"
#include "building3d/Triangulation.h"

namespace {

using Triangulation = SceneTest;

PlaneObject* ObjectWith(Plane* plane, int16_t partType = 0) {
  PlaneObject* po = CreatePlaneObject();
  po->partType = partType;
  po->planes = plane;
  return po;
}

double TotalArea(const Plane* list) {
  double sum = 0;
  for (; list; list = list->next) sum += std::fabs(AreaXY(list));
  return sum;
}

bool InsideL(double x, double y) {
  return (x > 0 && x < 20 && y > 0 && y < 10) || (x > 0 && x < 10 && y > 0 && y < 20);
}

void ExpectTrianglesTileTheL(const Plane* list) {
  EXPECT_NEAR(TotalArea(list), 300.0, 1e-3);
  for (const Plane* p = list; p; p = p->next) {
    ASSERT_EQ(p->vertexCount, 3);
    const double cx = (p->vertices[0].x + p->vertices[1].x + p->vertices[2].x) / 3.0;
    const double cy = (p->vertices[0].y + p->vertices[1].y + p->vertices[2].y) / 3.0;
    EXPECT_TRUE(InsideL(cx, cy)) << cx << ", " << cy;
  }
}

Plane* LPlane() { return FlatPlane({{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}}); }

// Distinct edges of the given flag, as unordered position pairs.
std::set<std::pair<std::pair<float, float>, std::pair<float, float>>> EdgesFlagged(const Plane* list, int16_t flag) {
  std::set<std::pair<std::pair<float, float>, std::pair<float, float>>> edges;
  for (const Plane* p = list; p; p = p->next)
    for (int32_t i = 0; i < p->vertexCount; ++i) {
      if (p->vertices[i].flag != flag) continue;
      const PlaneVertex& a = p->vertices[i];
      const PlaneVertex& b = p->vertices[(i + 1) % p->vertexCount];
      auto pa = std::make_pair(a.x, a.y), pb = std::make_pair(b.x, b.y);
      edges.insert(pa < pb ? std::make_pair(pa, pb) : std::make_pair(pb, pa));
    }
  return edges;
}

TEST_F(Triangulation, AQuadStaysWholeWithOutputFlags) {
  PlaneObject* po = ObjectWith(FlatPlane({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {10000, 0, 5, 10000}));
  R3DTriangulatePlaneObject(po);
  ASSERT_EQ(CountPlanes(po->planes), 1);
  ASSERT_EQ(po->planes->vertexCount, 4);
  EXPECT_EQ(po->planes->vertices[0].flag, 1);
  EXPECT_EQ(po->planes->vertices[1].flag, 0);
  EXPECT_EQ(po->planes->vertices[2].flag, 0);
  EXPECT_EQ(po->planes->vertices[3].flag, 1);
  EXPECT_FLOAT_EQ(po->planes->normal[2], 0.5f);
  DeletePlaneObject(po);
}

TEST_F(Triangulation, AConcaveQuadIsSplitAtItsReflexCorner) {
  // The arrowhead (0,0), (10,5), (0,10), (3,5): reflex at (3,5).
  PlaneObject* po = ObjectWith(FlatPlane({{0, 0}, {10, 5}, {0, 10}, {3, 5}}, {0, 10000, 0, 0}));
  R3DTriangulatePlaneObject(po);
  ASSERT_EQ(CountPlanes(po->planes), 2);
  EXPECT_NEAR(TotalArea(po->planes), 35.0, 1e-4);
  auto diagonals = EdgesFlagged(po->planes, 1);
  // The split diagonal (3,5)-(10,5) and the edge marked internal.
  EXPECT_EQ(diagonals.size(), 2u);
  EXPECT_TRUE(diagonals.count({{3, 5}, {10, 5}}));
  DeletePlaneObject(po);
}

// Which edge of which triangle of a split concave quad comes out hidden: for the reflex corner
// at each index and the input mark on each vertex, the two triangles are checked by their
// corners and each edge by its ends, through every road a small plane takes.
TEST_F(Triangulation, ASplitQuadHidesTheDiagonalAndTheMarkedEdgeInTheirTriangles) {
  // The arrowhead with its reflex corner (3,5) last; rotated so the corner stands at index r.
  const std::array<std::pair<float, float>, 4> arrow = {{{0, 0}, {10, 5}, {0, 10}, {3, 5}}};
  using Point = std::pair<float, float>;
  const struct {
    const char* road;
    bool withLargePlane;
    void (*run)(PlaneObject*);
  } roads[] = {
      {"in place", false, R3DTriangulatePlaneObject},
      {"copied beside a large plane", true, R3DTriangulatePlaneObject},
      {"own routines", false, D3DTriangulatePlaneObject},
  };
  for (const auto& road : roads)
    for (int r = 0; r < 4; ++r)
      for (int16_t markValue : {kInternalEdgeMark, int16_t(0), int16_t(7)})
        for (int marked = 0; marked < 4; ++marked) {
          SCOPED_TRACE(::testing::Message() << road.road << ", reflex corner at " << r << ", flag "
                                            << markValue << " on vertex " << marked);
          std::array<Point, 4> v;
          for (int i = 0; i < 4; ++i) v[(r + 1 + i) % 4] = arrow[i];
          std::array<int16_t, 4> flags = {0, 0, 0, 0};
          flags[marked] = markValue;
          Plane* quad = FlatPlane({v[0], v[1], v[2], v[3]}, {flags[0], flags[1], flags[2], flags[3]});
          if (road.withLargePlane) quad->next = FlatPlane({{50, 0}, {60, 0}, {63, 8}, {55, 13}, {47, 8}});
          PlaneObject* po = ObjectWith(quad);
          road.run(po);
          const Plane* first = po->planes;
          ASSERT_NE(first, nullptr);
          const Plane* second = first->next;
          ASSERT_NE(second, nullptr);
          // The triangles: (r, r+1, r+2) and (r+2, r+3, r).
          const int expected[2][3] = {{r, (r + 1) % 4, (r + 2) % 4}, {(r + 2) % 4, (r + 3) % 4, r}};
          const Point diagonal[2] = {v[r], v[(r + 2) % 4]};
          const Point markedEdge[2] = {v[marked], v[(marked + 1) % 4]};
          const bool hides = markValue == kInternalEdgeMark;
          auto same = [](Point a, Point b, const Point e[2]) {
            return (a == e[0] && b == e[1]) || (a == e[1] && b == e[0]);
          };
          int hiddenOutline = 0;
          bool found[2] = {false, false};
          for (const Plane* tri : {first, second}) {
            ASSERT_EQ(tri->vertexCount, 3);
            // Either triangle may come first and start at any corner; the winding stays.
            auto at = [&](int k) { return Point{tri->vertices[k % 3].x, tri->vertices[k % 3].y}; };
            bool matched = false;
            for (int t = 0; t < 2 && !matched; ++t)
              for (int o = 0; o < 3 && !matched; ++o)
                if (at(0) == v[expected[t][o]] && at(1) == v[expected[t][(o + 1) % 3]] &&
                    at(2) == v[expected[t][(o + 2) % 3]])
                  matched = found[t] = true;
            EXPECT_TRUE(matched) << "(" << at(0).first << "," << at(0).second << ") (" << at(1).first << ","
                                 << at(1).second << ") (" << at(2).first << "," << at(2).second << ")";
            for (int k = 0; k < 3; ++k) {
              const Point a = at(k), b = at(k + 1);
              const bool wantHidden = same(a, b, diagonal) || (hides && same(a, b, markedEdge));
              EXPECT_EQ(tri->vertices[k].flag, wantHidden ? kEdgeDiagonal : kEdgeOutline)
                  << "edge from (" << a.first << "," << a.second << ")";
              if (tri->vertices[k].flag == kEdgeDiagonal && !same(a, b, diagonal)) ++hiddenOutline;
            }
          }
          EXPECT_TRUE(found[0] && found[1]);
          EXPECT_EQ(hiddenOutline, hides ? 1 : 0);
          DeletePlaneObject(po);
        }
}

TEST_F(Triangulation, AConvexPentagonBecomesThreeTrianglesWithTwoDiagonals) {
  PlaneObject* po = ObjectWith(FlatPlane({{0, 0}, {10, 0}, {13, 8}, {5, 13}, {-3, 8}}));
  const double area = std::fabs(AreaXY(po->planes));
  R3DTriangulatePlaneObject(po);
  ASSERT_EQ(CountPlanes(po->planes), 3);
  EXPECT_NEAR(TotalArea(po->planes), area, 1e-3);
  EXPECT_EQ(EdgesFlagged(po->planes, 1).size(), 2u);
  EXPECT_EQ(EdgesFlagged(po->planes, 0).size(), 5u);
  for (const Plane* p = po->planes; p; p = p->next) EXPECT_FLOAT_EQ(p->normal[2], 0.5f);
  DeletePlaneObject(po);
}

TEST_F(Triangulation, TheLIsTiledByBothRoutes) {
  PlaneObject* po = ObjectWith(LPlane());
  R3DTriangulatePlaneObject(po);
  ExpectTrianglesTileTheL(po->planes);
  EXPECT_EQ(EdgesFlagged(po->planes, 0).size(), 6u);
  DeletePlaneObject(po);

  Plane* l = LPlane();
  Plane* list = TriangulatePlane(l, nullptr);
  EXPECT_EQ(CountPlanes(list), 4);
  ExpectTrianglesTileTheL(list);
  EXPECT_EQ(EdgesFlagged(list, 0).size(), 6u);
  EXPECT_EQ(EdgesFlagged(list, 1).size(), 3u);
  DeletePlaneList(list);
  DeletePlane(l);
}

TEST_F(Triangulation, TheEarClipperCoversAConcaveComb) {
  // A comb of three teeth, clockwise: every ear test has reflex corners nearby.
  Plane* comb = FlatPlane({{0, 0}, {0, 10}, {2, 10}, {2, 4}, {4, 4}, {4, 10}, {6, 10}, {6, 4}, {8, 4}, {8, 10},
                           {10, 10}, {10, 0}});
  const double area = std::fabs(AreaXY(comb));
  Plane* list = TriangulatePlane(comb, nullptr);
  EXPECT_EQ(CountPlanes(list), 10);
  EXPECT_NEAR(TotalArea(list), area, 1e-3);
  // No triangle is turned the other way (none overlaps another).
  for (const Plane* p = list; p; p = p->next) EXPECT_LE(AreaXY(p), 1e-6);
  DeletePlaneList(list);
  DeletePlane(comb);
}

TEST_F(Triangulation, TheEarClipperWalksOnFromARejectedFirstEar) {
  // The notch at (10,5) makes (0,1,2) no ear: the walk moves on to (1,2,3), (1,3,4) and ends
  // with (1,4,0), each triangle starting where the walk stood.
  Plane* chevron = FlatPlane({{0, 0}, {10, 5}, {20, 0}, {20, 10}, {0, 10}});
  Plane* list = TriangulatePlane(chevron, nullptr);
  ASSERT_EQ(CountPlanes(list), 3);
  const float expected[3][3][2] = {{{10, 5}, {20, 0}, {20, 10}}, {{10, 5}, {20, 10}, {0, 10}}, {{10, 5}, {0, 10}, {0, 0}}};
  const int16_t flags[3][3] = {{0, 0, 1}, {1, 0, 1}, {1, 0, 0}};
  const Plane* p = list;
  for (int t = 0; t < 3; ++t, p = p->next)
    for (int k = 0; k < 3; ++k) {
      EXPECT_FLOAT_EQ(p->vertices[k].x, expected[t][k][0]) << t << " " << k;
      EXPECT_FLOAT_EQ(p->vertices[k].y, expected[t][k][1]) << t << " " << k;
      EXPECT_EQ(p->vertices[k].flag, flags[t][k]) << t << " " << k;
    }
  DeletePlaneList(list);
  DeletePlane(chevron);
}

TEST_F(Triangulation, TheEarClipperMakesBothEdgesOfAMarkedVertexDiagonals) {
  auto comb = [] {
    return FlatPlane({{0, 0}, {0, 10}, {2, 10}, {2, 4}, {4, 4}, {4, 10}, {6, 10}, {6, 4}, {8, 4}, {8, 10},
                      {10, 10}, {10, 0}});
  };
  Plane* plain = comb();
  Plane* list = TriangulatePlane(plain, nullptr);
  EXPECT_EQ(EdgesFlagged(list, 0).size(), 12u);
  DeletePlaneList(list);
  DeletePlane(plain);
  for (int marked : {0, 3, 11}) {  // the first, an inner and the last vertex
    Plane* p = comb();
    p->vertices[marked].flag = 10000;
    list = TriangulatePlane(p, nullptr);
    EXPECT_EQ(EdgesFlagged(list, 0).size(), 10u) << marked;
    DeletePlaneList(list);
    DeletePlane(p);
  }
}

TEST_F(Triangulation, ASelfTouchingOutlineGoesToTheEarClipper) {
  // Two squares meeting at (10,10), drawn as one outline through that corner twice.
  PlaneObject* po = ObjectWith(
      FlatPlane({{0, 0}, {10, 0}, {10, 10}, {20, 10}, {20, 20}, {10, 20}, {10, 10}, {0, 10}}));
  R3DTriangulatePlaneObject(po);
  EXPECT_NEAR(TotalArea(po->planes), 200.0, 1e-3);
  for (const Plane* p = po->planes; p; p = p->next) {
    ASSERT_EQ(p->vertexCount, 3);
    const double cx = (p->vertices[0].x + p->vertices[1].x + p->vertices[2].x) / 3.0;
    const double cy = (p->vertices[0].y + p->vertices[1].y + p->vertices[2].y) / 3.0;
    EXPECT_TRUE((cx < 10 && cy < 10) || (cx > 10 && cy > 10)) << cx << ", " << cy;
  }
  DeletePlaneObject(po);
}

TEST_F(Triangulation, AWallPlaneIsClippedInZAndY) {
  // A pentagon in the z/y plane (normal along x).
  PlaneVertex* v = Vertices({{5, 0, 0}, {5, 0, 10}, {5, 10, 10}, {5, 15, 5}, {5, 10, 0}});
  Plane* plane = CreatePlane(v, 5, 0.9f, 0, 0);
  Plane* list = TriangulatePlane(plane, nullptr);
  ASSERT_EQ(CountPlanes(list), 3);
  double area = 0;
  for (const Plane* p = list; p; p = p->next) {
    const PlaneVertex* t = p->vertices;
    area += std::fabs((t[1].z - t[0].z) * (t[2].y - t[0].y) - (t[2].z - t[0].z) * (t[1].y - t[0].y)) / 2;
    EXPECT_FLOAT_EQ(t[0].x, 5);
  }
  EXPECT_NEAR(area, 125.0, 1e-3);
  DeletePlaneList(list);
  DeletePlane(plane);
}

TEST_F(Triangulation, APathOfEightBecomesThreeQuads) {
  Plane* path = FlatPlane({{0, 0}, {10, 0}, {20, 0}, {30, 0}, {30, 4}, {20, 4}, {10, 4}, {0, 4}});
  PlaneObject* po = ObjectWith(path, kObjPathSurface);
  D3DTriangulatePlaneObject(po);
  ASSERT_EQ(CountPlanes(po->planes), 3);
  const Plane* q = po->planes;
  EXPECT_EQ(q->vertexCount, 4);
  EXPECT_FLOAT_EQ(q->vertices[0].x, 0);
  EXPECT_FLOAT_EQ(q->vertices[1].x, 10);
  EXPECT_FLOAT_EQ(q->vertices[2].x, 10);
  EXPECT_FLOAT_EQ(q->vertices[2].y, 4);
  EXPECT_FLOAT_EQ(q->vertices[3].x, 0);
  EXPECT_EQ(q->vertices[0].flag, 0);
  EXPECT_EQ(q->vertices[1].flag, 1);
  EXPECT_EQ(q->vertices[2].flag, 0);
  EXPECT_EQ(q->vertices[3].flag, 1);
  EXPECT_NEAR(TotalArea(po->planes), 120.0, 1e-4);
  DeletePlaneObject(po);
  // Any other part type goes to the ear clipper.
  po = ObjectWith(LPlane());
  D3DTriangulatePlaneObject(po);
  ExpectTrianglesTileTheL(po->planes);
  DeletePlaneObject(po);
}

TEST_F(Triangulation, PointInPolygonCountsTheUpperBoundaryInside) {
  PlaneVertex* square = Vertices({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  PlaneVertex p{};
  p.x = 5;
  p.y = 0;
  EXPECT_EQ(IsPointInsidePolygon(&p, square, 4), 0);
  p.y = 10;
  EXPECT_EQ(IsPointInsidePolygon(&p, square, 4), 1);
  p.y = 5;
  EXPECT_EQ(IsPointInsidePolygon(&p, square, 4), 1);
  p.x = 11;
  EXPECT_EQ(IsPointInsidePolygon(&p, square, 4), 0);
  EXPECT_EQ(IsPointInsidePolygon(&p, square, 2), 0);
  free(square);
}

// The same test for a point of two floats and vertices of six floats each (x, y first).
TEST_F(Triangulation, PointInPolygonOverPlainFloats) {
  const float square[4][6] = {{0, 0, 7, 0, 1, 1}, {10, 0, 7, 0, 1, 1}, {10, 10, 7, 0, 1, 1}, {0, 10, 7, 0, 1, 1}};
  const float* v = &square[0][0];
  const float lower[2] = {5, 0}, upper[2] = {5, 10}, inside[2] = {5, 5}, right[2] = {11, 5};
  EXPECT_EQ(IsPointInsidePolygon(lower, v, 4), 0);
  EXPECT_EQ(IsPointInsidePolygon(upper, v, 4), 1);
  EXPECT_EQ(IsPointInsidePolygon(inside, v, 4), 1);
  EXPECT_EQ(IsPointInsidePolygon(right, v, 4), 0);
  // The closing edge counts: a triangle's hypotenuse runs from the last vertex to the first.
  const float tri[3][6] = {{0, 10}, {0, 0}, {10, 0}};
  const float near[2] = {1, 1}, beyond[2] = {9, 9};
  EXPECT_EQ(IsPointInsidePolygon(near, &tri[0][0], 3), 1);
  EXPECT_EQ(IsPointInsidePolygon(beyond, &tri[0][0], 3), 0);
  const float* none = nullptr;
  EXPECT_EQ(IsPointInsidePolygon(none, v, 4), 0);
  EXPECT_EQ(IsPointInsidePolygon(inside, none, 4), 0);
  EXPECT_EQ(IsPointInsidePolygon(inside, v, 2), 0);
}

TEST_F(Triangulation, SegmentTestsAgainstTheClosingEdge) {
  PlaneVertex* tri = Vertices({{0, 0}, {5, 10}, {10, 0}});
  PlaneVertex* seg = Vertices({{5, -5}, {5, 5}, {0, 0}, {3, 7}, {5, 1}, {5, 3}});
  EXPECT_EQ(LineIntersectTriangle(&seg[0], &seg[1], tri), 1);  // crosses the edge (0,0)-(10,0)
  EXPECT_EQ(LineIntersectTriangle(&seg[2], &seg[3], tri), 0);  // shares the end (0,0)
  EXPECT_EQ(LineIntersectTriangle(&seg[4], &seg[5], tri), 0);  // stays above it
  EXPECT_EQ(LineIntersectTriangle(&seg[0], &seg[0], tri), 0);
  FloatRect r;
  GetLineBounds(&tri[0], &tri[2], &r);  // horizontal: widened in y
  EXPECT_FLOAT_EQ(r.floatTop, -0.5f);
  EXPECT_FLOAT_EQ(r.floatBottom, 0.5f);
  EXPECT_FLOAT_EQ(r.floatLeft, 0);
  EXPECT_FLOAT_EQ(r.floatRight, 10);
  free(tri);
  free(seg);
}

TEST_F(Triangulation, EarTestRejectsTrianglesOutsideOrOverVertices) {
  PlaneVertex* l = Vertices({{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}});
  PlaneVertex* ear = Vertices({{0, 0}, {20, 0}, {20, 10}});
  PlaneVertex* outside = Vertices({{20, 10}, {10, 10}, {10, 20}});  // spans the notch
  PlaneVertex* covering = Vertices({{20, 0}, {20, 10}, {0, 19}});    // holds (10,10)
  EXPECT_EQ(TriangleInsideRegion(ear, l, 6), 1);
  EXPECT_EQ(TriangleInsideRegion(outside, l, 6), 0);
  EXPECT_EQ(TriangleInsideRegion(covering, l, 6), 0);
  EXPECT_EQ(TriangleInsideRegion(ear, l, 2), 0);
  free(l);
  free(ear);
  free(outside);
  free(covering);
}

TEST_F(Triangulation, EmptyResultsKeepTheOldPlanes) {
  PlaneObject* po = CreatePlaneObject();
  R3DTriangulatePlaneObject(po);
  EXPECT_EQ(po->planes, nullptr);
  R3DTriangulatePlaneObject(nullptr);
  D3DTriangulatePlaneObject(nullptr);
  EXPECT_EQ(TriangulatePlane(nullptr, nullptr), nullptr);
  DeletePlaneObject(po);
  // A list of plane objects is done whole.
  PlaneObject* a = ObjectWith(LPlane());
  PlaneObject* b = ObjectWith(LPlane());
  a->next = b;
  R3DTriangulatePlaneObjects(a);
  ExpectTrianglesTileTheL(a->planes);
  ExpectTrianglesTileTheL(b->planes);
  DeletePlaneObject(a);
  DeletePlaneObject(b);
}

}  // namespace

namespace {

TEST_F(Triangulation, ASelfCrossingOutlineNeitherCrashesNorLosesThePlane) {
  // A pentagram drawn point to point: the tessellator would need new vertices at the crossings.
  Plane* star = FlatPlane({{0, 10}, {6, -8}, {-9.5f, 3}, {9.5f, 3}, {-6, -8}});
  PlaneObject* po = ObjectWith(star);
  R3DTriangulatePlaneObject(po);
  ASSERT_NE(po->planes, nullptr);
  for (const Plane* p = po->planes; p; p = p->next) EXPECT_EQ(p->vertexCount, 3);
  DeletePlaneObject(po);
}

}  // namespace

namespace {

TEST_F(Triangulation, APlaneWithoutFiniteCoordinatesIsLeftOut) {
  Plane* bad = FlatPlane({{0, 0}, {10, 0}, {NAN, 5}, {10, 10}, {0, 10}});
  bad->next = LPlane();
  bad->next->prev = bad;
  PlaneObject* po = ObjectWith(bad);
  R3DTriangulatePlaneObject(po);
  ExpectTrianglesTileTheL(po->planes);
  DeletePlaneObject(po);
}

}  // namespace

namespace {

// A plane object of small planes only is converted in its own planes; what comes out must be
// what the copying route makes: same planes in the same order, same vertices, flags and normals
// (a triangle, a convex quad with an internal edge, a concave quad, a normal stored at 1).
PlaneObject* SmallPlanesObject() {
  Plane* tri = FlatPlane({{0, 0}, {4, 0}, {0, 3}}, {10000, 0, 0});
  Plane* quad = FlatPlane({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {0, 10000, 0, 5});
  Plane* arrow = FlatPlane({{0, 0}, {10, 5}, {0, 10}, {3, 5}}, {10000, 0, 0, 0});
  Plane* tilted = FlatPlane({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  tilted->normal[0] = 1.0f;  // stored without CreatePlane's limit
  tilted->normal[1] = -2.0f;
  for (PlaneVertex* v = tilted->vertices; v != tilted->vertices + 4; ++v) v->u = v->x / 10, v->v = v->y / 10;
  Plane* list[] = {tri, quad, arrow, tilted};
  for (int i = 0; i + 1 < 4; ++i) list[i]->next = list[i + 1], list[i + 1]->prev = list[i];
  return ObjectWith(tri);
}

TEST_F(Triangulation, SmallPlanesConvertedInPlaceMatchTheCopies) {
  PlaneObject* inPlace = SmallPlanesObject();
  PlaneObject* copied = SmallPlanesObject();
  R3DTriangulatePlaneObject(inPlace);
  D3DTriangulatePlaneObject(copied);  // copies each small plane
  ASSERT_EQ(CountPlanes(inPlace->planes), 5);
  ASSERT_EQ(CountPlanes(copied->planes), 5);
  const Plane* prev = nullptr;
  for (const Plane *a = inPlace->planes, *b = copied->planes; a && b; prev = a, a = a->next, b = b->next) {
    EXPECT_EQ(a->prev, prev);
    ASSERT_EQ(a->vertexCount, b->vertexCount);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(a->normal[k], b->normal[k]);
    for (int32_t i = 0; i < a->vertexCount; ++i) {
      const PlaneVertex &va = a->vertices[i], &vb = b->vertices[i];
      EXPECT_EQ(va.x, vb.x);
      EXPECT_EQ(va.y, vb.y);
      EXPECT_EQ(va.z, vb.z);
      EXPECT_EQ(va.flag, vb.flag);
      EXPECT_EQ(va.u, vb.u);
      EXPECT_EQ(va.v, vb.v);
    }
  }
  // The stored normal was brought below 1 as a new plane's would be.
  const Plane* last = inPlace->planes->next->next->next->next;
  EXPECT_FLOAT_EQ(last->normal[1], -0.99f);
  EXPECT_FLOAT_EQ(last->normal[0], 0.495f);
  EXPECT_EQ(inPlace->planes->vertices[0].flag, 1);  // internal mark turned into a diagonal
  DeletePlaneObject(inPlace);
  DeletePlaneObject(copied);
}

// A closed outline of n vertices on the curve through (x(t), y(t)), t = 0 .. 2 pi.
template <typename Curve>
Plane* SampledPlane(int32_t n, Curve curve) {
  auto* v = static_cast<PlaneVertex*>(calloc(static_cast<size_t>(n), sizeof(PlaneVertex)));
  for (int32_t i = 0; i < n; ++i) {
    const double t = 2 * 3.14159265358979 * i / n;
    const auto [x, y] = curve(t);
    v[i].x = static_cast<float>(x);
    v[i].y = static_cast<float>(y);
  }
  return CreatePlane(v, n, 0, 0, 0.5f);
}

TEST_F(Triangulation, LargeSelfCrossingOutlinesEndWithBoundedTriangles) {
  struct Case {
    const char* name;
    int32_t vertices;
    std::pair<double, double> (*curve)(double);
  } cases[] = {
      // Every edge crosses hundreds of others: each ear test fails.
      {"star", 20001, [](double t) { return std::pair{100 * std::cos(9000 * t), 100 * std::sin(9000 * t)}; }},
      // A loop that crosses itself once, as a curved deck edge looping over itself.
      {"figure eight", 50000, [](double t) { return std::pair{100 * std::sin(t), 60 * std::sin(2 * t)}; }},
      {"just over the clipper's size", kMaxEarClipVertices + 1,
       [](double t) { return std::pair{100 * std::sin(t), 60 * std::sin(2 * t)}; }},
  };
  for (const Case& c : cases) {
    // The clipper itself, and the tessellator, which hands such an outline to the clipper.
    Plane* plane = SampledPlane(c.vertices, c.curve);
    Plane* list = TriangulatePlane(plane, nullptr);
    PlaneObject* po = ObjectWith(plane);
    R3DTriangulatePlaneObject(po);
    for (const Plane* made : {list, po->planes}) {
      EXPECT_GT(CountPlanes(made), 0) << c.name;
      EXPECT_LE(CountPlanes(made), kMaxEarClipVertices - 2) << c.name;
      for (const Plane* p = made; p; p = p->next) EXPECT_EQ(p->vertexCount, 3) << c.name;
    }
    DeletePlaneList(list);
    DeletePlaneObject(po);
  }
  // A large outline that does not cross itself stays the tessellator's: every vertex is kept.
  PlaneObject* circle = ObjectWith(SampledPlane(5000, [](double t) { return std::pair{100 * std::cos(t), 100 * std::sin(t)}; }));
  R3DTriangulatePlaneObject(circle);
  EXPECT_EQ(CountPlanes(circle->planes), 5000 - 2);
  DeletePlaneObject(circle);
}

}  // namespace

namespace {

// The L laid in each of the three axis planes: floors face along y, wall faces along x or z.
// Each is tiled by triangles lying in its plane, facing its way, and the three tilings (in
// the plane's own coordinates, with their edge flags) are the same.
TEST_F(Triangulation, TheLFacingAlongEachAxisIsTiledInItsOwnPlane) {
  // Started at a corner that cannot see the whole L, so that a fan from the first vertex fails.
  const std::pair<float, float> outline[] = {{20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}, {0, 0}};
  using Corner = std::array<float, 3>;  // u, w, edge flag
  std::vector<std::vector<std::array<Corner, 3>>> tilings;
  for (int axis = 0; axis < 3; ++axis) {
    SCOPED_TRACE(axis);
    auto* v = static_cast<PlaneVertex*>(calloc(6, sizeof(PlaneVertex)));
    // (u, w) in the plane; the axis coordinate is 7 throughout.
    for (int i = 0; i < 6; ++i) {
      float c[3];
      c[axis] = 7;
      c[(axis + 1) % 3] = outline[i].first;
      c[(axis + 2) % 3] = outline[i].second;
      v[i].x = c[0], v[i].y = c[1], v[i].z = c[2];
    }
    float n[3] = {0, 0, 0};
    n[axis] = 1;
    PlaneObject* po = ObjectWith(CreatePlane(v, 6, n[0], n[1], n[2]));
    // The ear clipper on its own (the tessellator's fallback) tiles it in its plane too.
    Plane* clipped = TriangulatePlane(po->planes, nullptr);
    EXPECT_EQ(CountPlanes(clipped), 4);
    double clippedArea = 0;
    for (const Plane* p = clipped; p; p = p->next) {
      ASSERT_EQ(p->vertexCount, 3);
      float t[3][2];
      for (int k = 0; k < 3; ++k) {
        const float c[3] = {p->vertices[k].x, p->vertices[k].y, p->vertices[k].z};
        EXPECT_FLOAT_EQ(c[axis], 7);
        t[k][0] = c[(axis + 1) % 3], t[k][1] = c[(axis + 2) % 3];
      }
      clippedArea += std::fabs((t[1][0] - t[0][0]) * (t[2][1] - t[0][1]) - (t[2][0] - t[0][0]) * (t[1][1] - t[0][1])) / 2;
      EXPECT_TRUE(InsideL((t[0][0] + t[1][0] + t[2][0]) / 3.0, (t[0][1] + t[1][1] + t[2][1]) / 3.0));
    }
    EXPECT_NEAR(clippedArea, 300.0, 1e-3);
    DeletePlaneList(clipped);
    R3DTriangulatePlaneObject(po);
    double area = 0;
    std::vector<std::array<Corner, 3>> tiling;
    for (const Plane* p = po->planes; p; p = p->next) {
      ASSERT_EQ(p->vertexCount, 3);
      EXPECT_GT(p->normal[axis], 0.9f);
      EXPECT_FLOAT_EQ(p->normal[(axis + 1) % 3], 0);
      EXPECT_FLOAT_EQ(p->normal[(axis + 2) % 3], 0);
      std::array<Corner, 3> t;
      for (int k = 0; k < 3; ++k) {
        const float c[3] = {p->vertices[k].x, p->vertices[k].y, p->vertices[k].z};
        EXPECT_FLOAT_EQ(c[axis], 7);
        t[k] = {c[(axis + 1) % 3], c[(axis + 2) % 3], static_cast<float>(p->vertices[k].flag)};
      }
      area += std::fabs((t[1][0] - t[0][0]) * (t[2][1] - t[0][1]) - (t[2][0] - t[0][0]) * (t[1][1] - t[0][1])) / 2;
      EXPECT_TRUE(InsideL((t[0][0] + t[1][0] + t[2][0]) / 3.0, (t[0][1] + t[1][1] + t[2][1]) / 3.0));
      tiling.push_back(t);
    }
    EXPECT_NEAR(area, 300.0, 1e-3);
    std::sort(tiling.begin(), tiling.end());
    tilings.push_back(tiling);
    DeletePlaneObject(po);
  }
  ASSERT_EQ(tilings.size(), 3u);
  EXPECT_EQ(tilings[0], tilings[2]);
  EXPECT_EQ(tilings[1], tilings[2]);
}

}  // namespace
