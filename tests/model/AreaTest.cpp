// Outline areas, floor totals and winding.
#include <gtest/gtest.h>

#include "TestDocument.h"
#include "model/Area.h"
#include "model/ExtrudeFlip.h"

namespace {

struct AreaTest : ::testing::Test {
  TestDocument doc;
  // 120 inches square at the default plan scale.
  Objex* room(int16_t type = kObjClosedPoly, float at = 0) {
    return doc.addObject(type, true, {{at, 0}, {at + 240, 0}, {at + 240, 240}, {at, 240}});
  }
};

TEST_F(AreaTest, SquareFeetAndSquareMetres) {
  Objex* o = room();
  EXPECT_FLOAT_EQ(ComputeObjectStraightArea(o), 100);
  EXPECT_FLOAT_EQ(ComputeObjectCurvedArea(o), 100);
  doc.ds()->measureSystem = kMeasureMetric;
  EXPECT_NEAR(ComputeObjectStraightArea(o), 9.290f, 5e-4);
}

TEST_F(AreaTest, FloorTotalCountsExteriorWallsOnly) {
  Objex* outer = room(kObjWall);
  outer->subtype = kSubExteriorWall;
  Objex* second = room(kObjWall, 1000);
  second->subtype = kSubExteriorWall;
  room(kObjWall, 2000);  // interior
  EXPECT_FLOAT_EQ(ComputeSquareFootage(doc.first, kObjWall), 200);
  EXPECT_FLOAT_EQ(ComputeSquareFootage(doc.second, kObjWall), 0);
}

TEST_F(AreaTest, ShortOutlinesAndWinding) {
  Objex* line = doc.addObject(kObjClosedPoly, true, {{0, 0}, {240, 0}});
  EXPECT_FLOAT_EQ(ComputeObjectStraightArea(line), 0);
  EXPECT_TRUE(IsObjectClockwise(line));
  EXPECT_FALSE(IsObjectClockwise(nullptr));

  Objex* o = room();
  bool before = IsObjectClockwise(o);
  ReverseObjectDirection(o);
  EXPECT_NE(IsObjectClockwise(o), before);
  EXPECT_FLOAT_EQ(ComputeObjectStraightArea(o), 100);
}

TEST_F(AreaTest, CurvedAreaFollowsTheBulge) {
  Objex* o = room();
  // Bow the first edge outward (toward -z).
  o->firstPoint->outHandle[2] = -200;
  o->firstPoint->next->inHandle[2] = 200;
  EXPECT_GT(ComputeObjectCurvedArea(o), ComputeObjectStraightArea(o));
  o->firstPoint->outHandle[2] = 200;
  o->firstPoint->next->inHandle[2] = -200;
  EXPECT_LT(ComputeObjectCurvedArea(o), ComputeObjectStraightArea(o));

  // Floor totals: a deck counts its straight outline, other kinds follow their curves.
  Objex* deck = doc.addObject(kObjDeck, true, {{0, 0}, {240, 0}, {240, 240}, {0, 240}}, doc.second);
  deck->firstPoint->outHandle[2] = -200;
  deck->firstPoint->next->inHandle[2] = 200;
  EXPECT_FLOAT_EQ(ComputeSquareFootage(doc.second, kObjDeck), 100);
  EXPECT_FLOAT_EQ(ComputeSquareFootage(doc.first, kObjClosedPoly), ComputeObjectCurvedArea(o));
  EXPECT_LT(ComputeSquareFootage(doc.first, kObjClosedPoly), 100);
}

}  // namespace
