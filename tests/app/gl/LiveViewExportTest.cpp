// The 3D view exported as an image file at a chosen size and quality.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QImage>
#include <QImageReader>
#include <QTest>
#include <cstdlib>

#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "LiveViewTestSupport.h"
#include "app/LiveViewController.h"
#include "app/LiveViewExport.h"
#include "app/LiveViewOGLView.h"
#include "app/PlanViewActions.h"
#include "app/Win32EventHandler.h"
#include "app/ZLKWindowController.h"
#include "model/Services.h"
#include "platform/Alerts.h"
#include "render3d/SceneFrame.h"
#include "render3d/ShadowRender.h"

namespace {

class LiveViewExportTest : public LiveViewTest {
 protected:
  void afterDocument() override {
    if (!getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    // An empty design in wireframe on a red background, its lot lines red too: every pixel of
    // a frame is red.
    ds->wireframeBackgroundColor() = RGBColor{65535, 0, 0};
    ds->wireframeLotColor() = RGBColor{65535, 0, 0};
    ds->renderMode() = kRenderWireframe;
    controller = LiveViewController::sharedLiveViewController();
    ASSERT_TRUE(showLiveViewAt(320, 240));
    gRefreshRender = 1;
    controller->liveViewOGLView()->display();
  }
  static bool Red(QRgb p) { return qRed(p) >= 250 && qGreen(p) <= 5 && qBlue(p) <= 5; }
  LiveViewController* controller = nullptr;
};

TEST_F(LiveViewExportTest, QualitiesTakeTheirPassesAndRestoreTheSettings) {
  const struct {
    int16_t quality;
    int32_t passes;
  } cases[] = {{0, 0}, {1, 4}, {2, 8}, {3, 15}, {4, 24}, {5, 0}, {-1, 0}};
  for (const auto& c : cases) EXPECT_EQ(AntiAliasPassesForQuality(c.quality), c.passes) << c.quality;

  ds->shadowRender() = 0;
  ds->antiAliasPasses() = 6;
  gLightViewLotOff = 1;
  for (int16_t quality = 0; quality <= 4; ++quality) {
    const int rendered = controller->liveViewOGLView()->renderCount();
    ASSERT_TRUE(PrepareLiveViewUsingQuality(quality, 120, 90)) << quality;
    EXPECT_EQ(ds->shadowRender(), 0);
    EXPECT_EQ(ds->antiAliasPasses(), 6);
    EXPECT_EQ(gLightViewLotOff, 1);
    EXPECT_EQ(gRenderOpenGLAntiAlias, 0);
    // The view renders again at its own size: when it is next drawn, or already, when hiding
    // the progress bar drew it.
    EXPECT_TRUE(gRefreshRender == 1 || controller->liveViewOGLView()->renderCount() > rendered) << quality;
    const QImage image = LiveViewOGLViewBitmapImage();
    EXPECT_EQ(image.size(), QSize(120, 90));
    EXPECT_TRUE(Red(image.pixel(0, 0)) && Red(image.pixel(119, 89))) << quality;
  }
  gLightViewLotOff = 0;
}

// The controller's render at a quality and size, and its grab of the pixels: the render just
// made while it is held, the view's own frame once an export has used it.
TEST_F(LiveViewExportTest, TheControllerRendersAtASizeAndGrabsThePixels) {
  ASSERT_TRUE(controller->prepareLiveViewUsingQuality(kQualityHigh, QSize(100, 70)));
  QImage image = controller->liveViewOGLViewBitmapImageRep();
  ASSERT_EQ(image.size(), QSize(100, 70));
  EXPECT_TRUE(Red(image.pixel(0, 0)) && Red(image.pixel(99, 69)));
  EXPECT_FALSE(image.hasAlphaChannel());
  // Four bytes a pixel, the fourth not an alpha.
  EXPECT_EQ(image.depth(), 32);
  EXPECT_EQ(image.bytesPerLine(), 400);

  ASSERT_TRUE(ExportLiveViewImage(file("grab.png"), 3, kQualityCurrentImage, 40, 30));
  gRefreshRender = 1;
  controller->liveViewOGLView()->display();
  image = controller->liveViewOGLViewBitmapImageRep();
  const QSize own = controller->liveViewOGLView()->size() * controller->liveViewOGLView()->devicePixelRatio();
  EXPECT_EQ(image.size(), own);
  ASSERT_FALSE(image.isNull());
  EXPECT_TRUE(Red(image.pixel(0, 0)) && Red(image.pixel(image.width() - 1, image.height() - 1)));
}

TEST_F(LiveViewExportTest, APngLargerThanTheScreenHasExactlyItsSize) {
  const std::string path = file("big.png");
  ASSERT_TRUE(ExportLiveViewImage(path, 3, kQualityCurrentImage, 3000, 2000));
  QImage read(QString::fromStdString(path));
  ASSERT_EQ(read.size(), QSize(3000, 2000));
  for (int x = 0; x < 3000; x += 250) EXPECT_TRUE(Red(read.pixel(x, 0))) << x;
  EXPECT_TRUE(Red(read.pixel(2999, 1999)));
  // The window keeps its size on the screen.
  EXPECT_LT(controller->liveViewOGLView()->width(), 1280);
}

TEST_F(LiveViewExportTest, FiveFormatsReadBackAtTheirSizeAndSmallSizesBecome16) {
  const char* const names[] = {"a.bmp", "a.gif", "a.jpg", "a.png", "a.tif"};
  for (int tag = 0; tag < kImageFormatCount; ++tag) {
    const std::string path = file(names[tag]);
    ASSERT_TRUE(ExportLiveViewImage(path, tag, kQualityCurrentImage, 64, 40)) << tag;
    QImageReader reader(QString::fromStdString(path));
    const QImage read = reader.read();
    ASSERT_FALSE(read.isNull()) << names[tag] << " " << reader.errorString().toStdString();
    EXPECT_EQ(read.size(), QSize(64, 40)) << names[tag];
    EXPECT_NEAR(qRed(read.pixel(10, 10)), 255, 8) << names[tag];
    EXPECT_NEAR(qGreen(read.pixel(10, 10)), 0, 8) << names[tag];
  }
  ASSERT_TRUE(ExportLiveViewImage(file("small.png"), 3, kQualityCurrentImage, 3, -5));
  EXPECT_EQ(QImage(QString::fromStdString(file("small.png"))).size(), QSize(16, 16));
}

TEST_F(LiveViewExportTest, RefusalsSayWhyBeforeAnyRender) {
  ScopedAlertRecorder alerts;
  EXPECT_FALSE(ExportLiveViewImage(file("huge.png"), 3, kQualityHigh, 200000, 200000));
  EXPECT_TRUE(alerts.sawMessage("Unable to export the 3D image."));
  alerts.shown.clear();
  EXPECT_FALSE(ExportLiveViewImage(file("x.png"), 7, kQualityCurrentImage, 64, 64));
  EXPECT_TRUE(alerts.sawMessage("Unable to export the 3D image."));
  alerts.shown.clear();
  EXPECT_FALSE(ExportLiveViewImage("/nonexistent-folder/x.png", 3, kQualityCurrentImage, 64, 64));
  EXPECT_TRUE(alerts.sawMessage("Unable to export the 3D image."));
}

TEST_F(LiveViewExportTest, ThePanelTakesItsFieldsAndCurrentImageDisablesThem) {
  QComboBox* quality = controller->renderQualityPopUpButton();
  QComboBox* format = controller->imageFormatPopUpButton();
  ASSERT_EQ(format->count(), 2);
  EXPECT_EQ(format->itemData(0).toInt(), 0);
  EXPECT_EQ(format->itemData(1).toInt(), 3);
  const std::string path = file("panel.png");
  controller->chooseExportPath = [&] {
    // The fields show the view's size; typed sizes below 16 or no number give 16.
    EXPECT_EQ(controller->exportImageWidthText()->text().toInt(), controller->liveViewOGLViewBounds().width());
    controller->exportImageWidthText()->setText("abc");
    controller->exportImageHeightText()->setText("7");
    return path;
  };
  format->setCurrentIndex(1);
  quality->setCurrentIndex(1);
  controller->displayExport3DSavePanel();
  EXPECT_TRUE(controller->exportImageWidthText()->isEnabled());
  EXPECT_EQ(QImage(QString::fromStdString(path)).size(), QSize(16, 16));

  // A size typed with a fraction exports at its whole part.
  controller->chooseExportPath = [&] {
    controller->exportImageWidthText()->setText("64.7");
    controller->exportImageHeightText()->setText("40.2");
    return file("fraction.png");
  };
  controller->displayExport3DSavePanel();
  EXPECT_EQ(QImage(QString::fromStdString(file("fraction.png"))).size(), QSize(64, 40));

  quality->setCurrentIndex(0);
  controller->chooseExportPath = [&] { return file("current.png"); };
  controller->displayExport3DSavePanel();
  EXPECT_FALSE(controller->exportImageWidthText()->isEnabled());
  EXPECT_EQ(QImage(QString::fromStdString(file("current.png"))).size(), controller->liveViewOGLViewBounds().size());
  controller->chooseExportPath = [] { return std::string(); };
  controller->displayExport3DSavePanel();  // cancelled: nothing
  controller->chooseExportPath = nullptr;
}

TEST_F(LiveViewExportTest, PrintingToPdfGivesOnePageWithTheImage) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const std::string path = file("view.pdf");
  printer.setOutputFileName(QString::fromStdString(path));
  ASSERT_TRUE(controller->print3DLiveViewUsingQuality(kQualityLow, QSize(200, 150), &printer));
  QFile pdf(QString::fromStdString(path));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  const QByteArray bytes = pdf.readAll();
  EXPECT_TRUE(bytes.startsWith("%PDF"));
  EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 1) << bytes.count("/Type /Page");
  EXPECT_TRUE(bytes.contains("/Subtype /Image"));
  EXPECT_EQ(gPrinting3DView, 0);
}

// A printed image takes a point per pixel; one larger than the page runs over several pages,
// as many across and down as it needs.
TEST_F(LiveViewExportTest, APrintedImageLargerThanThePageIsSplitOverPages) {
  const struct {
    QSize size;
    int pages;
  } cases[] = {{QSize(500, 700), 1}, {QSize(541, 700), 2}, {QSize(1000, 1500), 6}};
  for (const auto& c : cases) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(36, 36, 36, 36), QPageLayout::Point);  // 540 x 720 points
    const std::string path = file("pages.pdf");
    printer.setOutputFileName(QString::fromStdString(path));
    ASSERT_TRUE(controller->print3DLiveViewUsingQuality(kQualityCurrentImage, c.size, &printer)) << c.pages;
    QFile pdf(QString::fromStdString(path));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), c.pages) << c.size.width();
  }
}

TEST_F(LiveViewExportTest, TheVrmlMenuItemWritesTheModelWithTheWindowHidden) {
  controller->orderOut();
  const std::string path = file("model.wrl");
  Win32EventHandler::sharedEventHandler()->chooseVRMLSavePath = [&] { return path; };
  window->planViewActions().perform(kTagExportVRML);
  Win32EventHandler::sharedEventHandler()->chooseVRMLSavePath = nullptr;
  QFile wrl(QString::fromStdString(path));
  ASSERT_TRUE(wrl.open(QIODevice::ReadOnly));
  EXPECT_TRUE(wrl.readAll().startsWith("#VRML V2.0 utf8\nViewpoint {position 0 "));
  EXPECT_FALSE(controller->isVisible());  // hidden again after the export
}

}  // namespace
