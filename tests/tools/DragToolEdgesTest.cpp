// The resize and rotate drags at their edges: Shift keeping one axis, the least size a
// resize leaves, a box too thin to stretch, and the rotate tool's 5 degree rounding on both
// sides of a step.
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "ToolTestSupport.h"
#include "model/Delete.h"

namespace {

class DragToolEdges : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->snapToGrid = 0;  // window point / 0.6 = plan point
  }
  void TearDown() override {
    gData3DRect = Float3DRect{};
    ToolTest::TearDown();
  }
  Objex* grabbed(std::initializer_list<std::pair<float, float>> pts, uint16_t tool) {
    Objex* shape = addShape(pts);
    SelectObj(shape, kSelectOn, 1);
    gData3DRect = EmptyFloat3DRect();
    GetObject3DBounds(shape, 1, &gData3DRect, 0);
    gCurTool = tool;
    gClickInfo = ClickInfo{};
    gClickInfo.hitMode = 1;
    gClickInfo.hitObject = shape;
    gClickInfo.cornerHit = tool == kToolResize ? 1 : 0;
    return shape;
  }
  static const Poinz* at(const Objex* o, int i) {
    const Poinz* p = o->firstPoint;
    while (i-- > 0) p = p->next;
    return p;
  }
};

// Grab near (96, 48) of a 96 x 48 box and release at window (116, 40): plan (193.33, 66.67),
// factors 2.014 on x and 1.389 on z.
TEST_F(DragToolEdges, ResizeWithShiftKeepsOnlyTheAxisThatChangedMore) {
  Objex* both = grabbed({{0, 0}, {96, 0}, {96, 48}, {0, 48}}, kToolResize);
  drag({{58, 29}, {116, 40}});
  EXPECT_NEAR(at(both, 2)->position[0], 116 / 0.6f, 1e-2);
  EXPECT_NEAR(at(both, 2)->position[2], 40 / 0.6f, 1e-2);
  EXPECT_FLOAT_EQ(at(both, 0)->position[0], 0.0f);  // the fixed corner
  EXPECT_FLOAT_EQ(at(both, 0)->position[2], 0.0f);

  SelectObj(both, kSelectOff, 1);
  Objex* one = grabbed({{0, 200}, {96, 200}, {96, 248}, {0, 248}}, kToolResize);
  sModifiers = kTrackModShift;
  drag({{58, 149}, {116, 160}});  // x 2.014, z 1.139: only x
  EXPECT_NEAR(at(one, 2)->position[0], 116 / 0.6f, 1e-2);
  EXPECT_FLOAT_EQ(at(one, 2)->position[2], 248.0f);
  EXPECT_FLOAT_EQ(at(one, 0)->position[2], 200.0f);
}

// Command forces vertical resizing only outside the plan view: in the plan both axes follow.
TEST_F(DragToolEdges, ResizeWithCommandInThePlanStretchesBothAxes) {
  Objex* shape = grabbed({{0, 0}, {96, 0}, {96, 48}, {0, 48}}, kToolResize);
  sModifiers = kTrackModCommand;
  drag({{58, 29}, {116, 40}});
  EXPECT_NEAR(at(shape, 2)->position[0], 116 / 0.6f, 1e-2);
  EXPECT_NEAR(at(shape, 2)->position[2], 40 / 0.6f, 1e-2);
  EXPECT_EQ(doc.ds()->viewPlane, 2);  // the working plane is left as it was
}

// Either corner may be grabbed: the opposite one stays put. While dragging, the size readout
// shows the selection's width, depth and height (in that order) times each axis's factor;
// the plan's height keeps its size. A box thin on both axes keeps only its width.
TEST_F(DragToolEdges, ResizeFromEitherCornerReadsTheStretchedSizes) {
  static std::vector<std::array<float, 3>> sReadouts;  // width, height, depth as sent
  FrontEndServices saved = gFrontEnd;
  gFrontEnd.drawWidthHeightDepth = [](float w, float h, float d) { sReadouts.push_back({w, h, d}); };
  struct Case {
    float right, front;              // the box from (0, 0)
    POINT press, release;            // window points (plan = window / 0.6)
    float x0, z0, x2, z2;            // the first and third corners after the drag
    float direction;                 // of the x resize
    float fx, fz;                    // the readout's factors
  };
  const Case cases[] = {
      // Near (96, 48): (0, 0) stays; x 2.014, z 1.389.
      {96, 48, {58, 29}, {116, 40}, 0, 0, 116 / 0.6f, 40 / 0.6f, 1, 116 / 0.6f / 96, 40 / 0.6f / 48},
      // Near (0, 0): (96, 48) stays; out to (-33.3, -16.7): x 1.347, z 1.347.
      {96, 48, {2, 2}, {-20, -10}, -20 / 0.6f, -10 / 0.6f, 96, 48, -1, (96 + 20 / 0.6f) / 96,
       (48 + 10 / 0.6f) / 48},
      // 6 by 6, grabbed within 4 of its middle on both axes: the width holds, the depth's far
      // side follows the mouse to 30.
      {6, 6, {2, 2}, {40, 18}, 0, 0, 6, 30, 1, 1, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "box " << c.right << " x " << c.front << " from " << c.press.x);
    Objex* box = grabbed({{0, 0}, {c.right, 0}, {c.right, c.front}, {0, c.front}}, kToolResize);
    gWidthHeightDepth = Float3DPoint{c.right * 5, 70, c.front * 3};  // distinct world sizes
    sReadouts.clear();
    gMouseCaptured = 1;
    BeginTracking(c.press.x, c.press.y);
    KeepTracking(c.release.x, c.release.y, c.press.x, c.press.y);
    ASSERT_FALSE(sReadouts.empty());
    EXPECT_NEAR(sReadouts.back()[0], c.right * 5 * c.fx, 0.01);
    EXPECT_NEAR(sReadouts.back()[1], 70, 0.01);
    EXPECT_NEAR(sReadouts.back()[2], c.front * 3 * c.fz, 0.01);
    EndTracking(c.release.x, c.release.y, c.release.x, c.release.y);
    FinishTracking();
    EXPECT_NEAR(at(box, 0)->position[0], c.x0, 1e-2);
    EXPECT_NEAR(at(box, 0)->position[2], c.z0, 1e-2);
    EXPECT_NEAR(at(box, 2)->position[0], c.x2, 1e-2);
    EXPECT_NEAR(at(box, 2)->position[2], c.z2, 1e-2);
    EXPECT_FLOAT_EQ(gXResizeDirection, c.direction);
    SelectObj(box, kSelectOff, 1);
    DeleteObj(box);
  }
  gFrontEnd = saved;
}

// Dragging the right side onto or past the fixed left side leaves at least 10 plan units,
// mirrored when it went past.
TEST_F(DragToolEdges, ResizeNeverLeavesLessThanTenUnitsInThePlan) {
  Objex* shape = grabbed({{0, 0}, {96, 0}, {96, 48}, {0, 48}}, kToolResize);
  drag({{58, 29}, {3, 29}});  // x 5: factor 0.052, raised to 10 / 96
  EXPECT_NEAR(at(shape, 1)->position[0], 10.0f, 1e-3);
  EXPECT_FLOAT_EQ(at(shape, 0)->position[0], 0.0f);

  SelectObj(shape, kSelectOff, 1);
  Objex* mirrored = grabbed({{0, 200}, {96, 200}, {96, 248}, {0, 248}}, kToolResize);
  drag({{58, 149}, {-3, 149}});  // x -5: factor -0.052, kept at -10 / 96
  EXPECT_NEAR(at(mirrored, 1)->position[0], -10.0f, 1e-3);
  EXPECT_FLOAT_EQ(at(mirrored, 0)->position[0], 0.0f);
}

// A box 6 units deep: the grab lies within 4 units of its middle, so the depth keeps its
// size while the width follows the mouse.
TEST_F(DragToolEdges, ResizeLeavesTheDepthOfAThinBox) {
  Objex* thin = grabbed({{0, 0}, {96, 0}, {96, 6}, {0, 6}}, kToolResize);
  drag({{58, 4}, {116, 40}});
  EXPECT_NEAR(at(thin, 1)->position[0], 116 / 0.6f, 1e-2);
  EXPECT_FLOAT_EQ(at(thin, 2)->position[2], 6.0f);
  EXPECT_FLOAT_EQ(at(thin, 0)->position[2], 0.0f);
}

// The rotate tool rounds the swept angle to the nearest 5 degrees: 37.405 turns by 35,
// 37.569 by 40 (truncating would give 35 for both, rounding up 40 for both).
TEST_F(DragToolEdges, RotateRoundsToTheNearestFiveDegrees) {
  const struct {
    int32_t x, y;
    double turn;
  } cases[] = {{70, 10, 35.0}, {75, 6, 40.0}};
  for (const auto& c : cases) {
    Objex* square = grabbed({{0, 0}, {120, 0}, {120, 120}, {0, 120}}, kToolRotate);  // centre (60, 60) = window (36, 36)
    drag({{90, 36}, {c.x, c.y}});
    const double a = c.turn * std::numbers::pi / 180.0;
    // (0, 0) turned counter-clockwise on the screen about (60, 60).
    const double x = 60.0 + (-60.0) * std::cos(a) + (-60.0) * std::sin(a);
    const double z = 60.0 - (-60.0) * std::sin(a) + (-60.0) * std::cos(a);
    EXPECT_NEAR(square->firstPoint->position[0], x, 1e-3) << c.turn;
    EXPECT_NEAR(square->firstPoint->position[2], z, 1e-3) << c.turn;
    SelectObj(square, kSelectOff, 1);
  }
}

// A mouse-down beyond the plan bounds: without an object under it the point is pulled in
// to the bounds; on an object (which may stick out) it is kept as pressed.
TEST_F(DragToolEdges, AMouseDownOutsideThePlanIsPulledInOnlyWithoutAHit) {
  doc.ds()->planBounds = FloatRect{-100, -100, 100, 100};
  gCurTool = kToolSelection;
  gClickInfo = ClickInfo{};
  gMouseCaptured = 1;
  BeginTracking(200, 30);  // plan (333.3, 50)
  EXPECT_FLOAT_EQ(gDownX, 100.0f);
  EXPECT_FLOAT_EQ(gDownZ, 50.0f);
  EndTracking(200, 30, 200, 30);
  FinishTracking();

  Objex* wide = grabbed({{0, 0}, {400, 0}, {400, 60}, {0, 60}}, kToolSelection);
  (void)wide;
  gMouseCaptured = 1;
  BeginTracking(200, 30);
  EXPECT_NEAR(gDownX, 200 / 0.6f, 1e-2);
  EXPECT_FLOAT_EQ(gDownZ, 50.0f);
  EndTracking(200, 30, 200, 30);
  FinishTracking();
}

}  // namespace
