// Conversions between 16-bit RGB colours and hue, saturation and value, shared by the plan
// drawing and the 3D renderer.
#pragma once
#include <cstdint>

#include "model/Types.h"

// The three 16-bit slots of an RGBColor read as hue (0..65535 for 0..360 degrees),
// saturation and value. A grey has saturation 0 and the hue 65535 (undefined).
struct HSVColor {
  uint16_t hue = 0, saturation = 0, value = 0;
};

constexpr uint16_t kGreyHue = 65535;

// Value is the largest component; a saturation of 0 gives the grey hue. Nothing for null.
void RGBtoHSV(const RGBColor* rgb, HSVColor* hsv);
// The hue is taken to the nearest whole degree (360 counts as 0); the value is kept as
// given for the sector's full component. Nothing for null.
void HSVtoRGB(const HSVColor* hsv, RGBColor* rgb);
// Grey of the same luminance (0.3 r + 0.59 g + 0.11 b, truncated), written to all three
// components and returned; 0 for a null colour.
uint16_t RGBtoLuminance(const RGBColor* in, RGBColor* out);
// Largest and smallest component; 0 for null.
uint16_t MaxComponent(const RGBColor* color);
uint16_t MinComponent(const RGBColor* color);
