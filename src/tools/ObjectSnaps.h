// Object snaps: moving an evaluated point onto an end point, middle, centre, corner,
// intersection or segment point of the object under the mouse, and the snap-tool cycle.
#pragma once
#include <cstdint>

struct ClickInfo;
struct Layer;


extern uint8_t gSnapLocked;          // the snap tool stays after use
extern int16_t gTrackEventKeyCode;   // key code of the key-down event being tracked, else 0
extern ClickInfo gSnapInfo;          // the second hit of the intersection snap
constexpr int16_t kKeyCodeTab = 48;

// The snap point of the code at the window point (x, y) as a plan point; 1 when written.
uint8_t SnapPoint(ClickInfo* click, int32_t x, int32_t y, uint16_t snap, Layer* layers, float* outH,
                  float* outV);
uint8_t SnapEndPoint(ClickInfo* click, int32_t x, int32_t y, Layer* layers, float* outH, float* outV);
uint8_t SnapSplineCenter(ClickInfo* click, int32_t x, int32_t y, Layer* layers, float* outH, float* outV);
uint8_t SnapObjectCenter(ClickInfo* click, int32_t x, int32_t y, Layer* layers, float* outH, float* outV);
uint8_t SnapObjectCorner(ClickInfo* click, int32_t x, int32_t y, Layer* layers, float* outH, float* outV);
uint8_t SnapIntersection(ClickInfo* click, int32_t x, int32_t y, Layer* layers, float* outH, float* outV);
// Records the hit segment as the perpendicular pair; never moves the point (result 0).
uint8_t SnapPerpendicular(ClickInfo* click, int32_t x, int32_t y, Layer* layers, float* outH, float* outV);
uint8_t SnapSplinePercentage(ClickInfo* click, int32_t x, int32_t y, Layer* layers, float* outH, float* outV);
// The offset point from the segment end point toward the hit point, without the side push.
uint8_t SnapSplinePercentage2(ClickInfo* click, int32_t x, int32_t y, Layer* layers, float* outH, float* outV);
uint8_t SnapOnSpline(ClickInfo* click, int32_t x, int32_t y, Layer* layers, float* outH, float* outV);
uint8_t SnapOrigin(ClickInfo* click, int32_t x, int32_t y, Layer* layers, float* outH, float* outV);

// Sets the current snap tool (the palette's setSnapTool:).
void SetSnapTool(uint16_t snap);
// The snap palette, when it exists, takes over setting and resetting the snap so that its
// cells and lock follow; unset, the globals are set directly.
extern void (*gSetSnapToolHook)(uint16_t snap);
extern void (*gResetSnapToolHook)();
// Tab: the next snap tool; with Shift the previous one. Result 0.
int SnapToolChange();
// Tab pressed inside a tool's own event loop: the next snap tool, whatever the click's
// one-shot snap flag says (it is put back).
void SnapToolChangeInLoop();
// SnapToolChange when the tracked event is a Tab key-down, else 0.
int MaintainSnapTools();
// One-shot reset at the first drag step: back to 500 unless locked; 510 always.
void ResetSnapTool();
