// Placing and picking through the plan view as a user does: a door and a window placed with
// their tools on a wall, and a roof drawn with the roof tool, selected by a click of the
// selection tool (and the roof by a marquee) on the tab that shows them; a door without a
// swing placed with the door tool; a group picked by its members in every tab, and taken by
// Select All and a marquee only where its members show.
#include <gtest/gtest.h>

// The attachment records first: their field "slots" is a word Qt's headers take for themselves.
#include "model/Attachments.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/PlanViewActions.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "model/CommandCodes.h"
#include "model/ConvertObject.h"
#include "model/Delete.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/Services.h"
#include "model/ViewCommands.h"
#include "model/ViewProjection.h"
#include "platform/Alerts.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

class PlanViewPick : public DesignWindowTest {
 protected:
  void beforeDocument() override { ResetTrackingState(); }
  void afterDocument() override {
    ds->measureSystem = kMeasureMetric;
    SetDocStateMetricDefaults(ds);
    view = showPlanView(2);
    metre = ConvertWorldToScreen(39.370079f, ds, 0);
  }
  void beforeClosing() override {
    gCurTool = kToolSelection;
    ResetTrackingState();
  }

  QPoint at(float x, float z) const { return WidgetPointOf(view, x, z); }
  // An exterior wall along the plan points, made from a line as Convert to Exterior Wall does.
  Objex* addWall(std::initializer_list<std::pair<float, float>> points) {
    RGBColor black{};
    Objex* line = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr);
    for (auto [x, z] : points)
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, line), line);
    AppendObjectToLayer(line, model->itsCurLayer);
    EXPECT_TRUE(ConvertObjectType(line, kCmdConvertToExteriorWall));
    view->refreshVisibleView();
    QApplication::processEvents();
    return line;
  }
  // A press of the current tool at `press`, then (queued) the pointer moved to `release`, the
  // release and, when `second` is given, a further click there (a door's swing).
  void toolClick(QPoint press, QPoint release, const QPoint* second = nullptr) {
    const bool swing = second != nullptr;
    const QPoint then = swing ? *second : QPoint();
    QTimer::singleShot(0, view, [this, press, release, swing, then] {
      for (int step = 1; step <= 4; ++step) {
        const QPointF where = press + (release - press) * step / 4.0;
        QMouseEvent move(QEvent::MouseMove, where, view->mapToGlobal(where), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view, &move);
      }
      QTest::mouseRelease(view, Qt::LeftButton, {}, release);
      if (swing) {
        QTest::mouseMove(view, then);
        QTest::mousePress(view, Qt::LeftButton, {}, then);
        QTest::mouseRelease(view, Qt::LeftButton, {}, then);
      }
    });
    QTest::mousePress(view, Qt::LeftButton, {}, press);
    QApplication::processEvents();
  }
  void click(QPoint where) {
    QTest::mousePress(view, Qt::LeftButton, {}, where);
    QTest::mouseRelease(view, Qt::LeftButton, {}, where);
  }
  static Objex* childOfType(Objex* parent, int16_t type) {
    for (Objex* c = parent->firstChild; c; c = c->next)
      if (c->type == type) return c;
    return nullptr;
  }

  ZLKDocumentView* view = nullptr;
  float metre = 1;
};

TEST_F(PlanViewPick, APlacedDoorOrWindowIsPickedAcrossItsWallBeforeTheWall) {
  ds->wallThickness = 9.84252f;  // 25 cm
  Objex* wall = addWall({{0, 0}, {6 * metre, 0}});
  ASSERT_GT(wall->width, 6);  // the wall's band is several pixels wide at this zoom
  window->selectPlanTab(1);
  ds->snapToGrid = 0;
  gCurTool = kToolWindow;
  toolClick(at(4.3f * metre, 0), at(4.5f * metre, 0));
  Objex* win = childOfType(wall, kObjWindow);
  ASSERT_NE(win, nullptr);
  ds->doorStyle = 501;
  gCurTool = kToolDoor;
  const QPoint swingAt = at(1.5f * metre, -0.8f * metre);
  toolClick(at(1.4f * metre, 0), at(1.5f * metre, 0), &swingAt);
  Objex* door = childOfType(wall, kObjDoor);
  ASSERT_NE(door, nullptr);
  const float doorMiddle = (door->firstPoint->position[0] + door->firstPoint->next->position[0]) / 2;
  const float windowMiddle = (win->firstPoint->position[0] + win->firstPoint->next->position[0]) / 2;
  ASSERT_GT(std::fabs(doorMiddle - windowMiddle), metre);

  gCurTool = kToolSelection;
  const float inBand = wall->width / 2 - 1;  // inside the wall as drawn, off its line
  for (Objex* opening : {door, win})
    for (const float off : {0.0f, inBand, -inBand}) {
      const float middle = opening == door ? doorMiddle : windowMiddle;
      click(at(-1 * metre, -2 * metre));
      click(at(middle, off));
      EXPECT_TRUE(IsObjectSelected(opening)) << opening->type << " " << off;
      EXPECT_FALSE(IsObjectSelected(wall)) << opening->type << " " << off;
    }
  // Beside the openings the wall's band is the wall's.
  click(at(-1 * metre, -2 * metre));
  click(at(3 * metre, inBand));
  EXPECT_FALSE(IsObjectSelected(door));
  EXPECT_FALSE(IsObjectSelected(win));
  EXPECT_TRUE(IsAnyObjectSelected(wall));
}

// A gable roof and a hip roof drawn with the roof tool on the Roofing tab: a click on any line
// of their plan symbol (eaves, hips, gable lines, the ridge) selects them, and so does a marquee
// around them; a click inside away from the lines selects nothing.
TEST_F(PlanViewPick, ARoofIsPickedByTheLinesOfItsSymbolAndByAMarquee) {
  window->selectPlanTab(4);
  ds->snapToGrid = 0;
  for (const uint16_t tool : {kToolGableRoof, kToolHipRoof}) {
    for (Objex* o = model->itsCurLayer->firstObject; o;) {
      Objex* next = o->next;
      UnlinkObject(o);
      DeleteObj(o);
      o = next;
    }
    gCurTool = tool;
    const QPoint a = at(0, 0), b = at(4 * metre, 3 * metre);
    QTest::mouseMove(view, a);
    QTest::mousePress(view, Qt::LeftButton, {}, a);
    for (int i = 1; i <= 4; ++i) QTest::mouseMove(view, a + (b - a) * i / 4);
    QTest::mouseRelease(view, Qt::LeftButton, {}, b);
    Objex* roof = model->itsCurLayer->firstObject;
    ASSERT_NE(roof, nullptr);
    ASSERT_EQ(roof->type, kObjRoof);
    ASSERT_EQ(roof->pointCount, 4);
    gCurTool = kToolSelection;
    // The ridge runs along x at z = 1.5 m; the hip roof's hips meet it 1.5 m in from each end.
    const std::vector<std::pair<float, float>> onLines =
        tool == kToolHipRoof ? std::vector<std::pair<float, float>>{{2, 0}, {2, 1.5f}, {0.75f, 0.75f}, {3.25f, 0.75f}}
                             : std::vector<std::pair<float, float>>{{2, 0}, {0.5f, 1.5f}, {3.5f, 1.5f}, {0, 0.75f}};
    for (auto [x, z] : onLines) {
      click(at(-2 * metre, -2 * metre));
      click(at(x * metre, z * metre));
      EXPECT_TRUE(IsObjectSelected(roof)) << tool << " at " << x << ", " << z;
    }
    click(at(-2 * metre, -2 * metre));
    click(at(2 * metre, 0.6f * metre));
    EXPECT_FALSE(IsObjectSelected(roof)) << tool;
    const QPoint m0 = at(-0.2f * metre, -0.2f * metre), m1 = at(4.2f * metre, 3.2f * metre);
    QTest::mouseMove(view, m0);
    QTest::mousePress(view, Qt::LeftButton, {}, m0);
    for (int i = 1; i <= 4; ++i) QTest::mouseMove(view, m0 + (m1 - m0) * i / 4);
    QTest::mouseRelease(view, Qt::LeftButton, {}, m1);
    EXPECT_TRUE(IsObjectSelected(roof)) << tool << " marquee";
  }
}

// A glass-panel (sliding) door has no swing: its placement ends at the release. The click a
// user makes next out of habit to choose the swing, off the wall beside the door, ends it
// quietly; a later click off every wall tells of the missing wall segment as before.
TEST_F(PlanViewPick, ADoorWithoutASwingEndsAtTheReleaseAndTheHabitualSwingClickIsQuiet) {
  ds->wallThickness = 9.84252f;
  Objex* wall = addWall({{0, 0}, {6 * metre, 0}});
  window->selectPlanTab(1);
  ds->snapToGrid = 0;
  ds->doorStyle = 502;
  gCurTool = kToolDoor;
  ScopedAlertRecorder alerts;
  toolClick(at(1.4f * metre, 0), at(1.5f * metre, 0));
  EXPECT_FALSE(view->isTracking());
  Objex* door = childOfType(wall, kObjDoor);
  ASSERT_NE(door, nullptr);
  EXPECT_EQ(AttachmentData(door)->subtype, 502);
  EXPECT_TRUE(alerts.shown.empty());
  const QPoint swingAt = at(1.5f * metre, -0.8f * metre);
  QTest::mouseMove(view, swingAt);
  click(swingAt);
  EXPECT_TRUE(alerts.shown.empty()) << alerts.shown.front().message;
  EXPECT_EQ(wall->firstChild, door);
  EXPECT_EQ(door->next, nullptr);
  EXPECT_FALSE(view->isTracking());
  click(swingAt);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown.front().message, "Wall segment not found.");
}

// A house of exterior walls under a gable roof drawn with the roof tool along their middle
// lines. On the Floor tab a click anywhere across a wall's band (outer face, middle, inner face)
// picks the wall, under both eaves and both gable ends and on both halves of each, and the roof
// takes no click at all, not even on its ridge; on the Roofing tab the roof is picked by its
// lines as before. At every plan scale, in both unit systems.
TEST_F(PlanViewPick, OnTheFloorTabAWallUnderARoofEdgeTakesTheClickNotTheRoof) {
  struct Scale {
    int16_t code;
    float imperialZoom, metricZoom;
  };
  const Scale scales[] = {{8, 0.375f, 0.36f}, {9, 0.75f, 0.72f}, {10, 1, 1.8f}, {11, 1.5f, 3.6f}};
  for (const bool metric : {false, true}) {
    ds->measureSystem = metric ? kMeasureMetric : kMeasureImperial;
    if (metric) SetDocStateMetricDefaults(ds);
    metre = ConvertWorldToScreen(39.370079f, ds, 0);
    ds->wallThickness = metric ? 9.84252f : 12.0f;  // 25 cm, 1'
    for (const Scale& scale : scales) {
      SCOPED_TRACE(std::string(metric ? "metric" : "imperial") + " scale " + std::to_string(scale.code));
      for (Objex* o = model->itsCurLayer->firstObject; o;) {
        Objex* next = o->next;
        UnlinkObject(o);
        DeleteObj(o);
        o = next;
      }
      window->selectPlanTab(1);
      ds->planScaleChoice = scale.code;
      PlanZoom(ds) = TopViewZoom(ds) = metric ? scale.metricZoom : scale.imperialZoom;
      view->refreshVisibleView();
      QApplication::processEvents();
      // 8 m by 5 m (the window shows it whole at the largest scale).
      const float w = metric ? 8 : 7.5f, d = metric ? 5 : 4.5f;
      Objex* wall = addWall({{0, 0}, {w * metre, 0}, {w * metre, d * metre}, {0, d * metre}, {0, 0}});
      ASSERT_EQ(wall->type, kObjWall);
      window->selectPlanTab(4);
      ds->snapToGrid = 0;
      gCurTool = kToolGableRoof;
      const QPoint a = at(0, 0), b = at(w * metre, d * metre);
      QTest::mouseMove(view, a);
      QTest::mousePress(view, Qt::LeftButton, {}, a);
      for (int i = 1; i <= 4; ++i) QTest::mouseMove(view, a + (b - a) * i / 4);
      QTest::mouseRelease(view, Qt::LeftButton, {}, b);
      Objex* roof = wall->next;
      ASSERT_NE(roof, nullptr);
      ASSERT_EQ(roof->type, kObjRoof);
      gCurTool = kToolSelection;
      // The roof is the Roofing tab's: its eave over a wall and its ridge pick it there.
      for (auto [x, z] : {std::pair{w / 4, 0.0f}, std::pair{w / 2, d / 2}}) {
        click(at(-2 * metre, -2 * metre));
        click(at(x * metre, z * metre));
        EXPECT_TRUE(IsObjectSelected(roof)) << "Roofing tab at " << x << ", " << z;
      }

      window->selectPlanTab(1);
      gCurTool = kToolSelection;
      // Across the band as drawn (the wall's pen): its faces a pixel inside, and its middle line.
      const int halfBand = GetLineWeight(wall, 1) / 2;
      const float face = static_cast<float>(std::max(0, halfBand - 1)) / PlanZoom(ds);
      struct Place {
        float x, z;
        bool alongX;  // the wall runs along x: the band spreads along z
      };
      const Place places[] = {{w / 4, 0, true},      {3 * w / 4, 0, true},  {w / 4, d, true}, {3 * w / 4, d, true},
                              {0, d / 4, false},     {0, 3 * d / 4, false}, {w, d / 4, false}, {w, 3 * d / 4, false}};
      for (const Place& p : places)
        for (const float off : {-face, 0.0f, face}) {
          const float x = p.x * metre + (p.alongX ? 0 : off), z = p.z * metre + (p.alongX ? off : 0);
          click(at(-2 * metre, -2 * metre));
          click(at(x, z));
          EXPECT_TRUE(IsAnyObjectSelected(wall)) << "Floor tab at " << p.x << ", " << p.z << " off " << off;
          EXPECT_FALSE(IsAnyObjectSelected(roof)) << "Floor tab at " << p.x << ", " << p.z << " off " << off;
        }
      click(at(-2 * metre, -2 * metre));
      click(at(w / 2 * metre, d / 2 * metre));
      EXPECT_FALSE(IsAnyObjectSelected(roof)) << "Floor tab, ridge";
    }
  }
}

// A hinged door (its swing chosen with a quick click), then a window, then a glass door and
// another window, placed one after the other on one wall with their tools, each pressed and
// released at its own distance along the wall: each lands where it was pressed, whatever the
// events the placement before left unread. At every plan scale, in both unit systems.
TEST_F(PlanViewPick, EachDoorOrWindowLandsWherePressedAfterTheOnePlacedBefore) {
  struct Scale {
    int16_t code;
    float imperialZoom, metricZoom;
  };
  const Scale scales[] = {{8, 0.375f, 0.36f}, {9, 0.75f, 0.72f}, {10, 1, 1.8f}, {11, 1.5f, 3.6f}};
  for (const bool metric : {false, true}) {
    ds->measureSystem = metric ? kMeasureMetric : kMeasureImperial;
    for (const Scale& scale : scales) {
      SCOPED_TRACE(std::string(metric ? "metric" : "imperial") + " scale " + std::to_string(scale.code));
      for (Objex* o = model->itsCurLayer->firstObject; o;) {
        Objex* next = o->next;
        UnlinkObject(o);
        DeleteObj(o);
        o = next;
      }
      window->selectPlanTab(1);
      ds->snapToGrid = 0;
      ds->planScaleChoice = scale.code;
      const float zoom = metric ? scale.metricZoom : scale.imperialZoom;
      PlanZoom(ds) = TopViewZoom(ds) = zoom;
      // A wall across most of the window; openings an eighth and a tenth of it wide.
      const float length = 640 / zoom;
      ds->wallThickness = metric ? 20 / 2.54f : 8;
      ds->doorWidth = ConvertScreenToWorld(length / 8, ds, 0);
      ds->windowWidth = ConvertScreenToWorld(length / 10, ds, 0);
      Objex* wall = addWall({{-length / 2, 0}, {length / 2, 0}});
      view->refreshVisibleView();
      QApplication::processEvents();
      struct Placement {
        uint16_t tool;
        int16_t style;
        float along;  // the press, as a share of the wall from its start
      };
      const Placement placements[] = {{kToolDoor, 501, 0.78f},
                                      {kToolWindow, 0, 0.2f},
                                      {kToolDoor, 502, 0.55f},
                                      {kToolWindow, 0, 0.35f}};
      std::vector<Objex*> before;
      for (const Placement& p : placements) {
        SCOPED_TRACE(std::string(p.tool == kToolDoor ? "door " : "window ") + std::to_string(p.along));
        if (p.tool == kToolDoor) ds->doorStyle = p.style;
        gCurTool = p.tool;
        const float x = -length / 2 + p.along * length;
        const QPoint press = at(x, 0);
        // The swing: a quick click beside the door, off the wall.
        const QPoint swingAt = at(x + length / 20, -length / 10);
        if (p.style == 501) toolClick(press, press, &swingAt);
        else toolClick(press, press);
        ASSERT_FALSE(view->isTracking());
        Objex* placed = nullptr;
        for (Objex* c = wall->firstChild; c; c = c->next)
          if (std::find(before.begin(), before.end(), c) == before.end()) placed = c;
        ASSERT_NE(placed, nullptr);
        before.push_back(placed);
        const float middle = (placed->firstPoint->position[0] + placed->firstPoint->next->position[0]) / 2;
        EXPECT_NEAR(middle, x, 1.5f / zoom);
        QTest::mouseMove(view, at(-length / 2, -length / 4));
      }
      gCurTool = kToolSelection;
    }
  }
}

}  // namespace

// An exterior wall, a gable roof beside it and a line on the landscape plan, picked by a click in
// each plan tab, then all three grouped on the Roofing tab with Plan > Group: in every tab a
// click on a member picks the group where the same click picks the member alone (the wall in
// every tab, the line where the landscape plan shows, the roof where roofs are picked), and
// nothing elsewhere.
TEST_F(PlanViewPick, AGroupIsPickedInEachTabByTheMembersThatTabPicksAlone) {
  ds->wallThickness = 9.84252f;
  Objex* wall = addWall({{0, 0}, {3 * metre, 0}});
  RGBColor black{};
  Objex* line = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr);
  for (float x : {0.0f, 3 * metre})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 2 * metre, 0, 0, 0, 0, 0, 0, line), line);
  line->planMask = 1 << kPlanLandscape;
  AppendObjectToLayer(line, model->itsCurLayer);
  UpdateObjectBounds(line);
  window->selectPlanTab(kPlanRoofing);
  ds->snapToGrid = 0;
  gCurTool = kToolGableRoof;
  const QPoint a = at(3.5f * metre, -1 * metre), b = at(6 * metre, 1 * metre);
  QTest::mouseMove(view, a);
  QTest::mousePress(view, Qt::LeftButton, {}, a);
  for (int i = 1; i <= 4; ++i) QTest::mouseMove(view, a + (b - a) * i / 4);
  QTest::mouseRelease(view, Qt::LeftButton, {}, b);
  Objex* roof = LastObjectOfLayer(model->itsCurLayer);
  ASSERT_NE(roof, nullptr);
  ASSERT_EQ(roof->type, kObjRoof);

  // Where each is clicked: the wall's middle, the line's, the roof's front eave.
  const std::pair<float, float> spots[] = {{1.5f * metre, 0}, {1.5f * metre, 2 * metre}, {4.75f * metre, -1 * metre}};
  auto picks = [&](int tab, Objex* object, const std::pair<float, float>& spot) {
    window->selectPlanTab(tab);
    gCurTool = kToolSelection;
    click(at(-1 * metre, 3 * metre));
    click(at(spot.first, spot.second));
    return IsAnyObjectSelected(object);
  };
  Objex* alone[] = {wall, line, roof};
  bool pickedAlone[kPlanKindCount][3] = {};
  for (int tab = 0; tab < kPlanKindCount; ++tab)
    for (int k = 0; k < 3; ++k) pickedAlone[tab][k] = picks(tab, alone[k], spots[k]);
  // Not a vacuous comparison: the wall in the Electrical tab, the line in the Landscape tab and
  // the roof in the Roofing tab, but neither the line nor the roof in the Electrical tab.
  EXPECT_TRUE(pickedAlone[kPlanElectrical][0]);
  EXPECT_TRUE(pickedAlone[kPlanLandscape][1]);
  EXPECT_TRUE(pickedAlone[kPlanRoofing][2]);
  EXPECT_FALSE(pickedAlone[kPlanElectrical][1]);
  EXPECT_FALSE(pickedAlone[kPlanElectrical][2]);
  EXPECT_FALSE(pickedAlone[kPlanFloor][2]);

  window->selectPlanTab(kPlanRoofing);
  SelectAllLayers(model->itsLayers, kSelectOn, 1);
  window->planViewActions().perform(kCmdGroup);
  Objex* group = model->itsCurLayer->firstObject;
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->type, kObjGroup);
  ASSERT_EQ(group->next, nullptr);
  for (int tab = 0; tab < kPlanKindCount; ++tab)
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(picks(tab, group, spots[k]), pickedAlone[tab][k]) << "tab " << tab << ", member " << k;
}

// On the Floor tab with the landscape plan shown too: two lines of the landscape plan grouped,
// that group and a third such line grouped again (a member two deep), and a line of the floor
// plan beside them; then the landscape plan hidden. The group was made on this tab (its own plan
// is the floor plan), but none of its members shows here, so neither does it: Select All and a
// marquee round everything take the floor line alone, and Delete removes that line alone. On the
// Landscape tab, which shows its members, Select All and the marquee take it and Delete removes it.
TEST_F(PlanViewPick, AGroupWhoseMembersDoNotShowOnItsTabIsNotTakenThere) {
  auto addLine = [&](float z, int32_t planMask) {
    Objex* o = AddPlanLine(model->itsCurLayer, 0, z * metre, 2 * metre, z * metre);
    o->planMask = planMask;
    return o;
  };
  auto perform = [&](int32_t tag) {
    window->planViewActions().perform(tag);
    QApplication::processEvents();
  };
  auto marquee = [&]() {
    gCurTool = kToolSelection;
    click(at(-2 * metre, -2 * metre));
    const QPoint m0 = at(-1 * metre, -1 * metre), m1 = at(3 * metre, 4 * metre);
    QTest::mouseMove(view, m0);
    QTest::mousePress(view, Qt::LeftButton, {}, m0);
    for (int i = 1; i <= 4; ++i) QTest::mouseMove(view, m0 + (m1 - m0) * i / 4);
    QTest::mouseRelease(view, Qt::LeftButton, {}, m1);
  };
  const int32_t landscape = 1 << kPlanLandscape;
  const int32_t showLandscape = kTagShowFoundationPlan + static_cast<int32_t>(kPlanLandscape);
  window->selectPlanTab(kPlanFloor);
  ds->snapToGrid = 0;
  if (!(ds->currentPlanMask & landscape)) perform(showLandscape);
  ASSERT_TRUE(ds->currentPlanMask & landscape);
  addLine(0, landscape);
  addLine(1, landscape);
  perform(kTagSelectAllObjects);
  perform(kCmdGroup);
  addLine(2, landscape);
  perform(kTagSelectAllObjects);
  perform(kCmdGroup);
  Objex* group = model->itsCurLayer->firstObject;
  ASSERT_EQ(group->type, kObjGroup);
  ASSERT_EQ(group->next, nullptr);
  ASSERT_TRUE(group->firstChild && group->firstChild->type == kObjGroup);
  perform(showLandscape);
  ASSERT_FALSE(ds->currentPlanMask & landscape);
  ASSERT_TRUE(group->planMask & ds->currentPlanMask);  // made on this tab
  Objex* floorLine = addLine(3, 1 << kPlanFloor);

  SelectAllLayers(model->itsLayers, kSelectOff, 0);
  perform(kTagSelectAllObjects);
  EXPECT_TRUE(IsObjectSelected(floorLine));
  EXPECT_FALSE(IsAnyObjectSelected(group)) << "Select All";
  marquee();
  EXPECT_TRUE(IsObjectSelected(floorLine));
  EXPECT_FALSE(IsAnyObjectSelected(group)) << "marquee";
  perform(kCmdDelete);
  ASSERT_EQ(model->itsCurLayer->firstObject, group);
  EXPECT_EQ(group->next, nullptr);  // the floor line is gone
  perform(kTagSelectAllObjects);
  perform(kCmdDelete);
  ASSERT_EQ(model->itsCurLayer->firstObject, group) << "Delete after Select All";

  window->selectPlanTab(kPlanLandscape);
  perform(kTagSelectAllObjects);
  EXPECT_TRUE(IsObjectSelected(group)) << "Select All on the Landscape tab";
  marquee();
  EXPECT_TRUE(IsObjectSelected(group)) << "marquee on the Landscape tab";
  perform(kCmdDelete);
  EXPECT_EQ(model->itsCurLayer->firstObject, nullptr);
}
