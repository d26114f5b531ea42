// Library searches over information files, each file read once (bounded) per test.
#include "content/ContentSearches.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <unordered_map>
#include <vector>

#include "content/ContentCategoryItem.h"
#include "content/ContentLibraryManager.h"
#include "model/TextureIDs.h"
#include "platform/IniFile.h"
#include "platform/PathResolver.h"
#include "platform/Strings.h"

namespace fs = std::filesystem;

const StockPlantRange kStockPlantSearchRanges[kStockPlantRanges] = {
    {"Trees", 7000, 461},       {"Shrubs", 5000, 682},        {"Hedges", 10000, 56},
    {"Cacti", 9000, 86},        {"Bulbs", 8000, 83},          {"Annuals", 6000, 214},
    {"Perennials", 12000, 505}, {"Wild Flowers", 4050, 17},   {"Ground Cover", 3700, 34},
    {"Ornamental Grasses", 11000, 99}, {"Tropicals", 4000, 35}, {"Edibles", 13000, 23},
};

namespace {

constexpr const char* kSection = "Description";
constexpr uint32_t kValueSize = 250;
// Information files are small; a larger one reads as a file without keys.
constexpr size_t kMostInfoBytes = 64 * 1024;

std::string Value(const IniSectionText& file, const char* key, const char* fallback) {
  char buffer[kValueSize];
  file.GetString(key, fallback, buffer, sizeof buffer);
  return buffer;
}

// Information files and typed names are ISO Latin 1: its accented capitals fold too
// (0xC0-0xDE but the multiplication sign).
unsigned char FoldLatin1(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  return c;
}

bool ContainsIgnoringCase(const std::string& value, const std::string& text) {
  auto same = [](char a, char b) {
    return FoldLatin1(static_cast<unsigned char>(a)) == FoldLatin1(static_cast<unsigned char>(b));
  };
  return std::search(value.begin(), value.end(), text.begin(), text.end(), same) != value.end();
}

// The first key that is present, at least as long as the text and holds it (case ignored).
bool NameMatches(const IniSectionText& file, const std::string& text, std::initializer_list<const char*> keys) {
  for (const char* key : keys) {
    const std::string value = Value(file, key, "Done");
    if (value == "Done" || value.size() < text.size()) continue;
    if (ContainsIgnoringCase(value, text)) return true;
  }
  return false;
}

bool CodeMatches(int32_t code, uint32_t filter, int bits) {
  if (!filter) return true;
  if (code < 1 || code > bits) return false;
  return (filter >> (code - 1)) & 1u;
}

bool ConditionsMatch(const IniSectionText& file, const PlantConditionFilters& f) {
  if (!CodeMatches(file.GetInt("SunLight", 0), f.sun, 4)) return false;
  if (!CodeMatches(file.GetInt("Water", 0), f.water, 4)) return false;
  if (!CodeMatches(file.GetInt("Propagation", 0), f.propagation, 4)) return false;
  if (!CodeMatches(file.GetInt("SoilType", 0), f.soil, 8)) return false;
  if (!f.zone) return true;
  char key[8];
  for (int k = 0; k < 10; ++k) {
    if (!((f.zone >> k) & 1u)) continue;
    std::snprintf(key, sizeof key, "Zone%d", k + 1);
    if (file.GetInt(key, 0) == 1) return true;
  }
  return false;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// The files of the folders one search looks in, each folder listed once: a file is found by
// its exact name, else by its name ignoring case.
class FolderCache {
 public:
  // The existing regular file at path (whatever the case of its name), or "".
  std::string find(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    const Listing& listing = folder(path.substr(0, slash));
    const std::string name = path.substr(slash + 1);
    if (listing.exact.count(name)) return listing.path + "/" + name;
    auto it = listing.lower.find(Lower(name));
    return it == listing.lower.end() ? std::string() : listing.path + "/" + it->second;
  }

 private:
  struct Listing {
    std::string path;
    std::unordered_map<std::string, bool> exact;
    std::unordered_map<std::string, std::string> lower;
  };
  const Listing& folder(const std::string& folder) {
    auto found = folders_.find(folder);
    if (found != folders_.end()) return found->second;
    Listing listing;
    listing.path = ResolvePathIgnoringCase(folder);
    std::error_code ec;
    fs::directory_iterator it(listing.path, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
      std::error_code typeError;
      if (!it->is_regular_file(typeError)) continue;
      const std::string name = it->path().filename().string();
      listing.exact.emplace(name, true);
      auto [slot, added] = listing.lower.emplace(Lower(name), name);
      if (!added && name < slot->second) slot->second = name;
    }
    return folders_.emplace(folder, std::move(listing)).first->second;
  }
  std::unordered_map<std::string, Listing> folders_;
};

// The side file (last three characters replaced), found whatever its case; "" when missing.
std::string Side(FolderCache& files, const std::string& path, const char* ext) {
  const std::string replaced = ReplaceLastThree(path, ext);
  return replaced.empty() ? std::string() : files.find(replaced);
}

std::string PlantDescription(const IniSectionText& file) {
  const std::string name = Value(file, "CommonName", "");
  return name.empty() ? LocalizedString("No description") : name;
}

std::string ObjectDescription(const IniSectionText& file) {
  const std::string name = Value(file, "ObjectName", "");
  const std::string description = Value(file, "ObjectDescription", "");
  if (!description.empty() && description != name) return name + " (" + description + ")";
  return name;
}

bool Full(const ContentCategoryItem* results, size_t most) { return !results || results->numberOfSymEntries() >= most; }

// The regular files of a folder whose names end in the extension (case ignored), in name order.
std::vector<std::string> FilesEndingIn(const std::string& folder, const char* ext) {
  std::vector<std::string> out;
  std::error_code ec;
  const std::string resolved = ResolvePathIgnoringCase(folder);
  fs::directory_iterator it(resolved, ec), end;
  const size_t n = std::strlen(ext);
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    const std::string name = it->path().filename().string();
    if (name.size() < 4 || strcasecmp(name.c_str() + name.size() - n, ext) != 0) continue;
    out.push_back(resolved + "/" + name);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// A stock plant's entry when its image and information file exist (the preview is optional).
void AddStockPlant(ContentCategoryItem* results, FolderCache& files, int32_t id, const std::string& info,
                   const IniSectionText& file, int32_t* identifier) {
  const std::string data = Side(files, info, "QTX");
  if (data.empty()) return;
  const std::string preview = Side(files, info, "QPV");
  results->addSymEntryWithPreviewPath(preview.empty() ? nullptr : preview.c_str(), info.c_str(), data.c_str(),
                                      PlantDescription(file).c_str(), id, (*identifier)++, kEntryPlant);
}

template <typename Test>
void WalkStockPlants(ContentCategoryItem* results, uint32_t categoryBits, size_t most, Test test) {
  int32_t identifier = 1;
  FolderCache files;
  for (int row = 0; row < kStockPlantRanges && !Full(results, most); ++row) {
    if (!((categoryBits >> row) & 1u)) continue;
    const StockPlantRange& range = kStockPlantSearchRanges[row];
    for (int32_t i = 0; i < range.count && !Full(results, most); ++i) {
      const int32_t id = range.firstID + i;
      char name[kTexturePathSize] = {};
      GetTextureInfoFileNameFromID(id, name, sizeof name);
      if (!name[0]) continue;
      const std::string info = files.find(name);
      IniSectionText file;
      if (info.empty() || !file.Load(info.c_str(), kSection, kMostInfoBytes)) continue;
      if (test(file)) AddStockPlant(results, files, id, info, file, &identifier);
    }
  }
}

// A folder search (user plants, objects, symbols): each child in order, or the leaf's files.
struct FolderRule {
  int16_t libraryType;
  const char* infoExt;     // with the dot: the file found in the folder
  const char* dataExt;     // three characters
  bool previewRequired;
  int16_t entryType;
  bool runningNumber;
};

template <typename Test, typename Describe>
void WalkFolders(ContentCategoryItem* results, const ContentCategoryItem* item, const FolderRule& rule,
                 int32_t* identifier, size_t most, Test test, Describe describe) {
  if (!item || item->libraryType != rule.libraryType || Full(results, most)) return;
  if (item->numberOfChildren() > 0) {
    for (const auto& child : item->children()) {
      if (Full(results, most)) break;
      WalkFolders(results, child.get(), rule, identifier, most, test, describe);
    }
    return;
  }
  if (item->fullPath.empty()) return;
  // User plants take the caller's running number; objects number each folder's hits from 1.
  int32_t folderNumber = 1;
  if (!rule.runningNumber) identifier = &folderNumber;
  FolderCache files;
  for (const std::string& info : FilesEndingIn(item->fullPath, rule.infoExt)) {
    if (Full(results, most)) break;
    IniSectionText file;
    if (!file.Load(info.c_str(), kSection, kMostInfoBytes) || !test(file)) continue;
    const std::string data = Side(files, info, rule.dataExt);
    if (data.empty()) continue;
    const std::string preview = Side(files, info, "QPV");
    if (preview.empty() && rule.previewRequired) continue;
    results->addSymEntryWithPreviewPath(preview.empty() ? nullptr : preview.c_str(), info.c_str(), data.c_str(),
                                        describe(file).c_str(), (*identifier)++, rule.entryType);
  }
}

constexpr FolderRule kUserPlants{kLibraryCustomPlants, ".QTI", "QTX", false, kEntryUserPlant, true};
constexpr FolderRule k3DObjects{kLibraryObjects, ".QOD", "QOB", true, kEntry3DObject, false};
constexpr FolderRule k2DSymbols{kLibrarySymbols, ".QTI", "QSY", true, kEntrySymbol, false};

}  // namespace

bool PlantInfoFileMatchesConditions(const std::string& infoPath, const PlantConditionFilters& filters) {
  IniSectionText file;
  file.Load(ResolvePathIgnoringCase(infoPath).c_str(), kSection, kMostInfoBytes);
  return ConditionsMatch(file, filters);
}

void SearchOEMPlantsUsingName(ContentCategoryItem* results, const std::string& name, uint32_t categoryBits,
                              size_t most) {
  if (name.empty() || !categoryBits) return;
  WalkStockPlants(results, categoryBits, most,
                  [&](const IniSectionText& f) { return NameMatches(f, name, {"CommonName", "BotanicalName"}); });
}

void SearchUserPlantsUsingName(ContentCategoryItem* results, const std::string& name, const ContentCategoryItem* item,
                               int32_t* identifier, size_t most) {
  if (name.empty() || !identifier) return;
  WalkFolders(
      results, item, kUserPlants, identifier, most,
      [&](const IniSectionText& f) { return NameMatches(f, name, {"CommonName", "BotanicalName"}); },
      PlantDescription);
}

void SearchOEMPlantsUsingConditions(ContentCategoryItem* results, const PlantConditionFilters& filters, size_t most) {
  if (!filters.any()) return;
  WalkStockPlants(results, 0xFFFu, most, [&](const IniSectionText& f) { return ConditionsMatch(f, filters); });
}

void SearchUserPlantsUsingConditions(ContentCategoryItem* results, const PlantConditionFilters& filters,
                                     const ContentCategoryItem* item, int32_t* identifier, size_t most) {
  if (!filters.any() || !identifier) return;
  WalkFolders(
      results, item, kUserPlants, identifier, most,
      [&](const IniSectionText& f) { return ConditionsMatch(f, filters); }, PlantDescription);
}

void Search3DObjectsUsingName(ContentCategoryItem* results, const std::string& name, const ContentCategoryItem* item,
                              size_t most) {
  if (name.empty()) return;
  int32_t identifier = 1;
  WalkFolders(
      results, item, k3DObjects, &identifier, most,
      [&](const IniSectionText& f) { return NameMatches(f, name, {"ObjectName", "ObjectDescription", "KeyWords"}); },
      ObjectDescription);
}

void Search2DObjectsUsingName(ContentCategoryItem* results, const std::string& name, const ContentCategoryItem* item,
                              size_t most) {
  if (name.empty()) return;
  int32_t identifier = 1;
  WalkFolders(
      results, item, k2DSymbols, &identifier, most,
      [&](const IniSectionText& f) { return NameMatches(f, name, {"ObjectName", "ObjectDescription"}); },
      ObjectDescription);
}
