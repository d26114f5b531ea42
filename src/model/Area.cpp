// Areas of plan outlines (shoelace sum over x and z), converted to square feet or,
// in metric documents, square metres; floor totals; outline winding.
#include "model/Area.h"

#include <cmath>
#include <vector>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarPolygons.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"

namespace {

struct PlanXZ {
  float x, z;
};

float ShoelaceSum(const std::vector<PlanXZ>& ring) {
  float sum = 0;
  size_t n = ring.size();
  for (size_t i = 0; i < n; ++i) {
    const PlanXZ& a = ring[i];
    const PlanXZ& b = ring[(i + 1) % n];
    sum += a.x * b.z - a.z * b.x;
  }
  return sum;
}

// The (x, z) of the object's points, at most pointCount of them.
std::vector<PlanXZ> ObjectRing(const Objex* object) {
  std::vector<PlanXZ> ring;
  if (object->pointCount <= 0) return ring;
  ring.reserve(static_cast<size_t>(object->pointCount));
  int32_t n = 0;
  for (const Poinz* p = object->firstPoint; p && n < object->pointCount; p = p->next, ++n)
    ring.push_back({p->position[0], p->position[2]});
  return ring;
}

// Plan-unit area to square feet, or square metres in a metric document.
float ConvertPlanArea(float area, const DocState* ds) {
  if (!(area > 0)) return area;
  area = ConvertScreenToWorld(area, ds, 0);
  area = ConvertScreenToWorld(area, ds, 0);
  if (ds->measureSystem == kMeasureMetric)
    return ConvertInchesToMeters(ConvertInchesToMeters(area));
  return area / 144.0f;
}

}  // namespace

float ComputeObjectStraightArea(const Objex* object) {
  const DocState* ds = CurDocState();
  if (!object || !ds) return 0;
  std::vector<PlanXZ> ring = ObjectRing(object);
  if (ring.size() < 3) return 0;
  return ConvertPlanArea(std::fabs(ShoelaceSum(ring) * 0.5f), ds);
}

float ComputeObjectCurvedArea(const Objex* object) {
  const DocState* ds = CurDocState();
  if (!object || !ds) return 0;
  int32_t count = object->pointCount;
  PlanarPolyPoint* poly = CreatePlanarPolygon(object->firstPoint, &count);
  if (!poly) return 0;
  float area = 0;
  if (count > 2) {
    std::vector<PlanXZ> ring;
    ring.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) ring.push_back({poly[i].x, poly[i].z});
    area = ConvertPlanArea(std::fabs(ShoelaceSum(ring) * 0.5f), ds);
  }
  DeletePlanarPolygon(poly);
  return area;
}

float ComputeSquareFootage(const Layer* layer, int16_t type) {
  if (!layer || !CurDocState()) return 0;
  float total = 0;
  for (const Objex* o = layer->firstObject; o; o = o->next) {
    if (o->type != type) continue;
    if (o->type == kObjWall) {
      if (o->subtype == kSubExteriorWall) total += ComputeObjectStraightArea(o);
    } else if (o->type == kObjDeck) {
      total += ComputeObjectStraightArea(o);
    } else {
      total += ComputeObjectCurvedArea(o);
    }
  }
  return total;
}

bool IsObjectClockwise(const Objex* object) {
  if (!object) return false;
  return ShoelaceSum(ObjectRing(object)) >= 0;
}
