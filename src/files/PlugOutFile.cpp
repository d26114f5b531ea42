// Merging a plug-out file: a checking pass over a scratch design first, so that a file that
// breaks off or makes no sense changes nothing, then the merge itself.
#include "files/PlugOutFile.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "files/ByteStream.h"
#include "files/ObjectRecords.h"
#include "files/PlugInFile.h"
#include "files/StreamState.h"
#include "model/Attachments.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Palettes.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/TextureFace.h"
#include "platform/Alerts.h"

const char* const kPlugOutAlertTitle = "Unable to load the Addkit Exchange file.";
const char* const kPlugOutAlertMessage =
    "Please ensure the file is not damaged and was not created by a Addkit which was intended for "
    "use by a more recent version of Zelko! Casavelt.";

namespace {

constexpr uint32_t kHeaderBytes = 10;
constexpr int32_t kFirstCustomTexture = 20000;

uint16_t R16() { return ReadStdUShortValue(); }
uint32_t R32() { return ReadStdULongValue(); }

// A counted layer name: consumed in full; false when it cannot name a layer.
bool ReadLayerName(char* name, size_t size) {
  const int32_t n = static_cast<int32_t>(R32());
  name[0] = 0;
  if (n <= 0 || StreamFailed()) return false;
  if (static_cast<uint32_t>(n) > GetRemaining()) {
    gStream.readError = true;
    return false;
  }
  if (static_cast<size_t>(n) >= size) {
    SkipSome(static_cast<uint32_t>(n));
    return false;
  }
  ReadFixedString(name, size, static_cast<uint32_t>(n));
  return true;
}

// The checking pass: every record read into a scratch design and dropped. True when the
// stream holds whole records only.
bool StreamIsSound(int32_t plugInID) {
  ZLKDocumentModel* real = gCurDocument;
  ZLKDocumentModel scratch;
  scratch.itsDocID = real->itsDocID;
  scratch.itsDocState = static_cast<DocState*>(malloc(sizeof(DocState)));
  if (!scratch.itsDocState) return false;
  *scratch.itsDocState = *real->itsDocState;
  const int32_t photoID = gCurrentPhotoTextureID;
  bool ok = false;
  {
    CurrentDocumentScope scope(&scratch);
    Layer* layer = CreateLayer("Scratch", 1, 1, nullptr);
    if (layer) {
      AppendLayerToDocument(layer);
      scratch.itsCurLayer = layer;
      ReadIDScope ids;
      // The scratch floor's attached wall dimensions are measured once, not after every wall.
      WallDimensionRefreshBatch dimensions;
      while (!StreamAtEnd()) {
        const uint16_t tag = R16();
        if (StreamFailed() || tag == kTagExchangeObjectsEnd) break;
        switch (tag) {
          case kTagExchangeObject: ReadAPlugInObject(layer, true); break;
          case kTagExchangeCabinetBegin: free(DoReadPlugInCabinetState()); break;
          case kTagExchangeTargetLayer: {
            char name[sizeof(Layer{}.name)];
            ReadLayerName(name, sizeof name);
            break;
          }
          case kTagExchangeReplaceObject: case kTagExchangeDeleteObject: R32(); break;
          default: break;
        }
      }
      DoReadPlugInBlackBox(plugInID);
      ok = !StreamFailed();
    }
  }
  ReleaseModelContents(&scratch);
  gCurrentPhotoTextureID = photoID;
  return ok;
}

// The top-level objects of the design by ID, made once per merge and kept up to date. An object
// named by 309 or 310 leaves the index at once: later look-ups no longer find it.
struct MergeState {
  std::unordered_map<uint32_t, Objex*> byID;
  Objex* pending = nullptr;   // the object awaiting the next record (309 or 310)
  bool pendingReplace = false;
  uint32_t storedIDAhead = 0; // the ID the next object record carries
  std::vector<Objex*> toDelete;
  int32_t version = 0;
};

void IndexDesign(MergeState* m) {
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) m->byID.emplace(o->objectID, o);
}

void FreeObject(Objex* o) {
  UnlinkObject(o);
  DeleteObj(o);
}

// Takes the top-level object with that ID out of the index; null when none carries it.
Objex* TakeByID(MergeState* m, uint32_t id) {
  auto it = m->byID.find(id);
  if (it == m->byID.end()) return nullptr;
  Objex* o = it->second;
  m->byID.erase(it);
  return o;
}

// Calls f on `root` and every object it holds (children and 3D symbols), leaving out `skip`
// and what that holds.
template <class F>
void ForEachHeld(Objex* root, const Objex* skip, F f) {
  std::vector<Objex*> stack{root};
  while (!stack.empty()) {
    Objex* o = stack.back();
    stack.pop_back();
    if (!o || o == skip) continue;
    f(o);
    for (Objex* c = o->firstChild; c; c = c->next) stack.push_back(c);
    for (Objex* c = o->symbol3D; c; c = c->next) stack.push_back(c);
  }
}

// An object named by 309 or 310 has left the plan: the records that follow may carry its IDs.
void ReleaseIDs(Objex* o) {
  ReadIDScope* s = ActiveReadIDScope();
  if (!s) return;
  s->CollectDesignIDs();
  ForEachHeld(o, nullptr, [s](Objex* x) {
    s->objectIDs.erase(x->objectID);
    for (const Poinz* p = x->firstPoint; p; p = p->next) s->pointIDs.erase(p->pointID);
  });
}

// The object comes back into the plan with its IDs. `inside` (read into it, may be null) was
// read while those IDs were free: where it took one, it gets a fresh one.
void ReclaimIDs(Objex* old, Objex* inside) {
  ReadIDScope* s = ActiveReadIDScope();
  DocState* ds = CurDocState();
  if (!s || !ds) return;
  std::unordered_set<uint32_t> objects, points;
  ForEachHeld(old, inside, [&](Objex* x) {
    objects.insert(x->objectID);
    for (const Poinz* p = x->firstPoint; p; p = p->next) points.insert(p->pointID);
  });
  if (inside)
    ForEachHeld(inside, nullptr, [&](Objex* x) {
      if (objects.count(x->objectID)) {
        x->objectID = ds->nextObjectID++;
        s->objectIDs.insert(x->objectID);
      }
      for (Poinz* p = x->firstPoint; p; p = p->next)
        if (points.count(p->pointID)) {
          p->pointID = ds->nextPointID++;
          s->pointIDs.insert(p->pointID);
        }
    });
  for (uint32_t id : objects) s->objectIDs.insert(id);
  for (uint32_t id : points) s->pointIDs.insert(id);
}

// A replacement still waiting for its record leaves the plan all the same.
void DropPendingReplacement(MergeState* m) {
  if (m->pending && m->pendingReplace) m->toDelete.push_back(m->pending);
  m->pending = nullptr;
  m->pendingReplace = false;
}

void AfterObject(void* context, Objex* obj) {
  auto* m = static_cast<MergeState*>(context);
  Objex* old = m->pending;
  const bool replace = m->pendingReplace;
  m->pending = nullptr;
  m->pendingReplace = false;
  if (!obj) {
    // A replacement that could not be read keeps the original.
    if (old && replace) {
      m->byID.emplace(old->objectID, old);
      ReclaimIDs(old, nullptr);
    }
    return;
  }
  const uint32_t oldID = old ? old->objectID : 0;
  if (old && m->version != kVersionExchange10000 && m->version != kVersionExchange11000)
    UpdateObjectPaletteLinks(old, obj);
  // An object cannot replace the group it was read into (or one around that): the group, and
  // the object with it, would be freed. The group stays and the object joins it.
  bool inside = false;
  for (const Objex* o = obj; o && !inside; o = o->parent) inside = o == old;
  if (old && replace) {
    if (inside) {
      m->byID.emplace(oldID, old);
      ReclaimIDs(old, obj);
    } else {
      // The dimensions put off so far that can be measured to a replaced wall are measured with
      // it still standing.
      ObjectLeavingFloor(old);
      FreeObject(old);
      // The replacement keeps the ID it was written with when that was the original's.
      if (m->storedIDAhead == oldID && !obj->parent) obj->objectID = oldID;
    }
  }
  if (!obj->parent) m->byID[obj->objectID] = obj;
}

}  // namespace

Layer* ReadAPlugOutLayerName() {
  char name[sizeof(Layer{}.name)];
  if (!ReadLayerName(name, sizeof name)) return nullptr;
  return GetLayerFromName(name);
}

void DoReadPlugOutObjects(int32_t plugInID) {
  if (!gCurDocument) return;
  MergeState m;
  m.version = sInputVersion;
  IndexDesign(&m);
  ExchangeObjectState s;
  s.target = gCurDocument->itsCurLayer;
  s.plugInID = plugInID;
  s.afterObject = AfterObject;
  s.context = &m;
  ReadIDScope ids;
  // Each wall read refits its attachments: the current floor's dimensions are measured once
  // the objects are read (before the removals), and before a wall leaves the plan on the way
  // those that can be measured to it.
  std::optional<WallDimensionRefreshBatch> dimensions(std::in_place);
  while (!StreamAtEnd()) {
    const uint16_t tag = R16();
    if (StreamFailed() || tag == kTagExchangeObjectsEnd) break;
    switch (tag) {
      case kTagExchangeTargetLayer: {
        Layer* l = ReadAPlugOutLayerName();
        s.target = l ? l : gCurDocument->itsCurLayer;
        break;
      }
      case kTagExchangeReplaceObject: case kTagExchangeDeleteObject: {
        const uint32_t id = R32();
        const bool replace = tag == kTagExchangeReplaceObject;
        Objex* o = TakeByID(&m, id);
        Layer* l = o ? o->layer : nullptr;
        if (o) {
          // The object this one displaces leaves the plan too.
          DropPendingReplacement(&m);
          m.pending = o;
          m.pendingReplace = replace;
          ReleaseIDs(o);
          if (!replace) m.toDelete.push_back(o);
        }
        s.target = l && replace ? l : gCurDocument->itsCurLayer;
        break;
      }
      case kTagExchangeObject: {
        const uint8_t* ahead = PeekSome(4);
        m.storedIDAhead = ahead ? uint32_t(ahead[0]) | uint32_t(ahead[1]) << 8 |
                                      uint32_t(ahead[2]) << 16 | uint32_t(ahead[3]) << 24
                                : 0;
        if (!s.target) s.target = gCurDocument->itsCurLayer;
        ReadExchangeObjectToken(tag, &s);
        break;
      }
      default:
        ReadExchangeObjectToken(tag, &s);
        break;
    }
  }
  dimensions.reset();
  // Removals take effect once the read is over.
  DropPendingReplacement(&m);
  for (Objex* o : m.toDelete) FreeObject(o);
}

int PlugOutReadLoaded(bool alert) {
  // Objects go to the current floor unless the file names another: without one nothing merges.
  if (!gCurDocument || !gCurDocument->itsDocState || !gCurDocument->itsCurLayer) return 0;
  const int32_t plugInID = static_cast<int32_t>(R32());
  const int32_t version = static_cast<int32_t>(R32());
  sInputPlatform = static_cast<int16_t>(R16());
  bool ok = !StreamFailed() && IsExchangeVersion(version);
  if (ok) {
    sInputVersion = version;
    ok = StreamIsSound(plugInID);
  }
  if (!ok) {
    if (alert) ShowAlert(kPlugOutAlertTitle, kPlugOutAlertMessage);
    return 0;
  }
  gStream.inDataBufferPos = kHeaderBytes;
  gStream.readError = false;
  DoReadPlugOutObjects(plugInID);
  DoReadPlugInBlackBox(plugInID);
  UpdateAllIDCounters();
  Refresh();
  RenderAllLayers();
  return 1;
}

int PlugOutFileRead(const char* path) {
  if (!gCurDocument || !path) return 0;
  if (!LoadPrivateInputFile(path)) return 0;
  const int result = PlugOutReadLoaded(true);
  ReleaseInputBuffer();
  return result;
}

// ---- ID counters ----

void UpdateObjectIDCounters(const Objex* object, DocState* ds) {
  if (!object || !ds) return;
  // Children by an explicit stack: nesting from a file is not bounded by the call stack.
  std::vector<const Objex*> stack{object};
  while (!stack.empty()) {
    const Objex* o = stack.back();
    stack.pop_back();
    ds->nextObjectID = std::max(ds->nextObjectID, o->objectID);
    for (const Poinz* p = o->firstPoint; p; p = p->next) ds->nextPointID = std::max(ds->nextPointID, p->pointID);
    for (const Objex* c = o->firstChild; c; c = c->next) stack.push_back(c);
  }
}

void UpdateAllIDCounters() {
  DocState* ds = CurDocState();
  if (!ds) return;
  const uint32_t objects = ds->nextObjectID, points = ds->nextPointID;
  ds->nextObjectID = ds->nextPointID = 1;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next)
    for (const Objex* o = l->firstObject; o; o = o->next) UpdateObjectIDCounters(o, ds);
  ds->nextObjectID = std::max(objects, ds->nextObjectID + 1);
  ds->nextPointID = std::max(points, ds->nextPointID + 1);
}

// ---- Palette links ----

bool IsTextureIDLinkedToPalette(int32_t textureID, uint32_t colourRedGreen, uint16_t colourBlue,
                                int32_t paletteRef) {
  if (!IsTextureAPalette(paletteRef)) return false;
  if (IsTextureAPalette(textureID) && GetPaletteEntryFromRefID(-(textureID + 1000))) return false;
  const PaletteList* e = GetPaletteEntryFromRefID(-(paletteRef + 1000));
  if (!e) return false;
  switch (e->kind) {
    case kPaletteEntryTexture: return textureID == e->textureID;
    case kPaletteEntryCustomTexture: {
      if (textureID < kFirstCustomTexture || !e->texturePath) return false;
      const char* path = GetCustomTextureIDPath(textureID);
      return path && !strcasecmp(path, e->texturePath);
    }
    case kPaletteEntryColor:
      // The colour the entry stands for (the one an exchange file is written with).
      return (colourRedGreen & 0xFFFF) == e->color.red * 257u &&
             (colourRedGreen >> 16) == e->color.green * 257u && colourBlue == e->color.blue * 257u;
    default: return false;
  }
}

namespace {

void RelinkSlot(int32_t oldID, int32_t* newID, const RGBColor& c) {
  if (!IsTextureAPalette(oldID)) return;
  const uint32_t rg = uint32_t(c.red) | uint32_t(c.green) << 16;
  if (IsTextureIDLinkedToPalette(*newID, rg, c.blue, oldID)) *newID = oldID;
}

void RelinkTrim(const TrimData* a, TrimData* b) {
  if (!a || !b) return;
  for (int i = 0; i < 5; ++i) RelinkSlot(a->slotTextureIDs[i], &b->slotTextureIDs[i], b->slotColors[i]);
}

void RelinkLinks(const Objex* a, Objex* b, int depth) {
  if (!a || !b || a->type != b->type || depth > 64) return;
  RelinkSlot(a->textureID, &b->textureID, b->fillColor);
  RelinkSlot(a->textureID1, &b->textureID1, b->color1);
  RelinkSlot(a->textureID2, &b->textureID2, b->color2);
  RelinkSlot(a->textureID3, &b->textureID3, b->color3);
  RelinkSlot(a->textureID4, &b->textureID4, b->color4);
  const Poinz* p = a->firstPoint;
  for (Poinz* q = b->firstPoint; p && q; p = p->next, q = q->next) {
    RelinkSlot(p->textureID[0], &q->textureID[0], q->color[0]);
    RelinkSlot(p->textureID[1], &q->textureID[1], q->color[1]);
    if (a->type == kObjWall) {
      RelinkTrim(static_cast<const TrimData*>(p->trim1), static_cast<TrimData*>(q->trim1));
      RelinkTrim(static_cast<const TrimData*>(p->trim2), static_cast<TrimData*>(q->trim2));
    }
  }
  const Objex* c = a->firstChild;
  for (Objex* d = b->firstChild; c && d; c = c->next, d = d->next) {
    if (a->type == kObjWall && c->typeData && d->typeData && c->type == d->type &&
        (c->type == kObjDoor || c->type == kObjWindow)) {
      const auto* x = static_cast<const DoorWindowData*>(c->typeData);
      auto* y = static_cast<DoorWindowData*>(d->typeData);
      RelinkSlot(x->trimSlotA.textureID, &y->trimSlotA.textureID, y->trimSlotA.color);
      RelinkSlot(x->trimSlotB.textureID, &y->trimSlotB.textureID, y->trimSlotB.color);
    }
    if ((a->type == kObjRoof || a->type == kObjRoofPanel) && c->type == d->type && c->typeData &&
        d->typeData && (c->type == kObjSkylight || c->type == kObjDormerCutout)) {
      const auto* x = static_cast<const RoofAttachmentData*>(c->typeData);
      auto* y = static_cast<RoofAttachmentData*>(d->typeData);
      for (int i = 0; i < 2; ++i) RelinkSlot(x->slots[i].textureID, &y->slots[i].textureID, y->slots[i].color);
    }
    RelinkLinks(c, d, depth + 1);
  }
}

}  // namespace

void UpdateObjectPaletteLinks(const Objex* oldObject, Objex* newObject) {
  if (!oldObject || !newObject || oldObject->type != newObject->type) return;
  RelinkLinks(oldObject, newObject, 0);
  if (newObject->type == kObjGroup) return;
  SetTextureFaceUV(newObject);
  SetObjectPointLengths(newObject);
  RebuildReadObject(newObject, newObject->layer);
}
