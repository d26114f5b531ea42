// The light panes: the fixture light tool, placed fixtures and flood lights, with the
// sliders driven by real mouse events.
// The model's records name a field like a Qt keyword: they come before any Qt header.
#include "model/Attachments.h"

#include <QLabel>
#include <QListWidget>

#include "InspectorTestSupport.h"
#include "SliderTestSupport.h"
#include "inspectors/FloodLightInspectorController.h"
#include "inspectors/LightObjectInspectorController.h"
#include "inspectors/ReleaseSlider.h"

namespace {

class LightInspectorsTest : public InspectorTest {
 protected:
  void afterDocument() override {
    InspectorTest::afterDocument();
    ShowWindowForSliders(window, dock);
  }

  // A placed fixture: a group holding the kind, with one part of the kind type, both with
  // the light settings; the part's points selected unless told otherwise.
  Objex* addFixture(int32_t kind, float x, int32_t dimmer = 63, bool selected = true) {
    Objex* group = add(kObjGroup, {});
    group->textureID = kind;
    Objex* part = add(static_cast<int16_t>(kind), {{x, 0}, {x + 10, 0}, {x + 10, 10}}, true, selected, group);
    for (Objex* o : {group, part}) {
      o->extraLong = 0;     // on
      o->plantAge = 0;      // glows
      o->extraFlags = dimmer;
      o->params[1] = 80;
      o->params[2] = 2;
    }
    part->textureID = 0;  // no ambient light
    return group;
  }
  QCheckBox* box(const char* name) { return control<QCheckBox>(name); }
  QSlider* slider(const char* name) { return control<QSlider>(name); }
  std::string label(const char* name) { return control<QLabel>(name)->text().toStdString(); }
};

TEST_F(LightInspectorsTest, FreshDesignShowsTheToolDefaults) {
  gCurTool = 7109;
  update();
  ASSERT_EQ(shownName(), "LightToolInspector");
  auto* table = control<QListWidget>("lightStyleTableView");
  ASSERT_EQ(table->count(), 3);
  for (int row = 0; row < 3; ++row) EXPECT_FALSE(table->item(row)->icon().isNull());
  EXPECT_EQ(table->currentRow(), 0);
  EXPECT_TRUE(table->item(0)->isSelected());
  EXPECT_TRUE(box("lightOnButton")->isChecked());
  EXPECT_TRUE(box("glowButton")->isChecked());
  EXPECT_FALSE(box("ambientButton")->isChecked());
  EXPECT_EQ(slider("dimmerSlider")->value(), 75);
  EXPECT_EQ(label("dimmerPercentLabel"), "75");
  EXPECT_EQ(slider("radiusSlider")->value(), 20);
  EXPECT_EQ(label("radiusValueLabel"), "20");
  EXPECT_EQ(slider("falloffSlider")->value(), 2);
  EXPECT_EQ(label("falloffValueLabel"), "2");
  for (const char* name : {"glowButton", "ambientButton", "radiusSlider", "falloffSlider", "dimmerSlider"})
    EXPECT_TRUE(control<QWidget>(name)->isEnabled()) << name;

  table->item(1)->setSelected(true);
  EXPECT_EQ(ds->lightType, 150);
  EXPECT_TRUE(box("ambientButton")->isEnabled());
  // The table never lets go of its row.
  table->clearSelection();
  EXPECT_EQ(ds->lightType, 150);
  EXPECT_TRUE(table->item(1)->isSelected());
  table->item(2)->setSelected(true);
  EXPECT_EQ(ds->lightType, 151);

  ds->lightType = 147;
  update();
  EXPECT_TRUE(table->item(0)->isSelected());
  EXPECT_FALSE(box("glowButton")->isEnabled());
  EXPECT_FALSE(box("ambientButton")->isEnabled());
  EXPECT_TRUE(slider("radiusSlider")->isEnabled());
}

TEST_F(LightInspectorsTest, ToolSlidersStoreTheirConvertedValuesAtTheRelease) {
  gCurTool = 7109;
  update();
  QApplication::processEvents();
  mark();
  ASSERT_TRUE(DragSliderTo(slider("dimmerSlider"), 40, [&] {
    EXPECT_EQ(label("dimmerPercentLabel"), "40");
    EXPECT_EQ(ds->lightDimmer, 63);
  }));
  EXPECT_EQ(ds->lightDimmer, 153);
  // Values set at once (a key step or a track click) count as one release each.
  struct Row {
    const char* slider;
    int shown;
    int32_t DocState::*field;
    int32_t stored;
  };
  const Row rows[] = {{"dimmerSlider", 100, &DocState::lightDimmer, 0},
                      {"dimmerSlider", 0, &DocState::lightDimmer, 255},
                      {"radiusSlider", 30, &DocState::lightRadius, 90},
                      {"falloffSlider", 1, &DocState::lightFalloff, 3},
                      {"falloffSlider", 4, &DocState::lightFalloff, 0}};
  for (const Row& row : rows) {
    slider(row.slider)->setValue(row.shown);
    EXPECT_EQ(ds->*row.field, row.stored) << row.slider << " " << row.shown;
  }
  click("ambientButton");
  EXPECT_EQ(ds->lightAmbient, 1);
  click("glowButton");
  EXPECT_EQ(ds->glowFlag, 0);
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

TEST_F(LightInspectorsTest, FixturesShareThePaneAndItsEnabling) {
  Objex* plain = addFixture(80, 0);
  Objex* pool = addFixture(149, 100);
  update();
  ASSERT_EQ(shownName(), "LightObjectInspector");
  EXPECT_FALSE(box("ambientButton")->isEnabled());  // the second one disables it
  EXPECT_TRUE(box("glowButton")->isEnabled());
  EXPECT_TRUE(slider("radiusSlider")->isEnabled());

  for (Objex* g : {plain, pool})
    for (Poinz* p = g->firstChild->firstPoint; p; p = p->next) p->selected = 0;
  Objex* hanging = addFixture(147, 200);
  update();
  EXPECT_FALSE(box("glowButton")->isEnabled());
  EXPECT_FALSE(box("ambientButton")->isEnabled());
  EXPECT_TRUE(slider("radiusSlider")->isEnabled());
  for (Poinz* p = hanging->firstChild->firstPoint; p; p = p->next) p->selected = 0;
  addFixture(79, 300);
  update();
  EXPECT_FALSE(slider("radiusSlider")->isEnabled());
  EXPECT_FALSE(slider("falloffSlider")->isEnabled());
  EXPECT_TRUE(slider("dimmerSlider")->isEnabled());
}

TEST_F(LightInspectorsTest, DimmerDragEditsEverySelectedFixtureOnce) {
  Objex* a = addFixture(80, 0, 63);
  Objex* b = addFixture(81, 100, 100);
  Objex* untouched = addFixture(80, 200, 63, false);
  update();
  ASSERT_EQ(shownName(), "LightObjectInspector");
  EXPECT_EQ(slider("dimmerSlider")->value(), 0);  // the two differ
  EXPECT_EQ(label("dimmerPercentLabel"), "0");
  b->extraFlags = b->firstChild->extraFlags = 63;
  update();
  EXPECT_EQ(slider("dimmerSlider")->value(), 75);
  QApplication::processEvents();
  mark();
  gRefreshRender = 0;
  ASSERT_TRUE(DragSliderTo(slider("dimmerSlider"), 40, [&] {
    EXPECT_EQ(label("dimmerPercentLabel"), "40");
    EXPECT_EQ(a->extraFlags, 63);
    EXPECT_EQ(stepsSinceMark(), Steps{});
  }));
  for (Objex* o : {a, a->firstChild, b, b->firstChild}) EXPECT_EQ(o->extraFlags, 153);
  EXPECT_EQ(untouched->extraFlags, 63);
  EXPECT_EQ(a->needsRender, 1);
  EXPECT_EQ(gRefreshRender, 1);
  EXPECT_EQ(ds->lightDimmer, 153);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Light Dimmer"}));

  // Ambient lives on the parts: the group's word keeps the kind.
  mark();
  click("ambientButton");
  EXPECT_EQ(a->firstChild->textureID, 1);
  EXPECT_EQ(a->textureID, 80);
  EXPECT_EQ(b->textureID, 81);
  click("lightOnButton");
  EXPECT_EQ(a->extraLong, 1);
  EXPECT_EQ(b->firstChild->extraLong, 1);
  EXPECT_EQ(ds->lightOn, 0);
  click("glowButton");
  EXPECT_EQ(a->plantAge, 1.0f);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Light Switch Glow On/Off", "Light Switch On/Off", "Ambient Light On/Off"}));
}

TEST_F(LightInspectorsTest, SwitchingOffAFloodLightMarksItsWall) {
  Objex* wall = add(kObjWall, {{0, 0}, {1000, 0}}, false, false);
  Objex* flood = add(kObjComponent, {{490, 0}, {510, 0}, {500, 10}}, true, true, wall);
  flood->subtype = 83;
  flood->params[1] = 80;
  flood->params[2] = 2;
  flood->extraFlags = 63;
  update();
  ASSERT_EQ(shownName(), "FloodLightInspector");
  EXPECT_EQ(shown()->findChild<QCheckBox*>(QStringLiteral("ambientButton")), nullptr);
  EXPECT_TRUE(box("lightOnButton")->isChecked());
  wall->needsRender = 0;
  mark();
  click("lightOnButton");
  EXPECT_EQ(flood->extraLong, 1);
  EXPECT_EQ(wall->needsRender, 1);
  EXPECT_EQ(ds->lightOn, 0);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Light Switch On/Off"}));

  for (Poinz* p = flood->firstPoint; p; p = p->next) p->selected = 0;
  gCurTool = 7110;
  ds->lightFalloff = 3;
  update();
  ASSERT_EQ(shownName(), "FloodLightInspector");
  EXPECT_FALSE(box("lightOnButton")->isChecked());
  EXPECT_EQ(slider("falloffSlider")->value(), 1);
  // With nothing selected the step is stored all the same.
  mark();
  slider("radiusSlider")->setValue(10);
  EXPECT_EQ(ds->lightRadius, 70);
  EXPECT_EQ(flood->params[1], 80);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Light Radius"}));
}

TEST_F(LightInspectorsTest, ControlActionsApplyTheirControlsValue) {
  Objex* a = addFixture(80, 0);
  update();
  ASSERT_EQ(shownName(), "LightObjectInspector");
  LightObjectInspectorController* pane = LightObjectInspectorController::sharedInspectorController();
  mark();
  {
    QSignalBlocker block(pane->radiusSlider);
    pane->radiusSlider->setValue(30);
  }
  pane->radiusSliderChanged(false);  // only the label follows
  EXPECT_EQ(label("radiusValueLabel"), "30");
  EXPECT_EQ(a->params[1], 80);
  pane->radiusSliderChanged();
  EXPECT_EQ(a->params[1], 90);
  EXPECT_EQ(a->firstChild->params[1], 90);
  {
    QSignalBlocker block(pane->lightOnButton);
    pane->lightOnButton->setChecked(false);
  }
  pane->lightOnButtonChanged();
  EXPECT_EQ(a->extraLong, 1);
  {
    QSignalBlocker block(pane->ambientButton);
    pane->ambientButton->setChecked(true);
  }
  pane->ambientButtonChanged();
  EXPECT_EQ(a->firstChild->textureID, 1);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Ambient Light On/Off", "Light Switch On/Off", "Light Radius"}));

  // The flood light pane has no ambient switch: its action does nothing.
  mark();
  FloodLightInspectorController::sharedInspectorController()->ambientButtonChanged();
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

}  // namespace
