// Flat vertex arrays of point rings.
#include <gtest/gtest.h>

#include "TestDocument.h"
#include "model/Services.h"
#include "model/PlanarPolygons.h"
#include "model/RepeatBound.h"

namespace {

struct PlanarPolygonsTest : ::testing::Test {
  TestDocument doc;
  Objex* square() {
    Objex* o = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    float u = 0;
    for (Poinz* p = o->firstPoint; p; p = p->next, u += 0.25f) p->texU = u, p->texV = 1 - u;
    return o;
  }
  static void Curve(Objex* o) {
    o->firstPoint->outHandle[2] = -5;
    o->firstPoint->next->inHandle[2] = 5;
  }
};

TEST_F(PlanarPolygonsTest, StraightRingGivesItsPointsWithTheirOwnUV) {
  Objex* o = square();
  int32_t count = 4;
  PlanarPolyPoint* poly = CreatePlanarPolygon(o->firstPoint, &count);
  ASSERT_NE(poly, nullptr);
  ASSERT_EQ(count, 4);
  float xs[] = {0, 10, 10, 0}, zs[] = {0, 0, 10, 10};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(poly[i].x, xs[i]);
    EXPECT_FLOAT_EQ(poly[i].z, zs[i]);
    EXPECT_FLOAT_EQ(poly[i].u, 0.25f * i);
    EXPECT_FLOAT_EQ(poly[i].v, 1 - 0.25f * i);
    EXPECT_EQ(poly[i].flag, 0);
  }
  DeletePlanarPolygon(poly);

  count = 4;
  poly = CreatePlanarPolygonReverseOrder(o->firstPoint, &count);
  ASSERT_EQ(count, 4);
  EXPECT_FLOAT_EQ(poly[0].x, 0);
  EXPECT_FLOAT_EQ(poly[0].z, 10);
  EXPECT_FLOAT_EQ(poly[1].x, 10);
  EXPECT_FLOAT_EQ(poly[1].z, 10);
  DeletePlanarPolygon(poly);
}

TEST_F(PlanarPolygonsTest, CurvedSegmentIsSampled) {
  Objex* o = square();
  Curve(o);
  int32_t count = 4;
  PlanarPolyPoint* poly = CreatePlanarPolygon(o->firstPoint, &count);
  ASSERT_EQ(count, 13);
  // Frame of zero size counts as 1: u and v are x and z themselves.
  EXPECT_FLOAT_EQ(poly[5].u, poly[5].x);
  EXPECT_FLOAT_EQ(poly[5].v, poly[5].z);
  EXPECT_LT(poly[5].z, 0);  // the bulge
  EXPECT_FLOAT_EQ(poly[10].x, 10);
  DeletePlanarPolygon(poly);

  gRealTimeDraw = 1;
  count = 4;
  poly = CreatePlanarPolygon(o->firstPoint, &count);
  gRealTimeDraw = 0;
  EXPECT_EQ(count, 4);
  DeletePlanarPolygon(poly);
}

TEST_F(PlanarPolygonsTest, OnlyTheClosingSegmentCurvedIsSampledToo) {
  Objex* o = square();
  Poinz* last = o->firstPoint->next->next->next;
  last->outHandle[0] = -5;
  o->firstPoint->inHandle[0] = -5;
  int32_t count = 4;
  PlanarPolyPoint* poly = CreatePlanarPolygon(o->firstPoint, &count);
  ASSERT_EQ(count, 13);
  for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(poly[i].u, 0.25f * i);
  EXPECT_FLOAT_EQ(poly[3].x, 0);
  EXPECT_FLOAT_EQ(poly[3].z, 10);
  EXPECT_LT(poly[6].x, 0);  // the bulge of the closing segment
  DeletePlanarPolygon(poly);
}

// At the finest curve resolution a design can hold (32767 pieces a curve) every segment of a
// curved ring is sampled whole at the bound on curve samples, in linear time: the array is not
// copied once per vertex.
TEST_F(PlanarPolygonsTest, TheFinestCurveResolutionIsSampledAtTheBoundInLinearTime) {
  Objex* o = square();
  for (Poinz* p = o->firstPoint; p; p = p->next) p->outHandle[2] = p->inHandle[2] = 5;
  doc.ds()->curveSegments = 32767;
  int32_t count = 4;
  PlanarPolyPoint* poly = CreatePlanarPolygon(o->firstPoint, &count);
  ASSERT_NE(poly, nullptr);
  EXPECT_GE(count, 4 * kMaxRepeats);
  EXPECT_LE(count, 4 * (kMaxRepeats + 11));  // t runs to 1.01
  EXPECT_FLOAT_EQ(poly[0].x, 0);
  EXPECT_FLOAT_EQ(poly[count - 1].x, 0);  // the closing segment ends at the first point
  DeletePlanarPolygon(poly);
}

TEST_F(PlanarPolygonsTest, ShortRingsAndShortLists) {
  Objex* two = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}});
  int32_t count = 2;
  EXPECT_EQ(CreatePlanarPolygon(two->firstPoint, &count), nullptr);
  EXPECT_EQ(count, 2);

  Objex* o = square();
  count = 5;  // the list holds only 4
  PlanarPolyPoint* poly = CreatePlanarPolygon(o->firstPoint, &count);
  EXPECT_EQ(count, 4);
  DeletePlanarPolygon(poly);
}

TEST_F(PlanarPolygonsTest, StoreFunctionsGrowOneVertexAtATime) {
  PlanarPolyPoint* array = nullptr;
  int32_t size = 0;
  EXPECT_EQ(StorePolyPoint(&array, 1, 2, 3, &size, 7, 0.5f, 0.25f), 1);
  EXPECT_EQ(StorePoint(&array, 4, 5, 6, &size, 0, 9), array);
  EXPECT_EQ(size, static_cast<int32_t>(2 * sizeof(PlanarPolyPoint)));
  EXPECT_EQ(array[0].flag, 7);
  EXPECT_FLOAT_EQ(array[1].y, 5);
  EXPECT_EQ(array[1].flag, 9);
  EXPECT_EQ(StorePolyPoint(nullptr, 0, 0, 0, &size, 0, 0, 0), 0);
  DeletePlanarPolygon(array);
  DeletePlanarPolygon(nullptr);
}

}  // namespace
