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
std::string FieldText(const QString& shown) {
  std::string text;
  for (QChar c : shown) {
    if (c.unicode() == 0x00B0 || c.unicode() == 0x00BA) text += kReadoutDegreeMark;
    else if (c.unicode() < 0x100 && c.unicode() != 0) text += static_cast<char>(c.unicode());
    else text += '?';
  }
  return text;
}

std::string FieldText(QLineEdit* field) { return FieldText(field->text()); }

void CommasToPoints(std::string& text) {
  if (gDecimalSeparator == '.') return;
  for (char& c : text)
    if (c == ',') c = '.';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsExponentMark(char c) { return c == 'e' || c == 'E'; }

// Why a typed length, pitch or angle cannot be read as what it plainly means.
enum class Fault : uint8_t { kNone, kForm, kZeroDenominator, kFractionTooLarge, kMinutes, kPitchRun, kZeroRun };

// What a typed length, pitch or angle reads as; value is 0 when it is refused.
struct Reading {
  double value = 0;
  Fault fault = Fault::kNone;
};

Reading Refusal(Fault fault) { return Reading{0, fault}; }

// One number of an entry: a decimal ("6", "6.5", ".5", "96e-1") or a fraction of two whole
// numbers ("3/4", "1/3").
struct Piece {
  double value = 0;
  bool fraction = false;
  long long numerator = 0, denominator = 0;  // of a fraction
  bool whole = false;  // digits alone: a fraction may follow it ("6 3/4")
};

// Reads an entry left to right. Every entry is read in full: a character the form does not
// take refuses it, where atof would stop and take what came before.
class Scanner {
 public:
  explicit Scanner(const std::string& text) : s_(text) { blanks(); }
  bool atEnd() const { return at_ == s_.size(); }
  bool take(char c) {
    if (atEnd() || s_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool at(char c) const { return !atEnd() && s_[at_] == c; }
  // Skips blanks; whether there were any.
  bool blanks() {
    const size_t from = at_;
    while (!atEnd() && (s_[at_] == ' ' || s_[at_] == '\t')) ++at_;
    return at_ > from;
  }
  // A sign leading the entry; whether it is a minus.
  bool sign() {
    if (take('-')) return true;
    take('+');
    return false;
  }
  // The number at the cursor. A sign is no part of it: only the entry as a whole has one.
  Fault piece(Piece* p) {
    if (!digit(at_) && !(point(at_) && digit(at_ + 1))) return Fault::kForm;
    size_t i = at_;
    while (digit(i)) ++i;
    if (i > at_ && i < s_.size() && s_[i] == '/') {
      // Numerator and denominator are whole numbers; a signed denominator ("1/-2") is no
      // fraction anyone writes.
      size_t end = 0;
      const long long numerator = Digits(at_, &end);
      const size_t j = i + 1;
      if (j < s_.size() && (s_[j] == '-' || s_[j] == '+')) return Fault::kForm;
      const long long denominator = Digits(j, &end);
      if (end == j || denominator == 0) return Fault::kZeroDenominator;
      if (numerator > INT32_MAX || denominator > INT32_MAX) return Fault::kFractionTooLarge;
      p->value = static_cast<double>(numerator) / static_cast<double>(denominator);
      p->fraction = true;
      p->numerator = numerator;
      p->denominator = denominator;
      p->whole = false;
      at_ = end;
      return Fault::kNone;
    }
    size_t j = i;
    if (point(j)) {
      ++j;
      while (digit(j)) ++j;
    }
    if (j < s_.size() && IsExponentMark(s_[j])) {
      size_t k = j + 1;
      if (k < s_.size() && (s_[k] == '-' || s_[k] == '+')) ++k;
      if (!digit(k)) return Fault::kForm;
      while (digit(k)) ++k;
      j = k;
    }
    std::string number = s_.substr(at_, j - at_);
    CommasToPoints(number);
    p->value = std::strtod(number.c_str(), nullptr);
    p->fraction = false;
    p->whole = j == i;
    at_ = j;
    return Fault::kNone;
  }

 private:
  bool digit(size_t i) const { return i < s_.size() && IsDigit(s_[i]); }
  // The decimal point: '.', and ',' where the user writes decimals with another separator.
  bool point(size_t i) const { return i < s_.size() && (s_[i] == '.' || (s_[i] == ',' && gDecimalSeparator != '.')); }
  // The digits from `from` on and where they end; past INT32_MAX the value stops growing.
  long long Digits(size_t from, size_t* end) const {
    long long value = 0;
    for (; digit(from); ++from)
      if (value <= INT32_MAX) value = value * 10 + (s_[from] - '0');
    *end = from;
    return value;
  }

  const std::string& s_;
  size_t at_ = 0;
};

// A double as a float; past a float's range it is an infinity of its sign (a cast would be
// undefined).
float ToFloat(double v) {
  if (std::fabs(v) > FLT_MAX) return v < 0 ? -INFINITY : INFINITY;
  return static_cast<float>(v);
}

// Rounded to the design's imperial precision, as every imperial length and pitch typed is.
double ToPrecision(double v) {
  float f = ToFloat(v);
  NormalizeInputToPrecision(&f);
  return f;
}

// An imperial length in inches: inches ("6", "6.5", "6 3/4", "6-3/4", "3/4"), feet and inches
// ("5 6", "5-6", "5' 6\"", "5'6\"", "5'-6 3/4\"", "5 6 3/4", "5' 3/4") or feet ("5'"), with one
// sign in front. The dash between feet and inches, or between inches and their fraction, stands
// where a blank would, with nothing on either side of it; a foot mark needs nothing after it.
// An inch mark ends the entry and a foot mark follows the first number only.
Reading ReadImperialLength(const std::string& text) {
  Scanner in(text);
  const bool negative = in.sign();
  struct Marked {
    Piece piece;
    char mark = 0;
  };
  Marked items[3];
  size_t count = 0;
  for (;;) {
    if (count == 3) return Refusal(Fault::kForm);  // "5 6 7 8", "1/2 3 4"
    Marked& m = items[count++];
    if (const Fault f = in.piece(&m.piece); f != Fault::kNone) return Refusal(f);
    if (in.take('\'')) m.mark = '\'';
    else if (in.take('"')) m.mark = '"';
    const bool blank = in.blanks();
    if (in.atEnd()) break;
    // The next piece must follow at once ("5 -6" and "5- 6" are refused there).
    if (blank || in.take('-') || m.mark == '\'') continue;
    return Refusal(Fault::kForm);  // "5.5.5", "5+3", "1,5" with a decimal point, "5'6'"
  }
  for (size_t i = 0; i < count; ++i) {
    const char mark = items[i].mark;
    if ((mark == '"' && i + 1 < count) || (mark == '\'' && (i > 0 || items[i].piece.fraction)))
      return Refusal(Fault::kForm);
  }
  const Piece& a = items[0].piece;
  double feet = 0, inches = 0;
  if (count == 1) {
    (items[0].mark == '\'' ? feet : inches) = a.value;
  } else if (count == 2) {
    const Piece& b = items[1].piece;
    if (a.fraction) return Refusal(Fault::kForm);  // "1/2 3", "1/2 3/4"
    if (b.fraction && items[0].mark != '\'') {
      if (!a.whole) return Refusal(Fault::kForm);  // "6.5 1/2"
      inches = a.value + b.value;                  // "6 3/4"
    } else {
      feet = a.value;  // "5 6", "5' 6\"", "5' 3/4"
      inches = b.value;
    }
  } else {
    const Piece &b = items[1].piece, &c = items[2].piece;
    // "5 6 3/4": feet, whole inches and a fraction of an inch.
    if (a.fraction || !b.whole || items[1].mark || !c.fraction) return Refusal(Fault::kForm);
    feet = a.value;
    inches = b.value + c.value;
  }
  const double magnitude = feet * 12 + inches;
  return Reading{ToPrecision(negative ? -magnitude : magnitude), Fault::kNone};
}

// A metric length in inches: a number in the readout unit, or with one unit ("1.5 m", "150cm",
// "1500 mm"), with one sign in front.
Reading ReadMetricLength(const std::string& text) {
  Scanner in(text);
  const bool negative = in.sign();
  Piece p;
  if (const Fault f = in.piece(&p); f != Fault::kNone) return Refusal(f);
  if (p.fraction) return Refusal(Fault::kForm);  // "5/2": a metric length is a decimal
  in.blanks();
  double factor = 0;
  if (in.take('m')) factor = in.take('m') ? 0.03937 : 39.37;
  else if (in.take('c')) factor = in.take('m') ? 0.3937 : 0;
  else if (in.atEnd()) {
    switch (DecodeMetricReadoutFormat()) {
      case kReadoutMeters: factor = 39.37; break;
      case kReadoutCentimeters: factor = 0.3937; break;
      default: factor = 0.03937; break;
    }
  }
  in.blanks();
  if (factor == 0 || !in.atEnd()) return Refusal(Fault::kForm);  // "5m 30cm", "1m50", "m5"
  return Reading{negative ? -p.value * factor : p.value * factor, Fault::kNone};
}

Reading ReadLength(const std::string& text) {
  const DocState* ds = CurDocState();
  if (!ds) return {};
  return ds->measureSystem == kMeasureImperial ? ReadImperialLength(text) : ReadMetricLength(text);
}

// A number with an optional fraction after it: "6", "6.5", "3/4", "6 3/4" or "6-3/4", with one
// sign in front. Unrounded.
Reading ReadWholeAndFraction(const std::string& text) {
  Scanner in(text);
  const bool negative = in.sign();
  Piece a;
  if (const Fault f = in.piece(&a); f != Fault::kNone) return Refusal(f);
  double v = a.value;
  const bool blank = in.blanks();
  if (!in.atEnd()) {
    if (!a.whole || (!blank && !in.take('-'))) return Refusal(Fault::kForm);
    Piece b;
    if (const Fault f = in.piece(&b); f != Fault::kNone) return Refusal(f);
    if (!b.fraction) return Refusal(Fault::kForm);
    v += b.value;
    in.blanks();
    if (!in.atEnd()) return Refusal(Fault::kForm);
  }
  return Reading{negative ? -v : v, Fault::kNone};
}

// A pitch is a rise per 12 of run (per 10 in metric designs), the run the field shows beside
// it. It is typed as that rise, one number, never feet and inches ("5-6" and "5'6\"" are
// refused, not read as 5): imperial rises take a fraction as a length's inches do ("5 1/2",
// "5-1/2", "1/2"), metric rises are decimals. Or it is typed as a rise over a run: over the
// field's run with a slash or a colon ("6/12", "6.5/12", "6:12"; metric "5/10"), over any other
// run with a colon ("3:6" is 6 per 12). A lone fraction is a part of one unit of rise only as the
// imperial pitch readouts write one: below one, in lowest terms, over 2, 4, 8 or 16 ("1/2",
// "3/8"). Any other lone fraction over another run is refused: "8/16" or "3/6" reads as a rise
// over a run as much as a part of a unit, the one twelve times or more as steep as the other.
Reading ReadPitch(const std::string& text) {
  const DocState* ds = CurDocState();
  if (!ds) return {};
  const bool metric = ds->measureSystem != kMeasureImperial;
  const double fieldRun = metric ? 10 : 12;
  // The parts of a unit of rise, as the imperial readouts write them: an odd numerator below a
  // denominator of 2, 4, 8 or 16 ("1/2", "3/4", "5/16"; not "2/4", "8/16" or "5/2").
  const auto riseFraction = [metric](const Piece& p) {
    const bool readoutDenominator = p.denominator == 2 || p.denominator == 4 || p.denominator == 8 ||
                                    p.denominator == 16;
    return !metric && readoutDenominator && p.numerator % 2 == 1 && p.numerator < p.denominator;
  };
  Scanner in(text);
  const bool negative = in.sign();
  Piece a;
  if (const Fault f = in.piece(&a); f != Fault::kNone) return Refusal(f);
  double rise = a.value;
  bool blank = in.blanks();
  const bool loneFraction = a.fraction;
  // Whole units of an imperial rise and a fraction ("6 1/2", "6-1/2").
  if (!metric && a.whole && !in.atEnd() && !in.at(':') && (blank || in.take('-'))) {
    Piece b;
    if (const Fault f = in.piece(&b); f != Fault::kNone) return Refusal(f);
    if (!b.fraction) return Refusal(Fault::kForm);
    rise += b.value;
    blank = in.blanks();
  }
  double run = fieldRun;
  if (in.take(':')) {
    // "6:12", "6 : 12", "3:6", "6 1/2:12", "1/2:12": a rise and the run it rises over. Before a
    // colon a lone fraction is a fraction of a rise ("6/12:12" is refused).
    if (loneFraction && !riseFraction(a)) return Refusal(Fault::kPitchRun);
    in.blanks();
    Piece r;
    if (const Fault f = in.piece(&r); f != Fault::kNone) return Refusal(f);
    if (r.fraction) return Refusal(Fault::kForm);
    if (!(r.value > 0)) return Refusal(Fault::kZeroRun);
    if (!std::isfinite(r.value)) return Refusal(Fault::kForm);
    run = r.value;
    in.blanks();
  } else if (!blank && !a.fraction && !a.whole && in.take('/')) {
    // A decimal rise over the field's run ("6.5/12").
    Piece r;
    if (const Fault f = in.piece(&r); f != Fault::kNone) return Refusal(f);
    if (r.fraction) return Refusal(Fault::kForm);
    if (r.value != fieldRun) return Refusal(Fault::kPitchRun);
    in.blanks();
  } else if (loneFraction) {
    // "6/12" is a rise of 6 (metric "5/10" of 5); "1/2" is half a unit of rise; "8/16" is no
    // part of a unit the readouts write.
    if (a.denominator == fieldRun) rise = static_cast<double>(a.numerator);
    else if (!riseFraction(a)) return Refusal(Fault::kPitchRun);
  }
  if (!in.atEnd()) return Refusal(Fault::kForm);
  const double perFieldRun = run == fieldRun ? rise : rise * fieldRun / run;
  const double signedRise = negative ? -perFieldRun : perFieldRun;
  if (!metric) return Reading{ToPrecision(signedRise), Fault::kNone};
  // Rise per 10 of run to rise per 12: single-precision factors applied to the number as read,
  // narrowed once at the end (50 reads exactly 60).
  return Reading{signedRise * 0.3937f * 3.048006f, Fault::kNone};
}

// Degrees ("45", "22.5", "1/2", "22 1/2"), with the degree mark after them or not, then unless
// degreesOnly the minutes, 0 to less than 60, after whole degrees ("45 30", "45° 30'",
// "45°30'"), with one sign in front for the whole angle ("-45 30" is -45.5).
Reading ReadAngle(const std::string& text, bool degreesOnly) {
  Scanner in(text);
  const bool negative = in.sign();
  Piece d;
  if (const Fault f = in.piece(&d); f != Fault::kNone) return Refusal(f);
  double v = d.value;
  bool wholeDegrees = d.whole;
  bool blank = in.blanks();
  Piece next;
  bool haveNext = false;
  if (blank && !in.atEnd()) {
    if (const Fault f = in.piece(&next); f != Fault::kNone) return Refusal(f);
    haveNext = true;
    if (next.fraction) {  // "22 1/2": a fraction of a degree
      if (!d.whole) return Refusal(Fault::kForm);
      v += next.value;
      wholeDegrees = haveNext = false;
      blank = in.blanks();
    }
  }
  bool marked = false;
  if (!haveNext && !blank && in.take(kReadoutDegreeMark)) {
    marked = true;
    blank = in.blanks();
  }
  if (!haveNext && !in.atEnd()) {
    if (!blank && !marked) return Refusal(Fault::kForm);  // "30'59", "1,5" with a decimal point
    if (const Fault f = in.piece(&next); f != Fault::kNone) return Refusal(f);
    haveNext = true;
  }
  if (haveNext) {
    // Minutes follow whole degrees: "22.5 30" and "22 1/2 30" are refused, as is a second
    // number where only degrees are taken.
    if (degreesOnly || next.fraction || !wholeDegrees) return Refusal(Fault::kForm);
    if (!(next.value < 60)) return Refusal(Fault::kMinutes);
    v += next.value / 60;
    in.take('\'');
    in.blanks();
    if (!in.atEnd()) return Refusal(Fault::kForm);  // seconds, or anything else
  }
  return Reading{negative ? -v : v, Fault::kNone};
}

}  // namespace

float TokenizeInches(char* first, char* second) {
  if (!first) return 0;
  std::string text = first;
  if (second && *second) text += std::string(" ") + second;
  return ToFloat(ReadWholeAndFraction(text).value);
}

float ParseLengthText(const std::string& text) { return ToFloat(ReadLength(text).value); }

float ParseAngleText(const std::string& text, bool degreesOnly) { return ToFloat(ReadAngle(text, degreesOnly).value); }

float ParsePitchText(const std::string& text) { return ToFloat(ReadPitch(text).value); }

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

// An example decimal as the user writes it.
std::string Decimal(const char* whole, const char* fraction) {
  return std::string(whole) + (gDecimalSeparator == ',' ? ',' : '.') + fraction;
}

// Why a length, pitch or angle was refused; a malformed entry is shown the forms its field takes.
std::string FaultReason(Fault fault, NumberKind kind) {
  switch (fault) {
    case Fault::kNone: return {};
    case Fault::kZeroDenominator: return kZeroDenominator;
    case Fault::kFractionTooLarge: return kFractionTooLarge;
    case Fault::kMinutes: return "The minutes of an angle must be less than 60.";
    case Fault::kZeroRun: return "The run of a pitch must be more than zero.";
    case Fault::kPitchRun: case Fault::kForm: break;
  }
  const DocState* ds = CurDocState();
  const bool metric = ds && ds->measureSystem != kMeasureImperial;
  if (fault == Fault::kPitchRun && metric)
    return "A rise over a run other than 10 is typed with a colon: 3:6 is 5 per 10. A part of one unit of rise is "
           "a decimal: " + Decimal("0", "5") + ".";
  if (fault == Fault::kPitchRun)
    return "A rise over a run other than 12 is typed with a colon: 3:6 is 6 per 12. A part of one unit of rise is "
           "a fraction in lowest terms below one, over 2, 4, 8 or 16: 1/2, 3/8.";
  if (kind == NumberKind::kLength && metric)
    return "Type a length as a number in the design's unit, or with one unit: " + Decimal("1", "5") +
           " m, 150 cm or 1500 mm.";
  if (kind == NumberKind::kLength)
    return "Type a length as inches (6, " + Decimal("6", "5") +
           ", 6 3/4), feet and inches (5 6, 5' 6\", 5-6, 5 6 3/4) or feet (5').";
  if (kind == NumberKind::kPitch && metric)
    return "Type a pitch as its rise per 10 of run (5 or " + Decimal("2", "5") +
           ") or as a rise over a run (5/10, 5:10 or 3:6).";
  if (kind == NumberKind::kPitch)
    return "Type a pitch as its rise per 12 of run (6, " + Decimal("6", "5") +
           ", 6 1/2 or 1/2) or as a rise over a run (6/12, 6:12 or 3:6).";
  return "Type an angle as degrees (45, " + Decimal("22", "5") +
         ", 22 1/2) or degrees and minutes (45 30, 45\xC2\xB0 30').";
}

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
  Reading read;
  switch (kind) {
    case NumberKind::kLength: read = ReadLength(text); break;
    case NumberKind::kAngle: read = ReadAngle(text, false); break;
    case NumberKind::kPitch: read = ReadPitch(text); break;
    case NumberKind::kPitchAngle: read = ReadAngle(text, false); break;
    default: break;
  }
  if (read.fault != Fault::kNone) return Refused(FaultReason(read.fault, kind));
  value = read.value;
  switch (kind) {
    case NumberKind::kLength: case NumberKind::kAngle: case NumberKind::kPitch: break;
    case NumberKind::kPitchAngle: {
      const float degrees = ToFloat(value);
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

TypedNumber CheckTypedWholeUnits(const std::string& input, float unitInches) {
  const std::string text = Trimmed(input);
  const DocState* ds = CurDocState();
  const bool metric = ds && ds->measureSystem != kMeasureImperial;
  double plain = 0;
  double units = 0;
  if (ReadDecimal(text, &plain)) {
    // A number alone counts the field's unit.
    const TypedNumber n = CheckTypedNumber(text, NumberKind::kDecimal);
    if (!n.accepted) return n;
    units = n.value;
  } else {
    const TypedNumber n = CheckTypedNumber(text, NumberKind::kLength);
    if (!n.accepted) return n;
    units = static_cast<double>(n.value) / unitInches;
  }
  // Lengths convert to the unit only to within a float's share ("2500 cm" is 25.0000001 m).
  const double whole = std::round(units);
  if (!(unitInches > 0) || !(std::fabs(units - whole) <= 1e-5 * std::max(1.0, std::fabs(whole))) ||
      !(std::fabs(whole) <= TypedNumberLimit(NumberKind::kWhole)))
    return Refused(metric ? "Type a whole number of meters: 25, 25 m or 2500 cm."
                          : "Type a whole number of feet: 100, 100' or 1200\".");
  TypedNumber n;
  n.accepted = true;
  n.whole = static_cast<int32_t>(whole);
  n.value = static_cast<float>(whole == 0 ? 0.0 : whole);
  return n;
}

TypedNumber ReadTypedWholeUnits(QLineEdit* field, float unitInches) {
  if (!field) return Refused("Please enter a number.", true);
  if (static_cast<size_t>(field->text().size()) > kMaxTypedNumberLength * 4)
    return Refused("The entry is too long to be a number.");
  return CheckTypedWholeUnits(FieldText(field), unitInches);
}

TypedNumber ReadTypedNumber(QLineEdit* field, NumberKind kind) {
  if (!field) return Refused("Please enter a number.", true);
  return ReadTypedText(field->text(), kind);
}

TypedNumber ReadTypedText(const QString& text, NumberKind kind) {
  if (static_cast<size_t>(text.size()) > kMaxTypedNumberLength * 4)
    return Refused("The entry is too long to be a number.");
  return CheckTypedNumber(FieldText(text), kind);
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
