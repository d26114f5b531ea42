// The grid properties and curve tension sheets.
#include <QComboBox>
#include <QImage>
#include <QSpinBox>

#include "inspectors/CurveTensionController.h"
#include "inspectors/GridPropertiesController.h"
#include "inspectors/SheetTestSupport.h"

namespace {

class GridSheet : public SheetTest {};

TEST_F(GridSheet, SpacingZeroRisesToTheImperialMinimumWhenTheFieldIsLeft) {
  ds->measureSystem = kMeasureImperial;
  choose(kTagSetGridProperties);
  auto* s = sheet<GridPropertiesController>();
  ASSERT_NE(s, nullptr);
  type(s->gridHorSpacingText, "0");
  EXPECT_FLOAT_EQ(GetFloatItem(s->gridHorSpacingText), 0.0625f);
  type(s->snapVerSpacingText, "600");
  EXPECT_FLOAT_EQ(GetFloatItem(s->snapVerSpacingText), 500);
  ok();
  EXPECT_FLOAT_EQ(ds->gridSpacing.floatH, 0.0625f);
  EXPECT_FLOAT_EQ(ds->gridSnap.floatV, 500);
  EXPECT_EQ(lastUndo(), "Grid Properties");
}

TEST_F(GridSheet, AFieldNotLeftIsClampedOnOKAndMetricHasItsOwnMinimum) {
  ds->measureSystem = kMeasureMetric;
  choose(kTagSetGridProperties);
  auto* s = sheet<GridPropertiesController>();
  s->gridVerSpacingText->setText("0");
  ok();
  EXPECT_FLOAT_EQ(ds->gridSpacing.floatV, 0.3937f);
}

TEST_F(GridSheet, UnchangedOKStoresNothingAndTheStyleIsStored) {
  choose(kTagSetGridProperties);
  ok();
  EXPECT_FALSE(anyUndo());
  choose(kTagSetGridProperties);
  auto* s = sheet<GridPropertiesController>();
  EXPECT_EQ(s->gridStylePopUpButton->currentData().toInt(), 1);
  s->gridStylePopUpButton->setCurrentIndex(s->gridStylePopUpButton->findData(2));
  s->gridStylePopUpButtonChanged();
  EXPECT_EQ(s->gridStyleView->gridStyle(), 2);
  ok();
  EXPECT_EQ(ds->gridStyle, 2);
}

TEST_F(GridSheet, PreviewLinesLieAt7To37InA40HighView) {
  QVector<double> ys;
  for (const QLineF& l : GridStyleView::gridMarks(1, 30, 40))
    if (l.y1() == l.y2()) ys.append(l.y1());
  EXPECT_EQ(ys, (QVector<double>{7, 17, 27, 37}));
  EXPECT_TRUE(GridStyleView::gridMarks(3, 30, 40).isEmpty());
  EXPECT_EQ(GridStyleView::gridMarks(2, 30, 40).size(), 3 * 4);

  GridStyleView view;
  view.resize(30, 40);
  view.setGridStyle(1);
  QImage image(view.size(), QImage::Format_RGB32);
  view.render(&image);
  auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 250; };
  for (int y : {7, 17, 27, 37}) EXPECT_TRUE(dark(3, y)) << y;
  for (int y : {6, 8, 12, 38}) EXPECT_FALSE(dark(3, y)) << y;
}

class TensionSheet : public SheetTest {};

TEST_F(TensionSheet, FifteenSmoothsWithTenAndTheNextOpeningShowsTen) {
  Objex* square = addSelectedSquare();
  gTension = 8;
  choose(kTagSmoothCurves);
  auto* s = sheet<CurveTensionController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->tensionText->text(), "8");
  s->tensionText->setText("15");
  const int16_t before = ds->curveTension;
  ok();
  EXPECT_EQ(lastUndo(), "Smooth Objects");
  EXPECT_EQ(gTension, 10);
  EXPECT_EQ(ds->curveTension, before);
  bool curved = false;
  for (Poinz* p = square->firstPoint; p; p = p->next)
    for (int i = 0; i < 3; ++i) curved = curved || p->outHandle[i] != 0;
  EXPECT_TRUE(curved);

  choose(kTagSmoothCurves);
  s = sheet<CurveTensionController>();
  EXPECT_EQ(s->tensionText->text(), "10");
  s->tensionStepper->setValue(0);
  EXPECT_EQ(s->tensionText->text(), "0");
  ok();
  for (Poinz* p = square->firstPoint; p; p = p->next)
    for (int i = 0; i < 3; ++i) EXPECT_EQ(p->outHandle[i], 0);
  EXPECT_EQ(gTension, 0);
}

TEST_F(TensionSheet, TheInspectorsRoadOpensOnTheMainWindow) {
  CurveTensionController::newCurveTensionSheetForMainWindow();
  EXPECT_NE(sheet<CurveTensionController>(), nullptr);
  cancel();
}

// Spacings the readout rounds (millimetres, sixteenths) come back unchanged when untouched.
TEST_F(GridSheet, UntouchedSpacingsAreKeptAsStored) {
  ds->measureSystem = kMeasureMetric;
  ds->gridSpacing = FloatPoint{12, 12};
  ds->gridSnap = FloatPoint{1, 1};
  choose(kTagSetGridProperties);
  ok();
  EXPECT_FALSE(anyUndo());
  EXPECT_EQ(ds->gridSnap.floatH, 1.0f);
  ds->measureSystem = kMeasureImperial;
  ds->gridSpacing = FloatPoint{12.3f, 7.77f};
  ds->gridSnap = FloatPoint{0.3937f, 1};
  choose(kTagSetGridProperties);
  ok();
  EXPECT_FALSE(anyUndo());
  EXPECT_EQ(ds->gridSpacing.floatH, 12.3f);
  EXPECT_EQ(ds->gridSnap.floatH, 0.3937f);
}

}  // namespace
