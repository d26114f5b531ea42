// The 2D drawing tools of the detail, electrical and landscape palettes (line, polygon and
// curve, multigon, quarter arc, switch connector, sprinkler head, circular arc) and the
// drag-rectangle routines that the arc-shaped tools share.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct Objex;

// Both rectangles from the corners (x1, y1) and (x2, y2): smaller y on top, smaller x on the
// left; the integer rectangle rounded (adding 0.5 and truncating). With `zoom` the corners are
// zoomed first; with `centred` the first corner is the centre, so the side on its side is
// pushed out by the span. Nothing is done unless both rectangles are given.
void LoadFloatAndQDRects(float x1, float y1, float x2, float y2, FloatRect* floatRect, RECT* intRect, uint8_t zoom,
                         uint8_t centred);
// The same after squaring: with kTrackModShift in `modifiers` the second corner's y becomes
// y1 plus or minus |x2 - x1| (the side of y2). GetRectBounds is the same routine.
void GetOvalBounds(uint16_t modifiers, float x1, float y1, float x2, float y2, FloatRect* floatRect, RECT* intRect,
                   uint8_t zoom, uint8_t centred);
void GetRectBounds(uint16_t modifiers, float x1, float y1, float x2, float y2, FloatRect* floatRect, RECT* intRect,
                   uint8_t zoom, uint8_t centred);

// The line centred on the mouse-down point (detail tool inspector setting).
extern uint8_t gCenterLineTool;
// The polygon and curve tools close their outline (1 at start).
extern uint8_t gClosePolyTool, gCloseSplineTool;

// Tool routines called by TrackObject with the window point, the constrained plan point and
// the stage.
void TrackLine(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
void TrackPoly(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
void TrackMulti(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
void TrackArc(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage, uint16_t tool);
void TrackSwitchConnector(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
// The sprinkler head (7508) and the circular arc (7705): a drag for the centre and radius,
// then a modal loop for the end of the arc.
void TrackSprinkler(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);

// The quarter-ellipse box and start angle (degrees) of a drag from (a0, b0) to (a1, b1): the
// ellipse's centre is (a1, b0), its radii the drag's width and height. Shared by the quarter
// arc and the switch connector.
void QuarterArcBox(uint16_t modifiers, float a0, float b0, float a1, float b1, float rect[4], float* startAngle);
