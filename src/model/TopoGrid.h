// The terrain elevation grid the 3D view draws: (rows + 1) x (columns + 1) node heights
// over the lot, row by row, and its default setup from the lot bounds and grid spacing.
#pragma once
#include <cstdint>

// The counts and the block always change together: the block holds (rows + 1) * (columns + 1)
// floats, and without a block both counts are 0.
extern int32_t gTopoRowCnt;
extern int32_t gTopoColumnCnt;
extern float* gTopographyGrid;  // malloc'd

// Largest row or column count and node count a grid may have (16 MB of heights).
constexpr int32_t kMaxTopoGridCells = 8192;
constexpr int64_t kMaxTopoGridNodes = 4 * 1024 * 1024;

// Node count of a grid of rows by columns, or 0 when either count is below 1 or the grid
// would exceed the limits above.
int64_t TopoGridNodeCount(int32_t rows, int32_t columns);

// Frees the grid and, with a current DocState, allocates a zeroed one of
// truncate(truncate(planBounds height) / topoGridSpacing) rows and the same of the width
// in columns. No grid when the spacing is not positive or the sizes are not usable.
void SetupTopoGrid();
// Replaces the grid with `grid` (malloc'd, owned from now on) of rows by columns.
void AdoptTopoGrid(float* grid, int32_t rows, int32_t columns);
// Frees the grid; both counts become 0.
void FreeTopoGrid();
