#include "content/ContentCategoryItem.h"

#include "content/SymEntry.h"
#include "platform/ContentPaths.h"
#include "platform/Strings.h"

ContentCategoryItem::ContentCategoryItem(const std::string& name, const std::string& path,
                                         ContentCategoryItem* parent, int16_t category, int16_t library)
    : categoryType(category), libraryType(library), parentItem(parent), categoryName(name), fullPath(path) {}

ContentCategoryItem* ContentCategoryItem::addChildWithName(const std::string& name, const std::string& path,
                                                           int16_t category, int16_t library) {
  children_.push_back(std::make_unique<ContentCategoryItem>(name, path, this, category, library));
  return children_.back().get();
}

ContentCategoryItem* ContentCategoryItem::addChildWithName(const std::string& name, const std::string& path,
                                                           int16_t category, int16_t library, int32_t base,
                                                           uint32_t count, const std::string& prefix) {
  ContentCategoryItem* child = addChildWithName(name, path, category, library);
  child->setBaseTextureID(base, count, prefix);
  return child;
}

ContentCategoryItem* ContentCategoryItem::addChildWithHue(const std::string& name, int16_t category,
                                                          int16_t library, int32_t hue) {
  ContentCategoryItem* child = addChildWithName(name, std::string(), category, library);
  child->baseHue = hue;
  return child;
}

ContentCategoryItem* ContentCategoryItem::addChildWithName(const std::string& name, const std::string& path,
                                                           ContentCategoryItem* parent, int16_t category,
                                                           int16_t library) {
  children_.push_back(std::make_unique<ContentCategoryItem>(name, path, parent, category, library));
  return children_.back().get();
}

ContentCategoryItem* ContentCategoryItem::addChildWithName(const std::string& name, const std::string& path,
                                                           ContentCategoryItem* parent, int16_t category,
                                                           int16_t library, int32_t base, uint32_t count,
                                                           const std::string& prefix) {
  ContentCategoryItem* child = addChildWithName(name, path, parent, category, library);
  child->setBaseTextureID(base, count, prefix);
  return child;
}

ContentCategoryItem* ContentCategoryItem::addChildWithName(const std::string& name, ContentCategoryItem* parent,
                                                           int16_t category, int16_t library, int32_t hue) {
  ContentCategoryItem* child = addChildWithName(name, std::string(), parent, category, library);
  child->baseHue = hue;
  return child;
}

SymEntryInfo* ContentCategoryItem::append(SymEntryInfo entry) {
  symEntries_.push_back(std::make_unique<SymEntryInfo>(std::move(entry)));
  return symEntries_.back().get();
}

SymEntryInfo* ContentCategoryItem::addSymEntryWithPreviewPath(const char* preview, const char* info,
                                                              const char* data, const char* description,
                                                              int32_t identifier, int16_t entryType) {
  SymEntryInfo e;
  initWithPreviewPath(&e, preview, info, data, description, identifier, entryType);
  return append(std::move(e));
}

SymEntryInfo* ContentCategoryItem::addSymEntryWithPreviewPath(const char* preview, const char* info,
                                                              const char* data, const char* description,
                                                              int32_t textureID, int32_t identifier,
                                                              int16_t entryType) {
  SymEntryInfo e;
  initWithPreviewPath(&e, preview, info, data, description, textureID, identifier, entryType);
  return append(std::move(e));
}

SymEntryInfo* ContentCategoryItem::addSymEntryWithColorIndex(int32_t index, int32_t identifier, int16_t type) {
  SymEntryInfo e;
  initWithColorIndex(&e, index, identifier, type);
  return append(std::move(e));
}

SymEntryInfo* ContentCategoryItem::addSymEntryWithColorIndex(int32_t step, int32_t hue, int32_t identifier,
                                                             int16_t type) {
  SymEntryInfo e;
  initWithColorIndexHue(&e, step, hue, identifier, type);
  return append(std::move(e));
}

SymEntryInfo* ContentCategoryItem::addSymEntryWithRed(int32_t r, int32_t g, int32_t b, const char* description,
                                                      int32_t identifier, int16_t type) {
  SymEntryInfo e;
  initWithRed(&e, r, g, b, description, identifier, type);
  return append(std::move(e));
}

ContentCategoryItem* ContentCategoryItem::childAtIndex(size_t index) const {
  return index < children_.size() ? children_[index].get() : nullptr;
}

SymEntryInfo* ContentCategoryItem::symEntryAtIndex(size_t index) const {
  return index < symEntries_.size() ? symEntries_[index].get() : nullptr;
}

void ContentCategoryItem::setSelectionIndex(uint32_t index) {
  if (index < symEntries_.size()) selectionIndex_ = index;
}

void ContentCategoryItem::setBaseTextureID(int32_t base, uint32_t count, const std::string& prefix) {
  baseTextureID = base;
  textureCount = count;
  textureFilePrefix = prefix;
}

bool ContentCategoryItem::holdsTextureID(int32_t id) const {
  return textureCount > 0 && id >= baseTextureID &&
         static_cast<int64_t>(id) < static_cast<int64_t>(baseTextureID) + textureCount;
}

namespace {

struct StockRow {
  const char* folder;
  const char* name;
  int16_t libraryType;
  int32_t base;
  uint32_t count;
  const char* prefix;
};

void BuildStockTree(ContentCategoryTree* tree, const std::string& root, int16_t category,
                    std::initializer_list<StockRow> rows) {
  if (!tree) return;
  bool first = true;
  for (const StockRow& row : rows) {
    auto node = std::make_unique<ContentCategoryItem>(LocalizedString(row.name), root + "/" + row.folder, nullptr,
                                                      category, row.libraryType);
    node->setBaseTextureID(row.base, row.count, row.prefix);
    node->selected = first;
    first = false;
    tree->push_back(std::move(node));
  }
}

}  // namespace

void buildColorCategoryTree(ContentCategoryTree* tree) {
  if (!tree) return;
  static const char* const kNames[] = {"Winter Colors", "Spring Colors",       "Summer Colors",
                                       "Fall Colors",   "Contemporary Colors", "Gray Tones"};
  for (int i = 0; i < 6; ++i)
    tree->push_back(std::make_unique<ContentCategoryItem>(LocalizedString(kNames[i]), std::string(), nullptr,
                                                          kCategoryColors, static_cast<int16_t>(2 + i)));
}

void buildMaterialCategoryTree(ContentCategoryTree* tree) {
  const int16_t m = kLibraryMaterials;
  BuildStockTree(tree, LocalDomainTexturePath(), kCategoryMaterials,
                 {{"Brick", "Brick", m, 850, 66, "BRICK"},
                  {"Siding", "Siding", m, 1300, 48, "SIDING"},
                  {"Stone", "Stone", m, 1350, 42, "STONE"},
                  {"Stucco", "Stucco", m, 1400, 9, "STUCCO"},
                  {"Block", "Block", m, 800, 23, "BLOCK"},
                  {"Carpet", "Carpet", m, 1900, 56, "CARPET"},
                  {"Tile", "Tile", m, 2050, 102, "TILE"},
                  {"Fabrics", "Fabric", m, 1700, 135, "FABRIC"},
                  {"WallCvrs", "Wall Covering", m, 1600, 31, "COVER"},
                  {"Wood", "Wood", m, 2200, 48, "WOOD"},
                  {"Deck", "Wood Deck", m, 2300, 45, "DECK"},
                  {"Fills", "Mulch", m, 1100, 30, "FILL"},
                  {"Gravel", "Gravel", m, 2000, 15, "GRAVEL"},
                  {"Pavers", "Paver Brick", m, 1200, 16, "PAVER"},
                  {"Concrete", "Concrete", m, 950, 6, "CONCRE"},
                  {"Roofing", "Roofing", m, 1250, 36, "ROOF"},
                  {"Ground", "Grass", m, 1150, 21, "GROUND"},
                  {"Sky", "Sky", m, 1550, 2, "SKY"}});
}

void buildTrimCategoryTree(ContentCategoryTree* tree) {
  BuildStockTree(tree, LocalDomainTexturePath(), kCategoryTrim,
                 {{"BaseTrim", "Base Trim", kLibraryBaseTrim, 100, 5, "BASETRIM"},
                  {"CrownTrim", "Crown Trim", kLibraryCrownTrim, 400, 5, "CROWNTRIM"},
                  {"LibPanel", "Library Paneling", kLibraryPaneling, 200, 5, "LIBPANEL"},
                  {"Wc", "Wainscot", kLibraryWainscot, 300, 5, "WC"}});
}

void buildPlantCategoryTree(ContentCategoryTree* tree) {
  const int16_t p = kLibraryPlants;
  BuildStockTree(tree, LocalDomainPlantPath(), kCategoryPlants,
                 {{"Trees", "Trees", p, 7000, 461, "TREE"},
                  {"Shrubs", "Shrubs", p, 5000, 682, "SHRUB"},
                  {"Hedges", "Hedges", p, 10000, 56, "HEDGE"},
                  {"Cacti", "Cacti", p, 9000, 86, "CACTI"},
                  {"Bulbs", "Bulbs", p, 8000, 83, "BULB"},
                  {"Annuals", "Annuals", p, 6000, 214, "ANNUAL"},
                  {"Perennials", "Perennials", p, 12000, 505, "PEREN"},
                  {"WildFlowers", "Wild Flowers", p, 4050, 17, "WILDF"},
                  {"GroundCover", "Ground Cover", p, 3700, 34, "GRDCVR"},
                  {"Grasses", "Ornamental Grasses", p, 11000, 99, "ORNAM"},
                  {"Tropicals", "Tropicals", p, 4000, 35, "TROP"},
                  {"Edibles", "Edibles", p, 13000, 23, "EDIBLES"}});
}
