// Exports of the 3D window: the model as VRML, the view as an image file at a chosen size and
// quality.
#pragma once
#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <string>

#include "platform/FileIO.h"

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

// The memory an export of one pixel takes while it is made, every buffer it needs at once.
// The renderer's own: its framebuffer (colour 4, depth and stencil 4), the kept frame's
// framebuffer (4) and its copy read back (4), the anti-aliasing sum (16) and its read-back (4),
// the texture that carries the sum back to the framebuffer (4) and the image made of the kept
// frame (4): 44 bytes, which is what exports without shadows peak at. Every quality but the
// current image renders shadows, whose buffers are the size of the image and are held until the
// render ends: the dark, lit and plant images (3 each), the plant mask (1), the camera depth (4)
// and positions (12), the light depth (4), the three light maps (4 each), the sun map (4), the
// sun's overview (4) and the driver's copies of the depth and colour reads beside them. A
// sunlit export peaked at 101 bytes a pixel (a sun grid of one tile, 1000 to 3000 pixels a side,
// every allocation counted); counted with a margin.
constexpr uint64_t kExportBytesPerPixel = 112;
// Beside them the sun's depth grid: tiles the size of the image, as many as the sun's shadow
// quality asks for, up to a cap (kMaxSunGridBytes) whatever the image's size. The memory an
// export of width x height is counted to take is its pixels and the largest grid; 0 for no size.
uint64_t ExportBytes(int32_t width, int32_t height);
// The memory an export may take: 2 GB.
constexpr uint64_t kExportMemoryBudget = uint64_t(2) << 30;
// Whether the 3D view's context can render a width x height image: within the viewport limit
// of the OpenGL driver and, counted as above, within the export's memory budget (4096 x 4096
// at most).
bool ExportSizeFits(int32_t width, int32_t height);

// Why an export was refused; each is told in its own words.
enum class ExportRefusal {
  kTooLarge,      // the size does not fit (above)
  kNoPermission,  // the folder may not be written
  kReadOnlyDisk,
  kReadOnlyFile,  // the file chosen is write-protected
  kNoFolder,
  kInTheWay,      // a folder or other item has the file's name
  kDiskFull,
  kNoName,        // no file name was chosen
  kNoFormat,      // not one of the image formats the export writes
  kNotRendered,   // the 3D view could not render the image
  kNotEncoded,    // the image could not be encoded in its format
  kOther,         // a write that failed for another reason
};
// The informative text of the "Unable to export the 3D image." alert; the disk-space advice
// for a full disk and for a write that failed for a reason the system did not give.
std::string ExportRefusalText(ExportRefusal refusal, int32_t width, int32_t height);
// The refusal a failed write of the exported file makes.
ExportRefusal ExportRefusalOfWrite(FileFailure failure);
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
// Where a print fitted to the page draws an image: as large as the page takes with the image's
// proportions kept, centred on it (both in points from the page's top left).
QRectF FitImageToPage(QSizeF image, QSizeF page);
// The file an export panel proposes: the design's name with the suffix ("png", "wrl"), in the
// design's folder; "Untitled" in the home folder for a design never saved.
QString ExportStartPath(const QString& suffix);
