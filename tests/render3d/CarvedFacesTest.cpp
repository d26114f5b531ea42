// Faces with their cut-outs carved out as triangles: what is left is the face minus its
// cut-outs (also where a cut-out reaches past the face's edge), no triangle lies in a hole, the
// triangles keep the face's winding and its texture coordinates, and objects the geometry
// cannot show as the stencil does are left to the stencil. The real-time lists draw carved
// faces without touching the stencil.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "openings/OpeningsTestSupport.h"
#include "render3d/CarvedFaces.h"
#include "render3d/GLTestContext.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RendererUpkeep.h"
#include "render3d/SceneFrame.h"

namespace {

using render3d::CarvedPlaneObject;
using render3d::CarvePlaneObject;

struct P2 {
  double x, y;
};
using Poly = std::vector<P2>;

// The plane's two coordinates that vary most (the normal's largest component dropped).
struct Axes {
  int a = 0, b = 1;
  P2 at(const PlaneVertex& v) const {
    const double c[3] = {v.x, v.y, v.z};
    return {c[a], c[b]};
  }
};

std::array<double, 3> Normal(const PlaneVertex* v, int32_t n) {
  std::array<double, 3> s{0, 0, 0};
  for (int32_t i = 0; i < n; ++i) {
    const PlaneVertex& p = v[i];
    const PlaneVertex& q = v[(i + 1) % n];
    s[0] += (double{p.y} - q.y) * (double{p.z} + q.z);
    s[1] += (double{p.z} - q.z) * (double{p.x} + q.x);
    s[2] += (double{p.x} - q.x) * (double{p.y} + q.y);
  }
  return s;
}

Axes AxesOf(const std::array<double, 3>& n) {
  const double x = std::fabs(n[0]), y = std::fabs(n[1]), z = std::fabs(n[2]);
  if (x >= y && x >= z) return {1, 2};
  if (y >= z) return {2, 0};
  return {0, 1};
}

double Area(const Poly& p) {
  double s = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    const P2& a = p[i];
    const P2& b = p[(i + 1) % p.size()];
    s += a.x * b.y - b.x * a.y;
  }
  return s / 2;
}

// The part of `subject` inside the convex `clip` (Sutherland-Hodgman); `clip` wound either way.
Poly Clip(Poly subject, const Poly& clip) {
  const double turn = Area(clip) > 0 ? 1 : -1;
  for (size_t i = 0; i < clip.size() && !subject.empty(); ++i) {
    const P2& a = clip[i];
    const P2& b = clip[(i + 1) % clip.size()];
    auto side = [&](const P2& p) { return turn * ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)); };
    Poly out;
    for (size_t k = 0; k < subject.size(); ++k) {
      const P2& p = subject[k];
      const P2& q = subject[(k + 1) % subject.size()];
      const double sp = side(p), sq = side(q);
      if (sp >= 0) out.push_back(p);
      if ((sp >= 0) != (sq >= 0)) {
        const double t = sp / (sp - sq);
        out.push_back({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)});
      }
    }
    subject = out;
  }
  return subject;
}

// Inside a convex polygon, at least `margin` from its edges (negative: within that much outside).
bool Inside(const Poly& p, const P2& q, double margin) {
  const double turn = Area(p) > 0 ? 1 : -1;
  for (size_t i = 0; i < p.size(); ++i) {
    const P2& a = p[i];
    const P2& b = p[(i + 1) % p.size()];
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (length == 0) continue;
    if (turn * ((b.x - a.x) * (q.y - a.y) - (b.y - a.y) * (q.x - a.x)) / length < margin) return false;
  }
  return true;
}

// Crossing-number test (any simple polygon).
bool InPolygon(const Poly& p, const P2& q) {
  bool in = false;
  for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
    if ((p[i].y > q.y) != (p[j].y > q.y) &&
        q.x < (p[j].x - p[i].x) * (q.y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
      in = !in;
  return in;
}

double DistanceToOutline(const Poly& p, const P2& q) {
  double best = 1e300;
  for (size_t i = 0; i < p.size(); ++i) {
    const P2& a = p[i];
    const P2& b = p[(i + 1) % p.size()];
    const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    const double t = l2 > 0 ? std::clamp(((q.x - a.x) * dx + (q.y - a.y) * dy) / l2, 0.0, 1.0) : 0;
    best = std::min(best, std::hypot(q.x - a.x - t * dx, q.y - a.y - t * dy));
  }
  return best;
}

Poly Project(const PlaneVertex* v, int32_t n, const Axes& axes) {
  Poly p;
  for (int32_t i = 0; i < n; ++i) p.push_back(axes.at(v[i]));
  return p;
}

// The plane object's cut-out planes lying in the plane of `face`.
std::vector<const Plane*> HolesIn(const PlaneObject* po, const Plane* face) {
  std::array<double, 3> n = Normal(face->vertices, face->vertexCount);
  const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  for (double& c : n) c /= length;
  auto offset = [&](const PlaneVertex& v) { return n[0] * v.x + n[1] * v.y + n[2] * v.z; };
  const double d = offset(face->vertices[0]);
  std::vector<const Plane*> holes;
  for (const PlaneObject* c = po->children; c; c = c->next)
    for (const Plane* h = c->planes; h; h = h->next) {
      bool in = h->vertexCount >= 3;
      for (int32_t i = 0; i < h->vertexCount && in; ++i) in = std::fabs(offset(h->vertices[i]) - d) < 0.05;
      if (in) holes.push_back(h);
    }
  return holes;
}

// Checks every carved plane of the object against its face and cut-outs; the count of planes
// carved.
int ExpectCarvedRight(const PlaneObject* po) {
  CarvedPlaneObject carved;
  EXPECT_TRUE(CarvePlaneObject(po, &carved));
  int planes = 0;
  size_t k = 0;
  for (const Plane* face = po->planes; face; face = face->next, ++k) {
    SCOPED_TRACE("plane " + std::to_string(k));
    if (k >= carved.planes.size()) {
      ADD_FAILURE() << "plane missing from the carved object";
      break;
    }
    const render3d::CarvedPlane& cp = carved.planes[k];
    EXPECT_EQ(cp.source, face);
    const std::vector<const Plane*> holes = HolesIn(po, face);
    const std::array<double, 3> n = Normal(face->vertices, face->vertexCount);
    const Axes axes = AxesOf(n);
    const Poly outline = Project(face->vertices, face->vertexCount, axes);
    std::vector<Poly> cuts;
    double cutArea = 0;
    for (const Plane* h : holes) {
      cuts.push_back(Project(h->vertices, h->vertexCount, axes));
      cutArea += std::fabs(Area(Clip(cuts.back(), outline)));
    }
    if (cp.whole) {
      EXPECT_NEAR(cutArea, 0, 1e-6) << "a plane its cut-outs cover is left whole";
      continue;
    }
    ++planes;
    EXPECT_EQ(cp.triangles.size() % 3, 0u);
    // Area: the face minus its cut-outs; each triangle wound as the face.
    double area = 0;
    std::vector<Poly> triangles;
    for (size_t t = 0; t < cp.triangles.size(); t += 3) {
      const std::array<double, 3> tn = Normal(&cp.triangles[t], 3);
      EXPECT_GE(tn[0] * n[0] + tn[1] * n[1] + tn[2] * n[2], -1e-6) << "triangle " << t / 3 << " turned over";
      triangles.push_back(Project(&cp.triangles[t], 3, axes));
      area += std::fabs(Area(triangles.back()));
    }
    const double faceArea = std::fabs(Area(outline));
    EXPECT_NEAR(area, faceArea - cutArea, 1e-3 * faceArea);
    EXPECT_LT(area, faceArea - 1) << "nothing was cut";
    // Points well inside the face are covered exactly when they lie in no cut-out.
    double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
    for (const P2& p : outline) lo[0] = std::min(lo[0], p.x), lo[1] = std::min(lo[1], p.y),
                                hi[0] = std::max(hi[0], p.x), hi[1] = std::max(hi[1], p.y);
    int checked = 0;
    for (int i = 0; i <= 60; ++i)
      for (int j = 0; j <= 60; ++j) {
        const P2 q{lo[0] + (hi[0] - lo[0]) * (i + 0.37) / 61, lo[1] + (hi[1] - lo[1]) * (j + 0.61) / 61};
        if (!Inside(outline, q, 0.05)) continue;
        bool nearEdge = false, inCut = false;
        for (const Poly& c : cuts) {
          if (DistanceToOutline(c, q) < 0.05) nearEdge = true;
          if (InPolygon(c, q)) inCut = true;
        }
        if (nearEdge) continue;
        bool covered = false;
        for (const Poly& t : triangles) covered = covered || Inside(t, q, 0);
        EXPECT_EQ(covered, !inCut) << q.x << ", " << q.y;
        ++checked;
      }
    EXPECT_GT(checked, 100);
    // Texture coordinates: the face's own at its corners, and the face's linear rule anywhere.
    const PlaneVertex* f = face->vertices;
    const P2 a = axes.at(f[0]), b = axes.at(f[1]), c = axes.at(f[2]);
    const double det = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    for (const PlaneVertex& v : cp.triangles) {
      for (int32_t i = 0; i < face->vertexCount; ++i)
        if (f[i].x == v.x && f[i].y == v.y && f[i].z == v.z) {
          EXPECT_EQ(v.u, f[i].u);
          EXPECT_EQ(v.v, f[i].v);
        }
      const P2 p = axes.at(v);
      const double wb = ((p.x - a.x) * (c.y - a.y) - (c.x - a.x) * (p.y - a.y)) / det;
      const double wc = ((b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y)) / det;
      const double wa = 1 - wb - wc;
      EXPECT_NEAR(v.u, wa * f[0].u + wb * f[1].u + wc * f[2].u, 1e-3);
      EXPECT_NEAR(v.v, wa * f[0].v + wb * f[1].v + wc * f[2].v, 1e-3);
    }
  }
  return planes;
}

struct CarvedFaces : OpeningsTest {
  static void BendFace(Objex* wall, int32_t faceIndex, float bulge) { BendBodyFace(wall, faceIndex, bulge); }

  std::vector<PlaneObject*> Strips(Objex* wall, int32_t faceIndex) { return CurvedFaceStrips(wall, faceIndex); }
};

TEST_F(CarvedFaces, FacesAreTheirOutlineMinusTheirCutouts) {
  struct Case {
    const char* name;
    std::function<std::vector<PlaneObject*>(CarvedFaces&)> faces;
    int carvedPlanes;  // at least
  };
  const Case cases[] = {
      {"door and window",
       [](CarvedFaces& t) {
         Objex* wall = t.Wall({{0, 0}, {240, 0}});
         t.Opening(wall, wall->firstPoint, 500, 60, 36, 80);      // reaches below the face's bottom
         t.Opening(wall, wall->firstPoint, 600, 170, 36, 40, 36);
         return std::vector<PlaneObject*>{t.Face(wall, 0), t.Face(wall, 2)};
       },
       2},
      {"holes touching and crossing the face's edges",
       [](CarvedFaces& t) {
         Objex* wall = t.Wall({{0, 0}, {240, 0}});
         t.Opening(wall, wall->firstPoint, 600, 60, 30, 36, 60);   // top at the wall's top
         t.Opening(wall, wall->firstPoint, 500, 10, 36, 80);       // past the face's start
         t.Opening(wall, wall->firstPoint, 623, 180, 40, 40, 20);  // a round window
         return std::vector<PlaneObject*>{t.Face(wall, 0), t.Face(wall, 2)};
       },
       2},
      // Both faces of walls across the other axis, run backwards, and on a diagonal.
      {"door and window in a wall along z, drawn backwards",
       [](CarvedFaces& t) {
         Objex* wall = t.Wall({{30, 240}, {30, 0}});
         t.Opening(wall, wall->firstPoint, 500, 60, 36, 80);
         t.Opening(wall, wall->firstPoint, 600, 170, 36, 40, 36);
         return std::vector<PlaneObject*>{t.Face(wall, 0), t.Face(wall, 2)};
       },
       2},
      {"door and window in a diagonal wall",
       [](CarvedFaces& t) {
         Objex* wall = t.Wall({{-20, 10}, {150, -160}});
         t.Opening(wall, wall->firstPoint, 500, 60, 36, 80);
         t.Opening(wall, wall->firstPoint, 600, 170, 36, 40, 36);
         return std::vector<PlaneObject*>{t.Face(wall, 0), t.Face(wall, 2)};
       },
       2},
      {"curved wall",
       [](CarvedFaces& t) {
         t.doc.ds()->objectRenderQuality() = 12;
         Objex* wall = t.Wall({{0, 0}, {120, 0}});
         const int32_t perRing = static_cast<Objex*>(wall->typeData)->pointCount / 2;
         BendFace(wall, 0, 60);
         BendFace(wall, perRing - 2, 60);
         t.Opening(wall, wall->firstPoint, 500, 40, 30, 80);
         t.Opening(wall, wall->firstPoint, 604, 90, 20, 30, 40);  // an arched window
         std::vector<PlaneObject*> out;
         for (PlaneObject* s : t.Strips(wall, 0))
           if (s->children) out.push_back(s);
         return out;
       },
       5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<PlaneObject*> faces = c.faces(*this);
    int carved = 0;
    for (const PlaneObject* po : faces) {
      ASSERT_NE(po, nullptr);
      ASSERT_NE(po->children, nullptr);
      carved += ExpectCarvedRight(po);
    }
    EXPECT_GE(carved, c.carvedPlanes);
    FreeScene();
  }
}

// Hand-made: a face in the plane z = 0 and a cut-out, for the cases left to the stencil.
struct HandMade {
  PlaneObject* face = CreatePlaneObject();
  explicit HandMade(std::vector<PlaneVertex> outline) {
    auto* v = static_cast<PlaneVertex*>(calloc(outline.size(), sizeof(PlaneVertex)));
    std::copy(outline.begin(), outline.end(), v);
    AppendPlane(v, static_cast<int32_t>(outline.size()), 0, 0, 0.99f, face);
  }
  ~HandMade() { DeletePlaneObject(face); }
  void cut(std::vector<PlaneVertex> outline) {
    PlaneObject* c = CreatePlaneObject();
    auto* v = static_cast<PlaneVertex*>(calloc(outline.size(), sizeof(PlaneVertex)));
    std::copy(outline.begin(), outline.end(), v);
    AppendPlane(v, static_cast<int32_t>(outline.size()), 0, 0, 0.99f, c);
    c->partType = 61;
    AppendPlaneObjectChild(c, face);
  }
};

PlaneVertex V(float x, float y, float z, float u = 0, float v = 0) { return {x, y, z, 0, u, v}; }

TEST(CarvedFacesHandMade, WhatGeometryCannotShowIsLeftToTheStencil) {
  struct Case {
    const char* name;
    std::vector<PlaneVertex> face, hole;
    bool carved;
  };
  const std::vector<PlaneVertex> square{V(0, 0, 0, 0, 0), V(100, 0, 0, 1, 0), V(100, -100, 0, 1, 1),
                                        V(0, -100, 0, 0, 1)};
  const Case cases[] = {
      {"cut-out in the face's plane", square, {V(20, -20, 0), V(40, -20, 0), V(40, -40, 0), V(20, -40, 0)}, true},
      {"cut-out wound the other way", square, {V(20, -20, 0), V(20, -40, 0), V(40, -40, 0), V(40, -20, 0)}, true},
      {"cut-out within rounding of the plane", square,
       {V(20, -20, 0.001f), V(40, -20, 0), V(40, -40, -0.001f), V(20, -40, 0)}, true},
      {"concave cut-out (drawn as its fan)", square,
       {V(20, -20, 0), V(60, -20, 0), V(40, -40, 0), V(60, -60, 0), V(20, -60, 0)}, true},
      {"cut-out off the plane", square, {V(20, -20, 1), V(40, -20, 1), V(40, -40, 1), V(20, -40, 1)}, false},
      {"cut-out standing across the plane", square, {V(20, -20, -5), V(40, -20, 5), V(40, -40, 5), V(20, -40, -5)},
       false},
      {"concave quad face", {V(0, 0, 0), V(100, 0, 0), V(50, -20, 0), V(0, -100, 0)},
       {V(10, -10, 0), V(20, -10, 0), V(20, -20, 0), V(10, -20, 0)}, false},
      {"quad face whose texture does not follow it linearly",
       {V(0, 0, 0, 0, 0), V(100, 0, 0, 1, 0), V(100, -100, 0, 3, 1), V(0, -100, 0, 0, 1)},
       {V(20, -20, 0), V(40, -20, 0), V(40, -40, 0), V(20, -40, 0)}, false},
      {"concave quad cut-out", square, {V(20, -20, 0), V(60, -20, 0), V(40, -30, 0), V(20, -60, 0)}, false},
      {"star face (turns one way, winds twice)",
       {V(50, 0, 0), V(79, -90, 0), V(2, -35, 0), V(98, -35, 0), V(21, -90, 0)},
       {V(45, -45, 0), V(55, -45, 0), V(55, -55, 0), V(45, -55, 0)}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HandMade m(c.face);
    m.cut(c.hole);
    CarvedPlaneObject carved;
    EXPECT_EQ(CarvePlaneObject(m.face, &carved), c.carved);
    if (c.carved) EXPECT_EQ(ExpectCarvedRight(m.face), 1);
    else EXPECT_TRUE(carved.planes.empty());
  }
  // Nothing to carve without cut-outs.
  HandMade plain(square);
  CarvedPlaneObject carved;
  EXPECT_FALSE(CarvePlaneObject(plain.face, &carved));
}

TEST(CarvedFacesHandMade, CutoutsCoveringTheFaceLeaveNothingAndCutOnlyTheirOwnPlane) {
  // Two planes of one object at a right angle; the cut-out lies in the first and covers it.
  PlaneObject* po = CreatePlaneObject();
  auto* a = static_cast<PlaneVertex*>(calloc(4, sizeof(PlaneVertex)));
  const PlaneVertex first[4] = {V(0, 0, 0), V(50, 0, 0), V(50, -50, 0), V(0, -50, 0)};
  std::copy(first, first + 4, a);
  AppendPlane(a, 4, 0, 0, 0.99f, po);
  auto* b = static_cast<PlaneVertex*>(calloc(4, sizeof(PlaneVertex)));
  const PlaneVertex second[4] = {V(50, 0, 0), V(50, 0, 50), V(50, -50, 50), V(50, -50, 0)};
  std::copy(second, second + 4, b);
  AppendPlane(b, 4, 0.99f, 0, 0, po);
  PlaneObject* c = CreatePlaneObject();
  auto* h = static_cast<PlaneVertex*>(calloc(4, sizeof(PlaneVertex)));
  const PlaneVertex hole[4] = {V(-10, 10, 0), V(60, 10, 0), V(60, -60, 0), V(-10, -60, 0)};
  std::copy(hole, hole + 4, h);
  AppendPlane(h, 4, 0, 0, 0.99f, c);
  AppendPlaneObjectChild(c, po);
  CarvedPlaneObject carved;
  ASSERT_TRUE(CarvePlaneObject(po, &carved));
  ASSERT_EQ(carved.planes.size(), 2u);
  EXPECT_FALSE(carved.planes[0].whole);
  EXPECT_TRUE(carved.planes[0].triangles.empty());
  EXPECT_TRUE(carved.planes[1].whole);
  EXPECT_EQ(carved.carvedPlanes, 1);
  DeletePlaneObject(po);
}

// The real-time lists draw carved walls without the stencil: after a frame of walls with
// openings the stencil is still clear, and the openings show through.
TEST_F(CarvedFaces, RealTimeListsDrawCarvedWallsWithoutTheStencil) {
  if (!TestGLContext()) GTEST_SKIP() << "no display for an OpenGL context";
  LiveViewHost saved = gLiveViewHost;
  gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = 96, *h = 64; };
  gLiveViewHost.isVisible = [] { return true; };
  DocState* ds = doc.ds();
  ds->renderMode() = kRenderSolid;
  ds->orthoView() = 1;
  ds->backgroundTextureID = 0;
  ds->backgroundColor() = {0, 0, 0};
  ds->backgroundLighting() = 0;
  ds->clearViewFillColor() = {0, 0, 0};
  Objex* wall = Wall({{0, 0}, {240, 0}});
  Opening(wall, wall->firstPoint, 500, 60, 36, 80);
  Opening(wall, wall->firstPoint, 600, 170, 36, 40, 36);
  UpdateAllWallAttachments(wall);
  FreeScene();
  RenderAllLayers();
  int withCutouts = 0;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next)
    if (po->children) {
      ++withCutouts;
      CarvedPlaneObject carved;
      EXPECT_TRUE(CarvePlaneObject(po, &carved));
    }
  EXPECT_GE(withCutouts, 2);
  RTInitializeGLScene();
  RTSetViewpoint(ds);
  RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
  glFinish();
  GLint vp[4];
  glGetIntegerv(GL_VIEWPORT, vp);
  std::vector<uint8_t> stencil(static_cast<size_t>(vp[2]) * vp[3], 7);
  glReadPixels(vp[0], vp[1], vp[2], vp[3], GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.data());
  EXPECT_EQ(std::count(stencil.begin(), stencil.end(), 0), static_cast<long>(stencil.size()));
  RTFinalizeGLScene();
  DeleteAllRendererObjects();
  ResetSceneDisplayList();
  ResetViewpointDisplayList();
  gLiveViewHost = saved;
}

}  // namespace
