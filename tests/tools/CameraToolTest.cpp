// The view point tool: the camera placed at the press, aimed by the drag, the view triangle in
// the overlay, the 3D view drawn through its hooks (never with background rendering), and the
// short-drag result.
#include <cmath>
#include <vector>

#include "ToolTestSupport.h"
#include "building3d/RenderRoad.h"
#include "model/Globals.h"
#include "model/ViewProjection.h"
#include "tools/CameraTool.h"

namespace {

class CameraToolTest : public ToolTest {
 protected:
  static inline int sBegins = 0, sDraws = 0;
  static inline std::vector<float> sLengths;
  FrontEndServices savedFrontEnd = gFrontEnd;
  uint8_t savedBackground = gEnableBackgroundRendering;
  void SetUp() override {
    ToolTest::SetUp();
    sBegins = sDraws = 0;
    sLengths.clear();
    gTrackingHooks.beginRealTimeView = [] { ++sBegins; };
    gTrackingHooks.drawRealTimeView = [] { ++sDraws; };
    gFrontEnd.drawViewLength = [](float length) { sLengths.push_back(length); };
    gEnableBackgroundRendering = 0;
  }
  void TearDown() override {
    gFrontEnd = savedFrontEnd;
    gEnableBackgroundRendering = savedBackground;
    gRealTimeDraw = 0;
    ToolTest::TearDown();
  }
  int16_t stage(float x, float z, int16_t s) {
    if (s == kTrackBegin) gDownX = x, gDownY = 0, gDownZ = z;
    return TrackCamera(0, 0, x, 0, z, s);
  }
  // The angle the tool gives, worked out on the screen points of the current view: from the
  // current point to the camera, counter-clockwise from +x with up the screen positive.
  static float ExpectedAngle(float camX, float camZ, float x, float z) {
    float cx = camX, cy = 0, cz = camZ, px = x, py = 0, pz = z;
    ConvertToIso(&cx, &cy, &cz, &px, &py, &pz, gPerspective);
    float degrees = std::atan2(-(cy - py), cx - px) * 57.29578f;
    if (degrees < 0) degrees += 360;
    return degrees + 90;
  }
};

TEST_F(CameraToolTest, PressPlacesTheCameraAndTheDragAimsIt) {
  EXPECT_EQ(stage(100, 50, kTrackBegin), 0);
  EXPECT_FLOAT_EQ(doc.ds()->cameraPosition().floatH, 100);
  EXPECT_FLOAT_EQ(doc.ds()->cameraPosition().floatV, 50);
  EXPECT_EQ(gRealTimeDraw, 1);
  EXPECT_EQ(sBegins, 1);
  EXPECT_EQ(sDraws, 2);
  // The triangle: yellow at half opacity, drawn by method 1.
  const DrawColor c = overlay.colorForPath(kPathPrimary);
  EXPECT_FLOAT_EQ(c.red, 1);
  EXPECT_FLOAT_EQ(c.green, 1);
  EXPECT_FLOAT_EQ(c.blue, 0);
  EXPECT_FLOAT_EQ(c.alpha, 0.5f);
  EXPECT_EQ(overlay.drawMethodForPath(kPathPrimary), 1);

  struct Case {
    float x, z;
  };
  for (Case k : {Case{100, 250}, Case{300, 50}, Case{-40, -90}}) {
    SCOPED_TRACE(testing::Message() << k.x << "," << k.z);
    EXPECT_EQ(stage(k.x, k.z, kTrackKeep), 0);
    EXPECT_NEAR(doc.ds()->cameraAngle(), ExpectedAngle(100, 50, k.x, k.z), 1e-3);
    // Only the angle follows the drag.
    EXPECT_FLOAT_EQ(doc.ds()->cameraPosition().floatH, 100);
    EXPECT_FALSE(overlay.isPathEmpty(kPathPrimary));
  }
  // The view distance in world inches (2 plan units to the inch at scale 36).
  stage(100, 250, kTrackKeep);
  EXPECT_FLOAT_EQ(sLengths.back(), 100);
  EXPECT_EQ(sBegins, 1);
  EXPECT_EQ(sDraws, 2 + 4);
}

// The view distance readout is a world length at every plan scale and world unit; the view
// triangle runs from the two corners either side of the current point (square to the line of
// sight, one on each side) to the camera.
TEST_F(CameraToolTest, ViewDistanceAndTriangleAtEachScaleAndUnit) {
  struct Case {
    float planScale;
    int16_t worldUnits;  // 1 inches, 2 feet, 6 centimetres
    float x, z;          // the current point; the camera stays at (100, 50)
    float distance;      // plan length * scale / 72 inches, in the world unit
  };
  const Case cases[] = {
      {96, 1, 100, 230, 240}, {48, 2, 220, 50, 80 / 12.0f}, {36, 6, 190, 170, 190.5f}, {24, 1, 40, -30, 100 / 3.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "scale " << c.planScale << " units " << c.worldUnits);
    doc.ds()->planScale = c.planScale;
    doc.ds()->worldUnits = c.worldUnits;
    stage(100, 50, kTrackBegin);
    stage(c.x, c.z, kTrackKeep);
    EXPECT_NEAR(sLengths.back(), c.distance, c.distance * 1e-4);
    float cx = 100, cy = 0, cz = 50, px = c.x, py = 0, pz = c.z;
    ConvertToIso(&cx, &cy, &cz, &px, &py, &pz, gPerspective);
    const auto& el = overlay.pathForID(kPathPrimary)->elements();
    ASSERT_EQ(el.size(), 3u);
    const NSPoint a = el[0].points[0], b = el[1].points[0], camera = el[2].points[0];
    EXPECT_NEAR(camera.x, cx, 0.5);
    EXPECT_NEAR(camera.y, cy, 0.5);
    EXPECT_NEAR((a.x + b.x) / 2, px, 1.0);
    EXPECT_NEAR((a.y + b.y) / 2, py, 1.0);
    // Square to the line of sight: the side between the corners has no length along it (but
    // for the rounding of window points).
    const double sight = std::hypot(cx - px, cy - py);
    EXPECT_GT(std::hypot(b.x - a.x, b.y - a.y), 4.0);
    EXPECT_LT(std::fabs((b.x - a.x) * (cx - px) + (b.y - a.y) * (cy - py)) / sight, 1.5);
    stage(c.x, c.z, kTrackEnd);
  }
}

TEST_F(CameraToolTest, EndStageReportsWhetherTheDragWasLongEnough) {
  struct Case {
    float travel;  // plan units
    int16_t result;
  };
  for (Case k : {Case{0, 0}, Case{9.9f, 0}, Case{10, 1}, Case{400, 1}}) {
    SCOPED_TRACE(k.travel);
    stage(20, 30, kTrackBegin);
    gMouseCaptured = 1;
    EXPECT_EQ(stage(20 + k.travel, 30, kTrackEnd), k.result);
    EXPECT_FLOAT_EQ(doc.ds()->cameraPosition().floatH, 20);
    EXPECT_FLOAT_EQ(doc.ds()->cameraPosition().floatV, 30);
    EXPECT_EQ(gRealTimeDraw, 0);
    EXPECT_EQ(gMouseCaptured, 0);
    EXPECT_EQ(gRefreshRender, 1);
    EXPECT_TRUE(overlay.areAllPathsEmpty());
    EXPECT_FLOAT_EQ(sLengths.back(), 0);
  }
}

TEST_F(CameraToolTest, BackgroundRenderingDrawsNothingDuringTheDrag) {
  gEnableBackgroundRendering = 1;
  stage(0, 0, kTrackBegin);
  stage(50, 50, kTrackKeep);
  gRefreshRender = 0;
  EXPECT_EQ(stage(80, 80, kTrackEnd), 1);
  EXPECT_EQ(sBegins, 0);
  EXPECT_EQ(sDraws, 0);
  EXPECT_EQ(gRefreshRender, 1) << "the view is refreshed once the drag ends";
}

TEST_F(CameraToolTest, DispatchedForTheViewPointTool) {
  EXPECT_EQ(PendingTrackingRoutine(kToolViewPoint), nullptr);
  gCurTool = kToolViewPoint;
  gDownX = 10, gDownY = 0, gDownZ = 10;
  TrackObject(0, 0, 10, 0, 10, kTrackBegin);
  EXPECT_FLOAT_EQ(doc.ds()->cameraPosition().floatH, 10);
  TrackObject(0, 0, 60, 0, 10, kTrackEnd);
  EXPECT_EQ(gRealTimeDraw, 0);
}

}  // namespace
