// Filling a 2D object with plants: copies of one plant along its outline, on a grid inside
// it, or both, at a fixed spacing.
#pragma once
#include <cstdint>

struct Objex;
struct SymEntryInfo;

// The fill sheet's last values while the program runs: plant inside, plant along the outline,
// the spacing in inches (1 to 3000).
extern uint8_t gFillArea;
extern uint8_t gFillPerimeter;
extern float gPlantSpacing;

// The plain 2D shapes (types 1 to 7), property lines, paths, fills, ground fills and details.
bool IsPlantFillable(const Objex* object);
// The spacing a typed length gives: below 1 inch 1, above 3000 inches 3000 (not a number: 1).
float ClampedPlantSpacing(float inches);

// A fill stops after this many plants for one object, however small the spacing.
constexpr int32_t kMostPlantsPerFill = 20000;

// The walk over the area stops after this many steps (cells and outline sides looked at),
// however few plants it has found: a fill of this much work is not one a user waits for.
constexpr int64_t kMostPlantFillSteps = 100'000'000;

// Why a fill stopped before it was done.
enum class PlantFillStop { kNone, kEscape, kWorkLimit };
// How a fill went: why it stopped early, if it did, and the steps of its walk inside.
struct PlantFillReport {
  PlantFillStop stop = PlantFillStop::kNone;
  int64_t steps = 0;
};

// Plants the entry (a stock or a user plant; any other entry plants nothing) along and inside
// the object on the current floor, as gFillPerimeter and gFillArea say, gPlantSpacing apart
// (a length, in the document's plan units). Each new plant is centred on its point; the last
// one planted is left selected, everything else deselected. Returns the number planted. The
// walk inside polls the key watch: Escape stops it, and so does the step limit above; what
// was planted stays, and `report` (when given) says how the walk went.
int32_t FillObjectWithPlants(Objex* object, const SymEntryInfo* entry, PlantFillReport* report = nullptr);
