// The plug-in exchange file: writers of every record and their reading mirrors.
#include "files/PlugInFile.h"

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>

#include "files/AttachmentRecords.h"
#include "files/ByteStream.h"
#include "files/CabinetFile.h"
#include "files/ObjectRecords.h"
#include "files/ObjectValidation.h"
#include "files/SideBlocks.h"
#include "files/StreamState.h"
#include "model/Attachments.h"
#include "model/CabinetState.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/ParallelObjects.h"
#include "model/ViewProjection.h"
#include "files/DesignFile.h"
#include "files/TopoGridFile.h"
#include "model/LiveViews.h"
#include "model/Palettes.h"
#include "model/Plants.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/TextureFace.h"
#include "platform/Strings.h"

namespace {

// Objects inside objects (trim profiles, definitions) nest at most this deep in a stream.
constexpr int kMaxNesting = 16;
// Roof definition parts of this type go to the last part list.
constexpr int16_t kObjRoofOtherPart = 165;
int sNesting = 0;

void Fail() { gStream.readError = true; }

// ---- Little-endian primitives ----
void W8(uint8_t v) { WriteSome(&v, 1); }
void W16(uint16_t v) { WriteStdUShort(v); }
void W32(uint32_t v) { WriteStdULong(v); }
void WF(float v) { WriteStdFloat(v); }
uint8_t R8() { return ReadByte(); }
uint16_t R16() { return ReadStdUShortValue(); }
uint32_t R32() { return ReadStdULongValue(); }
float RF() {
  float v = 0;
  ReadStdFloat(&v);
  return v;
}

void WStr(const char* s, size_t max = 1u << 30) {
  const size_t n = s ? strnlen(s, max) : 0;
  W32(static_cast<uint32_t>(n));
  if (n) WriteSome(s, static_cast<uint32_t>(n));
}
// A counted string: the count is checked against the bytes left before anything is made.
// Null (nothing stored) for a count of 0 or less; the stream fails for a count past the end.
char* RStrAlloc() {
  const int32_t n = static_cast<int32_t>(R32());
  if (n <= 0 || StreamFailed()) return nullptr;
  if (static_cast<uint32_t>(n) > GetRemaining()) {
    Fail();
    return nullptr;
  }
  char* s = static_cast<char*>(calloc(1, static_cast<size_t>(n) + 5));
  if (!s) {
    Fail();
    return nullptr;
  }
  ReadSome(s, static_cast<uint32_t>(n));
  return s;
}
// A counted string into a fixed field: cut to the field, all bytes consumed.
void RStrField(char* field, size_t size) {
  const int32_t n = static_cast<int32_t>(R32());
  if (n <= 0 || StreamFailed()) {
    field[0] = 0;
    return;
  }
  if (static_cast<uint32_t>(n) > GetRemaining()) {
    Fail();
    return;
  }
  ReadFixedString(field, size, static_cast<uint32_t>(n));
}
void SkipStr() { free(RStrAlloc()); }

void WColor(const RGBColor& c) {
  W16(c.red);
  W16(c.green);
  W16(c.blue);
}
void RColor(RGBColor* c) {
  c->red = R16();
  c->green = R16();
  c->blue = R16();
}
void WScale(ShortPoint s) {
  W16(static_cast<uint16_t>(s.x));
  W16(static_cast<uint16_t>(s.y));
}
void RScale(ShortPoint* s) {
  s->x = static_cast<int16_t>(R16());
  s->y = static_cast<int16_t>(R16());
}

// A texture ID field at the version being written.
void WTex(int32_t id) {
  const int32_t v = sWriteVersion;
  if (v < kVersionExchange8000) {
    W32(static_cast<uint32_t>(id));
    return;
  }
  if (v < kVersionExchange10000 && IsTextureAPalette(id)) id = GetPaletteTextureID(id);
  WriteStdTextureID(id);
}
int32_t RTex() {
  if (sInputVersion < kVersionExchange8000) return static_cast<int32_t>(R32());
  return ReadStdTextureID();
}

// A palette-linked slot takes the entry's colour and scale before it is written, in the design
// as in the file.
RGBColor PaletteColor16(int32_t id) {
  RGBColor c = GetPaletteRGBColor(id);
  if (c.red <= 255 && c.green <= 255 && c.blue <= 255)
    c = {static_cast<uint16_t>(c.red * 257), static_cast<uint16_t>(c.green * 257),
         static_cast<uint16_t>(c.blue * 257)};
  return c;
}
void ResolvePaletteSlot(int32_t id, ShortPoint* scale, RGBColor* color) {
  if (!IsTextureAPalette(id)) return;
  *color = PaletteColor16(id);
  *scale = GetPaletteTextureScale(id);
}
void WSlot(int32_t id, ShortPoint* scale, RGBColor* color) {
  ResolvePaletteSlot(id, scale, color);
  WTex(id);
  WScale(*scale);
  WColor(*color);
}
void RSlot(int32_t* id, ShortPoint* scale, RGBColor* color) {
  *id = RTex();
  RScale(scale);
  RColor(color);
}
void WTrimSlot(TrimSlot& s) {
  ShortPoint scale{s.textureWidth, s.textureHeight};
  WSlot(s.textureID, &scale, &s.color);
  s.textureWidth = scale.x;
  s.textureHeight = scale.y;
}
void RTrimSlot(TrimSlot* s) {
  ShortPoint scale{};
  RSlot(&s->textureID, &scale, &s->color);
  s->textureWidth = scale.x;
  s->textureHeight = scale.y;
}

void WRect(const FloatRect& r) {
  WF(r.floatTop);
  WF(r.floatLeft);
  WF(r.floatBottom);
  WF(r.floatRight);
}
void RRect(FloatRect* r) {
  r->floatTop = RF();
  r->floatLeft = RF();
  r->floatBottom = RF();
  r->floatRight = RF();
}

bool IsCustomStyle(int16_t style) { return style == kDoorCustom || style == kWindowCustom; }

// A count of entries of at least `minBytes` each: false (and the stream failed when the bytes
// left cannot hold them) for anything but a usable count.
bool RCount(int32_t* n, uint32_t minBytes) {
  *n = static_cast<int32_t>(R32());
  if (StreamFailed() || *n <= 0) return false;
  if (static_cast<uint32_t>(*n) > GetRemaining() / minBytes) {
    Fail();
    return false;
  }
  return true;
}

// An embedded object (trim profile, definition part): read on `layer` without being put on
// it, or read and dropped when there is no layer.
Objex* ReadEmbedded(Layer* layer) {
  if (layer) {
    Objex* obj = ReadAPlugInObject(layer, false);
    if (obj) obj->layer = nullptr;
    return obj;
  }
  Layer scratch{};
  DeleteObj(ReadAPlugInObject(&scratch, false));
  return nullptr;
}

// The objects between a begin tag already read and `endTag`: every other u16 is the tag of
// one object record. Ends also at the end of the input.
template <typename Take>
void ReadObjectsUntil(uint16_t endTag, Layer* layer, Take take) {
  while (!StreamAtEnd()) {
    const uint16_t tag = R16();
    if (StreamFailed() || tag == endTag) return;
    Objex* obj = ReadEmbedded(layer);
    if (StreamFailed()) {
      DeleteObj(obj);
      return;
    }
    if (obj) take(obj);
  }
}

// An embedded trim profile after its 210: none when 211 follows, else one object and 211.
Objex* ReadTrimProfile(Layer* layer) {
  R16();  // 210
  const uint16_t next = R16();
  if (StreamFailed() || next == kTagExchangeTrimObjectEnd) return nullptr;
  Objex* obj = ReadEmbedded(layer);
  R16();  // 211
  if (StreamFailed()) {
    DeleteObj(obj);
    return nullptr;
  }
  return obj;
}

void WriteProfile(Objex* profile) {
  W16(kTagExchangeTrimObjectBegin);
  WriteAPlugInObject(profile);
  W16(kTagExchangeTrimObjectEnd);
}

bool WritesTrimBlocks(int32_t v) { return v >= kVersionExchange8000; }

}  // namespace

bool IsExchangeVersion(int32_t v) {
  return v == kVersionExchange5000 || v == kVersionExchange7500 || v == kVersionExchange8000 ||
         v == kVersionExchange9000 || v == kVersionExchange10000 || v == kVersionExchange11000;
}

int32_t ExchangeWriteVersion(int32_t fileVersion) {
  if (fileVersion >= kVersionExchange11000) return kVersionExchange11000;
  return IsExchangeVersion(fileVersion) ? fileVersion : kVersionExchange11000;
}

// ---- Header ----

void DoWritePlugInHeader() {
  W32(gCurDocument ? static_cast<uint32_t>(gCurDocument->itsDocID) : 0);
  W32(static_cast<uint32_t>(sWriteVersion));
  W16(static_cast<uint16_t>(kPlatformApple));
  WStr("not used");
  WStr("not used");
}

// ---- Document state ----

namespace {

// The height is stored negated; the negation wraps, so the lowest height comes back as itself.
void WFont(const LOGFONT& f) {
  W32(0u - static_cast<uint32_t>(f.lfHeight));
  W32(static_cast<uint32_t>(f.lfWeight));
  W8(f.lfItalic);
  W8(f.lfUnderline);
  WStr(f.lfFaceName, sizeof f.lfFaceName - 1);
}
void RFont(LOGFONT* f) {
  f->lfHeight = static_cast<int32_t>(0u - R32());
  f->lfWeight = static_cast<int32_t>(R32());
  f->lfItalic = R8();
  f->lfUnderline = R8();
  RStrField(f->lfFaceName, sizeof f->lfFaceName);
}
// A material of the document state: colour, texture ID field, scale; palette-resolved.
void WMaterial(RGBColor* color, int32_t id, ShortPoint* scale) {
  ResolvePaletteSlot(id, scale, color);
  WColor(*color);
  WTex(id);
  WScale(*scale);
}
void WPoint(FloatPoint p) {
  WF(p.floatH);
  WF(p.floatV);
}
void RPoint(FloatPoint* p) {
  p->floatH = RF();
  p->floatV = RF();
}

}  // namespace

void DoWritePlugInDocState() {
  DocState* d = CurDocState();
  if (!d) return;
  const int32_t v = sWriteVersion;
  W16(100);                                                          // 1
  W8(d->constraintFlag3), W8(d->snapToGrid);                         // 2
  WPoint(d->gridSpacing), WPoint(d->gridSnap);                       // 3
  W16(static_cast<uint16_t>(d->newPenStyle));                        // 4
  WF(static_cast<float>(d->newLineWeight));                          // 5
  WRect(d->planBounds);                                              // 6
  W16(static_cast<uint16_t>(d->dimArrowStyle));                      // 7
  WColor(d->newPenColor);                                            // 8
  for (const RGBColor& c : d->planColors) WColor(c);                 // 9
  WColor(d->annotationColor);                                        // 10
  WColor(d->foundationColor2);                                       // 11
  WFont(d->font);                                                    // 12
  WFont(gTextFontInfo);                                              // 13
  if (v >= kVersionExchange8000) W16(static_cast<uint16_t>(d->planScaleChoice));  // 14
  WF(d->planScale), W16(static_cast<uint16_t>(d->curveSegments)), WF(d->zoomFactor);  // 15
  W16(static_cast<uint16_t>(d->viewSetting12)), W16(static_cast<uint16_t>(d->dimTextSize)),
      W16(static_cast<uint16_t>(d->measureSystem));                  // 16
  WF(d->walkAngle), WPoint(d->walkPosition);                         // 17
  WF(d->walkElevation);                                              // 18
  WMaterial(&d->background3DColor, d->backgroundTextureID, &d->lotTextureScale);  // 19
  WMaterial(&d->lotColor, d->lotTextureID, &d->perimeterTextureScale);            // 20
  W16(static_cast<uint16_t>(d->navigationMode)), WF(d->flyPitch), WF(d->flyAngle);  // 21
  WF(d->flyAltitude), WPoint(d->lookOffset);                         // 22
  for (int32_t c : d->colorTable)                                    // 23
    for (int shift = 0; shift < 24; shift += 8) W16(static_cast<uint16_t>((c >> shift) & 0xFF));
  WF(d->plantAge), W16(static_cast<uint16_t>(d->gridStyle));         // 24
  WStr(d->traceImagePath, sizeof d->traceImagePath - 1);             // 25
  W8(d->traceImageVisible), WF(d->traceImageScaleX), WF(d->traceImageScaleY), W8(d->drawSetting1),
      W8(d->showCallouts), W8(d->renderSetting1);                    // 26
  WF(d->setting153), WF(d->setting154), WF(d->setting155), W32(static_cast<uint32_t>(d->renderSetting3)),
      WF(d->viewSetting11);                                          // 27
  for (int32_t m : d->planMasks) W32(static_cast<uint32_t>(m));      // 28
  W32(static_cast<uint32_t>(d->newObjectPlanMask));
  W32(static_cast<uint32_t>(d->currentPlanMask));                    // 29
  W8(d->shadowsOn), WF(d->baseElevation);                            // 30
  for (int32_t l : {d->setting215, d->setting216, d->setting217, d->setting218, d->setting219})
    W32(static_cast<uint32_t>(l));                                   // 31
  W8(d->setting220), W32(static_cast<uint32_t>(d->viewSetting5)), W8(d->soffitRight),
      WF(d->wallSetting2);                                           // 32
  W32(d->nextObjectID), W32(d->nextPointID);                         // 33
  if (v >= kVersionExchange8000) {
    W8(d->sunShadows), WF(d->sunAngle1), WF(d->sunAngle2);           // 34
    W16(static_cast<uint16_t>(d->sunSetting1)), W16(static_cast<uint16_t>(d->sunSetting2)),
        WF(d->viewSetting14), WF(d->viewSetting6);                   // 35
    WF(d->topoGridSpacing), WStr(d->topoPath, sizeof d->topoPath - 1);  // 36
    W32(static_cast<uint32_t>(d->generalSetting2)), W32(static_cast<uint32_t>(d->generalSetting3)),
        W32(static_cast<uint32_t>(d->generalSetting4));              // 37
  }
  if (v >= kVersionExchange9000) {
    WF(d->fenceParam1), WF(d->fenceParam2), WF(d->fenceParam3), WF(d->fenceParam4),
        WF(d->fenceParam5);                                          // 38
    WF(d->skylightWidth), WF(d->skylightLength), WF(d->skylightSetting1),
        W32(static_cast<uint32_t>(d->generalSetting1)), W8(d->showTopoLines);  // 39
    WColor(d->topoLineColor), W16(static_cast<uint16_t>(d->imperialReadout)),
        W16(static_cast<uint16_t>(d->metricReadout)), W16(static_cast<uint16_t>(d->angleReadout));  // 40
    WF(d->setting311), W8(d->viewSetting7), W8(d->viewSetting8), W8(d->viewSetting9),
        W8(d->navigationSubMode), W8(d->viewSetting10);              // 41
    W16(static_cast<uint16_t>(d->navigationStep)), W16(static_cast<uint16_t>(d->shadowQuality)),
        W16(d->viewSetting3), W32(static_cast<uint32_t>(d->viewSetting13)),
        W16(static_cast<uint16_t>(d->cutAwayPlane)), W8(d->sceneSetting1);  // 42
  }
  if (v >= kVersionExchange11000) WColor(d->sceneColor), WColor(d->setting320);  // 43
  if (v >= kVersionExchange10000) {                                  // 44
    DoWritePlugInLiveViews();
    DoWritePlugInPalettes();
  }
}

void DoReadPlugInDocState() {
  DocState* d = CurDocState();
  if (!d) return;
  const int32_t v = sInputVersion;
  if (R16() != 100 || StreamFailed()) return;
  d->constraintFlag3 = R8(), d->snapToGrid = R8();
  RPoint(&d->gridSpacing), RPoint(&d->gridSnap);
  d->newPenStyle = static_cast<int16_t>(R16());
  {
    const float w = RF();
    d->newLineWeight = std::isfinite(w) && std::fabs(w) < 32767.0f ? static_cast<int16_t>(w) : 1;
  }
  RRect(&d->planBounds);
  d->dimArrowStyle = static_cast<int16_t>(R16());
  RColor(&d->newPenColor);
  for (RGBColor& c : d->planColors) RColor(&c);
  RColor(&d->annotationColor);
  RColor(&d->foundationColor2);
  RFont(&d->font);
  RFont(&gTextFontInfo);
  if (v >= kVersionExchange8000) d->planScaleChoice = static_cast<int16_t>(R16());
  d->planScale = RF(), d->curveSegments = static_cast<int16_t>(R16()), d->zoomFactor = RF();
  d->viewSetting12 = static_cast<int16_t>(R16()), d->dimTextSize = static_cast<int16_t>(R16()),
  d->measureSystem = static_cast<int16_t>(R16());
  d->walkAngle = RF(), RPoint(&d->walkPosition);
  d->walkElevation = RF();
  RColor(&d->background3DColor), d->backgroundTextureID = RTex(), RScale(&d->lotTextureScale);
  RColor(&d->lotColor), d->lotTextureID = static_cast<int16_t>(RTex()), RScale(&d->perimeterTextureScale);
  d->navigationMode = static_cast<int16_t>(R16()), d->flyPitch = RF(), d->flyAngle = RF();
  d->flyAltitude = RF(), RPoint(&d->lookOffset);
  for (int32_t& c : d->colorTable) {
    c = 0;
    for (int shift = 0; shift < 24; shift += 8) c |= static_cast<int32_t>(R16() & 0xFF) << shift;
  }
  d->plantAge = RF(), d->gridStyle = static_cast<int16_t>(R16());
  RStrField(d->traceImagePath, sizeof d->traceImagePath);
  d->traceImageVisible = R8(), d->traceImageScaleX = RF(), d->traceImageScaleY = RF(),
  d->drawSetting1 = R8(), d->showCallouts = R8(), d->renderSetting1 = R8();
  d->setting153 = RF(), d->setting154 = RF(), d->setting155 = RF(),
  d->renderSetting3 = static_cast<int32_t>(R32()), d->viewSetting11 = RF();
  for (int32_t& m : d->planMasks) m = static_cast<int32_t>(R32());
  d->newObjectPlanMask = static_cast<int32_t>(R32());
  d->currentPlanMask = static_cast<int32_t>(R32());
  d->shadowsOn = R8(), d->baseElevation = RF();
  for (int32_t* l : {&d->setting215, &d->setting216, &d->setting217, &d->setting218, &d->setting219})
    *l = static_cast<int32_t>(R32());
  d->setting220 = R8(), d->viewSetting5 = static_cast<int32_t>(R32()), d->soffitRight = R8(),
  d->wallSetting2 = RF();
  d->nextObjectID = R32(), d->nextPointID = R32();
  if (v >= kVersionExchange8000) {
    d->sunShadows = R8(), d->sunAngle1 = RF(), d->sunAngle2 = RF();
    d->sunSetting1 = static_cast<int16_t>(R16()), d->sunSetting2 = static_cast<int16_t>(R16()),
    d->viewSetting14 = RF(), d->viewSetting6 = RF();
    d->topoGridSpacing = RF(), RStrField(d->topoPath, sizeof d->topoPath);
    d->generalSetting2 = static_cast<int32_t>(R32()), d->generalSetting3 = static_cast<int32_t>(R32()),
    d->generalSetting4 = static_cast<int32_t>(R32());
  }
  if (v >= kVersionExchange9000) {
    d->fenceParam1 = RF(), d->fenceParam2 = RF(), d->fenceParam3 = RF(), d->fenceParam4 = RF(),
    d->fenceParam5 = RF();
    d->skylightWidth = RF(), d->skylightLength = RF(), d->skylightSetting1 = RF(),
    d->generalSetting1 = static_cast<int32_t>(R32()), d->showTopoLines = R8();
    RColor(&d->topoLineColor), d->imperialReadout = static_cast<int16_t>(R16()),
    d->metricReadout = static_cast<int16_t>(R16()), d->angleReadout = static_cast<int16_t>(R16());
    d->setting311 = RF(), d->viewSetting7 = R8(), d->viewSetting8 = R8(), d->viewSetting9 = R8(),
    d->navigationSubMode = R8(), d->viewSetting10 = R8();
    d->navigationStep = static_cast<int16_t>(R16()), d->shadowQuality = static_cast<int16_t>(R16()),
    d->viewSetting3 = R16(), d->viewSetting13 = static_cast<int32_t>(R32()),
    d->cutAwayPlane = static_cast<int16_t>(R16()), d->sceneSetting1 = R8();
  }
  if (v >= kVersionExchange11000) RColor(&d->sceneColor), RColor(&d->setting320);
  if (v >= kVersionExchange10000) {
    DoReadPlugInLiveViews();
    DoReadPlugInPalettes();
  }
}

// ---- Saved 3D views ----

void DoWritePlugInLiveViews() {
  W32(static_cast<uint32_t>(gCurDocument ? CountLiveViewsList() : 0));
  if (!gCurDocument) return;
  for (const LiveViewsList* l = gCurDocument->itsLiveViews; l; l = l->next) {
    WStr(l->name, sizeof l->name - 1);
    W16(static_cast<uint16_t>(l->navigationMode));
    W8(l->navigationSubMode);
    for (float f : {l->flyPitch, l->flyAngle, l->walkAngle, l->walkPosition.floatH,
                    l->walkPosition.floatV, l->flyAltitude, l->walkElevation, l->lookOffset.floatH,
                    l->lookOffset.floatV})
      WF(f);
    W32(static_cast<uint32_t>(l->viewSetting13));
    W16(static_cast<uint16_t>(l->cutAwayPlane));
    W32(static_cast<uint32_t>(l->viewSetting5));
    W8(l->viewSetting1);
    W32(static_cast<uint32_t>(l->viewSetting2));
    W8(l->topoFlag2);
    W16(static_cast<uint16_t>(l->viewSetting12));
    W8(l->viewSetting10);
    W16(static_cast<uint16_t>(l->viewSetting4));
    W8(l->shadowsOn);
    W16(l->viewSetting3);
    WF(l->viewSetting11);
    W8(l->sunShadows);
    WF(l->sunAngle1);
    WF(l->sunAngle2);
    W16(static_cast<uint16_t>(l->sunSetting2));
    WF(l->viewSetting14);
    WF(l->viewSetting6);
    W8(l->viewSetting7);
  }
}

void DoReadPlugInLiveViews() {
  if (!gCurDocument) return;
  int32_t count = 0;
  // A view takes at least 84 bytes.
  if (!RCount(&count, 84)) return;
  DeleteLiveViewsList();
  LiveViewsList* last = nullptr;  // each view goes after the one before
  for (int32_t i = 0; i < count && !StreamFailed(); ++i) {
    LiveViewsList* l = AddLiveViewsListEntry(last);
    if (!l) {
      Fail();
      return;
    }
    last = l;
    RStrField(l->name, sizeof l->name);
    l->navigationMode = static_cast<int16_t>(R16());
    l->navigationSubMode = R8();
    for (float* f : {&l->flyPitch, &l->flyAngle, &l->walkAngle, &l->walkPosition.floatH,
                     &l->walkPosition.floatV, &l->flyAltitude, &l->walkElevation,
                     &l->lookOffset.floatH, &l->lookOffset.floatV})
      *f = RF();
    l->viewSetting13 = static_cast<int32_t>(R32());
    l->cutAwayPlane = static_cast<int16_t>(R16());
    l->viewSetting5 = static_cast<int32_t>(R32());
    l->viewSetting1 = R8();
    l->viewSetting2 = static_cast<int32_t>(R32());
    l->topoFlag2 = R8();
    l->viewSetting12 = static_cast<int16_t>(R16());
    l->viewSetting10 = R8();
    l->viewSetting4 = static_cast<int16_t>(R16());
    l->shadowsOn = R8();
    l->viewSetting3 = R16();
    l->viewSetting11 = RF();
    l->sunShadows = R8();
    l->sunAngle1 = RF();
    l->sunAngle2 = RF();
    l->sunSetting2 = static_cast<int16_t>(R16());
    l->viewSetting14 = RF();
    l->viewSetting6 = RF();
    l->viewSetting7 = R8();
  }
}

// ---- Palettes ----

namespace {
constexpr uint32_t kTagPaletteEntry = 620;
constexpr uint32_t kTagPaletteEntriesEnd = 621;
constexpr uint32_t kTagPaletteList = 622;
constexpr uint32_t kTagPaletteListsEnd = 623;
}  // namespace

void DoWritePlugInPalettes() {
  uint32_t lists = 0;
  const DocPaletteList* head = gCurDocument ? gCurDocument->itsPaletteList : nullptr;
  for (const DocPaletteList* p = head; p; p = p->next) ++lists;
  W32(lists);
  for (const DocPaletteList* p = head; p; p = p->next) {
    W32(kTagPaletteList);
    W8(p->active);
    WStr(p->name, sizeof p->name - 1);
    W32(static_cast<uint32_t>(gTotalPaletteSections));
    for (int s = 0; s < gTotalPaletteSections && s < kPaletteSectionCount; ++s) {
      W8(p->sectionCollapsed[s]);
      WStr(p->sectionNames[s], kPaletteSectionNameSize - 1);
    }
    uint32_t entries = 0;
    for (const PaletteList* e = p->entries; e; e = e->next) ++entries;
    W32(entries);
    for (const PaletteList* e = p->entries; e; e = e->next) {
      W32(kTagPaletteEntry);
      W32(static_cast<uint32_t>(e->refID));
      W16(static_cast<uint16_t>(e->kind));
      WColor(e->color);
      W32(static_cast<uint32_t>(e->textureID));
      WScale(e->textureScale);
      WColor(e->auxColor);
      WStr(e->texturePath);
      WStr(e->extraText);
    }
    W32(kTagPaletteEntriesEnd);
  }
  W32(kTagPaletteListsEnd);
}

void DoReadPlugInPalettes() {
  if (!gCurDocument) return;
  int32_t lists = 0;
  if (!RCount(&lists, 20)) {
    if (!StreamFailed()) R32();  // 623
    return;
  }
  DeleteAllDocPalettes();
  for (int32_t i = 0; i < lists && !StreamFailed(); ++i) {
    if (R32() != kTagPaletteList) {
      Fail();
      return;
    }
    DocPaletteList* p = AddNewDocPaletteList();
    if (!p) {
      Fail();
      return;
    }
    // The new palette comes with fresh entries: the file's replace them.
    for (PaletteList* e = p->entries; e;) {
      PaletteList* n = e->next;
      free(e->texturePath);
      free(e->extraText);
      free(e);
      e = n;
    }
    p->entries = nullptr;
    p->active = R8();
    RStrField(p->name, sizeof p->name);
    int32_t sections = 0;
    if (RCount(&sections, 5)) {
      for (int32_t s = 0; s < sections && !StreamFailed(); ++s) {
        const uint8_t collapsed = R8();
        if (s < kPaletteSectionCount) {
          p->sectionCollapsed[s] = collapsed;
          RStrField(p->sectionNames[s], sizeof p->sectionNames[s]);
        } else {
          SkipStr();
        }
      }
    }
    int32_t entries = 0;
    if (RCount(&entries, 34)) {
      PaletteList* last = nullptr;
      for (int32_t k = 0; k < entries && !StreamFailed(); ++k) {
        if (R32() != kTagPaletteEntry) {
          Fail();
          return;
        }
        auto* e = static_cast<PaletteList*>(calloc(1, sizeof(PaletteList)));
        if (!e) {
          Fail();
          return;
        }
        e->refID = static_cast<int32_t>(R32());
        e->kind = static_cast<int16_t>(R16());
        RColor(&e->color);
        e->textureID = static_cast<int32_t>(R32());
        RScale(&e->textureScale);
        RColor(&e->auxColor);
        e->texturePath = RStrAlloc();
        e->extraText = RStrAlloc();
        e->prev = last;
        if (last) last->next = e;
        else p->entries = e;
        last = e;
      }
    }
    R32();  // 621
  }
  R32();  // 623
}

// ---- Layers and objects ----

void WriteAPlugInLayer(const Layer* layer) {
  if (!layer) return;
  W16(kTagExchangeLayer);
  WStr(layer->name, sizeof layer->name - 1);
  W8(layer->visible);
  W8(layer->selectable);
  WF(layer->height);
}

void DoWritePlugInObjects() {
  if (!gCurDocument) return;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next) {
    WriteAPlugInLayer(l);
    for (Objex* o = l->firstObject; o; o = o->next) WriteAPlugInObject(o);
  }
}

namespace {

bool KeepsChildrenInData(int16_t t) {
  return t == kObjWall || t == kObjDeck || t == kObjRoof || t == kObjRoofPanel;
}

// A top-level group whose first member is of this type is written without a frame.
constexpr int16_t kTypeOfUnframedGroups = 102;

}  // namespace

void WriteAPlugInObject(Objex* obj) {
  if (!obj) return;
  if (sWriteVersion == kVersionExchange5000 && obj->type == kObjPlant && obj->subtype == kSubUserPlant)
    return;
  if (obj->type != kObjDimensionInfo) {
    W16(kTagExchangeObject);
    WritePlugInObjectInfo(obj);
    WritePlugInObjectPoints(obj);
    WritePlugInObjectData(obj);
  }
  if (KeepsChildrenInData(obj->type) || !obj->firstChild) return;
  const bool framed = obj->type == kObjGroup && !obj->parent && obj->firstChild->type != kTypeOfUnframedGroups;
  if (!framed) {
    for (Objex* c = obj->firstChild; c; c = c->next) WriteAPlugInObject(c);
    return;
  }
  const bool cabinet = obj->subtype == kSubCabinet;
  if (cabinet) {
    // The state's elevation follows the group's, in the design as in the file.
    if (auto* state = static_cast<CabinetState*>(obj->typeData)) state->elevation = obj->baseElevation;
    W16(kTagExchangeCabinetBegin);
    DoWritePlugInCabinetState(static_cast<const CabinetState*>(obj->typeData), obj->baseElevation);
  } else {
    W16(kTagExchangeGroupBegin);
  }
  // Members of nested groups follow flat: a group inside a group has no frame of its own.
  for (Objex* c = obj->firstChild; c; c = c->next) WriteAPlugInObject(c);
  W16(cabinet ? kTagExchangeCabinetEnd : kTagExchangeGroupEnd);
}

void WritePlugInObjectInfo(Objex* o) {
  if (!o) return;
  const int32_t v = sWriteVersion;
  W32(o->objectID);
  W16(static_cast<uint16_t>(o->type));
  W32(static_cast<uint32_t>(o->subtype));
  W8(o->closed);
  if (v >= kVersionExchange9000) W8(o->visible);
  if (IsTextureAPalette(o->textureID)) {
    o->penColor = o->fillColor = PaletteColor16(o->textureID);
    o->textureScale = GetPaletteTextureScale(o->textureID);
  }
  WColor(o->penColor);
  for (uint16_t x : o->options) W16(x);
  WColor(o->fillColor);
  WF(o->width);
  W16(static_cast<uint16_t>(o->penStyle));
  W16(static_cast<uint16_t>(o->fillPattern));
  W16(static_cast<uint16_t>(o->levels));
  W32(static_cast<uint32_t>(o->pointCount));
  W8(o->capped);
  W16(static_cast<uint16_t>(o->direction));
  WTex(o->textureID);
  WScale(o->textureScale);
  WRect(o->textureRect);
  WRect(o->textureRect2);
  W16(static_cast<uint16_t>(o->auxShort));
  WF(o->plantAge);
  WSlot(o->textureID1, &o->textureScale1, &o->color1);
  WSlot(o->textureID2, &o->textureScale2, &o->color2);
  WSlot(o->textureID3, &o->textureScale3, &o->color3);
  WSlot(o->textureID4, &o->textureScale4, &o->color4);
  WF(o->baseElevation);
  W8(o->auxFlag);
  W32(static_cast<uint32_t>(o->planMask));
  for (float p : o->params) WF(p);
  W32(static_cast<uint32_t>(o->extraLong));
  W32(static_cast<uint32_t>(o->extraFlags));
  if (v >= kVersionExchange8000) WStr(o->name);
  if (v >= kVersionExchange9000)
    W32(o->type == kObjGroup ? static_cast<uint32_t>(o->groupMarker) : 0u);
}

void ReadPlugInObjectInfo(Objex* o) {
  if (!o) return;
  const int32_t v = sInputVersion;
  o->objectID = R32();
  o->type = static_cast<int16_t>(R16());
  o->subtype = static_cast<int32_t>(R32());
  o->closed = R8();
  if (v >= kVersionExchange9000) o->visible = R8();
  RColor(&o->penColor);
  for (uint16_t& x : o->options) x = R16();
  RColor(&o->fillColor);
  o->width = RF();
  o->penStyle = static_cast<int16_t>(R16());
  o->fillPattern = static_cast<int16_t>(R16());
  o->levels = static_cast<int16_t>(R16());
  o->pointCount = static_cast<int32_t>(R32());
  o->capped = R8();
  o->direction = static_cast<int16_t>(R16());
  o->textureID = RTex();
  RScale(&o->textureScale);
  RRect(&o->textureRect);
  RRect(&o->textureRect2);
  o->auxShort = static_cast<int16_t>(R16());
  o->plantAge = RF();
  RSlot(&o->textureID1, &o->textureScale1, &o->color1);
  RSlot(&o->textureID2, &o->textureScale2, &o->color2);
  RSlot(&o->textureID3, &o->textureScale3, &o->color3);
  RSlot(&o->textureID4, &o->textureScale4, &o->color4);
  o->baseElevation = RF();
  o->auxFlag = R8();
  o->planMask = static_cast<int32_t>(R32());
  for (float& p : o->params) p = RF();
  o->extraLong = static_cast<int32_t>(R32());
  o->extraFlags = static_cast<int32_t>(R32());
  if (v >= kVersionExchange8000) {
    free(o->name);
    o->name = RStrAlloc();
  }
  if (v >= kVersionExchange9000) {
    const uint32_t marker = R32();
    if (o->type == kObjGroup) o->groupMarker = static_cast<intptr_t>(marker);
  }
}

void WritePlugInObjectPoints(Objex* o) {
  if (!o) return;
  uint32_t n = 0;
  for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
  W32(n);
  const bool wall = o->type == kObjWall;
  for (Poinz* p = o->firstPoint; p; p = p->next) {
    W32(p->pointID);
    W16(static_cast<uint16_t>(p->pointType));
    W32(static_cast<uint32_t>(p->segmentLong1));
    W8(p->selected);
    for (const float* a : {p->inHandle, p->position, p->outHandle, p->linkVector})
      for (int k = 0; k < 3; ++k) WF(a[k]);
    WSlot(p->textureID[0], &p->textureScale[0], &p->color[0]);
    WSlot(p->textureID[1], &p->textureScale[1], &p->color[1]);
    WF(p->texU), WF(p->texV), WF(p->pathLength), WF(p->ringLength);
    WF(p->segmentElevation);
    W16(static_cast<uint16_t>(p->segmentShort1));
    W16(static_cast<uint16_t>(p->segmentShort2));
    for (float f : p->segmentFloats) WF(f);
    W32(static_cast<uint32_t>(p->segmentFlags));
    if (!wall) {
      W32(0), W32(0);
    } else if (WritesTrimBlocks(sWriteVersion)) {
      W16(kTagExchangeTrimBegin);
      WritePlugInTrimData(static_cast<TrimData*>(p->trim1));
      WritePlugInTrimData(static_cast<TrimData*>(p->trim2));
      W16(kTagExchangeTrimEnd);
    } else {
      for (const void* t : {p->trim1, p->trim2}) {
        const int32_t word = t ? static_cast<const TrimData*>(t)->trimCodeA : 0;
        W32(word == kTrimCustomProfile ? 0u : static_cast<uint32_t>(word));
      }
    }
  }
}

void ReadPlugInObjectPoints(Objex* o) {
  if (!o) return;
  int32_t n = 0;
  // A point record takes at least 95 bytes.
  if (!RCount(&n, 95)) return;
  const bool wall = o->type == kObjWall;
  for (int32_t i = 0; i < n && !StreamFailed(); ++i) {
    Poinz* p = CreatePoint(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, o);
    if (!p) {
      Fail();
      return;
    }
    AppendPointToObject(p, o);
    p->pointID = KeepReadPointID(R32());
    p->pointType = static_cast<int16_t>(R16());
    p->segmentLong1 = static_cast<int32_t>(R32());
    p->selected = R8();
    for (float* a : {p->inHandle, p->position, p->outHandle, p->linkVector})
      for (int k = 0; k < 3; ++k) a[k] = RF();
    RSlot(&p->textureID[0], &p->textureScale[0], &p->color[0]);
    RSlot(&p->textureID[1], &p->textureScale[1], &p->color[1]);
    p->texU = RF(), p->texV = RF(), p->pathLength = RF(), p->ringLength = RF();
    p->segmentElevation = RF();
    p->segmentShort1 = static_cast<int16_t>(R16());
    p->segmentShort2 = static_cast<int16_t>(R16());
    for (float& f : p->segmentFloats) f = RF();
    p->segmentFlags = static_cast<int32_t>(R32());
    if (!wall) {
      R32(), R32();
      continue;
    }
    for (void** t : {&p->trim1, &p->trim2})
      if (!*t) *t = calloc(1, sizeof(TrimData));
    if (!p->trim1 || !p->trim2) {
      Fail();
      return;
    }
    if (sInputVersion >= kVersionExchange8000) {
      R16();  // 208
      ReadPlugInTrimData(static_cast<TrimData*>(p->trim1), o->layer);
      ReadPlugInTrimData(static_cast<TrimData*>(p->trim2), o->layer);
      R16();  // 209
    } else {
      static_cast<TrimData*>(p->trim1)->trimCodeA = static_cast<int32_t>(R32());
      static_cast<TrimData*>(p->trim2)->trimCodeA = static_cast<int32_t>(R32());
    }
  }
}

void WritePlugInTrimData(TrimData* record) {
  TrimData zero{};
  TrimData* t = record ? record : &zero;
  for (int side = 0; side < 2; ++side) {
    const int32_t code = side == 0 ? t->trimCodeA : t->trimCodeB;
    Objex* profile = side == 0 ? t->profileA : t->profileB;
    if (code == kTrimCustomProfile && profile) {
      W32(kTrimCustomProfile);
      WriteProfile(profile);
    } else {
      W32(code == kTrimCustomProfile ? 0u : static_cast<uint32_t>(code));
    }
  }
  if (sWriteVersion >= kVersionExchange9000)
    for (int i = 0; i < 5; ++i) WSlot(t->slotTextureIDs[i], &t->slotTextureScales[i], &t->slotColors[i]);
}

void ReadPlugInTrimData(TrimData* record, Layer* layer) {
  if (!layer && gCurDocument) layer = gCurDocument->itsCurLayer;
  TrimData scratch{};
  TrimData* t = record ? record : &scratch;
  for (int side = 0; side < 2 && !StreamFailed(); ++side) {
    int32_t& code = side == 0 ? t->trimCodeA : t->trimCodeB;
    Objex*& profile = side == 0 ? t->profileA : t->profileB;
    code = static_cast<int32_t>(R32());
    if (code != kTrimCustomProfile) continue;
    Objex* read = ReadTrimProfile(layer);
    DeleteObj(profile);
    profile = read;
  }
  if (sInputVersion >= kVersionExchange9000)
    for (int i = 0; i < 5; ++i) RSlot(&t->slotTextureIDs[i], &t->slotTextureScales[i], &t->slotColors[i]);
  if (!record) {
    DeleteObj(scratch.profileA);
    DeleteObj(scratch.profileB);
  }
}

// ---- Attachment records ----

namespace {

// The fields both attachment record layouts begin with, up to the horizontal flip.
void WriteAttachmentLead(const DoorWindowData* d) {
  W16(static_cast<uint16_t>(d->ownerType));
  W16(static_cast<uint16_t>(d->subtype));
  W32(static_cast<uint32_t>(d->anchorStartIndex));
  W32(static_cast<uint32_t>(d->anchorEndIndex));
  for (float f : {d->startDistance, d->remainingLength, d->width, d->height, d->elevation}) WF(f);
  W32(0), W32(0), W32(0);
  W8(d->flipHorizontal);
}
void ReadAttachmentLead(DoorWindowData* d) {
  d->ownerType = static_cast<int16_t>(R16());
  d->subtype = static_cast<int16_t>(R16());
  d->anchorStartIndex = static_cast<int32_t>(R32());
  d->anchorEndIndex = static_cast<int32_t>(R32());
  for (float* f : {&d->startDistance, &d->remainingLength, &d->width, &d->height, &d->elevation})
    *f = RF();
  R32(), R32(), R32();
  d->flipHorizontal = R8();
}

}  // namespace

void WritePlugInObjectAttachment(DoorWindowData* record) {
  DoorWindowData zero{};
  DoorWindowData* d = record ? record : &zero;
  WriteAttachmentLead(d);
  WF(d->auxFloat1);
  W16(static_cast<uint16_t>(d->flipVertical));
  W16(static_cast<uint16_t>(d->auxShort1));
  W16(static_cast<uint16_t>(d->auxShort2));
  WF(d->auxValue);
  // A missing record still carries both trims (flag 0) so that the reader stays in step.
  if (record && IsCustomStyle(d->subtype)) {
    W16(kTagExchangeDefinitionBegin);
    for (Objex* list : {d->maskObject, d->definitionParts, d->definitionLeafParts, d->extraParts1,
                        d->extraParts2, d->extraParts3, d->extraParts4})
      for (Objex* o = list; o; o = o->next) WriteAPlugInObject(o);
    W16(kTagExchangeDefinitionEnd);
  }
  for (TrimSlot* s : {&d->trimSlotA, &d->trimSlotB}) {
    const bool flagged = s->flag && s->profile;
    W8(flagged ? s->flag : 0);
    WTrimSlot(*s);
    if (flagged) WriteProfile(s->profile);
  }
}

void ReadPlugInObjectAttachment(DoorWindowData* record, Objex* obj, Layer* layer) {
  DoorWindowData scratch{};
  const bool keep = record != nullptr;
  DoorWindowData* d = keep ? record : &scratch;
  ReadAttachmentLead(d);
  d->auxFloat1 = RF();
  d->flipVertical = static_cast<int16_t>(R16());
  d->auxShort1 = static_cast<int16_t>(R16());
  d->auxShort2 = static_cast<int16_t>(R16());
  d->auxValue = RF();
  if (IsCustomStyle(d->subtype) && !StreamFailed()) {
    R16();  // 212
    ReadObjectsUntil(kTagExchangeDefinitionEnd, layer, [&](Objex* part) {
      part->parent = obj;
      if (part->type == kObjSkylightOutline) AppendToPartList(&d->maskObject, part);
      else if (part->type == kObjDoorLeafFace) AppendToPartList(&d->definitionLeafParts, part);
      else AppendToPartList(&d->definitionParts, part);
    });
  }
  for (TrimSlot* s : {&d->trimSlotA, &d->trimSlotB}) {
    if (StreamFailed()) break;
    s->flag = R8();
    RTrimSlot(s);
    if (!s->flag) continue;
    Objex* profile = ReadTrimProfile(layer);
    if (profile) profile->parent = obj;
    DeleteObj(s->profile);
    s->profile = profile;
  }
  if (!keep) {
    for (Objex* list : {d->maskObject, d->definitionParts, d->definitionLeafParts}) DeletePartList(list);
    DeleteObj(d->trimSlotA.profile);
    DeleteObj(d->trimSlotB.profile);
  }
}

void WritePlugInObjectAttachment75(const DoorWindowData* record) {
  const DoorWindowData zero{};
  const DoorWindowData* d = record ? record : &zero;
  WriteAttachmentLead(d);
  W8(0);
  WF(d->auxFloat1);
  W16(static_cast<uint16_t>(d->flipVertical));
  W16(static_cast<uint16_t>(d->auxShort1));
  W16(0);
  WF(d->auxValue);
}

void ReadPlugInObjectAttachment75(DoorWindowData* record, Objex* obj) {
  DoorWindowData scratch{};
  DoorWindowData* d = record ? record : &scratch;
  ReadAttachmentLead(d);
  R8();
  d->auxFloat1 = RF();
  d->flipVertical = static_cast<int16_t>(R16());
  d->auxShort1 = static_cast<int16_t>(R16());
  R16();
  d->auxShort2 = 0;
  d->auxValue = RF();
  if (obj && (obj->type == kObjDoor || obj->type == kObjWindow)) {
    for (TrimSlot* s : {&d->trimSlotA, &d->trimSlotB}) {
      s->textureID = obj->textureID;
      s->color = obj->fillColor;
      s->textureWidth = obj->textureScale.x;
      s->textureHeight = obj->textureScale.y;
    }
  }
}

void WritePlugInRoofAttachment(RoofAttachmentData* record) {
  RoofAttachmentData zero{};
  RoofAttachmentData* r = record ? record : &zero;
  W16(static_cast<uint16_t>(r->ownerType));
  W16(static_cast<uint16_t>(r->subtype));
  for (float f : r->floats) WF(f);
  W32(static_cast<uint32_t>(r->panelID));
  W8(r->flags[0]);
  W8(r->flags[1]);
  W32(0), W32(0);
  if (record && r->ownerType == kObjSkylight && r->subtype == kSkylightCustom) {
    W16(kTagExchangeRoofDefinitionBegin);
    for (Objex* list : {r->outlineParts, r->separatorParts, r->leafParts, r->customParts, r->otherParts})
      for (Objex* o = list; o; o = o->next) WriteAPlugInObject(o);
    W16(kTagExchangeRoofDefinitionEnd);
  }
  WTrimSlot(r->slots[0]);
  WTrimSlot(r->slots[1]);
}

void ReadPlugInRoofAttachment(RoofAttachmentData* record, Objex* obj, Layer* layer) {
  RoofAttachmentData scratch{};
  RoofAttachmentData* r = record ? record : &scratch;
  r->ownerType = static_cast<int16_t>(R16());
  r->subtype = static_cast<int16_t>(R16());
  for (float& f : r->floats) f = RF();
  r->panelID = static_cast<int32_t>(R32());
  r->flags[0] = R8();
  r->flags[1] = R8();
  R32(), R32();
  if (r->ownerType == kObjSkylight && r->subtype == kSkylightCustom && !StreamFailed()) {
    R16();  // 215
    ReadObjectsUntil(kTagExchangeRoofDefinitionEnd, layer, [&](Objex* part) {
      part->parent = obj;
      Objex** list = nullptr;
      switch (part->type) {
        case kObjSkylightOutline: list = &r->outlineParts; break;
        case kObjSeparatorFace: list = &r->separatorParts; break;
        case kObjDoorLeafFace: list = &r->leafParts; break;
        case kObjCustomAttachmentPart: list = &r->customParts; break;
        case kObjRoofOtherPart: list = &r->otherParts; break;
        default: break;
      }
      if (list) AppendToPartList(list, part);
      else DeleteObj(part);
    });
  }
  RTrimSlot(&r->slots[0]);
  RTrimSlot(&r->slots[1]);
  if (record) r->owner = obj;
  else for (Objex* list : {r->outlineParts, r->separatorParts, r->leafParts, r->customParts, r->otherParts})
    DeletePartList(list);
}

// ---- Cabinet state ----

void DoWritePlugInCabinetState(const CabinetState* state, float baseElevation) {
  CabinetState c{};
  if (state) c = *state;
  c.elevation = baseElevation;
  W32(164);
  WF(c.angle);
  W32(static_cast<uint32_t>(c.value2));
  for (float f : c.values3) WF(f);
  W8(c.flag18), W8(0);
  for (float f : c.values19) WF(f);
  W32(static_cast<uint32_t>(c.value22));
  for (float f : c.values23) WF(f);
  W8(c.flag27), W8(0);
  for (float f : c.values28) WF(f);
  W32(static_cast<uint32_t>(c.value30));
  for (float f : c.values31) WF(f);
  W32(static_cast<uint32_t>(c.value37));
  WF(c.value38);
  W16(static_cast<uint16_t>(c.value39));
  WF(c.value40);
  WF(c.elevation);
}

CabinetState* DoReadPlugInCabinetState() {
  auto* c = static_cast<CabinetState*>(calloc(1, sizeof(CabinetState)));
  if (!c) {
    Fail();
    return nullptr;
  }
  R32();
  c->angle = RF();
  c->value2 = static_cast<int32_t>(R32());
  for (float& f : c->values3) f = RF();
  c->flag18 = R8(), R8();
  for (float& f : c->values19) f = RF();
  c->value22 = static_cast<int32_t>(R32());
  for (float& f : c->values23) f = RF();
  c->flag27 = R8(), R8();
  for (float& f : c->values28) f = RF();
  c->value30 = static_cast<int32_t>(R32());
  for (float& f : c->values31) f = RF();
  c->value37 = static_cast<int32_t>(R32());
  c->value38 = RF();
  c->value39 = static_cast<int16_t>(R16());
  c->value40 = RF();
  c->elevation = RF();
  return c;
}

// ---- Object data ----

namespace {

bool IsDoorOrWindow(int16_t t) { return t == kObjDoor || t == kObjWindow; }

void WriteAttachmentEntry(uint16_t tag, Objex* c) {
  W16(tag);
  WritePlugInObjectInfo(c);
  WritePlugInObjectPoints(c);
  auto* d = static_cast<DoorWindowData*>(c->typeData);
  if (sWriteVersion >= kVersionExchange8000) WritePlugInObjectAttachment(d);
  else WritePlugInObjectAttachment75(d);
}

}  // namespace

void WritePlugInObjectData(Objex* obj) {
  if (!obj) return;
  const int32_t v = sWriteVersion;
  switch (obj->type) {
    case kObjWall: {
      AllWallAttachmentsHdlToIndex(obj);
      auto listed = [v](const Objex* c) {
        if (v >= kVersionExchange8000) return true;
        const auto* d = static_cast<const DoorWindowData*>(c->typeData);
        return IsDoorOrWindow(c->type) && !(d && IsCustomStyle(d->subtype)) &&
               !IsCustomStyle(static_cast<int16_t>(c->subtype));
      };
      uint32_t n = 0;
      for (Objex* c = obj->firstChild; c; c = c->next) n += listed(c) ? 1 : 0;
      W32(n);
      for (Objex* c = obj->firstChild; c; c = c->next)
        if (listed(c)) WriteAttachmentEntry(kTagExchangeWallAttachment, c);
      AllWallAttachmentsIndexToHdl(obj);
      break;
    }
    case kObjDeck: {
      AllWallAttachmentsHdlToIndex(obj);
      uint32_t n = 0;
      for (Objex* c = obj->firstChild; c; c = c->next) ++n;
      W32(n);
      for (Objex* c = obj->firstChild; c; c = c->next) WriteAttachmentEntry(kTagExchangeDeckAttachment, c);
      AllWallAttachmentsIndexToHdl(obj);
      break;
    }
    case kObjRoof: {
      if (v < kVersionExchange9000) break;
      auto listed = [](const Objex* c) { return c->type == kObjSkylight || c->type == kObjDormerCutout; };
      uint32_t n = 0;
      for (Objex* c = obj->firstChild; c; c = c->next) n += listed(c) ? 1 : 0;
      W32(n);
      for (Objex* c = obj->firstChild; c; c = c->next) {
        if (!listed(c)) continue;
        W16(kTagExchangeRoofAttachment);
        WritePlugInObjectInfo(c);
        WritePlugInObjectPoints(c);
        WritePlugInRoofAttachment(static_cast<RoofAttachmentData*>(c->typeData));
      }
      break;
    }
    case kObjDynamicText: case kObjText: {
      WStr(static_cast<const char*>(obj->typeData));
      LOGFONT font{};
      if (obj->extraData) font = *static_cast<const LOGFONT*>(obj->extraData);
      ApplePortWriteLOGFONT(&font);
      break;
    }
    case kObjPlant:
      if (obj->subtype == kSubUserPlant && v >= kVersionExchange7500)
        WStr(static_cast<const char*>(obj->typeData));
      break;
    case kObjPhotoView:
      // Always a counted string (count 0 without an image) so that the stream stays readable.
      WStr(static_cast<const char*>(obj->sourceObject));
      break;
    default:
      break;
  }
}

namespace {

// A child object (attachment) made like every object read: info, then points.
Objex* ReadChildHead(Layer* layer) {
  const RGBColor white{65535, 65535, 65535}, black{};
  FloatRect empty = EmptyFloatRect();
  Objex* c = CreateObject(0, 1, 1, &white, &black, 1.0f, 6, 0, &empty, nullptr, nullptr, nullptr,
                          layer, nullptr);
  if (!c) {
    Fail();
    return nullptr;
  }
  ReadPlugInObjectInfo(c);
  c->objectID = KeepReadObjectID(c->objectID);
  const int16_t levels = c->levels;
  c->pointCount = 0;
  c->levels = 0;
  ReadPlugInObjectPoints(c);
  SettleReadCounts(c, levels);
  return c;
}

bool IsAttachmentType(int16_t t) {
  return t == kObjDoor || t == kObjWindow || t == kObjDeckSteps || t == kObjComponent || t == kObjAccessory;
}

void ReadAttachmentList(Objex* parent, Layer* layer, uint16_t expected) {
  int32_t n = 0;
  if (!RCount(&n, 2)) return;
  for (int32_t i = 0; i < n && !StreamFailed(); ++i) {
    const uint16_t tag = R16();
    if (tag != expected) continue;
    Objex* c = ReadChildHead(layer);
    if (!c) return;
    auto* d = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    if (!d) {
      DeleteObj(c);
      Fail();
      return;
    }
    if (sInputVersion >= kVersionExchange8000) ReadPlugInObjectAttachment(d, c, layer);
    else ReadPlugInObjectAttachment75(d, c);
    d->faces = nullptr;
    d->linkPrev = d->linkNext = nullptr;
    if (StreamFailed()) {
      FreeReadAttachmentRecord(d);
      DeleteObj(c);
      return;
    }
    // Only the attachment kinds own an attachment record: any other kind is dropped.
    if (!IsAttachmentType(c->type)) {
      FreeReadAttachmentRecord(d);
      DeleteObj(c);
      continue;
    }
    c->typeData = d;
    AppendChildToObject(c, parent);
    WallAttachmentsIndexToHdl(c, parent);
    UpdateObjectBounds(c);
  }
}

void ReadRoofAttachments(Objex* roof, Layer* layer) {
  int32_t n = 0;
  if (!RCount(&n, 2)) return;
  for (int32_t i = 0; i < n && !StreamFailed(); ++i) {
    if (R16() != kTagExchangeRoofAttachment) continue;
    Objex* c = ReadChildHead(layer);
    if (!c) return;
    auto* r = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
    if (!r) {
      DeleteObj(c);
      Fail();
      return;
    }
    ReadPlugInRoofAttachment(r, c, layer);
    if (StreamFailed()) {
      FreeReadRoofRecord(r);
      DeleteObj(c);
      return;
    }
    if (c->type != kObjSkylight && c->type != kObjDormerCutout) {
      FreeReadRoofRecord(r);
      DeleteObj(c);
      continue;
    }
    c->typeData = r;
    AppendChildToObject(c, roof);
    UpdateObjectBounds(c);
    if (c->type == kObjSkylight && c->firstPoint) {
      if (r->subtype == kSkylightCustom) {
        FloatRect b = c->bounds;
        CreateCustomSkylightSymbols(c, (b.floatLeft + b.floatRight) / 2, (b.floatTop + b.floatBottom) / 2,
                                    r->floats[3]);
      } else {
        CreateSkylightFillerPlane(c, 0);
        CreateSkylightFillerPlane(c, 1);
      }
    }
  }
}

// The font record after a text: the object takes the text and the font read, or "(empty)" and
// the text font when no text was stored.
void ReadTextFont(Objex* obj, char* text) {
  LOGFONT font{};
  ApplePortReadLOGFONT(&font);
  free(obj->typeData);
  free(obj->extraData);
  obj->typeData = text ? text : strdup(LocalizedString("(empty)").c_str());
  auto* f = static_cast<LOGFONT*>(malloc(sizeof(LOGFONT)));
  if (f) *f = text ? font : gTextFontInfo;
  obj->extraData = f;
}

}  // namespace

void ReadPlugInTextData(Objex* obj) {
  if (!obj) return;
  obj->type = kObjText;
  obj->params[0] = 0;
  char* text = RStrAlloc();
  SkipStr();
  const uint16_t alignment = R16();
  obj->extraLong = alignment == 0xFFFF ? 2 : alignment == 1 ? 1 : 0;
  ReadTextFont(obj, text);
}

void ReadPlugInEnhancedTextData(Objex* obj) {
  if (!obj) return;
  char* text = RStrAlloc();
  ReadTextFont(obj, text);
}

void ReadPlugInObjectData(Objex* obj, Layer* layer) {
  if (!obj) return;
  switch (obj->type) {
    case kObjWall: ReadAttachmentList(obj, layer, kTagExchangeWallAttachment); break;
    case kObjDeck: ReadAttachmentList(obj, layer, kTagExchangeDeckAttachment); break;
    case kObjRoof:
      if (sInputVersion >= kVersionExchange9000) ReadRoofAttachments(obj, layer);
      break;
    case kObjDynamicText: case kObjText: ReadPlugInEnhancedTextData(obj); break;
    case kObjExchangeText: ReadPlugInTextData(obj); break;
    case kObjPlant:
      if (obj->subtype == kSubUserPlant && sInputVersion >= kVersionExchange7500) {
        free(obj->typeData);
        obj->typeData = RStrAlloc();
      }
      break;
    case kObjPhotoView: {
      free(obj->sourceObject);
      obj->sourceObject = RStrAlloc();
      const int32_t id = gCurrentPhotoTextureID++;
      obj->textureID1 = obj->textureID2 = obj->textureID3 = id;
      for (Poinz* p = obj->firstPoint; p; p = p->next) p->textureID[0] = p->textureID[1] = id;
      break;
    }
    default: break;
  }
}

Objex* ReadAPlugInObject(Layer* layer, bool appendToLayer) {
  if (!layer || StreamFailed()) return nullptr;
  if (sNesting >= kMaxNesting) {
    Fail();
    return nullptr;
  }
  const RGBColor white{65535, 65535, 65535}, black{};
  FloatRect empty = EmptyFloatRect();
  Objex* obj = CreateObject(0, 1, 1, &black, &white, 1.0f, 6, 0, &empty, nullptr, nullptr, nullptr,
                            layer, nullptr);
  if (!obj) {
    Fail();
    return nullptr;
  }
  ++sNesting;
  const int32_t v = sInputVersion;
  ReadPlugInObjectInfo(obj);
  obj->objectID = KeepReadObjectID(obj->objectID);
  const int16_t levels = obj->levels;
  obj->levels = 0;
  obj->pointCount = 0;
  ReadPlugInObjectPoints(obj);
  SettleReadCounts(obj, levels);
  if (StreamFailed()) {
    --sNesting;
    DeleteObj(obj);
    return nullptr;
  }
  const bool plant = obj->type == kObjPlant;
  if (plant && obj->firstPoint && (v == kVersionExchange5000 || obj->subtype != kSubUserPlant))
    obj->plantInfo = CreatePlantInfo(obj->firstPoint->textureID[0]);
  if (appendToLayer) AppendObjectToLayer(obj, layer);
  UpdateObjectBounds(obj);
  ReadPlugInObjectData(obj, layer);
  --sNesting;
  if (StreamFailed()) {
    if (appendToLayer) UnlinkObject(obj);
    DeleteObj(obj);
    return nullptr;
  }
  if (plant && obj->subtype == kSubUserPlant && v > kVersionExchange5000 && !obj->plantInfo)
    obj->plantInfo = CreateUserPlantInfo(static_cast<const char*>(obj->typeData));
  if (obj->type != kObjGroup) {
    SetTextureFaceUV(obj);
    SetObjectPointLengths(obj);
    if (obj->type == kObjFence && v < kVersionExchange8000) GiveFenceDefaults(obj, CurDocState());
    // A cabinet part's elevation is taken out of its point heights before it is built.
    if (obj->type == kObjCabinet) AdjustTheCabinetObjectElevation(obj);
    RebuildReadObject(obj, layer);
  }
  if (obj->type != kObjGroup && IsObjectPointValuesInvalid(obj)) {
    // Rebuilt, a wall refitted its floor's dimensions with it standing.
    if (appendToLayer) {
      ObjectLeavingFloor(obj);
      UnlinkObject(obj);
    }
    DeleteObj(obj);
    return nullptr;
  }
  return obj;
}

// ---- Black box ----

void DoWritePlugInBlackBox(int32_t plugInID) {
  if (!gCurDocument) return;
  for (const PlugInData* p = gCurDocument->itsPlugIns; p; p = p->next) {
    if (p->plugInID != plugInID) continue;
    W16(kTagExchangeBlackBox);
    const uint32_t size = p->size > 0 && p->data ? static_cast<uint32_t>(p->size) : 0;
    W32(size);
    if (size) WriteSome(p->data, size);
    W16(kTagExchangeBlackBoxEnd);
    return;
  }
}

void DoReadPlugInBlackBox(int32_t plugInID) {
  while (!StreamAtEnd()) {
    const uint16_t tag = R16();
    if (StreamFailed() || tag == kTagExchangeBlackBoxEnd) return;
    if (tag != kTagExchangeBlackBox) continue;
    const int32_t size = static_cast<int32_t>(R32());
    if (StreamFailed() || size <= 0) continue;
    if (static_cast<uint32_t>(size) > GetRemaining() || size > kMaxBlackBoxSize) {
      Fail();
      return;
    }
    char* data = static_cast<char*>(malloc(static_cast<size_t>(size)));
    if (!data || !ReadSome(data, static_cast<uint32_t>(size))) {
      free(data);
      Fail();
      return;
    }
    StorePlugInData(data, size, plugInID);
  }
}

// ---- Whole file ----

bool PlugInFileWrite(const char* path, int32_t plugInID, int32_t /*minFileVersion*/, int32_t fileVersion) {
  sWriteVersion = ExchangeWriteVersion(fileVersion);
  gFileWriteFailed = 1;
  if (!gCurDocument || !path) return false;
  BeginOutputBuffer();
  DoWritePlugInHeader();
  DoWritePlugInDocState();
  DoWritePlugInObjects();
  W16(kTagExchangeObjectsEnd);
  DoWritePlugInBlackBox(plugInID);
  if (plugInID == kAddkitSharedDataUser) DoWritePlugInBlackBox(kAddkitSharedData);
  const bool ok = WriteOutputFile(path, false);
  ReleaseOutputBuffer();
  gFileWriteFailed = 0;
  return ok;
}

// ---- Reading whole files ----

namespace {

bool IsFixedComponentType(int16_t t) {
  return t == 68 || t == 69 || t == 71 || t == 72 || t == 79 || t == 80 || t == 81 || t == 82 ||
         t == 88 || t == 98 || t == 110 || (t >= 117 && t <= 123) || (t >= 146 && t <= 152);
}

void SetLayerBelow(Objex* obj, Layer* layer) {
  for (Objex* c = obj->firstChild; c; c = c->next) {
    c->layer = layer;
    SetLayerBelow(c, layer);
  }
}

void CloseGroup(ExchangeObjectState* s, bool cabinet) {
  Objex* g = s->openGroup;
  if (g) {
    UpdateObjectRootBounds(g, 0, 1);
    if (!cabinet && g->firstChild && IsFixedComponentType(g->firstChild->type))
      UpdateFixedComponent(g->firstChild);
  }
  s->openGroup = nullptr;
  s->inGroup = false;
}

}  // namespace

bool ReadExchangeObjectToken(uint16_t tag, ExchangeObjectState* s) {
  switch (tag) {
    case kTagExchangeObject: {
      Objex* obj = ReadAPlugInObject(s->target, !s->inGroup);
      if (obj && s->inGroup) {
        if (s->openGroup) {
          obj->parent = s->openGroup;
          obj->layer = s->openGroup->layer;
          obj->prev = obj->next = nullptr;
          // A member's own children were listed flat after it: it keeps none of its own.
          if (!KeepsChildrenInData(obj->type))
            while (Objex* c = obj->firstChild) {
              UnlinkObject(c);
              DeleteObj(c);
            }
          SetLayerBelow(obj, obj->layer);
          AppendChildToObject(obj, s->openGroup);
        } else {
          // A member of a group that could not be made: placed nowhere.
          DeleteObj(obj);
          obj = nullptr;
        }
      }
      if (s->afterObject) s->afterObject(s->context, obj);
      s->last = obj;
      return true;
    }
    case kTagExchangeGroupBegin:
      s->openGroup = s->last && s->last->type == kObjGroup ? s->last : nullptr;
      if (s->openGroup && s->openGroup->groupMarker == 0) s->openGroup->groupMarker = s->plugInID;
      s->inGroup = true;
      return true;
    case kTagExchangeGroupEnd:
      CloseGroup(s, false);
      return true;
    case kTagExchangeCabinetBegin: {
      CabinetState* c = DoReadPlugInCabinetState();
      if (StreamFailed()) {
        free(c);
        c = nullptr;
      }
      Objex* g = s->last && s->last->type == kObjGroup ? s->last : nullptr;
      if (g && c) {
        free(g->typeData);
        g->typeData = c;
        g->subtype = kSubCabinet;
        g->baseElevation = c->elevation;
      } else {
        free(c);
      }
      s->openGroup = g;
      s->inGroup = true;
      return true;
    }
    case kTagExchangeCabinetEnd:
      CloseGroup(s, true);
      return true;
    default:
      return false;
  }
}

namespace {

// The header of an exchange file: false for a version that is not one of the six.
bool ReadPlugInHeader() {
  R32();
  const int32_t version = static_cast<int32_t>(R32());
  sInputPlatform = static_cast<int16_t>(R16());
  SkipStr();
  SkipStr();
  if (StreamFailed() || !IsExchangeVersion(version)) return false;
  sInputVersion = version;
  return true;
}

void SetPlanViewForLayer(const char* name, DocState* ds) {
  float x = 90, y = 0;
  int16_t plane = 2;
  if (!strcmp(name, "X_FRONT")) x = 0, y = 0, plane = 1;
  else if (!strcmp(name, "X_BACK")) x = 0, y = 180, plane = 1;
  else if (!strcmp(name, "X_LEFT")) x = 0, y = 270, plane = 3;
  else if (!strcmp(name, "X_RIGHT")) x = 0, y = 90, plane = 3;
  gXViewAngle = x;
  gYViewAngle = y;
  if (ds) ds->viewPlane = plane;
  gPerspective = 0;
  SetUpForRotationAboutArbitraryAxis(gXViewAngle, gYViewAngle, &gCosXAngle, &gSinXAngle, &gCosYAngle,
                                     &gSinYAngle, gPerspective);
}

Layer* ReadLayerRecord() {
  char name[sizeof(Layer{}.name)] = {};
  RStrField(name, sizeof name);
  const uint8_t visible = R8(), selectable = R8();
  const float height = RF();
  if (StreamFailed()) return nullptr;
  if (!strcmp(name, "X_TOP")) snprintf(name, sizeof name, "%s", "X_TOP_FIRST_FLOOR");
  Layer* layer = CreateLayer(name, visible, selectable, nullptr);
  if (!layer) {
    Fail();
    return nullptr;
  }
  layer->height = height;
  AppendLayerToDocument(layer);
  SetPlanViewForLayer(name, CurDocState());
  return layer;
}

}  // namespace

bool PlugInFileRead(const char* path, int32_t plugInID) {
  ZLKDocumentModel* target = gCurDocument;
  if (!target || !path) return false;
  if (!LoadInputFile(path)) return false;
  if (!ReadPlugInHeader()) {
    ReleaseInputBuffer();
    return false;
  }
  ZLKDocumentModel fresh;
  fresh.itsDocID = target->itsDocID;
  fresh.itsDocState = CreateDocState();
  bool ok = fresh.itsDocState != nullptr;
  if (ok) {
    CurrentDocumentScope scope(&fresh);
    ReadIDScope ids;
    DoReadPlugInDocState();
    ExchangeObjectState state;
    state.plugInID = plugInID;
    // A file that ends before the end of its objects was cut: it is not read.
    bool ended = false;
    while (!StreamAtEnd()) {
      const uint16_t tag = R16();
      if (StreamFailed()) break;
      if (tag == kTagExchangeObjectsEnd) {
        ended = true;
        break;
      }
      if (tag == kTagExchangeLayer) {
        if (Layer* l = ReadLayerRecord()) state.target = l;
        continue;
      }
      if (!state.target && tag == kTagExchangeObject) {
        Fail();  // an object before any layer
        break;
      }
      ReadExchangeObjectToken(tag, &state);
    }
    DoReadPlugInBlackBox(plugInID);
    ok = ended && !StreamFailed();
    Layer* floors[3] = {GetLayerFromName("First Floor"), GetLayerFromName("Second Floor"),
                        GetLayerFromName("Third Floor")};
    ok = ok && floors[0] && floors[1] && floors[2];
    if (ok) {
      fresh.itsCurLayer = nullptr;
      for (Layer* f : floors)
        if (f->visible && f->selectable) {
          fresh.itsCurLayer = f;
          break;
        }
      fresh.itsCur2DLayer = nullptr;
    }
  }
  ReleaseInputBuffer();
  if (!ok) {
    ReleaseModelContents(&fresh);
    Refresh();
    RenderAllLayers();
    return false;
  }
  ReplaceDesign(target, &fresh);
  ReleaseModelContents(&fresh);
  DocState* ds = target->itsDocState;
  SetPlanViewForLayer("", ds);
  ds->navigationMode = 1;
  if (!ds->topoPath[0] || !ReadTopoGridFile(ds->topoPath)) {
    ds->topoPath[0] = 0;
    ds->topoGridSpacing = 72.0f;
  }
  Refresh();
  RenderAllLayers();
  return true;
}
