// Files that once lost data, leaked or computed with unusable numbers, kept under
// data/regressions: every reader that meets them must keep what they hold, free what it
// drops, and turn out a file that reads back to the same design.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "DesignFixtureWriter.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "files/ByteStream.h"
#include "files/Clipboard.h"
#include "files/DesignFile.h"
#include "files/FileTestSupport.h"
#include "files/StreamState.h"
#include "files/SymbolFile.h"
#include "files/TemplateFile.h"
#include "files/TopoGridFile.h"
#include "files/Undo.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/ParallelObjects.h"
#include "model/RepeatBound.h"
#include "model/Selection.h"
#include "model/TopoGrid.h"
#include "model/ViewStateGuard.h"
#include "platform/Alerts.h"

namespace fs = std::filesystem;

namespace {

fs::path Regressions() { return fs::path(__FILE__).parent_path() / "data" / "regressions"; }
std::string Kept(const char* name) { return (Regressions() / name).string(); }

// Every object of a list and, depth first, the children below it.
template <typename F>
void VisitAll(Objex* o, F&& f) {
  for (; o; o = o->next) {
    f(o);
    VisitAll(o->firstChild, f);
  }
}
template <typename F>
void VisitLayers(Layer* l, F&& f) {
  for (; l; l = l->next) VisitAll(l->firstObject, f);
}

// The first wall that is a member of a group on the layer, or null.
Objex* GroupedWall(const Layer* layer) {
  for (Objex* o = layer ? layer->firstObject : nullptr; o; o = o->next) {
    if (o->type != kObjGroup) continue;
    for (Objex* m = o->firstChild; m; m = m->next)
      if (m->type == kObjWall) return m;
  }
  return nullptr;
}
Objex* GroupedWall(ZLKDocumentModel& m) {
  for (Layer* l = m.itsLayers; l; l = l->next)
    if (Objex* w = GroupedWall(l)) return w;
  return nullptr;
}

// The kinds of the wall's attachments, in order, each checked to hang under the wall.
std::vector<int16_t> AttachmentKinds(const Objex* wall) {
  std::vector<int16_t> kinds;
  for (const Objex* c = wall ? wall->firstChild : nullptr; c; c = c->next) {
    EXPECT_EQ(c->parent, wall);
    EXPECT_EQ(c->layer, wall->layer);
    EXPECT_NE(c->typeData, nullptr);
    kinds.push_back(c->type);
  }
  return kinds;
}

const std::vector<int16_t> kDoor{kObjDoor};

// A wall height is a usable length: finite, at least 1, within the range of point values.
void ExpectUsableWallHeights(Layer* layers) {
  size_t walls = 0;
  VisitLayers(layers, [&](Objex* o) {
    if (o->type != kObjWall) return;
    ++walls;
    EXPECT_TRUE(std::isfinite(o->params[0]) && o->params[0] >= 1 && o->params[0] <= 1e6f)
        << o->params[0];
    for (Poinz* p = o->firstPoint; p; p = p->next)
      EXPECT_TRUE(std::isfinite(p->segmentFloats[0]) && p->segmentFloats[0] <= 1e6f)
          << p->segmentFloats[0];
  });
  EXPECT_GT(walls, 0u);
}

class ReaderRegression : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetByteStream();
    dir = fs::temp_directory_path() / ("casa-regression-" + std::to_string(getpid()));
    fs::create_directories(dir);
    chmod(dir.c_str(), 0700);
  }
  void TearDown() override {
    ResetByteStream();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string File(const std::string& name) const { return (dir / name).string(); }
  // A private copy of a kept file (readers may repair a path buffer in place).
  std::string Copy(const char* name) {
    const std::string to = File(name);
    fs::copy_file(Kept(name), to, fs::copy_options::overwrite_existing);
    chmod(to.c_str(), 0600);
    return to;
  }
  // Open `path`, save, open the save, save again: the two saves are identical. With
  // `settle`, the first save is opened and saved once more before comparing.
  void ExpectStableRoundTrip(const std::string& path, const std::string& tag, bool settle = false) {
    const std::string b = File(tag + "-b.dsn"), c = File(tag + "-c.dsn");
    {
      TestDocument first;
      ASSERT_EQ(KeyFileRead(path.c_str()), 1) << tag;
      EXPECT_MODEL_SOUND() << tag;
      ASSERT_EQ(KeyFileWrite(b.c_str()), 1) << tag;
    }
    if (settle) {
      TestDocument again;
      ASSERT_EQ(KeyFileRead(b.c_str()), 1) << tag;
      ASSERT_EQ(KeyFileWrite(b.c_str()), 1) << tag;
    }
    TestDocument second;
    ASSERT_EQ(KeyFileRead(b.c_str()), 1) << tag << ": the saved file is refused";
    EXPECT_MODEL_SOUND() << tag;
    ASSERT_EQ(KeyFileWrite(c.c_str()), 1) << tag;
    EXPECT_EQ(ReadBytes(b), ReadBytes(c)) << tag;
  }
  fs::path dir;
  ScopedAlertRecorder alerts;
};

}  // namespace

// ---- A group member keeps the attachments its own data carries ----

namespace {

// A group on the first floor holding a wall with a door and a window, a deck with steps, a
// roof and a roof panel with a skylight each, and a line. Returns the group.
Objex* AddGroupOfBuildingParts(TestDocument& doc) {
  Objex* group = MakeObject(kObjGroup, 0, 0, nullptr, doc.first);
  Objex* wall = MakeWallWithSides(0, group, nullptr);
  Poinz* w0 = wall->firstPoint;
  MakeObject(kObjDoor, 4, 5, wall, nullptr, NewOpening(kDoorHinged, w0, w0->next, 36));
  MakeObject(kObjWindow, 4, 42, wall, nullptr, NewOpening(0, w0->next, w0->next->next, 24));
  Objex* deck = MakeObject(kObjDeck, 4, 100, group, nullptr);
  MakeObject(kObjDeckSteps, 4, 105, deck, nullptr,
             NewOpening(0, deck->firstPoint, deck->firstPoint->next, 30));
  for (int16_t kind : {kObjRoof, kObjRoofPanel}) {
    Objex* roof = MakeObject(kind, 4, kind == kObjRoof ? 200 : 250, group, nullptr);
    auto* sky = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
    sky->ownerType = kObjSkylight;
    sky->subtype = kSkylightRectangular;
    sky->floats[0] = sky->floats[1] = 10;
    MakeObject(kObjSkylight, 4, roof->firstPoint->position[0] + 5, roof, nullptr, sky);
  }
  MakeObject(kObjLine, 2, 300, group, nullptr);
  UpdateObjectRootBounds(group, 0, 1);
  return group;
}

// The members of the group as kinds, each with the kinds of its children.
std::vector<std::vector<int16_t>> Members(const Objex* group) {
  std::vector<std::vector<int16_t>> out;
  for (const Objex* m = group ? group->firstChild : nullptr; m; m = m->next) {
    EXPECT_EQ(m->parent, group);
    std::vector<int16_t> row{m->type};
    for (const Objex* c = m->firstChild; c; c = c->next) {
      EXPECT_EQ(c->parent, m);
      EXPECT_EQ(c->layer, group->layer);
      row.push_back(c->type);
    }
    out.push_back(row);
  }
  return out;
}

const std::vector<std::vector<int16_t>> kBuildingParts{
    {kObjWall, kObjDoor, kObjWindow}, {kObjDeck, kObjDeckSteps}, {kObjRoof, kObjSkylight},
    {kObjRoofPanel, kObjSkylight},    {kObjLine}};

Objex* FirstGroup(const Layer* layer) {
  for (Objex* o = layer ? layer->firstObject : nullptr; o; o = o->next)
    if (o->type == kObjGroup) return o;
  return nullptr;
}

}  // namespace

TEST_F(ReaderRegression, GroupMembersKeepTheirAttachmentsThroughSaveOpenSave) {
  const std::string a = File("a.dsn"), b = File("b.dsn"), c = File("c.dsn");
  {
    TestDocument doc;
    AddGroupOfBuildingParts(doc);
    EXPECT_MODEL_SOUND();
    ASSERT_EQ(KeyFileWrite(a.c_str()), 1);
  }
  {
    TestDocument doc;
    ASSERT_EQ(KeyFileRead(a.c_str()), 1);
    EXPECT_MODEL_SOUND();
    EXPECT_EQ(Members(FirstGroup(GetLayerFromName("First Floor"))), kBuildingParts);
    ASSERT_EQ(KeyFileWrite(b.c_str()), 1);
  }
  TestDocument doc;
  ASSERT_EQ(KeyFileRead(b.c_str()), 1);
  EXPECT_MODEL_SOUND();
  EXPECT_EQ(Members(FirstGroup(GetLayerFromName("First Floor"))), kBuildingParts);
  EXPECT_EQ(CountObjects(GetLayerFromName("First Floor")), 1u);
  ASSERT_EQ(KeyFileWrite(c.c_str()), 1);
  EXPECT_EQ(ReadBytes(b), ReadBytes(c));
}

TEST_F(ReaderRegression, GroupMembersKeepTheirAttachmentsWhenCopiedAndPasted) {
  ViewStateGuard view;
  TestDocument doc;
  ReadyToPaste(doc.model, 12);
  SelectObj(AddGroupOfBuildingParts(doc), 1, 0);
  DoCopyObjects();
  DoPasteObjects();
  EXPECT_MODEL_SOUND();
  ASSERT_EQ(CountObjects(doc.first), 2u);
  EXPECT_EQ(Members(doc.first->firstObject->next), kBuildingParts);
  FreeScrap();
}

TEST_F(ReaderRegression, GroupedWallKeepsItsDoorThroughOpenAndSave) {
  const std::string a = Kept("design-grouped-wall-door.dsn");
  const std::string b = File("b.dsn"), c = File("c.dsn");
  {
    TestDocument doc;
    ASSERT_EQ(KeyFileRead(a.c_str()), 1);
    EXPECT_MODEL_SOUND();
    EXPECT_EQ(AttachmentKinds(GroupedWall(doc.model)), kDoor);
    ASSERT_EQ(KeyFileWrite(b.c_str()), 1);
  }
  TestDocument doc;
  ASSERT_EQ(KeyFileRead(b.c_str()), 1);
  EXPECT_MODEL_SOUND();
  EXPECT_EQ(AttachmentKinds(GroupedWall(doc.model)), kDoor);
  ASSERT_EQ(KeyFileWrite(c.c_str()), 1);
  EXPECT_EQ(ReadBytes(b), ReadBytes(c));
}

TEST_F(ReaderRegression, GroupedWallKeepsItsDoorThroughUndo) {
  TestDocument doc;
  ASSERT_EQ(RestoreState(Copy("undo-grouped-wall-door.dat").c_str()), 1);
  EXPECT_MODEL_SOUND();
  EXPECT_EQ(AttachmentKinds(GroupedWall(doc.model)), kDoor);
}

TEST_F(ReaderRegression, GroupedWallKeepsItsDoorFromATemplate) {
  TestDocument doc;
  ASSERT_EQ(TemplateFileRead(Copy("template-grouped-wall-door.QTF").c_str()), 1);
  EXPECT_MODEL_SOUND();
  EXPECT_EQ(AttachmentKinds(GroupedWall(doc.first)), kDoor);
}

// The scrap breaks off before its end tag: nothing is pasted and nothing read is kept.
TEST_F(ReaderRegression, DamagedScrapWithAGroupedWallPastesNothing) {
  ViewStateGuard view;
  TestDocument doc;
  ReadyToPaste(doc.model, 12);
  SetScrap(ReadBytes(Kept("scrap-grouped-wall-door.scrap")));
  DoPasteObjects();
  EXPECT_MODEL_SOUND();
  EXPECT_EQ(CountObjects(doc.first), 0u);
  FreeScrap();
}

// ---- Unusable numbers are repaired before they are rounded ----

TEST_F(ReaderRegression, HugeWallHeightsInDesignFilesTakeTheFloorHeight) {
  // A segment height of 1e30 in a file before 10400, a wall height of 3e38 in a current one.
  for (const char* name :
       {"design-10300-wall-segment-height-huge.dsn", "design-wall-height-huge.dsn"}) {
    TestDocument doc;
    ASSERT_EQ(KeyFileRead(Kept(name).c_str()), 1) << name;
    EXPECT_MODEL_SOUND() << name;
    ExpectUsableWallHeights(doc.model.itsLayers);
  }
}

TEST_F(ReaderRegression, HugeWallHeightInAnUndoSnapshotTakesTheFloorHeight) {
  TestDocument doc;
  ASSERT_EQ(RestoreState(Copy("undo-wall-height-huge.dat").c_str()), 1);
  ExpectUsableWallHeights(doc.model.itsLayers);
}

TEST_F(ReaderRegression, HugeWallHeightInATemplateTakesTheFloorHeight) {
  TestDocument doc;
  ASSERT_EQ(TemplateFileRead(Copy("template-wall-height-huge.QTF").c_str()), 1);
  ExpectUsableWallHeights(doc.model.itsLayers);
}

// A floor height that is not a number keeps the new floor's height, and so does the wall
// that takes it over.
TEST_F(ReaderRegression, FloorHeightThatIsNotANumberIsNotTakenOver) {
  const std::string a = File("a.dsn");
  {
    TestDocument doc;
    Objex* wall = MakeObject(kObjWall, 2, 0, nullptr, doc.first);
    wall->params[0] = 0;  // takes the floor's height when read
    wall->params[1] = 16;
    ASSERT_EQ(KeyFileWrite(a.c_str()), 1);
  }
  Bytes b = ReadBytes(a);
  const std::string name = "First Floor";
  size_t at = 0;
  for (; at + 2 + name.size() < b.size(); ++at)
    if (b[at] == 0 && b[at + 1] == 100 && memcmp(&b[at + 2], name.data(), name.size()) == 0) break;
  ASSERT_LT(at + 2 + 256 + 2 + 4, b.size());
  const size_t height = at + 2 + 256 + 2;
  for (size_t k = 0; k < 4; ++k) b[height + k] = 0xFF;  // a NaN
  WriteBytes(a, b);
  TestDocument doc;
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  Layer* first = GetLayerFromName("First Floor");
  ASSERT_NE(first, nullptr);
  EXPECT_FLOAT_EQ(first->height, 96);
  ASSERT_NE(first->firstObject, nullptr);
  EXPECT_FLOAT_EQ(first->firstObject->params[0], 96);
}

// A scrap and a topography grid whose wall height is not a number (both break off before
// their end, so neither adds anything): the height is never rounded.
TEST_F(ReaderRegression, WallHeightThatIsNotANumberInAScrapIsNeverRounded) {
  ViewStateGuard view;
  TestDocument doc;
  ReadyToPaste(doc.model, 13);
  SetScrap(ReadBytes(Kept("scrap-wall-height-nan.scrap")));
  DoPasteObjects();
  EXPECT_EQ(CountObjects(doc.first), 0u);
  FreeScrap();
}

TEST_F(ReaderRegression, WallHeightThatIsNotANumberInATopographyGridIsNeverRounded) {
  TestDocument doc;
  const std::string copy = Copy("topo-wall-height-nan.top");
  char path[512] = {};
  snprintf(path, sizeof path, "%s", copy.c_str());
  ReadTopoGridFile(path);
  Layer* topo = doc.model.itsTopoLayer;
  for (Objex* o = topo ? topo->firstObject : nullptr; o; o = o->next)
    EXPECT_EQ(o->type, kObjTopography);  // the grid file keeps only topography objects
  FreeTopoGrid();
}

// ---- What the reader accepts, the writer writes back readable ----

TEST_F(ReaderRegression, OlderSlotTextureWithoutPathSurvivesOpenSaveOpen) {
  const std::string a = Kept("design-10000-slot-texture-none.dsn");
  ExpectStableRoundTrip(a, "none");
  TestDocument doc;
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  VisitLayers(doc.model.itsLayers, [](Objex* o) {
    for (int32_t id : {o->textureID, o->textureID1, o->textureID2, o->textureID3, o->textureID4})
      EXPECT_NE(id, -1) << o->type;
  });
}

TEST_F(ReaderRegression, EveryOlderVersionSurvivesOpenSaveOpen) {
  for (int32_t v : {10000, 10300, 10350, 10351, 10400, 10410, 10450, 10500, 10700, 10701, 10750,
                    10800, 10900, 11000, 11100}) {
    const std::string a = File("v" + std::to_string(v) + ".dsn");
    WriteBytes(a, design_fixture::BuildDesign(v));
    // A user plant of a file before 10750 stores no image path; reading its first save
    // numbers its image, as for every user plant read from a newer file. From then on the
    // saves stay the same.
    ExpectStableRoundTrip(a, "v" + std::to_string(v), v < 10750);
  }
}

// ---- A count the design holds bounds the work it sets off ----

// A fuzzed design whose curve setting asks for 16,704 pieces a curve, with curved parts under
// groups nested 19 deep, its stream ending inside its last tag: it took seconds to be refused,
// each bounds update of the read sampling every curved segment as asked. The setting is read as
// the file holds it, and the bounds sample each curved segment at the bound on curve samples.
TEST_F(ReaderRegression, ACurveSettingPastTheBoundIsSampledAtTheBound) {
  TestDocument doc;
  const Bytes bytes = ReadBytes(Kept("curve-setting-past-the-bound.pro"));
  ASSERT_FALSE(bytes.empty());
  SetInputBuffer(bytes.data(), bytes.size());
  ZLKDocumentModel fresh;
  EXPECT_FALSE(ReadDesignIntoModel(&fresh));
  ReleaseInputBuffer();
  ASSERT_NE(fresh.itsDocState, nullptr);
  EXPECT_GT(fresh.itsDocState->curveSegments, kMaxRepeats);
  {
    // The pieces the read's bounds took, with the design's own setting.
    CurrentDocumentScope scope(&fresh);
    EXPECT_EQ(CurrentCurveSegments(), kMaxRepeats);
  }
  ReleaseModelContents(&fresh);
  // Opened as a user would: refused, the open design left as it was.
  Layer* layers = doc.model.itsLayers;
  EXPECT_EQ(KeyFileRead(Copy("curve-setting-past-the-bound.pro").c_str()), 0);
  EXPECT_EQ(doc.model.itsLayers, layers);
  EXPECT_MODEL_SOUND();
}

// ---- A part that changes kind frees what its former kind owned ----

TEST_F(ReaderRegression, SymbolPartFromAPhotoViewKeepsNoImagePath) {
  TestDocument doc;
  auto* symbol = static_cast<Objex*>(calloc(1, sizeof(Objex)));
  symbol->type = 55;
  ASSERT_EQ(Symbol2DFileRead(Copy("symbol-photo-view-part.qtm").c_str(), symbol), 1);
  size_t parts = 0;
  for (Objex* part = symbol->firstChild; part; part = part->next, ++parts) {
    EXPECT_EQ(part->type, 55);
    EXPECT_EQ(part->sourceObject, nullptr);
  }
  EXPECT_GT(parts, 0u);
  DeleteSymbolObject(symbol);
}

