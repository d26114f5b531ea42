// The staircase and railing tools driven by scripted events: the defaults each new object
// takes, the deck palette's variants, posts at every railing point, and the curved
// staircase's quarter-arc loop (nothing for a click or a small arc, Shift, the climbing
// direction, and the arc shown in the overlay while the loop runs).
#include <QImage>
#include <QPainter>

#include <cmath>
#include <functional>

#include "ScriptedModalEvents.h"
#include "ToolTestSupport.h"
#include "building3d/Railings3D.h"
#include "model/Delete.h"
#include "model/StairFields.h"
#include "tools/ObjectSnaps.h"
#include "plandraw/GuiTestSupport.h"
#include "plandraw/qt/QPainterDrawContext.h"
#include "tools/StairTools.h"

namespace {

// The plan at zoom 1 without grid snapping: window points are plan points.
struct StairTools : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
    gSnapLocked = 0;
  }
  void click(uint16_t tool, int32_t x, int32_t z) {
    gCurTool = tool;
    drag({{x, z}});
  }
  static void corner(ScriptedModalEvents& e, int32_t x, int32_t z) { e.move(x, z).down(x, z); }
  Objex* only() {
    EXPECT_EQ(CountObjects(doc.first), 1);
    return doc.first->firstObject;
  }
  static int PointCount(const Objex* o) {
    int n = 0;
    for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
    return n;
  }
  // A staircase entered corner by corner: (0, 0), then the corners, then Escape.
  Objex* enter(uint16_t tool, std::initializer_list<std::pair<int32_t, int32_t>> corners) {
    ScriptedModalEvents e;
    for (auto [x, z] : corners) corner(e, x, z);
    e.key(kModalKeyEscape);
    click(tool, 0, 0);
    return doc.first->firstObject;
  }
  // The curved staircase: press and release at `down`, then a move and a click at `up`.
  Objex* curved(POINT down, POINT up, uint32_t flags = 0, uint16_t tool = kToolCurvedStairway) {
    ScriptedModalEvents e;
    e.move(up.x, up.y, flags).down(up.x, up.y, flags);
    click(tool, down.x, down.y);
    return doc.first->firstObject;
  }
};

TEST_F(StairTools, EveryStaircaseAndRailingToolIsBuilt) {
  for (uint16_t tool : {kToolStraightStairway, kToolCurvedStairway, kToolStraightRailing, kToolCurvedRailing,
                        kToolDeckStraightRailing, kToolDeckCurvedRailing, kToolDeckStraightStairway,
                        kToolDeckCurvedStairway})
    EXPECT_EQ(PendingTrackingRoutine(tool), nullptr) << tool;
}

TEST_F(StairTools, StraightStaircaseTakesTheDefaultsAndIsBuilt) {
  ServiceCallRecorder calls;
  Objex* st = enter(kToolStraightStairway, {{130, 0}});
  ASSERT_NE(st, nullptr);
  EXPECT_EQ(st->type, kObjStaircase);
  EXPECT_EQ(st->subtype, kSubStraightStair);
  EXPECT_EQ(st->planMask, 2);
  EXPECT_EQ(st->textureID1, 2206);
  EXPECT_EQ(st->textureID2, 1700);
  EXPECT_EQ(st->penColor.red, 65535);
  EXPECT_EQ(st->textureScale2.x, 100);
  EXPECT_FLOAT_EQ(StairWidthOf(st), 48);
  EXPECT_FLOAT_EQ(StairStepHeightOf(st), 7);
  EXPECT_FLOAT_EQ(StairStepDepthOf(st), 10);
  EXPECT_FLOAT_EQ(StairHandrailHeightOf(st), 36);
  EXPECT_FLOAT_EQ(StairHeightOf(st), 96);
  EXPECT_EQ(LeftRailOf(st), 1);
  EXPECT_EQ(RightRailOf(st), 1);
  EXPECT_EQ(SkirtWallsOf(st), 1);
  EXPECT_FLOAT_EQ(ClosedStepsOf(st), 1.0f);
  EXPECT_EQ(PointCount(st), 2);
  for (const Poinz* p = st->firstPoint; p; p = p->next) {
    EXPECT_EQ(p->segmentFlags, 0);
    EXPECT_EQ(p->textureID[0], 0);
    EXPECT_EQ(p->color[1].blue, 65535);
  }
  EXPECT_EQ(CountGeneratedParts(st, kObjStairTread), 7);  // 130 units at 20 a tread
  EXPECT_TRUE(calls.called("RenderSingleObject", st->objectID));
  EXPECT_EQ(gMouseCaptured, 0);
}

TEST_F(StairTools, DeckStaircaseAndChangedDefaults) {
  doc.ds()->stairStepHeight() = 8;
  doc.ds()->stairOpenSteps = 1;
  doc.ds()->stairLeftRail() = 0;
  Objex* st = enter(kToolDeckStraightStairway, {{130, 0}});
  ASSERT_NE(st, nullptr);
  EXPECT_EQ(st->planMask, 64);
  EXPECT_EQ(st->textureID2, 2207);
  for (const Poinz* p = st->firstPoint; p; p = p->next) EXPECT_EQ(p->segmentFlags, 1);
  EXPECT_FLOAT_EQ(StairStepHeightOf(st), 8);
  EXPECT_FLOAT_EQ(ClosedStepsOf(st), 0.0f);
  EXPECT_EQ(LeftRailOf(st), 0);
  EXPECT_EQ(RightRailOf(st), 1);
}

TEST_F(StairTools, RailingsGetAPostAtEveryPoint) {
  Objex* r = enter(kToolStraightRailing, {{120, 0}, {120, 120}});
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->type, kObjRailing);
  EXPECT_EQ(r->subtype, kSubStraightRail);
  EXPECT_EQ(r->planMask, 2);
  EXPECT_EQ(r->textureID1, 2206);
  EXPECT_EQ(r->textureID2, 0);
  EXPECT_FLOAT_EQ(RailHeightOf(r), 36);
  EXPECT_FLOAT_EQ(RailBalusterSpacingOf(r), 6);
  EXPECT_EQ(LeftRailOf(r), 1);
  EXPECT_EQ(RightRailOf(r), 1);
  ASSERT_EQ(PointCount(r), 3);
  for (const Poinz* p = r->firstPoint; p; p = p->next) EXPECT_EQ(p->segmentFlags, kDeckSegmentPost);
  // Two spans of 11 balusters and 2 rails, and a post at each of the three points.
  EXPECT_EQ(CountGeneratedParts(r, kObjRailPart), 2 * 13 + 3);
}

TEST_F(StairTools, DeckAndCurvedRailings) {
  Objex* deck = enter(kToolDeckStraightRailing, {{120, 0}});
  ASSERT_NE(deck, nullptr);
  EXPECT_EQ(deck->planMask, 64);
  UnlinkObject(deck);
  DeleteObj(deck);

  Objex* curvedRail = enter(kToolDeckCurvedRailing, {{120, 0}, {120, 120}});
  ASSERT_NE(curvedRail, nullptr);
  EXPECT_EQ(curvedRail->planMask, 64);
  EXPECT_EQ(curvedRail->subtype, kSubCurvedRail);  // the entry was smoothed into a curve
  EXPECT_GT(CountGeneratedParts(curvedRail, kObjSpindle), 0);
}

TEST_F(StairTools, CurvedStaircaseNeedsAnArcOfFortyUnits) {
  // A click without movement makes nothing.
  EXPECT_EQ(curved({100, 100}, {100, 100}), nullptr);
  // A 15 x 15 drag: an ellipse of 30 x 30, under 40 on both axes.
  EXPECT_EQ(curved({100, 100}, {115, 115}), nullptr);
  EXPECT_EQ(CountObjects(doc.first), 0);
  EXPECT_EQ(gMouseCaptured, 0);
  // 20 x 10: 40 on one axis.
  Objex* st = curved({100, 100}, {120, 110});
  ASSERT_NE(st, nullptr);
  EXPECT_EQ(st->type, kObjStaircase);
  EXPECT_EQ(st->subtype, kSubCurvedStair);
  EXPECT_EQ(PointCount(st), 4);
  EXPECT_EQ(st->planMask, 2);
  EXPECT_EQ(st->textureID2, 1700);
  EXPECT_EQ(st->typeData != nullptr, true);
  // The ends are straight; the arc between them keeps its tangents.
  EXPECT_EQ(st->firstPoint->inHandle[0], 0.0f);
  EXPECT_EQ(st->firstPoint->inHandle[2], 0.0f);
}

TEST_F(StairTools, TabInTheCurvedStaircaseLoopMovesToTheNextSnapTool) {
  gCurSnap = 500;
  ScriptedModalEvents e;
  e.move(120, 110).key(kModalKeyTab).key(kModalKeyReturn).down(120, 110);
  click(kToolCurvedStairway, 100, 100);
  EXPECT_NE(gCurSnap, 500);
  EXPECT_EQ(e.pending(), 0u);  // other keys did not end the loop
  ASSERT_EQ(CountObjects(doc.first), 1);
  EXPECT_EQ(doc.first->firstObject->subtype, kSubCurvedStair);
}

TEST_F(StairTools, ShiftMakesAQuarterCircle) {
  Objex* st = curved({100, 100}, {140, 110}, kModalShiftKey);
  ASSERT_NE(st, nullptr);
  // Centre (mouse x, mouse-down z), radius 40 both ways.
  for (const Poinz* p = st->firstPoint; p; p = p->next)
    EXPECT_NEAR(std::hypot(p->position[0] - 140, p->position[2] - 100), 40.0f, 0.01f);
}

TEST_F(StairTools, DragDirectionDecidesTheTurnOfTheStaircase) {
  // The turn of the points (sign of the cross product of the first two chords); every
  // staircase climbs from the mouse-down point.
  auto turn = [&](POINT up) {
    Objex* st = curved({200, 200}, up);
    EXPECT_NE(st, nullptr);
    if (!st) return 0;
    const Poinz* a = st->firstPoint;
    const Poinz* b = a->next;
    const Poinz* c = b->next;
    EXPECT_NEAR(a->position[0], 200.0f, 0.01f);
    EXPECT_NEAR(a->position[2], 200.0f, 0.01f);
    const float cross = (b->position[0] - a->position[0]) * (c->position[2] - b->position[2]) -
                        (b->position[2] - a->position[2]) * (c->position[0] - b->position[0]);
    UnlinkObject(st);
    DeleteObj(st);
    return cross > 0 ? 1 : -1;
  };
  const int downRight = turn({260, 260});
  const int upLeft = turn({140, 140});
  const int upRight = turn({260, 140});
  const int downLeft = turn({140, 260});
  EXPECT_EQ(downRight, upLeft);
  EXPECT_EQ(upRight, downLeft);
  EXPECT_NE(downRight, upRight);
}

TEST_F(StairTools, DeckCurvedStaircase) {
  Objex* st = curved({100, 100}, {150, 150}, 0, kToolDeckCurvedStairway);
  ASSERT_NE(st, nullptr);
  EXPECT_EQ(st->planMask, 64);
  EXPECT_EQ(st->textureID2, 2207);
  for (const Poinz* p = st->firstPoint; p; p = p->next) EXPECT_EQ(p->segmentFlags, 1);
}

// A scripted queue that runs a check just before it hands out its last event.
class CheckBeforeLastEvent : public ScriptedModalEvents {
 public:
  std::function<void()> check;
  bool nextEvent(uint32_t mask, ModalEvent* event) override {
    if (pending() == 1 && check) {
      check();
      check = nullptr;
    }
    return ScriptedModalEvents::nextEvent(mask, event);
  }
};

TEST_F(StairTools, QuarterArcShowsInTheOverlayWhileTheLoopRuns) {
  GuiApplication();
  QImage image(300, 300, QImage::Format_RGB32);
  bool checked = false;
  CheckBeforeLastEvent e;
  e.move(140, 140).down(140, 140);
  e.check = [&] {
    image.fill(Qt::white);
    QPainter painter(&image);
    QPainterDrawContext ctx(&painter);
    overlay.strokeAllPaths(&ctx);
    checked = true;
  };
  gCurTool = kToolCurvedStairway;
  drag({{100, 100}});
  ASSERT_TRUE(checked);
  auto inked = [&](int x, int y) {
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy)
        if (image.pixel(x + dx, y + dy) != qRgb(255, 255, 255)) return true;
    return false;
  };
  // The quarter circle of radius 40 about (140, 100) from (100, 100) to (140, 140), drawn as
  // three chords: their middles show, the centre and the far quadrants stay empty.
  EXPECT_TRUE(inked(102, 110));  // first chord, 180 to 210 degrees
  EXPECT_TRUE(inked(113, 127));  // middle chord
  EXPECT_TRUE(inked(130, 138));  // last chord
  EXPECT_FALSE(inked(140, 100));
  EXPECT_FALSE(inked(170, 70));
  EXPECT_FALSE(inked(170, 130));
  // After the click the overlay is empty again and the staircase is there.
  EXPECT_TRUE(overlay.areAllPathsEmpty());
  EXPECT_NE(doc.first->firstObject, nullptr);
}

}  // namespace
