// Lists of objects a record holds (a custom window's definition, a trim profile) come back as
// they were written on every road that writes and reads a design (the design file, the undo
// snapshot, the clipboard and templates), whether the wall holding them stands alone or in
// groups at any depth; designs saved with such lists read back as far as their bytes allow.
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
#include "files/TemplateFile.h"
#include "files/Undo.h"
#include "model/Attachments.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Records.h"
#include "platform/Alerts.h"

namespace fs = std::filesystem;

namespace {

fs::path Kept() { return fs::path(__FILE__).parent_path() / "data" / "regressions"; }

// The objects of a list, one word each: the type, and a group's members in brackets.
std::string DescribeList(const Objex* head);

std::string Describe(const Objex* o) {
  std::string s = std::to_string(o->type);
  if (o->type == kObjGroup) {
    s += o->subtype == kSubCabinet ? "cabinet(" : "(";
    s += DescribeList(o->firstChild) + ")";
  }
  return s;
}

std::string DescribeList(const Objex* head) {
  std::string s;
  for (const Objex* o = head; o; o = o->next) s += (o == head ? "" : " ") + Describe(o);
  return s;
}

// A custom window's definition as Describe writes it: the outline, the frame parts (one alone,
// then a group of two, the second holding a group of its own when `nested`), the leaf faces;
// and its two trim slots.
std::string DescribeDefinition(const Objex* window) {
  const auto* d = static_cast<const DoorWindowData*>(window->typeData);
  std::string s = "outline " + DescribeList(d->maskObject) + "; frame " + DescribeList(d->definitionParts) +
                  "; leaf " + DescribeList(d->definitionLeafParts);
  for (const TrimSlot* slot : {&d->trimSlotA, &d->trimSlotB})
    s += "; trim " + (slot->profile ? Describe(slot->profile) : std::string("none"));
  return s;
}

constexpr const char* kWritten = "outline 61; frame 8 1000(8 1000(8 8)); leaf 128; trim 1000(6 6); trim none";

Objex* PartOf(Objex* window, int16_t type, float x, Objex** list) {
  Objex* o = MakeObject(type, type == kObjGroup ? 0 : 3, x, nullptr, nullptr);
  o->parent = window;
  while (*list) list = &(*list)->next;
  *list = o;
  return o;
}

// A wall from x0 holding a custom window whose definition is kWritten: its groups hang from the
// window as the window tool's copies of a definition's objects do.
Objex* AddCustomWindowWall(Layer* floor, float x0) {
  Objex* wall = MakeWallWithSides(x0, nullptr, floor);
  DoorWindowData* d = NewOpening(kWindowCustom, wall->firstPoint, wall->firstPoint->next, 24);
  Objex* window = MakeObject(kObjWindow, 4, x0 + 5, wall, nullptr, d);
  PartOf(window, kObjSkylightOutline, 0, &d->maskObject);
  PartOf(window, kObjClosedPoly, 0, &d->definitionParts);
  Objex* group = PartOf(window, kObjGroup, 0, &d->definitionParts);
  MakeObject(kObjClosedPoly, 3, 10, group, nullptr);
  Objex* inner = MakeObject(kObjGroup, 0, 0, group, nullptr);
  MakeObject(kObjClosedPoly, 3, 20, inner, nullptr);
  MakeObject(kObjClosedPoly, 3, 30, inner, nullptr);
  PartOf(window, kObjDoorLeafFace, 0, &d->definitionLeafParts);
  Objex* profile = MakeObject(kObjGroup, 0, 0, nullptr, nullptr);
  profile->parent = window;
  MakeObject(kObjLine, 2, 0, profile, nullptr);
  MakeObject(kObjLine, 2, 5, profile, nullptr);
  d->trimSlotA = {1, 2200, 100, 100, {7, 8, 9}, profile};
  return wall;
}

// The wall holding the window, wherever it stands in the groups of `o`.
Objex* FindWall(Objex* o) {
  for (; o; o = o->next) {
    if (o->type == kObjWall) return o;
    if (o->type == kObjGroup)
      if (Objex* w = FindWall(o->firstChild)) return w;
  }
  return nullptr;
}

Objex* FindWindow(Objex* first) {
  Objex* wall = FindWall(first);
  return wall && wall->firstChild && wall->firstChild->type == kObjWindow ? wall->firstChild : nullptr;
}

int Depth(const Objex* wall) {
  int n = 0;
  for (const Objex* p = wall->parent; p; p = p->parent) ++n;
  return n;
}

// The wall with its window on the First Floor, grouped `depth` times with Plan > Group's calls,
// each time with a line of its own.
Objex* BuildWallInGroups(TestDocument& doc, int depth) {
  Objex* top = AddCustomWindowWall(doc.first, 0);
  for (int i = 0; i < depth; ++i) {
    Objex* line = doc.addObject(kObjLine, false, {{0, 100.0f + 10 * i}, {50, 100.0f + 10 * i}}, doc.first);
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
    SelectObj(top, kSelectOn, 0);
    SelectObj(line, kSelectOn, 0);
    gGroupLeader = nullptr;
    TopLevelObjectAllLayers(doc.model.itsLayers, kCmdGroup, CommandArg::None());
    top = gGroupLeader;
    gGroupLeader = nullptr;
  }
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  return top;
}

class ListsInRecords : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("casa-lists-" + std::to_string(getpid()));
  ScopedAlertRecorder alerts;
  void SetUp() override {
    fs::create_directories(dir);
    ResetByteStream();
  }
  void TearDown() override {
    ResetByteStream();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string file(const char* name) const { return (dir / name).string(); }
};

// The tester's road in each depth, as one wall alone and in one, two and four groups: saved and
// opened, read as a template, undone to and pasted, the window's definition and trims are
// what was written, and the wall stands as deep in its groups as it stood.
TEST_F(ListsInRecords, ADefinitionComesBackOnEveryRoadAloneAndInGroups) {
  for (int depth : {0, 1, 2, 4}) {
    SCOPED_TRACE("groups around the wall: " + std::to_string(depth));
    const std::string saved = file("design.pro");
    {
      TestDocument doc;
      BuildWallInGroups(doc, depth);
      Objex* window = FindWindow(doc.first->firstObject);
      ASSERT_NE(window, nullptr);
      ASSERT_EQ(DescribeDefinition(window), kWritten);
      ASSERT_EQ(KeyFileWrite(saved.c_str()), 1);
    }
    auto expectWhole = [depth](Objex* first) {
      Objex* window = FindWindow(first);
      ASSERT_NE(window, nullptr);
      EXPECT_EQ(DescribeDefinition(window), kWritten);
      EXPECT_EQ(Depth(window->parent), depth);
    };
    // Save and open.
    {
      TestDocument doc;
      ASSERT_EQ(KeyFileRead(saved.c_str()), 1);
      const Layer* first = GetLayerFromName("First Floor");
      ASSERT_EQ(CountObjects(first), 1u);
      expectWhole(first->firstObject);
      EXPECT_MODEL_SOUND();
      // Undo of a later edit reads the step back.
      InitializeUndo();
      doc.addObject(kObjLine, false, {{0, 300}, {10, 300}}, doc.model.itsCurLayer);
      StoreUndo("Line");
      DoUndo();
      first = GetLayerFromName("First Floor");
      ASSERT_EQ(CountObjects(first), 1u) << "the Undo did not restore the step";
      expectWhole(first->firstObject);
      // Copy and Paste.
      SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
      SelectObj(first->firstObject, kSelectOn, 0);
      ReadyToPaste(doc.model, 77);
      DoCopyObjects();
      DoPasteObjects();
      ASSERT_EQ(CountObjects(first), 2u) << "nothing was pasted";
      expectWhole(first->firstObject->next);
      EXPECT_MODEL_SOUND();
      FreeScrap();
    }
    // Read as a template.
    {
      TestDocument doc;
      ASSERT_EQ(TemplateFileRead(saved.c_str()), 1);
      ASSERT_EQ(CountObjects(doc.first), 1u);
      expectWhole(doc.first->firstObject);
    }
  }
  EXPECT_TRUE(alerts.shown.empty());
}

// The design the tester saved with the wall in a group: its definition's group was written with
// the inner group tags, which now read as that group's bracket. The design opens whole, and
// saved again it opens as it was. The same design saved without the group opens as it always
// did: its definition's group was written with its members flat after it.
TEST_F(ListsInRecords, TheTestersSavedDesignsOpen) {
  const std::string again = file("again.pro");
  {
    TestDocument doc;
    ASSERT_EQ(KeyFileRead((Kept() / "custom-window-in-a-group-unreadable.pro").c_str()), 1);
    const Layer* first = GetLayerFromName("First Floor");
    ASSERT_EQ(CountObjects(first), 1u);
    Objex* group = first->firstObject;
    ASSERT_EQ(group->type, kObjGroup);
    Objex* window = FindWindow(group->firstChild);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Depth(window->parent), 1);
    const auto* d = static_cast<const DoorWindowData*>(window->typeData);
    EXPECT_EQ(d->subtype, kWindowCustom);
    const std::string definition = DescribeDefinition(window);
    EXPECT_EQ(definition, "outline 61; frame 8 1000(8 8); leaf 128; trim none; trim none");
    EXPECT_MODEL_SOUND();
    ASSERT_EQ(KeyFileWrite(again.c_str()), 1);
    TestDocument other;
    ASSERT_EQ(KeyFileRead(again.c_str()), 1);
    Objex* reread = FindWindow(GetLayerFromName("First Floor")->firstObject);
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ(DescribeDefinition(reread), definition);
  }
  {
    TestDocument doc;
    ASSERT_EQ(KeyFileRead((Kept() / "custom-window-alone-readable.pro").c_str()), 1);
    const Layer* first = GetLayerFromName("First Floor");
    ASSERT_EQ(CountObjects(first), 2u);
    Objex* window = FindWindow(first->firstObject);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(DescribeDefinition(window), "outline 61; frame 8 1000() 8 8; leaf 128; trim none; trim none");
  }
}

}  // namespace
