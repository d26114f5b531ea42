// The shipped library: what the generator makes, that it matches the files in content/, and
// that installing never overwrites a user's file.
#include <gtest/gtest.h>

// The model's headers before Qt's, whose keyword macros clash with field names.
#include "ShippedObjects.h"
#include "TestDocument.h"
#include "building3d/Framing3D.h"
#include "files/ObjectFile.h"
#include "model/CommandCodes.h"
#include "model/ConvertObject.h"
#include "model/CustomTextures.h"
#include "model/PlanarTransforms.h"
#include "model/Plants.h"
#include "model/Services.h"
#include "model/TextureIDs.h"
#include "model/TexturePaths.h"
#include "model/WallFields.h"
#include "openings/DoorWindowTrims.h"
#include "openings/WallOpenings.h"
#include "tools/DoorWindowTools.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <set>

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

TEST(ShippedLibrary, GeneratorMatchesTheShippedFiles) {
  TestApplication();
  const std::vector<ShippedFile> first = GenerateShippedLibrary();
  size_t materials = 0, plants = 0;
  std::map<std::vector<uint8_t>, std::string> plantImages;  // no two plants share a picture
  for (size_t i = 0; i < first.size(); ++i) {
    EXPECT_FALSE(first[i].bytes.empty()) << first[i].path;
    if (!first[i].shared && first[i].path.find(".QTX") != std::string::npos) ++materials;
    if (first[i].shared && first[i].path.rfind("QVRA/Textures/", 0) == 0 &&
        first[i].path.find("Custom") == std::string::npos && first[i].path.find(".QTX") != std::string::npos) {
      ++plants;
      const auto [at, added] = plantImages.emplace(first[i].bytes, first[i].path);
      EXPECT_TRUE(added) << first[i].path << " is the same picture as " << at->second;
    }
    // The copy in the source tree is what the generator makes (designs written by the
    // program's writers carry the running program's defaults: only their presence counts).
    const std::string& p = first[i].path;
    const bool design = p.find(".QOB") != std::string::npos || p.find(".QTF") != std::string::npos ||
                        p.find(".QSY") != std::string::npos || p.find(".QTM") != std::string::npos ||
                        p.find(".qtm") != std::string::npos;
    const fs::path shipped =
        fs::path(BuildTreeContentRoot()) / (first[i].shared ? "QVRA/Shared" : "") / first[i].path;
    if (design) EXPECT_FALSE(ReadFile(shipped).empty()) << shipped;
    else EXPECT_EQ(ReadFile(shipped), first[i].bytes) << "regenerate with scripts/make-content-library.sh: " << shipped;
  }
  EXPECT_EQ(materials, 70u);
  EXPECT_EQ(plants, 24u);
}

// Each shipped object, read as the program reads it, spans exactly the width, depth and
// height its entry describes ("W x D x H cm"), from the floor up.
TEST(ShippedLibrary, EveryObjectSpansTheSizeItsEntryDescribes) {
  TestApplication();
  const std::vector<fs::path> files = ShippedObjectFiles(BuildTreeContentRoot() + "/QVRA/Shared/QVRA/Objects");
  EXPECT_EQ(files.size(), 15u);
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.stem().string());
    float w = 0, d = 0, h = 0;
    std::string description;
    ASSERT_TRUE(DescribedSize(path, &w, &d, &h, &description)) << description;
    TestDocument doc;
    ASSERT_EQ(ObjectFileRead(path.string().c_str()), 1);
    // Plan units of a new design, up negative y.
    const auto plan = [&doc](float cm) {
      return ConvertWorldToScreen(GetWorldFromInches(ConvertCMToInches(cm), doc.ds()), doc.ds(), 0);
    };
    float low[3] = {1e9f, 1e9f, 1e9f}, high[3] = {-1e9f, -1e9f, -1e9f};
    int parts = 0;
    for (const Objex* o = doc.first->firstObject; o; o = o->next, ++parts)
      for (const Poinz* p = o->firstPoint; p; p = p->next)
        for (int k = 0; k < 3; ++k) {
          low[k] = std::min(low[k], p->position[k]);
          high[k] = std::max(high[k], p->position[k]);
        }
    ASSERT_GT(parts, 0);
    EXPECT_NEAR(high[0] - low[0], plan(w), plan(0.01f)) << "width";
    EXPECT_NEAR(high[2] - low[2], plan(d), plan(0.01f)) << "depth";
    EXPECT_NEAR(high[1] - low[1], plan(h), plan(0.01f)) << "height";
    EXPECT_NEAR(high[1], 0, 0.001) << "standing on the floor";
  }
}

// The generator's second run over its own output changes no byte, designs written by the
// program's writers included.
TEST(ShippedLibrary, ASecondRunChangesNoFile) {
  TestApplication();
  char pattern[] = "/tmp/casa-shipped-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern;
  ASSERT_TRUE(WriteShippedLibrary(folder));
  std::map<std::string, std::vector<uint8_t>> first;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) first[entry.path().string()] = ReadFile(entry.path());
  ASSERT_TRUE(WriteShippedLibrary(folder));
  size_t files = 0;
  uint64_t bytes = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    ++files;
    bytes += entry.file_size();
    EXPECT_EQ(ReadFile(entry.path()), first[entry.path().string()]) << entry.path();
  }
  EXPECT_EQ(files, first.size());
  EXPECT_LT(bytes, 20u << 20);  // the content folder stays small
  fs::remove_all(folder);
}

// The texture ids of an object and its children: object slots and both sides of each point.
void CollectTextureIDs(const Objex* o, std::set<int32_t>& ids) {
  for (; o; o = o->next) {
    if (o->type != kObjFence) ids.insert(o->textureID);  // a fence keeps its style there
    for (int32_t id : {o->textureID1, o->textureID2, o->textureID3, o->textureID4}) ids.insert(id);
    for (const Poinz* p = o->firstPoint; p; p = p->next) ids.insert({p->textureID[0], p->textureID[1]});
    CollectTextureIDs(o->firstChild, ids);
  }
}

// Every stock texture a new design and the elements built with the tool defaults refer to
// lies in the shipped library as an image of its own, so none of them shows the
// not-available image.
TEST(ShippedLibrary, EveryTextureANewDesignUsesIsShipped) {
  TestApplication();
  std::set<int32_t> ids;
  {
    TestDocument doc;
    ids.insert({doc.ds()->backgroundTextureID, doc.ds()->lotTextureID});
    // Elements made from drawn shapes with the tools' defaults.
    const int32_t lines[] = {kCmdConvertToExteriorWall, kCmdConvertToInteriorWall, kCmdConvertToStaircase,
                             kCmdConvertToRailing,      kCmdConvertToFence,        kCmdConvertToEdging,
                             kCmdConvertToDeckStairs,   kCmdConvertToDeckRailing,  kCmdConvertToPathway};
    const int32_t areas[] = {kCmdConvertToFloor,        kCmdConvertToFreehandRoof,      kCmdConvertToDeckWithRailing,
                             kCmdConvertToPropertyLine, kCmdConvertToGroundFillRegion,
                             kCmdConvertToDeckCutout};
    // Each shape on its own, so that no wall joins another.
    float z = 0;
    for (int32_t command : lines) {
      z += 1000;
      Objex* line = doc.addObject(kObjOpenPoly, false, {{0, z}, {240, z}});
      line->pointCount = 2;
      EXPECT_TRUE(ConvertObjectType(line, command)) << command;
    }
    for (int32_t command : areas) {
      z += 1000;
      Objex* area = doc.addObject(kObjClosedPoly, true, {{0, z}, {240, z}, {240, z + 180}, {0, z + 180}});
      area->pointCount = 4;
      EXPECT_TRUE(ConvertObjectType(area, command)) << command;
    }
    // A converted wall may be joined into another record: what the floor holds counts.
    CollectTextureIDs(doc.first->firstObject, ids);
  }
  // What the tools and builders give without a shape to convert: floors, fills, edging,
  // fences, doors and windows with their trims, wall sides, framing, light glows.
  ids.insert({gFlooringDefaultTexture, gFillDefaultTexture, gEdgingDefaultTexture, gFenceDefaultTexture,
              gPathDefaultTexture, kDoorWindowDefaultTexture, kDefaultTrimTexture, kFramingFaceTexture, kStudTexture,
              kHeaderTexture, 14001});
  WallSideData* side = NewWallSide(false);
  ASSERT_NE(side, nullptr);
  ids.insert(side->slotTextureIDs, side->slotTextureIDs + 5);
  free(side);

  // The shipped library as the program finds it: stock images under the support root, the
  // not-available image under the shared root.
  SetUserSharedRoot(BuildTreeContentRoot() + "/QVRA/Shared");
  const std::vector<uint8_t> notAvailable = ReadFile(NotAvailableImagePath());
  SetUserSharedRoot("");
  ASSERT_FALSE(notAvailable.empty());
  size_t checked = 0;
  for (int32_t id : ids) {
    if (id < 1 || id > kTextureStockLast) continue;  // no texture, palette links
    ++checked;
    char name[kTexturePathSize] = {};
    GetTextureFileNameFromID(id, name, sizeof name);
    ASSERT_NE(name[0], 0) << id;
    const std::string image = ExistingFilePath(LocalDomainTexturePath() + "/" + name);
    if (image.empty()) {  // every missing one is named
      ADD_FAILURE() << id << " " << name << " would show the not-available image";
      continue;
    }
    EXPECT_NE(ReadFile(image), notAvailable) << id;
    const QImage loaded(QString::fromStdString(image));
    ASSERT_FALSE(loaded.isNull()) << image;
    EXPECT_GE(loaded.width(), 64) << image;  // a picture, not a swatch
    char info[kTexturePathSize] = {};
    GetTextureInfoFileNameFromID(id, info, sizeof info);
    if (id < kTextureWirePlants) EXPECT_FALSE(ExistingFilePath(info).empty()) << id << " " << info;
  }
  EXPECT_GE(checked, 15u);
}

// Every shipped material repeats at the tile size its information file gives, read as the
// renderer reads it: no material falls back to the size of a file that names none.
TEST(ShippedLibrary, EveryMaterialRepeatsAtTheSizeItsInformationFileGives) {
  TestApplication();
  TestDocument doc;
  ForgetStockTextureSizes();
  // The value of a key of the file, whatever its section; -1 when absent.
  const auto value = [](const std::string& text, const std::string& key) {
    const size_t at = text.find("\n" + key + "=");
    return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + key.size() + 2);
  };
  std::set<std::string> seen;
  std::set<int32_t> checkedIds;
  for (int32_t id = kTextureStockFirst; id <= kTextureStockLast; ++id) {
    char info[kTexturePathSize] = {};
    GetTextureInfoFileNameFromID(id, info, sizeof info);
    if (!seen.insert(info).second) continue;  // ids that share a file share its size
    const std::string path = ExistingFilePath(info);
    if (path.empty() || ExistingFilePath(fs::path(path).replace_extension(".QTX").string()).empty()) continue;
    SCOPED_TRACE(path);
    const std::vector<uint8_t> bytes = ReadFile(path);
    const std::string text = "\n" + std::string(bytes.begin(), bytes.end());
    const int32_t width = value(text, "Width"), height = value(text, "Height");
    EXPECT_GT(width, 0);
    EXPECT_GT(height, 0);
    int32_t readWidth = 0, readHeight = 0;
    LoadTextureWH(id, &readWidth, &readHeight);
    EXPECT_EQ(readWidth, width);
    EXPECT_EQ(readHeight, height);
    checkedIds.insert(id);
  }
  EXPECT_EQ(checkedIds.size(), 70u);  // every material once, the light glow's file has no id of its own here
  ForgetStockTextureSizes();
}

// A new wall side's material reads as a painted wall: an even colour whose brightness hardly
// changes from row to row, and no more than from column to column (grain or streaks running
// along the wall read as wood or brushed metal).
TEST(ShippedLibrary, ANewWallSideReadsAsPaint) {
  TestApplication();
  WallSideData* side = NewWallSide(false);
  ASSERT_NE(side, nullptr);
  const int32_t id = side->slotTextureIDs[0];
  free(side);
  char name[kTexturePathSize] = {};
  GetTextureFileNameFromID(id, name, sizeof name);
  const QImage image(QString::fromStdString(ExistingFilePath(LocalDomainTexturePath() + "/" + name)));
  ASSERT_FALSE(image.isNull()) << id << " " << name;
  // The mean change of the lines' mean brightness from one line to the next, down or across.
  auto meanStep = [&image](bool rows) {
    const int lines = rows ? image.height() : image.width(), along = rows ? image.width() : image.height();
    double sum = 0, previous = 0;
    for (int i = 0; i < lines; ++i) {
      double mean = 0;
      for (int j = 0; j < along; ++j) mean += qGray(rows ? image.pixel(j, i) : image.pixel(i, j));
      mean /= along;
      if (i > 0) sum += std::abs(mean - previous);
      previous = mean;
    }
    return sum / (lines - 1);
  };
  const double down = meanStep(true), across = meanStep(false);
  EXPECT_LT(down, 0.3) << name;
  EXPECT_LT(down, 2 * across + 0.05) << name;
}

// The shipped plants, read as the program reads a stock plant, grow to heights their kind has
// (inches, the plant file's unit): trees the tallest, several metres after twenty years; shrubs
// and hedges one to three and a half metres; flowers, bulbs, ground covers and grasses well below.
TEST(ShippedLibrary, ShippedPlantsGrowToTheHeightsOfTheirKind) {
  TestApplication();
  TestDocument doc;
  SetUserSharedRoot(BuildTreeContentRoot() + "/QVRA/Shared");
  struct Kind {
    const char* name;
    int32_t firstID;
    int lowest, highest;  // of the mature height
  };
  const Kind kinds[] = {{"trees", 7000, 240, 720},     {"shrubs", 5000, 36, 144},     {"hedges", 10000, 36, 144},
                        {"cacti", 9000, 12, 120},      {"bulbs", 8000, 4, 36},        {"annuals", 6000, 4, 36},
                        {"perennials", 12000, 6, 60},  {"wild flowers", 4050, 6, 48}, {"ground covers", 3700, 1, 18},
                        {"grasses", 11000, 12, 96},    {"palms", 4000, 96, 480},      {"fruit trees", 13000, 36, 240}};
  int shortestTree = 1 << 20, tallestOther = 0;
  // A plant of the kind twenty years after planting, its height in inches.
  const auto atTwentyYears = [&](PlantInfo* info) {
    Objex* plant = doc.addObject(kObjPlant, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    plant->plantAge = 23;  // growth levels from 4 on are years, less 3
    plant->plantInfo = info;
    float width = 0, height = 0;
    GetPlantBounds(plant, &width, &height, 0);
    return ConvertScreenToWorld(height, doc.ds(), 0);
  };
  for (const Kind& k : kinds)
    for (int32_t n = 0; n < 2; ++n) {
      SCOPED_TRACE(::testing::Message() << k.name << " " << n + 1);
      PlantInfo* info = CreatePlantInfo(k.firstID + n);
      ASSERT_NE(info, nullptr);
      ASSERT_EQ(std::string(info->commonName).rfind("Sample", 0), 0u) << "no plant file read";
      const int most = info->maximumGrowthHeight;
      EXPECT_GE(most, k.lowest);
      EXPECT_LE(most, k.highest);
      EXPECT_GT(info->annualGrowthRate, 0);
      if (k.firstID == 7000) {
        shortestTree = std::min(shortestTree, most);
        EXPECT_GE(atTwentyYears(info), 240.0f);  // 6 m and more
      } else {
        tallestOther = std::max(tallestOther, most);
        if (k.highest <= 60) EXPECT_LE(atTwentyYears(info), 60.0f);
        else DeletePlantInfo(info);
      }
    }
  EXPECT_GT(shortestTree, tallestOther);
  SetUserSharedRoot("");
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
