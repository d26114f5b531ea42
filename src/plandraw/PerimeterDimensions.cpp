// Automatic dimensions along outlines and walls: segment labels by kind, wall dimension
// strings through the openings with their callouts, and live distances along a wall.
#include "plandraw/PerimeterDimensions.h"

#include <algorithm>
#include <string>
#include <vector>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/ParallelObjects.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/ViewCommands.h"
#include "platform/Strings.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanPoints.h"
#include "plandraw/PlanText.h"
#include "plandraw/RegionFills.h"

uint8_t gToggleCallout = 0;

namespace {

constexpr float kCalloutCrowding = 48.0f;

PlanXZ Plan(const Poinz* p) { return {p->position[0], p->position[2]}; }

bool IsZero3(const float v[3]) { return v[0] == 0 && v[1] == 0 && v[2] == 0; }
bool StraightSegment(const Poinz* p, const Poinz* q) { return IsZero3(p->outHandle) && IsZero3(q->inHandle); }

// A static dimension of the measured pair oriented by the direction line.
void Dimension(DrawContext* handle, const Objex* guard, PlanXZ from, PlanXZ to, PlanXZ m1, PlanXZ m2, uint8_t side,
               float offset, float start, uint8_t compact, const char* suffix, uint8_t dynamic = 0,
               uint8_t oneSided = 0) {
  DrawDimensionLine(handle, from.x, from.z, to.x, to.z, m1.x, m1.z, m2.x, m2.z, side, offset, dynamic, guard, guard, 0,
                    oneSided, start, compact, suffix);
}

// A length label: the segment's own length, compact, 15 units out.
void Label(DrawContext* handle, const Objex* object, const Poinz* p, const Poinz* q, uint8_t side,
           const char* suffixKey = nullptr) {
  const std::string suffix = suffixKey ? LocalizedString(suffixKey) : std::string();
  Dimension(handle, object, Plan(p), Plan(q), Plan(p), Plan(q), side, 5, 5, 1, suffixKey ? suffix.c_str() : nullptr);
}

struct Opening {
  Objex* object;
  DoorWindowData* data;
};

// The openings anchored at the segment start, by distance along the segment; equal
// distances keep the children's order. The list is built here and kept nowhere else.
// For live distances (`live`) dimension attachments and openings off the current plan are left out.
std::vector<Opening> OpeningsAt(Objex* object, const Poinz* start, bool doorsAndWindowsOnly, const Objex* skip,
                                bool live, int32_t planMask) {
  std::vector<Opening> list;
  for (Objex* child = object->firstChild; child; child = child->next) {
    if (child == skip) continue;
    if (doorsAndWindowsOnly && child->type != kObjDoor && child->type != kObjWindow) continue;
    DoorWindowData* data = AttachmentData(child);
    if (!data || data->anchorStart != start) continue;
    if (live && child->type == kObjComponent && child->subtype == kSubDimensionAttachment) continue;
    if (live && !IsObjectOnCurrentPlan(child, planMask)) continue;
    list.push_back({child, data});
  }
  std::stable_sort(list.begin(), list.end(),
                   [](const Opening& a, const Opening& b) { return a.data->startDistance < b.data->startDistance; });
  return list;
}

Poinz* LastPoint(Poinz* p) {
  while (p && p->next) p = p->next;
  return p;
}

// The wall string of one segment: pieces from the start through each opening to the end, the
// callouts of the openings, and the overall length when there are two or more openings.
void WallString(DrawContext* handle, Objex* object, Poinz* p, Poinz* q) {
  DocState* ds = CurDocState();
  PlanXZ s, e;
  AdjustWallDimensionForMethod(object, p, q, &s.x, &s.z, &e.x, &e.z);
  const uint8_t side = PointFlipDimension(p) == 0;
  const float t = object->type == kObjWall ? object->width - 4.0f : 0.0f;
  const float o = t + 5.0f;
  const bool exteriorOffFloorPlan = object->subtype == kSubExteriorWall && !(ds->currentPlanMask & (1 << kPlanFloor));
  const bool hideDimensions = p->segmentFlags & kSegmentHideDimensions;
  const bool hideCallouts = p->segmentFlags & kSegmentHideCallouts;

  std::vector<Opening> openings;
  if (!exteriorOffFloorPlan) openings = OpeningsAt(object, p, true, nullptr, false, 0);
  if (openings.empty()) {
    if (hideDimensions) return;
    float offset = 5.0f;
    if (exteriorOffFloorPlan) offset = ConvertWorldToScreen(0.5f * object->params[3], ds, 0) + 5.0f;
    Dimension(handle, object, s, e, s, e, side, offset + t, t + 5.0f, 0, nullptr);
    return;
  }

  const float a = AngleBetween(s, e);
  PlanXZ prev = s;
  gToggleCallout = 0;
  for (size_t i = 0; i < openings.size(); ++i) {
    const PlanXZ k = Plan(p) + PolarPlan(a, openings[i].data->startDistance);
    if (!hideDimensions) Dimension(handle, object, s, e, prev, k, side, o, o, 0, nullptr);
    const float piece = GetLineLength(prev.x, prev.z, k.x, k.z);
    prev = k;
    if (hideCallouts) continue;
    if (piece < kCalloutCrowding && i > 0) gToggleCallout = !gToggleCallout;
    else gToggleCallout = 0;
    const uint8_t calloutSide = gToggleCallout ? PointFlipDimension(p) == 0 : PointFlipDimension(p) != 0;
    DrawAttachmentCalloutText(handle, openings[i].data, s.x, s.z, e.x, e.z, k.x, k.z, calloutSide, o);
  }
  if (hideDimensions) return;
  Dimension(handle, object, s, e, prev, e, side, o, o, 0, nullptr);
  if (openings.size() >= 2) Dimension(handle, object, s, e, s, e, side, t + 25.0f, o, 0, nullptr);
}

// Each segment of the outline (the closing one of a closed outline included) unless skipped.
template <typename Visit>
void ForEachSegment(Objex* object, Visit visit) {
  Poinz* first = object->firstPoint;
  if (!first) return;
  Poinz* p = first;
  for (; p->next; p = p->next) visit(p, p->next);
  if (object->closed && p != first) visit(p, first);
}

bool HasTwoPoints(const Objex* object) { return object->firstPoint && object->firstPoint->next; }

}  // namespace

void DrawObjectPerimeter(DrawContext* handle, Objex* object) {
  DocState* ds = CurDocState();
  if (!ds || !object || !HasTwoPoints(object)) return;
  if (object->type != kObjDimLine && !ShowAutoDimensions(ds)) return;
  const bool twoPoints = !object->firstPoint->next->next;
  const uint8_t side = twoPoints || GetParallelDirection(object) == 1;
  ForEachSegment(object, [&](Poinz* p, Poinz* q) { DimensionWallSegment(handle, object, p, q, side); });
}

void Draw2DRoofPanel(DrawContext* handle, Objex* roofPanel) {
  if (!CurDocState() || !roofPanel || !HasTwoPoints(roofPanel)) return;
  const bool twoPoints = !roofPanel->firstPoint->next->next;
  const uint8_t side = twoPoints || GetParallelDirection(roofPanel) == 1;
  ForEachSegment(roofPanel, [&](Poinz* p, Poinz* q) {
    if (!(p->segmentFlags & 1)) DimensionWallSegment(handle, roofPanel, p, q, side);
  });
}

void DrawWallSegmentDimensions(DrawContext* handle, Objex* wall) {
  if (!CurDocState() || !wall || !HasTwoPoints(wall)) return;
  constexpr int32_t kHideBoth = kSegmentHideDimensions | kSegmentHideCallouts;
  ForEachSegment(wall, [&](Poinz* p, Poinz* q) {
    if ((p->segmentFlags & kHideBoth) != kHideBoth) DimensionWallSegment(handle, wall, p, q, 1);
  });
}

void Draw2DWall(DrawContext* handle, Objex* copy, Objex* wall) {
  DocState* ds = CurDocState();
  if (!ds || !copy || !wall) return;
  if (IsObjectOnCurrentPlan(wall, ds->currentPlanMask)) {
    const RGBColor pen = gPlanDrawSettings.penColor;
    Draw2DFillRegion(handle, copy, kPenRegionSolid, 1, &pen, &pen, kBrushSolid);
  }
  DrawWallSegmentDimensions(handle, wall);
}

void DimensionWallSegment(DrawContext* handle, Objex* object, Poinz* p, Poinz* q, uint8_t side) {
  DocState* ds = CurDocState();
  if (!ds || !object || !p || !q) return;
  const bool autoDims = ShowAutoDimensions(ds);
  const bool straight = StraightSegment(p, q);
  switch (object->type) {
    case kObjClosedPoly: case kObjOpenPoly: case kObjGroundFill: case kObjRoofPanel: case kObjFoundationBeam:
      if (autoDims && straight) Label(handle, object, p, q, side);
      break;
    case kObjFloor: case kObjCutout:
      if (autoDims && straight && (ObjectDimensionFlags(object) & 1)) Label(handle, object, p, q, side);
      break;
    case kObjPropertyLine:
      if (autoDims && straight) Label(handle, object, p, q, !side, " P.L.");
      break;
    case kObjFence:
      if (autoDims) Label(handle, object, p, q, side, p->pointType == 6 ? " Gate" : " Fence");
      break;
    case kObjDetail:
      if (autoDims && straight && !(ObjectDimensionFlags(object) & 1)) Label(handle, object, p, q, side);
      break;
    case kObjRailing:
      if (autoDims && straight) Label(handle, object, p, q, side, " Rail");
      break;
    case kObjDeck:
      if (autoDims && straight && (ObjectDimensionFlags(object) & 1))
        Label(handle, object, p, q, side, (p->segmentFlags & 1) ? " (Rail)" : " (Open)");
      break;
    case kObjPhotoView:
      if (autoDims) Label(handle, object, p, q, side);
      break;
    case kObjDimLine:
      DrawDimensionLineNoOffset(handle, p->position[0], p->position[2], q->position[0], q->position[2],
                                p->position[0], p->position[2], q->position[0], q->position[2], side, 0, 0, object,
                                object, 0, 0, 0, 0, nullptr);
      break;
    default:
      WallString(handle, object, p, q);
      break;
  }
}

void DimensionPerimeterSegment(DrawContext* handle, Objex* object, Poinz* p, Poinz* q, uint8_t side) {
  DocState* ds = CurDocState();
  if (!ds || !object || !p || !q) return;
  const bool autoDims = ShowAutoDimensions(ds);
  const PlanXZ s = Plan(p), e = Plan(q);
  const std::vector<Opening> openings = OpeningsAt(object, p, false, nullptr, false, 0);
  if (openings.empty()) {
    if (autoDims) Dimension(handle, object, s, e, s, e, side, 5, 5, 0, nullptr);
    return;
  }
  const float a = AngleBetween(s, e);
  PlanXZ prev = s;
  gToggleCallout = 0;
  for (size_t i = 0; i < openings.size(); ++i) {
    const PlanXZ k = s + PolarPlan(a, openings[i].data->startDistance);
    if (autoDims) Dimension(handle, object, s, e, prev, k, side, 5, 5, 0, nullptr);
    const float piece = GetLineLength(prev.x, prev.z, k.x, k.z);
    prev = k;
    if (!ds->showCallouts) continue;
    if (piece < kCalloutCrowding && i > 0) gToggleCallout = !gToggleCallout;
    else gToggleCallout = 0;
    const uint8_t calloutSide = gToggleCallout ? side : !side;
    DrawAttachmentCalloutText(handle, openings[i].data, s.x, s.z, e.x, e.z, k.x, k.z, calloutSide, 5);
  }
  if (!autoDims) return;
  Dimension(handle, object, s, e, prev, e, side, 5, 5, 0, nullptr);
  if (openings.size() >= 2) Dimension(handle, object, s, e, s, e, side, 25, 5, 0, nullptr);
}

void DimensionWallSegmentToPoint(DrawContext* handle, Objex* wall, Poinz* p, Poinz* q, int32_t,
                                 const FloatPoint* point, const Objex* placing) {
  DocState* ds = CurDocState();
  if (!ds || !wall || !p || !q || !point) return;
  PlanXZ s, e;
  AdjustWallDimensionForMethod(wall, p, q, &s.x, &s.z, &e.x, &e.z);
  const PlanXZ x{point->floatH, point->floatV};
  const uint8_t side = PointFlipDimension(p) == 0;
  const std::vector<Opening> openings = OpeningsAt(wall, p, false, placing, true, ds->currentPlanMask);
  const float offset = openings.size() >= 2 || (openings.size() == 1 && placing) ? 45.0f : 25.0f;
  auto live = [&](PlanXZ from, uint8_t oneSided) { Dimension(handle, wall, s, e, from, x, side, offset, 5, 0, nullptr, 1, oneSided); };
  if (openings.empty()) {
    live(s, 0);
    live(e, 1);
    return;
  }
  const float a = AngleBetween(s, e);
  const float d = GetLineLength(s.x, s.z, x.x, x.z);
  PlanXZ prev = s;
  for (const Opening& opening : openings) {
    const PlanXZ k = Plan(p) + PolarPlan(a, opening.data->startDistance);
    if (opening.data->startDistance > d) {
      live(prev, 0);
      live(k, 1);
      return;
    }
    prev = k;
  }
  live(prev, 0);
  live(e, 1);
}

void AdjustWallDimensionForMethod(const Objex* object, const Poinz* p, const Poinz* q, float* x1, float* z1,
                                  float* x2, float* z2) {
  if (!object || !p || !q || !x1 || !z1 || !x2 || !z2) return;
  const PlanXZ P = Plan(p), Q = Plan(q);
  PlanXZ s = P, e = Q;
  if (object->type == kObjWall && p->segmentShort1 != 0) {
    const float w = ConvertWorldToScreen(object->width, CurDocState(), 0);
    const float a = AngleBetween(P, Q);
    const PlanXZ h = PolarPlan(a, w / 2);
    const PlanXZ m{(P.x + Q.x) / 2, (P.z + Q.z) / 2};
    const PlanXZ A = m + PolarPlan(a - kQuarterTurn, 100), B = m + PolarPlan(a + kQuarterTurn, 100);
    const bool flipped = p->segmentShort2 != 0;
    auto farFromA = [&](const Poinz* n) {
      const PlanXZ N = Plan(n);
      return GetLineLength(A.x, A.z, N.x, N.z) > GetLineLength(B.x, B.z, N.x, N.z);
    };
    const Poinz* before = p->prev;
    if (!before && object->closed) before = LastPoint(const_cast<Poinz*>(q));
    const Poinz* after = q->next;
    if (!after && object->closed) after = object->firstPoint;
    if (before && before != p && before != q) {
      const bool far = farFromA(before);
      s = (!flipped && !far) || (flipped && far) ? P - h : P + h;
    }
    if (after && after != q && after != p) {
      const bool far = farFromA(after);
      e = (!flipped && !far) || (flipped && far) ? Q + h : Q - h;
    }
  }
  *x1 = s.x, *z1 = s.z, *x2 = e.x, *z2 = e.z;
}
