// Frames of rectangular doors and windows and of arched doors (tubes lining the opening
// through the wall, 2.1 proud of each wall face), and the divider bars of rectangular
// windows and divided doors.
#pragma once
#include <cstdint>

struct DoorWindowData;
struct Objex;

// The frame of every rectangular door subtype and of the rectangular window, then the
// subtype's leaf or dividers. Needs a parent wall, a DocState, a layer list, the type
// record and two points.
void BuildRectangularDoorFrame(Objex* attachment);
// The frame of an arched door (504-507), then the leaf of 506 and 507.
void BuildArchedDoorFrame(Objex* attachment, int16_t subtype);
// Divider bars between the opening's corners in the wall's centre plane: c1 bottom and c2
// top at the first point, c3 top and c4 bottom at the second; each x, y, z.
void BuildWindowSeparators(Objex* attachment, DoorWindowData* record, const float* c1, const float* c2,
                           const float* c3, const float* c4);
