// Object and point transforms in the working plane.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "TestDocument.h"
#include "model/Attachments.h"
#include "model/ObjectTransforms.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

struct ObjectTransformsTest : ::testing::Test {
  TestDocument doc;
  Objex* square(bool selected = true) {
    Objex* o = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    for (Poinz* p = o->firstPoint; p; p = p->next) p->selected = selected;
    return o;
  }
  static Poinz* at(Objex* o, int i) {
    Poinz* p = o->firstPoint;
    while (i-- > 0) p = p->next;
    return p;
  }
};

TEST_F(ObjectTransformsTest, TranslateMovesSelectedUnlockedPointsInThePlan) {
  Objex* o = square(false);
  at(o, 0)->selected = 1;
  at(o, 1)->selected = 1;
  at(o, 1)->locked = 1;
  TransformInfo xf{};
  xf.delta[0] = 5, xf.delta[1] = 7, xf.delta[2] = 9;
  TranslateObject(o, &xf);
  EXPECT_FLOAT_EQ(at(o, 0)->position[0], 5);
  EXPECT_FLOAT_EQ(at(o, 0)->position[1], 0);
  EXPECT_FLOAT_EQ(at(o, 0)->position[2], 9);
  EXPECT_FLOAT_EQ(at(o, 1)->position[0], 10);  // locked
  EXPECT_FLOAT_EQ(at(o, 2)->position[0], 10);  // unselected
  EXPECT_FLOAT_EQ(o->bounds3D.floatLeft, 0);
  EXPECT_EQ(o->needsRender, 1);

  TranslatePlanObject(o, &xf);  // every point
  EXPECT_FLOAT_EQ(at(o, 1)->position[0], 15);
  EXPECT_FLOAT_EQ(at(o, 2)->position[2], 19);
}

TEST_F(ObjectTransformsTest, ScaleActsInPlaneAndOnHandles) {
  Objex* o = doc.addObject(kObjOpenPoly, false, {{1, 1}});
  Poinz* p = o->firstPoint;
  p->selected = 1;
  p->position[1] = 1;
  p->outHandle[0] = 1, p->outHandle[2] = 1;
  p->inHandle[1] = 5;  // no in-plane component: a straight marker
  TransformInfo xf{};
  xf.scale[0] = 2, xf.scale[1] = 3, xf.scale[2] = 4;
  ScaleObject(o, &xf);
  EXPECT_FLOAT_EQ(p->position[0], 2);
  EXPECT_FLOAT_EQ(p->position[1], 1);
  EXPECT_FLOAT_EQ(p->position[2], 4);
  EXPECT_FLOAT_EQ(p->outHandle[0], 2);
  EXPECT_FLOAT_EQ(p->outHandle[2], 4);
  EXPECT_FLOAT_EQ(p->inHandle[1], 5);
}

TEST_F(ObjectTransformsTest, ScaleFromAZeroExtentLeavesThatAxis) {
  Objex* o = square();
  TransformInfo xf{};
  xf.scale[0] = INFINITY, xf.scale[2] = 2;
  ScaleObject(o, &xf);
  for (Poinz* p = o->firstPoint; p; p = p->next) {
    EXPECT_TRUE(std::isfinite(p->position[0]));
    EXPECT_TRUE(std::isfinite(p->position[2]));
  }
  EXPECT_FLOAT_EQ(at(o, 1)->position[0], 10);
  EXPECT_FLOAT_EQ(at(o, 2)->position[2], 20);
}

TEST_F(ObjectTransformsTest, RotateTurnsCounterClockwiseAndTurnsSymbolDirection) {
  Objex* o = doc.addObject(kObjOpenPoly, false, {{10, 0}});
  o->firstPoint->selected = 1;
  TransformInfo xf{};
  xf.angle = kPi / 2;
  RotateObject(o, &xf);
  EXPECT_NEAR(o->firstPoint->position[0], 0, 1e-4);
  EXPECT_NEAR(o->firstPoint->position[2], -10, 1e-4);

  Objex* group = doc.addObject(kObjGroup, false, {});
  Objex* part = CreateObject(kObjSymbolPart3D, 0, 1, nullptr, nullptr, 1, 0, 0, nullptr, nullptr, nullptr, group,
                             doc.first, nullptr);
  group->firstChild = part;
  group->params[4] = 300;
  EXPECT_TRUE(IsObjectACWObject(group));
  EXPECT_TRUE(IsObjectACWObject(part));
  RotateObject(group, &xf);
  EXPECT_NEAR(group->params[4], 30, 1e-3);
}

TEST_F(ObjectTransformsTest, ShearCarriesReferenceOntoTarget) {
  Objex* o = doc.addObject(kObjOpenPoly, false, {{10, 10}, {0, 10}, {5, 0}});
  for (Poinz* p = o->firstPoint; p; p = p->next) p->selected = 1;
  TransformInfo xf{};
  xf.shearFrom[0] = 10, xf.shearFrom[2] = 10;
  xf.shearTo[0] = 15, xf.shearTo[2] = 10;
  ShearObject(o, &xf);
  EXPECT_FLOAT_EQ(at(o, 0)->position[0], 15);
  EXPECT_FLOAT_EQ(at(o, 1)->position[0], 5);
  EXPECT_FLOAT_EQ(at(o, 1)->position[2], 10);
  EXPECT_FLOAT_EQ(at(o, 2)->position[0], 5);
  EXPECT_FLOAT_EQ(at(o, 2)->position[2], 0);
}

TEST_F(ObjectTransformsTest, PointTransformsOfDragPreviews) {
  Objex* o = doc.addObject(kObjOpenPoly, false, {{0, 0}});
  Poinz* p = o->firstPoint;
  DragTransformInfo d{};
  d.current[0] = 3, d.current[2] = -4;
  TranslatePoint(p, kPointXformConstrain, &d);
  EXPECT_FLOAT_EQ(p->position[0], 0);
  EXPECT_FLOAT_EQ(p->position[2], -4);
  d.current[0] = 4, d.current[2] = 4;
  TranslatePoint(p, kPointXformConstrain, &d);
  EXPECT_FLOAT_EQ(p->position[0], 0);
  EXPECT_FLOAT_EQ(p->position[2], 0);
  // Unselected points stay when only selected ones may move.
  TranslatePoint(p, kPointXformSelectedOnly, &d);
  EXPECT_FLOAT_EQ(p->position[2], 0);

  p->position[0] = 6, p->position[2] = 6;
  DragTransformInfo s{};
  s.start[0] = 0, s.start[2] = 2, s.current[0] = 5, s.current[2] = 4;  // x span 0: ratio 1
  ScalePoint(p, 0, &s);
  EXPECT_FLOAT_EQ(p->position[0], 6);
  EXPECT_FLOAT_EQ(p->position[2], 12);
  s.current[2] = 2;  // both ratios 1
  ScalePoint(p, 0, &s);
  EXPECT_FLOAT_EQ(p->position[2], 12);

  p->position[0] = 10, p->position[2] = 0;
  DragTransformInfo r{};
  r.startAngle = 350 * kPi / 180;
  r.currentAngle = 10 * kPi / 180;
  RotatePoint(p, 0, &r);
  float expected = 20 * kPi / 180;
  EXPECT_NEAR(p->position[0], 10 * std::cos(expected), 1e-3);
  EXPECT_NEAR(p->position[2], -10 * std::sin(expected), 1e-3);
}

TEST_F(ObjectTransformsTest, PlanFlipMirrorsWallsAndSlopeDirections) {
  Objex* wall = doc.addObject(kObjWall, false, {{3, 4}, {8, 4}});
  Poinz* p = wall->firstPoint;
  p->color[0] = RGBColor{1, 2, 3};
  p->textureID[0] = 11, p->textureID[1] = 22;
  // Trim records told by their first slot texture, on both sides of the first point and on the
  // second side of the last.
  const auto trim = [](int32_t texture) {
    auto* t = static_cast<TrimData*>(calloc(1, sizeof(TrimData)));
    t->slotTextureIDs[0] = texture;
    return t;
  };
  const auto trimOn = [](const void* t) { return t ? static_cast<const TrimData*>(t)->slotTextureIDs[0] : 0; };
  p->trim1 = trim(101), p->trim2 = trim(102);
  p->next->trim2 = trim(104);
  FlipPlanObject(wall, 5363);
  EXPECT_FLOAT_EQ(p->position[0], -3);
  EXPECT_FLOAT_EQ(p->next->position[0], -8);
  EXPECT_FLOAT_EQ(p->position[2], 4);
  EXPECT_EQ(p->color[1], (RGBColor{1, 2, 3}));
  EXPECT_EQ(p->textureID[0], 22);
  EXPECT_EQ(trimOn(p->trim1), 102);
  EXPECT_EQ(trimOn(p->trim2), 101);
  EXPECT_EQ(trimOn(p->next->trim1), 104);
  EXPECT_EQ(p->next->trim2, nullptr);
  // Top to bottom: the sides change again.
  FlipPlanObject(wall, 5364);
  EXPECT_EQ(trimOn(p->trim1), 101);
  EXPECT_EQ(trimOn(p->next->trim2), 104);
  EXPECT_EQ(p->textureID[0], 11);
  FlipPlanObject(wall, 5364);

  // Outside a working plane the points are left alone, wall sides included.
  doc.ds()->viewPlane = 0;
  FlipPlanObject(wall, 5363);
  EXPECT_FLOAT_EQ(p->position[0], -3);
  EXPECT_EQ(p->textureID[0], 22);
  EXPECT_EQ(p->color[1], (RGBColor{1, 2, 3}));
  EXPECT_EQ(trimOn(p->trim1), 102);
  doc.ds()->viewPlane = 2;

  Objex* panel = doc.addObject(kObjRoofPanel, true, {{0, 0}, {10, 0}, {10, 10}});
  panel->params[0] = 30;
  FlipPlanObject(panel, 5363);
  EXPECT_NEAR(panel->params[0], 150, 1e-3);
  panel->params[0] = 30;
  FlipPlanObject(panel, 5364);
  EXPECT_NEAR(panel->params[0], 330, 1e-3);
}

TEST_F(ObjectTransformsTest, PlanFlipTogglesSkylightFlag) {
  Objex* roof = doc.addObject(kObjRoofPanel, true, {{0, 0}, {10, 0}, {10, 10}});
  Objex* sky = CreateObject(kObjSkylight, 1, 1, nullptr, nullptr, 1, 0, 0, nullptr, nullptr, nullptr, roof,
                            doc.first, calloc(1, sizeof(RoofAttachmentData)));
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 2, 0, 2, 0, 0, 0, 0, 0, 0, sky), sky);
  roof->firstChild = sky;
  FlipPlanObject(roof, 5363);
  EXPECT_EQ(static_cast<RoofAttachmentData*>(sky->typeData)->flags[0], 1);
  EXPECT_FLOAT_EQ(sky->firstPoint->position[0], -2);
}

TEST_F(ObjectTransformsTest, WholeRoofCarriesItsSkylightAndSymbols) {
  Objex* roof = doc.addObject(kObjRoofPanel, true, {{0, 0}, {10, 0}, {10, 10}});
  for (Poinz* p = roof->firstPoint; p; p = p->next) p->selected = 1;
  auto* data = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  Objex* sky = CreateObject(kObjSkylight, 1, 1, nullptr, nullptr, 1, 0, 0, nullptr, nullptr, nullptr, roof,
                            doc.first, data);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 2, 0, 2, 0, 0, 0, 0, 0, 0, sky), sky);
  roof->firstChild = sky;
  Objex* symbol = CreateObject(kObjDetail, 0, 1, nullptr, nullptr, 1, 0, 0, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 3, 0, 3, 0, 0, 0, 0, 0, 0, symbol), symbol);
  data->parts = symbol;
  TransformInfo xf{};
  xf.delta[0] = 5;
  TranslateObject(roof, &xf);
  EXPECT_FLOAT_EQ(roof->firstPoint->position[0], 5);
  EXPECT_FLOAT_EQ(sky->firstPoint->position[0], 7);
  EXPECT_FLOAT_EQ(symbol->firstPoint->position[0], 8);
  EXPECT_EQ(sky->firstPoint->selected, 0);
  EXPECT_EQ(symbol->firstPoint->selected, 0);

  for (Poinz* p = roof->firstPoint; p; p = p->next) p->selected = 0;
  TranslateObject(roof, &xf);  // nothing selected: nothing moves
  EXPECT_FLOAT_EQ(sky->firstPoint->position[0], 7);
}

TEST_F(ObjectTransformsTest, CustomObjectSizeIsMeasuredWithoutTouchingTheModel) {
  Objex* o = square();
  TransformInfo xf{};
  xf.angle = 30 * kPi / 180;
  xf.centre[0] = 5, xf.centre[2] = 5;
  RotatePlanObject(o, &xf);
  o->params[4] = 30;
  float x1 = at(o, 1)->position[0];
  float w = 0, h = -1, d = 0;
  GetCustomFormwerkSize(o, &w, &h, &d);
  EXPECT_NEAR(w, 10, 1e-3);
  EXPECT_NEAR(d, 10, 1e-3);
  EXPECT_FLOAT_EQ(h, 0);
  EXPECT_FLOAT_EQ(at(o, 1)->position[0], x1);
  EXPECT_FLOAT_EQ(o->params[4], 30);
}

TEST_F(ObjectTransformsTest, RotateInDegreesNeedsADocument) {
  Objex* o = square();
  o->bounds3D = Float3DRect{};  // stale on purpose
  ZLKDocumentModel* current = gCurDocument;
  gCurDocument = nullptr;
  RotateObjectInDegrees(o, 0);
  RotateObjectInDegrees(o, 90);
  gCurDocument = current;
  EXPECT_FLOAT_EQ(o->bounds3D.floatRight, 0);
  EXPECT_FLOAT_EQ(at(o, 1)->position[0], 10);

  RotateObjectInDegrees(o, 0);  // with a document the bounds are brought up to date
  EXPECT_FLOAT_EQ(o->bounds3D.floatRight, 10);
}

TEST_F(ObjectTransformsTest, PercentResizeNeverGoesBelowASixteenth) {
  Objex* o = square();  // 10 plan units = 5 inches
  ResizeCustomFormwerkObject(o, 1, 1, 100, 100, 1, 0, 0);
  float w = 0, h = 0, d = 0;
  GetCustomFormwerkSize(o, &w, &h, &d);
  EXPECT_NEAR(w, 0.125f, 1e-5);  // 0.0625 inches
  EXPECT_NEAR(d, 10, 1e-4);
  EXPECT_EQ(doc.ds()->viewPlane, 2);
}

TEST_F(ObjectTransformsTest, ResizeOfAFlatAxisLeavesItFinite) {
  Objex* o = doc.addObject(kObjOpenPoly, false, {{0, 0}, {0, 10}});  // no width
  ResizeCustomFormwerkObject(o, 0, 12, 0, 10, 1, 0, 1);
  for (Poinz* p = o->firstPoint; p; p = p->next) {
    EXPECT_TRUE(std::isfinite(p->position[0]));
    EXPECT_FLOAT_EQ(p->position[0], 0);
  }
  EXPECT_NEAR(at(o, 1)->position[2] - at(o, 0)->position[2], 20, 1e-3);  // 10 inches
}

}  // namespace
