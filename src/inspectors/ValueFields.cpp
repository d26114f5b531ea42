// Value fields: lengths, angles, pitches and integers typed and shown in text fields.
#include "inspectors/ValueFields.h"

#include <QLineEdit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Readouts.h"

namespace {

// Readout bytes as shown: the degree mark byte becomes U+00B0.
QString ReadoutString(const char* text) {
  QString shown;
  if (!text) return shown;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
    shown += *p == static_cast<unsigned char>(kReadoutDegreeMark) ? QChar(0x00B0)
                                                                  : QChar(static_cast<char16_t>(*p));
  return shown;
}

// The field's text as interface bytes: the degree sign becomes the degree mark byte.
std::string FieldText(QLineEdit* field) {
  std::string text;
  for (QChar c : field->text()) {
    if (c.unicode() == 0x00B0) text += kReadoutDegreeMark;
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
  double fraction = 0;
  if (numerator && denominator)
    fraction = ConvertFractionToDecimal(static_cast<int32_t>(std::atol(numerator)),
                                        static_cast<int32_t>(std::atol(denominator)));
  return Signed(whole, fraction);
}

float ParseLengthText(const std::string& input) {
  const DocState* ds = CurDocState();
  if (!ds) return 0;
  std::string text = input;
  bool digitSeen = false;
  for (char& c : text) {
    if (c >= '0' && c <= '9') digitSeen = true;
    else if (c == '-' && digitSeen) c = ' ';
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
  if (ds->measureSystem != kMeasureImperial)
    return static_cast<float>(std::atof(text.c_str())) * 0.3937f * 3.048006f;
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

int32_t GetLongItem(QLineEdit* field) { return field ? field->text().trimmed().toInt() : 0; }

void SetLongItem(QLineEdit* field, int32_t value) {
  if (field) field->setText(QString::number(value));
}

float NormalizeInputToBounds(float value, float minimum, float maximum) {
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
