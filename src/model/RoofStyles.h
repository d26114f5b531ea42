// The styles of generated roofs and where their ridge ends lie, shared by the plan symbol, the
// 3D roof, its framing and the hit test.
#pragma once

// Roof styles (Objex.textureID of a generated roof).
enum : int {
  kRoofHip = 1, kRoofGable = 2, kRoofHipAndGable = 3, kRoofGableOneEnd = 4, kRoofHipOneEnd = 5, kRoofRidgeOnly = 6
};

// How far the ridge ends move along the ridge (from c0 toward c1; negative the other way)
// for a roof style, given the half span and the ridge's plan length: A is the end at c0/c3,
// B the end at c1/c2. Hip ends stop where they meet (style 1 at the middle of the ridge,
// style 3 at B) and never pass each other; extended ends go half a span outward.
void RoofRidgeEndTravel(int style, float ridgeLength, float halfSpan, float* travelA, float* travelB);
