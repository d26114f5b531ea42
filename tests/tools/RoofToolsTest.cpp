// The roof tools of the roofing palette driven through the tracking stages: the roof made by
// a drag, its corner order and defaults, a click that makes nothing, and the rubber band.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "ToolTestSupport.h"
#include "building3d/Roofs3D.h"
#include "model/Globals.h"
#include "model/ViewCommands.h"
#include "plandraw/GuiTestSupport.h"
#include "plandraw/qt/QPainterDrawContext.h"
#include "tools/RoofTools.h"

namespace {

// The plan at zoom 1 without grid snapping: window points are plan points.
struct RoofTools : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    doc.ds()->newRoofPitch() = 6;
    doc.first->height = 96;
    doc.second->height = 96;
    doc.third->height = 96;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  Objex* only(Layer* layer) {
    EXPECT_EQ(CountObjects(layer), 1);
    return layer->firstObject;
  }
  static void ExpectCorners(const Objex* o, std::initializer_list<std::pair<float, float>> corners) {
    const Poinz* p = o->firstPoint;
    for (auto [x, z] : corners) {
      ASSERT_NE(p, nullptr);
      EXPECT_NEAR(p->position[0], x, 1e-3);
      EXPECT_NEAR(p->position[2], z, 1e-3);
      p = p->next;
    }
    EXPECT_EQ(p, nullptr);
  }
};

TEST_F(RoofTools, GableRoofDraggedAlongX) {
  gCurTool = kToolGableRoof;
  const int16_t savedPattern = gPattern;
  gPattern = 8;
  drag({{0, 0}, {120, 60}, {240, 120}});
  gPattern = savedPattern;
  Objex* r = only(doc.first);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->type, kObjRoof);
  EXPECT_EQ(r->closed, 1);
  ExpectCorners(r, {{0, 0}, {240, 0}, {240, 120}, {0, 120}});
  EXPECT_EQ(r->planMask, 16);
  EXPECT_FLOAT_EQ(r->width, 6);
  EXPECT_EQ(r->textureID, 2);
  EXPECT_EQ(r->fillPattern, 8);  // the document's current fill pattern
  EXPECT_FLOAT_EQ(r->baseElevation, 96);
  EXPECT_EQ(r->textureID1, 0);
  EXPECT_EQ(r->color1.red, 65535);
  EXPECT_EQ(r->firstPoint->textureID[0], 1255);
  EXPECT_EQ(r->firstPoint->color[1].red, 57311);
  EXPECT_NE(r->typeData, nullptr);  // its 3D parts are built
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_EQ(PendingTrackingRoutine(kToolGableRoof), nullptr);
  EXPECT_EQ(PendingTrackingRoutine(kToolCrossRoofConnector), nullptr);
}

TEST_F(RoofTools, EqualExtentsRunTheRidgeAlongZAndEachToolItsStyle) {
  gCurTool = kToolHipRoof;
  drag({{0, 0}, {100, 100}});
  Objex* r = only(doc.first);
  ASSERT_NE(r, nullptr);
  ExpectCorners(r, {{0, 100}, {0, 0}, {100, 0}, {100, 100}});
  EXPECT_EQ(r->textureID, 1);
  const std::pair<uint16_t, int> styles[] = {{kToolGableRoof, 2}, {kToolHipRoof, 1}, {kToolHipGableRoof, 3},
                                             {kToolGableRoofConnector, 4}, {kToolHipRoofConnector, 5},
                                             {kToolCrossRoofConnector, 6}};
  for (auto [tool, style] : styles) EXPECT_EQ(RoofStyleForTool(tool), style);
}

TEST_F(RoofTools, AClickMakesNothingAndReturnsTheArrowTool) {
  gCurTool = kToolGableRoof;
  ServiceCallRecorder calls;
  drag({{50, 50}, {55, 52}});
  EXPECT_EQ(CountObjects(doc.first), 0);
  EXPECT_TRUE(calls.called("ResetStandardTool"));
  EXPECT_EQ(gMouseCaptured, 0);
}

TEST_F(RoofTools, UpperFloorRoofSitsOnTheFloorsBelowPlusItsOwn) {
  doc.model.itsCurLayer = doc.second;
  gCurTool = kToolGableRoof;
  drag({{0, 0}, {240, 120}});
  Objex* r = only(doc.second);
  ASSERT_NE(r, nullptr);
  EXPECT_FLOAT_EQ(r->baseElevation, GetLayerAbsBaseHeight(doc.second) + 96);
  EXPECT_GT(r->baseElevation, 96);
}

// The rubber band while dragging, painted into an image: the gable's ridge runs along z 60.
TEST_F(RoofTools, RubberBandShowsTheRidgeWhileDragging) {
  ASSERT_NE(GuiApplication(), nullptr);
  ShowAutoDimensions(doc.ds()) = 0;
  gCurTool = kToolGableRoof;
  gMouseCaptured = 1;
  gRoundToggle = 0;
  BeginTracking(0, 0);
  EXPECT_EQ(gRoundToggle, 1);  // set at every stage, with or without the dimensions
  gPrevTrackModifiers = gTrackModifiers;
  KeepTracking(240, 120, 0, 0);
  QImage image(300, 200, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    QPainterDrawContext ctx(&painter);
    overlay.strokeAllPaths(&ctx);
  }
  auto inked = [&](int x, int y) { return image.pixel(x, y) != qRgb(255, 255, 255); };
  EXPECT_TRUE(inked(120, 60));   // the ridge
  EXPECT_TRUE(inked(200, 60));
  EXPECT_TRUE(inked(120, 0));    // an eave
  EXPECT_FALSE(inked(120, 30));  // the slope between them
  EXPECT_FALSE(inked(120, 90));
  EndTracking(240, 120, 240, 120);
  FinishTracking();
  EXPECT_EQ(CountObjects(doc.first), 1);
}

}  // namespace
