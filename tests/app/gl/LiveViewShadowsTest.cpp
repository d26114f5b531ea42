// Render Shadows from the 3D window on a new design's sun: the house's shadow falls on the
// ground where the sun is blocked, and the status line tells what the render left out.
#include <gtest/gtest.h>

// The wall records first: their field "slots" is a word Qt's headers take for themselves.
#include "model/Attachments.h"
#include "model/WallFields.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "LiveViewTestSupport.h"
#include "RedWalls.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "building3d/PlaneObjects.h"
#include "render3d/ShadowRender.h"

namespace {

using namespace red_walls;

class LiveViewShadowsTest : public LiveViewTest {
 protected:
  // A closed square house of red walls, 400 a side, round the plan's middle, seen from above
  // and in front so that the ground all round it is in view.
  void buildHouseAndCamera() {
    AddRedWall(model, {{-200, -200}, {200, -200}, {200, 200}, {-200, 200}, {-200, -200}});
    ds->navigationMode = kNavWalkThrough;
    ds->controlledNavigation() = 1;
    ds->orthoView() = 0;
    ds->renderMode() = kRenderSolid;
    ds->walkEyePoint() = FloatPoint{0, 1300};
    ds->walkViewAngle() = 0;
    ds->walkEyeHeight() = 900;
    ds->walkPitchAngle() = 35;
  }

  // The house as a box in GL coordinates (y up), from its wall faces.
  struct Box {
    double lo[3] = {1e30, 1e30, 1e30}, hi[3] = {-1e30, -1e30, -1e30};
  };
  static Box HouseBox() {
    Box b;
    for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
      if (po->actual3DType != kObjWall) continue;
      for (const Plane* p = po->planes; p; p = p->next)
        for (int32_t i = 0; i < p->vertexCount; ++i) {
          const double v[3] = {p->vertices[i].x, -p->vertices[i].y, p->vertices[i].z};
          for (int k = 0; k < 3; ++k) b.lo[k] = std::min(b.lo[k], v[k]), b.hi[k] = std::max(b.hi[k], v[k]);
        }
    }
    return b;
  }
  // The frame's mean luminance over 9 x 9 pixels round where the ground point (x, ground, z)
  // shows in the last shadow render (the texture's joints even out); -1 when out of view or
  // hidden by the house.
  static double LuminanceAt(const QImage& frame, double x, double y, double z) {
    double wx, wy, wz;
    if (!gluProject(x, y, z, gCamMVMatrix, gCamProjMatrix, gCamViewPort, &wx, &wy, &wz)) return -1;
    // The kept frame is drawn from the view's bottom-left corner at the size it was rendered.
    const int px = static_cast<int>(wx), py = frame.height() - 1 - static_cast<int>(wy);
    if (px < 4 || wy < 4 || px >= std::min(frame.width(), int(gCamViewPort[2])) - 4 ||
        wy >= std::min(frame.height(), int(gCamViewPort[3])) - 4)
      return -1;
    double sum = 0;
    for (int dy = -4; dy <= 4; ++dy)
      for (int dx = -4; dx <= 4; ++dx) {
        const QRgb c = frame.pixel(px + dx, py + dy);
        if (qRed(c) > qGreen(c) + 40) return -1;  // the red house stands in front of it
        sum += qGray(c);
      }
    return sum / 81;
  }
};

// A new design's sun stands 20 degrees high: its shadows are rendered, not left out.
TEST_F(LiveViewShadowsTest, TheDefaultLowSunCastsTheHousesShadowOnTheGround) {
  ASSERT_FLOAT_EQ(ds->sunOverheadAngle(), 20);
  ASSERT_EQ(ds->sunShadowQuality(), -1);
  buildHouseAndCamera();
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  ASSERT_TRUE(showLiveViewAt(480, 400));
  LiveViewOGLView* view = controller->liveViewOGLView();
  // The window settles at its size before the renders.
  for (int i = 0; i < 2; ++i) {
    QTest::qWait(50);
    gRefreshRender = 1;
    view->display();
  }
  ds->sunlightOn() = 1;
  for (float height : {20.0f, 45.0f, 8.0f}) {
    ds->sunOverheadAngle() = height;
    controller->renderShadows();
    QApplication::processEvents();
    const std::string status = controller->statusString().toStdString();
    EXPECT_EQ(status.find("left out"), std::string::npos) << height << ": " << status;
    EXPECT_EQ(status.find("could not"), std::string::npos) << height << ": " << status;
    const QImage frame = view->grabFramebuffer();
    ASSERT_FALSE(frame.isNull());
    // Towards the sun, along the ground: the sun view's eye axis in world coordinates.
    const Box house = HouseBox();
    const double sx = gSunMVMatrix[2], sz = gSunMVMatrix[10], len = std::hypot(sx, sz);
    ASSERT_GT(len, 0.1) << height;
    const double ux = sx / len, uz = sz / len, ground = house.lo[1];
    const double shadowLength = (house.hi[1] - house.lo[1]) / std::tan(height * M_PI / 180);
    // Behind the house from the sun, inside its shadow; and ground the sun reaches: before the
    // house, and beside it out of the shadow's reach.
    const double away = 210 + std::min(shadowLength, 400.0) * 0.4;
    std::vector<double> shaded, lit;
    for (double side : {-60.0, 0.0, 60.0}) {
      const double v = LuminanceAt(frame, -ux * away - uz * side, ground, -uz * away + ux * side);
      if (v >= 0) shaded.push_back(v);
    }
    for (double d : {-450.0, 450.0})
      for (double along : {-100.0, 0.0, 100.0}) {
        const double v = LuminanceAt(frame, uz * d + ux * along, ground, -ux * d + uz * along);
        if (v >= 0) lit.push_back(v);
      }
    for (double along : {320.0, 400.0}) {
      const double v = LuminanceAt(frame, ux * along, ground, uz * along);
      if (v >= 0) lit.push_back(v);
    }
    ASSERT_GE(shaded.size(), 2u) << height;
    ASSERT_GE(lit.size(), 4u) << height;
    // Every shaded sample darker than every lit one, by a clear margin.
    const double darkest = *std::min_element(lit.begin(), lit.end());
    const double brightest = *std::max_element(shaded.begin(), shaded.end());
    EXPECT_LT(brightest, darkest * 0.85) << height;
  }
}

}  // namespace
