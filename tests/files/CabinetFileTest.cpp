// Cabinet state records against bytes laid down here, cabinet files written and read back,
// the elevation taken in insert mode and the lowering of the parts read.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "files/FileTestSupport.h"
#include "files/ByteStream.h"
#include "files/CabinetFile.h"
#include "files/DesignFile.h"
#include "files/ObjectRecords.h"
#include "files/StreamState.h"
#include "model/CabinetState.h"
#include "model/HitTest.h"
#include "model/PlanarTransforms.h"
#include "model/Selection.h"
#include "platform/Alerts.h"

namespace fs = std::filesystem;

namespace {



float LEFloat(const Bytes& b, size_t at) {
  uint32_t u = uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
  float f;
  memcpy(&f, &u, 4);
  return f;
}

uint32_t BE32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// Test-only encoder of the stored state: little-endian members, a zero after each flag.
struct StateBytes {
  Bytes b;
  void le(uint32_t v, int n) { for (int i = 0; i < n; ++i) b.push_back(uint8_t(v >> (8 * i))); }
  void f(float v) { uint32_t u; memcpy(&u, &v, 4); le(u, 4); }
  void fs(const float* v, int n) { for (int i = 0; i < n; ++i) f(v[i]); }
  void flag(uint8_t v) { b.push_back(v); b.push_back(0); }
};

Bytes Encode(const CabinetState& s) {
  StateBytes o;
  o.f(s.angle);
  o.le(uint32_t(s.value2), 4);
  o.fs(s.values3, 15);
  o.flag(s.flag18);
  o.fs(s.values19, 3);
  o.le(uint32_t(s.value22), 4);
  o.fs(s.values23, 4);
  o.flag(s.flag27);
  o.fs(s.values28, 2);
  o.le(uint32_t(s.value30), 4);
  o.fs(s.values31, 6);
  o.le(uint32_t(s.value37), 4);
  o.f(s.value38);
  o.le(uint16_t(s.value39), 2);
  o.f(s.value40);
  o.f(s.elevation);
  return o.b;
}

// A state whose every member holds its own value; the bytes between members hold 0xFF.
CabinetState* DistinctState() {
  auto* s = static_cast<CabinetState*>(malloc(sizeof(CabinetState)));
  memset(s, 0xFF, sizeof *s);
  s->angle = 1.5f;
  s->value2 = -2;
  for (int i = 0; i < 15; ++i) s->values3[i] = 3.25f + i;
  s->flag18 = 0xAB;
  for (int i = 0; i < 3; ++i) s->values19[i] = 19.5f + i;
  s->value22 = 0x01020304;
  for (int i = 0; i < 4; ++i) s->values23[i] = 23.5f + i;
  s->flag27 = 0xCD;
  for (int i = 0; i < 2; ++i) s->values28[i] = 28.5f + i;
  s->value30 = -30;
  for (int i = 0; i < 6; ++i) s->values31[i] = 31.5f + i;
  s->value37 = 37;
  s->value38 = 38.5f;
  s->value39 = -39;
  s->value40 = 40.5f;
  s->elevation = 41.5f;
  return s;
}

void ExpectSameMembers(const CabinetState& a, const CabinetState& b, bool sameElevation = true) {
  EXPECT_EQ(Encode(a).size(), kCabinetStateLength);
  Bytes x = Encode(a), y = Encode(b);
  if (!sameElevation) x.resize(154), y.resize(154);
  EXPECT_EQ(x, y);
}

// A part of a cabinet at `elevation` whose four corners stand at height y.
Objex* CabinetPart(Objex* group, float x0, float y, float elevation, int16_t type = kObjCabinet) {
  RGBColor c{1, 2, 3};
  Objex* o = CreateObject(type, 1, 1, &c, &c, 1, 6, 0, nullptr, nullptr, nullptr, group, group->layer, nullptr);
  const float xs[4] = {0, 24, 24, 0}, zs[4] = {0, 0, 24, 24};
  for (int k = 0; k < 4; ++k)
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x0 + xs[k], y, zs[k], 0, 0, 0, 0, 0, 0, o), o);
  o->baseElevation = elevation;
  Objex** link = &group->firstChild;
  Objex* last = nullptr;
  while (*link) last = *link, link = &last->next;
  *link = o;
  o->prev = last;
  return o;
}

// A cabinet group on the current layer of `doc`, elevation 30, with two parts.
Objex* CabinetGroup(TestDocument& doc, float stateElevation = 5) {
  Objex* group = doc.addObject(kObjGroup, false, {});
  group->subtype = kSubCabinet;
  group->baseElevation = 30;
  CabinetState* state = DistinctState();
  state->elevation = stateElevation;
  group->typeData = state;
  CabinetPart(group, 0, 50, 24);
  CabinetPart(group, 30, 60, 24, kObjClosedPoly);  // any part is read as a cabinet part
  return group;
}


class CabinetFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetByteStream();
    gOpenSymbol = 0;
    dir = fs::temp_directory_path() / ("casa-cabinet-" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    ResetByteStream();
    gOpenSymbol = 0;
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string File(const char* name) const { return (dir / name).string(); }
  fs::path dir;
};

TEST_F(CabinetFile, StateIsTheLongAnd158BytesWithZeroPads) {
  TestDocument doc;
  CabinetState* s = DistinctState();
  BeginOutputBuffer();
  DoWriteCabinetState(s);
  DoWriteCabinetState(nullptr);
  const Bytes out = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  ASSERT_EQ(out.size(), 4u + 158u);
  EXPECT_EQ(BE32(out, 0), 164u);
  EXPECT_EQ(out[4 + 68], 0xAB);
  EXPECT_EQ(out[4 + 69], 0);
  EXPECT_EQ(out[4 + 102], 0xCD);
  EXPECT_EQ(out[4 + 103], 0);
  EXPECT_FLOAT_EQ(LEFloat(out, 4 + 154), 41.5f);
  EXPECT_EQ(Bytes(out.begin() + 4, out.end()), Encode(*s));

  // Read back as it was; in insert mode the elevation is the document's.
  SetInputBuffer(out.data(), out.size());
  CabinetState* back = DoReadCabinetState();
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(GetMark(), out.size());
  ExpectSameMembers(*back, *s);
  free(back);
  doc.ds()->baseElevation = 12;
  gOpenSymbol = 1;
  SetInputBuffer(out.data(), out.size());
  back = DoReadCabinetState();
  gOpenSymbol = 0;
  ASSERT_NE(back, nullptr);
  EXPECT_FLOAT_EQ(back->elevation, 12);
  ExpectSameMembers(*back, *s, false);
  free(back);
  free(s);
}

TEST_F(CabinetFile, GroupElevationGoesIntoTheLastMember) {
  TestDocument doc;
  Objex* group = CabinetGroup(doc);
  // In the object stream of a design.
  BeginOutputBuffer();
  WriteAnObject(group);
  const Bytes stream = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  const uint8_t bracket[] = {0x00, 0xCE, 0x00, 0x00, 0x00, 0xA4};
  auto at = std::search(stream.begin(), stream.end(), std::begin(bracket), std::end(bracket));
  ASSERT_NE(at, stream.end());
  const size_t state = size_t(at - stream.begin()) + 6;
  EXPECT_FLOAT_EQ(LEFloat(stream, state + 154), 30);
  EXPECT_EQ(stream[stream.size() - 1], 0xCF);  // 207 closes the bracket

  // In a cabinet file: header 11000, the state, the parts, then the palettes.
  SelectObj(group, 1, 0);
  const std::string path = File("c.cab");
  ASSERT_EQ(CabinetFileWrite(path.c_str()), 1);
  const Bytes file = ReadBytes(path);
  ASSERT_GT(file.size(), 170u);
  EXPECT_EQ(BE32(file, 0), 11000u);
  EXPECT_EQ(file[5], 2);
  EXPECT_EQ(BE32(file, 6), 164u);
  EXPECT_FLOAT_EQ(LEFloat(file, 10 + 154), 30);
  EXPECT_FLOAT_EQ(LEFloat(file, 10), 1.5f);
  EXPECT_EQ(file[168], 0x00);
  EXPECT_EQ(file[169], 0xC8);  // the first part's tag 200

  // Without its state a cabinet group is bracketed as a plain group, which reads back.
  free(group->typeData);
  group->typeData = nullptr;
  BeginOutputBuffer();
  WriteAnObject(group);
  WriteShort(kTagObjectsEnd);
  const Bytes plain = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  EXPECT_EQ(std::search(plain.begin(), plain.end(), std::begin(bracket), std::begin(bracket) + 2), plain.end());
  EXPECT_EQ(plain[plain.size() - 3], 0xCB);  // 203, then 400
  TestDocument other;
  sInputVersion = kVersionDesign11100;
  SetInputBuffer(plain.data(), plain.size());
  gOpenSymbol = 1;
  EXPECT_TRUE(InsertObjectsFromStream());
  gOpenSymbol = 0;
  ASSERT_NE(other.first->firstObject, nullptr);
  EXPECT_NE(other.first->firstObject->firstChild, nullptr);
  EXPECT_EQ(other.first->firstObject->next, nullptr);
}

TEST_F(CabinetFile, ReadingInsertsLoweredPartsAndTakesTheDocumentElevation) {
  const std::string path = File("in.cab");
  {
    TestDocument doc;
    SelectObj(CabinetGroup(doc), 1, 0);
    ASSERT_EQ(CabinetFileWrite(path.c_str()), 1);
  }
  TestDocument doc;
  doc.ds()->baseElevation = 12;
  // A part already in the design, selected, stays where it is.
  Objex* existing = doc.addObject(kObjCabinet, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  existing->baseElevation = 10;
  existing->firstPoint->position[1] = 40;
  SelectObj(existing, 1, 0);
  CabinetState* state = reinterpret_cast<CabinetState*>(1);
  ASSERT_EQ(CabinetFileRead(path.c_str(), &state), 1);
  ASSERT_NE(state, nullptr);
  EXPECT_FLOAT_EQ(state->elevation, 30);  // the state is read before the insert begins
  EXPECT_FLOAT_EQ(state->angle, 1.5f);
  free(state);

  ASSERT_EQ(CountObjects(doc.first), 3u);
  EXPECT_FLOAT_EQ(existing->baseElevation, 10);
  EXPECT_FLOAT_EQ(existing->firstPoint->position[1], 40);
  const float lowered = ConvertWorldToScreen(24, doc.ds(), 0);
  ASSERT_GT(lowered, 0);
  const float heights[2] = {50, 60};
  int k = 0;
  for (Objex* o = existing->next; o; o = o->next, ++k) {
    EXPECT_EQ(o->type, kObjCabinet);
    EXPECT_TRUE(IsObjectSelected(o));
    EXPECT_FLOAT_EQ(o->baseElevation, 0);
    for (Poinz* p = o->firstPoint; p; p = p->next) EXPECT_FLOAT_EQ(p->position[1], heights[k] - lowered);
  }
  EXPECT_EQ(k, 2);
  EXPECT_MODEL_SOUND();
}

// A cabinet group inserted from an object stream (a drop or a paste) stands at the
// document's elevation, its state too.
TEST_F(CabinetFile, InsertedGroupTakesTheDocumentElevation) {
  Bytes stream;
  {
    TestDocument doc;
    Objex* group = CabinetGroup(doc);
    BeginOutputBuffer();
    WriteAnObject(group);
    WriteShort(kTagObjectsEnd);
    stream = gStream.outDataBuffer;
    ReleaseOutputBuffer();
  }
  TestDocument doc;
  doc.ds()->baseElevation = 12;
  sInputVersion = kVersionDesign11100;
  SetInputBuffer(stream.data(), stream.size());
  gOpenSymbol = 1;
  ASSERT_TRUE(InsertObjectsFromStream());
  gOpenSymbol = 0;
  Objex* group = doc.first->firstObject;
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->subtype, kSubCabinet);
  EXPECT_FLOAT_EQ(group->baseElevation, 12);
  ASSERT_NE(group->typeData, nullptr);
  EXPECT_FLOAT_EQ(static_cast<CabinetState*>(group->typeData)->elevation, 12);
  EXPECT_FLOAT_EQ(static_cast<CabinetState*>(group->typeData)->values3[14], 17.25f);
  EXPECT_EQ(CountObjects(doc.first), 1u);
  EXPECT_MODEL_SOUND();
}

TEST_F(CabinetFile, OlderOrUnknownVersionsAreRefusedWithTheSheet) {
  const std::string path = File("old.cab");
  {
    TestDocument doc;
    SelectObj(CabinetGroup(doc), 1, 0);
    ASSERT_EQ(CabinetFileWrite(path.c_str()), 1);
  }
  Bytes b = ReadBytes(path);
  for (uint32_t v : {10400u, 11200u}) {
    b[0] = uint8_t(v >> 24), b[1] = uint8_t(v >> 16), b[2] = uint8_t(v >> 8), b[3] = uint8_t(v);
    WriteBytes(path, b);
    TestDocument doc;
    ScopedAlertRecorder alerts;
    CabinetState* state = reinterpret_cast<CabinetState*>(1);
    EXPECT_EQ(CabinetFileRead(path.c_str(), &state), 0) << v;
    EXPECT_EQ(state, nullptr);
    EXPECT_TRUE(alerts.sawMessage("Unable to load the cabinet file.")) << v;
    for (Layer* l = doc.model.itsLayers; l; l = l->next) EXPECT_EQ(l->firstObject, nullptr);
  }
  // A missing file fails silently.
  TestDocument doc;
  ScopedAlertRecorder alerts;
  CabinetState* state = nullptr;
  EXPECT_EQ(CabinetFileRead(File("missing.cab").c_str(), &state), 0);
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(CabinetFile, WithoutASelectedCabinetNothingIsWritten) {
  TestDocument doc;
  CabinetGroup(doc);                                     // not selected
  SelectObj(doc.addObject(kObjLine, false, {{0, 0}, {5, 5}}), 1, 0);  // selected, no cabinet
  ScopedAlertRecorder alerts;
  const std::string path = File("none.cab");
  EXPECT_EQ(CabinetFileWrite(path.c_str()), 0);
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(alerts.shown.empty());
}

}  // namespace
