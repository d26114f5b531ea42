// The planting age, growth projection and plant fill sheets, opened from their menu items.
// Model headers first: they name fields like the Qt keyword macros.
#include "model/PlanarTransforms.h"
#include "model/Plants.h"
#include "model/Services.h"
#include "model/SymEntryInfo.h"
#include "tools/PlantFill.h"

#include <QCheckBox>

#include "content/ContentCategoryItem.h"
#include "content/ContentPaletteController.h"
#include "inspectors/PlantFillController.h"
#include "inspectors/PlantSheets.h"
#include "files/Undo.h"
#include "inspectors/SheetTestSupport.h"

namespace {

class PlantSheets : public SheetTest {
 protected:
  Objex* addPlant(bool selected) {
    RGBColor black{};
    Objex* p = CreateObject(kObjPlant, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr);
    const float corners[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    for (const auto& c : corners)
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, c[0], 0, c[1], 0, 0, 0, 0, 0, 0, p), p);
    p->plantAge = 1;
    AppendObjectToLayer(p, model->itsCurLayer);
    if (selected) SelectObj(p, kSelectOn, 1);
    return p;
  }
};

TEST_F(PlantSheets, PlantingAgeIsClampedAndAlwaysStored) {
  Objex* chosen = addPlant(true);
  Objex* other = addPlant(false);
  struct Case {
    const char* typed;
    int16_t age;
  } cases[] = {{"25", 20}, {"-3", 0}, {"7", 7}, {"20", 20}};
  for (const Case& c : cases) {
    choose(kTagSetPlantingAge);
    auto* s = sheet<PlantingAgeController>();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->plantAgeText->text().toStdString(), "0");
    s->plantAgeText->setText(QString::fromLatin1(c.typed));
    ok();
    EXPECT_EQ(chosen->fillPattern, c.age) << c.typed;
    EXPECT_EQ(lastUndo(), "Planting Age");
  }
  EXPECT_EQ(other->fillPattern, 0);
  // Nothing selected: the step is stored all the same.
  SelectAllLayers(model->itsLayers, kSelectOff, 1);
  doc->undoManager().removeAllActions();
  choose(kTagSetPlantingAge);
  ok();
  EXPECT_EQ(lastUndo(), "Planting Age");
}

TEST_F(PlantSheets, GrowthProjectionStoresTheLevelsOfItsYears) {
  EXPECT_EQ(MaximumPlantAgeForProjection(0), 5);
  EXPECT_EQ(MaximumPlantAgeForProjection(1), 5);
  EXPECT_EQ(MaximumPlantAgeForProjection(2), 5);
  EXPECT_EQ(MaximumPlantAgeForProjection(50), 53);
  EXPECT_EQ(MaximumPlantAgeForProjection(80), 53);
  model->itsMaximumPlantAge = 13;
  choose(kTagSetPlantGrowthProjection);
  auto* s = sheet<PlantGrowthProjController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->maxAgeText->text().toStdString(), "10");
  ok();
  EXPECT_FALSE(anyUndo());
  struct Case {
    const char* typed;
    int16_t most;
  } cases[] = {{"0", 5}, {"1", 5}, {"50", 53}, {"80", 53}, {"7", 10}, {"70000", 53}};
  for (const Case& c : cases) {
    model->itsMaximumPlantAge = 13;
    choose(kTagSetPlantGrowthProjection);
    sheet<PlantGrowthProjController>()->maxAgeText->setText(QString::fromLatin1(c.typed));
    ok();
    EXPECT_EQ(model->itsMaximumPlantAge, c.most) << c.typed;
    EXPECT_EQ(lastUndo(), "Plant Growth Projection");
  }
}

TEST_F(PlantSheets, FillWithoutAPlantSaysSoAndWithOneFillsEverySelectedObject) {
  RecordingAlertPresenter alerts;
  SetAlertPresenter(&alerts);
  ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController();
  ASSERT_NE(palette, nullptr);
  const uint8_t area = gFillArea, perimeter = gFillPerimeter;
  const float spacing = gPlantSpacing;
  if (!palette->selectedSymEntry()) {
    choose(kTagFillObjectWithPlants);
    EXPECT_EQ(sheet<PlantFillController>(), nullptr);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, "No plant selected.");
    EXPECT_EQ(alerts.shown[0].informative, "You must select a plant before attempting to use this feature.");
    EXPECT_EQ(palette->selectedCategory(), kCategoryPlants);
  }
  // The sheet itself: the options and spacing are kept and bad spacings clamped; with nothing
  // selected that takes plants, it says so and stores no step.
  alerts.shown.clear();
  PlantFillController::newPlantFillSheetForParent(window);
  auto* s = sheet<PlantFillController>();
  ASSERT_NE(s, nullptr);
  s->fillAreaButton->setChecked(false);
  s->fillPerimeterButton->setChecked(true);
  s->spacingText->setText("5000");
  ok();
  EXPECT_EQ(gFillArea, 0);
  EXPECT_EQ(gFillPerimeter, 1);
  EXPECT_FLOAT_EQ(gPlantSpacing, 3000);
  EXPECT_FALSE(anyUndo());
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "The selection cannot be filled with plants.");
  PlantFillController::newPlantFillSheetForParent(window);
  s = sheet<PlantFillController>();
  ASSERT_NE(s, nullptr);
  EXPECT_FALSE(s->fillAreaButton->isChecked());
  EXPECT_FLOAT_EQ(GetFloatItem(s->spacingText), 3000);
  s->spacingText->setText("0.5");
  ok();
  EXPECT_FLOAT_EQ(gPlantSpacing, 1);
  // A spacing that is no number, or none at all, is refused with the typed-value alert:
  // nothing is planted, no undo step is stored and the options stay as they were.
  for (const char* typed : {"abc", "nan", "", "inf", "1e30", "5 1/0"}) {
    PlantFillController::newPlantFillSheetForParent(window);
    s = sheet<PlantFillController>();
    ASSERT_NE(s, nullptr);
    s->fillAreaButton->setChecked(true);
    s->spacingText->setText(typed);
    alerts.shown.clear();
    StoreUndo("Mark");
    ok();
    EXPECT_FLOAT_EQ(gPlantSpacing, 1) << typed;
    EXPECT_EQ(gFillArea, 0) << typed;
    EXPECT_EQ(lastUndo(), "Mark") << typed;
    ASSERT_EQ(alerts.shown.size(), 1u) << typed;
    EXPECT_EQ(alerts.shown[0].message, "Invalid number entered.") << typed;
  }
  // The spacing shown and left as it is keeps the stored one (nothing is refused but the
  // selection).
  PlantFillController::newPlantFillSheetForParent(window);
  s = sheet<PlantFillController>();
  ASSERT_NE(s, nullptr);
  alerts.shown.clear();
  ok();
  EXPECT_FLOAT_EQ(gPlantSpacing, 1);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "The selection cannot be filled with plants.");
  // An open object under the context click cannot be filled inside.
  Objex* line = AddPlanLine(model->itsCurLayer, 0, 0, 100, 0);
  gFillArea = 1;
  PlantFillController::newPlantFillSheetForParent(window, line);
  s = sheet<PlantFillController>();
  ASSERT_NE(s, nullptr);
  EXPECT_FALSE(s->fillAreaButton->isEnabled());
  EXPECT_FALSE(s->fillAreaButton->isChecked());
  cancel();
  gFillArea = area;
  gFillPerimeter = perimeter;
  gPlantSpacing = spacing;
  SetAlertPresenter(nullptr);
}

// Fill Object with Plants on a closed edging, the usual outline of a bed, which takes no
// plants: it says why, plants nothing, stores no step and leaves the design unchanged. The
// same outline as a ground fill region is filled under one step that Undo takes back; an open
// line filled inside only plants nothing and says so. The spacing is typed in the design's
// units, imperial and metric.
TEST_F(PlantSheets, AFillOfWhatTakesNoPlantsSaysWhyAndStoresNothing) {
  RecordingAlertPresenter alerts;
  SetAlertPresenter(&alerts);
  // A stock plant chosen in the content palette.
  const auto paletteEntry = gContentServices.selectedSymEntry;
  gContentServices.selectedSymEntry = [] {
    static SymEntryInfo plant;
    plant.type = kEntryPlant;
    plant.textureID = 3000;
    return &plant;
  };
  const uint8_t area = gFillArea, perimeter = gFillPerimeter;
  const float spacing = gPlantSpacing;
  auto plants = [this] {
    int n = 0;
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next) n += o->type == kObjPlant;
    return n;
  };
  auto fill = [&](const char* typed, bool outline) {
    alerts.shown.clear();
    PlantFillController::newPlantFillSheetForParent(window);
    auto* s = sheet<PlantFillController>();
    ASSERT_NE(s, nullptr);
    s->fillAreaButton->setChecked(true);
    s->fillPerimeterButton->setChecked(outline);
    s->spacingText->setText(typed);
    ok();
  };
  for (const bool metric : {false, true}) {
    SCOPED_TRACE(metric ? "metric" : "imperial");
    DocState* ds = model->itsDocState;
    ds->measureSystem = metric ? kMeasureMetric : kMeasureImperial;
    if (metric) SetDocStateMetricDefaults(ds);
    // A bed 2.4 m square, selected alone.
    const float side = ConvertWorldToScreen(94.488f, ds, 0);
    RGBColor black{};
    Objex* bed = CreateObject(kObjEdging, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr);
    for (auto [x, z] : {std::pair{0.0f, 0.0f}, {side, 0.0f}, {side, side}, {0.0f, side}})
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, bed), bed);
    bed->closed = 1;
    AppendObjectToLayer(bed, model->itsCurLayer);
    UpdateObjectBounds(bed);
    SelectAllLayers(model->itsLayers, kSelectOff, 1);
    SelectObj(bed, kSelectOn, 1);
    InitializeUndo();
    model->itsEdited = false;
    const int before = plants();
    const char* const spaced = metric ? "60 cm" : "24";

    fill(spaced, true);
    EXPECT_EQ(plants(), before);
    EXPECT_FALSE(anyUndo());
    EXPECT_FALSE(model->itsEdited);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, "The selection cannot be filled with plants.");

    bed->type = kObjGroundFill;
    InitializeUndo();
    fill(spaced, true);
    // 4 per side along the outline, 4 by 4 inside.
    EXPECT_EQ(plants(), before + 32);
    EXPECT_EQ(lastUndo(), "Fill Object with Plants");
    EXPECT_TRUE(model->itsEdited);
    EXPECT_TRUE(alerts.shown.empty());
    doc->undoManager().undo();
    EXPECT_EQ(plants(), before);

    // An open line, filled inside only: it has no inside.
    Objex* edge = AddPlanLine(model->itsCurLayer, 0, -side, side, -side);
    SelectAllLayers(model->itsLayers, kSelectOff, 1);
    SelectObj(edge, kSelectOn, 1);
    model->itsEdited = false;
    const std::string named = lastUndo();
    fill(spaced, false);
    EXPECT_EQ(plants(), before);
    EXPECT_EQ(lastUndo(), named);
    EXPECT_FALSE(model->itsEdited);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, "No plants were planted.");
  }
  gFillArea = area;
  gFillPerimeter = perimeter;
  gPlantSpacing = spacing;
  gContentServices.selectedSymEntry = paletteEntry;
  SetAlertPresenter(nullptr);
}

}  // namespace
