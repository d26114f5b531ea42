// Making content entries, and the flat byte record that carries one through drag and drop
// (host byte order; it never leaves the running program):
//   type 2, refNum 4, colorIndex 4, textureID 4, textureScale 2 + 2, textureColor 2 x 3,
//   then four texts (preview, data, info, description), each a 32-bit length and its bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/SymEntryInfo.h"

// Drag formats: the kind a drag declares, and the name the record is always stored under.
inline constexpr const char* Content3DDNDPboardType = "Content3DDNDPboardType";
inline constexpr const char* Content2DDNDPboardType = "Content2DDNDPboardType";

// The initialisers; each sets type and refNum from entryType and identifier. A null text
// leaves its field absent.
void initWithPreviewPath(SymEntryInfo* entry, const char* preview, const char* info, const char* data,
                         const char* description, int32_t identifier, int16_t entryType);
void initWithPreviewPath(SymEntryInfo* entry, const char* preview, const char* info, const char* data,
                         const char* description, int32_t textureID, int32_t identifier,
                         int16_t entryType);
// Colour `colorIndex` (0..71) of the current design's colour table; without a design the
// entry stays blank (an index outside the table gives black).
void initWithColorIndex(SymEntryInfo* entry, int32_t colorIndex, int32_t identifier, int16_t entryType);
// Ramp step 1..45 of hue 0..255: steps 1-25 lighten towards white, 26-45 darken.
void initWithColorIndexHue(SymEntryInfo* entry, int32_t step, int32_t hue, int32_t identifier,
                           int16_t entryType);
// A named colour; components are clamped to 0..255.
void initWithRed(SymEntryInfo* entry, int32_t red, int32_t green, int32_t blue, const char* description,
                 int32_t identifier, int16_t entryType);

std::vector<uint8_t> encodeSymEntry(const SymEntryInfo& entry);
// Fills the entry from a record of any length: a number that does not lie wholly within the
// data reads as 0 without advancing; a text of length 0 stays as it was and one whose bytes
// do not fit is absent. False only for null data or an empty record.
bool decodeSymEntryWithData(SymEntryInfo* entry, const uint8_t* data, size_t size);

// Readers used by the decoder; each advances *index past what it read.
int16_t decodeShortFromData(const uint8_t* data, size_t size, size_t* index);
uint16_t decodeUShortFromData(const uint8_t* data, size_t size, size_t* index);
int32_t decodeLongFromData(const uint8_t* data, size_t size, size_t* index);
uint32_t decodeUnsignedFromData(const uint8_t* data, size_t size, size_t* index);
// False (nothing read, index unchanged) when n bytes do not lie within the data or n is 0.
bool decodeStringOfLength(uint32_t n, const uint8_t* data, size_t size, size_t* index, std::string* out);

namespace content {
// Fills the entry from the data of a content library drag; false when the data holds none.
bool DecodeSymEntryWithData(const uint8_t* data, size_t size, SymEntryInfo* entry);
}  // namespace content
