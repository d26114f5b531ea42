// Material palettes on disk: the document's palette chain inside the design-file stream
// (big-endian) and the single-palette file (little-endian, version 10000).
#pragma once
#include <cstdint>

struct PaletteList;

constexpr int32_t kTagPaletteEntry = 620;
constexpr int32_t kTagPaletteEntriesEnd = 621;
constexpr int32_t kTagPaletteList = 622;
constexpr int32_t kTagPaletteListsEnd = 623;
constexpr int32_t kPaletteFileVersion = 10000;
// Palettes beyond this many in one stream are not read.
constexpr int32_t kMaxStreamPalettes = 1000;

// Whether a design stream of this version carries the document's palette chain.
constexpr bool StreamHoldsPalettes(int32_t version) { return version == 11000 || version == 11100; }

// Writes the current document's palette chain to the output stream (versions 11000 and
// 11100 only; other versions write nothing).
void DoWritePalettes(int32_t version);
// Replaces the current document's palette chain by the one in the input stream (versions
// 11000 and 11100 only, and only with a DocState). A stream that ends early keeps what was
// read so far; later entries keep their fresh values. False when the stream was damaged
// or cut (the list did not end with its closing tag).
bool DoReadPalettes(int32_t version);

// Writes the active palette's sections and entries as a palette file, whole and atomically.
// 1 on success; 0 without a document or active palette, or when the file cannot be written
// (with the alert "Unable to write the palette file.").
uint8_t PaletteFileWrite(const char* path);
// Reads a palette file into the active palette's sections and the entry chain that starts
// at firstEntry. 0 without an entry chain, document or active palette, or when the file
// cannot be opened (no alert); 0 with the alert "Unable to load the palette file." for a
// version other than 10000 or a damaged file, which then changes nothing.
uint8_t PaletteFileOpen(const char* path, PaletteList* firstEntry);
