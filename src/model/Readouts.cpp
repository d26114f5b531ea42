// Length, angle and pitch readouts. Numbers are formatted with std::to_chars and
// our own integer/fraction code, so the process locale never changes the text.
#include "model/Readouts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "platform/Strings.h"

namespace {

// Round to nearest, an exact half to the even neighbour (as "%.0f" does).
double RoundHalfEven(double x) {
  double lower = std::floor(x);
  double diff = x - lower;
  if (diff > 0.5) return lower + 1;
  if (diff < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

void AppendInt(std::string& out, int64_t value) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, res.ptr);
}

// "%.<decimals>f" of value, '.' as the separator whatever the locale.
std::string FormatFixed(double value, int decimals) {
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (res.ec != std::errc()) return "0";
  std::string out(buf, res.ptr);
  // A value that rounds to zero prints without a minus sign.
  if (!out.empty() && out[0] == '-' && out.find_first_not_of("0.", 1) == std::string::npos) out.erase(0, 1);
  return out;
}

// The exact decimal of whole + numerator/denominator (denominator 1..16, a power
// of two), as "%.20g" prints it: 6.5, 6.25, 6.3125, 12.
void AppendExact(std::string& out, int64_t whole, int32_t numerator, int32_t denominator) {
  AppendInt(out, whole);
  if (numerator <= 0 || denominator <= 1 || numerator >= denominator || 10000 % denominator != 0) return;
  int32_t digits = numerator * (10000 / denominator);  // 1..9999
  char frac[5] = {char('0' + digits / 1000), char('0' + digits / 100 % 10), char('0' + digits / 10 % 10),
                  char('0' + digits % 10), 0};
  size_t len = 4;
  while (len > 0 && frac[len - 1] == '0') --len;
  out += '.';
  out.append(frac, len);
}

void CopyOut(char* text, const std::string& s) {
  size_t n = std::min(s.size(), kReadoutTextSize - 1);
  memcpy(text, s.data(), n);
  text[n] = 0;
}

void ApplyDecimalSeparator(char* text) {
  if (gDecimalSeparator == '.') return;
  for (char* p = text; *p; ++p)
    if (*p == '.') *p = ',';
}

// Sign and magnitude of a length or pitch, the magnitude kept where whole inches
// and feet fit the fraction routines.
struct SignedMagnitude {
  int64_t sign;
  double value;
};

SignedMagnitude SplitSign(float x) {
  if (std::isnan(x)) return {1, 0.0};
  SignedMagnitude sm{x < 0 ? -1 : 1, std::fabs(double(x))};
  if (sm.value > kReadoutMaxInches) sm.value = kReadoutMaxInches;
  return sm;
}

// Rounds a fraction with base 2, 4, 8 or 16.
void RoundFraction(int32_t base, double fraction, int32_t* whole, int32_t* numerator, int32_t* denominator) {
  if (!whole || !numerator || !denominator) return;
  if (!(fraction >= 0)) fraction = 0;
  if (fraction > 1) fraction = 1;
  *denominator = base;
  *numerator = int32_t(RoundHalfEven(fraction * base));
  ReduceFraction(base, whole, numerator, denominator);
}

// Base of the fractional step of a format code: halves, quarters, eighths, sixteenths.
int32_t FractionBase(int16_t code) {
  switch (code) {
    case 1: case 6: case 10: case 14: return 2;
    case 2: case 7: case 11: case 15: return 4;
    case 3: case 8: case 12: case 16: return 8;
    default: return 16;
  }
}

int32_t PrecisionBase(int16_t flags) {
  if (flags & kReadoutFlagHalves) return 2;
  if (flags & kReadoutFlagQuarters) return 4;
  if (flags & kReadoutFlagEighths) return 8;
  return 16;
}

// Whole inches and rounded fraction of a magnitude.
struct InchParts {
  int64_t feet = 0;
  int32_t inches = 0, numerator = 0, denominator = 1;
};

InchParts SplitInches(double a, int32_t base, bool withFeet) {
  InchParts p;
  if (withFeet) p.feet = int64_t(a / 12.0);
  double rest = a - 12.0 * double(p.feet);
  double whole = std::trunc(rest);
  p.inches = int32_t(whole);
  RoundFraction(base, rest - whole, &p.inches, &p.numerator, &p.denominator);
  if (withFeet && p.inches >= 12) {
    p.feet += 1;
    p.inches -= 12;
  }
  return p;
}

// The fraction forms without feet: "-3 3/4", "-1/2", "6".
void AppendInchFraction(std::string& out, int64_t sign, const InchParts& p) {
  if (p.numerator == 0) {
    AppendInt(out, sign * p.inches);
  } else if (p.inches == 0) {
    AppendInt(out, sign * p.numerator);
    out += '/';
    AppendInt(out, p.denominator);
  } else {
    AppendInt(out, sign * p.inches);
    out += ' ';
    AppendInt(out, p.numerator);
    out += '/';
    AppendInt(out, p.denominator);
  }
}

void AppendSignedExact(std::string& out, int64_t sign, int64_t whole, int32_t numerator, int32_t denominator) {
  if (sign < 0 && (whole != 0 || numerator != 0)) out += '-';
  AppendExact(out, whole, numerator, denominator);
}

}  // namespace

int16_t DecodeImperialReadoutFormat() {
  DocState* ds = CurDocState();
  if (!ds) return kReadoutInDecimalSixteenth;
  int16_t flags = ds->imperialReadout;
  bool feet = flags & kReadoutFlagFeetInches;
  bool fractions = flags & kReadoutFlagFractions;
  if (flags & kReadoutFlagWhole) return feet ? kReadoutFtInWhole : kReadoutInWhole;
  int16_t step = (flags & kReadoutFlagHalves) ? 0 : (flags & kReadoutFlagQuarters) ? 1 : (flags & kReadoutFlagEighths) ? 2 : 3;
  if (fractions) return int16_t((feet ? kReadoutFtInHalf : kReadoutInHalf) + step);
  return int16_t((feet ? kReadoutFtInDecimalHalf : kReadoutInDecimalHalf) + step);
}

int16_t DecodeMetricReadoutFormat() {
  DocState* ds = CurDocState();
  if (!ds) return kReadoutMillimeters;
  if (ds->metricReadout & kReadoutFlagMeters) return kReadoutMeters;
  if (ds->metricReadout & kReadoutFlagCentimeters) return kReadoutCentimeters;
  return kReadoutMillimeters;
}

void ConvertInchesToStr(float inches, char* text) {
  DocState* ds = CurDocState();
  if (!text || !ds) return;
  if (ds->measureSystem != kMeasureImperial)
    ConvertInchesToMetricStr(inches, text, DecodeMetricReadoutFormat());
  else
    ConvertInchesToImperialStr(inches, text, DecodeImperialReadoutFormat());
  ApplyDecimalSeparator(text);
}

void ConvertInchesToImperialStr(float inches, char* text, int16_t code) {
  if (!text) return;
  text[0] = 0;
  if (code < 0 || code > 16) code = kReadoutInDecimalSixteenth;
  SignedMagnitude sm = SplitSign(inches);
  const int64_t s = sm.sign;
  const double a = sm.value;
  std::string out;

  if (code == kReadoutFtInWhole) {
    double biased = a + 0.5;
    int64_t feet = int64_t(biased / 12.0);
    int64_t in = int64_t(biased - 12.0 * double(feet));
    if (feet != 0) {
      AppendInt(out, s * feet);
      out += "'-";
      AppendInt(out, in);
    } else {
      AppendInt(out, s * in);
    }
  } else if (code <= kReadoutFtInSixteenth) {
    InchParts p = SplitInches(a, FractionBase(code), true);
    if (p.feet != 0) {
      AppendInt(out, s * p.feet);
      out += "'-";
      AppendInt(out, p.inches);
      if (p.numerator != 0) {
        out += ' ';
        AppendInt(out, p.numerator);
        out += '/';
        AppendInt(out, p.denominator);
      }
    } else {
      AppendInchFraction(out, s, p);
    }
  } else if (code == kReadoutInWhole) {
    AppendInt(out, s * int64_t(a + 0.5));
  } else if (code <= kReadoutInSixteenth) {
    AppendInchFraction(out, s, SplitInches(a, FractionBase(code), false));
  } else if (code <= kReadoutFtInDecimalSixteenth) {
    InchParts p = SplitInches(a, FractionBase(code), true);
    if (p.feet != 0) {
      AppendInt(out, s * p.feet);
      out += "'-";
      AppendExact(out, p.inches, p.numerator, p.denominator);
    } else {
      AppendSignedExact(out, s, p.inches, p.numerator, p.denominator);
    }
  } else {
    InchParts p = SplitInches(a, FractionBase(code), false);
    AppendSignedExact(out, s, p.inches, p.numerator, p.denominator);
  }
  out += '"';
  CopyOut(text, out);
}

void ConvertInchesToMetricStr(float inches, char* text, uint16_t unit) {
  if (!text) return;
  text[0] = 0;
  char number[kReadoutTextSize];
  const char* suffix;
  if (unit == kReadoutMeters) {
    CopyOut(number, FormatFixed(inches / 39.37f, 4));
    suffix = " m";
  } else if (unit == kReadoutCentimeters) {
    CopyOut(number, FormatFixed(inches / 0.3937f, 2));
    suffix = " cm";
  } else {
    CopyOut(number, FormatFixed(inches / 0.03937f, 1));
    suffix = " mm";
  }
  TruncateTrailingZeros(number);
  CopyOut(text, std::string(number) + LocalizedString(suffix));
}

void ConvertAngleToStr(float degrees, char* text) {
  DocState* ds = CurDocState();
  if (!text || !ds) return;
  int decimals = (ds->angleReadout >= kReadoutAngle0 && ds->angleReadout <= kReadoutAngle3) ? ds->angleReadout : 4;
  char number[kReadoutTextSize];
  CopyOut(number, FormatFixed(degrees, decimals));
  TruncateTrailingZeros(number);
  CopyOut(text, std::string(number) + kReadoutDegreeMark);
  ApplyDecimalSeparator(text);
}

void ConvertPitchToStr(float pitch, char* text) {
  DocState* ds = CurDocState();
  if (!text || !ds) return;
  if (ds->measureSystem == kMeasureImperial)
    ConvertPitchToImperialStr(pitch, text, DecodeImperialReadoutFormat());
  else
    ConvertPitchToMetricStr(pitch, text);
  ApplyDecimalSeparator(text);
}

void ConvertPitchToImperialStr(float pitch, char* text, int16_t code) {
  if (!text) return;
  text[0] = 0;
  SignedMagnitude sm = SplitSign(pitch);
  std::string out;
  if (code == kReadoutFtInWhole || code == kReadoutInWhole) {
    AppendInt(out, sm.sign * int64_t(sm.value + 0.5));
  } else {
    InchParts p = SplitInches(sm.value, FractionBase(code), false);
    bool fractions = (code >= kReadoutFtInHalf && code <= kReadoutFtInSixteenth) ||
                     (code >= kReadoutInHalf && code <= kReadoutInSixteenth);
    if (fractions)
      AppendInchFraction(out, sm.sign, p);
    else
      AppendSignedExact(out, sm.sign, p.inches, p.numerator, p.denominator);
  }
  CopyOut(text, out);
}

void ConvertPitchToMetricStr(float pitch, char* text) {
  if (!text) return;
  text[0] = 0;
  float risePer10 = pitch / 0.3937f * 0.32808334f;
  CopyOut(text, FormatFixed(risePer10, 2));
  TruncateTrailingZeros(text);
}

float ConvertPitchToAngle(float pitch) {
  if (!(pitch >= 0 && pitch <= 1000)) return 0;
  return float(std::atan(double(pitch) / 12.0)) * 57.29578f;
}

float ConvertAngleToPitch(float degrees) {
  DocState* ds = CurDocState();
  if (!ds || !(degrees >= 0 && degrees <= 89.3125f)) return 0;
  float pitch = float(12.0 * std::tan(double(degrees) * 0.017453292));
  if (ds->measureSystem == kMeasureImperial) NormalizeInputToPrecision(&pitch);
  return pitch;
}

void NormalizeInputToPrecision(float* value) {
  DocState* ds = CurDocState();
  if (!value || !ds) return;
  // Beyond 2^23 a float has no fraction left to round; NaN and infinities stay.
  if (!std::isfinite(*value) || std::fabs(*value) >= kReadoutMaxInches) return;
  double s = *value < 0 ? -1.0 : 1.0;
  double a = std::fabs(double(*value));
  if (ds->imperialReadout & kReadoutFlagWhole) {
    *value = float(s * RoundHalfEven(a));
    return;
  }
  InchParts p = SplitInches(a, PrecisionBase(ds->imperialReadout), false);
  *value = float(s * (double(p.inches) + double(ConvertFractionToDecimal(p.numerator, p.denominator))));
}

void ConstrainValueToLimits(float* value, float low, float high) {
  DocState* ds = CurDocState();
  if (!value || !(high > low) || !(high >= 1.0f) || !ds) return;
  if (ds->measureSystem != kMeasureImperial) {
    if (*value < low) *value = low;
    else if (*value > high) *value = high;
    return;
  }
  int16_t flags = ds->imperialReadout;
  float step = (flags & kReadoutFlagWhole) ? 1.0f : 1.0f / float(PrecisionBase(flags));
  if (*value < low) *value = step * std::ceil(low / step);
  else if (*value > high) *value = step * std::floor(high / step);
}

void ConvertDecimalToHalves(double fraction, int32_t* whole, int32_t* numerator, int32_t* denominator) {
  RoundFraction(2, fraction, whole, numerator, denominator);
}

void ConvertDecimalToFourths(double fraction, int32_t* whole, int32_t* numerator, int32_t* denominator) {
  RoundFraction(4, fraction, whole, numerator, denominator);
}

void ConvertDecimalToEighths(double fraction, int32_t* whole, int32_t* numerator, int32_t* denominator) {
  RoundFraction(8, fraction, whole, numerator, denominator);
}

void ConvertDecimalToSixteenths(double fraction, int32_t* whole, int32_t* numerator, int32_t* denominator) {
  RoundFraction(16, fraction, whole, numerator, denominator);
}

void ReduceFraction(int32_t base, int32_t* whole, int32_t* numerator, int32_t* denominator) {
  if (!whole || !numerator || !denominator || *numerator < 1) return;
  if (*numerator == base) {
    *numerator = 0;
    if (*whole < INT32_MAX) *whole += 1;
    return;
  }
  while (*numerator % 2 == 0 && *denominator % 2 == 0 && *denominator != 0) {
    *numerator /= 2;
    *denominator /= 2;
  }
}

float ConvertFractionToDecimal(int32_t numerator, int32_t denominator) {
  switch (denominator) {
    case 1: case 2: case 4: case 8: case 16: return float(numerator) / float(denominator);
    default: return 0;
  }
}

void TruncateTrailingZeros(char* text) {
  if (!text) return;
  size_t len = strlen(text);
  if (len <= 1 || !strchr(text, '.')) return;
  for (size_t i = len - 1; i > 0; --i) {
    if (text[i] == '0') {
      text[i] = 0;
    } else {
      if (text[i] == '.') text[i] = 0;
      break;
    }
  }
}
