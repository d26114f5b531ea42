// Per-face shading, the colour conversions, the Escape poll and the light pools.
#include <gtest/gtest.h>

#include <cmath>

#include "TestDocument.h"
#include "model/Services.h"
#include "platform/KeyWatch.h"
#include "render3d/Lighting.h"
#include "render3d/RenderTestSupport.h"
#include "render3d/SceneFrame.h"

namespace {
uint16_t Shade(float nx, float ny, float nz, uint16_t c) {
  uint16_t component = c;
  int dummy = 0;
  ComputeShading(1.0f, nx, ny, nz, &dummy, &component, 0);
  return component;
}

struct ShadingOn {
  int32_t saved = gLiveViewOptions;
  ShadingOn() { gLiveViewOptions |= kLiveViewShading; }
  ~ShadingOn() { gLiveViewOptions = saved; }
};
}  // namespace

TEST(Lighting, ShadingByTheFixedLightDirection) {
  TestDocument doc;
  SetupLights();
  EXPECT_FLOAT_EQ(gLightYDegrees, 150.0f);
  EXPECT_NEAR(gDirectionCosY, -0.8660254f, 1e-6);
  ShadingOn on;
  ASSERT_FLOAT_EQ(doc.ds()->lightBrightness(), 1.2f);
  // Brightness 1.2 becomes 1.05: facing the light keeps the colour, a face turned edge-on
  // gets 1.05 x 60 %.
  EXPECT_EQ(Shade(0, 0, 1, 65535), 65535);
  EXPECT_EQ(Shade(0, 1, 0, 65535), 59592);
  EXPECT_EQ(Shade(1, 0, 0, 65535), 41287);
  EXPECT_EQ(Shade(0, 0, 3, 65535), 65535);  // the normal need not be unit length
  EXPECT_EQ(Shade(1, 0, 0, 10000), 6300);   // min(c, 1.05 x 0.6 x c)
  // A zero-length normal counts as edge-on (no NaN): 1.05 x 60 %.
  EXPECT_EQ(Shade(0, 0, 0, 30000), 18900);
  EXPECT_EQ(Shade(0, 0, 0, 65535), 41287);
  // noBrightness: the bare light term.
  uint16_t c = 65535;
  int dummy;
  ComputeShading(1.0f, 0, 1, 0, &dummy, &c, 1);
  EXPECT_EQ(c, 56755);
  // Null pointers and no document change nothing.
  c = 500;
  ComputeShading(1.0f, 1, 0, 0, nullptr, &c, 0);
  EXPECT_EQ(c, 500);
}

// Each axis of the light reaches its own component of the normal, and a face lit from behind
// shades as its front does: every axis at a light turned off all three defaults, both signs.
TEST(Lighting, EachAxisOfTheLightAndBothSidesOfAFace) {
  TestDocument doc;
  ShadingOn on;
  const float saved[3] = {gLightXAngle, gLightYAngle, gLightZAngle};
  gLightXAngle = 60, gLightYAngle = 135, gLightZAngle = 80;
  SetupLights();
  EXPECT_FLOAT_EQ(gLightYDegrees, 135);
  const struct {
    float nx, ny, nz;
    int bare;  // noBrightness: |n . light| x 40000
  } cases[] = {{1, 0, 0, 20000},  {-1, 0, 0, 20000},  {0, 1, 0, 28284},  {0, -1, 0, 28284},
               {0, 0, 1, 6946},   {0, 0, -1, 6946},   {0, 0, -5, 6946},  {3, 0, 4, 17557},
               {-3, 0, -4, 17557}, {3, 0, -4, 6443},  {-3, 0, 4, 6443}};
  for (const auto& c : cases) {
    uint16_t component = 40000;
    int colour = 0;
    ComputeShading(1.0f, c.nx, c.ny, c.nz, &colour, &component, 1);
    EXPECT_NEAR(component, c.bare, 1) << c.nx << " " << c.ny << " " << c.nz;
  }
  gLightXAngle = saved[0], gLightYAngle = saved[1], gLightZAngle = saved[2];
  SetupLights();
  EXPECT_EQ(Shade(0, -1, 0, 65535), Shade(0, 1, 0, 65535));
}

// The design's brightness on both sides of each of its bends: below 0.9 it is halved, from 0.9
// up to 1.3 it is scaled down less the brighter it is, above 1.3 it is taken whole; a face
// facing the light and one edge-on to it.
TEST(Lighting, BrightnessOnBothSidesOfItsBends) {
  TestDocument doc;
  SetupLights();
  ShadingOn on;
  const struct {
    float brightness;
    int edgeOn, facing;  // of 10000
  } cases[] = {{0.6f, 1800, 3000},  {0.8f, 2400, 4000},  {1.0f, 3750, 6250},  {1.28f, 7488, 10000},
               {1.32f, 7920, 10000}, {1.5f, 9000, 10000}, {2.0f, 10000, 10000}};
  for (const auto& c : cases) {
    doc.ds()->lightBrightness() = c.brightness;
    EXPECT_NEAR(Shade(1, 0, 0, 10000), c.edgeOn, 1) << c.brightness;
    EXPECT_NEAR(Shade(-1, 0, 0, 10000), c.edgeOn, 1) << c.brightness;
    EXPECT_NEAR(Shade(0, 0, 1, 10000), c.facing, 1) << c.brightness;
    EXPECT_NEAR(Shade(0, 0, -1, 10000), c.facing, 1) << c.brightness;
  }
}

TEST(Lighting, ShadingOffChangesNothing) {
  TestDocument doc;
  SetupLights();
  const int32_t saved = gLiveViewOptions;
  gLiveViewOptions = 1023 & ~kLiveViewShading;
  EXPECT_EQ(Shade(0, 1, 0, 65535), 65535);
  EXPECT_EQ(Shade(1, 0, 0, 65535), 65535);
  gLiveViewOptions = saved;
}

TEST(Lighting, ABrightnessOutOfAllProportionStillShadesWithinTheColour) {
  TestDocument doc;
  SetupLights();
  ShadingOn on;
  // The brightness is read from the design: a product past the integer range keeps the
  // colour (min(c, s)); a negative one gives black.
  doc.ds()->lightBrightness() = 1e30f;
  EXPECT_EQ(Shade(0, 0, 1, 40000), 40000);
  EXPECT_EQ(Shade(1, 0, 0, 40000), 40000);
  doc.ds()->lightBrightness() = 3e9f;
  EXPECT_EQ(Shade(1, 0, 0, 40000), 40000);
  doc.ds()->lightBrightness() = -1e30f;
  EXPECT_EQ(Shade(0, 0, 1, 40000), 0);
  doc.ds()->lightBrightness() = std::nanf("");
  EXPECT_EQ(Shade(1, 0, 0, 40000), 40000);
}

TEST(Lighting, ShadingWithoutADocumentChangesNothing) {
  ShadingOn on;
  ZLKDocumentModel* saved = gCurDocument;
  gCurDocument = nullptr;
  EXPECT_EQ(Shade(1, 0, 0, 65535), 65535);
  gCurDocument = saved;
}

TEST(Lighting, EscapeStopsTheRenderOtherKeysAreConsumed) {
  ScopedKeyWatch keys;
  gBreakOpenGLRender = 0;
  g3DViewPrintInterrupted = 0;
  // Appending plane objects turns the interrupt off until the next render: a test before this
  // one may have left it so.
  gDisableRenderInterrupt = 0;
  gPrinting3DView = 0;
  EXPECT_EQ(BreakOpenRender(), 0);  // nothing waiting
  keys.keys = {12, kKeyCodeEscape};
  EXPECT_EQ(BreakOpenRender(), 0);  // another key is taken and ignored
  EXPECT_EQ(keys.keys.size(), 1u);
  EXPECT_EQ(BreakOpenRender(), 1);
  EXPECT_EQ(gBreakOpenGLRender, 1);
  EXPECT_EQ(g3DViewPrintInterrupted, 1);
  // Once interrupted it keeps answering 1 without reading keys.
  const int polls = keys.polls;
  EXPECT_EQ(BreakOpenRender(), 1);
  EXPECT_EQ(keys.polls, polls + 1);  // only the flush looked
  // Printing or a disabled interrupt never stops the render.
  gBreakOpenGLRender = 0;
  gDisableRenderInterrupt = 1;
  keys.keys = {kKeyCodeEscape};
  EXPECT_EQ(BreakOpenRender(), 0);
  gDisableRenderInterrupt = 0;
  gBreakOpenGLRender = 0;
  g3DViewPrintInterrupted = 0;
}

using LightPools = RenderTest;

TEST_F(LightPools, NothingWithoutGlowingFixturesAndStateRestored) {
  InitializeGLScene();
  addSquare(-10, -10, 10, 10, 0, {65535, 65535, 65535});
  RenderLights(gGLPlaneObjects);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
  GLboolean mask[4];
  glGetBooleanv(GL_COLOR_WRITEMASK, mask);
  EXPECT_TRUE(mask[0] && mask[1] && mask[2] && mask[3]);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
