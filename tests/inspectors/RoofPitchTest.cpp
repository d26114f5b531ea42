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

namespace {

// The pitch and angle fields at each end of their ranges: on the bound, just inside and just
// outside. A refused entry leaves the roof and its 3D as they were.
class RoofPitchBounds : public InspectorTest {};

TEST_F(RoofPitchBounds, PitchAndAngleFieldsAtBothEndsOfTheirRanges) {
  Objex* roof = add(kObjRoof, {{0, 0}, {240, 0}, {240, 120}, {0, 120}}, true);
  roof->width = 6;
  update();
  ASSERT_EQ(shownName(), "Roof1Inspector");
  struct Row {
    const char* field;
    const char* typed;
    bool accepted;
    float pitch;  // stored when accepted
  };
  const Row rows[] = {
      // Typed pitches are rounded to the readout's sixteenths first.
      {"pitchRatioText", "0", true, 0},          {"pitchRatioText", "-0.5", false, 0},
      {"pitchRatioText", "0.5", true, 0.5f},     {"pitchRatioText", "999.5", true, 999.5f},
      {"pitchRatioText", "1000", true, 1000},    {"pitchRatioText", "1000.5", false, 0},
      {"pitchAngleText", "0", true, 0},          {"pitchAngleText", "-0.5", false, 0},
      {"pitchAngleText", "45", true, 12},        {"pitchAngleText", "89.3125", true, 0},
      {"pitchAngleText", "89.32", false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.field << " " << row.typed);
    roof->width = 6;
    update();
    ServiceCallRecorder calls;
    type(row.field, row.typed);
    if (!row.accepted) {
      EXPECT_EQ(roof->width, 6);
      EXPECT_FALSE(calls.called("Update3DRoof", roof->objectID));
      continue;
    }
    if (std::string(row.typed) == "89.3125") EXPECT_GT(roof->width, 900);  // nearly vertical
    else EXPECT_NEAR(roof->width, row.pitch, 0.01f);
    EXPECT_EQ(calls.called("Update3DRoof", roof->objectID), roof->width != 6);
  }
}

}  // namespace
