// The plan drawing pipeline: layers, objects and their children in order and colour, the
// exterior-space, deck and foundation passes.
#include "plandraw/PlanDrawing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/ViewProjection.h"
#include "model/Records.h"
#include "model/WalkNotes.h"
#include "model/Selection.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DrawContext.h"
#include "plandraw/DrawFlags.h"
#include "model/ColorConversions.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/BuildingSymbols.h"
#include "plandraw/DetailDrawing.h"
#include "plandraw/RoofDrawing.h"
#include "plandraw/SlopeArrows.h"
#include "plandraw/SymbolDrawing.h"
#include "plandraw/TextObjects.h"
#include "plandraw/WallSegmentDimensions.h"
#include "plandraw/PerimeterDimensions.h"
#include "plandraw/SmallPlanObjects.h"
#include "plandraw/WallsAndDoors.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/RegionFills.h"
#include "plandraw/VirtualRuler.h"
#include "plandraw/ZLKDynamicDrawEngine.h"

bool gPlanCulling = true;

bool CurrentCullingArea(NSRect* area) {
  if (!gPlanCulling || gPrinting || gPerspective || gDynamicDrawing || gTransformationDrawing || gRealTimeDraw)
    return false;
  Base2DView* view = MainDocumentView();
  return view && view->drawingRect(area);
}

namespace {

constexpr int16_t kObjType106 = 106;
constexpr int32_t kSubWall2DCopy = 140;
constexpr RGBColor kDefaultPlanColor{0, 16448, 34952};

// Restores the pen colour when the scope ends.
struct PenColorScope {
  RGBColor saved = gPlanDrawSettings.penColor;
  ~PenColorScope() { gPlanDrawSettings.penColor = saved; }
};

bool IsWall(const Objex* o) { return o && o->type == kObjWall; }

// The wall a 2D view copy shows, when its source is one. A photo view's source is its image
// path, never an object.
Objex* WallSourceOf(const Objex* object) {
  if (object->subtype != kSubWall2DCopy || object->type == kObjPhotoView) return nullptr;
  auto* source = static_cast<Objex*>(object->sourceObject);
  return IsWall(source) ? source : nullptr;
}

// The deck plan colour lightened: a tenth of the saturation, value half way to full.
RGBColor CurrentFloorDeckHatchColor(const DocState* ds) {
  HSVColor hsv;
  RGBtoHSV(&ds->planColors[kPlanDeck], &hsv);
  hsv.saturation = static_cast<uint16_t>(hsv.saturation / 10);
  hsv.value = static_cast<uint16_t>(65535 - (65535 - hsv.value) / 2);
  RGBColor out;
  HSVtoRGB(&hsv, &out);
  return out;
}

// A group or plant is skipped when the main window's view does not redraw its rectangle.
bool CulledByView(const Objex* object, bool clampSize) {
  if (gPrinting) return false;
  Base2DView* view = MainDocumentView();
  // Without a plan view nothing is being redrawn selectively: draw it.
  if (!view) return false;
  const Float3DRect& b = object->bounds3D;
  float width = b.floatRight - b.floatLeft, height = b.floatFront - b.floatBack;
  if (clampSize) {
    width = std::max(width, 1.0f);
    height = std::max(height, 1.0f);
  }
  const NSRect rect = NSMakeRect(ZoomF(b.floatLeft), ZoomF(b.floatBack), ZoomF(width), ZoomF(height));
  return !view->needsToDrawRect(rect);
}

// ---- Leaving out what cannot show ----

// A large design does not stay in the caches between the passes of a redraw, and each object
// and point lies apart: the passes over a floor ask for the records a few objects ahead.
template <size_t Bytes>
void PrefetchRecord(const void* record) {
  const char* at = static_cast<const char*>(record);
  for (size_t offset = 0; offset < Bytes; offset += 64) PrefetchLine(at + offset);
}

// Kinds whose whole drawing lies within their points (curve handles included), their
// children and type data, widened by the margins below. Any other kind is always drawn.
bool CullableKind(int16_t type) {
  switch (type) {
    case kObjRect: case kObjOval: case kObjMultigon: case kObjArc: case kObjLine: case kObjClosedPoly:
    case kObjOpenPoly: case kObjWall: case kObjFloor: case kObjPropertyLine: case kObjPath: case kObjEdging:
    case kObjFence: case kObjGroundFill: case kObjDetail: case kObjCutout: case kObjRailing: case kObjText:
    case kObjLengthDim: case kObjOffsetDim: case kObjOffsetDimHorizontal: case kObjDimLine: case kObjDoor:
    case kObjWindow: case kObjComponent:
      return true;
    default:
      return false;
  }
}

// A box in plan units around an object's points, and how far its drawing may reach beyond
// them in plan units (wall thickness, door swings).
struct ReachBox {
  float lo[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                 std::numeric_limits<float>::max()};
  float hi[3] = {-std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                 -std::numeric_limits<float>::max()};
  float margin = 0;
  bool cullable = true;
  // When set, every record the measure looks at is noted here, in order.
  WalkNotes* trace = nullptr;
  // Whether a point of the object or of its children is selected, as HasSelectedPointInTree
  // answers: known once the whole object was measured (the box is cullable).
  bool selected = false;

  void add(float x, float y, float z) {
    const float v[3] = {x, y, z};
    for (int k = 0; k < 3; ++k) {
      if (!std::isfinite(v[k])) {
        cullable = false;
        return;
      }
      lo[k] = std::min(lo[k], v[k]);
      hi[k] = std::max(hi[k], v[k]);
    }
  }
  void reach(float v) {
    if (!std::isfinite(v)) cullable = false;
    else margin = std::max(margin, std::fabs(v));
  }
  bool empty() const { return lo[0] > hi[0]; }
};

void GrowByPoints(const Objex* o, ReachBox& box, bool inSelection) {
  for (const Poinz* p = o->firstPoint; p && box.cullable; p = p->next) {
    if (box.trace) box.trace->note(p);
    if (inSelection && p->selected) box.selected = true;
    const float* at = p->position;
    box.add(at[0], at[1], at[2]);
    // A curve stays within its end points moved by their handles either way.
    for (const float* h : {p->outHandle, p->inHandle})
      if (h[0] != 0 || h[1] != 0 || h[2] != 0) {
        box.add(at[0] + h[0], at[1] + h[1], at[2] + h[2]);
        box.add(at[0] - h[0], at[1] - h[1], at[2] - h[2]);
      }
  }
}

// `inSelection`: the object's points count for the selection (see ReachBox::selected).
void GrowByObject(const Objex* o, ReachBox& box, const DocState* ds, int depth, bool checkKind, bool inSelection) {
  if (!box.cullable) return;
  if (!o || depth > 16 || (checkKind && !CullableKind(o->type))) {
    box.cullable = false;
    return;
  }
  if (box.trace && depth > 0) box.trace->note(o);
  GrowByPoints(o, box, inSelection);
  if (o->type == kObjWall) box.reach(ConvertWorldToScreen(o->width, ds, 0));
  if (const DoorWindowData* d = AttachmentData(o)) {
    box.reach(d->width);
    box.reach(d->height);
  }
  for (const Objex* c = o->firstChild; c && box.cullable; c = c->next) GrowByObject(c, box, ds, depth + 1, true, inSelection);
  // The outline a wall keeps, the parts of paths, edging, staircases and decks.
  auto* head = static_cast<const Objex*>(o->typeData);
  switch (o->type) {
    case kObjWall:
      if (head) GrowByObject(head, box, ds, depth + 1, false, false);
      break;
    case kObjPath: case kObjEdging:
      for (const Objex* t = head; t && box.cullable; t = t->next) GrowByObject(t, box, ds, depth + 1, false, false);
      break;
    default:
      break;
  }
}

// The area being drawn and how far labels and marks may reach beyond an object's box.
struct CullArea {
  bool active = false;
  NSRect rect{};
  float viewMargin = 0;
  // The view projection without perspective is affine: the view point of (x, y, z) is
  // origin + x * axis[0] + y * axis[1] + z * axis[2].
  NSPoint origin{};
  NSPoint axis[3]{};
};

NSPoint ProjectForCulling(float x, float y, float z) {
  float x2 = x, y2 = y, z2 = z;
  ConvertToIso(&x, &y, &z, &x2, &y2, &z2, 0);
  return {x, y};
}

CullArea CurrentCullArea(const DocState* ds, const DragTransformInfo* transform) {
  CullArea area;
  if (transform || !ds || !CurrentCullingArea(&area.rect)) return area;
  // Length labels and callouts: a line of text at the plan's font (12 units at least), up
  // to 16 heights long, beside the line; arrowheads and pen widths.
  float text = ds->font.lfHeight < 0 ? std::fabs(ZoomF(static_cast<float>(ds->font.lfHeight))) : 12.0f;
  if (!std::isfinite(text)) return area;
  text = std::max(text, 12.0f);
  area.viewMargin = 32.0f + 16.0f * text;
  area.origin = ProjectForCulling(0, 0, 0);
  // Measured over a long lever, so that rounding near the view offsets stays far below a unit.
  constexpr float kLever = 4096.0f;
  for (int k = 0; k < 3; ++k) {
    const NSPoint far = ProjectForCulling(k == 0 ? kLever : 0, k == 1 ? kLever : 0, k == 2 ? kLever : 0);
    area.axis[k] = {(far.x - area.origin.x) / kLever, (far.y - area.origin.y) / kLever};
    if (!std::isfinite(area.axis[k].x) || !std::isfinite(area.axis[k].y)) return area;
  }
  if (!std::isfinite(area.origin.x) || !std::isfinite(area.origin.y)) return area;
  area.active = true;
  return area;
}

// True when nothing of the object can show in the area. The records looked at are noted in
// `trace` when given. When the object is left out, `selected` (when given) says whether a point
// of it is selected as HasSelectedPointInTree would, or -1 when that is not known.
bool CulledByBounds(const Objex* object, const CullArea& area, const DocState* ds,
                    WalkNotes* trace = nullptr, int* selected = nullptr) {
  if (selected) *selected = -1;
  if (!area.active) return false;
  // An object whose first point shows in the area is drawn: its box holds that point, so the
  // box cannot lie outside. Most objects of a view that shows them are taken this way without
  // a walk of their points.
  if (const Poinz* p = object->firstPoint) {
    if (trace) trace->note(p);
    const float* at = p->position;
    const float x = area.origin.x + at[0] * area.axis[0].x + at[1] * area.axis[1].x + at[2] * area.axis[2].x;
    const float y = area.origin.y + at[0] * area.axis[0].y + at[1] * area.axis[1].y + at[2] * area.axis[2].y;
    const NSRect& r = area.rect;
    if (x >= NSMinX(r) && x <= NSMaxX(r) && y >= NSMinY(r) && y <= NSMaxY(r)) return false;
  }
  ReachBox box;
  if (trace) trace->out->pop_back();  // the first point comes again with the others
  box.trace = trace;
  GrowByObject(object, box, ds, 0, true, true);
  if (!box.cullable || box.empty()) return false;
  if (selected) *selected = box.selected ? 1 : 0;
  // Dimension lines stand off their points by up to 30 units, callouts by their distance
  // and 8 more: 48 plan units cover both.
  const float m = box.margin + 48.0f;
  // The box's centre and half extents, projected: the view rect it covers.
  float cx = area.origin.x, cy = area.origin.y, hx = 0, hy = 0;
  for (int k = 0; k < 3; ++k) {
    const float centre = (box.lo[k] + box.hi[k]) * 0.5f, half = (box.hi[k] - box.lo[k]) * 0.5f + m;
    cx += centre * area.axis[k].x;
    cy += centre * area.axis[k].y;
    hx += std::fabs(half * area.axis[k].x);
    hy += std::fabs(half * area.axis[k].y);
  }
  // A unit more for rounding.
  const float left = cx - hx - 1, right = cx + hx + 1, top = cy - hy - 1, bottom = cy + hy + 1;
  if (!std::isfinite(left) || !std::isfinite(right) || !std::isfinite(top) || !std::isfinite(bottom)) return false;
  const float v = area.viewMargin;
  const NSRect& r = area.rect;
  return right + v < NSMinX(r) || left - v > NSMaxX(r) || bottom + v < NSMinY(r) || top - v > NSMaxY(r);
}

void StrokeLineBufferDashed(DrawContext* handle) {
  DrawContext* ctx = ResolveDrawContext(handle);
  if (ctx && gAcclLineBuffer && gAcclLinePointCount >= 2) {
    static const float kDash[] = {3, 3};
    ctx->saveGraphicsState();
    StrokeStyle style = ctx->currentStroke();
    style.setDash(kDash, 2, 0);
    ctx->strokeLines(gAcclLineBuffer, static_cast<size_t>(gAcclLinePointCount), style);
    ctx->restoreGraphicsState();
  }
}

// The objects a wall, path, edging, staircase or deck keeps as its type data, drawn before it.
void DrawTypeDataObjects(DrawContext* handle, Objex* object, const RECT* rect, int32_t flags) {
  auto* head = static_cast<Objex*>(object->typeData);
  if (!head) return;
  switch (object->type) {
    case kObjWall:
      DrawObject(handle, head, rect, flags, nullptr);
      break;
    case kObjPath:
    case kObjEdging:
      for (Objex* o = head; o; o = o->next) DrawObject(handle, o, rect, flags, nullptr);
      break;
    case kObjStaircase:
    case kObjDeck:
      for (Objex* o = head; o; o = o->next)
        if (o->type == kObjStairTread) DrawObject(handle, o, rect, flags, nullptr);
      break;
    default:
      break;
  }
}

bool IsDetailShape(const Objex* object) {
  return object->type == kObjDetail && object->subtype >= 1 && object->subtype <= 9;
}

bool NeedsOutlineDimensions(const Objex* object) {
  if (IsDetailShape(object)) return !gRealTimeDraw && !gDynamicDrawing;
  switch (object->type) {
    case kObjFloor: case kObjPropertyLine: case kObjFence: case kObjGroundFill: case kObjDetail:
    case kObjRailing: case kObjCutout: case kObjDeck: case kObjRoofPanel: case kObjPhotoView:
      return object->subtype != kSubSwitchConnector && !gDynamicDrawing;
    default:
      return false;
  }
}

// An outline of straight segments only (the closing one of a closed object included) drawn
// as DrawObjectSegment draws them one by one, each point projected once. False, with nothing
// drawn, for a curved segment and for the kinds whose segments draw more than a line (stairs'
// arrowheads, fence gates, the quick wall's gap).
bool DrawStraightOutline(DrawContext* handle, Objex* object) {
  if (object->type == kObjFence || object->type == kObjQuickWall || object->subtype == kSubStraightStair ||
      object->subtype == kSubCurvedStair || !CurDocState())
    return false;
  auto isZero = [](const float v[3]) { return v[0] == 0 && v[1] == 0 && v[2] == 0; };
  thread_local std::vector<float> points;
  thread_local std::vector<uint32_t> ends;
  points.clear();
  ends.clear();
  const Poinz* first = object->firstPoint;
  uint32_t n = 0;
  for (const Poinz* p = first; p; p = p->next, ++n) {
    const Poinz* to = p->next ? p->next : (object->closed && p != first ? first : nullptr);
    if (to && !(isZero(p->outHandle) && isZero(to->inHandle))) return false;
    points.insert(points.end(), {p->position[0], p->position[1], p->position[2]});
    if (p->next) ends.insert(ends.end(), {n, n + 1});
    else if (to) ends.insert(ends.end(), {n, 0});
  }
  DrawLinesBetweenPoints(handle, points.data(), n, ends.data(), ends.size() / 2, object);
  return true;
}

// The object's segments from its own points, level by level with the links between levels.
void DrawSegments(DrawContext* handle, Objex* object, int32_t flags, const DragTransformInfo* transform,
                  int32_t viewID) {
  // A wall's 2D copy is the wall's own drawing in the top view and on several levels.
  if (Objex* wall = WallSourceOf(object); wall && (viewID == kCmdViewTop || object->levels != 1)) {
    Draw2DWall(handle, object, wall);
    return;
  }
  Poinz* first = object->firstPoint;
  if (!first) return;
  if (object->levels == 1 && !transform && DrawStraightOutline(handle, object)) {
    // Drawn in one go.
  } else if (object->levels == 1) {
    const bool quickWall = object->type == kObjQuickWall;
    const int32_t skipped = object->pointCount / 2;
    int32_t number = 1;
    Poinz* p = first;
    for (; p->next; p = p->next, ++number)
      if (!(quickWall && number == skipped)) DrawObjectSegment(handle, object, p, p->next, flags, transform);
    if (object->closed && !quickWall && p != first) DrawObjectSegment(handle, object, p, first, flags, transform);
  } else {
    const int32_t k = object->levels > 0 ? object->pointCount / object->levels : 0;
    // Each level's ring, joined point by point to the level below.
    Poinz* below = nullptr;
    Poinz* ring = first;
    for (int32_t level = 0; k > 0 && level < object->levels && ring; ++level) {
      Poinz* p = ring;
      Poinz* q = below;
      Poinz* last = ring;
      int32_t i = 0;
      for (; i < k && p; ++i) {
        last = p;
        if (i + 1 < k && p->next) DrawObjectSegment(handle, object, p, p->next, flags, transform);
        if (q) {
          DrawLinkSegment(handle, object, q, p, flags, transform);
          q = q->next;
        }
        p = p->next;
      }
      if (object->closed && last != ring) DrawObjectSegment(handle, object, last, ring, flags, transform);
      if (i < k) break;  // the list ended early
      below = ring;
      ring = p;
    }
  }
  ZLKDocumentModel* doc = gCurDocument;
  if (object->type == kObjTopography && doc && object->layer == doc->itsTopoLayer) {
    int32_t number = 1;
    Poinz* p = first;
    for (; p; p = p->next, ++number) {
      const bool lastOfOdd = !p->next && object->pointCount % 2 == 1;
      if (number % 2 == 0 || lastOfOdd) DrawTopoLineElevation(handle, object, p);
    }
  }
}

// Kinds drawn whole by their own routine: nothing else of the object is drawn.
bool DrawWholeObjectByKind(DrawContext* handle, Objex* object, const RECT* rect, int32_t flags,
                           const DragTransformInfo* transform) {
  switch (object->type) {
    case kObjDimensionInfo:
      return true;
    case kObjDoor:
      DrawDoor(handle, object, rect, flags, transform);
      return true;
    case kObjWindow:
      DrawWindow(handle, object);
      return true;
    case kObjPlant:
      DrawPlant(handle, object);
      return true;
    case kObjComponent:
      if (object->subtype == kSubDimensionAttachment) DrawDimensionAttachment(handle, object);
      else DrawComponent(handle, object, rect, flags, transform, object->subtype);
      return true;
    case kObjRoofSlopeArrow:
      DrawRoofSlopeDirectionArrow(handle, object);
      return true;
    case kObjAccessory:
      DrawAccessory(handle, object);
      return true;
    default:
      return false;
  }
}

// The kinds' own routines while nothing is moved or rubber-banded; true when the object's
// segments follow.
bool DrawOwnRoutineByKind(DrawContext* handle, Objex* object) {
  switch (object->type) {
    case kObjPath:
      DrawPath(handle, object);
      return true;
    case kObjDeck:
      DrawDeck(handle, object);
      return true;
    case kObjSprinkler:
      DrawSprinkler(handle, object);
      return true;
    case kObjRoof:
      DrawRoof(handle, object);
      return false;
    case kObjStaircase:
      DrawStaircase(handle, object);
      return false;
    case kObjEntireLot:
      DrawTopoSlopeDirectionArrow(handle, object);
      return true;
    case kObjSlopeLotSection:
      DrawTopoMultiSlopeDirectionArrow(handle, object);
      return true;
    case kObjFoundationBeam:
      DrawFoundationBeam(handle, object);
      return false;
    case kObjFoundationPier:
      DrawFoundationPier(handle, object);
      return false;
    case kObjFoundationStrand:
      DrawFoundationTensionCable(handle, object);
      return false;
    case kObjAirDuct:
      DrawHVACDuct(handle, object);
      return false;
    case kObjFoundationSlope:
      DrawFoundationSlope(handle, object);
      return false;
    case kObjDynamicText:
      DrawTextDynamicObject(handle, object);
      return false;
    case kObjText:
      DrawTextStandardObject(handle, object);
      return false;
    case kObjDiameterDim:
    case kObjType106:
      DrawDiameterDimension(handle, object);
      return false;
    case kObjLeaderDim:
      DrawLeaderDimension(handle, object);
      return false;
    case kObjDimLine:
      DrawObjectPerimeter(handle, object);
      return false;
    case kObjOffsetDim:
    case kObjOffsetDimHorizontal:
    case kObjLengthDim:
      DrawDimensionPerimeter(handle, object);
      return false;
    default:
      return true;
  }
}

// The object that is drawn as one of a floor's objects and holds `object`: its top-level
// object, or the member of an ordinary group (GroupMembersStandAlone: its members are drawn
// each as it is drawn alone on its floor) it belongs to.
const Objex* PlacedRoot(const Objex* object) {
  while (object->parent && !GroupMembersStandAlone(object->parent)) object = object->parent;
  return object;
}

// Whether an object of a floor, or a member of an ordinary group, that shows on the current
// plan draws nothing in the area being redrawn, as the walk of a floor finds it alone: an
// ordinary group when none of its members draws there, a plant or a group of another kind
// when the view does not redraw its box, any other object by its points and reach.
bool LeftOutOfRedraw(const Objex* object, const CullArea& area, const DocState* ds) {
  if (GroupMembersStandAlone(object)) {
    for (const Objex* m = object->firstChild; m; m = m->next)
      if (IsObjectOnCurrentPlan(m, ds->currentPlanMask) && !LeftOutOfRedraw(m, area, ds)) return false;
    return true;
  }
  if (object->type == kObjGroup) return CulledByView(object, true);
  if (object->type == kObjPlant) return CulledByView(object, false);
  return CulledByBounds(object, area, ds);
}

// The members of an ordinary group that a floor's pass picking objects by kind would pick if
// they stood alone: those `wanted` admits, in drawing order after `out`'s, through the ordinary
// groups within it, each as the drawing takes them (shown on the current plan and reaching the
// area redrawn).
template <typename Wanted>
void CollectMembers(Objex* group, const DocState* ds, const CullArea& area, const Wanted& wanted,
                    std::vector<Objex*>& out) {
  if (!GroupMembersStandAlone(group)) return;
  for (Objex* m = group->firstChild; m; m = m->next) {
    if (!IsObjectOnCurrentPlan(m, ds->currentPlanMask)) continue;
    if (GroupMembersStandAlone(m)) CollectMembers(m, ds, area, wanted, out);
    else if (wanted(m) && !LeftOutOfRedraw(m, area, ds)) out.push_back(m);
  }
}

void DrawPlacedObject(DrawContext* handle, Objex* object, const Layer* layer, const RECT* updateRect,
                      int32_t drawFlags, const DragTransformInfo* transform, bool member);

void DrawChildren(DrawContext* handle, Objex* object, const RECT* rect, int32_t flags,
                  const DragTransformInfo* transform, const DocState* ds) {
  if (GroupMembersStandAlone(object)) {
    // Each member as it is drawn alone, where the plans shown admit it and where it reaches
    // the area redrawn.
    const Layer* layer = GetRootObject(object)->layer;
    const CullArea area = CurrentCullArea(ds, transform);
    for (Objex* member = object->firstChild; member; member = member->next)
      if (IsObjectOnCurrentPlan(member, ds->currentPlanMask) && !LeftOutOfRedraw(member, area, ds))
        DrawPlacedObject(handle, member, layer, rect, flags, transform, true);
    return;
  }
  for (Objex* child = object->firstChild; child; child = child->next) {
    switch (child->type) {
      case kObjComponent: case kObjDoor: case kObjWindow: case kObjAccessory:
        if (IsObjectOnCurrentPlan(child, ds->currentPlanMask)) DrawObject(handle, child, rect, flags, transform);
        break;
      case kObjSkylight: {
        auto* data = static_cast<RoofAttachmentData*>(child->typeData);
        if (!data) break;
        if (data->subtype != kSkylightCustom) {
          DrawObject(handle, child, rect, flags, transform);
          break;
        }
        const bool carried = (flags & (kDrawFlagRotate | kDrawFlagTranslate)) && IsObjectSelected(child);
        // The outlines placed on the roof; the definition's own outlines are not in the plan.
        for (Objex* part = data->parts; part; part = part->next) {
          if (part->type != kObjSkylightOutline) continue;
          if (carried) SelectObj(part, 1, 0);
          DrawObject(handle, part, rect, flags, transform);
          if (carried) SelectObj(part, 2, 0);
        }
        break;
      }
      default:
        DrawObject(handle, child, rect, flags, transform);
        break;
    }
  }
}

}  // namespace

void GetObjectPlanColor(const Objex* object, RGBColor* out) {
  if (!gCurDocument || !out) return;
  const RGBColor penColor = gPlanDrawSettings.penColor;  // out may be the pen colour itself
  *out = kDefaultPlanColor;
  const DocState* ds = CurDocState();
  if (!ds || !object) return;
  if (object->type == kObjWall && object->planMask != 128) {
    *out = ds->planColors[kPlanFloor];
    return;
  }
  for (int k = 0; k < kPlanKindCount; ++k)
    if (object->planMask == (1 << k)) {
      *out = ds->planColors[k];
      return;
    }
  *out = penColor;
}

bool CanObjectBeDrawn(const Objex* object, int32_t drawFlags) {
  if (!object) return false;
  if (drawFlags & kDrawFlagAll) return true;
  if (drawFlags & kDrawFlagSelected) {
    if (object->type == kObjRoof || object->type == kObjRoofPanel) return IsRootObjectSelected(object);
    return IsObjectSelected(object);
  }
  return false;
}

void DrawObject(DrawContext* handle, Objex* object, const RECT* updateRect, int32_t drawFlags,
                const DragTransformInfo* transform) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (!doc || !ds || !object) return;
  int32_t viewID = 0;
  if (!gRealTimeDraw) {
    if (!CanObjectBeDrawn(object, drawFlags)) return;
    viewID = GetCurrentView();
  }

  if (object->visible) {
    PenColorScope penScope;
    // A wall's openings and parts take their own plan colours, in a group as alone.
    const Objex* root = GetRootObject(object);
    if (IsWall(PlacedRoot(object)) && root->layer == doc->itsCurLayer) {
      RGBColor color;
      GetObjectPlanColor(object, &color);
      gPlanDrawSettings.penColor = color;
    }
    if (DrawContext* ctx = ResolveDrawContext(handle))
      ctx->setColor((drawFlags & (kDrawFlagRed | kDrawFlagRedAlt)) ? kDrawRed
                                                                    : DrawColorFromRGB(gPlanDrawSettings.penColor));
    if (gTransformationDrawing) {
      if (ZLKDynamicDrawEngine* engine = MainViewDynamicDrawEngine()) {
        auto element = std::make_unique<ZLKDynamicTransformElement>();
        element->setLineStyleForObject(object);
        engine->addDynamicTransformElement(std::move(element));
      }
    }

    if (!DrawWholeObjectByKind(handle, object, updateRect, drawFlags, transform)) {
      // A wall is drawn by its outline (its type data) unless it is being moved. A wall
      // whose outline has not been built yet is drawn from its own points.
      if (object->type == kObjWall && !transform) {
        if (!object->typeData) DrawWallFromPoints(handle, object);
      } else {
        const bool perimeter = NeedsOutlineDimensions(object);
        if (perimeter && !IsDetailShape(object)) DrawObjectPerimeter(handle, object);
        if (IsDetailShape(object)) ApplePortDrawDetailObject(object, drawFlags, transform);
        else if (transform || gDynamicDrawing || DrawOwnRoutineByKind(handle, object))
          DrawSegments(handle, object, drawFlags, transform, viewID);
        if (perimeter && IsDetailShape(object)) DrawObjectPerimeter(handle, object);
      }
    }
  }

  DrawChildren(handle, object, updateRect, drawFlags, transform, ds);
}

namespace {

// One of the objects of floor `layer` (`member`: a member of an ordinary group, drawn as it
// would be alone): in its plan colour on the current floor, the topography colour on the
// topography layer and the pen colour as it stands on the other floors; after its type-data
// objects unless moved; a group and an edging stroke the line buffer after themselves (an
// edging dashed). A floor's groups and plants are left out where the view does not redraw
// them; the members of a group that is drawn are not.
void DrawPlacedObject(DrawContext* handle, Objex* object, const Layer* layer, const RECT* updateRect,
                      int32_t drawFlags, const DragTransformInfo* transform, bool member) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (!doc || !ds || !object) return;
  PenColorScope penScope;
  if (layer == doc->itsCurLayer) {
    RGBColor color;
    GetObjectPlanColor(object, &color);
    gPlanDrawSettings.penColor = color;
  } else if (layer == doc->itsTopoLayer) {
    gPlanDrawSettings.penColor = TopographyColor(ds);
  }
  const bool strokesAfter = object->type == kObjGroup || object->type == kObjEdging;
  // What the group holding it left in the line buffer is stroked as the group strokes it, so
  // that the buffer holds this object's lines alone.
  if (member && strokesAfter) StrokeAcclLineBuffer(handle);
  if (!transform) DrawTypeDataObjects(handle, object, updateRect, drawFlags);
  switch (object->type) {
    case kObjGroup:
      // An ordinary group's members are each left out where they do not reach (DrawChildren).
      if (!member && !GroupMembersStandAlone(object) && CulledByView(object, true)) break;
      DrawObject(handle, object, updateRect, drawFlags, transform);
      StrokeAcclLineBuffer(handle);
      break;
    case kObjPlant:
      if (!member && CulledByView(object, false)) break;
      DrawObject(handle, object, updateRect, drawFlags, transform);
      break;
    case kObjEdging:
      DrawObject(handle, object, updateRect, drawFlags, transform);
      StrokeLineBufferDashed(handle);
      if (member) gAcclLinePointCount = 0;
      break;
    default:
      DrawObject(handle, object, updateRect, drawFlags, transform);
      break;
  }
}

// One object of a layer that may show, and whether an object left out for its bounds came
// just before it (the accelerated line buffer is emptied there). The kind, and whether it is an
// exterior wall, as the walk found them: the passes that pick objects by kind (fills, decks)
// look at these instead of at every object again.
struct Drawable {
  Objex* object;
  int16_t type;
  bool afterCulled;
  bool exteriorWall;
};

// The objects of a layer on the current plan whose drawing can reach the area, in list order;
// groups and plants are left to their own view test. One walk of the layer serves every pass.
struct LayerDrawables {
  Layer* layer = nullptr;
  std::vector<Drawable> objects;
  bool anyCulled = false;
  // With `noteSelected`: the top-level objects with a selected point in them (on any plan).
  // Those not drawn are found by the walk, each with the number of drawables before it; the
  // drawn ones are looked at as they are drawn, when their points are at hand (`drawnSelected`,
  // one flag per drawable, empty until then).
  bool noteSelected = false;
  std::vector<std::pair<size_t, Objex*>> selectedAside;
  std::vector<uint8_t> drawnSelected;
  // Every top-level object with a selected point in it, in list order.
  std::vector<Objex*> selected() {
    if (drawnSelected.size() != objects.size()) {
      drawnSelected.resize(objects.size());
      for (size_t i = 0; i < objects.size(); ++i) drawnSelected[i] = HasSelectedPointInTree(objects[i].object);
    }
    std::vector<Objex*> out;
    size_t aside = 0;
    for (size_t i = 0; i <= objects.size(); ++i) {
      for (; aside < selectedAside.size() && selectedAside[aside].first == i; ++aside)
        out.push_back(selectedAside[aside].second);
      if (i < objects.size() && drawnSelected[i]) out.push_back(objects[i].object);
    }
    return out;
  }
};

// The objects noted by the last DrawAllLayers while a SelectedObjectsOfRedrawScope lives.
struct SelectedOfRedraw {
  int scopes = 0;
  std::vector<std::pair<const Layer*, std::vector<Objex*>>> layers;
};
SelectedOfRedraw& SelectedNotes() {
  static SelectedOfRedraw notes;
  return notes;
}

FloorWalkTraces& PlanWalkTraces() {
  thread_local FloorWalkTraces traces;
  return traces;
}

void GatherDrawables(Layer* layer, const DocState* ds, const CullArea& area, LayerDrawables& out,
                     bool noteSelected = false) {
  out.layer = layer;
  out.objects.clear();
  out.noteSelected = noteSelected;
  out.selectedAside.clear();
  out.drawnSelected.clear();
  out.anyCulled = false;
  if (!layer) return;
  FloorWalkTraces& traces = PlanWalkTraces();
  WalkNotes notes = traces.begin(layer);
  bool culled = false;
  for (Objex* object = layer->firstObject; object; object = object->next) {
    notes.note(object);
    const bool onPlan = IsObjectOnCurrentPlan(object, ds->currentPlanMask);
    int selected = -1;
    const bool cut = onPlan && object->type != kObjGroup && object->type != kObjPlant &&
                     CulledByBounds(object, area, ds, &notes, &selected);
    if (!onPlan || cut) {
      if (noteSelected && (selected >= 0 ? selected == 1 : HasSelectedPointInTree(object)))
        out.selectedAside.push_back({out.objects.size(), object});
      if (cut) culled = out.anyCulled = true;
      continue;
    }
    const int16_t type = object->type;
    out.objects.push_back({object, type, culled, type == kObjWall && object->subtype == kSubExteriorWall});
    culled = false;
  }
  traces.finish();
}

// Asks for the records of the objects a few ahead of object i of `objects` (items that
// `objectOf` turns into objects): the object kDepth ahead, and point k of the object
// kDepth - 1 - k ahead, whose point before was asked for one object earlier, so the walk to it
// waits on nothing.
template <typename Item, typename ObjectOf>
void PrefetchAhead(const std::vector<Item>& objects, size_t i, ObjectOf objectOf) {
  constexpr size_t kDepth = 6;
  const size_t n = objects.size();
  if (i + kDepth < n) PrefetchRecord<sizeof(Objex)>(objectOf(objects[i + kDepth]));
  for (size_t k = 0; k + 1 < kDepth; ++k) {
    const size_t j = i + kDepth - 1 - k;
    if (j >= n) continue;
    const Poinz* p = objectOf(objects[j])->firstPoint;
    for (size_t step = 0; p && step < k; ++step) p = p->next;
    if (p) PrefetchRecord<sizeof(Poinz)>(p);
  }
}

void DrawLayerObjects(DrawContext* handle, LayerDrawables& drawables, const RECT* updateRect,
                      int32_t drawFlags, const DragTransformInfo* transform) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  Layer* layer = drawables.layer;
  if (!layer || !doc || !ds || !layer->visible) return;
  LineBatchScope batch(ResolveDrawContext(handle));
  if (drawables.noteSelected) drawables.drawnSelected.assign(drawables.objects.size(), 0);
  for (size_t i = 0; i < drawables.objects.size(); ++i) {
    PrefetchAhead(drawables.objects, i, [](const Drawable& o) { return o.object; });
    const Drawable& d = drawables.objects[i];
    Objex* object = d.object;
    // Before it is drawn, as the walk would have found it.
    if (drawables.noteSelected) drawables.drawnSelected[i] = HasSelectedPointInTree(object);
    if (d.afterCulled) gAcclLinePointCount = 0;
    DrawPlacedObject(handle, object, layer, updateRect, drawFlags, transform, false);
    gAcclLinePointCount = 0;
  }
  if (drawables.anyCulled) gAcclLinePointCount = 0;
}

void FillExteriorPerimeterSpaces(DrawContext* handle, const LayerDrawables& current, const CullArea& area) {
  DocState* ds = CurDocState();
  if (!ds) return;
  const RGBColor black{};
  const RGBColor fill = ExteriorFillColor(ds);
  thread_local std::vector<Objex*> walls;
  walls.clear();
  for (const Drawable& d : current.objects) {
    if (d.exteriorWall) walls.push_back(d.object);
    // The exterior walls in a group fill their spaces as they would alone.
    else if (d.type == kObjGroup)
      CollectMembers(d.object, ds, area, [](const Objex* m) { return IsWall(m) && m->subtype == kSubExteriorWall; },
                     walls);
  }
  for (size_t i = 0; i < walls.size(); ++i) {
    PrefetchAhead(walls, i, [](Objex* o) { return o; });
    Draw2DFillRegion(handle, walls[i], kPenRegionNone, 0, &black, &fill, kBrushSolid);
  }
}

}  // namespace

int32_t DrawLayer(DrawContext* handle, Layer* layer, const RECT* updateRect, int32_t drawFlags,
                  const DragTransformInfo* transform) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (!layer || !doc || !ds || !layer->visible) return 0;
  LayerDrawables drawables;
  GatherDrawables(layer, ds, CurrentCullArea(ds, transform), drawables);
  DrawLayerObjects(handle, drawables, updateRect, drawFlags, transform);
  return 0;
}

namespace {

// The floors a transform draw of the selection drew from, kept within a
// KeepSelectionOutlinesScope, with what they were gathered for.
struct KeptOutlines {
  int scopes = 0;
  bool valid = false;
  const ZLKDocumentModel* doc = nullptr;
  const Layer* layers = nullptr;
  const Layer* current = nullptr;
  std::vector<LayerDrawables> floors;
  LayerDrawables currentOutside;
  bool firstLeftOut = false;  // the first object drawn was left out: the line buffer starts empty
};

KeptOutlines& Kept() {
  static KeptOutlines kept;
  return kept;
}

// Where the first object drawn stands while the floors are thinned in drawing order.
enum class FirstDrawn { kPending, kKept, kLeftOut };

// Leaves the objects the flags let DrawObject draw. After each object the line buffer is
// empty; before the first one it holds what the drawing before left in it, which a group or an
// edging strokes. So the first object drawn stays when it is one of those, and when it goes
// the buffer is emptied before the kept ones are drawn.
void KeepDrawnOnly(LayerDrawables& floor, int32_t drawFlags, FirstDrawn* first) {
  size_t kept = 0;
  for (const Drawable& d : floor.objects) {
    const bool pending = *first == FirstDrawn::kPending;
    const bool keeps = (pending && (d.type == kObjGroup || d.type == kObjEdging)) || CanObjectBeDrawn(d.object, drawFlags);
    if (pending) *first = keeps ? FirstDrawn::kKept : FirstDrawn::kLeftOut;
    if (keeps) floor.objects[kept++] = d;
  }
  floor.objects.resize(kept);
}

}  // namespace

KeepSelectionOutlinesScope::KeepSelectionOutlinesScope() { ++Kept().scopes; }
KeepSelectionOutlinesScope::~KeepSelectionOutlinesScope() { --Kept().scopes; }

void ForgetKeptSelectionOutlines() {
  KeptOutlines& kept = Kept();
  kept.valid = false;
  kept.floors.clear();
  kept.currentOutside = LayerDrawables{};
}

void DrawAllLayers(DrawContext* handle, Layer* layers, const RECT* updateRect, int32_t drawFlags,
                   const DragTransformInfo* transform) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (!doc || !ds) return;
  LineBatchScope batch(ResolveDrawContext(handle));

  // Every floor walked once: the fills, the deck hatching and the objects draw from these.
  const CullArea area = CurrentCullArea(ds, transform);
  SelectedOfRedraw& notes = SelectedNotes();
  // Culling off draws the plain way: the handles walk the floors themselves.
  if (notes.scopes > 0) notes.layers.clear();
  const bool noteSelected = notes.scopes > 0 && gPlanCulling;
  // A drag's outlines of the selection: every step after the first draws what the first found.
  KeptOutlines& kept = Kept();
  const bool keep = transform && kept.scopes > 0 && !noteSelected && !gRealTimeDraw &&
                    (drawFlags & (kDrawFlagAll | kDrawFlagSelected)) == kDrawFlagSelected;
  const bool reuse =
      keep && kept.valid && kept.doc == doc && kept.layers == layers && kept.current == doc->itsCurLayer;
  std::vector<LayerDrawables> gathered;
  LayerDrawables gatheredOutside;  // a current floor that is not in the list drawn
  // Gathered straight into what is kept when keeping.
  std::vector<LayerDrawables>& floors = keep ? kept.floors : gathered;
  LayerDrawables& currentOutside = keep ? kept.currentOutside : gatheredOutside;
  if (!reuse) {
    if (keep) ForgetKeptSelectionOutlines();
    for (Layer* layer = layers; layer; layer = layer->next)
      if (layer->visible || layer == doc->itsCurLayer) {
        floors.emplace_back();
        GatherDrawables(layer, ds, area, floors.back(), noteSelected);
      }
  }
  LayerDrawables* current = nullptr;
  for (LayerDrawables& f : floors)
    if (f.layer == doc->itsCurLayer) current = &f;
  if (!current && doc->itsCurLayer) {
    if (!reuse) GatherDrawables(doc->itsCurLayer, ds, area, currentOutside);
    current = &currentOutside;
  }
  if (keep && !reuse) {
    FirstDrawn first = FirstDrawn::kPending;
    for (LayerDrawables& f : floors)
      if (f.layer != doc->itsCurLayer && f.layer != doc->itsCur2DLayer) KeepDrawnOnly(f, drawFlags, &first);
    if (current) KeepDrawnOnly(*current, drawFlags, &first);
    for (LayerDrawables& f : floors)
      if (&f != current && f.layer == doc->itsCur2DLayer) f.objects.clear();  // not drawn under a transform
    kept.firstLeftOut = first == FirstDrawn::kLeftOut;
    kept.valid = true;
    kept.doc = doc;
    kept.layers = layers;
    kept.current = doc->itsCurLayer;
  }
  if (keep && kept.firstLeftOut) gAcclLinePointCount = 0;

  if (!transform && !gPrinting && !ds->traceImageVisible && current)
    FillExteriorPerimeterSpaces(handle, *current, area);

  {
    PenColorScope penScope;
    const RGBColor inactive = InactiveFloorColor(ds);
    gPlanDrawSettings.penColor = inactive;
    if (!transform) {
      const RGBColor currentDeckFill = CurrentFloorDeckHatchColor(ds);
      thread_local std::vector<Objex*> decks;
      for (const LayerDrawables& f : floors) {
        if (!f.layer->visible) continue;
        // The decks of the floor, those in groups among them as they would stand alone.
        decks.clear();
        for (const Drawable& d : f.objects) {
          if (d.type == kObjDeck) decks.push_back(d.object);
          else if (d.type == kObjGroup)
            CollectMembers(d.object, ds, area, [](const Objex* m) { return m->type == kObjDeck; }, decks);
        }
        const RGBColor fill = f.layer == doc->itsCurLayer ? currentDeckFill : inactive;
        for (Objex* deck : decks)
          Draw2DCurvedFillRegion(handle, deck, kPenRegionNone, 0, &inactive, &fill, kBrushForwardDiagonal);
      }
    }
    for (LayerDrawables& f : floors) {
      if (f.layer == doc->itsCurLayer || f.layer == doc->itsCur2DLayer) continue;
      DrawLayerObjects(handle, f, updateRect, drawFlags, transform);
    }
  }
  if (current) DrawLayerObjects(handle, *current, updateRect, drawFlags, transform);
  if (noteSelected)
    for (LayerDrawables& f : floors) notes.layers.emplace_back(f.layer, f.selected());

  if (!transform && !gPrinting && (gCurTool == kToolExteriorWall || gCurTool == kToolExteriorWallKeyEntry))
    DrawAllFoundationPerimeters(handle, layers);
  DrawVirtualRuler(handle);
}

SelectedObjectsOfRedrawScope::SelectedObjectsOfRedrawScope() {
  if (SelectedNotes().scopes++ == 0) SelectedNotes().layers.clear();
}

SelectedObjectsOfRedrawScope::~SelectedObjectsOfRedrawScope() {
  if (--SelectedNotes().scopes == 0) SelectedNotes().layers.clear();
}

const std::vector<Objex*>* SelectedObjectsOfRedraw(const Layer* layer) {
  const SelectedOfRedraw& notes = SelectedNotes();
  if (notes.scopes <= 0) return nullptr;
  for (const auto& [l, objects] : notes.layers)
    if (l == layer) return &objects;
  return nullptr;
}

void FillAllExteriorPerimeterSpaces(DrawContext* handle, Layer* layer) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (gPrinting || !layer || !doc || !ds || !doc->itsCurLayer) return;
  LayerDrawables current;
  const CullArea area = CurrentCullArea(ds, nullptr);
  GatherDrawables(doc->itsCurLayer, ds, area, current);
  FillExteriorPerimeterSpaces(handle, current, area);
}

void DrawAllFoundationPerimeters(DrawContext* handle, Layer* layers) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (gPrinting || !doc || !ds || !doc->itsCurLayer) return;
  if (gCurTool != kToolExteriorWall && gCurTool != kToolExteriorWallKeyEntry) return;
  const RGBColor stroke = ds->planColors[kPlanFoundation];
  const RGBColor fill = InactiveFloorColor(ds);
  auto exterior = [](const Objex* o) { return o->type == kObjWall && o->subtype == kSubExteriorWall; };
  thread_local std::vector<Objex*> walls;
  walls.clear();
  for (Objex* object = doc->itsCurLayer->firstObject; object; object = object->next) {
    if (exterior(object) && IsObjectOnCurrentPlan(object, ds->currentPlanMask)) walls.push_back(object);
    // The exterior walls in a group, as they would stand alone.
    else if (object->type == kObjGroup && IsObjectOnCurrentPlan(object, ds->currentPlanMask))
      CollectMembers(object, ds, CullArea{}, exterior, walls);
  }
  for (Objex* wall : walls) Draw2DFillRegion(handle, wall, kPenRegionDotted, 1, &stroke, &fill, kBrushHollow);
}
