// The walks along a curved segment of the builders that set parts along a curve: the segment
// sampled at even steps of its parameter, chord by chord.
#pragma once
#include <cstdint>
#include <cstring>

#include "model/LineGeometry.h"
#include "model/Records.h"

// Hands each chord of the curve from a to b (through a's out-handle and b's in-handle) to
// chord(from, to), the points three floats each: samples at t = 0, dt, 2 dt, ... while t stays
// within 1.01.
template <typename Chord>
void ForEachSplineChord(const Poinz* a, const Poinz* b, float dt, Chord&& chord) {
  float co[3][4];
  for (int k = 0; k < 3; ++k)
    SetupSpline(a->position[k], a->outHandle[k], b->position[k], b->inHandle[k], &co[k][0], &co[k][1], &co[k][2],
                &co[k][3]);
  float prev[3] = {0, 0, 0};
  int32_t i = 0;
  for (float t = 0; t <= 1.01f; t = static_cast<float>(++i) * dt) {
    const float t2 = t * t, t3 = t2 * t;
    float cur[3];
    for (int k = 0; k < 3; ++k) cur[k] = GetSplineCoord(co[k][0], co[k][1], co[k][2], co[k][3], t, t2, t3);
    if (t > 0) chord(prev, cur);
    std::memcpy(prev, cur, sizeof prev);
  }
}
