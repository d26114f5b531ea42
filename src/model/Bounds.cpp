// Bounds of objects, layers and selections: grown from points and sampled curves
// (projected for 2D, model coordinates for 3D) or combined from the stored boxes.
#include "model/Bounds.h"

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/ViewProjection.h"

uint8_t gDimensionSelected = 0;

namespace {

bool IsCurved(const Poinz* p0, const Poinz* p1) {
  return p0->outHandle[0] != 0 || p0->outHandle[1] != 0 || p0->outHandle[2] != 0 || p1->inHandle[0] != 0 ||
         p1->inHandle[1] != 0 || p1->inHandle[2] != 0;
}

bool ExcludedFromCurves2D(const Poinz* p) { return p->pointType == 2 || p->pointType == 4; }

bool IsRoofLike(const Objex* obj) { return obj->type == kObjRoof || obj->type == kObjRoofPanel; }

// A wall is measured through its outline object, kept in its type data.
Objex* WallOutline(const Objex* wall) { return static_cast<Objex*>(wall->typeData); }

// Takes a projected point into the plan bounds.
void TakeIntoBounds(float x, float y, FloatRect* rect) {
  if (IsEmptyBounds(*rect)) {
    rect->floatLeft = rect->floatRight = x;
    rect->floatTop = rect->floatBottom = y;
    return;
  }
  if (rect->floatLeft > x) rect->floatLeft = x;
  else if (x > rect->floatRight) rect->floatRight = x;
  if (rect->floatTop > y) rect->floatTop = y;
  else if (y > rect->floatBottom) rect->floatBottom = y;
}

// Refine3DBounds without the null check, for walks that call it per point.
inline void Grow3D(float x, float y, float z, Float3DRect* box) {
  if (IsEmptyBounds(*box)) {
    box->floatLeft = box->floatRight = x;
    box->floatTop = box->floatBottom = y;
    box->floatBack = box->floatFront = z;
    return;
  }
  if (box->floatLeft > x) box->floatLeft = x;
  else if (x > box->floatRight) box->floatRight = x;
  if (box->floatTop > y) box->floatTop = y;
  else if (y > box->floatBottom) box->floatBottom = y;
  if (box->floatBack > z) box->floatBack = z;
  else if (z > box->floatFront) box->floatFront = z;
}

// RefineBounds for the points of one object: the zoom and the view are looked up once, the
// arithmetic is the same, step for step (perspective views take the general road).
struct PointProjection {
  bool general = gPerspective != 0;
  float zoom = CurrentZoomFactor();

  void Grow(float x, float y, float z, FloatRect* rect) const {
    if (general) {
      RefineBounds(x, y, z, rect);
      return;
    }
    float px, py;
    Project(x, y, z, &px, &py);
    TakeIntoBounds(px, py, rect);
  }
  // The plan-view projection of one point (not for the general road).
  void Project(float x, float y, float z, float* px, float* py) const {
    if (zoom != 1.0f) {
      x *= zoom;
      y *= zoom;
      z *= zoom;
    }
    const float X = x - gGlobalXOffset, Y = y - gGlobalYOffset, Z = z - gGlobalZOffset;
    const float x1 = X * gCosYAngle - Z * gSinYAngle;
    const float z1 = X * gSinYAngle + Z * gCosYAngle;
    *px = x1;
    *py = Y * gCosXAngle + z1 * gSinXAngle;
  }
};

// Plan and 3D bounds grown from empty ones: the first point sets them, each point after it
// lowers a minimum or raises a maximum. From empty bounds every minimum stays at or below its
// maximum (or both are NaN), so this gives what TakeIntoBounds and Grow3D give, bit for bit,
// without their test for empty bounds and their chains of branches on every point.
class GrowingBounds {
 public:
  GrowingBounds(float px, float py, float x, float y, float z) {
    rect_.floatLeft = rect_.floatRight = px;
    rect_.floatTop = rect_.floatBottom = py;
    box_.floatLeft = box_.floatRight = x;
    box_.floatTop = box_.floatBottom = y;
    box_.floatBack = box_.floatFront = z;
  }
  void TakePlan(float px, float py) {
    Widen(px, &rect_.floatLeft, &rect_.floatRight);
    Widen(py, &rect_.floatTop, &rect_.floatBottom);
  }
  void Take3D(float x, float y, float z) {
    Widen(x, &box_.floatLeft, &box_.floatRight);
    Widen(y, &box_.floatTop, &box_.floatBottom);
    Widen(z, &box_.floatBack, &box_.floatFront);
  }
  const FloatRect& rect() const { return rect_; }
  const Float3DRect& box() const { return box_; }

 private:
  static void Widen(float v, float* least, float* most) {
    *least = *least > v ? v : *least;
    *most = v > *most ? v : *most;
  }
  FloatRect rect_;
  Float3DRect box_;
};

void GrowByPoint(float x, float y, float z, FloatRect* rect, float dx, float dy) {
  if (dx != 0 || dy != 0) {
    RefineBounds(x + dx, y + dy, z, rect);
    RefineBounds(x - dx, y - dy, z, rect);
  } else {
    RefineBounds(x, y, z, rect);
  }
}

// Walks the curve of the segment from p0 to p1 at the document's curve resolution.
template <typename Visit>
void SampleSegment(const Poinz* p0, const Poinz* p1, Visit visit) {
  float step = 1.0f / static_cast<float>(CurrentCurveSegments());
  float co[3][4];
  for (int axis = 0; axis < 3; ++axis)
    SetupSpline(p0->position[axis], p0->outHandle[axis], p1->position[axis], p1->inHandle[axis],
                &co[axis][0], &co[axis][1], &co[axis][2], &co[axis][3]);
  for (float t = 0; static_cast<double>(t) <= 1.01; t += step) {
    float t2 = t * t, t3 = t2 * t;
    visit(GetSplineCoord(co[0][0], co[0][1], co[0][2], co[0][3], t, t2, t3),
          GetSplineCoord(co[1][0], co[1][1], co[1][2], co[1][3], t, t2, t3),
          GetSplineCoord(co[2][0], co[2][1], co[2][2], co[2][3], t, t2, t3));
  }
}

void BoxCorners(const Float3DRect& b, float dx, float dy, FloatRect* rect) {
  float left = b.floatLeft + dx, right = b.floatRight - dx;
  float top = b.floatTop + dy, bottom = b.floatBottom - dy;
  const PointProjection projection;
  if (projection.general) {
    for (float z : {b.floatBack, b.floatFront}) {
      projection.Grow(left, top, z, rect);
      projection.Grow(right, top, z, rect);
      projection.Grow(right, bottom, z, rect);
      projection.Grow(left, bottom, z, rect);
    }
    return;
  }
  // The corners share their coordinates two by two: each product PointProjection::Grow forms
  // is formed once here, with the same operands in the same order, and the corners go into the
  // rect in the same order, so that the rect is the same to the last bit.
  float x[2] = {left, right}, y[2] = {top, bottom}, z[2] = {b.floatBack, b.floatFront};
  const float zoom = projection.zoom;
  if (zoom != 1.0f)
    for (int i = 0; i < 2; ++i) {
      x[i] *= zoom;
      y[i] *= zoom;
      z[i] *= zoom;
    }
  float xCos[2], xSin[2], zSin[2], zCos[2], yCos[2];
  for (int i = 0; i < 2; ++i) {
    const float X = x[i] - gGlobalXOffset, Y = y[i] - gGlobalYOffset, Z = z[i] - gGlobalZOffset;
    xCos[i] = X * gCosYAngle;
    xSin[i] = X * gSinYAngle;
    zSin[i] = Z * gSinYAngle;
    zCos[i] = Z * gCosYAngle;
    yCos[i] = Y * gCosXAngle;
  }
  static constexpr int kCorner[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};  // (x, y): as the loop above
  for (int k = 0; k < 2; ++k)
    for (const auto& c : kCorner) {
      const float x1 = xCos[c[0]] - zSin[k];
      const float z1 = xSin[c[0]] + zCos[k];
      TakeIntoBounds(x1, yCos[c[1]] + z1 * gSinXAngle, rect);
    }
}

void BoxCorners3D(const Float3DRect& b, Float3DRect* box) {
  for (float z : {b.floatBack, b.floatFront}) {
    Refine3DBounds(b.floatLeft, b.floatTop, z, box);
    Refine3DBounds(b.floatRight, b.floatTop, z, box);
    Refine3DBounds(b.floatRight, b.floatBottom, z, box);
    Refine3DBounds(b.floatLeft, b.floatBottom, z, box);
  }
}

}  // namespace

bool IsEmptyBounds(const FloatRect& r) {
  return r.floatTop == kEmptyBoundsMin && r.floatLeft == kEmptyBoundsMin && r.floatBottom == kEmptyBoundsMax &&
         r.floatRight == kEmptyBoundsMax;
}

bool IsEmptyBounds(const Float3DRect& b) {
  return b.floatTop == kEmptyBoundsMin && b.floatLeft == kEmptyBoundsMin && b.floatBack == kEmptyBoundsMin &&
         b.floatBottom == kEmptyBoundsMax && b.floatRight == kEmptyBoundsMax && b.floatFront == kEmptyBoundsMax;
}

void RefineBounds(float x, float y, float z, FloatRect* rect) {
  if (!rect) return;
  ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                        gGlobalYOffset, gGlobalZOffset, 1);
  if (gPerspective) AddPerspective(&x, &y, &z, gViewDistance, 0, 0, 0);
  TakeIntoBounds(x, y, rect);
}

void Refine3DBounds(float x, float y, float z, Float3DRect* box) {
  if (box) Grow3D(x, y, z, box);
}

void GetObjectSplineBounds(const Poinz* p0, const Poinz* p1, FloatRect* rect, uint8_t withPen, float dx,
                           float dy) {
  if (!p0 || !p1 || !rect) return;
  if (!withPen) dx = dy = 0;
  SampleSegment(p0, p1, [&](float x, float y, float z) { GrowByPoint(x, y, z, rect, dx, dy); });
}

void GetObjectSpline3DBounds(const Poinz* p0, const Poinz* p1, Float3DRect* box) {
  if (!p0 || !p1 || !box) return;
  SampleSegment(p0, p1, [&](float x, float y, float z) { Refine3DBounds(x, y, z, box); });
}

void DoGetObjectBounds(Objex* obj, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly,
                       uint8_t withPen) {
  if (!obj || !rect) return;
  int16_t dx = 0, dy = 0;
  if (withPen) {
    int16_t w = GetLineWeight(obj, 0);
    if (w >= 2) GetPenOffset(w, &dx, &dy);
  }
  const PointProjection projection;
  Poinz* last = nullptr;
  for (Poinz* p = obj->firstPoint; p; p = p->next) {
    last = p;
    if (selectedOnly && !p->selected) continue;
    if (p->prev && !pointsOnly && IsCurved(p->prev, p) && !ExcludedFromCurves2D(p->prev) &&
        !ExcludedFromCurves2D(p)) {
      GetObjectSplineBounds(p->prev, p, rect, withPen, dx, dy);
    } else if (dx != 0 || dy != 0) {
      GrowByPoint(p->position[0], p->position[1], p->position[2], rect, dx, dy);
    } else {
      projection.Grow(p->position[0], p->position[1], p->position[2], rect);
    }
  }
  Poinz* first = obj->firstPoint;
  if (!pointsOnly && obj->closed && last && last != first && (!selectedOnly || first->selected) &&
      IsCurved(last, first) && !ExcludedFromCurves2D(last) && !ExcludedFromCurves2D(first))
    GetObjectSplineBounds(last, first, rect, withPen, dx, dy);
  if (IsRoofLike(obj)) return;
  for (Objex* child = obj->firstChild; child; child = child->next)
    DoGetObjectBounds(child, selectedOnly, rect, pointsOnly, withPen);
}

void DoGetObject3DBounds(Objex* obj, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly) {
  if (!obj || !box) return;
  Poinz* last = nullptr;
  for (Poinz* p = obj->firstPoint; p; p = p->next) {
    last = p;
    if (selectedOnly && !p->selected) continue;
    if (p->prev && !pointsOnly && IsCurved(p->prev, p))
      GetObjectSpline3DBounds(p->prev, p, box);
    else
      Refine3DBounds(p->position[0], p->position[1], p->position[2], box);
  }
  Poinz* first = obj->firstPoint;
  if (!pointsOnly && obj->closed && last && last != first && (!selectedOnly || first->selected) &&
      IsCurved(last, first))
    GetObjectSpline3DBounds(last, first, box);
  for (Objex* child = obj->firstChild; child; child = child->next)
    if (child->type != kObjRoofSlopeArrow) DoGetObject3DBounds(child, selectedOnly, box, pointsOnly);
}

bool GetObjectBounds(Objex* obj, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly, uint8_t withPen) {
  if (!obj || !rect) return false;
  if (obj->type == kObjWall && WallOutline(obj)) {
    if (!selectedOnly || IsObjectSelected(obj)) DoGetObjectBounds(WallOutline(obj), 0, rect, pointsOnly, withPen);
  } else {
    DoGetObjectBounds(obj, selectedOnly, rect, pointsOnly, withPen);
  }
  return !IsEmptyBounds(*rect);
}

bool GetObject3DBounds(Objex* obj, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly) {
  if (!obj || !box) return false;
  if (obj->type == kObjWall && WallOutline(obj)) {
    if (!selectedOnly || IsObjectSelected(obj)) DoGetObject3DBounds(WallOutline(obj), 0, box, pointsOnly);
  } else {
    DoGetObject3DBounds(obj, selectedOnly, box, pointsOnly);
  }
  return !IsEmptyBounds(*box);
}

bool MeasureStraightObject(const Objex* obj, FloatRect* rect, Float3DRect* box) {
  if (!obj || !rect || !box || obj->firstChild || (obj->type == kObjWall && WallOutline(obj))) return false;
  const PointProjection projection;
  const Poinz* first = obj->firstPoint;
  if (first && !projection.general && IsEmptyBounds(*rect) && IsEmptyBounds(*box)) {
    // Nearly every caller starts from empty bounds in the plan view: the first point sets them.
    if (first->prev && IsCurved(first->prev, first)) return false;
    float px = 0, py = 0;
    projection.Project(first->position[0], first->position[1], first->position[2], &px, &py);
    GrowingBounds grown(px, py, first->position[0], first->position[1], first->position[2]);
    const Poinz* last = first;
    for (const Poinz* p = first->next; p; p = p->next) {
      if (IsCurved(p->prev, p)) return false;
      last = p;
      projection.Project(p->position[0], p->position[1], p->position[2], &px, &py);
      grown.TakePlan(px, py);
      grown.Take3D(p->position[0], p->position[1], p->position[2]);
    }
    if (obj->closed && last != first && IsCurved(last, first)) return false;
    *rect = grown.rect();
    *box = grown.box();
    return true;
  }
  FloatRect r = *rect;
  Float3DRect b = *box;
  const Poinz* last = nullptr;
  for (const Poinz* p = obj->firstPoint; p; p = p->next) {
    if (p->prev && IsCurved(p->prev, p)) return false;
    last = p;
    projection.Grow(p->position[0], p->position[1], p->position[2], &r);
    Grow3D(p->position[0], p->position[1], p->position[2], &b);
  }
  if (obj->closed && last && last != first && IsCurved(last, first)) return false;
  *rect = r;
  *box = b;
  return true;
}

void MeasureStraightPrism(const float (*footprint)[2], int count, float y1, float y2, FloatRect* rect,
                          Float3DRect* box) {
  if (!footprint || count < 1 || !rect || !box) return;
  const PointProjection projection;
  FloatRect r = *rect;
  Float3DRect b = *box;
  constexpr int kShared = 8;
  if (projection.general || count > kShared) {
    for (const float y : {y1, y2})
      for (int i = 0; i < count; ++i) {
        projection.Grow(footprint[i][0], y, footprint[i][1], &r);
        Grow3D(footprint[i][0], y, footprint[i][1], &b);
      }
  } else {
    // PointProjection::Grow step for step: a corner's turned x and its z term are the same at
    // both heights, only the height's term differs.
    const float zoom = projection.zoom;
    float turnedX[kShared], zTerm[kShared];
    for (int i = 0; i < count; ++i) {
      float x = footprint[i][0], z = footprint[i][1];
      if (zoom != 1.0f) {
        x *= zoom;
        z *= zoom;
      }
      const float X = x - gGlobalXOffset, Z = z - gGlobalZOffset;
      turnedX[i] = X * gCosYAngle - Z * gSinYAngle;
      zTerm[i] = (X * gSinYAngle + Z * gCosYAngle) * gSinXAngle;
    }
    const float yTerms[2] = {((zoom != 1.0f ? y1 * zoom : y1) - gGlobalYOffset) * gCosXAngle,
                             ((zoom != 1.0f ? y2 * zoom : y2) - gGlobalYOffset) * gCosXAngle};
    if (IsEmptyBounds(r) && IsEmptyBounds(b)) {
      // From empty bounds (as the leaf builders start): the first corner at y1 sets them.
      GrowingBounds grown(turnedX[0], yTerms[0] + zTerm[0], footprint[0][0], y1, footprint[0][1]);
      for (int level = 0; level < 2; ++level) {
        const float y = level == 0 ? y1 : y2;
        for (int i = 0; i < count; ++i) {
          grown.TakePlan(turnedX[i], yTerms[level] + zTerm[i]);
          grown.Take3D(footprint[i][0], y, footprint[i][1]);
        }
      }
      r = grown.rect();
      b = grown.box();
    } else {
      for (int level = 0; level < 2; ++level) {
        const float y = level == 0 ? y1 : y2;
        for (int i = 0; i < count; ++i) {
          TakeIntoBounds(turnedX[i], yTerms[level] + zTerm[i], &r);
          Grow3D(footprint[i][0], y, footprint[i][1], &b);
        }
      }
    }
  }
  *rect = r;
  *box = b;
}

namespace {

// What prints of an object on the plans shown: a group made with Plan > Group by the members
// that print, each as it would alone.
void GetPrintedBounds(Objex* obj, int32_t planMask, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly,
                      uint8_t withPen) {
  if (!IsObjectOnCurrentPlan(obj, planMask)) return;
  if (!GroupMembersStandAlone(obj)) {
    GetObjectBounds(obj, selectedOnly, rect, pointsOnly, withPen);
    return;
  }
  for (Objex* m = obj->firstChild; m; m = m->next)
    GetPrintedBounds(m, planMask, selectedOnly, rect, pointsOnly, withPen);
}

}  // namespace

void GetLayerBounds(Layer* layer, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly, uint8_t withPen) {
  const DocState* ds = CurDocState();
  if (!layer || !rect || !ds || !layer->visible) return;
  for (Objex* obj = layer->firstObject; obj; obj = obj->next) {
    if (gPrinting) GetPrintedBounds(obj, ds->currentPlanMask, selectedOnly, rect, pointsOnly, withPen);
    else GetObjectBounds(obj, selectedOnly, rect, pointsOnly, withPen);
  }
}

void GetAllLayersBounds(Layer* firstLayer, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly,
                        uint8_t withPen) {
  for (Layer* l = firstLayer; l; l = l->next) GetLayerBounds(l, selectedOnly, rect, pointsOnly, withPen);
}

void GetLayer3DBounds(Layer* layer, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly) {
  if (!layer || !box || !layer->visible) return;
  for (Objex* obj = layer->firstObject; obj; obj = obj->next)
    GetObject3DBounds(obj, selectedOnly, box, pointsOnly);
}

void GetAllLayers3DBounds(Layer* firstLayer, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly) {
  for (Layer* l = firstLayer; l; l = l->next) GetLayer3DBounds(l, selectedOnly, box, pointsOnly);
}

void GetSpecialObjects3DBounds(Objex* obj, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly) {
  if (!obj || !box) return;
  if (!IsRoofLike(obj)) {
    GetObject3DBounds(obj, selectedOnly, box, pointsOnly);
    return;
  }
  if (selectedOnly && !IsObjectSelected(obj)) return;
  for (Objex* part = static_cast<Objex*>(obj->typeData); part; part = part->next)
    DoGetObject3DBounds(part, 0, box, pointsOnly);
}

void GetSpecialLayers3DBounds(Layer* layer, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly) {
  if (!layer || !box || !layer->visible) return;
  for (Objex* obj = layer->firstObject; obj; obj = obj->next)
    GetSpecialObjects3DBounds(obj, selectedOnly, box, pointsOnly);
}

void GetAllSpecialLayers3DBounds(Layer* firstLayer, uint8_t selectedOnly, Float3DRect* box,
                                 uint8_t pointsOnly) {
  for (Layer* l = firstLayer; l; l = l->next) GetSpecialLayers3DBounds(l, selectedOnly, box, pointsOnly);
}

void GetObjectObjBounds(Objex* obj, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly, uint8_t withPen) {
  if (!obj || !rect) return;
  Objex* measured = obj;
  if (obj->type == kObjWall) {
    measured = WallOutline(obj);
    if (!measured) return;
  }
  int16_t dx = 0, dy = 0;
  if (withPen) {
    int16_t w = GetLineWeight(measured, 1);
    if (w >= 2) GetPenOffset(w, &dx, &dy);
  }
  if (measured->type != kObjGroup && (!selectedOnly || IsObjectSelected(obj))) {
    if (measured->type >= 100 && measured->type <= 107) gDimensionSelected = 1;
    // A box still at the empty marker holds no measurement: its corners would span the plan.
    if (!IsEmptyBounds(measured->bounds3D)) BoxCorners(measured->bounds3D, dx, dy, rect);
    if (IsRoofLike(measured)) return;
  }
  for (Objex* child = measured->firstChild; child; child = child->next)
    GetObjectObjBounds(child, selectedOnly, rect, pointsOnly, withPen);
}

void GetLayerObjBounds(Layer* layer, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly,
                       uint8_t withPen) {
  if (!layer || !rect || !layer->visible) return;
  for (Objex* obj = layer->firstObject; obj; obj = obj->next)
    GetObjectObjBounds(obj, selectedOnly, rect, pointsOnly, withPen);
}

void GetAllLayersObjBounds(Layer* firstLayer, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly,
                           uint8_t withPen) {
  for (Layer* l = firstLayer; l; l = l->next) GetLayerObjBounds(l, selectedOnly, rect, pointsOnly, withPen);
}

void GetObjectObj3DBounds(Objex* obj, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly) {
  if (!obj || !box) return;
  Objex* childrenOf = obj;
  if (obj->type != kObjGroup && (!selectedOnly || IsObjectSelected(obj))) {
    Objex* measured = obj;
    if (obj->type == kObjWall) {
      measured = WallOutline(obj);
      if (!measured) return;
    }
    if (!IsEmptyBounds(measured->bounds3D)) BoxCorners3D(measured->bounds3D, box);
    childrenOf = measured;
  }
  for (Objex* child = childrenOf->firstChild; child; child = child->next)
    GetObjectObj3DBounds(child, selectedOnly, box, pointsOnly);
}

void GetLayerObj3DBounds(Layer* layer, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly) {
  if (!layer || !box || !layer->visible) return;
  for (Objex* obj = layer->firstObject; obj; obj = obj->next)
    GetObjectObj3DBounds(obj, selectedOnly, box, pointsOnly);
}

void GetAllLayersObj3DBounds(Layer* firstLayer, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly) {
  for (Layer* l = firstLayer; l; l = l->next) GetLayerObj3DBounds(l, selectedOnly, box, pointsOnly);
}
