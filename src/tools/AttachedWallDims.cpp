// Attached wall dimensions: measuring to the facing wall and keeping the points in step.
#include "tools/AttachedWallDims.h"

#include <cmath>

#include "building3d/Walls3D.h"
#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/WallFields.h"
#include "tools/WallAttachmentPlacement.h"

namespace {

constexpr float kDimensionReach = 32000.0f;
constexpr float kNoFacingWall = 30000.0f;
constexpr float kMinimumDepth = 10.0f;
constexpr float kQuarterTurn = 1.57079632679f;

float Distance(float x1, float z1, float x2, float z2) { return std::hypot(x2 - x1, z2 - z1); }

}  // namespace

namespace tools {
float LimitWallDimension(FloatPoint* from, FloatPoint* to, Layer* layer, Poinz* pointA, Poinz* pointB) {
  if (!from || !to || !layer) return 0;
  const float mx = from->floatH, mz = from->floatV;
  const float fx = to->floatH, fz = to->floatV;
  const float reach = Distance(mx, mz, fx, fz);
  if (reach <= 0) return 0;
  float best = 0;
  float bestX = 0, bestZ = 0;
  Objex* winner = nullptr;
  for (Objex* wall = layer->firstObject; wall; wall = wall->next) {
    if (wall->type != kObjWall || !wall->firstPoint) continue;
    for (Poinz* p = wall->firstPoint; p; p = p->next) {
      Poinz* q = p->next;
      if (!q) {
        if (!wall->closed || p == wall->firstPoint) break;
        q = wall->firstPoint;
      }
      if ((p == pointA && q == pointB) || (p == pointB && q == pointA)) continue;
      const float px = p->position[0], pz = p->position[2];
      const float qx = q->position[0], qz = q->position[2];
      const float segment = Distance(px, pz, qx, qz);
      if (segment <= 1) continue;
      // Parallel lines never meet: no candidate.
      const float cross = (fx - mx) * (qz - pz) - (fz - mz) * (qx - px);
      if (std::fabs(cross) < 1e-6f) continue;
      float ix = 0, iz = 0;
      GetIntersection(mx, mz, fx, fz, px, pz, qx, qz, &ix, &iz);
      const float fromM = Distance(mx, mz, ix, iz);
      if (fromM > reach + 20) continue;
      if (Distance(fx, fz, ix, iz) > reach) continue;  // behind the start
      if (winner && fromM >= best) continue;
      if (Distance(px, pz, ix, iz) >= segment - 1 || Distance(qx, qz, ix, iz) >= segment - 1) continue;
      winner = wall;
      best = fromM;
      bestX = ix;
      bestZ = iz;
    }
  }
  if (!winner || best > reach + 20) return 0;
  const float length = std::max(best, kMinimumDepth);
  float dx = bestX - mx, dz = bestZ - mz;
  const float d = std::hypot(dx, dz);
  if (d > 0) {
    dx /= d;
    dz /= d;
  } else {
    dx = (fx - mx) / reach;
    dz = (fz - mz) / reach;
  }
  float nx = mx + dx * length, nz = mz + dz * length;
  // Near-axis dimensions come out exactly horizontal or vertical.
  if (std::fabs(nx - mx) <= 1) nx = mx;
  if (std::fabs(nz - mz) <= 1) nz = mz;
  to->floatH = nx;
  to->floatV = nz;
  return winner->width;
}
}  // namespace tools

void UpdateDimWallAttachment(Objex* attachment) {
  if (!attachment) return;
  Objex* wall = attachment->parent;
  DoorWindowData* data = AttachmentData(attachment);
  if (!wall || !wall->layer || !data || !data->anchorStart || !data->anchorEnd) return;
  Poinz* s = data->anchorStart;
  Poinz* e = data->anchorEnd;
  float start = 0, length = 0;
  const float working = GetWallSegmentWorkingLength(0, 0, s, e, &start, &length);
  const float w = data->width, c = data->startDistance;
  if (!(working > w) || c < w / 2 || working < c + w / 2) return;
  data->remainingLength = length - c;
  float segLength = 0;
  const float a = GetLineLengthAndAngle(s->position[0], s->position[2], e->position[0], e->position[2], &segLength);
  const float sx = s->position[0], sz = s->position[2];
  Poinz* first = attachment->firstPoint;
  Poinz* second = first ? first->next : nullptr;
  if (!first || !second) return;
  PolarFrom(sx, sz, a, c - w / 2, &first->position[0], &first->position[2]);
  PolarFrom(sx, sz, a, c + w / 2, &second->position[0], &second->position[2]);
  first->position[1] = second->position[1] = 0;
  if (Poinz* third = second->next) {
    float cx = 0, cz = 0;
    PolarFrom(sx, sz, a, c, &cx, &cz);
    const float side = data->flipHorizontal == 1 ? a + kQuarterTurn : a - kQuarterTurn;
    PolarFrom(cx, cz, side, data->height, &third->position[0], &third->position[2]);
    third->position[1] = 0;
    attachment->pointCount = 3;
  } else {
    attachment->pointCount = 2;
  }
  RecomputeAttachmentBounds(attachment);
  BuildAttachmentFrame(attachment);
}

void UpdateAttachedDim(Objex* dimension, Objex* wall) {
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument->itsCurLayer || !dimension || !wall || wall->type != kObjWall) return;
  if (dimension->subtype != kSubDimensionAttachment) return;
  DoorWindowData* data = AttachmentData(dimension);
  if (!data || !data->anchorStart || !data->anchorEnd) return;
  Poinz* s = data->anchorStart;
  Poinz* e = data->anchorEnd;
  const bool faceMode = dimension->firstPoint && WallOptionOf(dimension->firstPoint) != 0;
  float reach = kDimensionReach;
  if (faceMode) reach += ConvertWorldToScreen(wall->width, ds, 0) / 2;
  float segLength = 0;
  const float a = GetLineLengthAndAngle(s->position[0], s->position[2], e->position[0], e->position[2], &segLength);
  FloatPoint m{}, f{};
  PolarFrom(s->position[0], s->position[2], a, data->startDistance, &m.floatH, &m.floatV);
  const float side = data->flipHorizontal == 1 ? a + kQuarterTurn : a - kQuarterTurn;
  PolarFrom(m.floatH, m.floatV, side, reach, &f.floatH, &f.floatV);
  const float thickness = LimitWallDimension(&m, &f, gCurDocument->itsCurLayer, s, e);
  const float h = ConvertWorldToScreen(thickness, ds, 0) / 2;
  const float d = Distance(m.floatH, m.floatV, f.floatH, f.floatV);
  if (d < kNoFacingWall) {
    float depth = faceMode ? d - h : d;
    if (depth < kMinimumDepth) depth = kMinimumDepth;
    data->height = depth;
  }
  UpdateDimWallAttachment(dimension);
}

void UpdateAttachedDimObject(Objex* wall) {
  if (!wall || wall->type != kObjWall) return;
  for (Objex* child = wall->firstChild; child; child = child->next)
    if (child->subtype == kSubDimensionAttachment) UpdateAttachedDim(child, wall);
}

void UpdateAttachedDimLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next) UpdateAttachedDimObject(o);
}

void UpdateAttachedDimAllLayers(Layer* firstLayer) {
  for (Layer* layer = firstLayer; layer; layer = layer->next) UpdateAttachedDimLayer(layer);
}
