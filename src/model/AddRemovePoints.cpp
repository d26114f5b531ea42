// Point insertion and removal on object outlines: attribute copies, attachment upkeep,
// the per-type rebuild after the edit and the remove-point sheets.
#include "model/AddRemovePoints.h"

#include <cstdlib>
#include <string>

#include "model/Attachments.h"
#include "model/CommandCodes.h"
#include "model/Delete.h"
#include "model/DesignEdits.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/TextureFace.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"

uint32_t gRemovePtTargetObjectID = 0;
uint32_t gRemovePtTargetPointID = 0;
uint32_t gRemovePtTargetPrevPointID = 0;
Objex* gRemovePtTargetObject = nullptr;
Poinz* gRemovePtTargetPoint = nullptr;
Poinz* gRemovePtTargetPrevPoint = nullptr;

namespace {

bool IsWallOrDeck(const Objex* o) { return o->type == kObjWall || o->type == kObjDeck; }

bool OwnsPoint(const Objex* object, const Poinz* point) {
  for (const Poinz* p = object->firstPoint; p; p = p->next)
    if (p == point) return true;
  return false;
}

Poinz* LastPoint(const Objex* object) {
  Poinz* p = object->firstPoint;
  while (p && p->next) p = p->next;
  return p;
}

// The point before `point`, the last point for the first.
Poinz* PreviousPoint(const Objex* object, const Poinz* point) {
  return point->prev ? point->prev : LastPoint(object);
}

bool AcceptsNewPoints(int16_t type) {
  switch (type) {
    case kObjWall: case kObjFloor: case kObjPropertyLine: case kObjPath: case kObjEdging:
    case kObjFence: case kObjFill: case kObjGroundFill: case kObjDetail: case kObjTopography:
    case kObjStaircase: case kObjRailing: case kObjCutout: case kObjDeck: case kObjRoofPanel:
    case kObjTopoExcavation: case kObjDormerCutout:
      return true;
    default:
      return false;
  }
}

bool SnapRefusesPointEdits() { return gCurSnap == 501 || gCurSnap == 503 || gCurSnap == 504; }

// The attributes a new point takes over from the point it was added after.
void CopyPointAttributes(const Objex* object, const Poinz* from, Poinz* to) {
  NoteDesignEdit();
  to->selected = from->selected;
  to->owner = from->owner;
  CopyPointSegmentValues(from, to);
  // A wall point owns its trim records; other objects only refer to them.
  CopyPointTrims(object, from, to);
}

// Rebuilds the generated 3D parts after the outline changed; the dormer row only applies
// to edits that also refresh the texture coordinates.
void RebuildByType(Objex* object, bool withDormer) {
  switch (object->type) {
    case kObjStaircase: UpdateStairObject(object); break;
    case kObjDeck: Update3DDeck(object); break;
    case kObjRoofPanel: Update3DRoofPanel(object); break;
    case kObjDormerCutout:
      if (!withDormer || !object->parent) break;
      if (object->parent->type == kObjRoof) Update3DRoof(object->parent);
      else if (object->parent->type == kObjRoofPanel) Update3DRoofPanel(object->parent);
      break;
    case kObjRailing: UpdateRailObject(object); break;
    case kObjFloor: case kObjCutout: Update3DFloorSkirting(object); break;
    case kObjPath: Update3DPath(object); break;
    case kObjEdging: UpdateEdgingObject(object); break;
    case kObjFence: UpdateFenceObject(object); break;
    case kObjWall:
      Update3DWall(object);
      UpdateAllWallAttachments(object);
      break;
    default: break;
  }
}

void RebuildAfterOutlineEdit(Objex* object) {
  UpdateObjectBounds(object);
  SetTextureFaceUV(object);
  SetObjectPointLengths(object);
  RebuildByType(object, true);
  UpdateObjectBounds(object);
}

// Inserts the new point after `point`, moves the attachments that now start at it and
// gives it `point`'s attributes.
Poinz* InsertAfter(Objex* object, Poinz* point, float x, float y, float z) {
  Poinz* added = CreatePoint(10, 1, 0, 0, 0, 0, x, y, z, 0, 0, 0, 0, 0, 0, object);
  if (!added) return nullptr;
  InsertPointInObject(added, object, point);
  if (object->firstChild && IsWallOrDeck(object) && DoesPointContainAttachments(object, point))
    UpdateAttachmentsWithNewPoint(object, point, added);
  CopyPointAttributes(object, point, added);
  return added;
}

bool HasStraightEnds(const Poinz* a, const Poinz* b) {
  for (int i = 0; i < 3; ++i)
    if (!(a->outHandle[i] == 0.0f) || !(b->inHandle[i] == 0.0f)) return false;
  return true;
}

Objex* FindObjectInTree(Objex* object, uint32_t id) {
  for (Objex* o = object; o; o = o->next) {
    if (o->objectID == id) return o;
    if (Objex* found = FindObjectInTree(o->firstChild, id)) return found;
  }
  return nullptr;
}

Objex* FindObject(uint32_t id) {
  if (!gCurDocument || !id) return nullptr;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next)
    if (Objex* found = FindObjectInTree(l->firstObject, id)) return found;
  return nullptr;
}

Poinz* FindPoint(const Objex* object, uint32_t id) {
  for (Poinz* p = object->firstPoint; p; p = p->next)
    if (p->pointID == id) return p;
  return nullptr;
}

void ShowTooFewPoints(int32_t shown) {
  // The count goes in by hand: the table's text is never used as a format string.
  std::string text = LocalizedString("This object must contain at least %ld points.");
  const size_t at = text.find("%ld");
  if (at != std::string::npos) text.replace(at, 3, std::to_string(shown));
  ShowAlert("Unable to delete point.", text);
}

void ShowAttachmentSheet(Objex* object, Poinz* point, Poinz* prev) {
  gRemovePtTargetObjectID = object->objectID;
  gRemovePtTargetPointID = point->pointID;
  gRemovePtTargetPrevPointID = prev->pointID;
  gRemovePtTargetObject = object;
  gRemovePtTargetPoint = point;
  gRemovePtTargetPrevPoint = prev;
  AlertRequest request;
  request.message = "One or more attachments will be removed.";
  request.informative =
      object->type == kObjDeck
          ? "Deleting this point will cause one or more deck steps to be removed from the point's "
            "adjoining segments."
          : "Deleting this point will cause one or more windows, doors, etc to be removed from the "
            "point's adjoining segments.";
  request.buttons = {"Delete Point", "Cancel"};
  const uint32_t objectID = object->objectID, pointID = point->pointID, prevID = prev->pointID;
  ShowAlertWithButtons(request, [objectID, pointID, prevID](int button) {
    RemovePointSheetDidEnd(button == 0 ? kRemovePointSheetConfirmed : 0, objectID, pointID, prevID);
  });
}

}  // namespace

bool GetRemovePointMinimum(const Objex* object, int32_t* needs, int32_t* shown) {
  if (!object || !needs || !shown) return false;
  int32_t n = 0;
  switch (object->type) {
    case kObjWall: case kObjPath: case kObjEdging: case kObjFence: case kObjStaircase: case kObjRailing:
      n = 3;
      break;
    case kObjFloor: case kObjPropertyLine: case kObjFill: case kObjGroundFill: case kObjTopography:
    case kObjCutout: case kObjDeck: case kObjRoofPanel: case kObjTopoExcavation: case kObjExcavationPass:
    case kObjDormerCutout:
      n = 4;
      break;
    case kObjDetail:
      if (object->subtype == 1) n = 5;
      else if (object->subtype >= 2 && object->subtype <= 4) n = 4;
      else if (object->subtype >= 5 && object->subtype <= 7) n = 3;
      break;
    default:
      break;
  }
  if (!n) return false;
  *needs = n;
  *shown = n - 1;
  return true;
}

Poinz* AddPoint(Objex* object, Poinz* point, DocState* docState, const ClickInfo* click) {
  if (!object || !point || !docState || !click || SnapRefusesPointEdits()) return nullptr;
  if (!OwnsPoint(object, point) || !AcceptsNewPoints(object->type)) return nullptr;
  // From the last point the segment runs back to the first, open outline or not; a lone
  // point is its own end (a zero-length line, angle 0).
  Poinz* end = point->next ? point->next : object->firstPoint;
  if (!end || !HasStraightEnds(point, end)) return nullptr;
  float cx = 0, cy = 0, cz = 0;
  EvaluatePoint(click->where.x, click->where.y, &cx, &cy, &cz, 1, const_cast<ClickInfo*>(click), 1);
  const float px = point->position[0], pz = point->position[2];
  float segmentLength = 0;
  const float angle = GetLineLengthAndAngle(px, pz, end->position[0], end->position[2], &segmentLength);
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(angle, GetLineLength(px, pz, cx, cz), &dx, &dz);
  const float y = object->type == kObjDeck ? point->position[1] : 0.0f;
  if (object->type == kObjDetail && object->subtype >= 1 && object->subtype <= 7) object->extraFlags = 1;
  Poinz* added = InsertAfter(object, point, px + dx, y, pz + dz);
  if (!added) return nullptr;
  RebuildAfterOutlineEdit(object);
  return added;
}

Poinz* AddPointAtPosition(Objex* object, Poinz* point, DocState* docState, float x, float y, float z) {
  if (!object || !point || !docState || SnapRefusesPointEdits() || !object->firstPoint) return nullptr;
  if (!OwnsPoint(object, point)) return nullptr;
  Poinz* added = InsertAfter(object, point, x, y, z);
  if (!added) return nullptr;
  UpdateObjectBounds(object);
  RebuildByType(object, false);
  return added;
}

void RemovePointInObject(Objex* object, Poinz* point) {
  if (!object || !point || !OwnsPoint(object, point)) return;
  if (point->prev) point->prev->next = point->next;
  else object->firstPoint = point->next;
  if (point->next) point->next->prev = point->prev;
  point->prev = point->next = nullptr;
  if (object->type == kObjWall) DeleteWallPoint(object, point);
  else free(point);
  object->pointCount--;
}

int RemovePoint(Objex* object, Poinz* point, DocState* docState) {
  if (!object || !docState || !point || !point->selected || !OwnsPoint(object, point)) return 0;
  int32_t needs = 0, shown = 0;
  if (!GetRemovePointMinimum(object, &needs, &shown)) return 0;
  if (object->pointCount < needs) {
    ShowTooFewPoints(shown);
    return 0;
  }
  if (object->firstChild && IsWallOrDeck(object)) {
    Poinz* prev = PreviousPoint(object, point);
    if (DoesPointContainAttachments(object, point) || DoesPointContainAttachments(object, prev)) {
      ShowAttachmentSheet(object, point, prev);
      return 0;
    }
  }
  RemovePointInObject(object, point);
  if (object->type == kObjWall && object->pointCount < 3) object->closed = 0;
  RebuildAfterOutlineEdit(object);
  return 1;
}

void RemovePointSheetDidEnd(int returnCode, uint32_t objectID, uint32_t pointID, uint32_t prevPointID) {
  if (returnCode != kRemovePointSheetConfirmed || !objectID || !pointID || !prevPointID) return;
  // The design may have changed while the sheet was open: act only when the object and
  // its points still stand as they did.
  Objex* object = FindObject(objectID);
  if (!object || !IsWallOrDeck(object)) return;
  Poinz* point = FindPoint(object, pointID);
  Poinz* prev = FindPoint(object, prevPointID);
  int32_t needs = 0, shown = 0;
  if (!point || !prev || PreviousPoint(object, point) != prev) return;
  if (!GetRemovePointMinimum(object, &needs, &shown) || object->pointCount < needs) return;

  DeletePointAttachments(object, point);
  DeletePointAttachments(object, prev);
  RemovePointInObject(object, point);
  if (object->type == kObjWall) {
    if (object->pointCount < 3) object->closed = 0;
    Update3DWall(object);
    UpdateAllWallAttachments(object);
  } else {
    Update3DDeck(object);
  }
  UpdateObjectBounds(object);
  if (gCurDocument) SelectVisualLayer(gCurDocument->itsCurLayer, 1, 1);
  Refresh();
  ReRenderObject(object);
  StoreUndoFromModel("Remove Point");
}
