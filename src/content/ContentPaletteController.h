// The content palette of the design window: a pop-up of content categories, an outline of
// the chosen category's tree, the preview grid of the chosen leaf and an actions pop-up. The
// rest of the program asks it which category and which entry the user has chosen.
#pragma once
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "content/ContentCategoryItem.h"
#include "content/ContentSearches.h"

class QColorDialog;
class QComboBox;
class QMenu;
class QProgressBar;
class QToolButton;
class QTreeView;
class ContentTreeModel;
class ContentView;
class UndoNameStack;
struct Objex;

// What the palette needs of the design window; the application fills it at start-up.
struct ContentPaletteHooks {
  // The content action menu of a category (the application's context-menu factory).
  std::function<std::unique_ptr<QMenu>(QObject* target, int16_t category, int16_t library)> contentActionMenu;
  // Applies the palette's custom door or window definition to the selected openings.
  std::function<void()> applyCustomAttachment;
};
ContentPaletteHooks& ContentHooks();

class ContentPaletteController : public QWidget {
  Q_OBJECT
 public:
  explicit ContentPaletteController(QWidget* parent = nullptr);
  ~ContentPaletteController() override;

  // The palette of the main design window, or null.
  static ContentPaletteController* sharedContentPaletteController();
  // Makes this palette the one the program asks (the window became main).
  void makeShared();
  // No palette is asked until one is made shared again: the selection then comes from
  // gSelectedContentEntry and gSelectedContentEntryType.
  static void releaseShared();

  int32_t selectedCategory() const { return selectedCategory_; }
  ContentCategoryItem* selectedCategoryItem() const;
  SymEntryInfo* selectedSymEntry() const;
  // Shows category 0..8 and its first leaf; above 8 nothing. The flag is not used.
  void selectCategory(int32_t category, bool firstSymEntry);
  void setCategorySelectionAbility(bool enabled);
  bool categorySelectionAbility() const;
  void refreshContentView();
  void updateActionsMenu();
  // Shows the stock entry of a plant object (an alert when no stock folder holds it).
  void locatePlantForObject(Objex* plant);
  // The first child of the node whose folder equals path ignoring case, or null.
  static ContentCategoryItem* locateUserPlantCategoryForItem(ContentCategoryItem* item, const std::string& path);

  // The pop-up's action (index of the chosen row).
  void changeCategoryPopUpButton();
  // Colour editing of a family colour.
  void changeSymItemColor();
  // The actions named for the plant and object categories. They do nothing, and no menu
  // offers them: those categories' menu shows its icon only, and the search sheets and the
  // zone maps are not opened from the palette.
  void findPlantByName();
  void findObjectByName();
  void showPlantFinder();
  void showPlantHardinessZones();
  void symItemColorChanged(const QColor& color);
  // Menu items of the actions pop-up: "Change Color..." (tag 12000) only while the colour
  // dialog is hidden; every other only with a current design.
  bool validateMenuItem(const class QAction* item) const;
  // The current document's undo manager (null without a document).
  UndoNameStack* windowWillReturnUndoManager() const;

  // The search results: the last roots of the plant and object trees (library type
  // kLibrarySearchResults, never rebuilt from a folder).
  ContentCategoryItem* plantSearchResultsItem() const { return plantSearchResults_; }
  ContentCategoryItem* objectSearchResultsItem() const { return objectSearchResults_; }
  // The searches: each empties its result category, searches the libraries asked for (at
  // most "MaxSearchResults" hits) and shows the results as "Search results (%ld items)".
  void searchPlantsUsingName(const std::string& name, uint32_t categoryBits, bool searchOEMLib, bool searchUserLib);
  void searchPlantsUsingConditions(const PlantConditionFilters& filters, bool searchOEMLib, bool searchUserLib);
  void searchObjectsUsingName(const std::string& name, bool search2DLib, bool search3DLib);
  // The condition search with the five filters given one by one.
  void searchPlantsUsingZoneFilter(uint32_t zoneFilter, uint32_t sunFilter, uint32_t soilFilter, uint32_t waterFilter,
                                   uint32_t propagationFilter, bool searchOEMLib, bool searchUserLIB);
  // The library searches behind them: each adds its hits to the plant or object result
  // category (without emptying it first) up to "MaxSearchResults" entries.
  void searchOEMPlantsUsingName(const std::string& name, uint32_t categoryBits);
  void searchUserPlantsUsingName(const std::string& name, ContentCategoryItem* item, int32_t* identifier);
  void searchOEMPlantsUsingZoneFilter(uint32_t zoneFilter, uint32_t sunFilter, uint32_t soilFilter,
                                      uint32_t waterFilter, uint32_t propagationFilter);
  void searchUserPlantsUsingZoneFilter(uint32_t zoneFilter, uint32_t sunFilter, uint32_t soilFilter,
                                       uint32_t waterFilter, uint32_t propagationFilter, ContentCategoryItem* item,
                                       int32_t* identifier);
  void search3DObjectsUsingName(const std::string& name, ContentCategoryItem* item);
  void search2DObjectsUsingName(const std::string& name, ContentCategoryItem* item);

  // The trees whose roots come from the library catalogues (types 19, 0, 24, 25, 26); each
  // fills its tree only while the tree has no roots yet.
  void buildObjectCategoryTree();
  void buildAccessoriesCategoryTree();
  void buildTemplateCategoryTree();
  void buildCustomDoorCategoryTree();
  void buildCustomWindowCategoryTree();

  ContentCategoryTree* activeTree();
  ContentCategoryTree& tree(int16_t category) { return trees_[category]; }
  ContentView* contentView() const { return contentView_; }
  QTreeView* categoryOutlineView() const { return outline_; }
  QComboBox* categoryPopUpButton() const { return popUp_; }
  QToolButton* actionsPopUpButton() const { return actions_; }
  QColorDialog* colorPanel() const { return colorPanel_; }
  // Restores expansion and selection from the nodes' flags; with show, the selected node's
  // entries are shown when it is not the grid's source yet.
  void expandActiveCategoryTreeAndSelect(bool show = true);
  // Steps after the outline's selection changed (markSelected: step 2).
  void outlineViewSelectionDidChange(bool markSelected = true);
  // Selects the node's row (as a click on it would).
  void selectItem(ContentCategoryItem* item);

 private:
  void buildTrees();
  void buildCatalogueTree(int16_t category, int16_t libraryType);
  void showSearchResults(ContentCategoryItem* results, int16_t category);
  void fillPopUp();
  void syncSelectionGlobals();
  void itemExpanded(const class QModelIndex& index, bool expanded);
  void userSelectionChanged(const class QItemSelection& selected, const class QItemSelection& deselected);

  int32_t selectedCategory_ = 2;
  ContentCategoryTree trees_[9];
  ContentView* contentView_ = nullptr;
  QTreeView* outline_ = nullptr;
  ContentTreeModel* model_ = nullptr;
  QComboBox* popUp_ = nullptr;
  QToolButton* actions_ = nullptr;
  std::unique_ptr<QMenu> actionsMenu_;
  QProgressBar* progress_ = nullptr;
  QColorDialog* colorPanel_ = nullptr;
  ContentCategoryItem* plantSearchResults_ = nullptr;   // owned by the plant tree
  ContentCategoryItem* objectSearchResults_ = nullptr;  // owned by the object tree
  bool restoring_ = false;
  bool colorEdited_ = false;
};

namespace content {
// The shown content palette's selected entry, or null (no palette, or no entry selected).
SymEntryInfo* ContentPaletteSelectedSymEntry();
}  // namespace content
