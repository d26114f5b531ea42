#include "content/ContentPaletteController.h"

#include <QAbstractItemModel>
#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QProgressBar>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <strings.h>

#include "content/ContentLibraryManager.h"
#include "content/ContentView.h"
#include "files/Undo.h"
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/Records.h"
#include "platform/Alerts.h"
#include "platform/ContentPaths.h"
#include "platform/Strings.h"
#include "platform/UserDefaults.h"

namespace {
ContentPaletteController* sShared = nullptr;
QString Localized(const char* key) { return QString::fromStdString(LocalizedString(key)); }
const char* const kPopUpTitles[9] = {"Accessories", "Colors", "Materials", "Trim", "Objects",
                                     "Plants",      "Templates", "Doors", "Windows"};
}  // namespace

ContentPaletteHooks& ContentHooks() {
  static ContentPaletteHooks hooks;
  return hooks;
}

// The outline's model: the active tree's roots at the top level, each node's children below.
class ContentTreeModel : public QAbstractItemModel {
 public:
  explicit ContentTreeModel(QObject* parent) : QAbstractItemModel(parent) {}
  void setTree(ContentCategoryTree* tree) {
    beginResetModel();
    tree_ = tree;
    endResetModel();
  }
  static ContentCategoryItem* node(const QModelIndex& index) {
    return index.isValid() ? static_cast<ContentCategoryItem*>(index.internalPointer()) : nullptr;
  }
  QModelIndex indexOf(ContentCategoryItem* item) const {
    if (!item || !tree_) return {};
    const ContentCategoryItem* parent = item->parentItem;
    if (!parent) {
      for (size_t i = 0; i < tree_->size(); ++i)
        if ((*tree_)[i].get() == item) return createIndex(static_cast<int>(i), 0, item);
      return {};
    }
    for (size_t i = 0; i < parent->numberOfChildren(); ++i)
      if (parent->childAtIndex(i) == item) return createIndex(static_cast<int>(i), 0, item);
    return {};
  }
  QModelIndex index(int row, int column, const QModelIndex& parent) const override {
    if (!tree_ || row < 0 || column != 0) return {};
    if (!parent.isValid())
      return static_cast<size_t>(row) < tree_->size() ? createIndex(row, 0, (*tree_)[static_cast<size_t>(row)].get())
                                                     : QModelIndex();
    ContentCategoryItem* child = node(parent)->childAtIndex(static_cast<size_t>(row));
    return child ? createIndex(row, 0, child) : QModelIndex();
  }
  QModelIndex parent(const QModelIndex& index) const override {
    ContentCategoryItem* item = node(index);
    return item ? indexOf(item->parentItem) : QModelIndex();
  }
  int rowCount(const QModelIndex& parent) const override {
    if (!tree_) return 0;
    if (!parent.isValid()) return static_cast<int>(tree_->size());
    return static_cast<int>(node(parent)->numberOfChildren());
  }
  int columnCount(const QModelIndex&) const override { return 1; }
  QVariant data(const QModelIndex& index, int role) const override {
    ContentCategoryItem* item = node(index);
    if (!item || role != Qt::DisplayRole) return {};
    return QString::fromStdString(item->categoryName);
  }

 private:
  ContentCategoryTree* tree_ = nullptr;
};

ContentPaletteController::ContentPaletteController(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ContentPalette"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 4, 4, 4);
  auto* top = new QHBoxLayout;
  popUp_ = new QComboBox(this);
  actions_ = new QToolButton(this);
  actions_->setPopupMode(QToolButton::InstantPopup);
  actions_->setText(QStringLiteral("\u2699"));
  actions_->setEnabled(false);
  top->addWidget(popUp_, 1);
  top->addWidget(actions_);
  column->addLayout(top);
  outline_ = new QTreeView(this);
  outline_->setHeaderHidden(true);
  outline_->setSelectionMode(QAbstractItemView::SingleSelection);
  model_ = new ContentTreeModel(this);
  outline_->setModel(model_);
  column->addWidget(outline_, 1);
  contentView_ = new ContentView(this);
  contentView_->setMinimumHeight(150);
  column->addWidget(contentView_, 2);
  progress_ = new QProgressBar(contentView_);
  progress_->setRange(0, 0);
  progress_->setFixedSize(32, 32);
  progress_->setTextVisible(false);
  progress_->hide();
  colorPanel_ = new QColorDialog(this);
  colorPanel_->setOption(QColorDialog::NoButtons, true);
  colorPanel_->setModal(false);

  contentView_->selectionChanged = [this] {
    syncSelectionGlobals();
    updateActionsMenu();
  };
  contentView_->applyCustomAttachment = [] {
    if (ContentHooks().applyCustomAttachment) ContentHooks().applyCustomAttachment();
  };
  connect(popUp_, &QComboBox::activated, this, [this](int) { changeCategoryPopUpButton(); });
  connect(outline_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &ContentPaletteController::userSelectionChanged);
  connect(outline_, &QTreeView::expanded, this, [this](const QModelIndex& i) { itemExpanded(i, true); });
  connect(outline_, &QTreeView::collapsed, this, [this](const QModelIndex& i) { itemExpanded(i, false); });
  connect(colorPanel_, &QColorDialog::currentColorChanged, this, &ContentPaletteController::symItemColorChanged);
  connect(colorPanel_, &QColorDialog::finished, this, [this](int) {
    if (!colorEdited_) return;
    colorEdited_ = false;
    if (gCurDocument) StoreUndo(LocalizedString("Change Color"));
  });

  buildTrees();
  fillPopUp();
  selectedCategory_ = kCategoryMaterials;
  model_->setTree(activeTree());
  expandActiveCategoryTreeAndSelect(false);
  outlineViewSelectionDidChange(false);
  if (!sShared) sShared = this;
}

ContentPaletteController::~ContentPaletteController() {
  if (sShared == this) {
    sShared = nullptr;
    gSelectedContentCategory = -1;
    gSelectedContentEntryType = 0;
  }
}

ContentPaletteController* ContentPaletteController::sharedContentPaletteController() { return sShared; }

void ContentPaletteController::releaseShared() { sShared = nullptr; }

void ContentPaletteController::makeShared() {
  sShared = this;
  syncSelectionGlobals();
}

void ContentPaletteController::buildTrees() {
  auto& manager = ContentLibraryManager::sharedContentLibraryManager();
  buildColorCategoryTree(&trees_[kCategoryColors]);
  buildMaterialCategoryTree(&trees_[kCategoryMaterials]);
  buildTrimCategoryTree(&trees_[kCategoryTrim]);
  buildPlantCategoryTree(&trees_[kCategoryPlants]);
  buildObjectCategoryTree();
  buildAccessoriesCategoryTree();
  buildTemplateCategoryTree();
  buildCustomDoorCategoryTree();
  buildCustomWindowCategoryTree();
  // The user's own libraries: one root each, its categories from the catalogue.
  struct UserRoot {
    int16_t category;
    int16_t library;
    const char* name;
    std::string folder;
  };
  const UserRoot roots[] = {
      {kCategoryObjects, kLibrarySymbols, "Symbols", LocalDomain2DObjectPath()},
      {kCategoryPlants, kLibraryCustomPlants, "User Plants", LocalDomainCustomPlantPath()},
      {kCategoryColors, kLibraryPaint, "Paint", LocalDomainPaintPath()},
      {kCategoryMaterials, kLibraryCustomMaterials, "Custom Materials", LocalDomainCustomTexturePath()},
      {kCategoryTrim, kLibraryCustomBaseTrim, "Custom Base Trim", LocalDomainCustomTrimPath()},
      {kCategoryTrim, kLibraryCustomCrownTrim, "Custom Crown Trim", LocalDomainCustomTrimPath()},
  };
  for (const UserRoot& r : roots) {
    auto root = std::make_unique<ContentCategoryItem>(LocalizedString(r.name), r.folder, nullptr, r.category, r.library);
    manager.buildLibraryOfType(r.library, root.get());
    trees_[r.category].push_back(std::move(root));
  }
  for (int16_t category : {kCategoryPlants, kCategoryObjects}) {
    auto results = std::make_unique<ContentCategoryItem>(LocalizedString("Search results"), std::string(), nullptr,
                                                         category, kLibrarySearchResults);
    (category == kCategoryPlants ? plantSearchResults_ : objectSearchResults_) = results.get();
    trees_[category].push_back(std::move(results));
  }
}

void ContentPaletteController::buildCatalogueTree(int16_t category, int16_t libraryType) {
  ContentCategoryTree& tree = trees_[category];
  if (!tree.empty()) return;
  ContentLibraryManager::sharedContentLibraryManager().buildLibraryOfType(libraryType, &tree);
}

void ContentPaletteController::buildObjectCategoryTree() { buildCatalogueTree(kCategoryObjects, kLibraryObjects); }
void ContentPaletteController::buildAccessoriesCategoryTree() {
  buildCatalogueTree(kCategoryAccessories, kLibraryAccessories);
}
void ContentPaletteController::buildTemplateCategoryTree() { buildCatalogueTree(kCategoryTemplates, kLibraryTemplates); }
void ContentPaletteController::buildCustomDoorCategoryTree() { buildCatalogueTree(kCategoryDoors, kLibraryCustomDoors); }
void ContentPaletteController::buildCustomWindowCategoryTree() {
  buildCatalogueTree(kCategoryWindows, kLibraryCustomWindows);
}

void ContentPaletteController::fillPopUp() {
  popUp_->clear();
  for (int tag : {1, 2, 3}) popUp_->addItem(Localized(kPopUpTitles[tag]), tag);
  popUp_->insertSeparator(popUp_->count());
  for (int tag : {4, 5}) popUp_->addItem(Localized(kPopUpTitles[tag]), tag);
  popUp_->setCurrentIndex(popUp_->findData(kCategoryMaterials));
}

ContentCategoryTree* ContentPaletteController::activeTree() {
  if (selectedCategory_ < 0 || selectedCategory_ > 8) return nullptr;
  return &trees_[selectedCategory_];
}

ContentCategoryItem* ContentPaletteController::selectedCategoryItem() const {
  const QModelIndexList rows = outline_->selectionModel()->selectedRows();
  return rows.isEmpty() ? nullptr : ContentTreeModel::node(rows.first());
}

SymEntryInfo* ContentPaletteController::selectedSymEntry() const {
  ContentCategoryItem* source = contentView_->cacheSource();
  if (!source) return nullptr;
  return source->symEntryAtIndex(source->selectionIndex());
}

void ContentPaletteController::syncSelectionGlobals() {
  if (sShared != this) return;
  gSelectedContentCategory = static_cast<int16_t>(selectedCategory_);
  const SymEntryInfo* entry = selectedSymEntry();
  gSelectedContentEntryType = entry ? entry->type : 0;
}

void ContentPaletteController::expandActiveCategoryTreeAndSelect(bool show) {
  ContentCategoryTree* tree = activeTree();
  ContentCategoryItem* chosen = nullptr;
  restoring_ = true;
  std::function<void(ContentCategoryItem*)> walk = [&](ContentCategoryItem* node) {
    const QModelIndex index = model_->indexOf(node);
    if (node->expanded) outline_->expand(index);
    if (node->selected) {
      outline_->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      outline_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
      chosen = node;
    }
    for (const auto& child : node->children()) walk(child.get());
  };
  if (tree)
    for (const auto& root : *tree) walk(root.get());
  restoring_ = false;
  if (chosen) outline_->scrollTo(model_->indexOf(chosen));
  if (show && chosen && contentView_->cacheSource() != chosen) outlineViewSelectionDidChange(false);
}

void ContentPaletteController::userSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  if (restoring_) return;
  for (const QModelIndex& index : deselected.indexes())
    if (ContentCategoryItem* node = ContentTreeModel::node(index)) node->selected = false;
  (void)selected;
  outlineViewSelectionDidChange(true);
}

void ContentPaletteController::outlineViewSelectionDidChange(bool markSelected) {
  ContentCategoryItem* node = selectedCategoryItem();
  if (node && node->categoryType == kCategoryTrim)
    gApplyTrimAsBase = (node->libraryType == kLibraryBaseTrim || node->libraryType == kLibraryCustomBaseTrim) ? 1 : 0;
  if (node && markSelected) node->selected = true;
  contentView_->setFadeVisibleRect(true);
  contentView_->viewport()->repaint();
  const QRect visible = contentView_->viewport()->geometry();
  progress_->move(visible.x() + (visible.width() - progress_->width()) / 2,
                  visible.y() + (visible.height() - progress_->height()) / 2);
  progress_->show();
  ContentLibraryManager::sharedContentLibraryManager().rebuildSymEntryListForItem(node);
  contentView_->invalidateCacheAndSetNewSource(node);
  contentView_->rebuildPreviewCache();
  progress_->hide();
  contentView_->setFadeVisibleRect(false);
  updateActionsMenu();
  syncSelectionGlobals();
}

void ContentPaletteController::itemExpanded(const QModelIndex& index, bool expanded) {
  if (restoring_) return;
  if (ContentCategoryItem* node = ContentTreeModel::node(index)) node->expanded = expanded;
}

void ContentPaletteController::selectItem(ContentCategoryItem* item) {
  const QModelIndex index = model_->indexOf(item);
  if (!index.isValid()) return;
  for (ContentCategoryItem* p = item->parentItem; p; p = p->parentItem) outline_->expand(model_->indexOf(p));
  outline_->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ContentPaletteController::changeCategoryPopUpButton() {
  const QVariant data = popUp_->currentData();
  if (!data.isValid()) return;
  const int tag = data.toInt();
  if (tag == selectedCategory_) return;
  selectedCategory_ = tag;
  // Rows of categories the pop-up does not list (chosen by a tool or a caller) stay only
  // while they are shown.
  for (int other : {0, 6, 7, 8}) {
    const int row = popUp_->findData(other);
    if (other != tag && row >= 0) popUp_->removeItem(row);
  }
  restoring_ = true;
  model_->setTree(activeTree());
  restoring_ = false;
  expandActiveCategoryTreeAndSelect(false);
  outlineViewSelectionDidChange(false);
}

void ContentPaletteController::selectCategory(int32_t category, bool) {
  if (category < 0 || category > 8) return;
  int row = popUp_->findData(category);
  if (row < 0) {
    popUp_->addItem(Localized(kPopUpTitles[category]), category);
    row = popUp_->count() - 1;
  }
  popUp_->setCurrentIndex(row);
  changeCategoryPopUpButton();
  // Without a selected row (the colour families at first) no leaf is chosen.
  ContentCategoryItem* node = selectedCategoryItem();
  if (!node) return;
  ContentCategoryItem* old = node;
  while (node->numberOfChildren() > 0) {
    node->expanded = true;
    node = node->childAtIndex(0);
  }
  if (old && old != node) old->selected = false;
  node->selected = true;
  expandActiveCategoryTreeAndSelect(true);
}

void ContentPaletteController::setCategorySelectionAbility(bool enabled) { popUp_->setEnabled(enabled); }
bool ContentPaletteController::categorySelectionAbility() const { return popUp_->isEnabled(); }

void ContentPaletteController::refreshContentView() {
  contentView_->rebuildPreviewCache();
  contentView_->viewport()->update();
}

void ContentPaletteController::updateActionsMenu() {
  ContentCategoryItem* node = selectedCategoryItem();
  if (!node) return;
  const auto& factory = ContentHooks().contentActionMenu;
  const bool family = node->libraryType >= kLibraryWinterColors && node->libraryType <= kLibraryGrayTones;
  std::unique_ptr<QMenu> menu;
  bool enabled = false;
  if (node->categoryType == kCategoryColors) {
    if (family && selectedSymEntry()) {
      if (factory) menu = factory(this, node->categoryType, node->libraryType);
      enabled = true;
    }
  } else if (factory) {
    // Other categories show the menu's icon only and offer no action.
    menu = factory(this, node->categoryType, node->libraryType);
  }
  actions_->setMenu(nullptr);
  actionsMenu_ = std::move(menu);
  if (actionsMenu_) {
    const std::pair<const char*, void (ContentPaletteController::*)()> actions[] = {
        {"changeSymItemColor:", &ContentPaletteController::changeSymItemColor},
    };
    for (QAction* item : actionsMenu_->actions())
      for (const auto& [name, action] : actions)
        if (item->objectName() == QLatin1String(name)) connect(item, &QAction::triggered, this, action);
    connect(actionsMenu_.get(), &QMenu::aboutToShow, this, [this] {
      for (QAction* item : actionsMenu_->actions())
        if (!item->isSeparator() && !item->text().isEmpty()) item->setEnabled(validateMenuItem(item));
    });
    actions_->setMenu(actionsMenu_.get());
  }
  actions_->setEnabled(enabled);
}

void ContentPaletteController::findPlantByName() {}
void ContentPaletteController::findObjectByName() {}
void ContentPaletteController::showPlantFinder() {}
void ContentPaletteController::showPlantHardinessZones() {}

bool ContentPaletteController::validateMenuItem(const QAction* item) const {
  if (!item) return false;
  if (item->data().isValid() && item->data().toInt() == kCmdChangeColor) return !colorPanel_->isVisible();
  return gCurDocument != nullptr;
}

void ContentPaletteController::changeSymItemColor() {
  const SymEntryInfo* entry = selectedSymEntry();
  if (!entry) return;
  const QColor colour(std::min<int>(entry->textureColor.red, 255), std::min<int>(entry->textureColor.green, 255),
                      std::min<int>(entry->textureColor.blue, 255));
  colorEdited_ = false;
  {
    const QSignalBlocker quiet(colorPanel_);
    colorPanel_->setCurrentColor(colour);
  }
  colorPanel_->show();
  colorPanel_->raise();
}

void ContentPaletteController::symItemColorChanged(const QColor& color) {
  SymEntryInfo* entry = selectedSymEntry();
  ContentCategoryItem* source = contentView_->cacheSource();
  DocState* ds = gCurDocument ? gCurDocument->itsDocState : nullptr;
  if (!entry || !ds || !source) return;
  // Only a family colour names an entry of the colour table.
  if (source->libraryType < kLibraryWinterColors || source->libraryType > kLibraryGrayTones) return;
  if (entry->colorIndex < 0 || entry->colorIndex >= 72) return;
  // Each component of the panel's colour scaled to 0..255 and truncated, not rounded.
  const QRgba64 wide = color.rgba64();
  const auto eight = [](quint16 c) { return static_cast<int>(static_cast<uint32_t>(c) * 255u / 65535u); };
  const int r = eight(wide.red()), g = eight(wide.green()), b = eight(wide.blue());
  ds->colorTable[entry->colorIndex] = r + 256 * g + 65536 * b;
  entry->textureColor = {static_cast<uint16_t>(r), static_cast<uint16_t>(g), static_cast<uint16_t>(b)};
  colorEdited_ = true;
  contentView_->viewport()->update();
}

void ContentPaletteController::locatePlantForObject(Objex* plant) {
  if (!plant || !plant->firstPoint) return;
  if (selectedCategory_ != kCategoryPlants) selectCategory(kCategoryPlants, true);
  const int32_t id = plant->firstPoint->textureID[0];
  ContentCategoryItem* node = nullptr;
  for (const auto& root : trees_[kCategoryPlants])
    if (root->holdsTextureID(id)) {
      node = root.get();
      break;
    }
  int64_t found = -1;
  if (node) {
    ContentLibraryManager::sharedContentLibraryManager().rebuildSymEntryListForItem(node);
    for (size_t i = 0; i < node->numberOfSymEntries(); ++i)
      if (node->symEntryAtIndex(i)->textureID == id) {
        found = static_cast<int64_t>(i);
        break;
      }
  }
  if (found < 0) {
    ShowAlert("Unable to locate the selected plant.", "The plant definition files might be missing or are damaged.");
    return;
  }
  node->setSelectionIndex(static_cast<uint32_t>(found));
  ContentCategoryItem* shown = selectedCategoryItem();
  if (shown == node) {
    contentView_->invalidateCacheAndSetNewSource(node);
    contentView_->rebuildPreviewCache();
    syncSelectionGlobals();
    return;
  }
  if (shown) shown->selected = false;
  node->selected = true;
  expandActiveCategoryTreeAndSelect(true);
}

ContentCategoryItem* ContentPaletteController::locateUserPlantCategoryForItem(ContentCategoryItem* item,
                                                                              const std::string& path) {
  if (!item) return nullptr;
  for (const auto& child : item->children())
    if (strcasecmp(child->fullPath.c_str(), path.c_str()) == 0) return child.get();
  return nullptr;
}

// Entry points the plan view, the 3D view and the template reader call.
namespace content {
SymEntryInfo* ContentPaletteSelectedSymEntry() {
  if (ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController())
    return palette->selectedSymEntry();
  if (gSelectedContentEntryType == 0) return nullptr;
  gSelectedContentEntry.type = gSelectedContentEntryType;
  return &gSelectedContentEntry;
}
}  // namespace content

namespace {
// A damaged preference of none or fewer still finds one entry, as the Preferences window shows it.
size_t MaxSearchResults() {
  const int most = StandardUserDefaults().getInt("MaxSearchResults");
  return most > 1 ? static_cast<size_t>(most) : 1;
}
}  // namespace

void ContentPaletteController::showSearchResults(ContentCategoryItem* results, int16_t category) {
  char title[256];
  std::snprintf(title, sizeof title, LocalizedString("Search results (%ld items)").c_str(),
                static_cast<long>(results->numberOfSymEntries()));
  results->categoryName = title;
  if (selectedCategory_ != category) selectCategory(category, false);
  if (ContentCategoryItem* old = selectedCategoryItem(); old && old != results) old->selected = false;
  results->selected = true;
  restoring_ = true;
  model_->setTree(activeTree());
  restoring_ = false;
  expandActiveCategoryTreeAndSelect(false);
  outlineViewSelectionDidChange(false);
}

void ContentPaletteController::searchPlantsUsingName(const std::string& name, uint32_t categoryBits,
                                                     bool searchOEMLib, bool searchUserLib) {
  ContentCategoryItem* results = plantSearchResults_;
  if (!results) return;
  results->removeAllSymEntries();
  const size_t most = MaxSearchResults();
  if (searchOEMLib) SearchOEMPlantsUsingName(results, name, categoryBits, most);
  if (searchUserLib) {
    int32_t identifier = 1;
    for (const auto& root : trees_[kCategoryPlants]) SearchUserPlantsUsingName(results, name, root.get(), &identifier, most);
  }
  showSearchResults(results, kCategoryPlants);
}

void ContentPaletteController::searchPlantsUsingConditions(const PlantConditionFilters& filters, bool searchOEMLib,
                                                           bool searchUserLib) {
  ContentCategoryItem* results = plantSearchResults_;
  if (!results) return;
  results->removeAllSymEntries();
  const size_t most = MaxSearchResults();
  if (searchOEMLib) SearchOEMPlantsUsingConditions(results, filters, most);
  if (searchUserLib) {
    int32_t identifier = 1;
    for (const auto& root : trees_[kCategoryPlants])
      SearchUserPlantsUsingConditions(results, filters, root.get(), &identifier, most);
  }
  showSearchResults(results, kCategoryPlants);
}

UndoNameStack* ContentPaletteController::windowWillReturnUndoManager() const {
  return gCurDocument ? gCurDocument->itsUndoManager : nullptr;
}

namespace {
PlantConditionFilters ZoneFilters(uint32_t zone, uint32_t sun, uint32_t soil, uint32_t water, uint32_t propagation) {
  PlantConditionFilters filters;
  filters.zone = zone;
  filters.sun = sun;
  filters.soil = soil;
  filters.water = water;
  filters.propagation = propagation;
  return filters;
}
}  // namespace

void ContentPaletteController::searchPlantsUsingZoneFilter(uint32_t zoneFilter, uint32_t sunFilter,
                                                          uint32_t soilFilter, uint32_t waterFilter,
                                                          uint32_t propagationFilter, bool searchOEMLib,
                                                          bool searchUserLIB) {
  const PlantConditionFilters filters = ZoneFilters(zoneFilter, sunFilter, soilFilter, waterFilter, propagationFilter);
  searchPlantsUsingConditions(filters, searchOEMLib, searchUserLIB);
}

void ContentPaletteController::searchOEMPlantsUsingName(const std::string& name, uint32_t categoryBits) {
  if (plantSearchResults_) SearchOEMPlantsUsingName(plantSearchResults_, name, categoryBits, MaxSearchResults());
}

void ContentPaletteController::searchUserPlantsUsingName(const std::string& name, ContentCategoryItem* item,
                                                         int32_t* identifier) {
  if (plantSearchResults_)
    SearchUserPlantsUsingName(plantSearchResults_, name, item, identifier, MaxSearchResults());
}

void ContentPaletteController::searchOEMPlantsUsingZoneFilter(uint32_t zoneFilter, uint32_t sunFilter,
                                                             uint32_t soilFilter, uint32_t waterFilter,
                                                             uint32_t propagationFilter) {
  if (!plantSearchResults_) return;
  const PlantConditionFilters filters = ZoneFilters(zoneFilter, sunFilter, soilFilter, waterFilter, propagationFilter);
  SearchOEMPlantsUsingConditions(plantSearchResults_, filters, MaxSearchResults());
}

void ContentPaletteController::searchUserPlantsUsingZoneFilter(uint32_t zoneFilter, uint32_t sunFilter,
                                                              uint32_t soilFilter, uint32_t waterFilter,
                                                              uint32_t propagationFilter, ContentCategoryItem* item,
                                                              int32_t* identifier) {
  if (!plantSearchResults_) return;
  const PlantConditionFilters filters = ZoneFilters(zoneFilter, sunFilter, soilFilter, waterFilter, propagationFilter);
  SearchUserPlantsUsingConditions(plantSearchResults_, filters, item, identifier, MaxSearchResults());
}

void ContentPaletteController::search3DObjectsUsingName(const std::string& name, ContentCategoryItem* item) {
  if (objectSearchResults_) Search3DObjectsUsingName(objectSearchResults_, name, item, MaxSearchResults());
}

void ContentPaletteController::search2DObjectsUsingName(const std::string& name, ContentCategoryItem* item) {
  if (objectSearchResults_) Search2DObjectsUsingName(objectSearchResults_, name, item, MaxSearchResults());
}

void ContentPaletteController::searchObjectsUsingName(const std::string& name, bool search2DLib, bool search3DLib) {
  ContentCategoryItem* results = objectSearchResults_;
  if (!results) return;
  results->removeAllSymEntries();
  const size_t most = MaxSearchResults();
  for (const auto& root : trees_[kCategoryObjects]) {
    if (search2DLib && root->libraryType == kLibrarySymbols) Search2DObjectsUsingName(results, name, root.get(), most);
    if (search3DLib && root->libraryType == kLibraryObjects) Search3DObjectsUsingName(results, name, root.get(), most);
  }
  showSearchResults(results, kCategoryObjects);
}
