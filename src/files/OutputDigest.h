// A digest of what a write puts out, taken piece by piece while the bytes are still in the
// caches, with the bytes the writers mark as no part of what it compares left out: the undo
// ring asks it whether a design changed since its step without reading the snapshot back.
#pragma once
#include <cstddef>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

struct XXH3_state_s;

// What the bytes of a field are to the digest.
enum class OutputPart : uint8_t {
  kCounted,    // the design itself
  kSelection,  // which objects are selected, and what the selection sums up to
  kSetAside,   // neither: ID counters, the changed-since-saved flag, the view, tool defaults
};

// A 128-bit digest, low and high halves.
using Digest128 = std::array<uint64_t, 2>;

struct OutputDigestValue {
  Digest128 counted{};    // every byte but those marked, the length of the write included
  Digest128 selection{};  // the bytes marked kSelection, with where they stand
  bool operator==(const OutputDigestValue&) const = default;
};

// XXH3 (128 bits) keyed with a seed drawn at random once per process: no file can be made to
// meet another's digest without knowing the seed, which never leaves the process.
class OutputDigest {
 public:
  OutputDigest();
  ~OutputDigest();
  OutputDigest(const OutputDigest&) = delete;
  OutputDigest& operator=(const OutputDigest&) = delete;
  // The n bytes from `at` (offset in the write) are of that part. Marks come in the order of
  // the write and before their bytes are taken.
  void mark(uint64_t at, uint32_t n, OutputPart part);
  // Takes the next n bytes of the write, which start at `at`. Their marked bytes are zeroed
  // while the piece is digested and put back after.
  void take(uint8_t* bytes, uint64_t at, size_t n);
  OutputDigestValue value() const;

 private:
  struct Mark {
    uint64_t at;
    uint32_t n;
    OutputPart part;
  };
  struct StateDeleter {
    void operator()(XXH3_state_s* state) const;
  };
  using State = std::unique_ptr<XXH3_state_s, StateDeleter>;

  std::vector<Mark> marks_;
  size_t nextMark_ = 0;
  std::vector<uint8_t> kept_;  // the marked bytes of the piece being digested
  State counted_;              // every byte taken, marked ones as zeros
  State selection_;            // the place and bytes of each kSelection mark
};
