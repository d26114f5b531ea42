// Palettes in the design stream and in palette files: round trips, exact layout, and
// damaged or hostile input.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AllocationWatch.h"
#include "TestDocument.h"
#include "files/ByteStream.h"
#include "files/PaletteFile.h"
#include "model/CustomTextures.h"
#include "model/Palettes.h"
#include "platform/Alerts.h"

namespace fs = std::filesystem;

namespace {

// More than any palette file read here needs at once; far less than a hostile count would ask.
constexpr size_t kMostAReadTakes = size_t{1} << 24;

// Gives every field of every entry and section a value derived from seed.
void Fill(DocPaletteList* p, int seed) {
  snprintf(p->name, sizeof p->name, "Palette %d", seed);
  for (int s = 0; s < kPaletteSectionCount; ++s) {
    snprintf(p->sectionNames[s], sizeof p->sectionNames[s], "Title %d.%d", seed, s);
    p->sectionCollapsed[s] = (s + seed) % 2;
  }
  int i = 0;
  for (PaletteList* e = p->entries; e; e = e->next, ++i) {
    e->kind = static_cast<int16_t>(i % 3 == 0 ? 4 : i % 3 == 1 ? 5 : 9);
    e->textureID = 1000 + i + seed;
    e->textureScale = {static_cast<int16_t>(i + seed), static_cast<int16_t>(-i)};
    e->color = {static_cast<uint16_t>(i), static_cast<uint16_t>(seed), 65535};
    e->auxColor = {static_cast<uint16_t>(seed), static_cast<uint16_t>(i), 7};
    if (i % 2) {
      std::string path = "Textures/t" + std::to_string(seed) + "_" + std::to_string(i) + ".jpg";
      SetPaletteEntryText(&e->texturePath, path.c_str());
    }
    if (i % 5 == 0) SetPaletteEntryText(&e->extraText, ("text " + std::to_string(i)).c_str());
  }
}

void ExpectFilled(const DocPaletteList* p, int seed, bool withName = true) {
  if (withName) EXPECT_EQ(std::string(p->name), "Palette " + std::to_string(seed));
  for (int s = 0; s < kPaletteSectionCount; ++s) {
    EXPECT_EQ(std::string(p->sectionNames[s]), "Title " + std::to_string(seed) + "." + std::to_string(s));
    EXPECT_EQ(p->sectionCollapsed[s], (s + seed) % 2);
  }
  int i = 0;
  for (const PaletteList* e = p->entries; e; e = e->next, ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(e->refID, i + 1);
    EXPECT_EQ(e->kind, i % 3 == 0 ? 4 : i % 3 == 1 ? 5 : 9);
    EXPECT_EQ(e->textureID, 1000 + i + seed);
    EXPECT_EQ(e->textureScale.x, i + seed);
    EXPECT_EQ(e->textureScale.y, -i);
    EXPECT_EQ(e->color, (RGBColor{static_cast<uint16_t>(i), static_cast<uint16_t>(seed), 65535}));
    EXPECT_EQ(e->auxColor, (RGBColor{static_cast<uint16_t>(seed), static_cast<uint16_t>(i), 7}));
    if (i % 2)
      EXPECT_STREQ(e->texturePath, ("Textures/t" + std::to_string(seed) + "_" + std::to_string(i) + ".jpg").c_str());
    else
      EXPECT_EQ(e->texturePath, nullptr);
    if (i % 5 == 0)
      EXPECT_STREQ(e->extraText, ("text " + std::to_string(i)).c_str());
    else
      EXPECT_EQ(e->extraText, nullptr);
  }
  EXPECT_EQ(i, 150);
}

int CountPalettes() {
  int n = 0;
  for (auto* p = gCurDocument->itsPaletteList; p; p = p->next) ++n;
  return n;
}

void PutBE32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = uint8_t(v >> 24);
  b[at + 1] = uint8_t(v >> 16);
  b[at + 2] = uint8_t(v >> 8);
  b[at + 3] = uint8_t(v);
}
void PutLE32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + k] = uint8_t(v >> (8 * k));
}

class PaletteStream : public ::testing::Test {
 protected:
  void SetUp() override { ResetByteStream(); }
  void TearDown() override {
    DeleteAllDocPalettes();
    DeleteCustomTextureList();
    ResetByteStream();
  }
  // Two filled palettes, the second active.
  void MakeTwo() {
    DocPaletteList* a = AddNewDocPaletteList();
    DocPaletteList* b = AddNewDocPaletteList();
    Fill(a, 1);
    Fill(b, 2);
    b->active = 1;
  }
  static std::vector<uint8_t> Write(int32_t version) {
    BeginOutputBuffer();
    DoWritePalettes(version);
    std::vector<uint8_t> bytes = gStream.outDataBuffer;
    ReleaseOutputBuffer();
    return bytes;
  }
  static void Read(const std::vector<uint8_t>& bytes, int32_t version) {
    SetInputBuffer(bytes.data(), bytes.size());
    DoReadPalettes(version);
    ReleaseInputBuffer();
  }
  TestDocument doc;
};

// Offsets in the stream of two palettes written by MakeTwo (first palette).
struct Layout {
  size_t nameLength = 9, sectionCount, firstTitleLength, entryCount, firstPathLength, secondEntryTag;
  explicit Layout(const DocPaletteList* p) {
    sectionCount = 13 + strlen(p->name);
    firstTitleLength = sectionCount + 4 + 1;
    size_t at = sectionCount + 4;
    for (int s = 0; s < kPaletteSectionCount; ++s) at += 1 + 4 + strlen(p->sectionNames[s]);
    entryCount = at;
    const size_t firstEntry = entryCount + 4;
    firstPathLength = firstEntry + 30;
    const PaletteList* e = p->entries;
    secondEntryTag = firstPathLength + 4 + (e->texturePath ? strlen(e->texturePath) : 0) + 4 +
                     (e->extraText ? strlen(e->extraText) : 0);
  }
};

}  // namespace

TEST_F(PaletteStream, TwoPalettesRoundTripWithEveryField) {
  MakeTwo();
  const std::vector<uint8_t> bytes = Write(11100);
  DeleteAllDocPalettes();
  AddNewDocPaletteList();  // replaced by the read
  Read(bytes, 11100);
  ASSERT_EQ(CountPalettes(), 2);
  DocPaletteList* a = doc.model.itsPaletteList;
  DocPaletteList* b = a->next;
  ExpectFilled(a, 1);
  ExpectFilled(b, 2);
  EXPECT_EQ(a->active, 0);
  EXPECT_EQ(b->active, 1);
  EXPECT_EQ(GetActiveDocPaletteList(), b);
  EXPECT_FALSE(StreamFailed());
  // Writing again gives the same bytes.
  EXPECT_EQ(Write(11000), bytes);
}

TEST_F(PaletteStream, LayoutIsBigEndianWithTags) {
  MakeTwo();
  const std::vector<uint8_t> bytes = Write(11100);
  ASSERT_GT(bytes.size(), 20u);
  const uint8_t head[] = {0, 0, 0, 2, 0, 0, 0x02, 0x6E, 0, 0, 0, 0, 9, 'P', 'a', 'l'};
  EXPECT_EQ(0, memcmp(bytes.data(), head, sizeof head));
  const uint8_t tail[] = {0, 0, 0x02, 0x6D, 0, 0, 0x02, 0x6F};
  EXPECT_EQ(0, memcmp(bytes.data() + bytes.size() - 8, tail, 8));
  Layout l(doc.model.itsPaletteList);
  EXPECT_EQ(bytes[l.entryCount + 3], 150);
  EXPECT_EQ(bytes[l.entryCount + 7], 0x6C);  // tag 620
}

TEST_F(PaletteStream, EmptyChainAndOtherVersions) {
  const std::vector<uint8_t> empty = Write(11100);
  EXPECT_EQ(empty, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0x02, 0x6F}));
  AddNewDocPaletteList();
  Read(empty, 11100);
  EXPECT_EQ(doc.model.itsPaletteList, nullptr);

  MakeTwo();
  EXPECT_TRUE(Write(10900).empty());
  Read(Write(11100), 10900);  // older versions keep the document's palettes
  EXPECT_EQ(CountPalettes(), 2);
}

TEST_F(PaletteStream, TruncatedStreamsKeepWhatWasRead) {
  MakeTwo();
  const std::vector<uint8_t> bytes = Write(11100);
  for (size_t n = 0; n < bytes.size(); n += (n < 400 ? 1 : 97)) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + n);
    Read(cut, 11100);
    EXPECT_LE(CountPalettes(), 2) << n;
  }
  // Cut inside the second palette: the first is complete.
  std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + bytes.size() - 100);
  Read(cut, 11100);
  ASSERT_EQ(CountPalettes(), 2);
  ExpectFilled(doc.model.itsPaletteList, 1);
  // The entries after the cut keep their fresh values.
  const PaletteList* last = doc.model.itsPaletteList->next->entries;
  while (last->next) last = last->next;
  EXPECT_EQ(last->kind, 0);
  EXPECT_EQ(last->color, (RGBColor{255, 255, 255}));
}

TEST_F(PaletteStream, HostileCountsAndLengthsEndQuickly) {
  MakeTwo();
  const std::vector<uint8_t> bytes = Write(11100);
  Layout l(doc.model.itsPaletteList);
  const bool watching = WatchAllocations();
  const size_t offsets[] = {0, l.nameLength, l.sectionCount, l.firstTitleLength, l.entryCount, l.firstPathLength};
  for (size_t at : offsets) {
    for (uint32_t value : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
      std::vector<uint8_t> patched = bytes;
      PutBE32(patched, at, value);
      Read(patched, 11100);
      EXPECT_LE(CountPalettes(), 2) << at;
    }
  }
  // No count or length from the bytes is trusted for an allocation.
  if (watching) EXPECT_LT(LargestAllocation(), kMostAReadTakes);

  // A larger palette count reads the two palettes that are there.
  std::vector<uint8_t> patched = bytes;
  PutBE32(patched, 0, 0x7FFFFFFF);
  Read(patched, 11100);
  ASSERT_EQ(CountPalettes(), 2);
  ExpectFilled(doc.model.itsPaletteList->next, 2);
}

TEST_F(PaletteStream, LongNamesAreCutToTheirFields) {
  DocPaletteList* p = AddNewDocPaletteList();
  p->active = 1;
  SetPaletteEntryText(&p->entries->extraText, std::string(2000, 'x').c_str());
  const std::vector<uint8_t> bytes = Write(11100);
  // Stretch the name to 300 characters.
  std::vector<uint8_t> stretched(bytes.begin(), bytes.begin() + 9);
  stretched.insert(stretched.end(), {0, 0, 0x01, 0x2C});
  stretched.insert(stretched.end(), 300, 'N');
  stretched.insert(stretched.end(), bytes.begin() + 13 + strlen("Default Palette"), bytes.end());
  Read(stretched, 11100);
  ASSERT_EQ(CountPalettes(), 1);
  EXPECT_EQ(std::string(doc.model.itsPaletteList->name), std::string(127, 'N'));
  EXPECT_EQ(strlen(doc.model.itsPaletteList->entries->extraText), 511u);
  EXPECT_EQ(doc.model.itsPaletteList->active, 1);
  EXPECT_EQ(doc.model.itsPaletteList->entries->next->refID, 2);
}

class PaletteFiles : public PaletteStream {
 protected:
  void SetUp() override {
    PaletteStream::SetUp();
    char tmpl[] = "/tmp/casa-palettes-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    active = AddNewDocPaletteList();
    active->active = 1;
  }
  void TearDown() override {
    fs::remove_all(dir_);
    PaletteStream::TearDown();
  }
  std::string Path(const char* name) const { return dir_ + "/" + name; }
  static std::vector<uint8_t> Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  void Clear() {
    DeleteAllDocPalettes();
    active = AddNewDocPaletteList();
    active->active = 1;
  }
  std::string dir_;
  DocPaletteList* active = nullptr;
};

TEST_F(PaletteFiles, RoundTripIntoTheActivePalette) {
  Fill(active, 3);
  const std::string path = Path("one.pal");
  ASSERT_EQ(PaletteFileWrite(path.c_str()), 1);
  const std::vector<uint8_t> bytes = Load(path);
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_EQ(bytes[0], 0x10);  // 10000 little-endian
  EXPECT_EQ(bytes[1], 0x27);
  EXPECT_EQ(bytes[4], 15);
  EXPECT_EQ(bytes[bytes.size() - 4], 0x6D);  // 621

  Clear();
  ScopedAlertRecorder alerts;
  ASSERT_EQ(PaletteFileOpen(path.c_str(), active->entries), 1);
  ExpectFilled(active, 3, false);
  EXPECT_STREQ(active->name, "Default Palette");  // the file holds no name
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(PaletteFiles, RefusedAndMissingFiles) {
  ScopedAlertRecorder alerts;
  EXPECT_EQ(PaletteFileOpen(Path("missing.pal").c_str(), active->entries), 0);
  EXPECT_TRUE(alerts.shown.empty());

  Fill(active, 4);
  const std::string path = Path("v.pal");
  ASSERT_EQ(PaletteFileWrite(path.c_str()), 1);
  std::vector<uint8_t> bytes = Load(path);
  PutLE32(bytes, 0, 10001);
  Save(path, bytes);
  Clear();
  EXPECT_EQ(PaletteFileOpen(path.c_str(), active->entries), 0);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to load the palette file.");
  EXPECT_EQ(active->entries->kind, 0);
  EXPECT_FALSE(gStream.hasInDataBuffer);

  active->active = 0;  // no active palette: silent refusal
  EXPECT_EQ(PaletteFileWrite(Path("none.pal").c_str()), 0);
  EXPECT_FALSE(fs::exists(Path("none.pal")));
  EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST_F(PaletteFiles, FailedWriteIsReported) {
  ScopedAlertRecorder alerts;
  EXPECT_EQ(PaletteFileWrite(Path("no/such/folder/x.pal").c_str()), 0);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to write the palette file.");
  EXPECT_EQ(alerts.shown[0].informative, "Please ensure that adequate disk space exists on your hard drive.");
  EXPECT_FALSE(gStream.hasOutDataBuffer);
}

TEST_F(PaletteFiles, DamagedFilesChangeNothing) {
  Fill(active, 5);
  const std::string path = Path("d.pal");
  ASSERT_EQ(PaletteFileWrite(path.c_str()), 1);
  const std::vector<uint8_t> bytes = Load(path);
  Clear();
  ScopedAlertRecorder alerts;
  const bool watching = WatchAllocations();
  for (size_t n = 4; n < bytes.size(); n += (n < 300 ? 1 : 131)) {
    Save(path, std::vector<uint8_t>(bytes.begin(), bytes.begin() + n));
    EXPECT_EQ(PaletteFileOpen(path.c_str(), active->entries), 0) << n;
  }
  // Counts and lengths patched to huge values.
  const size_t sectionCount = 4, firstTitleLength = 9, entryCount = [&] {
    size_t at = 8;
    for (int s = 0; s < kPaletteSectionCount; ++s) at += 1 + 4 + strlen(("Title 5." + std::to_string(s)).c_str());
    return at;
  }();
  for (size_t at : {sectionCount, firstTitleLength, entryCount + 8 + 30}) {
    std::vector<uint8_t> patched = bytes;
    PutLE32(patched, at, 0x7FFFFFFF);
    Save(path, patched);
    EXPECT_EQ(PaletteFileOpen(path.c_str(), active->entries), 0) << at;
  }
  // No count or length from the bytes is trusted for an allocation.
  if (watching) EXPECT_LT(LargestAllocation(), kMostAReadTakes);
  EXPECT_STREQ(active->sectionNames[0], "Group 1");
  EXPECT_EQ(active->entries->kind, 0);
  EXPECT_FALSE(alerts.shown.empty());
  EXPECT_EQ(alerts.shown[0].message, "Unable to load the palette file.");

  // A larger entry count alone is harmless: the entries end at tag 621.
  std::vector<uint8_t> patched = bytes;
  PutLE32(patched, entryCount, 0x7FFFFFFF);
  Save(path, patched);
  EXPECT_EQ(PaletteFileOpen(path.c_str(), active->entries), 1);
  ExpectFilled(active, 5, false);
}

TEST_F(PaletteFiles, ExtraSectionsAreDroppedAndOtherTagsSkipAnEntry) {
  // Version, 17 sections, 2 entries: one with tag 999 (skipped), one real.
  std::vector<uint8_t> b;
  auto le32 = [&](uint32_t v) { for (int k = 0; k < 4; ++k) b.push_back(uint8_t(v >> (8 * k))); };
  auto le16 = [&](uint16_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); };
  le32(10000);
  le32(17);
  for (int s = 0; s < 17; ++s) {
    b.push_back(s == 16);
    const std::string t = "S" + std::to_string(s);
    le32(static_cast<uint32_t>(t.size()));
    b.insert(b.end(), t.begin(), t.end());
  }
  le32(2);
  le32(999);
  le32(620);
  le32(77);  // refID: entries keep their own numbers
  le16(4);
  le16(1), le16(2), le16(3);
  le32(0);
  le16(60), le16(70);
  le16(9), le16(9), le16(9);
  le32(0);
  le32(0);
  le32(621);
  const std::string path = Path("x.pal");
  Save(path, b);
  ASSERT_EQ(PaletteFileOpen(path.c_str(), active->entries), 1);
  EXPECT_STREQ(active->sectionNames[14], "S14");
  EXPECT_EQ(active->sectionCollapsed[14], 0);
  EXPECT_EQ(active->entries->kind, 0);  // skipped
  const PaletteList* second = active->entries->next;
  EXPECT_EQ(second->refID, 2);
  EXPECT_EQ(second->kind, 4);
  EXPECT_EQ(second->color, (RGBColor{1, 2, 3}));
  EXPECT_EQ(second->textureScale.y, 70);
  EXPECT_EQ(second->auxColor, (RGBColor{9, 9, 9}));
}

TEST_F(PaletteFiles, SkippedEntriesDoNotCountTowardTheEntryCount) {
  // Version, no sections, an entry count of 1: a tag 999 skips the first entry, then one real
  // entry, which is still read.
  std::vector<uint8_t> b;
  auto le32 = [&](uint32_t v) { for (int k = 0; k < 4; ++k) b.push_back(uint8_t(v >> (8 * k))); };
  auto le16 = [&](uint16_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); };
  le32(10000);
  le32(0);
  le32(1);
  le32(999);
  le32(620);
  le32(2);
  le16(5);
  le16(255), le16(255), le16(255);
  le32(1301);
  le16(50), le16(25);
  le16(255), le16(255), le16(255);
  le32(0);
  le32(0);
  le32(621);
  const std::string path = Path("skip.pal");
  Save(path, b);
  ASSERT_EQ(PaletteFileOpen(path.c_str(), active->entries), 1);
  EXPECT_EQ(active->entries->kind, 0);
  const PaletteList* second = active->entries->next;
  EXPECT_EQ(second->kind, 5);
  EXPECT_EQ(second->textureID, 1301);
  EXPECT_EQ(second->textureScale.x, 50);
  EXPECT_EQ(active->entries->next->next->kind, 0);
}
