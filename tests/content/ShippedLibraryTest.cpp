// The shipped library: what the generator makes, that it matches the files in content/, and
// that installing never overwrites a user's file.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "ContentTestSupport.h"
#include "app/AppTestSupport.h"
#include "content/ContentLibraryManager.h"
#include "content/ShippedLibrary.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ShippedLibrary, GeneratorIsDeterministicAndMatchesTheShippedFiles) {
  TestApplication();
  const std::vector<ShippedFile> first = GenerateShippedLibrary();
  const std::vector<ShippedFile> second = GenerateShippedLibrary();
  ASSERT_EQ(first.size(), second.size());
  size_t materials = 0, plants = 0;
  for (size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].path, second[i].path);
    EXPECT_EQ(first[i].bytes, second[i].bytes) << first[i].path;
    EXPECT_FALSE(first[i].bytes.empty()) << first[i].path;
    if (!first[i].shared && first[i].path.find(".QTX") != std::string::npos) ++materials;
    if (first[i].shared && first[i].path.rfind("QVRA/Textures/", 0) == 0 &&
        first[i].path.find("Custom") == std::string::npos && first[i].path.find(".QTX") != std::string::npos)
      ++plants;
    // The copy in the source tree is what the generator makes (designs written by the
    // program's writers carry the running program's defaults: only their presence counts).
    const std::string& p = first[i].path;
    const bool design = p.find(".QOB") != std::string::npos || p.find(".QTF") != std::string::npos ||
                        p.find(".QSY") != std::string::npos;
    const fs::path shipped =
        fs::path(BuildTreeContentRoot()) / (first[i].shared ? "QVRA/Shared" : "") / first[i].path;
    if (design) EXPECT_FALSE(ReadFile(shipped).empty()) << shipped;
    else EXPECT_EQ(ReadFile(shipped), first[i].bytes) << "regenerate with scripts/make-content-library.sh: " << shipped;
  }
  EXPECT_EQ(materials, 40u);
  EXPECT_EQ(plants, 24u);
}

TEST(ShippedLibrary, InstallingCopiesWhatIsMissingAndNeverOverwrites) {
  TestApplication();
  ContentFolders folders;
  ASSERT_TRUE(WriteShippedLibrary(folders.support));
  folders.write("shared/QVRA/ObjectCat.ini", "[Object]\n1Object=Mine\n1ObjectDirectory=x\n");
  const int copied = InstallShippedLibrary();
  EXPECT_GT(copied, 50);
  EXPECT_EQ(ReadFile(folders.shared + "/QVRA/ObjectCat.ini").size(), 41u);  // the user's file stays
  EXPECT_TRUE(fs::exists(folders.shared + "/QVRA/Textures/Edibles/EDIBLES1.QTX"));
  EXPECT_EQ(InstallShippedLibrary(), 0);
  // The installed library reads back: the template and door catalogues, twelve paints.
  ContentCategoryTree templates, doors;
  ContentLibraryManager::sharedContentLibraryManager().buildLibraryOfType(kLibraryTemplates, &templates);
  ContentLibraryManager::sharedContentLibraryManager().buildLibraryOfType(kLibraryCustomDoors, &doors);
  ASSERT_EQ(templates.size(), 1u);
  ContentLibraryManager::sharedContentLibraryManager().rebuildSymEntryListForItem(templates[0].get());
  EXPECT_EQ(templates[0]->numberOfSymEntries(), 2u);
  ASSERT_EQ(doors.size(), 1u);
  ContentLibraryManager::sharedContentLibraryManager().rebuildSymEntryListForItem(doors[0].get());
  EXPECT_EQ(doors[0]->numberOfSymEntries(), 1u);
  ContentCategoryItem paint("Paint", folders.shared + "/QVRA/Paint", nullptr, kCategoryColors, kLibraryPaint);
  ContentLibraryManager::sharedContentLibraryManager().buildLibraryOfType(kLibraryPaint, &paint);
  ASSERT_EQ(paint.numberOfChildren(), 1u);
  ContentLibraryManager::sharedContentLibraryManager().rebuildSymEntryListForItem(paint.childAtIndex(0));
  EXPECT_EQ(paint.childAtIndex(0)->numberOfSymEntries(), 12u);
}

}  // namespace
