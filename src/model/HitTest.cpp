// Finding what a click hits (handles, points, segments, interiors, boxes) and applying
// selection modes to points, objects, layers and rectangles.
#include "model/HitTest.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "model/Bounds.h"
#include "model/DesignEdits.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/RepeatBound.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/RoofStyles.h"
#include "model/Selection.h"
#include "model/SelectionClick.h"
#include "model/ViewProjection.h"
#include "model/WalkNotes.h"

uint16_t gCurTool = kToolNone;
int16_t gSelectIndex = 1;
bool gHitGestureLookUp = true;
int32_t gCustomWindowPopEntryHilite = -1;
int32_t gCustomDoorPopEntryHilite = -1;

// ---- Platform rectangle and path rules ----

bool RectContainsPoint(const RECT& r, float x, float y) {
  const float left = static_cast<float>(r.left), top = static_cast<float>(r.top);
  const float w = static_cast<float>(r.right) - left, h = static_cast<float>(r.bottom) - top;
  if (w <= 0 || h <= 0) return false;
  return x >= left && x < left + w && y >= top && y < top + h;
}

bool RectsIntersect(const RECT& a, const RECT& b) {
  if (a.right <= a.left || a.bottom <= a.top || b.right <= b.left || b.bottom <= b.top) return false;
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

PlanPath* CreatePlanPath(const FloatPoint* points, int32_t count) {
  auto* path = static_cast<PlanPath*>(calloc(1, sizeof(PlanPath)));
  if (!path) return nullptr;
  if (points && count > 0) {
    path->points = static_cast<FloatPoint*>(calloc(static_cast<size_t>(count), sizeof(FloatPoint)));
    if (!path->points) {
      free(path);
      return nullptr;
    }
    memcpy(path->points, points, sizeof(FloatPoint) * static_cast<size_t>(count));
    path->count = count;
  }
  return path;
}

void ReleasePlanPath(PlanPath* path) {
  if (!path) return;
  free(path->points);
  free(path);
}

bool PlanPathContainsPoint(const PlanPath* path, float x, float y) {
  if (!path || path->count < 3 || !path->points) return false;
  int winding = 0;
  for (int32_t i = 0; i < path->count; ++i) {
    const FloatPoint& a = path->points[i];
    const FloatPoint& b = path->points[(i + 1) % path->count];
    // Edges are half-open in y so a vertex on the scan line is counted once.
    if (a.floatV <= y) {
      if (b.floatV > y) {
        float side = (b.floatH - a.floatH) * (y - a.floatV) - (x - a.floatH) * (b.floatV - a.floatV);
        if (side > 0) ++winding;
      }
    } else if (b.floatV <= y) {
      float side = (b.floatH - a.floatH) * (y - a.floatV) - (x - a.floatH) * (b.floatV - a.floatV);
      if (side < 0) --winding;
    }
  }
  return winding != 0;
}

// ---- Projection helpers ----

namespace {

float Clamp32767(float v) {
  if (!(v <= 32767)) return v != v ? 0 : 32767;
  if (v < -32767) return -32767;
  return v;
}

// Clamped and rounded half up to a short.
// Halves round upward on either side of the origin (-3.5 to -3, -3.7 to -4).
int32_t RoundToShort(float v) {
  return static_cast<int16_t>(static_cast<int32_t>(std::floor(static_cast<double>(Clamp32767(v)) + 0.5)));
}

void Project(float* x, float* y, float* z) {
  ConversionToIsometric(x, y, z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                        gGlobalYOffset, gGlobalZOffset, 1);
  if (gPerspective) AddPerspective(x, y, z, gViewDistance, 0, 0, 0);
}

void Inflate(RECT* r, int32_t dx, int32_t dy) {
  r->left -= dx;
  r->right += dx;
  r->top -= dy;
  r->bottom += dy;
}

bool ClickIn(const RECT& r, const ClickInfo* click) {
  return RectContainsPoint(r, static_cast<float>(click->where.x), static_cast<float>(click->where.y));
}

bool IsRoofType(int16_t type) { return type == kObjRoof || type == kObjRoofPanel; }

bool IsBoxHitKind(const Objex* obj) {
  if (obj->subtype == 89) return true;
  switch (obj->type) {
    case 15: case 28: case 31: case 56: case 115: case 136: case 145: case 157: case 160:
    case 200: case 201: case 301: case 302:
      return true;
    default:
      return false;
  }
}

bool IsPlanRestrictedChild(int16_t type) {
  return type == kObjDoor || type == kObjWindow || type == kObjComponent || type == kObjAccessory;
}

bool HasFeedbackKind(int16_t type) {
  return type == kObjDoor || type == kObjWindow || type == kObjRoofSlopeArrow ||
         type == kObjDeckSteps || type == kObjStaircase;
}

void SelectionFeedback(Objex* obj, bool changed, bool resetPopups) {
  if (!changed || !HasFeedbackKind(obj->type)) return;
  if (resetPopups && (obj->type == kObjDoor || obj->type == kObjWindow)) {
    gCustomWindowPopEntryHilite = -1;
    gCustomDoorPopEntryHilite = -1;
  }
  DrawSelectionLine(obj);
}

// Grown integer rectangle of the object's 2D bounds.
RECT GrownBounds(Objex* obj, int32_t grow) {
  FloatRect fr = EmptyFloatRect();
  GetObjectBounds(obj, 0, &fr, 0, 0);
  RECT r{RoundToShort(fr.floatLeft), RoundToShort(fr.floatTop), RoundToShort(fr.floatRight),
         RoundToShort(fr.floatBottom)};
  Inflate(&r, grow, grow);
  return r;
}

bool CornersInside(const RECT& inner, const RECT& outer) {
  auto in = [&](int32_t x, int32_t y) {
    return RectContainsPoint(outer, static_cast<float>(x), static_cast<float>(y));
  };
  return in(inner.left, inner.top) && in(inner.right, inner.top) && in(inner.right, inner.bottom) &&
         in(inner.left, inner.bottom);
}

}  // namespace

void ClearClickInfo(ClickInfo* click) {
  if (!click) return;
  click->hitMode = 0;
  click->pointHit = click->segmentHit = click->insideHit = click->cornerHit = 0;
  click->corner = 0;
  click->hitPoint = click->segmentEnd = nullptr;
  click->hitObject = nullptr;
  click->hitPosition = Float3DPoint{};
}

int32_t PickTolerance() {
  const DocState* ds = CurDocState();
  if (!ds) return 5;
  return ds->pickTolerance <= 1 ? 2 : ds->pickTolerance;
}

// ---- Hit tests ----

bool SearchPoint(const Poinz* point, const ClickInfo* click, int32_t dx, int32_t dy) {
  if (!point || !click || !gCurDocument) return false;
  float x = point->position[0], y = point->position[1], z = point->position[2];
  Project(&x, &y, &z);
  const int32_t px = RoundToShort(x), py = RoundToShort(y), t = PickTolerance();
  RECT r{px - t, py - t, px + t, py + t};
  Inflate(&r, -dx, -dy);
  return ClickIn(r, click);
}

bool SearchObjectSpline(const Poinz* p0, const Poinz* p1, ClickInfo* click, int32_t dx, int32_t dy) {
  if (!p0 || !p1 || !click) return false;
  const float* o = p0->outHandle;
  const float* in = p1->inHandle;
  if (gCurTool == kToolKeyEntry &&
      (o[0] != 0 || o[1] != 0 || o[2] != 0 || in[0] != 0 || in[1] != 0 || in[2] != 0))
    return false;
  int32_t grow = gCurDocument ? PickTolerance() - 1 : 4;
  if (grow < 1) grow = 1;
  const float* a = p0->position;
  const float* b = p1->position;
  RECT box;
  GetSplineBounds(a[0], o[0], in[0], b[0], a[1], o[1], in[1], b[1], a[2], o[2], in[2], b[2], &box);
  Inflate(&box, grow - dx, grow - dy);
  if (!ClickIn(box, click)) return false;

  const DocState* ds = CurDocState();
  const int32_t samples = CurveSamples(ds, 2, 10);
  const float step = 1.0f / static_cast<float>(samples);
  float coef[3][4];
  for (int k = 0; k < 3; ++k) SetupSpline(a[k], o[k], b[k], in[k], &coef[k][0], &coef[k][1], &coef[k][2], &coef[k][3]);
  Float3DPoint prev{};
  float prevT = 0;
  int32_t prevX = 0, prevY = 0;
  int index = 0;
  for (float t = 0; t < 1.0f + step; t += step, ++index) {
    const float t2 = t * t, t3 = t2 * t;
    float m[3];
    for (int k = 0; k < 3; ++k) m[k] = GetSplineCoord(coef[k][0], coef[k][1], coef[k][2], coef[k][3], t, t2, t3);
    float sx = m[0], sy = m[1], sz = m[2];
    Project(&sx, &sy, &sz);
    sx = Clamp32767(sx);
    sy = Clamp32767(sy);
    const int32_t rx = RoundToShort(sx), ry = RoundToShort(sy);
    if (index > 0) {
      RECT chord;
      Point2Rect(prevX, prevY, rx, ry, &chord);
      Inflate(&chord, grow - dx, grow - dy);
      if (ClickIn(chord, click)) {
        click->chordStart = prev;
        click->chordEnd = Float3DPoint{sx, sy, sz};
        click->chordStartT = prevT;
        click->chordEndT = t;
        click->hitPosition = Float3DPoint{m[0], m[1], m[2]};
        return true;
      }
    }
    prev = Float3DPoint{sx, sy, sz};
    prevT = t;
    prevX = rx;
    prevY = ry;
  }
  return false;
}

bool SearchOnASpline(Objex* obj, Poinz* p0, Poinz* p1, ClickInfo* click, int32_t dx, int32_t dy) {
  if (!click || !p0 || !p1) return false;
  const bool hit = SearchObjectSpline(p0, p1, click, dx, dy);
  if (hit) {
    if (gCurTool == kToolKeyEntry) {
      if (!p0->detectable && !p1->detectable) return false;
      click->segmentHit = 1;
      click->hitPoint = p0;
      click->segmentEnd = p1;
      click->hitObject = obj;
    } else if (SearchPoint(p0, click, dx, dy) || SearchPoint(p1, click, dx, dy)) {
      Poinz* p = SearchPoint(p0, click, dx, dy) ? p0 : p1;
      if (!p->detectable) return false;
      click->pointHit = 1;
      click->hitPoint = p;
      click->hitObject = obj;
      click->hitPosition = Float3DPoint{p->position[0], p->position[1], p->position[2]};
    } else {
      if (!p0->detectable && !p1->detectable) return false;
      click->segmentHit = 1;
      click->hitPoint = p0;
      click->segmentEnd = p1;
      click->hitObject = obj;
    }
  }
  // Objects of the symbol editor and section details are picked by whole segments.
  const Objex* root = GetRootObject(obj);
  if (root && root->type == kObjGroup && root->groupMarker) {
    click->pointHit = 0;
    click->segmentHit = 1;
    click->hitPoint = p0;
    click->segmentEnd = p1;
    click->hitObject = obj;
  }
  return hit;
}

namespace {

// A door or window is drawn across its wall's thickness: it is hit as far out as its wall's
// line is (the wall's pen), so that a click on it within the wall's band takes it before its
// wall. Anything else is hit by its own pen.
int16_t HitLineWeight(const Objex* obj) {
  const int16_t own = GetLineWeight(obj, 1);
  const Objex* wall = obj->parent;
  if ((obj->type != kObjDoor && obj->type != kObjWindow) || !wall || wall->type != kObjWall) return own;
  const int16_t band = GetLineWeight(wall, 1);
  return band > own ? band : own;
}

// The lines a generated roof's plan symbol draws inside its outline, laid out as the symbol
// lays them: from each corner to its ridge end, and the ridge. A click on one is a click
// inside the roof.
bool SearchRoofSymbol(Objex* roof, ClickInfo* click) {
  const Poinz* c[4];
  const Poinz* p = roof->firstPoint;
  for (int i = 0; i < 4; ++i, p = p->next) {
    if (!p) return false;
    c[i] = p;
  }
  auto at = [](float x, float y, float z) {
    Poinz q{};
    q.position[0] = x, q.position[1] = y, q.position[2] = z;
    return q;
  };
  const float* p1 = c[0]->position;
  const float* p2 = c[1]->position;
  const float* p3 = c[2]->position;
  const float* p4 = c[3]->position;
  const float ridgeLength = std::hypot(p2[0] - p1[0], p2[2] - p1[2]);
  const float halfSpan = std::hypot(p4[0] - p1[0], p4[2] - p1[2]) / 2;
  float travelA = 0, travelB = 0;
  RoofRidgeEndTravel(roof->textureID, ridgeLength, halfSpan, &travelA, &travelB);
  const float ux = ridgeLength > 0 ? (p2[0] - p1[0]) / ridgeLength : 0;
  const float uz = ridgeLength > 0 ? (p2[2] - p1[2]) / ridgeLength : 0;
  const Poinz ridgeA = at((p1[0] + p4[0]) / 2 + travelA * ux, p1[1], (p1[2] + p4[2]) / 2 + travelA * uz);
  const Poinz ridgeB = at((p2[0] + p3[0]) / 2 + travelB * ux, p2[1], (p2[2] + p3[2]) / 2 + travelB * uz);
  const std::pair<const Poinz*, const Poinz*> lines[] = {
      {c[0], &ridgeA}, {c[3], &ridgeA}, {c[1], &ridgeB}, {c[2], &ridgeB}, {&ridgeA, &ridgeB}};
  for (const auto& [from, to] : lines)
    if (SearchObjectSpline(from, to, click, 0, 0)) {
      click->insideHit = 1;
      click->hitObject = roof;
      return true;
    }
  return false;
}

}  // namespace

bool SearchSplinesInObject(Objex* obj, ClickInfo* click) {
  if (!obj || !click || !obj->firstPoint) return false;
  int16_t dx = 0, dy = 0;
  const int16_t w = HitLineWeight(obj);
  if (w > 1) GetPenOffset(w, &dx, &dy);
  std::vector<Poinz*> pts;
  for (Poinz* p = obj->firstPoint; p; p = p->next) pts.push_back(p);
  const int n = static_cast<int>(pts.size());
  const int levels = obj->levels > 1 ? obj->levels : 1;
  const int perRing = levels > 1 ? obj->pointCount / levels : n;
  auto ring = [&](int start) {
    const int end = start + perRing < n ? start + perRing : n;
    for (int i = start; i + 1 < end; ++i)
      if (SearchOnASpline(obj, pts[i], pts[i + 1], click, dx, dy)) return true;
    if (obj->closed && end - start > 1 && SearchOnASpline(obj, pts[end - 1], pts[start], click, dx, dy))
      return true;
    return false;
  };
  if (levels <= 1 || perRing <= 0) return ring(0);
  if (ring(0)) return true;
  for (int r = 1; r < levels && r * perRing < n; ++r) {
    const int start = r * perRing;
    if (ring(start)) return true;
    for (int i = 0; i < perRing && start + i < n; ++i)
      if (SearchOnASpline(obj, pts[start - perRing + i], pts[start + i], click, dx, dy)) return true;
  }
  return false;
}

namespace {

// What the quick look at pick boxes needs of the view, taken once per walk: the plan projection
// as an affine map of model coordinates (across = ax x + az z + a0, down = bx x + by y + bz z +
// b0), the zoom and the printing scale that size the pen. Perspective views are not affine.
struct PickView {
  bool affine = false;
  double zoom = 1, penScale = 1;
  double ax = 0, az = 0, a0 = 0, bx = 0, by = 0, bz = 0, b0 = 0;
  double offsets = 0;  // |x| + |y| + |z| of the view's offsets

  static PickView Current() {
    PickView v;
    v.affine = !gPerspective;
    v.zoom = CurrentZoomFactor();
    v.penScale = v.zoom * (gPrinting ? static_cast<double>(gHPrintScale) : 1.0);
    const double cx = gCosXAngle, sx = gSinXAngle, cy = gCosYAngle, sy = gSinYAngle;
    const double gx = gGlobalXOffset, gy = gGlobalYOffset, gz = gGlobalZOffset;
    // Across: X cos(y) - Z sin(y). Down: Y cos(x) + (X sin(y) + Z cos(y)) sin(x), where
    // X = x zoom - gx, Y = y zoom - gy, Z = z zoom - gz.
    v.ax = v.zoom * cy;
    v.az = -v.zoom * sy;
    v.a0 = -gx * cy + gz * sy;
    v.bx = v.zoom * sy * sx;
    v.by = v.zoom * cx;
    v.bz = v.zoom * cy * sx;
    v.b0 = -gy * cx - gx * sy * sx - gz * cy * sx;
    v.offsets = std::fabs(gx) + std::fabs(gy) + std::fabs(gz);
    for (double k : {v.zoom, v.ax, v.az, v.a0, v.bx, v.by, v.bz, v.b0, v.offsets})
      if (!std::isfinite(k)) v.affine = false;
    return v;
  }
};
thread_local const PickView* sPickView = nullptr;

// The view taken once for the hit tests of one walk: nothing a hit test does moves the view.
struct PickViewScope {
  PickView view = PickView::Current();
  const PickView* saved = sPickView;
  PickViewScope() { sPickView = &view; }
  ~PickViewScope() { sPickView = saved; }
  PickViewScope(const PickViewScope&) = delete;
  PickViewScope& operator=(const PickViewScope&) = delete;
};

// The extent, in model units, of every corner GetObjectObjBounds(obj, 0, rect, 0, 1) projects
// for an object's tree, walked as it walks it: a wall through its outline, each measured box
// widened by at most its pen (GetLineWeight's width halved), no children below a roof.
struct CornerExtent {
  double lo[3], hi[3];
  bool any = false;
  // A corner not finite: nothing can be said about where the corners land.
  bool unknown = false;
};

void TakeCornersOf(const Objex* obj, const PickView& view, CornerExtent* e) {
  const Objex* measured = obj;
  if (obj->type == kObjWall) {
    measured = static_cast<const Objex*>(obj->typeData);
    if (!measured) return;
  }
  if (measured->type != kObjGroup) {
    if (measured->type >= 100 && measured->type <= 107) gDimensionSelected = 1;
    const Float3DRect& b = measured->bounds3D;
    // IsEmptyBounds, asked here without a call.
    const bool empty = b.floatTop == kEmptyBoundsMin && b.floatLeft == kEmptyBoundsMin &&
                       b.floatBack == kEmptyBoundsMin && b.floatBottom == kEmptyBoundsMax &&
                       b.floatRight == kEmptyBoundsMax && b.floatFront == kEmptyBoundsMax;
    if (!empty) {
      // The pen takes w / 2 off each side, w the width zoomed (and scaled when printing),
      // rounded, at most 32767; none when the width is not positive.
      double pen = 0;
      float width = measured->width;
      // A door or window is hit across its wall's band (HitLineWeight).
      if ((measured->type == kObjDoor || measured->type == kObjWindow) && measured->parent &&
          measured->parent->type == kObjWall && measured->parent->width > width)
        width = measured->parent->width;
      if (width > 0) {
        const double w = width * view.penScale;
        pen = w >= 0 && w < 65534 ? w * 0.5 + 1 : 16384;
      }
      const double ends[3][2] = {{b.floatLeft, b.floatRight}, {b.floatTop, b.floatBottom}, {b.floatBack, b.floatFront}};
      for (int k = 0; k < 3; ++k) {
        const double widen = k < 2 ? pen : 0;
        const bool ordered = ends[k][0] <= ends[k][1];
        const double lo = (ordered ? ends[k][0] : ends[k][1]) - widen;
        const double hi = (ordered ? ends[k][1] : ends[k][0]) + widen;
        // NaN fails both tests; an infinity fails the second.
        if (!(lo <= hi) || !(hi - lo < 1e300)) e->unknown = true;
        if (!e->any || lo < e->lo[k]) e->lo[k] = lo;
        if (!e->any || hi > e->hi[k]) e->hi[k] = hi;
      }
      e->any = true;
    }
    if (measured->type == kObjRoof || measured->type == kObjRoofPanel) return;
  }
  for (const Objex* child = measured->firstChild; child; child = child->next) TakeCornersOf(child, view, e);
}

// Least and greatest of k0 x + k1 y + k2 z over the box [lo, hi].
void Range(const double* lo, const double* hi, double k0, double k1, double k2, double* least, double* most) {
  double l = 0, m = 0;
  const double k[3] = {k0, k1, k2};
  for (int i = 0; i < 3; ++i) {
    const double a = k[i] * lo[i], b = k[i] * hi[i];
    l += a < b ? a : b;
    m += a < b ? b : a;
  }
  *least = l;
  *most = m;
}

// The window box that any pick box measured over the corners `e` lies in, each edge rounded as
// the box's edges are: kNoWindowBox where there are no corners, kAnyWindowBox where the
// corners or the arithmetic say nothing.
enum WindowBoxKind { kNoWindowBox, kAnyWindowBox, kWindowBox };
struct WindowBox {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

WindowBoxKind RoundedWindowBox(const CornerExtent& e, const PickView& view, WindowBox* box) {
  if (e.unknown) return kAnyWindowBox;
  // No box at all: the rect stays at the empty marker, which holds no point.
  if (!e.any) return kNoWindowBox;
  double extent = 0;
  for (int k = 0; k < 3; ++k) {
    const double lo = std::fabs(e.lo[k]), hi = std::fabs(e.hi[k]);
    extent += lo > hi ? lo : hi;
  }
  // Every float step errs by at most a few parts in 10^7 of the magnitudes it meets. Past 10^20
  // the float arithmetic may overflow into infinities and NaNs, which round anywhere.
  const double magnitude = 2 * view.zoom * extent + view.offsets;
  if (!(magnitude < 1e20)) return kAnyWindowBox;
  const double slack = 1e-4 * magnitude + 1e-2;
  auto edge = [](double v) { return RoundToShort(static_cast<float>(v)); };
  double least, most;
  Range(e.lo, e.hi, view.ax, 0, view.az, &least, &most);
  box->left = edge(least + view.a0 - slack);
  box->right = edge(most + view.a0 + slack);
  Range(e.lo, e.hi, view.bx, view.by, view.bz, &least, &most);
  box->top = edge(least + view.b0 - slack);
  box->bottom = edge(most + view.b0 + slack);
  return kWindowBox;
}

// Whether the click may lie in the object's pick box as SelectFromObject tests it (the box
// GetObjectObjBounds measures with the pen, its edges rounded to shorts, grown by `grow`):
// false only when it surely does not. The plan projection is affine, so each projected
// coordinate is least and greatest at corners of the extent of all corners; that range, widened
// far beyond the rounding of the float arithmetic, is rounded as the box's edges are (the
// rounding never decreases as its argument grows). A perspective view is not affine: there the
// answer is always yes.
bool PickBoxMayHold(const Objex* obj, const ClickInfo* click, int32_t grow) {
  const PickView local = sPickView ? PickView{} : PickView::Current();
  const PickView& view = sPickView ? *sPickView : local;
  if (!view.affine) return true;
  CornerExtent e;
  TakeCornersOf(obj, view, &e);
  WindowBox box;
  const WindowBoxKind kind = RoundedWindowBox(e, view, &box);
  if (kind != kWindowBox) return kind == kAnyWindowBox;
  const int32_t x = click->where.x, y = click->where.y;
  return x >= box.left - grow && x < box.right + grow && y >= box.top - grow && y < box.bottom + grow;
}

// The pick boxes measured for one top-level object while the passes of one walk look at it
// (the attachment pass and the pass over everything both measure a wall's attachments), and
// the objects whose box surely misses the click. Nothing changes the objects between the passes.
struct PickBoxes {
  static constexpr int kSize = 16;
  // Plain fields, left unset until measured: only the first `count` are read.
  struct Kept {
    const Objex* object;
    bool misses;
    float top, left, bottom, right;
  };
  Kept kept[kSize];
  int count = 0;
  const Kept* find(const Objex* obj) const {
    for (int i = 0; i < count; ++i)
      if (kept[i].object == obj) return &kept[i];
    return nullptr;
  }
  void add(const Objex* obj, bool misses, const FloatRect& r) {
    if (count < kSize) kept[count++] = Kept{obj, misses, r.floatTop, r.floatLeft, r.floatBottom, r.floatRight};
  }
};
thread_local PickBoxes* sPickBoxes = nullptr;

struct PickBoxesScope {
  PickBoxes boxes;
  PickBoxes* saved = sPickBoxes;
  PickBoxesScope() { sPickBoxes = &boxes; }
  ~PickBoxesScope() { sPickBoxes = saved; }
  PickBoxesScope(const PickBoxesScope&) = delete;
  PickBoxesScope& operator=(const PickBoxesScope&) = delete;
};

// The object's box as the hit test measures it: its tree's projected bounds with the pen. False
// when the box surely misses the click grown by `grow` (then nothing is measured).
bool PickBox(Objex* obj, const ClickInfo* click, int32_t grow, FloatRect* rect) {
  PickBoxes* kept = sPickBoxes;
  if (kept)
    if (const PickBoxes::Kept* k = kept->find(obj)) {
      *rect = FloatRect{k->top, k->left, k->bottom, k->right};
      return !k->misses;
    }
  FloatRect fr = EmptyFloatRect();
  const bool misses = !PickBoxMayHold(obj, click, grow);
  if (!misses) GetObjectObjBounds(obj, 0, &fr, 0, 1);
  if (kept) kept->add(obj, misses, fr);
  *rect = fr;
  return !misses;
}

// The Floor tab shows the roofs over its walls, but they are the Roofing tab's to pick: there
// their eaves, lying over the walls, would take every click meant for a wall. A caller that
// names the kinds it looks for gets them on any tab.
bool PickedOnCurrentTab(const Objex* obj, const DocState* ds, int16_t typeCount) {
  if (typeCount >= 1 || ds->newObjectPlanMask != (1 << kPlanFloor)) return true;
  return obj->type != kObjRoof && obj->type != kObjRoofPanel;
}

}  // namespace

bool PickBoxMayHoldClick(Objex* obj, const ClickInfo* click, int32_t grow) {
  return obj && click && PickBoxMayHold(obj, click, grow);
}

bool SelectFromObject(Objex* obj, ClickInfo* click, uint8_t selectedOnly, const int16_t* types,
                      int16_t typeCount) {
  if (!obj || !click || !gCurDocument) return false;
  bool testSelf = true;
  if (typeCount >= 1 && types) {
    testSelf = false;
    for (int i = 0; i < typeCount; ++i)
      if (types[i] == obj->type) testSelf = true;
  }
  if (selectedOnly && !IsObjectSelected(obj)) testSelf = false;
  const bool keyEntry = gCurTool == kToolKeyEntry;
  // A roof's symbol inside its outline is tried after its children (a skylight on a hip line).
  bool roofSymbolLeft = false;
  if (testSelf) {
    // The box is measured with the object's own pen; a door or window reaches its wall's band.
    const int32_t grow = PickTolerance() - 1 + (HitLineWeight(obj) - GetLineWeight(obj, 1) + 1) / 2;
    FloatRect fr;
    const bool mayHold = PickBox(obj, click, grow, &fr);
    RECT box{RoundToShort(fr.floatLeft), RoundToShort(fr.floatTop), RoundToShort(fr.floatRight),
             RoundToShort(fr.floatBottom)};
    Inflate(&box, grow, grow);
    if (mayHold && ClickIn(box, click)) {
      if (!keyEntry && IsBoxHitKind(obj)) {
        click->pointHit = 1;
        click->hitPoint = obj->firstPoint;
        click->hitObject = obj;
        if (obj->subtype == kSubDimensionAttachment && obj->pointCount >= 3) {
          Poinz* p = obj->firstPoint;
          bool pointHit = false;
          for (int i = 0; i < 3 && p; ++i, p = p->next) pointHit = pointHit || SearchPoint(p, click, 0, 0);
          if (!pointHit) click->segmentHit = 1;
        }
        return true;
      }
      if (SearchSplinesInObject(obj, click)) return true;
      roofSymbolLeft = obj->type == kObjRoof && !keyEntry;
      if (obj->type == kObjDetail && obj->subtype >= 1 && obj->subtype <= 9 && obj->cocoaObject &&
          !selectedOnly &&
          PlanPathContainsPoint(static_cast<const PlanPath*>(obj->cocoaObject),
                                static_cast<float>(click->where.x), static_cast<float>(click->where.y))) {
        click->insideHit = 1;
        click->hitObject = obj;
        return true;
      }
    }
  }
  if (keyEntry) return false;
  const DocState* ds = CurDocState();
  // The members of a group made with Plan > Group are picked where each would be picked alone.
  const bool membersAlone = GroupMembersStandAlone(obj);
  for (Objex* c = obj->firstChild; c; c = c->next) {
    if ((membersAlone || IsPlanRestrictedChild(c->type)) && !(ds && IsObjectOnCurrentPlan(c, ds->currentPlanMask)))
      continue;
    if (membersAlone && ds && !PickedOnCurrentTab(c, ds, typeCount)) continue;
    if (SelectFromObject(c, click, selectedOnly, types, typeCount)) return true;
  }
  return roofSymbolLeft && SearchRoofSymbol(obj, click);
}

namespace {

bool TestCorners(Objex* obj, ClickInfo* click) {
  const Float3DRect& b = obj->bounds3D;
  const float corners[8][3] = {
      {b.floatLeft, b.floatTop, b.floatBack},   {b.floatRight, b.floatTop, b.floatBack},
      {b.floatRight, b.floatBottom, b.floatBack}, {b.floatLeft, b.floatBottom, b.floatBack},
      {b.floatLeft, b.floatTop, b.floatFront},  {b.floatRight, b.floatTop, b.floatFront},
      {b.floatRight, b.floatBottom, b.floatFront}, {b.floatLeft, b.floatBottom, b.floatFront}};
  for (int i = 0; i < 8; ++i) {
    if (Test3DHit(corners[i][0], corners[i][1], corners[i][2], click)) {
      click->cornerHit = 1;
      click->corner = static_cast<int16_t>(i + 1);
      click->hitObject = obj;
      click->hitPosition = Float3DPoint{corners[i][0], corners[i][1], corners[i][2]};
      return true;
    }
  }
  return false;
}

}  // namespace

namespace {

// A floor's top-level object as SelectFromLayer tests it (the floor and the plan already asked).
bool HitTopObject(Objex* obj, ClickInfo* click, uint8_t selectedOnly, const int16_t* types, int16_t typeCount) {
  const bool topo = obj->type == kObjTopography;
  const float savedWidth = obj->width;
  if (topo) obj->width = 1.0f;
  bool hit = false;
  // The kind first: it is cheaper to ask than a walk of the points.
  if (!ToolIsPointOriented(gCurTool, obj) && IsObjectSelected(obj)) hit = TestCorners(obj, click);
  if (!hit) hit = SelectFromObject(obj, click, selectedOnly, types, typeCount);
  if (topo) obj->width = savedWidth;
  return hit;
}

}  // namespace

bool SelectFromLayer(Layer* layer, ClickInfo* click, uint8_t selectedOnly, const int16_t* types,
                     int16_t typeCount) {
  const DocState* ds = CurDocState();
  if (!layer || !click || !ds || !layer->visible || !layer->selectable) return false;
  PickViewScope pickView;
  Objex* last = LastObjectOfLayer(layer);
  int hits = 0;
  for (Objex* obj = last; obj; obj = obj->prev) {
    if (!IsObjectOnCurrentPlan(obj, ds->currentPlanMask) || !PickedOnCurrentTab(obj, ds, typeCount)) continue;
    if (!HitTopObject(obj, click, selectedOnly, types, typeCount)) continue;
    if (++hits == gSelectIndex) return true;
    ClearClickInfo(click);
  }
  return false;
}

// ---- The look-up of one gesture ----

namespace {

bool SameView(const PickView& a, const PickView& b) {
  return a.affine == b.affine && a.zoom == b.zoom && a.penScale == b.penScale && a.ax == b.ax && a.az == b.az &&
         a.a0 == b.a0 && a.bx == b.bx && a.by == b.by && a.bz == b.bz && a.b0 == b.b0 && a.offsets == b.offsets;
}

// The corners of every box SelectFromObject may measure under an object: its own and each
// child's at any depth (a roof's extent leaves its children out, yet they are tested).
void TakeTreeCorners(const Objex* obj, const PickView& view, CornerExtent* e, int depth) {
  TakeCornersOf(obj, view, e);
  if (depth >= 64) {
    if (obj->firstChild) e->unknown = true;
    return;
  }
  for (const Objex* c = obj->firstChild; c; c = c->next) TakeTreeCorners(c, view, e, depth + 1);
}

// What the hit tests under the moving mouse look up during a gesture instead of measuring every
// object on every move: the top-level objects of the floors in the order SelectFromAllLayers
// walks them, each with a window box holding every click that any pick box of its tree may hold
// (PickBoxMayHold's rounding over the extent of all their corners, so never smaller than one of
// them), in a uniform grid of cells. An object with a selected point (its box corners are
// tested too) or whose corners say nothing is tested on every move. It stands for the design
// while nothing is edited (DesignEditCount), the document is the same and the view projects as
// it did; the tests of the objects it finds are the walk's own, in the walk's order, so the
// answer and the record are the walk's.
class GestureBoxes {
 public:
  // The answer when the look-up stands for the design now; false (nothing asked) when the walk
  // must answer.
  bool select(Layer* firstLayer, ClickInfo* click, uint8_t selectedOnly, const int16_t* types, int16_t typeCount,
              bool* hit) {
    const DocState* ds = CurDocState();
    if (!open_ || !click || !ds || !gCurDocument || gCurDocument->itsLayers == nullptr) return false;
    Layer* last = firstLayer;
    while (last && last->next) last = last->next;
    if (!last) return false;
    const PickView view = PickView::Current();
    if (!view.affine) return false;
    const uint64_t edits = DesignEditCount();
    const bool current = built_ && edits == edits_ && gCurDocument == document_ && last == lastLayer_ &&
                         SameView(view, view_);
    if (!current) {
      // Built only once the design and the view stood still for two hit tests: a gesture that
      // edits or scrolls at every move keeps the walk and pays for no building.
      const bool steady = noted_ && edits == notedEdits_ && gCurDocument == notedDocument_ &&
                          last == notedLast_ && SameView(view, notedView_);
      built_ = false;
      if (!steady || builds_ >= kMaxBuilds) {
        noted_ = true;
        notedEdits_ = edits;
        notedDocument_ = gCurDocument;
        notedLast_ = last;
        notedView_ = view;
        return false;
      }
      build(last, view);
      ++builds_;
      // Measuring edits nothing, but the count is what stands from here on.
      edits_ = DesignEditCount();
      if (edits_ != edits) {
        built_ = false;
        return false;
      }
    }
    *hit = answer(click, selectedOnly, types, typeCount, ds);
    return true;
  }

  void begin() { ++open_; }
  void end() {
    if (open_ > 0 && --open_ == 0) drop();
  }

 private:
  static constexpr int kMaxBuilds = 64;
  // A box holds the click when left - g <= x < right + g and top - g <= y < bottom + g, g the
  // pick boxes' growth at the time of the test.
  struct Box {
    int32_t left, top, right, bottom;
  };
  enum Kind : uint8_t { kNoBox, kBoxed, kEveryMove };
  struct Floor {
    Layer* layer;
    uint32_t begin, end;  // its objects in `objects_`
  };

  void drop() {
    built_ = noted_ = false;
    builds_ = 0;
    floors_ = {};
    objects_ = {};
    boxes_ = {};
    kinds_ = {};
    everyMove_ = {};
    spread_ = {};
    cellStart_ = {};
    cellItems_ = {};
  }

  void build(Layer* last, const PickView& view) {
    built_ = true;
    document_ = gCurDocument;
    lastLayer_ = last;
    view_ = view;
    floors_.clear();
    objects_.clear();
    boxes_.clear();
    kinds_.clear();
    everyMove_.clear();
    spread_.clear();
    // Measuring here is no hit test: the mark a measured dimension leaves stays as it was.
    const uint8_t dimensionMark = gDimensionSelected;
    for (Layer* l = last; l; l = l->prev) {
      Floor floor{l, static_cast<uint32_t>(objects_.size()), 0};
      for (Objex* obj = LastObjectOfLayer(l); obj; obj = obj->prev) {
        Box box{};
        const Kind kind = measure(obj, view, &box);
        if (kind == kEveryMove) everyMove_.push_back(static_cast<uint32_t>(objects_.size()));
        objects_.push_back(obj);
        boxes_.push_back(box);
        kinds_.push_back(kind);
      }
      floor.end = static_cast<uint32_t>(objects_.size());
      floors_.push_back(floor);
    }
    gDimensionSelected = dimensionMark;
    buildGrid();
  }

  // The object's box, as PickBoxMayHold rounds it for the extent of every corner of its tree.
  static Kind measure(Objex* obj, const PickView& view, Box* box) {
    if (HasSelectedPointInTree(obj)) return kEveryMove;
    const bool topo = obj->type == kObjTopography;
    const float savedWidth = obj->width;
    if (topo) obj->width = 1.0f;
    CornerExtent e;
    TakeTreeCorners(obj, view, &e, 0);
    if (topo) obj->width = savedWidth;
    WindowBox rounded;
    switch (RoundedWindowBox(e, view, &rounded)) {
      case kNoWindowBox: return kNoBox;
      case kAnyWindowBox: return kEveryMove;
      case kWindowBox: break;
    }
    *box = {rounded.left, rounded.top, rounded.right, rounded.bottom};
    return kBoxed;
  }

  bool holds(uint32_t i, int32_t x, int32_t y, int32_t g) const {
    if (kinds_[i] == kEveryMove) return true;
    if (kinds_[i] != kBoxed) return false;
    const Box& b = boxes_[i];
    return x >= b.left - g && x < b.right + g && y >= b.top - g && y < b.bottom + g;
  }

  // Cells about as many as the boxed objects over the span of their boxes; a box over too many
  // cells is tested on every move (through its box) rather than listed in each.
  void buildGrid() {
    cellStart_.clear();
    cellItems_.clear();
    columns_ = rows_ = 0;
    int64_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    size_t boxed = 0;
    for (size_t i = 0; i < boxes_.size(); ++i) {
      if (kinds_[i] != kBoxed) continue;
      const Box& b = boxes_[i];
      left = std::min<int64_t>(left, b.left), top = std::min<int64_t>(top, b.top);
      right = std::max<int64_t>(right, b.right), bottom = std::max<int64_t>(bottom, b.bottom);
      ++boxed;
    }
    if (!boxed) return;
    const double area = static_cast<double>(right - left + 1) * static_cast<double>(bottom - top + 1);
    cell_ = std::max<int32_t>(8, static_cast<int32_t>(std::ceil(std::sqrt(area / static_cast<double>(boxed)))));
    originX_ = static_cast<int32_t>(left);
    originY_ = static_cast<int32_t>(top);
    columns_ = static_cast<int32_t>((right - left) / cell_ + 1);
    rows_ = static_cast<int32_t>((bottom - top) / cell_ + 1);
    constexpr int64_t kMostCells = 16;
    cellStart_.assign(static_cast<size_t>(columns_) * rows_ + 1, 0);
    auto span = [&](const Box& b, int32_t* c0, int32_t* c1, int32_t* r0, int32_t* r1) {
      *c0 = (b.left - originX_) / cell_, *c1 = (b.right - originX_) / cell_;
      *r0 = (b.top - originY_) / cell_, *r1 = (b.bottom - originY_) / cell_;
    };
    for (uint32_t i = 0; i < boxes_.size(); ++i) {
      if (kinds_[i] != kBoxed) continue;
      int32_t c0, c1, r0, r1;
      span(boxes_[i], &c0, &c1, &r0, &r1);
      if (static_cast<int64_t>(c1 - c0 + 1) * (r1 - r0 + 1) > kMostCells) {
        spread_.push_back(i);
        continue;
      }
      for (int32_t r = r0; r <= r1; ++r)
        for (int32_t c = c0; c <= c1; ++c) ++cellStart_[static_cast<size_t>(r) * columns_ + c + 1];
    }
    for (size_t k = 1; k < cellStart_.size(); ++k) cellStart_[k] += cellStart_[k - 1];
    cellItems_.resize(cellStart_.back());
    std::vector<uint32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
    for (uint32_t i = 0; i < boxes_.size(); ++i) {
      if (kinds_[i] != kBoxed) continue;
      int32_t c0, c1, r0, r1;
      span(boxes_[i], &c0, &c1, &r0, &r1);
      if (static_cast<int64_t>(c1 - c0 + 1) * (r1 - r0 + 1) > kMostCells) continue;
      for (int32_t r = r0; r <= r1; ++r)
        for (int32_t c = c0; c <= c1; ++c) cellItems_[fill[static_cast<size_t>(r) * columns_ + c]++] = i;
    }
  }

  // The objects whose box holds the click, in the walk's order.
  void candidates(int32_t x, int32_t y, int32_t g) {
    found_.clear();
    for (uint32_t i : everyMove_) found_.push_back(i);
    for (uint32_t i : spread_)
      if (holds(i, x, y, g)) found_.push_back(i);
    if (columns_ > 0) {
      // The cells a box holding the click may be listed in: those over [x - g, x + g].
      const int64_t x0 = static_cast<int64_t>(x) - g - originX_, x1 = static_cast<int64_t>(x) + g - originX_;
      const int64_t y0 = static_cast<int64_t>(y) - g - originY_, y1 = static_cast<int64_t>(y) + g - originY_;
      auto cellOf = [&](int64_t v, int32_t count) {
        const int64_t c = v < 0 ? -1 : v / cell_;
        return c < 0 ? int64_t{0} : c >= count ? int64_t{count - 1} : c;
      };
      if (x1 >= 0 && y1 >= 0 && x0 < static_cast<int64_t>(columns_) * cell_ &&
          y0 < static_cast<int64_t>(rows_) * cell_) {
        const int64_t c0 = cellOf(x0, columns_), c1 = cellOf(x1, columns_);
        const int64_t r0 = cellOf(y0, rows_), r1 = cellOf(y1, rows_);
        for (int64_t r = r0; r <= r1; ++r)
          for (int64_t c = c0; c <= c1; ++c) {
            const size_t cell = static_cast<size_t>(r * columns_ + c);
            for (uint32_t k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k)
              if (holds(cellItems_[k], x, y, g)) found_.push_back(cellItems_[k]);
          }
      }
    }
    std::sort(found_.begin(), found_.end());
    found_.erase(std::unique(found_.begin(), found_.end()), found_.end());
  }

  // SelectFromAllLayers over the objects found: each floor as SelectFromLayer walks it.
  bool answer(ClickInfo* click, uint8_t selectedOnly, const int16_t* types, int16_t typeCount, const DocState* ds) {
    candidates(click->where.x, click->where.y, PickTolerance() - 1);
    size_t k = 0;
    for (const Floor& floor : floors_) {
      Layer* l = floor.layer;
      const size_t from = k;
      while (k < found_.size() && found_[k] < floor.end) ++k;
      if (!l->visible || !l->selectable) continue;
      PickViewScope pickView;
      int hits = 0;
      for (size_t i = from; i < k; ++i) {
        Objex* obj = objects_[found_[i]];
        if (!IsObjectOnCurrentPlan(obj, ds->currentPlanMask) || !PickedOnCurrentTab(obj, ds, typeCount)) continue;
        if (!HitTopObject(obj, click, selectedOnly, types, typeCount)) continue;
        if (++hits == gSelectIndex) return true;
        ClearClickInfo(click);
      }
    }
    return false;
  }

  int open_ = 0;
  bool built_ = false;
  int builds_ = 0;
  uint64_t edits_ = 0;
  const ZLKDocumentModel* document_ = nullptr;
  const Layer* lastLayer_ = nullptr;
  PickView view_;
  // The design and view the last hit test that found no look-up saw.
  bool noted_ = false;
  uint64_t notedEdits_ = 0;
  const ZLKDocumentModel* notedDocument_ = nullptr;
  const Layer* notedLast_ = nullptr;
  PickView notedView_;

  std::vector<Floor> floors_;
  std::vector<Objex*> objects_;
  std::vector<Box> boxes_;
  std::vector<Kind> kinds_;
  std::vector<uint32_t> everyMove_, spread_;
  int32_t cell_ = 8, originX_ = 0, originY_ = 0, columns_ = 0, rows_ = 0;
  std::vector<uint32_t> cellStart_, cellItems_;
  std::vector<uint32_t> found_;
};

// Each thread's gestures are its own (the hit tests of the plan view run on the main thread).
GestureBoxes& TheGestureBoxes() {
  thread_local GestureBoxes boxes;
  return boxes;
}

}  // namespace

void BeginHitGesture() { TheGestureBoxes().begin(); }
void EndHitGesture() { TheGestureBoxes().end(); }

bool SelectFromAllLayers(Layer* firstLayer, ClickInfo* click, uint8_t selectedOnly,
                         const int16_t* types, int16_t typeCount) {
  bool hit = false;
  if (gHitGestureLookUp && TheGestureBoxes().select(firstLayer, click, selectedOnly, types, typeCount, &hit))
    return hit;
  Layer* last = firstLayer;
  while (last && last->next) last = last->next;
  for (Layer* l = last; l; l = l->prev)
    if (SelectFromLayer(l, click, selectedOnly, types, typeCount)) return true;
  return false;
}

namespace {

// Whether the floors link back exactly as they link forward from the first one, so that a walk
// from the last floor backwards meets the floors a forward walk meets.
bool FloorsLinkBothWays(const Layer* first) {
  if (!first || first->prev) return first == nullptr;
  for (const Layer* l = first; l->next; l = l->next)
    if (l->next->prev != l) return false;
  return true;
}

// Asks for the cache lines of an object that a walk reads: the links, kind and width, the
// points, children and type data, the plans, and the next link.
inline void PrefetchObject(const Objex* obj) {
  __builtin_prefetch(obj);
  __builtin_prefetch(&obj->firstPoint);
  __builtin_prefetch(&obj->typeData);
  __builtin_prefetch(&obj->planMask);
  __builtin_prefetch(&obj->next);
}

// Notes what the click's tests read of an object beyond its first line and its points, in the
// order they read it: its box (GetObjectObjBounds; a wall is measured by its outline's box
// alone), a wall's outline and the outline's box, and its children with the links and flags of
// their points (the selection check, the hit tests of the children). Sets `selected` when a
// point of a child (at any depth) is selected, reading the points as it notes them; false when
// the tree goes deeper than it looks, so that the children's points were not all seen.
bool NoteObjectParts(NotesInPlace& notes, const Objex* obj, int depth, bool* selected) {
  static_assert(sizeof(Float3DRect) <= 32 && alignof(Float3DRect) >= 4);
  static_assert(offsetof(Poinz, selected) + sizeof(Poinz::selected) <= 20 && offsetof(Poinz, next) < 20);
  if (obj->type != kObjWall) notes.noteField(&obj->bounds3D);
  if (obj->type == kObjWall && obj->typeData) {
    const auto* outline = static_cast<const Objex*>(obj->typeData);
    notes.note(outline);
    notes.noteField(&outline->bounds3D);
  }
  // Deeper than any design nests: the rest goes unnoted.
  if (depth >= 8) return obj->firstChild == nullptr;
  bool seen = true;
  for (const Objex* c = obj->firstChild; c; c = c->next) {
    notes.note(c);
    for (const Poinz* p = c->firstPoint; p; p = p->next) {
      notes.noteHead(p);
      if (p->selected) *selected = true;
    }
    if (!NoteObjectParts(notes, c, depth + 1, selected)) seen = false;
  }
  return seen;
}

FloorNotesInPlace& ClickWalkTraces() {
  thread_local FloorNotesInPlace traces;
  return traces;
}

// The passes of SelectFromAllLayersInPasses in one walk; with `walk`, the walk goes on over every
// shown floor after the answer is known and notes the selection it meets.
bool WalkPasses(Layer* firstLayer, ClickInfo* click, const HitPass* passes, int passCount, SelectionWalk* walk) {
  if (walk) {
    walk->firstLayer = firstLayer;
    walk->selected.clear();
    walk->floors.clear();
    walk->hitTop = nullptr;
    walk->hitOrder = 0;
    walk->complete = false;
  }
  if (!click) return false;
  ClearClickInfo(click);
  const DocState* ds = CurDocState();
  bool searching = passes && passCount > 0 && ds;
  bool noting = walk && FloorsLinkBothWays(firstLayer);
  if (!searching && !noting) return false;
  constexpr int kMaxPasses = 8;
  if (passCount > kMaxPasses) passCount = kMaxPasses;
  if (!searching) passCount = 0;
  PickViewScope pickView;
  // Each pass keeps its own record and its own count of hits per floor, as if it walked
  // alone; a pass is no longer asked once it has its answer or once an earlier pass has one.
  ClickInfo work[kMaxPasses];
  bool found[kMaxPasses] = {};
  Objex* foundTop[kMaxPasses] = {};
  uint32_t foundOrder[kMaxPasses] = {};
  for (int i = 0; i < passCount; ++i) work[i] = *click;
  int asked = passCount;  // passes from this index on are settled by an earlier answer
  uint32_t order = 0;
  Layer* last = firstLayer;
  while (last && last->next) last = last->next;
  for (Layer* l = last; l && (searching || noting); l = l->prev) {
    if (!l->visible) continue;
    const bool selectable = l->selectable != 0;
    if (!selectable && !noting) continue;
    if (noting) walk->floors.push_back({l, selectable, false});
    const uint32_t floor = noting ? static_cast<uint32_t>(walk->floors.size() - 1) : 0;
    int hits[kMaxPasses] = {};
    Objex* after = nullptr;  // the object walked just before: the one following obj in the list
    NotesInPlace notes = ClickWalkTraces().begin(l);
    Objex* lastObject = LastObjectOfLayer(l);
    if (lastObject && lastObject->prev) PrefetchObject(lastObject->prev);
    for (Objex* obj = lastObject; obj; after = obj, obj = obj->prev) {
      // The walk waits on memory. Where the last walk's note reaches further on, it asks for
      // everything ahead. Else: the next object was asked for one object ago, so its links are
      // at hand: ask now for the object after it and for the next object's first point.
      Objex* ahead = notes.asksAhead() ? nullptr : obj->prev;
      if (ahead) {
        if (Objex* further = ahead->prev) PrefetchObject(further);
        if (const Poinz* p = ahead->firstPoint) {
          __builtin_prefetch(p);
          __builtin_prefetch(&p->next);
        }
      }
      // Every object's points are read here, once: their flags give the object's selection
      // (HasSelectedPointInTree) while they are noted; the hit tests read them again in cache.
      notes.note(obj);
      bool pointSelected = false;
      for (const Poinz* p = obj->firstPoint; p; p = p->next) {
        notes.noteHead(p);
        if (p->selected) pointSelected = true;
      }
      const bool treeSeen = NoteObjectParts(notes, obj, 0, &pointSelected);
      // Each object must link forward to the one walked before it, and the walk must end at the
      // head of the list, for the note to hold what a forward walk meets.
      if (noting && (obj->next != after || (!obj->prev && obj != l->firstObject))) noting = false;
      if (!searching && !noting) break;
      ++order;
      // Nothing selected anywhere in the object: no selection predicate holds for it or its
      // parts, so the selected-only passes cannot hit it and its handles do not show.
      // Nothing between here and the last use changes a point's flags (the hit tests only read).
      int selected = treeSeen ? (pointSelected ? 1 : 0) : -1;
      auto isSelected = [&] {
        if (selected < 0) selected = HasSelectedPointInTree(obj) ? 1 : 0;
        return selected != 0;
      };
      if (searching && selectable && IsObjectOnCurrentPlan(obj, ds->currentPlanMask)) {
        const bool topo = obj->type == kObjTopography;
        const float savedWidth = obj->width;
        if (topo) obj->width = 1.0f;
        const bool corners = isSelected() && !ToolIsPointOriented(gCurTool, obj) && IsObjectSelected(obj);
        PickBoxesScope boxes;
        for (int i = 0; i < asked; ++i) {
          if (found[i] || (passes[i].selectedOnly && !isSelected())) continue;
          if (!PickedOnCurrentTab(obj, ds, passes[i].typeCount)) continue;
          bool hit = corners && TestCorners(obj, &work[i]);
          if (!hit) hit = SelectFromObject(obj, &work[i], passes[i].selectedOnly, passes[i].types, passes[i].typeCount);
          if (!hit) continue;
          if (++hits[i] == gSelectIndex) {
            found[i] = true;
            foundTop[i] = obj;
            foundOrder[i] = order;
            asked = i + 1;
            break;
          }
          ClearClickInfo(&work[i]);
        }
        if (topo) obj->width = savedWidth;
        // The first pass that hits wins; once it has, nothing further down can change that.
        if (found[0]) searching = false;
      }
      if (!noting) continue;
      if (isSelected()) {
        walk->selected.push_back({obj, order, floor});
      } else if (selectable && !walk->floors[floor].passedPoints) {
        walk->floors[floor].passedPoints = ToolIsPointOriented(gCurTool, obj) || obj->type == kObjLine;
      }
    }
    notes.finish();
  }
  if (walk) walk->complete = noting;
  for (int i = 0; i < asked; ++i) {
    if (!found[i]) continue;
    *click = work[i];
    if (walk) {
      walk->hitTop = foundTop[i];
      walk->hitOrder = foundOrder[i];
    }
    return true;
  }
  return false;
}

}  // namespace

const std::vector<const void*>* ClickWalkNotesOf(const Layer* layer) { return ClickWalkTraces().find(layer); }

void ForgetClickWalkNotes() { ClickWalkTraces().clear(); }

void ForgetClickWalkNotesOf(const Layer* layer) { ClickWalkTraces().forget(layer); }

bool SelectFromAllLayersInPasses(Layer* firstLayer, ClickInfo* click, const HitPass* passes, int passCount) {
  return WalkPasses(firstLayer, click, passes, passCount, nullptr);
}

bool SelectFromAllLayersNotingSelection(Layer* firstLayer, ClickInfo* click, const HitPass* passes, int passCount,
                                        SelectionWalk* walk) {
  return WalkPasses(firstLayer, click, passes, passCount, walk);
}

// ---- Selecting ----

void SelectPoint(Poinz* point, int8_t mode, uint8_t) {
  ClearDimensionWallSegmentSelection();
  if (!point) return;
  NoteDesignEdit();
  if (mode < 0) return;  // not a selection mode
  if (mode <= kSelectOn) {
    if (point->detectable) point->selected = 1;
  } else if (mode == kSelectOff) {
    point->selected = 0;
  } else if (mode == kSelectToggle) {
    if (point->selected) point->selected = 0;
    else if (point->detectable) point->selected = 1;
  } else {
    SpecialSelectPoint(point, mode, 0);
  }
}

namespace {

enum class PointFlag { Selected, Detectable, Locked };

// Writes the flag on every point of the object and its descendants; true when any changed.
bool SetFlags(Objex* obj, PointFlag which, uint8_t value) {
  if (!obj) return false;
  NoteDesignEdit();
  bool changed = false;
  for (Poinz* p = obj->firstPoint; p; p = p->next) {
    uint8_t& f = which == PointFlag::Selected ? p->selected
                 : which == PointFlag::Detectable ? p->detectable : p->locked;
    changed = changed || f != value;
    f = value;
  }
  for (Objex* c = obj->firstChild; c; c = c->next) changed = SetFlags(c, which, value) || changed;
  return changed;
}

}  // namespace

void SetObjectSelectFlags(Objex* obj, uint8_t value) { SetFlags(obj, PointFlag::Selected, value); }
void SetObjectDetectionFlags(Objex* obj, uint8_t value) { SetFlags(obj, PointFlag::Detectable, value); }
void SetObjectLockFlags(Objex* obj, uint8_t value) { SetFlags(obj, PointFlag::Locked, value); }

bool DoSelectObject(Objex* obj, int8_t mode) {
  if (!obj || mode < 0) return false;
  if (mode >= kSelectUnhide) return SpecialSelectObject(obj, mode);
  if (mode == kSelectOff) return SetFlags(obj, PointFlag::Selected, 0);
  if (mode == kSelectToggle && IsObjectSelected(obj)) return SetFlags(obj, PointFlag::Selected, 0);
  if (IsObjectUndetectable(obj)) return false;
  return SetFlags(obj, PointFlag::Selected, 1);
}

bool SpecialSelectObject(Objex* obj, int8_t mode) {
  if (!obj) return false;
  switch (mode) {
    case kSelectUnhide:
      SetFlags(obj, PointFlag::Detectable, 1);
      return false;
    case kSelectHide:
      if (!IsObjectSelected(obj)) return false;
      SetFlags(obj, PointFlag::Selected, 0);
      SetFlags(obj, PointFlag::Detectable, 0);
      return true;
    case kSelectLock:
    case kSelectUnlock:
      if (!IsObjectSelected(obj)) return false;
      SetFlags(obj, PointFlag::Locked, mode == kSelectLock ? 1 : 0);
      return true;
    default:
      return false;
  }
}

uint8_t SelectObj(Objex* obj, int8_t mode, uint8_t flag) {
  if (!obj) return flag;
  if (ToolIsPointOriented(gCurTool, obj) || obj->type == kObjLine)
    return DoSelectObjectPoints(obj, mode, flag) ? 1 : 0;
  return DoSelectObject(obj, mode) ? 1 : 0;
}

bool DoSelectObjectPoints(Objex* obj, int8_t mode, uint8_t flag) {
  if (!obj) return false;
  if (obj->type == kObjDimensionInfo) flag = 0;
  const bool before = IsObjectSelected(obj);
  bool changed = false;
  for (Poinz* p = obj->firstPoint; p; p = p->next) {
    const uint8_t s = p->selected, d = p->detectable, l = p->locked;
    SelectPoint(p, mode, flag);
    changed = changed || s != p->selected || d != p->detectable || l != p->locked;
  }
  if (flag) SelectionFeedback(obj, before != IsObjectSelected(obj), true);
  if (obj->type == kObjRoof && mode != kSelectOff) return changed;
  for (Objex* c = obj->firstChild; c; c = c->next) {
    if (c->type == kObjSkylight && IsRoofType(obj->type)) changed = SelectObj(c, mode, flag) || changed;
    else changed = DoSelectObjectPoints(c, mode, flag) || changed;
  }
  return changed;
}

namespace {

bool EditsPointsOf(const Objex* obj) {
  return ToolIsPointOriented(gCurTool, obj) && !IsObjectGrouped(obj) && obj->type != 200 &&
         obj->type != kObjDimensionInfo && obj->type != 302;
}

}  // namespace

void SelectObjectPoint(Poinz* point, Objex* obj, int8_t mode, uint8_t flag) {
  if (!point || !obj || gCurTool == kToolNone) return;
  if (EditsPointsOf(obj)) {
    if (obj->type == kObjRoof) SelectObj(obj, mode, flag);
    else SelectPoint(point, mode, flag);
  } else if (obj->type == kObjDormerCutout) {
    SelectPoint(point, mode, flag);
  } else {
    SelectObj(GetRootObject(obj), mode, flag);
  }
}

void SelectObjectSpline(Poinz* p0, Poinz* p1, Objex* obj, int8_t mode, uint8_t flag) {
  if (!p0 || !p1 || !obj || gCurTool == kToolNone) return;
  if (EditsPointsOf(obj)) {
    if (obj->type == kObjRoof) {
      SelectObj(obj, mode, flag);
      return;
    }
    const bool before = IsObjectSelected(obj);
    SelectPoint(p0, mode, flag);
    SelectPoint(p1, mode, flag);
    if (flag) SelectionFeedback(obj, before != IsObjectSelected(obj), true);
  } else if (obj->type == kObjDormerCutout && ToolIsPointOriented(gCurTool, obj)) {
    SelectPoint(p0, mode, flag);
    SelectPoint(p1, mode, flag);
  } else if (gCurTool == kToolKeyEntry) {
    return;
  } else if (obj->type == kObjSkylight || obj->type == kObjDormerCutout) {
    // Roof attachments are picked themselves, not with the roof they sit on.
    SelectObj(obj, mode, flag);
  } else {
    SelectObj(GetRootObject(obj), mode, flag);
  }
}

void Select3DRoofPanelObj(Objex* panel) {
  if (!panel) return;
  for (Poinz* p = panel->firstPoint; p; p = p->next) SelectPoint(p, kSelectOn, 1);
  for (Objex* c = panel->firstChild; c; c = c->next)
    if (c->type == kObjRoofSlopeArrow) SelectObj(c, kSelectOn, 1);
}

void SelectEntireRoofAttachments(Objex* roof) {
  if (!roof) return;
  for (Objex* c = roof->firstChild; c; c = c->next)
    if (c->type != kObjRoofSlopeArrow && IsObjectSelected(c)) SelectObj(c, kSelectOn, 1);
}

bool IsAnyRoofAttachmentSelected(const Objex* roof) {
  if (!roof) return false;
  for (const Objex* c = roof->firstChild; c; c = c->next) {
    if (c->type == kObjRoofSlopeArrow) continue;
    for (const Poinz* p = c->firstPoint; p; p = p->next)
      if (p->selected) return true;
  }
  return false;
}

void DeselectAllAttachmentObjects() {
  if (!gCurDocument || !gCurDocument->itsCurLayer) return;
  for (Objex* o = gCurDocument->itsCurLayer->firstObject; o; o = o->next) {
    if (o->type != kObjWall && o->type != kObjRoof && o->type != kObjDeck && o->type != kObjRoofPanel)
      continue;
    for (Objex* c = o->firstChild; c; c = c->next) {
      switch (c->type) {
        case kObjDoor: case kObjWindow: case kObjDeckSteps: case kObjComponent: case kObjAccessory:
        case kObjSkylight: case kObjDormerCutout:
          SelectObj(c, kSelectOff, 0);
          break;
        default:
          break;
      }
    }
  }
}

void SelectLayer(Layer* layer, int8_t mode, uint8_t flag) {
  if (!layer || !layer->visible || !layer->selectable) return;
  bool passedPoints = false;
  for (Objex* o = layer->firstObject; o; o = o->next) {
    // Deselecting an object with nothing selected in it changes no flag and gives no feedback;
    // only the stored wall-segment dimension, which going over its points would clear, is
    // cleared below.
    if (mode == kSelectOff && !HasSelectedPointInTree(o)) {
      passedPoints = passedPoints || ToolIsPointOriented(gCurTool, o) || o->type == kObjLine;
      continue;
    }
    SelectObj(o, mode, flag);
  }
  if (passedPoints) ClearDimensionWallSegmentSelection();
}

void SelectAllLayers(Layer* firstLayer, int8_t mode, uint8_t flag) {
  for (Layer* l = firstLayer; l; l = l->next) SelectLayer(l, mode, flag);
  if (gCurTool != kToolSkylight) UpdateInspectorPropertiesState(true);
}

void DeselectAllLayersHoldingNone(Layer* firstLayer) {
  // What SelectLayer clears when it passes over objects whose points it would have gone over.
  for (Layer* l = firstLayer; l; l = l->next) {
    if (!l->visible || !l->selectable) continue;
    for (Objex* o = l->firstObject; o; o = o->next)
      if (ToolIsPointOriented(gCurTool, o) || o->type == kObjLine) {
        ClearDimensionWallSegmentSelection();
        break;
      }
  }
  if (gCurTool == kToolSkylight) return;
  KnownSelection none;
  none.firstLayer = firstLayer;
  KnownSelectionScope scope(&none);
  UpdateInspectorPropertiesState(true);
}

// ---- Selecting what shows on the current plans ----

uint8_t SelectVisualObj(Objex* obj, int8_t mode, uint8_t flag, int32_t planMask) {
  if (!obj) return flag;
  if (ToolIsPointOriented(gCurTool, obj) || obj->type == kObjLine) {
    DoSelectVisualObjectPoints(obj, mode, flag, planMask);
    return 1;
  }
  return DoSelectObject(obj, mode) ? 1 : 0;
}

void DoSelectVisualObjectPoints(Objex* obj, int8_t mode, uint8_t flag, int32_t planMask) {
  if (!obj) return;
  if (obj->type == kObjSkylight && gCurTool == kToolRemovePoint) return;
  if (obj->type == kObjDimensionInfo) flag = 0;
  const bool before = IsObjectSelected(obj);
  for (Poinz* p = obj->firstPoint; p; p = p->next) SelectPoint(p, mode, flag);
  if (flag) SelectionFeedback(obj, before != IsObjectSelected(obj), false);
  for (Objex* c = obj->firstChild; c; c = c->next) {
    if (!IsObjectOnCurrentPlan(c, planMask)) continue;
    if (c->type == kObjSkylight && IsRoofType(obj->type)) {
      if (gCurTool != kToolRemovePoint) SelectVisualObj(c, mode, flag, planMask);
    } else {
      DoSelectVisualObjectPoints(c, mode, flag, planMask);
    }
  }
}

void SelectVisualLayer(Layer* layer, int8_t mode, uint8_t flag) {
  const DocState* ds = CurDocState();
  if (!layer || !ds || !layer->visible || !layer->selectable) return;
  for (Objex* o = layer->firstObject; o; o = o->next)
    if (IsObjectOnCurrentPlan(o, ds->currentPlanMask)) SelectVisualObj(o, mode, flag, ds->currentPlanMask);
}

void SelectVisualAllLayers(Layer* firstLayer, int8_t mode, uint8_t flag) {
  for (Layer* l = firstLayer; l; l = l->next) SelectVisualLayer(l, mode, flag);
}

// ---- Rectangle selection ----

bool SelectPointInRect(Poinz* point, Objex* obj, const RECT* rect, int8_t mode, uint8_t flag) {
  if (!point || !obj || !rect || gCurTool == kToolNone) return false;
  float x = point->position[0], y = point->position[1], z = point->position[2];
  Project(&x, &y, &z);
  if (!RectContainsPoint(*rect, static_cast<float>(RoundToShort(x)), static_cast<float>(RoundToShort(y))))
    return false;
  if (!ToolIsPointOriented(gCurTool, obj) || IsObjectGrouped(obj) || obj->type == 200 ||
      obj->type == kObjDimensionInfo || obj->type == 302)
    SelectObj(GetRootObject(obj), mode, flag);
  else
    SelectPoint(point, mode, flag);
  return true;
}

void SelectObjectInRect(Objex* obj, const RECT* rect, int8_t mode, uint8_t flag) {
  if (!obj || !rect) return;
  FloatRect fr = obj->bounds;
  ZoomFRect(&fr);
  RECT r{RoundToShort(fr.floatLeft), RoundToShort(fr.floatTop), RoundToShort(fr.floatRight),
         RoundToShort(fr.floatBottom)};
  Inflate(&r, 2, 2);
  if (!RectsIntersect(r, *rect)) return;
  const int32_t tool = gCurTool == kToolNone ? static_cast<int32_t>(kToolSelection) : gCurTool;
  const bool editsPoints = ToolIsPointOriented(tool, obj);
  for (Poinz* p = obj->firstPoint; p; p = p->next)
    if (SelectPointInRect(p, obj, rect, mode, flag) && !editsPoints) break;
  for (Objex* c = obj->firstChild; c; c = c->next) SelectObjectInRect(c, rect, mode, flag);
}

void SelectLayerInRect(Layer* layer, const RECT* rect, int8_t mode, uint8_t flag) {
  const DocState* ds = CurDocState();
  if (!layer || !rect || !gCurDocument || !ds || !layer->visible || !layer->selectable) return;
  const int32_t planMask = ds->currentPlanMask;
  for (Objex* o = layer->firstObject; o; o = o->next) {
    if (!IsObjectOnCurrentPlan(o, planMask)) continue;
    if (IsRoofType(o->type)) {
      RECT b = GrownBounds(o, 2);
      if (!RectsIntersect(b, *rect)) continue;
      if (CornersInside(b, *rect)) {
        SelectVisualObj(o, mode, flag, planMask);
        continue;
      }
      for (Objex* c = o->firstChild; c; c = c->next)
        if ((c->type == kObjSkylight || c->type == kObjDormerCutout) && CornersInside(GrownBounds(c, 2), *rect))
          SelectVisualObj(c, mode, flag, planMask);
    } else if (o->type == kObjWall) {
      // Walls are marqueed point by point, always selecting.
      for (Poinz* p = o->firstPoint; p; p = p->next) {
        float x = p->position[0], y = p->position[1], z = p->position[2];
        Project(&x, &y, &z);
        if (RectContainsPoint(*rect, std::trunc(Clamp32767(x)), std::trunc(Clamp32767(y))))
          SelectPoint(p, kSelectOn, 1);
      }
    } else {
      RECT b = GrownBounds(o, 2);
      if (RectsIntersect(b, *rect) && CornersInside(b, *rect)) SelectVisualObj(o, mode, flag, planMask);
    }
  }
}

void SelectAllLayersInRect(Layer* firstLayer, const RECT* rect, int8_t mode, uint8_t flag) {
  for (Layer* l = firstLayer; l; l = l->next) SelectLayerInRect(l, rect, mode, flag);
}
