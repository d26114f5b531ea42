// Wall-segment selection dimensions and wall dimension attachments.
#include "plandraw/WallSegmentDimensions.h"

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/PlanRecordFields.h"
#include "plandraw/SymbolGeometry.h"

namespace {

constexpr FloatPoint kNone{-32000.0f, -32000.0f};

bool IsSet(const FloatPoint& a, const FloatPoint& b) {
  return a.floatH > -30000.0f || a.floatV > -30000.0f || b.floatH > -30000.0f || b.floatV > -30000.0f;
}

void DrawStored(uint8_t dynamic) {
  float guard1 = 0, guard2 = 0;
  FloatPoint& sa = gSelectedWallSegmentStartPtSideA;
  FloatPoint& ea = gSelectedWallSegmentEndPtSideA;
  FloatPoint& sb = gSelectedWallSegmentStartPtSideB;
  FloatPoint& eb = gSelectedWallSegmentEndPtSideB;
  const bool sideA = IsSet(sa, ea);
  if (sideA) {
    gSelectionState = 1;
    DrawDimensionLineNoOffset(nullptr, sa.floatH, sa.floatV, ea.floatH, ea.floatV, sa.floatH, sa.floatV, ea.floatH,
                              ea.floatV, 1, 0.0f, dynamic, &guard1, &guard2, 0, 0, 0.0f, 0, nullptr);
    gSelectionState = 0;
    sa = ea = kNone;
  }
  if (IsSet(sb, eb)) {
    gSelectionState = 1;
    DrawDimensionLineNoOffset(nullptr, eb.floatH, eb.floatV, sb.floatH, sb.floatV, eb.floatH, eb.floatV, sb.floatH,
                              sb.floatV, 1, 0.0f, dynamic, &guard1, &guard2, 0, sideA ? 1 : 0, 0.0f, 0, nullptr);
    gSelectionState = 0;
    sb = eb = kNone;
  }
}

// Stores the side's pair when its length is in (10, 30000).
void StoreSide(Objex* wall, Poinz* a, Poinz* b, FloatPoint foot, int16_t side, float segmentAngle,
               FloatPoint* start, FloatPoint* end) {
  FloatPoint e{};
  float angle = 0;
  GetWallDimensionPoint(wall, a, b, &foot, &e, side, &angle, segmentAngle);
  const float length = GetLineLength(foot.floatH, foot.floatV, e.floatH, e.floatV);
  if (length > 10.0f && length < 30000.0f) {
    *start = foot;
    *end = e;
  }
}

}  // namespace

FloatPoint gSelectedWallSegmentStartPtSideA = kNone, gSelectedWallSegmentEndPtSideA = kNone;
FloatPoint gSelectedWallSegmentStartPtSideB = kNone, gSelectedWallSegmentEndPtSideB = kNone;

void DrawDimensionWallSegmentSelection(Objex* wall, Poinz* pointA, Poinz* pointB, int32_t windowX, int32_t windowY) {
  if (!wall || wall->type != kObjWall || !CurDocState() || !pointA || !pointB) return;
  if (!pointA->selected || !pointB->selected) return;
  float x = 0, y = 0, z = 0;
  EvaluatePoint(windowX, windowY, &x, &y, &z, 0, nullptr, 1);
  const PlanPoint a = PlanPositionOf(pointA), b = PlanPositionOf(pointB);
  const float angle = PlanAngle(a, b);
  FloatPoint foot{};
  GetPerpIntersection(a.x, a.z, b.x, b.z, x, z, &foot.floatH, &foot.floatV);
  StoreSide(wall, pointA, pointB, foot, 1, angle, &gSelectedWallSegmentStartPtSideA, &gSelectedWallSegmentEndPtSideA);
  StoreSide(wall, pointA, pointB, foot, 0, angle, &gSelectedWallSegmentStartPtSideB, &gSelectedWallSegmentEndPtSideB);
}

void GetWallDimensionPoint(Objex* wall, Poinz* pointA, Poinz* pointB, FloatPoint* start, FloatPoint* end,
                           int16_t side, float* angle, float segmentAngle) {
  ZLKDocumentModel* doc = gCurDocument;
  if (!wall || !pointA || !pointB || !start || !end || !angle || !doc || !CurDocState() || !doc->itsCurLayer) return;
  if (wall->type != kObjWall) return;
  const float d = side ? segmentAngle + kRightAngle : segmentAngle - kRightAngle;
  *angle = d;
  const PlanPoint far = PlanPoint{start->floatH, start->floatV} + Polar(d, 32000.0f);
  *end = {far.x, far.z};
  LimitWallDimension(start, end, doc->itsCurLayer, pointA, pointB);
}

void ApplePortDrawDimensionWallSegmentSelection() { DrawStored(0); }

void PlanClearDimensionWallSegmentSelection() { DrawStored(1); }

void DrawDimensionAttachment(DrawContext* handle, Objex* attachment) {
  const DocState* ds = CurDocState();
  if (!ds || !attachment || !attachment->parent || attachment->parent->type != kObjWall) return;
  const auto* data = static_cast<const DoorWindowData*>(attachment->typeData);
  if (!data || !data->anchorStart || !data->anchorEnd) return;
  const PlanPoint anchor = PlanPositionOf(data->anchorStart);
  const float a = PlanAngle(anchor, PlanPositionOf(data->anchorEnd));
  const float h = ConvertWorldToScreen(attachment->parent->width, ds, 0) * 0.5f;
  const PlanPoint s = anchor + Polar(a, data->startDistance);
  const float d = data->flipHorizontal ? a + kRightAngle : a - kRightAngle;
  PlanPoint from = s;
  if (attachment->firstPoint && FromWallFace(attachment->firstPoint)) from = s + Polar(d, h);
  const PlanPoint to = s + Polar(d, data->height);
  float guard1 = 0, guard2 = 0;
  DrawDimensionLineNoOffset(handle, from.x, from.z, to.x, to.z, from.x, from.z, to.x, to.z, 1, 0.0f, 0, &guard1,
                            &guard2, 0, 0, 0.0f, 0, nullptr);
}
