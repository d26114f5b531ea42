// The digest of a write's output.
#include "files/OutputDigest.h"

#include <cstring>

namespace {
constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr uint64_t kPrime3 = 0x165667B19E3779F9ULL;
constexpr uint64_t kPrime4 = 0x85EBCA77C2B2AE63ULL;
constexpr uint64_t kPrime5 = 0x27D4EB2F165667C5ULL;
constexpr uint32_t kStir = 0x9E3779B1U;
// The lanes' keys: each word is taken mixed with its own, so that no word's halves multiply
// to zero by being zero.
constexpr uint64_t kKeys[8] = {0xBE4BA423396CFEB8ULL, 0x1CAD21F72C81017CULL, 0xDB979083E96DD4DEULL,
                               0x1F67B3B7A4A44072ULL, 0x78E5C0CC4EE679CBULL, 0x2172FFCC7DD05A82ULL,
                               0x8E2443F7744608B8ULL, 0x4C263A81E69035E0ULL};
constexpr uint32_t kStripesPerStir = 16;

uint64_t Rotate(uint64_t v, int r) { return (v << r) | (v >> (64 - r)); }
uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  memcpy(&v, p, 8);
  return v;
}
uint64_t Round(uint64_t acc, uint64_t input) { return Rotate(acc + input * kPrime2, 31) * kPrime1; }
uint64_t Avalanche(uint64_t h) {
  h ^= h >> 33;
  h *= kPrime2;
  h ^= h >> 29;
  h *= kPrime3;
  return h ^ (h >> 32);
}
}  // namespace

OutputDigest::OutputDigest()
    : lanes_{kPrime3, kPrime1, kPrime2, kPrime4, kPrime5, kPrime3 ^ kPrime1, kPrime2 ^ kPrime4, kPrime5 ^ kPrime2},
      partial_{},
      selection_(kPrime5) {}

void OutputDigest::mark(uint64_t at, uint32_t n, OutputPart part) {
  if (n == 0 || part == OutputPart::kCounted) return;
  // Neighbouring fields of one part make one mark.
  if (!marks_.empty()) {
    Mark& last = marks_.back();
    if (last.part == part && last.at + last.n == at && last.n <= UINT32_MAX - n) {
      last.n += n;
      return;
    }
  }
  marks_.push_back({at, n, part});
}

namespace {
// One stripe into the lanes (held by the caller in locals: the bytes read could otherwise be
// taken to alias them, and every lane reloaded after every store). The keys turn with the
// stripe's place between stirs: sums alone would take two stripes swapped as the same bytes.
inline void Stripe(uint64_t* lanes, const uint8_t* p, uint32_t place) {
  uint64_t v[8];
  memcpy(v, p, sizeof v);
  const uint64_t turn = (place + 1) * kPrime4;
  for (int i = 0; i < 8; ++i) {
    const uint64_t w = v[i] ^ (kKeys[i] + turn);
    lanes[i ^ 1] += w;
    lanes[i] += (w & 0xFFFFFFFFULL) * (w >> 32);
  }
}
inline void Stir(uint64_t* lanes) {
  for (int i = 0; i < 8; ++i) lanes[i] = (lanes[i] ^ (lanes[i] >> 47) ^ kKeys[7 - i]) * kStir;
}

// `count` stripes from p; the stripes since the last stir afterwards. Built for the wider
// vector units too where the processor has them.
[[gnu::target_clones("avx2", "default")]] uint32_t Stripes(uint64_t* into, uint32_t stripes, const uint8_t* p,
                                                           size_t count) {
  uint64_t lanes[8];
  memcpy(lanes, into, sizeof lanes);
  for (; count > 0; --count, p += 64) {
    Stripe(lanes, p, stripes);
    if (++stripes == kStripesPerStir) {
      stripes = 0;
      Stir(lanes);
    }
  }
  memcpy(into, lanes, sizeof lanes);
  return stripes;
}
}  // namespace

void OutputDigest::stripe(const uint8_t* p) {
  Stripe(lanes_, p, stripes_);
  if (++stripes_ < kStripesPerStir) return;
  stripes_ = 0;
  Stir(lanes_);
}

void OutputDigest::update(const uint8_t* p, size_t n) {
  length_ += n;
  if (partialBytes_) {
    const size_t fill = n < 64 - partialBytes_ ? n : 64 - partialBytes_;
    memcpy(partial_ + partialBytes_, p, fill);
    partialBytes_ += fill;
    p += fill;
    n -= fill;
    if (partialBytes_ < 64) return;
    stripe(partial_);
    partialBytes_ = 0;
  }
  const size_t whole = n / 64 * 64;
  stripes_ = Stripes(lanes_, stripes_, p, whole / 64);
  p += whole;
  n -= whole;
  memcpy(partial_, p, n);
  partialBytes_ = n;
}

void OutputDigest::take(uint8_t* bytes, uint64_t at, size_t n) {
  const uint64_t end = at + n;
  // The marked bytes of this piece (a mark lies whole in the piece its bytes were written in)
  // are kept aside and zeroed while the piece is digested.
  const Mark* const marks = marks_.data();
  const size_t first = nextMark_, count = marks_.size();
  size_t last = first, keptBytes = 0;
  for (; last < count && marks[last].at < end; ++last) keptBytes += marks[last].n;
  kept_.resize(keptBytes);
  uint8_t* k = kept_.data();
  uint64_t selection = selection_;
  for (size_t i = first; i < last; ++i) {
    const Mark m = marks[i];
    if (m.at < at || m.at + m.n > end) continue;
    uint8_t* b = bytes + (m.at - at);
    for (uint32_t j = 0; j < m.n; ++j) {
      if (m.part == OutputPart::kSelection) selection = (selection ^ ((m.at + j) << 8 | b[j])) * kPrime1;
      *k++ = b[j];
      b[j] = 0;
    }
  }
  selection_ = selection;
  update(bytes, n);
  k = kept_.data();
  for (size_t i = first; i < last; ++i) {
    const Mark m = marks[i];
    if (m.at < at || m.at + m.n > end) continue;
    uint8_t* b = bytes + (m.at - at);
    for (uint32_t j = 0; j < m.n; ++j) b[j] = *k++;
  }
  nextMark_ = last;
  // Marks already used go, so that a long write keeps only those of the piece at hand.
  if (nextMark_ == marks_.size()) {
    marks_.clear();
    nextMark_ = 0;
  }
}

OutputDigestValue OutputDigest::value() const {
  uint64_t h = length_ * kPrime1;
  for (uint64_t lane : lanes_) h = Rotate(h ^ Round(0, lane), 27) * kPrime1 + kPrime4;
  const uint8_t* p = partial_;
  size_t n = partialBytes_;
  for (; n >= 8; p += 8, n -= 8) h = Rotate(h ^ Round(0, Load64(p)), 27) * kPrime1 + kPrime4;
  for (; n > 0; ++p, --n) h = Rotate(h ^ (*p * kPrime5), 11) * kPrime1;
  return {Avalanche(h), Avalanche(selection_ ^ length_)};
}
