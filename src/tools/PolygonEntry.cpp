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

// The corner loop after the first point; returns the outline or null when it was dropped.
Objex* EnterCorners(Objex* o, uint8_t curved, uint8_t closed, int16_t kind, DocState* ds) {
  const float first[3] = {gDownX, gDownY, gDownZ};
  float last[3] = {first[0], first[1], first[2]};
  float p[3] = {first[0], first[1], first[2]};
  const POINT ignored = gStartMouse;
  const uint32_t mask =
      kModalMouseDownMask | kModalMouseMovedMask | kModalKeyDownMask | kModalFlagsChangedMask | kModalToolChangedMask;
  ModalMouseMovedScope moved(true);
  int32_t points = 1;
  for (;;) {
    gTrackingMouse = 1;
    ModalEvent event;
    bool ending = false, gone = false;
    for (;;) {
      if (!NextModalEvent(mask, &event) || event.type == kModalToolChanged) {
        // The window closed, nothing more can come or another tool was chosen: end with the
        // corners placed.
        ending = true;
        gone = true;
        break;
      }
      if (event.type == kModalMouseMoved || event.type == kModalFlagsChanged) {
        const POINT where = event.type == kModalFlagsChanged ? ModalMouseLocation() : event.where;
        gTrackModifiers = static_cast<uint16_t>((gTrackModifiers & ~(kTrackModShift | kTrackModCommand)) |
                                                TrackModifiersOfEvent(event));
        EvaluateCorner(where, last, p);
        if (gTrackingHooks.autoScrollToPoint) gTrackingHooks.autoScrollToPoint(where.x, where.y);
        DrawRubberBand(last, p, kind, ds);
        continue;
      }
      if (event.type == kModalKeyDown) {
        if (event.keyCode == kModalKeyEscape) {
          ending = true;
          break;
        }
        if (event.keyCode == kModalKeyTab) {
          SnapToolChangeInLoop();
        }
        continue;
      }
      if (event.type == kModalMouseDown) {
        if (event.where.x == ignored.x && event.where.y == ignored.y) continue;
        // The press itself places the corner where it is.
        EvaluateCorner(event.where, last, p);
        const bool right = (event.modifierFlags & kModalControlKey) != 0;
        ending = right || event.clickCount > 1;
        break;
      }
    }
    gTrackingMouse = 0;
    gPerpFromLoc = FloatPoint{p[0], p[2]};
    gDownX = p[0], gDownY = p[1], gDownZ = p[2];

    if (ending) {
      if (points > 1) {
        o->closed = closed ? 1 : 0;
        o->type = closed ? kObjClosedPoly : kObjOpenPoly;
        Finish(o, curved, ds);
        return o;
      }
      // No more events with only the first corner: nothing is made.
      if (gone) {
        Discard(o);
        return nullptr;
      }
      // Escape, a double or a right click with one corner counts as an ordinary click.
    }
    if (std::fabs(p[0] - last[0]) <= kSameCornerDistance && std::fabs(p[1] - last[1]) <= kSameCornerDistance &&
        std::fabs(p[2] - last[2]) <= kSameCornerDistance)
      continue;
    const float fromFirst = ZoomF(std::hypot(p[0] - first[0], p[2] - first[2]));
    if (fromFirst >= kCloseDistance) {
      BuildPoly(o, 0, 0, 0, p[0], p[1], p[2], gCurDocument->itsCurLayer, 2, 0);
      ++points;
      if (curved) SmoothObject(o);
      DrawLength(0);
      last[0] = p[0], last[1] = p[1], last[2] = p[2];
      continue;
    }
    // Back on the first corner.
    if (closed) {
      o->closed = 1;
      o->type = kObjClosedPoly;
    } else {
      BuildPoly(o, 0, 0, 0, p[0], p[1], p[2], gCurDocument->itsCurLayer, 2, 0);
      o->closed = 0;
      o->type = kObjOpenPoly;
    }
    Finish(o, curved, ds);
    return o;
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
