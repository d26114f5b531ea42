// The lot seen from straight above: its two flat colours, the shaped lot with the holes that
// excavations cut (trimmed patches, no NURBS error, no patch lost), the earth block, the
// real-time lot, and the grid's flatness test.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/Delete.h"
#include "model/Palettes.h"
#include "model/TopoGrid.h"
#include "render3d/Lighting.h"
#include "render3d/LotRendering.h"
#include "render3d/RenderTestSupport.h"
#include "render3d/TextureTestSupport.h"
#include "render3d/TopoCutouts.h"

namespace {

class Lot : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    if (!TestGLContext()) return;
    sWidth = sHeight = 100;
    DocState* d = ds();
    d->orthoView() = 0;
    d->planBounds = {-50, -50, 50, 50};
    d->topoGridSpacing = 10;
    d->lotColor = {0, 65535, 0};
    d->lotTextureID = 0;
    d->lightBrightness() = 1.2f;
    d->lightIntensity() = 40000;
    d->clearViewOpacity() = 255;
    d->renderExclusions() = 0;
    d->navigationStep = 8;
    FreeTopoGrid();
  }
  void TearDown() override {
    FreeTopoGrid();
    ResetLotDisplayList();
    ResetFlatLotDisplayList();
    ResetBaseLotDisplayList();
    RenderTest::TearDown();
  }

  // A view of the plan bounds from straight above (or below): one plan unit a pixel, x to the
  // right, the plan's top (smaller z) at the top of the image.
  void LookAtPlan(bool fromBelow = false) {
    const FloatRect& b = ds()->planBounds;
    ASSERT_TRUE(BindRenderTarget(sWidth, sHeight));
    glViewport(0, 0, sWidth, sHeight);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(b.floatLeft, b.floatRight, -b.floatBottom, -b.floatTop, -20000, 20000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(fromBelow ? -90.0f : 90.0f, 1, 0, 0);
    if (fromBelow) glScalef(1, 1, -1);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
  }
  // The pixel over plan point (x, z).
  Pixel At(float x, float z) {
    const FloatRect& b = ds()->planBounds;
    return current(static_cast<int>(x - b.floatLeft), static_cast<int>(b.floatBottom - z));
  }

  // A grid over the plan bounds with every node at `height`, and a design that names a grid
  // file so that the terrain counts as in use.
  void ShapedGrid(float height) {
    SetupTopoGrid();
    ASSERT_NE(gTopographyGrid, nullptr);
    const int64_t nodes = (static_cast<int64_t>(gTopoRowCnt) + 1) * (gTopoColumnCnt + 1);
    for (int64_t i = 0; i < nodes; ++i) gTopographyGrid[i] = height;
    snprintf(ds()->topoPath, sizeof ds()->topoPath, "%s", "lot.topo");
  }
  Objex* Excavation(float x0, float z0, float x1, float z1) {
    return doc.addObject(kObjTopoExcavation, true, {{x0, z0}, {x1, z0}, {x1, z1}, {x0, z1}}, doc.first);
  }
};

bool Near(const Pixel& p, int r, int g, int b, int tolerance = 2) {
  return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance && std::abs(p.b - b) <= tolerance;
}
bool Open(const Pixel& p) { return p.r == 0 && p.g == 0 && p.b == 0; }

TEST_F(Lot, TheFlatLotShowsItsTwoColoursAtOppositeEdges) {
  ds()->renderExclusions() = kLVOffTopography;
  gLiveViewOptions &= ~kLiveViewShading;
  LookAtPlan();
  RenderGLLot();
  // Colour A (the lot at the base value 0.7833) along the plan's bottom edge, colour B (times
  // 1 - 40000 / 3 / 65535) along its top edge.
  EXPECT_TRUE(Near(current(50, 0), 0, 199, 0)) << current(50, 0);
  EXPECT_TRUE(Near(current(50, 99), 0, 159, 0)) << current(50, 99);
  // The base value: b = (brightness - 0.5) / 2; b + (1 - b) / 1.5 above 0.25, else 3b.
  EXPECT_NEAR(LotBaseValue(1.2f), 0.78333, 1e-5);
  EXPECT_NEAR(LotBaseValue(1.0f), 0.75, 1e-5);   // b = 0.25 exactly: 3b
  EXPECT_NEAR(LotBaseValue(1.02f), 0.75333, 1e-5);  // b = 0.26
  EXPECT_NEAR(LotBaseValue(0.7f), 0.3, 1e-5);
  // Shadows on: both edges take colour A.
  ds()->shadowRender() = 1;
  LookAtPlan();
  RenderGLLot();
  EXPECT_TRUE(Near(current(50, 99), 0, 199, 0)) << current(50, 99);
  ds()->shadowRender() = 0;
  // Per-face shading on and no texture: A is the colour itself, B lowered by the intensity.
  gLiveViewOptions |= kLiveViewShading;
  LookAtPlan();
  RenderGLLot();
  EXPECT_TRUE(Near(current(50, 0), 0, 255, 0)) << current(50, 0);
  EXPECT_TRUE(Near(current(50, 99), 0, 99, 0)) << current(50, 99);  // 65535 - 40000
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Lot, TheFlatLotAsOneTrimmedPatchHasItsColoursLeftAndRightAndTheHoles) {
  gLiveViewOptions &= ~kLiveViewShading;
  Excavation(-10, -10, 10, 10);
  const int32_t errors = LotNurbsErrorCount();
  LookAtPlan();
  RenderGLLot();
  EXPECT_TRUE(Near(current(0, 50), 0, 199, 0)) << current(0, 50);
  EXPECT_TRUE(Near(current(99, 50), 0, 159, 0)) << current(99, 50);
  EXPECT_TRUE(Open(At(0, 0))) << At(0, 0);
  EXPECT_FALSE(Open(At(15, 0))) << At(15, 0);
  EXPECT_EQ(LotNurbsErrorCount(), errors);
  // The marks of the frame are cleared again.
  EXPECT_EQ(doc.first->firstObject->options[2], 0);
}

TEST_F(Lot, AnExcavationOfThreeByThreeCellsLeavesItsInsideOpen) {
  gLiveViewOptions &= ~kLiveViewShading;
  ShapedGrid(5);
  ASSERT_EQ(gTopoRowCnt, 10);
  // Cells 3..5 both ways (plan -20 to 10), on the grid lines.
  Excavation(-20, -20, 10, 10);
  const int32_t errors = LotNurbsErrorCount();
  LookAtPlan();
  RenderGLLot();
  for (float x : {-15.0f, -5.0f, 5.0f})
    for (float z : {-15.0f, -5.0f, 5.0f}) EXPECT_TRUE(Open(At(x, z))) << x << ", " << z << " " << At(x, z);
  for (const auto& [x, z] : {std::pair{15.0f, -5.0f}, {-25.0f, -5.0f}, {-5.0f, -25.0f}, {-5.0f, 15.0f}})
    EXPECT_TRUE(Near(At(x, z), 0, 199, 0)) << x << ", " << z << " " << At(x, z);
  EXPECT_EQ(LotNurbsErrorCount(), errors);
}

TEST_F(Lot, ACellAnOutlineCrossesIsTrimmedAlongItAndKeepsItsColour) {
  gLiveViewOptions &= ~kLiveViewShading;
  ShapedGrid(5);
  Excavation(-17, -17, 13, 13);  // through the middle of the cells around it
  const int32_t errors = LotNurbsErrorCount();
  LookAtPlan();
  RenderGLLot();
  EXPECT_EQ(LotTrimmedPatchCount(), 12);  // the ring of cells the outline passes through
  EXPECT_TRUE(Near(At(-19, -5), 0, 199, 0)) << At(-19, -5);
  EXPECT_TRUE(Open(At(-15, -5))) << At(-15, -5);
  EXPECT_TRUE(Open(At(11, 11))) << At(11, 11);
  EXPECT_TRUE(Near(At(15, 15), 0, 199, 0)) << At(15, 15);
  EXPECT_EQ(LotNurbsErrorCount(), errors);
}

TEST_F(Lot, TrimmedPatchesAreKeptAtPositiveCoordinatesAndForCutoutsPastThePlan) {
  gLiveViewOptions &= ~kLiveViewShading;
  struct Case {
    FloatRect bounds;
    float x0, z0, x1, z1;   // the excavation
    float openX, openZ;     // inside it
    float lotX, lotZ;       // in a trimmed cell outside it
  };
  const Case cases[] = {
      {{100, 300, 200, 400}, 333, 133, 367, 167, 350, 150, 331, 150},  // all coordinates positive
      {{-50, -50, 50, 50}, 33, -7, 75, 7, 45, 0, 31, 0},                // past the right edge
  };
  for (const Case& c : cases) {
    ds()->planBounds = c.bounds;
    ShapedGrid(5);
    Objex* cut = Excavation(c.x0, c.z0, c.x1, c.z1);
    const int32_t errors = LotNurbsErrorCount();
    LookAtPlan();
    RenderGLLot();
    EXPECT_GT(LotTrimmedPatchCount(), 0);
    EXPECT_TRUE(Open(At(c.openX, c.openZ))) << At(c.openX, c.openZ);
    EXPECT_TRUE(Near(At(c.lotX, c.lotZ), 0, 199, 0)) << At(c.lotX, c.lotZ);
    EXPECT_EQ(LotNurbsErrorCount(), errors);
    UnlinkObject(cut);
    DeleteObj(cut);
  }
}

TEST_F(Lot, AGridOfZeroHeightsDrawsTheFlatLot) {
  ShapedGrid(0);
  EXPECT_EQ(IsTopoGridZeroFlat(), 1);
  ds()->renderExclusions() = kLVOffTopography;
  gLiveViewOptions &= ~kLiveViewShading;
  LookAtPlan();
  RenderGLLot();
  EXPECT_TRUE(Near(current(50, 99), 0, 159, 0)) << current(50, 99);  // the flat lot's colour B
  gTopographyGrid[7] = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(IsTopoGridZeroFlat(), 0);
  gTopographyGrid[7] = -0.0f;
  EXPECT_EQ(IsTopoGridZeroFlat(), 1);
  gTopographyGrid[7] = 0.5f;
  EXPECT_EQ(IsTopoGridZeroFlat(), 0);
  FreeTopoGrid();
  EXPECT_EQ(IsTopoGridZeroFlat(), 1);
}

TEST_F(Lot, TheShapedLotStandsAtItsNodeHeights) {
  gLiveViewOptions &= ~kLiveViewShading;
  ShapedGrid(0);
  gTopographyGrid[5 * 11 + 5] = 30;  // one raised node in the middle
  LookAtPlan();
  RenderGLLot();
  GLfloat depthHigh = 0, depthLow = 0;
  glReadPixels(50, 50, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depthHigh);
  glReadPixels(10, 10, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depthLow);
  // Seen from above, the pixel next to the raised node is nearer by almost its 30 units (of
  // the 40000 of the depth range); a pixel far from it lies at height 0.
  EXPECT_GT(depthLow - depthHigh, 25.0 / 40000);
  EXPECT_LT(depthLow - depthHigh, 30.0 / 40000);
}

// Every node of a grid with rows and columns of different counts, each at a height of its own,
// is where the lot's cells and the earth block's sides put their corners: the last row and the
// last column included (a cell or side short of them, or a row taken for a column, misplaces
// or drops a corner). Caught in feedback mode from a view that keeps plan x, plan z and the
// height apart: window x = x + 60, window y = 60 - z, depth (1 - height / 6000) / 2.
TEST_F(Lot, EveryNodeOfTheLastRowAndColumnStandsWhereTheGridPutsIt) {
  gLiveViewOptions &= ~kLiveViewShading;
  ds()->planBounds = {-30, -50, 30, 50};  // top, left, bottom, right
  ShapedGrid(0);
  const int32_t rows = gTopoRowCnt, columns = gTopoColumnCnt;
  ASSERT_EQ(rows, 6);
  ASSERT_EQ(columns, 10);
  auto height = [](int32_t r, int32_t c) { return 1.0f + 2.0f * r + 0.25f * c; };
  for (int32_t r = 0; r <= rows; ++r)
    for (int32_t c = 0; c <= columns; ++c) gTopographyGrid[r * (columns + 1) + c] = height(r, c);
  struct Case {
    const char* what;
    void (*draw)();
    bool sides;  // the earth block's sides: the corners of the outer ring and their bottoms
  };
  const Case cases[] = {{"final lot", RenderGLLot, false},
                        {"real-time lot", RTRenderGLLot, false},
                        {"earth block", RenderGLLotBase, true},
                        {"real-time earth block", RTRenderGLLotBase, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(BindRenderTarget(120, 120));
    glViewport(0, 0, 120, 120);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-60, 60, -60, 60, -6000, 6000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(90, 1, 0, 0);
    glDisable(GL_CULL_FACE);
    const std::vector<FedPolygon> polygons = Feedback(c.draw);
    const std::vector<FedVertex> vertices = Vertices(polygons);
    ASSERT_FALSE(vertices.empty());
    if (c.sides) {
      // The sides along the last row (z = 30) and the last column (x = 50) close the block from
      // end to end: the spans of their polygons join up without a gap.
      std::vector<std::pair<float, float>> lastRow, lastColumn;
      for (const FedPolygon& p : polygons) {
        float lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f};
        bool onRow = true, onColumn = true;
        for (const FedVertex& v : p) {
          const float x = v.x - 60, z = 60 - v.y;
          onColumn = onColumn && std::fabs(x - 50) < 1e-3f;
          onRow = onRow && std::fabs(z - 30) < 1e-3f;
          lo[0] = std::min(lo[0], x), hi[0] = std::max(hi[0], x);
          lo[1] = std::min(lo[1], z), hi[1] = std::max(hi[1], z);
        }
        if (onRow) lastRow.emplace_back(lo[0], hi[0]);
        if (onColumn) lastColumn.emplace_back(lo[1], hi[1]);
      }
      auto covered = [](std::vector<std::pair<float, float>> spans, float from, float to) {
        std::sort(spans.begin(), spans.end());
        float reached = from;
        for (const auto& [a, b] : spans)
          if (a <= reached + 1e-3f) reached = std::max(reached, b);
        return reached >= to - 1e-3f;
      };
      EXPECT_TRUE(covered(lastRow, -50, 50)) << "side along the last row";
      EXPECT_TRUE(covered(lastColumn, -30, 30)) << "side along the last column";
    }
    std::vector<int> seen(static_cast<size_t>(rows + 1) * (columns + 1), 0);
    for (const FedVertex& v : vertices) {
      const float x = v.x - 60, z = 60 - v.y, h = 6000 * (1 - 2 * v.z);
      if (c.sides && h < -4000) continue;  // a side's bottom
      const int32_t col = static_cast<int32_t>(std::lround((x + 50) / 10));
      const int32_t row = static_cast<int32_t>(std::lround((z + 30) / 10));
      ASSERT_TRUE(col >= 0 && col <= columns && row >= 0 && row <= rows) << x << ", " << z;
      EXPECT_NEAR(x, -50 + 10 * col, 1e-3);
      EXPECT_NEAR(z, -30 + 10 * row, 1e-3);
      EXPECT_NEAR(h, height(row, col), 0.02) << "node " << row << ", " << col;
      ++seen[static_cast<size_t>(row) * (columns + 1) + col];
    }
    for (int32_t r = 0; r <= rows; ++r)
      for (int32_t k = 0; k <= columns; ++k) {
        const bool outer = r == 0 || k == 0 || r == rows || k == columns;
        if (!c.sides || outer) continue;
        EXPECT_EQ(seen[static_cast<size_t>(r) * (columns + 1) + k], 0) << r << ", " << k;
      }
    // The last row and the last column, node by node (the real-time block has only corners).
    for (int32_t k = 0; k <= columns; ++k) {
      if (c.draw == RTRenderGLLotBase && k != 0 && k != columns) continue;
      EXPECT_GT(seen[static_cast<size_t>(rows) * (columns + 1) + k], 0) << "last row, column " << k;
    }
    for (int32_t r = 0; r <= rows; ++r) {
      if (c.draw == RTRenderGLLotBase && r != 0 && r != rows) continue;
      EXPECT_GT(seen[static_cast<size_t>(r) * (columns + 1) + columns], 0) << "last column, row " << r;
    }
    ResetLotDisplayList();
    ResetBaseLotDisplayList();
  }
}

// Shading a node pales it (its saturation drops by the light term) and keeps the lot's value;
// ClearView fill, which goes by the value, then shows its fill colour.
TEST_F(Lot, ShadedNodesKeepTheLotsValueAndPale) {
  gLiveViewOptions |= kLiveViewShading;
  SetupLights();
  ShapedGrid(5);
  ds()->lotColor = {65535, 0, 0};
  LookAtPlan();
  RenderGLLot();
  // A level node faces the light at 0.866: saturation 0.866, value 0.7833.
  EXPECT_TRUE(Near(At(5, 5), 200, 27, 27)) << At(5, 5);
  ds()->clearViewFillColor() = {65535, 0, 65535};
  ds()->clearViewLineColor() = {0, 0, 65535};
  ds()->renderMode() = kRenderClearViewFill;
  LookAtPlan();
  RenderGLLot();
  EXPECT_TRUE(Near(At(5, 5), 255, 0, 255)) << At(5, 5);
  ds()->renderMode() = kRenderSolid;
}

// A lot whose material is a palette colour: the filled modes show the palette's colour; a
// wireframe with textured wires shows the lot colour as stored.
TEST_F(Lot, APaletteLinkColoursTheFilledLotAndNotTheTexturedWireframe) {
  gLiveViewOptions &= ~kLiveViewShading;
  ds()->renderExclusions() = kLVOffTopography;
  DocPaletteList* palette = AddNewDocPaletteList();
  ASSERT_NE(palette, nullptr);
  palette->active = 1;
  PaletteList* entry = GetPaletteEntryFromRefID(1);
  ASSERT_NE(entry, nullptr);
  entry->kind = kPaletteEntryColor;
  entry->color = {255, 0, 0};
  ds()->lotTextureID = -1001;
  ds()->lotColor = {0, 0, 65535};
  LookAtPlan();
  RenderGLLot();
  EXPECT_TRUE(Near(current(50, 0), 199, 0, 0)) << current(50, 0);
  const int16_t mode = ds()->renderMode();
  ds()->renderMode() = kRenderWireframe;
  gTexturedWire = 1;
  LookAtPlan();
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  RenderGLLot();
  bool blue = false, red = false;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) {
      const Pixel p = current(x, y);
      blue = blue || (p.b > 100 && p.r < 50);
      red = red || (p.r > 100 && p.b < 50);
    }
  EXPECT_TRUE(blue);
  EXPECT_FALSE(red);
  gTexturedWire = 0;
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  ds()->renderMode() = mode;
  ds()->lotTextureID = 0;
  DeleteAllDocPalettes();
}

TEST_F(Lot, TheEarthBlockIsDrawnUnlessTopographyIsExcluded) {
  LookAtPlan(true);
  RenderGLLotBase();
  EXPECT_TRUE(Near(current(50, 50), kEarthRed, kEarthGreen, kEarthBlue, 0)) << current(50, 50);
  ds()->renderExclusions() = kLVOffTopography;
  LookAtPlan(true);
  RenderGLLotBase();
  EXPECT_TRUE(Open(current(50, 50)));
  ds()->renderExclusions() = 0;
  ds()->renderMode() = kRenderWireframe;
  LookAtPlan(true);
  RenderGLLotBase();
  EXPECT_TRUE(Open(current(50, 50)));
  ds()->renderMode() = kRenderSolid;
}

TEST_F(Lot, TheRealTimeLotIsCompiledOnceAndGreenFromSpeedNine) {
  LookAtPlan();
  ds()->navigationStep = 9;
  RTRenderGLLot();
  ASSERT_NE(gFlatLotDisplayList, 0u);
  EXPECT_TRUE(Near(current(50, 50), 64, 120, 48, 1)) << current(50, 50);
  const uint32_t list = gFlatLotDisplayList;
  RTRenderGLLot();
  EXPECT_EQ(gFlatLotDisplayList, list);
  ResetFlatLotDisplayList();
  // The shaped lot: every cell a polygon, no holes in real time.
  ShapedGrid(5);
  Excavation(-20, -20, 10, 10);
  ds()->navigationStep = 8;
  gLiveViewOptions &= ~kLiveViewShading;
  LookAtPlan();
  RTRenderGLLot();
  ASSERT_NE(gLotDisplayList, 0u);
  EXPECT_TRUE(Near(At(-5, -5), 0, 199, 0)) << At(-5, -5);
  EXPECT_EQ(gFlatLotDisplayList, 0u);
}

TEST_F(Lot, EveryCellCarriesTheClearViewOpacityAndTheModesColour) {
  gLiveViewOptions &= ~kLiveViewShading;
  ShapedGrid(5);
  ds()->clearViewOpacity() = 0x3380;  // the low byte: 128
  ds()->clearViewFillColor() = {65535, 0, 65535};
  ds()->clearViewLineColor() = {0, 0, 65535};
  const struct {
    int16_t mode;
    int r, g, b;
  } cases[] = {{kRenderSolid, 0, 199, 0}, {kRenderClearViewFill, 255, 0, 255}, {kRenderLightView, 0, 199, 0}};
  for (const auto& c : cases) {
    ds()->renderMode() = c.mode;
    LookAtPlan();
    RenderGLLot();
    const Pixel p = At(5, 5);
    EXPECT_TRUE(Near(p, c.r, c.g, c.b)) << c.mode << " " << p;
    EXPECT_EQ(p.a, 128) << c.mode;
  }
  ds()->renderMode() = kRenderSolid;
}

TEST_F(Lot, AResidentCustomTextureCoversTheLotUntilSpeedNine) {
  gLiveViewOptions &= ~kLiveViewShading;
  ds()->renderExclusions() = kLVOffTopography;
  ds()->lotColor = {65535, 65535, 65535};
  ds()->lotTextureID = 20001;
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  const uint8_t magenta[4 * 4] = {255, 0, 255, 255, 255, 0, 255, 255, 255, 0, 255, 255, 255, 0, 255, 255};
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, magenta);
  SetGLTextureNameForID(20001, name);
  LookAtPlan();
  RenderGLLot();
  // Colour A (white at the base value) times the texture.
  EXPECT_TRUE(Near(current(50, 0), 199, 0, 199)) << current(50, 0);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  // In real time from speed 9 the lot is the plain fallback green.
  ds()->navigationStep = 9;
  LookAtPlan();
  RTRenderGLLot();
  EXPECT_TRUE(Near(current(50, 50), 64, 120, 48, 1)) << current(50, 50);
  ResetFlatLotDisplayList();
  // Below it the texture shows in real time too.
  ds()->navigationStep = 8;
  LookAtPlan();
  RTRenderGLLot();
  EXPECT_TRUE(Near(current(50, 50), 199, 0, 199)) << current(50, 50);
  SetGLTextureNameForID(20001, 0);
  glDeleteTextures(1, &name);
}

// The flat lot's texture repeats across its width and down its depth: the lot's extent over the
// texture's size in plan units (at the plan scale: 96 in inches, 24 in centimetres), the depth
// running up the texture, each divided by its own scale percentage (a scale of 0 leaves it).
class LotTexture : public TextureTest {};

TEST_F(LotTexture, RepeatsAcrossAndDownByTheirOwnScaleAtEachPlanScale) {
  writeSolid(stockFolder() + "/Sky/SKY1.QTX", 4, 4, Qt::white);
  writeText(stockFolder() + "/Sky/SKY1.QTI", "[Size]\nWidth=48\nHeight=24\n");
  DocState* d = ds();
  d->planBounds = {-30, -40, 30, 80};  // 120 across, 60 down
  d->lotTextureID = 1550;
  d->renderExclusions() = kLVOffTopography;
  const struct {
    float planScale;
    int16_t units;
    ShortPoint scale;
    float across, down;
  } cases[] = {{96, 1, {50, 200}, 120 / 36.0f / 0.5f, -60 / 18.0f / 2},
               {96, 1, {0, 100}, 120 / 36.0f, -60 / 18.0f},
               {24, 6, {50, 200}, 120 / (48 * 3 / 2.54f) / 0.5f, -60 / (24 * 3 / 2.54f) / 2},
               {24, 6, {100, 0}, 120 / (48 * 3 / 2.54f), -60 / (24 * 3 / 2.54f)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "scale " << c.planScale << ", " << c.scale.x << " x " << c.scale.y);
    d->planScale = c.planScale;
    d->worldUnits = c.units;
    d->lotTextureScale = c.scale;
    const auto st = MappedCoordinates([] { RenderGLFlatLot(); });
    ASSERT_EQ(st.size(), 4u);
    // Sorted: (0, down), (0, 0), (across, down), (across, 0).
    EXPECT_NEAR(st[0][0], 0, 1e-5);
    EXPECT_NEAR(st[0][1], c.down, 1e-4);
    EXPECT_NEAR(st[1][1], 0, 1e-5);
    EXPECT_NEAR(st[3][0], c.across, 1e-4);
    EXPECT_NEAR(st[2][1], c.down, 1e-4);
    EXPECT_NEAR(st[3][1], 0, 1e-5);
  }
}

// ---- Cut-outs ----

class Cutouts : public Lot {};

TEST_F(Cutouts, OnlyFoundationWallsAndExcavationsCut) {
  Objex* excavation = Excavation(0, 0, 10, 10);
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {10, 0}, {10, 10}}, doc.first);
  wall->subtype = kSubExteriorWall;
  const struct {
    int32_t mask;
    int32_t subtype;
    bool cuts;
  } walls[] = {{1, kSubExteriorWall, true}, {3, kSubExteriorWall, false}, {2, kSubExteriorWall, false},
               {1, 0, false}};
  for (const auto& w : walls) {
    wall->planMask = w.mask;
    wall->subtype = w.subtype;
    EXPECT_EQ(IsTopoCutout(wall), w.cuts) << w.mask << " " << w.subtype;
  }
  EXPECT_TRUE(IsTopoCutout(excavation));
  EXPECT_FALSE(IsTopoCutout(doc.addObject(kObjTopography, true, {{0, 0}, {1, 0}, {1, 1}}, doc.first)));
}

TEST_F(Cutouts, FramesDropSelfCrossingNestedAndTheSmallerOfOverlappingCutouts) {
  Objex* big = Excavation(-40, -40, 0, 0);
  Objex* inner = Excavation(-30, -30, -20, -20);    // inside the big one
  Objex* overlap = Excavation(-10, -10, 20, 20);    // crosses the big one, smaller box
  Objex* apart = Excavation(25, 25, 45, 45);         // touches nothing
  Objex* eight = doc.addObject(kObjTopoExcavation, true, {{30, -40}, {45, -25}, {45, -40}, {30, -25}}, doc.second);
  FindIntersectingTopoCutouts();
  EXPECT_EQ(big->options[2], 0);
  EXPECT_EQ(inner->options[2], kCutoutExcluded);
  EXPECT_EQ(overlap->options[2], kCutoutExcluded);
  EXPECT_EQ(apart->options[2], 0);
  EXPECT_EQ(eight->options[2], kCutoutExcluded);
  // A cell of the big one is wholly inside it; one at the apart one's edge is touched.
  const PatchCorners inside = {{-20, 0, 20, 0, 0, 0}, {-20, 0, 10, 0, 0, 0}, {-10, 0, 20, 0, 0, 0}, {-10, 0, 10, 0, 0, 0}};
  const PatchCorners edge = {{20, 0, -20, 0, 0, 0}, {20, 0, -30, 0, 0, 0}, {30, 0, -20, 0, 0, 0}, {30, 0, -30, 0, 0, 0}};
  const PatchCorners free = {{10, 0, 40, 0, 0, 0}, {10, 0, 30, 0, 0, 0}, {20, 0, 40, 0, 0, 0}, {20, 0, 30, 0, 0, 0}};
  uint8_t whole = 0;
  EXPECT_EQ(DoesNurbPatchTouchCutouts(inside, &whole), 1);
  EXPECT_EQ(whole, 1);
  whole = 0;
  EXPECT_EQ(DoesNurbPatchTouchCutouts(edge, &whole), 1);
  EXPECT_EQ(whole, 0);
  EXPECT_EQ(DoesNurbPatchTouchCutouts(free, &whole), 0);
  EXPECT_EQ(DoesNurbPatchTouchObjectCutout(overlap, edge, &whole), 0);  // marked
  // The dropped ones neither touch nor trim; the rest give one loop each.
  std::vector<TrimLoop> loops;
  CollectTrimLoops(inside, false, &loops);
  EXPECT_EQ(loops.size(), 2u);
  ResetIntersectingFlags();
  for (Objex* o : {big, inner, overlap, apart, eight}) EXPECT_EQ(o->options[2], 0);
  // Without the frame's marks the overlapping one touches the cell at its corner.
  EXPECT_EQ(DoesNurbPatchTouchObjectCutout(overlap, edge, &whole), 1);
  EXPECT_EQ(DoesNurbPatchTouchObjectCutout(big, inside, &whole), 1);
}

TEST_F(Cutouts, TrimLoopsRunClockwiseInTheCellsParametersWhateverTheOutlinesWinding) {
  // One cell: x 0..10, z 0..10 (stored z negated).
  const PatchCorners cell = {{0, 0, 0, 0, 0, 0}, {0, 0, -10, 0, 0, 0}, {10, 0, 0, 0, 0, 0}, {10, 0, -10, 0, 0, 0}};
  for (bool reversed : {false, true}) {
    Objex* o = reversed ? doc.addObject(kObjTopoExcavation, true, {{2, 2}, {2, 8}, {8, 8}, {8, 2}}, doc.first)
                        : Excavation(2, 2, 8, 8);
    std::vector<TrimLoop> loops;
    CollectTrimLoops(cell, true, &loops);
    ASSERT_EQ(loops.size(), 1u);
    const TrimLoop& l = loops[0];
    ASSERT_EQ(l.size(), 10u);
    EXPECT_FLOAT_EQ(l[0], 0.2f);
    EXPECT_FLOAT_EQ(l[1], 0.2f);
    EXPECT_FLOAT_EQ(l[8], l[0]);
    EXPECT_FLOAT_EQ(l[9], l[1]);
    double area = 0;
    for (size_t i = 0; i + 3 < l.size(); i += 2) area += l[i] * l[i + 3] - l[i + 2] * l[i + 1];
    EXPECT_LT(area, 0) << reversed;  // clockwise
    EXPECT_NEAR(std::fabs(area) / 2, 0.36, 1e-5);
    UnlinkObject(o);
    DeleteObj(o);
  }
  // A loop far from the cell is left out when only overlapping ones are asked for.
  Excavation(40, 40, 45, 45);
  std::vector<TrimLoop> loops;
  CollectTrimLoops(cell, true, &loops);
  EXPECT_TRUE(loops.empty());
  CollectTrimLoops(cell, false, &loops);
  EXPECT_EQ(loops.size(), 1u);
}

TEST_F(Cutouts, TheGeometricTestsOnTheirBounds) {
  const Float3DRect a{0, 0, 0, 0, 10, 10};  // x 0..10, z 0..10
  Float3DRect b{5, 10, 10, 5, 20, 20};       // touches at x = 10, z 10..20
  EXPECT_EQ(DoBoundsTouch(a, b), 1);
  b.floatLeft = 10.01f;
  EXPECT_EQ(DoBoundsTouch(a, b), 0);
  const TrimSegment s{0, 0, 10, 0}, t{5, -5, 5, 5}, far{5, 3, 5, 9};
  EXPECT_EQ(DoSegmentsBoundsTouch(s, t), 1);
  EXPECT_EQ(DoSegmentsBoundsTouch(s, far), 0);
  EXPECT_EQ(IsPointInSegmentsBounds(s, t, 5, 0), 1);
  EXPECT_EQ(IsPointInSegmentsBounds(s, t, 5, 1.9f), 1);  // within the slack of 2
  EXPECT_EQ(IsPointInSegmentsBounds(s, t, 5, 5.5f), 0);
  // A square, and a bow whose closing segment crosses its second one.
  Objex* square = Excavation(0, 0, 10, 10);
  Objex* eight = doc.addObject(kObjTopoExcavation, true, {{0, 5}, {5, 0}, {5, 10}, {10, 5}}, doc.first);
  Objex* small = Excavation(2, 2, 4, 4);
  EXPECT_EQ(DoesObjIntersectItself(square), 0);
  EXPECT_EQ(DoesObjIntersectItself(eight), 1);
  EXPECT_EQ(IsObjectPWLCompatible(square), 1);
  EXPECT_EQ(IsObjectPWLCompatible(eight), 0);
  EXPECT_EQ(IsObjectPWLCompatible(nullptr), 1);
  EXPECT_EQ(IsObjectInsideObject(square, small), 1);
  EXPECT_EQ(IsObjectInsideObject(small, square), 0);
  const float c0[6] = {-5, 0, -5, 0, 0, 0}, c1[6] = {15, 0, -5, 0, 0, 0};
  EXPECT_EQ(DoesNurbSegmentIntersectObject(c0, c1, square), 1);  // z 5 after the sign
  const float c2[6] = {-5, 0, 5, 0, 0, 0}, c3[6] = {15, 0, 5, 0, 0, 0};
  EXPECT_EQ(DoesNurbSegmentIntersectObject(c2, c3, square), 0);  // z -5: beside it
  const PatchCorners cell = {{1, 0, -1, 0, 0, 0}, {1, 0, -3, 0, 0, 0}, {3, 0, -1, 0, 0, 0}, {3, 0, -3, 0, 0, 0}};
  EXPECT_EQ(IsWholeNurbInsideObject(cell, square), 1);
  EXPECT_EQ(IsWholeNurbInsideObject(cell, small), 0);
  EXPECT_EQ(AreAnyPointsInsideObjectBounds(cell, small), 1);
  const PatchCorners around = {{-1, 0, 1, 0, 0, 0}, {-1, 0, -11, 0, 0, 0}, {11, 0, 1, 0, 0, 0}, {11, 0, -11, 0, 0, 0}};
  EXPECT_EQ(AreAnyPointsInsideObjectBounds(around, small), 1);  // straddles it
}

// Which plane objects are copied, by their own kind and their plan object's.
TEST_F(Cutouts, RealTimeTrimCopiesGoByPartKindAndSourceSubtype) {
  struct Case {
    const char* what;
    int16_t subtype, partType, renderKind;
    int copies;
  };
  const Case cases[] = {
      {"exterior wall, part 36", kSubExteriorWall, 36, 0, 6},
      {"exterior wall, excavation pass", kSubExteriorWall, kObjExcavationPass, 0, 6},
      {"exterior wall, excavation face", kSubExteriorWall, kObjTopoExcavation, 0, 1},
      {"exterior wall, render kind 3", kSubExteriorWall, kObjWallFace, 3, 1},
      {"exterior wall, plain face", kSubExteriorWall, kObjWallFace, 0, 0},
      {"other wall, part 36", 0, 36, 0, 0},
      {"other wall, render kind 3", 0, kObjWallFace, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Objex* wall = planObject(kObjWall);
    wall->subtype = c.subtype;
    PlaneObject* face = addSquare(0, 0, 10, 10, 0, {1, 2, 3}, wall);
    face->partType = c.partType;
    face->renderKind = c.renderKind;
    SetupTopoTrimObjectList();
    int count = 0;
    for (PlaneObject* p = gGLTopoTrimPlaneObjects; p; p = p->next) {
      ++count;
      EXPECT_EQ(p->sourceObject, wall);
    }
    EXPECT_EQ(count, c.copies);
    DeleteTopoTrimObjectList();
    DeleteAllRendererObjects();
  }
}

TEST_F(Cutouts, RealTimeTrimCopiesLowerExcavationFacesAndFollowTheirSource) {
  ds()->walkEyeHeight() = 60;
  Objex* source = Excavation(0, 0, 10, 10);
  source->subtype = kObjTopoExcavation;
  PlaneObject* pass = addSquare(0, 0, 10, 10, 0, {1, 2, 3}, source);
  pass->partType = kObjExcavationPass;
  PlaneObject* wallFace = addSquare(0, 0, 10, 10, 0, {4, 5, 6}, source);
  wallFace->partType = kObjTopoExcavation;
  PlaneObject* other = addSquare(0, 0, 10, 10, 0, {7, 8, 9});  // from a wall of another kind
  other->partType = kObjExcavationPass;
  SetupTopoTrimObjectList();
  std::vector<PlaneObject*> copies;
  for (PlaneObject* p = gGLTopoTrimPlaneObjects; p; p = p->next) copies.push_back(p);
  ASSERT_EQ(copies.size(), 7u);
  const float levels[6] = {-59.99f, -59.9f, -59.25f, -60.01f, -60.1f, -60.75f};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(copies[i]->sourceObject, source);
    EXPECT_EQ(copies[i]->colorA, (RGBColor{1, 2, 3}));
    ASSERT_EQ(copies[i]->planes->vertexCount, 4);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(copies[i]->planes->vertices[k].y, levels[i], 1e-4) << i;
  }
  const Plane* lowered = copies[6]->planes;
  EXPECT_EQ(copies[6]->colorA, (RGBColor{4, 5, 6}));
  EXPECT_FLOAT_EQ(lowered->vertices[0].y, 10000);
  EXPECT_FLOAT_EQ(lowered->vertices[1].y, -10000);
  EXPECT_FLOAT_EQ(lowered->vertices[2].y, -10000);
  EXPECT_FLOAT_EQ(lowered->vertices[3].y, 10000);
  EXPECT_EQ(lowered->vertices[0].x, wallFace->planes->vertices[0].x);
  EXPECT_NE(lowered->vertices, wallFace->planes->vertices);  // a copy
  // Set up again, the old copies go first; copying one more appends it at the end.
  SetupTopoTrimObjectList();
  PlaneObject* extra = CopyPlaneObjectToTopoTrimList(other);
  int count = 0;
  PlaneObject* last = nullptr;
  for (PlaneObject* p = gGLTopoTrimPlaneObjects; p; p = p->next) ++count, last = p;
  EXPECT_EQ(count, 8);
  EXPECT_EQ(last, extra);
  DeleteTopoTrimObjectList();
  EXPECT_EQ(gGLTopoTrimPlaneObjects, nullptr);
}

}  // namespace
