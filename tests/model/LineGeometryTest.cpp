// Line and spline geometry: angles, intersections, segment lengths, walking along
// segments, arc splines, projected segment bounds and the jittered frustum.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "TestDocument.h"
#include "ViewStateGuard.h"
#include "model/Bounds.h"
#include "model/Floors2D.h"
#include "model/LineGeometry.h"
#include "model/RepeatBound.h"
#include "model/TextureFace.h"
#include "model/ViewProjection.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// A two-point open object from (x0, z0) to (x1, z1) whose segment has the given handles.
Objex* AddSegment(TestDocument& doc, int16_t type, float x0, float z0, float x1, float z1,
                  std::array<float, 3> out, std::array<float, 3> in) {
  Objex* o = doc.addObject(type, false, {{x0, z0}, {x1, z1}});
  for (int i = 0; i < 3; ++i) {
    o->firstPoint->outHandle[i] = out[i];
    o->firstPoint->next->inHandle[i] = in[i];
  }
  return o;
}

// Plan length of the segment as the sum of `pieces` chords at t = i / pieces.
float ChordSum(const Poinz* a, const Poinz* b, int pieces) {
  float sum = 0, lx = 0, lz = 0;
  for (int i = 0; i <= pieces; ++i) {
    float x, y, z;
    GetSplineCoordinate(a, b, static_cast<float>(i) / pieces, &x, &y, &z);
    if (i > 0) sum += GetLineLength(lx, lz, x, z);
    lx = x;
    lz = z;
  }
  return sum;
}

}  // namespace

TEST(LineGeometry, LineAngleFollowsScreenConvention) {
  float length = -1;
  EXPECT_FLOAT_EQ(GetLineLengthAndAngle(0, 0, 0, -1, &length), kPi / 2);
  EXPECT_FLOAT_EQ(length, 1);
  EXPECT_FLOAT_EQ(GetLineLengthAndAngle(0, 0, 0, 1, &length), 3 * kPi / 2);
  EXPECT_FLOAT_EQ(GetLineLengthAndAngle(0, 0, -1, 0, &length), kPi);
  EXPECT_FLOAT_EQ(GetLineLengthAndAngle(0, 0, 5, 0, &length), 0);
  EXPECT_FLOAT_EQ(GetLineLengthAndAngle(3, 3, 3, 3, &length), 0);
  EXPECT_FLOAT_EQ(length, 0);
  EXPECT_EQ(GetLineLengthAndAngle(0, 0, 0, 1, nullptr), 0);

  float dx = 0, dy = 0;
  GetPointFromLengthAndAngle(kPi / 2, 2, &dx, &dy);
  EXPECT_NEAR(dx, 0, 1e-6);
  EXPECT_FLOAT_EQ(dy, -2);
}

TEST(LineGeometry, CompassAngles) {
  int16_t deg = -1;
  ConvertPiRadiansToQDAngle(0, &deg);
  EXPECT_EQ(deg, 90);
  ConvertPiRadiansToQDAngle(kPi / 2, &deg);
  EXPECT_EQ(deg, 0);
  ConvertPiRadiansToQDAngle(kPi, &deg);
  EXPECT_EQ(deg, 270);
  ConvertPiRadiansToQDAngle(-kPi / 2, &deg);
  EXPECT_EQ(deg, 180);
}

TEST(LineGeometry, SlopesAndIntersections) {
  float x = 0, y = 0;
  FGetIntersection(0, 0, 10, 0, 0, 5, 10, 5, &x, &y);
  EXPECT_EQ(x, 32000.0f);
  EXPECT_EQ(y, 32000.0f);
  GetIntersection(0, 0, 10, 0, 0, 5, 10, 5, &x, &y);
  EXPECT_EQ(x, 32000.0f);
  FGetIntersection(3, -10, 3, 10, 0, 7, 10, 7, &x, &y);
  EXPECT_FLOAT_EQ(x, 3);
  EXPECT_FLOAT_EQ(y, 7);
  FGetIntersection(0, 7, 10, 7, 3, -10, 3, 10, &x, &y);
  EXPECT_FLOAT_EQ(x, 3);
  EXPECT_FLOAT_EQ(y, 7);
  FGetIntersection(0, 0, 10, 10, 0, 10, 10, 0, &x, &y);
  EXPECT_FLOAT_EQ(x, 5);
  EXPECT_FLOAT_EQ(y, 5);

  // The rounded vertical test of the older routines.
  EXPECT_EQ(GetSlope(0, 0, 0.4f, 10), kSlopeVertical);
  EXPECT_EQ(GetSlope(0, 0, -1.4f, 10), kSlopeVertical);
  EXPECT_NE(FGetSlope(0, 0, 0.4f, 10), kSlopeVertical);
  EXPECT_NE(FGetSlope(0, 0, -1.4f, 10), kSlopeVertical);
  GetIntersection(0, 0, 0.4f, 10, -5, 5, 5, 5, &x, &y);
  EXPECT_FLOAT_EQ(x, 0);
  EXPECT_FLOAT_EQ(y, 5);
  FGetIntersection(0, 0, 0.4f, 10, -5, 5, 5, 5, &x, &y);
  EXPECT_NEAR(x, 0.2f, 1e-5);
  EXPECT_FLOAT_EQ(GetYIntercept(2, 5, 1), 3);
}

TEST(LineGeometry, PerpendicularFeet) {
  float x = 0, y = 0;
  FGetPerpIntersection(0, 0, 10, 10, 10, 0, &x, &y);
  EXPECT_NEAR(x, 5, 1e-5);
  EXPECT_NEAR(y, 5, 1e-5);
  FGetPerpIntersection(4, 0, 4, 10, 9, 3, &x, &y);
  EXPECT_EQ(x, 4);
  EXPECT_EQ(y, 3);
  FGetPerpIntersection(0, 2, 10, 2, 9, 3, &x, &y);
  EXPECT_EQ(x, 9);
  EXPECT_EQ(y, 2);
  GetPerpIntersection(4, 0, 4.3f, 10, 9, 3, &x, &y);
  EXPECT_EQ(x, 4);
  EXPECT_EQ(y, 3);
}

TEST(LineGeometry, SegmentLengthStraightAndCurved) {
  TestDocument doc;
  Objex* straight = AddSegment(doc, kObjLine, 0, 0, 30, 40, {0, 0, 0}, {0, 0, 0});
  EXPECT_FLOAT_EQ(GetSegmentLength(straight, straight->firstPoint, straight->firstPoint->next), 50);

  // Only a y handle: sampled, but x and z stay those of the chord.
  Objex* lifted = AddSegment(doc, kObjLine, 0, 0, 30, 40, {0, 20, 0}, {0, 0, 0});
  EXPECT_NEAR(GetSegmentLength(lifted, lifted->firstPoint, lifted->firstPoint->next), 50, 1e-3);

  Objex* curve = AddSegment(doc, kObjLine, 0, 0, 100, 0, {0, 0, 100}, {0, 0, -100});
  Poinz* a = curve->firstPoint;
  float length = GetSegmentLength(curve, a, a->next);
  EXPECT_NEAR(length, ChordSum(a, a->next, 10), 1e-3);
  EXPECT_GT(length, 100);
  doc.ds()->curveSegments = 20;
  EXPECT_NEAR(GetSegmentLength(curve, a, a->next), ChordSum(a, a->next, 20), 1e-3);

  EXPECT_EQ(GetSegmentLength(nullptr, a, a->next), 0);
  EXPECT_EQ(GetSegmentLength(curve, a, nullptr), 0);
}

TEST(LineGeometry, ObjectLengthOnlyForPathKinds) {
  TestDocument doc;
  Objex* fence = doc.addObject(kObjFence, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  EXPECT_FLOAT_EQ(GetObjectLength(fence), 40);
  fence->closed = 0;
  EXPECT_FLOAT_EQ(GetObjectLength(fence), 30);
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  EXPECT_EQ(GetObjectLength(line), 0);
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {10, 0}});
  EXPECT_FLOAT_EQ(GetObjectLength(wall), 10);
  wall->levels = 2;
  EXPECT_EQ(GetObjectLength(wall), 0);
  EXPECT_EQ(GetObjectLength(nullptr), 0);
}

TEST(LineGeometry, PointAtLengthAlongSegments) {
  TestDocument doc;
  Objex* straight = AddSegment(doc, kObjLine, 0, 0, 10, 0, {0, 5, 0}, {0, 0, 0});
  FloatPoint at{};
  EXPECT_EQ(GetPointOnLineFromLength(straight->firstPoint, straight->firstPoint->next, &at, 4), 1);
  EXPECT_FLOAT_EQ(at.floatH, 4);
  EXPECT_EQ(GetPointOnLineFromLength(straight->firstPoint, straight->firstPoint->next, &at, 12), 0);
  EXPECT_FLOAT_EQ(at.floatH, 12);
  EXPECT_NEAR(at.floatV, 0, 1e-5);

  Objex* curve = AddSegment(doc, kObjLine, 0, 0, 100, 0, {0, 0, 100}, {0, 0, -100});
  Poinz* a = curve->firstPoint;
  float total = GetSegmentLength(curve, a, a->next);
  EXPECT_EQ(GetPointOnLineFromLength(a, a->next, &at, 10), 1);
  EXPECT_GT(at.floatV, 0);
  FloatPoint untouched{-7, -7};
  gRemainingLength = 0;
  EXPECT_EQ(GetPointOnLineFromLength(a, a->next, &untouched, total + 50), 0);
  EXPECT_EQ(untouched.floatH, -7);
  // The walk samples up to t = 1.01, a little beyond the end point.
  EXPECT_GT(gRemainingLength, 45);
  EXPECT_LE(gRemainingLength, 50);
}

TEST(LineGeometry, RadiusSplineApproximatesArc) {
  float x0, tx0, tx1, x1, y0, ty0, ty1, y1;
  BuildRadiusSpline(kPi / 2, 10, &x0, &tx0, &tx1, &x1, &y0, &ty0, &ty1, &y1);
  EXPECT_NEAR(x0, 10 * std::cos(kPi / 4), 1e-5);
  EXPECT_NEAR(y0, -10 * std::sin(kPi / 4), 1e-5);
  EXPECT_NEAR(y1, 10 * std::sin(kPi / 4), 1e-5);
  EXPECT_NEAR(std::hypot(tx0, ty0), 4 * std::tan(kPi / 8) * 10, 1e-4);
  float a, b, c, d, e, f, g, h;
  SetupSpline(x0, tx0, x1, tx1, &a, &b, &c, &d);
  SetupSpline(y0, ty0, y1, ty1, &e, &f, &g, &h);
  for (float t : {0.25f, 0.5f, 0.75f}) {
    float x = GetSplineCoord(a, b, c, d, t, t * t, t * t * t);
    float y = GetSplineCoord(e, f, g, h, t, t * t, t * t * t);
    EXPECT_NEAR(std::hypot(x, y), 10, 0.01);
  }
  BuildRadiusSpline(0, 10, &x0, &tx0, &tx1, &x1, &y0, &ty0, &ty1, &y1);
  EXPECT_EQ(ty0, 0);
  EXPECT_EQ(tx0, 0);
}

TEST(LineGeometry, SplineBoundsAreProjectedAndRounded) {
  TestDocument doc;
  ViewStateGuard view;
  RECT r{};
  GetSplineBounds(0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 50, &r);  // zoom 0.6
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 60);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.bottom, 30);
  GetSplineBounds(-1e9f, 0, 0, 1e9f, 0, 0, 0, 0, 0, 0, 0, 0, &r);
  EXPECT_EQ(r.left, -32766);  // clamped to -32767, then +0.5 truncates toward zero
  EXPECT_EQ(r.right, 32767);
}

TEST(LineGeometry, JitteredFrustumValues) {
  FrustumValues v = ComputeAccFrustum(-1, 1, -1, 1, 1, 10, 0.5, 0.25, 0, 0, 1, 100, 50);
  EXPECT_DOUBLE_EQ(v.left, -1.01);
  EXPECT_DOUBLE_EQ(v.right, 0.99);
  EXPECT_DOUBLE_EQ(v.bottom, -1.01);
  EXPECT_DOUBLE_EQ(v.top, 0.99);
  EXPECT_DOUBLE_EQ(v.zNear, 1);
  EXPECT_DOUBLE_EQ(v.zFar, 10);
  v = ComputeAccFrustum(-1, 1, -1, 1, 2, 10, 0, 0, 1, -1, 4, 100, 100);
  EXPECT_DOUBLE_EQ(v.left, -1.5);
  EXPECT_DOUBLE_EQ(v.top, 1.5);
  v = ComputeAccFrustum(-1, 1, -1, 1, 1, 10, 0.5, 0.5, 1, 1, 0, 0, 0);
  EXPECT_TRUE(std::isfinite(v.left) && std::isfinite(v.top));
  v = ComputeAccPerspective(90, 2, 1, 100, 0, 0, 0, 0, 1, 640, 320);
  EXPECT_NEAR(v.top, 1, 1e-12);
  EXPECT_NEAR(v.bottom, -1, 1e-12);
  EXPECT_NEAR(v.right, 2, 1e-12);
  EXPECT_NEAR(v.left, -2, 1e-12);
}

// A design can ask for up to 32,767 pieces a curve: measuring, bounds and flattening take at
// most the bound the 3D builders take, on both sides of it and for several samples a piece,
// and the setting stays as the design holds it.
TEST(LineGeometry, CurveSettingsPastTheBoundAreSampledAtTheBound) {
  for (const int16_t segments : {int16_t{1023}, int16_t{1024}, int16_t{1025}, int16_t{32767}}) {
    TestDocument doc;
    doc.ds()->curveSegments = segments;
    const int32_t taken = std::min<int32_t>(segments, kMaxRepeats);
    EXPECT_EQ(CurrentCurveSegments(), taken) << segments;
    EXPECT_EQ(CurveSamples(doc.ds(), 1, 0), taken) << segments;
    Objex* curve = AddSegment(doc, kObjOpenPoly, 0, 0, 100, 0, {0, 0, 50}, {0, 0, -50});
    ConvertSegmentCurveToPolygon(curve, curve->firstPoint, curve->firstPoint->next);
    EXPECT_EQ(curve->pointCount, taken + 1) << segments;
    EXPECT_EQ(doc.ds()->curveSegments, segments);
  }
  TestDocument doc;
  for (const auto [segments, perPiece, samples] :
       {std::array<int32_t, 3>{512, 2, 1024}, {513, 2, 1024}, {204, 5, 1020}, {205, 5, 1024}, {32767, 6, 1024}}) {
    doc.ds()->curveSegments = static_cast<int16_t>(segments);
    EXPECT_EQ(CurveSamples(doc.ds(), perPiece, 0), samples) << segments << " x " << perPiece;
  }
  // No pieces asked for, or no design: the caller's own count.
  for (const int16_t segments : {int16_t{0}, int16_t{-1}, int16_t{-32768}}) {
    doc.ds()->curveSegments = segments;
    EXPECT_EQ(CurveSamples(doc.ds(), 2, 10), 10) << segments;
  }
  EXPECT_EQ(CurveSamples(nullptr, 5, 8), 8);
}

// A document state read from a file can hold any curve resolution: everything that
// samples curves ends with a finite result.
TEST(LineGeometry, DegenerateCurveSegmentsEndPromptly) {
  for (int16_t segments : {int16_t{0}, int16_t{-3}, int16_t{-32768}}) {
    TestDocument doc;
    doc.ds()->curveSegments = segments;
    ViewStateGuard view;
    Objex* o = doc.addObject(kObjPath, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    for (Poinz* p = o->firstPoint; p; p = p->next) p->outHandle[2] = 40;
    Poinz* a = o->firstPoint;
    EXPECT_TRUE(std::isfinite(GetSegmentLength(o, a, a->next)));
    EXPECT_TRUE(std::isfinite(GetObjectLength(o)));
    EXPECT_TRUE(std::isfinite(GetSplineLength(a, a->next)));
    FloatRect r = EmptyFloatRect();
    EXPECT_TRUE(GetObjectBounds(o, 0, &r, 0, 0));
    EXPECT_TRUE(std::isfinite(r.floatBottom));
    Float3DRect b = EmptyFloat3DRect();
    EXPECT_TRUE(GetObject3DBounds(o, 0, &b, 0));
    o->levels = 2;
    SetObjectPointLengths(o);
    EXPECT_TRUE(std::isfinite(a->ringLength));
    SetTextureFaceUV(o);
    EXPECT_TRUE(std::isfinite(a->texU));
  }
}
