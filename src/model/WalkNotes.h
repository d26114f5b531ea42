// Walks over a whole floor wait on memory for each record: a list only says where its next
// record is once the one before has arrived. A walk notes, in order, the records it reads, and
// the next walk of the same floor asks for the last walk's records a fixed distance ahead of
// where it is. The last walk's addresses are only ever prefetched, never read through, so a
// floor changed or freed since only makes some prefetches miss.
#pragma once
#include <cstddef>
#include <vector>

struct Layer;

// Asks for the cache line at `at`; never faults, whatever the address. Written out so that the
// compiler keeps it where nothing else uses what the walk ahead reads.
inline void PrefetchLine(const char* at) {
#if defined(__x86_64__)
  asm volatile("prefetcht0 %0" : : "m"(*at));
#else
  __builtin_prefetch(at);
#endif
}

struct WalkNotes {
  std::vector<const void*>* out = nullptr;
  const std::vector<const void*>* last = nullptr;
  static constexpr size_t kAhead = 32;
  void note(const void* record) {
    const size_t k = out->size();
    out->push_back(record);
    if (k + kAhead < last->size()) {
      // The fields read lie in a record's first 64 bytes, which a record aligned to 16 bytes
      // may spread over two cache lines.
      const char* at = static_cast<const char*>((*last)[k + kAhead]);
      PrefetchLine(at);
      PrefetchLine(at + 60);
    }
  }
};

// The records each floor's last walk of one kind noted, for the floors walked last.
class FloorWalkTraces {
 public:
  // Notes for a walk of `layer` starting now; `finish` keeps them for the next walk.
  WalkNotes begin(const Layer* layer) {
    last_ = &of(layer);
    writing_.clear();
    return WalkNotes{&writing_, last_};
  }
  void finish() {
    if (last_) last_->swap(writing_);
    last_ = nullptr;
  }

 private:
  static constexpr size_t kFloors = 16;
  struct Kept {
    const Layer* layer = nullptr;
    std::vector<const void*> records;
  };
  std::vector<const void*>& of(const Layer* layer) {
    for (Kept& t : kept_)
      if (t.layer == layer) return t.records;
    Kept& t = kept_[nextSlot_];
    nextSlot_ = (nextSlot_ + 1) % kFloors;
    t.layer = layer;
    t.records.clear();
    return t.records;
  }
  Kept kept_[kFloors];
  size_t nextSlot_ = 0;
  std::vector<const void*> writing_;
  std::vector<const void*>* last_ = nullptr;
};
