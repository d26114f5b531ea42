// The lot size sheet at each plan scale in both unit systems: a width and depth of their own
// at and past both ends of the field make the lot's plan rectangle, and the sheet opens again
// on the sizes that were stored.
#include "inspectors/PlanSettingsSheets.h"
#include "inspectors/SheetTestSupport.h"

namespace {

using LotSizeScales = SheetTest;

TEST_F(LotSizeScales, SizesAtBothEndsMakeThePlanRectangleAndOpenAgainAsStored) {
  struct Typed {
    const char *width, *depth;
    int32_t storedWidth, storedDepth;
  };
  const Typed typed[] = {{"1", "1000", 1, 1000}, {"0", "1001", 1, 1000}, {"1000", "2", 1000, 2}, {"37", "53", 37, 53}};
  for (int16_t measure : {kMeasureImperial, kMeasureMetric}) {
    const float inchesPerUnit = measure == kMeasureMetric ? 39.37f : 12.0f;
    for (float scale : {96.0f, 48.0f, 36.0f, 24.0f}) {
      for (const Typed& t : typed) {
        SCOPED_TRACE(testing::Message() << (measure == kMeasureMetric ? "metric" : "imperial") << " scale " << scale
                                        << " " << t.width << " by " << t.depth);
        ds = CurDocState();
        ds->measureSystem = measure;
        ds->planScale = scale;
        choose(kTagSetLotSize);
        auto* s = sheet<LotSizeController>();
        ASSERT_NE(s, nullptr);
        s->widthText->setText(t.width);
        s->depthText->setText(t.depth);
        ok();
        ds = CurDocState();
        // Plan units are 72 / scale per inch; the lot is centred on the origin.
        const float halfWidth = t.storedWidth * inchesPerUnit * 72 / scale / 2;
        const float halfDepth = t.storedDepth * inchesPerUnit * 72 / scale / 2;
        EXPECT_NEAR(ds->planBounds.floatLeft, -halfWidth, halfWidth * 1e-5f);
        EXPECT_NEAR(ds->planBounds.floatRight, halfWidth, halfWidth * 1e-5f);
        EXPECT_NEAR(ds->planBounds.floatTop, -halfDepth, halfDepth * 1e-5f);
        EXPECT_NEAR(ds->planBounds.floatBottom, halfDepth, halfDepth * 1e-5f);
        choose(kTagSetLotSize);
        s = sheet<LotSizeController>();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->widthText->text().toStdString(), std::to_string(t.storedWidth));
        EXPECT_EQ(s->depthText->text().toStdString(), std::to_string(t.storedDepth));
        cancel();
      }
    }
  }
}

TEST_F(LotSizeScales, ALotEditUndoneAndRedone) {
  for (int16_t measure : {kMeasureImperial, kMeasureMetric}) {
    SCOPED_TRACE(measure);
    CurDocState()->measureSystem = measure;
    CurDocState()->planScale = 48;
    auto set = [&](const char* width, const char* depth) {
      choose(kTagSetLotSize);
      auto* s = sheet<LotSizeController>();
      ASSERT_NE(s, nullptr);
      s->widthText->setText(width);
      s->depthText->setText(depth);
      ok();
    };
    auto shown = [&] {
      choose(kTagSetLotSize);
      auto* s = sheet<LotSizeController>();
      const std::string text = s ? s->widthText->text().toStdString() + "x" + s->depthText->text().toStdString() : "";
      cancel();
      return text;
    };
    set("37", "53");
    set("100", "20");
    EXPECT_EQ(shown(), "100x20");
    ASSERT_TRUE(doc->undoManager().undo());
    EXPECT_EQ(shown(), "37x53");
    ASSERT_TRUE(doc->undoManager().redo());
    EXPECT_EQ(shown(), "100x20");
  }
}

}  // namespace
