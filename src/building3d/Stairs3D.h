// Staircases in 3D: the entry point every editor calls after changing a staircase, straight
// staircases (flights of equal steps with a landing at every bend), curved staircases (steps
// one tread depth apart along a Hermite centre line), the staircase walkers and the direction
// reversal. The parts go into the staircase's generated-part list.
#pragma once
#include <cstdint>

#include "building3d/Railings3D.h"

struct Objex;
struct Poinz;
struct Layer;
struct DashStyle;

// Build state of one rebuild (process-wide, reset at the start of each rebuild).
extern float gStairHeightAccum;         // plan units risen so far by steps and landings
extern float gStairStringerHeightAccum;  // the same count kept by the stringer builder
extern uint8_t gInitializeStairs;        // set until the first step's posts are placed
extern uint8_t gFinalStairSegment;       // the flight being built is the last one
extern uint8_t gPlaceFinalBalusters;     // the step being built is the last one
extern uint8_t gInitializeSteps;         // curved: set until the first step's bottom posts stand
extern int32_t gCurvedStepCount;         // curved: steps built so far
extern float gStairStartLeftPt[3];       // curved: the previous cross line's left end
extern float gStairStartRightPt[3];      // curved: the previous cross line's right end

// The riser (world units) of a staircase height and step height: the height divided by the
// whole number of steps that fit (at least 1; a step height of 0 or less gives one riser),
// plus 0.01.
float StairRiserHeight(float stairHeight, float stepHeight);

// Entry point: does nothing unless the object is a staircase of more than one point and one
// level and a document is current.
namespace building3d { void UpdateStairObject(Objex* staircase); }
void UpdateStraightStairObject(Objex* staircase);
// One flight between two corners of the side lines; leaves leftStart and rightStart (x, y, z)
// at the flight's end. Lengths named world are world units; the rest plan units.
void UpdateStraightStairSegment(Objex* staircase, float leftStart[3], const float leftEnd[3], float rightStart[3],
                                const float rightEnd[3], float total, float y0, float stepHeight, float stepDepth,
                                int32_t leftRail, int32_t rightRail, float handrailHeight, const PartMaterial& slot2,
                                const PartMaterial& slot1, uint8_t skirtWalls, int32_t segmentIndex);
// One tread (corners: previous left, previous right, next right, next left as x, z pairs),
// then its balusters. riser and treadDepth are plan units, handrailHeight world.
void AppendStraightStairStepObject(const float corners[8], Objex* staircase, float total, float y0, float angle,
                                   float riser, int32_t leftRail, int32_t rightRail, float handrailHeight,
                                   float treadDepth, const PartMaterial& slot2, const PartMaterial& slot1);
// One hand rail of one flight; rises are plan units risen before the first / last tread, y0
// the base level (without it: the y of the staircase's points).
void AppendStraightHandRail(const float sideStart[2], const float sideEnd[2], const float otherStart[2],
                            const float otherEnd[2], Objex* staircase, uint8_t isLeft, float startRise, float endRise,
                            float y0, float handrailHeight, float riser, float treadDepth, const PartMaterial& slot1);
void AppendStraightHandRail(const float sideStart[2], const float sideEnd[2], const float otherStart[2],
                            const float otherEnd[2], Objex* staircase, uint8_t isLeft, float startRise, float endRise,
                            float handrailHeight, float riser, float treadDepth, const PartMaterial& slot1);
// The two balusters of one step on one side and the bottom and top posts, on the base level
// y0 (without it: the y of the staircase's points).
void AppendStraightStairSpindles(const float prevSide[2], const float nextSide[2], const float prevOther[2],
                                 const float nextOther[2], Objex* staircase, uint8_t isLeft, float y0,
                                 float handrailHeight, float riser, float treadDepth, const PartMaterial& slot1);
void AppendStraightStairSpindles(const float prevSide[2], const float nextSide[2], const float prevOther[2],
                                 const float nextOther[2], Objex* staircase, uint8_t isLeft, float handrailHeight,
                                 float riser, float treadDepth, const PartMaterial& slot1);

void UpdateStairStyle(DashStyle* style, Objex* staircase);
void UpdateStairSegment(Objex* staircase, Poinz* point, Poinz* nextPoint, DashStyle* style, float total);
void UpdateStairList(float x0, float y0, float z0, float x1, float y1, float z1, DashStyle* style, Objex* staircase,
                     float total);
void AppendStairStepObject(Objex* staircase, float x, float y, float z, float angle);
// Side and other points are x, y, z (y the step's base level).
void AppendStairRail(const float sideStart[3], const float sideEnd[3], const float otherStart[3],
                     const float otherEnd[3], Objex* staircase, uint8_t isLeft);
void UpdateStairLayer(Layer* layer);
void UpdateStairAllLayers(Layer* firstLayer);
void ReverseStairDirection(Objex* staircase);
Poinz* ReverseCurveSegmentDirection(Poinz* first, int32_t count);
