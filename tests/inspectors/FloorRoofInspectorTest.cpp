// The floor and roof panes: thickness, pitch by ratio, angle and stepper, the soffit
// options of the roof panel tools, and the title kept after the cut-out tool.
#include "InspectorTestSupport.h"
#include "inspectors/Roof2InspectorController.h"
#include "inspectors/ValueFields.h"

namespace {

class FloorRoofInspectorTest : public InspectorTest {
 protected:
  Objex* addRoof(float pitch) {
    Objex* r = addSquare(kObjRoof);
    r->width = pitch;
    return r;
  }
};

TEST_F(FloorRoofInspectorTest, PitchLimits) {
  Objex* roof = addRoof(6);
  update();
  EXPECT_EQ(shownName(), "Roof1Inspector");
  type("pitchRatioText", "0");
  EXPECT_EQ(roof->width, 0);
  type("pitchRatioText", "1000");
  EXPECT_EQ(roof->width, 1000);
  EXPECT_EQ(ds->newRoofPitch(), 1000);
  EXPECT_EQ(ds->roofPitch, 1000);
  type("pitchRatioText", "1000.5");
  EXPECT_EQ(roof->width, 1000);
  update();
  type("pitchAngleText", "89.3125");
  EXPECT_NEAR(roof->width, 12.0f * std::tan(89.3125 * M_PI / 180.0), 0.5);
  const float steep = roof->width;
  type("pitchAngleText", "89.4");
  EXPECT_EQ(roof->width, steep);
  type("pitchAngleText", "45");
  EXPECT_NEAR(roof->width, 12, 0.001);
  EXPECT_NEAR(control<QDoubleSpinBox>("pitchRatioStepper")->value(), 12, 0.001);
}

// A refused entry (an emptied field too) shows the tool default again, not the selected
// object's value: a refused ratio in both pitch fields, a refused angle in the angle field
// only. Nothing changes and no step is stored.
TEST_F(FloorRoofInspectorTest, RefusedEntriesShowTheToolDefault) {
  auto shownAngle = [](float pitch) {
    QLineEdit scratch;
    SetFloatPitchAngleItem(&scratch, pitch);
    return scratch.text().toStdString();
  };
  Objex* roof = addRoof(6);
  ds->newRoofPitch() = 10;
  update();
  ASSERT_EQ(shownName(), "Roof1Inspector");
  mark();
  for (const char* refused : {"1000.5", "-1", "steep", ""}) {
    update();
    type("pitchRatioText", refused);
    EXPECT_EQ(GetFloatPitchItem(field("pitchRatioText")), 10) << refused;
    EXPECT_EQ(text("pitchAngleText"), shownAngle(10)) << refused;
    update();
    const std::string ratio = text("pitchRatioText");
    type("pitchAngleText", std::string(refused) == "1000.5" ? "89.4" : refused);
    EXPECT_EQ(text("pitchAngleText"), shownAngle(10)) << refused;
    EXPECT_EQ(text("pitchRatioText"), ratio) << refused;
  }
  EXPECT_EQ(roof->width, 6);
  EXPECT_EQ(ds->newRoofPitch(), 10);

  for (Poinz* p = roof->firstPoint; p; p = p->next) p->selected = 0;
  Objex* floor = addSquare(kObjFloor);
  floor->params[2] = 6;
  ds->floorThickness = 8;
  update();
  ASSERT_EQ(shownName(), "FloorInspector");
  for (const char* refused : {"10000", "0", "thick", ""}) {
    type("floorThicknessText", refused);
    EXPECT_EQ(GetFloatItem(field("floorThicknessText")), 8) << refused;
  }
  EXPECT_EQ(floor->params[2], 6);
  EXPECT_EQ(ds->floorThickness, 8);
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

TEST_F(FloorRoofInspectorTest, SamePitchWithAnotherDefaultStillStoresTheStep) {
  Objex* a = addRoof(8);
  Objex* b = addRoof(8);
  ds->newRoofPitch() = 10;
  update();
  mark();
  type("pitchRatioText", "8");
  EXPECT_EQ(a->width, 8);
  EXPECT_EQ(b->width, 8);
  EXPECT_EQ(ds->newRoofPitch(), 8);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Roof Pitch"}));
  mark();
  type("pitchRatioText", "8");
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

TEST_F(FloorRoofInspectorTest, NearbyPitchesMergeAndFartherOnesBlank) {
  addRoof(6);
  Objex* b = addRoof(6.004f);
  update();
  EXPECT_NE(text("pitchRatioText"), "");
  EXPECT_TRUE(control<QDoubleSpinBox>("pitchRatioStepper")->isEnabled());
  b->width = 6.006f;
  update();
  EXPECT_EQ(text("pitchRatioText"), "");
  EXPECT_EQ(text("pitchAngleText"), "");
  EXPECT_FALSE(control<QDoubleSpinBox>("pitchRatioStepper")->isEnabled());
  EXPECT_FALSE(field("pitchAngleText")->isEnabled());
  // Typing reaches both and enables the pitch controls again.
  type("pitchRatioText", "7");
  EXPECT_EQ(b->width, 7);
  EXPECT_TRUE(control<QDoubleSpinBox>("pitchRatioStepper")->isEnabled());
}

TEST_F(FloorRoofInspectorTest, RoofPanelStepperAndElevation) {
  Objex* panel = add(kObjRoofPanel, {{0, 0}, {100, 0}, {100, 100}}, true);
  panel->width = 4;
  update();
  EXPECT_EQ(shownName(), "Roof2Inspector");
  EXPECT_TRUE(control<QWidget>("includeSoffitsButton")->isHidden());
  auto* stepper = control<QDoubleSpinBox>("pitchRatioStepper");
  stepper->setValue(9);
  EXPECT_EQ(panel->width, 9);
  // The stepper keeps to the pitches the ratio field takes: a step down from 0 stays at 0.
  stepper->setValue(0);
  stepper->stepDown();
  EXPECT_EQ(panel->width, 0);
  stepper->setValue(1000);
  stepper->stepUp();
  EXPECT_EQ(panel->width, 1000);
  stepper->setValue(9);
  mark();
  chooseCell("elevationButtons", 2);
  EXPECT_EQ(panel->direction, 2);
  EXPECT_EQ(ds->roofElevationRef, 2);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Roof Elevation"}));
}

TEST_F(FloorRoofInspectorTest, SoffitControlsOfTheRoofPanelTools) {
  gCurTool = 7308;
  update();
  EXPECT_EQ(shownName(), "Roof2Inspector");
  EXPECT_TRUE(control<QWidget>("leftSoffitButton")->isHidden());
  EXPECT_TRUE(control<QWidget>("rightSoffitButton")->isHidden());
  EXPECT_FALSE(control<QWidget>("baseSoffitButton")->isHidden());
  EXPECT_FALSE(control<QWidget>("soffitDepthText")->isHidden());
  gCurTool = 7307;
  update();
  EXPECT_FALSE(control<QWidget>("leftSoffitButton")->isHidden());
  gCurTool = 7306;
  update();
  EXPECT_TRUE(control<QWidget>("baseSoffitButton")->isHidden());

  gCurTool = 7307;
  update();
  ds->soffitLeft = 1;
  update();
  ASSERT_TRUE(control<QCheckBox>("includeSoffitsButton")->isChecked());
  mark();
  click("includeSoffitsButton");
  EXPECT_EQ(ds->includeSoffits, 0);
  EXPECT_FALSE(field("soffitDepthText")->isEnabled());
  EXPECT_FALSE(control<QWidget>("leftSoffitButton")->isEnabled());
  EXPECT_EQ(ds->soffitLeft, 1);
  EXPECT_EQ(ds->soffitDepth, 18);
  EXPECT_EQ(stepsSinceMark(), Steps{});
  type("soffitDepthText", "10000");
  EXPECT_EQ(ds->soffitDepth, 18);
  type("soffitDepthText", "24");
  EXPECT_EQ(ds->soffitDepth, 24);

  // Shown an object that is no roof panel, the pane still drops the tool's soffit options.
  Objex* roof = addSquare(kObjRoof);
  Roof2InspectorController::sharedInspectorController()->updatePropertiesForObject(roof, true);
  EXPECT_TRUE(control<QWidget>("baseSoffitButton")->isHidden());
  EXPECT_TRUE(control<QWidget>("soffitDepthText")->isHidden());
}

TEST_F(FloorRoofInspectorTest, FloorTitleAndThickness) {
  gCurTool = 7063;
  update();
  EXPECT_EQ(shownName(), "FloorInspector");
  EXPECT_EQ(control<QLabel>("objectTypeLabel")->text().toStdString(), "Floor Cutout Properties");
  EXPECT_TRUE(control<QWidget>("displayDimsButton")->isHidden());
  // With nothing selected a new thickness is a default only: no undo step.
  mark();
  type("floorThicknessText", "8");
  EXPECT_EQ(ds->floorThickness, 8);
  EXPECT_EQ(stepsSinceMark(), Steps{});

  gCurTool = kToolSelection;
  Objex* floor = addSquare(kObjFloor);
  floor->params[2] = 6;
  update();
  EXPECT_EQ(control<QLabel>("objectTypeLabel")->text().toStdString(), "Floor Cutout Properties");
  EXPECT_FALSE(control<QWidget>("displayDimsButton")->isHidden());
  type("floorThicknessText", "10000");
  EXPECT_EQ(floor->params[2], 6);
  type("floorThicknessText", "4");
  EXPECT_EQ(floor->params[2], 4);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Flooring Thickness"}));
  mark();
  click("displayDimsButton");
  EXPECT_EQ(floor->extraLong & 1, 1);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Floor Auto-Dimensions"}));
}

TEST_F(FloorRoofInspectorTest, ValueEveryFloorHasStoresNothingButBecomesTheDefault) {
  Objex* a = addSquare(kObjFloor);
  Objex* b = addSquare(kObjCutout);
  a->params[2] = b->params[2] = 6;
  ds->floorThickness = 12;
  update();
  mark();
  type("floorThicknessText", "6");
  EXPECT_EQ(stepsSinceMark(), Steps{});
  EXPECT_EQ(ds->floorThickness, 6);
  QLineEdit scratch;
  SetFloatItem(&scratch, 6);
  EXPECT_EQ(text("floorThicknessText"), scratch.text().toStdString());
}

}  // namespace
