// The rectangle tool's drag on a grid whose spacing across differs from its spacing down, at
// each plan scale, zoom and unit system: the corners land on the grid lines of their own axis,
// the live labels read the snapped size, and Escape in the middle of the drag leaves nothing.
#include <cmath>
#include <string>

#include "ToolTestSupport.h"
#include "model/Delete.h"

namespace {

struct GridCase {
  float planScale;  // plan units are 72 / planScale per inch
  float zoom;
  float acrossInches, downInches;
  int16_t measure;
};

constexpr GridCase kCases[] = {
    {96, 0.6f, 12, 30, kMeasureImperial},
    {48, 1.0f, 30, 12, kMeasureImperial},
    {36, 1.5f, 12, 18, kMeasureImperial},
    {24, 0.6f, 18, 12, kMeasureImperial},
    {96, 1.0f, 50 / 2.54f, 30 / 2.54f, kMeasureMetric},
    {48, 0.6f, 30 / 2.54f, 50 / 2.54f, kMeasureMetric},
    {36, 1.5f, 20 / 2.54f, 40 / 2.54f, kMeasureMetric},
    {24, 1.0f, 40 / 2.54f, 20 / 2.54f, kMeasureMetric},
};

struct VariedGrid : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  void use(const GridCase& c) {
    DocState* ds = doc.ds();
    ds->planScale = c.planScale;
    ds->zoomFactor = c.zoom;
    ds->measureSystem = c.measure;
    ds->snapToGrid = 1;
    ds->gridSpacing = {c.acrossInches, c.downInches};
  }
  // The plan-unit multiple of `step` nearest the window coordinate `w` at zoom `zoom`.
  static float OnGrid(float w, float zoom, float step) { return std::round(w / zoom / step) * step; }
  static std::string Describe(const GridCase& c) {
    return "scale " + std::to_string(c.planScale) + " zoom " + std::to_string(c.zoom) +
           (c.measure == kMeasureMetric ? " metric" : " imperial");
  }
};

TEST_F(VariedGrid, RectangleCornersSnapAcrossAndDownToTheirOwnSpacingAtEveryScale) {
  for (const GridCase& c : kCases) {
    SCOPED_TRACE(Describe(c));
    use(c);
    const float stepX = c.acrossInches * 72 / c.planScale, stepZ = c.downInches * 72 / c.planScale;
    const int x0 = 10, z0 = 15, x1 = 170, z1 = 130;
    gCurTool = kToolRectangle;
    drag({{x0, z0}, {90, 70}, {x1, z1}});
    ASSERT_EQ(CountObjects(doc.first), 1);
    Objex* rect = doc.first->firstObject;
    ASSERT_EQ(rect->pointCount, 4);
    float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
    for (const Poinz* p = rect->firstPoint; p; p = p->next) {
      minX = std::fmin(minX, p->position[0]), maxX = std::fmax(maxX, p->position[0]);
      minZ = std::fmin(minZ, p->position[2]), maxZ = std::fmax(maxZ, p->position[2]);
    }
    const float tol = 0.01f * std::fmax(stepX, stepZ);
    EXPECT_NEAR(minX, OnGrid(x0, c.zoom, stepX), tol);
    EXPECT_NEAR(maxX, OnGrid(x1, c.zoom, stepX), tol);
    EXPECT_NEAR(minZ, OnGrid(z0, c.zoom, stepZ), tol);
    EXPECT_NEAR(maxZ, OnGrid(z1, c.zoom, stepZ), tol);
    DeleteObj(rect);
  }
}

TEST_F(VariedGrid, LiveLabelsReadTheSnappedSizeAndTheDepthSitsBesideTheDownPoint) {
  // Sizes worked by hand from each case's grid steps (the same drag as above).
  const char* const kWidth[] = {"348\"", "120\"", "60\"", "90\"", "5500 mm", "4500 mm", "1400 mm", "1600 mm"};
  const char* const kDepth[] = {"270\"", "72\"", "36\"", "60\"", "3900 mm", "3000 mm", "1200 mm", "1000 mm"};
  for (size_t i = 0; i < std::size(kCases); ++i) {
    const GridCase& c = kCases[i];
    SCOPED_TRACE(Describe(c));
    use(c);
    const float stepX = c.acrossInches * 72 / c.planScale;
    const float left = OnGrid(10, c.zoom, stepX) * c.zoom, right = OnGrid(170, c.zoom, stepX) * c.zoom;
    // Dragged right and down, then left and up over the same corners.
    for (bool backwards : {false, true}) {
      SCOPED_TRACE(backwards ? "backwards" : "forwards");
      const POINT from = backwards ? POINT{170, 130} : POINT{10, 15};
      const POINT to = backwards ? POINT{10, 15} : POINT{170, 130};
      gCurTool = kToolRectangle;
      gMouseCaptured = 1;
      BeginTracking(from.x, from.y);
      KeepTracking(to.x, to.y, from.x, from.y);
      const auto& labels = overlay.dynamicDimArray();
      ASSERT_EQ(labels.size(), 2u);
      ASSERT_NE(labels[0]->dimensionText(), nullptr);
      ASSERT_NE(labels[1]->dimensionText(), nullptr);
      EXPECT_STREQ(labels[0]->dimensionText(), kWidth[i]);
      EXPECT_STREQ(labels[1]->dimensionText(), kDepth[i]);
      const NSRect w = labels[0]->textRect(), d = labels[1]->textRect();
      const float widthMid = w.origin.x + w.size.width / 2, depthMid = d.origin.x + d.size.width / 2;
      EXPECT_GT(widthMid, left);
      EXPECT_LT(widthMid, right);
      if (backwards) EXPECT_GT(depthMid, right + 10);
      else EXPECT_LT(depthMid, left - 10);
      EndTracking(to.x, to.y, to.x, to.y);
      FinishTracking();
      ASSERT_EQ(CountObjects(doc.first), 1);
      DeleteObj(doc.first->firstObject);
    }
  }
}

}  // namespace
