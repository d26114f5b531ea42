// Click-by-click outline entry: the corner loop on the plan window's event queue, and the
// floor, floor cut-out and deck cut-out tools that use it.
#include "tools/PolygonEntry.h"

#include <cmath>

#include "building3d/RenderRoad.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/ShapeBuilders.h"
#include "model/TextureFace.h"
#include "model/Delete.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/Constraints.h"
#include "tools/ModalEvents.h"
#include "tools/ObjectSnaps.h"
#include "tools/PointEvaluation.h"
#include "tools/ToolCodes.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

FloatPoint gPerpFromLoc{kPerpFromNone, kPerpFromNone};

namespace {

constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr float kCloseDistance = 5.0f;      // window units from the first corner that close the outline
constexpr float kSameCornerDistance = 1.0f;  // plan units on each axis: the same corner again
constexpr float kRubberDimOffset = 10.0f;
constexpr int32_t kDeckCutoutTexture = 1301;

uint8_t saveSnapLocked = 0;

void ClearOverlay() {
  if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) overlay->removePointsFromAllPaths();
}

void SelectPathFor(int16_t kind) {
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (!overlay) return;
  if (kind == kPolyEntryKindFoundation) {
    overlay->setActivePath(kPathSecondary);
    overlay->setActivePathLineWidth(2.0f);
  } else {
    overlay->setActivePath(kPathPrimary);
  }
}

struct DynamicScope {
  uint8_t saved = gDynamicDrawing;
  DynamicScope() { gDynamicDrawing = 1; }
  ~DynamicScope() { gDynamicDrawing = saved; }
};

void DrawDynamicDimension(float fx, float fz, float tx, float tz) {
  static const char guard = 0;
  DrawDimensionLine(nullptr, fx, fz, tx, tz, fx, fz, tx, tz, 0, kRubberDimOffset, 1, &guard, &guard, 0, 0, 0, 0,
                    nullptr);
}

// The rubber line from the last corner to the evaluated point, its length and dimensions.
void DrawRubberBand(const float* last, const float* p, int16_t kind, const DocState* ds) {
  ClearOverlay();
  SelectPathFor(kind);
  DynamicScope dynamic;
  DrawLine(nullptr, last[0], last[1], last[2], p[0], p[1], p[2], 0, nullptr, nullptr);  // the projection zooms
  const float length = std::hypot(p[0] - last[0], p[2] - last[2]);
  DrawLength(ConvertScreenToWorld(length, ds, 0));
  DrawDynamicDimension(last[0], last[2], p[0], p[2]);
  if (std::lround(p[0]) != std::lround(last[0]) && std::lround(p[2]) != std::lround(last[2])) {
    DrawDynamicDimension(last[0], last[2], p[0], last[2]);
    DrawDynamicDimension(last[0], last[2], last[0], p[2]);
  }
  if (kind == kPolyEntryKindFoundation)
    if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) overlay->setActivePath(kPathSecondary);
  Refresh();
}

// The window point evaluated as a corner: snapped, unzoomed, without a click record, kept
// inside the plan.
void EvaluateCorner(POINT where, const float* last, float* p) {
  EvaluatePoint(where.x, where.y, &p[0], &p[1], &p[2], 1, nullptr, 1);
  float reference[3] = {last[0], last[1], last[2]};
  ConstrainPoint(reference, p);
}

int32_t CountPoints(const Objex* o) {
  int32_t n = 0;
  for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
  return n;
}

void Finish(Objex* o, uint8_t curved, const DocState* ds) {
  BuildPoly(o, 0, 0, 0, 0, 0, 0, gCurDocument->itsCurLayer, 3, 0);
  o->pointCount = CountPoints(o);
  if (curved) SmoothObject(o);
  o->penColor = ds->newPenColor;
  if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) {
    overlay->removePointsFromAllPaths();
    overlay->resetAttributesForAllPaths();
  }
  Refresh();
  UpdateObjectBounds(o);
}

void Discard(Objex* o) {
  if (!o) return;
  UnlinkObject(o);
  DeleteObj(o);
  ClearOverlay();
  Refresh();
}

// What one event of the corner loop asks for.
enum class CornerEvent {
  kNone,        // nothing for the outline (a move, Tab, another key)
  kClick,       // a corner at the press
  kEndingClick,  // a double click or a right (Control-) click: ends the entry
  kEndingKey,   // Escape: ends the entry
  kGone,        // another tool chosen, the window closed or no more events: ends the entry
};

CornerEvent KindOfCornerEvent(bool received, const ModalEvent& event) {
  if (!received || event.type == kModalToolChanged) return CornerEvent::kGone;
  if (event.type == kModalKeyDown)
    return event.keyCode == kModalKeyEscape ? CornerEvent::kEndingKey : CornerEvent::kNone;
  if (event.type != kModalMouseDown) return CornerEvent::kNone;
  const bool control = (event.modifierFlags & kModalControlKey) != 0;
  return control || event.clickCount > 1 ? CornerEvent::kEndingClick : CornerEvent::kClick;
}

// What a corner clicked at p does to the outline.
enum class CornerResult { kSame, kAdded, kClosed };

// The outline made of the corners entered: closed or open as the tool asked, finished.
Objex* EndOutline(Objex* o, uint8_t curved, uint8_t closed, const DocState* ds) {
  o->closed = closed ? 1 : 0;
  o->type = closed ? kObjClosedPoly : kObjOpenPoly;
  Finish(o, curved, ds);
  return o;
}

// The corner loop after the first point; returns the outline or null when it was dropped.
//
// Every entry ends the same way, whichever tool runs it: a double click, a right (Control-)
// click, Escape, a click on the first point, another tool chosen or the window closing. An
// ending event keeps the corners entered before it. With only the first corner placed, a
// double or right click or Escape does not end the entry but counts as a click (Escape's
// corner is the last point the pointer showed); only another tool or the window closing ends
// it then, with nothing made. A click within 5 window units of the first corner (its own pixel
// too) closes a closed outline without a corner, and adds its corner to an open one.
Objex* EnterCorners(Objex* o, uint8_t curved, uint8_t closed, int16_t kind, DocState* ds) {
  const float first[3] = {gDownX, gDownY, gDownZ};
  float last[3] = {first[0], first[1], first[2]};
  float p[3] = {first[0], first[1], first[2]};
  const uint32_t mask =
      kModalMouseDownMask | kModalMouseMovedMask | kModalKeyDownMask | kModalFlagsChangedMask | kModalToolChangedMask;
  ModalMouseMovedScope moved(true);
  int32_t points = 1;

  // A click: nothing on the last corner, a new corner away from the first, the end of the
  // outline on the first.
  auto place = [&]() {
    if (std::fabs(p[0] - last[0]) <= kSameCornerDistance && std::fabs(p[1] - last[1]) <= kSameCornerDistance &&
        std::fabs(p[2] - last[2]) <= kSameCornerDistance)
      return CornerResult::kSame;
    const float fromFirst = ZoomF(std::hypot(p[0] - first[0], p[2] - first[2]));
    if (fromFirst < kCloseDistance) {
      if (closed) return CornerResult::kClosed;
      BuildPoly(o, 0, 0, 0, p[0], p[1], p[2], gCurDocument->itsCurLayer, 2, 0);
      ++points;
      return CornerResult::kClosed;
    }
    BuildPoly(o, 0, 0, 0, p[0], p[1], p[2], gCurDocument->itsCurLayer, 2, 0);
    ++points;
    if (curved) SmoothObject(o);
    DrawLength(0);
    last[0] = p[0], last[1] = p[1], last[2] = p[2];
    return CornerResult::kAdded;
  };
  auto end = [&]() -> Objex* {
    if (points > 1) return EndOutline(o, curved, closed, ds);
    Discard(o);
    return nullptr;
  };

  for (;;) {
    gTrackingMouse = 1;
    ModalEvent event;
    CornerEvent what = CornerEvent::kNone;
    while (what == CornerEvent::kNone) {
      const bool received = NextModalEvent(mask, &event);
      what = KindOfCornerEvent(received, event);
      if (what != CornerEvent::kNone) break;
      if (event.type == kModalMouseMoved || event.type == kModalFlagsChanged) {
        const POINT where = event.type == kModalFlagsChanged ? ModalMouseLocation() : event.where;
        gTrackModifiers = static_cast<uint16_t>((gTrackModifiers & ~(kTrackModShift | kTrackModCommand)) |
                                                TrackModifiersOfEvent(event));
        EvaluateCorner(where, last, p);
        if (gTrackingHooks.autoScrollToPoint) gTrackingHooks.autoScrollToPoint(where.x, where.y);
        DrawRubberBand(last, p, kind, ds);
      } else if (event.type == kModalKeyDown && event.keyCode == kModalKeyTab) {
        SnapToolChangeInLoop();
      }
    }
    gTrackingMouse = 0;
    // A press places its corner where it is; a key or the end of the events leaves the last
    // point the pointer showed.
    if (what == CornerEvent::kClick || what == CornerEvent::kEndingClick) EvaluateCorner(event.where, last, p);
    gPerpFromLoc = FloatPoint{p[0], p[2]};
    gDownX = p[0], gDownY = p[1], gDownZ = p[2];

    // The corners before an ending event are the outline; with only the first one, a double
    // or right click or Escape is a click like any other.
    const bool ending = what == CornerEvent::kEndingClick || what == CornerEvent::kEndingKey;
    if (what == CornerEvent::kGone || (ending && points > 1)) return end();
    if (place() == CornerResult::kClosed) return end();
  }
}

// Puts the snap lock back however stage 3 ends.
struct SnapLockRestore {
  ~SnapLockRestore() { gSnapLocked = saveSnapLocked; }
};

// The attributes common to floors, floor cut-outs and deck cut-outs.
void MakeFloorLike(Objex* o, int16_t type, int32_t subtype, int32_t planMask, int32_t texture, float skirting) {
  o->type = type;
  o->subtype = subtype;
  o->closed = 1;
  o->planMask = planMask;
  o->penColor = o->fillColor = o->color1 = o->color2 = kWhite;
  o->textureID = 0;
  o->textureID2 = 0;
  o->textureID1 = texture;
  o->textureScale1 = o->textureScale2 = ShortPoint{100, 100};
  o->params[2] = skirting;
  o->extraLong |= 1;
  for (Poinz* p = o->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = texture;
    p->color[0] = p->color[1] = kWhite;
    p->textureScale[0] = p->textureScale[1] = ShortPoint{100, 100};
    p->position[1] -= 1.0f;
  }
  SetTextureFaceUV(o);
  SetObjectPointLengths(o);
  Update3DFloorSkirting(o);
  RenderSingleObject(o);
}

// A closed outline of fewer than three corners encloses nothing: it is removed.
Objex* KeepIfArea(Objex* o) {
  if (o && CountPoints(o) < 3) {
    Discard(o);
    return nullptr;
  }
  return o;
}

}  // namespace

Objex* TrackGnrlPoly(int32_t, int32_t, float, float, float, int16_t stage, uint8_t curved, uint8_t closed, uint8_t,
                     int16_t kind) {
  DocState* ds = CurDocState();
  if (stage == kTrackBegin) {
    saveSnapLocked = gSnapLocked;
    gSnapLocked = 1;
  }
  ClearOverlay();
  SelectPathFor(kind);
  gPerpFromLoc = FloatPoint{kPerpFromNone, kPerpFromNone};
  Objex* made = nullptr;
  if (stage == kTrackEnd) {
    {
      SnapLockRestore restore;
      gUpX = gDownX, gUpY = gDownY, gUpZ = gDownZ;
      gSnapLocked = saveSnapLocked;
      ResetSnapTool();
      gPerpFromLoc = FloatPoint{gDownX, gDownZ};
      Layer* layer = gCurDocument && ds ? gCurDocument->itsCurLayer : nullptr;
      if (layer) {
        if (Objex* o = BuildPoly(nullptr, 0, 0, 0, gDownX, gDownY, gDownZ, layer, 1, 0)) {
          gTrackingPoly = 1;
          made = EnterCorners(o, curved, closed, kind, ds);
        }
      }
    }
    gTrackingMouse = 0;
    gMouseCaptured = 0;
    DrawLength(0);
    ResetSnapTool();
  }
  gPerpFromLoc = FloatPoint{kPerpFromNone, kPerpFromNone};
  gTrackingPoly = 0;
  return made;
}

Objex* TrackFloor(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  Objex* o = KeepIfArea(TrackGnrlPoly(winX, winY, x, y, z, stage, 0, 1, 1, kObjFloor));
  if (!o || stage != kTrackEnd) return o;
  DocState* ds = CurDocState();
  const bool cutout = gCurTool == kToolFloorCutout;
  MakeFloorLike(o, cutout ? kObjCutout : kObjFloor, 0, 2, gFlooringDefaultTexture, ds ? ds->floorThickness : 0);
  return o;
}

Objex* TrackDeckCutout(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  Objex* o = KeepIfArea(TrackGnrlPoly(winX, winY, x, y, z, stage, 0, 1, 1, kObjFloor));
  if (!o || stage != kTrackEnd) return o;
  DocState* ds = CurDocState();
  MakeFloorLike(o, kObjCutout, kSubDeckCutout, 64, kDeckCutoutTexture, ds ? ds->deckHeight - 1.0f : 0);
  return o;
}
