// The move tool: choosing the drag at the mouse-down, the limited offset, the moved box in
// the overlay, and the translation of the selection at the mouse-up.
#include "tools/MoveTool.h"

#include <cmath>
#include <initializer_list>

#include "model/Bounds.h"
#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/TopoGrid.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/TransformInfo.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/SelectionBox.h"
#include "plandraw/WallSegmentDimensions.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/PointEditing.h"
#include "tools/PointEvaluation.h"
#include "tools/RoofPanelTools.h"
#include "tools/ToolCodes.h"
#include "tools/TransformOutlines.h"
#include "tools/TrackingState.h"
#include "tools/WallAnchors.h"
#include "tools/WallAttachments.h"

namespace {

// Drag state from the mouse-down to the mouse-up.
uint8_t sInitialDraw = 0;
Float3DRect sData3DRect{};
uint8_t sEditWall = 0;
uint8_t sConstrainWallEdit = 0;
uint8_t sPointDrag = 0;        // one point (or a wall end) follows the mouse
uint8_t sForcedVertical = 0;   // Command outside the plan view: the drag moves in height only
int16_t sSaveActivePlane = 0;

bool OneOf(int32_t v, std::initializer_list<int32_t> list) {
  for (int32_t x : list)
    if (v == x) return true;
  return false;
}

// Types whose drag is chosen from the point and segment hits.
bool ChoosesByHit(int16_t type) {
  return OneOf(type, {8, 12, 13, 21, 22, 24, 25, 26, 27, 29, 30, 38, 45, 48, 50, 51, 57, 62, 108, 114, 116, 117,
                      129, 130, 133, 134, 137, 141, 142, 143, 144});
}

bool IsWholeMovingDetail(const Objex* o) {
  return o->type == kObjDetail && ((o->subtype >= 1 && o->subtype <= 5) || (o->subtype >= 7 && o->subtype <= 9)) &&
         o->extraFlags == 0;
}

bool AllPointsSelected(const Objex* o) {
  for (const Poinz* p = o->firstPoint; p; p = p->next)
    if (!p->selected) return false;
  return true;
}

bool CommandHeld() { return (gTrackModifiers & kTrackModCommand) != 0; }

// Attachments and slope arrows run their own drags from the mouse-down.
bool HandOffAttachment(Objex* hit, float x, float y, float z, int16_t phase) {
  switch (hit->type) {
    case kObjDeckSteps: case kObjDoor: case kObjWindow: case kObjRoofSlopeArrow: case kObjAccessory:
    case kObjComponent:
      break;
    default:
      return false;
  }
  if (phase != kTrackBegin) {
    gDynamicDrawing = 0;
    return true;
  }
  switch (hit->type) {
    case kObjDeckSteps:
      TranslateDeckAttachment(hit, x, y, z);
      if (hit->parent) {
        Update3DDeck(hit->parent);
        ReRenderObject(hit->parent);
      }
      gMouseCaptured = 0;
      Refresh();
      break;
    case kObjDoor: case kObjWindow:
      TranslateWallAttachment();  // the door or window under gClickInfo
      gMouseCaptured = 0;
      break;
    case kObjRoofSlopeArrow:
      TrackRoofSlopeDirection(hit, x, y, z);
      gMouseCaptured = 0;
      break;
    default:
      TranslateWallComponent(hit, x, y, z);
      gMouseCaptured = 0;
      break;
  }
  return true;
}

// Stage 1: which drag this is, and the selection it moves.
void ChooseDrag(DocState* ds, Layer* layers, Objex* hit) {
  if (CommandHeld() && GetCurrentView() != kCmdViewTop) {
    sSaveActivePlane = ds->viewPlane;
    ds->viewPlane = 1;
    sForcedVertical = 1;
  }
  if (ChoosesByHit(hit->type)) {
    const bool pointEditing = !IsWholeMovingDetail(hit);
    Poinz* point = gClickInfo.hitPoint;
    if (pointEditing && gClickInfo.pointHit && point && hit->type != kObjDynamicText &&
        (point->selected || (hit->type != kObjWall && AllPointsSelected(hit)))) {
      sPointDrag = 1;
      BeginPointDrag(layers, hit, point);
    } else if (!gClickInfo.segmentHit) {
      if (hit->type != kObjWall) SelectObj(hit, kSelectOn, 1);
    } else if (hit->type == kObjFence) {
      if (point && point->pointType == 6 && gClickInfo.segmentEnd) {
        SelectAllLayers(layers, kSelectOff, 1);
        SelectPoint(point, kSelectOn, 1);
        SelectPoint(gClickInfo.segmentEnd, kSelectOn, 1);
      } else {
        SelectObj(hit, kSelectOn, 1);
      }
    } else if (OneOf(hit->type, {kObjFloor, kObjTopography, kObjCutout, kObjDeck, kObjRailing, kObjRoofPanel,
                                 kObjTopoExcavation, kObjWall})) {
      // Selection unchanged: these move their selected points or segment.
      BeginWallSegmentHit(hit);
      BeginSegmentReadouts(hit, gClickInfo.hitPoint, gClickInfo.segmentEnd);
    } else {
      // Dimensions keep their selection; detail shapes edited by points keep their points.
      const bool keepsPoints = hit->type == kObjDetail && !(OneOf(hit->subtype, {2, 4, 5}) && hit->extraFlags == 0);
      if (!keepsPoints && !OneOf(hit->type, {kObjLeaderDim, kObjOffsetDim, kObjOffsetDimHorizontal, kObjLengthDim}))
        SelectObj(hit, kSelectOn, 1);
      BeginSegmentReadouts(hit, gClickInfo.hitPoint, gClickInfo.segmentEnd);
    }
  }
  sEditWall = hit->type == kObjWall;
  sConstrainWallEdit = sEditWall && (!IsEntireObjectSelected(hit) || hit->pointCount <= 2);
}

// Keeps the moved box inside [low, high] on one axis; the correction goes to the current point.
void Limit(float min, float max, float low, float high, float* current) {
  if (min < low) *current += low - min;
  else if (max > high) *current -= max - high;
}

// Truncates toward zero to a 16-bit whole number (saturating; NaN reads 0).
int32_t WholeShort(float v) {
  if (!(v == v)) return 0;
  return static_cast<int32_t>(std::fmax(-32768.0f, std::fmin(32767.0f, std::trunc(v))));
}

// A locked origin line on one axis: a box that started on one side of the line stays there.
// min0/max0 are the box's sides at the mouse-down, min/max the moved ones; the correction
// goes to the current point.
void OriginLineLimit(float min0, float max0, float min, float max, float line, float* current) {
  const int32_t o = WholeShort(line);
  if (WholeShort(min0) >= o && WholeShort(min) < o) *current += line - min;
  else if (WholeShort(max0) <= o && WholeShort(max) > o) *current -= max - line;
}

// The tracking state with its current point corrected so the selection's box stays inside
// the plan limits and on its side of locked origin lines.
TrackState LimitedTrackState(const DocState* ds, const Objex* hit) {
  TrackState t = gTrackState;
  if (sPointDrag) return t;
  const FloatRect& limits = ds->planBounds;
  const Float3DRect& b = sData3DRect;
  switch (ds->viewPlane) {
    case 2: {
      if (hit && hit->type == kObjPhotoView) break;
      float dx = t.currentX - t.startX, dz = t.currentZ - t.startZ;
      Limit(b.floatLeft + dx, b.floatRight + dx, limits.floatLeft, limits.floatRight, &t.currentX);
      Limit(b.floatBack + dz, b.floatFront + dz, limits.floatTop, limits.floatBottom, &t.currentZ);
      dx = t.currentX - t.startX, dz = t.currentZ - t.startZ;
      if (ds->lockOriginX)
        OriginLineLimit(b.floatLeft, b.floatRight, b.floatLeft + dx, b.floatRight + dx, ds->origin.floatH, &t.currentX);
      if (ds->lockOriginZ)
        OriginLineLimit(b.floatBack, b.floatFront, b.floatBack + dz, b.floatFront + dz, ds->origin.floatD, &t.currentZ);
      break;
    }
    case 3: {
      float dz = t.currentZ - t.startZ, dy = t.currentY - t.startY;
      Limit(b.floatBack + dz, b.floatFront + dz, limits.floatTop, limits.floatBottom, &t.currentZ);
      if (b.floatTop + dy < limits.floatTop) t.currentY += limits.floatTop - (b.floatTop + dy);
      dz = t.currentZ - t.startZ, dy = t.currentY - t.startY;
      if (ds->lockOriginZ)
        OriginLineLimit(b.floatBack, b.floatFront, b.floatBack + dz, b.floatFront + dz, ds->origin.floatD, &t.currentZ);
      if (ds->lockOriginY)
        OriginLineLimit(b.floatTop, b.floatBottom, b.floatTop + dy, b.floatBottom + dy, ds->origin.floatV, &t.currentY);
      break;
    }
    case 1: {
      if (sForcedVertical) {
        t.currentX = t.startX;
      } else {
        const float dx = t.currentX - t.startX;
        Limit(b.floatLeft + dx, b.floatRight + dx, limits.floatLeft, limits.floatRight, &t.currentX);
      }
      float dy = t.currentY - t.startY;
      if (b.floatTop + dy < limits.floatTop) t.currentY += limits.floatTop - (b.floatTop + dy);
      const float dx = t.currentX - t.startX;
      dy = t.currentY - t.startY;
      if (ds->lockOriginX && !sForcedVertical)
        OriginLineLimit(b.floatLeft, b.floatRight, b.floatLeft + dx, b.floatRight + dx, ds->origin.floatH, &t.currentX);
      if (ds->lockOriginY)
        OriginLineLimit(b.floatTop, b.floatBottom, b.floatTop + dy, b.floatBottom + dy, ds->origin.floatV, &t.currentY);
      break;
    }
    default:
      break;
  }
  return t;
}

bool IsSet(FloatPoint p) { return p.floatH != kTrackUnset && p.floatV != kTrackUnset; }

// Types whose moved outlines are drawn (and which, but for whole-moving detail shapes, get
// no moved box).
bool DrawsMovedOutlines(int16_t type) {
  return OneOf(type, {12, 13, 14, 21, 22, 24, 25, 26, 27, 29, 30, 38, 45, 48, 50, 51, 57, 62, 108, 114, 116, 117, 129,
                      130, 133, 134, 137, 141, 142, 143, 144, 166});
}

// The moved box of the selection and the moved outlines in the overlay; a moved wall
// segment shows the wall with the segment at its new place.
void DrawMovedState(const TrackState& t, float x, float z, Objex* hit, int16_t phase) {
  if (x == gDownX && z == gDownZ) return;
  Float3DRect moved = sData3DRect;
  const float dx = t.currentX - t.startX, dy = t.currentY - t.startY, dz = t.currentZ - t.startZ;
  moved.floatLeft += dx, moved.floatRight += dx;
  moved.floatTop += dy, moved.floatBottom += dy;
  moved.floatBack += dz, moved.floatFront += dz;
  const bool pointTool = hit && ToolIsPointOriented(gCurTool, hit);
  const bool outlined = hit && DrawsMovedOutlines(hit->type);
  if (!(pointTool && GetCurrentView() != kCmdViewTop)) {
    if (!outlined) {
      TransformationDrawingScope scope;
      DrawCube(&moved);
    } else if (IsWholeMovingDetail(hit)) {
      DrawCube(&moved);
    }
  }
  if (!outlined) return;
  // The moved segment always shows: the wall's bounds are the selection's whenever the wall
  // alone is selected, which is the usual segment move.
  if (hit->type == kObjWall && IsWallSegmentMove() && gTrackingMouse && IsSet(gTranslateWallSegPt1) &&
      IsSet(gTranslateWallSegPt2)) {
    TransformationDrawingScope scope;
    DrawTranslatedWallObject(nullptr, hit, nullptr, nullptr, &gClickInfo, &gClickInfo);
    return;
  }
  if (!pointTool && !SelectionOutlinesDifferFromHit(hit) && !OneOf(hit->type, {kObjLine, kObjPhotoView, kObjDimLine}))
    return;
  DragTransformInfo xform{};
  xform.start[0] = t.startX, xform.start[1] = t.startY, xform.start[2] = t.startZ;
  xform.current[0] = t.currentX, xform.current[1] = t.currentY, xform.current[2] = t.currentZ;
  xform.startAngle = t.startAngle, xform.currentAngle = t.currentAngle;
  DrawTransformedOutlines(phase == kTrackBegin ? kOutlineMoveFirst : kOutlineMove, xform);
}

void EndDrag(DocState* ds, Layer* layers, Objex* hit, ZLKDynamicDrawEngine* overlay) {
  const bool moved = !(gUpX == gDownX && gUpY == gDownY && gUpZ == gDownZ);
  if (moved) {
    // The walls the move rebuilds (twice for the hit wall) refit their attachments; the floor's
    // attached dimensions are measured once, against the walls as the move leaves them.
    WallDimensionRefreshBatch dimensions;
    const TrackState t = LimitedTrackState(ds, hit);
    TransformInfo xform{};
    xform.delta[0] = t.currentX - t.startX;
    xform.delta[1] = t.currentY - t.startY;
    xform.delta[2] = t.currentZ - t.startZ;
    if (sForcedVertical) xform.delta[0] = xform.delta[2] = 0;
    LimitEndDragOffset(&xform.delta[0], &xform.delta[2]);
    // Before the move fits the openings again: those measured from a dragged first point
    // keep their place.
    ShiftEndDragAttachments(hit, xform.delta[0], xform.delta[2]);
    if (IsWallSegmentMove()) ApplyWallSegmentMove(hit, xform.delta[0], xform.delta[2]);
    // A point drag selected its one point at the mouse-down: only the hit object's tree holds it.
    else if (sPointDrag) SelectedTopLevelObject(GetRootObject(hit), 1, kCmdTranslateObjects, CommandArg::Transform(&xform));
    else SelectedObjectAllLayers(layers, 1, kCmdTranslateObjects, CommandArg::Transform(&xform));
    if (hit->type == kObjWall) {
      Update3DWall(hit);
      UpdateAllWallAttachments(hit);
      ReRenderObject(hit);
    }
  }
  gDynamicDrawing = 0;
  gMouseCaptured = 0;
  if (overlay) overlay->removePointsFromAllPaths();
  Refresh();
  if (hit->type == kObjDetail && hit->subtype == kSubSwitchConnector) SmoothObject(hit);
  if (gResetToWallTool) {
    gResetToWallTool = 0;
    gCurTool = gResetWallTool;
  }
  if (sForcedVertical) {
    ds->viewPlane = sSaveActivePlane;
    sForcedVertical = 0;
  }
  hit = FinishPointEditing(hit);
  if (!hit) return;
  if (OneOf(hit->type, {kObjEntireLot, kObjSlopeLotSection, kObjTopography})) {
    SetLotElevation();
    ReRenderObject(hit);
  }
  DrawAngle(0);
}

}  // namespace

void TrackTranslate(float x, float y, float z, int16_t phase) {
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (overlay) overlay->removePointsFromAllPaths();
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument) return;
  Layer* layers = gCurDocument->itsLayers;
  Objex* hit = gClickInfo.hitObject;

  if (phase == kTrackBegin) {
    sInitialDraw = sEditWall = sConstrainWallEdit = sPointDrag = sForcedVertical = 0;
    ResetPointEditing();
    sData3DRect = EmptyFloat3DRect();
    GetAllLayers3DBounds(layers, 1, &sData3DRect, 0);
    if (hit && gClickInfo.segmentHit && gClickInfo.hitPoint && gClickInfo.segmentEnd) {
      if (hit->type == kObjWall)
        DrawDimensionWallSegmentSelection(hit, gClickInfo.hitPoint, gClickInfo.segmentEnd, gClickInfo.where.x,
                                          gClickInfo.where.y);
      sInitialDraw = 1;
    }
  }
  if (sInitialDraw && (x != gDownX || z != gDownZ || phase == kTrackEnd)) {
    sInitialDraw = 0;
    ClearDimensionWallSegmentSelection();
  }
  if (hit && HandOffAttachment(hit, x, y, z, phase)) return;
  if (phase == kTrackBegin && hit) ChooseDrag(ds, layers, hit);

  const TrackState limited = LimitedTrackState(ds, hit);
  if (phase != kTrackEnd) {
    DrawPointEditReadouts(hit, x, z, limited.currentX - limited.startX, limited.currentZ - limited.startZ);
    DrawMovedState(limited, x, z, hit, phase);
    return;
  }
  if (hit) {
    EndDrag(ds, layers, hit, overlay);
  } else {
    gMouseCaptured = 0;
    if (sForcedVertical) {
      ds->viewPlane = sSaveActivePlane;
      sForcedVertical = 0;
    }
  }
}
