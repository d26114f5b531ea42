// Walls dragged in the plan window with the grid on, at every plan scale in both unit systems:
// a press and a release at one height of the window give a level wall, and at one place
// across a plumb one, whatever the row or column of the window and wherever it is scrolled,
// both ends on grid nodes; a wall drawn so undoes and redoes as drawn.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPointF>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <string>

#include "AppTestSupport.h"
#include "PlanScales.h"
#include "app/PlanViewActions.h"
#include "app/ZLKDocumentView.h"
#include "files/Undo.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grid.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

class WallGridDrag : public DesignWindowTest, public testing::WithParamInterface<PlanScaleDesign> {
 protected:
  void beforeDocument() override {
    gDefaultToImperial = GetParam().metric ? 0 : 1;
    ResetTrackingState();
  }
  void afterDocument() override {
    view = showPlanView(2);
    window->resize(1100, 900);  // room for a 1.5 m wall at 1 : 10
    ASSERT_NO_FATAL_FAILURE(ChoosePlanScale(window, model, GetParam().scale));
    view->refreshVisibleView();
    QApplication::processEvents();
    // Grid lines of their own spacing across and down: 50 by 30 cm, or 2' by 18".
    ds->gridSpacing = GetParam().metric ? FloatPoint{50 / 2.54f, 30 / 2.54f} : FloatPoint{24, 18};
    window->planViewActions().perform(kTagSnapToGrid);
    ASSERT_TRUE(ds->snapToGrid);
  }
  void beforeClosing() override {
    gCurTool = kToolSelection;
    ResetTrackingState();
  }

  QScrollArea* scrollArea() const {
    for (QWidget* w = view->parentWidget(); w; w = w->parentWidget())
      if (auto* area = qobject_cast<QScrollArea*>(w)) return area;
    return nullptr;
  }
  // The visible part of the plan view, in the view widget's coordinates.
  QRect shown() const {
    const NSRect r = view->visibleRect();
    const NSPoint origin = view->boundsOrigin();
    return QRect(static_cast<int>(r.origin.x - origin.x), static_cast<int>(r.origin.y - origin.y),
                 static_cast<int>(r.size.width), static_cast<int>(r.size.height));
  }
  void mouse(QEvent::Type type, QPointF at) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, view->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
  }
  // One wall drawn with the interior wall tool by a press, moves in steps and a release; the
  // wall it made, taken off the plan (null when none was made).
  Objex* drawWall(QPointF from, QPointF to, bool keep = false) {
    gCurTool = kToolInteriorWall;
    mouse(QEvent::MouseButtonPress, from);
    for (int i = 1; i <= 4; ++i) mouse(QEvent::MouseMove, from + (to - from) * i / 4.0);
    mouse(QEvent::MouseButtonRelease, to);
    Objex* wall = nullptr;
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next)
      if (o->type == kObjWall) wall = o;
    if (wall && !keep) UnlinkObject(wall);
    return wall;
  }
  // Both ends of the wall stand on grid nodes, and on the same line of the grid: across when
  // `level`, down otherwise.
  void expectOnOneGridLine(Objex* wall, bool level, const std::string& where) {
    ASSERT_NE(wall, nullptr) << where;
    ASSERT_EQ(wall->pointCount, 2) << where;
    const Poinz* a = wall->firstPoint;
    const Poinz* b = a->next;
    const float across = ConvertWorldToScreen(ds->gridSpacing.floatH, ds, 0);
    const float down = ConvertWorldToScreen(ds->gridSpacing.floatV, ds, 0);
    for (const Poinz* p : {a, b}) {
      EXPECT_EQ(p->position[0], NearestGridMultiple(p->position[0], across)) << where;
      EXPECT_EQ(p->position[2], NearestGridMultiple(p->position[2], down)) << where;
    }
    if (level) {
      EXPECT_EQ(a->position[2], b->position[2]) << where << ": a tilted wall";
      EXPECT_NE(a->position[0], b->position[0]) << where;
    } else {
      EXPECT_EQ(a->position[0], b->position[0]) << where << ": a tilted wall";
      EXPECT_NE(a->position[2], b->position[2]) << where;
    }
  }

  ZLKDocumentView* view = nullptr;
};

INSTANTIATE_TEST_SUITE_P(EveryPlanScale, WallGridDrag, testing::ValuesIn(EveryPlanScaleDesign()),
                         PlanScaleDesignName);

// Every eleventh row of the window, to the right and to the left, 1.5 m or 5' long (shorter
// where the window is narrower); every 23rd column, down and up, as long: odd steps, so the
// rows and columns fall on many parts of a grid cell. The window is
// scrolled to the plan's middle (rows and columns either side of it), then to its lower
// right; the pointer stands on whole and on part pixels.
TEST_P(WallGridDrag, PressAndReleaseAtOneHeightOrOnePlaceAcrossGiveAStraightWallOnTheGrid) {
  QScrollArea* area = scrollArea();
  ASSERT_NE(area, nullptr);
  const float inches = GetParam().metric ? 150 / 2.54f : 60;
  for (const double scroll : {0.5, 0.7}) {
    area->horizontalScrollBar()->setValue(static_cast<int>(area->horizontalScrollBar()->maximum() * scroll));
    area->verticalScrollBar()->setValue(static_cast<int>(area->verticalScrollBar()->maximum() * scroll));
    QApplication::processEvents();
    const QRect r = shown();
    const double length = std::min<double>(ConvertWorldToScreen(GetWorldFromInches(inches, ds), ds, 1),
                                           std::min(r.width(), r.height()) - 40);  // window pixels
    ASSERT_GT(length, 40);
    const double part = scroll == 0.5 ? 0 : 0.5;  // whole pixels, then half ones
    int walls = 0;
    for (int row = r.top() + 2; row < r.bottom() - 2; row += 11) {
      const bool right = row / 11 % 2 == 0;
      const double left = r.left() + 10 + part, far = left + length;
      const QPointF a(right ? left : far, row + part), b(right ? far : left, row + part);
      Objex* wall = drawWall(a, b);
      expectOnOneGridLine(wall, true, "row " + std::to_string(row) + (right ? " rightward" : " leftward"));
      DeleteObj(wall);
      if (HasFailure()) return;
      ++walls;
    }
    for (int column = r.left() + 2; column < r.right() - 2; column += 23) {
      const bool down = column / 23 % 2 == 0;
      const double top = r.top() + 10 + part, bottom = top + length;
      const QPointF a(column + part, down ? top : bottom), b(column + part, down ? bottom : top);
      Objex* wall = drawWall(a, b);
      expectOnOneGridLine(wall, false, "column " + std::to_string(column) + (down ? " downward" : " upward"));
      DeleteObj(wall);
      if (HasFailure()) return;
      ++walls;
    }
    EXPECT_GT(walls, r.height() / 11);
  }
}

// A level wall drawn in the lower rows is stored as one undo step; undone it is gone, redone it
// stands again with both ends where they were.
TEST_P(WallGridDrag, ALevelWallUndoesAndRedoesAsDrawn) {
  const QRect r = shown();
  const double length = ConvertWorldToScreen(GetWorldFromInches(GetParam().metric ? 150 / 2.54f : 60, ds), ds, 1);
  const int row = r.bottom() - 30;
  Objex* wall = drawWall(QPointF(r.left() + 20, row), QPointF(r.left() + 20 + length, row), true);
  ASSERT_NO_FATAL_FAILURE(expectOnOneGridLine(wall, true, "drawn"));
  const float ends[4] = {wall->firstPoint->position[0], wall->firstPoint->position[2],
                         wall->firstPoint->next->position[0], wall->firstPoint->next->position[2]};
  EXPECT_EQ(doc->undoManager().undoActionName(), "Interior Wall Tool");
  doc->undoManager().undo();
  model = doc->documentModel();
  ds = model->itsDocState;
  for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next) EXPECT_NE(o->type, kObjWall) << "after undo";
  doc->undoManager().redo();
  model = doc->documentModel();
  ds = model->itsDocState;
  Objex* again = nullptr;
  for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next)
    if (o->type == kObjWall) again = o;
  ASSERT_NE(again, nullptr);
  ASSERT_NO_FATAL_FAILURE(expectOnOneGridLine(again, true, "redone"));
  EXPECT_EQ(again->firstPoint->position[0], ends[0]);
  EXPECT_EQ(again->firstPoint->position[2], ends[1]);
  EXPECT_EQ(again->firstPoint->next->position[0], ends[2]);
  EXPECT_EQ(again->firstPoint->next->position[2], ends[3]);
}

}  // namespace
