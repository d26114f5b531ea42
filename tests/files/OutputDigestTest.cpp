// The digest the undo ring compares designs by: every counted byte and its place tell, marked
// bytes do not, and a write digests alike whatever pieces it goes out in.
#include "files/OutputDigest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <numeric>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

namespace {

struct Marked {
  uint64_t at;
  uint32_t n;
  OutputPart part;
};

// The digest of the bytes taken in pieces of `piece` bytes, the marks given before their piece.
OutputDigestValue DigestOf(std::vector<uint8_t> bytes, size_t piece, const std::vector<Marked>& marks = {}) {
  OutputDigest digest;
  size_t nextMark = 0;
  for (size_t at = 0; at < bytes.size(); at += piece) {
    const size_t n = std::min(piece, bytes.size() - at);
    for (; nextMark < marks.size() && marks[nextMark].at < at + n; ++nextMark)
      digest.mark(marks[nextMark].at, marks[nextMark].n, marks[nextMark].part);
    digest.take(bytes.data() + at, at, n);
  }
  return digest.value();
}

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(n);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

}  // namespace

TEST(OutputDigest, EveryCountedByteAndItsPlaceTell) {
  for (const size_t size : {size_t(1), size_t(63), size_t(64), size_t(65), size_t(64 * 17 + 5), size_t(100000)}) {
    SCOPED_TRACE(size);
    const std::vector<uint8_t> bytes = RandomBytes(size, static_cast<uint32_t>(size));
    const OutputDigestValue whole = DigestOf(bytes, bytes.size());
    for (const size_t at : {size_t(0), size / 2, size - 1}) {
      std::vector<uint8_t> changed = bytes;
      changed[at] ^= 1;
      EXPECT_NE(DigestOf(changed, changed.size()).counted, whole.counted) << at;
    }
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_NE(DigestOf(longer, longer.size()).counted, whole.counted);
  }
  // Two stripes of 64 bytes swapped, within one stir of the lanes and across stirs: records
  // of one size that change places are a change.
  const std::vector<uint8_t> bytes = RandomBytes(64 * 40, 7);
  const OutputDigestValue whole = DigestOf(bytes, bytes.size());
  for (const auto& [a, b] : {std::pair{0, 1}, std::pair{2, 9}, std::pair{3, 20}, std::pair{15, 16}}) {
    std::vector<uint8_t> swapped = bytes;
    std::swap_ranges(swapped.begin() + a * 64, swapped.begin() + a * 64 + 64, swapped.begin() + b * 64);
    EXPECT_NE(DigestOf(swapped, swapped.size()).counted, whole.counted) << a << " " << b;
  }
}

// Changes built to cancel out in a digest that sums keyed words with keys fixed in the program:
// two words of one lane whose keyed high halves agree, changed by +d and -d in their low halves,
// keep every sum and every product of halves. A digest keyed afresh in each run meets no such
// pair that was built beforehand.
TEST(OutputDigest, ChangesBuiltToCancelInKeyedSumsTell) {
  constexpr uint64_t kKey0 = 0xBE4BA423396CFEB8ULL, kTurn = 0x85EBCA77C2B2AE63ULL;
  const auto keyOf = [&](uint64_t stripe) { return kKey0 + (stripe + 1) * kTurn; };
  const auto put = [](std::vector<uint8_t>& bytes, size_t at, uint64_t v) {
    for (int j = 0; j < 8; ++j) bytes[at + j] = static_cast<uint8_t>(v >> (8 * j));
  };
  for (const auto& [s1, s2, d] : {std::tuple{uint64_t(2), uint64_t(5), uint64_t(7)},
                                  std::tuple{uint64_t(0), uint64_t(15), uint64_t(31)},
                                  std::tuple{uint64_t(16), uint64_t(17), uint64_t(1)}}) {
    SCOPED_TRACE(testing::Message() << s1 << " " << s2 << " " << d);
    std::vector<uint8_t> bytes = RandomBytes(64 * 40, static_cast<uint32_t>(s1 * 100 + s2));
    const uint64_t k1 = keyOf(s1 % 16), k2 = keyOf(s2 % 16);
    const uint64_t high = 0x453E9A00ULL;  // the keyed high half both words share
    const auto word = [&](uint64_t key, uint64_t keyedLow) { return ((high << 32) | keyedLow) ^ key; };
    put(bytes, s1 * 64, word(k1, 0x10000000));
    put(bytes, s2 * 64, word(k2, 0x20000000));
    const OutputDigestValue before = DigestOf(bytes, bytes.size());
    std::vector<uint8_t> changed = bytes;
    put(changed, s1 * 64, word(k1, 0x10000000 + d));
    put(changed, s2 * 64, word(k2, 0x20000000 - d));
    ASSERT_NE(changed, bytes);
    EXPECT_NE(DigestOf(changed, changed.size()).counted, before.counted);
    EXPECT_NE(DigestOf(changed, 1000).counted, before.counted);
  }
}

// Two coordinates nudged by a few units in their last place, in one run of the write: each
// change alone and both together tell.
TEST(OutputDigest, NudgedCoordinatesTell) {
  std::vector<uint8_t> bytes = RandomBytes(4096, 5);
  const auto putFloat = [](std::vector<uint8_t>& b, size_t at, float f) { memcpy(b.data() + at, &f, 4); };
  putFloat(bytes, 136, 3049.625f);
  putFloat(bytes, 520, -61.125f);
  const OutputDigestValue before = DigestOf(bytes, bytes.size());
  std::vector<uint8_t> first = bytes, second = bytes, both = bytes;
  putFloat(first, 136, 3049.63257f);
  putFloat(second, 520, -61.1250267f);
  putFloat(both, 136, 3049.63257f);
  putFloat(both, 520, -61.1250267f);
  EXPECT_NE(DigestOf(first, first.size()).counted, before.counted);
  EXPECT_NE(DigestOf(second, second.size()).counted, before.counted);
  EXPECT_NE(DigestOf(both, both.size()).counted, before.counted);
  EXPECT_NE(DigestOf(both, both.size()).counted, DigestOf(first, first.size()).counted);
}

// Digests of one write agree within the run, as the undo ring compares them.
TEST(OutputDigest, OneWriteDigestsAlikeWithinARun) {
  const std::vector<uint8_t> bytes = RandomBytes(3000, 9);
  EXPECT_EQ(DigestOf(bytes, bytes.size()), DigestOf(bytes, 7));
  EXPECT_NE(DigestOf(bytes, bytes.size()).counted, Digest128{});
}

TEST(OutputDigest, MarkedBytesAreLeftOutOrDigestedApart) {
  const std::vector<uint8_t> bytes = RandomBytes(5000, 11);
  const std::vector<Marked> marks = {{10, 4, OutputPart::kSetAside}, {700, 1, OutputPart::kSelection},
                                     {4096, 8, OutputPart::kSetAside}, {4990, 1, OutputPart::kSelection}};
  const OutputDigestValue base = DigestOf(bytes, bytes.size(), marks);
  std::vector<uint8_t> changed = bytes;
  changed[12] ^= 0xFF;
  changed[4100] ^= 0xFF;
  EXPECT_EQ(DigestOf(changed, changed.size(), marks), base);
  changed[700] ^= 1;
  const OutputDigestValue selected = DigestOf(changed, changed.size(), marks);
  EXPECT_EQ(selected.counted, base.counted);
  EXPECT_NE(selected.selection, base.selection);
  changed[14] ^= 1;  // just past the first mark
  EXPECT_NE(DigestOf(changed, changed.size(), marks).counted, base.counted);
}

TEST(OutputDigest, APieceAtATimeDigestsAsTheWholeWrite) {
  const std::vector<uint8_t> bytes = RandomBytes(300000, 3);
  const std::vector<Marked> marks = {{100, 3, OutputPart::kSetAside}, {65536 + 10, 2, OutputPart::kSelection},
                                     {200000, 16, OutputPart::kSetAside}};
  const OutputDigestValue whole = DigestOf(bytes, bytes.size(), marks);
  for (const size_t piece : {size_t(1) << 16, size_t(1000), size_t(63), size_t(4097)}) {
    // Pieces must not cut a mark: those used here start a piece or lie inside one.
    std::vector<Marked> fitting;
    for (const Marked& m : marks)
      if (m.at / piece == (m.at + m.n - 1) / piece) fitting.push_back(m);
    if (fitting.size() != marks.size()) continue;
    EXPECT_EQ(DigestOf(bytes, piece, marks), whole) << piece;
  }
}
