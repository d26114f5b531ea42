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

// Asks for the lines a note (as WalkNotes encodes it) says are read: what is read may spread
// over two cache lines (a record is aligned to 16 bytes only).
inline void PrefetchNoted(const void* noted) {
  const uintptr_t at = reinterpret_cast<uintptr_t>(noted);
  const char* start = reinterpret_cast<const char*>(at & ~uintptr_t(3));
  PrefetchLine(start);
  PrefetchLine(start + ((at & 1) ? 31 : (at & 2) ? 19 : 60));
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
    if (k + kAhead < last->size()) PrefetchNoted((*last)[k + kAhead]);
  }
};

// Notes kept in one list per floor and rewritten in place as the next walk goes: the entry a
// fixed distance ahead is asked for before the walk reaches (and may overwrite) it, so it is
// always the last walk's. An entry is stored only when it differs from the last walk's, so a
// walk of an unchanged floor reads its note and writes nothing.
struct NotesInPlace {
  std::vector<const void*>* kept = nullptr;
  size_t at = 0;  // entries noted by this walk
  // Further ahead than WalkNotes: the click's walk reads some six lines a record (its points and
  // its box), and on designs out of cache a shorter distance leaves it waiting on memory.
  static constexpr size_t kAhead = 128;
  void note(const void* record) { noteAt(record); }
  void noteField(const void* field) {
    noteAt(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(field) | 1));
  }
  void noteHead(const void* record) {
    noteAt(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(record) | 2));
  }
  // Drops what the last walk noted beyond this one's end.
  void finish() { kept->resize(at); }
  // Whether the last walk's note goes on beyond the entry the next note asks for.
  bool asksAhead() const { return at + kAhead < kept->size(); }

 private:
  void noteAt(const void* noted) {
    std::vector<const void*>& v = *kept;
    const size_t n = v.size();
    if (at + kAhead < n) PrefetchNoted(v[at + kAhead]);
    if (at < n) {
      if (v[at] != noted) v[at] = noted;
    } else {
      v.push_back(noted);
    }
    ++at;
  }
};

// A list of records for each of the floors walked last (the oldest floor's list is taken over
// by a floor not among them).
class FloorRecordLists {
 public:
  // The floor's list, or null when it is not among the floors walked last.
  const std::vector<const void*>* find(const Layer* layer) const {
    for (const Kept& t : kept_)
      if (t.layer == layer) return &t.records;
    return nullptr;
  }
  void clear() {
    for (Kept& t : kept_) t = Kept{};
    nextSlot_ = 0;
  }
  // Drops the floor's list: a floor made later at the same address starts with none.
  void forget(const Layer* layer) {
    for (Kept& t : kept_)
      if (t.layer == layer) t = Kept{};
  }

 protected:
  std::vector<const void*>& of(const Layer* layer) {
    for (Kept& t : kept_)
      if (t.layer == layer) return t.records;
    Kept& t = kept_[nextSlot_];
    nextSlot_ = (nextSlot_ + 1) % kFloors;
    t.layer = layer;
    t.records.clear();
    return t.records;
  }

 private:
  static constexpr size_t kFloors = 16;
  struct Kept {
    const Layer* layer = nullptr;
    std::vector<const void*> records;
  };
  Kept kept_[kFloors];
  size_t nextSlot_ = 0;
};

// The notes of the last walk of one kind of each floor walked last, rewritten in place.
class FloorNotesInPlace : public FloorRecordLists {
 public:
  NotesInPlace begin(const Layer* layer) { return NotesInPlace{&of(layer)}; }
};

// The records each floor's last walk of one kind noted, for the floors walked last.
class FloorWalkTraces : private FloorRecordLists {
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
  // The floor's list emptied, for a road that knows what the next walk of the floor will read
  // (a read of the floor, in the order the floor will be written) to fill in its stead.
  std::vector<const void*>& foretell(const Layer* layer) {
    std::vector<const void*>& records = of(layer);
    records.clear();
    return records;
  }

 private:
  std::vector<const void*> writing_;
  std::vector<const void*>* last_ = nullptr;
};
