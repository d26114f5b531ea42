// Template files: objects inserted selected into the current layer, refused versions,
// attachment definitions ending at tag 1999, group brackets, and damaged templates.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "files/FileTestSupport.h"
#include "files/ByteStream.h"
#include "files/CabinetFile.h"
#include "files/DesignFile.h"
#include "files/DocStateBlock.h"
#include "files/FileTags.h"
#include "files/ObjectRecords.h"
#include "files/StreamState.h"
#include "files/TemplateFile.h"
#include "files/TypeData.h"
#include "model/CabinetState.h"
#include "model/Delete.h"
#include "model/Services.h"
#include "model/Selection.h"
#include "platform/Alerts.h"

namespace fs = std::filesystem;

namespace {


struct TemplateDir {
  fs::path dir = fs::temp_directory_path() / ("casa-template-" + std::to_string(getpid()));
  TemplateDir() { fs::create_directories(dir); }
  ~TemplateDir() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string write(const Bytes& b, const std::string& name = "t.QTF") const {
    std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                static_cast<std::streamsize>(b.size()));
    return path;
  }
};

size_t OutSize() { return gStream.outDataBuffer.size(); }

// A template built in a document of its own: header and DocState of 11100, then whatever
// `body` writes into the object stream.
template <typename Body>
Bytes BuildTemplate(Body body) {
  TestDocument source;
  BeginOutputBuffer();
  sWriteVersion = kVersionDesign11100;
  DoWriteHeader();
  DoWriteDocState();
  body(source);
  Bytes b = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  return b;
}

Objex* Line(TestDocument& d, float x0, float x1) {
  return d.addObject(kObjLine, false, {{x0, 0}, {x1, 10}});
}


size_t CountLayers() {
  size_t n = 0;
  for (const Layer* l = gCurDocument->itsLayers; l; l = l->next) ++n;
  return n;
}

// Two layer records and three objects; `countAt` receives the offset of the first object's
// point count.
Bytes ThreeObjectTemplate(size_t* countAt = nullptr) {
  return BuildTemplate([countAt](TestDocument& d) {
    WriteALayer(d.first);
    Objex* a = Line(d, 0, 10);
    WriteShort(kTagObject);
    WriteObjectInfo(a);
    if (countAt) *countAt = OutSize();
    WriteObjectPoints(a);
    WriteObjectData(a);
    WriteALayer(d.second);
    WriteAnObject(Line(d, 20, 30));
    WriteAnObject(d.addObject(kObjClosedPoly, true, {{0, 0}, {5, 0}, {5, 5}}));
    WriteShort(kTagObjectsEnd);
  });
}

class TemplateFile : public ::testing::Test {
 protected:
  TestDocument doc;
  TemplateDir dir;
  ScopedAlertRecorder alerts;
  void TearDown() override {
    gReadingAttachmentDefinition = 0;
    gAttachmentTempLayer = nullptr;
    gSelectedContentEntryType = 0;
  }
};

}  // namespace

TEST_F(TemplateFile, ObjectsGoSelectedToTheCurrentLayerAndNoLayerIsAdded) {
  doc.ds()->newObjectPlanMask = 6;
  Line(doc, 100, 110);  // already there, not selected
  std::string path = dir.write(ThreeObjectTemplate());
  ASSERT_EQ(TemplateFileRead(path.c_str()), 1);
  EXPECT_EQ(CountLayers(), 3u);
  EXPECT_EQ(CountObjects(doc.first), 4u);
  EXPECT_EQ(CountObjects(doc.second), 0u);
  const Objex* o = doc.first->firstObject;
  EXPECT_FALSE(IsObjectSelected(o));
  int selected = 0;
  for (o = o->next; o; o = o->next) {
    EXPECT_TRUE(IsObjectSelected(o));
    EXPECT_EQ(o->planMask, 6);
    ++selected;
  }
  EXPECT_EQ(selected, 3);
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_MODEL_SOUND();
}

TEST_F(TemplateFile, UnknownVersionAlertsNamingTheFileAndAddsNothing) {
  Bytes b = ThreeObjectTemplate();
  b[0] = 0, b[1] = 0, b[2] = 0x23, b[3] = 0x28;  // 9000
  std::string path = dir.write(b);
  EXPECT_EQ(TemplateFileRead(path.c_str()), 0);
  EXPECT_EQ(CountObjects(doc.first), 0u);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to read template file.");
  EXPECT_NE(alerts.shown[0].informative.find("'" + path + "'"), std::string::npos);
  EXPECT_FALSE(alerts.shown[0].sheet);
  // A file that cannot be opened is silent.
  EXPECT_EQ(TemplateFileRead((dir.dir / "missing.QTF").c_str()), 0);
  EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST_F(TemplateFile, DefinitionReadGoesToTheDefinitionLayerAndStopsAtTag1999) {
  Bytes b = BuildTemplate([](TestDocument& d) {
    WriteAnObject(Line(d, 0, 1));
    WriteAnObject(Line(d, 2, 3));
    WriteShort(kTagDefinitionEnd);
    WriteAnObject(Line(d, 4, 5));
    WriteShort(kTagObjectsEnd);
  });
  Layer* def = CreateLayer("AttachDefLayer", 0, 0, nullptr);
  gAttachmentTempLayer = def;
  gReadingAttachmentDefinition = 1;
  EXPECT_EQ(TemplateFileRead(dir.write(b).c_str()), 1);
  gReadingAttachmentDefinition = 0;
  EXPECT_EQ(CountObjects(def), 2u);
  EXPECT_EQ(CountObjects(doc.first), 0u);
  DeleteLayerObjects(def);
  free(def);
  // Outside a definition read the tag is passed over and every object is read.
  gAttachmentTempLayer = nullptr;
  EXPECT_EQ(TemplateFileRead(dir.write(b).c_str()), 1);
  EXPECT_EQ(CountObjects(doc.first), 3u);
}

TEST_F(TemplateFile, GroupMembersAreLinkedUnderTheGroupWhoseBoundsCoverThem) {
  Bytes b = BuildTemplate([](TestDocument& d) {
    Objex* g = d.addObject(kObjGroup, false, {});
    g->groupMarker = 117;
    Objex* m1 = Line(d, -50, -40);
    Objex* m2 = Line(d, 60, 70);
    UnlinkObject(m1);
    UnlinkObject(m2);
    m1->parent = m2->parent = g;
    g->firstChild = m1;
    m1->next = m2;
    m2->prev = m1;
    WriteAnObject(g);
    // A stray cabinet bracket after the group: it must not touch what the group end deleted.
    CabinetState state{};
    WriteShort(kTagCabinetBegin);
    DoWriteCabinetState(&state);
    WriteShort(kTagCabinetEnd);
    WriteShort(kTagObjectsEnd);
  });
  std::string path = dir.write(b);
  ASSERT_EQ(TemplateFileRead(path.c_str()), 1);
  ASSERT_EQ(CountObjects(doc.first), 1u);
  Objex* g = doc.first->firstObject;
  ASSERT_EQ(g->type, kObjGroup);
  ASSERT_NE(g->firstChild, nullptr);
  ASSERT_NE(g->firstChild->next, nullptr);
  EXPECT_EQ(g->firstChild->parent, g);
  EXPECT_EQ(g->firstChild->layer, doc.first);
  EXPECT_LE(g->bounds3D.floatLeft, -50);
  EXPECT_GE(g->bounds3D.floatRight, 70);
  EXPECT_MODEL_SOUND();

  // A marked group dropped with a non-symbol content entry selected is deleted at its end.
  gSelectedContentEntryType = 1002;
  ASSERT_EQ(TemplateFileRead(path.c_str()), 1);
  EXPECT_EQ(CountObjects(doc.first), 1u);
  gSelectedContentEntryType = kEntrySymbol;
  ASSERT_EQ(TemplateFileRead(path.c_str()), 1);
  EXPECT_EQ(CountObjects(doc.first), 2u);
}

// A group's record inside a bracket (a group in the group, its members written flat after it)
// leaves no empty group: its member is the outer group's, and the line after the bracket stays
// on its own.
TEST_F(TemplateFile, AGroupRecordInsideABracketLeavesNoEmptyGroup) {
  Bytes b = BuildTemplate([](TestDocument& d) {
    auto record = [](Objex* o) {
      WriteShort(kTagObject);
      WriteObjectInfo(o);
      WriteObjectPoints(o);
      WriteObjectData(o);
    };
    record(d.addObject(kObjGroup, false, {}));
    WriteShort(kTagGroupBegin);
    record(Line(d, 0, 10));
    record(d.addObject(kObjGroup, false, {}));
    record(Line(d, 20, 30));
    WriteShort(kTagGroupEnd);
    record(Line(d, 40, 50));
    WriteShort(kTagObjectsEnd);
  });
  ASSERT_EQ(TemplateFileRead(dir.write(b).c_str()), 1);
  ASSERT_EQ(CountObjects(doc.first), 2u);
  Objex* g = doc.first->firstObject;
  ASSERT_EQ(g->type, kObjGroup);
  int members = 0;
  for (Objex* m = g->firstChild; m; m = m->next, ++members) {
    EXPECT_EQ(m->type, kObjLine);
    EXPECT_EQ(m->parent, g);
  }
  EXPECT_EQ(members, 2);
  EXPECT_EQ(g->next->type, kObjLine);
  EXPECT_TRUE(IsObjectSelected(g->next));
  EXPECT_MODEL_SOUND();
}

// A design with groups in a group read as a template: the cabinet keeps its state and the
// symbol places its parts, each taken as the objects read with them (selected, the plan kind
// of new objects).
TEST_F(TemplateFile, GroupsInAGroupComeAsTheyWere) {
  doc.ds()->newObjectPlanMask = 6;
  const std::string path = (dir.dir / "grouped.pro").string();
  {
    TestDocument source;
    GroupCabinetSymbolAndWall(source.model, source.first);
    ASSERT_EQ(KeyFileWrite(path.c_str()), 1);
  }
  ASSERT_EQ(TemplateFileRead(path.c_str()), 1);
  ASSERT_EQ(CountObjects(doc.first), 1u);
  const Objex* group = doc.first->firstObject;
  ExpectCabinetSymbolAndWall(group);
  for (const Objex* inner = group->firstChild; inner; inner = inner->next) {
    EXPECT_TRUE(IsObjectSelected(inner));
    EXPECT_EQ(inner->planMask, 6);
  }
  EXPECT_MODEL_SOUND();
}

TEST_F(TemplateFile, DetailDroppedFromASymbolEntryShowsItsDimensions) {
  Bytes b = BuildTemplate([](TestDocument& d) {
    WriteAnObject(d.addObject(kObjDetail, true, {{0, 0}, {5, 0}, {5, 5}}));
    WriteShort(kTagObjectsEnd);
  });
  std::string path = dir.write(b);
  gSelectedContentEntryType = kEntrySymbol;
  ASSERT_EQ(TemplateFileRead(path.c_str()), 1);
  gSelectedContentEntryType = 0;
  ASSERT_EQ(TemplateFileRead(path.c_str()), 1);
  ASSERT_EQ(CountObjects(doc.first), 2u);
  EXPECT_EQ(doc.first->firstObject->extraLong & 1, 1);
  EXPECT_EQ(doc.first->firstObject->next->extraLong & 1, 0);
}

TEST_F(TemplateFile, DroppedTemplateTakesNewIds) {
  std::string path = dir.write(ThreeObjectTemplate());
  gUpdateID = 1;
  ASSERT_EQ(TemplateFileRead(path.c_str()), 1);
  ASSERT_EQ(TemplateFileRead(path.c_str()), 1);
  gUpdateID = 0;
  EXPECT_EQ(CountObjects(doc.first), 6u);
  EXPECT_MODEL_SOUND();
}

// One template object record at a time: completed with the template defaults, kept whatever
// its point count, selected only in insert mode.
TEST_F(TemplateFile, SingleObjectsTakeTheTemplateDefaults) {
  doc.ds()->wallThickness = 6.0f;
  doc.first->height = 110.0f;
  Bytes b;
  {
    TestDocument source;
    Objex* wall = source.addObject(kObjWall, false, {{0, 0}, {100, 0}});
    wall->params[0] = 0.4f;
    wall->params[1] = 3.0f;
    wall->textureID = 0;
    wall->textureID1 = 1300;
    wall->width = 9.0f;
    Objex* path = source.addObject(kObjPath, false, {{0, 0}, {50, 0}});
    path->width = 10.0f;
    Objex* fence = source.addObject(kObjFence, false, {{0, 0}, {60, 0}});
    fence->textureID = 703;
    Objex* floor = source.addObject(kObjFloor, true, {{0, 0}, {10, 0}});
    BeginOutputBuffer();
    sWriteVersion = kVersionDesign11100;
    for (Objex* o : {wall, path, fence, floor}) {
      WriteShort(kTagObject);
      WriteObjectInfo(o);
      WriteObjectPoints(o);
      WriteObjectData(o);
    }
    b = gStream.outDataBuffer;
    ReleaseOutputBuffer();
  }
  sInputVersion = kVersionDesign11100;
  SetInputBuffer(b.data(), b.size());
  EXPECT_EQ(ReadATemplateObject(nullptr, 1), nullptr);
  EXPECT_EQ(GetMark(), 0u);

  int16_t tag = 0;
  ReadShort(&tag);
  Objex* wall = ReadATemplateObject(doc.first, 1);
  ASSERT_NE(wall, nullptr);
  EXPECT_EQ(wall->params[0], 110.0f);
  EXPECT_EQ(wall->params[1], 16.0f);
  EXPECT_EQ(wall->textureID, 1700);
  EXPECT_EQ(wall->width, 6.0f);
  EXPECT_EQ(wall->textureID1, 0);
  EXPECT_FALSE(IsObjectSelected(wall));

  ReadShort(&tag);
  gOpenSymbol = 1;
  Objex* path = ReadATemplateObject(doc.first, 1);
  gOpenSymbol = 0;
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->width, gPathDefaultWidth);
  EXPECT_EQ(path->firstPoint->textureID[1], gPathDefaultTexture);
  EXPECT_TRUE(IsObjectSelected(path));

  ReadShort(&tag);
  Objex* fence = ReadATemplateObject(doc.first, 0);
  ASSERT_NE(fence, nullptr);
  EXPECT_EQ(fence->textureID, 703);  // a current file keeps its own style
  EXPECT_EQ(fence->textureID1, 850);
  EXPECT_EQ(fence->textureID3, 2200);
  EXPECT_EQ(CountObjects(doc.first), 2u);  // not appended
  DeleteObj(fence);

  ReadShort(&tag);
  Objex* floor = ReadATemplateObject(doc.first, 1);
  ASSERT_NE(floor, nullptr);  // two points: kept all the same
  EXPECT_EQ(GetMark(), b.size());
  EXPECT_EQ(CountObjects(doc.first), 3u);
}

TEST_F(TemplateFile, EveryCutAndHostileCountAddsNothingAndAlerts) {
  size_t countAt = 0;
  const Bytes whole = ThreeObjectTemplate(&countAt);
  const size_t streamStart = 6 + 4 + kDocStateBlockLength;
  // Whole files cut within the header and the DocState block.
  size_t reads = 0;
  for (size_t cut = 0; cut < streamStart + 8; cut += 53, ++reads) {
    std::string path = dir.write(Bytes(whole.begin(), whole.begin() + cut));
    ASSERT_EQ(TemplateFileRead(path.c_str()), 0) << cut;
  }
  EXPECT_GE(alerts.shown.size(), reads - 1);
  // Every cut of the object stream.
  for (size_t cut = streamStart; cut < whole.size(); ++cut) {
    SetInputBuffer(whole.data() + streamStart, cut - streamStart);
    sInputVersion = kVersionDesign11100;
    ASSERT_FALSE(DoReadTemplateObjects()) << cut;
    ASSERT_EQ(CountObjects(doc.first), 0u) << cut;
  }
  ReleaseInputBuffer();
  for (uint32_t count : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu}) {
    Bytes b = whole;
    b[countAt] = count >> 24, b[countAt + 1] = count >> 16, b[countAt + 2] = count >> 8,
    b[countAt + 3] = count;
    TemplateFileRead(dir.write(b).c_str());
    EXPECT_LE(CountObjects(doc.first), 2u);
    DeleteLayerObjects(doc.first);
  }
  EXPECT_MODEL_SOUND();
}
