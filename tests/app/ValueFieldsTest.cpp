// Value fields: typed lengths, angles and pitches in the document's units, and the fields of
// a multiple selection that empty when the objects disagree.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <cstring>
#include <memory>

#include "AppTestSupport.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Readouts.h"

namespace {

class ValueFields : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    field = std::make_unique<QLineEdit>();
    model = ZLKDocumentModel::init();
    ASSERT_NE(model, nullptr);
    ds = model->itsDocState;
    ds->measureSystem = kMeasureImperial;
    separator = gDecimalSeparator;
  }
  void TearDown() override {
    gDecimalSeparator = separator;
    ZLKDocumentModel::release(model);
    gCurDocument = nullptr;
  }
  float length(const char* text) {
    field->setText(QString::fromLatin1(text));
    return GetFloatItem(field.get());
  }
  ZLKDocumentModel* model = nullptr;
  DocState* ds = nullptr;
  char separator = '.';
  std::unique_ptr<QLineEdit> field;
};

TEST_F(ValueFields, ImperialLengths) {
  EXPECT_FLOAT_EQ(length("-2 6"), -30);
  EXPECT_FLOAT_EQ(length("2-6"), 30);  // a "-" after a digit separates
  EXPECT_FLOAT_EQ(length("3/4"), 0.75f);
  EXPECT_FLOAT_EQ(length("1 1/2 3"), 0);  // a number after a fraction reads as no number
  EXPECT_FLOAT_EQ(length("6'"), 72);
  EXPECT_FLOAT_EQ(length("5 6"), 66);
  EXPECT_FLOAT_EQ(length("5' 3/4"), 60.75f);
  EXPECT_FLOAT_EQ(length("6 3/4"), 6.75f);
  EXPECT_FLOAT_EQ(length("5 6 3/4"), 66.75f);
  EXPECT_FLOAT_EQ(length("3/5"), 0.625f);  // 0.6 to the nearest sixteenth
  EXPECT_FLOAT_EQ(length(""), 0);
  EXPECT_FLOAT_EQ(length("abc"), 0);
  EXPECT_EQ(GetFloatItem(nullptr), 0);
}

TEST_F(ValueFields, MetricLengths) {
  ds->measureSystem = kMeasureMetric;
  gDecimalSeparator = ',';
  EXPECT_NEAR(length("2,5 m"), 98.425, 1e-3);
  gDecimalSeparator = '.';
  EXPECT_NEAR(length("250mm"), 9.8425, 1e-4);
  EXPECT_NEAR(length("25 cm"), 9.8425, 1e-4);
  ds->metricReadout = kReadoutFlagCentimeters;
  EXPECT_NEAR(length("2"), 0.7874, 1e-4);
  gCurDocument = nullptr;
  EXPECT_EQ(length("2 m"), 0);  // no document
}

TEST_F(ValueFields, AnglesAndPitches) {
  field->setText(QString::fromUtf8("30\u00B0 30'"));
  EXPECT_FLOAT_EQ(GetFloatAngleItem(field.get(), 0), 30.5f);
  EXPECT_FLOAT_EQ(GetFloatAngleItem(field.get(), 1), 0);  // no minutes in a degrees-only field
  // The mark byte's own character (the masculine ordinal, a key of its own on some keyboards)
  // separates degrees from minutes as the degree sign does.
  field->setText(QString::fromUtf8("30\u00BA30'"));
  EXPECT_FLOAT_EQ(GetFloatAngleItem(field.get(), 0), 30.5f);
  field->setText(QString::fromUtf8("12\u00BA"));
  EXPECT_FLOAT_EQ(GetFloatAngleItem(field.get(), 0), 12);
  field->setText("10 75");  // minutes beyond 59 are no angle
  EXPECT_FLOAT_EQ(GetFloatAngleItem(field.get(), 0), 0);

  SetFloatPitchAngleItem(field.get(), 12);
  char expected[kReadoutTextSize] = {};
  ConvertAngleToStr(45, expected);
  ASSERT_GT(std::strlen(expected), 1u);
  EXPECT_TRUE(field->text().endsWith(QChar(0x00B0)));
  EXPECT_TRUE(field->text().startsWith("45"));
  EXPECT_NEAR(GetFloatPitchAngleItem(field.get()), 12, 1e-3);
  SetFloatAngleItem(field.get(), 45, 1);
  EXPECT_FALSE(field->text().endsWith(QChar(0x00B0)));

  // A metric pitch (rise per 10 of run) is converted before it is narrowed to a float.
  ds->measureSystem = kMeasureMetric;
  field->setText("50");
  EXPECT_EQ(GetFloatPitchItem(field.get()), 60.0f);
  field->setText("10");
  EXPECT_EQ(GetFloatPitchItem(field.get()), 12.0f);
  gDecimalSeparator = ',';
  field->setText("2,5");
  EXPECT_EQ(GetFloatPitchItem(field.get()), 3.0f);
}

TEST_F(ValueFields, MultipleSelectionsEmptyTheFieldWhenTheyDisagree) {
  ds->imperialReadout = kReadoutFlagFractions;  // fine enough to read 96.0004 back as 96
  UpdatePropertiesFloat(field.get(), 96.0f, 1);
  UpdatePropertiesFloat(field.get(), 96.0004f, 0);
  EXPECT_FALSE(field->text().isEmpty());
  UpdatePropertiesFloat(field.get(), 96.0f, 1);
  UpdatePropertiesFloat(field.get(), 97.0f, 0);
  EXPECT_TRUE(field->text().isEmpty());
  UpdatePropertiesFloat(field.get(), 97.0f, 0);  // stays empty for the rest of the pass
  EXPECT_TRUE(field->text().isEmpty());

  UpdatePropertiesLong(field.get(), 3, 1);
  UpdatePropertiesLong(field.get(), 3, 0);
  EXPECT_EQ(field->text(), QString("3"));
  UpdatePropertiesLong(field.get(), 4, 0);
  EXPECT_TRUE(field->text().isEmpty());
}

TEST_F(ValueFields, IntegersReadTheLeadingWholeNumber) {
  auto whole = [this](const char* text) {
    field->setText(QString::fromLatin1(text));
    return GetLongItem(field.get());
  };
  EXPECT_EQ(whole("12"), 12);
  EXPECT_EQ(whole(" -7"), -7);
  EXPECT_EQ(whole("12abc"), 12);
  EXPECT_EQ(whole("12.7"), 12);
  EXPECT_EQ(whole("abc"), 0);
  EXPECT_EQ(whole(""), 0);
  EXPECT_EQ(GetLongItem(nullptr), 0);

  // A multiple selection reads the field back the same way.
  field->setText("3 each");
  UpdatePropertiesLong(field.get(), 3, 0);
  EXPECT_EQ(field->text(), QString("3"));
}

TEST(ValueFieldHelpers, BoundsAndPointRectangles) {
  EXPECT_EQ(NormalizeInputToBounds(5, 10, 20), 10);
  EXPECT_EQ(NormalizeInputToBounds(25, 10, 20), 20);
  EXPECT_EQ(NormalizeInputToBounds(15, 10, 20), 15);
  POINT p[4] = {{10, 5}, {-2, 7}, {4, -3}, {8, 9}};
  NSRect r = FindBoundingNSRectFromPoints(p, 4);
  EXPECT_EQ(r.origin.x, -2);
  EXPECT_EQ(r.origin.y, -3);
  EXPECT_EQ(r.size.width, 12);
  EXPECT_EQ(r.size.height, 12);
  r = FindBoundingNSRectFromPoints(p, 3);
  EXPECT_EQ(r.size.width, 0);
  EXPECT_EQ(r.origin.x, 0);
}

}  // namespace
