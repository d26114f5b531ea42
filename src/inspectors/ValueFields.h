// Reading and writing lengths, angles, pitches and integers in the text fields of the
// inspectors and sheets, in the current document's units, and the multiple-selection
// variants that empty a field when the selected objects disagree.
#pragma once
#include <cstdint>
#include <string>

#include "model/Types.h"
#include "plandraw/DrawTypes.h"

class QLineEdit;

// The parsers behind the field readers (text as typed; the current document's units).
// Length in inches: metric by unit suffix ("m", "cm", "mm") or the readout unit; imperial
// as feet and inches ("5 6", "5' 6 3/4", "6 3/4", "3/4"), rounded to the precision.
// 0 without a document or its DocState.
float ParseLengthText(const std::string& text);
// Degrees, with minutes unless degreesOnly; 0 for an empty text.
float ParseAngleText(const std::string& text, bool degreesOnly);
// Rise per 12 of run; 0 without a document or its DocState.
float ParsePitchText(const std::string& text);
// A whole number and a fraction token ("6", "3/4"): their sum, negative when either is.
// Either text may be null; they may be split in place.
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

// minimum when value is below it, maximum when above, else value.
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
