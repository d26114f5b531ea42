// Floors, ceilings and soffits from a wall outline: the proposed values, the offset outlines,
// the soffits of selected segments, separate and joined, and the undo steps stored.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ModelInvariants.h"
#include "WallTestSupport.h"
#include "building3d/CeilingBuilder.h"
#include "model/Selection.h"
#include "model/Services.h"

namespace {

// Plan scale 36: 1 inch is 2 plan units.
struct CeilingBuilder : ::testing::Test {
  TestDocument doc;
  ServiceCallRecorder recorder;
  ~CeilingBuilder() override { EXPECT_MODEL_SOUND(); }

  // A closed square wall, 120 in a side, 4 in thick.
  Objex* Square() { return AddTestWall(doc, {{0, 0}, {240, 0}, {240, 240}, {0, 240}}, true); }
  void Select(Objex* wall, std::initializer_list<int> indices) {
    for (int i : indices) TestPointAt(wall, i)->selected = 1;
  }
  std::vector<Objex*> Floors() {
    std::vector<Objex*> out;
    for (Objex* o = doc.model.itsCurLayer->firstObject; o; o = o->next)
      if (o->type == kObjFloor) out.push_back(o);
    return out;
  }
};

TEST_F(CeilingBuilder, ProposesElevationsFromTheOneSelectedWall) {
  struct Case {
    const char* name;
    std::initializer_list<int> selected;
    float lowSegmentHeight;  // segment 1 (points 1 and 2)
    uint16_t noAutoFloor;
    float base;
    float ceiling;
  };
  const Case cases[] = {
      {"automatic floor adds its depth", {0}, 96, 0, 0, 96.5f},
      {"no automatic floor", {0}, 96, 1, 0, 96},
      {"base elevation added", {0}, 96, 0, 10, 106.5f},
      {"lowest selected segment", {1, 2}, 80, 0, 0, 80.5f},
      {"unselected low segment ignored", {2, 3}, 80, 1, 0, 96},
      {"none fully selected: every segment", {0}, 80, 1, 0, 80},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestDocument local;
    Objex* wall = AddTestWall(local, {{0, 0}, {240, 0}, {240, 240}, {0, 240}}, true);
    for (int i : c.selected) TestPointAt(wall, i)->selected = 1;
    WallHeightOf(TestPointAt(wall, 1)) = c.lowSegmentHeight;
    NoAutoFloorOf(wall) = c.noAutoFloor;
    wall->baseElevation = c.base;
    ASSERT_EQ(InitializeAutoCeilingFloorDlgVar(), 1);
    EXPECT_EQ(gTheWallObject, wall);
    EXPECT_FLOAT_EQ(gCeilingElevation, c.ceiling);
    EXPECT_FLOAT_EQ(gSoffitElevation, c.ceiling);
    EXPECT_FLOAT_EQ(gFlooringElevation, c.base);
    EXPECT_FLOAT_EQ(gFlooringExtension, -2);
    EXPECT_FLOAT_EQ(gCeilingExtension, -2);
  }
}

TEST_F(CeilingBuilder, RefusesWithoutExactlyOneSelectedWall) {
  Objex* a = Square();
  EXPECT_EQ(InitializeAutoCeilingFloorDlgVar(), 0) << "nothing selected";
  Objex* b = AddTestWall(doc, {{400, 0}, {500, 0}});
  Select(a, {0});
  Select(b, {1});
  EXPECT_EQ(InitializeAutoCeilingFloorDlgVar(), 0) << "two walls";
  TestPointAt(b, 1)->selected = 0;
  EXPECT_EQ(InitializeAutoCeilingFloorDlgVar(), 1);
  EXPECT_EQ(gTheWallObject, a);
  // A wall on another layer does not count.
  AddTestWall(doc, {{0, 0}, {10, 0}}, false, 4, doc.second)->firstPoint->selected = 1;
  EXPECT_EQ(InitializeAutoCeilingFloorDlgVar(), 1);
}

TEST_F(CeilingBuilder, FloorAndCeilingFillTheOffsetOutline) {
  Objex* wall = Square();
  // Extension -2 in (half the wall) brings the outline in to the inner face (4 units),
  // +3 in takes it out by 6 units.
  ASSERT_EQ(BuildAutoCeilingFloor(wall, 1, 12, 0, -2, 1, 5, 96.5f, 3), 2);
  std::vector<Objex*> made = Floors();
  ASSERT_EQ(made.size(), 2u);
  EXPECT_EQ(recorder.count("StoreUndo"), 1u);
  struct Expect {
    float elevation, thickness, low, high;
  };
  const Expect expect[] = {{0, 12, 4, 236}, {96.5f, 5, -6, 246}};
  for (int i = 0; i < 2; ++i) {
    Objex* o = made[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(o->closed, 1);
    EXPECT_EQ(o->planMask, 2);
    EXPECT_EQ(o->layer, wall->layer);
    EXPECT_EQ(o->textureID, 0);
    EXPECT_EQ(o->textureID1, gFlooringDefaultTexture);
    EXPECT_EQ(o->textureID2, 0);
    EXPECT_FLOAT_EQ(o->baseElevation, expect[i].elevation);
    EXPECT_FLOAT_EQ(o->params[2], expect[i].thickness);
    EXPECT_TRUE(IsObjectSelected(o));
    EXPECT_NE(o->typeData, nullptr) << "skirting built";
    ASSERT_EQ(CountPoints(o), 4);
    for (Poinz* p = o->firstPoint; p; p = p->next) {
      EXPECT_EQ(p->textureID[0], gFlooringDefaultTexture);
      EXPECT_EQ(p->textureID[1], gFlooringDefaultTexture);
      for (int axis : {0, 2}) {
        const float v = p->position[axis];
        EXPECT_TRUE(std::fabs(v - expect[i].low) < 1e-3 || std::fabs(v - expect[i].high) < 1e-3) << v;
      }
    }
  }
  // Neither asked: nothing made, no undo step.
  EXPECT_EQ(BuildAutoCeilingFloor(wall, 0, 12, 0, -2, 0, 12, 96, -2), 0);
  EXPECT_EQ(recorder.count("StoreUndo"), 1u);
}

TEST_F(CeilingBuilder, SoffitsFollowSelectedSegments) {
  struct Case {
    const char* name;
    bool closed;
    std::initializer_list<int> selected;
    int16_t join;
    float extension;
    std::vector<int> pointCounts;  // of the soffits made, in order
  };
  const Case cases[] = {
      {"separate: one per selected segment", true, {0, 1, 2}, 0, 18, {4, 4}},
      {"joined: one run", true, {0, 1, 2}, 1, 18, {6}},
      {"joined: two runs", false, {0, 1, 3, 4}, 1, 18, {4, 4}},
      {"separate: closing segment", true, {3, 0}, 0, 18, {4}},
      {"joined: run through the closing segment", true, {2, 3, 0}, 1, 18, {6}},
      {"no selected segment", true, {0, 2}, 0, 18, {}},
      {"extension 0 builds none", true, {0, 1, 2}, 0, 0, {}},
      {"negative extension", true, {0, 1}, 0, -18, {4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestDocument local;
    ServiceCallRecorder calls;
    Objex* wall = c.closed ? AddTestWall(local, {{0, 0}, {240, 0}, {240, 240}, {0, 240}}, true)
                           : AddTestWall(local, {{0, 0}, {100, 0}, {200, 0}, {300, 0}, {400, 0}});
    for (int i : c.selected) TestPointAt(wall, i)->selected = 1;
    const int made = BuildAutoSoffits(wall, 3, 96, c.extension, c.join);
    std::vector<int> counts;
    for (Objex* o = local.model.itsCurLayer->firstObject; o; o = o->next) {
      if (o->type != kObjFloor) continue;
      counts.push_back(CountPoints(o));
      EXPECT_FLOAT_EQ(o->baseElevation, 96);
      EXPECT_FLOAT_EQ(o->params[2], 3);
      EXPECT_EQ(o->textureID1, 0);
      EXPECT_EQ(o->planMask, 2);
      for (Poinz* p = o->firstPoint; p; p = p->next) EXPECT_EQ(p->position[1], 0);
    }
    EXPECT_EQ(counts, c.pointCounts);
    EXPECT_EQ(made, static_cast<int>(c.pointCounts.size()));
    EXPECT_EQ(calls.count("StoreUndo"), c.pointCounts.empty() ? 0u : 1u);
  }
}

TEST_F(CeilingBuilder, SoffitRunsFromTheWallFaceToTheExtension) {
  Objex* wall = Square();
  Select(wall, {0, 1});
  ASSERT_EQ(BuildAutoSoffits(wall, 3, 96, 18, 0), 1);
  std::vector<Objex*> made = Floors();
  ASSERT_EQ(made.size(), 1u);
  // The top edge (z = 0): the face is 2 in (4 units) off the wall line, the soffit edge 20 in
  // (40 units), on the side away from the room.
  std::vector<float> zs;
  for (Poinz* p = made[0]->firstPoint; p; p = p->next) zs.push_back(p->position[2]);
  ASSERT_EQ(zs.size(), 4u);
  EXPECT_NEAR(std::fabs(zs[0]), 4, 1e-3);
  EXPECT_NEAR(std::fabs(zs[1]), 40, 1e-3);
  EXPECT_NEAR(std::fabs(zs[2]), 40, 1e-3);
  EXPECT_NEAR(std::fabs(zs[3]), 4, 1e-3);
  EXPECT_LT(zs[1], 0) << "outside the square";
}

TEST_F(CeilingBuilder, SoffitNeedsLayerAndPoints) {
  Objex* wall = Square();
  Poinz* p = wall->firstPoint;
  EXPECT_EQ(CreateSoffitObject(nullptr, p, p->next, p->next->next, p, 0, 3), nullptr);
  EXPECT_EQ(CreateSoffitObject(wall->layer, p, nullptr, p->next, p, 0, 3), nullptr);
  Objex* s = CreateSoffitObject(wall->layer, p, p->next, p->next->next, p->next->next->next, 12, 3);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->layer, wall->layer);
  EXPECT_EQ(CountPoints(s), 4);
  EXPECT_FLOAT_EQ(s->baseElevation, 12);
}

}  // namespace
