// Surfaces: the straight patch quad, curved patches as strips appended once each, planar
// rings with their normal and slab lowering, the patch mathematics and wall heights.
#include <gtest/gtest.h>

#include <cmath>

#include "SceneTestSupport.h"
#include "building3d/Surfaces.h"
#include "model/WallFields.h"

namespace {

using Surfaces = SceneTest;

Poinz* PointAt(Objex* o, int index) {
  Poinz* p = o->firstPoint;
  while (index-- > 0 && p) p = p->next;
  return p;
}

// A two-ring object: lower ring at y 0, upper ring at y -10, through the given plan points.
Objex* TwoRings(TestDocument& doc, int16_t type, std::initializer_list<std::pair<float, float>> pts) {
  Objex* o = doc.addObject(type, false, {});
  for (float y : {0.0f, -10.0f})
    for (auto [x, z] : pts) AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, y, z, 0, 0, 0, 0, 0, 0, o), o);
  o->levels = 2;
  return o;
}

TEST_F(Surfaces, AStraightPatchIsOneQuadABDC) {
  Objex* face = TwoRings(doc, kObjWallFace, {{0, 0}, {40, 0}});
  Poinz* a = PointAt(face, 0);
  Poinz* c = PointAt(face, 1);
  Poinz* b = PointAt(face, 2);
  Poinz* d = PointAt(face, 3);
  a->ringLength = b->ringLength = 80;
  a->pathLength = b->pathLength = 0;
  c->pathLength = d->pathLength = 40;
  a->textureID[0] = 1234;
  a->textureID[1] = 77;
  a->color[0] = RGBColor{1, 2, 3};
  PlaneObject* po = CreatePlaneObject();
  gCurPlaneObject = po;
  RenderBicubicSurface(a, b, c, d, 3, 1, 1, &face->penColor, face);
  EXPECT_EQ(gCurPlaneObject, po);  // the caller appends it
  ASSERT_EQ(CountPlanes(po->planes), 1);
  const Plane* q = po->planes;
  ASSERT_EQ(q->vertexCount, 4);
  const Poinz* order[4] = {a, b, d, c};
  const float v[4] = {1, 0, 0, 1};
  const float u[4] = {0, 0, 0.5f, 0.5f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(q->vertices[i].x, order[i]->position[0]) << i;
    EXPECT_FLOAT_EQ(q->vertices[i].y, order[i]->position[1]) << i;
    EXPECT_FLOAT_EQ(q->vertices[i].v, v[i]) << i;
    EXPECT_FLOAT_EQ(q->vertices[i].u, u[i]) << i;
    EXPECT_EQ(q->vertices[i].flag, i + 1);
  }
  EXPECT_EQ(po->textureIdA, 1234);
  EXPECT_EQ(po->textureIdB, 77);
  EXPECT_EQ(po->textureLinkA, &a->textureID[0]);
  EXPECT_EQ(po->colorA, (RGBColor{1, 2, 3}));
  EXPECT_EQ(po->renderKind, 0);
  EXPECT_EQ(gGLPlaneObjects, nullptr);
  DeletePlaneObject(po);
}

TEST_F(Surfaces, AStraightWallPatchTakesTheWallHeight) {
  Objex* wall = TwoRings(doc, kObjWall, {{0, 0}, {40, 0}});
  WallStyleOf(wall->firstPoint) = 0;
  WallHeightOf(wall->firstPoint) = 96;
  BaseElevationOf(wall->firstPoint) = 7;
  PlaneObject* po = CreatePlaneObject();
  gCurPlaneObject = po;
  RenderBicubicSurface(PointAt(wall, 0), PointAt(wall, 2), PointAt(wall, 1), PointAt(wall, 3), 3, 1, 1,
                       &wall->penColor, wall);
  ASSERT_NE(po->planes, nullptr);
  EXPECT_FLOAT_EQ(po->planes->vertices[0].y, 0);
  EXPECT_FLOAT_EQ(po->planes->vertices[1].y, -192);
  EXPECT_FLOAT_EQ(po->planes->vertices[2].y, -192);
  EXPECT_FLOAT_EQ(po->elevation, 7);
  DeletePlaneObject(po);
}

TEST_F(Surfaces, ACurvedPatchAppendsEachStripOnce) {
  Objex* face = TwoRings(doc, kObjWallFace, {{0, 0}, {40, 0}});
  Poinz* a = PointAt(face, 0);
  Poinz* c = PointAt(face, 1);
  Poinz* b = PointAt(face, 2);
  Poinz* d = PointAt(face, 3);
  for (Poinz* p : {a, b}) p->outHandle[2] = 30;  // bulges towards +z
  for (Poinz* p : {c, d}) p->inHandle[2] = -30;
  for (Poinz* p : {a, b, c, d}) p->linkVector[1] = -10;
  a->ringLength = 80;
  PlaneObject* po = CreatePlaneObject();
  gCurPlaneObject = po;
  RenderBicubicSurface(a, b, c, d, 3, 1, 1, &face->penColor, face);
  EXPECT_EQ(gCurPlaneObject, nullptr);
  // Three strips (no plan object being rebuilt): the caller's plane object is the first.
  ASSERT_EQ(CountPlaneObjects(gGLPlaneObjects), 3);
  EXPECT_EQ(gGLPlaneObjects, po);
  for (const PlaneObject* s = gGLPlaneObjects; s; s = s->next) {
    EXPECT_EQ(s->renderKind, 7);
    EXPECT_EQ(s->partType, po->partType);
    ASSERT_NE(s->planes, nullptr);
  }
  // The strips meet: the first strip ends where the second starts, at s = 1/3, bulged out.
  float x = 0, y = 0, z = 0;
  Matrix4 m, mt, gx, gy, gz, scratch, kx, ky, kz;
  BuildMatrixM(m);
  BuildMatrixMT(mt);
  EstablishSurface(gx, gy, gz, m, mt, scratch, kx, ky, kz, a, b, c, d, 1);
  float sv[4], tv[4];
  ComputeSurfacePoint(kx, ky, kz, sv, tv, 0.5f, 0, &x, &y, &z);
  EXPECT_GT(z, 5);
  EXPECT_FLOAT_EQ(x, 20);
}

TEST_F(Surfaces, TheUnitSquarePatchCentreIsTheSquareCentre) {
  Objex* square = TwoRings(doc, kObjWallFace, {{0, 0}, {1, 0}});
  Poinz* a = PointAt(square, 0);
  Poinz* c = PointAt(square, 1);
  Poinz* b = PointAt(square, 2);
  Poinz* d = PointAt(square, 3);
  b->position[1] = d->position[1] = 1;
  Matrix4 m, mt, gx, gy, gz, scratch, kx, ky, kz;
  BuildMatrixM(m);
  BuildMatrixMT(mt);
  for (int linked : {0, 1}) {
    EstablishSurface(gx, gy, gz, m, mt, scratch, kx, ky, kz, a, b, c, d, linked);
    float sv[4], tv[4], x = 0, y = 0, z = 0;
    ComputeSurfacePoint(kx, ky, kz, sv, tv, 0.5f, 0.5f, &x, &y, &z);
    EXPECT_FLOAT_EQ(x, 0.5f);
    EXPECT_FLOAT_EQ(y, 0.5f);
    EXPECT_FLOAT_EQ(z, 0);
    float dxs = 0, dxt = 0, dys = 0, dyt = 0;
    ComputePartialDifferential(kx, 0.5f, 0.5f, &dxs, &dxt);
    ComputePartialDifferential(ky, 0.5f, 0.5f, &dys, &dyt);
    EXPECT_GT(dxs, 0);
    EXPECT_FLOAT_EQ(dxt, 0);
    EXPECT_FLOAT_EQ(dys, 0);
  }
  // The plain form reads the handles as the table lays them out.
  a->outHandle[0] = 3;
  a->inHandle[0] = 5;
  c->inHandle[0] = 7;
  BuildBMatrices(gx, gy, gz, a, b, c, d);
  EXPECT_FLOAT_EQ(gx[0][2], 3);
  EXPECT_FLOAT_EQ(gx[2][0], -5);
  EXPECT_FLOAT_EQ(gx[1][2], -7);
  BuildBLinkMatrices(gx, gy, gz, a, b, c, d);
  EXPECT_FLOAT_EQ(gx[2][0], 3);
  EXPECT_FLOAT_EQ(gx[3][0], 7);
  const float u[4] = {1, 2, 3, 4};
  EXPECT_FLOAT_EQ(CrossVectorMultiply(u, u), 30);
  EXPECT_FLOAT_EQ(CrossVectorMultiply(u, nullptr), 0);
}

TEST_F(Surfaces, WallHeightsFollowTheHeightMode) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {240, 0}});  // a run of 120 inches
  Poinz* p = wall->firstPoint;
  WallHeightOf(p) = 96;
  PitchAOf(p) = 6;
  HeightCOf(p) = 120;
  WallStyleOf(p) = 2;
  EXPECT_FLOAT_EQ(GetWallHeight(p, 1), 192);
  EXPECT_FLOAT_EQ(GetWallHeight(p, 0), 312);
  WallStyleOf(p) = 3;
  EXPECT_FLOAT_EQ(GetWallHeight(p, 1), 312);
  EXPECT_FLOAT_EQ(GetWallHeight(p, 0), 192);
  WallStyleOf(p) = 1;
  EXPECT_FLOAT_EQ(GetWallHeight(p, 0), 240);
  WallStyleOf(p) = 8;
  EXPECT_FLOAT_EQ(GetWallHeight(p, 1), 240);
  WallStyleOf(p) = 0;
  EXPECT_FLOAT_EQ(GetWallHeight(p, 0), 192);
  // The last point of an open wall has no run: no slope.
  Poinz* last = p->next;
  WallHeightOf(last) = 96;
  PitchAOf(last) = 6;
  WallStyleOf(last) = 2;
  EXPECT_FLOAT_EQ(GetWallHeight(last, 0), 192);
  EXPECT_FLOAT_EQ(GetWallHeight(nullptr, 0), 0);
}

// The same sloped wall at plan scales 24, 48 and 96: its heights and its run are inches, so
// each end's height is the plan length of the inches it reaches.
TEST_F(Surfaces, WallHeightsTakeThePlanScale) {
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    const float k = 72 / scale;
    Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {240, 0}});
    Poinz* p = wall->firstPoint;
    WallHeightOf(p) = 96;
    PitchAOf(p) = 6;
    HeightCOf(p) = 120;
    const float run = 240 / k;  // inches
    WallStyleOf(p) = 2;
    EXPECT_NEAR(GetWallHeight(p, 1), 96 * k, 1e-3);
    EXPECT_NEAR(GetWallHeight(p, 0), (96 + run / 2) * k, 1e-3);
    WallStyleOf(p) = 0;
    EXPECT_NEAR(GetWallHeight(p, 0), 96 * k, 1e-3);
  }
}

TEST_F(Surfaces, APlanarRingFacesByItsFirstRealCorner) {
  // Starts with a repeated point and a collinear one: the normal still stands on a corner.
  Objex* cap = doc.addObject(kObjFace, true, {{0, 0}, {0, 0}, {10, 0}, {20, 0}, {20, 10}, {0, 10}});
  PlaneObject* front = CreatePlaneObject();
  gCurPlaneObject = front;
  RenderPlanarSurface(cap->firstPoint, 6, &cap->penColor, 1, cap);
  PlaneObject* back = CreatePlaneObject();
  gCurPlaneObject = back;
  RenderPlanarSurface(cap->firstPoint, 6, &cap->penColor, 0, cap);
  ASSERT_NE(front->planes, nullptr);
  ASSERT_NE(back->planes, nullptr);
  EXPECT_EQ(front->renderKind, 6);
  EXPECT_NE(front->planes->normal[1], 0);
  EXPECT_FLOAT_EQ(front->planes->normal[1], -back->planes->normal[1]);
  EXPECT_LT(std::fabs(front->planes->normal[1]), 1);
  DeletePlaneObject(front);
  DeletePlaneObject(back);

  // A ring of one point makes no plane.
  Objex* dot = doc.addObject(kObjFace, true, {{5, 5}});
  PlaneObject* none = CreatePlaneObject();
  gCurPlaneObject = none;
  RenderPlanarSurface(dot->firstPoint, 1, &dot->penColor, 1, dot);
  EXPECT_EQ(none->planes, nullptr);
  DeletePlaneObject(none);
}

TEST_F(Surfaces, AFloorTopIsLoweredByItsSlab) {
  Objex* floor = doc.addObject(kObjFloor, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  floor->params[2] = 6;  // inches: 12 plan units
  floor->textureID1 = 1700;
  PlaneObject* po = CreatePlaneObject();
  gCurPlaneObject = po;
  RenderPlanarSurface(floor->firstPoint, 4, &floor->penColor, 1, floor);
  ASSERT_NE(po->planes, nullptr);
  for (int i = 0; i < po->planes->vertexCount; ++i) EXPECT_FLOAT_EQ(po->planes->vertices[i].y, -12);
  EXPECT_EQ(po->textureIdA, 1700);
  EXPECT_EQ(po->textureIdB, 1700);
  EXPECT_EQ(po->textureLinkA, &floor->textureID1);
  DeletePlaneObject(po);
}

TEST_F(Surfaces, OnlyTheFrontCapOfARoofPanelFaceTakesTheThirdMaterial) {
  Objex* face = doc.addObject(kObjRoofPanelFace, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  face->penColor = RGBColor{10, 20, 30};
  face->fillColor = RGBColor{40, 50, 60};
  face->textureID3 = 3300;
  face->textureScale3 = ShortPoint{50, 60};
  face->color3 = RGBColor{7, 8, 9};
  face->firstPoint->textureID[0] = 1255;
  face->firstPoint->textureID[1] = 1256;
  face->firstPoint->color[0] = RGBColor{1, 2, 3};
  gActual3DObject = face;
  PlaneObject* front = CreatePlaneObject();
  front->colorA = face->penColor;
  front->colorB = face->fillColor;
  gCurPlaneObject = front;
  RenderPlanarSurface(face->firstPoint, 4, &face->penColor, 1, face);
  EXPECT_EQ(front->textureIdA, 3300);
  EXPECT_EQ(front->textureIdB, 3300);
  EXPECT_EQ(front->textureScaleA[0], 50);
  EXPECT_EQ(front->textureScaleB[1], 60);
  EXPECT_EQ(front->textureLinkA, &face->textureID3);
  // The third material gives texture and scale only: the colours stay.
  EXPECT_EQ(front->colorA, (RGBColor{10, 20, 30}));
  EXPECT_EQ(front->colorB, (RGBColor{40, 50, 60}));

  // The back cap takes the point's two sides.
  PlaneObject* back = CreatePlaneObject();
  gCurPlaneObject = back;
  RenderPlanarSurface(face->firstPoint, 4, &face->penColor, 0, face);
  EXPECT_EQ(back->textureIdA, 1255);
  EXPECT_EQ(back->textureIdB, 1256);
  EXPECT_EQ(back->colorA, (RGBColor{1, 2, 3}));
  EXPECT_EQ(back->textureLinkA, &face->firstPoint->textureID[0]);
  gActual3DObject = nullptr;
  gCurPlaneObject = nullptr;
  DeletePlaneObject(front);
  DeletePlaneObject(back);
}

TEST_F(Surfaces, AMeshPlaneWithoutEndsTakesItsLength) {
  PlaneObject* po = CreatePlaneObject();
  gCurPlaneObject = po;
  const float p0[3] = {0, 0, 0}, p1[3] = {0, -10, 0}, p2[3] = {30, -10, 0}, p3[3] = {30, 0, 0};
  RenderMeshPlane(p0, p1, p2, p3, 60, 60, nullptr, 15, 0, 0, 0);
  ASSERT_NE(po->planes, nullptr);
  EXPECT_FLOAT_EQ(po->planes->vertices[0].u, 0.25f);
  EXPECT_FLOAT_EQ(po->planes->vertices[2].u, 0.75f);
  DeletePlaneObject(po);
}

}  // namespace
