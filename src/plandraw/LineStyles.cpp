// The dash patterns of the dashed line styles.
#include "plandraw/LineStyles.h"

#include "model/PlanarTransforms.h"

DashStyle gStyleState{};

namespace {

struct Pattern {
  uint16_t count;
  float lengths[6];
  bool gap[6];  // entries that widen with the line weight
};

// Before zoom; gaps are written at their unwidened length.
const Pattern kPatterns[] = {
    /* 7 */ {4, {60, 6, 7, 6}, {false, true, false, true}},
    /* 8 */ {6, {60, 6, 7, 6, 7, 6}, {false, true, false, true, false, true}},
    /* 9 */ {2, {20, 6}, {false, true}},
    /* 10 */ {2, {8, 6}, {false, true}},
    /* 11 */ {4, {8, 6, 8, 12}, {false, true, false, true}},
    /* 12 */ {6, {60, 6, 2, 6, 2, 6}, {false, true, false, true, false, true}},
    /* 13 */ {2, {2, 6}, {false, true}},
    /* 14 */ {4, {60, 6, 2, 6}, {false, true, false, true}},
};

}  // namespace

void LoadStyle(int16_t style, DashStyle* out, float lineWeight) {
  if (!out || style < kPenDashDot || style > kPenLongDashDot) return;
  const Pattern& p = kPatterns[style - kPenDashDot];
  float widen = lineWeight > 1 ? 1 + 0.25f * lineWeight : 1.0f;
  out->count = p.count;
  for (int i = 0; i < 6; ++i) {
    if (i >= p.count) {
      out->lengths[i] = 0;
      continue;
    }
    float length = ZoomF(p.lengths[i]);
    out->lengths[i] = p.gap[i] ? length * widen : length;
  }
  out->phase = 0;
  out->reserved = 0;
}
