// A tool click in the plan that changes no object stores no undo step, whatever the selection,
// the plan's zoom, the floor worked on or a tool default did since the last step: a door tool
// click off every wall after each of them, then Undo and Redo past both ends, in both unit
// systems. Undo and Redo leave the floor and the defaults as the user set them.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "AppTestSupport.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "files/Undo.h"
#include "inspectors/StairInspectorController.h"
#include "inspectors/WallObjectInspectorController.h"
#include "inspectors/WallToolInspectorController.h"
#include "model/CommandCodes.h"
#include "model/ConvertObject.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
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

class RefusedClickUndo : public TrackingWindowTest {
 protected:

  QPoint at(float x, float z) const { return WidgetPointOf(view, x, z); }
  void click(QPoint where) {
    QTest::mouseMove(view, where);
    QTest::mousePress(view, Qt::LeftButton, {}, where);
    QTest::mouseRelease(view, Qt::LeftButton, {}, where);
    QApplication::processEvents();
  }
  void drag(QPoint from, QPoint to) {
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    for (int i = 1; i <= 4; ++i) QTest::mouseMove(view, from + (to - from) * i / 4);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
    QApplication::processEvents();
  }

  std::vector<float> design() const { return CurrentFloorLook(model); }
  using Titles = UndoTitles;
  Titles titles() const { return EditMenuTitles(window); }

  ZLKDocumentView* view = nullptr;
};

TEST_F(RefusedClickUndo, ADoorToolClickOffEveryWallStoresNoStepAfterASelectionZoomFloorOrToolDefault) {
  enum Change {
    kSelectTheWall, kDeselectTheMovedWall, kPlanZoom2, kWallHeightDefault, kSecondFloor, kDimensionFromDefault,
    kStairLeftRailDefault
  };
  const char* const kNames[] = {"the wall selected", "the moved wall deselected", "plan zoom 2",
                                "the wall tool's height", "Plan > Second Floor", "the dimension-from default",
                                "the stair tool's left rail"};
  for (const bool metric : {false, true}) {
    for (const Change change : {kSelectTheWall, kDeselectTheMovedWall, kPlanZoom2, kWallHeightDefault, kSecondFloor,
                                kDimensionFromDefault, kStairLeftRailDefault}) {
      SCOPED_TRACE(std::string(kNames[change]) + (metric ? ", metric" : ", imperial"));
      // A new design with one wall, the selection tool, the history started afresh.
      view = showNewDesign(metric);
      window->selectPlanTab(1);
      ds->snapToGrid = 0;
      const float metre = ConvertWorldToScreen(39.370079f, ds, 0);
      RGBColor black{};
      Objex* wall = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr);
      for (auto [x, z] : {std::pair{0.0f, 0.0f}, {4 * metre, 0.0f}})
        AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, wall), wall);
      AppendObjectToLayer(wall, model->itsCurLayer);
      ASSERT_TRUE(ConvertObjectType(wall, kCmdConvertToExteriorWall));
      view->refreshVisibleView();
      QApplication::processEvents();
      gCurTool = kToolSelection;
      InitializeUndo();
      const float height = ds->wallHeight;
      const int16_t dimensionFrom = ds->wallDimensionFrom;
      const uint8_t leftRail = ds->stairLeftRail();

      std::vector<std::vector<float>> states{design()};
      std::vector<Titles> named{{"Undo", "Redo"}};
      switch (change) {
        case kSelectTheWall:
          click(at(2 * metre, 0));
          ASSERT_TRUE(IsAnyObjectSelected(wall));
          break;
        case kDeselectTheMovedWall:
          // A step that leaves the wall selected, then a click in an empty part of the plan.
          click(at(2 * metre, 0));
          drag(at(2 * metre, 0), at(2 * metre, 0) + QPoint(0, 40));
          ASSERT_NE(design(), states.back());
          states.push_back(design());
          named.push_back({"Undo Move/Resize", "Redo"});
          ASSERT_EQ(titles(), named.back());
          ASSERT_TRUE(IsAnyObjectSelected(wall));
          click(at(-2 * metre, -2 * metre));
          ASSERT_FALSE(IsAnyObjectSelected(wall));
          break;
        case kPlanZoom2:
          PlanZoom(ds) = 2;
          view->refreshVisibleView();
          QApplication::processEvents();
          break;
        case kWallHeightDefault: {
          WallToolInspectorController* inspector = WallToolInspectorController::sharedInspectorController();
          inspector->updateToolProperties();
          inspector->wallHeightText->setText(metric ? "2743.2" : "108");
          inspector->controlTextDidEndEditing(inspector->wallHeightText);
          ASSERT_NEAR(ds->wallHeight, 108, 0.01);
          break;
        }
        case kSecondFloor:
          Q_EMIT window->activeFloorTBPopUpButton()->activated(1);
          ASSERT_STREQ(model->itsCurLayer->name, "Second Floor");
          states = {design()};  // the floor now worked on, as empty as it was
          break;
        case kDimensionFromDefault: {
          // The wall inspector's buttons with no segment selected: the default alone.
          SelectAllLayers(model->itsLayers, kSelectOff, 0);
          ASSERT_FALSE(IsAnyObjectSelected(wall));
          WallObjectInspectorController* inspector = WallObjectInspectorController::sharedInspectorController();
          inspector->dimensionButtons->selectCellWithTag(dimensionFrom == 2 ? 1 : 2);
          inspector->dimensionButtonsChanged();
          ASSERT_NE(ds->wallDimensionFrom, dimensionFrom);
          break;
        }
        case kStairLeftRailDefault: {
          StairInspectorController* inspector = StairInspectorController::sharedInspectorController();
          inspector->updatePropertiesForObject(nullptr, true);
          inspector->leftRailButton->click();  // with nothing selected
          ASSERT_NE(ds->stairLeftRail(), leftRail);
          break;
        }
      }
      EXPECT_EQ(titles(), named.back());
      const size_t last = states.size() - 1;

      ScopedAlertRecorder alerts;
      gCurTool = kToolDoor;
      click(at(-2 * metre, -2 * metre));
      gCurTool = kToolSelection;
      ASSERT_EQ(alerts.shown.size(), 1u);
      EXPECT_EQ(alerts.shown.front().message, "Wall segment not found.");
      EXPECT_EQ(design(), states[last]);
      EXPECT_EQ(titles(), named[last]);

      // Undo past the start and Redo past the end: only the steps made before.
      for (size_t i = last; i-- > 0;) {
        window->undoAction()->trigger();
        EXPECT_EQ(design(), states[i]) << "undo to " << i;
        EXPECT_EQ(titles().first, named[i].first);
      }
      window->undoAction()->trigger();
      EXPECT_EQ(design(), states[0]);
      EXPECT_EQ(titles(), (Titles{"Undo", last ? "Redo Move/Resize" : "Redo"}));
      for (size_t i = 1; i <= last; ++i) {
        window->redoAction()->trigger();
        EXPECT_EQ(design(), states[i]) << "redo to " << i;
      }
      window->redoAction()->trigger();
      EXPECT_EQ(design(), states[last]);
      EXPECT_EQ(titles(), named[last]);
      // The floor and the tool defaults stay what the user made them.
      EXPECT_NEAR(model->itsDocState->wallHeight, change == kWallHeightDefault ? 108 : height, 0.01);
      EXPECT_STREQ(model->itsCurLayer->name, change == kSecondFloor ? "Second Floor" : "First Floor");
      EXPECT_EQ(model->itsDocState->wallDimensionFrom != dimensionFrom, change == kDimensionFromDefault);
      EXPECT_EQ(model->itsDocState->stairLeftRail() != leftRail, change == kStairLeftRailDefault);
    }
  }
}

}  // namespace
