// The rotate tool: a drag around the selection's centre turns it at the mouse-up by the
// swept angle in 5 degree steps, with the angle readout showing the turn.
#include <cmath>
#include <numbers>
#include <vector>

#include "ToolTestSupport.h"
#include "model/CommandWalkers.h"

namespace {

class RotateTool : public ToolTest {
 protected:
  static inline std::vector<float> sAngles;
  FrontEndServices savedFrontEnd = gFrontEnd;
  Objex* square = nullptr;

  void SetUp() override {
    ToolTest::SetUp();
    sAngles.clear();
    gFrontEnd.drawAngle = [](float degrees) { sAngles.push_back(degrees); };
    doc.ds()->snapToGrid = 0;
    // Window (36, 36) is the plan centre (60, 60) at zoom 0.6.
    square = addShape({{0, 0}, {120, 0}, {120, 120}, {0, 120}});
    SelectObj(square, kSelectOn, 1);
    gData3DRect = EmptyFloat3DRect();
    GetObject3DBounds(square, 1, &gData3DRect, 0);
    gCurTool = kToolRotate;
    gClickInfo = ClickInfo{};
    gClickInfo.hitMode = 1;
    gClickInfo.hitObject = square;
  }
  void TearDown() override {
    gFrontEnd = savedFrontEnd;
    gData3DRect = Float3DRect{};
    ToolTest::TearDown();
  }
};

// Where a plan point ends up turned counter-clockwise on the screen about (60, 60).
void Turned(float x, float z, double degrees, float* ox, float* oz) {
  const double a = degrees * std::numbers::pi / 180.0;
  const double dx = x - 60.0, dz = z - 60.0;
  *ox = static_cast<float>(60.0 + dx * std::cos(a) + dz * std::sin(a));
  *oz = static_cast<float>(60.0 - dx * std::sin(a) + dz * std::cos(a));
}

TEST_F(RotateTool, ASweepOf37DegreesTurnsTheSelectionBy35AtTheMouseUp) {
  Objex* other = addShape({{300, 300}, {348, 300}, {348, 348}, {300, 348}});
  ServiceCallRecorder calls;
  gMouseCaptured = 1;
  BeginTracking(90, 36);     // due east of the centre
  KeepTracking(80, 3, 90, 36);  // (44, 33) from the centre: 36.87 degrees
  EXPECT_FLOAT_EQ(square->firstPoint->position[0], 0.0f);  // nothing turns while dragging
  EXPECT_FALSE(overlay.areAllPathsEmpty());                 // the turned box is shown
  // Each of the box's four corners turned by 35 degrees, in window units at zoom 0.6 (points
  // left of or above the window's origin round towards it).
  for (auto [cx, cz] : {std::pair{0.0f, 0.0f}, {120.0f, 0.0f}, {120.0f, 120.0f}, {0.0f, 120.0f}}) {
    float x, z;
    Turned(cx, cz, 35, &x, &z);
    int found = 0;
    for (const auto& el : overlay.pathForID(kPathPrimary)->elements())
      found += std::fabs(el.points[0].x - x * 0.6f) <= 1.5f && std::fabs(el.points[0].y - z * 0.6f) <= 1.5f;
    EXPECT_GE(found, 1) << "corner " << cx << ", " << cz << " at " << x * 0.6f << ", " << z * 0.6f;
  }
  ASSERT_FALSE(sAngles.empty());
  EXPECT_NEAR(sAngles.back(), 35.0f, 1e-3);
  EndTracking(80, 3, 80, 3);
  FinishTracking();

  float x, z;
  Turned(0, 0, 35, &x, &z);
  EXPECT_NEAR(square->firstPoint->position[0], x, 1e-3);
  EXPECT_NEAR(square->firstPoint->position[2], z, 1e-3);
  Turned(120, 120, 35, &x, &z);
  EXPECT_NEAR(square->firstPoint->next->next->position[0], x, 1e-3);
  EXPECT_NEAR(square->firstPoint->next->next->position[2], z, 1e-3);
  EXPECT_FLOAT_EQ(other->firstPoint->position[0], 300.0f);  // unselected: unchanged
  EXPECT_EQ(sAngles.back(), 32000.0f);                      // readout emptied at the end
  EXPECT_TRUE(calls.called("UpdateInspectorPropertiesState"));
  EXPECT_TRUE(overlay.areAllPathsEmpty());
  EXPECT_EQ(gMouseCaptured, 0);
}

TEST_F(RotateTool, AClockwiseTurnReadsAsAPositiveAngle) {
  drag({{90, 36}, {89, 45}});  // 9.6 degrees clockwise: -10
  ASSERT_GE(sAngles.size(), 2u);
  EXPECT_NEAR(sAngles[sAngles.size() - 2], 350.0f, 1e-3);
  float x, z;
  Turned(0, 0, -10, &x, &z);
  EXPECT_NEAR(square->firstPoint->position[0], x, 1e-3);
  EXPECT_NEAR(square->firstPoint->position[2], z, 1e-3);
}

TEST_F(RotateTool, AClickOrASweepBelowTheStepTurnsNothing) {
  drag({{90, 37}});
  drag({{90, 36}, {90, 34}});  // 2 degrees rounds back to the start
  EXPECT_FLOAT_EQ(square->firstPoint->position[0], 0.0f);
  EXPECT_FLOAT_EQ(square->firstPoint->position[2], 0.0f);
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_EQ(PendingTrackingRoutine(kToolRotate), nullptr);  // the palette button is live
}

}  // namespace
