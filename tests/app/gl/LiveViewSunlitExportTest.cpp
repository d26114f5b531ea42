// The 3D view exported as an image with the sun on: every quality but the current image renders
// the shadows at the export's own size, whatever the view's size on the screen.
#include <gtest/gtest.h>

// The wall records first: their field "slots" is a word Qt's headers take for themselves.
#include "model/Attachments.h"
#include "model/WallFields.h"

#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTest>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "LiveViewTestSupport.h"
#include "app/x11/SettleWindows.h"
#include "RedWalls.h"
#include "app/AppTestSupport.h"
#include "app/LiveViewController.h"
#include "app/LiveViewExport.h"
#include "app/LiveViewOGLView.h"
#include "building3d/PlaneObjects.h"
#include "model/Services.h"
#include "platform/Alerts.h"
#include "render3d/ShadowRender.h"

namespace {

using namespace red_walls;

class LiveViewSunlitExportTest : public LiveViewTest {
 protected:
  // A closed square house of red walls, 400 a side, round the plan's middle, seen from above
  // and in front so that the ground all round it is in view; the view smaller than either export.
  void afterDocument() override {
    LiveViewTest::afterDocument();
    if (IsSkipped()) return;
    AddRedWall(model, {{-200, -200}, {200, -200}, {200, 200}, {-200, 200}, {-200, -200}});
    ds->navigationMode = kNavWalkThrough;
    ds->controlledNavigation() = 1;
    ds->orthoView() = 0;
    ds->renderMode() = kRenderSolid;
    ds->walkEyePoint() = FloatPoint{0, 1300};
    ds->walkViewAngle() = 0;
    ds->walkEyeHeight() = 900;
    ds->walkPitchAngle() = 35;
    ds->sunOverheadAngle() = 30;
    ASSERT_TRUE(showLiveViewAt(480, 400));
    ASSERT_TRUE(SettleWindows());
    gRefreshRender = 1;
    LiveViewController::sharedLiveViewController()->liveViewOGLView()->display();
  }

  // The mean grey over 7 x 7 pixels round where the ground point (x, ground, z) shows in the
  // image of the last export (projected by the camera its shadow render used); -1 when out of
  // the image or hidden by the red house.
  static double GreyAt(const QImage& image, double x, double y, double z) {
    double wx, wy, wz;
    if (!gluProject(x, y, z, gCamMVMatrix, gCamProjMatrix, gCamViewPort, &wx, &wy, &wz)) return -1;
    const int px = static_cast<int>(wx), py = image.height() - 1 - static_cast<int>(wy);
    if (px < 3 || py < 3 || px >= image.width() - 3 || py >= image.height() - 3) return -1;
    double sum = 0;
    for (int dy = -3; dy <= 3; ++dy)
      for (int dx = -3; dx <= 3; ++dx) {
        const QRgb c = image.pixel(px + dx, py + dy);
        if (qRed(c) > qGreen(c) + 40) return -1;
        sum += qGray(c);
      }
    return sum / 49;
  }
};

// The progress shown between the passes can paint the 3D view, which leaves the view's own
// framebuffer and viewport bound: here every progress step does so, as such a paint would.
class ViewPaintedByProgress {
 public:
  ViewPaintedByProgress() : saved_(gFrontEnd.updateLVLightProgress) {
    sSaved = saved_;
    gFrontEnd.updateLVLightProgress = [](int32_t done) {
      if (sSaved) sSaved(done);
      LiveViewOGLView* view = LiveViewController::sharedLiveViewController()->liveViewOGLView();
      if (QOpenGLContext* context = QOpenGLContext::currentContext()) {
        context->functions()->glBindFramebuffer(GL_FRAMEBUFFER, view->defaultFramebufferObject());
        const qreal ratio = view->devicePixelRatio();
        context->functions()->glViewport(0, 0, int(view->width() * ratio), int(view->height() * ratio));
      }
    };
  }
  ~ViewPaintedByProgress() { gFrontEnd.updateLVLightProgress = saved_; }

 private:
  static inline void (*sSaved)(int32_t) = nullptr;
  void (*saved_)(int32_t);
};

// Sunlit and sun-off exports of the same size and quality: the ground behind the house from the
// sun is clearly darker than the ground the sun reaches beside it in the sunlit one, and as
// light as that ground without the sun. Every quality that renders, at a size larger than the
// view and at non-square and square ones smaller than it in one direction, writes its file at
// its size with no alert.
TEST_F(LiveViewSunlitExportTest, ASunlitExportRendersItsShadowsAtItsOwnSize) {
  const struct {
    int32_t width, height;
    int16_t quality;
  } cases[] = {
      {640, 480, kQualityLow},       {640, 480, kQualityHigh}, {500, 180, kQualityUltraHigh},
      {500, 180, kQualityExcellent}, {300, 300, kQualityLow},
  };
  ScopedAlertRecorder alerts;
  ViewPaintedByProgress painted;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " + std::to_string(c.quality));
    const std::string sunOffPath = file("off.png"), sunlitPath = file("sunlit.png");
    ds->sunlightOn() = 0;
    ASSERT_TRUE(ExportLiveViewImage(sunOffPath, 3, c.quality, c.width, c.height));
    ds->sunlightOn() = 1;
    const bool exported = ExportLiveViewImage(sunlitPath, 3, c.quality, c.width, c.height);
    ASSERT_TRUE(alerts.shown.empty()) << alerts.shown[0].informative;
    ASSERT_TRUE(exported);
    const QImage sunOff(QString::fromStdString(sunOffPath)), sunlit(QString::fromStdString(sunlitPath));
    ASSERT_EQ(sunOff.size(), QSize(c.width, c.height));
    ASSERT_EQ(sunlit.size(), QSize(c.width, c.height));
    // The camera of the sunlit render's last pass: its viewport is the export's.
    ASSERT_EQ(gCamViewPort[2], c.width);
    ASSERT_EQ(gCamViewPort[3], c.height);
    // Along the ground towards the sun (its eye axis): the shadow behind the house, and lit
    // ground on either side of the house.
    double ground = 1e30;
    for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next)
      if (po->actual3DType == kObjWall)
        for (const Plane* p = po->planes; p; p = p->next)
          for (int32_t i = 0; i < p->vertexCount; ++i) ground = std::min(ground, -double(p->vertices[i].y));
    ASSERT_LT(ground, 1e29);
    const double sx = gSunMVMatrix[2], sz = gSunMVMatrix[10], len = std::hypot(sx, sz);
    ASSERT_GT(len, 0.1);
    const double ux = sx / len, uz = sz / len;
    struct Sample {
      double sunlit, sunOff;
    };
    std::vector<Sample> shaded, lit;
    auto sample = [&](std::vector<Sample>& into, double x, double z) {
      const double a = GreyAt(sunlit, x, ground, z), b = GreyAt(sunOff, x, ground, z);
      if (a >= 0 && b >= 0) into.push_back({a, b});
    };
    for (double side : {-60.0, 0.0, 60.0}) sample(shaded, -ux * 300 - uz * side, -uz * 300 + ux * side);
    for (double d : {-450.0, 450.0}) sample(lit, uz * d, -ux * d);
    ASSERT_GE(shaded.size(), 2u);
    ASSERT_GE(lit.size(), 1u);
    for (const Sample& s : shaded)
      for (const Sample& l : lit) {
        EXPECT_LT(s.sunlit, l.sunlit * 0.85) << s.sunlit << " against " << l.sunlit;
        EXPECT_GT(s.sunOff, l.sunOff * 0.9) << s.sunOff << " against " << l.sunOff;
      }
  }
  ds->sunlightOn() = 0;
}

}  // namespace
