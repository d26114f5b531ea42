// Where a roof's ridge ends go by style: hip ends stop where they meet (never pass each
// other), extended ends go half a span outward, gables stay.
#include <gtest/gtest.h>

#include "plandraw/RoofDrawing.h"

namespace {

TEST(RoofRidgeEnds, HipEndsMoveHalfASpanInwardUntilTheyMeet) {
  float a = 0, b = 0;
  RoofRidgeEndTravel(kRoofHip, 240, 60, &a, &b);
  EXPECT_FLOAT_EQ(a, 60);
  EXPECT_FLOAT_EQ(b, -60);
  // A ridge side shorter than the span: both stop at the ridge middle (a pyramid).
  RoofRidgeEndTravel(kRoofHip, 60, 60, &a, &b);
  EXPECT_FLOAT_EQ(a, 30);
  EXPECT_FLOAT_EQ(b, -30);
  // Hip and gable: the hip end stops at the gable end.
  RoofRidgeEndTravel(kRoofHipAndGable, 40, 60, &a, &b);
  EXPECT_FLOAT_EQ(a, 40);
  EXPECT_FLOAT_EQ(b, 0);
  RoofRidgeEndTravel(kRoofHipAndGable, 240, 60, &a, &b);
  EXPECT_FLOAT_EQ(a, 60);
}

TEST(RoofRidgeEnds, ConnectorsExtendAndGablesStay) {
  float a = 1, b = 1;
  RoofRidgeEndTravel(kRoofGable, 240, 60, &a, &b);
  EXPECT_FLOAT_EQ(a, 0);
  EXPECT_FLOAT_EQ(b, 0);
  RoofRidgeEndTravel(kRoofGableOneEnd, 240, 60, &a, &b);
  EXPECT_FLOAT_EQ(a, -60);
  EXPECT_FLOAT_EQ(b, 0);
  RoofRidgeEndTravel(kRoofHipOneEnd, 240, 60, &a, &b);
  EXPECT_FLOAT_EQ(a, -60);
  EXPECT_FLOAT_EQ(b, -60);
  RoofRidgeEndTravel(kRoofRidgeOnly, 240, 60, &a, &b);
  EXPECT_FLOAT_EQ(a, -60);
  EXPECT_FLOAT_EQ(b, 60);
  RoofRidgeEndTravel(42, 240, 60, &a, &b);
  EXPECT_FLOAT_EQ(a, 0);
  RoofRidgeEndTravel(kRoofHip, -5, 60, &a, &b);  // a bad length moves nothing
  EXPECT_FLOAT_EQ(a, 0);
}

}  // namespace
