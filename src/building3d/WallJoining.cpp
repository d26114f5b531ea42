// Wall trimming and joining, and the attachment anchors that follow the points.
#include "building3d/WallJoining.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "building3d/Walls3D.h"
#include "model/AddRemovePoints.h"
#include "model/Attachments.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ViewProjection.h"
#include "model/WallFields.h"

namespace {

constexpr float kRadiansToDegrees = 57.29577951308232f;
constexpr float kFarAway = 30000.0f;

bool IsWall(const Objex* o) { return o && o->type == kObjWall; }

Poinz* LastPoint(Objex* o) {
  Poinz* p = o ? o->firstPoint : nullptr;
  while (p && p->next) p = p->next;
  return p;
}

bool IsFreeEnd(Objex* wall, Poinz* p) {
  return IsWall(wall) && p && !wall->closed && (p == wall->firstPoint || !p->next);
}

// The neighbour of a free end along its wall.
Poinz* Neighbour(Poinz* end) { return end->prev ? end->prev : end->next; }

float Distance(const float* a, const float* b) { return GetLineLength(a[0], a[2], b[0], b[2]); }
float Distance(const float* a, float x, float z) { return GetLineLength(a[0], a[2], x, z); }

// Moves two free ends onto the crossing of their segments' lines, when there is one in reach.
void MeetAtCrossing(Poinz* a, Poinz* b) {
  Poinz* na = Neighbour(a);
  Poinz* nb = Neighbour(b);
  if (!na || !nb) return;
  float x = 32000, z = 32000;
  GetIntersection(a->position[0], a->position[2], na->position[0], na->position[2], b->position[0], b->position[2],
                  nb->position[0], nb->position[2], &x, &z);
  if (!(std::fabs(x) < kFarAway && std::fabs(z) < kFarAway)) return;
  a->position[0] = b->position[0] = x;
  a->position[2] = b->position[2] = z;
}

// Unlinks a point from its wall and frees it with its side records.
void RemoveWallPoint(Objex* wall, Poinz* p) {
  if (p->prev) p->prev->next = p->next;
  else wall->firstPoint = p->next;
  if (p->next) p->next->prev = p->prev;
  p->prev = p->next = nullptr;
  DeleteWallPoint(wall, p);
  wall->pointCount--;
}

// Detaches a point from its list without freeing it.
void DetachPoint(Objex* wall, Poinz* p) {
  if (p->prev) p->prev->next = p->next;
  else wall->firstPoint = p->next;
  if (p->next) p->next->prev = p->prev;
  p->prev = p->next = nullptr;
  wall->pointCount--;
}

}  // namespace

void FreeWallPointSides(Objex* wall, Poinz* p) {
  if (!p->trim1 && !p->trim2) return;
  DeleteWallPointSides(wall, p);
  p->trim1 = p->trim2 = nullptr;  // not a wall's: the records were only referred to
}

namespace {

// Moves the points from `first` to the end of `from` after `tail`, the last point of `to`.
void AppendChain(Objex* from, Poinz* first, Objex* to, Poinz* tail) {
  for (Poinz* p = first; p;) {
    Poinz* next = p->next;
    DetachPoint(from, p);
    InsertPointInObject(p, to, tail);
    tail = p;
    p = next;
  }
}

// `to` takes the segment attributes of `from`, side records included (from keeps none).
void TakeSegmentAttributes(Objex* wall, Poinz* to, Poinz* from) {
  FreeWallPointSides(wall, to);
  memcpy(to->textureID, from->textureID, sizeof(to->textureID));
  memcpy(to->color, from->color, sizeof(to->color));
  to->segmentElevation = from->segmentElevation;
  to->segmentLong1 = from->segmentLong1;
  to->segmentShort1 = from->segmentShort1;
  to->segmentShort2 = from->segmentShort2;
  to->segmentFlags = from->segmentFlags;
  to->trim1 = from->trim1;
  to->trim2 = from->trim2;
  from->trim1 = from->trim2 = nullptr;
  memcpy(to->segmentFloats, from->segmentFloats, sizeof(to->segmentFloats));
  to->segmentLong3 = from->segmentLong3;
  memcpy(to->textureScale, from->textureScale, sizeof(to->textureScale));
}

// The window point of a plan point in the current view.
POINT WindowPointOf(const Poinz* p) {
  float x = p->position[0], y = p->position[1], z = p->position[2];
  ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset, gGlobalYOffset,
                        gGlobalZOffset, 1);
  return POINT{static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
}

// Plan angle of a -> b in degrees, reduced to (-180, 180].
float SegmentAngle(const Poinz* a, const Poinz* b) {
  float length = 0;
  float degrees = GetLineLengthAndAngle(a->position[0], a->position[2], b->position[0], b->position[2], &length) *
                  kRadiansToDegrees;
  if (degrees > 180) degrees -= 360;
  return degrees;
}

// Plan angle of a -> b in whole degrees 0..360.
long WholeAngle(const Poinz* a, const Poinz* b) {
  float length = 0;
  return std::lround(GetLineLengthAndAngle(a->position[0], a->position[2], b->position[0], b->position[2], &length) *
                     kRadiansToDegrees);
}

// Whether the turn at q between p -> q and q -> r is straight on or folded back.
bool InLine(const Poinz* p, const Poinz* q, const Poinz* r) {
  float d = std::fabs(SegmentAngle(p, q) - SegmentAngle(q, r));
  if (d > 180) d = 360 - d;
  const long whole = std::lround(d);
  return whole == 0 || whole == 1 || whole == 179 || whole == 180 || whole == 181;
}

// Removes q from between p and r: its attachments move to the joined segment p -> r where
// they were along the wall.
void DropInnerPoint(Objex* wall, Poinz* p, Poinz* q, Poinz* r) {
  const float pq = Distance(p->position, q->position);
  for (Objex* c = wall->firstChild; c; c = c->next) {
    DoorWindowData* d = AttachmentData(c);
    if (!d) continue;
    if (d->anchorStart == q) {
      d->anchorStart = p;
      d->startDistance += pq;
    }
    if (d->anchorEnd == q) d->anchorEnd = r;
  }
  RemoveWallPoint(wall, q);
}

void RebuildJoined(Objex* wall) {
  Update3DWall(wall);
  UpdateAllWallAttachments(wall);
  ReRenderObject(wall);
}

// Re-anchors the children from oldPoint to newPoint, gives them the new parent and, when
// asked, reverses their direction; then moves them all to the end of the new parent's list.
void MoveChildren(Objex* from, Poinz* oldPoint, Poinz* newPoint, Objex* to, bool reverse) {
  for (Objex* c = from->firstChild; c; c = c->next) {
    DoorWindowData* d = AttachmentData(c);
    if (!d) continue;
    if (d->anchorStart == oldPoint) d->anchorStart = newPoint;
    if (d->anchorEnd == oldPoint) d->anchorEnd = newPoint;
  }
  if (reverse) ReverseAttachmentDirection(from);
  TransferAttachments(from, to);
}

}  // namespace

void LimitWall(Objex* wall, Poinz* p1, Poinz* p2, Layer* layer) {
  DocState* ds = CurDocState();
  if (!wall || !p1 || !p2 || !layer || !ds) return;
  const float length = Distance(p1->position, p2->position);
  const float reach = length + 20;
  float best = 32000;
  float bestX = 0, bestZ = 0;
  const Objex* crossed = nullptr;
  for (Objex* w = layer->firstObject; w; w = w->next) {
    if (!IsWall(w)) continue;
    for (Poinz* a = w->firstPoint; a; a = a->next) {
      Poinz* b = a->next ? a->next : (w->closed && a != w->firstPoint ? w->firstPoint : nullptr);
      if (!b) break;
      float x = 32000, z = 32000;
      GetIntersection(p1->position[0], p1->position[2], p2->position[0], p2->position[2], a->position[0],
                      a->position[2], b->position[0], b->position[2], &x, &z);
      const float ab = Distance(a->position, b->position);
      const float d1 = Distance(p1->position, x, z);
      if (d1 <= reach && Distance(p2->position, x, z) <= length && Distance(a->position, x, z) < ab - 1 &&
          Distance(b->position, x, z) < ab - 1 && d1 < best) {
        best = d1;
        bestX = x;
        bestZ = z;
        crossed = w;
      }
    }
  }
  if (!crossed || best < 24) return;
  float kept = best - ConvertWorldToScreen(crossed->width, ds, 0) / 2;
  if (kept < 10) kept = 10;
  float ignored = 0;
  const float angle = GetLineLengthAndAngle(p1->position[0], p1->position[2], bestX, bestZ, &ignored);
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(angle, kept, &dx, &dz);
  const float nx = p1->position[0] + dx, nz = p1->position[2] + dz;
  p2->position[0] = std::fabs(nx - p1->position[0]) < 1 ? p1->position[0] : nx;
  p2->position[2] = std::fabs(nz - p1->position[2]) < 1 ? p1->position[2] : nz;
}

namespace building3d {
Objex* ConnectWallPoint(Objex* wall, Poinz* endPoint) {
  NoteServiceCall("ConnectWallPoint", wall);
  DocState* ds = CurDocState();
  if (!IsFreeEnd(wall, endPoint) || !ds || !gCurDocument || !gCurDocument->itsCurLayer) return wall;
  ClickInfo click{};
  click.where = WindowPointOf(endPoint);
  const int16_t savedTolerance = ds->pickTolerance;
  ds->pickTolerance = static_cast<int16_t>(ZoomL(20));
  Objex* other = nullptr;
  Poinz* otherPoint = nullptr;
  Poinz* sameWallEnd = nullptr;
  Poinz* farEnd = endPoint == wall->firstPoint ? LastPoint(wall) : wall->firstPoint;
  for (Objex* o = gCurDocument->itsCurLayer->firstObject; o; o = o->next) {
    if (o == wall) {
      if (wall->pointCount >= 3 && farEnd != endPoint && SearchPoint(farEnd, &click, 0, 0)) sameWallEnd = farEnd;
      continue;
    }
    ClickInfo hit = click;
    if (!SelectFromObject(o, &hit, 0, nullptr, 0)) continue;
    if (hit.pointHit && hit.hitObject == o) {
      other = o;
      otherPoint = hit.hitPoint;
    }
    break;
  }
  ds->pickTolerance = savedTolerance;

  if (other) {
    // Only two walls merge, and only at free ends of open walls.
    if (!IsFreeEnd(other, otherPoint)) return wall;
    MeetAtCrossing(endPoint, otherPoint);
    Objex* joined = JoinWallObjects(wall, endPoint, other, otherPoint);
    return joined ? joined : wall;
  }
  if (!sameWallEnd) return wall;
  MeetAtCrossing(endPoint, sameWallEnd);
  if (!sameWallEnd->next && endPoint == wall->firstPoint) {
    memcpy(endPoint->position, sameWallEnd->position, sizeof(endPoint->position));
    ReplaceAttachmentBasePoint(wall, sameWallEnd, endPoint, wall);
    RemoveWallPoint(wall, sameWallEnd);
  } else {
    // The dropped end goes; the joint stays where the other end is.
    ReplaceAttachmentBasePoint(wall, endPoint, sameWallEnd, wall);
    RemoveWallPoint(wall, endPoint);
  }
  wall->closed = 1;
  RebuildJoined(wall);
  return wall;
}
}  // namespace building3d

void OptimizeWall(Objex* wall) {
  if (!IsWall(wall) || wall->pointCount < 3 || !wall->firstPoint) return;
  bool removed = false;
  Poinz* p = wall->firstPoint;
  Poinz* q = p->next;
  while (q && q->next) {
    Poinz* r = q->next;
    if (q->pointType != 10 && InLine(p, q, r)) {
      DropInnerPoint(wall, p, q, r);
      removed = true;
    } else {
      p = q;
    }
    q = r;
  }
  if (wall->closed && wall->pointCount >= 3) {
    Poinz* last = LastPoint(wall);
    Poinz* first = wall->firstPoint;
    if (last && last->prev && last->pointType != 10 &&
        WholeAngle(last->prev, last) == WholeAngle(last, first)) {
      DropInnerPoint(wall, last->prev, last, first);
      removed = true;
    }
    first = wall->firstPoint;
    last = LastPoint(wall);
    if (wall->pointCount >= 3 && first && first->next && first->pointType != 10 &&
        WholeAngle(last, first) == WholeAngle(first, first->next)) {
      DropInnerPoint(wall, last, first, first->next);
      removed = true;
    }
  }
  if (!removed) return;
  Update3DWall(wall);
  UpdateAllWallAttachments(wall);
  Refresh();
}

Objex* JoinWallObjects(Objex* wallA, Poinz* pointA, Objex* wallB, Poinz* pointB) {
  if (wallA == wallB || !IsFreeEnd(wallA, pointA) || !IsFreeEnd(wallB, pointB)) return nullptr;
  const bool aFirst = pointA == wallA->firstPoint, aLast = pointA->next == nullptr;
  const bool bFirst = pointB == wallB->firstPoint, bLast = pointB->next == nullptr;
  Objex* result = wallB;
  Objex* removed = wallA;
  if (aLast && bFirst) {
    // B's points follow pointA, which takes the attributes of B's first segment.
    MoveChildren(wallB, pointB, pointA, wallA, false);
    TakeSegmentAttributes(wallA, pointA, pointB);
    Poinz* rest = pointB->next;
    RemoveWallPoint(wallB, pointB);
    AppendChain(wallB, rest, wallA, pointA);
    result = wallA;
    removed = wallB;
  } else if (aLast && bLast) {
    // A's points before pointA follow pointB in reverse order.
    MoveChildren(wallA, pointA, pointB, wallB, true);
    Poinz* p = pointA->prev;
    RemoveWallPoint(wallA, pointA);
    Poinz* after = pointB;
    while (p) {
      Poinz* prev = p->prev;
      DetachPoint(wallA, p);
      InsertPointInObject(p, wallB, after);
      after = p;
      p = prev;
    }
  } else if (aFirst && bFirst) {
    // A's points after the first go in front of B one by one (reverse order).
    MoveChildren(wallA, pointA, pointB, wallB, true);
    Poinz* rest = pointA->next;
    RemoveWallPoint(wallA, pointA);
    for (Poinz* p = rest; p;) {
      Poinz* next = p->next;
      DetachPoint(wallA, p);
      InsertPointInObject(p, wallB, nullptr);
      p = next;
    }
  } else if (aFirst && bLast) {
    // A's points after the first follow pointB in order.
    MoveChildren(wallA, pointA, pointB, wallB, false);
    TakeSegmentAttributes(wallB, pointB, pointA);
    Poinz* rest = pointA->next;
    RemoveWallPoint(wallA, pointA);
    AppendChain(wallA, rest, wallB, pointB);
  } else {
    return nullptr;
  }
  if (wallA->subtype == kSubExteriorWall || wallB->subtype == kSubExteriorWall)
    wallA->subtype = wallB->subtype = kSubExteriorWall;
  SelectObj(removed, kSelectOff, 1);
  DeleteObjItem(removed);
  RebuildJoined(result);
  Refresh();
  return result;
}

void TransferAttachments(Objex* from, Objex* to) {
  if (!from || !to || from == to) return;
  Objex* c = from->firstChild;
  from->firstChild = nullptr;
  from->lastChild = nullptr;
  while (c) {
    Objex* next = c->next;
    c->prev = c->next = nullptr;
    AppendChildToObject(c, to);
    c = next;
  }
}

void ReplaceVoidAttachments(Objex* wall, Poinz* oldPoint, Poinz* newStart, Poinz* newEnd) {
  if (!IsWall(wall) || !newStart || !newEnd) return;
  for (Objex* c = wall->firstChild; c; c = c->next) {
    DoorWindowData* d = AttachmentData(c);
    if (!d || d->anchorStart != oldPoint) continue;
    d->anchorStart = newStart;
    d->anchorEnd = newEnd;
  }
}

void DeleteVoidAttachments(Objex* wall, Poinz* point) {
  if (!IsWall(wall)) return;
  for (Objex* c = wall->firstChild; c;) {
    Objex* next = c->next;
    DoorWindowData* d = AttachmentData(c);
    if (d && (d->anchorStart == point || d->anchorEnd == point)) DeleteObj(c);
    c = next;
  }
}

void ReplaceAttachmentBasePoint(Objex* wall, Poinz* oldPoint, Poinz* newPoint, Objex* newWall) {
  if (!IsWall(wall) || !IsWall(newWall) || !oldPoint || !newPoint) return;
  for (Objex* c = wall->firstChild; c; c = c->next) {
    c->parent = newWall;
    DoorWindowData* d = AttachmentData(c);
    if (!d) continue;
    if (d->anchorStart == oldPoint) d->anchorStart = newPoint;
    if (d->anchorEnd == oldPoint) d->anchorEnd = newPoint;
  }
}

void ReverseAttachmentDirection(Objex* wall) {
  if (!IsWall(wall)) return;
  for (Objex* c = wall->firstChild; c; c = c->next) {
    DoorWindowData* d = AttachmentData(c);
    if (!d) continue;
    std::swap(d->anchorStart, d->anchorEnd);
    std::swap(d->startDistance, d->remainingLength);
    d->flipHorizontal = d->flipHorizontal ? 0 : 1;
  }
}
