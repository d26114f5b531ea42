// The wall panes: segments, the style rule, height limits, exterior-only controls, the
// stepper and the tool defaults.
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <iterator>

#include "InspectorTestSupport.h"
#include "files/DocStateBlock.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "inspectors/CeilingBuilderController.h"
#include "inspectors/ValueFields.h"
#include "inspectors/WallObjectInspectorController.h"
#include "app/AppController.h"

// The wall fields under the names the wall code reads them by (the fields of the records).
namespace {
float& WallHeightOf(Poinz* p) { return p->segmentFloats[0]; }
float& PitchAOf(Poinz* p) { return p->segmentFloats[1]; }
float& PitchBOf(Poinz* p) { return p->segmentFloats[2]; }
float& HeightCOf(Poinz* p) { return p->segmentFloats[3]; }
float& HeightDOf(Poinz* p) { return p->segmentFloats[4]; }
int32_t& WallStyleOf(Poinz* p) { return p->segmentLong1; }
int16_t& FlipDimensionOf(Poinz* p) { return p->segmentShort2; }
int32_t& DisplayFlagsOf(Poinz* p) { return p->segmentFlags; }
float& FloorDepthOf(Objex* o) { return o->params[2]; }
float& FoundationWidthOf(Objex* o) { return o->params[3]; }
float& StudSpacingOf(Objex* o) { return o->params[1]; }
uint16_t& NoAutoFloorOf(Objex* o) { return o->options[0]; }
int16_t& NoAutoFloorOf(DocState* ds) { return ds->wallSetting8; }
float& DefaultFloorDepthOf(DocState* ds) { return ds->wallSetting3; }
int32_t& ExteriorWallPlanMaskOf(DocState* ds) { return ds->wallFoundation; }
}  // namespace

namespace {

class WallInspectorTest : public InspectorTest {
 protected:
  Objex* addWall(std::vector<std::pair<float, float>> points, bool closed, bool exterior, bool selected = true) {
    Objex* w = add(kObjWall, std::move(points), closed, selected);
    w->subtype = exterior ? kSubExteriorWall : 0;
    w->width = 4;
    w->planMask = 2;
    for (Poinz* p = w->firstPoint; p; p = p->next) {
      WallHeightOf(p) = 96;
      HeightCOf(p) = 120;
      HeightDOf(p) = 140;
      PitchAOf(p) = 10;
      PitchBOf(p) = 10;
    }
    return w;
  }
  std::string shownLength(float inches) {
    QLineEdit scratch;
    SetFloatItem(&scratch, inches);
    return scratch.text().toStdString();
  }
};

TEST_F(WallInspectorTest, StyleRuleRows) {
  auto row = [](int32_t style) {
    WallStyleFields f = WallStyleRule(style);
    return std::vector<bool>{f.base, f.pitchA, f.pitchB, f.heightC, f.heightD};
  };
  EXPECT_EQ(row(-1), (std::vector<bool>{false, false, false, false, false}));
  EXPECT_EQ(row(0), (std::vector<bool>{true, false, false, false, false}));
  EXPECT_EQ(row(1), (std::vector<bool>{true, true, true, true, false}));
  for (int s : {2, 3}) EXPECT_EQ(row(s), (std::vector<bool>{true, true, false, false, false})) << s;
  for (int s : {8, 9, 10, 11}) EXPECT_EQ(row(s), (std::vector<bool>{true, true, false, true, false})) << s;
  for (int s : {4, 5, 6, 7, 12, 20}) EXPECT_EQ(row(s), (std::vector<bool>{true, true, true, true, true})) << s;
  EXPECT_FALSE(WallHeightsAllowed(5, 97, 120, 100));
  EXPECT_TRUE(WallHeightsAllowed(5, 97, 99, 100));
  EXPECT_FALSE(WallHeightsAllowed(9, 121, 120, 0));
  EXPECT_TRUE(WallHeightsAllowed(1, 500, 0, 0));
}

TEST_F(WallInspectorTest, SegmentsOfAClosedWallAndTheStyleTable) {
  Objex* wall = addWall({{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true, true, false);
  Poinz* first = wall->firstPoint;
  Poinz* last = first->next->next->next;
  first->selected = last->selected = 1;
  WallHeightOf(last) = 80;
  WallStyleOf(last) = 1;
  update();
  EXPECT_EQ(shownName(), "WallObjectInspector");
  EXPECT_EQ(gCurPropertiesObjectCount, 1);
  EXPECT_EQ(text("wallHeightText"), shownLength(80));
  EXPECT_EQ(gWallPropertiesStyle, 1);
  EXPECT_EQ(control<QListWidget>("wallStyleTableView")->currentRow(), 1);
  EXPECT_TRUE(field("wallPitchBText")->isEnabled());
  EXPECT_FALSE(field("wallHeightDText")->isEnabled());

  mark();
  type("wallHeightText", "90");
  EXPECT_EQ(WallHeightOf(last), 90);
  EXPECT_EQ(WallHeightOf(first), 96);
  EXPECT_EQ(ds->wallHeight, 90);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Wall Base Height"}));

  // The table's own choice edits the closing segment; filling it never does.
  update();
  mark();
  control<QListWidget>("wallStyleTableView")->setCurrentRow(0);
  EXPECT_EQ(WallStyleOf(last), 0);
  EXPECT_EQ(WallStyleOf(first), 0);
  EXPECT_EQ(ds->wallStyle, 0);
  EXPECT_FALSE(field("wallPitchAText")->isEnabled());
  EXPECT_EQ(stepsSinceMark(), (Steps{"Wall Style"}));
  update();
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

TEST_F(WallInspectorTest, StyleChosenInTheTableLeavesTheBaseHeightField) {
  // Mixed styles disable every height and pitch field; a row chosen afterwards sets the
  // four fields after the base height by its rule and leaves the base height field alone.
  Objex* a = addWall({{0, 0}, {100, 0}}, false, true);
  Objex* b = addWall({{0, 50}, {100, 50}}, false, true);
  WallStyleOf(b->firstPoint) = 1;
  update();
  EXPECT_EQ(gWallPropertiesStyle, -1);
  EXPECT_FALSE(field("wallHeightText")->isEnabled());
  control<QListWidget>("wallStyleTableView")->setCurrentRow(1);
  EXPECT_EQ(WallStyleOf(a->firstPoint), 1);
  EXPECT_TRUE(field("wallPitchAText")->isEnabled());
  EXPECT_TRUE(field("wallHeightCText")->isEnabled());
  EXPECT_FALSE(field("wallHeightDText")->isEnabled());
  EXPECT_FALSE(field("wallHeightText")->isEnabled());
}

TEST_F(WallInspectorTest, OneSelectedPointEditsNoSegment) {
  Objex* wall = addWall({{0, 0}, {100, 0}}, false, true, false);
  wall->firstPoint->selected = 1;
  auto* pane = WallObjectInspectorController::sharedInspectorController();
  gCurPropertiesObjectCount = 0;
  inspector->swapCurrentViewWithInspectorView(pane->inspectorView());
  pane->updatePropertiesForObject(wall, true);
  EXPECT_EQ(gCurPropertiesObjectCount, 0);
  EXPECT_EQ(text("wallHeightText"), "");
  mark();
  type("wallHeightText", "100");
  EXPECT_EQ(WallHeightOf(wall->firstPoint), 96);
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

TEST_F(WallInspectorTest, ExteriorAndInteriorTogether) {
  Objex* exterior = addWall({{0, 0}, {100, 0}}, false, true);
  Objex* interior = addWall({{0, 50}, {100, 50}}, false, false);
  FloorDepthOf(exterior) = FloorDepthOf(interior) = 0.5f;
  update();
  EXPECT_EQ(gCurPropertiesObjectCount, 2);
  for (const char* name : {"autoFlooringButton", "foundationButton"})
    EXPECT_TRUE(control<QWidget>(name)->isEnabled()) << name;
  EXPECT_TRUE(field("floorDepthText")->isEnabled());
  EXPECT_TRUE(field("foundationWidthText")->isEnabled());
  type("floorDepthText", "2");
  EXPECT_EQ(FloorDepthOf(exterior), 2);
  EXPECT_EQ(FloorDepthOf(interior), 0.5f);

  // The check box stores its own step and leaves the interior wall alone.
  mark();
  control<QCheckBox>("autoFlooringButton")->setChecked(true);
  click("autoFlooringButton");
  EXPECT_EQ(NoAutoFloorOf(exterior), 1);
  EXPECT_EQ(NoAutoFloorOf(interior), 0);
  EXPECT_EQ(NoAutoFloorOf(ds), 1);
  EXPECT_FALSE(field("floorDepthText")->isEnabled());
  EXPECT_EQ(stepsSinceMark(), (Steps{"Auto-Flooring"}));
}

// With several walls the depth field still follows the check box: two exterior walls that
// make no floor leave it off and the field disabled.
TEST_F(WallInspectorTest, FloorDepthFollowsTheCheckBoxOverSeveralWalls) {
  Objex* a = addWall({{0, 0}, {100, 0}}, false, true);
  Objex* b = addWall({{0, 50}, {100, 50}}, false, true);
  NoAutoFloorOf(a) = NoAutoFloorOf(b) = 1;
  update();
  EXPECT_FALSE(control<QCheckBox>("autoFlooringButton")->isChecked());
  EXPECT_FALSE(field("floorDepthText")->isEnabled());
  NoAutoFloorOf(a) = NoAutoFloorOf(b) = 0;
  update();
  EXPECT_TRUE(control<QCheckBox>("autoFlooringButton")->isChecked());
  EXPECT_TRUE(field("floorDepthText")->isEnabled());
}

TEST_F(WallInspectorTest, FloorDepthFollowsTheCheckBoxOnAnInteriorWall) {
  // The exterior-only check box is disabled, but the depth field is enabled exactly when
  // the box is on; a depth typed there becomes the default and leaves the wall alone.
  Objex* interior = addWall({{0, 50}, {100, 50}}, false, false);
  FloorDepthOf(interior) = 0.5f;
  update();
  EXPECT_FALSE(control<QCheckBox>("autoFlooringButton")->isEnabled());
  EXPECT_FALSE(control<QCheckBox>("foundationButton")->isEnabled());
  EXPECT_FALSE(field("foundationWidthText")->isEnabled());
  EXPECT_TRUE(control<QCheckBox>("autoFlooringButton")->isChecked());
  EXPECT_TRUE(field("floorDepthText")->isEnabled());
  mark();
  type("floorDepthText", "3");
  EXPECT_EQ(FloorDepthOf(interior), 0.5f);
  EXPECT_EQ(DefaultFloorDepthOf(ds), 3);
  EXPECT_EQ(stepsSinceMark(), Steps{});

  NoAutoFloorOf(interior) = 1;
  update();
  EXPECT_FALSE(control<QCheckBox>("autoFlooringButton")->isChecked());
  EXPECT_FALSE(field("floorDepthText")->isEnabled());
}

TEST_F(WallInspectorTest, HeightLimitsOfStyle5) {
  Objex* wall = addWall({{0, 0}, {100, 0}}, false, true);
  WallStyleOf(wall->firstPoint) = 5;
  HeightDOf(wall->firstPoint) = 100;
  update();
  const std::string before = text("wallHeightText");
  mark();
  type("wallHeightText", "97");
  EXPECT_EQ(WallHeightOf(wall->firstPoint), 96);
  EXPECT_EQ(text("wallHeightText"), before);
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

TEST_F(WallInspectorTest, HeightLimitsReadTheShownFields) {
  // Style 9: the base may not rise above height C. The two walls' heights C differ, so
  // the field is blank and reads 0: no base height passes.
  Objex* a = addWall({{0, 0}, {100, 0}}, false, true);
  Objex* b = addWall({{0, 50}, {100, 50}}, false, true);
  WallStyleOf(a->firstPoint) = WallStyleOf(b->firstPoint) = 9;
  HeightCOf(a->firstPoint) = 120;
  HeightCOf(b->firstPoint) = 110;
  update();
  EXPECT_EQ(text("wallHeightCText"), "");
  mark();
  type("wallHeightText", "100");
  EXPECT_EQ(WallHeightOf(a->firstPoint), 96);
  EXPECT_EQ(WallHeightOf(b->firstPoint), 96);
  EXPECT_EQ(stepsSinceMark(), Steps{});
  EXPECT_EQ(text("wallHeightCText"), "");

  // With height C shown, the base is held to it.
  HeightCOf(b->firstPoint) = 120;
  update();
  type("wallHeightText", "121");
  EXPECT_EQ(WallHeightOf(a->firstPoint), 96);
  type("wallHeightText", "100");
  EXPECT_EQ(WallHeightOf(a->firstPoint), 100);
  EXPECT_EQ(WallHeightOf(b->firstPoint), 100);
}

TEST_F(WallInspectorTest, RefusedEntriesShowTheToolDefault) {
  // Two walls of other values than the defaults: a refused entry shows the default, not
  // what the walls hold, and changes neither wall nor default.
  Objex* a = addWall({{0, 0}, {100, 0}}, false, true);
  Objex* b = addWall({{0, 50}, {100, 50}}, false, true);
  a->width = 6;
  b->width = 8;
  StudSpacingOf(a) = StudSpacingOf(b) = 24;
  FloorDepthOf(a) = FloorDepthOf(b) = 3;
  for (Objex* w : {a, b}) {
    WallHeightOf(w->firstPoint) = 100;
    PitchAOf(w->firstPoint) = 6;
  }
  WallStyleOf(a->firstPoint) = WallStyleOf(b->firstPoint) = 1;
  update();
  EXPECT_EQ(text("wallThicknessText"), "");
  EXPECT_FALSE(control<QDoubleSpinBox>("wallThicknessStepper")->isEnabled());
  mark();
  type("wallThicknessText", "73");
  EXPECT_EQ(text("wallThicknessText"), shownLength(4));
  EXPECT_EQ(control<QDoubleSpinBox>("wallThicknessStepper")->value(), 4);
  EXPECT_TRUE(control<QDoubleSpinBox>("wallThicknessStepper")->isEnabled());
  EXPECT_EQ(a->width, 6);
  EXPECT_EQ(b->width, 8);
  // The emptied mixed field left empty reads 0 and is refused the same way.
  update();
  type("wallThicknessText", "");
  EXPECT_EQ(text("wallThicknessText"), shownLength(4));
  EXPECT_EQ(a->width, 6);

  type("studSpacingText", "1.9");
  EXPECT_EQ(text("studSpacingText"), shownLength(16));
  type("floorDepthText", "121");
  EXPECT_EQ(text("floorDepthText"), shownLength(0.5f));
  type("wallHeightText", "10000");
  EXPECT_EQ(text("wallHeightText"), shownLength(96));
  type("wallPitchAText", "51");
  QLineEdit pitch;
  SetFloatPitchItem(&pitch, 10);
  EXPECT_EQ(text("wallPitchAText"), pitch.text().toStdString());
  EXPECT_EQ(StudSpacingOf(a), 24);
  EXPECT_EQ(FloorDepthOf(a), 3);
  EXPECT_EQ(WallHeightOf(a->firstPoint), 100);
  EXPECT_EQ(PitchAOf(a->firstPoint), 6);
  EXPECT_EQ(ds->studSpacing, 16);
  EXPECT_EQ(ds->wallHeight, 96);
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

TEST_F(WallInspectorTest, FootingWidthGivesAFoundation) {
  Objex* wall = addWall({{0, 0}, {100, 0}}, false, true);
  FoundationWidthOf(wall) = 12;
  update();
  EXPECT_FALSE(control<QCheckBox>("foundationButton")->isChecked());
  mark();
  type("foundationWidthText", "16");
  EXPECT_EQ(wall->planMask, 1);
  EXPECT_EQ(FoundationWidthOf(wall), 16);
  EXPECT_EQ(ExteriorWallPlanMaskOf(ds), 1);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Foundation Footing Width"}));
}

TEST_F(WallInspectorTest, StepperRoundsDownOnlyForWalls) {
  Objex* wall = addWall({{0, 0}, {100, 0}}, false, true);
  update();
  control<QDoubleSpinBox>("wallThicknessStepper")->setValue(5.5);
  EXPECT_EQ(wall->width, 5);
  EXPECT_EQ(ds->wallThickness, 5);
  EXPECT_EQ(ds->wallSetting6, 5);
  EXPECT_EQ(text("wallThicknessText"), shownLength(5));

  SelectObj(wall, kSelectOff, 1);
  wall->firstPoint->selected = wall->firstPoint->next->selected = 0;
  gCurTool = 7050;
  update();
  EXPECT_EQ(shownName(), "WallToolInspector");
  control<QDoubleSpinBox>("wallThicknessStepper")->setValue(5.5);
  EXPECT_EQ(ds->wallThickness, 5.5f);
  EXPECT_EQ(wall->width, 5);
  control<QDoubleSpinBox>("wallThicknessStepper")->setValue(80);
  EXPECT_EQ(ds->wallThickness, 5.5f);
}

TEST_F(WallInspectorTest, ToolPaneRanges) {
  gCurTool = 7054;
  update();
  EXPECT_TRUE(field("wallSegmentLengthText")->isEnabled());
  type("wallSegmentLengthText", "12");
  EXPECT_EQ(ds->wallSetting2, 12);
  type("wallSegmentLengthText", "10000");
  EXPECT_EQ(ds->wallSetting2, 10000);
  type("wallSegmentLengthText", "11.9");
  EXPECT_EQ(ds->wallSetting2, 10000);
  EXPECT_EQ(text("wallSegmentLengthText"), shownLength(10000));

  type("wallThicknessText", "73");
  EXPECT_EQ(ds->wallThickness, 4);
  type("wallThicknessText", "0");
  EXPECT_EQ(ds->wallThickness, 4);
  type("wallThicknessText", "72.5");
  EXPECT_EQ(ds->wallThickness, 72.5f);
  EXPECT_EQ(ds->wallSetting6, 72.5f);
  type("studSpacingText", "1.9");
  EXPECT_EQ(ds->studSpacing, 16);
  type("studSpacingText", "73");
  EXPECT_EQ(ds->studSpacing, 16);
  type("studSpacingText", "2");
  EXPECT_EQ(ds->studSpacing, 2);

  gCurTool = 7052;
  update();
  EXPECT_FALSE(field("wallSegmentLengthText")->isEnabled());
  EXPECT_FALSE(control<QCheckBox>("foundationButton")->isEnabled());
  EXPECT_FALSE(control<QCheckBox>("foundationButton")->isChecked());
}

TEST_F(WallInspectorTest, DisplayFlagsAndFlip) {
  Objex* wall = addWall({{0, 0}, {100, 0}, {200, 0}}, false, true);
  update();
  EXPECT_EQ(gCurPropertiesObjectCount, 2);
  mark();
  control<QCheckBox>("displayDimsButton")->setChecked(true);
  click("displayDimsButton");  // now off
  EXPECT_EQ(DisplayFlagsOf(wall->firstPoint) & 1, 1);
  EXPECT_EQ(DisplayFlagsOf(wall->firstPoint->next) & 1, 1);
  EXPECT_EQ(ds->wallDisplayFlags & 1, 1);
  click("flipDimensionsButton");
  EXPECT_EQ(FlipDimensionOf(wall->firstPoint), 1);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Flip Wall Dimensions", "Wall Auto-Dimensions"}));
}

// The dimension and callout boxes set differently, each way round, in the wall pane and in the
// wall tool's pane: each box reaches its own bit (1 dimensions off, 2 callouts off) of every
// selected segment and of the design's default, leaves the other bit and any other flag
// alone, and the pane shows both back as set.
TEST_F(WallInspectorTest, DimensionAndCalloutBoxesSetDifferentlyReachTheirOwnBits) {
  struct Row {
    bool toolPane;
    bool dims, callouts;
  };
  const Row rows[] = {{false, true, false}, {false, false, true}, {true, true, false}, {true, false, true}};
  constexpr int32_t kOther = 0x10;  // a flag neither box owns
  const auto selectionTool = gCurTool;
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << (r.toolPane ? "tool pane" : "wall pane") << ", dimensions "
                                      << (r.dims ? "on" : "off") << ", callouts " << (r.callouts ? "on" : "off"));
    // Each box starts the other way from where it is set.
    const int32_t before = (r.dims ? 1 : 0) | (r.callouts ? 2 : 0);
    ds->wallDisplayFlags = before | kOther;
    // With the wall tool and nothing selected, the tool's pane shows.
    Objex* wall = addWall({{0, 0}, {100, 0}, {200, 0}}, false, true, !r.toolPane);
    for (Poinz* p = wall->firstPoint; p; p = p->next) DisplayFlagsOf(p) = before | kOther;
    gCurTool = r.toolPane ? 7052 : selectionTool;
    update();
    EXPECT_EQ(dock->findChild<QLineEdit*>("wallSegmentLengthText") != nullptr, r.toolPane) << shownName();
    for (const auto& [name, on] : {std::pair{"displayDimsButton", r.dims}, std::pair{"displayCalloutsButton", r.callouts}}) {
      QCheckBox* box = control<QCheckBox>(name);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->isChecked(), !on) << name << " as read";
      box->setChecked(!on);
      click(name);
    }
    const int32_t expected = (r.dims ? 0 : 1) | (r.callouts ? 0 : 2) | kOther;
    EXPECT_EQ(ds->wallDisplayFlags, expected);
    // The tool pane sets the default for new walls only.
    const int32_t segments = r.toolPane ? before | kOther : expected;
    EXPECT_EQ(DisplayFlagsOf(wall->firstPoint), segments);
    EXPECT_EQ(DisplayFlagsOf(wall->firstPoint->next), segments);
    update();
    EXPECT_EQ(control<QCheckBox>("displayDimsButton")->isChecked(), r.dims);
    EXPECT_EQ(control<QCheckBox>("displayCalloutsButton")->isChecked(), r.callouts);
    DeleteLayerObjects(model->itsCurLayer);
  }
  gCurTool = selectionTool;
}

TEST_F(WallInspectorTest, CeilingBuilderOnlyForOneWallOfMoreThanTwoPoints) {
  Objex* room = addWall({{0, 0}, {100, 0}, {100, 100}}, false, true);
  update();
  EXPECT_TRUE(control<QWidget>("ceilingBuilderButton")->isEnabled());
  click("ceilingBuilderButton");
  // The sheet opens on the design window.
  SheetController* sheet = SheetController::attachedSheet(window);
  ASSERT_NE(qobject_cast<CeilingBuilderController*>(sheet), nullptr);
  sheet->dismissSheet(0);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  addWall({{0, 200}, {100, 200}, {100, 300}}, false, true);
  update();
  EXPECT_FALSE(control<QWidget>("ceilingBuilderButton")->isEnabled());
  for (Poinz* p = room->firstPoint; p; p = p->next) p->selected = 0;
  update();
  EXPECT_TRUE(control<QWidget>("ceilingBuilderButton")->isEnabled());
}


}  // namespace

namespace {

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What must follow an edit in the wall pane: the edited wall is built again in 3D (and no
// other), and one Undo gives back the design exactly as it was saved before the edit, the
// settings that change with no step of their own left as they stand.
TEST_F(WallInspectorTest, EditsRebuildTheirWallAndOneUndoRestoresEveryByte) {
  struct Row {
    const char* field;
    const char* typed;
  };
  const Row rows[] = {{"wallHeightText", "110"}, {"wallThicknessText", "6"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.field);
    addWall({{0, 0}, {100, 0}}, false, true);
    addWall({{0, 200}, {100, 200}}, false, true, false);
    QTemporaryDir dir;
    const std::string before = (dir.path() + "/before").toStdString();
    const std::string after = (dir.path() + "/after").toStdString();
    // A design read back once holds what the reader fills in; that is the state compared.
    ASSERT_NE(SaveState(before.c_str()), 0);
    ASSERT_NE(RestoreState(before.c_str()), 0);
    ASSERT_NE(SaveState(before.c_str()), 0);
    const uint32_t objectIDs = model->itsDocState->nextObjectID, pointIDs = model->itsDocState->nextPointID;
    const DocState settings = *model->itsDocState;
    Objex* wall = model->itsCurLayer->firstObject;
    ASSERT_NE(wall, nullptr);
    Objex* other = wall->next;
    ASSERT_NE(other, nullptr);
    update();
    StoreUndo("Add Wall");
    {
      ServiceCallRecorder calls;
      type(row.field, row.typed);
      EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
      EXPECT_TRUE(calls.called("UpdateAllWallAttachments", wall->objectID));  // openings re-fitted
      EXPECT_FALSE(calls.called("Update3DWall", other->objectID));
    }
    EXPECT_TRUE(WallHeightOf(wall->firstPoint) == 110 || wall->width == 6);
    ASSERT_TRUE(doc->undoManager().canUndo());
    doc->undoManager().undo();
    // Identifiers are never given out twice: the counters only grow, as building in 3D takes
    // new ones; everything else comes back as it was.
    DocState* state = model->itsDocState;  // a restore replaces the design's state
    EXPECT_GE(state->nextObjectID, objectIDs);
    EXPECT_GE(state->nextPointID, pointIDs);
    state->nextObjectID = objectIDs, state->nextPointID = pointIDs;
    // The edit set the wall tool's default too, a setting that changes with no step of its own
    // as well: Undo leaves it as it stands.
    EXPECT_TRUE(state->wallHeight == 110 || state->wallThickness == 6);
    KeepUnsteppedSettings(settings, state);
    ASSERT_NE(SaveState(after.c_str()), 0);
    const std::string was = FileBytes(before), is = FileBytes(after);
    EXPECT_EQ(was.size(), is.size());
    const auto diff = std::mismatch(was.begin(), was.end(), is.begin(), is.end());
    EXPECT_TRUE(diff.first == was.end()) << "first difference at byte " << (diff.first - was.begin());
    DeleteLayerObjects(model->itsCurLayer);
  }
}

}  // namespace
