// Exports of the 3D window: the model as VRML, the view as an image file.
#include "app/LiveViewExport.h"

#include <gif_lib.h>

#include <QBuffer>
#include <QImageWriter>
#include <QOpenGLContext>
#include <algorithm>

#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "app/RenderKeyWatch.h"
#include "building3d/PlaneObjects.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/NotYetBuilt.h"
#include "model/Services.h"
#include "platform/Alerts.h"
#include "platform/FileIO.h"
#include "render3d/SceneFrame.h"
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
  // The render target, its kept copy, the float accumulation sum and the grabbed image.
  const uint64_t pixels = uint64_t(width) * uint64_t(height);
  const uint64_t bytes = pixels * (4 + 4 + 16 + 4 + 4);
  constexpr uint64_t kLimit = uint64_t(2) << 30;
  return bytes <= kLimit;
}

bool PrepareLiveViewUsingQuality(int16_t quality, int32_t width, int32_t height) {
  DocState* ds = CurDocState();
  LiveViewOGLView* view = ExportView();
  if (!ds || !view || width <= 0 || height <= 0) return false;
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
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
  g3DViewPrintInterrupted = 0;
  gBreakOpenGLRender = 0;
  gRefreshRender = 1;
  gRenderGL = 1;
  if (quality >= kQualityLow && quality <= kQualityExcellent) {
    if (ds->orthoView() == 0) gRenderOpenGLAntiAlias = 1;
    ds->shadowRender() = 1;
    ds->antiAliasPasses() = AntiAliasPassesForQuality(quality);
  }
  {
    RenderKeyWatchScope keys(view);
    ViewContextScope scope(view);
    if (scope.valid()) RefreshGLScene();
  }
  gRenderOpenGLAntiAlias = 0;
  gRenderGL = 0;
  ds->shadowRender() = shadows;
  ds->antiAliasPasses() = passes;
  gLiveViewHost.viewBounds = viewBounds;
  const bool interrupted = g3DViewPrintInterrupted || gBreakOpenGLRender;
  if (interrupted) g3DViewPrintInterrupted = 1;
  gBreakOpenGLRender = 0;
  // The view renders again at its own size when it is next drawn.
  gRefreshRender = 1;
  controller->resetLVLightProgress();
  return !interrupted;
}

QImage LiveViewOGLViewBitmapImage() {
  // The kept image is read back from the 3D view's context.
  ViewContextScope scope(ExportView());
  if (!scope.valid()) return {};
  int32_t w = 0, h = 0;
  const std::vector<uint8_t>& pixels = KeptFrame(&w, &h);
  if (w <= 0 || h <= 0 || pixels.size() < size_t(w) * size_t(h) * 4) return {};
  QImage image(w, h, QImage::Format_RGB888);
  if (image.isNull()) return {};
  // The kept rows run bottom-up, four bytes a pixel (R, G, B, A); the alpha is not used.
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* from = pixels.data() + size_t(h - 1 - y) * size_t(w) * 4;
    uint8_t* to = image.scanLine(y);
    for (int32_t x = 0; x < w; ++x, from += 4, to += 3) {
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
    }
  }
  return image;
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
  auto fail = [] {
    ShowAlert("Unable to export the 3D image.", "Please ensure you have adequate disk space and try again.");
    return false;
  };
  if (path.empty() || formatTag < 0 || formatTag >= kImageFormatCount || !ExportSizeFits(width, height)) return fail();
  if (!PrepareLiveViewUsingQuality(quality, width, height)) {
    if (!g3DViewPrintInterrupted) return fail();
    if (LiveViewOGLView* view = ExportView()) view->display();
    ShowAlert("Exporting interrupted.", "The scene must be fully rendered before an image can be exported.");
    return false;
  }
  const QByteArray bytes = EncodeLiveViewImage(LiveViewOGLViewBitmapImage(), formatTag);
  if (bytes.isEmpty() || !WriteFileAtomically(path, bytes.constData(), static_cast<size_t>(bytes.size()))) return fail();
  return true;
}
