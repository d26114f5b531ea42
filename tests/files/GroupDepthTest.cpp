// Groups as deep as the program builds them come back whole on every road that writes and
// reads a design (the design file, the undo snapshot, the clipboard, templates); a design
// holding groups deeper than that (saved by an older version) opens with the deeper groups'
// objects kept and those groups counted for the user.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "files/ByteStream.h"
#include "files/Clipboard.h"
#include "files/DesignFile.h"
#include "files/FileTestSupport.h"
#include "files/ObjectRecords.h"
#include "files/PlugInFile.h"
#include "files/TemplateFile.h"
#include "files/Undo.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Records.h"

namespace fs = std::filesystem;

namespace {

// The levels of the chain above the group of the cabinet, the symbol and the wall: each level
// holds that chain's next group and a line. The innermost group through `inner`.
int ChainLevels(const Objex* top, const Objex** inner) {
  int levels = 0;
  const Objex* g = top;
  for (;;) {
    const Objex* next = nullptr;
    bool line = false;
    for (const Objex* m = g->firstChild; m; m = m->next) {
      if (m->type == kObjLine) line = true;
      else if (m->type == kObjGroup) next = m;
    }
    if (!line || !next) break;
    g = next;
    ++levels;
  }
  *inner = g;
  return levels;
}

// The groups of a tree, itself counted.
int GroupsIn(const Objex* o) {
  int n = o->type == kObjGroup;
  for (const Objex* c = o->firstChild; c; c = c->next) n += GroupsIn(c);
  return n;
}

void ExpectChain(const Objex* top, int levels) {
  ASSERT_NE(top, nullptr);
  const Objex* inner = nullptr;
  EXPECT_EQ(ChainLevels(top, &inner), levels);
  ExpectCabinetSymbolAndWall(inner);
  EXPECT_EQ(GroupNesting(top), levels + 1);
}

// Groups the root of the cabinet's tree with a new line as Plan > Group does (the groups of the
// selected trees counted first) when `counted`, else by the group command alone. Whether the
// tree took a level.
bool GroupWithALine(TestDocument& doc, Objex*& top, bool counted) {
  const float z = 1000.0f + 10.0f * static_cast<float>(GroupNesting(top));
  Objex* line = doc.addObject(kObjLine, false, {{0, z}, {40, z}}, doc.first);
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  SelectObj(top, kSelectOn, 0);
  SelectObj(line, kSelectOn, 0);
  gOverload = 0;
  gObjectCount = 0;
  if (counted) SelectedObjectAllLayers(doc.model.itsLayers, 1, kCmdCountGroups, CommandArg::None());
  gGroupLeader = nullptr;
  if (!gOverload) TopLevelObjectAllLayers(doc.model.itsLayers, kCmdGroup, CommandArg::None());
  const bool took = top->parent != nullptr;
  if (took) top = top->parent;
  gGroupLeader = nullptr;
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  return took;
}

// A tree's shape: each object's type, a group's members in brackets.
std::string Shape(const Objex* o) {
  std::string s = std::to_string(o->type);
  if (o->type != kObjGroup) return s;
  s += "(";
  for (const Objex* c = o->firstChild; c; c = c->next) s += Shape(c) + (c->next ? " " : "");
  return s + ")";
}

class GroupDepth : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("casa-depth-" + std::to_string(getpid()));
  void SetUp() override {
    fs::create_directories(dir);
    ResetByteStream();
  }
  void TearDown() override {
    ResetByteStream();
    gOverload = 0;
    gObjectCount = 0;
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string file(const char* name) const { return (dir / name).string(); }

  // The tree through the design file, an Undo, a Copy and Paste and a template read: each time
  // the chain of `levels` comes back whole.
  void ExpectWholeOnEveryRoad(TestDocument& doc, int levels) {
    const std::string saved = file("deep.pro");
    ASSERT_EQ(KeyFileWrite(saved.c_str()), 1);
    {
      TestDocument opened;
      ObjectsLeftOut leftOut;
      ASSERT_EQ(KeyFileRead(saved.c_str(), &leftOut), 1);
      EXPECT_EQ(leftOut.groupsTooDeep, 0);
      ExpectChain(GetLayerFromName("First Floor")->firstObject, levels);
      EXPECT_MODEL_SOUND();
    }
    {
      TestDocument templated;
      ASSERT_EQ(TemplateFileRead(saved.c_str()), 1);
      ExpectChain(templated.first->firstObject, levels);
    }
    InitializeUndo();
    doc.addObject(kObjLine, false, {{0, -50}, {10, -50}}, doc.first);
    StoreUndo("Line");
    DoUndo();
    Layer* first = GetLayerFromName("First Floor");
    ExpectChain(first->firstObject, levels);
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
    SelectObj(first->firstObject, kSelectOn, 0);
    ReadyToPaste(doc.model, 91);
    DoCopyObjects();
    const size_t before = CountObjects(first);
    DoPasteObjects();
    ASSERT_EQ(CountObjects(first), before + 1);
    Objex* pasted = first->firstObject;
    while (pasted->next) pasted = pasted->next;
    ExpectChain(pasted, levels);
    FreeScrap();
    EXPECT_MODEL_SOUND();
  }
};

// Plan > Group's own steps group trees of at most 25 groups: the cabinet's tree takes levels
// until it holds 26 groups, and the next grouping is refused. The group command alone builds on
// until the tree holds groups 32 levels down, and refuses the next level. Both deepest trees
// come back whole on every road.
TEST_F(GroupDepth, TheDeepestTreesTheGroupCommandsBuildComeBackWhole) {
  TestDocument doc;
  Objex* top = GroupCabinetSymbolAndWall(doc.model, doc.first);
  int levels = 0;
  while (levels < 40 && GroupWithALine(doc, top, true)) ++levels;
  EXPECT_EQ(GroupsIn(top), kMaxGroupsToGroup + 1) << "Plan > Group's count took another level";
  EXPECT_EQ(top->parent, nullptr);
  ExpectChain(top, levels);
  ExpectWholeOnEveryRoad(doc, levels);

  TestDocument model;
  top = GroupCabinetSymbolAndWall(model.model, model.first);
  levels = 0;
  while (levels < 40 && GroupWithALine(model, top, false)) ++levels;
  EXPECT_EQ(GroupNesting(top), kMaxGroupNesting) << "the group command built a tree deeper than is read back";
  ExpectChain(top, levels);
  ExpectWholeOnEveryRoad(model, levels);
}

// The deepest tree the group command builds, handed to a plug-in and back: the exchange file
// frames only top-level groups, so the tree comes back one group deep, the records of the groups
// it held standing empty beside their members; saved and opened, and undone to, it stays as the
// exchange gave it.
TEST_F(GroupDepth, TheTreeThePlugInExchangeBringsBackComesBackWhole) {
  const std::string exchange = file("exchange.dat"), saved = file("exchanged.pro");
  TestDocument doc;
  Objex* top = GroupCabinetSymbolAndWall(doc.model, doc.first);
  for (int i = 0; i < 40 && GroupWithALine(doc, top, false);) ++i;
  ASSERT_TRUE(PlugInFileWrite(exchange.c_str(), 131, kVersionExchange11000, kVersionExchange11000));
  ASSERT_TRUE(PlugInFileRead(exchange.c_str(), 131));
  const std::string shape = Shape(GetLayerFromName("First Floor")->firstObject);
  EXPECT_LE(GroupNesting(GetLayerFromName("First Floor")->firstObject), 1);
  ASSERT_EQ(KeyFileWrite(saved.c_str()), 1);
  InitializeUndo();
  doc.addObject(kObjLine, false, {{0, -50}, {10, -50}}, GetLayerFromName("First Floor"));
  StoreUndo("Line");
  DoUndo();
  EXPECT_EQ(Shape(GetLayerFromName("First Floor")->firstObject), shape);
  TestDocument opened;
  ObjectsLeftOut leftOut;
  ASSERT_EQ(KeyFileRead(saved.c_str(), &leftOut), 1);
  EXPECT_EQ(leftOut.groupsTooDeep, 0);
  EXPECT_EQ(Shape(GetLayerFromName("First Floor")->firstObject), shape);
  EXPECT_MODEL_SOUND();
}

// The tester's design: 34 groups one in another, made by the group command of an older version,
// the innermost holding a cabinet and a symbol. It opens with every object, groups 32 levels down
// kept, and the two groups deeper counted so that the user is told; the cabinet's and the
// symbol's parts are members of the group around them. Saved again, it opens as it was.
TEST_F(GroupDepth, TheTestersChainOfThirtyFourGroupsOpensWithTheDeeperGroupsCounted) {
  const fs::path kept = fs::path(__FILE__).parent_path() / "data" / "regressions";
  const std::string again = file("again.pro");
  // The objects of a list and of their groups, all of them or those of one type.
  auto countAll = [](const Objex* o, auto& self, int16_t type = 0) -> int {
    int n = 0;
    for (; o; o = o->next) n += (type == 0 || o->type == type) + self(o->firstChild, self, type);
    return n;
  };
  int objects = 0;
  {
    TestDocument doc;
    ObjectsLeftOut leftOut;
    ASSERT_EQ(KeyFileRead((kept / "chain-33-deep-cabinet.pro").c_str(), &leftOut), 1);
    EXPECT_EQ(leftOut.groupsTooDeep, 2);
    EXPECT_EQ(leftOut.total(), 0);
    const Layer* first = GetLayerFromName("First Floor");
    ASSERT_NE(first->firstObject, nullptr);
    EXPECT_EQ(GroupNesting(first->firstObject), kMaxGroupNesting);
    EXPECT_EQ(countAll(first->firstObject, countAll, kObjCabinet), 2) << "a part of the cabinet is missing";
    EXPECT_EQ(countAll(first->firstObject, countAll, kObjSymbolPart3D), 2) << "a part of the symbol is missing";
    objects = countAll(first->firstObject, countAll);
    EXPECT_MODEL_SOUND();
    ASSERT_EQ(KeyFileWrite(again.c_str()), 1);
  }
  TestDocument doc;
  ObjectsLeftOut leftOut;
  ASSERT_EQ(KeyFileRead(again.c_str(), &leftOut), 1);
  EXPECT_EQ(leftOut.groupsTooDeep, 0);
  const Layer* first = GetLayerFromName("First Floor");
  EXPECT_EQ(GroupNesting(first->firstObject), kMaxGroupNesting);
  EXPECT_EQ(countAll(first->firstObject, countAll), objects);
}

}  // namespace
