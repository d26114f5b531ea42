// The angle constraints from the mouse-down point and the limit constraint of tracked points.
#include <cmath>
#include <utility>
#include <vector>

#include "ToolTestSupport.h"
#include "tools/Constraints.h"

namespace {

class Constraints : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->snapToGrid = 0;
    gTrackingMouse = 1;
  }
  void TearDown() override {
    gTrackingPoly = 0;
    gTrackModifiers = 0;
    ToolTest::TearDown();
  }
  void gridOf12() {
    doc.ds()->snapToGrid = 1;
    doc.ds()->gridSpacing = {6, 6};  // 12 plan units
  }
};

TEST_F(Constraints, AngleSnapsToFiveDegreesAndTheNearestWholeGridSteps) {
  gridOf12();
  float x = 23, z = -1;  // a unit short of two steps: two steps
  SnapCursorToAngleConstraint(0, 0, &x, &z, 0);
  EXPECT_NEAR(x, 24, 1e-4);
  EXPECT_NEAR(z, 0, 1e-4);
  EXPECT_FLOAT_EQ(gTrackConstrainAngle, 0);

  doc.ds()->snapToGrid = 0;
  x = 100, z = -98;  // 44.4 degrees up the screen
  SnapCursorToAngleConstraint(0, 0, &x, &z, 0);
  const float d = std::hypot(100.f, 98.f);
  EXPECT_NEAR(x, d * std::cos(M_PI / 4), 1e-3);
  EXPECT_NEAR(z, -d * std::sin(M_PI / 4), 1e-3);
  EXPECT_NEAR(gTrackConstrainAngle, M_PI / 4, 1e-6);

  x = 100, z = 1;  // 359.4 rounds to 360, which is 0
  SnapCursorToAngleConstraint(0, 0, &x, &z, 0);
  EXPECT_FLOAT_EQ(gTrackConstrainAngle, 0);
  EXPECT_NEAR(z, 0, 1e-4);

  x = 10, z = 10;  // from another origin: down the screen is 270 degrees
  SnapCursorToAngleConstraint(10, 0, &x, &z, 0);
  EXPECT_NEAR(x, 10, 1e-4);
  EXPECT_NEAR(z, 10, 1e-4);
}

TEST_F(Constraints, CommandKeepsTheAngleAndShiftLeavesOnlyTheGrid) {
  gTrackConstrainAngle = static_cast<float>(M_PI / 2);
  gTrackModifiers = kTrackModCommand;
  float x = 100, z = 0;
  SnapCursorToAngleConstraint(0, 0, &x, &z, 0);
  EXPECT_NEAR(x, 0, 1e-4);
  EXPECT_NEAR(z, -100, 1e-4);

  gridOf12();
  gTrackModifiers = kTrackModShift;
  x = 31, z = -7;
  SnapCursorToAngleConstraint(0, 0, &x, &z, 0);
  EXPECT_FLOAT_EQ(x, 36);
  EXPECT_FLOAT_EQ(z, -12);
  EXPECT_FLOAT_EQ(gTrackConstrainAngle, 0);
  x = 31, z = -1;
  SnapCursorToAngleConstraint(0, 0, &x, &z, 1);  // forced
  EXPECT_NEAR(z, 0, 1e-4);

  gTrackModifiers = 0;
  gTrackingMouse = 0;  // before the drag: grid only
  x = 31, z = -7;
  SnapCursorToAngleConstraint(0, 0, &x, &z, 0);
  EXPECT_FLOAT_EQ(z, -12);
}

TEST_F(Constraints, PolyAndCustomAngles) {
  float x = 100, z = -98;
  SnapCursorToPolyAngleConstraint(0, 0, &x, &z, 0);
  EXPECT_FLOAT_EQ(x, 100);  // not placing a polygon
  gTrackingPoly = 1;
  SnapCursorToPolyAngleConstraint(0, 0, &x, &z, 0);
  EXPECT_NEAR(gTrackConstrainAngle, M_PI / 4, 1e-6);

  x = 100, z = -30;
  SnapCursorToCustomAngleConstraint(0, 0, &x, &z, 0, 90);
  EXPECT_FLOAT_EQ(z, -30);  // acts only with Shift
  gTrackModifiers = kTrackModShift;
  SnapCursorToCustomAngleConstraint(0, 0, &x, &z, 0, 90);
  EXPECT_NEAR(x, std::hypot(100.f, 30.f), 1e-3);
  EXPECT_NEAR(z, 0, 1e-4);
  x = 100, z = -30;
  SnapCursorToCustomAngleConstraint(0, 0, &x, &z, 0, 0);  // no step: the point stays
  EXPECT_FLOAT_EQ(x, 100);
  EXPECT_FLOAT_EQ(z, -30);
}

// Each route to the angle steps, with the pointer 0.3 degrees either side of a half step, above
// and below steps in every quadrant (counter-clockwise up the screen, clockwise down it), and
// across the wrap at 0: the nearest step wins and the length along the pointer stays.
TEST_F(Constraints, AnglesGoToTheNearestStepEitherSideOfEveryHalfStep) {
  enum Route { kAngle, kPoly, kCustom };
  struct Case {
    Route route;
    int step;
    std::vector<int> steps;  // the whole steps either side of which the pointer lies
  };
  const Case cases[] = {
      {kAngle, 5, {0, 1, 9, 18, 27, 36, 53, 71}},
      {kPoly, 5, {0, 1, 17, 35, 44, 62, 71}},
      {kCustom, 15, {0, 1, 5, 11, 13, 19, 23}},
      {kCustom, 90, {0, 1, 2, 3}},
  };
  const double r = 200, ox = 30, oz = -40;
  for (const Case& c : cases) {
    const double half = c.step / 2.0;
    for (int k : c.steps) {
      // Pointer offset from step k, and the step it goes to.
      for (auto [offset, to] :
           {std::pair{half - 0.3, k}, {half + 0.3, k + 1}, {-(half - 0.3), k}, {-(half + 0.3), k - 1}}) {
        const double pointer = k * c.step + offset;
        SCOPED_TRACE(testing::Message() << "route " << c.route << " step " << c.step << " pointer " << pointer);
        float x = static_cast<float>(ox + r * std::cos(pointer * M_PI / 180));
        float z = static_cast<float>(oz - r * std::sin(pointer * M_PI / 180));
        gTrackModifiers = c.route == kCustom ? kTrackModShift : 0;
        gTrackingPoly = c.route == kPoly ? 1 : 0;
        if (c.route == kAngle) SnapCursorToAngleConstraint(ox, oz, &x, &z, 0);
        if (c.route == kPoly) SnapCursorToPolyAngleConstraint(ox, oz, &x, &z, 0);
        if (c.route == kCustom) SnapCursorToCustomAngleConstraint(ox, oz, &x, &z, 0, c.step);
        const int degrees = ((to * c.step) % 360 + 360) % 360;
        EXPECT_NEAR(gTrackConstrainAngle, degrees * M_PI / 180, 1e-5);
        EXPECT_NEAR(x, ox + r * std::cos(degrees * M_PI / 180), 2e-3);
        EXPECT_NEAR(z, oz - r * std::sin(degrees * M_PI / 180), 2e-3);
      }
    }
  }
}

TEST_F(Constraints, LimitKeepsPointsInThePlanBoundsAndBehindOriginLines) {
  DocState* ds = doc.ds();
  float ref[3] = {0, 0, 0};
  float p[3] = {3000, 5, -3000};
  ConstrainPoint(ref, p);
  EXPECT_FLOAT_EQ(p[0], ds->planBounds.floatRight);
  EXPECT_FLOAT_EQ(p[1], 5);
  EXPECT_FLOAT_EQ(p[2], ds->planBounds.floatTop);

  ds->origin = {100, 0, 50};
  ds->lockOriginX = 1;
  float right[3] = {150, 0, 0};
  float q[3] = {50, 0, 0};
  ConstrainPoint(right, q);
  EXPECT_FLOAT_EQ(q[0], 100);  // stops at the origin's x
  float left[3] = {20, 0, 0};
  float r[3] = {300, 0, 0};
  ConstrainPoint(left, r);
  EXPECT_FLOAT_EQ(r[0], 100);
  float on[3] = {100.7f, 0, 0};
  float s[3] = {99.5f, 0, 0};  // truncates to 99: not the origin's 100
  ConstrainPoint(on, s);
  EXPECT_FLOAT_EQ(s[0], 100);
  float t[3] = {250, 0, 0};
  ConstrainPoint(right, t);
  EXPECT_FLOAT_EQ(t[0], 250);  // on the reference's side

  ds->lockOriginZ = 1;
  float u[3] = {250, 0, 80};
  ConstrainPoint(ref, u);  // reference z 0 lies above the origin's 50
  EXPECT_FLOAT_EQ(u[2], 50);

  ds->viewPlane = 3;
  float v[3] = {9000, -3000, 0};
  ConstrainPoint(ref, v);
  EXPECT_FLOAT_EQ(v[0], 9000);  // x is free in the z/y plane
  EXPECT_FLOAT_EQ(v[1], ds->planBounds.floatTop);
  ds->viewPlane = 7;
  float w[3] = {9000, -3000, 9000};
  ConstrainPoint(ref, w);
  EXPECT_FLOAT_EQ(w[2], 9000);
  ConstrainPoint(nullptr, w);
  ds->viewPlane = 2;
}

}  // namespace
