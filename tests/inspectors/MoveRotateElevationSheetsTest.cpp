// The move, rotate and object elevation sheets driven through their menu items.
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <utility>

#include "building3d/Plants3D.h"
#include "files/DesignFile.h"
#include "files/Undo.h"
#include "inspectors/MoveObjectsController.h"
#include "inspectors/ObjectElevationController.h"
#include "inspectors/RotateObjectsController.h"
#include "inspectors/SheetTestSupport.h"
#include "model/CommandWalkers.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/SelectionState.h"
#include "model/TopoGrid.h"
#include "model/TransformGuard.h"
#include "platform/Alerts.h"

namespace {

class MoveSheets : public SheetTest {
 protected:
  Objex* square = nullptr;
  Objex* other = nullptr;
  void afterDocument() override {
    SheetTest::afterDocument();
    square = addSelectedSquare();
    other = addSelectedSquare();
    SelectObj(other, kSelectOff, 1);
  }
  float x(Objex* o) const { return o->firstPoint->position[0]; }
  float z(Objex* o) const { return o->firstPoint->position[2]; }
};

TEST_F(MoveSheets, ZeroOffsetStoresNothingAndYIsNegatedInScreenUnits) {
  choose(kTagMoveObjects);
  auto* s = sheet<MoveObjectsController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->layoutName(), "MoveObjectsSheet");
  ok();
  EXPECT_FALSE(anyUndo());
  EXPECT_FLOAT_EQ(x(square), -50);

  choose(kTagMoveObjects);
  s = sheet<MoveObjectsController>();
  s->vertDistText->setText("12\"");
  ok();
  EXPECT_EQ(lastUndo(), "Move");
  EXPECT_FLOAT_EQ(x(square), -50);
  EXPECT_FLOAT_EQ(z(square), -50 - ConvertWorldToScreen(12, ds, 0));
  // Only the selection moves.
  EXPECT_FLOAT_EQ(z(other), -50);
}

TEST_F(MoveSheets, PolarMoveUsesTheAngleInRadiansAndTheDistanceInScreenUnits) {
  choose(kTagMoveObjects);
  auto* s = sheet<MoveObjectsController>();
  s->coordinateSysMatrix->button(1)->click();
  EXPECT_EQ(s->horizDistLabel->text(), "Angle:");
  EXPECT_EQ(s->vertDistLabel->text(), "Distance:");
  s->horizDistText->setText("90");
  s->vertDistText->setText("10'");
  ok();
  float dx = 0, dy = 0;
  GetPointFromLengthAndAngle(static_cast<float>(M_PI / 2), ConvertWorldToScreen(120, ds, 0), &dx, &dy);
  EXPECT_NEAR(x(square), -50 + dx, 1e-3);
  EXPECT_NEAR(z(square), -50 + dy, 1e-3);
  EXPECT_EQ(lastUndo(), "Move");
}

// A polar move of no distance stores nothing; typed offsets are world lengths at every plan
// scale, the sheet's y up the screen.
TEST_F(MoveSheets, NoDistanceStoresNothingAndOffsetsFollowThePlanScale) {
  choose(kTagMoveObjects);
  auto* s = sheet<MoveObjectsController>();
  s->coordinateSysMatrix->button(1)->click();
  s->horizDistText->setText("45");
  s->vertDistText->setText("0");
  ok();
  EXPECT_FALSE(anyUndo());
  EXPECT_FLOAT_EQ(x(square), -50);
  for (auto [scale, perInch] : {std::pair{96.0f, 0.75f}, {48.0f, 1.5f}, {24.0f, 3.0f}}) {
    SCOPED_TRACE(scale);
    ds->planScale = scale;
    const float x0 = x(square), z0 = z(square);
    choose(kTagMoveObjects);
    s = sheet<MoveObjectsController>();
    s->horizDistText->setText("2'");
    s->vertDistText->setText("4\"");
    ok();
    EXPECT_NEAR(x(square), x0 + 24 * perInch, 1e-3);
    EXPECT_NEAR(z(square), z0 - 4 * perInch, 1e-3);
  }
}

TEST_F(MoveSheets, MovePlanMovesUnselectedObjectsToo) {
  choose(kTagMovePlan);
  auto* s = sheet<MoveObjectsController>();
  ASSERT_NE(s, nullptr);
  s->horizDistText->setText("1'");
  ok();
  EXPECT_EQ(lastUndo(), "Move Entire Plan");
  EXPECT_FLOAT_EQ(x(other), -50 + ConvertWorldToScreen(12, ds, 0));
  EXPECT_FLOAT_EQ(x(square), -50 + ConvertWorldToScreen(12, ds, 0));
}

TEST_F(MoveSheets, CancelAndASecondOpenerLeaveEverything) {
  choose(kTagMoveObjects);
  SheetController* first = SheetController::attachedSheet(window);
  choose(kTagRotateObjects);  // one sheet per window
  EXPECT_EQ(SheetController::attachedSheet(window), first);
  sheet<MoveObjectsController>()->horizDistText->setText("5'");
  cancel();
  EXPECT_EQ(SheetController::attachedSheet(window), nullptr);
  EXPECT_FLOAT_EQ(x(square), -50);
  EXPECT_FALSE(anyUndo());
}

TEST_F(MoveSheets, ASheetReleasedWithoutClosingLeavesTheWindowFree) {
  choose(kTagMoveObjects);
  delete SheetController::attachedSheet(window);
  EXPECT_EQ(SheetController::attachedSheet(window), nullptr);
  choose(kTagRotateObjects);
  EXPECT_NE(sheet<RotateObjectsController>(), nullptr);
}

TEST_F(MoveSheets, RadiansShowEveryDigitAndTurnByPi) {
  choose(kTagRotateObjects);
  auto* s = sheet<RotateObjectsController>();
  ASSERT_NE(s, nullptr);
  s->angleText->setText("180");
  s->angleUnitSysMatrix->button(0)->click();  // the unit shown: the entry stays as typed
  EXPECT_EQ(s->angleText->text(), "180");
  s->angleUnitSysMatrix->button(1)->click();
  EXPECT_TRUE(s->angleText->text().startsWith("3.14159")) << s->angleText->text().toStdString();
  const QString radians = s->angleText->text();
  s->angleUnitSysMatrix->button(1)->click();
  EXPECT_EQ(s->angleText->text(), radians);
  ok();
  EXPECT_EQ(lastUndo(), "Rotate");
  // A half turn about the square's own centre puts its first corner on the opposite one.
  EXPECT_NEAR(x(square), 50, 1e-3);
  EXPECT_NEAR(z(square), 50, 1e-3);
  EXPECT_FLOAT_EQ(x(other), -50);
}

TEST_F(MoveSheets, RotatingNothingStillStoresRotateAndZeroStoresNothing) {
  SelectObj(square, kSelectOff, 1);
  choose(kTagRotateObjects);
  ok();
  EXPECT_FALSE(anyUndo());
  choose(kTagRotateObjects);
  sheet<RotateObjectsController>()->angleText->setText("90");
  ok();
  EXPECT_EQ(lastUndo(), "Rotate");
  EXPECT_FLOAT_EQ(x(square), -50);
  EXPECT_FLOAT_EQ(z(square), -50);
}

TEST_F(MoveSheets, RotatePlanTurnsUnselectedObjects) {
  choose(kTagRotatePlan);
  auto* s = sheet<RotateObjectsController>();
  s->angleText->setText("180");
  ok();
  EXPECT_EQ(lastUndo(), "Rotate Entire Plan");
  EXPECT_NEAR(x(other), 50, 1e-3);
}

// A 120 x 60 rectangle away from the origin, centred on (260, 130): turning and moving it
// must keep its own centre and size, whatever the distance from the origin.
TEST_F(MoveSheets, OffCentreOblongTurnsAboutItsOwnCentreAndMovesByTheTypedAmounts) {
  const float corners[4][2] = {{200, 100}, {320, 100}, {320, 160}, {200, 160}};
  Poinz* p = square->firstPoint;
  for (const auto& c : corners) p->position[0] = c[0], p->position[2] = c[1], p = p->next;
  auto extent = [&] {
    std::array<float, 4> e{1e9f, -1e9f, 1e9f, -1e9f};
    for (Poinz* q = square->firstPoint; q; q = q->next) {
      e[0] = std::min(e[0], q->position[0]), e[1] = std::max(e[1], q->position[0]);
      e[2] = std::min(e[2], q->position[2]), e[3] = std::max(e[3], q->position[2]);
    }
    return e;
  };
  const std::pair<const char*, const char*> turns[] = {{"90", "-90"}, {"-90", "90"}, {"270", "-270"}};
  for (const auto& [angle, back] : turns) {
    SCOPED_TRACE(angle);
    choose(kTagRotateObjects);
    sheet<RotateObjectsController>()->angleText->setText(angle);
    ok();
    const auto e = extent();
    EXPECT_NEAR(e[0], 230, 1e-2);  // 60 wide and 120 deep now, about the same centre
    EXPECT_NEAR(e[1], 290, 1e-2);
    EXPECT_NEAR(e[2], 70, 1e-2);
    EXPECT_NEAR(e[3], 190, 1e-2);
    choose(kTagRotateObjects);
    sheet<RotateObjectsController>()->angleText->setText(back);
    ok();
  }
  // Back where it started after each turn and its reverse.
  EXPECT_NEAR(x(square), 200, 1e-2);
  EXPECT_NEAR(z(square), 100, 1e-2);
  choose(kTagMoveObjects);
  auto* move = sheet<MoveObjectsController>();
  move->horizDistText->setText("2'");
  move->vertDistText->setText("-6\"");
  ok();
  const float k = ConvertWorldToScreen(12, ds, 0) / 12;
  const auto e = extent();
  EXPECT_NEAR(e[0], 200 + 24 * k, 1e-2);
  EXPECT_NEAR(e[1], 320 + 24 * k, 1e-2);
  EXPECT_NEAR(e[2], 100 + 6 * k, 1e-2);  // y up on the sheet is -z in the plan
  EXPECT_NEAR(e[3], 160 + 6 * k, 1e-2);
  EXPECT_FLOAT_EQ(z(other), -50);
}

class ElevationSheet : public SheetTest {};

TEST_F(ElevationSheet, FloatWithAWallSelectedAlertsAfterClosingAndStillStores) {
  Objex* square = addSelectedSquare();
  RGBColor black{};
  Objex* wall = CreateObject(kObjWall, 0, 1, &black, &black, 4, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, wall), wall);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, wall), wall);
  wall->planMask = ds->currentPlanMask;
  AppendObjectToLayer(wall, model->itsCurLayer);
  SelectObj(wall, kSelectOn, 1);
  ScopedAlertRecorder alerts;
  choose(kTagSetObjectElevation);
  auto* s = sheet<ObjectElevationController>();
  ASSERT_NE(s, nullptr);
  EXPECT_FALSE(s->floatAboveTopoButton->isChecked());
  s->elevationText->setText("2' 6\"");
  s->floatAboveTopoButton->click();
  EXPECT_FALSE(s->elevationText->isEnabled());
  EXPECT_EQ(gDLOGTopoFloat, 1);
  ok();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to elevate some objects.");
  EXPECT_EQ(alerts.shown[0].informative,
            "Wall and cabinet objects cannot float above the topography.  The elevation of these objects "
            "will not be changed.");
  EXPECT_EQ(lastUndo(), "Object Elevation");
  // The elevation typed before the box was checked is still taken, though not applied.
  EXPECT_FLOAT_EQ(gDLOGElevation, 30.0f);
  EXPECT_FLOAT_EQ(square->baseElevation, 0.0f);
  // An entry that is no number in the switched-off field refuses nothing.
  choose(kTagSetObjectElevation);
  s = sheet<ObjectElevationController>();
  ASSERT_NE(s, nullptr);
  s->elevationText->setText("abc");
  s->floatAboveTopoButton->click();
  ok();
  ASSERT_EQ(alerts.shown.size(), 2u);
  EXPECT_EQ(alerts.shown[1].message, "Unable to elevate some objects.");
}

TEST_F(ElevationSheet, TypedElevationRaisesTheSelection) {
  Objex* square = addSelectedSquare();
  ScopedAlertRecorder alerts;
  choose(kTagSetObjectElevation);
  sheet<ObjectElevationController>()->elevationText->setText("2'");
  ok();
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(lastUndo(), "Object Elevation");
  EXPECT_FLOAT_EQ(gBaseElevation, 2.0f);
  EXPECT_FLOAT_EQ(ds->selectionState40.ssBaseElevationValue, 24.0f) << square->baseElevation;
  // A second elevation: the summary is made afresh, not folded into the first one's.
  choose(kTagSetObjectElevation);
  sheet<ObjectElevationController>()->elevationText->setText("3'");
  ok();
  EXPECT_EQ(ds->selectionState40.ssBaseElevation, 1);
  EXPECT_FLOAT_EQ(ds->selectionState40.ssBaseElevationValue, 36.0f) << square->baseElevation;
}

// The reported design: one wall of two points. Its elevation typed in the sheet raises its
// segment and its own base alike, above 10,000", below the ground and up to the longest length
// the design takes, in inches and in millimetres; undo, redo, saving and opening agree.
TEST_F(ElevationSheet, AWallsBaseFollowsItsSegmentAtAnyElevationThroughUndoRedoAndReopening) {
  namespace fs = std::filesystem;
  const fs::path kept = fs::path(__FILE__).parent_path().parent_path() / "files" / "data" / "regressions";
  // The wall's base and its segment's elevation.
  const auto elevations = [&]() -> std::pair<float, float> {
    Objex* w = theOnlyWall();
    if (!w || !w->firstPoint) return {NAN, NAN};
    return {w->baseElevation, w->firstPoint->segmentElevation};
  };
  struct Row {
    int16_t system;
    QString typed;  // empty: 90% of the longest length the design takes
    float inches;
  };
  const Row rows[] = {
      {kMeasureImperial, "12000\"", 12000},
      {kMeasureImperial, "9000\"", 9000},
      {kMeasureImperial, "-20000\"", -20000},
      {kMeasureMetric, "304800 mm", 12000},
      {kMeasureMetric, "-254 m", -10000},
      {kMeasureImperial, "", 0},
  };
  for (const Row& r : rows) {
    const std::string path = file("wall.pro");
    fs::copy_file(kept / "wall-for-elevation.pro", path, fs::copy_options::overwrite_existing);
    ScopedAlertRecorder alerts;
    ASSERT_TRUE(doc->readFromFile(path, "pro"));
    ds = model->itsDocState;
    ds->measureSystem = r.system;
    Objex* wall = theOnlyWall();
    ASSERT_NE(wall, nullptr);
    const std::pair<float, float> before = elevations();
    float inches = r.inches;
    QString typed = r.typed;
    if (typed.isEmpty()) {
      inches = std::floor(PlanCoordinateLimitLength(ds) * 0.9f);
      typed = QString::number(inches, 'f', 0) + "\"";
    }
    SCOPED_TRACE(::testing::Message() << typed.toStdString() << " system " << r.system);
    doc->undoManager().removeAllActions();
    SelectObj(wall, kSelectOn, 1);
    choose(kTagSetObjectElevation);
    auto* s = sheet<ObjectElevationController>();
    ASSERT_NE(s, nullptr);
    s->elevationText->setText(typed);
    ok();
    EXPECT_EQ(lastUndo(), "Object Elevation");
    // (Metric lengths are read to a few parts in a million.)
    const std::pair<float, float> raised = elevations();
    EXPECT_NEAR(raised.second, inches, 4e-6f * std::fabs(inches));
    EXPECT_EQ(raised.first, raised.second);
    // The readout shows the one elevation the wall and its segment agree on.
    EXPECT_EQ(ds->selectionState40.ssBaseElevation, 1);
    EXPECT_EQ(ds->selectionState40.ssBaseElevationValue, raised.second);
    ASSERT_TRUE(doc->undoManager().undo());
    EXPECT_EQ(elevations(), before);
    ASSERT_TRUE(doc->undoManager().redo());
    EXPECT_EQ(elevations(), raised);
    const std::string saved = file("saved.pro");
    ASSERT_EQ(KeyFileWrite(saved.c_str()), 1);
    ASSERT_TRUE(doc->readFromFile(saved, "pro"));
    EXPECT_EQ(elevations(), raised);
    EXPECT_TRUE(alerts.shown.empty());
  }
}

// A fence, and a plant from the library, on the terrain on each floor, alone and in a group, in
// inches and in millimetres, on flat ground and on a topography region raised 1 m while the 3D
// view is hidden. Alone or grouped the sheet shows where it stands, the ground, whatever its
// base elevation or its group's holds; OK with that elevation, untouched or typed again,
// changes nothing and stores no step. Raised by a foot (or 30 cm), alone or by its group's
// change, it leaves the terrain to stand that high above the ground; lowered as much it stands
// on the terrain again. Undo goes back step by step.
TEST_F(ElevationSheet, WhatStandsOnTheTerrainShowsTheGroundAndIsRaisedFromIt) {
  for (const bool metric : {false, true})
    for (const bool raised : {false, true})
      for (const int16_t kind : {kObjFence, kObjPlant})
        for (const char* name : {"First Floor", "Second Floor", "Third Floor"})
          for (const bool grouped : {false, true}) {
            SCOPED_TRACE(testing::Message() << name << (metric ? ", metric" : "") << (raised ? ", raised 1 m" : "")
                                            << ", kind " << kind << (grouped ? ", grouped" : ", alone"));
            ds = model->itsDocState;  // undo puts the design back in a state of its own
            ds->measureSystem = metric ? kMeasureMetric : kMeasureImperial;
            // The ground: a region over the whole plan, its heights left to the hidden 3D view.
            Layer* first = GetLayerFromName("First Floor");
            model->itsCurLayer = first;
            float ground = 0;
            if (raised) {
              SetupTopoGrid();
              Objex* region = addSelectedSquare();
              region->type = kObjTopography;
              const float corners[4][2] = {{-2000, -2000}, {2000, -2000}, {2000, 2000}, {-2000, 2000}};
              int i = 0;
              for (Poinz* p = region->firstPoint; p; p = p->next, ++i) {
                p->position[0] = corners[i][0];
                p->position[2] = corners[i][1];
              }
              ground = 1000 / 25.4f;
              region->width = ConvertWorldToScreen(ground, ds, 0);
              SelectObj(region, kSelectOff, 1);
              SetLotElevation();
            }
            Layer* floor = GetLayerFromName(name);
            ASSERT_NE(floor, nullptr);
            model->itsCurLayer = floor;
            const float base = GetLayerAbsBaseHeight(floor);
            ds->baseElevation = base;  // as working on that floor
            Objex* object = nullptr;
            if (kind == kObjFence) {
              object = addSelectedSquare();
              object->type = kObjFence;
              object->auxFlag = 1;  // as the fence tool makes it, on every floor
              object->baseElevation = base;
            } else {
              object = BuildLandscapePlant(floor, 1, 3);
              ASSERT_NE(object, nullptr);
              SelectObj(object, kSelectOn, 1);
              // Placed off the terrain above the first floor: floated onto it.
              if (!object->auxFlag) TopLevelObjectAllLayers(model->itsLayers, kCmdFloatAboveTopography, CommandArg::None());
              ASSERT_EQ(object->auxFlag, 1);
            }
            Objex* root = object;
            if (grouped) {
              gGroupLeader = nullptr;
              TopLevelObjectAllLayers(model->itsLayers, kCmdGroup, CommandArg::None());
              root = gGroupLeader;
              gGroupLeader = nullptr;
              ASSERT_EQ(object->parent, root);
              EXPECT_FLOAT_EQ(root->baseElevation, base);
              SetObjectSelectFlags(root, 1);
            }
            auto elevate = [&](const QString& typed) {
              ClearSelectionState40(ds, &ds->selectionState40);
              TopLevelObjectAllLayers(model->itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
              choose(kTagSetObjectElevation);
              auto* s = sheet<ObjectElevationController>();
              ASSERT_NE(s, nullptr);
              if (!typed.isEmpty()) s->elevationText->setText(typed);
              ok();
            };
            auto length = [&](float inches) {
              return metric ? QString::number(inches * 25.4f, 'f', 3) + " mm" : QString::number(inches, 'f', 4) + "\"";
            };
            InitializeUndo();  // the history starts with the object
            const float before = object->baseElevation;
            elevate("");
            EXPECT_NEAR(gDLOGElevation, ground, 1e-3) << "where it stands";
            elevate(length(ground));
            EXPECT_FALSE(anyUndo());
            EXPECT_EQ(object->auxFlag, 1);
            EXPECT_FLOAT_EQ(object->baseElevation, before);

            // Raised by a foot (30 cm) from where the sheet showed it.
            const float rise = metric ? 300 / 25.4f : 12;
            elevate(length(ground + rise));
            EXPECT_EQ(lastUndo(), "Object Elevation");
            EXPECT_EQ(object->auxFlag, 0);
            EXPECT_NEAR(object->baseElevation, ground + rise, 1e-2);
            elevate(length(ground));
            EXPECT_EQ(object->auxFlag, 1) << "back on the terrain";
            // The object again after each step that reads the design back.
            auto theObject = [&]() -> Objex* {
              Objex* o = GetLayerFromName(name)->lastObject;
              if (o && grouped) o = o->firstChild;
              return o && o->type == kind ? o : nullptr;
            };
            ASSERT_TRUE(doc->undoManager().undo());
            ASSERT_NE(theObject(), nullptr);
            EXPECT_EQ(theObject()->auxFlag, 0);
            ASSERT_TRUE(doc->undoManager().undo());
            ASSERT_NE(theObject(), nullptr);
            EXPECT_EQ(theObject()->auxFlag, 1);
            EXPECT_FLOAT_EQ(theObject()->baseElevation, before);
            ds = model->itsDocState;
            elevate("");
            EXPECT_NEAR(gDLOGElevation, ground, 1e-3) << "where it stands once undone";
            for (Layer* l = model->itsLayers; l; l = l->next)
              for (Objex* o = l->firstObject; o; o = l->firstObject) {
                UnlinkObject(o);
                DeleteObj(o);
              }
            FreeTopoGrid();
            ds->baseElevation = 0;
            if (HasFailure()) return;
          }
}

// OK with the field untouched keeps the elevation shown, not the rounded number its text reads.
TEST_F(ElevationSheet, UntouchedElevationIsAppliedAsItWas) {
  addSelectedSquare();
  ds->measureSystem = kMeasureMetric;
  ds->selectionState40.ssBaseElevationValue = 100;
  choose(kTagSetObjectElevation);
  auto* s = sheet<ObjectElevationController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->elevationText->text(), "2540 mm");  // which reads 99.9998
  ok();
  EXPECT_EQ(gBaseElevation, 100.0f / 12);
}

}  // namespace
