// The terrain elevation grid and its default setup.
#include "model/TopoGrid.h"

#include <cmath>
#include <cstdlib>

#include "model/DocState.h"
#include "model/DocumentModel.h"

int32_t gTopoRowCnt = 0;
int32_t gTopoColumnCnt = 0;
float* gTopographyGrid = nullptr;

namespace {

// truncate(truncate(extent) / spacing) as a count, or -1 when it is not a usable count.
int32_t CellCount(float extent, float spacing) {
  if (!std::isfinite(extent) || !std::isfinite(spacing) || spacing <= 0) return -1;
  const double whole = std::trunc(static_cast<double>(extent));
  const double cells = std::trunc(whole / spacing);
  if (!(cells >= 0) || cells > kMaxTopoGridCells) return -1;
  return static_cast<int32_t>(cells);
}

}  // namespace

int64_t TopoGridNodeCount(int32_t rows, int32_t columns) {
  if (rows < 1 || columns < 1 || rows > kMaxTopoGridCells || columns > kMaxTopoGridCells) return 0;
  const int64_t nodes = (static_cast<int64_t>(rows) + 1) * (static_cast<int64_t>(columns) + 1);
  return nodes <= kMaxTopoGridNodes ? nodes : 0;
}

void FreeTopoGrid() {
  free(gTopographyGrid);
  gTopographyGrid = nullptr;
  gTopoRowCnt = gTopoColumnCnt = 0;
}

void AdoptTopoGrid(float* grid, int32_t rows, int32_t columns) {
  FreeTopoGrid();
  if (!grid) return;
  gTopographyGrid = grid;
  gTopoRowCnt = rows;
  gTopoColumnCnt = columns;
}

void SetupTopoGrid() {
  FreeTopoGrid();
  const DocState* ds = CurDocState();
  if (!ds) return;
  const FloatRect& b = ds->planBounds;
  const int32_t rows = CellCount(b.floatBottom - b.floatTop, ds->topoGridSpacing);
  const int32_t columns = CellCount(b.floatRight - b.floatLeft, ds->topoGridSpacing);
  if (rows < 0 || columns < 0) return;
  const int64_t nodes = (static_cast<int64_t>(rows) + 1) * (static_cast<int64_t>(columns) + 1);
  if (nodes > kMaxTopoGridNodes) return;
  auto* grid = static_cast<float*>(calloc(static_cast<size_t>(nodes), sizeof(float)));
  AdoptTopoGrid(grid, rows, columns);
}
