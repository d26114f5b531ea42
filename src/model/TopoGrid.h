// The terrain elevation grid the 3D view draws: (rows + 1) x (columns + 1) node heights
// over the lot, row by row, its default setup from the lot bounds and grid spacing, and the
// heights computed from the lot slopes, slope sections and topography regions.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct PlanarPolyPoint;

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

// The last answer of TopoInUse.
extern uint8_t gTopoInUse;
// Whether the terrain is in use (also stored in gTopoInUse): a grid exists and either the
// design names a topography grid file or some layer holds, on its top level, a topography
// region, an entire lot or a slope lot section.
bool TopoInUse();

// Lots, topography regions and slope sections: the objects the ground's heights come from.
bool IsGroundObjectType(int16_t type);

// Recomputes every node height from the ground objects of every layer (heights of
// topography regions, lot slopes and slope lot sections add up). Node (r, c) lies at
// x = left + c * spacing, z = top + r * spacing of the plan bounds. With the 3D window
// hidden only gRenderOnShow is set; the heights are brought up to date when the scene is
// next rebuilt for the shown window (UpdateStaleLotElevation).
void SetLotElevation();
// Computes the heights when they are stale: SetLotElevation ran while the 3D window was
// hidden, or the grid was set up afresh (SetupTopoGrid) since. A grid read from a file is not
// stale. Nothing while the 3D window is hidden.
void UpdateStaleLotElevation();
// True while the heights wait for UpdateStaleLotElevation.
bool LotElevationStale();
// Computes the heights now when they wait for the ground objects, whether or not the 3D
// window is shown: for what reads them while it may be hidden (the ground under an object
// that Object Elevation shows and measures from).
void LotElevationForReading();

// While a batch is open, SetLotElevation with the 3D window shown leaves the heights to be
// worked out once: before anything next reads them (see LotElevationUpToDate) or when the
// outermost batch ends, whichever comes first. A command that moves or deletes many ground
// objects then works the heights out once instead of once per object, and whatever reads them
// in between (objects standing on the terrain, the lot) still reads them as the last change
// left them.
class LotElevationBatch {
 public:
  LotElevationBatch();
  ~LotElevationBatch();
  LotElevationBatch(const LotElevationBatch&) = delete;
  LotElevationBatch& operator=(const LotElevationBatch&) = delete;
};
// While one lives, whether the design has ground (TopoInUse) is worked out once: a walk that
// reads the ground under each object it visits, and adds or removes no ground object, asks it
// for every one of them.
class GroundInUseBatch {
 public:
  GroundInUseBatch();
  ~GroundInUseBatch();
  GroundInUseBatch(const GroundInUseBatch&) = delete;
  GroundInUseBatch& operator=(const GroundInUseBatch&) = delete;
};
// Set while a batch holds back heights SetLotElevation asked for.
extern bool gLotElevationPending;
void WorkOutPendingLotElevation();
// Every reader of the heights calls this first.
inline void LotElevationUpToDate() {
  if (gLotElevationPending) WorkOutPendingLotElevation();
}

// Crossing-number tests of a point against a closed polygon (the last vertex joins the
// first). The float test takes the point as (x, z) and vertices of six floats each, x first
// and z third (PlanarPolyPoint records); the integer one takes POINT records. 1 inside, 0
// outside, for null arguments or a count below 1.
int IsPointInsideXZPolygon(const float* point, const float* vertices, int32_t count);
int IsPointInsideXZPolygon(const float* point, const PlanarPolyPoint* vertices, int32_t count);
int IsPointInsideWinPolygon(POINT point, const POINT* vertices, int32_t count);
