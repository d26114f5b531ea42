// The 2D drawing tools: line, polygon and curve, multigon, quarter arc, switch connector,
// sprinkler head and circular arc, and the drag rectangles of the arc-shaped tools.
#include "tools/DrawingTools.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "plandraw/PlanText.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/DoorWindowTools.h"
#include "tools/MarqueeTool.h"
#include "tools/ModalEvents.h"
#include "tools/ObjectSnaps.h"
#include "tools/PointEvaluation.h"
#include "tools/PolygonEntry.h"
#include "tools/ShapeTools.h"
#include "tools/ToolCodes.h"
#include "tools/ToolOverlay.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

uint8_t gCenterLineTool = 0;
uint8_t gClosePolyTool = 1, gCloseSplineTool = 1;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr float kDegreesPerRadian = static_cast<float>(180.0 / kPi);

int32_t RoundHalfUp(float v) { return RoundToLong(v); }
float RoundWhole(float v) { return std::trunc(v + 0.5f); }

Layer* CurrentLayer() { return gCurDocument ? gCurDocument->itsCurLayer : nullptr; }

// Arrays for the points of one arc, sized from the point count the ellipse routine reports.
struct ArcPoints {
  std::vector<float> positions, ins, outs;
  int32_t count = 0;
};

// The points and tangents of an elliptic arc in the working plane, sized from the count the
// ellipse routine gives; the first incoming and the last outgoing tangents are zero.
bool ComputeArc(const float rect[4], float startAngle, float sweep, int16_t plane, float third, ArcPoints* arc) {
  int32_t count = 0;
  Draw3DEllipse(nullptr, rect, startAngle, sweep, plane, third, nullptr, nullptr, nullptr, 0, &count, 0, 90);
  if (count < 2) return false;
  arc->positions.assign(3 * static_cast<size_t>(count), 0.0f);
  arc->ins.assign(3 * static_cast<size_t>(count), 0.0f);
  arc->outs.assign(3 * static_cast<size_t>(count), 0.0f);
  int32_t written = 0;
  Draw3DEllipse(nullptr, rect, startAngle, sweep, plane, third, arc->positions.data(), arc->ins.data(),
                arc->outs.data(), 0, &written, 0, 90);
  if (written < 2 || written > count) return false;
  arc->count = written;
  for (int i = 0; i < 3; ++i) {
    arc->ins[i] = 0;
    arc->outs[3 * (written - 1) + i] = 0;
  }
  return true;
}

// The fields every detail shape of these tools takes from the document.
void SetDetailFields(Objex* o, int32_t subtype, bool dimensionsAlwaysShown, const DocState* ds) {
  o->type = kObjDetail;
  o->subtype = subtype;
  o->width = static_cast<float>(ds->newLineWeight);
  o->planMask = ds->newObjectPlanMask;
  // Bit 0 of the detail flags word shows the segment dimensions.
  if (dimensionsAlwaysShown) o->extraLong |= 1;
  else o->extraLong = (o->extraLong & ~1) | (ds->detailDisplayDims & 1);
  o->extraFlags = ds->detailEditLevel;
}

// The end stage's test of the line, multigon and arc tools: a drag under the mouse limit
// makes nothing and brings the standard tool back.
bool EndsShort() {
  if (!DragBelowMouseLimit()) return false;
  AbandonShortDrag();
  return true;
}

// The overlay's primary path, emptied, or null without a plan view.
ZLKDynamicDrawEngine* FreshOverlay() {
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (overlay) {
    overlay->setActivePath(kPathPrimary);
    overlay->removePointsFromAllPaths();
  }
  return overlay;
}

// The line tool's start on a picked segment: the foot of the perpendicular from the current
// point, so the line stays square to the segment while the mouse moves.
void MoveToPerpendicularStart(float x, float z) {
  const Poinz* a = gPerpStartPtz;
  const Poinz* b = gPerpEndPtz;
  const bool straight = a->outHandle[0] == 0 && a->outHandle[1] == 0 && a->outHandle[2] == 0 &&
                        b->inHandle[0] == 0 && b->inHandle[1] == 0 && b->inHandle[2] == 0;
  if (straight) {
    float length = 0;
    const float angle =
        GetLineLengthAndAngle(a->position[0], a->position[2], b->position[0], b->position[2], &length);
    if (length == 0) return;
    float dx = 0, dz = 0;
    GetPointFromLengthAndAngle(angle + static_cast<float>(kPi / 2), 100, &dx, &dz);
    float ix = 32000, iz = 32000;
    GetIntersection(a->position[0], a->position[2], b->position[0], b->position[2], x, z, x + dx, z + dz, &ix, &iz);
    if (ix == 32000 && iz == 32000) return;
    gDownX = ix;
    gDownZ = iz;
    return;
  }
  Poinz* start = nullptr;
  Poinz* end = nullptr;
  if (!a->owner || !GetClosestSpline(a->owner, gDownX, gDownZ, &start, &end) || !start || !end) return;
  FloatPoint s{}, e{};
  GetClosestSegment(start, end, x, z, &s, &e);
  if (s.floatH == e.floatH && s.floatV == e.floatV) {
    gDownX = s.floatH;
    gDownZ = s.floatV;
    return;
  }
  float fx = x, fz = z;
  FGetPerpIntersection(s.floatH, s.floatV, e.floatH, e.floatV, x, z, &fx, &fz);
  gDownX = fx;
  gDownZ = fz;
}

// The down point and (x, y, z) as two model points of the line in the working plane.
void LineEnds(int16_t plane, float x, float y, float z, float start[3], float end[3]) {
  float a0, b0, third, a1, b1, unused;
  ModelToPlane(plane, gDownX, gDownY, gDownZ, &a0, &b0, &third);
  ModelToPlane(plane, x, y, z, &a1, &b1, &unused);
  if (gCenterLineTool) {
    a0 = a0 - (a1 - a0);
    b0 = b0 - (b1 - b0);
  }
  PlaneToModel(plane, a0, b0, third, &start[0], &start[1], &start[2]);
  PlaneToModel(plane, a1, b1, third, &end[0], &end[1], &end[2]);
}

// A regular polygon's corner k about the centre (plane coordinates).
void MultigonCorner(float ca, float cb, float radius, float startAngle, double step, int k, float* a, float* b) {
  float da = 0, db = 0;
  GetPointFromLengthAndAngle(static_cast<float>(startAngle + k * step), radius, &da, &db);
  *a = ca + da;
  *b = cb + db;
}

void DrawSweepLabel(float sweep, float cx, float cz) {
  char text[64] = {};
  ConvertAngleToStr(std::fabs(sweep), text);
  DrawDynamicText(nullptr, text, cx, cz - 15, 0);
}

// The sprinkler's and circular arc's end stage after the radius drag: the loop that follows
// the mouse round the circle, then the object. Returns the object made, or null.
Objex* SprinklerSweep(DocState* ds, uint16_t tool) {
  const float cx = RoundWhole(gDownX), cz = RoundWhole(gDownZ);
  const float sx = RoundWhole(gUpX), sz = RoundWhole(gUpZ);
  float radius = 0;
  const float startAngle = GetLineLengthAndAngle(cx, cz, sx, sz, &radius);
  const int32_t icx = RoundToLong(cx), icz = RoundToLong(cz);
  const int32_t isx = RoundToLong(sx), isz = RoundToLong(sz);
  ClearToolOverlay();
  float sweep = DrawArcState(icx, icz, isx, isz, isx, isz, startAngle, radius);
  DrawSweepLabel(sweep, cx, cz);

  bool clicked = false;
  {
    ModalMouseMovedScope moved(true);
    const uint32_t mask = kModalMouseDownMask | kModalMouseMovedMask | kModalFlagsChangedMask | kModalKeyDownMask |
                          kModalToolChangedMask;
    ModalEvent event;
    while (NextModalEvent(mask, &event)) {
      // Another tool chosen: the sweep last shown is made, as a click there would make it.
      if (event.type == kModalToolChanged) {
        clicked = true;
        break;
      }
      POINT where = event.where;
      if (event.type == kModalFlagsChanged && HaveModifiersChanged()) where = ModalMouseLocation();
      // Tab moves to the next snap tool and redraws at the mouse; other keys are ignored.
      if (event.type == kModalKeyDown) {
        if (event.keyCode != kModalKeyTab) continue;
        SnapToolChangeInLoop();
        where = ModalMouseLocation();
      }
      gTrackModifiers = static_cast<uint16_t>((gTrackModifiers & ~(kTrackModShift | kTrackModCommand)) |
                                              TrackModifiersOfEvent(event));
      float mx = 0, my = 0, mz = 0;
      EvaluatePoint(where.x, where.y, &mx, &my, &mz, 1, nullptr, 1);
      ClearToolOverlay();
      sweep = DrawArcState(icx, icz, isx, isz, RoundHalfUp(mx), RoundHalfUp(mz), startAngle, radius);
      DrawSweepLabel(sweep, cx, cz);
      if (event.type == kModalMouseDown) {
        clicked = true;
        break;
      }
    }
  }
  Layer* layer = CurrentLayer();
  // A closed window or an emptied queue ends the loop without a click: nothing is made.
  if (!clicked || !layer) return nullptr;
  if (RoundWhole(gDownX) == RoundWhole(gUpX) && RoundWhole(gDownY) == RoundWhole(gUpY) &&
      RoundWhole(gDownZ) == RoundWhole(gUpZ))
    return nullptr;

  float startDegrees = startAngle * kDegreesPerRadian;
  if (startDegrees < 0) startDegrees += 360;
  const float rect[4] = {cx - radius, cz - radius, cx + radius, cz + radius};
  ArcPoints arc;
  if (!ComputeArc(rect, startDegrees, sweep, 2, gDownY, &arc)) return nullptr;
  Objex* o = BuildOpenPoly(arc.positions.data(), nullptr, arc.ins.data(), arc.outs.data(), nullptr, nullptr,
                           arc.count, layer, 1);
  if (!o) return nullptr;
  const bool circularArc = tool == kToolCircularArc;
  if (!circularArc) {
    // The sector closes at the sprinkler head.
    if (Poinz* head = CreatePoint(1, 0, 0, 0, 0, 0, cx, gDownY, cz, 0, 0, 0, 0, 0, 0, o))
      AppendPointToObject(head, o);
  }
  UpdateObjectBounds(o);
  if (circularArc) {
    o->type = kObjDetail;
    o->subtype = kSubDetailArc;
    o->extraLong |= 2;
    o->width = static_cast<float>(ds->newLineWeight);
    o->fillPattern = 0;
    o->planMask = ds->newObjectPlanMask;
    o->extraFlags = ds->detailEditLevel;  // point-level editing of the arc
  } else {
    o->type = kObjSprinkler;
    o->closed = 1;
    o->planMask = 128;
    o->params[0] = std::fabs(sweep);
  }
  return o;
}

}  // namespace

void LoadFloatAndQDRects(float x1, float y1, float x2, float y2, FloatRect* floatRect, RECT* intRect, uint8_t zoom,
                         uint8_t centred) {
  if (!floatRect || !intRect) return;
  if (zoom) {
    x1 = ZoomF(x1), y1 = ZoomF(y1), x2 = ZoomF(x2), y2 = ZoomF(y2);
  }
  floatRect->floatLeft = std::fmin(x1, x2);
  floatRect->floatRight = std::fmax(x1, x2);
  floatRect->floatTop = std::fmin(y1, y2);
  floatRect->floatBottom = std::fmax(y1, y2);
  intRect->left = RoundHalfUp(floatRect->floatLeft);
  intRect->right = RoundHalfUp(floatRect->floatRight);
  intRect->top = RoundHalfUp(floatRect->floatTop);
  intRect->bottom = RoundHalfUp(floatRect->floatBottom);
  if (!centred) return;
  const float width = floatRect->floatRight - floatRect->floatLeft;
  const float height = floatRect->floatBottom - floatRect->floatTop;
  const int32_t intWidth = RoundHalfUp(width), intHeight = RoundHalfUp(height);
  if (x1 <= x2) {
    floatRect->floatLeft -= width;
    intRect->left -= intWidth;
  } else {
    floatRect->floatRight += width;
    intRect->right += intWidth;
  }
  if (y1 <= y2) {
    floatRect->floatTop -= height;
    intRect->top -= intHeight;
  } else {
    floatRect->floatBottom += height;
    intRect->bottom += intHeight;
  }
}

void GetOvalBounds(uint16_t modifiers, float x1, float y1, float x2, float y2, FloatRect* floatRect, RECT* intRect,
                   uint8_t zoom, uint8_t centred) {
  if (modifiers & kTrackModShift) {
    const float side = std::fabs(x2 - x1);
    y2 = y2 - y1 < 0 ? y1 - side : y1 + side;
  }
  LoadFloatAndQDRects(x1, y1, x2, y2, floatRect, intRect, zoom, centred);
}

void GetRectBounds(uint16_t modifiers, float x1, float y1, float x2, float y2, FloatRect* floatRect, RECT* intRect,
                   uint8_t zoom, uint8_t centred) {
  GetOvalBounds(modifiers, x1, y1, x2, y2, floatRect, intRect, zoom, centred);
}

void QuarterArcBox(uint16_t modifiers, float a0, float b0, float a1, float b1, float rect[4], float* startAngle) {
  FloatRect box;
  RECT unused;
  GetOvalBounds(modifiers, a0, b0, a1, b1, &box, &unused, 0, 0);
  const float width = box.floatRight - box.floatLeft, height = box.floatBottom - box.floatTop;
  const bool right = a1 >= a0, below = b1 >= b0;
  if (right) box.floatRight += width;
  else box.floatLeft -= width;
  if (below) box.floatTop -= height;
  else box.floatBottom += height;
  rect[0] = box.floatLeft, rect[1] = box.floatTop, rect[2] = box.floatRight, rect[3] = box.floatBottom;
  *startAngle = right ? (below ? -90.0f : -180.0f) : (below ? 0.0f : 90.0f);
}

void TrackLine(int32_t, int32_t, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return;
  if (gPerpAtStart && gPerpStartPtz && gPerpEndPtz) MoveToPerpendicularStart(x, z);
  gPerpFromLoc = stage == kTrackBegin ? FloatPoint{kPerpFromNone, kPerpFromNone} : FloatPoint{gDownX, gDownZ};
  float start[3], end[3];
  LineEnds(ds->viewPlane, x, y, z, start, end);
  ZLKDynamicDrawEngine* overlay = FreshOverlay();
  AppendOverlayModelLine(overlay, start[0], start[1], start[2], end[0], end[1], end[2]);
  if (stage != kTrackEnd) {
    DrawLiveDimensionLine(start[0], start[2], end[0], end[2], 5.0f);
    return;
  }
  gPerpFromLoc = FloatPoint{kPerpFromNone, kPerpFromNone};
  if (!EndsShort()) {
    const float positions[6] = {start[0], start[1], start[2], end[0], end[1], end[2]};
    const float handles[6] = {};
    if (Objex* line = BuildOpenPoly(positions, nullptr, handles, handles, nullptr, nullptr, 2, CurrentLayer(), 1)) {
      SetDetailFields(line, kSubDetailLine, false, ds);
      line->fillPattern = 0;
    }
    ClearToolOverlay();
    Refresh();
  }
  gMouseCaptured = 0;
}

void TrackPoly(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return;
  const bool curve = gCurTool == kToolCurve;
  Objex* o = TrackGnrlPoly(winX, winY, x, y, z, stage, curve ? 1 : 0, curve ? gCloseSplineTool : gClosePolyTool, 1,
                           kObjDetail);
  if (!o || stage != kTrackEnd) return;
  if (!o->closed) o->fillPattern = 0;
  SetDetailFields(o, curve ? kSubDetailCurve : kSubDetailPolygon, curve, ds);
}

void TrackMulti(int32_t, int32_t, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return;
  const int16_t plane = ds->viewPlane;
  // Fewer than three sides make no polygon: such a setting draws a triangle.
  const int sides = ds->multigonSides < 3 ? 3 : ds->multigonSides;
  const double step = 2 * kPi / sides;
  float ca, cb, third, ma, mb, unused;
  ModelToPlane(plane, gDownX, gDownY, gDownZ, &ca, &cb, &third);
  ModelToPlane(plane, x, y, z, &ma, &mb, &unused);
  float radius = 0;
  const float startAngle = GetLineLengthAndAngle(ca, cb, ma, mb, &radius);

  ZLKDynamicDrawEngine* overlay = FreshOverlay();
  float firstA = 0, firstB = 0, lastA = 0, lastB = 0;
  MultigonCorner(ca, cb, radius, startAngle, step, 1, &firstA, &firstB);
  float prevA = firstA, prevB = firstB;
  for (int k = 2; k <= sides; ++k) {
    float a = 0, b = 0;
    MultigonCorner(ca, cb, radius, startAngle, step, k, &a, &b);
    float p[3], q[3];
    PlaneToModel(plane, prevA, prevB, third, &p[0], &p[1], &p[2]);
    PlaneToModel(plane, a, b, third, &q[0], &q[1], &q[2]);
    AppendOverlayModelLine(overlay, p[0], p[1], p[2], q[0], q[1], q[2]);
    prevA = a, prevB = b;
  }
  lastA = prevA, lastB = prevB;
  float p[3], q[3];
  PlaneToModel(plane, lastA, lastB, third, &p[0], &p[1], &p[2]);
  PlaneToModel(plane, firstA, firstB, third, &q[0], &q[1], &q[2]);
  AppendOverlayModelLine(overlay, p[0], p[1], p[2], q[0], q[1], q[2]);
  if (stage != kTrackEnd) {
    DrawDimensionLineNoOffset(gDownX, gDownY, gDownZ, x, y, z);
    DrawLiveDimensionLine(p[0], p[2], q[0], q[2], 0.0f);
    return;
  }

  if (!EndsShort()) {
    Layer* layer = CurrentLayer();
    Objex* temp = layer ? BuildMulti(ca, cb, ma, mb, layer, static_cast<int16_t>(sides), 1, third) : nullptr;
    if (temp) {
      std::vector<float> positions(3 * static_cast<size_t>(sides), 0.0f), handles(3 * static_cast<size_t>(sides), 0.0f);
      int n = 0;
      for (const Poinz* pt = temp->firstPoint; pt && n < sides; pt = pt->next, ++n)
        PlaneToModel(plane, pt->position[0], pt->position[1], pt->position[2], &positions[3 * n],
                     &positions[3 * n + 1], &positions[3 * n + 2]);
      DeleteObj(temp);
      if (n >= 3) {
        if (Objex* o = BuildClosedPoly(positions.data(), nullptr, handles.data(), handles.data(), nullptr, nullptr, n,
                                       layer, 1))
          SetDetailFields(o, 4, false, ds);
      }
    }
    ClearToolOverlay();
    Refresh();
  }
  gMouseCaptured = 0;
}

void TrackArc(int32_t, int32_t, float x, float y, float z, int16_t stage, uint16_t) {
  DocState* ds = CurDocState();
  if (!ds) return;
  const int16_t plane = ds->viewPlane;
  float a0, b0, third, a1, b1, unused;
  ModelToPlane(plane, gDownX, gDownY, gDownZ, &a0, &b0, &third);
  ModelToPlane(plane, x, y, z, &a1, &b1, &unused);
  float rect[4], startAngle = 0;
  QuarterArcBox(0, a0, b0, a1, b1, rect, &startAngle);

  FreshOverlay();
  if (stage != kTrackEnd) {
    gDynamicDrawing = 1;
    int32_t count = 0;
    Draw3DEllipse(nullptr, rect, startAngle, -90, plane, third, nullptr, nullptr, nullptr, 1, &count, 0, 90);
    gDynamicDrawing = 0;
    DrawDimensionLineNoOffset(gDownX, gDownY, gDownZ, x, gDownY, gDownZ);
    const bool shift = (gTrackModifiers & kTrackModShift) != 0;
    if (shift == (gLockArcTool != 0)) DrawDimensionLineNoOffset(x, gDownY, gDownZ, x, y, z);
    return;
  }

  if (!EndsShort()) {
    ArcPoints arc;
    if (ComputeArc(rect, startAngle, -90, plane, third, &arc)) {
      if (Objex* o = BuildOpenPoly(arc.positions.data(), nullptr, arc.ins.data(), arc.outs.data(), nullptr, nullptr,
                                   arc.count, CurrentLayer(), 1)) {
        SetDetailFields(o, kSubDetailArc, true, ds);
        o->fillPattern = 0;
      }
    }
    ClearToolOverlay();
    Refresh();
  }
  gMouseCaptured = 0;
}

void TrackSwitchConnector(int32_t, int32_t, float x, float, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return;
  float rect[4], startAngle = 0;
  QuarterArcBox(gTrackModifiers, gDownX, gDownZ, x, z, rect, &startAngle);
  FreshOverlay();
  gDynamicDrawing = 1;
  int32_t count = 0;
  Draw3DEllipse(nullptr, rect, startAngle, -90, 2, gDownY, nullptr, nullptr, nullptr, 1, &count, 0, 90);
  gDynamicDrawing = 0;
  if (stage != kTrackEnd) return;

  Layer* layer = CurrentLayer();
  if (layer) {
    if (DragBelowMouseLimit()) {
      AbandonShortDrag();
    } else {
      ArcPoints arc;
      if (ComputeArc(rect, startAngle, -90, 2, gDownY, &arc)) {
        if (Objex* o = BuildOpenPoly(arc.positions.data(), nullptr, arc.ins.data(), arc.outs.data(), nullptr, nullptr,
                                     arc.count, layer, 1)) {
          o->type = kObjDetail;
          o->subtype = kSubSwitchConnector;
          o->planMask = 4;
        }
      }
      ClearToolOverlay();
      Refresh();
    }
  }
  gMouseCaptured = 0;
}

void TrackSprinkler(int32_t, int32_t, float x, float, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return;
  const float radius = GetLineLength(gDownX, gDownZ, x, z);
  FloatRect circle;
  RECT circleInt;
  LoadFloatAndQDRects(gDownX, gDownZ, gDownX + radius, gDownZ + radius, &circle, &circleInt, 0, 1);
  ++circleInt.right;
  ++circleInt.bottom;
  ZLKDynamicDrawEngine* overlay = FreshOverlay();
  gDynamicDrawing = 1;
  const float rect[4] = {circle.floatLeft, circle.floatTop, circle.floatRight, circle.floatBottom};
  int32_t count = 0;
  if (radius > 0) Draw3DEllipse(nullptr, rect, 0, 360, 2, gDownY, nullptr, nullptr, nullptr, 1, &count, 0, 90);
  AppendOverlayPlanLine(overlay, gDownX, gDownZ, x, z, gDownY);
  gDynamicDrawing = 0;
  DrawLiveDimensionLine(gDownX, gDownZ, x, z, 5.0f);
  float length = 0;
  float degrees = GetLineLengthAndAngle(gDownX, gDownZ, x, z, &length) * kDegreesPerRadian;
  if (degrees < 0) degrees += 360;
  char text[64] = {};
  ConvertAngleToStr(degrees, text);
  DrawDynamicText(nullptr, text, gDownX, gDownZ, 0);
  if (stage != kTrackEnd) return;

  if (DragBelowMouseLimit()) {
    AbandonShortDrag();
  } else {
    SprinklerSweep(ds, gCurTool);
    ClearToolOverlay();
    Refresh();
  }
  gMouseCaptured = 0;
}
