// The material and plant categories the palette browses against the stock texture ids: the
// first and the last id of every category, the first category's and the last's, name a file
// of that category's folder and prefix, and the id after the last one does not.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "ContentTestSupport.h"
#include "content/ContentCategoryItem.h"
#include "model/TextureIDs.h"

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

// The stock file of an id as "folder/NAME" in lower case (no extension); "" for none.
std::string StockFile(int32_t id) {
  char path[kTexturePathSize] = {};
  GetTextureInfoFileNameFromID(id, path, sizeof path);
  std::string p = Lower(path);
  const size_t dot = p.rfind('.'), slash = p.rfind('/');
  if (p.empty() || dot == std::string::npos || slash == std::string::npos || slash == 0) return {};
  const size_t folderStart = p.rfind('/', slash - 1);
  return p.substr(folderStart + 1, dot - folderStart - 1);
}

TEST(CategoryRanges, FirstAndLastIdOfEveryCategoryNameItsFiles) {
  ContentFolders folders;
  ContentCategoryTree materials, plants;
  buildMaterialCategoryTree(&materials);
  buildPlantCategoryTree(&plants);
  ASSERT_FALSE(materials.empty());
  ASSERT_FALSE(plants.empty());
  for (const ContentCategoryTree* tree : {&materials, &plants}) {
    for (const auto& row : *tree) {
      SCOPED_TRACE(row->categoryName);
      ASSERT_GT(row->textureCount, 0u);
      const std::string folder = Lower(row->fullPath.substr(row->fullPath.rfind('/') + 1));
      const std::string prefix = Lower(row->textureFilePrefix);
      const int32_t last = row->baseTextureID + int32_t(row->textureCount) - 1;
      EXPECT_EQ(StockFile(row->baseTextureID), folder + "/" + prefix + "1");
      EXPECT_EQ(StockFile(last), folder + "/" + prefix + std::to_string(row->textureCount));
      EXPECT_NE(StockFile(last + 1), folder + "/" + prefix + std::to_string(row->textureCount + 1));
      EXPECT_TRUE(row->holdsTextureID(row->baseTextureID));
      EXPECT_TRUE(row->holdsTextureID(last));
      EXPECT_FALSE(row->holdsTextureID(last + 1));
      EXPECT_FALSE(row->holdsTextureID(row->baseTextureID - 1));
    }
  }
}

}  // namespace
