// The full-quality frame read back: colours, anti-aliased edges, wireframe and ClearView,
// the walk camera, pass counts, Escape and the light view.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/KeyWatch.h"
#include "render3d/SceneFrame.h"
#include "render3d/RenderTestSupport.h"

namespace {
constexpr RGBColor kRed{65535, 0, 0};
constexpr RGBColor kWhite{65535, 65535, 65535};
}  // namespace

TEST(PassPlan, StoredCountsAndTheirTables) {
  int32_t n = 0;
  PassPlan plan = AntiAliasPassPlan(&n);
  EXPECT_EQ(n, 8);
  EXPECT_EQ(plan.passes, 8);
  EXPECT_EQ(plan.table, j8);
  for (auto [count, table] : {std::pair{4, j4}, {8, j8}, {15, j15}, {24, j24}}) {
    n = count;
    plan = AntiAliasPassPlan(&n);
    EXPECT_EQ(plan.passes, count);
    EXPECT_EQ(plan.table, table);
  }
  // Counts of no table of their own render 8 passes from j8 and stay stored.
  for (int32_t count : {5, 7, 16, 100, -3}) {
    n = count;
    plan = AntiAliasPassPlan(&n);
    EXPECT_EQ(plan.passes, 8);
    EXPECT_EQ(plan.table, j8);
    EXPECT_EQ(n, count);
  }
  n = 2;
  EXPECT_EQ(AntiAliasPassPlan(&n).passes, 2);
  EXPECT_FLOAT_EQ(j4[0].x, -0.208147f);
  EXPECT_FLOAT_EQ(j8[0].y, 0.435331f);
  EXPECT_FLOAT_EQ(j15[0].x, 0.285561f);
  EXPECT_FLOAT_EQ(j24[0].y, 0.136384f);
}

using SceneFrame = RenderTest;

TEST_F(SceneFrame, AQuadOfColourAShowsItsColourOnBlack) {
  addSquare(-16, -16, 16, 16, 0, kRed);
  RefreshGLScene();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  const Pixel centre = kept(32, 32);
  EXPECT_NEAR(centre.r, 255, 1);
  EXPECT_NEAR(centre.g, 0, 1);
  EXPECT_NEAR(centre.b, 0, 1);
  EXPECT_EQ(kept(4, 4), (Pixel{0, 0, 0, 255}));
  EXPECT_GE(sFramesKept, 1);
}

TEST_F(SceneFrame, AntiAliasedEdgesAreBlendedAndTheStoredPassesCorrected) {
  // The left edge runs through the centres of column 16.
  addSquare(-15.5f, -10, 10, 10, 0, kWhite);
  RefreshGLScene();
  EXPECT_TRUE(kept(16, 32).r == 0 || kept(16, 32).r == 255);
  for (int x = 10; x < 30; ++x) {
    const int r = kept(x, 32).r;
    EXPECT_TRUE(r == 0 || r == 255) << "plain frame, column " << x << ": " << r;
  }

  ds()->antiAliasPasses() = 0;
  gRenderOpenGLAntiAlias = 1;
  RefreshGLScene();
  gRenderOpenGLAntiAlias = 0;
  EXPECT_EQ(ds()->antiAliasPasses(), 8);
  const int edge = kept(16, 32).r;
  EXPECT_GT(edge, 10);
  EXPECT_LT(edge, 245);
  EXPECT_EQ(kept(14, 32).r, 0);
  EXPECT_EQ(kept(18, 32).r, 255);
  EXPECT_EQ(kept(32, 32).r, 255);
}

TEST_F(SceneFrame, StoredCountWithoutATableReadsNoTablePastItsEnd) {
  addSquare(-10, -10, 10, 10, 0, kWhite);
  ds()->antiAliasPasses() = 16;
  gRenderOpenGLAntiAlias = 1;
  RefreshGLScene();  // under ASan a read past j8 would fail here
  gRenderOpenGLAntiAlias = 0;
  EXPECT_EQ(ds()->antiAliasPasses(), 16);
  EXPECT_EQ(kept(32, 32).r, 255);
  for (int32_t passes : {4, 15, 24}) {
    ds()->antiAliasPasses() = passes;
    gRenderOpenGLAntiAlias = 1;
    RefreshGLScene();
    gRenderOpenGLAntiAlias = 0;
    EXPECT_EQ(kept(32, 32).r, 255) << passes;
  }
}

TEST_F(SceneFrame, WireframeDrawsPlanColouredVisibleEdgesWithoutDepthTest) {
  ds()->renderMode() = kRenderWireframe;
  ds()->wireframeBackgroundColor() = {0, 0, 65535};
  ds()->planColors[kPlanFloor] = {0, 65535, 0};
  ds()->planColors[kPlanLandscape] = {65535, 0, 65535};
  // The bottom edge (from vertex 0) is hidden.
  PlaneObject* near = addSquare(-19.5f, -19.5f, 19.5f, 19.5f, 10, kRed);
  near->planes->vertices[0].flag = 1;
  RefreshGLScene();
  EXPECT_EQ(kept(32, 32), (Pixel{0, 0, 255, 255}));  // background
  EXPECT_EQ(kept(12, 32), (Pixel{0, 255, 0, 0}));  // left edge, the wall's plan colour
  EXPECT_EQ(kept(32, 12).b, 255);  // the hidden bottom edge leaves the background
  EXPECT_EQ(kept(32, 12).g, 0);

  // A second outline behind the first, drawn after it: without the depth test it shows.
  Objex* other = planObject();
  other->planMask = 1 << kPlanLandscape;  // a wall shown on that plan only takes its colour
  addSquare(-19.5f, -19.5f, 19.5f, 19.5f, -10, kRed, other);
  RefreshGLScene();
  EXPECT_EQ(kept(12, 32).r, 255);
  EXPECT_EQ(kept(12, 32).g, 0);
  // Anti-aliased, the depth test stays on and the near outline wins.
  ds()->antiAliasPasses() = 4;
  gRenderOpenGLAntiAlias = 1;
  RefreshGLScene();
  gRenderOpenGLAntiAlias = 0;
  // The passes move the outline by up to a pixel or so either way.
  int green = 0;
  for (int x = 10; x <= 14; ++x) {
    green += kept(x, 32).g;
    EXPECT_EQ(kept(x, 32).r, 0) << x;
  }
  EXPECT_GT(green, 0);
}

TEST_F(SceneFrame, ClearViewDrawsLinesThenFillsAndRestoresTheMode) {
  gLiveViewOptions |= kLiveViewShading;
  ds()->renderMode() = kRenderClearView;
  ds()->clearViewLineColor() = {65535, 0, 0};
  ds()->clearViewFillColor() = {0, 0, 0};  // a base value of 0 fills with the fill colour
  addSquare(-19.5f, -19.5f, 19.5f, 19.5f, 0, kWhite);
  RefreshGLScene();
  EXPECT_EQ(ds()->renderMode(), kRenderClearView);
  EXPECT_EQ(kept(32, 32), (Pixel{0, 0, 0, 0}));
  EXPECT_EQ(kept(12, 32).r, 255);  // the line pass around it
}

TEST_F(SceneFrame, FillerFacesDrawTheLineColourAtHalfAlphaInClearViewFill) {
  InitializeGLScene();
  ds()->renderMode() = kRenderClearViewFill;
  ds()->clearViewLineColor() = {0, 65535, 0};
  PlaneObject* filler = addSquare(-20, -20, 20, 20, 0, kWhite);
  filler->partType = kObjFrameFace;
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  RenderGLPlaneObject(filler, 0);
  EXPECT_EQ(current(32, 32), (Pixel{0, 255, 0, 128}));
  EXPECT_EQ(current(32, 32).a, 128);
  // Outside ClearView a filler writes (0, 0, 0, 0).
  ds()->renderMode() = kRenderSolid;
  RenderGLPlaneObject(filler, 0);
  EXPECT_EQ(current(32, 32), (Pixel{0, 0, 0, 0}));
  EXPECT_EQ(current(32, 32).a, 0);
}

TEST_F(SceneFrame, WalkCameraLooksAlongMinusZAtEyeHeight) {
  sWidth = sHeight = 200;
  ds()->orthoView() = 0;
  ds()->navigationMode = kNavWalkThrough;
  ds()->walkEyePoint() = {0, 0};
  ds()->walkEyeHeight() = 96;
  ds()->walkViewAngle() = 0;
  gWalkFOV = 45;
  addSquare(-50, 46, 50, 146, -500, kWhite);
  RefreshGLScene();
  EXPECT_EQ(kept(100, 100).r, 255);
  EXPECT_EQ(kept(100, 140).r, 0);
  EXPECT_EQ(kept(100, 60).r, 0);
  int rows = 0;
  for (int y = 0; y < 200; ++y) rows += kept(100, y).r == 255;
  EXPECT_NEAR(rows, 48, 2);
}

TEST_F(SceneFrame, EmptyOrthographicViewFramesThePlanBounds) {
  RefreshGLScene();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  const OrthoBox box = ComputeOrthoBox(ds(), 64, 64);
  EXPECT_FLOAT_EQ(box.left, -32);
  EXPECT_FLOAT_EQ(box.right, 32);
  EXPECT_FLOAT_EQ(box.halfHeight, 32);
  gRenderOpenGLAntiAlias = 1;
  RefreshGLScene();
  gRenderOpenGLAntiAlias = 0;
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  // A scale of 0 or less is stored back as 1.
  ds()->orthoScale() = -2;
  RefreshGLScene();
  EXPECT_FLOAT_EQ(ds()->orthoScale(), 1);
}

// Each of the four elevations frames the design from its own side: a design off the origin
// (x 40..140, z 30..230) in a view wider than high. The box spans the design's extent across
// that side, and the matrices it loads put the design's corners exactly across the view, the
// nearer corner of each side at the left edge as that side is seen.
TEST_F(SceneFrame, EachElevationFramesTheDesignFromItsOwnSide) {
  doc.addObject(kObjClosedPoly, true, {{40, 30}, {140, 30}, {140, 230}, {40, 230}}, doc.first);
  const struct {
    int16_t view;
    double left, right, rotation;
    float leftX, leftZ;  // the corner seen at the view's left edge
  } cases[] = {{1, 40, 140, 0, 40, 30},
               {2, 30, 230, 270, 140, 30},
               {3, -140, -40, 180, 140, 230},
               {4, -230, -30, 90, 40, 230}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "elevation " << c.view);
    ds()->orthoView() = c.view;
    const OrthoBox box = ComputeOrthoBox(ds(), 80, 50);
    EXPECT_DOUBLE_EQ(box.left, c.left);
    EXPECT_DOUBLE_EQ(box.right, c.right);
    EXPECT_DOUBLE_EQ(box.rotation, c.rotation);
    EXPECT_DOUBLE_EQ(box.halfHeight, (c.right - c.left) / 2 * 50 / 80);
    glViewport(0, 0, 80, 50);
    LoadOrthoElevation(ds(), box, 0, 0);
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    double lo = 1e9, hi = -1e9, wx, wy, wz;
    for (const float x : {40.0f, 140.0f})
      for (const float z : {30.0f, 230.0f}) {
        gluProject(x, 0, z, model, projection, viewport, &wx, &wy, &wz);
        lo = std::min(lo, wx), hi = std::max(hi, wx);
        EXPECT_NEAR(wy, 25, 1e-3);
      }
    EXPECT_NEAR(lo, 0, 1e-3);
    EXPECT_NEAR(hi, 80, 1e-3);
    gluProject(c.leftX, 0, c.leftZ, model, projection, viewport, &wx, &wy, &wz);
    EXPECT_NEAR(wx, 0, 1e-3);
  }
}

TEST_F(SceneFrame, AntiAliasedElevationIsFramedByTheDesignOfEachFrame) {
  // The box is measured once a frame (before the set-up when the topography is shown, after
  // the lot when it is not) and goes with the frame: the next frame measures again.
  addSquare(-16, -16, 16, 16, 0, kRed);
  ds()->antiAliasPasses() = 8;
  for (bool topography : {true, false}) {
    SCOPED_TRACE(topography);
    if (topography) ds()->renderExclusions() &= ~kLVOffTopography;
    else ds()->renderExclusions() |= kLVOffTopography;
    gRenderOpenGLAntiAlias = 1;
    ds()->planBounds = {-32, -32, 32, 32};
    RefreshGLScene();
    EXPECT_EQ(kept(8, 32).r, 0);
    EXPECT_EQ(kept(32, 32).r, 255);
    // The plan bounds of an empty design frame it: half as wide, the square fills the view.
    ds()->planBounds = {-16, -16, 16, 16};
    RefreshGLScene();
    EXPECT_EQ(kept(8, 32).r, 255);
    EXPECT_EQ(kept(32, 8).r, 255);
    ds()->planBounds = {-32, -32, 32, 32};
    RefreshGLScene();
    gRenderOpenGLAntiAlias = 0;
    EXPECT_EQ(kept(8, 32).r, 0);
    EXPECT_EQ(kept(32, 32).r, 255);
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneFrame, OrthographicPassMovesTheBoxAgainstTheJitterByTheFrustumShift) {
  // A 64 x 32 view over the plan bounds: the box spans -32..32 across, -16..16 up.
  sWidth = 64, sHeight = 32;
  const double T = std::tan(45.0 * M_PI / 180 / 2);
  for (auto [jx, jy] : {std::pair{0.5, -0.25}, {-0.334818, 0.435331}}) {
    InitializeAntiAliasGLScene(45.0, 2.0, jx, jy, 1.0);
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    // n = 3 view widths: dx = -(2 n T aspect jx / width), dy = -(2 n T jy / height).
    const double dx = -(2 * 3 * 64 * T * 2.0 * jx / 64), dy = -(2 * 3 * 64 * T * jy / 32);
    EXPECT_NEAR(m[0], 2.0 / 64, 1e-9);
    EXPECT_NEAR(m[5], 2.0 / 32, 1e-9);
    EXPECT_NEAR(m[12], -2 * dx / 64, 1e-6) << jx;
    EXPECT_NEAR(m[13], -2 * dy / 32, 1e-6) << jy;
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneFrame, EscapeAtThe300thPlaneObjectReturnsNothing) {
  addSquare(-16, -16, 16, 16, 0, kRed);
  RefreshGLScene();
  ASSERT_EQ(kept(32, 32).r, 255);
  const int framesBefore = sFramesKept;
  // 400 white plane objects over the red one; Escape waits for the first poll.
  for (int i = 0; i < 400; ++i) addSquare(-16, -16, 16, 16, 1, kWhite);
  ds()->renderMode() = kRenderClearView;
  ds()->antiAliasPasses() = 8;
  ScopedKeyWatch keys;
  keys.keys = {kKeyCodeEscape};
  gRenderOpenGLAntiAlias = 1;
  RefreshGLScene();
  gRenderOpenGLAntiAlias = 0;
  EXPECT_EQ(gBreakOpenGLRender, 1);
  EXPECT_EQ(sFramesKept, framesBefore);  // nothing returned, nothing kept
  EXPECT_EQ(kept(32, 32).r, 255);
  EXPECT_EQ(kept(32, 32).g, 0);
  ASSERT_FALSE(sStatus.empty());
  EXPECT_EQ(sStatus.back(), "Rendering interrupted");
  EXPECT_EQ(ds()->renderMode(), kRenderClearView);

  // Without anti-aliasing nothing polls.
  keys.keys = {kKeyCodeEscape};
  keys.polls = 0;
  ds()->renderMode() = kRenderSolid;
  RefreshGLScene();
  EXPECT_EQ(keys.polls, 0);
  EXPECT_EQ(gBreakOpenGLRender, 0);
  EXPECT_EQ(kept(32, 32).g, 255);
}

TEST_F(SceneFrame, LightViewIsNeitherPresentedNorGivenABackground) {
  addSquare(-16, -16, 16, 16, 0, kRed);
  RefreshGLScene();
  const int framesBefore = sFramesKept;
  ServiceCallRecorder calls;
  ds()->renderMode() = kRenderLightView;
  RenderGLScene();
  EXPECT_EQ(sFramesKept, framesBefore);
  EXPECT_FALSE(calls.called("RenderGLBackground"));
  ds()->renderMode() = kRenderSolid;
  ServiceCallRecorder solid;
  RenderGLScene();
  EXPECT_TRUE(solid.called("RenderGLBackground"));
}

TEST_F(SceneFrame, ShadowRenderStandsInWithThePlainFrame) {
  addSquare(-16, -16, 16, 16, 0, kRed);
  ds()->shadowRender() = 1;
  ServiceCallRecorder calls;
  RefreshGLScene();
  EXPECT_TRUE(calls.called("RenderShadows"));
  EXPECT_EQ(kept(32, 32).r, 255);
  ds()->renderMode() = kRenderWireframe;
  ServiceCallRecorder wire;
  RefreshGLScene();
  EXPECT_FALSE(wire.called("RenderShadows"));
}

TEST_F(SceneFrame, NothingWithoutTheWindowController) {
  gLiveViewHost.viewBounds = nullptr;
  addSquare(-16, -16, 16, 16, 0, kRed);
  RefreshGLScene();
  EXPECT_EQ(sFramesKept, 0);
}

TEST_F(SceneFrame, NoFramePresentedWithoutADocumentOrItsState) {
  addSquare(-16, -16, 16, 16, 0, kRed);
  ZLKDocumentModel* document = gCurDocument;
  gCurDocument = nullptr;
  FinalizeGLScene();
  gCurDocument = document;
  DocState* state = document->itsDocState;
  document->itsDocState = nullptr;
  FinalizeGLScene();
  document->itsDocState = state;
  EXPECT_EQ(sFramesKept, 0);
  FinalizeGLScene();
  EXPECT_EQ(sFramesKept, 1);
}

TEST_F(SceneFrame, AccumulatorKeepsLoadAccumulateMultiplyReturn) {
  InitializeGLScene();
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  AccumClear();
  AccumLoad(0.5f);        // red 0.5
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  AccumAccumulate(0.5f);  // green 0.5
  AccumMultiply(2.0f);    // (1, 1, 0)
  AccumReturn(0.5f);
  EXPECT_EQ(current(5, 5), (Pixel{128, 128, 0, 255}));
}

// The accumulated image goes back byte for byte over the viewport it was taken from, past the
// depth, stencil and blend tests, and leaves the state the next frames draw with as it found it.
TEST_F(SceneFrame, AccumulatorReturnWritesItsViewportExactlyAndKeepsTheState) {
  InitializeGLScene();
  glViewport(8, 4, 20, 12);
  glEnable(GL_SCISSOR_TEST);
  const struct { int x; float r, g, b; } halves[] = {{8, 0.2f, 0.4f, 0.6f}, {18, 0.9f, 0.1f, 0.5f}};
  for (const auto& h : halves) {
    glScissor(h.x, 4, 10, 12);
    glClearColor(h.r, h.g, h.b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glDisable(GL_SCISSOR_TEST);
  const Pixel left = current(10, 8), right = current(20, 8);
  AccumClear();
  AccumLoad(1.0f);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
  glEnable(GL_DEPTH_TEST), glDepthFunc(GL_NEVER);
  glEnable(GL_STENCIL_TEST), glStencilFunc(GL_NEVER, 0, 0xFF);
  glEnable(GL_BLEND), glBlendFunc(GL_ZERO, GL_ZERO);
  GLint readBefore = 0, drawBefore = 0;
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBefore);
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawBefore);
  AccumReturn(1.0f);
  GLint read = 0, draw = 0, bound = 0, unpack = 0, depthFunc = 0;
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
  glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
  EXPECT_EQ(read, readBefore);
  EXPECT_EQ(draw, drawBefore);
  EXPECT_EQ(static_cast<GLuint>(bound), texture);
  EXPECT_EQ(unpack, 2);
  EXPECT_EQ(depthFunc, GL_NEVER);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_STENCIL_TEST) && glIsEnabled(GL_BLEND));
  glDisable(GL_DEPTH_TEST), glDepthFunc(GL_LESS);
  glDisable(GL_STENCIL_TEST), glStencilFunc(GL_ALWAYS, 0, 0xFF);
  glDisable(GL_BLEND), glBlendFunc(GL_ONE, GL_ZERO);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &texture);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  struct Probe { int x, y; Pixel want; };
  const Probe probes[] = {{8, 4, left},   {17, 15, left}, {18, 4, right}, {27, 15, right},
                          {7, 8, {0, 0, 0, 255}}, {28, 8, {0, 0, 0, 255}},
                          {12, 3, {0, 0, 0, 255}}, {12, 16, {0, 0, 0, 255}}};
  for (const Probe& p : probes) EXPECT_EQ(current(p.x, p.y), p.want) << p.x << "," << p.y;
}

// A final frame leaves the state real-time frames draw with as the real-time frame before it
// left it, so that walking on after a final image draws as fast and the same.
TEST_F(SceneFrame, AFinalFrameLeavesTheRealTimeStateAsItFoundIt) {
  addSquare(-16, -16, 16, 16, 0, kRed);
  addSquare(-8, -8, 8, 8, 5, kWhite);
  auto snapshot = [] {
    std::vector<GLint> v;
    for (GLenum cap : {GL_LIGHTING, GL_TEXTURE_2D, GL_STENCIL_TEST, GL_BLEND, GL_ALPHA_TEST, GL_DEPTH_TEST,
                       GL_CULL_FACE, GL_COLOR_MATERIAL, GL_FOG, GL_POLYGON_OFFSET_FILL, GL_CLIP_PLANE0,
                       GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_SCISSOR_TEST, GL_VERTEX_ARRAY, GL_NORMAL_ARRAY,
                       GL_COLOR_ARRAY, GL_TEXTURE_COORD_ARRAY})
      v.push_back(glIsEnabled(cap));
    // (Shading and dithering are left smooth and on, as a real-time frame drawing a carved
    // object leaves them: its lists hold one colour per primitive.)
    for (GLenum name : {GL_MATRIX_MODE, GL_TEXTURE_BINDING_2D, GL_READ_BUFFER, GL_DRAW_BUFFER,
                        GL_READ_FRAMEBUFFER_BINDING, GL_DRAW_FRAMEBUFFER_BINDING, GL_UNPACK_ALIGNMENT,
                        GL_PACK_ALIGNMENT, GL_UNPACK_ROW_LENGTH, GL_MODELVIEW_STACK_DEPTH,
                        GL_PROJECTION_STACK_DEPTH, GL_ATTRIB_STACK_DEPTH, GL_CLIENT_ATTRIB_STACK_DEPTH,
                        GL_ACTIVE_TEXTURE, GL_DEPTH_FUNC, GL_DEPTH_WRITEMASK, GL_POLYGON_MODE}) {
      GLint value[2] = {-1, -1};
      glGetIntegerv(name, value);
      v.push_back(value[0]);
    }
    GLfloat transfer[4];
    for (GLenum name : {GL_RED_SCALE, GL_RED_BIAS, GL_ZOOM_X, GL_ZOOM_Y}) {
      glGetFloatv(name, transfer);
      v.push_back(static_cast<GLint>(transfer[0] * 1000));
    }
    return v;
  };
  RTInitializeGLScene();
  RTSetViewpoint(ds());
  RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
  RTFinalizeGLScene();
  const std::vector<GLint> before = snapshot();
  ds()->antiAliasPasses() = 4;
  gRenderOpenGLAntiAlias = 1;
  RenderGLScene();
  gRenderOpenGLAntiAlias = 0;
  RTSetViewpoint(ds());
  RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
  RTFinalizeGLScene();
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(kept(32, 32), (Pixel{255, 255, 255, 255}));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
