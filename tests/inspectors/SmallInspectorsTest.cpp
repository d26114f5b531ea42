// The common pattern on the small panes: paths, beams, piers, ducts and 3D objects.
#include "InspectorTestSupport.h"
#include "inspectors/ValueFields.h"
#include "model/Readouts.h"

namespace {

class SmallInspectorsTest : public InspectorTest {
 protected:
  std::string shownLength(float inches) {
    QLineEdit scratch;
    SetFloatItem(&scratch, inches);
    return scratch.text().toStdString();
  }
};

TEST_F(SmallInspectorsTest, ValueAllHaveStoresNothingButEchoesAndBecomesTheDefault) {
  Objex* a = add(kObjAirDuct, {{0, 0}, {100, 0}});
  Objex* b = add(kObjAirDuct, {{0, 50}, {100, 50}});
  a->params[2] = b->params[2] = 12;
  ds->airDuctSetting1 = 12;
  update();
  EXPECT_EQ(shownName(), "AirDuctInspector");
  mark();
  type("ductWidthText", "12");
  EXPECT_EQ(stepsSinceMark(), Steps{});
  EXPECT_EQ(text("ductWidthText"), shownLength(12));
  ds->airDuctSetting1 = 20;
  type("ductWidthText", "1'");
  EXPECT_EQ(ds->airDuctSetting1, 12);
  EXPECT_EQ(text("ductWidthText"), shownLength(12));
  EXPECT_EQ(stepsSinceMark(), (Steps{"HVAC Duct Width"}));
}

TEST_F(SmallInspectorsTest, DifferingValuesBlankAndATypedValueReachesBoth) {
  Objex* a = add(kObjAirDuct, {{0, 0}, {100, 0}});
  Objex* b = add(kObjAirDuct, {{0, 50}, {100, 50}});
  a->params[3] = 20;
  b->params[3] = 20.0004f;
  update();
  EXPECT_EQ(text("ductDepthText"), shownLength(20));
  b->params[3] = 20.0006f;
  update();
  EXPECT_EQ(text("ductDepthText"), "");
  // A refused entry shows the tool default, not the objects' values; an emptied mixed
  // field left empty is refused the same way.
  mark();
  type("ductDepthText", "10000");
  EXPECT_EQ(text("ductDepthText"), shownLength(ds->airDuctSetting2));
  EXPECT_EQ(b->params[3], 20.0006f);
  update();
  type("ductDepthText", "");
  EXPECT_EQ(text("ductDepthText"), shownLength(ds->airDuctSetting2));
  EXPECT_EQ(a->params[3], 20);
  EXPECT_EQ(stepsSinceMark(), Steps{});
  mark();
  type("ductDepthText", "18");
  EXPECT_EQ(a->params[3], 18);
  EXPECT_EQ(b->params[3], 18);
  EXPECT_EQ(stepsSinceMark(), (Steps{"HVAC Duct Depth"}));
}

TEST_F(SmallInspectorsTest, DuctBoundsAndToolDefault) {
  Objex* duct = add(kObjAirDuct, {{0, 0}, {100, 0}});
  duct->params[2] = 12;
  update();
  // Imperial entries round to the readout's precision; millimetres keep hundredths of an inch.
  ds->measureSystem = kMeasureMetric;
  update();
  const std::string before = text("ductWidthText");
  type("ductWidthText", "0.254mm");  // 0.01 inch: the bound itself
  EXPECT_EQ(duct->params[2], 12);
  EXPECT_EQ(text("ductWidthText"), before);
  type("ductWidthText", "0.508mm");  // 0.02 inch
  EXPECT_NEAR(duct->params[2], 0.02, 1e-4);
  ds->measureSystem = kMeasureImperial;

  for (Poinz* p = duct->firstPoint; p; p = p->next) p->selected = 0;
  gCurTool = 7400;
  update();
  EXPECT_EQ(shownName(), "AirDuctInspector");
  mark();
  type("ductDepthText", "30");
  EXPECT_EQ(ds->airDuctSetting2, 30);
  EXPECT_EQ(stepsSinceMark(), (Steps{"HVAC Duct Depth"}));
}

TEST_F(SmallInspectorsTest, PathStyleAndWidth) {
  gCurTool = 7502;
  update();
  EXPECT_EQ(shownName(), "PathwayInspector");
  mark();
  chooseCell("pathStyleButtons", 1);
  EXPECT_EQ(ds->pathStyle, 1);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Pathway Style"}));

  gCurTool = kToolSelection;
  Objex* a = add(kObjPath, {{0, 0}, {100, 0}});
  Objex* b = add(kObjPath, {{0, 50}, {100, 50}});
  a->extraFlags = 0;
  b->extraFlags = 1;
  update();
  EXPECT_EQ(control<InspectorMatrix>("pathStyleButtons")->selectedTag(), -1);
  chooseCell("pathStyleButtons", 0);
  EXPECT_EQ(a->extraFlags, 0);
  EXPECT_EQ(b->extraFlags, 0);
  type("pathWidthText", "48");
  EXPECT_EQ(a->width, 48);
  EXPECT_EQ(b->width, 48);
  EXPECT_EQ(ds->pathWidth, 48);
}

TEST_F(SmallInspectorsTest, BeamAndPierLimits) {
  Objex* beam = add(kObjFoundationBeam, {{0, 0}, {100, 0}});
  beam->params[3] = 12;
  update();
  EXPECT_EQ(shownName(), "StiffenerBeamInspector");
  type("beamWidthText", "50.9");  // kept at the readout's precision
  EXPECT_NEAR(beam->params[3], 50.9, 0.07);
  EXPECT_LT(beam->params[3], 51);
  const float accepted = beam->params[3];
  type("beamWidthText", "51");
  EXPECT_EQ(beam->params[3], accepted);
  EXPECT_EQ(text("beamWidthText"), shownLength(beam->params[3]));
  type("beamDepthText", "10");
  EXPECT_EQ(beam->params[2], 10);

  for (Poinz* p = beam->firstPoint; p; p = p->next) p->selected = 0;
  // The beam tool shows each of its two defaults in its own field.
  ds->beamSetting1 = 14;
  ds->beamSetting2 = 22;
  gCurTool = 7001;
  update();
  EXPECT_EQ(shownName(), "StiffenerBeamInspector");
  EXPECT_EQ(text("beamWidthText"), shownLength(14));
  EXPECT_EQ(text("beamDepthText"), shownLength(22));

  gCurTool = 7002;
  update();
  EXPECT_EQ(shownName(), "FoundationPierInspector");
  mark();
  type("pierDiameterText", "16");
  EXPECT_EQ(ds->pierSetting, 16);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Foundation Pier Diameter"}));
  // A pier keeps the beams' bound: 51 inches is refused, just below it is kept.
  gCurTool = kToolSelection;
  Objex* pier = add(kObjFoundationPier, {{300, 0}});
  pier->params[0] = 16;
  update();
  EXPECT_EQ(shownName(), "FoundationPierInspector");
  type("pierDiameterText", "51");
  EXPECT_EQ(pier->params[0], 16);
  type("pierDiameterText", "50.9");
  EXPECT_NEAR(pier->params[0], 50.9, 0.07);
  EXPECT_LT(pier->params[0], 51);
}

TEST_F(SmallInspectorsTest, ShadowsOfPlacedObjects) {
  Objex* one = add(kObjSymbolPart3D, {{0, 0}, {10, 0}, {10, 10}}, true);
  Objex* two = add(kObjSymbolPart3D, {{50, 0}, {60, 0}, {60, 10}}, true);
  one->options[1] = 0;
  two->options[1] = 1;
  update();
  EXPECT_EQ(shownName(), "ObjectInspector");
  EXPECT_EQ(gCurFormwerkObject, one);
  EXPECT_FALSE(control<QCheckBox>("castShadowsButton")->isChecked());
  mark();
  click("castShadowsButton");
  EXPECT_EQ(one->options[1], 0);
  EXPECT_EQ(two->options[1], 0);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Formwerk Shadow"}));
}

TEST_F(SmallInspectorsTest, GroupedPartSetsGroupAndFirstPart) {
  Objex* group = add(kObjGroup, {}, false, false);
  Objex* first = add(kObjSymbolPart3D, {{0, 0}, {10, 0}, {10, 10}}, true, true, group);
  Objex* second = add(kObjSymbolPart3D, {{0, 0}, {10, 0}, {10, 10}}, true, false, group);
  group->options[1] = 1;
  first->options[1] = 1;
  second->options[1] = 1;
  update();
  EXPECT_EQ(gCurFormwerkObject, group);
  EXPECT_FALSE(control<QCheckBox>("castShadowsButton")->isChecked());
  click("castShadowsButton");
  EXPECT_EQ(group->options[1], 0);
  EXPECT_EQ(first->options[1], 0);
  EXPECT_EQ(second->options[1], 1);
}

}  // namespace
