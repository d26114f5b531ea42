// Plant records (the growth and look of one plant, read from its information file) and the
// growth of plants: the one computation of a plant's size from its age.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct Objex;

// Owned by its plant object; never written into any file. Allocated zeroed.
struct PlantInfo {
  char commonName[64];
  char botanicalName[64];
  int16_t type;         // stored as read
  int16_t propagation;  // 1 winter .. 4 autumn
  int16_t water;        // 1 minimal .. 4 excessive
  int16_t sunLight;     // 1 minimal .. 4 excessive
  int16_t maximumGrowthHeight;  // world units; growth stops there
  int16_t soilType;     // 1 sandy .. 9 potting
  uint8_t zone[10];     // 1: the plant grows in hardiness zone i + 1
  float annualGrowthRate;  // percent a year
};

// Largest plant information file read; a larger one reads as a file without keys.
constexpr long kMaxPlantInfoFileBytes = 64 * 1024;
// Maximum heights of plants whose file gives none (or 0 or less), in world units.
constexpr int16_t kStockPlantDefaultMaxHeight = 24;
constexpr int16_t kUserPlantDefaultMaxHeight = 72;

// A record filled from the stock information file of a texture id (1..14999). A bad id or
// no current document leaves it zeroed. Null only when allocation fails.
PlantInfo* CreatePlantInfo(int32_t textureID);
// Null for a null path; otherwise a record filled from the information file beside the image
// (the image path with its last three characters replaced by "qti").
PlantInfo* CreateUserPlantInfo(const char* imagePath);
// Fill an existing record; nothing without a record, a current document and its state, a
// texture id in 1..14999 (stock) or a path (user). Names the file lacks (or gives as "Done")
// stay as they were.
void InitializePlantInfo(PlantInfo* info, int32_t textureID);
void InitializeUserPlantInfo(PlantInfo* info, const char* imagePath);
// An independent copy; null for null.
PlantInfo* DuplicatePlantInfo(const PlantInfo* info);
// Frees a record; null does nothing.
void DeletePlantInfo(PlantInfo* info);
// Each information file is parsed once while it stays the same file with the same size,
// modification time and change time, and every record filled from it gets a copy of what it
// gave. The count of parses so far (missing files included).
size_t PlantInfoFileParses();

// The information file path of a user plant image: the path with its last three characters
// (when it has more than three) replaced by "qti".
std::string UserPlantInfoPath(const char* imagePath);
// That path as the user reader opens it (a path short enough is looked up again under the
// content folder when it does not exist); "" for null.
std::string FoundUserPlantInfoPath(const char* imagePath);
// The information file of a plant object: the user reader's path for a user plant, the stock
// file of its first point's texture id otherwise; "" for anything else.
std::string PlantInfoFilePath(const Objex* plant);
// Fills a plant object's record again from its information file (nothing without a record).
void RefillPlantInfo(Objex* plant);

// Width and height of a plant from its growth level (Objex.plantAge), planting age
// (Objex.fillPattern) and record, in plan units. The outputs are untouched unless the plant
// is a plant with a record and there is a current document. With resize set, the footprint
// is scaled to the width about its centre, the plant is re-rendered and left selected.
void GetPlantBounds(Objex* plant, float* width, float* height, int resize);

// Re-reads the record of every plant of the current document that shows the stock texture id
// or, for user plants, the image path (case ignored), and resizes it.
void UpdateMatchingPlantsInfo(int32_t textureID, const char* userImagePath);
