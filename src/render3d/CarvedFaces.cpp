// Carving a plane object's cut-outs out of its planes with the GLU tessellator (no GL context
// needed): each plane that a cut-out lies in becomes the plane minus its cut-outs, in triangles.
#include "render3d/CarvedFaces.h"

#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <initializer_list>
#include <utility>

namespace render3d {
namespace {

using Vec = std::array<double, 3>;

double Dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec At(const PlaneVertex& v) { return {v.x, v.y, v.z}; }

// The Newell normal of an outline (its length is twice the area), wound as the outline is.
Vec NewellNormal(const PlaneVertex* v, int32_t n) {
  Vec s{0, 0, 0};
  for (int32_t i = 0; i < n; ++i) {
    const PlaneVertex& a = v[i];
    const PlaneVertex& b = v[(i + 1) % n];
    s[0] += (static_cast<double>(a.y) - b.y) * (static_cast<double>(a.z) + b.z);
    s[1] += (static_cast<double>(a.z) - b.z) * (static_cast<double>(a.x) + b.x);
    s[2] += (static_cast<double>(a.x) - b.x) * (static_cast<double>(a.y) + b.y);
  }
  return s;
}

// How far a point may lie off a plane and still be in it: float rounding of coordinates as
// large as the design's.
double Tolerance(const PlaneVertex& v) {
  const double most = std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
  return 0.02 + 8e-6 * most;
}

struct Box {
  double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
  void add(const PlaneVertex& v) {
    const double c[3] = {v.x, v.y, v.z};
    for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], c[k]), hi[k] = std::max(hi[k], c[k]);
  }
  bool overlaps(const Box& o, double slack) const {
    for (int k = 0; k < 3; ++k)
      if (lo[k] > o.hi[k] + slack || o.lo[k] > hi[k] + slack) return false;
    return true;
  }
};

// The two coordinates a plane is looked at in: the normal's largest component dropped.
struct Projection {
  int a = 0, b = 1;
  explicit Projection(const Vec& n) {
    const double x = std::fabs(n[0]), y = std::fabs(n[1]), z = std::fabs(n[2]);
    if (x >= y && x >= z) a = 1, b = 2;
    else if (y >= z) a = 2, b = 0;
    else a = 0, b = 1;
  }
  double u(const Vec& p) const { return p[a]; }
  double v(const Vec& p) const { return p[b]; }
};

double Cross2(const Projection& pr, const Vec& o, const Vec& p, const Vec& q) {
  return (pr.u(p) - pr.u(o)) * (pr.v(q) - pr.v(o)) - (pr.v(p) - pr.v(o)) * (pr.u(q) - pr.u(o));
}

// No turn against the others (straight runs allowed), and once around: an outline that
// turns one way all along but winds twice (a star) crosses itself.
bool Convex(const PlaneVertex* v, int32_t n, const Projection& pr) {
  int sign = 0;
  double turned = 0;
  for (int32_t i = 0; i < n; ++i) {
    const Vec a = At(v[i]), b = At(v[(i + 1) % n]), c = At(v[(i + 2) % n]);
    const double cross = Cross2(pr, a, b, c);
    const int s = cross > 0 ? 1 : cross < 0 ? -1 : 0;
    if (s == 0) continue;
    if (sign == 0) sign = s;
    else if (s != sign) return false;
    const double dot = (pr.u(b) - pr.u(a)) * (pr.u(c) - pr.u(b)) + (pr.v(b) - pr.v(a)) * (pr.v(c) - pr.v(b));
    turned += std::atan2(std::fabs(cross), dot);
  }
  constexpr double kOnce = 2 * 3.14159265358979323846;
  return sign == 0 || std::fabs(turned - kOnce) < 0.5;
}

// Barycentric weights of p in triangle (a, b, c) as projected; false for a flat triangle.
bool Weights(const Projection& pr, const Vec& a, const Vec& b, const Vec& c, const Vec& p, double w[3]) {
  const double area = Cross2(pr, a, b, c);
  if (area == 0) return false;
  w[0] = Cross2(pr, p, b, c) / area;
  w[1] = Cross2(pr, a, p, c) / area;
  w[2] = 1 - w[0] - w[1];
  return true;
}

// The plane being carved: how its draw gives texture coordinates at a point of it.
struct Face {
  const Plane* plane = nullptr;
  Vec normal{};  // unit, wound as the plane
  Projection pr{Vec{0, 0, 1}};
  Box box;

  // The texture coordinates the plane's triangles (a fan from its first vertex) interpolate
  // at p: in the fan triangle that holds p best.
  void textureAt(const Vec& p, float* u, float* v) const {
    const PlaneVertex* q = plane->vertices;
    double best = -1e300, bw[3] = {1, 0, 0};
    int32_t bi = 1;
    for (int32_t i = 1; i + 1 < plane->vertexCount; ++i) {
      double w[3];
      if (!Weights(pr, At(q[0]), At(q[i]), At(q[i + 1]), p, w)) continue;
      const double least = std::min({w[0], w[1], w[2]});
      if (least > best) best = least, bi = i, std::copy(w, w + 3, bw);
    }
    *u = static_cast<float>(bw[0] * q[0].u + bw[1] * q[bi].u + bw[2] * q[bi + 1].u);
    *v = static_cast<float>(bw[0] * q[0].v + bw[1] * q[bi].v + bw[2] * q[bi + 1].v);
  }

  // Whether the texture coordinates follow the plane linearly (then every split of it into
  // triangles interpolates them alike).
  bool linearTexture() const {
    const PlaneVertex* q = plane->vertices;
    for (int32_t k = 3; k < plane->vertexCount; ++k) {
      double w[3];
      if (!Weights(pr, At(q[0]), At(q[1]), At(q[2]), At(q[k]), w)) return false;
      const double u = w[0] * q[0].u + w[1] * q[1].u + w[2] * q[2].u;
      const double v = w[0] * q[0].v + w[1] * q[1].v + w[2] * q[2].v;
      if (std::fabs(u - q[k].u) > 1e-4 * (1 + std::fabs(q[k].u)) ||
          std::fabs(v - q[k].v) > 1e-4 * (1 + std::fabs(q[k].v)))
        return false;
    }
    return true;
  }
};

// A cut-out's outline (or one triangle of it), wound against the face.
using Contour = std::vector<PlaneVertex>;

// One tessellation's vertices (stable addresses for the tessellator) and output.
struct TessRecord {
  double at[3];
  PlaneVertex vertex;
};
struct TessState {
  const Face* face = nullptr;
  std::deque<TessRecord> records;
  std::vector<PlaneVertex>* out = nullptr;
  bool boundary = true;
  bool failed = false;
};

TessRecord* NewRecord(TessState* s, const PlaneVertex& v) {
  s->records.push_back(TessRecord{{v.x, v.y, v.z}, v});
  return &s->records.back();
}

void TessBegin(GLenum, void*) {}
void TessEnd(void*) {}
void TessEdgeFlag(GLboolean flag, void* data) { static_cast<TessState*>(data)->boundary = flag != GL_FALSE; }
void TessVertex(void* vertex, void* data) {
  auto* s = static_cast<TessState*>(data);
  PlaneVertex v = static_cast<TessRecord*>(vertex)->vertex;
  v.flag = s->boundary ? 0 : 1;
  s->out->push_back(v);
}
void TessCombine(GLdouble coords[3], void*[4], GLfloat[4], void** outData, void* data) {
  auto* s = static_cast<TessState*>(data);
  PlaneVertex v{static_cast<float>(coords[0]), static_cast<float>(coords[1]), static_cast<float>(coords[2]), 0, 0, 0};
  s->face->textureAt({coords[0], coords[1], coords[2]}, &v.u, &v.v);
  TessRecord* r = NewRecord(s, v);
  std::copy(coords, coords + 3, r->at);
  *outData = r;
}
void TessError(GLenum, void* data) { static_cast<TessState*>(data)->failed = true; }

template <typename F>
_GLUfuncptr Callback(F* f) {
  return reinterpret_cast<_GLUfuncptr>(f);
}

GLUtesselator* Tessellator() {
  static GLUtesselator* tess = [] {
    GLUtesselator* t = gluNewTess();
    if (!t) return t;
    gluTessCallback(t, GLU_TESS_BEGIN_DATA, Callback(TessBegin));
    gluTessCallback(t, GLU_TESS_END_DATA, Callback(TessEnd));
    gluTessCallback(t, GLU_TESS_VERTEX_DATA, Callback(TessVertex));
    gluTessCallback(t, GLU_TESS_EDGE_FLAG_DATA, Callback(TessEdgeFlag));  // triangles only
    gluTessCallback(t, GLU_TESS_COMBINE_DATA, Callback(TessCombine));
    gluTessCallback(t, GLU_TESS_ERROR_DATA, Callback(TessError));
    gluTessProperty(t, GLU_TESS_BOUNDARY_ONLY, GL_FALSE);
    // The face winds +1, every cut-out -1: what is left is the face outside all cut-outs.
    gluTessProperty(t, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_POSITIVE);
    return t;
  }();
  return tess;
}

void AddContour(GLUtesselator* tess, TessState* s, const PlaneVertex* v, int32_t n, bool reversed) {
  gluTessBeginContour(tess);
  for (int32_t i = 0; i < n; ++i) {
    TessRecord* r = NewRecord(s, v[reversed ? n - 1 - i : i]);
    gluTessVertex(tess, r->at, r);
  }
  gluTessEndContour(tess);
}

// The face minus the cut-outs, as triangles into `out`. False when the tessellator failed.
bool Tessellate(const Face& face, const std::vector<Contour>& holes, std::vector<PlaneVertex>* out) {
  GLUtesselator* tess = Tessellator();
  if (!tess) return false;
  TessState s;
  s.face = &face;
  s.out = out;
  gluTessNormal(tess, face.normal[0], face.normal[1], face.normal[2]);
  gluTessBeginPolygon(tess, &s);
  AddContour(tess, &s, face.plane->vertices, face.plane->vertexCount, false);
  for (const Contour& h : holes) AddContour(tess, &s, h.data(), static_cast<int32_t>(h.size()), false);
  gluTessEndPolygon(tess);
  if (out->size() % 3 != 0) s.failed = true;
  return !s.failed;
}

// A cut-out plane as the stencil takes it: its outline when convex (wound against the face),
// else the fan triangles its polygon is drawn as (each wound against the face). False for a
// concave quad (how it is split is the GL's).
bool HoleContours(const Plane* h, const Face& face, std::vector<Contour>* holes) {
  const PlaneVertex* v = h->vertices;
  const int32_t n = h->vertexCount;
  auto add = [&](std::initializer_list<PlaneVertex> pts) {
    Contour c(pts);
    const Vec hn = NewellNormal(c.data(), static_cast<int32_t>(c.size()));
    const double d = Dot(hn, face.normal);
    if (d == 0) return;  // flat: covers nothing
    if (d > 0) std::reverse(c.begin(), c.end());
    holes->push_back(std::move(c));
  };
  if (Convex(v, n, face.pr)) {
    Contour c(v, v + n);
    const double d = Dot(NewellNormal(v, n), face.normal);
    if (d == 0) return true;
    if (d > 0) std::reverse(c.begin(), c.end());
    holes->push_back(std::move(c));
    return true;
  }
  if (n == 4) return false;
  for (int32_t i = 1; i + 1 < n; ++i) add({v[0], v[i], v[i + 1]});
  return true;
}

bool InPlane(const Plane* h, const Face& face, double offset) {
  for (int32_t i = 0; i < h->vertexCount; ++i) {
    const PlaneVertex& v = h->vertices[i];
    if (std::fabs(Dot(face.normal, At(v)) - offset) > Tolerance(v)) return false;
  }
  return true;
}

bool Usable(const Plane* p) { return p && p->vertices && p->vertexCount >= 3; }

}  // namespace

bool CarvePlaneObject(const PlaneObject* po, CarvedPlaneObject* out) {
  out->planes.clear();
  out->carvedPlanes = 0;
  if (!po || !po->children) return false;

  // The object's planes.
  std::vector<Face> faces;
  std::vector<double> offsets;
  for (const Plane* p = po->planes; p; p = p->next) {
    Face f;
    f.plane = p;
    double offset = 0;
    if (Usable(p)) {
      const Vec n = NewellNormal(p->vertices, p->vertexCount);
      const double length = std::sqrt(Dot(n, n));
      if (length > 0) {
        f.normal = {n[0] / length, n[1] / length, n[2] / length};
        f.pr = Projection(f.normal);
        offset = Dot(f.normal, At(p->vertices[0]));
        for (int32_t i = 0; i < p->vertexCount; ++i) f.box.add(p->vertices[i]);
      }
    }
    faces.push_back(f);
    offsets.push_back(offset);
  }

  // Each cut-out plane goes to the planes it lies in and overlaps.
  std::vector<std::vector<const Plane*>> cuts(faces.size());
  for (const PlaneObject* c = po->children; c; c = c->next) {
    for (const Plane* h = c->planes; h; h = h->next) {
      if (!Usable(h)) continue;
      const Vec hn = NewellNormal(h->vertices, h->vertexCount);
      if (Dot(hn, hn) == 0) continue;  // covers nothing
      Box box;
      for (int32_t i = 0; i < h->vertexCount; ++i) box.add(h->vertices[i]);
      bool inSome = false;
      for (size_t k = 0; k < faces.size(); ++k) {
        const Face& f = faces[k];
        if (f.normal == Vec{0, 0, 0} || !InPlane(h, f, offsets[k])) continue;
        inSome = true;
        if (f.box.overlaps(box, Tolerance(h->vertices[0]))) cuts[k].push_back(h);
      }
      // Off every plane: the hole would be what the eye sees through it.
      if (!inSome) return false;
    }
  }

  out->planes.resize(faces.size());
  for (size_t k = 0; k < faces.size(); ++k) {
    CarvedPlane& cp = out->planes[k];
    cp.source = faces[k].plane;
    if (cuts[k].empty()) continue;
    const Face& f = faces[k];
    const int32_t n = f.plane->vertexCount;
    if (!Convex(f.plane->vertices, n, f.pr) || (n == 4 && !f.linearTexture())) {
      out->planes.clear();
      out->carvedPlanes = 0;
      return false;
    }
    std::vector<Contour> holes;
    for (const Plane* h : cuts[k])
      if (!HoleContours(h, f, &holes)) {
        out->planes.clear();
        out->carvedPlanes = 0;
        return false;
      }
    if (holes.empty()) continue;
    // The cut-outs' corners take the face's texture coordinates there.
    for (Contour& h : holes)
      for (PlaneVertex& v : h) f.textureAt(At(v), &v.u, &v.v);
    cp.whole = false;
    if (!Tessellate(f, holes, &cp.triangles)) {
      out->planes.clear();
      out->carvedPlanes = 0;
      return false;
    }
    ++out->carvedPlanes;
  }
  return true;
}

}  // namespace render3d
