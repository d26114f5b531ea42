// Readers and writers of the palette records: the palette chain of design files and the
// palette file. Every count and length read is bounded by the data that is left.
#include "files/PaletteFile.h"

#include <cstring>
#include <string>
#include <vector>

#include "files/ByteStream.h"
#include "model/DocumentModel.h"
#include "model/Palettes.h"
#include "platform/Alerts.h"

namespace {

// The two byte orders share one record layout.
struct Codec {
  void (*readLong)(int32_t*);
  void (*readShort)(int16_t*);
  void (*readUShort)(uint16_t*);
  void (*writeLong)(int32_t);
  void (*writeShort)(int16_t);
  void (*writeUShort)(uint16_t);
};
constexpr Codec kBigEndian{ReadLong, ReadShort, ReadUShort, WriteLong, WriteShort, WriteUShort};
constexpr Codec kStd{ReadStdLong, ReadStdShort, ReadStdUShort, WriteStdLong, WriteStdShort, WriteStdUShort};

// Entry texts are read through a work area of this size.
constexpr size_t kTextWorkSize = 512;

int32_t ReadTag(const Codec& c) {
  int32_t tag = 0;
  c.readLong(&tag);
  return StreamFailed() ? 0 : tag;
}

// A length-prefixed text into a fixed field (cut to the field); false when the data ends.
bool ReadText(const Codec& c, char* field, size_t size) {
  int32_t len = 0;
  c.readLong(&len);
  if (StreamFailed()) return false;
  if (len < 0) {
    gStream.readError = true;  // no text has a negative length: the stream is damaged
    return false;
  }
  return ReadFixedString(field, size, static_cast<uint32_t>(len));
}

void WriteText(const Codec& c, const char* text, size_t maxLen) {
  const size_t len = text ? strnlen(text, maxLen) : 0;
  c.writeLong(static_cast<int32_t>(len));
  WriteSome(text, static_cast<uint32_t>(len));
}

void WriteColor(const Codec& c, const RGBColor& rgb) {
  c.writeUShort(rgb.red);
  c.writeUShort(rgb.green);
  c.writeUShort(rgb.blue);
}

void ReadColor(const Codec& c, RGBColor* rgb) {
  c.readUShort(&rgb->red);
  c.readUShort(&rgb->green);
  c.readUShort(&rgb->blue);
}

// ---- Sections ----

struct SectionData {
  uint8_t collapsed[kPaletteSectionCount] = {};
  char names[kPaletteSectionCount][kPaletteSectionNameSize] = {};
  int read = 0;  // sections 0..read-1 hold data
};

void WriteSections(const Codec& c, const DocPaletteList* p) {
  c.writeLong(kPaletteSectionCount);
  for (int s = 0; s < kPaletteSectionCount; ++s) {
    WriteByte(p->sectionCollapsed[s]);
    WriteText(c, p->sectionNames[s], kPaletteSectionNameSize - 1);
  }
}

// Reads the section count and the sections; those beyond the fifteenth are read and dropped.
void ReadSections(const Codec& c, SectionData* out) {
  int32_t count = 0;
  c.readLong(&count);
  for (int32_t s = 0; s < count && !StreamAtEnd(); ++s) {
    const uint8_t collapsed = ReadByte();
    char title[kPaletteSectionNameSize];
    if (!ReadText(c, title, sizeof title)) return;
    if (s < kPaletteSectionCount) {
      out->collapsed[s] = collapsed;
      memcpy(out->names[s], title, sizeof title);
      out->read = s + 1;
    }
  }
}

void ApplySections(const SectionData& data, DocPaletteList* p) {
  for (int s = 0; s < data.read; ++s) {
    p->sectionCollapsed[s] = data.collapsed[s];
    memcpy(p->sectionNames[s], data.names[s], kPaletteSectionNameSize);
  }
}

// ---- Entries ----

struct EntryData {
  bool present = false;  // false: the entry was skipped (a tag other than 620)
  int16_t kind = 0;
  RGBColor color{255, 255, 255};
  int32_t textureID = 0;
  ShortPoint scale{100, 100};
  RGBColor auxColor{255, 255, 255};
  std::string path, text;
};

void WriteEntry(const Codec& c, const PaletteList* e) {
  c.writeLong(kTagPaletteEntry);
  c.writeLong(e->refID);
  c.writeShort(e->kind);
  WriteColor(c, e->color);
  c.writeLong(e->textureID);
  c.writeShort(e->textureScale.x);
  c.writeShort(e->textureScale.y);
  WriteColor(c, e->auxColor);
  WriteText(c, e->texturePath, INT32_MAX);
  WriteText(c, e->extraText, INT32_MAX);
}

// Reads the fields after tag 620; false when the data ended inside the entry.
bool ReadEntry(const Codec& c, EntryData* out) {
  int32_t refID = 0;  // entries keep their own number
  c.readLong(&refID);
  c.readShort(&out->kind);
  ReadColor(c, &out->color);
  c.readLong(&out->textureID);
  c.readShort(&out->scale.x);
  c.readShort(&out->scale.y);
  ReadColor(c, &out->auxColor);
  char text[kTextWorkSize];
  if (!ReadText(c, text, sizeof text)) return false;
  out->path = text;
  if (!ReadText(c, text, sizeof text)) return false;
  out->text = text;
  out->present = true;
  return !StreamFailed();
}

void ApplyEntry(const EntryData& data, PaletteList* e) {
  e->kind = data.kind;
  ResetPaletteListEntry(e);
  e->color = data.color;
  e->textureID = data.textureID;
  e->textureScale = data.scale;
  e->auxColor = data.auxColor;
  SetPaletteEntryText(&e->texturePath, data.path.c_str());
  SetPaletteEntryText(&e->extraText, data.text.c_str());
}

// Walks up to count entries from the tag at hand. Each entry, read or skipped, is handed to
// take(index, data); entries past the chain are read and dropped by take. Stops at tag 621,
// at the end of the data or after count entries; the tag after the last entry has been read.
template <typename Take>
void ReadEntries(const Codec& c, int32_t count, Take take) {
  if (count <= 0) return;
  int32_t tag = ReadTag(c);
  // Every pass reads at least a tag, so the data bounds the walk whatever the count says.
  for (int32_t n = 0; n < count && tag != kTagPaletteEntriesEnd && !StreamFailed(); ++n) {
    EntryData data;
    if (tag == kTagPaletteEntry && !ReadEntry(c, &data)) return;
    take(n, data);
    tag = ReadTag(c);
  }
}

}  // namespace

void DoWritePalettes(int32_t version) {
  if ((version != 11000 && version != 11100) || !gCurDocument) return;
  int32_t count = 0;
  for (auto* p = gCurDocument->itsPaletteList; p; p = p->next) ++count;
  WriteLong(count);
  for (auto* p = gCurDocument->itsPaletteList; p; p = p->next) {
    WriteLong(kTagPaletteList);
    WriteByte(p->active);
    WriteText(kBigEndian, p->name, kPaletteNameSize - 1);
    WriteSections(kBigEndian, p);
    int32_t entries = 0;
    for (auto* e = p->entries; e; e = e->next) ++entries;
    WriteLong(entries);
    for (auto* e = p->entries; e; e = e->next) WriteEntry(kBigEndian, e);
    WriteLong(kTagPaletteEntriesEnd);
  }
  WriteLong(kTagPaletteListsEnd);
}

bool DoReadPalettes(int32_t version) {
  if (!StreamHoldsPalettes(version) || !gCurDocument || !gCurDocument->itsDocState) return true;
  const Codec& c = kBigEndian;
  DeleteAllDocPalettes();
  int32_t count = 0;
  ReadLong(&count);
  if (StreamFailed()) return false;
  int32_t tag = ReadTag(c);
  if (count <= 0) return tag == kTagPaletteListsEnd && !StreamFailed();
  for (int32_t read = 0; tag == kTagPaletteList && read < count && read < kMaxStreamPalettes && !StreamAtEnd();
       ++read) {
    DocPaletteList* p = AddNewDocPaletteList();
    if (!p) return false;
    const uint8_t active = ReadByte();
    char name[kPaletteNameSize];
    if (!ReadText(c, name, sizeof name)) return false;
    p->active = active != 0;
    memcpy(p->name, name, sizeof name);
    SectionData sections;
    ReadSections(c, &sections);
    ApplySections(sections, p);
    int32_t entryCount = 0;
    ReadLong(&entryCount);
    PaletteList* e = p->entries;
    ReadEntries(c, entryCount, [&](int32_t, const EntryData& data) {
      if (!e) return;
      if (data.present) ApplyEntry(data, e);
      e = e->next;
    });
    if (StreamFailed()) return false;
    tag = ReadTag(c);
    if (entryCount <= 0 && tag == kTagPaletteEntriesEnd) tag = ReadTag(c);  // a palette without entries
  }
  return tag == kTagPaletteListsEnd && !StreamFailed();
}

uint8_t PaletteFileWrite(const char* path) {
  DocPaletteList* p = GetActiveDocPaletteList();
  if (!path || !p) return 0;
  BeginOutputBuffer();
  WriteStdLong(kPaletteFileVersion);
  WriteSections(kStd, p);
  int32_t entries = 0;
  for (auto* e = p->entries; e; e = e->next) ++entries;
  WriteStdLong(entries);
  for (auto* e = p->entries; e; e = e->next) WriteEntry(kStd, e);
  WriteStdLong(kTagPaletteEntriesEnd);
  const bool ok = WriteOutputFile(path);
  ReleaseOutputBuffer();
  if (!ok) {
    ShowAlert("Unable to write the palette file.", "Please ensure that adequate disk space exists on your hard drive.");
    return 0;
  }
  return 1;
}

uint8_t PaletteFileOpen(const char* path, PaletteList* firstEntry) {
  if (!path || !firstEntry || !gCurDocument) return 0;
  DocPaletteList* p = GetActiveDocPaletteList();
  if (!p) return 0;
  if (!LoadInputFile(path, [](const uint8_t* head, size_t size) {
        return CheckVersionHead(head, size, {kPaletteFileVersion}, /*littleEndian=*/true);
      }))
    return 0;
  const Codec& c = kStd;
  int32_t version = 0;
  c.readLong(&version);
  // Read everything first: a damaged file changes nothing.
  SectionData sections;
  std::vector<EntryData> entries;
  bool ok = version == kPaletteFileVersion;
  if (ok) {
    ReadSections(c, &sections);
    int32_t count = 0;
    c.readLong(&count);
    // Only entries read (tag 620) count; any other tag skips one entry of the chain. The walk
    // ends with the chain, after 150 entries read, or at tag 621.
    size_t chain = 0;
    for (const PaletteList* e = firstEntry; e; e = e->next) ++chain;
    if (count > 0) {
      int32_t tag = ReadTag(c);
      int32_t read = 0;
      while (entries.size() < chain && read < count && read < kPaletteEntryCount && tag != kTagPaletteEntriesEnd &&
             !StreamFailed()) {
        EntryData data;
        if (tag == kTagPaletteEntry) {
          if (!ReadEntry(c, &data)) break;
          ++read;
        }
        entries.push_back(data);
        tag = ReadTag(c);
      }
    }
    ok = !StreamFailed();
  }
  ReleaseInputBuffer();
  if (!ok) {
    ShowAlert("Unable to load the palette file.",
              "Please ensure the file is not damaged and was not created by a newer version of Zelko! Casavelt.");
    return 0;
  }
  ApplySections(sections, p);
  PaletteList* e = firstEntry;
  for (const EntryData& data : entries) {
    if (!e) break;
    if (data.present) ApplyEntry(data, e);
    e = e->next;
  }
  return 1;
}
