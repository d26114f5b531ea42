// Point evaluation: window point to world point through the view, the grid, the tool's
// constraint, shape squaring and object snaps; and the nearest-segment searches.
#include "tools/PointEvaluation.h"

#include <cmath>
#include <cstdlib>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grid.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/RepeatBound.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/ViewProjection.h"
#include "tools/Constraints.h"
#include "tools/ObjectSnaps.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

uint8_t gSkipConstraints = 0;
uint8_t gLockRectTool = 0, gLockOvalTool = 0, gLockArcTool = 0;
uint16_t gResetWallTool = kToolInteriorWall;
uint8_t gResetToWallTool = 0;
ClickInfo gSnapInfo{};

namespace {

constexpr uint16_t kSnapNone = 500;
constexpr uint16_t kSnapIntersection = 505;
constexpr uint16_t kSnapPerpendicular = 506;
constexpr uint16_t kSnapOrigin = 510;

enum class Treatment { kNone, kGrid, kPolyAngle, kAngle, kSelection };

bool IsWallDrawingTool(uint16_t tool) { return tool >= kToolExteriorWall && tool <= kToolCurvedWall; }

bool IsPolyAngleTool(uint16_t tool) {
  switch (tool) {
    case 7000: case 7058: case 7060: case 7061: case 7062: case 7063: case 7306: case 7309:
    case 7500: case 7501: case 7502: case 7504: case 7505: case 7509: case 7511: case 7512:
    case 7600: case 7601: case 7602: case 7603: case 7604: case 7606: case 7703: case 7707:
      return true;
    default:
      return false;
  }
}

// `onGrid`: the point is to be snapped and the design's grid snaps points.
Treatment TreatmentFor(uint16_t tool, bool withClick, bool onGrid) {
  switch (tool) {
    case kToolSelection:
      return withClick ? Treatment::kSelection : Treatment::kNone;
    case kToolFillet: case kToolInvertedFillet: case kToolChamfer:
      return Treatment::kNone;
    case kToolLeaderDimension:
      return withClick ? Treatment::kAngle : Treatment::kGrid;
    case 7050: case 7051: case 7052: case 7053:
      // With the grid on, a wall's far end goes to its nearest grid node, as its start does:
      // an angle step with a length along the pointer would leave the nodes, and a drag
      // pressed and released at one height would come out tilted.
      return withClick && !onGrid ? Treatment::kAngle : Treatment::kGrid;
    case kToolCurvedStairway: case kToolDeckCurvedStairway:
      return Treatment::kAngle;
    default:
      return IsPolyAngleTool(tool) ? Treatment::kPolyAngle : Treatment::kGrid;
  }
}

// The grid snaps points: it is on and both its spacings give a usable step.
bool GridSnaps(const DocState* ds) {
  float x = 0, y = 0, z = 0;
  return Snap3DPointToGrid(ds, &x, &y, &z) != 0;
}

void Grid(const DocState* ds, uint8_t snap, float* x, float* y, float* z) {
  if (snap && ds->snapToGrid) Snap3DPointToGrid(ds, x, y, z);
}

bool ShiftHeld() { return (gTrackModifiers & kTrackModShift) != 0; }

// Grid, then with Shift while dragging the drag keeps to the axis it moved along more.
void AxisRule(const DocState* ds, uint8_t snap, float* x, float* y, float* z) {
  Grid(ds, snap, x, y, z);
  if (!ShiftHeld() || !gTrackingMouse) return;
  if (std::fabs(gDownX - *x) <= std::fabs(gDownZ - *z)) *x = gDownX;
  else *z = gDownZ;
}

// The moved segment's two ends, for the move tool's outline.
void SetMovedSegment(const ClickInfo* click, float x, float z) {
  const Poinz* a = click->hitPoint;
  const Poinz* b = click->segmentEnd;
  gTranslateWallSegPt1 = {x - gDownX + a->position[0], z - gDownZ + a->position[2]};
  gTranslateWallSegPt2 = {x - gDownX + b->position[0], z - gDownZ + b->position[2]};
}

void SegmentRule(const DocState* ds, uint8_t snap, ClickInfo* click, float* x, float* y, float* z) {
  AxisRule(ds, snap, x, y, z);
  if (click->segmentHit && gTrackingMouse && click->hitPoint && click->segmentEnd) SetMovedSegment(click, *x, *z);
}

void SelectionToolRules(const DocState* ds, uint8_t snap, ClickInfo* click, float* x, float* y, float* z) {
  Objex* hit = click->hitObject;
  if (!hit) return;
  switch (hit->type) {
    case kObjFloor: case kObjGroundFill: case kObjCutout: case kObjDeck: case kObjRoofPanel:
    case kObjTopoExcavation: case kObjDormerCutout:
      if (click->pointHit) SnapCursorToSegmentConstraint(click, gDownX, gDownZ, x, z);
      else AxisRule(ds, snap, x, y, z);
      break;
    case kObjSymbolPart3D: case kObjPlant: case kObjSymbolPart2D: case kObjFoundationPier:
    case kObjDynamicText: case kObjText: case kObjGroup:
      AxisRule(ds, snap, x, y, z);
      break;
    case kObjDetail:
      Grid(ds, snap, x, y, z);
      SnapCursorToCustomAngleConstraint(gDownX, gDownZ, x, z, 0, 90);
      break;
    case kObjWall:
      if (!click->pointHit && !click->segmentHit) break;
      if ((hit->pointCount < 3 || gCurPropertiesObjectCount != 1) && !click->pointHit) {
        if (click->hitPoint && click->segmentEnd) {
          AxisRule(ds, snap, x, y, z);
          SetMovedSegment(click, *x, *z);
        }
      } else {
        SnapCursorToSegmentConstraint(click, gDownX, gDownZ, x, z);
      }
      break;
    default:
      SegmentRule(ds, snap, click, x, y, z);
      break;
  }
}

// Squares the shape spanned from the down point while dragging.
void Square(float x, float* z) {
  if (!gTrackingMouse) return;
  const float d = std::fabs(x - gDownX);
  *z = *z <= gDownZ ? gDownZ - d : gDownZ + d;
}

void ShapeLocks(const DocState* ds, uint8_t snap, uint16_t tool, float* x, float* y, float* z) {
  const bool shift = ShiftHeld();
  switch (tool) {
    case kToolRectangle:
      if (shift != (gLockRectTool != 0)) Square(*x, z);
      break;
    case kToolCircleOval: case kToolFill:
      if (shift != (gLockOvalTool != 0)) Square(*x, z);
      break;
    case kToolArc:
      if (shift != (gLockArcTool != 0)) Square(*x, z);
      break;
    case kToolMultigon:
      if (!shift) SnapCursorToAngleConstraint(gDownX, gDownZ, x, z, 0);
      break;
    case kToolLine:
      if (!shift && !gPerpAtStart) {
        Grid(ds, snap, x, y, z);
        SnapCursorToAngleConstraint(gDownX, gDownZ, x, z, 0);
      }
      break;
    default:
      break;
  }
}

// A wall tool pressing on a selected wall point (or a segment of two selected points) hands
// the drag to the selection tool; the plan view gives the wall tool back afterwards.
void WallToolPress(DocState* ds, int32_t x, int32_t y) {
  auto* record = static_cast<ClickInfo*>(calloc(1, sizeof(ClickInfo)));
  if (!record) {
    gClickInfo.hitMode = 0;
    return;
  }
  record->where = {x, y};
  const int16_t savedTolerance = ds->pickTolerance;
  ds->pickTolerance = static_cast<int16_t>(ZoomL(20));
  const int16_t wallType = kObjWall;
  const bool hit = SelectFromAllLayers(gCurDocument->itsCurLayer, record, 0, &wallType, 1);
  ds->pickTolerance = savedTolerance;
  if (!hit || (!record->pointHit && !record->segmentHit) || !record->hitPoint) {
    gClickInfo.hitMode = 0;
  } else {
    gClickInfo = *record;
    gClickInfo.hitMode = 1;
    bool counts = false;
    if (record->pointHit) {
      counts = record->hitPoint->selected != 0;
    } else if (record->segmentEnd) {
      if (gCurSnap != kSnapPerpendicular && gCurSnap != kSnapNone) gClickInfo.hitMode = 0;
      else counts = record->hitPoint->selected && record->segmentEnd->selected;
    }
    if (counts) {
      gResetWallTool = gCurTool;
      gCurTool = kToolSelection;
      gResetToWallTool = 1;
    }
  }
  free(record);
}

// Undoes the view rotation and offsets, and the zoom when asked.
void ToPlanCoordinates(float* px, float* py, float* pz, uint8_t unzoom) {
  ComputeInverseRotationAboutArbitraryAxis(px, py, pz, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle,
                                           gGlobalXOffset, gGlobalYOffset, gGlobalZOffset);
  if (unzoom) {
    *px = UnzoomF(*px);
    *py = UnzoomF(*py);
    *pz = UnzoomF(*pz);
  }
}

}  // namespace

namespace tools {
void EvaluatePoint(int32_t x, int32_t y, float* outX, float* outY, float* outZ, uint8_t snap,
                   ClickInfo* click, uint8_t unzoom) {
  DocState* ds = CurDocState();
  if (!ds || !outX || !outY || !outZ) return;
  float px = static_cast<float>(x), py = static_cast<float>(y), pz = 0;
  ToPlanCoordinates(&px, &py, &pz, unzoom);
  const uint16_t tool = gCurTool;
  if (tool != kToolNone) {
    bool shapeLocks = true;
    if (tool != kToolRotate && tool != kToolCircularArc) {
      if (gSkipConstraints || gCurSnap == kSnapPerpendicular) {
        Grid(ds, snap, &px, &py, &pz);
      } else {
        const bool onGrid = snap && GridSnaps(ds);
        switch (TreatmentFor(tool, click != nullptr, onGrid)) {
          case Treatment::kNone:
            break;
          case Treatment::kGrid:
            Grid(ds, snap, &px, &py, &pz);
            break;
          case Treatment::kPolyAngle:
            SnapCursorToPolyAngleConstraint(gDownX, gDownZ, &px, &pz, 0);
            shapeLocks = false;
            break;
          case Treatment::kAngle:
            SnapCursorToAngleConstraint(gDownX, gDownZ, &px, &pz, 0);
            shapeLocks = false;
            break;
          case Treatment::kSelection:
            SelectionToolRules(ds, snap, click, &px, &py, &pz);
            shapeLocks = false;
            break;
        }
      }
      if (shapeLocks) ShapeLocks(ds, snap, tool, &px, &py, &pz);
    }
    int32_t winX = x, winY = y;
    if (gCurSnap != kSnapNone && (!IsWallDrawingTool(tool) || gCurSnap != kSnapPerpendicular)) {
      CADEvaluatePoint(x, y, &px, &py, &pz, snap, click, unzoom);
      float wx = px, wy = py, wz = pz;
      ConversionToIsometric(&wx, &wy, &wz, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                            gGlobalYOffset, gGlobalZOffset, unzoom);
      winX = static_cast<int32_t>(std::trunc(wx + 0.5f));
      winY = static_cast<int32_t>(std::trunc(wy + 0.5f));
    }
    *outX = px;
    *outY = py;
    *outZ = pz;
    if (IsWallDrawingTool(tool)) WallToolPress(ds, winX, winY);
    return;
  }
  *outX = px;
  *outY = py;
  *outZ = pz;
}
}  // namespace tools

void CADEvaluatePoint(int32_t x, int32_t y, float* outX, float* outY, float* outZ, uint8_t snap,
                      ClickInfo* click, uint8_t unzoom) {
  if (!outX || !outY || !outZ || !gCurDocument || !snap || gCurSnap == 0xFFFF || gCurTool == kToolNone) return;
  Layer* layers = gCurDocument->itsLayers;
  if (gCurSnap == kSnapNone || !layers) return;
  ClickInfo saved{};
  if (click) saved = *click;
  ClickInfo scratch{};
  ClickInfo* record = click ? click : &scratch;
  *record = ClickInfo{};
  record->where = {x, y};
  bool hit = SelectFromAllLayers(layers, record, 0, nullptr, 0);
  record->hitMode = hit ? 1 : 0;
  if (gCurSnap == kSnapIntersection) {
    gSnapInfo = ClickInfo{};
    gSnapInfo.where = {x, y};
    gSelectIndex = 2;
    hit = SelectFromAllLayers(layers, &gSnapInfo, 0, nullptr, 0);
    gSnapInfo.hitMode = hit ? 1 : 0;
    gSelectIndex = 1;
  }
  float h = 0, v = 0;
  if ((hit || gCurSnap == kSnapOrigin) && SnapPoint(record, x, y, gCurSnap, layers, &h, &v)) {
    float px = ZoomF(h), py = ZoomF(v);
    float pz = ComputePointOnPlane(px, py, gGridC1, gGridC2, gGridC3, gGridCONST);
    if (gPerspective) RemovePerspective(&px, &py, &pz, gViewDistance, 0, 0, 0);
    ComputeInverseRotationAboutArbitraryAxis(&px, &py, &pz, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, 0, 0,
                                             0);
    if (unzoom) {
      px = UnzoomF(px);
      py = UnzoomF(py);
      pz = UnzoomF(pz);
    }
    *outX = px;
    *outY = py;
    *outZ = pz;
  }
  if (click) *click = saved;
}

int EvaluateFloatPoint(float x, float y, float* outX, float* outY, float* outZ, uint8_t snap,
                       ClickInfo* click, uint8_t unzoom) {
  const DocState* ds = CurDocState();
  if (!ds || !outX || !outY || !outZ) return 0;
  float px = x, py = y, pz = 0;
  const int16_t plane = ds->viewPlane;
  if (click && click->hitObject && plane >= 1 && plane <= 3) {
    const float coordinate = plane == 2   ? click->hitPosition.floatV
                             : plane == 3 ? click->hitPosition.floatH
                                          : click->hitPosition.floatD;
    pz = ComputePointOnPlaneParallelToGrid(px, py, coordinate);
  } else {
    pz = ComputePointOnPlane(px, py, gGridC1, gGridC2, gGridC3, gGridCONST);
  }
  if (gPerspective) RemovePerspective(&px, &py, &pz, gViewDistance, 0, 0, 0);
  ToPlanCoordinates(&px, &py, &pz, unzoom);
  int snapped = 0;
  if (ds->snapToGrid && snap && gCurTool != kToolTextAlt) snapped = Snap3DPointToGrid(ds, &px, &py, &pz);
  *outX = px;
  *outY = py;
  *outZ = pz;
  return snapped;
}

Poinz* GetClosestSpline(Objex* object, float x, float z, Poinz** start, Poinz** end) {
  if (!object || !object->firstPoint) return nullptr;
  Poinz* nearest = nullptr;
  float best = 32000.0f;
  Poinz* last = object->firstPoint;
  for (Poinz* p = object->firstPoint; p; p = p->next) {
    const float d = GetLineLength(p->position[0], p->position[2], x, z);
    if (d < best) {
      best = d;
      nearest = p;
    }
    last = p;
  }
  if (!nearest) nearest = object->firstPoint;  // every point farther than 32000
  Poinz* previous = nearest->prev ? nearest->prev : last;
  Poinz* next = nearest->next ? nearest->next : object->firstPoint;
  const float dPrev = GetLineLength(previous->position[0], previous->position[2], x, z);
  const float dNext = GetLineLength(next->position[0], next->position[2], x, z);
  if (start && end) {
    if (dNext > dPrev) {
      *start = previous;
      *end = nearest;
    } else {
      *start = nearest;
      *end = next;
    }
  }
  return nearest;
}

void GetClosestSegment(const Poinz* point0, const Poinz* point1, float x, float z, FloatPoint* a,
                       FloatPoint* b) {
  if (!a || !b) return;
  *a = FloatPoint{};
  *b = FloatPoint{};
  if (!point0 || !point1) return;
  const bool straight = point0->outHandle[0] == 0 && point0->outHandle[2] == 0 && point1->inHandle[0] == 0 &&
                        point1->inHandle[2] == 0;
  if (straight) {
    float fx = 0, fz = 0;
    GetPerpIntersection(point0->position[0], point0->position[2], point1->position[0], point1->position[2], x, z, &fx,
                        &fz);
    *a = {fx, fz};
    *b = {fx, fz};
    return;
  }
  const DocState* ds = CurDocState();
  const float step = 1.0f / static_cast<float>(CurveSamples(ds, 5, 8));
  auto sample = [&](float t) {
    float sx = 0, sy = 0, sz = 0;
    GetSplineCoordinate(point0, point1, t, &sx, &sy, &sz);
    return FloatPoint{sx, sz};
  };
  float best = 32000.0f, bestT = 0;
  FloatPoint nearest = sample(0);
  for (int i = 0;; ++i) {
    const float t = i * step;
    if (t > 1.01f) break;
    const FloatPoint s = sample(t);
    const float d = GetLineLength(s.floatH, s.floatV, x, z);
    if (d < best) {
      best = d;
      bestT = t;
      nearest = s;
    }
  }
  const float lowT = bestT - step < 0 ? bestT + step : bestT - step;
  const float highT = bestT + step > 1.01f ? bestT - step : bestT + step;
  const FloatPoint low = sample(lowT), high = sample(highT);
  if (GetLineLength(high.floatH, high.floatV, x, z) > GetLineLength(low.floatH, low.floatV, x, z)) {
    *a = low;
    *b = nearest;
  } else {
    *a = nearest;
    *b = high;
  }
}
