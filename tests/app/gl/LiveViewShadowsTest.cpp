// Render Shadows from the 3D window on a new design's sun: the house's shadow falls on the
// ground where the sun is blocked, and the status line tells what the render left out; the
// shadowed view printed fitted to the page is the view as shown; the renders keep the window's
// width.
#include <gtest/gtest.h>

// The wall records first: their field "slots" is a word Qt's headers take for themselves.
#include "model/Attachments.h"
#include "model/WallFields.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMainWindow>
#include <QScreen>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "LiveViewTestSupport.h"
#include "app/x11/SettleWindows.h"
#include "RedWalls.h"
#include "app/AppController.h"
#include "app/LiveViewController.h"
#include "app/LiveViewExport.h"
#include "app/LiveViewOGLView.h"
#include "app/LiveViewSheets.h"
#include "app/ZLKDocument.h"
#include "inspectors/SheetController.h"
#include "building3d/PlaneObjects.h"
#include "render3d/ShadowRender.h"

namespace {

using namespace red_walls;

class LiveViewShadowsTest : public LiveViewTest {
 protected:
  // A closed square house of red walls, 400 a side, round the plan's middle, seen from above
  // and in front so that the ground all round it is in view.
  void buildHouseAndCamera() {
    AddRedWall(model, {{-200, -200}, {200, -200}, {200, 200}, {-200, 200}, {-200, -200}});
    ds->navigationMode = kNavWalkThrough;
    ds->controlledNavigation() = 1;
    ds->orthoView() = 0;
    ds->renderMode() = kRenderSolid;
    ds->walkEyePoint() = FloatPoint{0, 1300};
    ds->walkViewAngle() = 0;
    ds->walkEyeHeight() = 900;
    ds->walkPitchAngle() = 35;
  }

  // The house as a box in GL coordinates (y up), from its wall faces.
  struct Box {
    double lo[3] = {1e30, 1e30, 1e30}, hi[3] = {-1e30, -1e30, -1e30};
  };
  static Box HouseBox() {
    Box b;
    for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
      if (po->actual3DType != kObjWall) continue;
      for (const Plane* p = po->planes; p; p = p->next)
        for (int32_t i = 0; i < p->vertexCount; ++i) {
          const double v[3] = {p->vertices[i].x, -p->vertices[i].y, p->vertices[i].z};
          for (int k = 0; k < 3; ++k) b.lo[k] = std::min(b.lo[k], v[k]), b.hi[k] = std::max(b.hi[k], v[k]);
        }
    }
    return b;
  }
  // The frame's mean luminance over 9 x 9 pixels round where the ground point (x, ground, z)
  // shows in the last shadow render (the texture's joints even out); -1 when out of view or
  // hidden by the house.
  static double LuminanceAt(const QImage& frame, double x, double y, double z) {
    double wx, wy, wz;
    if (!gluProject(x, y, z, gCamMVMatrix, gCamProjMatrix, gCamViewPort, &wx, &wy, &wz)) return -1;
    // The kept frame is drawn from the view's bottom-left corner at the size it was rendered.
    const int px = static_cast<int>(wx), py = frame.height() - 1 - static_cast<int>(wy);
    if (px < 4 || wy < 4 || px >= std::min(frame.width(), int(gCamViewPort[2])) - 4 ||
        wy >= std::min(frame.height(), int(gCamViewPort[3])) - 4)
      return -1;
    double sum = 0;
    for (int dy = -4; dy <= 4; ++dy)
      for (int dx = -4; dx <= 4; ++dx) {
        const QRgb c = frame.pixel(px + dx, py + dy);
        if (qRed(c) > qGreen(c) + 40) return -1;  // the red house stands in front of it
        sum += qGray(c);
      }
    return sum / 81;
  }
};

// A new design's sun stands 20 degrees high: its shadows are rendered, not left out.
TEST_F(LiveViewShadowsTest, TheDefaultLowSunCastsTheHousesShadowOnTheGround) {
  ASSERT_FLOAT_EQ(ds->sunOverheadAngle(), 20);
  ASSERT_EQ(ds->sunShadowQuality(), -1);
  buildHouseAndCamera();
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  ASSERT_TRUE(showLiveViewAt(480, 400));
  LiveViewOGLView* view = controller->liveViewOGLView();
  // The window settles at its size before the renders.
  ASSERT_TRUE(SettleWindows());
  gRefreshRender = 1;
  view->display();
  ds->sunlightOn() = 1;
  for (float height : {20.0f, 45.0f, 8.0f}) {
    ds->sunOverheadAngle() = height;
    controller->renderShadows();
    QApplication::processEvents();
    const std::string status = controller->statusString().toStdString();
    EXPECT_EQ(status.find("left out"), std::string::npos) << height << ": " << status;
    EXPECT_EQ(status.find("could not"), std::string::npos) << height << ": " << status;
    const QImage frame = view->grabFramebuffer();
    ASSERT_FALSE(frame.isNull());
    // Towards the sun, along the ground: the sun view's eye axis in world coordinates.
    const Box house = HouseBox();
    const double sx = gSunMVMatrix[2], sz = gSunMVMatrix[10], len = std::hypot(sx, sz);
    ASSERT_GT(len, 0.1) << height;
    const double ux = sx / len, uz = sz / len, ground = house.lo[1];
    const double shadowLength = (house.hi[1] - house.lo[1]) / std::tan(height * M_PI / 180);
    // Behind the house from the sun, inside its shadow; and ground the sun reaches: before the
    // house, and beside it out of the shadow's reach.
    const double away = 210 + std::min(shadowLength, 400.0) * 0.4;
    std::vector<double> shaded, lit;
    for (double side : {-60.0, 0.0, 60.0}) {
      const double v = LuminanceAt(frame, -ux * away - uz * side, ground, -uz * away + ux * side);
      if (v >= 0) shaded.push_back(v);
    }
    for (double d : {-450.0, 450.0})
      for (double along : {-100.0, 0.0, 100.0}) {
        const double v = LuminanceAt(frame, uz * d + ux * along, ground, -ux * d + uz * along);
        if (v >= 0) lit.push_back(v);
      }
    for (double along : {320.0, 400.0}) {
      const double v = LuminanceAt(frame, ux * along, ground, uz * along);
      if (v >= 0) lit.push_back(v);
    }
    ASSERT_GE(shaded.size(), 2u) << height;
    ASSERT_GE(lit.size(), 4u) << height;
    // Every shaded sample darker than every lit one, by a clear margin.
    const double darkest = *std::min_element(lit.begin(), lit.end());
    const double brightest = *std::max_element(shaded.begin(), shaded.end());
    EXPECT_LT(brightest, darkest * 0.85) << height;
  }
}

// What a one-page PDF of Qt's writer shows: its first image and where the page draws it (in
// points from the page's bottom left, as the content stream's matrices place the unit square).
struct PrintedPicture {
  QImage image;
  QRectF placed;
  int pages = 0;
};
PrintedPicture ReadPrintedPicture(const QByteArray& pdf) {
  PrintedPicture out;
  for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
    if (pdf.mid(at, 12) != "/Type /Pages") ++out.pages;
  auto streamAfter = [&](qsizetype from) {
    const qsizetype begin = pdf.indexOf("stream\n", from) + 7, end = pdf.indexOf("endstream", begin);
    return begin >= 7 && end > begin ? pdf.mid(begin, end - begin) : QByteArray();
  };
  const qsizetype image = pdf.indexOf("/Subtype /Image");
  if (image < 0 || pdf.indexOf("/DCTDecode", image) < 0) return out;
  out.image = QImage::fromData(streamAfter(image), "JPEG").convertToFormat(QImage::Format_RGB32);
  // The page's content stream, flate-compressed: the matrices in force where the image is drawn.
  const qsizetype contents = pdf.indexOf("/Filter /FlateDecode");
  if (contents < 0) return out;
  // qUncompress wants the size to expect first, four bytes big-endian: a megabyte's room.
  const QByteArray packed = QByteArray("\x00\x10\x00\x00", 4) + streamAfter(contents);
  const QList<QByteArray> tokens = qUncompress(packed).simplified().split(' ');
  struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  };
  std::vector<Matrix> stack{Matrix{}};
  for (qsizetype i = 0; i < tokens.size(); ++i) {
    if (tokens[i] == "q") stack.push_back(stack.back());
    else if (tokens[i] == "Q" && stack.size() > 1) stack.pop_back();
    else if (tokens[i] == "cm" && i >= 6) {
      const Matrix m{tokens[i - 6].toDouble(), tokens[i - 5].toDouble(), tokens[i - 4].toDouble(),
                     tokens[i - 3].toDouble(), tokens[i - 2].toDouble(), tokens[i - 1].toDouble()};
      const Matrix n = stack.back();
      stack.back() = {m.a * n.a + m.b * n.c, m.a * n.b + m.b * n.d, m.c * n.a + m.d * n.c,
                      m.c * n.b + m.d * n.d, m.e * n.a + m.f * n.c + n.e, m.e * n.b + m.f * n.d + n.f};
    } else if (tokens[i] == "Do") {
      const Matrix& m = stack.back();
      out.placed = QRectF(QPointF(m.e, m.f), QPointF(m.e + m.a + m.c, m.f + m.b + m.d)).normalized();
      break;
    }
  }
  return out;
}

// Print 3D View with the current image fitted to the page, into the PDF file at path (which the
// test's print info names), read back.
void PrintCurrentImageFitted(LiveViewController* controller, const std::string& path, PrintedPicture* printed) {
  QFile::remove(QString::fromStdString(path));
  controller->showPrint3DPropertiesPanel();
  auto* sheet = qobject_cast<LV3DPrintController*>(SheetController::attachedSheet(controller->window()));
  ASSERT_NE(sheet, nullptr);
  sheet->printSizeButtons->button(kPrintSizeFitPage)->setChecked(true);
  sheet->renderQualityPopUpButton->setCurrentIndex(kQualityCurrentImage);
  sheet->okButton()->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QFile pdf(QString::fromStdString(path));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  *printed = ReadPrintedPicture(pdf.readAll());
}

// The mean difference of two images of one size, over the three channels.
double MeanDifference(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * a.width() * a.height());
}

// Print 3D View, Fit to Page: the view as the user sees it, its framing and its shadows, scaled
// to fill the page's width or height and centred, on one page, landscape and portrait.
TEST_F(LiveViewShadowsTest, FitToPagePrintsTheViewAsShown) {
  buildHouseAndCamera();
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  ZLKDocument* document = AppController::mainWindowDocument();
  ASSERT_NE(document, nullptr);
  const auto savedRunner = ZLKDocument::printPanelRunner();
  const std::string path = file("fit.pdf");
  ZLKDocument::printPanelRunner() = [&](QPrinter& printer, QWidget*) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    return true;
  };
  const struct {
    QSize window;
    QPageLayout::Orientation orientation;
  } cases[] = {{QSize(700, 420), QPageLayout::Portrait}, {QSize(420, 640), QPageLayout::Landscape}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.window.width());
    ASSERT_TRUE(showLiveViewAt(c.window.width(), c.window.height()));
    LiveViewOGLView* view = controller->liveViewOGLView();
    ASSERT_TRUE(SettleWindows());
    gRefreshRender = 1;
    view->display();
    ds->sunlightOn() = 1;
    const QImage plain = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    controller->renderShadows();
    QApplication::processEvents();
    const QImage shown = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), plain.size());
    ASSERT_GT(MeanDifference(shown, plain), 2.0);  // the shadows show

    document->printInfo() =
        QPageLayout(QPageSize(QPageSize::A4), c.orientation, QMarginsF(36, 36, 36, 36), QPageLayout::Point);
    PrintedPicture printed;
    ASSERT_NO_FATAL_FAILURE(PrintCurrentImageFitted(controller, path, &printed));
    EXPECT_EQ(printed.pages, 1);
    // The frame the view shows, shadows and all, at its own size and framing.
    ASSERT_EQ(printed.image.size(), shown.size());
    EXPECT_LT(MeanDifference(printed.image, shown), 3.0);
    EXPECT_GT(MeanDifference(printed.image, plain), MeanDifference(printed.image, shown) + 1.0);
    // Filling the printable width or height, centred, its proportions kept.
    const QSizeF paper = c.orientation == QPageLayout::Portrait ? QSizeF(595, 842) : QSizeF(842, 595);
    const QRectF printable(36, 36, paper.width() - 72, paper.height() - 72);
    const QRectF placed = printed.placed;
    EXPECT_NEAR(placed.width() / placed.height(), double(shown.width()) / shown.height(), 0.01);
    const bool wide = double(shown.width()) / shown.height() > printable.width() / printable.height();
    EXPECT_NEAR(wide ? placed.width() : placed.height(), wide ? printable.width() : printable.height(), 0.5);
    EXPECT_NEAR(placed.center().x(), paper.width() / 2, 0.5);
    EXPECT_NEAR(placed.center().y(), paper.height() / 2, 0.5);
  }
  ZLKDocument::printPanelRunner() = savedRunner;
}

// Render Shadows and Final Render leave the 3D window at the width the user gave it, a narrow
// one and a wide one alike, however long the status line's text: the text is shortened
// instead. The rendered frame then fills the view, the exported image and the printed page:
// its right-hand columns show the ground running on to the edge, as a plain render does.
TEST_F(LiveViewShadowsTest, RendersKeepTheWindowsWidthAndFillTheViewTheExportAndThePage) {
  buildHouseAndCamera();
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  ZLKDocument* document = AppController::mainWindowDocument();
  ASSERT_NE(document, nullptr);
  const auto savedRunner = ZLKDocument::printPanelRunner();
  const std::string printPath = file("render.pdf"), exportPath = file("render.png");
  ZLKDocument::printPanelRunner() = [&](QPrinter& printer, QWidget*) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(printPath));
    return true;
  };
  // How far the right-hand strip of an image differs in colour from the strip beside it: the
  // ground runs on to the edge, so only a band of another colour gives a step.
  auto rightEdgeStep = [](const QImage& image) {
    constexpr int kStrip = 24;
    auto mean = [&image](int from) {
      double sum[3] = {0, 0, 0};
      for (int y = 0; y < image.height(); ++y)
        for (int x = from; x < from + kStrip; ++x) {
          const QRgb c = image.pixel(x, y);
          sum[0] += qRed(c), sum[1] += qGreen(c), sum[2] += qBlue(c);
        }
      for (double& channel : sum) channel /= double(kStrip) * image.height();
      return std::vector<double>(sum, sum + 3);
    };
    const std::vector<double> edge = mean(image.width() - kStrip), beside = mean(image.width() - 2 * kStrip);
    double step = 0;
    for (int k = 0; k < 3; ++k) step = std::max(step, std::fabs(edge[k] - beside[k]));
    return step;
  };
  const QString longStatus = QStringLiteral("Rendering final (press Escape to cancel)");
  QMainWindow* window = controller->window();
  // The last size asks for less than the window's least width: it gets its least.
  for (const QSize size : {QSize(640, 460), QSize(448, 380), QSize(900, 520), QSize(1, 460)}) {
    const int width = size.width();
    SCOPED_TRACE(width);
    ASSERT_TRUE(showLiveViewAt(width, size.height()));
    ASSERT_TRUE(SettleWindows());
    const QSize given = window->size();
    if (width > 1) ASSERT_EQ(given.width(), width);
    LiveViewOGLView* view = controller->liveViewOGLView();
    ds->sunlightOn() = 1;
    gRefreshRender = 1;
    view->display();
    QApplication::processEvents();
    const QImage plain = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(plain.width(), view->width() * view->devicePixelRatio());
    // The ground reaches the right edge in an ordinary render.
    ASSERT_LT(rightEdgeStep(plain), 8.0);

    for (const bool final : {false, true}) {
      SCOPED_TRACE(final ? "Final Render" : "Render Shadows");
      if (final) controller->renderFinal();
      else controller->renderShadows();
      ASSERT_TRUE(SettleWindows());
      EXPECT_EQ(window->width(), given.width());
      EXPECT_EQ(window->height(), given.height());
      EXPECT_LE(window->frameGeometry().right(), QGuiApplication::primaryScreen()->geometry().right());
      const QImage shown = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
      EXPECT_EQ(shown.width(), plain.width());
      ASSERT_EQ(shown.height(), plain.height());
      EXPECT_LT(rightEdgeStep(shown), 8.0);
    }

    // The frame shown, exported as it is.
    QFile::remove(QString::fromStdString(exportPath));
    controller->imageFormatPopUpButton()->setCurrentIndex(controller->imageFormatPopUpButton()->findData(3));
    controller->renderQualityPopUpButton()->setCurrentIndex(kQualityCurrentImage);
    controller->chooseExportPath = [&] { return exportPath; };
    controller->displayExport3DSavePanel();
    controller->chooseExportPath = nullptr;
    const QImage exported(QString::fromStdString(exportPath));
    EXPECT_EQ(exported.width(), plain.width());
    ASSERT_EQ(exported.height(), plain.height());
    EXPECT_LT(rightEdgeStep(exported), 8.0);

    // And printed, fitted to the page.
    PrintedPicture printed;
    ASSERT_NO_FATAL_FAILURE(PrintCurrentImageFitted(controller, printPath, &printed));
    EXPECT_EQ(printed.image.width(), plain.width());
    ASSERT_EQ(printed.image.height(), plain.height());
    EXPECT_LT(rightEdgeStep(printed.image), 8.0);
    EXPECT_EQ(window->width(), given.width());

    // The longest status line: shortened to the window, told whole when asked for.
    controller->setLVStatusString(longStatus);
    ASSERT_TRUE(SettleWindows());
    EXPECT_EQ(window->width(), given.width());
    EXPECT_EQ(controller->statusString(), longStatus);
  }
  ZLKDocument::printPanelRunner() = savedRunner;
}

}  // namespace
