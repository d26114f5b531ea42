// Lifting new plane objects (and plan objects) to their final height: the object's base
// elevation, or the terrain of the topography grid under it.
#include "building3d/TopoElevation.h"

#include <algorithm>
#include <cmath>

#include "building3d/PlaneObjects.h"
#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/TopoGrid.h"
#include "model/ViewProjection.h"

namespace {

constexpr float kNoTerrainValue = -10000.0f;
constexpr float kHighestStart = 10000.0f;  // e before the terrain lowers it
constexpr float kPathLift = 6.0f;           // paths and fills lie this far above the terrain
constexpr float kPropertyLineLift = 3.0f;

// The grid node (row, column), or kNoTerrainValue outside the grid.
float Node(int32_t row, int32_t column) {
  if (row < 0 || column < 0 || row > gTopoRowCnt || column > gTopoColumnCnt) return kNoTerrainValue;
  return gTopographyGrid[static_cast<int64_t>(row) * (gTopoColumnCnt + 1) + column];
}

// Index of the grid line at or before `offset` (cells of `size`), kept within 0..last.
int32_t LineIndex(float offset, float size, int32_t last) {
  const double index = std::floor(static_cast<double>(offset) / size);
  return static_cast<int32_t>(std::clamp(index, 0.0, static_cast<double>(last)));
}

// The cell of the lookup along one axis: cells are closed squares met from the top and from
// the left, so an offset exactly on an inner grid line belongs to the cell before that line.
int32_t CellIndex(float offset, float size, int32_t last) {
  const int32_t line = LineIndex(offset, size, last);
  if (line > 0 && line < last && static_cast<double>(line) * size == static_cast<double>(offset)) return line - 1;
  return line;
}

// The height in a cell with a corner that holds no value. A point on a grid line of the cell
// gives no weight to the corners off that line: a corner without a value there changes
// nothing (on a node, the node's own value). A corner without a value that has weight would
// pull the surface towards -10000: then there is no value. Offsets are from the grid's top
// left corner, compared with the lines as CellIndex places them.
float ValueWithoutEmptyCorners(float offsetX, float offsetZ, float s, int32_t i, int32_t j, float a, float b, float c,
                               float d, float u, float w) {
  auto onLine = [s](float offset, int32_t line) { return static_cast<double>(line) * s == static_cast<double>(offset); };
  if (onLine(offsetX, j)) u = 0;
  else if (onLine(offsetX, j + 1)) u = 1;
  if (onLine(offsetZ, i)) w = 0;
  else if (onLine(offsetZ, i + 1)) w = 1;
  const float corners[4] = {a, b, c, d};
  const float weights[4] = {(1 - u) * (1 - w), u * (1 - w), (1 - u) * w, u * w};
  float value = 0;
  for (int k = 0; k < 4; ++k) {
    if (weights[k] == 0) continue;
    if (corners[k] == kNoTerrainValue) return kNoTerrainValue;
    value += weights[k] * corners[k];
  }
  return value;
}

// Grid value at (x, z) before negation; kNoTerrainValue where there is none.
float GridValueAt(const DocState* ds, float x, float z) {
  LotElevationUpToDate();
  const float s = ds->topoGridSpacing;
  if (!gTopographyGrid || gTopoRowCnt < 1 || gTopoColumnCnt < 1 || !(s > 0)) return kNoTerrainValue;
  if (!std::isfinite(x) || !std::isfinite(z)) return kNoTerrainValue;
  const float left = ds->planBounds.floatLeft, top = ds->planBounds.floatTop;
  const float right = left + s * gTopoColumnCnt, bottom = top + s * gTopoRowCnt;
  const bool insideX = x >= left && x <= right, insideZ = z >= top && z <= bottom;

  if (insideX && insideZ) {
    const int32_t j = CellIndex(x - left, s, gTopoColumnCnt);
    const int32_t i = CellIndex(z - top, s, gTopoRowCnt);
    if (i == gTopoRowCnt || j == gTopoColumnCnt) {
      // On the last grid line there is no cell: the nearest node of that line.
      const int32_t row = i == gTopoRowCnt ? i : LineIndex(z - top + s / 2, s, gTopoRowCnt);
      const int32_t column = j == gTopoColumnCnt ? j : LineIndex(x - left + s / 2, s, gTopoColumnCnt);
      return Node(row, column);
    }
    const float a = Node(i, j), b = Node(i, j + 1), c = Node(i + 1, j), d = Node(i + 1, j + 1);
    const float u = (x - (left + s * j)) / s, w = (z - (top + s * i)) / s;
    if (a == kNoTerrainValue || b == kNoTerrainValue || c == kNoTerrainValue || d == kNoTerrainValue)
      return ValueWithoutEmptyCorners(x - left, z - top, s, i, j, a, b, c, d, u, w);
    const float p1 = a + (b - a) * u;
    const float p2 = a + (c - a) * w;
    const float first = p2 + (b + (d - b) * w - p2) * u;
    const float second = p1 + (c + (d - c) * u - p1) * w;
    return (first + second) / 2;
  }
  // Beyond one edge only: the second grid line in from that edge.
  if (!insideZ && x > left && x < right) {
    const int32_t row = z < top ? 1 : gTopoRowCnt - 1;
    return Node(row, LineIndex(x - left, s, gTopoColumnCnt));
  }
  if (!insideX && z > top && z < bottom) {
    const int32_t column = x < left ? 1 : gTopoColumnCnt - 1;
    return Node(LineIndex(z - top, s, gTopoRowCnt), column);
  }
  return kNoTerrainValue;
}

float TerrainAt(const DocState* ds, bool inUse, float x, float z) {
  if (!inUse) return 0;
  const float value = GridValueAt(ds, x, z);
  return value == kNoTerrainValue ? 0 : -value;
}

template <typename Visit>
void ForEachVertex(PlaneObject* planeObject, Visit visit) {
  for (Plane* plane = planeObject->planes; plane; plane = plane->next)
    for (int32_t k = 0; plane->vertices && k < plane->vertexCount; ++k) visit(plane->vertices[k]);
}

bool IsGroundPart(int16_t partType) {  // paths, path surfaces, fills, ground fills
  return partType == 22 || partType == 23 || partType == 26 || partType == 27;
}
bool KeepsItsHeights(int16_t partType) {  // symbol parts, edging, cabinets
  return partType == 15 || partType == 24 || partType == 136;
}

// Base elevation (world units) of the plane object's part for a root that is not a wall.
float PartElevation(const PlaneObject* planeObject, const Objex* root) {
  const Objex* actual = planeObject->actual3DObject;
  if (root->type == kObjTopoExcavation) return actual ? actual->baseElevation : 0;
  float e = root->baseElevation;
  if (root->type == kObjGroup && root->subtype == 170 && actual) {
    const int16_t t = actual->type;
    const int32_t sub = actual->subtype;
    const bool wallFace = t == kObjWallFace && (sub == 170 || (sub >= 173 && sub <= 176));
    if (wallFace || t == 13 || t == 47 || t == 52 || t == 135 || t == 158 || t == 170)
      e += actual->baseElevation;
  }
  return e;
}

// Base elevation (world units) of a part of a wall.
float WallPartElevation(const PlaneObject* planeObject, const Objex* wall) {
  float e = planeObject->elevation;
  const Objex* actual = planeObject->actual3DObject;
  if (actual && actual->type == kObjAccessory && actual->typeData)
    e -= static_cast<const DoorWindowData*>(actual->typeData)->height;
  if (planeObject->partType == kObjWallFace && planeObject->renderKind == 126)
    e = planeObject->elevation + wall->baseElevation;
  return e;
}

// The lot: the first whole-lot object of any layer with at least one segment.
const Objex* FindLot() {
  if (!gCurDocument) return nullptr;
  for (const Layer* l = gCurDocument->itsLayers; l; l = l->next)
    for (const Objex* o = l->firstObject; o; o = o->next)
      if (o->type == kObjEntireLot && o->firstPoint && o->firstPoint->next) return o;
  return nullptr;
}

}  // namespace

float GetTopoElevationAtGridPt(float x, float z) {
  const DocState* ds = CurDocState();
  if (!ds || !TopoInUse()) return 0;
  return TerrainAt(ds, true, x, z);
}

void SetPropertyLineElevation(PlaneObject* planeObject) {
  if (!planeObject) return;
  const Objex* lot = FindLot();
  if (!lot) {
    ForEachVertex(planeObject, [](PlaneVertex& v) { v.y = -kPropertyLineLift; });
    return;
  }
  const Poinz* p0 = lot->firstPoint;
  const Poinz* p1 = p0->next;
  float length = 0;
  const float angle = GetLineLengthAndAngle(p0->position[0], p0->position[2], p1->position[0],
                                            p1->position[2], &length);
  const float slope = lot->firstPoint->segmentFloats[0] * gPiDiv180;
  float ax, az, bx, bz;
  GetPointFromLengthAndAngle(angle, 1000, &ax, &az);
  GetPointFromLengthAndAngle(angle + 3.14159265f / 2, 1000, &bx, &bz);
  const float x0 = p0->position[0], z0 = p0->position[2];
  float a, b, c, d;
  CalcParametric(x0, z0, 0, x0 + ax, z0 + az, -std::tan(slope) * 1000, x0 + bx, z0 + bz, 0, &a, &b,
                 &c, &d);
  ForEachVertex(planeObject, [&](PlaneVertex& v) {
    const float h = ComputePointOnPlane(v.x, v.z, a, b, c, d);
    if (h > -10000 && h < 10000) v.y = -(h + kPropertyLineLift);
  });
}

void ElevatePlaneObject(PlaneObject* planeObject, Objex* object) {
  const DocState* ds = CurDocState();
  if (!planeObject || !ds || !object) return;
  // A wall, roof, deck ... in a group stands where its own elevations put it, not where the
  // group's base elevation would.
  const Objex* root = GetPlacementObject(object);
  if (!root) return;
  if (planeObject->partType == kObjPropertyLine) {
    SetPropertyLineElevation(planeObject);
    return;
  }
  const int16_t part = planeObject->partType;
  if (!root->auxFlag) {
    const float world = root->type == kObjWall ? WallPartElevation(planeObject, root)
                                               : PartElevation(planeObject, root);
    const float e = ConvertWorldToScreen(world, ds, 0);
    ForEachVertex(planeObject, [e](PlaneVertex& v) { v.y -= e; });
    return;
  }
  // On the terrain: ground parts lie on it, the rest stands on its highest point beneath.
  const bool inUse = TopoInUse();
  float e = kHighestStart;
  ForEachVertex(planeObject, [&](PlaneVertex& v) {
    if (IsGroundPart(part))
      v.y = TerrainAt(ds, inUse, v.x, v.z) - kPathLift;
    else if (!KeepsItsHeights(part))
      e = std::min(e, TerrainAt(ds, inUse, v.x, v.z));
  });
  if (IsGroundPart(part) || KeepsItsHeights(part)) return;
  ForEachVertex(planeObject, [e](PlaneVertex& v) { v.y += e; });
}

void ElevateObject(Objex* object) {
  const DocState* ds = CurDocState();
  if (!object || !ds) return;
  const Objex* root = GetPlacementObject(object);
  if (!root || !object->firstPoint) return;
  if (!root->auxFlag) {
    const float e = ConvertWorldToScreen(root->baseElevation, ds, 0);
    for (Poinz* p = object->firstPoint; p; p = p->next) p->position[1] -= e;
    return;
  }
  const bool inUse = TopoInUse();
  auto terrain = [&](const Poinz* p) { return TerrainAt(ds, inUse, p->position[0], p->position[2]); };
  if (root->type == kObjPath || root->type == kObjPathSurface) {
    for (Poinz* p = object->firstPoint; p; p = p->next) p->position[1] = terrain(p);
  } else if (root->type == kObjEdging) {
    const float shift = terrain(object->firstPoint) - object->firstPoint->position[1];
    for (Poinz* p = object->firstPoint; p; p = p->next) p->position[1] += shift;
  } else {
    float lowest = kHighestStart;
    for (const Poinz* p = object->firstPoint; p; p = p->next) lowest = std::min(lowest, terrain(p));
    for (Poinz* p = object->firstPoint; p; p = p->next) p->position[1] = lowest;
  }
}

float GroundUnderObject(const Objex* object) {
  const DocState* ds = CurDocState();
  if (!object || !ds || !TopoInUse()) return 0;
  // The ground as the 3D view will show it, though the view may be hidden and its heights
  // wait for it.
  LotElevationForReading();
  float highest = INFINITY;  // up is negative
  auto under = [&](auto&& self, const Objex* o) -> void {
    for (const Poinz* p = o->firstPoint; p; p = p->next)
      highest = std::min(highest, TerrainAt(ds, true, p->position[0], p->position[2]));
    if (o->type == kObjGroup)
      for (const Objex* c = o->firstChild; c; c = c->next) self(self, c);
  };
  under(under, object);
  if (!std::isfinite(highest)) return 0;
  const float inches = ConvertScreenToWorld(-highest, ds, 0);
  return std::isfinite(inches) ? inches : 0;
}
