// The content palette in the design window, and the tools that switch and lock it.
#include <gtest/gtest.h>

#include <QColorDialog>
#include <QComboBox>
#include <QDockWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "ContentTestSupport.h"
#include "app/AppTestSupport.h"
#include "app/EditToolPaletteController.h"
#include "app/PlanToolPaletteController.h"
#include "content/ContentPaletteController.h"
#include "content/ContentView.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/ToolCodes.h"
#include "platform/Alerts.h"
#include "app/ContextMenuFactory.h"
#include "app/ZLKDocumentView.h"
#include "content/ContentProviderController.h"
#include <QMenu>
#include <QMenuBar>

namespace {

constexpr int16_t kDoorCustom = 512, kDoorHinged = 501, kSkylightCustom = 806;

size_t UndoSteps(UndoNameStack stack) {
  stack.onUndo = nullptr;
  stack.onRedo = nullptr;
  size_t n = 0;
  while (stack.undo()) ++n;
  return n;
}

class PaletteTest : public DesignWindowTest {
 protected:
  void beforeDocument() override {
    folders = std::make_unique<ContentFolders>();
    defaults.setInt("PreviewSizeKey", 2);
    // Two bricks, a gap in the edibles, and a custom door catalogue.
    for (int n : {1, 2}) {
      const std::string stem = "support/QVRA/Textures/Brick/BRICK" + std::to_string(n);
      folders->image(stem + ".QTX", 8, 0xa04020);
      folders->write(stem + ".QTI", "[Description]\nName=Brick " + std::to_string(n) + "\n");
    }
    for (int n : {1, 23}) {
      const std::string stem = "shared/QVRA/Textures/Edibles/EDIBLES" + std::to_string(n);
      folders->image(stem + ".QTX", 8, 0x00a000);
      folders->write(stem + ".QTI", "[Description]\nCommonName=Edible " + std::to_string(n) + "\n");
    }
    folders->write("shared/QVRA/DoorCat.ini", "[Door]\n1Door=Panel\n1DoorDirectory=x\n");
    folders->write("shared/QVRA/Components/Doors/Panel/door1.QTF", "x");
    folders->write("shared/QVRA/Components/Doors/Panel/door1.QTI", "[Description]\nAttachmentName=Panel Door\n");
    folders->image("shared/QVRA/Components/Doors/Panel/door1.QPV", 8, 0);
    folders->write("shared/QVRA/AccessoriesCat.ini", "[Accessories]\n1Accessories=Decals\n1AccessoriesDirectory=x\n");
  }
  void afterClosing() override { folders.reset(); }
  ContentPaletteController* palette() { return window->contentPaletteController(); }
  std::string selectedName() {
    ContentCategoryItem* item = palette()->selectedCategoryItem();
    return item ? item->categoryName : std::string("(none)");
  }
  void choosePopUpTag(int tag) {
    QComboBox* popUp = palette()->categoryPopUpButton();
    popUp->setCurrentIndex(popUp->findData(tag));
    palette()->changeCategoryPopUpButton();
  }
  void selectRoot(size_t index) { palette()->selectItem((*palette()->activeTree())[index].get()); }
  std::unique_ptr<ContentFolders> folders;
};

TEST_F(PaletteTest, SearchResultsShowAsTheLastRootWithTheirCount) {
  ContentCategoryItem* results = palette()->plantSearchResultsItem();
  ASSERT_NE(results, nullptr);
  EXPECT_EQ(palette()->tree(kCategoryPlants).back().get(), results);
  EXPECT_EQ(palette()->tree(kCategoryObjects).back().get(), palette()->objectSearchResultsItem());
  const int saved = defaults.getInt("MaxSearchResults");
  defaults.setInt("MaxSearchResults", 1);
  palette()->searchPlantsUsingName("edible", 2048, true, true);
  EXPECT_EQ(palette()->selectedCategory(), kCategoryPlants);
  EXPECT_EQ(palette()->selectedCategoryItem(), results);
  EXPECT_EQ(selectedName(), "Search results (1 items)");
  // A damaged preference of none or fewer still finds one.
  for (int damaged : {0, -5}) {
    defaults.setInt("MaxSearchResults", damaged);
    palette()->searchPlantsUsingName("edible", 2048, true, true);
    EXPECT_EQ(selectedName(), "Search results (1 items)") << damaged;
  }
  defaults.setInt("MaxSearchResults", 100);
  PlantConditionFilters none;
  palette()->searchPlantsUsingConditions(none, true, true);
  EXPECT_EQ(selectedName(), "Search results (0 items)");
  palette()->searchPlantsUsingName("EDIBLE", 2048, true, false);
  EXPECT_EQ(selectedName(), "Search results (2 items)");
  EXPECT_EQ(palette()->contentView()->cacheSource(), results);
  palette()->searchObjectsUsingName("chair", true, true);
  EXPECT_EQ(palette()->selectedCategory(), kCategoryObjects);
  EXPECT_EQ(selectedName(), "Search results (0 items)");
  defaults.setInt("MaxSearchResults", saved);
}

TEST_F(PaletteTest, LibrarySearchesAddToTheResultsAndTheZoneFilterFrontEndSearchesByCondition) {
  ContentCategoryItem* plants = palette()->plantSearchResultsItem();
  ContentCategoryItem* objects = palette()->objectSearchResultsItem();
  ASSERT_NE(plants, nullptr);
  ASSERT_NE(objects, nullptr);
  // The library searches add to what the result category holds.
  palette()->searchOEMPlantsUsingName("edible", 2048);
  EXPECT_EQ(plants->numberOfSymEntries(), 2u);
  palette()->searchOEMPlantsUsingName("edible 23", 2048);
  EXPECT_EQ(plants->numberOfSymEntries(), 3u);
  palette()->searchOEMPlantsUsingName("edible", 1);
  EXPECT_EQ(plants->numberOfSymEntries(), 3u);
  int32_t counter = 1;
  palette()->searchUserPlantsUsingName("edible", nullptr, &counter);
  palette()->searchUserPlantsUsingZoneFilter(0, 2, 0, 0, 0, nullptr, &counter);
  EXPECT_EQ(plants->numberOfSymEntries(), 3u);
  EXPECT_EQ(counter, 1);

  folders->write("shared/QVRA/Textures/Edibles/EDIBLES23.QTI", "[Description]\nCommonName=Edible 23\nSunLight=2\n");
  plants->removeAllSymEntries();
  palette()->searchOEMPlantsUsingZoneFilter(0, 2, 0, 0, 0);
  ASSERT_EQ(plants->numberOfSymEntries(), 1u);
  EXPECT_EQ(plants->symEntryAtIndex(0)->objectDescription, "Edible 23");

  // The front end: zone, sun, soil, water, propagation, then the two libraries.
  palette()->searchPlantsUsingZoneFilter(0, 2, 0, 0, 0, true, true);
  EXPECT_EQ(selectedName(), "Search results (1 items)");
  palette()->searchPlantsUsingZoneFilter(0, 1, 0, 0, 0, true, true);
  EXPECT_EQ(selectedName(), "Search results (0 items)");
  palette()->searchPlantsUsingZoneFilter(0, 2, 0, 0, 0, false, true);
  EXPECT_EQ(selectedName(), "Search results (0 items)");

  palette()->search3DObjectsUsingName("chair", nullptr);
  palette()->search2DObjectsUsingName("chair", nullptr);
  EXPECT_EQ(objects->numberOfSymEntries(), 0u);
}

TEST_F(PaletteTest, CatalogueTreesAreBuiltOnceAndUndoGoesToTheCurrentDesign) {
  ASSERT_EQ(palette()->tree(kCategoryAccessories).size(), 1u);
  ContentCategoryItem* decals = palette()->tree(kCategoryAccessories)[0].get();
  const size_t objectRoots = palette()->tree(kCategoryObjects).size();
  palette()->buildAccessoriesCategoryTree();
  palette()->buildObjectCategoryTree();
  palette()->buildTemplateCategoryTree();
  palette()->buildCustomDoorCategoryTree();
  palette()->buildCustomWindowCategoryTree();
  ASSERT_EQ(palette()->tree(kCategoryAccessories).size(), 1u);
  EXPECT_EQ(palette()->tree(kCategoryAccessories)[0].get(), decals);
  EXPECT_EQ(palette()->tree(kCategoryObjects).size(), objectRoots);
  EXPECT_EQ(palette()->tree(kCategoryDoors).size(), 1u);

  ASSERT_NE(gCurDocument, nullptr);
  EXPECT_EQ(palette()->windowWillReturnUndoManager(), gCurDocument->itsUndoManager);
  EXPECT_EQ(PlanToolPaletteController::sharedPlanToolPaletteController().windowWillReturnUndoManager(),
            gCurDocument->itsUndoManager);
  EXPECT_EQ(ToolPaletteController::sharedToolPaletteController().windowWillReturnUndoManager(),
            gCurDocument->itsUndoManager);
}

TEST_F(PaletteTest, StartsOnMaterialsWithBrickAndItsTextures) {
  ASSERT_NE(palette(), nullptr);
  EXPECT_EQ(ContentPaletteController::sharedContentPaletteController(), palette());
  EXPECT_EQ(palette()->selectedCategory(), kCategoryMaterials);
  EXPECT_EQ(palette()->categoryPopUpButton()->currentText().toStdString(), "Materials");
  EXPECT_EQ(selectedName(), "Brick");
  EXPECT_EQ(palette()->activeTree()->size(), 19u);  // 18 folders and the custom materials
  ASSERT_NE(palette()->selectedSymEntry(), nullptr);
  EXPECT_EQ(palette()->selectedSymEntry()->textureID, 850);
  EXPECT_EQ(palette()->contentView()->cacheSource()->numberOfSymEntries(), 2u);
  EXPECT_FALSE(palette()->contentView()->previewImage(1).isNull());
  EXPECT_EQ(gSelectedContentCategory, kCategoryMaterials);
  EXPECT_EQ(ContentPaletteSelectedSymEntry(), palette()->selectedSymEntry());
  // Pop-up rows: Colors, Materials, Trim, a separator, Objects, Plants; templates have no row
  // of their own, only one while a caller shows them.
  QComboBox* popUp = palette()->categoryPopUpButton();
  auto popUpTags = [popUp] {
    std::vector<int> tags;
    for (int i = 0; i < popUp->count(); ++i)
      if (popUp->itemData(i).isValid()) tags.push_back(popUp->itemData(i).toInt());
    return tags;
  };
  EXPECT_EQ(popUpTags(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(popUp->itemText(3).toStdString(), "");  // the separator
  palette()->selectCategory(kCategoryTemplates, true);
  EXPECT_EQ(palette()->selectedCategory(), kCategoryTemplates);
  EXPECT_EQ(popUpTags(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  choosePopUpTag(kCategoryMaterials);
  EXPECT_EQ(popUpTags(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(selectedName(), "Brick");
  // The toolbar's Content item hides and shows the dock.
  QAction* content = window->docToolbar()->findChild<QAction*>(ZLKWindowController::DocTBContentItemIdentifier);
  ASSERT_NE(content, nullptr);
  const bool shown = !window->contentDock()->isHidden();
  content->trigger();
  EXPECT_EQ(!window->contentDock()->isHidden(), !shown);
  content->trigger();
  EXPECT_EQ(!window->contentDock()->isHidden(), shown);
}

TEST_F(PaletteTest, TrimRowsSetTheBaseFlagAndRechoosingRebuildsNothing) {
  choosePopUpTag(kCategoryTrim);
  EXPECT_EQ(selectedName(), "Base Trim");
  EXPECT_EQ(gApplyTrimAsBase, 1);
  selectRoot(1);
  EXPECT_EQ(selectedName(), "Crown Trim");
  EXPECT_EQ(gApplyTrimAsBase, 0);
  selectRoot(0);
  EXPECT_EQ(gApplyTrimAsBase, 1);
  // The same row again: the grid keeps its very source and list.
  ContentCategoryItem* source = palette()->contentView()->cacheSource();
  source->addSymEntryWithRed(1, 2, 3, "marker", 99, kEntryColor);
  const size_t n = source->numberOfSymEntries();
  choosePopUpTag(kCategoryTrim);
  EXPECT_EQ(palette()->contentView()->cacheSource(), source);
  EXPECT_EQ(source->numberOfSymEntries(), n);
  // Another category and back restores the remembered row.
  selectRoot(1);
  choosePopUpTag(kCategoryColors);
  EXPECT_EQ(selectedName(), "(none)");
  choosePopUpTag(kCategoryTrim);
  EXPECT_EQ(selectedName(), "Crown Trim");
  // Asked for a category without a selected row, the palette shows that category and no row.
  palette()->selectCategory(kCategoryColors, true);
  EXPECT_EQ(palette()->selectedCategory(), kCategoryColors);
  EXPECT_EQ(selectedName(), "(none)");
  EXPECT_EQ(palette()->contentView()->cacheSource(), nullptr);
  EXPECT_EQ(palette()->selectedSymEntry(), nullptr);
  for (const auto& root : *palette()->activeTree()) EXPECT_FALSE(root->selected) << root->categoryName;
  choosePopUpTag(kCategoryTrim);
  EXPECT_EQ(selectedName(), "Crown Trim");
}

TEST_F(PaletteTest, LocatingAPlantShowsItsEntryEvenInAFolderNeverShown) {
  ScopedAlertRecorder alerts;
  Objex* plant = addSelectedSquare();
  plant->firstPoint->textureID[0] = 13022;
  palette()->locatePlantForObject(plant);
  EXPECT_EQ(palette()->selectedCategory(), kCategoryPlants);
  EXPECT_EQ(selectedName(), "Edibles");
  ASSERT_NE(palette()->selectedSymEntry(), nullptr);
  EXPECT_EQ(palette()->selectedSymEntry()->textureID, 13022);
  EXPECT_EQ(palette()->contentView()->cacheSource()->selectionIndex(), 1u);  // the gap: entry 2
  EXPECT_TRUE(alerts.shown.empty());
  plant->firstPoint->textureID[0] = 13023;
  palette()->locatePlantForObject(plant);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to locate the selected plant.");
  EXPECT_EQ(alerts.shown[0].informative, "The plant definition files might be missing or are damaged.");
  // An id inside a folder whose file is missing also brings the alert.
  plant->firstPoint->textureID[0] = 13005;
  palette()->locatePlantForObject(plant);
  EXPECT_EQ(alerts.shown.size(), 2u);
  EXPECT_EQ(palette()->selectedSymEntry()->textureID, 13022);
}

TEST_F(PaletteTest, LocatePlantInThePlantsContextMenuShowsItsEntry) {
  Objex* plant = addSelectedSquare();
  plant->firstPoint->textureID[0] = 13000;
  gContextFoundObj = plant;
  QMenu menu;
  QAction* locate = menu.addAction("Locate Plant");
  locate->setObjectName("locatePlant:");
  auto presenter = ZLKDocumentView::contextMenuPresenter;
  ZLKDocumentView::contextMenuPresenter = [locate](QMenu*, const QPoint&) { return locate; };
  window->documentView()->popUpContextMenu(&menu, NSPoint{0, 0});
  ZLKDocumentView::contextMenuPresenter = presenter;
  gContextFoundObj = nullptr;
  EXPECT_EQ(selectedName(), "Edibles");
  ASSERT_NE(palette()->selectedSymEntry(), nullptr);
  EXPECT_EQ(palette()->selectedSymEntry()->textureID, 13000);
}

TEST_F(PaletteTest, HelpMenuOpensTheContentProvidersWindow) {
  QAction* item = nullptr;
  for (QAction* top : window->menuBar()->actions())
    if (top->menu())
      for (QAction* a : top->menu()->actions())
        if (a->objectName() == QLatin1String("showContentProvidersWindow:")) item = a;
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text().toStdString(), "Content Providers...");
  item->trigger();
  ContentProviderController* providers = ContentProviderController::sharedContentProviderController();
  EXPECT_TRUE(providers->isVisible());
  EXPECT_EQ(providers->vendorNameText()->text().toStdString(), "No Vendors Found");
  delete providers;
}

TEST_F(PaletteTest, EditingAFamilyColourStoresItAndOneUndoStep) {
  choosePopUpTag(kCategoryColors);
  selectRoot(1);  // Spring Colors: indexes 12..23
  palette()->contentView()->cacheSource()->setSelectionIndex(1);  // the second entry
  palette()->updateActionsMenu();
  SymEntryInfo* entry = palette()->selectedSymEntry();
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->colorIndex, 13);
  EXPECT_TRUE(palette()->actionsPopUpButton()->isEnabled());
  const size_t steps = UndoSteps(doc->undoManager());
  palette()->changeSymItemColor();
  EXPECT_TRUE(palette()->colorPanel()->isVisible());
  palette()->colorPanel()->setCurrentColor(QColor(10, 20, 30));
  EXPECT_EQ(ds->colorTable[13], 10 + 256 * 20 + 65536 * 30);
  EXPECT_EQ(entry->textureColor.green, 20);
  palette()->colorPanel()->setCurrentColor(QColor(11, 20, 30));
  palette()->colorPanel()->reject();
  EXPECT_EQ(ds->colorTable[13], 11 + 256 * 20 + 65536 * 30);
  EXPECT_EQ(UndoSteps(doc->undoManager()), steps + 1);
  EXPECT_EQ(doc->undoManager().undoActionName(), "Change Color");
  // The panel's components are scaled to 0..255 and truncated: a half gives 127, not 128.
  palette()->symItemColorChanged(QColor::fromRgbF(0.5f, 1.0f, 0.999f));
  EXPECT_EQ(ds->colorTable[13], 127 + 256 * 255 + 65536 * 254);
  EXPECT_EQ(entry->textureColor.red, 127);
  EXPECT_EQ(entry->textureColor.blue, 254);
  for (int v : {0, 1, 127, 128, 254, 255}) {
    palette()->symItemColorChanged(QColor(v, 255 - v, v));
    EXPECT_EQ(ds->colorTable[13], v + 256 * (255 - v) + 65536 * v) << v;
  }
  // A ramp or paint entry never writes the colour table.
  ContentCategoryItem ramp("Ramp", "", nullptr, kCategoryColors, kLibraryColorRamp);
  ramp.addSymEntryWithColorIndex(3, 0, 1, kEntryColor);
  palette()->contentView()->invalidateCacheAndSetNewSource(&ramp);
  const int32_t before = ds->colorTable[3];
  palette()->symItemColorChanged(QColor(1, 1, 1));
  EXPECT_EQ(ds->colorTable[3], before);
  palette()->contentView()->invalidateCacheAndSetNewSource(nullptr);
}

TEST_F(PaletteTest, CustomDoorAndAccessoryToolsLockTheCategoryAndOtherToolsUnlock) {
  auto& plan = PlanToolPaletteController::sharedPlanToolPaletteController();
  ds->doorStyle = kDoorCustom;
  gCurTool = kToolSelection;
  plan.selectTool(kPlanFloor, kToolDoor);
  EXPECT_EQ(palette()->selectedCategory(), kCategoryDoors);
  EXPECT_FALSE(palette()->categorySelectionAbility());
  EXPECT_EQ(selectedName(), "Panel");
  ASSERT_NE(palette()->selectedSymEntry(), nullptr);
  EXPECT_EQ(palette()->selectedSymEntry()->type, kEntryCustomDoor);
  EXPECT_GE(palette()->categoryPopUpButton()->findData(kCategoryDoors), 0);
  ApplyToolToContentPalette(kToolAccessory);
  EXPECT_EQ(palette()->selectedCategory(), kCategoryAccessories);
  EXPECT_FALSE(palette()->categorySelectionAbility());
  EXPECT_LT(palette()->categoryPopUpButton()->findData(kCategoryDoors), 0);
  ApplyToolToContentPalette(kToolExteriorWall);
  EXPECT_TRUE(palette()->categorySelectionAbility());
  ds->doorStyle = kDoorHinged;
  ApplyToolToContentPalette(kToolAccessory);
  ApplyToolToContentPalette(kToolDoor);  // not custom: unlocked
  EXPECT_TRUE(palette()->categorySelectionAbility());
  ds->skylightStyle = kSkylightCustom;
  ApplyToolToContentPalette(kToolSkylight);
  EXPECT_EQ(palette()->selectedCategory(), kCategoryWindows);
  EXPECT_FALSE(palette()->categorySelectionAbility());
  ToolPaletteController::sharedToolPaletteController().selectArrowTool();
  EXPECT_TRUE(palette()->categorySelectionAbility());
  ApplyToolToContentPalette(kToolAccessory);
  gCurTool = kToolAccessory;
  ToolPaletteController::sharedToolPaletteController().selectTool(kToolZoom, 1);
  EXPECT_TRUE(palette()->categorySelectionAbility());
}

TEST_F(PaletteTest, ChangeColorIsOnlyOfferedWhileTheColourPanelIsHidden) {
  QAction item;
  item.setData(12000);
  EXPECT_TRUE(palette()->validateMenuItem(&item));
  palette()->colorPanel()->show();
  EXPECT_FALSE(palette()->validateMenuItem(&item));
  palette()->colorPanel()->hide();
  QAction other;
  EXPECT_TRUE(palette()->validateMenuItem(&other));
  ZLKDocumentModel* keep = gCurDocument;
  gCurDocument = nullptr;
  EXPECT_FALSE(palette()->validateMenuItem(&other));
  gCurDocument = keep;
}

}  // namespace
