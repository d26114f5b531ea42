// Crossings of a measuring line with the walls of the current layer.
#include "tools/WallDimTracking.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Records.h"
#include "plandraw/DimensionLines.h"

FloatPoint* BeginWallDimTracking(const FloatPoint* s, const FloatPoint* e, const Poinz* skipFirst,
                                 const Poinz* skipSecond, int32_t* count) {
  if (!gCurDocument || !gCurDocument->itsCurLayer || !s || !e || !count) return nullptr;
  *count = 0;
  auto* list = static_cast<FloatPoint*>(calloc(kMaxWallDimCrossings + 2, sizeof(FloatPoint)));
  if (!list) return nullptr;
  for (const Objex* w = gCurDocument->itsCurLayer->firstObject; w; w = w->next) {
    if (w->type != kObjWall) continue;
    for (const Poinz* a = w->firstPoint; a; a = a->next) {
      const Poinz* b = a->next ? a->next : (w->closed && a != w->firstPoint ? w->firstPoint : nullptr);
      if (!b) break;
      if (a == skipFirst && b == skipSecond) continue;
      float x = kNoWallDimCrossing, z = kNoWallDimCrossing;
      GetIntersection(s->floatH, s->floatV, e->floatH, e->floatV, a->position[0], a->position[2], b->position[0],
                      b->position[2], &x, &z);
      if (!(x < 30000 && z < 30000)) continue;
      const float ax = a->position[0], az = a->position[2], bx = b->position[0], bz = b->position[2];
      if (x < std::min(ax, bx) - 1 || x > std::max(ax, bx) + 1 || z < std::min(az, bz) - 1 ||
          z > std::max(az, bz) + 1)
        continue;
      if (*count >= kMaxWallDimCrossings) return list;
      list[(*count)++] = FloatPoint{x, z};
    }
  }
  return list;
}

void ContinueWallDimTracking(const FloatPoint* list, FloatPoint s, FloatPoint e, FloatPoint* ahead,
                             FloatPoint* behind, int32_t count) {
  if (ahead) *ahead = FloatPoint{kNoWallDimCrossing, kNoWallDimCrossing};
  if (behind) *behind = FloatPoint{kNoWallDimCrossing, kNoWallDimCrossing};
  if (!list || count <= 0 || !ahead || !behind || !gCurDocument) return;
  if (count > kMaxWallDimCrossings) count = kMaxWallDimCrossings;
  float length = 0;
  const float angle = GetLineLengthAndAngle(s.floatH, s.floatV, e.floatH, e.floatV, &length);
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(angle, 5.0f, &dx, &dz);
  float bestAhead = 32000, bestBehind = 32000;
  for (int32_t i = 0; i < count; ++i) {
    const FloatPoint x = list[i];
    const float a = GetLineLength(x.floatH, x.floatV, s.floatH + dx, s.floatV + dz);
    const float b = GetLineLength(x.floatH, x.floatV, s.floatH - dx, s.floatV - dz);
    if (b <= a) {
      if (b < bestBehind) {
        bestBehind = b;
        *behind = x;
      }
    } else if (a < bestAhead) {
      bestAhead = a;
      *ahead = x;
    }
  }
}

void ContinueWallDimTracking(const FloatPoint* list, const FloatPoint* s, const FloatPoint* e, FloatPoint* ahead,
                             FloatPoint* behind, int32_t count) {
  if (s && e) return ContinueWallDimTracking(list, *s, *e, ahead, behind, count);
  if (ahead) *ahead = FloatPoint{kNoWallDimCrossing, kNoWallDimCrossing};
  if (behind) *behind = FloatPoint{kNoWallDimCrossing, kNoWallDimCrossing};
}

void EndWallDimTracking(FloatPoint* list) { free(list); }

void DrawWallDimDistance(FloatPoint start, FloatPoint crossing) {
  static const char guard = 0;  // the dimension needs two non-null owners
  DrawDimensionLineNoOffset(nullptr, start.floatH, start.floatV, crossing.floatH, crossing.floatV, start.floatH,
                            start.floatV, crossing.floatH, crossing.floatV, 1, 0.0f, 1, &guard, &guard, 0, 0, 0.0f, 0,
                            nullptr);
}
