// Custom texture list, id counter, texture information files and repeat factors.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "TestDocument.h"
#include "model/CustomTextures.h"
#include "model/Palettes.h"
#include "model/Services.h"
#include "platform/ContentPaths.h"

namespace fs = std::filesystem;

namespace {

// A document with content roots in a private temporary folder; frees the texture list.
class CustomTextures : public ::testing::Test {
 protected:
  void SetUp() override {
    support_ = LocalDomainApplicationSupportPath();
    shared_ = LocalDomainUserSharedPath();
    char tmpl[] = "/tmp/casa-textures-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    SetLocalSupportRoot(root_ + "/support");
    SetUserSharedRoot(root_ + "/shared");
  }
  void TearDown() override {
    DeleteCustomTextureList();
    DeleteAllDocPalettes();
    SetLocalSupportRoot(support_);
    SetUserSharedRoot(shared_);
    fs::remove_all(root_);
  }
  static void WriteFile(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << text;
  }
  std::string CustomFolder() const { return root_ + "/shared/QVRA/Textures/CustomTextures"; }

  TestDocument doc;
  std::string root_, support_, shared_;
};

}  // namespace

TEST_F(CustomTextures, NewIdIsReusedForTheSamePathIgnoringCase) {
  char first[] = "textures/oak.jpg";
  const int32_t id = NewCustomTextureID(first);
  EXPECT_GE(id, kTextureCustom);
  EXPECT_EQ(gCurrentPhotoTextureID, id + 1);

  char again[] = "Textures\\Oak.JPG";
  EXPECT_EQ(NewCustomTextureID(again), id);
  EXPECT_STREQ(again, "Textures/Oak.JPG");
  EXPECT_EQ(gCurrentPhotoTextureID, id + 1);

  char other[] = "Textures\\pine.png";
  const int32_t id2 = NewCustomTextureID(other);
  EXPECT_EQ(id2, id + 1);
  EXPECT_STREQ(GetCustomTextureIDPath(id2), "Textures/pine.png");
  EXPECT_EQ(IsTexturePathLoaded("TEXTURES/PINE.PNG"), id2);
  EXPECT_EQ(IsTexturePathLoaded("none.png"), 0);
  EXPECT_EQ(IsTexturePathLoaded(nullptr), 0);
  EXPECT_EQ(NewCustomTextureID(nullptr), 0);
  EXPECT_EQ(GetCustomTextureIDPath(id2 + 1), nullptr);
}

TEST_F(CustomTextures, TwoDocumentsNeverShareAnId) {
  char path[] = "a.jpg";
  const int32_t a = NewCustomTextureID(path);
  {
    TestDocument second;
    char same[] = "a.jpg";
    const int32_t b = NewCustomTextureID(same);
    EXPECT_EQ(b, a + 1);
    DeleteCustomTextureList();
  }
  EXPECT_EQ(GetCustomTextureIDPath(a), std::string("a.jpg"));
}

TEST_F(CustomTextures, InformationFileNameReplacesTheExtension) {
  char path[] = "Textures/oak.jpg";
  const int32_t id = NewCustomTextureID(path);
  char info[kTexturePathSize];
  GetCustomTextureInfoFileNameFromID(id, info);
  EXPECT_EQ(std::string(info), CustomFolder() + "/Textures/oak.QTI");

  GetCustomTextureInfoFileNameFromID(id + 50, info);  // not listed: folder only
  EXPECT_EQ(std::string(info), CustomFolder() + "/");

  strcpy(info, "untouched");
  GetCustomTextureInfoFileNameFromID(19999, info);
  EXPECT_STREQ(info, "untouched");
}

TEST_F(CustomTextures, SizeAndAlphaFromTheInformationFile) {
  char full[] = "full.jpg", noWidth[] = "nowidth.jpg", none[] = "none.jpg";
  const int32_t a = NewCustomTextureID(full);
  const int32_t b = NewCustomTextureID(noWidth);
  const int32_t c = NewCustomTextureID(none);
  WriteFile(CustomFolder() + "/full.QTI", "[Size]\nWidth=100\nHeight=50\n[Opacity]\nAlpha=1\n");
  WriteFile(CustomFolder() + "/nowidth.QTI", "[Size]\nHeight=36\n");

  int32_t w = 0, h = 0;
  LoadCustomTextureWH(a, &w, &h);
  EXPECT_EQ(w, 100);
  EXPECT_EQ(h, 50);
  LoadCustomTextureWH(c, &w, &h);
  EXPECT_EQ(w, -1);
  EXPECT_EQ(h, -1);
  EXPECT_EQ(LoadCustomTextureAlpha(a), 1);
  EXPECT_EQ(LoadCustomTextureAlpha(b), 0);
  EXPECT_EQ(LoadCustomTextureAlpha(c), 0);
  EXPECT_EQ(LoadCustomTextureAlpha(1301), 1);

  // 100 inches at plan scale 36 are 200 plan units; V runs against the image rows.
  float u = 0, v = 0;
  ComputeTextureScale(a, 400, 300, &u, &v);
  EXPECT_FLOAT_EQ(u, 2.0f);
  EXPECT_FLOAT_EQ(v, -3.0f);
  ComputeTextureScale(b, 400, 144, &u, &v);
  EXPECT_FLOAT_EQ(u, 1.0f);
  EXPECT_FLOAT_EQ(v, -2.0f);
  ComputeTextureScale(c, 400, 300, &u, &v);
  EXPECT_FLOAT_EQ(u, 1.0f);
  EXPECT_FLOAT_EQ(v, -1.0f);
  ComputeTextureScale(a, 400, 300, nullptr, &v);  // null output: nothing
}

TEST_F(CustomTextures, StockSizesDefaultTo100) {
  float u = 0, v = 0;
  ComputeTextureScale(1301, 400, 400, &u, &v);  // no information file
  EXPECT_FLOAT_EQ(u, 2.0f);
  EXPECT_FLOAT_EQ(v, -2.0f);

  WriteFile(root_ + "/support/QVRA/Textures/SIDING/SIDING2.QTI", "[size]\nwidth=50\nheight=25\n");
  int32_t w = 0, h = 0;
  LoadTextureWH(1301, &w, &h);
  EXPECT_EQ(w, 100);  // the size read before is kept until the library or the design changes
  ForgetStockTextureSizes();
  LoadTextureWH(1301, &w, &h);
  EXPECT_EQ(w, 50);
  EXPECT_EQ(h, 25);
  ComputeTextureScale(1301, 400, 400, &u, &v);
  EXPECT_FLOAT_EQ(u, 4.0f);
  EXPECT_FLOAT_EQ(v, -8.0f);

  WriteFile(root_ + "/support/QVRA/Textures/SIDING/SIDING3.QTI", "[Size]\nWidth=-1\nHeight=-1\n");
  ComputeTextureScale(1302, 400, 400, &u, &v);
  EXPECT_EQ(u, 1.0f);
  EXPECT_EQ(v, 1.0f);

  ComputeTextureScale(0, 400, 400, &u, &v);
  EXPECT_EQ(u, 1.0f);
  EXPECT_EQ(v, 1.0f);
  w = h = 7;
  LoadTextureWH(20000, &w, &h);  // not stock: untouched
  EXPECT_EQ(w, 7);
}

// A content root set anew (another library) drops what was read under the last one; an id
// taken without a document is listed nowhere.
TEST_F(CustomTextures, AnotherLibraryIsReadAfresh) {
  int32_t w = 0, h = 0;
  LoadTextureWH(1301, &w, &h);
  EXPECT_EQ(w, 100);
  const std::string other = root_ + "/other";
  WriteFile(other + "/QVRA/Textures/SIDING/SIDING2.QTI", "[Size]\nWidth=50\nHeight=25\n");
  SetLocalSupportRoot(other);
  LoadTextureWH(1301, &w, &h);
  EXPECT_EQ(w, 50);
  EXPECT_EQ(h, 25);

  ZLKDocumentModel* saved = gCurDocument;
  gCurDocument = nullptr;
  const int32_t next = gCurrentPhotoTextureID;
  char image[] = "a\\b.jpg";
  EXPECT_EQ(NewCustomTextureID(image), next);
  EXPECT_EQ(gCurrentPhotoTextureID, next + 1);
  EXPECT_STREQ(image, "a/b.jpg");
  gCurDocument = saved;
  EXPECT_EQ(GetCustomTextureIDPath(next), nullptr);
}

// Every information file is read once per id until the library or the design changes.
TEST_F(CustomTextures, InformationIsReadOncePerIdUntilTheDesignChanges) {
  char image[] = "wall.jpg";
  const int32_t id = NewCustomTextureID(image);
  WriteFile(CustomFolder() + "/wall.QTI", "[Size]\nWidth=80\nHeight=40\n");
  WriteFile(root_ + "/support/QVRA/Textures/SIDING/SIDING2.QTI", "[Size]\nWidth=50\nHeight=25\n");
  int32_t w = 0, h = 0;
  LoadCustomTextureWH(id, &w, &h);
  EXPECT_EQ(w, 80);
  EXPECT_EQ(LoadCustomTextureAlpha(id), 0);
  LoadTextureWH(1301, &w, &h);
  EXPECT_EQ(w, 50);

  WriteFile(CustomFolder() + "/wall.QTI", "[Size]\nWidth=120\nHeight=60\n[Opacity]\nAlpha=1\n");
  WriteFile(root_ + "/support/QVRA/Textures/SIDING/SIDING2.QTI", "[Size]\nWidth=70\nHeight=35\n");
  LoadCustomTextureWH(id, &w, &h);
  EXPECT_EQ(w, 80);  // kept
  EXPECT_EQ(h, 40);
  EXPECT_EQ(LoadCustomTextureAlpha(id), 0);
  LoadTextureWH(1301, &w, &h);
  EXPECT_EQ(w, 50);

  DeleteAllCachedCustomTextures();  // the design changes
  LoadCustomTextureWH(id, &w, &h);
  EXPECT_EQ(w, 120);
  EXPECT_EQ(h, 60);
  EXPECT_EQ(LoadCustomTextureAlpha(id), 1);
  LoadTextureWH(1301, &w, &h);
  EXPECT_EQ(w, 70);
  EXPECT_EQ(h, 35);
}

TEST_F(CustomTextures, PaletteLinksResolveBeforeLookup) {
  DocPaletteList* palette = AddNewDocPaletteList();
  palette->active = 1;
  PaletteList* custom = GetPaletteEntryFromRefID(3);
  custom->kind = kPaletteEntryCustomTexture;
  SetPaletteEntryText(&custom->texturePath, "Textures\\linked.jpg");
  PaletteList* stock = GetPaletteEntryFromRefID(4);
  stock->kind = kPaletteEntryTexture;
  stock->textureID = 1301;

  const char* path = GetCustomTextureIDPath(-1003);
  ASSERT_NE(path, nullptr);
  EXPECT_STREQ(path, "Textures/linked.jpg");
  const int32_t id = IsTexturePathLoaded("textures/linked.jpg");
  EXPECT_EQ(GetPaletteTextureID(-1003), id);
  EXPECT_EQ(LoadCustomTextureAlpha(-1004), 1);

  AddCustomTextureID(-1003, "dup.jpg");  // the link is resolved to the entry's id
  int count = 0;
  for (auto* r = doc.model.itsCustomTextureList; r; r = r->next) count += r->id == id;
  EXPECT_EQ(count, 2);
}

TEST_F(CustomTextures, CachedImagesAreDroppedInOneCall) {
  ServiceCallRecorder rec;
  DeleteAllCachedCustomTextures();
  EXPECT_EQ(rec.count("DeleteCachedTextureImages"), 0u);
  char a[] = "a.jpg", b[] = "b.jpg";
  NewCustomTextureID(a);
  NewCustomTextureID(b);
  DeleteAllCachedCustomTextures();
  EXPECT_EQ(rec.count("DeleteCachedTextureImages"), 1u);
  EXPECT_NE(doc.model.itsCustomTextureList, nullptr);
  DeleteCustomTextureList();
  EXPECT_EQ(rec.count("DeleteCachedTextureImages"), 2u);
  EXPECT_EQ(doc.model.itsCustomTextureList, nullptr);
}
