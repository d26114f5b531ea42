// Every geometric field of one point (position, both handles, link vector) under every
// object and point transform, in each working plane. The point's handles and link vector
// are all non-zero and different, so a routine that forgets a field, moves the wrong one,
// turns a handle about the centre instead of the origin or swaps the plane's axes shows.
#include <gtest/gtest.h>

#include <functional>
#include <numbers>
#include <string>

#include "TestDocument.h"
#include "model/ExtrudeFlip.h"
#include "model/ObjectTransforms.h"
#include "model/TransformInfo.h"

namespace {

constexpr float kHalfPi = std::numbers::pi_v<float> / 2;

struct Fields {
  float in[3];
  float pos[3];
  float out[3];
  float link[3];
};

// The point every case starts from.
constexpr Fields kStart{{2, 1, -3}, {10, 3, 20}, {-4, 5, 6}, {7, -8, 9}};

struct Case {
  std::string name;
  int16_t viewPlane;
  std::function<void(Objex*, Poinz*)> apply;
  Fields want;
};

TransformInfo Delta(float x, float y, float z) {
  TransformInfo t{};
  t.delta[0] = x, t.delta[1] = y, t.delta[2] = z;
  return t;
}
TransformInfo Scale(float sx, float sy, float sz, float cx, float cy, float cz) {
  TransformInfo t{};
  t.scale[0] = sx, t.scale[1] = sy, t.scale[2] = sz;
  t.centre[0] = cx, t.centre[1] = cy, t.centre[2] = cz;
  return t;
}
TransformInfo Turn(float angle, float cx, float cy, float cz) {
  TransformInfo t{};
  t.angle = angle;
  t.centre[0] = cx, t.centre[1] = cy, t.centre[2] = cz;
  return t;
}

std::vector<Case> Cases() {
  std::vector<Case> cases;
  // Moves: the position only.
  cases.push_back({"TranslateObject plan", 2,
                   [](Objex* o, Poinz*) { TransformInfo t = Delta(5, 7, 9); TranslateObject(o, &t); },
                   {{2, 1, -3}, {15, 3, 29}, {-4, 5, 6}, {7, -8, 9}}});
  cases.push_back({"TranslatePlanObject plan", 2,
                   [](Objex* o, Poinz*) { TransformInfo t = Delta(5, 7, 9); TranslatePlanObject(o, &t); },
                   {{2, 1, -3}, {15, 3, 29}, {-4, 5, 6}, {7, -8, 9}}});
  cases.push_back({"TranslateObject side", 3,
                   [](Objex* o, Poinz*) { TransformInfo t = Delta(5, 7, 9); TranslateObject(o, &t); },
                   {{2, 1, -3}, {10, 10, 29}, {-4, 5, 6}, {7, -8, 9}}});
  cases.push_back({"TranslateObject front", 1,
                   [](Objex* o, Poinz*) { TransformInfo t = Delta(5, 7, 9); TranslateObject(o, &t); },
                   {{2, 1, -3}, {15, 10, 20}, {-4, 5, 6}, {7, -8, 9}}});
  // Scaling: the position about the centre, the handles by the factors themselves.
  cases.push_back({"ScaleObject plan", 2,
                   [](Objex* o, Poinz*) { TransformInfo t = Scale(2, 3, 4, 1, 0, 2); ScaleObject(o, &t); },
                   {{4, 1, -12}, {19, 3, 74}, {-8, 5, 24}, {7, -8, 9}}});
  cases.push_back({"ScaleTheObject front", 1,
                   [](Objex* o, Poinz*) { TransformInfo t = Scale(2, 3, 4, 1, 1, 0); ScaleTheObject(o, &t); },
                   {{4, 3, -3}, {19, 7, 20}, {-8, 15, 6}, {7, -8, 9}}});
  // Turning: the position about the centre, the handles about the origin.
  cases.push_back({"RotateObject plan", 2,
                   [](Objex* o, Poinz*) { TransformInfo t = Turn(kHalfPi, 1, 0, 2); RotateObject(o, &t); },
                   {{-3, 1, -2}, {19, 3, -7}, {6, 5, 4}, {7, -8, 9}}});
  cases.push_back({"RotatePlanObject plan", 2,
                   [](Objex* o, Poinz*) { TransformInfo t = Turn(kHalfPi, 1, 0, 2); RotatePlanObject(o, &t); },
                   {{-3, 1, -2}, {19, 3, -7}, {6, 5, 4}, {7, -8, 9}}});
  cases.push_back({"RotateTheObject side", 3,
                   [](Objex* o, Poinz*) { TransformInfo t = Turn(kHalfPi, 0, 0, 0); RotateTheObject(o, &t); },
                   {{2, 3, 1}, {10, -20, 3}, {-4, -6, 5}, {7, -8, 9}}});
  // Shearing: handle ends are sheared with the position and the handles re-derived.
  cases.push_back({"ShearObject plan", 2,
                   [](Objex* o, Poinz*) {
                     TransformInfo t{};
                     t.shearFrom[0] = 10, t.shearFrom[2] = 10;
                     t.shearTo[0] = 15, t.shearTo[2] = 10;
                     ShearObject(o, &t);
                   },
                   {{0.5f, 1, -3}, {20, 3, 20}, {-1, 5, 6}, {7, -8, 9}}});
  // Mirroring in the plan negates the link vector too; in the elevations only the position.
  cases.push_back({"FlipPlanObject plan left-right", 2, [](Objex* o, Poinz*) { FlipPlanObject(o, 5363); },
                   {{-2, 1, -3}, {-10, 3, 20}, {4, 5, 6}, {-7, -8, 9}}});
  cases.push_back({"FlipPlanObject plan top-bottom", 2, [](Objex* o, Poinz*) { FlipPlanObject(o, 5364); },
                   {{2, 1, 3}, {10, 3, -20}, {-4, 5, -6}, {7, -8, -9}}});
  cases.push_back({"FlipPlanObject side left-right", 3, [](Objex* o, Poinz*) { FlipPlanObject(o, 5363); },
                   {{2, 1, -3}, {10, 3, -20}, {-4, 5, 6}, {7, -8, 9}}});
  cases.push_back({"FlipPlanObject front top-bottom", 1, [](Objex* o, Poinz*) { FlipPlanObject(o, 5364); },
                   {{2, 1, -3}, {10, -3, 20}, {-4, 5, 6}, {7, -8, 9}}});
  // Mirroring about the flip centre: the same component of both handles is negated.
  cases.push_back({"FlipObject plan left-right", 2,
                   [](Objex* o, Poinz*) {
                     gFlipCenterX = 4;
                     FlipObject(o, 1);
                   },
                   {{-2, 1, -3}, {-2, 3, 20}, {4, 5, 6}, {7, -8, 9}}});
  cases.push_back({"FlipObject side top-bottom", 3,
                   [](Objex* o, Poinz*) {
                     gFlipCenterY = 1;
                     FlipObject(o, 0);
                   },
                   {{2, -1, -3}, {10, -1, 20}, {-4, -5, 6}, {7, -8, 9}}});
  // The other half of each plane: across in the side view is z, down in the plan is z and
  // in the front view y; each about its own centre (x 4, y 1).
  const auto flip = [](int16_t horizontal) {
    return [horizontal](Objex* o, Poinz*) {
      gFlipCenterX = 4, gFlipCenterY = 1;
      FlipObject(o, horizontal);
      gFlipCenterX = gFlipCenterY = 0;
    };
  };
  cases.push_back({"FlipObject side left-right", 3, flip(1), {{2, 1, 3}, {10, 3, -12}, {-4, 5, -6}, {7, -8, 9}}});
  cases.push_back({"FlipObject plan top-bottom", 2, flip(0), {{2, 1, 3}, {10, 3, -18}, {-4, 5, -6}, {7, -8, 9}}});
  cases.push_back({"FlipObject front top-bottom", 1, flip(0), {{2, -1, -3}, {10, -1, 20}, {-4, -5, 6}, {7, -8, 9}}});
  cases.push_back({"FlipObject front left-right", 1, flip(1), {{-2, 1, -3}, {-2, 3, 20}, {4, 5, 6}, {7, -8, 9}}});
  // The drag previews, point by point.
  cases.push_back({"TranslatePoint plan", 2,
                   [](Objex*, Poinz* p) {
                     DragTransformInfo d{};
                     d.current[0] = 5, d.current[1] = 7, d.current[2] = 9;
                     TranslatePoint(p, 0, &d);
                   },
                   {{2, 1, -3}, {15, 3, 29}, {-4, 5, 6}, {7, -8, 9}}});
  cases.push_back({"ScalePoint plan", 2,
                   [](Objex*, Poinz* p) {
                     DragTransformInfo d{};
                     d.anchor[0] = 1, d.anchor[2] = 2;
                     d.start[0] = 2, d.start[2] = 3;
                     d.current[0] = 4, d.current[2] = 7;  // ratios 3 and 5
                     ScalePoint(p, 0, &d);
                   },
                   {{6, 1, -15}, {28, 3, 92}, {-12, 5, 30}, {7, -8, 9}}});
  cases.push_back({"RotatePoint plan", 2,
                   [](Objex*, Poinz* p) {
                     DragTransformInfo d{};
                     d.anchor[0] = 1, d.anchor[2] = 2;
                     d.currentAngle = kHalfPi;
                     RotatePoint(p, 0, &d);
                   },
                   {{-3, 1, -2}, {19, 3, -7}, {6, 5, 4}, {7, -8, 9}}});
  cases.push_back({"ShearPoint plan", 2,
                   [](Objex*, Poinz* p) {
                     DragTransformInfo d{};
                     d.start[0] = 10, d.start[2] = 10;
                     d.current[0] = 15, d.current[2] = 10;
                     ShearPoint(p, 0, &d);
                   },
                   {{0.5f, 1, -3}, {20, 3, 20}, {-1, 5, 6}, {7, -8, 9}}});
  return cases;
}

void ExpectVector(const char* field, const float* got, const float* want, const std::string& name) {
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(got[i], want[i], 1e-4) << name << ": " << field << "[" << i << "]";
}

TEST(PointFieldsUnderTransforms, EveryGeometricFieldFollowsEachTransform) {
  for (const Case& c : Cases()) {
    TestDocument doc;
    doc.ds()->viewPlane = c.viewPlane;
    Objex* o = doc.addObject(kObjOpenPoly, false, {{0, 0}});
    Poinz* p = o->firstPoint;
    p->selected = 1;
    std::copy(std::begin(kStart.in), std::end(kStart.in), p->inHandle);
    std::copy(std::begin(kStart.pos), std::end(kStart.pos), p->position);
    std::copy(std::begin(kStart.out), std::end(kStart.out), p->outHandle);
    std::copy(std::begin(kStart.link), std::end(kStart.link), p->linkVector);
    p->textureID[0] = 11, p->textureID[1] = 12;
    p->segmentElevation = 4.5f;
    p->segmentLong1 = 77;

    c.apply(o, p);

    ExpectVector("inHandle", p->inHandle, c.want.in, c.name);
    ExpectVector("position", p->position, c.want.pos, c.name);
    ExpectVector("outHandle", p->outHandle, c.want.out, c.name);
    ExpectVector("linkVector", p->linkVector, c.want.link, c.name);
    // Fields a transform has no business with.
    EXPECT_EQ(p->selected, 1) << c.name;
    EXPECT_EQ(p->locked, 0) << c.name;
    EXPECT_EQ(p->textureID[0], 11) << c.name;
    EXPECT_EQ(p->textureID[1], 12) << c.name;
    EXPECT_FLOAT_EQ(p->segmentElevation, 4.5f) << c.name;
    EXPECT_EQ(p->segmentLong1, 77) << c.name;
    EXPECT_EQ(p->owner, o) << c.name;
  }
}

// A straight-segment marker (no in-plane component) is left alone by every routine that
// acts on handles, whatever its out-of-plane component.
TEST(PointFieldsUnderTransforms, StraightMarkersStayPut) {
  const std::function<void(Objex*)> routines[] = {
      [](Objex* o) { TransformInfo t = Scale(2, 3, 4, 1, 0, 2); ScaleObject(o, &t); },
      [](Objex* o) { TransformInfo t = Turn(kHalfPi, 1, 0, 2); RotateObject(o, &t); },
      [](Objex* o) {
        TransformInfo t{};
        t.shearFrom[0] = 10, t.shearFrom[2] = 10;
        t.shearTo[0] = 15, t.shearTo[2] = 10;
        ShearObject(o, &t);
      },
  };
  int n = 0;
  for (const auto& routine : routines) {
    TestDocument doc;
    doc.ds()->viewPlane = 2;
    Objex* o = doc.addObject(kObjOpenPoly, false, {{10, 20}});
    Poinz* p = o->firstPoint;
    p->selected = 1;
    p->inHandle[1] = 5;
    p->outHandle[1] = -5;
    routine(o);
    EXPECT_FLOAT_EQ(p->inHandle[0], 0) << n;
    EXPECT_FLOAT_EQ(p->inHandle[1], 5) << n;
    EXPECT_FLOAT_EQ(p->inHandle[2], 0) << n;
    EXPECT_FLOAT_EQ(p->outHandle[0], 0) << n;
    EXPECT_FLOAT_EQ(p->outHandle[1], -5) << n;
    EXPECT_FLOAT_EQ(p->outHandle[2], 0) << n;
    ++n;
  }
}

}  // namespace
