// Point, wall end and wall segment drags of the move tool: their mouse-down setup, angle
// readout, end limit, the following of meeting walls and the undo of too-short ends.
#include "tools/PointEditing.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/AddRemovePoints.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/WallFields.h"
#include "building3d/WallJoining.h"
#include "model/ViewProjection.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/PerimeterDimensions.h"
#include "plandraw/WallSegmentDimensions.h"
#include "tools/DoorWindowTools.h"
#include "tools/SnapCodes.h"
#include "tools/ToolCodes.h"
#include "tools/WallDimTracking.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/ObjectSnaps.h"
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
float sShiftedStart = 0;  // what the end drag added to the start distances at its first point

// Readout points: the picked point (or segment start), the segment end, and the neighbours
// before and after (wrapping round on closed outlines).
Poinz* sDimensionMainPt = nullptr;
Poinz* sDimensionMainPt2 = nullptr;
Poinz* sDimensionPrevPt = nullptr;
Poinz* sDimensionNextPt = nullptr;
// The measuring line across a moved wall segment and the crossings it finds.
uint8_t sTrackingPerp = 0;
float sPerpAngle = 0;
FloatPoint sPosDimStartPt{}, sPosDimEndPt{};
FloatPoint* sPosIntersectList = nullptr;
int32_t sPosIntersectListSize = 0;

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

// The point before p (or, on a closed outline of 3 points or more, the last point).
Poinz* WrappedPrev(const Objex* o, Poinz* p) {
  if (!p) return nullptr;
  if (p->prev) return p->prev;
  if (o->closed && o->pointCount >= 3) {
    Poinz* last = LastPoint(o);
    return last != p ? last : nullptr;
  }
  return nullptr;
}

Poinz* WrappedNext(const Objex* o, Poinz* p) {
  if (!p) return nullptr;
  if (p->next) return p->next;
  if (o->closed && o->pointCount >= 3 && o->firstPoint != p) return o->firstPoint;
  return nullptr;
}

// A dynamic dimension of the segment a-b as it would be with a moved to (ax, az) and b to
// (bx, bz), measured as the object's segments are.
void DrawSegmentReadout(const Objex* o, const Poinz* a, const Poinz* b, float ax, float az, float bx, float bz,
                        uint8_t side, float offset) {
  static const char guard = 0;  // the dimension needs two non-null owners
  Poinz ma = *a, mb = *b;
  ma.position[0] = ax, ma.position[2] = az;
  mb.position[0] = bx, mb.position[2] = bz;
  float x1 = ax, z1 = az, x2 = bx, z2 = bz;
  if (o->type == kObjWall) AdjustWallDimensionForMethod(o, &ma, &mb, &x1, &z1, &x2, &z2);
  gRoundToggle = 1;
  DrawDimensionLine(nullptr, x1, z1, x2, z2, x1, z1, x2, z2, side, offset, 1, &guard, &guard, 0, 0, 5.0f, 0,
                    nullptr);
}

void FreeWallDimTracking() {
  if (sPosIntersectList) EndWallDimTracking(sPosIntersectList);
  sPosIntersectList = nullptr;
  sPosIntersectListSize = 0;
  sTrackingPerp = 0;
}

// The segment move's readouts: the distances from the measuring line's foot on the new
// segment to the nearest crossing walls on both sides, and the two joining segments.
void DrawSegmentMoveReadouts(Objex* wall) {
  const FloatPoint a = gTranslateWallSegPt1, b = gTranslateWallSegPt2;
  float fx = 0, fz = 0;
  GetPerpIntersection(a.floatH, a.floatV, b.floatH, b.floatV, sPosDimStartPt.floatH, sPosDimStartPt.floatV, &fx, &fz);
  sPosDimStartPt = FloatPoint{fx, fz};
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(sPerpAngle, 100.0f, &dx, &dz);
  sPosDimEndPt = FloatPoint{fx + dx, fz + dz};
  if (sTrackingPerp && sPosIntersectList) {
    FloatPoint ahead{kNoWallDimCrossing, kNoWallDimCrossing}, behind = ahead;
    ContinueWallDimTracking(sPosIntersectList, sPosDimStartPt, sPosDimEndPt, &ahead, &behind, sPosIntersectListSize);
    for (const FloatPoint& c : {ahead, behind})
      if (Usable(c.floatH, c.floatV)) DrawWallDimDistance(sPosDimStartPt, c);
  }
  if (sDimensionPrevPt && sDimensionMainPt)
    DrawSegmentReadout(wall, sDimensionPrevPt, sDimensionMainPt, sDimensionPrevPt->position[0],
                       sDimensionPrevPt->position[2], a.floatH, a.floatV,
                       FlipDimensionOf(sDimensionPrevPt) == 0 ? 1 : 0, 15.0f);
  if (sDimensionMainPt2 && sDimensionNextPt)
    DrawSegmentReadout(wall, sDimensionMainPt2, sDimensionNextPt, b.floatH, b.floatV, sDimensionNextPt->position[0],
                       sDimensionNextPt->position[2], FlipDimensionOf(sDimensionMainPt2) == 1 ? 1 : 0, 15.0f);
}

}  // namespace

void ResetPointEditing() {
  FreeWallDimTracking();
  sDimensionMainPt = sDimensionMainPt2 = sDimensionPrevPt = sDimensionNextPt = nullptr;
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
  sDimensionMainPt = point;
  sDimensionPrevPt = WrappedPrev(object, point);
  sDimensionNextPt = WrappedNext(object, point);
}

void BeginWallSegmentHit(Objex* wall) {
  if (!wall || wall->type != kObjWall) return;
  if ((!IsEntireObjectSelected(wall) || wall->pointCount == 2) && gCurPropertiesObjectCount < 2)
    sTranslateWallSegment = 1;
}

void BeginSegmentReadouts(Objex* object, Poinz* start, Poinz* end) {
  if (!object || !start || !end) return;
  sDimensionMainPt = start;
  sDimensionMainPt2 = end;
  sDimensionPrevPt = WrappedPrev(object, start);
  sDimensionNextPt = WrappedNext(object, end);
  if (sDimensionPrevPt == end) sDimensionPrevPt = nullptr;
  if (sDimensionNextPt == start) sDimensionNextPt = nullptr;
  if (object->type != kObjWall) return;
  // The measuring line: from the click's foot on the segment, a quarter turn off it.
  float length = 0;
  sPerpAngle = GetLineLengthAndAngle(start->position[0], start->position[2], end->position[0], end->position[2],
                                     &length);
  const float along = GetLineLength(start->position[0], start->position[2], gDownX, gDownZ);
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(sPerpAngle, along, &dx, &dz);
  sPosDimStartPt = FloatPoint{start->position[0] + dx, start->position[2] + dz};
  sPerpAngle += static_cast<float>(std::numbers::pi / 2);
  GetPointFromLengthAndAngle(sPerpAngle, 100.0f, &dx, &dz);
  sPosDimEndPt = FloatPoint{sPosDimStartPt.floatH + dx, sPosDimStartPt.floatV + dz};
  FreeWallDimTracking();
  sPosIntersectList = BeginWallDimTracking(&sPosDimStartPt, &sPosDimEndPt, start, end, &sPosIntersectListSize);
  sTrackingPerp = 1;
}

void DrawPointEditReadouts(Objex* object, float x, float z, float dx, float dz) {
  if (!object) return;
  if (x == gDownX && z == gDownZ) return;
  if (sTranslateWallSegment) {
    if (object->type == kObjWall && gTrackingMouse && Set(gTranslateWallSegPt1) && Set(gTranslateWallSegPt2))
      DrawSegmentMoveReadouts(object);
    return;
  }
  const bool shift = (gTrackModifiers & kTrackModShift) != 0;
  const bool switchConnector = object->type == kObjDetail && object->subtype == kSubSwitchConnector;
  if (!sResizeWall) {
    // A segment drag of an outline of more than two points: the segments on both sides of
    // the moved segment, and the constrained angle.
    if (!sDimensionMainPt2 || object->pointCount <= 2 || switchConnector) return;
    if (sDimensionMainPt && sDimensionPrevPt && sDimensionNextPt &&
        (object->type == kObjWall || gClickInfo.pointHit)) {
      DrawSegmentReadout(object, sDimensionPrevPt, sDimensionMainPt, sDimensionPrevPt->position[0],
                         sDimensionPrevPt->position[2], sDimensionMainPt->position[0] + dx,
                         sDimensionMainPt->position[2] + dz, 1, 30.0f);
      DrawSegmentReadout(object, sDimensionMainPt2, sDimensionNextPt, sDimensionMainPt2->position[0] + dx,
                         sDimensionMainPt2->position[2] + dz, sDimensionNextPt->position[0],
                         sDimensionNextPt->position[2], 1, 30.0f);
    }
    if (gTrackingObject)
      DrawAngle(shift ? 32000.0f : static_cast<float>(gTrackConstrainAngle * kDegreesPerRadian));
    return;
  }
  // The segments on both sides of the dragged point, with it moved by the offset.
  const bool wallEnd = object->type == kObjWall && sTrackLength;
  const bool otherDrag = object->pointCount > 2 && !switchConnector;
  if (sDimensionMainPt && (object->type == kObjWall || gClickInfo.pointHit) && (wallEnd || otherDrag)) {
    const float mx = sDimensionMainPt->position[0] + dx, mz = sDimensionMainPt->position[2] + dz;
    if (sDimensionPrevPt)
      DrawSegmentReadout(object, sDimensionPrevPt, sDimensionMainPt, sDimensionPrevPt->position[0],
                         sDimensionPrevPt->position[2], mx, mz, 1, 30.0f);
    if (sDimensionNextPt)
      DrawSegmentReadout(object, sDimensionMainPt, sDimensionNextPt, mx, mz, sDimensionNextPt->position[0],
                         sDimensionNextPt->position[2], 1, 30.0f);
  }
  if (!gTrackingObject) return;
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
  if (object->pointCount <= 2 || switchConnector) return;
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

void FollowMovedWallSegments(Objex* wall, const MovedWallSegment* segments, int count,
                             std::span<Poinz* const> placed) {
  DocState* ds = CurDocState();
  if (!wall || !wall->layer || !segments || count <= 0 || !ds) return;
  const float t = ConvertWorldToScreen(wall->width, ds, 0);
  for (Objex* w = wall->layer->firstObject; w; w = w->next) {
    if (w == wall || w->type != kObjWall || w->closed || !w->firstPoint || !w->firstPoint->next) continue;
    Poinz* first = w->firstPoint;
    Poinz* last = LastPoint(w);
    bool moved = false;
    // Each end follows the first segment it met, once.
    for (const auto& [end, neighbour] : {std::pair{first, first->next}, std::pair{last, last->prev}}) {
      if (std::find(placed.begin(), placed.end(), end) != placed.end()) continue;
      for (int i = 0; i < count; ++i) {
        const MovedWallSegment& m = segments[i];
        if (FollowSegment(end, neighbour, m.oldA, m.oldB, m.newA, m.newB, t)) {
          moved = true;
          break;
        }
      }
    }
    if (!moved) continue;
    UpdateObjectBounds(w);
    Update3DWall(w);
    UpdateAllWallAttachments(w);
    ReRenderObject(w);
  }
}

void ShiftEndDragAttachments(Objex* object, float dx, float dz) {
  sShiftedStart = 0;
  if (!sTrackLength || !sResizeFromStart || !object || object != sTrackLengthObj || object->type != kObjWall) return;
  if (!sTrackLengthPt || !sTrackLengthOppPt || !gCurDocument || object->layer != gCurDocument->itsCurLayer) return;
  const float before = GetLineLength(sTrackLengthPt->position[0], sTrackLengthPt->position[2],
                                     sTrackLengthOppPt->position[0], sTrackLengthOppPt->position[2]);
  const float after = GetLineLength(sTrackLengthPt->position[0] + dx, sTrackLengthPt->position[2] + dz,
                                    sTrackLengthOppPt->position[0], sTrackLengthOppPt->position[2]);
  sShiftedStart = after - before;
  if (sShiftedStart != 0) UpdateWallAttachmentStartDistance(object, sTrackLengthPt, sShiftedStart);
}

namespace {

void RebuildWall(Objex* wall) {
  UpdateObjectBounds(wall);
  Update3DWall(wall);
  UpdateAllWallAttachments(wall);
  ReRenderObject(wall);
}

// Both free ends onto the crossing of their end segments' lines (none when parallel).
void MeetAtCrossing(Poinz* a, Poinz* b) {
  Poinz* na = a->prev ? a->prev : a->next;
  Poinz* nb = b->prev ? b->prev : b->next;
  if (!na || !nb) return;
  float x = kTrackUnset, z = kTrackUnset;
  GetIntersection(a->position[0], a->position[2], na->position[0], na->position[2], b->position[0], b->position[2],
                  nb->position[0], nb->position[2], &x, &z);
  if (!Usable(x, z)) return;
  a->position[0] = b->position[0] = x;
  a->position[2] = b->position[2] = z;
}

// The drop search of a wall end drag; returns the wall that remains.
Objex* DropWallEnd(Objex* wall) {
  DocState* ds = CurDocState();
  Layer* layer = gCurDocument ? gCurDocument->itsCurLayer : nullptr;
  Poinz* pt = sTrackLengthPt;
  if (!ds || !layer || !pt) return wall;
  ClickInfo click{};
  if (gCurSnap == kSnapAnywhere) {
    click.where = gEndMouse;
  } else {
    float x = pt->position[0], y = pt->position[1], z = pt->position[2];
    ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset, gGlobalYOffset,
                          gGlobalZOffset, 1);
    click.where = POINT{static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
  }
  const int16_t savedTolerance = ds->pickTolerance;
  ds->pickTolerance = static_cast<int16_t>(ZoomL(20));
  bool hitOther = false;
  Objex* other = nullptr;
  Poinz* otherPoint = nullptr;
  Poinz* sameEnd = nullptr;
  for (Objex* o = layer->firstObject; o; o = o->next) {
    ClickInfo attempt = click;
    if (o == wall) {
      if (wall->pointCount >= 3 && !wall->closed && SelectFromObject(o, &attempt, 0, nullptr, 0) &&
          attempt.pointHit && attempt.hitPoint) {
        Poinz* h = attempt.hitPoint;
        Poinz* first = wall->firstPoint;
        Poinz* last = LastPoint(wall);
        if (h != pt && (h == first || h == last)) sameEnd = h;
        else if (h == pt && pt == first && SearchPoint(last, &click, 0, 0)) sameEnd = last;
      }
      continue;
    }
    if (!SelectFromObject(o, &attempt, 0, nullptr, 0)) continue;
    hitOther = true;
    if (attempt.pointHit && attempt.hitPoint) {
      other = attempt.hitObject ? attempt.hitObject : o;
      otherPoint = attempt.hitPoint;
    }
    break;
  }
  ds->pickTolerance = savedTolerance;

  if (hitOther) {
    // Only free ends of two open walls join.
    if (!other || other == wall || other->type != kObjWall || wall->closed || other->closed ||
        (otherPoint->prev && otherPoint->next))
      return wall;
    if (gCurSnap == kSnapAnywhere) MeetAtCrossing(pt, otherPoint);
    Objex* joined = JoinWallObjects(wall, pt, other, otherPoint);
    if (!joined) return wall;
    // The dragged wall and its points may be gone with the join.
    sTrackLengthPt = nullptr;
    sTrackLengthObj = nullptr;
    gTrackPrevPoint = gTrackNextPoint = nullptr;
    return joined;
  }
  if (sameEnd) {
    Poinz* first = wall->firstPoint;
    Poinz* last = LastPoint(wall);
    if (gCurSnap == kSnapAnywhere) MeetAtCrossing(first, last);
    else if (pt == first) CopyPosition(last->position, first->position);
    // The first point stays; the last goes, and what was anchored at it moves to the first.
    ReplaceAttachmentBasePoint(wall, last, first, wall);
    if (gTrackPrevPoint == last) gTrackPrevPoint = nullptr;
    if (gTrackNextPoint == last) gTrackNextPoint = nullptr;
    if (pt == last) sTrackLengthPt = nullptr;
    RemovePointInObject(wall, last);
    wall->closed = 1;
    RebuildWall(wall);
    return wall;
  }
  // No hit: the end runs to the nearest crossing wall; a stub shorter than 20 is undone.
  if (!wall->closed && sTrackLengthOppPt) {
    LimitWall(wall, sTrackLengthOppPt, pt, layer);
    if (GetLineLength(pt->position[0], pt->position[2], sTrackLengthOppPt->position[0],
                      sTrackLengthOppPt->position[2]) < 20.0f) {
      CopyPosition(sSaveStart, sTrackLengthOppPt->position);
      CopyPosition(sSaveEnd, pt->position);
      if (sShiftedStart != 0) UpdateWallAttachmentStartDistance(wall, pt, -sShiftedStart);
      sShiftedStart = 0;
    }
    RebuildWall(wall);
  }
  return wall;
}

}  // namespace

Objex* FinishPointEditing(Objex* object) {
  Objex* result = object;
  if (sTrackLength && object && sTrackLengthObj == object && sTrackLengthPt && sTrackLengthOppPt &&
      object->type == kObjWall && gCurDocument && object->layer == gCurDocument->itsCurLayer) {
    result = DropWallEnd(object);
    if (result != object) {
      gClickInfo.hitObject = result;
      gClickInfo.hitPoint = gClickInfo.segmentEnd = nullptr;
    }
    gClickInfo.hitMode = 1;
    if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) overlay->removePointsFromAllPaths();
    Refresh();
  }
  sTrackLength = 0;
  sTrackLengthOppPt = nullptr;
  sShiftedStart = 0;
  if (sResizeWall) {
    if (gTrackPrevPoint && gTrackPrevPointSelected) SelectPoint(gTrackPrevPoint, kSelectOn, 1);
    if (gTrackNextPoint && gTrackNextPointSelected) SelectPoint(gTrackNextPoint, kSelectOn, 1);
  }
  if (sTranslateWallSegment && result && gClickInfo.hitPoint && gClickInfo.segmentEnd && result->type == kObjWall)
    DrawDimensionWallSegmentSelection(result, gClickInfo.hitPoint, gClickInfo.segmentEnd, gBeginMouse.x,
                                      gBeginMouse.y);
  FreeWallDimTracking();
  return result;
}
