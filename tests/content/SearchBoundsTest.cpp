// The plant searches at the edges of what they walk: the first and last stock plant of every
// category and the ids either side, condition codes at their least and greatest, zone keys
// that share a prefix, names that share one, and the shipped samples found where installed.
#include "ContentTestSupport.h"
#include "app/AppTestSupport.h"
#include "content/ContentCategoryItem.h"
#include "content/ContentSearches.h"
#include "content/ShippedLibrary.h"
#include "model/TextureIDs.h"

namespace {

class SearchBounds : public ::testing::Test {
 protected:
  ContentFolders folders;
  BareDesign design;
  ContentCategoryItem results{"Search results", "", nullptr, kCategoryPlants, 23};

  // A stock plant's information file, image and preview; false when the id names no file.
  bool stockPlant(int32_t id, const std::string& keys) {
    char info[kTexturePathSize] = {};
    GetTextureInfoFileNameFromID(id, info, sizeof info);
    if (!info[0]) return false;
    const std::string path = info;
    const std::string rel = path.substr(folders.root.size() + 1);
    folders.write(rel, "[Description]\n" + keys);
    folders.write(rel.substr(0, rel.size() - 3) + "QTX", "x");
    folders.write(rel.substr(0, rel.size() - 3) + "QPV", "x");
    return true;
  }
  std::vector<int32_t> hitIDs() const {
    std::vector<int32_t> ids;
    for (size_t i = 0; i < results.numberOfSymEntries(); ++i) ids.push_back(results.symEntryAtIndex(i)->textureID);
    return ids;
  }
};

TEST_F(SearchBounds, EachCategoryFindsItsFirstAndLastPlantAndNothingEitherSide) {
  for (int row = 0; row < kStockPlantRanges; ++row) {
    const StockPlantRange& r = kStockPlantSearchRanges[row];
    ASSERT_TRUE(stockPlant(r.firstID, "CommonName=Fern\n")) << r.firstID;
    ASSERT_TRUE(stockPlant(r.firstID + r.count - 1, "CommonName=Fern\n")) << r.firstID + r.count - 1;
    stockPlant(r.firstID - 1, "CommonName=Fern\n");
    stockPlant(r.firstID + r.count, "CommonName=Fern\n");
  }
  for (int row = 0; row < kStockPlantRanges; ++row) {
    const StockPlantRange& r = kStockPlantSearchRanges[row];
    SCOPED_TRACE(r.name);
    results.removeAllSymEntries();
    SearchOEMPlantsUsingName(&results, "fern", 1u << row, 100);
    EXPECT_EQ(hitIDs(), (std::vector<int32_t>{r.firstID, r.firstID + r.count - 1}));
  }
  // Every category at once: the first and last of each, in the table's order.
  results.removeAllSymEntries();
  SearchOEMPlantsUsingName(&results, "fern", (1u << kStockPlantRanges) - 1, 1000);
  std::vector<int32_t> all;
  for (const StockPlantRange& r : kStockPlantSearchRanges) all.insert(all.end(), {r.firstID, r.firstID + r.count - 1});
  EXPECT_EQ(hitIDs(), all);
}

// What the search walks is what the plant palette browses: the same categories, in the same
// order, with the same first ids and counts (the search's category bits follow this order).
TEST_F(SearchBounds, SearchRangesAreThePaletteCategoriesRowByRow) {
  ContentCategoryTree plants;
  buildPlantCategoryTree(&plants);
  ASSERT_EQ(plants.size(), size_t(kStockPlantRanges));
  for (int row = 0; row < kStockPlantRanges; ++row) {
    const StockPlantRange& r = kStockPlantSearchRanges[row];
    SCOPED_TRACE(r.name);
    EXPECT_EQ(plants[size_t(row)]->categoryName, r.name);
    EXPECT_EQ(plants[size_t(row)]->baseTextureID, r.firstID);
    EXPECT_EQ(plants[size_t(row)]->textureCount, uint32_t(r.count));
  }
}

TEST_F(SearchBounds, ConditionCodesAtTheirLeastAndGreatestAndZoneKeysSharingAPrefix) {
  const int32_t first = kStockPlantSearchRanges[0].firstID;
  ASSERT_TRUE(stockPlant(first + 0, "CommonName=A\nSunLight=1\nWater=4\nSoilType=1\nPropagation=4\nZone1=1\n"));
  ASSERT_TRUE(stockPlant(first + 1, "CommonName=B\nSunLight=4\nWater=1\nSoilType=8\nPropagation=1\nZone10=1\n"));
  ASSERT_TRUE(stockPlant(first + 2, "CommonName=C\nSunLight=5\nWater=0\nSoilType=9\nPropagation=5\nZone11=1\n"));
  struct Case {
    const char* what;
    PlantConditionFilters f;  // zone, sun, soil, water, propagation
    std::vector<int32_t> hits;
  } cases[] = {
      {"sun 1", {0, 1, 0, 0, 0}, {first}},
      {"sun 4", {0, 8, 0, 0, 0}, {first + 1}},
      {"any sun", {0, 15, 0, 0, 0}, {first, first + 1}},
      {"soil 1", {0, 0, 1, 0, 0}, {first}},
      {"soil 8", {0, 0, 128, 0, 0}, {first + 1}},
      {"any soil", {0, 0, 255, 0, 0}, {first, first + 1}},
      {"water 1", {0, 0, 0, 1, 0}, {first + 1}},
      {"water 4", {0, 0, 0, 8, 0}, {first}},
      {"propagation 1", {0, 0, 0, 0, 1}, {first + 1}},
      {"propagation 4", {0, 0, 0, 0, 8}, {first}},
      {"zone 1", {1, 0, 0, 0, 0}, {first}},
      {"zone 10", {0x200, 0, 0, 0, 0}, {first + 1}},
      {"zones 1 to 10", {0x3FF, 0, 0, 0, 0}, {first, first + 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    results.removeAllSymEntries();
    SearchOEMPlantsUsingConditions(&results, c.f, 100);
    EXPECT_EQ(hitIDs(), c.hits);
  }
}

TEST_F(SearchBounds, NamesSharingAPrefix) {
  const int32_t first = kStockPlantSearchRanges[1].firstID;
  ASSERT_TRUE(stockPlant(first + 0, "CommonName=Oak\nBotanicalName=Quercus robur\n"));
  ASSERT_TRUE(stockPlant(first + 1, "CommonName=Oakleaf Hydrangea\nBotanicalName=Hydrangea quercifolia\n"));
  ASSERT_TRUE(stockPlant(first + 2, "CommonName=Cloak\n"));
  struct Case {
    const char* text;
    std::vector<int32_t> hits;
  } cases[] = {
      {"oak", {first, first + 1, first + 2}},
      {"Oakl", {first + 1}},
      {"OAK ", {}},  // no name holds the blank after it
      {"oakleaf hydrangea", {first + 1}},
      {"oakleaf hydrangeas", {}},  // longer than every name
      {"querc", {first, first + 1}},  // the botanical name when the common name does not hold it
      {"Quercus robur", {first}},     // longer than the common name: the botanical one is read
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    results.removeAllSymEntries();
    SearchOEMPlantsUsingName(&results, c.text, 2, 100);
    EXPECT_EQ(hitIDs(), c.hits);
  }
}

}  // namespace

namespace {

// The shipped library's two sample plants of each category, installed where the program
// looks, are what the search finds: the first and second id of every category, the first
// category's and the last's alike, under the names the generator gave them.
TEST(ShippedPlantSearch, EveryCategorysSamplesAreFoundByIdAndName) {
  TestApplication();
  ContentFolders folders;
  BareDesign design;
  ASSERT_TRUE(WriteShippedLibrary(folders.support));
  ASSERT_GT(InstallShippedLibrary(), 0);
  ContentCategoryItem results{"Search results", "", nullptr, kCategoryPlants, 23};
  SearchOEMPlantsUsingName(&results, "sample", (1u << kStockPlantRanges) - 1, 1000);
  ASSERT_EQ(results.numberOfSymEntries(), size_t(2 * kStockPlantRanges));
  for (int row = 0; row < kStockPlantRanges; ++row) {
    const StockPlantRange& r = kStockPlantSearchRanges[row];
    SCOPED_TRACE(r.name);
    for (int n = 0; n < 2; ++n) {
      const SymEntryInfo* hit = results.symEntryAtIndex(size_t(2 * row + n));
      EXPECT_EQ(hit->textureID, r.firstID + n);
      EXPECT_EQ(hit->objectDescription.rfind("Sample ", 0), 0u) << hit->objectDescription;
      EXPECT_EQ(hit->objectDescription.back(), char('1' + n)) << hit->objectDescription;
      EXPECT_EQ(hit->objectPreview.empty(), n == 1);  // a preview for the first of each folder
    }
  }
}

}  // namespace
