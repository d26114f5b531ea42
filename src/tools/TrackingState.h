// The process-wide state of the one drag under way: window and world points of press and
// release, the tracking record, modifier bits, and the flags the plan view and tools share.
#pragma once
#include <cstdint>

#include "model/HitTest.h"
#include "model/Selection.h"  // gTrackingMouse, set from the first drag step
#include "model/Types.h"

// Start and current world points of the drag, the centre of the hit object (0, 0 without
// one), and the angles from that centre to the start and current points (radians).
struct TrackState {
  float startX, startY, startZ;
  float currentX, currentY, currentZ;
  float centreH, centreV;
  float startAngle, currentAngle;
};

extern ClickInfo gClickInfo;  // what the mouse-down hit; filled by the plan view's click road
extern POINT gStartMouse, gBeginMouse, gEndMouse;
extern float gDownX, gDownY, gDownZ;
extern float gUpX, gUpY, gUpZ;
extern TrackState gTrackState;
extern uint16_t gTrackModifiers, gPrevTrackModifiers;
extern uint8_t gTrackingObject;      // a drag step happened (drag rather than click)
extern uint8_t gBeginKeepTracking;   // the next drag step is the first
extern uint8_t gChangeSnapOK;        // Tab may change the snap tool now
extern FloatPoint gTranslateWallSegPt1, gTranslateWallSegPt2;
extern FloatPoint gPrevTranslateWallSegPt1, gPrevTranslateWallSegPt2;
extern float gTrackConstrainAngle, gPrevTrackConstrainAngle;
extern Poinz* gPerpStartPtz;
extern Poinz* gPerpEndPtz;
extern uint8_t gPerpAtStart;
extern float gXResizeDirection, gYResizeDirection, gZResizeDirection;
extern uint8_t gMouseCaptured;       // the view owns the mouse for a tool drag
extern const float gMouseModeLimit;  // least window travel (20) that makes a tool create something
extern uint8_t gTrackInvertedFillet;

// Set by the plan view's click handling at the mouse-down: the selection's 2D bounds, 3D
// bounds, and width, height and depth (world units).
extern FloatRect gDataRect;
extern Float3DRect gData3DRect;
extern Float3DPoint gWidthHeightDepth;

// Marks a plan point field as not set.
constexpr float kTrackUnset = -999999.0f;

// Puts every tracking global back to its start-up value (between tests, after a crash of a
// drag).
void ResetTrackingState();
