// Small value records shared by the whole core: points, rectangles, colours, fonts.
#pragma once
#include <cstdint>

struct FloatPoint { float floatH = 0, floatV = 0; };
struct Float3DPoint { float floatH = 0, floatV = 0, floatD = 0; };
struct FloatRect { float floatTop = 0, floatLeft = 0, floatBottom = 0, floatRight = 0; };
struct Float3DRect {
  float floatTop = 0, floatLeft = 0, floatBack = 0, floatBottom = 0, floatRight = 0, floatFront = 0;
};
struct ShortPoint { int16_t x = 0, y = 0; };
struct RGBColor { uint16_t red = 0, green = 0, blue = 0; };

inline bool operator==(const RGBColor& a, const RGBColor& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// Window coordinates passed between the front end and the core.
struct POINT { int32_t x = 0, y = 0; };
struct RECT { int32_t left = 0, top = 0, right = 0, bottom = 0; };

// Font record in the Win32 layout with a 32-character face name.
struct LOGFONT {
  int32_t lfHeight = 0, lfWidth = 0, lfEscapement = 0, lfOrientation = 0, lfWeight = 0;
  uint8_t lfItalic = 0, lfUnderline = 0, lfStrikeOut = 0, lfCharSet = 0, lfOutPrecision = 0,
          lfClipPrecision = 0, lfQuality = 0, lfPitchAndFamily = 0;
  char lfFaceName[32] = {};
};

// A rectangle about to be grown starts at these values (nothing measured yet).
constexpr float kEmptyBoundsMin = 32000.0f;
constexpr float kEmptyBoundsMax = -32000.0f;

inline FloatRect EmptyFloatRect() { return {kEmptyBoundsMin, kEmptyBoundsMin, kEmptyBoundsMax, kEmptyBoundsMax}; }
inline Float3DRect EmptyFloat3DRect() {
  return {kEmptyBoundsMin, kEmptyBoundsMin, kEmptyBoundsMin, kEmptyBoundsMax, kEmptyBoundsMax, kEmptyBoundsMax};
}
