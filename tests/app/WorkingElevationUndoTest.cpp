// The working elevation is the user's setting: Undo and Redo of any step, the working
// elevation's own included, leave it as the user last set it, and new walls are drawn there.
// A step that moved the floor worked on (the ceiling height of the floor below) moves it with
// that floor both ways. On the first and the second floor, in inches and in metric.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <string>

#include "AppTestSupport.h"
#include "app/PlanViewActions.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "files/Undo.h"
#include "inspectors/PlanSettingsSheets.h"
#include "inspectors/SheetController.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/ViewProjection.h"
#include "model/WallFields.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

class WorkingElevationUndo : public TrackingWindowTest {
 protected:

  // A length typed the way the design's unit system reads it.
  QString typed(float inches) const {
    return ds->measureSystem == kMeasureMetric ? QString::number(inches * 2.54, 'f', 3) + " cm"
                                               : QString::number(inches, 'f', 3) + "\"";
  }
  void closeSheet(SheetController* sheet) {
    sheet->okButton()->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void setWorkingElevation(float inches) {
    ASSERT_TRUE(window->planViewActions().perform(kTagSetWorkingElevation));
    auto* sheet = qobject_cast<WorkingElevationController*>(SheetController::attachedSheet(window));
    ASSERT_NE(sheet, nullptr);
    sheet->elevationText->setText(typed(inches));
    closeSheet(sheet);
    ASSERT_NEAR(ds->baseElevation, inches, 0.05);
  }
  void setFirstFloorCeiling(float inches) {
    ASSERT_TRUE(window->planViewActions().perform(kTagCeilingHeightFirstFloor));
    auto* sheet = qobject_cast<CeilingHeightController*>(SheetController::attachedSheet(window));
    ASSERT_NE(sheet, nullptr);
    sheet->heightText->setText(typed(inches));
    closeSheet(sheet);
    ASSERT_NEAR(GetLayerFromName("First Floor")->height, inches, 0.05);
  }
  // An interior wall dragged across the plan on the floor worked on; the newest wall there.
  Objex* drawWall(float z) {
    const float metre = ConvertWorldToScreen(39.370079f, ds, 0);
    const QPoint from = WidgetPointOf(view, 0, z * metre), to = WidgetPointOf(view, 3 * metre, z * metre);
    gCurTool = kToolInteriorWall;
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    for (int i = 1; i <= 4; ++i) QTest::mouseMove(view, from + (to - from) * i / 4);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
    QApplication::processEvents();
    gCurTool = kToolSelection;
    return newestWall();
  }
  Objex* newestWall() const {
    Objex* wall = nullptr;
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next)
      if (o->type == kObjWall) wall = o;
    return wall;
  }
  int walls() const {
    int n = 0;
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next) n += o->type == kObjWall;
    return n;
  }
  // Edit > Undo and Edit > Redo; each restore replaces the DocState.
  void undo() {
    window->updateWindowState();
    window->undoAction()->trigger();
    ds = model->itsDocState;
  }
  void redo() {
    window->updateWindowState();
    window->redoAction()->trigger();
    ds = model->itsDocState;
  }

  ZLKDocumentView* view = nullptr;
};

TEST_F(WorkingElevationUndo, UndoAndRedoKeepTheWorkingElevationAndMoveItOnlyWithItsFloor) {
  for (const bool metric : {false, true}) {
    for (const int floor : {0, 1}) {
      SCOPED_TRACE(std::string(floor ? "second floor" : "first floor") + (metric ? ", metric" : ", inches"));
      view = showNewDesign(metric);
      window->selectPlanTab(1);
      Q_EMIT window->activeFloorTBPopUpButton()->activated(floor);
      ASSERT_STREQ(model->itsCurLayer->name, floor ? "Second Floor" : "First Floor");
      InitializeUndo();
      const float base = GetLayerAbsBaseHeight(model->itsCurLayer);
      ASSERT_EQ(ds->baseElevation, base);

      // Working elevation 30" above the floor (its own step), then a wall drawn there.
      ASSERT_NO_FATAL_FAILURE(setWorkingElevation(base + 30));
      const float working = ds->baseElevation;
      Objex* wall = drawWall(1);
      ASSERT_NE(wall, nullptr);
      EXPECT_EQ(BaseElevationOf(wall->firstPoint), working);

      undo();  // the wall
      EXPECT_EQ(walls(), 0);
      EXPECT_EQ(ds->baseElevation, working);
      redo();
      EXPECT_EQ(walls(), 1);
      EXPECT_EQ(ds->baseElevation, working);
      undo();
      undo();  // the working elevation's own step
      EXPECT_EQ(walls(), 0);
      EXPECT_EQ(ds->baseElevation, working);
      redo();
      redo();
      EXPECT_EQ(walls(), 1);
      EXPECT_EQ(ds->baseElevation, working);
      wall = drawWall(2);
      ASSERT_NE(wall, nullptr);
      EXPECT_EQ(walls(), 2);
      EXPECT_EQ(BaseElevationOf(wall->firstPoint), working);

      // The first floor 2' taller moves the second floor up; the working elevation is set anew.
      ASSERT_NO_FATAL_FAILURE(setFirstFloorCeiling(GetLayerFromName("First Floor")->height + 24));
      const float raised = GetLayerAbsBaseHeight(model->itsCurLayer) - base;
      EXPECT_NEAR(raised, floor ? 24 : 0, 0.05);
      ASSERT_NO_FATAL_FAILURE(setWorkingElevation(base + raised + 40));
      const float above = ds->baseElevation;
      undo();  // the working elevation: no floor moves
      EXPECT_EQ(ds->baseElevation, above);
      undo();  // the ceiling height: the floor worked on goes back down, and its elevation with it
      EXPECT_EQ(GetLayerAbsBaseHeight(model->itsCurLayer), base);
      EXPECT_NEAR(ds->baseElevation, above - raised, 0.001);
      redo();
      EXPECT_NEAR(ds->baseElevation, above, 0.001);
      redo();
      EXPECT_NEAR(ds->baseElevation, above, 0.001);
      EXPECT_EQ(walls(), 2);
    }
  }
}

}  // namespace
