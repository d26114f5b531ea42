// Symbol files read into symbol objects (parts centred on the insertion point) and the two
// fixed symbol lists loaded once per process from the stock symbol folders.
#include "files/SymbolFile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/DocStateBlock.h"
#include "files/FileTags.h"
#include "files/ObjectRecords.h"
#include "files/StreamState.h"
#include "files/TemplateFile.h"
#include "files/TypeData.h"
#include "model/Bounds.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Records.h"
#include "model/TextureFace.h"
#include "platform/ContentPaths.h"
#include "platform/PathResolver.h"

Objex* gSymbol2DList = nullptr;
Objex* gSymbol3DList = nullptr;

namespace {

// Parts belong to no document; their layer field names this layer, which holds nothing
// and lives as long as the process, so no part ever refers to a freed layer.
Layer sSymbolPartLayer{};

constexpr float kMaxCoordinate = 1e6f;

bool HasInvalidPoint(const Objex* obj) {
  for (const Poinz* p = obj->firstPoint; p; p = p->next)
    for (float v : p->position)
      if (!(v <= kMaxCoordinate && v >= -kMaxCoordinate)) return true;
  return false;
}

void SettlePointCount(Objex* obj, int16_t levels) {
  int32_t n = 0;
  for (const Poinz* p = obj->firstPoint; p; p = p->next) ++n;
  obj->pointCount = n;
  obj->levels = (levels >= 1 && n > 0 && n % levels == 0) ? levels : 1;
}

// Moves every point of the object and of its children by (dx, 0, dz).
void ShiftObject(Objex* obj, float dx, float dz) {
  for (Poinz* p = obj->firstPoint; p; p = p->next) {
    p->position[0] += dx;
    p->position[2] += dz;
  }
  for (Objex* c = obj->firstChild; c; c = c->next) ShiftObject(c, dx, dz);
  UpdateObjectBounds(obj);
  // As a translate does: the texture rectangles follow the points.
  if (obj->type != kObjGroup) SetTextureFaceUV(obj);
}

const FixedSymbolFile kFixedSymbols[] = {
    {55, "RECSINGL", 1},        {65, "RECGFI", 2},          {66, "RECSW", 3},
    {67, "RECWP", 4},           {68, "RECFLR", 28},         {69, "RECCLG", 29},
    {70, "REC220", 5},          {71, "REC220FLR", 30},      {72, "REC220CLG", 31},
    {73, "SWSINGL", 6},         {74, "SW3WAY", 7},          {75, "SW4WAY", 8},
    {76, "SW5WAY", 9},          {77, "SWDIM", 10},          {78, "SWWP", 11},
    {79, "LTFIXTURE", 32},      {146, "LTRECESSEDUp", 33},  {147, "LtLandscapeUp", 34},
    {148, "LtLandscapeDn", 35}, {149, "LtLandscapePath", 36}, {150, "LtPointUp", 37},
    {151, "LtPointDn", 38},     {152, "LtPoint", 39},       {80, "LTRECESSED", 40},
    {81, "LTHVL", 41},          {82, "LTVL", 42},           {83, "LTFLOOD", 12},
    {84, "TVOUTLET", 13},       {85, "PHOUTLET", 14},       {86, "SMKDETECT", 15},
    {87, "THERMOST", 16},       {88, "CLGFAN", 43},         {90, "TOILET", 17},
    {91, "KIT1SINK", 18},       {92, "KIT2SINK", 19},       {93, "KIT3SINK", 20},
    {94, "OVALSINK", 21},       {95, "STDTUB", 22},         {96, "SPATUB", 23},
    {97, "SHOWER", 24},         {98, "WATERHTR", 44},       {99, "HOSEBIB", 25},
    {109, "GASBIB", 26},        {110, "FLRDRAIN", 45},      {122, "HVACAC", 46},
    {123, "HVACHEATPUMP", 47},  {124, "HVACBBHTR", 27},     {119, "HVACCLGREG", 48},
    {118, "HVACFLRREG", 49},    {121, "HVACFURNACE", 50},   {120, "HVACRETURN", 51},
};
constexpr size_t kFixedSymbolCount = sizeof(kFixedSymbols) / sizeof(kFixedSymbols[0]);
static_assert(kFixedSymbolCount == 51);

void LoadSymbolList(Objex** list, const std::string& folder, bool threeD) {
  if (*list) return;
  const FixedSymbolFile* order[kFixedSymbolCount] = {};
  for (const FixedSymbolFile& e : kFixedSymbols) {
    if (!threeD) {
      order[&e - kFixedSymbols] = &e;
    } else if (e.order3D >= 1 && static_cast<size_t>(e.order3D) <= kFixedSymbolCount) {
      order[e.order3D - 1] = &e;
    }
  }
  Objex* prev = nullptr;
  for (const FixedSymbolFile* e : order) {
    if (!e) continue;
    auto* entry = static_cast<Objex*>(calloc(1, sizeof(Objex)));
    if (!entry) break;
    entry->type = e->kind;
    if (!folder.empty()) {
      std::string path = ResolvePathIgnoringCase(folder + "/" + FixedSymbolFileName(*e, threeD));
      Symbol2DFileRead(path.c_str(), entry);
    }
    if (prev) {
      prev->next = entry;
      entry->prev = prev;
    } else {
      *list = entry;
    }
    prev = entry;
  }
}

}  // namespace

bool IsFixedCentreSymbolKind(int16_t t) {
  return std::find(std::begin(kFixtureKinds), std::end(kFixtureKinds), t) != std::end(kFixtureKinds);
}

void Append2DSymbolToParent(Objex* part, Objex* symbol) {
  if (!part || !symbol || part->type == kObjGroup) return;
  part->type = symbol->type;
  part->next = nullptr;
  Objex* last = symbol->firstChild;
  while (last && last->next) last = last->next;
  part->prev = last;
  if (last) last->next = part;
  else symbol->firstChild = part;
}

void Append3DSymbolToParent(Objex* part, Objex* object) {
  if (!part || !object || part->type == kObjGroup) return;
  part->next = nullptr;
  Objex* last = object->symbol3D;
  while (last && last->next) last = last->next;
  part->prev = last;
  if (last) last->next = part;
  else object->symbol3D = part;
}

Objex* ReadASymbol2DObject(Layer* layer, uint8_t append, Objex* symbol) {
  if (!layer || !symbol || !gCurDocument || StreamFailed()) return nullptr;
  const RGBColor white{65535, 65535, 65535}, black{};
  FloatRect empty = EmptyFloatRect();
  Objex* obj = CreateObject(0, 1, 1, &white, &black, 1.0f, 6, 0, &empty, nullptr, nullptr, nullptr,
                            layer, nullptr);
  if (!obj) return nullptr;
  ReadObjectInfo(obj);
  const int16_t levels = obj->levels;
  obj->levels = 0;
  obj->pointCount = 0;
  ReadObjectPoints(obj);
  SettlePointCount(obj, levels);
  if (!StreamFailed()) ReadObjectData(obj, layer);
  if (StreamFailed() || HasInvalidPoint(obj)) {
    DeleteObj(obj);
    return nullptr;
  }
  if (append && obj->type != kObjGroup) {
    // The part takes the symbol's kind, under which no type data is owned: what the record
    // carried goes now, while its own type still says how to free it. An object read without
    // appending keeps its type and so its data.
    DeleteObjectData(obj);
    // So are a wall's side trim records on its points.
    if (obj->type == kObjWall)
      for (Poinz* p = obj->firstPoint; p; p = p->next) {
        FreeTrimRecord(p->trim1);
        FreeTrimRecord(p->trim2);
      }
    // A photo view's image path is owned by its kind too (freed on delete only while the
    // object is a photo view).
    if (obj->type == kObjPhotoView) {
      free(obj->sourceObject);
      obj->sourceObject = nullptr;
    }
    Append2DSymbolToParent(obj, symbol);
  }
  UpdateObjectBounds(obj);
  SelectObj(obj, 1, 0);
  if (obj->type == kObjGroup) return obj;
  SetTextureFaceUV(obj);
  SetObjectPointLengths(obj);
  return obj;
}

void DoReadSymbol2DObjects(Objex* symbol) {
  if (!symbol || !gCurDocument) return;
  Layer* layer = gCurDocument->itsCurLayer;
  int16_t tag = 0;
  ReadShort(&tag);
  while (!StreamFailed() && tag != kTagObjectsEnd) {
    switch (tag) {
      case kTagLayer:
        ReadATemplateLayer();
        break;
      case kTagObject: {
        if (!layer) {
          ReadEmbeddedObject(nullptr);  // consumed and dropped
          break;
        }
        // Group records are not parts: their members follow as parts of their own.
        Objex* obj = ReadASymbol2DObject(layer, 1, symbol);
        if (obj && obj->type == kObjGroup) DeleteObj(obj);
        break;
      }
      default:
        // Group brackets only ever hold a group record, which is not kept.
        break;
    }
    if (GetMark() >= GetLength()) break;
    ReadShort(&tag);
  }
}

void Initialize2DSymbolObject(Objex* symbol) {
  if (!symbol || !symbol->firstChild) return;
  Float3DRect box = EmptyFloat3DRect();
  for (Objex* part = symbol->firstChild; part; part = part->next) GetObject3DBounds(part, 0, &box, 0);
  if (IsEmptyBounds(box)) return;
  const float dx = -(box.floatLeft + box.floatRight) / 2;
  const float dz = IsFixedCentreSymbolKind(symbol->type) ? -(box.floatBack + box.floatFront) / 2
                                                         : -box.floatBack;
  if (!std::isfinite(dx) || !std::isfinite(dz)) return;
  for (Objex* part = symbol->firstChild; part; part = part->next) ShiftObject(part, dx, dz);
}

int Symbol2DFileRead(const char* path, Objex* symbol) {
  if (!symbol || !path || !gCurDocument) return 0;
  if (!LoadInputFile(path, CheckDesignFileHead, CheckDesignStreamClaims)) return 0;
  ZLKDocumentModel scratch;
  scratch.itsCurLayer = &sSymbolPartLayer;
  int result = 0;
  {
    CurrentDocumentScope scope(&scratch);
    scratch.itsDocState = CreateDocState();
    // The parts' stored IDs stay unique among the parts of the file.
    ReadIDScope ids;
    DoReadHeader();
    if (scratch.itsDocState && !StreamFailed() && DoReadTemplateDocStateForVersion(sInputVersion) &&
        !StreamFailed()) {
      DoReadSymbol2DObjects(symbol);
      Initialize2DSymbolObject(symbol);
      result = 1;
    }
  }
  ReleaseInputBuffer();
  scratch.itsCurLayer = nullptr;
  ReleaseModelContents(&scratch);
  return result;
}

void DeleteSymbolObject(Objex* symbol) {
  if (!symbol) return;
  while (Objex* part = symbol->firstChild) {
    symbol->firstChild = part->next;
    part->prev = part->next = nullptr;
    part->layer = nullptr;
    part->parent = nullptr;
    DeleteObj(part);
  }
  free(symbol);
}

Objex* FindSymbolEntry(Objex* list, int16_t kind) {
  for (Objex* e = list; e; e = e->next)
    if (e->type == kind) return e;
  return nullptr;
}

const FixedSymbolFile* FixedSymbolFiles(size_t* count) {
  if (count) *count = kFixedSymbolCount;
  return kFixedSymbols;
}

std::string FixedSymbolFileName(const FixedSymbolFile& entry, bool threeD) {
  const bool lower = entry.kind >= 146 && entry.kind <= 152;
  return std::string(entry.stem) + (threeD ? "3D" : "2D") + (lower ? ".qtm" : ".QTM");
}

void Load2DSymbolList() { LoadSymbolList(&gSymbol2DList, LocalDomainOEMSym2DPath(), false); }
void Load3DSymbolList() { LoadSymbolList(&gSymbol3DList, LocalDomainOEMSym3DPath(), true); }
