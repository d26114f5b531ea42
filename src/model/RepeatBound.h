// The one bound on how much work a count a design carries sets off in one loop: the parts
// repeated along one run and the samples taken along one curved segment. A design holds such
// counts as they were written (the curve setting, curveSegments, up to 32,767, from any file);
// every loop that takes one bounds it here: the 3D builders, which tell the user of a run cut
// to the bound (building3d/RepeatLimit.h), and bounds, lengths, picking, flattening and plan
// drawing, which take the bound quietly.
#pragma once
#include <cstdint>

struct DocState;

// The most repeats (parts along one run, samples along one curved segment) one loop makes.
inline constexpr int32_t kMaxRepeats = 1024;

// The samples to take along one curved segment where `perPiece` are taken for each straight
// piece the design's curve setting asks for, at most kMaxRepeats; `none` when the setting asks
// for fewer than one piece or there is no design.
int32_t CurveSamples(const DocState* ds, int32_t perPiece, int32_t none);
