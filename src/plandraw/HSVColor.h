// Conversions between 16-bit RGB and 16-bit hue, saturation and value.
#pragma once
#include <cstdint>

// V is the largest component, S = (max - min) / max x 65535, the hue by sector over 0..65535
// (red 0, yellow 1/6, green 1/3 ...). Grey has hue and saturation 0.
void RGBtoHSV(const uint16_t rgb[3], uint16_t hsv[3]);
// The inverse, by the six hue sectors.
void HSVtoRGB(const uint16_t hsv[3], uint16_t rgb[3]);
