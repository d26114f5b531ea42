// The 3D view exported as an image file at a chosen size and quality.
#include <gtest/gtest.h>

// The wall records first: their field "slots" is a word Qt's headers take for themselves.
#include "model/Attachments.h"
#include "model/WallFields.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTimer>
#include <QLineEdit>
#include <QPageLayout>
#include <QPushButton>
#include <QButtonGroup>
#include <QPrinter>
#include <QImage>
#include <QImageReader>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTest>
#include <QTemporaryDir>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "AllocationWatch.h"
#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "LiveViewTestSupport.h"
#include "RedWalls.h"
#include "building3d/PlaneObjects.h"
#include "app/LiveViewController.h"
#include "app/LiveViewExport.h"
#include "app/LiveViewOGLView.h"
#include "app/LiveViewSheets.h"
#include "app/ZLKDocument.h"
#include "inspectors/SheetController.h"
#include "app/PlanViewActions.h"
#include "app/Win32EventHandler.h"
#include "app/ZLKWindowController.h"
#include "model/Services.h"
#include "platform/Alerts.h"
#include "render3d/SceneFrame.h"
#include "render3d/ShadowRender.h"

namespace {

// Pages of a PDF file (its page tree node left out).
int PdfPages(const std::string& path) {
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::ReadOnly)) return 0;
  const QByteArray data = f.readAll();
  int pages = 0;
  for (qsizetype at = data.indexOf("/Type /Page"); at >= 0; at = data.indexOf("/Type /Page", at + 1))
    if (data.mid(at, 12) != "/Type /Pages") ++pages;
  return pages;
}

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

// "Current Image" exports the frame the view shows (a shadow render's is kept and shown
// without a new render), not a fresh render that could differ from it; another size, or a
// view about to render again, takes a new render.
TEST_F(LiveViewExportTest, CurrentImageIsTheFrameTheViewShows) {
  ASSERT_EQ(gRefreshRender, 0);
  // The shown frame is red; a render now would be green.
  ds->wireframeBackgroundColor() = RGBColor{0, 65535, 0};
  ds->wireframeLotColor() = RGBColor{0, 65535, 0};
  const QSize shown = controller->liveViewOGLView()->size() * controller->liveViewOGLView()->devicePixelRatio();
  const int rendered = controller->liveViewOGLView()->renderCount();
  const std::string path = file("current.png");
  ASSERT_TRUE(ExportLiveViewImage(path, 3, kQualityCurrentImage, shown.width(), shown.height()));
  QImage read(QString::fromStdString(path));
  ASSERT_EQ(read.size(), shown);
  EXPECT_TRUE(Red(read.pixel(0, 0)) && Red(read.pixel(shown.width() - 1, shown.height() - 1)));
  EXPECT_EQ(controller->liveViewOGLView()->renderCount(), rendered);

  auto green = [](QRgb p) { return qGreen(p) >= 250 && qRed(p) <= 5; };
  ASSERT_TRUE(ExportLiveViewImage(path, 3, kQualityCurrentImage, 50, 40));
  read = QImage(QString::fromStdString(path));
  ASSERT_EQ(read.size(), QSize(50, 40));
  EXPECT_TRUE(green(read.pixel(0, 0)));

  gRefreshRender = 1;
  ASSERT_TRUE(ExportLiveViewImage(path, 3, kQualityCurrentImage, shown.width(), shown.height()));
  read = QImage(QString::fromStdString(path));
  ASSERT_EQ(read.size(), shown);
  EXPECT_TRUE(green(read.pixel(0, 0)));
}

// The export panels start in the design's folder with its name; an untitled design's in the
// home folder as "Untitled", never in the process's working folder.
TEST_F(LiveViewExportTest, ExportPanelsStartAtTheDesignsFolderAndName) {
  ZLKDocument* document = AppController::mainWindowDocument();
  ASSERT_NE(document, nullptr);
  const std::string saved = document->fileName();
  document->setFileName(folder + "/My House.casa");
  EXPECT_EQ(ExportStartPath("wrl"), QString::fromStdString(folder + "/My House.wrl"));
  EXPECT_EQ(ExportStartPath(QString()), QString::fromStdString(folder + "/My House"));
  // Only the last suffix goes; a name that is nothing but a suffix is kept whole.
  document->setFileName(folder + "/My.House.casa");
  EXPECT_EQ(ExportStartPath("png"), QString::fromStdString(folder + "/My.House.png"));
  document->setFileName(folder + "/.casa");
  EXPECT_EQ(ExportStartPath("png"), QString::fromStdString(folder + "/.casa.png"));
  document->setFileName("");
  EXPECT_EQ(ExportStartPath("png"), QDir(QDir::homePath()).filePath("Untitled.png"));
  document->setFileName(saved);
}

// An image fitted to a page fills it one way and is centred the other, whichever way each
// of them is long; nothing is fitted to or from an empty size.
TEST(FitImageToPage, FillsOneWayAndCentresTheOther) {
  const struct {
    QSizeF image, page;
    QRectF fitted;
  } cases[] = {
      {{400, 200}, {100, 100}, {0, 25, 100, 50}},    {{200, 400}, {100, 100}, {25, 0, 50, 100}},
      {{100, 50}, {300, 600}, {0, 225, 300, 150}},   {{50, 100}, {600, 300}, {225, 0, 150, 300}},
      {{300, 600}, {100, 50}, {37.5, 0, 25, 50}},    {{600, 300}, {50, 100}, {0, 37.5, 50, 25}},
      {{0, 100}, {100, 100}, {}},                    {{100, 100}, {100, 0}, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FitImageToPage(c.image, c.page), c.fitted)
        << c.image.width() << " x " << c.image.height() << " on " << c.page.width() << " x " << c.page.height();
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

// The image is the view the right way up and the right way round: a red wall left of the
// middle shows on the left, the sky at the top and the lawn at the bottom, in a landscape and
// a portrait image, taken from the frame the view shows and from a new render.
TEST_F(LiveViewExportTest, TheImageIsTheViewUprightAndUnmirrored) {
  ds->planBounds = FloatRect{-2400, -2400, 2400, 2400};
  red_walls::AddRedWall(model, {{-150, 1700}, {-20, 1700}});
  walkCamera(48);
  gRealTimeElevate = 0;
  RenderAllLayers();
  gRefreshRender = 1;
  controller->liveViewOGLView()->display();
  const QSize shown = controller->liveViewOGLView()->size() * controller->liveViewOGLView()->devicePixelRatio();
  const struct {
    int16_t quality;
    QSize size;
  } cases[] = {{kQualityCurrentImage, shown}, {kQualityLow, QSize(200, 120)}, {kQualityLow, QSize(120, 200)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.quality) + " " + std::to_string(c.size.width()) + " x " +
                 std::to_string(c.size.height()));
    const std::string path = file("upright.png");
    ASSERT_TRUE(ExportLiveViewImage(path, 3, c.quality, c.size.width(), c.size.height()));
    const QImage read(QString::fromStdString(path));
    ASSERT_EQ(read.size(), c.size);
    // Where the wall's red is, across the row a little under the horizon.
    int left = 0, right = 0;
    const int row = read.height() / 2 + 2;
    for (int x = 0; x < read.width(); ++x) {
      const QRgb p = read.pixel(x, row);
      if (qRed(p) > 2 * qGreen(p) + 20 && qRed(p) > 2 * qBlue(p) + 20) ++(x < read.width() / 2 ? left : right);
    }
    EXPECT_GT(left, 2);
    EXPECT_EQ(right, 0);
    // The sky above, the lawn below, at both edges.
    for (int x : {0, read.width() - 1}) {
      const QRgb top = read.pixel(x, 0), bottom = read.pixel(x, read.height() - 1);
      EXPECT_GT(qBlue(top), qGreen(top)) << x;
      EXPECT_GT(qGreen(bottom), qBlue(bottom)) << x;
    }
  }
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

}  // namespace

// Every byte the heap holds, and the most it held since a test began watching (sanitizer
// builds: the driver's buffers come from the same heap). Other builds watch the most memory
// the process has held in RAM since the watch began, which the kernel keeps for it.
extern "C" size_t __sanitizer_get_allocated_size(const volatile void* p) __attribute__((weak));
namespace heap_watch {
std::atomic<int64_t> current{0}, peak{0};
int64_t residentAtStart = 0;
void Note(const volatile void*, size_t size) {
  const int64_t now = current += static_cast<int64_t>(size);
  int64_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
}
void NoteFree(const volatile void* p) { current -= static_cast<int64_t>(__sanitizer_get_allocated_size(p)); }
// A field of /proc/self/status in bytes; -1 when it cannot be read.
int64_t StatusBytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field + ":", 0) == 0) return std::atoll(line.c_str() + field.size() + 1) * 1024;
  return -1;
}
bool Sanitized() {
  static const bool installed = __sanitizer_install_malloc_and_free_hooks && __sanitizer_get_allocated_size &&
                                __sanitizer_install_malloc_and_free_hooks(Note, NoteFree) != 0;
  return installed;
}
bool Watch() {
  current = 0;
  peak = 0;
  if (Sanitized()) return true;
  // Writing 5 to clear_refs starts the high-water mark afresh from what is resident now.
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.close();
  residentAtStart = StatusBytes("VmRSS");
  return clear.good() && residentAtStart > 0;
}
// The peak starts again from what is held now; Peak() still counts from the watch's start.
void RestartPeak() {
  if (Sanitized()) {
    peak = current.load();
    return;
  }
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}
// What is held now above what was held when the watch began (sanitizer builds; -1 in others,
// whose allocator may keep freed memory resident).
int64_t Held() { return Sanitized() ? current.load() : -1; }
// The most the export took above what was held when the watch began.
int64_t Peak() {
  if (Sanitized()) return peak.load();
  return StatusBytes("VmHWM") - residentAtStart;
}
}  // namespace heap_watch

namespace {

// Measured from a renderer that holds no buffers, so that every one the export needs is made
// anew and counted; the bytes above those held before, or -1 when nothing can be watched.
int64_t ExportPeak(LiveViewController* controller, const std::string& path, int format, int16_t quality,
                   int32_t width, int32_t height = 0) {
  if (height <= 0) height = width;
  LiveViewOGLView* view = controller->liveViewOGLView();
  view->makeCurrent();
  ReleaseRenderTarget();
  // The driver frees the buffers of the deleted framebuffers only once it draws into another
  // one: here, not in the export measured.
  QOpenGLContext::currentContext()->functions()->glBindFramebuffer(GL_FRAMEBUFFER, view->defaultFramebufferObject());
  glClear(GL_COLOR_BUFFER_BIT);
  glFinish();
  view->doneCurrent();
  const bool watching = heap_watch::Watch();
  EXPECT_TRUE(ExportLiveViewImage(path, format, quality, width, height)) << width << " x " << height;
  return watching ? heap_watch::Peak() : -1;
}

// A closed square house of red walls, 400 a side, built in the 3D view and seen from above and
// in front in the solid mode with the sun on, so that every export renders its shadows.
void BuildSunlitHouse(ZLKDocumentModel* model, DocState* ds, LiveViewController* controller) {
  red_walls::AddRedWall(model, {{-200, -200}, {200, -200}, {200, 200}, {-200, 200}, {-200, -200}});
  ds->navigationMode = kNavWalkThrough;
  ds->controlledNavigation() = 1;
  ds->orthoView() = 0;
  ds->renderMode() = kRenderSolid;
  ds->walkEyePoint() = FloatPoint{0, 1300};
  ds->walkEyeHeight() = 900;
  ds->walkPitchAngle() = 35;
  ds->sunlightOn() = 1;
  RenderAllLayers();
  gRefreshRender = 1;
  controller->liveViewOGLView()->display();
}

// The export counts every buffer it keeps: an export takes no more memory a pixel than it
// counts, so the largest size it accepts stays within its budget (8192 x 8192 was accepted and
// took 5.9 GB against 2 GB; with the shadow render's buffers 4939 x 4939 was accepted and
// peaked 2,725 MiB above its start; a fine sun grid at 1200 x 900 took twice what its pixels
// were counted).
TEST_F(LiveViewExportTest, AnExportTakesNoMoreMemoryThanItCounts) {
  EXPECT_FALSE(ExportSizeFits(8192, 8192));
  EXPECT_FALSE(ExportSizeFits(4939, 4939));
  // The largest square the budget holds, counted as above, is taken (where the driver allows
  // it) and one a pixel wider or taller is not.
  const auto square = static_cast<int32_t>(
      std::sqrt(double((kExportMemoryBudget - kMaxSunGridBytes) / kExportBytesPerPixel)));
  EXPECT_LE(ExportBytes(square, square), kExportMemoryBudget);
  EXPECT_FALSE(ExportSizeFits(square + 1, square));
  EXPECT_FALSE(ExportSizeFits(square, square + 1));
  if (!ExportSizeFits(square, square)) GTEST_SKIP() << "the driver renders no image this large";
  // The largest square itself without shadows (the empty wireframe design), at the lowest
  // quality (the buffers do not depend on the passes), peaks within the budget.
  const int64_t largest = ExportPeak(controller, file("largest.png"), 3, kQualityLow, square);
  if (largest < 0) GTEST_SKIP() << "the memory of an export cannot be watched in this build";
  EXPECT_LE(largest, int64_t(kExportMemoryBudget));
  EXPECT_GT(largest, int64_t(16) * square * square);  // the renderer's own buffers were counted
  // Smaller sizes in two more formats and the highest quality take no more than counted.
  const struct {
    int format;
    int16_t quality;
    int32_t side;
  } exports[] = {{0, kQualityExcellent, 1300}, {4, kQualityHigh, 1400}};
  for (const auto& e : exports) {
    SCOPED_TRACE(e.format);
    const int64_t peak = ExportPeak(controller, file("measured" + std::to_string(e.format)), e.format, e.quality, e.side);
    EXPECT_GT(peak, int64_t(16) * e.side * e.side);
    EXPECT_LE(uint64_t(peak), ExportBytes(e.side, e.side));
  }

  // With the sun on every quality renders shadows. The finest sun grid at a moderate size peaks
  // within the count.
  BuildSunlitHouse(model, ds, controller);
  ASSERT_NE(gGLPlaneObjects, nullptr);
  ds->sunShadowQuality() = 6;
  const int64_t finest = ExportPeak(controller, file("finest.png"), 3, kQualityLow, 1200, 900);
  EXPECT_LE(uint64_t(finest), ExportBytes(1200, 900));
  // With a sun grid of one tile every buffer grows with the image: a pixel's share, measured
  // at a size large enough that what does not grow with it (and the few MiB by which the peak
  // of a render varies) weighs little. The largest square with shadows takes a minute under the
  // sanitizers: there its peak follows from that share; elsewhere it is rendered and measured.
  ds->sunShadowQuality() = 1;
  const int64_t moderate = ExportPeak(controller, file("sunlit.png"), 3, kQualityHigh, 2000, 1500);
  const double perPixel = double(moderate) / (2000.0 * 1500);
  EXPECT_LE(perPixel, double(kExportBytesPerPixel));
  if (heap_watch::Sanitized()) {
    EXPECT_GT(perPixel, 90);  // the shadow render's buffers were made and counted
    EXPECT_LE(perPixel * square * square + double(kMaxSunGridBytes), double(kExportMemoryBudget));
  } else {
    const int64_t sunlitLargest = ExportPeak(controller, file("sunlit-largest.png"), 3, kQualityLow, square);
    EXPECT_LE(sunlitLargest, int64_t(kExportMemoryBudget));
    EXPECT_GT(sunlitLargest, int64_t(60) * square * square);
  }
  ds->sunShadowQuality() = -1;
  ds->sunlightOn() = 0;
}

// What a sunlit export needed only while it was made goes with it: the shadow render's spare
// buffers, the anti-aliasing sum of its size and their read-backs would otherwise stay beside
// the next export's. Held after it is what the renderer keeps for the view's next frame (its
// framebuffer and the kept frame, 12 bytes a pixel) and what the GL driver keeps for frames of
// that size: the driver's share varies with how its threads ran (on a busy machine it held 17
// bytes a pixel more), so the heap is only held to the bound a stacked export would pass, and
// the renderer's own buffers are counted exactly. A second, smaller export peaks within its
// own count.
TEST_F(LiveViewExportTest, TwoLargeExportsInARowDoNotStack) {
  BuildSunlitHouse(model, ds, controller);
  ASSERT_NE(gGLPlaneObjects, nullptr);
  ds->sunShadowQuality() = 1;  // a sun grid of one tile: every buffer grows with the image
  const int64_t first = ExportPeak(controller, file("first.png"), 3, kQualityHigh, 1400, 1000);
  if (first < 0) GTEST_SKIP() << "the memory of an export cannot be watched in this build";
  EXPECT_EQ(shadow::SpareBufferBytes(), 0u);
  EXPECT_EQ(FrameScratchBytes(), 0u);
  const int64_t held = heap_watch::Held();
  if (held >= 0) EXPECT_LE(held, int64_t(12 + 24) * 1400 * 1000 + (8 << 20));
  heap_watch::RestartPeak();
  EXPECT_TRUE(ExportLiveViewImage(file("second.png"), 3, kQualityLow, 1000, 700));
  // Above what was held after the first (the renderer's frame of the first until it is
  // replaced, the driver's share): the second's pixels as counted and what does not grow with
  // the size (16 MiB).
  const int64_t kept = held >= 0 ? held : int64_t(12) * 1400 * 1000;
  EXPECT_LE(heap_watch::Peak() - kept, int64_t(kExportBytesPerPixel) * 1000 * 700 + (16 << 20));
  EXPECT_EQ(FrameScratchBytes(), 0u);
  ds->sunShadowQuality() = -1;
  ds->sunlightOn() = 0;
}

// A size too large, a folder that cannot be written, a full disk, a render or encoding that
// failed and a missing name or format are each told in their own words; the disk-space advice
// is kept for the full disk and a write that failed for no reason given.
TEST_F(LiveViewExportTest, EachRefusalSaysWhatWasRefused) {
  ScopedAlertRecorder alerts;
  EXPECT_FALSE(ExportLiveViewImage(file("huge.png"), 3, kQualityHigh, 8192, 8192));
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to export the 3D image.");
  EXPECT_EQ(alerts.shown[0].informative,
            "An image of 8192 x 8192 pixels is larger than the 3D view can render. Please choose a smaller size.");
  alerts.shown.clear();
  // A folder that may not be written (the system's own as the superuser, who may write into
  // any folder of ours).
  QTemporaryDir dir;
  const std::string locked = dir.filePath("locked").toStdString();
  std::filesystem::create_directories(locked);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const std::string into = (geteuid() == 0 ? std::string("/sys") : locked) + "/x.png";
  EXPECT_FALSE(ExportLiveViewImage(into, 3, kQualityCurrentImage, 64, 64));
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].informative,
            "You do not have permission to write in that folder. Please choose another folder.");
  alerts.shown.clear();
  EXPECT_FALSE(ExportLiveViewImage("/nonexistent-folder/x.png", 3, kQualityCurrentImage, 64, 64));
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].informative, "The folder could not be found. Please choose another folder.");
  std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
  alerts.shown.clear();

  // No name, a format the export does not write, and a render that could not be made (no
  // design to render; the last render having been interrupted does not make it one).
  const struct {
    std::string path;
    int format;
    const char* text;
  } refused[] = {
      {"", 3, "No file name was chosen. Please choose a name for the image."},
      {file("x.png"), 7, "The image cannot be saved in that format. Please choose another format."},
      {file("x.png"), -1, "The image cannot be saved in that format. Please choose another format."},
  };
  for (const auto& r : refused) {
    EXPECT_FALSE(ExportLiveViewImage(r.path, r.format, kQualityCurrentImage, 64, 64));
    ASSERT_EQ(alerts.shown.size(), 1u) << r.text;
    EXPECT_EQ(alerts.shown[0].informative, r.text);
    alerts.shown.clear();
  }
  {
    CurrentDocumentScope none(nullptr);
    g3DViewPrintInterrupted = 1;
    EXPECT_FALSE(ExportLiveViewImage(file("x.png"), 3, kQualityHigh, 64, 64));
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, "Unable to export the 3D image.");
    EXPECT_EQ(alerts.shown[0].informative,
              "The 3D view could not render the image at that size. Please try a smaller size.");
    alerts.shown.clear();
  }
  EXPECT_FALSE(QFile::exists(QString::fromStdString(file("x.png"))));
  EXPECT_EQ(ExportRefusalText(ExportRefusal::kNotEncoded, 64, 64),
            "The image could not be encoded in that format. Please choose another format.");

  // What each failure of the write says.
  const struct {
    FileFailure failure;
    const char* text;
  } writes[] = {
      {FileFailure::kDiskFull, "Please ensure you have adequate disk space and try again."},
      {FileFailure::kReadOnlyDisk, "The disk is read-only. Please choose another folder."},
      {FileFailure::kReadOnlyFile, "The file is read-only. Please choose another name or folder."},
      {FileFailure::kPermissionDenied,
       "You do not have permission to write in that folder. Please choose another folder."},
      {FileFailure::kNotAFile, "A folder or other item of that name is in the way. Please choose another name."},
      {FileFailure::kOther, "Please ensure you have adequate disk space and try again."},
  };
  for (const auto& w : writes)
    EXPECT_EQ(ExportRefusalText(ExportRefusalOfWrite(w.failure), 64, 64), w.text) << w.text;
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

// Each format's file type, the first and the last, and none past either end; in the panel the
// type and the suffix follow the format chosen in it, also when it changes while the panel is
// open. Cancelled, the panel writes nothing and gives its controls back for the next time.
TEST_F(LiveViewExportTest, ThePanelsSuffixFollowsTheFormatChosenInIt) {
  const char* const filters[kImageFormatCount] = {"BMP (*.bmp *.BMPf)", "GIF (*.gif)", "JPEG (*.jpg *.jpeg *.jpe)",
                                                  "PNG (*.png)", "TIFF (*.tiff *.tif)"};
  for (int tag = 0; tag < kImageFormatCount; ++tag)
    EXPECT_EQ(LiveViewController::exportNameFilters(tag), QStringList{filters[tag]}) << tag;
  EXPECT_TRUE(LiveViewController::exportNameFilters(-1).isEmpty());
  EXPECT_TRUE(LiveViewController::exportNameFilters(kImageFormatCount).isEmpty());

  QComboBox* format = controller->imageFormatPopUpButton();
  controller->chooseExportPath = nullptr;
  for (int opening = 0; opening < 2; ++opening) {
    SCOPED_TRACE(opening);
    format->setCurrentIndex(opening == 0 ? 0 : 1);
    struct Seen {
      QString suffix;
      QStringList filters;
    };
    std::vector<Seen> seen;
    bool inPanel = false;
    QTimer::singleShot(0, controller, [&] {
      auto* panel = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!panel) return;
      inPanel = format->window() == panel;
      seen.push_back({panel->defaultSuffix(), panel->nameFilters()});
      const int other = 1 - format->currentIndex();
      format->setCurrentIndex(other);
      Q_EMIT format->activated(other);
      seen.push_back({panel->defaultSuffix(), panel->nameFilters()});
      panel->reject();
    });
    controller->displayExport3DSavePanel();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(inPanel);
    const Seen bmp{"bmp", {filters[0]}}, png{"png", {filters[3]}};
    const Seen& first = opening == 0 ? bmp : png;
    const Seen& second = opening == 0 ? png : bmp;
    EXPECT_EQ(seen[0].suffix, first.suffix);
    EXPECT_EQ(seen[0].filters, first.filters);
    EXPECT_EQ(seen[1].suffix, second.suffix);
    EXPECT_EQ(seen[1].filters, second.filters);
    EXPECT_EQ(format->window(), format->parentWidget());  // back out of the closed panel
  }
  EXPECT_TRUE(QDir(QString::fromStdString(folder)).entryList({"*.bmp", "*.png"}, QDir::Files).isEmpty());
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
// as many across and down as it needs, on a portrait and on a landscape page; a page range
// prints only its pages.
TEST_F(LiveViewExportTest, APrintedImageLargerThanThePageIsSplitOverPages) {
  const struct {
    QSize size;
    int pages;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    int from = 0, to = 0;
  } cases[] = {{QSize(500, 700), 1},
               {QSize(540, 720), 1},
               {QSize(541, 700), 2},
               {QSize(541, 300), 2},
               {QSize(300, 721), 2},
               {QSize(1000, 1500), 6},
               // 720 x 540 points: the same images across the page's other way.
               {QSize(700, 500), 1, QPageLayout::Landscape},
               {QSize(700, 541), 2, QPageLayout::Landscape},
               {QSize(721, 300), 2, QPageLayout::Landscape},
               {QSize(1500, 1000), 6, QPageLayout::Landscape},
               // Pages 2 to 3 of six, and from the fifth to the last.
               {QSize(1000, 1500), 2, QPageLayout::Portrait, 2, 3},
               {QSize(1000, 1500), 2, QPageLayout::Portrait, 5, 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.size.width()) + " x " + std::to_string(c.size.height()) +
                 (c.orientation == QPageLayout::Landscape ? " landscape" : " portrait") + " pages " +
                 std::to_string(c.from) + "-" + std::to_string(c.to));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(c.orientation);
    printer.setPageMargins(QMarginsF(36, 36, 36, 36), QPageLayout::Point);  // 540 x 720 points
    if (c.from) printer.setFromTo(c.from, c.to);
    const std::string path = file("pages.pdf");
    printer.setOutputFileName(QString::fromStdString(path));
    ASSERT_TRUE(controller->print3DLiveViewUsingQuality(kQualityCurrentImage, c.size, &printer)) << c.pages;
    QFile pdf(QString::fromStdString(path));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), c.pages) << c.size.width();
  }
}

// The print sheet's OK runs the print panel on the design's paper: "Fit to Page" on a design
// never printed before takes the printer's default paper and prints one page; "3D View Size"
// prints the view a pixel to a point, on one page when it fits the page; a page with no room
// says why.
TEST_F(LiveViewExportTest, ThePrintSheetPrintsThroughThePanelOnTheDesignsPaper) {
  ZLKDocument* document = AppController::mainWindowDocument();
  ASSERT_NE(document, nullptr);
  document->printInfo() = QPageLayout();  // never printed
  const auto savedRunner = ZLKDocument::printPanelRunner();
  const std::string path = file("sheet.pdf");
  int panels = 0;
  QPageLayout panelLayout;
  ZLKDocument::printPanelRunner() = [&](QPrinter& printer, QWidget*) {
    ++panels;
    panelLayout = printer.pageLayout();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    return true;
  };
  auto printWith = [&](int sizeTag) {
    QFile::remove(QString::fromStdString(path));
    controller->showPrint3DPropertiesPanel();
    auto* sheet = qobject_cast<LV3DPrintController*>(SheetController::attachedSheet(controller->window()));
    if (!sheet) return false;
    sheet->printSizeButtons->button(sizeTag)->setChecked(true);
    sheet->renderQualityPopUpButton->setCurrentIndex(kQualityCurrentImage);
    sheet->okButton()->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return true;
  };
  ScopedAlertRecorder alerts;
  ASSERT_TRUE(printWith(kPrintSizeFitPage));
  EXPECT_EQ(panels, 1);
  EXPECT_TRUE(panelLayout.isValid());
  EXPECT_EQ(PdfPages(path), 1);
  EXPECT_TRUE(alerts.shown.empty());

  // The paper the panel left is the design's from now on: 3D View Size (320 x 240) fits
  // one letter page with half-inch margins.
  document->printInfo() = QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36),
                                      QPageLayout::Point);
  ASSERT_TRUE(printWith(kPrintSizeView));
  EXPECT_EQ(panels, 2);
  EXPECT_EQ(panelLayout.pageSize().id(), QPageSize::Letter);
  EXPECT_EQ(PdfPages(path), 1);
  EXPECT_TRUE(alerts.shown.empty());

  // Margins that leave no room to print: no panel, no file, a message.
  document->printInfo() = QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                      QPageLayout::Point);
  document->printInfo().setMode(QPageLayout::FullPageMode);
  document->printInfo().setMargins(QMarginsF(300, 10, 305, 10));
  ASSERT_TRUE(printWith(kPrintSizeFitPage));
  EXPECT_EQ(panels, 2);
  EXPECT_TRUE(alerts.sawMessage("Unable to print the 3D view."));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
  ZLKDocument::printPanelRunner() = savedRunner;
}

TEST_F(LiveViewExportTest, TheVrmlMenuItemWritesTheModelWithTheWindowHidden) {
  controller->orderOut();
  const std::string path = file("model.wrl");
  Win32EventHandler::sharedEventHandler()->chooseVRMLSavePath = [&] { return path; };
  window->planViewActions().perform(kTagExportVRML);
  Win32EventHandler::sharedEventHandler()->chooseVRMLSavePath = nullptr;
  QFile wrl(QString::fromStdString(path));
  ASSERT_TRUE(wrl.open(QIODevice::ReadOnly));
  EXPECT_TRUE(wrl.readAll().startsWith("#VRML V2.0 utf8\nTransform {\nscale 0.0127 0.0127 0.0127\n"));
  EXPECT_FALSE(controller->isVisible());  // hidden again after the export
}

}  // namespace
