// The digest of a write's output.
#include "files/OutputDigest.h"

#include <cstring>

namespace {
constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr uint64_t kPrime3 = 0x165667B19E3779F9ULL;
constexpr uint64_t kPrime4 = 0x85EBCA77C2B2AE63ULL;
constexpr uint64_t kPrime5 = 0x27D4EB2F165667C5ULL;

uint64_t Rotate(uint64_t v, int r) { return (v << r) | (v >> (64 - r)); }
uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  memcpy(&v, p, 8);
  return v;
}
uint64_t Round(uint64_t acc, uint64_t input) { return Rotate(acc + input * kPrime2, 31) * kPrime1; }
uint64_t Merge(uint64_t acc, uint64_t lane) { return (acc ^ Round(0, lane)) * kPrime1 + kPrime4; }
uint64_t Avalanche(uint64_t h) {
  h ^= h >> 33;
  h *= kPrime2;
  h ^= h >> 29;
  h *= kPrime3;
  return h ^ (h >> 32);
}
}  // namespace

OutputDigest::OutputDigest()
    : lanes_{kPrime1 + kPrime2, kPrime2, 0, 0ULL - kPrime1}, partial_{}, selection_(kPrime5) {}

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

void OutputDigest::stripe(const uint8_t* p) {
  for (int i = 0; i < 4; ++i) lanes_[i] = Round(lanes_[i], Load64(p + 8 * i));
}

void OutputDigest::update(const uint8_t* p, size_t n) {
  length_ += n;
  if (partialBytes_) {
    const size_t fill = n < 32 - partialBytes_ ? n : 32 - partialBytes_;
    memcpy(partial_ + partialBytes_, p, fill);
    partialBytes_ += fill;
    p += fill;
    n -= fill;
    if (partialBytes_ < 32) return;
    stripe(partial_);
    partialBytes_ = 0;
  }
  for (; n >= 32; p += 32, n -= 32) stripe(p);
  memcpy(partial_, p, n);
  partialBytes_ = n;
}

void OutputDigest::take(uint8_t* bytes, uint64_t at, size_t n) {
  const uint64_t end = at + n;
  // The marked bytes of this piece: a mark lies whole in the piece its bytes were written in.
  kept_.clear();
  size_t first = nextMark_, last = nextMark_;
  for (; last < marks_.size() && marks_[last].at < end; ++last) {
    const Mark& m = marks_[last];
    if (m.at < at || m.at + m.n > end) continue;
    uint8_t* b = bytes + (m.at - at);
    if (m.part == OutputPart::kSelection)
      for (uint32_t i = 0; i < m.n; ++i) selection_ = (selection_ ^ ((m.at + i) << 8 | b[i])) * kPrime1;
    kept_.insert(kept_.end(), b, b + m.n);
    memset(b, 0, m.n);
  }
  update(bytes, n);
  size_t k = 0;
  for (size_t i = first; i < last; ++i) {
    const Mark& m = marks_[i];
    if (m.at < at || m.at + m.n > end) continue;
    memcpy(bytes + (m.at - at), kept_.data() + k, m.n);
    k += m.n;
  }
  nextMark_ = last;
  // Marks already used go, so that a long write keeps only those of the piece at hand.
  if (nextMark_ == marks_.size()) {
    marks_.clear();
    nextMark_ = 0;
  }
}

OutputDigestValue OutputDigest::value() const {
  uint64_t h;
  if (length_ >= 32) {
    h = Rotate(lanes_[0], 1) + Rotate(lanes_[1], 7) + Rotate(lanes_[2], 12) + Rotate(lanes_[3], 18);
    for (uint64_t lane : lanes_) h = Merge(h, lane);
  } else {
    h = lanes_[2] + kPrime5;
  }
  h += length_;
  const uint8_t* p = partial_;
  size_t n = partialBytes_;
  for (; n >= 8; p += 8, n -= 8) h = Rotate(h ^ Round(0, Load64(p)), 27) * kPrime1 + kPrime4;
  if (n >= 4) {
    uint32_t v;
    memcpy(&v, p, 4);
    h = Rotate(h ^ (uint64_t(v) * kPrime1), 23) * kPrime2 + kPrime3;
    p += 4;
    n -= 4;
  }
  for (; n > 0; ++p, --n) h = Rotate(h ^ (*p * kPrime5), 11) * kPrime1;
  return {Avalanche(h), Avalanche(selection_ ^ length_)};
}
