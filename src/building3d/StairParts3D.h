// The parts that complete a straight flight: the stringer on each side, the panels that
// close the underside between the two stringers, and the landing at a bend between two
// flights. Deck steps reach the stringer builder with the deck in place of the staircase.
#pragma once
#include <cstdint>

struct Objex;

// One stringer in the vertical plane of a side line (start x, y, z; flight angle), moved
// 0.1 outward; returns it (already in the list) and the number of its underside points.
Objex* BuildStaircaseStraightStringer(Objex* object, const float sideStart[3], float angle, float stepRun,
                                      float riser, float total, float y0, int32_t steps, int32_t segmentIndex,
                                      uint8_t skirtWalls, uint8_t isLeft, int32_t* underCount);
// The underside panel(s) of one flight between its two stringers.
void BuildStaircaseBottomPaneling(Objex* staircase, Objex* leftStringer, Objex* rightStringer, int32_t leftUnderCount,
                                  int32_t rightUnderCount, int32_t segmentIndex);
// The landing at a bend: where the flight ended (leftStart, rightStart), the ends the flight
// was built toward (leftEnd, rightEnd: the side lines' corners, not read again), the corners
// of both side lines and the points after them. Leaves leftStart and rightStart at the next
// flight's start.
void BuildStairLanding(Objex* staircase, float leftStart[3], const float leftEnd[3], float rightStart[3],
                       const float rightEnd[3], const float leftCorner[3], const float leftNext[3],
                       const float rightCorner[3], const float rightNext[3], float total, float y0);
