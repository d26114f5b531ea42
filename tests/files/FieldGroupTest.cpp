// Groups of fixed fields: decoded with one bounds check, written with one append, and the
// ID sets the reader checks stored IDs against.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "files/ByteStream.h"
#include "files/ObjectRecords.h"

namespace {

using Bytes = std::vector<uint8_t>;

class FieldGroupTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetByteStream(); }
  void TearDown() override { ResetByteStream(); }
};

TEST_F(FieldGroupTest, AGroupDecodesAndWritesAsTheSingleFieldsDo) {
  BeginOutputBuffer();
  WriteShort(-12345);
  WriteUShort(54321);
  WriteLong(-123456789);
  WriteULong(4000000000u);
  WriteFloat(-2.75f);
  WriteStdUShort(54321);
  WriteStdULong(4000000000u);
  WriteStdFloat(1e-3f);
  const uint8_t b = 7;
  WriteSome(&b, 1);
  const Bytes single = gStream.outDataBuffer;

  BeginOutputBuffer();
  {
    FieldWriter w;
    w.Short(-12345);
    w.UShort(54321);
    w.Long(-123456789);
    w.ULong(4000000000u);
    w.Float(-2.75f);
    const uint8_t le[2] = {uint8_t(54321 & 0xFF), uint8_t(54321 >> 8)};
    w.Byte(le[0]);
    w.Byte(le[1]);
    w.StdULong(4000000000u);
    w.StdFloat(1e-3f);
    w.Byte(7);
  }
  EXPECT_EQ(gStream.outDataBuffer, single);

  SetInputBuffer(single.data(), single.size());
  FieldGroup f(static_cast<uint32_t>(single.size()));
  ASSERT_TRUE(f.ok());
  EXPECT_EQ(f.Short(), -12345);
  EXPECT_EQ(f.UShort(), 54321);
  EXPECT_EQ(f.Long(), -123456789);
  EXPECT_EQ(f.ULong(), 4000000000u);
  EXPECT_EQ(f.Float(), -2.75f);
  EXPECT_EQ(f.StdUShort(), 54321);
  EXPECT_EQ(f.StdULong(), 4000000000u);
  EXPECT_EQ(f.StdFloat(), 1e-3f);
  EXPECT_EQ(f.Byte(), 7);
  EXPECT_EQ(f.Left(), 0u);
  EXPECT_EQ(GetMark(), single.size());
  EXPECT_FALSE(StreamFailed());

  // Bytes taken whole decode the same.
  SetInputBuffer(single.data(), single.size());
  TakenBytes t(TakeSome(static_cast<uint32_t>(single.size())));
  EXPECT_EQ(t.Short(), -12345);
  EXPECT_EQ(t.UShort(), 54321);
  EXPECT_EQ(t.Long(), -123456789);
  EXPECT_EQ(t.ULong(), 4000000000u);
  EXPECT_EQ(t.Float(), -2.75f);
  EXPECT_EQ(t.StdUShort(), 54321);
  EXPECT_EQ(t.StdULong(), 4000000000u);
  EXPECT_EQ(t.StdFloat(), 1e-3f);
  EXPECT_EQ(t.Byte(), 7);
}

TEST_F(FieldGroupTest, APeekLooksAheadWithoutTakingOrFailing) {
  const Bytes in = {0x12, 0x34, 0x56, 0x78, 0x9A};
  SetInputBuffer(in.data(), in.size());
  const uint8_t* ahead = PeekSome(5);
  ASSERT_NE(ahead, nullptr);
  EXPECT_EQ(ahead[4], 0x9A);
  EXPECT_EQ(PeekSome(6), nullptr);
  EXPECT_EQ(GetMark(), 0u);
  EXPECT_FALSE(StreamFailed());
  {
    FieldGroup f(4);
    EXPECT_EQ(f.ULong(), 0x12345678u);
  }
  ASSERT_NE(PeekSome(1), nullptr);
  EXPECT_EQ(PeekSome(2), nullptr);
  EXPECT_FALSE(StreamFailed());
  {
    FieldGroup past(2);
  }
  EXPECT_EQ(PeekSome(1), nullptr);  // nothing is seen after a short read

  BeginScrapWrite();
  WriteLong(7);
  EndScrap();
  BeginScrapRead();
  ASSERT_NE(PeekSome(4), nullptr);
  EXPECT_EQ(PeekSome(5), nullptr);
  EXPECT_EQ(TakenBytes(PeekSome(4)).Long(), 7);
  EXPECT_EQ(gStream.scrapIndex, 0u);
  EndScrap();
  FreeScrap();
}

TEST_F(FieldGroupTest, AShortGroupReadsZeroesFailsTheStreamAndKeepsThePosition) {
  const Bytes in = {0x00, 0x01, 0xFF, 0xFF, 0xFF};
  SetInputBuffer(in.data(), in.size());
  {
    FieldGroup first(2);
    EXPECT_EQ(first.Short(), 1);
  }
  FieldGroup f(4 + 4);  // only three bytes are left
  EXPECT_FALSE(f.ok());
  EXPECT_EQ(f.Long(), 0);
  EXPECT_EQ(f.Long(), 0);
  EXPECT_EQ(f.Long(), 0);  // past the group: still zero, never past the buffer
  EXPECT_TRUE(StreamFailed());
  EXPECT_EQ(GetMark(), 2u);
  FieldGroup after(1);  // every read after a short one fails too
  EXPECT_FALSE(after.ok());
  EXPECT_EQ(after.Byte(), 0);
}

TEST_F(FieldGroupTest, AGroupLongerThanItsLimitFailsAndReadsNothing) {
  const Bytes in(1000, 0xAB);
  SetInputBuffer(in.data(), in.size());
  FieldGroup f(FieldGroup::kMaxBytes + 1);
  EXPECT_FALSE(f.ok());
  EXPECT_TRUE(StreamFailed());
  EXPECT_EQ(f.ULong(), 0u);
  EXPECT_EQ(GetMark(), 0u);
}

TEST_F(FieldGroupTest, GroupsWorkOnTheScrap) {
  BeginScrapWrite();
  {
    FieldWriter w;
    for (int i = 0; i < 300; ++i) w.Long(i);  // more than the writer holds at once
  }
  EXPECT_FALSE(gStream.writeError);
  EXPECT_EQ(gStream.scrapIndex, 1200u);
  EndScrap();
  BeginScrapRead();
  for (int i = 0; i < 300; i += 50) {
    FieldGroup f(200);
    ASSERT_TRUE(f.ok());
    for (int k = 0; k < 50; ++k) ASSERT_EQ(f.Long(), i + k);
  }
  FieldGroup past(1);
  EXPECT_FALSE(past.ok());
  EndScrap();
  FreeScrap();
}

TEST(ReadIDSet, HoldsIDsNearAndFarFromZero) {
  ReadIDSet ids;
  for (uint32_t id : {0u, 1u, 63u, 64u, 100000u, (1u << 24) - 1, 1u << 24, 0xFFFFFFFFu}) {
    EXPECT_FALSE(ids.count(id)) << id;
    ids.insert(id);
    EXPECT_TRUE(ids.count(id)) << id;
  }
  EXPECT_FALSE(ids.count(2));
  EXPECT_FALSE(ids.count(99999));
  EXPECT_FALSE(ids.count((1u << 24) + 1));
  EXPECT_FALSE(ids.count(0xFFFFFFFEu));
}

// The kept words start where the first ID lies and grow either way: IDs inserted from high
// down to zero, and erased again, answer as a plain set does.
TEST(ReadIDSet, GrowsBelowAndAboveTheFirstID) {
  ReadIDSet ids;
  std::set<uint32_t> plain;
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  const uint32_t starts[] = {5000000u, 70000u, 640u, 0u, (1u << 24) - 3};
  for (uint32_t start : starts)
    for (int k = 0; k < 300; ++k) {
      const uint32_t id = start + next() % 5000;
      ids.insert(id);
      plain.insert(id);
      if (k % 7 == 0) {
        ids.erase(id);
        plain.erase(id);
      }
    }
  for (uint32_t start : starts)
    for (uint32_t id = start >= 100 ? start - 100 : 0; id < start + 5100; ++id)
      ASSERT_EQ(ids.count(id), plain.count(id) != 0) << id;
}

}  // namespace
