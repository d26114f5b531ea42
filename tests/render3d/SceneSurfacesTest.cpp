// Symbol parts with generated texture coordinates, grid faces, the background, plant
// billboards and photos: their geometry (caught in feedback mode), texture state and colours.
#include <gtest/gtest.h>

#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "building3d/RenderRoad.h"
#include "model/Delete.h"
#include "model/PlanarTransforms.h"
#include "model/Plants.h"
#include "model/Records.h"
#include "plandraw/PlanDrawing.h"
#include "render3d/RealTimeScene.h"
#include "render3d/SceneSurfaces.h"
#include "render3d/TextureTestSupport.h"

namespace {

// The distinct corners of a quad caught as triangles, as top left, top right, bottom right,
// bottom left on the screen.
std::vector<FedVertex> QuadCorners(const std::vector<FedPolygon>& polygons) {
  std::vector<FedVertex> corners;
  for (const FedVertex& v : Vertices(polygons)) {
    bool known = false;
    for (const FedVertex& c : corners) known = known || (std::fabs(c.x - v.x) < 0.01f && std::fabs(c.y - v.y) < 0.01f);
    if (!known) corners.push_back(v);
  }
  if (corners.size() != 4) return corners;
  std::sort(corners.begin(), corners.end(), [](const FedVertex& a, const FedVertex& b) { return a.y > b.y; });
  if (corners[0].x > corners[1].x) std::swap(corners[0], corners[1]);
  if (corners[2].x < corners[3].x) std::swap(corners[2], corners[3]);
  return corners;
}

std::array<float, 4> ObjectPlane(GLenum coordinate) {
  std::array<float, 4> plane{};
  glGetTexGenfv(coordinate, GL_OBJECT_PLANE, plane.data());
  return plane;
}

using SymbolParts = TextureTest;

TEST_F(SymbolParts, GenerationPlanesFollowEachPolygonsPlaneAtTheTexturesSize) {
  writeSolid(stockFolder() + "/Sky/SKY1.QTX", 4, 4, Qt::blue);
  writeText(stockFolder() + "/Sky/SKY1.QTI", "[Size]\nWidth=48\nHeight=96\n");
  Objex* symbol = planObject(kObjSymbolPart3D);
  symbol->options[0] = 1;
  const float k = 0.028f * 18;
  struct Case {
    std::initializer_list<std::array<float, 3>> polygon;
    std::array<float, 4> s, t;
  };
  const Case cases[] = {
      // Level (flattest in the height): s along x, t along z.
      {{{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10}}, {k / 48, 0, 0, 0}, {0, 0, k / 96, 0}},
      // Facing z: s along x, t along the height as sent.
      {{{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, {k / 48, 0, 0, 0}, {0, k / 96, 0, 0}},
      // Facing x: s along z, t along the height.
      {{{0, 0, 0}, {0, 0, 10}, {0, 10, 10}, {0, 10, 0}}, {0, 0, k / 48, 0}, {0, k / 96, 0, 0}},
  };
  for (const Case& c : cases) {
    PlaneObject* part = addPolygon(c.polygon, {65535, 65535, 65535}, symbol, false);
    part->partType = kObjSymbolPart3D;
    part->textureIdB = 1550;
    // The planes give each corner (x, y, z) as sent s and t.
    std::vector<std::array<float, 2>> expected;
    for (const auto& p : c.polygon)
      expected.push_back({c.s[0] * p[0] + c.s[1] * p[1] + c.s[2] * p[2] + c.s[3],
                          c.t[0] * p[0] + c.t[1] * p[1] + c.t[2] * p[2] + c.t[3]});
    std::sort(expected.begin(), expected.end());
    const auto mapped = MappedCoordinates([&] { RenderGLAutoGenPlaneObject(part, 0); });
    ASSERT_EQ(mapped.size(), expected.size());
    for (size_t i = 0; i < mapped.size(); ++i) {
      EXPECT_NEAR(mapped[i][0], expected[i][0], 1e-5) << i;
      EXPECT_NEAR(mapped[i][1], expected[i][1], 1e-5) << i;
    }
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    DeletePlaneObject(part);
  }
}

TEST_F(SymbolParts, CustomTexturesWithoutASizeAreFittedToTheSymbolsExtent) {
  writeSolid(customFolder() + "/finish.png", 8, 8, Qt::green);
  writeSolid(customFolder() + "/wide.png", 8, 8, Qt::green);
  writeText(customFolder() + "/wide.QTI", "[Size]\nWidth=30\n");
  AddCustomTextureID(20010, "finish.png");
  AddCustomTextureID(20011, "wide.png");
  Objex* symbol = doc.addObject(kObjSymbolPart3D, true, {{0, 0}, {144, 0}, {144, 72}, {0, 72}}, parts);
  symbol->options[0] = 1;
  const float k = 0.028f * 18;
  const float across = std::trunc(ConvertScreenToWorld(144, ds(), 0));
  const float deep = std::trunc(ConvertScreenToWorld(72, ds(), 0));
  for (int32_t id : {20010, 20011}) {
    PlaneObject* part = addPolygon({{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10}}, {65535, 65535, 65535}, symbol,
                                   false);
    part->partType = kObjSymbolPart3D;
    part->textureIdB = id;
    // No size: both fitted. A width without a height: the height is fitted (the face spans
    // 10 units along x and along z).
    const std::array<float, 2> spans = MappedSpans([&] { RenderGLAutoGenPlaneObject(part, 0); });
    EXPECT_NEAR(spans[0] / 10, id == 20010 ? k / across : k / 12, 1e-6) << id;
    EXPECT_NEAR(spans[1] / 10, k / deep, 1e-6) << id;
    DeletePlaneObject(part);
  }
}

TEST_F(SymbolParts, TheLightViewIsWhiteAndUnshadedAndTheWireframeTakesTheRootsPlanColour) {
  gLiveViewOptions |= kLiveViewShading;
  Objex* symbol = planObject(kObjSymbolPart3D);
  symbol->options[0] = 1;
  symbol->penColor = {0, 0, 65535};
  Objex* door = planObject(kObjDoor);  // a door part of its own: ignored for symbol parts
  door->penColor = {0, 65535, 0};
  PlaneObject* part = addPolygon({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, {20000, 20000, 20000}, symbol,
                                 false);
  part->partType = kObjSymbolPart3D;
  part->actual3DObject = door;
  part->planes->normal[0] = 0.7f, part->planes->normal[1] = 0.7f, part->planes->normal[2] = 0;  // would shade
  glViewport(0, 0, 64, 64);
  // The whole face in view: the corners the clipper makes take colours the driver may not
  // have worked out.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-20, 20, -20, 20, -20, 20);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  ds()->renderMode() = kRenderLightView;
  for (const FedVertex& v : Vertices(Feedback([part] { RenderGLAutoGenPlaneObject(part, 0); })))
    EXPECT_TRUE(v.r == 1 && v.g == 1 && v.b == 1);
  ds()->renderMode() = kRenderWireframe;
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  RGBColor plan{};
  GetObjectPlanColor(symbol, &plan);
  const auto vertices = Vertices(Feedback([part] { RTRenderGLAutoGenPlaneObject(part, 0); }));
  ASSERT_FALSE(vertices.empty());
  EXPECT_NEAR(vertices[0].b, (plan.blue / 257) / 255.0f, 1e-3);
  EXPECT_NEAR(vertices[0].g, (plan.green / 257) / 255.0f, 1e-3);
  ds()->renderMode() = kRenderSolid;
  DeletePlaneObject(part);
}

using Background = TextureTest;

TEST_F(Background, TheQuadCoversTheViewAndCropsTheLongerSide) {
  writeSolid(stockFolder() + "/Sky/SKY1.QTX", 4, 4, Qt::white);
  ds()->backgroundTextureID = 1550;
  struct Case {
    int w, h;
    float topT, rightS;  // texture coordinates where the quad meets the view's top right
  };
  // 2:1 wide: the quad runs -200..200 in y (its middle half shows); 1:2 tall: -200..200 in x.
  for (const Case& c : {Case{128, 64, 0.75f, 1.0f}, Case{64, 128, 1.0f, 0.75f}, Case{64, 64, 1.0f, 1.0f}}) {
    sWidth = c.w, sHeight = c.h;
    glViewport(0, 0, c.w, c.h);
    const auto vertices = Vertices(Feedback([] { RenderGLBackground(0, 0); }));
    ASSERT_FALSE(vertices.empty());
    float topT = 0, rightS = 0;
    for (const FedVertex& v : vertices) topT = std::max(topT, v.t), rightS = std::max(rightS, v.s);
    EXPECT_NEAR(topT, c.topT, 1e-4) << c.w << "x" << c.h;
    EXPECT_NEAR(rightS, c.rightS, 1e-4) << c.w << "x" << c.h;
  }
  // The s coordinates come from gBackgroundVertices (the navigation scrolls them).
  const float saved[4] = {gBackgroundVertices[0], gBackgroundVertices[1], gBackgroundVertices[2],
                          gBackgroundVertices[3]};
  const float scrolled[4] = {0.25f, 1.25f, 1.25f, 0.25f};
  std::memcpy(gBackgroundVertices, scrolled, sizeof scrolled);
  const auto vertices = Vertices(Feedback([] { RenderGLBackground(0, 0); }));
  std::memcpy(gBackgroundVertices, saved, sizeof saved);
  ASSERT_FALSE(vertices.empty());
  float minS = 9;
  for (const FedVertex& v : vertices) minS = std::min(minS, v.s);
  EXPECT_NEAR(minS, 0.25f, 1e-4);
}

// A sky twice as wide as high shows at its proportions: its texels are as wide as high on
// the screen, in the final and the real-time background, for wide and tall views; it spans
// the quad's height, so its horizon stays at the bottom, and the navigation's scroll still
// moves its left edge.
TEST_F(Background, ThePictureKeepsItsProportions) {
  writeSolid(stockFolder() + "/Sky/SKY1.QTX", 8, 4, Qt::white);
  ds()->backgroundTextureID = 1550;
  ds()->renderMode() = kRenderSolid;
  ds()->navigationStep = 5;
  const float saved[4] = {gBackgroundVertices[0], gBackgroundVertices[1], gBackgroundVertices[2],
                          gBackgroundVertices[3]};
  // Texels' width over their height on the screen, from how s and t change across it.
  auto texelShape = [](const std::vector<FedVertex>& vertices, float* lowS) {
    float x0 = 1e9f, x1 = -1e9f, y0 = 1e9f, y1 = -1e9f, s0 = 1e9f, s1 = -1e9f, t0 = 1e9f, t1 = -1e9f;
    for (const FedVertex& v : vertices) {
      x0 = std::min(x0, v.x), x1 = std::max(x1, v.x), y0 = std::min(y0, v.y), y1 = std::max(y1, v.y);
      s0 = std::min(s0, v.s), s1 = std::max(s1, v.s), t0 = std::min(t0, v.t), t1 = std::max(t1, v.t);
    }
    *lowS = s0;
    const float texelWidth = (x1 - x0) / ((s1 - s0) * 8), texelHeight = (y1 - y0) / ((t1 - t0) * 4);
    return texelWidth / texelHeight;
  };
  struct Case {
    int w, h;
    float scroll;
  };
  for (const Case& c : {Case{128, 64, 0}, Case{64, 128, 0}, Case{96, 96, 0.25f}}) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    sWidth = c.w, sHeight = c.h;
    glViewport(0, 0, c.w, c.h);
    const float scrolled[4] = {c.scroll, c.scroll + 1, c.scroll + 1, c.scroll};
    std::memcpy(gBackgroundVertices, scrolled, sizeof scrolled);
    // The view's left edge: the quad's, moved in by what a tall view crops, in half widths.
    const float cropped = (1 - std::min(1.0f, float(c.w) / float(c.h))) / 2;
    const float leftS = c.scroll + cropped / 2;
    float lowS = 0;
    const auto final = Vertices(Feedback([] { RenderGLBackground(0, 0); }));
    ASSERT_FALSE(final.empty());
    EXPECT_NEAR(texelShape(final, &lowS), 1.0f, 1e-3);
    EXPECT_NEAR(lowS, leftS, 1e-4);
    ResetBackgroundDisplayList();
    const auto realTime = Vertices(Feedback([] { RTRenderGLBackground(); }));
    ASSERT_FALSE(realTime.empty());
    EXPECT_NEAR(gBackgroundAspect, 2.0f, 1e-6);
    EXPECT_NEAR(texelShape(realTime, &lowS), 1.0f, 1e-3);
    EXPECT_NEAR(lowS, leftS, 1e-4);
  }
  // The whole height in a tall view: the bottom row at the bottom, the top row at the top.
  sWidth = 64, sHeight = 128;
  glViewport(0, 0, 64, 128);
  std::memcpy(gBackgroundVertices, saved, sizeof saved);
  float t0 = 9, t1 = -9;
  for (const FedVertex& v : Vertices(Feedback([] { RenderGLBackground(0, 0); })))
    t0 = std::min(t0, v.t), t1 = std::max(t1, v.t);
  EXPECT_NEAR(t0, 0, 1e-4);
  EXPECT_NEAR(t1, 1, 1e-4);
  // A square picture is drawn as before: one texture width across the quad.
  ForgetLoadedTextures();
  writeSolid(stockFolder() + "/Sky/SKY1.QTX", 4, 4, Qt::white);
  ResetBackgroundDisplayList();
  const auto square = Vertices(Feedback([] { RTRenderGLBackground(); }));
  ASSERT_FALSE(square.empty());
  EXPECT_FLOAT_EQ(gBackgroundAspect, 1.0f);
}

TEST_F(Background, AntiAliasPassesMoveTheQuadByTheirJitter) {
  sWidth = 100, sHeight = 50;
  glViewport(0, 0, 100, 50);
  struct Case {
    int32_t passes;
    const JitterPoint* table;
  };
  for (const Case& c : {Case{4, j4}, Case{15, j15}, Case{24, j24}, Case{8, j8}, Case{3, j8}}) {
    ds()->antiAliasPasses() = c.passes;
    RenderGLBackground(1, 2);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], c.table[2].x * 200 / 100) << c.passes;
    EXPECT_FLOAT_EQ(m[13], c.table[2].y * 200 / 50) << c.passes;
  }
  RenderGLBackground(0, 2);
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_EQ(m[12], 0.0f);
}

TEST_F(Background, ColourByModeAndLighting) {
  writeSolid(stockFolder() + "/Sky/SKY1.QTX", 4, 4, Qt::white);
  ds()->backgroundTextureID = 1550;
  ds()->backgroundColor() = {257 * 100, 0, 0};
  ds()->clearViewFillColor() = {0, 257 * 50, 0};
  ds()->sunlightOn() = 1;
  ds()->sunBrightness() = 100;
  ds()->lightBrightness() = 1.2f;
  struct Case {
    int16_t mode;
    uint8_t lighting;
    std::array<float, 3> colour;
    bool textured;
  };
  const Case cases[] = {
      {kRenderWireframe, 1, {0, 50 / 255.0f, 0}, false},
      {kRenderClearViewLines, 1, {0, 50 / 255.0f, 0}, false},
      {kRenderClearViewFill, 0, {0, 50 / 255.0f, 0}, false},
      {kRenderSolid, 0, {100 / 255.0f, 0, 0}, true},
      {kRenderSolid, 1, {1, 0, 0}, true},  // the sun at 100 percent: full value
  };
  for (const Case& c : cases) {
    ForgetLoadedTextures();
    ds()->renderMode() = c.mode;
    ds()->backgroundLighting() = c.lighting;
    const auto vertices = Vertices(Feedback([] { RenderGLBackground(0, 0); }));
    ASSERT_FALSE(vertices.empty());
    const FedVertex& v = vertices[0];
    EXPECT_NEAR(v.r, c.colour[0], 1e-3) << c.mode;
    EXPECT_NEAR(v.g, c.colour[1], 1e-3) << c.mode;
    EXPECT_NEAR(v.b, c.colour[2], 1e-3) << c.mode;
    EXPECT_EQ(GLTextureNameForID(1550) != 0, c.textured) << c.mode;
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  }
  // A sun between the scene's value (0.7833) and full gives its own value, one below it leaves
  // the scene's; the light view, another shaded mode, is not lit.
  const struct {
    int16_t mode;
    float sun, red;
  } suns[] = {{kRenderSolid, 90, 0.9f}, {kRenderSolid, 70, 0.78333f}, {kRenderLightView, 90, 100 / 255.0f}};
  for (const auto& s : suns) {
    ds()->renderMode() = s.mode;
    ds()->sunBrightness() = s.sun;
    const auto lit = Vertices(Feedback([] { RenderGLBackground(0, 0); }));
    ASSERT_FALSE(lit.empty());
    EXPECT_NEAR(lit[0].r, s.red, 5e-3) << s.mode << " sun " << s.sun;
  }
  ds()->renderMode() = kRenderSolid;
  // Without a sun the value is the base brightness.
  ds()->sunlightOn() = 0;
  const auto vertices = Vertices(Feedback([] { RenderGLBackground(0, 0); }));
  ASSERT_FALSE(vertices.empty());
  EXPECT_NEAR(vertices[0].r, std::floor(SceneBaseBrightness(ds()) * 65535 / 257) / 255, 2e-3);
  EXPECT_NEAR(SceneBaseBrightness(ds()), 0.78333f, 1e-4);
  // A brightness that is no number (read from a damaged design) gives value 0, not a
  // conversion of NaN.
  ds()->lightBrightness() = std::nanf("");
  const auto dark = Vertices(Feedback([] { RenderGLBackground(0, 0); }));
  ASSERT_FALSE(dark.empty());
  EXPECT_EQ(dark[0].r, 0.0f);
  ds()->lightBrightness() = 1.2f;
}

TEST_F(Background, TheRealTimeListKeepsItsValuesAndTheQuadScrollsWithoutARebuild) {
  ds()->renderMode() = kRenderSolid;
  ds()->backgroundColor() = {0, 0, 257 * 200};
  ResetBackgroundDisplayList();
  RTRenderGLBackground();
  const GLuint list = gBackgroundDisplayList;
  ASSERT_NE(list, 0u);
  EXPECT_EQ(gBackgroundBlue, 200);
  EXPECT_FLOAT_EQ(gBackgroundWidth, 100);
  ds()->backgroundColor() = {0, 0, 257 * 10};  // not seen until the list is rebuilt
  const auto vertices = Vertices(Feedback([] { RTRenderGLBackground(); }));
  ASSERT_FALSE(vertices.empty());
  EXPECT_NEAR(vertices[0].b, 200 / 255.0f, 1e-3);
  EXPECT_EQ(gBackgroundDisplayList, list);
}

using GridFaces = TextureTest;

TEST_F(GridFaces, NodeColoursAreSharedAsTheTableSays) {
  const int columns = 3, rows = 2;
  std::initializer_list<std::pair<float, float>> none = {};
  Objex* source = doc.addObject(kObjWallFace, true, none, parts);
  source->subtype = 173;
  source->extraLong = columns;
  source->extraFlags = rows;
  source->params[0] = source->params[1] = 10;
  // Each row rises more steeply than the one before, so the rows shade differently.
  for (int r = 0; r <= rows; ++r)
    for (int c = 0; c <= columns; ++c) {
      Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, c * 10.0f, -(r * r * 8.0f + c), r * 10.0f, 0, 0, 0, 0, 0, 0, source);
      AppendPointToObject(p, source);
    }
  gLiveViewOptions |= kLiveViewShading;
  ds()->lightBrightness() = 0.9f;  // dim enough for the slopes to shade apart
  PlaneObject* face = nullptr;
  for (int k = 0; k < columns * rows; ++k) {
    const float x = (k % columns) * 10.0f, z = (k / columns) * 10.0f;
    PlaneObject* cell = addPolygon({{x, 0, z}, {x + 10, 0, z}, {x + 10, 0, z + 10}, {x, 0, z + 10}},
                                   {40000, 30000, 20000}, source, false);
    if (!face) {
      face = cell;
    } else {
      Plane* last = face->planes;
      while (last->next) last = last->next;
      last->next = cell->planes, cell->planes->prev = last;
      cell->planes = nullptr;
      DeletePlaneObject(cell);
    }
  }
  std::vector<RGBColor> table((columns + 1) * (rows + 1));
  const RGBColor colour{40000, 30000, 20000};
  SetUpGridPlaneShadingAndTextureList(table.data(), &colour, 0, {100, 100}, 30, 20, columns, rows, 10, 10, source);
  EXPECT_FALSE(table[0] == table[2 * (columns + 1)]);  // the rows differ
  auto node = [&](int r, int c) { return table[r * (columns + 1) + c]; };
  auto sameAs = [](const FedVertex& v, const RGBColor& c) {
    return std::fabs(v.r - (c.red / 257) / 255.0f) < 1e-3 && std::fabs(v.g - (c.green / 257) / 255.0f) < 1e-3 &&
           std::fabs(v.b - (c.blue / 257) / 255.0f) < 1e-3;
  };
  glViewport(0, 0, 64, 64);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-5, 40, -50, 50, -100, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(90, 1, 0, 0);  // look down on the level cells
  const auto polygons = Feedback([face] { RenderGLGridPlaneObject(face); });
  ASSERT_EQ(polygons.size(), 12u);  // each cell as two triangles, in cell order
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  // Cell k = 0 takes all four colours from row 0; k = 1 (q 0, m 1) and k = 3 (q 1, m 0).
  const struct {
    int k;
    std::array<std::pair<int, int>, 4> nodes;
  } cells[] = {{0, {{{0, 0}, {0, 0}, {0, 0}, {0, 0}}}},
               {1, {{{0, 1}, {0, 1}, {0, 0}, {0, 0}}}},
               {3, {{{0, 0}, {1, 0}, {1, 0}, {0, 0}}}},
               {4, {{{0, 1}, {1, 1}, {1, 0}, {0, 0}}}}};
  for (const auto& cell : cells) {
    const Plane* plane = face->planes;
    for (int k = 0; k < cell.k; ++k) plane = plane->next;
    for (int half = 0; half < 2; ++half)
      for (const FedVertex& v : polygons[2 * cell.k + half]) {
        int corner = -1;
        for (int i = 0; i < 4; ++i) {
          const PlaneVertex& p = plane->vertices[i];
          GLdouble wx, wy, wz;
          gluProject(p.x, -p.y, p.z, model, projection, viewport, &wx, &wy, &wz);
          if (std::fabs(wx - v.x) < 0.01 && std::fabs(wy - v.y) < 0.01) corner = i;
        }
        ASSERT_GE(corner, 0) << "cell " << cell.k;
        EXPECT_TRUE(sameAs(v, node(cell.nodes[corner].first, cell.nodes[corner].second)))
            << "cell " << cell.k << " vertex " << corner;
      }
  }
  // The light view draws every vertex white.
  ds()->renderMode() = kRenderLightView;
  for (const FedVertex& v : Vertices(Feedback([face] { RenderGLGridPlaneObject(face); })))
    EXPECT_TRUE(v.r == 1 && v.g == 1 && v.b == 1);
  ds()->renderMode() = kRenderSolid;

  // A source whose point count does not match its grid leaves the table zeroed.
  source->extraFlags = rows + 1;
  std::vector<RGBColor> untouched((columns + 1) * (rows + 2));
  SetUpGridPlaneShadingAndTextureList(untouched.data(), &colour, 0, {100, 100}, 30, 30, columns, rows + 1, 10, 10,
                                      source);
  for (const RGBColor& c : untouched) EXPECT_TRUE(c == RGBColor{});
  source->extraFlags = rows;
  // Counts read from a design whose node count passes the 32-bit range: nothing is made.
  SetUpGridPlaneShadingAndTextureList(untouched.data(), &colour, 0, {100, 100}, 30, 30, INT32_MAX, 1, 10, 10,
                                      source);
  SetUpGridPlaneShadingAndTextureList(untouched.data(), &colour, 0, {100, 100}, 30, 30, 1, INT32_MAX, 10, 10,
                                      source);
  for (const RGBColor& c : untouched) EXPECT_TRUE(c == RGBColor{});
  source->extraLong = INT32_MAX;
  RenderGLGridPlaneObject(face);
  source->extraLong = columns;

  // In clear-view fill a low light intensity raises the value (40000 to 65535 unshaded), so
  // the mix runs past the fill colour: it stops at the ends of the range.
  gLiveViewOptions &= ~kLiveViewShading;
  ds()->renderMode() = kRenderClearViewFill;
  ds()->lightIntensity() = 0;
  ds()->clearViewLineColor() = {65535, 0, 30000};
  ds()->clearViewFillColor() = {30000, 65535, 30000};
  const RGBColor grey{40000, 40000, 40000};
  SetUpGridPlaneShadingAndTextureList(table.data(), &grey, 0, {100, 100}, 30, 20, columns, rows, 10, 10, source);
  for (const RGBColor& c : table) EXPECT_TRUE(c == (RGBColor{7315, 65535, 30000})) << c.red << " " << c.green;
  ds()->renderMode() = kRenderSolid;
  ds()->lightIntensity() = 40000;
  gLiveViewOptions |= kLiveViewShading;

  // Texture sizes of 18, 36 and 9 inches: factors 1, 0.5 and 0.5 of 0.028 per unit.
  writeSolid(stockFolder() + "/Sky/SKY1.QTX", 4, 4, Qt::white);
  face->textureIdB = 1550;
  for (const auto& [size, factor] : {std::pair{18, 1.0f}, std::pair{36, 0.5f}, std::pair{9, 0.5f}}) {
    writeText(stockFolder() + "/Sky/SKY1.QTI", "[Size]\nWidth=" + std::to_string(size) + "\nHeight=18\n");
    ForgetStockTextureSizes();
    RenderGLGridPlaneObject(face);
    EXPECT_NEAR(ObjectPlane(GL_S)[0], 0.028f * factor, 1e-6) << size;
    EXPECT_NEAR(ObjectPlane(GL_T)[2], 0.028f, 1e-6) << size;
  }
  // Upright cells map by their own plane: along x and up in the x/y plane, along z and up in the
  // z/y plane; the width's factor goes to s, the height's to t (9 and 18 inches: 0.5 and 1).
  writeText(stockFolder() + "/Sky/SKY1.QTI", "[Size]\nWidth=9\nHeight=18\n");
  ForgetStockTextureSizes();
  std::vector<std::array<float, 2>> level;  // each corner's x and z as the level cells have them
  for (const Plane* plane = face->planes; plane; plane = plane->next)
    for (int i = 0; i < plane->vertexCount; ++i) level.push_back({plane->vertices[i].x, plane->vertices[i].z});
  for (const bool acrossZ : {false, true}) {
    SCOPED_TRACE(acrossZ ? "z/y plane" : "x/y plane");
    size_t k = 0;
    for (Plane* plane = face->planes; plane; plane = plane->next)
      for (int i = 0; i < plane->vertexCount; ++i, ++k) {
        // The level cell's x and z become its run and its height.
        PlaneVertex& v = plane->vertices[i];
        const float run = level[k][0], height = level[k][1];
        v.x = acrossZ ? 5.0f : run;
        v.y = -height;
        v.z = acrossZ ? run : 5.0f;
      }
    RenderGLGridPlaneObject(face);
    const std::array<float, 4> s = ObjectPlane(GL_S), t = ObjectPlane(GL_T);
    EXPECT_NEAR(s[0], acrossZ ? 0 : 0.014f, 1e-6);
    EXPECT_NEAR(s[2], acrossZ ? 0.014f : 0, 1e-6);
    EXPECT_NEAR(s[1], 0, 1e-6);
    EXPECT_NEAR(t[1], 0.028f, 1e-6);
    EXPECT_NEAR(t[0], 0, 1e-6);
    EXPECT_NEAR(t[2], 0, 1e-6);
  }
  DeletePlaneObject(face);
}

class PlantScene : public TextureTest {
 protected:
  Objex* plant = nullptr;
  PlaneObject* billboard = nullptr;
  Objex* photo_ = nullptr;  // the ClearView photo's object, its image path freed at the end

  void SetUp() override {
    TextureTest::SetUp();
    if (!TestGLContext()) return;
    plant = doc.addObject(kObjPlant, true, {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}}, parts);
    plant->baseElevation = 0;
    OnTopographyOf(plant) = 0;
    plant->plantAge = 0.5f;
    billboard = addPolygon({{-10, 0, -10}, {10, 0, -10}, {10, 0, 10}, {-10, 0, 10}}, {65535, 65535, 65535}, plant,
                           false);
    billboard->renderKind = 8;
    billboard->textureIdA = 300;
    billboard->billboardSize[0] = 10;  // half the width
    billboard->billboardSize[1] = 40;
    sWidth = sHeight = 200;
    glViewport(0, 0, 200, 200);
  }
  void TearDown() override {
    if (billboard) DeletePlaneObject(billboard);
    if (photo_) {
      free(photo_->sourceObject);
      photo_->sourceObject = nullptr;
    }
    TextureTest::TearDown();
  }
  // A photo face (fading along 1 - v, image missing) drawn in ClearView fill mode with the
  // given line and fill colours and light; the caller sets its v values and deletes the face.
  PlaneObject* clearViewFillPhoto(int32_t textureId, RGBColor line, RGBColor fill, uint16_t light) {
    photo_ = doc.addObject(kObjPhotoSurface, true, {{0, 0}, {1, 0}}, parts);
    photo_->sourceObject = strdup((root + "/missing-photo.png").c_str());
    PlaneObject* po =
        addPolygon({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, {65535, 65535, 65535}, photo_, false);
    po->renderKind = 131;
    po->textureIdA = textureId;
    po->actual3DType = 0;
    ds()->renderMode() = kRenderClearViewFill;
    ds()->clearViewLineColor() = line;
    ds()->clearViewFillColor() = fill;
    ds()->lightIntensity() = light;
    gLiveViewOptions |= kLiveViewShading;
    LookFrom(0);
    return po;
  }

  // A camera 200 units from the plant's base, turned `degrees` about the vertical.
  static void LookFrom(double degrees) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 1, 1, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const double a = degrees * M_PI / 180;
    gluLookAt(200 * std::sin(a), 30, 200 * std::cos(a), 0, 20, 0, 0, 1, 0);
  }
};

TEST_F(PlantScene, TheBillboardFacesTheCameraAndKeepsItsWidthWhenTheCameraTurns) {
  float widths[2] = {};
  for (int turn = 0; turn < 2; ++turn) {
    LookFrom(turn * 90.0);
    const auto q = QuadCorners(Feedback([this] { RenderGLPlantObject(billboard); }));
    ASSERT_EQ(q.size(), 4u);
    // Top left, top right, bottom right, bottom left: level edges, upright sides on screen.
    EXPECT_NEAR(q[0].y, q[1].y, 0.5f);
    EXPECT_NEAR(q[2].y, q[3].y, 0.5f);
    EXPECT_GT(q[0].y, q[3].y);
    EXPECT_NEAR(q[0].x, q[3].x, 0.5f);
    EXPECT_NEAR(q[1].x, q[2].x, 0.5f);
    widths[turn] = q[2].x - q[3].x;
    // The bottom edge is centred on the plant's base point.
    GLdouble model[16], projection[16], wx, wy, wz;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluProject(0, 0, 0, model, projection, viewport, &wx, &wy, &wz);
    EXPECT_NEAR((q[2].x + q[3].x) / 2, wx, 0.5);
  }
  EXPECT_GT(widths[0], 5);
  EXPECT_NEAR(widths[0], widths[1], 1.0f);
}

// A plant away from the origin and raised off the ground stands on its footprint's centre at
// its base elevation (in plan units at the plan scale: 96 in inches, 24 in centimetres), seen
// from in front and from the side.
TEST_F(PlantScene, TheBillboardStandsOnItsFootprintsCentreAtItsBaseElevation) {
  Objex* raised = doc.addObject(kObjPlant, true, {{30, -40}, {50, -40}, {50, -20}, {30, -20}}, parts);
  OnTopographyOf(raised) = 0;
  raised->baseElevation = 24;
  PlaneObject* board =
      addPolygon({{30, 0, -40}, {50, 0, -40}, {50, 0, -20}, {30, 0, -20}}, {65535, 65535, 65535}, raised, false);
  board->renderKind = 8;
  board->textureIdA = 300;
  board->billboardSize[0] = 10;
  board->billboardSize[1] = 40;
  const struct {
    float planScale;
    int16_t units;
    float height;  // plan units
  } scales[] = {{96, 1, 18}, {24, 6, 24 * 3 / 2.54f}};
  for (const auto& sc : scales)
    for (const double turn : {0.0, 90.0}) {
      SCOPED_TRACE(testing::Message() << "scale " << sc.planScale << " turned " << turn);
      ds()->planScale = sc.planScale;
      ds()->worldUnits = sc.units;
      LookFrom(turn);
      const auto q = QuadCorners(Feedback([board] { RenderGLPlantObject(board); }));
      ASSERT_EQ(q.size(), 4u);
      GLdouble model[16], projection[16], wx, wy, wz;
      GLint viewport[4];
      glGetDoublev(GL_MODELVIEW_MATRIX, model);
      glGetDoublev(GL_PROJECTION_MATRIX, projection);
      glGetIntegerv(GL_VIEWPORT, viewport);
      gluProject(40, sc.height, -30, model, projection, viewport, &wx, &wy, &wz);
      EXPECT_NEAR((q[2].x + q[3].x) / 2, wx, 0.5);
      EXPECT_NEAR((q[2].y + q[3].y) / 2, wy, 0.5);
    }
  DeletePlaneObject(board);
}

TEST_F(PlantScene, BlackIsCutAwayAndRealTimePicturesAreLoadedOnlyWhilePickingAndScaledTo256) {
  // 128 x 128: the left half pure black, the right half (1, 1, 1).
  writeImage(shared + "/QVRA/Textures/SHRUBS/SHRUB1.QTX", 128, 128,
             [](int x, int) { return x < 64 ? QColor(0, 0, 0) : QColor(1, 1, 1); });
  LookFrom(0);
  // Outside a pick the real-time view draws the billboard without loading its picture.
  RTRenderGLPlantObject(billboard);
  EXPECT_EQ(GLTextureNameForID(300), 0u);
  gGLPickMode = 1;
  RTRenderGLPlantObject(billboard);
  gGLPickMode = 0;
  TextureImage t = textureOf(300);
  ASSERT_EQ(t.width, kRealTimePlantSide);
  ASSERT_EQ(t.height, kRealTimePlantSide);
  EXPECT_EQ(t.at(40, 128)[3], 0);
  EXPECT_EQ(t.at(200, 128)[3], 255);
  // The final render loads its pictures at their own size.
  ForgetLoadedTextures();
  RenderGLPlantObject(billboard);
  t = textureOf(300);
  ASSERT_EQ(t.width, 128);
  EXPECT_EQ(t.at(10, 10)[3], 0);
  EXPECT_EQ(t.at(100, 10), (std::array<int, 4>{1, 1, 1, 255}));
}

TEST_F(PlantScene, TheWireframeDrawsTheCategorysOutlineFilled) {
  writeSolid(stockFolder() + "/WirePlants/WireShrub.qtx", 8, 8, Qt::white);  // shrubs: 14061
  ds()->renderMode() = kRenderWireframe;
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  LookFrom(0);
  const auto polygons = Feedback([this] { RenderGLPlantObject(billboard); });
  ASSERT_EQ(QuadCorners(polygons).size(), 4u);  // a filled polygon (the parser refuses lines)
  EXPECT_NE(GLTextureNameForID(14061), 0u);
  EXPECT_EQ(GLTextureNameForID(300), 0u);
  GLint modes[2] = {};
  glGetIntegerv(GL_POLYGON_MODE, modes);
  EXPECT_EQ(modes[0], GL_LINE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  ds()->renderMode() = kRenderSolid;
}

TEST_F(PlantScene, GrowingKeepsTheAgeAtOneYearAtLeast) {
  gGLPlaneObjects = billboard;
  GrowPlantVisuals(-1);
  EXPECT_FLOAT_EQ(plant->plantAge, 1.0f);
  GrowPlantVisuals(2.5f);
  EXPECT_FLOAT_EQ(plant->plantAge, 3.5f);
  gGLPlaneObjects = nullptr;
}

TEST_F(PlantScene, GrowingResizesTheBillboardAndLeavesThePlantsFootprintAlone) {
  plant->plantInfo = static_cast<PlantInfo*>(calloc(1, sizeof(PlantInfo)));
  plant->plantInfo->annualGrowthRate = 10;
  plant->plantInfo->maximumGrowthHeight = 1000;
  plant->plantAge = 1.0f;
  plant->bounds3D.floatLeft = plant->bounds3D.floatBack = -10;
  plant->bounds3D.floatRight = plant->bounds3D.floatFront = 10;
  const Float3DRect before = plant->bounds3D;
  std::vector<std::array<float, 3>> points;
  for (const Poinz* p = plant->firstPoint; p; p = p->next) points.push_back({p->position[0], p->position[1], p->position[2]});
  gGLPlaneObjects = billboard;
  GrowPlantVisuals(3);
  gGLPlaneObjects = nullptr;
  EXPECT_FLOAT_EQ(plant->plantAge, 4.0f);
  float width = 0, height = 0;
  GetPlantBounds(plant, &width, &height, 0);
  EXPECT_FLOAT_EQ(billboard->billboardSize[0], width / 2);
  EXPECT_FLOAT_EQ(billboard->billboardSize[1], height);
  // Only the billboard changes: the plant object keeps its footprint.
  EXPECT_FLOAT_EQ(plant->bounds3D.floatLeft, before.floatLeft);
  EXPECT_FLOAT_EQ(plant->bounds3D.floatRight, before.floatRight);
  size_t i = 0;
  for (const Poinz* p = plant->firstPoint; p; p = p->next, ++i) {
    ASSERT_LT(i, points.size());
    EXPECT_FLOAT_EQ(p->position[0], points[i][0]);
    EXPECT_FLOAT_EQ(p->position[2], points[i][2]);
  }
  free(plant->plantInfo);
  plant->plantInfo = nullptr;
}

TEST_F(PlantScene, PhotosMirrorTheirImageAndHideInSeeThroughRendering) {
  writeSolid(root + "/photo.png", 8, 8, Qt::red);
  Objex* photo = doc.addObject(kObjPhotoSurface, true, {{0, 0}, {1, 0}}, parts);
  photo->sourceObject = strdup((root + "/photo.png").c_str());
  PlaneObject* po = addPolygon({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, {65535, 65535, 65535}, photo, false);
  po->renderKind = 131;
  po->textureIdA = 20050;
  for (int i = 0; i < 4; ++i) po->planes->vertices[i].u = (i == 1 || i == 2) ? 1.0f : 0.0f;
  LookFrom(0);
  for (uint8_t mirrored : {0, 1}) {
    photo->capped = mirrored;
    const auto vertices = Vertices(Feedback([po] { RenderGLPhotoObject(po); }));
    ASSERT_FALSE(vertices.empty());
    float maxS = -9, minS = 9;
    for (const FedVertex& v : vertices) maxS = std::max(maxS, v.s), minS = std::min(minS, v.s);
    EXPECT_FLOAT_EQ(mirrored ? minS : maxS, mirrored ? -1.0f : 1.0f);
  }
  EXPECT_EQ(textureOf(20050).width, 512);
  ds()->transparency() = 1;
  EXPECT_TRUE(Feedback([po] { RenderGLPhotoObject(po); }).empty());
  gDrawClearViewPhotoView = 1;
  EXPECT_FALSE(Feedback([po] { RenderGLPhotoObject(po); }).empty());
  gDrawClearViewPhotoView = 0;
  ds()->transparency() = 0;
  DeletePlaneObject(po);
  free(photo->sourceObject);
  photo->sourceObject = nullptr;
}

// Which way a photo fades, by the kind and the floor of the object it stands for: along v on the
// first floor, on no floor and for the kinds listed (the first and last of them beside their
// neighbours) on any other floor, the third included; against v otherwise and for no kind.
TEST_F(PlantScene, APhotoFadesAlongOrAgainstVByItsKindAndFloor) {
  PlaneObject* po = clearViewFillPhoto(20053, {60000, 0, 0}, {0, 0, 60000}, 40000);
  po->planes->vertices[2].v = po->planes->vertices[3].v = 1;
  const RGBColor black{};
  Objex* loose = CreateObject(kObjWall, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr);
  const struct {
    const char* what;
    Layer* layer;  // null: the object is on no layer
    int16_t kind;
    bool alongV;
  } cases[] = {
      {"no kind", doc.first, 0, false},          {"wall, first floor", doc.first, kObjWall, true},
      {"wall, no floor", nullptr, kObjWall, true}, {"wall, second floor", doc.second, kObjWall, false},
      {"wall, third floor", doc.third, kObjWall, false}, {"13, second floor", doc.second, 13, false},
      {"14, second floor", doc.second, 14, true}, {"15, second floor", doc.second, 15, false},
      {"16, second floor", doc.second, 16, true}, {"32, third floor", doc.third, 32, true},
      {"35, second floor", doc.second, 35, true}, {"36, second floor", doc.second, 36, false},
      {"41, second floor", doc.second, 41, true}, {"42, second floor", doc.second, 42, true},
      {"43, second floor", doc.second, 43, false}, {"44, second floor", doc.second, 44, true},
      {"45, second floor", doc.second, 45, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    po->actual3DObject = c.layer ? doc.addObject(kObjWall, true, {{0, 0}, {1, 0}}, c.layer) : loose;
    po->actual3DType = c.kind;
    const auto vertices = Vertices(Feedback([po] { RenderGLPhotoObject(po); }));
    ASSERT_FALSE(vertices.empty());
    float low = 1e9f, high = -1e9f;
    for (const FedVertex& v : vertices) low = std::min(low, v.y), high = std::max(high, v.y);
    for (const FedVertex& v : vertices) {
      const bool top = v.y > (low + high) / 2;  // v = 1
      const bool faded = top == c.alongV;
      // Faded: the value falls by 40000 / 65535 of itself and the colour mixes back to the line's.
      EXPECT_NEAR(v.r, faded ? 36622.0f / 65535 : 0, 0.01f) << (top ? "top" : "bottom");
      EXPECT_NEAR(v.b, faded ? 23378.0f / 65535 : 60000.0f / 65535, 0.01f) << (top ? "top" : "bottom");
    }
  }
  po->actual3DObject = photo_;
  DeletePlaneObject(po);
  DeleteObjectChain(loose);
}

TEST_F(PlantScene, APhotoFadedToNothingInClearViewFillKeepsTheFillColour) {
  PlaneObject* po = clearViewFillPhoto(20051, {0, 0, 65535}, {65535, 0, 0}, 65535);
  for (int i = 0; i < 4; ++i) po->planes->vertices[i].v = (i < 2) ? 0.0f : 0.5f;
  const auto vertices = Vertices(Feedback([po] { RenderGLPhotoObject(po); }));
  ASSERT_FALSE(vertices.empty());
  // v = 0 fades the value to 0: the ratio counts as 1 and the vertex keeps the fill colour;
  // v = 0.5 halves it, half way from the line colour.
  bool sawFull = false, sawHalf = false;
  for (const FedVertex& v : vertices) {
    if (v.r > 0.99f) {
      EXPECT_NEAR(v.b, 0.0f, 0.01f);
      sawFull = true;
    } else {
      EXPECT_NEAR(v.r, 0.5f, 0.01f);
      EXPECT_NEAR(v.b, 0.5f, 0.01f);
      sawHalf = true;
    }
  }
  EXPECT_TRUE(sawFull);
  EXPECT_TRUE(sawHalf);
  DeletePlaneObject(po);
}

// Coordinates past the photo's edge raise the faded value above the fill colour's: the mix
// runs beyond the two colours and each component stays within its range.
TEST_F(PlantScene, APhotoFadedAboveItsColourInClearViewFillStaysAColour) {
  PlaneObject* po = clearViewFillPhoto(20052, {60000, 0, 0}, {0, 0, 2000}, 40000);
  for (int i = 0; i < 4; ++i) po->planes->vertices[i].v = 40;
  const auto vertices = Vertices(Feedback([po] { RenderGLPhotoObject(po); }));
  ASSERT_FALSE(vertices.empty());
  // V0 = 2000; the value comes to 2000 + 39 x 40000 / 65535 x 2000, about 24.8 times V0.
  for (const FedVertex& v : vertices) {
    EXPECT_NEAR(v.r, 0.0f, 0.01f);
    EXPECT_NEAR(v.g, 0.0f, 0.01f);
    EXPECT_NEAR(v.b, 49607.0f / 65535, 0.01f);
  }
  DeletePlaneObject(po);
}

}  // namespace
