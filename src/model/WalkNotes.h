// Walks over a whole floor wait on memory for each record: a list only says where its next
// record is once the one before has arrived. A walk notes, in order, the records it reads, and
// the next walk of the same floor asks for the last walk's records a fixed distance ahead of
// where it is. The last walk's addresses are only ever prefetched, never read through, so a
// floor changed or freed since only makes some prefetches miss.
#pragma once
#include <cstddef>
#include <cstdint>
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
  // A record, whose fields read lie in its first 64 bytes.
  void note(const void* record) { noteAt(record); }
  // A field of at most 32 bytes further into a record (noted with its lowest address bit set:
  // such fields lie at addresses that are multiples of four).
  void noteField(const void* field) {
    noteAt(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(field) | 1));
  }
  // A record of which only the first 20 bytes are read (noted with its second address bit set:
  // records are aligned to 16 bytes).
  void noteHead(const void* record) {
    noteAt(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(record) | 2));
  }

 private:
  void noteAt(const void* noted) {
    const size_t k = out->size();
    out->push_back(noted);
    if (k + kAhead < last->size()) {
      // What is read may spread over two cache lines (a record is aligned to 16 bytes only).
      const uintptr_t at = reinterpret_cast<uintptr_t>((*last)[k + kAhead]);
      const char* start = reinterpret_cast<const char*>(at & ~uintptr_t(3));
      PrefetchLine(start);
      PrefetchLine(start + ((at & 1) ? 31 : (at & 2) ? 19 : 60));
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
