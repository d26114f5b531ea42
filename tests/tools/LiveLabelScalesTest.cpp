// The live labels of the line and oval tools at each plan scale and zoom in both unit systems.
#include <string>

#include "ToolTestSupport.h"
#include "model/Delete.h"

namespace {

struct LiveLabelScales : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->snapToGrid = 0;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  std::string labels() const {
    std::string all;
    for (const auto& e : overlay.dynamicDimArray()) all += std::string(e->dimensionText() ? e->dimensionText() : "-") + "|";
    return all;
  }
};

// At zoom 0.5 the drag spans 240 plan units across and 120 down: the line is 268.33 units
// long (its direction steps by 5 degrees, its length stays); worked by hand for each scale.
TEST_F(LiveLabelScales, LineAndOvalLabelsReadTheDraggedSizeBothWays) {
  struct Row {
    int16_t measure;
    float scale;
    const char* line;
    const char* ovalWidth;
    const char* ovalDepth;
  };
  const Row rows[] = {
      {kMeasureImperial, 96, "357.75\"", "320\"", "160\""},
      {kMeasureImperial, 48, "178.875\"", "160\"", "80\""},
      {kMeasureImperial, 36, "134.1875\"", "120\"", "60\""},
      {kMeasureImperial, 24, "89.4375\"", "80\"", "40\""},
      {kMeasureMetric, 96, "9087.4 mm", "8128 mm", "4064 mm"},
      {kMeasureMetric, 48, "4543.7 mm", "4064 mm", "2032 mm"},
      {kMeasureMetric, 36, "3407.8 mm", "3048 mm", "1524 mm"},
      {kMeasureMetric, 24, "2271.8 mm", "2032 mm", "1016 mm"},
  };
  for (const Row& r : rows) {
    for (bool backwards : {false, true}) {
      SCOPED_TRACE(testing::Message() << (r.measure == kMeasureMetric ? "metric" : "imperial") << " scale "
                                      << r.scale << (backwards ? " backwards" : ""));
      doc.ds()->measureSystem = r.measure;
      doc.ds()->planScale = r.scale;
      doc.ds()->zoomFactor = 0.5f;
      const POINT from = backwards ? POINT{220, 160} : POINT{100, 100};
      const POINT to = backwards ? POINT{100, 100} : POINT{220, 160};
      for (uint16_t tool : {kToolLine, kToolCircleOval}) {
        gCurTool = tool;
        gMouseCaptured = 1;
        BeginTracking(from.x, from.y);
        KeepTracking(to.x, to.y, from.x, from.y);
        EXPECT_EQ(labels(), tool == kToolLine ? std::string(r.line) + "|"
                                              : std::string(r.ovalWidth) + "|" + r.ovalDepth + "|");
        EndTracking(to.x, to.y, to.x, to.y);
        FinishTracking();
        EXPECT_EQ(CountObjects(doc.first), 1);
        while (doc.first->firstObject) DeleteObj(doc.first->firstObject);
      }
    }
  }
}

}  // namespace
