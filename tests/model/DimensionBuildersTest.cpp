// Dimension builders: known geometry, the fixed dimension style and the grouped text box.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "ViewStateGuard.h"
#include "model/DimensionBuilders.h"
#include "model/DimensionRecords.h"
#include "model/DocState.h"

namespace {

using P3 = std::array<float, 3>;

void ExpectPoints(const Objex* o, std::vector<P3> expected) {
  ASSERT_EQ(o->pointCount, static_cast<int32_t>(expected.size()));
  const Poinz* p = o->firstPoint;
  for (const P3& e : expected) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(p->position[i], e[i], 1e-3) << "axis " << i;
    p = p->next;
  }
}

int CountObjects(const Layer* l) {
  int n = 0;
  for (const Objex* o = l->firstObject; o; o = o->next) ++n;
  return n;
}

}  // namespace

TEST(BuildLengthDim, KnownAnswerInEachWorkingPlane) {
  TestDocument doc;
  doc.ds()->viewPlane = 1;
  Objex* front = BuildLengthDim(0, 0, 100, 0, 50, -30, doc.first);
  ASSERT_NE(front, nullptr);
  ExpectPoints(front, {{100, 0, 0}, {100, -30, 0}, {0, -30, 0}, {0, 0, 0}});

  doc.ds()->viewPlane = 2;
  Objex* plan = BuildLengthDim(0, 0, 100, 0, 50, -30, doc.first);
  ASSERT_NE(plan, nullptr);
  ExpectPoints(plan, {{100, 0, 0}, {100, 0, -30}, {0, 0, -30}, {0, 0, 0}});

  doc.ds()->viewPlane = 3;
  Objex* side = BuildLengthDim(0, 0, 100, 0, 50, -30, doc.first);
  ExpectPoints(side, {{0, 0, 100}, {0, -30, 100}, {0, -30, 0}, {0, 0, 0}});
  EXPECT_EQ(CountObjects(doc.first), 3);
  EXPECT_MODEL_SOUND();
}

TEST(BuildLengthDim, StyleAndOtherSide) {
  TestDocument doc;
  doc.ds()->viewPlane = 1;
  doc.ds()->newPenColor = RGBColor{1, 2, 3};
  doc.ds()->dimLineColor = RGBColor{4, 5, 6};
  doc.ds()->newObjectPlanMask = 256;
  doc.ds()->newPenStyle = 2;
  Objex* dim = BuildLengthDim(0, 0, 100, 0, 50, 40, doc.first);
  ASSERT_NE(dim, nullptr);
  ExpectPoints(dim, {{100, 0, 0}, {100, 40, 0}, {0, 40, 0}, {0, 0, 0}});
  EXPECT_EQ(dim->type, kObjLengthDim);
  EXPECT_EQ(dim->closed, 0);
  EXPECT_EQ(dim->penColor, (RGBColor{1, 2, 3}));
  EXPECT_EQ(dim->fillColor, (RGBColor{4, 5, 6}));
  EXPECT_EQ(dim->penStyle, 6);
  EXPECT_EQ(dim->width, 1.0f);
  EXPECT_EQ(dim->planMask, 256);

  // A drag point on the measured line collapses the dimension onto it.
  Objex* flat = BuildLengthDim(0, 0, 100, 0, 50, 0, doc.first);
  ExpectPoints(flat, {{100, 0, 0}, {100, 0, 0}, {0, 0, 0}, {0, 0, 0}});
}

TEST(BuildOffsetDim, AlongEitherAxis) {
  TestDocument doc;
  Objex* alongZ = BuildOffsetDim(0, 0, 100, 50, 200, 300, doc.first, 1);
  ASSERT_NE(alongZ, nullptr);
  EXPECT_EQ(alongZ->type, kObjOffsetDim);
  ExpectPoints(alongZ, {{100, 0, 50}, {200, 0, 50}, {200, 0, 0}, {0, 0, 0}});
  Objex* alongX = BuildOffsetDim(0, 0, 100, 50, 200, 300, doc.first, 0);
  ASSERT_NE(alongX, nullptr);
  EXPECT_EQ(alongX->type, kObjOffsetDimHorizontal);
  ExpectPoints(alongX, {{100, 0, 50}, {100, 0, 300}, {0, 0, 300}, {0, 0, 0}});
  EXPECT_EQ(alongX->fillColor, doc.ds()->newFillColor);
}

TEST(DimensionBuilders, OtherKindsAndRefusals) {
  TestDocument doc;
  EXPECT_EQ(BuildDiameterDim(10, 20, 10, 20, doc.first), nullptr);
  EXPECT_EQ(BuildLengthDim(0, 0, 0, 0, 5, 5, doc.first), nullptr);
  EXPECT_EQ(BuildLeaderDim(0, 0, 10, 10, 20, 0, nullptr), nullptr);
  EXPECT_EQ(CountObjects(doc.first), 0);

  Objex* diameter = BuildDiameterDim(0, 0, 100, 0, doc.first);
  ASSERT_NE(diameter, nullptr);
  EXPECT_EQ(diameter->subtype, kObjDiameterDim);
  ExpectPoints(diameter, {{0, 0, 0}, {100, 0, 0}});
  Objex* leader = BuildLeaderDim(0, 0, 10, 10, 20, 10, doc.first);
  ASSERT_NE(leader, nullptr);
  EXPECT_EQ(leader->subtype, kObjLeaderDim);
  ExpectPoints(leader, {{0, 0, 0}, {10, 0, 10}, {20, 0, 10}});
  Objex* angle = BuildAngleDim(0, 0, 10, 0, 0, 10, 5, 5, 99, 99, doc.first);
  ASSERT_NE(angle, nullptr);
  EXPECT_EQ(angle->type, kObjAngleDim);
  ExpectPoints(angle, {{0, 0, 0}, {10, 0, 0}, {0, 0, 10}, {5, 0, 5}});

  ZLKDocumentModel* saved = gCurDocument;
  gCurDocument = nullptr;
  EXPECT_EQ(BuildDiameterDim(0, 0, 100, 0, doc.first), nullptr);
  gCurDocument = saved;
  EXPECT_MODEL_SOUND();
}

TEST(AddDimensionInfo, TextBoxIsCentredAndGrouped) {
  TestDocument doc;
  ViewStateGuard view;
  doc.ds()->viewPlane = 2;
  doc.ds()->dimFlags = 0x55;
  doc.ds()->setting27 = 1.5f;
  doc.ds()->setting28 = 2.5f;
  doc.ds()->newPenColor = RGBColor{7, 7, 7};
  Objex* other = doc.addObject(kObjLine, false, {{500, 500}, {600, 500}});
  other->firstPoint->selected = 1;
  Objex* dim = BuildDiameterDim(0, 0, 100, 0, doc.first);
  ASSERT_EQ(AddDimensionInfo(dim, 100, 50, 1), dim);
  auto* info = static_cast<DimensionInfoData*>(dim->typeData);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->flags, 0x55);
  EXPECT_EQ(info->values[0], 1.5f);
  EXPECT_EQ(info->values[1], 2.5f);
  Objex* box = info->textBox;
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->type, kObjDimensionInfo);
  EXPECT_EQ(box->width, 0);
  EXPECT_EQ(box->penColor, (RGBColor{7, 7, 7}));
  EXPECT_EQ(box->fillColor, dim->fillColor);
  ASSERT_NE(box->typeData, nullptr);
  EXPECT_EQ(static_cast<DimensionTextData*>(box->typeData)->dimension, dim);
  float minX = 1e9, maxX = -1e9, minZ = 1e9, maxZ = -1e9;
  for (const Poinz* p = box->firstPoint; p; p = p->next) {
    minX = std::min(minX, p->position[0]), maxX = std::max(maxX, p->position[0]);
    minZ = std::min(minZ, p->position[2]), maxZ = std::max(maxZ, p->position[2]);
    EXPECT_EQ(p->position[1], 0);
  }
  EXPECT_EQ(minX, 80);
  EXPECT_EQ(maxX, 120);
  EXPECT_EQ(minZ, 40);
  EXPECT_EQ(maxZ, 60);
  // Only the dimension and its box are grouped; the earlier selection was dropped.
  ASSERT_NE(dim->parent, nullptr);
  EXPECT_EQ(dim->parent->type, kObjGroup);
  EXPECT_EQ(box->parent, dim->parent);
  EXPECT_EQ(other->parent, nullptr);
  EXPECT_EQ(CountObjects(doc.first), 2);
  EXPECT_MODEL_SOUND();
}

TEST(AddDimensionInfo, WithoutBoxAndAgain) {
  TestDocument doc;
  Objex* dim = BuildLeaderDim(0, 0, 10, 10, 20, 10, doc.first);
  AddDimensionInfo(dim, 0, 0, 0);
  ASSERT_NE(dim->typeData, nullptr);
  EXPECT_EQ(static_cast<DimensionInfoData*>(dim->typeData)->textBox, nullptr);
  EXPECT_EQ(dim->parent, nullptr);  // a single object is not grouped
  AddDimensionInfo(dim, 0, 0, 0);   // the first record is released, not leaked
  EXPECT_NE(dim->typeData, nullptr);
  EXPECT_EQ(AddDimensionInfo(nullptr, 0, 0, 1), nullptr);

  // A length dimension that already has a record gets a fresh one too.
  doc.ds()->dimFlags = 1;
  Objex* length = BuildLengthDim(0, 0, 100, 0, 50, -30, doc.first);
  AddDimensionInfo(length, 0, 0, 0);
  doc.ds()->dimFlags = 2;
  AddDimensionInfo(length, 0, 0, 0);
  ASSERT_NE(length->typeData, nullptr);
  EXPECT_EQ(static_cast<DimensionInfoData*>(length->typeData)->flags, 2);
}
