// The library manager: category trees from catalogues and entry lists from folders.
#include <gtest/gtest.h>

#include "ContentTestSupport.h"
#include "content/ContentLibraryManager.h"

namespace {

ContentLibraryManager& Manager() { return ContentLibraryManager::sharedContentLibraryManager(); }

std::vector<std::string> Names(const ContentCategoryTree& tree) {
  std::vector<std::string> out;
  for (const auto& n : tree) out.push_back(n->categoryName);
  return out;
}

TEST(LibraryCatalogues, ListsEndAtTheFirstMissingNameAndSkipMissingDirectories) {
  ContentFolders folders;
  folders.write("shared/QVRA/ObjectCat.ini",
                "[Object]\n1Object=Chairs\n1ObjectDirectory=x\n3Object=Lamps\n3ObjectDirectory=x\n"
                "[Chairs]\n1Chairs=Dining\n1ChairsDirectory=x\n2Chairs=Office\n2ChairsDirectory=x\n");
  ContentCategoryTree roots;
  Manager().buildLibraryOfType(kLibraryObjects, &roots);
  ASSERT_EQ(Names(roots), std::vector<std::string>{"Chairs"});
  EXPECT_TRUE(roots[0]->selected);
  EXPECT_EQ(roots[0]->fullPath, folders.shared + "/QVRA/Objects/Chairs");
  ASSERT_EQ(roots[0]->numberOfChildren(), 2u);
  EXPECT_EQ(roots[0]->childAtIndex(1)->fullPath, folders.shared + "/QVRA/Objects/Chairs/Office");
  EXPECT_EQ(roots[0]->childAtIndex(1)->parentItem, roots[0].get());

  folders.write("shared/QVRA/ObjectCat.ini",
                "[Object]\n1Object=A\n1ObjectDirectory=x\n2Object=B\n3Object=C\n3ObjectDirectory=x\n"
                "4Object=../x\n4ObjectDirectory=x\n5Object=a/b\n5ObjectDirectory=x\n6Object=..\n6ObjectDirectory=x\n"
                "7Object=D\n7ObjectDirectory=x\n");
  roots.clear();
  Manager().buildLibraryOfType(kLibraryObjects, &roots);
  EXPECT_EQ(Names(roots), (std::vector<std::string>{"A", "C", "D"}));
  EXPECT_TRUE(roots[0]->selected);
  EXPECT_FALSE(roots[1]->selected);
  // Only the root of number 1 starts selected: when that number is skipped, none is.
  folders.write("shared/QVRA/ObjectCat.ini", "[Object]\n1Object=A\n2Object=B\n2ObjectDirectory=x\n");
  roots.clear();
  Manager().buildLibraryOfType(kLibraryObjects, &roots);
  ASSERT_EQ(Names(roots), std::vector<std::string>{"B"});
  EXPECT_FALSE(roots[0]->selected);
  // A catalogue that lists one category over and over, each time with all its sub-categories,
  // gives a bounded tree: the first roots whole, then no more.
  std::string text = "[Object]\n";
  for (int n = 1; n <= 300; ++n) text += std::to_string(n) + "Object=A\n" + std::to_string(n) + "ObjectDirectory=x\n";
  text += "[a]\n";
  for (int n = 1; n <= 300; ++n) text += std::to_string(n) + "a=B\n" + std::to_string(n) + "aDirectory=x\n";
  folders.write("shared/QVRA/ObjectCat.ini", text);
  roots.clear();
  Manager().buildLibraryOfType(kLibraryObjects, &roots);
  size_t made = 0;
  for (const auto& root : roots) made += 1 + root->numberOfChildren();
  EXPECT_LE(made, 10000u);
  ASSERT_GE(roots.size(), 2u);
  EXPECT_EQ(roots[0]->numberOfChildren(), 300u);
  EXPECT_EQ(roots[1]->childAtIndex(299)->fullPath, folders.shared + "/QVRA/Objects/A/B");
  // Types without a root catalogue add nothing.
  ContentCategoryTree none;
  Manager().buildLibraryOfType(kLibraryMaterials, &none);
  Manager().buildLibraryOfType(kLibraryObjects, static_cast<ContentCategoryTree*>(nullptr));
  Manager().buildLibraryOfType(kLibraryObjects, nullptr);
  Manager().buildLibraryOfType(kLibrarySymbols, static_cast<ContentCategoryItem*>(nullptr));
  EXPECT_TRUE(none.empty());
}

TEST(LibraryCatalogues, SubtreesUnderANodeUseTheNodesFolderOrTheTrimFolder) {
  ContentFolders folders;
  folders.write("shared/QVRA/SymbolCat.ini", "[Symbol]\n1Symbol=Beds\n1SymbolDirectory=y\n[Beds]\n1Beds=Twin\n1BedsDirectory=y\n");
  folders.write("shared/QVRA/trimcat.INI", "[Trim]\n1Trim=Mine\n1TrimDirectory=y\n");
  ContentCategoryItem parent("Symbols", "/base", nullptr, kCategoryObjects, kLibrarySymbols);
  Manager().buildLibraryOfType(kLibrarySymbols, &parent);
  ASSERT_EQ(parent.numberOfChildren(), 1u);
  ContentCategoryItem* beds = parent.childAtIndex(0);
  EXPECT_EQ(beds->fullPath, "/base/Beds");
  EXPECT_FALSE(beds->selected);
  EXPECT_EQ(beds->categoryType, kCategoryObjects);
  ASSERT_EQ(beds->numberOfChildren(), 1u);
  EXPECT_EQ(beds->childAtIndex(0)->fullPath, "/base/Beds/Twin");
  ContentCategoryItem trim("Trim", "/elsewhere", nullptr, kCategoryTrim, kLibraryCustomCrownTrim);
  Manager().buildLibraryOfType(kLibraryCustomCrownTrim, &trim);  // the catalogue found whatever its case
  ASSERT_EQ(trim.numberOfChildren(), 1u);
  EXPECT_EQ(trim.childAtIndex(0)->fullPath, folders.shared + "/QVRA/Components/Trim/Mine");
  EXPECT_EQ(trim.childAtIndex(0)->categoryType, kCategoryTrim);
}

TEST(LibraryEntries, PaintsReadUpTo420ColoursThenTheStockPassLeavesThem) {
  ContentFolders folders;
  std::string text = "[CategoryInfo]\nCatID=1\n[PaintInfo]\n";
  for (int n = 1; n <= 421; ++n)
    text += "Red-" + std::to_string(n) + "=" + std::to_string(n % 256) + "\nGreen-" + std::to_string(n) +
            "=999\nBlue-" + std::to_string(n) + "=-3\n" + (n == 2 ? "" : "Name-" + std::to_string(n) + "=P" + std::to_string(n) + "\n");
  folders.write("shared/QVRA/Paint/Warm/Warm.INI", text);
  ContentCategoryItem warm("Warm", folders.shared + "/QVRA/Paint/Warm", nullptr, kCategoryColors, kLibraryPaint);
  Manager().rebuildSymEntryListForItem(&warm);
  ASSERT_EQ(warm.numberOfSymEntries(), 420u);
  EXPECT_EQ(warm.symEntryAtIndex(0)->objectDescription, "P1");
  EXPECT_EQ(warm.symEntryAtIndex(1)->objectDescription, "No description");
  EXPECT_EQ(warm.symEntryAtIndex(0)->textureColor.green, 255);  // clamped
  EXPECT_EQ(warm.symEntryAtIndex(0)->textureColor.blue, 0);
  EXPECT_EQ(warm.symEntryAtIndex(419)->refNum, 420);
  // Without a positive CatID there are no paints.
  folders.write("shared/QVRA/Paint/Warm/Warm.INI", "[CategoryInfo]\nCatID=0\n[PaintInfo]\nRed-1=1\nGreen-1=1\nBlue-1=1\n");
  Manager().rebuildSymEntryListForItem(&warm);
  EXPECT_EQ(warm.numberOfSymEntries(), 0u);
}

TEST(LibraryEntries, StockFoldersWithGapsKeepConsecutiveNumbersAndGappedIds) {
  ContentFolders folders;
  const std::string dir = "support/QVRA/Textures/Brick/";
  for (int n : {1, 3, 4}) {
    folders.image(dir + "BRICK" + std::to_string(n) + ".QTX", 4, 0xff8000);
    folders.write(dir + "brick" + std::to_string(n) + ".qti", n == 3 ? "" : "[Description]\nName=B" + std::to_string(n) + "\n");
  }
  folders.image(dir + "BRICK5.QTX", 4, 0xff8000);  // no information file: skipped
  ContentCategoryItem brick("Brick", folders.support + "/QVRA/Textures/Brick", nullptr, kCategoryMaterials,
                            kLibraryMaterials);
  brick.setBaseTextureID(850, 66, "BRICK");
  Manager().rebuildSymEntryListForItem(&brick);
  ASSERT_EQ(brick.numberOfSymEntries(), 3u);
  EXPECT_EQ(brick.symEntryAtIndex(1)->refNum, 2);
  EXPECT_EQ(brick.symEntryAtIndex(1)->textureID, 852);
  EXPECT_EQ(brick.symEntryAtIndex(1)->objectDescription, "No description");
  EXPECT_EQ(brick.symEntryAtIndex(2)->textureID, 853);
  EXPECT_EQ(brick.symEntryAtIndex(0)->type, kEntryMaterial);
  EXPECT_TRUE(brick.symEntryAtIndex(0)->objectPreview.empty());
  // A node without a texture count keeps its list.
  ContentCategoryItem empty("E", "/nowhere", nullptr, kCategoryMaterials, kLibraryMaterials);
  empty.addSymEntryWithRed(1, 2, 3, "keep", 1, kEntryColor);
  Manager().rebuildTextureSymEntryListForItem(&empty);
  EXPECT_EQ(empty.numberOfSymEntries(), 1u);
}

TEST(LibraryEntries, TrimListsFollowTheDesignsMeasurementSystem) {
  ContentFolders folders;
  const std::string dir = "support/QVRA/Textures/BaseTrim/";
  folders.image(dir + "BASETRIM1.QPV", 4, 0xffffff);
  folders.write(dir + "BASETRIM1.QTI", "[Description]\nName=Colonial\n");
  folders.image(dir + "BASETRIM2M.QPV", 4, 0xffffff);
  folders.write(dir + "BASETRIM2M.QTI", "[Description]\nName=Metric Ogee\n");
  ContentCategoryItem base("Base Trim", folders.support + "/QVRA/Textures/BaseTrim", nullptr, kCategoryTrim,
                           kLibraryBaseTrim);
  base.setBaseTextureID(100, 5, "BASETRIM");
  Manager().rebuildSymEntryListForItem(&base);  // no design: the list stays as it was
  EXPECT_EQ(base.numberOfSymEntries(), 0u);
  BareDesign design;
  Manager().rebuildSymEntryListForItem(&base);
  ASSERT_EQ(base.numberOfSymEntries(), 1u);
  EXPECT_EQ(base.symEntryAtIndex(0)->textureID, 100);
  EXPECT_EQ(base.symEntryAtIndex(0)->type, kEntryTrim);
  EXPECT_TRUE(base.symEntryAtIndex(0)->objectData.empty());
  design.ds()->measureSystem = 4;
  Manager().rebuildSymEntryListForItem(&base);
  ASSERT_EQ(base.numberOfSymEntries(), 1u);
  EXPECT_EQ(base.symEntryAtIndex(0)->textureID, 101);
  EXPECT_EQ(base.symEntryAtIndex(0)->objectDescription, "Metric Ogee");
  EXPECT_NE(base.symEntryAtIndex(0)->objectPreview.find("BASETRIM2M.QPV"), std::string::npos);
}

TEST(LibraryEntries, FolderListingsFindSideFilesWhateverTheirCase) {
  ContentFolders folders;
  const std::string dir = "shared/QVRA/Components/Doors/Panel/";
  folders.write(dir + "door1.qtf", "x");
  folders.write(dir + "door1.QTI", "[Description]\nAttachmentName=Panel\nAttachmentDescription=Four panels\n");
  folders.image(dir + "door1.QPV", 4, 0);
  folders.write(dir + "door2.QTF", "x");  // no preview: skipped (required)
  folders.write(dir + "door2.QTI", "[Description]\nAttachmentName=Bare\n");
  folders.write(dir + ".qtf", "x");       // too short a name
  ContentCategoryItem doors("Panel", folders.shared + "/QVRA/Components/Doors/Panel", nullptr, kCategoryDoors,
                            kLibraryCustomDoors);
  Manager().rebuildSymEntryListForItem(&doors);
  ASSERT_EQ(doors.numberOfSymEntries(), 1u);
  const SymEntryInfo* e = doors.symEntryAtIndex(0);
  EXPECT_EQ(e->type, kEntryCustomDoor);
  EXPECT_EQ(e->objectData, "Panel/door1.qtf");  // relative to the doors folder
  EXPECT_EQ(e->objectInfo, "Panel/door1.QTI");
  EXPECT_EQ(e->objectPreview, "Panel/door1.QPV");
  EXPECT_EQ(e->objectDescription, "Panel (Four panels)");
  // A category with sub-categories gets no entries.
  doors.addChildWithName("Sub", doors.fullPath + "/Sub", kCategoryDoors, kLibraryCustomDoors);
  Manager().rebuildSymEntryListForItem(&doors);
  EXPECT_EQ(doors.numberOfSymEntries(), 0u);
}

TEST(LibraryEntries, DamagedFilesLeaveTheOtherEntries) {
  ContentFolders folders;
  const std::string dir = "shared/QVRA/Objects/Chairs/";
  folders.write(dir + "a.QOB", "");
  folders.write(dir + "a.QOD", std::string("\x00\xff[Description\nObjectName", 26));  // damaged
  folders.write(dir + "a.QPV", "not an image");
  folders.write(dir + "b.QOB", "x");
  folders.write(dir + "b.QOD", "[Description]\nObjectName=Chair\nObjectDescription=Chair\n");
  folders.image(dir + "b.QPV", 4, 0);
  ContentCategoryItem chairs("Chairs", folders.shared + "/QVRA/Objects/Chairs", nullptr, kCategoryObjects,
                             kLibraryObjects);
  Manager().rebuildSymEntryListForItem(&chairs);
  ASSERT_EQ(chairs.numberOfSymEntries(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const SymEntryInfo* e = chairs.symEntryAtIndex(i);
    if (e->objectData.find("b.QOB") != std::string::npos) EXPECT_EQ(e->objectDescription, "Chair");
    else EXPECT_EQ(e->objectDescription, "");
  }
  // Families (read from the design's colour table) and ramps.
  BareDesign design;
  ContentCategoryItem winter("Winter", "", nullptr, kCategoryColors, kLibraryWinterColors);
  Manager().rebuildSymEntryListForItem(&winter);
  EXPECT_EQ(winter.numberOfSymEntries(), 12u);
  ContentCategoryItem grey("Grey", "", nullptr, kCategoryColors, kLibraryGrayTones);
  Manager().rebuildSymEntryListForItem(&grey);
  EXPECT_EQ(grey.symEntryAtIndex(11)->colorIndex, 71);
  ContentCategoryItem ramp("Ramp", "", nullptr, kCategoryColors, kLibraryColorRamp);
  Manager().rebuildSymEntryListForItem(&ramp);
  EXPECT_EQ(ramp.numberOfSymEntries(), 45u);
  ContentCategoryItem results("Results", "", nullptr, kCategoryPlants, 23);
  results.addSymEntryWithRed(1, 1, 1, "kept", 1, kEntryColor);
  Manager().rebuildSymEntryListForItem(&results);
  EXPECT_EQ(results.numberOfSymEntries(), 1u);
}

}  // namespace
