// The passes of an anti-aliased frame draw the kept full-quality lists: the plane objects are
// sorted and shaded when they or their settings change, not once a frame or a pass; Escape is
// looked for as often as a walk of the scene would and stops a pass.
#include <GL/gl.h>

#include "render3d/SceneFrame.h"
#include "platform/KeyWatch.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RenderTestSupport.h"

namespace {

constexpr RGBColor kRed{65535, 0, 0};
constexpr RGBColor kWhite{65535, 65535, 65535};

class ReplayedPasses : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    if (IsSkipped()) return;
    gDisableRenderInterrupt = 0;
    g3DViewPrintInterrupted = 0;
    glDepthFunc(GL_LESS);
  }
  void TearDown() override {
    gRenderOpenGLAntiAlias = 0;
    RenderTest::TearDown();
  }
  void render(int32_t passes) {
    ds()->antiAliasPasses() = passes;
    gRenderOpenGLAntiAlias = 1;
    RefreshGLScene();
    gRenderOpenGLAntiAlias = 0;
  }
};

TEST_F(ReplayedPasses, TheSceneIsShadedOncePerChangeWhateverThePassCountAndMode) {
  PlaneObject* wall = addSquare(-20, -20, 20, 20, 0, kRed);
  wall->partType = kObjWallFace;
  PlaneObject* trim = addPolygon({{-20, -20, 1}, {20, -20, 1}, {20, -16, 1}, {-20, -16, 1}}, kWhite, nullptr, false);
  trim->partType = 2;
  wall->attachments = trim;
  struct Case {
    int32_t passes;
    int16_t mode;
    size_t walks;  // ClearView draws twice a pass, in two modes; a frame of a scene and mode
                   // already drawn is not shaded again
  };
  for (const Case& c : {Case{8, kRenderSolid, 1}, Case{4, kRenderSolid, 0}, Case{1, kRenderSolid, 0},
                        Case{15, kRenderClearView, 2}, Case{15, kRenderClearView, 0},
                        Case{24, kRenderWireframe, 1}, Case{8, kRenderSolid, 0}}) {
    ds()->renderMode() = c.mode;
    ServiceCallRecorder calls;
    render(c.passes);
    EXPECT_EQ(calls.count("RenderGLTrimPlaneObject"), c.walks) << c.passes << " passes, mode " << c.mode;
    EXPECT_EQ(gBreakOpenGLRender, 0);
  }
  // The replayed passes drew the wall and its trim.
  ds()->renderMode() = kRenderSolid;
  render(8);
  EXPECT_EQ(kept(32, 32).r, 255) << kept(32, 32);
  EXPECT_EQ(kept(32, 32).g, 0);
  // The trim's colour changes: shaded once more.
  trim->colorA = trim->colorB = kRed;
  ServiceCallRecorder calls;
  render(8);
  EXPECT_EQ(calls.count("RenderGLTrimPlaneObject"), 1u);
}

TEST_F(ReplayedPasses, EscapeIsLookedForAsOftenAsEveryPassWalkedAndStopsAReplayedPass) {
  addSquare(-16, -16, 16, 16, 0, kRed);
  RefreshGLScene();
  const int framesBefore = sFramesKept;
  for (int i = 0; i < 600; ++i) addSquare(-16, -16, 16, 16, 1, kWhite);
  // Polls beyond those of the walks (the frame's own), from a frame of one pass.
  int outside = 0;
  {
    ScopedKeyWatch keys;
    render(1);
    outside = keys.polls - 2;  // 601 objects: two polls a walk
  }
  {
    ScopedKeyWatch keys;
    render(8);
    EXPECT_EQ(keys.polls, 8 * 2 + outside);
    EXPECT_EQ(gBreakOpenGLRender, 0);
    EXPECT_EQ(kept(32, 32).g, 255);
  }
  {
    // Escape at the fifth poll: in the third pass, a replayed one.
    ScopedKeyWatch keys;
    keys.keys = {-1, -1, -1, -1, kKeyCodeEscape};
    const int kept = sFramesKept;
    render(8);
    EXPECT_EQ(keys.polls, 5 + outside);
    EXPECT_EQ(gBreakOpenGLRender, 1);
    EXPECT_EQ(sFramesKept, kept);  // nothing returned
  }
  EXPECT_GT(sFramesKept, framesBefore);
}

}  // namespace
