// Material palettes: each document's chain of named palettes of 150 entries, the active
// palette, and the resolution of palette links (texture ids -1001..-1999) to real materials.
#pragma once
#include <cstdint>

#include "model/Types.h"

// Palette sizes (process-wide, never changed).
extern const int32_t gTotalPaletteSections;  // 15 sections per palette
extern const int32_t gPalettesPerGroup;      // 10 entries per section
extern const int32_t gTotalPaletteEntries;   // 150 entries per palette
constexpr int kPaletteSectionCount = 15;
constexpr int kPaletteEntriesPerSection = 10;
constexpr int kPaletteEntryCount = 150;
constexpr int kPaletteNameSize = 128;
constexpr int kPaletteSectionNameSize = 64;

// Entry kinds; a fresh entry has kind 0 (empty).
constexpr int16_t kPaletteEntryColor = 4;
constexpr int16_t kPaletteEntryTexture = 5;        // stock texture id
constexpr int16_t kPaletteEntryCustomTexture = 9;  // custom texture named by path

// One palette entry; allocated zeroed, freed with its palette.
struct PaletteList {
  PaletteList* prev;
  int32_t refID;             // 1..150; the entry's link id is -(1000 + refID)
  int16_t kind;
  int32_t textureID;         // stock id for kind 5, else 0
  ShortPoint textureScale;   // percent
  RGBColor auxColor;         // carried, not interpreted
  RGBColor color;            // kind 4; components 0..255
  char* texturePath;         // owned; kind 9, relative to the custom texture folder
  char* extraText;           // owned; carried, not interpreted
  PaletteList* next;
};

// One palette of a document's chain (head: the document model's itsPaletteList).
struct DocPaletteList {
  DocPaletteList* prev;
  char name[kPaletteNameSize];
  char sectionNames[kPaletteSectionCount][kPaletteSectionNameSize];
  uint8_t sectionCollapsed[kPaletteSectionCount];  // 1 = shown collapsed
  uint8_t active;
  PaletteList* entries;
  DocPaletteList* next;
};

// ---- Palettes (current document) ----
// Appends a palette named "Default Palette" with titles "Group 1".."Group 15", all sections
// expanded, not active, and 150 fresh entries. Null on allocation failure or without a document.
DocPaletteList* AddNewDocPaletteList();
// Appends a fresh entry (kind 0, texture 0, scale 100/100, colours 255/255/255, no texts).
PaletteList* AddPaletteListEntry(DocPaletteList* palette, int32_t refID);
// Unlinks a palette from the current document's chain and frees it with its entries.
void DeleteDocPalette(DocPaletteList* palette);
void DeleteAllDocPalettes();
// Frees a chain given by its head; for document teardown.
void FreeDocPaletteChain(DocPaletteList* head);

DocPaletteList* GetActiveDocPaletteList();
PaletteList* GetCurrentPaletteList();
// Makes active exactly the palettes whose name equals name (no match: none active).
void SetActiveDocPaletteListByName(const char* name);
DocPaletteList* GetDocPaletteListByName(const char* name);
uint8_t DoesPaletteNameExists(const char* name);
// Copies the active palette into the palette of that name (made when missing); 1 on success.
uint8_t CopyCurrentPalette(const char* name, uint8_t makeActive);
// Whether the section holding refID is expanded in the active palette (1 when unknown).
uint8_t IsPaletteGroupExpanded(int32_t refID);

// ---- Entries ----
// Copies kind, colour, texture id, scale and both texts; refID and auxColor stay.
void CopyPaletteListEntry(const PaletteList* from, PaletteList* to);
// Copies into the active palette's entry refID, then clears what the kind does not use.
void UpdateCurPaletteListEntry(int32_t refID, const PaletteList* from);
PaletteList* GetPaletteEntryFromRefID(int32_t refID);
// Back to a fresh entry's values (texture 0, scale 100/100, both colours white, texts freed);
// refID and kind stay.
void ResetPaletteListEntry(PaletteList* entry);
// Replaces an owned text of an entry with a copy of text (null or "" frees it).
void SetPaletteEntryText(char** field, const char* text);

// ---- Link resolution ----
bool IsTextureAPalette(int32_t id);
// The texture id a link resolves to (0 when no entry); other ids unchanged.
int32_t GetPaletteTextureID(int32_t id);
// The entry's colour for a colour entry, else white.
RGBColor GetPaletteRGBColor(int32_t id);
// The same written to out, for a palette link only (out keeps its colour for other ids).
void GetPaletteRGBColor(RGBColor* out, int32_t id);
// The entry's texture scale, else 100/100.
ShortPoint GetPaletteTextureScale(int32_t id);

// The same resolution against a given palette (null: the defaults).
int32_t ResolvePaletteTextureID(const DocPaletteList* palette, int32_t id);
RGBColor ResolvePaletteRGBColor(const DocPaletteList* palette, int32_t id);
ShortPoint ResolvePaletteTextureScale(const DocPaletteList* palette, int32_t id);
