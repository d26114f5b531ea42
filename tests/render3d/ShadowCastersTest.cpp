// The shadow-casting scene of the light views kept in lists by place: a sun grid of 10 x 10
// tiles drawn through the lists that reach each tile is, byte for byte, the grid drawn through
// every list and the grid drawn by the plane object walk itself, with and without a cut-away.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cstdlib>
#include <vector>

#include "model/DocState.h"
#include "render3d/Cutaway.h"
#include "render3d/RenderTestSupport.h"
#include "render3d/SceneFrame.h"
#include "render3d/ShadowRender.h"

namespace {

constexpr RGBColor kGrey{52428, 52428, 52428};

// A ground of 800 x 800 seen from straight above, strewn with boxes of many sizes (so that
// many cross the borders of the sun's tiles), long walls across the whole ground, walls with
// windows and a stack of slabs with holes cut through the stencil (more of them than the
// stencil has values), and a floor on the first floor with a hole.
class ShadowCasterLists : public RenderTest {
 protected:
  uint32_t seed = 12345;
  float Random(float lo, float hi) {
    seed = seed * 1664525u + 1013904223u;
    return lo + (hi - lo) * static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
  }

  void SetUp() override {
    RenderTest::SetUp();
    if (IsSkipped()) return;
    sWidth = 160, sHeight = 120;
    DocState* d = ds();
    d->orthoView() = 0;
    d->navigationMode = kNavWalkThrough;
    d->controlledNavigation() = 1;
    d->walkPitchAngle() = 90;
    d->walkViewAngle() = 0;
    d->walkEyePoint() = {0, 0};
    d->walkEyeHeight() = 1300;
    d->shadowQuality = 5;
    d->sunlightOn() = 1;
    d->sunBrightness() = 100;
    d->sunOverheadAngle() = 50;
    d->sunDirectionAngle() = 30;
    d->sunShadowQuality() = 6;  // 10 x 10 tiles
    d->renderExclusions() = 0;
    d->cutAwayPosition() = 0;
    d->cutAwayDirection() = kCutAwayNorth;
    d->planBounds = {5000, 5000, 5001, 5001};  // the lot lies far out of sight
    gWalkFOV = 45;
    // The plan extent the sun's box and the cut-away are measured from.
    doc.addObject(kObjClosedPoly, true, {{-400, -400}, {400, -400}, {400, 400}, {-400, 400}}, doc.first);

    addPolygon({{-400, 0, -400}, {400, 0, -400}, {400, 0, 400}, {-400, 0, 400}}, kGrey);
    for (int i = 0; i < 400; ++i) addBox(Random(-390, 390), Random(-390, 390), Random(2, 70), Random(5, 90));
    for (int i = 0; i < 6; ++i) {
      const float z = Random(-350, 350);
      addPolygon({{-380, 0, z}, {380, 0, z + 40}, {380, 30, z + 40}, {-380, 30, z}}, kGrey);
    }
    // Walls with a window each: the window is cut out through the stencil.
    for (int i = 0; i < 60; ++i) {
      const float x = Random(-380, 360), z = Random(-380, 380), h = Random(20, 60);
      PlaneObject* wall = addPolygon({{x, 0, z}, {x + 20, 0, z}, {x + 20, h, z}, {x, h, z}}, kGrey);
      wall->children =
          addPolygon({{x + 5, h / 4, z}, {x + 15, h / 4, z}, {x + 15, h / 2, z}, {x + 5, h / 2, z}}, kGrey, nullptr, false);
    }
    // A stack of 300 slabs from the top down, each with a hole of its own place: more objects
    // with cut-outs than the stencil has values, so that the last slab, laid over the top of
    // the stack, shares its value with a slab near the top whose hole it covers.
    for (int i = 0; i < 300; ++i) {
      const float y = i == 299 ? 170 : 150 - 0.5f * static_cast<float>(i), x0 = 140, z0 = -380, x1 = 380, z1 = -140;
      PlaneObject* slab = addPolygon({{x0, y, z0}, {x1, y, z0}, {x1, y, z1}, {x0, y, z1}}, kGrey);
      const float hx = x0 + 60 + 6 * static_cast<float>(i % 20), hz = z0 + 60 + 8 * static_cast<float>(i / 20);
      slab->children = addPolygon({{hx, y, hz}, {hx + 4, y, hz}, {hx + 4, y, hz + 4}, {hx, y, hz + 4}}, kGrey, nullptr, false);
    }
    // A floor at 80 on the first floor, with a hole.
    Objex* floor = doc.addObject(kObjFloor, true, {{-200, -200}, {100, -200}, {100, 100}, {-200, 100}}, doc.first);
    addPolygon({{-200, 80, -200}, {100, 80, -200}, {100, 80, 100}, {-200, 80, 100}}, kGrey, floor)->partType = kObjFloor;
    addPolygon({{-120, 80, -120}, {-20, 80, -120}, {-20, 80, -20}, {-120, 80, -20}}, kGrey, floor)->partType = kObjCutout;
  }

  void TearDown() override {
    gShadowCasterDrawing = CasterDrawing::kCulled;
    RenderTest::TearDown();
  }

  void addBox(float cx, float cz, float half, float height) {
    const float x0 = cx - half, x1 = cx + half, z0 = cz - half, z1 = cz + half, t = height;
    Objex* source = planObject();
    addPolygon({{x0, t, z0}, {x1, t, z0}, {x1, t, z1}, {x0, t, z1}}, kGrey, source);
    addPolygon({{x0, 0, z0}, {x1, 0, z0}, {x1, t, z0}, {x0, t, z0}}, kGrey, source);
    addPolygon({{x0, 0, z1}, {x1, 0, z1}, {x1, t, z1}, {x0, t, z1}}, kGrey, source);
    addPolygon({{x0, 0, z0}, {x0, 0, z1}, {x0, t, z1}, {x0, t, z0}}, kGrey, source);
    addPolygon({{x1, 0, z0}, {x1, 0, z1}, {x1, t, z1}, {x1, t, z0}}, kGrey, source);
  }

  struct Grid {
    int32_t w = 0, h = 0;
    std::vector<float> depth;
    size_t lists = 0, calls = 0;
  };

  // The sun grid as the shadow render makes it, from the camera it has when it reaches the sun.
  Grid SunGrid(CasterDrawing drawing) {
    gShadowCasterDrawing = drawing;
    RenderGLScene();
    glGetIntegerv(GL_VIEWPORT, gCamViewPort);
    glGetDoublev(GL_MODELVIEW_MATRIX, gCamMVMatrix);
    glGetDoublev(GL_PROJECTION_MATRIX, gCamProjMatrix);
    gVPWidth = gCamViewPort[2], gVPHeight = gCamViewPort[3];
    gLightDBuffer = static_cast<float*>(shadow::AllocPixelBuffer(gVPWidth, gVPHeight, sizeof(float)));
    gRenderingShadowMap = 1;
    FillSunMapWithGrid();
    gRenderingShadowMap = 0;
    Grid grid;
    grid.w = gSunDBufferWidth, grid.h = gSunDBufferHeight;
    if (gSunDBuffer) grid.depth.assign(gSunDBuffer, gSunDBuffer + static_cast<size_t>(grid.w) * grid.h);
    grid.lists = ShadowCasterListCount();
    grid.calls = ShadowCasterListsDrawn();
    std::free(gSunDBuffer);
    gSunDBuffer = nullptr;
    FreeShadowBuffers();
    DeleteShadowCasterLists();
    gShadowCasterDrawing = CasterDrawing::kCulled;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return grid;
  }

  // The index of the first value in which two grids differ, -1 when they are the same.
  static int64_t FirstDifference(const Grid& a, const Grid& b) {
    if (a.w != b.w || a.h != b.h || a.depth.size() != b.depth.size()) return 0;
    for (size_t i = 0; i < a.depth.size(); ++i)
      if (std::memcmp(&a.depth[i], &b.depth[i], sizeof(float)) != 0) return static_cast<int64_t>(i);
    return -1;
  }
};

TEST_F(ShadowCasterLists, EachTileDrawnFromTheListsThatReachItGivesTheWholeScenesDepth) {
  std::vector<float> uncut;
  for (int32_t cut : {0, 450}) {
    SCOPED_TRACE(::testing::Message() << "cut-away " << cut);
    ds()->cutAwayPosition() = cut;
    const Grid culled = SunGrid(CasterDrawing::kCulled);
    const Grid every = SunGrid(CasterDrawing::kEveryList);
    const Grid walked = SunGrid(CasterDrawing::kWalked);
    ASSERT_EQ(culled.w, 10 * 160);
    ASSERT_EQ(culled.h, 10 * 120);
    EXPECT_EQ(FirstDifference(culled, every), -1);
    EXPECT_EQ(FirstDifference(culled, walked), -1);
    // The lists are many, and the tiles together call a small part of what drawing every list
    // in every tile calls.
    EXPECT_GT(culled.lists, 20u);
    EXPECT_EQ(every.lists, culled.lists);
    EXPECT_EQ(every.calls % every.lists, 0u);
    EXPECT_GT(every.calls, 20 * every.lists);
    EXPECT_LT(culled.calls * 5, every.calls) << culled.calls << " of " << every.calls;
    EXPECT_EQ(walked.calls, 0u);
    // Something stands in most tiles, above the ground.
    int tilesWithRelief = 0;
    for (int ty = 0; ty < 10; ++ty)
      for (int tx = 0; tx < 10; ++tx) {
        float lo = 1, hi = 0;
        for (int y = ty * 120; y < (ty + 1) * 120; ++y)
          for (int x = tx * 160; x < (tx + 1) * 160; ++x) {
            const float d = culled.depth[static_cast<size_t>(y) * culled.w + x];
            if (d < 1) lo = std::min(lo, d), hi = std::max(hi, d);
          }
        tilesWithRelief += lo < hi;
      }
    EXPECT_GT(tilesWithRelief, 30);
    if (cut == 0) uncut = culled.depth;
    else EXPECT_NE(culled.depth, uncut) << "the cut-away cuts nothing";
  }
}

}  // namespace
