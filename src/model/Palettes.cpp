// The document's palette chain, palette entries and the resolution of palette links.
#include "model/Palettes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/CustomTextures.h"
#include "model/DocumentModel.h"
#include "model/TextureIDs.h"
#include "platform/Strings.h"

const int32_t gTotalPaletteSections = kPaletteSectionCount;
const int32_t gPalettesPerGroup = kPaletteEntriesPerSection;
const int32_t gTotalPaletteEntries = kPaletteEntryCount;

namespace {

constexpr RGBColor kWhite{255, 255, 255};
constexpr ShortPoint kFullScale{100, 100};

void CopyField(char* field, size_t size, const char* text) {
  snprintf(field, size, "%s", text ? text : "");
}

void FreeEntries(PaletteList* e) {
  while (e) {
    PaletteList* next = e->next;
    free(e->texturePath);
    free(e->extraText);
    free(e);
    e = next;
  }
}

void FreePalette(DocPaletteList* p) {
  FreeEntries(p->entries);
  free(p);
}

const PaletteList* EntryOfLink(const DocPaletteList* palette, int32_t id) {
  if (!palette || !IsTextureAPalette(id)) return nullptr;
  const int32_t refID = -(id - kTexturePaletteLink);
  for (const PaletteList* e = palette->entries; e; e = e->next)
    if (e->refID == refID) return e;
  return nullptr;
}

}  // namespace

DocPaletteList* AddNewDocPaletteList() {
  if (!gCurDocument) return nullptr;
  auto* p = static_cast<DocPaletteList*>(calloc(1, sizeof(DocPaletteList)));
  if (!p) return nullptr;
  CopyField(p->name, sizeof p->name, "Default Palette");
  const std::string group = LocalizedString("Group");
  for (int s = 0; s < kPaletteSectionCount; ++s)
    snprintf(p->sectionNames[s], sizeof p->sectionNames[s], "%s %ld", group.c_str(), static_cast<long>(s + 1));
  DocPaletteList** link = &gCurDocument->itsPaletteList;
  DocPaletteList* last = nullptr;
  while (*link) {
    last = *link;
    link = &(*link)->next;
  }
  p->prev = last;
  *link = p;
  for (int32_t refID = 1; refID <= kPaletteEntryCount; ++refID) AddPaletteListEntry(p, refID);
  return p;
}

PaletteList* AddPaletteListEntry(DocPaletteList* palette, int32_t refID) {
  if (!palette) return nullptr;
  auto* e = static_cast<PaletteList*>(calloc(1, sizeof(PaletteList)));
  if (!e) return nullptr;
  e->refID = refID;
  e->textureScale = kFullScale;
  e->auxColor = kWhite;
  e->color = kWhite;
  PaletteList** link = &palette->entries;
  PaletteList* last = nullptr;
  while (*link) {
    last = *link;
    link = &(*link)->next;
  }
  e->prev = last;
  *link = e;
  return e;
}

void DeleteDocPalette(DocPaletteList* palette) {
  if (!palette) return;
  if (palette->prev) palette->prev->next = palette->next;
  if (palette->next) palette->next->prev = palette->prev;
  if (gCurDocument && gCurDocument->itsPaletteList == palette) gCurDocument->itsPaletteList = palette->next;
  FreePalette(palette);
}

void DeleteAllDocPalettes() {
  if (!gCurDocument) return;
  FreeDocPaletteChain(gCurDocument->itsPaletteList);
  gCurDocument->itsPaletteList = nullptr;
}

void FreeDocPaletteChain(DocPaletteList* head) {
  while (head) {
    DocPaletteList* next = head->next;
    FreePalette(head);
    head = next;
  }
}

DocPaletteList* GetActiveDocPaletteList() {
  if (!gCurDocument) return nullptr;
  for (auto* p = gCurDocument->itsPaletteList; p; p = p->next)
    if (p->active) return p;
  return nullptr;
}

PaletteList* GetCurrentPaletteList() {
  DocPaletteList* p = GetActiveDocPaletteList();
  return p ? p->entries : nullptr;
}

void SetActiveDocPaletteListByName(const char* name) {
  if (!gCurDocument || !name) return;
  for (auto* p = gCurDocument->itsPaletteList; p; p = p->next) p->active = strcmp(p->name, name) == 0;
}

DocPaletteList* GetDocPaletteListByName(const char* name) {
  if (!gCurDocument || !name) return nullptr;
  for (auto* p = gCurDocument->itsPaletteList; p; p = p->next)
    if (strcmp(p->name, name) == 0) return p;
  return nullptr;
}

uint8_t DoesPaletteNameExists(const char* name) { return GetDocPaletteListByName(name) != nullptr; }

uint8_t CopyCurrentPalette(const char* name, uint8_t makeActive) {
  DocPaletteList* active = GetActiveDocPaletteList();
  if (!active || !name) return 0;
  DocPaletteList* target = GetDocPaletteListByName(name);
  if (!target) target = AddNewDocPaletteList();
  if (!target) return 0;
  if (target != active) CopyField(target->name, sizeof target->name, name);
  // The active palette's own name (or a twin of it): nothing to copy.
  if (target != active && strcmp(active->name, name) != 0) {
    memcpy(target->sectionNames, active->sectionNames, sizeof target->sectionNames);
    memcpy(target->sectionCollapsed, active->sectionCollapsed, sizeof target->sectionCollapsed);
    const PaletteList* from = active->entries;
    for (PaletteList* to = target->entries; from && to; from = from->next, to = to->next)
      CopyPaletteListEntry(from, to);
  }
  if (makeActive) {
    active->active = 0;
    target->active = 1;
  }
  return 1;
}

uint8_t IsPaletteGroupExpanded(int32_t refID) {
  const int32_t s = (refID - 1) / kPaletteEntriesPerSection;
  if (refID < 1 || s >= kPaletteSectionCount) return 1;
  const DocPaletteList* p = GetActiveDocPaletteList();
  if (!p) return 1;
  return p->sectionCollapsed[s] == 0;
}

void SetPaletteEntryText(char** field, const char* text) {
  if (!field) return;
  free(*field);
  *field = nullptr;
  if (text && *text) *field = strdup(text);
}

void CopyPaletteListEntry(const PaletteList* from, PaletteList* to) {
  if (!from || !to || from == to) return;
  to->kind = from->kind;
  to->color = from->color;
  to->textureID = from->textureID;
  to->textureScale = from->textureScale;
  SetPaletteEntryText(&to->texturePath, from->texturePath);
  SetPaletteEntryText(&to->extraText, from->extraText);
}

void UpdateCurPaletteListEntry(int32_t refID, const PaletteList* from) {
  PaletteList* e = GetPaletteEntryFromRefID(refID);
  if (!e || !from) return;
  CopyPaletteListEntry(from, e);
  switch (e->kind) {
    case kPaletteEntryColor: e->textureID = 0; break;
    case kPaletteEntryTexture: e->color = kWhite; break;
    case kPaletteEntryCustomTexture:
      e->textureID = 0;
      e->color = kWhite;
      break;
    default: break;
  }
}

PaletteList* GetPaletteEntryFromRefID(int32_t refID) {
  for (PaletteList* e = GetCurrentPaletteList(); e; e = e->next)
    if (e->refID == refID) return e;
  return nullptr;
}

void ResetPaletteListEntry(PaletteList* entry) {
  if (!entry) return;
  entry->textureID = 0;
  entry->textureScale = kFullScale;
  entry->color = kWhite;
  entry->auxColor = kWhite;
  SetPaletteEntryText(&entry->texturePath, nullptr);
  SetPaletteEntryText(&entry->extraText, nullptr);
}

bool IsTextureAPalette(int32_t id) { return id >= kTexturePaletteLinkFirst && id <= kTexturePaletteLinkLast; }

int32_t ResolvePaletteTextureID(const DocPaletteList* palette, int32_t id) {
  if (!IsTextureAPalette(id)) return id;
  const PaletteList* e = EntryOfLink(palette, id);
  if (!e) return 0;
  if (e->kind == kPaletteEntryTexture) return e->textureID;
  if (e->kind == kPaletteEntryCustomTexture && e->texturePath) return NewCustomTextureID(e->texturePath);
  return 0;
}

RGBColor ResolvePaletteRGBColor(const DocPaletteList* palette, int32_t id) {
  const PaletteList* e = EntryOfLink(palette, id);
  return e && e->kind == kPaletteEntryColor ? e->color : kWhite;
}

ShortPoint ResolvePaletteTextureScale(const DocPaletteList* palette, int32_t id) {
  const PaletteList* e = EntryOfLink(palette, id);
  return e ? e->textureScale : kFullScale;
}

int32_t GetPaletteTextureID(int32_t id) { return ResolvePaletteTextureID(GetActiveDocPaletteList(), id); }
RGBColor GetPaletteRGBColor(int32_t id) { return ResolvePaletteRGBColor(GetActiveDocPaletteList(), id); }
void GetPaletteRGBColor(RGBColor* out, int32_t id) {
  if (out && IsTextureAPalette(id)) *out = GetPaletteRGBColor(id);
}
ShortPoint GetPaletteTextureScale(int32_t id) { return ResolvePaletteTextureScale(GetActiveDocPaletteList(), id); }
