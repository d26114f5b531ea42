// The type data that follows an object's point list: wall and deck attachment lists, roof
// attachment lists, plant and photo image paths, text records and older dimension records.
#include "files/TypeData.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/AttachmentRecords.h"
#include "files/DesignFile.h"
#include "files/ByteStream.h"
#include "files/FileTags.h"
#include "files/ObjectRecords.h"
#include "files/SideBlocks.h"
#include "model/Attachments.h"
#include "model/CommandWalkers.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DimensionRecords.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"
#include "platform/ContentPaths.h"

namespace {

// Stored plant paths longer than this are refused.
constexpr int32_t kMaxPlantPath = 511;
// The smallest attachment list entry is its tag.
constexpr uint32_t kMinEntryBytes = 2;

void FailStream() { gStream.readError = true; }

bool IsWallAttachmentType(int16_t t) {
  return t == kObjDoor || t == kObjWindow || t == kObjDeckSteps || t == kObjComponent ||
         t == kObjAccessory;
}

void AppendChild(Objex* parent, Objex* child) { AppendChildToObject(child, parent); }

// A child object made like ReadAnObject makes its objects; its info and points are read and
// its counts made to agree with the points read.
Objex* ReadChildRecords(Layer* layer) {
  const RGBColor white{65535, 65535, 65535}, black{};
  FloatRect empty = EmptyFloatRect();
  Objex* obj = CreateObject(0, 1, 1, &white, &black, 1.0f, 6, 0, &empty, nullptr, nullptr, nullptr,
                            layer, nullptr);
  if (!obj) {
    FailStream();  // the entry cannot be consumed; the stream cannot be parsed further
    return nullptr;
  }
  ReadObjectInfo(obj);
  int16_t levels = obj->levels;
  obj->pointCount = 0;
  ReadObjectPoints(obj);
  SettleReadCounts(obj, levels);
  return obj;
}

bool ReadListCount(int32_t* n) {
  ReadLong(n);
  if (*n <= 0) return false;
  if (static_cast<uint32_t>(*n) > GetRemaining() / kMinEntryBytes) {
    FailStream();
    return false;
  }
  return true;
}

void ReadAttachmentList(Objex* parent, Layer* layer, int16_t expectedTag) {
  int32_t n = 0;
  if (!ReadListCount(&n)) return;
  const bool deck = expectedTag == kTagDeckAttachment;
  Objex* firstNew = nullptr;
  for (int32_t i = 0; i < n && !StreamFailed(); ++i) {
    int16_t tag = 0;
    ReadShort(&tag);
    if (tag != expectedTag) continue;
    Objex* att = ReadChildRecords(layer);
    if (!att) break;
    auto* record = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    if (!record) {
      FailStream();
      DeleteObj(att);
      break;
    }
    if (sInputVersion >= kVersionDesign10800) ReadObjectAttachment(record, att, layer);
    else ReadObjectAttachment75(record, att);
    record->faces = nullptr;
    record->linkPrev = record->linkNext = nullptr;
    if (deck) {
      for (Objex** list : {&record->maskObject, &record->definitionParts, &record->definitionLeafParts,
                           &record->extraParts1, &record->extraParts2, &record->extraParts3,
                           &record->extraParts4, &record->trimSlotA.profile, &record->trimSlotB.profile}) {
        DeletePartList(*list);
        *list = nullptr;
      }
    }
    // Only the attachment kinds own a DoorWindowData; any other kind is dropped.
    if (StreamFailed() || !IsWallAttachmentType(att->type)) {
      FreeReadAttachmentRecord(record);
      DeleteObj(att);
      continue;
    }
    att->typeData = record;
    att->firstChild = nullptr;
    AppendChild(parent, att);
    if (!firstNew) firstNew = att;
    UpdateObjectBounds(att);
  }
  for (Objex* c = firstNew; c; c = c->next) WallAttachmentsIndexToHdl(c, parent);
}

void WriteAttachmentList(Objex* parent, int16_t tag) {
  AllWallAttachmentsHdlToIndex(parent);
  int32_t n = 0;
  for (Objex* c = parent->firstChild; c; c = c->next) ++n;
  WriteLong(n);
  for (Objex* c = parent->firstChild; c; c = c->next) {
    WriteShort(tag);
    WriteObjectInfo(c);
    WriteObjectPoints(c);
    WriteObjectAttachment(AttachmentData(c));
  }
  AllWallAttachmentsIndexToHdl(parent);
}

void ReadRoofAttachmentList(Objex* roof, Layer* layer) {
  int32_t n = 0;
  if (!ReadListCount(&n)) return;
  for (int32_t i = 0; i < n && !StreamFailed(); ++i) {
    int16_t tag = 0;
    ReadShort(&tag);
    if (tag != kTagRoofAttachment) continue;
    Objex* att = ReadChildRecords(layer);
    if (!att) break;
    UpdateObjectBounds(att);
    att->layer = roof->layer;
    auto* record = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
    if (!record) {
      FailStream();
      DeleteObj(att);
      break;
    }
    ReadRoofAttachment(record, att, layer);
    if (StreamFailed() || (att->type != kObjSkylight && att->type != kObjDormerCutout)) {
      FreeReadRoofRecord(record);
      DeleteObj(att);
      continue;
    }
    att->typeData = record;
    AppendChild(roof, att);
    if (record->ownerType == kObjSkylight && record->subtype == kSkylightCustom) {
      const Float3DRect& b = att->bounds3D;
      CreateCustomSkylightSymbols(att, (b.floatLeft + b.floatRight) / 2, (b.floatBack + b.floatFront) / 2,
                                  record->floats[3]);
    } else if (att->type == kObjSkylight) {
      CreateSkylightFillerPlane(att, 1);
      CreateSkylightFillerPlane(att, 0);
    }
  }
}

void WriteRoofAttachmentList(Objex* roof) {
  int32_t n = 0;
  for (Objex* c = roof->firstChild; c; c = c->next)
    n += c->type == kObjSkylight || c->type == kObjDormerCutout;
  WriteLong(n);
  for (Objex* c = roof->firstChild; c; c = c->next) {
    if (c->type != kObjSkylight && c->type != kObjDormerCutout) continue;
    WriteShort(kTagRoofAttachment);
    WriteObjectInfo(c);
    WriteObjectPoints(c);
    WriteRoofAttachment(static_cast<const RoofAttachmentData*>(c->typeData));
  }
}

// Reads Long n and n bytes into a new NUL-terminated string; null for n <= 0, a length the
// input cannot hold (stream failed) or a failed allocation (bytes skipped).
char* ReadPathBytes(int32_t* length) {
  int32_t n = 0;
  ReadLong(&n);
  *length = n;
  if (n <= 0) return nullptr;
  if (static_cast<uint32_t>(n) > GetRemaining()) {
    FailStream();
    return nullptr;
  }
  char* s = static_cast<char*>(calloc(static_cast<size_t>(n) + 5, 1));
  if (!s) {
    SkipSome(static_cast<uint32_t>(n));
    return nullptr;
  }
  if (!ReadSome(s, static_cast<uint32_t>(n))) {
    free(s);
    return nullptr;
  }
  return s;
}

void WritePathBytes(const char* s) {
  int32_t n = s ? static_cast<int32_t>(strlen(s)) : 0;
  WriteLong(n);
  if (n > 0) WriteSome(s, static_cast<uint32_t>(n));
}

// Photo and user plant images take a new texture number for every slot and point side.
void GiveImageTextureNumber(Objex* obj) {
  int32_t id = gCurrentPhotoTextureID++;
  obj->textureID1 = obj->textureID2 = obj->textureID3 = id;
  for (Poinz* p = obj->firstPoint; p; p = p->next) p->textureID[0] = p->textureID[1] = id;
}

void ReadUserPlantPath(Objex* plant) {
  int32_t n = 0;
  char* stored = ReadPathBytes(&n);
  if (stored && n <= kMaxPlantPath) {
    char relative[kMaxPlantPath + 1];
    ConvertAbsolutePlantPathToRelative(stored, relative, sizeof relative);
    std::string folder = LocalDomainCustomPlantPath();
    std::string full = folder;
    if (!full.empty() && full.back() != '/' && relative[0] != '/') full += '/';
    full += relative;
    free(plant->typeData);
    plant->typeData = strdup(full.c_str());
  }
  free(stored);
  GiveImageTextureNumber(plant);
}

void ReadPhotoPath(Objex* photo) {
  int32_t n = 0;
  char* path = ReadPathBytes(&n);
  if (!path) return;
  free(photo->sourceObject);
  photo->sourceObject = path;
  GiveImageTextureNumber(photo);
}

bool IsDimensionType(int16_t t) { return t >= 100 && t <= 108; }

// Older dimensions carried their text object and three values in their data.
void ConvertOldDimension(Objex* dim, Layer* layer) {
  int16_t tag = 0;
  ReadShort(&tag);
  if (tag == kTagDimensionText) {
    Objex* text = ReadChildRecords(layer);
    DimensionTextData record{};
    ReadShort(&record.fontNumber);
    ReadShort(&record.fontSize);
    uint8_t style = 0;
    ReadSome(&style, 1);
    record.fontStyle = style;
    ApplePortReadLOGFONT(&record.font);
    // No link back to the dimension: it keeps no record of its own that would clear the
    // link when it goes, so deleting the pair (closing the design) would follow a freed
    // dimension from its text box.
    record.dimension = nullptr;
    if (text && !StreamFailed()) {
      // Only a dimension text box owns a DimensionTextData.
      if (text->type == kObjDimensionInfo) {
        if (auto* copy = static_cast<DimensionTextData*>(malloc(sizeof(DimensionTextData)))) {
          *copy = record;
          text->typeData = copy;
        }
      }
      AppendObjectToLayer(text, layer);
      UpdateObjectBounds(text);
      if (gCurDocument) {
        SelectAllLayers(gCurDocument->itsLayers, 2, 0);
        SelectObj(dim, 1, 0);
        SelectObj(text, 1, 0);
        NoteReadSelection();
        gOverload = 0;
        gObjectCount = 0;
        SelectedObjectAllLayers(gCurDocument->itsLayers, 1, kCmdCountGroups, CommandArg::None());
        if (!gOverload) {
          gGroupLeader = nullptr;
          gObjectCount = 0;
          TopLevelObjectAllLayers(gCurDocument->itsLayers, kCmdCountObjects, CommandArg::None());
          if (gObjectCount > 1) TopLevelObjectAllLayers(gCurDocument->itsLayers, kCmdGroup, CommandArg::None());
        }
      }
    } else {
      DeleteObj(text);
    }
  }
  SkipSome(4 + 8);
  dim->typeData = nullptr;
  dim->subtype = dim->type;
}

}  // namespace

void ConvertAbsolutePlantPathToRelative(const char* path, char* out, size_t outSize) {
  if (!path || !out || outSize == 0) return;
  static constexpr char kMarker[] = "CustomPlants";
  constexpr size_t kMarkerLength = sizeof kMarker - 1;
  const size_t length = strlen(path);
  const char* found = nullptr;
  for (size_t i = 0; i + kMarkerLength <= length; ++i) {
    bool match = true;
    for (size_t k = 0; k < kMarkerLength && match; ++k)
      match = tolower(static_cast<unsigned char>(path[i + k])) == tolower(static_cast<unsigned char>(kMarker[k]));
    if (match) found = path + i;
  }
  const char* rest = found ? found + kMarkerLength + 1 : nullptr;
  if (!rest || rest > path + length || *rest == '\0') {
    strncpy(out, path, outSize - 1);
    out[outSize - 1] = '\0';
    return;
  }
  size_t n = 0;
  for (; rest[n] && n + 1 < outSize; ++n) out[n] = rest[n] == '\\' ? '/' : rest[n];
  out[n] = '\0';
}

void ReadObjectData(Objex* obj, Layer* layer) {
  if (!obj) return;
  const int32_t v = sInputVersion;
  switch (obj->type) {
    case kObjWall:
      ReadAttachmentList(obj, layer, kTagWallAttachment);
      return;
    case kObjDeck:
      if (v != kVersionDesign10000 && v != kVersionDesign10300 && v != kVersionDesign10350)
        ReadAttachmentList(obj, layer, kTagDeckAttachment);
      return;
    case kObjRoof:
    case kObjRoofPanel:
      if (v >= kVersionDesign10900) ReadRoofAttachmentList(obj, layer);
      return;
    case kObjPlant:
      if (obj->subtype == kSubUserPlant && v >= kVersionDesign10750) ReadUserPlantPath(obj);
      return;
    case kObjPhotoView:
      ReadPhotoPath(obj);
      return;
    case kObjDynamicText:
    case kObjText:
      ReadEnhancedTextData(obj);
      return;
    case 200:
      ReadTextData(obj);
      return;
    default:
      if (IsDimensionType(obj->type)) {
        if (obj->subtype != obj->type) ConvertOldDimension(obj, layer);
        obj->typeData = nullptr;
        obj->subtype = obj->type;
      }
      return;
  }
}

void WriteObjectData(Objex* obj) {
  if (!obj) return;
  switch (obj->type) {
    case kObjWall:
      WriteAttachmentList(obj, kTagWallAttachment);
      return;
    case kObjDeck:
      WriteAttachmentList(obj, kTagDeckAttachment);
      return;
    case kObjRoof:
    case kObjRoofPanel:
      WriteRoofAttachmentList(obj);
      return;
    case kObjPlant:
      if (obj->subtype == kSubUserPlant) WritePathBytes(static_cast<const char*>(obj->typeData));
      return;
    case kObjPhotoView:
      WritePathBytes(static_cast<const char*>(obj->sourceObject));
      return;
    case kObjDynamicText:
    case kObjText:
      WriteEnhancedTextData(obj);
      return;
    default:
      // A dimension whose subtype is not its type would be read as an older dimension:
      // such a one carries an empty older record so the stream stays in step.
      if (IsDimensionType(obj->type) && obj->subtype != obj->type) {
        WriteShort(0);
        WriteLong(0);
        WriteFloat(0);
        WriteFloat(0);
      }
      return;
  }
}
