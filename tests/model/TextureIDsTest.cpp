// Stock texture ids: image names, information file paths and wire-frame plant images.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/TextureIDs.h"
#include "platform/ContentPaths.h"

namespace {

std::string ImageName(int32_t id) {
  char name[kTexturePathSize];
  strcpy(name, "untouched");
  GetTextureFileNameFromID(id, name);
  return name;
}

class TextureInfoPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    support_ = LocalDomainApplicationSupportPath();
    shared_ = LocalDomainUserSharedPath();
    SetLocalSupportRoot("/stock");
    SetUserSharedRoot("/shared");
  }
  void TearDown() override {
    SetLocalSupportRoot(support_);
    SetUserSharedRoot(shared_);
  }
  static std::string InfoPath(int32_t id) {
    char path[kTexturePathSize];
    strcpy(path, "untouched");
    GetTextureInfoFileNameFromID(id, path);
    return path;
  }
  std::string support_, shared_;
};

}  // namespace

TEST(TextureIDs, ImageNamesOfRangesAndFixedIds) {
  EXPECT_EQ(ImageName(1), "SKY/SKY1.QTX");
  EXPECT_EQ(ImageName(2), "GROUND/GROUND1.QTX");
  EXPECT_EQ(ImageName(4), "WOOD/WOOD1.QTX");
  EXPECT_EQ(ImageName(1551), "SKY/SKY2.QTX");
  EXPECT_EQ(ImageName(2151), "TILE/TILE102.QTX");
  EXPECT_EQ(ImageName(7461), "TREES/ZELKO1.QTX");
  EXPECT_EQ(ImageName(950), "CONCRETE/CONCRE1.QTX");
  EXPECT_EQ(ImageName(3800), "GRASSES/ORNAM1.QTX");
  EXPECT_EQ(ImageName(14005), "LIGHT/LIGHT6.QTX");
  // Ranges sharing folder and prefix share names.
  EXPECT_EQ(ImageName(500), "TREES/TREE1.QTX");
  EXPECT_EQ(ImageName(3400), "TREES/TREE1.QTX");
  EXPECT_EQ(ImageName(7000), "TREES/TREE1.QTX");
  EXPECT_EQ(ImageName(1550), "SKY/SKY1.QTX");
}

TEST(TextureIDs, UncoveredIdsGiveEmptyNameAndOutsideIdsWriteNothing) {
  EXPECT_EQ(ImageName(3), "");
  EXPECT_EQ(ImageName(100), "");
  EXPECT_EQ(ImageName(327), "");
  EXPECT_EQ(ImageName(14999), "");
  EXPECT_EQ(ImageName(15000), "untouched");
  EXPECT_EQ(ImageName(0), "untouched");
  EXPECT_EQ(ImageName(-1001), "untouched");
  EXPECT_EQ(ImageName(20000), "untouched");
  GetTextureFileNameFromID(1, nullptr);  // null buffer: nothing happens
}

TEST(TextureIDs, NamesAreCutToTheBuffer) {
  char small[8];
  GetTextureFileNameFromID(2151, small, sizeof small);
  EXPECT_STREQ(small, "TILE/TI");
}

TEST(TextureIDs, WireFrameImagesAndPlantMapping) {
  EXPECT_EQ(ImageName(14060), "WIREPLANTS/WireTree.qtx");
  EXPECT_EQ(ImageName(14065), "WIREPLANTS/WireGroundCover.qtx");
  EXPECT_EQ(ImageName(14071), "WIREPLANTS/WireEdible.qtx");

  struct { int32_t plant, wire; } cases[] = {
      {500, 14060},  {3550, 14060}, {7474, 14060}, {300, 14061},  {5681, 14061}, {400, 14062},
      {6213, 14062}, {3600, 14063}, {8082, 14063}, {3659, 14064}, {9000, 14064}, {3733, 14065},
      {3750, 14066}, {10055, 14066}, {3809, 14067}, {11000, 14067}, {3850, 14068}, {12504, 14068},
      {4034, 14069}, {4066, 14070}, {13022, 14071}, {3810, 14060}, {1, 14060},   {14999, 14060},
  };
  for (auto c : cases) EXPECT_EQ(GetWireFramePlantTextureIDNameFromID(c.plant), c.wire) << c.plant;
  EXPECT_EQ(GetWireFramePlantTextureIDNameFromID(0), 0);
  EXPECT_EQ(GetWireFramePlantTextureIDNameFromID(15000), 0);
  EXPECT_EQ(GetWireFramePlantTextureIDNameFromID(20001), 0);
}

TEST_F(TextureInfoPaths, InformationFilesLieUnderStockOrSharedFolder) {
  EXPECT_EQ(InfoPath(300), "/stock/QVRA/Textures/SHRUBS/SHRUB1.QTI");
  EXPECT_EQ(InfoPath(3000), "/shared/QVRA/Textures/SHRUBS/SHRUB1.QTI");
  EXPECT_EQ(InfoPath(13022), "/shared/QVRA/Textures/EDIBLES/EDIBLES23.QTI");
  EXPECT_EQ(InfoPath(14000), "/stock/QVRA/Textures/LIGHT/LIGHT1.QTI");
  EXPECT_EQ(InfoPath(1), "/stock/QVRA/Textures/SKY/SKY1.QTI");
  // No file name for uncovered and wire-frame ids.
  EXPECT_EQ(InfoPath(14065), "/stock/QVRA/Textures/");
  EXPECT_EQ(InfoPath(3), "/stock/QVRA/Textures/");
  EXPECT_EQ(InfoPath(3231), "/shared/QVRA/Textures/");
  EXPECT_EQ(InfoPath(15000), "untouched");
  EXPECT_EQ(InfoPath(0), "untouched");
}

TEST_F(TextureInfoPaths, UnknownFolderGivesEmptyPath) {
  SetUserSharedRoot("");
  EXPECT_EQ(InfoPath(3000), "");
  EXPECT_EQ(InfoPath(300), "/stock/QVRA/Textures/SHRUBS/SHRUB1.QTI");
}
