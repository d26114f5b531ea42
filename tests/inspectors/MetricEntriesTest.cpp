// Lengths and pitches typed in a metric design: each unit suffix, the readout unit when none
// is typed, decimal commas, and what a field shows reading back as what was stored.
#include "InspectorTestSupport.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Globals.h"
#include "model/Readouts.h"

namespace {

class MetricEntries : public InspectorTest {
 protected:
  void afterDocument() override {
    InspectorTest::afterDocument();
    ds->measureSystem = kMeasureMetric;
  }
  void readoutIn(uint16_t flag) { ds->metricReadout = static_cast<int16_t>((ds->metricReadout & ~3) | flag); }
};

TEST_F(MetricEntries, EachUnitSuffixAndTheReadoutUnitGiveInches) {
  struct Row {
    uint16_t readout;
    const char* typed;
    float inches;
  };
  const Row rows[] = {
      {kReadoutFlagMeters, "2.5 m", 98.425f},      {kReadoutFlagMeters, "250 cm", 98.425f},
      {kReadoutFlagMeters, "2500 mm", 98.425f},
      {kReadoutFlagMeters, "2.5", 98.425f},        {kReadoutFlagCentimeters, "2.5", 0.98425f},
      {0, "2.5", 0.098425f},                       {kReadoutFlagCentimeters, "-30 cm", -11.811f},
      {kReadoutFlagCentimeters, "10cm", 3.937f},   {0, "1 m", 39.37f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    readoutIn(row.readout);
    EXPECT_NEAR(ParseLengthText(row.typed), row.inches, 1e-4);
    const TypedNumber n = CheckTypedNumber(row.typed, NumberKind::kLength);
    EXPECT_TRUE(n.accepted);
    EXPECT_NEAR(n.value, row.inches, 1e-4);
  }
  // A metric pitch is a rise per 10 of run, stored per 12.
  EXPECT_NEAR(ParsePitchText("5"), 6.0f, 1e-3);
  EXPECT_NEAR(ParsePitchText("10"), 12.0f, 1e-3);
  // A decimal comma counts where the system writes decimals with one; elsewhere it is refused
  // (it read as the end of the number, 2 m).
  const char saved = gDecimalSeparator;
  gDecimalSeparator = ',';
  readoutIn(kReadoutFlagMeters);
  EXPECT_NEAR(ParseLengthText("2,5 m"), 98.425f, 1e-4);
  EXPECT_NEAR(ParsePitchText("2,5"), 3.0f, 1e-3);
  gDecimalSeparator = '.';
  EXPECT_EQ(ParseLengthText("2,5 m"), 0.0f);
  EXPECT_FALSE(CheckTypedNumber("2,5 m", NumberKind::kLength).accepted);
  gDecimalSeparator = saved;
}

TEST_F(MetricEntries, WhatAFieldShowsReadsBackAsStoredInEveryReadoutUnit) {
  QLineEdit field;
  for (uint16_t flag : {uint16_t(kReadoutFlagMeters), uint16_t(kReadoutFlagCentimeters), uint16_t(0)}) {
    readoutIn(flag);
    for (float inches : {96.0f, 3.937f, 0.5f, 1200.0f}) {
      SCOPED_TRACE(testing::Message() << flag << " " << inches);
      SetFloatItem(&field, inches);
      // Shown to the readout's precision: a millimetre at most.
      EXPECT_NEAR(GetFloatItem(&field), inches, 0.04f) << field.text().toStdString();
    }
    for (float pitch : {6.0f, 12.0f, 3.0f}) {
      SetFloatPitchItem(&field, pitch);
      EXPECT_NEAR(GetFloatPitchItem(&field), pitch, 0.02f) << field.text().toStdString();
    }
  }
}

}  // namespace
