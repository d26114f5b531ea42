// The design file container: round trips, refused versions, the fix-ups after reading,
// brackets, black boxes and saved views, and damaged or unwritable files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AllocationWatch.h"
#include "TestDocument.h"
#include "files/FileTestSupport.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/DocStateBlock.h"
#include "files/FileTags.h"
#include "files/ObjectRecords.h"
#include "files/PaletteFile.h"
#include "files/SideBlocks.h"
#include "files/StreamState.h"
#include "files/TypeData.h"
#include "files/Undo.h"
#include "model/CabinetState.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/CustomTextures.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LiveViews.h"
#include "model/Palettes.h"

namespace fs = std::filesystem;

namespace {

struct TempDir {
  fs::path path;
  TempDir() {
    path = fs::temp_directory_path() / ("casa-design-" + std::to_string(getpid()) + "-" +
                                        std::to_string(reinterpret_cast<uintptr_t>(this)));
    fs::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    fs::permissions(path, fs::perms::owner_all, ec);
    fs::remove_all(path, ec);
  }
  std::string file(const std::string& name) const { return (path / name).string(); }
};



uint32_t BE32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}


// A small design: lines on two floors, a nested group, plug-in data, two saved views.
void FillDesign(TestDocument& doc) {
  doc.addObject(kObjLine, false, {{0, 0}, {100, 0}});
  doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}}, doc.second);
  Objex* outer = doc.addObject(kObjGroup, false, {});
  Objex* inner = CreateObject(kObjGroup, 0, 1, nullptr, nullptr, 1, 6, 0, nullptr, nullptr,
                              nullptr, outer, doc.first, nullptr);
  Objex* part = CreateObject(kObjLine, 0, 1, nullptr, nullptr, 1, 6, 0, nullptr, nullptr, nullptr,
                             inner, doc.first, nullptr);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 1, 2, 3, 0, 0, 0, 0, 0, 0, part), part);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 4, 5, 6, 0, 0, 0, 0, 0, 0, part), part);
  inner->firstChild = part;
  outer->firstChild = inner;
  StorePlugInData(static_cast<char*>(calloc(1, 3)), 3, 77);
  StorePlugInData(nullptr, 0, 78);
  LiveViewsList* v = AddLiveViewsListEntry();
  strcpy(v->name, "Kitchen");
  v->flyPitch = 12.5f;
  AddLiveViewsListEntry();
}

}  // namespace

class DesignFile : public ::testing::Test {
 protected:
  void SetUp() override { ResetByteStream(); }
  void TearDown() override { ResetByteStream(); }
  TempDir dir;
};

TEST_F(DesignFile, SaveOpenSaveIsByteIdentical) {
  TestDocument doc;
  FillDesign(doc);
  std::string a = dir.file("a.dsn"), b = dir.file("b.dsn"), c = dir.file("c.dsn");
  ASSERT_EQ(KeyFileWrite(a.c_str()), 1);
  EXPECT_EQ(doc.ds()->documentChanged, 0);
  Bytes first = ReadBytes(a);
  ASSERT_GT(first.size(), 3700u);
  EXPECT_EQ(BE32(first, 0), 11100u);
  EXPECT_EQ(first[4], 0);
  EXPECT_EQ(first[5], 2);
  EXPECT_EQ(BE32(first, 6), 3732u);

  TestDocument other;
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  ASSERT_EQ(KeyFileWrite(b.c_str()), 1);
  TestDocument third;
  ASSERT_EQ(KeyFileRead(b.c_str()), 1);
  ASSERT_EQ(KeyFileWrite(c.c_str()), 1);
  EXPECT_EQ(ReadBytes(b), ReadBytes(c));

  // What came back.
  Layer* first_floor = GetLayerFromName("First Floor");
  ASSERT_NE(first_floor, nullptr);
  EXPECT_EQ(third.model.itsCurLayer, first_floor);
  EXPECT_EQ(CountObjects(first_floor), 2u);
  EXPECT_EQ(CountObjects(GetLayerFromName("Second Floor")), 1u);
  EXPECT_EQ(CountLiveViewsList(), 2);
  EXPECT_STREQ(third.model.itsLiveViews->name, "Kitchen");
  EXPECT_FLOAT_EQ(third.model.itsLiveViews->flyPitch, 12.5f);
  int blocks = 0;
  for (PlugInData* p = third.model.itsPlugIns; p; p = p->next) {
    ++blocks;
    if (p->plugInID == 77) EXPECT_EQ(p->size, 3);
    if (p->plugInID == 78) EXPECT_EQ(p->data, nullptr);
  }
  EXPECT_EQ(blocks, 2);
}

// A design saved with no palettes opens with none, whatever palettes the open document had; so
// does an undo snapshot of it.
TEST_F(DesignFile, AnEmptyPaletteChainIsReadAsEmpty) {
  TestDocument doc;
  DeleteAllDocPalettes();
  const std::string a = dir.file("a.dsn");
  ASSERT_EQ(KeyFileWrite(a.c_str()), 1);
  TestDocument other;
  ASSERT_NE(AddNewDocPaletteList(), nullptr);
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  EXPECT_EQ(other.model.itsPaletteList, nullptr);
}

TEST_F(DesignFile, NestedGroupComesBackInsideTheOuterGroup) {
  TestDocument doc;
  FillDesign(doc);
  std::string a = dir.file("g.dsn");
  ASSERT_EQ(KeyFileWrite(a.c_str()), 1);
  TestDocument other;
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  Objex* outer = GetLayerFromName("First Floor")->firstObject->next;
  ASSERT_NE(outer, nullptr);
  ASSERT_EQ(outer->type, kObjGroup);
  EXPECT_EQ(outer->next, nullptr);
  Objex* inner = outer->firstChild;
  ASSERT_NE(inner, nullptr);
  ASSERT_EQ(inner->type, kObjGroup);
  EXPECT_EQ(inner->parent, outer);
  EXPECT_EQ(inner->next, nullptr);
  ASSERT_NE(inner->firstChild, nullptr);
  EXPECT_EQ(inner->firstChild->type, kObjLine);
  EXPECT_EQ(inner->firstChild->parent, inner);
  EXPECT_EQ(inner->firstChild->next, nullptr);
}

namespace {

void WriteRecord(Objex* o) {
  WriteShort(kTagObject);
  WriteObjectInfo(o);
  WriteObjectPoints(o);
  WriteObjectData(o);
}

// A design stream whose first floor holds, in one bracket, a line, a group's record (a group in
// the group, as saves wrote it before: its record, then its members flat), two lines in it, and
// a group in that group with one line, then a line after the bracket.
Bytes NestedGroupStream() {
  TestDocument source;
  BeginOutputBuffer();
  sWriteVersion = kVersionDesign11100;
  DoWriteHeader();
  DoWriteDocState();
  Objex* outer = source.addObject(kObjGroup, false, {});
  Objex* inner = source.addObject(kObjGroup, false, {});
  Objex* innermost = source.addObject(kObjGroup, false, {});
  for (Layer* l = source.model.itsLayers; l; l = l->next) {
    WriteALayer(l);
    if (l != source.first) continue;
    WriteRecord(outer);
    WriteShort(kTagGroupBegin);
    WriteRecord(source.addObject(kObjLine, false, {{0, 0}, {10, 0}}));
    WriteRecord(inner);
    WriteRecord(source.addObject(kObjLine, false, {{0, 10}, {10, 10}}));
    WriteRecord(source.addObject(kObjLine, false, {{0, 20}, {10, 20}}));
    WriteRecord(innermost);
    WriteRecord(source.addObject(kObjLine, false, {{0, 30}, {10, 30}}));
    WriteShort(kTagGroupEnd);
    WriteRecord(source.addObject(kObjLine, false, {{0, 40}, {10, 40}}));
  }
  WriteShort(kTagObjectsEnd);
  DoWriteBlackBoxes();
  DoWriteLiveViews();
  DoWritePalettes(kVersionDesign11100);
  Bytes b = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  return b;
}

// The first floor holds one group of four lines (at z 0 to 30), then the line at z 40, and no
// other group.
void ExpectOneGroupOfFourLinesThenALine() {
  Objex* group = GetLayerFromName("First Floor")->firstObject;
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->type, kObjGroup);
  float z = 0;
  for (Objex* m = group->firstChild; m; m = m->next, z += 10) {
    ASSERT_EQ(m->type, kObjLine);
    EXPECT_EQ(m->parent, group);
    EXPECT_FLOAT_EQ(m->firstPoint->position[2], z);
  }
  EXPECT_FLOAT_EQ(z, 40);
  Objex* after = group->next;
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(after->type, kObjLine);
  EXPECT_EQ(after->parent, nullptr);
  EXPECT_EQ(after->next, nullptr);
}

}  // namespace

// A design saved with group records inside a bracket opens with their members in the outer
// group and none of those groups left empty beside them; saved again it writes no such record,
// and opened and saved once more it writes the same bytes.
TEST_F(DesignFile, GroupRecordsInsideAGroupLeaveNoEmptyGroup) {
  const std::string nested = dir.file("nested.dsn");
  {
    const Bytes b = NestedGroupStream();
    std::ofstream(nested, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
  }
  TestDocument doc;
  ASSERT_EQ(KeyFileRead(nested.c_str()), 1);
  ExpectOneGroupOfFourLinesThenALine();
  const std::string a = dir.file("a.dsn"), b = dir.file("b.dsn");
  ASSERT_EQ(KeyFileWrite(a.c_str()), 1);
  TestDocument other;
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  ExpectOneGroupOfFourLinesThenALine();
  ASSERT_EQ(KeyFileWrite(b.c_str()), 1);
  EXPECT_EQ(ReadBytes(a), ReadBytes(b));
}

// Groups in groups (Plan > Group of groups), a cabinet and a symbol among them, are saved and
// opened as they were: the cabinet with its state, the symbol placing its parts, lines nested
// three deep in their groups; saved again, the same bytes. Ungrouped once opened, the cabinet
// and the symbol stand alone, whole.
TEST_F(DesignFile, GroupsInAGroupAreSavedAndOpenedAsTheyWere) {
  const std::string a = dir.file("a.dsn"), b = dir.file("b.dsn"), c = dir.file("c.dsn");
  {
    TestDocument doc;
    ExpectCabinetSymbolAndWall(GroupCabinetSymbolAndWall(doc.model, doc.first));
    Objex* outer = doc.addObject(kObjGroup, false, {}, doc.second);
    Objex* inner = MakeObject(kObjGroup, 0, 0, outer, nullptr);
    MakeObject(kObjLine, 2, 0, inner, nullptr);
    Objex* innermost = MakeObject(kObjGroup, 0, 0, inner, nullptr);
    MakeObject(kObjLine, 2, 10, innermost, nullptr);
    MakeObject(kObjLine, 2, 20, outer, nullptr);
    MakeObject(kObjLine, 2, 30, nullptr, doc.second);
    ASSERT_EQ(KeyFileWrite(a.c_str()), 1);
  }
  auto expectLines = [] {
    Objex* outer = GetLayerFromName("Second Floor")->firstObject;
    ASSERT_NE(outer, nullptr);
    ASSERT_EQ(outer->type, kObjGroup);
    ASSERT_NE(outer->next, nullptr);
    EXPECT_EQ(outer->next->type, kObjLine);
    Objex* inner = outer->firstChild;
    ASSERT_EQ(inner->type, kObjGroup);
    ASSERT_NE(inner->next, nullptr);
    EXPECT_EQ(inner->next->type, kObjLine);
    EXPECT_EQ(inner->next->parent, outer);
    ASSERT_NE(inner->firstChild, nullptr);
    EXPECT_EQ(inner->firstChild->type, kObjLine);
    Objex* innermost = inner->firstChild->next;
    ASSERT_NE(innermost, nullptr);
    ASSERT_EQ(innermost->type, kObjGroup);
    EXPECT_EQ(innermost->parent, inner);
    ASSERT_NE(innermost->firstChild, nullptr);
    EXPECT_FLOAT_EQ(innermost->firstChild->firstPoint->position[0], 10);
    EXPECT_EQ(innermost->firstChild->parent, innermost);
  };
  TestDocument doc;
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  ExpectCabinetSymbolAndWall(GetLayerFromName("First Floor")->firstObject);
  expectLines();
  ASSERT_EQ(KeyFileWrite(b.c_str()), 1);
  {
    TestDocument other;
    ASSERT_EQ(KeyFileRead(b.c_str()), 1);
    ASSERT_EQ(KeyFileWrite(c.c_str()), 1);
  }
  EXPECT_EQ(ReadBytes(b), ReadBytes(c));

  Layer* first = GetLayerFromName("First Floor");
  Objex* group = first->firstObject;
  SetObjectSelectFlags(group, 1);
  TopLevelObjectAllLayers(doc.model.itsLayers, kCmdUngroup, CommandArg::None());
  ASSERT_EQ(CountObjects(first), 3u);
  Objex* cabinet = first->firstObject;
  Objex* symbol = cabinet->next;
  EXPECT_EQ(cabinet->parent, nullptr);
  EXPECT_EQ(cabinet->subtype, kSubCabinet);
  ASSERT_NE(cabinet->typeData, nullptr);
  EXPECT_FLOAT_EQ(static_cast<CabinetState*>(cabinet->typeData)->angle, 45);
  for (Objex* g : {cabinet, symbol}) {
    ASSERT_EQ(g->type, kObjGroup);
    ASSERT_NE(g->firstChild, nullptr);
    ASSERT_NE(g->firstChild->next, nullptr);
    for (Objex* p = g->firstChild; p; p = p->next) {
      EXPECT_EQ(p->parent, g);
      EXPECT_FLOAT_EQ(GetPlacementObject(p)->baseElevation, g == cabinet ? 30 : 20);
    }
  }
}

// The tester's design: a cabinet (state angle 45, base 30"), a symbol placing its two parts at
// 20" and a wall on the First Floor, grouped with Plan > Group. Saved and opened, each comes
// back as it was, and an Undo of a later edit brings back the same. The design saved before
// groups in a group kept their brackets still opens, its cabinet and symbol parts members of
// the group.
TEST_F(DesignFile, TheTestersCabinetSymbolAndWallStayWholeInTheirGroup) {
  const fs::path kept = fs::path(__FILE__).parent_path() / "data" / "regressions";
  auto expectWhole = [](const Objex* group) {
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->type, kObjGroup);
    int cabinets = 0, symbols = 0, walls = 0;
    for (const Objex* m = group->firstChild; m; m = m->next) {
      EXPECT_EQ(m->parent, group);
      if (m->type == kObjWall) {
        ++walls;
        continue;
      }
      ASSERT_EQ(m->type, kObjGroup) << "a part stands loose in the group";
      const bool cabinet = m->subtype == kSubCabinet;
      if (cabinet) {
        ++cabinets;
        ASSERT_NE(m->typeData, nullptr) << "the cabinet lost its state";
        EXPECT_FLOAT_EQ(static_cast<const CabinetState*>(m->typeData)->angle, 45);
      } else {
        ++symbols;
      }
      int parts = 0;
      for (const Objex* p = m->firstChild; p; p = p->next, ++parts) {
        EXPECT_EQ(GetPlacementObject(p), m);
        EXPECT_FLOAT_EQ(GetPlacementObject(p)->baseElevation, cabinet ? 30 : 20);
      }
      EXPECT_EQ(parts, 2);
    }
    EXPECT_EQ(cabinets, 1);
    EXPECT_EQ(symbols, 1);
    EXPECT_EQ(walls, 1);
  };
  const std::string saved = dir.file("grouped.dsn");
  {
    TestDocument doc;
    ASSERT_EQ(KeyFileRead((kept / "cabinet-symbol-wall.pro").c_str()), 1);
    Layer* first = GetLayerFromName("First Floor");
    ASSERT_EQ(CountObjects(first), 3u);
    for (Objex* o = first->firstObject; o; o = o->next) SetObjectSelectFlags(o, 1);
    gGroupLeader = nullptr;
    TopLevelObjectAllLayers(gCurDocument->itsLayers, kCmdGroup, CommandArg::None());
    gGroupLeader = nullptr;
    ASSERT_EQ(CountObjects(first), 1u);
    expectWhole(first->firstObject);
    ASSERT_EQ(KeyFileWrite(saved.c_str()), 1);
  }
  TestDocument doc;
  ASSERT_EQ(KeyFileRead(saved.c_str()), 1);
  expectWhole(GetLayerFromName("First Floor")->firstObject);
  InitializeUndo();
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}}, GetLayerFromName("First Floor"));
  StoreUndo("Line");
  DoUndo();
  ASSERT_EQ(CountObjects(GetLayerFromName("First Floor")), 1u);
  expectWhole(GetLayerFromName("First Floor")->firstObject);

  TestDocument old;
  ASSERT_EQ(KeyFileRead((kept / "cabinet-symbol-wall-grouped-saved.pro").c_str()), 1);
  const Objex* group = GetLayerFromName("First Floor")->firstObject;
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->type, kObjGroup);
  int members = 0;
  for (const Objex* m = group->firstChild; m; m = m->next, ++members) EXPECT_EQ(m->parent, group);
  EXPECT_EQ(members, 5);
}

// Writes a design file of the source's layers whose First Floor holds the object stream that
// `firstFloor` writes by hand (records and tags), as an older or a damaged writer left it.
template <typename WriteFirstFloor>
void WriteDesignByHand(const std::string& path, TestDocument& source, WriteFirstFloor firstFloor) {
  BeginOutputBuffer();
  sWriteVersion = kVersionDesign11100;
  DoWriteHeader();
  DoWriteDocState();
  for (Layer* l = source.model.itsLayers; l; l = l->next) {
    WriteALayer(l);
    if (l == source.first) firstFloor();
  }
  WriteShort(kTagObjectsEnd);
  DoWriteBlackBoxes();
  DoWriteLiveViews();
  DoWritePalettes(kVersionDesign11100);
  WriteBytes(path, gStream.outDataBuffer);
  ReleaseOutputBuffer();
}

// Groups in a group nest in a design no deeper than the reader keeps: the members of deeper
// ones are the deepest kept group's. An inner begin with no group record before it, and inner
// ends with nothing open, change nothing; the bracket still closes where it ends.
TEST_F(DesignFile, GroupsInAGroupNestNoDeeperThanTheReaderKeeps) {
  const std::string a = dir.file("deep.dsn");
  {
    TestDocument source;
    WriteDesignByHand(a, source, [&] {
      WriteRecord(source.addObject(kObjGroup, false, {}));
      WriteShort(kTagGroupBegin);
      for (size_t i = 0; i < ReadGroupBracket::kMaxInnerGroups + 8; ++i) {
        WriteRecord(source.addObject(kObjGroup, false, {}));
        WriteShort(kTagInnerGroupBegin);
      }
      WriteRecord(source.addObject(kObjLine, false, {{0, 0}, {10, 0}}));
      for (size_t i = 0; i < ReadGroupBracket::kMaxInnerGroups + 8; ++i) WriteShort(kTagInnerGroupEnd);
      WriteShort(kTagInnerGroupBegin);
      WriteRecord(source.addObject(kObjLine, false, {{0, 10}, {10, 10}}));
      WriteShort(kTagInnerGroupEnd);
      WriteShort(kTagInnerGroupEnd);
      WriteShort(kTagGroupEnd);
      WriteRecord(source.addObject(kObjLine, false, {{0, 20}, {10, 20}}));
    });
  }
  TestDocument doc;
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  Objex* outer = GetLayerFromName("First Floor")->firstObject;
  ASSERT_NE(outer, nullptr);
  ASSERT_EQ(outer->type, kObjGroup);
  size_t depth = 0;
  Objex* g = outer->firstChild;
  for (; g && g->type == kObjGroup; g = g->firstChild) {
    if (depth++) ASSERT_EQ(g->next, nullptr);
  }
  EXPECT_EQ(depth, ReadGroupBracket::kMaxInnerGroups);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->type, kObjLine);
  ASSERT_NE(outer->firstChild->next, nullptr);
  EXPECT_EQ(outer->firstChild->next->type, kObjLine);
  EXPECT_EQ(outer->firstChild->next->parent, outer);
  ASSERT_NE(outer->next, nullptr);
  EXPECT_EQ(outer->next->type, kObjLine);
  EXPECT_EQ(outer->next->parent, nullptr);
}

// A design saved before groups in a group kept their brackets: the cabinet's parts, the
// symbol's parts and the wall written flat in the group's bracket open as its members.
TEST_F(DesignFile, AGroupSavedWithItsCabinetAndSymbolPartsFlatOpensWithThemAsMembers) {
  const std::string a = dir.file("flat.dsn");
  {
    TestDocument source;
    Objex* group = GroupCabinetSymbolAndWall(source.model, source.first);
    WriteDesignByHand(a, source, [&] {
      WriteRecord(group);
      WriteShort(kTagGroupBegin);
      for (Objex* m = group->firstChild; m; m = m->next) {
        if (m->type != kObjGroup) WriteRecord(m);
        for (Objex* p = m->firstChild; p; p = p->next) WriteRecord(p);
      }
      WriteShort(kTagGroupEnd);
    });
  }
  TestDocument doc;
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  Objex* group = GetLayerFromName("First Floor")->firstObject;
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->type, kObjGroup);
  EXPECT_EQ(group->next, nullptr);
  std::vector<int16_t> kinds;
  for (Objex* m = group->firstChild; m; m = m->next) {
    EXPECT_EQ(m->parent, group);
    kinds.push_back(m->type);
  }
  EXPECT_EQ(kinds, (std::vector<int16_t>{kObjCabinet, kObjCabinet, kObjSymbolPart3D, kObjSymbolPart3D, kObjWall}));
}

TEST_F(DesignFile, ReadingRepairsAndResetsDocumentState) {
  TestDocument doc;
  doc.ds()->sunAngle1 = 30;
  strcpy(doc.ds()->traceImagePath, "/tmp/trace.png");
  doc.ds()->lotColor = {0, 192, 0};
  std::string a = dir.file("r.dsn");
  ASSERT_EQ(KeyFileWrite(a.c_str()), 1);
  TestDocument other;
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  DocState* ds = other.ds();
  EXPECT_EQ(ds->planMasks[1], 510);
  EXPECT_EQ(ds->navigationMode, 1);
  EXPECT_EQ(ds->newObjectPlanMask, 2);
  EXPECT_EQ(ds->currentPlanMask, 510);
  EXPECT_FLOAT_EQ(ds->sunAngle1, 30);  // 11100 keeps it
  EXPECT_STREQ(ds->traceImagePath, "");
  EXPECT_EQ(ds->lotColor.red, 0x5F5F);
  EXPECT_EQ(ds->planColors[0].red, 0xC0C0);

  // The same design stamped 10800 turns the sun angle.
  Bytes bytes = ReadBytes(a);
  Bytes old = bytes;
  old[0] = 0, old[1] = 0, old[2] = 0x2A, old[3] = 0x30;  // 10800
  // A 10800 file has no saved views or palettes and a 3478-byte state block: rebuild it
  // from the 11100 file by cutting the block and the trailing sections.
  std::string olderPath = dir.file("old.dsn");
  Bytes v10800(old.begin(), old.begin() + 10 + 3478);
  size_t objects = 10 + 3662;
  // Object stream up to and including the end tag, then the black box list.
  size_t end = objects;
  while (end + 1 < bytes.size() && !(bytes[end] == 0x01 && bytes[end + 1] == 0x90)) ++end;
  v10800.insert(v10800.end(), bytes.begin() + objects, bytes.begin() + end + 2);
  v10800.push_back(0x02);
  v10800.push_back(0x5A);  // 602
  WriteBytes(olderPath, v10800);
  TestDocument third;
  ASSERT_EQ(KeyFileRead(olderPath.c_str()), 1);
  EXPECT_FLOAT_EQ(third.ds()->sunAngle1, 300);
}

TEST_F(DesignFile, CustomTexturesTakeTheIDTheOpenDocumentListsForTheirPath) {
  auto listed = [](const ZLKDocumentModel& m, const char* path) {
    int n = 0;
    for (const CustomTextureIDList* t = m.itsCustomTextureList; t; t = t->next)
      if (t->path && strcmp(t->path, path) == 0) ++n;
    return n;
  };
  TestDocument doc;
  char first[] = "Textures/first.jpg";
  char oak[] = "Textures/oak.jpg";
  NewCustomTextureID(first);
  const int32_t oakID = NewCustomTextureID(oak);
  doc.ds()->backgroundTextureID = oakID;
  std::string a = dir.file("textures.dsn");
  ASSERT_EQ(KeyFileWrite(a.c_str()), 1);

  // Read back into the same document: the id it already has, listed once.
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  EXPECT_EQ(doc.ds()->backgroundTextureID, oakID);
  EXPECT_EQ(listed(doc.model, oak), 1);

  // Another document listing the path gives its own id for it.
  TestDocument other;
  char pine[] = "Textures/pine.jpg";
  char oak2[] = "Textures/oak.jpg";
  NewCustomTextureID(pine);
  const int32_t otherOak = NewCustomTextureID(oak2);
  ASSERT_NE(otherOak, oakID);
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  EXPECT_EQ(other.ds()->backgroundTextureID, otherOak);
  EXPECT_EQ(listed(other.model, oak), 1);
}

TEST_F(DesignFile, RefusedFilesLeaveTheOpenDesignUnchanged) {
  TestDocument doc;
  FillDesign(doc);
  std::string good = dir.file("good.dsn");
  ASSERT_EQ(KeyFileWrite(good.c_str()), 1);
  Bytes bytes = ReadBytes(good);

  TestDocument open;
  open.addObject(kObjLine, false, {{5, 5}, {6, 6}});
  uint32_t nextID = open.ds()->nextObjectID;
  auto unchanged = [&] {
    EXPECT_EQ(CountObjects(open.first), 1u);
    EXPECT_EQ(open.model.itsLayers, open.first);
    EXPECT_EQ(open.ds()->nextObjectID, nextID);
  };

  for (uint32_t version : {10600u, 9000u}) {
    Bytes b = bytes;
    b[0] = uint8_t(version >> 24), b[1] = uint8_t(version >> 16), b[2] = uint8_t(version >> 8),
    b[3] = uint8_t(version);
    std::string p = dir.file("v" + std::to_string(version));
    WriteBytes(p, b);
    EXPECT_EQ(KeyFileRead(p.c_str()), 0) << version;
    unchanged();
  }
  EXPECT_EQ(KeyFileRead(dir.file("missing").c_str()), 0);
  unchanged();

  // Without "Third Floor" the read fails and the open design stays.
  {
    TestDocument noThird;
    UnlinkLayer(noThird.third);
    free(noThird.third);
    noThird.third = nullptr;
    std::string p = dir.file("nothird.dsn");
    ASSERT_EQ(KeyFileWrite(p.c_str()), 1);
    gCurDocument = &open.model;
    EXPECT_EQ(KeyFileRead(p.c_str()), 0);
    unchanged();
    gCurDocument = &noThird.model;
  }
  gCurDocument = &open.model;

  // Every cut of the file fails quickly and changes nothing (a cut that loses only the
  // palette list's closing tag still holds the whole design).
  std::string cut = dir.file("cut.dsn");
  const bool watching = WatchAllocations();
  for (size_t n = 0; n + 2 < bytes.size(); n += (n < 64 ? 1 : 7)) {
    WriteBytes(cut, Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n)));
    EXPECT_EQ(KeyFileRead(cut.c_str()), 0) << n << " of " << bytes.size();
  }
  unchanged();
  if (watching) EXPECT_LT(LargestAllocation(), size_t{1} << 26);
}

// Tags the reader does not know are passed over wherever they stand in the object stream,
// the first records included.
TEST_F(DesignFile, UnknownTagsInTheObjectStreamArePassedOver) {
  TestDocument doc;
  doc.addObject(kObjLine, false, {{0, 0}, {100, 0}});
  std::string good = dir.file("tags.dsn");
  ASSERT_EQ(KeyFileWrite(good.c_str()), 1);
  const Bytes bytes = ReadBytes(good);
  const size_t stream = 10 + 3662;
  const size_t afterLayer = stream + 264;
  ASSERT_EQ(bytes[stream + 1], 100);
  ASSERT_EQ(bytes[afterLayer + 1], 200);
  const Bytes unknown = {0x01, 0xF4, 0x00, 0x00, 0x03, 0xE7};  // 500, 0, 999
  for (size_t at : {stream, afterLayer}) {
    Bytes b = bytes;
    b.insert(b.begin() + static_cast<long>(at), unknown.begin(), unknown.end());
    std::string p = dir.file("tags" + std::to_string(at));
    WriteBytes(p, b);
    TestDocument open;
    EXPECT_EQ(KeyFileRead(p.c_str()), 1) << at;
    Layer* first = GetLayerFromName("First Floor");
    ASSERT_NE(first, nullptr) << at;
    EXPECT_EQ(CountObjects(first), 1u) << at;
  }
}

TEST_F(DesignFile, PatchedCountsEndQuickly) {
  TestDocument doc;
  FillDesign(doc);
  std::string good = dir.file("p.dsn");
  ASSERT_EQ(KeyFileWrite(good.c_str()), 1);
  Bytes bytes = ReadBytes(good);
  TestDocument open;
  std::string patched = dir.file("patched.dsn");
  // Patch every 4-byte window after the state block with hostile values.
  for (size_t at = 10 + 3662; at + 4 <= bytes.size(); at += 3) {
    for (uint32_t value : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu}) {
      Bytes b = bytes;
      b[at] = uint8_t(value >> 24), b[at + 1] = uint8_t(value >> 16), b[at + 2] = uint8_t(value >> 8),
      b[at + 3] = uint8_t(value);
      WriteBytes(patched, b);
      KeyFileRead(patched.c_str());  // may succeed or fail; must not crash or hang
    }
  }
  SUCCEED();
}

TEST_F(DesignFile, LayerNamesSetTheViewAndOldTextLayersMove) {
  TestDocument doc;
  Layer* top = CreateLayer("X_TOP", 1, 1, nullptr);
  AppendLayerToDocument(top);
  doc.addObject(kObjLine, false, {{0, 0}, {1, 1}}, top);
  Layer* left = CreateLayer("X_LEFT", 1, 1, nullptr);
  AppendLayerToDocument(left);
  std::string p = dir.file("x.dsn");
  ASSERT_EQ(KeyFileWrite(p.c_str()), 1);
  TestDocument other;
  ASSERT_EQ(KeyFileRead(p.c_str()), 1);
  EXPECT_FLOAT_EQ(gXViewAngle, 0);
  EXPECT_FLOAT_EQ(gYViewAngle, 270);
  EXPECT_EQ(other.ds()->viewPlane, 3);
  Layer* renamed = GetLayerFromName("X_TOP_FIRST_FLOOR");
  ASSERT_NE(renamed, nullptr);
  EXPECT_EQ(CountObjects(renamed), 0u);
  EXPECT_EQ(CountObjects(GetLayerFromName("First Floor")), 1u);
  gXViewAngle = 90, gYViewAngle = 0;
}

TEST_F(DesignFile, SavedViewRecordLengthAndEmptyViewListKeepsViews) {
  TestDocument doc;
  LiveViewsList* v = AddLiveViewsListEntry();
  strcpy(v->name, "Porch12");  // 7 characters: 98 bytes
  std::string one = dir.file("one.dsn");
  ASSERT_EQ(KeyFileWrite(one.c_str()), 1);
  DeleteLiveViewsList();
  std::string none = dir.file("none.dsn");
  ASSERT_EQ(KeyFileWrite(none.c_str()), 1);
  // One view: the file is 4 + 98 bytes longer than the one without.
  EXPECT_EQ(ReadBytes(one).size() - ReadBytes(none).size(), 98u);

  TestDocument other;
  ASSERT_EQ(KeyFileRead(one.c_str()), 1);
  EXPECT_EQ(CountLiveViewsList(), 1);
  ASSERT_EQ(KeyFileRead(none.c_str()), 1);
  EXPECT_EQ(CountLiveViewsList(), 1);
}

// The blocks after the objects, written at each version around their gates: saved views
// from 10900, palettes from 11000; what is written at a version reads back at it in step.
TEST_F(DesignFile, SideBlocksAppearFromTheirVersionOn) {
  TestDocument doc;
  LiveViewsList* view = AddLiveViewsListEntry();
  strcpy(view->name, "Porch12");  // 4 + 98 bytes with its count
  AddNewDocPaletteList();
  const size_t viewBlock = 4 + 98;
  BeginOutputBuffer();
  DoWritePalettes(kVersionDesign11100);
  const size_t paletteBlock = gStream.outDataBuffer.size();
  ReleaseOutputBuffer();
  ASSERT_GT(paletteBlock, 8u);
  const struct {
    int32_t version;
    bool views, palettes;
  } cases[] = {
      {kVersionDesign10800, false, false},
      {kVersionDesign10900, true, false},
      {kVersionDesign11000, true, true},
      {kVersionDesign11100, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    BeginOutputBuffer();
    sWriteVersion = c.version;
    DoWriteLiveViews();
    DoWritePalettes(c.version);
    const std::vector<uint8_t> bytes = gStream.outDataBuffer;
    ReleaseOutputBuffer();
    sWriteVersion = kVersionDesign11100;
    EXPECT_EQ(bytes.size(), (c.views ? viewBlock : 0) + (c.palettes ? paletteBlock : 0));
    if (c.views) {
      ASSERT_GE(bytes.size(), viewBlock);
      EXPECT_EQ(bytes[3], 1);  // one view, its name length next
      EXPECT_EQ(bytes[7], 7);
      EXPECT_EQ(memcmp(&bytes[8], "Porch12", 7), 0);
    }
    SetInputBuffer(bytes.data(), bytes.size());
    sInputVersion = c.version;
    DoReadLiveViews();
    EXPECT_TRUE(DoReadPalettes(c.version));
    EXPECT_FALSE(StreamFailed());
    EXPECT_EQ(GetMark(), bytes.size());
    ReleaseInputBuffer();
    sInputVersion = kVersionDesign11100;
  }
}

// Many saved views and black boxes are all kept, in the file's order, a box whose ID came
// before replacing that one's block; the stream stays in step with what follows.
TEST_F(DesignFile, ManySavedViewsAndBlackBoxesAreKeptInOrder) {
  TestDocument doc;
  auto putLong = [](std::vector<uint8_t>& b, int32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(uint8_t(uint32_t(v) >> shift));
  };
  std::vector<uint8_t> views;
  const int32_t count = 1005;
  putLong(views, count);
  for (int32_t i = 0; i < count; ++i) {
    putLong(views, 1);
    views.push_back('A' + i % 26);
    views.insert(views.end(), 87, 0);
  }
  const size_t viewsEnd = views.size();
  putLong(views, 0x12345678);
  SetInputBuffer(views.data(), views.size());
  sInputVersion = kVersionDesign11100;
  DoReadLiveViews();
  EXPECT_FALSE(StreamFailed());
  EXPECT_EQ(CountLiveViewsList(), count);
  EXPECT_EQ(GetMark(), viewsEnd);
  int32_t at = 0;
  for (LiveViewsList* v = doc.model.itsLiveViews; v; v = v->next, ++at) {
    EXPECT_EQ(v->name[0], 'A' + at % 26);
    EXPECT_EQ(v->prev ? v->prev->next : doc.model.itsLiveViews, v);
  }

  DeletePlugInDataList();
  std::vector<uint8_t> boxes;
  auto putBox = [&](int32_t id, uint8_t byte) {
    boxes.push_back(0x02), boxes.push_back(0x58);  // 600
    putLong(boxes, id);
    putLong(boxes, 1);
    boxes.push_back(byte);
    boxes.push_back(0x02), boxes.push_back(0x59);  // 601
  };
  for (int32_t id = 1; id <= 259; ++id) putBox(id, 1);
  putBox(7, 9);  // an ID already kept is still replaced
  boxes.push_back(0x02), boxes.push_back(0x5A);  // 602
  const size_t boxesEnd = boxes.size();
  putLong(boxes, 0x12345678);
  ResetByteStream();
  SetInputBuffer(boxes.data(), boxes.size());
  DoReadBlackBoxes();
  EXPECT_FALSE(StreamFailed());
  EXPECT_EQ(GetMark(), boxesEnd);
  int32_t kept = 0;
  for (PlugInData* p = doc.model.itsPlugIns; p; p = p->next, ++kept) {
    EXPECT_EQ(p->plugInID, kept + 1);
    ASSERT_EQ(p->size, 1);
    EXPECT_EQ(p->data[0], p->plugInID == 7 ? 9 : 1);
  }
  EXPECT_EQ(kept, 259);
}

TEST_F(DesignFile, FailedSaveIsReportedAndKeepsTheOldFile) {
  TestDocument doc;
  doc.ds()->documentChanged = 1;
  EXPECT_EQ(KeyFileWrite(dir.file("no/such/folder.dsn").c_str()), 0);
  EXPECT_EQ(doc.ds()->documentChanged, 1);

  // A folder standing where the file should go cannot be replaced.
  std::string blocked = dir.file("blocked.dsn");
  fs::create_directories(fs::path(blocked) / "inside");
  EXPECT_EQ(KeyFileWrite(blocked.c_str()), 0);
  EXPECT_TRUE(fs::is_directory(blocked));

  std::string p = dir.file("keep.dsn");
  WriteBytes(p, Bytes{1, 2, 3});
  ASSERT_EQ(chmod(dir.path.c_str(), 0500), 0);
  if (access(dir.path.c_str(), W_OK) == 0) {
    chmod(dir.path.c_str(), 0700);
    GTEST_SKIP() << "running with rights that ignore folder permissions";
  }
  EXPECT_EQ(KeyFileWrite(p.c_str()), 0);
  chmod(dir.path.c_str(), 0700);
  EXPECT_EQ(ReadBytes(p), (Bytes{1, 2, 3}));
  EXPECT_EQ(doc.ds()->documentChanged, 1);
}

TEST_F(DesignFile, ADesignWithoutItsSettingsIsNotSaved) {
  TestDocument doc;
  const std::string p = dir.file("keep.dsn");
  WriteBytes(p, Bytes{1, 2, 3});
  DocState* ds = doc.model.itsDocState;
  doc.model.itsDocState = nullptr;
  EXPECT_EQ(KeyFileWrite(p.c_str()), 0);
  EXPECT_NE(LastFileProblem().problem, FileProblem::kNone);
  EXPECT_FALSE(FileProblemText(LastFileProblem()).empty());
  doc.model.itsDocState = ds;
  EXPECT_EQ(ReadBytes(p), (Bytes{1, 2, 3}));
  // With its settings back the same design is saved and reads back.
  EXPECT_EQ(KeyFileWrite(p.c_str()), 1);
  EXPECT_GT(ReadBytes(p).size(), 3u);
}

TEST(ValidateIDs, KeepFreeIDsBelowTheCounterAndRenumberTheRest) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {1, 1}});  // object 1, points 1 and 2
  doc.ds()->nextObjectID = 10;
  EXPECT_EQ(ValidateObjectID(5), 5u);
  EXPECT_EQ(ValidateObjectID(a->objectID), 10u);
  EXPECT_EQ(ValidateObjectID(0), 11u);
  EXPECT_EQ(ValidateObjectID(500), 12u);
  EXPECT_EQ(doc.ds()->nextObjectID, 13u);
  {
    ReadIDScope ids;
    EXPECT_EQ(ValidatePointID(2), 3u);
    EXPECT_EQ(ValidatePointID(3), 4u);  // taken a moment ago
  }
  EXPECT_EQ(doc.ds()->nextPointID, 5u);
}

TEST_F(DesignFile, ReadGroupsKeepTheirMembersInOrderAndKnowTheirLastMember) {
  const std::string a = dir.file("group.dsn");
  {
    TestDocument doc;
    Objex* group = doc.addObject(kObjGroup, false, {});
    for (int i = 0; i < 3; ++i) {
      Objex* m = CreateObject(kObjLine, 0, 1, nullptr, nullptr, 1, 6, 0, nullptr, nullptr, nullptr,
                              nullptr, doc.first, nullptr);
      const float x = 10.0f * static_cast<float>(i);
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, m), m);
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x + 5, 0, 0, 0, 0, 0, 0, 0, 0, m), m);
      AppendChildToObject(m, group);
    }
    ASSERT_EQ(KeyFileWrite(a.c_str()), 1);
  }
  TestDocument read;
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  Layer* floor = GetLayerFromName("First Floor");
  ASSERT_NE(floor, nullptr);
  Objex* group = floor->firstObject;
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->type, kObjGroup);
  std::vector<float> xs;
  Objex* last = nullptr;
  for (Objex* c = group->firstChild; c; c = c->next) {
    EXPECT_EQ(c->parent, group);
    EXPECT_EQ(c->prev, last);
    ASSERT_NE(c->firstPoint, nullptr);
    EXPECT_EQ(c->pointCount, 2);
    EXPECT_EQ(c->firstPoint->next->prev, c->firstPoint);
    xs.push_back(c->firstPoint->position[0]);
    last = c;
  }
  EXPECT_EQ(xs, (std::vector<float>{0, 10, 20}));
  EXPECT_EQ(group->lastChild, last);
  // A member appended afterwards lands at the end.
  Objex* late = CreateObject(kObjLine, 0, 1, nullptr, nullptr, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                             floor, nullptr);
  AppendChildToObject(late, group);
  EXPECT_EQ(last->next, late);
  EXPECT_EQ(late->prev, last);
  EXPECT_EQ(LastChildOfObject(group), late);
}

// Objects the reader leaves out are still left out, and counted by reason so that the caller can
// say how many and why; the saved-and-reopened reproducers of moves and rotations by unusable
// amounts open with their rectangle counted.
TEST_F(DesignFile, ObjectsLeftOutAreCountedByReason) {
  const float nan = std::nanf("");
  struct Case {
    const char* what;
    int16_t type;
    std::vector<std::pair<float, float>> points;
    int badPoints, tooFewPoints;
  };
  const Case cases[] = {
      {"a usable line", kObjLine, {{0, 0}, {10, 0}}, 0, 0},
      {"a point not a number", kObjLine, {{0, 0}, {nan, 0}}, 1, 0},
      {"a point beyond 1e6", kObjLine, {{0, 0}, {1.5e6f, 0}}, 1, 0},
      {"a point at -inf", kObjClosedPoly, {{-INFINITY, 0}, {1, 0}, {1, 1}}, 1, 0},
      {"a point at 1e6 exactly", kObjLine, {{0, 0}, {1e6f, 0}}, 0, 0},
      {"a floor of two points", kObjFloor, {{0, 0}, {10, 0}}, 0, 1},
      {"a floor of two points, one of them not a number", kObjFloor, {{0, 0}, {nan, 0}}, 1, 0},
  };
  for (const Case& c : cases) {
    std::string a = dir.file("left-out.dsn");
    {
      TestDocument doc;
      RGBColor black{};
      Objex* o = CreateObject(c.type, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr);
      for (auto [x, z] : c.points)
        AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
      AppendObjectToLayer(o, doc.first);
      doc.addObject(kObjLine, false, {{0, 0}, {5, 5}});
      ASSERT_EQ(KeyFileWrite(a.c_str()), 1) << c.what;
    }
    TestDocument other;
    ObjectsLeftOut leftOut;
    leftOut.badPoints = 99;  // overwritten by the read
    ASSERT_EQ(KeyFileRead(a.c_str(), &leftOut), 1) << c.what;
    EXPECT_EQ(leftOut.badPoints, c.badPoints) << c.what;
    EXPECT_EQ(leftOut.tooFewPoints, c.tooFewPoints) << c.what;
    EXPECT_EQ(leftOut.oldStockPlants, 0) << c.what;
    EXPECT_EQ(CountObjects(GetLayerFromName("First Floor")), size_t(2 - leftOut.total())) << c.what;
  }

  const fs::path kept = fs::path(__FILE__).parent_path() / "data" / "regressions";
  for (const char* name : {"design-moved-x-1e6.dsn", "design-rotated-nan.dsn"}) {
    TestDocument doc;
    ObjectsLeftOut leftOut;
    ASSERT_EQ(KeyFileRead((kept / name).c_str(), &leftOut), 1) << name;
    EXPECT_EQ(leftOut.badPoints, 1) << name;
    EXPECT_EQ(leftOut.total(), 1) << name;
    size_t objects = 0;
    for (Layer* l = doc.model.itsLayers; l; l = l->next) objects += CountObjects(l);
    EXPECT_EQ(objects, 0u) << name;
  }

  // A nudge by a distance that was not a number left the rectangle's points unusable.
  {
    TestDocument doc;
    ObjectsLeftOut leftOut;
    ASSERT_EQ(KeyFileRead((kept / "design-nudged-nan.dsn").c_str(), &leftOut), 1);
    EXPECT_EQ(leftOut.badPoints, 1);
  }
  // An elevation that is not a number is read as 0: the object stays and the count says so.
  {
    TestDocument doc;
    ObjectsLeftOut leftOut;
    ASSERT_EQ(KeyFileRead((kept / "design-elevation-nan.dsn").c_str(), &leftOut), 1);
    EXPECT_EQ(leftOut.total(), 0);
    EXPECT_EQ(leftOut.elevationsReset, 1);
    size_t objects = 0;
    for (Layer* l = doc.model.itsLayers; l; l = l->next)
      for (const Objex* o = l->firstObject; o; o = o->next, ++objects) EXPECT_EQ(o->baseElevation, 0.0f);
    EXPECT_EQ(objects, 1u);
  }
  for (const float elevation : {1e6f, -1e6f, 1.5e6f, INFINITY}) {  // both sides of the bound
    const std::string a = dir.file("elevation.dsn");
    {
      TestDocument doc;
      Objex* line = doc.addObject(kObjLine, false, {{0, 0}, {5, 5}});
      line->baseElevation = elevation;
      ASSERT_EQ(KeyFileWrite(a.c_str()), 1);
    }
    TestDocument doc;
    ObjectsLeftOut leftOut;
    ASSERT_EQ(KeyFileRead(a.c_str(), &leftOut), 1);
    const bool kept = std::fabs(elevation) <= 1e6f;
    EXPECT_EQ(leftOut.elevationsReset, kept ? 0 : 1) << elevation;
    const Layer* first = GetLayerFromName("First Floor");
    ASSERT_TRUE(first && first->firstObject);
    EXPECT_EQ(first->firstObject->baseElevation, kept ? elevation : 0.0f) << elevation;
  }

  // A refused file counts nothing.
  TestDocument doc;
  ObjectsLeftOut leftOut;
  leftOut.tooFewPoints = 5;
  EXPECT_EQ(KeyFileRead(dir.file("missing.dsn").c_str(), &leftOut), 0);
  EXPECT_EQ(leftOut.total(), 0);
}
