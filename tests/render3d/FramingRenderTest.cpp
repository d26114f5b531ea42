// A wall in framing view, built through the layer walkers and the road, shows from the side a
// stud where one stands and the background between two studs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "WallTestSupport.h"
#include "building3d/RenderRoad.h"
#include "render3d/RenderTestSupport.h"

using FramingRender = RenderTest;

TEST_F(FramingRender, StudsAndTheGapsBetweenThem) {
  sWidth = 64;
  sHeight = 160;
  // x -30 to 30, 48 in (96 units) high, studs 8 in (16 units) apart: studs over -30..-27.5,
  // -14..-11.5, 2..4.5, 18..20.5 and 30..32.5, plain colours.
  Objex* wall = AddTestWall(doc, {{-30, 0}, {30, 0}}, false, 4, doc.first);
  FloorDepthOf(wall) = 0;
  StudSpacingOf(wall) = 8;
  for (Poinz* p = wall->firstPoint; p; p = p->next) WallHeightOf(p) = 48;
  ds()->framingView = 1;
  ds()->framingPlainColors() = 1;
  RenderAllLayers();
  ASSERT_NE(gGLPlaneObjects, nullptr);
  int members = 0;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) members += po->renderKind == 37;
  EXPECT_GT(members, 0);
  RefreshGLScene();

  const OrthoBox box = ComputeOrthoBox(ds(), sWidth, sHeight);
  auto px = [&](float x) { return static_cast<int>(std::floor((x - box.left) / (box.right - box.left) * sWidth)); };
  auto py = [&](float h) {
    return static_cast<int>(std::floor((h + box.offset + box.halfHeight) / (2 * box.halfHeight) * sHeight));
  };
  const int half = py(48);
  ASSERT_GT(half, 0);
  ASSERT_LT(half, sHeight);
  // The members' plain tones; the background is black.
  auto member = [](const Pixel& p) { return p.r == 216 && p.g == 228 && p.b == 240; };
  auto background = [](const Pixel& p) { return p.r == 0 && p.g == 0 && p.b == 0; };
  std::string row;
  for (int x = 0; x < sWidth; ++x) row += member(kept(x, half)) ? '#' : background(kept(x, half)) ? '.' : '?';
  EXPECT_TRUE(member(kept(px(-12.75f), half))) << row;
  EXPECT_TRUE(member(kept(px(3.25f), half))) << row;
  EXPECT_TRUE(background(kept(px(-6), half))) << row;
  EXPECT_TRUE(background(kept(px(10), half))) << row;
  ds()->framingView = 0;
  ds()->framingPlainColors() = 0;
}
