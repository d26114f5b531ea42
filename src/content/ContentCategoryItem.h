// One node of a content category tree: a named category with an optional folder, the tree
// (content category) it belongs to and the library type that says how its entries are
// listed. A leaf holds the entries the preview grid shows; a node with children holds none.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/SymEntryInfo.h"

// Content category codes (the palette's pop-up tags).
enum : int16_t {
  kCategoryAccessories = 0, kCategoryColors = 1, kCategoryMaterials = 2, kCategoryTrim = 3,
  kCategoryObjects = 4, kCategoryPlants = 5, kCategoryTemplates = 6, kCategoryDoors = 7,
  kCategoryWindows = 8
};

// Library type codes: they pick the entry-list builder and the drag kind.
enum : int16_t {
  kLibraryAccessories = 0, kLibraryWinterColors = 2, kLibrarySpringColors = 3, kLibrarySummerColors = 4,
  kLibraryFallColors = 5, kLibraryContemporaryColors = 6, kLibraryGrayTones = 7, kLibraryColorRamp = 8,
  kLibraryPaint = 9, kLibraryMaterials = 10, kLibraryCustomMaterials = 11, kLibraryBaseTrim = 12,
  kLibraryCustomBaseTrim = 13, kLibraryCrownTrim = 14, kLibraryCustomCrownTrim = 15, kLibraryPaneling = 16,
  kLibraryWainscot = 17, kLibrarySymbols = 18, kLibraryObjects = 19, kLibraryPlants = 21,
  kLibraryCustomPlants = 22, kLibrarySearchResults = 23, kLibraryTemplates = 24, kLibraryCustomDoors = 25, kLibraryCustomWindows = 26
};

class ContentCategoryItem {
 public:
  ContentCategoryItem(const std::string& name, const std::string& fullPath, ContentCategoryItem* parent,
                      int16_t categoryType, int16_t libraryType);
  ContentCategoryItem(const ContentCategoryItem&) = delete;
  ContentCategoryItem& operator=(const ContentCategoryItem&) = delete;

  ContentCategoryItem* addChildWithName(const std::string& name, const std::string& fullPath,
                                        int16_t categoryType, int16_t libraryType);
  ContentCategoryItem* addChildWithName(const std::string& name, const std::string& fullPath,
                                        int16_t categoryType, int16_t libraryType, int32_t baseTextureID,
                                        uint32_t textureCount, const std::string& prefix);
  ContentCategoryItem* addChildWithHue(const std::string& name, int16_t categoryType, int16_t libraryType,
                                       int32_t baseHue);
  // The same with the child's parent reference given by the caller (may be none).
  ContentCategoryItem* addChildWithName(const std::string& name, const std::string& fullPath,
                                        ContentCategoryItem* parent, int16_t categoryType, int16_t libraryType);
  ContentCategoryItem* addChildWithName(const std::string& name, const std::string& fullPath,
                                        ContentCategoryItem* parent, int16_t categoryType, int16_t libraryType,
                                        int32_t baseTextureID, uint32_t textureCount, const std::string& prefix);
  ContentCategoryItem* addChildWithName(const std::string& name, ContentCategoryItem* parent, int16_t categoryType,
                                        int16_t libraryType, int32_t baseHue);

  SymEntryInfo* addSymEntryWithPreviewPath(const char* preview, const char* info, const char* data,
                                           const char* description, int32_t identifier, int16_t entryType);
  SymEntryInfo* addSymEntryWithPreviewPath(const char* preview, const char* info, const char* data,
                                           const char* description, int32_t textureID, int32_t identifier,
                                           int16_t entryType);
  SymEntryInfo* addSymEntryWithColorIndex(int32_t colorIndex, int32_t identifier, int16_t entryType);
  SymEntryInfo* addSymEntryWithColorIndex(int32_t step, int32_t hue, int32_t identifier, int16_t entryType);
  SymEntryInfo* addSymEntryWithRed(int32_t red, int32_t green, int32_t blue, const char* description,
                                   int32_t identifier, int16_t entryType);
  void removeAllSymEntries() { symEntries_.clear(); }

  // Index must be below the count (null otherwise).
  ContentCategoryItem* childAtIndex(size_t index) const;
  SymEntryInfo* symEntryAtIndex(size_t index) const;
  size_t numberOfChildren() const { return children_.size(); }
  size_t numberOfSymEntries() const { return symEntries_.size(); }
  const std::vector<std::unique_ptr<ContentCategoryItem>>& children() const { return children_; }
  const std::vector<std::unique_ptr<SymEntryInfo>>& symEntries() const { return symEntries_; }

  // Kept only when below the number of entries.
  void setSelectionIndex(uint32_t index);
  uint32_t selectionIndex() const { return selectionIndex_; }

  void setCategoryName(const std::string& name) { categoryName = name; }
  void setFullPath(const std::string& path) { fullPath = path; }
  void setBaseTextureID(int32_t baseTextureID, uint32_t textureCount, const std::string& prefix);
  // True when the id lies in [baseTextureID, baseTextureID + textureCount).
  bool holdsTextureID(int32_t id) const;

  bool expanded = false;
  bool selected = false;
  int16_t categoryType = 0;
  int16_t libraryType = 0;
  int32_t baseTextureID = 0;
  int32_t baseHue = 0;
  uint32_t textureCount = 0;
  ContentCategoryItem* parentItem = nullptr;  // not owned
  std::string categoryName;
  std::string textureFilePrefix;
  std::string fullPath;  // empty: none

 private:
  SymEntryInfo* append(SymEntryInfo entry);
  uint32_t selectionIndex_ = 0;
  std::vector<std::unique_ptr<ContentCategoryItem>> children_;
  std::vector<std::unique_ptr<SymEntryInfo>> symEntries_;
};

using ContentCategoryTree = std::vector<std::unique_ptr<ContentCategoryItem>>;

// The four trees built from fixed tables (names localized; the first row of materials,
// trim and plants marked selected).
void buildColorCategoryTree(ContentCategoryTree* tree);
void buildMaterialCategoryTree(ContentCategoryTree* tree);
void buildTrimCategoryTree(ContentCategoryTree* tree);
void buildPlantCategoryTree(ContentCategoryTree* tree);
