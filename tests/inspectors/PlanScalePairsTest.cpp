// The plan scale sheet between every pair of its four scales, the first and last included, in
// both unit systems: each button names its scale, the view zooms follow the ratio of the two
// scales so that the plan zoom sheet reads the same percentage, and the choice is undone and
// redone.
#include <QButtonGroup>
#include <QRadioButton>

#include "inspectors/PlanScaleController.h"
#include "inspectors/SheetTestSupport.h"
#include "files/Undo.h"
#include "model/ViewCommands.h"

namespace {

using PlanScalePairs = SheetTest;

struct Scale {
  int code;
  const char* label;
  double denominator;  // the drawing is 1 : denominator
};
// 1/8" to the foot is 1 : 96, and so on.
const Scale kImperial[] = {{8, "1/8\" = 1'", 96}, {9, "1/4\" = 1'", 48}, {10, "1/3\" = 1'", 36}, {11, "1/2\" = 1'", 24}};
const Scale kMetric[] = {{8, "1 : 100", 100}, {9, "1 : 50", 50}, {10, "1 : 20", 20}, {11, "1 : 10", 10}};

TEST_F(PlanScalePairs, EveryPairKeepsTheZoomPercentageInBothSystems) {
  for (bool metric : {false, true}) {
    const Scale* scales = metric ? kMetric : kImperial;
    for (int from = 0; from < 4; ++from) {
      for (int to = 0; to < 4; ++to) {
        if (from == to) continue;
        SCOPED_TRACE(testing::Message() << (metric ? "metric " : "imperial ") << scales[from].label << " to "
                                        << scales[to].label);
        DocState* d = CurDocState();
        d->measureSystem = metric ? kMeasureMetric : kMeasureImperial;
        d->planScaleChoice = int16_t(scales[from].code);
        PlanZoom(d) = TopViewZoom(d) = 0.6f;
        OtherViewZoom(d) = 0.5f;
        StoreUndo("Set up");  // the state an undo goes back to
        choose(kTagSetPlanZoom);
        auto* zoomSheet = sheet<PlanZoomController>();
        ASSERT_NE(zoomSheet, nullptr);
        const QString percent = zoomSheet->zoomScaleText->text();
        cancel();

        choose(kTagSetPlanScale);
        auto* s = sheet<PlanScaleController>();
        ASSERT_NE(s, nullptr);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(s->scaleMatrix->button(scales[k].code)->text(), scales[k].label);
        EXPECT_TRUE(s->scaleMatrix->button(scales[from].code)->isChecked());
        s->scaleMatrix->button(scales[to].code)->click();
        ok();
        d = CurDocState();
        const double ratio = scales[from].denominator / scales[to].denominator;
        EXPECT_EQ(d->planScaleChoice, scales[to].code);
        EXPECT_NEAR(PlanZoom(d), 0.6 * ratio, 1e-5);
        EXPECT_NEAR(TopViewZoom(d), 0.6 * ratio, 1e-5);
        EXPECT_NEAR(OtherViewZoom(d), 0.5 * ratio, 1e-5);
        EXPECT_EQ(lastUndo(), "Plan Scale");
        choose(kTagSetPlanZoom);
        zoomSheet = sheet<PlanZoomController>();
        ASSERT_NE(zoomSheet, nullptr);
        EXPECT_EQ(zoomSheet->zoomScaleText->text(), percent);
        cancel();

        ASSERT_TRUE(doc->undoManager().undo());
        d = CurDocState();
        EXPECT_EQ(d->planScaleChoice, scales[from].code);
        ASSERT_TRUE(doc->undoManager().redo());
        d = CurDocState();
        EXPECT_EQ(d->planScaleChoice, scales[to].code);
      }
    }
  }
}

}  // namespace
