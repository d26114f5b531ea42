// Snap tool codes: the values of gCurSnap and the cell tags of the snap palette.
#pragma once
#include <cstdint>

enum : uint16_t {
  kSnapAnywhere = 500,
  kSnapEndpoint = 501,
  kSnapSegmentCenter = 502,
  kSnapObjectCenter = 503,
  kSnapObjectCorner = 504,
  kSnapIntersection = 505,
  kSnapPerpendicular = 506,
  kSnapSegmentOffset = 507,
  kSnapOnSegment = 508,
  kSnapOrigin = 510,
};
