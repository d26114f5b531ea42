// One plane object's colours per vertex (read back through GL feedback): material choice,
// scale repair, fades by floor, transparency and the strip memory of smooth surfaces.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "model/PlanarTransforms.h"
#include "render3d/RenderTestSupport.h"

namespace {
constexpr RGBColor kRed{65535, 0, 0};
constexpr RGBColor kBlue{0, 0, 65535};

// The colours (0..255) and alphas the renderer gave the corners of the centred test quad, in
// its vertex order (bottom left, bottom right, top right, top left); GL hands polygons back
// as triangles, so corners are known by where they landed.
std::vector<Pixel> VertexColors(PlaneObject* object, bool realTime = false) {
  std::vector<GLfloat> buffer(4096);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
  glRenderMode(GL_FEEDBACK);
  if (realTime) RTRenderGLPlaneObject(object, 0);
  else RenderGLPlaneObject(object, 0);
  const GLint n = glRenderMode(GL_RENDER);
  std::vector<Pixel> colors;
  for (GLint i = 0; i < n;) {
    const auto token = static_cast<GLint>(buffer[i++]);
    if (token != GL_POLYGON_TOKEN) break;
    const auto count = static_cast<GLint>(buffer[i++]);
    for (GLint k = 0; k < count; ++k, i += 7) {
      const bool right = buffer[i] > 32, top = buffer[i + 1] > 32;
      const size_t corner = top ? (right ? 2 : 3) : (right ? 1 : 0);
      if (colors.size() < 4) colors.resize(4, Pixel{-1, -1, -1, -1});
      colors[corner] = {static_cast<int>(buffer[i + 3] * 255 + 0.5f),
                        static_cast<int>(buffer[i + 4] * 255 + 0.5f),
                        static_cast<int>(buffer[i + 5] * 255 + 0.5f),
                        static_cast<int>(buffer[i + 6] * 255 + 0.5f)};
    }
  }
  return colors;
}
}  // namespace

class PlaneObjectColors : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    if (IsSkipped()) return;
    InitializeGLScene();
  }
  // A unit-v quad: vertices 0 and 1 at v = 0, 2 and 3 at v = 1.
  PlaneObject* quad(RGBColor color, Objex* source = nullptr) {
    PlaneObject* p = addSquare(-10, -10, 10, 10, 0, color, source);
    p->planes->vertices[2].v = p->planes->vertices[3].v = 1;
    return p;
  }
};

TEST_F(PlaneObjectColors, ScaleRepairAndColourLinks) {
  PlaneObject* p = quad(kRed);
  p->textureScaleA[0] = p->textureScaleA[1] = -1;  // 65535: unset
  p->textureScaleB[0] = p->textureScaleB[1] = -1;
  std::vector<Pixel> c = VertexColors(p);
  EXPECT_EQ(p->textureScaleA[0], 100);
  EXPECT_EQ(p->textureScaleA[1], 100);
  EXPECT_EQ(p->textureScaleB[0], 100);
  ASSERT_EQ(c.size(), 4u);
  EXPECT_EQ(c[0], (Pixel{255, 0, 0, 0}));
  EXPECT_EQ(c[0].a, 235);  // clearViewOpacity
  // The plan object's colour field wins over the copy, so colour edits show without a rebuild.
  RGBColor linked{0, 65535, 0};
  p->colorLinkB = &linked;
  EXPECT_EQ(VertexColors(p)[0], (Pixel{0, 255, 0, 0}));
  // Render kind 6 takes side A: its link, else side B's link, else colorB.
  p->renderKind = 6;
  p->colorB = kBlue;
  EXPECT_EQ(VertexColors(p)[0], (Pixel{0, 255, 0, 0}));
  RGBColor linkedA{65535, 65535, 0};
  p->colorLinkA = &linkedA;
  EXPECT_EQ(VertexColors(p)[0], (Pixel{255, 255, 0, 0}));
  p->colorLinkA = p->colorLinkB = nullptr;
  EXPECT_EQ(VertexColors(p)[0], (Pixel{0, 0, 255, 0}));
}

TEST_F(PlaneObjectColors, FadeRunsAlongVOnTheFirstFloorAndAgainstItAbove) {
  gLiveViewOptions |= kLiveViewShading;
  ds()->lightIntensity() = 40000;
  Objex* onFirst = doc.addObject(kObjWall, true, {{0, 0}, {1, 0}}, doc.first);
  PlaneObject* p = quad(kRed, onFirst);
  p->partType = 10;
  doc.first->visible = 0;  // keeps its object out of the bounds
  // Facing the light: V1 = 65535; fade = 40000; red value 25535 -> 99.
  std::vector<Pixel> first = VertexColors(p);
  ASSERT_EQ(first.size(), 4u);
  EXPECT_EQ(first[0].r, 255);
  EXPECT_EQ(first[2].r, 99);
  Objex* onSecond = doc.addObject(kObjWall, true, {{0, 0}, {1, 0}}, doc.second);
  doc.second->visible = 0;
  p->actual3DObject = onSecond;
  std::vector<Pixel> second = VertexColors(p);
  EXPECT_EQ(second[0].r, 99);
  EXPECT_EQ(second[2].r, 255);
  // A transparent object keeps its value and its own alpha at every vertex.
  p->alpha = 128;
  for (const Pixel& c : VertexColors(p)) {
    EXPECT_EQ(c.r, 255);
    EXPECT_EQ(c.a, 128);
  }
}

// Which way a face fades, by its kind, part, floor and the subtype that names a direction: the
// kinds that keep their own rule above the first floor against those that fall to the upper
// floors' rule, the first and last subtype of the table, and the third floor as the first.
TEST_F(PlaneObjectColors, EachKindFadesItsOwnWayOnEachFloor) {
  gLiveViewOptions |= kLiveViewShading;
  ds()->lightIntensity() = 40000;
  constexpr int F = 99, K = 255, H = 229;  // faded, kept; a door leaf at 0.9
  const std::array<int, 4> alongV{K, K, F, F}, againstV{F, F, K, K}, alongU{K, F, F, K}, againstU{F, K, K, F},
      kept{K, K, K, K}, leaf{H, H, H, H};
  const struct {
    const char* what;
    Layer* TestDocument::*floor;
    int16_t type, part;
    int32_t subtype;
    std::array<int, 4> red;  // bottom left, bottom right, top right, top left
  } cases[] = {
      {"wall, first floor", &TestDocument::first, kObjWall, 10, 0, alongV},
      {"wall, second floor", &TestDocument::second, kObjWall, 10, 0, againstV},
      {"wall, third floor", &TestDocument::third, kObjWall, 10, 0, alongV},
      {"subtype 30000, first floor", &TestDocument::first, kObjWall, 10, 30000, alongV},
      {"subtype 30001, first floor", &TestDocument::first, kObjWall, 10, 30001, againstV},
      {"subtype 30002, first floor", &TestDocument::first, kObjWall, 10, 30002, alongU},
      {"subtype 30003, first floor", &TestDocument::first, kObjWall, 10, 30003, againstU},
      {"subtype 30000, second floor", &TestDocument::second, kObjWall, 10, 30000, alongV},
      {"subtype 30001, second floor", &TestDocument::second, kObjWall, 10, 30001, againstV},
      {"subtype 30003, second floor", &TestDocument::second, kObjWall, 10, 30003, againstU},
      {"roof, second floor", &TestDocument::second, kObjRoof, 10, 0, alongV},
      {"32, second floor", &TestDocument::second, 32, 10, 0, alongV},
      {"31, second floor", &TestDocument::second, 31, 10, 0, againstV},
      {"35, second floor", &TestDocument::second, 35, 10, 0, alongV},
      {"36, second floor", &TestDocument::second, 36, 10, 0, againstV},
      {"41, second floor", &TestDocument::second, 41, 10, 0, alongV},
      {"40, second floor", &TestDocument::second, 40, 10, 0, againstV},
      {"43, second floor", &TestDocument::second, 43, 10, 0, againstV},
      {"44, second floor", &TestDocument::second, 44, 10, 0, kept},
      {"45, second floor", &TestDocument::second, 45, 10, 0, againstV},
      {"base moulding, second floor", &TestDocument::second, kObjWall, 63, 0, kept},
      {"component, first floor", &TestDocument::first, kObjComponent, 10, 0, againstV},
      {"33, first floor", &TestDocument::first, 33, 10, 0, againstV},
      {"door face, second floor", &TestDocument::second, kObjDoor, 20, 0, kept},
      {"door leaf", &TestDocument::first, kObjDoor, 128, 0, leaf},
      {"door frame", &TestDocument::second, kObjDoor, 10, 0, alongV},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Layer* floor = doc.*c.floor;
    Objex* source = doc.addObject(c.type, true, {{0, 0}, {1, 0}}, floor);
    floor->visible = 0;  // keeps its object out of the bounds
    source->subtype = c.subtype;
    PlaneObject* p = quad(kRed, source);
    p->partType = c.part;
    p->planes->vertices[1].u = p->planes->vertices[2].u = 1;
    const std::vector<Pixel> colours = VertexColors(p);
    ASSERT_EQ(colours.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(colours[i].r, c.red[i], 1) << "corner " << i;
  }
}

// A stair landing fades by the height above its first corner against its own floor's height,
// not a height every floor shares: with floors of 40 and 80 plan units the top of a 20-unit
// face fades a half and three quarters as much as its bottom.
TEST_F(PlaneObjectColors, AStairLandingFadesAgainstItsOwnFloorsHeight) {
  gLiveViewOptions |= kLiveViewShading;
  ds()->lightIntensity() = 20000;
  Objex* stair = doc.addObject(kObjStaircase, true, {{0, 0}, {1, 0}}, doc.second);
  doc.second->visible = 0;  // keeps its object out of the bounds
  PlaneObject* p = quad(kRed, stair);
  p->actual3DType = kObjStairLandingPart;
  struct Row {
    float floorInPlanUnits;
    int bottom, top;
  };
  // Bottom: 65535 - 20000 -> 177; top: 65535 - 20000 (1 - 20 / floor).
  for (const Row& r : {Row{40, 177, 216}, Row{80, 177, 196}}) {
    doc.second->height = ConvertScreenToWorld(r.floorInPlanUnits, ds(), 0);
    const std::vector<Pixel> c = VertexColors(p);
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0].r, r.bottom) << r.floorInPlanUnits;
    EXPECT_EQ(c[1].r, r.bottom) << r.floorInPlanUnits;
    EXPECT_NEAR(c[2].r, r.top, 1) << r.floorInPlanUnits;
    EXPECT_NEAR(c[3].r, r.top, 1) << r.floorInPlanUnits;
  }
}

// The ClearView fill mix follows the faded value; where texture coordinates run past the face
// the value rises above the fill colour's, and the mix stays a colour.
TEST_F(PlaneObjectColors, ClearViewFillMixStaysWithinTheColourRange) {
  gLiveViewOptions |= kLiveViewShading;
  ds()->lightIntensity() = 40000;
  ds()->renderMode() = kRenderClearViewFill;
  ds()->clearViewLineColor() = RGBColor{60000, 0, 0};
  ds()->clearViewFillColor() = RGBColor{0, 0, 2000};
  PlaneObject* p = quad(kRed);
  p->planes->vertices[0].v = p->planes->vertices[1].v = 40;
  // V0 = 2000, fade = 40000 / 65535 x 2000; at v = 40 the value is 2000 + 39 fade, k about 24.8:
  // red runs far below 0 and stays at 0, blue comes to the value itself.
  const std::vector<Pixel> c = VertexColors(p);
  ASSERT_EQ(c.size(), 4u);
  for (int i : {0, 1}) {
    EXPECT_EQ(c[i].r, 0) << i;
    EXPECT_EQ(c[i].g, 0) << i;
    EXPECT_NEAR(c[i].b, 193, 1) << i;
  }
  EXPECT_EQ(c[2].r, 0);
  EXPECT_NEAR(c[2].b, 8, 1);
}

TEST_F(PlaneObjectColors, TheLightViewIsFlatWhiteExceptUnderCustomTextures) {
  gLiveViewOptions |= kLiveViewShading;
  ds()->lightIntensity() = 40000;
  ds()->renderMode() = kRenderLightView;
  Objex* onFirst = doc.addObject(kObjWall, true, {{0, 0}, {1, 0}}, doc.first);
  doc.first->visible = 0;
  PlaneObject* p = quad(kRed, onFirst);
  p->partType = 10;
  p->textureIdB = 1301;  // a stock texture: untextured, one flat white
  for (const Pixel& c : VertexColors(p)) EXPECT_EQ(c, (Pixel{255, 255, 255, 0}));
  // A custom id (here one without an image) keeps the fade across the face.
  p->textureIdB = 20099;
  std::vector<Pixel> custom = VertexColors(p);
  ASSERT_EQ(custom.size(), 4u);
  EXPECT_EQ(custom[0], (Pixel{255, 255, 255, 0}));
  EXPECT_EQ(custom[2], (Pixel{99, 99, 99, 0}));
  ds()->renderMode() = kRenderSolid;
}

TEST_F(PlaneObjectColors, StripsShareTheirCommonEdgeColour) {
  Objex* surface = planObject();
  PlaneObject* a = quad(kRed, surface);
  PlaneObject* b = quad(kBlue, surface);
  a->renderKind = b->renderKind = 7;  // vertices 0 and 1 share the previous strip's colour
  VertexColors(a);
  EXPECT_EQ(gPrevPlaneParentObject, surface);
  std::vector<Pixel> c = VertexColors(b);
  EXPECT_EQ(c[0], (Pixel{255, 0, 0, 0}));
  EXPECT_EQ(c[1], (Pixel{255, 0, 0, 0}));
  EXPECT_EQ(c[2], (Pixel{0, 0, 255, 0}));
  // A wall trim between them keeps the memory; any other plane object resets it, even one
  // without planes.
  VertexColors(a);
  PlaneObject* trim = quad(kBlue);
  trim->partType = 63;
  VertexColors(trim);
  EXPECT_EQ(VertexColors(b)[0], (Pixel{255, 0, 0, 0}));
  VertexColors(a);
  PlaneObject* empty = CreatePlaneObject();
  empty->actual3DObject = empty->base2DObject = surface;
  VertexColors(empty);
  EXPECT_EQ(gPrevPlaneColor, (RGBColor{1, 1, 1}));
  EXPECT_EQ(VertexColors(b)[0], (Pixel{0, 0, 255, 0}));
  DeletePlaneObject(empty);
  // Part type 7 shares vertices 2 and 3 instead.
  VertexColors(a);
  b->renderKind = 0;
  b->partType = 7;
  c = VertexColors(b);
  EXPECT_EQ(c[0], (Pixel{0, 0, 255, 0}));
  EXPECT_EQ(c[2], (Pixel{255, 0, 0, 0}));
}

TEST_F(PlaneObjectColors, WhatIsNotDrawn) {
  PlaneObject* p = quad(kRed);
  p->partType = kObjTopoExcavation;
  EXPECT_TRUE(VertexColors(p).empty());
  p->partType = kObjFloor;
  ds()->renderMode() = kRenderWireframe;
  EXPECT_TRUE(VertexColors(p).empty());
  EXPECT_TRUE(VertexColors(p, true).empty());
  ds()->renderMode() = kRenderSolid;
  EXPECT_EQ(VertexColors(p).size(), 4u);
  p->actual3DObject = nullptr;
  EXPECT_TRUE(VertexColors(p).empty());
}

TEST_F(PlaneObjectColors, RealTimeSendsOneShadedColourPerPlane) {
  gLiveViewOptions |= kLiveViewShading;
  PlaneObject* p = quad(kRed);
  std::vector<Pixel> c = VertexColors(p, true);
  ASSERT_EQ(c.size(), 4u);
  for (const Pixel& v : c) EXPECT_EQ(v, (Pixel{255, 0, 0, 0}));
  // A door leaf face is darkened to 90 %.
  p->actual3DType = kObjDoor;
  p->partType = 128;
  EXPECT_EQ(VertexColors(p, true)[0].r, 229);  // 58981 / 257
}

namespace {
struct WindowPoint {
  float x, y;
};

// The corners (window coordinates, in outline order) joined by each edge of what the real-time
// drawing of one plane object rasterises, read back through GL feedback, with how often each
// pair is joined: the edges of its filled triangles, or its lines when polygons are drawn as
// lines. False when it drew a point on no corner, or anything but triangles and lines.
bool DrawnEdges(PlaneObject* object, const std::vector<WindowPoint>& corners, bool* lines,
                std::map<std::pair<int, int>, int>* edges) {
  std::vector<GLfloat> buffer(8192);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
  glRenderMode(GL_FEEDBACK);
  RTRenderGLPlaneObject(object, 0);
  const GLint n = glRenderMode(GL_RENDER);
  auto corner = [&](GLint at) {
    for (size_t k = 0; k < corners.size(); ++k)
      if (std::abs(corners[k].x - buffer[at]) < 0.01f && std::abs(corners[k].y - buffer[at + 1]) < 0.01f)
        return static_cast<int>(k);
    return -1;
  };
  auto join = [&](GLint a, GLint b) {
    const int i = corner(a), j = corner(b);
    ++(*edges)[{std::min(i, j), std::max(i, j)}];
    return i >= 0 && j >= 0;
  };
  *lines = false;
  for (GLint i = 0; i < n;) {
    const auto token = static_cast<GLint>(buffer[i++]);
    if (token == GL_POLYGON_TOKEN && static_cast<GLint>(buffer[i]) == 3) {
      if (!join(i + 1, i + 3) || !join(i + 3, i + 5) || !join(i + 5, i + 1)) return false;
      i += 7;
    } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
      *lines = true;
      if (!join(i, i + 2)) return false;
      i += 4;
    } else {
      return false;
    }
  }
  return true;
}
}  // namespace

// Filled planes of any number of corners are drawn as triangles that tile the plane (each
// outline edge once, each inner edge twice, n - 2 of them); in the line modes a plane keeps
// its outline, with no inner edge drawn.
TEST_F(PlaneObjectColors, RealTimePlanesTileTheirOutlineAndLinesDrawOnlyTheOutline) {
  // Convex outlines in the plane z = 0, corners in drawing order (the orthographic view maps
  // one unit to one pixel around the centre, 32, 32).
  const std::vector<std::vector<WindowPoint>> outlines = {
      {{-10, -10}, {10, -10}, {0, 12}},
      {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}},
      {{-12, -8}, {6, -14}, {14, 2}, {2, 13}, {-11, 9}},
      {{-10, -6}, {0, -12}, {10, -6}, {10, 6}, {0, 12}, {-10, 6}},
  };
  for (const int16_t mode : {kRenderSolid, kRenderWireframe, kRenderClearViewLines, kRenderClearView}) {
    const bool lineMode = mode != kRenderSolid;
    for (const auto& outline : outlines) {
      const int n = static_cast<int>(outline.size());
      PlaneObject* p = addPolygon({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, kRed);
      auto* v = static_cast<PlaneVertex*>(calloc(outline.size(), sizeof(PlaneVertex)));
      std::vector<WindowPoint> corners;
      for (int k = 0; k < n; ++k) {
        v[k] = {outline[k].x, -outline[k].y, 0, 0, 0, 0};
        corners.push_back({outline[k].x + 32, outline[k].y + 32});
      }
      ReleasePlaneVertices(p->planes);
      p->planes->vertices = v;
      p->planes->vertexCount = n;
      ds()->renderMode() = mode;
      glPolygonMode(GL_FRONT_AND_BACK, lineMode ? GL_LINE : GL_FILL);
      bool lines = false;
      std::map<std::pair<int, int>, int> edges;
      const bool onCorners = DrawnEdges(p, corners, &lines, &edges);
      glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
      ds()->renderMode() = kRenderSolid;

      SCOPED_TRACE(testing::Message() << "mode " << mode << ", " << n << " corners");
      ASSERT_TRUE(onCorners);
      EXPECT_EQ(lines, lineMode);
      int drawn = 0;
      for (const auto& [pair, times] : edges) {
        const bool outlineEdge = pair.second - pair.first == 1 || (pair.first == 0 && pair.second == n - 1);
        EXPECT_EQ(times, outlineEdge || lineMode ? 1 : 2) << pair.first << "-" << pair.second;
        EXPECT_TRUE(outlineEdge || !lineMode) << pair.first << "-" << pair.second;
        drawn += times;
      }
      // Every outline edge, and in fill modes the n - 2 triangles' edges.
      EXPECT_EQ(drawn, lineMode ? n : 3 * (n - 2));
      for (int k = 0; k + 1 < n; ++k) EXPECT_EQ(edges.count({k, k + 1}), 1u);
      EXPECT_EQ(edges.count({0, n - 1}), 1u);
    }
  }
}
