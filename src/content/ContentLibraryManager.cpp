#include "content/ContentLibraryManager.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <unordered_map>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "platform/ContentPaths.h"
#include "platform/IniFile.h"
#include "platform/PathResolver.h"
#include "platform/Strings.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kValueSize = 250;
constexpr const char* kDone = "Done";
constexpr int kMaxPaints = 420;

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool EndsWithIgnoringCase(const std::string& name, const char* suffix) {
  const size_t n = std::strlen(suffix);
  return name.size() >= n && strcasecmp(name.c_str() + name.size() - n, suffix) == 0;
}

// The files of one folder, listed once, found by name whatever their case: the exact name
// first, else the first name in name order that matches ignoring case.
class FolderIndex {
 public:
  explicit FolderIndex(const std::string& folder) : folder_(ResolvePathIgnoringCase(folder)) {
    std::error_code ec;
    fs::directory_iterator it(folder_, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
      std::error_code typeError;
      if (!it->is_regular_file(typeError)) continue;
      std::string name = it->path().filename().string();
      names_.push_back(name);
      exact_.emplace(name, true);
      auto [slot, added] = lower_.emplace(Lower(name), name);
      if (!added && name < slot->second) slot->second = name;
    }
  }
  const std::string& folder() const { return folder_; }
  // Names in the order the listing gave them.
  const std::vector<std::string>& names() const { return names_; }
  // The full path of the file named `name` here, or "" when there is none.
  std::string find(const std::string& name) const {
    if (exact_.count(name)) return folder_ + "/" + name;
    auto it = lower_.find(Lower(name));
    return it == lower_.end() ? std::string() : folder_ + "/" + it->second;
  }
  // The side file of `path` (a file of this folder): its last three characters replaced.
  std::string side(const std::string& path, const char* ext) const {
    const std::string replaced = ReplaceLastThree(path, ext);
    if (replaced.empty()) return {};
    return find(fs::path(replaced).filename().string());
  }

 private:
  std::string folder_;
  std::vector<std::string> names_;
  std::unordered_map<std::string, bool> exact_;
  std::unordered_map<std::string, std::string> lower_;
};

std::string Read(const char* section, const char* key, const std::string& path, const char* fallback = "") {
  char value[kValueSize];
  GetPrivateProfileString(section, key, fallback, value, sizeof value, path.c_str());
  return value;
}

std::string NoDescription() { return LocalizedString("No description"); }

std::string OneKeyDescription(const std::string& info, const char* key) {
  std::string text = Read("Description", key, info);
  return text.empty() ? NoDescription() : text;
}

std::string TwoKeyDescription(const std::string& info, const char* nameKey, const char* descriptionKey) {
  const std::string name = Read("Description", nameKey, info);
  const std::string description = Read("Description", descriptionKey, info);
  if (!description.empty() && description != name) return name + " (" + description + ")";
  return name;
}

std::string RelativeTo(const std::string& path, const std::string& base) {
  if (!base.empty() && path.size() > base.size() + 1 && path.compare(0, base.size(), base) == 0 &&
      path[base.size()] == '/')
    return path.substr(base.size() + 1);
  return path;
}

struct Catalogue {
  const char* file;
  const char* section;
  int16_t category;
};

bool CatalogueOf(int16_t type, Catalogue* out) {
  switch (type) {
    case kLibraryAccessories: *out = {"AccessoriesCat.ini", "Accessories", kCategoryAccessories}; return true;
    case kLibraryPaint: *out = {"PaintCat.ini", "Paint", kCategoryColors}; return true;
    case kLibraryCustomMaterials: *out = {"CustomMaterialsCat.ini", "Custom Materials", kCategoryMaterials}; return true;
    case kLibraryCustomBaseTrim:
    case kLibraryCustomCrownTrim: *out = {"TrimCat.ini", "Trim", kCategoryTrim}; return true;
    case kLibrarySymbols: *out = {"SymbolCat.ini", "Symbol", kCategoryObjects}; return true;
    case kLibraryObjects: *out = {"ObjectCat.ini", "Object", kCategoryObjects}; return true;
    case kLibraryCustomPlants: *out = {"PlantCat.ini", "Plant", kCategoryPlants}; return true;
    case kLibraryTemplates: *out = {"TemplateCat.ini", "Template", kCategoryTemplates}; return true;
    case kLibraryCustomDoors: *out = {"DoorCat.ini", "Door", kCategoryDoors}; return true;
    case kLibraryCustomWindows: *out = {"WindowCat.ini", "Window", kCategoryWindows}; return true;
    default: return false;
  }
}

// Catalogues and paint files are read whole only up to this size (a larger file has no keys),
// and one build makes at most this many categories: a catalogue that lists the same category
// over and over, each with its sub-categories, would otherwise ask for their product.
constexpr size_t kMaxListFileBytes = size_t{1} << 20;
constexpr size_t kMaxCatalogueCategories = 10000;

// One section of a catalogue or paint file read once, for readers that take many of its keys.
// Keys ignore case and the first of equal keys counts, as for any INI lookup; texts are cut to
// what a value buffer holds.
class SectionKeys {
 public:
  SectionKeys(const std::string& path, const std::string& section) {
    IniSectionText text;
    text.Load(path.c_str(), section.c_str(), kMaxListFileBytes);
    for (const auto& [key, value] : text.entries) values_.emplace(Lower(key), value);
  }
  std::string text(const std::string& key, const char* fallback) const {
    auto it = values_.find(Lower(key));
    return it == values_.end() ? std::string(fallback) : it->second.substr(0, kValueSize - 1);
  }
  // The leading decimal integer of the value (0 when it has none), held to 32 bits.
  int32_t number(const std::string& key, int32_t fallback) const {
    auto it = values_.find(Lower(key));
    if (it == values_.end()) return fallback;
    const long long n = std::strtoll(it->second.c_str(), nullptr, 10);
    return static_cast<int32_t>(std::clamp<long long>(n, INT32_MIN, INT32_MAX));
  }

 private:
  std::unordered_map<std::string, std::string> values_;
};

// The category lists of one catalogue file, each section read once per build.
class CatalogueReader {
 public:
  explicit CatalogueReader(std::string path) : path_(std::move(path)) {}

  // The listed names of the section with their numbers, in catalogue order: the list ends at
  // the first number whose name is missing; a number without its Directory key, or with an
  // unsafe name, is skipped.
  const std::vector<std::pair<int, std::string>>& list(const std::string& section) {
    auto [slot, added] = lists_.try_emplace(Lower(section));
    if (!added) return slot->second;
    const SectionKeys keys(path_, section);
    // Each number read is a key of the section, so the list is no longer than the section.
    for (int n = 1; slot->second.size() < kMaxCatalogueCategories; ++n) {
      const std::string name = keys.text(std::to_string(n) + section, kDone);
      if (name == kDone) break;
      if (keys.text(std::to_string(n) + section + "Directory", kDone) == kDone) continue;
      if (!IsSafeCategoryName(name)) continue;
      slot->second.emplace_back(n, name);
    }
    return slot->second;
  }

  // Counts one more category; false once the build has made as many as it may.
  bool take() {
    if (made_ >= kMaxCatalogueCategories) return false;
    ++made_;
    return true;
  }

 private:
  std::string path_;
  std::unordered_map<std::string, std::vector<std::pair<int, std::string>>> lists_;
  size_t made_ = 0;
};

std::string BaseFolderOfRoots(int16_t type) {
  switch (type) {
    case kLibraryAccessories: return LocalDomainAccessoriesPath();
    case kLibraryObjects: return LocalDomain3DObjectPath();
    case kLibraryTemplates: return LocalDomainTemplatePath();
    case kLibraryCustomDoors: return LocalDomainCustomDoorPath();
    case kLibraryCustomWindows: return LocalDomainCustomWindowPath();
    default: return {};
  }
}

struct ListingRule {
  const char* dataExt;   // with the dot
  const char* infoExt;   // three characters
  const char* previewExt;
  bool previewRequired;
  const char* nameKey;
  const char* descriptionKey;  // null: one key
  int16_t entryType;
  std::string relativeBase;    // "" keeps absolute paths
};

// A folder listing: one entry per qualifying data file, in listing order.
void RebuildListing(ContentCategoryItem* item, const ListingRule& rule) {
  item->removeAllSymEntries();
  if (item->numberOfChildren() > 0 || item->fullPath.empty()) return;
  FolderIndex folder(item->fullPath);
  int32_t identifier = 1;
  for (const std::string& name : folder.names()) {
    if (name.size() <= 4 || !EndsWithIgnoringCase(name, rule.dataExt)) continue;
    const std::string data = folder.folder() + "/" + name;
    const std::string info = folder.side(data, rule.infoExt);
    if (info.empty()) continue;
    const std::string preview = folder.side(data, rule.previewExt);
    if (preview.empty() && rule.previewRequired) continue;
    const std::string description = rule.descriptionKey
                                        ? TwoKeyDescription(info, rule.nameKey, rule.descriptionKey)
                                        : OneKeyDescription(info, rule.nameKey);
    auto stored = [&rule](const std::string& path) {
      return rule.relativeBase.empty() ? path : RelativeTo(path, rule.relativeBase);
    };
    const std::string storedPreview = preview.empty() ? std::string() : stored(preview);
    item->addSymEntryWithPreviewPath(storedPreview.empty() ? nullptr : storedPreview.c_str(),
                                     stored(info).c_str(), stored(data).c_str(), description.c_str(),
                                     identifier++, rule.entryType);
  }
}

}  // namespace

std::string ContentCatalogueFolder() {
  const std::string shared = LocalDomainUserSharedPath();
  return shared.empty() ? std::string() : shared + "/QVRA";
}

bool IsSafeCategoryName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find('/') == std::string::npos && name.find('\\') == std::string::npos;
}

std::string ReplaceLastThree(const std::string& path, const char* ext) {
  if (path.size() < 3) return {};
  return path.substr(0, path.size() - 3) + ext;
}

ContentLibraryManager& ContentLibraryManager::sharedContentLibraryManager() {
  static ContentLibraryManager manager;
  return manager;
}

void ContentLibraryManager::buildLibraryOfType(int16_t type, ContentCategoryTree* roots) {
  if (!roots) return;
  if (type != kLibraryAccessories && type != kLibraryObjects && type != kLibraryTemplates &&
      type != kLibraryCustomDoors && type != kLibraryCustomWindows)
    return;
  Catalogue catalogue;
  if (!CatalogueOf(type, &catalogue) || ContentCatalogueFolder().empty()) return;
  const std::string path = ResolvePathIgnoringCase(ContentCatalogueFolder() + "/" + catalogue.file);
  const std::string base = BaseFolderOfRoots(type);
  CatalogueReader reader(path);
  for (const auto& [n, name] : reader.list(catalogue.section)) {
    if (!reader.take()) break;
    auto root = std::make_unique<ContentCategoryItem>(name, base + "/" + name, nullptr, catalogue.category, type);
    // Only the catalogue's first number starts selected; when it was skipped, no root is.
    root->selected = n == 1;
    for (const auto& child : reader.list(name)) {
      if (!reader.take()) break;
      root->addChildWithName(child.second, root->fullPath + "/" + child.second, catalogue.category, type);
    }
    roots->push_back(std::move(root));
  }
}

void ContentLibraryManager::buildLibraryOfType(int16_t type, ContentCategoryItem* parent) {
  if (!parent) return;
  if (type != kLibraryPaint && type != kLibraryCustomMaterials && type != kLibraryCustomBaseTrim &&
      type != kLibraryCustomCrownTrim && type != kLibrarySymbols && type != kLibraryObjects &&
      type != kLibraryCustomPlants)
    return;
  Catalogue catalogue;
  if (!CatalogueOf(type, &catalogue) || ContentCatalogueFolder().empty()) return;
  const std::string path = ResolvePathIgnoringCase(ContentCatalogueFolder() + "/" + catalogue.file);
  const bool trim = type == kLibraryCustomBaseTrim || type == kLibraryCustomCrownTrim;
  const std::string base = trim ? LocalDomainCustomTrimPath() : parent->fullPath;
  CatalogueReader reader(path);
  for (const auto& entry : reader.list(catalogue.section)) {
    if (!reader.take()) break;
    const std::string& name = entry.second;
    ContentCategoryItem* node = parent->addChildWithName(name, base + "/" + name, catalogue.category, type);
    for (const auto& child : reader.list(name)) {
      if (!reader.take()) break;
      node->addChildWithName(child.second, node->fullPath + "/" + child.second, catalogue.category, type);
    }
  }
}

void ContentLibraryManager::rebuildSymEntryListForItem(ContentCategoryItem* item) {
  if (!item) return;
  switch (item->libraryType) {
    case kLibraryAccessories:
    case kLibraryCustomMaterials: rebuildCustomTextureSymEntryListForItem(item); break;
    case kLibraryWinterColors: case kLibrarySpringColors: case kLibrarySummerColors:
    case kLibraryFallColors: case kLibraryContemporaryColors: case kLibraryGrayTones:
      rebuildColorSymEntryListForItem(item);
      break;
    case kLibraryColorRamp: rebuildColorRampSymEntryListForItem(item); break;
    case kLibraryPaint:
      rebuildPaintSymEntryListForItem(item);
      rebuildTextureSymEntryListForItem(item);
      break;
    case kLibraryMaterials:
    case kLibraryPlants: rebuildTextureSymEntryListForItem(item); break;
    case kLibraryBaseTrim: case kLibraryCrownTrim: case kLibraryPaneling: case kLibraryWainscot:
      rebuildTrimSymEntryListForItem(item);
      break;
    case kLibraryCustomBaseTrim:
    case kLibraryCustomCrownTrim: rebuildCustomTrimSymEntryListForItem(item); break;
    case kLibrarySymbols: rebuild2DObjectSymEntryListForItem(item); break;
    case kLibraryObjects: rebuild3DObjectSymEntryListForItem(item); break;
    case kLibraryCustomPlants: rebuildCustomPlantSymEntryListForItem(item); break;
    case kLibraryTemplates: rebuildTemplateEntryListForItem(item); break;
    case kLibraryCustomDoors: rebuildCustomDoorSymEntryListForItem(item); break;
    case kLibraryCustomWindows: rebuildCustomWindowSymEntryListForItem(item); break;
    default: break;
  }
}

void ContentLibraryManager::rebuildColorSymEntryListForItem(ContentCategoryItem* item) {
  if (!item) return;
  item->removeAllSymEntries();
  if (item->numberOfChildren() > 0) return;
  if (item->libraryType < kLibraryWinterColors || item->libraryType > kLibraryGrayTones) return;
  const int32_t base = (item->libraryType - kLibraryWinterColors) * 12;
  for (int32_t i = 0; i < 12; ++i) item->addSymEntryWithColorIndex(base + i, i + 1, kEntryColor);
}

void ContentLibraryManager::rebuildColorRampSymEntryListForItem(ContentCategoryItem* item) {
  if (!item) return;
  item->removeAllSymEntries();
  if (item->numberOfChildren() > 0) return;
  for (int32_t step = 1; step <= 45; ++step) item->addSymEntryWithColorIndex(step, item->baseHue, step, kEntryColor);
}

void ContentLibraryManager::rebuildPaintSymEntryListForItem(ContentCategoryItem* item) {
  if (!item) return;
  item->removeAllSymEntries();
  if (item->numberOfChildren() > 0 || item->fullPath.empty()) return;
  const std::string folderName = fs::path(item->fullPath).filename().string();
  if (folderName.empty()) return;
  FolderIndex folder(item->fullPath);
  const std::string file = folder.find(folderName + ".INI");
  if (file.empty()) return;
  if (SectionKeys(file, "CategoryInfo").number("CatID", 0) <= 0) return;
  const SectionKeys paints(file, "PaintInfo");
  int32_t identifier = 1;
  for (int n = 1; n <= kMaxPaints; ++n) {
    const std::string number = std::to_string(n);
    const int32_t r = paints.number("Red-" + number, -1);
    const int32_t g = paints.number("Green-" + number, -1);
    const int32_t b = paints.number("Blue-" + number, -1);
    if (r == -1 || g == -1 || b == -1) break;
    std::string name = paints.text("Name-" + number, "");
    if (name.empty()) name = NoDescription();
    item->addSymEntryWithRed(r, g, b, name.c_str(), identifier++, kEntryColor);
  }
}

void ContentLibraryManager::rebuildTextureSymEntryListForItem(ContentCategoryItem* item) {
  if (!item || item->textureCount == 0) return;
  item->removeAllSymEntries();
  const bool plants = item->libraryType == kLibraryPlants;
  const int16_t type = item->libraryType == kLibraryMaterials ? kEntryMaterial : plants ? kEntryPlant : kEntryNone;
  FolderIndex folder(item->fullPath);
  int32_t identifier = 1;
  char name[160];
  for (uint32_t i = 0; i < item->textureCount; ++i) {
    std::snprintf(name, sizeof name, "%s%u.QTX", item->textureFilePrefix.c_str(), i + 1);
    const std::string image = folder.find(name);
    if (image.empty()) continue;
    const std::string info = folder.side(image, "QTI");
    if (info.empty()) continue;
    const std::string description = OneKeyDescription(info, plants ? "CommonName" : "Name");
    const std::string preview = plants ? folder.side(image, "QPV") : std::string();
    item->addSymEntryWithPreviewPath(preview.empty() ? nullptr : preview.c_str(), info.c_str(), image.c_str(),
                                     description.c_str(), item->baseTextureID + static_cast<int32_t>(i),
                                     identifier++, type);
  }
}

void ContentLibraryManager::rebuildTrimSymEntryListForItem(ContentCategoryItem* item) {
  if (!item || item->textureCount == 0) return;
  const DocState* ds = gCurDocument ? gCurDocument->itsDocState : nullptr;
  if (!ds) return;
  item->removeAllSymEntries();
  const bool metric = ds->measureSystem == 4;
  FolderIndex folder(item->fullPath);
  int32_t identifier = 1;
  char name[160];
  for (uint32_t i = 0; i < item->textureCount; ++i) {
    std::snprintf(name, sizeof name, "%s%u%s", item->textureFilePrefix.c_str(), i + 1, metric ? "M.QPV" : ".QPV");
    const std::string preview = folder.find(name);
    if (preview.empty()) continue;
    const std::string info = folder.side(preview, "QTI");
    if (info.empty()) continue;
    const std::string description = OneKeyDescription(info, "Name");
    item->addSymEntryWithPreviewPath(preview.c_str(), info.c_str(), nullptr, description.c_str(),
                                     item->baseTextureID + static_cast<int32_t>(i), identifier++, kEntryTrim);
  }
}

void ContentLibraryManager::rebuildCustomTextureSymEntryListForItem(ContentCategoryItem* item) {
  if (!item) return;
  RebuildListing(item, {".QTX", "QTI", "QPV", false, "Name", nullptr, kEntryCustomTexture,
                        LocalDomainCustomTexturePath()});
}

void ContentLibraryManager::rebuildCustomTrimSymEntryListForItem(ContentCategoryItem* item) {
  if (!item) return;
  RebuildListing(item, {".QTF", "QTI", "QPV", true, "TrimName", "TrimDescription", kEntryCustomTrim,
                        LocalDomainCustomTrimPath()});
}

void ContentLibraryManager::rebuildCustomPlantSymEntryListForItem(ContentCategoryItem* item) {
  if (!item) return;
  RebuildListing(item, {".QTX", "QTI", "QPV", false, "CommonName", nullptr, kEntryUserPlant, {}});
}

void ContentLibraryManager::rebuild2DObjectSymEntryListForItem(ContentCategoryItem* item) {
  if (!item) return;
  RebuildListing(item, {".QSY", "QTI", "QPV", true, "ObjectName", "ObjectDescription", kEntrySymbol, {}});
}

void ContentLibraryManager::rebuild3DObjectSymEntryListForItem(ContentCategoryItem* item) {
  if (!item) return;
  RebuildListing(item, {".QOB", "QOD", "QPV", true, "ObjectName", "ObjectDescription", kEntry3DObject, {}});
}

void ContentLibraryManager::rebuildTemplateEntryListForItem(ContentCategoryItem* item) {
  if (!item) return;
  RebuildListing(item, {".QTF", "QTD", "QTP", true, "ObjectName", "ObjectDescription", kEntryTemplate, {}});
}

void ContentLibraryManager::rebuildCustomDoorSymEntryListForItem(ContentCategoryItem* item) {
  if (!item) return;
  RebuildListing(item, {".QTF", "QTI", "QPV", true, "AttachmentName", "AttachmentDescription", kEntryCustomDoor,
                        LocalDomainCustomDoorPath()});
}

void ContentLibraryManager::rebuildCustomWindowSymEntryListForItem(ContentCategoryItem* item) {
  if (!item) return;
  RebuildListing(item, {".QTF", "QTI", "QPV", true, "AttachmentName", "AttachmentDescription",
                        kEntryCustomWindow, LocalDomainCustomWindowPath()});
}
