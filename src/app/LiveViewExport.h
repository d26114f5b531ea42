// Exports of the 3D window: the model as VRML, the view as an image file at a chosen size and
// quality.
#pragma once
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <string>

// Writes the 3D model to the path as VRML 2.0. The model is built by the 3D window, so a
// hidden 3D window is shown for the time of the export (and rebuilt when stale) and closed
// again after it. Nothing without a current design or a path.
void ExportVRMLFile(const char* path);

// Render qualities of the image export and print: the current image redrawn at the new size,
// then final renders of 4, 8, 15 and 24 passes.
enum : int16_t {
  kQualityCurrentImage = 0,
  kQualityLow = 1,
  kQualityHigh = 2,
  kQualityUltraHigh = 3,
  kQualityExcellent = 4,
};
// Image format tags: 0 BMP, 1 GIF, 2 JPEG, 3 PNG, 4 TIFF.
constexpr int kImageFormatCount = 5;

// The passes of a quality (0 for the current image or an unknown code).
int32_t AntiAliasPassesForQuality(int16_t quality);
// Whether the 3D view's context can render a width x height image: within the viewport limit
// of the OpenGL driver and the memory the render and its grab take.
bool ExportSizeFits(int32_t width, int32_t height);
// Renders the scene in the 3D view's context offscreen at exactly width x height, at the
// quality; the design's shadow and pass settings are restored after. False when the render
// was interrupted (Escape) or could not be made.
bool PrepareLiveViewUsingQuality(int16_t quality, int32_t width, int32_t height);
// The image of the last export render, top row first (opaque RGB); null when there is none.
QImage LiveViewOGLViewBitmapImage();
// The image encoded in the format of the tag; empty for an unknown tag or a failed encoding.
QByteArray EncodeLiveViewImage(const QImage& image, int formatTag);
// The whole export to a file: the size at least 16 x 16; false after the alert that says why
// ("Exporting interrupted." or "Unable to export the 3D image.").
bool ExportLiveViewImage(const std::string& path, int formatTag, int16_t quality, int32_t width, int32_t height);
