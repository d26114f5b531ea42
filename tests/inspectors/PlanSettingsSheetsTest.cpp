// The plan settings sheets: working elevation, ceiling height, trace image scale, lot size
// and true north.
#include <QLabel>
#include <QSlider>
#include <cmath>
#include <limits>

#include "app/Win32EventHandler.h"
#include "inspectors/PlanSettingsSheets.h"
#include "inspectors/SheetTestSupport.h"
#include "model/PlanarTransforms.h"

namespace {

class PlanSettingsSheets : public SheetTest {};

TEST_F(PlanSettingsSheets, WorkingElevationBelow1201IsStoredAndAtItIsRefusedWithAMessage) {
  ScopedAlertRecorder alerts;
  choose(kTagSetWorkingElevation);
  auto* s = sheet<WorkingElevationController>();
  ASSERT_NE(s, nullptr);
  // Typed lengths are rounded to the design's sixteenths.
  ds->measureSystem = kMeasureImperial;
  s->elevationText->setText("1200.9");
  ok();
  EXPECT_NEAR(ds->baseElevation, 1200.9f, 0.05f);
  EXPECT_EQ(lastUndo(), "Working Elevation");
  EXPECT_TRUE(alerts.shown.empty());

  doc->undoManager().removeAllActions();
  choose(kTagSetWorkingElevation);
  sheet<WorkingElevationController>()->elevationText->setText("1201");
  ok();
  EXPECT_NEAR(ds->baseElevation, 1200.9f, 0.05f);
  EXPECT_FALSE(anyUndo());
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Invalid working elevation entered.");

  choose(kTagSetWorkingElevation);
  sheet<WorkingElevationController>()->elevationText->setText("-1201");
  ok();
  EXPECT_NEAR(ds->baseElevation, 1200.9f, 0.05f);
  EXPECT_EQ(alerts.shown.size(), 2u);
}

TEST_F(PlanSettingsSheets, CeilingHeightLimitsAndUnchangedHeight) {
  Layer* first = GetLayerFromName("First Floor");
  ASSERT_NE(first, nullptr);
  ScopedAlertRecorder alerts;
  for (const char* bad : {"11.9", "1000.1"}) {
    choose(kTagCeilingHeightFirstFloor);
    auto* s = sheet<CeilingHeightController>();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->targetLayer, first);
    s->heightText->setText(bad);
    ok();
    EXPECT_FLOAT_EQ(first->height, 96);
  }
  ASSERT_EQ(alerts.shown.size(), 2u);
  EXPECT_EQ(alerts.shown[0].message, "Invalid ceiling height entered.");
  EXPECT_EQ(alerts.shown[0].informative, "The ceiling height can be no less than 1' and no greater than 83'.");
  EXPECT_FALSE(anyUndo());

  choose(kTagCeilingHeightFirstFloor);
  sheet<CeilingHeightController>()->heightText->setText("96");
  ok();
  EXPECT_FALSE(anyUndo());

  for (float good : {12.0f, 1000.0f}) {
    choose(kTagCeilingHeightFirstFloor);
    sheet<CeilingHeightController>()->heightText->setText(QString::number(good));
    ok();
    EXPECT_FLOAT_EQ(first->height, good);
    EXPECT_EQ(lastUndo(), "First Floor Ceiling Height");
  }
  EXPECT_EQ(alerts.shown.size(), 2u);

  // The menu items carry the command codes 5156 to 5158, one per floor.
  const char* const floors[] = {"First Floor", "Second Floor", "Third Floor"};
  for (int i = 0; i < 3; ++i) {
    Layer* layer = GetLayerFromName(floors[i]);
    if (!layer) continue;
    choose(5156 + i);
    auto* s = sheet<CeilingHeightController>();
    ASSERT_NE(s, nullptr) << floors[i];
    EXPECT_EQ(s->targetLayer, layer);
    cancel();
  }

  // The command bridge takes the layer first, then the window the sheet attaches to.
  Win32EventHandler::sharedEventHandler()->setCeilingHeightForLayer(first, window);
  auto* direct = sheet<CeilingHeightController>();
  ASSERT_NE(direct, nullptr);
  EXPECT_EQ(direct->targetLayer, first);
  cancel();
}

TEST_F(PlanSettingsSheets, TraceImageScaleStoresFactorsAndRefusesWhatIsNotAboveZero) {
  ScopedAlertRecorder alerts;
  choose(kTagResizeFloorplanTraceImage);
  auto* s = sheet<TraceImageScaleController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->horScaleText->text(), "100");
  ok();  // unchanged
  EXPECT_FALSE(anyUndo());
  for (const char* bad : {"0", "-20", "abc"}) {
    choose(kTagResizeFloorplanTraceImage);
    sheet<TraceImageScaleController>()->verScaleText->setText(bad);
    ok();
  }
  EXPECT_EQ(alerts.shown.size(), 3u);
  EXPECT_FLOAT_EQ(ds->traceImageScaleY, 1.0f);
  EXPECT_FALSE(anyUndo());
  choose(kTagResizeFloorplanTraceImage);
  s = sheet<TraceImageScaleController>();
  s->horScaleText->setText("50");
  s->verScaleText->setText("250");
  ok();
  EXPECT_FLOAT_EQ(ds->traceImageScaleX, 0.5f);
  EXPECT_FLOAT_EQ(ds->traceImageScaleY, 2.5f);
  EXPECT_EQ(lastUndo(), "Resize Floorplan Trace Image");
  choose(kTagResizeFloorplanTraceImage);
  s = sheet<TraceImageScaleController>();
  s->defaultsButtonChanged();
  EXPECT_EQ(s->verScaleText->text(), "100");
  cancel();
}

TEST_F(PlanSettingsSheets, LotSizeIsClampedCentredAndStoredAsAnUndoStep) {
  ds->measureSystem = kMeasureImperial;
  choose(kTagSetLotSize);
  auto* s = sheet<LotSizeController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->widthTextLabel->text(), "feet");
  s->widthText->setText("0");
  s->depthText->setText("5000");
  ok();
  EXPECT_FLOAT_EQ(ds->planBounds.floatLeft, ConvertWorldToScreen(-6, ds, 0));
  EXPECT_FLOAT_EQ(ds->planBounds.floatRight, ConvertWorldToScreen(6, ds, 0));
  EXPECT_FLOAT_EQ(ds->planBounds.floatTop, ConvertWorldToScreen(-6000, ds, 0));
  EXPECT_FLOAT_EQ(ds->planBounds.floatBottom, ConvertWorldToScreen(6000, ds, 0));
  EXPECT_EQ(lastUndo(), "Lot Size");
  EXPECT_EQ(gRefreshRender, 1);
  choose(kTagSetLotSize);
  s = sheet<LotSizeController>();
  EXPECT_EQ(s->widthText->text(), "1");
  EXPECT_EQ(s->depthText->text(), "1000");
  cancel();
}

// The lot rectangle and the north angle come from the design file unchecked: sizes past the
// field show its nearest end, a size that is no number 0, and nothing is changed by showing.
TEST_F(PlanSettingsSheets, LotSizeAndCompassShowStoredValuesBeyondTheirFields) {
  ds->measureSystem = kMeasureImperial;
  ds->planBounds = {-1e30f, -1e30f, 1e30f, 1e30f};
  choose(kTagSetLotSize);
  auto* s = sheet<LotSizeController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->widthText->text(), "2147483647");
  EXPECT_EQ(s->depthText->text(), "2147483647");
  cancel();
  ds->planBounds.floatRight = std::numeric_limits<float>::quiet_NaN();
  choose(kTagSetLotSize);
  s = sheet<LotSizeController>();
  EXPECT_EQ(s->widthText->text(), "0");
  cancel();
  EXPECT_TRUE(std::isnan(ds->planBounds.floatRight));
  for (float angle : {std::numeric_limits<float>::quiet_NaN(), 1e30f, -1e30f}) {
    TrueNorthAngle(ds) = angle;
    choose(kTagSetTrueNorthAngle);
    auto* c = sheet<CompassController>();
    ASSERT_NE(c, nullptr);
    EXPECT_GE(c->angleSlider->value(), 0);
    EXPECT_LE(c->angleSlider->value(), 360);
    cancel();
  }
}

TEST_F(PlanSettingsSheets, LotSizeInAMetricDesignIsInMeters) {
  ds->measureSystem = kMeasureMetric;
  choose(kTagSetLotSize);
  auto* s = sheet<LotSizeController>();
  EXPECT_EQ(s->depthTextLabel->text(), "meters");
  s->widthText->setText("10");
  s->depthText->setText("20");
  ok();
  EXPECT_NEAR(ds->planBounds.floatRight, ConvertWorldToScreen(5 * 39.37f, ds, 0), 1e-2);
}

// The lot's width and depth take every form a length field reads in the design's units, and a
// number alone in the unit the labels name; what is no whole number of that unit, or a form of
// the other unit system, is refused with the lot kept.
TEST_F(PlanSettingsSheets, LotSizeTakesTheFormsOfALengthField) {
  struct Entry {
    const char* typed;
    int32_t units;  // 0: refused
  };
  const Entry metric[] = {{"25 m", 25}, {"25m", 25}, {"2500 cm", 25}, {"25000 mm", 25}, {"25", 25},
                          {"2.5e1", 25}, {"25.5 m", 0}, {"25.5", 0},   {"82'", 0},        {"25 m 5", 0}};
  const Entry imperial[] = {{"100'", 100}, {"1200\"", 100}, {"100 0", 100}, {"100'-0\"", 100}, {"100", 100},
                            {"1200", 1000}, {"100' 6\"", 0},  {"100.5", 0},   {"30 m", 0},        {"1/2", 0}};
  for (const int16_t system : {kMeasureMetric, kMeasureImperial}) {
    ds->measureSystem = system;
    const float unitInches = system == kMeasureMetric ? 39.37f : 12.0f;
    for (const Entry& e : system == kMeasureMetric ? metric : imperial) {
      SCOPED_TRACE(::testing::Message() << "\"" << e.typed << "\" system " << system);
      ds->planBounds = {-100, -100, 100, 100};
      const FloatRect before = ds->planBounds;
      ScopedAlertRecorder alerts;
      choose(kTagSetLotSize);
      auto* s = sheet<LotSizeController>();
      ASSERT_NE(s, nullptr);
      s->widthText->setText(e.typed);
      s->depthText->setText("10");
      ok();
      if (e.units == 0) {
        EXPECT_TRUE(alerts.sawMessage("Invalid number entered."));
        EXPECT_EQ(ds->planBounds.floatRight, before.floatRight);
        continue;
      }
      EXPECT_TRUE(alerts.shown.empty());
      EXPECT_NEAR(ds->planBounds.floatRight, ConvertWorldToScreen(e.units * unitInches / 2, ds, 0), 1e-2);
      EXPECT_NEAR(ds->planBounds.floatBottom, ConvertWorldToScreen(10 * unitInches / 2, ds, 0), 1e-2);
    }
  }
  EXPECT_EQ(CheckTypedWholeUnits("100' 6\"", 12).reason, "Type a whole number of feet: 100, 100' or 1200\".");
}

TEST_F(PlanSettingsSheets, CompassRoundsAndReplacesOutOfRangeAngles) {
  struct Case {
    const char* typed;
    float stored;
  };
  for (const Case& c : {Case{"360.4", 360}, Case{"360.6", 0}, Case{"-10", 0}, Case{"44.5", 45}}) {
    TrueNorthAngle(ds) = 7;
    choose(kTagSetTrueNorthAngle);
    auto* s = sheet<CompassController>();
    ASSERT_NE(s, nullptr);
    s->angleText->setText(c.typed);
    ok();
    EXPECT_FLOAT_EQ(TrueNorthAngle(ds), c.stored) << c.typed;
    EXPECT_EQ(lastUndo(), "True North");
  }
  choose(kTagSetTrueNorthAngle);
  auto* s = sheet<CompassController>();
  s->angleSlider->setValue(120);
  EXPECT_FLOAT_EQ(GetFloatAngleItem(s->angleText, 0), 120);
  cancel();
}

// OK with untouched fields gives back each stored value as it was: the readout's rounding (a
// metric design's millimetres, an imperial design's sixteenths) and the seven digits of a
// percent change nothing and store nothing.
TEST_F(PlanSettingsSheets, UntouchedFieldsKeepTheStoredValues) {
  Layer* first = GetLayerFromName("First Floor");
  ASSERT_NE(first, nullptr);
  for (auto system : {kMeasureImperial, kMeasureMetric}) {
    ds->measureSystem = system;
    for (float e : {100.0f, -36.0f, 100.03f, 0.5f}) {
      ds->baseElevation = e;
      choose(kTagSetWorkingElevation);
      ok();
      EXPECT_EQ(ds->baseElevation, e) << e;
      EXPECT_EQ(lastUndo(), "Working Elevation");
    }
    doc->undoManager().removeAllActions();
    for (float h : {96.0f, 100.03f, 118.11f}) {
      first->height = h;
      choose(kTagCeilingHeightFirstFloor);
      ok();
      EXPECT_EQ(first->height, h) << h;
      EXPECT_FALSE(anyUndo()) << h;
    }
  }
  for (float f : {1.2345678f, 1.0f / 3, 3.14159274f}) {
    ds->traceImageScaleX = f;
    ds->traceImageScaleY = f * 2;
    choose(kTagResizeFloorplanTraceImage);
    ok();
    EXPECT_EQ(ds->traceImageScaleX, f);
    EXPECT_EQ(ds->traceImageScaleY, f * 2);
    EXPECT_FALSE(anyUndo()) << f;
  }
  // One field typed: the other keeps its stored factor.
  choose(kTagResizeFloorplanTraceImage);
  sheet<TraceImageScaleController>()->horScaleText->setText("50");
  ok();
  EXPECT_EQ(ds->traceImageScaleX, 0.5f);
  EXPECT_EQ(ds->traceImageScaleY, 3.14159274f * 2);
}

}  // namespace
