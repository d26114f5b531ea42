// The roof tools of the roofing palette: gable, hip, hip-and-gable and connector roofs
// dragged as a rectangle, and the four-point and three-point roofs made from a wall segment.
#pragma once
#include <cstdint>

struct Objex;

// Tools 7300-7305 (the dispatch stores the roof style first). Returns the new roof at the
// end stage, else null.
Objex* TrackGableRoof(int32_t windowX, int32_t windowY, float x, float y, float z, int16_t stage);
// Tools 7307 and 7308: a roof panel resting on the wall segment pressed on, rising toward the
// pointer (four corners with its top parallel to the wall, or a triangle). Return the panel at
// the end stage, else null.
Objex* TrackFourPtRoof(int32_t windowX, int32_t windowY, float x, float y, float z, int16_t stage);
Objex* TrackThreePtRoof(int32_t windowX, int32_t windowY, float x, float y, float z, int16_t stage);
// The roof style each roof tool draws (7300 gable 2, 7301 hip 1, 7302 hip-and-gable 3, 7303
// 4, 7304 5, 7305 6); 0 for other codes.
int16_t RoofStyleForTool(uint16_t tool);
// The four corners of a roof dragged from (downX, downZ) to (x, z): c0 to c1 along the longer
// side (along z on a tie). out holds x, z pairs.
void OrderRoofCorners(float downX, float downZ, float x, float z, float out[8]);
