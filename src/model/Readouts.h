// Readout text for lengths, angles and roof pitches in the current document's
// measurement style, and rounding/clamping of typed lengths to that precision.
#pragma once
#include <cstddef>
#include <cstdint>

// DocState imperialReadout flag bits (none of the first four = sixteenths).
constexpr int16_t kReadoutFlagWhole = 1;
constexpr int16_t kReadoutFlagHalves = 2;
constexpr int16_t kReadoutFlagQuarters = 4;
constexpr int16_t kReadoutFlagEighths = 8;
constexpr int16_t kReadoutFlagFeetInches = 32;
constexpr int16_t kReadoutFlagFractions = 64;

// DocState metricReadout flag bits (neither = millimetres).
constexpr int16_t kReadoutFlagMeters = 1;
constexpr int16_t kReadoutFlagCentimeters = 2;

// Imperial readout format codes.
enum : int16_t {
  kReadoutFtInWhole = 0,
  kReadoutFtInHalf,
  kReadoutFtInQuarter,
  kReadoutFtInEighth,
  kReadoutFtInSixteenth,
  kReadoutInWhole,
  kReadoutInHalf,
  kReadoutInQuarter,
  kReadoutInEighth,
  kReadoutInSixteenth,
  kReadoutFtInDecimalHalf,
  kReadoutFtInDecimalQuarter,
  kReadoutFtInDecimalEighth,
  kReadoutFtInDecimalSixteenth,
  kReadoutInDecimalHalf,
  kReadoutInDecimalQuarter,
  kReadoutInDecimalEighth,
  kReadoutInDecimalSixteenth,
};

// Metric unit codes.
enum : uint16_t { kReadoutMeters = 0, kReadoutCentimeters = 1, kReadoutMillimeters = 2 };

// DocState angleReadout: number of decimals.
enum : int16_t { kReadoutAngle0 = 0, kReadoutAngle1, kReadoutAngle2, kReadoutAngle3, kReadoutAngle4 };

// The degree mark appended to angle text (a byte of the interface's 8-bit encoding;
// the front end shows it as U+00B0).
constexpr char kReadoutDegreeMark = '\xBC';

// Every formatter writes at most this many bytes, NUL included: callers' buffers
// must be at least this large.
constexpr size_t kReadoutTextSize = 64;

// Imperial lengths and pitches beyond this magnitude (inches) print as this magnitude.
constexpr float kReadoutMaxInches = 1.0e9f;

int16_t DecodeImperialReadoutFormat();  // 0-17; 17 without a document
int16_t DecodeMetricReadoutFormat();    // 0-2; 2 without a document

// Readouts of the current document, with the user's decimal separator. Without a
// document the buffer is left as it was.
void ConvertInchesToStr(float inches, char* text);
void ConvertAngleToStr(float degrees, char* text);
void ConvertPitchToStr(float pitch, char* text);

// One explicit format, always with '.'; these need no document.
void ConvertInchesToImperialStr(float inches, char* text, int16_t code);
void ConvertInchesToMetricStr(float inches, char* text, uint16_t unit);
void ConvertPitchToImperialStr(float pitch, char* text, int16_t code);
void ConvertPitchToMetricStr(float pitch, char* text);

// Roof pitch (rise per 12 of run) and its angle in degrees.
float ConvertPitchToAngle(float pitch);
float ConvertAngleToPitch(float degrees);

// Rounds a typed length in place to the imperial precision of the current document.
void NormalizeInputToPrecision(float* value);
// Clamps a typed length into [low, high]; in imperial documents onto the precision grid.
void ConstrainValueToLimits(float* value, float low, float high);

// Rounds a fraction of an inch (0 <= fraction < 1) to halves, quarters, eighths or
// sixteenths; a fraction that rounds to a whole inch carries into *whole.
void ConvertDecimalToHalves(double fraction, int32_t* whole, int32_t* numerator, int32_t* denominator);
void ConvertDecimalToFourths(double fraction, int32_t* whole, int32_t* numerator, int32_t* denominator);
void ConvertDecimalToEighths(double fraction, int32_t* whole, int32_t* numerator, int32_t* denominator);
void ConvertDecimalToSixteenths(double fraction, int32_t* whole, int32_t* numerator, int32_t* denominator);
void ReduceFraction(int32_t base, int32_t* whole, int32_t* numerator, int32_t* denominator);
// numerator / denominator for denominators 1, 2, 4, 8 and 16; 0 for any other.
float ConvertFractionToDecimal(int32_t numerator, int32_t denominator);

// Removes trailing zeros (and a bare trailing '.') from a decimal number in place.
void TruncateTrailingZeros(char* text);
