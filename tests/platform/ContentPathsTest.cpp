// Content folder names below the two roots, and telling foreign paths from native ones.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ContentPaths.h"

namespace {

class ContentPathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLocalSupportRoot("/opt/casa/content");
    SetUserSharedRoot("/home/u/.local/share");
  }
  void TearDown() override {
    SetLocalSupportRoot(BuildTreeContentRoot());
    SetUserSharedRoot("");
  }
};

TEST_F(ContentPathsTest, FoldersBelowTheRoots) {
  EXPECT_EQ(LocalDomainTexturePath(), "/opt/casa/content/QVRA/Textures");
  EXPECT_EQ(LocalDomainOEMSym2DPath(), "/opt/casa/content/QVRA/Objects/Symbol2D");
  EXPECT_EQ(LocalDomainOEMSym3DPath(), "/opt/casa/content/QVRA/Objects/Symbol3D");
  EXPECT_EQ(LocalDomainAddkitPath(), "/opt/casa/content/QVRA/QVRA Verdalia 9.0.0/Plugins");
  EXPECT_EQ(LocalDomainUserSharedTexturePath(), "/home/u/.local/share/QVRA/Textures");
  EXPECT_EQ(LocalDomainPlantPath(), LocalDomainUserSharedTexturePath());
  EXPECT_EQ(LocalDomainCustomTexturePath(), "/home/u/.local/share/QVRA/Textures/CustomTextures");
  EXPECT_EQ(LocalDomainCustomPlantPath(), "/home/u/.local/share/QVRA/Textures/CustomPlants");
  EXPECT_EQ(LocalDomainAccessoriesPath(),
            "/home/u/.local/share/QVRA/Textures/CustomTextures/Accessories");
  EXPECT_EQ(LocalDomainCustomWindowPath(), "/home/u/.local/share/QVRA/Components/Windows");
}

TEST_F(ContentPathsTest, MissingRootGivesNoPath) {
  SetUserSharedRoot("");
  EXPECT_EQ(LocalDomainCustomTexturePath(), "");
  EXPECT_EQ(LocalDomain3DObjectPath(), "");
  EXPECT_EQ(LocalDomainTexturePath(), "/opt/casa/content/QVRA/Textures");
}

TEST(ContentPaths, BuildTreeRootIsTheSourceTreeContentFolder) {
  std::string root = BuildTreeContentRoot();
  ASSERT_FALSE(root.empty());
  EXPECT_EQ(root.substr(root.size() - 8), "/content");
  EXPECT_TRUE(std::filesystem::exists(root.substr(0, root.size() - 8) + "/src/platform"));
}

TEST(IsWin32Path, DriveLettersAndBackslashes) {
  EXPECT_TRUE(IsWin32Path("C:\\Folder\\File"));
  EXPECT_TRUE(IsWin32Path("\\Folder"));
  EXPECT_TRUE(IsWin32Path("  \n D:\\x"));
  EXPECT_FALSE(IsWin32Path("/Users/Shared"));
  EXPECT_FALSE(IsWin32Path("Textures/Oak.QTX"));
  EXPECT_TRUE(IsWin32Path("a"));
  EXPECT_TRUE(IsWin32Path(" a \n"));
  EXPECT_TRUE(IsWin32Path(static_cast<const char*>(nullptr)));
  EXPECT_TRUE(IsWin32Path(std::string()));
}

}  // namespace
