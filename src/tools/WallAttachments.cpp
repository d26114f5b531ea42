// Re-fitting a wall's openings after an edit, the move tool's slide and stretch of one door or
// window, and trimming a wall's free ends.
#include "tools/WallAttachments.h"

#include <cmath>
#include <numbers>

#include "building3d/WallJoining.h"
#include "building3d/Walls3D.h"
#include "model/Attachments.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"
#include "tools/AttachedWallDims.h"
#include "tools/DoorWindowTools.h"
#include "tools/TrackingState.h"

namespace {

constexpr float kHalfPi = static_cast<float>(std::numbers::pi / 2);
// Least depth of an accessory's marker beyond the wall face (plan units).
constexpr float kLeastAccessoryDepth = 6.0f;

float SegmentLength(const Poinz* a, const Poinz* b) {
  return GetLineLength(a->position[0], a->position[2], b->position[0], b->position[2]);
}

void PlaceOnSegment(Poinz* point, const Poinz* a, const Poinz* b, float distance, float length) {
  const float t = length > 0 ? distance / length : 0;
  point->position[0] = a->position[0] + (b->position[0] - a->position[0]) * t;
  point->position[1] = 0;
  point->position[2] = a->position[2] + (b->position[2] - a->position[2]) * t;
}

}  // namespace

int UpdateWallAttachment(Objex* attachment) {
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument || !attachment) return 0;
  Objex* wall = attachment->parent;
  DoorWindowData* record = AttachmentData(attachment);
  if (!wall || !wall->layer || !record || !record->anchorStart || !record->anchorEnd) return 0;
  const Poinz* a = record->anchorStart;
  const Poinz* b = record->anchorEnd;
  const float length = SegmentLength(a, b);
  const float w = record->width;
  const float c = record->startDistance;
  const bool fits = w < length + kOpeningEndClearance && c >= w / 2 && c + w / 2 <= length + kOpeningEndClearance;
  if (!fits) {
    const bool dimension = attachment->subtype == kSubDimensionAttachment;
    DeleteObj(attachment);
    return dimension ? 0 : 1;
  }
  record->remainingLength = length - c;
  if (attachment->subtype == kSubDimensionAttachment) {
    UpdateDimWallAttachment(attachment);  // a dimension keeps its own geometry
    return 0;
  }
  Poinz* first = attachment->firstPoint;
  Poinz* second = first ? first->next : nullptr;
  if (first) PlaceOnSegment(first, a, b, c - w / 2, length);
  if (second) PlaceOnSegment(second, a, b, c + w / 2, length);
  Poinz* third = second ? second->next : nullptr;
  const bool opening = attachment->type == kObjDoor || attachment->type == kObjWindow;
  if (third && (opening || attachment->type == kObjAccessory)) {
    float unused = 0;
    const float angle = GetLineLengthAndAngle(a->position[0], a->position[2], b->position[0], b->position[2], &unused);
    const float across = record->flipHorizontal ? angle + kHalfPi : angle - kHalfPi;
    float offset = record->height;
    if (attachment->type == kObjAccessory) {
      // The accessory's depth (in the swing slot) beyond half the wall, converted as the
      // accessory tool, its move and its 3D panel convert it.
      float depth = ConvertWorldToScreen(record->swingAngle(), ds, 0);
      if (depth < kLeastAccessoryDepth) depth = kLeastAccessoryDepth;
      offset = ConvertWorldToScreen(wall->width, ds, 0) / 2 + depth;
    }
    PlaceOnSegment(third, a, b, c, length);  // the centre, then across the wall
    float dx = 0, dz = 0;
    GetPointFromLengthAndAngle(across, offset, &dx, &dz);
    third->position[0] += dx;
    third->position[2] += dz;
  }
  UpdateObjectBounds(attachment);
  BuildAttachmentFrame(attachment);
  return 0;
}

namespace tools {
int UpdateAllWallAttachments(Objex* wall) {
  NoteServiceCall("UpdateAllWallAttachments", wall);
  if (!gCurDocument || !CurDocState() || !wall) return 0;
  if (!DeferWallDimensionRefresh(wall) && !AppendedWallDimensionRefresh::MeasureCurrentFloor())
    UpdateAttachedDimLayer(gCurDocument->itsCurLayer);
  if (wall->type != kObjWall) return 0;
  int removed = 0;
  for (Objex* child = wall->firstChild; child;) {
    Objex* next = child->next;
    removed += UpdateWallAttachment(child);
    child = next;
  }
  if (removed > 0)
    ShowAlert(LocalizedString("One or more components have been removed."),
              LocalizedString("The wall was not long enough to accommodate all of its attachments.  One or more "
                              "windows, doors, and/or fixtures were removed."),
              true);
  return removed;
}
}  // namespace tools

// Refitting attachments moves no wall, so the current floor's dimensions measured once after
// the walk come out as when each wall's refit measured them all again, which made a floor of
// n walls take n whole-floor measurements.
void UpdateAllWallAttachmentsLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  WallDimensionRefreshBatch dimensions;
  for (Objex* o = layer->firstObject; o;) {
    Objex* next = o->next;
    UpdateAllWallAttachments(o);
    o = next;
  }
}

void UpdateAllWallAttachmentsAllLayers(Layer* firstLayer) {
  WallDimensionRefreshBatch dimensions;
  for (Layer* layer = firstLayer; layer; layer = layer->next) UpdateAllWallAttachmentsLayer(layer);
}

void TranslateWallAttachment() {
  NoteServiceCall("TranslateWallAttachment", gClickInfo.hitObject);
  ClickInfo click = gClickInfo;
  Objex* opening = click.hitObject;
  DoorWindowData* record = AttachmentData(opening);
  if (!gCurDocument || !CurDocState() || !record || !record->anchorStart || !record->anchorEnd || !opening->parent ||
      (opening->type != kObjDoor && opening->type != kObjWindow))
    return;
  Objex* wall = opening->parent;
  Poinz* first = opening->firstPoint;
  Poinz* second = first ? first->next : nullptr;
  if (!first || !second) return;
  Layer* layers = gCurDocument->itsLayers;
  auto selectOpening = [&] {
    SelectAllLayers(layers, kSelectOff, 1);
    SelectObj(opening, kSelectOn, 1);
  };
  uint8_t fixFirst = 0, fixSecond = 0;
  if (!PressedOpeningEnd(click, first, second, &fixFirst, &fixSecond) && !click.segmentHit && !click.insideHit) {
    Refresh();
    selectOpening();
    return;
  }
  Poinz* segStart = record->anchorStart;
  Poinz* segEnd = record->anchorEnd;
  const float length = SegmentLength(segStart, segEnd);
  const float usable = length + kOpeningEndClearance;
  const float w = record->width;
  const bool stretch = fixFirst || fixSecond;
  const float minDistance = stretch ? -w / 2 : 0;
  const float maxDistance = stretch ? length + w / 2 : length;
  FloatPoint a{first->position[0], first->position[2]};
  FloatPoint b{second->position[0], second->position[2]};
  const int moved = TrackDoorPlacement(wall, segStart, segEnd, w, usable, minDistance, maxDistance, click.where.x,
                                       click.where.y, &a, &b, fixFirst, fixSecond, opening->type, 1, record, nullptr);
  if (moved <= 0) {
    if (moved == 0) selectOpening();  // a click without a drag selects it, in place
    return;
  }
  if (stretch) record->width = GetLineLength(a.floatH, a.floatV, b.floatH, b.floatV);
  record->startDistance = DistanceAlong(segStart, segEnd, a.floatH, a.floatV) + record->width / 2;
  record->remainingLength = length - record->startDistance;
  PlaceOpeningEnds(first, second, a, b);
  UpdateObjectBounds(opening);
  BuildAttachmentFrame(opening);
  ReRenderObject(wall);
  Refresh();
  selectOpening();
}

void LimitWallObject(Objex* wall, Layer* layer) {
  if (!wall || wall->type != kObjWall || !wall->firstPoint || !wall->firstPoint->next) return;
  Poinz* first = wall->firstPoint;
  Poinz* second = first->next;
  if (!second->next) {
    LimitWall(wall, first, second, layer);
  } else {
    LimitWall(wall, second, first, layer);
    Poinz* last = second;
    while (last->next) last = last->next;
    LimitWall(wall, last->prev, last, layer);
  }
  Update3DWall(wall);
  UpdateAllWallAttachments(wall);
  ReRenderObject(wall);
}

void LimitWallLayer(Layer* layer, Layer* limitLayer) {
  if (!layer) return;
  for (Objex* o = LastObjectOfLayer(layer); o;) {
    Objex* previous = o->prev;
    LimitWallObject(o, limitLayer);
    o = previous;
  }
}
