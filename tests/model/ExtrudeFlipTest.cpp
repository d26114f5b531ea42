// Extrude, revolve, flip, point order and cap direction.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "TestDocument.h"
#include "ViewStateGuard.h"
#include "model/Attachments.h"
#include "model/CabinetState.h"
#include "model/ExtrudeFlip.h"
#include "model/ObjectTransforms.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

struct ExtrudeFlipTest : ::testing::Test {
  TestDocument doc;
  static std::vector<Poinz*> points(Objex* o) {
    std::vector<Poinz*> v;
    for (Poinz* p = o->firstPoint; p; p = p->next) v.push_back(p);
    return v;
  }
  // Every point's prev is the point before it and the owner's count is true.
  // A trim record the wall's point owns, told by its first slot texture.
  static TrimData* Trim(int32_t texture) {
    auto* trim = static_cast<TrimData*>(calloc(1, sizeof(TrimData)));
    trim->slotTextureIDs[0] = texture;
    return trim;
  }
  static int32_t TrimOn(const void* trim) {
    return trim ? static_cast<const TrimData*>(trim)->slotTextureIDs[0] : 0;
  }
  static void ExpectLinked(Objex* o) {
    Poinz* prev = nullptr;
    int32_t n = 0;
    for (Poinz* p = o->firstPoint; p; prev = p, p = p->next, ++n) EXPECT_EQ(p->prev, prev);
    EXPECT_EQ(n, o->pointCount);
  }
};

TEST_F(ExtrudeFlipTest, ExtrudeRaisesAlongThePlaneNormal) {
  Objex* o = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}});
  ExtrudeObject(o, 24);
  ASSERT_EQ(o->pointCount, 6);
  EXPECT_EQ(o->levels, 2);
  auto v = points(o);
  EXPECT_FLOAT_EQ(v[4]->position[0], 10);
  EXPECT_FLOAT_EQ(v[4]->position[1], 24);
  EXPECT_FLOAT_EQ(v[4]->position[2], 0);
  ExtrudeObject(o, 24);  // two levels already
  EXPECT_EQ(o->pointCount, 6);

  doc.ds()->viewPlane = 1;
  Objex* front = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}});
  ExtrudeObject(front, 5);
  EXPECT_FLOAT_EQ(points(front)[3]->position[1], 0);
  EXPECT_FLOAT_EQ(points(front)[3]->position[2], 5);
}

TEST_F(ExtrudeFlipTest, RevolveStepsAreAtMostAQuarterTurn) {
  struct Case {
    float sweep;
    int levels;
  } cases[] = {{kPi / 2, 2}, {3 * kPi / 4, 3}, {2 * kPi, 5}};
  for (const Case& c : cases) {
    Objex* o = doc.addObject(kObjOpenPoly, false, {{10, 0}, {20, 0}});
    DragTransformInfo xf{};
    xf.sweepAngle = c.sweep;
    RevolveObject(o, &xf);
    EXPECT_EQ(o->levels, c.levels) << c.sweep;
    EXPECT_EQ(o->pointCount, 2 * c.levels);
    ExpectLinked(o);
    auto v = points(o);
    Poinz* lastRing = v[v.size() - 2];
    float expected = c.sweep;
    EXPECT_NEAR(lastRing->position[0], 10 * std::cos(expected), 1e-3);
    EXPECT_NEAR(lastRing->position[2], -10 * std::sin(expected), 1e-3);
    EXPECT_NEAR(xf.currentAngle, c.sweep, 1e-5);
  }
}

TEST_F(ExtrudeFlipTest, FlipMirrorsSelectedWallPointAndSwapsItsSides) {
  Objex* wall = doc.addObject(kObjWall, false, {{2, 0}, {8, 0}});
  auto v = points(wall);
  v[0]->selected = 1;
  v[0]->textureID[0] = 1, v[0]->textureID[1] = 2;
  v[1]->textureID[0] = 3, v[1]->textureID[1] = 4;
  v[0]->color[0] = {1, 1, 1}, v[0]->color[1] = {2, 2, 2};
  v[0]->textureScale[0] = {10, 11}, v[0]->textureScale[1] = {20, 21};
  v[0]->trim1 = Trim(101), v[0]->trim2 = Trim(102);
  v[1]->trim1 = Trim(103);  // one side trimmed only
  v[0]->outHandle[0] = 1;
  gFlipCenterX = 5;
  FlipObject(wall, 1);
  EXPECT_FLOAT_EQ(v[0]->position[0], 8);
  EXPECT_FLOAT_EQ(v[0]->outHandle[0], -1);
  EXPECT_EQ(v[0]->textureID[0], 2);
  EXPECT_EQ(v[0]->textureID[1], 1);
  EXPECT_EQ(v[0]->color[0].red, 2);
  EXPECT_EQ(v[0]->color[1].red, 1);
  EXPECT_EQ(v[0]->textureScale[0].x, 20);
  EXPECT_EQ(v[0]->textureScale[1].x, 10);
  EXPECT_EQ(TrimOn(v[0]->trim1), 102);
  EXPECT_EQ(TrimOn(v[0]->trim2), 101);
  EXPECT_FLOAT_EQ(v[1]->position[0], 8);
  EXPECT_EQ(v[1]->textureID[0], 3);
  EXPECT_EQ(TrimOn(v[1]->trim1), 103);  // not selected: its sides stay
  EXPECT_EQ(v[1]->trim2, nullptr);
  // Selected, the side trimmed alone changes sides.
  v[1]->selected = 1;
  FlipObject(wall, 1);
  EXPECT_EQ(v[1]->trim1, nullptr);
  EXPECT_EQ(TrimOn(v[1]->trim2), 103);
  EXPECT_EQ(TrimOn(v[0]->trim1), 101);
  EXPECT_EQ(TrimOn(v[0]->trim2), 102);
  v[1]->selected = 0;
  FlipObject(wall, 1);

  // Outside a working plane nothing is mirrored and the sides stay as they are.
  doc.ds()->viewPlane = 0;
  FlipObject(wall, 1);
  EXPECT_FLOAT_EQ(v[0]->position[0], 8);
  EXPECT_EQ(v[0]->textureID[0], 2);
  EXPECT_EQ(TrimOn(v[0]->trim1), 102);
  doc.ds()->viewPlane = 2;
  gFlipCenterX = 0;
}

TEST_F(ExtrudeFlipTest, FlipMirrorsRoofPanelSlope) {
  Objex* panel = doc.addObject(kObjRoofPanel, true, {{0, 0}, {10, 0}, {10, 10}});
  panel->params[0] = 30;
  FlipObject(panel, 1);
  EXPECT_NEAR(panel->params[0], 150, 1e-3);
  panel->params[0] = 30;
  FlipObject(panel, 0);
  EXPECT_NEAR(panel->params[0], 330, 1e-3);

  // A cabinet faces a quarter turn from its angle: one square to the plan's axes mirrors onto
  // itself left-right and turns half round top-bottom; the two mirrors differ for others.
  Objex* cabinet = doc.addObject(kObjGroup, false, {});
  cabinet->subtype = kSubCabinet;
  auto* state = static_cast<CabinetState*>(calloc(1, sizeof(CabinetState)));
  cabinet->typeData = state;
  struct Row {
    float angle;
    int16_t horizontal;
    float want;
  };
  for (const Row& r : {Row{0, 1, 0}, Row{0, 0, 180}, Row{30, 1, 330}, Row{30, 0, 150}}) {
    state->angle = r.angle;
    FlipObject(cabinet, r.horizontal);
    EXPECT_NEAR(std::fmod(state->angle, 360.0f), r.want, 1e-3) << r.angle << (r.horizontal ? " left-right" : " top-bottom");
  }
}

TEST_F(ExtrudeFlipTest, ReverseKeepsLevelsInOrder) {
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 9}, {1, 9}, {2, 9}, {3, 9}});
  wall->levels = 2;
  ReverseObjectDirection(wall);
  auto v = points(wall);
  float expected[8][2] = {{3, 0}, {2, 0}, {1, 0}, {0, 0}, {3, 9}, {2, 9}, {1, 9}, {0, 9}};
  for (int i = 0; i < 8; ++i) {
    EXPECT_FLOAT_EQ(v[i]->position[0], expected[i][0]);
    EXPECT_FLOAT_EQ(v[i]->position[2], expected[i][1]);
  }
  ExpectLinked(wall);

  Objex* rect = doc.addObject(kObjRect, true, {{0, 0}, {1, 0}, {2, 0}});
  ReverseObjectDirection(rect);  // not a reversible type
  EXPECT_FLOAT_EQ(rect->firstPoint->position[0], 0);
}

TEST_F(ExtrudeFlipTest, ReverseAnyTurnsHandlesWithTheSegments) {
  Objex* stair = doc.addObject(kObjStaircase, false, {{0, 0}, {10, 0}});
  auto v = points(stair);
  v[0]->outHandle[0] = 3;
  v[1]->inHandle[2] = 4;
  ReverseAnyObjectDirection(stair);
  ASSERT_EQ(stair->firstPoint, v[1]);
  // The segment now runs from v[1] to v[0]: its start tangent is the old end tangent turned round.
  EXPECT_FLOAT_EQ(v[1]->outHandle[2], -4);
  EXPECT_FLOAT_EQ(v[0]->inHandle[0], -3);
  ExpectLinked(stair);
}

TEST_F(ExtrudeFlipTest, ReverseSegmentsKeepsTheTailReachable) {
  Objex* o = doc.addObject(kObjStaircase, false, {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}});
  o->firstPoint = ReverseSegmentDirection(o->firstPoint, 3);
  float expected[] = {3, 2, 1, 4, 5};
  auto v = points(o);
  ASSERT_EQ(v.size(), 5u);
  for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(v[i]->position[0], expected[i]);
  ExpectLinked(o);
  o->firstPoint = ReverseSegmentDirection(o->firstPoint, 1);  // swaps the first two
  EXPECT_FLOAT_EQ(o->firstPoint->position[0], 2);
  ExpectLinked(o);
}

TEST_F(ExtrudeFlipTest, CapDirectionFollowsWindingAndVisitsChildren) {
  ViewStateGuard view;
  Objex* open = doc.addObject(kObjOpenPoly, false, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  open->levels = 2;
  auto body = [&](bool clockwise) {
    Objex* o = CreateObject(kObjClosedPoly, 1, 1, nullptr, nullptr, 1, 0, 0, nullptr, nullptr, nullptr, open,
                            doc.first, nullptr);
    std::initializer_list<std::pair<float, float>> cw = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    std::initializer_list<std::pair<float, float>> ccw = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    for (auto [x, z] : clockwise ? cw : ccw)
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
    o->levels = 2;
    return o;
  };
  Objex* a = body(true);
  Objex* b = body(false);
  open->firstChild = a;
  a->next = b;
  b->prev = a;
  ValidateCapDirection(open);
  EXPECT_EQ(open->direction, 0);
  EXPECT_NE(a->direction, 0);
  EXPECT_EQ(a->direction, -b->direction);
}

}  // namespace
