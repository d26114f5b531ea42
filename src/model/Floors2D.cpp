// Moving and copying objects between floors, clamping and raising them against a floor,
// interior and exterior walls, the 2D view layers and flattening curved segments.
#include "model/Floors2D.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "model/Attachments.h"
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/RepeatBound.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/WallFields.h"

namespace {

Layer* CurrentLayer() { return gCurDocument ? gCurDocument->itsCurLayer : nullptr; }

// The neighbouring layer and the height step of a floor move; false for other commands or
// when there is no layer in that direction.
bool FloorStep(int32_t command, Layer** target, float* step) {
  Layer* current = CurrentLayer();
  if (!current) return false;
  switch (command) {
    case kCmdMoveToUpperFloor: case kCmdCopyToUpperFloor:
      *target = current->next;
      if (!*target) return false;
      *step = current->height;
      return true;
    case kCmdMoveToLowerFloor: case kCmdCopyToLowerFloor:
      *target = current->prev;
      if (!*target) return false;
      *step = -(*target)->height;
      return true;
    default:
      return false;
  }
}

bool IsDoorOrWindow(const Objex* o) { return o->type == kObjDoor || o->type == kObjWindow; }

// The floor an object is measured against: attachments use their wall's floor (or the current
// layer when they hang on nothing), other objects their own layer.
Layer* FloorOf(const Objex* object, bool attachmentsToo) {
  const bool attachment = IsDoorOrWindow(object) ||
                          (attachmentsToo && (object->type == kObjComponent || object->type == kObjAccessory));
  if (!attachment) return object->layer;
  return object->parent ? object->parent->layer : CurrentLayer();
}

}  // namespace

// ---- Floors ----

void WallBaseFromSegments(Objex* wall) {
  // Infinity, not some high elevation, starts the search: a design holds walls at any height.
  float lowest = INFINITY;
  for (const Poinz* p = wall->firstPoint; p; p = p->next) {
    if (!p->next && !wall->closed) break;
    if (p->segmentElevation < lowest) lowest = p->segmentElevation;
  }
  if (lowest < INFINITY) wall->baseElevation = lowest;
}

void SendToNeighboringFloor(Objex* object, int32_t command) {
  if (!object || !CurDocState()) return;
  Layer* target = nullptr;
  float h = 0;
  if (!FloorStep(command, &target, &h)) return;
  Objex* root = GetRootObject(object);
  if (root->type == kObjWall) {
    if (IsEntireObjectSelected(root)) root->baseElevation += h;
    for (Poinz* p = root->firstPoint; p; p = p->next) {
      Poinz* q = p->next ? p->next : (root->closed ? root->firstPoint : nullptr);
      if (!q) continue;  // the last point of an open wall starts no segment
      if (p->selected && q->selected) p->segmentElevation += h;
    }
    WallBaseFromSegments(root);
  } else {
    // An object on the terrain stays on it, its base stepping with the floor as every other
    // object's does: the tools make such objects on the terrain on every floor.
    root->baseElevation += h;
    ElevateGroupMembers(root, h);
  }
  if (root->type == kObjGroup) {
    for (Objex* c = root->firstChild; c; c = c->next) ReRenderObject(c);
  } else {
    ReRenderObject(root);
  }
}

void MoveToNeighboringFloor(Objex* object, int32_t command) {
  if (!object) return;
  SendToNeighboringFloor(object, command);
  Layer* target = nullptr;
  float h = 0;
  if (!CurDocState() || !FloorStep(command, &target, &h)) return;
  Objex* root = GetRootObject(object);
  UnlinkObject(root);
  AppendObjectToLayer(root, target);
  Move2DSubObjects(root, target);  // the children belong to the new floor too
  SelectObj(root, kSelectOff, 0);
  if (root->type != kObjWall) return;
  const bool up = command == kCmdMoveToUpperFloor || command == kCmdCopyToUpperFloor;
  if (up && strcmp(target->name, "Second Floor") == 0) root->planMask = 2;
  else if (!up && strcmp(target->name, "First Floor") == 0) root->planMask = 1;
  Update3DWall(root);
  UpdateAllWallAttachments(root);
}

void ScaleObjectToWallHeight(Objex* object) {
  if (!object) return;
  const DocState* ds = CurDocState();
  const Layer* floor = FloorOf(object, false);
  if (!ds || !floor) return;
  const float base = ConvertWorldToScreen(GetLayerAbsBaseHeight(floor), ds, 0);
  const float height = ConvertWorldToScreen(floor->height, ds, 0);
  if (IsDoorOrWindow(object) && object->typeData) {
    auto* d = static_cast<DoorWindowData*>(object->typeData);
    const float limit = height - 6.0f;
    if (d->elevation + d->height > limit) {
      d->height = limit - d->elevation;
      if (d->height < 0) d->height = 0;
      if (d->elevation + d->height > limit) d->elevation = limit - d->height;
    }
  }
  const float top = base + height;
  if (object->levels >= 1)
    for (Poinz* p = object->firstPoint; p; p = p->next)
      if (p->position[1] > top) p->position[1] = top;
  for (Objex* c = object->firstChild; c; c = c->next) ScaleObjectToWallHeight(c);
}

void ScaleLayerToWallHeight(Layer* layer) {
  if (!layer) return;
  for (Objex* o = layer->firstObject; o; o = o->next) ScaleObjectToWallHeight(o);
}

void RaiseObjectToBaseHeight(Objex* object, float dy) {
  if (!object) return;
  if (!CurDocState() || !FloorOf(object, true)) return;
  for (Poinz* p = object->firstPoint; p; p = p->next) p->position[1] += dy;
  for (Objex* c = object->firstChild; c; c = c->next) RaiseObjectToBaseHeight(c, dy);
}

void RaiseLayerToBaseHeight(Layer* layer, float dy) {
  if (!layer) return;
  for (Objex* o = layer->firstObject; o; o = o->next) RaiseObjectToBaseHeight(o, dy);
}

namespace {
bool Is2DViewLayer(const Layer* layer);
}  // namespace

namespace {

// A whole wall raised by dy: every segment's elevation and its base; 3D and attachments again.
void RaiseWholeWall(Objex* wall, float dy) {
  for (Poinz* p = wall->firstPoint; p; p = p->next) p->segmentElevation += dy;
  wall->baseElevation += dy;
  Update3DWall(wall);
  UpdateAllWallAttachments(wall);
}

}  // namespace

void ElevateGroupMembers(Objex* group, float dy) {
  // Only an ordinary group's members stand at elevations of their own; those of a cabinet or
  // another kind of group are placed by it alone.
  if (!group || group->type != kObjGroup || group->subtype != 0) return;
  for (Objex* c = group->firstChild; c; c = c->next) {
    if (c->type == kObjGroup) {
      c->baseElevation += dy;
      ElevateGroupMembers(c, dy);
    } else if (c->type == kObjWall) {
      RaiseWholeWall(c, dy);
    } else if (KeepsOwnElevation(c->type)) {
      c->baseElevation += dy;
    }
  }
}

void RaiseFloorsAbove(Layer* layer, float dy) {
  if (!layer || dy == 0) return;
  for (Layer* floor = layer->next; floor; floor = floor->next) {
    if (Is2DViewLayer(floor)) continue;
    for (Objex* o = floor->firstObject; o; o = o->next) {
      if (o->type == kObjWall) {
        RaiseWholeWall(o, dy);
        continue;
      }
      o->baseElevation += dy;
      ElevateGroupMembers(o, dy);
    }
  }
}

namespace {

// Heights are world inches of floats summed along the floors: a top within a thousandth of an
// inch of the ceiling stood at it.
constexpr float kAtCeiling = 1e-3f;

// A rectangle of the plan (x and z, plan units).
struct PlanBox {
  float left, back, right, front;
};

bool Overlap(const PlanBox& a, const PlanBox& b) {
  return a.left <= b.right && b.left <= a.right && a.back <= b.front && b.back <= a.front;
}

// The plan boxes of the wall segments that followed the ceiling, filed by the square cells of
// the plan they cover, so each roof is compared with the segments near it only.
class FollowedSegments {
 public:
  void Add(const PlanBox& box) {
    const auto index = static_cast<uint32_t>(boxes_.size());
    boxes_.push_back(box);
    CellRange r;
    if (!Cells(box, &r)) {
      wide_.push_back(index);
      return;
    }
    for (int64_t x = r.x0; x <= r.x1; ++x)
      for (int64_t z = r.z0; z <= r.z1; ++z) cells_[Key(x, z)].push_back(index);
  }
  bool Empty() const { return boxes_.empty(); }
  // Some segment's box meets the box.
  bool Meets(const PlanBox& box) const {
    for (uint32_t i : wide_)
      if (Overlap(boxes_[i], box)) return true;
    CellRange r;
    // A box over more cells than there are segments is compared with each segment.
    if (!Cells(box, &r) || (r.x1 - r.x0 + 1) * (r.z1 - r.z0 + 1) > static_cast<int64_t>(boxes_.size())) {
      for (const PlanBox& b : boxes_)
        if (Overlap(b, box)) return true;
      return false;
    }
    for (int64_t x = r.x0; x <= r.x1; ++x)
      for (int64_t z = r.z0; z <= r.z1; ++z) {
        const auto it = cells_.find(Key(x, z));
        if (it == cells_.end()) continue;
        for (uint32_t i : it->second)
          if (Overlap(boxes_[i], box)) return true;
      }
    return false;
  }

 private:
  static constexpr float kCell = 256;       // plan units
  static constexpr int64_t kMostCells = 4096;  // more, and a segment is compared with every roof
  struct CellRange {
    int64_t x0, z0, x1, z1;
  };
  // The cells the box covers; false for a box too large (or not finite) to file by cells.
  static bool Cells(const PlanBox& b, CellRange* r) {
    constexpr float kFar = 1e9f;
    for (float v : {b.left, b.back, b.right, b.front})
      if (!(std::fabs(v) < kFar)) return false;
    r->x0 = static_cast<int64_t>(std::floor(b.left / kCell));
    r->x1 = static_cast<int64_t>(std::floor(b.right / kCell));
    r->z0 = static_cast<int64_t>(std::floor(b.back / kCell));
    r->z1 = static_cast<int64_t>(std::floor(b.front / kCell));
    return r->x1 >= r->x0 && r->z1 >= r->z0 && (r->x1 - r->x0 + 1) * (r->z1 - r->z0 + 1) <= kMostCells;
  }
  static uint64_t Key(int64_t x, int64_t z) {
    return (static_cast<uint64_t>(x) << 32) ^ (static_cast<uint64_t>(z) & 0xffffffffu);
  }
  std::vector<PlanBox> boxes_;
  std::vector<uint32_t> wide_;
  std::unordered_map<uint64_t, std::vector<uint32_t>> cells_;
};

// The plan box of the segment from p to q, grown by the wall's whole thickness (which lies on
// either side of the drawn line, or wholly on one).
PlanBox SegmentBox(const Objex* wall, const Poinz* p, const Poinz* q, const DocState* ds) {
  const float t = ds ? std::fabs(ConvertWorldToScreen(wall->width, ds, 0)) : 0.0f;
  const float grow = std::isfinite(t) ? t : 0.0f;
  return PlanBox{std::min(p->position[0], q->position[0]) - grow, std::min(p->position[2], q->position[2]) - grow,
                 std::max(p->position[0], q->position[0]) + grow, std::max(p->position[2], q->position[2]) + grow};
}

// The walls of the object (itself, or the members of a group at any depth) whose level tops
// stood at the old ceiling follow it by dy; the segments that did go into `followed`.
void RaiseObjectWallsToCeiling(Objex* o, float ceiling, float dy, FollowedSegments* followed) {
  if (o->type == kObjGroup) {
    for (Objex* c = o->firstChild; c; c = c->next) RaiseObjectWallsToCeiling(c, ceiling, dy, followed);
    return;
  }
  if (o->type != kObjWall) return;
  const DocState* ds = CurDocState();
  bool changed = false;
  for (Poinz* p = o->firstPoint; p; p = p->next) {
    if (WallStyleOf(p) != 0 || !(std::fabs(BaseElevationOf(p) + WallHeightOf(p) - ceiling) <= kAtCeiling)) continue;
    const float height = WallHeightOf(p) + dy;
    if (!(height > 0)) continue;
    WallHeightOf(p) = height;
    changed = true;
    // The last point of an open wall starts no segment.
    if (const Poinz* q = p->next ? p->next : (o->closed ? o->firstPoint : nullptr))
      followed->Add(SegmentBox(o, p, q, ds));
  }
  if (!changed) return;
  Update3DWall(o);
  UpdateAllWallAttachments(o);
}

// The height (world inches) of a roof's eaves, where it rests on the walls below: a gable or
// hip roof's lowest corner (its corners' heights count from its base elevation, up negative),
// a roof panel's base elevation when its lowest corner sits there. False for any other object
// and a panel anchored at its highest corner, which hangs from its ridge.
bool EaveHeight(const Objex* o, const DocState* ds, float* eave) {
  if (o->type == kObjRoofPanel) {
    if (o->slopeAnchor() != 0) return false;
    *eave = o->baseElevation;
    return true;
  }
  if (o->type != kObjRoof || !o->firstPoint) return false;
  float lowest = -INFINITY;
  for (const Poinz* p = o->firstPoint; p; p = p->next) lowest = std::max(lowest, p->position[1]);
  *eave = o->baseElevation - ConvertScreenToWorld(lowest, ds, 0);
  return std::isfinite(*eave);
}

// The roofs of the object (itself, or the members of a group at any depth) whose eaves stood
// at the old ceiling on walls that followed it go with them by dy. A roof placed by its group
// or on the terrain, not by its own elevation, stands elsewhere and stays.
void RaiseObjectRoofsToCeiling(Objex* o, float ceiling, float dy, const FollowedSegments& followed,
                               const DocState* ds) {
  if (o->type == kObjGroup) {
    for (Objex* c = o->firstChild; c; c = c->next) RaiseObjectRoofsToCeiling(c, ceiling, dy, followed, ds);
    return;
  }
  float eave = 0;
  if (!EaveHeight(o, ds, &eave) || !(std::fabs(eave - ceiling) <= kAtCeiling)) return;
  if (o->auxFlag || GetPlacementObject(o) != o || !o->firstPoint) return;
  PlanBox box{INFINITY, INFINITY, -INFINITY, -INFINITY};
  for (const Poinz* p = o->firstPoint; p; p = p->next) {
    box.left = std::min(box.left, p->position[0]);
    box.right = std::max(box.right, p->position[0]);
    box.back = std::min(box.back, p->position[2]);
    box.front = std::max(box.front, p->position[2]);
  }
  if (!followed.Meets(box)) return;
  // Its 3D is lifted by its base elevation when rendered; its parts keep their shape.
  o->baseElevation += dy;
}

}  // namespace

void RaiseWallsToCeiling(Layer* layer, float dy) {
  if (!layer || !(dy != 0) || !std::isfinite(dy)) return;
  const float ceiling = GetLayerAbsBaseHeight(layer) + layer->height - dy;
  FollowedSegments followed;
  for (Objex* o = layer->firstObject; o; o = o->next) RaiseObjectWallsToCeiling(o, ceiling, dy, &followed);
  const DocState* ds = CurDocState();
  if (followed.Empty() || !ds) return;
  for (Objex* o = layer->firstObject; o; o = o->next) RaiseObjectRoofsToCeiling(o, ceiling, dy, followed, ds);
}

// ---- Interior and exterior walls ----

namespace {

void RebuildConvertedWall(Objex* wall) {
  Update3DWall(wall);
  UpdateAllWallAttachments(wall);
  RenderSingleObject(wall);
  Refresh();
}

}  // namespace

void ConvertWallToInterior(Objex* wall) {
  if (!wall || wall->type != kObjWall) return;
  SelectObj(wall, kSelectOff, 0);
  if (wall->planMask == 1) wall->planMask = 2;
  wall->subtype = 0;
  wall->params[2] = 0.5f;
  wall->options[0] = 1;  // no automatic floor
  RebuildConvertedWall(wall);
}

void ConvertWallToExterior(Objex* wall) {
  if (!wall || wall->type != kObjWall) return;
  SelectObj(wall, kSelectOff, 0);
  wall->subtype = kSubExteriorWall;
  wall->params[2] = 0.5f;
  wall->options[0] = 0;  // a closed outline makes a floor and ceiling
  RebuildConvertedWall(wall);
}

// ---- 2D view layers ----

namespace {

const char* const kTopViewLayers[3] = {"X_TOP_FIRST_FLOOR", "X_TOP_SECOND_FLOOR", "X_TOP_THIRD_FLOOR"};
const char* const kFloorNames[3] = {"First Floor", "Second Floor", "Third Floor"};
const char* const kSideViewLayers[4] = {"X_FRONT", "X_BACK", "X_LEFT", "X_RIGHT"};

// The top-view layer name for the current layer: the three floors are told apart only when
// all three exist.
const char* TopViewLayerName() {
  Layer* floors[3];
  for (int i = 0; i < 3; ++i) {
    floors[i] = GetLayerFromName(kFloorNames[i]);
    if (!floors[i]) return kTopViewLayers[0];
  }
  Layer* current = CurrentLayer();
  for (int i = 0; i < 3; ++i)
    if (current == floors[i]) return kTopViewLayers[i];
  return kTopViewLayers[0];
}

bool Is2DViewLayer(const Layer* layer) {
  for (const char* name : kTopViewLayers)
    if (strcmp(layer->name, name) == 0) return true;
  for (const char* name : kSideViewLayers)
    if (strcmp(layer->name, name) == 0) return true;
  return false;
}

void HideViewLayer(Layer* layer, uint8_t visible) {
  SelectLayer(layer, kSelectOff, 0);
  layer->visible = visible;
  layer->selectable = 0;
}

// The kind a 2D annotation test looks at: a group's first child's type.
bool Is2DAnnotation(const Objex* o) {
  const Objex* kind = o;
  if (o->type == kObjGroup) {
    kind = o->firstChild;
    if (!kind) return false;
  }
  return kind->type == 102 || kind->type == 200 || kind->type == kObjDimensionInfo;
}

}  // namespace

namespace {
const char* ViewLayerName(int32_t viewCode) {
  switch (viewCode) {
    case kCmdViewLeft: return "X_LEFT";
    case kCmdViewRight: return "X_RIGHT";
    case kCmdViewFront: return "X_FRONT";
    case kCmdViewBack: return "X_BACK";
    default: return TopViewLayerName();  // the top view and any other view
  }
}
}  // namespace

Layer* Find2DViewLayer(int32_t viewCode) {
  return gCurDocument ? GetLayerFromName(ViewLayerName(viewCode)) : nullptr;
}

Layer* Get2DViewLayer(int32_t viewCode) {
  if (!gCurDocument) return nullptr;
  const char* name = ViewLayerName(viewCode);
  if (Layer* existing = GetLayerFromName(name)) return existing;
  Layer* layer = CreateLayer(name, 1, 1, nullptr);
  AppendLayerToDocument(layer);
  return layer;
}

void Set2DViewLayerVisibility(Layer* layer) {
  if (!gCurDocument) return;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next) {
    for (int i = 0; i < 3; ++i) {
      if (strcmp(l->name, kTopViewLayers[i]) != 0) continue;
      if (const Layer* floor = GetLayerFromName(kFloorNames[i])) HideViewLayer(l, floor->visible ? 1 : 0);
    }
    for (const char* side : kSideViewLayers)
      if (strcmp(l->name, side) == 0) HideViewLayer(l, 0);
  }
  if (layer) {
    layer->visible = 1;
    layer->selectable = 1;
  }
}

void Move2DSubObjects(Objex* object, Layer* layer) {
  if (!object) return;
  object->layer = layer;
  for (Objex* c = object->firstChild; c; c = c->next) Move2DSubObjects(c, layer);
}

void Move2DObject(Objex* object, Layer* layer) {
  if (!object || !layer) return;
  UnlinkObject(object);
  AppendObjectToLayer(object, layer);
  Move2DSubObjects(object, layer);
}

void Move2DObjectsTo2DLayer(Layer* layer, int32_t viewCode) {
  if (!layer) return;
  Layer* target = Get2DViewLayer(viewCode);
  // Moving a layer's objects to its own end would visit them again without end.
  if (!target || target == layer) return;
  for (Objex* o = layer->firstObject; o;) {
    Objex* next = o->next;
    if (Is2DAnnotation(o)) Move2DObject(o, target);
    o = next;
  }
}

// ---- Flattening curves ----

void ConvertSegmentCurveToPolygon(Objex* object, Poinz* a, Poinz* b) {
  if (!object || !a || !b) return;
  const DocState* ds = CurDocState();
  if (!ds) return;
  const bool straight = a->outHandle[0] == 0 && a->outHandle[1] == 0 && a->outHandle[2] == 0 &&
                        b->inHandle[0] == 0 && b->inHandle[1] == 0 && b->inHandle[2] == 0;
  if (straight) return;
  const int n = std::max(2, CurveSamples(ds, 1, 2));
  float coeff[3][4];
  for (int axis = 0; axis < 3; ++axis)
    SetupSpline(a->position[axis], a->outHandle[axis], b->position[axis], b->inHandle[axis], &coeff[axis][0],
                &coeff[axis][1], &coeff[axis][2], &coeff[axis][3]);
  const float step = 1.0f / static_cast<float>(n);
  float t = 0;
  Poinz* after = a;
  for (int i = 1; i < n; ++i) {
    t += step;
    const float t2 = t * t, t3 = t2 * t;
    float at[3];
    for (int axis = 0; axis < 3; ++axis)
      at[axis] = GetSplineCoord(coeff[axis][0], coeff[axis][1], coeff[axis][2], coeff[axis][3], t, t2, t3);
    Poinz* p = CreatePoint(9, 0, 0, 0, 0, 0, at[0], at[1], at[2], 0, 0, 0, 0, 0, 0, object);
    if (!p) break;
    p->segmentFlags |= 3;
    InsertPointInObject(p, object, after);
    after = p;
  }
  a->segmentFlags |= 3;
  a->pointType = 9;
  for (int axis = 0; axis < 3; ++axis) {
    a->outHandle[axis] = 0;
    b->inHandle[axis] = 0;
  }
}

void ConvertObjectCurvesToPolygons(Objex* object) {
  if (!object || !object->firstPoint) return;
  Poinz* first = object->firstPoint;
  for (Poinz* p = first; p;) {
    Poinz* next = p->next;  // the original successor; new points go between
    Poinz* end = next ? next : (object->closed && p != first ? first : nullptr);
    if (end) ConvertSegmentCurveToPolygon(object, p, end);
    p = next;
  }
}

void PreserveConvertClosedToOpen(Objex* object) {
  if (!object || !object->closed || !object->firstPoint) return;
  const Poinz* s = object->firstPoint;
  Poinz* p = CreatePoint(s->pointType, 0, s->locked, s->inHandle[0], s->inHandle[1], s->inHandle[2],
                         s->position[0], s->position[1], s->position[2], s->outHandle[0], s->outHandle[1],
                         s->outHandle[2], s->linkVector[0], s->linkVector[1], s->linkVector[2], object);
  if (!p) return;  // stay closed rather than lose the closing segment
  object->closed = 0;
  CopyPointSegmentValues(s, p);
  // A wall owns one trim record per point side; the new last point starts no segment of the
  // open wall, so it gets none rather than sharing the first point's.
  if (object->type != kObjWall) {
    p->trim1 = s->trim1;
    p->trim2 = s->trim2;
  }
  AppendPointToObject(p, object);
}
