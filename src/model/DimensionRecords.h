// Type data of dimension objects and of their text boxes, which name each other.
#pragma once
#include <cstdint>
#include "model/Types.h"

struct Objex;

// Dimension objects that may carry a dimension-info record: the older codes 100-108,
// dimension lines and the offset and length dimensions.
constexpr bool IsDimensionObjectType(int16_t t) {
  return (t >= 100 && t <= 108) || t == 137 || (t >= 141 && t <= 143);
}

// typeData of a dimension that has a dimension-info record.
struct DimensionInfoData {
  int32_t flags;      // copy of the document's dimension flags
  Objex* textBox;     // its text box (kObjDimensionInfo), or null
  float values[2];
};

// typeData of a dimension text box (kObjDimensionInfo).
struct DimensionTextData {
  int16_t fontNumber;
  int16_t fontSize;
  int16_t fontStyle;
  LOGFONT font;
  Objex* dimension;   // the dimension the box belongs to
};
