// Selection handles, frame handles and the outlines drawn over a selection.
#include "plandraw/SelectionHandles.h"

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/DrawContext.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlanRecordFields.h"
#include "plandraw/SelectionBox.h"
#include "plandraw/SlopeArrows.h"
#include "plandraw/SymbolGeometry.h"
#include "plandraw/WallSegmentDimensions.h"
#include "model/ViewProjection.h"

int16_t gKeyEntrySelectionFlag = 1;

namespace {

constexpr int16_t kObjType200 = 200;
constexpr DrawColor kHandleGreen{0, 1, 0, 1};

// The point through the current view, made whole; no print scale.
NSPoint HandleCentre(float x, float y, float z) {
  NSPoint v;
  ProjectLine(x, y, z, x, y, z, false, &v, nullptr);
  return v;
}

void FillAndOutline(DrawContext* ctx, const BezierPath& path, const DrawColor& fill) {
  FillStyle f;
  f.color = fill;
  ctx->fillPath(path, f);
  StrokeStyle s;
  s.color = kDrawBlack;
  s.width = 1.0f;
  ctx->strokePath(path, s);
}

bool HasSelectionOutline(int16_t type) {
  return type == kObjDoor || type == kObjWindow || type == kObjDeckSteps || type == kObjRoofSlopeArrow ||
         type == kObjStaircase;
}

bool DrawsNoBox(const Objex* o) {
  return o->type == kObjText || o->type == kObjType200 ||
         (o->type == kObjDetail && o->subtype >= 1 && o->subtype <= 9);
}

// The four corners of a wall segment's bar, half a thickness to each side.
void SegmentBar(BezierPath* path, const Poinz* p1, const Poinz* p2, float h) {
  const PlanPoint a1 = PlanPositionOf(p1), a2 = PlanPositionOf(p2);
  const float a = PlanAngle(a1, a2), b = PlanAngle(a2, a1);
  const PlanPoint c[4] = {a1 + Polar(a + kRightAngle, h), a2 + Polar(b - kRightAngle, h),
                          a2 + Polar(b + kRightAngle, h), a1 + Polar(a - kRightAngle, h)};
  NSPoint v[4];
  ProjectLine(c[0].x, 0, c[0].z, c[1].x, 0, c[1].z, false, &v[0], &v[1]);
  ProjectLine(c[2].x, 0, c[2].z, c[3].x, 0, c[3].z, false, &v[2], &v[3]);
  path->moveToPoint(v[0]);
  for (int i = 1; i < 4; ++i) path->lineToPoint(v[i]);
  path->closePath();
}

}  // namespace

void DrawAllLayerHandles(Layer* layers, const RECT* updateRect) {
  for (Layer* layer = layers; layer; layer = layer->next) DrawLayerHandles(layer, updateRect);
}

void DrawLayerHandles(Layer* layer, const RECT* updateRect) {
  if (!layer || !layer->visible) return;
  // An object with nothing selected in it has no handles. The redraw just done may have
  // noted the objects with a selection while it walked the floor.
  if (const std::vector<Objex*>* selected = SelectedObjectsOfRedraw(layer)) {
    for (Objex* o : *selected) DrawObjectHandles(o, updateRect);
    return;
  }
  for (Objex* o = layer->firstObject; o; o = o->next)
    if (HasSelectedPointInTree(o)) DrawObjectHandles(o, updateRect);
}

void DrawObjectHandles(Objex* object, const RECT* updateRect) {
  if (!object || !updateRect) return;
  if (!ToolIsPointOriented(gCurTool, object) && object->type != kObjLine) {
    if (IsObjectSelected(object)) DrawObjectFrameHandles(object);
    return;
  }
  if (object->type != kObjDimensionInfo) {
    for (Poinz* p = object->firstPoint; p; p = p->next)
      if (p->selected) DrawPointHandle(p, 0);
    if (HasSelectionOutline(object->type) && IsObjectSelected(object)) PlanDrawSelectionLine(object);
  }
  for (Objex* child = object->firstChild; child; child = child->next) DrawObjectHandles(child, updateRect);
}

void DrawObjectFrameHandles(Objex* object) {
  if (!object) return;
  const int32_t view = GetCurrentView();
  const Float3DRect box = object->bounds3D;
  const bool withBox = !DrawsNoBox(object);
  if (withBox) DrawCube(nullptr, &box);
  const float l = box.floatLeft, r = box.floatRight, t = box.floatTop, b = box.floatBottom;
  const float back = box.floatBack, front = box.floatFront;
  const bool flat = SameExtent(t, b);
  if (SameExtent(l, r)) {
    PlotHandle(nullptr, l, t, back), PlotHandle(nullptr, l, b, back);
    PlotHandle(nullptr, l, t, front), PlotHandle(nullptr, l, b, front);
  } else if (SameExtent(back, front)) {
    PlotHandle(nullptr, l, t, back), PlotHandle(nullptr, r, t, back);
    PlotHandle(nullptr, r, b, back), PlotHandle(nullptr, l, b, back);
  } else if (withBox && !flat) {
    const bool all = view != kCmdViewTop;
    PlotHandle(nullptr, l, t, back), PlotHandle(nullptr, r, t, back);
    if (all) PlotHandle(nullptr, r, b, back), PlotHandle(nullptr, l, b, back);
    PlotHandle(nullptr, l, t, front), PlotHandle(nullptr, r, t, front);
    if (all) PlotHandle(nullptr, r, b, front), PlotHandle(nullptr, l, b, front);
  } else if (flat) {
    PlotHandle(nullptr, l, t, back), PlotHandle(nullptr, r, t, back);
    PlotHandle(nullptr, l, t, front), PlotHandle(nullptr, r, t, front);
  }
  if (object->type == kObjRoof)
    for (Poinz* p = object->firstPoint; p; p = p->next) DrawCannedRoofPointElevation(nullptr, object, p);
}

void DrawPointHandle(Poinz* point, int16_t flag) {
  if (gCurTool == kToolKeyEntry) {
    DrawKeyEntryPointHandle(point, gKeyEntrySelectionFlag);
    gKeyEntrySelectionFlag = static_cast<int16_t>(-gKeyEntrySelectionFlag);
    return;
  }
  if (!point) return;
  PlotHandle(nullptr, point->position[0], point->position[1], point->position[2]);
  Objex* owner = point->owner;
  if (!owner) return;
  switch (owner->type) {
    case kObjTopography: DrawTopoLineElevation(nullptr, owner, point); break;
    case kObjRoofPanel: DrawRoofPointElevation(nullptr, owner, point); break;
    case kObjEntireLot: case kObjSlopeLotSection: DrawTopoSlopeElevation(nullptr, owner, point); break;
    default: break;
  }
}

void PlotHandle(DrawContext* handle, float x, float y, float z) {
  DrawContext* ctx = ResolveDrawContext(handle);
  if (!ctx) return;
  const NSPoint v = HandleCentre(x, y, z);
  // A handle wholly outside the area being drawn cannot show (its outline reaches a unit out).
  if (NSRect area; CurrentCullingArea(&area) &&
                   (v.x + 5 < NSMinX(area) || v.x - 4 > NSMaxX(area) || v.y + 5 < NSMinY(area) ||
                    v.y - 4 > NSMaxY(area)))
    return;
  BezierPath square;
  square.appendRect(NSMakeRect(v.x - 3, v.y - 3, 7, 7));
  FillAndOutline(ctx, square, ctx->focusIndicatorColor());
}

void DrawKeyEntryPointHandle(Poinz* point, int16_t state) {
  if (!point) return;
  if (DrawContext* ctx = gCurrentDrawContext) {
    const NSPoint v = HandleCentre(point->position[0], point->position[1], point->position[2]);
    BezierPath oval;
    oval.appendOvalInRect(NSMakeRect(v.x - 4, v.y - 4, 9, 9));
    FillAndOutline(ctx, oval, state < 1 ? kHandleGreen : kDrawRed);
  }
  KeyEntryStateOf(point) = state;
}

void PlanDrawSelectionLine(Objex* object) {
  if (!object || !object->firstPoint) return;
  const Poinz* start = nullptr;
  const Poinz* end = nullptr;
  Poinz* first = object->firstPoint;
  auto segment = [&](const Poinz* a, const Poinz* b) {
    DrawLine(nullptr, a->position[0], a->position[1], a->position[2], b->position[0], b->position[1], b->position[2],
             0, object, nullptr);
    start = a, end = b;
  };
  Poinz* p = first;
  for (; p->next; p = p->next) segment(p, p->next);
  if (object->closed && p != first) segment(p, first);
  if (object->type == kObjRoofSlopeArrow && end) {
    const PlanPoint e = PlanPositionOf(end);
    const float a = PlanAngle(e, PlanPositionOf(start));
    for (float barb : {a + 0.7853982f, a - 0.7853982f}) {
      const PlanPoint b = e + Polar(barb, 30.0f);
      DrawLine(nullptr, b.x, 0, b.z, e.x, 0, e.z, 0, object, nullptr);
    }
  }
}

void DrawSelectionDimension(Objex* object) {
  if (!object || object->type != kObjWall || !object->firstPoint || !object->firstPoint->next) return;
  float guard1 = 0, guard2 = 0;
  auto dimension = [&](const Poinz* a, const Poinz* b) {
    const PlanPoint s = PlanPositionOf(a), e = PlanPositionOf(b);
    DrawDimensionLine(nullptr, s.x, s.z, e.x, e.z, s.x, s.z, e.x, e.z, 1, 5.0f, 1, &guard1, &guard2, 0, 0, 5.0f, 0,
                      nullptr);
  };
  Poinz* p = object->firstPoint;
  for (; p->next; p = p->next) dimension(p, p->next);
  if (object->closed) dimension(p, object->firstPoint);
}

void DrawWallSelection(Objex* wall) {
  const DocState* ds = CurDocState();
  DrawContext* ctx = gCurrentDrawContext;
  if (!wall || wall->type != kObjWall || !ds || !ctx || !wall->firstPoint) return;
  const float h = ConvertWorldToScreen(wall->width, ds, 0) * 0.5f;
  BezierPath bars;
  Poinz* p = wall->firstPoint;
  for (; p->next; p = p->next)
    if (p->selected && p->next->selected) SegmentBar(&bars, p, p->next, h);
  if (wall->closed && p != wall->firstPoint && p->selected && wall->firstPoint->selected)
    SegmentBar(&bars, p, wall->firstPoint, h);
  if (bars.isEmpty()) return;
  FillStyle red;
  red.color = kDrawRed;
  ctx->fillPath(bars, red);
}

void InstallSelectionDrawingServices() {
  gPlanDrawingServices.drawSelectionLine = PlanDrawSelectionLine;
  gPlanDrawingServices.clearDimensionWallSegmentSelection = PlanClearDimensionWallSegmentSelection;
}
