// The door, cased opening and window tools: a press on a wall segment, a modal slide of the
// opening along the segment, the new attachment with its record, and for swinging doors a
// second modal loop that picks the hinge end and the swing. Also the arc rubber bands of the
// curved wall, sprinkler and door swing tools.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct ClickInfo;
struct DoorWindowData;
struct Objex;
struct Poinz;

// Size of a new opening in plan units: width along the wall, height, elevation of its bottom.
struct OpeningSize {
  float width = 0;
  float height = 0;
  float elevation = 0;
};

// A segment must be longer than an opening's width by this much; openings keep this far
// from the ends of their range.
constexpr float kOpeningEndClearance = 5.0f;
// Signed distance of the plan point (x, z) from the segment start a, along the segment to b (0
// for a segment of no length): a wide opening's first end may lie before the segment start.
float DistanceAlong(const Poinz* a, const Poinz* b, float x, float z);
// Least length of an opening stretched by one end.
constexpr float kOpeningLeastStretch = 18.0f;
// Texture of new doors and windows (never changed).
constexpr int32_t kDoorWindowDefaultTexture = 2218;
extern const int32_t gDoorDefaultTexture;
extern const int32_t gWindowDefaultTexture;

// Entry points from the tracking dispatcher (act at the mouse-down only).
void TrackDoor(int32_t windowX, int32_t windowY, float worldX, float worldY, float worldZ, int16_t stage);
void TrackWindow(int32_t windowX, int32_t windowY, float worldX, float worldY, float worldZ, int16_t stage);
// Places one door (cased opening) or window from the click; the new attachment, or null when
// nothing was made.
Objex* SupportTrackDoor(int16_t stage, ClickInfo* click, uint16_t modifiers, const OpeningSize& size);
Objex* SupportTrackWindow(int16_t stage, ClickInfo* click, uint16_t modifiers, const OpeningSize& size);

// Modal slide (or, with one end fixed, stretch) of an opening along the segment from segStart
// to segEnd. outFirst/outSecond hold the fixed end on entry and get both ends (plan x, z). With
// `moving` and a record, the click keeps its offset from the opening's reference point. 1 when
// the window point at the end differs from the press, 0 when not, -1 when the design window
// closed during the loop (the outputs are then left as they were).
int TrackDoorPlacement(Objex* wall, Poinz* segStart, Poinz* segEnd, float width, float maxLength, float minDistance,
                       float maxDistance, int32_t clickX, int32_t clickY, FloatPoint* outFirst, FloatPoint* outSecond,
                       uint8_t fixFirst, uint8_t fixSecond, int16_t attachmentType, uint8_t moving,
                       DoorWindowData* record, void* dimensionState);
// Which end of a two-point opening (or deck steps) a move-tool press drags: a press on the first
// point drags that end and sets *fixSecond, a press on the second point sets *fixFirst. False,
// with neither set, for any other press.
bool PressedOpeningEnd(const ClickInfo& click, const Poinz* first, const Poinz* second, uint8_t* fixFirst,
                       uint8_t* fixSecond);
// Puts the two end points at the plan points a and b that a placement drag gave, at height 0.
void PlaceOpeningEnds(Poinz* first, Poinz* second, FloatPoint a, FloatPoint b);
// The two opening ends for the plan point (pointX, pointZ); a fixed end is read from its output.
void PositionDoor(Poinz* segStart, Poinz* segEnd, float width, float maxLength, float minDistance, float maxDistance,
                  float pointX, float pointZ, FloatPoint* outFirst, FloatPoint* outSecond, uint8_t fixFirst,
                  uint8_t fixSecond);
// Modal choice of a door's hinge end and swing (ended by a mouse-down).
void TrackDoorSwing(Objex* door);
// Adds delta to the start distance of every attachment of the wall anchored at `point`.
void UpdateWallAttachmentStartDistance(Objex* wall, Poinz* point, float delta);

// Rubber band of an arc about (cx, cy) from the start point over to the mouse; the sweep in
// degrees: 0 to 360, or -360 to 0 with Shift held. The door version runs the other way.
float DrawArcState(int32_t cx, int32_t cy, int32_t sx, int32_t sy, int32_t mx, int32_t my, float startAngle,
                   float radius);
float DrawDoorArcState(int32_t cx, int32_t cy, int32_t sx, int32_t sy, int32_t mx, int32_t my, float startAngle,
                       float radius);
