// The terrain elevation grid, its default setup, and its heights computed from the ground
// objects of the plan.
#include "model/TopoGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/PlanarPolygons.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/ViewProjection.h"

int32_t gTopoRowCnt = 0;
int32_t gTopoColumnCnt = 0;
float* gTopographyGrid = nullptr;
uint8_t gTopoInUse = 0;

bool gLotElevationPending = false;

namespace {
// The heights wait for the ground objects (see UpdateStaleLotElevation).
bool sHeightsStale = false;
// Open LotElevationBatch scopes.
int sElevationBatchDepth = 0;
}  // namespace

namespace {

// truncate(truncate(extent) / spacing) as a count, or -1 when it is not a usable count.
int32_t CellCount(float extent, float spacing) {
  if (!std::isfinite(extent) || !std::isfinite(spacing) || spacing <= 0) return -1;
  const double whole = std::trunc(static_cast<double>(extent));
  // The whole inches divided by the spacing in single precision, as the grid's float spacing
  // is: a spacing such as 1.2 then makes exactly 10 cells of 12 inches, not 9.
  const double cells = std::trunc(static_cast<double>(static_cast<float>(whole) / spacing));
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
  // Heights held back for this grid go with it.
  gLotElevationPending = false;
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
  sHeightsStale = false;
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
  // A fresh grid is flat: the ground objects have not been applied to it yet.
  sHeightsStale = gTopographyGrid != nullptr;
}

namespace {
int sGroundBatchDepth = 0;
int sGroundObjectsKnown = -1;  // within a batch: 1 or 0 once the design was walked
}  // namespace

GroundInUseBatch::GroundInUseBatch() {
  if (sGroundBatchDepth++ == 0) sGroundObjectsKnown = -1;
}
GroundInUseBatch::~GroundInUseBatch() {
  if (--sGroundBatchDepth == 0) sGroundObjectsKnown = -1;
}

bool TopoInUse() {
  gTopoInUse = 0;
  const DocState* ds = CurDocState();
  if (!ds || !gTopographyGrid) return false;
  if (ds->topoPath[0]) return (gTopoInUse = 1);
  if (sGroundBatchDepth > 0 && sGroundObjectsKnown >= 0) return (gTopoInUse = static_cast<uint8_t>(sGroundObjectsKnown));
  bool found = false;
  for (const Layer* l = gCurDocument->itsLayers; l && !found; l = l->next)
    for (const Objex* o = l->firstObject; o; o = o->next)
      if (o->type == kObjTopography || o->type == kObjEntireLot || o->type == kObjSlopeLotSection) {
        found = true;
        break;
      }
  if (sGroundBatchDepth > 0) sGroundObjectsKnown = found ? 1 : 0;
  return (gTopoInUse = found ? 1 : 0);
}

// ---- Heights from the ground objects ----

int IsPointInsideXZPolygon(const float* point, const float* vertices, int32_t count) {
  if (!point || !vertices || count < 1) return 0;
  const float x = point[0], z = point[1];
  int crossings = 0;
  for (int32_t i = 0; i < count; ++i) {
    const float* a = vertices + static_cast<size_t>(i) * 6;
    const float* b = vertices + static_cast<size_t>(i + 1 == count ? 0 : i + 1) * 6;
    const float xi = a[0], zi = a[2], xj = b[0], zj = b[2];
    if (zi == zj) continue;
    if (!(z > std::min(zi, zj) && z <= std::max(zi, zj) && x <= std::max(xi, xj))) continue;
    if (xi == xj || xi + (z - zi) * (xj - xi) / (zj - zi) >= x) ++crossings;
  }
  return crossings & 1;
}

int IsPointInsideXZPolygon(const float* point, const PlanarPolyPoint* vertices, int32_t count) {
  static_assert(sizeof(PlanarPolyPoint) == 6 * sizeof(float), "six slots of four bytes");
  return IsPointInsideXZPolygon(point, reinterpret_cast<const float*>(vertices), count);
}

int IsPointInsideWinPolygon(POINT point, const POINT* vertices, int32_t count) {
  if (!vertices || count < 1) return 0;
  int crossings = 0;
  for (int32_t i = 0; i < count; ++i) {
    const POINT& a = vertices[i];
    const POINT& b = vertices[i + 1 == count ? 0 : i + 1];
    if (a.y == b.y) continue;
    if (!(point.y > std::min(a.y, b.y) && point.y <= std::max(a.y, b.y) && point.x <= std::max(a.x, b.x)))
      continue;
    // The differences are taken in 64 bits: coordinates far apart overflow 32.
    const float crossing = static_cast<float>(a.x) + static_cast<float>(int64_t(point.y) - a.y) *
                                                         static_cast<float>(int64_t(b.x) - a.x) /
                                                         static_cast<float>(int64_t(b.y) - a.y);
    // Compared as doubles: a rounded crossing beyond the 32-bit range has no integer form.
    if (a.x == b.x || static_cast<double>(point.x) <= static_cast<double>(std::trunc(crossing + 0.5f))) ++crossings;
  }
  return crossings & 1;
}

namespace {

constexpr float kSlopeBound = 10000.0f;     // slope contributions of this size or more are ignored
constexpr float kStripHalfWidth = 12000.0f;  // a slope section's strip, each side of its line

struct GridFrame {
  float left, top, spacing;
  int32_t rows, columns;
  float x(int32_t c) const { return static_cast<float>(c) * spacing + left; }
  float z(int32_t r) const { return static_cast<float>(r) * spacing + top; }
  float& node(int32_t r, int32_t c) const {
    return gTopographyGrid[static_cast<int64_t>(r) * (columns + 1) + c];
  }
};

bool InSlopeBound(float h) { return h > -kSlopeBound && h < kSlopeBound; }

// The plane of a lot slope: through P0 at height 0, falling tan(slope) per inch towards P1.
struct SlopePlane {
  float a = 0, b = 0, c = 0, d = 0;
  float angle = 0, length = 0, fall = 0;  // direction P0 -> P1, their distance, tan(slope)
  float height(float x, float z) const { return ComputePointOnPlane(x, z, a, b, c, d); }
};

bool MakeSlopePlane(const Objex* o, SlopePlane* plane) {
  const Poinz* p0 = o->firstPoint;
  const Poinz* p1 = p0 ? p0->next : nullptr;
  if (!p1) return false;
  const float x0 = p0->position[0], z0 = p0->position[2];
  plane->angle = GetLineLengthAndAngle(x0, z0, p1->position[0], p1->position[2], &plane->length);
  plane->fall = std::tan(p0->segmentFloats[0] * gPiDiv180);
  float ax, az, bx, bz;
  GetPointFromLengthAndAngle(plane->angle, 1000, &ax, &az);
  GetPointFromLengthAndAngle(plane->angle + 3.14159265f / 2, 1000, &bx, &bz);
  CalcParametric(x0, z0, 0, x0 + ax, z0 + az, -1000 * plane->fall, x0 + bx, z0 + bz, 0, &plane->a, &plane->b,
                 &plane->c, &plane->d);
  return true;
}

void AddEntireLot(const GridFrame& g, const Objex* o) {
  SlopePlane plane;
  if (!MakeSlopePlane(o, &plane)) return;
  for (int32_t r = 0; r <= g.rows; ++r)
    for (int32_t c = 0; c <= g.columns; ++c) {
      const float h = plane.height(g.x(c), g.z(r));
      if (InSlopeBound(h)) g.node(r, c) += h;
    }
}

void AddSlopeSection(const GridFrame& g, const Objex* o) {
  SlopePlane plane;
  if (!MakeSlopePlane(o, &plane)) return;
  const Poinz* p0 = o->firstPoint;
  const Poinz* p1 = p0->next;
  const float x0 = p0->position[0], z0 = p0->position[2], x1 = p1->position[0], z1 = p1->position[2];
  float wx, wz;
  GetPointFromLengthAndAngle(plane.angle + 3.14159265f / 2, kStripHalfWidth, &wx, &wz);
  PlanarPolyPoint strip[4] = {{x0 + wx, 0, z0 + wz, 0, 0, 0},
                              {x0 - wx, 0, z0 - wz, 0, 0, 0},
                              {x1 - wx, 0, z1 - wz, 0, 0, 0},
                              {x1 + wx, 0, z1 + wz, 0, 0, 0}};
  const float beyond = -plane.length * plane.fall;
  for (int32_t r = 0; r <= g.rows; ++r)
    for (int32_t c = 0; c <= g.columns; ++c) {
      const float point[2] = {g.x(c), g.z(r)};
      float h;
      if (IsPointInsideXZPolygon(point, strip, 4)) {
        h = plane.height(point[0], point[1]);
      } else {
        const float fromP0 = GetLineLength(x0, z0, point[0], point[1]);
        const float fromP1 = GetLineLength(x1, z1, point[0], point[1]);
        if (!(fromP0 > fromP1)) continue;
        h = beyond;
      }
      if (InSlopeBound(h)) g.node(r, c) += h;
    }
}

// A topography region raises (or lowers) the nodes inside its flattened outline. Only the
// nodes within the outline's box are tested: none outside it can be inside.
void AddTopographyRegion(const GridFrame& g, const Objex* o) {
  int32_t count = o->pointCount;
  PlanarPolyPoint* polygon = CreatePlanarPolygon(o->firstPoint, &count);
  if (!polygon) return;
  if (count >= 3) {
    float minX = polygon[0].x, maxX = minX, minZ = polygon[0].z, maxZ = minZ;
    for (int32_t i = 1; i < count; ++i) {
      minX = std::min(minX, polygon[i].x), maxX = std::max(maxX, polygon[i].x);
      minZ = std::min(minZ, polygon[i].z), maxZ = std::max(maxZ, polygon[i].z);
    }
    auto firstLine = [&](float v, float origin, int32_t last) {
      const double k = std::floor((static_cast<double>(v) - origin) / g.spacing);
      return static_cast<int32_t>(std::clamp(k, 0.0, static_cast<double>(last)));
    };
    auto lastLine = [&](float v, float origin, int32_t last) {
      const double k = std::ceil((static_cast<double>(v) - origin) / g.spacing);
      return static_cast<int32_t>(std::clamp(k, -1.0, static_cast<double>(last)));
    };
    const int32_t r0 = firstLine(minZ, g.top, g.rows), r1 = lastLine(maxZ, g.top, g.rows);
    const int32_t c0 = firstLine(minX, g.left, g.columns), c1 = lastLine(maxX, g.left, g.columns);
    const float height = o->width;
    for (int32_t r = r0; r <= r1; ++r)
      for (int32_t c = c0; c <= c1; ++c) {
        const float point[2] = {g.x(c), g.z(r)};
        if (IsPointInsideXZPolygon(point, polygon, count)) g.node(r, c) += height;
      }
  }
  DeletePlanarPolygon(polygon);
}

}  // namespace

bool IsGroundObjectType(int16_t type) {
  return type == kObjEntireLot || type == kObjTopography || type == kObjSlopeLotSection;
}

namespace {

void ComputeLotElevation() {
  gLotElevationPending = false;
  const DocState* ds = CurDocState();
  if (!ds || gTopoRowCnt < 1 || gTopoColumnCnt < 1 || !gTopographyGrid) return;
  const GridFrame g{ds->planBounds.floatLeft, ds->planBounds.floatTop, ds->topoGridSpacing, gTopoRowCnt,
                    gTopoColumnCnt};
  std::fill_n(gTopographyGrid, static_cast<size_t>(gTopoRowCnt + 1) * (gTopoColumnCnt + 1), 0.0f);
  sHeightsStale = false;
  if (!std::isfinite(g.spacing) || !(g.spacing > 0)) return;
  for (const Layer* l = gCurDocument->itsLayers; l; l = l->next)
    for (const Objex* o = l->firstObject; o; o = o->next) {
      if (o->type == kObjEntireLot) AddEntireLot(g, o);
      else if (o->type == kObjSlopeLotSection) AddSlopeSection(g, o);
      else if (o->type == kObjTopography) AddTopographyRegion(g, o);
    }
}

}  // namespace

void SetLotElevation() {
  NoteServiceCall("SetLotElevation", nullptr);
  if (!LiveViewWindowVisible()) {
    gRenderOnShow = 1;
    sHeightsStale = gTopographyGrid != nullptr;
    return;
  }
  if (sElevationBatchDepth == 0) return ComputeLotElevation();
  // Held back: the heights count as worked out from here on, as they would be now.
  if (CurDocState() && gTopoRowCnt >= 1 && gTopoColumnCnt >= 1 && gTopographyGrid) sHeightsStale = false;
  gLotElevationPending = true;
}

void WorkOutPendingLotElevation() {
  if (gLotElevationPending) ComputeLotElevation();
}

LotElevationBatch::LotElevationBatch() { ++sElevationBatchDepth; }

LotElevationBatch::~LotElevationBatch() {
  if (--sElevationBatchDepth == 0) WorkOutPendingLotElevation();
}

void UpdateStaleLotElevation() {
  if (sHeightsStale && LiveViewWindowVisible()) SetLotElevation();
}

bool LotElevationStale() { return sHeightsStale; }

void LotElevationForReading() {
  if (sHeightsStale || gLotElevationPending) ComputeLotElevation();
}
