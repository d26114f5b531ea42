// The status line's sizes and areas of new designs at every plan scale, in imperial and in
// metric units: what Select All, a click, the area command and the floor areas show is the
// same real size whatever the scale, with one and with several objects selected, and after
// a delete undone and redone.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include <string>

#include "AppTestSupport.h"
#include "PlanScales.h"
#include "app/PlanViewActions.h"
#include "model/ViewCommands.h"
#include "app/Win32EventHandler.h"
#include "files/Undo.h"
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"

namespace {

class PlanReadoutsAtScale : public DesignWindowTest, public testing::WithParamInterface<PlanScaleDesign> {
 protected:
  void beforeDocument() override { gDefaultToImperial = GetParam().metric ? 0 : 1; }
  void afterDocument() override {
    ASSERT_EQ(ds->measureSystem == kMeasureMetric, GetParam().metric);
    view = showPlanView(2);
    ASSERT_NO_FATAL_FAILURE(ChoosePlanScale(window, model, GetParam().scale));
    PlanZoom(ds) = TopViewZoom(ds) = 1.0f;
    view->refreshVisibleView();
  }

  // A world length given in inches, as plan units of the design.
  float plan(float inches) const { return ConvertWorldToScreen(GetWorldFromInches(inches, ds), ds, 0); }
  // A closed outline of the type, its corners (x, z) to (x + w, z + d) given in world inches.
  Objex* add(int16_t type, Layer* layer, float x, float z, float w, float d, int16_t subtype = 0) {
    RGBColor black{};
    Objex* o = CreateObject(type, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr);
    o->subtype = subtype;
    const float corners[4][2] = {{x, z}, {x + w, z}, {x + w, z + d}, {x, z + d}};
    for (const auto& c : corners)
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, plan(c[0]), 0, plan(c[1]), 0, 0, 0, 0, 0, 0, o), o);
    o->planMask = 2;
    AppendObjectToLayer(o, layer);
    UpdateObjectBounds(o);
    return o;
  }
  std::string status() const { return window->statusText()->text().toStdString(); }
  std::string undoName() { return doc->undoManager().undoActionName(); }
  Win32EventHandler& handler() { return *Win32EventHandler::sharedEventHandler(); }

  ZLKDocumentView* view = nullptr;
};

INSTANTIATE_TEST_SUITE_P(EveryPlanScale, PlanReadoutsAtScale, testing::ValuesIn(EveryPlanScaleDesign()),
                         PlanScaleDesignName);

// Imperial: 10' by 5' and 2' by 2' at (12', 7'): together 14' by 9'. Metric: 300 by 150 cm and
// 60 by 60 cm at (360, 210) cm: together 420 by 270 cm.
TEST_P(PlanReadoutsAtScale, SelectionSizesShowTheRealSizeOfOneAndOfSeveralObjects) {
  const bool metric = GetParam().metric;
  const float unit = metric ? 1 / 2.54f : 12;  // inches per centimetre or per foot
  const float big[4] = {0, 0, 10 * unit, 5 * unit}, small[4] = {12 * unit, 7 * unit, 2 * unit, 2 * unit};
  const float k = metric ? 30 : 1;  // the metric sizes are thirty times the centimetres above
  add(kObjRect, model->itsCurLayer, big[0] * k, big[1] * k, big[2] * k, big[3] * k);
  add(kObjRect, model->itsCurLayer, small[0] * k, small[1] * k, small[2] * k, small[3] * k);
  InitializeUndo();
  doc->undoManager().removeAllActions();
  const std::string one = metric ? "Width: 3000 mm, Depth: 1500 mm" : "Width: 120\", Depth: 60\"";
  const std::string both = metric ? "Width: 4200 mm, Depth: 2700 mm" : "Width: 168\", Depth: 108\"";

  for (float zoom : {1.0f, 1.5f}) {
    PlanZoom(ds) = TopViewZoom(ds) = zoom;
    view->refreshVisibleView();
    SelectAllLayers(model->itsLayers, kSelectOff, 0);
    window->clearStatusBar();
    handler().selectAllObjects();
    EXPECT_EQ(status(), both) << "zoom " << zoom;
    // A click on nothing, then on the larger one alone.
    QTest::mouseClick(view, Qt::LeftButton, {}, WidgetPointOf(view, plan(-48), plan(-48)));
    QTest::mouseClick(view, Qt::LeftButton, {}, WidgetPointOf(view, plan(big[2] * k), plan(big[3] * k / 2)));
    EXPECT_EQ(status(), one) << "zoom " << zoom;
  }
  PlanZoom(ds) = TopViewZoom(ds) = 1.0f;
  view->refreshVisibleView();

  // Both deleted, the delete undone and redone: the readout of what is gone never stays.
  handler().selectAllObjects();
  ASSERT_EQ(status(), both);
  window->planViewActions().perform(kCmdDelete);
  EXPECT_EQ(objectCount(), 0);
  EXPECT_EQ(status(), "");
  window->updateWindowState();
  EXPECT_EQ(window->undoAction()->text(), QString("Undo Delete"));
  window->undoAction()->trigger();
  EXPECT_EQ(objectCount(), 2);
  handler().selectAllObjects();
  EXPECT_EQ(status(), both);
  window->redoAction()->trigger();
  EXPECT_EQ(objectCount(), 0);
  window->updateWindowState();
  EXPECT_EQ(window->redoAction()->text(), QString("Redo"));
}

// Each floor's exterior walls enclose an area of its own; the totals are rounded to whole
// units (a fraction of 0.6 goes up). A 200 by 100 inch cutout inside a 300 by 200 inch shape
// takes its area away in the area command.
TEST_P(PlanReadoutsAtScale, FloorAndSelectionAreasAreRealAreasRounded) {
  const bool metric = GetParam().metric;
  const char* floors[3] = {"First Floor", "Second Floor", "Third Floor"};
  // Sides in inches: 102.6, 400 and 25 sq.ft.; 25.65, 100 and 6 sq.m.
  const float sides[3][2] = {{120, 123.12f}, {240, 240}, {60, 60}};
  const float metricSides[3][2] = {{500 / 2.54f, 513 / 2.54f}, {1000 / 2.54f, 1000 / 2.54f}, {200 / 2.54f, 300 / 2.54f}};
  for (int i = 0; i < 3; ++i) {
    Layer* floor = GetLayerFromName(floors[i]);
    ASSERT_NE(floor, nullptr) << floors[i];
    const float* s = metric ? metricSides[i] : sides[i];
    add(kObjWall, floor, 0, 0, s[0], s[1], kSubExteriorWall);
  }
  add(kObjWall, GetLayerFromName("First Floor"), 0, 0, 600, 600);  // not exterior: not counted
  const char* expected[3] = {"First Floor Area: 103 sq.ft.", "Second Floor Area: 400 sq.ft.",
                             "Third Floor Area: 25 sq.ft."};
  const char* metricExpected[3] = {"First Floor Area: 26 sq.m.", "Second Floor Area: 100 sq.m.",
                                   "Third Floor Area: 6 sq.m."};
  for (int i = 0; i < 3; ++i) {
    window->planViewActions().perform(kTagFirstFloorArea + i);
    EXPECT_EQ(status(), metric ? metricExpected[i] : expected[i]);
  }

  Objex* shape = add(kObjDetail, model->itsCurLayer, 400, 0, 300, 200);
  Objex* hole = add(kObjCutout, model->itsCurLayer, 450, 50, 200, 100);
  SelectObj(shape, kSelectOn, 1);
  handler().calculateAndDisplayArea();
  // 60000 sq.in.: 416.67 sq.ft. or 38.71 sq.m.; less 20000 sq.in.: 277.78 or 25.81.
  EXPECT_EQ(status(), metric ? "Area: 39 sq.m." : "Area: 417 sq.ft.");
  SelectObj(hole, kSelectOn, 1);
  handler().calculateAndDisplayArea();
  EXPECT_EQ(status(), metric ? "Area: 26 sq.m." : "Area: 278 sq.ft.");
  // A deck adds its 120 by 100 inches (to 361.11 sq.ft. or 33.55 sq.m.); a rectangle counts nothing.
  SelectObj(add(kObjDeck, model->itsCurLayer, 800, 0, 120, 100), kSelectOn, 1);
  SelectObj(add(kObjRect, model->itsCurLayer, 1000, 0, 120, 100), kSelectOn, 1);
  handler().calculateAndDisplayArea();
  EXPECT_EQ(status(), metric ? "Area: 34 sq.m." : "Area: 361 sq.ft.");
}

// The four lot-edge viewpoints of a lot that is not centred: each stands 125 plan units in from
// its own edge, looks across the lot, and at half the height of the working floor above its
// base, in plan units of the design's scale (first floor 8 feet, second 10 feet high).
TEST_P(PlanReadoutsAtScale, LotEdgeViewpointsStandAtTheirEdgeAtTheWorkingFloorsEyeHeight) {
  ds->planBounds = FloatRect{-1000, -2000, 1500, 3000};
  Layer* first = GetLayerFromName("First Floor");
  Layer* second = GetLayerFromName("Second Floor");
  ASSERT_TRUE(first && second);
  ASSERT_EQ(second->prev, first);
  first->height = GetWorldFromInches(96, ds);
  second->height = GetWorldFromInches(120, ds);
  struct Edge {
    int32_t tag;
    float angle, h, v;
  };
  const Edge edges[] = {{kViewpointLotTopEdge, 180, 0, -875},
                        {kViewpointLotBottomEdge, 0, 0, 1375},
                        {kViewpointLotLeftEdge, 270, -1875, 0},
                        {kViewpointLotRightEdge, 90, 2875, 0}};
  for (Layer* floor : {first, second}) {
    model->itsCurLayer = floor;
    const float eye = floor == first ? plan(48) : plan(96 + 60);
    for (const Edge& e : edges) {
      ds->cameraMode() = 2;
      ds->walkPitchAngle() = 9;
      window->planViewActions().perform(e.tag);
      EXPECT_FLOAT_EQ(ds->cameraAngle(), e.angle) << e.tag;
      EXPECT_FLOAT_EQ(ds->cameraPosition().floatH, e.h) << e.tag;
      EXPECT_FLOAT_EQ(ds->cameraPosition().floatV, e.v) << e.tag;
      EXPECT_NEAR(ds->eyeHeight(), eye, 1e-3f * eye) << floor->name << " " << e.tag;
      EXPECT_EQ(ds->cameraMode(), 1);
      EXPECT_EQ(ds->walkPitchAngle(), 0);
    }
  }
  model->itsCurLayer = first;
}

}  // namespace
