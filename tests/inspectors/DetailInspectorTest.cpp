// The detail tool panes and the detail object pane: draw methods and their globals, the
// pattern and line style pop-ups, sides and widths kept in range, and conversion rows.
#include <QImage>

#include "InspectorTestSupport.h"
#include "inspectors/DetailObjectInspectorController.h"
#include "inspectors/DetailTool1InspectorController.h"
#include "inspectors/DetailTool2InspectorController.h"
#include "model/CommandCodes.h"
#include "model/Globals.h"
#include "tools/DrawingTools.h"
#include "tools/PointEvaluation.h"
#include "tools/ShapeTools.h"

namespace {

class DetailInspectorTest : public InspectorTest {
 protected:
  void beforeClosing() override { gPattern = 0; }
  std::vector<std::string> popUpTitles(const char* name) {
    std::vector<std::string> titles;
    QComboBox* c = control<QComboBox>(name);
    for (int i = 0; c && i < c->count(); ++i)
      if (!c->itemText(i).isEmpty()) titles.push_back(c->itemText(i).toStdString());
    return titles;
  }
  Objex* addDetail(int32_t subtype, std::vector<std::pair<float, float>> points, bool closed, Objex* parent = nullptr) {
    Objex* o = add(kObjDetail, std::move(points), closed, true, parent);
    o->subtype = subtype;
    return o;
  }
};

const std::vector<std::string> kAlways = {"Convert Object To...", "Interior Wall", "Exterior Wall", "Staircase",
                                          "Railing", "Deck Stairs", "Deck Railing", "Edging", "Retaining Wall"};
bool Has(const std::vector<std::string>& rows, const std::string& row) {
  return std::find(rows.begin(), rows.end(), row) != rows.end();
}

TEST_F(DetailInspectorTest, FreshRectangleToolAndDrawMethodsThatSurviveASwitch) {
  gCurTool = 7700;
  update();
  EXPECT_EQ(shownName(), "DetailTool1Inspector");
  QComboBox* methods = control<QComboBox>("drawMethodPopUpButton");
  EXPECT_EQ(methods->currentText().toStdString(), "Rectangle from corner");
  EXPECT_EQ(methods->count(), 4);
  EXPECT_TRUE(control<QCheckBox>("displayDimsButton")->isEnabled());
  EXPECT_FALSE(control<QCheckBox>("displayDimsButton")->isChecked());
  EXPECT_EQ(control<InspectorMatrix>("editLevelButtons")->selectedTag(), 0);

  chooseTag("drawMethodPopUpButton", 3);
  EXPECT_EQ(gLockRectTool, 1);
  EXPECT_EQ(gCenterRectTool, 1);
  gCurTool = 7702;
  update();
  EXPECT_EQ(control<QComboBox>("drawMethodPopUpButton")->currentText().toStdString(), "Line from endpoint");
  EXPECT_TRUE(control<QCheckBox>("displayDimsButton")->isEnabled());
  gCurTool = 7700;
  update();
  EXPECT_EQ(control<QComboBox>("drawMethodPopUpButton")->currentText().toStdString(), "Square from center");
  EXPECT_EQ(gLockRectTool, 1);
  chooseTag("drawMethodPopUpButton", 0);
  EXPECT_EQ(gLockRectTool, 0);
  EXPECT_EQ(gCenterRectTool, 0);

  for (uint16_t tool : {7701, 7704, 7707}) {
    gCurTool = tool;
    update();
    EXPECT_FALSE(control<QCheckBox>("displayDimsButton")->isEnabled()) << tool;
  }
}

TEST_F(DetailInspectorTest, OpenPolygonDisablesThePattern) {
  gCurTool = 7703;
  update();
  chooseTag("drawMethodPopUpButton", 11);
  EXPECT_EQ(gClosePolyTool, 0);
  EXPECT_FALSE(control<QComboBox>("patternPopUpButton")->isEnabled());
  chooseTag("drawMethodPopUpButton", 10);
  EXPECT_EQ(gClosePolyTool, 1);
  EXPECT_TRUE(control<QComboBox>("patternPopUpButton")->isEnabled());
}

TEST_F(DetailInspectorTest, PatternWithoutADocument) {
  gCurTool = 7700;
  update();
  gCurDocument = nullptr;
  chooseTag("patternPopUpButton", 5);
  EXPECT_EQ(gPattern, 5);
  gCurDocument = model;
}

TEST_F(DetailInspectorTest, SidesAndWidthsStayInRange) {
  gCurTool = 7706;
  update();
  EXPECT_EQ(text("multigonSidesText"), "6");
  type("multigonSidesText", "7");
  EXPECT_EQ(ds->multigonSides, 7);
  EXPECT_EQ(control<QDoubleSpinBox>("multigonSidesStepper")->value(), 7);
  type("multigonSidesText", "0");
  EXPECT_EQ(ds->multigonSides, 3);
  type("multigonSidesText", "70000");
  EXPECT_EQ(ds->multigonSides, 64);
  EXPECT_EQ(text("multigonSidesText"), "64");
  type("lineWidthText", "100");
  EXPECT_EQ(ds->newLineWeight, 72);
  control<QDoubleSpinBox>("lineWidthStepper")->setValue(3);
  EXPECT_EQ(ds->newLineWeight, 3);
  EXPECT_EQ(text("lineWidthText"), "3");
  chooseTag("lineStylePopUpButton", 12);
  EXPECT_EQ(ds->newPenStyle, 12);
}

TEST_F(DetailInspectorTest, PopUpsRefillWithTheirRowsAndKeepTheStoredValues) {
  DetailTool1InspectorController* tool1 = DetailTool1InspectorController::sharedInspectorController();
  DetailObjectInspectorController* object = DetailObjectInspectorController::sharedInspectorController();
  for (QComboBox* c : {tool1->patternPopUpButton, tool1->lineStylePopUpButton, object->patternPopUpButton,
                       object->lineStylePopUpButton})
    c->clear();
  gPattern = 4;
  tool1->loadPatternItems();
  tool1->loadLineStyleItems();
  object->loadPatternItems();
  object->loadLineStyleItems();
  DetailTool2InspectorController* tool2 = DetailTool2InspectorController::sharedInspectorController();
  tool2->patternPopUpButton->clear();
  tool2->loadPatternItems();
  tool2->loadLineStyleItems();
  EXPECT_EQ(tool2->patternPopUpButton->count(), 9);
  EXPECT_EQ(tool2->lineStylePopUpButton->count(), 8);
  ASSERT_EQ(tool1->patternPopUpButton->count(), 9);
  EXPECT_EQ(tool1->patternPopUpButton->itemData(8).toInt(), 8);
  EXPECT_EQ(tool1->lineStylePopUpButton->count(), 8);
  EXPECT_EQ(object->patternPopUpButton->count(), 9);
  EXPECT_EQ(object->lineStylePopUpButton->count(), 8);
  EXPECT_EQ(gPattern, 4);
}

TEST_F(DetailInspectorTest, Style8SampleShowsItsElevenLengths) {
  EXPECT_EQ(LineStyleDashPattern(12).size(), 22);
  EXPECT_EQ(LineStyleDashPattern(9).size(), 2);
  const QImage image = LineStyleSampleImage(12);
  ASSERT_EQ(image.size(), QSize(84, 12));
  std::vector<int> runs;
  bool on = qAlpha(image.pixel(0, 5)) > 0;
  int length = 0;
  for (int x = 0; x < 84; ++x) {
    const bool ink = qAlpha(image.pixel(x, 5)) > 128;
    if (ink == on) {
      ++length;
    } else {
      runs.push_back(length);
      on = ink;
      length = 1;
    }
  }
  runs.push_back(length);
  ASSERT_GE(runs.size(), 11u);
  const std::vector<int> expected = {12, 6, 6, 6, 6, 6, 18, 6, 6, 6};
  EXPECT_EQ(std::vector<int>(runs.begin(), runs.begin() + 10), expected);
  // The line ends at x = 83: the last dash shows 5 of its 6 pixels.
  EXPECT_GE(runs[10], 5);
  // A solid style inks the whole line.
  const QImage solid = LineStyleSampleImage(6);
  EXPECT_GT(qAlpha(solid.pixel(40, 5)), 128);
  EXPECT_EQ(qAlpha(solid.pixel(40, 1)), 0);
}

TEST_F(DetailInspectorTest, ConversionRows) {
  Objex* line = addDetail(kSubDetailLine, {{0, 0}, {100, 0}}, false);
  update();
  EXPECT_EQ(shownName(), "DetailObjectInspector");
  std::vector<std::string> rows = popUpTitles("conversionPopUpButton");
  for (const std::string& r : kAlways) EXPECT_TRUE(Has(rows, r)) << r;
  EXPECT_TRUE(Has(rows, "Pathway/Driveway"));
  EXPECT_TRUE(Has(rows, "Fence"));
  for (const char* r : {"Floor", "Freehand Roof", "Deck With Railing", "Property Line", "Topography",
                        "Open Polygon", "Closed Polygon"})
    EXPECT_FALSE(Has(rows, r)) << r;

  for (Poinz* p = line->firstPoint; p; p = p->next) p->selected = 0;
  Objex* square = addDetail(kSubDetailPolygon, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true);
  update();
  rows = popUpTitles("conversionPopUpButton");
  EXPECT_FALSE(Has(rows, "Pathway/Driveway"));
  EXPECT_FALSE(Has(rows, "Closed Polygon"));
  EXPECT_TRUE(Has(rows, "Floor"));
  EXPECT_TRUE(Has(rows, "Topography Excavation"));
  EXPECT_EQ(rows.back(), "Open Polygon");

  auto* pane = DetailObjectInspectorController::sharedInspectorController();
  for (Poinz* p = square->firstPoint; p; p = p->next) p->selected = 0;
  pane->populateConversionPopUpButton();
  rows = popUpTitles("conversionPopUpButton");
  EXPECT_FALSE(Has(rows, "Closed Polygon"));
  EXPECT_TRUE(Has(rows, "Open Polygon"));
  EXPECT_TRUE(Has(rows, "Pathway/Driveway"));

  for (Poinz* p = square->firstPoint; p; p = p->next) p->selected = 1;
  Objex* open = addDetail(kSubDetailPolygon, {{0, 0}, {100, 0}, {100, 100}}, false);
  pane->populateConversionPopUpButton();
  rows = popUpTitles("conversionPopUpButton");
  EXPECT_FALSE(Has(rows, "Open Polygon"));
  EXPECT_FALSE(Has(rows, "Closed Polygon"));

  for (Poinz* p = square->firstPoint; p; p = p->next) p->selected = 0;
  open->firstPoint->next->outHandle[0] = 5;
  pane->populateConversionPopUpButton();
  rows = popUpTitles("conversionPopUpButton");
  EXPECT_FALSE(Has(rows, "Fence"));
  EXPECT_TRUE(Has(rows, "Closed Polygon"));
}

TEST_F(DetailInspectorTest, PatternOnTwoRectanglesAndWidths) {
  Objex* a = addDetail(kSubDetailRect, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true);
  Objex* b = addDetail(kSubDetailRect, {{0, 200}, {100, 200}, {100, 300}, {0, 300}}, true);
  a->fillPattern = 1;
  b->fillPattern = 2;
  update();
  mark();
  chooseTag("patternPopUpButton", 8);
  EXPECT_EQ(a->fillPattern, 8);
  EXPECT_EQ(b->fillPattern, 8);
  EXPECT_EQ(gPattern, 8);
  chooseTag("patternPopUpButton", 8);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Object Pattern"}));

  type("lineWidthText", "2.5");
  EXPECT_EQ(a->width, 2.5f);
  EXPECT_EQ(b->width, 2.5f);
  EXPECT_EQ(text("lineWidthText"), "2");
  EXPECT_EQ(ds->newLineWeight, 2);
  // A refused width shows the tool's width again, not the objects' own.
  ds->newLineWeight = 4;
  mark();
  for (const char* refused : {"0", "-3", "wide", ""}) {
    type("lineWidthText", refused);
    EXPECT_EQ(a->width, 2.5f) << refused;
    EXPECT_EQ(text("lineWidthText"), "4") << refused;
  }
  EXPECT_EQ(ds->newLineWeight, 4);
  EXPECT_EQ(stepsSinceMark(), Steps{});
  type("lineWidthText", "100");
  EXPECT_EQ(a->width, 72);

  mark();
  chooseCell("editLevelButtons", 1);
  EXPECT_EQ(a->extraFlags, 1);
  EXPECT_EQ(ds->detailEditLevel, 1);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Object Edit Level"}));
}

TEST_F(DetailInspectorTest, OvalDisablesDimensionsAndGroupedDetailIsNotEdited) {
  addDetail(kSubDetailOval, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true);
  update();
  EXPECT_FALSE(control<QCheckBox>("displayDimsButton")->isEnabled());

  for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next)
    for (Poinz* p = o->firstPoint; p; p = p->next) p->selected = 0;
  Objex* group = add(kObjGroup, {}, false, false);
  Objex* inner = addDetail(kSubDetailRect, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true, group);
  inner->fillPattern = 0;
  update();
  EXPECT_EQ(shownName(), "DetailObjectInspector");
  chooseTag("patternPopUpButton", 3);
  EXPECT_EQ(inner->fillPattern, 0);
  EXPECT_EQ(gPattern, 3);
}

TEST_F(DetailInspectorTest, ConversionTurnsTheSelectedOutlines) {
  Objex* square = addDetail(kSubDetailPolygon, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true);
  update();
  chooseTag("conversionPopUpButton", kCmdConvertToFloor);
  EXPECT_EQ(square->type, kObjFloor);
  // The title row converts nothing.
  for (Poinz* p = square->firstPoint; p; p = p->next) p->selected = 0;
  Objex* other = addDetail(kSubDetailPolygon, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true);
  update();
  chooseTag("conversionPopUpButton", 0);
  EXPECT_EQ(other->type, kObjDetail);
}

}  // namespace
