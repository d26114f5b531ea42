// The object records of every object stream: texture ID records, object info, point lists,
// writing one object entry and reading one object with the repairs older versions need.
#include "files/ObjectRecords.h"

#include <optional>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

#include "files/AttachmentRecords.h"
#include "files/ByteStream.h"
#include "files/CabinetFile.h"
#include "files/FileTags.h"
#include "files/ObjectValidation.h"
#include "files/TemplateFile.h"
#include "files/TypeData.h"
#include "model/Attachments.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/ParallelObjects.h"
#include "model/Plants.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/TextureFace.h"

Objex* gCabinetObject = nullptr;

namespace {

constexpr RGBColor kWhite{65535, 65535, 65535};
// The shortest point record of any version (plain texture IDs, no optional rows).
constexpr uint32_t kMinPointRecordBytes = 89;
// Embedded objects (definitions, trim profiles) nest through ReadAnObject; a stream that
// nests deeper than this is damaged.
constexpr int kMaxObjectNesting = 16;
// Point values beyond this (either sign) make an object invalid (IsObjectPointValuesInvalid).
constexpr float kMaxPointValue = 1e6f;

int sObjectNesting = 0;
ObjectsLeftOut sLeftOut;
ReadIDScope* sActiveScope = nullptr;

// A scope of its own for a record read while none is active, made only then. It runs per
// record: unlike an empty std::optional of the scope, nothing is set up when one is active.
class ScopeUnlessActive {
 public:
  ScopeUnlessActive() {
    if (!sActiveScope) scope_ = new (storage_) ReadIDScope();
  }
  ~ScopeUnlessActive() {
    if (scope_) scope_->~ReadIDScope();
  }
  ScopeUnlessActive(const ScopeUnlessActive&) = delete;
  ScopeUnlessActive& operator=(const ScopeUnlessActive&) = delete;

 private:
  ReadIDScope* scope_ = nullptr;
  alignas(ReadIDScope) unsigned char storage_[sizeof(ReadIDScope)];
};

template <class F>
void ReadColorFrom(F& f, RGBColor* c) {
  c->red = f.UShort();
  c->green = f.UShort();
  c->blue = f.UShort();
}
void PutScale(FieldWriter& w, const ShortPoint& s) {
  w.Short(s.x);
  w.Short(s.y);
}
void PutStdRect(FieldWriter& w, const FloatRect& r) {
  w.StdFloat(r.floatTop);
  w.StdFloat(r.floatLeft);
  w.StdFloat(r.floatBottom);
  w.StdFloat(r.floatRight);
}
void PutFloats(FieldWriter& w, const float* f, int n) {
  for (int i = 0; i < n; ++i) w.Float(f[i]);
}

int32_t ReadSlotTexture(bool asRecord) {
  if (asRecord) return ReadTextureID();
  int32_t id = 0;
  ReadLong(&id);
  return id;
}

void FailStream() { gStream.readError = true; }

// The big-endian Long at b (bytes already known to be there).
int32_t LoadLong(const uint8_t* b) {
  return static_cast<int32_t>((uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) |
                              uint32_t(b[3]));
}

bool StoredIDsDropped() { return gScrapMode || gStream.useScrap || gUpdateID; }

// Settles the ID of a record just made (which took `id` from `counter`) against the one the
// stream stored. A stored ID that is non-zero and not in use replaces the new one, which goes
// back to the counter; version 10700 keeps it only below the limit the first call of a scope
// fixes (the counter as the read began). An ID handed out later that meets a kept one is
// moved above every ID in use, and the scope's end raises the counter past them all.
[[gnu::always_inline]] inline void AdoptID(uint32_t* id, uint32_t stored, uint32_t* counter,
                                          ReadIDSet& used, uint32_t* maxID, bool* limitTaken,
                                          uint32_t* limit) {
  if (!*limitTaken) {
    *limitTaken = true;
    if (*counter <= *maxID) *counter = *maxID + 1;
    *limit = (*id + 1 == *counter && *id > *maxID) ? *id : *counter;
  }
  const bool belowLimit = stored < *limit || (sInputVersion != kVersionDesign10700 && stored <= kLargestKeptReadID);
  if (stored != 0 && belowLimit && !used.count(stored) && !StoredIDsDropped()) {
    if (*counter == *id + 1) *counter = *id;
    *id = stored;
  } else if (used.count(*id)) {
    if (*counter <= *maxID) *counter = *maxID + 1;
    *id = (*counter)++;
  }
  used.insert(*id);
  *maxID = std::max(*maxID, *id);
}

// A scope that has not walked the design answers AdoptID as one that has while stored IDs are
// dropped and the record's ID and the counter are at or above the bound: no design ID can then
// be met, and the design's largest ID (below the bound) never decides. Otherwise it walks now.
void SettleBeforeAdopt(ReadIDScope* s, uint32_t id, uint32_t counter, uint32_t bound) {
  if (!s->DesignCollected() && !(StoredIDsDropped() && id >= bound && counter >= bound)) s->CollectDesignIDs();
}

void AdoptObjectID(Objex* obj, uint32_t stored) {
  ReadIDScope* s = sActiveScope;
  DocState* ds = CurDocState();
  if (!s || !ds) return;
  SettleBeforeAdopt(s, obj->objectID, ds->nextObjectID, s->ObjectBound());
  AdoptID(&obj->objectID, stored, &ds->nextObjectID, s->objectIDs, &s->maxObjectID,
          &s->objectLimitTaken, &s->objectLimit);
}

void AdoptPointID(Poinz* p, uint32_t stored, DocState* ds) {
  ReadIDScope* s = sActiveScope;
  if (!s || !ds) return;
  SettleBeforeAdopt(s, p->pointID, ds->nextPointID, s->PointBound());
  AdoptID(&p->pointID, stored, &ds->nextPointID, s->pointIDs, &s->maxPointID,
          &s->pointLimitTaken, &s->pointLimit);
}

void CollectIDs(ReadIDScope* s, const Objex* o) {
  for (; o; o = o->next) {
    s->objectIDs.insert(o->objectID);
    s->maxObjectID = std::max(s->maxObjectID, o->objectID);
    for (const Poinz* p = o->firstPoint; p; p = p->next) {
      s->pointIDs.insert(p->pointID);
      s->maxPointID = std::max(s->maxPointID, p->pointID);
    }
    CollectIDs(s, o->firstChild);
    CollectIDs(s, o->symbol3D);
  }
}

bool IsRoofPlanType(int16_t t) {
  return t == kObjRoof || (t >= 32 && t <= 35) || t == kObjRoofHipPart || t == kObjSkylight ||
         t == kObjDormerCutout;
}

// The wall's material slot n (0..4) as texture, scale and colour.
void WallSlot(const Objex* wall, int n, int32_t* id, ShortPoint* scale, RGBColor* color) {
  switch (n) {
    case 1: *id = wall->textureID1; *scale = wall->textureScale1; *color = wall->color1; break;
    case 2: *id = wall->textureID2; *scale = wall->textureScale2; *color = wall->color2; break;
    case 3: *id = wall->textureID3; *scale = wall->textureScale3; *color = wall->color3; break;
    case 4: *id = wall->textureID4; *scale = wall->textureScale4; *color = wall->color4; break;
    default: *id = wall->textureID; *scale = wall->textureScale; *color = wall->penColor; break;
  }
}

// Trim slots of files before 10900 come from the wall's own slots.
void FillTrimSlotsFromWall(TrimData* t, const Objex* wall, int32_t version) {
  static constexpr int k10800[5] = {1, 3, 1, 2, 4};
  static constexpr int kOlder[5] = {3, -1, 1, 2, 4};
  const int* map = version == kVersionDesign10800 ? k10800 : kOlder;
  for (int i = 0; i < 5; ++i) {
    if (map[i] < 0) {
      t->slotTextureIDs[i] = 2213;
      t->slotTextureScales[i] = {100, 100};
      t->slotColors[i] = kWhite;
    } else {
      WallSlot(wall, map[i], &t->slotTextureIDs[i], &t->slotTextureScales[i], &t->slotColors[i]);
    }
  }
}

// One side trim word of a point record (already read); on a wall every side gets a TrimData:
// from 10800 on filled by the trim block that follows a word of 65536 (any other word is
// dropped), in older files holding the word as its first trim code.
void SettleSideTrim(Poinz* p, Objex* obj, int side, int32_t word) {
  if (obj->type != kObjWall) {
    (side == 0 ? p->trimWord1 : p->trimWord2) = word;
    return;
  }
  auto* t = static_cast<TrimData*>(calloc(1, sizeof(TrimData)));
  if (!t) {
    FailStream();
    return;
  }
  (side == 0 ? p->trim1 : p->trim2) = t;
  if (sInputVersion >= kVersionDesign10800) {
    if (word == kTrimCustomProfile) ReadTrimData(t, obj->layer);
  } else {
    t->trimCodeA = word;
  }
  if (sInputVersion < kVersionDesign10900) FillTrimSlotsFromWall(t, obj, sInputVersion);
}

void PutSideTrim(FieldWriter& w, const Poinz* p, const Objex* obj, int side) {
  if (obj->type != kObjWall) {
    w.Long(side == 0 ? p->trimWord1 : p->trimWord2);
    return;
  }
  const auto* t = static_cast<const TrimData*>(side == 0 ? p->trim1 : p->trim2);
  if (!t) {
    w.Long(0);
    return;
  }
  w.Long(kTrimCustomProfile);
  WriteTrimData(w, t);
}

// Leaves a wall point side of an old file without trim: a zeroed record, which a save writes
// and reads back as it is.
void ClearTrim(void*& trim) {
  auto* t = static_cast<TrimData*>(trim);
  if (!t) {
    trim = calloc(1, sizeof(TrimData));
    return;
  }
  DeleteObj(t->profileA);
  DeleteObj(t->profileB);
  *t = TrimData{};
}

int32_t CountPoints(const Objex* obj) {
  int32_t n = 0;
  for (const Poinz* p = obj->firstPoint; p; p = p->next) ++n;
  return n;
}

void SetScales100(Objex* o) {
  o->textureScale1 = o->textureScale2 = o->textureScale3 = o->textureScale4 = o->textureScale =
      ShortPoint{100, 100};
}

// A length read from a file that can be used at all: a number within the range every point
// value must keep. Anything else is never rounded; it counts as missing.
bool UsableLength(float v) {
  return std::isfinite(v) && v >= -kMaxPointValue && v <= kMaxPointValue;
}

// The whole number a stored length rounds to (add 0.5, truncate), for a usable length only.
// The sum is exact in double: in float a length just below 0.5 would round up to 1.
int32_t RoundedLength(float v) { return static_cast<int32_t>(static_cast<double>(v) + 0.5); }

void UpgradeWall(Objex* wall, Layer* layer, int32_t v) {
  float h = layer ? layer->height : 0.0f;
  if (!UsableLength(wall->params[0]) || RoundedLength(wall->params[0]) < 1) wall->params[0] = h;
  if (!UsableLength(wall->params[1]) || wall->params[1] < 6.0f) wall->params[1] = 16.0f;
  if (v == kVersionDesign10400 || v == kVersionDesign10410) {
    wall->textureID4 = 850;
    wall->color4 = kWhite;
    SetScales100(wall);
    for (Poinz* p = wall->firstPoint; p; p = p->next) p->textureScale[0] = p->textureScale[1] = {100, 100};
  } else if (v < kVersionDesign10400) {
    wall->extraLong = 0;
    wall->params[1] = 16.0f;
    wall->textureID = 1700;
    wall->options[0] = 1;
    wall->textureID1 = 2213;
    wall->textureID2 = 2212;
    wall->textureID3 = 2213;
    wall->textureID4 = 850;
    wall->color1 = wall->color2 = wall->color3 = wall->color4 = kWhite;
    SetScales100(wall);
    wall->params[2] = 0.5f;
    wall->params[3] = 12.0f;
    float b = GetLayerAbsBaseHeight(layer);
    int16_t alternate = 0;
    for (Poinz* p = wall->firstPoint; p; p = p->next) {
      p->segmentShort2 = alternate;
      alternate = static_cast<int16_t>(1 - alternate);
      p->position[1] = 0;
      p->segmentElevation = b;
      p->segmentLong1 = 0;
      p->segmentShort1 = 0;
      p->segmentFlags = 0;
      ClearTrim(p->trim1);
      ClearTrim(p->trim2);
      if (!UsableLength(p->segmentFloats[0]) || RoundedLength(p->segmentFloats[0]) <= 0)
        p->segmentFloats[0] = h;
      p->segmentFloats[1] = p->segmentFloats[2] = 10.0f;
      p->segmentFloats[3] = h * 1.25f;
      p->segmentFloats[4] = h * 1.75f;
      p->textureScale[0] = p->textureScale[1] = {100, 100};
    }
  }
  Update3DWall(wall);
  UpdateAllWallAttachments(wall);
}

void UpgradeAndRebuild(Objex* obj, Layer* layer, int32_t v) {
  switch (obj->type) {
    case kObjWall:
      UpgradeWall(obj, layer, v);
      break;
    case kObjFloor: case kObjCutout: case kObjCabinet:
      Update3DFloorSkirting(obj);
      break;
    case kObjRoof:
      if (v < kVersionDesign10750) {
        obj->color1 = kWhite;
        obj->textureScale1 = {100, 100};
        obj->textureID1 = 0;
      }
      Update3DRoof(obj);
      break;
    case kObjPath: Update3DPath(obj); break;
    case kObjEdging: UpdateEdgingObject(obj); break;
    case kObjFence:
      if (v < kVersionDesign10800) {
        if (DocState* ds = CurDocState()) {
          obj->params[0] = ds->fenceParam1;
          obj->params[1] = ds->fenceParam2;
          obj->params[2] = ds->fenceParam3;
          obj->params[3] = ds->fenceParam4;
          obj->params[4] = ds->fenceParam5;
        }
        obj->textureID1 = 850;
        obj->textureID2 = 850;
        obj->textureID3 = 2200;
        obj->color1 = obj->color2 = obj->color3 = kWhite;
        obj->textureScale1 = obj->textureScale2 = obj->textureScale3 = {100, 100};
      }
      UpdateFenceObject(obj);
      break;
    case kObjStaircase:
      if (v < kVersionDesign10900) {
        obj->penStyle = 0;
        obj->fillPattern = 0;
        if (v < kVersionDesign10400 && layer) obj->params[4] = layer->height;
      }
      UpdateStairObject(obj);
      break;
    case kObjRailing: UpdateRailObject(obj); break;
    case kObjDeck: Update3DDeck(obj); break;
    case kObjRoofPanel:
      if (v < kVersionDesign10750) {
        obj->textureID3 = 0;
        obj->color3 = kWhite;
        obj->textureScale3 = {100, 100};
      }
      Update3DRoofPanel(obj);
      break;
    case kObjPhotoView: Update3DPhoto(obj); break;
    case kObjTopoExcavation: Update3DTopoCutoutDepthObject(obj); break;
    default: break;
  }
}

bool PlantInfoCurrent(int32_t v) { return v >= kVersionDesign10750; }

// A plant takes its info from its first point's texture before its data is read, except a user
// plant of a version that stores its path: that one takes it from the path once its data is
// read. Neither replaces info the plant has.
void GivePlantInfoFromPoint(Objex* obj, bool userPlant, int32_t v) {
  if (obj->type == kObjPlant && obj->firstPoint && (!PlantInfoCurrent(v) || !userPlant) && !obj->plantInfo)
    obj->plantInfo = CreatePlantInfo(obj->firstPoint->textureID[0]);
}
void GivePlantInfoFromPath(Objex* obj, bool userPlant, int32_t v) {
  if (userPlant && PlantInfoCurrent(v) && !obj->plantInfo)
    obj->plantInfo = CreateUserPlantInfo(static_cast<const char*>(obj->typeData));
}


}  // namespace

// ---- IDs ----

namespace {
// The document whose IDs were last noted to lie below its counters, and where they stood.
struct IDsBelowCounters {
  const ZLKDocumentModel* doc = nullptr;
  const DocState* docState = nullptr;
  const Layer* layers = nullptr;
  int32_t docID = 0;
  uint32_t nextObjectID = 0, nextPointID = 0;
};
IDsBelowCounters sNotedBound;

bool NotedBoundHolds(const ZLKDocumentModel* doc) {
  const IDsBelowCounters& n = sNotedBound;
  return doc && n.doc == doc && doc->itsDocState && n.docState == doc->itsDocState && n.layers == doc->itsLayers &&
         n.docID == doc->itsDocID && n.nextObjectID == doc->itsDocState->nextObjectID &&
         n.nextPointID == doc->itsDocState->nextPointID;
}
}  // namespace

void NoteIDsBelowCounters() {
  const ZLKDocumentModel* doc = gCurDocument;
  if (!doc || !doc->itsDocState) {
    sNotedBound = {};
    return;
  }
  sNotedBound = {doc, doc->itsDocState, doc->itsLayers, doc->itsDocID, doc->itsDocState->nextObjectID,
                 doc->itsDocState->nextPointID};
}

void ForgetIDsBelowCounters() { sNotedBound = {}; }

ReadIDScope::ReadIDScope(bool mayDefer) : outer_(sActiveScope), doc_(gCurDocument) {
  sActiveScope = this;
  if (mayDefer && StoredIDsDropped() && NotedBoundHolds(doc_)) {
    collected_ = false;
    objectBound_ = doc_->itsDocState->nextObjectID;
    pointBound_ = doc_->itsDocState->nextPointID;
    return;
  }
  collected_ = false;
  CollectDesignIDs();
}

void ReadIDScope::CollectDesignIDs() {
  if (collected_) return;
  collected_ = true;
  if (!doc_) return;
  for (Layer* l = doc_->itsLayers; l; l = l->next) CollectIDs(this, l->firstObject);
  Layer* topo = doc_->itsTopoLayer;
  bool listed = false;
  for (Layer* l = doc_->itsLayers; l; l = l->next) listed |= l == topo;
  if (topo && !listed) CollectIDs(this, topo->firstObject);
}

ReadIDScope::~ReadIDScope() {
  if (DocState* ds = CurDocState()) {
    // The counters are raised above the design's IDs too: without them walked, that holds
    // only while the counters still stand at the bound on the scope's own document.
    if (!collected_ && (!doc_ || ds != doc_->itsDocState || ds->nextObjectID < objectBound_ ||
                        ds->nextPointID < pointBound_))
      CollectDesignIDs();
    if (ds->nextObjectID <= maxObjectID) ds->nextObjectID = maxObjectID + 1;
    if (ds->nextPointID <= maxPointID) ds->nextPointID = maxPointID + 1;
  }
  sActiveScope = outer_;
}

ReadIDScope* ActiveReadIDScope() { return sActiveScope; }

namespace {
// An ID read for an object or point, checked against the scope's `used` set (the design's IDs
// collected): kept when it is non-zero and unused, and below the document's `counter` unless
// `keepAbove`, else replaced by the counter's next value. With `keepAbove` an ID up to
// kLargestKeptReadID stays even at or above the counter (the scope's end raises the counter
// past the scope's `largest`), and a replacement skips values already in use.
uint32_t CheckReadID(uint32_t id, uint32_t DocState::*counter, ReadIDSet ReadIDScope::*used,
                     uint32_t ReadIDScope::*largest, bool keepAbove) {
  DocState* ds = CurDocState();
  if (!ds) return id;
  ScopeUnlessActive local;
  sActiveScope->CollectDesignIDs();
  uint32_t& next = ds->*counter;
  ReadIDSet& taken = sActiveScope->*used;
  if (id == 0 || taken.count(id) || (keepAbove ? id > kLargestKeptReadID : id >= next)) {
    id = next++;
    while (keepAbove && taken.count(id) && next <= kLargestKeptReadID) id = next++;
  }
  taken.insert(id);
  if (keepAbove) {
    uint32_t& most = sActiveScope->*largest;
    most = std::max(most, id);
  }
  return id;
}
}  // namespace

uint32_t ValidateObjectID(uint32_t id) {
  return CheckReadID(id, &DocState::nextObjectID, &ReadIDScope::objectIDs, &ReadIDScope::maxObjectID, false);
}

uint32_t ValidatePointID(uint32_t id) {
  return CheckReadID(id, &DocState::nextPointID, &ReadIDScope::pointIDs, &ReadIDScope::maxPointID, false);
}

uint32_t KeepReadObjectID(uint32_t id) {
  return CheckReadID(id, &DocState::nextObjectID, &ReadIDScope::objectIDs, &ReadIDScope::maxObjectID, true);
}

uint32_t KeepReadPointID(uint32_t id) {
  return CheckReadID(id, &DocState::nextPointID, &ReadIDScope::pointIDs, &ReadIDScope::maxPointID, true);
}

// ---- Texture ID record ----

namespace {
int32_t ReadTextureIDRecord(bool std) {
  int32_t id;
  {
    FieldGroup f(4);
    id = static_cast<int32_t>(std ? f.StdULong() : f.ULong());
  }
  if (id != -1) return id;
  int32_t n = 0;
  std ? ReadStdLong(&n) : ReadLong(&n);
  if (n <= 0) return 0;
  if (static_cast<uint32_t>(n) > GetRemaining()) {
    FailStream();
    return 0;
  }
  char* path = static_cast<char*>(calloc(static_cast<size_t>(n) + 5, 1));
  if (!path) {
    SkipSome(static_cast<uint32_t>(n));
    return 0;
  }
  int32_t result = 0;
  if (ReadSome(path, static_cast<uint32_t>(n))) result = NewCustomTextureID(path);
  free(path);
  return result;
}

void WriteTextureIDRecord(int32_t id, bool std) {
  auto put = [std](int32_t v) { std ? WriteStdLong(v) : WriteLong(v); };
  // -1 announces a path: an id of -1 without one (files that stored plain numbers kept it)
  // names no texture and is written so.
  if (id == -1) id = 0;
  if (id < 20000) {
    put(id);
    return;
  }
  const char* path = GetCustomTextureIDPath(id);
  int32_t n = path ? static_cast<int32_t>(strlen(path)) : 0;
  put(-1);
  put(n);
  if (n > 0) WriteSome(path, static_cast<uint32_t>(n));
}
}  // namespace

int32_t ReadTextureID() { return ReadTextureIDRecord(false); }
void WriteTextureID(int32_t id) { WriteTextureIDRecord(id, false); }
int32_t ReadStdTextureID() { return ReadTextureIDRecord(true); }
void WriteStdTextureID(int32_t id) { WriteTextureIDRecord(id, true); }

// ---- Object info ----

namespace {

// Decodes one run of n bytes of fixed fields with `fill`: from the whole record when that was
// taken at once, else from a run taken with its own bounds check.
template <class Fill>
[[gnu::always_inline]] inline void InRun(TakenBytes* whole, uint32_t n, Fill fill) {
  if (whole) {
    fill(*whole);
  } else {
    FieldGroup f(n);
    fill(f);
  }
}

// The object info of the current layout after its type (and a group's marker): fixed runs of
// 37, 42, 17, 6, 26 and 32 bytes with a texture ID record after the first and the fourth run
// and two after the second, then the name's length, the name and the ID.
constexpr uint32_t kInfoTextureAt[5] = {37, 83, 87, 108, 118};
constexpr uint32_t kInfoNameLengthAt = 180;
constexpr uint32_t kInfoPlainBytes = 188;

// The object info taken whole when it holds plain texture IDs and no name (most records of the
// current layout); null otherwise (older layouts, texture paths, names, a short stream), and
// then nothing is taken.
const uint8_t* TakePlainObjectInfo(int32_t v) {
  if (RecordGroup(v) < 5) return nullptr;
  const uint8_t* b = PeekSome(2);
  if (!b) return nullptr;
  const bool marker = static_cast<int16_t>((b[0] << 8) | b[1]) == kObjGroup && v >= kVersionDesign10700;
  const uint32_t at = marker ? 6 : 2;
  b = PeekSome(at + kInfoPlainBytes);
  if (!b) return nullptr;
  for (uint32_t t : kInfoTextureAt)
    if (LoadLong(b + at + t) == -1) return nullptr;
  if (LoadLong(b + at + kInfoNameLengthAt) > 0) return nullptr;
  return TakeSome(at + kInfoPlainBytes);
}

}  // namespace

void ReadObjectInfo(Objex* obj) {
  DocState* ds = CurDocState();
  if (!obj || !ds) return;
  // A record read on its own still settles its stored ID against the design.
  ScopeUnlessActive local;
  const int32_t v = sInputVersion;
  const int g = RecordGroup(v);

  // The fixed runs of the record between its texture ID records, each decoded with one bounds
  // check; a slot stored as a plain number (older files) is part of its run.
  const bool slotRecords = g >= 4;
  std::optional<TakenBytes> wholeRecord;
  if (const uint8_t* b = TakePlainObjectInfo(v)) wholeRecord.emplace(b);
  TakenBytes* whole = wholeRecord ? &*wholeRecord : nullptr;
  auto texture = [whole]() { return whole ? whole->Long() : ReadTextureID(); };
  if (whole) obj->type = whole->Short();
  else ReadShort(&obj->type);
  if (obj->type == kObjGroup && v >= kVersionDesign10700) {
    int32_t marker = 0;
    if (whole) marker = whole->Long();
    else ReadLong(&marker);
    obj->groupMarker = marker;
  }
  InRun(whole, 37, [&](auto& f) {
    obj->closed = f.Byte();
    obj->visible = f.Byte();
    ReadColorFrom(f, &obj->penColor);
    for (uint16_t& o : obj->options) o = f.UShort();
    ReadColorFrom(f, &obj->fillColor);
    obj->width = f.Float();
    obj->penStyle = f.Short();
    obj->fillPattern = f.Short();
    obj->levels = f.Short();
    obj->pointCount = f.Long();
    obj->capped = f.Byte();
    obj->direction = f.Short();
  });
  obj->textureID = whole ? whole->Long() : ReadSlotTexture(g >= 5);
  InRun(whole, 38 + (g >= 1 ? 4 : 0) + (g >= 1 && !slotRecords ? 8 : 0), [&](auto& f) {
    for (FloatRect* r : {&obj->textureRect, &obj->textureRect2}) {
      r->floatTop = f.StdFloat();
      r->floatLeft = f.StdFloat();
      r->floatBottom = f.StdFloat();
      r->floatRight = f.StdFloat();
    }
    obj->auxShort = f.Short();
    obj->plantAge = f.Float();
    if (g >= 1) {
      obj->subtype = f.Long();
      if (!slotRecords) {
        obj->textureID1 = f.Long();
        obj->textureID2 = f.Long();
      }
    }
  });
  if (g >= 1) {
    if (slotRecords) {
      obj->textureID1 = texture();
      obj->textureID2 = texture();
    }
    InRun(whole, 12 + (g >= 2 ? 5 : 0) + (g >= 2 && !slotRecords ? 4 : 0), [&](auto& f) {
      ReadColorFrom(f, &obj->color1);
      ReadColorFrom(f, &obj->color2);
      if (g >= 2) {
        obj->baseElevation = f.Float();
        if (!(std::fabs(obj->baseElevation) <= 1.0e6f)) {  // not a number, or off any plan
          obj->baseElevation = 0;
          ++sLeftOut.elevationsReset;
        }
        obj->auxFlag = f.Byte();
        if (!slotRecords) obj->textureID3 = f.Long();
      }
    });
  }
  if (g >= 2) {
    if (slotRecords) obj->textureID3 = texture();
    InRun(whole, 6 + (g >= 3 && !slotRecords ? 4 : 0), [&](auto& f) {
      ReadColorFrom(f, &obj->color3);
      if (g >= 3 && !slotRecords) obj->textureID4 = f.Long();
    });
  }
  if (g >= 3) {
    if (slotRecords) obj->textureID4 = texture();
    InRun(whole, 26, [&](auto& f) {
      ReadColorFrom(f, &obj->color4);
      for (ShortPoint* sc : {&obj->textureScale1, &obj->textureScale2, &obj->textureScale3,
                             &obj->textureScale4, &obj->textureScale}) {
        sc->x = f.Short();
        sc->y = f.Short();
      }
    });
  }
  InRun(whole, (g >= 2 ? 8 : 0) + (g >= 1 ? 24 : 0), [&](auto& f) {
    if (g >= 2) obj->planMask = f.Long();
    if (g >= 1)
      for (int k = 0; k < 4; ++k) obj->params[k] = f.Float();
    if (g >= 2) obj->params[4] = f.Float();
    if (g >= 1) {
      obj->extraLong = f.Long();
      obj->extraFlags = f.Long();
    }
  });
  if (whole) {
    whole->Long();  // the name's length: none
  } else if (g >= 5) {
    int32_t n = 0;
    ReadLong(&n);
    if (n > 0) {
      if (static_cast<uint32_t>(n) > GetRemaining()) {
        FailStream();
      } else if (char* name = static_cast<char*>(calloc(static_cast<size_t>(n) + 1, 1))) {
        if (ReadSome(name, static_cast<uint32_t>(n))) {
          free(obj->name);
          obj->name = name;
        } else {
          free(name);
        }
      } else {
        SkipSome(static_cast<uint32_t>(n));
      }
    }
  }
  uint32_t storedID = 0;
  if (whole) storedID = whole->ULong();
  else if (g >= 4) ReadULong(&storedID);
  AdoptObjectID(obj, g >= 4 ? storedID : 0);

  if (v < kVersionDesign10450) {
    if (obj->textureID1) obj->color1 = kWhite;
    if (obj->textureID2) obj->color2 = kWhite;
    if (obj->textureID3) obj->color3 = kWhite;
  }
  // Slots stored as plain numbers may hold -1, which names no texture (in every later file it
  // announces a path); the object keeps no id that a save would turn into that marker.
  if (g < 5) {
    for (int32_t* id : {&obj->textureID, &obj->textureID1, &obj->textureID2, &obj->textureID3,
                        &obj->textureID4})
      if (*id == -1) *id = 0;
  }
  if (v < kVersionDesign10400) {
    obj->baseElevation = 0;
    obj->auxFlag = 0;
    int16_t t = obj->type;
    if (IsRoofPlanType(t)) obj->planMask = 16;
    else if (t == kObjDeck || t == kObjDeckSteps) obj->planMask = 64;
    else if ((t >= 21 && t <= 28) || t == kObjTopography) obj->planMask = 128;
    else obj->planMask = 2;
  }
  if (v < kVersionDesign10700) {
    int16_t t = obj->type;
    if ((t >= 79 && t <= 82) || (t >= 146 && t <= 152) || (t == kObjComponent && obj->subtype == 83)) {
      obj->extraLong = 0;
      obj->extraFlags = 63;
      obj->params[1] = 80.0f;
      obj->params[2] = 2.0f;
      obj->textureID = 0;
      if (t >= 150 && t <= 152) obj->options[1] = 1;
    }
  }
  if (gCabinetOpen && obj->type != kObjSymbolPart3D && obj->type != kObjGroup) {
    obj->type = kObjCabinet;
    obj->planMask = gCabinetObject ? gCabinetObject->planMask : ds->newObjectPlanMask;
  }
}

void WriteObjectInfo(const Objex* obj) {
  if (!obj) return;
  FieldWriter w;
  w.Short(obj->type);
  if (obj->type == kObjGroup) w.Long(static_cast<int32_t>(obj->groupMarker));
  w.Byte(obj->closed);
  w.Byte(obj->visible);
  PutColor(w, obj->penColor);
  for (uint16_t o : obj->options) w.UShort(o);
  PutColor(w, obj->fillColor);
  w.Float(obj->width);
  w.Short(obj->penStyle);
  w.Short(obj->fillPattern);
  w.Short(obj->levels);
  w.Long(obj->pointCount);
  w.Byte(obj->capped);
  w.Short(obj->direction);
  PutTextureID(w, obj->textureID);
  PutStdRect(w, obj->textureRect);
  PutStdRect(w, obj->textureRect2);
  w.Short(obj->auxShort);
  w.Float(obj->plantAge);
  w.Long(obj->subtype);
  PutTextureID(w, obj->textureID1);
  PutTextureID(w, obj->textureID2);
  PutColor(w, obj->color1);
  PutColor(w, obj->color2);
  w.Float(obj->baseElevation);
  w.Byte(obj->auxFlag);
  PutTextureID(w, obj->textureID3);
  PutColor(w, obj->color3);
  PutTextureID(w, obj->textureID4);
  PutColor(w, obj->color4);
  PutScale(w, obj->textureScale1);
  PutScale(w, obj->textureScale2);
  PutScale(w, obj->textureScale3);
  PutScale(w, obj->textureScale4);
  PutScale(w, obj->textureScale);
  w.Long(obj->planMask);
  PutFloats(w, obj->params, 5);
  w.Long(obj->extraLong);
  w.Long(obj->extraFlags);
  int32_t n = obj->name ? static_cast<int32_t>(strlen(obj->name)) : 0;
  w.Long(n);
  if (n > 0) {
    w.Flush();
    WriteSome(obj->name, static_cast<uint32_t>(n));
  }
  w.ULong(obj->objectID);
}

// ---- Point list ----

namespace {

// The point record of one file version: fixed runs between its variable parts (texture ID
// records and trim blocks), decoded from a FieldGroup (one bounds check per run) or, when the
// whole record was taken at once, from TakenBytes.
struct PointLayout {
  static constexpr uint32_t kHeadBytes = 53;
  const int g;
  const bool side2;
  const bool stdColors;
  const uint32_t middleBytes;
  const uint32_t afterTrimBytes;
  const uint32_t tailBytes;

  PointLayout(int32_t v, bool side2Field, bool stdColorFields)
      : g(RecordGroup(v)),
        side2(side2Field),
        stdColors(stdColorFields),
        middleBytes(28 + (g >= 2 ? 12 : 0) + (g >= 1 ? 8 : 0)),
        afterTrimBytes((g >= 1 ? 8 : 0) + (side2 ? 4 : 0)),
        tailBytes((side2 ? 4 : 0) + (g >= 2 ? 8 : 0) + (g >= 3 ? 8 : 0) + (g >= 4 ? 4 : 0)) {}

  // A record with plain texture IDs and no trim block between its runs.
  uint32_t PlainBytes() const { return kHeadBytes + 8 + middleBytes + afterTrimBytes + tailBytes; }
  bool IsPlain(const uint8_t* b, bool trimBlocks) const {
    if (LoadLong(b + kHeadBytes) == -1 || LoadLong(b + kHeadBytes + 4) == -1) return false;
    if (!trimBlocks) return true;
    const uint32_t word1At = kHeadBytes + 8 + middleBytes - 4;
    const uint32_t word2At = word1At + afterTrimBytes;
    return !(g >= 1 && LoadLong(b + word1At) == kTrimCustomProfile) &&
           !(side2 && LoadLong(b + word2At) == kTrimCustomProfile);
  }

  template <class F>
  [[gnu::always_inline]] static void Head(F& f, Poinz* p) {
    p->pointType = f.Short();
    p->selected = f.Byte();
    p->detectable = f.Byte();
    p->locked = f.Byte();
    for (float* row : {p->inHandle, p->position, p->outHandle, p->linkVector})
      for (int k = 0; k < 3; ++k) row[k] = f.Float();
  }
  // Answers the first side's trim word.
  template <class F>
  [[gnu::always_inline]] int32_t Middle(F& f, Poinz* p) const {
    p->texU = f.Float();
    p->texV = f.Float();
    p->pathLength = f.Float();
    p->ringLength = f.Float();
    for (RGBColor& c : p->color) {
      c.red = stdColors ? f.StdUShort() : f.UShort();
      c.green = stdColors ? f.StdUShort() : f.UShort();
      c.blue = stdColors ? f.StdUShort() : f.UShort();
    }
    if (g >= 2) {
      p->segmentElevation = f.Float();
      p->segmentLong1 = f.Long();
      p->segmentShort1 = f.Short();
      p->segmentShort2 = f.Short();
    }
    int32_t word1 = 0;
    if (g >= 1) {
      p->segmentFlags = f.Long();
      word1 = f.Long();
    }
    return word1;
  }
  // Answers the second side's trim word.
  template <class F>
  [[gnu::always_inline]] int32_t AfterTrim(F& f, Poinz* p) const {
    int32_t word2 = 0;
    if (g >= 1) {
      p->segmentFloats[0] = f.Float();
      p->segmentFloats[1] = f.Float();
    }
    if (side2) word2 = f.Long();
    return word2;
  }
  // Answers the stored ID.
  template <class F>
  [[gnu::always_inline]] uint32_t Tail(F& f, Poinz* p) const {
    if (side2) p->segmentFloats[2] = f.Float();
    if (g >= 2) p->segmentFloats[3] = f.Float(), p->segmentFloats[4] = f.Float();
    if (g >= 3) {
      p->textureScale[0].x = f.Short(), p->textureScale[0].y = f.Short();
      p->textureScale[1].x = f.Short(), p->textureScale[1].y = f.Short();
    }
    return g >= 4 ? f.ULong() : 0;
  }
};

}  // namespace

void ReadObjectPoints(Objex* obj) {
  DocState* ds = CurDocState();
  if (!obj || !ds) return;
  ScopeUnlessActive local;
  const int32_t v = sInputVersion;
  const int g = RecordGroup(v);
  int32_t n = 0;
  ReadLong(&n);
  if (n <= 0) return;
  if (static_cast<uint32_t>(n) > GetRemaining() / kMinPointRecordBytes) {
    FailStream();
    return;
  }
  const bool deckSteps = obj->type == kObjDeck && v == kVersionDesign10350;
  const bool side2 = v == kVersionDesign10350 || v == kVersionDesign10351 || g >= 2;
  const bool stdColors = v < kVersionDesign10450;
  const PointLayout layout(v, side2, stdColors);
  const uint32_t plainBytes = layout.PlainBytes();
  const bool trimBlocks = obj->type == kObjWall && v >= kVersionDesign10800;
  Poinz* prev = nullptr;
  for (int32_t i = 0; i < n && !StreamFailed(); ++i) {
    Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, obj);
    if (!p) {
      FailStream();
      break;
    }
    uint32_t storedID = 0;
    if (const uint8_t* ahead = PeekSome(plainBytes); ahead && layout.IsPlain(ahead, trimBlocks)) {
      // The whole record at once: the peek showed every byte of it there.
      TakenBytes f(TakeSome(plainBytes));
      PointLayout::Head(f, p);
      p->textureID[0] = f.Long();
      p->textureID[1] = f.Long();
      const int32_t word1 = layout.Middle(f, p);
      const int32_t word2 = layout.AfterTrim(f, p);
      storedID = layout.Tail(f, p);
      if (obj->type != kObjWall) {
        p->trimWord1 = word1;
        p->trimWord2 = word2;
      } else {
        SettleSideTrim(p, obj, 0, word1);
        SettleSideTrim(p, obj, 1, word2);
      }
    } else {
      {
        FieldGroup f(PointLayout::kHeadBytes);
        PointLayout::Head(f, p);
      }
      p->textureID[0] = ReadTextureID();
      p->textureID[1] = ReadTextureID();
      int32_t word1;
      {
        FieldGroup f(layout.middleBytes);
        word1 = layout.Middle(f, p);
      }
      SettleSideTrim(p, obj, 0, word1);
      int32_t word2 = 0;
      if (layout.afterTrimBytes) {
        FieldGroup f(layout.afterTrimBytes);
        word2 = layout.AfterTrim(f, p);
      }
      SettleSideTrim(p, obj, 1, word2);
      if (layout.tailBytes) {
        FieldGroup f(layout.tailBytes);
        storedID = layout.Tail(f, p);
      }
    }
    AdoptPointID(p, g >= 4 ? storedID : 0, ds);

    if (v < kVersionDesign10450) {
      if (p->textureID[0]) p->color[0] = kWhite;
      if (p->textureID[1]) p->color[1] = kWhite;
    }
    if (deckSteps && prev) UpdateDeckSteps(obj, prev, p);
    if (obj->type == kObjRoof && v < kVersionDesign10450) {
      p->color[1] = p->color[0];
      if (p->textureID[0]) p->color[0] = kWhite;
    }
    if (prev) {  // the list's tail is the point read before: no walk per point
      p->owner = obj;
      p->next = nullptr;
      p->prev = prev;
      prev->next = p;
      obj->pointCount++;
    } else {
      AppendPointToObject(p, obj);
    }
    prev = p;
  }
  if (deckSteps && obj->closed && prev && prev != obj->firstPoint)
    UpdateDeckSteps(obj, prev, obj->firstPoint);
}

void WriteObjectPoints(const Objex* obj) {
  if (!obj) return;
  FieldWriter w;
  w.Long(CountPoints(obj));
  for (const Poinz* p = obj->firstPoint; p; p = p->next) {
    w.Short(p->pointType);
    w.SelectionByte(p->selected);
    w.Byte(p->detectable);
    w.Byte(p->locked);
    PutFloats(w, p->inHandle, 3);
    PutFloats(w, p->position, 3);
    PutFloats(w, p->outHandle, 3);
    PutFloats(w, p->linkVector, 3);
    PutTextureID(w, p->textureID[0]);
    PutTextureID(w, p->textureID[1]);
    w.Float(p->texU);
    w.Float(p->texV);
    w.Float(p->pathLength);
    w.Float(p->ringLength);
    PutColor(w, p->color[0]);
    PutColor(w, p->color[1]);
    w.Float(p->segmentElevation);
    w.Long(p->segmentLong1);
    w.Short(p->segmentShort1);
    w.Short(p->segmentShort2);
    w.Long(p->segmentFlags);
    PutSideTrim(w, p, obj, 0);
    PutFloats(w, p->segmentFloats, 2);
    PutSideTrim(w, p, obj, 1);
    w.Float(p->segmentFloats[2]);
    PutFloats(w, &p->segmentFloats[3], 2);
    PutScale(w, p->textureScale[0]);
    PutScale(w, p->textureScale[1]);
    w.ULong(p->pointID);
  }
}

void UpdateDeckSteps(Objex* deck, Poinz* point, Poinz* nextPoint) {
  DocState* ds = CurDocState();
  if (!deck || !point || !nextPoint || !ds || !(point->segmentFlags & 2)) return;
  // Nothing made (a segment too short for steps): no other steps may take the stored sizes.
  if (!AddDeckSteps(deck, point, nextPoint)) return;
  Objex* steps = deck->firstChild;
  while (steps && steps->next) steps = steps->next;
  if (!steps || !steps->typeData) return;
  auto* d = static_cast<DoorWindowData*>(steps->typeData);
  d->width = ConvertWorldToScreen(point->segmentFloats[1], ds, 0);
  d->height = ConvertWorldToScreen(point->segmentFloats[2], ds, 0);
  d->auxShort1 = (point->segmentFlags & 8) ? 1 : 0;
  d->auxShort2 = (point->segmentFlags & 16) ? 1 : 0;
  if (ReadIDScope* s = sActiveScope) {
    s->objectIDs.insert(steps->objectID);
    s->maxObjectID = std::max(s->maxObjectID, steps->objectID);
  }
}

// ---- Whole objects ----

namespace {

// What a group is written as depends on where it stands in the list of objects being written,
// never on what that list itself is written inside. A group at the top of its list (an object
// of a floor, or one of a list a record holds) opens a bracket with the group begin tag (a
// cabinet with its state: the cabinet begin tag and the state); a group inside a bracket of the
// same list opens one with the inner group begin tag. Each list a record holds (custom opening
// and skylight definitions, trim profiles) starts with no bracket open, and the brackets
// around the record are open again when it is done (ObjectListWriting): a reader of that list
// keeps its own brackets and meets every list alike, whatever stands around the record.
//
// The brackets open in the list being written.
int sOpenBrackets = 0;

// Writing one list held in a record: its brackets are its own.
class ObjectListWriting {
 public:
  ObjectListWriting() : around_(sOpenBrackets) { sOpenBrackets = 0; }
  ~ObjectListWriting() { sOpenBrackets = around_; }
  ObjectListWriting(const ObjectListWriting&) = delete;
  ObjectListWriting& operator=(const ObjectListWriting&) = delete;

 private:
  int around_;
};

// Opens a group's bracket: a cabinet with its state takes the cabinet tag and the state (the
// group's elevation put into it); any other group `plainTag`. Whether the cabinet tag was
// written.
bool WriteBracketOpening(Objex* group, int16_t plainTag) {
  if (group->subtype == kSubCabinet && group->typeData) {
    auto* state = static_cast<CabinetState*>(group->typeData);
    state->elevation = group->baseElevation;
    WriteShort(kTagCabinetBegin);
    DoWriteCabinetState(state);
    return true;
  }
  WriteShort(plainTag);
  return false;
}

void WriteListEntry(Objex* obj, bool top);

// The members of a group that is not bracketed, after its record: a group among them is
// written as its members.
void WriteGroupMembers(Objex* group) {
  for (Objex* c = group->firstChild; c; c = c->next) {
    if (c->type != kObjGroup) WriteListEntry(c, false);
    else if (!gScrapMode || IsObjectSelected(c)) WriteGroupMembers(c);
  }
}

// One object of the list being written; `top` when it stands at the list's top.
void WriteListEntry(Objex* obj, bool top) {
  if (!obj) return;
  if (gScrapMode && !IsObjectSelected(obj)) return;
  if (obj->type != kObjDimensionInfo) {
    WriteShort(kTagObject);
    WriteObjectInfo(obj);
    WriteObjectPoints(obj);
    WriteObjectData(obj);
  }
  const int16_t t = obj->type;
  if (t == kObjWall || t == kObjDeck || t == kObjRoof || t == kObjRoofPanel) return;
  // An empty group in a bracket is bracketed too: a reader drops a group record inside a bracket
  // that no bracket of its own follows (an older stream's group in a group, its members flat).
  const bool emptyInner = t == kObjGroup && !obj->firstChild && sOpenBrackets > 0;
  if (!obj->firstChild && !emptyInner) return;
  // A cabinet or a symbol put in a group stays one: the inner bracket closes with a tag of its
  // own, which a reader that does not know it passes over, taking the members as the outer
  // group's.
  const bool group = t == kObjGroup && (emptyInner || obj->firstChild->type != 102);
  const bool inner = group && sOpenBrackets > 0;
  const bool bracket = group && (top || inner);
  // A cabinet group without its state is bracketed as a plain group: every reader expects
  // the state after a cabinet tag.
  const bool cabinet = bracket && WriteBracketOpening(obj, inner ? kTagInnerGroupBegin : kTagGroupBegin);
  if (!bracket && t == kObjGroup) {
    WriteGroupMembers(obj);
    return;
  }
  if (bracket) ++sOpenBrackets;
  for (Objex* c = obj->firstChild; c; c = c->next) WriteListEntry(c, false);
  if (!bracket) return;
  --sOpenBrackets;
  WriteShort(inner ? kTagInnerGroupEnd : cabinet ? kTagCabinetEnd : kTagGroupEnd);
}

}  // namespace

void WriteAnObject(Objex* obj) {
  if (obj) WriteListEntry(obj, !obj->parent);
}

void WriteObjectListEntry(Objex* obj) {
  ObjectListWriting list;
  WriteListEntry(obj, true);
}

namespace {

// The blank object a record is read into (white pen, black fill, weight 1, pen style 6); null
// without a layer, once the stream failed, or when records nest too deep (the stream fails).
Objex* NewRecordObject(Layer* layer) {
  if (!layer || StreamFailed()) return nullptr;
  if (sObjectNesting >= kMaxObjectNesting) {
    FailStream();
    return nullptr;
  }
  const RGBColor white = kWhite, black{};
  FloatRect empty = EmptyFloatRect();
  return CreateObject(0, 1, 1, &white, &black, 1.0f, 6, 0, &empty, nullptr, nullptr, nullptr, layer, nullptr);
}

// The info and point records of an object, its level and point counts settled on what was read.
void ReadObjectHead(Objex* obj) {
  ReadObjectInfo(obj);
  const int16_t levels = obj->levels;
  obj->levels = 0;
  obj->pointCount = 0;
  ReadObjectPoints(obj);
  SettleReadCounts(obj, levels);
}

}  // namespace

void GiveFenceDefaults(Objex* fence, const DocState* ds) {
  if (!fence) return;
  if (ds) {
    fence->params[0] = ds->fenceParam1;
    fence->params[1] = ds->fenceParam2;
    fence->params[2] = ds->fenceParam3;
    fence->params[3] = ds->fenceParam4;
    fence->params[4] = ds->fenceParam5;
  }
  fence->textureID1 = fence->textureID2 = 850;
  fence->textureID3 = 2200;
  fence->textureScale1 = fence->textureScale2 = fence->textureScale3 = {100, 100};
  fence->color1 = fence->color2 = fence->color3 = kWhite;
}

Objex* ReadAnObject(Layer* layer, uint8_t append) {
  Objex* obj = NewRecordObject(layer);
  if (!obj) return nullptr;
  // One scope for the object, its points and whatever its data holds: their stored IDs are
  // kept unique among themselves too.
  ScopeUnlessActive local;
  ++sObjectNesting;
  const int32_t v = sInputVersion;
  ReadObjectHead(obj);
  if (StreamFailed()) {
    --sObjectNesting;
    DeleteObj(obj);
    return nullptr;
  }

  const bool plant = obj->type == kObjPlant;
  const bool userPlant = plant && obj->subtype == kSubUserPlant;
  GivePlantInfoFromPoint(obj, userPlant, v);
  if (append && obj->type != kObjRoofSlopeArrow) AppendObjectToLayer(obj, layer);
  UpdateObjectBounds(obj);
  ReadObjectData(obj, layer);
  --sObjectNesting;
  if (StreamFailed() || (!obj->firstPoint && obj->type != kObjGroup)) {
    if (!StreamFailed()) ++sLeftOut.tooFewPoints;
    DeleteObj(obj);
    return nullptr;
  }
  GivePlantInfoFromPath(obj, userPlant, v);
  if (gOpenSymbol) SelectObj(obj, 1, 0);
  if (obj->type != kObjGroup) {
    SetTextureFaceUV(obj);
    SetObjectPointLengths(obj);
    UpgradeAndRebuild(obj, layer, v);
  }
  const bool oldStockPlant = plant && !userPlant && v < kVersionDesign10800 && obj->firstPoint &&
                             obj->firstPoint->textureID[0] >= 14050;
  // A slope arrow is remade with its roof panel: leaving it out loses nothing.
  const PointProblem problem = ObjectPointProblem(obj);
  if (oldStockPlant || obj->type == kObjRoofSlopeArrow || problem != PointProblem::kNone) {
    if (oldStockPlant) ++sLeftOut.oldStockPlants;
    else if (problem == PointProblem::kBadValue) ++sLeftOut.badPoints;
    else if (problem == PointProblem::kTooFewPoints) ++sLeftOut.tooFewPoints;
    DeleteObj(obj);
    return nullptr;
  }
  return obj;
}

namespace {

// The first roof of the design: layers in order, top-level objects in order.
const Objex* FirstRoof() {
  for (const Layer* l = gCurDocument ? gCurDocument->itsLayers : nullptr; l; l = l->next)
    for (const Objex* o = l->firstObject; o; o = o->next)
      if (o->type == kObjRoof) return o;
  return nullptr;
}

void SetPointTextures(Objex* obj, int32_t textureID) {
  for (Poinz* p = obj->firstPoint; p; p = p->next) p->textureID[0] = p->textureID[1] = textureID;
}

// What an object read from a template takes from the design and the tool defaults.
void CompleteTemplateObject(Objex* obj, Layer* layer, int32_t v) {
  DocState* ds = CurDocState();
  switch (obj->type) {
    case kObjWall:
      if (!UsableLength(obj->params[0]) || RoundedLength(obj->params[0]) < 1)
        obj->params[0] = layer ? layer->height : 0.0f;
      if (!UsableLength(obj->params[1]) || obj->params[1] < 6.0f) obj->params[1] = 16.0f;
      if (obj->textureID == 0) obj->textureID = 1700;
      if (ds) obj->width = ds->wallThickness;
      obj->textureID1 = 0;
      obj->color1 = kWhite;
      Update3DWall(obj);
      UpdateAllWallAttachments(obj);
      break;
    case kObjRoof:
      if (const Objex* roof = FirstRoof(); roof && roof != obj && roof->firstPoint) {
        obj->width = roof->width;
        for (Poinz* p = obj->firstPoint; p; p = p->next)
          for (int side = 0; side < 2; ++side) {
            p->textureID[side] = roof->firstPoint->textureID[side];
            p->color[side] = roof->firstPoint->color[side];
          }
      }
      Update3DRoof(obj);
      break;
    case kObjPath:
      obj->width = gPathDefaultWidth;
      SetPointTextures(obj, gPathDefaultTexture);
      Update3DPath(obj);
      break;
    case kObjEdging:
      SetPointTextures(obj, gEdgingDefaultTexture);
      UpdateEdgingObject(obj);
      break;
    case kObjFill:
      SetPointTextures(obj, gFillDefaultTexture);
      break;
    case kObjFence:
    {
      const bool older = v != kVersionDesign10800 && v != kVersionDesign10900 && v != kVersionDesign11000 &&
                         v != kVersionDesign11100;
      if (older && ds) obj->textureID = ds->fenceStyle;
      GiveFenceDefaults(obj, older ? ds : nullptr);
      UpdateFenceObject(obj);
    }
      break;
    case kObjFloor: case kObjCutout: case kObjCabinet: Update3DFloorSkirting(obj); break;
    case kObjStaircase: UpdateStairObject(obj); break;
    case kObjRailing: UpdateRailObject(obj); break;
    case kObjDeck: Update3DDeck(obj); break;
    case kObjPhotoView: Update3DPhoto(obj); break;
    case kObjTopoExcavation: Update3DTopoCutoutDepthObject(obj); break;
    default: break;
  }
}

}  // namespace

Objex* ReadATemplateObject(Layer* layer, uint8_t append) {
  if (!gCurDocument) return nullptr;
  Objex* obj = NewRecordObject(layer);
  if (!obj) return nullptr;
  ScopeUnlessActive local;
  ++sObjectNesting;
  const int32_t v = sInputVersion;
  ReadObjectHead(obj);
  const bool plant = obj->type == kObjPlant;
  const bool userPlant = plant && obj->subtype == kSubUserPlant;
  if (!StreamFailed()) GivePlantInfoFromPoint(obj, userPlant, v);
  if (!StreamFailed()) {
    if (append) AppendObjectToLayer(obj, layer);
    UpdateObjectBounds(obj);
    ReadObjectData(obj, layer);
  }
  --sObjectNesting;
  // A record cut short or damaged is no object at all, nor one with points that are not
  // numbers or lie beyond what a design holds.
  if (StreamFailed() || ObjectPointProblem(obj) == PointProblem::kBadValue) {
    DeleteObj(obj);
    return nullptr;
  }
  GivePlantInfoFromPath(obj, userPlant, v);
  if (gOpenSymbol) SelectObj(obj, 1, 0);
  if (obj->type == kObjGroup) return obj;
  SetTextureFaceUV(obj);
  SetObjectPointLengths(obj);
  CompleteTemplateObject(obj, layer, v);
  RenderSingleObject(obj);
  return obj;
}

void RebuildReadObject(Objex* obj, Layer* layer) {
  if (obj) UpgradeAndRebuild(obj, layer, kVersionDesign11100);
}

void ResetObjectsLeftOut() { sLeftOut = ObjectsLeftOut{}; }
ObjectsLeftOut ObjectsLeftOutSoFar() { return sLeftOut; }

namespace {
bool CarriesAttachmentsInItsData(int16_t t) {
  return t == kObjWall || t == kObjDeck || t == kObjRoof || t == kObjRoofPanel;
}

void SetLayerBelow(Objex* obj, Layer* layer) {
  for (Objex* c = obj->firstChild; c; c = c->next) {
    c->layer = layer;
    SetLayerBelow(c, layer);
  }
}
}  // namespace

void SettleReadCounts(Objex* obj, int16_t levels) {
  int32_t n = CountPoints(obj);
  obj->pointCount = n;
  obj->levels = (levels >= 1 && n > 0 && n % levels == 0) ? levels : 1;
}

void LinkReadGroupMember(Objex* group, Objex* obj, Objex** lastMember) {
  if (!group || !obj || group == obj) return;
  if (!CarriesAttachmentsInItsData(obj->type))
    while (Objex* c = obj->firstChild) DeleteObj(c);
  obj->parent = group;
  obj->layer = group->layer;
  obj->prev = obj->next = nullptr;
  SetLayerBelow(obj, group->layer);
  AppendChildToObject(obj, group);
  if (lastMember) *lastMember = obj;
}

void ReadGroupBracket::Open(Objex* g) {
  DropPending();
  group = inner = g;
  lastMember = nullptr;
  around_.clear();
  passedOver_ = 0;
}

void ReadGroupBracket::Close() {
  passedOver_ = 0;
  while (CloseInner()) {
  }
  Open(nullptr);
}

void ReadGroupBracket::DropPending() {
  if (pending_) DeleteObj(pending_);
  pending_ = nullptr;
}

Objex* ReadGroupBracket::Link(Objex* obj) {
  if (!group || !obj) return obj;
  DropPending();
  if (obj->type == kObjGroup) {
    pending_ = obj;
    return nullptr;
  }
  LinkReadGroupMember(inner, obj, &lastMember);
  return obj;
}

Objex* ReadGroupBracket::OpenInner() {
  Objex* g = pending_;
  if (!g || around_.size() >= kMaxInnerGroups) {
    if (g) ++sLeftOut.groupsTooDeep;
    DropPending();
    if (group) ++passedOver_;
    return nullptr;
  }
  pending_ = nullptr;
  LinkReadGroupMember(inner, g, &lastMember);
  around_.push_back({inner, lastMember});
  inner = g;
  lastMember = nullptr;
  return g;
}

Objex* ReadGroupBracket::CloseInner() {
  DropPending();
  if (passedOver_) {
    --passedOver_;
    return nullptr;
  }
  if (around_.empty()) return nullptr;
  Objex* done = inner;
  UpdateObjectRootBounds(done, 0, 1);
  inner = around_.back().group;
  lastMember = around_.back().lastMember;
  around_.pop_back();
  return done;
}

Objex* ReadGroupBracket::OpenCabinet(Objex* last) {
  CabinetState* state = DoReadCabinetState();
  Objex* target = pending_ ? pending_ : last;
  if (!target || target->type != kObjGroup) {
    free(state);
    if (group) ++passedOver_;  // an inner bracket's end may follow; it closes nothing
    return nullptr;
  }
  DeleteObjectData(target);
  target->typeData = state;
  if (state) {
    target->subtype = kSubCabinet;
    target->baseElevation = state->elevation;
  }
  if (target == pending_) return OpenInner();
  Open(target);
  return target;
}

void ReadGroupBracket::CloseCabinet() {
  if (group) UpdateObjectRootBounds(group, 0, 1);
  Close();
}

Objex* ReadEmbeddedObject(Layer* layer) {
  if (layer) return ReadAnObject(layer, 0);
  Layer scratch{};
  Objex* obj = ReadAnObject(&scratch, 0);
  DeleteObj(obj);
  return nullptr;
}

void ReadObjectList(int16_t endTag, Layer* layer, const std::function<bool(Objex*)>& take) {
  ReadGroupBracket bracket;
  Objex* last = nullptr;  // the object read last at the list's top, while the list keeps it
  auto close = [&bracket] {
    if (bracket.group) UpdateObjectRootBounds(bracket.group, 0, 1);
    bracket.Close();
  };
  while (!StreamAtEnd()) {
    int16_t tag = 0;
    ReadShort(&tag);
    if (StreamFailed() || tag == endTag) break;
    switch (tag) {
      case kTagGroupBegin:
        if (!bracket.IsOpen() && last && last->type == kObjGroup) bracket.Open(last);
        break;
      // Lists held in a record were once written with the inner tags for their top groups
      // when the record stood in a group: those open and close a top group's bracket too.
      case kTagInnerGroupBegin:
        if (bracket.IsOpen()) bracket.OpenInner();
        else if (last && last->type == kObjGroup) bracket.Open(last);
        break;
      case kTagCabinetBegin:
        bracket.OpenCabinet(bracket.IsOpen() ? nullptr : last);
        break;
      case kTagInnerGroupEnd:
        if (bracket.InInner()) bracket.CloseInner();
        else close();
        break;
      case kTagGroupEnd:
      case kTagCabinetEnd:
        close();
        break;
      default: {
        // Any other tag is followed by one object, as the earliest writers wrote every entry.
        Objex* obj = ReadEmbeddedObject(layer);
        if (bracket.IsOpen()) {
          bracket.Link(obj);
        } else if (obj) {
          last = take(obj) ? obj : nullptr;
        }
        break;
      }
    }
  }
  close();
}
