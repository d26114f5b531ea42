// Key entry with linked points on walls that meet at their corners: the walls of four drags of
// the exterior wall tool, and walls joined end to end drawn either way round.
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QTest>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "app/Win32EventHandler.h"
#include "app/ZLKDocumentView.h"
#include "inspectors/KeyEntryControllers.h"
#include "inspectors/SheetTestSupport.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "tools/ToolCodes.h"

namespace {

// The rectangle's sides (plan units) and its corners in drawing order: NW, NE, SE, SW.
constexpr float kWest = -144, kEast = 144, kNorth = -96, kSouth = 96;
constexpr std::array<std::array<float, 2>, 4> kCorners{
    {{kWest, kNorth}, {kEast, kNorth}, {kEast, kSouth}, {kWest, kSouth}}};

// One end of one side of the rectangle: the wall (0 top, 1 east, 2 bottom, 3 west) and the
// corner the end stands at. Moving it moves the side through that corner, across the wall.
struct WallEnd {
  const char* name;
  int wall;
  int corner;
};
constexpr WallEnd kEnds[] = {
    {"top wall, east end", 0, 1},    {"top wall, west end", 0, 0},     {"east wall, north end", 1, 1},
    {"east wall, south end", 1, 2},  {"bottom wall, east end", 2, 2},  {"bottom wall, west end", 2, 3},
    {"west wall, north end", 3, 0},  {"west wall, south end", 3, 3},
};

// Where each point of the current floor's walls stands.
std::vector<std::array<float, 2>> WallPoints(Layer* layer) {
  std::vector<std::array<float, 2>> at;
  for (Objex* o = layer->firstObject; o; o = o->next)
    for (Poinz* p = o->firstPoint; p; p = p->next) at.push_back({p->position[0], p->position[2]});
  return at;
}

// The side of the rectangle through the end's corner across its wall (axis 0: x, 2: z), and the
// way the end goes when its wall grows.
struct MovingSide {
  int axis;
  float at;
  float outward;
};
MovingSide SideMovedBy(const WallEnd& e) {
  const bool horizontalWall = e.wall % 2 == 0;
  const auto& c = kCorners[e.corner];
  if (horizontalWall) return {0, c[0], c[0] > 0 ? 1.0f : -1.0f};
  return {2, c[1], c[1] > 0 ? 1.0f : -1.0f};
}

// After the wall's length changed by `change` (plan units) at the end: every point on the side
// through that corner (within a drawn wall's overshoot of it) moved as far across, the rest
// stayed. So every corner is still closed, as when the four walls are one closed wall.
void ExpectSideMoved(const std::vector<std::array<float, 2>>& before, const std::vector<std::array<float, 2>>& after,
                     const WallEnd& e, float change) {
  ASSERT_EQ(before.size(), after.size());
  const MovingSide side = SideMovedBy(e);
  const int k = side.axis == 0 ? 0 : 1;
  for (size_t i = 0; i < before.size(); ++i) {
    const bool moves = std::fabs(before[i][k] - side.at) < 30;
    std::array<float, 2> want = before[i];
    if (moves) want[k] += side.outward * change;
    EXPECT_NEAR(after[i][0], want[0], 0.05f) << "point " << i << (moves ? " on the moving side" : " elsewhere");
    EXPECT_NEAR(after[i][1], want[1], 0.05f) << "point " << i << (moves ? " on the moving side" : " elsewhere");
  }
}

// The length typed for a point-to-point length in plan units: inches in an imperial design,
// metres in a metric one.
QString Typed(float planUnits, const DocState* ds) {
  const float inches = ConvertScreenToWorld(planUnits, ds, 0);
  return ds->measureSystem == kMeasureMetric ? QString::number(inches * 0.0254, 'f', 5) + " m"
                                             : QString::number(inches, 'f', 3) + "\"";
}

// The sheet's remembered direction and linking go back to a new session's with each test.
class KeyEntryLinkedRoad : public PlanViewSheetTest {
 protected:
  void beforeClosing() override {
    KeyEntryController::sDirection = 1;
    KeyEntryController::sKeyEntryLinked = 0;
    PlanViewSheetTest::beforeClosing();
  }
  void drag(float x1, float z1, float x2, float z2) {
    QTest::mousePress(view, Qt::LeftButton, {}, at(x1, z1));
    for (int i = 1; i <= 4; ++i) QTest::mouseMove(view, at(x1 + (x2 - x1) * i / 4, z1 + (z2 - z1) * i / 4));
    QTest::mouseRelease(view, Qt::LeftButton, {}, at(x2, z2));
  }
};

// Floor plan, Exterior Wall: four drags round the rectangle, west to east along the top, north
// to south, east to west, south to north back to the start. Drawn exactly, they make one
// closed wall. A drag started a little past its corner, beyond the tool's reach of the wall end
// there (the second, third or fourth), leaves one open wall whose end segment runs on past the
// corner where its other end stands. Then the key entry tool on each wall, the end chosen by
// the colour of its handle, linked points on: the top and bottom walls lengthened by 4', the
// side walls shortened by 3', in an imperial design and a metric one.
TEST_F(KeyEntryLinkedRoad, FourDrawnWallsKeepEveryCornerWhicheverEndMoves) {
  for (const bool metric : {false, true}) {
    ds->measureSystem = metric ? kMeasureMetric : kMeasureImperial;
    ds->planScale = metric ? 50 : 36;
    for (int pastCorner = 0; pastCorner <= 3; ++pastCorner) {
      // The second drag's overshoot in both systems, the third's and fourth's in one each.
      if ((pastCorner == 2 && !metric) || (pastCorner == 3 && metric)) continue;
      for (const WallEnd& e : kEnds) {
        SCOPED_TRACE(::testing::Message() << (metric ? "metric, " : "imperial, ") << "drag " << pastCorner + 1
                                          << " started past its corner, " << e.name);
        DeleteLayerObjects(model->itsCurLayer);
        gCurTool = kToolExteriorWall;
        for (int d = 0; d < 4; ++d) {
          std::array<float, 2> from = kCorners[d];
          const std::array<float, 2>& to = kCorners[(d + 1) % 4];
          if (d == pastCorner && d > 0) {
            // 25 plan units back from the corner, along the drag.
            const float length = std::hypot(to[0] - from[0], to[1] - from[1]);
            from[0] -= 25 * (to[0] - from[0]) / length;
            from[1] -= 25 * (to[1] - from[1]) / length;
          }
          drag(from[0], from[1], to[0], to[1]);
        }
        ASSERT_EQ(model->itsCurLayer->firstObject->type, kObjWall);
        const std::vector<std::array<float, 2>> before = WallPoints(model->itsCurLayer);

        // The key entry tool on the middle of the wall.
        const auto& a = kCorners[e.wall];
        const auto& b = kCorners[(e.wall + 1) % 4];
        gCurTool = kToolKeyEntry;
        QTest::mouseClick(view, Qt::LeftButton, {}, at((a[0] + b[0]) / 2, (a[1] + b[1]) / 2));
        QApplication::processEvents();
        auto* s = sheet<KeyEntryController>();
        ASSERT_NE(s, nullptr);
        // The handle nearest the end's corner tells its colour.
        Poinz* handle = nullptr;
        float nearest = 1e9f;
        for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next)
          for (Poinz* p = o->firstPoint; p; p = p->next) {
            const float d = std::hypot(p->position[0] - kCorners[e.corner][0], p->position[2] - kCorners[e.corner][1]);
            if (p->keyEntryMark != 0 && d < nearest) handle = p, nearest = d;
          }
        ASSERT_NE(handle, nullptr);
        const float change = e.wall % 2 == 0 ? 96 : -72;  // 4' and 3' at 2 plan units an inch
        const float changeUnits = metric ? ConvertWorldToScreen(change / 2, ds, 0) : change;
        s->lengthText->setText(Typed(KeyEntryController::sLength + changeUnits, ds));
        s->locationButtons->button(handle->keyEntryMark > 0 ? 2 : 3)->setChecked(true);
        s->linkButton->setChecked(true);
        ok();
        EXPECT_EQ(lastUndo(), "Resize Segment");
        ExpectSideMoved(before, WallPoints(model->itsCurLayer), e, changeUnits);
      }
    }
  }
}

class KeyEntryLinkedWalls : public SheetTest {};

// The rectangle as four walls of their own joined at the corners: each wall drawn either way
// round (so that at a corner an end meets a start, two ends or two starts meet), their ends at
// the corners or each wall begun 20 plan units past its first corner. Each end of each wall
// moved (4' longer or 3' shorter) with linked points: the side through that corner moves with it.
TEST_F(KeyEntryLinkedWalls, WallsJoinedEndToEndEitherWayRoundKeepTheirCorners) {
  for (int reversed = 0; reversed < 16; ++reversed) {
    for (const float past : {0.0f, 20.0f}) {
      const bool metric = (reversed + (past > 0)) % 2 == 1;
      ds->measureSystem = metric ? kMeasureMetric : kMeasureImperial;
      ds->planScale = metric ? 50 : 36;
      for (const WallEnd& e : kEnds) {
        SCOPED_TRACE(::testing::Message() << "reversed walls " << reversed << ", begun " << past << " past, "
                                          << e.name << (metric ? ", metric" : ", imperial"));
        DeleteLayerObjects(model->itsCurLayer);
        Objex* walls[4];
        for (int k = 0; k < 4; ++k) {
          std::array<float, 2> from = kCorners[k];
          const std::array<float, 2>& to = kCorners[(k + 1) % 4];
          const float length = std::hypot(to[0] - from[0], to[1] - from[1]);
          from[0] -= past * (to[0] - from[0]) / length;
          from[1] -= past * (to[1] - from[1]) / length;
          const bool back = (reversed >> k) & 1;
          Objex* w = back ? AddPlanLine(model->itsCurLayer, to[0], to[1], from[0], from[1])
                          : AddPlanLine(model->itsCurLayer, from[0], from[1], to[0], to[1]);
          w->type = kObjWall;
          w->subtype = kSubExteriorWall;
          w->width = 4;
          for (Poinz* p = w->firstPoint; p; p = p->next) p->segmentFloats[0] = 96;
          walls[k] = w;
        }
        const std::vector<std::array<float, 2>> before = WallPoints(model->itsCurLayer);
        Objex* wall = walls[e.wall];
        Poinz* start = wall->firstPoint;
        Poinz* end = start->next;
        const bool startAtCorner = std::hypot(start->position[0] - kCorners[e.corner][0],
                                              start->position[2] - kCorners[e.corner][1]) < 30;
        // A red start handle: the red end (tag 2) is the start, the green (tag 3) the end.
        start->keyEntryMark = 1;
        end->keyEntryMark = -1;
        float initial = 0;
        const float angle = GetLineLengthAndAngle(start->position[0], start->position[2], end->position[0],
                                                  end->position[2], &initial);
        const float change = ConvertWorldToScreen(e.wall % 2 == 0 ? 48 : -36, ds, 0);
        EXPECT_EQ(ResizeKeyEntrySegment(wall, start, end, initial, initial + change, angle, startAtCorner ? 2 : 3,
                                        true),
                  SegmentResize::kMoved);
        ExpectSideMoved(before, WallPoints(model->itsCurLayer), e, change);
      }
    }
  }
}

// A wall of its own from (x1, z1) to (x2, z2), plan units, on the layer.
Objex* AddWall(Layer* layer, float x1, float z1, float x2, float z2) {
  Objex* w = AddPlanLine(layer, x1, z1, x2, z2);
  w->type = kObjWall;
  w->width = 4;
  for (Poinz* p = w->firstPoint; p; p = p->next) p->segmentFloats[0] = 96;
  return w;
}

// The end of an interior wall that stands on another wall away from that wall's ends (a T) is
// not a corner: linked, the wall it stands on stays. Standing on the near half of a wall's end
// segment it is one, and that wall moves across with it.
TEST_F(KeyEntryLinkedWalls, AWallEndOnTheMiddleOfAnotherIsNoCorner) {
  for (const float at : {0.5f, 0.3f}) {
    SCOPED_TRACE(at);
    DeleteLayerObjects(model->itsCurLayer);
    Objex* outer = AddWall(model->itsCurLayer, 0, -200, 0, 200);
    Objex* inner = AddWall(model->itsCurLayer, 150, -200 + 400 * at, 0, -200 + 400 * at);
    Poinz* start = inner->firstPoint;
    Poinz* end = start->next;
    start->keyEntryMark = 1;
    float initial = 0;
    const float angle =
        GetLineLengthAndAngle(start->position[0], start->position[2], end->position[0], end->position[2], &initial);
    ASSERT_EQ(ResizeKeyEntrySegment(inner, start, end, initial, initial + 50, angle, 3, true), SegmentResize::kMoved);
    EXPECT_NEAR(end->position[0], -50, 1e-3);
    const float outerX = at == 0.5f ? 0 : -50;
    EXPECT_NEAR(outer->firstPoint->position[0], outerX, 1e-3);
    EXPECT_NEAR(outer->firstPoint->next->position[0], outerX, 1e-3);
    EXPECT_NEAR(outer->firstPoint->position[2], -200, 1e-3);
  }
}

// A joined wall's point that the move would put past the plan's limits refuses the whole
// resize: both walls stay as they were.
TEST_F(KeyEntryLinkedWalls, AJoinedWallPastThePlanRefusesTheResize) {
  Objex* top = AddWall(model->itsCurLayer, 998000, 0, 998500, 0);
  Objex* slant = AddWall(model->itsCurLayer, 998500, 0, 999900, 300);
  const std::vector<std::array<float, 2>> before = WallPoints(model->itsCurLayer);
  Poinz* start = top->firstPoint;
  start->keyEntryMark = 1;
  EXPECT_EQ(ResizeKeyEntrySegment(top, start, start->next, 500, 700, 0, 3, true), SegmentResize::kRefused);
  EXPECT_EQ(WallPoints(model->itsCurLayer), before);
  // Unlinked, the joined wall stays and the end moves.
  EXPECT_EQ(ResizeKeyEntrySegment(top, start, start->next, 500, 700, 0, 3, false), SegmentResize::kMoved);
  EXPECT_NEAR(start->next->position[0], 998700, 1e-1);
  EXPECT_EQ(slant->firstPoint->position[0], 998500);
}

// A click of the key entry tool on a wall in a group picks the group, which has no segment of
// its own to resize: no sheet opens and nothing moves.
TEST_F(KeyEntryLinkedRoad, AWallInAGroupIsNotResized) {
  gCurTool = kToolExteriorWall;
  for (int d = 0; d < 4; ++d) drag(kCorners[d][0], kCorners[d][1], kCorners[(d + 1) % 4][0], kCorners[(d + 1) % 4][1]);
  gCurTool = kToolSelection;
  SelectAllLayers(model->itsLayers, kSelectOn, 1);
  Win32EventHandler::sharedEventHandler()->groupObjects();
  ASSERT_EQ(model->itsCurLayer->firstObject->type, kObjGroup);
  const std::vector<float> before = CurrentFloorLook(model);
  gCurTool = kToolKeyEntry;
  QTest::mouseClick(view, Qt::LeftButton, {}, at(0, kNorth));
  QApplication::processEvents();
  EXPECT_EQ(sheet<KeyEntryController>(), nullptr);
  EXPECT_EQ(CurrentFloorLook(model), before);
}

}  // namespace
