// The dimension tools and their rubber bands.
#include "tools/DimensionTools.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <numbers>

#include "model/DimensionBuilders.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/ViewProjection.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/MarqueeTool.h"
#include "tools/ModalEvents.h"
#include "tools/ObjectSnaps.h"
#include "tools/PointEvaluation.h"
#include "tools/PolygonEntry.h"
#include "tools/ToolCodes.h"
#include "tools/ToolOverlay.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

namespace {

constexpr float kHalfTurn = std::numbers::pi_v<float>;
constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2;

// Window values are whole 16-bit numbers (adding 0.5 and truncating).
float Whole16(float v) { return static_cast<float>(RoundToShort(v)); }

NSPoint WindowOf(float x, float y, float z) {
  float x2 = x, y2 = y, z2 = z;
  ConvertToIso(&x, &y, &z, &x2, &y2, &z2, gPerspective);
  return NSPoint{Whole16(x), Whole16(y)};
}

void WindowLine(ZLKDynamicDrawEngine* overlay, NSPoint a, NSPoint b) {
  if (overlay) overlay->appendLineToActivePathWithStartPoint(NSPoint{Whole16(a.x), Whole16(a.y)},
                                                             NSPoint{Whole16(b.x), Whole16(b.y)});
}

NSPoint Along(NSPoint p, float angle, float length) {
  float dx = 0, dy = 0;
  GetPointFromLengthAndAngle(angle, length, &dx, &dy);
  return NSPoint{p.x + dx, p.y + dy};
}

Layer* CurrentLayer() { return gCurDocument ? gCurDocument->itsCurLayer : nullptr; }

void TakeEventModifiers(const ModalEvent& event) {
  gTrackModifiers = static_cast<uint16_t>((gTrackModifiers & ~(kTrackModShift | kTrackModCommand)) |
                                          TrackModifiersOfEvent(event));
}

struct LoopPoint {
  float x, y, z;
  POINT raw;
};

// The loop that places the dimension line (or the leader's text end) after the mouse-up:
// every mouse move, modifier change or Tab redraws the preview at the evaluated point; Tab
// first moves to the next snap tool; other keys are ignored; a mouse-down ends it. True when
// a mouse-down ended it (false when the window closed or no event can come).
bool OffsetPositionLoop(LoopPoint* last, const std::function<void(const LoopPoint&)>& preview) {
  bool clicked = false;
  {
    ModalMouseMovedScope moved(true);
    const uint32_t mask = kModalMouseDownMask | kModalMouseMovedMask | kModalKeyDownMask | kModalFlagsChangedMask |
                          kModalToolChangedMask;
    ModalEvent event;
    while (NextModalEvent(mask, &event)) {
      // A click, or another tool chosen, places the line where it was last shown.
      if (event.type == kModalMouseDown || event.type == kModalToolChanged) {
        clicked = true;
        break;
      }
      if (event.type == kModalKeyDown && event.keyCode != kModalKeyTab) continue;
      const bool fromQueue = event.type == kModalMouseMoved;
      const POINT where = fromQueue ? event.where : ModalMouseLocation();
      ClearToolOverlay();
      if (event.type == kModalKeyDown) {
        SnapToolChangeInLoop();
      }
      TakeEventModifiers(event);
      EvaluatePoint(where.x, where.y, &last->x, &last->y, &last->z, 1, nullptr, 1);
      last->raw = where;
      if (gTrackingHooks.autoScrollToPoint) gTrackingHooks.autoScrollToPoint(where.x, where.y);
      gDynamicDrawing = 1;
      preview(*last);
      gDynamicDrawing = 0;
    }
  }
  ClearToolOverlay();
  gDynamicDrawing = 1;
  preview(*last);
  gDynamicDrawing = 0;
  return clicked;
}

LoopPoint StartingLoopPoint() {
  const NSPoint up = WindowOf(gUpX, gUpY, gUpZ);
  return LoopPoint{gUpX, gUpY, gUpZ, POINT{static_cast<int32_t>(up.x), static_cast<int32_t>(up.y)}};
}

// The end of a dimension that was made or refused: the overlay is emptied either way.
void FinishDimension(Objex* made, bool clearTypeData) {
  if (made) {
    if (DocState* ds = CurDocState()) made->planMask = ds->newObjectPlanMask;
    if (clearTypeData) made->typeData = nullptr;
  }
  ClearToolOverlay();
  if (made) Refresh();
}

}  // namespace

void TrackDimLine(int32_t, int32_t, float x, float, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return;
  gPerpFromLoc = stage == kTrackBegin ? FloatPoint{kPerpFromNone, kPerpFromNone} : FloatPoint{gDownX, gDownZ};
  float endX = x, endZ = z;
  if (!(gTrackModifiers & kTrackModShift)) SnapTo15Degrees(gDownX, gDownZ, &endX, &endZ);
  if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) {
    overlay->setActivePath(kPathPrimary);
    overlay->removePointsFromAllPaths();
  }
  if (stage != kTrackEnd) {
    DrawDimensionLineNoOffset(gDownX, gDownY, gDownZ, endX, gDownY, endZ);
    return;
  }
  if (DragBelowMouseLimit()) {
    AbandonShortDrag();
  } else {
    const float positions[6] = {gDownX, gDownY, gDownZ, endX, gDownY, endZ};
    const float handles[6] = {};
    if (Objex* line = BuildOpenPoly(positions, nullptr, handles, handles, nullptr, nullptr, 2, CurrentLayer(), 1)) {
      line->type = kObjDimLine;
      line->planMask = ds->newObjectPlanMask;
    }
    ClearToolOverlay();
    Refresh();
  }
  gMouseCaptured = 0;
}

void DrawLengthDimState(float x1, float y1, float x2, float y2, float mx, float my) {
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (!overlay) return;
  overlay->setActivePath(kPathPrimary);
  float length = 0;
  const float a = GetLineLengthAndAngle(x1, y1, x2, y2, &length);
  const NSPoint p1{x1, y1}, p2{x2, y2};
  const NSPoint plus = Along(p1, a + kQuarterTurn, 100), minus = Along(p1, a - kQuarterTurn, 100);
  const float side = GetLineLength(plus.x, plus.y, mx, my) <= GetLineLength(minus.x, minus.y, mx, my)
                         ? a + kQuarterTurn
                         : a - kQuarterTurn;
  float fx = mx, fy = my;
  GetPerpIntersection(x1, y1, x2, y2, mx, my, &fx, &fy);
  const float d = GetLineLength(mx, my, fx, fy);
  WindowLine(overlay, Along(p1, side, d), Along(p2, side, d));
  WindowLine(overlay, Along(p1, side, 5), Along(p1, side, 7 + d));
  WindowLine(overlay, Along(p2, side, 5), Along(p2, side, 7 + d));
}

int16_t DrawOffsetDimState(float x1, float y1, float x2, float y2, float mx, float my, float rawX, float rawY) {
  const float dx = rawX - (x1 + x2) / 2, dy = rawY - (y1 + y2) / 2;
  const bool horizontal = x1 != x2 && (std::fabs(dx) <= std::fabs(dy) || y1 == y2);
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (overlay) overlay->setActivePath(kPathPrimary);
  const float near = ZoomF(5), past = ZoomF(7);
  // Extension lines run from just off each end toward the mouse to a little past it.
  auto extension = [&](float end, float mouse) {
    const float sign = mouse >= end ? 1.0f : -1.0f;
    return std::pair<float, float>{end + sign * near, mouse + sign * past};
  };
  if (horizontal) {
    const auto e1 = extension(y1, my), e2 = extension(y2, my);
    WindowLine(overlay, NSPoint{x1, e1.first}, NSPoint{x1, e1.second});
    WindowLine(overlay, NSPoint{x2, e2.first}, NSPoint{x2, e2.second});
    WindowLine(overlay, NSPoint{x1, my}, NSPoint{x2, my});
    return 0;
  }
  const auto e1 = extension(x1, mx), e2 = extension(x2, mx);
  WindowLine(overlay, NSPoint{e1.first, y1}, NSPoint{e1.second, y1});
  WindowLine(overlay, NSPoint{e2.first, y2}, NSPoint{e2.second, y2});
  WindowLine(overlay, NSPoint{mx, y1}, NSPoint{mx, y2});
  return 1;
}

bool DrawDiameterDimState(float cx, float cy, float mx, float my, float diameter, float* outside) {
  float distance = 0;
  const float b = GetLineLengthAndAngle(cx, cy, mx, my, &distance);
  const float half = ZoomF(diameter) / 2;
  if (outside) *outside = distance - half;
  if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) {
    overlay->setActivePath(kPathPrimary);
    const NSPoint c{cx, cy};
    WindowLine(overlay, Along(c, b + kHalfTurn, half), Along(c, b, half));
  }
  return distance - half > 0;
}

void TrackOffsetDim(float x, float y, float z, int16_t phase) {
  DocState* ds = CurDocState();
  if (!ds) return;
  const bool offsetTool = gCurTool == kToolOffsetDimension;
  if (gTrackModifiers & kTrackModShift) {
    SnapTo15Degrees(gDownX, gDownZ, &x, &z);
    gUpX = x;
    gUpZ = z;
  }
  if (phase != kTrackEnd) {
    ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
    if (overlay) {
      overlay->setActivePath(kPathPrimary);
      overlay->removePointsFromAllPaths();
    }
    if (offsetTool) {
      AppendOverlayModelLine(overlay, gDownX, gDownY, gDownZ, x, y, z);
      DrawDimensionLineNoOffset(gDownX, y, z, x, y, z);
      DrawDimensionLineNoOffset(x, y, gDownZ, x, y, z);
    } else {
      DrawDimensionLineNoOffset(gDownX, gDownY, gDownZ, x, y, z);
    }
    return;
  }
  gMouseCaptured = 0;
  if (DragBelowMouseLimit()) {
    AbandonShortDrag();
    return;
  }
  const float downX = gDownX, downY = gDownY, downZ = gDownZ, upX = gUpX, upY = gUpY, upZ = gUpZ;
  int16_t vertical = 0;
  LoopPoint last = StartingLoopPoint();
  const bool placed = OffsetPositionLoop(&last, [&](const LoopPoint& m) {
    const NSPoint a = WindowOf(downX, downY, downZ), b = WindowOf(upX, upY, upZ);
    const NSPoint mw = WindowOf(m.x, m.y, m.z);
    if (offsetTool)
      vertical = DrawOffsetDimState(a.x, a.y, b.x, b.y, mw.x, mw.y, static_cast<float>(m.raw.x),
                                    static_cast<float>(m.raw.y));
    else
      DrawLengthDimState(a.x, a.y, b.x, b.y, mw.x, mw.y);
  });
  if (!placed) {
    ClearToolOverlay();
    return;
  }
  Layer* layer = CurrentLayer();
  Objex* made = offsetTool ? BuildOffsetDim(downX, downZ, upX, upZ, last.x, last.z, layer, vertical ? 1 : 0)
                           : BuildLengthDim(downX, downZ, upX, upZ, last.x, last.z, layer);
  FinishDimension(made, false);
}

void TrackLeaderDim(float x, float y, float z, int16_t phase) {
  DocState* ds = CurDocState();
  if (!ds) return;
  if (phase != kTrackEnd) {
    ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
    if (overlay) {
      overlay->setActivePath(kPathPrimary);
      overlay->removePointsFromAllPaths();
    }
    AppendOverlayModelLine(overlay, gDownX, gDownY, gDownZ, x, y, z);
    return;
  }
  gMouseCaptured = 0;
  if (DragBelowMouseLimit()) {
    AbandonShortDrag();
    return;
  }
  const float downX = gDownX, downY = gDownY, downZ = gDownZ, upX = gUpX, upY = gUpY, upZ = gUpZ;
  float textX = upX, textZ = upZ;
  LoopPoint last = StartingLoopPoint();
  const bool placed = OffsetPositionLoop(&last, [&](const LoopPoint& m) {
    textX = m.x, textZ = m.z;
    if (!(gTrackModifiers & kTrackModShift)) SnapTo15Degrees(upX, upZ, &textX, &textZ);
    ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
    if (!overlay) return;
    overlay->setActivePath(kPathPrimary);
    AppendOverlayModelLine(overlay, downX, downY, downZ, upX, upY, upZ);
    overlay->setActivePath(kPathSecondary);
    AppendOverlayModelLine(overlay, upX, upY, upZ, textX, upY, textZ);
    overlay->setActivePath(kPathPrimary);
  });
  if (!placed) {
    ClearToolOverlay();
    return;
  }
  FinishDimension(BuildLeaderDim(downX, downZ, upX, upZ, textX, textZ, CurrentLayer()), true);
}

void TrackDiameterDim(float x, float y, float z, int16_t phase) {
  if (phase != kTrackBegin) {
    // A press that found no circle leaves the mouse to the view until the mouse-up.
    if (phase == kTrackEnd) gMouseCaptured = 0;
    return;
  }
  DocState* ds = CurDocState();
  if (!ds) return;
  // The click record lives for this call only, whichever way it ends.
  std::unique_ptr<ClickInfo, decltype(&std::free)> click(static_cast<ClickInfo*>(std::calloc(1, sizeof(ClickInfo))),
                                                         &std::free);
  if (!click) return;
  click->where = gStartMouse;
  FillClickInfo(click.get());
  const Objex* circle = click->hitMode ? click->hitObject : nullptr;
  if (!circle || circle->subtype != kSubDetailOval || circle->pointCount < 4) return;
  const Poinz* p1 = circle->firstPoint;
  const Poinz* p2 = p1 ? p1->next : nullptr;
  const Poinz* p3 = p2 ? p2->next : nullptr;
  const Poinz* p4 = p3 ? p3->next : nullptr;
  if (!p4) return;
  const float d13 = GetLineLength(p1->position[0], p1->position[2], p3->position[0], p3->position[2]);
  const float d24 = GetLineLength(p2->position[0], p2->position[2], p4->position[0], p4->position[2]);
  if (std::trunc(d13 + 0.5f) != std::trunc(d24 + 0.5f)) return;
  const float cx = (p1->position[0] + p3->position[0]) / 2, cz = (p1->position[2] + p3->position[2]) / 2;
  const float cy = (p1->position[1] + p3->position[1]) / 2;
  const float diameter = d13;

  float lastX = x, lastZ = z;
  bool released = false;
  ModalEvent event;
  while (NextModalEvent(kModalMouseDraggedMask | kModalMouseUpMask | kModalKeyDownMask, &event)) {
    if (event.type == kModalMouseUp) {
      released = true;
      break;
    }
    // Tab moves to the next snap tool and redraws at the mouse; other keys are ignored.
    POINT where = event.where;
    if (event.type == kModalKeyDown) {
      if (event.keyCode != kModalKeyTab) continue;
      SnapToolChangeInLoop();
      where = ModalMouseLocation();
    }
    float my = y;
    EvaluatePoint(where.x, where.y, &lastX, &my, &lastZ, 1, nullptr, 1);
    ClearToolOverlay();
    const NSPoint c = WindowOf(cx, cy, cz), m = WindowOf(lastX, cy, lastZ);
    float outside = 0;
    gDynamicDrawing = 1;
    DrawDiameterDimState(c.x, c.y, m.x, m.y, diameter, &outside);
    gDynamicDrawing = 0;
  }
  gMouseCaptured = 0;
  if (!released) {
    ClearToolOverlay();
    return;
  }
  float length = 0;
  const float b = GetLineLengthAndAngle(cx, cz, lastX, lastZ, &length);
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(b, diameter / 2, &dx, &dz);
  FinishDimension(BuildDiameterDim(cx - dx, cz - dz, cx + dx, cz + dz, CurrentLayer()), true);
}
