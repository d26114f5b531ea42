// Shape builders: point counts, order, handles and starting style.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "TestDocument.h"
#include "model/Delete.h"
#include "model/Globals.h"
#include "model/LineGeometry.h"
#include "model/ShapeBuilders.h"

namespace {

struct ShapeBuildersTest : ::testing::Test {
  TestDocument doc;
  static std::vector<Poinz*> points(Objex* o) {
    std::vector<Poinz*> v;
    for (Poinz* p = o->firstPoint; p; p = p->next) v.push_back(p);
    return v;
  }
  static float length(const float* h) { return std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]); }
};

TEST_F(ShapeBuildersTest, RectangleCornersAndBounds) {
  EXPECT_EQ(BuildRect(0, 0, 0, 0, doc.first, 0), nullptr);
  EXPECT_EQ(BuildRect(0, 0, 5, 5, nullptr, 0), nullptr);
  Objex* r = BuildRect(10, 20, 0, 0, doc.first, 0);
  ASSERT_NE(r, nullptr);
  auto v = points(r);
  ASSERT_EQ(v.size(), 4u);
  float expected[4][2] = {{10, 20}, {0, 20}, {0, 0}, {10, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(v[i]->position[0], expected[i][0]);
    EXPECT_FLOAT_EQ(v[i]->position[1], expected[i][1]);
    EXPECT_EQ(v[i]->selected, 1);
  }
  EXPECT_FLOAT_EQ(r->bounds.floatTop, 0);
  EXPECT_FLOAT_EQ(r->bounds.floatLeft, 0);
  EXPECT_FLOAT_EQ(r->bounds.floatBottom, 20);
  EXPECT_FLOAT_EQ(r->bounds.floatRight, 10);
  EXPECT_EQ(r->closed, 1);
  EXPECT_EQ(r->layer, doc.first);
  EXPECT_EQ(r->penStyle, 6);
  EXPECT_EQ(r->penColor, (RGBColor{65535, 65535, 65535}));
}

TEST_F(ShapeBuildersTest, StyleRuleUsesTheDocumentDefaults) {
  doc.ds()->newPenStyle = 3;
  doc.ds()->newLineWeight = 2;
  doc.ds()->newPenColor = RGBColor{1, 2, 3};
  int16_t saved = gPattern;
  gPattern = 12;
  Objex* line = BuildLine(0, 0, 10, 0, doc.first, 1);
  gPattern = saved;
  EXPECT_EQ(line->penStyle, 3);
  EXPECT_FLOAT_EQ(line->width, 2);
  EXPECT_EQ(line->fillPattern, 12);
  EXPECT_EQ(line->penColor, (RGBColor{1, 2, 3}));
  EXPECT_EQ(line->pointCount, 2);
  EXPECT_EQ(line->closed, 0);
}

TEST_F(ShapeBuildersTest, CircleAndEllipse) {
  Objex* c = BuildOval(0, 0, 100, 100, doc.first, 0);
  auto v = points(c);
  ASSERT_EQ(v.size(), 4u);
  float expected[4][2] = {{50, 0}, {100, 50}, {50, 100}, {0, 50}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(v[i]->position[0], expected[i][0], 1e-4);
    EXPECT_NEAR(v[i]->position[1], expected[i][1], 1e-4);
    EXPECT_NEAR(length(v[i]->inHandle), 82.84f, 0.01f);
    EXPECT_FLOAT_EQ(v[i]->inHandle[0], v[i]->outHandle[0]);
  }
  EXPECT_GT(v[0]->outHandle[0], 0);  // clockwise on the screen
  EXPECT_GT(v[1]->outHandle[1], 0);

  Objex* e = BuildOval(0, 0, 100, 50, doc.first, 0);
  auto w = points(e);
  EXPECT_NEAR(w[0]->outHandle[0], 82.84f, 0.01f);
  EXPECT_NEAR(w[1]->outHandle[1], 41.42f, 0.01f);
  EXPECT_NEAR(w[2]->position[1], 50, 1e-4);

  // Corners given the other way round: the same circle, each segment still a quarter of it.
  Objex* back = BuildOval(100, 100, 0, 0, doc.first, 0);
  auto b = points(back);
  ASSERT_EQ(b.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    float x = 0, y = 0, z = 0;
    GetSplineCoordinate(b[i], b[(i + 1) % 4], 0.5f, &x, &y, &z);
    EXPECT_NEAR(std::hypot(x - 50, y - 50), 50, 0.05) << "segment " << i;
  }
}

TEST_F(ShapeBuildersTest, RegularPolygonEndsOnTheCorner) {
  Objex* m = BuildMulti(0, 0, 10, 0, doc.first, 4, 0, 3);
  auto v = points(m);
  ASSERT_EQ(v.size(), 4u);
  float expected[4][2] = {{0, -10}, {-10, 0}, {0, 10}, {10, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(v[i]->position[0], expected[i][0], 1e-4);
    EXPECT_NEAR(v[i]->position[1], expected[i][1], 1e-4);
    EXPECT_FLOAT_EQ(v[i]->position[2], 3);
  }
  EXPECT_FLOAT_EQ(m->bounds.floatRight, 10);
  EXPECT_FLOAT_EQ(m->bounds.floatBottom, 10);
}

TEST_F(ShapeBuildersTest, ArcSegmentCounts) {
  Objex* a90 = BuildArc(-10, -10, 10, 10, 0, 90, doc.first, 0);
  ASSERT_EQ(a90->pointCount, 4);
  auto v = points(a90);
  EXPECT_NEAR(v[0]->position[0], 0, 1e-4);  // from start + sweep ...
  EXPECT_NEAR(v[0]->position[1], -10, 1e-4);
  EXPECT_NEAR(v[2]->position[0], 10, 1e-4);  // ... to start
  EXPECT_NEAR(v[2]->position[1], 0, 1e-4);
  EXPECT_EQ(v[3]->pointType, 4);
  EXPECT_EQ(v[0]->pointType, 5);
  EXPECT_EQ(BuildArc(-10, -10, 10, 10, 0, 180, doc.first, 0)->pointCount, 5);
  EXPECT_EQ(doc.ds()->viewPlane, 2);

  Objex* t90 = BuildTempArc(-10, -10, 10, 10, 0, 90, 7, 2);
  EXPECT_EQ(t90->pointCount, 2);
  EXPECT_EQ(t90->layer, nullptr);
  EXPECT_FLOAT_EQ(t90->firstPoint->position[1], 7);  // w moved into y by the plan swap
  EXPECT_NEAR(t90->firstPoint->position[2], -10, 1e-4);
  Objex* t180 = BuildTempArc(-10, -10, 10, 10, 0, 180, 0, 1);
  EXPECT_EQ(t180->pointCount, 3);
  Objex* inc = BuildTempArcGivenIncrement(-10, -10, 10, 10, 0, 100, 0, 1, 30);
  EXPECT_EQ(inc->pointCount, 5);
  Objex* noInc = BuildTempArcGivenIncrement(-10, -10, 10, 10, 0, 100, 0, 1, 0);
  EXPECT_EQ(noInc->pointCount, 3);
  Objex* none = BuildTempArc(-10, -10, 10, 10, 0, 0, 0, 1);
  EXPECT_EQ(none->pointCount, 0);
  for (Objex* o : {t90, t180, inc, noInc, none}) DeleteObj(o);
}

TEST_F(ShapeBuildersTest, EllipticArcIsScaled) {
  Objex* a = BuildArc(0, 0, 100, 50, 0, 90, doc.first, 0);
  auto v = points(a);
  EXPECT_NEAR(v[0]->position[0], 50, 1e-3);
  EXPECT_NEAR(v[0]->position[1], 0, 1e-3);
  EXPECT_NEAR(v[2]->position[0], 100, 1e-3);
  EXPECT_NEAR(v[2]->position[1], 25, 1e-3);
}

TEST_F(ShapeBuildersTest, ClickByClickPolyline) {
  uint32_t nextID = doc.ds()->nextObjectID;
  EXPECT_EQ(BuildPoly(nullptr, 0, 0, 0, 1, 2, 3, doc.first, 2, 0), nullptr);
  EXPECT_EQ(doc.ds()->nextObjectID, nextID);
  doc.ds()->newObjectPlanMask = 6;
  Objex* o = BuildPoly(nullptr, 0, 0, 0, 0, 0, 0, doc.first, 1, 0);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->planMask, 6);
  EXPECT_EQ(o->firstPoint->selected, 0);
  EXPECT_EQ(BuildPoly(o, 0, 0, 0, 10, 0, 0, doc.first, 2, 0), o);
  EXPECT_EQ(BuildPoly(o, 0, 0, 0, 20, 0, 5, doc.first, 3, 0), o);
  EXPECT_EQ(o->pointCount, 2);
  EXPECT_EQ(BuildPoly(o, 0, 0, 0, 0, 0, 0, doc.first, 4, 0), nullptr);

  Objex* s = BuildSpline(nullptr, 0, 0, 0, 0, 0, 0, doc.first, 1, 0, 2);
  EXPECT_EQ(s->planMask, 0);
  BuildSpline(s, 0, 0, 0, 10, 0, 10, doc.first, 2, 0, 2);
  BuildSpline(s, 0, 0, 0, 20, 0, 0, doc.first, 2, 0, 2);
  BuildSpline(s, 0, 0, 0, 0, 0, 0, doc.first, 3, 0, 2);
  EXPECT_NE(s->firstPoint->next->outHandle[0], 0);  // smoothed
}

TEST_F(ShapeBuildersTest, GeneralPolygonRings) {
  float ring1[] = {0, 0, 0, 10, 0, 0, 10, 0, 10};
  float ring2[] = {0, 5, 0, 10, 5, 0, 10, 5, 10};
  float zero[9] = {};
  Objex* loose = BuildGeneralPoly(ring1, ring2, zero, zero, zero, zero, 3, doc.first, 0, kObjClosedPoly, 1, 0);
  ASSERT_NE(loose, nullptr);
  EXPECT_EQ(loose->levels, 2);
  EXPECT_EQ(loose->pointCount, 6);
  EXPECT_EQ(doc.first->firstObject, nullptr);
  EXPECT_FLOAT_EQ(loose->bounds3D.floatBottom, 5);
  DeleteObj(loose);
  EXPECT_EQ(BuildGeneralPoly(ring1, nullptr, nullptr, zero, nullptr, nullptr, 3, doc.first, 0, 8, 1, 1), nullptr);

  Objex* open = BuildOpenPoly(ring1, nullptr, zero, zero, nullptr, nullptr, 3, doc.first, 0);
  EXPECT_EQ(open->type, kObjOpenPoly);
  EXPECT_EQ(open->levels, 1);
  Objex* closed = BuildClosedPoly(ring1, nullptr, zero, zero, nullptr, nullptr, 3, doc.first, 0);
  EXPECT_EQ(closed->type, kObjClosedPoly);
  EXPECT_EQ(closed->closed, 1);
}

}  // namespace

// Without a current document, or with one that lacks its DocState, no builder makes a shape:
// the layer stays empty rather than taking a zeroed object without points.
TEST_F(ShapeBuildersTest, NothingIsBuiltWithoutADocumentState) {
  const float pos[9] = {0, 0, 0, 10, 0, 0, 10, 10, 0}, h[9] = {};
  auto tryAll = [&] {
    EXPECT_EQ(BuildRect(0, 0, 10, 10, doc.first, 0), nullptr);
    EXPECT_EQ(BuildLine(0, 0, 10, 10, doc.first, 0), nullptr);
    EXPECT_EQ(BuildOval(0, 0, 10, 10, doc.first, 0), nullptr);
    EXPECT_EQ(BuildMulti(0, 0, 5, 5, doc.first, 6, 0, 0), nullptr);
    EXPECT_EQ(BuildPoly(nullptr, 0, 0, 0, 1, 1, 0, doc.first, 1, 0), nullptr);
    EXPECT_EQ(BuildSpline(nullptr, 0, 0, 0, 1, 1, 0, doc.first, 1, 0, 2), nullptr);
    EXPECT_EQ(BuildGeneralPoly(pos, nullptr, h, h, nullptr, nullptr, 3, doc.first, 0, kObjFloor, 1, 1), nullptr);
    EXPECT_EQ(BuildClosedPoly(pos, nullptr, h, h, nullptr, nullptr, 3, doc.first, 0), nullptr);
    EXPECT_EQ(BuildArc(0, 0, 10, 10, 0, 90, doc.first, 0), nullptr);
    EXPECT_EQ(doc.first->firstObject, nullptr);
  };
  DocState* state = doc.model.itsDocState;
  doc.model.itsDocState = nullptr;
  tryAll();
  doc.model.itsDocState = state;
  ZLKDocumentModel* current = gCurDocument;
  gCurDocument = nullptr;
  tryAll();
  gCurDocument = current;
}
