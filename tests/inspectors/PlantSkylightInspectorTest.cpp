// The plant and skylight panes: planting ages and their bounds, skylight styles and the
// rules of their fields, the tool's defaults and the custom style's palette lock.
// Model headers first: they name fields like the Qt keyword macros.
#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "model/Plants.h"
#include "model/ToolCodes.h"

#include <QListWidget>
#include <cstdlib>

#include "InspectorTestSupport.h"
#include "content/ContentPaletteController.h"
#include "inspectors/SkylightInspectorController.h"

namespace {

class PlantSkylightInspectorTest : public InspectorTest {
 protected:
  Objex* addPlant(int16_t age, bool selected = true) {
    Objex* p = add(kObjPlant, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true, selected);
    p->fillPattern = age;
    p->plantAge = 1;
    p->plantInfo = static_cast<PlantInfo*>(calloc(1, sizeof(PlantInfo)));
    p->plantInfo->annualGrowthRate = 20;
    p->plantInfo->maximumGrowthHeight = 600;
    p->bounds3D.floatLeft = 0;
    p->bounds3D.floatRight = 10;
    p->bounds3D.floatFront = 10;
    return p;
  }
  Objex* addSkylight(Objex* roof, int16_t subtype, bool selected = true) {
    Objex* s = add(kObjSkylight, {{10, 10}, {20, 10}, {20, 20}, {10, 20}}, true, selected, roof);
    auto* r = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
    r->ownerType = kObjSkylight;
    r->subtype = subtype;
    r->width() = ConvertWorldToScreen(30, ds, 0);
    r->height() = ConvertWorldToScreen(40, ds, 0);
    r->trimWidth() = ConvertWorldToScreen(2, ds, 0);
    s->typeData = r;
    return s;
  }
  bool enabled(const char* name) { return control<QWidget>(name) && control<QWidget>(name)->isEnabled(); }
  int selectedRow() {
    QListWidget* t = control<QListWidget>("skylightStyleTableView");
    return t && !t->selectedItems().isEmpty() ? t->row(t->selectedItems().first()) : -1;
  }
  void chooseRow(int row) {
    if (QListWidget* t = control<QListWidget>("skylightStyleTableView")) t->setCurrentRow(row);
  }
};

}  // namespace

TEST_F(PlantSkylightInspectorTest, PlantingAgesFromZeroToTwentyAreAccepted) {
  Objex* a = addPlant(3);
  Objex* b = addPlant(5);
  Objex* other = addPlant(7, false);
  update();
  ASSERT_EQ(shownName(), "PlantInspector");
  EXPECT_EQ(text("plantAgeText"), "");  // mixed ages
  // A refused age on the mixed field shows the first plant's age and changes nothing.
  for (const char* refused : {"21", "-1", "abc", ""}) {
    update();
    type("plantAgeText", QString::fromLatin1(refused));
    EXPECT_EQ(text("plantAgeText"), "3") << refused;
    EXPECT_EQ(a->fillPattern, 3) << refused;
    EXPECT_EQ(b->fillPattern, 5) << refused;
  }
  struct Row {
    const char* typed;
    int16_t stored;
    const char* shown;
  } rows[] = {{"20", 20, "20"}, {"21", 20, "20"}, {"-1", 20, "20"}, {"0", 0, "0"}, {"abc", 0, "0"}};
  for (const Row& r : rows) {
    type("plantAgeText", QString::fromLatin1(r.typed));
    EXPECT_EQ(a->fillPattern, r.stored) << r.typed;
    EXPECT_EQ(b->fillPattern, r.stored) << r.typed;
    EXPECT_EQ(text("plantAgeText"), r.shown) << r.typed;
  }
  EXPECT_EQ(other->fillPattern, 7);
  // A changed age resizes the plant at once: age 0, growth 1, rate 20 gives a width of 12.24.
  float right = -1e9f;
  for (Poinz* p = a->firstPoint; p; p = p->next) right = std::max(right, p->position[0]);
  EXPECT_NEAR(right - a->firstPoint->position[0], 12.24f, 1e-3f);
  mark();
  type("plantAgeText", "0");  // every plant has it already
  EXPECT_TRUE(stepsSinceMark().empty());
  type("plantAgeText", "4");
  EXPECT_EQ(stepsSinceMark(), Steps{"Age Planted"});
}

TEST_F(PlantSkylightInspectorTest, SkylightStylesShowTheirRowsAndHeightRule) {
  Objex* roof = add(kObjRoof, {{0, 0}, {300, 0}, {300, 300}, {0, 300}}, true, false);
  addSkylight(roof, 801);
  update();
  ASSERT_EQ(shownName(), "SkylightInspector");
  QListWidget* t = control<QListWidget>("skylightStyleTableView");
  ASSERT_EQ(t->count(), 4);
  for (int row = 0; row < 4; ++row) {
    EXPECT_FALSE(t->item(row)->icon().isNull());
    EXPECT_EQ(t->item(row)->data(Qt::UserRole).toString().toStdString(), "SkylightStyle" + std::to_string(row + 1));
  }
  EXPECT_EQ(selectedRow(), 1);
  EXPECT_EQ(gSkylightPropertiesStyle, 1);
  EXPECT_FALSE(enabled("skylightHeightText"));
  EXPECT_TRUE(enabled("skylightWidthText"));
  EXPECT_EQ(GetFloatItem(field("skylightWidthText")), 30);
  EXPECT_EQ(GetFloatItem(field("skylightTrimText")), 2);
  // A refused width (an emptied field too) shows the tool default again, not the
  // skylight's width: nothing changes and no step is stored.
  auto* record = static_cast<RoofAttachmentData*>(roof->firstChild->typeData);
  ds->skylightWidth = 36;
  mark();
  for (const char* refused : {"0.01", "10000", "wide", ""}) {
    type("skylightWidthText", refused);
    EXPECT_EQ(GetFloatItem(field("skylightWidthText")), 36) << refused;
  }
  EXPECT_FLOAT_EQ(record->width(), ConvertWorldToScreen(30, ds, 0));
  EXPECT_EQ(ds->skylightWidth, 36);
  EXPECT_EQ(stepsSinceMark(), Steps{});

  // Rectangular and elliptical together: no row and nothing to edit.
  Objex* roof2 = add(kObjRoof, {{400, 0}, {700, 0}, {700, 300}, {400, 300}}, true, false);
  roof->firstChild->firstPoint->selected = 0;
  for (Poinz* p = roof->firstChild->firstPoint; p; p = p->next) p->selected = 0;
  addSkylight(roof2, 800);
  addSkylight(roof2, 802);
  update();
  EXPECT_EQ(selectedRow(), -1);
  EXPECT_EQ(gSkylightPropertiesStyle, -1);
  for (const char* f : {"skylightWidthText", "skylightHeightText", "skylightTrimText"}) EXPECT_FALSE(enabled(f)) << f;

  struct Pair {
    int subtype, row;
  };
  for (const Pair& p : {Pair{800, 0}, Pair{801, 1}, Pair{802, 2}, Pair{806, 3}, Pair{803, 0}, Pair{0, 0}})
    EXPECT_EQ(SkylightRowOf(p.subtype), p.row) << p.subtype;
  EXPECT_EQ(SkylightSubtypeOfRow(3), 806);
  EXPECT_EQ(SkylightSubtypeOfRow(4), 0);
}

TEST_F(PlantSkylightInspectorTest, ToolDefaultsBoundsAndTheCustomStyleLock) {
  ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController();
  ASSERT_NE(palette, nullptr);
  gCurTool = kToolSkylight;
  ds->skylightStyle = 801;
  update();
  ASSERT_EQ(shownName(), "SkylightInspector");
  EXPECT_EQ(selectedRow(), 1);
  EXPECT_FALSE(enabled("skylightHeightText"));
  chooseRow(0);
  EXPECT_EQ(ds->skylightStyle, 800);
  EXPECT_TRUE(enabled("skylightHeightText"));

  struct Row {
    const char* field;
    const char* typed;
    float width, height, trim;
  } rows[] = {
      {"skylightWidthText", "40", 40, 56, 3},      {"skylightWidthText", "0.01", 40, 56, 3},
      {"skylightHeightText", "9999", 40, 9999, 3}, {"skylightHeightText", "10000", 40, 9999, 3},
      {"skylightTrimText", "0.5", 40, 9999, 0.5f}, {"skylightTrimText", "-4", 40, 9999, 0.5f},
  };
  ds->skylightWidth = 36;
  ds->skylightHeight() = 56;
  ds->skylightTrimWidth() = 3;
  update();
  for (const Row& r : rows) {
    type(r.field, QString::fromLatin1(r.typed));
    EXPECT_FLOAT_EQ(ds->skylightWidth, r.width) << r.field << " " << r.typed;
    EXPECT_FLOAT_EQ(ds->skylightHeight(), r.height) << r.field << " " << r.typed;
    EXPECT_FLOAT_EQ(ds->skylightTrimWidth(), r.trim) << r.field << " " << r.typed;
  }
  EXPECT_EQ(GetFloatItem(field("skylightHeightText")), 9999);

  chooseRow(3);
  EXPECT_EQ(ds->skylightStyle, 806);
  EXPECT_EQ(palette->selectedCategory(), 8);
  EXPECT_FALSE(palette->categorySelectionAbility());
  chooseRow(2);
  EXPECT_TRUE(palette->categorySelectionAbility());
  gCurTool = kToolSelection;
  update();
}
