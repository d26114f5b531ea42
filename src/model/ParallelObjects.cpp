// Offset copies and bands of outlines, the inside test of an outline, detail line
// weight and pattern, root bounds of groups, centring, axis swaps and lookup by ID.
#include "model/ParallelObjects.h"

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "model/Bounds.h"
#include "model/CommandWalkers.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/ExtrudeFlip.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/ObjectTransforms.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/SelectionClick.h"
#include "model/Services.h"
#include "model/TransformInfo.h"

namespace {

struct OffsetSegment {
  float sx, sz, ex, ez;
};

// The plan segment p0 -> p1 (positions, xyz) offset sideways: the arithmetic of
// GetParallelPoints.
OffsetSegment Offset(const float* p0, const float* p1, int16_t side, float distance) {
  float dx = p1[0] - p0[0];
  float dz = p1[2] - p0[2];
  float length = std::sqrt(dx * dx + dz * dz);
  float ox = 0, oz = 0;
  if (length > 0) {
    ox = side * distance * dz / length;
    oz = side * distance * -dx / length;
  }
  return OffsetSegment{p0[0] + ox, p0[2] + oz, p1[0] + ox, p1[2] + oz};
}

// The positions (xyz, appended to `out`) of the outline through the n positions `pts`
// offset by `distance` to `side` (+1 or -1): segment offsets meet at their crossing when it
// lies near the plan, and each point but the first takes its predecessor's level.
void OffsetPositions(const float* const* pts, size_t n, bool closed, int16_t side, float distance,
                     const FloatRect& plan, std::vector<float>* out) {
  for (size_t i = 0; i < n; ++i) {
    const float* p = pts[i];
    const float* prev = i > 0 ? pts[i - 1] : (closed ? pts[n - 1] : nullptr);
    const float* next = i + 1 < n ? pts[i + 1] : (closed ? pts[0] : nullptr);
    float x = p[0], y = p[1], z = p[2];
    if (prev && next) {
      OffsetSegment in = Offset(prev, p, side, distance);
      OffsetSegment o = Offset(p, next, side, distance);
      float cx = 32000, cz = 32000;
      GetIntersection(in.sx, in.sz, in.ex, in.ez, o.sx, o.sz, o.ex, o.ez, &cx, &cz);
      bool inside = std::isfinite(cx) && std::isfinite(cz) && cx >= plan.floatLeft - 100 &&
                    cx <= plan.floatRight + 100 && cz >= plan.floatTop - 100 && cz <= plan.floatBottom + 100;
      x = inside ? cx : o.sx;
      z = inside ? cz : o.sz;
      y = prev[1];
    } else if (next) {
      OffsetSegment o = Offset(p, next, side, distance);
      x = o.sx, z = o.sz;
    } else if (prev) {
      OffsetSegment in = Offset(prev, p, side, distance);
      x = in.ex, z = in.ez;
      y = prev[1];
    }
    out->insert(out->end(), {x, y, z});
  }
}

// Rounded to a 16-bit integer by adding 0.5 and truncating toward zero.
int16_t RoundShort(float v) {
  double r = std::trunc(static_cast<double>(v) + 0.5);
  if (!(r >= -32768)) return -32768;
  if (r > 32767) return 32767;
  return static_cast<int16_t>(r);
}

// Non-zero winding containment of (px, py) in the closed polygon.
bool PolygonContains(const std::vector<std::pair<int, int>>& poly, int px, int py) {
  int winding = 0;
  size_t n = poly.size();
  for (size_t i = 0; i < n; ++i) {
    auto [x0, y0] = poly[i];
    auto [x1, y1] = poly[(i + 1) % n];
    long long cross = static_cast<long long>(x1 - x0) * (py - y0) - static_cast<long long>(px - x0) * (y1 - y0);
    if (y0 <= py) {
      if (y1 > py && cross > 0) ++winding;
    } else if (y1 <= py && cross < 0) {
      --winding;
    }
  }
  return winding != 0;
}

Objex* OffsetCopy(Objex* obj, int16_t sideCode, float distance, uint8_t append) {
  DocState* ds = CurDocState();
  if (!obj || !obj->firstPoint || !ds) return nullptr;
  Objex* copy = CreateObject(obj->type, obj->closed, obj->visible, &obj->penColor, &obj->fillColor, obj->width,
                             obj->penStyle, obj->fillPattern, &obj->bounds, nullptr, nullptr, nullptr,
                             obj->layer, nullptr);
  if (!copy) return nullptr;
  int16_t side = sideCode == kParallelSide8 ? -1 : 1;
  std::vector<const float*> pts;
  for (const Poinz* p = obj->firstPoint; p; p = p->next) pts.push_back(p->position);
  std::vector<float> positions;
  positions.reserve(3 * pts.size());
  OffsetPositions(pts.data(), pts.size(), obj->closed != 0, side, distance, ds->planBounds, &positions);
  for (size_t i = 0; i < pts.size(); ++i) {
    const float* q = &positions[3 * i];
    if (Poinz* np = CreatePoint(1, 1, 0, 0, 0, 0, q[0], q[1], q[2], 0, 0, 0, 0, 0, 0, copy))
      AppendPointToObject(np, copy);
  }
  if (append) AppendObjectToLayer(copy, obj->layer);
  UpdateObjectBounds(copy);
  return copy;
}

void AppendPointAt(Objex* obj, const Poinz* at) {
  if (Poinz* p = CreatePoint(1, at->selected, 0, 0, 0, 0, at->position[0], at->position[1], at->position[2], 0,
                             0, 0, 0, 0, 0, obj))
    AppendPointToObject(p, obj);
}

void SwapPointAxes(Objex* obj, int a, int b) {
  if (!obj) return;
  for (Poinz* p = obj->firstPoint; p; p = p->next)
    for (float* v : {p->position, p->inHandle, p->outHandle}) std::swap(v[a], v[b]);
}

void RootBoundsReset(FloatRect* rect) {
  if (rect) *rect = FloatRect{};
}

// Moves the concerned objects by `move` in the plan and returns their new 2D bounds.
void MoveAndMeasure(Layer* layer, bool allLayers, uint8_t selectedOnly, float mx, float mz, FloatRect* rect) {
  TransformInfo xform{};
  xform.delta[0] = mx;
  xform.delta[2] = mz;
  CommandArg arg = CommandArg::Transform(&xform);
  FloatRect bounds = EmptyFloatRect();
  if (allLayers) {
    SelectedObjectAllLayers(layer, selectedOnly, kCmdTranslateObjects, arg);
    GetAllLayersBounds(layer, selectedOnly, &bounds, 0, 0);
  } else {
    SelectedObjectLayer(layer, selectedOnly, kCmdTranslateObjects, arg);
    GetLayerBounds(layer, selectedOnly, &bounds, 0, 0);
  }
  *rect = bounds;
}

// The move that centres the box in the plan bounds; false when nothing was measured.
bool CentringMove(const Float3DRect& box, float* mx, float* mz) {
  DocState* ds = CurDocState();
  if (!ds || IsEmptyBounds(box)) return false;
  int top = RoundShort(ds->planBounds.floatTop), left = RoundShort(ds->planBounds.floatLeft);
  int bottom = RoundShort(ds->planBounds.floatBottom), right = RoundShort(ds->planBounds.floatRight);
  int across = left + (right - left) / 2;
  int down = top + (bottom - top) / 2;
  *mx = static_cast<float>(across) - (box.floatLeft + (box.floatRight - box.floatLeft) * 0.5f);
  *mz = static_cast<float>(down) - (box.floatBack + (box.floatFront - box.floatBack) * 0.5f);
  return true;
}

// Centres the objects of every floor (or the selected ones) in the plan bounds, with
// `inWindow` moved on by the view offset (unzoomed), and returns their new 2D bounds in *rect.
void CenterAllLayers(uint8_t selectedOnly, FloatRect* rect, bool inWindow) {
  RootBoundsReset(rect);
  if (!rect || !gCurDocument || !CurDocState()) return;
  Float3DRect box = EmptyFloat3DRect();
  GetAllLayers3DBounds(gCurDocument->itsLayers, selectedOnly, &box, 0);
  float mx, mz;
  if (!CentringMove(box, &mx, &mz)) return;
  if (inWindow) {
    mx += UnzoomF(gGlobalXOffset);
    mz += UnzoomF(gGlobalZOffset);
  }
  MoveAndMeasure(gCurDocument->itsLayers, true, selectedOnly, mx, mz, rect);
}

bool IsPlainDetail(Objex* obj) {
  return obj->type == kObjDetail && !IsObjectSymbolEditorObject(obj) && !IsObjectSectionDetailObject(obj);
}

}  // namespace

void GetParallelPoints(const Poinz* p0, const Poinz* p1, float* startX, float* startY, float* startZ,
                       float* endX, float* endY, float* endZ, int16_t side, float distance) {
  if (!p0 || !p1 || !startX || !startY || !startZ || !endX || !endY || !endZ) return;
  const OffsetSegment s = Offset(p0->position, p1->position, side, distance);
  *startX = s.sx;
  *startZ = s.sz;
  *endX = s.ex;
  *endZ = s.ez;
  *startY = *endY = p0->position[1];
}

Objex* CreateParallelObject(Objex* object, int16_t side, float distance, uint8_t append) {
  return OffsetCopy(object, side, distance, append);
}

Objex* CreateConstantParallelObject(Objex* object, int16_t side, float distance) {
  return OffsetCopy(object, side, distance, 1);
}

Objex* MakeClosedParallel(Objex* object, float distance, int16_t side) {
  if (!object || !object->closed) return nullptr;
  return CreateParallelObject(object, side, ConvertWorldToScreen(distance, CurDocState(), 0), 1);
}

Objex* MakeOpenParallel(Objex* object, float distance, int16_t side) {
  if (!object || object->closed) return nullptr;
  return CreateParallelObject(object, side, ConvertWorldToScreen(distance, CurDocState(), 0), 1);
}

Objex* MakeParallel(Objex* object, float distance, uint8_t append) {
  if (!object || !gCurDocument) return nullptr;
  DocState* ds = CurDocState();
  if (!ds || object->extraLong < 0 || object->extraLong > 2) return object;
  float d = ConvertWorldToScreen(distance, ds, 0);
  bool closed = object->closed;
  Objex* base = object;
  Objex* other = nullptr;
  if (object->extraLong == 1) {
    other = CreateParallelObject(object, kParallelSide7, d, append);
  } else if (object->extraLong == 2) {
    other = CreateParallelObject(object, kParallelSide8, d, append);
  } else {
    Objex* side8 = CreateParallelObject(object, kParallelSide8, d / 2, append);
    other = CreateParallelObject(object, kParallelSide7, d / 2, append);
    if (side8) {
      base = side8;
      DeleteObj(object);
    }
  }
  if (!other) return base;
  if (closed) {
    if (base->firstPoint) AppendPointAt(base, base->firstPoint);
    if (other->firstPoint) AppendPointAt(other, other->firstPoint);
  }
  // The other outline, taken over backward.
  std::vector<Poinz*> taken;
  for (Poinz* p = other->firstPoint; p; p = p->next) taken.push_back(p);
  other->firstPoint = nullptr;
  other->pointCount = 0;
  for (auto it = taken.rbegin(); it != taken.rend(); ++it) {
    (*it)->prev = (*it)->next = nullptr;
    AppendPointToObject(*it, base);
  }
  DeleteObj(other);
  base->closed = 1;
  base->levels = 1;
  int32_t count = 0;
  for (Poinz* p = base->firstPoint; p; p = p->next) ++count;
  base->pointCount = count;
  UpdateObjectBounds(base);
  return base;
}

bool MakeParallelRing(const float* position, const float* in, const float* out, int32_t count, bool closed,
                      int32_t alignment, float distance, ParallelRing* ring) {
  if (!gCurDocument || !ring || count < 1 || !position) return false;
  DocState* ds = CurDocState();
  if (!ds || alignment < 0 || alignment > 2) return false;
  const float d = ConvertWorldToScreen(distance, ds, 0);
  const size_t n = static_cast<size_t>(count);
  std::vector<const float*>& pts = ring->scratchPoints;
  pts.clear();
  for (size_t i = 0; i < n; ++i) pts.push_back(position + 3 * i);
  std::vector<float>& other = ring->scratchOther;
  other.clear();
  ring->position.clear();
  ring->in.clear();
  ring->out.clear();
  // The base outline: the side-8 half band when centred, else the outline itself.
  if (alignment == 0) {
    OffsetPositions(pts.data(), n, closed, -1, d / 2, ds->planBounds, &ring->position);
    OffsetPositions(pts.data(), n, closed, 1, d / 2, ds->planBounds, &other);
    ring->in.assign(3 * n, 0.0f);
    ring->out.assign(3 * n, 0.0f);
  } else {
    OffsetPositions(pts.data(), n, closed, alignment == 2 ? -1 : 1, d, ds->planBounds, &other);
    ring->position.assign(position, position + 3 * n);
    if (in) ring->in.assign(in, in + 3 * n);
    else ring->in.assign(3 * n, 0.0f);
    if (out) ring->out.assign(out, out + 3 * n);
    else ring->out.assign(3 * n, 0.0f);
  }
  // A closed outline repeats its first point on both sides.
  if (closed) {
    const float first[3] = {ring->position[0], ring->position[1], ring->position[2]};
    ring->position.insert(ring->position.end(), first, first + 3);
    other.insert(other.end(), {other[0], other[1], other[2]});
  }
  // The other side, taken over backward, with plain (zero) handles.
  const size_t otherCount = other.size() / 3;
  for (size_t i = otherCount; i-- > 0;) ring->position.insert(ring->position.end(), &other[3 * i], &other[3 * i] + 3);
  ring->in.resize(ring->position.size(), 0.0f);
  ring->out.resize(ring->position.size(), 0.0f);
  // The numbers the parallels' objects and points would have taken.
  const uint32_t outlines = alignment == 0 ? 2u : 1u;
  ds->nextObjectID += outlines;
  ds->nextPointID += outlines * static_cast<uint32_t>(n) + (closed ? 2u : 0u);
  return true;
}

int16_t GetParallelDirection(Objex* object) {
  if (!object || !object->firstPoint || !object->firstPoint->next || !gCurDocument) return 1;
  DocState* ds = CurDocState();
  if (!ds) return 0;
  int a = 0, b = 2;
  WorkingPlaneAxes(ds->viewPlane, &a, &b);
  int32_t levels = object->levels > 0 ? object->levels : 1;
  int32_t perLevel = object->pointCount / levels;
  // Kept between calls: every closed shape built passes here.
  thread_local std::vector<std::pair<int, int>> poly;
  poly.clear();
  int32_t i = 0;
  for (const Poinz* p = object->firstPoint; p && i < perLevel; p = p->next, ++i)
    poly.emplace_back(RoundShort(p->position[a]), RoundShort(p->position[b]));
  const Poinz* p0 = object->firstPoint;
  const Poinz* p1 = p0->next;
  float mx = p0->position[a] + (p1->position[a] - p0->position[a]) / 2;
  float my = p0->position[b] + (p1->position[b] - p0->position[b]) / 2;
  float length = 0;
  float angle = GetLineLengthAndAngle(p0->position[a], p0->position[b], p1->position[a], p1->position[b], &length);
  float dx = 0, dy = 0;
  GetPointFromLengthAndAngle(angle + static_cast<float>(std::numbers::pi / 2), 2.0f, &dx, &dy);
  if (poly.size() < 3) return -1;
  return PolygonContains(poly, RoundShort(mx + dx), RoundShort(my + dy)) ? 1 : -1;
}

int16_t VerifyObjectDirection(Objex* object, uint8_t fix) {
  int16_t direction = GetParallelDirection(object);
  if (direction == 1) return 1;
  if (direction == -1 && fix) ReverseObjectDirection(object);
  return 0;
}

void SetLineWeight(Objex* object) {
  DocState* ds = CurDocState();
  if (!object || !ds || !IsPlainDetail(object)) return;
  if (object->subtype >= 1 && object->subtype <= 9) object->width = static_cast<float>(ds->newLineWeight);
}

void ChangePattern(Objex* object, int16_t pattern) {
  if (!object || !CurDocState() || !object->closed || !IsPlainDetail(object)) return;
  switch (object->subtype) {
    case 1: case 2: case 3: case 4: case 7: case 8: case 9: object->fillPattern = pattern; break;
    default: break;
  }
}

void UpdateObjectRootBounds(Objex* object, uint8_t selectedOnly, uint8_t flag) {
  if (!object) return;
  FloatRect rect = EmptyFloatRect();
  GetObjectBounds(object, selectedOnly, &rect, flag, 0);
  object->bounds = rect;
  Float3DRect box = EmptyFloat3DRect();
  GetObject3DBounds(object, 0, &box, 0);
  object->bounds3D = box;
}

void UpdateLayerRootBounds(Layer* layer, uint8_t selectedOnly, uint8_t flag, uint8_t onlySelectedGroups) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next) {
    if (o->type != kObjGroup) continue;
    if (onlySelectedGroups && !IsObjectSelected(o)) continue;
    UpdateObjectRootBounds(o, selectedOnly, flag);
  }
}

void UpdateAllLayerRootBounds(Layer* layers, uint8_t selectedOnly, uint8_t flag, uint8_t onlySelectedGroups) {
  for (Layer* l = layers; l; l = l->next) UpdateLayerRootBounds(l, selectedOnly, flag, onlySelectedGroups);
}

void CenterObjects(uint8_t selectedOnly, FloatRect* rect) { CenterAllLayers(selectedOnly, rect, false); }

void CenterObjectsInWindow(uint8_t selectedOnly, FloatRect* rect) { CenterAllLayers(selectedOnly, rect, true); }

void CenterKnownObjectsInWindow(KnownSelection* known, FloatRect* rect) {
  RootBoundsReset(rect);
  if (!rect || !known || !gCurDocument || !CurDocState()) return;
  // The floors' walks would add nothing for an object without a selected point.
  Float3DRect box = EmptyFloat3DRect();
  for (const KnownSelection::Top& t : known->tops)
    if (t.layer && t.layer->visible) GetObject3DBounds(t.object, 1, &box, 0);
  float mx, mz;
  if (!CentringMove(box, &mx, &mz)) return;
  mx += UnzoomF(gGlobalXOffset);
  mz += UnzoomF(gGlobalZOffset);
  TransformInfo xform{};
  xform.delta[0] = mx;
  xform.delta[2] = mz;
  SelectedKnownObjects(known, kCmdTranslateObjects, CommandArg::Transform(&xform));
  FloatRect bounds = EmptyFloatRect();
  const DocState* ds = CurDocState();
  for (const KnownSelection::Top& t : known->tops) {
    if (!t.layer || !t.layer->visible) continue;
    if (gPrinting && !IsObjectOnCurrentPlan(t.object, ds->currentPlanMask)) continue;
    GetObjectBounds(t.object, 1, &bounds, 0, 0);
  }
  *rect = bounds;
}

void CenterLayer(Layer* layer, uint8_t selectedOnly, FloatRect* rect) {
  RootBoundsReset(rect);
  if (!rect || !layer || !CurDocState()) return;
  Float3DRect box = EmptyFloat3DRect();
  GetLayer3DBounds(layer, selectedOnly, &box, 0);
  float mx, mz;
  if (!CentringMove(box, &mx, &mz)) return;
  MoveAndMeasure(layer, false, selectedOnly, mx, mz, rect);
}

void ConvertXYtoXZ(Objex* object) { SwapPointAxes(object, 1, 2); }
void ConvertXYtoZY(Objex* object) { SwapPointAxes(object, 0, 2); }

void FlattenObjectToXZPlane(Objex* object, uint8_t withChildren) {
  if (!object) return;
  for (Poinz* p = object->firstPoint; p; p = p->next) {
    for (float* v : {p->position, p->inHandle, p->outHandle, p->linkVector}) {
      v[2] = v[1];
      v[1] = 0;
    }
  }
  if (withChildren)
    for (Objex* child = object->firstChild; child; child = child->next) FlattenObjectToXZPlane(child, 1);
}

Objex* FindObjectWithID(uint32_t id) {
  if (!gCurDocument || !gCurDocument->itsCurLayer) return nullptr;
  for (Objex* o = gCurDocument->itsCurLayer->firstObject; o; o = o->next)
    if (o->objectID == id) return o;
  return nullptr;
}
