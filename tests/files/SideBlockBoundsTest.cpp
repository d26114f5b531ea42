// The saved views and palettes that follow a design's objects, with names on both sides of
// their field's size and lists at their shortest: every entry, the first and the last, opens
// with its own name cut to the field and the values after it in their places.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DesignFixtureWriter.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/FileTestSupport.h"
#include "model/LiveViews.h"
#include "model/Palettes.h"

namespace fs = std::filesystem;
using namespace design_fixture;

namespace {

// Name lengths around the 128-byte fields (127 characters and the closing NUL).
const size_t kNameLengths[] = {0, 1, 126, 127, 128, 129, 400};

std::string NameOf(size_t length, size_t index) {
  std::string s(length, char('a' + index));
  if (length > 0) s[0] = char('A' + index);  // the first character shows a shifted read
  return s;
}

void WriteView(Writer& w, const std::string& name, float base) {
  float f = base;
  w.be32("name length", int64_t(name.size()));
  w.raw("name", name.data(), name.size(), name);
  w.be16("navigationMode", 2);
  w.u8("navigationSubMode", 3);
  for (int k = 0; k < 9; ++k) w.f32("float", f++);
  w.be32("viewSetting13", 1301);
  w.be16("cutAwayPlane", 4);
  w.be32("viewSetting5", 501);
  w.u8("viewSetting1", 6);
  w.be32("viewSetting2", 201);
  w.u8("topoFlag2", 7);
  w.be16("viewSetting12", 1201);
  w.u8("viewSetting10", 8);
  w.be16("viewSetting4", 401);
  w.u8("shadowsOn", 9);
  w.be16("viewSetting3", 0xF301);
  w.f32("viewSetting11", f++);
  w.u8("sunShadows", 10);
  w.f32("sunAngle1", f++);
  w.f32("sunAngle2", f++);
  w.be16("sunSetting2", 2201);
  w.f32("viewSetting14", f++);
  w.f32("viewSetting6", f++);
  w.u8("viewSetting7", uint8_t(base));
}

// A palette of 15 sections and `entries` entries (0 or 1).
void WritePalette(Writer& w, const std::string& name, uint8_t active, int entries) {
  w.be32("tag", 622);
  w.u8("active", active);
  w.text("name", name);
  w.be32("section count", 15);
  for (int s = 0; s < 15; ++s) {
    w.u8("collapsed", uint8_t(s == 14));
    w.text("title", "S" + std::to_string(s + 1));
  }
  w.be32("entry count", entries);
  for (int e = 0; e < entries; ++e) {
    w.be32("entry tag", 620);
    w.be32("refID", 7);
    w.be16("kind", 4);
    w.rgb("color", 1, 2, 3);
    w.be32("textureID", 900);
    w.be16("scale.x", 100);
    w.be16("scale.y", 100);
    w.rgb("auxColor", 4, 5, 6);
    w.text("path", "Woods/" + name.substr(0, 3) + ".jpg");
    w.text("text", "");
  }
  w.be32("end of entries", 621);
}

class SideBlockBounds : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetByteStream();
    dir = fs::temp_directory_path() / ("casa-side-blocks-" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    ResetByteStream();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // The 11100 fixture with its saved views and palettes replaced by the given blocks.
  std::string Design(const Bytes& views, const Bytes& palettes) {
    std::vector<Note> notes;
    Bytes b = BuildDesign(11100, &notes);
    size_t viewsAt = 0, palettesAt = 0;
    for (const Note& n : notes) {
      if (n.field == "saved views: count") viewsAt = n.offset;
      if (n.field == "palettes: count") palettesAt = n.offset;
    }
    EXPECT_GT(viewsAt, 0u);
    EXPECT_GT(palettesAt, viewsAt);
    Bytes out(b.begin(), b.begin() + long(viewsAt));
    out.insert(out.end(), views.begin(), views.end());
    out.insert(out.end(), palettes.begin(), palettes.end());
    const std::string path = (dir / "bounds.dsn").string();
    WriteBytes(path, out);
    return path;
  }
  static Bytes NoPalettes() {
    Writer w;
    w.be32("count", 0);
    w.be32("end", 623);
    return w.bytes;
  }
  fs::path dir;
};

TEST_F(SideBlockBounds, ViewNamesOnBothSidesOfTheFieldSizeKeepTheirValues) {
  Writer w;
  w.be32("count", int64_t(std::size(kNameLengths)));
  for (size_t i = 0; i < std::size(kNameLengths); ++i) WriteView(w, NameOf(kNameLengths[i], i), 10.0f * float(i + 1));
  TestDocument doc;
  ASSERT_EQ(KeyFileRead(Design(w.bytes, NoPalettes()).c_str()), 1);
  const LiveViewsList* v = doc.model.itsLiveViews;
  for (size_t i = 0; i < std::size(kNameLengths); ++i) {
    SCOPED_TRACE(kNameLengths[i]);
    ASSERT_NE(v, nullptr);
    const std::string full = NameOf(kNameLengths[i], i);
    EXPECT_EQ(std::string(v->name), full.substr(0, kLiveViewNameSize - 1));
    EXPECT_EQ(v->navigationMode, 2);
    EXPECT_FLOAT_EQ(v->flyPitch, 10.0f * float(i + 1));
    EXPECT_FLOAT_EQ(v->lookOffset.floatV, 10.0f * float(i + 1) + 8);
    EXPECT_EQ(v->viewSetting13, 1301);
    EXPECT_EQ(v->viewSetting3, 0xF301);
    EXPECT_FLOAT_EQ(v->viewSetting6, 10.0f * float(i + 1) + 13);
    EXPECT_EQ(v->viewSetting7, uint8_t(10 * (i + 1)));
    v = v->next;
  }
  EXPECT_EQ(v, nullptr);
  EXPECT_MODEL_SOUND();
}

TEST_F(SideBlockBounds, ASingleViewAndNoneAtAll) {
  {
    Writer w;
    w.be32("count", 1);
    WriteView(w, "Only", 42);
    TestDocument doc;
    ASSERT_EQ(KeyFileRead(Design(w.bytes, NoPalettes()).c_str()), 1);
    ASSERT_NE(doc.model.itsLiveViews, nullptr);
    EXPECT_STREQ(doc.model.itsLiveViews->name, "Only");
    EXPECT_EQ(doc.model.itsLiveViews->viewSetting7, 42);
    EXPECT_EQ(doc.model.itsLiveViews->next, nullptr);
  }
  {
    Writer w;
    w.be32("count", 0);
    TestDocument doc;
    ASSERT_EQ(KeyFileRead(Design(w.bytes, NoPalettes()).c_str()), 1);
    EXPECT_EQ(doc.model.itsLiveViews, nullptr);
  }
}

TEST_F(SideBlockBounds, PaletteNamesOnBothSidesOfTheFieldSizeWithAndWithoutEntries) {
  Writer views;
  views.be32("count", 0);
  Writer w;
  w.be32("count", int64_t(std::size(kNameLengths)));
  for (size_t i = 0; i < std::size(kNameLengths); ++i)
    WritePalette(w, NameOf(kNameLengths[i], i), uint8_t(i == std::size(kNameLengths) - 1), int(i % 2));
  w.be32("end", 623);
  TestDocument doc;
  ASSERT_EQ(KeyFileRead(Design(views.bytes, w.bytes).c_str()), 1);
  const DocPaletteList* p = doc.model.itsPaletteList;
  for (size_t i = 0; i < std::size(kNameLengths); ++i) {
    SCOPED_TRACE(kNameLengths[i]);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(p->name), NameOf(kNameLengths[i], i).substr(0, kPaletteNameSize - 1));
    EXPECT_EQ(p->active, i == std::size(kNameLengths) - 1);
    EXPECT_STREQ(p->sectionNames[0], "S1");
    EXPECT_STREQ(p->sectionNames[14], "S15");
    EXPECT_EQ(p->sectionCollapsed[0], 0);
    EXPECT_EQ(p->sectionCollapsed[14], 1);
    if (i % 2) {
      ASSERT_NE(p->entries, nullptr);
      EXPECT_EQ(p->entries->textureID, 900);
      EXPECT_EQ(std::string(p->entries->texturePath ? p->entries->texturePath : ""), "Woods/" + NameOf(kNameLengths[i], i).substr(0, 3) + ".jpg");
    }
    p = p->next;
  }
  EXPECT_EQ(p, nullptr);
  EXPECT_MODEL_SOUND();
}

}  // namespace
