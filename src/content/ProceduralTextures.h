// The shipped library's material images, drawn by our own code: each kind of surface from
// tileable value noise and cell patterns, the same pixels on every run. Every image tiles
// without a seam (the sky across its width only: it is seen as a background).
#pragma once
#include <QImage>
#include <cstdint>

enum class SurfaceKind {
  kBrick,
  kSiding,
  kStone,
  kStucco,
  kConcrete,
  kBlock,
  kCarpet,
  kTile,
  kFabric,
  kWallCovering,
  kWood,         // floor boards
  kLumber,       // one length of sawn wood: grain only
  kPaintedWood,  // trims, doors and windows
  kDeck,
  kMulch,
  kSoil,
  kGravel,
  kPaver,
  kShingles,
  kClayTiles,
  kGrass,
  kPaint,        // house paint on a smooth wall
  kSky,
};

// The side of the square material images (the sky is twice as wide).
constexpr int kSurfaceSide = 256;

// One image of a kind. `variant` picks the colour scheme and scale within the kind (any
// value; it wraps), `seed` makes two images of the same variant differ in detail.
QImage SurfaceImage(SurfaceKind kind, int variant, uint32_t seed);
// The mean colour of an image (the colour a part shows where it is drawn small).
QColor MeanColour(const QImage& image);

// The plant kinds of the shipped plant folders, each drawn its own way.
enum class PlantKind { kTree, kConifer, kShrub, kHedge, kCactus, kFlowers, kGroundCover, kGrass, kPalm, kFruit };
// A plant picture of kSurfaceSide square on pure black (the ground that shows as transparent):
// trunk and crown, stems and flowers. `variant` picks colours, `seed` the detail.
QImage PlantPicture(PlantKind kind, int variant, uint32_t seed);
