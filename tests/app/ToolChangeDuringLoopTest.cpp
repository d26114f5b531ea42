// A tool chosen while a tool's loop waits for the press that ends what it makes: the door
// tool dragged on a wall and released, its swing following the pointer, then another tool
// chosen by each road (the drawing palette, the editing palette, the plan's tab, a menu item,
// a key shortcut). The door ends as it stands, under its own undo step, keeping the swing it
// showed; the next press belongs to the tool chosen, and a window dragged on another wall is
// placed. Undo and Redo go over the steps one by one.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QKeySequence>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "AppTestSupport.h"
#include "app/EditToolPaletteController.h"
#include "app/PlanToolPaletteController.h"
#include "app/PlanViewActions.h"
#include "app/PlanViewEventSource.h"
#include "app/ToolIcons.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "files/Undo.h"
#include "model/Attachments.h"
#include "model/CommandCodes.h"
#include "model/ConvertObject.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/Services.h"
#include "model/ViewCommands.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

enum class Road { kDrawingPalette, kEditingPalette, kPlanTab, kMenu, kShortcut, kClick };
const char* RoadName(Road road) {
  switch (road) {
    case Road::kDrawingPalette: return "the drawing palette's window cell";
    case Road::kEditingPalette: return "the editing palette's selection cell";
    case Road::kPlanTab: return "the landscape plan's tab";
    case Road::kMenu: return "Plan > Work on Plan > Landscape";
    case Road::kShortcut: return "the Paste shortcut";
    case Road::kClick: return "a click";
  }
  return "";
}

struct Swing {
  uint8_t flipHorizontal;
  int16_t flipVertical;
  float angle;
};

class ToolChangeDuringLoop : public DesignWindowTest {
 protected:
  void beforeDocument() override { ResetTrackingState(); }
  void beforeClosing() override {
    gCurTool = kToolSelection;
    gCurToolSet = kPlanLandscape;
    ResetTrackingState();
  }

  static PlanToolPaletteController& plan() { return PlanToolPaletteController::sharedPlanToolPaletteController(); }
  static ToolPaletteController& edit() { return ToolPaletteController::sharedToolPaletteController(); }
  QToolButton* floorCell(uint16_t tool) {
    for (int i = 0; i < plan().cellCount(kPlanFloor); ++i)
      if (ToolOfButton(plan().cell(kPlanFloor, i)) == tool) return plan().cell(kPlanFloor, i);
    return nullptr;
  }
  QAction* planAction(int32_t tag) {
    for (QAction* action : window->planActions())
      if (action->data().toInt() == tag) return action;
    return nullptr;
  }
  // The floor plan's tools, one of them chosen in its palette.
  void chooseFloorTool(uint16_t tool) {
    window->selectPlanTab(kPlanFloor);
    QApplication::processEvents();
    floorCell(tool)->click();
    ASSERT_EQ(gCurTool, tool);
  }

  QPoint at(float x, float z) const { return WidgetPointOf(view, x, z); }
  // The pointer goes there too: a loop ended by another tool reads where the pointer stands,
  // which would otherwise be wherever an earlier test left it.
  void moveTo(QPoint where, Qt::MouseButtons buttons) {
    QCursor::setPos(view->mapToGlobal(where));
    QMouseEvent move(QEvent::MouseMove, where, view->mapToGlobal(QPointF(where)), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
  }
  // Runs `then` once a loop of the view waits with the pointer followed (the door's swing).
  void whenSwingWaits(std::function<void()> then) {
    QTimer::singleShot(5, view, [this, then] {
      if (view->hasMouseTracking() && view->eventSource().isWaiting()) then();
      else whenSwingWaits(then);
    });
  }
  // The door tool pressed at `from`, dragged to `to` and released; the pointer then moved to
  // `swing`, and `during` run while the swing follows it. A loop still waiting long after is
  // ended by a click at `next`, the user's next press.
  void placeDoor(QPoint from, QPoint to, QPoint swing, QPoint next, std::function<void()> during) {
    QTimer::singleShot(0, view, [=, this] {
      for (int step = 1; step <= 4; ++step) moveTo(from + (to - from) * step / 4, Qt::LeftButton);
      QTest::mouseRelease(view, Qt::LeftButton, {}, to);
      whenSwingWaits([=, this] {
        moveTo(swing - QPoint(0, 3), Qt::NoButton);
        moveTo(swing, Qt::NoButton);
        during();
      });
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, view, [=, this] {
      if (view->eventSource().isWaiting()) QTest::mouseClick(view, Qt::LeftButton, {}, next);
    });
    watchdog.start(3000);
    // The hinge goes to the door's end nearer the pointer when the swing begins.
    QCursor::setPos(view->mapToGlobal(swing));
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    watchdog.stop();
    QApplication::processEvents();
  }
  void drag(QPoint from, QPoint to) {
    QTimer::singleShot(0, view, [=, this] {
      for (int step = 1; step <= 4; ++step) moveTo(from + (to - from) * step / 4, Qt::LeftButton);
      QTest::mouseRelease(view, Qt::LeftButton, {}, to);
    });
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QApplication::processEvents();
  }

  std::vector<float> design() const { return CurrentFloorLook(model); }
  using Titles = UndoTitles;
  Titles titles() const { return EditMenuTitles(window); }
  void undo() {
    window->updateWindowState();
    window->undoAction()->trigger();
  }
  void redo() {
    window->updateWindowState();
    window->redoAction()->trigger();
  }
  static Swing SwingOf(const Objex* door) {
    const DoorWindowData* record = door ? AttachmentData(door) : nullptr;
    if (!record) return {255, -1, 0};
    return {record->flipHorizontal, record->flipVertical, record->swingAngle()};
  }

  // A new design: two parallel exterior walls 4 m long, 1.5 m apart, and a line off to the
  // side copied to the clipboard; the history started afresh.
  void newDesign(bool metric) {
    view = showNewDesign(metric);
    window->selectPlanTab(kPlanFloor);
    ds->snapToGrid = 0;
    metre = ConvertWorldToScreen(39.370079f, ds, 0);
    for (float z : {0.0f, 1.5f * metre}) {
      Objex* line = AddPlanLine(model->itsCurLayer, -2 * metre, z, 2 * metre, z);
      ASSERT_TRUE(ConvertObjectType(line, kCmdConvertToExteriorWall));
    }
    Objex* mark = AddPlanLine(model->itsCurLayer, -2 * metre, -1.8f * metre, -1 * metre, -1.8f * metre);
    view->refreshVisibleView();
    QApplication::processEvents();
    for (QPoint p : {at(-2 * metre, -1.8f * metre), at(2 * metre, 1.5f * metre)})
      ASSERT_TRUE(view->rect().contains(p)) << p.x() << " " << p.y();
    SelectAllLayers(model->itsLayers, kSelectOff, 1);
    SelectObj(mark, kSelectOn, 1);
    // The menu as the user finds it with the line selected: Copy is enabled only once the
    // window has seen the selection, and a disabled action's trigger does nothing.
    window->updateWindowState();
    ASSERT_TRUE(planAction(kTagCopyObjects)->isEnabled());
    planAction(kTagCopyObjects)->trigger();
    SelectAllLayers(model->itsLayers, kSelectOff, 1);
    gCurTool = kToolSelection;
    InitializeUndo();
  }

  // What `road` chooses while the door's swing waits.
  void chooseDuringSwing(Road road, QPoint swing) {
    switch (road) {
      case Road::kDrawingPalette: floorCell(kToolWindow)->click(); break;
      case Road::kEditingPalette: edit().cellWithTool(kToolSelection)->click(); break;
      case Road::kPlanTab: window->selectPlanTab(kPlanLandscape); break;
      case Road::kMenu: planAction(kTagWorkOnFoundationPlan + static_cast<int32_t>(kPlanLandscape))->trigger(); break;
      case Road::kShortcut: window->performMenuShortcut(QKeySequence(Qt::CTRL | Qt::Key_V)); break;
      case Road::kClick: QTest::mouseClick(view, Qt::LeftButton, {}, swing); break;
    }
  }

  // The wall along z (the steps bring back copies of the objects).
  Objex* wallAt(float z) const {
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next)
      if (o->type == kObjWall && o->firstPoint && o->firstPoint->position[2] == z) return o;
    return nullptr;
  }
  Objex* doorOf() const { return wallAt(0) ? wallAt(0)->firstChild : nullptr; }
  Objex* windowOf() const { return wallAt(1.5f * metre) ? wallAt(1.5f * metre)->firstChild : nullptr; }

  ZLKDocumentView* view = nullptr;
  float metre = 0;
};

TEST_F(ToolChangeDuringLoop, ADoorSwingEndsAsShownWhenAnotherToolIsChosenAndTheNextPressIsTheNewTools) {
  struct Case {
    Road road;
    bool metric;
  };
  const Case cases[] = {{Road::kDrawingPalette, false}, {Road::kDrawingPalette, true}, {Road::kEditingPalette, false},
                        {Road::kPlanTab, true},         {Road::kMenu, false},          {Road::kShortcut, true}};
  for (const Case& c : cases) {
    // The pointer on one side of the wall, then on the other: the swing turns the other way.
    int16_t firstSide = -1;
    for (const float side : {-1.0f, 1.0f}) {
      SCOPED_TRACE(std::string(RoadName(c.road)) + (c.metric ? ", metric" : ", imperial") +
                   (side < 0 ? ", swing above the wall" : ", swing below the wall"));
      newDesign(c.metric);
      if (HasFatalFailure()) return;
      const QPoint doorFrom = at(-0.2f * metre, 0), doorTo = at(0.3f * metre, 0);
      const QPoint swing = at(-0.1f * metre, side * 0.6f * metre);
      const QPoint windowFrom = at(-1.2f * metre, 1.5f * metre), windowTo = at(-0.9f * metre, 1.5f * metre);

      // The swing a click there gives, for comparison.
      chooseFloorTool(kToolDoor);
      if (HasFatalFailure()) return;
      placeDoor(doorFrom, doorTo, swing, windowFrom, [=, this] { chooseDuringSwing(Road::kClick, swing); });
      ASSERT_NE(doorOf(), nullptr);
      const Swing clicked = SwingOf(doorOf());
      ASSERT_NE(clicked.angle, 0) << "the click set no swing";
      if (side < 0) firstSide = clicked.flipVertical;
      else EXPECT_NE(clicked.flipVertical, firstSide) << "both sides swing one way";
      undo();
      ASSERT_EQ(doorOf(), nullptr);
      InitializeUndo();

      std::vector<std::vector<float>> states{design()};
      std::vector<Titles> named{{"Undo", "Redo"}};
      chooseFloorTool(kToolDoor);
      if (HasFatalFailure()) return;
      placeDoor(doorFrom, doorTo, swing, windowFrom, [=, this] {
        // Escape leaves the swing going, as before.
        QTest::keyClick(view, Qt::Key_Escape);
        chooseDuringSwing(c.road, swing);
      });
      // The paste runs from the main loop once the door's click is done.
      // (On a loaded machine that may take a while.)
      if (c.road == Road::kShortcut)
        ASSERT_TRUE(QTest::qWaitFor([this] { return titles().first == "Undo Paste"; }, 10000)) << "no paste";
      Objex* door = doorOf();
      ASSERT_NE(door, nullptr);
      EXPECT_EQ(door->type, kObjDoor);
      EXPECT_FALSE(view->eventSource().isWaiting());
      states.push_back(design());
      named.push_back({"Undo Door Tool", "Redo"});
      const Swing shown = SwingOf(door);
      EXPECT_EQ(shown.flipHorizontal, clicked.flipHorizontal);
      EXPECT_EQ(shown.flipVertical, clicked.flipVertical);
      EXPECT_FLOAT_EQ(shown.angle, clicked.angle);
      if (c.road == Road::kShortcut) {
        // The paste comes after the door, as a step of its own: the door's step alone is not
        // seen here.
        states.back().clear();
        states.push_back(design());
        named.push_back({"Undo Paste", "Redo"});
      }
      EXPECT_EQ(titles(), named.back());
      EXPECT_EQ(gCurTool, c.road == Road::kDrawingPalette ? kToolWindow : kToolSelection);

      // The next press belongs to the tool chosen.
      if (c.road != Road::kDrawingPalette) {
        chooseFloorTool(kToolWindow);
        if (HasFatalFailure()) return;
      }
      drag(windowFrom, windowTo);
      ASSERT_NE(windowOf(), nullptr) << "no window placed";
      EXPECT_EQ(windowOf()->type, kObjWindow);
      EXPECT_EQ(doorOf(), door);
      states.push_back(design());
      named.push_back({"Undo Window Tool", "Redo"});
      EXPECT_EQ(titles(), named.back());

      // Undo takes back one step at a time, the window first; Redo brings them all back.
      for (size_t i = states.size() - 1; i-- > 0;) {
        undo();
        EXPECT_EQ(titles().first, named[i].first) << "undo to " << i;
        if (!states[i].empty()) EXPECT_EQ(design(), states[i]) << "undo to " << i;
        if (i == 1) {
          EXPECT_NE(doorOf(), nullptr);
          EXPECT_EQ(windowOf(), nullptr);
        }
      }
      EXPECT_EQ(doorOf(), nullptr);
      EXPECT_EQ(windowOf(), nullptr);
      for (size_t i = 1; i < states.size(); ++i) {
        redo();
        if (!states[i].empty()) EXPECT_EQ(design(), states[i]) << "redo to " << i;
        EXPECT_EQ(titles().first, named[i].first) << "redo to " << i;
      }
      ASSERT_NE(doorOf(), nullptr);
      const Swing redone = SwingOf(doorOf());
      EXPECT_EQ(redone.flipHorizontal, clicked.flipHorizontal);
      EXPECT_EQ(redone.flipVertical, clicked.flipVertical);
      EXPECT_FLOAT_EQ(redone.angle, clicked.angle);
      EXPECT_EQ(windowOf() ? windowOf()->type : 0, kObjWindow);
    }
  }
}

// The other tools whose loop follows the pointer after the release, ended the same way by
// the drawing palette: the floor cut-out's corner loop (kept a cut-out, with the corners
// placed), the curved stairway's arc and the sprinkler head's sweep (made as shown). Each
// stores its own step; the tool chosen stays in force.
TEST_F(ToolChangeDuringLoop, OtherToolsFollowingThePointerEndAsTheyStandWhenAnotherToolIsChosen) {
  struct Case {
    uint16_t tool, chosen;
    int16_t kind;
    int16_t madeType;
    const char* stepName;
  };
  const Case cases[] = {
      {kToolFloorCutout, kToolFloor, kPlanFloor, kObjCutout, "Undo Floor Cutout Tool"},
      {kToolCurvedStairway, kToolStraightStairway, kPlanFloor, 0, "Undo Curved Stairway Tool"},
      {kToolSprinklerHead, kToolFence, kPlanLandscape, kObjSprinkler, "Undo Sprinkler Head Tool"},
  };
  for (const Case& c : cases) {
    for (const bool metric : {false, true}) {
      SCOPED_TRACE(std::string(c.stepName) + (metric ? ", metric" : ", imperial"));
      newDesign(metric);
      if (HasFatalFailure()) return;
      window->selectPlanTab(c.kind);
      QApplication::processEvents();
      QToolButton* toolCell = nullptr;
      QToolButton* chosenCell = nullptr;
      for (int i = 0; i < plan().cellCount(c.kind); ++i) {
        QToolButton* cell = plan().cell(c.kind, i);
        if (ToolOfButton(cell) == c.tool) toolCell = cell;
        if (ToolOfButton(cell) == c.chosen) chosenCell = cell;
      }
      ASSERT_TRUE(toolCell && chosenCell);
      toolCell->click();
      ASSERT_EQ(gCurTool, c.tool);
      const int before = objectCount();
      const std::vector<float> start = design();

      const QPoint a = at(-1.0f * metre, -1.0f * metre), b = at(0.5f * metre, -1.0f * metre),
                   corner = at(0.5f * metre, -0.3f * metre), pointer = at(-0.2f * metre, -0.2f * metre);
      auto click = [this](QPoint where) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
          QMouseEvent e(type, where, view->mapToGlobal(QPointF(where)), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
          QApplication::sendEvent(view, &e);
        }
      };
      // A loop still waiting long after is ended by a right click, the user's next press.
      QTimer watchdog;
      QObject::connect(&watchdog, &QTimer::timeout, view, [&] {
        if (view->eventSource().isWaiting())
          QTest::mouseClick(view, Qt::RightButton, {}, at(1.5f * metre, -1.5f * metre));
      });
      watchdog.start(3000);
      // The press and release: the sprinkler's radius is dragged, the other two start at a.
      QTimer::singleShot(0, view, [&, this] {
        whenSwingWaits([&, this] {
          if (c.tool == kToolFloorCutout) {
            click(b);
            click(corner);
          }
          moveTo(pointer - QPoint(2, 2), Qt::NoButton);
          moveTo(pointer, Qt::NoButton);
          chosenCell->click();
        });
      });
      QTest::mousePress(view, Qt::LeftButton, {}, a);
      if (c.tool == kToolSprinklerHead) {
        for (int step = 1; step <= 4; ++step) moveTo(a + (b - a) * step / 4, Qt::LeftButton);
        QTest::mouseRelease(view, Qt::LeftButton, {}, b);
      } else {
        QTest::mouseRelease(view, Qt::LeftButton, {}, a);
      }
      watchdog.stop();
      QApplication::processEvents();

      EXPECT_FALSE(view->eventSource().isWaiting());
      EXPECT_EQ(gCurTool, c.chosen);
      ASSERT_EQ(objectCount(), before + 1) << "nothing made";
      Objex* made = model->itsCurLayer->firstObject;
      while (made && made->next) made = made->next;
      if (c.madeType) EXPECT_EQ(made->type, c.madeType);
      if (c.tool == kToolFloorCutout) {
        int corners = 0;
        for (Poinz* p = made->firstPoint; p; p = p->next) ++corners;
        EXPECT_EQ(corners, 3);
      }
      EXPECT_EQ(titles(), (Titles{c.stepName, "Redo"}));
      const std::vector<float> after = design();
      undo();
      EXPECT_EQ(design(), start);
      redo();
      EXPECT_EQ(design(), after);
      EXPECT_EQ(gCurTool, c.chosen);
    }
  }
}

// A tool chosen while the mouse still holds a wall's drag, by each road: the drag goes on under
// the wall tool and its release makes the wall under that tool's step; the tool chosen is in
// force from then on, and a menu command runs after the wall. Then the Landscape tab's outline
// tools: a fence or an edging given only its first corner when another tool is chosen makes
// nothing, stores no step and leaves the Edit menu as it was, after a click in the plan too;
// one given a second corner is kept under its own step. Undo and Redo go over the steps.
TEST_F(ToolChangeDuringLoop, AToolChosenDuringADragOrAnOutlineKeepsOnlyWhatWasMadeUnderItsToolsStep) {
  struct Case {
    Road road;
    bool metric;
    uint16_t outline;
  };
  const Case cases[] = {{Road::kDrawingPalette, true, kToolFence},
                        {Road::kEditingPalette, false, kToolEdging},
                        {Road::kPlanTab, true, kToolEdging},
                        {Road::kMenu, false, kToolFence},
                        {Road::kShortcut, true, kToolFence}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(RoadName(c.road)) + (c.metric ? ", metric" : ", imperial"));
    newDesign(c.metric);
    if (HasFatalFailure()) return;
    std::vector<std::vector<float>> states{design()};
    std::vector<Titles> named{{"Undo", "Redo"}};
    auto last = [this] {
      Objex* o = model->itsCurLayer->firstObject;
      while (o && o->next) o = o->next;
      return o;
    };

    chooseFloorTool(kToolExteriorWall);
    if (HasFatalFailure()) return;
    int count = objectCount();
    const QPoint a = at(-1.5f * metre, -1.0f * metre), b = at(1.5f * metre, -1.0f * metre);
    QTest::mousePress(view, Qt::LeftButton, {}, a);
    for (int step = 1; step <= 2; ++step) moveTo(a + (b - a) * step / 4, Qt::LeftButton);
    chooseDuringSwing(c.road, b);
    QApplication::processEvents();
    EXPECT_EQ(gCurTool, kToolExteriorWall) << "the drag lost its tool";
    for (int step = 3; step <= 4; ++step) moveTo(a + (b - a) * step / 4, Qt::LeftButton);
    QTest::mouseRelease(view, Qt::LeftButton, {}, b);
    QApplication::processEvents();
    const bool pastes = c.road == Road::kShortcut;
    if (pastes) EXPECT_TRUE(QTest::qWaitFor([&] { return objectCount() == count + 2; }, 10000)) << "nothing pasted";
    ASSERT_EQ(objectCount(), count + (pastes ? 2 : 1)) << "no wall made";
    Objex* wall = model->itsCurLayer->firstObject;
    for (int i = 0; i < count; ++i) wall = wall->next;
    EXPECT_EQ(wall->type, kObjWall);
    // The paste comes after the wall, as a step of its own: the wall's step alone is not seen.
    states.push_back(pastes ? std::vector<float>{} : design());
    named.push_back({"Undo Exterior Wall Tool", "Redo"});
    if (pastes) {
      states.push_back(design());
      named.push_back({"Undo Paste", "Redo"});
    }
    // A menu command chosen during the drag runs from the main loop after the release.
    const uint16_t chosen = c.road == Road::kDrawingPalette ? kToolWindow : kToolSelection;
    QTest::qWaitFor([&] { return gCurTool == chosen; }, 10000);
    EXPECT_EQ(gCurTool, chosen);
    EXPECT_EQ(titles(), named.back());

    // The outline's first corner at the press, a second one clicked if asked, then the
    // selection arrow chosen while the corner loop waits.
    window->selectPlanTab(kPlanLandscape);
    QApplication::processEvents();
    QToolButton* outlineCell = nullptr;
    for (int i = 0; i < plan().cellCount(kPlanLandscape); ++i)
      if (ToolOfButton(plan().cell(kPlanLandscape, i)) == c.outline) outlineCell = plan().cell(kPlanLandscape, i);
    ASSERT_NE(outlineCell, nullptr);
    const QPoint p = at(-1.0f * metre, 0.5f * metre), q = at(0.2f * metre, 0.5f * metre),
                 r = at(0.8f * metre, 1.0f * metre);
    auto enterOutline = [&](bool second) {
      outlineCell->click();
      ASSERT_EQ(gCurTool, c.outline);
      QTimer::singleShot(0, view, [&, this] {
        whenSwingWaits([&, this] {
          if (second) QTest::mouseClick(view, Qt::LeftButton, {}, r);
          moveTo(r + QPoint(3, 2), Qt::NoButton);
          edit().cellWithTool(kToolSelection)->click();
        });
      });
      // A loop still waiting long after is ended by a right click, the user's next press.
      QTimer watchdog;
      QObject::connect(&watchdog, &QTimer::timeout, view, [&, this] {
        if (view->eventSource().isWaiting()) QTest::mouseClick(view, Qt::RightButton, {}, r);
      });
      watchdog.start(3000);
      QTest::mousePress(view, Qt::LeftButton, {}, p);
      for (int step = 1; step <= 4; ++step) moveTo(p + (q - p) * step / 4, Qt::LeftButton);
      QTest::mouseRelease(view, Qt::LeftButton, {}, q);
      watchdog.stop();
      QApplication::processEvents();
      EXPECT_FALSE(view->eventSource().isWaiting());
      EXPECT_EQ(gCurTool, kToolSelection);
    };
    count = objectCount();
    enterOutline(false);
    if (HasFatalFailure()) return;
    EXPECT_EQ(objectCount(), count);
    EXPECT_EQ(titles(), named.back());
    QTest::mouseClick(view, Qt::LeftButton, {}, at(1.8f * metre, 1.2f * metre));
    QApplication::processEvents();
    EXPECT_EQ(titles(), named.back());

    enterOutline(true);
    if (HasFatalFailure()) return;
    ASSERT_EQ(objectCount(), count + 1) << "the outline with two corners was not kept";
    Objex* outline = last();
    EXPECT_EQ(outline->type, c.outline == kToolFence ? kObjFence : kObjEdging);
    if (c.outline == kToolFence) EXPECT_EQ(outline->pointCount, 2);
    states.push_back(design());
    named.push_back({c.outline == kToolFence ? "Undo Fence Tool" : "Undo Edging Tool", "Redo"});
    EXPECT_EQ(titles(), named.back());

    for (size_t i = states.size() - 1; i-- > 0;) {
      undo();
      EXPECT_EQ(titles().first, named[i].first) << "undo to " << i;
      if (!states[i].empty()) EXPECT_EQ(design(), states[i]) << "undo to " << i;
    }
    for (size_t i = 1; i < states.size(); ++i) {
      redo();
      EXPECT_EQ(titles().first, named[i].first) << "redo to " << i;
      if (!states[i].empty()) EXPECT_EQ(design(), states[i]) << "redo to " << i;
    }
  }
}

}  // namespace
