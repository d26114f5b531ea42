// Railings in 3D: baluster counts of straight spans, the straight/curved choice, heights of
// the rails, posts, the curved walk across segment ends and the spacing of 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "building3d/Railings3D.h"
#include "model/Delete.h"
#include "model/StairFields.h"
#include "plandraw/LineStyles.h"

namespace {

struct Railings : ::testing::Test {
  TestDocument doc;
  ~Railings() override { EXPECT_MODEL_SOUND(); }

  // A railing of the tools' defaults (height 36, spacing 6) through the plan points, a post
  // flag on every point.
  Objex* AddRailing(std::initializer_list<std::pair<float, float>> pts) {
    Objex* r = doc.addObject(kObjRailing, false, pts);
    r->subtype = kSubStraightRail;
    RailHeightOf(r) = 36;
    RailBalusterSpacingOf(r) = 6;
    r->textureID1 = 2206;
    r->color1 = {65535, 65535, 65535};
    for (Poinz* p = r->firstPoint; p; p = p->next) p->segmentFlags = kDeckSegmentPost;
    return r;
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

std::vector<Objex*> Parts(const Objex* owner, int16_t type, float width = -1) {
  std::vector<Objex*> out;
  for (Objex* o = static_cast<Objex*>(owner->typeData); o; o = o->next) {
    if (o->type != type) continue;
    if (width > 0) {
      const Box b = BoxOf(o);
      if (std::fabs((b.maxX - b.minX) - width) > 0.01f) continue;
    }
    out.push_back(o);
  }
  return out;
}

// Balusters of a span along +x are the 2-unit-wide rail parts; posts are 8 wide.
size_t Balusters(const Objex* owner) { return Parts(owner, kObjRailPart, 2.0f).size(); }

TEST_F(Railings, StraightSpanRoundsTheSpacingAndKeepsBothEnds) {
  Objex* r = AddRailing({{0, 0}, {120, 0}});
  const float start[3] = {0, 0, 0};
  struct Case {
    float length;
    size_t balusters;
  } cases[] = {{120, 11}, {60, 6}, {64.8f, 6}, {66, 7}, {5.9f, 2}};
  for (const Case& c : cases) {
    DeleteGeneratedParts(r);
    const float end[3] = {c.length, 0, 0};
    ConstructRailing(start, end, 0, r, 36, 6, 2206, {1, 2, 3}, {100, 100});
    EXPECT_EQ(Balusters(r), c.balusters) << c.length;
    // Both rails run the whole span.
    const auto rails = Parts(r, kObjRailPart, c.length);
    EXPECT_EQ(rails.size(), 2u) << c.length;
  }
  // A negative spacing (from a damaged design) rounds to a single interval: the two ends.
  DeleteGeneratedParts(r);
  const float end[3] = {120, 0, 0};
  ConstructRailing(start, end, 0, r, 36, -6, 2206, {1, 2, 3}, {100, 100});
  EXPECT_EQ(Balusters(r), 2u);
  // Balusters are 2 x 2 plan units, from the level up 72 units (36 in at plan scale 36).
  const Box b = BoxOf(Parts(r, kObjRailPart, 2.0f).front());
  EXPECT_NEAR(b.maxZ - b.minZ, 2.0f, 1e-4);
  EXPECT_NEAR(b.minY, -72.0f, 1e-4);
  EXPECT_NEAR(b.maxY, 0.0f, 1e-4);
  const Objex* part = Parts(r, kObjRailPart, 2.0f).front();
  EXPECT_EQ(part->firstPoint->textureID[1], 2206);
  EXPECT_EQ(part->penColor.green, 2);
  EXPECT_EQ(part->layer, nullptr);
}

TEST_F(Railings, SubtypeFollowsTheTangents) {
  Objex* r = AddRailing({{0, 0}, {120, 0}});
  r->subtype = kSubCurvedRail;  // drawn with the curved tool, but no tangents
  UpdateRailObject(r);
  EXPECT_EQ(r->subtype, kSubStraightRail);
  EXPECT_EQ(Balusters(r), 11u);

  r->firstPoint->outHandle[0] = 40;  // one tangent component anywhere
  UpdateRailObject(r);
  EXPECT_EQ(r->subtype, kSubCurvedRail);
}

TEST_F(Railings, StraightRailingStandsTwoAboveItsHeightWithPostsAtFlaggedPoints) {
  Objex* r = AddRailing({{0, 0}, {120, 0}, {240, 0}});
  r->firstPoint->next->segmentFlags = 0;  // no post in the middle
  UpdateRailObject(r);
  float top = 0;
  for (Objex* o = static_cast<Objex*>(r->typeData); o; o = o->next) top = std::min(top, BoxOf(o).minY);
  // Posts are 36 + 4 in high (80 units) and stand higher than the rails.
  const auto posts = Parts(r, kObjRailPart, 8.0f);
  ASSERT_EQ(posts.size(), 2u);
  for (const Objex* p : posts) {
    const Box b = BoxOf(p);
    EXPECT_NEAR(b.maxZ - b.minZ, 8.0f, 1e-4);
    EXPECT_NEAR(b.minY, -80.0f, 1e-4);
  }
  EXPECT_NEAR(BoxOf(posts[0]).minX, -4.0f, 1e-4);
  EXPECT_NEAR(BoxOf(posts[1]).minX, 236.0f, 1e-4);
  // The top rail lies on the balusters: 2.0 above the handrail height.
  float railTop = 0;
  for (const Objex* o : Parts(r, kObjRailPart, 120.0f)) railTop = std::min(railTop, BoxOf(o).minY);
  EXPECT_NEAR(railTop, -74.0f, 1e-4);
  EXPECT_NEAR(top, -80.0f, 1e-4);
}

TEST_F(Railings, CurvedRunPlacesBalustersEverySpacingAcrossSegmentEnds) {
  // Tangents along the line make a "curve" that runs straight at uniform speed: the walked
  // distance along the samples is the distance along x.
  Objex* r = AddRailing({{0, 0}, {100, 0}, {200, 0}});
  for (Poinz* p = r->firstPoint; p; p = p->next) p->inHandle[0] = p->outHandle[0] = 100;
  UpdateRailObject(r);
  ASSERT_EQ(r->subtype, kSubCurvedRail);
  std::vector<float> centres;
  for (const Objex* o : Parts(r, kObjRailPart, 2.0f)) {
    const Box b = BoxOf(o);
    centres.push_back((b.minX + b.maxX) / 2);
    // Curved balusters are screen(36 + 0.5) = 73 high.
    EXPECT_NEAR(b.minY, -73.0f, 1e-3);
  }
  ASSERT_EQ(centres.size(), 17u);  // 0, 12, ..., 192
  for (size_t i = 0; i < centres.size(); ++i) EXPECT_NEAR(centres[i], 12.0f * i, 0.05f) << i;
  // Rail pieces join consecutive balusters: top and bottom, 16 gaps.
  const auto pieces = Parts(r, kObjSpindle);
  EXPECT_EQ(pieces.size(), 32u);
  float railTop = 0;
  for (const Objex* o : pieces) railTop = std::min(railTop, BoxOf(o).minY);
  EXPECT_NEAR(railTop, -75.0f, 1e-3);
  // Posts at the three flagged points.
  EXPECT_EQ(Parts(r, kObjRailPart, 8.0f).size(), 3u);
}

TEST_F(Railings, SpacingOfZeroCountsAsOnePlanUnit) {
  Objex* straight = AddRailing({{0, 0}, {20, 0}});
  RailBalusterSpacingOf(straight) = 0;
  UpdateRailObject(straight);
  EXPECT_EQ(Balusters(straight), 21u);

  Objex* curved = AddRailing({{0, 0}, {20, 0}});
  RailBalusterSpacingOf(curved) = -3;
  curved->firstPoint->outHandle[0] = curved->firstPoint->next->inHandle[0] = 20;
  UpdateRailObject(curved);  // must end
  EXPECT_EQ(curved->subtype, kSubCurvedRail);
  EXPECT_GE(Balusters(curved), 20u);
  EXPECT_LE(Balusters(curved), 22u);
}

TEST_F(Railings, RebuildReplacesThePartsAndDeletingTheRailingFreesThem) {
  Objex* r = AddRailing({{0, 0}, {120, 0}});
  UpdateRailObject(r);
  const int32_t first = CountGeneratedParts(r);
  UpdateRailObject(r);
  EXPECT_EQ(CountGeneratedParts(r), first);
  // Refused: one point only, or two levels.
  Objex* lone = AddRailing({{0, 0}});
  UpdateRailObject(lone);
  EXPECT_EQ(lone->typeData, nullptr);
  DeleteObj(r);  // the sanitizer's leak check sees the parts go with it
}

TEST_F(Railings, WalkerRecordHoldsTheWalkedDistanceAsAFloat) {
  Objex* r = AddRailing({{0, 0}, {120, 0}});
  DashStyle style{};
  style.count = 4;
  UpdateRailStyle(&style, r);
  EXPECT_EQ(style.count, 0);
  EXPECT_FLOAT_EQ(style.lengths[0], 12.0f);
  EXPECT_FLOAT_EQ(WalkedDistance(style), 12.0f);
  // Only railings fill it.
  DashStyle untouched{};
  Objex* line = doc.addObject(kObjOpenPoly, false, {{0, 0}, {10, 0}});
  UpdateRailStyle(&untouched, line);
  EXPECT_EQ(untouched.lengths[0], 0.0f);
}

TEST_F(Railings, TexturedPanelAndCurvedSpanFollowTheRailing) {
  Objex* r = AddRailing({{0, 0}, {100, 0}});
  const float start[3] = {0, 0, 0};
  ConstructTexturedRailing(start, static_cast<float>(M_PI / 2), 50, r, 7, {}, {100, 100});
  ConstructCurvedRailSpan(r);
  ASSERT_EQ(CountGeneratedParts(r), 2);
  const Objex* panel = static_cast<Objex*>(r->typeData);
  EXPECT_EQ(panel->subtype, 156);
  const Box b = BoxOf(panel);
  EXPECT_NEAR(b.minZ, -50.0f, 1e-3);  // turned a quarter toward -z
  EXPECT_NEAR(b.minY, -72.0f, 1e-3);
  const Objex* span = panel->next;
  EXPECT_EQ(span->levels, 2);
  EXPECT_EQ(span->pointCount, 4);
}

}  // namespace
