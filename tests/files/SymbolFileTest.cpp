// Symbol files and the fixed symbol lists: centring of the parts, kinds and groups, refused
// versions, damaged files, missing folders, and the shipped symbol files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestDocument.h"
#include "WallTestSupport.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/DocStateBlock.h"
#include "files/FileTags.h"
#include "files/ObjectRecords.h"
#include "files/StreamState.h"
#include "files/SymbolFile.h"
#include "files/TypeData.h"
#include "model/Bounds.h"
#include "model/Delete.h"
#include "model/TextureFace.h"
#include "platform/ContentPaths.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

struct SymbolDir {
  fs::path dir = fs::temp_directory_path() / ("casa-symbol-" + std::to_string(getpid()));
  SymbolDir() { fs::create_directories(dir); }
  ~SymbolDir() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string write(const Bytes& b, const std::string& name = "s.QTM") const {
    std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                static_cast<std::streamsize>(b.size()));
    return path;
  }
};

// An object through (x, y, z) points, on no layer.
Objex* MakePart(int16_t type, bool closed, std::initializer_list<std::array<float, 3>> pts) {
  const RGBColor black{};
  Objex* o = CreateObject(type, closed, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr);
  for (const auto& p : pts)
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, p[0], p[1], p[2], 0, 0, 0, 0, 0, 0, o), o);
  return o;
}

// A symbol file of version 11100 written from the given parts (freed afterwards);
// `countAt` receives the offset of the first part's point count.
Bytes SymbolStream(const std::vector<Objex*>& parts, size_t* countAt = nullptr) {
  BeginOutputBuffer();
  sWriteVersion = kVersionDesign11100;
  DoWriteHeader();
  DoWriteDocState();
  for (Objex* p : parts) {
    if (countAt && p == parts.front()) {
      WriteShort(kTagObject);
      WriteObjectInfo(p);
      *countAt = gStream.outDataBuffer.size();
      WriteObjectPoints(p);
      WriteObjectData(p);
      continue;
    }
    WriteAnObject(p);
  }
  WriteShort(kTagObjectsEnd);
  Bytes b = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  for (Objex* p : parts) DeleteObj(p);
  return b;
}

// The two parts of the worked example: x -10..0 and 0..30, z 5..8.
Bytes TwoPartSymbol(size_t* countAt = nullptr) {
  TestDocument source;
  return SymbolStream({MakePart(kObjClosedPoly, true, {{-10, 0, 5}, {0, 0, 5}, {0, 0, 8}}),
                       MakePart(kObjLine, false, {{0, 2, 8}, {30, 2, 5}})},
                      countAt);
}

Float3DRect PartsBox(Objex* symbol) {
  Float3DRect box = EmptyFloat3DRect();
  for (Objex* p = symbol->firstChild; p; p = p->next) GetObject3DBounds(p, 0, &box, 0);
  return box;
}

size_t CountParts(const Objex* symbol) {
  size_t n = 0;
  for (const Objex* p = symbol->firstChild; p; p = p->next) ++n;
  return n;
}

Objex* NewSymbol(int16_t kind) {
  auto* s = static_cast<Objex*>(calloc(1, sizeof(Objex)));
  s->type = kind;
  return s;
}

void FreeSymbolList(Objex*& list) {
  while (Objex* e = list) {
    list = e->next;
    DeleteSymbolObject(e);
  }
}

// Restores the lists and the support root a test changed.
struct SymbolListScope {
  Objex* saved2D = gSymbol2DList;
  Objex* saved3D = gSymbol3DList;
  SymbolListScope() { gSymbol2DList = gSymbol3DList = nullptr; }
  ~SymbolListScope() {
    FreeSymbolList(gSymbol2DList);
    FreeSymbolList(gSymbol3DList);
    gSymbol2DList = saved2D;
    gSymbol3DList = saved3D;
    SetLocalSupportRoot(BuildTreeContentRoot());
  }
};

}  // namespace

TEST(SymbolFile, PartsAreCentredInXAndPlacedOrCentredInZ) {
  TestDocument doc;  // symbols are read while a design is current
  SymbolDir dir;
  std::string path = dir.write(TwoPartSymbol());
  struct Case { int16_t kind; float back, front; };
  // Every fixture kind is centred in z; the others lie behind their insertion line.
  std::vector<Case> cases = {{55, 0, 3}, {70, 0, 3}, {124, 0, 3}};
  for (int16_t kind : kFixtureKinds) cases.push_back({kind, -1.5f, 1.5f});
  EXPECT_EQ(std::size(kFixtureKinds), 25u);
  for (Case c : cases) {
    SCOPED_TRACE(c.kind);
    Objex* symbol = NewSymbol(c.kind);
    ASSERT_EQ(Symbol2DFileRead(path.c_str(), symbol), 1);
    ASSERT_EQ(CountParts(symbol), 2u);
    Float3DRect box = PartsBox(symbol);
    EXPECT_FLOAT_EQ(box.floatLeft, -20);
    EXPECT_FLOAT_EQ(box.floatRight, 20);
    EXPECT_FLOAT_EQ(box.floatBack, c.back);
    EXPECT_FLOAT_EQ(box.floatFront, c.front);
    EXPECT_FLOAT_EQ(box.floatTop, 0);  // y is not moved
    for (Objex* p = symbol->firstChild; p; p = p->next) {
      EXPECT_EQ(p->type, c.kind);
      EXPECT_EQ(p->parent, nullptr);
      EXPECT_FLOAT_EQ(p->bounds3D.floatLeft, p == symbol->firstChild ? -20 : -10);
      // The texture rectangles moved with the points.
      const FloatRect read = p->textureRect;
      SetTextureFaceUV(p);
      EXPECT_FLOAT_EQ(read.floatLeft, p->textureRect.floatLeft);
      EXPECT_FLOAT_EQ(read.floatTop, p->textureRect.floatTop);
    }
    DeleteSymbolObject(symbol);
  }
}

TEST(SymbolFile, ReadingLeavesTheCurrentDesignAloneAndNeedsOne) {
  SymbolDir dir;
  std::string path = dir.write(TwoPartSymbol());
  {
    TestDocument doc;
    const uint32_t objects = doc.ds()->nextObjectID, points = doc.ds()->nextPointID;
    Objex* symbol = NewSymbol(90);
    EXPECT_EQ(Symbol2DFileRead(path.c_str(), symbol), 1);
    EXPECT_EQ(doc.ds()->nextObjectID, objects);
    EXPECT_EQ(doc.ds()->nextPointID, points);
    EXPECT_EQ(doc.first->firstObject, nullptr);
    EXPECT_EQ(gCurDocument, &doc.model);
    DeleteSymbolObject(symbol);
  }
  // Without a current document nothing is read.
  ASSERT_EQ(gCurDocument, nullptr);
  Objex* symbol = NewSymbol(90);
  EXPECT_EQ(Symbol2DFileRead(path.c_str(), symbol), 0);
  EXPECT_EQ(CountParts(symbol), 0u);
  DeleteSymbolObject(symbol);
}

TEST(SymbolFile, GroupRecordIsNotAPartButItsMembersAre) {
  TestDocument doc;  // symbols are read while a design is current
  Bytes b;
  {
    TestDocument source;
    Objex* g = MakePart(kObjGroup, false, {});
    Objex* m1 = MakePart(kObjLine, false, {{0, 0, 0}, {4, 0, 0}});
    Objex* m2 = MakePart(kObjLine, false, {{0, 0, 2}, {4, 0, 2}});
    g->firstChild = m1;
    m1->next = m2;
    m2->prev = m1;
    m1->parent = m2->parent = g;
    b = SymbolStream({g});
  }
  SymbolDir dir;
  Objex* symbol = NewSymbol(73);
  ASSERT_EQ(Symbol2DFileRead(dir.write(b).c_str(), symbol), 1);
  ASSERT_EQ(CountParts(symbol), 2u);
  for (Objex* p = symbol->firstChild; p; p = p->next) EXPECT_EQ(p->type, 73);
  DeleteSymbolObject(symbol);
}

// A wall record read as a part takes the symbol's kind: the side trim records its points were
// given go then, as its other type data does (the leak checker sees any left behind).
TEST(SymbolFile, AWallRecordBecomesAPartWithoutItsSideTrims) {
  TestDocument doc;  // symbols are read while a design is current
  Bytes b;
  {
    TestDocument source;
    b = SymbolStream({MakePart(kObjWall, false, {{0, 0, 0}, {40, 0, 0}, {40, 0, 30}})});
  }
  SymbolDir dir;
  Objex* symbol = NewSymbol(73);
  ASSERT_EQ(Symbol2DFileRead(dir.write(b).c_str(), symbol), 1);
  ASSERT_EQ(CountParts(symbol), 1u);
  EXPECT_EQ(symbol->firstChild->type, 73);
  for (Poinz* p = symbol->firstChild->firstPoint; p; p = p->next) {
    EXPECT_EQ(p->trim1, nullptr);
    EXPECT_EQ(p->trim2, nullptr);
  }
  DeleteSymbolObject(symbol);
}

// Read without appending, a record stays what it is: a wall keeps the side trims of its points
// (freeing them would leave a wall without its sides).
TEST(SymbolFile, ARecordReadWithoutAppendingKeepsItsTypeAndData) {
  TestDocument doc;
  Bytes record;
  {
    Objex* wall = AddTestWall(doc, {{0, 0}, {40, 0}, {40, 30}});
    BeginOutputBuffer();
    sWriteVersion = kVersionDesign11100;
    WriteObjectInfo(wall);
    WriteObjectPoints(wall);
    WriteObjectData(wall);
    record = gStream.outDataBuffer;
    ReleaseOutputBuffer();
  }
  SetInputBuffer(record.data(), record.size());
  sInputVersion = kVersionDesign11100;
  Objex* symbol = NewSymbol(73);
  Objex* obj = ReadASymbol2DObject(doc.first, 0, symbol);
  ReleaseInputBuffer();
  ASSERT_NE(obj, nullptr);
  EXPECT_EQ(obj->type, kObjWall);
  EXPECT_EQ(obj->pointCount, 3);
  for (Poinz* p = obj->firstPoint; p; p = p->next) {
    EXPECT_NE(p->trim1, nullptr);
    EXPECT_NE(p->trim2, nullptr);
  }
  EXPECT_EQ(symbol->firstChild, nullptr);
  obj->layer = nullptr;
  DeleteObj(obj);
  DeleteSymbolObject(symbol);
}

TEST(SymbolFile, RefusedVersionAndMissingArgumentsLeaveNoParts) {
  TestDocument doc;  // symbols are read while a design is current
  SymbolDir dir;
  Bytes b = TwoPartSymbol();
  b[0] = 0, b[1] = 0, b[2] = 0x23, b[3] = 0x28;  // 9000
  Objex* symbol = NewSymbol(55);
  EXPECT_EQ(Symbol2DFileRead(dir.write(b).c_str(), symbol), 0);
  EXPECT_EQ(Symbol2DFileRead((dir.dir / "none.QTM").c_str(), symbol), 0);
  EXPECT_EQ(Symbol2DFileRead(nullptr, symbol), 0);
  EXPECT_EQ(Symbol2DFileRead(dir.write(TwoPartSymbol()).c_str(), nullptr), 0);
  EXPECT_EQ(symbol->firstChild, nullptr);
  DeleteSymbolObject(symbol);
}

TEST(SymbolFile, EveryCutAndHostileCountIsSafe) {
  TestDocument doc;  // symbols are read while a design is current
  SymbolDir dir;
  size_t countAt = 0;
  const Bytes whole = TwoPartSymbol(&countAt);
  const size_t streamStart = 6 + 4 + kDocStateBlockLength;
  for (size_t cut = 0; cut < streamStart + 8; cut += 53) {
    Objex* symbol = NewSymbol(55);
    Symbol2DFileRead(dir.write(Bytes(whole.begin(), whole.begin() + cut)).c_str(), symbol);
    ASSERT_EQ(symbol->firstChild, nullptr);
    DeleteSymbolObject(symbol);
  }
  {
    TestDocument scratch;
    for (size_t cut = streamStart; cut < whole.size(); ++cut) {
      SetInputBuffer(whole.data() + streamStart, cut - streamStart);
      sInputVersion = kVersionDesign11100;
      Objex* symbol = NewSymbol(55);
      DoReadSymbol2DObjects(symbol);
      Initialize2DSymbolObject(symbol);
      ASSERT_LE(CountParts(symbol), 2u);
      DeleteSymbolObject(symbol);
    }
    ReleaseInputBuffer();
  }
  for (uint32_t count : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu}) {
    Bytes b = whole;
    b[countAt] = count >> 24, b[countAt + 1] = count >> 16, b[countAt + 2] = count >> 8,
    b[countAt + 3] = count;
    Objex* symbol = NewSymbol(55);
    EXPECT_EQ(Symbol2DFileRead(dir.write(b).c_str(), symbol), 1);
    EXPECT_LE(CountParts(symbol), 1u) << count;
    DeleteSymbolObject(symbol);
  }
}

TEST(SymbolLists, MissingFolderGivesEntriesWithoutPartsInTheTableOrder) {
  TestDocument doc;  // the lists load while a design is current
  SymbolListScope scope;
  SymbolDir dir;
  fs::create_directories(dir.dir / "QVRA/Objects/Symbol2D");
  size_t n = 0;
  const FixedSymbolFile* table = FixedSymbolFiles(&n);
  ASSERT_EQ(n, 51u);
  // One 2D file present, under the exact name of the table.
  fs::path one = dir.dir / "QVRA/Objects/Symbol2D" / FixedSymbolFileName(table[1], false);
  std::ofstream(one, std::ios::binary) << std::string(reinterpret_cast<const char*>(TwoPartSymbol().data()),
                                                      TwoPartSymbol().size());
  SetLocalSupportRoot(dir.dir.string());
  Load2DSymbolList();
  Load3DSymbolList();
  std::vector<int16_t> kinds2D, kinds3D;
  size_t withParts = 0;
  for (Objex* e = gSymbol2DList; e; e = e->next) {
    kinds2D.push_back(e->type);
    if (e->firstChild) ++withParts;
    if (e->next) EXPECT_EQ(e->next->prev, e);
  }
  for (Objex* e = gSymbol3DList; e; e = e->next) {
    kinds3D.push_back(e->type);
    EXPECT_EQ(e->firstChild, nullptr);
  }
  ASSERT_EQ(kinds2D.size(), 51u);
  ASSERT_EQ(kinds3D.size(), 51u);
  EXPECT_EQ(withParts, 1u);
  EXPECT_NE(FindSymbolEntry(gSymbol2DList, 65)->firstChild, nullptr);
  EXPECT_EQ(kinds2D[16], 146);
  EXPECT_EQ(kinds2D[27], 84);
  EXPECT_EQ((std::vector<int16_t>(kinds3D.begin(), kinds3D.begin() + 6)),
            (std::vector<int16_t>{55, 65, 66, 67, 70, 73}));
  EXPECT_EQ(kinds3D[26], 124);
  EXPECT_EQ(kinds3D[50], 120);
  EXPECT_EQ(FindSymbolEntry(gSymbol2DList, 89), nullptr);
  // Loaded once: a second call keeps the list.
  Objex* first = gSymbol2DList;
  Load2DSymbolList();
  EXPECT_EQ(gSymbol2DList, first);
  EXPECT_EQ(FixedSymbolFileName(table[0], true), "RECSINGL3D.QTM");
  EXPECT_EQ(FixedSymbolFileName(table[17], false), "LtLandscapeUp2D.qtm");
}

TEST(SymbolLists, UnknownContentRootGivesEmptyEntries) {
  TestDocument doc;  // the lists load while a design is current
  SymbolListScope scope;
  SetLocalSupportRoot("");
  Load2DSymbolList();
  size_t n = 0;
  for (Objex* e = gSymbol2DList; e; e = e->next, ++n) EXPECT_EQ(e->firstChild, nullptr);
  EXPECT_EQ(n, 51u);
}

TEST(SymbolLists, ShippedSymbolFilesAllLoad) {
  TestDocument doc;  // the lists load while a design is current
  SymbolListScope scope;
  Load2DSymbolList();
  Load3DSymbolList();
  for (Objex* list : {gSymbol2DList, gSymbol3DList})
    for (Objex* e = list; e; e = e->next) {
      ASSERT_NE(e->firstChild, nullptr) << e->type;
      for (Objex* p = e->firstChild; p; p = p->next) EXPECT_EQ(p->type, e->type);
      Float3DRect box = PartsBox(e);
      EXPECT_FLOAT_EQ(box.floatLeft, -box.floatRight) << e->type;
      if (IsFixedCentreSymbolKind(e->type)) EXPECT_FLOAT_EQ(box.floatBack, -box.floatFront);
      else EXPECT_FLOAT_EQ(box.floatBack, 0) << e->type;
    }
}
