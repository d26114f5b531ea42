// The plant and object search sheets, the plant finder's kept filters, the zone maps, the
// plant details window reached from the plant's context menu, and the palette's actions of
// plants and objects, which open none of them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <cmath>
#include <cstring>

#include "ContentTestSupport.h"
#include "app/AppTestSupport.h"
#include "app/ContextMenuFactory.h"
#include "app/ZLKDocumentView.h"
#include "content/ContentPaletteController.h"
#include "content/ContentSearches.h"
#include "content/PlantDetailsController.h"
#include "content/PlantSearchSheets.h"
#include "model/HitTest.h"
#include "model/PlanarTransforms.h"
#include "model/Plants.h"
#include "model/Readouts.h"
#include "model/TextureIDs.h"

namespace {

class PlantSheetsTest : public DesignWindowTest {
 protected:
  void beforeDocument() override {
    folders = std::make_unique<ContentFolders>();
    defaults.setInt("MaxSearchResults", 100);
  }
  void afterDocument() override {
    ds->planScale = 36;
    ds->measureSystem = kMeasureImperial;
  }
  void beforeClosing() override {
    for (QWidget* w : QApplication::allWidgets())
      if (auto* d = qobject_cast<PlantDetailsController*>(w)) d->deleteLater();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void afterClosing() override {
    // The finder keeps its filters for the whole run: each test starts with a new one.
    delete PlantFinderController::sharedPlantFinder();
    folders.reset();
  }
  ContentPaletteController* palette() { return window->contentPaletteController(); }
  std::string shownResults() {
    ContentCategoryItem* item = palette()->selectedCategoryItem();
    return item ? item->categoryName : std::string("(none)");
  }
  // The stock information file (with its image) of a texture id.
  std::string stockPlant(int32_t id, const std::string& keys) {
    char info[kTexturePathSize] = {};
    GetTextureInfoFileNameFromID(id, info, sizeof info);
    const std::string rel = std::string(info).substr(folders->root.size() + 1);
    folders->write(rel.substr(0, rel.size() - 3) + "QTX", "x");
    return folders->write(rel, "[Description]\n" + keys);
  }
  Objex* addPlant(int32_t id, int16_t plantingAge, float growth = 1) {
    RGBColor black{};
    Objex* p = CreateObject(kObjPlant, 1, 1, &black, &black, 1, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr);
    const float corners[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    for (const auto& c : corners) {
      Poinz* point = CreatePoint(1, 0, 0, 0, 0, 0, c[0], 0, c[1], 0, 0, 0, 0, 0, 0, p);
      point->textureID[0] = id;
      AppendPointToObject(point, p);
    }
    AppendObjectToLayer(p, model->itsCurLayer);
    p->plantAge = growth;
    p->fillPattern = plantingAge;
    p->plantInfo = CreatePlantInfo(id);
    return p;
  }
  static std::string Inches(float inches) {
    char text[kReadoutTextSize] = {};
    ConvertInchesToStr(inches, text);
    return text;
  }
  std::unique_ptr<ContentFolders> folders;
};

std::string Text(const QLineEdit* field) { return field->text().toStdString(); }

}  // namespace

TEST_F(PlantSheetsTest, FindPlantSearchButtonFollowsTheLibraryAndCategoryBoxes) {
  EXPECT_EQ(FindPlantByNameController::newFindPlantByNameSheetForParent(nullptr), nullptr);
  FindPlantByNameController* sheet = FindPlantByNameController::newFindPlantByNameSheetForParent(window);
  ASSERT_NE(sheet, nullptr);
  EXPECT_TRUE(sheet->isVisible());
  EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
  ASSERT_EQ(sheet->OEMCategoryButtons->cells().size(), 12u);
  EXPECT_EQ(CheckBoxMatrix::tagOf(sheet->OEMCategoryButtons->cells()[11]), 2048u);
  EXPECT_EQ(sheet->checkedCellCount(), 12);
  EXPECT_TRUE(sheet->searchButton->isEnabled());

  // No category box on: the user box alone enables the search; the stock box then disables it
  // whichever way it turns.
  sheet->searchUserLibButton->setChecked(false);
  for (QCheckBox* cell : sheet->OEMCategoryButtons->cells()) cell->setChecked(false);
  EXPECT_EQ(sheet->checkedCellCount(), 0);
  EXPECT_FALSE(sheet->searchButton->isEnabled());
  sheet->searchUserLibButton->setChecked(true);
  EXPECT_TRUE(sheet->searchButton->isEnabled());
  sheet->searchOEMLibButton->setChecked(false);
  EXPECT_FALSE(sheet->searchButton->isEnabled());
  EXPECT_FALSE(sheet->OEMCategoryButtons->cells()[0]->isEnabled());
  sheet->searchOEMLibButton->setChecked(true);
  EXPECT_FALSE(sheet->searchButton->isEnabled());
  EXPECT_TRUE(sheet->OEMCategoryButtons->cells()[0]->isEnabled());
  // One category box: enabled; the user box off keeps it (stock on with a category).
  sheet->OEMCategoryButtons->cells()[3]->setChecked(true);
  EXPECT_TRUE(sheet->searchButton->isEnabled());
  sheet->searchUserLibButton->setChecked(false);
  EXPECT_TRUE(sheet->searchButton->isEnabled());
  sheet->searchOEMLibButton->setChecked(false);
  EXPECT_FALSE(sheet->searchButton->isEnabled());
  sheet->dismissSheet(0);
  EXPECT_FALSE(sheet->isVisible());
}

TEST_F(PlantSheetsTest, FindPlantSearchesTheCheckedCategoriesAndShowsTheResults) {
  stockPlant(13000, "CommonName=Sweet Pepper\n");
  stockPlant(13001, "CommonName=Pepper Tree\n");
  stockPlant(7000, "CommonName=Pepper Tree\n");
  struct Case {
    std::vector<int> rows;  // category boxes left on
    bool stock;
    const char* shown;
  } cases[] = {{{11}, true, "Search results (2 items)"},
               {{0, 11}, true, "Search results (3 items)"},
               {{0}, true, "Search results (1 items)"},
               {{0, 11}, false, "Search results (0 items)"}};
  for (const Case& c : cases) {
    FindPlantByNameController* sheet = FindPlantByNameController::newFindPlantByNameSheetForParent(window);
    ASSERT_NE(sheet, nullptr);
    for (QCheckBox* cell : sheet->OEMCategoryButtons->cells()) cell->setChecked(false);
    for (int row : c.rows) sheet->OEMCategoryButtons->cells()[static_cast<size_t>(row)]->setChecked(true);
    sheet->searchOEMLibButton->setChecked(c.stock);
    sheet->searchUserLibButton->setChecked(true);
    sheet->nameText->setText("PEPPER");
    sheet->searchButton->click();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(palette()->selectedCategory(), kCategoryPlants);
    EXPECT_EQ(palette()->selectedCategoryItem(), palette()->plantSearchResultsItem());
    EXPECT_EQ(shownResults(), c.shown) << c.rows.size() << c.stock;
  }
  // Names in the information files are ISO Latin 1: a typed accented name finds them.
  stockPlant(13002, std::string("CommonName=Ros\xe9 Pepper\n"));
  FindPlantByNameController* sheet = FindPlantByNameController::newFindPlantByNameSheetForParent(window);
  ASSERT_NE(sheet, nullptr);
  for (QCheckBox* cell : sheet->OEMCategoryButtons->cells()) cell->setChecked(true);
  sheet->searchOEMLibButton->setChecked(true);
  sheet->nameText->setText(QString::fromUtf8("Ros\u00e9"));
  sheet->searchButton->click();
  EXPECT_EQ(shownResults(), "Search results (1 items)");
}

TEST_F(PlantSheetsTest, FindObjectNeedsOneLibraryAndSearchesWhatIsChecked) {
  FindObjectByNameController* sheet = FindObjectByNameController::newFindObjectByNameSheetForParent(window);
  ASSERT_NE(sheet, nullptr);
  struct Case {
    bool twoD, threeD, enabled;
  } cases[] = {{true, false, true}, {false, false, false}, {false, true, true}, {true, true, true}};
  for (const Case& c : cases) {
    sheet->search2DLibButton->setChecked(c.twoD);
    sheet->search3DLibButton->setChecked(c.threeD);
    EXPECT_EQ(sheet->searchButton->isEnabled(), c.enabled) << c.twoD << c.threeD;
  }
  sheet->nameText->setText("chair");
  sheet->dismissSheet(1);
  EXPECT_EQ(palette()->selectedCategory(), kCategoryObjects);
  EXPECT_EQ(palette()->selectedCategoryItem(), palette()->objectSearchResultsItem());
  EXPECT_EQ(shownResults(), "Search results (0 items)");
  EXPECT_EQ(FindObjectByNameController::newFindObjectByNameSheetForParent(nullptr), nullptr);
}

TEST_F(PlantSheetsTest, PlantFinderKeepsItsFiltersFromOneUseToTheNext) {
  stockPlant(5000, "CommonName=Shade Shrub\nSunLight=1\nWater=2\nSoilType=3\nPropagation=2\nZone4=1\n");
  stockPlant(5001, "CommonName=Sun Shrub\nSunLight=4\nWater=2\nSoilType=3\nPropagation=2\nZone4=1\n");
  EXPECT_EQ(PlantFinderController::sharedPlantFinderSheetForParent(nullptr), nullptr);
  PlantFinderController* finder = PlantFinderController::sharedPlantFinderSheetForParent(window);
  ASSERT_NE(finder, nullptr);
  // First opened with every code and zone.
  EXPECT_EQ(finder->waterView, 15);
  EXPECT_EQ(finder->propagationView, 15);
  EXPECT_EQ(finder->sunlightView, 15);
  EXPECT_EQ(finder->soilView, 255);
  EXPECT_EQ(finder->zoneView, 1023);
  for (CheckBoxMatrix* m : {finder->zoneButtons, finder->soilButtons, finder->sunlightButtons, finder->waterButtons,
                            finder->propagationButtons})
    for (QCheckBox* cell : m->cells()) EXPECT_TRUE(cell->isChecked());
  finder->sunlightView = 15 | 16;  // a bit no cell carries
  for (QCheckBox* cell : finder->zoneButtons->cells()) cell->setChecked(true);
  for (QCheckBox* cell : finder->soilButtons->cells()) cell->setChecked(true);
  for (CheckBoxMatrix* m : {finder->sunlightButtons, finder->waterButtons, finder->propagationButtons})
    for (QCheckBox* cell : m->cells()) cell->setChecked(true);
  finder->sunlightButtons->cells()[3]->setChecked(false);  // no excessive sun
  finder->zoneButtons->cells()[9]->setChecked(false);      // no zone 10
  finder->searchUserLibButton->setChecked(false);
  finder->okButton()->click();
  EXPECT_FALSE(finder->isVisible());
  EXPECT_EQ(finder->sunlightView, 7 | 16);
  EXPECT_EQ(finder->zoneView, 511);
  EXPECT_EQ(finder->soilView, 255);
  EXPECT_TRUE(finder->searchOEMLib);
  EXPECT_FALSE(finder->searchUserLib);
  EXPECT_EQ(shownResults(), "Search results (1 items)");
  ASSERT_EQ(palette()->plantSearchResultsItem()->numberOfSymEntries(), 1u);
  EXPECT_EQ(palette()->plantSearchResultsItem()->symEntryAtIndex(0)->textureID, 5000);

  // Closed, it belongs to no window (a window that goes cannot take it along) and opens on the
  // next window with the same filters.
  EXPECT_EQ(finder->parentWidget(), nullptr);
  ASSERT_EQ(PlantFinderController::sharedPlantFinder(), finder);
  ZLKDocument* second = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
  ASSERT_NE(second, nullptr);
  ZLKWindowController* other = second->windowControllers().value(0);
  EXPECT_EQ(PlantFinderController::sharedPlantFinderSheetForParent(other), finder);
  EXPECT_EQ(finder->parentWidget(), other);
  EXPECT_TRUE(finder->isVisible());
  EXPECT_FALSE(finder->sunlightButtons->cells()[3]->isChecked());
  EXPECT_FALSE(finder->zoneButtons->cells()[9]->isChecked());
  EXPECT_TRUE(finder->zoneButtons->cells()[8]->isChecked());
  EXPECT_FALSE(finder->searchUserLibButton->isChecked());
  // Cancel runs no search and changes no filter.
  finder->zoneButtons->cells()[0]->setChecked(false);
  finder->cancelButton()->click();
  EXPECT_FALSE(finder->isVisible());
  EXPECT_EQ(finder->zoneView, 511);
  EXPECT_EQ(PlantFinderController::sharedPlantFinder(), finder);
}

// Each condition's last cell left unchecked in turn keeps out the plant with that last code
// only, and no other condition's.
TEST_F(PlantSheetsTest, PlantFinderLastCellOfEachConditionFiltersItsOwnCode) {
  stockPlant(5000, "CommonName=First\nSunLight=1\nWater=1\nSoilType=1\nPropagation=1\nZone1=1\n");
  stockPlant(5001, "CommonName=Last\nSunLight=4\nWater=4\nSoilType=8\nPropagation=4\nZone10=1\n");
  PlantFinderController* finder = PlantFinderController::sharedPlantFinderSheetForParent(window);
  ASSERT_NE(finder, nullptr);
  struct Row {
    const char* name;
    CheckBoxMatrix* cells;
    size_t count;
  };
  const Row rows[] = {{"zone", finder->zoneButtons, 10},
                      {"sunlight", finder->sunlightButtons, 4},
                      {"water", finder->waterButtons, 4},
                      {"soil", finder->soilButtons, 8},
                      {"propagation", finder->propagationButtons, 4}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_EQ(PlantFinderController::sharedPlantFinderSheetForParent(window), finder);
    ASSERT_EQ(r.cells->cells().size(), r.count);
    for (const Row& all : rows)
      for (QCheckBox* cell : all.cells->cells()) cell->setChecked(true);
    r.cells->cells().back()->setChecked(false);
    finder->okButton()->click();
    ASSERT_EQ(palette()->plantSearchResultsItem()->numberOfSymEntries(), 1u);
    EXPECT_EQ(palette()->plantSearchResultsItem()->symEntryAtIndex(0)->textureID, 5000);
  }
}

TEST_F(PlantSheetsTest, ZoneSheetShowsTheFiveMapsInOrder) {
  EXPECT_EQ(PlantZoneController::newPlantZoneSheetForParent(nullptr), nullptr);
  PlantZoneController* sheet = PlantZoneController::newPlantZoneSheetForParent(window);
  ASSERT_NE(sheet, nullptr);
  ASSERT_EQ(sheet->zonePopUpButton->count(), 5);
  EXPECT_EQ(sheet->zonePopUpButton->itemText(0).toStdString(), "U.S. (Continental)");
  EXPECT_EQ(sheet->zonePopUpButton->itemText(1).toStdString(), "Alaska/Hawaii");
  EXPECT_EQ(sheet->zonePopUpButton->itemText(4).toStdString(), "Australia");
  EXPECT_EQ(sheet->zonePopUpButton->currentIndex(), 0);
  EXPECT_EQ(sheet->shownImageName().toStdString(), "PlantZoneUSA");
  EXPECT_FALSE(sheet->imageView->pixmap().isNull());
  const char* const names[] = {"PlantZoneUSA", "PlantZoneAKHI", "PlantZoneCanada", "PlantZoneEurope",
                               "PlantZoneAustralia"};
  std::vector<QImage> images;
  for (int i = 0; i < 5; ++i) {
    sheet->zonePopUpButton->setCurrentIndex(i);
    sheet->zonePopUpButtonChanged();
    EXPECT_EQ(sheet->shownImageName().toStdString(), names[i]);
    images.push_back(PlantZoneImage(names[i]));
    EXPECT_FALSE(images.back().isNull()) << names[i];
  }
  for (int i = 0; i < 5; ++i)
    for (int j = i + 1; j < 5; ++j) EXPECT_NE(images[i], images[j]) << i << " " << j;
  for (int outside : {-1, 5}) {
    sheet->setImageForIndex(outside);
    EXPECT_EQ(sheet->shownImageName().toStdString(), "PlantZoneAustralia");
  }
  EXPECT_TRUE(PlantZoneImage("PlantZoneMars").isNull());
  sheet->okButton()->click();
  EXPECT_FALSE(sheet->isVisible());
}

TEST_F(PlantSheetsTest, PaletteActionsOfPlantsAndObjectsShowOnlyTheIconAndOpenNoSheet) {
  QToolButton* actions = palette()->actionsPopUpButton();
  auto onlyIcon = [&] {
    if (!actions->menu()) return false;
    const QList<QAction*> items = actions->menu()->actions();
    return items.size() == 1 && items.front()->text().isEmpty();
  };
  palette()->selectCategory(kCategoryPlants, true);
  EXPECT_FALSE(actions->isEnabled());
  EXPECT_TRUE(onlyIcon());
  palette()->selectCategory(kCategoryObjects, true);
  EXPECT_FALSE(actions->isEnabled());
  EXPECT_TRUE(onlyIcon());

  // The four actions named for these categories do nothing.
  const bool finderBefore = PlantFinderController::sharedPlantFinder() != nullptr;
  palette()->findPlantByName();
  palette()->showPlantHardinessZones();
  palette()->showPlantFinder();
  palette()->findObjectByName();
  EXPECT_EQ(window->findChild<FindPlantByNameController*>(), nullptr);
  EXPECT_EQ(window->findChild<PlantZoneController*>(), nullptr);
  EXPECT_EQ(window->findChild<FindObjectByNameController*>(), nullptr);
  EXPECT_EQ(PlantFinderController::sharedPlantFinder() != nullptr, finderBefore);
  if (PlantFinderController* finder = PlantFinderController::sharedPlantFinder()) EXPECT_FALSE(finder->isVisible());

  // Materials offer no action.
  palette()->selectCategory(kCategoryMaterials, true);
  EXPECT_FALSE(actions->isEnabled());
}

TEST_F(PlantSheetsTest, DetailsShowTheFileTheCodesZonesAndAges) {
  stockPlant(7000, "CommonName=Red Maple\nBotanicalName=Acer rubrum\nFlowerColor=Red\nFoliageType=Broadleaf\n"
                   "Temperature=-30 to 100\nPropagation=2\nWater=4\nSunLight=1\nSoilType=9\nZone6=1\nZone10=1\n"
                   "AnnualGrowthRate=20\nMaximumGrowthHeight=72\n");
  stockPlant(7001, "CommonName=Odd\nSoilType=10\nPropagation=5\nZone1=1\nMaximumGrowthHeight=24\n");
  Objex* maple = addPlant(7000, 0, 4);
  // The file changed since the plant was made: the window reads it again.
  stockPlant(7000, "CommonName=Red Maple Tree\nBotanicalName=Acer rubrum\nFlowerColor=Red\nFoliageType=Broadleaf\n"
                   "Temperature=-30 to 100\nPropagation=2\nWater=4\nSunLight=1\nSoilType=9\nZone6=1\nZone10=1\n"
                   "AnnualGrowthRate=20\nMaximumGrowthHeight=72\n");
  PlantDetailsController* details = PlantDetailsController::newPlantDetailsWindow(maple);
  ASSERT_NE(details, nullptr);
  EXPECT_TRUE(details->isVisible());
  EXPECT_FALSE(details->isModal());
  EXPECT_EQ(Text(details->commonNameText), "Red Maple Tree");
  EXPECT_EQ(std::string(maple->plantInfo->commonName), "Red Maple Tree");
  EXPECT_EQ(Text(details->botanicalNameText), "Acer rubrum");
  EXPECT_EQ(Text(details->flowerColorText), "Red");
  EXPECT_EQ(Text(details->foliageTypeText), "Broadleaf");
  EXPECT_EQ(Text(details->fruitTypeText), "n/a");
  EXPECT_EQ(Text(details->usageText), "n/a");
  EXPECT_EQ(Text(details->textureText), "");
  EXPECT_EQ(Text(details->temperatureText), "-30 to 100");
  EXPECT_EQ(Text(details->propagationText), "Spring");
  EXPECT_EQ(Text(details->waterText), "Excessive");
  EXPECT_EQ(Text(details->sunlightText), "Minimal");
  EXPECT_EQ(Text(details->soilText), "Potting");
  EXPECT_EQ(Text(details->zoneText), "6, 10");
  EXPECT_EQ(Text(details->agePlantedText), "Seedling");
  // Growth 4 at 20%: 24.883204 plan units at scale 36 are 12.44 inches, shown as 12.
  EXPECT_EQ(Text(details->currentHeightText), Inches(12));
  EXPECT_EQ(Text(details->matureHeightText), Inches(72));
  details->dismissWindow();

  Objex* odd = addPlant(7001, 1);
  details = PlantDetailsController::newPlantDetailsWindow(odd);
  EXPECT_EQ(Text(details->soilText), "");
  EXPECT_EQ(Text(details->propagationText), "");
  EXPECT_EQ(Text(details->flowerColorText), "");
  EXPECT_EQ(Text(details->zoneText), "1");
  EXPECT_EQ(Text(details->agePlantedText), "1 Year Old");
  // Age 5 at no growth rate: 12 plan units are 6 inches.
  EXPECT_EQ(Text(details->currentHeightText), Inches(6));
  details->dismissWindow();
  // At other plan scales the plant's plan height is shown in whole inches of that scale.
  for (float scale : {96.0f, 24.0f}) {
    ds->planScale = scale;
    float width = 0, height = 0;
    GetPlantBounds(odd, &width, &height, 0);
    details = PlantDetailsController::newPlantDetailsWindow(odd);
    EXPECT_EQ(Text(details->currentHeightText), Inches(std::floor(height * scale / 72 + 0.5f))) << scale;
    details->dismissWindow();
  }
  ds->planScale = 36;

  struct AgeCase {
    int age;
    const char* text;
  } ages[] = {{0, "Seedling"}, {1, "1 Year Old"}, {7, "7 Years Old"}, {20, "20 Years Old"}, {-1, ""}};
  for (const AgeCase& c : ages) EXPECT_EQ(PlantingAgeText(c.age).toStdString(), c.text) << c.age;
  const unsigned char none[10] = {}, all[10] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, low[10] = {0, 0, 1, 1, 1};
  EXPECT_EQ(PlantZoneListText(none).toStdString(), "");
  EXPECT_EQ(PlantZoneListText(all).toStdString(), "1, 2, 3, 4, 5, 6, 7, 8, 9, 10");
  EXPECT_EQ(PlantZoneListText(low).toStdString(), "3, 4, 5");
}

TEST_F(PlantSheetsTest, DetailsOfAUserPlantAndOfWhatIsNoPlantWithARecord) {
  const std::string image = folders->write("shared/My Plants/Fern.QTX", "x");
  folders->write("shared/My Plants/Fern.qti", "[Description]\nCommonName=Fern\nFruitType=None\nUsage=Shade\n");
  Objex* fern = addPlant(0, 7);
  fern->subtype = kSubUserPlant;
  fern->typeData = strdup(image.c_str());
  DeletePlantInfo(fern->plantInfo);
  fern->plantInfo = CreateUserPlantInfo(image.c_str());
  PlantDetailsController* details = PlantDetailsController::newPlantDetailsWindow(fern);
  EXPECT_EQ(Text(details->commonNameText), "Fern");
  EXPECT_EQ(Text(details->fruitTypeText), "None");
  EXPECT_EQ(Text(details->usageText), "Shade");
  EXPECT_EQ(Text(details->agePlantedText), "7 Years Old");
  EXPECT_EQ(Text(details->matureHeightText), Inches(72));  // the user plants' default
  details->dismissWindow();

  // No record, another type, no design: every field stays as it was.
  Objex* bare = addPlant(7002, 3);
  DeletePlantInfo(bare->plantInfo);
  bare->plantInfo = nullptr;
  Objex* square = addSelectedSquare();
  for (Objex* object : {bare, square, static_cast<Objex*>(nullptr)}) {
    details = PlantDetailsController::newPlantDetailsWindow(object);
    EXPECT_EQ(Text(details->agePlantedText), "");
    EXPECT_EQ(Text(details->fruitTypeText), "");
    details->dismissWindow();
  }
  ZLKDocumentModel* current = gCurDocument;
  gCurDocument = nullptr;
  details = PlantDetailsController::newPlantDetailsWindow(fern);
  EXPECT_EQ(Text(details->commonNameText), "");
  details->dismissWindow();
  gCurDocument = current;
}

TEST_F(PlantSheetsTest, PlantDetailsInThePlantsContextMenuOpensTheWindow) {
  stockPlant(13000, "CommonName=Tomato\nZone9=1\n");
  Objex* plant = addPlant(13000, 2);
  ClickInfo click{};
  click.hitObject = plant;
  std::unique_ptr<QMenu> menu = ContextMenuFactory::objectContextMenuWithClickInfo(&click);
  ASSERT_NE(menu, nullptr);
  QAction* details = nullptr;
  for (QAction* item : menu->actions())
    if (item->objectName() == QLatin1String("showPlantDetails:")) details = item;
  ASSERT_NE(details, nullptr);
  auto presenter = ZLKDocumentView::contextMenuPresenter;
  ZLKDocumentView::contextMenuPresenter = [details](QMenu*, const QPoint&) { return details; };
  window->documentView()->popUpContextMenu(menu.get(), NSPoint{0, 0});
  ZLKDocumentView::contextMenuPresenter = presenter;
  gContextFoundObj = nullptr;
  PlantDetailsController* shown = nullptr;
  for (QWidget* w : QApplication::allWidgets())
    if (auto* d = qobject_cast<PlantDetailsController*>(w)) shown = d;
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown->isVisible());
  EXPECT_TRUE(shown->isWindow());
  EXPECT_EQ(Text(shown->commonNameText), "Tomato");
  EXPECT_EQ(Text(shown->zoneText), "9");
  EXPECT_EQ(Text(shown->agePlantedText), "2 Years Old");
}
