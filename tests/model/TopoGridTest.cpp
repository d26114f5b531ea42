// The terrain heights: ground objects adding up on the grid, the hidden 3D window putting the
// work off, the point-in-polygon tests, and whether the terrain is in use.
#include <gtest/gtest.h>

#include <cmath>

#include "TestDocument.h"
#include "model/PlanarPolygons.h"
#include "model/Services.h"
#include "model/TopoGrid.h"

namespace {

class TopoGrid : public ::testing::Test {
 protected:
  static inline bool sVisible = true;
  TestDocument doc;
  LiveViewHost saved;
  uint8_t savedRenderOnShow = 0;

  void SetUp() override {
    saved = gLiveViewHost;
    savedRenderOnShow = gRenderOnShow;
    sVisible = true;
    gLiveViewHost.isVisible = [] { return sVisible; };
    // 100 x 100 feet around the origin, a node every 10 feet.
    doc.ds()->planBounds = {-600, -600, 600, 600};
    doc.ds()->topoGridSpacing = 120;
    SetupTopoGrid();
  }
  void TearDown() override {
    FreeTopoGrid();
    gLiveViewHost = saved;
    gRenderOnShow = savedRenderOnShow;
  }
  static float Node(int32_t r, int32_t c) { return gTopographyGrid[r * (gTopoColumnCnt + 1) + c]; }

  Objex* Region(float x0, float z0, float x1, float z1, float height) {
    Objex* o = doc.addObject(kObjTopography, true, {{x0, z0}, {x1, z0}, {x1, z1}, {x0, z1}}, doc.first);
    o->width = height;
    return o;
  }
  Objex* Slope(int16_t type, float x0, float z0, float x1, float z1, float degrees) {
    Objex* o = doc.addObject(type, false, {{x0, z0}, {x1, z1}}, doc.second);
    o->firstPoint->segmentFloats[0] = degrees;
    return o;
  }
};

TEST_F(TopoGrid, ALotOfAHundredFeetAtTenFootSpacingHasTenByTenCells) {
  EXPECT_EQ(gTopoRowCnt, 10);
  EXPECT_EQ(gTopoColumnCnt, 10);
  EXPECT_TRUE(LotElevationStale());
  // A spacing that a float holds only nearly still divides whole inches into whole cells:
  // 12 and 24 inches at 1.2 make 10 and 20, not 9 and 19.
  doc.ds()->planBounds = {0, 0, 24.7f, 12.9f};
  doc.ds()->topoGridSpacing = 1.2f;
  SetupTopoGrid();
  EXPECT_EQ(gTopoRowCnt, 20);
  EXPECT_EQ(gTopoColumnCnt, 10);
}

TEST_F(TopoGrid, OverlappingRegionsAddUpAtTheirNodes) {
  // Rows and columns count from the top left: node (r, c) at x = -600 + 120c, z = -600 + 120r.
  Region(-610, -610, 10, 10, 24);    // nodes 0..5 both ways
  Region(-250, -250, 250, 250, 12);  // nodes 3..7 both ways
  SetLotElevation();
  EXPECT_FALSE(LotElevationStale());
  const struct {
    int32_t r, c;
    float height;
  } cases[] = {{0, 0, 24}, {5, 5, 36}, {3, 4, 36}, {6, 6, 12}, {2, 7, 0}, {7, 5, 12}, {7, 2, 0}, {10, 10, 0}, {4, 9, 0}};
  for (const auto& k : cases) EXPECT_FLOAT_EQ(Node(k.r, k.c), k.height) << k.r << ", " << k.c;
  // Recomputing starts from 0: the heights do not grow.
  SetLotElevation();
  EXPECT_FLOAT_EQ(Node(5, 5), 36);
}

TEST_F(TopoGrid, TheRowsRunDownThePlanFromItsTop) {
  // An off-centre rectangle: rows start at its top, not at the negated bottom.
  doc.ds()->planBounds = {0, 0, 1200, 600};
  SetupTopoGrid();
  ASSERT_EQ(gTopoRowCnt, 10);
  ASSERT_EQ(gTopoColumnCnt, 5);
  Region(-10, 590, 1000, 1300, 8);  // from node row 5 down
  SetLotElevation();
  EXPECT_FLOAT_EQ(Node(4, 2), 0);
  EXPECT_FLOAT_EQ(Node(5, 2), 8);
  EXPECT_FLOAT_EQ(Node(10, 0), 8);
}

TEST_F(TopoGrid, ASlopeSectionIsLevelBehindItFallsAlongItAndStaysLowBeyond) {
  // From x = -120 to x = 80 (200 inches) at 10 degrees, along +x.
  Slope(kObjSlopeLotSection, -120, 0, 80, 0, 10);
  SetLotElevation();
  const float fall = std::tan(10 * 3.14159265f / 180);
  const struct {
    int32_t c;
    float height;
  } cases[] = {{0, 0}, {3, 0}, {4, 0}, {5, -120 * fall}, {6, -200 * fall}, {10, -200 * fall}};
  for (const auto& k : cases)
    for (int32_t r : {0, 5, 10}) EXPECT_NEAR(Node(r, k.c), k.height, 0.01) << r << ", " << k.c;
  EXPECT_NEAR(Node(5, 10), -35.27, 0.01);
}

TEST_F(TopoGrid, AnEntireLotFallsTowardsItsSecondPointAndRisesBehindTheFirst) {
  Slope(kObjEntireLot, 0, 0, 0, 100, 45);
  SetLotElevation();
  EXPECT_NEAR(Node(5, 3), 0, 0.01);
  EXPECT_NEAR(Node(6, 3), -120, 0.05);
  EXPECT_NEAR(Node(0, 0), 600, 0.1);
}

TEST_F(TopoGrid, SlopeContributionsOfTenThousandOrMoreAreLeftOut) {
  // At 89.9 degrees the heights pass 10000 a few inches off the line: only the nodes on the
  // line take the slope.
  Slope(kObjEntireLot, 0, 0, 0, 100, 89.9f);
  Region(-700, -700, 700, 700, 20);
  SetLotElevation();
  EXPECT_NEAR(Node(5, 3), 20, 0.1);
  EXPECT_FLOAT_EQ(Node(7, 3), 20);
  EXPECT_FLOAT_EQ(Node(0, 0), 20);
}

TEST_F(TopoGrid, WithTheWindowHiddenOnlyTheSceneIsMarkedStaleUntilItIsShown) {
  Region(-250, -250, 250, 250, 12);
  SetLotElevation();
  sVisible = false;
  gRenderOnShow = 0;
  Region(-610, -610, 10, 10, 24);
  SetLotElevation();
  EXPECT_EQ(gRenderOnShow, 1);
  EXPECT_FLOAT_EQ(Node(0, 0), 0);  // untouched
  EXPECT_FLOAT_EQ(Node(5, 5), 12);
  EXPECT_TRUE(LotElevationStale());
  UpdateStaleLotElevation();  // still hidden: nothing
  EXPECT_FLOAT_EQ(Node(0, 0), 0);
  sVisible = true;
  UpdateStaleLotElevation();
  EXPECT_FLOAT_EQ(Node(0, 0), 24);
  EXPECT_FLOAT_EQ(Node(5, 5), 36);
  EXPECT_FALSE(LotElevationStale());
}

TEST_F(TopoGrid, NoGridOrNoDocumentComputesNothing) {
  FreeTopoGrid();
  Region(-250, -250, 250, 250, 12);
  SetLotElevation();  // no grid: nothing to fill, no crash
  EXPECT_EQ(gTopographyGrid, nullptr);
  EXPECT_FALSE(TopoInUse());
  EXPECT_EQ(gTopoInUse, 0);
}

TEST_F(TopoGrid, TerrainIsInUseWithAGroundObjectOrAFileWhenAGridExists) {
  EXPECT_FALSE(TopoInUse());
  doc.ds()->topoFlag1 = 1;  // the stored flag alone does not count
  EXPECT_FALSE(TopoInUse());
  snprintf(doc.ds()->topoPath, sizeof doc.ds()->topoPath, "%s", "/tmp/lot.topo");
  EXPECT_TRUE(TopoInUse());
  EXPECT_EQ(gTopoInUse, 1);
  doc.ds()->topoPath[0] = 0;
  // A region below the top level of a layer does not count; one on it does.
  Objex* group = doc.addObject(kObjGroup, false, {}, doc.third);
  Objex* inner = Region(0, 0, 10, 10, 1);
  UnlinkObject(inner);
  AppendChildToObject(inner, group);
  EXPECT_FALSE(TopoInUse());
  Slope(kObjSlopeLotSection, 0, 0, 10, 0, 5);
  EXPECT_TRUE(TopoInUse());
}

TEST(PointInPolygon, FloatAndIntegerTestsAgreeOnEdgesAndCorners) {
  // A square of 10 from (0, 0), as six-float records and as POINTs.
  const PlanarPolyPoint square[4] = {{0, 0, 0, 0, 0, 0}, {10, 0, 0, 0, 0, 0}, {10, 0, 10, 0, 0, 0}, {0, 0, 10, 0, 0, 0}};
  const POINT corners[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const struct {
    int32_t x, z;
    int inside;
  } cases[] = {{5, 5, 1},  {-1, 5, 0}, {11, 5, 0}, {5, -1, 0}, {5, 11, 0},
               {5, 0, 0},  // on the upper (smaller z) edge: outside
               {5, 10, 1},  // on the lower edge: inside
               {0, 5, 0},  {10, 5, 1}};
  for (const auto& k : cases) {
    const float p[2] = {static_cast<float>(k.x), static_cast<float>(k.z)};
    EXPECT_EQ(IsPointInsideXZPolygon(p, square, 4), k.inside) << k.x << ", " << k.z;
    EXPECT_EQ(IsPointInsideWinPolygon({k.x, k.z}, corners, 4), k.inside) << k.x << ", " << k.z;
  }
  const float p[2] = {5, 5};
  EXPECT_EQ(IsPointInsideXZPolygon(p, static_cast<const PlanarPolyPoint*>(nullptr), 4), 0);
  EXPECT_EQ(IsPointInsideXZPolygon(nullptr, square, 4), 0);
  EXPECT_EQ(IsPointInsideWinPolygon({5, 5}, corners, 0), 0);
  EXPECT_EQ(IsPointInsideWinPolygon({5, 5}, nullptr, 4), 0);
  // The integer test rounds the crossing to the nearest whole number: a slanted edge from
  // (0, 0) to (3, 10) crosses z = 5 at 1.5, taken as 2.
  const POINT slanted[3] = {{0, 0}, {3, 10}, {-10, 10}};
  EXPECT_EQ(IsPointInsideWinPolygon({2, 5}, slanted, 3), 1);
  EXPECT_EQ(IsPointInsideWinPolygon({3, 5}, slanted, 3), 0);
}

TEST(PointInPolygon, IntegerPointsFarApartStillGiveAnAnswer) {
  // Coordinates whose differences do not fit 32 bits.
  const POINT square[4] = {{-2000000000, -2000000000}, {2000000000, -2000000000}, {2000000000, 2000000000},
                           {-2000000000, 2000000000}};
  EXPECT_EQ(IsPointInsideWinPolygon({0, 0}, square, 4), 1);
  EXPECT_EQ(IsPointInsideWinPolygon({-2147483647, 0}, square, 4), 0);
  EXPECT_EQ(IsPointInsideWinPolygon({2147483647, 0}, square, 4), 0);
  const POINT triangle[3] = {{-2147483647, -2147483647}, {2147483647, -2147483647}, {2147483647, 2147483647}};
  EXPECT_EQ(IsPointInsideWinPolygon({1000000000, 0}, triangle, 3), 1);
  EXPECT_EQ(IsPointInsideWinPolygon({-2147483647, 2147483647}, triangle, 3), 0);
}

}  // namespace
