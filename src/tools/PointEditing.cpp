// Point, wall end and wall segment drags of the move tool: their mouse-down setup, angle
// readout, end limit, the following of meeting walls and the undo of too-short ends.
#include "tools/PointEditing.h"

#include <cmath>
#include <numbers>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/PendingServices.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

Poinz* gTrackPrevPoint = nullptr;
Poinz* gTrackNextPoint = nullptr;
uint8_t gTrackPrevPointSelected = 0, gTrackNextPointSelected = 0;

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
constexpr float kNoIntersection = 30000.0f;

uint8_t sResizeWall = 0;       // one point follows the mouse
uint8_t sTrackLength = 0;      // that point is an end of an open outline
uint8_t sResizeFromStart = 0;  // the end is the first point
Poinz* sTrackLengthPt = nullptr;
Poinz* sTrackLengthOppPt = nullptr;
Objex* sTrackLengthObj = nullptr;
float sSaveStart[3] = {}, sSaveEnd[3] = {};
uint8_t sTranslateWallSegment = 0;

Poinz* LastPoint(const Objex* o) {
  Poinz* p = o->firstPoint;
  while (p && p->next) p = p->next;
  return p;
}

void CopyPosition(const float from[3], float to[3]) {
  for (int k = 0; k < 3; ++k) to[k] = from[k];
}

bool Set(const FloatPoint& p) { return p.floatH != kTrackUnset && p.floatV != kTrackUnset; }

bool Usable(float x, float z) { return std::fabs(x) < kNoIntersection && std::fabs(z) < kNoIntersection; }

// An open wall end (end point e with neighbour n) that met the old segment a-b follows the
// segment to its new line na-nb.
bool FollowSegment(Poinz* e, const Poinz* n, const float a[2], const float b[2], const float na[2],
                   const float nb[2], float t) {
  float ix = 0, iz = 0;
  GetIntersection(e->position[0], e->position[2], n->position[0], n->position[2], a[0], a[1], b[0], b[1], &ix, &iz);
  if (!Usable(ix, iz)) return false;
  if (ix < std::fmin(a[0], b[0]) - t || ix > std::fmax(a[0], b[0]) + t) return false;
  if (iz < std::fmin(a[1], b[1]) - t || iz > std::fmax(a[1], b[1]) + t) return false;
  const float d = GetLineLength(e->position[0], e->position[2], ix, iz);
  if (d >= t) return false;
  float nx = 0, nz = 0;
  GetIntersection(e->position[0], e->position[2], n->position[0], n->position[2], na[0], na[1], nb[0], nb[1], &nx,
                  &nz);
  if (!Usable(nx, nz)) return false;
  const float run = GetLineLength(n->position[0], n->position[2], nx, nz);
  if (run <= 0) return false;
  const float keep = (run - d) / run;
  e->position[0] = n->position[0] + (nx - n->position[0]) * keep;
  e->position[2] = n->position[2] + (nz - n->position[2]) * keep;
  return true;
}

}  // namespace

void ResetPointEditing() {
  sResizeWall = sTrackLength = sResizeFromStart = sTranslateWallSegment = 0;
  sTrackLengthPt = sTrackLengthOppPt = nullptr;
  sTrackLengthObj = nullptr;
  gTrackPrevPoint = gTrackNextPoint = nullptr;
  gTrackPrevPointSelected = gTrackNextPointSelected = 0;
}

bool IsPointDrag() { return sResizeWall != 0; }
bool IsWallSegmentMove() { return sTranslateWallSegment != 0; }

void BeginPointDrag(Layer* layers, Objex* object, Poinz* point) {
  if (!object || !point) return;
  if (object->type == kObjWall) DrawAngle(0);
  Poinz* prev = point->prev;
  Poinz* next = point->next;
  if (object->closed) {
    if (!prev && LastPoint(object) != point) prev = LastPoint(object);
    if (!next && object->firstPoint != point) next = object->firstPoint;
  }
  gTrackPrevPoint = prev;
  gTrackNextPoint = next;
  gTrackPrevPointSelected = prev ? prev->selected : 0;
  gTrackNextPointSelected = next ? next->selected : 0;
  SelectAllLayers(layers, kSelectOff, 1);
  SelectPoint(point, kSelectOn, 1);
  sResizeWall = 1;
  if (!object->closed && (!point->prev || !point->next) && (point->prev || point->next)) {
    sTrackLength = 1;
    sTrackLengthPt = point;
    sTrackLengthObj = object;
    sResizeFromStart = point->prev == nullptr;
    sTrackLengthOppPt = sResizeFromStart ? point->next : point->prev;
    if (object->type == kObjWall) {
      CopyPosition(sTrackLengthOppPt->position, sSaveStart);
      CopyPosition(point->position, sSaveEnd);
    }
  }
}

void BeginWallSegmentHit(Objex* wall) {
  if (!wall || wall->type != kObjWall) return;
  if ((!IsEntireObjectSelected(wall) || wall->pointCount == 2) && gCurPropertiesObjectCount < 2)
    sTranslateWallSegment = 1;
}

void DrawPointEditReadouts(Objex* object, float x, float z) {
  if (!object || !sResizeWall || !gTrackingObject) return;
  if (x == gDownX && z == gDownZ) return;
  const bool shift = (gTrackModifiers & kTrackModShift) != 0;
  if (object->type == kObjWall && sTrackLength) {
    if (!shift) {
      DrawAngle(static_cast<float>(gTrackConstrainAngle * kDegreesPerRadian));
    } else if (!object->closed && sTrackLengthOppPt) {
      float length = 0;
      const float a = GetLineLengthAndAngle(sTrackLengthOppPt->position[0], sTrackLengthOppPt->position[2], x, z,
                                            &length);
      DrawAngle(static_cast<float>(a * kDegreesPerRadian));
    } else {
      DrawAngle(32000);
    }
    return;
  }
  if (object->pointCount <= 2) return;
  if (object->type == kObjDetail && object->subtype == kSubSwitchConnector) return;
  DrawAngle(shift ? 32000.0f : static_cast<float>(gTrackConstrainAngle * kDegreesPerRadian));
}

void LimitEndDragOffset(float* dx, float* dz) {
  if (!sTrackLength || !sTrackLengthPt || !sTrackLengthOppPt) return;
  const float nx = sTrackLengthPt->position[0] + *dx, nz = sTrackLengthPt->position[2] + *dz;
  if (GetLineLength(nx, nz, sTrackLengthOppPt->position[0], sTrackLengthOppPt->position[2]) < 10.0f) *dx = *dz = 0;
}

void ApplyWallSegmentMove(Objex* wall, float dx, float dz) {
  Poinz* a = gClickInfo.hitPoint;
  Poinz* b = gClickInfo.segmentEnd;
  DocState* ds = CurDocState();
  if (!wall || !a || !b || !ds || !gCurDocument) return;
  const float oldA[2] = {a->position[0], a->position[2]};
  const float oldB[2] = {b->position[0], b->position[2]};
  float newA[2] = {oldA[0] + dx, oldA[1] + dz};
  float newB[2] = {oldB[0] + dx, oldB[1] + dz};
  if (Set(gTranslateWallSegPt1) && Set(gTranslateWallSegPt2)) {
    newA[0] = gTranslateWallSegPt1.floatH, newA[1] = gTranslateWallSegPt1.floatV;
    newB[0] = gTranslateWallSegPt2.floatH, newB[1] = gTranslateWallSegPt2.floatV;
  }
  a->position[0] = newA[0], a->position[2] = newA[1];
  b->position[0] = newB[0], b->position[2] = newB[1];

  const float t = ConvertWorldToScreen(wall->width, ds, 0);
  Layer* layer = gCurDocument->itsCurLayer;
  for (Objex* w = layer ? layer->firstObject : nullptr; w; w = w->next) {
    if (w->type != kObjWall || w->closed || !w->firstPoint || !w->firstPoint->next) continue;
    Poinz* first = w->firstPoint;
    Poinz* last = LastPoint(w);
    bool moved = false;
    if (first != a && first != b) moved |= FollowSegment(first, first->next, oldA, oldB, newA, newB, t);
    if (last != a && last != b) moved |= FollowSegment(last, last->prev, oldA, oldB, newA, newB, t);
    if (moved && w != wall) {
      UpdateObjectBounds(w);
      Update3DWall(w);
      UpdateAllWallAttachments(w);
      ReRenderObject(w);
    }
  }
  UpdateObjectBounds(wall);
}

void FinishPointEditing(Objex* object) {
  if (sTrackLength && sTrackLengthObj && sTrackLengthObj == object && object->type == kObjWall &&
      sTrackLengthPt && sTrackLengthOppPt) {
    const float length = GetLineLength(sTrackLengthPt->position[0], sTrackLengthPt->position[2],
                                       sTrackLengthOppPt->position[0], sTrackLengthOppPt->position[2]);
    if (length < 20.0f) {
      CopyPosition(sSaveStart, sTrackLengthOppPt->position);
      CopyPosition(sSaveEnd, sTrackLengthPt->position);
      UpdateObjectBounds(object);
      Update3DWall(object);
      UpdateAllWallAttachments(object);
      ReRenderObject(object);
    }
  }
  if (sResizeWall) {
    if (gTrackPrevPoint && gTrackPrevPointSelected) SelectPoint(gTrackPrevPoint, kSelectOn, 1);
    if (gTrackNextPoint && gTrackNextPointSelected) SelectPoint(gTrackNextPoint, kSelectOn, 1);
  }
  if (sTranslateWallSegment && object && gClickInfo.hitPoint && gClickInfo.segmentEnd && object->type == kObjWall)
    DrawDimensionWallSegmentSelection(object, gClickInfo.hitPoint, gClickInfo.segmentEnd, gBeginMouse.x,
                                      gBeginMouse.y);
}
