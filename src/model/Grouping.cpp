// Groups and the family-tree queries over them, nudging, smoothing, releasing an
// object's type data, and recomputing an object's stored bounds.
#include "model/Grouping.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/Delete.h"
#include "model/DimensionRecords.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/ObjectTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"

Objex* gGroupLeader = nullptr;

Objex* GetRootObject(Objex* obj) {
  while (obj && obj->parent) obj = obj->parent;
  return obj;
}

const Objex* GetRootObject(const Objex* obj) {
  while (obj && obj->parent) obj = obj->parent;
  return obj;
}

bool IsObjectGrouped(const Objex* obj) {
  if (!obj) return false;
  if (obj->parent) {
    switch (obj->type) {
      case kObjDoor: case kObjWindow: case kObjComponent: case kObjAccessory: case kObjDeckSteps:
      case kObjRoofSlopeArrow:
        break;
      default:
        return true;
    }
  }
  return obj->firstChild && obj->type != kObjRoofPanel && obj->type != kObjWall && obj->type != kObjDeck;
}

bool GroupMembersStandAlone(const Objex* obj) {
  if (!obj || obj->type != kObjGroup || obj->subtype != 0) return false;
  for (const Objex* m = obj->firstChild; m; m = m->next)
    if (m->subtype != kSubFixedSymbolMember && m->type != kObjSymbolPart3D && m->type != kObjSymbolPart2D) return true;
  return !obj->firstChild;
}

bool NeverFollowsTerrain(int16_t type) {
  switch (type) {
    case kObjWall: case kObjFloor: case kObjRoof: case kObjStaircase: case kObjRailing: case kObjCutout:
    case kObjDeck: case kObjRoofPanel: case kObjTopoExcavation:
      return true;
    default:
      return false;
  }
}

bool IsPlacedByItsGroup(int16_t type) {
  switch (type) {
    case kObjSymbolPart3D: case kObjSymbolPart2D: case kObjCabinet: case kObjCabinetPass:
    case kObjCustomAttachmentPart:
    // Fixed electrical, plumbing and duct symbols.
    case 68: case 69: case 71: case 72: case 79: case 80: case 81: case 82: case 88: case 98:
    case 110: case 117: case 118: case 119: case 120: case 121: case 122: case 123: case 146:
    case 147: case 148: case 149: case 150: case 151: case 152:
      return true;
    default:
      return false;
  }
}

bool KeepsOwnElevation(int16_t type) { return !IsPlacedByItsGroup(type); }

const Objex* GetPlacementObject(const Objex* object) {
  const Objex* root = GetRootObject(object);
  if (!root || root->type != kObjGroup) return root;
  const Objex* member = nullptr;  // the topmost object below the groups
  for (const Objex* o = object; o; o = o->parent)
    if (o->type != kObjGroup) member = o;
  // A cabinet or another group of its own kind places what it holds, as it does standing alone:
  // the topmost such group above the member decides.
  const Objex* placer = nullptr;
  for (const Objex* g = member ? member->parent : object; g; g = g->parent)
    if (g->type == kObjGroup && g->subtype != 0) placer = g;
  if (placer) return placer;
  if (!member) return root;
  // Ordinary groups place nothing but the parts of the symbol they make (its innermost group).
  return IsPlacedByItsGroup(member->type) && member->parent ? member->parent : member;
}

namespace {

template <typename Test>
bool AnyPointInTree(const Objex* obj, Test test) {
  for (const Poinz* p = obj->firstPoint; p; p = p->next)
    if (test(p)) return true;
  for (const Objex* c = obj->firstChild; c; c = c->next)
    if (AnyPointInTree(c, test)) return true;
  return false;
}

}  // namespace

bool IsObjectLocked(const Objex* obj) {
  return obj && AnyPointInTree(obj, [](const Poinz* p) { return p->locked != 0; });
}

bool IsObjectUndetectable(const Objex* obj) {
  return obj && AnyPointInTree(obj, [](const Poinz* p) { return p->detectable == 0; });
}

namespace {
// The group that took the placement of a part it places (see GroupObject).
const Objex* sPlacementTakenBy = nullptr;
}  // namespace

int GroupNesting(const Objex* obj) {
  int deepest = 0;
  for (const Objex* c = obj ? obj->firstChild : nullptr; c; c = c->next)
    if (c->type == kObjGroup) deepest = std::max(deepest, 1 + GroupNesting(c));
  return deepest;
}

bool MayBeGrouped(const Objex* obj) {
  return obj && (obj->type != kObjGroup || GroupNesting(obj) < kMaxGroupNesting);
}

void GroupObject(Objex* obj) {
  if (!obj || !gGroupLeader || gGroupLeader == obj) return;
  UnlinkObject(obj);
  Objex* leader = gGroupLeader;
  if (!leader->firstChild) sPlacementTakenBy = nullptr;  // a new group
  // The group places the parts it holds (symbol parts and the like): it takes the placement of
  // the first one, which then stands where it stood alone, as do the others that stood with it.
  if (IsPlacedByItsGroup(obj->type) && sPlacementTakenBy != leader) {
    leader->baseElevation = obj->baseElevation;
    leader->auxFlag = obj->auxFlag;
    sPlacementTakenBy = leader;
  }
  AppendChildToObject(obj, leader);
  // Members live on the group's layer.
  obj->layer = leader->layer;
}

void UngroupObject(Objex* obj) {
  if (!obj || obj->type != kObjGroup) return;
  Layer* layer = obj->layer;
  if (!layer) return;  // members would have nowhere to go
  Objex* members = obj->firstChild;
  obj->firstChild = nullptr;
  obj->lastChild = nullptr;
  // The parts the group placed stand where it placed them, now by their own placement.
  const float base = obj->baseElevation;
  const uint8_t onTerrain = obj->auxFlag;
  DeleteObj(obj);
  while (members) {
    Objex* next = members->next;
    if (IsPlacedByItsGroup(members->type)) {
      members->baseElevation = base;
      members->auxFlag = onTerrain;
    }
    members->parent = nullptr;
    members->prev = members->next = nullptr;
    AppendObjectToLayer(members, layer);
    SelectObj(members, kSelectOff, 0);
    UpdateObjectBounds(members);
    members = next;
  }
}

void UpdateObjectBounds(Objex* obj) {
  if (!obj) return;
  FloatRect r = EmptyFloatRect();
  Float3DRect box = EmptyFloat3DRect();
  if (!MeasureStraightObject(obj, &r, &box)) {
    GetObjectBounds(obj, 0, &r, 0, 0);
    GetObject3DBounds(obj, 0, &box, 0);
  }
  obj->bounds = r;
  obj->bounds3D = box;
}

void NudgeObject(Objex* obj, float distance, int16_t direction) {
  const DocState* ds = CurDocState();
  if (!obj || !ds) return;
  if (obj->type == kObjRoof || obj->type == kObjRoofPanel) {
    const bool whole = IsEntireRoofObjectSelected(obj);
    for (Objex* c = obj->firstChild; c; c = c->next) {
      if ((c->type != kObjSkylight && c->type != kObjDormerCutout) || !c->typeData) continue;
      bool moved = false;
      if (whole) {
        SelectObj(c, kSelectOn, 0);
        NudgeObject(c, distance, direction);
        SelectObj(c, kSelectOff, 0);
        moved = true;
      } else if (IsObjectSelected(c)) {
        NudgeObject(c, distance, direction);
        moved = true;
      }
      if (moved && c->type == kObjSkylight)
        NudgeSkylightSymbols(static_cast<RoofAttachmentData*>(c->typeData)->parts, distance, direction);
    }
  }
  // (axis, sign) by working plane for up, left, down, right.
  int axis = -1;
  float sign = 0;
  const bool vertical = direction == 0 || direction == 2;
  if (direction < 0 || direction > 3) return;
  sign = (direction == 0 || direction == 1) ? -1.0f : 1.0f;
  switch (ds->viewPlane) {
    case 2: axis = vertical ? 2 : 0; break;
    case 1: axis = vertical ? 1 : 0; break;
    case 3: axis = vertical ? 1 : 2; break;
    default: return;
  }
  for (Poinz* p = obj->firstPoint; p; p = p->next)
    if (p->selected) p->position[axis] += sign * distance;
}

namespace {

void DeleteObjectList(Objex*& head) {
  Objex* o = head;
  head = nullptr;
  DeleteObjectChain(o);  // the list goes whole: nothing to relink
}

void DeleteProfile(TrimSlot& slot) {
  if (slot.profile) {
    Objex* p = slot.profile;
    slot.profile = nullptr;
    p->prev = p->next = nullptr;
    p->layer = nullptr;
    p->parent = nullptr;
    DeleteObj(p);
  }
  slot.flag = 0;
}

void FreeAttachmentRecord(DoorWindowData* d) {
  if (d->linkPrev) d->linkPrev->linkNext = d->linkNext;
  if (d->linkNext) d->linkNext->linkPrev = d->linkPrev;
  d->linkPrev = d->linkNext = nullptr;
  DeleteObjectList(d->faces);
  DeleteObjectList(d->maskObject);
  DeleteObjectList(d->definitionParts);
  DeleteObjectList(d->definitionLeafParts);
  DeleteObjectList(d->extraParts1);
  DeleteObjectList(d->extraParts2);
  DeleteObjectList(d->extraParts3);
  DeleteObjectList(d->extraParts4);
  DeleteProfile(d->trimSlotA);
  DeleteProfile(d->trimSlotB);
  free(d);
}

void FreeRoofAttachmentRecord(RoofAttachmentData* r) {
  DeleteObjectList(r->parts);
  DeleteObjectList(r->outlineParts);
  DeleteObjectList(r->separatorParts);
  DeleteObjectList(r->leafParts);
  DeleteObjectList(r->customParts);
  DeleteObjectList(r->otherParts);
  DeleteProfile(r->slots[0]);
  DeleteProfile(r->slots[1]);
  free(r);
}

}  // namespace

void DeleteObjectData(Objex* obj) {
  if (!obj) return;
  if (obj->type == kObjText || obj->type == kObjDynamicText) {
    // The font record belongs to the text object even when it holds no text.
    free(obj->typeData);
    free(obj->extraData);
    obj->typeData = nullptr;
    obj->extraData = nullptr;
    return;
  }
  if (!obj->typeData) return;
  void* data = obj->typeData;
  switch (obj->type) {
    case kObjDoor: case kObjWindow: case kObjDeckSteps: case kObjComponent: case kObjAccessory:
      obj->typeData = nullptr;
      FreeAttachmentRecord(static_cast<DoorWindowData*>(data));
      return;
    case kObjSkylight: case kObjDormerCutout:
      obj->typeData = nullptr;
      FreeRoofAttachmentRecord(static_cast<RoofAttachmentData*>(data));
      return;
    case kObjWall: case kObjRoof: case kObjRoofPanel: case kObjStaircase: case kObjRailing:
    case kObjDeck: case kObjPath: case kObjFloor: case kObjCutout: case kObjCabinet: case kObjTopoExcavation:
    case kObjPhotoView: case kObjEdging: case kObjFence: {
      // A wall's outline object, the generated parts of a roof, staircase, railing, deck, path,
      // excavation, photo view, edging or fence, or the skirting of a floor, cut-out or cabinet.
      Objex* head = static_cast<Objex*>(data);
      obj->typeData = nullptr;
      DeleteObjectList(head);
      return;
    }
    case kObjPlant:
      free(data);
      break;
    case kObjGroup:
      if (obj->subtype != kSubCabinet) return;
      free(data);
      break;
    case kObjDimensionInfo: {
      auto* text = static_cast<DimensionTextData*>(data);
      if (text->dimension && text->dimension->typeData &&
          IsDimensionObjectType(text->dimension->type))
        static_cast<DimensionInfoData*>(text->dimension->typeData)->textBox = nullptr;
      free(data);
      break;
    }
    default:
      if (IsDimensionObjectType(obj->type)) {
        auto* info = static_cast<DimensionInfoData*>(data);
        if (info->textBox && info->textBox->typeData && info->textBox->type == kObjDimensionInfo)
          static_cast<DimensionTextData*>(info->textBox->typeData)->dimension = nullptr;
        free(data);
        break;
      }
      return;  // no type data of this kind is known to be owned
  }
  obj->typeData = nullptr;
}

namespace {

bool PlaneAxes(int16_t plane, int* a, int* b) {
  switch (plane) {
    case 2: *a = 0; *b = 2; return true;
    case 1: *a = 0; *b = 1; return true;
    case 3: *a = 2; *b = 1; return true;
    default: return false;
  }
}

void Smooth(Objex* obj, bool selectedOnly) {
  const DocState* ds = CurDocState();
  if (!obj || !ds) return;
  int a, b;
  if (!PlaneAxes(ds->viewPlane, &a, &b)) return;
  const double tension = ds->curveTension / 10.0;
  std::vector<Poinz*> pts;
  for (Poinz* p = obj->firstPoint; p; p = p->next) pts.push_back(p);
  const size_t n = pts.size();
  for (size_t i = 0; i < n; ++i) {
    const bool end = i == 0 || i + 1 == n;
    if (end && !obj->closed) continue;
    Poinz* p = pts[i];
    if (selectedOnly && !p->selected) continue;
    const Poinz* prev = pts[(i + n - 1) % n];
    const Poinz* next = pts[(i + 1) % n];
    for (int c : {a, b}) {
      const float t = static_cast<float>(tension * (next->position[c] - prev->position[c]));
      p->inHandle[c] = t;
      p->outHandle[c] = t;
    }
  }
}

// Needs no document: zero handles do not depend on the tension or the working plane.
void Unsmooth(Objex* obj, bool selectedOnly) {
  if (!obj) return;
  for (Poinz* p = obj->firstPoint; p; p = p->next) {
    if (selectedOnly && !p->selected) continue;
    for (int c = 0; c < 3; ++c) p->inHandle[c] = p->outHandle[c] = 0;
  }
}

bool IsCurveKind(int16_t type) {
  return type == kObjPropertyLine || type == kObjEdging || type == kObjFill || type == kObjGroundFill ||
         type == kObjStaircase || type == kObjRailing;
}

}  // namespace

void SmoothObject(Objex* obj) { Smooth(obj, false); }
void SmoothSelectedObject(Objex* obj) { Smooth(obj, true); }
void UnsmoothObject(Objex* obj) { Unsmooth(obj, false); }
void UnsmoothSelectedObject(Objex* obj) { Unsmooth(obj, true); }

void ObjectSmoothing(Objex* obj) {
  if (!obj) return;
  if (IsCurveKind(obj->type)) SmoothObject(obj);
  else SelectObj(obj, kSelectOff, 1);
}

void ObjectStraightening(Objex* obj) {
  if (!obj) return;
  if (IsCurveKind(obj->type)) UnsmoothObject(obj);
  else SelectObj(obj, kSelectOff, 1);
}
