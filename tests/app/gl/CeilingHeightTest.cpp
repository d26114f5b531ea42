// A floor's ceiling height set with its sheet: the floors above stand on it, so their 3D rises
// or sinks by the change (the floor's own and those below stay), whether the value is typed
// and sent with Return or the OK button is clicked; one undo step, which undo and redo step.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cfloat>
#include <string>

#include "LiveViewTestSupport.h"
#include "RedWalls.h"
#include "app/PlanViewActions.h"
#include "app/ZLKWindowController.h"
#include "building3d/PlaneObjects.h"
#include "files/Undo.h"
#include "inspectors/PlanSettingsSheets.h"
#include "inspectors/SheetController.h"
#include "inspectors/ValueFields.h"
#include "model/Delete.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/WallFields.h"

namespace {

using namespace red_walls;

class CeilingHeightTest : public LiveViewTest {
 protected:
  Layer* floor(const char* name) const { return GetLayerFromName(name); }

  // A wall on the floor, standing on its base.
  void addWallOn(Layer* layer, float z) {
    model->itsCurLayer = layer;
    Objex* wall = AddRedWall(model, {{-150, z}, {150, z}});
    const float base = GetLayerAbsBaseHeight(layer);
    for (Poinz* p = wall->firstPoint; p; p = p->next) BaseElevationOf(p) = base;
    wall->baseElevation = base;
    Update3DWall(wall);
    model->itsCurLayer = model->itsLayers;
  }
  // The lowest and highest vertex height (screen units, up negative) of the 3D built for the
  // floor's wall.
  static std::pair<float, float> WallSpan(const Layer* layer) {
    float low = FLT_MAX, high = -FLT_MAX;
    const Objex* wall = layer->firstObject;
    for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
      if (po->base2DObject != wall) continue;
      for (const Plane* plane = po->planes; plane; plane = plane->next)
        for (int32_t i = 0; i < plane->vertexCount; ++i) {
          low = std::min(low, plane->vertices[i].y);
          high = std::max(high, plane->vertices[i].y);
        }
    }
    return {low, high};
  }
  void openSheet() {
    gCurDocument = model;
    window->planViewActions().perform(kTagCeilingHeightFirstFloor);
    SheetController* s = SheetController::attachedSheet(window);
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(s));
    s->activateWindow();
    QApplication::processEvents();
  }
  // Types into whatever has the keyboard when the sheet opens, then Return.
  void typeAndReturn(const char* text) {
    openSheet();
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClicks(focus, text);
    QTest::keyClick(focus, Qt::Key_Return);
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void typeAndClickOK(const char* text) {
    openSheet();
    auto* s = qobject_cast<CeilingHeightController*>(SheetController::attachedSheet(window));
    ASSERT_NE(s, nullptr);
    s->heightText->setText(text);
    s->okButton()->click();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

TEST_F(CeilingHeightTest, TheFloorsAboveFollowTheCeilingFromTheFieldAndTheButtonWithOneUndoStep) {
  struct System {
    bool metric;
    float start;                  // the first floor's height, inches
    const char *typed, *clicked;  // a new height sent with Return, then one with OK
    float typedInches, clickedInches;
  };
  const System systems[] = {{false, 96, "106\"", "8'", 106, 96},
                            {true, 240 / 2.54f, "270 cm", "2.5 m", 270 / 2.54f, 250 / 2.54f}};
  const int16_t scales[] = {8, 9, 10, 11};
  ds->planBounds = FloatRect{-2400, -2400, 2400, 2400};
  window->show();
  QApplication::setActiveWindow(window);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  ASSERT_TRUE(showLiveViewAt(320, 240));
  for (const System& system : systems)
    for (const int16_t scale : scales) {
      SCOPED_TRACE(std::string(system.metric ? "metric" : "imperial") + " scale " + std::to_string(scale));
      for (Layer* l = model->itsLayers; l; l = l->next)
        while (l->firstObject) {
          Objex* o = l->firstObject;
          UnlinkObject(o);
          DeleteObj(o);
        }
      ds->measureSystem = system.metric ? kMeasureMetric : kMeasureImperial;
      ds->metricReadout = kReadoutFlagCentimeters;
      ds->planScaleChoice = scale;
      floor("First Floor")->height = system.start;
      floor("Second Floor")->height = system.metric ? 250 / 2.54f : 100;  // floors of their own heights
      addWallOn(floor("First Floor"), 1700);
      addWallOn(floor("Second Floor"), 1700);
      addWallOn(floor("Third Floor"), 1700);
      RenderAllLayers();
      StoreUndo("Walls");
      const char* const names[] = {"First Floor", "Second Floor", "Third Floor"};
      std::pair<float, float> at[3];
      for (int i = 0; i < 3; ++i) at[i] = WallSpan(floor(names[i]));
      ASSERT_LT(at[1].first, at[0].first);  // the second floor stands higher (up is negative)

      // Each step's floors: the first stays, the two above move by the change in screen units.
      auto expectSpans = [&](float height, const char* when) {
        const float rise = ConvertWorldToScreen(height - system.start, ds, 0);
        for (int i = 0; i < 3; ++i) {
          const auto now = WallSpan(floor(names[i]));
          const float expected = i == 0 ? 0 : rise;
          EXPECT_NEAR(at[i].first - now.first, expected, 0.01f) << when << " " << names[i];
          EXPECT_NEAR(at[i].second - now.second, expected, 0.01f) << when << " " << names[i];
        }
        EXPECT_NEAR(floor("First Floor")->height, height, 0.01f) << when;
      };

      typeAndReturn(system.typed);
      EXPECT_EQ(doc->undoManager().undoActionName(), "First Floor Ceiling Height");
      expectSpans(system.typedInches, "Return");

      doc->undoManager().undo();
      model = doc->documentModel();
      ds = model->itsDocState;
      expectSpans(system.start, "undo");
      EXPECT_EQ(doc->undoManager().undoActionName(), "Walls");
      doc->undoManager().redo();
      model = doc->documentModel();
      ds = model->itsDocState;
      expectSpans(system.typedInches, "redo");

      typeAndClickOK(system.clicked);
      expectSpans(system.clickedInches, "OK");
      doc->undoManager().undo();
      model = doc->documentModel();
      ds = model->itsDocState;
      expectSpans(system.typedInches, "undo of OK");
      doc->undoManager().removeAllActions();
    }
}

// Each floor's item of the menu opens the sheet of that floor, showing its own height, and
// sets that floor alone, with an undo step of its name that puts it back.
TEST_F(CeilingHeightTest, EachFloorsItemSetsThatFloorAlone) {
  window->show();
  QApplication::setActiveWindow(window);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  const char* const names[] = {"First Floor", "Second Floor", "Third Floor"};
  const int32_t tags[] = {kTagCeilingHeightFirstFloor, kTagCeilingHeightFirstFloor + 1, kTagCeilingHeightThirdFloor};
  const float heights[] = {96, 100, 104};
  for (int chosen = 0; chosen < 3; ++chosen) {
    SCOPED_TRACE(names[chosen]);
    for (int i = 0; i < 3; ++i) floor(names[i])->height = heights[i];
    StoreUndo("Heights");
    gCurDocument = model;
    window->planViewActions().perform(tags[chosen]);
    auto* s = qobject_cast<CeilingHeightController*>(SheetController::attachedSheet(window));
    ASSERT_NE(s, nullptr);
    EXPECT_NEAR(GetFloatItem(s->heightText), heights[chosen], 0.01f);
    s->heightText->setText("9'");
    s->okButton()->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(floor(names[i])->height, i == chosen ? 108 : heights[i], 0.01f) << names[i];
    EXPECT_EQ(doc->undoManager().undoActionName(), std::string(names[chosen]) + " Ceiling Height");
    doc->undoManager().undo();
    model = doc->documentModel();
    ds = model->itsDocState;
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(floor(names[i])->height, heights[i], 0.01f) << names[i];
  }
}

}  // namespace
