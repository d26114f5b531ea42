// The three-stage tracking protocol the plan view drives for every tool drag, and the
// dispatch of each stage to the current tool's tracking routine.
//
// The plan view's mouse loop, per drag (after its click road has filled gClickInfo,
// gDataRect, gData3DRect and gWidthHeightDepth and set gMouseCaptured):
//   gSkipConstraints = 0 (unless the tool is 201);
//   BeginTracking(down);
//   while gMouseCaptured (or the tool is 7307/7308), for each drag, key-down or modifier
//     event: gPrevTrackModifiers = gTrackModifiers; KeepTracking(point, previous point);
//   EndTracking(up, last point passed to KeepTracking, or the down point);
//   FinishTracking(); then store the snapshot named by UndoNameForTool(gCurTool).
#pragma once
#include <cstdint>

// What the tracking stages need from the plan view; the view installs them.
struct TrackingHooks {
  // kTrackModShift and kTrackModCommand bits of the platform's current event.
  uint16_t (*currentModifiers)() = nullptr;
  // Scrolls the plan view toward a window point that left its visible rectangle.
  void (*autoScrollToPoint)(int32_t x, int32_t y) = nullptr;
  // The 3D view readied for real-time frames, and one real-time frame of the current camera,
  // drawn through the 3D view itself: nothing while it is hidden.
  void (*beginRealTimeView)() = nullptr;
  void (*drawRealTimeView)() = nullptr;
};
extern TrackingHooks gTrackingHooks;

void BeginTracking(int32_t x, int32_t y);
// The new window point and the previous step's (the mouse-down point at the first step).
void KeepTracking(int32_t x, int32_t y, int32_t oldX, int32_t oldY);
// The mouse-up point (unused) and the last point passed to KeepTracking.
void EndTracking(int32_t x, int32_t y, int32_t lastX, int32_t lastY);
// What the view does after the end stage: clears gTrackingMouse and gTrackingObject and
// gives back a wall tool that lent the drag to the selection tool.
void FinishTracking();
// Hands one stage to the current tool's routine.
void TrackObject(int32_t x, int32_t y, float worldX, float worldY, float worldZ, int16_t phase);
// Copies Shift and Command of the current event into gTrackModifiers.
void MaintainModifiers();

// The name of a tracking routine the tool code still waits for. Always null: every tool code
// is dispatched to its routine, and a code without one only releases the mouse at the end.
// The palettes ask it before enabling a tool's button.
const char* PendingTrackingRoutine(uint16_t tool);
