// Flat vertex arrays of point rings: straight segments give their start point,
// curved ones curveSegments samples with texture coordinates from the owner's frame.
#include "model/PlanarPolygons.h"

#include <malloc.h>

#include <climits>
#include <cstdlib>

#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/ViewProjection.h"

namespace {

bool IsStraightSegment(const Poinz* a, const Poinz* b) {
  return a->outHandle[0] == 0 && a->outHandle[1] == 0 && a->outHandle[2] == 0 &&
         b->inHandle[0] == 0 && b->inHandle[1] == 0 && b->inHandle[2] == 0;
}

// The ring of CreatePlanarPolygon in one allocation when every segment gives just its start
// point (all straight, or drawing in real time): the same vertices segment by segment would
// give, without growing the array by one vertex at a time. Null (count untouched) when a
// segment is curved, there is no document or memory is short: the caller takes the general road.
PlanarPolyPoint* StraightRing(const Poinz* first, int32_t points, int32_t* count) {
  if (!CurDocState()) return nullptr;
  int32_t n = 1;  // the closing segment
  const Poinz* p = first;
  for (int32_t i = 0; i < points - 1 && p->next; ++i, ++n) {
    if (!gRealTimeDraw && !IsStraightSegment(p, p->next)) return nullptr;
    p = p->next;
  }
  if (!gRealTimeDraw && !IsStraightSegment(p, first)) return nullptr;
  auto* array = static_cast<PlanarPolyPoint*>(malloc(sizeof(PlanarPolyPoint) * static_cast<size_t>(n)));
  if (!array) return nullptr;
  p = first;
  for (int32_t i = 0; i < n; ++i, p = p->next)
    array[i] = PlanarPolyPoint{p->position[0], p->position[1], p->position[2], 0, p->texU, p->texV};
  *count = n;
  return array;
}

}  // namespace

int StorePolyPoint(PlanarPolyPoint** array, float x, float y, float z, int32_t* size, int16_t flag,
                   float u, float v) {
  if (!array || !size || *size < 0) return 0;
  constexpr int32_t kVertex = static_cast<int32_t>(sizeof(PlanarPolyPoint));
  if (*size > INT32_MAX - kVertex) {
    free(*array);
    *array = nullptr;
    return 0;
  }
  int32_t newSize = *size + kVertex;
  auto* grown = *array;
  // The room grows by half again whenever it runs out, so that a curve of many samples is
  // stored in linear time (one copy per vertex would make it quadratic).
  if (!grown || malloc_usable_size(grown) < static_cast<size_t>(newSize)) {
    const size_t room = static_cast<size_t>(newSize) + static_cast<size_t>(newSize) / 2;
    grown = static_cast<PlanarPolyPoint*>(realloc(*array, room));
  }
  if (!grown) {
    free(*array);
    *array = nullptr;
    return 0;
  }
  PlanarPolyPoint& vertex = grown[*size / kVertex];
  vertex.x = x;
  vertex.y = y;
  vertex.z = z;
  vertex.flag = flag;
  vertex.u = u;
  vertex.v = v;
  *array = grown;
  *size = newSize;
  return 1;
}

void AppendObjectSegment(PlanarPolyPoint** array, const Poinz* first, const Poinz* second,
                         int32_t* size, int32_t* added) {
  if (!array || !first || !second || !size || !added || !CurDocState()) return;
  *added = 0;
  if (IsStraightSegment(first, second) || gRealTimeDraw) {
    *added = StorePolyPoint(array, first->position[0], first->position[1], first->position[2], size, 0,
                            first->texU, first->texV);
    return;
  }
  const Objex* owner = first->owner;
  if (!owner) return;
  const FloatRect& frame = owner->textureRect2;
  float width = frame.floatRight - frame.floatLeft;
  float height = frame.floatBottom - frame.floatTop;
  if (width == 0) width = 1.0f;
  if (height == 0) height = 1.0f;
  float step = 1.0f / static_cast<float>(CurrentCurveSegments());
  double limit = 1.01 - static_cast<double>(step);
  for (float t = 0; t <= limit; t += step) {
    float x = 0, y = 0, z = 0;
    GetSplineCoordinate(first, second, t, &x, &y, &z);
    float u = 0, v = 0;
    switch (owner->auxShort) {
      case 2: u = (x - frame.floatLeft) / width, v = (z - frame.floatTop) / height; break;
      case 3: u = (z - frame.floatLeft) / width, v = (y - frame.floatTop) / height; break;
      case 1: u = (x - frame.floatLeft) / width, v = (y - frame.floatTop) / height; break;
      default: break;
    }
    if (!StorePolyPoint(array, x, y, z, size, 0, u, v)) return;
    ++*added;
  }
}

PlanarPolyPoint* CreatePlanarPolygon(const Poinz* first, int32_t* count) {
  if (!first || !count || *count < 3) return nullptr;
  int32_t points = *count;
  *count = 0;
  if (PlanarPolyPoint* straight = StraightRing(first, points, count)) return straight;
  auto* array = static_cast<PlanarPolyPoint*>(calloc(1, sizeof(PlanarPolyPoint)));
  if (!array) return nullptr;
  int32_t size = 0;
  const Poinz* p = first;
  for (int32_t i = 0; i < points - 1 && p->next; ++i) {
    int32_t added = 0;
    AppendObjectSegment(&array, p, p->next, &size, &added);
    if (!array) return nullptr;
    p = p->next;
  }
  int32_t added = 0;
  AppendObjectSegment(&array, p, first, &size, &added);
  if (!array) return nullptr;
  *count = size / static_cast<int32_t>(sizeof(PlanarPolyPoint));
  return array;
}

PlanarPolyPoint* CreatePlanarPolygonReverseOrder(const Poinz* first, int32_t* count) {
  if (!first || !count || *count < 3) return nullptr;
  int32_t points = *count;
  *count = 0;
  const Poinz* last = first;
  for (int32_t i = 0; i < points - 1 && last->next; ++i) last = last->next;
  auto* array = static_cast<PlanarPolyPoint*>(calloc(1, sizeof(PlanarPolyPoint)));
  if (!array) return nullptr;
  int32_t size = 0;
  const Poinz* p = last;
  for (int32_t i = 0; i < points - 1 && p->prev; ++i) {
    int32_t added = 0;
    AppendObjectSegment(&array, p, p->prev, &size, &added);
    if (!array) return nullptr;
    p = p->prev;
  }
  int32_t added = 0;
  AppendObjectSegment(&array, p, last, &size, &added);
  if (!array) return nullptr;
  *count = size / static_cast<int32_t>(sizeof(PlanarPolyPoint));
  return array;
}

PlanarPolyPoint* StorePoint(PlanarPolyPoint** array, float x, float y, float z, int32_t* size,
                            uint8_t project, int16_t flag) {
  if (!array || !size) return nullptr;
  if (project) {
    ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                          gGlobalYOffset, gGlobalZOffset, 1);
    if (gPerspective) AddPerspective(&x, &y, &z, gViewDistance, 0, 0, 0);
  }
  StorePolyPoint(array, x, y, z, size, flag, 0, 0);
  return *array;
}

void DeletePlanarPolygon(PlanarPolyPoint* array) { free(array); }
