// Plant records from information files, and plant growth.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "TestDocument.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/HitTest.h"
#include "model/Plants.h"
#include "model/Services.h"
#include "model/TextureIDs.h"
#include "platform/ContentPaths.h"

namespace fs = std::filesystem;

namespace {

constexpr int32_t kShrub = 3000;

class Plants : public ::testing::Test {
 protected:
  void SetUp() override {
    support_ = LocalDomainApplicationSupportPath();
    shared_ = LocalDomainUserSharedPath();
    char tmpl[] = "/tmp/casa-plants-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    SetLocalSupportRoot(root_ + "/support");
    SetUserSharedRoot(root_ + "/shared");
  }
  void TearDown() override {
    SetLocalSupportRoot(support_);
    SetUserSharedRoot(shared_);
    fs::remove_all(root_);
  }
  static void WriteFile(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  std::string StockInfoPath(int32_t id) {
    char path[kTexturePathSize] = {};
    GetTextureInfoFileNameFromID(id, path, sizeof path);
    return path;
  }
  void WriteStock(int32_t id, const std::string& keys) { WriteFile(StockInfoPath(id), "[Description]\n" + keys); }
  std::string UserImage(const std::string& name, const std::string& keys) {
    const std::string image = root_ + "/user/" + name;
    WriteFile(image, "image");
    WriteFile(UserPlantInfoPath(image.c_str()), "[Description]\n" + keys);
    return image;
  }

  // A plant of the current floor with a 10 by 10 footprint at (100, 200) and the given record.
  Objex* AddPlant(float growth, int16_t plantingAge, float rate, int16_t most, int32_t texture = kShrub) {
    Objex* p = doc.addObject(kObjPlant, true, {{100, 200}, {110, 200}, {110, 210}, {100, 210}});
    for (Poinz* pt = p->firstPoint; pt; pt = pt->next) pt->textureID[0] = pt->textureID[1] = texture;
    p->plantAge = growth;
    p->fillPattern = plantingAge;
    p->plantInfo = static_cast<PlantInfo*>(calloc(1, sizeof(PlantInfo)));
    p->plantInfo->annualGrowthRate = rate;
    p->plantInfo->maximumGrowthHeight = most;
    p->bounds3D.floatLeft = 100;
    p->bounds3D.floatRight = 110;
    p->bounds3D.floatBack = 200;
    p->bounds3D.floatFront = 210;
    return p;
  }
  static float FootprintWidth(const Objex* p) {
    float lo = 1e9f, hi = -1e9f;
    for (Poinz* pt = p->firstPoint; pt; pt = pt->next) {
      lo = std::min(lo, pt->position[0]);
      hi = std::max(hi, pt->position[0]);
    }
    return hi - lo;
  }

  TestDocument doc;
  std::string root_, support_, shared_;
};

}  // namespace

TEST_F(Plants, StockRecordReadsEveryKeyWithItsWidth) {
  WriteStock(kShrub,
             "CommonName=Red Maple\nBotanicalName=Acer rubrum\nType=3\nPropagation=2\nWater=4\nSunLight=1\n"
             "MaximumGrowthHeight=600\nSoilType=9\nZone1=1\nZone3=257\nZone10=1\nAnnualGrowthRate=15\n");
  PlantInfo* info = CreatePlantInfo(kShrub);
  ASSERT_NE(info, nullptr);
  EXPECT_STREQ(info->commonName, "Red Maple");
  EXPECT_STREQ(info->botanicalName, "Acer rubrum");
  EXPECT_EQ(info->type, 3);
  EXPECT_EQ(info->propagation, 2);
  EXPECT_EQ(info->water, 4);
  EXPECT_EQ(info->sunLight, 1);
  EXPECT_EQ(info->maximumGrowthHeight, 600);
  EXPECT_EQ(info->soilType, 9);
  const uint8_t zones[10] = {1, 0, 1, 0, 0, 0, 0, 0, 0, 1};
  EXPECT_EQ(std::memcmp(info->zone, zones, 10), 0);
  EXPECT_FLOAT_EQ(info->annualGrowthRate, 15.0f);

  PlantInfo* copy = DuplicatePlantInfo(info);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(std::memcmp(copy, info, sizeof(PlantInfo)), 0);
  copy->commonName[0] = 'X';
  copy->zone[0] = 0;
  EXPECT_STREQ(info->commonName, "Red Maple");
  EXPECT_EQ(info->zone[0], 1);
  DeletePlantInfo(copy);
  DeletePlantInfo(info);
  EXPECT_EQ(DuplicatePlantInfo(nullptr), nullptr);
  DeletePlantInfo(nullptr);
}

TEST_F(Plants, DefaultsDifferBetweenStockAndUserPlants) {
  struct Case {
    const char* keys;
    int16_t stockHeight, userHeight;
    float stockRate, userRate;
  } cases[] = {
      {"CommonName=A\n", 24, 72, 0, 20},
      {"MaximumGrowthHeight=0\n", 24, 72, 0, 20},
      {"MaximumGrowthHeight=-5\nAnnualGrowthRate=7\n", 24, 72, 7, 7},
      {"MaximumGrowthHeight=65536\n", 24, 72, 0, 20},  // 0 as a 16-bit number
      {"MaximumGrowthHeight=1\nAnnualGrowthRate=0\n", 1, 1, 0, 0},
      {"MaximumGrowthHeight=tall\nAnnualGrowthRate=fast\n", 24, 72, 0, 0},  // not numbers: 0
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    WriteStock(kShrub, c.keys);
    const std::string image = UserImage("Plant.jpg", c.keys);
    PlantInfo* stock = CreatePlantInfo(kShrub);
    PlantInfo* user = CreateUserPlantInfo(image.c_str());
    ASSERT_TRUE(stock && user);
    EXPECT_EQ(stock->maximumGrowthHeight, c.stockHeight);
    EXPECT_EQ(user->maximumGrowthHeight, c.userHeight);
    EXPECT_FLOAT_EQ(stock->annualGrowthRate, c.stockRate);
    EXPECT_FLOAT_EQ(user->annualGrowthRate, c.userRate);
    DeletePlantInfo(stock);
    DeletePlantInfo(user);
  }
}

TEST_F(Plants, UserInformationFileSitsBesideTheImage) {
  EXPECT_EQ(UserPlantInfoPath("/a/Maple.QTX"), "/a/Maple.qti");
  EXPECT_EQ(UserPlantInfoPath("abc"), "abcqti");
  EXPECT_EQ(UserPlantInfoPath("abcd"), "aqti");
  const std::string image = UserImage("Maple.QTX", "CommonName=Maple\n");
  EXPECT_TRUE(fs::exists(root_ + "/user/Maple.qti"));
  PlantInfo* info = CreateUserPlantInfo(image.c_str());
  ASSERT_NE(info, nullptr);
  EXPECT_STREQ(info->commonName, "Maple");
  DeletePlantInfo(info);
  EXPECT_EQ(CreateUserPlantInfo(nullptr), nullptr);
  // A path longer than 512 characters is used as it is: no file, the user defaults.
  const std::string longPath = "/nonexistent/" + std::string(700, 'p') + ".jpg";
  info = CreateUserPlantInfo(longPath.c_str());
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->maximumGrowthHeight, 72);
  DeletePlantInfo(info);
}

TEST_F(Plants, NamesDoneAbsentOrLongAndBadIds) {
  WriteStock(kShrub, "CommonName=Done\nBotanicalName=" + std::string(70, 'b') + "\n");
  PlantInfo* info = CreatePlantInfo(kShrub);
  ASSERT_NE(info, nullptr);
  EXPECT_STREQ(info->commonName, "");
  EXPECT_EQ(std::string(info->botanicalName), std::string(59, 'b'));
  // Re-filling from a file without names keeps the old names.
  WriteStock(kShrub, "Type=1\n");
  std::strcpy(info->commonName, "Kept");
  InitializePlantInfo(info, kShrub);
  EXPECT_STREQ(info->commonName, "Kept");
  DeletePlantInfo(info);

  const PlantInfo zero{};
  for (int32_t id : {0, 15000, -1}) {
    PlantInfo* bad = CreatePlantInfo(id);
    ASSERT_NE(bad, nullptr);
    EXPECT_EQ(std::memcmp(bad, &zero, sizeof zero), 0) << id;
    DeletePlantInfo(bad);
  }
  // Without a current document nothing is read.
  WriteStock(kShrub, "MaximumGrowthHeight=50\n");
  ZLKDocumentModel* current = gCurDocument;
  gCurDocument = nullptr;
  PlantInfo* noDoc = CreatePlantInfo(kShrub);
  gCurDocument = current;
  ASSERT_NE(noDoc, nullptr);
  EXPECT_EQ(std::memcmp(noDoc, &zero, sizeof zero), 0);
  DeletePlantInfo(noDoc);
}

TEST_F(Plants, DamagedOrHugeFilesReadAsFilesWithoutKeys) {
  static const char kNul[] = "\0\0[Description]\0MaximumGrowthHeight=50";
  const std::string cases[] = {
      std::string(kNul, sizeof kNul - 1),
      "[Description]\nZone1=" + std::string(10000, '9') + "\nCommonName=" + std::string(9000, 'c') + "\n",
      "[Description]\nMaximumGrowthHeight=50\n" + std::string(kMaxPlantInfoFileBytes, '#'),
  };
  for (const auto& text : cases) {
    WriteFile(StockInfoPath(kShrub), text);
    PlantInfo* info = CreatePlantInfo(kShrub);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->maximumGrowthHeight, 24);
    EXPECT_LT(std::strlen(info->commonName), 64u);
    DeletePlantInfo(info);
  }
  // A folder in place of the file.
  fs::remove(StockInfoPath(kShrub));
  fs::create_directories(StockInfoPath(kShrub));
  PlantInfo* info = CreatePlantInfo(kShrub);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->maximumGrowthHeight, 24);
  DeletePlantInfo(info);
}

// A file whose modification time lies the given seconds back, as shipped files and those a
// user wrote earlier have.
static void SetTimeBack(const std::string& path, int secondsAgo) {
  fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo));
}

// Files settled as older files are: their modification times set back, then a wait until
// their change times (which only the system sets) lie more than three whole seconds back. A
// file changed more recently is read afresh every time.
static void Settle(const std::vector<std::string>& paths, int secondsAgo = 60) {
  time_t latest = 0;
  for (const std::string& path : paths) {
    SetTimeBack(path, secondsAgo);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0) << path;
    latest = std::max(latest, st.st_ctim.tv_sec);
  }
  while (std::time(nullptr) < latest + 3) std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

TEST_F(Plants, EachFileIsParsedOnceAndEveryRecordGetsItsOwnCopy) {
  constexpr int32_t kFern = kShrub + 1;
  ASSERT_NE(StockInfoPath(kShrub), StockInfoPath(kFern));
  WriteStock(kShrub, "CommonName=Red Maple\nWater=3\nZone2=1\nAnnualGrowthRate=15\nMaximumGrowthHeight=600\n");
  WriteStock(kFern, "CommonName=Fern\n");
  Settle({StockInfoPath(kShrub), StockInfoPath(kFern)});
  const size_t before = PlantInfoFileParses();
  PlantInfo* first = CreatePlantInfo(kShrub);
  PlantInfo* second = CreatePlantInfo(kShrub);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(PlantInfoFileParses(), before + 1);
  EXPECT_EQ(std::memcmp(first, second, sizeof(PlantInfo)), 0);
  EXPECT_STREQ(second->commonName, "Red Maple");
  EXPECT_EQ(second->water, 3);
  EXPECT_EQ(second->zone[1], 1);
  EXPECT_FLOAT_EQ(second->annualGrowthRate, 15);

  // One plant's own values change; the other's and the next record's stay as the file says.
  std::strcpy(first->commonName, "Mine");
  first->annualGrowthRate = 99;
  first->zone[1] = 0;
  PlantInfo* third = CreatePlantInfo(kShrub);
  ASSERT_NE(third, nullptr);
  for (const PlantInfo* info : {second, third}) {
    EXPECT_STREQ(info->commonName, "Red Maple");
    EXPECT_FLOAT_EQ(info->annualGrowthRate, 15);
    EXPECT_EQ(info->zone[1], 1);
  }
  EXPECT_EQ(PlantInfoFileParses(), before + 1);

  // The same file read for a user plant takes the user defaults (a growth rate of 20 where the
  // file gives none): what a stock read kept is not what a user read is given.
  PlantInfo* stock = CreatePlantInfo(kFern);
  PlantInfo* user = CreateUserPlantInfo(StockInfoPath(kFern).c_str());
  ASSERT_TRUE(stock && user);
  EXPECT_EQ(PlantInfoFileParses(), before + 3);
  EXPECT_FLOAT_EQ(stock->annualGrowthRate, 0);
  EXPECT_EQ(stock->maximumGrowthHeight, kStockPlantDefaultMaxHeight);
  EXPECT_FLOAT_EQ(user->annualGrowthRate, 20);
  EXPECT_EQ(user->maximumGrowthHeight, kUserPlantDefaultMaxHeight);

  // A name the file lacks leaves each record's own.
  std::strcpy(first->botanicalName, "Acer");
  std::strcpy(second->botanicalName, "Quercus");
  InitializePlantInfo(first, kFern);
  InitializePlantInfo(second, kFern);
  EXPECT_STREQ(first->botanicalName, "Acer");
  EXPECT_STREQ(second->botanicalName, "Quercus");
  EXPECT_STREQ(first->commonName, "Fern");
  for (PlantInfo* info : {first, second, third, stock, user}) DeletePlantInfo(info);
}

TEST_F(Plants, AChangedFileIsReadAgain) {
  const std::string path = StockInfoPath(kShrub);
  const auto past = fs::file_time_type::clock::now() - std::chrono::seconds(100);
  enum class Write { kInPlace, kRenamedOver };
  struct Step {
    const char* keys;
    Write how;
    int at;  // seconds after `past`; -1: left as written (now); -2: the time the last write left
    int16_t water;
  } steps[] = {
      {"Water=1\n", Write::kInPlace, 0, 1},
      {"Water=2\n", Write::kInPlace, 10, 2},      // same size, a later time
      {"Water=3\n", Write::kRenamedOver, 10, 3},  // same size and time: another file in its place
      {"Water=4\n", Write::kInPlace, -1, 4},      // written now
      {"Water=1\n", Write::kInPlace, -2, 1},      // again within the file system's time step
      {"Water=12\n", Write::kInPlace, 20, 12},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.keys);
    const std::string text = std::string("[Description]\n") + step.keys;
    if (step.how == Write::kRenamedOver) {
      // Written beside and renamed over it, as editors save.
      WriteFile(path + ".new", text);
      fs::last_write_time(path + ".new", past + std::chrono::seconds(step.at));
      fs::rename(path + ".new", path);
    } else {
      std::error_code none;
      const auto last = fs::last_write_time(path, none);
      WriteFile(path, text);
      if (step.at >= 0) fs::last_write_time(path, past + std::chrono::seconds(step.at));
      if (step.at == -2) fs::last_write_time(path, last);
    }
    for (int i = 0; i < 2; ++i) {
      PlantInfo* info = CreatePlantInfo(kShrub);
      ASSERT_NE(info, nullptr);
      EXPECT_EQ(info->water, step.water);
      DeletePlantInfo(info);
    }
  }
}

// Files read and kept, then given other contents of the same size while their modification
// times come back as they were: rewritten in place with the time set back (as copiers that keep
// times and `touch -r` do), or deleted and written anew with the old time (as an archive
// unpacked again, where the new file may get the freed inode number back).
TEST_F(Plants, AFileGivenOtherContentsOfTheSameSizeAndTimeIsReadAgain) {
  const std::string before = "CommonName=Fir\nZone3=1\nAnnualGrowthRate=15\nMaximumGrowthHeight=600\n";
  const std::string after = "CommonName=Elm\nZone3=0\nAnnualGrowthRate=25\nMaximumGrowthHeight=900\n";
  ASSERT_EQ(before.size(), after.size());
  const std::string stockPath = StockInfoPath(kShrub);
  WriteStock(kShrub, before);
  const std::string image = UserImage("Fir.jpg", before);
  const std::string userPath = UserPlantInfoPath(image.c_str());
  Settle({stockPath, userPath}, 100);

  auto read = [&](bool user) {
    PlantInfo* info = user ? CreateUserPlantInfo(image.c_str()) : CreatePlantInfo(kShrub);
    EXPECT_NE(info, nullptr);
    PlantInfo values{};
    if (info) values = *info;
    DeletePlantInfo(info);
    return values;
  };
  auto expect = [](const PlantInfo& info, const char* name, uint8_t zone3, float rate, int16_t most) {
    EXPECT_STREQ(info.commonName, name);
    EXPECT_EQ(info.zone[2], zone3);
    EXPECT_FLOAT_EQ(info.annualGrowthRate, rate);
    EXPECT_EQ(info.maximumGrowthHeight, most);
  };
  const size_t parses = PlantInfoFileParses();
  for (int i = 0; i < 2; ++i) {
    for (bool user : {false, true}) expect(read(user), "Fir", 1, 15, 600);
  }
  EXPECT_EQ(PlantInfoFileParses(), parses + 2);  // both kept

  struct Case {
    const char* how;
    bool user;
    bool remade;
  } cases[] = {{"stock file rewritten in place, time set back", false, false},
               {"user file deleted and written anew", true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    const std::string& path = c.user ? userPath : stockPath;
    const auto time = fs::last_write_time(path);
    if (c.remade) fs::remove(path);
    WriteFile(path, "[Description]\n" + after);
    fs::last_write_time(path, time);
    // Changed just now, it is not kept yet: another change within the file system's time step
    // could leave the same times.
    const size_t parsed = PlantInfoFileParses();
    for (int i = 0; i < 2; ++i) expect(read(c.user), "Elm", 0, 25, 900);
    EXPECT_EQ(PlantInfoFileParses(), parsed + 2);
  }
}

TEST_F(Plants, MissingAndDamagedFilesReadAsBeforeEveryTime) {
  const std::string path = StockInfoPath(kShrub);
  PlantInfo* info = CreatePlantInfo(kShrub);
  ASSERT_NE(info, nullptr);
  std::strcpy(info->commonName, "Kept");
  for (int i = 0; i < 2; ++i) {
    InitializePlantInfo(info, kShrub);
    EXPECT_STREQ(info->commonName, "Kept");
    EXPECT_EQ(info->maximumGrowthHeight, kStockPlantDefaultMaxHeight);
    EXPECT_EQ(info->water, 0);
  }
  // The file that appears is read, however old its time.
  WriteStock(kShrub, "CommonName=Late\nWater=2\n");
  SetTimeBack(path, 3600);
  InitializePlantInfo(info, kShrub);
  EXPECT_STREQ(info->commonName, "Late");
  EXPECT_EQ(info->water, 2);
  // Grown past the largest size read, it reads as a file without keys (its names left).
  WriteStock(kShrub, "Water=3\n" + std::string(kMaxPlantInfoFileBytes, '#'));
  SetTimeBack(path, 1800);
  for (int i = 0; i < 2; ++i) {
    InitializePlantInfo(info, kShrub);
    EXPECT_STREQ(info->commonName, "Late");
    EXPECT_EQ(info->water, 0);
  }
  // Gone again: as missing.
  fs::remove(path);
  info->water = 7;
  InitializePlantInfo(info, kShrub);
  EXPECT_EQ(info->water, 0);
  DeletePlantInfo(info);
}

TEST_F(Plants, GrowthFollowsAgeRateAndCap) {
  // Plan scale 36, inches: the cap is twice the maximum height.
  doc.ds()->planScale = 36;
  struct Case {
    float growth;
    int16_t plantingAge;
    float rate;
    int16_t most;
    float height, width;
  } cases[] = {
      {1, 0, 0, 24, 12.0f, 10.19999981f},
      {4, 0, 20, 72, 24.883204f, 21.150723f},
      {1, 1, 20, 72, 29.859846f, 25.380869f},
      {2.5f, 0, 20, 72, 20.736002f, 20.736002f * 0.85f},
      {10, 0, 20, 24, 48.0f, 40.8f},
      {30, 0, 0, 72, 12.0f, 10.2f},
      {1, 0, 20, 72, 14.4f, 12.24f},
      {2, 0, 20, 72, 17.28f, 14.688f},
      {10, 0, 20, 0, 48.0f, 40.8f},  // a zeroed record caps as the stock default
      {3, 0, -50, 72, 1.5f, 1.275f},
      {3, 0, -100, 72, 12.0f, 10.2f},  // no growth rather than no plant
      {3, 0, -32768, 72, 12.0f, 10.2f},
      {1e30f, 0, 20, 72, 144.0f, 122.4f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.growth << " " << c.plantingAge << " " << c.rate << " " << c.most);
    Objex* p = AddPlant(c.growth, c.plantingAge, c.rate, c.most);
    float w = -1, h = -1;
    GetPlantBounds(p, &w, &h, 0);
    EXPECT_NEAR(h, c.height, 1e-4f);
    EXPECT_NEAR(w, c.width, 1e-4f);
    EXPECT_FLOAT_EQ(FootprintWidth(p), 10.0f);
  }
}

TEST_F(Plants, BoundsWriteNothingWithoutARecordOrForOtherObjects) {
  Objex* p = AddPlant(4, 0, 20, 72);
  DeletePlantInfo(p->plantInfo);
  p->plantInfo = nullptr;
  float w = -1, h = -1;
  GetPlantBounds(p, &w, &h, 1);
  EXPECT_EQ(w, -1);
  EXPECT_EQ(h, -1);
  Objex* box = doc.addObject(kObjPlant + 1, true, {{0, 0}, {10, 0}, {10, 10}});
  box->plantInfo = static_cast<PlantInfo*>(calloc(1, sizeof(PlantInfo)));
  GetPlantBounds(box, &w, &h, 1);
  EXPECT_EQ(w, -1);
  free(box->plantInfo);
  box->plantInfo = nullptr;
}

TEST_F(Plants, ResizeScalesTheFootprintAboutItsCentre) {
  Objex* p = AddPlant(4, 0, 20, 72);
  float w = 0, h = 0;
  GetPlantBounds(p, &w, &h, 1);
  EXPECT_NEAR(FootprintWidth(p), 21.150723f, 1e-3f);
  const Poinz* first = p->firstPoint;
  EXPECT_NEAR(first->position[0], 105 - 21.150723f / 2, 1e-3f);
  EXPECT_NEAR(first->position[2], 205 - 21.150723f / 2, 1e-3f);
  EXPECT_TRUE(first->selected);

  // A plant without a stored width is measured but not scaled, and nothing becomes NaN.
  Objex* flat = AddPlant(4, 0, 20, 72);
  flat->bounds3D = Float3DRect{};
  GetPlantBounds(flat, &w, &h, 1);
  EXPECT_NEAR(h, 24.883204f, 1e-4f);
  for (Poinz* pt = flat->firstPoint; pt; pt = pt->next) EXPECT_TRUE(std::isfinite(pt->position[0]));
  EXPECT_FLOAT_EQ(FootprintWidth(flat), 10.0f);
}

// With the 3D window showing, resizing a plant rebuilds it at once, and its builder asks for the
// plant's size with a resize again: the inner request measures and does not start another
// rebuild.
TEST_F(Plants, ResizeRebuildingThePlantDoesNotResizeWithoutEnd) {
  Objex* p = AddPlant(4, 0, 20, 72);
  static int sRebuilds, sDeepest, sDepth;
  sRebuilds = sDeepest = sDepth = 0;
  const RendererServices kept = gRendererServices;
  gRendererServices.reRenderObject = [](Objex* plant) {
    ++sRebuilds;
    ++sDepth;
    sDeepest = std::max(sDeepest, sDepth);
    if (sDepth < 50) {  // as the plant's 3D builder sizes its billboard
      float w = 0, h = 0;
      GetPlantBounds(plant, &w, &h, 1);
      EXPECT_NEAR(h, 24.883204f, 1e-4f);
    }
    --sDepth;
  };
  float w = 0, h = 0;
  GetPlantBounds(p, &w, &h, 1);
  gRendererServices = kept;
  EXPECT_EQ(sRebuilds, 1);
  EXPECT_EQ(sDeepest, 1);
  EXPECT_NEAR(FootprintWidth(p), 21.150723f, 1e-3f);
  // A later resize of the same plant is not held back: it asks for the rebuild again.
  p->needsRender = 0;
  GetPlantBounds(p, &w, &h, 1);
  EXPECT_EQ(p->needsRender, 1);
}

TEST_F(Plants, UpdateMatchingPlantsRereadsOnlyMatchingPlants) {
  WriteStock(kShrub, "MaximumGrowthHeight=30\n");
  Objex* match = AddPlant(1, 0, 50, 10, kShrub);
  Objex* other = AddPlant(1, 0, 50, 10, kShrub + 1);
  const std::string image = UserImage("Rose.jpg", "MaximumGrowthHeight=40\n");
  Objex* user = AddPlant(1, 0, 50, 10, 77);
  user->subtype = kSubUserPlant;
  user->typeData = strdup(image.c_str());

  Objex* bare = AddPlant(1, 0, 50, 10, kShrub);
  DeletePlantInfo(bare->plantInfo);
  bare->plantInfo = nullptr;

  UpdateMatchingPlantsInfo(kShrub, nullptr);
  // Stock: re-read through the user reader, so a missing rate is the user default 20.
  EXPECT_EQ(match->plantInfo->maximumGrowthHeight, 30);
  EXPECT_FLOAT_EQ(match->plantInfo->annualGrowthRate, 20.0f);
  EXPECT_NEAR(FootprintWidth(match), 12.24f, 1e-4f);
  EXPECT_FALSE(match->firstPoint->selected);
  EXPECT_EQ(other->plantInfo->maximumGrowthHeight, 10);
  EXPECT_EQ(user->plantInfo->maximumGrowthHeight, 10);
  // A plant without a record is left without one.
  EXPECT_EQ(bare->plantInfo, nullptr);
  EXPECT_FLOAT_EQ(FootprintWidth(bare), 10.0f);
  // A stock file without a maximum height gives the user default 72 on re-reading.
  WriteStock(kShrub, "CommonName=Box\n");
  UpdateMatchingPlantsInfo(kShrub, nullptr);
  EXPECT_EQ(match->plantInfo->maximumGrowthHeight, 72);
  EXPECT_STREQ(match->plantInfo->commonName, "Box");

  UpdateMatchingPlantsInfo(kShrub, "/elsewhere/Rose.jpg");
  EXPECT_EQ(user->plantInfo->maximumGrowthHeight, 10);
  UpdateMatchingPlantsInfo(kShrub, (root_ + "/user/ROSE.JPG").c_str());
  EXPECT_EQ(user->plantInfo->maximumGrowthHeight, 40);
  EXPECT_FLOAT_EQ(user->plantInfo->annualGrowthRate, 20.0f);
}

TEST_F(Plants, GrowthStepResizesSelectedPlantsInThePlan) {
  Objex* p = AddPlant(1, 0, 20, 72);
  float w = 0, h = 0;
  GetPlantBounds(p, &w, &h, 1);
  EXPECT_NEAR(h, 14.4f, 1e-4f);
  EXPECT_NEAR(FootprintWidth(p), 12.24f, 1e-3f);
  Objex* still = AddPlant(1, 0, 20, 72);
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 1);
  SelectObj(p, kSelectOn, 1);
  SelectedObjectAllLayers(doc.model.itsLayers, 1, kCmdPlantBounds, CommandArg::Value(1));
  EXPECT_FLOAT_EQ(p->plantAge, 2.0f);
  GetPlantBounds(p, &w, &h, 0);
  EXPECT_NEAR(h, 17.28f, 1e-4f);
  EXPECT_NEAR(FootprintWidth(p), 14.688f, 1e-3f);
  EXPECT_FLOAT_EQ(still->plantAge, 1.0f);
  EXPECT_FLOAT_EQ(FootprintWidth(still), 10.0f);
  // Stepping below level 1 keeps the plant at 1.
  SelectedObjectAllLayers(doc.model.itsLayers, 1, kCmdPlantBounds, CommandArg::Value(-4));
  EXPECT_FLOAT_EQ(p->plantAge, 1.0f);
  EXPECT_NEAR(FootprintWidth(p), 12.24f, 1e-3f);
}
