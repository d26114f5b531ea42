// Frames of shaped windows: an outline of the opening 2.0 beyond one wall face, extruded
// across the wall into a two-ring tube; the extruder itself; and the sill pieces.
#pragma once
#include <cstdint>

struct DoorWindowData;
struct Objex;

// Each needs a parent wall, a DocState, a layer list, the type record and two points.
void BuildArchedWindowFrame(Objex* window, int16_t subtype);          // 601-604
void BuildQtrArchedWindowFrame(Objex* window, int16_t subtype);       // 605-610, 624, 625
void BuildChipCornerWindowFrame(Objex* window, int16_t subtype);      // 611-613
void BuildTriangleCornerWindowFrame(Objex* window, int16_t subtype);  // 614-617
void BuildPentagonWindowFrame(Objex* window, int16_t subtype);        // 618, 619
void BuildParallelogramWindowFrame(Objex* window);                    // 620, 621
void BuildOctagonWindowFrame(Objex* window);                          // 622
void BuildCircleWindowFrame(Objex* window);                           // 623

// A two-ring object: the outline's points, then the same points moved by (-dx, -dz); it
// takes the outline's type and parent and is linked nowhere. Frees the outline and returns
// the new object; on failure keeps the outline and returns null.
Objex* Construct3DTrim(Objex* outline, float dx, float dz);

// A sill box under the opening, appended to the face chain.
void BuildWindowSill(Objex* window, int16_t subtype);
// A 0.5-high strip on the opening bottom through the wall, appended to the face chain.
void BuildRectangularWindow(Objex* window, Objex* wall, DoorWindowData* record);
