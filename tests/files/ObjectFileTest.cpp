// Object files: parts read selected into the current layer (3D, or 2D by the style file),
// groups dropped, coordinates scaled by three, the writer's round trip, refused versions and
// damaged files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "files/ByteStream.h"
#include "files/FileTags.h"
#include "files/ObjectFile.h"
#include "files/StreamState.h"
#include "model/Delete.h"
#include "model/Selection.h"
#include "platform/Alerts.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;
using P3 = std::array<float, 3>;

struct ObjectDir {
  fs::path dir = fs::temp_directory_path() / ("casa-objfile-" + std::to_string(getpid()));
  ObjectDir() { fs::create_directories(dir); }
  ~ObjectDir() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string write(const Bytes& b, const std::string& name = "thing.QOB") const {
    std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                static_cast<std::streamsize>(b.size()));
    return path;
  }
};

void PutColor(RGBColor c) {
  WriteUShort(c.red);
  WriteUShort(c.green);
  WriteUShort(c.blue);
}

struct PartSpec {
  int16_t type = kObjClosedPoly;
  std::vector<P3> stored;  // coordinates as the file holds them (three times the model's)
  RGBColor fill{100, 0, 0}, pen{0, 200, 0};
  int32_t texture0 = 0;
  int16_t fillPattern = 0;
};

// One object record as the object-building tool writes it; `countAt` receives the offset of
// the point count.
void PutPart(const PartSpec& s, size_t* countAt = nullptr) {
  WriteShort(kTagObject);
  WriteShort(s.type);
  uint8_t flags[2] = {1, 1};
  WriteSome(flags, 2);
  PutColor(s.pen);
  for (int i = 0; i < 3; ++i) WriteUShort(0);
  PutColor(s.fill);
  WriteFloat(1.0f);
  WriteShort(6);
  WriteShort(s.fillPattern);
  WriteShort(1);
  WriteLong(static_cast<int32_t>(s.stored.size()));
  WriteSome("\1", 1);
  WriteShort(0);
  WriteLong(0);
  static const uint8_t zeros[32] = {};
  WriteSome(zeros, 32);
  WriteShort(2);
  if (countAt) *countAt = gStream.outDataBuffer.size();
  WriteLong(static_cast<int32_t>(s.stored.size()));
  for (const P3& p : s.stored) {
    WriteShort(1);
    uint8_t bytes[3] = {0, 1, 0};
    WriteSome(bytes, 3);
    for (int k = 0; k < 3; ++k) WriteFloat(0);
    for (float v : p) WriteFloat(v);
    for (int k = 0; k < 6; ++k) WriteFloat(0);
    WriteLong(s.texture0);
    WriteLong(0);
    for (int k = 0; k < 4; ++k) WriteFloat(0);
  }
}

template <typename Body>
Bytes ObjectFileBytes(int32_t version, Body body) {
  BeginOutputBuffer();
  WriteLong(version);
  WriteShort(kPlatformApple);
  WriteLong(0);
  static const uint8_t block[kObjectDocStateBlockBytes] = {};
  WriteSome(block, sizeof block);
  body();
  WriteShort(kTagObjectsEnd);
  Bytes b = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  return b;
}

PartSpec Triangle(float x) { return {kObjClosedPoly, {{x, 0, 0}, {x + 3, 0, 0}, {x, 0, 3}}}; }

// A group record, then three parts inside its bracket.
Bytes GroupOfThree(size_t* countAt = nullptr) {
  return ObjectFileBytes(kVersionObject10001, [countAt] {
    PutPart({kObjGroup, {}});
    WriteShort(kTagGroupBegin);
    PutPart(Triangle(30), countAt);
    PutPart(Triangle(60));
    PutPart(Triangle(90));
    WriteShort(kTagGroupEnd);
  });
}

std::vector<Objex*> Objects(const Layer* l) {
  std::vector<Objex*> v;
  for (Objex* o = l->firstObject; o; o = o->next) v.push_back(o);
  return v;
}

class ObjectFile : public ::testing::Test {
 protected:
  TestDocument doc;
  ObjectDir dir;
  ScopedAlertRecorder alerts;
};

}  // namespace

TEST_F(ObjectFile, GroupAndThreePartsGiveThreeSelectedPartsAndNoGroup) {
  doc.ds()->newObjectPlanMask = 2;
  Objex* before = doc.addObject(kObjLine, false, {{0, 0}, {1, 1}});
  ASSERT_EQ(ObjectFileRead(dir.write(GroupOfThree()).c_str()), 1);
  std::vector<Objex*> objs = Objects(doc.first);
  ASSERT_EQ(objs.size(), 4u);
  EXPECT_EQ(objs[0], before);
  EXPECT_FALSE(IsObjectSelected(before));
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(objs[i]->type, kObjSymbolPart3D);
    EXPECT_TRUE(IsObjectSelected(objs[i]));
    EXPECT_EQ(objs[i]->planMask, 2);
    EXPECT_EQ(objs[i]->pointCount, 3);
    EXPECT_EQ(objs[i]->parent, nullptr);
  }
  // Stored three times over: 30 in the file is 10 in the model.
  EXPECT_FLOAT_EQ(objs[1]->firstPoint->position[0], 10.0f);
  EXPECT_FLOAT_EQ(objs[3]->firstPoint->next->position[0], 31.0f);
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_MODEL_SOUND();
}

TEST_F(ObjectFile, StyleFileMakesTwoDimensionalPartsForThatFileOnly) {
  std::string styled = dir.write(GroupOfThree(), "chair.QOB");
  std::ofstream(dir.dir / "chair.OBD") << "[Style]\nObject2D=1\n";
  std::string plain = dir.write(GroupOfThree(), "table.QOB");
  ASSERT_EQ(ObjectFileRead(styled.c_str()), 1);
  EXPECT_EQ(gObjectStyle2D, 0);
  ASSERT_EQ(ObjectFileRead(plain.c_str()), 1);
  std::vector<Objex*> objs = Objects(doc.first);
  ASSERT_EQ(objs.size(), 6u);
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(objs[i]->type, i < 3 ? kObjSymbolPart2D : kObjSymbolPart3D);
  EXPECT_EQ(ObjectStyleFilePath("a.QOB"), "a.OBD");
  EXPECT_EQ(ObjectStyleFilePath(".QOB"), "");
}

TEST_F(ObjectFile, SideColoursComeFromTheObjectUnlessTextured) {
  Bytes b = ObjectFileBytes(kVersionObject10000, [] {
    PartSpec s = Triangle(0);
    s.texture0 = 5;
    PutPart(s);
    PartSpec custom = Triangle(0);
    custom.type = kObjCustomAttachmentPart;
    custom.fillPattern = -7;
    PutPart(custom);
  });
  ASSERT_EQ(ObjectFileRead(dir.write(b).c_str()), 1);
  std::vector<Objex*> objs = Objects(doc.first);
  ASSERT_EQ(objs.size(), 2u);
  const Poinz* p = objs[0]->firstPoint;
  EXPECT_EQ(p->textureID[0], 5);
  EXPECT_EQ(p->color[0].red, 65535);
  EXPECT_EQ(p->color[0].blue, 65535);
  EXPECT_EQ(p->color[1].green, 200);
  EXPECT_EQ(objs[1]->firstPoint->color[0].red, 100);
  EXPECT_EQ(objs[1]->type, kObjSymbolPart3D);
  EXPECT_EQ(objs[1]->subtype, kObjCustomAttachmentPart);
  EXPECT_EQ(objs[1]->extraFlags, -7);
}

TEST_F(ObjectFile, PartsOutsideTheModelOrNotNumbersAreDropped) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Bytes b = ObjectFileBytes(kVersionObject10001, [nan] {
    PutPart({kObjClosedPoly, {{3.3e6f, 0, 0}, {0, 0, 0}}});
    PutPart({kObjClosedPoly, {{0, nan, 0}, {0, 0, 0}}});
    PutPart({kObjClosedPoly, {}});
    PutPart({kObjClosedPoly, {{2.9e6f, 0, 0}, {0, 0, 0}}});
  });
  ASSERT_EQ(ObjectFileRead(dir.write(b).c_str()), 1);
  ASSERT_EQ(Objects(doc.first).size(), 1u);
  EXPECT_MODEL_SOUND();
}

TEST_F(ObjectFile, WrittenFileReadsBackWithEqualPartsAndTheDesignIsUntouched) {
  Objex* a = doc.addObject(kObjSymbolPart3D, true, {{1.5f, 2}, {7, 2}, {7, 9.25f}});
  Objex* detail = doc.addObject(kObjDetail, false, {{-4, -4}, {4, 4}});
  Objex* group = doc.addObject(kObjGroup, false, {});
  Objex* member = doc.addObject(kObjSymbolPart3D, true, {{20, 20}, {30, 20}, {30, 30}});
  UnlinkObject(member);
  member->parent = group;
  member->layer = doc.first;
  group->firstChild = member;
  doc.addObject(kObjLine, false, {{0, 0}, {1, 0}});  // not selected: not written
  for (Objex* o : {a, detail, member}) {
    o->fillColor = {1, 2, 3};  // differs from the points' colours
    for (Poinz* p = o->firstPoint; p; p = p->next) {
      p->selected = 1;
      p->position[1] = 4.5f;
      p->outHandle[0] = 0.75f;
      p->color[0] = {1000, 2000, 3000};
      p->color[1] = {4000, 5000, 6000};
    }
  }
  a->firstPoint->next->textureID[1] = 1700;
  std::string path = (dir.dir / "out.QOB").string();
  ASSERT_EQ(ObjectFileWrite(path.c_str()), 1);
  EXPECT_EQ(a->fillColor.red, 1);  // writing changed nothing
  EXPECT_EQ(a->type, kObjSymbolPart3D);

  std::ifstream in(path, std::ios::binary);
  Bytes b((std::istreambuf_iterator<char>(in)), {});
  ASSERT_GT(b.size(), 12u);
  EXPECT_EQ((b[0] << 24 | b[1] << 16 | b[2] << 8 | b[3]), kVersionObject10000);
  EXPECT_EQ(b[5], kPlatformApple);
  EXPECT_EQ((b[6] << 24 | b[7] << 16 | b[8] << 8 | b[9]), 0);  // the state length: written 0
  // Layer record, then the first object's type: 8 for the closed symbol part.
  const size_t first = 4 + 2 + 4 + kObjectDocStateBlockBytes + 2 + 262;
  EXPECT_EQ(b[first + 2] << 8 | b[first + 3], kObjClosedPoly);

  TestDocument target;
  ASSERT_EQ(ObjectFileRead(path.c_str()), 1);
  std::vector<Objex*> read = Objects(target.first);
  ASSERT_EQ(read.size(), 3u);  // the group is dropped, its member kept
  const Objex* originals[3] = {a, detail, member};
  for (size_t i = 0; i < 3; ++i) {
    const Objex* o = originals[i];
    const Objex* r = read[i];
    EXPECT_EQ(r->type, kObjSymbolPart3D);
    EXPECT_EQ(r->closed, o->closed);
    EXPECT_EQ(r->pointCount, o->pointCount);
    for (const Poinz *p = o->firstPoint, *q = r->firstPoint; p || q; p = p->next, q = q->next) {
      ASSERT_TRUE(p && q);
      for (int k = 0; k < 3; ++k) {
        EXPECT_FLOAT_EQ(q->position[k], p->position[k]);
        EXPECT_FLOAT_EQ(q->outHandle[k], p->outHandle[k]);
      }
      EXPECT_EQ(q->textureID[1], p->textureID[1]);
      EXPECT_EQ(q->color[0].green, p->color[0].green);
      if (!p->textureID[1]) EXPECT_EQ(q->color[1].blue, p->color[1].blue);
    }
  }
}

// The state block is stepped over whole into a record that keeps its values; parts have no
// type data to read or write.
TEST_F(ObjectFile, StateBlockIsSteppedOverAndPartsCarryNoTypeData) {
  const Bytes block(kObjectDocStateBlockBytes + 8, 0xAB);
  SetInputBuffer(block.data(), block.size());
  ApplePortReadPaddedOBJDocState(nullptr);
  EXPECT_EQ(GetMark(), 0u);
  const int16_t plane = doc.ds()->viewPlane;
  ApplePortReadPaddedOBJDocState(doc.ds());
  EXPECT_EQ(GetMark(), kObjectDocStateBlockBytes);
  EXPECT_EQ(doc.ds()->viewPlane, plane);

  Objex* part = doc.addObject(kObjSymbolPart3D, true, {{0, 0}, {3, 0}, {0, 3}});
  OBJReadObjectData(part);
  EXPECT_EQ(GetMark(), kObjectDocStateBlockBytes);
  BeginOutputBuffer();
  OBJWriteObjectData(part);
  EXPECT_TRUE(gStream.outDataBuffer.empty());
  ReleaseOutputBuffer();
  ResetByteStream();
}

TEST_F(ObjectFile, RefusedVersionAlertsAndAddsNothing) {
  Bytes b = GroupOfThree();
  b[3] = 0x0F;  // 9999
  std::string path = dir.write(b);
  EXPECT_EQ(ObjectFileRead(path.c_str()), 0);
  EXPECT_EQ(doc.first->firstObject, nullptr);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to load the object file.");
  EXPECT_NE(alerts.shown[0].informative.find("'" + path + "'"), std::string::npos);
  EXPECT_EQ(ObjectFileRead((dir.dir / "missing.QOB").c_str()), 0);
  EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST_F(ObjectFile, EveryCutAndHostileCountAddsNothing) {
  size_t countAt = 0;
  const Bytes whole = GroupOfThree(&countAt);
  const size_t streamStart = 10 + kObjectDocStateBlockBytes;
  for (size_t cut = 0; cut < streamStart + 4; cut += 37) {
    ASSERT_EQ(ObjectFileRead(dir.write(Bytes(whole.begin(), whole.begin() + cut)).c_str()), 0);
    ASSERT_EQ(doc.first->firstObject, nullptr) << cut;
  }
  for (size_t cut = streamStart; cut < whole.size(); ++cut) {
    SetInputBuffer(whole.data() + streamStart, cut - streamStart);
    OBJDoReadObjects();
    DeleteLayerObjects(doc.first);
  }
  ReleaseInputBuffer();
  for (uint32_t count : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu}) {
    Bytes b = whole;
    b[countAt] = count >> 24, b[countAt + 1] = count >> 16, b[countAt + 2] = count >> 8,
    b[countAt + 3] = count;
    int ok = ObjectFileRead(dir.write(b).c_str());
    EXPECT_EQ(Objects(doc.first).size(), ok ? 2u : 0u) << count;
    DeleteLayerObjects(doc.first);
  }
  EXPECT_MODEL_SOUND();
}
