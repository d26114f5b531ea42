// Wall components, wall breaks and attached wall dimensions: the press on a wall segment, the
// modal slide along it, the new attachment, and moving a placed one.
#include "tools/WallAttachmentPlacement.h"

#include <cmath>
#include <cstdlib>
#include <memory>

#include "building3d/Walls3D.h"
#include "model/AddRemovePoints.h"
#include "model/Attachments.h"
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
#include "plandraw/PerimeterDimensions.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/SymbolDrawing.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "platform/Alerts.h"
#include "tools/AttachedWallDims.h"
#include "tools/DoorWindowTools.h"
#include "tools/ModalEvents.h"
#include "tools/ObjectSnaps.h"
#include "tools/PointEvaluation.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"
#include "tools/ToolOverlay.h"

namespace {

constexpr float kQuarterTurn = 1.57079632679f;
constexpr float kResizeGap = 18.0f;  // one end stops this far from the other
constexpr float kDimensionDepth = 200.0f;
constexpr RGBColor kWhite{65535, 65535, 65535};

bool IsImperial(const DocState* ds) { return ds->measureSystem == 3; }

void RefuseComponent() {
  ShowAlert("Unable to place component.",
            "To place a component, click on a wall segment of sufficient length and then drag to position the "
            "component.");
}
void RefuseWallBreak() {
  ShowAlert("Unable to place wall break.",
            "To place a wall break, click on a wall segment of sufficient length and then drag to position the "
            "break.");
}

// The dimension chain and preview are dropped; the overlay shows nothing of the drag.
void ClearOverlay() {
  if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) {
    overlay->removePointsFromAllPaths();
    overlay->removeAllDynamicTransformElements();
    overlay->removeAllDynamicDimElements();
  }
}

float SegmentAngle(const Poinz* s, const Poinz* e) {
  float length = 0;
  return GetLineLengthAndAngle(s->position[0], s->position[2], e->position[0], e->position[2], &length);
}

// Where the ends go along the segment (s, e distances from its start), by the fit rules.
void PlaceAlong(const Poinz* segStart, const Poinz* segEnd, float width, float minDistance, float maxDistance,
                float mx, float mz, FloatPoint* firstEnd, FloatPoint* secondEnd, uint8_t moveSecondOnly,
                uint8_t moveFirstOnly, float* angleOut, FloatPoint* centre) {
  const float a = SegmentAngle(segStart, segEnd);
  const float sx = segStart->position[0], sz = segStart->position[2];
  // Signed distance along the segment of the foot of the perpendicular from the mouse.
  const float ux = std::cos(a), uz = -std::sin(a);
  const float d = (mx - sx) * ux + (mz - sz) * uz;
  float s = d - width / 2, e = d + width / 2;
  if (s <= minDistance + kAttachmentEndClearance) {
    s = minDistance + kAttachmentEndClearance;
    e = s + width;
  } else if (e >= maxDistance - kAttachmentEndClearance) {
    s = maxDistance - kAttachmentEndClearance - width;
    e = maxDistance - kAttachmentEndClearance;
  }
  auto along = [&](const FloatPoint* p) { return (p->floatH - sx) * ux + (p->floatV - sz) * uz; };
  if (moveFirstOnly && secondEnd) {
    const float other = along(secondEnd);
    float first = std::fmin(s + width / 2, other - kResizeGap);
    PolarFrom(sx, sz, a, first, &firstEnd->floatH, &firstEnd->floatV);
  } else if (moveSecondOnly && firstEnd) {
    const float other = along(firstEnd);
    float second = std::fmax(e - width / 2, other + kResizeGap);
    PolarFrom(sx, sz, a, second, &secondEnd->floatH, &secondEnd->floatV);
  } else {
    PolarFrom(sx, sz, a, s, &firstEnd->floatH, &firstEnd->floatV);
    PolarFrom(sx, sz, a, e, &secondEnd->floatH, &secondEnd->floatV);
  }
  if (angleOut) *angleOut = a;
  if (centre) {
    centre->floatH = (firstEnd->floatH + secondEnd->floatH) / 2;
    centre->floatV = (firstEnd->floatV + secondEnd->floatV) / 2;
  }
}

// 1 when the mouse lies on the side at the segment angle plus 90 degrees.
uint8_t SideOf(const FloatPoint* firstEnd, float a, float mx, float mz) {
  float lx = 0, lz = 0, rx = 0, rz = 0;
  PolarFrom(firstEnd->floatH, firstEnd->floatV, a + kQuarterTurn, 100, &lx, &lz);
  PolarFrom(firstEnd->floatH, firstEnd->floatV, a - kQuarterTurn, 100, &rx, &rz);
  return std::hypot(mx - lx, mz - lz) < std::hypot(mx - rx, mz - rz) ? 1 : 0;
}

// Puts a setting back however the drag ends.
struct GridSpacingScope {
  DocState* ds;
  FloatPoint saved;
  explicit GridSpacingScope(DocState* d) : ds(d), saved(d ? d->gridSpacing : FloatPoint{}) {
    if (ds) ds->gridSpacing = FloatPoint{1, 1};
  }
  ~GridSpacingScope() {
    if (ds) ds->gridSpacing = saved;
  }
};

struct DrawingScope {
  uint8_t saved = gDynamicDrawing;
  DrawingScope() { gDynamicDrawing = 1; }
  ~DrawingScope() { gDynamicDrawing = saved; }
};

Poinz* NewPoint(float x, float z, Objex* owner, int16_t option) {
  Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, owner);  // straight: no handles
  if (p) WallOptionOf(p) = option;
  return p;
}

}  // namespace

void PolarFrom(float x, float z, float angle, float length, float* outX, float* outZ) {
  *outX = x + length * std::cos(angle);
  *outZ = z - length * std::sin(angle);
}

void FillWallHungRecord(DoorWindowData* data, int16_t ownerType, Poinz* segStart, Poinz* segEnd,
                        const FloatPoint& first, const FloatPoint& size, float length, float elevation,
                        uint8_t side) {
  data->ownerType = ownerType;
  data->subtype = 0;
  data->anchorStart = segStart;
  data->anchorEnd = segEnd;
  data->startDistance = DistanceAlong(segStart, segEnd, first.floatH, first.floatV) + size.floatH / 2;
  data->remainingLength = length - data->startDistance;
  data->width = size.floatH;
  data->height = size.floatV;
  data->elevation = elevation;
  data->flipHorizontal = side;
  data->dividerStyle() = 1;
  for (TrimSlot* slot : {&data->trimSlotA, &data->trimSlotB}) {
    slot->textureWidth = slot->textureHeight = 100;
    slot->color = kWhite;
  }
}

void RecomputeAttachmentBounds(Objex* attachment) { UpdateObjectBounds(attachment); }

FloatPoint ComponentFootprint(int32_t kind) {
  DocState* ds = CurDocState();
  float w = 6, d = 12;
  switch (kind) {
    case 90: w = 24, d = 30; break;
    case 73: case 74: case 75: case 76: case 77: case 78: w = 6, d = 16; break;
    case 84: case 85: w = 10, d = 12; break;
    case 83: w = 25, d = 11; break;
    case 86: case 87: w = 10, d = 14; break;
    case 91: case 92: case 93: w = 36, d = 24; break;
    case 94: w = 21, d = 16; break;
    case 95: if (ds) w = ds->bathTubSetting1, d = ds->bathTubSetting2; break;
    case 96: if (ds) w = ds->spaTubSetting1, d = ds->spaTubSetting2; break;
    case 97: if (ds) w = ds->showerSetting1, d = ds->showerSetting2; break;
    case 124: w = 48, d = 6; break;
    case kSubDimensionAttachment: case kSubWallBreak: return FloatPoint{0, kDimensionDepth};
    default: break;
  }
  return FloatPoint{ConvertWorldToScreen(w, ds, 0), ConvertWorldToScreen(d, ds, 0)};
}

float ComponentElevation(int32_t kind) {
  DocState* ds = CurDocState();
  if (!ds) return 0;
  const bool imperial = IsImperial(ds);
  float inches = ds->baseElevation;
  switch (kind) {
    case 55: case 65: case 66: case 67: case 70: case 84: case 85: inches = imperial ? 12 : 11.811023f; break;
    case 73: case 74: case 75: case 76: case 77: case 78: inches = imperial ? 42 : 43.307087f; break;
    case 83: case 86: inches = imperial ? 84 : 84.251969f; break;
    case 87: inches = imperial ? 54 : 55.118111f; break;
    case 91: case 92: case 93: inches = imperial ? 36 : 35.433071f; break;
    case 99: case 109: inches = imperial ? 18 : 19.685039f; break;
    case 124: inches = 6; break;
    case 90: case 94: return 0;
    case 95: case 96: case 97: return 0.1f;
    default: break;
  }
  return ConvertWorldToScreen(inches, ds, 0);
}

uint8_t PositionAttachment(Poinz* segStart, Poinz* segEnd, const FloatPoint* size, float, float minDistance,
                           float maxDistance, int32_t mouseX, int32_t mouseZ, FloatPoint* firstEnd,
                           FloatPoint* secondEnd, uint8_t moveSecondOnly, uint8_t moveFirstOnly, float* angle,
                           FloatPoint* centre) {
  if (!segStart || !segEnd || !size || !firstEnd || !secondEnd) return 0;
  float a = 0;
  PlaceAlong(segStart, segEnd, size->floatH, minDistance, maxDistance, static_cast<float>(mouseX),
             static_cast<float>(mouseZ), firstEnd, secondEnd, moveSecondOnly, moveFirstOnly, &a, centre);
  if (angle) *angle = a;
  return SideOf(firstEnd, a, static_cast<float>(mouseX), static_cast<float>(mouseZ));
}

uint8_t PositionDimAttachment(Poinz* segStart, Poinz* segEnd, FloatPoint* size, float, float minDistance,
                              float maxDistance, float mouseX, float mouseZ, FloatPoint* firstEnd,
                              FloatPoint* secondEnd, uint8_t moveSecondOnly, uint8_t moveFirstOnly, float* angle,
                              FloatPoint* centre) {
  if (!segStart || !segEnd || !size || !firstEnd || !secondEnd) return 0;
  float a = 0;
  PlaceAlong(segStart, segEnd, size->floatH, minDistance, maxDistance, mouseX, mouseZ, firstEnd, secondEnd,
             moveSecondOnly, moveFirstOnly, &a, centre);
  if (angle) *angle = a;
  // Distance of the mouse from the segment line.
  const float sx = segStart->position[0], sz = segStart->position[2];
  size->floatV = std::fabs(-(mouseX - sx) * std::sin(a) - (mouseZ - sz) * std::cos(a));
  return SideOf(firstEnd, a, mouseX, mouseZ);
}

void DrawAttachment(const FloatPoint* firstEnd, const FloatPoint* centre, const FloatPoint*, float angle,
                    uint8_t side, int32_t kind, Objex* wall, float width, float depth, uint8_t fromCentreLine) {
  DocState* ds = CurDocState();
  if (!ds || !wall || wall->type != kObjWall || !firstEnd || !centre) return;
  float h = ConvertWorldToScreen(wall->width, ds, 0) / 2;
  if (kind == kSubWallBreak || kind == kObjAccessory) h = ConvertWorldToScreen(wall->width, ds, 0) * 5;
  const float perpendicular = side == 1 ? angle + kQuarterTurn : angle - kQuarterTurn;
  float ox = 0, oz = 0;
  PolarFrom(0, 0, perpendicular, h, &ox, &oz);
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  // Plan points through the view into the overlay's window points.
  auto line = [&](float x1, float z1, float x2, float z2) {
    if (!overlay) return;
    float y1 = 0, y2 = 0;
    ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
    auto element = std::make_unique<ZLKDynamicTransformElement>();
    element->appendPathWithLineFromPoint(NSPoint{std::round(x1), std::round(y1)},
                                         NSPoint{std::round(x2), std::round(y2)});
    overlay->addDynamicTransformElement(std::move(element));
  };
  const float fx = firstEnd->floatH, fz = firstEnd->floatV;
  DrawingScope drawing;
  if (kind == kSubWallBreak || kind == kObjAccessory) {
    line(fx - ox, fz - oz, fx + ox, fz + oz);
    return;
  }
  if (kind == kSubDimensionAttachment) {
    const float bx = fromCentreLine ? fx : fx + ox, bz = fromCentreLine ? fz : fz + oz;
    float ex = 0, ez = 0;
    PolarFrom(bx, bz, perpendicular, depth, &ex, &ez);
    DrawDimensionLineNoOffset(bx, 0, bz, ex, 0, ez);
    line(bx, bz, ex, ez);
    return;
  }
  const FloatPoint at{fx + ox, fz + oz};
  const float turn = perpendicular + kQuarterTurn;
  switch (kind) {
    case 55: case 65: case 66: case 67: case 70: case 73: case 74: case 75: case 76: case 77: case 78:
    case 83: case 84: case 85: case 86: case 87: case 90: case 91: case 92: case 93: case 94: case 95:
    case 96: case 97: case 99: case 109: case 124: {
      // Drawn as the plan will draw it: a tub or shower at its size, any other kind at scale 1.
      float scaleX = 1, scaleZ = 1;
      SizedSymbolScales(kind, width, depth, &scaleX, &scaleZ);
      SetupToDraw2DSymbolObject(nullptr, 0, nullptr, turn, &at, kind, scaleX, scaleZ);
      return;
    }
    default:
      line(fx, fz, fx + ox, fz + oz);
      return;
  }
}

int TrackAttachmentPlacement(Objex* wall, Poinz* segStart, Poinz* segEnd, FloatPoint* size, float workingLength,
                             float minDistance, float maxDistance, int32_t clickX, int32_t clickY,
                             FloatPoint* firstEnd, FloatPoint* secondEnd, uint8_t moveSecondOnly,
                             uint8_t moveFirstOnly, int32_t kind, const ClickInfo* clickRecord,
                             DoorWindowData* placedRecord, Objex* placedObject, uint8_t* side,
                             FloatPoint* depthPoint) {
  DocState* ds = CurDocState();
  if (!ds || !wall || !segStart || !segEnd || !size || !firstEnd || !secondEnd) return 0;
  ClearOverlay();
  const bool moving = placedRecord && clickRecord;
  const bool isDim = kind == kSubDimensionAttachment;
  uint8_t fromCentreLine = 1;
  if (isDim && placedObject && placedObject->firstPoint && WallOptionOf(placedObject->firstPoint) != 0)
    fromCentreLine = 0;
  const bool dimByPosition = isDim && !(moving && clickRecord->segmentHit);
  GridSpacingScope grid(ds);

  ClickInfo local = clickRecord ? *clickRecord : gClickInfo;
  auto evaluate = [&](int32_t x, int32_t y, float* px, float* pz) {
    float wx = 0, wy = 0, wz = 0;
    EvaluatePoint(x, y, &wx, &wy, &wz, 1, &local, 1);
    *px = wx;
    *pz = wz;
  };
  // When moving, the drag carries the attachment's middle (or the end being moved) with the
  // press point.
  float shiftX = 0, shiftZ = 0;
  if (moving && placedObject && placedObject->firstPoint && placedObject->firstPoint->next) {
    const Poinz* a = placedObject->firstPoint;
    const Poinz* b = a->next;
    float ax = (a->position[0] + b->position[0]) / 2, az = (a->position[2] + b->position[2]) / 2;
    if (moveFirstOnly) ax = a->position[0], az = a->position[2];
    if (moveSecondOnly) ax = b->position[0], az = b->position[2];
    float px = 0, pz = 0;
    evaluate(clickX, clickY, &px, &pz);
    shiftX = ax - px;
    shiftZ = az - pz;
  }
  uint8_t s = 0;
  float angle = 0;
  FloatPoint centre{};
  auto place = [&](int32_t x, int32_t y) {
    float px = 0, pz = 0;
    evaluate(x, y, &px, &pz);
    px += shiftX;
    pz += shiftZ;
    if (dimByPosition)
      s = PositionDimAttachment(segStart, segEnd, size, workingLength, minDistance, maxDistance, px, pz, firstEnd,
                                secondEnd, moveSecondOnly, moveFirstOnly, &angle, &centre);
    else
      s = PositionAttachment(segStart, segEnd, size, workingLength, minDistance, maxDistance,
                             static_cast<int32_t>(std::lround(px)), static_cast<int32_t>(std::lround(pz)), firstEnd,
                             secondEnd, moveSecondOnly, moveFirstOnly, &angle, &centre);
    ClearOverlay();
    DrawAttachment(firstEnd, &centre, secondEnd, angle, s, kind, wall, size->floatH, size->floatV, fromCentreLine);
    {
      DrawingScope drawing;
      DimensionWallSegmentToPoint(nullptr, wall, segStart, segEnd, 0, &centre, placedObject);
    }
    Refresh();
  };
  place(clickX, clickY);
  int moved = 0;
  const uint8_t savedChange = gChangeSnapOK;
  for (;;) {
    ModalEvent event;
    if (!NextModalEvent(kModalMouseUpMask | kModalMouseDraggedMask | kModalKeyDownMask, &event)) {
      if (event.type == kModalWindowClosed || ModalWindowClosed()) {
        gChangeSnapOK = savedChange;
        ClearOverlay();
        return -1;
      }
      break;  // the queue has nothing more: the drag ends where it is
    }
    if (event.type == kModalKeyDown && event.keyCode == kModalKeyTab) {
      gChangeSnapOK = 1;
      MaintainSnapTools();
      gChangeSnapOK = savedChange;
    }
    if (event.type != kModalKeyDown && (event.where.x != clickX || event.where.y != clickY)) moved = 1;
    place(event.type == kModalKeyDown ? ModalMouseLocation().x : event.where.x,
          event.type == kModalKeyDown ? ModalMouseLocation().y : event.where.y);
    if (event.type == kModalMouseUp) break;
  }
  ClearOverlay();
  if (side) *side = s;
  if (depthPoint) {
    const float perpendicular = s == 1 ? angle + kQuarterTurn : angle - kQuarterTurn;
    PolarFrom(centre.floatH, centre.floatV, perpendicular, size->floatV, &depthPoint->floatH, &depthPoint->floatV);
  }
  return moved;
}

Objex* SupportTrackAttachment(float, float, float, int16_t phase, ClickInfo* click, uint16_t, FloatPoint* size,
                              int32_t kind) {
  if (phase != kTrackBegin || !size) return nullptr;
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument->itsCurLayer) return nullptr;
  const bool wallBreak = gCurTool == kToolWallBreak;
  if (!click || !click->segmentHit || !click->hitObject || !click->hitPoint || !click->segmentEnd) {
    if (wallBreak) RefuseWallBreak();
    else RefuseComponent();
    return nullptr;
  }
  Objex* wall = click->hitObject;
  if (wall->type != kObjWall) {
    if (wallBreak) RefuseWallBreak();
    else if (kind == kSubDimensionAttachment)
      ShowAlert("Unable to place wall dimension.",
                "To place a wall dimension, click on a wall segment of sufficient length and then drag to position "
                "the dimension line.");
    else RefuseComponent();
    return nullptr;
  }
  Poinz* segStart = click->hitPoint;
  Poinz* segEnd = click->segmentEnd;
  float minDistance = 0, length = 0;
  const float working = GetWallSegmentWorkingLength(0, 0, segStart, segEnd, &minDistance, &length);
  if (size->floatH > working) {
    if (gCurTool == kToolDimensionWall)
      ShowAlert("Unable to attach dimension line.",
                "The wall segment is not long enough to attach the dimension line.  Please lengthen the segment "
                "and try again.");
    else if (wallBreak)
      ShowAlert("Unable to break wall segment.",
                "The wall segment is not long enough to break.  Please lengthen the segment and try again.");
    else
      ShowAlert("Unable to place component.",
                "The wall segment is not long enough to accommodate the selected component.  Please lengthen the "
                "segment and try again.");
    return nullptr;
  }
  FloatPoint first{}, second{}, depthPoint{};
  uint8_t side = 0;
  const int result = TrackAttachmentPlacement(wall, segStart, segEnd, size, working, minDistance, length,
                                              click->where.x, click->where.y, &first, &second, 0, 0, kind, nullptr,
                                              nullptr, nullptr, &side, &depthPoint);
  if (result < 0) return nullptr;

  if (kind == kSubWallBreak) {
    AddPointAtPosition(wall, segStart, ds, first.floatH, segStart->position[1], first.floatV);
    ReRenderObject(wall);
    Refresh();
    return nullptr;
  }

  Objex* attachment = CreateObject(kObjComponent, 1, 1, &ds->wallFillColor, &kWhite, 1, 6, 0, nullptr, nullptr,
                                   nullptr, wall, gCurDocument->itsCurLayer, nullptr);
  if (!attachment) return nullptr;
  auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  const int16_t option = ds->wallDimensionFrom;
  Poinz* p1 = NewPoint(first.floatH, first.floatV, attachment, option);
  Poinz* p2 = NewPoint(second.floatH, second.floatV, attachment, option);
  Poinz* p3 = NewPoint(depthPoint.floatH, depthPoint.floatV, attachment, option);
  if (!data || !p1 || !p2 || !p3) {
    free(p1);
    free(p2);
    free(p3);
    free(data);
    free(attachment);
    return nullptr;
  }
  attachment->textureID = 0;
  attachment->subtype = kind;
  attachment->levels = 1;
  attachment->closed = 1;
  AppendPointToObject(p1, attachment);
  AppendPointToObject(p2, attachment);
  AppendPointToObject(p3, attachment);
  attachment->pointCount = 3;
  attachment->typeData = data;
  AppendChildToObject(attachment, wall);
  RecomputeAttachmentBounds(attachment);

  SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 1);
  DoSelectObject(attachment, kSelectOn);
  Refresh();

  FillWallHungRecord(data, static_cast<int16_t>(kind), segStart, segEnd, first, *size, length,
                     ComponentElevation(kind), side);

  if (kind == kSubDimensionAttachment) {
    UpdateAttachedDim(attachment, wall);
    UpdateAllWallAttachments(wall);
  } else {
    BuildAttachmentFrame(attachment);
  }
  ReRenderObject(wall);
  DoSelectObject(attachment, kSelectOff);
  return attachment;
}

Objex* TrackWallAttachment(float x, float y, float z, int16_t phase, int32_t kind) {
  FloatPoint size = ComponentFootprint(kind);
  ClickInfo click = gClickInfo;
  Objex* made = SupportTrackAttachment(x, y, z, phase, &click, gTrackModifiers, &size, kind);
  gMouseCaptured = 0;
  return made;
}

namespace tools {
void TranslateWallComponent(Objex* component, float, float, float) {
  DocState* ds = CurDocState();
  Objex* attachment = gClickInfo.hitObject ? gClickInfo.hitObject : component;
  if (!ds || !attachment) return;
  DoorWindowData* data = AttachmentData(attachment);
  if (!data || !data->anchorStart || !data->anchorEnd) return;
  if (!(gClickInfo.segmentHit || gClickInfo.pointHit)) {
    Refresh();
    SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 1);
    DoSelectObject(attachment, kSelectOn);
    return;
  }
  Poinz* segStart = data->anchorStart;
  Poinz* segEnd = data->anchorEnd;
  Objex* wall = attachment->parent;
  float minDistance = 0, length = 0;
  const float working = GetWallSegmentWorkingLength(0, 0, segStart, segEnd, &minDistance, &length);
  FloatPoint size{data->width, data->height};
  Poinz* p1 = attachment->firstPoint;
  Poinz* p2 = p1 ? p1->next : nullptr;
  if (!p1 || !p2 || !wall) return;
  FloatPoint first{p1->position[0], p1->position[2]}, second{p2->position[0], p2->position[2]}, depthPoint{};
  uint8_t side = data->flipHorizontal;
  const ClickInfo click = gClickInfo;
  const int32_t kind = attachment->type == kObjAccessory ? kObjAccessory : attachment->subtype;
  const int moved = TrackAttachmentPlacement(wall, segStart, segEnd, &size, working, minDistance, length,
                                             click.where.x, click.where.y, &first, &second, 0, 0, kind, &click, data,
                                             attachment, &side, &depthPoint);
  if (moved <= 0) return;
  data->startDistance = DistanceAlong(segStart, segEnd, first.floatH, first.floatV) + data->width / 2;
  data->remainingLength = length - data->startDistance;
  if (attachment->type == kObjAccessory) {
    float a = SegmentAngle(segStart, segEnd);
    const float reach = ConvertWorldToScreen(wall->width, ds, 0) / 2 +
                        std::fmax(6.0f, ConvertWorldToScreen(data->swingAngle(), ds, 0));
    PolarFrom((first.floatH + second.floatH) / 2, (first.floatV + second.floatV) / 2,
              side == 1 ? a + kQuarterTurn : a - kQuarterTurn, reach, &depthPoint.floatH, &depthPoint.floatV);
  }
  p1->position[0] = first.floatH, p1->position[2] = first.floatV;
  p2->position[0] = second.floatH, p2->position[2] = second.floatV;
  if (Poinz* p3 = p2->next) p3->position[0] = depthPoint.floatH, p3->position[2] = depthPoint.floatV;
  data->flipHorizontal = side;
  if (attachment->subtype == kSubDimensionAttachment) data->height = size.floatV;
  RecomputeAttachmentBounds(attachment);
  if (attachment->subtype == kSubDimensionAttachment) {
    UpdateAttachedDim(attachment, wall);
    UpdateAllWallAttachments(wall);
  } else {
    BuildAttachmentFrame(attachment);
  }
  ReRenderObject(wall);
  Refresh();
  SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 1);
  DoSelectObject(attachment, kSelectOn);
}
}  // namespace tools

void TranslateWallComponent() {
  tools::TranslateWallComponent(gClickInfo.hitObject, 0, 0, 0);
}

void DrawAttachment(ZLKDocumentView*, const FloatPoint* firstEnd, const FloatPoint* centre,
                    const FloatPoint* secondEnd, float angle, uint8_t side, int32_t kind, Objex* wall, float width,
                    float depth, uint8_t fromCentreLine) {
  DrawAttachment(firstEnd, centre, secondEnd, angle, side, kind, wall, width, depth, fromCentreLine);
}
