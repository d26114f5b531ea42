// The content palette's library searches: stock and user plants by name or by growing
// conditions, 3D objects and 2D symbols by name. Each adds its hits to a result category and
// stops once that holds `most` entries.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class ContentCategoryItem;

// Growing-condition filters: bit k stands for code k + 1 (zones: zone k + 1); 0 is not applied.
struct PlantConditionFilters {
  uint32_t zone = 0;         // 10 bits
  uint32_t sun = 0;          // 4 bits
  uint32_t soil = 0;         // 8 bits ("Potting", 9, never matches)
  uint32_t water = 0;        // 4 bits
  uint32_t propagation = 0;  // 4 bits
  bool any() const { return zone || sun || soil || water || propagation; }
};

// The stock plant categories in search order: the category bit of row r is 1 << r.
struct StockPlantRange {
  const char* name;
  int32_t firstID;
  int32_t count;
};
constexpr int kStockPlantRanges = 12;
extern const StockPlantRange kStockPlantSearchRanges[kStockPlantRanges];

// Whether the information file's plant matches the filters (read once).
bool PlantInfoFileMatchesConditions(const std::string& infoPath, const PlantConditionFilters& filters);

void SearchOEMPlantsUsingName(ContentCategoryItem* results, const std::string& name, uint32_t categoryBits,
                              size_t most);
void SearchUserPlantsUsingName(ContentCategoryItem* results, const std::string& name, const ContentCategoryItem* item,
                               int32_t* identifier, size_t most);
void SearchOEMPlantsUsingConditions(ContentCategoryItem* results, const PlantConditionFilters& filters, size_t most);
void SearchUserPlantsUsingConditions(ContentCategoryItem* results, const PlantConditionFilters& filters,
                                     const ContentCategoryItem* item, int32_t* identifier, size_t most);
void Search3DObjectsUsingName(ContentCategoryItem* results, const std::string& name, const ContentCategoryItem* item,
                              size_t most);
void Search2DObjectsUsingName(ContentCategoryItem* results, const std::string& name, const ContentCategoryItem* item,
                              size_t most);
