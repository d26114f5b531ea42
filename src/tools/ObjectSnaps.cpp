// Object snaps and the snap-tool cycle of the drag stage.
#include "tools/ObjectSnaps.h"

#include <cmath>

#include "model/Bounds.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ViewProjection.h"
#include "tools/SnapCodes.h"
#include "tools/ToolCodes.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

uint8_t gSnapLocked = 0;
int16_t gTrackEventKeyCode = 0;

namespace {

float WindowDistance(float x1, float y1, float x2, float y2) { return std::hypot(x2 - x1, y2 - y1); }

// Both plan points through the view at height 0: their window points.
void ProjectEnds(const Poinz* a, const Poinz* b, float* ax, float* ay, float* bx, float* by) {
  float x1 = a->position[0], y1 = 0, z1 = a->position[2];
  float x2 = b->position[0], y2 = 0, z2 = b->position[2];
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
  *ax = x1, *ay = y1, *bx = x2, *by = y2;
}

bool IsZero2(const float* v) { return v[0] == 0 && v[1] == 0; }

// A segment hit on a straight segment (no handles between its two points).
bool StraightSegmentHit(const ClickInfo* c) {
  return c->segmentHit && !c->pointHit && c->hitPoint && c->segmentEnd && IsZero2(c->hitPoint->outHandle) &&
         IsZero2(c->segmentEnd->inHandle);
}

// A view point of the record back to a plan point.
void ViewToPlan(float vx, float vy, float* h, float* v) {
  *h = UnzoomF(vx + gGlobalXOffset);
  *v = UnzoomF(vy + gGlobalZOffset);
}

bool Object3DBounds(ClickInfo* c, Float3DRect* box) {
  Objex* o = c->hitObject;
  if (!o) return false;
  if (o->parent) o = o->parent;
  *box = Float3DRect{32000, 32000, 32000, -32000, -32000, -32000};
  GetObject3DBounds(o, 0, box, 0);
  return box->floatLeft <= box->floatRight;
}

bool IsWallComponentTool(uint16_t tool) {
  switch (tool) {
    case 208: case 7055: case 7100: case 7101: case 7103: case 7105: case 7106: case 7107: case 7110:
    case 7112: case 7113: case 7114: case 7115: case 7200: case 7201: case 7407:
      return true;
    default:
      return tool >= 7203 && tool <= 7210;
  }
}

bool IsWallComponentSubtype(int32_t s) {
  switch (s) {
    case 55: case 65: case 66: case 67: case 70: case 73: case 74: case 75: case 76: case 77: case 78:
    case 83: case 84: case 85: case 86: case 87: case 90: case 91: case 92: case 93: case 94: case 95:
    case 96: case 97: case 99: case 109: case 124: case 138: case 303:
      return true;
    default:
      return false;
  }
}

// The point `d` from (fx, fz) toward (tx, tz); a line of no length has no direction, so the
// point stays at (fx, fz).
void Toward(float fx, float fz, float tx, float tz, float d, float* h, float* v) {
  float length = 0;
  const float angle = GetLineLengthAndAngle(fx, fz, tx, tz, &length);
  float dx = 0, dz = 0;
  if (length > 0) GetPointFromLengthAndAngle(angle, d, &dx, &dz);
  *h = fx + dx;
  *v = fz + dz;
}

}  // namespace

uint8_t SnapEndPoint(ClickInfo* c, int32_t x, int32_t y, Layer*, float* outH, float* outV) {
  if (c->pointHit && c->hitPoint) {
    *outH = c->hitPoint->position[0];
    *outV = c->hitPoint->position[2];
    return 1;
  }
  if (c->segmentHit && c->hitPoint && c->segmentEnd) {
    float ax, ay, bx, by;
    ProjectEnds(c->hitPoint, c->segmentEnd, &ax, &ay, &bx, &by);
    const float d1 = WindowDistance(x, y, ax, ay), d2 = WindowDistance(x, y, bx, by);
    const Poinz* p = d2 > d1 ? c->hitPoint : c->segmentEnd;
    *outH = p->position[0];
    *outV = p->position[2];
    return 1;
  }
  if (c->cornerHit && c->hitObject) {
    const FloatRect& b = c->hitObject->bounds;
    switch (c->corner) {
      case 1: *outH = b.floatLeft, *outV = b.floatTop; return 1;
      case 2: *outH = b.floatRight, *outV = b.floatTop; return 1;
      case 3: *outH = b.floatRight, *outV = b.floatBottom; return 1;
      case 4: *outH = b.floatLeft, *outV = b.floatBottom; return 1;
      default: return 0;
    }
  }
  return 0;
}

uint8_t SnapSplineCenter(ClickInfo* c, int32_t, int32_t, Layer*, float* outH, float* outV) {
  if (!c->segmentHit || c->pointHit || !c->hitPoint || !c->segmentEnd) return 0;
  float x = 0, y = 0, z = 0;
  GetSplineCoordinate(c->hitPoint, c->segmentEnd, 0.5f, &x, &y, &z);
  *outH = x;
  *outV = z;
  return 1;
}

uint8_t SnapObjectCenter(ClickInfo* c, int32_t, int32_t, Layer*, float* outH, float* outV) {
  Float3DRect box;
  if (!Object3DBounds(c, &box)) return 0;
  *outH = (box.floatLeft + box.floatRight) / 2;
  *outV = (box.floatBack + box.floatFront) / 2;
  return 1;
}

uint8_t SnapObjectCorner(ClickInfo* c, int32_t x, int32_t y, Layer*, float* outH, float* outV) {
  Float3DRect box;
  if (!Object3DBounds(c, &box)) return 0;
  float cx = (box.floatLeft + box.floatRight) / 2, cy = (box.floatTop + box.floatBottom) / 2;
  float cz = (box.floatBack + box.floatFront) / 2;
  ConversionToIsometric(&cx, &cy, &cz, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                        gGlobalYOffset, gGlobalZOffset, 1);
  const int32_t rx = static_cast<int32_t>(std::lround(cx)), ry = static_cast<int32_t>(std::lround(cy));
  *outH = x > rx ? box.floatRight : box.floatLeft;
  *outV = ry < y ? box.floatFront : box.floatBack;
  return 1;
}

uint8_t SnapIntersection(ClickInfo* c, int32_t, int32_t, Layer*, float* outH, float* outV) {
  const ClickInfo& s = gSnapInfo;
  if (!c->hitMode || !s.hitMode) return 0;
  if (c->pointHit && c->hitPoint) {
    *outH = c->hitPoint->position[0], *outV = c->hitPoint->position[2];
    return 1;
  }
  if (s.pointHit && s.hitPoint) {
    *outH = s.hitPoint->position[0], *outV = s.hitPoint->position[2];
    return 1;
  }
  if (!c->segmentHit || !s.segmentHit) return 0;
  float ix = 0, iy = 0;
  GetIntersection(UnzoomF(c->chordStart.floatH), UnzoomF(c->chordStart.floatV), UnzoomF(c->chordEnd.floatH),
                  UnzoomF(c->chordEnd.floatV), UnzoomF(s.chordStart.floatH), UnzoomF(s.chordStart.floatV),
                  UnzoomF(s.chordEnd.floatH), UnzoomF(s.chordEnd.floatV), &ix, &iy);
  // Parallel lines meet nowhere (the intersection reports 32000).
  if (!std::isfinite(ix) || !std::isfinite(iy) || std::fabs(ix) >= 30000 || std::fabs(iy) >= 30000) return 0;
  ViewToPlan(ZoomF(ix), ZoomF(iy), outH, outV);
  return 1;
}

uint8_t SnapPerpendicular(ClickInfo* c, int32_t, int32_t, Layer*, float*, float*) {
  if (c->pointHit && c->hitPoint) {
    Poinz* p = c->hitPoint;
    c->segmentHit = 1;
    if (IsZero2(p->inHandle) && IsZero2(p->outHandle))
      c->segmentEnd = p->prev ? p->prev : (p->next ? p->next : p);
    else
      c->segmentEnd = p;
  }
  if (c->segmentHit && c->hitPoint && c->segmentEnd && !gPerpStartPtz && !gPerpEndPtz) {
    gPerpStartPtz = c->hitPoint;
    gPerpEndPtz = c->segmentEnd;
  }
  return 0;
}

uint8_t SnapSplinePercentage(ClickInfo* c, int32_t x, int32_t y, Layer*, float* outH, float* outV) {
  const DocState* ds = CurDocState();
  if (!ds || !StraightSegmentHit(c)) return 0;
  const float d = ConvertWorldToScreen(ds->snapOffset, ds, 0);
  const float* a = c->hitPoint->position;
  const float* b = c->segmentEnd->position;
  float ax, ay, bx, by;
  ProjectEnds(c->hitPoint, c->segmentEnd, &ax, &ay, &bx, &by);
  float h = 0, v = 0;
  if (WindowDistance(x, y, bx, by) > WindowDistance(x, y, ax, ay))
    Toward(a[0], a[2], b[0], b[2], d, &h, &v);
  else
    Toward(b[0], b[2], a[0], a[2], d, &h, &v);
  const bool push = IsWallComponentTool(gCurTool) ||
                    (gCurTool == 200 && c->hitObject && IsWallComponentSubtype(c->hitObject->subtype));
  if (push) {
    float length = 0;
    const float angle = GetLineLengthAndAngle(a[0], a[2], b[0], b[2], &length);
    float mx = 0, mz = 0, px = 0, pz = 0;
    GetPointFromLengthAndAngle(angle - static_cast<float>(M_PI / 2), 100, &mx, &mz);
    GetPointFromLengthAndAngle(angle + static_cast<float>(M_PI / 2), 100, &px, &pz);
    float qx = 0, qz = 0;
    ViewToPlan(static_cast<float>(x), static_cast<float>(y), &qx, &qz);
    const bool plus = WindowDistance(h + mx, v + mz, qx, qz) > WindowDistance(h + px, v + pz, qx, qz);
    h += plus ? px : mx;
    v += plus ? pz : mz;
  }
  *outH = h;
  *outV = v;
  return 1;
}

uint8_t SnapSplinePercentage2(ClickInfo* c, int32_t, int32_t, Layer*, float* outH, float* outV) {
  const DocState* ds = CurDocState();
  if (!ds || !StraightSegmentHit(c)) return 0;
  const float d = ConvertWorldToScreen(ds->snapOffset, ds, 0);
  const float* a = c->hitPoint->position;
  const float* b = c->segmentEnd->position;
  Toward(b[0], b[2], a[0], a[2], d, outH, outV);
  return 1;
}

uint8_t SnapOnSpline(ClickInfo* c, int32_t x, int32_t y, Layer*, float* outH, float* outV) {
  if (c->pointHit && c->hitPoint) {
    *outH = c->hitPoint->position[0], *outV = c->hitPoint->position[2];
    return 1;
  }
  if (!c->segmentHit) return 0;
  const float p1x = c->chordStart.floatH, p1y = c->chordStart.floatV;
  const float p2x = c->chordEnd.floatH, p2y = c->chordEnd.floatV;
  const float d1 = WindowDistance(x, y, p1x, p1y), d2 = WindowDistance(x, y, p2x, p2y);
  float rx = 0, ry = 0;
  if (d2 > d1)
    Toward(p1x, p1y, p2x, p2y, d1, &rx, &ry);
  else
    Toward(p2x, p2y, p1x, p1y, d2, &rx, &ry);
  ViewToPlan(rx, ry, outH, outV);
  return 1;
}

uint8_t SnapOrigin(ClickInfo*, int32_t, int32_t, Layer*, float* outH, float* outV) {
  const DocState* ds = CurDocState();
  if (!ds || !outH || !outV) return 0;
  *outH = ds->origin.floatH;
  *outV = ds->origin.floatD;
  return 1;
}

uint8_t SnapPoint(ClickInfo* click, int32_t x, int32_t y, uint16_t snap, Layer* layers, float* outH,
                  float* outV) {
  if (!outH || !outV || !layers || !click) return 0;
  if (snap == kSnapOrigin) return SnapOrigin(click, x, y, layers, outH, outV);
  if (!click->hitMode) return 0;
  switch (snap) {
    case kSnapEndpoint: return SnapEndPoint(click, x, y, layers, outH, outV);
    case kSnapSegmentCenter: return SnapSplineCenter(click, x, y, layers, outH, outV);
    case kSnapObjectCenter: return SnapObjectCenter(click, x, y, layers, outH, outV);
    case kSnapObjectCorner: return SnapObjectCorner(click, x, y, layers, outH, outV);
    case kSnapIntersection: return SnapIntersection(click, x, y, layers, outH, outV);
    case kSnapPerpendicular: return SnapPerpendicular(click, x, y, layers, outH, outV);
    case kSnapSegmentOffset: return SnapSplinePercentage(click, x, y, layers, outH, outV);
    case kSnapOnSegment: return SnapOnSpline(click, x, y, layers, outH, outV);
    default: return 0;
  }
}

void (*gSetSnapToolHook)(uint16_t snap) = nullptr;
void (*gResetSnapToolHook)() = nullptr;

void SetSnapTool(uint16_t snap) {
  if (gSetSnapToolHook) gSetSnapToolHook(snap);
  else gCurSnap = snap;
}

int SnapToolChange() {
  NoteServiceCall("SnapToolChange", nullptr);
  const uint16_t bits = gTrackingHooks.currentModifiers ? gTrackingHooks.currentModifiers() : gTrackModifiers;
  int next = gCurSnap;
  if (bits & kTrackModShift) {
    next = next - 1;
    if (next < kSnapAnywhere) next = kSnapOnSegment;
  } else {
    next = next + 1;
    if (next >= 509) next = kSnapAnywhere;
  }
  SetSnapTool(static_cast<uint16_t>(next));
  return 0;
}

void SnapToolChangeInLoop() {
  const uint8_t saved = gChangeSnapOK;
  gChangeSnapOK = 1;
  SnapToolChange();
  gChangeSnapOK = saved;
}

int MaintainSnapTools() {
  if (gTrackEventKeyCode != kKeyCodeTab) return 0;
  return SnapToolChange();
}

void ResetSnapTool() {
  if (gResetSnapToolHook) {
    gResetSnapToolHook();
    return;
  }
  if (gCurSnap == kSnapOrigin || (!gSnapLocked && gCurSnap != kSnapAnywhere)) SetSnapTool(kSnapAnywhere);
}
