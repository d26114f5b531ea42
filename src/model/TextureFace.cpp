// Texture face coordinates of 3D faces and the ring lengths stored in their points;
// the plan rotation of a whole object that the face projection uses.
#include "model/TextureFace.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "model/Bounds.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HermitePatch.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"

namespace {

struct Extents {
  float min[3] = {0, 0, 0};
  float max[3] = {0, 0, 0};
  float size(int axis) const { return max[axis] - min[axis]; }
};

// Minimum and maximum of x, y and z over the first n points (fewer if the list ends).
Extents FirstLevelExtents(const Objex* obj, int n) {
  Extents e;
  int i = 0;
  for (const Poinz* p = obj->firstPoint; p && i < n; p = p->next, ++i)
    for (int axis = 0; axis < 3; ++axis) {
      float v = p->position[axis];
      if (i == 0 || v < e.min[axis]) e.min[axis] = v;
      if (i == 0 || v > e.max[axis]) e.max[axis] = v;
    }
  return e;
}

int PlaneForExtents(int16_t type, const Extents& e) {
  float ex = e.size(0), ey = e.size(1), ez = e.size(2);
  if (type == kObjRoofGablePart || type == kObjRailPart) return ez < ex ? 1 : 3;
  if (ex == ez && ey != 0) return 1;
  if (ex < ey || ez < ey) {
    if (ez <= ex && ez <= ey) return 1;
    return 3;
  }
  return 2;
}

// Axes (first, second) of the projection plane's coordinates.
void PlaneAxes(int plane, int* first, int* second) {
  switch (plane) {
    case 1: *first = 0; *second = 1; break;
    case 3: *first = 2; *second = 1; break;
    default: *first = 0; *second = 2; break;
  }
}

void TurnInPlan(Objex* obj, float angle, const DocState* ds) {
  TransformInfo turn{};
  turn.angle = angle;
  turn.centre[0] = ds->viewPoint.floatH;
  turn.centre[2] = ds->viewPoint.floatD;
  SimpleRotateObject(obj, &turn);
}

// The two points that lay a roof plane's texture: A the highest (first found), B the
// highest of the points that did not replace A.
float RoofPlaneTurn(const Objex* obj) {
  const Poinz* a = obj->firstPoint;
  const Poinz* b = nullptr;
  if (!a) return 0;
  for (const Poinz* p = a->next; p; p = p->next) {
    if (p->position[1] > a->position[1]) a = p;
    else if (!b || p->position[1] > b->position[1]) b = p;
  }
  if (!b) return 0;
  float length = 0;
  return GetLineLengthAndAngle(a->position[0], a->position[2], b->position[0], b->position[2], &length);
}

bool SegmentIsStraight(const Poinz* a, const Poinz* b) {
  return a->outHandle[0] == 0 && a->outHandle[1] == 0 && a->outHandle[2] == 0 && b->inHandle[0] == 0 &&
         b->inHandle[1] == 0 && b->inHandle[2] == 0;
}

float SegmentLength3D(const Poinz* a, const Poinz* b) {
  if (SegmentIsStraight(a, b))
    return Get3DLineLength(a->position[0], a->position[1], a->position[2], b->position[0], b->position[1],
                           b->position[2]);
  return GetSplineLength(a, b);
}

int PointsPerLevel(const Objex* obj) { return obj->levels > 0 ? obj->pointCount / obj->levels : 0; }

// Running lengths of one ring into `sums`: entry k is the length after segment k (entry 0 is
// 0), the last entry the whole ring. The walk stops early when the list ends.
void RingLengths(const Objex* obj, int thirdLevel, std::vector<float>* sums) {
  sums->assign(1, 0.0f);
  int n = PointsPerLevel(obj);
  const Poinz* start = obj->firstPoint;
  if (thirdLevel && obj->levels == 3)
    for (int i = 0; i < 2 * n && start; ++i) start = start->next;
  if (!start) return;
  float total = 0;
  const Poinz* p = start;
  for (int i = 1; i < n; ++i) {
    if (!p->next) return;
    total += SegmentLength3D(p, p->next);
    sums->push_back(total);
    p = p->next;
  }
  // The closing segment runs back to this ring's own first point.
  if (obj->closed) {
    total += SegmentLength3D(p, start);
    sums->push_back(total);
  }
}

std::vector<float> RingLengths(const Objex* obj, int thirdLevel) {
  std::vector<float> sums;
  RingLengths(obj, thirdLevel, &sums);
  return sums;
}

}  // namespace

void SimpleRotateObject(Objex* obj, const TransformInfo* info) {
  if (!obj || !info || !CurDocState()) return;
  float cx = info->centre[0], cz = info->centre[2], angle = info->angle;
  for (Poinz* p = obj->firstPoint; p; p = p->next) {
    if (p->inHandle[0] != 0 || p->inHandle[2] != 0) Rotate(&p->inHandle[0], &p->inHandle[2], 0, 0, angle);
    Rotate(&p->position[0], &p->position[2], cx, cz, angle);
    if (p->outHandle[0] != 0 || p->outHandle[2] != 0) Rotate(&p->outHandle[0], &p->outHandle[2], 0, 0, angle);
  }
  obj->bounds = EmptyFloatRect();
  GetObjectBounds(obj, 0, &obj->bounds, 0, 0);
  obj->bounds3D = EmptyFloat3DRect();
  GetObject3DBounds(obj, 0, &obj->bounds3D, 0);
}

void SetTextureFaceUV(Objex* obj) {
  const DocState* ds = CurDocState();
  if (!ds || !obj || obj->levels < 1 || !obj->firstPoint) return;
  int n = std::max(1, PointsPerLevel(obj));
  bool roofType = obj->type == kObjRoofPlane || obj->type == kObjRoofHipPart || obj->type == kObjRoofPanelFace;

  int plane = 2;
  float turn = 0;
  Extents e;
  // Roofs are laid out turned in plan; their points are put back as they were afterwards
  // (turning them back would move them by the rounding of two turns, a little more each time).
  struct Kept {
    float in[3], at[3], out[3];
  };
  thread_local std::vector<Kept> kept;
  kept.clear();
  if (roofType)
    for (const Poinz* p = obj->firstPoint; p; p = p->next) {
      Kept k;
      std::copy(p->inHandle, p->inHandle + 3, k.in);
      std::copy(p->position, p->position + 3, k.at);
      std::copy(p->outHandle, p->outHandle + 3, k.out);
      kept.push_back(k);
    }
  if (obj->type == kObjRoofPanelFace) {
    turn = static_cast<float>((270.0f - obj->params[0]) * std::numbers::pi / 180.0);
    if (turn != 0) TurnInPlan(obj, turn, ds);
    plane = 2;
  } else if (obj->type == kObjRoofPlane || obj->type == kObjRoofHipPart) {
    float a = RoofPlaneTurn(obj);
    turn = -a;
    if (turn != 0) TurnInPlan(obj, turn, ds);
    plane = 1;
  } else {
    e = FirstLevelExtents(obj, n);
    plane = PlaneForExtents(obj->type, e);
  }
  if (roofType) e = FirstLevelExtents(obj, n);

  int first, second;
  PlaneAxes(plane, &first, &second);
  FloatRect rect{e.min[second], e.min[first], e.max[second], e.max[first]};
  obj->textureRect = rect;
  obj->textureRect2 = rect;
  obj->auxShort = static_cast<int16_t>(plane);

  float w = rect.floatRight - rect.floatLeft;
  float h = rect.floatBottom - rect.floatTop;
  if (w == 0) w = 1;
  if (h == 0) h = 1;
  for (Poinz* p = obj->firstPoint; p; p = p->next) {
    float u = (p->position[first] - rect.floatLeft) / w;
    float v = (p->position[second] - rect.floatTop) / h;
    p->texU = std::clamp(u, 0.0f, 1.0f);
    p->texV = std::clamp(v, 0.0f, 1.0f);
  }

  if (roofType && turn != 0) {
    size_t i = 0;
    for (Poinz* p = obj->firstPoint; p && i < kept.size(); p = p->next, ++i) {
      std::copy(kept[i].in, kept[i].in + 3, p->inHandle);
      std::copy(kept[i].at, kept[i].at + 3, p->position);
      std::copy(kept[i].out, kept[i].out + 3, p->outHandle);
    }
    obj->bounds = EmptyFloatRect();
    GetObjectBounds(obj, 0, &obj->bounds, 0, 0);
    obj->bounds3D = EmptyFloat3DRect();
    GetObject3DBounds(obj, 0, &obj->bounds3D, 0);
  }
}

float GetSplineLength(const Poinz* p0, const Poinz* p1) {
  if (!p0 || !p1 || !CurDocState()) return 0;
  int k = CurrentCurveSegments();
  Matrix4 m, mt, xB, yB, zB, scratch, xr, yr, zr;
  BuildMatrixM(m);
  BuildMatrixMT(mt);
  EstablishSurface(xB, yB, zB, m, mt, scratch, xr, yr, zr, p0, p0, p1, p1, 1);
  float sVector[4], tVector[4];
  float lastX = 0, lastY = 0, lastZ = 0, length = 0;
  for (int i = 0; i <= k; ++i) {
    float x, y, z;
    ComputeSurfacePoint(xr, yr, zr, sVector, tVector, static_cast<float>(i) / static_cast<float>(k), 0, &x,
                        &y, &z);
    if (i > 0) length += Get3DLineLength(lastX, lastY, lastZ, x, y, z);
    lastX = x;
    lastY = y;
    lastZ = z;
  }
  return length;
}

float GetTotalPerimeterLength(const Objex* obj, int thirdLevel) {
  if (!obj || obj->levels < 2 || PointsPerLevel(obj) < 2) return 0;
  return RingLengths(obj, thirdLevel).back();
}

float GetPointIndexPerimeterLength(const Objex* obj, int index, int thirdLevel) {
  if (!obj || index <= 0 || obj->levels < 2 || index > PointsPerLevel(obj) + 1) return 0;
  std::vector<float> sums = RingLengths(obj, thirdLevel);
  return sums[std::min<size_t>(static_cast<size_t>(index), sums.size() - 1)];
}

void SetObjectPointLengths(Objex* obj) {
  if (!obj || obj->levels < 2) return;
  int n = PointsPerLevel(obj);
  if (n < 2) return;
  // Every 3D part built takes this road: the sums live in buffers kept between calls.
  thread_local std::vector<float> ring1, ring3;
  RingLengths(obj, 0, &ring1);
  if (obj->levels > 2) RingLengths(obj, 1, &ring3);
  const std::vector<float>& upper = obj->levels > 2 ? ring3 : ring1;
  int level = 1, j = 1;
  for (Poinz* p = obj->firstPoint; p; p = p->next) {
    const std::vector<float>& sums = level > 2 ? upper : ring1;
    p->ringLength = sums.back();
    p->pathLength = sums[std::min<size_t>(static_cast<size_t>(j - 1), sums.size() - 1)];
    if (++j > n) {
      j = 1;
      ++level;
    }
  }
}
