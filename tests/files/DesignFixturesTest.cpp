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
#include "model/LiveViews.h"
#include "model/Palettes.h"

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
    EXPECT_EQ(got->nextObjectID, src->nextObjectID);
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
  EXPECT_EQ(wall->firstChild, nullptr);
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

  ASSERT_EQ(CountObjects(third), 1u);
  const Objex* photo = third->firstObject;
  EXPECT_EQ(photo->type, kObjPhotoView);
  ASSERT_NE(photo->sourceObject, nullptr);
  EXPECT_STREQ(static_cast<const char*>(photo->sourceObject), kPhotoPath);

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
    dir = fs::temp_directory_path() / ("casa-fixtures-" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    ResetByteStream();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string Save(const std::string& name, const Bytes& b) {
    const fs::path p = dir / name;
    WriteBytes(p, b.data(), b.size());
    return p.string();
  }
  fs::path dir;
};

TEST_F(DesignFixtures, EveryVersionOpensWithItsValues) {
  for (int32_t v : kAllVersions) {
    const std::string path = Save("v" + std::to_string(v) + ".dsn", BuildDesign(v));
    TestDocument doc;
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
    ASSERT_EQ(KeyFileRead(bin.c_str()), 1);
    ExpectDesign(doc, v);
  }
}

}  // namespace
