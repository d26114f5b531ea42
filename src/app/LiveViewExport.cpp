// Exports of the 3D window: the model as VRML, the view as an image file.
#include "app/LiveViewExport.h"

#include <gif_lib.h>

#include <QBuffer>
#include <QComboBox>
#include <QMainWindow>
#include <QFile>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QImageWriter>
#include <QOpenGLContext>
#include <algorithm>
#include <cmath>

#include "app/AppController.h"
#include "app/LiveViewSheets.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "app/RenderKeyWatch.h"
#include "app/ZLKDocument.h"
#include "building3d/PlaneObjects.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "platform/Alerts.h"
#include "platform/FileIO.h"
#include "platform/Strings.h"
#include "render3d/SceneFrame.h"
#include "render3d/ShadowRender.h"
#include "render3d/VRMLExport.h"

void ExportVRMLFile(const char* path) {
  if (!CurDocState() || !path || !*path) return;
  LiveViewController* liveView = LiveViewController::sharedLiveViewController();
  const bool opened = !liveView->isVisible();
  if (opened) {
    liveView->showWindow();
    gRenderDirty = 1;
    if (gRenderOnShow) RenderAllLayers();
    if (LiveViewOGLView* view = liveView->liveViewOGLView()) view->repaint();
  }
  WriteVRMLFile(path);
  if (opened) liveView->orderOut();
}

// ---- The image ----

namespace {

int32_t sExportWidth = 0, sExportHeight = 0;
// The image of the last export render, top row first.
QImage sExportImage;

// The 3D view's context made current for the time of a scope.
class ViewContextScope {
 public:
  explicit ViewContextScope(LiveViewOGLView* view) : view_(view) {
    if (view_) view_->makeCurrent();
  }
  ~ViewContextScope() {
    if (view_) view_->doneCurrent();
  }
  bool valid() const { return view_ && view_->context() && view_->context()->isValid(); }

 private:
  LiveViewOGLView* view_;
};

LiveViewOGLView* ExportView() {
  if (!LiveViewController::exists()) return nullptr;
  return LiveViewController::sharedLiveViewController()->liveViewOGLView();
}

// giflib writes through this into a byte array.
int AppendGifBytes(GifFileType* gif, const GifByteType* bytes, int length) {
  static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
  return length;
}

QByteArray EncodeGif(const QImage& image) {
  // 256 colours, as the format holds.
  QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AutoColor);
  if (indexed.isNull()) return {};
  QVector<QRgb> table = indexed.colorTable();
  int bits = 1;
  while ((1 << bits) < table.size() && bits < 8) ++bits;
  table.resize(1 << bits);
  QByteArray bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, AppendGifBytes, &error);
  if (!gif) return {};
  ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
  bool ok = map != nullptr;
  if (ok) {
    for (int i = 0; i < (1 << bits); ++i)
      map->Colors[i] = GifColorType{static_cast<GifByteType>(qRed(table[i])), static_cast<GifByteType>(qGreen(table[i])),
                                    static_cast<GifByteType>(qBlue(table[i]))};
    ok = EGifPutScreenDesc(gif, indexed.width(), indexed.height(), bits, 0, map) == GIF_OK &&
         EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < indexed.height(); ++y)
      ok = EGifPutLine(gif, const_cast<GifPixelType*>(indexed.constScanLine(y)), indexed.width()) == GIF_OK;
    GifFreeMapObject(map);
  }
  if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
  return ok ? bytes : QByteArray();
}

}  // namespace

int32_t AntiAliasPassesForQuality(int16_t quality) {
  static constexpr int32_t kPasses[5] = {0, 4, 8, 15, 24};
  return quality >= 0 && quality <= 4 ? kPasses[quality] : 0;
}

bool ExportSizeFits(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return false;
  GLint limits[2] = {0, 0};
  {
    ViewContextScope scope(ExportView());
    if (!scope.valid()) return false;
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, limits);
    GLint texture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    limits[0] = std::min(limits[0], texture);
    limits[1] = std::min(limits[1], texture);
  }
  if (width > limits[0] || height > limits[1]) return false;
  return ExportBytes(width, height) <= kExportMemoryBudget;
}

uint64_t ExportBytes(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return 0;
  return uint64_t(width) * uint64_t(height) * kExportBytesPerPixel + kMaxSunGridBytes;
}

std::string ExportRefusalText(ExportRefusal refusal, int32_t width, int32_t height) {
  switch (refusal) {
    case ExportRefusal::kTooLarge:
      return "An image of " + std::to_string(width) + " x " + std::to_string(height) +
             " pixels is larger than the 3D view can render. Please choose a smaller size.";
    case ExportRefusal::kNoPermission:
      return "You do not have permission to write in that folder. Please choose another folder.";
    case ExportRefusal::kReadOnlyDisk: return "The disk is read-only. Please choose another folder.";
    case ExportRefusal::kReadOnlyFile: return "The file is read-only. Please choose another name or folder.";
    case ExportRefusal::kNoFolder: return "The folder could not be found. Please choose another folder.";
    case ExportRefusal::kInTheWay:
      return "A folder or other item of that name is in the way. Please choose another name.";
    case ExportRefusal::kNoName: return "No file name was chosen. Please choose a name for the image.";
    case ExportRefusal::kNoFormat:
      return "The image cannot be saved in that format. Please choose another format.";
    case ExportRefusal::kNotRendered:
      return "The 3D view could not render the image at that size. Please try a smaller size.";
    case ExportRefusal::kNotEncoded:
      return "The image could not be encoded in that format. Please choose another format.";
    case ExportRefusal::kDiskFull:
    case ExportRefusal::kOther: break;
  }
  return "Please ensure you have adequate disk space and try again.";
}

ExportRefusal ExportRefusalOfWrite(FileFailure failure) {
  switch (failure) {
    case FileFailure::kPermissionDenied: return ExportRefusal::kNoPermission;
    case FileFailure::kReadOnlyDisk: return ExportRefusal::kReadOnlyDisk;
    case FileFailure::kReadOnlyFile: return ExportRefusal::kReadOnlyFile;
    case FileFailure::kNotFound: return ExportRefusal::kNoFolder;
    case FileFailure::kNotAFile: return ExportRefusal::kInTheWay;
    case FileFailure::kDiskFull: return ExportRefusal::kDiskFull;
    default: return ExportRefusal::kOther;
  }
}

QImage LiveViewOGLViewBitmapImage() { return sExportImage; }

namespace {
QImage KeptFrameImage() {
  int32_t w = 0, h = 0;
  const std::vector<uint8_t>& pixels = KeptFrame(&w, &h);
  if (w <= 0 || h <= 0 || pixels.size() < size_t(w) * size_t(h) * 4) return {};
  // Four bytes a pixel (R, G, B and a fourth byte that is not used as alpha).
  QImage image(w, h, QImage::Format_RGBX8888);
  if (image.isNull()) return {};
  // The kept rows run bottom-up, four bytes a pixel (R, G, B, A).
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* from = pixels.data() + size_t(h - 1 - y) * size_t(w) * 4;
    uint8_t* to = image.scanLine(y);
    for (int32_t x = 0; x < w; ++x, from += 4, to += 4) {
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
      to[3] = 255;
    }
  }
  return image;
}
}  // namespace

bool PrepareLiveViewUsingQuality(int16_t quality, int32_t width, int32_t height) {
  DocState* ds = CurDocState();
  LiveViewOGLView* view = ExportView();
  // A render that cannot start was not interrupted, whatever the last one was.
  g3DViewPrintInterrupted = 0;
  if (!ds || !view || width <= 0 || height <= 0) return false;
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  // "Current Image" is what the view shows: while its frame is not stale that is the kept one
  // (a shadow render's, say), which a new render would not give back. It is taken as it is
  // when it has the size asked for.
  if (quality == kQualityCurrentImage && !gRefreshRender && HasKeptFrame()) {
    ViewContextScope scope(view);
    int32_t keptWidth = 0, keptHeight = 0;
    if (scope.valid()) KeptFrame(&keptWidth, &keptHeight);
    if (keptWidth == width && keptHeight == height) {
      g3DViewPrintInterrupted = 0;
      sExportImage = KeptFrameImage();
      if (!sExportImage.isNull()) return true;
    }
  }
  // The renderer sizes its target by the view's bounds: for the time of the render they are
  // the export size, whatever the window's size on the screen.
  const auto viewBounds = gLiveViewHost.viewBounds;
  sExportWidth = width;
  sExportHeight = height;
  gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) {
    if (w) *w = sExportWidth;
    if (h) *h = sExportHeight;
  };
  const uint8_t shadows = ds->shadowRender();
  const int32_t passes = ds->antiAliasPasses();
  const uint8_t lotOff = gLightViewLotOff;
  g3DViewPrintInterrupted = 0;
  gBreakOpenGLRender = 0;
  sExportImage = QImage();
  gRefreshRender = 1;
  gRenderGL = 1;
  if (quality >= kQualityLow && quality <= kQualityExcellent) {
    if (ds->orthoView() == 0) gRenderOpenGLAntiAlias = 1;
    ds->shadowRender() = 1;
    gLightViewLotOff = 0;
    ds->antiAliasPasses() = AntiAliasPassesForQuality(quality);
  }
  bool kept = false;
  {
    RenderKeyWatchScope keys(view);
    ViewContextScope scope(view);
    if (scope.valid()) {
      RefreshGLScene();
      // The frame is taken now, before the view can draw itself again at its own size; it
      // must be the one just rendered at the asked size.
      sExportImage = KeptFrameImage();
      kept = sExportImage.width() == width && sExportImage.height() == height;
      // The buffers of a render at the export's size are of no use to the view's renders: they
      // go now rather than stay beside the next export's.
      ReleaseFrameScratch();
      shadow::ReleaseSpareBuffers();
    }
  }
  gRenderOpenGLAntiAlias = 0;
  gRenderGL = 0;
  ds->shadowRender() = shadows;
  ds->antiAliasPasses() = passes;
  gLightViewLotOff = lotOff;
  gLiveViewHost.viewBounds = viewBounds;
  const bool interrupted = g3DViewPrintInterrupted || gBreakOpenGLRender;
  if (interrupted) g3DViewPrintInterrupted = 1;
  gBreakOpenGLRender = 0;
  // The view renders again at its own size when it is next drawn.
  gRefreshRender = 1;
  controller->resetLVLightProgress();
  return !interrupted && kept;
}


bool LiveViewController::prepareLiveViewUsingQuality(int16_t quality, QSize size) {
  return PrepareLiveViewUsingQuality(quality, size.width(), size.height());
}

QImage LiveViewController::liveViewOGLViewBitmapImageRep() const {
  if (!sExportImage.isNull()) return sExportImage;
  LiveViewOGLView* view = liveViewOGLView();
  if (!view) return {};
  return view->grabFramebuffer().convertToFormat(QImage::Format_RGBX8888);
}

QByteArray EncodeLiveViewImage(const QImage& image, int formatTag) {
  if (image.isNull()) return {};
  if (formatTag == 1) return EncodeGif(image);
  static const char* const kFormats[kImageFormatCount] = {"BMP", nullptr, "JPEG", "PNG", "TIFF"};
  if (formatTag < 0 || formatTag >= kImageFormatCount) return {};
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, kFormats[formatTag]);
  if (!writer.write(image)) return {};
  return bytes;
}

bool ExportLiveViewImage(const std::string& path, int formatTag, int16_t quality, int32_t width, int32_t height) {
  width = std::max(16, width);
  height = std::max(16, height);
  auto fail = [width, height](ExportRefusal why) {
    ShowAlert("Unable to export the 3D image.", ExportRefusalText(why, width, height));
    return false;
  };
  if (path.empty()) return fail(ExportRefusal::kNoName);
  if (formatTag < 0 || formatTag >= kImageFormatCount) return fail(ExportRefusal::kNoFormat);
  if (!ExportSizeFits(width, height)) return fail(ExportRefusal::kTooLarge);
  if (!PrepareLiveViewUsingQuality(quality, width, height)) {
    if (!g3DViewPrintInterrupted) return fail(ExportRefusal::kNotRendered);
    if (LiveViewOGLView* view = ExportView()) view->display();
    ShowAlert("Exporting interrupted.", "The scene must be fully rendered before an image can be exported.");
    return false;
  }
  const QByteArray bytes = EncodeLiveViewImage(LiveViewOGLViewBitmapImage(), formatTag);
  sExportImage = QImage();  // its memory goes back at once
  if (bytes.isEmpty()) return fail(ExportRefusal::kNotEncoded);
  if (!WriteFileAtomically(path, bytes.constData(), static_cast<size_t>(bytes.size())))
    return fail(ExportRefusalOfWrite(LastFileFailure()));
  return true;
}

// ---- The 3D window's export panel and printing ----

QString ExportStartPath(const QString& suffix) {
  ZLKDocument* document = AppController::mainWindowDocument();
  QFileInfo design;
  if (document && !document->fileName().empty()) design = QFileInfo(QFile::decodeName(document->fileName().c_str()));
  const QString folder = design.fileName().isEmpty() ? QDir::homePath() : design.absolutePath();
  QString name = design.fileName().isEmpty() ? QString::fromStdString(LocalizedString("Untitled")) : design.completeBaseName();
  if (name.isEmpty()) name = design.fileName();  // ".casa": the whole name
  if (!suffix.isEmpty()) name += '.' + suffix;
  return QDir(folder).filePath(name);
}

QStringList LiveViewController::exportNameFilters(int formatTag) {
  switch (formatTag) {
    case 0: return {"BMP (*.bmp *.BMPf)"};
    case 1: return {"GIF (*.gif)"};
    case 2: return {"JPEG (*.jpg *.jpeg *.jpe)"};
    case 3: return {"PNG (*.png)"};
    case 4: return {"TIFF (*.tiff *.tif)"};
    default: return {};
  }
}

void LiveViewController::imageFormatPopUpButtonChanged() {
  const QStringList filters = exportNameFilters(imageFormatPopUpButton_->currentData().toInt());
  if (filters.isEmpty() || !exportSavePanel_) return;
  exportSavePanel_->setNameFilters(filters);
  const QString suffix = filters.first().section("*.", 1, 1).section(' ', 0, 0).remove(')');
  exportSavePanel_->setDefaultSuffix(suffix);
}

void LiveViewController::renderQualityPopUpButtonChanged() {
  const bool sized = renderQualityPopUpButton_->currentData().toInt() != kQualityCurrentImage;
  exportImageWidthText_->setEnabled(sized);
  exportImageHeightText_->setEnabled(sized);
}

void LiveViewController::displayExport3DSavePanel() {
  const QRect bounds = liveViewOGLViewBounds();
  exportImageWidthText_->setText(QString::number(bounds.width()));
  exportImageHeightText_->setText(QString::number(bounds.height()));
  renderQualityPopUpButtonChanged();
  if (chooseExportPath) {
    const std::string path = chooseExportPath();
    export3DSavePanelDidEnd(path.empty() ? 0 : 1, path);
    return;
  }
  // The panel is drawn by Qt so that it can hold the format, quality and size controls.
  QFileDialog panel(liveViewPanel_);
  panel.setOption(QFileDialog::DontUseNativeDialog);
  panel.setAcceptMode(QFileDialog::AcceptSave);
  // The panel opens on the design's folder with its name; the suffix follows the format.
  const QString start = ExportStartPath(QString());
  panel.setDirectory(QFileInfo(start).absolutePath());
  panel.selectFile(QFileInfo(start).fileName());
  if (auto* grid = qobject_cast<QGridLayout*>(panel.layout())) {
    grid->addWidget(export3DView_, grid->rowCount(), 0, 1, grid->columnCount());
    export3DView_->show();
  }
  exportSavePanel_ = &panel;
  imageFormatPopUpButtonChanged();
  const int code = panel.exec();
  exportSavePanel_ = nullptr;
  export3DView_->setParent(nullptr);
  const QStringList chosen = panel.selectedFiles();
  export3DSavePanelDidEnd(code == QDialog::Accepted ? 1 : 0,
                          chosen.isEmpty() ? std::string() : QFile::encodeName(chosen.first()).toStdString());
}

namespace {
// A typed size: its whole part in pixels, at least 16; anything that is no number gives 16.
int32_t TypedPixels(QLineEdit* field) {
  const std::string text = field->text().toStdString();
  const TypedNumber whole = CheckTypedNumber(text, NumberKind::kWhole);
  if (whole.accepted) return std::clamp<int32_t>(whole.whole, 16, 1000000);
  const TypedNumber typed = CheckTypedNumber(text, NumberKind::kDecimal);  // "64.5" is 64 pixels
  if (!typed.accepted || !(typed.value >= 16)) return 16;
  return typed.value > 1e6f ? 1000000 : static_cast<int32_t>(typed.value);
}
}  // namespace

void LiveViewController::export3DSavePanelDidEnd(int returnCode, const std::string& path) {
  if (returnCode != 1 || path.empty()) return;
  const int16_t quality = static_cast<int16_t>(renderQualityPopUpButton_->currentData().toInt());
  ExportLiveViewImage(path, imageFormatPopUpButton_->currentData().toInt(), quality,
                      TypedPixels(exportImageWidthText_), TypedPixels(exportImageHeightText_));
}

void LiveViewController::showPrint3DPropertiesPanel() { LV3DPrintController::newLV3DPrintSheetForParent(liveViewPanel_); }

QRectF FitImageToPage(QSizeF image, QSizeF page) {
  if (!(image.width() > 0 && image.height() > 0 && page.width() > 0 && page.height() > 0)) return {};
  const double scale = std::min(page.width() / image.width(), page.height() / image.height());
  const QSizeF drawn = image * scale;
  return {(page.width() - drawn.width()) / 2, (page.height() - drawn.height()) / 2, drawn.width(), drawn.height()};
}

QSize LiveViewController::liveViewOGLViewPixelSize() const {
  return liveViewOGLView_->size() * liveViewOGLView_->devicePixelRatio();
}

bool LiveViewController::print3DLiveViewUsingQuality(int16_t quality, QSize size, QPrinter* printer, bool fitToPage) {
  const int32_t width = std::max(16, size.width()), height = std::max(16, size.height());
  if (!ExportSizeFits(width, height)) {
    ShowAlert("Unable to export the 3D image.", ExportRefusalText(ExportRefusal::kTooLarge, width, height));
    return false;
  }
  if (!PrepareLiveViewUsingQuality(quality, width, height)) {
    liveViewOGLView_->display();
    if (g3DViewPrintInterrupted)
      ShowAlert("Exporting interrupted.", "The scene must be fully rendered before it can be printed.");
    else
      ShowAlert("Unable to print the 3D view.", "The scene could not be rendered at the size to print.");
    return false;
  }
  const QImage image = LiveViewOGLViewBitmapImage();
  sExportImage = QImage();
  liveViewOGLView_->update();
  // An image that cannot be made prints nothing.
  if (image.isNull()) return false;
  // The print panel starts from the design's paper and margins and keeps what the user set.
  QPrinter panelPrinter(QPrinter::HighResolution);
  if (!printer) {
    ZLKDocument* document = AppController::mainWindowDocument();
    if (document) panelPrinter.setPageLayout(document->printLayout());
    auto& runner = ZLKDocument::printPanelRunner();
    if (!runner || !runner(panelPrinter, liveViewPanel_)) return false;
    if (document) document->printInfo() = panelPrinter.pageLayout();
    printer = &panelPrinter;
  }
  // The image prints a pixel to a point; one larger than the page is split over pages,
  // across then down, within the printer's page range.
  gPrinting3DView = 1;
  QPainter painter;
  bool printed = painter.begin(printer);
  if (printed) {
    const double pointsToDevice = printer->resolution() / 72.0;
    // The page in points as the layout gives it: the painter's viewport is whole device
    // pixels, a fraction of a point short, and an image fitted to the page would spill over
    // onto a second one by that fraction.
    const QRectF page = printer->pageLayout().paintRect(QPageLayout::Point);
    const double pageWidth = page.width(), pageHeight = page.height();
    const double imageWidth = image.width(), imageHeight = image.height();
    if (fitToPage && pageWidth >= 1 && pageHeight >= 1) {
      painter.save();
      painter.scale(pointsToDevice, pointsToDevice);
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      painter.drawImage(FitImageToPage(image.size(), QSizeF(pageWidth, pageHeight)), image);
      painter.restore();
    } else if (pageWidth >= 1 && pageHeight >= 1) {
      const long columns = std::max(1L, static_cast<long>(std::ceil(imageWidth / pageWidth - 1e-6)));
      const long rows = std::max(1L, static_cast<long>(std::ceil(imageHeight / pageHeight - 1e-6)));
      const long firstPage = printer->fromPage() > 0 ? printer->fromPage() : 1;
      const long lastPage = printer->toPage() > 0 ? printer->toPage() : columns * rows;
      bool first = true;
      for (long row = 0; printed && row < rows; ++row) {
        for (long column = 0; printed && column < columns; ++column) {
          const long number = row * columns + column + 1;
          if (number < firstPage || number > lastPage) continue;
          if (!first && !printer->newPage()) {
            printed = false;
            break;
          }
          first = false;
          const double x = column * pageWidth, y = row * pageHeight;
          painter.save();
          painter.scale(pointsToDevice, pointsToDevice);
          painter.translate(-x, -y);
          painter.setClipRect(QRectF(x, y, std::min(pageWidth, imageWidth - x), std::min(pageHeight, imageHeight - y)));
          painter.drawImage(QRectF(0, 0, imageWidth, imageHeight), image);
          painter.restore();
        }
      }
    } else {
      printed = false;
    }
    if (!painter.end()) printed = false;
  }
  gPrinting3DView = 0;
  if (!printed)
    ShowAlert("Unable to print the 3D view.",
              "The printer could not print the image. Please check the printer, its paper and margins, and try again.");
  return printed;
}
