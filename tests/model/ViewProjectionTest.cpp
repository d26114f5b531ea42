// View transform: forward and inverse rotation, perspective, planes and the
// working grid's plane in view space.
#include <gtest/gtest.h>

#include <cmath>

#include "TestDocument.h"
#include "ViewStateGuard.h"
#include "model/ViewCommands.h"
#include "model/ViewProjection.h"

namespace {

void ExpectRelativelyNear(float actual, float expected) {
  EXPECT_NEAR(actual, expected, 1e-5 * std::fmax(1.0f, std::fabs(expected)));
}

}  // namespace

TEST(ViewProjection, PlanViewMapsPlanOntoScreen) {
  ViewStateGuard guard(false);
  float cx, sx, cy, sy;
  SetUpForRotationAboutArbitraryAxis(90, 0, &cx, &sx, &cy, &sy, 0);
  float x = 10, y = 0, z = 20;
  ComputeRotationAboutArbitraryAxis(&x, &y, &z, cx, sx, cy, sy, 0, -96, 0);
  EXPECT_NEAR(x, 10, 1e-4);
  EXPECT_NEAR(y, 20, 1e-4);
  EXPECT_NEAR(z, -96, 1e-4);
}

TEST(ViewProjection, InverseUndoesForwardWithAndWithoutPerspective) {
  ViewStateGuard guard(false);
  float cx, sx, cy, sy;
  SetUpForRotationAboutArbitraryAxis(30, 45, &cx, &sx, &cy, &sy, 0);
  const float points[][3] = {{10, 0, 20}, {-250.5f, 96, 1200}, {3, -7, -0.25f}};
  for (uint8_t perspective : {0, 1}) {
    gPerspective = perspective;
    gViewFactor = 6;
    for (const auto& p : points) {
      float x = p[0], y = p[1], z = p[2];
      ComputeRotationAboutArbitraryAxis(&x, &y, &z, cx, sx, cy, sy, 12, -96, 40);
      ComputeInverseRotationAboutArbitraryAxis(&x, &y, &z, cx, sx, cy, sy, 12, -96, 40);
      ExpectRelativelyNear(x, p[0]);
      ExpectRelativelyNear(y, p[1]);
      ExpectRelativelyNear(z, p[2]);
    }
  }
  // A zero view factor does not divide by zero on the way back.
  gPerspective = 1;
  gViewFactor = 0;
  float x = 5, y = 5, z = 5;
  ComputeInverseRotationAboutArbitraryAxis(&x, &y, &z, cx, sx, cy, sy, 0, 0, 0);
  EXPECT_TRUE(std::isfinite(x) && std::isfinite(y) && std::isfinite(z));
}

TEST(ViewProjection, PerspectiveAndItsInverse) {
  float x = 10, y = 20, z = 600;
  AddPerspective(&x, &y, &z, 600, 0, 0, 0);
  EXPECT_FLOAT_EQ(x, 10 / 0.0001f);
  EXPECT_FLOAT_EQ(y, 20 / 0.0001f);

  x = 10, y = -20, z = 150;
  AddPerspective(&x, &y, &z, 600, 1, 2, 3);
  EXPECT_NE(x, 10);
  RemovePerspective(&x, &y, &z, 600, 1, 2, 3);
  EXPECT_NEAR(x, 10, 1e-4);
  EXPECT_NEAR(y, -20, 1e-4);
  EXPECT_NEAR(z, 150, 1e-3);

  x = 1, y = 1, z = 1;
  AddPerspective(&x, &y, &z, 0, 0, 0, 0);
  RemovePerspective(&x, &y, &z, 0, 0, 0, 0);
  EXPECT_TRUE(std::isfinite(x) && std::isfinite(z));
}

TEST(ViewProjection, PlanesThroughPoints) {
  float a, b, c, d;
  CalcParametric(0, 0, 0, 1, 1, 1, 2, 2, 2, &a, &b, &c, &d);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(c, 0);
  EXPECT_EQ(d, 0);
  CalcParametric(0, 0, 5, 1, 0, 5, 0, 1, 5, &a, &b, &c, &d);
  EXPECT_FLOAT_EQ(ComputePointOnPlane(3, 4, a, b, c, d), 5);
  EXPECT_FLOAT_EQ(ComputePointOnPlane(3, 4, 1, 2, 0, 20), 9);
}

TEST(ViewProjection, GridPlaneOfThePlanView) {
  TestDocument doc;  // zoom 0.6, plan working plane at height 0
  ViewStateGuard view;
  EXPECT_NEAR(ComputePointOnPlane(100, -50, gGridC1, gGridC2, gGridC3, gGridCONST), -96, 1e-2);
  // The plane parallel to the grid at height 48 lies 48 zoomed units nearer the eye.
  EXPECT_NEAR(ComputePointOnPlaneParallelToGrid(100, -50, 48), -96 - 48 * 0.6f, 1e-2);

  // Elevation working plane seen from the front.
  doc.ds()->viewPlane = 1;
  doc.ds()->viewPoint.floatD = 100;
  float cx, sx, cy, sy;
  SetUpForRotationAboutArbitraryAxis(0, 0, &cx, &sx, &cy, &sy, 0);
  gCosXAngle = cx, gSinXAngle = sx, gCosYAngle = cy, gSinYAngle = sy;
  EXPECT_NEAR(ComputePointOnPlane(0, 0, gGridC1, gGridC2, gGridC3, gGridCONST), 60, 1e-2);
  EXPECT_NEAR(ComputePointOnPlaneParallelToGrid(7, 7, 10), 6, 1e-2);

  ZLKDocumentModel* saved = gCurDocument;
  gCurDocument = nullptr;
  EXPECT_EQ(ComputePointOnPlaneParallelToGrid(1, 1, 1), 0);
  gCurDocument = saved;
}

TEST(ViewProjection, HostileDocStateKeepsGridFinite) {
  TestDocument doc;
  ViewStateGuard view;
  doc.ds()->zoomFactor = NAN;
  doc.ds()->planBounds = {2400, 2400, -2400, -2400};
  doc.ds()->viewPlane = 77;
  SetUpForRotationAboutArbitraryAxis(90, 0, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle, 1);
  EXPECT_TRUE(std::isfinite(gGridC1) && std::isfinite(gGridC2) && std::isfinite(gGridC3) &&
              std::isfinite(gGridCONST));
  EXPECT_TRUE(std::isfinite(ComputePointOnPlaneParallelToGrid(3, 4, 5)));
}

TEST(ViewProjection, ConvertToIsoProjectsBothEnds) {
  TestDocument doc;
  doc.ds()->zoomFactor = 1;
  ViewStateGuard view;
  float x1 = 10, y1 = 0, z1 = 20, x2 = -5, y2 = 0, z2 = 0;
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, 0);
  EXPECT_NEAR(x1, 10, 1e-4);
  EXPECT_NEAR(y1, 20, 1e-4);
  EXPECT_NEAR(x2, -5, 1e-4);
  EXPECT_NEAR(z2, -96, 1e-4);
}

// Resetting the view puts the grid origin at the right and top plan edges (each side its own
// value) and the offsets to 0; the viewing height is the current floor's base. Actual size
// resets the remembered zoom of the view it is given in, and only that one.
TEST(ViewCommands, ResetAndActualSizeTakeEachValueFromItsOwnPlace) {
  for (const bool top : {true, false}) {
    SCOPED_TRACE(top ? "top view" : "front view");
    ViewStateGuard guard(top);
    if (!top) {
      gXViewAngle = 0, gYViewAngle = 0;
      SetUpForRotationAboutArbitraryAxis(0, 0, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle, 0);
    }
    TestDocument doc;
    DocState* ds = doc.ds();
    ds->planBounds = {-40, -300, 260, 500};  // top, left, bottom, right
    GridOrigin(ds) = {1, 2, 3};
    doc.first->height = 110;
    doc.model.itsCurLayer = doc.second;
    gGlobalXOffset = 5, gGlobalYOffset = 6, gGlobalZOffset = 7;
    PlanZoom(ds) = 3, TopViewZoom(ds) = 4, OtherViewZoom(ds) = 5;
    ActualSize();
    EXPECT_FLOAT_EQ(GridOrigin(ds).floatH, 500);
    EXPECT_FLOAT_EQ(GridOrigin(ds).floatV, 0);
    EXPECT_FLOAT_EQ(GridOrigin(ds).floatD, -40);
    EXPECT_EQ(gGlobalXOffset, 0);
    EXPECT_EQ(gGlobalYOffset, 0);
    EXPECT_EQ(gGlobalZOffset, 0);
    EXPECT_FLOAT_EQ(ds->baseElevation, 110);
    EXPECT_EQ(PlanZoom(ds), 1);
    EXPECT_EQ(TopViewZoom(ds), top ? 1 : 4);
    EXPECT_EQ(OtherViewZoom(ds), top ? 5 : 1);
  }
}
