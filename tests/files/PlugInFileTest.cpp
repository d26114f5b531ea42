// The plug-in exchange file: whole files against bytes laid down here from the record
// layouts, the version rule and its gates, palette and custom texture fields, data blocks,
// the document state rows read back, and whole files read back (also cut or damaged).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "TestDocument.h"
#include "files/ByteStream.h"
#include "files/FileTestSupport.h"
#include "files/PlugInFile.h"
#include "files/SideBlocks.h"
#include "files/StreamState.h"
#include "model/CabinetState.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/LiveViews.h"
#include "model/Palettes.h"
#include "model/PlanarTransforms.h"

namespace fs = std::filesystem;

namespace {

// Test-only little-endian encoder, laid out from the record tables (not from the writer).
struct LE {
  Bytes b;
  void u8(uint32_t v) { b.push_back(uint8_t(v)); }
  void u16(uint32_t v) { u8(v), u8(v >> 8); }
  void u32(uint32_t v) { u16(v), u16(v >> 16); }
  void f(float v) {
    uint32_t u;
    memcpy(&u, &v, 4);
    u32(u);
  }
  void str(const char* s) {
    const size_t n = s ? strlen(s) : 0;
    u32(uint32_t(n));
    for (size_t i = 0; i < n; ++i) u8(uint8_t(s[i]));
  }
  void color(const RGBColor& c) { u16(c.red), u16(c.green), u16(c.blue); }
  void scale(ShortPoint s) { u16(uint16_t(s.x)), u16(uint16_t(s.y)); }
  void slot(int32_t id, ShortPoint s, const RGBColor& c) { u32(uint32_t(id)), scale(s), color(c); }
  void rect(const FloatRect& r) { f(r.floatTop), f(r.floatLeft), f(r.floatBottom), f(r.floatRight); }
};

void Info(LE& e, const Objex* o, int v) {
  e.u32(o->objectID), e.u16(uint16_t(o->type)), e.u32(uint32_t(o->subtype)), e.u8(o->closed);
  if (v >= 9000) e.u8(o->visible);
  e.color(o->penColor);
  for (uint16_t x : o->options) e.u16(x);
  e.color(o->fillColor);
  e.f(o->width), e.u16(uint16_t(o->penStyle)), e.u16(uint16_t(o->fillPattern));
  e.u16(uint16_t(o->levels)), e.u32(uint32_t(o->pointCount)), e.u8(o->capped), e.u16(uint16_t(o->direction));
  e.u32(uint32_t(o->textureID)), e.scale(o->textureScale);
  e.rect(o->textureRect), e.rect(o->textureRect2);
  e.u16(uint16_t(o->auxShort)), e.f(o->plantAge);
  e.slot(o->textureID1, o->textureScale1, o->color1);
  e.slot(o->textureID2, o->textureScale2, o->color2);
  e.slot(o->textureID3, o->textureScale3, o->color3);
  e.slot(o->textureID4, o->textureScale4, o->color4);
  e.f(o->baseElevation), e.u8(o->auxFlag), e.u32(uint32_t(o->planMask));
  for (float p : o->params) e.f(p);
  e.u32(uint32_t(o->extraLong)), e.u32(uint32_t(o->extraFlags));
  if (v >= 8000) e.str(o->name);
  if (v >= 9000) e.u32(o->type == kObjGroup ? uint32_t(o->groupMarker) : 0);
}

void Trim(LE& e, const TrimData* t, int v) {
  e.u32(t ? uint32_t(t->trimCodeA) : 0), e.u32(t ? uint32_t(t->trimCodeB) : 0);
  if (v >= 9000)
    for (int i = 0; i < 5; ++i)
      e.slot(t ? t->slotTextureIDs[i] : 0, t ? t->slotTextureScales[i] : ShortPoint{},
             t ? t->slotColors[i] : RGBColor{});
}

void Points(LE& e, const Objex* o, int v) {
  uint32_t n = 0;
  for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
  e.u32(n);
  for (const Poinz* p = o->firstPoint; p; p = p->next) {
    e.u32(p->pointID), e.u16(uint16_t(p->pointType)), e.u32(uint32_t(p->segmentLong1)), e.u8(p->selected);
    for (const float* a : {p->inHandle, p->position, p->outHandle, p->linkVector})
      for (int k = 0; k < 3; ++k) e.f(a[k]);
    e.slot(p->textureID[0], p->textureScale[0], p->color[0]);
    e.slot(p->textureID[1], p->textureScale[1], p->color[1]);
    e.f(p->texU), e.f(p->texV), e.f(p->pathLength), e.f(p->ringLength);
    e.f(p->segmentElevation), e.u16(uint16_t(p->segmentShort1)), e.u16(uint16_t(p->segmentShort2));
    for (float x : p->segmentFloats) e.f(x);
    e.u32(uint32_t(p->segmentFlags));
    if (o->type != kObjWall) {
      e.u32(0), e.u32(0);
    } else if (v >= 8000) {
      e.u16(208);
      Trim(e, static_cast<const TrimData*>(p->trim1), v);
      Trim(e, static_cast<const TrimData*>(p->trim2), v);
      e.u16(209);
    } else {
      e.u32(p->trim1 ? uint32_t(static_cast<TrimData*>(p->trim1)->trimCodeA) : 0);
      e.u32(p->trim2 ? uint32_t(static_cast<TrimData*>(p->trim2)->trimCodeA) : 0);
    }
  }
}

void Opening(LE& e, const DoorWindowData* d, int v) {
  e.u16(uint16_t(d->ownerType)), e.u16(uint16_t(d->subtype));
  e.u32(uint32_t(d->anchorStartIndex)), e.u32(uint32_t(d->anchorEndIndex));
  for (float x : {d->startDistance, d->remainingLength, d->width, d->height, d->elevation}) e.f(x);
  e.u32(0), e.u32(0), e.u32(0);
  if (v >= 8000) {
    e.u8(d->flipHorizontal), e.f(d->auxFloat1);
    e.u16(uint16_t(d->flipVertical)), e.u16(uint16_t(d->auxShort1)), e.u16(uint16_t(d->auxShort2));
    e.f(d->auxValue);
    for (const TrimSlot* s : {&d->trimSlotA, &d->trimSlotB}) {
      e.u8(0);
      e.slot(s->textureID, ShortPoint{s->textureWidth, s->textureHeight}, s->color);
    }
  } else {
    e.u8(d->flipHorizontal), e.u8(0), e.f(d->auxFloat1);
    e.u16(uint16_t(d->flipVertical)), e.u16(uint16_t(d->auxShort1)), e.u16(0), e.f(d->auxValue);
  }
}

void Font(LE& e, const LOGFONT& f) {
  for (int32_t x : {f.lfHeight, f.lfWidth, f.lfEscapement, f.lfOrientation, f.lfWeight}) e.u32(uint32_t(x));
  for (uint8_t x : {f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision,
                    f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily})
    e.u8(x);
  for (char c : f.lfFaceName) e.u8(uint8_t(c));
}

void DocFont(LE& e, const LOGFONT& f) {
  e.u32(uint32_t(-f.lfHeight)), e.u32(uint32_t(f.lfWeight)), e.u8(f.lfItalic), e.u8(f.lfUnderline);
  e.str(f.lfFaceName);
}

// The document state record, row by row (plain texture IDs, no palette links).
void DocStateRows(LE& e, const DocState& d, int v) {
  e.u16(100);
  e.u8(d.constraintFlag3), e.u8(d.snapToGrid);
  e.f(d.gridSpacing.floatH), e.f(d.gridSpacing.floatV), e.f(d.gridSnap.floatH), e.f(d.gridSnap.floatV);
  e.u16(uint16_t(d.newPenStyle));
  e.f(float(d.newLineWeight));
  e.rect(d.planBounds);
  e.u16(uint16_t(d.dimArrowStyle));
  e.color(d.newPenColor);
  for (const RGBColor& c : d.planColors) e.color(c);
  e.color(d.annotationColor);
  e.color(d.foundationColor2);
  DocFont(e, d.font);
  DocFont(e, gTextFontInfo);
  if (v >= 8000) e.u16(uint16_t(d.planScaleChoice));
  e.f(d.planScale), e.u16(uint16_t(d.curveSegments)), e.f(d.zoomFactor);
  e.u16(uint16_t(d.viewSetting12)), e.u16(uint16_t(d.dimTextSize)), e.u16(uint16_t(d.measureSystem));
  e.f(d.walkAngle), e.f(d.walkPosition.floatH), e.f(d.walkPosition.floatV);
  e.f(d.walkElevation);
  e.color(d.background3DColor), e.u32(uint32_t(d.backgroundTextureID)), e.scale(d.lotTextureScale);
  e.color(d.lotColor), e.u32(uint32_t(int32_t(d.lotTextureID))), e.scale(d.perimeterTextureScale);
  e.u16(uint16_t(d.navigationMode)), e.f(d.flyPitch), e.f(d.flyAngle);
  e.f(d.flyAltitude), e.f(d.lookOffset.floatH), e.f(d.lookOffset.floatV);
  for (int32_t c : d.colorTable) e.u16(c & 0xFF), e.u16((c >> 8) & 0xFF), e.u16((c >> 16) & 0xFF);
  e.f(d.plantAge), e.u16(uint16_t(d.gridStyle));
  e.str(d.traceImagePath);
  e.u8(d.traceImageVisible), e.f(d.traceImageScaleX), e.f(d.traceImageScaleY), e.u8(d.drawSetting1),
      e.u8(d.showCallouts), e.u8(d.renderSetting1);
  e.f(d.setting153), e.f(d.setting154), e.f(d.setting155), e.u32(uint32_t(d.renderSetting3)), e.f(d.viewSetting11);
  for (int32_t m : d.planMasks) e.u32(uint32_t(m));
  e.u32(uint32_t(d.newObjectPlanMask));
  e.u32(uint32_t(d.currentPlanMask));
  e.u8(d.shadowsOn), e.f(d.baseElevation);
  for (int32_t l : {d.setting215, d.setting216, d.setting217, d.setting218, d.setting219}) e.u32(uint32_t(l));
  e.u8(d.setting220), e.u32(uint32_t(d.viewSetting5)), e.u8(d.soffitRight), e.f(d.wallSetting2);
  e.u32(d.nextObjectID), e.u32(d.nextPointID);
  if (v >= 8000) {
    e.u8(d.sunShadows), e.f(d.sunAngle1), e.f(d.sunAngle2);
    e.u16(uint16_t(d.sunSetting1)), e.u16(uint16_t(d.sunSetting2)), e.f(d.viewSetting14), e.f(d.viewSetting6);
    e.f(d.topoGridSpacing), e.str(d.topoPath);
    e.u32(uint32_t(d.generalSetting2)), e.u32(uint32_t(d.generalSetting3)), e.u32(uint32_t(d.generalSetting4));
  }
  if (v >= 9000) {
    // Declaration order 289, 290, 292, 291, 293: parameters 1 to 5 in their own order.
    e.f(d.fenceParam1), e.f(d.fenceParam2), e.f(d.fenceParam3), e.f(d.fenceParam4), e.f(d.fenceParam5);
    e.f(d.skylightWidth), e.f(d.skylightLength), e.f(d.skylightSetting1), e.u32(uint32_t(d.generalSetting1)),
        e.u8(d.showTopoLines);
    e.color(d.topoLineColor), e.u16(uint16_t(d.imperialReadout)), e.u16(uint16_t(d.metricReadout)),
        e.u16(uint16_t(d.angleReadout));
    e.f(d.setting311), e.u8(d.viewSetting7), e.u8(d.viewSetting8), e.u8(d.viewSetting9),
        e.u8(d.navigationSubMode), e.u8(d.viewSetting10);
    e.u16(uint16_t(d.navigationStep)), e.u16(uint16_t(d.shadowQuality)), e.u16(d.viewSetting3),
        e.u32(uint32_t(d.viewSetting13)), e.u16(uint16_t(d.cutAwayPlane)), e.u8(d.sceneSetting1);
  }
  if (v >= 11000) e.color(d.sceneColor), e.color(d.setting320);
  if (v >= 10000) e.u32(0), e.u32(0), e.u32(623);  // no saved views, no palettes
}

// Every byte of the record set from a pattern, texts terminated and texture fields plain, so
// that every row carries its own values.
void FillDistinct(DocState* d, uint32_t seed) {
  std::mt19937 rng(seed);
  auto* p = reinterpret_cast<uint8_t*>(d);
  for (size_t i = 0; i < sizeof(DocState); ++i) p[i] = uint8_t(rng() % 200 + 20);
  d->traceImagePath[40] = 0;
  d->topoPath[30] = 0;
  d->font.lfFaceName[10] = 0;
  d->backgroundTextureID = 1234;
  d->lotTextureID = 1158;
  // A float from bytes may be any number: keep the ones written through conversions small.
  d->newLineWeight = 3;
}

std::string TempPath(const char* name) {
  return (fs::temp_directory_path() / (std::string("plugin-") + std::to_string(getpid()) + "-" + name)).string();
}

class PlugInFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetByteStream();
    savedFont = gTextFontInfo;
  }
  void TearDown() override {
    gTextFontInfo = savedFont;
    for (const std::string& p : paths) fs::remove(p);
    ResetByteStream();
  }
  Bytes Write(int32_t plugInID, int32_t version) {
    std::string path = TempPath(std::to_string(paths.size()).c_str());
    paths.push_back(path);
    EXPECT_TRUE(PlugInFileWrite(path.c_str(), plugInID, 0, version));
    return ReadBytes(path);
  }
  std::string Keep(const Bytes& b) {
    std::string path = TempPath(("k" + std::to_string(paths.size())).c_str());
    paths.push_back(path);
    WriteBytes(path, b);
    return path;
  }
  // Bytes the record writer gives for the current document's state at version v.
  Bytes DocStateRecord(int32_t v) {
    BeginOutputBuffer();
    sWriteVersion = v;
    DoWritePlugInDocState();
    Bytes out = gStream.outDataBuffer;
    ReleaseOutputBuffer();
    return out;
  }
  LOGFONT savedFont;
  std::vector<std::string> paths;
};

// The design of the golden files: a wall with a door, a detail shape, a text and a group whose
// members are a detail and a nested group of one detail.
struct GoldenDesign {
  Objex *wall, *door, *detail, *text, *group, *member, *nested, *inner;
  explicit GoldenDesign(TestDocument& doc) {
    wall = MakeWallWithSides(0, nullptr, doc.first);
    static_cast<TrimData*>(wall->firstPoint->trim1)->trimCodeA = 7;
    wall->name = strdup("North wall");
    door = MakeObject(kObjDoor, 4, 10, wall, nullptr, NewOpening(kDoorHinged, wall->firstPoint, wall->firstPoint->next, 30));
    static_cast<DoorWindowData*>(door->typeData)->ownerType = kObjDoor;
    static_cast<DoorWindowData*>(door->typeData)->auxShort1 = 1;
    static_cast<DoorWindowData*>(door->typeData)->auxShort2 = 2;
    detail = MakeObject(kObjDetail, 4, 100, nullptr, doc.first);
    detail->visible = 0;
    text = MakeObject(kObjText, 4, 200, nullptr, doc.first);
    text->typeData = strdup("Hello");
    auto* font = static_cast<LOGFONT*>(calloc(1, sizeof(LOGFONT)));
    font->lfHeight = 12;
    strcpy(font->lfFaceName, "Serif");
    text->extraData = font;
    group = MakeObject(kObjGroup, 0, 0, nullptr, doc.second);
    group->groupMarker = 123;
    member = MakeObject(kObjDetail, 4, 300, group, nullptr);
    nested = MakeObject(kObjGroup, 0, 0, group, nullptr);
    nested->groupMarker = 117;
    inner = MakeObject(kObjDetail, 4, 400, nested, nullptr);
  }
};

Bytes GoldenFile(TestDocument& doc, GoldenDesign& g, int v) {
  LE e;
  e.u32(uint32_t(doc.model.itsDocID)), e.u32(uint32_t(v)), e.u16(2), e.str("not used"), e.str("not used");
  DocStateRows(e, *doc.ds(), v);
  for (Layer* l = doc.model.itsLayers; l; l = l->next) {
    e.u16(200), e.str(l->name), e.u8(l->visible), e.u8(l->selectable), e.f(l->height);
    if (l == doc.first) {
      e.u16(300), Info(e, g.wall, v), Points(e, g.wall, v);
      auto* d = static_cast<DoorWindowData*>(g.door->typeData);
      d->anchorStartIndex = 0, d->anchorEndIndex = 1;
      e.u32(1), e.u16(301), Info(e, g.door, v), Points(e, g.door, v), Opening(e, d, v);
      e.u16(300), Info(e, g.detail, v), Points(e, g.detail, v);
      e.u16(300), Info(e, g.text, v), Points(e, g.text, v), e.str("Hello");
      Font(e, *static_cast<LOGFONT*>(g.text->extraData));
    }
    if (l == doc.second) {
      e.u16(300), Info(e, g.group, v), Points(e, g.group, v), e.u16(302);
      e.u16(300), Info(e, g.member, v), Points(e, g.member, v);
      e.u16(300), Info(e, g.nested, v), Points(e, g.nested, v);
      e.u16(300), Info(e, g.inner, v), Points(e, g.inner, v);
      e.u16(303);
    }
  }
  e.u16(500);
  return e.b;
}

TEST_F(PlugInFile, WholeFilesMatchTheRecordLayouts) {
  for (int v : {5000, 7500, 8000, 9000, 10000, 11000}) {
    SCOPED_TRACE(v);
    TestDocument doc;
    GoldenDesign g(doc);
    const Bytes expected = GoldenFile(doc, g, v);
    EXPECT_EQ(Write(0, v), expected);
  }
}

TEST_F(PlugInFile, VersionRuleAndHeader) {
  TestDocument doc;
  const struct { int32_t asked, written; } cases[] = {
      {12000, 11000}, {11000, 11000}, {6000, 11000}, {0, 11000}, {-5, 11000},
      {5000, 5000}, {7500, 7500}, {8000, 8000}, {9000, 9000}, {10000, 10000}};
  for (auto c : cases) {
    SCOPED_TRACE(c.asked);
    EXPECT_EQ(ExchangeWriteVersion(c.asked), c.written);
    const Bytes b = Write(0, c.asked);
    ASSERT_GE(b.size(), 34u);
    EXPECT_EQ(b[4] | b[5] << 8, c.written);
    EXPECT_EQ(b[8], 2);
    EXPECT_EQ(b[10], 8);  // first "not used", then the second at 22
    EXPECT_EQ(b[22], 8);
    EXPECT_EQ(memcmp(&b[26], "not used", 8), 0);
    EXPECT_EQ(b[34], 100);  // the document state begins at byte 34
  }
  ZLKDocumentModel* saved = gCurDocument;
  gCurDocument = nullptr;
  gFileWriteFailed = 0;
  EXPECT_FALSE(PlugInFileWrite(TempPath("none").c_str(), 0, 0, 11000));
  EXPECT_FALSE(fs::exists(TempPath("none")));
  EXPECT_EQ(gFileWriteFailed, 1);  // refused before any write was tried
  gCurDocument = saved;
  EXPECT_FALSE(PlugInFileWrite("/nonexistent-folder/data.qxf", 0, 0, 11000));
  EXPECT_EQ(gFileWriteFailed, 0);
  EXPECT_TRUE(PlugInFileWrite(TempPath("some").c_str(), 0, 0, 11000));
  EXPECT_EQ(gFileWriteFailed, 0);
}

TEST_F(PlugInFile, OlderVersionsLeaveOutWhatTheyCannotHold) {
  TestDocument doc;
  Objex* plant = MakeObject(kObjPlant, 1, 0, nullptr, doc.first);
  plant->subtype = kSubUserPlant;
  plant->typeData = strdup("Plants/Rose.qpl");
  Objex* named = MakeObject(kObjDetail, 4, 0, nullptr, doc.first);
  named->name = strdup("Named");
  Objex* wall = MakeWallWithSides(0, nullptr, doc.first);
  MakeObject(kObjDoor, 4, 10, wall, nullptr, NewOpening(kDoorCustom, wall->firstPoint, wall->firstPoint->next, 30));
  MakeObject(kObjWindow, 4, 10, wall, nullptr, NewOpening(kWindowRectangular, wall->firstPoint, wall->firstPoint->next, 30));
  Objex* roof = MakeObject(kObjRoof, 4, 0, nullptr, doc.first);
  (void)roof;
  const Bytes b5 = Write(0, 5000), b75 = Write(0, 7500), b8 = Write(0, 8000);
  const std::string s5(b5.begin(), b5.end()), s75(b75.begin(), b75.end()), s8(b8.begin(), b8.end());
  EXPECT_EQ(s5.find("Rose"), std::string::npos);
  EXPECT_NE(s75.find("Rose"), std::string::npos);
  EXPECT_EQ(s5.find("Named"), std::string::npos);
  EXPECT_EQ(s75.find("Named"), std::string::npos);
  EXPECT_NE(s8.find("Named"), std::string::npos);
  // The wall lists only the plain window in 5000: its count is 1 right after its points.
  // The file is shorter than 7500's by the plant record and longer than none.
  EXPECT_LT(b5.size(), b75.size());
}

// Each gate in the object records, written at the version below it and at the one where it
// starts: the record is laid down here from the layouts and compared byte for byte.
TEST_F(PlugInFile, ObjectRecordGatesOnBothSides) {
  TestDocument doc;
  Objex* plant = MakeObject(kObjPlant, 1, 0, nullptr, doc.first);
  plant->subtype = kSubUserPlant;
  plant->typeData = strdup("Plants/Rose.qpl");
  Objex* wall = MakeWallWithSides(0, nullptr, doc.first);
  Objex* door = MakeObject(kObjDoor, 4, 10, wall, nullptr,
                           NewOpening(kDoorCustom, wall->firstPoint, wall->firstPoint->next, 30));
  auto* opening = static_cast<DoorWindowData*>(door->typeData);
  opening->ownerType = kObjDoor;
  Objex* roof = MakeObject(kObjRoof, 4, 0, nullptr, doc.first);
  Objex* skylight = MakeObject(kObjSkylight, 4, 5, roof, nullptr);

  // The record each object gets at version v, and its children where the version holds them.
  auto plantRecord = [&](int v) {
    LE e;
    if (v < 7500) return e.b;  // a plant of the user's own is left out
    e.u16(300), Info(e, plant, v), Points(e, plant, v), e.str("Plants/Rose.qpl");
    return e.b;
  };
  auto wallRecord = [&](int v) {
    LE e;
    e.u16(300), Info(e, wall, v), Points(e, wall, v);
    if (v < 8000) {
      e.u32(0);  // a door of a custom style is not listed
    } else {
      opening->anchorStartIndex = 0, opening->anchorEndIndex = 1;
      e.u32(1), e.u16(301), Info(e, door, v), Points(e, door, v);
      // A custom style's definition (empty here) comes before the two trims.
      LE rec;
      Opening(rec, opening, v);
      const long trims = 2 * (1 + 4 + 4 + 6);
      e.b.insert(e.b.end(), rec.b.begin(), rec.b.end() - trims);
      e.u16(212), e.u16(213);
      e.b.insert(e.b.end(), rec.b.end() - trims, rec.b.end());
    }
    return e.b;
  };
  auto roofRecord = [&](int v) {
    LE e;
    e.u16(300), Info(e, roof, v), Points(e, roof, v);
    if (v >= 9000) {  // skylights and dormer cut-outs, each with an empty attachment record
      e.u32(1), e.u16(214), Info(e, skylight, v), Points(e, skylight, v);
      e.u16(0), e.u16(0);
      for (int i = 0; i < 4; ++i) e.f(0);
      e.u32(0), e.u8(0), e.u8(0), e.u32(0), e.u32(0);
      for (int slot = 0; slot < 2; ++slot) e.slot(0, {}, {});
    }
    return e.b;
  };
  const struct {
    const char* what;
    Objex* object;
    std::function<Bytes(int)> expected;
    int below, from;
  } gates[] = {
      {"user plant", plant, plantRecord, 5000, 7500},
      {"custom-style door", wall, wallRecord, 7500, 8000},
      {"roof attachments", roof, roofRecord, 8000, 9000},
  };
  for (const auto& g : gates) {
    for (int v : {g.below, g.from}) {
      SCOPED_TRACE(std::string(g.what) + " at " + std::to_string(v));
      BeginOutputBuffer();
      sWriteVersion = v;
      WriteAPlugInObject(g.object);
      const Bytes written = gStream.outDataBuffer;
      ReleaseOutputBuffer();
      EXPECT_EQ(written, g.expected(v));
    }
  }
  sWriteVersion = kVersionDesign11100;
}

// A door or window without its record is written as zeros in the full layout, both trims
// included (flag 0, no trim object), so that the reader stays in step with the stream.
TEST_F(PlugInFile, AttachmentWithoutItsRecordIsWrittenAsZeros) {
  TestDocument doc;
  for (int v : {8000, 11000}) {
    SCOPED_TRACE(v);
    BeginOutputBuffer();
    sWriteVersion = v;
    WritePlugInObjectAttachment(nullptr);
    const Bytes written = gStream.outDataBuffer;
    ReleaseOutputBuffer();
    // 59 bytes of fields, then per trim a flag, a texture ID, a scale and a colour.
    EXPECT_EQ(written, Bytes(59 + 2 * (1 + 4 + 4 + 6), 0));
    SetInputBuffer(written.data(), written.size());
    sInputVersion = v;
    ReadPlugInObjectAttachment(nullptr, nullptr, doc.first);
    EXPECT_FALSE(StreamFailed());
    EXPECT_EQ(GetMark(), written.size());
  }
}

// A trim record read on its own (no layer given) keeps its custom profile, built on the
// current floor and left without a layer, as the wall reader does.
TEST_F(PlugInFile, TrimRecordReadWithoutALayerKeepsItsProfile) {
  TestDocument doc;
  Objex* profile = doc.addObject(kObjClosedPoly, true, {{0, 0}, {4, 0}, {4, 2}});
  UnlinkObject(profile);
  TrimData trim{};
  trim.trimCodeA = kTrimCustomProfile;
  trim.profileA = profile;
  trim.trimCodeB = 7;
  BeginOutputBuffer();
  sWriteVersion = 11000;
  WritePlugInTrimData(&trim);
  const Bytes written = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  DeleteObj(profile);

  SetInputBuffer(written.data(), written.size());
  sInputVersion = 11000;
  TrimData read{};
  ReadPlugInTrimData(&read);
  EXPECT_FALSE(StreamFailed());
  EXPECT_EQ(GetMark(), written.size());
  EXPECT_EQ(read.trimCodeA, kTrimCustomProfile);
  EXPECT_EQ(read.trimCodeB, 7);
  ASSERT_NE(read.profileA, nullptr);
  EXPECT_EQ(read.profileA->layer, nullptr);
  EXPECT_EQ(read.profileA->pointCount, 3);
  EXPECT_EQ(doc.first->firstObject, nullptr);  // not placed on the floor
  DeleteObj(read.profileA);
}

TEST_F(PlugInFile, DataBlocksFollowTheObjects) {
  TestDocument doc;
  const Bytes bare = Write(102, 11000);
  ASSERT_GE(bare.size(), 2u);
  EXPECT_EQ(bare[bare.size() - 2] | bare[bare.size() - 1] << 8, 500);
  StorePlugInData(strdup("AAA"), 3, 101);
  StorePlugInData(strdup("BB"), 2, 102);
  StorePlugInData(strdup("C"), 1, 103);
  const Bytes b = Write(102, 11000);
  LE tail;
  tail.u16(500), tail.u16(600), tail.u32(2), tail.u8('B'), tail.u8('B'), tail.u16(601);
  tail.u16(600), tail.u32(3), tail.u8('A'), tail.u8('A'), tail.u8('A'), tail.u16(601);
  ASSERT_GE(b.size(), tail.b.size());
  EXPECT_EQ(Bytes(b.end() - long(tail.b.size()), b.end()), tail.b);
  const Bytes only = Write(103, 11000);
  EXPECT_EQ(only.size(), bare.size() + 9);
}

TEST_F(PlugInFile, PaletteLinksAndCustomTextures) {
  TestDocument doc;
  DocPaletteList* palette = AddNewDocPaletteList();
  ASSERT_NE(palette, nullptr);
  palette->active = 1;
  PaletteList* entry = palette->entries;
  entry->kind = 4;
  entry->color = {10, 20, 30};
  entry->textureScale = {50, 60};
  const int32_t link = -(1000 + entry->refID);
  PaletteList* stock = entry->next;
  stock->kind = 5;
  stock->textureID = 1700;
  const int32_t stockLink = -(1000 + stock->refID);
  Objex* o = MakeObject(kObjDetail, 4, 0, nullptr, doc.first);
  o->textureID = link;
  o->textureID1 = stockLink;
  o->penColor = {1, 1, 1};
  char path[] = "Walls/Brick.png";
  const int32_t custom = NewCustomTextureID(path);
  ASSERT_GE(custom, 20000);
  o->textureID2 = custom;
  o->firstPoint->textureID[1] = link;
  Objex* wall = MakeWallWithSides(0, nullptr, doc.first);
  auto* trim = static_cast<TrimData*>(wall->firstPoint->trim1);
  trim->slotTextureIDs[2] = link;
  trim->slotColors[2] = {3, 3, 3};
  for (int v : {7500, 8000, 9000, 10000, 11000}) {
    SCOPED_TRACE(v);
    o->penColor = o->fillColor = {1, 1, 1};
    o->textureScale = {100, 100};
    o->firstPoint->color[1] = {4, 4, 4};
    trim->slotColors[2] = {3, 3, 3};
    trim->slotTextureScales[2] = {0, 0};
    const Bytes b = Write(0, v);
    // The palette colour and scale are in the bytes, and the design's linked slots take them.
    LE colour;
    colour.color({2570, 5140, 7710});
    colour.color({0, 0, 0});  // options
    colour.color({2570, 5140, 7710});
    EXPECT_NE(std::search(b.begin(), b.end(), colour.b.begin(), colour.b.end()), b.end());
    // Trim slots are written from 9000 on, and only what is written takes its entry.
    const bool trimSlotsWritten = v >= 9000;
    for (const RGBColor& c : {o->penColor, o->fillColor, o->firstPoint->color[1]}) {
      EXPECT_EQ(c.red, 2570);
      EXPECT_EQ(c.green, 5140);
      EXPECT_EQ(c.blue, 7710);
    }
    EXPECT_EQ(trim->slotColors[2].red, trimSlotsWritten ? 2570 : 3);
    EXPECT_EQ(o->textureScale.x, 50);
    EXPECT_EQ(o->textureScale.y, 60);
    EXPECT_EQ(trim->slotTextureScales[2].x, trimSlotsWritten ? 50 : 0);
    EXPECT_EQ(o->firstPoint->textureScale[1].y, 60);
    // The links themselves stay.
    EXPECT_EQ(o->textureID, link);
    EXPECT_EQ(o->textureID1, stockLink);
    // Below 10000 a plug-in knows no palettes: a stock entry's link goes out as its texture.
    // Below 8000 texture fields are bare numbers, links and custom textures alike.
    LE slot1;
    slot1.u32(uint32_t(v >= 8000 && v < 10000 ? 1700 : stockLink));
    EXPECT_NE(std::search(b.begin(), b.end(), slot1.b.begin(), slot1.b.end()), b.end());
    LE customField;
    if (v >= 8000)
      customField.u32(0xFFFFFFFF), customField.str(path);
    else
      customField.u32(uint32_t(custom));
    EXPECT_NE(std::search(b.begin(), b.end(), customField.b.begin(), customField.b.end()), b.end());
  }
}

TEST_F(PlugInFile, DocumentStateRowsByVersion) {
  // Row sizes: rows 14 (2), 34-37 and 38-42 and 43 come and go with the version.
  for (int v : {5000, 7500, 8000, 9000, 10000, 11000}) {
    SCOPED_TRACE(v);
    TestDocument doc;
    FillDistinct(doc.ds(), uint32_t(v));
    gTextFontInfo.lfFaceName[5] = 0;
    LE e;
    DocStateRows(e, *doc.ds(), v);
    const Bytes written = DocStateRecord(v);
    EXPECT_EQ(written, e.b);
    // Read back into a fresh record: the rows the version holds come back, the others keep
    // their defaults.
    DocState original = *doc.ds();
    DocState* fresh = CreateDocState();
    free(doc.model.itsDocState);
    doc.model.itsDocState = fresh;
    const DocState defaults = *fresh;
    SetInputBuffer(written.data(), written.size());
    sInputVersion = v;
    DoReadPlugInDocState();
    EXPECT_FALSE(StreamFailed());
    EXPECT_EQ(GetMark(), written.size());
    EXPECT_EQ(fresh->nextObjectID, original.nextObjectID);
    EXPECT_EQ(fresh->soffitRight, original.soffitRight);
    EXPECT_EQ(memcmp(fresh->planMasks, original.planMasks, sizeof original.planMasks), 0);
    EXPECT_EQ(fresh->planScaleChoice, v >= 8000 ? original.planScaleChoice : defaults.planScaleChoice);
    EXPECT_EQ(strcmp(fresh->topoPath, v >= 8000 ? original.topoPath : defaults.topoPath), 0);
    EXPECT_EQ(fresh->viewSetting7, v >= 9000 ? original.viewSetting7 : defaults.viewSetting7);
    EXPECT_EQ(fresh->sceneSetting1, v >= 9000 ? original.sceneSetting1 : defaults.sceneSetting1);
    EXPECT_EQ(fresh->sceneColor == original.sceneColor, v >= 11000);
    // The same record written again from what was read gives the same bytes.
    *fresh = original;
    EXPECT_EQ(DocStateRecord(v), written);
  }
}

// Font heights are stored negated: every height, the lowest and highest included, reads back
// as written and writes the same bytes again.
TEST_F(PlugInFile, FontHeightsAtTheEndsOfTheirRangeComeBack) {
  for (int32_t height : {INT32_MIN, INT32_MIN + 1, -12, 0, 12, INT32_MAX}) {
    SCOPED_TRACE(height);
    TestDocument doc;
    doc.ds()->font.lfHeight = height;
    gTextFontInfo.lfHeight = height;
    const Bytes written = DocStateRecord(11000);
    doc.ds()->font.lfHeight = 7;
    gTextFontInfo.lfHeight = 7;
    SetInputBuffer(written.data(), written.size());
    sInputVersion = 11000;
    DoReadPlugInDocState();
    EXPECT_FALSE(StreamFailed());
    EXPECT_EQ(doc.ds()->font.lfHeight, height);
    EXPECT_EQ(gTextFontInfo.lfHeight, height);
    EXPECT_EQ(DocStateRecord(11000), written);
  }
}

TEST_F(PlugInFile, DocumentStateWithoutItsMarkKeepsTheDefaults) {
  TestDocument doc;
  DocState defaults = *doc.ds();
  LE e;
  e.u16(99), e.u8(5), e.u8(6);
  SetInputBuffer(e.b.data(), e.b.size());
  sInputVersion = 11000;
  DoReadPlugInDocState();
  EXPECT_EQ(GetMark(), 2u);
  EXPECT_EQ(doc.ds()->snapToGrid, defaults.snapToGrid);
  EXPECT_EQ(doc.ds()->constraintFlag3, defaults.constraintFlag3);
}

TEST_F(PlugInFile, SavedViewsAndPalettesComeBack) {
  TestDocument doc;
  LiveViewsList* view = AddLiveViewsListEntry();
  strcpy(view->name, "Porch");
  view->viewSetting12 = 7;
  view->viewSetting10 = 3;
  view->sunAngle2 = 12.5f;
  DocPaletteList* palette = AddNewDocPaletteList();
  strcpy(palette->name, "Mine");
  palette->entries->kind = 9;
  palette->entries->texturePath = strdup("Tiles/Red.png");
  const Bytes written = DocStateRecord(11000);
  DeleteLiveViewsList();
  DeleteAllDocPalettes();
  SetInputBuffer(written.data(), written.size());
  sInputVersion = 11000;
  DoReadPlugInDocState();
  EXPECT_FALSE(StreamFailed());
  ASSERT_EQ(CountLiveViewsList(), 1);
  EXPECT_STREQ(doc.model.itsLiveViews->name, "Porch");
  EXPECT_EQ(doc.model.itsLiveViews->viewSetting12, 7);
  EXPECT_EQ(doc.model.itsLiveViews->viewSetting10, 3);
  EXPECT_EQ(doc.model.itsLiveViews->sunAngle2, 12.5f);
  ASSERT_NE(doc.model.itsPaletteList, nullptr);
  EXPECT_STREQ(doc.model.itsPaletteList->name, "Mine");
  ASSERT_NE(doc.model.itsPaletteList->entries, nullptr);
  EXPECT_STREQ(doc.model.itsPaletteList->entries->texturePath, "Tiles/Red.png");
  EXPECT_EQ(DocStateRecord(11000), written);
}

// A palette entry carries the colour it stands for before its texture ID and the other colour
// after its scale, as in the design file.
TEST_F(PlugInFile, PaletteEntryColoursStandInTheirPlaces) {
  TestDocument doc;
  DeleteAllDocPalettes();
  DocPaletteList* palette = AddNewDocPaletteList();
  PaletteList* entry = palette->entries;
  entry->kind = kPaletteEntryColor;
  entry->color = {10, 20, 30};
  entry->auxColor = {1, 2, 3};
  entry->textureID = 1700;
  entry->textureScale = {50, 60};
  LE e;
  e.u32(620), e.u32(uint32_t(entry->refID)), e.u16(4);
  e.color({10, 20, 30}), e.u32(1700), e.scale({50, 60}), e.color({1, 2, 3});
  e.str(nullptr), e.str(nullptr);
  const Bytes written = DocStateRecord(11000);
  EXPECT_NE(std::search(written.begin(), written.end(), e.b.begin(), e.b.end()), written.end());
  DeleteAllDocPalettes();
  SetInputBuffer(written.data(), written.size());
  sInputVersion = 11000;
  DoReadPlugInDocState();
  EXPECT_FALSE(StreamFailed());
  ASSERT_NE(doc.model.itsPaletteList, nullptr);
  const PaletteList* read = doc.model.itsPaletteList->entries;
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->color.red, 10);
  EXPECT_EQ(read->color.blue, 30);
  EXPECT_EQ(read->auxColor.red, 1);
  EXPECT_EQ(read->auxColor.blue, 3);
}

// Counts the objects of a layer and all their children.
size_t CountAll(const Objex* o) {
  size_t n = 0;
  for (; o; o = o->next) n += 1 + CountAll(o->firstChild);
  return n;
}
size_t CountDesign(const ZLKDocumentModel& m) {
  size_t n = 0;
  for (const Layer* l = m.itsLayers; l; l = l->next) n += CountAll(l->firstObject);
  return n;
}

TEST_F(PlugInFile, WholeFileReadsBackAsTheDesign) {
  for (int v : {5000, 9000, 11000}) {
    SCOPED_TRACE(v);
    TestDocument doc;
    GoldenDesign g(doc);
    StorePlugInData(strdup("XY"), 2, 131);
    const std::string path = Keep(Write(131, v));
    const size_t before = CountDesign(doc.model);
    ASSERT_TRUE(PlugInFileRead(path.c_str(), 131));
    EXPECT_EQ(CountDesign(doc.model), before);
    Layer* first = GetLayerFromName("First Floor");
    ASSERT_NE(first, nullptr);
    Objex* wall = first->firstObject;
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(wall->type, kObjWall);
    ASSERT_NE(wall->firstChild, nullptr);
    EXPECT_EQ(wall->firstChild->type, kObjDoor);
    auto* d = static_cast<DoorWindowData*>(wall->firstChild->typeData);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->anchorEnd, wall->firstPoint->next);
    EXPECT_EQ(d->auxShort2, v >= 8000 ? 2 : 0);
    if (v >= 8000) EXPECT_STREQ(wall->name, "North wall");
    Objex* text = wall->next->next;
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(static_cast<const char*>(text->typeData), "Hello");
    Objex* group = GetLayerFromName("Second Floor")->firstObject;
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->type, kObjGroup);
    EXPECT_EQ(CountAll(group->firstChild), 3u);
    EXPECT_EQ(group->groupMarker, v >= 9000 ? 123 : 131);
    EXPECT_EQ(doc.model.itsCurLayer, first);
    ASSERT_NE(doc.model.itsPlugIns, nullptr);
    EXPECT_EQ(memcmp(doc.model.itsPlugIns->data, "XY", 2), 0);
  }
}

// A cabinet group's state takes the group's elevation when written; cabinet parts read from an
// exchange file have their elevation taken out of their point heights, as parts read from a
// cabinet file do.
TEST_F(PlugInFile, CabinetPartsAreLoweredToTheirElevation) {
  TestDocument doc;
  Objex* group = MakeObject(kObjGroup, 0, 0, nullptr, doc.first);
  group->subtype = kSubCabinet;
  group->baseElevation = 30;
  auto* state = static_cast<CabinetState*>(calloc(1, sizeof(CabinetState)));
  state->elevation = 5;
  group->typeData = state;
  Objex* part = MakeObject(kObjCabinet, 4, 0, group, nullptr);
  part->baseElevation = 24;
  for (Poinz* p = part->firstPoint; p; p = p->next) p->position[1] = 50;
  Objex* detail = MakeObject(kObjDetail, 4, 100, nullptr, doc.first);
  detail->baseElevation = 24;
  const std::string path = Keep(Write(0, 11000));
  // Writing takes the group's elevation into its state first.
  EXPECT_FLOAT_EQ(state->elevation, 30);
  ASSERT_TRUE(PlugInFileRead(path.c_str(), 0));
  const float lowered = ConvertWorldToScreen(24, doc.ds(), 0);
  ASSERT_GT(lowered, 0);
  Objex* g = GetLayerFromName("First Floor")->firstObject;
  ASSERT_NE(g, nullptr);
  ASSERT_EQ(g->type, kObjGroup);
  ASSERT_NE(g->typeData, nullptr);
  EXPECT_FLOAT_EQ(static_cast<CabinetState*>(g->typeData)->elevation, 30);
  EXPECT_FLOAT_EQ(g->baseElevation, 30);
  Objex* read = g->firstChild;
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->type, kObjCabinet);
  EXPECT_FLOAT_EQ(read->baseElevation, 0);
  for (Poinz* p = read->firstPoint; p; p = p->next) EXPECT_FLOAT_EQ(p->position[1], 50 - lowered);
  // Other objects keep their elevation.
  ASSERT_NE(g->next, nullptr);
  EXPECT_FLOAT_EQ(g->next->baseElevation, 24);
}

// A file that breaks off between two records, before the end of the objects, is refused as a
// whole: the objects it lost are not taken for the design.
TEST_F(PlugInFile, FilesCutBetweenRecordsAreRefused) {
  for (int v : {5000, 11000}) {
    SCOPED_TRACE(v);
    TestDocument doc;
    GoldenDesign g(doc);
    const Bytes good = Write(0, v);
    ASSERT_EQ(good[good.size() - 2] | good[good.size() - 1] << 8, 500);
    const size_t before = CountDesign(doc.model);
    Layer* firstLayer = doc.model.itsLayers;
    // Without the end mark; and without the last record of the last floor (the group's 303).
    for (size_t cut : {size_t(2), size_t(4)}) {
      EXPECT_FALSE(PlugInFileRead(Keep(Bytes(good.begin(), good.end() - long(cut))).c_str(), 0)) << cut;
      EXPECT_EQ(doc.model.itsLayers, firstLayer);
      EXPECT_EQ(CountDesign(doc.model), before);
    }
    EXPECT_TRUE(PlugInFileRead(Keep(good).c_str(), 0));
    EXPECT_EQ(CountDesign(doc.model), before);
  }
}

TEST_F(PlugInFile, DamagedFilesLeaveTheDesign) {
  TestDocument doc;
  GoldenDesign g(doc);
  const Bytes good = Write(0, 11000);
  const size_t before = CountDesign(doc.model);
  Layer* firstLayer = doc.model.itsLayers;
  // Every cut: read whole or refused, the design untouched when refused.
  for (size_t n = 0; n < good.size(); n += (n < 200 ? 1 : 7)) {
    const std::string path = Keep(Bytes(good.begin(), good.begin() + long(n)));
    if (!PlugInFileRead(path.c_str(), 0)) {
      ASSERT_EQ(doc.model.itsLayers, firstLayer) << n;
      ASSERT_EQ(CountDesign(doc.model), before) << n;
    } else {
      firstLayer = doc.model.itsLayers;
    }
    fs::remove(path);
  }
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    Bytes bad = good;
    for (int k = 0; k < 4; ++k) bad[rng() % bad.size()] ^= uint8_t(1 + rng() % 255);
    const std::string path = Keep(bad);
    PlugInFileRead(path.c_str(), 0);
    fs::remove(path);
  }
  // A version outside the six: refused.
  Bytes wrong = good;
  wrong[4] = 0x41;
  EXPECT_FALSE(PlugInFileRead(Keep(wrong).c_str(), 0));
}

}  // namespace
