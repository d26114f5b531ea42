// Wall faces finished with their segment's outline, material, openings and step faces.
#include <gtest/gtest.h>

#include <cmath>

#include "OpeningsTestSupport.h"
#include "openings/Carving.h"
#include "openings/WallOpenings.h"

namespace {

struct Corner {
  float x, y, z, u, v;
};

std::vector<Corner> Outline(const PlaneObject* po) {
  std::vector<Corner> out;
  if (!po || !po->planes) return out;
  const Plane* p = po->planes;
  for (int32_t i = 0; i < p->vertexCount; ++i)
    out.push_back({p->vertices[i].x, p->vertices[i].y, p->vertices[i].z, p->vertices[i].u, p->vertices[i].v});
  return out;
}

// The centre (x, z) of a plane object's first plane.
void Centre(const PlaneObject* po, float* x, float* z) {
  *x = *z = 0;
  const Plane* p = po->planes;
  for (int32_t i = 0; i < p->vertexCount; ++i) *x += p->vertices[i].x, *z += p->vertices[i].z;
  *x /= static_cast<float>(p->vertexCount);
  *z /= static_cast<float>(p->vertexCount);
}

using WallFaces = OpeningsTest;

// Faces of an open two-point wall: 0 along the points (side 0), 1 the far end, 2 the return
// side, 3 the near end.
TEST_F(WallFaces, FlatFaceRunsFromItsEndCornerUpAcrossAndDown) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  const std::vector<Corner> c = Outline(Face(wall, 0));
  ASSERT_EQ(c.size(), 4u);
  // v0 at the face's end corner, then above it and above the start corner at 96, then v3.
  EXPECT_FLOAT_EQ(c[0].x, 120);
  EXPECT_FLOAT_EQ(c[0].y, 0);
  EXPECT_FLOAT_EQ(c[0].u, 0);
  EXPECT_FLOAT_EQ(c[0].v, 1);
  EXPECT_FLOAT_EQ(c[1].x, 120);
  EXPECT_FLOAT_EQ(c[1].y, -96);
  EXPECT_FLOAT_EQ(c[1].v, 0);
  EXPECT_FLOAT_EQ(c[2].x, 0);
  EXPECT_FLOAT_EQ(c[2].y, -96);
  EXPECT_FLOAT_EQ(c[2].v, 0);
  EXPECT_FLOAT_EQ(c[3].x, 0);
  EXPECT_FLOAT_EQ(c[3].y, 0);
  EXPECT_FLOAT_EQ(c[3].u, 1);
  EXPECT_FLOAT_EQ(c[3].v, 1);
  // Both end caps stand as high as the wall.
  for (int cap : {1, 3}) {
    const std::vector<Corner> e = Outline(Face(wall, cap));
    ASSERT_EQ(e.size(), 4u);
    EXPECT_FLOAT_EQ(e[1].y, -96);
    EXPECT_FLOAT_EQ(e[2].y, -96);
  }
}

TEST_F(WallFaces, GableApexWhereTheSlopesMeet) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  Poinz* p = wall->firstPoint;
  WallStyleOf(p) = 1;
  HeightCOf(p) = 96;
  PitchAOf(p) = PitchBOf(p) = 6;
  for (int face : {0, 2}) {
    const std::vector<Corner> c = Outline(Face(wall, face));
    ASSERT_EQ(c.size(), 5u) << face;
    EXPECT_FLOAT_EQ(c[1].y, -96);
    EXPECT_NEAR(c[2].u, 0.5f, 1e-5);  // t 60 of 120
    EXPECT_NEAR(c[2].x, 60, 1e-3);
    EXPECT_NEAR(c[2].y, -126, 1e-3);
    EXPECT_FLOAT_EQ(c[2].v, 0);
    EXPECT_NEAR(c[1].v, 1 - 96.0f / 126, 1e-5);
    EXPECT_FLOAT_EQ(c[3].y, -96);
  }
  // Slopes that do not meet inside the face still put the apex at their crossing.
  PitchAOf(p) = 24;
  PitchBOf(p) = -3;
  HeightCOf(p) = 96;
  const std::vector<Corner> c = Outline(Face(wall, 0));
  ASSERT_EQ(c.size(), 5u);
  // Side 0: falling 3 in 12 from the end corner (pitch B), rising back from the start corner
  // at 24 in 12 (pitch A): they cross at t = 240 / 1.75, beyond the start corner.
  EXPECT_NEAR(c[2].u * 120, 240 / 1.75f, 1e-3);
  const float apex = 96 - 0.25f * 240 / 1.75f;
  EXPECT_NEAR(-c[2].y, apex, 1e-3);
  EXPECT_FLOAT_EQ(c[2].v, 0);
  // The ends stand above that apex: their v runs past the top of the texture.
  EXPECT_NEAR(c[1].v, 1 - 96 / apex, 1e-5);
  EXPECT_NEAR(c[3].v, 1 - 96 / apex, 1e-5);
}

TEST_F(WallFaces, LevelAndParallelSlopesGiveFiniteOutlines) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  Poinz* p = wall->firstPoint;
  HeightCOf(p) = 80;
  HeightDOf(p) = 110;
  for (int mode = 1; mode <= 11; ++mode) {
    WallStyleOf(p) = mode;
    for (float pa : {0.0f, 6.0f})
      for (float pb : {0.0f, -6.0f, 6.0f}) {
        PitchAOf(p) = pa;
        PitchBOf(p) = pb;
        for (int face : {0, 2}) {
          PlaneObject* po = Face(wall, face);
          for (const Corner& c : Outline(po)) {
            EXPECT_TRUE(std::isfinite(c.x) && std::isfinite(c.y) && std::isfinite(c.z) && std::isfinite(c.v))
                << "mode " << mode << " pitches " << pa << " " << pb;
            EXPECT_LT(std::fabs(c.y), 1000) << "mode " << mode << " pitches " << pa << " " << pb;
          }
        }
      }
  }
  // A gable of parallel slopes gets a level top at the lower end's height.
  WallStyleOf(p) = 1;
  PitchAOf(p) = 6;
  PitchBOf(p) = -6;
  const std::vector<Corner> c = Outline(Face(wall, 0));
  ASSERT_EQ(c.size(), 4u);
  EXPECT_FLOAT_EQ(c[1].y, -80);
  EXPECT_FLOAT_EQ(c[2].y, -80);
}

// The heights of a face whose top is made of the wall's heights alone (level, and the modes
// with a level middle or a single ridge) are inches, converted at the plan scale: at each
// scale they are the heights at 72 times 72 / scale, on both faces.
TEST_F(WallFaces, HeightModeTopsTakeThePlanScale) {
  auto heights = [&](int mode, int face) {
    Objex* wall = Wall({{0, 0}, {120, 0}});
    FloorDepthOf(wall) = 3;
    Poinz* p = wall->firstPoint;
    WallStyleOf(p) = mode;
    HeightCOf(p) = 80;
    HeightDOf(p) = 110;
    PitchAOf(p) = PitchBOf(p) = 6;
    std::vector<float> out;
    for (const Corner& c : Outline(Face(wall, face))) out.push_back(c.y);
    return out;
  };
  for (const int mode : {0, 4, 5, 6, 7, 8, 9, 10, 11}) {
    for (const int face : {0, 2}) {
      doc.ds()->planScale = 72;
      const std::vector<float> at72 = heights(mode, face);
      for (const float scale : {24.0f, 36.0f, 96.0f}) {
        SCOPED_TRACE(testing::Message() << "mode " << mode << ", face " << face << ", plan scale " << scale);
        doc.ds()->planScale = scale;
        const std::vector<float> scaled = heights(mode, face);
        ASSERT_EQ(scaled.size(), at72.size());
        for (size_t i = 0; i < scaled.size(); ++i) EXPECT_NEAR(scaled[i], at72[i] * 72 / scale, 1e-3) << i;
      }
    }
  }
}

TEST_F(WallFaces, OrthographicViewHidesEdgesOfModeZeroFacesOnly) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  auto flags = [](const PlaneObject* po) {
    std::vector<int16_t> out;
    for (int32_t i = 0; po && po->planes && i < po->planes->vertexCount; ++i) out.push_back(po->planes->vertices[i].flag);
    return out;
  };
  using Flags = std::vector<int16_t>;
  EXPECT_EQ(flags(Face(wall, 0)), (Flags{0, 0, 0, 0}));
  doc.ds()->orthoView() = 1;
  // On the first floor the edge up from the start corner stays; on other floors it is hidden too.
  EXPECT_EQ(flags(Face(wall, 0)), (Flags{0, 10000, 0, 0}));
  Layer* home = wall->layer;
  wall->layer = doc.second;
  EXPECT_EQ(flags(Face(wall, 0)), (Flags{0, 10000, 0, 10000}));
  // A height mode out of range is drawn flat but hides nothing.
  WallStyleOf(wall->firstPoint) = 12;
  PlaneObject* po = Face(wall, 0);
  EXPECT_EQ(flags(po), (Flags{0, 0, 0, 0}));
  const std::vector<Corner> c = Outline(po);
  ASSERT_EQ(c.size(), 4u);
  EXPECT_FLOAT_EQ(c[1].y, -96);
  EXPECT_FLOAT_EQ(c[1].v, 0);
  EXPECT_FLOAT_EQ(c[2].v, 0);
  wall->layer = home;
}

TEST_F(WallFaces, OneSlopeAndClippedModes) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  Poinz* p = wall->firstPoint;
  // Mode 2 rises from the segment's start toward its end, as the wall height of its ends says.
  WallStyleOf(p) = 2;
  PitchAOf(p) = 6;
  PitchBOf(p) = 6;
  std::vector<Corner> c = Outline(Face(wall, 0));
  ASSERT_EQ(c.size(), 4u);
  EXPECT_NEAR(-c[1].y, 96 + 60, 1e-3);  // above the end corner
  EXPECT_NEAR(-c[2].y, 96, 1e-3);       // above the start corner
  EXPECT_NEAR(-c[1].y, GetWallHeight(p, 2), 1e-3);
  EXPECT_NEAR(-c[2].y, GetWallHeight(p, 1), 1e-3);
  // Mode 4: both slopes clipped by a level top at height D.
  WallStyleOf(p) = 4;
  HeightCOf(p) = 96;
  HeightDOf(p) = 111;
  c = Outline(Face(wall, 0));
  ASSERT_EQ(c.size(), 6u);
  EXPECT_NEAR(-c[2].y, 111, 1e-3);
  EXPECT_NEAR(-c[3].y, 111, 1e-3);
  EXPECT_NEAR(c[2].u * 120, 30, 1e-3);   // 15 up at 6 in 12
  EXPECT_NEAR(c[3].u * 120, 90, 1e-3);
}

TEST_F(WallFaces, SidesTakeTheSegmentSlotsTheOtherWayRoundWithLinksToThePoint) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  Poinz* start = wall->firstPoint;
  start->textureID[0] = 1111;
  start->textureID[1] = 2222;
  start->color[0] = RGBColor{1, 2, 3};
  start->color[1] = RGBColor{4, 5, 6};
  PlaneObject* side0 = Face(wall, 0);
  EXPECT_EQ(side0->textureIdA, 2222);
  EXPECT_EQ(side0->textureIdB, 1111);
  EXPECT_EQ(side0->textureLinkA, &start->textureID[1]);
  EXPECT_EQ(side0->colorLinkA, &start->color[1]);
  EXPECT_EQ(side0->scaleLinkA, &start->textureScale[1].x);
  EXPECT_EQ(side0->textureLinkB, &start->textureID[0]);
  EXPECT_EQ(side0->trimRecordRef, &start->trim1);
  EXPECT_EQ(side0->trimPoint, start);
  PlaneObject* side1 = Face(wall, 2);
  EXPECT_EQ(side1->textureIdA, 1111);
  EXPECT_EQ(side1->textureIdB, 2222);
  EXPECT_EQ(side1->textureLinkA, &start->textureID[0]);
  EXPECT_EQ(side1->colorLinkA, &start->color[0]);
  EXPECT_EQ(side1->scaleLinkA, &start->textureScale[0].x);
  EXPECT_EQ(side1->colorLinkB, &start->color[1]);
  EXPECT_EQ(side1->trimRecordRef, &start->trim2);
  EXPECT_EQ(side1->trimPoint, start);
  EXPECT_EQ(side1->renderKind, 3);
}

TEST_F(WallFaces, FramingView) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  doc.ds()->framingView = 1;
  // A flat segment is drawn by the framing: its face goes.
  PlaneObject* flat = Face(wall, 0);
  EXPECT_EQ(flat->planes, nullptr);
  // Any other height mode keeps its face with the framing material, nothing linked back.
  WallStyleOf(wall->firstPoint) = 2;
  PlaneObject* sloped = Face(wall, 0);
  ASSERT_NE(sloped->planes, nullptr);
  EXPECT_EQ(sloped->textureIdA, kFramingFaceTexture);
  EXPECT_EQ(sloped->textureIdB, kFramingFaceTexture);
  EXPECT_EQ(sloped->colorA.red, 65535);
  EXPECT_EQ(sloped->colorLinkA, nullptr);
  doc.ds()->framingPlainColors() = 1;
  PlaneObject* plain = Face(wall, 0);
  EXPECT_EQ(plain->textureIdA, 0);
  EXPECT_EQ(plain->colorA.red, 55512);
  EXPECT_EQ(plain->colorB.green, 58596);
  EXPECT_EQ(plain->colorB.blue, 61680);
  EXPECT_EQ(plain->textureLinkA, nullptr);
  EXPECT_EQ(plain->colorLinkB, nullptr);
}

TEST_F(WallFaces, StepFacesOnlyWhereNeighbouringSegmentsDiffer) {
  Objex* wall = Wall({{0, 0}, {120, 0}, {240, 0}});
  // Faces of three points: 0, 1 side 0; 2 the far end; 3, 4 side 1 (segments 1, 0); 5 near end.
  Face(wall, 4);
  EXPECT_EQ(gGLPlaneObjects, nullptr);
  WallHeightOf(TestPointAt(wall, 1)) = 60;
  Face(wall, 4);
  ASSERT_EQ(CountList(gGLPlaneObjects), 2);
  float tops[2];
  int i = 0;
  for (PlaneObject* s = gGLPlaneObjects; s; s = s->next, ++i) {
    EXPECT_EQ(s->textureIdA, 0);
    EXPECT_EQ(s->textureIdB, 0);
    EXPECT_EQ(s->colorA.red, kStepFaceGrey);
    EXPECT_EQ(s->colorB.blue, kStepFaceGrey);
    float top = 0;
    for (Plane* pl = s->planes; pl; pl = pl->next)
      for (int32_t v = 0; v < pl->vertexCount; ++v) top = std::min(top, pl->vertices[v].y);
    tops[i] = -top;
  }
  EXPECT_FLOAT_EQ(tops[0], 96);  // the first segment's end
  EXPECT_FLOAT_EQ(tops[1], 60);  // the second's start
  // The last segment of an open wall has none.
  FreeScene();
  Face(wall, 3);
  EXPECT_EQ(gGLPlaneObjects, nullptr);
  // Nor has the return face of a closed wall's closing segment (faces of three points: 0..2
  // side 0, 3 the closing face, 4 and 5 side 1 of segments 2 and 1).
  FreeScene();
  Objex* ring = Wall({{0, 0}, {120, 0}, {120, 120}}, true);
  WallHeightOf(TestPointAt(ring, 2)) = 60;
  Face(ring, 4);
  EXPECT_EQ(gGLPlaneObjects, nullptr);
}

TEST_F(WallFaces, OpeningsInDistanceOrderPerSide) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  Poinz* a = wall->firstPoint;
  Objex* far = Opening(wall, a, 600, 90, 10, 10);
  Objex* nearA = Opening(wall, a, 600, 20, 10, 10);
  Objex* nearB = Opening(wall, a, 600, 20, 10, 10);
  Objex* mid = Opening(wall, a, 600, 50, 10, 10);
  EXPECT_EQ(SegmentOpenings(wall, a, 0), (std::vector<Objex*>{nearA, nearB, mid, far}));
  EXPECT_EQ(SegmentOpenings(wall, a, 1), (std::vector<Objex*>{far, mid, nearA, nearB}));
  // The records' sort links follow the last order.
  EXPECT_EQ(AttachmentData(far)->linkNext, AttachmentData(mid));
  EXPECT_EQ(AttachmentData(nearB)->linkPrev, AttachmentData(nearA));
  EXPECT_EQ(AttachmentData(nearB)->linkNext, nullptr);
  // Each is cut into both faces, in that order.
  PlaneObject* side0 = Face(wall, 0);
  ASSERT_EQ(CountList(side0->children), 4);
  float x = 0, z = 0;
  std::vector<float> xs;
  for (PlaneObject* c = side0->children; c; c = c->next) Centre(c, &x, &z), xs.push_back(x);
  EXPECT_NEAR(xs[0], 20, 0.6);
  EXPECT_NEAR(xs[3], 90, 0.6);
  PlaneObject* side1 = Face(wall, 2);
  ASSERT_EQ(CountList(side1->children), 4);
  Centre(side1->children, &x, &z);
  EXPECT_NEAR(x, 90, 0.6);
  EXPECT_NEAR(z, -2, 1e-3);
}

TEST_F(WallFaces, OffsetsPlaceOpeningsOnTheWallLineAtEveryKindOfJoint) {
  // Mitred joints at (120, 0) and (120, 120); the open ends at (0, 0) and (240, 120).
  Objex* wall = Wall({{0, 0}, {120, 0}, {120, 120}, {240, 120}});
  Objex* first = Opening(wall, TestPointAt(wall, 0), 600, 60, 20, 20, 30);
  Objex* middle = Opening(wall, TestPointAt(wall, 1), 600, 45, 20, 20, 30);
  Objex* last = Opening(wall, TestPointAt(wall, 2), 600, 75, 20, 20, 30);
  (void)first, (void)middle, (void)last;
  // Faces: 0..2 side 0 (segments 0..2), 3 far end, 4..6 side 1 (segments 2..0).
  struct Expect {
    int face;
    float x, z;  // the opening's centre on the wall line
  };
  const Expect expected[] = {{0, 60, 0}, {1, 120, 45}, {2, 195, 120}, {4, 195, 120}, {5, 120, 45}, {6, 60, 0}};
  for (const Expect& e : expected) {
    PlaneObject* po = Face(wall, e.face);
    ASSERT_EQ(CountList(po->children), 1) << e.face;
    float x = 0, z = 0;
    Centre(po->children, &x, &z);
    // The centre lies on the face, 2 off the wall line: its distance along the segment counts.
    if (e.face == 1 || e.face == 5) EXPECT_NEAR(z, e.z, 1e-3) << e.face;
    else EXPECT_NEAR(x, e.x, 1e-3) << e.face;
  }
}

TEST_F(WallFaces, CutOutOfAWindowIsAChildOfTheFaceWithPartType61) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  Opening(wall, wall->firstPoint, 600, 60, 36, 80, 0);
  PlaneObject* face = Face(wall, 0);
  ASSERT_NE(face->children, nullptr);
  PlaneObject* cut = face->children;
  EXPECT_EQ(cut->partType, kPartOpeningCutout);
  EXPECT_EQ(cut->planeClass, 2);
  EXPECT_EQ(cut->base2DObject, wall);
  ASSERT_EQ(cut->planes->vertexCount, 4);
  // (t, h) = (41, -1), (41, 80), (79, 80), (79, -1) from the face's start corner at x 0.
  const float expected[4][2] = {{41, -1}, {41, 80}, {79, 80}, {79, -1}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(cut->planes->vertices[i].x, expected[i][0], 1e-3) << i;
    EXPECT_NEAR(-cut->planes->vertices[i].y, expected[i][1], 1e-3) << i;
    EXPECT_FLOAT_EQ(cut->planes->vertices[i].z, 2);
    EXPECT_FLOAT_EQ(cut->planes->vertices[i].u, 1);
    EXPECT_FLOAT_EQ(cut->planes->vertices[i].v, 1);
  }
  // The face keeps its outline; its casing hangs on it.
  EXPECT_EQ(face->planes->vertexCount, 4);
  EXPECT_NE(face->attachments, nullptr);
}

}  // namespace

namespace {

// Heights and thicknesses are stored in inches and converted at the plan scale; lengths
// along the wall and the opening's own record are plan units already, so the cut-out stays
// put at every scale.
TEST_F(WallFaces, EveryPlanScaleConvertsTheWallButNotTheOpeningRecord) {
  for (float scale : {24.0f, 36.0f, 48.0f, 72.0f, 96.0f}) {
    SCOPED_TRACE(scale);
    doc.ds()->planScale = scale;
    Objex* wall = Wall({{0, 0}, {240, 0}});
    Opening(wall, wall->firstPoint, 600, 120, 72, 80, 10);
    PlaneObject* face = Face(wall, 0);
    const float k = 72.0f / scale;
    const std::vector<Corner> c = Outline(face);
    ASSERT_EQ(c.size(), 4u);
    EXPECT_FLOAT_EQ(c[0].x, 240);
    EXPECT_NEAR(c[1].y, -96 * k, 1e-3);
    EXPECT_NEAR(c[2].y, -96 * k, 1e-3);
    for (const Corner& corner : c) EXPECT_NEAR(corner.z, 2 * k, 1e-4);
    ASSERT_NE(face->children, nullptr);
    const Plane* cut = face->children->planes;
    ASSERT_EQ(cut->vertexCount, 4);
    const float expected[4][2] = {{83, -9}, {83, -90}, {157, -90}, {157, -9}};
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(cut->vertices[i].x, expected[i][0], 1e-3) << i;
      EXPECT_NEAR(cut->vertices[i].y, expected[i][1], 1e-3) << i;
      EXPECT_NEAR(cut->vertices[i].z, 2 * k, 1e-4) << i;
    }
  }
}

}  // namespace
