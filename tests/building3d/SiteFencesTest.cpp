// Fences in 3D: the picket and rail rhythm of the built-in styles, touching privacy boards,
// gates and their least length, the materials of each piece, custom spans and posts, and the
// fences that are left alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "building3d/SiteFences3D.h"
#include "model/Delete.h"
#include "model/Services.h"

namespace {

constexpr RGBColor kBoardColor{1000, 2000, 3000}, kGateColor{4000, 5000, 6000};
constexpr RGBColor kPostColor{7000, 8000, 9000}, kPanelColor{10000, 11000, 12000};

struct Extent {
  float minX, maxX, minY, maxY, minZ, maxZ;
  float width() const { return maxX - minX; }
};

Extent ExtentOf(const Objex* part) {
  Extent e{1e9f, -1e9f, 1e9f, -1e9f, 1e9f, -1e9f};
  for (const Poinz* p = part->firstPoint; p; p = p->next) {
    e.minX = std::min(e.minX, p->position[0]);
    e.maxX = std::max(e.maxX, p->position[0]);
    e.minY = std::min(e.minY, p->position[1]);
    e.maxY = std::max(e.maxY, p->position[1]);
    e.minZ = std::min(e.minZ, p->position[2]);
    e.maxZ = std::max(e.maxZ, p->position[2]);
  }
  return e;
}

int Corners(const Objex* o) {
  int n = 0;
  for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
  return n;
}

std::vector<Objex*> Pieces(const Objex* fence) {
  std::vector<Objex*> out;
  for (Objex* o = static_cast<Objex*>(fence->typeData); o; o = o->next) out.push_back(o);
  return out;
}

// Pickets have five corners, rail pieces and blocks four, centre panels six; posts two rings.
std::vector<Objex*> PiecesWithCorners(const Objex* fence, int corners) {
  std::vector<Objex*> out;
  for (Objex* o : Pieces(fence))
    if (o->levels == 1 && Corners(o) == corners) out.push_back(o);
  return out;
}

std::vector<Objex*> Posts(const Objex* fence) {
  std::vector<Objex*> out;
  for (Objex* o : Pieces(fence))
    if (o->subtype == kSubFencePost) out.push_back(o);
  return out;
}

struct Fences : ::testing::Test {
  TestDocument doc;
  ~Fences() override { EXPECT_MODEL_SOUND(); }

  Objex* AddFence(int32_t style, std::initializer_list<std::pair<float, float>> pts, bool closed = false) {
    Objex* f = doc.addObject(kObjFence, closed, pts);
    f->levels = 1;
    f->textureID = style;
    f->textureID1 = 850;
    f->color1 = kPostColor;
    f->textureID3 = 2200;
    f->color3 = kPanelColor;
    FenceSpanLengthOf(f) = 72;
    FenceSpanHeightOf(f) = 72;
    FencePostHeightOf(f) = 72;
    FencePostWidthOf(f) = 24;
    FenceGateHeightOf(f) = 72;
    for (Poinz* p = f->firstPoint; p; p = p->next) {
      p->textureID[0] = p->textureID[1] = 2212;
      p->color[0] = p->color[1] = kBoardColor;
    }
    return f;
  }
};

TEST_F(Fences, PicketSectionAlternatesPicketsAndRails) {
  Objex* f = AddFence(kFenceStylePicket, {{0, 0}, {100, 0}});
  UpdateFenceObject(f);
  const auto pickets = PiecesWithCorners(f, 5);
  ASSERT_EQ(pickets.size(), 6u);
  const float starts[] = {0, 18, 36, 54, 72, 90};
  for (size_t i = 0; i < 6; ++i) {
    const Extent e = ExtentOf(pickets[i]);
    EXPECT_NEAR(e.minX, starts[i], 1e-3f) << i;
    EXPECT_NEAR(e.width(), i < 5 ? 12.0f : 10.0f, 1e-3f) << i;
    EXPECT_NEAR(e.minY, -72.0f, 1e-3f);  // the point of the picket
    EXPECT_NEAR(e.maxY, 0.0f, 1e-3f);    // standing on the section's height
    EXPECT_EQ(pickets[i]->type, kObjFence);
    EXPECT_EQ(pickets[i]->penColor, kBoardColor);
    EXPECT_EQ(pickets[i]->firstPoint->textureID[1], 2212);
  }
  // The picket's shoulders stand 8 below its point, at its edges.
  const Poinz* second = pickets[0]->firstPoint->next;
  EXPECT_NEAR(second->position[1], -64.0f, 1e-3f);
  EXPECT_NEAR(second->next->position[0], 6.0f, 1e-3f);

  // Two rail pieces 6 long in every gap, centred at a quarter and 0.85 of the height.
  const auto rails = PiecesWithCorners(f, 4);
  ASSERT_EQ(rails.size(), 10u);
  const float gaps[] = {12, 30, 48, 66, 84};
  for (size_t i = 0; i < 10; ++i) {
    const Extent e = ExtentOf(rails[i]);
    EXPECT_NEAR(e.minX, gaps[i / 2], 1e-3f);
    EXPECT_NEAR(e.width(), 6.0f, 1e-3f);
    const float centre = -(e.minY + e.maxY) / 2;
    EXPECT_NEAR(centre, i % 2 == 0 ? 18.0f : 61.2f, 1e-3f);
    EXPECT_NEAR(e.maxY - e.minY, 8.0f, 1e-3f);
  }
}

TEST_F(Fences, SectionsFollowTheirDirectionAndHeight) {
  // A section running along z, raised by 10: pieces stand on it and turn with it.
  Objex* f = AddFence(kFenceStyleRail, {{0, 0}, {0, 40}});
  f->firstPoint->position[1] = -10;
  UpdateFenceObject(f);
  for (Objex* piece : PiecesWithCorners(f, 5)) {
    const Extent e = ExtentOf(piece);
    EXPECT_NEAR(e.minX, 0.0f, 1e-3f);
    EXPECT_NEAR(e.maxX, 0.0f, 1e-3f);
    EXPECT_NEAR(e.maxY, -10.0f, 1e-3f);
    EXPECT_GE(e.minZ, -1e-3f);
    EXPECT_LE(e.maxZ, 40.001f);
  }
  // A section shorter than one picket is one picket of its own length.
  Objex* shortFence = AddFence(kFenceStylePicket, {{0, 0}, {8, 0}});
  UpdateFenceObject(shortFence);
  ASSERT_EQ(Pieces(shortFence).size(), 1u);
  EXPECT_NEAR(ExtentOf(Pieces(shortFence)[0]).width(), 8.0f, 1e-3f);
}

TEST_F(Fences, PrivacyBoardsTouchWithoutRails) {
  Objex* f = AddFence(kFenceStylePrivacy, {{0, 0}, {100, 0}});
  UpdateFenceObject(f);
  const auto all = Pieces(f);
  ASSERT_EQ(all.size(), 10u);
  float edge = 0;
  for (Objex* board : all) {
    ASSERT_EQ(Corners(board), 5);
    const Extent e = ExtentOf(board);
    EXPECT_NEAR(e.minX, edge, 1e-3f);
    EXPECT_NEAR(e.width(), 10.0f, 1e-3f);
    EXPECT_NEAR(e.minY, -144.0f, 1e-3f);
    edge = e.maxX;
  }
  EXPECT_NEAR(edge, 100.0f, 1e-3f);
}

TEST_F(Fences, GateSectionsNeedFiftyUnits) {
  Objex* shortGate = AddFence(kFenceStylePicket, {{0, 0}, {49, 0}});
  shortGate->firstPoint->pointType = kFenceGatePoint;
  UpdateFenceObject(shortGate);
  EXPECT_EQ(shortGate->typeData, nullptr);

  // Fence (0..20), then a gate section from 20 to 70 dressed by its own first point.
  Objex* f = AddFence(kFenceStylePicket, {{0, 0}, {20, 0}, {70, 0}});
  Poinz* gate = f->firstPoint->next;
  gate->pointType = kFenceGatePoint;
  gate->color[0] = gate->color[1] = kGateColor;
  UpdateFenceObject(f);
  std::vector<Objex*> inGate;
  for (Objex* o : Pieces(f))
    if (ExtentOf(o).minX >= 20 - 1e-3f) inGate.push_back(o);
  // Hinge and latch blocks (two rail pieces each), two leaves, the centre panel.
  ASSERT_EQ(inGate.size(), 7u);
  std::vector<Objex*> blocks, leaves, panels;
  for (Objex* o : inGate) {
    const int n = Corners(o);
    (n == 6 ? panels : (ExtentOf(o).maxY > -1e-3f ? leaves : blocks)).push_back(o);
  }
  ASSERT_EQ(blocks.size(), 4u);
  ASSERT_EQ(leaves.size(), 2u);
  ASSERT_EQ(panels.size(), 1u);
  EXPECT_NEAR(ExtentOf(blocks[0]).minX, 20.0f, 1e-3f);
  EXPECT_NEAR(ExtentOf(blocks[2]).minX, 64.0f, 1e-3f);
  for (Objex* b : blocks) {
    EXPECT_NEAR(ExtentOf(b).width(), 6.0f, 1e-3f);
    EXPECT_EQ(b->penColor, kBoardColor);  // rails always take the fence's first point
  }
  EXPECT_NEAR(ExtentOf(leaves[0]).minX, 26.0f, 1e-3f);
  EXPECT_NEAR(ExtentOf(leaves[1]).minX, 58.0f, 1e-3f);
  for (Objex* l : leaves) {
    EXPECT_NEAR(ExtentOf(l).width(), 6.0f, 1e-3f);
    EXPECT_EQ(l->penColor, kGateColor);
  }
  const Extent panel = ExtentOf(panels[0]);
  EXPECT_NEAR(panel.minX, 32.0f, 1e-3f);
  EXPECT_NEAR(panel.width(), 26.0f, 1e-3f);
  EXPECT_NEAR(panel.minY, -78.0f, 1e-3f);  // the arch rises 6 above the fence
  EXPECT_EQ(panels[0]->penColor, kGateColor);
}

TEST_F(Fences, BuildersCalledDirectlyDressFromTheirOwnFence) {
  // Build another fence first: its materials must not carry over to the next one.
  UpdateFenceObject(AddFence(kFenceStylePicket, {{0, 0}, {100, 0}}));
  constexpr RGBColor kOwnColor{123, 456, 789};
  Objex* f = AddFence(kFenceStylePicket, {{0, 0}, {60, 0}});
  Poinz* a = f->firstPoint;
  a->textureID[0] = a->textureID[1] = 3301;
  a->color[0] = a->color[1] = kOwnColor;
  AppendFencePicketObject(f, 0, 0, 0, 0, 12, 72);
  AppendFenceSpacerObjects(f, 12, 0, 0, 0, 6, 8, 72);
  AppendCustomFencePicketObject(f, 18, 0, 0, 0, 20, 40);
  const auto pieces = Pieces(f);
  ASSERT_EQ(pieces.size(), 4u);
  for (Objex* o : pieces) {
    EXPECT_EQ(o->penColor, kOwnColor);
    EXPECT_EQ(o->firstPoint->textureID[0], 3301);
  }

  // A gate section built on its own: leaves and panel from its first point, blocks from the
  // fence's.
  Objex* g = AddFence(kFenceStylePicket, {{0, 0}, {20, 0}, {80, 0}});
  Poinz* gate = g->firstPoint->next;
  gate->pointType = kFenceGatePoint;
  gate->textureID[0] = gate->textureID[1] = 3302;
  gate->color[0] = gate->color[1] = kGateColor;
  UpdateGateSegment(g, gate, gate->next);
  int leavesAndPanel = 0, blocks = 0;
  for (Objex* o : Pieces(g)) {
    if (o->penColor == kGateColor) {
      EXPECT_EQ(o->firstPoint->textureID[1], 3302);
      ++leavesAndPanel;
    } else {
      EXPECT_EQ(o->penColor, kBoardColor);
      ++blocks;
    }
  }
  EXPECT_EQ(leavesAndPanel, 3);
  EXPECT_EQ(blocks, 4);
}

TEST_F(Fences, OtherShapesAndKindsAreLeftAlone) {
  Objex* f = AddFence(kFenceStylePicket, {{0, 0}, {100, 0}});
  UpdateFenceObject(f);
  void* before = f->typeData;
  ASSERT_NE(before, nullptr);
  f->levels = 2;
  UpdateFenceObject(f);
  EXPECT_EQ(f->typeData, before);
  f->levels = 1;

  Objex* onePoint = AddFence(kFenceStylePicket, {{0, 0}});
  UpdateFenceObject(onePoint);
  EXPECT_EQ(onePoint->typeData, nullptr);
  Objex* unknownStyle = AddFence(705, {{0, 0}, {100, 0}});
  UpdateFenceObject(unknownStyle);
  EXPECT_EQ(unknownStyle->typeData, nullptr);
  Objex* notFence = doc.addObject(kObjOpenPoly, false, {{0, 0}, {100, 0}});
  notFence->levels = 1;
  UpdateFenceObject(notFence);
  EXPECT_EQ(notFence->typeData, nullptr);
  UpdateFenceObject(nullptr);

  // A rebuild replaces the pieces rather than adding to them; deleting the fence frees them.
  const size_t count = Pieces(f).size();
  UpdateFenceObject(f);
  EXPECT_EQ(Pieces(f).size(), count);
  UnlinkObject(f);
  DeleteObj(f);
}

TEST_F(Fences, CustomFenceHasPostsAtEveryPoint) {
  // Plan scale 36: span 144, post width 48 and height 144 plan units.
  Objex* f = AddFence(kFenceStyleCustom, {{0, 0}, {400, 0}, {400, 200}});
  UpdateFenceObject(f);
  const auto posts = Posts(f);
  auto postsAt = [&](float x, float z) {
    int n = 0;
    for (Objex* p : posts) {
      const Extent e = ExtentOf(p);
      if (std::fabs((e.minX + e.maxX) / 2 - x) < 1e-2f && std::fabs((e.minZ + e.maxZ) / 2 - z) < 1e-2f) ++n;
    }
    return n;
  };
  EXPECT_EQ(postsAt(0, 0), 1);
  EXPECT_EQ(postsAt(400, 0), 1);
  EXPECT_EQ(postsAt(400, 200), 1);
  for (Objex* p : posts) {
    const Extent e = ExtentOf(p);
    EXPECT_EQ(p->levels, 2);
    EXPECT_NEAR(e.width() > 1 ? e.width() : e.maxZ - e.minZ, 48.0f, 1e-2f);
    EXPECT_NEAR(e.maxY, -1.0f, 1e-3f);
    EXPECT_NEAR(e.minY, -144.0f, 1e-3f);
    EXPECT_EQ(p->penColor, kPostColor);
  }
  // First section, 400 long: a span of 144 from 24, a post at 192, a span of 144 from 216,
  // a post at 384, then the closing post at 400.
  EXPECT_EQ(postsAt(192, 0), 1);
  EXPECT_EQ(postsAt(384, 0), 1);
  std::vector<float> spanStarts;
  for (Objex* o : Pieces(f)) {
    if (o->subtype != 0) continue;
    const Extent e = ExtentOf(o);
    if (e.maxZ > 1e-3f) continue;
    EXPECT_NEAR(e.width(), 144.0f, 1e-2f);
    EXPECT_NEAR(e.minY, -144.0f, 1e-3f);
    spanStarts.push_back(e.minX);
  }
  ASSERT_EQ(spanStarts.size(), 2u);
  EXPECT_NEAR(spanStarts[0], 24.0f, 1e-2f);
  EXPECT_NEAR(spanStarts[1], 216.0f, 1e-2f);
}

// The same custom fence at plan scales 24, 48 and 96: spans 72 inches long and high, posts
// 24 wide and 72 high, the first span half a post from the start.
TEST_F(Fences, CustomFenceSizesTakeThePlanScale) {
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    const float k = 72 / scale;
    Objex* f = AddFence(kFenceStyleCustom, {{0, 0}, {800, 0}});
    UpdateFenceObject(f);
    std::vector<Extent> spans;
    for (Objex* o : Pieces(f)) {
      const Extent e = ExtentOf(o);
      EXPECT_NEAR(e.minY, -72 * k, 1e-3f);
      if (o->subtype == kSubFencePost) EXPECT_NEAR(e.width(), 24 * k, 1e-2f);
      else spans.push_back(e);
    }
    std::sort(spans.begin(), spans.end(), [](const Extent& a, const Extent& b) { return a.minX < b.minX; });
    ASSERT_GT(spans.size(), 2u);
    EXPECT_NEAR(spans[0].minX, 12 * k, 1e-2f);
    // Whole spans up to the last, which takes what is left.
    for (size_t i = 0; i + 1 < spans.size(); ++i) EXPECT_NEAR(spans[i].width(), 72 * k, 1e-2f) << i;
    EXPECT_LE(spans.back().width(), 72 * k + 1e-2f);
  }
}

TEST_F(Fences, CustomGateIsOnePanelWithAPostBeyondIt) {
  Objex* f = AddFence(kFenceStyleCustom, {{0, 0}, {30, 0}});
  f->firstPoint->pointType = kFenceGatePoint;
  UpdateFenceObject(f);  // a custom gate has no least length
  const auto all = Pieces(f);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0]->subtype, kSubGatePanel);
  const Extent panel = ExtentOf(all[0]);
  EXPECT_NEAR(panel.minX, 0.0f, 1e-3f);
  EXPECT_NEAR(panel.width(), 30.0f, 1e-3f);
  EXPECT_NEAR(panel.minY, -144.0f, 1e-3f);
  EXPECT_EQ(all[0]->penColor, kPanelColor);
  EXPECT_EQ(all[0]->firstPoint->textureID[0], 2200);
  EXPECT_EQ(all[1]->subtype, kSubFencePost);
  const Extent post = ExtentOf(all[1]);
  EXPECT_NEAR((post.minX + post.maxX) / 2, 54.0f, 1e-2f);

  // A span before a gate stops half a post short of it.
  Objex* g = AddFence(kFenceStyleCustom, {{0, 0}, {300, 0}, {360, 0}});
  g->firstPoint->next->pointType = kFenceGatePoint;
  UpdateFenceObject(g);
  int postsAtEnd = 0;
  for (Objex* p : Posts(g)) {
    const Extent e = ExtentOf(p);
    if (std::fabs((e.minX + e.maxX) / 2 - 276) < 1e-2f) ++postsAtEnd;
  }
  EXPECT_EQ(postsAtEnd, 1);
}

TEST_F(Fences, CustomSizesThatCannotAdvanceEndTheWalk) {
  // Spans and posts of no size (a damaged design): the walk along the section would never end.
  Objex* f = AddFence(kFenceStyleCustom, {{0, 0}, {1000, 0}});
  FenceSpanLengthOf(f) = 0;
  FencePostWidthOf(f) = 0;
  UpdateFenceObject(f);
  EXPECT_EQ(f->typeData, nullptr);
  // Negative posts with a short span: the same.
  FenceSpanLengthOf(f) = 10;
  FencePostWidthOf(f) = -8;
  UpdateFenceObject(f);
  EXPECT_EQ(f->typeData, nullptr);
}

TEST_F(Fences, ClosedFenceBuildsItsClosingSectionAndWalkersCoverLayers) {
  Objex* f = AddFence(kFenceStylePrivacy, {{0, 0}, {20, 0}, {20, 20}}, true);
  Objex* hidden = AddFence(kFenceStylePrivacy, {{0, 0}, {20, 0}}, false);
  UnlinkObject(hidden);
  AppendObjectToLayer(hidden, doc.second);
  doc.second->visible = 0;
  UpdateFenceAllLayers(doc.model.itsLayers);
  // 20 + 20 + 28.28 long: 2 + 2 + 3 boards.
  EXPECT_EQ(Pieces(f).size(), 7u);
  EXPECT_EQ(hidden->typeData, nullptr);
}

}  // namespace
