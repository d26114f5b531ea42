// Edging in 3D: blocks at the spacing from the first point on, the rhythm carried around
// corners, block size and heights, the same varied heights at every build, and the
// edgings that are left alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "building3d/Edging3D.h"
#include "building3d/Railings3D.h"
#include "model/Delete.h"
#include "plandraw/LineStyles.h"

namespace {

constexpr RGBColor kStone{30000, 20000, 10000};

struct Block {
  float x, z;          // centre in plan
  float sizeX, sizeZ;  // plan extent
  float bottom, top;   // stored heights (negated)
};

std::vector<Block> Blocks(const Objex* edging) {
  std::vector<Block> out;
  for (const Objex* o = static_cast<const Objex*>(edging->typeData); o; o = o->next) {
    float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const Poinz* p = o->firstPoint; p; p = p->next) {
      minX = std::min(minX, p->position[0]);
      maxX = std::max(maxX, p->position[0]);
      minZ = std::min(minZ, p->position[2]);
      maxZ = std::max(maxZ, p->position[2]);
      minY = std::min(minY, p->position[1]);
      maxY = std::max(maxY, p->position[1]);
    }
    out.push_back({(minX + maxX) / 2, (minZ + maxZ) / 2, maxX - minX, maxZ - minZ, maxY, minY});
  }
  return out;
}

struct Edging : ::testing::Test {
  TestDocument doc;
  ~Edging() override { EXPECT_MODEL_SOUND(); }

  Objex* AddEdging(std::initializer_list<std::pair<float, float>> pts) {
    Objex* e = doc.addObject(kObjEdging, false, pts);
    e->levels = 1;
    for (Poinz* p = e->firstPoint; p; p = p->next) {
      p->textureID[0] = p->textureID[1] = 2202;
      p->color[0] = p->color[1] = kStone;
    }
    return e;
  }
};

TEST_F(Edging, BlocksFollowTheSpacingAroundCorners) {
  Objex* e = AddEdging({{0, 0}, {110, 0}, {110, 45}});
  UpdateEdgingObject(e);
  const auto blocks = Blocks(e);
  const std::vector<std::pair<float, float>> expected = {{0, 0},  {20, 0},  {40, 0},   {60, 0},
                                                         {80, 0}, {100, 0}, {110, 10}, {110, 30}};
  ASSERT_EQ(blocks.size(), expected.size());
  for (size_t i = 0; i < blocks.size(); ++i) {
    EXPECT_NEAR(blocks[i].x, expected[i].first, 0.01f) << i;
    EXPECT_NEAR(blocks[i].z, expected[i].second, 0.01f) << i;
    EXPECT_NEAR(blocks[i].sizeX, 8.0f, 0.01f);
    EXPECT_NEAR(blocks[i].sizeZ, 8.0f, 0.01f);
    EXPECT_NEAR(blocks[i].bottom, -1.0f, 1e-4f);
    const float height = -blocks[i].top;
    EXPECT_GE(height, 12.0f);
    EXPECT_LE(height, 24.0f);
    EXPECT_FLOAT_EQ(height, std::round(height));
  }
  const Objex* first = static_cast<const Objex*>(e->typeData);
  EXPECT_EQ(first->type, kObjEdging);
  EXPECT_EQ(first->levels, 2);
  EXPECT_EQ(first->penColor, kStone);
  EXPECT_EQ(first->firstPoint->textureID[1], 2202);
  // The walk ends 15 past the last block.
  EXPECT_FLOAT_EQ(gStyleState.lengths[0], 20.0f);
  EXPECT_NEAR(WalkedDistance(gStyleState), 15.0f, 0.01f);
}

// Every point of every block, in order.
std::vector<float> Geometry(const Objex* edging) {
  std::vector<float> out;
  for (const Objex* o = static_cast<const Objex*>(edging->typeData); o; o = o->next)
    for (const Poinz* p = o->firstPoint; p; p = p->next) out.insert(out.end(), p->position, p->position + 3);
  return out;
}

std::vector<float> Heights(const Objex* edging) {
  std::vector<float> h;
  for (const Block& b : Blocks(edging)) h.push_back(-b.top);
  return h;
}

TEST_F(Edging, TheSameEdgingBuildsTheSameBlocksOfVariedHeights) {
  Objex* e = AddEdging({{0, 0}, {400, 0}, {400, 90}});
  UpdateEdgingObject(e);
  const std::vector<float> first = Geometry(e), heights = Heights(e);
  ASSERT_EQ(heights.size(), 25u);
  // Rebuilt, whatever the process's random numbers did meanwhile: the same blocks.
  std::srand(5);
  (void)std::rand();
  UpdateEdgingObject(e);
  EXPECT_EQ(Geometry(e), first);
  UpdateEdgingObject(e);
  EXPECT_EQ(Geometry(e), first);
  // The stones still differ in height along the row.
  const std::set<float> distinct(heights.begin(), heights.end());
  EXPECT_GE(distinct.size(), 6u);
  // The same edging elsewhere (a copy, or the edging moved) sets the same heights; another
  // shape others.
  Objex* copy = AddEdging({{1000, 500}, {1400, 500}, {1400, 590}});
  UpdateEdgingObject(copy);
  EXPECT_EQ(Heights(copy), heights);
  Objex* other = AddEdging({{0, 0}, {400, 0}, {400, 91}});
  UpdateEdgingObject(other);
  const std::vector<float> otherHeights = Heights(other);
  ASSERT_EQ(otherHeights.size(), heights.size());
  EXPECT_NE(otherHeights, heights);
}

TEST_F(Edging, CurvedAndClosedEdgingsKeepTheSpacing) {
  Objex* e = AddEdging({{0, 0}, {100, 0}, {100, 100}});
  e->closed = 1;
  // A bowed first segment: the blocks stay on the curve, 20 apart along it (closer in a
  // straight line only across a corner).
  e->firstPoint->outHandle[2] = 60;
  e->firstPoint->next->inHandle[2] = -60;
  UpdateEdgingObject(e);
  const auto blocks = Blocks(e);
  ASSERT_GT(blocks.size(), 15u);
  for (size_t i = 1; i < blocks.size(); ++i) {
    const float gap = std::hypot(blocks[i].x - blocks[i - 1].x, blocks[i].z - blocks[i - 1].z);
    EXPECT_LE(gap, 20.01f) << i;
    EXPECT_GT(gap, 5.0f) << i;
  }
}

TEST_F(Edging, OnePointOrTwoLevelsBuildNothing) {
  Objex* single = AddEdging({{0, 0}});
  UpdateEdgingObject(single);
  EXPECT_EQ(single->typeData, nullptr);

  Objex* e = AddEdging({{0, 0}, {100, 0}});
  UpdateEdgingObject(e);
  void* before = e->typeData;
  ASSERT_NE(before, nullptr);
  e->levels = 2;
  UpdateEdgingObject(e);
  EXPECT_EQ(e->typeData, before);
  e->levels = 1;
  UpdateEdgingObject(nullptr);

  // The reset of a walk state: only for edging.
  DashStyle state{};
  state.lengths[0] = 3;
  EXPECT_EQ(UpdateEdgingStyle(0, &state, single), 0);
  EXPECT_FLOAT_EQ(state.lengths[0], 20.0f);
  EXPECT_FLOAT_EQ(WalkedDistance(state), 20.0f);
  EXPECT_EQ(state.phase, 0);
  Objex* other = doc.addObject(kObjFence, false, {{0, 0}, {1, 0}});
  state.lengths[0] = 3;
  EXPECT_EQ(UpdateEdgingStyle(0, &state, other), 1);
  EXPECT_FLOAT_EQ(state.lengths[0], 3.0f);
  EXPECT_EQ(UpdateEdgingStyle(0, &state, nullptr), 0);

  // Deleting an edging frees its blocks with it.
  UnlinkObject(e);
  DeleteObj(e);
}

TEST_F(Edging, AWalkPastItsSpacingSetsOneBlockAndGoesOn) {
  Objex* e = AddEdging({{0, 0}, {100, 0}});
  DashStyle state{};
  UpdateEdgingStyle(0, &state, e);
  SetWalkedDistance(state, 500);
  UpdateEdgingList(0, 0, 0, 50, 0, 0, &state, e);
  const auto blocks = Blocks(e);
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_NEAR(blocks[0].x, 0.0f, 1e-3f);
  EXPECT_NEAR(blocks[2].x, 40.0f, 1e-3f);
  EXPECT_NEAR(WalkedDistance(state), 10.0f, 1e-3f);
}

TEST_F(Edging, WalkersRebuildVisibleLayersOnly) {
  Objex* shown = AddEdging({{0, 0}, {50, 0}});
  Objex* hidden = AddEdging({{0, 0}, {50, 0}});
  UnlinkObject(hidden);
  AppendObjectToLayer(hidden, doc.second);
  doc.second->visible = 0;
  UpdateEdgingAllLayers(doc.model.itsLayers);
  EXPECT_EQ(Blocks(shown).size(), 3u);
  EXPECT_EQ(hidden->typeData, nullptr);
}

}  // namespace
