// Reading and writing lengths, angles, pitches and integers in the text fields of the
// inspectors and sheets, in the current document's units, and the multiple-selection
// variants that empty a field when the selected objects disagree.
#pragma once
#include <cstdint>
#include <string>

#include "model/Types.h"
#include "plandraw/DrawTypes.h"

class QLineEdit;
class QString;

// The parsers behind the field readers (text as typed; the current document's units). Each
// reads an entry as what it plainly means, or not at all: an entry CheckTypedNumber refuses
// (a lone or inner sign, a second decimal point, a comma that is not the decimal separator, a
// signed denominator, a stray token or unit) reads 0, as text without a number does. A fraction
// of a length or an angle reads as its value over any denominator ("1/3").
// Length in inches: metric as a number in the readout unit or with one unit ("1.5 m", "150 cm",
// "1500mm"); imperial as inches ("6", "6 3/4", "3/4"), feet and inches ("5 6", "5-6", "5' 6\"",
// "5'6\"", "5 6 3/4", "5' 3/4") or feet ("5'"), rounded to the precision.
// A number may carry an exponent ("96e-1", "3.5e2") in both systems.
// 0 without a document or its DocState.
float ParseLengthText(const std::string& text);
// Degrees ("45", "22.5", "22 1/2"), then unless degreesOnly minutes below 60 ("45 30"; the
// degree mark may follow the degrees and "'" the minutes); 0 for an empty text.
float ParseAngleText(const std::string& text, bool degreesOnly);
// Rise per 12 of run ("6", "6 1/2", "6-1/2", "1/2"; metric designs: a decimal rise per 10), or
// a rise over the run the field shows ("6/12", "6:12"; metric "5/10") or over another run with a
// colon ("3:6"); never feet and inches. A lone fraction over another run is a part of one unit
// of rise only as the readouts write one ("1/2", "3/8"; not "4/8" or "8/16", which read 0). 0
// without a document or its DocState.
float ParsePitchText(const std::string& text);
// A number and a fraction token ("6", "3/4"): their sum, negative when the number is; 0 when
// they are no such pair. Either text may be null.
float TokenizeInches(char* first, char* second);

// Field readers and writers; a null field reads 0 and is not written.
float GetFloatItem(QLineEdit* field);
void SetFloatItem(QLineEdit* field, float inches);
float GetFloatAngleItem(QLineEdit* field, uint8_t degreesOnly);
// With noMark set the degree mark is cut off.
void SetFloatAngleItem(QLineEdit* field, float degrees, uint8_t noMark);
float GetFloatPitchItem(QLineEdit* field);
void SetFloatPitchItem(QLineEdit* field, float pitch);
// A pitch typed and shown as its angle.
float GetFloatPitchAngleItem(QLineEdit* field);
void SetFloatPitchAngleItem(QLineEdit* field, float pitch);
int32_t GetLongItem(QLineEdit* field);
void SetLongItem(QLineEdit* field, int32_t value);

// What a typed number stands for; each kind has the widest range the file and the plan can
// hold, which every field's own range lies within.
enum class NumberKind : uint8_t {
  kLength,      // inches (lengths, distances, offsets, elevations), read as GetFloatItem does
  kAngle,       // degrees, with minutes, read as GetFloatAngleItem does
  kRadians,     // a plain number of radians
  kPitch,       // rise per 12 of run, read as GetFloatPitchItem does
  kPitchAngle,  // a pitch typed as its angle in degrees, read as GetFloatPitchAngleItem does
  kWhole,       // a whole number (counts, sizes in whole units, percentages of zoom)
  kDecimal,     // a plain decimal number (scales in percent, line widths)
};

// The outcome of reading a typed number.
struct TypedNumber {
  bool accepted = false;
  bool blank = false;  // nothing but blanks was typed
  float value = 0;     // the number; 0 when refused
  int32_t whole = 0;   // a whole number (kWhole) exactly as typed, which value may round
  std::string reason;  // why it was refused, for the alert
};

// The one check every typed number passes before it is used. Refused: a blank entry, an
// entry of more than kMaxTypedNumberLength characters, one without a digit, one that does
// not read as a finite number ("nan", "inf", a whole number with a fraction, an exponent
// without digits before or after it), a length, pitch or angle with a fraction over zero or
// with a numerator or denominator past 2147483647, or in none of its kind's forms (the reason
// then shows them; minutes of 60 or more are refused as such), one with a number other than
// zero too close to zero for a float to hold ("1e-40", "1e-400"), and one whose magnitude
// exceeds TypedNumberLimit of its kind. -0 reads as 0.
TypedNumber CheckTypedNumber(const std::string& text, NumberKind kind);
TypedNumber ReadTypedNumber(QLineEdit* field, NumberKind kind);
// The same for a text as a field would hold it.
TypedNumber ReadTypedText(const QString& text, NumberKind kind);
// A size in whole units of a field labelled with its unit (the lot's feet or meters, unitInches
// long): a number alone counts that unit ("25"); any other entry is a length as the length
// fields read it ("25 m", "2500 cm", "100'", "1200\"", "100 0"). Refused as CheckTypedNumber
// refuses, and when it is no whole number of the unit; `whole` holds the count.
TypedNumber CheckTypedWholeUnits(const std::string& text, float unitInches);
TypedNumber ReadTypedWholeUnits(QLineEdit* field, float unitInches);
constexpr size_t kMaxTypedNumberLength = 64;
// The largest magnitude of a kind: lengths are held by the plan in plan units, so their limit
// follows the current design's scale (a length that fills the whole plan coordinate range).
float TypedNumberLimit(NumberKind kind);
// The alert of a refused entry: "Invalid number entered." with the reason. Blank entries say
// nothing (a blank field is what a mixed selection shows).
void AlertRefusedNumber(const TypedNumber& refused);

// minimum when value is below it, maximum when above, else value (a value that is not a
// number is the minimum).
float NormalizeInputToBounds(float value, float minimum, float maximum);
// The rectangle bounding the points; the zero rectangle for a missing array or fewer
// than 4 points.
NSRect FindBoundingNSRectFromPoints(const POINT* points, int32_t count);

// Once per selected object, the first time with initializing set: shows the value, or
// empties the field when the value differs from what it shows by more than the tolerance.
void UpdatePropertiesFloat(QLineEdit* field, float inches, uint8_t initializing);
void UpdatePropertiesFloatAngle(QLineEdit* field, float degrees, uint8_t noMark, uint8_t initializing);
void UpdatePropertiesFloatPitch(QLineEdit* field, float pitch, uint8_t initializing);
void UpdatePropertiesFloatPitchAngle(QLineEdit* field, float pitch, uint8_t initializing);
void UpdatePropertiesLong(QLineEdit* field, int32_t value, uint8_t initializing);
