// The window and door panes: bounds of the typed values (sizes kept in plan units), the
// style tables and their rows, mixed selections, dividers, flips and the door swing.
// Model headers first: they name fields like the Qt keyword macros.
#include "WallTestSupport.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "model/ToolCodes.h"

#include <QDoubleSpinBox>
#include <QListWidget>
#include <cmath>

#include "InspectorTestSupport.h"
#include "content/ContentPaletteController.h"
#include "inspectors/OpeningInspectorBase.h"
#include "inspectors/ValueFields.h"

namespace {

class OpeningInspectorTest : public InspectorTest {
 protected:
  std::string shownLength(float inches) {
    QLineEdit scratch;
    SetFloatItem(&scratch, inches);
    return scratch.text().toStdString();
  }
  float plan(float inches) { return ConvertWorldToScreen(inches, ds, 0); }
  // A straight wall of 3000 plan units on the current floor, its own points unselected.
  Objex* addWall() {
    Objex* wall = add(kObjWall, {{0, 0}, {3000, 0}}, false, false);
    wall->width = 4;
    wall->levels = 1;
    FloorDepthOf(wall) = 0.5f;
    FoundationWidthOf(wall) = 12.0f;
    for (Poinz* p = wall->firstPoint; p; p = p->next) {
      WallHeightOf(p) = 96;
      PitchAOf(p) = PitchBOf(p) = 10;
      HeightCOf(p) = 120;
      HeightDOf(p) = 168;
      p->trim1 = TestWallSide(0);
      p->trim2 = TestWallSide(0);
    }
    UpdateObjectBounds(wall);
    Update3DWall(wall);
    return wall;
  }
  // An opening of 36 by 56 inches, 24 up, centred `centre` plan units along the wall, its
  // points selected.
  Objex* addOpening(Objex* wall, int16_t type, int16_t subtype, float centre, bool selected = true) {
    const float w = plan(36);
    Objex* o = add(type, {{centre - w / 2, 0}, {centre + w / 2, 0}}, false, selected, wall);
    auto* r = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    r->ownerType = type;
    r->subtype = subtype;
    r->anchorStart = wall->firstPoint;
    r->anchorEnd = wall->firstPoint->next;
    r->startDistance = centre;
    r->remainingLength = 3000 - centre;
    r->width = w;
    r->height = plan(56);
    r->elevation = plan(24);
    r->trimWidth() = 3;
    if (type == kObjWindow) {
      r->verticalDividers() = 0;
      r->horizontalDividers() = 1;
    }
    o->typeData = r;
    return o;
  }
  static DoorWindowData* rec(Objex* o) { return static_cast<DoorWindowData*>(o->typeData); }
  bool enabled(const char* name) { return control<QWidget>(name) && control<QWidget>(name)->isEnabled(); }
  bool visible(const char* name) { return control<QWidget>(name) && !control<QWidget>(name)->isHidden(); }
  QListWidget* table(const char* name) { return control<QListWidget>(name); }
  int selectedRow(const char* name) {
    QListWidget* t = table(name);
    return t && !t->selectedItems().isEmpty() ? t->row(t->selectedItems().first()) : -1;
  }
  void chooseRow(const char* name, int row) {
    if (QListWidget* t = table(name)) t->setCurrentRow(row);
  }
};

TEST_F(OpeningInspectorTest, StyleTablesShowEveryRowWithItsImage) {
  gCurTool = kToolWindow;
  update();
  ASSERT_EQ(shownName(), "WindowInspector");
  QListWidget* windows = table("windowStyleTableView");
  ASSERT_EQ(windows->count(), 20);
  for (int row = 0; row < 20; ++row) {
    EXPECT_FALSE(windows->item(row)->icon().isNull()) << row;
    EXPECT_EQ(windows->item(row)->data(Qt::UserRole).toString().toStdString(), "WindowStyle" + std::to_string(row + 1));
  }
  EXPECT_EQ(selectedRow("windowStyleTableView"), 0);  // 600 with (0, 1)
  EXPECT_FALSE(visible("flipHorizButton"));
  EXPECT_FALSE(visible("flipVertButton"));
  gCurTool = kToolDoor;
  update();
  ASSERT_EQ(shownName(), "DoorInspector");
  QListWidget* doors = table("doorStyleTableView");
  ASSERT_EQ(doors->count(), 4);
  const char* names[] = {"DoorStyle1", "DoorStyle4", "DoorStyle11", "DoorStyle12"};
  for (int row = 0; row < 4; ++row) {
    EXPECT_FALSE(doors->item(row)->icon().isNull());
    EXPECT_EQ(doors->item(row)->data(Qt::UserRole).toString().toStdString(), names[row]);
  }
  EXPECT_EQ(selectedRow("doorStyleTableView"), 1);  // 501
  for (const char* c : {"doorSwingLabel", "doorSwingText", "flipDoorButton"}) EXPECT_FALSE(visible(c)) << c;
}

TEST_F(OpeningInspectorTest, RowsAndSubtypesMapBothWays) {
  for (int row = 0; row < kWindowStyleRows; ++row) {
    const int16_t subtype = WindowSubtypeOfRow(row);
    const int v = row == 1 ? 2 : 0, h = row == 1 ? 2 : 1;
    EXPECT_EQ(WindowRowOf(subtype, v, h), row) << row;
  }
  struct Pair {
    int subtype, row;
  };
  for (const Pair& p : {Pair{610, 3}, Pair{606, 5}, Pair{625, 7}, Pair{608, 9}, Pair{612, 11}, Pair{615, 12},
                        Pair{617, 14}, Pair{621, 16}, Pair{627, -1}})
    EXPECT_EQ(WindowRowOf(p.subtype, 0, 1), p.row) << p.subtype;
  EXPECT_EQ(DoorRowOf(503), 3);
  EXPECT_EQ(DoorRowOf(512), 4);
}

TEST_F(OpeningInspectorTest, WindowLengthBoundsAndPlanUnits) {
  Objex* wall = addWall();
  Objex* window = addOpening(wall, kObjWindow, 605, 500);
  ds->measureSystem = kMeasureMetric;  // millimetres keep hundredths of an inch
  update();
  ASSERT_EQ(shownName(), "WindowInspector");
  struct Row {
    const char* field;
    const char* typed;
    float inches;  // what is stored after the entry (the entry refused: the value before)
  };
  const Row rows[] = {
      {"windowWidthText", "0.254mm", 36},
      {"windowWidthText", "1016mm", 40},         {"windowElevationText", "-30506mm", 24},
      {"windowElevationText", "-30505.15mm", -1200.99f}, {"windowHeightText", "1270mm", 50},
  };
  ServiceCallRecorder calls;
  mark();
  ds->measureSystem = kMeasureImperial;
  type("windowWidthText", "10000");
  EXPECT_FLOAT_EQ(rec(window)->width, plan(36));
  ds->measureSystem = kMeasureMetric;
  for (const Row& row : rows) {
    type(row.field, row.typed);
    const float stored = std::string(row.field) == "windowWidthText"       ? rec(window)->width
                         : std::string(row.field) == "windowElevationText" ? rec(window)->elevation
                                                                           : rec(window)->height;
    EXPECT_NEAR(stored, plan(row.inches), plan(0.011f)) << row.field << " " << row.typed;
  }
  EXPECT_TRUE(calls.called("UpdateAllWallAttachments", wall->objectID));
  EXPECT_NEAR(ds->windowWidth, 40, 0.011);
  EXPECT_NEAR(ds->windowElevation(), -1200.99, 0.011);
  type("windowTrimText", "101.6mm");  // inches as typed, not plan units
  EXPECT_NEAR(rec(window)->trimWidth(), 4, 0.011);
  EXPECT_EQ(stepsSinceMark(),
            (Steps{"Window Trim Width", "Window Height", "Window Elevation", "Window Width"}));
  ds->measureSystem = kMeasureImperial;

  // A refused entry (an emptied field too) shows the tool default again, not the window's
  // value: nothing changes and no step is stored.
  ds->windowWidth = 30;
  ds->windowDividers.y = 3;
  mark();
  for (const char* refused : {"10000", "0", "wide", ""}) {
    type("windowWidthText", refused);
    EXPECT_EQ(GetFloatItem(field("windowWidthText")), 30) << refused;
    if (std::string(refused) == "0") continue;  // no divider is a count like any other
    type("horDivsText", std::string(refused) == "10000" ? "40000" : refused);
    EXPECT_EQ(text("horDivsText"), "3") << refused;
  }
  EXPECT_NEAR(rec(window)->width, plan(40), plan(0.011f));
  EXPECT_EQ(ds->windowWidth, 30);
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

TEST_F(OpeningInspectorTest, DoorTrimZeroOnlyForFrameRows) {
  Objex* wall = addWall();
  struct Row {
    std::vector<int16_t> subtypes;
    bool accepted;
  };
  const Row rows[] = {{{500}, true}, {{501}, true}, {{502}, true}, {{503}, false}, {{505}, false}, {{500, 501}, false}};
  for (const Row& row : rows) {
    for (Objex* c = wall->firstChild; c; c = c->next)
      for (Poinz* p = c->firstPoint; p; p = p->next) p->selected = 0;
    std::vector<Objex*> doors;
    float centre = 200;
    for (int16_t s : row.subtypes) doors.push_back(addOpening(wall, kObjDoor, s, centre += 200));
    update();
    ASSERT_EQ(shownName(), "DoorInspector");
    type("doorTrimText", "0");
    for (Objex* d : doors) EXPECT_EQ(rec(d)->trimWidth() == 0, row.accepted) << row.subtypes.front();
    EXPECT_EQ(ds->doorFrameSize() == 0, row.accepted) << row.subtypes.front();
    ds->doorFrameSize() = 3;
  }
}

TEST_F(OpeningInspectorTest, SwingAngleGivesTheSwingSide) {
  Objex* wall = addWall();
  Objex* door = addOpening(wall, kObjDoor, 501, 500);
  update();
  ASSERT_EQ(shownName(), "DoorInspector");
  for (const char* c : {"doorSwingLabel", "doorSwingText", "flipDoorButton"}) EXPECT_TRUE(visible(c)) << c;
  struct Row {
    const char* typed;
    bool accepted;
    int16_t side;
  };
  const Row rows[] = {{"360", true, 0},  {"-360", true, 0}, {"-180", true, 0},  {"270", true, 0},
                      {"0", true, 4},    {"180", true, 4},  {"-270", true, 4},  {"361", false, 0},
                      {"-360.5", false, 0}};
  for (const Row& row : rows) {
    rec(door)->swingAngle() = 1.0f;
    rec(door)->flipVertical = 9;
    type("doorSwingText", row.typed);
    if (!row.accepted) {
      EXPECT_EQ(rec(door)->swingAngle(), 1.0f) << row.typed;
      continue;
    }
    EXPECT_NEAR(rec(door)->swingAngle(), std::atof(row.typed) * M_PI / 180, 1e-5) << row.typed;
    EXPECT_EQ(rec(door)->flipVertical, row.side) << row.typed;
  }
  // A refused angle shows the angle last shown or accepted, also over a mixed (blank) field.
  auto shownAngle = [](float degrees) {
    QLineEdit scratch;
    SetFloatAngleItem(&scratch, degrees, 0);
    return scratch.text().toStdString();
  };
  rec(door)->swingAngle() = static_cast<float>(90 * M_PI / 180);
  Objex* other = addOpening(wall, kObjDoor, 501, 1500);
  rec(other)->swingAngle() = static_cast<float>(45 * M_PI / 180);
  update();
  EXPECT_EQ(text("doorSwingText"), "");
  for (const char* refused : {"361", "swing", ""}) {
    type("doorSwingText", refused);
    EXPECT_EQ(text("doorSwingText"), shownAngle(90)) << refused;
  }
  EXPECT_NEAR(rec(other)->swingAngle(), 45 * M_PI / 180, 1e-6);
  for (Poinz* p = other->firstPoint; p; p = p->next) p->selected = 0;
  update();

  mark();
  click("flipDoorButton");
  EXPECT_EQ(rec(door)->flipHorizontal, 1);
  chooseRow("doorStyleTableView", 3);
  EXPECT_EQ(rec(door)->subtype, 503);
  EXPECT_EQ(ds->doorStyle, 503);
  EXPECT_FALSE(enabled("doorSwingText"));
  EXPECT_TRUE(enabled("flipDoorButton"));
  EXPECT_EQ(stepsSinceMark(), (Steps{"Door Style", "Flip Door"}));
}

TEST_F(OpeningInspectorTest, MixedWindows) {
  Objex* wall = addWall();
  Objex* a = addOpening(wall, kObjWindow, 600, 500);
  Objex* b = addOpening(wall, kObjWindow, 601, 1000);
  update();
  EXPECT_EQ(gWindowPropertiesStyle, -1);
  EXPECT_EQ(selectedRow("windowStyleTableView"), -1);
  for (const char* c : {"windowWidthText", "windowHeightText", "windowElevationText", "windowTrimText", "horDivsText",
                        "verDivsText", "horDivsStepper", "verDivsStepper", "flipHorizButton", "flipVertButton"})
    EXPECT_FALSE(enabled(c)) << c;

  // One style, different horizontal counts: only that field is blank.
  rec(b)->subtype = 600;
  rec(a)->verticalDividers() = rec(b)->verticalDividers() = 2;
  rec(a)->horizontalDividers() = 2;
  rec(b)->horizontalDividers() = 3;
  update();
  EXPECT_EQ(selectedRow("windowStyleTableView"), 1);
  EXPECT_EQ(text("horDivsText"), "");
  EXPECT_EQ(text("verDivsText"), "2");
  EXPECT_FALSE(enabled("horDivsStepper"));
  EXPECT_TRUE(enabled("verDivsStepper"));
  EXPECT_TRUE(enabled("windowWidthText"));
  EXPECT_FALSE(text("windowWidthText").empty());
}

TEST_F(OpeningInspectorTest, StyleRowsSetDividersAndHeights) {
  Objex* wall = addWall();
  Objex* window = addOpening(wall, kObjWindow, 600, 500);
  update();
  EXPECT_EQ(selectedRow("windowStyleTableView"), 0);
  mark();
  chooseRow("windowStyleTableView", 1);
  EXPECT_EQ(rec(window)->verticalDividers(), 2);
  EXPECT_EQ(rec(window)->horizontalDividers(), 2);
  EXPECT_EQ(ds->windowDividers.x, 2);
  EXPECT_EQ(ds->windowDividers.y, 2);
  EXPECT_EQ(text("horDivsText"), "2");
  EXPECT_EQ(control<QDoubleSpinBox>("verDivsStepper")->value(), 2);
  chooseRow("windowStyleTableView", 2);  // half round: its height is its width
  EXPECT_EQ(rec(window)->subtype, 601);
  EXPECT_EQ(rec(window)->height, rec(window)->width);
  EXPECT_FALSE(enabled("windowHeightText"));
  EXPECT_FALSE(enabled("horDivsText"));
  EXPECT_TRUE(enabled("flipHorizButton"));
  ServiceCallRecorder calls;
  chooseRow("windowStyleTableView", 19);
  EXPECT_EQ(rec(window)->subtype, 626);
  EXPECT_TRUE(calls.called("ReadCustomWindowDoorFile", window->objectID));
  EXPECT_FALSE(enabled("flipHorizButton"));
  EXPECT_EQ(ds->windowStyle, 626);
  chooseRow("windowStyleTableView", 0);
  EXPECT_EQ(rec(window)->verticalDividers(), 0);
  EXPECT_EQ(rec(window)->horizontalDividers(), 1);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Window Style", "Window Style", "Window Style", "Window Style"}));

  // Filling the pane chooses nothing.
  mark();
  rec(window)->subtype = 604;
  update();
  EXPECT_EQ(selectedRow("windowStyleTableView"), 4);
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

TEST_F(OpeningInspectorTest, DividerCountsAndTheirBounds) {
  Objex* wall = addWall();
  Objex* round = addOpening(wall, kObjWindow, 601, 500);
  update();
  mark();
  type("horDivsText", "3");  // no rectangular window: only the default
  EXPECT_EQ(ds->windowDividers.y, 3);
  EXPECT_EQ(rec(round)->horizontalDividers(), 1);
  EXPECT_EQ(stepsSinceMark(), Steps{});

  Objex* plain = addOpening(wall, kObjWindow, 600, 1000);
  for (Poinz* p = round->firstPoint; p; p = p->next) p->selected = 0;
  update();
  mark();
  struct Row {
    const char* typed;
    int16_t stored;
  };
  // Any whole count the record holds is taken; the steppers' range does not bound the field.
  for (const Row& row : {Row{"25", 25}, Row{"-1", -1}, Row{"40000", -1}, Row{"32767", 32767}, Row{"0", 0}}) {
    type("horDivsText", row.typed);
    EXPECT_EQ(rec(plain)->horizontalDividers(), row.stored) << row.typed;
  }
  EXPECT_EQ(text("horDivsText"), "0");
  control<QDoubleSpinBox>("verDivsStepper")->stepUp();
  EXPECT_EQ(rec(plain)->verticalDividers(), 1);
  EXPECT_EQ(text("verDivsText"), "1");
  EXPECT_EQ(ds->windowDividers.x, 1);
  control<QDoubleSpinBox>("horDivsStepper")->stepUp();
  EXPECT_EQ(rec(plain)->horizontalDividers(), 1);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Horizontal Window Dividers", "Vertical Window Dividers",
                                     "Horizontal Window Dividers", "Horizontal Window Dividers",
                                     "Horizontal Window Dividers", "Horizontal Window Dividers"}));
}

TEST_F(OpeningInspectorTest, EditsWithTheWindowToolReachTheSelectionAndTheDefault) {
  Objex* wall = addWall();
  Objex* window = addOpening(wall, kObjWindow, 605, 500);
  Objex* unselected = addOpening(wall, kObjWindow, 605, 1500, false);
  gCurTool = kToolWindow;
  update();
  ASSERT_EQ(shownName(), "WindowInspector");
  EXPECT_TRUE(visible("flipHorizButton"));
  mark();
  type("windowWidthText", "30");
  EXPECT_FLOAT_EQ(rec(window)->width, plan(30));
  EXPECT_FLOAT_EQ(rec(unselected)->width, plan(36));
  // The wall placed the window's plan points again around its centre.
  EXPECT_NEAR(window->firstPoint->next->position[0] - window->firstPoint->position[0], plan(30), 1e-3);
  EXPECT_NEAR(window->firstPoint->position[0], 500 - plan(15), 1e-3);
  EXPECT_EQ(ds->windowWidth, 30);
  click("flipHorizButton");
  click("flipVertButton");
  EXPECT_EQ(rec(window)->flipHorizontal, 1);
  EXPECT_EQ(rec(window)->flipVertical, 1);
  EXPECT_EQ(rec(unselected)->flipHorizontal, 0);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Flip Window Vertically", "Flip Window Horizontally", "Window Width"}));
}

TEST_F(OpeningInspectorTest, CustomWindowStyleWithTheToolLocksTheWindowCategory) {
  ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController();
  ASSERT_NE(palette, nullptr);
  gCurTool = kToolWindow;
  update();
  chooseRow("windowStyleTableView", 19);
  EXPECT_EQ(ds->windowStyle, 626);
  EXPECT_EQ(palette->selectedCategory(), 8);
  EXPECT_FALSE(palette->categorySelectionAbility());
  EXPECT_FALSE(enabled("horDivsText"));
  chooseRow("windowStyleTableView", 1);
  EXPECT_TRUE(palette->categorySelectionAbility());
  EXPECT_EQ(ds->windowDividers.x, 2);
  EXPECT_EQ(ds->windowDividers.y, 2);
  EXPECT_TRUE(enabled("horDivsStepper"));
  gCurTool = kToolDoor;
  update();
  chooseRow("doorStyleTableView", 0);
  EXPECT_EQ(ds->doorStyle, 500);
  EXPECT_FALSE(enabled("doorSwingText"));
}

}  // namespace
