// The stencil hatches of plan regions and detail objects: their tiles, and a tile coloured
// for one fill.
#pragma once
#include <cstdint>
#include <vector>

#include "plandraw/DrawContext.h"

enum class HatchKind : uint8_t {
  ForwardDiagonal, BackwardDiagonal, DiagonalCross, Horizontal, Vertical, Cross
};
constexpr int kHatchKindCount = 6;

// One repeat of a hatch, 24 units across and 16 down (y downward); set cells are inked.
// The lines run on across tile borders: diagonals 8 units apart along x and y, horizontal
// lines 8 apart, vertical lines 8 apart.
struct HatchTile {
  static constexpr int kWidth = 24;
  static constexpr int kHeight = 16;
  uint8_t cells[kHeight][kWidth] = {};
};

HatchTile MakeHatchTile(HatchKind kind);

// A tile inked in one colour over transparency, ready to fill with.
class ColoredHatch {
 public:
  explicit ColoredHatch(HatchKind kind);
  // The tile in the colour (made again only when the colour changes).
  const DrawImageData& image(const DrawColor& color);

 private:
  HatchTile tile_;
  DrawColor color_{-1, -1, -1, -1};
  std::vector<uint8_t> pixels_;
  DrawImageData image_;
};
