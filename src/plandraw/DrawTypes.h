// Points, sizes, rectangles and colours of the drawing layer: float view coordinates
// (y grows downward) and RGBA colours with components from 0 to 1.
#pragma once
#include <algorithm>
#include <cstdint>

struct NSPoint {
  float x = 0, y = 0;
};
struct NSSize {
  float width = 0, height = 0;
};
struct NSRect {
  NSPoint origin;
  NSSize size;
};

inline NSPoint NSMakePoint(float x, float y) { return {x, y}; }
inline NSRect NSMakeRect(float x, float y, float w, float h) { return {{x, y}, {w, h}}; }
constexpr NSRect NSZeroRect{};

inline float NSMinX(const NSRect& r) { return r.origin.x; }
inline float NSMinY(const NSRect& r) { return r.origin.y; }
inline float NSMaxX(const NSRect& r) { return r.origin.x + r.size.width; }
inline float NSMaxY(const NSRect& r) { return r.origin.y + r.size.height; }
inline float NSMidX(const NSRect& r) { return r.origin.x + r.size.width / 2; }
inline float NSMidY(const NSRect& r) { return r.origin.y + r.size.height / 2; }
// A rectangle without area (width or height zero or less).
inline bool NSIsEmptyRect(const NSRect& r) { return !(r.size.width > 0) || !(r.size.height > 0); }
inline bool NSEqualRects(const NSRect& a, const NSRect& b) {
  return a.origin.x == b.origin.x && a.origin.y == b.origin.y && a.size.width == b.size.width &&
         a.size.height == b.size.height;
}
// The smallest rectangle holding both; an empty rectangle adds nothing.
inline NSRect NSUnionRect(const NSRect& a, const NSRect& b) {
  if (NSIsEmptyRect(a)) return b;
  if (NSIsEmptyRect(b)) return a;
  float left = std::min(NSMinX(a), NSMinX(b)), top = std::min(NSMinY(a), NSMinY(b));
  float right = std::max(NSMaxX(a), NSMaxX(b)), bottom = std::max(NSMaxY(a), NSMaxY(b));
  return NSMakeRect(left, top, right - left, bottom - top);
}
inline NSRect NSInsetRect(const NSRect& r, float dx, float dy) {
  return NSMakeRect(r.origin.x + dx, r.origin.y + dy, r.size.width - 2 * dx, r.size.height - 2 * dy);
}

struct DrawColor {
  float red = 0, green = 0, blue = 0, alpha = 1;
};
inline bool operator==(const DrawColor& a, const DrawColor& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}
constexpr DrawColor kDrawBlack{0, 0, 0, 1};
constexpr DrawColor kDrawWhite{1, 1, 1, 1};
constexpr DrawColor kDrawRed{1, 0, 0, 1};
