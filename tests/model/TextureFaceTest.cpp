// Texture face projection planes and coordinates, ring and path lengths of
// extruded objects, curved segment lengths and the plan rotation of an object.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "TestDocument.h"
#include "ViewStateGuard.h"
#include "model/LineGeometry.h"
#include "model/TextureFace.h"

namespace {

struct P3 {
  float x, y, z;
};

Objex* AddFace(TestDocument& doc, int16_t type, bool closed, std::initializer_list<P3> pts) {
  Objex* o = doc.addObject(type, closed, {});
  for (const P3& p : pts)
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, p.x, p.y, p.z, 0, 0, 0, 0, 0, 0, o), o);
  return o;
}

std::vector<Poinz*> Points(Objex* o) {
  std::vector<Poinz*> v;
  for (Poinz* p = o->firstPoint; p; p = p->next) v.push_back(p);
  return v;
}

}  // namespace

TEST(TextureFace, FlatFloorProjectsOnThePlan) {
  TestDocument doc;
  Objex* floor = AddFace(doc, kObjFloor, true, {{10, 0, 20}, {50, 0, 20}, {50, 0, 100}, {10, 0, 100}});
  SetTextureFaceUV(floor);
  EXPECT_EQ(floor->auxShort, 2);
  EXPECT_EQ(floor->textureRect.floatTop, 20);
  EXPECT_EQ(floor->textureRect.floatLeft, 10);
  EXPECT_EQ(floor->textureRect.floatBottom, 100);
  EXPECT_EQ(floor->textureRect.floatRight, 50);
  EXPECT_EQ(floor->textureRect2.floatRight, 50);
  auto p = Points(floor);
  EXPECT_FLOAT_EQ(p[0]->texU, 0);
  EXPECT_FLOAT_EQ(p[0]->texV, 0);
  EXPECT_FLOAT_EQ(p[2]->texU, 1);
  EXPECT_FLOAT_EQ(p[2]->texV, 1);
  EXPECT_FLOAT_EQ(p[1]->texU, 1);
  EXPECT_FLOAT_EQ(p[1]->texV, 0);
}

TEST(TextureFace, WallFacesProjectAcrossTheirSmallestExtent) {
  TestDocument doc;
  Objex* alongX = AddFace(doc, kObjWallFace, true, {{0, 0, 5}, {40, 0, 5}, {40, 96, 5}, {0, 96, 5}});
  SetTextureFaceUV(alongX);
  EXPECT_EQ(alongX->auxShort, 1);
  EXPECT_FLOAT_EQ(Points(alongX)[2]->texU, 1);
  EXPECT_FLOAT_EQ(Points(alongX)[2]->texV, 1);

  Objex* alongZ = AddFace(doc, kObjWallFace, true, {{5, 0, 0}, {5, 0, 40}, {5, 96, 40}, {5, 96, 0}});
  SetTextureFaceUV(alongZ);
  EXPECT_EQ(alongZ->auxShort, 3);
  EXPECT_FLOAT_EQ(Points(alongZ)[1]->texU, 1);

  Objex* diagonal = AddFace(doc, kObjWallFace, true, {{0, 0, 0}, {30, 0, 30}, {30, 96, 30}, {0, 96, 0}});
  SetTextureFaceUV(diagonal);
  EXPECT_EQ(diagonal->auxShort, 1);

  // A zero-extent face: u and v are 0 without dividing by zero.
  Objex* dot = AddFace(doc, kObjClosedPoly, true, {{7, 7, 7}, {7, 7, 7}, {7, 7, 7}});
  SetTextureFaceUV(dot);
  for (Poinz* p : Points(dot)) {
    EXPECT_EQ(p->texU, 0);
    EXPECT_EQ(p->texV, 0);
  }
}

TEST(TextureFace, RoofPlaneKeepsItsPosition) {
  TestDocument doc;
  ViewStateGuard view;
  // A sloped plane whose ridge runs diagonally in the plan.
  Objex* plane = AddFace(doc, kObjRoofPlane, true,
                         {{0, 0, 0}, {100, 0, 100}, {80, 40, 120}, {-20, 40, 20}});
  std::vector<P3> before;
  for (Poinz* p : Points(plane)) before.push_back({p->position[0], p->position[1], p->position[2]});
  // Laid out again and again (every rebuild does), far from the view point: the corners stay
  // exactly where they were, and so do the bounds.
  for (Poinz* p : Points(plane)) p->position[0] += 5000.3f, p->position[2] += 7000.7f;
  for (P3& b : before) b.x += 5000.3f, b.z += 7000.7f;
  for (int i = 0; i < 5; ++i) SetTextureFaceUV(plane);
  EXPECT_EQ(plane->auxShort, 1);
  auto pts = Points(plane);
  for (size_t i = 0; i < pts.size(); ++i) {
    EXPECT_EQ(pts[i]->position[0], before[i].x);
    EXPECT_EQ(pts[i]->position[1], before[i].y);
    EXPECT_EQ(pts[i]->position[2], before[i].z);
  }
  EXPECT_EQ(plane->bounds3D.floatLeft, before[3].x);
  EXPECT_EQ(plane->bounds3D.floatRight, before[1].x);
  // u runs along the ridge: its two ends span u from 0 to 1; v runs up the slope.
  EXPECT_NEAR(std::fabs(pts[2]->texU - pts[3]->texU), 1, 1e-4);
  EXPECT_NEAR(pts[0]->texV, 0, 1e-6);
  EXPECT_NEAR(pts[2]->texV, 1, 1e-6);
}

TEST(TextureFace, ExtrudedSquareRingAndPathLengths) {
  TestDocument doc;
  Objex* box = AddFace(doc, kObjClosedPoly, true,
                       {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10},
                        {0, 8, 0}, {10, 8, 0}, {10, 8, 10}, {0, 8, 10}});
  box->levels = 2;
  SetObjectPointLengths(box);
  const float expected[] = {0, 10, 20, 30, 0, 10, 20, 30};
  auto pts = Points(box);
  for (size_t i = 0; i < pts.size(); ++i) {
    EXPECT_FLOAT_EQ(pts[i]->ringLength, 40);
    EXPECT_FLOAT_EQ(pts[i]->pathLength, expected[i]);
  }
  EXPECT_FLOAT_EQ(GetTotalPerimeterLength(box, 0), 40);
  EXPECT_FLOAT_EQ(GetPointIndexPerimeterLength(box, 4, 0), 40);
  EXPECT_FLOAT_EQ(GetPointIndexPerimeterLength(box, 5, 0), 40);
  EXPECT_EQ(GetPointIndexPerimeterLength(box, 6, 0), 0);
  EXPECT_EQ(GetPointIndexPerimeterLength(box, 0, 0), 0);

  box->closed = 0;  // an open ring has no closing segment
  EXPECT_FLOAT_EQ(GetTotalPerimeterLength(box, 0), 30);

  box->levels = 1;
  EXPECT_EQ(GetTotalPerimeterLength(box, 0), 0);
  pts[0]->pathLength = -1;
  SetObjectPointLengths(box);
  EXPECT_EQ(pts[0]->pathLength, -1);
}

TEST(TextureFace, ThirdRingIsMeasuredOnItsOwn) {
  TestDocument doc;
  Objex* o = AddFace(doc, kObjClosedPoly, true,
                     {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10},
                      {0, 8, 0}, {10, 8, 0}, {10, 8, 10}, {0, 8, 10},
                      {0, 16, 0}, {20, 16, 0}, {20, 16, 20}, {0, 16, 20}});
  o->levels = 3;
  EXPECT_FLOAT_EQ(GetTotalPerimeterLength(o, 1), 80);
  SetObjectPointLengths(o);
  auto pts = Points(o);
  EXPECT_FLOAT_EQ(pts[5]->ringLength, 40);
  EXPECT_FLOAT_EQ(pts[5]->pathLength, 10);
  EXPECT_FLOAT_EQ(pts[9]->ringLength, 80);
  EXPECT_FLOAT_EQ(pts[11]->pathLength, 60);
}

TEST(TextureFace, CurvedSegmentIsMeasuredAsChords) {
  TestDocument doc;
  Objex* o = AddFace(doc, kObjOpenPoly, false, {{0, 0, 0}, {100, 30, 0}});
  Poinz* a = o->firstPoint;
  Poinz* b = a->next;
  a->outHandle[2] = 80;
  b->inHandle[2] = -80;
  b->inHandle[1] = 20;
  float chords = 0;
  float lx = 0, ly = 0, lz = 0;
  for (int i = 0; i <= 10; ++i) {
    float x, y, z;
    GetSplineCoordinate(a, b, i / 10.0f, &x, &y, &z);
    if (i > 0) chords += Get3DLineLength(lx, ly, lz, x, y, z);
    lx = x, ly = y, lz = z;
  }
  EXPECT_NEAR(GetSplineLength(a, b), chords, 1e-3);
  EXPECT_GT(chords, std::hypot(100.0f, 30.0f));
  EXPECT_EQ(GetSplineLength(a, nullptr), 0);
}

TEST(TextureFace, SimpleRotateTurnsInThePlan) {
  TestDocument doc;
  ViewStateGuard view;
  doc.ds()->viewPlane = 1;  // ignored: the turn is always in the plan
  Objex* o = AddFace(doc, kObjOpenPoly, false, {{10, 5, 0}, {20, 5, 0}});
  o->firstPoint->outHandle[0] = 4;
  TransformInfo turn{};
  turn.angle = std::numbers::pi_v<float> / 2;
  SimpleRotateObject(o, &turn);
  EXPECT_NEAR(o->firstPoint->position[0], 0, 1e-4);
  EXPECT_NEAR(o->firstPoint->position[1], 5, 0);
  EXPECT_NEAR(o->firstPoint->position[2], -10, 1e-4);
  EXPECT_NEAR(o->firstPoint->outHandle[0], 0, 1e-5);
  EXPECT_NEAR(o->firstPoint->outHandle[2], -4, 1e-5);
  EXPECT_EQ(o->firstPoint->next->inHandle[0], 0);
  EXPECT_NEAR(o->bounds3D.floatBack, -20, 1e-3);
  EXPECT_NEAR(o->bounds3D.floatFront, -10, 1e-3);
}

// Objects measured one after another come out as each measured alone: nothing of the previous
// object's rings is left for the next (three rings, then two, then an open ring, then three).
TEST(TextureFace, LengthsMeasuredInTurnMatchEachMeasuredAlone) {
  TestDocument doc;
  struct Case {
    int16_t levels;
    bool closed;
    std::vector<P3> points;
    std::vector<float> ring, path;
  };
  const std::vector<Case> cases = {
      {3, true,
       {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10}, {0, 8, 0}, {10, 8, 0}, {10, 8, 10}, {0, 8, 10},
        {0, 16, 0}, {20, 16, 0}, {20, 16, 20}, {0, 16, 20}},
       {40, 40, 40, 40, 40, 40, 40, 40, 80, 80, 80, 80},
       {0, 10, 20, 30, 0, 10, 20, 30, 0, 20, 40, 60}},
      {2, true, {{0, 0, 0}, {3, 0, 0}, {3, 0, 4}, {0, 5, 4}, {0, 5, 0}, {3, 5, 0}},
       {12, 12, 12, 12, 12, 12}, {0, 3, 7, 0, 3, 7}},
      {2, false, {{0, 0, 0}, {6, 0, 0}, {0, 2, 0}, {6, 2, 0}}, {6, 6, 6, 6}, {0, 6, 0, 6}},
      {3, false, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 2, 0}, {4, 2, 0}}, {1, 1, 1, 1, 4, 4},
       {0, 1, 0, 1, 0, 4}},
  };
  for (int round = 0; round < 2; ++round) {
    for (size_t c = 0; c < cases.size(); ++c) {
      const Case& k = cases[c];
      Objex* o = doc.addObject(kObjClosedPoly, k.closed, {});
      for (const P3& p : k.points)
        AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, p.x, p.y, p.z, 0, 0, 0, 0, 0, 0, o), o);
      o->levels = k.levels;
      SetObjectPointLengths(o);
      auto pts = Points(o);
      ASSERT_EQ(pts.size(), k.ring.size());
      for (size_t i = 0; i < pts.size(); ++i) {
        EXPECT_FLOAT_EQ(pts[i]->ringLength, k.ring[i]) << "case " << c << " point " << i;
        EXPECT_FLOAT_EQ(pts[i]->pathLength, k.path[i]) << "case " << c << " point " << i;
      }
    }
  }
}
