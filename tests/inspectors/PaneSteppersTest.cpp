// The panes' steppers in a metric design: arrows only, beside the fields that show their
// values in metric units.
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QTest>

#include "InspectorTestSupport.h"
#include "model/HitTest.h"
#include "model/ToolCodes.h"

namespace {

class MetricPanes : public InspectorTest {
 protected:
  void beforeDocument() override {
    InspectorTest::beforeDocument();
    gDefaultToImperial = 0;
  }
  void afterDocument() override {
    InspectorTest::afterDocument();
    ASSERT_EQ(ds->measureSystem, 4);
  }
  void afterClosing() override { gDefaultToImperial = 1; }
};

}  // namespace

// Every stepper of the panes that show one, for a tool and for a selected object.
TEST_F(MetricPanes, SteppersShowNoInchOrPerTwelveValue) {
  struct Case {
    const char* pane;
    int16_t tool;
    int16_t selectedType;
  };
  const Case cases[] = {
      {"WallToolInspector", kToolExteriorWall, 0},   {"Roof1Inspector", kToolGableRoof, 0},
      {"Roof2Inspector", kToolFreehandRoof, 0},      {"DetailTool1Inspector", 7700, 0},
      {"DetailTool2Inspector", 7706, 0},             {"WallObjectInspector", kToolSelection, kObjWall},
      {"Roof1Inspector", kToolSelection, kObjRoof},  {"Roof2Inspector", kToolSelection, kObjRoofPanel},
      {"DetailObjectInspector", kToolSelection, kObjDetail},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pane);
    SelectAllLayers(model->itsLayers, kSelectOff, 0);
    if (c.selectedType) {
      Objex* o = addSquare(c.selectedType);
      o->width = c.selectedType == kObjWall ? 30 / 2.54f : 7;
    }
    gCurTool = c.tool;
    update();
    ASSERT_EQ(shownName(), c.pane);
    const auto steppers = shown()->findChildren<QAbstractSpinBox*>();
    EXPECT_FALSE(steppers.isEmpty());
    for (QAbstractSpinBox* s : steppers) {
      EXPECT_EQ(s->text().toStdString(), "") << s->objectName().toStdString();
      // Nothing can be typed into it: the field beside is where values are typed.
      auto* stepper = qobject_cast<QDoubleSpinBox*>(s);
      ASSERT_NE(stepper, nullptr) << s->objectName().toStdString();
      const double value = stepper->value();
      QTest::keyClicks(s, "12");
      EXPECT_EQ(s->text().toStdString(), "") << s->objectName().toStdString();
      EXPECT_EQ(stepper->value(), value);
      // No blank box of its own row: the arrows alone, on the row of the field they step.
      EXPECT_LE(s->width(), 24) << s->objectName().toStdString();
      const auto besides = s->parentWidget()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
      EXPECT_EQ(besides.size(), 1) << s->objectName().toStdString();
      // Stepping still reaches the value, which the field beside shows in metric units.
      if (s->objectName() == QLatin1String("wallThicknessStepper") && c.tool == kToolExteriorWall) {
        const float before = ds->wallThickness;
        s->stepUp();
        EXPECT_GT(ds->wallThickness, before);
        const std::string shownThickness = text("wallThicknessText");
        EXPECT_NE(shownThickness.find("mm"), std::string::npos) << shownThickness;
        EXPECT_EQ(s->text().toStdString(), "");
      }
    }
  }
}
