// The library searches: name matching on each key, the condition filters, required side
// files, the result limit and the descriptions of the hits.
#include "ContentTestSupport.h"
#include "content/ContentCategoryItem.h"
#include "content/ContentSearches.h"
#include "model/TextureIDs.h"

namespace {

class Searches : public ::testing::Test {
 protected:
  ContentFolders folders;
  BareDesign design;
  ContentCategoryItem results{"Search results", "", nullptr, kCategoryPlants, 23};

  // A stock plant of the given id: its information file, image and (optionally) preview.
  void stockPlant(int32_t id, const std::string& keys, bool image = true, bool preview = true) {
    char info[kTexturePathSize] = {};
    GetTextureInfoFileNameFromID(id, info, sizeof info);
    ASSERT_TRUE(info[0]);
    const std::string path = info;
    const std::string rel = path.substr(folders.root.size() + 1);
    folders.write(rel, "[Description]\n" + keys);
    if (image) folders.write(rel.substr(0, rel.size() - 3) + "QTX", "x");
    if (preview) folders.write(rel.substr(0, rel.size() - 3) + "QPV", "x");
  }
  std::string description(size_t i) const { return results.symEntryAtIndex(i)->objectDescription; }
};

}  // namespace

TEST_F(Searches, StockPlantNamesMatchEitherNameIgnoringCase) {
  stockPlant(7000, "CommonName=Red Maple\nBotanicalName=Acer rubrum\n");
  stockPlant(7001, "CommonName=Oak\nBotanicalName=Quercus\n");
  stockPlant(7002, "CommonName=AB\n");
  struct Case {
    const char* text;
    uint32_t bits;
    size_t hits;
  } cases[] = {{"RUBRUM", 1, 1}, {"maple", 1, 1}, {"ABC", 1, 0}, {"ab", 1, 1}, {"maple", 2, 0}, {"", 1, 0},
               {"maple", 0, 0}, {"q", 1, 1}};
  for (const Case& c : cases) {
    results.removeAllSymEntries();
    SearchOEMPlantsUsingName(&results, c.text, c.bits, 100);
    EXPECT_EQ(results.numberOfSymEntries(), c.hits) << c.text << " " << c.bits;
  }
  results.removeAllSymEntries();
  SearchOEMPlantsUsingName(&results, "rubrum", 1, 100);
  ASSERT_EQ(results.numberOfSymEntries(), 1u);
  const SymEntryInfo* hit = results.symEntryAtIndex(0);
  EXPECT_EQ(hit->type, kEntryPlant);
  EXPECT_EQ(hit->textureID, 7000);
  EXPECT_EQ(hit->objectDescription, "Red Maple");
}

TEST_F(Searches, ConditionFiltersUseOneBitPerCode) {
  stockPlant(5000, "CommonName=A\nSunLight=2\nWater=1\nPropagation=4\nSoilType=8\nZone1=0\nZone5=1\n");
  stockPlant(5001, "CommonName=B\nSunLight=5\nSoilType=9\nZone1=1\n");
  struct Case {
    PlantConditionFilters f;
    size_t hits;
  } cases[] = {
      {{0, 2, 0, 0, 0}, 1},   {{0, 1, 0, 0, 0}, 0},  {{0, 4, 0, 0, 0}, 0},   {{0, 15, 0, 0, 0}, 1},
      {{0x11, 0, 0, 0, 0}, 2}, {{0x10, 0, 0, 0, 0}, 1}, {{0x2, 0, 0, 0, 0}, 0},
      {{0, 0, 128, 0, 0}, 1}, {{0, 0, 255, 0, 0}, 1}, {{0, 0, 0, 1, 8}, 1},  {{0, 0, 0, 2, 0}, 0},
      {{0, 0, 0, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    results.removeAllSymEntries();
    SearchOEMPlantsUsingConditions(&results, c.f, 100);
    EXPECT_EQ(results.numberOfSymEntries(), c.hits)
        << c.f.zone << " " << c.f.sun << " " << c.f.soil << " " << c.f.water << " " << c.f.propagation;
  }
}

TEST_F(Searches, RequiredFilesLimitAndDescriptions) {
  stockPlant(5000, "CommonName=No preview\n", true, false);
  stockPlant(5001, "CommonName=No image\n", false, true);
  stockPlant(5002, "BotanicalName=Unnamed\n");
  SearchOEMPlantsUsingName(&results, "n", 2, 100);
  ASSERT_EQ(results.numberOfSymEntries(), 2u);
  EXPECT_EQ(description(0), "No preview");
  EXPECT_TRUE(results.symEntryAtIndex(0)->objectPreview.empty());
  EXPECT_EQ(description(1), "No description");

  for (int i = 0; i < 8; ++i) stockPlant(7000 + i, "CommonName=Tree\n");
  results.removeAllSymEntries();
  SearchOEMPlantsUsingName(&results, "tree", 1, 5);
  EXPECT_EQ(results.numberOfSymEntries(), 5u);
}

TEST_F(Searches, UserPlantsAndObjectsWalkTheirFolders) {
  ContentCategoryItem plants("User Plants", "", nullptr, kCategoryPlants, kLibraryCustomPlants);
  ContentCategoryItem* garden =
      plants.addChildWithName("Garden", folders.root + "/garden", kCategoryPlants, kLibraryCustomPlants);
  folders.write("garden/Rose.qti", "[Description]\nCommonName=Rose\nSunLight=3\n");
  folders.write("garden/Rose.QTX", "x");
  folders.write("garden/Tulip.QTI", "[Description]\nCommonName=Tulip\n");
  folders.write("garden/Tulip.qtx", "x");
  folders.write("garden/Lost.QTI", "[Description]\nCommonName=Rosemary\n");  // no image
  int32_t counter = 7;
  SearchUserPlantsUsingName(&results, "ros", &plants, &counter, 100);
  ASSERT_EQ(results.numberOfSymEntries(), 1u);
  EXPECT_EQ(results.symEntryAtIndex(0)->type, kEntryUserPlant);
  EXPECT_EQ(results.symEntryAtIndex(0)->refNum, 7);
  EXPECT_EQ(counter, 8);
  PlantConditionFilters sun;
  sun.sun = 4;
  SearchUserPlantsUsingConditions(&results, sun, garden, &counter, 100);
  EXPECT_EQ(results.numberOfSymEntries(), 2u);
  SearchUserPlantsUsingName(&results, "ros", &plants, nullptr, 100);
  EXPECT_EQ(results.numberOfSymEntries(), 2u);

  ContentCategoryItem objects("Objects", folders.root + "/objects", nullptr, kCategoryObjects, kLibraryObjects);
  folders.write("objects/Chair.QOD", "[Description]\nObjectName=Chair\nObjectDescription=Chair\nKeyWords=seat\n");
  folders.write("objects/Chair.QOB", "x");
  folders.write("objects/Chair.QPV", "x");
  folders.write("objects/Table.QOD", "[Description]\nObjectName=Table\nObjectDescription=Oak\nKeyWords=seat\n");
  folders.write("objects/Table.QOB", "x");  // no preview: not listed
  folders.write("objects/Bench.QOD", "[Description]\nObjectName=Bench\nObjectDescription=Park seat\n");
  folders.write("objects/Bench.QOB", "x");
  folders.write("objects/Bench.QPV", "x");
  results.removeAllSymEntries();
  Search3DObjectsUsingName(&results, "SEAT", &objects, 100);
  ASSERT_EQ(results.numberOfSymEntries(), 2u);
  EXPECT_EQ(description(0), "Bench (Park seat)");
  EXPECT_EQ(description(1), "Chair");
  EXPECT_EQ(results.symEntryAtIndex(0)->type, kEntry3DObject);
  EXPECT_EQ(results.symEntryAtIndex(1)->refNum, 2);
  // The wrong library type is not walked.
  results.removeAllSymEntries();
  Search2DObjectsUsingName(&results, "seat", &objects, 100);
  EXPECT_EQ(results.numberOfSymEntries(), 0u);

  // Side files whose names differ only in case: the first name in byte order, whatever
  // order the folder lists them in.
  folders.write("objects/Stool.QOD", "[Description]\nObjectName=Stool\n");
  folders.write("objects/stool.qob", "x");
  folders.write("objects/STOOL.QOB", "x");
  folders.write("objects/Stool.qpv", "x");
  results.removeAllSymEntries();
  Search3DObjectsUsingName(&results, "stool", &objects, 100);
  ASSERT_EQ(results.numberOfSymEntries(), 1u);
  const std::string data = results.symEntryAtIndex(0)->objectData;
  EXPECT_EQ(data.substr(data.rfind('/') + 1), "STOOL.QOB");
}

TEST_F(Searches, NamesMatchAccentedLettersOfEitherCase) {
  // Information files and typed names are ISO Latin 1.
  stockPlant(7000, "CommonName=ROS\xC9 \xC6GIR\n");
  stockPlant(7001, "CommonName=Mult\xD7 plier\n");
  struct Case {
    const char* text;
    size_t hits;
  } cases[] = {{"ros\xe9", 1}, {"\xe6gir", 1}, {"ROS\xC9", 1}, {"rose", 0}, {"t\xF7", 0}};
  for (const Case& c : cases) {
    results.removeAllSymEntries();
    SearchOEMPlantsUsingName(&results, c.text, 1, 100);
    EXPECT_EQ(results.numberOfSymEntries(), c.hits) << c.text;
  }
}
