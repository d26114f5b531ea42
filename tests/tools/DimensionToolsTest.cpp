// The dimension tools: free dimension lines, offset and length dimensions placed with their
// own loop, leaders, and diameters of drawn circles.
#include <cmath>
#include <vector>

#include "ScriptedModalEvents.h"
#include "ToolTestSupport.h"
#include "model/Delete.h"
#include "tools/DimensionTools.h"
#include "tools/ObjectSnaps.h"

namespace {

constexpr float kDeg = 3.14159265f / 180;

// The plan at zoom 1 without grid snapping: window points are plan points.
struct DimensionTools : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    doc.ds()->newObjectPlanMask = 0x100;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
    gSnapLocked = 0;
  }
  Objex* only() {
    EXPECT_EQ(CountObjects(doc.first), 1);
    return doc.first->firstObject;
  }
  static std::vector<std::array<float, 2>> Points(const Objex* o) {
    std::vector<std::array<float, 2>> out;
    for (const Poinz* p = o->firstPoint; p; p = p->next) out.push_back({p->position[0], p->position[2]});
    return out;
  }
  // A window point at `degrees` and `length` from (x, z) (counter-clockwise on the screen).
  static POINT At(int32_t x, int32_t z, float degrees, float length) {
    return POINT{static_cast<int32_t>(std::lround(x + length * std::cos(degrees * kDeg))),
                 static_cast<int32_t>(std::lround(z - length * std::sin(degrees * kDeg)))};
  }
  static float AngleOf(const std::array<float, 2>& a, const std::array<float, 2>& b) {
    float d = std::atan2(-(b[1] - a[1]), b[0] - a[0]) / kDeg;
    return d < 0 ? d + 360 : d;
  }
};

TEST_F(DimensionTools, DimensionLineSnapsToFifteenDegreesUnlessShift) {
  gCurTool = kToolDimension;
  const POINT end = At(100, 300, 38, 200);
  drag({{100, 300}, {180, 250}, end});
  Objex* d = only();
  EXPECT_EQ(d->type, kObjDimLine);
  EXPECT_EQ(d->planMask, 0x100);
  auto p = Points(d);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_NEAR(AngleOf(p[0], p[1]), 45, 0.01f);
  const float dragged = std::hypot(end.x - 100.0f, end.y - 300.0f);
  EXPECT_NEAR(std::hypot(p[1][0] - p[0][0], p[1][1] - p[0][1]), dragged, 0.01f);
  // Both points at the press height.
  EXPECT_FLOAT_EQ(d->firstPoint->position[1], gDownY);
  EXPECT_FLOAT_EQ(d->firstPoint->next->position[1], gDownY);
  EXPECT_TRUE(overlay.areAllPathsEmpty());
  DeleteObj(d);

  sModifiers = kTrackModShift;
  drag({{100, 300}, {180, 250}, end});
  p = Points(only());
  EXPECT_NEAR(AngleOf(p[0], p[1]), std::atan2(300.0f - end.y, end.x - 100.0f) / kDeg, 0.01f);
  EXPECT_NEAR(AngleOf(p[0], p[1]), 38, 0.3f);
}

TEST_F(DimensionTools, DimensionLineClickMakesNothing) {
  gCurTool = kToolDimension;
  ServiceCallRecorder calls;
  drag({{100, 100}, {105, 100}});
  EXPECT_EQ(CountObjects(doc.first), 0);
  EXPECT_TRUE(calls.called("ResetStandardTool"));
  EXPECT_EQ(gMouseCaptured, 0);
}

TEST_F(DimensionTools, OffsetPreviewChoosesTheExtentByTheMouseSide) {
  // Above the middle of a diagonal: the x extent.
  EXPECT_EQ(DrawOffsetDimState(0, 0, 100, 100, 50, -50, 50, -50), 0);
  EXPECT_FALSE(overlay.isPathEmpty(kPathPrimary));
  // Beside it: the z extent.
  EXPECT_EQ(DrawOffsetDimState(0, 0, 100, 100, 150, 50, 150, 50), 1);
  // A vertical measured line: always z.
  EXPECT_EQ(DrawOffsetDimState(50, 0, 50, 100, 50, -60, 50, -60), 1);
  EXPECT_EQ(DrawOffsetDimState(50, 0, 50, 100, 160, 50, 160, 50), 1);
  // A horizontal one: always x.
  EXPECT_EQ(DrawOffsetDimState(0, 0, 100, 0, 160, 10, 160, 10), 0);
}

TEST_F(DimensionTools, LengthPreviewTakesTheMouseSideAndDistance) {
  overlay.removePointsFromAllPaths();
  DrawLengthDimState(0, 100, 200, 100, 80, 60);  // 40 above the line
  const NSRect b = overlay.boundsForPath(kPathPrimary);
  EXPECT_NEAR(b.origin.y, 100 - 47, 1.01f);  // the extension lines reach 7 past the mouse
  EXPECT_NEAR(b.origin.y + b.size.height, 95, 1.01f);
  float outside = 0;
  EXPECT_TRUE(DrawDiameterDimState(0, 0, 80, 0, 100, &outside));
  EXPECT_FLOAT_EQ(outside, 30);
  EXPECT_FALSE(DrawDiameterDimState(0, 0, 20, 0, 100, &outside));
  EXPECT_FLOAT_EQ(outside, -30);
}

TEST_F(DimensionTools, OffsetToolPlacesTheExtentChosenByTheLastPreview) {
  gCurTool = kToolOffsetDimension;
  {
    ScriptedModalEvents e;
    e.move(200, 120).move(150, 40).down(150, 40);  // above the middle (150, 150)
    drag({{100, 100}, {150, 150}, {200, 200}});
    Objex* d = only();
    EXPECT_EQ(d->type, kObjOffsetDimHorizontal);  // the x extent
    EXPECT_EQ(d->planMask, 0x100);
    auto p = Points(d);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_FLOAT_EQ(p[1][1], 40);  // its line through the last loop point
    EXPECT_FALSE(e.acceptsMouseMovedEvents());
    EXPECT_TRUE(overlay.areAllPathsEmpty());
    DeleteObj(d);
  }
  {
    ScriptedModalEvents e;
    e.move(260, 150).down(260, 150);  // beside it
    drag({{100, 100}, {150, 150}, {200, 200}});
    Objex* d = only();
    EXPECT_EQ(d->type, kObjOffsetDim);  // the z extent
    EXPECT_FLOAT_EQ(Points(d)[1][0], 260);
  }
}

TEST_F(DimensionTools, ShiftSnapsOffsetAndLengthToFifteenDegrees) {
  for (uint16_t tool : {kToolOffsetDimension, kToolLengthDimension}) {
    gCurTool = tool;
    sModifiers = kTrackModShift;
    ScriptedModalEvents e;
    e.move(300, 100, kModalShiftKey).down(300, 100, kModalShiftKey);
    const POINT end = At(100, 300, 38, 200);
    drag({{100, 300}, end});
    ASSERT_EQ(CountObjects(doc.first), 1) << tool;
    const float angle = std::atan2(-(gUpZ - gDownZ), gUpX - gDownX) / kDeg;
    EXPECT_NEAR(angle, 45, 0.01f) << tool;
    EXPECT_NEAR(std::hypot(gUpX - gDownX, gUpZ - gDownZ), std::hypot(end.x - 100.0f, end.y - 300.0f), 0.01f);
    if (tool == kToolLengthDimension) {
      EXPECT_EQ(doc.first->firstObject->type, kObjLengthDim);
    }
    DeleteObj(doc.first->firstObject);
  }
}

TEST_F(DimensionTools, TabCyclesTheSnapToolsAndOtherKeysAreIgnored) {
  gCurTool = kToolLengthDimension;
  gCurSnap = 500;
  ScriptedModalEvents e;
  e.setMouseLocation(POINT{150, 60});
  e.move(150, 60).key(kModalKeyTab).key(0).key(kModalKeyReturn).move(150, 50).down(150, 50);
  drag({{100, 100}, {200, 100}});
  EXPECT_NE(gCurSnap, 500);  // Tab moved to the next snap tool
  EXPECT_EQ(e.pending(), 0u);  // the other keys did not end the loop
  ASSERT_EQ(CountObjects(doc.first), 1);
  EXPECT_EQ(doc.first->firstObject->type, kObjLengthDim);
}

TEST_F(DimensionTools, LeaderSecondLegSnapsUnlessShift) {
  gCurTool = kToolLeaderDimension;
  const POINT text = At(200, 100, 38, 100);
  {
    ScriptedModalEvents e;
    e.move(text.x, text.y).down(text.x, text.y);
    drag({{100, 200}, {150, 150}, {200, 100}});
    Objex* d = only();
    EXPECT_EQ(d->type, kObjLeaderDim);
    EXPECT_EQ(d->planMask, 0x100);
    EXPECT_EQ(d->typeData, nullptr);
    auto p = Points(d);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_FLOAT_EQ(p[0][0], 100);  // the arrow tip
    EXPECT_FLOAT_EQ(p[1][0], 200);  // the elbow
    EXPECT_NEAR(AngleOf(p[1], p[2]), 45, 0.01f);
    DeleteObj(d);
  }
  {
    ScriptedModalEvents e;
    e.move(text.x, text.y, kModalShiftKey).down(text.x, text.y, kModalShiftKey);
    drag({{100, 200}, {150, 150}, {200, 100}});
    auto p = Points(only());
    EXPECT_FLOAT_EQ(p[2][0], static_cast<float>(text.x));
    EXPECT_FLOAT_EQ(p[2][1], static_cast<float>(text.y));
  }
}

TEST_F(DimensionTools, OffsetLoopEndedByAClosedWindowMakesNothing) {
  gCurTool = kToolOffsetDimension;
  ScriptedModalEvents e;
  e.move(150, 40).closeWindow();
  drag({{100, 100}, {200, 200}});
  EXPECT_EQ(CountObjects(doc.first), 0);
  EXPECT_TRUE(overlay.areAllPathsEmpty());
  EXPECT_EQ(gMouseCaptured, 0);
}

struct DiameterTool : DimensionTools {
  // A detail oval through (x1, z), (x2, z) and so on from the oval tool.
  Objex* oval(int32_t x1, int32_t z1, int32_t x2, int32_t z2) {
    gCurTool = kToolCircleOval;
    drag({{x1, z1}, {x2, z2}});
    Objex* o = doc.first->firstObject;
    while (o && o->next) o = o->next;
    return o;
  }
};

TEST_F(DiameterTool, CircleGetsADiameterAlongTheLastDirection) {
  Objex* circle = oval(100, 100, 200, 200);  // centre (150, 150), diameter 100
  ASSERT_NE(circle, nullptr);
  ASSERT_EQ(circle->subtype, kSubDetailOval);
  gCurTool = kToolDiameterDimension;
  ScriptedModalEvents e;
  e.drag(230, 150).drag(150, 60).up(150, 60);  // last direction: straight up
  drag({{200, 150}});
  ASSERT_EQ(CountObjects(doc.first), 2);
  Objex* d = doc.first->firstObject->next;
  EXPECT_EQ(d->type, kObjDiameterDim);
  EXPECT_EQ(d->subtype, kObjDiameterDim);
  EXPECT_EQ(d->planMask, 0x100);
  EXPECT_EQ(d->typeData, nullptr);
  auto p = Points(d);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_NEAR(p[0][0], 150, 0.01f);
  EXPECT_NEAR(p[0][1], 200, 0.01f);
  EXPECT_NEAR(p[1][0], 150, 0.01f);
  EXPECT_NEAR(p[1][1], 100, 0.01f);
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_TRUE(overlay.areAllPathsEmpty());
}

TEST_F(DiameterTool, TabInThePreviewLoopMovesToTheNextSnapTool) {
  Objex* circle = oval(100, 100, 200, 200);
  ASSERT_NE(circle, nullptr);
  gCurTool = kToolDiameterDimension;
  gCurSnap = 500;
  ScriptedModalEvents e;
  e.drag(150, 60).key(kModalKeyTab).key(kModalKeyReturn).up(150, 60);
  drag({{200, 150}});
  EXPECT_NE(gCurSnap, 500);
  EXPECT_EQ(e.pending(), 0u);  // other keys did not end the loop
  EXPECT_EQ(CountObjects(doc.first), 2);
}

TEST_F(DiameterTool, DiametersThatRoundEqualMakeACircle) {
  Objex* circle = oval(100, 100, 200, 200);
  ASSERT_NE(circle, nullptr);
  // Stretch one diameter by 0.4 units: it still rounds to 100.
  Poinz* p2 = circle->firstPoint->next;
  p2->position[2] -= 0.4f;
  gCurTool = kToolDiameterDimension;
  ScriptedModalEvents e;
  e.drag(260, 150).up(260, 150);
  drag({{200, 150}});
  EXPECT_EQ(CountObjects(doc.first), 2);
}

TEST_F(DiameterTool, EllipsesRectanglesAndMissedClicksGetNothing) {
  Objex* ellipse = oval(100, 100, 260, 200);
  ASSERT_NE(ellipse, nullptr);
  gCurTool = kToolDiameterDimension;
  {
    ScriptedModalEvents e;
    e.drag(300, 150).up(300, 150);
    drag({{260, 150}});
    EXPECT_EQ(CountObjects(doc.first), 1);
  }
  DeleteObj(ellipse);
  gCurTool = kToolRectangle;
  drag({{100, 100}, {200, 200}});
  gCurTool = kToolDiameterDimension;
  {
    ScriptedModalEvents e;
    e.drag(300, 150).up(300, 150);
    drag({{200, 150}});
    drag({{400, 400}});  // nothing under the click
    EXPECT_EQ(CountObjects(doc.first), 1);
    EXPECT_EQ(gMouseCaptured, 0);  // released at the mouse-up all the same
  }
}

TEST_F(DiameterTool, RefusedBuildLeavesTheOverlayClearAndTheModelAlone) {
  Objex* circle = oval(100, 100, 200, 200);
  ASSERT_NE(circle, nullptr);
  gCurTool = kToolDiameterDimension;
  {
    // Without a current layer the builder refuses.
    Layer* saved = doc.model.itsCurLayer;
    doc.model.itsCurLayer = nullptr;
    ScriptedModalEvents e;
    e.drag(260, 150).up(260, 150);
    drag({{200, 150}});
    doc.model.itsCurLayer = saved;
    EXPECT_EQ(CountObjects(doc.first), 1);
    EXPECT_TRUE(overlay.areAllPathsEmpty());
  }
  {
    // The design window closes in the middle of the drag: nothing, and the mouse is let go.
    ScriptedModalEvents e;
    e.drag(260, 150).closeWindow();
    drag({{200, 150}});
    EXPECT_EQ(CountObjects(doc.first), 1);
    EXPECT_TRUE(overlay.areAllPathsEmpty());
    EXPECT_EQ(gMouseCaptured, 0);
  }
}

}  // namespace
