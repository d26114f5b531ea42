// The drawings of the fixed electrical, plumbing and HVAC symbols the component tools place:
// the plain line symbols of house plans, at the size each component is placed with.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

// One line of a symbol's drawing: an open or closed run of (x, z) points in inches.
struct SymbolStroke {
  bool closed = false;
  std::vector<std::array<float, 2>> points;
};

// The plan drawing of a fixed symbol kind, in inches. A wall component's runs x along the wall
// from -width/2 to width/2 and z away from the wall face from 0 to its depth, so that it spans
// exactly the footprint the component is placed with (a tub, spa tub or shower: the nominal size
// it is stretched from). A fixed component's is centred on its insertion point. Empty for a kind
// outside the fixed symbol list.
std::vector<SymbolStroke> FixedSymbolDrawing(int16_t kind);

// The width along the wall and the depth away from it, in inches, that a wall component of the
// kind is placed with; a fixed component's square side. Zero for a kind outside the list.
std::array<float, 2> FixedSymbolSize(int16_t kind);
