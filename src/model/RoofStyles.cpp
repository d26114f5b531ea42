// Where the ridge ends of a generated roof lie.
#include "model/RoofStyles.h"

#include <cmath>

void RoofRidgeEndTravel(int style, float ridgeLength, float halfSpan, float* travelA, float* travelB) {
  float a = 0, b = 0;
  const float length = std::isfinite(ridgeLength) && ridgeLength > 0 ? ridgeLength : 0;
  switch (style) {
    case kRoofHip: {
      const float meet = std::fmin(halfSpan, length / 2);
      a = meet, b = -meet;
      break;
    }
    case kRoofHipAndGable: a = std::fmin(halfSpan, length); break;
    case kRoofGableOneEnd: a = -halfSpan; break;
    case kRoofHipOneEnd: a = -halfSpan, b = -halfSpan; break;
    case kRoofRidgeOnly: a = -halfSpan, b = halfSpan; break;
    default: break;
  }
  if (travelA) *travelA = a;
  if (travelB) *travelB = b;
}
