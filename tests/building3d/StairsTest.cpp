// Staircases in 3D: risers, flights and treads, rails and posts, stringers, underside
// panels and landings of straight staircases, curved staircases walked along their centre
// line, the fields a rebuild must leave as they were, and the reversal of the point order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ModelInvariants.h"
#include "SceneTestSupport.h"
#include "TestDocument.h"
#include "building3d/StairParts3D.h"
#include "building3d/Stairs3D.h"
#include "building3d/RenderRoad.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "files/Clipboard.h"
#include "model/HitTest.h"
#include "model/ConvertObject.h"
#include "model/Delete.h"
#include "model/Services.h"
#include "model/StairFields.h"

namespace {

constexpr float kRiser7 = 96.0f / 13 + 0.01f;  // world units

struct Stairs : ::testing::Test {
  TestDocument doc;
  ~Stairs() override {
    doc.ds()->framingView = 0;
    EXPECT_MODEL_SOUND();
  }

  // A staircase with the defaults 48/7/10/36/96, closed steps, both hand rails, no skirt
  // walls, through the plan points.
  Objex* AddStairs(std::initializer_list<std::pair<float, float>> pts, int32_t subtype = kSubStraightStair) {
    Objex* st = doc.addObject(kObjStaircase, false, pts);
    st->subtype = subtype;
    StairWidthOf(st) = 48;
    StairStepHeightOf(st) = 7;
    StairStepDepthOf(st) = 10;
    StairHandrailHeightOf(st) = 36;
    StairHeightOf(st) = 96;
    LeftRailOf(st) = RightRailOf(st) = 1;
    ClosedStepsOf(st) = 1.0f;
    SkirtWallsOf(st) = 0;
    st->textureID1 = 2206;
    st->textureID2 = 1700;
    return st;
  }
};

struct Box {
  float minX, maxX, minY, maxY, minZ, maxZ;
};

Box BoxOf(const Objex* part) {
  Box b{1e9f, -1e9f, 1e9f, -1e9f, 1e9f, -1e9f};
  for (const Poinz* p = part->firstPoint; p; p = p->next) {
    b.minX = std::min(b.minX, p->position[0]);
    b.maxX = std::max(b.maxX, p->position[0]);
    b.minY = std::min(b.minY, p->position[1]);
    b.maxY = std::max(b.maxY, p->position[1]);
    b.minZ = std::min(b.minZ, p->position[2]);
    b.maxZ = std::max(b.maxZ, p->position[2]);
  }
  return b;
}

std::vector<Objex*> Parts(const Objex* owner, int16_t type) {
  std::vector<Objex*> out;
  for (Objex* o = static_cast<Objex*>(owner->typeData); o; o = o->next)
    if (o->type == type) out.push_back(o);
  return out;
}

TEST(StairRiser, WholeStepsThatFitPlusOneHundredth) {
  EXPECT_NEAR(StairRiserHeight(96, 7), 96.0f / 13 + 0.01f, 1e-5);
  EXPECT_NEAR(StairRiserHeight(96, 7), 7.3946f, 1e-4);
  EXPECT_NEAR(StairRiserHeight(96, 8), 8.01f, 1e-5);
  EXPECT_NEAR(StairRiserHeight(5, 7), 5.01f, 1e-5);    // below one step: one riser
  EXPECT_NEAR(StairRiserHeight(96, 0), 96.01f, 1e-4);  // no step height: one riser
  EXPECT_NEAR(StairRiserHeight(96, -4), 96.01f, 1e-4);
}

TEST_F(Stairs, StraightFlightBuildsThirteenClosedBlocksAndPutsTheStepHeightBack) {
  Objex* st = AddStairs({{0, 0}, {400, 0}});
  UpdateStairObject(st);
  const auto treads = Parts(st, kObjStairTread);
  ASSERT_EQ(treads.size(), 13u);  // the rest of the line stays without steps
  const float r = 2 * kRiser7;
  for (size_t k = 0; k < treads.size(); ++k) {
    const Box b = BoxOf(treads[k]);
    EXPECT_NEAR(b.maxY, -r * k, 1e-3) << k;        // block from y0 - a
    EXPECT_NEAR(b.minY, -r * (k + 1), 1e-3) << k;  // up to y0 - a - r
    EXPECT_NEAR(b.maxZ - b.minZ, 96.0f, 1e-3);     // 48 in wide
    EXPECT_NEAR(b.maxX - b.minX, 20.0f, 1e-3);     // 400 / 20 = 20 steps of 20 units
  }
  EXPECT_EQ(treads[0]->firstPoint->textureID[0], 1700);
  EXPECT_FLOAT_EQ(StairStepHeightOf(st), 7.0f);
  // Step height 8: twelve risers of 8.01.
  StairStepHeightOf(st) = 8;
  UpdateStairObject(st);
  EXPECT_EQ(Parts(st, kObjStairTread).size(), 12u);
  EXPECT_NEAR(BoxOf(Parts(st, kObjStairTread).back()).minY, -12 * 2 * 8.01f, 1e-3);
  // Step height 0: one riser of the full height, and the rebuild ends.
  StairStepHeightOf(st) = 0;
  UpdateStairObject(st);
  ASSERT_EQ(Parts(st, kObjStairTread).size(), 1u);
  EXPECT_NEAR(BoxOf(Parts(st, kObjStairTread)[0]).minY, -2 * 96.01f, 1e-3);
  EXPECT_FLOAT_EQ(StairStepHeightOf(st), 0.0f);
}

// A straight flight across and down the plan at plan scales 24, 48 and 96: its 13 risers
// divide the height, each tread is the stair's width across and the run over the rounded
// count of step depths along, all from inches at the scale.
TEST_F(Stairs, StraightFlightTakesItsSizesAtThePlanScale) {
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    for (const bool down : {false, true}) {
      SCOPED_TRACE(testing::Message() << "plan scale " << scale << (down ? ", down" : ", across"));
      doc.ds()->planScale = scale;
      const float k = 72 / scale;
      Objex* st = down ? AddStairs({{0, 0}, {0, 400}}) : AddStairs({{0, 0}, {400, 0}});
      UpdateStairObject(st);
      const auto treads = Parts(st, kObjStairTread);
      ASSERT_EQ(treads.size(), 13u);
      const float r = kRiser7 * k, run = 400 / std::round(400 / (10 * k));
      for (size_t i = 0; i < treads.size(); ++i) {
        const Box b = BoxOf(treads[i]);
        EXPECT_NEAR(b.maxY, -r * i, 1e-3) << i;
        EXPECT_NEAR(b.minY, -r * (i + 1), 1e-3) << i;
        EXPECT_NEAR(down ? b.maxX - b.minX : b.maxZ - b.minZ, 48 * k, 1e-3) << i;
        EXPECT_NEAR(down ? b.maxZ - b.minZ : b.maxX - b.minX, run, 1e-3) << i;
      }
    }
  }
}

TEST_F(Stairs, OpenTreadsAreAQuarterRiserThick) {
  Objex* st = AddStairs({{0, 0}, {400, 0}});
  ClosedStepsOf(st) = 0;
  UpdateStairObject(st);
  const auto treads = Parts(st, kObjStairTread);
  ASSERT_EQ(treads.size(), 13u);
  const float r = 2 * kRiser7;
  const Box b = BoxOf(treads[3]);
  EXPECT_NEAR(b.maxY, -(3 * r + 0.75f * r), 1e-3);
  EXPECT_NEAR(b.minY, -(4 * r), 1e-3);
  // Open steps: no underside panel (only the two stringers are plain polygons).
  EXPECT_EQ(Parts(st, kObjClosedPoly).size(), 2u);
}

TEST_F(Stairs, FlightRoundsItsStepsToTheRunAndSkipsAShortOne) {
  Objex* st = AddStairs({{0, 0}, {130, 0}});
  UpdateStairObject(st);
  const auto treads = Parts(st, kObjStairTread);
  ASSERT_EQ(treads.size(), 7u);  // 130 / 20 = 6.5 rounds to 7
  for (const Objex* t : treads) EXPECT_NEAR(BoxOf(t).maxX - BoxOf(t).minX, 130.0f / 7, 1e-3);

  // A flight shorter than half a depth: no step, one riser taken off the rise.
  DeleteGeneratedParts(st);
  gStairHeightAccum = 30;
  float ls[3] = {0, 0, -48}, rs[3] = {0, 0, 48};
  const float le[3] = {9, 0, -48}, re[3] = {9, 0, 48};
  const PartMaterial m{0, {}, {100, 100}};
  UpdateStraightStairSegment(st, ls, le, rs, re, 192, 0, kRiser7, 10, 1, 1, 36, m, m, 0, 0);
  EXPECT_NEAR(gStairHeightAccum, 30 - 2 * kRiser7, 1e-3);
  EXPECT_EQ(st->typeData, nullptr);
  EXPECT_FLOAT_EQ(ls[0], 9.0f);  // the next flight starts at this one's end

  // A negative step depth (from a damaged design) rounds to no step either.
  gStairHeightAccum = 30;
  float ls2[3] = {0, 0, -48}, rs2[3] = {0, 0, 48};
  const float le2[3] = {130, 0, -48}, re2[3] = {130, 0, 48};
  UpdateStraightStairSegment(st, ls2, le2, rs2, re2, 192, 0, kRiser7, -10, 1, 1, 36, m, m, 0, 0);
  EXPECT_NEAR(gStairHeightAccum, 30 - 2 * kRiser7, 1e-3);
  EXPECT_EQ(st->typeData, nullptr);
}

TEST_F(Stairs, HandRailsBalustersAndPostsFollowTheFlags) {
  Objex* st = AddStairs({{0, 0}, {130, 0}});
  UpdateStairObject(st);
  // Two balusters per step and side, a bottom and a top post per side, one rail per side.
  const auto rails = Parts(st, kObjRailPart);
  size_t balusters = 0, posts = 0, handRails = 0;
  for (const Objex* o : rails) {
    const Box b = BoxOf(o);
    const float w = b.maxZ - b.minZ;
    if (std::fabs(w - 2) < 1e-3 && b.maxX - b.minX < 3) ++balusters;
    else if (std::fabs(w - 8) < 1e-3) ++posts;
    else if (std::fabs(w - 4) < 1e-3) ++handRails;
  }
  EXPECT_EQ(balusters, 28u);
  EXPECT_EQ(posts, 4u);
  EXPECT_EQ(handRails, 2u);

  LeftRailOf(st) = RightRailOf(st) = 0;
  UpdateStairObject(st);
  EXPECT_TRUE(Parts(st, kObjRailPart).empty());
  EXPECT_TRUE(Parts(st, kObjSpindle).empty());

  // The framing view shows the hand rails as flat boards, with no balusters or posts, plain
  // framing treads, and leaves the staircase's own fields as they were.
  LeftRailOf(st) = RightRailOf(st) = 1;
  doc.ds()->framingView = 1;
  UpdateStairObject(st);
  const auto boards = Parts(st, kObjRailPart);
  ASSERT_EQ(boards.size(), 2u);
  EXPECT_EQ(boards[0]->firstPoint->textureID[0], 2202);
  EXPECT_EQ(Parts(st, kObjStairTread)[0]->firstPoint->textureID[0], 2203);
  EXPECT_EQ(LeftRailOf(st), 1);
  EXPECT_EQ(RightRailOf(st), 1);
  EXPECT_EQ(st->textureID2, 1700);
  EXPECT_FLOAT_EQ(StairStepHeightOf(st), 7.0f);
}

TEST_F(Stairs, UndersidePanelsByStepKindSkirtWallsAndStringerBase) {
  // Closed steps without skirt walls: one panel besides the two stringers.
  Objex* st = AddStairs({{0, 0}, {130, 0}});
  UpdateStairObject(st);
  EXPECT_EQ(Parts(st, kObjClosedPoly).size(), 3u);
  // Skirt walls: stringers reach the base level, no panel.
  SkirtWallsOf(st) = 1;
  UpdateStairObject(st);
  const auto skirted = Parts(st, kObjClosedPoly);
  ASSERT_EQ(skirted.size(), 2u);
  for (const Objex* s : skirted) EXPECT_NEAR(BoxOf(s).maxY, 0.0f, 1e-4);
  // A long stringer base on a first flight of 3 or more steps: two panels.
  SkirtWallsOf(st) = 0;
  LongStringerBaseOf(st) = 1;
  UpdateStairObject(st);
  EXPECT_EQ(Parts(st, kObjClosedPoly).size(), 4u);
  // The stringer stands on the base level up to the end of the second step.
  const Objex* stringer = Parts(st, kObjClosedPoly)[0];
  float reach = 0;
  for (const Poinz* p = stringer->firstPoint; p; p = p->next)
    if (std::fabs(p->position[1]) < 1e-4) reach = std::max(reach, p->position[0]);
  EXPECT_NEAR(reach, 2 * 130.0f / 7, 1e-3);
}

TEST_F(Stairs, LongStringerBaseReachesTheSecondStepOnEveryFlight) {
  Objex* st = AddStairs({{0, 0}, {130, 0}});
  LongStringerBaseOf(st) = 1;
  const float start[3] = {0, 0, 0};
  auto base = [](const Objex* stringer) {
    const Poinz* p = stringer->firstPoint;
    while (p->next) p = p->next;
    return p;
  };
  // A first flight of two steps: no raised point, the base at the end of the second step.
  gStairStringerHeightAccum = 0;
  int32_t under = 0;
  const Objex* two = BuildStaircaseStraightStringer(st, start, 0, 20, 10, 100, 0, 2, 0, 0, 1, &under);
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(under, 2);
  EXPECT_NEAR(base(two)->position[0], 40.0f, 1e-4);
  EXPECT_NEAR(base(two)->position[1], 0.0f, 1e-4);
  // A later flight: the base at the end of its second step, on minus the rise at entry.
  gStairStringerHeightAccum = 30;
  const Objex* later = BuildStaircaseStraightStringer(st, start, 0, 20, 10, 200, 0, 4, 1, 0, 1, &under);
  ASSERT_NE(later, nullptr);
  EXPECT_EQ(under, 2);
  EXPECT_NEAR(base(later)->position[0], 40.0f, 1e-4);
  EXPECT_NEAR(base(later)->position[1], -30.0f, 1e-4);
  EXPECT_NEAR(later->firstPoint->position[1], 10.0f - 30.0f, 1e-4);
  // A single step keeps its base under that step.
  gStairStringerHeightAccum = 0;
  const Objex* one = BuildStaircaseStraightStringer(st, start, 0, 20, 10, 100, 0, 1, 0, 0, 1, &under);
  ASSERT_NE(one, nullptr);
  EXPECT_NEAR(base(one)->position[0], 20.0f, 1e-4);
  DeleteGeneratedParts(st);
}

TEST_F(Stairs, LandingCountsAsOneRiserAndTheNextFlightStartsHigher) {
  // An L: a flight along +x, a bend, a flight along +z (down the screen).
  Objex* st = AddStairs({{0, 0}, {200, 0}, {200, 300}});
  UpdateStairObject(st);
  const auto treads = Parts(st, kObjStairTread);
  const float r = 2 * kRiser7;
  // First flight: tops at -r .. -k r; the landing block; then the next flight one riser up.
  size_t k = 0;
  float lastFirstFlightTop = 0;
  while (k < treads.size() && BoxOf(treads[k]).maxX - BoxOf(treads[k]).minX < 30) {
    lastFirstFlightTop = BoxOf(treads[k]).minY;
    ++k;
  }
  ASSERT_LT(k + 1, treads.size());
  const Box landing = BoxOf(treads[k]);
  EXPECT_NEAR(landing.maxY, lastFirstFlightTop, 1e-3);
  EXPECT_NEAR(landing.minY, lastFirstFlightTop - r, 1e-3);
  const Box next = BoxOf(treads[k + 1]);
  EXPECT_NEAR(next.maxY, landing.minY, 1e-3);
  EXPECT_NEAR(next.minY, landing.minY - r, 1e-3);
  // The landing's side panels, rails and posts: the bottom two, one inside the inner corner,
  // three along the outer rails (both ends of the first edge, the end of the second) and the
  // top two.
  EXPECT_EQ(Parts(st, kObjStairLandingPart).size(), 2u);
  size_t posts = 0;
  for (const Objex* o : Parts(st, kObjRailPart)) {
    const Box b = BoxOf(o);
    if (std::fabs(b.maxX - b.minX - 8) < 1e-3 && std::fabs(b.maxZ - b.minZ - 8) < 1e-3) ++posts;
  }
  EXPECT_EQ(posts, 8u);
  // The landing block is the 96 x 96 square in the bend.
  EXPECT_NEAR(landing.minX, 152.0f, 1e-3);
  EXPECT_NEAR(landing.maxX, 248.0f, 1e-3);
  EXPECT_NEAR(landing.minZ, -48.0f, 1e-3);
  EXPECT_NEAR(landing.maxZ, 48.0f, 1e-3);
  EXPECT_EQ(Parts(st, kObjStairTread).size(), 13u);
}

TEST_F(Stairs, LandingBuiltOnItsOwnFromBothSideLines) {
  // The first flight of an L ended square at x 152; the left line turns at (248, -48), the
  // right line at (152, 48), both toward +z.
  Objex* st = AddStairs({{0, 0}, {200, 0}, {200, 300}});
  st->params[1] = kRiser7;  // as the flight builder leaves it
  float leftStart[3] = {152, 0, -48}, rightStart[3] = {152, 0, 48};
  const float leftCorner[3] = {248, 0, -48}, leftNext[3] = {248, 0, 300};
  const float rightCorner[3] = {152, 0, 48}, rightNext[3] = {152, 0, 300};
  gStairHeightAccum = 0;
  BuildStairLanding(st, leftStart, leftCorner, rightStart, rightCorner, leftCorner, leftNext, rightCorner, rightNext,
                    200, 0);
  const auto treads = Parts(st, kObjStairTread);
  ASSERT_EQ(treads.size(), 1u);
  const Box landing = BoxOf(treads[0]);
  EXPECT_NEAR(landing.minX, 152.0f, 1e-3);
  EXPECT_NEAR(landing.maxX, 248.0f, 1e-3);
  EXPECT_NEAR(landing.minZ, -48.0f, 1e-3);
  EXPECT_NEAR(landing.maxZ, 48.0f, 1e-3);
  EXPECT_NEAR(gStairHeightAccum, 2 * kRiser7, 1e-3);  // one riser
  // The next flight starts one stair width across from the inner corner and at it.
  EXPECT_NEAR(leftStart[0], 248.0f, 1e-3);
  EXPECT_NEAR(leftStart[2], 48.0f, 1e-3);
  EXPECT_NEAR(rightStart[0], 152.0f, 1e-3);
  EXPECT_NEAR(rightStart[2], 48.0f, 1e-3);
  DeleteGeneratedParts(st);
}

TEST_F(Stairs, HandRailAndBalustersWithoutABaseLevelStandOnTheStaircasesPoints) {
  Objex* st = AddStairs({{0, 0}, {130, 0}});
  for (Poinz* p = st->firstPoint; p; p = p->next) p->position[1] = -12;
  const PartMaterial slot1 = MaterialSlot1(st);
  const float side0[2] = {0, 24}, side1[2] = {130, 24}, other0[2] = {0, -24}, other1[2] = {130, -24};
  const float step[2] = {20, 24}, otherStep[2] = {20, -24};
  auto sameBoxes = [&](size_t count) {
    const auto parts = Parts(st, kObjRailPart);
    ASSERT_EQ(parts.size(), 2 * count);
    for (size_t i = 0; i < count; ++i) {
      const Box a = BoxOf(parts[i]), b = BoxOf(parts[count + i]);
      EXPECT_NEAR(a.minY, b.minY, 1e-4) << i;
      EXPECT_NEAR(a.maxY, b.maxY, 1e-4) << i;
      EXPECT_NEAR(a.minX, b.minX, 1e-4) << i;
      EXPECT_NEAR(a.maxZ, b.maxZ, 1e-4) << i;
    }
    DeleteGeneratedParts(st);
  };
  gStairHeightAccum = 30;
  gInitializeStairs = gPlaceFinalBalusters = 0;
  AppendStraightHandRail(side0, side1, other0, other1, st, 1, 0, 100, 36, 10, 20, slot1);
  AppendStraightHandRail(side0, side1, other0, other1, st, 1, 0, 100, -12, 36, 10, 20, slot1);
  sameBoxes(1);
  AppendStraightStairSpindles(side0, step, other0, otherStep, st, 1, 36, 10, 20, slot1);
  AppendStraightStairSpindles(side0, step, other0, otherStep, st, 1, -12, 36, 10, 20, slot1);
  sameBoxes(2);
  // The level matters: on 0 the balusters stand 12 lower (larger y).
  AppendStraightStairSpindles(side0, step, other0, otherStep, st, 1, 36, 10, 20, slot1);
  AppendStraightStairSpindles(side0, step, other0, otherStep, st, 1, 0, 36, 10, 20, slot1);
  const auto parts = Parts(st, kObjRailPart);
  ASSERT_EQ(parts.size(), 4u);
  EXPECT_NEAR(BoxOf(parts[2]).maxY - BoxOf(parts[0]).maxY, 12.0f, 1e-4);
  DeleteGeneratedParts(st);
}

TEST_F(Stairs, CurvedTreadsLieOneDepthApartAlongTheCentreLine) {
  // Tangents along the line: the centre line runs straight at uniform speed.
  Objex* st = AddStairs({{0, 0}, {200, 0}}, kSubCurvedStair);
  st->firstPoint->outHandle[0] = st->firstPoint->next->inHandle[0] = 200;
  UpdateStairObject(st);
  const auto treads = Parts(st, kObjStairTread);
  ASSERT_EQ(treads.size(), 10u);
  const float r = 2 * kRiser7;
  for (size_t k = 0; k < treads.size(); ++k) {
    const Box b = BoxOf(treads[k]);
    EXPECT_NEAR(b.minX, 20.0f * k, 0.05f) << k;
    EXPECT_NEAR(b.maxX, 20.0f * (k + 1), 0.05f) << k;
    EXPECT_NEAR(b.maxY, -r * k, 1e-3) << k;
  }
  EXPECT_FLOAT_EQ(StairStepHeightOf(st), 7.0f);
  // Stringer pieces on both sides of each step; underside strips from the second step on.
  EXPECT_EQ(Parts(st, kObjStairStepPart).size(), 20u);
  EXPECT_EQ(Parts(st, kObjOpenPoly).size(), 9u);
  EXPECT_EQ(Parts(st, kObjSpindle).size(), 20u);

  // Stepping stops at the staircase's height.
  st->firstPoint->next->position[0] = 400;
  st->firstPoint->outHandle[0] = st->firstPoint->next->inHandle[0] = 400;
  UpdateStairObject(st);
  EXPECT_EQ(Parts(st, kObjStairTread).size(), 13u);

  // A centre line shorter than one tread depth builds no step.
  st->firstPoint->next->position[0] = 15;
  st->firstPoint->outHandle[0] = st->firstPoint->next->inHandle[0] = 15;
  UpdateStairObject(st);
  EXPECT_EQ(st->typeData, nullptr);
}

TEST_F(Stairs, CurvedStringerPiecesMoveOutAlongTheStepsCrossLine) {
  // A quarter turn of radius 200: the side edges of each step turn against the cross lines.
  Objex* st = AddStairs({{0, 0}, {200, 200}}, kSubCurvedStair);
  const float k = 200 * 1.5f;  // a Hermite tangent close to a circular quarter
  st->firstPoint->outHandle[0] = k;
  st->firstPoint->next->inHandle[2] = k;
  UpdateStairObject(st);
  const auto treads = Parts(st, kObjStairTread);
  const auto pieces = Parts(st, kObjStairStepPart);
  ASSERT_GE(treads.size(), 5u);
  ASSERT_EQ(pieces.size(), 2 * treads.size());
  for (size_t n = 0; n < treads.size(); ++n) {
    // The tread's lower ring: previous left, previous right, right, left.
    std::vector<const Poinz*> c;
    for (const Poinz* p = treads[n]->firstPoint; p && c.size() < 4; p = p->next) c.push_back(p);
    ASSERT_EQ(c.size(), 4u);
    const float wx = c[3]->position[0] - c[2]->position[0], wz = c[3]->position[2] - c[2]->position[2];
    const float w = std::sqrt(wx * wx + wz * wz);
    ASSERT_NEAR(w, 96.0f, 1e-2);
    const float ox = 0.1f * wx / w, oz = 0.1f * wz / w;  // outward on the left
    const Poinz* left = pieces[2 * n]->firstPoint;
    const Poinz* right = pieces[2 * n + 1]->firstPoint;
    // Both ends of each piece move by the same vector, square to the boundary's chord.
    EXPECT_NEAR(left->position[0], c[0]->position[0] + ox, 1e-3) << n;
    EXPECT_NEAR(left->position[2], c[0]->position[2] + oz, 1e-3) << n;
    EXPECT_NEAR(left->next->position[0], c[3]->position[0] + ox, 1e-3) << n;
    EXPECT_NEAR(left->next->position[2], c[3]->position[2] + oz, 1e-3) << n;
    EXPECT_NEAR(right->position[0], c[1]->position[0] - ox, 1e-3) << n;
    EXPECT_NEAR(right->position[2], c[1]->position[2] - oz, 1e-3) << n;
    EXPECT_NEAR(right->next->position[0], c[2]->position[0] - ox, 1e-3) << n;
    EXPECT_NEAR(right->next->position[2], c[2]->position[2] - oz, 1e-3) << n;
  }
}

TEST_F(Stairs, CurvedTreadDepthOfZeroCountsAsOneUnit) {
  Objex* st = AddStairs({{0, 0}, {10, 0}}, kSubCurvedStair);
  st->firstPoint->outHandle[0] = st->firstPoint->next->inHandle[0] = 10;
  StairStepDepthOf(st) = 0;
  UpdateStairObject(st);  // must end
  const auto treads = Parts(st, kObjStairTread);
  ASSERT_GE(treads.size(), 9u);
  ASSERT_LE(treads.size(), 10u);
  EXPECT_NEAR(BoxOf(treads[0]).maxX - BoxOf(treads[0]).minX, 1.0f, 0.05f);
  EXPECT_FLOAT_EQ(StairStepDepthOf(st), 0.0f);
}

TEST_F(Stairs, DeckStringerTakesTheDeckMaterialAndStandsOnTheBase) {
  Objex* deck = doc.addObject(kObjDeck, true, {{0, 0}, {100, 0}, {100, 100}});
  deck->textureID = 2210;
  deck->penColor = {7, 8, 9};
  deck->penStyle = 5;  // a deck's stringers are notched whatever its pen style
  doc.ds()->newPenColor = {11, 12, 13};
  doc.ds()->newFillColor = {14, 15, 16};
  gStairStringerHeightAccum = 0;
  const float start[3] = {0, 0, 0};
  int32_t under = 0;
  Objex* stringer = BuildStaircaseStraightStringer(deck, start, 0, 20, 10, 100, 0, 3, 0, 0, 1, &under);
  ASSERT_NE(stringer, nullptr);
  EXPECT_EQ(under, 2);
  EXPECT_EQ(stringer->firstPoint->textureID[0], 2210);
  EXPECT_EQ(stringer->firstPoint->color[0].blue, 9);
  EXPECT_EQ(stringer->firstPoint->next->color[1].blue, 9);
  // The stringer itself keeps the document's pen and fill colours; only its points carry the
  // material, for a deck and for a staircase alike.
  EXPECT_EQ(stringer->penColor, (RGBColor{11, 12, 13}));
  EXPECT_EQ(stringer->fillColor, (RGBColor{14, 15, 16}));
  Objex* st = AddStairs({{0, 0}, {130, 0}});
  st->firstPoint->color[0] = {21, 22, 23};
  gStairStringerHeightAccum = 0;
  Objex* stairStringer = BuildStaircaseStraightStringer(st, start, 0, 20, 10, 100, 0, 3, 0, 0, 1, &under);
  ASSERT_NE(stairStringer, nullptr);
  EXPECT_EQ(stairStringer->firstPoint->color[0], (RGBColor{21, 22, 23}));
  EXPECT_EQ(stairStringer->penColor, (RGBColor{11, 12, 13}));
  EXPECT_EQ(stairStringer->fillColor, (RGBColor{14, 15, 16}));
  DeleteGeneratedParts(st);
  // Start, two points per notched step, the point under the last step, the base point.
  EXPECT_EQ(stringer->pointCount, 1 + 2 * 3 + 2);
  EXPECT_NEAR(stringer->firstPoint->position[1], 0.0f, 1e-4);
  const Poinz* last = stringer->firstPoint;
  while (last->next) last = last->next;
  EXPECT_NEAR(last->position[1], 0.0f, 1e-4);
  EXPECT_NEAR(last->position[0], 20.0f, 1e-4);
  EXPECT_NEAR(stringer->firstPoint->position[2], -0.1f, 1e-4);  // 0.1 outside, on the left
  EXPECT_NEAR(gStairStringerHeightAccum, 40.0f, 1e-4);  // three steps and the closing riser
  DeleteGeneratedParts(deck);
}

TEST_F(Stairs, RefusedWithoutTwoPointsOrWithTwoLevels) {
  Objex* lone = AddStairs({{0, 0}});
  UpdateStairObject(lone);
  EXPECT_EQ(lone->typeData, nullptr);
  Objex* st = AddStairs({{0, 0}, {130, 0}});
  st->levels = 2;
  UpdateStairObject(st);
  EXPECT_EQ(st->typeData, nullptr);
}

TEST_F(Stairs, ConversionBuildsThePartsAndDeletingFreesThem) {
  Objex* line = doc.addObject(kObjOpenPoly, false, {{0, 0}, {130, 0}});
  line->levels = 1;
  ASSERT_TRUE(ConvertObjectType(line, kCmdConvertToStaircase));
  EXPECT_EQ(line->type, kObjStaircase);
  EXPECT_EQ(Parts(line, kObjStairTread).size(), 7u);
  DeleteObj(line);
}

TEST_F(Stairs, PastedStaircaseIsBuiltAgain) {
  Objex* st = AddStairs({{0, 0}, {130, 0}});
  UpdateStairObject(st);
  SelectObj(st, kSelectOn, 0);
  DoCopyObjects();
  DoPasteObjects();
  int staircases = 0;
  for (Objex* o = doc.first->firstObject; o; o = o->next) {
    if (o->type != kObjStaircase) continue;
    ++staircases;
    EXPECT_EQ(Parts(o, kObjStairTread).size(), 7u);  // the copy's parts come from its own rebuild
  }
  EXPECT_EQ(staircases, 2);
}

TEST_F(Stairs, ReversalMakesTheLastPointTheFirst) {
  Objex* st = AddStairs({{0, 0}, {100, 0}, {100, 100}});
  Poinz* last = st->firstPoint->next->next;
  ReverseStairDirection(st);
  EXPECT_EQ(st->firstPoint, last);
  EXPECT_EQ(st->firstPoint->prev, nullptr);
  EXPECT_FLOAT_EQ(st->firstPoint->next->next->position[0], 0.0f);
  EXPECT_EQ(st->firstPoint->next->next->next, nullptr);

  // The chain form: the former head ends the run with no successor.
  Poinz* head = st->firstPoint;
  Poinz* second = head->next;
  Poinz* third = second->next;
  Poinz* reversed = ReverseCurveSegmentDirection(head, 3);
  EXPECT_EQ(reversed, third);
  EXPECT_EQ(third->next, second);
  EXPECT_EQ(second->next, head);
  EXPECT_EQ(head->next, nullptr);
  EXPECT_EQ(third->prev, nullptr);
  st->firstPoint = reversed;
  EXPECT_EQ(ReverseCurveSegmentDirection(head, 1), nullptr);
  // One point of a longer chain: it stays the head and ends the run.
  EXPECT_EQ(ReverseCurveSegmentDirection(third, 1), third);
  EXPECT_EQ(third->next, nullptr);
  EXPECT_EQ(second->prev, nullptr);
  third->next = second;
  second->prev = third;
}

bool sShown = false;
void ShownBounds(int32_t* w, int32_t* h) { *w = *h = 64; }
bool Shown() { return sShown; }

TEST_F(Stairs, EditsRebuildThePartsAndTheRoadTurnsThemIntoFaces) {
  const LiveViewHost saved = gLiveViewHost;
  gLiveViewHost.viewBounds = ShownBounds;
  gLiveViewHost.isVisible = Shown;
  sShown = true;
  gRenderOnShow = gForceRenderObjectNow = gEnableBackgroundRendering = 0;
  FreeScene();

  Objex* st = AddStairs({{0, 0}, {130, 0}});
  Objex* rail = doc.addObject(kObjRailing, false, {{0, 200}, {120, 200}});
  RailHeightOf(rail) = 36;
  RailBalusterSpacingOf(rail) = 6;
  // An edit of each (the walkers' rebuild by kind) builds its parts...
  EXPECT_TRUE(RebuildObject(st, kRebuildBasic));
  EXPECT_TRUE(RebuildObject(rail, kRebuildBasic));
  EXPECT_EQ(CountGeneratedParts(st, kObjStairTread), 7);
  EXPECT_EQ(CountGeneratedParts(rail, kObjRailPart), 13);
  // ...and the road turns them into faces that belong to the staircase or railing.
  RenderSingleObject(st);
  RenderSingleObject(rail);
  int fromStairs = 0, fromRail = 0, treads = 0;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    if (po->base2DObject == st) ++fromStairs;
    if (po->base2DObject == rail) ++fromRail;
    if (po->base2DObject == st && po->partType == kObjStairTread) ++treads;
  }
  EXPECT_GT(fromStairs, 0);
  EXPECT_GT(fromRail, 0);
  EXPECT_EQ(treads, 7 * 6);  // four sides and two caps per block
  // A second edit replaces the parts rather than adding to them.
  RebuildObject(st, kRebuildBasic);
  EXPECT_EQ(CountGeneratedParts(st, kObjStairTread), 7);

  FreeScene();
  gLiveViewHost = saved;
}

}  // namespace

namespace {

TEST_F(Stairs, OneHandRailOnTheOtherOffBuildsOnlyThatSide) {
  auto build = [&](int32_t left, int32_t right) {
    Objex* st = AddStairs({{0, 0}, {130, 0}});
    LeftRailOf(st) = left;
    RightRailOf(st) = right;
    UpdateStairObject(st);
    std::vector<Box> out;
    for (const Objex* o : Parts(st, kObjRailPart)) out.push_back(BoxOf(o));
    for (const Objex* o : Parts(st, kObjSpindle)) out.push_back(BoxOf(o));
    return out;
  };
  const auto both = build(1, 1), left = build(1, 0), right = build(0, 1);
  ASSERT_FALSE(left.empty());
  EXPECT_EQ(left.size(), right.size());
  EXPECT_EQ(left.size() + right.size(), both.size());
  // The staircase runs along x and is 48 wide: the two sides lie on either side of its
  // centre line and mirror each other across it.
  float centre = 0;
  for (const Box& b : both) centre += (b.minZ + b.maxZ) / 2;
  centre /= static_cast<float>(both.size());
  auto side = [&](const Box& b) { return (b.minZ + b.maxZ) / 2 < centre ? -1 : 1; };
  const int leftSide = side(left.front());
  for (const Box& b : left) EXPECT_EQ(side(b), leftSide);
  for (const Box& b : right) EXPECT_EQ(side(b), -leftSide);
  for (const Box& l : left) {
    bool mirrored = false;
    for (const Box& r : right)
      mirrored = mirrored || (std::fabs(l.minX - r.minX) < 0.01f && std::fabs(l.minY - r.minY) < 0.01f &&
                              std::fabs((l.minZ + l.maxZ) / 2 + (r.minZ + r.maxZ) / 2 - 2 * centre) < 0.01f);
    EXPECT_TRUE(mirrored) << l.minX << " " << l.minZ;
  }
}

}  // namespace

namespace {

// An L turning down the plan and its mirror image turning up: on the landing, the posts
// stand at the outer rails' trimmed ends and inside the inner corner, each outer rail runs
// 5 in from its edge between its end posts, and no baluster stands within a post.
TEST_F(Stairs, LandingRailsAndPostsOnBothTurns) {
  for (const float turn : {1.0f, -1.0f}) {
    SCOPED_TRACE(turn > 0 ? "turning down" : "turning up");
    Objex* st = AddStairs({{0, 0}, {200, 0}, {200, 300 * turn}});
    UpdateStairObject(st);
    std::vector<std::pair<float, float>> posts;
    std::vector<Box> balusters, rails;
    for (const Objex* o : Parts(st, kObjRailPart)) {
      const Box b = BoxOf(o);
      const float cx = (b.minX + b.maxX) / 2, cz = (b.minZ + b.maxZ) / 2 * turn;
      if (cx < 150 || cx > 250 || cz < -50 || cz > 50) continue;  // off the landing
      const float w = b.maxX - b.minX, d = b.maxZ - b.minZ;
      if (std::fabs(w - 8) < 1e-3 && std::fabs(d - 8) < 1e-3) posts.push_back({(b.minX + b.maxX) / 2, (b.minZ + b.maxZ) / 2 * turn});
      else if (w < 3 && d < 3) balusters.push_back(b);
      else rails.push_back(b);
    }
    std::sort(posts.begin(), posts.end());
    const std::vector<std::pair<float, float>> expected = {
        {152, -43}, {152 + 10 / 3.0f, 48 - 10 / 3.0f}, {243, 48}, {248, -43}};
    ASSERT_EQ(posts.size(), expected.size());
    for (size_t i = 0; i < posts.size(); ++i) {
      EXPECT_NEAR(posts[i].first, expected[i].first, 1e-3) << i;
      EXPECT_NEAR(posts[i].second, expected[i].second, 1e-3) << i;
    }
    ASSERT_FALSE(balusters.empty());
    for (const Box& b : balusters) {
      const float x = (b.minX + b.maxX) / 2, z = (b.minZ + b.maxZ) / 2 * turn;
      EXPECT_TRUE(std::fabs(z + 43) < 1e-3 || std::fabs(x - 243) < 1e-3) << x << ", " << z;
      for (const auto& [px, pz] : posts) EXPECT_GT(std::hypot(x - px, z - pz), 5.0f) << x << ", " << z;
    }
    // The side panels under the two outer edges stand 0.1 outside them.
    const auto panels = Parts(st, kObjStairLandingPart);
    ASSERT_EQ(panels.size(), 2u);
    const Box first = BoxOf(panels[0]), second = BoxOf(panels[1]);
    EXPECT_NEAR((first.minZ + first.maxZ) / 2 * turn, -48.1f, 1e-3);
    EXPECT_NEAR(first.maxZ - first.minZ, 0, 1e-3);
    EXPECT_NEAR(second.minX, 248.1f, 1e-3);
    EXPECT_NEAR(second.maxX, 248.1f, 1e-3);
    // Between its two end posts the rail along x has its balusters evenly placed, as far
    // from the one post as from the other.
    std::vector<float> xs;
    for (const Box& b : balusters)
      if (std::fabs((b.minZ + b.maxZ) / 2 * turn + 43) < 1e-3) xs.push_back((b.minX + b.maxX) / 2);
    std::sort(xs.begin(), xs.end());
    ASSERT_GE(xs.size(), 2u);
    for (size_t i = 0; i < xs.size(); ++i) EXPECT_NEAR(xs[i] - 152, 248 - xs[xs.size() - 1 - i], 1e-3) << i;
    // The hand rail along x: from 2 past its start post to 2 short of its end post.
    const auto along = std::find_if(rails.begin(), rails.end(), [&](const Box& b) {
      return b.maxX - b.minX > 50 && std::fabs((b.minZ + b.maxZ) / 2 * turn + 43) < 1.5f;
    });
    ASSERT_NE(along, rails.end());
    EXPECT_NEAR(along->minX, 154, 1.01f);
    EXPECT_NEAR(along->maxX, 246, 1.01f);
  }
}

}  // namespace
