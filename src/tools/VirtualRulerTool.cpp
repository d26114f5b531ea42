// The virtual ruler's hit test and its drag by the body or either end.
#include "tools/VirtualRulerTool.h"

#include <cmath>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grid.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "plandraw/VirtualRuler.h"
#include "tools/ModalEvents.h"
#include "tools/PointEvaluation.h"

namespace {

// Crossing-number test of a window point against the body's four corners.
bool InsideQuad(const POINT c[4], int32_t x, int32_t y) {
  bool inside = false;
  for (int i = 0, j = 3; i < 4; j = i++) {
    const double yi = c[i].y, yj = c[j].y, xi = c[i].x, xj = c[j].x;
    if ((yi > y) != (yj > y)) {
      const double crossX = xi + (y - yi) * (xj - xi) / (yj - yi);
      if (x < crossX) inside = !inside;
    }
  }
  return inside;
}

bool InRect(const RECT& r, int32_t x, int32_t y) { return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom; }

void SnapEnd(const DocState* ds, FloatPoint* p) {
  float y = 0;
  Snap3DPointToGrid(ds, &p->floatH, &y, &p->floatV);
}

float RulerLength(const ZLKDocumentModel* doc) {
  return std::hypot(doc->itsVREndPt.floatH - doc->itsVRStartPt.floatH, doc->itsVREndPt.floatV - doc->itsVRStartPt.floatV);
}

// Puts `moved` kMinimumRulerLength from `fixed`, along the direction from `fixed` toward it.
void Lengthen(const FloatPoint& fixed, FloatPoint* moved) {
  const float dx = moved->floatH - fixed.floatH, dz = moved->floatV - fixed.floatV;
  const float length = std::hypot(dx, dz);
  if (length > 0) {
    moved->floatH = fixed.floatH + dx / length * kMinimumRulerLength;
    moved->floatV = fixed.floatV + dz / length * kMinimumRulerLength;
  } else {
    // Ends on top of each other: no direction left, so lay the ruler along +x.
    moved->floatH = fixed.floatH + (moved == &gCurDocument->itsVRStartPt ? -kMinimumRulerLength : kMinimumRulerLength);
    moved->floatV = fixed.floatV;
  }
}

}  // namespace

int16_t PointInVirtualRuler(POINT where, int16_t* part) {
  ZLKDocumentModel* doc = gCurDocument;
  if (!part) return 0;
  // Only the hit code is written: callers pass a single short.
  part[0] = kRulerHitNone;
  if (!doc || !doc->itsVRVisible) return 0;
  POINT corners[4];
  if (!ComputeRulerBoundaryFrame(corners) || !InsideQuad(corners, where.x, where.y)) return 0;
  part[0] = kRulerHitBody;
  RECT start, end;
  if (ComputeRulerStartPtFrame(&start) && InRect(start, where.x, where.y)) part[0] = kRulerHitStart;
  else if (ComputeRulerEndPtFrame(&end) && InRect(end, where.x, where.y)) part[0] = kRulerHitEnd;
  return 1;
}

void TrackVirtualRuler(int32_t x, int32_t y, POINT, int16_t part) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (!doc || !doc->itsVRVisible || !ds) return;
  if (ds->snapToGrid) {
    if (part == kRulerHitBody) {
      // The whole ruler moves onto the grid by its start: snapping each end on its own would
      // change the length the ruler measures.
      const FloatPoint before = doc->itsVRStartPt;
      SnapEnd(ds, &doc->itsVRStartPt);
      doc->itsVREndPt.floatH += doc->itsVRStartPt.floatH - before.floatH;
      doc->itsVREndPt.floatV += doc->itsVRStartPt.floatV - before.floatV;
    } else {
      SnapEnd(ds, &doc->itsVRStartPt);
      SnapEnd(ds, &doc->itsVREndPt);
    }
  }
  float downX = 0, downY = 0, downZ = 0;
  EvaluatePoint(x, y, &downX, &downY, &downZ, 1, nullptr, 1);
  const FloatPoint s0 = doc->itsVRStartPt, e0 = doc->itsVREndPt;
  DrawLength(0);
  int32_t lastX = x, lastY = y;
  for (;;) {
    ModalEvent event;
    if (!NextModalEvent(kModalMouseDraggedMask | kModalMouseUpMask, &event)) {
      // The design (and its ruler) may be gone with its window.
      if (event.type == kModalWindowClosed) return;
      break;
    }
    if (event.type != kModalMouseDragged) break;
    const int32_t ex = event.where.x, ey = event.where.y;
    if (ex == lastX && ey == lastY) continue;
    lastX = ex;
    lastY = ey;
    float px = downX, py = downY, pz = downZ;
    EvaluatePoint(ex, ey, &px, &py, &pz, 1, nullptr, 1);
    const float dx = px - downX, dz = pz - downZ;
    if (part == kRulerHitStart || part == kRulerHitBody) doc->itsVRStartPt = FloatPoint{s0.floatH + dx, s0.floatV + dz};
    if (part == kRulerHitEnd || part == kRulerHitBody) doc->itsVREndPt = FloatPoint{e0.floatH + dx, e0.floatV + dz};
    Refresh();
    DrawLength(ConvertScreenToWorld(RulerLength(doc), ds, 0));
  }
  if (RulerLength(doc) < kMinimumRulerLength) {
    if (part == kRulerHitStart) Lengthen(doc->itsVREndPt, &doc->itsVRStartPt);
    else if (part == kRulerHitEnd) Lengthen(doc->itsVRStartPt, &doc->itsVREndPt);
  }
  Refresh();
}

int16_t PointInVirtualRuler(const POINT* where, uint8_t hit[2]) {
  if (!where || !hit) return 0;
  int16_t part = kRulerHitNone;
  const int16_t result = PointInVirtualRuler(*where, &part);
  hit[0] = static_cast<uint8_t>(part);
  hit[1] = 0;
  return result;
}

void TrackVirtualRuler(int32_t x, int32_t y, ZLKDocumentView*, int16_t part) {
  TrackVirtualRuler(x, y, POINT{x, y}, part);
}
