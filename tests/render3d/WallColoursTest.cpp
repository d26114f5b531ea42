// A wall built through the road shows the colours of its sides in the rendered image.
#include <gtest/gtest.h>

#include "building3d/RenderRoad.h"
#include "building3d/Walls3D.h"
#include "model/WallFields.h"
#include "render3d/RenderTestSupport.h"

namespace {
constexpr RGBColor kRed{65535, 0, 0}, kGreen{0, 65535, 0};
}  // namespace

using WallColours = RenderTest;

TEST_F(WallColours, AWallShowsItsSideColoursNotWhite) {
  sWidth = sHeight = 64;
  Objex* wall = doc.addObject(kObjWall, false, {{-20, 0}, {20, 0}}, doc.first);
  wall->width = 4;
  NoAutoFloorOf(wall) = 1;
  for (Poinz* p = wall->firstPoint; p; p = p->next) {
    WallHeightOf(p) = 10;
    p->color[0] = kRed;
    p->color[1] = kGreen;
  }
  Update3DWall(wall);
  ASSERT_NE(wall->typeData, nullptr);
  RenderSingleObject(wall);
  ASSERT_NE(gGLPlaneObjects, nullptr);
  RefreshGLScene();
  int coloured = 0, white = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const Pixel p = kept(x, y);
      if ((p.r == 255 && p.g == 0 && p.b == 0) || (p.r == 0 && p.g == 255 && p.b == 0)) ++coloured;
      if (p.r == 255 && p.g == 255 && p.b == 255) ++white;
    }
  // The face toward the view is a 40-unit wide band of one side's colour.
  EXPECT_GT(coloured, 100);
  EXPECT_EQ(white, 0);
}
