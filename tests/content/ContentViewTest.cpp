// The preview grid, offscreen.
#include <gtest/gtest.h>

#include <QMimeData>
#include <QScrollBar>
#include <atomic>
#include <filesystem>

#include "AllocationWatch.h"
#include "ContentTestSupport.h"
#include "app/AppTestSupport.h"
#include "content/ContentCategoryItem.h"
#include "content/ContentProviderController.h"
#include "content/ContentView.h"
#include "content/SymEntry.h"
#include "model/Services.h"
#include "platform/UserDefaults.h"

namespace {

class ContentViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    SetStandardUserDefaults(&defaults);
    defaults.setInt("PreviewSizeKey", 3);  // 96
    view = std::make_unique<ContentView>();
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setFrameShape(QFrame::NoFrame);
  }
  void TearDown() override {
    view.reset();
    SetStandardUserDefaults(nullptr);
  }
  void show(ContentCategoryItem* item, int width, int height = 300) {
    view->resize(width, height);
    view->show();
    QApplication::processEvents();
    view->invalidateCacheAndSetNewSource(item);
    view->rebuildPreviewCache();
  }
  MemoryUserDefaults defaults;
  std::unique_ptr<ContentView> view;
};

ContentCategoryItem* Fill(ContentCategoryItem* item, int n, int16_t type = kEntryColor) {
  for (int i = 0; i < n; ++i) item->addSymEntryWithRed(10, 20, 30, ("P" + std::to_string(i)).c_str(), i + 1, type);
  return item;
}

TEST_F(ContentViewTest, PreviewSizesComeFromTheUserDefault) {
  const int expected[] = {48, 64, 70, 96, 128, 70, 70, 70};
  for (int v = 0; v < 8; ++v) {
    defaults.setInt("PreviewSizeKey", v);
    EXPECT_EQ(ContentView::previewSizeFromUserDefaults(), expected[v]) << v;
  }
}

TEST_F(ContentViewTest, ColumnsRoundUpPastHalfACellAndTheGridGrows) {
  ContentCategoryItem paint("Paint", "", nullptr, kCategoryColors, kLibraryPaint);
  Fill(&paint, 7);
  show(&paint, 200);
  EXPECT_EQ(view->columns(), 2);
  EXPECT_EQ(view->optimalViewSize(), QSize(200, 4 * 96));
  show(&paint, 250);
  EXPECT_EQ(view->columns(), 3);
  EXPECT_EQ(view->optimalViewSize(), QSize(288, 300));
  // A category with children shows an empty grid of the visible size.
  paint.addChildWithName("Child", "", kCategoryColors, kLibraryPaint);
  show(&paint, 250);
  EXPECT_EQ(view->optimalViewSize(), QSize(250, 300));
}

TEST_F(ContentViewTest, ClicksSelectEntriesAndBlockDragsOffTheGrid) {
  BareDesign design;
  ContentCategoryItem paint("Paint", "", nullptr, kCategoryColors, kLibraryPaint);
  Fill(&paint, 5);
  show(&paint, 200);  // 2 columns of 96
  int changes = 0;
  view->selectionChanged = [&] { ++changes; };
  view->clickAt(QPoint(100, 100));  // column 1, row 1: entry 3
  EXPECT_EQ(paint.selectionIndex(), 3u);
  EXPECT_FALSE(view->ignoreDragEvents());
  EXPECT_EQ(changes, 1);
  view->clickAt(QPoint(195, 10));  // right of the last column
  EXPECT_TRUE(view->ignoreDragEvents());
  EXPECT_EQ(paint.selectionIndex(), 3u);
  EXPECT_FALSE(view->dragFrom(QPoint(195, 10)));
  view->clickAt(QPoint(100, 200));  // row 2 column 1: entry 5, past the last
  EXPECT_TRUE(view->ignoreDragEvents());
  EXPECT_EQ(paint.selectionIndex(), 3u);
  EXPECT_EQ(changes, 1);
  // A paint shows its name; a family colour has no status text.
  EXPECT_EQ(view->statusTextAt(QPoint(10, 10)), "P0");
  ContentCategoryItem winter("Winter", "", nullptr, kCategoryColors, kLibraryWinterColors);
  Fill(&winter, 3);
  show(&winter, 200);
  EXPECT_EQ(view->statusTextAt(QPoint(10, 10)), "");
}

TEST_F(ContentViewTest, DragsCarryTheRecordUnderTheThreeDimensionalName) {
  ContentCategoryItem paint("Paint", "", nullptr, kCategoryColors, kLibraryPaint);
  Fill(&paint, 2);
  show(&paint, 200);
  view->clickAt(QPoint(100, 10));
  QMimeData* dragged = nullptr;
  QPoint hot;
  view->runDrag = [&](QMimeData* data, const QImage& image, QPoint hotSpot) {
    dragged = data;
    hot = hotSpot;
    EXPECT_EQ(image.size(), QSize(17, 17));
  };
  ASSERT_TRUE(view->dragFrom(QPoint(100, 10)));
  ASSERT_NE(dragged, nullptr);
  EXPECT_TRUE(dragged->hasFormat(Content3DDNDPboardType));
  EXPECT_FALSE(dragged->hasFormat(Content2DDNDPboardType));
  const QByteArray bytes = dragged->data(Content3DDNDPboardType);
  SymEntryInfo back;
  ASSERT_TRUE(DecodeSymEntryWithData(reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size(), &back));
  EXPECT_EQ(back.objectDescription, "P1");
  EXPECT_EQ(hot, QPoint(9, 8));
  delete dragged;
  // Plan content declares the 2D kind too; custom doors and windows start no drag.
  ContentCategoryItem plants("Plants", "", nullptr, kCategoryPlants, kLibraryCustomPlants);
  Fill(&plants, 1, kEntryUserPlant);
  show(&plants, 200);
  view->clickAt(QPoint(10, 10));
  std::unique_ptr<QMimeData> plan(view->makeDragData());
  ASSERT_TRUE(plan);
  EXPECT_TRUE(plan->hasFormat(Content2DDNDPboardType));
  EXPECT_TRUE(plan->hasFormat(Content3DDNDPboardType));
  for (int16_t type : {kLibraryCustomDoors, kLibraryCustomWindows}) {
    ContentCategoryItem custom("Custom", "", nullptr, kCategoryDoors, type);
    Fill(&custom, 1, kEntryCustomDoor);
    show(&custom, 200);
    int applied = 0;
    view->applyCustomAttachment = [&] { ++applied; };
    view->clickAt(QPoint(10, 10));
    EXPECT_EQ(applied, 1);
    dragged = nullptr;
    EXPECT_FALSE(view->dragFrom(QPoint(10, 10)));
    EXPECT_EQ(dragged, nullptr);
  }
  // The cross: black lines over white bars, clear elsewhere.
  const QImage cross = ContentView::dragImage();
  EXPECT_EQ(cross.pixel(8, 3), qRgb(0, 0, 0));
  EXPECT_EQ(cross.pixel(7, 3), qRgb(255, 255, 255));
  EXPECT_EQ(qAlpha(cross.pixel(2, 2)), 0);
}

TEST_F(ContentViewTest, PlantImagesWithoutPreviewShowBlackAsBlueGrey) {
  ContentFolders folders;
  BareDesign design;
  QImage plant(8, 8, QImage::Format_RGB32);
  plant.fill(Qt::black);
  for (int y = 0; y < 8; ++y) plant.setPixel(0, y, qRgb(0, 200, 0));
  const std::string path = folders.root + "/TREE1.QTX";
  plant.save(QString::fromStdString(path), "PNG");
  const std::string truncated = folders.write("truncated.QTX", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
  ContentCategoryItem trees("Trees", folders.root, nullptr, kCategoryPlants, kLibraryPlants);
  trees.addSymEntryWithPreviewPath(nullptr, nullptr, path.c_str(), "Oak", 7000, 1, kEntryPlant);
  trees.addSymEntryWithPreviewPath(nullptr, nullptr, truncated.c_str(), "Bad", 7001, 2, kEntryPlant);
  trees.addSymEntryWithPreviewPath(nullptr, nullptr, path.c_str(), "Elm", 7002, 3, kEntryPlant);
  show(&trees, 300);
  const QImage cell = view->previewImage(0);
  ASSERT_FALSE(cell.isNull());
  EXPECT_EQ(cell.size(), QSize(96, 96));
  EXPECT_EQ(cell.pixel(60, 60), qRgb(157, 172, 193));
  EXPECT_TRUE(view->previewImage(1).isNull());
  EXPECT_FALSE(view->previewImage(2).isNull());
  EXPECT_EQ(view->statusTextAt(QPoint(110, 10)), "");  // no image, no status
  EXPECT_EQ(view->statusTextAt(QPoint(200, 10)), "Elm");
  // Transparent parts show the blue-grey ground whatever colour the file keeps under them.
  QImage cutout(8, 8, QImage::Format_ARGB32);
  cutout.fill(qRgba(255, 255, 255, 0));
  for (int y = 0; y < 8; ++y) cutout.setPixel(0, y, qRgba(0, 200, 0, 255));
  const std::string cutoutPath = folders.root + "/TREE2.QTX";
  ASSERT_TRUE(cutout.save(QString::fromStdString(cutoutPath), "PNG"));
  ContentCategoryItem shrubs("Shrubs", folders.root, nullptr, kCategoryPlants, kLibraryPlants);
  shrubs.addSymEntryWithPreviewPath(nullptr, nullptr, cutoutPath.c_str(), "Box", 7003, 1, kEntryPlant);
  show(&shrubs, 300);
  const QImage shrub = view->previewImage(0);
  ASSERT_FALSE(shrub.isNull());
  EXPECT_EQ(shrub.pixel(60, 60), qRgb(157, 172, 193));
  EXPECT_EQ(shrub.pixel(2, 60), qRgb(0, 200, 0));
}

TEST_F(ContentViewTest, CustomTexturesRecolourOnlyWithAlphaAndNeedTheirInformationFile) {
  ContentFolders folders;
  BareDesign design;
  const std::string base = "shared/QVRA/Textures/CustomTextures/Decals/";
  for (const char* name : {"a", "b", "c"}) folders.image(base + name + ".QTX", 4, 0x000000);
  folders.write(base + "a.QTI", "[Opacity]\nAlpha=1\n");
  folders.write(base + "b.QTI", "[Opacity]\nAlpha=0\n");
  ContentCategoryItem decals("Decals", "", nullptr, kCategoryAccessories, kLibraryAccessories);
  for (const char* name : {"a", "b", "c"}) {
    const std::string stem = std::string("Decals/") + name;
    decals.addSymEntryWithPreviewPath(nullptr, (stem + ".QTI").c_str(), (stem + ".QTX").c_str(), name, 1,
                                      kEntryCustomTexture);
  }
  show(&decals, 300);
  EXPECT_EQ(view->previewImage(0).pixel(5, 5), qRgb(157, 172, 193));
  EXPECT_EQ(view->previewImage(1).pixel(5, 5), qRgb(0, 0, 0));
  EXPECT_TRUE(view->previewImage(2).isNull());  // no information file
}

TEST_F(ContentViewTest, CustomCrownTrimPreviewsShowUpsideDown) {
  ContentFolders folders;
  QImage half(8, 8, QImage::Format_RGB32);
  half.fill(Qt::white);
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 4; ++y) half.setPixel(x, y, qRgb(255, 0, 0));
  std::filesystem::create_directories(folders.shared + "/QVRA/Components/Trim/Mine");
  half.save(QString::fromStdString(folders.shared + "/QVRA/Components/Trim/Mine/t.QPV"), "PNG");
  ContentCategoryItem trims("Mine", "", nullptr, kCategoryTrim, kLibraryCustomCrownTrim);
  trims.addSymEntryWithPreviewPath("Mine/t.QPV", "Mine/t.QTI", "Mine/t.QTF", "t", 1, kEntryCustomTrim);
  const uint8_t saved = gApplyTrimAsBase;
  gApplyTrimAsBase = 1;
  show(&trims, 300);
  EXPECT_EQ(view->previewImage(0).pixel(5, 5), qRgb(255, 0, 0));
  gApplyTrimAsBase = 0;
  show(&trims, 300);
  EXPECT_EQ(view->previewImage(0).pixel(5, 5), qRgb(255, 255, 255));
  EXPECT_EQ(view->previewImage(0).pixel(5, 90), qRgb(255, 0, 0));
  gApplyTrimAsBase = saved;
}

TEST_F(ContentViewTest, OversizedPicturesGiveAnEmptyCell) {
  ContentFolders folders;
  // A PNG header that claims 20000 x 20000 pixels.
  QImage small(1, 1, QImage::Format_RGB32);
  small.fill(Qt::red);
  const std::string path = folders.root + "/BIG.QPV";
  small.save(QString::fromStdString(path), "PNG");
  {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    const unsigned char size[8] = {0, 0, 0x4E, 0x20, 0, 0, 0x4E, 0x20};
    f.seekp(16);
    f.write(reinterpret_cast<const char*>(size), 8);
  }
  EXPECT_TRUE(LoadPreviewImage(path, 96, false).isNull());
  EXPECT_TRUE(LoadPreviewImage(path, 96, true).isNull());
  EXPECT_TRUE(LoadPreviewImage(folders.root + "/missing.QPV", 96, false).isNull());
}

// A 352-byte PNG whose text chunk claims 2 GB gives an empty cell wherever the library shows
// a picture (entry preview, custom texture, provider logo), without the memory being taken.
TEST_F(ContentViewTest, APngWhoseTextChunkClaimsTwoGigabytesGivesAnEmptyCell) {
  const std::filesystem::path reproducer =
      std::filesystem::path(__FILE__).parent_path() / "data" / "png-text-chunk-claims-2GB.png";
  ASSERT_TRUE(std::filesystem::exists(reproducer));
  ContentFolders folders;
  BareDesign design;
  auto place = [&](const std::string& relative) {
    const std::filesystem::path to = std::filesystem::path(folders.root) / relative;
    std::filesystem::create_directories(to.parent_path());
    std::filesystem::copy_file(reproducer, to);
    return to.string();
  };
  const std::string preview = place("shared/QVRA/Components/Trim/Mine/t.QPV");
  place("shared/QVRA/Textures/CustomTextures/Decals/d.QTX");
  folders.write("shared/QVRA/Textures/CustomTextures/Decals/d.QTI", "[Opacity]\nAlpha=1\n");
  place("support/QVRA/Providers/logo.png");
  const std::string provider = folders.write("support/QVRA/Providers/p.qpi", "[Provider]\nName=P\nLogo=logo.png\n");

  const bool watching = WatchAllocations();
  for (bool recolour : {false, true}) EXPECT_TRUE(LoadPreviewImage(preview, 96, recolour).isNull());
  ContentCategoryItem trims("Mine", "", nullptr, kCategoryTrim, kLibraryCustomCrownTrim);
  trims.addSymEntryWithPreviewPath("Mine/t.QPV", "Mine/t.QTI", "Mine/t.QTF", "t", 1, kEntryCustomTrim);
  show(&trims, 300);
  EXPECT_TRUE(view->previewImage(0).isNull());
  ContentCategoryItem decals("Decals", "", nullptr, kCategoryAccessories, kLibraryAccessories);
  decals.addSymEntryWithPreviewPath(nullptr, "Decals/d.QTI", "Decals/d.QTX", "d", 1, kEntryCustomTexture);
  show(&decals, 300);
  EXPECT_TRUE(view->previewImage(0).isNull());
  EXPECT_TRUE(ContentProviderEntry(provider).vendorImage.isNull());
  if (watching) EXPECT_LT(LargestAllocation(), size_t(256) << 20);
}

}  // namespace
