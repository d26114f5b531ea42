// The fence, gate and staircase panes: style and custom sizes of fences, the gate length,
// the staircase sizes and options with their undo steps and defaults.
// Model headers first: they name fields like the Qt keyword macros.
#include "building3d/SiteFences3D.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "model/Delete.h"
#include "model/StairFields.h"

#include <QComboBox>
#include <algorithm>
#include <string>
#include <vector>

#include "InspectorTestSupport.h"
#include "inspectors/FenceInspectorController.h"
#include "inspectors/ValueFields.h"

namespace {

class FenceStairInspectorTest : public InspectorTest {
 protected:
  std::string shownLength(float inches) {
    QLineEdit scratch;
    SetFloatItem(&scratch, inches);
    return scratch.text().toStdString();
  }
  Objex* addFence(int style) {
    Objex* fence = add(kObjFence, {{0, 0}, {200, 0}});
    fence->textureID = style;
    for (int i = 0; i < 5; ++i) fence->params[i] = 72;
    return fence;
  }
  Objex* addStair() {
    Objex* stair = add(kObjStaircase, {{0, 0}, {100, 0}, {100, 40}, {0, 40}}, true);
    StairWidthOf(stair) = 48;
    StairStepHeightOf(stair) = 7;
    StairStepDepthOf(stair) = 10;
    StairHandrailHeightOf(stair) = 36;
    StairHeightOf(stair) = 96;
    ClosedStepsOf(stair) = 1;
    LeftRailOf(stair) = RightRailOf(stair) = 1;
    ClosedStringersOf(stair) = LongStringerBaseOf(stair) = 0;
    return stair;
  }
  QComboBox* stylePopUp() { return control<QComboBox>("stylePopUpButton"); }
  int shownStyle() {
    QComboBox* c = stylePopUp();
    return c && c->currentIndex() >= 0 ? c->currentData().toInt() : -1;
  }
  bool enabled(const char* name) { return control<QWidget>(name) && control<QWidget>(name)->isEnabled(); }
  bool checked(const char* name) { return control<QCheckBox>(name) && control<QCheckBox>(name)->isChecked(); }
};

const char* const kFenceFields[] = {"spanLengthText", "spanHeightText", "postWidthText", "postHeightText",
                                    "gateHeightText"};

TEST_F(FenceStairInspectorTest, StylePopUpOrderAndToolDefaults) {
  gCurTool = 7505;
  update();
  ASSERT_EQ(shownName(), "FenceInspector");
  QComboBox* c = stylePopUp();
  ASSERT_EQ(c->count(), 4);
  const int tags[] = {703, 700, 701, 702};
  const char* titles[] = {"Privacy Fence", "Picket Fence", "Ranch Fence", "Rail Fence"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(c->itemData(i).toInt(), tags[i]);
    EXPECT_EQ(c->itemText(i).toStdString(), titles[i]);
  }
  EXPECT_EQ(shownStyle(), 703);
  for (const char* f : kFenceFields) EXPECT_FALSE(enabled(f)) << f;
  EXPECT_EQ(text("postWidthText"), shownLength(24));
  ds->fenceStyle = 704;
  update();
  EXPECT_EQ(shownStyle(), -1);
  for (const char* f : kFenceFields) EXPECT_TRUE(enabled(f)) << f;
  mark();
  chooseTag("stylePopUpButton", 701);
  EXPECT_EQ(ds->fenceStyle, 701);
  EXPECT_EQ(stepsSinceMark(), Steps{});  // nothing selected changed
}

TEST_F(FenceStairInspectorTest, CustomFenceTurnsPicketAndSizesOnlyReachCustomFences) {
  ServiceCallRecorder calls;
  Objex* custom = addFence(704);
  custom->params[0] = 60;
  update();
  ASSERT_EQ(shownName(), "FenceInspector");
  EXPECT_EQ(shownStyle(), -1);
  for (const char* f : kFenceFields) EXPECT_TRUE(enabled(f)) << f;
  EXPECT_EQ(text("spanLengthText"), shownLength(60));
  mark();
  chooseTag("stylePopUpButton", 700);
  EXPECT_EQ(custom->textureID, 700);
  EXPECT_TRUE(calls.called("UpdateFenceObject", custom->objectID));
  EXPECT_TRUE(calls.called("ReRenderObject", custom->objectID));
  for (const char* f : kFenceFields) EXPECT_FALSE(enabled(f)) << f;
  EXPECT_EQ(stepsSinceMark(), (Steps{"Fence Style"}));
  EXPECT_EQ(ds->fenceStyle, 700);

  // A picket fence keeps its span; the default takes it.
  mark();
  type("spanLengthText", "50");
  EXPECT_EQ(custom->params[0], 60);
  EXPECT_EQ(ds->fenceParam1, 50);
  EXPECT_EQ(stepsSinceMark(), Steps{});

  Objex* other = addFence(704);
  update();
  EXPECT_EQ(shownStyle(), -1);  // picket and custom differ
  for (const char* f : kFenceFields) EXPECT_FALSE(enabled(f)) << f;
  mark();
  type("postHeightText", "80");
  EXPECT_EQ(other->params[2], 80);
  EXPECT_EQ(custom->params[2], 72);
  EXPECT_EQ(ds->fenceParam3, 80);
  type("postWidthText", "6");
  EXPECT_EQ(other->params[3], 6);
  EXPECT_EQ(ds->fenceParam4, 6);
  type("gateHeightText", "10000");  // refused
  EXPECT_EQ(other->params[4], 72);
  EXPECT_EQ(ds->fenceParam5, 72);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Custom Fence Post Width", "Custom Fence Post Height"}));
}

TEST_F(FenceStairInspectorTest, TwoCustomFencesKeepTheirSizesEditable) {
  Objex* a = addFence(704);
  Objex* b = addFence(704);
  b->params[1] = 60;
  update();
  EXPECT_EQ(shownStyle(), -1);
  for (const char* f : kFenceFields) EXPECT_TRUE(enabled(f)) << f;
  EXPECT_EQ(text("spanHeightText"), "");
  type("spanHeightText", "66");
  EXPECT_EQ(a->params[1], 66);
  EXPECT_EQ(b->params[1], 66);

  // The posts are built again at the typed height (plan units, upward is negative).
  a->levels = 1;
  type("postHeightText", "80");
  int posts = 0;
  for (Objex* part = static_cast<Objex*>(a->typeData); part; part = part->next) {
    if (part->subtype != kSubFencePost) continue;
    ++posts;
    float top = 0;
    for (Poinz* p = part->firstPoint; p; p = p->next) top = std::min(top, p->position[1]);
    EXPECT_NEAR(top, -ConvertWorldToScreen(80, ds, 0), 1e-3);
  }
  EXPECT_GT(posts, 0);

  b->textureID = 703;
  update();
  for (const char* f : kFenceFields) EXPECT_FALSE(enabled(f)) << f;
}

// A refused size shows the tool default again, not the fences' values: out of range, not a
// number, or a mixed field left empty. Nothing changes and no undo step is stored.
TEST_F(FenceStairInspectorTest, RefusedSizesShowTheToolDefault) {
  Objex* a = addFence(704);
  Objex* b = addFence(704);
  b->params[1] = 60;
  ds->fenceParam1 = 80;
  ds->fenceParam2 = 90;
  update();
  EXPECT_EQ(text("spanLengthText"), shownLength(72));
  EXPECT_EQ(text("spanHeightText"), "");
  mark();
  for (const char* refused : {"10000", "0", "tall", ""}) {
    update();
    type("spanHeightText", refused);
    EXPECT_EQ(text("spanHeightText"), shownLength(90)) << refused;
    type("spanLengthText", refused);
    EXPECT_EQ(text("spanLengthText"), shownLength(80)) << refused;
  }
  EXPECT_EQ(a->params[1], 72);
  EXPECT_EQ(b->params[1], 60);
  EXPECT_EQ(a->params[0], 72);
  EXPECT_EQ(ds->fenceParam2, 90);
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

TEST_F(FenceStairInspectorTest, GateLengthBounds) {
  gCurTool = 7506;
  update();
  ASSERT_EQ(shownName(), "GateToolInspector");
  EXPECT_EQ(text("gateLengthText"), shownLength(36));
  mark();
  struct Row {
    const char* typed;
    float stored;
  };
  for (const Row& row : {Row{"48", 48}, Row{"35.9", 48}, Row{"361", 48}, Row{"36", 36}, Row{"360.9", 360.9f}}) {
    type("gateLengthText", row.typed);
    EXPECT_NEAR(ds->gateWidth, row.stored, 0.07) << row.typed;
    EXPECT_EQ(text("gateLengthText"), shownLength(ds->gateWidth)) << row.typed;
  }
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

TEST_F(FenceStairInspectorTest, StairFieldsWithTheToolStoreWhenTheDefaultChanges) {
  gCurTool = 7058;
  update();
  ASSERT_EQ(shownName(), "StairInspector");
  EXPECT_EQ(text("stairHeightText"), shownLength(96));
  EXPECT_TRUE(checked("skirtWallsButton"));
  EXPECT_FALSE(checked("openStepsButton"));
  mark();
  type("stepHeightText", "8");
  EXPECT_EQ(ds->stairStepHeight(), 8);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Step Height"}));

  // The value every staircase and the default hold stores nothing.
  gCurTool = kToolSelection;
  Objex* a = addStair();
  Objex* b = addStair();
  ds->stairWidth() = 48;
  update();
  mark();
  type("stairWidthText", "48");
  EXPECT_EQ(stepsSinceMark(), Steps{});
  type("stairWidthText", "0.01");  // the bound itself is refused
  EXPECT_EQ(a->params[0], 48);
  ServiceCallRecorder calls;
  type("railHeightText", "34");
  EXPECT_EQ(StairHandrailHeightOf(a), 34);
  EXPECT_EQ(StairHandrailHeightOf(b), 34);
  EXPECT_EQ(calls.count("UpdateStairObject"), 2u);
  type("stairHeightText", "100");
  EXPECT_EQ(StairHeightOf(b), 100);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Staircase Height", "Handrail Height"}));
}

// A check box stores a step when a staircase changed; with none selected it sets the tool's
// default alone, which no step holds.
TEST_F(FenceStairInspectorTest, StairCheckBoxesStoreWhenAStaircaseChangesAndTheLaterStaircaseDecides) {
  gCurTool = 7604;
  update();
  ASSERT_EQ(shownName(), "StairInspector");
  mark();
  click("leftRailButton");  // now off, nothing selected
  click("skirtWallsButton");
  EXPECT_EQ(ds->stairLeftRail(), 0);
  EXPECT_EQ(ds->stairSkirtWalls(), 0);
  EXPECT_EQ(stepsSinceMark(), Steps{});

  gCurTool = kToolSelection;
  Objex* a = addStair();
  Objex* b = addStair();
  SkirtWallsOf(a) = 1;
  SkirtWallsOf(b) = 0;
  LongStringerBaseOf(a) = 0;
  LongStringerBaseOf(b) = 1;
  update();
  EXPECT_FALSE(checked("skirtWallsButton"));
  EXPECT_TRUE(checked("largeBaseButton"));
  ServiceCallRecorder calls;
  mark();
  click("skirtWallsButton");  // on: only b changes
  EXPECT_EQ(SkirtWallsOf(a), 1);
  EXPECT_EQ(SkirtWallsOf(b), 1);
  EXPECT_EQ(calls.count("UpdateStairObject"), 1u);
  EXPECT_EQ(ds->stairSkirtWalls(), 1);
  click("openStepsButton");  // on: open treads
  EXPECT_EQ(ClosedStepsOf(a), 0.0f);
  EXPECT_EQ(ds->stairOpenSteps, 1);
  click("closedStringerButton");
  EXPECT_EQ(ClosedStringersOf(b), 1);
  EXPECT_EQ(ds->stairClosedStringers, 1);
  click("rightRailButton");  // off
  EXPECT_EQ(RightRailOf(a), 0);
  EXPECT_EQ(ds->stairRightRail(), 0);
  EXPECT_EQ(stepsSinceMark(),
            (Steps{"Right Handrails", "Staircase Stringers", "Open Steps", "Skirt Walls"}));
}

// A staircase whose option field holds some other value than the box's on or off value (as a
// design file may give it) takes the box's value when the box is clicked, and is rebuilt.
TEST_F(FenceStairInspectorTest, StairCheckBoxesSetOddOptionValues) {
  Objex* a = addStair();
  Objex* b = addStair();
  SkirtWallsOf(a) = 2;
  SkirtWallsOf(b) = 0;
  ClosedStepsOf(a) = 0.5f;
  ClosedStepsOf(b) = 0.0f;
  LeftRailOf(a) = 3;
  LeftRailOf(b) = 0;
  update();
  ASSERT_EQ(shownName(), "StairInspector");
  ASSERT_FALSE(checked("skirtWallsButton"));
  ASSERT_TRUE(checked("openStepsButton"));
  ServiceCallRecorder calls;
  click("skirtWallsButton");  // on
  EXPECT_EQ(SkirtWallsOf(a), 1);
  EXPECT_EQ(SkirtWallsOf(b), 1);
  EXPECT_EQ(calls.count("UpdateStairObject"), 2u);
  click("openStepsButton");  // off: closed steps
  EXPECT_EQ(ClosedStepsOf(a), 1.0f);
  EXPECT_EQ(ClosedStepsOf(b), 1.0f);
  click("leftRailButton");  // on
  EXPECT_EQ(LeftRailOf(a), 1);
  EXPECT_EQ(LeftRailOf(b), 1);
  EXPECT_EQ(calls.count("UpdateStairObject"), 6u);
}

}  // namespace

namespace {

std::vector<float> PartCoordinates(const Objex* stair) {
  std::vector<float> out;
  for (const Objex* part = static_cast<const Objex*>(stair->typeData); part; part = part->next) {
    out.push_back(static_cast<float>(part->type));
    for (const Poinz* p = part->firstPoint; p; p = p->next) out.insert(out.end(), p->position, p->position + 3);
  }
  return out;
}

// Turning one hand rail off in the pane rebuilds the staircase with that rail gone: its parts
// are those of a staircase built with the rail off from the start, point for point.
TEST_F(FenceStairInspectorTest, ARailSwitchedOffRebuildsTheStaircaseWithoutIt) {
  for (const char* button : {"leftRailButton", "rightRailButton"}) {
    SCOPED_TRACE(button);
    const bool left = std::string(button) == "leftRailButton";
    Objex* edited = addStair();
    UpdateStairObject(edited);
    Objex* reference = add(kObjStaircase, {{0, 0}, {100, 0}, {100, 40}, {0, 40}}, true, false);
    for (int i = 0; i < 5; ++i) reference->params[i] = edited->params[i];
    StairHeightOf(reference) = StairHeightOf(edited);
    ClosedStepsOf(reference) = 1;
    LeftRailOf(reference) = left ? 0 : 1;
    RightRailOf(reference) = left ? 1 : 0;
    ClosedStringersOf(reference) = LongStringerBaseOf(reference) = 0;
    UpdateStairObject(reference);
    const std::vector<float> before = PartCoordinates(edited);
    update();
    ASSERT_EQ(shownName(), "StairInspector");
    click(button);
    EXPECT_EQ(left ? LeftRailOf(edited) : RightRailOf(edited), 0);
    EXPECT_EQ(left ? RightRailOf(edited) : LeftRailOf(edited), 1);
    const std::vector<float> after = PartCoordinates(edited);
    EXPECT_LT(after.size(), before.size());
    EXPECT_EQ(after, PartCoordinates(reference));
    DeleteLayerObjects(model->itsCurLayer);
  }
}

}  // namespace
