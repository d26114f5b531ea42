// Foundation walls and topography excavations as holes in the lot: the cut-outs of the plan,
// the frame's marks on those that cannot trim cleanly, the cell touch tests and the trim loops
// handed to the GLU trimmer, and the lowered copies of cut-out faces for the real-time view.
#include "render3d/TopoCutouts.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Records.h"
#include "model/TopoGrid.h"

PlaneObject* gGLTopoTrimPlaneObjects = nullptr;

namespace {

constexpr int16_t kSubFoundationOnly = 1;  // plan mask of a wall shown only on the foundation plan
constexpr float kCrossingSlack = 2.0f;      // an intersection may lie this far outside a segment
constexpr float kEndTolerance = 0.01f;      // an intersection this near an end point is that point
constexpr float kParallel = 30000.0f;       // GetIntersection gives 32000, 32000 for parallel lines

bool Marked(const Objex* o) { return o->options[2] == kCutoutExcluded; }
void Mark(Objex* o) { o->options[2] = kCutoutExcluded; }

// An object's outline: its points in list order as records of six floats (x, 0, z, ...), the
// closing segment implied, and its x/z box.
struct Outline {
  std::vector<float> v;  // six floats a point
  int32_t count = 0;
  Float3DRect box;
  float x(int32_t i) const { return v[static_cast<size_t>(i) * 6]; }
  float z(int32_t i) const { return v[static_cast<size_t>(i) * 6 + 2]; }
};

Outline MakeOutline(const Objex* o) {
  Outline out;
  for (const Poinz* p = o ? o->firstPoint : nullptr; p; p = p->next) {
    out.v.insert(out.v.end(), {p->position[0], 0, p->position[2], 0, 0, 0});
    ++out.count;
  }
  out.box = CutoutBounds(o);
  return out;
}

float BoxArea(const Float3DRect& b) { return (b.floatRight - b.floatLeft) * (b.floatFront - b.floatBack); }

// Segment crossing: boxes first, then the lines' intersection, which must be a real point
// inside both boxes widened by the slack.
bool SegmentsCross(const TrimSegment& a, const TrimSegment& b, float* ix = nullptr, float* iz = nullptr) {
  if (!DoSegmentsBoundsTouch(a, b)) return false;
  float x = kParallel + 2000, z = kParallel + 2000;
  GetIntersection(a.x1, a.z1, a.x2, a.z2, b.x1, b.z1, b.x2, b.z2, &x, &z);
  if (!(x < kParallel && z < kParallel)) return false;
  if (!IsPointInSegmentsBounds(a, b, x, z)) return false;
  if (ix) *ix = x;
  if (iz) *iz = z;
  return true;
}

bool Near(float x, float z, float px, float pz) {
  return std::fabs(x - px) < kEndTolerance && std::fabs(z - pz) < kEndTolerance;
}

// Whether the segment crosses any segment of the closed outline.
bool CrossesOutline(const TrimSegment& s, const Outline& o) {
  for (int32_t i = 0; i < o.count; ++i) {
    const int32_t j = i + 1 == o.count ? 0 : i + 1;
    if (SegmentsCross(s, {o.x(i), o.z(i), o.x(j), o.z(j)})) return true;
  }
  return false;
}

bool InsideOutline(float x, float z, const Outline& o) {
  const float point[2] = {x, z};
  return IsPointInsideXZPolygon(point, o.v.data(), o.count) != 0;
}

bool OutlineInside(const Outline& outer, const Outline& inner) {
  if (inner.count < 1) return false;
  const Float3DRect& a = outer.box;
  const Float3DRect& b = inner.box;
  if (b.floatLeft < a.floatLeft || b.floatRight > a.floatRight || b.floatBack < a.floatBack ||
      b.floatFront > a.floatFront)
    return false;
  for (int32_t i = 0; i < inner.count; ++i)
    if (!InsideOutline(inner.x(i), inner.z(i), outer)) return false;
  return true;
}

// The cell's plan rectangle as a box (x from corner 0 to 2, z from corner 0 to 1, unflipped).
Float3DRect CellBox(const PatchCorners c) {
  Float3DRect b;
  b.floatLeft = std::min(c[0][0], c[2][0]), b.floatRight = std::max(c[0][0], c[2][0]);
  b.floatBack = std::min(-c[0][2], -c[1][2]), b.floatFront = std::max(-c[0][2], -c[1][2]);
  return b;
}

bool CellInside(const PatchCorners c, const Outline& o) {
  if (o.count <= 2) return false;
  const Float3DRect cell = CellBox(c);
  if (cell.floatLeft < o.box.floatLeft || cell.floatRight > o.box.floatRight || cell.floatBack < o.box.floatBack ||
      cell.floatFront > o.box.floatFront)
    return false;
  for (int k = 0; k < 4; ++k)
    if (!InsideOutline(c[k][0], -c[k][2], o)) return false;
  return true;
}

TrimSegment Edge(const float* a, const float* b) { return {a[0], -a[2], b[0], -b[2]}; }

// The touch test of one cut-out's outline: 1 and whether the cell lies wholly inside.
int16_t TouchOutline(const PatchCorners c, const Outline& o, uint8_t* wholeInside) {
  if (!DoBoundsTouch(CellBox(c), o.box)) return 0;
  if (CellInside(c, o)) {
    if (wholeInside) *wholeInside = 1;
    return 1;
  }
  static constexpr int kEdges[4][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}};
  for (const auto& e : kEdges)
    if (CrossesOutline(Edge(c[e[0]], c[e[1]]), o)) return 1;
  return 0;
}

// The layers searched for cut-outs: "First Floor" and every layer after it (every layer when
// the design has no "First Floor", as the scene is built).
Layer* FirstSearchedLayer() {
  if (!gCurDocument) return nullptr;
  Layer* layer = GetLayerFromName(kFirstFloorName);
  return layer ? layer : gCurDocument->itsLayers;
}

template <typename Visit>
void ForEachObjectTree(Objex* o, bool allChildren, Visit& visit) {
  for (; o; o = o->next) {
    visit(o);
    if (allChildren || o->type == kObjGroup) ForEachObjectTree(o->firstChild, allChildren, visit);
  }
}

// A usable cut-out of the current lot render, kept from FindIntersectingTopoCutouts to
// ResetIntersectingFlags so that the cells do not walk the design.
struct UsableCutout {
  const Objex* object;
  Outline outline;
  bool trims;  // passes IsObjectPWLCompatible
};
struct CutoutCache {
  bool valid = false;
  std::vector<UsableCutout> touching;  // in the touch test's order (groups searched)
  std::vector<UsableCutout> trimming;  // in the trim loops' order (all children searched)
};
CutoutCache sCache;

void FillCache() {
  sCache = CutoutCache{};
  sCache.valid = true;
  auto touch = [](Objex* o) {
    if (IsTopoCutout(o) && !Marked(o) && o->firstPoint && o->firstPoint->next && o->firstPoint->next->next)
      sCache.touching.push_back({o, MakeOutline(o), false});
  };
  auto trim = [](Objex* o) {
    if (!IsTopoCutout(o) || Marked(o)) return;
    Outline outline = MakeOutline(o);
    if (outline.count > 2 && IsObjectPWLCompatible(o)) sCache.trimming.push_back({o, std::move(outline), true});
  };
  for (Layer* l = FirstSearchedLayer(); l; l = l->next) {
    ForEachObjectTree(l->firstObject, false, touch);
    ForEachObjectTree(l->firstObject, true, trim);
  }
}

// The trim loop of one outline in the patch's parameter space, clockwise there.
TrimLoop LoopOf(const Outline& o, const PatchCorners c) {
  const float x0 = c[0][0], x2 = c[2][0], z0 = c[0][2], z1 = c[1][2];
  TrimLoop loop;
  loop.reserve(static_cast<size_t>(o.count + 1) * 2);
  for (int32_t i = 0; i <= o.count; ++i) {
    const int32_t k = i == o.count ? 0 : i;
    loop.push_back((o.x(k) - x0) / (x2 - x0));
    loop.push_back((z0 + o.z(k)) / (z0 - z1));
  }
  // The plan outline's winding (x, z): counter-clockwise there is counter-clockwise in (u, v),
  // the outer loop's way: such a loop is reversed, keeping its first point.
  double sum = 0;
  for (int32_t i = 0; i < o.count; ++i) {
    const int32_t j = i + 1 == o.count ? 0 : i + 1;
    sum += static_cast<double>(o.x(i)) * o.z(j) - static_cast<double>(o.z(i)) * o.x(j);
  }
  if (sum >= 0) {
    for (size_t a = 1, b = loop.size() / 2 - 2; a < b; ++a, --b) {
      std::swap(loop[a * 2], loop[b * 2]);
      std::swap(loop[a * 2 + 1], loop[b * 2 + 1]);
    }
  }
  return loop;
}

bool LoopMeetsUnitSquare(const TrimLoop& loop) {
  float minU = loop[0], maxU = loop[0], minV = loop[1], maxV = loop[1];
  for (size_t i = 2; i + 1 < loop.size(); i += 2) {
    minU = std::min(minU, loop[i]), maxU = std::max(maxU, loop[i]);
    minV = std::min(minV, loop[i + 1]), maxV = std::max(maxV, loop[i + 1]);
  }
  return maxU >= 0 && minU <= 1 && maxV >= 0 && minV <= 1;
}

bool CellUsable(const PatchCorners c) { return c && c[2][0] != c[0][0] && c[0][2] != c[1][2]; }

// ---- Marking ----

struct Candidate {
  Objex* object;
  int32_t layer;  // position of its layer among the searched ones
  size_t end;     // one past the last candidate among its children
  Outline outline;
};

void Collect(Objex* o, int32_t layer, std::vector<Candidate>& out) {
  for (; o; o = o->next) {
    if (IsTopoCutout(o)) {
      const size_t at = out.size();
      out.push_back({o, layer, 0, MakeOutline(o)});
      Collect(o->firstChild, layer, out);
      out[at].end = out.size();
    } else {
      Collect(o->firstChild, layer, out);
    }
  }
}

// A box the grid can file: finite corners, left to right and back to front.
bool RegularBox(const Float3DRect& b) {
  return std::isfinite(b.floatLeft) && std::isfinite(b.floatRight) && std::isfinite(b.floatBack) &&
         std::isfinite(b.floatFront) && b.floatLeft <= b.floatRight && b.floatBack <= b.floatFront;
}

// The candidates' boxes filed in a uniform grid of the plan, so that a cut-out is compared only
// with those whose boxes touch its own. Boxes that are not regular or span many cells are kept
// apart and offered to every look-up; the exact box test decides as before.
class CandidateGrid {
 public:
  explicit CandidateGrid(const std::vector<Candidate>& all) : all_(all) {
    double left = 0, right = 0, back = 0, front = 0;
    std::vector<double> extents;
    for (const Candidate& c : all) {
      const Float3DRect& b = c.outline.box;
      if (!RegularBox(b)) continue;
      if (extents.empty()) left = b.floatLeft, right = b.floatRight, back = b.floatBack, front = b.floatFront;
      left = std::min<double>(left, b.floatLeft), right = std::max<double>(right, b.floatRight);
      back = std::min<double>(back, b.floatBack), front = std::max<double>(front, b.floatFront);
      extents.push_back(std::max<double>(b.floatRight - b.floatLeft, b.floatFront - b.floatBack));
    }
    if (extents.empty()) {
      for (size_t i = 0; i < all.size(); ++i) loose_.push_back(i);
      return;
    }
    // Cells about the size of the middle cut-out (the few large ones are kept apart), at most
    // some four to a candidate.
    const double width = right - left, depth = front - back;
    std::nth_element(extents.begin(), extents.begin() + static_cast<std::ptrdiff_t>(extents.size() / 2), extents.end());
    size_ = std::max(extents[extents.size() / 2], 1e-3);
    const double most = 4.0 * static_cast<double>(all.size()) + 16.0;
    if ((width / size_ + 1) * (depth / size_ + 1) > most) size_ = std::max(size_, std::sqrt(width * depth / most) * 1.01);
    while ((width / size_ + 1) * (depth / size_ + 1) > most) size_ *= 2;
    left_ = left, back_ = back;
    columns_ = static_cast<int64_t>(width / size_) + 1;
    rows_ = static_cast<int64_t>(depth / size_) + 1;
    cells_.resize(static_cast<size_t>(columns_ * rows_));
    for (size_t i = 0; i < all.size(); ++i) {
      int64_t x0, x1, z0, z1;
      if (!Span(all[i].outline.box, &x0, &x1, &z0, &z1) || (x1 - x0 + 1) * (z1 - z0 + 1) > kMostCells) {
        loose_.push_back(i);
        continue;
      }
      for (int64_t z = z0; z <= z1; ++z)
        for (int64_t x = x0; x <= x1; ++x) cells_[static_cast<size_t>(z * columns_ + x)].push_back(i);
    }
  }

  // The candidates from `first` on whose boxes touch `box`, in candidate order: every one the
  // plain walk over them would find touching.
  void Touching(const Float3DRect& box, size_t first, std::vector<size_t>* out) {
    out->clear();
    int64_t x0, x1, z0, z1;
    if (!Span(box, &x0, &x1, &z0, &z1) || (x1 - x0 + 1) * (z1 - z0 + 1) > columns_ * rows_ / 2) {
      for (size_t j = first; j < all_.size(); ++j)
        if (DoBoundsTouch(box, all_[j].outline.box)) out->push_back(j);
      return;
    }
    // Each candidate once (a box spans several cells), then in candidate order.
    ++query_;
    auto offer = [&](size_t j) {
      if (j < first || seen_[j] == query_) return;
      seen_[j] = query_;
      if (DoBoundsTouch(box, all_[j].outline.box)) out->push_back(j);
    };
    for (int64_t z = z0; z <= z1; ++z)
      for (int64_t x = x0; x <= x1; ++x)
        for (size_t j : cells_[static_cast<size_t>(z * columns_ + x)]) offer(j);
    for (size_t j : loose_) offer(j);
    std::sort(out->begin(), out->end());
  }

 private:
  static constexpr int64_t kMostCells = 64;

  // The cells a regular box covers (clamped to the grid: the mapping only grows with x and z,
  // so two boxes that touch share a cell).
  bool Span(const Float3DRect& b, int64_t* x0, int64_t* x1, int64_t* z0, int64_t* z1) const {
    if (cells_.empty() || !RegularBox(b)) return false;
    auto cell = [this](double v, double origin, int64_t count) {
      const double c = std::floor((v - origin) / size_);
      if (!(c > 0)) return int64_t{0};
      return c >= static_cast<double>(count - 1) ? count - 1 : static_cast<int64_t>(c);
    };
    *x0 = cell(b.floatLeft, left_, columns_), *x1 = cell(b.floatRight, left_, columns_);
    *z0 = cell(b.floatBack, back_, rows_), *z1 = cell(b.floatFront, back_, rows_);
    return true;
  }

  const std::vector<Candidate>& all_;
  std::vector<std::vector<size_t>> cells_;
  std::vector<size_t> loose_;
  std::vector<uint64_t> seen_ = std::vector<uint64_t>(all_.size(), 0);  // the last look-up that met each
  uint64_t query_ = 0;
  double left_ = 0, back_ = 0, size_ = 1;
  int64_t columns_ = 0, rows_ = 0;
};

// Compares cut-out i with the cut-outs of its own layer and the layers after it: only those
// whose boxes touch its own can take part, met in candidate order.
void MarkAgainstOthers(std::vector<Candidate>& all, size_t i, size_t firstOfLayer, CandidateGrid& grid,
                       std::vector<size_t>* near) {
  Candidate& a = all[i];
  const Outline& A = a.outline;
  if (A.count <= 0) return;
  grid.Touching(A.box, firstOfLayer, near);
  for (int32_t k = 0; k < A.count; ++k) {
    const int32_t next = k + 1 == A.count ? 0 : k + 1;
    const TrimSegment segment{A.x(k), A.z(k), A.x(next), A.z(next)};
    size_t skipTo = 0;  // past the children of a cut-out just settled
    for (size_t j : *near) {
      if (j < skipTo) continue;
      Candidate& b = all[j];
      if (b.object == a.object || b.object->objectID == a.object->objectID || Marked(b.object)) continue;
      if (OutlineInside(A, b.outline)) {
        Mark(b.object);
        skipTo = b.end;
      } else if (OutlineInside(b.outline, A)) {
        Mark(a.object);
        return;
      } else if (CrossesOutline(segment, b.outline)) {
        Mark(BoxArea(b.outline.box) < BoxArea(A.box) ? b.object : a.object);
        skipTo = b.end;
      }
    }
  }
}

template <typename Visit>
void ForEachCutoutOfSearchedLayers(Visit visit) {
  auto each = [&](Objex* o) {
    if (IsTopoCutout(o)) visit(o);
  };
  for (Layer* l = FirstSearchedLayer(); l; l = l->next) ForEachObjectTree(l->firstObject, true, each);
}

// A copy of the plane object's materials, links and polygons (not linked anywhere).
PlaneObject* CopyPlaneObject(const PlaneObject* p) {
  PlaneObject* copy = CreatePlaneObject();
  if (!copy) return nullptr;
  copy->planeClass = p->planeClass;
  copy->renderKind = p->renderKind;
  copy->partType = p->partType;
  copy->colorA = p->colorA, copy->colorB = p->colorB;
  copy->textureIdA = p->textureIdA, copy->textureIdB = p->textureIdB;
  std::memcpy(copy->textureScaleA, p->textureScaleA, sizeof copy->textureScaleA);
  std::memcpy(copy->textureScaleB, p->textureScaleB, sizeof copy->textureScaleB);
  std::memcpy(copy->textureSizeA, p->textureSizeA, sizeof copy->textureSizeA);
  std::memcpy(copy->textureSizeB, p->textureSizeB, sizeof copy->textureSizeB);
  copy->sourceObject = p->sourceObject;
  copy->base2DObject = p->base2DObject;
  copy->actual3DObject = p->actual3DObject;
  copy->actual3DType = p->actual3DType;
  std::memcpy(copy->billboardSize, p->billboardSize, sizeof copy->billboardSize);
  for (const Plane* plane = p->planes; plane; plane = plane->next) {
    if (!plane->vertices || plane->vertexCount < 1) continue;
    const size_t bytes = static_cast<size_t>(plane->vertexCount) * sizeof(PlaneVertex);
    auto* v = static_cast<PlaneVertex*>(malloc(bytes));
    if (!v) continue;
    std::memcpy(v, plane->vertices, bytes);
    AppendPlane(v, plane->vertexCount, plane->normal[0], plane->normal[1], plane->normal[2], copy);
  }
  return copy;
}

void LinkAfter(PlaneObject*& tail, PlaneObject* copy) {
  if (!copy) return;
  copy->next = nullptr;
  copy->prev = tail;
  if (tail) tail->next = copy;
  else gGLTopoTrimPlaneObjects = copy;
  tail = copy;
}

template <typename Set>
void SetHeights(PlaneObject* p, Set set) {
  for (Plane* plane = p->planes; plane; plane = plane->next)
    for (int32_t k = 0; plane->vertices && k < plane->vertexCount; ++k) set(plane->vertices[k], k);
}

}  // namespace

// ---- Public routines ----

bool IsTopoCutout(const Objex* o) {
  if (!o) return false;
  if (o->type == kObjTopoExcavation) return true;
  return o->type == kObjWall && o->subtype == kSubExteriorWall && o->planMask == kSubFoundationOnly;
}

Float3DRect CutoutBounds(const Objex* o) {
  Float3DRect b;
  bool any = false;
  for (const Poinz* p = o ? o->firstPoint : nullptr; p; p = p->next) {
    const float x = p->position[0], z = p->position[2];
    if (!any) {
      b.floatLeft = b.floatRight = x, b.floatBack = b.floatFront = z;
      any = true;
    } else {
      b.floatLeft = std::min(b.floatLeft, x), b.floatRight = std::max(b.floatRight, x);
      b.floatBack = std::min(b.floatBack, z), b.floatFront = std::max(b.floatFront, z);
    }
  }
  return b;
}

int DoBoundsTouch(const Float3DRect& a, const Float3DRect& b) {
  return a.floatLeft <= b.floatRight && b.floatLeft <= a.floatRight && a.floatBack <= b.floatFront &&
         b.floatBack <= a.floatFront;
}

int DoSegmentsBoundsTouch(const TrimSegment& a, const TrimSegment& b) {
  return std::min(a.x1, a.x2) <= std::max(b.x1, b.x2) && std::min(b.x1, b.x2) <= std::max(a.x1, a.x2) &&
         std::min(a.z1, a.z2) <= std::max(b.z1, b.z2) && std::min(b.z1, b.z2) <= std::max(a.z1, a.z2);
}

int IsPointInSegmentsBounds(const TrimSegment& a, const TrimSegment& b, float x, float z) {
  auto within = [x, z](const TrimSegment& s) {
    return x >= std::min(s.x1, s.x2) - kCrossingSlack && x <= std::max(s.x1, s.x2) + kCrossingSlack &&
           z >= std::min(s.z1, s.z2) - kCrossingSlack && z <= std::max(s.z1, s.z2) + kCrossingSlack;
  };
  return within(a) && within(b);
}

int DoesNurbSegmentIntersectObject(const float* a, const float* b, const Objex* object) {
  if (!a || !b || !object) return 0;
  return CrossesOutline(Edge(a, b), MakeOutline(object));
}

int IsWholeNurbInsideObject(const PatchCorners corners, const Objex* object) {
  if (!corners || !object) return 0;
  return CellInside(corners, MakeOutline(object));
}

int IsObjectInsideObject(const Objex* outer, const Objex* inner) {
  if (!outer || !inner || !inner->firstPoint) return 0;
  return OutlineInside(MakeOutline(outer), MakeOutline(inner));
}

int DoesSegmentIntersectObject(const Poinz* point, const Poinz* nextPoint, const Objex* object) {
  if (!point || !nextPoint || !object) return 0;
  const TrimSegment s{point->position[0], point->position[2], nextPoint->position[0], nextPoint->position[2]};
  for (const Poinz* p = object->firstPoint; p && p->next; p = p->next) {
    const Poinz* q = p->next;
    const TrimSegment t{p->position[0], p->position[2], q->position[0], q->position[2]};
    float x, z;
    if (!SegmentsCross(s, t, &x, &z)) continue;
    // A meeting at an end the two segments share is no crossing.
    bool shared = false;
    for (const auto& e : {std::pair{s.x1, s.z1}, std::pair{s.x2, s.z2}})
      if (Near(x, z, e.first, e.second) && (Near(e.first, e.second, t.x1, t.z1) || Near(e.first, e.second, t.x2, t.z2)))
        shared = true;
    if (!shared) return 1;
  }
  return 0;
}

int DoesObjIntersectItself(const Objex* object) {
  if (!object || !object->firstPoint) return 0;
  int32_t count = 0;
  const Poinz* last = nullptr;
  for (const Poinz* p = object->firstPoint; p; p = p->next) ++count, last = p;
  if (count < 4) return 0;
  for (const Poinz* p = object->firstPoint; p->next; p = p->next)
    if (DoesSegmentIntersectObject(p, p->next, object)) return 1;
  return DoesSegmentIntersectObject(last, object->firstPoint, object);
}

int IsObjectPWLCompatible(const Objex* object) {
  if (!gCurDocument) return 0;
  if (!object || !object->firstPoint) return 1;
  const Poinz* last = object->firstPoint;
  while (last->next) last = last->next;
  const TrimSegment closing{last->position[0], last->position[2], object->firstPoint->position[0],
                            object->firstPoint->position[2]};
  for (const Poinz* p = object->firstPoint; p->next; p = p->next) {
    const Poinz* q = p->next;
    const TrimSegment t{p->position[0], p->position[2], q->position[0], q->position[2]};
    float x, z;
    if (!SegmentsCross(closing, t, &x, &z)) continue;
    if (Near(x, z, closing.x1, closing.z1) || Near(x, z, closing.x2, closing.z2) || Near(x, z, t.x1, t.z1) ||
        Near(x, z, t.x2, t.z2))
      continue;
    return 0;
  }
  return 1;
}

int AreAnyPointsInsideObjectBounds(const PatchCorners c, const Objex* object) {
  if (!c || !object) return 0;
  const Float3DRect b = CutoutBounds(object);
  for (int k = 0; k < 4; ++k) {
    const float x = c[k][0], z = -c[k][2];
    if (x >= b.floatLeft && x <= b.floatRight && z >= b.floatBack && z <= b.floatFront) return 1;
  }
  const Float3DRect cell = CellBox(c);
  const bool straddleX = cell.floatLeft <= b.floatLeft && cell.floatRight >= b.floatRight;
  const bool straddleZ = cell.floatBack <= b.floatBack && cell.floatFront >= b.floatFront;
  const bool overlapX = cell.floatLeft <= b.floatRight && cell.floatRight >= b.floatLeft;
  const bool overlapZ = cell.floatBack <= b.floatFront && cell.floatFront >= b.floatBack;
  return (straddleX && overlapZ) || (straddleZ && overlapX) ? 1 : 0;
}

void FindIntersectingTopoCutouts() {
  sCache = CutoutCache{};
  if (!gCurDocument) return;
  std::vector<Candidate> all;
  std::vector<size_t> layerStart;
  int32_t index = 0;
  for (Layer* l = FirstSearchedLayer(); l; l = l->next, ++index) {
    layerStart.push_back(all.size());
    Collect(l->firstObject, index, all);
  }
  CandidateGrid grid(all);
  std::vector<size_t> near;
  for (size_t i = 0; i < all.size(); ++i) {
    Candidate& a = all[i];
    if (!Marked(a.object) && DoesObjIntersectItself(a.object)) {
      Mark(a.object);
      continue;
    }
    MarkAgainstOthers(all, i, layerStart[static_cast<size_t>(a.layer)], grid, &near);
  }
  FillCache();
}

void ResetIntersectingFlags() {
  sCache = CutoutCache{};
  ForEachCutoutOfSearchedLayers([](Objex* o) { o->options[2] = 0; });
}

int16_t DoesNurbPatchTouchObjectCutout(const Objex* object, const PatchCorners corners, uint8_t* wholeInside) {
  if (!object || !CellUsable(corners)) return 0;
  if (object->type == kObjGroup) {
    for (const Objex* child = object->firstChild; child; child = child->next)
      if (DoesNurbPatchTouchObjectCutout(child, corners, wholeInside)) return 1;
    return 0;
  }
  if (!IsTopoCutout(object) || Marked(object)) return 0;
  const Outline o = MakeOutline(object);
  if (o.count < 3) return 0;
  return TouchOutline(corners, o, wholeInside);
}

int16_t DoesNurbPatchTouchCutouts(const PatchCorners corners, uint8_t* wholeInside) {
  if (!CellUsable(corners)) return 0;
  if (sCache.valid) {
    for (const UsableCutout& c : sCache.touching)
      if (TouchOutline(corners, c.outline, wholeInside)) return 1;
    return 0;
  }
  for (Layer* l = FirstSearchedLayer(); l; l = l->next)
    for (const Objex* o = l->firstObject; o; o = o->next)
      if (DoesNurbPatchTouchObjectCutout(o, corners, wholeInside)) return 1;
  return 0;
}

void CollectTrimLoops(const PatchCorners corners, bool onlyOverlapping, std::vector<TrimLoop>* loops) {
  if (!loops || !CellUsable(corners)) return;
  auto add = [&](const Outline& o) {
    TrimLoop loop = LoopOf(o, corners);
    if (!onlyOverlapping || LoopMeetsUnitSquare(loop)) loops->push_back(std::move(loop));
  };
  if (sCache.valid) {
    for (const UsableCutout& c : sCache.trimming) add(c.outline);
    return;
  }
  ForEachCutoutOfSearchedLayers([&](Objex* o) {
    if (Marked(o)) return;
    Outline outline = MakeOutline(o);
    if (outline.count > 2 && IsObjectPWLCompatible(o)) add(outline);
  });
}

void EmitTrimLoop(GLUnurbs* nurbs, const TrimLoop& loop) {
  if (!nurbs || loop.size() < 8) return;
  gluBeginTrim(nurbs);
  gluPwlCurve(nurbs, static_cast<GLint>(loop.size() / 2), const_cast<GLfloat*>(loop.data()), 2, GLU_MAP1_TRIM_2);
  gluEndTrim(nurbs);
}

void RenderPWLCurves(GLUnurbs* nurbs, const PatchCorners corners) {
  std::vector<TrimLoop> loops;
  CollectTrimLoops(corners, false, &loops);
  for (const TrimLoop& loop : loops) EmitTrimLoop(nurbs, loop);
}

void RenderPWLCurve(const Objex* object, GLUnurbs* nurbs, const PatchCorners corners) {
  if (!object || !CellUsable(corners)) return;
  if (IsTopoCutout(object) && !Marked(object)) {
    const Outline o = MakeOutline(object);
    if (o.count > 2 && IsObjectPWLCompatible(object)) EmitTrimLoop(nurbs, LoopOf(o, corners));
  }
  for (const Objex* child = object->firstChild; child; child = child->next) RenderPWLCurve(child, nurbs, corners);
}

// ---- Real-time trim copies ----

void DeleteTopoTrimObjectList() {
  for (PlaneObject* p = gGLTopoTrimPlaneObjects; p;) {
    PlaneObject* next = p->next;
    DeletePlaneObject(p);
    p = next;
  }
  gGLTopoTrimPlaneObjects = nullptr;
}

PlaneObject* CopyPlaneObjectToTopoTrimList(PlaneObject* planeObject) {
  if (!planeObject) return nullptr;
  PlaneObject* copy = CopyPlaneObject(planeObject);
  PlaneObject* tail = gGLTopoTrimPlaneObjects;
  while (tail && tail->next) tail = tail->next;
  LinkAfter(tail, copy);
  return copy;
}

void SetupTopoTrimObjectList() {
  DeleteTopoTrimObjectList();
  DocState* ds = CurDocState();
  if (!ds) return;
  const float e = ds->walkEyeHeight();
  const float levels[6] = {-e + 0.01f, -e + 0.1f, 0.75f - e, -e - 0.01f, -e - 0.1f, -0.75f - e};
  PlaneObject* tail = nullptr;
  for (PlaneObject* p = gGLPlaneObjects; p; p = p->next) {
    const Objex* source = p->sourceObject;
    if (!source || (source->subtype != kSubExteriorWall && source->subtype != kObjTopoExcavation)) continue;
    if (p->partType == 36 || p->partType == kObjExcavationPass) {
      for (float level : levels) {
        PlaneObject* copy = CopyPlaneObject(p);
        if (!copy) continue;
        SetHeights(copy, [level](PlaneVertex& v, int32_t) { v.y = level; });
        LinkAfter(tail, copy);
      }
    } else if (p->partType == kObjTopoExcavation || p->renderKind == 3) {
      PlaneObject* copy = CopyPlaneObject(p);
      if (!copy) continue;
      SetHeights(copy, [](PlaneVertex& v, int32_t k) {
        if (k == 0 || k == 3) v.y = 10000;
        else if (k == 1 || k == 2) v.y = -10000;
      });
      LinkAfter(tail, copy);
    }
  }
}
