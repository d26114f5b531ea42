// Routines that turn a document's settings into plan lengths, run at several plan scales
// and with settings that differ across and down, so that a swapped, dropped or fixed value
// shows: grid snapping, nudges, duplicate offsets, outline areas, the heights and widths
// that conversions give and the tops of floors; and rays that pass exactly through corners.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "ViewStateGuard.h"
#include "model/Area.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/ConvertObject.h"
#include "model/Floors2D.h"
#include "model/Grid.h"
#include "model/HitTest.h"
#include "model/ParallelObjects.h"
#include "model/PlanarPolygons.h"
#include "model/Selection.h"
#include "model/ShapeBuilders.h"
#include "model/TopoGrid.h"

namespace {

// Inches per 72 plan units: a document at 1/8", 1/4", 1/2" and 1" to the foot, and the default.
constexpr float kPlanScales[] = {96, 48, 24, 12, 36};

// A length of `inches` in plan units at the given plan scale.
float Plan(float inches, float scale) { return inches * 72 / scale; }

}  // namespace

TEST(VariedSettings, GridSnapTakesEachAxisFromItsOwnSpacing) {
  for (const float scale : kPlanScales) {
    // In inches and in feet: the spacing is a world length.
    for (const int16_t unit : {int16_t(1), int16_t(2)}) {
      SCOPED_TRACE(testing::Message() << "plan scale " << scale << ", world unit " << unit);
      TestDocument doc;
      doc.ds()->planScale = scale;
      doc.ds()->worldUnits = unit;
      const float perUnit = unit == 2 ? 12 : 1;
      doc.ds()->gridSpacing = {12 / perUnit, 30 / perUnit};  // 1' across, 2'6" down
      const float across = Plan(12, scale), down = Plan(30, scale);
      float x = 1.4f * across, y = 3, z = -2.6f * down;
      ASSERT_EQ(Snap3DPointToGrid(doc.ds(), &x, &y, &z), 1);
      EXPECT_NEAR(x, across, 1e-3f * across);
      EXPECT_NEAR(z, -3 * down, 1e-3f * down);
      EXPECT_EQ(y, 3);

      // Window points: the same steps, zoomed.
      doc.ds()->zoomFactor = 2;
      FloatPoint out{};
      ASSERT_EQ(SnapPointToGrid(doc.ds(), static_cast<int32_t>(2.4f * 2 * across),
                                static_cast<int32_t>(1.3f * 2 * down), &out),
                1);
      EXPECT_NEAR(out.floatH, 2 * 2 * across, 1e-3f * across);
      EXPECT_NEAR(out.floatV, 1 * 2 * down, 1e-3f * down);
    }
  }
}

// Each of the four nudges moves by the snap spacing of its own axis, in its own direction.
TEST(VariedSettings, NudgesMoveByTheSnapSpacingOfTheirAxis) {
  struct Nudge {
    int32_t cmd;
    float dx, dz;  // in steps across and down
  } const nudges[] = {
      {kCmdNudgeRight, 1, 0}, {kCmdNudgeLeft, -1, 0}, {kCmdNudgeDown, 0, 1}, {kCmdNudgeUp, 0, -1}};
  for (const float scale : kPlanScales) {
    for (const Nudge& n : nudges) {
      SCOPED_TRACE(testing::Message() << "plan scale " << scale << ", command " << n.cmd);
      TestDocument doc;
      doc.ds()->planScale = scale;
      doc.ds()->snapToGrid = 1;
      doc.ds()->gridSnap = {6, 15};
      Objex* o = doc.addObject(kObjLine, false, {{10, 20}, {50, 20}});
      SetObjectSelectFlags(o, 1);
      SelectedObjectAllLayers(doc.model.itsLayers, 1, n.cmd, CommandArg::Doc(doc.ds()));
      for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(PointAt(o, i)->position[0], (i ? 50 : 10) + n.dx * Plan(6, scale), 1e-3) << i;
        EXPECT_NEAR(PointAt(o, i)->position[2], 20 + n.dz * Plan(15, scale), 1e-3) << i;
      }
      EXPECT_MODEL_SOUND();
    }
  }
}

// Duplicates step by the tool offset, across and down, each copy from the one before.
TEST(VariedSettings, DuplicatesStepByTheOffsetOfEachAxis) {
  for (const float scale : kPlanScales) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    TestDocument doc;
    doc.ds()->planScale = scale;
    doc.ds()->setting1 = 3;
    doc.ds()->gateToolOffset = {10, 25};
    Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {40, 5}});
    SetObjectSelectFlags(a, 1);
    TopLevelObjectAllLayers(doc.model.itsLayers, kCmdDuplicate, CommandArg::Doc(doc.ds()));
    int copies = 0;
    for (Objex* c = a->next; c; c = c->next) {
      ++copies;
      EXPECT_NEAR(PointAt(c, 0)->position[0], copies * Plan(10, scale), 1e-3) << copies;
      EXPECT_NEAR(PointAt(c, 0)->position[2], copies * Plan(25, scale), 1e-3) << copies;
      EXPECT_NEAR(PointAt(c, 1)->position[0], 40 + copies * Plan(10, scale), 1e-3) << copies;
      EXPECT_NEAR(PointAt(c, 1)->position[2], 5 + copies * Plan(25, scale), 1e-3) << copies;
    }
    EXPECT_EQ(copies, 3);
    EXPECT_MODEL_SOUND();
  }
}

TEST(VariedSettings, AreasFollowThePlanScaleInBothSystems) {
  for (const float scale : kPlanScales) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    TestDocument doc;
    doc.ds()->planScale = scale;
    Objex* o = doc.addObject(kObjClosedPoly, true, {{0, 0}, {90, 0}, {90, 40}, {0, 40}});
    const double squareInches = double(90) * scale / 72 * 40 * scale / 72;
    doc.ds()->measureSystem = kMeasureImperial;
    EXPECT_NEAR(ComputeObjectStraightArea(o), squareInches / 144, squareInches / 144 * 1e-5);
    doc.ds()->measureSystem = kMeasureMetric;
    EXPECT_NEAR(ComputeObjectStraightArea(o), squareInches / (39.37 * 39.37), squareInches / 1550 * 1e-4);
  }
}

// A deck stands at the deck height; a pier from an oval takes its width across, not its
// depth.
TEST(VariedSettings, ConversionsTurnWorldSizesAtThePlanScale) {
  for (const float scale : kPlanScales) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    TestDocument doc;
    ViewStateGuard view;
    doc.ds()->planScale = scale;
    doc.ds()->viewPlane = 2;
    doc.ds()->deckHeight = 30;
    Objex* deck = doc.addObject(kObjDetail, false, {{0, 0}, {100, 0}, {100, 60}});
    deck->subtype = kSubDetailPolygon;
    ASSERT_TRUE(ConvertObjectType(deck, kCmdConvertToDeckWithoutRailing));
    for (Poinz* p = deck->firstPoint; p; p = p->next) EXPECT_NEAR(p->position[1], -Plan(30, scale), 1e-4);

    Objex* oval = BuildOval(0, 0, 100, 60, doc.first, 0);
    ASSERT_NE(oval, nullptr);
    ConvertXYtoXZ(oval);
    oval->type = kObjDetail;
    oval->subtype = kSubDetailOval;
    ASSERT_TRUE(ConvertObjectType(oval, kCmdConvertToFoundationPier));
    EXPECT_NEAR(oval->params[0], 100 * scale / 72, 0.02);
  }
}

// Objects are kept below the top of their own floor: its base and height converted at the
// plan scale, an opening 6 units under it.
TEST(VariedSettings, ObjectsKeepBelowTheTopOfTheirOwnFloor) {
  for (const float scale : {36.0f, 96.0f, 24.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    TestDocument doc;
    doc.ds()->planScale = scale;
    doc.first->height = 100;
    doc.second->height = 130;
    const float k = 72 / scale;
    Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
    wall->firstPoint->position[1] = 1000;
    Objex* door = AddDoor(wall, 0);
    AttachmentData(door)->elevation = 4;
    AttachmentData(door)->height = 1000;
    ScaleObjectToWallHeight(wall);
    EXPECT_NEAR(wall->firstPoint->position[1], 100 * k, 1e-3);
    EXPECT_NEAR(AttachmentData(door)->height, 100 * k - 6 - 4, 1e-3);
    EXPECT_NEAR(AttachmentData(door)->elevation, 4, 1e-3);

    // The second floor stands on the first: its top is both heights up.
    Objex* up = doc.addObject(kObjLine, false, {{0, 0}, {5, 0}}, doc.second);
    up->firstPoint->position[1] = 1000;
    up->firstPoint->next->position[1] = 10;
    ScaleLayerToWallHeight(doc.second);
    EXPECT_NEAR(up->firstPoint->position[1], (100 + 130) * k, 1e-3);
    EXPECT_NEAR(up->firstPoint->next->position[1], 10, 1e-3);
  }
}

// A ray along the point's row that runs exactly through a corner counts that corner once:
// through the far corner of a diamond (inside), past a corner it only touches (outside),
// and along the rows of the top and bottom corners. The float and the integer tests agree.
TEST(VariedSettings, RaysThroughCornersCountEachCornerOnce) {
  const struct Shape {
    const char* name;
    std::vector<std::pair<int32_t, int32_t>> corners;
    struct Probe {
      int32_t x, z;
      int inside;
    };
    std::vector<Probe> probes;
  } shapes[] = {
      {"diamond", {{0, 5}, {5, 0}, {10, 5}, {5, 10}}, {{2, 5, 1}, {8, 5, 1}, {-3, 5, 0}, {2, 0, 0}, {2, 10, 0}, {12, 5, 0}}},
      // A notch whose corner (5, 5) points into the shape: rows through it pass inside on
      // both sides of it and outside beyond the shape.
      {"notched square", {{0, 0}, {10, 0}, {10, 10}, {5, 5}, {0, 10}}, {{1, 5, 1}, {6, 5, 1}, {-1, 5, 0}, {11, 5, 0}, {5, 7, 0}}},
  };
  for (const Shape& s : shapes) {
    std::vector<PlanarPolyPoint> floats;
    std::vector<POINT> ints;
    for (auto [x, z] : s.corners) {
      floats.push_back({static_cast<float>(x), 0, static_cast<float>(z), 0, 0, 0});
      ints.push_back({x, z});
    }
    const auto n = static_cast<int32_t>(s.corners.size());
    for (const auto& p : s.probes) {
      SCOPED_TRACE(testing::Message() << s.name << " at " << p.x << ", " << p.z);
      const float at[2] = {static_cast<float>(p.x), static_cast<float>(p.z)};
      EXPECT_EQ(IsPointInsideXZPolygon(at, floats.data(), n), p.inside);
      EXPECT_EQ(IsPointInsideWinPolygon({p.x, p.z}, ints.data(), n), p.inside);
    }
  }
}
