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

// Every folder, under three roots that differ, so that a folder built on the wrong root shows;
// each root left unknown in turn empties exactly the folders below it.
TEST_F(ContentPathsTest, EveryFolderLiesBelowItsOwnRoot) {
  enum Root { kSupport, kShared, kUser };
  struct Case {
    std::string (*path)();
    Root root;
    const char* below;
  } cases[] = {
      {LocalDomainApplicationSupportPath, kSupport, ""},
      {UserDomainApplicationSupportPath, kUser, ""},
      {LocalDomainUserSharedPath, kShared, ""},
      {LocalDomainTexturePath, kSupport, "/QVRA/Textures"},
      {LocalDomainUserSharedTexturePath, kShared, "/QVRA/Textures"},
      {LocalDomainPlantPath, kShared, "/QVRA/Textures"},
      {LocalDomainCustomTexturePath, kShared, "/QVRA/Textures/CustomTextures"},
      {LocalDomainAccessoriesPath, kShared, "/QVRA/Textures/CustomTextures/Accessories"},
      {LocalDomainCustomPlantPath, kShared, "/QVRA/Textures/CustomPlants"},
      {LocalDomainCustomTrimPath, kShared, "/QVRA/Components/Trim"},
      {LocalDomainCustomWindowPath, kShared, "/QVRA/Components/Windows"},
      {LocalDomainCustomDoorPath, kShared, "/QVRA/Components/Doors"},
      {LocalDomain2DObjectPath, kShared, "/QVRA/2DSymbols"},
      {LocalDomain3DObjectPath, kShared, "/QVRA/Objects"},
      {LocalDomainTemplatePath, kShared, "/QVRA/Templates"},
      {LocalDomainPaintPath, kShared, "/QVRA/Paint"},
      {LocalDomainContentPath, kShared, "/QVRA/Content"},
      {LocalDomainAddkitPath, kSupport, "/QVRA/QVRA Verdalia 9.0.0/Plugins"},
      {LocalDomainOEMSym2DPath, kSupport, "/QVRA/Objects/Symbol2D"},
      {LocalDomainOEMSym3DPath, kSupport, "/QVRA/Objects/Symbol3D"},
      {LocalDomainContentProviderPath, kSupport, "/QVRA/Providers"},
  };
  const std::string roots[] = {"/opt/casa/content", "/home/u/.local/share", "/home/u/.config/casa"};
  const std::string userRoot = UserDomainApplicationSupportPath();
  for (int unknown = -1; unknown < 3; ++unknown) {
    const uint64_t generation = ContentRootsGeneration();
    SetLocalSupportRoot(unknown == kSupport ? "" : roots[kSupport]);
    SetUserSharedRoot(unknown == kShared ? "" : roots[kShared]);
    SetUserSupportRoot(unknown == kUser ? "" : roots[kUser]);
    EXPECT_EQ(ContentRootsGeneration(), generation + 3);  // every setting moves it on
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "unknown root " << unknown << ", " << c.below << " of root " << c.root);
      EXPECT_EQ(c.path(), unknown == c.root ? std::string() : roots[c.root] + c.below);
    }
  }
  SetUserSupportRoot(userRoot);
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
  // Two characters are the least a native path has, before and after trimming.
  EXPECT_FALSE(IsWin32Path("ab"));
  EXPECT_FALSE(IsWin32Path(" ab\t"));
  EXPECT_TRUE(IsWin32Path("C:"));
  EXPECT_TRUE(IsWin32Path("\\\\server"));
}

}  // namespace
