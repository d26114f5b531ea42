// The click-by-click floor outline on a grid whose spacing across differs from its spacing
// down, at each plan scale and zoom: the first corner lands on the grid node nearest the press,
// each later one in a whole number of 5-degree steps from the corner before and a whole number
// of grid steps across from it, near where it was clicked; Escape in the middle keeps the
// corners placed so far.
#include <cmath>
#include <vector>

#include "ScriptedModalEvents.h"
#include "ToolTestSupport.h"
#include "model/Delete.h"
#include "tools/Constraints.h"
#include "tools/PolygonEntry.h"

namespace {

struct PolygonGrid : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
    doc.first->height = 96;
    doc.second->height = 96;
  }
};

TEST_F(PolygonGrid, FirstCornerOnTheGridAndEachNextInAngleAndGridStepsAtEveryScale) {
  struct Case {
    float scale, zoom, across, down;  // grid spacing in inches
  } cases[] = {{96, 1.0f, 12, 30}, {48, 0.5f, 30, 12}, {36, 2.0f, 12, 18}, {24, 1.0f, 18, 12}};
  // Window points of the first press, the corners, and one where Escape comes.
  const POINT press{13, 9};
  const std::vector<POINT> corners = {{211, 17}, {205, 163}, {22, 171}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "scale " << c.scale << " zoom " << c.zoom);
    DocState* ds = doc.ds();
    ds->planScale = c.scale;
    ds->zoomFactor = c.zoom;
    ds->snapToGrid = 1;
    ds->gridSpacing = {c.across, c.down};
    const float stepX = c.across * 72 / c.scale, stepZ = c.down * 72 / c.scale;
    auto onGrid = [&](POINT w) {
      return std::pair{std::round(w.x / c.zoom / stepX) * stepX, std::round(w.y / c.zoom / stepZ) * stepZ};
    };
    // The whole outline, then the same cut short by Escape after the second corner.
    for (size_t placed : {corners.size(), size_t(2)}) {
      SCOPED_TRACE(placed);
      ScriptedModalEvents e;
      for (size_t i = 0; i < placed; ++i) e.move(corners[i].x, corners[i].y).down(corners[i].x, corners[i].y, 0, 1);
      e.move(120, 120).key(kModalKeyEscape);
      gCurTool = kToolFloor;
      drag({press});
      ASSERT_EQ(CountObjects(doc.first), 1);
      const Objex* floor = doc.first->firstObject;
      std::vector<POINT> expected = {press};
      expected.insert(expected.end(), corners.begin(), corners.begin() + long(placed));
      ASSERT_EQ(floor->pointCount, int(expected.size()));
      const Poinz* p = floor->firstPoint;
      const auto [x0, z0] = onGrid(press);
      EXPECT_NEAR(p->position[0], x0, 1e-3f);
      EXPECT_NEAR(p->position[2], z0, 1e-3f);
      for (size_t i = 1; i < expected.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "corner " << i);
        const Poinz* q = p->next;
        ASSERT_NE(q, nullptr);
        const float dx = q->position[0] - p->position[0], dz = q->position[2] - p->position[2];
        const float length = std::hypot(dx, dz);
        EXPECT_NEAR(length / stepX, std::round(length / stepX), 1e-3f);
        const double degrees = std::atan2(-dz, dx) * 180 / M_PI;
        EXPECT_NEAR(degrees / 5, std::round(degrees / 5), 1e-3);
        // Near the click: within a grid step and the 2.5 degrees the direction may turn.
        const float cx = expected[i].x / c.zoom, cz = expected[i].y / c.zoom;
        EXPECT_LT(std::hypot(q->position[0] - cx, q->position[2] - cz), stepX + length * 0.05f);
        p = q;
      }
      EXPECT_EQ(p->next, nullptr);
      EXPECT_EQ(gMouseCaptured, 0);
      EXPECT_EQ(gTrackingPoly, 0);
      DeleteObj(doc.first->firstObject);
    }
  }
}

}  // namespace
