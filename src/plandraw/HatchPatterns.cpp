// Hatch tiles drawn from the segments of each pattern's cell, folded into one repeat.
#include "plandraw/HatchPatterns.h"

#include <cmath>
#include <cstdlib>

namespace {

struct Segment {
  float x0, y0, x1, y1;
};

// Cell segments with y upward, as the pattern cells are laid out.
const Segment kForward[] = {{0, 7, 7, 0},    {0, 15, 15, 0},  {0, 23, 23, 0},
                            {0, 31, 31, 0},  {8, 31, 39, 0},  {16, 31, 47, 0},
                            {24, 31, 47, 8}, {32, 31, 47, 16}, {40, 31, 47, 24}};
const Segment kBackward[] = {{0, 24, 7, 31},  {0, 16, 15, 31}, {0, 8, 23, 31},
                             {0, 0, 31, 31},  {8, 0, 39, 31},  {16, 0, 47, 31},
                             {24, 0, 47, 23}, {32, 0, 47, 15}, {40, 0, 47, 7}};
const Segment kCrossExtra[] = {{0.5f, 31.5f, 31.5f, 0.5f}, {0.5f, 23.5f, 23.5f, 0.5f}, {0.5f, 15.5f, 15.5f, 0.5f}};
const Segment kHorizontal[] = {{0, 5, 24, 5}, {0, 13, 24, 13}};
const Segment kVertical[] = {{2, 0, 2, 16}, {10, 0, 10, 16}, {18, 0, 18, 16}};

int Wrap(int v, int n) { return ((v % n) + n) % n; }

// An aliased one-unit line, folded into the tile; rows flipped to y downward.
void Ink(HatchTile& tile, const Segment& s) {
  const float dx = s.x1 - s.x0, dy = s.y1 - s.y0;
  const int steps = static_cast<int>(std::ceil(std::fmax(std::fabs(dx), std::fabs(dy))));
  for (int i = 0; i <= steps; ++i) {
    // Whole steps along the line land on whole cells; the tolerance keeps rounding from
    // dropping a coordinate into the cell before.
    const double t = steps ? static_cast<double>(i) / steps : 0;
    const int x = static_cast<int>(std::floor(s.x0 + dx * t + 1e-6));
    const int y = static_cast<int>(std::floor(s.y0 + dy * t + 1e-6));
    tile.cells[HatchTile::kHeight - 1 - Wrap(y, HatchTile::kHeight)][Wrap(x, HatchTile::kWidth)] = 1;
  }
}

template <size_t N>
void InkAll(HatchTile& tile, const Segment (&segments)[N]) {
  for (const Segment& s : segments) Ink(tile, s);
}

uint8_t Byte(float v) { return static_cast<uint8_t>(std::isfinite(v) ? std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f + 0.5f : 0); }

}  // namespace

HatchTile MakeHatchTile(HatchKind kind) {
  HatchTile tile;
  switch (kind) {
    case HatchKind::ForwardDiagonal: InkAll(tile, kForward); break;
    case HatchKind::BackwardDiagonal: InkAll(tile, kBackward); break;
    case HatchKind::DiagonalCross:
      InkAll(tile, kBackward);
      InkAll(tile, kCrossExtra);
      break;
    case HatchKind::Horizontal: InkAll(tile, kHorizontal); break;
    case HatchKind::Vertical: InkAll(tile, kVertical); break;
    case HatchKind::Cross:
      InkAll(tile, kHorizontal);
      InkAll(tile, kVertical);
      break;
  }
  return tile;
}

ColoredHatch::ColoredHatch(HatchKind kind)
    : tile_(MakeHatchTile(kind)), pixels_(HatchTile::kWidth * HatchTile::kHeight * 4) {
  image_.width = HatchTile::kWidth;
  image_.height = HatchTile::kHeight;
  image_.bytesPerPixel = 4;
  image_.bytesPerRow = HatchTile::kWidth * 4;
  image_.pixels = pixels_.data();
}

const DrawImageData& ColoredHatch::image(const DrawColor& color) {
  if (color == color_) return image_;
  color_ = color;
  const uint8_t r = Byte(color.red), g = Byte(color.green), b = Byte(color.blue), a = Byte(color.alpha);
  for (int y = 0; y < HatchTile::kHeight; ++y)
    for (int x = 0; x < HatchTile::kWidth; ++x) {
      uint8_t* p = &pixels_[static_cast<size_t>((y * HatchTile::kWidth + x) * 4)];
      const bool inked = tile_.cells[y][x];
      p[0] = inked ? r : 0;
      p[1] = inked ? g : 0;
      p[2] = inked ? b : 0;
      p[3] = inked ? a : 0;
    }
  return image_;
}
