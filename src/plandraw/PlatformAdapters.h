// Conversions between the drawing layer's points, rectangles and fonts and the core's
// POINT, RECT and LOGFONT records; the packed pixel record of a loaded image; and the
// plan's full extent in view units.
#pragma once
#include <cstdint>

#include "model/Types.h"
#include "plandraw/DrawContext.h"
#include "plandraw/DrawTypes.h"

// x and y truncated toward zero; (0, 0) for no point.
POINT ConvertNSPointToPOINT(const NSPoint* point);
// Each edge rounded as (v + 0.5) truncated; all zero for no rectangle.
RECT ConvertNSRectToRECT(const NSRect* rect);
RECT ConvertNSRectToRECT(const NSRect& rect);
NSRect ConvertRECTToNSRect(const RECT* rect);
NSRect ConvertRECTToNSRect(const RECT& rect);
// Grows the rectangle by dx left and right and dy top and bottom (negative shrinks).
void InflateRect(RECT* rect, int32_t dx, int32_t dy);
// The rectangle spanned by two corners in any order.
void ConvertCoordsToNSRect(NSRect* out, float x1, float y1, float x2, float y2);

// Point size (-lfHeight; 12 for a positive height) and traits added to `traits`
// (kFontItalicTrait for lfItalic, kFontBoldTrait for weight 700 exactly).
void ConvertWin32FontInfoToApple(const LOGFONT* font, float* size, uint32_t* traits);
// The font's size, weight, italic and family (cut to 31 bytes) into the LOGFONT;
// underline and strike-out stay as they were.
void ConvertAppleFontToWin32FontInfo(const FontDescription* font, LOGFONT* out);
// The drawing font of a LOGFONT: its size and traits as above and its face name.
FontDescription FontDescriptionFromLOGFONT(const LOGFONT& font);
// A 16-bit colour as drawing colour, opaque.
DrawColor DrawColorFromRGB(const RGBColor& color);

// A loaded image: width x height pixels of red, green, blue bytes, rows packed without
// padding, the bottom row of the picture first (the texture upload's first row).
struct DIBImage {
  int32_t width;
  int32_t height;
  uint8_t* pixels;
};
// Frees the record and its pixel block (both malloc'ed); null is ignored.
void FreeDIBImage(DIBImage* image);
// Packs a picture (rows top first, 3 or 4 bytes per pixel) into a new record; null for a
// picture without pixels. When the pixel block cannot be allocated the record comes back
// with its size and no pixels.
DIBImage* CreateDIBImageFromPixels(const DrawImageData& picture);

// The current view's projected plan rectangle with a margin of 100 plan units at the
// current zoom; nothing without a current document, its DocState or either output.
void GetAdjustedPaperWidthAndHeight(float* width, float* height);
