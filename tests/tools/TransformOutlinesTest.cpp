// The move, resize and rotate tools' moved, stretched and turned outlines in the overlay, the
// origin-line limits of the moved box, and the wall segment move kept straight end to end.
#include <cmath>
#include <numbers>
#include <vector>

#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "model/ViewProjection.h"
#include "tools/ResizeTool.h"
#include "model/TransformInfo.h"
#include "tools/TransformOutlines.h"

namespace {

class TransformOutlines : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->snapToGrid = 0;
  }
  void TearDown() override {
    gData3DRect = Float3DRect{};
    gCurPropertiesObjectCount = 0;
    doc.ds()->lockOriginX = 0;
    ToolTest::TearDown();
  }
  void hitWhole(Objex* o) {
    gClickInfo = ClickInfo{};
    gClickInfo.hitMode = 1;
    gClickInfo.hitObject = o;
  }
  void measureSelection() {
    gData3DRect = EmptyFloat3DRect();
    GetAllLayers3DBounds(doc.model.itsLayers, 1, &gData3DRect, 0);
    gDataRect = FloatRect{32000, 32000, -32000, -32000};
    GetAllLayersObjBounds(doc.model.itsLayers, 1, &gDataRect, 0, 0);
  }
  size_t elements() const { return overlay.dynamicTransformArray().size(); }
};

TEST_F(TransformOutlines, ALockedOriginLineStopsTheMovedBox) {
  Objex* shape = addShape({{10, 0}, {60, 0}, {60, 40}, {10, 40}});
  SelectObj(shape, kSelectOn, 1);
  doc.ds()->lockOriginX = 1;
  doc.ds()->origin = Float3DPoint{0, 0, 0};
  gCurTool = kToolSelection;
  hitWhole(shape);
  drag({{21, 12}, {3, 12}});  // plan (35, 20) to (5, 20): -30 asked, 10 left to the line
  EXPECT_FLOAT_EQ(shape->firstPoint->position[0], 0.0f);
  EXPECT_FLOAT_EQ(shape->firstPoint->next->position[0], 50.0f);

  // From the other side the box's right side stops at the line.
  Objex* left = addShape({{-60, 100}, {-10, 100}, {-10, 140}, {-60, 140}});
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 1);
  SelectObj(left, kSelectOn, 1);
  hitWhole(left);
  drag({{-21, 72}, {-3, 72}});  // +30 asked
  EXPECT_FLOAT_EQ(left->firstPoint->next->position[0], 0.0f);

  // Without the lock the whole offset is taken.
  doc.ds()->lockOriginX = 0;
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 1);
  SelectObj(shape, kSelectOn, 1);
  hitWhole(shape);
  drag({{3, 12}, {-15, 12}});
  EXPECT_FLOAT_EQ(shape->firstPoint->position[0], -30.0f);
}

// Each axis stops at its own origin line and its own plan limit: the origin (30, 0, -20) and
// plan limits that differ across and down. A box starting on a locked line stays on its side.
TEST_F(TransformOutlines, EachAxisStopsAtItsOwnOriginLineAndPlanLimit) {
  struct Case {
    const char* name;
    uint8_t lockX, lockZ;
    float x0, z0, x1, z1;  // the box
    POINT from, to;        // window points (plan / 0.6)
    float left, back;      // the box's first corner after the move
  };
  const Case cases[] = {
      {"x line", 1, 0, 40, 0, 90, 40, {39, 12}, {15, 12}, 30, 0},            // -40 asked, 10 left
      {"z line", 0, 1, 200, -10, 250, 30, {135, 6}, {135, -18}, 200, -20},   // -40 asked, 10 left
      {"on the x line", 1, 0, 30, 100, 80, 140, {33, 72}, {24, 72}, 30, 100},  // -15 asked, none left
      {"z limit", 0, 0, 400, -40, 450, 0, {255, -12}, {255, -36}, 400, -60},  // -40 asked, 20 left
  };
  doc.ds()->origin = Float3DPoint{30, 0, -20};
  doc.ds()->planBounds = FloatRect{-60, -1000, 1000, 1000};  // top, left, bottom, right
  gCurTool = kToolSelection;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc.ds()->lockOriginX = c.lockX;
    doc.ds()->lockOriginZ = c.lockZ;
    Objex* box = addShape({{c.x0, c.z0}, {c.x1, c.z0}, {c.x1, c.z1}, {c.x0, c.z1}});
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 1);
    SelectObj(box, kSelectOn, 1);
    hitWhole(box);
    drag({c.from, c.to});
    EXPECT_NEAR(box->firstPoint->position[0], c.left, 1e-3);
    EXPECT_NEAR(box->firstPoint->position[2], c.back, 1e-3);
  }
  doc.ds()->lockOriginZ = 0;
}

TEST_F(TransformOutlines, MovedFloorsShowOneOutlineEachWhileTheSelectionOutgrowsTheHit) {
  Objex* a = doc.addObject(kObjFloor, true, {{0, 0}, {120, 0}, {120, 120}, {0, 120}});
  Objex* b = doc.addObject(kObjFloor, true, {{240, 0}, {360, 0}, {360, 120}, {240, 120}});
  for (Objex* o : {a, b}) o->planMask = 2, UpdateObjectBounds(o), SelectObj(o, kSelectOn, 1);
  measureSelection();
  gCurTool = kToolSelection;
  hitWhole(a);
  gMouseCaptured = 1;
  BeginTracking(36, 36);
  KeepTracking(66, 36, 36, 36);
  EXPECT_EQ(elements(), 2u);
  EndTracking(66, 36, 66, 36);
  FinishTracking();
  EXPECT_EQ(elements(), 0u);  // the overlay is cleared at the mouse-up
  EXPECT_EQ(gTransformationDrawing, 0);
}

TEST_F(TransformOutlines, ARotateDragOf37DegreesTurnsEachOutlineBy35) {
  // Large, so that 35 and 37 degrees put the corner whole window units apart.
  Objex* square = addShape({{-940, -940}, {1060, -940}, {1060, 1060}, {-940, 1060}});
  Objex* other = addShape({{30, 30}, {90, 30}, {90, 90}, {30, 90}});
  SelectObj(square, kSelectOn, 1);
  SelectObj(other, kSelectOn, 1);
  measureSelection();  // centred on (60, 60): window (36, 36)
  gCurTool = kToolRotate;
  hitWhole(square);
  gMouseCaptured = 1;
  BeginTracking(90, 36);        // due east of the centre
  KeepTracking(80, 3, 90, 36);  // 36.87 degrees
  ASSERT_EQ(elements(), 2u);
  // The square's corner (-940, -940) turned 35 degrees counter-clockwise about (60, 60), in
  // window units at zoom 0.6 (37 degrees would put it 4.6 units further left).
  const double t = 35 * std::numbers::pi / 180;
  const double cx = (60 - 1000 * std::cos(t) - 1000 * std::sin(t)) * 0.6;
  const double cz = (60 + 1000 * std::sin(t) - 1000 * std::cos(t)) * 0.6;
  bool found = false;
  for (const auto& line : overlay.dynamicTransformArray()[0]->path().flattened())
    for (const NSPoint& p : line)
      if (std::fabs(p.x - cx) <= 1.5 && std::fabs(p.y - cz) <= 1.5) found = true;
  EXPECT_TRUE(found) << "turned corner near " << cx << ", " << cz;
  EXPECT_EQ(gTransformationDrawing, 0);
  EndTracking(80, 3, 80, 3);
  FinishTracking();
  EXPECT_EQ(elements(), 0u);
}

TEST_F(TransformOutlines, ATurnDrawsWhatItsFirstStepFoundAndTheNextDragLooksAgain) {
  Objex* a = addShape({{0, 0}, {60, 0}, {60, 60}, {0, 60}});
  Objex* b = addShape({{100, 0}, {160, 0}, {160, 60}, {100, 60}});
  Objex* c = addShape({{200, 0}, {260, 0}, {260, 60}, {200, 60}});
  SelectObj(a, kSelectOn, 1);
  SelectObj(b, kSelectOn, 1);
  measureSelection();
  gCurTool = kToolRotate;
  auto turn = [&](int steps, Objex* selectMidway) {
    hitWhole(a);
    gMouseCaptured = 1;
    BeginTracking(120, 18);
    std::vector<size_t> counts;
    for (int i = 0; i < steps; ++i) {
      if (i == 1 && selectMidway) SelectObj(selectMidway, kSelectOn, 1);
      KeepTracking(120 - 5 * i, 8 + 3 * i, i ? 120 - 5 * (i - 1) : 120, i ? 8 + 3 * (i - 1) : 18);
      counts.push_back(elements());
    }
    EndTracking(100, 20, 100, 20);
    FinishTracking();
    return counts;
  };
  // One outline per selected object at every step; the unselected square is never drawn.
  EXPECT_EQ(turn(4, nullptr), (std::vector<size_t>{2, 2, 2, 2}));
  // Nothing changes the selection during a drag, so its steps keep what the first found...
  EXPECT_EQ(turn(3, c), (std::vector<size_t>{2, 2, 2}));
  // ...and the next drag finds the selection as it is then.
  EXPECT_EQ(turn(2, nullptr), (std::vector<size_t>{3, 3}));

  // Outside a drag nothing is kept: each step's outlines look at the design as it is.
  DragTransformInfo still{};
  DrawTransformedOutlines(kOutlineTurn, still);
  EXPECT_EQ(elements(), 3u);
  SelectObj(c, kSelectOff, 1);
  DrawTransformedOutlines(kOutlineTurn, still);
  EXPECT_EQ(elements(), 5u);
}

TEST_F(TransformOutlines, AMoveDrawsWhatItsFirstStepFound) {
  Objex* floors[3];
  for (int i = 0; i < 3; ++i) {
    const float x = 200.0f * i;
    floors[i] = doc.addObject(kObjFloor, true, {{x, 0}, {x + 120, 0}, {x + 120, 120}, {x, 120}});
    floors[i]->planMask = 2;
    UpdateObjectBounds(floors[i]);
  }
  SelectObj(floors[0], kSelectOn, 1);
  SelectObj(floors[1], kSelectOn, 1);
  gCurTool = kToolSelection;
  auto move = [&](Objex* selectMidway) {
    measureSelection();
    hitWhole(floors[0]);
    gMouseCaptured = 1;
    BeginTracking(36, 36);
    std::vector<size_t> counts;
    for (int i = 1; i <= 3; ++i) {
      if (i == 2 && selectMidway) SelectObj(selectMidway, kSelectOn, 1);
      KeepTracking(36 + 10 * i, 36, 36 + 10 * (i - 1), 36);
      counts.push_back(elements());
    }
    EndTracking(36, 36, 36, 36);  // back where it began: nothing moves
    FinishTracking();
    return counts;
  };
  EXPECT_EQ(move(floors[2]), (std::vector<size_t>{2, 2, 2}));
  EXPECT_EQ(move(nullptr), (std::vector<size_t>{3, 3, 3}));
  EXPECT_FLOAT_EQ(floors[0]->firstPoint->position[0], 0.0f);
}

TEST_F(TransformOutlines, ResizeDrawsStretchedOutlinesOnlyOutsideThePlanAndElevations) {
  Objex* shape = addShape({{0, 0}, {96, 0}, {96, 48}, {0, 48}});
  Objex* other = addShape({{0, 60}, {48, 60}, {48, 96}, {0, 96}});
  SelectObj(shape, kSelectOn, 1);
  SelectObj(other, kSelectOn, 1);
  measureSelection();
  gCurTool = kToolResize;
  hitWhole(shape);
  gClickInfo.cornerHit = 1;
  gMouseCaptured = 1;
  BeginTracking(58, 58);
  KeepTracking(116, 58, 58, 58);
  EXPECT_EQ(elements(), 1u);  // the plan view shows the stretched box only
  EndTracking(116, 58, 116, 58);
  FinishTracking();

  // A 3D view, looking down at an angle.
  gXViewAngle = 30;
  gYViewAngle = 45;
  SetUpForRotationAboutArbitraryAxis(30, 45, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle, 0);
  ASSERT_NE(GetCurrentView(), kCmdViewTop);
  measureSelection();
  hitWhole(shape);
  gClickInfo.cornerHit = 1;
  gMouseCaptured = 1;
  BeginTracking(58, 58);
  KeepTracking(90, 70, 58, 58);
  EXPECT_EQ(elements(), 3u);  // the box and one outline per selected object
  EXPECT_EQ(gTransformationDrawing, 0);
  EndTracking(90, 70, 90, 70);
  FinishTracking();
}

TEST_F(TransformOutlines, MobiusRectIsNormalised) {
  RECT r;
  EXPECT_EQ(SetMobiusRect(&r, 30, 40, 10, 5), 40);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 5);
  EXPECT_EQ(r.right, 30);
  EXPECT_EQ(r.bottom, 40);
  EXPECT_EQ(SetMobiusRect(nullptr, 0, 0, 1, 1), 0);
}

TEST_F(TransformOutlines, DraggedMiddleSegmentOfAnOpenWallKeepsItsSidesStraight) {
  Objex* wall = AddTestWall(doc, {{0, -100}, {0, 0}, {200, 0}, {200, -100}});
  Poinz* p = TestPointAt(wall, 1);
  Poinz* q = TestPointAt(wall, 2);
  SelectPoint(p, kSelectOn, 1);
  SelectPoint(q, kSelectOn, 1);
  gCurPropertiesObjectCount = 1;
  gCurTool = kToolSelection;
  auto grab = [&] {
    gClickInfo = ClickInfo{};
    gClickInfo.hitMode = 1;
    gClickInfo.hitObject = wall;
    gClickInfo.segmentHit = 1;
    gClickInfo.hitPoint = p;
    gClickInfo.segmentEnd = q;
  };
  grab();
  drag({{60, 0}, {60, 18}});  // 30 down the screen
  EXPECT_NEAR(p->position[0], 0, 1e-3);
  EXPECT_NEAR(p->position[2], 30, 1e-3);
  EXPECT_NEAR(q->position[0], 200, 1e-3);
  EXPECT_NEAR(q->position[2], 30, 1e-3);
  EXPECT_NEAR(TestPointAt(wall, 0)->position[2], -100, 1e-3);
  EXPECT_NEAR(TestPointAt(wall, 3)->position[2], -100, 1e-3);

  // 120 up would leave sides 10 long: the segment stays at the previous step's place.
  grab();
  drag({{60, 18}, {60, 6}, {60, -54}});
  EXPECT_NEAR(p->position[2], 10, 1e-3);
  EXPECT_NEAR(q->position[2], 10, 1e-3);
  EXPECT_NEAR(p->position[0], 0, 1e-3);
}

}  // namespace
