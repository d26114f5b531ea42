// Definitions of the tracking globals.
#include "tools/TrackingState.h"

#include "model/Selection.h"
#include "tools/PointEvaluation.h"
#include "tools/ToolCodes.h"

uint16_t gLastEditToolID = kToolLeaderDimension;

ClickInfo gClickInfo{};
POINT gStartMouse, gBeginMouse, gEndMouse;
float gDownX = 0, gDownY = 0, gDownZ = 0;
float gUpX = 0, gUpY = 0, gUpZ = 0;
TrackState gTrackState{};
uint16_t gTrackModifiers = 0, gPrevTrackModifiers = 0;
uint8_t gTrackingObject = 0;
uint8_t gBeginKeepTracking = 0;
uint8_t gChangeSnapOK = 1;
FloatPoint gTranslateWallSegPt1{kTrackUnset, kTrackUnset}, gTranslateWallSegPt2{kTrackUnset, kTrackUnset};
FloatPoint gPrevTranslateWallSegPt1{kTrackUnset, kTrackUnset}, gPrevTranslateWallSegPt2{kTrackUnset, kTrackUnset};
float gTrackConstrainAngle = kTrackUnset, gPrevTrackConstrainAngle = kTrackUnset;
Poinz* gPerpStartPtz = nullptr;
Poinz* gPerpEndPtz = nullptr;
uint8_t gPerpAtStart = 0;
float gXResizeDirection = 1.0f, gYResizeDirection = 1.0f, gZResizeDirection = 1.0f;
uint8_t gMouseCaptured = 0;
const float gMouseModeLimit = 20.0f;
uint8_t gTrackInvertedFillet = 0;

FloatRect gDataRect{};
Float3DRect gData3DRect{};
Float3DPoint gWidthHeightDepth{};

void ResetTrackingState() {
  gClickInfo = ClickInfo{};
  gStartMouse = gBeginMouse = gEndMouse = POINT{};
  gDownX = gDownY = gDownZ = 0;
  gUpX = gUpY = gUpZ = 0;
  gTrackState = TrackState{};
  gTrackModifiers = gPrevTrackModifiers = 0;
  gTrackingObject = 0;
  gTrackingMouse = 0;
  gBeginKeepTracking = 0;
  gChangeSnapOK = 1;
  gTranslateWallSegPt1 = gTranslateWallSegPt2 = FloatPoint{kTrackUnset, kTrackUnset};
  gPrevTranslateWallSegPt1 = gPrevTranslateWallSegPt2 = FloatPoint{kTrackUnset, kTrackUnset};
  gTrackConstrainAngle = gPrevTrackConstrainAngle = kTrackUnset;
  gPerpStartPtz = gPerpEndPtz = nullptr;
  gPerpAtStart = 0;
  gXResizeDirection = gYResizeDirection = gZResizeDirection = 1.0f;
  gMouseCaptured = 0;
  gTrackInvertedFillet = 0;
  gDataRect = FloatRect{};
  gData3DRect = Float3DRect{};
  gWidthHeightDepth = Float3DPoint{};
  gSkipConstraints = 0;
  gResetToWallTool = 0;
  gResetWallTool = kToolInteriorWall;
}
