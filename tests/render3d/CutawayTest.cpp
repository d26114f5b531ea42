// The cut-away's extent, its plane equation for each direction, and the cut in a frame.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "model/Delete.h"
#include "render3d/Cutaway.h"
#include "render3d/RenderTestSupport.h"

using Cutaway = RenderTest;

TEST_F(Cutaway, NorthCutOfABoxAndItsFrame) {
  // A box x 0..100, z 0..200 on the first floor.
  doc.addObject(kObjClosedPoly, true, {{0, 0}, {100, 0}, {100, 200}, {0, 200}}, doc.first);
  ds()->cutAwayDirection() = kCutAwayNorth;
  ds()->cutAwayPosition() = 50;
  SetSlicePlaneBounds();
  EXPECT_FLOAT_EQ(gCutawayBounds.floatBack, -100);
  EXPECT_FLOAT_EQ(gCutawayBounds.floatFront, 300);
  EXPECT_FLOAT_EQ(gCutawayRange, 400);
  ComputeSlicePlane();
  EXPECT_FLOAT_EQ(gSlicePaneEquation[0], 0);
  EXPECT_FLOAT_EQ(gSlicePaneEquation[1], 0);
  EXPECT_FLOAT_EQ(gSlicePaneEquation[2], -40000);
  EXPECT_FLOAT_EQ(gSlicePaneEquation[3], 1.0e7f);

  // z <= 250 stays: a quad at 240 is drawn, one at 260 is cut away.
  ds()->orthoView() = 1;
  PlaneObject* kept240 = addSquare(20, -10, 80, 10, 240, {65535, 0, 0});
  RefreshGLScene();
  const int centreX = 32, centreY = 32;
  EXPECT_EQ(kept(centreX, centreY).r, 255);
  kept240->planes->vertices[0].z = kept240->planes->vertices[1].z = 260;
  kept240->planes->vertices[2].z = kept240->planes->vertices[3].z = 260;
  RefreshGLScene();
  EXPECT_EQ(kept(centreX, centreY).r, 0);
  // Position 0 turns the clip plane off whatever the equation.
  ds()->cutAwayPosition() = 0;
  RefreshGLScene();
  EXPECT_EQ(kept(centreX, centreY).r, 255);
}

TEST_F(Cutaway, DirectionsRangesAndTheTopPlane) {
  doc.addObject(kObjClosedPoly, true, {{0, 0}, {100, 0}, {100, 200}, {0, 200}}, doc.first);
  ds()->cutAwayDirection() = kCutAwayEast;
  SetSlicePlaneBounds();
  EXPECT_FLOAT_EQ(gCutawayRange, 300);
  // East: x >= right - R + p stays.
  ds()->cutAwayPosition() = 30;
  ComputeSlicePlane();
  const float* e = gSlicePaneEquation;
  auto visible = [e](float x, float y, float z) { return e[0] * x + e[1] * y + e[2] * z + e[3] >= 0; };
  EXPECT_TRUE(visible(-69, 0, 0));   // right - R + p = 200 - 300 + 30 = -70
  EXPECT_FALSE(visible(-71, 0, 0));
  // Top: a model with no height still spans 200; position R - 100 puts the plane at y = 0.
  ds()->cutAwayDirection() = kCutAwayTop;
  SetSlicePlaneBounds();
  EXPECT_FLOAT_EQ(gCutawayRange, 200);
  ds()->cutAwayPosition() = static_cast<int32_t>(gCutawayRange - 100);
  ComputeSlicePlane();
  EXPECT_TRUE(visible(0, -1, 0));
  EXPECT_FALSE(visible(0, 1, 0));
  // An unknown direction leaves the plane empty.
  ds()->cutAwayDirection() = 7;
  ComputeSlicePlane();
  EXPECT_FLOAT_EQ(e[0], 0);
  EXPECT_FLOAT_EQ(e[3], 0);
}

TEST_F(Cutaway, EmptyModelStillHasARange) {
  ds()->cutAwayDirection() = kCutAwaySouth;
  SetSlicePlaneBounds();
  EXPECT_GT(gCutawayRange, 0);
  ds()->cutAwayDirection() = 9;
  gCutawayRange = 0;
  SetSlicePlaneBounds();
  EXPECT_FLOAT_EQ(gCutawayRange, 1);
}

// An object linked into the design without the 3D road is measured too, and a direction of
// no side leaves the range as it stands (1 for 0) however often it is asked.
TEST_F(Cutaway, ObjectsLinkedWithoutTheRoadAndDirectionsOfNoSide) {
  doc.addObject(kObjClosedPoly, true, {{0, 0}, {100, 0}, {100, 200}, {0, 200}}, doc.first);
  ds()->cutAwayDirection() = kCutAwayEast;
  SetSlicePlaneBounds();
  ASSERT_FLOAT_EQ(gCutawayRange, 300);
  doc.addObject(kObjClosedPoly, true, {{0, 0}, {300, 0}, {300, 200}, {0, 200}}, doc.first);
  SetSlicePlaneBounds();
  EXPECT_FLOAT_EQ(gCutawayRange, 500);
  ds()->cutAwayDirection() = 9;
  for (int i = 0; i < 2; ++i) {
    gCutawayRange = 0;
    SetSlicePlaneBounds();
    EXPECT_FLOAT_EQ(gCutawayRange, 1) << i;
  }
}

// The extent is kept between frames and measured again after each kind of change the 3D road
// is told of (or that shows in the layers or the direction); an unchanged design is not walked.
TEST_F(Cutaway, KeptExtentFollowsEachChange) {
  Objex* box = doc.addObject(kObjClosedPoly, true, {{0, 0}, {100, 0}, {100, 200}, {0, 200}}, doc.first);
  Layer* second = CreateLayer("Second Floor", 1, 1, nullptr);
  AppendLayerToDocument(second);
  ds()->cutAwayDirection() = kCutAwayNorth;
  ForgetCutawayExtent();
  SetSlicePlaneBounds();
  ASSERT_FLOAT_EQ(gCutawayBounds.floatFront, 300);
  Objex* added = nullptr;
  struct Change {
    const char* what;
    std::function<void()> make;
    float front, right, range;  // the extent after it (North unless the change turns it)
  };
  const std::vector<Change> changes = {
      {"a point moved, the object rebuilt",
       [&] { box->firstPoint->next->next->position[2] = 260, ReRenderObject(box); }, 360, 200, 460},
      {"an object added on another floor",
       [&] { added = doc.addObject(kObjClosedPoly, true, {{300, 0}, {400, 0}, {400, 50}}, second);
             ReRenderObject(added); }, 360, 500, 460},
      {"that floor hidden", [&] { second->visible = 0; }, 360, 200, 460},
      {"that floor shown", [&] { second->visible = 1; }, 360, 500, 460},
      {"an object deleted",
       [&] { DeleteObjItem(box); }, 150, 500, 250},
      {"the direction turned east", [&] { ds()->cutAwayDirection() = kCutAwayEast; }, 150, 500, 300},
      {"a whole rebuild after an edit while hidden",
       [&] { added->firstPoint->position[0] = 200, RenderAllLayers(); }, 150, 500, 400},
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(c.what);
    c.make();
    const int64_t before = CutawayExtentMeasures();
    SetSlicePlaneBounds();
    EXPECT_EQ(CutawayExtentMeasures(), before + 1);
    EXPECT_FLOAT_EQ(gCutawayBounds.floatFront, c.front);
    EXPECT_FLOAT_EQ(gCutawayBounds.floatRight, c.right);
    EXPECT_FLOAT_EQ(gCutawayRange, c.range);
    // Nothing changed since: the next frames keep it without a walk, whatever was written
    // over the globals between them.
    gCutawayRange = 0;
    gCutawayBounds.floatFront = 0;
    SetSlicePlaneBounds();
    RefreshGLScene();
    EXPECT_EQ(CutawayExtentMeasures(), before + 1);
    EXPECT_FLOAT_EQ(gCutawayBounds.floatFront, c.front);
    EXPECT_FLOAT_EQ(gCutawayRange, c.range);
  }
  // An edit put off while the 3D window is hidden: measured at every frame until it is built.
  gRenderOnShow = 1;
  const int64_t before = CutawayExtentMeasures();
  SetSlicePlaneBounds();
  SetSlicePlaneBounds();
  EXPECT_EQ(CutawayExtentMeasures(), before + 2);
  gRenderOnShow = 0;
  DeleteObjItem(added);
}

// Each direction keeps its own side of the box, at two slider positions: a box away from the
// origin (x 40..140, z 30..230) so that the left and right, back and front bounds differ in
// size, and points far out along the other two axes so that a tilted plane shows.
TEST_F(Cutaway, EveryDirectionCutsAtItsOwnSideOfTheExtent) {
  doc.addObject(kObjClosedPoly, true, {{40, 30}, {140, 30}, {140, 230}, {40, 230}}, doc.first);
  const struct {
    int16_t direction;
    int32_t position;
    float range;
    int axis;       // 0 x, 1 y, 2 z
    float cut;      // the plane's place on that axis
    bool keepsLow;  // what lies below the cut stays
  } cases[] = {
      // Extent: x -60..240 (300), z -70..330 (400), y -100..100 (200). The top cut falls five
      // units for each step of the slider.
      {kCutAwayNorth, 50, 400, 2, 280, true},   {kCutAwayNorth, 120, 400, 2, 210, true},
      {kCutAwaySouth, 50, 400, 2, -20, false},  {kCutAwaySouth, 120, 400, 2, 50, false},
      {kCutAwayEast, 30, 300, 0, -30, false},   {kCutAwayEast, 200, 300, 0, 140, false},
      {kCutAwayWest, 30, 300, 0, 210, true},    {kCutAwayWest, 200, 300, 0, 40, true},
      {kCutAwayTop, 130, 200, 1, -150, true},   {kCutAwayTop, 60, 200, 1, 200, true},
  };
  const float* e = gSlicePaneEquation;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "direction " << c.direction << " at " << c.position);
    ds()->cutAwayDirection() = c.direction;
    ds()->cutAwayPosition() = c.position;
    SetSlicePlaneBounds();
    EXPECT_FLOAT_EQ(gCutawayRange, c.range);
    ComputeSlicePlane();
    for (const float across : {-500.0f, 0.0f, 500.0f})
      for (const float step : {-0.5f, 0.5f}) {
        float p[3] = {across, -across, across};
        p[c.axis] = c.cut + step;
        const bool visible = e[0] * p[0] + e[1] * p[1] + e[2] * p[2] + e[3] >= 0;
        EXPECT_EQ(visible, (step < 0) == c.keepsLow) << "across " << across << " step " << step;
      }
  }
}
