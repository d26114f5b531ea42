// Object files: header, a skipped document-state block, then layer records (skipped) and
// parts with their own info and point records; and the writer of the same layout.
#include "files/ObjectFile.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "files/ByteStream.h"
#include "files/FileTags.h"
#include "files/ObjectRecords.h"
#include "model/CommandWalkers.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Palettes.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/TextureFace.h"
#include "platform/Alerts.h"
#include "platform/IniFile.h"
#include "platform/PathResolver.h"
#include "platform/Strings.h"

uint8_t gObjectStyle2D = 0;

namespace {

constexpr uint32_t kLayerRecordBytes = 256 + 2 + 4;
constexpr uint32_t kMinPointRecordBytes = 77;  // with plain texture IDs
constexpr float kCoordinateScale = 3.0f;
constexpr float kMaxCoordinate = 1e6f;
const RGBColor kWhiteColor{65535, 65535, 65535};

// The raw rectangles are four little-endian floats in memory order.
void ReadRawRect(FloatRect* r) {
  ReadStdFloat(&r->floatTop);
  ReadStdFloat(&r->floatLeft);
  ReadStdFloat(&r->floatBottom);
  ReadStdFloat(&r->floatRight);
}
void WriteRawRect(const FloatRect& r) {
  WriteStdFloat(r.floatTop);
  WriteStdFloat(r.floatLeft);
  WriteStdFloat(r.floatBottom);
  WriteStdFloat(r.floatRight);
}

void ReadScaledFloats(float* v) {
  for (int i = 0; i < 3; ++i) {
    ReadFloat(&v[i]);
    v[i] = static_cast<float>(v[i] / 3.0);
  }
}
void WriteScaledFloats(const float* v) {
  for (int i = 0; i < 3; ++i) WriteFloat(static_cast<float>(static_cast<double>(v[i]) * kCoordinateScale));
}

int32_t CountPoints(const Objex* obj) {
  int32_t n = 0;
  for (const Poinz* p = obj->firstPoint; p; p = p->next) ++n;
  return n;
}

bool HasInvalidPoint(const Objex* obj) {
  for (const Poinz* p = obj->firstPoint; p; p = p->next)
    for (float v : p->position)
      if (!(v <= kMaxCoordinate && v >= -kMaxCoordinate)) return true;
  return false;
}

// The colour a side shows: a palette link's colour entry (0..255 per component), else its own.
RGBColor SideColor(const Poinz* p, int side) {
  if (!IsTextureAPalette(p->textureID[side])) return p->color[side];
  RGBColor c = GetPaletteRGBColor(p->textureID[side]);
  auto widen = [](uint16_t v) { return static_cast<uint16_t>(std::min<uint16_t>(v, 255) * 257); };
  return {widen(c.red), widen(c.green), widen(c.blue)};
}

int16_t WrittenType(const Objex* obj) {
  const int16_t t = obj->type;
  if (t != kObjDetail && t != kObjSymbolPart3D && t != kObjSymbolPart2D) return t;
  if (obj->subtype == kObjCustomAttachmentPart) return kObjCustomAttachmentPart;
  return obj->closed ? kObjClosedPoly : kObjOpenPoly;
}

Objex* LastObjectOf(const Layer* layer) {
  Objex* o = layer ? layer->firstObject : nullptr;
  while (o && o->next) o = o->next;
  return o;
}

void ShowObjectFileAlert(const char* path) {
  std::string info = LocalizedString(
      "The file '%s' might be damaged or created with a more recent version of 3D Custom Formwerk");
  size_t at = info.find("%s");
  if (at != std::string::npos) info.replace(at, 2, path);
  ShowAlert("Unable to load the object file.", info, false);
}

}  // namespace

std::string ObjectStyleFilePath(const std::string& path) {
  if (path.size() <= 4) return {};
  return path.substr(0, path.size() - 3) + "OBD";
}

// ---- Header and document-state block ----

void OBJDoReadHeader() {
  ReadLong(&sInputVersion);
  ReadShort(&sInputPlatform);
}

void OBJDoWriteHeader() {
  WriteLong(kVersionObject10000);
  WriteShort(kPlatformApple);
}

void OBJDoReadDocState() {
  int32_t length = 0;
  ReadLong(&length);
  DocState* scratch = CreateDocState();
  if (!scratch) {
    SkipSome(kObjectDocStateBlockBytes);
    return;
  }
  ApplePortReadPaddedOBJDocState(scratch);
  free(scratch);
}

void ApplePortReadPaddedOBJDocState(DocState* docState) {
  if (!docState) return;
  SkipSome(kObjectDocStateBlockBytes);
}

// The length is written as 0 (readers never use it); the zeroed block after it keeps the
// files this writes readable by the reader, which always steps over a whole block.
void OBJDoWriteDocState() {
  static const uint8_t kZeroBlock[kObjectDocStateBlockBytes] = {};
  WriteLong(0);
  WriteSome(kZeroBlock, kObjectDocStateBlockBytes);
}

// ---- Layers ----

Layer* OBJReadALayer() {
  SkipSome(kLayerRecordBytes);
  return nullptr;
}

void OBJWriteALayer(const Layer* layer) {
  if (!layer) return;
  WriteShort(kTagLayer);
  WriteSome(layer->name, sizeof(layer->name));
  WriteByte(layer->visible);
  WriteByte(layer->selectable);
  WriteFloat(layer->height);
}

// ---- Object info ----

void OBJReadObjectInfo(Objex* obj) {
  if (!obj) return;
  ReadShort(&obj->type);
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
  obj->textureID = ReadTextureID();
  ReadRawRect(&obj->textureRect);
  ReadRawRect(&obj->textureRect2);
  ReadShort(&obj->auxShort);
  if (obj->type != kObjGroup) {
    if (gObjectStyle2D) {
      obj->type = kObjSymbolPart2D;
    } else {
      if (obj->type == kObjCustomAttachmentPart) {
        obj->subtype = kObjCustomAttachmentPart;
        obj->extraFlags = obj->fillPattern;
      }
      obj->type = kObjSymbolPart3D;
    }
  }
  if (DocState* ds = CurDocState())
    obj->planMask = gWorkbenchObject ? gWorkbenchObject->planMask : ds->newObjectPlanMask;
}

void OBJWriteObjectInfo(const Objex* obj) {
  if (!obj) return;
  WriteShort(WrittenType(obj));
  WriteByte(obj->closed);
  WriteByte(obj->visible);
  RGBColor pen = obj->penColor, fill = obj->fillColor;
  if (const Poinz* p = obj->firstPoint) {
    fill = SideColor(p, 0);
    pen = SideColor(p, 1);
  }
  WriteColor(pen);
  for (uint16_t o : obj->options) WriteUShort(o);
  WriteColor(fill);
  WriteFloat(obj->width);
  WriteShort(obj->penStyle);
  WriteShort(obj->fillPattern);
  WriteShort(obj->levels);
  WriteLong(CountPoints(obj));
  WriteByte(obj->capped);
  WriteShort(obj->direction);
  WriteTextureID(GetPaletteTextureID(obj->textureID));
  WriteRawRect(obj->textureRect);
  WriteRawRect(obj->textureRect2);
  WriteShort(obj->auxShort);
}

// ---- Points ----

void OBJReadObjectPoints(Objex* obj) {
  if (!obj || !CurDocState()) return;
  int32_t n = 0;
  ReadLong(&n);
  if (n <= 0) return;
  if (static_cast<uint32_t>(n) > GetRemaining() / kMinPointRecordBytes) {
    gStream.readError = true;
    return;
  }
  for (int32_t i = 0; i < n && !StreamFailed(); ++i) {
    Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, obj);
    if (!p) {
      gStream.readError = true;
      break;
    }
    ReadShort(&p->pointType);
    p->selected = ReadByte();
    p->detectable = ReadByte();
    p->locked = ReadByte();
    ReadScaledFloats(p->inHandle);
    ReadScaledFloats(p->position);
    ReadScaledFloats(p->outHandle);
    ReadScaledFloats(p->linkVector);
    p->textureID[0] = ReadTextureID();
    p->textureID[1] = ReadTextureID();
    ReadFloat(&p->texU);
    ReadFloat(&p->texV);
    ReadFloat(&p->pathLength);
    ReadFloat(&p->ringLength);
    if (StreamFailed()) {
      free(p);
      break;
    }
    p->color[0] = p->textureID[0] ? kWhiteColor : obj->fillColor;
    p->color[1] = p->textureID[1] ? kWhiteColor : obj->penColor;
    AppendPointToObject(p, obj);
    p->selected = 1;
  }
}

void OBJWriteObjectPoints(const Objex* obj) {
  if (!obj || !CurDocState()) return;
  WriteLong(CountPoints(obj));
  for (const Poinz* p = obj->firstPoint; p; p = p->next) {
    WriteShort(p->pointType);
    WriteByte(p->selected);
    WriteByte(p->detectable);
    WriteByte(p->locked);
    WriteScaledFloats(p->inHandle);
    WriteScaledFloats(p->position);
    WriteScaledFloats(p->outHandle);
    WriteScaledFloats(p->linkVector);
    WriteTextureID(GetPaletteTextureID(p->textureID[0]));
    WriteTextureID(GetPaletteTextureID(p->textureID[1]));
    WriteFloat(p->texU);
    WriteFloat(p->texV);
    WriteFloat(p->pathLength);
    WriteFloat(p->ringLength);
  }
}

void OBJReadObjectData(Objex*) {}

void OBJWriteObjectData(const Objex*) {}

// ---- Whole objects ----

Objex* OBJReadAnObject(Layer* layer, uint8_t append) {
  if (!layer || StreamFailed()) return nullptr;
  const RGBColor black{};
  FloatRect empty = EmptyFloatRect();
  Objex* obj = CreateObject(0, 1, 1, &kWhiteColor, &black, 1.0f, 6, 0, &empty, nullptr, nullptr,
                            nullptr, layer, nullptr);
  if (!obj) return nullptr;
  OBJReadObjectInfo(obj);
  const int16_t levels = obj->levels;
  OBJReadObjectPoints(obj);
  const int32_t n = CountPoints(obj);
  obj->pointCount = n;
  obj->levels = (levels >= 1 && n > 0 && n % levels == 0) ? levels : 1;
  if (StreamFailed() || HasInvalidPoint(obj) || (!obj->firstPoint && obj->type != kObjGroup)) {
    DeleteObj(obj);
    return nullptr;
  }
  if (append) AppendObjectToLayer(obj, layer);
  UpdateObjectBounds(obj);
  OBJReadObjectData(obj);
  SelectObj(obj, 1, 0);
  if (obj->type == kObjGroup) return obj;
  SetTextureFaceUV(obj);
  SetObjectPointLengths(obj);
  if (!gSymbarObjectDrop) RenderSingleObject(obj);
  return obj;
}

void OBJWriteAnObject(const Objex* obj) {
  if (!obj) return;
  if (obj->type != kObjDimensionInfo) {
    WriteShort(kTagObject);
    OBJWriteObjectInfo(obj);
    OBJWriteObjectPoints(obj);
  }
  if (obj->type == kObjWall || !obj->firstChild) return;
  const bool bracket = obj->type == kObjGroup && !obj->parent && obj->firstChild->type != 102;
  if (bracket) WriteShort(kTagGroupBegin);
  for (const Objex* c = obj->firstChild; c; c = c->next) OBJWriteAnObject(c);
  if (bracket) WriteShort(kTagGroupEnd);
}

bool OBJDoReadObjects() {
  if (!gCurDocument || !gCurDocument->itsCurLayer) return false;
  Layer* layer = gCurDocument->itsCurLayer;
  int16_t tag = 0;
  ReadShort(&tag);
  while (!StreamFailed()) {
    if (tag == kTagObjectsEnd) return true;
    if (tag == kTagLayer) {
      OBJReadALayer();
    } else if (tag == kTagObject) {
      // Group records never survive: their members follow as parts of their own.
      Objex* obj = OBJReadAnObject(layer, 1);
      if (obj && obj->type == kObjGroup) DeleteObjItem(obj);
    }
    if (GetMark() >= GetLength()) break;
    ReadShort(&tag);
  }
  return false;
}

void OBJDoWriteObjects() {
  if (!gCurDocument) return;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next) {
    OBJWriteALayer(l);
    for (const Objex* o = l->firstObject; o; o = o->next)
      if (IsObjectSelected(o)) OBJWriteAnObject(o);
  }
  WriteShort(kTagObjectsEnd);
}

// ---- Files ----

int ObjectFileRead(const char* path) {
  if (!gCurDocument || !path) return 0;
  std::string style = ObjectStyleFilePath(path);
  if (!style.empty() &&
      GetPrivateProfileInt("Style", "Object2D", 0, ResolvePathIgnoringCase(style).c_str()) == 1)
    gObjectStyle2D = 1;
  if (!LoadInputFile(path, [](const uint8_t* head, size_t size) {
        return CheckVersionHead(head, size, {kVersionObject10000, kVersionObject10001});
      })) {
    gObjectStyle2D = 0;
    return 0;
  }
  OBJDoReadHeader();
  const bool accepted = !StreamFailed() && (sInputVersion == kVersionObject10000 ||
                                            sInputVersion == kVersionObject10001);
  Layer* layer = gCurDocument->itsCurLayer;
  int result = 0;
  if (accepted && !layer) {
    result = 0;  // nowhere to put the parts
  } else {
    bool ok = false;
    if (accepted) {
      Objex* before = LastObjectOf(layer);
      OBJDoReadDocState();
      ok = !StreamFailed() && OBJDoReadObjects();
      if (!ok) {
        // A damaged file adds nothing.
        for (Objex* o = before ? before->next : layer->firstObject; o;) {
          Objex* next = o->next;
          DeleteObj(o);
          o = next;
        }
      }
    }
    if (!ok) ShowObjectFileAlert(path);
    result = ok ? 1 : 0;
  }
  ReleaseInputBuffer();
  gObjectStyle2D = 0;
  return result;
}

int ObjectFileWrite(const char* path) {
  if (!gCurDocument || !path) return 0;
  BeginOutputBuffer();
  OBJDoWriteHeader();
  OBJDoWriteDocState();
  OBJDoWriteObjects();
  const bool written = WriteOutputFile(path);
  ReleaseOutputBuffer();
  return written ? 1 : 0;
}
