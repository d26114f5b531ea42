// Deleting objects, selected wall segments, layers and points, copying an object's
// points, and keeping a wall's attachments on its points.
#include "model/Delete.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "model/Attachments.h"
#include "model/CommandCodes.h"
#include "model/DesignEdits.h"
#include "model/DocumentModel.h"
#include "model/Duplicate.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Plants.h"
#include "model/TopoGrid.h"
#include "model/Services.h"
#include "model/Records.h"

namespace {

// Asks for the cache line holding `address` without reading it: a hint only, for any address
// (a line that is not used after all costs a little bandwidth, nothing more).
void PrefetchLine(uintptr_t address) { __builtin_prefetch(reinterpret_cast<const void*>(address)); }

// The lines of an object's record that deleting it reads (its links and type data, its 3D
// symbol, its plant and photo fields, its name and plan path). Asked for while the object
// before it in its list is deleted, so that these misses overlap that work instead of following
// it one by one.
void PrefetchRecord(const Objex* object) {
  if (!object) return;
  const auto base = reinterpret_cast<uintptr_t>(object);
  PrefetchLine(base);
  PrefetchLine(base + offsetof(Objex, symbol3D));
  PrefetchLine(base + offsetof(Objex, plantInfo));
  PrefetchLine(base + offsetof(Objex, name));
}

bool IsWallOrDeck(const Objex* o) { return o && (o->type == kObjWall || o->type == kObjDeck); }

// The object's plan path. A photo view's image path is owned and freed with its object; any
// other source is borrowed and forgotten here.
void ReleaseObjectPlanPath(Objex* object) {
  if (!object->cocoaObject) return;
  ReleasePlanPath(static_cast<PlanPath*>(object->cocoaObject));
  object->cocoaObject = nullptr;
  if (object->type != kObjPhotoView) object->sourceObject = nullptr;
}

// Steps 1-6 of deleting an object: everything but its children and 3D symbol parts. Alone, the
// object leaves its list and a ground object works out the ground's heights at once; with
// `ground` (its whole list goes with it) it stays linked, and a ground object is noted in
// *ground for the caller to work out once.
void ReleaseObjectContents(Objex* object, bool* ground = nullptr) {
  ReleaseObjectPlanPath(object);
  if (!ground) UnlinkObject(object);
  DeleteObjectData(object);
  DeleteObjectPoints(object);
  DeletePlantInfo(object->plantInfo);
  object->plantInfo = nullptr;
  free(object->name);
  object->name = nullptr;
  // Whatever type data no routine claims (a plant's path among them) goes with the object.
  if (object->type == kObjPlant) {
    free(object->typeData);
    object->typeData = nullptr;
  }
  if (IsGroundObjectType(object->type)) {
    if (ground) *ground = true;
    else SetLotElevation();
  }
  if (object->type == kObjPhotoView) {
    free(object->sourceObject);
    object->sourceObject = nullptr;
  }
}

void DeleteChildrenAndSymbol(Objex* object, void (*deleter)(Objex*)) {
  for (Objex* c = object->firstChild; c;) {
    Objex* next = c->next;
    PrefetchRecord(next);
    deleter(c);
    c = next;
  }
  object->firstChild = nullptr;
  object->lastChild = nullptr;
  for (Objex* s = object->symbol3D; s;) {
    Objex* next = s->next;
    PrefetchRecord(next);
    s->prev = nullptr;  // the list is dropped whole: no relinking
    s->next = nullptr;
    s->parent = nullptr;
    s->layer = nullptr;
    deleter(s);
    s = next;
  }
  object->symbol3D = nullptr;
}

// Unlinks the points from `from` (inclusive) to the end of the list and returns them.
Poinz* DetachTail(Objex* wall, Poinz* from, int32_t* count) {
  NoteDesignEdit();
  *count = 0;
  if (!from) return nullptr;
  if (from->prev) from->prev->next = nullptr;
  else wall->firstPoint = nullptr;
  from->prev = nullptr;
  for (Poinz* p = from; p; p = p->next) ++*count;
  wall->pointCount -= *count;
  return from;
}

void FreeWallPoints(Objex* wall, Poinz* list) {
  while (list) {
    Poinz* next = list->next;
    list->next = nullptr;
    DeleteWallPoint(wall, list);
    list = next;
  }
}

// Rotates a ring so that `head` becomes the first point.
void RotateRing(Objex* wall, Poinz* head) {
  NoteDesignEdit();
  if (!head || head == wall->firstPoint) return;
  Poinz* first = wall->firstPoint;
  Poinz* last = first;
  while (last->next) last = last->next;
  head->prev->next = nullptr;
  last->next = first;
  first->prev = last;
  head->prev = nullptr;
  wall->firstPoint = head;
}

void FinishWall(Objex* wall) {
  VerifyObjectAttachments(wall);
  Update3DWall(wall);
  UpdateAllWallAttachments(wall);
  UpdateObjectBounds(wall);
  ReRenderObject(wall);
}

// Deletes the selected segment of a wall with unselected points.
void DeleteSelectedWallSegment(Objex* wall) {
  NoteDesignEdit();
  Poinz *a = nullptr, *b = nullptr;
  if (!DeleteWallSegmentObject(wall, &a, &b)) {
    ReRenderObject(wall);
    return;
  }
  if (SegmentContainsAttachments(wall, a, b)) DeleteSegmentAttachments(wall, a, b);
  Poinz* first = wall->firstPoint;
  Poinz* last = first;
  while (last->next) last = last->next;
  const bool aFirst = a == first, bNext = a->next == b, bLast = b == last;
  Objex* copy = nullptr;
  Poinz* dropped = nullptr;
  if (aFirst && bNext && wall->closed) {
    RotateRing(wall, b);
    wall->closed = 0;
  } else if (aFirst && bNext) {
    wall->firstPoint = b;
    b->prev = nullptr;
    a->next = nullptr;
    wall->pointCount--;
    dropped = a;
  } else if (!bLast && !bNext) {
    return;
  } else if (!aFirst && !bLast && bNext && !wall->closed) {
    copy = DuplicateObject(wall, nullptr, nullptr, FloatPoint{0, 0}, 1, kCmdDuplicate);
    int32_t kept = 0;
    for (Poinz* p = wall->firstPoint; p != b; p = p->next) ++kept;
    int32_t count = 0;
    dropped = DetachTail(wall, b, &count);
    if (copy) {
      Poinz* cut = copy->firstPoint;
      for (int32_t i = 0; i < kept && cut; ++i) cut = cut->next;
      Poinz* head = copy->firstPoint;
      if (cut) {
        cut->prev->next = nullptr;
        cut->prev = nullptr;
      }
      copy->firstPoint = cut;
      copy->pointCount -= kept;
      VerifyObjectAttachments(copy);  // before the dropped points go
      FreeWallPoints(copy, head);
    }
  } else if (!aFirst && bNext && wall->closed) {
    RotateRing(wall, b);
    wall->closed = 0;
  } else if (bLast) {
    if (wall->closed) {
      wall->closed = 0;
    } else {
      b->prev->next = nullptr;
      b->prev = nullptr;
      wall->pointCount--;
      dropped = b;
    }
  } else {
    return;
  }
  VerifyObjectAttachments(wall);  // before the dropped points are freed
  FreeWallPoints(wall, dropped);
  FinishWall(wall);
  if (copy) FinishWall(copy);
}

// Deleting a whole object as the user's deletion does: the children go whole too.
void DeleteObjItemWhole(Objex* object) {
  NoteDesignEdit();
  DeleteRendererObject(object);
  if (gWorkbenchObject == object) gWorkbenchObject = nullptr;
  ReleaseObjectContents(object);
  DeleteChildrenAndSymbol(object, DeleteObjItemWhole);
  free(object);
}

}  // namespace

void FreeTrimRecord(void*& ref) {
  auto* trim = static_cast<TrimData*>(ref);
  ref = nullptr;
  if (!trim) return;
  for (Objex* profile : {trim->profileA, trim->profileB}) {
    if (!profile) continue;
    profile->layer = nullptr;
    profile->prev = profile->next = nullptr;
    profile->parent = nullptr;
    DeleteObj(profile);
  }
  free(trim);
}

void DeleteObj(Objex* object) {
  NoteDesignEdit();
  if (!object) return;
  DeleteRendererObject(object);
  if (gWorkbenchObject == object) gWorkbenchObject = nullptr;
  ReleaseObjectContents(object);
  DeleteChildrenAndSymbol(object, DeleteObj);
  free(object);
}

namespace {

// Deleting an object whose list goes whole with it: what DeleteObj does, in the same order,
// without unlinking it from its neighbours or its parent (they go too) and without working out
// the ground's heights per ground object (noted in *ground for the caller to do once).
void DropWholeObject(Objex* object, bool* ground) {
  DeleteRendererObject(object);
  if (gWorkbenchObject == object) gWorkbenchObject = nullptr;
  ReleaseObjectContents(object, ground);
  for (Objex* c = object->firstChild; c;) {
    Objex* next = c->next;
    PrefetchRecord(next);
    DropWholeObject(c, ground);
    c = next;
  }
  for (Objex* s = object->symbol3D; s;) {
    Objex* next = s->next;
    PrefetchRecord(next);
    DropWholeObject(s, ground);
    s = next;
  }
  free(object);
}

}  // namespace

bool DeleteDesignLayers(Layer* first) {
  bool ground = false;
  while (Layer* l = first) {
    first = l->next;
    if (l->firstObject) gRefreshRender = 1;
    for (Objex* o = l->firstObject; o;) {
      Objex* next = o->next;
      PrefetchRecord(next);
      DropWholeObject(o, &ground);
      o = next;
    }
    FreeLayer(l);
  }
  return ground;
}

void DeleteObjectChain(Objex* head) {
  if (!head) return;
  NoteDesignEdit();
  bool ground = false;
  for (Objex* o = head; o;) {
    Objex* next = o->next;
    PrefetchRecord(next);
    DropWholeObject(o, &ground);
    o = next;
  }
  if (ground) SetLotElevation();
}

void DeleteObjItem(Objex* object) {
  NoteDesignEdit();
  if (!object) return;
  if (object->type == kObjWall && !DeleteEntireWallObject(object)) {
    DeleteRendererObject(object);
    if (gWorkbenchObject == object) gWorkbenchObject = nullptr;
    DeleteSelectedWallSegment(object);
    return;
  }
  DeleteObjItemWhole(object);
}

void DeleteLayerObjects(Layer* layer) {
  NoteDesignEdit();
  if (!layer) return;
  for (Objex* o = layer->firstObject; o;) {
    Objex* next = o->next;
    PrefetchRecord(next);
    o->layer = layer;  // so the unlink moves the layer's head along
    DeleteObj(o);
    gRefreshRender = 1;
    o = next;
  }
  layer->firstObject = nullptr;
  layer->lastObject = nullptr;
}

void FreeLayer(Layer* layer) {
  if (!layer) return;
  ForgetClickWalkNotesOf(layer);
  free(layer);
}

void DeleteLayer(Layer* layer) {
  NoteDesignEdit();
  if (!layer || !gCurDocument) return;
  ZLKDocumentModel* doc = gCurDocument;
  Layer* neighbour = layer->prev ? layer->prev : layer->next;
  if (doc->itsLayers == layer) doc->itsLayers = neighbour;
  if (doc->itsCurLayer == layer) doc->itsCurLayer = neighbour;
  if (doc->itsCur2DLayer == layer) doc->itsCur2DLayer = nullptr;
  if (doc->itsTopoLayer == layer) doc->itsTopoLayer = nullptr;
  UnlinkLayer(layer);
  DeleteLayerObjects(layer);
  FreeLayer(layer);
}

void DeleteObjectPoints(Objex* object) {
  NoteDesignEdit();
  if (!object) return;
  const bool wall = object->type == kObjWall;
  // An object's points are taken from the heap one after another as it is read or built, so
  // they usually lie a heap block apart: the lines a few points ahead are asked for before the
  // walk reaches them. Freeing a point reads the heap's marks two blocks on, and without the
  // hint each point waited for that miss in turn. Points that lie elsewhere are still freed
  // exactly as before, only without the head start.
  constexpr uintptr_t kPointBlock = (sizeof(Poinz) + sizeof(size_t) + 15) & ~uintptr_t{15};
  constexpr uintptr_t kAhead = 6;
  if (object->firstPoint) {
    const auto first = reinterpret_cast<uintptr_t>(object->firstPoint);
    for (uintptr_t i = 0; i < kAhead; ++i) PrefetchLine(first + i * kPointBlock - sizeof(size_t));
  }
  for (Poinz* p = object->firstPoint; p;) {
    Poinz* next = p->next;
    PrefetchLine(reinterpret_cast<uintptr_t>(p) + kAhead * kPointBlock - sizeof(size_t));
    if (wall) {
      if (p->trim1) FreeTrimRecord(p->trim1);
      if (p->trim2) FreeTrimRecord(p->trim2);
    }
    free(p);
    p = next;
  }
  object->firstPoint = nullptr;
  object->pointCount = 0;
}

namespace {

void* CopyTrim(const void* ref) {
  const auto* src = static_cast<const TrimData*>(ref);
  if (!src) return nullptr;
  auto* t = static_cast<TrimData*>(calloc(1, sizeof(TrimData)));
  if (!t) return nullptr;
  *t = *src;
  t->profileA = src->profileA ? DuplicateObject(src->profileA, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate) : nullptr;
  t->profileB = src->profileB ? DuplicateObject(src->profileB, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate) : nullptr;
  return t;
}

}  // namespace

void CopyPointTrims(const Objex* object, const Poinz* from, Poinz* to) {
  if (object->type == kObjWall) {
    to->trim1 = CopyTrim(from->trim1);
    to->trim2 = CopyTrim(from->trim2);
  } else {
    to->trim1 = from->trim1;
    to->trim2 = from->trim2;
  }
}

void DuplicateObjectPoints(const Objex* source, Objex* target, FloatPoint offset, uint8_t selected) {
  NoteDesignEdit();
  if (!source || !target) return;
  for (const Poinz* s = source->firstPoint; s; s = s->next) {
    Poinz* p = CreatePoint(s->pointType, selected, s->locked, s->inHandle[0], s->inHandle[1],
                           s->inHandle[2], s->position[0] + offset.floatH, s->position[1],
                           s->position[2] + offset.floatV, s->outHandle[0], s->outHandle[1],
                           s->outHandle[2], s->linkVector[0], s->linkVector[1], s->linkVector[2], target);
    if (!p) return;
    // Outside walls the side trim words are the points' own values and go with the copy.
    CopyPointSegmentValues(s, p);
    // Only walls own trim records; other objects merely refer to them.
    CopyPointTrims(target, s, p);
    AppendPointToObject(p, target);
  }
}

void DeleteWallPointSides(Objex* wall, Poinz* point) {
  NoteDesignEdit();
  if (!wall || !point || wall->type != kObjWall) return;
  FreeTrimRecord(point->trim1);
  FreeTrimRecord(point->trim2);
  point->trim1 = point->trim2 = nullptr;
}

void DeleteWallPoint(Objex* wall, Poinz* point) {
  if (!wall || !point || wall->type != kObjWall) return;
  DeleteWallPointSides(wall, point);
  free(point);
}

void DeleteWallSegmentAttachments(Objex* wall, Poinz* point) {
  NoteDesignEdit();
  if (!wall || wall->type != kObjWall) return;
  for (Objex* c = wall->firstChild; c;) {
    Objex* next = c->next;
    DoorWindowData* d = AttachmentData(c);
    if (d && d->anchorStart == point) DeleteObj(c);
    c = next;
  }
}

void DeletePointAttachments(Objex* object, Poinz* point) {
  NoteDesignEdit();
  if (!IsWallOrDeck(object)) return;
  for (Objex* c = object->firstChild; c;) {
    Objex* next = c->next;
    DoorWindowData* d = AttachmentData(c);
    if (d && d->anchorStart == point) DeleteObj(c);
    c = next;
  }
}

void DeleteSegmentAttachments(Objex* object, Poinz* a, Poinz* b) {
  NoteDesignEdit();
  if (!IsWallOrDeck(object)) return;
  DeletePointAttachments(object, (a && a->next == b) ? a : b);
}

bool DeleteWallSegmentObject(Objex* wall, Poinz** a, Poinz** b) {
  NoteDesignEdit();
  if (a) *a = nullptr;
  if (b) *b = nullptr;
  if (!wall || !a || !b || wall->type != kObjWall) return false;
  int selected = 0;
  for (Poinz* p = wall->firstPoint; p; p = p->next) {
    if (!p->selected) continue;
    if (++selected == 1) *a = p;
    else if (selected == 2) *b = p;
  }
  if (selected == 2) return true;
  *a = *b = nullptr;
  return false;
}

void VerifyObjectAttachments(Objex* wall) {
  if (!wall || wall->type != kObjWall) return;
  for (Objex* c = wall->firstChild; c;) {
    Objex* next = c->next;
    DoorWindowData* d = AttachmentData(c);
    if (d && d->anchorStart) {
      Poinz* found = nullptr;
      for (Poinz* p = wall->firstPoint; p; p = p->next)
        if (p == d->anchorStart) found = p;
      if (found && found->next) d->anchorEnd = found->next;
      else if (found && wall->closed && found != wall->firstPoint) d->anchorEnd = wall->firstPoint;
      else DeleteObj(c);
    }
    c = next;
  }
}

bool DeleteEntireWallObject(const Objex* object) {
  if (!object || object->type != kObjWall) return true;
  for (const Poinz* p = object->firstPoint; p; p = p->next)
    if (!p->selected) return false;
  return true;
}
