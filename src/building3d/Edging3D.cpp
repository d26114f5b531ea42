// Edging in 3D: the walk along the edging's segments and the blocks set on it.
#include "building3d/Edging3D.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "building3d/Railings3D.h"
#include "building3d/RepeatLimit.h"
#include "building3d/SplineChords.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/ShapeBuilders.h"
#include "plandraw/LineStyles.h"

namespace {

constexpr float kBlockFoot = 1.0f;  // blocks start this far above the line
constexpr int32_t kLeastBlockHeight = 12;
constexpr int32_t kBlockHeightSteps = 13;  // 12 .. 24 in whole units
// A chord that falls short of the next block by less than this still reaches it: the sampled
// chords of a segment add up to its length only to within float rounding.
constexpr float kReachTolerance = 1e-3f;

// Blocks set by the walk under way (ResetWalk starts one): a segment of a length floats cannot
// shorten by a spacing still ends.
int32_t sWalkBlocks = 0;
// The height pattern of the edging being walked (EdgingHeightSeed).
uint32_t sWalkSeed = 0;

uint32_t Mix(uint32_t h, uint32_t v) {
  // FNV-1a over the four bytes.
  for (int i = 0; i < 4; ++i) h = (h ^ ((v >> (8 * i)) & 0xFFu)) * 16777619u;
  return h;
}

// The height pattern of an edging, from its own stored shape: the offsets of its points from the
// first in whole plan units and whether it is closed. The same edging, rebuilt, read back or
// moved, sets the same heights; another shape sets others.
uint32_t EdgingHeightSeed(const Objex* edging) {
  uint32_t h = Mix(2166136261u, edging->closed ? 1u : 0u);
  const Poinz* first = edging->firstPoint;
  const auto whole = [](float v) {
    return static_cast<uint32_t>(static_cast<int32_t>(std::clamp(std::round(v), -1.0e9f, 1.0e9f)));
  };
  for (const Poinz* p = first; p; p = p->next) {
    h = Mix(h, whole(p->position[0] - first->position[0]));
    h = Mix(h, whole(p->position[2] - first->position[2]));
  }
  return h;
}

// The height of the walk's block `index` (counting from 0), in whole units.
float BlockHeight(uint32_t seed, int32_t index) {
  uint32_t h = Mix(seed, static_cast<uint32_t>(index));
  // A final avalanche so that neighbouring indices differ in every bit.
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  return static_cast<float>(kLeastBlockHeight + static_cast<int32_t>(h % kBlockHeightSteps));
}

void ResetWalk(DashStyle* state) {
  sWalkBlocks = 0;
  *state = DashStyle{};
  state->lengths[0] = kEdgingSpacing;
  state->phase = 0;
  SetWalkedDistance(*state, kEdgingSpacing);
}

}  // namespace

int32_t UpdateEdgingStyle(int32_t, DashStyle* state, Objex* object) {
  if (object && object->type == kObjEdging) {
    if (state) ResetWalk(state);
    sWalkSeed = EdgingHeightSeed(object);
    return 0;
  }
  return object != nullptr;
}

void AppendEdgingObject(Objex* edging, float x, float y, float z, float angle) {
  if (!edging || !edging->firstPoint) return;
  Layer* layer = edging->layer ? edging->layer : (gCurDocument ? gCurDocument->itsCurLayer : nullptr);
  if (!layer) return;
  // The walk counted this block before setting it.
  const float h = BlockHeight(sWalkSeed, std::max(sWalkBlocks - 1, 0));
  const float half = kEdgingBlockSize / 2;
  const float cx[4] = {x - half, x + half, x + half, x - half};
  const float cz[4] = {z - half, z - half, z + half, z + half};
  // The square turned about the anchor by the direction of travel.
  const float c = std::cos(-angle), s = std::sin(-angle);
  float lower[12], upper[12], handles[12] = {};
  for (int i = 0; i < 4; ++i) {
    const float dx = cx[i] - x, dz = cz[i] - z;
    const float rx = x + dx * c - dz * s, rz = z + dx * s + dz * c;
    lower[3 * i] = upper[3 * i] = rx;
    lower[3 * i + 2] = upper[3 * i + 2] = rz;
    lower[3 * i + 1] = y - kBlockFoot;
    upper[3 * i + 1] = y - h;
  }
  Objex* block = BuildClosedPoly(lower, upper, handles, handles, handles, handles, 4, layer, 0);
  if (!block) return;
  UnlinkObject(block);
  block->layer = nullptr;
  block->type = kObjEdging;
  block->capped = 1;
  const Poinz* m = edging->firstPoint;
  block->penColor = m->color[0];
  for (Poinz* p = block->firstPoint; p; p = p->next) {
    for (int side = 0; side < 2; ++side) {
      p->textureID[side] = m->textureID[side];
      p->color[side] = m->color[side];
      p->textureScale[side] = m->textureScale[side];
    }
  }
  AppendGeneratedPart(edging, block);
}

void UpdateEdgingList(float x0, float y0, float z0, float x1, float, float z1, DashStyle* state, Objex* edging) {
  if (!state || !edging) return;
  float length = 0;
  const float angle = GetLineLengthAndAngle(x0, z0, x1, z1, &length);
  // A spacing of 0 or less would set blocks without end: one plan unit.
  const float spacing = state->lengths[0] > 0 ? state->lengths[0] : 1.0f;
  float walked = 0;
  while (length > 0) {
    float since = WalkedDistance(*state);
    // A walk already past the spacing sets its block at once.
    const float need = std::max(spacing - since, 0.0f);
    if (length < need - kReachTolerance) {
      SetWalkedDistance(*state, since + length);
      return;
    }
    if (!CountRepeat(sWalkBlocks)) return;
    float dx = 0, dz = 0;
    GetPointFromLengthAndAngle(angle, walked + need, &dx, &dz);
    AppendEdgingObject(edging, x0 + dx, y0, z0 + dz, angle);
    state->phase = 0;
    SetWalkedDistance(*state, 0);
    length -= need;
    walked += need;
  }
}

void UpdateEdgingSegment(Objex* edging, Poinz* a, Poinz* b, DashStyle* state) {
  if (!edging || !a || !b || !state) return;
  const DocState* ds = CurDocState();
  // Without a usable segment count the walk takes ten samples (a count of 0 would never end).
  const float dt = ds && ds->curveSegments > 0 ? 1.0f / static_cast<float>(LimitRepeats(7.0 * ds->curveSegments))
                                               : 0.1f;
  ForEachSplineChord(a, b, dt, [&](const float* from, const float* to) {
    UpdateEdgingList(from[0], from[1], from[2], to[0], to[1], to[2], state, edging);
  });
}

namespace building3d {
void UpdateEdgingObject(Objex* edging) {
  NoteServiceCall("UpdateEdgingObject", edging);
  if (!edging || edging->type != kObjEdging || edging->levels != 1 || !edging->firstPoint ||
      !edging->firstPoint->next)
    return;
  RepeatLimitReport report(edging);
  DeleteRendererObject(edging);
  DeleteGeneratedParts(edging);
  RailListScope parts(edging);  // appends stay constant-time while the list is rebuilt
  UpdateEdgingStyle(0, &gStyleState, edging);
  Poinz* last = edging->firstPoint;
  int32_t n = 1;
  for (Poinz* p = edging->firstPoint; p->next && (edging->pointCount <= 0 || n < edging->pointCount);
       p = p->next, ++n) {
    UpdateEdgingSegment(edging, p, p->next, &gStyleState);
    last = p->next;
  }
  if (edging->closed && last != edging->firstPoint) UpdateEdgingSegment(edging, last, edging->firstPoint, &gStyleState);
}
}  // namespace building3d

void UpdateEdgingLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next) UpdateEdgingObject(o);
}

void UpdateEdgingAllLayers(Layer* firstLayer) {
  for (Layer* l = firstLayer; l; l = l->next) UpdateEdgingLayer(l);
}
