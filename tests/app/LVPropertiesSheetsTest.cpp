// The rendering and lighting settings sheets of the 3D window.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <cmath>

#include "app/AppTestSupport.h"
#include "app/LiveViewSheets.h"
#include "app/LVPropertiesSheets.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "files/Undo.h"
#include "inspectors/ValueFields.h"
#include "model/PlanarTransforms.h"
#include "platform/Alerts.h"
#include "render3d/SceneFrame.h"
#include "model/Services.h"
#include "render3d/Lighting.h"
#include "render3d/PlaneObjectLists.h"

namespace {

class LVSheets : public DesignWindowTest {
 protected:
  void afterDocument() override {
    if (doc) doc->undoManager().removeAllActions();
    gCurrentFOVCmd = kFOVCmdDefault;
    setFOVValues(gCurrentFOVCmd);
  }
  void beforeClosing() override {
    if (SheetController* s = SheetController::attachedSheet(window)) s->dismissSheet(0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    gCurrentFOVCmd = kFOVCmdDefault;
    setFOVValues(gCurrentFOVCmd);
  }
  LVGeneralPropertiesController* general() {
    gCurDocument = model;
    LVGeneralPropertiesController::newGeneralPropertiesSheetForParent(window);
    return qobject_cast<LVGeneralPropertiesController*>(SheetController::attachedSheet(window));
  }
  LVLightPropertiesController* light() {
    gCurDocument = model;
    LVLightPropertiesController::newLightPropertiesSheetForParent(window);
    return qobject_cast<LVLightPropertiesController*>(SheetController::attachedSheet(window));
  }
  void press(bool okay) {
    SheetController* s = SheetController::attachedSheet(window);
    ASSERT_NE(s, nullptr);
    (okay ? s->okButton() : s->cancelButton())->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  std::string lastUndo() const { return doc->undoManager().undoActionName(); }
  // SetupLights copies the light angles into the degrees: a sentinel shows whether it ran.
  static void markLights() { gLightXDegrees = -12345; }
  static bool lightsSetUp() { return gLightXDegrees != -12345; }
};

TEST_F(LVSheets, OpacityStepsRoundTripAndAnOddValueShowsAsThree) {
  const struct {
    int stored, step;
  } cases[] = {{175, 0}, {195, 1}, {215, 2}, {235, 3}, {255, 4}, {174, 3}, {236, 3}, {0, 3}};
  for (const auto& c : cases) EXPECT_EQ(LVGeneralPropertiesController::opacityStep(c.stored), c.step) << c.stored;

  ds->clearViewOpacity() = 255;
  LVGeneralPropertiesController* sheet = general();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->CVOpacitySlider->value(), 4);
  press(true);
  EXPECT_EQ(ds->clearViewOpacity(), 255);
  EXPECT_EQ(lastUndo(), "Rendering Settings");

  // An odd opacity shows as 3 but stays when its slider is left alone; moved, it takes a step.
  ds->clearViewOpacity() = 201;
  sheet = general();
  EXPECT_EQ(sheet->CVOpacitySlider->value(), 3);
  press(true);
  EXPECT_EQ(ds->clearViewOpacity(), 201);
  sheet = general();
  sheet->CVOpacitySlider->setValue(1);
  press(true);
  EXPECT_EQ(ds->clearViewOpacity(), 195);
}

TEST_F(LVSheets, RenderingSheetFillsAndSavesTheSettings) {
  ds->navigationStep = 9;
  ds->renderExclusions() = kLVOffPlants | kLVOffHVAC;
  ds->objectRenderQuality() = 5;
  gCurrentFOVCmd = 5319;
  LVGeneralPropertiesController* sheet = general();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->navigationSpeedSlider->value(), 3);
  EXPECT_EQ(sheet->FOVSlider->value(), 3);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(sheet->renderButtons[i]->isChecked(), i != 2 && i != 9) << i;
  EXPECT_EQ(sheet->winDoorQualitySlider->value(), 8);
  EXPECT_EQ(sheet->objectQualitySlider->value(), 5);

  sheet->navigationSpeedSlider->setValue(0);
  sheet->FOVSlider->setValue(0);
  sheet->renderButtons[2]->setChecked(true);   // plants back on
  sheet->renderButtons[0]->setChecked(false);  // doors off
  sheet->objectQualitySlider->setValue(12);
  sheet->baseCrownTrimQualitySlider->setValue(4);
  markLights();
  gRefreshRender = 0;
  {
    ServiceCallRecorder calls;
    press(true);
    EXPECT_EQ(calls.count("RenderAllLayers"), 1u);  // a curve quality changed
  }
  EXPECT_EQ(ds->navigationStep, 6);
  EXPECT_EQ(gCurrentFOVCmd, 5316);
  EXPECT_EQ(gChopperFOV, 28);
  EXPECT_EQ(gWalkFOV, 35);
  EXPECT_EQ(ds->renderExclusions(), kLVOffDoors | kLVOffHVAC);
  EXPECT_EQ(ds->objectRenderQuality(), 12);
  EXPECT_EQ(ds->trimCrownRenderQuality(), 4);
  EXPECT_EQ(ds->windowDoorRenderQuality(), 8);
  EXPECT_EQ(gRefreshRender, 1);
  EXPECT_FALSE(lightsSetUp());

  // Without a quality change the model is not rebuilt.
  sheet = general();
  sheet->navigationSpeedSlider->setValue(4);
  {
    ServiceCallRecorder calls;
    press(true);
    EXPECT_EQ(calls.count("RenderAllLayers"), 0u);
  }
  EXPECT_EQ(ds->navigationStep, 10);

  // Cancel writes nothing and stores no step.
  doc->undoManager().removeAllActions();
  sheet = general();
  sheet->objectQualitySlider->setValue(20);
  sheet->renderButtons[5]->setChecked(false);
  press(false);
  EXPECT_EQ(ds->objectRenderQuality(), 12);
  EXPECT_EQ(ds->renderExclusions(), kLVOffDoors | kLVOffHVAC);
  EXPECT_FALSE(doc->undoManager().canUndo());

  // Each end of the row of buttons shows its own kind, off alone or on with the other off.
  for (int off : {0, 9}) {
    ds->renderExclusions() = off == 0 ? kLVOffDoors : kLVOffHVAC;
    sheet = general();
    ASSERT_NE(sheet, nullptr);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(sheet->renderButtons[i]->isChecked(), i != off) << off << " " << i;
    press(false);
  }
}

// The sheets driven through their own operations rather than their buttons: the controls
// filled and saved on request, the angle controls following a slider or stepper moved without
// its signal, and each sheet's dismiss by tag.
TEST_F(LVSheets, SheetOperationsByName) {
  LVGeneralPropertiesController* general = this->general();
  ASSERT_NE(general, nullptr);
  ds->navigationStep = 8;
  general->initializeControlStates();
  EXPECT_EQ(general->navigationSpeedSlider->value(), 2);
  general->navigationSpeedSlider->setValue(4);
  general->saveControlStates();
  EXPECT_EQ(ds->navigationStep, 10);
  general->navigationSpeedSlider->setValue(3);
  general->dismissGeneralPropertiesSheet(0);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(SheetController::attachedSheet(window), nullptr);
  EXPECT_EQ(ds->navigationStep, 10);
  general = this->general();
  general->navigationSpeedSlider->setValue(1);
  general->dismissGeneralPropertiesSheet(1);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(SheetController::attachedSheet(window), nullptr);
  EXPECT_EQ(ds->navigationStep, 7);
  EXPECT_EQ(lastUndo(), "Rendering Settings");

  LVLightPropertiesController* sheet = light();
  ASSERT_NE(sheet, nullptr);
  {
    const QSignalBlocker quiet(sheet->directionAngleSlider);
    sheet->directionAngleSlider->setValue(120);
  }
  sheet->trackingDirectionAngleSlider();
  EXPECT_EQ(sheet->directionAngleStepper->value(), 120);
  EXPECT_EQ(sheet->directionAngleTextField->text(), "120");
  {
    const QSignalBlocker quiet(sheet->directionAngleStepper);
    sheet->directionAngleStepper->setValue(130);
  }
  sheet->changingDirectionAngleStepper();
  EXPECT_EQ(sheet->directionAngleSlider->value(), 130);
  EXPECT_EQ(sheet->directionAngle(), 130);
  {
    const QSignalBlocker quiet(sheet->overheadAngleSlider);
    sheet->overheadAngleSlider->setValue(50);
  }
  sheet->trackingOverheadAngleSlider();
  EXPECT_EQ(sheet->overheadAngleStepper->value(), 50);
  EXPECT_EQ(sheet->overheadAngleTextField->text(), "50");
  {
    const QSignalBlocker quiet(sheet->overheadAngleStepper);
    sheet->overheadAngleStepper->setValue(55);
  }
  sheet->changingOverheadAngleStepper();
  EXPECT_EQ(sheet->overheadAngleSlider->value(), 55);
  EXPECT_EQ(sheet->overheadAngle(), 55);
  // Sun settings alone are no lamp change; the brightness is.
  EXPECT_FALSE(sheet->saveControlStates());
  EXPECT_EQ(ds->sunDirectionAngle(), 130.0f);
  EXPECT_EQ(ds->sunOverheadAngle(), 55.0f);
  sheet->lightBrightnessSlider->setValue(60);
  EXPECT_TRUE(sheet->saveControlStates());
  EXPECT_FLOAT_EQ(ds->lightBrightness(), 1.7f);
  ds->sunDirectionAngle() = 10;
  sheet->initializeControlStates();
  EXPECT_EQ(sheet->directionAngleSlider->value(), 10);
  sheet->dismissLightPropertiesSheet(0);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(SheetController::attachedSheet(window), nullptr);
  EXPECT_EQ(ds->sunDirectionAngle(), 10.0f);
}

TEST_F(LVSheets, FieldOfViewCodes) {
  const struct {
    int code;
    float chopper, walk;
  } cases[] = {{5316, 28, 35}, {5317, 33, 40}, {5318, 38, 45}, {5319, 43, 50},
               {5320, 48, 55}, {5315, 38, 45}, {5321, 38, 45}, {0, 38, 45}};
  for (const auto& c : cases) {
    setFOVValues(c.code);
    EXPECT_EQ(gChopperFOV, c.chopper) << c.code;
    EXPECT_EQ(gWalkFOV, c.walk) << c.code;
  }
}

TEST_F(LVSheets, TheFourQualitiesSurviveSaveAndReopen) {
  LVGeneralPropertiesController* sheet = general();
  ASSERT_NE(sheet, nullptr);
  sheet->winDoorQualitySlider->setValue(3);
  sheet->winDoorTrimQualitySlider->setValue(11);
  sheet->baseCrownTrimQualitySlider->setValue(6);
  sheet->objectQualitySlider->setValue(16);
  press(true);
  const std::string path = file("qualities.pro");
  ASSERT_TRUE(doc->writeToFile(path, "pro"));
  ZLKDocument* reader = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
  ASSERT_NE(reader, nullptr);
  ASSERT_TRUE(reader->readFromFile(path, "pro"));
  DocState* read = reader->documentModel()->itsDocState;
  EXPECT_EQ(read->windowDoorRenderQuality(), 3);
  EXPECT_EQ(read->windowDoorTrimRenderQuality(), 11);
  EXPECT_EQ(read->trimCrownRenderQuality(), 6);
  EXPECT_EQ(read->objectRenderQuality(), 16);
  gCurDocument = model;
}

TEST_F(LVSheets, LightSliderPositions) {
  const struct {
    float intensity;
    int step;
  } intensities[] = {{40000, 39},     {65535, 0},        {0, 100},        {32767.5f, 50},
                     {70000, 0},      {-1e30f, 100},     {NAN, 0},        {INFINITY, 0}};
  for (const auto& c : intensities) EXPECT_EQ(LVLightPropertiesController::intensityStep(c.intensity), c.step);
  const struct {
    float brightness;
    int step;
  } brightnesses[] = {{1.2f, 35}, {0.5f, 1},   {0.2f, 1},        {0.52f, 1},     {0.54f, 2},
                      {2.5f, 100}, {4.0f, 100}, {INFINITY, 100}, {-INFINITY, 1}, {NAN, 1}};
  for (const auto& c : brightnesses)
    EXPECT_EQ(LVLightPropertiesController::brightnessStep(c.brightness), c.step) << c.brightness;
  // Values whose float lies just below the step: 0.58 is 4 steps, 0.52 + 2 x 0.39 = 1.3 is 40.
  EXPECT_EQ(LVLightPropertiesController::brightnessStep(0.58f), 4);
  EXPECT_EQ(LVLightPropertiesController::brightnessStep(1.3f), 40);
  EXPECT_EQ(LVLightPropertiesController::brightnessStep(0.5799f), 3);
  // Every slider position saved (2 v / 100 + 0.5) shows again as the same position.
  for (int v = 1; v <= 100; ++v)
    EXPECT_EQ(LVLightPropertiesController::brightnessStep(2.0f * v / 100.0f + 0.5f), v) << v;
}

// A moved lamp slider stores the float nearest its value, which shows again at the same place.
TEST_F(LVSheets, LampSlidersStoreTheNearestFloat) {
  const struct {
    int brightness;
    float stored;
  } brightnesses[] = {{17, 0.84f}, {46, 1.42f}, {8, 0.66f}, {82, 2.14f}, {60, 1.7f}, {100, 2.5f}};
  for (const auto& c : brightnesses) {
    LVLightPropertiesController* sheet = light();
    ASSERT_NE(sheet, nullptr);
    sheet->lightBrightnessSlider->setValue(c.brightness);
    press(true);
    EXPECT_EQ(ds->lightBrightness(), c.stored) << c.brightness;
    EXPECT_EQ(LVLightPropertiesController::brightnessStep(ds->lightBrightness()), c.brightness);
  }
  const struct {
    int intensity;
    float stored;
  } intensities[] = {{51, 32112.15f}, {77, 15073.05f}, {99, 655.35f}, {39, 39976.35f}, {0, 65535.0f}};
  for (const auto& c : intensities) {
    ds->lightIntensity() = 1;  // shown as 100: every position below is a move
    LVLightPropertiesController* sheet = light();
    ASSERT_NE(sheet, nullptr);
    sheet->lightIntensitySlider->setValue(c.intensity);
    press(true);
    EXPECT_EQ(ds->lightIntensity(), c.stored) << c.intensity;
    EXPECT_EQ(LVLightPropertiesController::intensityStep(ds->lightIntensity()), c.intensity);
  }
}

TEST_F(LVSheets, LightingOkWithoutTouchingKeepsEveryValue) {
  ds->lightIntensity() = 40000;
  ds->lightBrightness() = 1.2f;
  ds->sunShadowQuality() = -1;
  LVLightPropertiesController* sheet = light();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->lightIntensitySlider->value(), 39);
  EXPECT_EQ(sheet->lightBrightnessSlider->value(), 35);
  EXPECT_TRUE(sheet->optimalQualityButton->isChecked());
  EXPECT_FALSE(sheet->sunShadowQualitySlider->isEnabled());
  EXPECT_EQ(sheet->directionAngleSlider->value(), 45);
  EXPECT_EQ(sheet->directionAngleTextField->text(), "45");
  EXPECT_EQ(sheet->overheadAngleStepper->value(), 20);
  markLights();
  press(true);
  EXPECT_EQ(ds->lightIntensity(), 40000.0f);
  EXPECT_EQ(ds->lightBrightness(), 1.2f);
  EXPECT_EQ(ds->sunShadowQuality(), -1);
  EXPECT_FALSE(lightsSetUp());
  EXPECT_EQ(lastUndo(), "Lighting Settings");
}

TEST_F(LVSheets, LightingSunChangesDoNotSetUpTheLightsLampChangesDo) {
  LVLightPropertiesController* sheet = light();
  ASSERT_NE(sheet, nullptr);
  sheet->directionAngleStepper->setValue(300);
  EXPECT_EQ(sheet->directionAngleSlider->value(), 300);
  EXPECT_EQ(sheet->directionAngleTextField->text(), "300");
  sheet->optimalQualityButton->setChecked(false);
  EXPECT_TRUE(sheet->sunShadowQualitySlider->isEnabled());
  sheet->sunShadowQualitySlider->setValue(4);
  sheet->sunlightOnButton->setChecked(false);
  markLights();
  press(true);
  EXPECT_EQ(ds->sunDirectionAngle(), 300.0f);
  EXPECT_EQ(ds->sunShadowQuality(), 4);
  EXPECT_EQ(ds->sunlightOn(), 0);
  EXPECT_FALSE(lightsSetUp());
  EXPECT_EQ(lastUndo(), "Lighting Settings");

  sheet = light();
  EXPECT_FALSE(sheet->optimalQualityButton->isChecked());
  EXPECT_EQ(sheet->sunShadowQualitySlider->value(), 4);
  sheet->lightIntensitySlider->setValue(39);  // same as shown: still untouched
  sheet->lightBrightnessSlider->setValue(60);
  press(true);
  EXPECT_FLOAT_EQ(ds->lightBrightness(), 1.7f);
  EXPECT_EQ(ds->lightIntensity(), 40000.0f);
  EXPECT_TRUE(lightsSetUp());

  sheet = light();
  sheet->lightIntensitySlider->setValue(50);
  markLights();
  press(false);
  EXPECT_EQ(ds->lightIntensity(), 40000.0f);
  EXPECT_FALSE(lightsSetUp());
  sheet = light();
  sheet->lightIntensitySlider->setValue(50);
  sheet->backgroundLightingButton->setChecked(!sheet->backgroundLightingButton->isChecked());
  press(true);
  EXPECT_FLOAT_EQ(ds->lightIntensity(), 32767.5f);
  EXPECT_TRUE(lightsSetUp());
}

TEST_F(LVSheets, LightingSheetShowsStoredAnglesThatAreNotNumbersWithinItsControls) {
  const struct {
    float direction, overhead;
    int shownDirection, shownOverhead;
  } cases[] = {{NAN, INFINITY, 0, 90}, {1e30f, -1e30f, 359, 0}, {359.9f, 89.9f, 359, 89}};
  for (const auto& c : cases) {
    ds->sunDirectionAngle() = c.direction;
    ds->sunOverheadAngle() = c.overhead;
    LVLightPropertiesController* sheet = light();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->directionAngleStepper->value(), c.shownDirection) << c.direction;
    EXPECT_EQ(sheet->directionAngleTextField->text(), QString::number(c.shownDirection)) << c.direction;
    EXPECT_EQ(sheet->overheadAngleSlider->value(), c.shownOverhead) << c.overhead;
    EXPECT_EQ(sheet->overheadAngleTextField->text(), QString::number(c.shownOverhead)) << c.overhead;
    press(false);
  }
}

TEST_F(LVSheets, AngleFieldsTakeOnlyAnglesInRange) {
  LVLightPropertiesController* sheet = light();
  ASSERT_NE(sheet, nullptr);
  ScopedAlertRecorder alerts;
  const struct {
    const char* text;
    int expected;
    bool alert;
  } cases[] = {{"70", 70, false}, {"90", 90, false}, {"91", 90, true}, {"-1", 90, true}, {"abc", 90, true},
               {"0", 0, false}};
  for (const auto& c : cases) {
    sheet->overheadAngleTextField->setText(c.text);
    Q_EMIT sheet->overheadAngleTextField->editingFinished();
    EXPECT_EQ(sheet->overheadAngleSlider->value(), c.expected) << c.text;
    EXPECT_EQ(sheet->overheadAngleStepper->value(), c.expected) << c.text;
    EXPECT_EQ(sheet->overheadAngleTextField->text(), QString::number(c.expected)) << c.text;
    EXPECT_EQ(!alerts.shown.empty(), c.alert) << c.text;
    alerts.shown.clear();
  }
}

TEST_F(LVSheets, SunDialPositions) {
  // Direction 0 puts the sun straight above the centre (y down), 90 to its right.
  QPointF p = LVDirectionAngleView::sunPosition(58, 82, 0);
  EXPECT_NEAR(p.x(), 58, 1e-9);
  EXPECT_NEAR(p.y(), 32, 1e-9);
  p = LVDirectionAngleView::sunPosition(58, 82, 90);
  EXPECT_NEAR(p.x(), 108, 1e-9);
  EXPECT_NEAR(p.y(), 82, 1e-9);
  p = LVOverheadAngleView::sunPosition(100, 0);
  EXPECT_NEAR(p.x(), 80, 1e-9);
  EXPECT_NEAR(p.y(), 87, 1e-9);
  p = LVOverheadAngleView::sunPosition(100, 90);
  EXPECT_NEAR(p.x(), 5, 1e-9);
  EXPECT_NEAR(p.y(), 12, 1e-9);
}

}  // namespace


namespace {

TEST_F(LVSheets, WalkAndFlySheetsStoreTheirHeightsOnlyOnOk) {
  ds->walkEyeHeight() = 96;
  ds->flyDistance() = 2000;
  ds->navigationMode = 2;  // flying: the walk height is stored all the same
  WalkElevationController::newWalkElevationSheetForParent(window);
  auto* walk = qobject_cast<WalkElevationController*>(SheetController::attachedSheet(window));
  ASSERT_NE(walk, nullptr);
  const float shown = ReadTypedNumber(walk->elevationText, NumberKind::kLength).value;
  EXPECT_NEAR(ConvertWorldToScreen(shown, ds, 0), 96, 0.01);
  SetFloatItem(walk->elevationText, ConvertScreenToWorld(60, ds, 0));
  press(true);
  EXPECT_NEAR(ds->walkEyeHeight(), 60, 0.01);
  EXPECT_FALSE(doc->undoManager().canUndo());

  FlyAltitudeController::newFlyAltitudeSheetForParent(window);
  auto* fly = qobject_cast<FlyAltitudeController*>(SheetController::attachedSheet(window));
  ASSERT_NE(fly, nullptr);
  SetFloatItem(fly->altitudeText, ConvertScreenToWorld(900, ds, 0));
  press(false);
  EXPECT_EQ(ds->flyDistance(), 2000);
  FlyAltitudeController::newFlyAltitudeSheetForParent(window);
  fly = qobject_cast<FlyAltitudeController*>(SheetController::attachedSheet(window));
  SetFloatItem(fly->altitudeText, ConvertScreenToWorld(900, ds, 0));
  press(true);
  EXPECT_NEAR(ds->flyDistance(), 900, 0.01);
}


}  // namespace
