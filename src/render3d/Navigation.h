// Moving the camera of the 3D view: the walk, fly and orbit loops a mouse-down in the 3D view
// starts, the plan's camera-marker drags, the keyboard move of the orbit centre, the
// background's scrolling with the turn, the plant-growth step and the redraw request.
//
// The loops pull their events from the current modal event queue (tools/ModalEvents.h): the
// 3D view's while a 3D loop runs (with periodic events every 10 ms, so that a held pointer
// keeps moving the camera), the plan view's during a marker drag. A queue that closes or runs
// dry ends a loop as a mouse-up does.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct DocState;

// What the loops need of the windows; each entry may be null (then nothing happens).
struct NavigationHost {
  // The event that started the 3D view's loop: false outside one.
  bool (*startEvent)(bool* leftButton, uint32_t* modifierFlags, POINT* where) = nullptr;
  // The 3D view's GL context is made current before each frame.
  void (*makeCurrent)() = nullptr;
  // Width of the 3D view in view points.
  int32_t (*viewWidth)() = nullptr;
  // The 3D view is marked for redrawing.
  void (*viewNeedsDisplay)() = nullptr;
  // The plan view: the camera-marker snapshot, and a rect of it (view coordinates) to redraw.
  void (*beginMarkerSnapshot)() = nullptr;
  void (*endMarkerSnapshot)() = nullptr;
  void (*invalidatePlanRect)(float x, float y, float width, float height) = nullptr;
  // The main window's plant-growth indicator follows the design's plant age.
  void (*updatePlantGrowthIndicator)() = nullptr;
};
extern NavigationHost gNavigationHost;

extern uint8_t gAnimateBackground;  // the background follows the camera's turn
extern uint8_t gRealTimeElevate;    // flipped by each right-click in the 3D view: up (1) or down

// The redraw request of the core: gRefreshRender set, the 3D view marked; returns 1.
int RenderLoop();
// Camera set-up calls kept for their callers: the position is not stored; the angle only
// re-aligns the animated background.
void SetCameraPosition(float x, float y, float z);
// Callers pass either the camera point or only the angle; neither is read.
void SetCameraAngle(float x, float y = 0, float z = 0);
// Scrolls the background one image width per 90 degrees of turn (not with
// kLVOffBackgroundAnimation).
void AnimateBackground(DocState* docState);

// The loops a mouse-down in the 3D view runs until the button is released: free walk, free
// and controlled fly, and (called by the first) controlled walk.
void RealTimeRotateAnimOpenGL();
void RealTimeRotateAnimOpenGLGAME();
// The plan's camera-marker drags: turning the walk camera, and moving the eye (walk) or the
// orbit centre (fly).
void RealTimeTrackAngleD3D();
void RealTimeTrackPositionD3D();
// The view point tool's frames: the 3D view readied, and one frame of the current camera.
// Drawn only into a shown 3D view whose context can be made current; nothing otherwise.
void BeginPlanCameraFrames();
void DrawPlanCameraFrame();
// One keyboard step of the orbit centre; clamp keeps it inside the plan bounds.
void ApplePortCheckArrowKeys(bool left, bool right, bool up, bool down, bool clamp);
// The plant-growth control: the design's plant age goes from level by delta years, kept
// within 1 and the document's maximum.
void RealTimePlantGrowthD3D(int16_t level, int16_t delta);

// A 3D vector of the given length at a horizontal and a vertical angle (degrees); (0, 0, 0)
// without a document.
void Get3DPointFromLengthAndAngles(float length, float horizontal, float vertical, float* x, float* y, float* z);
// The same into a vector of three floats (nothing for a null vector).
inline void Get3DPointFromLengthAndAngles(float length, float horizontal, float vertical, float out[3]) {
  if (out) Get3DPointFromLengthAndAngles(length, horizontal, vertical, &out[0], &out[1], &out[2]);
}

// The turn divisors, forward divisor, walk height step, fly distance step and smoothing
// divisors of the free and controlled-fly loop at a navigation speed (6 to 10; any other
// value has a row of its own).
struct NavigationSpeedRow {
  int walkTurn, walkForward, walkHeight, walkSmoothing;
  int freeFlyTurn, controlledFlyTurn, flyDistance, flySmoothing;
};
NavigationSpeedRow NavigationSpeedRowFor(int16_t speed);
// Angle wrapping of the loops: below 0 gains 360, above 359 loses 360.
float WrapNavigationAngle(float degrees);
