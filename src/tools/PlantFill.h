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

// Plants the entry (a stock or a user plant; any other entry plants nothing) along and inside
// the object on the current floor, as gFillPerimeter and gFillArea say, gPlantSpacing apart
// (a length, in the document's plan units). Each new plant is centred on its point; the last
// one planted is left selected, everything else deselected. Returns the number planted.
int32_t FillObjectWithPlants(Objex* object, const SymEntryInfo* entry);
