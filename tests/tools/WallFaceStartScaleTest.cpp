// A wall drawn from the side of another, at each plan scale and with two wall thicknesses,
// from either face: it starts on the face it was dragged from, and its live labels read the
// distances to the walls either side in the document's units.
#include <string>

#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "model/Delete.h"

namespace {

struct WallFaceStart : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
};

// Walls either side stand at x 100 and 300; the drag starts at x 210 and ends 150 units out.
TEST_F(WallFaceStart, StartsOnTheDraggedFaceAndReadsItsDistancesAtEveryScale) {
  struct Row {
    float scale, thickness;
    const char* right;  // 90 units to the wall at 300
    const char* left;   // 110 units to the wall at 100 (to the nearest sixteenth)
    const char* band;   // from the face to the end
  };
  const Row rows[] = {
      {96, 4, "120\"", "146.6875\"", "198\""}, {96, 10, "120\"", "146.6875\"", "195\""},
      {48, 4, "60\"", "73.3125\"", "98\""},    {48, 10, "60\"", "73.3125\"", "95\""},
      {36, 4, "45\"", "55\"", "73\""},         {36, 10, "45\"", "55\"", "70\""},
      {24, 4, "30\"", "36.6875\"", "48\""},    {24, 10, "30\"", "36.6875\"", "45\""},
  };
  for (const Row& r : rows) {
    // Above the base wall and below it.
    for (int side : {1, -1}) {
      SCOPED_TRACE(testing::Message() << "scale " << r.scale << " thickness " << r.thickness << " side " << side);
      doc.ds()->planScale = r.scale;
      Objex* base = AddTestWall(doc, {{0, 0}, {400, 0}}, false, r.thickness);
      AddTestWall(doc, {{100, side * 20.f}, {100, side * 200.f}});
      AddTestWall(doc, {{300, side * 20.f}, {300, side * 200.f}});
      gCurTool = kToolInteriorWall;
      gMouseCaptured = 1;
      BeginTracking(200, side * 2);
      KeepTracking(210, side * 150, 200, side * 2);
      const auto& labels = overlay.dynamicDimArray();
      ASSERT_EQ(labels.size(), 3u);
      for (const auto& label : labels) ASSERT_NE(label->dimensionText(), nullptr);
      EXPECT_STREQ(labels[0]->dimensionText(), r.right);
      EXPECT_STREQ(labels[1]->dimensionText(), r.left);
      EXPECT_STREQ(labels[2]->dimensionText(), r.band);
      EndTracking(210, side * 150, 210, side * 150);
      FinishTracking();
      ASSERT_EQ(CountObjects(doc.first), 4);
      const Objex* wall = base->next->next->next;
      const float face = side * r.thickness / 2 * 72 / r.scale;
      EXPECT_FLOAT_EQ(wall->firstPoint->position[0], 210.0f);
      EXPECT_FLOAT_EQ(wall->firstPoint->position[2], face);
      EXPECT_FLOAT_EQ(wall->firstPoint->next->position[0], 210.0f);
      EXPECT_FLOAT_EQ(wall->firstPoint->next->position[2], side * 150.0f);
      while (doc.first->firstObject) DeleteObj(doc.first->firstObject);
    }
  }
}

}  // namespace
