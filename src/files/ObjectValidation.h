// The sanity test that object readers apply to every object they bring in.
#pragma once

struct Objex;

// Why an object's points make it unusable.
enum class PointProblem {
  kNone,
  kBadValue,      // a coordinate is not a number or lies outside +-1e6
  kTooFewPoints,  // an area object with fewer than 3 points
};
// The first problem found: a bad value before too few points. kNone for null.
PointProblem ObjectPointProblem(const Objex* object);

// True when a point lies outside +-1e6 or is not a number, or when an area object (floor,
// property line, ground fill, cutout, deck, roof panel, excavation, dormer cutout) has
// fewer than 3 points. False for null.
inline bool IsObjectPointValuesInvalid(const Objex* object) {
  return ObjectPointProblem(object) != PointProblem::kNone;
}
