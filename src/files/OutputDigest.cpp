// The digest of a write's output.
#include "files/OutputDigest.h"

#include <sys/random.h>
#include <xxhash.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <random>

namespace {
// The seed of every digest of this process, drawn once from the system's random source: the
// digests are compared only within one run, and no one outside it can aim a file at them.
uint64_t ProcessSeed() {
  static const uint64_t seed = [] {
    uint64_t value = 0;
    size_t got = 0;
    auto* bytes = reinterpret_cast<unsigned char*>(&value);
    while (got < sizeof value) {
      const ssize_t n = getrandom(bytes + got, sizeof value - got, 0);
      if (n > 0) got += static_cast<size_t>(n);
      else if (n < 0 && errno != EINTR) break;
    }
    if (got < sizeof value) {
      std::random_device device;
      value = uint64_t(device()) << 32 ^ device();
    }
    return value;
  }();
  return seed;
}

XXH3_state_s* NewState() {
  XXH3_state_t* state = XXH3_createState();
  if (!state) throw std::bad_alloc();
  XXH3_128bits_reset_withSeed(state, ProcessSeed());
  return state;
}

Digest128 Halves(XXH128_hash_t h) { return {h.low64, h.high64}; }
}  // namespace

void OutputDigest::StateDeleter::operator()(XXH3_state_s* state) const { XXH3_freeState(state); }

OutputDigest::OutputDigest() : counted_(NewState()), selection_(NewState()) {}

OutputDigest::~OutputDigest() = default;

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
  for (size_t i = first; i < last; ++i) {
    const Mark m = marks[i];
    if (m.at < at || m.at + m.n > end) continue;
    uint8_t* b = bytes + (m.at - at);
    if (m.part == OutputPart::kSelection) {
      // Where the bytes stand, then the bytes: a selection moved to another object tells.
      uint8_t place[8];
      for (int j = 0; j < 8; ++j) place[j] = static_cast<uint8_t>(m.at >> (8 * j));
      XXH3_128bits_update(selection_.get(), place, sizeof place);
      XXH3_128bits_update(selection_.get(), b, m.n);
    }
    memcpy(k, b, m.n);
    memset(b, 0, m.n);
    k += m.n;
  }
  XXH3_128bits_update(counted_.get(), bytes, n);
  k = kept_.data();
  for (size_t i = first; i < last; ++i) {
    const Mark m = marks[i];
    if (m.at < at || m.at + m.n > end) continue;
    memcpy(bytes + (m.at - at), k, m.n);
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
  return {Halves(XXH3_128bits_digest(counted_.get())), Halves(XXH3_128bits_digest(selection_.get()))};
}
