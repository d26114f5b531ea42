// The real-time frame: display lists compiled once per interaction, clears, background and
// lot choices, picking, and the orthographic and zero-height views.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <dlfcn.h>

#include "render3d/RenderTestSupport.h"

namespace {
int sNewLists = 0;
}  // namespace

// Counts the display lists compiled by the renderer, then hands over to GL.
extern "C" void glNewList(GLuint list, GLenum mode) {
  ++sNewLists;
  using NewList = void (*)(GLuint, GLenum);
  static auto real = reinterpret_cast<NewList>(dlsym(RTLD_NEXT, "glNewList"));
  real(list, mode);
}

namespace {
void Frame(DocState* ds) {
  RTSetViewpoint(ds);
  RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
  RTFinalizeGLScene();
}
}  // namespace

using RealTime = RenderTest;

TEST_F(RealTime, OneInteractionCompilesSceneAndViewpointOnce) {
  ds()->orthoView() = 0;
  ds()->walkEyeHeight() = 0;
  addSquare(-50, -50, 50, 50, -300, {65535, 0, 0});
  RTInitializeGLScene();
  sNewLists = 0;
  for (int i = 0; i < 20; ++i) Frame(ds());
  // The scene list, the one plan object's own list, the viewpoint, the flat lot, the earth
  // under it and the background.
  EXPECT_EQ(sNewLists, 6);
  EXPECT_NE(gSceneDisplayList, 0u);
  EXPECT_NE(gViewpointDisplayList, 0u);
  EXPECT_EQ(kept(32, 32).r, 255);  // flat, unshaded red
  ResetSceneDisplayList();
  EXPECT_EQ(gSceneDisplayList, 0u);
  Frame(ds());
  Frame(ds());
  // Only the scene list again: the object's list is still its own.
  EXPECT_EQ(sNewLists, 7);
  // A new interaction starts from fresh lists.
  RTInitializeGLScene();
  EXPECT_EQ(gSceneDisplayList, 0u);
  EXPECT_EQ(gViewpointDisplayList, 0u);
  EXPECT_EQ(gRenderDirty, 1);
}

TEST_F(RealTime, SpeedTenClearsToTheBackgroundColourWithoutTheImage) {
  ds()->orthoView() = 0;
  ds()->navigationStep = 10;
  ds()->backgroundColor() = {0, 65535, 0};
  ServiceCallRecorder calls;
  RTInitializeGLScene();
  Frame(ds());
  EXPECT_FALSE(calls.called("RTRenderGLBackground"));
  EXPECT_EQ(kept(5, 5), (Pixel{0, 255, 0, 255}));
  // At speed 8 the image is drawn over a black clear.
  ds()->navigationStep = 8;
  ServiceCallRecorder image;
  RTInitializeGLScene();
  Frame(ds());
  EXPECT_TRUE(image.called("RTRenderGLBackground"));
}

TEST_F(RealTime, CustomBackgroundImagesForceAColourClear) {
  ds()->orthoView() = 0;
  ds()->navigationStep = 8;
  RTInitializeGLScene();
  auto paintRedThenFrame = [this] {
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    Frame(ds());
    return kept(5, 5);
  };
  // The stock image's quad covers the view (a depth-only clear; the quad shows its colour while
  // the image is not loaded); a custom image is cleared to black first.
  ds()->backgroundColor() = {0, 0, 65535};
  ds()->backgroundTextureID = 1550;
  EXPECT_EQ(paintRedThenFrame(), (Pixel{0, 0, 255, 255}));
  ResetBackgroundDisplayList();
  ds()->backgroundTextureID = 20000;
  EXPECT_EQ(paintRedThenFrame(), (Pixel{0, 0, 255, 255}));
}

TEST_F(RealTime, PickingDrawsNoBackgroundNoFullLotAndNamesTheLotOne) {
  ds()->orthoView() = 0;
  ds()->navigationStep = 6;
  RTInitializeGLScene();
  GLuint buffer[64] = {};
  glSelectBuffer(64, buffer);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);
  gGLPickMode = 1;
  gPickX = 32, gPickY = 32;
  ServiceCallRecorder calls;
  RTInitializeGLScene();
  RTSetViewpoint(ds());
  // What is drawn before the first plane object (the lot) answers to name 1.
  glBegin(GL_QUADS);
  glVertex3f(-100, -100, -50), glVertex3f(100, -100, -50), glVertex3f(100, 100, -50);
  glVertex3f(-100, 100, -50);
  glEnd();
  const GLint hits = glRenderMode(GL_RENDER);
  gGLPickMode = 0;
  EXPECT_FALSE(calls.called("RTRenderGLBackground"));
  EXPECT_FALSE(calls.called("RenderGLLot"));
  ASSERT_EQ(hits, 1);
  EXPECT_EQ(buffer[0], 1u);
  EXPECT_EQ(buffer[3], 1u);
}

TEST_F(RealTime, TheRealTimeLotTakesItsColourForEachRenderMode) {
  ds()->orthoView() = 0;
  ds()->navigationStep = 8;
  ds()->clearViewOpacity() = 0x1280;  // alpha: the low byte, 128
  ds()->wireframeLotColor() = {65535, 0, 257 * 64};
  ds()->clearViewFillColor() = {0, 257 * 32, 65535};
  ds()->lotColor = {257 * 16, 257 * 16, 257 * 16};
  struct Case {
    int16_t mode;
    bool sent;  // a colour is left set (by the frame in the line modes, else by the lot)
    float r, g, b, a;
  };
  // Solid: the lot's own colour at the base value 0.7833 (51335 of 65535: byte 199), opaque.
  const float v0 = 199 / 255.0f;
  const Case cases[] = {{kRenderWireframe, true, 1.0f, 0.0f, 64 / 255.0f, 128 / 255.0f},
                        {kRenderClearView, true, 0.0f, 32 / 255.0f, 1.0f, 128 / 255.0f},  // the fill pass last
                        {5, true, v0, v0, v0, 1.0f}};
  for (const Case& c : cases) {
    ds()->renderMode() = c.mode;
    RTInitializeGLScene();
    glColor4f(0.5f, 0.5f, 0.5f, 0.5f);
    RTSetViewpoint(ds());
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    if (c.sent) {
      EXPECT_NEAR(colour[0], c.r, 1e-3) << c.mode;
      EXPECT_NEAR(colour[1], c.g, 1e-3) << c.mode;
      EXPECT_NEAR(colour[2], c.b, 1e-3) << c.mode;
      EXPECT_NEAR(colour[3], c.a, 1e-3) << c.mode;
    } else {
      // The last colour is the background quad's (opaque black), none of the frame's.
      EXPECT_FLOAT_EQ(colour[0], 0.0f) << c.mode;
      EXPECT_FLOAT_EQ(colour[3], 1.0f) << c.mode;
    }
    EXPECT_EQ(ds()->renderMode(), c.mode);
  }
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  ds()->renderMode() = 5;
}

TEST_F(RealTime, OrthographicFrameDrawsNoLotAndNoBackground) {
  ds()->orthoView() = 2;
  ds()->navigationStep = 8;
  ServiceCallRecorder calls;
  RTInitializeGLScene();
  Frame(ds());
  EXPECT_FALSE(calls.called("RTRenderGLBackground"));
  EXPECT_FALSE(calls.called("RTRenderGLLot"));
  EXPECT_FALSE(calls.called("RenderGLLot"));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RealTime, AZeroHeightViewCountsAsOneRow) {
  sHeight = 0;
  RTInitializeGLScene();
  GLint vp[4];
  glGetIntegerv(GL_VIEWPORT, vp);
  EXPECT_EQ(vp[3], 1);
  EXPECT_FLOAT_EQ(gRTAspect, 64.0f);
}

TEST_F(RealTime, OneCallFrameCompilesTheSceneWhenMissing) {
  ds()->orthoView() = 0;
  ds()->walkEyeHeight() = 0;
  ds()->antiAliasPasses() = 0;
  addSquare(-50, -50, 50, 50, -300, {0, 0, 65535});
  RTInitializeGLScene();  // the one-call frame clears nothing itself
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  sNewLists = 0;
  RTRenderGLScene();
  EXPECT_EQ(ds()->antiAliasPasses(), 8);
  EXPECT_EQ(sNewLists, 1);
  EXPECT_EQ(kept(32, 32).b, 255);
  EXPECT_EQ(gRenderingOpenGL, 0);
}
