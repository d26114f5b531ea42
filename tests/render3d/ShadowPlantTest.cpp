// Plants in the shadowed frame: a yellow shrub standing under a roof in full sun is never
// shaded by the sun, while the ground beside it under the same roof is.
#include "render3d/TextureTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/DocState.h"
#include "render3d/SceneFrame.h"
#include "render3d/ShadowRender.h"

namespace {
constexpr RGBColor kGrey{52428, 52428, 52428};

class ShadowPlantScene : public TextureTest {
 protected:
  Objex* plant = nullptr;
  PlaneObject* billboard = nullptr;

  void SetUp() override {
    TextureTest::SetUp();
    if (!TestGLContext()) return;
    sWidth = 160, sHeight = 120;
    gLiveViewOptions = 1023;
    DocState* d = ds();
    d->orthoView() = 0;
    d->navigationMode = kNavWalkThrough;
    d->controlledNavigation() = 1;
    d->walkPitchAngle() = 10;
    d->walkViewAngle() = 0;
    d->walkEyePoint() = {0, 120};
    d->walkEyeHeight() = 40;
    d->lightBrightness() = 0.6f;
    d->lightIntensity() = 0;
    d->shadowRender() = 1;
    d->shadowQuality = 5;
    d->renderExclusions() = 0;
    d->planBounds = {5000, 5000, 5001, 5001};
    d->sunlightOn() = 1;
    d->sunBrightness() = 100;
    d->sunOverheadAngle() = 90;
    d->sunDirectionAngle() = 0;
    d->sunShadowQuality() = 4;
    gWalkFOV = 45;
    // The ground and a roof over the shrub.
    addPolygon({{-300, 0, -300}, {300, 0, -300}, {300, 0, 300}, {-300, 0, 300}}, kGrey);
    addPolygon({{-60, 100, -60}, {60, 100, -60}, {60, 100, 60}, {-60, 100, 60}}, kGrey);
    // A pure yellow shrub: no channel test can tell it from a lit wall.
    writeSolid(shared + "/QVRA/Textures/SHRUBS/SHRUB1.QTX", 16, 16, QColor(255, 255, 0));
    plant = doc.addObject(kObjPlant, true, {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}}, parts);
    plant->baseElevation = 0;
    plant->plantAge = 0.5f;
    billboard = addPolygon({{-10, 0, -10}, {10, 0, -10}, {10, 0, 10}, {-10, 0, 10}}, {65535, 65535, 65535}, plant);
    billboard->renderKind = 8;
    billboard->textureIdA = 300;
    billboard->billboardSize[0] = 10;
    billboard->billboardSize[1] = 40;
  }

  std::vector<uint8_t> Frame() {
    RefreshGLScene();
    int32_t w, h;
    return KeptFrame(&w, &h);
  }
  std::vector<uint8_t> LitImage() {
    RenderGLScene();
    RenderOffscreenFullyLight();
    std::vector<uint8_t> px(static_cast<size_t>(sWidth) * sHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, sWidth, sHeight, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
  }
};

TEST_F(ShadowPlantScene, TheSunNeverShadesAPlantPixel) {
  const std::vector<uint8_t> lit = LitImage();
  const std::vector<uint8_t> result = Frame();
  ASSERT_EQ(result.size(), lit.size());
  int plantPixels = 0, shadedGround = 0;
  for (size_t i = 0; i < result.size(); i += 4) {
    const int r = result[i], g = result[i + 1], b = result[i + 2];
    const int lr = lit[i], lg = lit[i + 1], lb = lit[i + 2];
    const bool yellow = lr > 40 && lb * 3 < lr && std::abs(lr - lg) < 12;
    if (yellow) {
      ++plantPixels;
      EXPECT_NEAR(r, lr, 3) << i / 4;
      EXPECT_NEAR(g, lg, 3) << i / 4;
      EXPECT_NEAR(b, lb, 3) << i / 4;
    } else if (lr > 0 && lr == lb && r < lr - 40) {
      ++shadedGround;  // grey ground under the roof, left dark
    }
  }
  EXPECT_GT(plantPixels, 50);
  EXPECT_GT(shadedGround, 200);
}
}  // namespace

// A pixel is a plant's where the plant pass marked a plant, or where no channel of its colour
// in that pass is 255 (everything else is drawn white there).
TEST(PlantPixels, TheMaskOrAColourWithoutAFullChannel) {
  uint8_t colours[] = {0, 128, 0, 255, 255, 255, 255, 200, 0, 254, 254, 254};
  uint8_t mask[] = {0, 0, 1, 0};
  uint8_t* savedColours = gPlantColorBuffer;
  uint8_t* savedMask = gPlantMask;
  gPlantColorBuffer = colours;
  gPlantMask = nullptr;
  EXPECT_TRUE(IsPlantPixel(0));
  EXPECT_FALSE(IsPlantPixel(1));
  EXPECT_FALSE(IsPlantPixel(2));
  EXPECT_TRUE(IsPlantPixel(3));
  gPlantMask = mask;
  EXPECT_TRUE(IsPlantPixel(2));  // a yellow plant: marked by the mask
  EXPECT_FALSE(IsPlantPixel(1));
  gPlantColorBuffer = nullptr;
  EXPECT_TRUE(IsPlantPixel(2));
  EXPECT_FALSE(IsPlantPixel(0));
  gPlantColorBuffer = savedColours;
  gPlantMask = savedMask;
}
