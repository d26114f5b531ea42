// Offset copies, bands, the inside test and the small object utilities.
#include <gtest/gtest.h>

#include <vector>

#include "TestDocument.h"
#include "model/Delete.h"
#include "model/ParallelObjects.h"

namespace {

struct ParallelObjectsTest : ::testing::Test {
  TestDocument doc;
  static std::vector<Poinz*> points(Objex* o) {
    std::vector<Poinz*> v;
    for (Poinz* p = o->firstPoint; p; p = p->next) v.push_back(p);
    return v;
  }
  static void ExpectPoints(Objex* o, std::initializer_list<std::pair<float, float>> xz) {
    auto v = points(o);
    ASSERT_EQ(v.size(), xz.size());
    ASSERT_EQ(o->pointCount, static_cast<int32_t>(xz.size()));
    size_t i = 0;
    for (auto [x, z] : xz) {
      EXPECT_NEAR(v[i]->position[0], x, 1e-4) << i;
      EXPECT_NEAR(v[i]->position[2], z, 1e-4) << i;
      ++i;
    }
  }
  int objectsOn(Layer* l) {
    int n = 0;
    for (Objex* o = l->firstObject; o; o = o->next) ++n;
    return n;
  }
};

TEST_F(ParallelObjectsTest, ClosedSquareOffsetByExactlyTheDistance) {
  Objex* sq = doc.addObject(kObjClosedPoly, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  Objex* in = CreateParallelObject(sq, kParallelSide8, 10, 1);
  ASSERT_NE(in, nullptr);
  ExpectPoints(in, {{10, 10}, {90, 10}, {90, 90}, {10, 90}});
  EXPECT_EQ(in->layer, doc.first);
  EXPECT_EQ(in->closed, 1);
  EXPECT_FLOAT_EQ(in->bounds3D.floatLeft, 10);
  Objex* out = CreateParallelObject(sq, kParallelSide7, 10, 1);
  ExpectPoints(out, {{-10, -10}, {110, -10}, {110, 110}, {-10, 110}});
}

TEST_F(ParallelObjectsTest, ParallelAndFarCornersFallBackToTheOffsetPoint) {
  Objex* line = doc.addObject(kObjOpenPoly, false, {{0, 0}, {50, 0}, {100, 0}});
  line->firstPoint->next->position[1] = 7;
  Objex* copy = CreateParallelObject(line, kParallelSide8, 10, 0);
  ExpectPoints(copy, {{0, 10}, {50, 10}, {100, 10}});
  EXPECT_FLOAT_EQ(points(copy)[2]->position[1], 7);  // height of the incoming segment's start
  EXPECT_EQ(objectsOn(doc.first), 1);
  DeleteObj(copy);

  // A hairline spike: its corner lies far outside the plan bounds.
  Objex* spike = doc.addObject(kObjOpenPoly, false, {{0, 0}, {1000, 0.5f}, {0, 1}});
  Objex* s = CreateParallelObject(spike, kParallelSide8, 10, 1);
  auto v = points(s);
  EXPECT_LT(v[1]->position[0], 1100);
  EXPECT_GT(v[1]->position[0], 900);
}

TEST_F(ParallelObjectsTest, BandOfAnOpenLine) {
  Objex* line = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  uint32_t sourceID = line->objectID;
  Objex* band = MakeParallel(line, 10, 1);  // 10 inches = 20 plan units
  ASSERT_NE(band, nullptr);
  EXPECT_NE(band->objectID, sourceID);
  EXPECT_EQ(objectsOn(doc.first), 1);
  EXPECT_EQ(doc.first->firstObject, band);
  EXPECT_EQ(band->closed, 1);
  EXPECT_EQ(band->levels, 1);
  ExpectPoints(band, {{0, 10}, {100, 10}, {100, -10}, {0, -10}});
  for (Poinz* p = band->firstPoint; p; p = p->next) EXPECT_EQ(p->owner, band);

  Objex* other = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  other->extraLong = 5;
  EXPECT_EQ(MakeParallel(other, 10, 1), other);
  EXPECT_EQ(other->pointCount, 2);
  EXPECT_EQ(MakeParallel(nullptr, 10, 1), nullptr);
}

TEST_F(ParallelObjectsTest, BandOnOneSideOfAClosedOutline) {
  Objex* sq = doc.addObject(kObjWall, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  sq->extraLong = 2;
  Objex* band = MakeParallel(sq, 5, 1);
  EXPECT_EQ(band, sq);
  EXPECT_EQ(band->pointCount, 10);  // 4 + closing point, twice
  EXPECT_EQ(objectsOn(doc.first), 1);
  auto v = points(band);
  EXPECT_FLOAT_EQ(v[4]->position[0], 0);
  EXPECT_FLOAT_EQ(v[5]->position[0], 10);  // the inner ring, backward from its closing point
  EXPECT_FLOAT_EQ(v[5]->position[2], 10);
}

TEST_F(ParallelObjectsTest, OpenAndClosedWrappersRefuseTheOtherKind) {
  Objex* open = doc.addObject(kObjOpenPoly, false, {{0, 0}, {10, 0}});
  Objex* closed = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}});
  EXPECT_EQ(MakeClosedParallel(open, 1, 7), nullptr);
  EXPECT_EQ(MakeOpenParallel(closed, 1, 7), nullptr);
  EXPECT_NE(MakeOpenParallel(open, 1, 7), nullptr);
}

TEST_F(ParallelObjectsTest, InsideTestAndDirectionFix) {
  Objex* cw = doc.addObject(kObjClosedPoly, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  Objex* ccw = doc.addObject(kObjClosedPoly, true, {{0, 0}, {0, 100}, {100, 100}, {100, 0}});
  int16_t a = GetParallelDirection(cw), b = GetParallelDirection(ccw);
  EXPECT_EQ(a, -b);
  Objex* outside = a == -1 ? cw : ccw;
  EXPECT_EQ(VerifyObjectDirection(outside, 1), 0);
  EXPECT_EQ(GetParallelDirection(outside), 1);
  EXPECT_EQ(VerifyObjectDirection(outside, 1), 1);
  EXPECT_EQ(GetParallelDirection(nullptr), 1);
}

TEST_F(ParallelObjectsTest, DetailStyleAppliesToPlainDetailShapes) {
  Objex* rect = doc.addObject(kObjDetail, true, {{0, 0}, {10, 0}, {10, 10}});
  rect->subtype = 1;
  Objex* openShape = doc.addObject(kObjDetail, false, {{0, 0}, {10, 0}});
  openShape->subtype = 3;
  Objex* arc = doc.addObject(kObjDetail, true, {{0, 0}, {10, 0}});
  arc->subtype = 5;
  for (Objex* o : {rect, openShape, arc}) ChangePattern(o, 9);
  EXPECT_EQ(rect->fillPattern, 9);
  EXPECT_EQ(openShape->fillPattern, 0);
  EXPECT_EQ(arc->fillPattern, 0);
  doc.ds()->newLineWeight = 4;
  SetLineWeight(rect);
  EXPECT_FLOAT_EQ(rect->width, 4);
}

TEST_F(ParallelObjectsTest, AxisSwapsFlatteningAndLookup) {
  Objex* o = doc.addObject(kObjOpenPoly, false, {{1, 3}});
  Poinz* p = o->firstPoint;
  p->position[1] = 2;
  p->outHandle[1] = 5;
  ConvertXYtoXZ(o);
  EXPECT_FLOAT_EQ(p->position[1], 3);
  EXPECT_FLOAT_EQ(p->position[2], 2);
  EXPECT_FLOAT_EQ(p->outHandle[2], 5);
  ConvertXYtoZY(o);
  EXPECT_FLOAT_EQ(p->position[0], 2);
  EXPECT_FLOAT_EQ(p->position[2], 1);

  Objex* child = CreateObject(kObjOpenPoly, 0, 1, nullptr, nullptr, 1, 0, 0, nullptr, nullptr, nullptr, o,
                              doc.first, nullptr);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 0, 8, 9, 0, 0, 0, 0, 4, 0, child), child);
  o->firstChild = child;
  FlattenObjectToXZPlane(o, 1);
  EXPECT_FLOAT_EQ(p->position[1], 0);
  EXPECT_FLOAT_EQ(p->position[2], 3);
  EXPECT_FLOAT_EQ(child->firstPoint->position[2], 8);
  EXPECT_FLOAT_EQ(child->firstPoint->linkVector[2], 4);

  EXPECT_EQ(FindObjectWithID(o->objectID), o);
  EXPECT_EQ(FindObjectWithID(child->objectID), nullptr);
}

TEST_F(ParallelObjectsTest, CentringMovesTheSelectionToThePlanCentre) {
  Objex* o = doc.addObject(kObjClosedPoly, true, {{1000, 1000}, {1100, 1000}, {1100, 1200}});
  for (Poinz* p = o->firstPoint; p; p = p->next) p->selected = 1;
  FloatRect rect{};
  CenterObjects(1, &rect);
  EXPECT_FLOAT_EQ(o->firstPoint->position[0], -50);
  EXPECT_FLOAT_EQ(o->firstPoint->position[2], -100);
  FloatRect none{};
  for (Poinz* p = o->firstPoint; p; p = p->next) p->selected = 0;
  CenterObjects(1, &none);
  EXPECT_FLOAT_EQ(none.floatLeft, 0);
  EXPECT_FLOAT_EQ(none.floatRight, 0);
}

}  // namespace
