// The freehand roof tool (scripted corners) and the slope arrow drag that turns a panel.
#include <cmath>
#include <cstddef>

#include "ScriptedModalEvents.h"
#include "ToolTestSupport.h"
#include "building3d/RoofPanels3D.h"
#include "tools/RoofPanelTools.h"

namespace {

struct RoofPanelTools : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    doc.ds()->newRoofPitch() = 10;
    doc.first->height = 96;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  // A panel drawn with the tool: the square (0, 0)-(100, 100).
  Objex* drawSquare() {
    ScriptedModalEvents e;
    for (auto [x, z] : {std::pair{100, 0}, {100, 100}, {0, 100}, {2, 2}}) e.move(x, z).down(x, z);
    gCurTool = kToolFreehandRoof;
    drag({{0, 0}});
    EXPECT_EQ(CountObjects(doc.first), 1);
    return doc.first->firstObject;
  }
  // Drags the arrow's head from its window point to `to`, released at `release`.
  // With `fromClick` the drag is started the way the move tool hands it over, from the click
  // record alone.
  void dragHead(Objex* arrow, POINT to, POINT release, uint32_t flags, bool fromClick = false) {
    Poinz* head = arrow->firstPoint->next;
    const POINT press{static_cast<int32_t>(std::lround(head->position[0])),
                      static_cast<int32_t>(std::lround(head->position[2]))};
    ScriptedModalEvents e;
    e.drag(to.x, to.y, flags).up(release.x, release.y, flags);
    gClickInfo = ClickInfo{};
    gClickInfo.hitObject = arrow;
    gClickInfo.hitPoint = head;
    gClickInfo.where = press;
    sModifiers = 0;
    if (fromClick) TrackRoofSlopeDirection();
    else TrackRoofSlopeDirection(arrow, 0, 0, 0);
  }
};

TEST_F(RoofPanelTools, NewPanelFallsTowardTwoSeventyWithItsArrowThroughTheMiddle) {
  Objex* p = drawSquare();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->type, kObjRoofPanel);
  EXPECT_EQ(p->planMask, 16);
  EXPECT_FLOAT_EQ(p->width, 10);
  EXPECT_FLOAT_EQ(p->params[0], 270);
  EXPECT_FLOAT_EQ(p->baseElevation, 96);
  EXPECT_EQ(p->textureID1, 1255);
  EXPECT_EQ(p->color1.red, 58000);
  EXPECT_EQ(p->penColor.green, 0);
  EXPECT_NE(p->typeData, nullptr);
  Objex* arrow = FindSlopeDirectionArrowObject(p);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(p->firstChild, arrow);
  EXPECT_EQ(arrow->next, nullptr);  // one arrow
  const Poinz* a = arrow->firstPoint;
  const Poinz* b = a->next;
  EXPECT_NEAR(std::hypot(b->position[0] - a->position[0], b->position[2] - a->position[2]), 80, 1e-3);
  EXPECT_NEAR((a->position[0] + b->position[0]) / 2, 50, 1e-3);
  EXPECT_NEAR((a->position[2] + b->position[2]) / 2, 50, 1e-3);
  EXPECT_GT(b->position[2], a->position[2]);  // pointing toward 270 degrees
  EXPECT_EQ(PendingTrackingRoutine(kToolFreehandRoof), nullptr);
}

TEST_F(RoofPanelTools, NewPanelTakesTheStoredElevationReference) {
  // The elevation choice the roof panel inspector keeps as the default (a stored setting).
  doc.ds()->roofElevationRef = 1;
  Objex* p = drawSquare();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->slopeAnchor(), 1);
}

TEST_F(RoofPanelTools, OutlineOfTwoCornersStillMakesAPanelWithItsArrow) {
  ScriptedModalEvents e;
  e.move(100, 0).down(100, 0).key(kModalKeyEscape);
  gCurTool = kToolFreehandRoof;
  drag({{0, 0}});
  ASSERT_EQ(CountObjects(doc.first), 1);
  Objex* p = doc.first->firstObject;
  EXPECT_EQ(p->type, kObjRoofPanel);
  int corners = 0;
  for (const Poinz* pt = p->firstPoint; pt; pt = pt->next) ++corners;
  EXPECT_EQ(corners, 2);
  EXPECT_NE(FindSlopeDirectionArrowObject(p), nullptr);
  // Too few corners for a plane: the corners keep the height they were drawn at.
  for (const Poinz* pt = p->firstPoint; pt; pt = pt->next) EXPECT_FLOAT_EQ(pt->position[1], p->firstPoint->position[1]);
}

TEST_F(RoofPanelTools, ArrowDragSnapsToFifteenDegreesUnlessShiftAlone) {
  Objex* p = drawSquare();
  Objex* arrow = FindSlopeDirectionArrowObject(p);
  ASSERT_NE(arrow, nullptr);
  // A point at 100 degrees from the middle (50, 50).
  const POINT at100{15, -147};
  dragHead(arrow, at100, at100, 0);
  EXPECT_FLOAT_EQ(p->params[0], 105);
  EXPECT_TRUE(arrow->firstPoint->selected || arrow->firstPoint->next->selected || IsObjectSelected(arrow));
  dragHead(arrow, at100, at100, kModalShiftKey);
  EXPECT_NEAR(p->params[0], 100, 0.2);
  // Shift with Command is not Shift alone: steps again.
  dragHead(arrow, at100, at100, kModalShiftKey | kModalCommandKey);
  EXPECT_FLOAT_EQ(p->params[0], 105);
}

TEST_F(RoofPanelTools, ArrowDragStartedFromTheClickRecord) {
  Objex* p = drawSquare();
  Objex* arrow = FindSlopeDirectionArrowObject(p);
  ASSERT_NE(arrow, nullptr);
  dragHead(arrow, POINT{15, -147}, POINT{15, -147}, 0, true);
  EXPECT_FLOAT_EQ(p->params[0], 105);
  // Nothing under the click: the panel keeps its direction.
  ScriptedModalEvents e;
  e.drag(100, 100).up(100, 100);
  gClickInfo = ClickInfo{};
  TrackRoofSlopeDirection();
  EXPECT_FLOAT_EQ(p->params[0], 105);
}

TEST_F(RoofPanelTools, ReleaseAtThePressPointChangesNothing) {
  Objex* p = drawSquare();
  Objex* arrow = FindSlopeDirectionArrowObject(p);
  ASSERT_NE(arrow, nullptr);
  const Poinz* head = arrow->firstPoint->next;
  const POINT press{static_cast<int32_t>(std::lround(head->position[0])),
                    static_cast<int32_t>(std::lround(head->position[2]))};
  ServiceCallRecorder calls;
  dragHead(arrow, POINT{15, -147}, press, 0);
  EXPECT_FLOAT_EQ(p->params[0], 270);
  EXPECT_FALSE(calls.called("Update3DRoofPanel"));
}

}  // namespace
