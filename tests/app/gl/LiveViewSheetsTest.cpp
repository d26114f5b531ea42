// The 3D window's sheets opened from the 3D menu, the auto-click marker's pixels, the print
// view and the view point tool's switch to walking.
#include <gtest/gtest.h>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPageLayout>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include "app/AppTestSupport.h"
#include "app/EditToolPaletteController.h"
#include "app/PlanScales.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "app/LiveViewSheets.h"
#include "app/PlanViewActions.h"
#include "app/ToolIcons.h"
#include "app/ZLKDocument.h"
#include "building3d/PlaneObjects.h"
#include "inspectors/SmallControls.h"
#include "inspectors/ValueFields.h"
#include "model/PlanarTransforms.h"
#include "model/Services.h"
#include "render3d/SceneFrame.h"
#include "tools/ToolCodes.h"

namespace {

class LiveViewSheetsTest : public DesignWindowTest {
 protected:
  void afterDocument() override {
    if (!getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    controller = LiveViewController::sharedLiveViewController();
    gRefreshRender = gRenderDirty = 0;
  }
  void beforeClosing() override {
    if (SheetController* s = attached()) s->dismissSheet(0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (controller) controller->orderOut();
  }
  SheetController* attached() const { return controller ? SheetController::attachedSheet(controller->window()) : nullptr; }
  template <class T> T* sheet() const { return qobject_cast<T*>(attached()); }
  void press(bool okPressed) {
    SheetController* s = attached();
    ASSERT_NE(s, nullptr);
    (okPressed ? s->okButton() : s->cancelButton())->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void choose(int32_t tag) {
    gCurDocument = model;
    window->planViewActions().perform(tag);
  }
  LiveViewController* controller = nullptr;
};

TEST_F(LiveViewSheetsTest, WalkHeightInFlyModeIsStoredWithoutMovingTheCamera) {
  ds->navigationMode = kNavFlyAround;
  ds->walkElevation = ConvertWorldToScreen(60, ds, 0);
  ds->walkPosition = FloatPoint{10, 20};
  ds->flyAltitude = 1500;
  ds->flyAngle = 330;
  ds->flyPitch = 20;
  controller->showWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(controller->window()));
  QApplication::processEvents();
  choose(kTagSetLVWalkThroughElevation);
  auto* s = sheet<WalkElevationController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->layoutName(), "WalkElevationSheet");
  EXPECT_NEAR(GetFloatItem(s->elevationText), 60, 1e-3);
  s->elevationText->setText("6'");
  const int rendered = controller->liveViewOGLView()->renderCount();
  press(true);
  EXPECT_NEAR(ds->walkElevation, ConvertWorldToScreen(72, ds, 0), 1e-3);
  // The view draws the new scene.
  QTRY_VERIFY(controller->liveViewOGLView()->renderCount() > rendered);
  EXPECT_FLOAT_EQ(ds->walkPosition.floatH, 10);
  EXPECT_FLOAT_EQ(ds->walkPosition.floatV, 20);
  EXPECT_FLOAT_EQ(ds->flyAltitude, 1500);
  EXPECT_FLOAT_EQ(ds->flyAngle, 330);
  EXPECT_EQ(ds->navigationMode, kNavFlyAround);
  EXPECT_TRUE(controller->isVisible());
}

TEST_F(LiveViewSheetsTest, CancellingEitherCameraSheetChangesNothingAndBringsTheWindowForward) {
  for (int32_t tag : {kTagSetLVWalkThroughElevation, kTagSetLVFlyAroundAltitude}) {
    controller->orderOut();
    ds->walkElevation = 66;
    ds->flyAltitude = 1500;
    gRenderDirty = 0;
    choose(tag);
    ASSERT_NE(attached(), nullptr) << tag;
    EXPECT_EQ(attached()->layoutName(), tag == kTagSetLVWalkThroughElevation ? "WalkElevationSheet" : "FlyAltitudeSheet");
    if (auto* fly = sheet<FlyAltitudeController>()) fly->altitudeText->setText("1");
    press(false);
    EXPECT_TRUE(controller->isVisible()) << tag;
    EXPECT_FLOAT_EQ(ds->walkElevation, 66);
    EXPECT_FLOAT_EQ(ds->flyAltitude, 1500);
    EXPECT_EQ(gRenderDirty, 0);
  }
  // OK on the altitude sheet stores it in plan units.
  ds->navigationMode = kNavFlyAround;
  choose(kTagSetLVFlyAroundAltitude);
  sheet<FlyAltitudeController>()->altitudeText->setText("100'");
  press(true);
  EXPECT_NEAR(ds->flyAltitude, ConvertWorldToScreen(1200, ds, 0), 1e-2);
  EXPECT_EQ(gRenderDirty, 1);
}

TEST_F(LiveViewSheetsTest, PrintSheetQualitiesAndSizes) {
  ZLKDocument* document = doc;
  document->printInfo() = QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36),
                                      QPageLayout::Point);
  struct Case {
    int sizeTag;
    const char *width, *height;
    int quality;
    int expectWidth, expectHeight;  // -1: the view's size
  };
  const Case cases[] = {
      {kPrintSizeCustom, "5", "2000", 2, 16, 2000},
      {kPrintSizeCustom, "16", "15", 4, 16, 16},
      {kPrintSizeCustom, "17", "300", 0, 17, 300},
      {kPrintSizeFitPage, "5", "5", 1, -1, -1},
      {kPrintSizeView, "5", "5", 3, -1, -1},
  };
  for (const Case& c : cases) {
    controller->showPrint3DPropertiesPanel();
    auto* s = sheet<LV3DPrintController>();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->layoutName(), "LV3DPrintSheet");
    ASSERT_EQ(s->renderQualityPopUpButton->count(), 5);
    EXPECT_EQ(s->renderQualityPopUpButton->itemText(0), "Current Image");
    EXPECT_EQ(s->renderQualityPopUpButton->itemText(4), "Excellent Quality (Very Slow)");
    const QRect bounds = controller->liveViewOGLViewBounds();
    EXPECT_EQ(s->printImageWidthText->text().toInt(), bounds.width());
    s->printSizeButtons->button(c.sizeTag)->setChecked(true);
    EXPECT_EQ(s->printImageWidthText->isEnabled(), c.sizeTag == kPrintSizeCustom);
    s->printImageWidthText->setText(c.width);
    s->printImageHeightText->setText(c.height);
    s->renderQualityPopUpButton->setCurrentIndex(c.quality);
    EXPECT_EQ(s->renderQualityPopUpButton->currentData().toInt(), c.quality);
    const QSize size = s->chosenPrintSize();
    EXPECT_EQ(size.width(), c.expectWidth < 0 ? bounds.width() : c.expectWidth) << c.width;
    EXPECT_EQ(size.height(), c.expectHeight < 0 ? bounds.height() : c.expectHeight) << c.height;
    press(false);
    EXPECT_EQ(attached(), nullptr);
  }
}

// The camera sheets of a design at each plan scale, in imperial and metric units, drawn at
// twice the size: the heights are typed in the design's units and kept in plan units.
class CameraSheetsAtEveryPlanScale : public LiveViewSheetsTest, public testing::WithParamInterface<PlanScaleDesign> {
 protected:
  void beforeDocument() override { gDefaultToImperial = GetParam().metric ? 0 : 1; }
  void afterDocument() override {
    LiveViewSheetsTest::afterDocument();
    if (IsSkipped()) return;
    ASSERT_EQ(ds->measureSystem == kMeasureMetric, GetParam().metric);
    ASSERT_NO_FATAL_FAILURE(ChoosePlanScale(window, model, GetParam().scale));
    ds->zoomFactor = 2;
  }
  // A height the user means, in plan units and as the field shows it (world units).
  float plan(float inches) const { return ConvertWorldToScreen(GetWorldFromInches(inches, ds), ds, 0); }
  float world(float inches) const { return GetWorldFromInches(inches, ds); }
};

INSTANTIATE_TEST_SUITE_P(EveryPlanScale, CameraSheetsAtEveryPlanScale, testing::ValuesIn(EveryPlanScaleDesign()),
                         PlanScaleDesignName);

TEST_P(CameraSheetsAtEveryPlanScale, EyeHeightAndAltitudeShowAndTakeTheDesignsUnits) {
  const struct {
    int32_t tag;
    int16_t mode;
    float* stored;
    float before, typed;  // inches
  } sheets[] = {{kTagSetLVWalkThroughElevation, kNavWalkThrough, &ds->walkElevation, 60, 66},
                {kTagSetLVFlyAroundAltitude, kNavFlyAround, &ds->flyAltitude, 1500, 2400}};
  for (const auto& c : sheets) {
    SCOPED_TRACE(c.tag);
    ds->navigationMode = c.mode;
    *c.stored = plan(c.before);
    choose(c.tag);
    ASSERT_NE(attached(), nullptr);
    QLineEdit* field = c.tag == kTagSetLVWalkThroughElevation ? sheet<WalkElevationController>()->elevationText
                                                              : sheet<FlyAltitudeController>()->altitudeText;
    ASSERT_NE(field, nullptr);
    EXPECT_NEAR(GetFloatItem(field), world(c.before), world(c.before) * 2e-3f);
    SetFloatItem(field, world(c.typed));
    press(true);
    EXPECT_NEAR(*c.stored, plan(c.typed), plan(c.typed) * 2e-3f);
    // Opened again, the sheet shows what was typed.
    choose(c.tag);
    ASSERT_NE(attached(), nullptr);
    field = c.tag == kTagSetLVWalkThroughElevation ? sheet<WalkElevationController>()->elevationText
                                                   : sheet<FlyAltitudeController>()->altitudeText;
    EXPECT_NEAR(GetFloatItem(field), world(c.typed), world(c.typed) * 2e-3f);
    press(false);
  }
}

TEST(AutoClickMarker, BandsAndCrossAtThePoint) {
  TestApplication();
  ZLKAutoClickElement marker(POINT{50, 50});
  EXPECT_EQ(marker.highlightPath().boundingRect(), QRectF(42, 41, 17, 17));
  const QList<QPolygonF> bands = marker.highlightPath().toSubpathPolygons();
  ASSERT_EQ(bands.size(), 2);
  EXPECT_EQ(bands[0].boundingRect(), QRectF(49, 41, 3, 17));
  EXPECT_EQ(bands[1].boundingRect(), QRectF(42, 48, 17, 3));
  EXPECT_EQ(marker.crosshairPath().boundingRect(), QRectF(43, 43, 14, 14));

  QImage image(100, 100, QImage::Format_RGB32);
  image.fill(QColor(0, 0, 255));
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);  // the marker draws unsmoothed whatever the view set
    marker.drawAutoClickElement(painter);
  }
  auto at = [&](int x, int y) { return QColor(image.pixel(x, y)); };
  const QColor white(Qt::white), black(Qt::black), blue(0, 0, 255);
  for (int y = 43; y <= 57; ++y) EXPECT_EQ(at(50, y), black) << y;
  for (int x = 43; x <= 57; ++x) EXPECT_EQ(at(x, 50), black) << x;
  // The band shows white beside the cross and past its ends, and nothing lies outside it.
  EXPECT_EQ(at(49, 41), white);
  EXPECT_EQ(at(51, 57), white);
  EXPECT_EQ(at(50, 42), white);
  EXPECT_EQ(at(42, 48), white);
  EXPECT_EQ(at(58, 50), white);
  EXPECT_EQ(at(50, 40), blue);
  EXPECT_EQ(at(50, 58), blue);
  EXPECT_EQ(at(41, 50), blue);
  EXPECT_EQ(at(59, 50), blue);
  EXPECT_EQ(at(48, 47), blue);
  EXPECT_EQ(at(52, 52), blue);
}

TEST(BaseImageViewTest, DrawsItsImageScaledOverWhite) {
  TestApplication();
  EXPECT_EQ(BaseImageView::withFrameAndImage(QRect(0, 0, 10, 10), QImage()), nullptr);
  QImage red(2, 2, QImage::Format_RGB32);
  red.fill(Qt::red);
  std::unique_ptr<BaseImageView> view(BaseImageView::withFrameAndImage(QRect(0, 0, 40, 20), red));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->size(), QSize(40, 20));
  const QImage shown = view->grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(39, 19)), QColor(Qt::red));
  EXPECT_EQ(QColor(shown.pixel(0, 0)), QColor(Qt::red));
  view->setViewImage(QImage());
  EXPECT_EQ(QColor(view->grab().toImage().pixel(20, 10)), QColor(Qt::white));
}

TEST_F(LiveViewSheetsTest, ViewPointCellWalksInTheShownWindow) {
  ToolPaletteController& palette = ToolPaletteController::sharedToolPaletteController();
  QToolButton* cell = palette.cellWithTool(kToolViewPoint);
  ASSERT_NE(cell, nullptr);
  EXPECT_TRUE(ToolIsAvailable(kToolViewPoint));
  EXPECT_TRUE(cell->isEnabled());
  ASSERT_NE(palette.cellWithTool(kToolKeyEntry), nullptr);
  EXPECT_TRUE(palette.cellWithTool(kToolKeyEntry)->isEnabled());
  for (bool stale : {true, false}) {
    controller->orderOut();
    ds->navigationMode = kNavFlyAround;
    gRenderOnShow = stale ? 1 : 0;
    gRefreshRender = gRenderDirty = 0;
    ServiceCallRecorder calls;
    cell->click();
    EXPECT_EQ(gCurTool, kToolViewPoint);
    EXPECT_EQ(ds->navigationMode, kNavWalkThrough);
    EXPECT_TRUE(controller->isVisible());
    // A stale scene was rebuilt for the shown window, a current one is drawn again.
    EXPECT_EQ(gRenderOnShow, 0);
    if (!stale) {
      EXPECT_EQ(gRenderDirty, 1);
      EXPECT_EQ(gRefreshRender, 1);
    }
  }
  gRenderOnShow = 0;
  palette.selectTool(kToolSelection, 1);
}

}  // namespace
