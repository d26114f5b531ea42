// Resolving content paths whose case differs from the names on disk.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/PathResolver.h"
#include "ScratchFolder.h"

namespace {

class PathResolverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder.file("Objects/Symbol2D"));
    folder.write("Objects/Symbol2D/Outlet.QSY", "x");
  }
  ScratchFolder folder;
};

TEST_F(PathResolverTest, ExactPathComesBackUnchanged) {
  std::string exact = folder.file("Objects/Symbol2D/Outlet.QSY");
  EXPECT_EQ(ResolvePathIgnoringCase(exact), exact);
}

TEST_F(PathResolverTest, EveryComponentMatchesIgnoringCase) {
  EXPECT_EQ(ResolvePathIgnoringCase(folder.file("objects/SYMBOL2D/outlet.qsy")),
            folder.file("Objects/Symbol2D/Outlet.QSY"));
  EXPECT_EQ(ResolvePathIgnoringCase(folder.file("OBJECTS/symbol2d")), folder.file("Objects/Symbol2D"));
}

TEST_F(PathResolverTest, NoMatchLeavesThePathAsGiven) {
  std::string missing = folder.file("objects/symbol3d/outlet.qsy");
  EXPECT_EQ(ResolvePathIgnoringCase(missing), missing);
  // A file in the middle of the path is no folder.
  std::string throughFile = folder.file("objects/symbol2d/outlet.qsy/more");
  EXPECT_EQ(ResolvePathIgnoringCase(throughFile), throughFile);
  EXPECT_EQ(ResolvePathIgnoringCase(""), "");
}

TEST_F(PathResolverTest, SeveralMatchesPickTheFirstName) {
  folder.write("Objects/Symbol2D/OUTLET.QSY", "y");
  EXPECT_EQ(ResolvePathIgnoringCase(folder.file("objects/symbol2d/outlet.qsy")),
            folder.file("Objects/Symbol2D/OUTLET.QSY"));
}

// Folders are listed once and kept: what changes in them afterwards is still found.
TEST_F(PathResolverTest, ChangesToAListedFolderAreSeen) {
  const std::string asked = folder.file("objects/symbol2d/lamp.qsy");
  EXPECT_EQ(ResolvePathIgnoringCase(folder.file("objects/symbol2d/outlet.qsy")),
            folder.file("Objects/Symbol2D/Outlet.QSY"));
  EXPECT_EQ(ResolvePathIgnoringCase(asked), asked);  // not there yet
  folder.write("Objects/Symbol2D/Lamp.QSY", "z");
  EXPECT_EQ(ResolvePathIgnoringCase(asked), folder.file("Objects/Symbol2D/Lamp.QSY"));
  std::filesystem::rename(folder.file("Objects/Symbol2D/Lamp.QSY"), folder.file("Objects/Symbol2D/LAMP.qsy"));
  EXPECT_EQ(ResolvePathIgnoringCase(asked), folder.file("Objects/Symbol2D/LAMP.qsy"));
  std::filesystem::remove(folder.file("Objects/Symbol2D/LAMP.qsy"));
  EXPECT_EQ(ResolvePathIgnoringCase(asked), asked);
  // A name that sorts first joins the others later.
  folder.write("Objects/Symbol2D/OUTLET.QSY", "y");
  EXPECT_EQ(ResolvePathIgnoringCase(folder.file("objects/symbol2d/outlet.qsy")),
            folder.file("Objects/Symbol2D/OUTLET.QSY"));
}

// The first and last letters fold, the characters just outside them do not; "." and ".."
// parts and a trailing separator are kept as they were given.
TEST_F(PathResolverTest, LettersAtBothEndsFoldAndDotsAndSeparatorsStay) {
  for (const char* name : {"ZebraA.QSY", "x@.qsy", "x`.qsy", "x[.qsy", "x{.qsy"})
    folder.write(std::string("Objects/Symbol2D/") + name, "z");
  struct Case {
    const char *asked, *found;
  } cases[] = {
      {"objects/symbol2d/zebraa.qsy", "Objects/Symbol2D/ZebraA.QSY"},
      {"OBJECTS/SYMBOL2D/ZEBRAA.QSY", "Objects/Symbol2D/ZebraA.QSY"},
      {"Objects/Symbol2D/X@.QSY", "Objects/Symbol2D/x@.qsy"},
      {"Objects/Symbol2D/X`.QSY", "Objects/Symbol2D/x`.qsy"},
      {"Objects/Symbol2D/X[.QSY", "Objects/Symbol2D/x[.qsy"},
      {"Objects/Symbol2D/X{.QSY", "Objects/Symbol2D/x{.qsy"},
      {"objects/symbol2d/", "Objects/Symbol2D/"},
      {"objects/./symbol2d/../symbol2d/outlet.qsy", "Objects/./Symbol2D/../Symbol2D/Outlet.QSY"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolvePathIgnoringCase(folder.file(c.asked)), folder.file(c.found)) << c.asked;
}

TEST_F(PathResolverTest, RelativePathsStayRelative) {
  std::error_code ec;
  auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.path(), ec);
  ASSERT_FALSE(ec);
  EXPECT_EQ(ResolvePathIgnoringCase("objects/symbol2d/OUTLET.qsy"), "Objects/Symbol2D/Outlet.QSY");
  std::filesystem::current_path(previous, ec);
}

}  // namespace

namespace {

// A file name taken from a list or a descriptor names a file below its own folder: the words of
// the name, then where its links lead.
TEST_F(PathResolverTest, NamesThatLeaveTheirFolderAreRefused) {
  namespace fs = std::filesystem;
  for (const char* plain : {"a", "a/b", "a/b..c/d", "..a", "a..", "a/./b"})
    EXPECT_TRUE(IsPlainRelativePath(plain)) << plain;
  for (const char* leaving : {"", "..", "../a", "a/..", "a/../b", "a\\..\\b", "/etc/passwd", "\\a", "a/../../b"})
    EXPECT_FALSE(IsPlainRelativePath(leaving)) << leaving;

  const std::string root = folder.file("Objects");
  fs::create_directories(folder.file("Outside"));
  folder.write("Outside/evil.QSY", "x");
  fs::create_symlink(folder.file("Outside/evil.QSY"), folder.file("Objects/link.QSY"));
  fs::create_symlink(folder.file("Outside"), folder.file("Objects/Linked"));
  fs::create_symlink(folder.file("Objects/Symbol2D/Outlet.QSY"), folder.file("Objects/alias.QSY"));

  // Inside, also found ignoring case, also through a link that stays inside, also not there yet.
  EXPECT_EQ(PathInsideFolder(root, "Symbol2D/Outlet.QSY"), folder.file("Objects/Symbol2D/Outlet.QSY"));
  EXPECT_EQ(PathInsideFolder(root, "symbol2d/outlet.qsy"), folder.file("Objects/Symbol2D/Outlet.QSY"));
  EXPECT_EQ(PathInsideFolder(root, "alias.QSY"), folder.file("Objects/alias.QSY"));
  EXPECT_EQ(PathInsideFolder(root, "Symbol2D/new.QSY"), folder.file("Objects/Symbol2D/new.QSY"));
  // Out by its words or by its links.
  for (const std::string& out : {std::string("../Outside/evil.QSY"), folder.file("Outside/evil.QSY"),
                                 std::string("Symbol2D/../../Outside/evil.QSY"), std::string("link.QSY"),
                                 std::string("Linked/evil.QSY"), std::string("linked/EVIL.qsy"), std::string(".")})
    EXPECT_EQ(PathInsideFolder(root, out), "") << out;
  EXPECT_EQ(PathInsideFolder("", "Symbol2D/Outlet.QSY"), "");
  // The folder itself is not a file inside it; a folder reached through a link is judged where
  // it leads, both for the folder and for the file.
  EXPECT_FALSE(PathStaysInsideFolder(root, root));
  EXPECT_FALSE(PathStaysInsideFolder(root, folder.file("ObjectsMore/x")));
  fs::create_symlink(root, folder.file("Shortcut"));
  EXPECT_TRUE(PathStaysInsideFolder(folder.file("Shortcut"), folder.file("Objects/Symbol2D/Outlet.QSY")));
  EXPECT_TRUE(PathStaysInsideFolder(root, folder.file("Shortcut/Symbol2D/Outlet.QSY")));
}

}  // namespace
