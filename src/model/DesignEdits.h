// A count of the design's edits that a road may keep what it learnt about a floor across:
// it moves whenever a record is linked into or out of a design's lists (floors, objects,
// children, points), a record is deleted, a point's selection is written, or a wall's shape
// or its attachments are rebuilt (every road that moves a wall rebuilds it). A road that keeps
// something between two of its runs notes the count at the end of one and trusts what it
// kept at the start of the next only while the count still stands there.
#pragma once
#include <cstdint>

extern uint64_t gDesignEditCount;

inline void NoteDesignEdit() { ++gDesignEditCount; }
inline uint64_t DesignEditCount() { return gDesignEditCount; }

// For a scratch record that is built, read and freed inside the scope without ever being linked
// into a floor (a preview's temporary arc): its edits cannot change what a road learnt about the
// floors, so the count stands again where it stood when the scope opened. Nothing else may be
// edited inside the scope.
class ScratchRecordEdits {
 public:
  ScratchRecordEdits() : saved_(gDesignEditCount) {}
  ~ScratchRecordEdits() { gDesignEditCount = saved_; }
  ScratchRecordEdits(const ScratchRecordEdits&) = delete;
  ScratchRecordEdits& operator=(const ScratchRecordEdits&) = delete;

 private:
  uint64_t saved_;
};
