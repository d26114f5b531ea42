// Faces of curved wall segments, finished strip by strip: the openings cut across the strips
// they cross, their linings and casings hung once, the side trims along every strip and the
// step faces once per face.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "OpeningsTestSupport.h"
#include "openings/Carving.h"
#include "openings/DoorWindowTrims.h"
#include "openings/WallOpenings.h"

namespace {

constexpr int kStrips = 12;

struct CurvedWallFaces : OpeningsTest {
  CurvedWallFaces() { doc.ds()->objectRenderQuality() = kStrips; }

  static void BendFace(Objex* wall, int32_t faceIndex, float bulge) { BendBodyFace(wall, faceIndex, bulge); }

  // An open wall through the points whose first segment's faces (0 along the points and the
  // last but one of the return side) are bent.
  Objex* CurvedWall(float bulge, std::initializer_list<std::pair<float, float>> pts = {{0, 0}, {120, 0}}) {
    Objex* wall = Wall(pts);
    const int32_t perRing = static_cast<Objex*>(wall->typeData)->pointCount / 2;
    BendFace(wall, 0, bulge);
    BendFace(wall, perRing - 2, bulge);
    return wall;
  }

  // Face `faceIndex` of the wall's body built as the 3D road builds a wall's faces.
  std::vector<PlaneObject*> Strips(Objex* wall, int32_t faceIndex) { return CurvedFaceStrips(wall, faceIndex); }
};

// The cut-out planes of the strips, each as its extent along the chord (x: the wall runs
// along x) and its heights.
struct Cut {
  size_t strip;
  float xLo, xHi, hLo, hHi;
};

std::vector<Cut> Cuts(const std::vector<PlaneObject*>& strips) {
  std::vector<Cut> cuts;
  for (size_t i = 0; i < strips.size(); ++i)
    for (const PlaneObject* c = strips[i]->children; c; c = c->next)
      for (const Plane* p = c->planes; p; p = p->next) {
        Cut cut{i, 1e9f, -1e9f, 1e9f, -1e9f};
        for (int32_t k = 0; k < p->vertexCount; ++k) {
          cut.xLo = std::min(cut.xLo, p->vertices[k].x);
          cut.xHi = std::max(cut.xHi, p->vertices[k].x);
          cut.hLo = std::min(cut.hLo, -p->vertices[k].y);
          cut.hHi = std::max(cut.hHi, -p->vertices[k].y);
        }
        cuts.push_back(cut);
      }
  return cuts;
}

int CountAttachments(const std::vector<PlaneObject*>& strips, int16_t partType, int* holders = nullptr) {
  int n = 0;
  if (holders) *holders = 0;
  for (const PlaneObject* s : strips) {
    int here = 0;
    for (const PlaneObject* a = s->attachments; a; a = a->next)
      if (a->partType == partType) ++here;
    n += here;
    if (holders && here) ++*holders;
  }
  return n;
}

// The vertices of every trim face hung on the plane objects, in order of hanging.
std::vector<PlaneVertex> TrimVertices(const std::vector<PlaneObject*>& holders) {
  std::vector<PlaneVertex> out;
  for (const PlaneObject* s : holders)
    for (const PlaneObject* a = s->attachments; a; a = a->next)
      for (const Plane* p = a->planes; p; p = p->next) out.insert(out.end(), p->vertices, p->vertices + p->vertexCount);
  return out;
}

// Whether (x, h) lies inside the cut-out planes of any strip, by their chord-wise extent
// (the strips are slim enough for their cut-outs to be rectangles here).
bool InsideSomeCut(const std::vector<Cut>& cuts, float x, float h) {
  for (const Cut& c : cuts)
    if (x >= c.xLo && x <= c.xHi && h >= c.hLo && h <= c.hHi) return true;
  return false;
}

TEST_F(CurvedWallFaces, DoorAndWindowAreCutAcrossTheStripsTheyCross) {
  // The first segment of an open wall (faces 0 and 2) and of a closed one (faces 0 and 8: the
  // closed body runs 0..3 along the points, 4 the closing face, 5..8 back along the other side).
  Objex* open = CurvedWall(60);
  Objex* closed = Wall({{0, 0}, {120, 0}, {120, 120}, {0, 120}}, true);
  BendFace(closed, 0, -60);  // outward
  BendFace(closed, 8, -60);
  const std::pair<Objex*, int> faces[] = {{open, 0}, {open, 2}, {closed, 0}, {closed, 8}};
  for (Objex* wall : {open, closed}) {
    Opening(wall, wall->firstPoint, 500, 40, 30, 80);      // door: chord 24..56 with its margin
    Opening(wall, wall->firstPoint, 600, 90, 20, 30, 40);  // window: chord 79..101, heights 39..70
  }
  for (auto [wall, face] : faces) {
    SCOPED_TRACE(face);
    const std::vector<PlaneObject*> strips = Strips(wall, face);
    ASSERT_EQ(strips.size(), static_cast<size_t>(kStrips));
    float bulge = 0;
    for (PlaneObject* s : strips) {
      bulge = std::max(bulge, std::fabs(s->planes->vertices[0].z));
      for (PlaneObject* c = s->children; c; c = c->next) {
        EXPECT_EQ(c->partType, kPartOpeningCutout);
        // Every point of a cut-out lies on its strip, between the strip's bottom corners.
        const PlaneVertex& a = s->planes->vertices[0];
        const PlaneVertex& b = s->planes->vertices[s->planes->vertexCount - 1];
        for (const Plane* p = c->planes; p; p = p->next) {
          ASSERT_GE(p->vertexCount, 3);
          for (int32_t k = 0; k < p->vertexCount; ++k) {
            const PlaneVertex& v = p->vertices[k];
            const float cross = (b.x - a.x) * (v.z - a.z) - (b.z - a.z) * (v.x - a.x);
            EXPECT_NEAR(cross / std::hypot(b.x - a.x, b.z - a.z), 0, 1e-3);
            EXPECT_GE(v.x, std::min(a.x, b.x) - 1e-3);
            EXPECT_LE(v.x, std::max(a.x, b.x) + 1e-3);
          }
        }
      }
    }
    EXPECT_GT(bulge, 10);  // the face is curved indeed
    // Together the cut-outs cover the door's and the window's outlines, and only them.
    const std::vector<Cut> cuts = Cuts(strips);
    float doorLo = 1e9f, doorHi = -1e9f, windowLo = 1e9f, windowHi = -1e9f;
    for (const Cut& c : cuts) {
      const bool door = c.hHi > 75;
      EXPECT_NEAR(c.hLo, door ? -1 : 39, 1e-3);
      EXPECT_NEAR(c.hHi, door ? 80 : 70, 1e-3);
      float& lo = door ? doorLo : windowLo;
      float& hi = door ? doorHi : windowHi;
      lo = std::min(lo, c.xLo), hi = std::max(hi, c.xHi);
    }
    EXPECT_NEAR(doorLo, 24, 1e-3);
    EXPECT_NEAR(doorHi, 56, 1e-3);
    EXPECT_NEAR(windowLo, 79, 1e-3);
    EXPECT_NEAR(windowHi, 101, 1e-3);
    for (float x = 25; x < 56; x += 1.5f) EXPECT_TRUE(InsideSomeCut(cuts, x, 40)) << x;
    for (float x : {10.0f, 23.0f, 57.0f, 78.0f, 102.0f, 115.0f}) EXPECT_FALSE(InsideSomeCut(cuts, x, 45)) << x;
    EXPECT_FALSE(InsideSomeCut(cuts, 90, 75));  // above the window
    EXPECT_TRUE(InsideSomeCut(cuts, 90, 50));
  }
  // The next segment of the closed wall has no openings (its face is built in strips too: its
  // start corner carries the bent face's end tangent).
  const std::vector<PlaneObject*> next = Strips(closed, 1);
  EXPECT_FALSE(next.empty());
  EXPECT_TRUE(Cuts(next).empty());
}

TEST_F(CurvedWallFaces, LiningAndCasingsAreHungOnceWhereAStraightWallHasThem) {
  // Linings and casings stand along the chord, where the frames stand: the same openings on a
  // straight wall along the chord give the same trim faces.
  Objex* straight = Wall({{0, 0}, {120, 0}});
  Opening(straight, straight->firstPoint, 500, 40, 30, 80);
  Opening(straight, straight->firstPoint, 600, 90, 20, 30, 40);
  Objex* wall = CurvedWall(60);
  Opening(wall, wall->firstPoint, 500, 40, 30, 80);
  Opening(wall, wall->firstPoint, 600, 90, 20, 30, 40);
  for (int face : {0, 2}) {
    SCOPED_TRACE(face);
    const std::vector<PlaneVertex> expected = TrimVertices({Face(straight, face)});
    const std::vector<PlaneObject*> strips = Strips(wall, face);
    const int16_t casing = face == 0 ? kPartTrimSlotA : kPartTrimSlotB;
    int holders = 0;
    EXPECT_GT(CountAttachments(strips, casing, &holders), 0);
    EXPECT_EQ(holders, 2);  // one strip per opening
    if (face == 0) {
      EXPECT_GT(CountAttachments(strips, kPartTrimLining, &holders), 0);  // the reveals
      EXPECT_EQ(holders, 2);
    }
    const std::vector<PlaneVertex> got = TrimVertices(strips);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_NEAR(got[i].x, expected[i].x, 1e-3) << i;
      EXPECT_NEAR(got[i].y, expected[i].y, 1e-3) << i;
      EXPECT_NEAR(got[i].z, expected[i].z, 1e-3) << i;
    }
  }
}

TEST_F(CurvedWallFaces, AnOpeningWhoseCentreIsBeyondTheFaceHangsItsTrimsOnTheEndStrip) {
  Objex* wall = CurvedWall(60);
  Opening(wall, wall->firstPoint, 600, 130, 20, 20, 40);  // centre past the wall's end
  // Face 0 ends at the wall's end, face 2 (the return side) starts there.
  for (int face : {0, 2}) {
    SCOPED_TRACE(face);
    const std::vector<PlaneObject*> strips = Strips(wall, face);
    const size_t end = face == 0 ? strips.size() - 1 : 0;
    int holders = 0;
    EXPECT_GT(CountAttachments(strips, face == 0 ? kPartTrimSlotA : kPartTrimSlotB, &holders), 0);
    EXPECT_EQ(holders, 1);
    EXPECT_NE(strips[end]->attachments, nullptr);
    // Its cut-out falls on the end strip only, up to the face's end.
    const std::vector<Cut> cuts = Cuts(strips);
    ASSERT_EQ(cuts.size(), 1u);
    EXPECT_EQ(cuts[0].strip, end);
    EXPECT_NEAR(cuts[0].xLo, 119, 1e-3);
    EXPECT_NEAR(cuts[0].xHi, 120, 1e-3);
  }
}

// The area of the plane objects' planes seen along z (x across, height up).
float AreaAlongZ(const std::vector<const PlaneObject*>& objects) {
  double area = 0;
  for (const PlaneObject* o : objects)
    for (const Plane* p = o->planes; p; p = p->next) {
      double twice = 0;
      for (int32_t k = 0; k < p->vertexCount; ++k) {
        const PlaneVertex& a = p->vertices[k];
        const PlaneVertex& b = p->vertices[(k + 1) % p->vertexCount];
        twice += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
      }
      area += std::fabs(twice) / 2;
    }
  return static_cast<float>(area);
}

TEST_F(CurvedWallFaces, ShapedOpeningsKeepTheirOutlineAcrossTheStrips) {
  // A round and an arched window (both over several strips) cover as much of the curved face,
  // seen from the front, as of a straight one.
  for (int16_t subtype : {623, 604}) {
    SCOPED_TRACE(subtype);
    Objex* straight = Wall({{0, 0}, {120, 0}});
    Opening(straight, straight->firstPoint, subtype, 47, 30, 50, 20);
    Objex* wall = CurvedWall(60);
    Opening(wall, wall->firstPoint, subtype, 47, 30, 50, 20);
    for (int face : {0, 2}) {
      const PlaneObject* flat = Face(straight, face);
      ASSERT_NE(flat->children, nullptr);
      const float expected = AreaAlongZ({flat->children});
      std::vector<const PlaneObject*> pieces;
      int holders = 0;
      for (const PlaneObject* s : Strips(wall, face)) {
        holders += s->children != nullptr;
        for (const PlaneObject* c = s->children; c; c = c->next) pieces.push_back(c);
      }
      EXPECT_GE(holders, 3) << face;
      EXPECT_NEAR(AreaAlongZ(pieces), expected, expected * 1e-4) << face;
    }
  }
}

TEST_F(CurvedWallFaces, SideTrimsHangAlongEveryStrip) {
  struct Case {
    int32_t lower, crown;
    int16_t kind;
    int perStrip;  // trim plane objects of that kind on each strip
  };
  const Case cases[] = {
      {1, 0, 63, 1},                     // base moulding
      {1, 1, 159, 1},                    // base and crown mouldings
      {4, 0, 64, 3},                     // paneling: field, rails, stiles
      {0x800, 0, 132, 1},                // wainscot band
      {kTrimCustomProfile, 0, 63, 4},    // a three-point profile: two swept faces, two ends
      {0, kTrimCustomProfile, 63, 4},
      {0, 0, 63, 0},
  };
  Objex* wall = CurvedWall(40);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lower << " " << c.crown);
    for (int face : {0, 2}) {
      auto* side = static_cast<TrimData*>(face == 0 ? wall->firstPoint->trim1 : wall->firstPoint->trim2);
      side->lowerTrim() = c.lower;
      side->crownTrim() = c.crown;
      const RGBColor black{};
      for (Objex** profile : {&side->lowerProfile(), &side->crownProfile()}) {
        *profile = CreateObject(kObjOpenPoly, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr);
        for (auto [x, z] : {std::pair{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 3.0f}})
          AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, *profile), *profile);
      }
      const std::vector<PlaneObject*> strips = Strips(wall, face);
      EXPECT_EQ(strips.size(), static_cast<size_t>(kStrips));
      for (const PlaneObject* s : strips) {
        int n = 0;
        for (const PlaneObject* t = s->attachments; t; t = t->next) n += t->partType == c.kind;
        EXPECT_EQ(n, c.perStrip) << face;
      }
      side->lowerTrim() = side->crownTrim() = 0;
      for (Objex** profile : {&side->lowerProfile(), &side->crownProfile()}) {
        DeleteObj(*profile);
        *profile = nullptr;
      }
      FreeScene();
    }
  }
}

TEST_F(CurvedWallFaces, StepFacesOncePerFaceWhereSegmentsDiffer) {
  Objex* wall = CurvedWall(40, {{0, 0}, {120, 0}, {240, 0}});
  // Faces of three points: 0, 1 side 0; 2 the far end; 3, 4 side 1 (segments 1, 0).
  auto stepFaces = [&] {
    int n = 0;
    for (const PlaneObject* s = gGLPlaneObjects; s; s = s->next)
      n += s->partType != kObjWallFace && s->colorA.red == kStepFaceGrey && s->textureIdA == 0;
    return n;
  };
  ASSERT_EQ(Strips(wall, 4).size(), static_cast<size_t>(kStrips));
  EXPECT_EQ(stepFaces(), 0);
  FreeScene();
  WallHeightOf(TestPointAt(wall, 1)) = 60;
  Strips(wall, 4);
  EXPECT_EQ(stepFaces(), 2);
  // Each stands at the joint (120, 0) at the heights of both segments.
  std::vector<float> tops;
  for (const PlaneObject* s = gGLPlaneObjects; s; s = s->next) {
    if (s->partType == kObjWallFace) continue;
    float top = 0;
    for (int32_t k = 0; k < s->planes->vertexCount; ++k) {
      top = std::min(top, s->planes->vertices[k].y);
      EXPECT_NEAR(s->planes->vertices[k].x, 120, 3);
    }
    tops.push_back(-top);
  }
  EXPECT_EQ(tops, (std::vector<float>{96, 60}));
}

}  // namespace
