// The fillet, inverted fillet and chamfer tools: round or cut one straight corner of an
// outline by dragging away from the corner point.
#pragma once
#include <cstdint>

struct ClickInfo;
struct Objex;
struct Poinz;

extern uint8_t gDimFillet;         // the fillet drag shows its radius readout (initially 1)
extern uint8_t gBailedFromFillet;  // the corner pressed on is straight: the drag does nothing

// Point kinds (Poinz.pointType) of the construction points a fillet drag inserts.
constexpr int16_t kPointFilletHolder = 2;
constexpr int16_t kPointConstruction4 = 4;

// Tool entry points (plan x and z of the evaluated mouse point). They work on a copy of
// gClickInfo that the worker may redirect and copy it back; the end phase releases the mouse.
void TrackFillet(float x, float z, int16_t phase);
void TrackChamfer(float x, float z, int16_t phase);

// The workers. gFilletChamferUndo is cleared on entry and set when the corner qualified;
// after the end phase it is set only when the outline was changed.
void SupportTrackFillet(float x, float z, int16_t phase, float downX, float downY, float upX, float upY,
                        ClickInfo* click, uint16_t modifiers, uint8_t valueIsRadius);
void SupportTrackChamfer(float x, float z, int16_t phase, float downX, float downY, float upX, float upY,
                         ClickInfo* click, uint16_t modifiers);

// Place the construction points of a fillet at `corner` between `prev` and `next`: the arc
// centre into `centre`, the tangent points into `a` and `b`, the arc's middle into `middle`.
// The value is the distance from the corner to the arc centre (or the radius when
// valueIsRadius), shrunk by 1 until both tangent points stay more than 2 inside their
// segments. Result: the radius, 0 when nothing fits (points untouched).
float BuildStandardFillet(Poinz* centre, Poinz* prev, Poinz* next, Poinz* corner, Poinz* a, Poinz* middle, Poinz* b,
                          float value, uint8_t draw, uint8_t valueIsRadius);
// The concave arc of the given radius centred on the corner.
float BuildInvertedFillet(Poinz* centre, Poinz* prev, Poinz* next, Poinz* corner, Poinz* a, Poinz* middle, Poinz* b,
                          float radius, uint8_t draw);
// Give the segments a-middle and middle-b the Hermite tangents of arcs about `centre`. The
// inverted form takes the same arguments (its centre lies on the corner).
void BuildFilletSplines(float radius, Poinz* centre, Poinz* corner, Poinz* a, Poinz* middle, Poinz* b);
void BuildInvertedFilletSplines(float radius, Poinz* centre, Poinz* corner, Poinz* a, Poinz* middle, Poinz* b);

// The fillet's live radius label ("Radius: " and the length) beside the tangent points,
// when the arc is more than 10 across.
void DrawFillet(const Poinz* corner, float radius, float centreX, float centreZ, float ax, float az, float bx, float bz);
// The chamfer preview in the overlay; returns the length of the cut (0 when none fits).
float DrawChamfer(Poinz* corner, Poinz* prev, Poinz* next, float setback);
// Cuts the corner: a new point after it, the corner moved toward `prev` and the new point
// toward `next` by the fitted setback. 1 when the outline changed.
int BuildChamfer(Objex* object, Poinz* corner, Poinz* prev, Poinz* next, float setback);
// The same cut with the corner also given first; the corner among prev and next wins, the
// leading one stands in when that is missing.
int BuildChamfer(Poinz* corner, Objex* object, Poinz* atCorner, Poinz* prev, Poinz* next, float setback);
