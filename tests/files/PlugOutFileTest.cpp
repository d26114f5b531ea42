// Merging plug-out files: replacements and removals by ID, target layers, groups, palette
// links by version, ID counters, refused versions, and damaged files that change nothing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "TestDocument.h"
#include "files/ByteStream.h"
#include "files/FileTestSupport.h"
#include "files/ObjectRecords.h"
#include "files/PlugInFile.h"
#include "files/PlugOutFile.h"
#include "files/StreamState.h"
#include "model/LiveViews.h"
#include "model/Palettes.h"
#include "platform/Alerts.h"

namespace fs = std::filesystem;

namespace {

struct LE {
  Bytes b;
  void u8(uint32_t v) { b.push_back(uint8_t(v)); }
  void u16(uint32_t v) { u8(v), u8(v >> 8); }
  void u32(uint32_t v) { u16(v), u16(v >> 16); }
  void str(const char* s) {
    u32(uint32_t(strlen(s)));
    for (const char* c = s; *c; ++c) u8(uint8_t(*c));
  }
  void add(const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }
};

// The object record (tag 300 and its records) of `obj` at version v.
Bytes Record(Objex* obj, int32_t v) {
  BeginOutputBuffer();
  sWriteVersion = v;
  WriteAPlugInObject(obj);
  Bytes out = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  return out;
}

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
Objex* FindID(const ZLKDocumentModel& m, uint32_t id) {
  for (const Layer* l = m.itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next)
      if (o->objectID == id) return o;
  return nullptr;
}

class PlugOutFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetByteStream();
    SetAlertPresenter(&alerts);
  }
  void TearDown() override {
    SetAlertPresenter(nullptr);
    for (const std::string& p : paths) fs::remove(p);
    ResetByteStream();
  }
  int Merge(const Bytes& b) {
    std::string path =
        (fs::temp_directory_path() / ("plugout-" + std::to_string(getpid()) + "-" + std::to_string(paths.size()))).string();
    paths.push_back(path);
    WriteBytes(path, b);
    return PlugOutFileRead(path.c_str());
  }
  static LE Header(uint32_t plugInID, uint32_t version) {
    LE e;
    e.u32(plugInID), e.u32(version), e.u16(2);
    return e;
  }
  // A file holding group 500 with one detail inside it, the member named to replace object 500
  // (the group still open around it); `memberID` is the member's own stored ID, 0 for the one
  // it was made with. The current document is left to the caller to set.
  static Bytes GroupWithMemberNamingTheGroup(uint32_t memberID) {
    TestDocument other;
    Objex* group = MakeObject(kObjGroup, 0, 0, nullptr, other.first);
    MakeObject(kObjDetail, 4, 0, group, nullptr);
    group->objectID = 500;
    if (memberID) group->firstChild->objectID = memberID;
    Objex lone = *group;
    lone.firstChild = nullptr;
    LE f = Header(131, 11000);
    f.add(Record(&lone, 11000)), f.u16(302), f.u16(309), f.u32(500), f.add(Record(group->firstChild, 11000));
    f.u16(303), f.u16(500);
    return f.b;
  }
  RecordingAlertPresenter alerts;
  std::vector<std::string> paths;
};

TEST_F(PlugOutFile, OnlyTheEndChangesDataAndCountersOnly) {
  TestDocument doc;
  Objex* o = MakeObject(kObjDetail, 4, 0, nullptr, doc.first);
  const size_t before = CountDesign(doc.model);
  LE e = Header(131, 11000);
  e.u16(500), e.u16(600), e.u32(3), e.u8('a'), e.u8('b'), e.u8('c'), e.u16(601);
  ASSERT_EQ(Merge(e.b), 1);
  EXPECT_EQ(CountDesign(doc.model), before);
  EXPECT_EQ(doc.first->firstObject, o);
  ASSERT_NE(doc.model.itsPlugIns, nullptr);
  EXPECT_EQ(doc.model.itsPlugIns->plugInID, 131);
  EXPECT_EQ(doc.model.itsPlugIns->size, 3);
  EXPECT_GT(doc.ds()->nextObjectID, o->objectID);
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(PlugOutFile, ReplacementsRemovalsAndTargetLayers) {
  TestDocument doc;
  Objex* upstairs = MakeObject(kObjDetail, 4, 0, nullptr, doc.second);
  Objex* a = MakeObject(kObjDetail, 4, 50, nullptr, doc.first);
  Objex* b = MakeObject(kObjDetail, 4, 100, nullptr, doc.first);
  const uint32_t upID = upstairs->objectID, aID = a->objectID, bID = b->objectID;
  // The replacement as the plug-in would write it: the same ID, moved.
  TestDocument other;
  Objex* moved = MakeObject(kObjDetail, 4, 500, nullptr, other.first);
  moved->objectID = upID;
  Objex* fresh = MakeObject(kObjDetail, 4, 900, nullptr, other.first);
  fresh->objectID = 77777;
  const Bytes movedRecord = Record(moved, 11000), freshRecord = Record(fresh, 11000);
  gCurDocument = &doc.model;

  LE e = Header(131, 11000);
  e.u16(309), e.u32(upID), e.add(movedRecord);
  e.u16(308), e.str("No Such Floor"), e.add(freshRecord);
  e.u16(310), e.u32(aID), e.u16(310), e.u32(bID);
  e.u16(500);
  ASSERT_EQ(Merge(e.b), 1);
  Objex* replaced = FindID(doc.model, upID);
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(replaced->layer, doc.second);
  EXPECT_EQ(replaced->firstPoint->position[0], 500);
  EXPECT_EQ(CountObjects(doc.second), 1u);
  EXPECT_EQ(FindID(doc.model, aID), nullptr);
  EXPECT_EQ(FindID(doc.model, bID), nullptr);
  // The new object went to the current layer; the removals left nothing else there.
  ASSERT_EQ(CountObjects(doc.first), 1u);
  EXPECT_EQ(doc.first->firstObject->firstPoint->position[0], 900);
  // The plug-in's own ID stays, also above the counter, and the counter ends above it.
  EXPECT_EQ(doc.first->firstObject->objectID, 77777u);
  EXPECT_EQ(doc.ds()->nextObjectID, 77778u);
  for (const Layer* l = doc.model.itsLayers; l; l = l->next)
    for (const Objex* o = l->firstObject; o; o = o->next) EXPECT_GT(doc.ds()->nextObjectID, o->objectID);
}

// The floor a new object lands on after each kind of step before it: a floor named by 308
// holds until a 309 or 310; a replacement's floor is the replaced object's, and holds for the
// objects after it; a removal, or a 309 or 310 of an ID no object carries, sends what follows
// to the current floor, whatever floor the removed object stood on.
TEST_F(PlugOutFile, TheFloorOfEachNewObjectAfterEachStep) {
  enum Step { kName, kReplace, kRemove, kReplaceUnknown, kRemoveUnknown, kNew };
  struct Row {
    const char* what;
    std::vector<Step> steps;  // before the object whose floor is checked
    bool upstairs;            // it lands on the second floor (else the current, the first)
  };
  const Row rows[] = {
      {"a named floor", {kName}, true},
      {"a named floor, then another new object", {kName, kNew}, true},
      {"a removal upstairs after the named floor", {kName, kRemove}, false},
      {"a removal upstairs, then another new object", {kName, kRemove, kNew}, false},
      {"a replacement upstairs", {kReplace}, true},
      {"a replacement upstairs, then another new object", {kReplace, kNew}, true},
      {"an unknown replacement after the named floor", {kName, kReplaceUnknown}, false},
      {"an unknown removal after the named floor", {kName, kRemoveUnknown}, false},
      {"a floor named after a removal", {kRemove, kName}, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TestDocument doc;
    Objex* upstairs = MakeObject(kObjDetail, 4, 0, nullptr, doc.second);
    Objex* downstairs = MakeObject(kObjDetail, 4, 50, nullptr, doc.first);
    const uint32_t upID = upstairs->objectID;
    ASSERT_EQ(doc.model.itsCurLayer, doc.first);
    TestDocument other;
    Objex* made = MakeObject(kObjDetail, 4, 900, nullptr, other.first);
    Objex* checked = MakeObject(kObjDetail, 4, 700, nullptr, other.first);
    made->objectID = 60000;
    checked->objectID = 60001;
    const Bytes madeRecord = Record(made, 11000), checkedRecord = Record(checked, 11000);
    made->objectID = upID;
    const Bytes replacement = Record(made, 11000);
    gCurDocument = &doc.model;
    LE e = Header(131, 11000);
    for (Step step : r.steps) {
      switch (step) {
        case kName: e.u16(308), e.str("Second Floor"); break;
        case kReplace: e.u16(309), e.u32(upID), e.add(replacement); break;
        case kRemove: e.u16(310), e.u32(upID); break;
        case kReplaceUnknown: e.u16(309), e.u32(99999); break;
        case kRemoveUnknown: e.u16(310), e.u32(99999); break;
        case kNew: e.add(madeRecord); break;
      }
    }
    e.add(checkedRecord);
    e.u16(500);
    ASSERT_EQ(Merge(e.b), 1);
    Objex* landed = FindID(doc.model, 60001);
    ASSERT_NE(landed, nullptr);
    EXPECT_EQ(landed->layer, r.upstairs ? doc.second : doc.first);
    EXPECT_EQ(FindID(doc.model, downstairs->objectID), downstairs);
  }
}

// New objects keep the IDs the plug-in gave them and their points, unless an ID is 0, in use
// or too large for the counter to pass it.
TEST_F(PlugOutFile, NewObjectsKeepTheirIDsUnlessTheyCannotBeKept) {
  TestDocument doc;
  Objex* existing = MakeObject(kObjDetail, 4, 0, nullptr, doc.first);
  const uint32_t existingID = existing->objectID;
  doc.ds()->nextObjectID = 100;
  doc.ds()->nextPointID = 100;
  TestDocument other;
  struct Case { uint32_t id; bool kept; };
  const Case cases[] = {{5000, true}, {60, true}, {0, false}, {existingID, false}, {0xFFFFFFF0u, false}};
  std::vector<Bytes> records;
  for (size_t i = 0; i < std::size(cases); ++i) {
    Objex* o = MakeObject(kObjDetail, 4, 10.0f * static_cast<float>(i + 1), nullptr, other.first);
    o->objectID = cases[i].id;
    o->firstPoint->pointID = i == 0 ? 9000 : o->firstPoint->pointID;
    records.push_back(Record(o, 11000));
  }
  gCurDocument = &doc.model;
  LE e = Header(131, 11000);
  for (const Bytes& r : records) e.add(r);
  e.u16(500);
  ASSERT_EQ(Merge(e.b), 1);
  std::vector<uint32_t> ids;
  for (const Objex* o = doc.first->firstObject; o; o = o->next) ids.push_back(o->objectID);
  ASSERT_EQ(ids.size(), std::size(cases) + 1);
  for (size_t i = 0; i < std::size(cases); ++i) {
    const uint32_t got = ids[i + 1];
    if (cases[i].kept) EXPECT_EQ(got, cases[i].id) << i;
    else EXPECT_NE(got, cases[i].id) << i;
    EXPECT_NE(got, 0u) << i;
  }
  std::vector<uint32_t> sorted = ids;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "IDs stay unique";
  EXPECT_EQ(doc.ds()->nextObjectID, sorted.back() + 1);
  EXPECT_LE(sorted.back(), kLargestKeptReadID);
  EXPECT_EQ(doc.first->firstObject->next->firstPoint->pointID, 9000u);
  EXPECT_GT(doc.ds()->nextPointID, 9000u);
}

// An object named for replacement leaves the plan even when no record takes its place (another
// 309 or 310 comes first, or the stream ends); one named by 310 is no longer found by ID.
TEST_F(PlugOutFile, NamedObjectsLeaveThePlanWithoutTheirRecord) {
  TestDocument other;
  Objex* fresh = MakeObject(kObjDetail, 4, 900, nullptr, other.first);
  fresh->objectID = 1;
  const Bytes freshRecord = Record(fresh, 11000);
  enum Step { kReplaceA, kReplaceB, kDeleteA, kDeleteB, kRecord };
  const struct {
    const char* name;
    std::vector<Step> steps;
    bool aKept, bKept;
    bool recordUpstairs;  // where the record landed (when there is one)
  } cases[] = {
      {"309 then the end", {kReplaceA}, false, true, false},
      {"309 displaced by 310", {kReplaceA, kDeleteB}, false, false, false},
      {"309 displaced by 309", {kReplaceA, kReplaceB, kRecord}, false, false, false},
      {"310 then 309 of the same", {kDeleteA, kReplaceA, kRecord}, false, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDocument doc;
    Objex* a = MakeObject(kObjDetail, 4, 0, nullptr, doc.second);
    Objex* b = MakeObject(kObjDetail, 4, 50, nullptr, doc.first);
    const uint32_t aID = a->objectID, bID = b->objectID;
    LE e = Header(131, 11000);
    for (Step step : c.steps) {
      if (step == kReplaceA || step == kReplaceB) e.u16(309), e.u32(step == kReplaceA ? aID : bID);
      if (step == kDeleteA || step == kDeleteB) e.u16(310), e.u32(step == kDeleteA ? aID : bID);
      if (step == kRecord) e.add(freshRecord);
    }
    e.u16(500);
    ASSERT_EQ(Merge(e.b), 1);
    // The record may carry an ID that a removed object freed.
    auto original = [&](uint32_t id) {
      const Objex* o = FindID(doc.model, id);
      return o && !(o->firstPoint && o->firstPoint->position[0] == 900);
    };
    EXPECT_EQ(original(aID), c.aKept);
    EXPECT_EQ(original(bID), c.bKept);
    bool recordFound = false, upstairs = false;
    for (const Layer* l = doc.model.itsLayers; l; l = l->next)
      for (const Objex* o = l->firstObject; o; o = o->next)
        if (o->firstPoint && o->firstPoint->position[0] == 900) recordFound = true, upstairs = l == doc.second;
    EXPECT_EQ(recordFound, std::count(c.steps.begin(), c.steps.end(), kRecord) > 0);
    if (recordFound) {
      EXPECT_EQ(upstairs, c.recordUpstairs);
    }
  }
}

// Objects named by 309 and 310 leave the plan at once: the records that follow may carry their
// object and point IDs again. Where the original stays after all, IDs stay unique.
TEST_F(PlugOutFile, NamedObjectsFreeTheirIDs) {
  TestDocument doc;
  Objex* a = MakeObject(kObjDetail, 4, 0, nullptr, doc.first);
  Objex* b = MakeObject(kObjDetail, 4, 0, nullptr, doc.first);
  MakeObject(kObjDetail, 4, 0, nullptr, doc.first);
  const uint32_t aID = a->objectID, bID = b->objectID;
  auto points = [](const Objex* o) {
    std::vector<uint32_t> ids;
    for (const Poinz* p = o->firstPoint; p; p = p->next) ids.push_back(p->pointID);
    return ids;
  };
  const std::vector<uint32_t> aPoints = points(a), bPoints = points(b);
  LE e = Header(131, 11000);
  e.u16(309), e.u32(aID), e.add(Record(a, 11000));
  e.u16(310), e.u32(bID), e.add(Record(b, 11000));
  e.u16(500);
  ASSERT_EQ(Merge(e.b), 1);
  ASSERT_EQ(CountObjects(doc.first), 3u);
  const Objex* newA = doc.first->firstObject->next;
  const Objex* newB = newA->next;
  EXPECT_EQ(newA->objectID, aID);
  EXPECT_EQ(newB->objectID, bID);
  EXPECT_EQ(points(newA), aPoints);
  EXPECT_EQ(points(newB), bPoints);

  // The group still open around the member that names it stays: the member, written with the
  // group's ID, takes a fresh one.
  TestDocument second;
  second.ds()->nextObjectID = 1000;
  const Bytes groupFile = GroupWithMemberNamingTheGroup(500);
  gCurDocument = &second.model;
  ASSERT_EQ(Merge(groupFile), 1);
  const Objex* g = second.first->firstObject;
  ASSERT_NE(g, nullptr);
  ASSERT_NE(g->firstChild, nullptr);
  EXPECT_EQ(g->objectID, 500u);
  EXPECT_NE(g->firstChild->objectID, 500u);
  EXPECT_GT(second.ds()->nextObjectID, g->firstChild->objectID);
}

TEST_F(PlugOutFile, AReplacementThatCannotBeReadKeepsTheOriginal) {
  TestDocument doc;
  Objex* original = MakeObject(kObjDetail, 4, 0, nullptr, doc.second);
  TestDocument other;
  Objex* broken = MakeObject(kObjDetail, 4, 0, nullptr, other.first);
  broken->firstPoint->position[0] = 5e6f;  // out of range: the object is dropped
  const Bytes record = Record(broken, 11000);
  // A record after it that carries the original's ID takes a fresh one.
  Objex* same = MakeObject(kObjDetail, 4, 0, nullptr, other.first);
  same->objectID = original->objectID;
  const Bytes sameRecord = Record(same, 11000);
  gCurDocument = &doc.model;
  LE e = Header(131, 11000);
  e.u16(309), e.u32(original->objectID), e.add(record), e.add(sameRecord), e.u16(500);
  ASSERT_EQ(Merge(e.b), 1);
  EXPECT_EQ(doc.second->firstObject, original);
  EXPECT_EQ(CountDesign(doc.model), 2u);
  ASSERT_NE(original->next, nullptr);
  EXPECT_NE(original->next->objectID, original->objectID);
}

TEST_F(PlugOutFile, PaletteLinksComeBackBeforeVersion10000) {
  const struct { int32_t v; bool relinked; } cases[] = {
      {5000, true}, {7500, true}, {8000, true}, {9000, true}, {10000, false}, {11000, false}};
  for (auto c : cases) {
    SCOPED_TRACE(c.v);
    TestDocument doc;
    DocPaletteList* palette = AddNewDocPaletteList();
    palette->active = 1;
    palette->entries->kind = kPaletteEntryTexture;
    palette->entries->textureID = 1700;
    const int32_t link = -(1000 + palette->entries->refID);
    Objex* original = MakeObject(kObjDetail, 4, 0, nullptr, doc.first);
    original->textureID1 = link;
    // The plug-in wrote the resolved texture back.
    Objex copy = *original;
    copy.textureID1 = 1700;
    copy.firstChild = nullptr;
    copy.next = copy.prev = nullptr;
    copy.name = nullptr;
    const Bytes record = Record(&copy, c.v);
    LE e = Header(131, uint32_t(c.v));
    e.u16(309), e.u32(original->objectID), e.add(record), e.u16(500);
    ASSERT_EQ(Merge(e.b), 1);
    ASSERT_NE(doc.first->firstObject, nullptr);
    EXPECT_EQ(doc.first->firstObject->textureID1, c.relinked ? link : 1700);
  }
}

TEST_F(PlugOutFile, GroupsTakeThePlugInMark) {
  TestDocument doc;
  TestDocument other;
  Objex* group = MakeObject(kObjGroup, 0, 0, nullptr, other.first);
  Objex* member = MakeObject(kObjDetail, 4, 0, group, nullptr);
  (void)member;
  Objex lone = *group;
  lone.firstChild = nullptr;
  const Bytes groupRecord = Record(&lone, 11000);
  lone.firstChild = group->firstChild;
  const Bytes memberRecord = Record(group->firstChild, 11000);
  gCurDocument = &doc.model;
  LE e = Header(131, 11000);
  e.add(groupRecord), e.u16(302), e.add(memberRecord), e.add(memberRecord), e.u16(303), e.u16(500);
  ASSERT_EQ(Merge(e.b), 1);
  Objex* g = doc.first->firstObject;
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->type, kObjGroup);
  EXPECT_EQ(g->groupMarker, 131);
  EXPECT_EQ(CountAll(g->firstChild), 2u);
  EXPECT_EQ(CountObjects(doc.first), 1u);
}

// A replacement named for the group still open around it (the member would go with the group
// it replaces) keeps the group, and the member joins it.
TEST_F(PlugOutFile, AMemberCannotReplaceItsOwnGroup) {
  TestDocument doc;
  doc.ds()->nextObjectID = 1000;
  const Bytes groupFile = GroupWithMemberNamingTheGroup(0);
  gCurDocument = &doc.model;
  ASSERT_EQ(Merge(groupFile), 1);
  Objex* g = doc.first->firstObject;
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->type, kObjGroup);
  EXPECT_EQ(g->objectID, 500u);
  EXPECT_EQ(CountAll(g->firstChild), 1u);
  EXPECT_EQ(CountObjects(doc.first), 1u);
}

TEST_F(PlugOutFile, RefusedFilesChangeNothing) {
  TestDocument doc;
  MakeObject(kObjDetail, 4, 0, nullptr, doc.first);
  const uint32_t nextID = doc.ds()->nextObjectID;
  LE wrong = Header(131, 12000);
  wrong.u16(500);
  EXPECT_EQ(Merge(wrong.b), 0);
  EXPECT_TRUE(alerts.sawMessage(kPlugOutAlertTitle));
  EXPECT_EQ(doc.ds()->nextObjectID, nextID);
  alerts.shown.clear();
  // A count past the end: refused whole, though a whole object came first.
  TestDocument other;
  const Bytes record = Record(MakeObject(kObjDetail, 4, 0, nullptr, other.first), 11000);
  gCurDocument = &doc.model;
  LE cut = Header(131, 11000);
  cut.add(record), cut.add(Bytes(record.begin(), record.begin() + 40));
  EXPECT_EQ(Merge(cut.b), 0);
  EXPECT_TRUE(alerts.sawMessage(kPlugOutAlertTitle));
  EXPECT_EQ(CountDesign(doc.model), 1u);
  // Ending between tags without 500: merged.
  LE open = Header(131, 11000);
  open.add(record);
  EXPECT_EQ(Merge(open.b), 1);
  EXPECT_EQ(CountDesign(doc.model), 2u);
  EXPECT_EQ(PlugOutFileRead("/nonexistent/data.qxf"), 0);
}

TEST_F(PlugOutFile, EveryCutAndRandomFlipsEndCleanly) {
  TestDocument doc;
  Objex* target = MakeWallWithSides(0, nullptr, doc.second);
  TestDocument other;
  Objex* wall = MakeWallWithSides(0, nullptr, other.first);
  MakeObject(kObjDoor, 4, 10, wall, nullptr, NewOpening(kDoorHinged, wall->firstPoint, wall->firstPoint->next, 30));
  Objex* text = MakeObject(kObjText, 4, 200, nullptr, other.first);
  text->typeData = strdup("Note");
  Objex* group = MakeObject(kObjGroup, 0, 0, nullptr, other.first);
  MakeObject(kObjDetail, 4, 0, group, nullptr);
  LE e = Header(131, 11000);
  e.u16(309), e.u32(target->objectID), e.add(Record(wall, 11000));
  e.u16(308), e.str("First Floor"), e.add(Record(text, 11000)), e.add(Record(group, 11000));
  e.u16(500), e.u16(600), e.u32(2), e.u8(1), e.u8(2), e.u16(601);
  gCurDocument = &doc.model;
  const Bytes good = e.b;
  for (size_t n = 0; n < good.size(); ++n) {
    TestDocument fresh;
    Objex* kept = MakeWallWithSides(0, nullptr, fresh.second);
    kept->objectID = target->objectID;
    const size_t before = CountDesign(fresh.model);
    if (Merge(Bytes(good.begin(), good.begin() + long(n))) == 0) {
      ASSERT_EQ(CountDesign(fresh.model), before) << n;
      ASSERT_EQ(fresh.second->firstObject, kept) << n;
    }
    gCurDocument = &doc.model;
  }
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    TestDocument fresh;
    MakeWallWithSides(0, nullptr, fresh.second);
    const size_t before = CountDesign(fresh.model);
    Bytes bad = good;
    for (int k = 0; k < 3; ++k) bad[rng() % bad.size()] ^= uint8_t(1 + rng() % 255);
    if (Merge(bad) == 0) ASSERT_EQ(CountDesign(fresh.model), before) << round;
    gCurDocument = &doc.model;
  }
}

}  // namespace
