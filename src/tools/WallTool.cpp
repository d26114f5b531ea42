// The wall tool's three tracking stages.
#include "tools/WallTool.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

#include "building3d/WallJoining.h"
#include "files/Undo.h"
#include "building3d/Walls3D.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/SelectionState.h"
#include "model/ShapeBuilders.h"
#include "model/ViewProjection.h"
#include "model/WallFields.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/WallSegmentDimensions.h"
#include "plandraw/WallsAndDoors.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "platform/Strings.h"
#include "tools/AttachedWallDims.h"
#include "tools/PointEvaluation.h"
#include "tools/SnapCodes.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"
#include "tools/WallAnchors.h"
#include "tools/WallDimTracking.h"

bool (*gWallKeyEntrySheetHook)(Poinz* startPoint, Poinz* endPoint, Objex* wall) = nullptr;

namespace {

constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2;
constexpr float kRadiansToDegrees = 57.29577951308232f;
constexpr float kMeasureOffset = 50.0f;   // measuring lines beside the start, plan units
constexpr float kMeasureLength = 100.0f;  // their direction vector
constexpr float kFar = 30000.0f;
constexpr RGBColor kWhite{65535, 65535, 65535};

// The tool's state from the mouse-down to the mouse-up.
struct WallToolState {
  float wallThickness = 0;  // plan units
  ClickInfo startInfo{}, endInfo{};
  Objex* startConnectorObject = nullptr;
  Poinz* startConnectorPoint = nullptr;
  Objex* endConnectorObject = nullptr;
  Poinz* endConnectorPoint = nullptr;
  Objex* startSegmentObject = nullptr;
  Poinz* startSegPoint = nullptr;
  Poinz* endSegPoint = nullptr;
  Objex* endSegmentObject = nullptr;
  Poinz* startSegPoint2 = nullptr;
  Poinz* endSegPoint2 = nullptr;
  uint8_t trackingPerp = 0;
  float perpAngle = 0;
  FloatPoint posDimStartPt{}, posDimEndPt{}, negDimStartPt{}, negDimEndPt{};
  FloatPoint* posIntersectList = nullptr;
  int32_t posIntersectListSize = 0;
  FloatPoint* negIntersectList = nullptr;
  int32_t negIntersectListSize = 0;
};

WallToolState sWall;

// The new point of the drag, the free end of its new segment (for the key-entry sheet).
Poinz* sKeySegmentEnd = nullptr;

bool IsKeyEntryTool(uint16_t tool) { return tool == kToolExteriorWallKeyEntry || tool == kToolInteriorWallKeyEntry; }

void FreeMeasuringLists() {
  EndWallDimTracking(sWall.posIntersectList);
  EndWallDimTracking(sWall.negIntersectList);
  sWall.posIntersectList = sWall.negIntersectList = nullptr;
  sWall.posIntersectListSize = sWall.negIntersectListSize = 0;
}

bool IsExteriorTool(uint16_t tool) { return tool == kToolExteriorWall || tool == kToolExteriorWallKeyEntry; }
bool IsInteriorTool(uint16_t tool) { return !IsExteriorTool(tool) && tool != kToolRetainingWall; }

Poinz* LastPoint(Objex* o) {
  Poinz* p = o->firstPoint;
  while (p && p->next) p = p->next;
  return p;
}

bool IsEnd(Objex* o, Poinz* p) { return p && (p == o->firstPoint || !p->next); }

// A wall of the current layer (the only walls the tool connects to).
bool IsCurrentLayerWall(const Objex* o) {
  return o && o->type == kObjWall && gCurDocument && o->layer == gCurDocument->itsCurLayer;
}

FloatPoint Polar(FloatPoint from, float angle, float length) {
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(angle, length, &dx, &dz);
  return FloatPoint{from.floatH + dx, from.floatV + dz};
}

float AngleOf(float x1, float z1, float x2, float z2) {
  float length = 0;
  return GetLineLengthAndAngle(x1, z1, x2, z2, &length);
}

// The foot of the perpendicular from (x, z) onto the start segment, moved toward (x, z) by half
// the thickness: the near face of the wall the drag starts on.
FloatPoint FaceFoot(float x, float z) {
  const Poinz* a = sWall.startSegPoint;
  const Poinz* b = sWall.endSegPoint;
  float fx = x, fz = z;
  GetPerpIntersection(a->position[0], a->position[2], b->position[0], b->position[2], x, z, &fx, &fz);
  if (fx == x && fz == z) return FloatPoint{fx, fz};
  return Polar(FloatPoint{fx, fz}, AngleOf(fx, fz, x, z), sWall.wallThickness / 2);
}

void SetMeasuringLines(FloatPoint foot) {
  sWall.posDimStartPt = Polar(foot, sWall.perpAngle + kQuarterTurn, kMeasureOffset);
  sWall.negDimStartPt = Polar(foot, sWall.perpAngle - kQuarterTurn, kMeasureOffset);
  sWall.posDimEndPt = Polar(sWall.posDimStartPt, sWall.perpAngle, kMeasureLength);
  sWall.negDimEndPt = Polar(sWall.negDimStartPt, sWall.perpAngle, kMeasureLength);
}

// The attributes of a new segment starting at the point.
void SetNewSegmentValues(Objex* wall, Poinz* p, DocState* ds, int16_t flipDimension) {
  const bool interior = IsInteriorTool(gCurTool);
  SetWallSegmentDefaults(p, ds);
  FlipDimensionOf(p) = flipDimension;
  DisplayFlagsOf(p) = ds->wallDisplayFlags;
  FreeWallPointSides(wall, p);
  p->trim1 = NewWallSide(interior);
  p->trim2 = NewWallSide(interior);
}

// The fields of a new wall made by the current tool.
void SetNewWallFields(Objex* wall, DocState* ds) {
  const uint16_t tool = gCurTool;
  const bool exterior = IsExteriorTool(tool);
  wall->type = kObjWall;
  wall->width = ds->wallThickness;
  wall->fillColor = DoorColorOf(ds);
  wall->penColor = kWhite;
  WallAlignmentOf(wall) = 0;
  wall->subtype = exterior ? kSubExteriorWall : 0;
  NoAutoFloorOf(wall) = exterior ? static_cast<uint16_t>(NoAutoFloorOf(ds)) : 1;
  wall->planMask = tool == kToolRetainingWall ? 128 : exterior ? ExteriorWallPlanMaskOf(ds) : 2;
  wall->textureID = 1700;
  wall->textureID1 = 2213;
  wall->color1 = kWhite;
  wall->textureScale1 = wall->textureScale2 = wall->textureScale3 = wall->textureScale4 = wall->textureScale =
      ShortPoint{100, 100};
  StudSpacingOf(wall) = ds->studSpacing;
  FloorDepthOf(wall) = exterior ? DefaultFloorDepthOf(ds) : 0.5f;
  if (exterior) FoundationWidthOf(wall) = DefaultFoundationWidthOf(ds);
}

// The crossing of the lines a-b and c-d, false when they are parallel or it lies too far.
bool Crossing(float ax, float az, float bx, float bz, float cx, float cz, float dx, float dz, float* x, float* z) {
  float ix = 32000, iz = 32000;
  GetIntersection(ax, az, bx, bz, cx, cz, dx, dz, &ix, &iz);
  if (!(std::fabs(ix) < kFar && std::fabs(iz) < kFar)) return false;
  *x = ix;
  *z = iz;
  return true;
}

// Lines up an end connector with the constrained direction from (fromX, fromZ).
void AlignEnd(Poinz* end, float fromX, float fromZ) {
  if ((gTrackModifiers & kTrackModShift) || gCurSnap != kSnapAnywhere || !end) return;
  Poinz* neighbour = end->prev ? end->prev : end->next;
  if (neighbour) {
    if (gTrackConstrainAngle == kTrackUnset) return;  // no constrained direction this drag
    const FloatPoint along = Polar(FloatPoint{fromX, fromZ}, gTrackConstrainAngle, 100);
    float x = 0, z = 0;
    if (Crossing(fromX, fromZ, along.floatH, along.floatV, end->position[0], end->position[2],
                 neighbour->position[0], neighbour->position[2], &x, &z)) {
      end->position[0] = x;
      end->position[2] = z;
    }
    return;
  }
  if (gUpX == gDownX) end->position[0] = fromX;
  else if (gUpZ == gDownZ) end->position[2] = fromZ;
}

// A new wall point at (x, y, z) with the connector's handles.
Poinz* NewPointAt(Objex* wall, const Poinz* connector, float x, float y, float z) {
  const float* in = connector->inHandle;
  const float* out = connector->outHandle;
  return CreatePoint(1, 0, 0, in[0], in[1], in[2], x, y, z, out[0], out[1], out[2], 0, 0, 0, wall);
}

// Adds the new point next to the connector: in front of a first point, after a last one.
void AddBesideConnector(Objex* wall, Poinz* connector, Poinz* p) {
  const bool inFront = connector == wall->firstPoint && connector->next;
  InsertPointInObject(p, wall, inFront ? nullptr : connector);
}

// A new segment from the connector, a free end of the wall, to (x, y, z): it stops at a wall
// it runs into. False when no point could be made.
bool ExtendWallEnd(Objex* wall, Poinz* connector, float x, float y, float z, DocState* ds, Layer* layer) {
  Poinz* p = NewPointAt(wall, connector, x, y, z);
  if (!p) return false;
  SetNewSegmentValues(wall, p, ds, FlipDimensionOf(connector) == 0 ? 1 : 0);
  AddBesideConnector(wall, connector, p);
  sKeySegmentEnd = p;
  LimitWall(wall, connector, p, layer);
  Update3DWall(wall);
  return true;
}

int32_t ReversedStyle(int32_t style) {
  switch (style) {
    case 2: return 3;
    case 3: return 2;
    case 5: return 6;
    case 6: return 5;
    case 8: return 10;
    case 10: return 8;
    case 9: return 11;
    case 11: return 9;
    default: return style;
  }
}

// The segment attributes stored in one point.
struct SegmentAttributes {
  int32_t textureID[2];
  RGBColor color[2];
  float elevation;
  int32_t style;
  int16_t option, flip;
  int32_t flags;
  void* sides[2];
  float floats[5];
  int32_t long3;
  ShortPoint scale[2];
};

SegmentAttributes TakeAttributes(Poinz* p) {
  SegmentAttributes a{};
  memcpy(a.textureID, p->textureID, sizeof(a.textureID));
  memcpy(a.color, p->color, sizeof(a.color));
  a.elevation = p->segmentElevation;
  a.style = p->segmentLong1;
  a.option = p->segmentShort1;
  a.flip = p->segmentShort2;
  a.flags = p->segmentFlags;
  a.sides[0] = p->trim1;
  a.sides[1] = p->trim2;
  p->trim1 = p->trim2 = nullptr;
  memcpy(a.floats, p->segmentFloats, sizeof(a.floats));
  a.long3 = p->segmentLong3;
  memcpy(a.scale, p->textureScale, sizeof(a.scale));
  return a;
}

void GiveAttributes(Poinz* p, const SegmentAttributes& a) {
  memcpy(p->textureID, a.textureID, sizeof(a.textureID));
  memcpy(p->color, a.color, sizeof(a.color));
  p->segmentElevation = a.elevation;
  p->segmentLong1 = a.style;
  p->segmentShort1 = a.option;
  p->segmentShort2 = a.flip;
  p->segmentFlags = a.flags;
  p->trim1 = a.sides[0];
  p->trim2 = a.sides[1];
  memcpy(p->segmentFloats, a.floats, sizeof(a.floats));
  p->segmentLong3 = a.long3;
  memcpy(p->textureScale, a.scale, sizeof(a.scale));
}

// Reverses a wall's point order: each segment's attributes move to its new start point with
// the sides swapped and the height style mirrored; the new last point gets new-segment values.
void ReverseWall(Objex* wall, DocState* ds) {
  std::vector<Poinz*> points;
  for (Poinz* p = wall->firstPoint; p; p = p->next) points.push_back(p);
  const size_t n = points.size();
  if (n == 0) return;
  std::vector<SegmentAttributes> attributes(n);
  for (size_t i = 0; i < n; ++i) attributes[i] = TakeAttributes(points[i]);
  // Segment i runs from points[i] to points[i + 1]; reversed it starts at points[i + 1].
  for (size_t i = 0; i + 1 < n; ++i) {
    SegmentAttributes a = attributes[i];
    std::swap(a.textureID[0], a.textureID[1]);
    std::swap(a.color[0], a.color[1]);
    std::swap(a.sides[0], a.sides[1]);
    std::swap(a.scale[0], a.scale[1]);
    const int32_t style = a.style;
    a.style = ReversedStyle(style);
    if (style == 1 || style == 4 || style == 5 || style == 6 || style == 7) {
      std::swap(a.floats[0], a.floats[3]);
      std::swap(a.floats[1], a.floats[2]);
    }
    GiveAttributes(points[i + 1], a);
  }
  // The old last point's attributes belonged to no segment: their side records go.
  Poinz scratch{};
  GiveAttributes(&scratch, attributes[n - 1]);
  FreeWallPointSides(wall, &scratch);
  SetNewSegmentValues(wall, points[0], ds, 0);
  // Relink backward.
  for (size_t i = 0; i < n; ++i) {
    Poinz* p = points[i];
    p->next = i > 0 ? points[i - 1] : nullptr;
    p->prev = i + 1 < n ? points[i + 1] : nullptr;
  }
  wall->firstPoint = points[n - 1];
}

// Moves every point of `from` to `to`: in front of its first point, or after its last.
void MovePoints(Objex* from, Objex* to, bool inFront) {
  Poinz* head = from->firstPoint;
  if (!head) return;
  Poinz* tail = LastPoint(from);
  int32_t count = 0;
  for (Poinz* p = head; p; p = p->next) {
    p->owner = to;
    ++count;
  }
  from->firstPoint = nullptr;
  from->pointCount = 0;
  if (inFront) {
    tail->next = to->firstPoint;
    if (to->firstPoint) to->firstPoint->prev = tail;
    to->firstPoint = head;
  } else {
    Poinz* last = LastPoint(to);
    head->prev = last;
    if (last) last->next = head;
    else to->firstPoint = head;
  }
  to->pointCount += count;
}

void EmptyOverlay(ZLKDynamicDrawEngine* overlay) {
  if (overlay) overlay->removePointsFromAllPaths();
}

// Merges wall E into wall S so that the new segment joins the two connectors.
Objex* MergeWalls(Objex* s, Poinz* sConnector, Objex* e, Poinz* eConnector, DocState* ds) {
  const bool sFirst = sConnector == s->firstPoint && sConnector->next;
  const bool eFirst = eConnector == e->firstPoint && eConnector->next;
  const bool reverse = sFirst == eFirst;
  if (reverse) {
    ReverseWall(e, ds);
    ReverseAttachmentDirection(e);
  }
  MovePoints(e, s, sFirst);
  TransferAttachments(e, s);
  // The connector first in the list starts the new segment.
  Poinz* starts = sFirst ? eConnector : sConnector;
  BaseElevationOf(starts) = ds->baseElevation;
  if (s->subtype == kSubExteriorWall || e->subtype == kSubExteriorWall) s->subtype = e->subtype = kSubExteriorWall;
  DeleteObj(e);
  return s;
}

// The first hit of the current layer's objects other than `except` at the plan point's window
// position, with the wider pick box of the wall tools.
bool HitAt(const Poinz* point, const Objex* except, ClickInfo* hit) {
  DocState* ds = CurDocState();
  float x = point->position[0], y = point->position[1], z = point->position[2];
  ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset, gGlobalYOffset,
                        gGlobalZOffset, 1);
  ClickInfo click{};
  click.where = POINT{static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
  const int16_t saved = ds->pickTolerance;
  ds->pickTolerance = static_cast<int16_t>(ZoomL(20));
  bool found = false;
  for (Objex* o = gCurDocument->itsCurLayer->firstObject; o && !found; o = o->next) {
    if (o == except) continue;
    ClickInfo attempt = click;
    if (SelectFromObject(o, &attempt, 0, nullptr, 0)) {
      *hit = attempt;
      found = true;
    }
  }
  ds->pickTolerance = saved;
  return found;
}

// Builds the new wall of a drag that met no free end; null when it could not be made.
Objex* BuildNewWall(DocState* ds, Layer* layer, float endX, float endZ, bool* joined) {
  *joined = false;
  if (sWall.startSegmentObject && sWall.endSegmentObject && sWall.startSegPoint2 && sWall.endSegPoint2) {
    const Poinz* a = sWall.startSegPoint2;
    const Poinz* b = sWall.endSegPoint2;
    float x = 0, z = 0;
    if (Crossing(gDownX, gDownZ, endX, endZ, a->position[0], a->position[2], b->position[0], b->position[2], &x,
                 &z)) {
      const float half = ConvertWorldToScreen(sWall.endSegmentObject->width, ds, 0) / 2;
      const FloatPoint back = Polar(FloatPoint{x, z}, AngleOf(x, z, gDownX, gDownZ), half);
      endX = back.floatH;
      endZ = back.floatV;
    }
  }
  const float positions[6] = {gDownX, gDownY, gDownZ, endX, gDownY, endZ};
  const float handles[6] = {0, 0, 0, 0, 0, 0};
  Objex* wall = BuildOpenPoly(positions, nullptr, handles, handles, nullptr, nullptr, 2, layer, 0);
  if (!wall) return nullptr;
  SetNewWallFields(wall, ds);
  sKeySegmentEnd = wall->firstPoint ? wall->firstPoint->next : nullptr;
  int16_t flip = 0;
  for (Poinz* p = wall->firstPoint; p; p = p->next, flip = static_cast<int16_t>(1 - flip))
    SetNewSegmentValues(wall, p, ds, flip);
  UpdateObjectBounds(wall);
  Update3DWall(wall);

  if (!sWall.startSegmentObject) return wall;
  ClickInfo hit{};
  Poinz* first = wall->firstPoint;
  if (!HitAt(first, wall, &hit) || !hit.pointHit || !IsCurrentLayerWall(hit.hitObject)) return wall;
  Objex* other = hit.hitObject;
  Poinz* otherPoint = hit.hitPoint;
  if (other->closed || !IsEnd(other, otherPoint)) return wall;
  if (first->next) {
    LimitWall(wall, first, first->next, layer);
    Update3DWall(wall);
  }
  Poinz* n1 = first->next;
  Poinz* n2 = otherPoint->prev ? otherPoint->prev : otherPoint->next;
  float x = 0, z = 0;
  if (gCurSnap == kSnapAnywhere && n1 && n2 &&
      Crossing(first->position[0], first->position[2], n1->position[0], n1->position[2], otherPoint->position[0],
               otherPoint->position[2], n2->position[0], n2->position[2], &x, &z)) {
    first->position[0] = otherPoint->position[0] = x;
    first->position[2] = otherPoint->position[2] = z;
  }
  if (Objex* merged = JoinWallObjects(wall, first, other, otherPoint)) {
    *joined = true;
    return merged;
  }
  return wall;
}

void BeginStage(DocState* ds) {
  FreeMeasuringLists();
  sKeySegmentEnd = nullptr;
  sWall = WallToolState{};
  sWall.wallThickness = ConvertWorldToScreen(ds->wallThickness, ds, 0);
  sWall.startInfo = gClickInfo;
  const ClickInfo& c = gClickInfo;
  if (!c.hitMode || !c.hitObject) return;
  if (c.pointHit && c.hitPoint) {
    gDownX = c.hitPoint->position[0];
    gDownY = c.hitPoint->position[1];
    gDownZ = c.hitPoint->position[2];
    if (!c.hitObject->closed && IsCurrentLayerWall(c.hitObject) && IsEnd(c.hitObject, c.hitPoint)) {
      sWall.startConnectorObject = c.hitObject;
      sWall.startConnectorPoint = c.hitPoint;
    }
    return;
  }
  if (!c.segmentHit || !c.hitPoint || !c.segmentEnd || c.hitObject->type != kObjWall) return;
  sWall.startSegmentObject = c.hitObject;
  sWall.startSegPoint = c.hitPoint;
  sWall.endSegPoint = c.segmentEnd;
  sWall.wallThickness = ConvertWorldToScreen(c.hitObject->width, ds, 0);
  const FloatPoint foot = FaceFoot(gDownX, gDownZ);
  gDownX = foot.floatH;
  gDownZ = foot.floatV;
  sWall.trackingPerp = 1;
  gSkipConstraints = 1;
  sWall.perpAngle = AngleOf(c.hitPoint->position[0], c.hitPoint->position[2], c.segmentEnd->position[0],
                            c.segmentEnd->position[2]);
  SetMeasuringLines(foot);
  sWall.posIntersectList = BeginWallDimTracking(&sWall.posDimStartPt, &sWall.posDimEndPt, sWall.startSegPoint,
                                                sWall.endSegPoint, &sWall.posIntersectListSize);
  sWall.negIntersectList = BeginWallDimTracking(&sWall.negDimStartPt, &sWall.negDimEndPt, sWall.startSegPoint,
                                                sWall.endSegPoint, &sWall.negIntersectListSize);
}

// The live distances from the measuring line's start to the nearest walls either way.
void DrawDistances(float x, float z) {
  const float toPos = GetLineLength(x, z, sWall.posDimStartPt.floatH, sWall.posDimStartPt.floatV);
  const float toNeg = GetLineLength(x, z, sWall.negDimStartPt.floatH, sWall.negDimStartPt.floatV);
  const bool minus = toNeg <= toPos;
  const FloatPoint start = minus ? sWall.negDimStartPt : sWall.posDimStartPt;
  const FloatPoint end = minus ? sWall.negDimEndPt : sWall.posDimEndPt;
  FloatPoint ahead{}, behind{};
  ContinueWallDimTracking(minus ? sWall.negIntersectList : sWall.posIntersectList, start, end, &ahead, &behind,
                          minus ? sWall.negIntersectListSize : sWall.posIntersectListSize);
  for (const FloatPoint& crossing : {ahead, behind}) {
    if (!(std::fabs(crossing.floatH) < kFar && std::fabs(crossing.floatV) < kFar)) continue;
    DrawWallDimDistance(start, crossing);
  }
}

// Stage 2 and the drawing part of stage 3: the start, the distances, the angle and the band.
void DrawStage(ZLKDynamicDrawEngine* overlay, float x, float y, float z) {
  if (sWall.startSegmentObject) {
    const FloatPoint foot = FaceFoot(x, z);
    gDownX = foot.floatH;
    gDownZ = foot.floatV;
    SetMeasuringLines(foot);
  }
  if (sWall.trackingPerp) DrawDistances(x, z);
  if (gTrackingObject) DrawAngle(AngleOf(gDownX, gDownZ, x, z) * kRadiansToDegrees);
  if (!overlay) return;
  const uint8_t side =
      !sWall.startConnectorPoint || FlipDimensionOf(sWall.startConnectorPoint) == 0 ? 1 : 0;
  overlay->setActivePath(kPathSecondary);
  DrawWall(nullptr, gDownX, gDownY, gDownZ, x, y, z, sWall.wallThickness, side);
  overlay->setActivePath(kPathPrimary);
}

// A click rather than a drag: the clicked wall segment's points (or the point) selected.
void SelectClicked(DocState* ds, Layer* layers) {
  SelectAllLayers(layers, kSelectOff, 1);
  const ClickInfo& c = sWall.startInfo;
  bool hit = false;
  if (c.hitMode && c.segmentHit && c.hitPoint && c.segmentEnd) {
    SelectPoint(c.hitPoint, kSelectOn, 1);
    SelectPoint(c.segmentEnd, kSelectOn, 1);
    ClearSelectionState40(ds, &ds->selectionState40);
    TopLevelObjectAllLayers(layers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
    UpdateSelectionState40Controls(&ds->selectionState40);
    if (c.hitObject) DrawDimensionWallSegmentSelection(c.hitObject, c.hitPoint, c.segmentEnd, c.where.x, c.where.y);
    hit = true;
  } else if (c.hitMode && c.pointHit && c.hitPoint) {
    SelectPoint(c.hitPoint, kSelectOn, 1);
    hit = true;
  }
  UpdateInspectorPropertiesState(hit);
}

void FinishWall(Objex* wall, bool limitFirst, Layer* layer) {
  if (!wall) return;
  if (limitFirst && wall->firstPoint && wall->firstPoint->next) {
    LimitWall(wall, wall->firstPoint, wall->firstPoint->next, layer);
    Update3DWall(wall);
  }
  OptimizeWall(wall);
  wall->capped = 0;
  ReRenderObject(wall);
  SelectObj(wall, kSelectOff, 1);
}

bool HoldsPoint(const Objex* wall, const Poinz* point) {
  for (const Poinz* p = wall->firstPoint; p; p = p->next)
    if (p == point) return true;
  return false;
}

// The key-entry wall tools ask for the exact length of the segment just drawn. The new point
// is the free end; its neighbour on the old side is the fixed one (the connector, unless
// straightening the wall removed it). A drag that only closed or merged walls drew no new
// point: the tool's undo step is stored at once, as it is when the sheet cannot open.
void OpenKeyEntrySheet(Objex* wall, bool madeOrExtended) {
  Poinz* end = madeOrExtended && sKeySegmentEnd && HoldsPoint(wall, sKeySegmentEnd) ? sKeySegmentEnd : nullptr;
  Poinz* start = end ? (end->prev ? end->prev : end->next) : nullptr;
  if (start && gWallKeyEntrySheetHook && gWallKeyEntrySheetHook(start, end, wall)) return;
  StoreUndo(LocalizedString(gCurTool == kToolExteriorWallKeyEntry ? "Exterior Wall Tool" : "Interior Wall Tool"));
}

void EndStage(DocState* ds, ZLKDynamicDrawEngine* overlay, float x, float z) {
  Layer* layer = gCurDocument->itsCurLayer;
  sWall.endInfo = gClickInfo;
  const ClickInfo& c = sWall.endInfo;
  if (c.hitMode && c.pointHit && c.hitPoint && c.hitObject && !c.hitObject->closed &&
      IsCurrentLayerWall(c.hitObject) && IsEnd(c.hitObject, c.hitPoint) && c.hitPoint != sWall.startConnectorPoint) {
    sWall.endConnectorObject = c.hitObject;
    sWall.endConnectorPoint = c.hitPoint;
    x = gUpX = c.hitPoint->position[0];
    z = gUpZ = c.hitPoint->position[2];
  } else if (c.hitMode && c.segmentHit && c.hitPoint && c.segmentEnd && c.hitObject &&
             c.hitObject->type == kObjWall) {
    sWall.endSegmentObject = c.hitObject;
    sWall.startSegPoint2 = c.hitPoint;
    sWall.endSegPoint2 = c.segmentEnd;
  }

  const float travel = GetLineLength(static_cast<float>(gStartMouse.x), static_cast<float>(gStartMouse.y),
                                     static_cast<float>(gEndMouse.x), static_cast<float>(gEndMouse.y));
  if (travel < gMouseModeLimit) {
    // A click draws no wall: the palette goes back to the standard tool and the click selects.
    ResetStandardTool(1);
    SelectClicked(ds, gCurDocument->itsLayers);
    EmptyOverlay(overlay);
    return;
  }

  Objex* s = sWall.startConnectorObject;
  Poinz* sp = sWall.startConnectorPoint;
  Objex* e = sWall.endConnectorObject;
  Poinz* ep = sWall.endConnectorPoint;
  Objex* result = nullptr;
  bool madeOrExtended = false;
  if (s && e && s == e) {
    // The two free ends of one wall: it closes (a wall of two points stays as it is).
    if (s->pointCount < 3) {
      EmptyOverlay(overlay);
      return;
    }
    AlignEnd(ep, gDownX, gDownZ);
    s->closed = 1;
    Update3DWall(s);
    UpdateAllWallAttachments(s);
    EmptyOverlay(overlay);
    Refresh();
    result = s;
  } else if (s && e) {
    AlignEnd(ep, gDownX, gDownZ);
    result = MergeWalls(s, sp, e, ep, ds);
    Update3DWall(result);
    UpdateAllWallAttachments(result);
    EmptyOverlay(overlay);
    Refresh();
  } else if (s) {
    const bool extended = ExtendWallEnd(s, sp, x, gDownY, z, ds, layer);
    EmptyOverlay(overlay);
    if (!extended) return;
    Refresh();
    result = s;
    madeOrExtended = true;
  } else if (e) {
    AlignEnd(ep, gDownX, gDownZ);
    const bool extended = ExtendWallEnd(e, ep, gDownX, gDownY, gDownZ, ds, layer);
    EmptyOverlay(overlay);
    if (!extended) return;
    Refresh();
    result = e;
    madeOrExtended = true;
  } else {
    bool joined = false;
    result = BuildNewWall(ds, layer, x, z, &joined);
    EmptyOverlay(overlay);
    if (result) Refresh();
    madeOrExtended = !joined;
  }
  if (!result) return;
  FinishWall(result, madeOrExtended, layer);
  if (IsKeyEntryTool(gCurTool)) OpenKeyEntrySheet(result, madeOrExtended);
}

}  // namespace

void TrackWall(int32_t, int32_t, float worldX, float worldY, float worldZ, int16_t stage) {
  DrawAngle(32000);
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (overlay) {
    overlay->setActivePath(kPathPrimary);
    overlay->setDrawMethod(kDrawMethodFill, kPathSecondary);
    overlay->removePointsFromAllPaths();
  }
  DocState* ds = CurDocState();
  if (!gCurDocument || !ds || !gCurDocument->itsCurLayer) return;

  if (stage == kTrackBegin) {
    BeginStage(ds);
    return;
  }
  DrawStage(overlay, worldX, worldY, worldZ);
  if (stage != kTrackEnd) return;

  EndStage(ds, overlay, worldX, worldZ);
  FreeMeasuringLists();
  // Wall dimensions of the floor measure again up to the walls as they now stand.
  if (gCurDocument && gCurDocument->itsCurLayer) UpdateAttachedDimLayer(gCurDocument->itsCurLayer);
  sWall = WallToolState{};  // nothing of this drag outlives it
  sKeySegmentEnd = nullptr;
  gMouseCaptured = 0;
  DrawAngle(32000);
  if (overlay) overlay->resetAttributesForAllPaths();
}
