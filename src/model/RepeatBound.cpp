// The shared bound on the counts a design carries.
#include "model/RepeatBound.h"

#include <algorithm>

#include "model/DocState.h"

int32_t CurveSamples(const DocState* ds, int32_t perPiece, int32_t none) {
  if (!ds || ds->curveSegments < 1 || perPiece < 1) return none;
  return static_cast<int32_t>(std::min<int64_t>(int64_t{ds->curveSegments} * perPiece, kMaxRepeats));
}
