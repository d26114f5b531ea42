// Object records: info and point layouts of every version group, the repairs made while
// reading older objects, attachments, trims, round trips and damaged input.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "RecordWriters.h"
#include "TestDocument.h"
#include "files/AttachmentRecords.h"
#include "files/ByteStream.h"
#include "files/FileTags.h"
#include "files/ObjectRecords.h"
#include "files/ObjectValidation.h"
#include "files/TypeData.h"
#include "model/CommandCodes.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/Duplicate.h"
#include "model/Grouping.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "platform/ContentPaths.h"

namespace {

using namespace record_writer;


class ObjectRecords : public ::testing::Test {
 protected:
  TestDocument doc;
  void SetUp() override {
    ResetByteStream();
    // A design read by an earlier test leaves its version behind; these records are current ones.
    sInputVersion = sWriteVersion = kVersionDesign11100;
    doc.ds()->nextObjectID = 1000;
    doc.ds()->nextPointID = 5000;
  }
  void TearDown() override {
    for (Layer* l = doc.model.itsLayers; l; l = l->next)
      while (l->firstObject) DeleteObj(l->firstObject);
    ResetByteStream();
    sInputVersion = kVersionDesign11100;
  }
  // Reads one object of version v from the bytes into the first floor.
  Objex* Read(const Bytes& in, int v, uint8_t append = 1) {
    sInputVersion = v;
    SetInputBuffer(in.b.data(), in.size());
    ReadIDScope ids;
    return ReadAnObject(doc.first, append);
  }
};

std::vector<uint8_t> WriteObject(Objex* o) {
  BeginOutputBuffer();
  WriteAnObject(o);
  std::vector<uint8_t> out = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  return out;
}

TEST_F(ObjectRecords, Version10000RecordEndsAfterPlantAge) {
  Bytes in;
  WriteInfo(in, 10000, Info{});
  WritePoints(in, 10000, {Pt{}});
  Objex* o = Read(in, 10000);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(GetMark(), in.size());
  EXPECT_FALSE(StreamFailed());
  EXPECT_EQ(o->penColor.green, 0x0304);
  EXPECT_EQ(o->fillColor.blue, 0x1516);
  EXPECT_FLOAT_EQ(o->plantAge, 6.5f);
  EXPECT_EQ(o->direction, -1);
  EXPECT_EQ(o->planMask, 2);  // set by type for versions before 10400
  EXPECT_EQ(o->firstPoint->color[0].red, 0x1231);  // little-endian colours before 10450
  EXPECT_FLOAT_EQ(o->firstPoint->position[2], 20.0f);
}

TEST_F(ObjectRecords, Version10450HasNoIdAndVersion10500HasIdButNoName) {
  Bytes a;
  WriteInfo(a, 10450, Info{});
  WritePoints(a, 10450, {Pt{}});
  Objex* o = Read(a, 10450);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(GetMark(), a.size());
  EXPECT_EQ(o->objectID, 1000u);  // keeps the ID its creation took
  EXPECT_EQ(o->textureScale.y, 99);
  EXPECT_EQ(o->planMask, 0x200);
  EXPECT_EQ(o->firstPoint->color[1].blue, 0x1236);

  Bytes b;
  WriteInfo(b, 10500, Info{});
  WritePoints(b, 10500, {Pt{}});
  Objex* p = Read(b, 10500);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(GetMark(), b.size());
  EXPECT_EQ(p->objectID, 77u);
  EXPECT_EQ(p->name, nullptr);
  EXPECT_EQ(p->firstPoint->pointID, 500u);
  EXPECT_EQ(p->extraFlags, 0x0C0D);
}

TEST_F(ObjectRecords, GroupMarkerOnlyFrom10700) {
  Info g;
  g.type = kObjGroup;
  for (int v : {10500, 10700}) {
    Bytes in;
    WriteInfo(in, v, g);
    WritePoints(in, v, {});
    Objex* o = Read(in, v);
    ASSERT_NE(o, nullptr) << v;  // a group without points is kept
    EXPECT_EQ(GetMark(), in.size());
    EXPECT_EQ(o->groupMarker, v == 10700 ? 117 : 0);
  }
}

TEST_F(ObjectRecords, StoredIdsAreKeptUniqueAndCountersEndAbove) {
  Bytes in;
  Info i;
  WriteInfo(in, 10800, i);
  WritePoints(in, 10800, {Pt{}});
  WriteInfo(in, 10800, i);        // the same object ID again
  Pt dup;                         // and the same point ID again
  WritePoints(in, 10800, {dup});
  sInputVersion = 10800;
  SetInputBuffer(in.b.data(), in.size());
  Objex *a, *b;
  {
    ReadIDScope ids;
    a = ReadAnObject(doc.first, 1);
    b = ReadAnObject(doc.first, 1);
  }
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->objectID, 77u);
  EXPECT_EQ(a->firstPoint->pointID, 500u);
  EXPECT_NE(b->objectID, 77u);
  EXPECT_NE(b->firstPoint->pointID, 500u);
  EXPECT_GT(doc.ds()->nextObjectID, b->objectID);
  EXPECT_GT(doc.ds()->nextPointID, b->firstPoint->pointID);
}

// A stored ID at or above the counter (a record read into a fresh design) is kept too, and the
// counters end above it; version 10700 checks its IDs against the counter and hands out new
// ones instead.
TEST_F(ObjectRecords, StoredIdsAboveTheCounterAreKeptButIn10700) {
  for (int v : {10800, 10700}) {
    SCOPED_TRACE(v);
    doc.ds()->nextObjectID = 10;
    doc.ds()->nextPointID = 20;
    Bytes in;
    WriteInfo(in, v, Info{});
    WritePoints(in, v, {Pt{}});
    Objex* a = Read(in, v);
    ASSERT_NE(a, nullptr);
    const bool kept = v != 10700;
    EXPECT_EQ(a->objectID == 77u, kept);
    EXPECT_EQ(a->firstPoint->pointID == 500u, kept);
    EXPECT_GT(doc.ds()->nextObjectID, a->objectID);
    EXPECT_GT(doc.ds()->nextPointID, a->firstPoint->pointID);
    DeleteObj(a);
  }
}

// Records read outside a whole-stream read (no scope of the caller's) keep their stored IDs
// the same way, and still never share one with the design.
TEST_F(ObjectRecords, RecordsReadOnTheirOwnKeepStoredIds) {
  Bytes in;
  WriteInfo(in, 10800, Info{});
  WritePoints(in, 10800, {Pt{}});
  sInputVersion = 10800;
  SetInputBuffer(in.b.data(), in.size());
  Objex* a = ReadAnObject(doc.first, 1);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->objectID, 77u);
  EXPECT_EQ(a->firstPoint->pointID, 500u);
  EXPECT_EQ(doc.ds()->nextObjectID, 1000u);
  EXPECT_EQ(doc.ds()->nextPointID, 5000u);

  // The same record again: 77 and 500 are taken by the object on the layer now.
  SetInputBuffer(in.b.data(), in.size());
  Objex* b = ReadAnObject(doc.first, 1);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(b->objectID, 77u);
  EXPECT_NE(b->firstPoint->pointID, 500u);
  EXPECT_GT(doc.ds()->nextObjectID, b->objectID);

  // The info and point readers on their own.
  Bytes info;
  Info i;
  i.id = 88;
  WriteInfo(info, 10800, i);
  Pt p;
  p.id = 600;
  WritePoints(info, 10800, {p});
  SetInputBuffer(info.b.data(), info.size());
  const RGBColor white{65535, 65535, 65535}, black{};
  FloatRect empty = EmptyFloatRect();
  Objex* c = CreateObject(0, 1, 1, &white, &black, 1.0f, 6, 0, &empty, nullptr, nullptr, nullptr,
                          doc.first, nullptr);
  ASSERT_NE(c, nullptr);
  const uint32_t objects = doc.ds()->nextObjectID, points = doc.ds()->nextPointID;
  ReadObjectInfo(c);
  EXPECT_EQ(c->objectID, 88u);
  EXPECT_EQ(doc.ds()->nextObjectID, objects - 1);
  c->pointCount = 0;
  ReadObjectPoints(c);
  ASSERT_NE(c->firstPoint, nullptr);
  EXPECT_EQ(c->firstPoint->pointID, 600u);
  EXPECT_EQ(doc.ds()->nextPointID, points);
  EXPECT_EQ(GetMark(), info.size());
  DeleteObj(c);
}

// Inside a caller's scope the info and point readers settle IDs in that scope (they make one
// of their own only when none is active): the same stored IDs read twice into objects that are
// on no layer are kept once.
TEST_F(ObjectRecords, InfoAndPointReadersUseTheActiveScope) {
  Bytes in;
  Info i;
  i.id = 88;
  Pt p;
  p.id = 600;
  for (int k = 0; k < 2; ++k) {
    WriteInfo(in, 10800, i);
    WritePoints(in, 10800, {p});
  }
  sInputVersion = 10800;
  SetInputBuffer(in.b.data(), in.size());
  const RGBColor white{65535, 65535, 65535}, black{};
  FloatRect empty = EmptyFloatRect();
  Objex* made[2] = {};
  {
    ReadIDScope ids;
    for (Objex*& c : made) {
      c = CreateObject(0, 1, 1, &white, &black, 1.0f, 6, 0, &empty, nullptr, nullptr, nullptr, doc.first, nullptr);
      ASSERT_NE(c, nullptr);
      ReadObjectInfo(c);
      c->pointCount = 0;
      ReadObjectPoints(c);
      ASSERT_NE(c->firstPoint, nullptr);
      EXPECT_EQ(ActiveReadIDScope(), &ids);
    }
  }
  EXPECT_EQ(ActiveReadIDScope(), nullptr);
  EXPECT_EQ(made[0]->objectID, 88u);
  EXPECT_EQ(made[0]->firstPoint->pointID, 600u);
  EXPECT_NE(made[1]->objectID, 88u);
  EXPECT_NE(made[1]->firstPoint->pointID, 600u);
  EXPECT_EQ(GetMark(), in.size());
  for (Objex* c : made) DeleteObj(c);
}

TEST_F(ObjectRecords, PointCountAndLevelsFollowThePointsRead) {
  Info i;
  i.pointCount = 9;
  i.levels = 3;
  Bytes in;
  WriteInfo(in, 11100, i);
  WritePoints(in, 11100, {Pt{}, Pt{}});
  Objex* o = Read(in, 11100);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->pointCount, 2);
  EXPECT_EQ(o->levels, 1);
}

TEST_F(ObjectRecords, OldWallGetsLayerHeightAndAlternatingShorts) {
  doc.first->height = 110;
  Info i;
  i.type = kObjWall;
  i.params[0] = 0.4f;
  Bytes in;
  WriteInfo(in, 10300, i);
  WritePoints(in, 10300, {Pt{}, Pt{}, Pt{}});
  in.be32(0);  // no attachments
  ServiceCallRecorder calls;
  Objex* o = Read(in, 10300);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(GetMark(), in.size());
  EXPECT_FLOAT_EQ(o->params[0], 110);
  EXPECT_FLOAT_EQ(o->params[1], 16);
  EXPECT_EQ(o->textureID, 1700);
  int16_t expect = 0;
  for (Poinz* p = o->firstPoint; p; p = p->next, expect = int16_t(1 - expect)) {
    EXPECT_EQ(p->segmentShort2, expect);
    EXPECT_FLOAT_EQ(p->segmentFloats[0], 110);
    EXPECT_FLOAT_EQ(p->segmentFloats[3], 110 * 1.25f);
    // The stored trim words are dropped: each side holds a cleared trim record, which a
    // save writes and reads back the same.
    for (void* side : {p->trim1, p->trim2}) {
      ASSERT_NE(side, nullptr);
      const auto* t = static_cast<const TrimData*>(side);
      EXPECT_EQ(t->trimCodeA, 0);
      EXPECT_EQ(t->trimCodeB, 0);
      EXPECT_EQ(t->profileA, nullptr);
      EXPECT_EQ(t->slotTextureIDs[0], 0);
    }
  }
  EXPECT_TRUE(calls.called("Update3DWall", o->objectID));
  EXPECT_TRUE(calls.called("UpdateAllWallAttachments", o->objectID));
}

// A length rounds by adding 0.5 and truncating: one just below 0.5 rounds to 0, and a wall
// of any version then takes the layer's height (the float sum of the two would give 1).
TEST_F(ObjectRecords, WallHeightJustBelowHalfRoundsToZero) {
  doc.first->height = 96;
  for (int v : {10300, 11100}) {
    Info i;
    i.type = kObjWall;
    i.params[0] = std::nextafter(0.5f, 0.0f);
    Pt p;
    p.seg[0] = std::nextafter(0.5f, 0.0f);
    Bytes in;
    WriteInfo(in, v, i);
    WritePoints(in, v, {p, Pt{}});
    in.be32(0);  // no attachments
    Objex* o = Read(in, v);
    ASSERT_NE(o, nullptr) << v;
    EXPECT_FLOAT_EQ(o->params[0], 96) << v;
    if (v == 10300) EXPECT_FLOAT_EQ(o->firstPoint->segmentFloats[0], 96);
  }
}

TEST_F(ObjectRecords, OldStockPlantsOfHighTexturesAreDropped) {
  Info i;
  i.type = kObjPlant;
  Pt p;
  p.tex1 = 14050;
  for (int v : {10750, 10800}) {
    Bytes in;
    WriteInfo(in, v, i);
    WritePoints(in, v, {p});
    Objex* o = Read(in, v);
    EXPECT_EQ(o != nullptr, v == 10800) << v;
    EXPECT_EQ(GetMark(), in.size());
  }
  EXPECT_EQ(doc.first->firstObject->next, nullptr);
}

TEST_F(ObjectRecords, SlopeArrowsAndPointlessObjectsNeverReachTheLayer) {
  Info i;
  i.type = kObjRoofSlopeArrow;
  Bytes a;
  WriteInfo(a, 11100, i);
  WritePoints(a, 11100, {Pt{}, Pt{}});
  EXPECT_EQ(Read(a, 11100), nullptr);
  Bytes b;
  WriteInfo(b, 11100, Info{});
  WritePoints(b, 11100, {});
  EXPECT_EQ(Read(b, 11100), nullptr);
  EXPECT_EQ(doc.first->firstObject, nullptr);
}

TEST_F(ObjectRecords, Deck10350StepFlagsMakeStepsChildren) {
  Info i;
  i.type = kObjDeck;
  std::vector<Pt> pts = Square(1);
  pts[1].flags = 2 | 8;
  pts[3].flags = 2 | 16;  // the closing segment
  Bytes in;
  WriteInfo(in, 10350, i);
  WritePoints(in, 10350, pts);
  Objex* o = Read(in, 10350);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(GetMark(), in.size());  // no attachment list in 10350
  Objex* s1 = o->firstChild;
  ASSERT_TRUE(s1 && s1->next && !s1->next->next);
  auto* d1 = static_cast<DoorWindowData*>(s1->typeData);
  auto* d2 = static_cast<DoorWindowData*>(s1->next->typeData);
  EXPECT_EQ(s1->type, kObjDeckSteps);
  EXPECT_EQ(d1->anchorStart, o->firstPoint->next);
  EXPECT_EQ(d2->anchorEnd, o->firstPoint);
  EXPECT_EQ(d1->auxShort1, 1);
  EXPECT_EQ(d2->auxShort2, 1);
  EXPECT_FLOAT_EQ(d1->width, ConvertWorldToScreen(51, doc.ds(), 0));
}

// A 10800 wall with one door whose anchors are stored as 7 and 1 and trim words of 65536
// carrying a custom profile on side 1 of the first point.
Bytes Wall10800(const Info& wallInfo) {
  Bytes in;
  WriteInfo(in, 10800, wallInfo);
  std::vector<Pt> pts = Square(10);
  in.be32(4);
  for (int k = 0; k < 4; ++k) {
    if (k == 0) {
      Pt p = pts[0];
      // Point record with a trim block after the side 1 word.
      Bytes tmp;
      p.trim1 = 65536;
      WritePoint(tmp, 10800, p);
      // Split after the side 1 word: find its offset from the layout.
      size_t afterWord = 2 + 3 + 48 + 8 + 16 + 12 + 12 + 4 + 4;
      in.b.insert(in.b.end(), tmp.b.begin(), tmp.b.begin() + long(afterWord));
      in.be16(208);
      in.be32(65536);
      in.be16(210);
      in.be16(200);
      Info prof;
      prof.type = kObjOpenPoly;
      prof.id = 90;
      WriteInfo(in, 10800, prof);
      WritePoints(in, 10800, {Pt{}, Pt{}});
      in.be16(211);
      in.be32(3);  // code B
      in.be16(209);
      in.b.insert(in.b.end(), tmp.b.begin() + long(afterWord), tmp.b.end());
    } else {
      WritePoint(in, 10800, pts[k]);
    }
  }
  in.be32(1);
  in.be16(201);
  Info door;
  door.type = kObjDoor;
  door.id = 78;
  WriteInfo(in, 10800, door);
  WritePoints(in, 10800, {Pt{}, Pt{}});
  in.be16(16); in.be16(501); in.be32(7); in.be32(1);
  for (float f : {1.0f, 2.0f, 36.0f, 80.0f, 0.0f}) in.f32(f);
  in.be32(0); in.be32(0); in.be32(0);
  in.u8(1); in.f32(0.5f); in.be16(1); in.be16(2); in.be16(3); in.be32(0x01020304);
  for (int s = 0; s < 2; ++s) { in.u8(0); in.be32(2200 + s); in.be16(100); in.be16(100); in.rgb(1, 2, 3); }
  return in;
}

TEST_F(ObjectRecords, Wall10800AnchorsTrimsAndSlots) {
  Info w;
  w.type = kObjWall;
  Bytes in = Wall10800(w);
  Objex* o = Read(in, 10800);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(GetMark(), in.size());
  Objex* door = o->firstChild;
  ASSERT_NE(door, nullptr);
  auto* d = static_cast<DoorWindowData*>(door->typeData);
  EXPECT_EQ(d->anchorStart, o->firstPoint);       // index 7 of 4 points
  EXPECT_EQ(d->anchorEnd, o->firstPoint->next);
  EXPECT_EQ(std::bit_cast<uint32_t>(d->frameSize()), 0x01020304u);  // frame size kept bit for bit
  EXPECT_EQ(door->parent, o);
  auto* t = static_cast<TrimData*>(o->firstPoint->trim1);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->trimCodeA, 65536);
  ASSERT_NE(t->profileA, nullptr);
  EXPECT_EQ(t->profileA->layer, nullptr);
  EXPECT_EQ(t->trimCodeB, 3);
  // 10800: slots from wall slots 1, 3, 1, 2, 4.
  EXPECT_EQ(t->slotTextureIDs[0], 12);
  EXPECT_EQ(t->slotTextureIDs[1], 14);
  EXPECT_EQ(t->slotTextureIDs[2], 12);
  EXPECT_EQ(t->slotTextureIDs[3], 13);
  EXPECT_EQ(t->slotTextureIDs[4], 15);
  EXPECT_EQ(t->slotColors[3].red, 0x3132);
  // A side 2 word other than 65536 gives an empty record.
  auto* t2 = static_cast<TrimData*>(o->firstPoint->trim2);
  ASSERT_NE(t2, nullptr);
  EXPECT_EQ(t2->trimCodeA, 0);
}

// A trim block read on its own takes its profiles onto the current layer, off the list;
// without a current layer nothing is read.
TEST_F(ObjectRecords, TrimBlockOnItsOwnReadsProfilesOnTheCurrentLayer) {
  sWriteVersion = sInputVersion = kVersionDesign11100;
  Objex* profile = doc.addObject(kObjOpenPoly, false, {{0, 0}, {10, 0}, {10, 4}});
  TrimData written{};
  written.trimCodeA = kTrimCustomProfile;
  written.profileA = profile;
  written.trimCodeB = 7;
  written.slotTextureIDs[2] = 2200;
  BeginOutputBuffer();
  WriteTrimData(&written);
  std::vector<uint8_t> block = gStream.outDataBuffer;
  ReleaseOutputBuffer();

  doc.model.itsCurLayer = doc.second;
  SetInputBuffer(block.data(), block.size());
  TrimData read{};
  ReadTrimData(&read);
  EXPECT_EQ(GetMark(), block.size());
  EXPECT_EQ(read.trimCodeA, kTrimCustomProfile);
  EXPECT_EQ(read.trimCodeB, 7);
  EXPECT_EQ(read.slotTextureIDs[2], 2200);
  ASSERT_NE(read.profileA, nullptr);
  EXPECT_EQ(read.profileA->layer, nullptr);
  EXPECT_EQ(read.profileA->pointCount, 3);
  EXPECT_EQ(doc.second->firstObject, nullptr);
  DeleteObj(read.profileA);

  // Without a record the block is passed over whole; its profile is read and dropped (the
  // leak check holds it to that), and nothing is left on the layer.
  SetInputBuffer(block.data(), block.size());
  ReadTrimData(nullptr, doc.second);
  EXPECT_EQ(GetMark(), block.size());
  EXPECT_FALSE(StreamFailed());
  EXPECT_EQ(doc.second->firstObject, nullptr);

  doc.model.itsCurLayer = nullptr;
  SetInputBuffer(block.data(), block.size());
  TrimData untouched{};
  ReadTrimData(&untouched);
  EXPECT_EQ(GetMark(), 0u);
  EXPECT_EQ(untouched.trimCodeA, 0);
  doc.model.itsCurLayer = doc.first;
}

TEST_F(ObjectRecords, CurrentWallGivesEverySideAZeroedTrimRecord) {
  Info w;
  w.type = kObjWall;
  Bytes in;
  WriteInfo(in, 11100, w);
  std::vector<Pt> pts = Square(10);
  pts[1].trim1 = 7;  // a word that announces no block: dropped
  WritePoints(in, 11100, pts);
  in.be32(0);  // no attachments
  Objex* o = Read(in, 11100);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(GetMark(), in.size());
  static const TrimData zero{};  // static: its padding is zero too
  auto expectZeroed = [&](Objex* wall) {
    for (Poinz* p = wall->firstPoint; p; p = p->next)
      for (void* side : {p->trim1, p->trim2}) {
        ASSERT_NE(side, nullptr);
        EXPECT_EQ(memcmp(side, &zero, sizeof zero), 0);
      }
  };
  expectZeroed(o);
  // Written back as sides with a record (65536 and a block), and read back so again.
  const std::vector<uint8_t> once = WriteObject(o);
  DeleteObj(o);  // its IDs are free again for the copy read back
  Bytes again;
  again.b.assign(once.begin() + 2, once.end());  // after the object tag
  Objex* back = Read(again, 11100);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(GetMark(), again.size());
  expectZeroed(back);
  EXPECT_EQ(WriteObject(back), once);
}

TEST_F(ObjectRecords, Wall10700TrimSlotsAndSideWords) {
  Info w;
  w.type = kObjWall;
  Bytes in;
  WriteInfo(in, 10700, w);
  Pt p;
  p.trim1 = 5;
  p.trim2 = 6;
  WritePoints(in, 10700, {p, Pt{}});
  in.be32(0);
  Objex* o = Read(in, 10700);
  ASSERT_NE(o, nullptr);
  auto* t = static_cast<TrimData*>(o->firstPoint->trim1);
  EXPECT_EQ(t->trimCodeA, 5);
  EXPECT_EQ(static_cast<TrimData*>(o->firstPoint->trim2)->trimCodeA, 6);
  EXPECT_EQ(t->slotTextureIDs[0], 14);
  EXPECT_EQ(t->slotTextureIDs[1], 2213);
  EXPECT_EQ(t->slotTextureScales[1].x, 100);
  EXPECT_EQ(t->slotTextureIDs[2], 12);
  EXPECT_EQ(t->slotTextureIDs[4], 15);
}

TEST_F(ObjectRecords, OlderWindowRecordTakesFillAndSlotZeroIntoTrimSlots) {
  Info w;
  w.type = kObjWall;
  Bytes in;
  WriteInfo(in, 10750, w);
  WritePoints(in, 10750, Square(1));
  in.be32(2);
  in.be16(999);  // a wrong tag: the entry is skipped
  in.be16(201);
  Info win;
  win.type = kObjWindow;
  WriteInfo(in, 10750, win);
  WritePoints(in, 10750, {Pt{}});
  in.le16(17); in.le16(600); in.le32(2); in.le32(3);
  for (int k = 0; k < 5; ++k) in.lef32(1.0f + k);
  for (int k = 0; k < 3; ++k) in.le32(0);
  in.u8(1); in.u8(0); in.lef32(0.75f); in.le16(4); in.le16(5); in.le16(6); in.le32(7);
  Objex* o = Read(in, 10750);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(GetMark(), in.size());
  ASSERT_NE(o->firstChild, nullptr);
  auto* d = static_cast<DoorWindowData*>(o->firstChild->typeData);
  EXPECT_EQ(d->anchorStart, o->firstPoint->next->next);
  EXPECT_FLOAT_EQ(d->elevation, 5.0f);
  EXPECT_EQ(d->auxShort2, 6);
  EXPECT_EQ(d->trimSlotB.color.red, 0x1112);
  EXPECT_EQ(d->trimSlotA.textureID, 11);
  EXPECT_EQ(d->trimSlotA.textureHeight, 99);
}

TEST_F(ObjectRecords, PhotosTakeConsecutiveTextureNumbersAndOldDimensionsAreConverted) {
  Info i;
  i.type = kObjPhotoView;
  Bytes in;
  for (int k = 0; k < 2; ++k) {
    WriteInfo(in, 11100, i);
    WritePoints(in, 11100, {Pt{}, Pt{}, Pt{}});
    in.str("/p/a.jpg");
  }
  Info dim;
  dim.type = kObjAngleDim;
  dim.subtype = 0;
  WriteInfo(in, 11100, dim);
  WritePoints(in, 11100, {Pt{}, Pt{}});
  in.be16(5);  // no text object
  in.be32(1); in.f32(2); in.f32(3);
  sInputVersion = 11100;
  SetInputBuffer(in.b.data(), in.size());
  ReadIDScope ids;
  Objex* a = ReadAnObject(doc.first, 1);
  Objex* b = ReadAnObject(doc.first, 1);
  Objex* d = ReadAnObject(doc.first, 1);
  ASSERT_TRUE(a && b && d);
  EXPECT_STREQ(static_cast<char*>(a->sourceObject), "/p/a.jpg");
  EXPECT_EQ(b->textureID1, a->textureID1 + 1);
  EXPECT_EQ(b->firstPoint->textureID[1], b->textureID1);
  EXPECT_EQ(d->subtype, kObjAngleDim);
  EXPECT_EQ(GetMark(), in.size());
}

TEST_F(ObjectRecords, CustomTextureIsWrittenAsItsPath) {
  char path[] = "Bricks/red.jpg";
  int32_t id = NewCustomTextureID(path);
  Objex* o = doc.addObject(kObjClosedPoly, true, {{0, 0}, {5, 5}, {0, 5}});
  o->textureID2 = id;
  std::vector<uint8_t> out = WriteObject(o);
  std::string s(out.begin(), out.end());
  EXPECT_NE(s.find("Bricks/red.jpg"), std::string::npos);
  BeginOutputBuffer();
  WriteTextureID(id);
  std::vector<uint8_t> rec = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  ASSERT_EQ(rec.size(), 8u + strlen(path));
  EXPECT_EQ(rec[0], 0xFF);
  EXPECT_EQ(rec[7], strlen(path));
  SetInputBuffer(rec.data(), rec.size());
  EXPECT_EQ(ReadTextureID(), id);
}

TEST_F(ObjectRecords, PlantPathsAreReRooted) {
  char out[512];
  ConvertAbsolutePlantPathToRelative("C:\\Data\\customplants\\Maple\\m1.jpg", out, sizeof out);
  EXPECT_STREQ(out, "Maple/m1.jpg");
  ConvertAbsolutePlantPathToRelative("/x/CustomPlants/Maple/m1.jpg", out, sizeof out);
  EXPECT_STREQ(out, "Maple/m1.jpg");
  ConvertAbsolutePlantPathToRelative("/x/other/m1.jpg", out, sizeof out);
  EXPECT_STREQ(out, "/x/other/m1.jpg");
  ConvertAbsolutePlantPathToRelative("/x/CustomPlants", out, sizeof out);
  EXPECT_STREQ(out, "/x/CustomPlants");
  // Into a whole array, cut to its size.
  char shortOut[6];
  ConvertAbsolutePlantPathToRelative("D:\\CustomPlants\\Oak\\o.jpg", shortOut);
  EXPECT_STREQ(shortOut, "Oak/o");
  ConvertAbsolutePlantPathToRelative("/y/CustomPlants/Fir/f.png", out);
  EXPECT_STREQ(out, "Fir/f.png");
}

TEST(ObjectValidation, RejectsFarOrNanPointsAndSmallAreas) {
  TestDocument doc;
  Objex* floor = doc.addObject(kObjFloor, true, {{0, 0}, {1, 0}});
  EXPECT_TRUE(IsObjectPointValuesInvalid(floor));
  Objex* ok = doc.addObject(kObjFloor, true, {{1e6f, 0}, {1, 0}, {0, 1}});
  EXPECT_FALSE(IsObjectPointValuesInvalid(ok));
  ok->firstPoint->position[0] = 1.5e6f;
  EXPECT_TRUE(IsObjectPointValuesInvalid(ok));
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}});
  line->firstPoint->position[1] = std::nanf("");
  EXPECT_TRUE(IsObjectPointValuesInvalid(line));
  EXPECT_FALSE(IsObjectPointValuesInvalid(nullptr));
}

// ---- Round trips and damaged input ----

Objex* MakeChild(int16_t type, Objex* parent, void* typeData, int points) {
  RGBColor c{7, 8, 9};
  Objex* o = CreateObject(type, 1, 1, &c, &c, 1, 6, 0, nullptr, nullptr, nullptr, parent,
                          parent ? parent->layer : nullptr, typeData);
  for (int k = 0; k < points; ++k)
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 3.0f * k, 1, 5.0f + k, 0, 0, 0, 0, 0, 0, o), o);
  if (parent) {
    Objex** link = &parent->firstChild;
    Objex* last = nullptr;
    while (*link) { last = *link; link = &last->next; }
    *link = o;
    o->prev = last;
  }
  return o;
}

void AppendTo(Objex** head, Objex* o) {
  while (*head) head = &(*head)->next;
  *head = o;
}

// Fills the fields that every object record carries with distinct values.
void Decorate(Objex* o, int seed) {
  o->options[1] = uint16_t(seed);
  o->textureID = 100 + seed;
  o->textureID1 = -1500;  // a palette link
  o->textureID3 = 300 + seed;
  o->color2 = {uint16_t(seed), 2, 3};
  o->params[4] = 4.5f + seed;
  o->extraLong = seed;
  o->extraFlags = 2 * seed;
  o->planMask = 6;
  o->name = strdup(("obj" + std::to_string(seed)).c_str());
  int k = 0;
  for (Poinz* p = o->firstPoint; p; p = p->next, ++k) {
    p->textureID[1] = 2000 + k;
    p->segmentFloats[4] = float(k) + 0.5f;
    p->segmentFlags = k & 1 ? 32 : 0;
    p->textureScale[1] = {int16_t(50 + k), 75};
  }
}

class ObjectRoundTrip : public ObjectRecords {
 protected:
  // Writes `source` and reads it back onto the third floor, the whole entry used.
  Objex* WrittenAndReadBack(Objex* source) {
    const std::vector<uint8_t> bytes = WriteObject(source);
    SetInputBuffer(bytes.data() + 2, bytes.size() - 2);
    ReadIDScope ids;
    Objex* read = ReadAnObject(doc.third, 1);
    EXPECT_NE(read, nullptr);
    EXPECT_EQ(GetMark(), bytes.size() - 2);
    return read;
  }
  // Reads one object entry into a new document and writes what was read.
  static std::vector<uint8_t> ReadAndWriteBack(const std::vector<uint8_t>& in) {
    std::vector<uint8_t> out;
    TestDocument other;
    other.ds()->nextObjectID = 100000;
    other.ds()->nextPointID = 100000;
    sInputVersion = kVersionDesign11100;
    SetInputBuffer(in.data(), in.size());
    Objex* read = nullptr;
    {
      ReadIDScope ids;
      int16_t tag = 0;
      ReadShort(&tag);
      EXPECT_EQ(tag, kTagObject);
      read = ReadAnObject(other.first, 1);
    }
    EXPECT_NE(read, nullptr);
    EXPECT_EQ(GetMark(), in.size());
    if (read) out = WriteObject(read);
    for (Layer* l = other.model.itsLayers; l; l = l->next)
      while (l->firstObject) DeleteObj(l->firstObject);
    DeleteCustomTextureList();
    return out;
  }

  // Reading recomputes texture coordinates and ring lengths, so the record made by hand may
  // differ there; from the first read on every write gives the same bytes, of one length.
  void ExpectRoundTrip(Objex* o) {
    std::vector<uint8_t> first = WriteObject(o);
    std::vector<uint8_t> second = ReadAndWriteBack(first);
    std::vector<uint8_t> third = ReadAndWriteBack(second);
    EXPECT_EQ(first.size(), second.size()) << "type " << o->type;
    EXPECT_EQ(second, third) << "type " << o->type;
  }

  Objex* MakeWall() {
    Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {100, 0}, {100, 80}, {0, 80}});
    Decorate(wall, 1);
    char path[] = "Stone/wall.png";
    wall->textureID2 = NewCustomTextureID(path);
    auto* t = static_cast<TrimData*>(calloc(1, sizeof(TrimData)));
    t->trimCodeA = kTrimCustomProfile;
    t->profileA = MakeChild(kObjOpenPoly, nullptr, nullptr, 3);
    t->trimCodeB = 12;
    for (int k = 0; k < 5; ++k) {
      t->slotTextureIDs[k] = 700 + k;
      t->slotColors[k] = {uint16_t(k), 1, 1};
      t->slotTextureScales[k] = {int16_t(k), 9};
    }
    wall->firstPoint->trim1 = t;
    // A read wall has a trim record on every side.
    for (Poinz* p = wall->firstPoint; p; p = p->next) {
      if (!p->trim1) p->trim1 = calloc(1, sizeof(TrimData));
      if (!p->trim2) p->trim2 = calloc(1, sizeof(TrimData));
    }
    auto* d = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    d->subtype = kDoorCustom;
    d->anchorStart = wall->firstPoint->next;
    d->anchorEnd = wall->firstPoint->next->next;
    d->width = 36;
    d->frameSize() = std::bit_cast<float>(0x7FA0C0DEu);  // any four bytes, even a signalling NaN
    d->maskObject = MakeChild(kObjSkylightOutline, nullptr, nullptr, 2);
    d->definitionParts = MakeChild(kObjClosedPoly, nullptr, nullptr, 3);
    d->definitionLeafParts = MakeChild(kObjDoorLeafFace, nullptr, nullptr, 3);
    d->trimSlotA = {1, 2200, 10, 20, {4, 5, 6}, MakeChild(kObjOpenPoly, nullptr, nullptr, 2)};
    d->trimSlotB = {0, 2201, 11, 21, {7, 8, 9}, nullptr};
    Decorate(MakeChild(kObjDoor, wall, d, 4), 2);
    return wall;
  }
};

TEST_F(ObjectRoundTrip, EveryKindWritesBackTheSameBytes) {
  ExpectRoundTrip(MakeWall());

  Objex* line = doc.addObject(kObjLine, false, {{1, 2}, {3, 4}});
  Decorate(line, 3);
  ExpectRoundTrip(line);

  Objex* deck = doc.addObject(kObjDeck, true, {{0, 0}, {50, 0}, {50, 50}});
  Decorate(deck, 4);
  auto* steps = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  steps->anchorStart = deck->firstPoint;
  steps->anchorEnd = deck->firstPoint->next;
  steps->height = 12;
  MakeChild(kObjDeckSteps, deck, steps, 4);
  ExpectRoundTrip(deck);

  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {50, 0}, {50, 50}, {0, 50}});
  auto* sky = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  sky->ownerType = kObjSkylight;
  sky->subtype = kSkylightCustom;
  sky->floats[3] = 2.5f;
  sky->panelID = 42;
  sky->flags[1] = 1;
  AppendTo(&sky->outlineParts, MakeChild(kObjSkylightOutline, nullptr, nullptr, 2));
  AppendTo(&sky->separatorParts, MakeChild(kObjSeparatorFace, nullptr, nullptr, 3));
  AppendTo(&sky->customParts, MakeChild(kObjCustomAttachmentPart, nullptr, nullptr, 3));
  sky->slots[1] = {0, 1234, 3, 4, {1, 2, 3}, nullptr};
  MakeChild(kObjSkylight, roof, sky, 4);
  auto* dormer = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  dormer->ownerType = kObjDormerCutout;
  MakeChild(kObjDormerCutout, roof, dormer, 3);
  ExpectRoundTrip(roof);

  SetUserSharedRoot("/tmp/objrec-shared");
  Objex* plant = doc.addObject(kObjPlant, true, {{5, 5}});
  plant->subtype = kSubUserPlant;
  plant->typeData = strdup((LocalDomainCustomPlantPath() + "/Maple/m1.jpg").c_str());
  plant->textureID1 = plant->textureID2 = plant->textureID3 = 29999;
  plant->firstPoint->textureID[0] = plant->firstPoint->textureID[1] = 29999;
  ExpectRoundTrip(plant);
  SetUserSharedRoot("");

  Objex* photo = doc.addObject(kObjPhotoView, true, {{0, 0}, {5, 0}, {5, 5}});
  photo->sourceObject = strdup("/photos/a.jpg");
  photo->textureID1 = photo->textureID2 = photo->textureID3 = 29998;
  for (Poinz* p = photo->firstPoint; p; p = p->next) p->textureID[0] = p->textureID[1] = 29998;
  ExpectRoundTrip(photo);
}

// ---- Copies ----

// Clears the object and point IDs of a list, its children and its attachment parts: a copy
// takes fresh IDs and is otherwise the record of its source.
void ClearIDs(Objex* list) {
  for (Objex* o = list; o; o = o->next) {
    o->objectID = 0;
    for (Poinz* p = o->firstPoint; p; p = p->next) {
      p->pointID = 0;
      for (void* trim : {p->trim1, p->trim2})
        if (auto* t = static_cast<TrimData*>(trim); t && o->type == kObjWall) ClearIDs(t->profileA), ClearIDs(t->profileB);
    }
    ClearIDs(o->firstChild);
    if (!o->typeData) continue;
    if (o->type == kObjSkylight || o->type == kObjDormerCutout) {
      auto* r = static_cast<RoofAttachmentData*>(o->typeData);
      for (Objex* l : {r->outlineParts, r->separatorParts, r->leafParts, r->customParts, r->otherParts,
                       r->slots[0].profile, r->slots[1].profile})
        ClearIDs(l);
    } else if (DoorWindowData* d = AttachmentData(o)) {
      for (Objex* l : {d->maskObject, d->definitionParts, d->definitionLeafParts, d->extraParts1, d->extraParts2,
                       d->extraParts3, d->extraParts4, d->trimSlotA.profile, d->trimSlotB.profile})
        ClearIDs(l);
    }
  }
}

// Fills the fields Decorate leaves alone with values of their own.
void DecorateFully(Objex* o, int seed) {
  free(o->name);
  Decorate(o, seed);
  const auto s = int16_t(seed);
  o->options[0] = uint16_t(seed + 1), o->options[2] = uint16_t(seed + 2);
  o->levels = int16_t(seed + 3), o->capped = 1, o->direction = int16_t(seed + 4), o->auxShort = 2, o->auxFlag = 1;
  o->textureID2 = 210 + seed, o->textureID4 = 410 + seed;
  const auto c = uint16_t(seed);
  o->color1 = {c, 11, 12}, o->color3 = {c, 31, 32}, o->color4 = {c, 41, 42};
  o->textureScale1 = {s, 1}, o->textureScale2 = {s, 2}, o->textureScale3 = {s, 3};
  o->textureScale4 = {s, 4}, o->textureScale = {s, 5};
  o->textureRect = {1.5f, 2.5f, 3.5f, 4.5f}, o->textureRect2 = {5.5f, 6.5f, 7.5f, 8.5f};
  o->baseElevation = 17.25f + seed, o->plantAge = 3.5f, o->planMask = 2;
  for (int k = 0; k < 4; ++k) o->params[k] = 0.25f * (k + 1) + seed;
  int k = 0;
  for (Poinz* p = o->firstPoint; p; p = p->next, ++k) p->locked = k & 1;
}

// A copy made where its source lies writes the record of its source, children and
// attachment records included: nothing is lost or taken from the wrong field.
TEST_F(ObjectRoundTrip, CopiesWriteTheRecordsOfTheirSources) {
  std::vector<Objex*> sources;
  Objex* wall = MakeWall();
  DecorateFully(wall, 1);
  auto* door = static_cast<DoorWindowData*>(wall->firstChild->typeData);
  door->startDistance = 4, door->remainingLength = 5, door->height = 80, door->elevation = 6;
  door->flipHorizontal = 1, door->swingAngle() = 0.75f, door->flipVertical = 1;
  door->auxShort1 = 2, door->auxShort2 = 3;
  for (Objex** list : {&door->extraParts1, &door->extraParts2, &door->extraParts3, &door->extraParts4})
    AppendTo(list, MakeChild(kObjClosedPoly, nullptr, nullptr, 3));
  auto* window = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  window->subtype = kWindowRectangular;
  window->anchorStart = wall->firstPoint->next->next;
  window->anchorEnd = window->anchorStart->next;
  window->width = 24, window->height = 30, window->elevation = 36, window->flipVertical = 1;
  window->trimSlotB = {1, 2202, 12, 22, {1, 2, 3}, MakeChild(kObjOpenPoly, nullptr, nullptr, 2)};
  DecorateFully(MakeChild(kObjWindow, wall, window, 4), 5);
  sources.push_back(wall);

  Objex* deck = doc.addObject(kObjDeck, true, {{0, 0}, {50, 0}, {50, 50}});
  DecorateFully(deck, 6);
  auto* steps = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  steps->anchorStart = deck->firstPoint->next;
  steps->anchorEnd = steps->anchorStart->next;
  steps->height = 12, steps->width = 30, steps->startDistance = 7;
  MakeChild(kObjDeckSteps, deck, steps, 4);
  sources.push_back(deck);

  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {50, 0}, {50, 50}, {0, 50}});
  DecorateFully(roof, 7);
  for (const int16_t type : {kObjSkylight, kObjDormerCutout}) {
    auto* sky = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
    sky->ownerType = type;
    sky->subtype = type == kObjSkylight ? kSkylightCustom : 0;
    for (int k = 0; k < 4; ++k) sky->floats[k] = 1.5f + k;
    sky->panelID = 42 + type, sky->flags[0] = 1, sky->flags[1] = 0;
    AppendTo(&sky->outlineParts, MakeChild(kObjSkylightOutline, nullptr, nullptr, 2));
    AppendTo(&sky->leafParts, MakeChild(kObjClosedPoly, nullptr, nullptr, 3));
    AppendTo(&sky->otherParts, MakeChild(kObjCustomAttachmentPart, nullptr, nullptr, 3));
    sky->slots[0] = {1, 1233, 5, 6, {4, 5, 6}, MakeChild(kObjOpenPoly, nullptr, nullptr, 2)};
    sky->slots[1] = {0, 1234, 3, 4, {1, 2, 3}, nullptr};
    DecorateFully(MakeChild(type, roof, sky, 4), type);
  }
  sources.push_back(roof);

  Objex* text = doc.addObject(kObjText, true, {{5, 5}, {25, 15}});
  DecorateFully(text, 8);
  text->typeData = strdup("North wall");
  auto* font = static_cast<LOGFONT*>(calloc(1, sizeof(LOGFONT)));
  font->lfHeight = -14;
  font->lfWeight = 700;
  text->extraData = font;
  sources.push_back(text);

  Objex* group = doc.addObject(kObjGroup, false, {});
  DecorateFully(group, 9);
  DecorateFully(MakeChild(kObjLine, group, nullptr, 2), 10);
  DecorateFully(MakeChild(kObjClosedPoly, group, nullptr, 3), 11);
  sources.push_back(group);

  for (Objex* source : sources) {
    SCOPED_TRACE(testing::Message() << "type " << source->type);
    Objex* copy = DuplicateObject(source, nullptr, nullptr, FloatPoint{0, 0}, 1, kCmdDuplicate);
    ASSERT_NE(copy, nullptr);
    UpdateObjectBounds(source);
    ClearIDs(source);
    ClearIDs(copy);
    const std::vector<uint8_t> expected = WriteObject(source), written = WriteObject(copy);
    ASSERT_EQ(written.size(), expected.size());
    const auto diff = std::mismatch(written.begin(), written.end(), expected.begin());
    EXPECT_EQ(diff.first - written.begin(), std::ptrdiff_t(written.size())) << "first differing byte";
  }
}

TEST_F(ObjectRoundTrip, CustomDoorDefinitionsAreSortedByType) {
  Objex* wall = MakeWall();
  auto* d = static_cast<DoorWindowData*>(wall->firstChild->typeData);
  d->extraParts2 = MakeChild(kObjOpenPoly, nullptr, nullptr, 2);
  std::vector<uint8_t> bytes = WriteObject(wall);
  SetInputBuffer(bytes.data() + 2, bytes.size() - 2);
  Objex* read;
  {
    ReadIDScope ids;
    read = ReadAnObject(doc.second, 1);
  }
  ASSERT_NE(read, nullptr);
  auto* r = static_cast<DoorWindowData*>(read->firstChild->typeData);
  ASSERT_TRUE(r->maskObject && r->definitionLeafParts && r->definitionParts);
  EXPECT_EQ(r->maskObject->type, kObjSkylightOutline);
  EXPECT_EQ(r->definitionLeafParts->type, kObjDoorLeafFace);
  ASSERT_NE(r->definitionParts->next, nullptr);
  EXPECT_EQ(r->definitionParts->next->type, kObjOpenPoly);
  EXPECT_EQ(r->definitionParts->layer, nullptr);
  EXPECT_EQ(r->definitionParts->parent, read->firstChild);
  EXPECT_EQ(r->anchorStart, read->firstPoint->next);
  ASSERT_NE(r->trimSlotA.profile, nullptr);
  // The wall's point and object IDs are in use, so the copy gets fresh ones.
  EXPECT_NE(read->objectID, wall->objectID);
  EXPECT_NE(read->firstPoint->pointID, wall->firstPoint->pointID);
}

TEST_F(ObjectRoundTrip, FlaggedSlotWithoutProfileIsWrittenUnflagged) {
  Objex* wall = MakeWall();
  auto* d = static_cast<DoorWindowData*>(wall->firstChild->typeData);
  DeleteObj(d->trimSlotA.profile);
  d->trimSlotA.profile = nullptr;
  static_cast<TrimData*>(wall->firstPoint->trim1)->trimCodeB = kTrimCustomProfile;
  std::vector<uint8_t> bytes = WriteObject(wall);
  SetInputBuffer(bytes.data() + 2, bytes.size() - 2);
  ReadIDScope ids;
  Objex* read = ReadAnObject(doc.second, 1);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(GetMark(), bytes.size() - 2);
  EXPECT_EQ(static_cast<DoorWindowData*>(read->firstChild->typeData)->trimSlotA.flag, 0);
  EXPECT_EQ(static_cast<TrimData*>(read->firstPoint->trim1)->trimCodeB, 0);
}

// The bytes of a wall with every kind of trim and slot record (custom profiles, texture paths,
// the -1 that names no texture, a custom door's definitions) stay those the writer has always
// written: a fingerprint of the record taken before its fields were gathered into one append.
TEST_F(ObjectRoundTrip, WallWithTrimsAndSlotsWritesTheBytesItAlwaysWrote) {
  Objex* wall = MakeWall();
  char slotPath[] = "Trim/oak.png";
  char trimPath[] = "Trim/slate.png";
  auto* d = static_cast<DoorWindowData*>(wall->firstChild->typeData);
  d->trimSlotB.textureID = NewCustomTextureID(slotPath);
  auto* t = static_cast<TrimData*>(wall->firstPoint->trim1);
  t->slotTextureIDs[1] = NewCustomTextureID(trimPath);
  t->slotTextureIDs[3] = -1;
  static_cast<TrimData*>(wall->firstPoint->next->trim2)->trimCodeB = kTrimCustomProfile;  // no profile
  const std::vector<uint8_t> bytes = WriteObject(wall);
  uint64_t fnv = 14695981039346656037ull;
  for (uint8_t b : bytes) fnv = (fnv ^ b) * 1099511628211ull;
  EXPECT_EQ(bytes.size(), 5238u);
  EXPECT_EQ(fnv, 3789583208249080850ull) << std::hex << fnv;

  // A trim block on its own, as the wall writes it.
  BeginOutputBuffer();
  WriteTrimData(t);
  WriteTrimData(nullptr);
  const std::vector<uint8_t> block = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  fnv = 14695981039346656037ull;
  for (uint8_t b : block) fnv = (fnv ^ b) * 1099511628211ull;
  EXPECT_EQ(block.size(), 817u);
  EXPECT_EQ(fnv, 13339009948212066837ull) << std::hex << fnv;
}

TEST_F(ObjectRoundTrip, TopLevelGroupIsBracketed) {
  Objex* group = doc.addObject(kObjGroup, false, {});
  group->groupMarker = 123;
  MakeChild(kObjLine, group, nullptr, 2);
  MakeChild(kObjLine, group, nullptr, 2);
  std::vector<uint8_t> bytes = WriteObject(group);
  Objex* g = group;
  // The group's own record, then 202, two entries, 203.
  BeginOutputBuffer();
  WriteShort(kTagObject);
  WriteObjectInfo(g);
  WriteObjectPoints(g);
  WriteObjectData(g);
  size_t head = gStream.outDataBuffer.size();
  ReleaseOutputBuffer();
  ASSERT_GT(bytes.size(), head + 4);
  EXPECT_EQ(bytes[head], 0);
  EXPECT_EQ(bytes[head + 1], kTagGroupBegin);
  EXPECT_EQ(bytes[bytes.size() - 1], kTagGroupEnd);
  // The marker follows the type.
  EXPECT_EQ(bytes[7], 123);
}

// ---- Records decoded whole ----

// An object's record fields with links, owned data and IDs left out, as bytes to compare.
std::vector<uint8_t> RecordFields(const Objex* o) {
  Objex c{};
  memcpy(static_cast<void*>(&c), o, sizeof c);
  c.prev = c.next = c.parent = c.firstChild = c.symbol3D = c.lastChild = nullptr;
  c.firstPoint = nullptr;
  c.layer = nullptr;
  c.typeData = c.sourceObject = c.auxPointer = c.extraData = c.cocoaObject = nullptr;
  c.plantInfo = nullptr;
  c.name = nullptr;
  c.objectID = 0;
  std::vector<uint8_t> out(reinterpret_cast<const uint8_t*>(&c), reinterpret_cast<const uint8_t*>(&c + 1));
  for (const Poinz* p = o->firstPoint; p; p = p->next) {
    Poinz q{};
    memcpy(static_cast<void*>(&q), p, sizeof q);
    q.prev = q.next = nullptr;
    q.owner = nullptr;
    q.trim1 = q.trim2 = nullptr;
    q.pointID = 0;
    out.insert(out.end(), reinterpret_cast<const uint8_t*>(&q), reinterpret_cast<const uint8_t*>(&q + 1));
  }
  return out;
}

// Most records hold plain texture IDs, no name and no trim block, and are decoded in one run.
// The same record with one of those parts is decoded run by run: every other field must come
// out the same, and both must write back what was read.
TEST_F(ObjectRoundTrip, RecordsDecodedWholeReadAsRecordsDecodedRunByRun) {
  auto readBack = [&](Objex* source) { return WrittenAndReadBack(source); };
  for (int16_t type : {kObjClosedPoly, kObjGroup, kObjWall}) {
    SCOPED_TRACE(type);
    char path[] = "Tiles/blue.png";
    const int32_t custom = NewCustomTextureID(path);  // a round trip below drops the list
    const bool group = type == kObjGroup;
    auto make = [&] {
      Objex* o = group ? doc.addObject(kObjGroup, false, {})
                       : doc.addObject(type, true, {{0, 0}, {40, 0}, {40, 30}, {0, 30}});
      if (group) o->groupMarker = 117;
      Decorate(o, 6);
      free(o->name);
      o->name = nullptr;
      int k = 0;
      if (type != kObjWall)
        for (Poinz* p = o->firstPoint; p; p = p->next, ++k) p->trimWord1 = 10 + k, p->trimWord2 = 20 + k;
      return o;
    };
    Objex* plain = readBack(make());
    ASSERT_NE(plain, nullptr);
    const std::vector<uint8_t> fields = RecordFields(plain);

    // A name before the ID.
    Objex* named = make();
    named->name = strdup("Porch");
    Objex* read = readBack(named);
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(read->name, "Porch");
    EXPECT_EQ(RecordFields(read), fields);

    // A texture path in each slot of the object and on each side of each point.
    for (int slot = 0; slot < 5; ++slot) {
      int32_t Objex::*const slots[5] = {&Objex::textureID, &Objex::textureID1, &Objex::textureID2,
                                        &Objex::textureID3, &Objex::textureID4};
      Objex* o = make();
      const int32_t was = o->*slots[slot];
      o->*slots[slot] = custom;
      read = readBack(o);
      ASSERT_NE(read, nullptr);
      EXPECT_EQ(read->*slots[slot], custom) << slot;
      read->*slots[slot] = was;
      EXPECT_EQ(RecordFields(read), fields) << slot;
    }
    for (int k = 0; k < 4 && !group; ++k)
      for (int side = 0; side < 2; ++side) {
        Objex* o = make();
        Poinz* p = o->firstPoint;
        for (int i = 0; i < k; ++i) p = p->next;
        const int32_t was = p->textureID[side];
        p->textureID[side] = custom;
        read = readBack(o);
        ASSERT_NE(read, nullptr);
        Poinz* q = read->firstPoint;
        for (int i = 0; i < k; ++i) q = q->next;
        EXPECT_EQ(q->textureID[side], custom);
        q->textureID[side] = was;
        EXPECT_EQ(RecordFields(read), fields) << k << " " << side;
      }
    ExpectRoundTrip(plain);
    if (type != kObjWall) continue;
    // A trim block on one side of one point: the points after it are read as before.
    for (int side = 0; side < 2; ++side) {
      Objex* o = make();
      auto* t = static_cast<TrimData*>(calloc(1, sizeof(TrimData)));
      t->trimCodeA = kTrimCustomProfile;
      t->profileA = MakeChild(kObjOpenPoly, nullptr, nullptr, 3);
      (side == 0 ? o->firstPoint->next->trim1 : o->firstPoint->next->trim2) = t;
      read = readBack(o);
      ASSERT_NE(read, nullptr);
      Poinz* q = read->firstPoint->next;
      ASSERT_NE(side == 0 ? q->trim1 : q->trim2, nullptr);
      auto* other = static_cast<TrimData*>(side == 0 ? q->trim2 : q->trim1);
      ASSERT_NE(other, nullptr);  // a side written without a block reads as a zeroed record
      EXPECT_EQ(other->trimCodeA, 0);
      EXPECT_EQ(other->profileA, nullptr);
      EXPECT_EQ(RecordFields(read), fields) << side;
      ExpectRoundTrip(read);
    }
  }
}

// A trim slot naming its texture by path among slots named by number: every slot, and the
// record after the trim, is read as written.
TEST_F(ObjectRoundTrip, TrimSlotWithATexturePathAmongNumberedOnes) {
  char path[] = "Tiles/red.png";
  const int32_t custom = NewCustomTextureID(path);
  for (int slot = 0; slot < 5; ++slot) {
    SCOPED_TRACE(slot);
    Objex* wall = MakeWall();
    auto* t = static_cast<TrimData*>(wall->firstPoint->trim1);
    t->slotTextureIDs[slot] = custom;
    // The door's two trim slots, by path in turn.
    auto* door = static_cast<DoorWindowData*>(wall->firstChild->typeData);
    if (slot < 2) (slot == 0 ? door->trimSlotA : door->trimSlotB).textureID = custom;
    Objex* read = WrittenAndReadBack(wall);
    ASSERT_NE(read, nullptr);
    EXPECT_FALSE(StreamFailed());
    const auto* r = static_cast<const TrimData*>(read->firstPoint->trim1);
    ASSERT_NE(r, nullptr);
    for (int k = 0; k < 5; ++k) {
      EXPECT_EQ(r->slotTextureIDs[k], k == slot ? custom : 700 + k) << k;
      EXPECT_EQ(r->slotColors[k], (RGBColor{uint16_t(k), 1, 1})) << k;
      EXPECT_EQ(r->slotTextureScales[k].x, k) << k;
      EXPECT_EQ(r->slotTextureScales[k].y, 9) << k;
    }
    EXPECT_EQ(r->trimCodeB, 12);
    ASSERT_NE(read->firstChild, nullptr);  // the door after the points
    EXPECT_EQ(read->firstChild->type, kObjDoor);
    const auto* d = static_cast<const DoorWindowData*>(read->firstChild->typeData);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->trimSlotA.textureID, slot == 0 ? custom : 2200);
    EXPECT_EQ(d->trimSlotB.textureID, slot == 1 ? custom : 2201);
    EXPECT_EQ(d->trimSlotA.textureWidth, 10);
    EXPECT_EQ(d->trimSlotB.color, (RGBColor{7, 8, 9}));
    EXPECT_NE(d->trimSlotA.profile, nullptr);
    EXPECT_FLOAT_EQ(d->width, 36);
  }
}

// Trim blocks of every form on every side of a wall: most are taken whole (no profile, every
// slot by number), the others field by field. Each side reads back every field as written,
// and the points and the door after the blocks as before.
TEST_F(ObjectRoundTrip, TrimBlocksOfEveryFormReadBackAsWritten) {
  char path[] = "Tiles/green.png";
  const int32_t custom = NewCustomTextureID(path);
  struct Form {
    const char* name;
    bool profileA, profileB;
    int pathSlot;  // -1: every slot by number
  };
  const Form forms[] = {{"plain", false, false, -1},    {"profile on side B", false, true, -1},
                        {"profiles on both", true, true, -1}, {"path in the last slot", false, false, 4},
                        {"path in the first slot", false, false, 0}};
  for (const Form& form : forms) {
    SCOPED_TRACE(form.name);
    Objex* wall = MakeWall();
    int n = 0;
    for (Poinz* p = wall->firstPoint; p; p = p->next)
      for (void** side : {&p->trim1, &p->trim2}) {
        if (p == wall->firstPoint && side == &p->trim1) continue;  // MakeWall's own block
        auto* t = static_cast<TrimData*>(*side);
        ++n;
        t->trimCodeA = form.profileA ? kTrimCustomProfile : 30 + n;
        t->trimCodeB = form.profileB ? kTrimCustomProfile : -n;
        if (form.profileA) t->profileA = MakeChild(kObjOpenPoly, nullptr, nullptr, 2);
        if (form.profileB) t->profileB = MakeChild(kObjOpenPoly, nullptr, nullptr, 3);
        for (int k = 0; k < 5; ++k) {
          t->slotTextureIDs[k] = k == form.pathSlot ? custom : 900 + 10 * n + k;
          t->slotTextureScales[k] = {int16_t(-k - n), int16_t(300 + n)};
          t->slotColors[k] = {uint16_t(65535 - n), uint16_t(k), uint16_t(n * 7)};
        }
      }
    Objex* read = WrittenAndReadBack(wall);
    ASSERT_NE(read, nullptr);
    EXPECT_FALSE(StreamFailed());
    for (Poinz *p = wall->firstPoint, *q = read->firstPoint; p; p = p->next, q = q ? q->next : nullptr) {
      ASSERT_NE(q, nullptr);
      EXPECT_EQ(q->position[0], p->position[0]);
      for (int side = 0; side < 2; ++side) {
        const auto* w = static_cast<const TrimData*>(side == 0 ? p->trim1 : p->trim2);
        const auto* r = static_cast<const TrimData*>(side == 0 ? q->trim1 : q->trim2);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->trimCodeA, w->trimCodeA);
        EXPECT_EQ(r->trimCodeB, w->trimCodeB);
        EXPECT_EQ(r->profileA != nullptr, w->profileA != nullptr);
        EXPECT_EQ(r->profileB != nullptr, w->profileB != nullptr);
        for (int k = 0; k < 5; ++k) {
          EXPECT_EQ(r->slotTextureIDs[k], w->slotTextureIDs[k]) << k;
          EXPECT_EQ(r->slotTextureScales[k].x, w->slotTextureScales[k].x) << k;
          EXPECT_EQ(r->slotTextureScales[k].y, w->slotTextureScales[k].y) << k;
          EXPECT_EQ(r->slotColors[k], w->slotColors[k]) << k;
        }
      }
    }
    ASSERT_NE(read->firstChild, nullptr);
    EXPECT_EQ(read->firstChild->type, kObjDoor);
    ExpectRoundTrip(read);
  }
}

// A record that would be decoded whole, cut anywhere, is refused without reading past the cut.
TEST_F(ObjectRoundTrip, ARecordDecodedWholeCutAnywhereEndsCleanly) {
  Objex* o = doc.addObject(kObjClosedPoly, true, {{0, 0}, {40, 0}, {40, 30}});
  Decorate(o, 2);
  free(o->name);
  o->name = nullptr;
  std::vector<uint8_t> bytes = WriteObject(o);
  bytes.erase(bytes.begin(), bytes.begin() + 2);
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(cut));
    SetInputBuffer(prefix.data(), prefix.size());
    ReadIDScope ids;
    EXPECT_EQ(ReadAnObject(doc.second, 1), nullptr) << cut;
    EXPECT_LE(GetMark(), cut);
    EXPECT_EQ(doc.second->firstObject, nullptr);
  }
}

// Reading any prefix, or a record whose counts are damaged, ends without leaks or over-reads.
TEST_F(ObjectRoundTrip, DamagedInputEndsCleanly) {
  Objex* wall = MakeWall();
  std::vector<uint8_t> bytes = WriteObject(wall);
  bytes.erase(bytes.begin(), bytes.begin() + 2);
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    SetInputBuffer(bytes.data(), cut);
    ReadIDScope ids;
    Objex* o = ReadAnObject(doc.second, 1);
    EXPECT_EQ(o, nullptr) << cut;
    EXPECT_EQ(doc.second->firstObject, nullptr);
    DeleteObj(o);
  }
  BeginOutputBuffer();
  WriteObjectInfo(wall);
  size_t infoLength = gStream.outDataBuffer.size();
  WriteObjectPoints(wall);
  size_t pointsEnd = gStream.outDataBuffer.size();
  ReleaseOutputBuffer();
  const size_t nameLength = strlen(wall->name);
  const size_t countAt[] = {infoLength, pointsEnd, infoLength - 4 - nameLength - 4};
  for (size_t at : countAt) {
    for (int64_t v : {int64_t(0), int64_t(-1), int64_t(0x7FFFFFFF)}) {
      Bytes damaged{bytes};
      damaged.patch32(at, v);
      SetInputBuffer(damaged.b.data(), damaged.size());
      ReadIDScope ids;
      Objex* o = ReadAnObject(doc.second, 1);
      DeleteObj(o);
      EXPECT_LE(GetMark(), damaged.size());
    }
  }
}

}  // namespace

namespace {

// Every version's point record holding a texture path on one side is read field by field;
// a plain record is decoded whole. Apart from that texture, both come out the same, and the
// point after the path is read as if the path were not there.
TEST_F(ObjectRecords, EveryVersionReadsPointsWithATexturePathAsItReadsPlainOnes) {
  const int versions[] = {10000, 10300, 10350, 10351, 10400, 10410, 10450, 10500,
                          10700, 10701, 10750, 10800, 10900, 11000, 11100};
  constexpr size_t kTextureAt = 53;  // after the head: type, three flags, nine floats
  for (int v : versions) {
    Bytes head;
    WriteInfo(head, v, Info{});
    std::vector<Pt> pts = Square(600);
    for (size_t k = 0; k < pts.size(); ++k) pts[k].flags = 0x10 + int(k), pts[k].tex1 = 2200 + int(k);
    Bytes plain = head;
    WritePoints(plain, v, pts);
    Objex* expected = Read(plain, v);
    ASSERT_NE(expected, nullptr) << v;
    ASSERT_EQ(GetMark(), plain.size()) << v;
    if (v < 10450) {  // the textured side turns white, the other keeps its colour
      EXPECT_EQ(expected->firstPoint->color[0], (RGBColor{65535, 65535, 65535})) << v;
      EXPECT_EQ(expected->firstPoint->color[1], (RGBColor{0x1234, 0x1235, 0x1236})) << v;
    }
    const std::vector<uint8_t> fields = RecordFields(expected);
    for (int side = 0; side < 2; ++side) {
      SCOPED_TRACE(testing::Message() << "version " << v << ", side " << side);
      // The second point with "-1" and a path in place of its texture on this side.
      Bytes points;
      WritePoints(points, v, pts);
      Bytes one;
      WritePoint(one, v, pts[0]);
      const size_t at = 4 + one.size() + kTextureAt + 4 * size_t(side);
      for (size_t i = 0; i < 4; ++i) points.b[at + i] = 0xFF;
      Bytes path;
      path.str("Tiles/slate.png");
      points.b.insert(points.b.begin() + long(at + 4), path.b.begin(), path.b.end());
      Bytes custom = head;
      custom.b.insert(custom.b.end(), points.b.begin(), points.b.end());
      Objex* read = Read(custom, v);
      ASSERT_NE(read, nullptr);
      EXPECT_EQ(GetMark(), custom.size());
      EXPECT_FALSE(StreamFailed());
      Poinz* second = read->firstPoint->next;
      ASSERT_NE(second, nullptr);
      EXPECT_NE(second->textureID[side], side == 0 ? 2201 : 0);
      second->textureID[side] = side == 0 ? 2201 : 0;
      // Before 10450 a textured side is drawn in white whatever colour it held.
      if (v < 10450) {
        EXPECT_EQ(second->color[side], (RGBColor{65535, 65535, 65535}));
        second->color[side] = expected->firstPoint->next->color[side];
      }
      EXPECT_EQ(RecordFields(read), fields);
    }
  }
}

}  // namespace
