// Material palettes: the chain, the active palette, entries and link resolution.
#include <gtest/gtest.h>

#include <cstring>

#include "TestDocument.h"
#include "model/CustomTextures.h"
#include "model/Palettes.h"

namespace {

class Palettes : public ::testing::Test {
 protected:
  void SetUp() override {
    first = AddNewDocPaletteList();
    ASSERT_NE(first, nullptr);
    first->active = 1;
  }
  void TearDown() override {
    DeleteAllDocPalettes();
    DeleteCustomTextureList();
  }
  static int CountEntries(const DocPaletteList* p) {
    int n = 0;
    for (auto* e = p->entries; e; e = e->next) ++n;
    return n;
  }
  TestDocument doc;
  DocPaletteList* first = nullptr;
};

}  // namespace

TEST_F(Palettes, NewPaletteHasDefaults) {
  EXPECT_STREQ(first->name, "Default Palette");
  EXPECT_STREQ(first->sectionNames[0], "Group 1");
  EXPECT_STREQ(first->sectionNames[14], "Group 15");
  EXPECT_EQ(CountEntries(first), 150);
  int ref = 1;
  for (auto* e = first->entries; e; e = e->next, ++ref) {
    ASSERT_EQ(e->refID, ref);
    EXPECT_EQ(e->kind, 0);
    EXPECT_EQ(e->textureScale.x, 100);
    EXPECT_EQ(e->color, (RGBColor{255, 255, 255}));
    EXPECT_EQ(e->auxColor, (RGBColor{255, 255, 255}));
  }
  for (int s = 0; s < 15; ++s) EXPECT_EQ(first->sectionCollapsed[s], 0);
  EXPECT_EQ(doc.model.itsPaletteList, first);
}

TEST_F(Palettes, LinksResolveByEntryNumber) {
  PaletteList* e1 = GetPaletteEntryFromRefID(1);
  e1->kind = kPaletteEntryTexture;
  e1->textureID = 1301;
  e1->textureScale = {50, 200};
  PaletteList* e150 = GetPaletteEntryFromRefID(150);
  e150->kind = kPaletteEntryColor;
  e150->color = {10, 20, 30};

  EXPECT_EQ(GetPaletteTextureID(-1001), 1301);
  EXPECT_EQ(GetPaletteTextureScale(-1001).y, 200);
  EXPECT_EQ(GetPaletteRGBColor(-1001), (RGBColor{255, 255, 255}));
  EXPECT_EQ(GetPaletteRGBColor(-1150), (RGBColor{10, 20, 30}));
  EXPECT_EQ(GetPaletteTextureID(-1150), 0);

  // Links with no entry, and ids that are not links.
  for (int32_t id : {-1151, -1999}) {
    EXPECT_TRUE(IsTextureAPalette(id));
    EXPECT_EQ(GetPaletteTextureID(id), 0);
    EXPECT_EQ(GetPaletteRGBColor(id), (RGBColor{255, 255, 255}));
    EXPECT_EQ(GetPaletteTextureScale(id).x, 100);
    EXPECT_EQ(GetPaletteTextureScale(id).y, 100);
  }
  EXPECT_FALSE(IsTextureAPalette(-1000));
  EXPECT_FALSE(IsTextureAPalette(-2000));
  EXPECT_EQ(GetPaletteTextureID(1301), 1301);
  EXPECT_EQ(GetPaletteTextureID(-1000), -1000);
  EXPECT_EQ(GetPaletteTextureScale(1301).x, 100);

  first->active = 0;  // no active palette: defaults
  EXPECT_EQ(GetPaletteTextureID(-1001), 0);
  EXPECT_EQ(GetActiveDocPaletteList(), nullptr);
  EXPECT_EQ(GetCurrentPaletteList(), nullptr);
}

TEST_F(Palettes, LinkColourIntoACallersRecord) {
  PaletteList* e150 = GetPaletteEntryFromRefID(150);
  e150->kind = kPaletteEntryColor;
  e150->color = {10, 20, 30};
  RGBColor out{1, 2, 3};
  GetPaletteRGBColor(&out, -1150);
  EXPECT_EQ(out, (RGBColor{10, 20, 30}));
  GetPaletteRGBColor(&out, -1151);  // a link without an entry reads white
  EXPECT_EQ(out, (RGBColor{255, 255, 255}));
  out = {1, 2, 3};
  GetPaletteRGBColor(&out, 1150);  // not a link: untouched
  EXPECT_EQ(out, (RGBColor{1, 2, 3}));
  GetPaletteRGBColor(nullptr, -1150);
}

TEST_F(Palettes, ActivationCopyAndDeletion) {
  PaletteList* src = GetPaletteEntryFromRefID(7);
  src->kind = kPaletteEntryCustomTexture;
  SetPaletteEntryText(&src->texturePath, "Textures/oak.jpg");
  SetPaletteEntryText(&src->extraText, "note");
  first->sectionCollapsed[2] = 1;
  strcpy(first->sectionNames[2], "Roofs");

  EXPECT_EQ(CopyCurrentPalette("Default Palette", 1), 1);  // its own name: nothing to do
  EXPECT_EQ(doc.model.itsPaletteList->next, nullptr);

  ASSERT_EQ(CopyCurrentPalette("Copy", 1), 1);
  DocPaletteList* copy = GetDocPaletteListByName("Copy");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(GetActiveDocPaletteList(), copy);
  EXPECT_EQ(first->active, 0);
  EXPECT_STREQ(copy->sectionNames[2], "Roofs");
  EXPECT_EQ(copy->sectionCollapsed[2], 1);
  PaletteList* dst = GetPaletteEntryFromRefID(7);
  ASSERT_NE(dst, src);
  EXPECT_EQ(dst->kind, kPaletteEntryCustomTexture);
  EXPECT_STREQ(dst->texturePath, "Textures/oak.jpg");
  EXPECT_NE(dst->texturePath, src->texturePath);
  EXPECT_STREQ(dst->extraText, "note");

  EXPECT_TRUE(DoesPaletteNameExists("Copy"));
  EXPECT_FALSE(DoesPaletteNameExists("copy"));
  SetActiveDocPaletteListByName("Default Palette");
  EXPECT_EQ(GetActiveDocPaletteList(), first);
  SetActiveDocPaletteListByName("missing");
  EXPECT_EQ(GetActiveDocPaletteList(), nullptr);
  EXPECT_EQ(CopyCurrentPalette("Other", 0), 0);  // no active palette

  DeleteDocPalette(first);  // the head follows
  EXPECT_EQ(doc.model.itsPaletteList, copy);
  EXPECT_EQ(copy->prev, nullptr);
  DeleteAllDocPalettes();
  EXPECT_EQ(doc.model.itsPaletteList, nullptr);
}

// Two palettes with one name: copying under that name from the second copies nothing.
TEST_F(Palettes, CopyUnderTheActiveNameCopiesNothingEvenIntoATwin) {
  DocPaletteList* twin = AddNewDocPaletteList();
  ASSERT_NE(twin, nullptr);
  first->active = 0;
  twin->active = 1;
  GetPaletteEntryFromRefID(3)->kind = kPaletteEntryColor;
  strcpy(twin->sectionNames[0], "Walls");

  EXPECT_EQ(CopyCurrentPalette("Default Palette", 0), 1);
  EXPECT_EQ(first->entries->next->next->kind, 0);
  EXPECT_STREQ(first->sectionNames[0], "Group 1");
  EXPECT_EQ(doc.model.itsPaletteList->next->next, nullptr);
}

TEST_F(Palettes, UpdateEntryCleansByKind) {
  PaletteList from{};
  from.kind = kPaletteEntryColor;
  from.textureID = 1301;
  from.color = {1, 2, 3};
  from.textureScale = {20, 30};
  UpdateCurPaletteListEntry(5, &from);
  PaletteList* e = GetPaletteEntryFromRefID(5);
  EXPECT_EQ(e->textureID, 0);
  EXPECT_EQ(e->color, (RGBColor{1, 2, 3}));
  EXPECT_EQ(e->textureScale.y, 30);
  EXPECT_EQ(e->refID, 5);

  from.kind = kPaletteEntryTexture;
  UpdateCurPaletteListEntry(5, &from);
  EXPECT_EQ(e->textureID, 1301);
  EXPECT_EQ(e->color, (RGBColor{255, 255, 255}));

  from.kind = kPaletteEntryCustomTexture;
  UpdateCurPaletteListEntry(5, &from);
  EXPECT_EQ(e->textureID, 0);
  EXPECT_EQ(e->color, (RGBColor{255, 255, 255}));
  UpdateCurPaletteListEntry(151, &from);  // no such entry: nothing
}

TEST_F(Palettes, GroupExpansion) {
  first->sectionCollapsed[1] = 1;
  EXPECT_EQ(IsPaletteGroupExpanded(11), 0);
  EXPECT_EQ(IsPaletteGroupExpanded(20), 0);
  EXPECT_EQ(IsPaletteGroupExpanded(10), 1);
  EXPECT_EQ(IsPaletteGroupExpanded(151), 1);
  EXPECT_EQ(IsPaletteGroupExpanded(0), 1);
  EXPECT_EQ(IsPaletteGroupExpanded(-5), 1);
}
