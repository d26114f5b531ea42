// Bounds: points and curves in 2D (projected) and 3D, walls through their outline,
// roofs and their attachments, layers, printing, and the stored-box family.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "TestDocument.h"
#include "ViewStateGuard.h"
#include "model/Bounds.h"
#include "model/Delete.h"
#include "model/Grouping.h"
#include "model/Services.h"

namespace {

struct BoundsTest : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;  // plan view: screen x = zoomed x, screen y = zoomed z
  BoundsTest() { doc.ds()->zoomFactor = 1; }

  FloatRect Bounds2D(Objex* o, uint8_t selectedOnly = 0, uint8_t pointsOnly = 0) {
    FloatRect r = EmptyFloatRect();
    GetObjectBounds(o, selectedOnly, &r, pointsOnly, 0);
    return r;
  }
  // A wall from (0, 0) to (100, 0) whose outline reaches 3 units either side.
  Objex* WallWithOutline() {
    Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
    RGBColor black{};
    Objex* outline = CreateObject(kObjWallFace, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, wall,
                                  doc.first, nullptr);
    for (auto [x, z] : {std::pair{0.f, -3.f}, {100.f, -3.f}, {100.f, 3.f}, {0.f, 3.f}})
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, outline), outline);
    wall->typeData = outline;
    return wall;
  }
  Float3DRect Bounds3D(Objex* o, uint8_t pointsOnly = 0) {
    Float3DRect b = EmptyFloat3DRect();
    GetObject3DBounds(o, 0, &b, pointsOnly);
    return b;
  }
  // A child object of `parent` (not on a layer list) through plan points.
  Objex* AddChild(Objex* parent, int16_t type, std::initializer_list<std::pair<float, float>> pts) {
    RGBColor black{};
    Objex* c = CreateObject(type, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, parent,
                            parent->layer, nullptr);
    for (auto [x, z] : pts) AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, c), c);
    c->next = parent->firstChild;
    if (c->next) c->next->prev = c;
    parent->firstChild = c;
    return c;
  }
};

void ExpectRect(const FloatRect& r, float top, float left, float bottom, float right, float tol = 1e-3f) {
  EXPECT_NEAR(r.floatTop, top, tol);
  EXPECT_NEAR(r.floatLeft, left, tol);
  EXPECT_NEAR(r.floatBottom, bottom, tol);
  EXPECT_NEAR(r.floatRight, right, tol);
}


TEST_F(BoundsTest, EmptyObjectsAndHiddenLayersMeasureNothing) {
  Objex* empty = doc.addObject(kObjClosedPoly, true, {});
  FloatRect r = EmptyFloatRect();
  EXPECT_FALSE(GetObjectBounds(empty, 0, &r, 0, 0));
  EXPECT_TRUE(IsEmptyBounds(r));

  doc.addObject(kObjLine, false, {{0, 0}, {10, 10}}, doc.second);
  doc.second->visible = 0;
  GetLayerBounds(doc.second, 0, &r, 0, 0);
  EXPECT_TRUE(IsEmptyBounds(r));
  Float3DRect b = EmptyFloat3DRect();
  GetLayer3DBounds(doc.second, 0, &b, 0);
  EXPECT_TRUE(IsEmptyBounds(b));
}

TEST_F(BoundsTest, SinglePointGivesZeroSizeRectangleAtProjection) {
  Objex* o = doc.addObject(kObjLine, false, {{10, 20}});
  ExpectRect(Bounds2D(o), 20, 10, 20, 10);
  doc.ds()->zoomFactor = 0.5f;
  ExpectRect(Bounds2D(o), 10, 5, 10, 5);
  Float3DRect b = Bounds3D(o);
  EXPECT_EQ(b.floatLeft, 10);
  EXPECT_EQ(b.floatRight, 10);
  EXPECT_EQ(b.floatBack, 20);
  EXPECT_EQ(b.floatFront, 20);
}

TEST_F(BoundsTest, BulgingCurveEnlargesUnlessPointsOnly) {
  Objex* o = doc.addObject(kObjOpenPoly, false, {{0, 0}, {100, 0}});
  o->firstPoint->outHandle[2] = 100;
  o->firstPoint->next->inHandle[2] = -100;  // bulges 25 towards +z at t = 0.5
  ExpectRect(Bounds2D(o), 0, 0, 25, 100);
  ExpectRect(Bounds2D(o, 0, 1), 0, 0, 0, 100);
  Float3DRect b = Bounds3D(o);
  EXPECT_NEAR(b.floatFront, 25, 1e-3);
  EXPECT_NEAR(Bounds3D(o, 1).floatFront, 0, 1e-3);

  // Points of type 2 and 4 keep a segment out of 2D curve sampling only.
  o->firstPoint->pointType = 2;
  ExpectRect(Bounds2D(o), 0, 0, 0, 100);
  EXPECT_NEAR(Bounds3D(o).floatFront, 25, 1e-3);
}

TEST_F(BoundsTest, ClosingSegmentCountsOnlyWhenCurved) {
  Objex* square = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  FloatRect closed = Bounds2D(square);
  square->closed = 0;
  FloatRect open = Bounds2D(square);
  ExpectRect(closed, open.floatTop, open.floatLeft, open.floatBottom, open.floatRight, 0);

  square->closed = 1;
  square->firstPoint->inHandle[0] = 40;  // closing segment bulges to the left
  EXPECT_LT(Bounds2D(square).floatLeft, -1);
}

TEST_F(BoundsTest, SelectedOnlyCountsSelectedPoints) {
  Objex* o = doc.addObject(kObjOpenPoly, false, {{0, 0}, {50, 5}, {100, 80}});
  o->firstPoint->next->selected = 1;
  ExpectRect(Bounds2D(o, 1), 5, 50, 5, 50);
}

TEST_F(BoundsTest, WallsMeasureTheirOutline) {
  Objex* wall = WallWithOutline();
  ExpectRect(Bounds2D(wall), -3, 0, 3, 100);
  EXPECT_NEAR(Bounds3D(wall).floatBack, -3, 1e-6);
  EXPECT_TRUE(IsEmptyBounds(Bounds2D(wall, 1)));  // not selected
  wall->firstPoint->selected = 1;
  ExpectRect(Bounds2D(wall, 1), -3, 0, 3, 100);
}

TEST_F(BoundsTest, RoofAttachmentsCountIn3DOnly) {
  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  AddChild(roof, kObjSkylight, {{150, 150}, {160, 160}});
  AddChild(roof, kObjRoofSlopeArrow, {{-500, -500}});
  ExpectRect(Bounds2D(roof), 0, 0, 100, 100);
  Float3DRect b = Bounds3D(roof);
  EXPECT_EQ(b.floatRight, 160);
  EXPECT_EQ(b.floatFront, 160);
  EXPECT_EQ(b.floatLeft, 0);  // slope arrows stay out

  // Other objects include their children in 2D too.
  Objex* group = doc.addObject(kObjGroup, false, {});
  AddChild(group, kObjLine, {{-10, 0}, {0, 0}});
  ExpectRect(Bounds2D(group), 0, -10, 0, 0);
}

TEST_F(BoundsTest, SpecialBoundsMeasureGeneratedRoofParts) {
  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  RGBColor black{};
  Objex* part = CreateObject(kObjRoofPlane, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, -12, 40, -12, 0, 0, 0, 0, 0, 0, part), part);
  roof->typeData = part;
  Float3DRect b = EmptyFloat3DRect();
  GetSpecialObjects3DBounds(roof, 0, &b, 0);
  EXPECT_EQ(b.floatLeft, -12);
  EXPECT_EQ(b.floatRight, -12);
  EXPECT_EQ(b.floatBottom, 40);
  b = EmptyFloat3DRect();
  GetSpecialObjects3DBounds(roof, 1, &b, 0);
  EXPECT_TRUE(IsEmptyBounds(b));
  roof->typeData = nullptr;
  DeleteObj(part);
}

TEST_F(BoundsTest, PrintingSkipsObjectsOfHiddenPlans) {
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 10}});
  Objex* b = doc.addObject(kObjLine, false, {{500, 500}});
  a->planMask = 2;
  b->planMask = 4;
  doc.ds()->currentPlanMask = 2;
  FloatRect r = EmptyFloatRect();
  GetAllLayersBounds(doc.model.itsLayers, 0, &r, 0, 0);
  EXPECT_EQ(r.floatRight, 500);
  gPrinting = 1;
  r = EmptyFloatRect();
  GetAllLayersBounds(doc.model.itsLayers, 0, &r, 0, 0);
  gPrinting = 0;
  EXPECT_NEAR(r.floatRight, 10, 1e-4);
}

TEST_F(BoundsTest, StoredFamilyCombinesStoredBoxes) {
  Objex* o = doc.addObject(kObjLine, false, {{0, 0}, {10, 10}});
  o->bounds3D = {0, 10, -5, 20, 30, 40};  // top, left, back, bottom, right, front
  Float3DRect b = EmptyFloat3DRect();
  GetObjectObj3DBounds(o, 0, &b, 0);
  EXPECT_EQ(b.floatLeft, 10);
  EXPECT_EQ(b.floatRight, 30);
  EXPECT_EQ(b.floatBack, -5);
  EXPECT_EQ(b.floatFront, 40);
  FloatRect r = EmptyFloatRect();
  GetObjectObjBounds(o, 0, &r, 0, 0);
  ExpectRect(r, -5, 10, 40, 30);

  // A wide pen enlarges the box: width 6 gives offsets of -3.
  o->width = 6;
  r = EmptyFloatRect();
  GetObjectObjBounds(o, 0, &r, 0, 1);
  EXPECT_NEAR(r.floatLeft, 7, 1e-4);
  EXPECT_NEAR(r.floatRight, 33, 1e-4);

  // A box still at the empty marker contributes nothing.
  Objex* unmeasured = doc.addObject(kObjLine, false, {});
  unmeasured->bounds3D = EmptyFloat3DRect();
  r = EmptyFloatRect();
  GetObjectObjBounds(unmeasured, 0, &r, 0, 0);
  EXPECT_TRUE(IsEmptyBounds(r));

  gDimensionSelected = 0;
  o->type = 103;
  GetObjectObjBounds(o, 1, &r, 0, 0);  // not selected
  EXPECT_EQ(gDimensionSelected, 0);
  GetObjectObjBounds(o, 0, &r, 0, 0);
  EXPECT_EQ(gDimensionSelected, 1);
  gDimensionSelected = 0;
}

// The stored boxes are measured in one walk for objects of straight segments; a curve (also
// the closing one), a child or a wall's outline takes the general road. Either way they are
// the boxes the general measurement gives, in the plan, a turned and zoomed view and perspective.
TEST_F(BoundsTest, StoredBoxesAreTheGeneralMeasurementInEveryView) {
  Objex* straight = doc.addObject(kObjClosedPoly, true, {{0, 0}, {40, 5}, {30, 30}, {-5, 20}});
  straight->firstPoint->next->position[1] = 12;
  Objex* curved = doc.addObject(kObjOpenPoly, false, {{0, 0}, {40, 0}, {40, 40}});
  curved->firstPoint->next->outHandle[0] = 30;
  Objex* closing = doc.addObject(kObjClosedPoly, true, {{0, 0}, {40, 0}, {40, 40}});
  closing->firstPoint->inHandle[2] = -25;
  Objex* group = doc.addObject(kObjGroup, false, {});
  AddChild(group, kObjLine, {{100, 100}, {120, 90}});
  Objex* wall = WallWithOutline();

  FloatRect r = EmptyFloatRect();
  Float3DRect b = EmptyFloat3DRect();
  EXPECT_TRUE(MeasureStraightObject(straight, &r, &b));
  for (Objex* o : {curved, closing, group, wall}) {
    r = EmptyFloatRect();
    b = EmptyFloat3DRect();
    EXPECT_FALSE(MeasureStraightObject(o, &r, &b)) << o->type;
    EXPECT_TRUE(IsEmptyBounds(r));
    EXPECT_TRUE(IsEmptyBounds(b));
  }

  for (int view = 0; view < 3; ++view) {
    if (view == 1) {
      doc.ds()->zoomFactor = 1.5f;
      gGlobalXOffset = 7;
      SetUpForRotationAboutArbitraryAxis(35, 20, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle, 0);
    } else if (view == 2) {
      gPerspective = 1;
      gViewDistance = 400;
    }
    for (Objex* o : {straight, curved, closing, group, wall}) {
      const FloatRect r2 = Bounds2D(o);
      const Float3DRect b3 = Bounds3D(o);
      UpdateObjectBounds(o);
      EXPECT_EQ(memcmp(&o->bounds, &r2, sizeof r2), 0) << view << " " << o->type;
      EXPECT_EQ(memcmp(&o->bounds3D, &b3, sizeof b3), 0) << view << " " << o->type;
    }
  }
}

// Bounds grown from empty ones take the first point and then only lower minima and raise
// maxima; they are the point-by-point measurement to the last bit, also with NaN coordinates
// (first, in the middle, alone in one axis), points that only ever lower the minima, a single
// point, and bounds that already hold something (those grow point by point as before).
TEST_F(BoundsTest, BoundsGrownFromEmptyAreThePointByPointMeasurement) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct P3 {
    float x, y, z;
  };
  const std::vector<std::vector<P3>> shapes = {
      {{50, 3, 40}, {40, 2, 30}, {30, 1, 20}, {20, 0, 10}, {10, -1, 0}},
      {{nan, 0, 5}, {10, 2, 0}, {-4, 9, 30}},
      {{0, 0, 0}, {10, nan, 4}, {-3, 2, 8}, {6, -5, -2}},
      {{nan, nan, nan}, {1, 2, 3}},
      {{7.25f, -1.5f, 3.75f}},
      {{0.1f, 0.2f, 0.3f}, {0.1f, 0.2f, 0.3f}, {-31999, 0, 31999}, {31999, 1, -31999}},
  };
  for (int view = 0; view < 2; ++view) {
    if (view == 1) {
      doc.ds()->zoomFactor = 1.37f;
      gGlobalXOffset = 7.3f, gGlobalYOffset = -96.1f, gGlobalZOffset = 2.9f;
      SetUpForRotationAboutArbitraryAxis(35, 20, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle, 0);
    }
    for (size_t k = 0; k < shapes.size(); ++k) {
      SCOPED_TRACE(testing::Message() << "view " << view << " shape " << k);
      Objex* o = doc.addObject(kObjClosedPoly, true, {});
      for (const P3& q : shapes[k])
        AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, q.x, q.y, q.z, 0, 0, 0, 0, 0, 0, o), o);
      const FloatRect r2 = Bounds2D(o);
      const Float3DRect b3 = Bounds3D(o);
      UpdateObjectBounds(o);
      EXPECT_EQ(memcmp(&o->bounds, &r2, sizeof r2), 0);
      EXPECT_EQ(memcmp(&o->bounds3D, &b3, sizeof b3), 0);

      // Bounds that already hold a point far off.
      FloatRect held{-100, 200, -90, 210};
      Float3DRect heldBox{-100, 200, 5, -90, 210, 6};
      FloatRect expected = held;
      Float3DRect expectedBox = heldBox;
      GetObjectBounds(o, 0, &expected, 0, 0);
      GetObject3DBounds(o, 0, &expectedBox, 0);
      ASSERT_TRUE(MeasureStraightObject(o, &held, &heldBox));
      EXPECT_EQ(memcmp(&held, &expected, sizeof held), 0);
      EXPECT_EQ(memcmp(&heldBox, &expectedBox, sizeof heldBox), 0);
    }

    // A prism whose footprint only ever lowers the minima, one with a NaN corner, each against
    // its points measured one by one, from empty bounds and from bounds that hold something.
    const float falling[3][2] = {{30, 20}, {20, 10}, {10, 0}};
    const float broken[3][2] = {{5, 5}, {nan, 2}, {-3, 9}};
    for (const auto* footprint : {falling, broken}) {
      Objex* o = doc.addObject(kObjFace, true, {});
      for (float y : {4.5f, -2.5f})
        for (int i = 0; i < 3; ++i)
          AppendPointToObject(
              CreatePoint(1, 0, 0, 0, 0, 0, footprint[i][0], y, footprint[i][1], 0, 0, 0, 0, 0, 0, o), o);
      for (bool empty : {true, false}) {
        FloatRect rect = empty ? EmptyFloatRect() : FloatRect{-100, 200, -90, 210};
        Float3DRect box = empty ? EmptyFloat3DRect() : Float3DRect{-100, 200, 5, -90, 210, 6};
        FloatRect expected = rect;
        Float3DRect expectedBox = box;
        GetObjectBounds(o, 0, &expected, 0, 0);
        GetObject3DBounds(o, 0, &expectedBox, 0);
        MeasureStraightPrism(footprint, 3, 4.5f, -2.5f, &rect, &box);
        EXPECT_EQ(memcmp(&rect, &expected, sizeof rect), 0) << view << " " << empty;
        EXPECT_EQ(memcmp(&box, &expectedBox, sizeof box), 0) << view << " " << empty;
      }
    }
  }
}

// Two rings over one footprint measure as the object of those points does, to the last bit, in
// the plan, a turned and zoomed view with offsets and perspective, for footprints of two and four
// corners and one longer than the rings' shared products are kept for.
TEST_F(BoundsTest, PrismsMeasureAsTheirPointsDo) {
  const float footprint[9][2] = {{0.3f, -7.1f}, {41.7f, 5.2f}, {33.9f, 30.6f}, {-5.4f, 19.8f}, {12, 44.5f},
                                 {-20.2f, 9.9f}, {7.7f, -31.3f}, {50.1f, -12.6f}, {18.4f, 2.2f}};
  const float y1 = -3.7f, y2 = 81.3f;
  for (int view = 0; view < 3; ++view) {
    if (view == 1) {
      doc.ds()->zoomFactor = 1.37f;
      gGlobalXOffset = 7.3f, gGlobalYOffset = -96.1f, gGlobalZOffset = 2.9f;
      SetUpForRotationAboutArbitraryAxis(35, 20, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle, 0);
    } else if (view == 2) {
      gPerspective = 1;
      gViewDistance = 400;
    }
    for (int count : {2, 4, 9}) {
      Objex* o = doc.addObject(kObjFace, true, {});
      for (float y : {y1, y2})
        for (int i = 0; i < count; ++i)
          AppendPointToObject(
              CreatePoint(1, 0, 0, 0, 0, 0, footprint[i][0], y, footprint[i][1], 0, 0, 0, 0, 0, 0, o), o);
      FloatRect expected = EmptyFloatRect(), rect = EmptyFloatRect();
      Float3DRect expectedBox = EmptyFloat3DRect(), box = EmptyFloat3DRect();
      ASSERT_TRUE(MeasureStraightObject(o, &expected, &expectedBox));
      MeasureStraightPrism(footprint, count, y1, y2, &rect, &box);
      EXPECT_EQ(memcmp(&rect, &expected, sizeof rect), 0) << view << " " << count;
      EXPECT_EQ(memcmp(&box, &expectedBox, sizeof box), 0) << view << " " << count;
    }
  }
}

// The stored-box family projects the eight corners of a box; the plan-view road shares the
// products between corners. Both give the rect the general projection of each corner gives, to
// the last bit, with and without the pen, growing an empty rect or one that holds more.
TEST_F(BoundsTest, StoredBoxCornersAreEachCornerProjected) {
  Objex* o = doc.addObject(kObjLine, false, {{0, 0}, {10, 10}});
  auto reference = [](const Float3DRect& b, float dx, float dy, FloatRect r) {
    const float left = b.floatLeft + dx, right = b.floatRight - dx;
    const float top = b.floatTop + dy, bottom = b.floatBottom - dy;
    for (float z : {b.floatBack, b.floatFront}) {
      RefineBounds(left, top, z, &r);
      RefineBounds(right, top, z, &r);
      RefineBounds(right, bottom, z, &r);
      RefineBounds(left, bottom, z, &r);
    }
    return r;
  };
  const Float3DRect boxes[] = {{0, 10, -5, 20, 30, 40}, {-3.3f, -71.25f, 12.7f, 96.1f, -0.4f, 1303.9f},
                              {5, 5, 5, 5, 5, 5}};
  const FloatRect holding{-50, -60, 70, 80};
  for (int view = 0; view < 4; ++view) {
    if (view == 1) {
      doc.ds()->zoomFactor = 1.5f;
      gGlobalXOffset = 7.25f;
      gGlobalYOffset = -96;
      gGlobalZOffset = 3.5f;
    } else if (view == 2) {
      SetUpForRotationAboutArbitraryAxis(35, 20, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle, 0);
    } else if (view == 3) {
      gPerspective = 1;
      gViewDistance = 400;
    }
    for (const Float3DRect& box : boxes)
      for (float width : {1.0f, 7.0f})
        for (bool grow : {false, true}) {
          o->bounds3D = box;
          o->width = width;
          int16_t dx = 0, dy = 0;
          GetPenOffset(GetLineWeight(o, 1), &dx, &dy);
          const FloatRect start = grow ? holding : EmptyFloatRect();
          const FloatRect expected = reference(box, dx, dy, start);
          FloatRect r = start;
          GetObjectObjBounds(o, 0, &r, 0, 1);
          EXPECT_EQ(memcmp(&r, &expected, sizeof r), 0)
              << "view " << view << ", box " << box.floatLeft << ", width " << width << ", grow " << grow;
        }
  }
}

}  // namespace
