// Turns what lies on disk into content categories and entries: category trees from the
// catalogue files ("...Cat.ini" in the shared content folder) and a leaf's entry list from
// its folder, by its library type, each time the leaf is shown. Keeps no state.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "content/ContentCategoryItem.h"

class ContentLibraryManager {
 public:
  static ContentLibraryManager& sharedContentLibraryManager();

  // Appends the roots of the type's catalogue (types 0, 19, 24, 25, 26); others add nothing.
  void buildLibraryOfType(int16_t libraryType, ContentCategoryTree* roots);
  // Appends the catalogue's categories and their sub-categories under the node (types 9, 11,
  // 13, 15, 18, 19, 22); others add nothing.
  void buildLibraryOfType(int16_t libraryType, ContentCategoryItem* parent);
  // No array and no node: nothing to add to.
  void buildLibraryOfType(int16_t, std::nullptr_t) {}
  // Refills the node's entries by its library type; nothing for null.
  void rebuildSymEntryListForItem(ContentCategoryItem* item);

  void rebuildColorSymEntryListForItem(ContentCategoryItem* item);
  void rebuildColorRampSymEntryListForItem(ContentCategoryItem* item);
  void rebuildPaintSymEntryListForItem(ContentCategoryItem* item);
  void rebuildTextureSymEntryListForItem(ContentCategoryItem* item);
  void rebuildTrimSymEntryListForItem(ContentCategoryItem* item);
  void rebuildCustomTextureSymEntryListForItem(ContentCategoryItem* item);
  void rebuildCustomTrimSymEntryListForItem(ContentCategoryItem* item);
  void rebuildCustomPlantSymEntryListForItem(ContentCategoryItem* item);
  void rebuild2DObjectSymEntryListForItem(ContentCategoryItem* item);
  void rebuild3DObjectSymEntryListForItem(ContentCategoryItem* item);
  void rebuildTemplateEntryListForItem(ContentCategoryItem* item);
  void rebuildCustomDoorSymEntryListForItem(ContentCategoryItem* item);
  void rebuildCustomWindowSymEntryListForItem(ContentCategoryItem* item);
};

// The shared content folder that holds the catalogues.
std::string ContentCatalogueFolder();
// A category name from a catalogue can name a folder: not empty, no "/" or "\", not "." or "..".
bool IsSafeCategoryName(const std::string& name);
// The last three characters of path replaced by ext ("" when the path is shorter).
std::string ReplaceLastThree(const std::string& path, const char* ext);
