// Creating, linking, unlinking and finding layers, objects and points.
#include "model/Records.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DesignEdits.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Selection.h"

uint64_t gDesignEditCount = 0;

Layer* CreateLayer(const char* name, uint8_t visible, uint8_t selectable, Objex* firstObject) {
  auto* layer = static_cast<Layer*>(calloc(1, sizeof(Layer)));
  if (!layer) return nullptr;
  if (name) {
    strncpy(layer->name, name, sizeof(layer->name) - 1);
  }
  layer->visible = visible;
  layer->selectable = selectable;
  layer->firstObject = firstObject;
  layer->height = 96.0f;
  return layer;
}

void AppendLayerToDocument(Layer* layer) {
  NoteDesignEdit();
  if (!layer || !gCurDocument) return;
  if (!gCurDocument->itsLayers) {
    gCurDocument->itsLayers = layer;
    gCurDocument->itsCurLayer = layer;
    layer->prev = nullptr;
  } else {
    Layer* last = gCurDocument->itsLayers;
    while (last->next) last = last->next;
    last->next = layer;
    layer->prev = last;
  }
  layer->next = nullptr;
}

void UnlinkLayer(Layer* layer) {
  NoteDesignEdit();
  if (!layer) return;
  if (layer->prev) layer->prev->next = layer->next;
  if (layer->next) layer->next->prev = layer->prev;
  layer->prev = layer->next = nullptr;
}

Layer* GetLayerFromName(const char* name) {
  if (!name || !gCurDocument) return nullptr;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next)
    if (strcmp(l->name, name) == 0) return l;
  return nullptr;
}

float GetLayerAbsBaseHeight(const Layer* layer) {
  if (!layer) return 0;
  float sum = 0;
  for (const Layer* l = layer->prev; l; l = l->prev) sum += l->height;
  return sum;
}

Objex* CreateObject(int16_t type, uint8_t closed, uint8_t visible, const RGBColor* pen,
                    const RGBColor* fill, float width, int16_t penStyle, int16_t fillPattern,
                    const FloatRect* bounds, Poinz* firstPoint, Objex* firstChild, Objex* parent,
                    Layer* layer, void* typeData) {
  auto* obj = static_cast<Objex*>(calloc(1, sizeof(Objex)));
  if (!obj) return nullptr;
  DocState* ds = CurDocState();
  if (!ds) return obj;
  obj->type = type;
  obj->closed = closed;
  obj->visible = visible;
  if (pen) obj->penColor = *pen;
  if (fill) obj->fillColor = *fill;
  obj->width = width;
  obj->penStyle = penStyle;
  obj->fillPattern = fillPattern;
  if (bounds) obj->bounds = *bounds;
  obj->firstPoint = firstPoint;
  obj->firstChild = firstChild;
  obj->parent = parent;
  obj->layer = layer;
  obj->typeData = typeData;
  obj->levels = 1;
  obj->capped = 1;
  obj->auxShort = 2;
  obj->needsRender = 1;
  obj->plantAge = ds->plantAge;
  obj->baseElevation = ds->baseElevation;
  obj->textureScale1 = obj->textureScale2 = obj->textureScale3 = obj->textureScale4 =
      obj->textureScale = ShortPoint{100, 100};
  obj->objectID = ds->nextObjectID++;
  return obj;
}

Poinz* CreatePoint(int16_t pointType, uint8_t selected, uint8_t locked, float ix, float iy, float iz,
                   float x, float y, float z, float ox, float oy, float oz, float lx, float ly,
                   float lz, Objex* owner) {
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  // A block of its own, freed with free() as every point is; filled whole from the blank
  // point (every field zero but the defaults below) rather than cleared and then written.
  auto* p = static_cast<Poinz*>(malloc(sizeof(Poinz)));
  if (!p) return nullptr;
  static constexpr Poinz kBlank = [] {
    Poinz b{};
    b.detectable = 1;
    b.pathLength = b.ringLength = 1.0f;
    b.color[0] = b.color[1] = RGBColor{65535, 65535, 65535};
    b.textureScale[0] = b.textureScale[1] = ShortPoint{100, 100};
    return b;
  }();
  memcpy(p, &kBlank, sizeof(Poinz));
  p->pointType = pointType;
  p->selected = selected;
  p->locked = locked;
  p->inHandle[0] = ix, p->inHandle[1] = iy, p->inHandle[2] = iz;
  p->position[0] = x, p->position[1] = y, p->position[2] = z;
  p->outHandle[0] = ox, p->outHandle[1] = oy, p->outHandle[2] = oz;
  p->linkVector[0] = lx, p->linkVector[1] = ly, p->linkVector[2] = lz;
  p->owner = owner;
  p->pointID = ds->nextPointID++;
  return p;
}

bool FloorListHolds(const Layer* first, const Layer* layer) {
  for (const Layer* l = first; l; l = l->next)
    if (l == layer) return true;
  return false;
}

Objex* LastObjectOfLayer(Layer* layer) {
  if (!layer || !layer->firstObject) return nullptr;
  // The hint holds while it ends this layer's own list: no next, no parent, on this layer,
  // and linked from its predecessor or the layer's head.
  if (Objex* h = layer->lastObject; h && !h->next && !h->parent && h->layer == layer &&
                                    (h->prev ? h->prev->next == h : layer->firstObject == h))
    return h;
  Objex* last = layer->firstObject;
  while (last->next) last = last->next;
  layer->lastObject = last;
  return last;
}

Objex* LastChildOfObject(Objex* parent) {
  if (!parent || !parent->firstChild) return nullptr;
  if (Objex* h = parent->lastChild; h && !h->next && h->parent == parent &&
                                    (h->prev ? h->prev->next == h : parent->firstChild == h))
    return h;
  Objex* last = parent->firstChild;
  while (last->next) last = last->next;
  parent->lastChild = last;
  return last;
}

void ForgetObjectAsTail(Objex* object) {
  if (!object) return;
  if (object->parent && object->parent->lastChild == object) object->parent->lastChild = object->prev;
  if (object->layer && object->layer->lastObject == object)
    object->layer->lastObject = object->parent ? nullptr : object->prev;
}

void NoteObjectLinkedAfter(Objex* object, Objex* after) {
  if (!object || !after) return;
  if (after->parent) {
    if (after->parent->lastChild == after) after->parent->lastChild = object;
  } else if (after->layer && after->layer->lastObject == after) {
    after->layer->lastObject = object;
  }
}

void AppendObjectToLayer(Objex* object, Layer* layer) {
  if (!object || !layer) return;
  NoteDesignEdit();
  Objex* last = LastObjectOfLayer(layer);
  object->layer = layer;
  object->next = nullptr;
  object->prev = last;
  if (last) last->next = object;
  else layer->firstObject = object;
  layer->lastObject = object;
}

void InsertObjectBefore(Objex* object, Objex* before) {
  if (!object || !before || before->parent || !before->layer) return;
  NoteDesignEdit();
  Layer* layer = before->layer;
  object->layer = layer;
  object->parent = nullptr;
  object->prev = before->prev;
  object->next = before;
  if (before->prev) before->prev->next = object;
  else layer->firstObject = object;
  before->prev = object;
}

void AppendChildToObject(Objex* child, Objex* parent) {
  if (!child || !parent) return;
  NoteDesignEdit();
  Objex* last = LastChildOfObject(parent);
  child->parent = parent;
  child->next = nullptr;
  child->prev = last;
  if (last) last->next = child;
  else parent->firstChild = child;
  parent->lastChild = child;
}

namespace {

// The point last appended and its object, so that appending a run of points to one object
// stays constant-time. Kept only while the object's first point and count are what they were
// after that append, so that a list edited, emptied or freed since is walked again (and the
// kept point is not read); the point must still end the object's own list.
struct PointTail {
  const Objex* object = nullptr;
  const Poinz* first = nullptr;
  int32_t count = 0;
  Poinz* last = nullptr;
};
PointTail sPointTail;

Poinz* LastPointOf(Objex* object) {
  const PointTail& k = sPointTail;
  if (k.object == object && k.first == object->firstPoint && k.count == object->pointCount && k.last) {
    Poinz* h = k.last;
    if (!h->next && h->owner == object && (h->prev ? h->prev->next == h : object->firstPoint == h)) return h;
  }
  Poinz* last = object->firstPoint;
  while (last && last->next) last = last->next;
  return last;
}

}  // namespace

void AppendPointToObject(Poinz* point, Objex* object) {
  if (!point || !object) return;
  NoteDesignEdit();
  Poinz* last = LastPointOf(object);
  point->owner = object;
  point->next = nullptr;
  point->prev = last;
  if (last) last->next = point;
  else object->firstPoint = point;
  object->pointCount++;
  sPointTail = PointTail{object, object->firstPoint, object->pointCount, point};
}

void InsertPointInObject(Poinz* point, Objex* object, Poinz* after) {
  if (!point || !object) return;
  NoteDesignEdit();
  if (sPointTail.object == object) sPointTail = PointTail{};
  point->owner = object;
  if (!after) {
    point->prev = nullptr;
    point->next = object->firstPoint;
    if (object->firstPoint) object->firstPoint->prev = point;
    object->firstPoint = point;
  } else {
    point->prev = after;
    point->next = after->next;
    if (after->next) after->next->prev = point;
    after->next = point;
  }
  object->pointCount++;
}

void InsertPointInObjectAndUpdatePointInfo(Poinz* point, Objex* object, Poinz* after) {
  if (!point || !object || object->type == kObjWall) return;
  InsertPointInObject(point, object, after);
  Poinz* n = point->next ? point->next : object->firstPoint;
  if (!n || n == point) return;
  point->selected = n->selected;
  point->owner = n->owner;
  // Points of other objects than walls keep their side trim values as words.
  CopyPointSegmentValues(n, point);
  if (object->type == kObjDeck) point->position[1] = n->position[1];
  // The trim records stay owned by the neighbour; the new point only refers to them
  // until a wall builder gives it records of its own.
  point->trim1 = n->trim1;
  point->trim2 = n->trim2;
}

Objex* UnlinkObject(Objex* object) {
  if (!object) return nullptr;
  NoteDesignEdit();
  ForgetObjectAsTail(object);
  if (object->prev) {
    object->prev->next = object->next;
  } else if (object->parent && object->parent->firstChild == object) {
    object->parent->firstChild = object->next;
  } else if (object->layer && object->layer->firstObject == object) {
    object->layer->firstObject = object->next;
  }
  if (object->next) object->next->prev = object->prev;
  object->prev = object->next = nullptr;
  object->layer = nullptr;
  return object;
}

Objex* GetObjectFromObjectID(uint32_t id) {
  if (!gCurDocument) return nullptr;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) {
      if (o->objectID == id) return o;
      for (Objex* c = o->firstChild; c; c = c->next)
        if (c->objectID == id) return c;
    }
  return nullptr;
}

static bool ObjectOwnsPointID(const Objex* o, uint32_t id) {
  for (const Poinz* p = o->firstPoint; p; p = p->next)
    if (p->pointID == id) return true;
  return false;
}

Objex* GetObjectFromPointID(uint32_t id) {
  if (!gCurDocument) return nullptr;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) {
      if (ObjectOwnsPointID(o, id)) return o;
      for (Objex* c = o->firstChild; c; c = c->next)
        if (ObjectOwnsPointID(c, id)) return c;
    }
  return nullptr;
}

Poinz* GetPointFromPointID(uint32_t id) {
  if (!gCurDocument) return nullptr;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next)
      for (Poinz* p = o->firstPoint; p; p = p->next)
        if (p->pointID == id) return p;
  return nullptr;
}

Objex* GetASelectedObject(int n) {
  if (n <= 0 || !gCurDocument) return nullptr;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) {
      if (IsObjectSelected(o) && --n == 0) return o;
    }
  return nullptr;
}

bool CenterOfObject(Objex* object, float* x, float* z) {
  if (!object || !x || !z) return false;
  FloatRect r = EmptyFloatRect();
  bool result = GetObjectBounds(object, 0, &r, 1, 0);
  *x = r.floatLeft + (r.floatRight - r.floatLeft) / 2;
  *z = r.floatTop + (r.floatBottom - r.floatTop) / 2;
  return result;
}

static Objex* RootOf(Objex* o) {
  while (o && o->parent) o = o->parent;
  return o;
}

bool IsObjectSymbolEditorObject(Objex* object) {
  Objex* root = RootOf(object);
  return root && root->type == kObjGroup && root->groupMarker == 123;
}

bool IsObjectSectionDetailObject(Objex* object) {
  Objex* root = RootOf(object);
  return root && root->type == kObjGroup && root->groupMarker == 117;
}

DoorWindowData* AttachmentData(const Objex* child) {
  if (!child || !child->typeData) return nullptr;
  switch (child->type) {
    case kObjDoor: case kObjWindow: case kObjDeckSteps: case kObjComponent: case kObjAccessory:
      return static_cast<DoorWindowData*>(child->typeData);
    default:
      return nullptr;
  }
}

bool SegmentContainsAttachments(Objex* object, Poinz* a, Poinz* b) {
  if (!object || (object->type != kObjWall && object->type != kObjDeck)) return false;
  Poinz* start = (a && a->next == b) ? a : b;
  for (Objex* c = object->firstChild; c; c = c->next) {
    DoorWindowData* d = AttachmentData(c);
    if (d && d->anchorStart == start) return true;
  }
  return false;
}

bool DoesPointContainAttachments(Objex* object, Poinz* point) {
  if (!object || (object->type != kObjWall && object->type != kObjDeck)) return false;
  for (Objex* c = object->firstChild; c; c = c->next) {
    DoorWindowData* d = AttachmentData(c);
    if (d && d->anchorStart == point) return true;
  }
  return false;
}

int32_t GetCurrentView() {
  if (!CurDocState()) return 0;
  int x = static_cast<int>(gXViewAngle + 0.5f);
  int y = static_cast<int>(gYViewAngle + 0.5f);
  if (!gPerspective) {
    if (x == 90 && y == 0) return kCmdViewTop;
    if (x == 0) {
      switch (y) {
        case 270: return kCmdViewLeft;
        case 90: return kCmdViewRight;
        case 0: return kCmdViewFront;
        case 180: return kCmdViewBack;
        default: break;
      }
    }
  }
  if (gViewFactor == 1.0f && gPerspective) return kCmdViewPerspectiveNear;
  if (gViewFactor == 6.0f) return gPerspective ? kCmdViewPerspectiveFar : kCmdViewOther;
  return gPerspective ? 0 : kCmdViewOther;
}

void Point2Rect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, RECT* rect) {
  if (!rect) return;
  rect->left = x1 < x2 ? x1 : x2;
  rect->right = x1 < x2 ? x2 : x1;
  rect->top = y1 < y2 ? y1 : y2;
  rect->bottom = y1 < y2 ? y2 : y1;
}

float GetInchesFromWorld(float value, const DocState* ds) {
  if (!ds) return value;
  switch (ds->worldUnits) {
    case 2: return ConvertFeetToInches(value);
    case 3: return ConvertYardsToInches(value);
    case 4: return ConvertMilesToInches(value);
    case 5: return ConvertMMToInches(value);
    case 6: return ConvertCMToInches(value);
    case 7: return ConvertDMToInches(value);
    case 8: return ConvertMetersToInches(value);
    default: return value;
  }
}

float GetWorldFromInches(float value, const DocState* ds) {
  if (!ds) return value;
  switch (ds->worldUnits) {
    case 2: return ConvertInchesToFeet(value);
    case 3: return ConvertInchesToYards(value);
    case 4: return ConvertInchesToMiles(value);
    case 5: return ConvertInchesToMM(value);
    case 6: return ConvertInchesToCM(value);
    case 7: return ConvertInchesToDM(value);
    case 8: return ConvertInchesToMeters(value);
    default: return value;
  }
}

void UpdateAttachmentsWithNewPoint(Objex* object, Poinz* point, Poinz* newPoint) {
  if (!object || !point || !newPoint) return;
  if (object->type != kObjWall && object->type != kObjDeck) return;
  float dx = newPoint->position[0] - point->position[0];
  float dz = newPoint->position[2] - point->position[2];
  float d = std::sqrt(dx * dx + dz * dz);
  for (Objex* c = object->firstChild; c; c = c->next) {
    DoorWindowData* rec = AttachmentData(c);
    if (!rec || rec->anchorStart != point) continue;
    float s = rec->startDistance;
    if (s > d) {
      rec->startDistance = s - d;
      rec->anchorStart = newPoint;
    } else {
      rec->anchorEnd = newPoint;
      rec->remainingLength = d - s;
    }
  }
  UpdateAllWallAttachments(object);
}

static void CopyCustomTextureSize(TrimSlot& slot, int32_t textureID, int32_t w, int32_t h) {
  if (slot.textureID == textureID) {
    slot.textureWidth = static_cast<int16_t>(w);
    slot.textureHeight = static_cast<int16_t>(h);
  }
}

void UpdateAllAttachmentsCustomTextureWH(int32_t textureID) {
  if (textureID < 20000 || !gCurDocument || !gCurDocument->itsLayers) return;
  int32_t w = -1, h = -1;
  LoadCustomTextureWH(textureID, &w, &h);
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) {
      if (o->type == kObjWall) {
        for (Objex* c = o->firstChild; c; c = c->next) {
          if (c->type != kObjDoor && c->type != kObjWindow) continue;
          if (DoorWindowData* d = AttachmentData(c)) {
            CopyCustomTextureSize(d->trimSlotA, textureID, w, h);
            CopyCustomTextureSize(d->trimSlotB, textureID, w, h);
          }
        }
      } else if (o->type == kObjRoof || o->type == kObjRoofPanel) {
        for (Objex* c = o->firstChild; c; c = c->next) {
          if (c->type != kObjSkylight || !c->typeData) continue;
          auto* r = static_cast<RoofAttachmentData*>(c->typeData);
          CopyCustomTextureSize(r->slots[0], textureID, w, h);
          CopyCustomTextureSize(r->slots[1], textureID, w, h);
        }
      }
    }
}

void AdjustEnhancedTextObjectSize(Objex* object) {
  if (!object) return;
  float w = object->params[1], h = object->params[2];
  if (w < 1 || h < 1 || object->pointCount < 4) return;
  Poinz* p0 = object->firstPoint;
  Poinz* p1 = p0 ? p0->next : nullptr;
  Poinz* p2 = p1 ? p1->next : nullptr;
  Poinz* p3 = p2 ? p2->next : nullptr;
  if (!p3) return;
  float xmin = std::fmin(p0->position[0], p2->position[0]);
  float xmax = std::fmax(p0->position[0], p2->position[0]);
  float zmin = std::fmin(p0->position[2], p2->position[2]);
  float zmax = std::fmax(p0->position[2], p2->position[2]);
  if (w > xmax - xmin) {
    p0->position[0] = p3->position[0] = xmin;
    p1->position[0] = p2->position[0] = xmin + w;
  }
  if (h > zmax - zmin) {
    p0->position[2] = p1->position[2] = zmin;
    p2->position[2] = p3->position[2] = zmin + h;
  }
  object->bounds = EmptyFloatRect();
  GetObjectBounds(object, 0, &object->bounds, 0, 0);
  object->bounds3D = EmptyFloat3DRect();
  GetObject3DBounds(object, 0, &object->bounds3D, 0);
}

Poinz* NextRingPoint(const Poinz* p) {
  if (!p) return nullptr;
  if (p->next) return p->next;
  return (p->owner && p->owner->closed && p->owner->firstPoint != p) ? p->owner->firstPoint : nullptr;
}
