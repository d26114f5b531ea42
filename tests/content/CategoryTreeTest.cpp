// The fixed category trees and the node's rules.
#include <gtest/gtest.h>

#include "content/ContentCategoryItem.h"

namespace {

TEST(CategoryTrees, FixedTablesGiveTheirRowsIdsAndSelection) {
  ContentCategoryTree materials, trims, plants, colours;
  buildMaterialCategoryTree(&materials);
  buildTrimCategoryTree(&trims);
  buildPlantCategoryTree(&plants);
  buildColorCategoryTree(&colours);
  ASSERT_EQ(materials.size(), 18u);
  EXPECT_EQ(materials[0]->categoryName, "Brick");
  EXPECT_EQ(materials[0]->baseTextureID, 850);
  EXPECT_EQ(materials[0]->textureCount, 66u);
  EXPECT_EQ(materials[0]->textureFilePrefix, "BRICK");
  EXPECT_TRUE(materials[0]->selected);
  EXPECT_FALSE(materials[1]->selected);
  EXPECT_EQ(materials[17]->categoryName, "Sky");
  EXPECT_EQ(materials[7]->fullPath.substr(materials[7]->fullPath.size() - 8), "/Fabrics");
  ASSERT_EQ(trims.size(), 4u);
  const int16_t types[] = {12, 14, 16, 17};
  const int32_t bases[] = {100, 400, 200, 300};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(trims[i]->libraryType, types[i]);
    EXPECT_EQ(trims[i]->baseTextureID, bases[i]);
    EXPECT_EQ(trims[i]->textureCount, 5u);
    EXPECT_EQ(trims[i]->categoryType, kCategoryTrim);
  }
  ASSERT_EQ(plants.size(), 12u);
  EXPECT_EQ(plants[0]->categoryName, "Trees");
  EXPECT_EQ(plants[0]->baseTextureID, 7000);
  EXPECT_EQ(plants[0]->textureCount, 461u);
  EXPECT_TRUE(plants[0]->selected);
  EXPECT_EQ(plants[11]->categoryName, "Edibles");
  EXPECT_TRUE(plants[11]->holdsTextureID(13022));
  EXPECT_FALSE(plants[11]->holdsTextureID(13023));
  ASSERT_EQ(colours.size(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(colours[i]->libraryType, static_cast<int16_t>(2 + i));
    EXPECT_FALSE(colours[i]->selected);
    EXPECT_TRUE(colours[i]->fullPath.empty());
  }
}

TEST(CategoryNode, SelectionIndexStaysBelowTheEntryCountAndChildrenOwnTheirParent) {
  ContentCategoryItem root("Root", "/x", nullptr, kCategoryColors, kLibraryColorRamp);
  ContentCategoryItem* hue = root.addChildWithHue("Hue", kCategoryColors, kLibraryColorRamp, 40);
  EXPECT_EQ(hue->parentItem, &root);
  EXPECT_TRUE(hue->fullPath.empty());
  EXPECT_EQ(hue->baseHue, 40);
  ContentCategoryItem* stock = root.addChildWithName("Stock", "/x/s", kCategoryMaterials, kLibraryMaterials, 850, 66, "BRICK");
  EXPECT_EQ(stock->textureFilePrefix, "BRICK");
  EXPECT_EQ(stock->numberOfSymEntries(), 0u);
  EXPECT_EQ(root.numberOfChildren(), 2u);
  EXPECT_EQ(root.childAtIndex(2), nullptr);
  for (int i = 1; i <= 3; ++i) hue->addSymEntryWithColorIndex(i, 40, i, kEntryColor);
  hue->setSelectionIndex(2);
  hue->setSelectionIndex(3);  // equal to the count: the old index stays
  EXPECT_EQ(hue->selectionIndex(), 2u);
  EXPECT_EQ(hue->symEntryAtIndex(3), nullptr);
  hue->removeAllSymEntries();
  EXPECT_EQ(hue->numberOfSymEntries(), 0u);
}

TEST(CategoryNode, ChildrenTakeTheParentTheCallerGivesAndNamesAndPathsCanChange) {
  ContentCategoryItem root("Root", "/x", nullptr, kCategoryMaterials, kLibraryMaterials);
  ContentCategoryItem other("Other", "", nullptr, kCategoryMaterials, kLibraryMaterials);
  ContentCategoryItem* plain = root.addChildWithName("Plain", "/x/p", &root, kCategoryMaterials, kLibraryMaterials);
  EXPECT_EQ(plain->parentItem, &root);
  EXPECT_EQ(plain->fullPath, "/x/p");
  ContentCategoryItem* orphan = root.addChildWithName("Orphan", "", nullptr, kCategoryMaterials, kLibraryMaterials);
  EXPECT_EQ(orphan->parentItem, nullptr);
  ContentCategoryItem* stock =
      root.addChildWithName("Stock", "/x/s", &other, kCategoryMaterials, kLibraryMaterials, 850, 66, "BRICK");
  EXPECT_EQ(stock->parentItem, &other);
  EXPECT_EQ(stock->baseTextureID, 850);
  EXPECT_EQ(stock->textureCount, 66u);
  EXPECT_EQ(stock->textureFilePrefix, "BRICK");
  ContentCategoryItem* hue = root.addChildWithName("Hue", &root, kCategoryColors, kLibraryColorRamp, 40);
  EXPECT_EQ(hue->parentItem, &root);
  EXPECT_TRUE(hue->fullPath.empty());
  EXPECT_EQ(hue->baseHue, 40);
  EXPECT_EQ(hue->libraryType, kLibraryColorRamp);
  ASSERT_EQ(root.numberOfChildren(), 4u);
  EXPECT_EQ(root.childAtIndex(3), hue);
  EXPECT_EQ(other.numberOfChildren(), 0u);

  hue->addSymEntryWithColorIndex(1, 40, 1, kEntryColor);
  ASSERT_EQ(hue->symEntries().size(), 1u);
  EXPECT_EQ(hue->symEntries()[0].get(), hue->symEntryAtIndex(0));
  plain->setCategoryName("Renamed");
  plain->setFullPath("/y/q");
  EXPECT_EQ(plain->categoryName, "Renamed");
  EXPECT_EQ(plain->fullPath, "/y/q");
}

}  // namespace

#include "content/ContentPaletteController.h"

namespace {

TEST(CategoryNode, UserPlantCategoryIsFoundByFolderIgnoringCase) {
  ContentCategoryItem root("User Plants", "/p", nullptr, kCategoryPlants, kLibraryCustomPlants);
  root.addChildWithName("Garden", "/p/Garden", kCategoryPlants, kLibraryCustomPlants);
  ContentCategoryItem* herbs = root.addChildWithName("Herbs", "/p/Herbs", kCategoryPlants, kLibraryCustomPlants);
  EXPECT_EQ(ContentPaletteController::locateUserPlantCategoryForItem(&root, "/P/HERBS"), herbs);
  EXPECT_EQ(ContentPaletteController::locateUserPlantCategoryForItem(&root, "/p/Herb"), nullptr);
  EXPECT_EQ(ContentPaletteController::locateUserPlantCategoryForItem(nullptr, "/p/Herbs"), nullptr);
}

}  // namespace
