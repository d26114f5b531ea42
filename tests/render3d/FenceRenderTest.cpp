// A picket fence built through the layer walkers and the road shows, seen from the side, its
// pickets and the background through the gaps between them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "building3d/RenderRoad.h"
#include "building3d/SiteFences3D.h"
#include "model/Grouping.h"
#include "render3d/RenderTestSupport.h"

namespace {
constexpr RGBColor kRed{65535, 0, 0};
}  // namespace

using FenceRender = RenderTest;

TEST_F(FenceRender, PicketsAndGapsShowFromTheSide) {
  sWidth = 64;
  sHeight = 160;
  // A picket fence from x -30 to 30: pickets over -30..-18, -12..0, 6..18 and 18..30, gaps of
  // 6 between them with rail pieces only near a quarter and 0.85 of the 72-unit height.
  Objex* fence = doc.addObject(kObjFence, false, {{-30, 0}, {30, 0}}, doc.first);
  fence->levels = 1;
  fence->textureID = kFenceStylePicket;
  fence->penColor = fence->fillColor = kRed;
  for (Poinz* p = fence->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = 0;
    p->color[0] = p->color[1] = kRed;
    p->textureScale[0] = p->textureScale[1] = ShortPoint{100, 100};
  }
  UpdateObjectBounds(fence);
  UpdateFenceAllLayers(doc.model.itsLayers);
  ASSERT_NE(fence->typeData, nullptr);
  RenderAllLayers();
  ASSERT_NE(gGLPlaneObjects, nullptr);
  RefreshGLScene();

  // Window pixels of a plan x and a height above the ground, from the elevation's own box.
  const OrthoBox box = ComputeOrthoBox(ds(), sWidth, sHeight);
  auto px = [&](float x) { return static_cast<int>(std::floor((x - box.left) / (box.right - box.left) * sWidth)); };
  auto py = [&](float h) {
    return static_cast<int>(std::floor((h + box.offset + box.halfHeight) / (2 * box.halfHeight) * sHeight));
  };
  const int half = py(36);
  ASSERT_GT(half, 0);
  ASSERT_LT(half, sHeight);
  const Pixel picket = kept(px(-24), half);
  const Pixel gap = kept(px(-15), half);
  const Pixel secondGap = kept(px(3), half);
  const Pixel background = kept(1, sHeight - 2);
  std::string row;
  for (int x = 0; x < sWidth; ++x) row += kept(x, half).r > 200 && kept(x, half).g < 60 ? '#' : '.';
  EXPECT_EQ(picket, (Pixel{255, 0, 0, 255})) << row;
  EXPECT_EQ(gap, background) << row;
  EXPECT_EQ(secondGap, background) << row;
  EXPECT_FALSE(background == (Pixel{255, 0, 0, 255}));
}
