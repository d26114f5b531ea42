// One entry of the content library (a colour, paint, material, trim, plant, symbol, object,
// template, or a custom texture, door, window or trim definition) as the palette lists it
// and as the plan view and the 3D view receive it from a drop. The routines that make,
// encode and decode entries belong to the content library (content/SymEntry.h).
#pragma once
#include <cstdint>
#include <string>

#include "model/Types.h"

// Entry type codes (SymEntryInfo::type).
constexpr int16_t kEntryNone = 0, kEntry3DObject = 2, kEntryTemplate = 3, kEntryColor = 4,
                  kEntryMaterial = 5, kEntryPlant = 6, kEntryTrim = 7, kEntryCustomTexture = 9,
                  kEntryCustomWindow = 10, kEntryCustomDoor = 11, kEntryCustomTrim = 12,
                  kEntryUserPlant = 1000, kEntrySymbol = 1001;

struct SymEntryInfo {
  int16_t type = 0;        // kEntry* code
  int32_t refNum = 0;      // 1-based number within its list
  int32_t colorIndex = 0;  // colour-table index or ramp step
  int32_t textureID = 0;
  ShortPoint textureScale{};
  RGBColor textureColor{};  // each component 0..255
  // Paths and description; an empty text is an absent one.
  std::string objectPreview;
  std::string objectData;
  std::string objectInfo;
  std::string objectDescription;
};
