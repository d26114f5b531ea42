// Value fields: lengths, angles, pitches and integers typed and shown in text fields.
#include "inspectors/ValueFields.h"

#include <QLineEdit>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Readouts.h"
#include "model/TransformGuard.h"
#include "plandraw/qt/ReadoutText.h"
#include "platform/Alerts.h"

namespace {

// Readout bytes as shown: the degree mark byte becomes U+00B0.
QString ReadoutString(const char* text) { return text ? ReadoutBytesToString(text) : QString(); }

// The field's text as interface bytes: the degree sign, and the masculine ordinal that the
// mark byte stands for in the interface's 8-bit encoding (typed for it on some keyboards),
// become the degree mark byte.
std::string FieldText(QLineEdit* field) {
  std::string text;
  for (QChar c : field->text()) {
    if (c.unicode() == 0x00B0 || c.unicode() == 0x00BA) text += kReadoutDegreeMark;
    else if (c.unicode() < 0x100 && c.unicode() != 0) text += static_cast<char>(c.unicode());
    else text += '?';
  }
  return text;
}

void CommasToPoints(std::string& text) {
  if (gDecimalSeparator == '.') return;
  for (char& c : text)
    if (c == ',') c = '.';
}

// Splits in place at any of the separators, at most `limit` tokens.
std::vector<char*> Tokens(char* text, const char* separators, size_t limit) {
  std::vector<char*> tokens;
  char* save = nullptr;
  for (char* t = strtok_r(text, separators, &save); t && tokens.size() < limit; t = strtok_r(nullptr, separators, &save))
    tokens.push_back(t);
  return tokens;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsExponentMark(char c) { return c == 'e' || c == 'E'; }

// Whether the '-' at `at` is the sign of an exponent ("1e-4", "2.E-3"): right after an 'e' that
// follows a digit or a decimal point.
bool IsExponentSign(const std::string& text, size_t at) {
  if (at < 2 || !IsExponentMark(text[at - 1])) return false;
  const char c = text[at - 2];
  return IsDigit(c) || c == '.' || c == ',';
}

float Signed(double a, double b) {
  const double magnitude = std::fabs(a) + std::fabs(b);
  return static_cast<float>(a < 0 || b < 0 ? -magnitude : magnitude);
}

}  // namespace

float TokenizeInches(char* first, char* second) {
  if (!first) return 0;
  double whole = 0;
  char* numerator = nullptr;
  char* denominator = nullptr;
  char* save = nullptr;
  if (std::strchr(first, '/')) {
    numerator = strtok_r(first, "/", &save);
    denominator = numerator ? strtok_r(nullptr, "/", &save) : nullptr;
  } else {
    whole = std::atof(first);
    if (second) {
      numerator = strtok_r(second, "/", &save);
      denominator = numerator ? strtok_r(nullptr, "/", &save) : nullptr;
    }
  }
  // A numerator or denominator past 32 bits is no fraction (the typed-number check refuses
  // it): cut to 32 bits it would read as another ("4294967297/2" as 1/2).
  const auto piece = [](const char* text, int32_t* value) {
    const long long v = std::strtoll(text, nullptr, 10);
    *value = static_cast<int32_t>(v);
    return v >= -INT32_MAX && v <= INT32_MAX;
  };
  double fraction = 0;
  int32_t n = 0, d = 0;
  if (numerator && denominator && piece(numerator, &n) && piece(denominator, &d))
    fraction = ConvertFractionToDecimal(n, d);
  return Signed(whole, fraction);
}

float ParseLengthText(const std::string& input) {
  const DocState* ds = CurDocState();
  if (!ds) return 0;
  std::string text = input;
  // A dash after a digit parts feet from inches ("5-6"); an exponent's sign is no such dash.
  bool digitSeen = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char& c = text[i];
    if (IsDigit(c)) digitSeen = true;
    else if (c == '-' && digitSeen && !IsExponentSign(text, i)) c = ' ';
  }
  CommasToPoints(text);
  if (ds->measureSystem != kMeasureImperial) {
    const double v = std::atof(text.c_str());
    const bool cm = text.find("cm") != std::string::npos, mm = text.find("mm") != std::string::npos;
    if (text.find('m') != std::string::npos && !cm && !mm) return static_cast<float>(v * 39.37);
    if (mm) return static_cast<float>(v * 0.03937);
    if (cm) return static_cast<float>(v * 0.3937);
    switch (DecodeMetricReadoutFormat()) {
      case kReadoutMeters: return static_cast<float>(v * 39.37);
      case kReadoutCentimeters: return static_cast<float>(v * 0.3937);
      default: return static_cast<float>(v * 0.03937);
    }
  }
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back(0);
  std::vector<char*> t = Tokens(buffer.data(), " ", 3);
  if (t.empty()) return 0;
  auto has = [](const char* s, char c) { return std::strchr(s, c) != nullptr; };
  double feet = 0, inches = 0;
  if (t.size() == 1) {
    if (has(t[0], '\'')) feet = std::atof(t[0]);
    else if (has(t[0], '/')) inches = TokenizeInches(t[0], nullptr);
    else inches = std::atof(t[0]);
  } else if (t.size() == 2) {
    if (has(t[0], '/')) {
    } else if (!has(t[1], '/') || has(t[0], '\'')) {
      feet = std::atof(t[0]);
      inches = TokenizeInches(t[1], nullptr);
    } else {
      inches = TokenizeInches(t[0], t[1]);
    }
  } else if (!has(t[0], '/') && !has(t[1], '/') && !has(t[0], '"')) {
    feet = std::atof(t[0]);
    inches = TokenizeInches(t[1], t[2]);
  }
  float result = Signed(feet * 12, inches);
  NormalizeInputToPrecision(&result);
  return result;
}

float ParseAngleText(const std::string& input, bool degreesOnly) {
  if (input.empty()) return 0;
  std::string text = input;
  CommasToPoints(text);
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back(0);
  const char separators[] = {' ', kReadoutDegreeMark, '\'', '"', 0};
  std::vector<char*> t = Tokens(buffer.data(), separators, 3);
  if (t.empty()) return 0;
  double degrees = std::atof(t[0]);
  if (!degreesOnly && t.size() > 1) {
    const long minutes = std::atol(t[1]);
    if (minutes >= 0 && minutes <= 59) degrees += minutes / 60.0;
  }
  return static_cast<float>(degrees);
}

float ParsePitchText(const std::string& input) {
  const DocState* ds = CurDocState();
  if (!ds) return 0;
  std::string text = input;
  CommasToPoints(text);
  // Rise per 10 of run to rise per 12: single-precision factors applied to the number as
  // read, narrowed once at the end (50 reads exactly 60).
  if (ds->measureSystem != kMeasureImperial)
    return static_cast<float>(std::atof(text.c_str()) * 0.3937f * 3.048006f);
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back(0);
  std::vector<char*> t = Tokens(buffer.data(), " ", 2);
  if (t.empty()) return 0;
  float pitch = TokenizeInches(t[0], t.size() > 1 ? t[1] : nullptr);
  NormalizeInputToPrecision(&pitch);
  return pitch;
}

float GetFloatItem(QLineEdit* field) { return field ? ParseLengthText(FieldText(field)) : 0; }

void SetFloatItem(QLineEdit* field, float inches) {
  if (!field || !CurDocState()) return;
  char text[kReadoutTextSize] = {};
  ConvertInchesToStr(inches, text);
  field->setText(ReadoutString(text));
}

float GetFloatAngleItem(QLineEdit* field, uint8_t degreesOnly) {
  return field ? ParseAngleText(FieldText(field), degreesOnly != 0) : 0;
}

void SetFloatAngleItem(QLineEdit* field, float degrees, uint8_t noMark) {
  if (!field || !CurDocState()) return;
  char text[kReadoutTextSize] = {};
  ConvertAngleToStr(degrees, text);
  const size_t n = std::strlen(text);
  if (noMark && n > 0) text[n - 1] = 0;
  field->setText(ReadoutString(text));
}

float GetFloatPitchItem(QLineEdit* field) { return field ? ParsePitchText(FieldText(field)) : 0; }

void SetFloatPitchItem(QLineEdit* field, float pitch) {
  if (!field || !CurDocState()) return;
  char text[kReadoutTextSize] = {};
  ConvertPitchToStr(pitch, text);
  field->setText(ReadoutString(text));
}

float GetFloatPitchAngleItem(QLineEdit* field) {
  const DocState* ds = CurDocState();
  if (!field || !ds) return 0;
  float pitch = ConvertAngleToPitch(GetFloatAngleItem(field, 0));
  if (ds->measureSystem == kMeasureImperial) NormalizeInputToPrecision(&pitch);
  return pitch;
}

void SetFloatPitchAngleItem(QLineEdit* field, float pitch) {
  SetFloatAngleItem(field, ConvertPitchToAngle(pitch), 0);
}

int32_t GetLongItem(QLineEdit* field) {
  if (!field) return 0;
  // The leading whole number, as a text field's integer value reads it: "12 ft" and "12.5"
  // read 12, text without a leading number 0; values past 32 bits stop at the limit.
  const std::string text = FieldText(field);
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  return static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

void SetLongItem(QLineEdit* field, int32_t value) {
  if (field) field->setText(QString::number(value));
}

namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

TypedNumber Refused(std::string reason, bool blank = false) {
  TypedNumber n;
  n.blank = blank;
  n.reason = std::move(reason);
  return n;
}

// A whole number: optional sign and digits only, read as an integer (a float would hold
// 999999999 as 1000000000); past 64 bits it is as far beyond the kind's limit as it can be.
bool ReadWhole(const std::string& text, long long* value) {
  size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
  if (i == text.size()) return false;
  for (size_t k = i; k < text.size(); ++k)
    if (text[k] < '0' || text[k] > '9') return false;
  *value = std::strtoll(text.c_str(), nullptr, 10);
  return true;
}

// A plain decimal number, all of the text: sign, digits, a decimal point (the user's or '.')
// and an exponent.
bool ReadDecimal(std::string text, double* value) {
  CommasToPoints(text);
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return end && end != text.c_str() && *end == 0;
}

constexpr const char* kZeroDenominator = "A fraction needs a denominator other than zero.";
constexpr const char* kFractionTooLarge =
    "The numerator and denominator of a fraction must not exceed 2147483647.";

// The magnitude of the digits from `at` on, and where they end; past INT32_MAX it stops
// growing at INT32_MAX + 1.
long long DigitsAt(const std::string& text, size_t at, size_t* end) {
  long long value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
    if (value <= INT32_MAX) value = value * 10 + (text[at] - '0');
  *end = at;
  return std::min<long long>(value, static_cast<long long>(INT32_MAX) + 1);
}

// Why the fractions typed cannot be read, or nothing. A denominator that is zero or missing
// ("5 1/0", "1/") would read as no fraction at all, so "5 1/0" would silently be 5; a numerator
// or denominator past 32 bits would not be read as typed.
const char* FractionFault(const std::string& text) {
  for (size_t slash = text.find('/'); slash != std::string::npos; slash = text.find('/', slash + 1)) {
    size_t start = slash;
    while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9') --start;
    size_t end = 0;
    const long long numerator = DigitsAt(text, start, &end);
    size_t i = slash + 1;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const long long denominator = DigitsAt(text, i, &end);
    if (end == i || denominator == 0) return kZeroDenominator;
    if (numerator > INT32_MAX || denominator > INT32_MAX) return kFractionTooLarge;
  }
  return nullptr;
}

// Whether every exponent has digits before its 'e' and after its sign: "5e", "e5", "5e-" and
// "5e5e5" would read as part of what was typed or as nothing.
bool ExponentsWellFormed(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsExponentMark(text[i])) continue;
    size_t k = i;
    bool digit = false;
    while (k > 0 && (IsDigit(text[k - 1]) || text[k - 1] == '.' || text[k - 1] == ',')) digit |= IsDigit(text[--k]);
    if (!digit) return false;
    // The digits before the 'e' must not be another exponent's.
    if (k > 0 && IsExponentMark(text[k - 1])) return false;
    if (k > 1 && (text[k - 1] == '-' || text[k - 1] == '+') && IsExponentMark(text[k - 2])) return false;
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '-' || text[j] == '+')) ++j;
    if (j == text.size() || !IsDigit(text[j])) return false;
  }
  return true;
}

// Whether a number in the text other than zero lies closer to zero than a float holds in full
// ("1e-40", or "1e-400", which reads as 0): it would be taken as 0 or as a shadow of itself.
bool HasNumberTooCloseToZero(std::string text) {
  CommasToPoints(text);
  const char* s = text.c_str();
  for (size_t i = 0; i < text.size();) {
    if (!IsDigit(s[i]) && !(s[i] == '.' && IsDigit(s[i + 1]))) {
      ++i;
      continue;
    }
    char* end = nullptr;
    const double v = std::strtod(s + i, &end);
    const size_t stop = end && end > s + i ? static_cast<size_t>(end - s) : i + 1;
    bool nonzero = false;
    for (size_t k = i; k < stop && !IsExponentMark(s[k]); ++k) nonzero |= s[k] >= '1' && s[k] <= '9';
    if (nonzero && !(std::fabs(v) >= FLT_MIN)) return true;
    i = stop;
  }
  return false;
}

constexpr const char* kTooCloseToZero = "The number is too close to zero to be held. Enter 0 or a larger number.";

// The limit as the field shows it.
std::string LimitText(NumberKind kind, float limit) {
  char text[kReadoutTextSize] = {};
  if (kind == NumberKind::kLength && CurDocState()) {
    ConvertInchesToStr(limit, text);
    return text;
  }
  std::snprintf(text, sizeof text, "%.10g", static_cast<double>(limit));
  return text;
}

}  // namespace

float TypedNumberLimit(NumberKind kind) {
  switch (kind) {
    case NumberKind::kLength:
      // The length that spans the plan coordinate range at the design's scale.
      return PlanCoordinateLimitLength(CurDocState());
    case NumberKind::kAngle: return 36000.0f;         // a hundred turns
    case NumberKind::kRadians: return 628.3185307f;   // the same hundred turns
    case NumberKind::kPitch: case NumberKind::kPitchAngle: return 100000.0f;
    case NumberKind::kWhole: return 1.0e9f;
    case NumberKind::kDecimal: return 1.0e6f;
  }
  return 0;
}

TypedNumber CheckTypedNumber(const std::string& input, NumberKind kind) {
  const std::string text = Trimmed(input);
  if (text.empty()) return Refused("Please enter a number.", true);
  if (text.size() > kMaxTypedNumberLength) return Refused("The entry is too long to be a number.");
  const std::string quoted = "\"" + text + "\" is not a number.";
  if (text.find_first_of("0123456789") == std::string::npos) return Refused(quoted);
  // Letters carry no number ("5 nan" would read as 5): only an exponent and, for metric
  // lengths, the unit suffixes are taken.
  const DocState* ds = CurDocState();
  const bool metricLength = kind == NumberKind::kLength && ds && ds->measureSystem != kMeasureImperial;
  for (char c : text) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (letter && c != 'e' && c != 'E' && !(metricLength && (c == 'm' || c == 'c'))) return Refused(quoted);
  }
  if (!ExponentsWellFormed(text)) return Refused(quoted);
  if (kind == NumberKind::kLength || kind == NumberKind::kPitch || kind == NumberKind::kAngle ||
      kind == NumberKind::kPitchAngle)
    if (const char* fault = FractionFault(text)) return Refused(fault);
  if (HasNumberTooCloseToZero(text)) return Refused(kTooCloseToZero);
  double value = 0;
  long long whole = 0;
  switch (kind) {
    case NumberKind::kLength: value = ParseLengthText(text); break;
    case NumberKind::kAngle: value = ParseAngleText(text, false); break;
    case NumberKind::kPitch: value = ParsePitchText(text); break;
    case NumberKind::kPitchAngle: {
      const float degrees = ParseAngleText(text, false);
      if (!std::isfinite(degrees) || std::fabs(degrees) >= 90.0f)
        return Refused("A pitch angle must lie between -90 and 90 degrees.");
      float pitch = ConvertAngleToPitch(degrees);
      if (ds && ds->measureSystem == kMeasureImperial) NormalizeInputToPrecision(&pitch);
      value = pitch;
      break;
    }
    case NumberKind::kRadians: case NumberKind::kDecimal:
      if (!ReadDecimal(text, &value)) return Refused(quoted);
      break;
    case NumberKind::kWhole:
      if (!ReadWhole(text, &whole)) return Refused("\"" + text + "\" is not a whole number.");
      value = static_cast<double>(whole);
      break;
  }
  if (std::isnan(value)) return Refused(quoted);
  if (value != 0 && std::fabs(value) < FLT_MIN) return Refused(kTooCloseToZero);
  // Infinity and anything past a float are beyond every limit.
  const float limit = TypedNumberLimit(kind);
  if (!(std::fabs(value) <= limit)) {
    const std::string shown = LimitText(kind, limit);
    return Refused("The number must lie between -" + shown + " and " + shown + ".");
  }
  TypedNumber n;
  n.accepted = true;
  n.value = value == 0 ? 0.0f : static_cast<float>(value);  // -0 is 0
  if (kind == NumberKind::kWhole) n.whole = static_cast<int32_t>(whole);
  return n;
}

TypedNumber ReadTypedNumber(QLineEdit* field, NumberKind kind) {
  if (!field) return Refused("Please enter a number.", true);
  if (static_cast<size_t>(field->text().size()) > kMaxTypedNumberLength * 4)
    return Refused("The entry is too long to be a number.");
  return CheckTypedNumber(FieldText(field), kind);
}

void AlertRefusedNumber(const TypedNumber& refused) {
  if (refused.accepted || refused.blank) return;
  ShowAlert("Invalid number entered.", refused.reason);
}

float NormalizeInputToBounds(float value, float minimum, float maximum) {
  if (!(value == value)) return minimum;
  if (minimum > value) return minimum;
  if (maximum < value) return maximum;
  return value;
}

NSRect FindBoundingNSRectFromPoints(const POINT* points, int32_t count) {
  if (!points || count < 4) return NSMakeRect(0, 0, 0, 0);
  int32_t left = points[0].x, right = left, top = points[0].y, bottom = top;
  for (int32_t i = 1; i < count; ++i) {
    left = std::min(left, points[i].x);
    right = std::max(right, points[i].x);
    top = std::min(top, points[i].y);
    bottom = std::max(bottom, points[i].y);
  }
  return NSMakeRect(left, top, static_cast<float>(right) - left, static_cast<float>(bottom) - top);
}

void UpdatePropertiesFloat(QLineEdit* field, float inches, uint8_t initializing) {
  if (!field) return;
  if (!initializing && std::fabs(GetFloatItem(field) - inches) > 0.0005f) field->clear();
  else SetFloatItem(field, inches);
}

void UpdatePropertiesFloatAngle(QLineEdit* field, float degrees, uint8_t noMark, uint8_t initializing) {
  if (!field) return;
  if (!initializing && std::fabs(GetFloatAngleItem(field, noMark) - degrees) > 0.00005f) field->clear();
  else SetFloatAngleItem(field, degrees, noMark);
}

void UpdatePropertiesFloatPitch(QLineEdit* field, float pitch, uint8_t initializing) {
  if (!field) return;
  if (!initializing && std::fabs(GetFloatPitchItem(field) - pitch) > 0.005f) field->clear();
  else SetFloatPitchItem(field, pitch);
}

void UpdatePropertiesFloatPitchAngle(QLineEdit* field, float pitch, uint8_t initializing) {
  if (!field) return;
  if (!initializing && std::fabs(GetFloatPitchAngleItem(field) - pitch) > 0.005f) field->clear();
  else SetFloatPitchAngleItem(field, pitch);
}

void UpdatePropertiesLong(QLineEdit* field, int32_t value, uint8_t initializing) {
  if (!field) return;
  if (!initializing && GetLongItem(field) != value) field->clear();
  else SetLongItem(field, value);
}
