// The electrical, bath fixture, edging and wall dimension panes, driven through the dock.
// The model's records name a field like a Qt keyword: they come before any Qt header.
#include "model/Attachments.h"

#include <QComboBox>

#include "InspectorTestSupport.h"
#include "inspectors/ValueFields.h"
#include "model/PlanarTransforms.h"
#include "model/WallFields.h"
#include "tools/Components.h"
#include "tools/SiteTools.h"

namespace {

class FixtureInspectorsTest : public InspectorTest {
 protected:
  void afterDocument() override {
    InspectorTest::afterDocument();
    savedEdgingFlag = gEdgingStyleFlag;
  }
  void TearDown() override {
    gEdgingStyleFlag = savedEdgingFlag;
    InspectorTest::TearDown();
  }

  std::string shownLength(float inches) {
    QLineEdit scratch;
    SetFloatItem(&scratch, inches);
    return scratch.text().toStdString();
  }
  float plan(float inches) { return ConvertWorldToScreen(inches, ds, 0); }

  // A wall along z = zLine from x 0 to 2000, its points unselected.
  Objex* addWall(float zLine = 0) {
    Objex* wall = add(kObjWall, {{0, zLine}, {2000, zLine}}, false, false);
    wall->width = 6;
    return wall;
  }
  // A component of the subtype hung on the wall's first segment, centred `at` from its start,
  // `length` by `depth` plan units; its own points selected unless told otherwise.
  Objex* addFixture(Objex* wall, int32_t subtype, float at, float length, float depth, bool selected = true) {
    Objex* c = add(kObjComponent, {{at - length / 2, 0}, {at + length / 2, 0}, {at, depth}}, true, selected, wall);
    c->subtype = subtype;
    auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    data->ownerType = kObjComponent;
    data->anchorStart = wall->firstPoint;
    data->anchorEnd = wall->firstPoint->next;
    data->startDistance = at;
    data->width = length;
    data->height = depth;
    c->typeData = data;
    return c;
  }
  DoorWindowData* record(Objex* o) { return AttachmentData(o); }

  uint8_t savedEdgingFlag = 1;
};

TEST_F(FixtureInspectorsTest, ElectricalPopUpsKeepTheVariantOnly) {
  struct Row {
    int16_t tool;
    const char* pane;
    const char* popUp;
    int32_t DocState::*field;
  };
  const Row rows[] = {
      {7101, "Recept1Inspector", "receptStylePopUpButton", &DocState::receptacleStyle1},
      {7102, "Recept2Inspector", "receptStylePopUpButton", &DocState::receptacleStyle2},
      {7104, "Recept2Inspector", "receptStylePopUpButton", &DocState::receptacleStyle2},
      {7106, "Switch1Inspector", "switchStylePopUpButton", &DocState::switchStyle1},
      {7107, "Switch2Inspector", "switchStylePopUpButton", &DocState::switchStyle2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tool);
    ds->*row.field = 8;
    gCurTool = row.tool;
    update();
    EXPECT_EQ(shownName(), row.pane);
    EXPECT_EQ(control<QComboBox>(row.popUp)->currentData().toInt(), 8);
    mark();
    chooseTag(row.popUp, 10);
    EXPECT_EQ(ds->*row.field, 10);
    EXPECT_EQ(stepsSinceMark(), Steps{});
    // The pane shows the default again when it is filled anew.
    ds->*row.field = 9;
    update();
    EXPECT_EQ(control<QComboBox>(row.popUp)->currentData().toInt(), 9);
  }
  // What the placement tools make of the tags.
  struct Made {
    uint16_t tool;
    int32_t tag;
    int32_t subtype;
  };
  const Made made[] = {{7101, 9, 66}, {7101, 10, 67}, {7101, 8, 65}, {7107, 9, 78}, {7107, 8, 77}, {7107, 10, 77}};
  for (const Made& m : made) {
    ds->receptacleStyle1 = ds->switchStyle2 = m.tag;
    EXPECT_EQ(WallComponentForTool(m.tool).kind, m.subtype) << m.tool << " tag " << m.tag;
  }
}

TEST_F(FixtureInspectorsTest, BathFixtureSizesWalkTheWallsAndKeepTheDefault) {
  struct Row {
    int16_t tool;
    int32_t subtype;
    const char* pane;
    const char* lengthField;
    const char* widthField;
    const char* lengthLabel;
    const char* widthLabel;
    float DocState::*lengthDefault;
    float DocState::*widthDefault;
  };
  const Row rows[] = {
      {7208, 95, "BathTubInspector", "tubLengthText", "tubWidthText", "Bath Tub Length", "Bath Tub Width",
       &DocState::bathTubSetting1, &DocState::bathTubSetting2},
      {7209, 96, "SpaTubInspector", "spaLengthText", "spaWidthText", "Spa Tub Length", "Spa Tub Width",
       &DocState::spaTubSetting1, &DocState::spaTubSetting2},
      {7210, 97, "ShowerInspector", "showerLengthText", "showerWidthText", "Shower Length", "Shower Width",
       &DocState::showerSetting1, &DocState::showerSetting2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pane);
    Objex* wall = addWall(static_cast<float>(row.subtype) * 10);
    Objex* a = addFixture(wall, row.subtype, 500, plan(60), plan(30));
    Objex* b = addFixture(wall, row.subtype, 1200, plan(60), plan(32));
    Objex* other = addFixture(wall, row.subtype, 1700, plan(60), plan(30), false);
    update();
    EXPECT_EQ(shownName(), row.pane);
    EXPECT_EQ(text(row.lengthField), shownLength(60));
    EXPECT_EQ(text(row.widthField), "");

    // The length every selected fixture has, but not the default: the step and the default.
    ds->*row.lengthDefault = 50;
    mark();
    type(row.lengthField, "60");
    EXPECT_EQ(ds->*row.lengthDefault, 60);
    EXPECT_EQ(stepsSinceMark(), (Steps{row.lengthLabel}));
    // The same value again stores nothing.
    mark();
    type(row.lengthField, "60");
    EXPECT_EQ(stepsSinceMark(), Steps{});

    type(row.widthField, "34");
    EXPECT_FLOAT_EQ(record(a)->height, plan(34));
    EXPECT_FLOAT_EQ(record(b)->height, plan(34));
    EXPECT_FLOAT_EQ(record(other)->height, plan(30));
    EXPECT_EQ(ds->*row.widthDefault, 34);
    EXPECT_EQ(text(row.widthField), shownLength(34));

    // Both open bounds are refused (an emptied field too) and the field shows the tool
    // default again, not the fixtures' length; nothing changes and no step is stored.
    ds->*row.lengthDefault = 55;
    mark();
    for (const char* refused : {"10000", "0.01", "0", ""}) {
      type(row.lengthField, refused);
      EXPECT_EQ(text(row.lengthField), shownLength(55)) << refused;
      EXPECT_FLOAT_EQ(record(a)->width, plan(60));
    }
    EXPECT_EQ(ds->*row.lengthDefault, 55);
    EXPECT_EQ(stepsSinceMark(), Steps{});

    // The tool shows and sets the defaults.
    for (Objex* c = wall->firstChild; c; c = c->next)
      for (Poinz* p = c->firstPoint; p; p = p->next) p->selected = 0;
    gCurTool = row.tool;
    update();
    EXPECT_EQ(shownName(), row.pane);
    EXPECT_EQ(text(row.widthField), shownLength(34));
    type(row.widthField, "40");
    EXPECT_EQ(ds->*row.widthDefault, 40);
    gCurTool = kToolSelection;
  }
}

TEST_F(FixtureInspectorsTest, CurvedEdgingSmoothsOnlyTheStraightOnes) {
  Objex* straight = add(kObjEdging, {{0, 0}, {100, 50}, {200, 0}});
  Objex* curved = add(kObjEdging, {{0, 300}, {100, 350}, {200, 300}});
  straight->extraFlags = 1;
  curved->extraFlags = 0;
  Poinz* curvedMiddle = curved->firstPoint->next;
  curvedMiddle->inHandle[0] = curvedMiddle->outHandle[0] = 7;
  update();
  EXPECT_EQ(shownName(), "EdgingInspector");
  EXPECT_EQ(control<InspectorMatrix>("edgingStyleButtons")->selectedTag(), -1);
  gEdgingStyleFlag = 0;
  ServiceCallRecorder calls;
  mark();
  chooseCell("edgingStyleButtons", 0);
  EXPECT_EQ(straight->extraFlags, 0);
  EXPECT_NE(straight->firstPoint->next->outHandle[0], 0);
  EXPECT_EQ(curvedMiddle->outHandle[0], 7);
  EXPECT_TRUE(calls.called("UpdateEdgingObject", straight->objectID));
  EXPECT_FALSE(calls.called("UpdateEdgingObject", curved->objectID));
  EXPECT_EQ(stepsSinceMark(), (Steps{"Edging Style"}));

  // Straight again: the handles go; the tool's flag follows.
  chooseCell("edgingStyleButtons", 1);
  EXPECT_EQ(straight->firstPoint->next->outHandle[0], 0);
  EXPECT_EQ(curvedMiddle->outHandle[0], 0);
  EXPECT_EQ(gEdgingStyleFlag, 1);

  for (Objex* o : {straight, curved})
    for (Poinz* p = o->firstPoint; p; p = p->next) p->selected = 0;
  gCurTool = 7504;
  update();
  EXPECT_EQ(shownName(), "EdgingInspector");
  EXPECT_EQ(control<InspectorMatrix>("edgingStyleButtons")->selectedTag(), 1);
  mark();
  chooseCell("edgingStyleButtons", 0);
  EXPECT_EQ(gEdgingStyleFlag, 0);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Edging Style"}));
}

TEST_F(FixtureInspectorsTest, ReChoosingAWallDimensionMethodMeasuresAgain) {
  Objex* wall = addWall(0);
  addWall(300);
  addWall(-300);
  Objex* dim = addFixture(wall, kSubDimensionAttachment, 1000, 2, 50);
  for (Poinz* p = dim->firstPoint; p; p = p->next) WallOptionOf(p) = 1;
  update();
  EXPECT_EQ(shownName(), "WallDimInspector");
  EXPECT_EQ(control<InspectorMatrix>("dimensionFromButtons")->selectedTag(), 1);
  ds->wallDimensionFrom = 1;
  record(dim)->height = 1;  // stale: the method chosen again measures it anew
  mark();
  chooseCell("dimensionFromButtons", 1);
  EXPECT_GT(record(dim)->height, 100);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Wall Dimension Method"}));
  const float toFace = record(dim)->height;
  chooseCell("dimensionFromButtons", 0);
  for (Poinz* p = dim->firstPoint; p; p = p->next) EXPECT_EQ(WallOptionOf(p), 0);
  EXPECT_GT(record(dim)->height, toFace);
  EXPECT_EQ(ds->wallDimensionFrom, 0);

  // Two dimensions of different methods show no cell; the tool shows its default.
  Objex* second = addFixture(wall, kSubDimensionAttachment, 1500, 2, 50);
  WallOptionOf(second->firstPoint) = 1;
  update();
  EXPECT_EQ(control<InspectorMatrix>("dimensionFromButtons")->selectedTag(), -1);
  for (Objex* o : {dim, second})
    for (Poinz* p = o->firstPoint; p; p = p->next) p->selected = 0;
  gCurTool = 208;
  update();
  EXPECT_EQ(shownName(), "WallDimInspector");
  EXPECT_EQ(control<InspectorMatrix>("dimensionFromButtons")->selectedTag(), 0);
  // With no dimension selected the tool's default alone changes: no step holds it.
  mark();
  chooseCell("dimensionFromButtons", 0);
  chooseCell("dimensionFromButtons", 1);
  EXPECT_EQ(ds->wallDimensionFrom, 1);
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

}  // namespace
