// The grid sheet's four spacings at and either side of their least and greatest values in
// both unit systems, each stored in its own field, and the change undone and redone.
#include "inspectors/GridPropertiesController.h"
#include "inspectors/SheetTestSupport.h"

namespace {

class GridSpacingBounds : public SheetTest {
 protected:
  GridPropertiesController* open() {
    choose(kTagSetGridProperties);
    return sheet<GridPropertiesController>();
  }
  static QLineEdit* Field(GridPropertiesController* s, int i) {
    QLineEdit* const fields[4] = {s->gridHorSpacingText, s->gridVerSpacingText, s->snapHorSpacingText,
                                  s->snapVerSpacingText};
    return fields[i];
  }
  static float Stored(const DocState* d, int i) {
    const float values[4] = {d->gridSpacing.floatH, d->gridSpacing.floatV, d->gridSnap.floatH, d->gridSnap.floatV};
    return values[i];
  }
};

TEST_F(GridSpacingBounds, EachFieldKeepsWithinItsLeastAndGreatestInBothSystems) {
  struct Row {
    int16_t measure;
    const char* typed;
    float inches;
  };
  // The least spacing is a sixteenth of an inch or a centimetre; the greatest 500 inches.
  const Row rows[] = {
      {kMeasureImperial, "0.05", 0.0625f},   {kMeasureImperial, "0.0625", 0.0625f},
      {kMeasureImperial, "0.125", 0.125f},     {kMeasureImperial, "499", 499},
      {kMeasureImperial, "500", 500},        {kMeasureImperial, "501", 500},
      {kMeasureMetric, "0.9 cm", 0.3937f},   {kMeasureMetric, "1 cm", 0.3937f},
      {kMeasureMetric, "1.1 cm", 0.43307f},  {kMeasureMetric, "1265 cm", 498.0305f},
      {kMeasureMetric, "1270 cm", 499.999f}, {kMeasureMetric, "1280 cm", 500},
  };
  for (const Row& row : rows) {
    ds->measureSystem = row.measure;
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(testing::Message() << row.typed << " in field " << i);
      GridPropertiesController* s = open();
      ASSERT_NE(s, nullptr);
      type(Field(s, i), row.typed);
      ok();
      // Shown to a millimetre or a sixteenth: the stored value is the clamped one as typed.
      EXPECT_NEAR(Stored(ds, i), row.inches, 2e-3f);
      for (int other = 0; other < 4; ++other)
        if (other != i) EXPECT_NE(Stored(ds, other), row.inches) << "field " << other;
      // Back to four values of their own for the next row.
      ds->gridSpacing = {12, 18};
      ds->gridSnap = {2, 3};
    }
  }
}

TEST_F(GridSpacingBounds, FourDifferentSpacingsAreStoredUndoneAndRedone) {
  struct Step {
    const char* typed[4];
    float inches[4];
  };
  struct System {
    int16_t measure;
    Step first, second;
  };
  const System systems[] = {
      {kMeasureImperial, {{"12", "18", "2", "3"}, {12, 18, 2, 3}}, {{"7", "9", "1", "5"}, {7, 9, 1, 5}}},
      {kMeasureMetric,
       {{"30 cm", "45 cm", "5 cm", "8 cm"}, {11.811f, 17.7165f, 1.9685f, 3.1496f}},
       {{"70 cm", "90 cm", "10 cm", "50 cm"}, {27.559f, 35.433f, 3.937f, 19.685f}}},
  };
  auto expectStored = [](const float inches[4]) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(Stored(CurDocState(), i), inches[i], 1e-3f) << "field " << i;
  };
  for (const System& system : systems) {
    SCOPED_TRACE(system.measure);
    CurDocState()->measureSystem = system.measure;
    GridPropertiesController* s = open();
    ASSERT_NE(s, nullptr);
    for (int i = 0; i < 4; ++i) type(Field(s, i), system.first.typed[i]);
    ok();
    expectStored(system.first.inches);
    // The sheet opens on what was stored, each field its own.
    s = open();
    ASSERT_NE(s, nullptr);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(GetFloatItem(Field(s, i)), system.first.inches[i], 0.04f) << i;
    for (int i = 0; i < 4; ++i) Field(s, i)->setText(system.second.typed[i]);  // none left before OK
    ok();
    expectStored(system.second.inches);
    EXPECT_EQ(lastUndo(), "Grid Properties");
    ASSERT_TRUE(doc->undoManager().undo());
    expectStored(system.first.inches);
    ASSERT_TRUE(doc->undoManager().redo());
    expectStored(system.second.inches);
  }
}

}  // namespace
