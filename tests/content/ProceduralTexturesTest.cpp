// The generator's surface images: each tiles without a seam (the sky across its width only),
// at a power-of-two size, and is the same on every call.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/AppTestSupport.h"
#include "content/ProceduralTextures.h"

namespace {

int Brightness(QRgb c) { return qRed(c) + qGreen(c) + qBlue(c); }

// The largest mean brightness step between two neighbouring columns inside the image (the
// edges of bricks, boards and tiles), and the mean step across the join where the right edge
// meets the left edge of the next copy (rows when `rows`).
std::pair<double, double> Steps(const QImage& image, bool rows) {
  const int along = rows ? image.height() : image.width(), across = rows ? image.width() : image.height();
  auto at = [&](int a, int b) { return Brightness(rows ? image.pixel(b, a) : image.pixel(a, b)); };
  auto step = [&](int a, int next) {
    double sum = 0;
    for (int b = 0; b < across; ++b) sum += std::abs(at(next, b) - at(a, b));
    return sum / across;
  };
  double inside = 0;
  for (int a = 0; a + 1 < along; ++a) inside = std::max(inside, step(a, a + 1));
  return {inside, step(along - 1, 0)};
}

bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

TEST(ProceduralTextures, EveryKindTilesWithoutASeamAtAPowerOfTwo) {
  TestApplication();
  for (int kind = 0; kind <= static_cast<int>(SurfaceKind::kSky); ++kind)
    for (int variant = 0; variant < 3; ++variant) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << " variant " << variant);
      const auto k = static_cast<SurfaceKind>(kind);
      const QImage image = SurfaceImage(k, variant, 7);
      ASSERT_FALSE(image.isNull());
      EXPECT_TRUE(PowerOfTwo(image.width()) && PowerOfTwo(image.height()));
      EXPECT_EQ(image, SurfaceImage(k, variant, 7));
      for (bool rows : {false, true}) {
        if (rows && k == SurfaceKind::kSky) continue;  // a background: only its width repeats
        const auto [inside, join] = Steps(image, rows);
        // A seam is a step across the join larger than any of the image's own.
        EXPECT_LE(join, inside * 1.1 + 2) << (rows ? "rows" : "columns");
      }
    }
}

TEST(ProceduralTextures, PlantsStandOnTheKeyedGroundWithTrunkOrStemsAtTheFoot) {
  TestApplication();
  for (int kind = 0; kind <= static_cast<int>(PlantKind::kFruit); ++kind)
    for (int variant : {0, 1}) {  // the cactus and the palm draw the two differently
      SCOPED_TRACE(testing::Message() << "kind " << kind << " variant " << variant);
      const QImage plant = PlantPicture(static_cast<PlantKind>(kind), variant, 3);
      ASSERT_EQ(plant.size(), QSize(kSurfaceSide, kSurfaceSide));
      // The corners are the transparent ground; something stands on the bottom row.
      EXPECT_EQ(plant.pixel(0, 0) & 0xFFFFFF, 0u);
      EXPECT_EQ(plant.pixel(kSurfaceSide - 1, 0) & 0xFFFFFF, 0u);
      int drawn = 0, foot = 0;
      for (int y = 0; y < kSurfaceSide; ++y)
        for (int x = 0; x < kSurfaceSide; ++x)
          if (plant.pixel(x, y) & 0xFFFFFF) ++drawn, foot += y > kSurfaceSide - 8;
      EXPECT_GT(drawn, kSurfaceSide * kSurfaceSide / 20);
      EXPECT_GT(foot, 0);
    }
}

}  // namespace
