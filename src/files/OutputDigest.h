// A digest of what a write puts out, taken piece by piece while the bytes are still in the
// caches, with the bytes the writers mark as no part of what it compares left out: the undo
// ring asks it whether a design changed since its step without reading the snapshot back.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// What the bytes of a field are to the digest.
enum class OutputPart : uint8_t {
  kCounted,    // the design itself
  kSelection,  // which objects are selected, and what the selection sums up to
  kSetAside,   // neither: ID counters, the changed-since-saved flag, the view, tool defaults
};

struct OutputDigestValue {
  uint64_t counted = 0;    // every byte but those marked, the length of the write included
  uint64_t selection = 0;  // the bytes marked kSelection, with where they stand
  bool operator==(const OutputDigestValue&) const = default;
};

class OutputDigest {
 public:
  OutputDigest();
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
  // The stream hash of the counted bytes: eight lanes over 64-byte stripes (each lane adds
  // its word and the product of its word's halves, mixed with a key), the lanes stirred every
  // 16 stripes; the stripe begun in one piece and ended in the next is kept aside.
  void update(const uint8_t* p, size_t n);
  void stripe(const uint8_t* p);

  std::vector<Mark> marks_;
  size_t nextMark_ = 0;
  std::vector<uint8_t> kept_;  // the marked bytes of the piece being digested
  uint64_t lanes_[8];
  uint32_t stripes_ = 0;  // since the lanes were last stirred
  uint8_t partial_[64];
  size_t partialBytes_ = 0;
  uint64_t length_ = 0;
  uint64_t selection_;
};
