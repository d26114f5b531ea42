// Decks and their steps in 3D: nothing without points, one skirting band per segment, the
// corners of a straightened curve, railings only where flagged, corner post heights, the gap
// left by steps, risers of the flight; steps made centred, refitted, narrowed and removed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "building3d/DeckSteps3D.h"
#include "building3d/Decks3D.h"
#include "building3d/Railings3D.h"
#include "model/DeckFields.h"
#include "model/Services.h"
#include "model/StairFields.h"
#include "platform/Alerts.h"

namespace {

struct Decks : ::testing::Test {
  TestDocument doc;
  ~Decks() override { EXPECT_MODEL_SOUND(); }

  // A deck 24 inches high (y -48) through the plan points, with the deck tool's materials.
  Objex* AddDeck(std::initializer_list<std::pair<float, float>> pts, int32_t flags = 0) {
    Objex* d = doc.addObject(kObjDeck, true, pts);
    DeckHeightOf(d) = 24;
    DeckSpindleSpacingOf(d) = 6;
    ClosedStepsOf(d) = 1;
    d->textureID = 1301;
    d->textureID1 = 2300;
    d->textureID2 = 2210;
    d->penColor = RGBColor{1, 2, 3};
    for (Poinz* p = d->firstPoint; p; p = p->next) {
      p->position[1] = -48;
      p->segmentFlags = flags;
      RailingHeightOf(p) = 36;
    }
    return d;
  }
};

std::vector<Objex*> Parts(const Objex* owner, int16_t type) {
  std::vector<Objex*> out;
  for (Objex* o = static_cast<Objex*>(owner->typeData); o; o = o->next)
    if (type == 0 || o->type == type) out.push_back(o);
  return out;
}

struct Extent {
  float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f, minZ = 1e9f, maxZ = -1e9f;
};
Extent ExtentOf(const Objex* part) {
  Extent e;
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

// Posts are 8 x 8 prisms standing on the ground.
std::vector<Extent> Posts(const Objex* deck) {
  std::vector<Extent> out;
  for (Objex* o : Parts(deck, kObjRailPart)) {
    const Extent e = ExtentOf(o);
    if (std::fabs(e.maxX - e.minX - 8) < 0.01f && std::fabs(e.maxZ - e.minZ - 8) < 0.01f && e.maxY == 0)
      out.push_back(e);
  }
  return out;
}

TEST_F(Decks, DeckWithoutPointsBuildsNothing) {
  Objex* d = AddDeck({});
  Update3DDeck(d);
  EXPECT_EQ(d->typeData, nullptr);
}

TEST_F(Decks, StraightDeckHasOneSkirtingBandPerSegmentClosingOneIncluded) {
  Objex* d = AddDeck({{0, 0}, {100, 0}, {100, 80}, {0, 80}});
  d->firstPoint->next->segmentFlags = kDeckSegmentSkirtingToGround;
  Update3DDeck(d);
  const auto bands = Parts(d, kObjSkirting);
  ASSERT_EQ(bands.size(), 4u);
  EXPECT_TRUE(Parts(d, kObjRailPart).empty());  // no segment carries a railing
  const Extent first = ExtentOf(bands[0]);
  EXPECT_FLOAT_EQ(first.minY, -48);
  EXPECT_FLOAT_EQ(first.maxY, -36);  // 12 units deep
  EXPECT_FLOAT_EQ(ExtentOf(bands[1]).maxY, 0);  // down to the ground
  const Extent closing = ExtentOf(bands[3]);
  EXPECT_FLOAT_EQ(closing.minX, 0);
  EXPECT_FLOAT_EQ(closing.maxX, 0);
  EXPECT_EQ(bands[0]->firstPoint->textureID[1], 1301);
  EXPECT_EQ(bands[0]->firstPoint->color[0].blue, 3);
  EXPECT_EQ(bands[0]->layer, nullptr);
}

TEST_F(Decks, CurvedSegmentSkirtingFollowsTheCurveResolution) {
  for (auto [resolution, bandsOnCurve] : {std::pair{10, 10}, std::pair{1, 2}, std::pair{0, 2}}) {
    doc.ds()->curveSegments = static_cast<int16_t>(resolution);
    Objex* d = AddDeck({{0, 0}, {100, 0}, {100, 80}, {0, 80}});
    d->firstPoint->outHandle[2] = -60;
    d->firstPoint->next->inHandle[2] = 60;
    // Steps on a straight segment ride along on the straightened copy and stay the deck's.
    AddDeckSteps(d, d->firstPoint->next, d->firstPoint->next->next);
    Update3DDeck(d);
    EXPECT_EQ(Parts(d, kObjSkirting).size(), static_cast<size_t>(3 + bandsOnCurve)) << resolution;
    EXPECT_FALSE(Parts(d, kObjStairTread).empty());
    EXPECT_EQ(d->firstChild->next, nullptr);
    // The deck keeps its own curve.
    EXPECT_FLOAT_EQ(d->firstPoint->outHandle[2], -60);
    EXPECT_EQ(d->pointCount, 4);
  }
}

TEST_F(Decks, PostWithoutRailingAndCornerPostBesideAHigherRailing) {
  Objex* d = AddDeck({{0, 0}, {100, 0}, {100, 80}, {0, 80}});
  Poinz* p0 = d->firstPoint;
  Poinz* p1 = p0->next;
  p1->segmentFlags = kDeckSegmentPost;  // a post but no railing on the segment from p1
  Update3DDeck(d);
  auto posts = Posts(d);
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_FLOAT_EQ(posts[0].minY, -128);  // from the ground to 36 + 4 inches above the deck
  EXPECT_EQ(Parts(d, kObjSpindle).size(), 0u);

  p0->segmentFlags = kDeckSegmentRailing;
  RailingHeightOf(p0) = 42;
  Update3DDeck(d);
  posts = Posts(d);
  ASSERT_FALSE(posts.empty());
  // The post at p1 follows the higher railing that ends there: 42 + 4 inches.
  const auto at = std::find_if(posts.begin(), posts.end(), [](const Extent& e) { return e.minX == 96; });
  ASSERT_NE(at, posts.end());
  EXPECT_FLOAT_EQ(at->minY, -140);
}

// Parts of the railing on the segment z = 0 (not posts) whose middle lies strictly between a and b.
int RailPartsBetween(const Objex* deck, float a, float b) {
  int n = 0;
  for (Objex* o = static_cast<Objex*>(deck->typeData); o; o = o->next) {
    if (o->type != kObjRailPart && o->type != kObjSpindle) continue;
    const Extent e = ExtentOf(o);
    if (e.maxZ > 10 || e.minZ < -10) continue;
    const float mid = (e.minX + e.maxX) / 2;
    if (mid > a + 4.5f && mid < b - 4.5f) ++n;
  }
  return n;
}

TEST_F(Decks, StepsLeaveAGapInTheRailingAtMostTheSegmentLong) {
  Objex* d = AddDeck({{0, 0}, {100, 0}, {100, 80}, {0, 80}});
  d->firstPoint->segmentFlags = kDeckSegmentRailing;
  ASSERT_NE(AddDeckSteps(d, d->firstPoint, d->firstPoint->next), nullptr);
  auto* r = static_cast<DeckStepsData*>(d->firstChild->typeData);
  r->width = 40;
  CentreOffsetOf(r) = 50;
  // The railing alone (the flight has rails of its own), without the refit of the steps.
  CreateDeckRailing(d, d->firstPoint, d->firstPoint->next);
  EXPECT_EQ(RailPartsBetween(d, 30, 70), 0);
  EXPECT_GT(RailPartsBetween(d, 0, 30), 0);
  EXPECT_GT(RailPartsBetween(d, 70, 100), 0);

  // Wider than the segment: the gap is the segment's whole length.
  DeleteGeneratedParts(d);
  r->width = 400;
  CreateDeckRailing(d, d->firstPoint, d->firstPoint->next);
  EXPECT_EQ(RailPartsBetween(d, 0, 100), 0);
  DeleteGeneratedParts(d);
  CreateDeckRailing(d, d->firstPoint->next, d->firstPoint->next->next);  // no steps there: a railing
  EXPECT_EQ(Parts(d, kObjRailPart).size(), 0u);  // that segment has no railing flag
}

TEST_F(Decks, FlightRisersFollowTheDeckHeight) {
  Objex* d = AddDeck({{0, 0}, {100, 0}, {100, 80}, {0, 80}});
  ASSERT_NE(AddDeckSteps(d, d->firstPoint, d->firstPoint->next), nullptr);
  Update3DDeck(d);
  auto treads = Parts(d, kObjStairTread);
  ASSERT_EQ(treads.size(), 3u);
  std::vector<float> tops;
  for (Objex* t : treads) tops.push_back(ExtentOf(t).minY);
  std::sort(tops.begin(), tops.end());
  EXPECT_NEAR(tops[0], -48, 0.05);
  EXPECT_NEAR(tops[1], -32, 0.05);  // 8-inch risers
  EXPECT_NEAR(tops[2], -16, 0.05);

  Objex* low = AddDeck({{0, 200}, {100, 200}, {100, 280}, {0, 280}});
  DeckHeightOf(low) = 3;
  for (Poinz* p = low->firstPoint; p; p = p->next) p->position[1] = -6;
  ASSERT_NE(AddDeckSteps(low, low->firstPoint, low->firstPoint->next), nullptr);
  Update3DDeck(low);
  EXPECT_EQ(Parts(low, kObjStairTread).size(), 1u);
  // A deck of no height still has its one step.
  DeckHeightOf(low) = 0;
  Update3DDeck(low);
  EXPECT_EQ(Parts(low, kObjStairTread).size(), 1u);
}

TEST_F(Decks, PointBasedStepsTakeTheirSizeAndRailsFromTheSegmentStart) {
  Objex* d = AddDeck({{0, 0}, {100, 0}, {100, 80}, {0, 80}});
  Poinz* a = d->firstPoint;
  PointStepWidthOf(a) = 30;  // inches: 60 plan units
  PointStepHeightOf(a) = 24;
  a->segmentFlags = kDeckSegmentLeftStepRail;
  CreateDeckSteps(d, a, a->next);
  const auto treads = Parts(d, kObjStairTread);
  ASSERT_EQ(treads.size(), 3u);
  const Extent e = ExtentOf(treads[0]);
  EXPECT_NEAR(e.minX, 20, 0.01);  // centred on the segment
  EXPECT_NEAR(e.maxX, 80, 0.01);
}

TEST_F(Decks, CurvedRailingWithSpacingZeroStillEnds) {
  Objex* d = AddDeck({{0, 0}, {100, 0}, {100, 80}, {0, 80}}, kDeckSegmentRailing);
  d->firstPoint->outHandle[2] = -60;
  d->firstPoint->next->inHandle[2] = 60;
  DeckSpindleSpacingOf(d) = 0;
  Update3DDeck(d);
  EXPECT_GT(Parts(d, kObjSpindle).size(), 0u);
}

TEST_F(Decks, DefaultStepsOnA100UnitSegmentAre95WideAndCentred) {
  Objex* d = AddDeck({{0, 0}, {100, 0}, {100, 80}, {0, 80}});
  EXPECT_EQ(AddDeckSteps(d, d->firstPoint, d->firstPoint->next), d->firstPoint->next);
  Objex* steps = d->firstChild;
  ASSERT_NE(steps, nullptr);
  EXPECT_EQ(steps->type, kObjDeckSteps);
  EXPECT_EQ(steps->parent, d);
  EXPECT_EQ(steps->pointCount, 2);
  auto* r = static_cast<DeckStepsData*>(steps->typeData);
  EXPECT_FLOAT_EQ(r->width, 95);
  EXPECT_FLOAT_EQ(CentreOffsetOf(r), 50);
  EXPECT_FLOAT_EQ(r->remainingLength, 50);
  EXPECT_FLOAT_EQ(r->height, 48);
  EXPECT_EQ(StepsLeftRailOf(r), 1);
  EXPECT_EQ(StepsRightRailOf(r), 1);
  EXPECT_EQ(r->trimSlotA.textureWidth, 100);
  EXPECT_EQ(r->trimSlotB.color.green, 65535);
  EXPECT_FLOAT_EQ(steps->firstPoint->position[0], 2.5f);
  EXPECT_FLOAT_EQ(steps->firstPoint->next->position[0], 97.5f);
  EXPECT_EQ(UpdateDeckAttachment(steps), 0);
  EXPECT_FLOAT_EQ(steps->firstPoint->position[0], 2.5f);
}

// Steps on each side of a deck, across and down the plan, at every plan scale: their two
// points lie on the segment, centred, as far apart as the step width at the scale, and the
// record keeps that width and the step height at the scale.
TEST_F(Decks, StepsOnEverySideTakeTheirSizeAtThePlanScale) {
  for (const float scale : {96.0f, 48.0f, 24.0f, 36.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    doc.ds()->deckStepWidth = 30;
    DeckStepHeightOf(doc.ds()) = 20;
    const float w = 30 * 72 / scale, h = 20 * 72 / scale;
    Objex* d = AddDeck({{0, 0}, {200, 0}, {200, 160}, {0, 160}});
    std::vector<Poinz*> corners;
    for (Poinz* p = d->firstPoint; p; p = p->next) corners.push_back(p);
    for (size_t i = 0; i < 4; ++i) ASSERT_EQ(AddDeckSteps(d, corners[i], corners[(i + 1) % 4]), corners[(i + 1) % 4]);
    size_t i = 0;
    for (Objex* steps = d->firstChild; steps; steps = steps->next, ++i) {
      SCOPED_TRACE(testing::Message() << "side " << i);
      ASSERT_LT(i, 4u);
      const Poinz* s = corners[i];
      const Poinz* e = corners[(i + 1) % 4];
      const float length = std::hypot(e->position[0] - s->position[0], e->position[2] - s->position[2]);
      const float ux = (e->position[0] - s->position[0]) / length, uz = (e->position[2] - s->position[2]) / length;
      const float mx = (s->position[0] + e->position[0]) / 2, mz = (s->position[2] + e->position[2]) / 2;
      const Poinz* a = steps->firstPoint;
      ASSERT_NE(a->next, nullptr);
      EXPECT_NEAR(a->position[0], mx - ux * w / 2, 1e-3);
      EXPECT_NEAR(a->position[2], mz - uz * w / 2, 1e-3);
      EXPECT_NEAR(a->next->position[0], mx + ux * w / 2, 1e-3);
      EXPECT_NEAR(a->next->position[2], mz + uz * w / 2, 1e-3);
      auto* r = static_cast<DeckStepsData*>(steps->typeData);
      EXPECT_NEAR(r->width, w, 1e-3);
      EXPECT_NEAR(r->height, h, 1e-3);
      EXPECT_NEAR(CentreOffsetOf(r), length / 2, 1e-3);
    }
    EXPECT_EQ(i, 4u);
  }
}

// A refit leaves steps whose near end lies exactly on the segment's start where they are, and
// pulls them in 5 units when they reach past it by any amount.
TEST_F(Decks, RefitKeepsStepsEndingOnTheSegmentsStart) {
  Objex* d = AddDeck({{0, 0}, {100, 0}, {100, 80}, {0, 80}});
  AddDeckSteps(d, d->firstPoint, d->firstPoint->next);
  Objex* steps = d->firstChild;
  auto* r = static_cast<DeckStepsData*>(steps->typeData);
  r->width = 40;
  for (const auto& [centre, nearEnd] : {std::pair{20.0f, 0.0f}, std::pair{19.5f, 5.0f}, std::pair{30.0f, 10.0f}}) {
    CentreOffsetOf(r) = centre;
    EXPECT_EQ(UpdateDeckAttachment(steps), 0) << centre;
    EXPECT_FLOAT_EQ(steps->firstPoint->position[0], nearEnd) << centre;
    EXPECT_FLOAT_EQ(steps->firstPoint->next->position[0], nearEnd + 40) << centre;
  }
}

// A deck's flight and curved railing at plan scales 24, 48 and 96: the flight reaches out its
// step count of treads at the scale, and the balusters along the curve stand the spindle
// spacing apart at the scale.
TEST_F(Decks, FlightRunAndCurvedSpindleSpacingTakeThePlanScale) {
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    const float k = 72 / scale;
    Objex* d = AddDeck({{0, 0}, {400, 0}, {400, 300}, {0, 300}});
    for (Poinz* p = d->firstPoint; p; p = p->next) p->position[1] = -24 * k;
    ASSERT_NE(AddDeckSteps(d, d->firstPoint, d->firstPoint->next), nullptr);
    Update3DDeck(d);
    const auto treads = Parts(d, kObjStairTread);
    ASSERT_EQ(treads.size(), 3u);
    float reach = 0;
    for (Objex* t : treads) reach = std::max({reach, -ExtentOf(t).minZ, ExtentOf(t).maxZ});
    EXPECT_NEAR(reach, 3 * 10 * k, 1e-2);  // three treads of 10 inches

    // A railing along a curved edge: balusters 6 inches apart along it.
    Objex* curved = AddDeck({{0, 600}, {400, 600}, {400, 900}, {0, 900}}, kDeckSegmentRailing);
    curved->firstPoint->outHandle[2] = -1;
    curved->firstPoint->next->inHandle[2] = 1;
    CreateCurvedDeckRailing(curved, curved->firstPoint, curved->firstPoint->next);
    std::vector<float> xs;
    for (Objex* o : Parts(curved, kObjSpindle)) xs.push_back((ExtentOf(o).minX + ExtentOf(o).maxX) / 2);
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end(), [](float a, float b) { return b - a < 0.5f; }), xs.end());
    ASSERT_GT(xs.size(), 4u);
    for (size_t i = 2; i + 2 < xs.size(); ++i) EXPECT_NEAR(xs[i + 1] - xs[i], 6 * k, 0.05f * k) << i;
  }
}

TEST_F(Decks, StepsAreNotMadeOnASegmentOfFiveUnitsOrLess) {
  Objex* d = AddDeck({{0, 0}, {5, 0}, {5, 80}});
  EXPECT_EQ(AddDeckSteps(d, d->firstPoint, d->firstPoint->next), nullptr);
  EXPECT_EQ(d->firstChild, nullptr);
}

TEST_F(Decks, RefitPullsStepsBackNarrowsThemAndRemovesThemOnce) {
  ScopedAlertRecorder alerts;
  Objex* d = AddDeck({{0, 0}, {100, 0}, {100, 80}, {0, 80}});
  AddDeckSteps(d, d->firstPoint, d->firstPoint->next);
  Objex* steps = d->firstChild;
  auto* r = static_cast<DeckStepsData*>(steps->typeData);
  r->width = 40;
  CentreOffsetOf(r) = 95;  // far end past the working length
  EXPECT_EQ(UpdateDeckAttachment(steps), 0);
  EXPECT_FLOAT_EQ(steps->firstPoint->next->position[0], 100);  // far end on the segment's end
  CentreOffsetOf(r) = 3;  // near end before the start
  EXPECT_EQ(UpdateDeckAttachment(steps), 0);
  EXPECT_FLOAT_EQ(steps->firstPoint->position[0], 5);

  // Shortening the segment narrows the steps to its length less 5.
  d->firstPoint->next->position[0] = 60;
  d->firstPoint->next->next->position[0] = 60;
  r->width = 95;
  EXPECT_EQ(UpdateAllDeckAttachments(d), 0);
  EXPECT_FLOAT_EQ(r->width, 55);
  EXPECT_TRUE(alerts.shown.empty());

  // Two steps that cannot stand any more go with one warning for the deck.
  AddDeckSteps(d, d->firstPoint->next, d->firstPoint->next->next);
  ASSERT_NE(d->firstChild->next, nullptr);
  d->firstPoint->next->position[0] = 4;
  d->firstPoint->next->next->position[0] = 4;
  d->firstPoint->next->next->position[2] = 3;
  EXPECT_EQ(UpdateAllDeckAttachments(d), 2);
  EXPECT_EQ(d->firstChild, nullptr);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "One or more deck steps removed.");
}

}  // namespace

namespace {

// Rail parts of the point-based steps of a deck whose first segment carries the given step
// rail flags, as extents.
std::vector<Extent> StepRails(TestDocument& doc, int32_t flags) {
  Objex* d = doc.addObject(kObjDeck, true, {{0, 0}, {100, 0}, {100, 80}, {0, 80}});
  DeckHeightOf(d) = 24;
  DeckSpindleSpacingOf(d) = 6;
  ClosedStepsOf(d) = 1;
  for (Poinz* p = d->firstPoint; p; p = p->next) p->position[1] = -48, RailingHeightOf(p) = 36;
  Poinz* a = d->firstPoint;
  PointStepWidthOf(a) = 30;
  PointStepHeightOf(a) = 24;
  a->segmentFlags = flags;
  CreateDeckSteps(d, a, a->next);
  std::vector<Extent> out;
  for (Objex* o : Parts(d, 0))
    if (o->type == kObjRailPart || o->type == kObjSpindle) out.push_back(ExtentOf(o));
  return out;
}

TEST_F(Decks, EachStepRailStandsOnItsOwnSideAndTheTwoMirrorEachOther) {
  const auto none = StepRails(doc, 0);
  const auto left = StepRails(doc, kDeckSegmentLeftStepRail);
  const auto right = StepRails(doc, kDeckSegmentRightStepRail);
  const auto both = StepRails(doc, kDeckSegmentLeftStepRail | kDeckSegmentRightStepRail);
  EXPECT_TRUE(none.empty());
  ASSERT_FALSE(left.empty());
  ASSERT_EQ(left.size(), right.size());
  EXPECT_EQ(both.size(), left.size() + right.size());
  // The flight is centred on x = 50: one side's rail lies wholly left of it, the other's
  // wholly right, each the other's mirror image.
  float leftMax = -1e9f;
  for (const Extent& e : left) leftMax = std::max(leftMax, e.maxX);
  const bool leftIsLow = leftMax <= 50.01f;
  for (const Extent& e : left) EXPECT_EQ(leftIsLow ? e.maxX <= 50.01f : e.minX >= 49.99f, true);
  for (const Extent& e : right) EXPECT_EQ(leftIsLow ? e.minX >= 49.99f : e.maxX <= 50.01f, true);
  for (const Extent& l : left) {
    bool mirrored = false;
    for (const Extent& r : right)
      mirrored = mirrored || (std::fabs(l.minX - (100 - r.maxX)) < 0.01f && std::fabs(l.minZ - r.minZ) < 0.01f &&
                              std::fabs(l.minY - r.minY) < 0.01f && std::fabs(l.maxY - r.maxY) < 0.01f);
    EXPECT_TRUE(mirrored) << l.minX << " " << l.maxX;
  }
}

}  // namespace
