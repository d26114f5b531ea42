// The roof pane shows the pitch the roof tool then builds with, in metric and imperial
// designs.
#include <QTest>

#include "InspectorTestSupport.h"
#include "app/ZLKDocumentView.h"
#include "model/HitTest.h"
#include "model/ToolCodes.h"

namespace {

// A new design in the units asked for, its plan shown on the roofing plan.
class UnitsDesignTest : public InspectorTest {
 protected:
  explicit UnitsDesignTest(bool metric) : metric_(metric) {}
  void beforeDocument() override {
    InspectorTest::beforeDocument();
    gDefaultToImperial = metric_ ? 0 : 1;
  }
  void afterDocument() override {
    InspectorTest::afterDocument();
    ASSERT_EQ(ds->measureSystem, metric_ ? 4 : 3);
    view = showPlanView(16);
  }
  void afterClosing() override { gDefaultToImperial = 1; }

  void drag(QPoint from, QPoint to) {
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    for (int i = 1; i <= 4; ++i) QTest::mouseMove(view, from + (to - from) * i / 4);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
  }
  QPoint at(float x, float z) const { return WidgetPointOf(view, x, z); }

  struct ShownPitch {
    std::string ratio, run, angle;
  };
  ShownPitch shownPitch() {
    QLabel* run = control<QLabel>("pitchRunText");
    return {text("pitchRatioText"), run ? run->text().toStdString() : "?", text("pitchAngleText")};
  }

  // Draws a gable roof with the tool and shows it selected: the roof pane shows what it
  // showed for the tool before the drag.
  void expectGableRoofBuiltAsShown(const char* ratio, const char* run) {
    gCurTool = kToolGableRoof;
    update();
    ASSERT_EQ(shownName(), "Roof1Inspector");
    const ShownPitch whileDrawing = shownPitch();
    EXPECT_EQ(whileDrawing.ratio, ratio);
    EXPECT_EQ(whileDrawing.run, run);
    const int before = objectCount();
    drag(at(-120, -60), at(120, 60));
    ASSERT_EQ(objectCount(), before + 1);
    Objex* roof = model->itsCurLayer->lastObject;
    ASSERT_EQ(roof->type, kObjRoof);
    gCurTool = kToolSelection;
    SelectObj(roof, kSelectOn, 1);
    update();
    ASSERT_EQ(shownName(), "Roof1Inspector");
    EXPECT_EQ(shownPitch().ratio, whileDrawing.ratio);
    EXPECT_EQ(shownPitch().run, whileDrawing.run);
    EXPECT_EQ(shownPitch().angle, whileDrawing.angle);
  }

  ZLKDocumentView* view = nullptr;
  bool metric_;
};

class MetricDesign : public UnitsDesignTest {
 protected:
  MetricDesign() : UnitsDesignTest(true) {}
};
class ImperialDesign : public UnitsDesignTest {
 protected:
  ImperialDesign() : UnitsDesignTest(false) {}
};

}  // namespace

TEST_F(MetricDesign, GableRoofGetsThePitchThePaneShowsPerTen) {
  expectGableRoofBuiltAsShown("8", ": 10");
}

TEST_F(ImperialDesign, GableRoofGetsThePitchThePaneShowsPerTwelve) {
  expectGableRoofBuiltAsShown("10", ": 12");
}
