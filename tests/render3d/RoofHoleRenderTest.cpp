// A skylight in a flat roof panel, seen from straight above: the background shows through its
// hole in both faces of the slab, the top curb's ring frames it in the skylight's colour and
// the roof covers the rest.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "building3d/RenderRoad.h"
#include "building3d/RoofAttachments3D.h"
#include "building3d/Skylights3D.h"
#include "model/Grouping.h"
#include "model/Services.h"
#include "render3d/RenderTestSupport.h"

namespace {

constexpr RGBColor kGreen{0, 50000, 0};
constexpr RGBColor kRed{65535, 0, 0};
constexpr RGBColor kWhite{65535, 65535, 65535};

class RoofHoleRender : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    if (IsSkipped()) return;
    DocState* d = ds();
    d->orthoView() = 0;
    d->navigationMode = kNavFlyAround;
    d->flyDistance() = 400;
    d->flyAngleX() = 90;  // straight down
    d->flyAngleY() = -90;
    d->flyCenter() = {100, 100};
    d->backgroundTextureID = 20000;
    d->backgroundColor() = {0, 0, 0};
    d->renderExclusions() = 0;
    gCurrentStencilValue = 2;
  }
};

TEST_F(RoofHoleRender, BackgroundShowsThroughTheSkylightAndTheRingFramesIt) {
  Objex* panel = doc.addObject(kObjRoofPanel, true, {{0, 0}, {200, 0}, {200, 200}, {0, 200}}, doc.first);
  panel->width = 0;
  panel->penColor = panel->fillColor = panel->color1 = panel->color2 = panel->color3 = kGreen;
  panel->textureID1 = panel->textureID2 = panel->textureID3 = 0;
  UpdateObjectBounds(panel);
  Update3DRoofPanel(panel);

  auto* r = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  r->ownerType = kObjSkylight;
  r->subtype = kSkylightRectangular;
  r->width() = 60;
  r->height() = 60;
  r->trimWidth() = 12;
  r->angle() = 90;
  // (Qt's `slots` keyword hides the field's own name here: the slots by their accessors.)
  r->color() = kRed;
  r->trimColor() = kWhite;
  Objex* sky = CreateObject(kObjSkylight, 1, 1, &kWhite, &kWhite, 1, 6, 0, nullptr, nullptr, nullptr, panel,
                            panel->layer, r);
  r->object() = sky;
  const std::vector<float> outline = SkylightOutline(kSkylightRectangular, 100, 100, 1, r);
  CreateSkylightPoints(sky, panel, outline.data(), 4, 100, 100, 90);
  AppendChildToObject(sky, panel);
  UpdateObjectBounds(sky);

  RenderAllLayers();
  // The geometry the picture comes from: a hole in each face of the slab.
  int holes = 0;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next)
    for (PlaneObject* c = po->children; c; c = c->next) holes += c->partType == kPartSkylightHole;
  ASSERT_EQ(holes, 2);
  // The final-quality frame, then a real-time frame of the same scene.
  for (const bool realTime : {false, true}) {
    SCOPED_TRACE(realTime ? "real time" : "final quality");
    if (realTime) {
      // One step of the navigation loop.
      RTInitializeGLScene();
      RTSetViewpoint(ds());
      RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
      RTFinalizeGLScene();
    } else {
      RefreshGLScene();
    }

    // The view's middle is (100, 100); at 400 units away a 38-degree view spans about 138
    // units either way of it, 32 pixels.
    auto column = [&](float x) { return static_cast<int>(std::lround(32 + (x - 100) * 32 / 138.0f)); };
    std::string row;
    for (int x = 0; x < 64; ++x) {
      const Pixel p = kept(x, 32);
      row += p.g > 100 ? 'g' : p.r > 200 ? 'r' : (p.r + p.g + p.b < 30 ? '.' : '?');
    }
    const Pixel background = kept(1, 1);
    EXPECT_EQ(kept(32, 32), background) << row;
    EXPECT_EQ(kept(column(85), 32), background) << row;
    const Pixel ring = kept(column(136), 32);
    EXPECT_GT(ring.r, 200) << row;
    EXPECT_LT(ring.g, 60) << row;
    const Pixel roof = kept(column(175), 32);
    EXPECT_GT(roof.g, 100) << row;
    EXPECT_LT(roof.r, 60) << row;
    EXPECT_FALSE(background == roof);
    // Outside the roof: the background again.
    EXPECT_EQ(kept(column(-20), 32), background) << row;
  }
}

}  // namespace
