// Live distances while a wall is drawn from the side of another wall, or moved: where a
// measuring line crosses the walls of the current layer (collected once per drag), and the
// nearest crossing ahead of and behind the line's start (picked at every mouse move).
#pragma once
#include <cstdint>

#include "model/Types.h"

struct Poinz;

// The most crossings a list holds; later ones are ignored.
constexpr int32_t kMaxWallDimCrossings = 998;
// No crossing: both coordinates at this value.
constexpr float kNoWallDimCrossing = 32000.0f;

// The crossings of the unbounded line through s and e with the wall segments of the current
// layer, except the segment skipFirst -> skipSecond; *count receives their number. Null
// without a document, a current layer, a point or the count, or when memory is short.
// Free the list with EndWallDimTracking.
FloatPoint* BeginWallDimTracking(const FloatPoint* s, const FloatPoint* e, const Poinz* skipFirst,
                                 const Poinz* skipSecond, int32_t* count);
// The nearest crossing ahead of s (toward e) and the nearest behind it; each
// (32000, 32000) when there is none.
void ContinueWallDimTracking(const FloatPoint* list, FloatPoint s, FloatPoint e, FloatPoint* ahead,
                             FloatPoint* behind, int32_t count);
// The same with the line's points passed as for BeginWallDimTracking; without them both
// outputs are (32000, 32000).
void ContinueWallDimTracking(const FloatPoint* list, const FloatPoint* s, const FloatPoint* e, FloatPoint* ahead,
                             FloatPoint* behind, int32_t count);
void EndWallDimTracking(FloatPoint* list);
// Draws the live distance from a measuring line's start to a crossing into the plan view's
// overlay (a dimension line without extension lines).
void DrawWallDimDistance(FloatPoint start, FloatPoint crossing);
