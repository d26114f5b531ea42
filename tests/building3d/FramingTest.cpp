// Framing view members: stud rows and their spacing, openings with sills, headers and
// cripples, foundation blocks, plain colours, and roof trusses with their ties. Geometry is
// read back from the plane objects (plan scale 36: 1 inch is 2 units).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "SceneTestSupport.h"
#include "WallTestSupport.h"
#include "building3d/Framing3D.h"
#include "plandraw/RoofDrawing.h"

namespace {

struct Face {
  float x0, x1, y0, y1, z0, z1;
  int32_t texture;
  RGBColor color;
  int16_t kind;
  const Objex* source;
};

std::vector<Face> Faces() {
  std::vector<Face> out;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    const Plane* p = po->planes;
    if (!p || p->vertexCount < 1) continue;
    Face f{1e9f, -1e9f, 1e9f, -1e9f, 1e9f, -1e9f, po->textureIdA, po->colorA, po->renderKind, po->sourceObject};
    for (int i = 0; i < p->vertexCount; ++i) {
      const PlaneVertex& v = p->vertices[i];
      f.x0 = std::min(f.x0, v.x), f.x1 = std::max(f.x1, v.x);
      f.y0 = std::min(f.y0, v.y), f.y1 = std::max(f.y1, v.y);
      f.z0 = std::min(f.z0, v.z), f.z1 = std::max(f.z1, v.z);
    }
    out.push_back(f);
  }
  return out;
}

bool Near(float a, float b) { return std::fabs(a - b) < 1e-3f; }

// The start x of every stud whose faces span the heights (vertex y) from `top` to `bottom`:
// each stud has two side faces 2.5 along the wall.
std::vector<float> StudsBetween(float top, float bottom) {
  std::set<float> xs;
  for (const Face& f : Faces())
    if (Near(f.y0, top) && Near(f.y1, bottom) && Near(f.x1 - f.x0, 2.5f)) xs.insert(std::round(f.x0 * 100) / 100);
  return {xs.begin(), xs.end()};
}

struct Framing : SceneTest {
  // Base of a test wall: the 0.5 in floor depth lifts it 1 unit (up is negative).
  static constexpr float kBase = -1;
  static constexpr float kTop = kBase - 192;  // 96 in
  Objex* Wall(float length = 240) {
    Objex* w = AddTestWall(doc, {{0, 0}, {length, 0}});
    StudSpacingOf(w) = 16;
    FreeScene();
    return w;
  }
  DoorWindowData* Opening(Objex* wall, int16_t type, float centre, float width, float elevation, float height) {
    Objex* o = AddTestDoor(wall, wall->firstPoint, wall->firstPoint->next, centre, width);
    o->type = type;
    auto* data = static_cast<DoorWindowData*>(o->typeData);
    data->ownerType = type;
    data->elevation = elevation;
    data->height = height;
    return data;
  }
};

TEST_F(Framing, StudRowsAtTheSpacing) {
  struct Case {
    const char* name;
    float wallSpacing, docSpacing, length;
    std::vector<float> studs;
  };
  const Case cases[] = {
      {"16 in on 120 in: 7.5 rounds up to 8 intervals", 16, 24, 240,
       {0, 32, 64, 96, 128, 160, 192, 224, 240}},
      {"5.9 falls back to the document's 24", 5.9f, 24, 240, {0, 48, 96, 144, 192, 240}},
      {"6 is the wall's own", 6, 24, 36, {0, 12, 24, 36}},
      {"0 falls back; a document spacing of 0 frames the ends only", 0, 0, 240, {0, 240}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Objex* w = Wall(c.length);
    StudSpacingOf(w) = c.wallSpacing;
    doc.ds()->studSpacing = c.docSpacing;
    FrameWindowsAndDoors(w);
    EXPECT_EQ(StudsBetween(kTop, kBase - 2.5f), c.studs);
    // Faces 10 across the wall, 2.5 along it, every one a framing member of the wall.
    for (const Face& f : Faces()) {
      EXPECT_EQ(f.kind, 37);
      EXPECT_EQ(f.source, w);
      if (Near(f.x1 - f.x0, 2.5f) && Near(f.y1 - f.y0, 189.5f)) {
        EXPECT_TRUE(Near(f.z0, -5) && Near(f.z1, 5) || Near(f.z0, f.z1));
        EXPECT_EQ(f.texture, kStudTexture);
      }
    }
    FreeScene();
  }
}

TEST_F(Framing, WindowGetsSillHeaderAndCripples) {
  struct Case {
    const char* name;
    float elevation, height;
    float headerTop, headerBottom;  // vertex y
    bool cripplesAbove;
  };
  const Case cases[] = {
      // 24 in up, 56 in high: a 12 in header from 80 to 92 in, cripples from 92 to 96 in.
      {"room above", 48, 112, kBase - 184, kBase - 160, true},
      // Top at 88 in, within 12 in of the wall top: the header fills the gap.
      {"near the top", 48, 128, kTop, kBase - 176, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Objex* w = Wall();
    Opening(w, kObjWindow, 120, 72, c.elevation, c.height);
    FrameWindowsAndDoors(w);
    int headerFaces = 0;
    for (const Face& f : Faces())
      if (f.texture == kHeaderTexture) {
        ++headerFaces;
        EXPECT_GE(f.x0, 84 - 1e-3);
        EXPECT_LE(f.x1, 156 + 1e-3);
        EXPECT_TRUE(Near(f.y0, c.headerTop) || Near(f.y0, c.headerBottom)) << f.y0;
        EXPECT_TRUE(Near(f.y1, c.headerTop) || Near(f.y1, c.headerBottom)) << f.y1;
      }
    EXPECT_EQ(headerFaces, 4);
    // Cripples between the opening's sides (84 to 156), none at its sides.
    const std::vector<float> below = StudsBetween(kBase - c.elevation, kBase - 2.5f);
    EXPECT_EQ(below, (std::vector<float>{116}));
    const std::vector<float> above = StudsBetween(kTop, c.headerTop);
    EXPECT_EQ(above, c.cripplesAbove ? std::vector<float>{116} : std::vector<float>{});
    // The sill: a plate across the opening at its elevation.
    bool sill = false;
    for (const Face& f : Faces())
      sill |= Near(f.x0, 84) && Near(f.x1, 156) && Near(f.y1, kBase - c.elevation) && Near(f.y0, kBase - c.elevation - 2.5f);
    EXPECT_TRUE(sill);
    // Full studs on both sides of the opening.
    const std::vector<float> full = StudsBetween(kTop, kBase - 2.5f);
    EXPECT_TRUE(std::count(full.begin(), full.end(), 84.0f) == 1);
    EXPECT_TRUE(std::count(full.begin(), full.end(), 156.0f) == 1);
    FreeScene();
  }
}

TEST_F(Framing, DoorPlateAndComponentsDoNotInterrupt) {
  Objex* w = Wall();
  Opening(w, kObjDoor, 120, 72, 0, 160);
  FrameWindowsAndDoors(w);
  bool plateAcross = false;
  for (const Face& f : Faces())
    plateAcross |= Near(f.x0, 84) && Near(f.x1, 156) && Near(f.y1, kBase) && Near(f.y0, kBase - 2.5f);
  EXPECT_TRUE(plateAcross);
  EXPECT_TRUE(StudsBetween(kBase, kBase - 2.5f).empty()) << "no cripples under a door";
  FreeScene();

  Objex* plain = Wall();
  FrameWindowsAndDoors(plain);
  const std::vector<float> without = StudsBetween(kTop, kBase - 2.5f);
  FreeScene();
  Objex* component = Opening(plain, kObjComponent, 120, 72, 0, 160) ? plain->lastChild : nullptr;
  ASSERT_NE(plain->firstChild, nullptr);
  (void)component;
  FrameWindowsAndDoors(plain);
  EXPECT_EQ(StudsBetween(kTop, kBase - 2.5f), without);
}

TEST_F(Framing, FoundationOnlyUnderExteriorWallsOfTheFoundationPlan) {
  struct Case {
    int32_t subtype, planMask;
    bool children;
    bool block;
  };
  const Case cases[] = {{kSubExteriorWall, 3, false, true},  {kSubExteriorWall, 2, false, false},
                        {0, 3, false, false},                {kSubExteriorWall, 1, true, true},
                        {0, 1, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.subtype << " " << c.planMask << " " << c.children);
    Objex* w = Wall();
    w->subtype = c.subtype;
    w->planMask = c.planMask;
    if (c.children) Opening(w, kObjWindow, 120, 72, 48, 112);
    FrameWindowsAndDoors(w);
    int grey = 0;
    for (const Face& f : Faces())
      if (f.color.red == 0xC0C0 && f.texture == 0) {
        ++grey;
        EXPECT_TRUE(Near(f.y0, kBase) || Near(f.y0, 0));
        EXPECT_TRUE(Near(f.y1, kBase) || Near(f.y1, 0));
        EXPECT_GE(f.z0, -3 - 1e-3);
        EXPECT_LE(f.z1, 3 + 1e-3);
      }
    EXPECT_EQ(grey, c.block ? 4 : 0);
    FreeScene();
  }
}

TEST_F(Framing, ClosingSegmentBlockOfAClosedWall) {
  // A closed 120 x 72 in wall without openings; its closing segment runs from (0, 144) back to
  // (0, 0). Exterior walls of the foundation plan get the foundation under every segment; any
  // other wall gets a header-built block under the closing segment only, from its base down to
  // the point.
  struct Case {
    const char* name;
    int32_t subtype, planMask;
    int grey, header;
  };
  const Case cases[] = {{"exterior on the foundation plan", kSubExteriorWall, 1, 16, 0},
                        {"exterior off the foundation plan", kSubExteriorWall, 2, 0, 4},
                        {"interior", 0, 2, 0, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Objex* w = AddTestWall(doc, {{0, 0}, {240, 0}, {240, 144}, {0, 144}}, true);
    StudSpacingOf(w) = 16;
    w->subtype = c.subtype;
    w->planMask = c.planMask;
    FreeScene();
    FrameWindowsAndDoors(w);
    int grey = 0, header = 0;
    for (const Face& f : Faces()) {
      if (f.color.red == 0xC0C0 && f.texture == 0) ++grey;
      if (f.texture != kHeaderTexture) continue;
      ++header;
      EXPECT_TRUE(Near(f.y0, kBase) || Near(f.y0, 0));
      EXPECT_TRUE(Near(f.y1, kBase) || Near(f.y1, 0));
      EXPECT_GE(f.x0, -3 - 1e-3);
      EXPECT_LE(f.x1, 3 + 1e-3);
    }
    EXPECT_EQ(grey, c.grey);
    EXPECT_EQ(header, c.header);
    FreeScene();
  }
  // Without a slab the closing segment gets no block.
  Objex* w = AddTestWall(doc, {{0, 0}, {240, 0}, {240, 144}, {0, 144}}, true);
  FloorDepthOf(w) = 0;
  FreeScene();
  FrameWindowsAndDoors(w);
  for (const Face& f : Faces()) EXPECT_NE(f.texture, kHeaderTexture);
  FreeScene();
}

TEST_F(Framing, PlainColoursCarryNoTexture) {
  Objex* w = Wall();
  Opening(w, kObjWindow, 120, 72, 48, 112);
  doc.ds()->framingPlainColors() = 1;
  FrameWindowsAndDoors(w);
  ASSERT_FALSE(Faces().empty());
  for (const Face& f : Faces()) {
    EXPECT_EQ(f.texture, 0);
    EXPECT_EQ(f.color.red, 0xD8D8);
  }
  doc.ds()->framingPlainColors() = 0;
}

TEST_F(Framing, MembersFromThreeFloatPointsMatchThoseFromPolygonPoints) {
  Objex* w = Wall();
  const float a[3] = {0, -1, 0}, b[3] = {48, -1, 0}, up[3] = {0, -100, 0};
  const PlaneVertex va{0, -1, 0, 0, 0, 0}, vb{48, -1, 0, 0, 0, 0}, vup{0, -100, 0, 0, 0, 0};
  auto same = [&](auto fromFloats, auto fromVertices) {
    fromFloats();
    const std::vector<Face> got = Faces();
    FreeScene();
    fromVertices();
    const std::vector<Face> want = Faces();
    FreeScene();
    ASSERT_FALSE(want.empty());
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_TRUE(Near(got[i].x0, want[i].x0) && Near(got[i].x1, want[i].x1)) << i;
      EXPECT_TRUE(Near(got[i].y0, want[i].y0) && Near(got[i].y1, want[i].y1)) << i;
      EXPECT_TRUE(Near(got[i].z0, want[i].z0) && Near(got[i].z1, want[i].z1)) << i;
      EXPECT_EQ(got[i].texture, want[i].texture) << i;
    }
  };
  same([&] { FrameStud(a, b, w); }, [&] { FrameStud(va, vb, w); });
  same([&] { FrameVerticalStud(0, a, up, w); }, [&] { FrameVerticalStud(0, va, vup, w); });
  same([&] { FrameWallHeader(a, b, 80, 12, w); }, [&] { FrameWallHeader(va, vb, 80, 12, w); });
  same([&] { FrameFloorFoundation(a, b, -10, 10, w); }, [&] { FrameFloorFoundation(va, vb, -10, 10, w); });

  // A plate runs the length between its points.
  FrameStud(a, b, w);
  float x0 = 1e9f, x1 = -1e9f;
  for (const Face& f : Faces()) x0 = std::min(x0, f.x0), x1 = std::max(x1, f.x1);
  EXPECT_TRUE(Near(x0, 0) && Near(x1, 48));
  FreeScene();
  FrameStud(nullptr, b, w);
  FrameWallHeader(a, nullptr, 80, 12, w);
  EXPECT_TRUE(Faces().empty());
}

TEST_F(Framing, StudSidesFollowThePlanAngle) {
  // Plan angles turn counter-clockwise on the screen, where z grows downward: a stud at a
  // quarter turn stands 2.5 toward -z, and at angle 0 its first side lies a quarter turn
  // clockwise of the wall, at z +5, with the back face at its start.
  Objex* w = Wall();
  const float a[3] = {0, 0, 0}, b[3] = {0, -10, 0};
  FrameVerticalStud(1.5707964f, a, b, w);
  std::vector<Face> faces = Faces();
  ASSERT_EQ(faces.size(), 4u);
  for (const Face& f : faces) EXPECT_TRUE(Near(f.z0, -2.5f) || Near(f.z1, 0) && Near(f.z0, 0)) << f.z0;
  EXPECT_TRUE(Near(faces[3].z0, -2.5f) && Near(faces[3].z1, -2.5f));
  FreeScene();

  FrameVerticalStud(0, a, b, w);
  faces = Faces();
  ASSERT_EQ(faces.size(), 4u);
  EXPECT_TRUE(Near(faces[1].z0, 5) && Near(faces[1].z1, 5));
  EXPECT_TRUE(Near(faces[2].z0, -5) && Near(faces[2].z1, -5));
  const Plane* back = gGLPlaneObjects->planes;
  EXPECT_TRUE(Near(back->vertices[0].z, -5) && Near(back->vertices[2].z, 5));
  EXPECT_LT(back->normal[0], 0);
}

TEST_F(Framing, TrussPoints) {
  struct Case {
    float pitch;
    float peakY;
    float rakeX, rakeY;  // 12 along the top chord from its foot
  };
  for (const Case& c : {Case{0, 0, 12, 0}, Case{0.5f, -9, 10.733126f, -5.366563f}}) {
    const PlaneVertex s{0, 0, 0, 0, 0, 0}, e{36, 0, 0, 0, 0, 0};
    FrameRoofTruss(s, e, c.pitch, AddTestWall(doc, {{0, 0}, {1, 0}}), 1, true, true);
    EXPECT_FLOAT_EQ(sEnd1OneThirdBasePt.x, 12);
    EXPECT_FLOAT_EQ(sEnd1TwoThirdBasePt.x, 24);
    EXPECT_FLOAT_EQ(sEnd1MidPeakPt.x, 18);
    EXPECT_FLOAT_EQ(sEnd1MidPeakPt.y, c.peakY);
    EXPECT_NEAR(sEnd1LeftThirdRakePt.x, c.rakeX, 1e-4);
    EXPECT_NEAR(sEnd1LeftThirdRakePt.y, c.rakeY, 1e-4);
    EXPECT_NEAR(sEnd1RightThirdRakePt.x, 36 - c.rakeX, 1e-4);
    EXPECT_NEAR(sEnd1RightThirdRakePt.y, c.rakeY, 1e-4);
    // Bottom chord, two top chords, two webs and two uprights, four faces each.
    EXPECT_EQ(Faces().size(), 28u);
    FreeScene();
  }
}

TEST_F(Framing, RoofTrussRows) {
  auto roof = [&](int32_t style, std::initializer_list<std::pair<float, float>> pts) {
    Objex* r = doc.addObject(kObjRoof, true, pts);
    r->textureID = style;
    r->width = 6;
    return r;
  };
  // 120 in long, 72 in across: gable trusses every 24 in (48 units) from the near edge,
  // the last on the far edge; the ridge, two purlins and two plates tie them.
  Objex* gable = roof(kRoofGable, {{0, 0}, {240, 0}, {240, 144}, {0, 144}});
  FrameRoofTrusses(gable);
  EXPECT_EQ(Faces().size(), 6u * 8 + 5 * 4);
  EXPECT_FLOAT_EQ(sEnd1StartPt.x, 0);
  EXPECT_FLOAT_EQ(sEnd2StartPt.x, 240);
  EXPECT_FLOAT_EQ(sEnd2EndPt.z, 144);
  EXPECT_FLOAT_EQ(sEnd1MidPeakPt.y, -36);
  FreeScene();

  // A square hip: no truss in the row, but both end trusses stand half the span in.
  sEnd1MidPeakPt = PlaneVertex{999, 999, 999, 0, 0, 0};
  Objex* hip = roof(kRoofHip, {{0, 0}, {144, 0}, {144, 144}, {0, 144}});
  FrameRoofTrusses(hip);
  EXPECT_FLOAT_EQ(sEnd1StartPt.x, 72);
  EXPECT_FLOAT_EQ(sEnd1MidPeakPt.x, 72);
  EXPECT_FLOAT_EQ(sEnd2StartPt.x, 72);
  // Two trusses, ridge and purlins, five members at each hip end.
  EXPECT_EQ(Faces().size(), 2u * 8 + 3 * 4 + 2 * 5 * 4);
  FreeScene();

  for (Objex* none : {roof(7, {{0, 0}, {240, 0}, {240, 144}, {0, 144}}), roof(0, {{0, 0}, {240, 0}, {240, 144}, {0, 144}}),
                      roof(kRoofGable, {{0, 0}, {240, 0}, {240, 144}})}) {
    FrameRoofTrusses(none);
    EXPECT_TRUE(Faces().empty());
  }
}

}  // namespace
