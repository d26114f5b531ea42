// A value sheet whose OK refuses what was typed stays open with the alert and that entry
// selected, so that it is retyped rather than the object picked again; the entry retyped is
// then applied as one undo step. Every key entry sheet: Resize Segment, the wall tool's
// length, Move, Rotate and Object Elevation.
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QLineEdit>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "app/Win32EventHandler.h"
#include "files/Undo.h"
#include "inspectors/KeyEntryControllers.h"
#include "inspectors/MoveObjectsController.h"
#include "inspectors/ObjectElevationController.h"
#include "inspectors/RotateObjectsController.h"
#include "inspectors/SheetTestSupport.h"
#include "model/Delete.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "platform/Alerts.h"
#include "tools/ToolCodes.h"

namespace {

constexpr const char* kRefusal = "Invalid number entered.";

class RefusedSheetEntries : public SheetTest {
 protected:
  void beforeClosing() override {
    gCurTool = kToolSelection;
    SheetTest::beforeClosing();
  }
  float feet(float f) const { return ConvertWorldToScreen(f * 12, ds, 0); }

  // One sheet: how it opens, the field refused, and how the applied entry shows.
  struct Case {
    const char* name;
    std::function<void()> open;
    std::function<QLineEdit*(SheetController*)> field;
    std::function<void(SheetController*)> fillOthers;  // the other fields, valid
    std::string refused;                               // typed into the field
    const char* refusal;                               // the alert's message
    std::string valid;                                 // then typed into it
    std::function<bool()> applied;
    std::function<bool()> asBefore;
    const char* step;
  };

  // Refused: the sheet is the one still attached and shown, the alert said, the refused entry
  // selected in its field, the design as it was and no step; retyped, OK applies it as one step,
  // which Undo takes back.
  void expectRetyped(const Case& c) {
    SCOPED_TRACE(::testing::Message() << c.name << " system " << ds->measureSystem);
    InitializeUndo();
    doc->undoManager().removeAllActions();
    c.open();
    SheetController* s = SheetController::attachedSheet(window);
    ASSERT_NE(s, nullptr);
    QLineEdit* field = c.field(s);
    ASSERT_NE(field, nullptr);
    if (c.fillOthers) c.fillOthers(s);
    field->setText(QString::fromStdString(c.refused));
    {
      ScopedAlertRecorder alerts;
      s->okButton()->click();
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      EXPECT_TRUE(alerts.sawMessage(c.refusal));
      EXPECT_EQ(alerts.shown.size(), 1u);
    }
    ASSERT_EQ(SheetController::attachedSheet(window), s);
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ(s->focusWidget(), field);
    EXPECT_EQ(field->text(), QString::fromStdString(c.refused));
    EXPECT_EQ(field->selectedText(), field->text());
    EXPECT_TRUE(c.asBefore());
    EXPECT_FALSE(anyUndo()) << lastUndo();

    // Refused twice: still there.
    {
      ScopedAlertRecorder alerts;
      s->okButton()->click();
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      EXPECT_TRUE(alerts.sawMessage(c.refusal));
    }
    ASSERT_EQ(SheetController::attachedSheet(window), s);

    field->setText(QString::fromStdString(c.valid));
    {
      ScopedAlertRecorder alerts;
      s->okButton()->click();
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      EXPECT_TRUE(alerts.shown.empty());
    }
    EXPECT_EQ(SheetController::attachedSheet(window), nullptr);
    EXPECT_TRUE(c.applied());
    EXPECT_EQ(lastUndo(), c.step);
    doc->undoManager().undo();
    ds = model->itsDocState;  // read back with the design
    EXPECT_TRUE(c.asBefore());
    EXPECT_FALSE(anyUndo()) << lastUndo();
  }
};

TEST_F(RefusedSheetEntries, EveryKeyEntrySheetStaysOpenWithTheRefusedEntrySelected) {
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    ds->measureSystem = system;
    ds->metricReadout = 0;  // millimetres
    const bool metric = system == kMeasureMetric;
    DeleteLayerObjects(model->itsCurLayer);
    addSelectedSquare();
    // The segment and the wall start halfway to the plan's edge, where a length inside the
    // range a length may have still carries the end off the plan.
    constexpr float kStart = 500000;
    AddPlanLine(model->itsCurLayer, kStart, 200, kStart + feet(10), 200);
    Objex* drawn = AddPlanLine(model->itsCurLayer, kStart, 400, kStart + feet(10), 400);
    drawn->type = kObjWall;
    drawn->width = 4;
    for (Poinz* p = drawn->firstPoint; p; p = p->next) p->segmentFloats[0] = 96;
    // Found afresh each time: Undo reads the design back.
    const auto nth = [&](int i) {
      Objex* o = model->itsCurLayer->firstObject;
      while (i-- > 0 && o) o = o->next;
      return o;
    };
    const auto square = [&] { return nth(0); };
    const auto line = [&] { return nth(1); };
    const auto wall = [&] { return nth(2); };
    const auto squareAt = [&](float x, float z) {
      const Poinz* p = square()->firstPoint;
      return std::fabs(p->position[0] - x) < 1e-3f && std::fabs(p->position[2] - z) < 1e-3f;
    };
    const auto selectSquare = [&] {
      SelectAllLayers(model->itsLayers, kSelectOff, 1);
      SelectObj(square(), kSelectOn, 1);
    };
    const auto lineIs = [&](float f) {
      const Poinz* a = line()->firstPoint;
      const Poinz* b = a->next;
      return std::fabs(GetLineLength(a->position[0], a->position[2], b->position[0], b->position[2]) - feet(f)) < 0.1f;
    };
    const auto wallIs = [&](float f) {
      const Poinz* a = wall()->firstPoint;
      return std::fabs(a->next->position[0] - a->position[0] - feet(f)) < 0.1f;
    };
    const std::string eleven = metric ? "3352.8" : "11'";  // millimetres in the metric design
    // 900,000 plan units: inside the range of a length, past the plan from the start.
    const double farInches = 900000.0 / ConvertWorldToScreen(1, ds, 0);
    const std::string far = metric ? std::to_string(farInches * 25.4) : std::to_string(farInches);
    const auto resizeSheet = [&] {
      Win32EventHandler::sharedEventHandler()->keyEntrySheetForObject(line(), line()->firstPoint,
                                                                      line()->firstPoint->next);
    };
    const auto lengthSheet = [&] {
      gCurTool = kToolInteriorWallKeyEntry;
      WallKeyEntryController::newWallKeyEntrySheetForParent(window, wall()->firstPoint, wall()->firstPoint->next,
                                                            wall());
    };
    const auto resizeField = [](SheetController* s) { return qobject_cast<KeyEntryController*>(s)->lengthText; };
    const auto greenEnd = [](SheetController* s) {
      qobject_cast<KeyEntryController*>(s)->locationButtons->button(3)->setChecked(true);
    };
    const auto lengthField = [](SheetController* s) { return qobject_cast<WallKeyEntryController*>(s)->lengthText; };
    const std::vector<Case> cases = {
        {"Resize Segment", resizeSheet, resizeField, greenEnd, "5 6 7", kRefusal, eleven, [&] { return lineIs(11); },
         [&] { return lineIs(10); }, "Resize Segment"},
        {"Resize Segment past the plan", resizeSheet, resizeField, greenEnd, far, "Unable to resize the objects.",
         eleven, [&] { return lineIs(11); }, [&] { return lineIs(10); }, "Resize Segment"},
        {"Wall length", lengthSheet, lengthField, nullptr, "", kRefusal, eleven, [&] { return wallIs(11); },
         [&] { return wallIs(10); }, "Interior Wall Tool"},
        {"Wall length past the plan", lengthSheet, lengthField, nullptr, far, "Unable to resize the objects.", eleven,
         [&] { return wallIs(11); }, [&] { return wallIs(10); }, "Interior Wall Tool"},
        // The second of two fields refused: that one is selected, not the first.
        {"Move",
         [&] {
           selectSquare();
           choose(kTagMoveObjects);
         },
         [](SheetController* s) { return qobject_cast<MoveObjectsController*>(s)->vertDistText; },
         [](SheetController* s) { qobject_cast<MoveObjectsController*>(s)->horizDistText->setText("0"); }, "12 nan",
         kRefusal, metric ? "304.8" : "12", [&] { return squareAt(-50, -50 - ConvertWorldToScreen(12, ds, 0)); },
         [&] { return squareAt(-50, -50); }, "Move"},
        {"Rotate",
         [&] {
           selectSquare();
           choose(kTagRotateObjects);
         },
         [](SheetController* s) { return qobject_cast<RotateObjectsController*>(s)->angleText; }, nullptr, "22.5 1/2",
         kRefusal, "180", [&] { return squareAt(50, 50); }, [&] { return squareAt(-50, -50); }, "Rotate"},
        {"Object Elevation",
         [&] {
           selectSquare();
           choose(kTagSetObjectElevation);
         },
         [](SheetController* s) { return qobject_cast<ObjectElevationController*>(s)->elevationText; }, nullptr,
         "5.5.5", kRefusal, metric ? "609.6" : "2'", [&] { return std::fabs(square()->baseElevation - 24) < 1e-2f; },
         [&] { return square()->baseElevation == 0; }, "Object Elevation"},
    };
    for (const Case& c : cases) expectRetyped(c);
  }
}

// Cancel after a refused entry closes the sheet as Cancel does: nothing applied; the wall
// tool's sheet still ends the drag with its step.
TEST_F(RefusedSheetEntries, CancelAfterARefusalChangesNothing) {
  Objex* wall = AddPlanLine(model->itsCurLayer, 0, 0, feet(10), 0);
  wall->type = kObjWall;
  wall->width = 4;
  for (Poinz* p = wall->firstPoint; p; p = p->next) p->segmentFloats[0] = 96;
  gCurTool = kToolExteriorWallKeyEntry;
  ASSERT_TRUE(WallKeyEntryController::newWallKeyEntrySheetForParent(window, wall->firstPoint, wall->firstPoint->next,
                                                                    wall));
  auto* s = sheet<WallKeyEntryController>();
  ASSERT_NE(s, nullptr);
  s->lengthText->setText("abc");
  {
    ScopedAlertRecorder alerts;
    s->okButton()->click();
    EXPECT_TRUE(alerts.sawMessage(kRefusal));
  }
  ASSERT_EQ(sheet<WallKeyEntryController>(), s);
  EXPECT_FALSE(anyUndo());
  ScopedAlertRecorder alerts;
  cancel();
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(SheetController::attachedSheet(window), nullptr);
  EXPECT_NEAR(wall->firstPoint->next->position[0], feet(10), 1e-3);
  EXPECT_EQ(lastUndo(), "Exterior Wall Tool");
}

}  // namespace
