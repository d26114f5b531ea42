// The dimension properties, plan scale, plan zoom and measurement units sheets.
#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QRadioButton>
#include <cmath>

#include "inspectors/DimensionPropertiesController.h"
#include "inspectors/MeasurementUnitsController.h"
#include "inspectors/PlanScaleController.h"
#include "inspectors/ReadoutFormatControls.h"
#include "inspectors/SheetHooks.h"
#include "inspectors/SheetTestSupport.h"
#include "inspectors/SnapPaletteController.h"
#include "model/Globals.h"
#include "model/PlanarTransforms.h"
#include "model/ViewCommands.h"

namespace {

class DimensionSheet : public SheetTest {};

TEST_F(DimensionSheet, NewDesignShowsInwardSlantAndOpenDotStoresTag14Style5092) {
  choose(kTagSetDimensionProperties);
  auto* s = sheet<DimensionPropertiesController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->dimStylePopUpButton->count(), 7);
  EXPECT_EQ(s->dimStylePopUpButton->currentText(), "Inward-Slant Arrow");
  EXPECT_EQ(s->dimStylePopUpButton->currentData().toInt(), 11);
  EXPECT_FALSE(s->dimStylePopUpButton->itemIcon(0).isNull());
  s->dimStylePopUpButton->setCurrentIndex(s->dimStylePopUpButton->findText("Open Dot Arrow"));
  ok();
  EXPECT_EQ(ds->dimTextSize, 14);
  EXPECT_EQ(ds->dimArrowStyle, 5092);
  EXPECT_EQ(ds->dimFlags & 0x7F, 1 << 6);
  EXPECT_EQ(lastUndo(), "Dimension Properties");
}

TEST_F(DimensionSheet, AnUnknownFaceShowsTheSystemFontAtTheStoredSize) {
  std::snprintf(ds->font.lfFaceName, sizeof ds->font.lfFaceName, "%s", "No Such Face 12345");
  ds->font.lfHeight = -20;
  choose(kTagSetDimensionProperties);
  auto* s = sheet<DimensionPropertiesController>();
  EXPECT_EQ(s->selectedFont.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
  EXPECT_DOUBLE_EQ(s->selectedFont.pointSizeF(), 20);
  ok();
  // Shown as the system font, kept in the design.
  EXPECT_STREQ(ds->font.lfFaceName, "No Such Face 12345");

  choose(kTagSetDimensionProperties);
  s = sheet<DimensionPropertiesController>();
  QFont chosen = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  chosen.setPointSizeF(14);
  chosen.setBold(true);
  s->setChosenFont(chosen);
  ok();
  EXPECT_EQ(ds->font.lfHeight, -14);
  EXPECT_EQ(ds->font.lfWeight, 700);
  EXPECT_EQ(QString::fromLatin1(ds->font.lfFaceName), chosen.family().left(31));
}

class ScaleSheets : public SheetTest {};

TEST_F(ScaleSheets, ImperialNineToEightHalvesTheZoomsAndTheZoomSheetStillShows80) {
  ds->measureSystem = kMeasureImperial;
  ds->planScaleChoice = 9;
  PlanZoom(ds) = TopViewZoom(ds) = 0.6f;
  OtherViewZoom(ds) = 0.5f;
  choose(kTagSetPlanScale);
  auto* s = sheet<PlanScaleController>();
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(s->scaleMatrix->button(9)->isChecked());
  s->scaleMatrix->button(8)->click();
  ok();
  EXPECT_EQ(ds->planScaleChoice, 8);
  EXPECT_FLOAT_EQ(PlanZoom(ds), 0.3f);
  EXPECT_FLOAT_EQ(TopViewZoom(ds), 0.3f);
  EXPECT_FLOAT_EQ(OtherViewZoom(ds), 0.25f);
  EXPECT_EQ(lastUndo(), "Plan Scale");
  choose(kTagSetPlanZoom);
  EXPECT_EQ(sheet<PlanZoomController>()->zoomScaleText->text(), "80");
  cancel();
}

TEST_F(ScaleSheets, MetricEightToElevenMultipliesByTenAndTheSameScaleStoresNothing) {
  ds->measureSystem = kMeasureMetric;
  ds->planScaleChoice = 8;
  PlanZoom(ds) = TopViewZoom(ds) = 0.1f;
  choose(kTagSetPlanScale);
  auto* s = sheet<PlanScaleController>();
  EXPECT_EQ(s->scaleMatrix->button(11)->text(), "1 : 10");
  EXPECT_EQ(s->scaleMatrix->button(8)->text(), "1 : 100");
  s->scaleMatrix->button(11)->click();
  ok();
  EXPECT_FLOAT_EQ(TopViewZoom(ds), 1.0f);
  doc->undoManager().removeAllActions();
  choose(kTagSetPlanScale);
  ok();
  EXPECT_FALSE(anyUndo());
}

TEST_F(ScaleSheets, AZoomBeyondTheFieldShowsTheNearestPercentage) {
  // Zooms as a design file may carry them.
  ds->measureSystem = kMeasureImperial;
  ds->planScaleChoice = 9;
  ASSERT_EQ(GetCurrentView(), kCmdViewTop);
  const struct {
    float zoom;
    const char* shown;
  } cases[] = {{1.0e6f, "32767"}, {-1.0e6f, "-32768"}, {std::nanf(""), "0"}, {0.75f, "100"}};
  for (const auto& c : cases) {
    TopViewZoom(ds) = c.zoom;
    choose(kTagSetPlanZoom);
    EXPECT_EQ(sheet<PlanZoomController>()->zoomScaleText->text(), c.shown) << c.zoom;
    cancel();
  }
}

TEST_F(ScaleSheets, ZoomIsCappedInThePlanViewAndClampedBeforeTheMultiplierElsewhere) {
  ds->measureSystem = kMeasureImperial;
  ds->planScaleChoice = 9;
  ASSERT_EQ(GetCurrentView(), kCmdViewTop);
  choose(kTagSetPlanZoom);
  sheet<PlanZoomController>()->zoomScaleText->setText("1000");
  ok();
  EXPECT_FLOAT_EQ(TopViewZoom(ds), 3.0f);
  EXPECT_FLOAT_EQ(PlanZoom(ds), 3.0f);
  EXPECT_FALSE(anyUndo());
  choose(kTagSetPlanZoom);
  sheet<PlanZoomController>()->zoomScaleText->setText("1");
  ok();
  EXPECT_FLOAT_EQ(TopViewZoom(ds), GetMinZoom());
}

TEST_F(ScaleSheets, MetricElevationViewAtCode8Stores036AndLeavesThePlanZoom) {
  ds->measureSystem = kMeasureMetric;
  ds->planScaleChoice = 8;
  TopViewZoom(ds) = 0.6f;
  // A side elevation: looking level from the left.
  const float savedX = gXViewAngle, savedY = gYViewAngle;
  gXViewAngle = 0;
  gYViewAngle = 270;
  ASSERT_EQ(GetCurrentView(), kCmdViewLeft);
  choose(kTagSetPlanZoom);
  sheet<PlanZoomController>()->zoomScaleText->setText("100");
  ok();
  EXPECT_FLOAT_EQ(OtherViewZoom(ds), 0.36f);
  EXPECT_FLOAT_EQ(PlanZoom(ds), 0.36f);
  EXPECT_FLOAT_EQ(TopViewZoom(ds), 0.6f);
  choose(kTagSetPlanZoom);
  sheet<PlanZoomController>()->zoomScaleText->setText("1");
  ok();
  EXPECT_FLOAT_EQ(OtherViewZoom(ds), static_cast<float>(0.05 * 0.36));
  gXViewAngle = savedX;
  gYViewAngle = savedY;
}

class UnitsSheet : public SheetTest {
 protected:
  void afterClosing() override { gDecimalSeparator = '.'; }
};

TEST_F(UnitsSheet, ADecimalCommaShowsCommaMasksAndTheCodeStaysTwo) {
  gDecimalSeparator = ',';
  ds->angleReadout = 2;
  choose(kTagSetMeasurementUnits);
  auto* s = sheet<MeasurementUnitsController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->controls->field1PopUpButton->itemText(2), QString("#,##") + QChar(0x00B0));
  EXPECT_EQ(s->controls->field1PopUpButton->currentData().toInt(), 2);
  ok();
  EXPECT_EQ(ds->angleReadout, 2);
  EXPECT_EQ(lastUndo(), "Measurement Options");
}

TEST_F(UnitsSheet, FlagsWithoutPrecisionSelectSixteenthsAndMetricLeavesImperial) {
  ds->measureSystem = kMeasureImperial;
  ds->imperialReadout = 0;
  choose(kTagSetMeasurementUnits);
  auto* s = sheet<MeasurementUnitsController>();
  EXPECT_EQ(s->controls->field2PopUpButton->currentData().toInt(), 4);
  EXPECT_EQ(s->controls->field3PopUpButton->currentData().toInt(), 1);
  ReadoutFormatControls::selectTag(s->controls->unitsPopUpButton, 4);
  s->unitsPopUpButtonChanged();
  EXPECT_EQ(s->controls->field2Label->text(), "Readout Format:");
  EXPECT_TRUE(s->controls->field3PopUpButton->isHidden());
  ReadoutFormatControls::selectTag(s->controls->field2PopUpButton, 1);
  ok();
  EXPECT_EQ(ds->measureSystem, kMeasureMetric);
  EXPECT_EQ(ds->metricReadout, 2);
  EXPECT_EQ(ds->imperialReadout, 0);
}

TEST_F(UnitsSheet, DefaultsGive112OrMetresAndAngleTwo) {
  ds->measureSystem = kMeasureImperial;
  ds->imperialReadout = 8;
  ds->angleReadout = 0;
  choose(kTagSetMeasurementUnits);
  auto* s = sheet<MeasurementUnitsController>();
  EXPECT_TRUE(s->controls->readoutFormatMatrix->button(1)->isChecked());
  s->defaultsButtonChanged();
  ok();
  EXPECT_EQ(ds->imperialReadout, 112);
  EXPECT_EQ(ds->angleReadout, 2);

  ds->measureSystem = kMeasureMetric;
  ds->metricReadout = 4;
  ds->angleReadout = 0;
  choose(kTagSetMeasurementUnits);
  sheet<MeasurementUnitsController>()->defaultsButtonChanged();
  ok();
  EXPECT_EQ(ds->metricReadout, 1);
  EXPECT_EQ(ds->angleReadout, 2);
}

TEST_F(UnitsSheet, ChangingOnlyField1OrField3IsStored) {
  ds->measureSystem = kMeasureImperial;
  ds->imperialReadout = 112;
  ds->angleReadout = 2;
  choose(kTagSetMeasurementUnits);
  auto* s = sheet<MeasurementUnitsController>();
  ReadoutFormatControls::selectTag(s->controls->field1PopUpButton, 4);
  ok();
  EXPECT_EQ(ds->angleReadout, 4);
  choose(kTagSetMeasurementUnits);
  s = sheet<MeasurementUnitsController>();
  ReadoutFormatControls::selectTag(s->controls->field3PopUpButton, 1);
  ok();
  EXPECT_EQ(ds->imperialReadout, 80);
}

// The sheet's own steps: folding the controls into the working codes, rebuilding field 2 for
// the chosen units and showing the controls of those units.
TEST_F(UnitsSheet, SheetStepsFoldReloadAndShowTheControls) {
  ds->measureSystem = kMeasureImperial;
  ds->imperialReadout = 112;
  ds->metricReadout = 1;
  ds->angleReadout = 2;
  choose(kTagSetMeasurementUnits);
  auto* s = sheet<MeasurementUnitsController>();
  ASSERT_NE(s, nullptr);
  ReadoutFormatControls::selectTag(s->controls->field1PopUpButton, 3);
  ReadoutFormatControls::selectTag(s->controls->field2PopUpButton, 2);
  ReadoutFormatControls::selectTag(s->controls->field3PopUpButton, 1);
  s->saveIntermediateValues();
  EXPECT_EQ(s->controls->angleFormat, 3);
  EXPECT_EQ(s->controls->imperialFormat, 4 + 64);

  ReadoutFormatControls::selectTag(s->controls->unitsPopUpButton, 4);
  s->loadField2ItemsAndSelect();
  EXPECT_EQ(s->controls->field2PopUpButton->count(), 3);
  EXPECT_EQ(s->controls->field2PopUpButton->currentData().toInt(), 0);
  s->setFieldVisibility();
  EXPECT_EQ(s->controls->field2Label->text(), "Readout Format:");
  EXPECT_TRUE(s->controls->field3PopUpButton->isHidden());

  s->controls->angleFormat = 0;
  s->loadField1ItemsAndSelect();
  EXPECT_EQ(s->controls->field1PopUpButton->currentData().toInt(), 0);
  s->controls->imperialFormat = 32;
  s->loadField3ItemsAndSelect();
  EXPECT_EQ(s->controls->field3PopUpButton->currentData().toInt(), 0);
  ok();
  EXPECT_EQ(ds->measureSystem, kMeasureMetric);
  EXPECT_EQ(ds->angleReadout, 0);
  EXPECT_EQ(ds->metricReadout, 1);
}

}  // namespace

namespace {

class UnitsSheetContent : public SheetTest {};

TEST_F(UnitsSheetContent, OKRefreshesTheTrimEntriesAndTheSnapOffset) {
  int refreshed = 0;
  auto saved = TheSheetHooks().refreshTrimContent;
  TheSheetHooks().refreshTrimContent = [&] { ++refreshed; };
  ds->measureSystem = kMeasureImperial;
  ds->snapOffset = 24;
  choose(kTagSetMeasurementUnits);
  ok();
  TheSheetHooks().refreshTrimContent = saved;
  EXPECT_EQ(refreshed, 1);
  EXPECT_FLOAT_EQ(GetFloatItem(SnapPaletteController::sharedSnapPaletteController().offsetText), 24);
}

}  // namespace
