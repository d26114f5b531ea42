// The object records of every object stream: texture ID records, object info, point lists,
// writing one object entry and reading one object with the repairs older versions need.
#include "files/ObjectRecords.h"

#include <optional>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "files/AttachmentRecords.h"
#include "files/ByteStream.h"
#include "files/CabinetFile.h"
#include "files/FileTags.h"
#include "files/ObjectValidation.h"
#include "files/TypeData.h"
#include "model/Attachments.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/PendingServices.h"
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

int sObjectNesting = 0;
ReadIDScope* sActiveScope = nullptr;

uint8_t ReadByte() {
  uint8_t b = 0;
  ReadSome(&b, 1);
  return b;
}
void WriteByte(uint8_t b) { WriteSome(&b, 1); }

void ReadColor(RGBColor* c) {
  ReadUShort(&c->red);
  ReadUShort(&c->green);
  ReadUShort(&c->blue);
}
void WriteColor(const RGBColor& c) {
  WriteUShort(c.red);
  WriteUShort(c.green);
  WriteUShort(c.blue);
}
void ReadStdColor(RGBColor* c) {
  ReadStdUShort(&c->red);
  ReadStdUShort(&c->green);
  ReadStdUShort(&c->blue);
}
void ReadScale(ShortPoint* s) {
  ReadShort(&s->x);
  ReadShort(&s->y);
}
void WriteScale(const ShortPoint& s) {
  WriteShort(s.x);
  WriteShort(s.y);
}
void ReadStdRect(FloatRect* r) {
  ReadStdFloat(&r->floatTop);
  ReadStdFloat(&r->floatLeft);
  ReadStdFloat(&r->floatBottom);
  ReadStdFloat(&r->floatRight);
}
void WriteStdRect(const FloatRect& r) {
  WriteStdFloat(r.floatTop);
  WriteStdFloat(r.floatLeft);
  WriteStdFloat(r.floatBottom);
  WriteStdFloat(r.floatRight);
}
void ReadFloats(float* f, int n) {
  for (int i = 0; i < n; ++i) ReadFloat(&f[i]);
}
void WriteFloats(const float* f, int n) {
  for (int i = 0; i < n; ++i) WriteFloat(f[i]);
}

int32_t ReadSlotTexture(bool asRecord) {
  if (asRecord) return ReadTextureID();
  int32_t id = 0;
  ReadLong(&id);
  return id;
}

void FailStream() { gStream.readError = true; }

bool StoredIDsDropped() { return gScrapMode || gStream.useScrap || gUpdateID; }

// Settles the ID of a record just made (which took `id` from `counter`) against the one the
// stream stored. The first call of a scope fixes the limit below which stored IDs may be kept:
// every ID handed out during the read is at or above it, so a kept ID never meets one.
void AdoptID(uint32_t* id, uint32_t stored, uint32_t* counter, std::unordered_set<uint32_t>& used,
             uint32_t* maxID, bool* limitTaken, uint32_t* limit) {
  if (!*limitTaken) {
    *limitTaken = true;
    if (*counter <= *maxID) *counter = *maxID + 1;
    *limit = (*id + 1 == *counter && *id > *maxID) ? *id : *counter;
  }
  if (stored != 0 && stored < *limit && !used.count(stored) && !StoredIDsDropped()) {
    if (*counter == *id + 1) *counter = *id;
    *id = stored;
  } else if (used.count(*id)) {
    if (*counter <= *maxID) *counter = *maxID + 1;
    *id = (*counter)++;
  }
  used.insert(*id);
  *maxID = std::max(*maxID, *id);
}

void AdoptObjectID(Objex* obj, uint32_t stored) {
  ReadIDScope* s = sActiveScope;
  DocState* ds = CurDocState();
  if (!s || !ds) return;
  AdoptID(&obj->objectID, stored, &ds->nextObjectID, s->objectIDs, &s->maxObjectID,
          &s->objectLimitTaken, &s->objectLimit);
}

void AdoptPointID(Poinz* p, uint32_t stored) {
  ReadIDScope* s = sActiveScope;
  DocState* ds = CurDocState();
  if (!s || !ds) return;
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

// One side trim word of a point record; on a wall it becomes a TrimData.
void ReadSideTrim(Poinz* p, Objex* obj, int side, bool present) {
  int32_t word = 0;
  if (present) ReadLong(&word);
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

void WriteSideTrim(const Poinz* p, const Objex* obj, int side) {
  if (obj->type != kObjWall) {
    WriteLong(side == 0 ? p->trimWord1 : p->trimWord2);
    return;
  }
  const auto* t = static_cast<const TrimData*>(side == 0 ? p->trim1 : p->trim2);
  if (!t) {
    WriteLong(0);
    return;
  }
  WriteLong(kTrimCustomProfile);
  WriteTrimData(t);
}

void FreeTrim(void*& trim) {
  auto* t = static_cast<TrimData*>(trim);
  if (!t) return;
  DeleteObj(t->profileA);
  DeleteObj(t->profileB);
  free(t);
  trim = nullptr;
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

void UpgradeWall(Objex* wall, Layer* layer, int32_t v) {
  float h = layer ? layer->height : 0.0f;
  if (static_cast<int>(wall->params[0] + 0.5f) < 1) wall->params[0] = h;
  if (wall->params[1] < 6.0f) wall->params[1] = 16.0f;
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
      FreeTrim(p->trim1);
      FreeTrim(p->trim2);
      if (static_cast<int>(p->segmentFloats[0] + 0.5f) <= 0) p->segmentFloats[0] = h;
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

// Makes levels and pointCount agree with the points on the list.
void SettleCounts(Objex* obj, int16_t levels) {
  int32_t n = CountPoints(obj);
  obj->pointCount = n;
  obj->levels = (levels >= 1 && n > 0 && n % levels == 0) ? levels : 1;
}

bool PlantInfoCurrent(int32_t v) { return v >= kVersionDesign10750; }

}  // namespace

// ---- IDs ----

ReadIDScope::ReadIDScope() : outer_(sActiveScope) {
  sActiveScope = this;
  if (gCurDocument) {
    for (Layer* l = gCurDocument->itsLayers; l; l = l->next) CollectIDs(this, l->firstObject);
    Layer* topo = gCurDocument->itsTopoLayer;
    bool listed = false;
    for (Layer* l = gCurDocument->itsLayers; l; l = l->next) listed |= l == topo;
    if (topo && !listed) CollectIDs(this, topo->firstObject);
  }
}

ReadIDScope::~ReadIDScope() {
  if (DocState* ds = CurDocState()) {
    if (ds->nextObjectID <= maxObjectID) ds->nextObjectID = maxObjectID + 1;
    if (ds->nextPointID <= maxPointID) ds->nextPointID = maxPointID + 1;
  }
  sActiveScope = outer_;
}

ReadIDScope* ActiveReadIDScope() { return sActiveScope; }

namespace {
// Keeps `id` when it is non-zero, unused and below the counter; otherwise takes the counter.
uint32_t ValidateID(uint32_t id, uint32_t* counter, std::unordered_set<uint32_t>& used) {
  if (id == 0 || id >= *counter || used.count(id)) id = (*counter)++;
  used.insert(id);
  return id;
}
}  // namespace

uint32_t ValidateObjectID(uint32_t id) {
  DocState* ds = CurDocState();
  if (!ds) return id;
  std::optional<ReadIDScope> local;
  if (!sActiveScope) local.emplace();
  return ValidateID(id, &ds->nextObjectID, sActiveScope->objectIDs);
}

uint32_t ValidatePointID(uint32_t id) {
  DocState* ds = CurDocState();
  if (!ds) return id;
  std::optional<ReadIDScope> local;
  if (!sActiveScope) local.emplace();
  return ValidateID(id, &ds->nextPointID, sActiveScope->pointIDs);
}

// ---- Texture ID record ----

namespace {
int32_t ReadTextureIDRecord(bool std) {
  int32_t id = 0;
  std ? ReadStdLong(&id) : ReadLong(&id);
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

void ReadObjectInfo(Objex* obj) {
  DocState* ds = CurDocState();
  if (!obj || !ds) return;
  const int32_t v = sInputVersion;
  const int g = RecordGroup(v);

  ReadShort(&obj->type);
  if (obj->type == kObjGroup && v >= kVersionDesign10700) {
    int32_t marker = 0;
    ReadLong(&marker);
    obj->groupMarker = marker;
  }
  obj->closed = ReadByte();
  obj->visible = ReadByte();
  ReadColor(&obj->penColor);
  for (uint16_t& o : obj->options) ReadUShort(&o);
  ReadColor(&obj->fillColor);
  ReadFloat(&obj->width);
  ReadShort(&obj->penStyle);
  ReadShort(&obj->fillPattern);
  ReadShort(&obj->levels);
  ReadLong(&obj->pointCount);
  obj->capped = ReadByte();
  ReadShort(&obj->direction);
  obj->textureID = ReadSlotTexture(g >= 5);
  ReadStdRect(&obj->textureRect);
  ReadStdRect(&obj->textureRect2);
  ReadShort(&obj->auxShort);
  ReadFloat(&obj->plantAge);
  if (g >= 1) {
    ReadLong(&obj->subtype);
    obj->textureID1 = ReadSlotTexture(g >= 4);
    obj->textureID2 = ReadSlotTexture(g >= 4);
    ReadColor(&obj->color1);
    ReadColor(&obj->color2);
  }
  if (g >= 2) {
    ReadFloat(&obj->baseElevation);
    obj->auxFlag = ReadByte();
    obj->textureID3 = ReadSlotTexture(g >= 4);
    ReadColor(&obj->color3);
  }
  if (g >= 3) {
    obj->textureID4 = ReadSlotTexture(g >= 4);
    ReadColor(&obj->color4);
    ReadScale(&obj->textureScale1);
    ReadScale(&obj->textureScale2);
    ReadScale(&obj->textureScale3);
    ReadScale(&obj->textureScale4);
    ReadScale(&obj->textureScale);
  }
  if (g >= 2) ReadLong(&obj->planMask);
  if (g >= 1) ReadFloats(obj->params, 4);
  if (g >= 2) ReadFloat(&obj->params[4]);
  if (g >= 1) {
    ReadLong(&obj->extraLong);
    ReadLong(&obj->extraFlags);
  }
  if (g >= 5) {
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
  if (g >= 4) ReadULong(&storedID);
  AdoptObjectID(obj, g >= 4 ? storedID : 0);

  if (v < kVersionDesign10450) {
    if (obj->textureID1) obj->color1 = kWhite;
    if (obj->textureID2) obj->color2 = kWhite;
    if (obj->textureID3) obj->color3 = kWhite;
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
  WriteShort(obj->type);
  if (obj->type == kObjGroup) WriteLong(static_cast<int32_t>(obj->groupMarker));
  WriteByte(obj->closed);
  WriteByte(obj->visible);
  WriteColor(obj->penColor);
  for (uint16_t o : obj->options) WriteUShort(o);
  WriteColor(obj->fillColor);
  WriteFloat(obj->width);
  WriteShort(obj->penStyle);
  WriteShort(obj->fillPattern);
  WriteShort(obj->levels);
  WriteLong(obj->pointCount);
  WriteByte(obj->capped);
  WriteShort(obj->direction);
  WriteTextureID(obj->textureID);
  WriteStdRect(obj->textureRect);
  WriteStdRect(obj->textureRect2);
  WriteShort(obj->auxShort);
  WriteFloat(obj->plantAge);
  WriteLong(obj->subtype);
  WriteTextureID(obj->textureID1);
  WriteTextureID(obj->textureID2);
  WriteColor(obj->color1);
  WriteColor(obj->color2);
  WriteFloat(obj->baseElevation);
  WriteByte(obj->auxFlag);
  WriteTextureID(obj->textureID3);
  WriteColor(obj->color3);
  WriteTextureID(obj->textureID4);
  WriteColor(obj->color4);
  WriteScale(obj->textureScale1);
  WriteScale(obj->textureScale2);
  WriteScale(obj->textureScale3);
  WriteScale(obj->textureScale4);
  WriteScale(obj->textureScale);
  WriteLong(obj->planMask);
  WriteFloats(obj->params, 5);
  WriteLong(obj->extraLong);
  WriteLong(obj->extraFlags);
  int32_t n = obj->name ? static_cast<int32_t>(strlen(obj->name)) : 0;
  WriteLong(n);
  if (n > 0) WriteSome(obj->name, static_cast<uint32_t>(n));
  WriteULong(obj->objectID);
}

// ---- Point list ----

void ReadObjectPoints(Objex* obj) {
  if (!obj || !CurDocState()) return;
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
  Poinz* prev = nullptr;
  for (int32_t i = 0; i < n && !StreamFailed(); ++i) {
    Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, obj);
    if (!p) {
      FailStream();
      break;
    }
    ReadShort(&p->pointType);
    p->selected = ReadByte();
    p->detectable = ReadByte();
    p->locked = ReadByte();
    ReadFloats(p->inHandle, 3);
    ReadFloats(p->position, 3);
    ReadFloats(p->outHandle, 3);
    ReadFloats(p->linkVector, 3);
    p->textureID[0] = ReadTextureID();
    p->textureID[1] = ReadTextureID();
    ReadFloat(&p->texU);
    ReadFloat(&p->texV);
    ReadFloat(&p->pathLength);
    ReadFloat(&p->ringLength);
    if (v < kVersionDesign10450) {
      ReadStdColor(&p->color[0]);
      ReadStdColor(&p->color[1]);
    } else {
      ReadColor(&p->color[0]);
      ReadColor(&p->color[1]);
    }
    if (g >= 2) {
      ReadFloat(&p->segmentElevation);
      ReadLong(&p->segmentLong1);
      ReadShort(&p->segmentShort1);
      ReadShort(&p->segmentShort2);
    }
    const bool side2 = v == kVersionDesign10350 || v == kVersionDesign10351 || g >= 2;
    if (g >= 1) {
      ReadLong(&p->segmentFlags);
      ReadSideTrim(p, obj, 0, true);
      ReadFloats(p->segmentFloats, 2);
    } else {
      ReadSideTrim(p, obj, 0, false);
    }
    ReadSideTrim(p, obj, 1, side2);
    if (side2) ReadFloat(&p->segmentFloats[2]);
    if (g >= 2) ReadFloats(&p->segmentFloats[3], 2);
    if (g >= 3) {
      ReadScale(&p->textureScale[0]);
      ReadScale(&p->textureScale[1]);
    }
    uint32_t storedID = 0;
    if (g >= 4) ReadULong(&storedID);
    AdoptPointID(p, g >= 4 ? storedID : 0);

    if (v < kVersionDesign10450) {
      if (p->textureID[0]) p->color[0] = kWhite;
      if (p->textureID[1]) p->color[1] = kWhite;
    }
    if (deckSteps && prev) UpdateDeckSteps(obj, prev, p);
    if (obj->type == kObjRoof && v < kVersionDesign10450) {
      p->color[1] = p->color[0];
      if (p->textureID[0]) p->color[0] = kWhite;
    }
    AppendPointToObject(p, obj);
    prev = p;
  }
  if (deckSteps && obj->closed && prev && prev != obj->firstPoint)
    UpdateDeckSteps(obj, prev, obj->firstPoint);
}

void WriteObjectPoints(const Objex* obj) {
  if (!obj) return;
  WriteLong(CountPoints(obj));
  for (const Poinz* p = obj->firstPoint; p; p = p->next) {
    WriteShort(p->pointType);
    WriteByte(p->selected);
    WriteByte(p->detectable);
    WriteByte(p->locked);
    WriteFloats(p->inHandle, 3);
    WriteFloats(p->position, 3);
    WriteFloats(p->outHandle, 3);
    WriteFloats(p->linkVector, 3);
    WriteTextureID(p->textureID[0]);
    WriteTextureID(p->textureID[1]);
    WriteFloat(p->texU);
    WriteFloat(p->texV);
    WriteFloat(p->pathLength);
    WriteFloat(p->ringLength);
    WriteColor(p->color[0]);
    WriteColor(p->color[1]);
    WriteFloat(p->segmentElevation);
    WriteLong(p->segmentLong1);
    WriteShort(p->segmentShort1);
    WriteShort(p->segmentShort2);
    WriteLong(p->segmentFlags);
    WriteSideTrim(p, obj, 0);
    WriteFloats(p->segmentFloats, 2);
    WriteSideTrim(p, obj, 1);
    WriteFloat(p->segmentFloats[2]);
    WriteFloats(&p->segmentFloats[3], 2);
    WriteScale(p->textureScale[0]);
    WriteScale(p->textureScale[1]);
    WriteULong(p->pointID);
  }
}

void UpdateDeckSteps(Objex* deck, Poinz* point, Poinz* nextPoint) {
  DocState* ds = CurDocState();
  if (!deck || !point || !nextPoint || !ds || !(point->segmentFlags & 2)) return;
  AddDeckSteps(deck, point, nextPoint);
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

void WriteAnObject(Objex* obj) {
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
  if (!obj->firstChild) return;
  const bool bracket = t == kObjGroup && !obj->parent && obj->firstChild->type != 102;
  // A cabinet group without its state is bracketed as a plain group: every reader expects
  // the state after a cabinet tag.
  const bool cabinet = bracket && obj->subtype == kSubCabinet && obj->typeData;
  if (cabinet) {
    auto* state = static_cast<CabinetState*>(obj->typeData);
    state->elevation = obj->baseElevation;
    WriteShort(kTagCabinetBegin);
    DoWriteCabinetState(state);
  } else if (bracket) {
    WriteShort(kTagGroupBegin);
  }
  for (Objex* c = obj->firstChild; c; c = c->next) WriteAnObject(c);
  if (bracket) WriteShort(cabinet ? kTagCabinetEnd : kTagGroupEnd);
}

Objex* ReadAnObject(Layer* layer, uint8_t append) {
  if (!layer || StreamFailed()) return nullptr;
  if (sObjectNesting >= kMaxObjectNesting) {
    FailStream();
    return nullptr;
  }
  const RGBColor white = kWhite, black{};
  FloatRect empty = EmptyFloatRect();
  Objex* obj = CreateObject(0, 1, 1, &white, &black, 1.0f, 6, 0, &empty, nullptr, nullptr, nullptr,
                            layer, nullptr);
  if (!obj) return nullptr;
  ++sObjectNesting;
  const int32_t v = sInputVersion;

  ReadObjectInfo(obj);
  const int16_t levels = obj->levels;
  obj->levels = 0;
  obj->pointCount = 0;
  ReadObjectPoints(obj);
  SettleCounts(obj, levels);
  if (StreamFailed()) {
    --sObjectNesting;
    DeleteObj(obj);
    return nullptr;
  }

  const bool plant = obj->type == kObjPlant;
  const bool userPlant = plant && obj->subtype == kSubUserPlant;
  if (plant && obj->firstPoint && (!PlantInfoCurrent(v) || !userPlant) && !obj->plantInfo)
    obj->plantInfo = CreatePlantInfo(obj->firstPoint->textureID[0]);
  if (append && obj->type != kObjRoofSlopeArrow) AppendObjectToLayer(obj, layer);
  UpdateObjectBounds(obj);
  ReadObjectData(obj, layer);
  --sObjectNesting;
  if (StreamFailed() || (!obj->firstPoint && obj->type != kObjGroup)) {
    DeleteObj(obj);
    return nullptr;
  }
  if (userPlant && PlantInfoCurrent(v) && !obj->plantInfo)
    obj->plantInfo = CreateUserPlantInfo(static_cast<const char*>(obj->typeData));
  if (gOpenSymbol) SelectObj(obj, 1, 0);
  if (obj->type != kObjGroup) {
    SetTextureFaceUV(obj);
    SetObjectPointLengths(obj);
    UpgradeAndRebuild(obj, layer, v);
  }
  const bool oldStockPlant = plant && !userPlant && v < kVersionDesign10800 && obj->firstPoint &&
                             obj->firstPoint->textureID[0] >= 14050;
  if (oldStockPlant || obj->type == kObjRoofSlopeArrow || IsObjectPointValuesInvalid(obj)) {
    DeleteObj(obj);
    return nullptr;
  }
  return obj;
}

Objex* ReadEmbeddedObject(Layer* layer) {
  if (layer) return ReadAnObject(layer, 0);
  Layer scratch{};
  Objex* obj = ReadAnObject(&scratch, 0);
  DeleteObj(obj);
  return nullptr;
}
