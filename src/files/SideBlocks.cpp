// Black boxes, saved 3D views and text records.
#include "files/SideBlocks.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "files/ByteStream.h"
#include "files/StreamState.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LiveViews.h"
#include "model/Records.h"
#include "platform/Strings.h"

LOGFONT gTextFontInfo = [] {
  LOGFONT f{};
  f.lfHeight = -16;
  f.lfWeight = 400;
  strcpy(f.lfFaceName, "Arial");
  return f;
}();

void DoWriteBlackBoxes() {
  if (!gCurDocument) return;
  for (PlugInData* p = gCurDocument->itsPlugIns; p; p = p->next) {
    WriteShort(kTagBlackBox);
    WriteLong(p->plugInID);
    if (p->size > 0 && p->data) {
      WriteLong(p->size);
      WriteSome(p->data, static_cast<uint32_t>(p->size));
    } else {
      WriteLong(0);
    }
    WriteShort(kTagBlackBoxEnd);
  }
  WriteShort(kTagBlackBoxListEnd);
}

void DoReadBlackBoxes() {
  if (!gCurDocument) return;
  PlugInDataStore boxes;
  while (!StreamFailed() && GetMark() < GetLength()) {
    int16_t tag = 0;
    ReadShort(&tag);
    if (tag == kTagBlackBoxListEnd) break;
    if (tag != kTagBlackBox) continue;
    int32_t id = 0, size = 0;
    ReadLong(&id);
    ReadLong(&size);
    if (StreamFailed()) break;
    char* data = nullptr;
    if (size >= 1) {
      if (static_cast<uint32_t>(size) > GetRemaining() || size > kMaxBlackBoxSize) {
        SkipSome(static_cast<uint32_t>(size));  // sets the stream error
        break;
      }
      data = static_cast<char*>(calloc(1, static_cast<size_t>(size)));
      if (!data || !ReadSome(data, static_cast<uint32_t>(size))) {
        free(data);
        break;
      }
    }
    boxes.store(data, size >= 1 ? size : 0, id);
  }
}

static bool WritesLiveViews(int32_t v) {
  return v == kVersionDesign10900 || v == kVersionDesign11000 || v == kVersionDesign11100;
}

void DoWriteLiveViews() {
  if (!gCurDocument || !WritesLiveViews(sWriteVersion)) return;
  WriteLong(CountLiveViewsList());
  for (LiveViewsList* v = gCurDocument->itsLiveViews; v; v = v->next) {
    int32_t n = static_cast<int32_t>(strnlen(v->name, sizeof(v->name) - 1));
    WriteLong(n);
    WriteSome(v->name, static_cast<uint32_t>(n));
    WriteShort(v->navigationMode);
    WriteSome(&v->navigationSubMode, 1);
    for (float f : {v->flyPitch, v->flyAngle, v->walkAngle, v->walkPosition.floatH,
                    v->walkPosition.floatV, v->flyAltitude, v->walkElevation,
                    v->lookOffset.floatH, v->lookOffset.floatV})
      WriteFloat(f);
    WriteLong(v->viewSetting13);
    WriteShort(v->cutAwayPlane);
    WriteLong(v->viewSetting5);
    WriteSome(&v->viewSetting1, 1);
    WriteLong(v->viewSetting2);
    WriteSome(&v->topoFlag2, 1);
    WriteShort(v->viewSetting12);
    WriteSome(&v->viewSetting10, 1);
    WriteShort(v->viewSetting4);
    WriteSome(&v->shadowsOn, 1);
    WriteUShort(v->viewSetting3);
    WriteFloat(v->viewSetting11);
    WriteSome(&v->sunShadows, 1);
    WriteFloat(v->sunAngle1);
    WriteFloat(v->sunAngle2);
    WriteShort(v->sunSetting2);
    WriteFloat(v->viewSetting14);
    WriteFloat(v->viewSetting6);
    WriteSome(&v->viewSetting7, 1);
  }
}

void DoReadLiveViews() {
  DocState* ds = CurDocState();
  if (!ds || !WritesLiveViews(sInputVersion)) return;
  int32_t count = 0;
  ReadLong(&count);
  if (count <= 0 || StreamFailed()) return;
  ds->currentLiveViewName[0] = 0;
  DeleteLiveViewsList();
  LiveViewsList* last = nullptr;  // each view goes after the one before
  for (int32_t i = 0; i < count && !StreamFailed() && GetMark() < GetLength(); ++i) {
    int32_t n = 0;
    ReadLong(&n);
    // A name longer than the field or than the input is damage: stop here.
    if (StreamFailed() || n < 0 || static_cast<uint32_t>(n) > GetRemaining()) {
      SkipSome(GetRemaining() + 1);
      break;
    }
    LiveViewsList* v = AddLiveViewsListEntry(last);
    if (!v) break;
    last = v;
    memset(v->name, 0, sizeof(v->name));
    ReadFixedString(v->name, sizeof(v->name), static_cast<uint32_t>(n));
    ReadShort(&v->navigationMode);
    ReadSome(&v->navigationSubMode, 1);
    for (float* f : {&v->flyPitch, &v->flyAngle, &v->walkAngle, &v->walkPosition.floatH,
                     &v->walkPosition.floatV, &v->flyAltitude, &v->walkElevation,
                     &v->lookOffset.floatH, &v->lookOffset.floatV})
      ReadFloat(f);
    ReadLong(&v->viewSetting13);
    ReadShort(&v->cutAwayPlane);
    ReadLong(&v->viewSetting5);
    ReadSome(&v->viewSetting1, 1);
    ReadLong(&v->viewSetting2);
    ReadSome(&v->topoFlag2, 1);
    ReadShort(&v->viewSetting12);
    ReadSome(&v->viewSetting10, 1);
    ReadShort(&v->viewSetting4);
    ReadSome(&v->shadowsOn, 1);
    ReadUShort(&v->viewSetting3);
    ReadFloat(&v->viewSetting11);
    ReadSome(&v->sunShadows, 1);
    ReadFloat(&v->sunAngle1);
    ReadFloat(&v->sunAngle2);
    ReadShort(&v->sunSetting2);
    ReadFloat(&v->viewSetting14);
    ReadFloat(&v->viewSetting6);
    ReadSome(&v->viewSetting7, 1);
  }
}

void WriteEnhancedTextData(const Objex* obj) {
  const char* text = obj ? static_cast<const char*>(obj->typeData) : nullptr;
  int32_t n = text ? static_cast<int32_t>(strlen(text)) : 0;
  WriteLong(n);
  if (n > 0) WriteSome(text, static_cast<uint32_t>(n));
  LOGFONT font{};
  if (obj && obj->extraData) font = *static_cast<const LOGFONT*>(obj->extraData);
  ApplePortWriteLOGFONT(&font);
}

// Reads a Long length and that many bytes into a new NUL-terminated block; null for none.
static char* ReadTextBlock() {
  int32_t n = 0;
  ReadLong(&n);
  if (n <= 0 || StreamFailed()) return nullptr;
  if (static_cast<uint32_t>(n) > GetRemaining()) {
    SkipSome(static_cast<uint32_t>(n));  // sets the stream error
    return nullptr;
  }
  auto* text = static_cast<char*>(calloc(1, static_cast<size_t>(n) + 5));
  if (!text) {
    SkipSome(static_cast<uint32_t>(n));
    return nullptr;
  }
  ReadSome(text, static_cast<uint32_t>(n));
  return text;
}

static void SetTextAndFont(Objex* obj, char* text, const LOGFONT* font) {
  free(obj->typeData);
  free(obj->extraData);
  if (text) {
    obj->typeData = text;
    auto* copy = static_cast<LOGFONT*>(malloc(sizeof(LOGFONT)));
    if (copy) *copy = *font;
    obj->extraData = copy;
  } else {
    obj->typeData = strdup(LocalizedString("(empty)").c_str());
    auto* copy = static_cast<LOGFONT*>(malloc(sizeof(LOGFONT)));
    if (copy) *copy = gTextFontInfo;
    obj->extraData = copy;
  }
}

void ReadEnhancedTextData(Objex* obj) {
  if (!obj || !CurDocState()) return;
  char* text = ReadTextBlock();
  LOGFONT font{};
  ApplePortReadLOGFONT(&font);
  obj->params[1] = std::fabs(obj->bounds3D.floatRight - obj->bounds3D.floatLeft);
  obj->params[2] = std::fabs(obj->bounds3D.floatFront - obj->bounds3D.floatBack);
  SetTextAndFont(obj, text, &font);
}

void ReadTextData(Objex* obj) {
  if (!obj || !gCurDocument) return;
  obj->type = kObjText;
  obj->params[0] = 0;
  if (!CurDocState()) return;
  char* text = ReadTextBlock();
  int32_t m = 0;
  ReadLong(&m);
  if (m > 0) SkipSome(static_cast<uint32_t>(m));
  int16_t alignment = 0;
  ReadShort(&alignment);
  obj->extraLong = alignment == -1 ? 2 : alignment == 1 ? 1 : 0;
  LOGFONT font{};
  ApplePortReadLOGFONT(&font);
  SetTextAndFont(obj, text, &font);
}
