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
