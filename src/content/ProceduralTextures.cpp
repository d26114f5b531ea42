#include "content/ProceduralTextures.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace {

// The noise lattices come from integer hashing, so that no table or generator state makes one
// run differ from the next.
uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B1u ^ x * 0x85EBCA77u ^ y * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}
float Unit(uint32_t x, uint32_t y, uint32_t seed) { return static_cast<float>(Hash(x, y, seed) >> 8) / 16777216.0f; }
int Wrap(int v, int period) { return ((v % period) + period) % period; }
float Smooth(float t) { return t * t * (3 - 2 * t); }
float Clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }
float SmoothStep(float a, float b, float v) { return Smooth(Clamp01((v - a) / (b - a))); }

// Value noise on a lattice of periodX x periodY cells over the unit square: u and v in [0, 1)
// give values in [0, 1) that join up across the square's edges.
float ValueNoise(float u, float v, int periodX, int periodY, uint32_t seed) {
  const float x = u * static_cast<float>(periodX), y = v * static_cast<float>(periodY);
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const float fx = Smooth(x - static_cast<float>(x0)), fy = Smooth(y - static_cast<float>(y0));
  auto at = [&](int ix, int iy) {
    return Unit(static_cast<uint32_t>(Wrap(ix, periodX)), static_cast<uint32_t>(Wrap(iy, periodY)), seed);
  };
  const float a = at(x0, y0), b = at(x0 + 1, y0), c = at(x0, y0 + 1), d = at(x0 + 1, y0 + 1);
  return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

// Fractal sum of `octaves` layers from the base periods up, each half as strong: about 0..1.
float Fbm(float u, float v, int periodX, int periodY, int octaves, uint32_t seed) {
  float sum = 0, weight = 0.5f, total = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += weight * ValueNoise(u, v, periodX << o, periodY << o, seed + static_cast<uint32_t>(o) * 101u);
    total += weight;
    weight *= 0.5f;
  }
  return sum / total;
}

// The nearest two of a jittered point per cell on a cells x cells grid that wraps: distances
// in cell units and the nearest point's cell.
struct Cells {
  float nearest = 9, second = 9;
  uint32_t id = 0;
};
Cells Voronoi(float u, float v, int cells, uint32_t seed, float jitter = 0.8f) {
  const float x = u * static_cast<float>(cells), y = v * static_cast<float>(cells);
  const int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
  Cells out;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const int gx = Wrap(cx + dx, cells), gy = Wrap(cy + dy, cells);
      const float px = static_cast<float>(cx + dx) + 0.5f + jitter * (Unit(gx, gy, seed) - 0.5f);
      const float py = static_cast<float>(cy + dy) + 0.5f + jitter * (Unit(gx, gy, seed + 7) - 0.5f);
      const float d = std::hypot(x - px, y - py);
      if (d < out.nearest) {
        out.second = out.nearest;
        out.nearest = d;
        out.id = static_cast<uint32_t>(gy * cells + gx);
      } else if (d < out.second) {
        out.second = d;
      }
    }
  return out;
}

struct Rgb {
  float r, g, b;
  Rgb operator*(float k) const { return {r * k, g * k, b * k}; }
};
Rgb Mix(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
// Never pure black: the renderer keys pure black pixels as transparent.
QRgb ToRgb(Rgb c) {
  auto byte = [](float v) { return std::clamp(static_cast<int>(std::lround(v)), 1, 255); };
  return qRgb(byte(c.r), byte(c.g), byte(c.b));
}

template <size_t N>
const Rgb& Pick(const std::array<Rgb, N>& choices, int variant) {
  return choices[static_cast<size_t>(Wrap(variant, static_cast<int>(N)))];
}

// Fills a width x height image pixel by pixel; u and v run over [0, 1).
QImage Paint(int width, int height, const std::function<Rgb(float u, float v, int x, int y)>& pixel) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(height);
    for (int x = 0; x < width; ++x)
      line[x] = ToRgb(pixel((static_cast<float>(x) + 0.5f) / static_cast<float>(width), v, x, y));
  }
  return image;
}

// Per-pixel grain: a small random change of brightness around 1.
float Speckle(int x, int y, uint32_t seed, float amount) { return 1 + amount * (Unit(x, y, seed) - 0.5f) * 2; }

// Units in courses: `rows` courses of `perRow` units, every other course shifted by half a
// unit; `joint` the mortar width in pixels. Calls unit(row, column, s, t) inside a unit (s, t
// in [0, 1) across it) and returns the mortar colour in the joints.
Rgb Courses(int x, int y, int side, int rows, int perRow, int joint, Rgb mortar, uint32_t seed,
            const std::function<Rgb(int row, int col, float s, float t)>& unit) {
  const int rowH = side / rows, unitW = side / perRow;
  const int row = y / rowH;
  const int shifted = Wrap(x + (row % 2) * unitW / 2, side);
  const int col = shifted / unitW;
  const int inX = shifted % unitW, inY = y % rowH;
  if (inY < joint || inX < joint) {
    const float shade = inY < joint ? 0.92f : 0.97f;  // the bed joint lies in the shadow of the unit above
    return mortar * (shade * Speckle(x, y, seed + 3, 0.06f));
  }
  return unit(row, col, static_cast<float>(inX) / static_cast<float>(unitW), static_cast<float>(inY) / static_cast<float>(rowH));
}

QImage Brick(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kBricks{{{150, 62, 45}, {178, 112, 72}, {112, 68, 56}}};
  static const std::array<Rgb, 3> kMortar{{{196, 190, 180}, {210, 204, 190}, {150, 146, 140}}};
  const Rgb base = Pick(kBricks, variant), mortar = Pick(kMortar, variant);
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    return Courses(x, y, kSurfaceSide, 8, 4, 4, mortar, seed, [&](int row, int col, float, float) {
      const float tone = 0.82f + 0.3f * Unit(row, col, seed);
      const float blotch = 0.9f + 0.2f * Fbm(u, v, 8, 8, 3, seed + 11);
      return base * (tone * blotch * Speckle(x, y, seed + 5, 0.08f));
    });
  });
}

QImage Block(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kBlocks{{{168, 166, 160}, {190, 180, 160}, {130, 130, 132}}};
  const Rgb base = Pick(kBlocks, variant), mortar = base * 0.8f;
  return Paint(kSurfaceSide, kSurfaceSide, [&](float, float, int x, int y) {
    return Courses(x, y, kSurfaceSide, 4, 2, 5, mortar, seed, [&](int row, int col, float, float) {
      return base * ((0.92f + 0.12f * Unit(row, col, seed)) * Speckle(x, y, seed + 5, 0.14f));
    });
  });
}

QImage Siding(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kPaint{{{226, 224, 214}, {196, 194, 186}, {162, 172, 142}}};
  static const std::array<int, 3> kBoards{{8, 16, 8}};  // dividing the side: no seam
  const Rgb base = Pick(kPaint, variant);
  const int boards = kBoards[static_cast<size_t>(Wrap(variant, 3))], boardH = kSurfaceSide / boards;
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    const int inY = y % boardH;
    const float t = static_cast<float>(inY) / static_cast<float>(boardH);
    float light = 0.86f + 0.16f * t;            // the lap above shades the top of each board
    if (boardH - inY <= 3) light = 0.55f;       // the shadow line under the board's edge
    else if (boardH - inY <= 5) light = 1.05f;  // the lit edge just above it
    const float grain = 0.96f + 0.06f * Fbm(u, v, 2, 48, 2, seed + static_cast<uint32_t>(y / boardH));
    return base * (light * grain * Speckle(x, y, seed, 0.03f));
  });
}

QImage Stone(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kStone{{{150, 140, 124}, {122, 122, 128}, {172, 150, 118}}};
  static const std::array<int, 3> kCells{{6, 5, 8}};
  const Rgb base = Pick(kStone, variant), mortar{176, 170, 160};
  const int cells = kCells[static_cast<size_t>(Wrap(variant, 3))];
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    const Cells c = Voronoi(u, v, cells, seed, 0.9f);
    const float edge = c.second - c.nearest;
    if (edge < 0.07f) return mortar * Speckle(x, y, seed + 1, 0.08f);
    const float tone = 0.75f + 0.4f * Unit(c.id, 1, seed);
    const Rgb stone = Mix(base, Rgb{base.b, base.g, base.r}, 0.3f * Unit(c.id, 2, seed));
    const float rounded = 0.8f + 0.2f * SmoothStep(0.07f, 0.3f, edge);
    const float texture = 0.88f + 0.24f * Fbm(u, v, 16, 16, 3, seed + 9);
    return stone * (tone * rounded * texture);
  });
}

QImage Stucco(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kPlaster{{{232, 222, 200}, {214, 200, 178}, {240, 236, 226}}};
  const Rgb base = Pick(kPlaster, variant);
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    const float trowel = 0.94f + 0.1f * Fbm(u, v, 6, 6, 3, seed);
    return base * (trowel * Speckle(x, y, seed + 2, 0.05f));
  });
}

QImage Concrete(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kCement{{{172, 170, 164}, {150, 150, 148}, {190, 184, 172}}};
  const Rgb base = Pick(kCement, variant);
  const bool brushed = variant % 3 == 1;
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    const float cloud = 0.9f + 0.16f * Fbm(u, v, 4, 4, 4, seed);
    const float broom = brushed ? 0.96f + 0.08f * ValueNoise(u, v, 2, 96, seed + 4) : 1.0f;
    const float pit = Unit(x, y, seed + 8) > 0.995f ? 0.7f : 1.0f;
    return base * (cloud * broom * pit * Speckle(x, y, seed + 2, 0.05f));
  });
}

QImage Carpet(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kPile{{{190, 170, 140}, {98, 110, 132}, {92, 112, 80}}};
  const Rgb base = Pick(kPile, variant);
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    const float loops = ((x / 2 + y / 2) % 2) ? 0.96f : 1.03f;
    const float wear = 0.94f + 0.1f * Fbm(u, v, 8, 8, 2, seed);
    return base * (loops * wear * Speckle(x, y, seed + 1, 0.12f));
  });
}

QImage Tile(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kGlaze{{{234, 232, 226}, {182, 102, 70}, {92, 98, 104}}};
  static const std::array<int, 3> kTiles{{4, 8, 2}};
  const Rgb base = Pick(kGlaze, variant);
  const int tiles = kTiles[static_cast<size_t>(Wrap(variant, 3))], tileW = kSurfaceSide / tiles;
  const Rgb grout = variant % 3 == 2 ? Rgb{70, 70, 72} : Rgb{196, 192, 184};
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    const int inX = x % tileW, inY = y % tileW;
    if (inX < 3 || inY < 3) return grout * Speckle(x, y, seed + 3, 0.05f);
    const float tone = 0.93f + 0.1f * Unit(x / tileW, y / tileW, seed);
    const float glaze = 0.96f + 0.06f * Fbm(u, v, 4, 4, 2, seed + 5);
    const float bevel = (inX < 6 || inY < 6) ? 1.05f : (tileW - inX < 3 || tileW - inY < 3) ? 0.9f : 1.0f;
    return base * (tone * glaze * bevel);
  });
}

QImage Fabric(int variant, uint32_t seed) {
  const int scheme = Wrap(variant, 3);
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    // A plain weave: warp and weft threads four pixels wide cross over and under.
    const bool warpOnTop = ((x / 4) + (y / 4)) % 2 == 0;
    const float thread = warpOnTop ? 0.94f + 0.08f * std::sin(static_cast<float>(y % 4) * 0.785f)
                                   : 0.92f + 0.08f * std::sin(static_cast<float>(x % 4) * 0.785f);
    Rgb c{232, 226, 212};  // linen
    if (scheme == 1) {     // a check of two stripes each way
      const bool a = (x / 32) % 2 == 0, b = (y / 32) % 2 == 0;
      c = a && b ? Rgb{150, 40, 44} : (a || b) ? Rgb{196, 120, 110} : Rgb{236, 224, 206};
    } else if (scheme == 2) {  // stripes along the warp
      c = (x / 16) % 4 == 0 ? Rgb{230, 228, 220} : Rgb{58, 82, 128};
    }
    const float slub = 0.96f + 0.06f * ValueNoise(u, v, 4, 64, seed);
    return c * (thread * slub * Speckle(x, y, seed + 1, 0.04f));
  });
}

QImage WallCovering(int variant, uint32_t seed) {
  const int scheme = Wrap(variant, 3);
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    const float paper = 0.97f + 0.04f * Fbm(u, v, 8, 8, 2, seed);
    if (scheme == 0) {  // broad stripes
      const int band = x % 64;
      const Rgb c = band < 40 ? Rgb{236, 228, 204} : band < 44 || band > 60 ? Rgb{200, 180, 140} : Rgb{214, 226, 200};
      return c * paper;
    }
    if (scheme == 1) {  // small diamonds on a plain ground
      const int cx = x % 32 - 16, cy = y % 32 - 16;
      const bool diamond = std::abs(cx) + std::abs(cy) < 6;
      return (diamond ? Rgb{150, 110, 120} : Rgb{232, 220, 214}) * paper;
    }
    // A soft damask: a repeating flourish from two crossed waves.
    const float w = std::sin(u * 6.2831853f * 4) * std::sin(v * 6.2831853f * 4 + std::sin(u * 6.2831853f * 4));
    return Mix(Rgb{218, 206, 170}, Rgb{188, 168, 124}, SmoothStep(0.4f, 0.7f, w)) * paper;
  });
}

// Grain along the length of wood (x): rings bent by noise.
float Grain(float u, float v, float rings, uint32_t seed) {
  const float bend = Fbm(u, v, 1, 4, 3, seed) * 2.5f;
  const float ring = std::sin((v * rings + bend) * 6.2831853f);
  return 0.9f + 0.1f * ring * ring * (ring > 0 ? 1.0f : -0.5f);
}

const std::array<Rgb, 6> kWoods{{{182, 132, 82}, {112, 72, 46}, {212, 172, 122}, {160, 92, 62}, {218, 190, 146}, {170, 112, 72}}};

QImage Wood(int variant, uint32_t seed) {
  const Rgb base = Pick(kWoods, variant);
  constexpr int kBoards = 8, kBoardH = kSurfaceSide / kBoards;
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    const int board = y / kBoardH;
    // Each board has one end joint somewhere along the image, at its own place.
    const int joint = static_cast<int>(Unit(board, 0, seed) * kSurfaceSide);
    const int fromJoint = Wrap(x - joint, kSurfaceSide);
    const uint32_t piece = static_cast<uint32_t>(board * 2 + (fromJoint < kSurfaceSide / 2 ? 0 : 1));
    if (y % kBoardH == 0 || fromJoint == 0) return base * 0.55f;
    const float tone = 0.86f + 0.22f * Unit(piece, 3, seed);
    return base * (tone * Grain(u + Unit(piece, 4, seed), v, 24, seed + piece) * Speckle(x, y, seed + 1, 0.03f));
  });
}

QImage Lumber(int variant, uint32_t seed) {
  const Rgb base = Pick(kWoods, variant);
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    return base * (Grain(u, v, 10, seed) * Speckle(x, y, seed + 1, 0.03f));
  });
}

QImage PaintedWood(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kPaint{{{238, 238, 232}, {226, 222, 208}, {72, 92, 72}}};
  const Rgb base = Pick(kPaint, variant);
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    // The grain shows faintly through the paint.
    const float grain = 1 - 0.35f * (1 - Grain(u, v, 12, seed));
    return base * (grain * Speckle(x, y, seed + 1, 0.015f));
  });
}

QImage Deck(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kDeckWood{{{172, 116, 76}, {150, 144, 134}, {150, 82, 60}}};
  const Rgb base = Pick(kDeckWood, variant);
  constexpr int kBoards = 4, kBoardH = kSurfaceSide / kBoards, kGap = 5;
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    const int board = y / kBoardH, inY = y % kBoardH;
    if (inY < kGap) return Rgb{48, 38, 30};
    const float edge = inY < kGap + 2 || kBoardH - inY < 3 ? 0.85f : 1.0f;
    const float tone = 0.88f + 0.2f * Unit(board, 5, seed);
    const bool nail = (x % 128 == 64 || x % 128 == 65) && (inY == kGap + 10 || kBoardH - inY == 10);
    return base * (tone * edge * (nail ? 0.5f : 1.0f) * Grain(u, v, 18, seed + board) * Speckle(x, y, seed + 1, 0.04f));
  });
}

QImage Mulch(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kChips{{{104, 70, 44}, {70, 50, 36}, {128, 56, 40}}};
  const Rgb base = Pick(kChips, variant);
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    // Long chips: cells squeezed across, lying every way.
    const Cells c = Voronoi(u, v, 24, seed, 1.0f);
    const float edge = c.second - c.nearest;
    const float tone = 0.6f + 0.7f * Unit(c.id, 1, seed);
    const float gap = edge < 0.08f ? 0.45f : 1.0f;
    return base * (tone * gap * (0.9f + 0.2f * ValueNoise(u, v, 64, 64, seed + 3)));
  });
}

QImage Soil(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kSoil{{{112, 86, 60}, {132, 104, 72}, {90, 70, 52}}};
  const Rgb base = Pick(kSoil, variant);
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    const float clods = 0.8f + 0.35f * Fbm(u, v, 16, 16, 3, seed);
    return base * (clods * Speckle(x, y, seed + 1, 0.15f));
  });
}

QImage Gravel(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kStones{{{150, 148, 144}, {186, 164, 128}, {214, 210, 204}}};
  const Rgb base = Pick(kStones, variant);
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    const Cells c = Voronoi(u, v, 28, seed, 0.9f);
    const float edge = c.second - c.nearest;
    if (edge < 0.06f) return base * 0.35f;
    const float tone = 0.7f + 0.5f * Unit(c.id, 1, seed);
    const Rgb stone = Mix(base, Rgb{base.r * 0.8f, base.g * 0.85f, base.b}, Unit(c.id, 2, seed));
    const float rounded = 0.7f + 0.35f * SmoothStep(0.06f, 0.35f, edge);
    return stone * (tone * rounded * Speckle(x, y, seed + 4, 0.06f));
  });
}

QImage Paver(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kClay{{{160, 76, 56}, {140, 136, 130}, {182, 150, 110}}};
  const Rgb base = Pick(kClay, variant), sand{196, 180, 150};
  constexpr int kBlock = 64, kJoint = 3;
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    // Basket weave: each block holds two pavers, lying one way or the other by the checker.
    const int bx = x / kBlock, by = y / kBlock, inX = x % kBlock, inY = y % kBlock;
    const bool across = (bx + by) % 2 == 0;
    const int along = across ? inY : inX, other = across ? inX : inY;
    const int half = along / (kBlock / 2);
    if (along % (kBlock / 2) < kJoint || other < kJoint) return sand * Speckle(x, y, seed + 1, 0.1f);
    const float tone = 0.84f + 0.24f * Unit(static_cast<uint32_t>(bx * 2 + half), static_cast<uint32_t>(by), seed);
    return base * (tone * (0.92f + 0.12f * Fbm(u, v, 16, 16, 2, seed + 2)) * Speckle(x, y, seed + 3, 0.08f));
  });
}

QImage Shingles(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kGranules{{{84, 84, 90}, {112, 88, 66}, {96, 104, 114}}};
  const Rgb base = Pick(kGranules, variant);
  constexpr int kRows = 8, kRowH = kSurfaceSide / kRows, kTab = 64;
  return Paint(kSurfaceSide, kSurfaceSide, [&](float, float, int x, int y) {
    const int row = y / kRowH, inY = y % kRowH;
    const int shifted = Wrap(x + (row % 2) * kTab / 2, kSurfaceSide);
    const int tab = shifted / kTab, inX = shifted % kTab;
    // The tab's lower edge throws a shadow on the course below; keyways part the tabs.
    float light = 1.0f;
    if (kRowH - inY <= 3) light = 0.45f;
    else if (inY < 5) light = 0.75f + 0.05f * static_cast<float>(inY);
    if (inX < 2 && inY > kRowH / 3) light = 0.4f;
    const float tone = 0.82f + 0.3f * Unit(static_cast<uint32_t>(tab), static_cast<uint32_t>(row), seed);
    return base * (light * tone * Speckle(x, y, seed + 1, 0.2f));
  });
}

QImage ClayTiles(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kClay{{{176, 84, 52}, {150, 104, 70}, {196, 120, 78}}};
  const Rgb base = Pick(kClay, variant);
  constexpr int kRows = 4, kRowH = kSurfaceSide / kRows, kTile = 32;
  return Paint(kSurfaceSide, kSurfaceSide, [&](float, float, int x, int y) {
    const int row = y / kRowH, inY = y % kRowH, tile = x / kTile;
    // Barrel tiles: round across, shaded along by the overlap.
    const float across = std::sin(static_cast<float>(x % kTile) / kTile * 3.14159265f);
    float light = 0.55f + 0.5f * across;
    if (kRowH - inY <= 4) light *= 0.5f;
    const float tone = 0.88f + 0.2f * Unit(static_cast<uint32_t>(tile), static_cast<uint32_t>(row), seed);
    return base * (light * tone * Speckle(x, y, seed + 1, 0.05f));
  });
}

QImage Grass(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kGreen{{{72, 122, 46}, {96, 134, 56}, {140, 140, 80}}};
  const Rgb base = Pick(kGreen, variant);
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    const float patches = 0.86f + 0.22f * Fbm(u, v, 4, 4, 3, seed);
    const float blades = 0.9f + 0.2f * ValueNoise(u, v, 128, 32, seed + 5);
    const Rgb c = Mix(base, Rgb{base.r * 1.25f, base.g * 1.15f, base.b * 0.8f}, Fbm(u, v, 8, 8, 2, seed + 9));
    return c * (patches * blades * Speckle(x, y, seed + 1, 0.12f));
  });
}

// House paint on a smooth wall: an even colour with the faint stipple a roller leaves, the
// same every way (grain or streaks would read as wood or brushed metal).
QImage HousePaint(int variant, uint32_t seed) {
  static const std::array<Rgb, 3> kPaint{{{236, 232, 220}, {226, 222, 208}, {206, 214, 204}}};
  const Rgb base = Pick(kPaint, variant);
  return Paint(kSurfaceSide, kSurfaceSide, [&](float u, float v, int x, int y) {
    const float stipple = 0.985f + 0.03f * Fbm(u, v, 32, 32, 2, seed);
    const float wash = 0.99f + 0.02f * Fbm(u, v, 4, 4, 2, seed + 3);
    return base * (stipple * wash * Speckle(x, y, seed + 1, 0.012f));
  });
}

QImage Sky(int variant, uint32_t seed) {
  const bool clear = variant % 2 == 1;
  const Rgb zenith{58, 108, 192}, horizon{188, 212, 234}, cloud{246, 246, 250};
  return Paint(2 * kSurfaceSide, kSurfaceSide, [&](float u, float v, int, int) {
    // Lighter towards the horizon (the bottom row), clouds thinning out at both ends.
    Rgb c = Mix(zenith, horizon, Smooth(v));
    const float n = Fbm(u, v, 6, 3, 5, seed);
    const float band = SmoothStep(0.0f, 0.25f, v) * (1 - SmoothStep(0.7f, 0.95f, v));
    const float amount = SmoothStep(clear ? 0.62f : 0.5f, clear ? 0.8f : 0.72f, n) * band;
    const float underside = 1 - 0.18f * SmoothStep(0.5f, 0.9f, Fbm(u, v + 0.02f, 6, 3, 3, seed + 1));
    return Mix(c, cloud * underside, amount);
  });
}

}  // namespace

QImage SurfaceImage(SurfaceKind kind, int variant, uint32_t seed) {
  switch (kind) {
    case SurfaceKind::kBrick: return Brick(variant, seed);
    case SurfaceKind::kSiding: return Siding(variant, seed);
    case SurfaceKind::kStone: return Stone(variant, seed);
    case SurfaceKind::kStucco: return Stucco(variant, seed);
    case SurfaceKind::kConcrete: return Concrete(variant, seed);
    case SurfaceKind::kBlock: return Block(variant, seed);
    case SurfaceKind::kCarpet: return Carpet(variant, seed);
    case SurfaceKind::kTile: return Tile(variant, seed);
    case SurfaceKind::kFabric: return Fabric(variant, seed);
    case SurfaceKind::kWallCovering: return WallCovering(variant, seed);
    case SurfaceKind::kWood: return Wood(variant, seed);
    case SurfaceKind::kLumber: return Lumber(variant, seed);
    case SurfaceKind::kPaintedWood: return PaintedWood(variant, seed);
    case SurfaceKind::kDeck: return Deck(variant, seed);
    case SurfaceKind::kMulch: return Mulch(variant, seed);
    case SurfaceKind::kSoil: return Soil(variant, seed);
    case SurfaceKind::kGravel: return Gravel(variant, seed);
    case SurfaceKind::kPaver: return Paver(variant, seed);
    case SurfaceKind::kShingles: return Shingles(variant, seed);
    case SurfaceKind::kClayTiles: return ClayTiles(variant, seed);
    case SurfaceKind::kGrass: return Grass(variant, seed);
    case SurfaceKind::kPaint: return HousePaint(variant, seed);
    case SurfaceKind::kSky: return Sky(variant, seed);
  }
  return {};
}

QColor MeanColour(const QImage& image) {
  if (image.isNull()) return QColor(128, 128, 128);
  uint64_t r = 0, g = 0, b = 0;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      r += static_cast<uint64_t>(qRed(line[x]));
      g += static_cast<uint64_t>(qGreen(line[x]));
      b += static_cast<uint64_t>(qBlue(line[x]));
    }
  }
  const uint64_t n = static_cast<uint64_t>(image.width()) * static_cast<uint64_t>(image.height());
  return QColor(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n));
}

namespace {

// A small deterministic sequence for scattering leaves and flowers.
struct Scatter {
  uint32_t seed, n = 0;
  float next() { return Unit(n++, 77, seed); }
  float between(float a, float b) { return a + (b - a) * next(); }
};

QColor Shaded(QColor c, float k) {
  return QColor(std::clamp(static_cast<int>(c.red() * k), 1, 255), std::clamp(static_cast<int>(c.green() * k), 1, 255),
                std::clamp(static_cast<int>(c.blue() * k), 1, 255));
}

// Leaf clusters inside an ellipse, lit from the upper left: darker low and to the right.
void Crown(QPainter& p, Scatter& s, QPointF centre, float rx, float ry, QColor leaf, int clusters, float size) {
  for (int i = 0; i < clusters; ++i) {
    const float a = s.between(0, 6.2831853f), r = std::sqrt(s.next());
    const float x = centre.x() + std::cos(a) * r * rx, y = centre.y() + std::sin(a) * r * ry;
    const float light = 1.15f - 0.45f * ((y - centre.y()) / ry + 1) / 2 - 0.2f * ((x - centre.x()) / rx + 1) / 2;
    p.setBrush(Shaded(leaf, light * s.between(0.85f, 1.1f)));
    const float d = size * s.between(0.6f, 1.2f);
    p.drawEllipse(QPointF(x, y), d, d * 0.85f);
  }
}

void Trunk(QPainter& p, float baseWidth, float top, float topWidth, QColor bark) {
  const float c = kSurfaceSide / 2.0f, bottom = kSurfaceSide - 1;
  p.setBrush(bark);
  p.drawPolygon(QPolygonF({QPointF(c - baseWidth / 2, bottom), QPointF(c + baseWidth / 2, bottom),
                           QPointF(c + topWidth / 2, top), QPointF(c - topWidth / 2, top)}));
  p.setBrush(Shaded(bark, 0.7f));  // the shaded side
  p.drawPolygon(QPolygonF({QPointF(c + baseWidth / 6, bottom), QPointF(c + baseWidth / 2, bottom),
                           QPointF(c + topWidth / 2, top), QPointF(c + topWidth / 6, top)}));
}

void Flowers(QPainter& p, Scatter& s, QRectF area, QColor bloom, int count, float size) {
  for (int i = 0; i < count; ++i) {
    // One draw after the other: the order of a call's arguments is the compiler's.
    const float x = s.between(static_cast<float>(area.left()), static_cast<float>(area.right()));
    const float y = s.between(static_cast<float>(area.top()), static_cast<float>(area.bottom()));
    const QPointF at(x, y);
    p.setBrush(Shaded(bloom, s.between(0.8f, 1.15f)));
    p.drawEllipse(at, size, size);
    p.setBrush(QColor(240, 210, 60));
    p.drawEllipse(at, size / 3, size / 3);
  }
}

}  // namespace

QImage PlantPicture(PlantKind kind, int variant, uint32_t seed) {
  QImage image(kSurfaceSide, kSurfaceSide, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  // No smoothing: a blended edge would leave a dark fringe round the keyed black ground.
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::NoPen);
  Scatter s{seed};
  const QColor bark(104, 74, 48);
  static const QColor kLeaves[] = {QColor(64, 122, 48), QColor(92, 140, 56), QColor(48, 100, 60), QColor(120, 150, 60)};
  static const QColor kBlooms[] = {QColor(220, 60, 70), QColor(240, 200, 60), QColor(150, 90, 200), QColor(245, 245, 245),
                                   QColor(240, 130, 170)};
  const QColor leaf = kLeaves[Wrap(variant, 4)];
  const QColor bloom = kBlooms[Wrap(variant + static_cast<int>(seed), 5)];
  const float c = kSurfaceSide / 2.0f;
  switch (kind) {
    case PlantKind::kTree:
      Trunk(p, 22, 120, 10, bark);
      p.setBrush(bark);
      p.drawPolygon(QPolygonF({QPointF(c, 150), QPointF(c + 40, 105), QPointF(c + 44, 110), QPointF(c + 4, 158)}));
      Crown(p, s, QPointF(c, 92), 100, 84, leaf, 420, 14);
      break;
    case PlantKind::kConifer:
      Trunk(p, 16, 200, 10, bark);
      for (int tier = 0; tier < 6; ++tier) {
        const float top = 8 + tier * 34.0f, half = 22 + tier * 17.0f;
        p.setBrush(Shaded(QColor(40, 92, 56), 1.1f - tier * 0.06f));
        p.drawPolygon(QPolygonF({QPointF(c, top), QPointF(c + half, top + 58), QPointF(c - half, top + 58)}));
        p.setBrush(Shaded(QColor(40, 92, 56), 0.8f - tier * 0.04f));
        p.drawPolygon(QPolygonF({QPointF(c, top), QPointF(c + half, top + 58), QPointF(c + half / 4, top + 58)}));
      }
      break;
    case PlantKind::kShrub:
      Crown(p, s, QPointF(c, 160), 112, 88, leaf, 360, 13);
      break;
    case PlantKind::kHedge:
      for (int i = 0; i < 520; ++i) {
        const float x = s.between(14, kSurfaceSide - 14.0f), y = s.between(70, kSurfaceSide - 8.0f);
        p.setBrush(Shaded(leaf, 1.1f - 0.4f * (y - 70) / 180 * s.between(0.8f, 1.2f)));
        p.drawEllipse(QPointF(x, y), 12, 10);
      }
      break;
    case PlantKind::kCactus: {
      // Alternate variants: a tall column with an arm either side, or a shorter, paler one
      // with a single arm and a flower on top.
      const bool branched = Wrap(variant, 2) == 0;
      const QColor green = branched ? QColor(72, 132, 84) : QColor(104, 146, 78);
      auto column = [&](QRectF r) {
        p.setBrush(green);
        p.drawRoundedRect(r, r.width() / 2, r.width() / 2);
        p.setBrush(Shaded(green, 0.75f));
        p.drawRoundedRect(QRectF(r.center().x(), r.top(), r.width() / 2, r.height()), r.width() / 4, r.width() / 4);
      };
      if (branched) {
        column(QRectF(c - 22, 20, 44, kSurfaceSide - 21));
        column(QRectF(c - 86, 70, 30, 90));
        column(QRectF(c + 56, 50, 30, 80));
        p.setBrush(green);
        p.drawRect(QRectF(c - 72, 140, 60, 22));
        p.drawRect(QRectF(c + 10, 116, 62, 22));
      } else {
        column(QRectF(c - 28, 70, 56, kSurfaceSide - 71));
        column(QRectF(c + 52, 104, 32, 76));
        p.setBrush(green);
        p.drawRect(QRectF(c + 14, 160, 54, 20));
        p.setBrush(QColor(236, 96, 140));
        p.drawEllipse(QPointF(c, 72), 12, 9);
      }
      break;
    }
    case PlantKind::kFlowers:
      p.setBrush(Shaded(leaf, 0.8f));
      for (int i = 0; i < 40; ++i) {
        const float x = s.between(40, kSurfaceSide - 40.0f);
        p.drawRect(QRectF(x, s.between(90, 160), 3, kSurfaceSide));
      }
      Crown(p, s, QPointF(c, 200), 110, 54, leaf, 200, 12);
      Flowers(p, s, QRectF(30, 70, kSurfaceSide - 60, 130), bloom, 60, 9);
      break;
    case PlantKind::kGroundCover:
      Crown(p, s, QPointF(c, 225), 124, 30, leaf, 260, 10);
      Flowers(p, s, QRectF(16, 200, kSurfaceSide - 32, 40), bloom, 40, 5);
      break;
    case PlantKind::kGrass:
      for (int i = 0; i < 160; ++i) {
        const float lean = s.between(-1, 1), height = s.between(120, 240);
        const QColor blade = Shaded(QColor(120, 150, 70), s.between(0.7f, 1.2f));
        p.setPen(QPen(blade, 3));
        p.drawLine(QPointF(c + lean * 20, kSurfaceSide - 1), QPointF(c + lean * 110, kSurfaceSide - height));
      }
      p.setPen(Qt::NoPen);
      break;
    case PlantKind::kPalm: {
      // Alternate variants: a low crown of nine fronds, or a taller trunk under seven
      // thinner, more drooping, yellower ones.
      const bool low = Wrap(variant, 2) == 1;
      const float crown = low ? 70.0f : 48.0f, droop = low ? 50.0f : 78.0f;
      const int fronds = low ? 9 : 7;
      const QColor frond = low ? QColor(60, 130, 60) : QColor(96, 142, 52);
      Trunk(p, 20, crown, 14, QColor(130, 104, 72));
      for (int f = 0; f < fronds; ++f) {
        const float a = -3.14159265f + f * 3.14159265f / static_cast<float>(fronds - 1);
        const QPointF tip(c + std::cos(a) * 120, crown + std::sin(a) * 40 + droop * std::abs(std::cos(a)));
        p.setPen(QPen(Shaded(frond, 0.9f + 0.02f * f), low ? 12 : 10));
        p.drawLine(QPointF(c, crown - 2), tip);
      }
      p.setPen(Qt::NoPen);
      break;
    }
    case PlantKind::kFruit:
      Trunk(p, 18, 150, 10, bark);
      Crown(p, s, QPointF(c, 110), 100, 96, leaf, 380, 13);
      Flowers(p, s, QRectF(50, 40, kSurfaceSide - 100, 150), QColor(230, 120, 30), 30, 8);
      break;
  }
  return image;
}
