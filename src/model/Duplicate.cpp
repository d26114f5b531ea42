// Deep copies of objects: fields, points, children at every depth and type data.
#include "model/Duplicate.h"

#include <cstdlib>
#include <cstring>

#include "model/Attachments.h"
#include "model/CabinetState.h"
#include "model/CommandCodes.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DocumentModel.h"
#include "model/ExtrudeFlip.h"
#include "model/Grouping.h"
#include "model/Plants.h"
#include "model/Services.h"
#include "model/Records.h"

namespace {

char* CopyString(const char* s, size_t extra = 1) {
  if (!s) return nullptr;
  const size_t n = strlen(s);
  auto* copy = static_cast<char*>(calloc(n + extra, 1));
  if (copy) memcpy(copy, s, n);
  return copy;
}

// A part of a type-data list: copied unlinked, owned by `owner` through the record only.
Objex* DuplicatePart(Objex* part, Objex* owner) {
  Objex* copy = DuplicateObject(part, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate);
  if (copy) copy->parent = owner;
  return copy;
}

Objex* DuplicatePartList(Objex* head, Objex* owner) {
  Objex* first = nullptr;
  Objex* last = nullptr;
  for (Objex* p = head; p; p = p->next) {
    Objex* copy = DuplicatePart(p, owner);
    if (!copy) continue;
    copy->prev = last;
    if (last) last->next = copy;
    else first = copy;
    last = copy;
  }
  return first;
}

void CopySlot(TrimSlot& dst, const TrimSlot& src, Objex* owner) {
  dst = src;
  dst.profile = src.profile ? DuplicatePart(src.profile, owner) : nullptr;
}

// The point of `to` at the index `p` has in `from`, or null.
Poinz* MapPoint(const Objex* from, const Objex* to, const Poinz* p) {
  if (!p) return nullptr;
  const Poinz* f = from->firstPoint;
  Poinz* t = to->firstPoint;
  for (; f && t; f = f->next, t = t->next)
    if (f == p) return t;
  return nullptr;
}

void GiveFreshTextureID(Objex* dst) {
  const int32_t id = gCurrentPhotoTextureID++;
  dst->textureID1 = dst->textureID2 = dst->textureID3 = id;
  for (Poinz* p = dst->firstPoint; p; p = p->next) p->textureID[0] = p->textureID[1] = id;
}

void LinkCopy(Objex* copy, Objex* parent, Objex* prevSibling, uint8_t append, Layer* layer) {
  if (prevSibling) {
    copy->parent = prevSibling->parent;
    copy->prev = prevSibling;
    copy->next = prevSibling->next;
    if (prevSibling->next) prevSibling->next->prev = copy;
    prevSibling->next = copy;
    NoteObjectLinkedAfter(copy, prevSibling);
  } else if (parent) {
    copy->parent = parent;
    copy->prev = nullptr;
    copy->next = parent->firstChild;
    if (parent->firstChild) parent->firstChild->prev = copy;
    parent->firstChild = copy;
  } else if (append && layer) {
    AppendObjectToLayer(copy, layer);
  }
}

}  // namespace

Objex* DuplicateObject(Objex* obj, Objex* parent, Objex* prevSibling, FloatPoint offset,
                       uint8_t append, int32_t mode) {
  if (!obj) return nullptr;
  const Objex* root = GetRootObject(obj);
  if (root->type == kObjGroup && root->groupMarker) return nullptr;
  FloatRect bounds = obj->bounds;
  bounds.floatLeft += offset.floatH;
  bounds.floatRight += offset.floatH;
  bounds.floatTop += offset.floatV;
  bounds.floatBottom += offset.floatV;
  Objex* copy = CreateObject(obj->type, obj->closed, obj->visible, &obj->penColor, &obj->fillColor,
                             obj->width, obj->penStyle, obj->fillPattern, &bounds, nullptr, nullptr,
                             nullptr, obj->layer, nullptr);
  if (!copy) return nullptr;
  memcpy(copy->options, obj->options, sizeof(copy->options));
  copy->levels = obj->levels;
  copy->capped = obj->capped;
  copy->direction = obj->direction;
  copy->textureID = obj->textureID;
  copy->textureRect = obj->textureRect;
  copy->textureRect2 = obj->textureRect2;
  copy->auxShort = obj->auxShort;
  copy->plantInfo = DuplicatePlantInfo(obj->plantInfo);
  copy->plantAge = obj->plantAge;
  copy->subtype = obj->subtype;
  copy->textureID1 = obj->textureID1;
  copy->textureID2 = obj->textureID2;
  copy->color1 = obj->color1;
  copy->color2 = obj->color2;
  copy->baseElevation = obj->baseElevation;
  copy->auxFlag = obj->auxFlag;
  copy->textureID3 = obj->textureID3;
  copy->color3 = obj->color3;
  copy->textureID4 = obj->textureID4;
  copy->color4 = obj->color4;
  copy->textureScale1 = obj->textureScale1;
  copy->textureScale2 = obj->textureScale2;
  copy->textureScale3 = obj->textureScale3;
  copy->textureScale4 = obj->textureScale4;
  copy->textureScale = obj->textureScale;
  copy->planMask = obj->planMask;
  memcpy(copy->params, obj->params, sizeof(copy->params));
  copy->extraLong = obj->extraLong;
  copy->extraFlags = obj->extraFlags;
  // extraData is a text object's font record, copied with the text below.
  if (obj->name && obj->name[0]) copy->name = CopyString(obj->name, 5);

  const bool mirrored = mode == kCmdMirrorHorizontal || mode == kCmdMirrorVertical;
  DuplicateObjectPoints(obj, copy, offset, mirrored || mode == kCmdPlaceSymbolPart);
  if (mode == kCmdMirrorHorizontal) FlipObject(copy, 1);
  else if (mode == kCmdMirrorVertical) FlipObject(copy, 0);

  LinkCopy(copy, parent, prevSibling, append, obj->layer);
  DuplicateObjectData(obj, copy);
  UpdateObjectBounds(copy);

  if (mode != kCmdPlaceSymbolPart) {
    Objex* previous = nullptr;
    for (Objex* c = obj->firstChild; c; c = c->next) {
      Objex* childCopy = previous ? DuplicateObject(c, nullptr, previous, offset, append, mode)
                                  : DuplicateObject(c, copy, nullptr, offset, append, mode);
      if (childCopy) previous = childCopy;
    }
  }
  return copy;
}

void DuplicateObjectData(const Objex* src, Objex* dst) {
  if (!src || !dst || !gCurDocument) return;
  switch (src->type) {
    case kObjDoor: case kObjWindow: case kObjDeckSteps: case kObjComponent: case kObjAccessory: {
      const DoorWindowData* s = AttachmentData(src);
      if (!s) return;
      auto* d = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
      if (!d) return;
      d->ownerType = s->ownerType;
      d->subtype = s->subtype;
      dst->typeData = d;
      if (!src->parent || !dst->parent) return;
      d->anchorStart = MapPoint(src->parent, dst->parent, s->anchorStart);
      d->anchorEnd = MapPoint(src->parent, dst->parent, s->anchorEnd);
      d->startDistance = s->startDistance;
      d->remainingLength = s->remainingLength;
      d->width = s->width;
      d->height = s->height;
      d->elevation = s->elevation;
      d->maskObject = DuplicatePartList(s->maskObject, dst);
      d->definitionParts = DuplicatePartList(s->definitionParts, dst);
      d->definitionLeafParts = DuplicatePartList(s->definitionLeafParts, dst);
      d->extraParts1 = DuplicatePartList(s->extraParts1, dst);
      d->extraParts2 = DuplicatePartList(s->extraParts2, dst);
      d->extraParts3 = DuplicatePartList(s->extraParts3, dst);
      d->extraParts4 = DuplicatePartList(s->extraParts4, dst);
      d->flipHorizontal = s->flipHorizontal;
      d->auxFloat1 = s->auxFloat1;
      d->flipVertical = s->flipVertical;
      d->auxShort1 = s->auxShort1;
      d->auxShort2 = s->auxShort2;
      d->auxValue = s->auxValue;
      CopySlot(d->trimSlotA, s->trimSlotA, dst);
      CopySlot(d->trimSlotB, s->trimSlotB, dst);
      return;
    }
    case kObjSkylight: case kObjDormerCutout: {
      const auto* s = static_cast<const RoofAttachmentData*>(src->typeData);
      if (!s) return;
      auto* d = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
      if (!d) return;
      d->ownerType = s->ownerType;
      d->subtype = s->subtype;
      memcpy(d->floats, s->floats, sizeof(d->floats));
      d->panelID = s->panelID;
      memcpy(d->flags, s->flags, sizeof(d->flags));
      d->owner = dst;
      d->parts = DuplicatePartList(s->parts, dst);
      d->outlineParts = DuplicatePartList(s->outlineParts, dst);
      d->separatorParts = DuplicatePartList(s->separatorParts, dst);
      d->leafParts = DuplicatePartList(s->leafParts, dst);
      d->customParts = DuplicatePartList(s->customParts, dst);
      d->otherParts = DuplicatePartList(s->otherParts, dst);
      CopySlot(d->slots[0], s->slots[0], dst);
      CopySlot(d->slots[1], s->slots[1], dst);
      dst->typeData = d;
      return;
    }
    case kObjGroup:
      if (src->subtype == kSubCabinet && src->typeData) {
        auto* d = static_cast<CabinetState*>(calloc(1, sizeof(CabinetState)));
        if (d) memcpy(d, src->typeData, sizeof(CabinetState));
        dst->typeData = d;
      }
      return;
    case kObjDynamicText: case kObjText:
      if (src->typeData) dst->typeData = CopyString(static_cast<const char*>(src->typeData));
      if (src->extraData) {
        auto* font = static_cast<LOGFONT*>(calloc(1, sizeof(LOGFONT)));
        if (font) memcpy(font, src->extraData, sizeof(LOGFONT));
        dst->extraData = font;
      }
      return;
    case kObjPlant:
      if (src->subtype == kSubUserPlant && src->typeData && static_cast<const char*>(src->typeData)[0]) {
        dst->typeData = CopyString(static_cast<const char*>(src->typeData));
        GiveFreshTextureID(dst);
      }
      return;
    case kObjPhotoView:
      if (src->sourceObject && static_cast<const char*>(src->sourceObject)[0]) {
        dst->sourceObject = CopyString(static_cast<const char*>(src->sourceObject), 5);
        GiveFreshTextureID(dst);
      }
      return;
    default:
      return;
  }
}

void PutCopyOnLayer(Objex* copy, Layer* layer) {
  if (!copy) return;
  copy->layer = layer;
  for (Objex* c = copy->firstChild; c; c = c->next) PutCopyOnLayer(c, layer);
  for (Objex* s = copy->symbol3D; s; s = s->next) PutCopyOnLayer(s, layer);
  if (!copy->typeData) return;
  auto onLayer = [layer](Objex* list) {
    for (Objex* o = list; o; o = o->next) PutCopyOnLayer(o, layer);
  };
  switch (copy->type) {
    case kObjDoor: case kObjWindow: case kObjDeckSteps: case kObjComponent: case kObjAccessory: {
      DoorWindowData* d = AttachmentData(copy);
      for (Objex* list : {d->faces, d->maskObject, d->definitionParts, d->definitionLeafParts, d->extraParts1,
                          d->extraParts2, d->extraParts3, d->extraParts4, d->trimSlotA.profile, d->trimSlotB.profile})
        onLayer(list);
      return;
    }
    case kObjSkylight: case kObjDormerCutout: {
      auto* r = static_cast<RoofAttachmentData*>(copy->typeData);
      for (Objex* list : {r->parts, r->outlineParts, r->separatorParts, r->leafParts, r->customParts, r->otherParts,
                          r->slots[0].profile, r->slots[1].profile})
        onLayer(list);
      return;
    }
    default:
      return;
  }
}
