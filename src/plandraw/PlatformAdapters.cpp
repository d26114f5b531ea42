// Point, rectangle, font and image adapters, and the plan's extent in view units.
#include "plandraw/PlatformAdapters.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarTransforms.h"
#include "model/ViewProjection.h"

namespace {

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(v > INT32_MAX ? INT32_MAX : (v < INT32_MIN ? INT32_MIN : v));
}

}  // namespace

POINT ConvertNSPointToPOINT(const NSPoint* point) {
  POINT p;
  if (!point) return p;
  p.x = TruncToInt32(point->x);
  p.y = TruncToInt32(point->y);
  return p;
}

RECT ConvertNSRectToRECT(const NSRect* rect) {
  RECT r;
  if (!rect) return r;
  double x = rect->origin.x, y = rect->origin.y;
  r.left = TruncToInt32(x + 0.5);
  r.top = TruncToInt32(y + 0.5);
  r.right = TruncToInt32(x + static_cast<double>(rect->size.width) + 0.5);
  r.bottom = TruncToInt32(y + static_cast<double>(rect->size.height) + 0.5);
  return r;
}

RECT ConvertNSRectToRECT(const NSRect& rect) { return ConvertNSRectToRECT(&rect); }

NSRect ConvertRECTToNSRect(const RECT* rect) {
  if (!rect) return NSZeroRect;
  return NSMakeRect(static_cast<float>(rect->left), static_cast<float>(rect->top),
                    static_cast<float>(static_cast<int64_t>(rect->right) - rect->left),
                    static_cast<float>(static_cast<int64_t>(rect->bottom) - rect->top));
}

NSRect ConvertRECTToNSRect(const RECT& rect) { return ConvertRECTToNSRect(&rect); }

void InflateRect(RECT* rect, int32_t dx, int32_t dy) {
  if (!rect) return;
  rect->left = ClampToInt32(static_cast<int64_t>(rect->left) - dx);
  rect->right = ClampToInt32(static_cast<int64_t>(rect->right) + dx);
  rect->top = ClampToInt32(static_cast<int64_t>(rect->top) - dy);
  rect->bottom = ClampToInt32(static_cast<int64_t>(rect->bottom) + dy);
}

void ConvertCoordsToNSRect(NSRect* out, float x1, float y1, float x2, float y2) {
  if (!out) return;
  float left = std::fmin(x1, x2), top = std::fmin(y1, y2);
  *out = NSMakeRect(left, top, std::fmax(x1, x2) - left, std::fmax(y1, y2) - top);
}

void ConvertWin32FontInfoToApple(const LOGFONT* font, float* size, uint32_t* traits) {
  if (!font || !size || !traits) return;
  float s = -static_cast<float>(font->lfHeight);
  *size = s < 0 ? 12.0f : s;
  if (font->lfItalic) *traits |= kFontItalicTrait;
  if (font->lfWeight == 700) *traits |= kFontBoldTrait;
}

void ConvertAppleFontToWin32FontInfo(const FontDescription* font, LOGFONT* out) {
  if (!font || !out) return;
  out->lfHeight = -TruncToInt32(font->pointSize);
  out->lfWidth = out->lfEscapement = out->lfOrientation = 0;
  out->lfWeight = (font->traits & kFontBoldTrait) ? 700 : 0;
  out->lfItalic = (font->traits & kFontItalicTrait) ? 1 : 0;
  out->lfCharSet = out->lfOutPrecision = out->lfClipPrecision = out->lfQuality = 0;
  std::memset(out->lfFaceName, 0, sizeof out->lfFaceName);
  std::strncpy(out->lfFaceName, font->family.c_str(), sizeof out->lfFaceName - 1);
  out->lfPitchAndFamily = 0x34;
}

FontDescription FontDescriptionFromLOGFONT(const LOGFONT& font) {
  FontDescription d;
  d.traits = 0;
  ConvertWin32FontInfoToApple(&font, &d.pointSize, &d.traits);
  d.family.assign(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName));
  return d;
}

DrawColor DrawColorFromRGB(const RGBColor& c) {
  return {c.red / 65535.0f, c.green / 65535.0f, c.blue / 65535.0f, 1.0f};
}

void FreeDIBImage(DIBImage* image) {
  if (!image) return;
  free(image->pixels);
  free(image);
}

DIBImage* CreateDIBImageFromPixels(const DrawImageData& picture) {
  if (!picture.isValid()) return nullptr;
  auto* image = static_cast<DIBImage*>(calloc(1, sizeof(DIBImage)));
  if (!image) return nullptr;
  image->width = picture.width;
  image->height = picture.height;
  const size_t rowBytes = static_cast<size_t>(picture.width) * 3;
  const uint64_t total = static_cast<uint64_t>(rowBytes) * static_cast<uint64_t>(picture.height);
  // Textures far beyond what the renderer can upload are not worth a gigabyte.
  if (total > (uint64_t{1} << 30)) return image;
  image->pixels = static_cast<uint8_t*>(malloc(static_cast<size_t>(total)));
  if (!image->pixels) return image;
  for (int32_t row = 0; row < picture.height; ++row) {
    const uint8_t* src = picture.pixels + static_cast<size_t>(picture.height - 1 - row) * picture.bytesPerRow;
    uint8_t* dst = image->pixels + static_cast<size_t>(row) * rowBytes;
    if (picture.bytesPerPixel == 3) {
      std::memcpy(dst, src, rowBytes);
    } else {
      for (int32_t x = 0; x < picture.width; ++x, src += 4, dst += 3) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
      }
    }
  }
  return image;
}

void GetAdjustedPaperWidthAndHeight(float* width, float* height) {
  const DocState* ds = CurDocState();
  if (!ds || !width || !height) return;
  const FloatRect& plan = ds->planBounds;
  float x1 = plan.floatLeft, y1 = 0, z1 = plan.floatTop;
  float x2 = plan.floatRight, y2 = 0, z2 = plan.floatTop;
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
  *width = x2 - x1 + ZoomF(100);
  x1 = plan.floatLeft, y1 = 0, z1 = plan.floatTop;
  x2 = plan.floatLeft, y2 = 0, z2 = plan.floatBottom;
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
  *height = y2 - y1 + ZoomF(100);
}
