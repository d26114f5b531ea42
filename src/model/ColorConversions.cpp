// RGB, HSV and luminance of 16-bit colours.
#include "model/ColorConversions.h"

#include <algorithm>

void RGBtoHSV(const RGBColor* rgb, HSVColor* hsv) {
  if (!rgb || !hsv) return;
  const double r = rgb->red, g = rgb->green, b = rgb->blue;
  const double max = std::max({r, g, b}), min = std::min({r, g, b});
  const double delta = max - min;
  hsv->value = static_cast<uint16_t>(max);
  hsv->saturation = max == 0 ? 0 : static_cast<uint16_t>(static_cast<int>(delta / max * 65535 + 0.5));
  if (hsv->saturation == 0) {
    hsv->hue = kGreyHue;
    return;
  }
  const double rc = (max - r) / delta, gc = (max - g) / delta, bc = (max - b) / delta;
  double h;
  if (r == max) h = bc - gc;
  else if (g == max) h = 2 + rc - bc;
  else h = 4 + gc - rc;
  h *= 60;
  if (h < 0) h += 360;
  // A hue just under 360 degrees rounds to 65535 and stays there: HSVtoRGB reads it as 0.
  hsv->hue = static_cast<uint16_t>(static_cast<int>(h * 65535 / 360 + 0.5));
}

void HSVtoRGB(const HSVColor* hsv, RGBColor* rgb) {
  if (!hsv || !rgb) return;
  if (hsv->saturation == 0) {
    rgb->red = rgb->green = rgb->blue = hsv->value;
    return;
  }
  int degrees = static_cast<int>(hsv->hue * 360.0 / 65535 + 0.5);
  if (degrees >= 360) degrees = 0;
  const double h = degrees / 60.0;
  const int i = static_cast<int>(h);
  const double f = h - i;
  const double s = hsv->saturation / 65535.0, v = hsv->value / 65535.0;
  auto store = [](double x) { return static_cast<uint16_t>(static_cast<int>(x * 65535 + 0.5)); };
  const uint16_t p = store(v * (1 - s));
  const uint16_t q = store(v * (1 - s * f));
  const uint16_t t = store(v * (1 - s * (1 - f)));
  const uint16_t V = hsv->value;
  switch (i) {
    case 0: *rgb = {V, t, p}; break;
    case 1: *rgb = {q, V, p}; break;
    case 2: *rgb = {p, V, t}; break;
    case 3: *rgb = {p, q, V}; break;
    case 4: *rgb = {t, p, V}; break;
    default: *rgb = {V, p, q}; break;
  }
}

uint16_t RGBtoLuminance(const RGBColor* in, RGBColor* out) {
  if (!in) return 0;
  const auto grey = static_cast<uint16_t>(
      static_cast<int>(0.3 * in->red + 0.59 * in->green + 0.11 * in->blue));
  if (out) out->red = out->green = out->blue = grey;
  return grey;
}

uint16_t MaxComponent(const RGBColor* color) {
  return color ? std::max({color->red, color->green, color->blue}) : 0;
}

uint16_t MinComponent(const RGBColor* color) {
  return color ? std::min({color->red, color->green, color->blue}) : 0;
}
