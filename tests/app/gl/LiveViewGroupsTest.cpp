// Walls grouped with Plan > Group in the program, on each floor: the walls, their doors and
// windows stand in 3D where they stood before, grouped, saved and opened again, and ungrouped;
// a second-floor wall saved in a group (with the group's base elevation 0) opens where it
// stands.
#include <gtest/gtest.h>

// The wall records first: their field "slots" is a word Qt's headers take for themselves.
#include "model/Attachments.h"
#include "model/WallFields.h"

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <cfloat>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "LiveViewTestSupport.h"
#include "RedWalls.h"
#include "app/PlanViewActions.h"
#include "app/ZLKWindowController.h"
#include "building3d/PlaneObjects.h"
#include "model/CommandCodes.h"
#include "model/Delete.h"
#include "model/Globals.h"
#include "model/HitTest.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/ToolCodes.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

namespace {

using namespace red_walls;

// The heights of every vertex of the 3D scene, sorted, by the kind of plan object built and the
// kind of the part it was built for (a wall's own faces, its door's, its window's).
using SceneHeights = std::map<std::pair<int16_t, int16_t>, std::vector<float>>;

SceneHeights Heights() {
  SceneHeights h;
  for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    const std::pair<int16_t, int16_t> key{po->base2DObject ? po->base2DObject->type : int16_t{0}, po->actual3DType};
    for (const Plane* p = po->planes; p; p = p->next)
      for (int32_t i = 0; i < p->vertexCount; ++i) h[key].push_back(p->vertices[i].y);
  }
  for (auto& [key, ys] : h) std::sort(ys.begin(), ys.end());
  return h;
}

void ExpectSameHeights(const SceneHeights& expected, const SceneHeights& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  for (const auto& [key, ys] : expected) {
    SCOPED_TRACE(testing::Message() << "plan kind " << key.first << ", part kind " << key.second);
    ASSERT_EQ(actual.count(key), 1u);
    const std::vector<float>& now = actual.at(key);
    ASSERT_EQ(now.size(), ys.size());
    for (size_t i = 0; i < ys.size(); ++i) ASSERT_NEAR(now[i], ys[i], 1e-3) << "vertex " << i;
  }
}

class LiveViewGroupsTest : public LiveViewTest {
 protected:
  Layer* floor(const char* name) const { return GetLayerFromName(name); }

  // Every object of the floor selected, then the menu command.
  void groupOrUngroup(Layer* layer, int32_t command) {
    SelectAllLayers(model->itsLayers, kSelectOff, 0);
    for (Objex* o = layer->firstObject; o; o = o->next) SetObjectSelectFlags(o, 1);
    gCurDocument = model;
    window->planViewActions().perform(command);
    RenderAllLayers();
  }
  void reopen(const char* name) {
    const std::string path = folder + "/" + name;
    ASSERT_TRUE(doc->writeToFile(path, "pro"));
    ASSERT_TRUE(doc->readFromFile(path, "pro"));
    model = doc->documentModel();
    ds = model->itsDocState;
    gCurDocument = model;
    RenderAllLayers();
  }
  // The lowest and highest vertex height of the 3D built for walls (screen units, up negative).
  static std::pair<float, float> WallSpan() {
    float low = FLT_MAX, high = -FLT_MAX;
    for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
      if (!po->base2DObject || po->base2DObject->type != kObjWall) continue;
      for (const Plane* plane = po->planes; plane; plane = plane->next)
        for (int32_t i = 0; i < plane->vertexCount; ++i) {
          low = std::min(low, plane->vertices[i].y);
          high = std::max(high, plane->vertices[i].y);
        }
    }
    return {low, high};
  }
};

// On each floor, a wall with a door and a window: grouped with the menu, saved and opened,
// ungrouped, the 3D scene's heights stay as they were, the group's base elevation whatever it
// was given (the working base elevation, 0 here).
TEST_F(LiveViewGroupsTest, GroupingAWallWithItsOpeningsMovesNothingIn3DOnAnyFloor) {
  ds->planBounds = FloatRect{-2400, -2400, 2400, 2400};
  ds->zoomFactor = 1;
  ds->snapToGrid = 0;
  gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  window->show();
  QApplication::setActiveWindow(window);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  ASSERT_TRUE(showLiveViewAt(320, 240));
  for (const char* name : {"First Floor", "Second Floor", "Third Floor"}) {
    SCOPED_TRACE(name);
    for (Layer* l = model->itsLayers; l; l = l->next)
      while (l->firstObject) {
        Objex* o = l->firstObject;
        UnlinkObject(o);
        DeleteObj(o);
      }
    Layer* layer = floor(name);
    layer->visible = 1;
    model->itsCurLayer = layer;
    Objex* wall = AddRedWall(model, {{-150, 1700}, {150, 1700}});
    const float base = GetLayerAbsBaseHeight(layer);
    for (Poinz* p = wall->firstPoint; p; p = p->next) BaseElevationOf(p) = base;
    wall->baseElevation = base;
    Update3DWall(wall);
    PressOpeningTool(kToolDoor, wall, -60);
    PressOpeningTool(kToolWindow, wall, 60);
    ASSERT_NE(wall->firstChild, nullptr);
    ASSERT_NE(wall->firstChild->next, nullptr) << "a door and a window";
    ds->baseElevation = 0;
    RenderAllLayers();
    const SceneHeights alone = Heights();
    ASSERT_EQ(alone.count({kObjWall, kObjDoor}), 1u);
    ASSERT_EQ(alone.count({kObjWall, kObjWindow}), 1u);
    const auto span = WallSpan();
    EXPECT_NEAR(span.second, -ConvertWorldToScreen(base, ds, 0), 0.01f);

    groupOrUngroup(layer, kCmdGroup);
    ASSERT_EQ(layer->firstObject->type, kObjGroup);
    {
      SCOPED_TRACE("grouped");
      ExpectSameHeights(alone, Heights());
    }
    reopen("grouped.pro");
    layer = floor(name);
    ASSERT_EQ(layer->firstObject->type, kObjGroup);
    {
      SCOPED_TRACE("grouped, saved and opened");
      ExpectSameHeights(alone, Heights());
    }
    groupOrUngroup(layer, kCmdUngroup);
    ASSERT_EQ(layer->firstObject->type, kObjWall);
    {
      SCOPED_TRACE("ungrouped");
      ExpectSameHeights(alone, Heights());
    }
    if (HasFailure()) return;
  }
}

// The tester's design: a second-floor wall, 96" high on the first floor's 96", in a group
// whose base elevation is 0. It opens at 96"-192" (and on through the floor's depth), and so
// it does ungrouped, and grouped again, saved and opened.
TEST_F(LiveViewGroupsTest, ASecondFloorWallSavedInAGroupOpensWhereItStands) {
  openRegressionDesign("upper-floor-wall-grouped.pro");
  Layer* second = floor("Second Floor");
  ASSERT_NE(second, nullptr);
  ASSERT_EQ(second->firstObject->type, kObjGroup);
  EXPECT_FLOAT_EQ(second->firstObject->baseElevation, 0);
  auto expectWhereItStands = [&](const char* when) {
    SCOPED_TRACE(when);
    RenderAllLayers();
    Objex* group = floor("Second Floor")->firstObject;
    Objex* wall = group->type == kObjGroup ? group->firstChild : group;
    ASSERT_EQ(wall->type, kObjWall);
    for (Poinz* p = wall->firstPoint; p; p = p->next) EXPECT_FLOAT_EQ(BaseElevationOf(p), 96);
    const auto span = WallSpan();
    EXPECT_NEAR(span.second, -ConvertWorldToScreen(96, ds, 0), 0.01f);
    EXPECT_NEAR(span.first, -ConvertWorldToScreen(192 + FloorDepthOf(wall), ds, 0), 0.01f);
  };
  expectWhereItStands("opened");
  second->visible = 1;
  groupOrUngroup(second, kCmdUngroup);
  ASSERT_EQ(second->firstObject->type, kObjWall);
  expectWhereItStands("ungrouped");
  groupOrUngroup(second, kCmdGroup);
  ASSERT_EQ(second->firstObject->type, kObjGroup);
  expectWhereItStands("grouped again");
  reopen("again.pro");
  expectWhereItStands("saved and opened");
}

}  // namespace
