// The outline tools that take their corners click by click, driven in the plan view as the user
// does: each tool chosen in its palette, the first corner pressed and released, further corners
// clicked, then each way of ending the entry (a double click, a right click, Escape, a click on
// the first corner's pixel or beside it). An entry that does not end is ended by choosing the
// selection arrow once it has read every event given, and the test fails: none waits.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <string>
#include <vector>

#include "OutlineTools.h"
#include "AppTestSupport.h"
#include "PlanScales.h"
#include "app/EditToolPaletteController.h"
#include "app/PlanToolPaletteController.h"
#include "app/PlanViewEventSource.h"
#include "app/ToolIcons.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Records.h"
#include "platform/Alerts.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

class PlanOutlineEndings : public DesignWindowTest {
 protected:
  void beforeDocument() override { ResetTrackingState(); }
  void afterDocument() override {
    view = showPlanView(2);
    window->selectPlanTab(kPlanFloor);
    QApplication::processEvents();
  }
  void beforeClosing() override {
    gCurTool = kToolSelection;
    ResetTrackingState();
  }

  static PlanToolPaletteController& plan() { return PlanToolPaletteController::sharedPlanToolPaletteController(); }
  static ToolPaletteController& edit() { return ToolPaletteController::sharedToolPaletteController(); }

  // The tool chosen in its plan's palette, that plan's tab shown.
  void choose(uint16_t tool) {
    for (int16_t kind = kPlanFoundation; kind <= kPlanDetail; ++kind)
      for (int i = 0; i < plan().cellCount(kind); ++i)
        if (ToolOfButton(plan().cell(kind, i)) == tool) {
          window->selectPlanTab(kind);
          QApplication::processEvents();
          plan().cell(kind, i)->click();
          ASSERT_EQ(gCurTool, tool);
          return;
        }
    FAIL() << "no palette cell for tool " << tool;
  }
  // The floor named becomes the current one.
  void onFloor(const char* name) {
    Layer* floor = GetLayerFromName(name);
    ASSERT_NE(floor, nullptr) << name;
    model->itsCurLayer = floor;
  }
  // The design emptied.
  void clearDesign() {
    for (Layer* l = model->itsLayers; l; l = l->next) DeleteLayerObjects(l);
    view->refreshVisibleView();
    QApplication::processEvents();
  }
  // Every top-level object of the design.
  std::vector<Objex*> objects() const {
    std::vector<Objex*> found;
    for (Layer* l = model->itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next) found.push_back(o);
    return found;
  }

  // The press and release of the chosen tool at `first`; once the corner loop waits, `script`
  // gives it the user's events. True when the entry ended by itself: a loop that has read them
  // all and waits again is ended by choosing the selection arrow (and, should that fail, by
  // the window's queue closing).
  bool enter(QPoint first, const std::function<void()>& script) {
    bool given = false, fellBack = false;
    // Ticks that found the loop waiting after the script: the wait that takes the script's
    // events ends before the timer fires again, so two mean the loop read them all and waits.
    int waits = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, view, [&] {
      if (!view->eventSource().isWaiting()) return;
      if (!given) {
        if (!view->hasMouseTracking()) return;
        given = true;
        script();
        return;
      }
      ++waits;
      if (waits == 2) {
        fellBack = true;
        edit().cellWithTool(kToolSelection)->click();
      } else if (waits == 4) {
        view->eventSource().viewGone();
      }
    });
    watch.start(5);
    QTest::mousePress(view, Qt::LeftButton, {}, first);
    QTest::mouseRelease(view, Qt::LeftButton, {}, first);
    watch.stop();
    QApplication::processEvents();
    EXPECT_TRUE(given) << "the corner loop never waited";
    EXPECT_FALSE(view->eventSource().isWaiting());
    return !fellBack;
  }
  void move(QPoint where) { QTest::mouseMove(view, where); }
  void click(QPoint where, Qt::MouseButton button = Qt::LeftButton) {
    move(where);
    QTest::mouseClick(view, button, {}, where);
  }

  // The platform's order: press, release, the second press as a double click, release.
  void doubleClick(QPoint where) {
    click(where);
    QTest::mouseDClick(view, Qt::LeftButton, {}, where);
  }

  QPoint at(float x, float z) const { return WidgetPointOf(view, x, z); }
  // The corners of a rectangle `size` pixels wide about the plan's middle at the plan's zoom,
  // as plan points.
  std::vector<FloatPoint> rectangle(float pixels) const {
    const float h = pixels / 2 / PlanZoom(ds);
    return {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
  }
  static std::vector<FloatPoint> Corners(const Objex* o) {
    std::vector<FloatPoint> corners;
    for (const Poinz* p = o->firstPoint; p; p = p->next) corners.push_back({p->position[0], p->position[2]});
    return corners;
  }

  ZLKDocumentView* view = nullptr;
  ScopedAlertRecorder alerts;
};

// Every outline tool with each ending after four corners: the corners clicked are the outline,
// closed or open as the tool makes it; a click on the first corner (its own pixel or beside
// it) closes a closed outline and adds the corner again to an open one. The clicks on the
// first corner at two plan scales.
TEST_F(PlanOutlineEndings, EveryOutlineToolEndsOnEachEndingWithTheCornersClicked) {
  struct Run {
    int16_t scale;
    const char* floor;
    std::vector<Ending> endings;
  };
  const Run runs[] = {
      {11,
       "First Floor",
       {Ending::kDoubleClick, Ending::kRightClick, Ending::kEscape, Ending::kFirstPixel, Ending::kBesideFirst}},
      {8, "Second Floor", {Ending::kFirstPixel, Ending::kBesideFirst}}};
  for (const Run& run : runs) {
    ChoosePlanScale(window, model, run.scale);
    if (HasFatalFailure()) return;
    ds->snapToGrid = 0;
    view->refreshVisibleView();
    QApplication::processEvents();
    const std::vector<FloatPoint> c = rectangle(240);
    for (const FloatPoint& p : c) ASSERT_TRUE(view->rect().contains(at(p.floatH, p.floatV)));
    const float pixel = 1.5f / PlanZoom(ds);
    for (const Ending ending : run.endings)
      for (const OutlineTool& t : kOutlineTools) {
        SCOPED_TRACE(::testing::Message() << "tool " << t.tool << ", " << EndingName(ending) << ", scale " << run.scale
                                          << ", " << run.floor);
        clearDesign();
        choose(t.tool);
        if (HasFatalFailure()) return;
        onFloor(run.floor);
        if (HasFatalFailure()) return;
        const QPoint a = at(c[0].floatH, c[0].floatV), beside = a + QPoint(3, -2);
        const bool ended = enter(a, [&] {
          click(at(c[1].floatH, c[1].floatV));
          click(at(c[2].floatH, c[2].floatV));
          const QPoint d = at(c[3].floatH, c[3].floatV);
          switch (ending) {
            case Ending::kDoubleClick: doubleClick(d); break;
            case Ending::kRightClick:
              click(d);
              click(at(0, 0), Qt::RightButton);
              break;
            case Ending::kEscape:
              click(d);
              move(at(0, 0));
              QTest::keyClick(view, Qt::Key_Escape);
              break;
            case Ending::kFirstPixel:
              click(d);
              click(a);
              break;
            case Ending::kBesideFirst:
              click(d);
              click(beside);
              break;
            case Ending::kToolChosen:
              ADD_FAILURE() << "the plan view runs are ended by the user's events alone";
              break;
          }
        });
        EXPECT_TRUE(ended) << "the entry did not end";
        const std::vector<Objex*> made = objects();
        ASSERT_EQ(made.size(), 1u);
        Objex* o = made.front();
        EXPECT_EQ(o->type, t.type);
        EXPECT_EQ(o->closed, t.closed ? 1 : 0);
        std::vector<FloatPoint> clicked = c;
        if (!t.closed && ending == Ending::kFirstPixel) clicked.push_back(c[0]);
        if (!t.closed && ending == Ending::kBesideFirst)
          clicked.push_back({c[0].floatH + 3 / PlanZoom(ds), c[0].floatV - 2 / PlanZoom(ds)});
        const std::vector<FloatPoint> corners = Corners(o);
        ASSERT_EQ(corners.size(), clicked.size());
        if (t.tool == kToolFoundationPerimeter) continue;  // its wall runs beside the perimeter
        for (size_t i = 0; i < clicked.size(); ++i) {
          EXPECT_NEAR(corners[i].floatH, clicked[i].floatH, pixel) << "corner " << i;
          EXPECT_NEAR(corners[i].floatV, clicked[i].floatV, pixel) << "corner " << i;
        }
      }
  }
}

// With only the first corner placed, Escape, a double click or a right click does not end the
// entry: it counts as a click. Escape with the pointer not moved and a double click on the
// first corner add nothing; Escape with the pointer moved and a right click away from the first
// corner add their corner. The entry goes on: a further click and a right click end it with
// every corner clicked. A right click beside the first corner closes the outline as a click
// there does: nothing is made of a closed one, an open one keeps its two corners.
TEST_F(PlanOutlineEndings, WithOnlyTheFirstCornerEachEndingCountsAsAClick) {
  ds->snapToGrid = 0;
  const std::vector<FloatPoint> c = rectangle(200);
  enum class Case { kEscapeStill, kEscapeMoved, kDoubleClickOnFirst, kRightClick, kRightBeside };
  const char* const names[] = {"Escape, pointer not moved", "Escape, pointer moved", "double click on the first",
                               "right click away", "right click beside the first"};
  for (const char* floor : {"First Floor", "Second Floor"})
    for (const Case which :
         {Case::kEscapeStill, Case::kEscapeMoved, Case::kDoubleClickOnFirst, Case::kRightClick, Case::kRightBeside})
      for (const OutlineTool& t : kOutlineTools) {
        SCOPED_TRACE(::testing::Message() << "tool " << t.tool << ", " << names[static_cast<int>(which)] << ", "
                                          << floor);
        clearDesign();
        alerts.shown.clear();
        choose(t.tool);
        if (HasFatalFailure()) return;
        onFloor(floor);
        if (HasFatalFailure()) return;
        const QPoint a = at(c[0].floatH, c[0].floatV), b = at(c[1].floatH, c[1].floatV),
                     d = at(c[2].floatH, c[2].floatV), beside = a + QPoint(3, -2);
        std::vector<FloatPoint> clicked{c[0]};
        if (which == Case::kEscapeMoved || which == Case::kRightClick) clicked.push_back(c[1]);
        const bool ended = enter(a, [&] {
          switch (which) {
            case Case::kEscapeStill: QTest::keyClick(view, Qt::Key_Escape); break;
            case Case::kEscapeMoved:
              move(b);
              QTest::keyClick(view, Qt::Key_Escape);
              break;
            case Case::kDoubleClickOnFirst: doubleClick(a); break;
            case Case::kRightClick: click(b, Qt::RightButton); break;
            case Case::kRightBeside: click(beside, Qt::RightButton); return;
          }
          if (clicked.size() == 1) click(b);
          click(d);
          click(at(0, 0), Qt::RightButton);
        });
        EXPECT_TRUE(ended) << "the entry did not end";
        const std::vector<Objex*> made = objects();
        if (which == Case::kRightBeside) {
          if (t.closed) {
            EXPECT_TRUE(made.empty());
            continue;
          }
          clicked.push_back({c[0].floatH + 3 / PlanZoom(ds), c[0].floatV - 2 / PlanZoom(ds)});
        } else {
          if (clicked.size() == 1) clicked.push_back(c[1]);
          clicked.push_back(c[2]);
        }
        EXPECT_TRUE(alerts.shown.empty());
        ASSERT_EQ(made.size(), 1u);
        Objex* o = made.front();
        EXPECT_EQ(o->type, t.type);
        EXPECT_EQ(o->closed, t.closed ? 1 : 0);
        const std::vector<FloatPoint> corners = Corners(o);
        ASSERT_EQ(corners.size(), clicked.size());
        if (t.tool == kToolFoundationPerimeter) continue;  // its wall runs beside the perimeter
        const float pixel = 1.5f / PlanZoom(ds);
        for (size_t i = 0; i < clicked.size(); ++i) {
          EXPECT_NEAR(corners[i].floatH, clicked[i].floatH, pixel) << "corner " << i;
          EXPECT_NEAR(corners[i].floatV, clicked[i].floatV, pixel) << "corner " << i;
        }
      }
}

}  // namespace
