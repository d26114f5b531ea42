// The one bound on the loops of the builders that repeat a part along a length (balusters,
// spindles, edging blocks, treads, pickets, bars) or take a count of samples along a curve
// from the design: a spacing of almost nothing or a curve setting from a damaged file would
// otherwise make millions of parts or never finish. A design that asks for more is built at
// the limit, and the user is told once per
// build, open or rebuild.
#pragma once
#include <cstdint>

#include "model/RepeatBound.h"

struct Objex;

// `wanted` repeats bounded to 1 .. kMaxRepeats: NaN and counts below 1 give 1; a count above
// the limit gives the limit and notes it.
int32_t LimitRepeats(double wanted);
// The spacing to walk `length` with so that at most kMaxRepeats intervals fit: `spacing`
// itself, or length / kMaxRepeats (noted) when the walk would need more.
float LimitSpacing(float length, float spacing);
// A loop stopped at the limit: the outermost RepeatLimitReport tells the user at its end.
void NoteRepeatLimitReached();
// Counts one more part of a walk that places parts one by one: false, with the limit noted
// and the count left, when the walk has already placed more than kMaxRepeats.
inline bool CountRepeat(int32_t& placed) {
  if (placed > kMaxRepeats) {
    NoteRepeatLimitReached();
    return false;
  }
  ++placed;
  return true;
}

// Held by every builder entry point for the length of the build, and around a whole open or
// rebuild of the scene: the outermost one shows one alert at its end when any loop inside it
// was cut to the limit, naming how many objects were (a cut counts for the object of the
// innermost report that names one). Without one, a cut loop alerts at once.
class RepeatLimitReport {
 public:
  explicit RepeatLimitReport(const Objex* object = nullptr);
  ~RepeatLimitReport();
  RepeatLimitReport(const RepeatLimitReport&) = delete;
  RepeatLimitReport& operator=(const RepeatLimitReport&) = delete;
};
