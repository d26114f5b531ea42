// The begin, drag and end stages of a tool drag and the dispatch of each stage by tool code.
#include "tools/Tracking.h"

#include "files/Undo.h"
#include "model/AddRemovePoints.h"
#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "platform/Strings.h"
#include "tools/AccessoryTool.h"
#include "tools/Components.h"
#include "tools/FilletChamfer.h"
#include "tools/MarqueeTool.h"
#include "tools/MoveTool.h"
#include "tools/PointEvaluation.h"
#include "tools/PolygonEntry.h"
#include "tools/KeyEntryTools.h"
#include "tools/PathTools.h"
#include "tools/RoofPanelTools.h"
#include "tools/RoofTools.h"
#include "tools/ResizeTool.h"
#include "tools/RotateTool.h"
#include "tools/ShapeTools.h"
#include "tools/SiteTools.h"
#include "tools/SkylightTools.h"
#include "tools/StairTools.h"
#include "tools/TransformOutlines.h"
#include "tools/Constraints.h"
#include "tools/CurvedWallTool.h"
#include "tools/DimensionTools.h"
#include "tools/DrawingTools.h"
#include "tools/FoundationTools.h"
#include "tools/DoorWindowTools.h"
#include "tools/ObjectSnaps.h"
#include "tools/CameraTool.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"
#include "tools/WallTool.h"

TrackingHooks gTrackingHooks;

namespace {

bool HaveDocState() { return gCurDocument && gCurDocument->itsDocState; }

// A drag is under way from BeginTracking to its end (BeginHitGesture).
bool sTrackingGesture = false;

void EndTrackingGesture() {
  if (!sTrackingGesture) return;
  sTrackingGesture = false;
  EndHitGesture();
}

// The window point evaluated the way the three stages do.
void Evaluate(int32_t x, int32_t y, float* p) { EvaluatePoint(x, y, &p[0], &p[1], &p[2], 1, &gClickInfo, 1); }

void ConstrainFromDown(float* p) {
  if (gClickInfo.hitObject) return;
  float down[3] = {gDownX, gDownY, gDownZ};
  ConstrainPoint(down, p);
}

float AngleFromCentre(float x, float y) {
  float length = 0;
  return GetLineLengthAndAngle(gTrackState.centreH, gTrackState.centreV, x, y, &length);
}

bool IsType(const Objex* o, std::initializer_list<int16_t> types) {
  for (int16_t t : types)
    if (o->type == t) return true;
  return false;
}

// The selection tool's corner-handle hit on an object that may be resized.
bool TakesResizeRoad() {
  Objex* hit = gClickInfo.hitObject;
  if (!hit) return false;
  // The corner tools work on the point pressed on or explain why not; they never resize.
  if (gCurTool == kToolFillet || gCurTool == kToolInvertedFillet || gCurTool == kToolChamfer) return false;
  if (!ToolIsPointOriented(gCurTool, hit)) {
    Objex* examined = hit;
    bool cabinetGroup = false;
    if (hit->type == kObjGroup) {
      cabinetGroup = hit->subtype == kSubCabinet;
      examined = hit->firstChild;
    }
    if (gCurTool == kToolSelection && gClickInfo.cornerHit && examined &&
        !IsType(examined, {kObjLine, kObjPlant, kObjFoundationPier, kObjSprinkler}) && examined->subtype != 89 &&
        !cabinetGroup) {
      const Objex* root = GetRootObject(hit);
      if (!root || root->type != kObjGroup || root->groupMarker == 0) return true;
    }
    return false;
  }
  return gClickInfo.pointHit && gCurTool >= kToolSelection && gCurTool <= gLastEditToolID &&
         hit->type == kObjRoof && gClickInfo.hitPoint && gCurTool != kToolRotate;
}

void ResizeRoad(int32_t x, int32_t y, float wx, float wy, float wz, int16_t phase) {
  if (gClickInfo.hitMode) TrackScale(wx, wy, phase);
  else TrackMarquee(x, y, wx, wy, wz, phase);
}

void ReRenderEdited(Objex* object) {
  if (object->type == kObjDormerCutout && object->parent) ReRenderObject(object->parent);
  else ReRenderObject(object);
}

void InsertPointAtClick(DocState* ds) {
  Objex* object = gClickInfo.hitObject;
  if (!gClickInfo.segmentHit || !gClickInfo.hitPoint || !gClickInfo.segmentEnd || !object) return;
  SelectAllLayers(gCurDocument->itsCurLayer, kSelectOff, 1);
  Poinz* added = AddPoint(object, gClickInfo.hitPoint, ds, &gClickInfo);
  if (!added) return;
  SelectPoint(added, kSelectOn, 1);
  Refresh();
  ReRenderEdited(object);
  StoreUndo(LocalizedString("Insert Point"));
}

void RemovePointAtClick(DocState* ds) {
  Objex* object = gClickInfo.hitObject;
  if (!gClickInfo.pointHit || !gClickInfo.hitPoint || !object) return;
  if (!RemovePoint(object, gClickInfo.hitPoint, ds)) return;
  SelectVisualLayer(gCurDocument->itsCurLayer, kSelectOn, 1);
  Refresh();
  ReRenderEdited(object);
  StoreUndo(LocalizedString("Remove Point"));
}

}  // namespace

// Every tool code has its tracking routine: none is pending.
const char* PendingTrackingRoutine(uint16_t) { return nullptr; }

void MaintainModifiers() {
  if (!gTrackingHooks.currentModifiers) return;
  const uint16_t bits = gTrackingHooks.currentModifiers();
  gTrackModifiers = static_cast<uint16_t>((gTrackModifiers & ~(kTrackModShift | kTrackModCommand)) |
                                          (bits & (kTrackModShift | kTrackModCommand)));
}

void BeginTracking(int32_t x, int32_t y) {
  if (!HaveDocState()) return;
  KeepOutlinesOfDrag(true);
  // The drag's moves hit-test a design that only its stages edit, until the release.
  if (!sTrackingGesture) {
    BeginHitGesture();
    sTrackingGesture = true;
  }
  gTrackingObject = 0;
  gChangeSnapOK = 0;
  gStartMouse = gBeginMouse = POINT{x, y};
  gXResizeDirection = gYResizeDirection = gZResizeDirection = 1.0f;
  MaintainModifiers();
  gPerpStartPtz = gPerpEndPtz = nullptr;
  gPerpAtStart = 0;
  float p[3] = {0, 0, 0};
  Evaluate(x, y, p);
  if (gPerpStartPtz && gPerpEndPtz) {
    gPerpAtStart = 1;
    gSkipConstraints = 1;
  }
  if (!gClickInfo.hitObject) ConstrainPoint(p, p);
  gDownX = p[0];
  gDownY = p[1];
  gDownZ = p[2];
  gTrackState.startX = gTrackState.currentX = p[0];
  gTrackState.startY = gTrackState.currentY = p[1];
  gTrackState.startZ = gTrackState.currentZ = p[2];
  gTrackState.centreH = gTrackState.centreV = 0;
  if (gClickInfo.hitObject) CenterOfObject(gClickInfo.hitObject, &gTrackState.centreH, &gTrackState.centreV);
  gTrackState.startAngle = gTrackState.currentAngle = AngleFromCentre(p[0], p[1]);
  TrackObject(x, y, p[0], p[1], p[2], kTrackBegin);
  gBeginKeepTracking = 1;
}

void KeepTracking(int32_t x, int32_t y, int32_t oldX, int32_t oldY) {
  if (!HaveDocState()) return;
  float oldP[3] = {0, 0, 0};
  const uint16_t modifiers = gTrackModifiers;
  gTrackModifiers = gPrevTrackModifiers;
  Evaluate(oldX, oldY, oldP);
  gTrackModifiers = modifiers;
  if (!gTrackingMouse) {
    gPrevTranslateWallSegPt1 = gPrevTranslateWallSegPt2 = FloatPoint{kTrackUnset, kTrackUnset};
    gPrevTrackConstrainAngle = kTrackUnset;
  }
  ConstrainFromDown(oldP);
  gTrackingMouse = 1;
  if (gBeginKeepTracking) {
    ResetSnapTool();
    gBeginKeepTracking = 0;
  }
  gChangeSnapOK = 1;
  MaintainSnapTools();
  gChangeSnapOK = 0;
  MaintainModifiers();

  float newP[3] = {0, 0, 0};
  Evaluate(x, y, newP);
  ConstrainFromDown(newP);

  gTrackState.currentX = oldP[0];
  gTrackState.currentY = oldP[1];
  gTrackState.currentZ = oldP[2];
  gTrackState.currentAngle = AngleFromCentre(oldP[0], oldP[1]);
  if (gTrackingHooks.autoScrollToPoint) gTrackingHooks.autoScrollToPoint(x, y);

  // Erase pass: the previous step's state, at the old point.
  const FloatPoint seg1 = gTranslateWallSegPt1, seg2 = gTranslateWallSegPt2;
  const float angle = gTrackConstrainAngle;
  const uint16_t currentModifiers = gTrackModifiers;
  gTranslateWallSegPt1 = gPrevTranslateWallSegPt1;
  gTranslateWallSegPt2 = gPrevTranslateWallSegPt2;
  gTrackConstrainAngle = gPrevTrackConstrainAngle;
  gTrackModifiers = gPrevTrackModifiers;
  TrackObject(oldX, oldY, oldP[0], oldP[1], oldP[2], kTrackKeep);
  gTranslateWallSegPt1 = seg1;
  gTranslateWallSegPt2 = seg2;
  gTrackConstrainAngle = angle;
  gTrackModifiers = currentModifiers;

  // Draw pass at the new point.
  gTrackingObject = 1;
  gTrackState.currentX = newP[0];
  gTrackState.currentY = newP[1];
  gTrackState.currentZ = newP[2];
  gTrackState.currentAngle = AngleFromCentre(newP[0], newP[1]);
  gPrevTrackConstrainAngle = gTrackConstrainAngle;
  TrackObject(x, y, newP[0], newP[1], newP[2], kTrackKeep);

  gPrevTranslateWallSegPt1 = gTranslateWallSegPt1;
  gPrevTranslateWallSegPt2 = gTranslateWallSegPt2;
  gPrevTrackConstrainAngle = gTrackConstrainAngle;
}

void EndTracking(int32_t, int32_t, int32_t lastX, int32_t lastY) {
  KeepOutlinesOfDrag(false);
  if (!HaveDocState()) return;
  gEndMouse = POINT{lastX, lastY};
  float p[3] = {0, 0, 0};
  Evaluate(lastX, lastY, p);
  EndTrackingGesture();
  ConstrainFromDown(p);
  gUpX = p[0];
  gUpY = p[1];
  gUpZ = p[2];
  gTrackState.currentX = p[0];
  gTrackState.currentY = p[1];
  gTrackState.currentAngle = AngleFromCentre(p[0], p[1]);
  TrackObject(lastX, lastY, p[0], p[1], p[2], kTrackEnd);
  gPerpStartPtz = gPerpEndPtz = nullptr;
  gPerpAtStart = 0;
  gChangeSnapOK = 1;
  UpdateInspectorPropertiesState(true);
}

void FinishTracking() {
  KeepOutlinesOfDrag(false);
  EndTrackingGesture();
  gTrackingMouse = 0;
  gTrackingObject = 0;
  if (gResetToWallTool) {
    gResetToWallTool = 0;
    gCurTool = gResetWallTool;
  }
}

void TrackObject(int32_t x, int32_t y, float wx, float wy, float wz, int16_t phase) {
  if (!HaveDocState()) return;
  DocState* ds = gCurDocument->itsDocState;
  ds->documentChanged = 1;
  const uint16_t tool = gCurTool;
  if (tool == kToolNone) return;
  if (TakesResizeRoad()) {
    ResizeRoad(x, y, wx, wy, wz, phase);
    return;
  }
  switch (tool) {
    case kToolSelection: case kToolPointSelection: case kToolMoveAlt:
      if (gClickInfo.hitMode) TrackTranslate(wx, wy, wz, phase);
      else TrackMarquee(x, y, wx, wy, wz, phase);
      return;
    case kToolResize:
      ResizeRoad(x, y, wx, wy, wz, phase);
      return;
    case kToolRotate:
      if (gClickInfo.hitMode) TrackRotate(wx, wy, wz, phase);
      else TrackMarquee(x, y, wx, wy, wz, phase);
      return;
    case kToolTextAlt: case kToolText:
      TrackText();
      return;
    case kToolRectangle:
      TrackRect(x, y, wx, wy, wz, phase);
      return;
    case kToolCircleOval:
      TrackOval(x, y, wx, wy, wz, phase);
      return;
    case kToolInsertPoint:
      if (phase == kTrackBegin) InsertPointAtClick(ds);
      return;
    case kToolRemovePoint:
      if (phase == kTrackBegin) RemovePointAtClick(ds);
      return;
    case kToolFillet: case kToolInvertedFillet: case kToolChamfer:
      if (!gClickInfo.hitMode) {
        TrackMarquee(x, y, wx, wy, wz, phase);
      } else if (tool == kToolChamfer) {
        TrackChamfer(wx, wz, phase);
      } else {
        gTrackInvertedFillet = tool == kToolInvertedFillet ? 1 : 0;
        TrackFillet(wx, wz, phase);
        if (phase == kTrackEnd) gTrackInvertedFillet = 0;
      }
      return;
    case kToolExteriorWall: case kToolInteriorWall: case kToolRetainingWall: case kToolExteriorWallKeyEntry:
    case kToolInteriorWallKeyEntry:
      TrackWall(x, y, wx, wy, wz, phase);
      return;
    case kToolDoor: case kToolCasedOpening:
      TrackDoor(x, y, wx, wy, wz, phase);
      return;
    case kToolWindow:
      TrackWindow(x, y, wx, wy, wz, phase);
      return;
    case kToolShedRoof: case kToolSlopeLotSection: case kToolSlopeLot: case kToolNoAction:
      return;
    case kToolDimensionWall: case kToolWallBreak: case 7100: case 7101: case 7103: case 7105: case 7106:
    case 7107: case 7110: case 7112: case 7113: case 7114: case 7115: case 7200: case 7201: case 7203:
    case 7204: case 7205: case 7206: case 7207: case 7208: case 7209: case 7210: case 7407:
      TrackComponent(wx, wy, wz, phase, tool);
      return;
    case 7102: case 7104: case 7109: case 7111: case 7202: case 7211: case 7401: case 7402: case 7403:
    case 7404: case 7405: case 7406:
      TrackComponentFixed(wx, wy, wz, phase, tool);
      if (phase == kTrackEnd) gMouseCaptured = 0;
      return;
    case kToolAccessory:
      TrackAccessory(x, y, wx, wy, wz, phase);
      return;
    case kToolDimension:
      TrackDimLine(x, y, wx, wy, wz, phase);
      return;
    case kToolOffsetDimension: case kToolLengthDimension:
      TrackOffsetDim(wx, wy, wz, phase);
      return;
    case kToolDiameterDimension:
      TrackDiameterDim(wx, wy, wz, phase);
      return;
    case kToolLeaderDimension:
      TrackLeaderDim(wx, wy, wz, phase);
      return;
    case kToolLine:
      TrackLine(x, y, wx, wy, wz, phase);
      return;
    case kToolPolygon: case kToolCurve:
      TrackPoly(x, y, wx, wy, wz, phase);
      return;
    case kToolMultigon:
      TrackMulti(x, y, wx, wy, wz, phase);
      return;
    case kToolArc:
      TrackArc(x, y, wx, wy, wz, phase, tool);
      return;
    case kToolSwitchConnector:
      TrackSwitchConnector(x, y, wx, wy, wz, phase);
      return;
    case kToolSprinklerHead: case kToolCircularArc:
      TrackSprinkler(x, y, wx, wy, wz, phase);
      return;
    case kToolCurvedWall:
      TrackCurvedWall(x, y, wx, wy, wz, phase);
      return;
    case kToolFoundationPerimeter:
      TrackFoundation(x, y, wx, wy, wz, phase);
      return;
    case kToolStiffenerBeam:
      TrackFoundationBeam(x, y, wx, wy, wz, phase);
      return;
    case kToolFoundationPier:
      TrackFoundationPier(x, y, wx, wy, wz, phase);
      return;
    case kToolPostTensionStrand:
      TrackFoundationTension(x, y, wx, wy, wz, phase);
      return;
    case kToolFoundationSlope:
      TrackFoundationSlope(x, y, wx, wy, wz, phase);
      return;
    case kToolAirDuct:
      TrackHVACDuct(x, y, wx, wy, wz, phase);
      return;
    case kToolFloor: case kToolFloorCutout:
      TrackFloor(x, y, wx, wy, wz, phase);
      return;
    case kToolDeckCutout:
      TrackDeckCutout(x, y, wx, wy, wz, phase);
      return;
    case kToolPathwayDriveway:
      TrackPath(x, y, wx, wy, wz, phase);
      return;
    case kToolExcavateTopography:
      TrackTopoCutout(x, y, wx, wy, wz, phase);
      return;
    case kToolStraightStairway: case kToolDeckStraightStairway:
      TrackStraightStaircase(x, y, wx, wy, wz, phase);
      return;
    case kToolCurvedStairway: case kToolDeckCurvedStairway:
      TrackCurvedStaircase(x, y, wx, wy, wz, phase);
      return;
    case kToolStraightRailing: case kToolDeckStraightRailing:
      TrackStraightRailing(x, y, wx, wy, wz, phase);
      return;
    case kToolCurvedRailing: case kToolDeckCurvedRailing:
      TrackCurvedRailing(x, y, wx, wy, wz, phase);
      return;
    case kToolGableRoof: case kToolHipRoof: case kToolHipGableRoof: case kToolGableRoofConnector:
    case kToolHipRoofConnector: case kToolCrossRoofConnector:
      ds->roofStyle = RoofStyleForTool(tool);
      TrackGableRoof(x, y, wx, wy, wz, phase);
      return;
    case kToolFreehandRoof:
      TrackRoofPanel(x, y, wx, wy, wz, phase);
      return;
    case kToolFourPointFreehandRoof:
      TrackFourPtRoof(x, y, wx, wy, wz, phase);
      return;
    case kToolThreePointFreehandRoof:
      TrackThreePtRoof(x, y, wx, wy, wz, phase);
      return;
    case kToolDormerCutout:
      TrackDormerCutout(x, y, wx, wy, wz, phase);
      return;
    case kToolSkylight:
      if (ds->skylightType() == kSkylightCustom) TrackCustomSkylight(wx, wy, wz, phase);
      else TrackSkylight(wx, wy, wz, phase);
      if (phase == kTrackEnd) gMouseCaptured = 0;
      return;
    case kToolFill:
      TrackFill(x, y, wx, wy, wz, phase);
      return;
    case kToolPropertyLine:
      TrackPropertyLine(x, y, wx, wy, wz, phase);
      return;
    case kToolGroundFillRegion:
      TrackGroundFill(x, y, wx, wy, wz, phase);
      return;
    case kToolEdging:
      TrackEdging(x, y, wx, wy, wz, phase);
      return;
    case kToolFence:
      TrackFence(x, y, wx, wy, wz, phase);
      return;
    case kToolGate:
      TrackGate(x, y, wx, wy, wz, phase);
      return;
    case kToolCurvedTopography: case kToolStraightEdgeTopography:
      TrackTopo(x, y, wx, wy, wz, phase);
      return;
    case kToolDeckWithRailing: case kToolDeckWithoutRailing:
      TrackDeck(x, y, wx, wy, wz, phase);
      return;
    case kToolViewPoint:
      TrackCamera(x, y, wx, wy, wz, phase);
      return;
    default:
      break;
  }
  // Codes without a tracking routine: nothing but releasing the mouse at the end.
  if (phase == kTrackEnd) gMouseCaptured = 0;
}
