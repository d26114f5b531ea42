// Generated roofs in plan: the corner outline, the lines from the corners to the ridge
// ends, the ridge, their length labels and the downslope arrows; and the arrowhead at the
// end of a staircase's path.
#pragma once

class DrawContext;
struct Objex;

// Roof styles (Objex.textureID of a generated roof).
enum : int {
  kRoofHip = 1, kRoofGable = 2, kRoofHipAndGable = 3, kRoofGableOneEnd = 4, kRoofHipOneEnd = 5, kRoofRidgeOnly = 6
};

// How far the ridge ends move along the ridge (from c0 toward c1; negative the other way)
// for a roof style, given the half span and the ridge's plan length: A is the end at c0/c3,
// B the end at c1/c2. Hip ends stop where they meet (style 1 at the middle of the ridge,
// style 3 at B) and never pass each other; extended ends go half a span outward.
void RoofRidgeEndTravel(int style, float ridgeLength, float halfSpan, float* travelA, float* travelB);

// From the roof's first four points (P1-P2 and P3-P4 the eaves along the ridge, P4-P1 the
// left end), its style and its pitch. Nothing with fewer than four points.
void DrawRoof(DrawContext* handle, Objex* roof);
// Two 50-unit (zoomed) barbs at 25 degrees either side of the line from the tip back to the
// tail; view coordinates. The object is not read.
void DrawStairArrowhead(DrawContext* handle, Objex* object, float tipX, float tipY, float tailX, float tailY);
