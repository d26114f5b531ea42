// Design files of every version built here byte by byte: each opens with its own values,
// unknown versions are refused, and the fixtures kept on disk still match their builder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DesignFixtureWriter.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "files/FileTestSupport.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "model/Attachments.h"
#include "model/CustomTextures.h"
#include "model/DimensionRecords.h"
#include "model/LiveViews.h"
#include "model/Palettes.h"
#include "model/Plants.h"

namespace fs = std::filesystem;
using namespace design_fixture;

namespace {

const int32_t kAllVersions[] = {10000, 10300, 10350, 10351, 10400, 10410, 10450, 10500,
                                10700, 10701, 10750, 10800, 10900, 11000, 11100};
const int32_t kKeptVersions[] = {10000, 10500, 11100};

fs::path DataDir() { return fs::path(__FILE__).parent_path() / "data"; }

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const void* data, size_t n) {
  std::ofstream out(path, std::ios::binary);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(n));
}


// The version group of the object records (see RecordWriters.h).
int G(int32_t v) { return record_writer::Group(v); }

// The DocState fields named here hold what the file carried when its layout has them,
// else the defaults of a new record.
void ExpectDocState(const DocState* got, int32_t v) {
  using namespace docstate_builder;
  DocState* src = FixtureDocState();
  const int layout = LayoutOfVersion(v);
  DocState* want = ExpectedAfterReading(*src, layout);
  for (const char* name : {"gridSpacing.floatH", "wallThickness", "colorTable", "stairParam1", "deckHeight",
                           "baseElevation", "font.lfFaceName", "path1", "glowFlag", "sceneColor.red",
                           "sceneColor.blue"}) {
    for (const FieldRow& f : kFields) {
      if (strcmp(f.name, name) != 0) continue;
      const size_t n = ElementSize(f.kind) * size_t(f.count);
      EXPECT_EQ(memcmp(reinterpret_cast<const uint8_t*>(got) + f.offset,
                       reinterpret_cast<const uint8_t*>(want) + f.offset, n),
                0)
          << name << " (" << (f.layout <= layout ? "from the file" : "default") << ")";
    }
  }
  // Fix-ups of opening a design.
  float sun = want->sunAngle1;
  if (v < 10900) {
    sun -= 90;
    if (sun < 0) sun = 360 + sun;
  }
  EXPECT_FLOAT_EQ(got->sunAngle1, sun);
  EXPECT_EQ(got->imperialReadout, v < 10900 ? int16_t(want->imperialReadout | 0x61) : want->imperialReadout);
  EXPECT_EQ(got->planMasks[1], 510);
  EXPECT_EQ(got->navigationMode, 1);
  if (v >= 10500) {
    // The group that joins the older dimension to its text takes the next object ID.
    EXPECT_EQ(got->nextObjectID, src->nextObjectID + 1);
    EXPECT_EQ(got->nextPointID, src->nextPointID);
  }
  free(want);
  free(src);
}

void ExpectPolygon(const Objex* o, int32_t v) {
  ASSERT_NE(o, nullptr);
  const int g = G(v);
  EXPECT_EQ(o->type, kObjClosedPoly);
  EXPECT_EQ(o->closed, 1);
  EXPECT_EQ(o->penColor.green, 0x0304);
  EXPECT_EQ(o->options[2], 2);
  EXPECT_EQ(o->fillColor.blue, 0x1516);
  EXPECT_FLOAT_EQ(o->width, 2.5f);
  EXPECT_EQ(o->penStyle, 3);
  EXPECT_EQ(o->fillPattern, 4);
  EXPECT_EQ(o->direction, -1);
  EXPECT_EQ(o->textureID, 11);
  EXPECT_FLOAT_EQ(o->plantAge, 6.5f);
  EXPECT_EQ(o->subtype, g >= 1 ? 5 : 0);
  EXPECT_EQ(o->textureID1, g >= 1 ? 21 : 0);
  EXPECT_EQ(o->textureID2, g >= 1 ? 31 : 0);
  // Before 10450 a textured slot is white.
  if (g >= 1) {
    EXPECT_EQ(o->color2.red, v < 10450 ? 65535 : 0x3132);
  }
  EXPECT_FLOAT_EQ(o->baseElevation, g >= 2 ? 8.25f : 0.0f);
  EXPECT_EQ(o->textureID3, g >= 2 ? 41 : 0);
  EXPECT_EQ(o->planMask, g >= 2 ? 0x200 : 2);
  EXPECT_EQ(o->textureID4, g >= 3 ? 51 : 0);
  EXPECT_EQ(o->color4.green, g >= 3 ? 0x5354 : 0);
  // Scales arrive with 10450; older objects keep those of a new object.
  EXPECT_EQ(o->textureScale1.x, g >= 3 ? 90 : 100);
  EXPECT_EQ(o->textureScale.y, g >= 3 ? 99 : 100);
  EXPECT_FLOAT_EQ(o->params[0], g >= 1 ? 60.5f : 0.0f);
  EXPECT_FLOAT_EQ(o->params[3], g >= 1 ? 63.5f : 0.0f);
  EXPECT_FLOAT_EQ(o->params[4], g >= 2 ? 64.5f : 0.0f);
  EXPECT_EQ(o->extraLong, g >= 1 ? 0x0A0B : 0);
  if (g >= 5) {
    ASSERT_NE(o->name, nullptr);
    EXPECT_STREQ(o->name, "obj77");
  } else {
    EXPECT_EQ(o->name, nullptr);
  }
  if (g >= 4) {
    EXPECT_EQ(o->objectID, kPolyID);
  }
  ASSERT_EQ(o->pointCount, 3);
  const Poinz* p = o->firstPoint;
  const float xs[3] = {10, 50, 90}, zs[3] = {30, 30, 80};
  for (int k = 0; k < 3; ++k, p = p->next) {
    ASSERT_NE(p, nullptr);
    EXPECT_FLOAT_EQ(p->position[0], xs[k]) << k;
    EXPECT_FLOAT_EQ(p->position[2], zs[k]) << k;
    EXPECT_FLOAT_EQ(p->inHandle[1], 0.25f);
    EXPECT_EQ(p->detectable, 1);
    EXPECT_EQ(p->color[0].red, 0x1231);
    EXPECT_EQ(p->color[1].blue, 0x1236);
    EXPECT_FLOAT_EQ(p->segmentElevation, g >= 2 ? 7.0f : 0.0f);
    EXPECT_EQ(p->segmentShort2, g >= 2 ? 10 : 0);
    EXPECT_FLOAT_EQ(p->segmentFloats[2], (v == 10350 || v == 10351 || g >= 2) ? 52.0f : 0.0f);
    EXPECT_FLOAT_EQ(p->segmentFloats[4], g >= 2 ? 54.0f : 0.0f);
    EXPECT_EQ(p->textureScale[1].y, g >= 3 ? 63 : 100);
    if (g >= 4) {
      EXPECT_EQ(p->pointID, 500u + k);
    }
  }
}

// A door, window or deck steps child: its record from either layout, anchored on the
// parent's first two points. Before 10800 a door's or window's trim slots take its own
// fill colour and slot-0 material; deck steps drop nothing they need.
void ExpectAttachment(const Objex* a, const Objex* parent, int16_t type, int16_t subtype, float startDistance,
                      float width, int32_t v) {
  SCOPED_TRACE(type);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->type, type);
  EXPECT_EQ(a->parent, parent);
  EXPECT_EQ(a->pointCount, 2);
  const auto* d = static_cast<const DoorWindowData*>(a->typeData);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->ownerType, type);
  EXPECT_EQ(d->subtype, subtype);
  EXPECT_EQ(d->anchorStart, parent->firstPoint);
  EXPECT_EQ(d->anchorEnd, parent->firstPoint->next);
  EXPECT_FLOAT_EQ(d->startDistance, startDistance);
  EXPECT_FLOAT_EQ(d->remainingLength, 30.0f);
  EXPECT_FLOAT_EQ(d->width, width);
  EXPECT_FLOAT_EQ(d->height, 80.0f);
  EXPECT_FLOAT_EQ(d->elevation, 2.0f);
  EXPECT_EQ(d->flipHorizontal, 1);
  EXPECT_FLOAT_EQ(d->auxFloat1, 0.75f);
  EXPECT_EQ(d->flipVertical, 1);
  EXPECT_EQ(d->auxShort1, 2);
  EXPECT_EQ(d->auxShort2, 3);
  uint32_t got = 0, want = 0;
  memcpy(&got, &d->auxValue, 4);
  memcpy(&want, &kAuxValue, 4);
  EXPECT_EQ(got, want);
  EXPECT_EQ(d->faces, nullptr);
  EXPECT_EQ(d->linkPrev, nullptr);
  EXPECT_EQ(d->linkNext, nullptr);
  if (HasNewAttachments(v)) {
    EXPECT_EQ(d->trimSlotA.textureID, 2301);
    EXPECT_EQ(d->trimSlotA.textureHeight, 101);
    EXPECT_EQ(d->trimSlotA.color.blue, 3);
    EXPECT_EQ(d->trimSlotB.textureID, 2302);
    EXPECT_EQ(d->trimSlotB.textureWidth, 102);
    EXPECT_EQ(d->trimSlotB.color.red, 4);
  } else if (type == kObjDoor || type == kObjWindow) {
    for (const TrimSlot* slot : {&d->trimSlotA, &d->trimSlotB}) {
      EXPECT_EQ(slot->flag, 0);
      EXPECT_EQ(slot->textureID, a->textureID);
      EXPECT_EQ(slot->color.red, 0x1112);
      EXPECT_EQ(slot->color.blue, 0x1516);
      EXPECT_EQ(slot->textureWidth, a->textureScale.x);
      EXPECT_EQ(slot->textureHeight, a->textureScale.y);
    }
    EXPECT_EQ(a->textureScale.x, G(v) >= 3 ? 98 : 100);
  } else {
    EXPECT_EQ(d->trimSlotA.textureID, 0);
  }
}

const Objex* FindType(const Layer* l, int16_t type) {
  for (const Objex* o = l->firstObject; o; o = o->next)
    if (o->type == type) return o;
  return nullptr;
}

// The third floor's roof, roof panel, deck, user plant, text and the older dimension.
void ExpectThirdFloor(const Layer* third, int32_t v) {
  EXPECT_EQ(CountObjects(third), 7u);
  const Objex* roof = FindType(third, kObjRoof);
  ASSERT_NE(roof, nullptr);
  EXPECT_EQ(roof->pointCount, 4);
  // Roofs before 10750 get a plain white second material.
  EXPECT_EQ(roof->textureID1, v < 10750 ? 0 : 27);
  EXPECT_EQ(roof->color1.green, v < 10750 ? 65535 : 0x2324);
  if (HasRoofAttachments(v)) {
    const Objex* sky = roof->firstChild;
    ASSERT_NE(sky, nullptr);
    EXPECT_EQ(sky->next, nullptr);
    EXPECT_EQ(sky->type, kObjSkylight);
    EXPECT_EQ(sky->parent, roof);
    EXPECT_EQ(sky->pointCount, 4);
    EXPECT_FLOAT_EQ(sky->firstPoint->position[0], 710.0f);
    const auto* r = static_cast<const RoofAttachmentData*>(sky->typeData);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->ownerType, kObjSkylight);
    EXPECT_EQ(r->subtype, 800);
    EXPECT_FLOAT_EQ(r->floats[0], 40.0f);
    EXPECT_FLOAT_EQ(r->floats[2], 2.5f);
    EXPECT_FLOAT_EQ(r->floats[3], 90.0f);
    EXPECT_EQ(r->panelID, 3);
    EXPECT_EQ(r->flags[0], 1);
    EXPECT_EQ(r->flags[1], 0);
    EXPECT_EQ(r->owner, sky);
    EXPECT_EQ(r->slots[0].textureID, 2218);
    EXPECT_EQ(r->slots[0].textureWidth, 96);
    EXPECT_EQ(r->slots[0].textureHeight, 48);
    EXPECT_EQ(r->slots[0].color.green, 28784);
    EXPECT_EQ(r->slots[1].textureID, 2219);
    EXPECT_EQ(r->slots[1].textureHeight, 120);
  } else {
    EXPECT_EQ(roof->firstChild, nullptr);
  }

  const Objex* panel = FindType(third, kObjRoofPanel);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->firstChild, nullptr);
  EXPECT_EQ(panel->textureID3, v < 10750 ? 0 : G(v) >= 2 ? 49 : 0);
  EXPECT_EQ(panel->color3.red, v < 10750 ? 65535 : 0x4142);

  const Objex* deck = FindType(third, kObjDeck);
  ASSERT_NE(deck, nullptr);
  EXPECT_EQ(deck->pointCount, 4);
  if (HasDeckAttachments(v)) {
    ExpectAttachment(deck->firstChild, deck, kObjDeckSteps, kDeckStepsSubtype, 2.5f, 35.0f, v);
    if (deck->firstChild) {
      EXPECT_EQ(deck->firstChild->next, nullptr);
    }
  } else {
    EXPECT_EQ(deck->firstChild, nullptr);
  }

  const Objex* plant = FindType(third, kObjPlant);
  ASSERT_NE(plant, nullptr);
  EXPECT_EQ(plant->subtype, G(v) >= 1 ? kSubUserPlant : 0);
  if (HasUserPlantPath(v)) {
    ASSERT_NE(plant->typeData, nullptr);
    const std::string path = static_cast<const char*>(plant->typeData);
    EXPECT_EQ(path.substr(path.size() - strlen(kPlantTail)), kPlantTail) << path;
    EXPECT_EQ(path.find("Old"), std::string::npos) << path;
    // The photo view took the first image number, the plant the next.
    EXPECT_EQ(plant->textureID1, 30001);
    EXPECT_EQ(plant->textureID3, 30001);
    EXPECT_EQ(plant->firstPoint->textureID[0], 30001);
    // Its information comes from the file beside its image: none here, so the user defaults.
    ASSERT_NE(plant->plantInfo, nullptr);
    EXPECT_EQ(plant->plantInfo->maximumGrowthHeight, kUserPlantDefaultMaxHeight);
    EXPECT_FLOAT_EQ(plant->plantInfo->annualGrowthRate, 20);
  } else {
    EXPECT_EQ(plant->typeData, nullptr);
    // Without a path the information comes from the point's texture.
    EXPECT_NE(plant->plantInfo, nullptr);
  }

  const Objex* text = FindType(third, kObjText);
  ASSERT_NE(text, nullptr);
  ASSERT_NE(text->typeData, nullptr);
  EXPECT_STREQ(static_cast<const char*>(text->typeData), kText);
  const auto* font = static_cast<const LOGFONT*>(text->extraData);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->lfHeight, -18);
  EXPECT_EQ(font->lfWeight, 700);
  EXPECT_EQ(font->lfItalic, 1);
  EXPECT_EQ(font->lfPitchAndFamily, 34);
  EXPECT_STREQ(font->lfFaceName, kFontFace);

  // The older dimension and its text come out grouped; the dimension is of its kind now.
  const Objex* group = FindType(third, kObjGroup);
  ASSERT_NE(group, nullptr);
  const Objex* dim = nullptr;
  const Objex* box = nullptr;
  int members = 0;
  for (const Objex* c = group->firstChild; c; c = c->next, ++members) {
    if (c->type == kOldDimensionType) dim = c;
    if (c->type == kObjDimensionInfo) box = c;
    EXPECT_EQ(c->parent, group);
  }
  EXPECT_EQ(members, 2);
  ASSERT_NE(dim, nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(dim->subtype, kOldDimensionType);
  EXPECT_EQ(dim->typeData, nullptr);
  EXPECT_EQ(dim->pointCount, 2);
  const auto* record = static_cast<const DimensionTextData*>(box->typeData);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->fontNumber, 21);
  EXPECT_EQ(record->fontSize, 14);
  EXPECT_EQ(record->fontStyle, 2);
  EXPECT_EQ(record->font.lfHeight, -14);
  EXPECT_EQ(record->dimension, nullptr);  // the dimension keeps no record that would clear it
}

void ExpectDesign(const TestDocument& doc, int32_t v) {
  SCOPED_TRACE(v);
  const ZLKDocumentModel& m = doc.model;
  ASSERT_NE(m.itsDocState, nullptr);
  ExpectDocState(m.itsDocState, v);

  // Layers, in file order; the reader makes every layer visible.
  const Layer* l = m.itsLayers;
  for (const FloorSpec& f : kFloors) {
    ASSERT_NE(l, nullptr);
    EXPECT_STREQ(l->name, f.name);
    EXPECT_EQ(l->visible, 1);
    EXPECT_EQ(l->selectable, f.selectable);
    EXPECT_FLOAT_EQ(l->height, f.height);
    l = l->next;
  }
  EXPECT_EQ(l, nullptr);
  ASSERT_NE(m.itsCurLayer, nullptr);
  EXPECT_STREQ(m.itsCurLayer->name, "Second Floor");

  const Layer* first = m.itsLayers;
  const Layer* second = first->next;
  const Layer* third = second->next;
  ASSERT_EQ(CountObjects(first), 2u);
  ExpectPolygon(first->firstObject, v);
  const Objex* wall = first->firstObject->next;
  EXPECT_EQ(wall->type, kObjWall);
  EXPECT_EQ(wall->pointCount, 2);
  // 10000 stores no parameters: the wall takes its floor's height.
  EXPECT_FLOAT_EQ(wall->params[0], G(v) == 0 ? kFloors[0].height : 96.5f);
  // Walls before 10400 take the fixed stud spacing and siding.
  EXPECT_FLOAT_EQ(wall->params[1], v < 10400 ? 16.0f : 14.5f);
  EXPECT_EQ(wall->textureID, v < 10400 ? 1700 : 12);
  ExpectAttachment(wall->firstChild, wall, kObjDoor, kDoorSubtype, 4.0f, 12.0f, v);
  if (wall->firstChild) {
    ExpectAttachment(wall->firstChild->next, wall, kObjWindow, kWindowSubtype, 20.0f, 10.0f, v);
    if (wall->firstChild->next) {
      EXPECT_EQ(wall->firstChild->next->next, nullptr);
    }
  }
  if (G(v) >= 4) {
    EXPECT_EQ(wall->objectID, kWallID);
  }

  ASSERT_EQ(CountObjects(second), 1u);
  const Objex* group = second->firstObject;
  EXPECT_EQ(group->type, kObjGroup);
  EXPECT_EQ(group->groupMarker, v >= 10700 ? 117 : 0);
  const Objex* line1 = group->firstChild;
  ASSERT_NE(line1, nullptr);
  ASSERT_NE(line1->next, nullptr);
  EXPECT_EQ(line1->next->next, nullptr);
  EXPECT_EQ(line1->type, kObjLine);
  EXPECT_EQ(line1->parent, group);
  EXPECT_FLOAT_EQ(line1->next->firstPoint->position[0], 500);
  if (G(v) >= 4) {
    EXPECT_EQ(line1->next->objectID, kLine2ID);
  }

  const Objex* photo = third->firstObject;
  ASSERT_NE(photo, nullptr);
  EXPECT_EQ(photo->type, kObjPhotoView);
  ASSERT_NE(photo->sourceObject, nullptr);
  EXPECT_STREQ(static_cast<const char*>(photo->sourceObject), kPhotoPath);
  EXPECT_EQ(photo->textureID1, 30000);
  ExpectThirdFloor(third, v);

  // Black boxes from 10500.
  int blocks = 0;
  for (const PlugInData* p = m.itsPlugIns; p; p = p->next, ++blocks) {
    if (p->plugInID == 4242) {
      ASSERT_EQ(p->size, 5);
      EXPECT_EQ(std::string(p->data, 5), "ABCDE");
    } else {
      EXPECT_EQ(p->plugInID, 4243);
      EXPECT_EQ(p->data, nullptr);
    }
  }
  EXPECT_EQ(blocks, HasBlackBoxes(v) ? 2 : 0);

  // Saved views from 10900.
  const LiveViewsList* view = m.itsLiveViews;
  if (HasSavedViews(v)) {
    for (const ViewSpec& view_def : kViews) {
      ASSERT_NE(view, nullptr);
      EXPECT_EQ(view->name, view_def.name);
      EXPECT_EQ(view->navigationMode, 2);
      EXPECT_EQ(view->navigationSubMode, 3);
      EXPECT_FLOAT_EQ(view->flyPitch, view_def.base);
      EXPECT_FLOAT_EQ(view->walkPosition.floatV, view_def.base + 4);
      EXPECT_FLOAT_EQ(view->lookOffset.floatV, view_def.base + 8);
      EXPECT_EQ(view->viewSetting13, 1301);
      EXPECT_EQ(view->cutAwayPlane, 4);
      EXPECT_EQ(view->viewSetting12, 1201);
      EXPECT_EQ(view->viewSetting10, 8);
      EXPECT_EQ(view->viewSetting4, 401);
      EXPECT_EQ(view->viewSetting3, 0xF301);
      EXPECT_FLOAT_EQ(view->viewSetting11, view_def.base + 9);
      EXPECT_EQ(view->sunShadows, 10);
      EXPECT_FLOAT_EQ(view->sunAngle2, view_def.base + 11);
      EXPECT_EQ(view->sunSetting2, 2201);
      EXPECT_FLOAT_EQ(view->viewSetting6, view_def.base + 13);
      EXPECT_EQ(view->viewSetting7, 11);
      view = view->next;
    }
    EXPECT_STREQ(m.itsDocState->currentLiveViewName, "");
  }
  EXPECT_EQ(view, nullptr);

  // Palettes from 11000; older files keep the (here empty) chain.
  const DocPaletteList* p = m.itsPaletteList;
  if (HasPalettes(v)) {
    for (const PaletteSpec& view_def : kPalettes) {
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(p->name, view_def.name);
      EXPECT_EQ(p->active, view_def.active);
      EXPECT_EQ(p->sectionNames[1], view_def.name + " 2");
      EXPECT_EQ(p->sectionCollapsed[1], 1);
      EXPECT_EQ(p->sectionCollapsed[2], 0);
      EXPECT_EQ(p->sectionNames[14], view_def.name + " 15");
      const PaletteList* e = p->entries;
      ASSERT_TRUE(e && e->next && e->next->next);
      EXPECT_EQ(e->kind, 5);
      EXPECT_EQ(e->textureID, view_def.firstTexture);
      EXPECT_EQ(e->textureScale.y, 120);
      EXPECT_EQ(e->auxColor.green, 50);
      EXPECT_EQ(e->extraText, "note " + view_def.name);
      EXPECT_EQ(e->next->kind, 4);
      EXPECT_EQ(e->next->color.blue, 31);
      EXPECT_EQ(e->next->texturePath, "Woods/" + view_def.name + ".jpg");
      EXPECT_EQ(e->next->next->kind, 0);
      EXPECT_EQ(e->next->next->refID, 3);
      p = p->next;
    }
  }
  EXPECT_EQ(p, nullptr);
}

class DesignFixtures : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetByteStream();
    savedImageNumber = gCurrentPhotoTextureID;
    dir = fs::temp_directory_path() / ("casa-fixtures-" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    ResetByteStream();
    gCurrentPhotoTextureID = savedImageNumber;
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string Save(const std::string& name, const Bytes& b) {
    const fs::path p = dir / name;
    WriteBytes(p, b.data(), b.size());
    return p.string();
  }
  fs::path dir;
  int32_t savedImageNumber = 0;
};

TEST_F(DesignFixtures, EveryVersionOpensWithItsValues) {
  for (int32_t v : kAllVersions) {
    const std::string path = Save("v" + std::to_string(v) + ".dsn", BuildDesign(v));
    TestDocument doc;
    gCurrentPhotoTextureID = 30000;
    ASSERT_EQ(KeyFileRead(path.c_str()), 1) << v;
    ExpectDesign(doc, v);
    EXPECT_MODEL_SOUND() << v;
  }
}

TEST_F(DesignFixtures, UnknownVersionsAreRefusedAndChangeNothing) {
  const Bytes good = BuildDesign(11100);
  TestDocument doc;
  Objex* line = doc.addObject(kObjLine, false, {{1, 2}, {3, 4}});
  DocState before = *doc.ds();
  for (uint32_t v : {10600u, 9000u}) {
    Bytes b = good;
    b[0] = uint8_t(v >> 24), b[1] = uint8_t(v >> 16), b[2] = uint8_t(v >> 8), b[3] = uint8_t(v);
    const std::string path = Save("refused.dsn", b);
    EXPECT_EQ(KeyFileRead(path.c_str()), 0) << v;
    EXPECT_EQ(doc.model.itsLayers, doc.first);
    EXPECT_EQ(doc.first->firstObject, line);
    EXPECT_EQ(line->next, nullptr);
    EXPECT_EQ(CountObjects(doc.second), 0u);
    EXPECT_EQ(doc.model.itsPlugIns, nullptr);
    EXPECT_EQ(doc.model.itsLiveViews, nullptr);
    EXPECT_EQ(memcmp(doc.ds(), &before, sizeof before), 0);
  }
}

// Any cut of a fixture opens no half design: a cut before the end of the object stream is
// refused with the open design unchanged; a later one (inside the side blocks) may open,
// and then the model is sound.
TEST_F(DesignFixtures, CutFilesAreRefusedOrSound) {
  for (int32_t v : {10000, 10500, 11100}) {
    std::vector<Note> notes;
    const Bytes full = BuildDesign(v, &notes);
    size_t objectsEnd = 0;
    for (const Note& n : notes)
      if (n.field == "tag kTagObjectsEnd") objectsEnd = n.offset + n.width;
    ASSERT_GT(objectsEnd, 0u);
    TestDocument doc;
    Objex* line = doc.addObject(kObjLine, false, {{1, 2}, {3, 4}});
    for (size_t cut = 0; cut < full.size(); cut += (cut < 16 ? 1 : 11)) {
      const std::string path = Save("cut.dsn", Bytes(full.begin(), full.begin() + long(cut)));
      const int read = KeyFileRead(path.c_str());
      if (cut < objectsEnd) {
        ASSERT_EQ(read, 0) << v << " cut at " << cut;
      }
      if (read == 0) {
        ASSERT_EQ(doc.first->firstObject, line) << v << " cut at " << cut;
      } else {
        EXPECT_MODEL_SOUND() << v << " cut at " << cut;
        break;  // the design was replaced
      }
    }
  }
}

// The fixtures kept on disk: the builder still makes exactly their bytes and listings, and
// they open. CASA_UPDATE_FIXTURES=1 writes them anew (then check the listings by hand).
TEST_F(DesignFixtures, KeptFixturesMatchTheirBuilderAndListing) {
  const bool update = getenv("CASA_UPDATE_FIXTURES") != nullptr;
  for (int32_t v : kKeptVersions) {
    SCOPED_TRACE(v);
    std::vector<Note> notes;
    const Bytes built = BuildDesign(v, &notes);
    const fs::path bin = DataDir() / ("design-" + std::to_string(v) + ".dsn");
    const fs::path txt = DataDir() / ("design-" + std::to_string(v) + ".txt");
    if (update) {
      fs::create_directories(DataDir());
      WriteBytes(bin, built.data(), built.size());
      const std::string listing = Listing(notes);
      WriteBytes(txt, listing.data(), listing.size());
    }
    const Bytes kept = ReadBytes(bin);
    ASSERT_FALSE(kept.empty()) << bin;
    EXPECT_EQ(kept, built);
    EXPECT_EQ(ReadText(txt), Listing(notes));
    // The listing covers every byte once, in order.
    size_t at = 0;
    for (const Note& n : notes) {
      EXPECT_EQ(n.offset, at) << n.field;
      at = n.offset + n.width;
    }
    EXPECT_EQ(at, kept.size());

    TestDocument doc;
    gCurrentPhotoTextureID = 30000;
    ASSERT_EQ(KeyFileRead(bin.c_str()), 1);
    ExpectDesign(doc, v);
  }
}

}  // namespace
