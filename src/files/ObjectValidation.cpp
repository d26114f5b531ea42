// The sanity test that object readers apply to every object they bring in.
#include "files/ObjectValidation.h"

#include <cmath>

#include "model/Records.h"

PointProblem ObjectPointProblem(const Objex* object) {
  if (!object) return PointProblem::kNone;
  for (const Poinz* p = object->firstPoint; p; p = p->next)
    for (float v : p->position)
      if (std::isnan(v) || v > 1e6f || v < -1e6f) return PointProblem::kBadValue;
  switch (object->type) {
    case kObjFloor: case kObjPropertyLine: case kObjGroundFill: case kObjCutout: case kObjDeck:
    case kObjRoofPanel: case kObjTopoExcavation: case kObjDormerCutout:
      return object->pointCount < 3 ? PointProblem::kTooFewPoints : PointProblem::kNone;
    default:
      return PointProblem::kNone;
  }
}
