// The context menus: which items each object type offers, the plan menu, the toolbar and
// palette menus, and right-clicks in the plan view that pop a menu up and run its choice.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/ContextMenuFactory.h"
#include "app/Win32EventHandler.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "model/Area.h"
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/ViewCommands.h"
#include "model/ViewProjection.h"
#include "plandraw/PlanDrawSettings.h"
#include "platform/UserDefaults.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace fs = std::filesystem;

namespace {

// "-" stands for a separator.
std::vector<std::string> Titles(const QMenu* menu) {
  std::vector<std::string> titles;
  if (!menu) return titles;
  for (const QAction* item : menu->actions())
    titles.push_back(item->isSeparator() ? "-" : item->text().toStdString());
  return titles;
}

std::vector<int> Tags(const QMenu* menu) {
  std::vector<int> tags;
  for (const QAction* item : menu->actions()) {
    int32_t tag = -1;
    if (!item->isSeparator()) tags.push_back(ContextMenuFactory::tagOfItem(item, &tag) ? tag : -1);
  }
  return tags;
}

std::string sStatusText;
void CaptureStatusText(const char* text) { sStatusText = text ? text : ""; }

class ContextMenus : public DesignWindowTest {
 protected:
  void beforeDocument() override {
    savedGrid = gPlanDrawSettings.gridVisible;
    savedStatus = gFrontEnd.setStatusBarText;
    ResetTrackingState();
  }
  void afterDocument() override { view = showPlanView(3); }
  void beforeClosing() override {
    ZLKDocumentView::contextMenuPresenter = nullptr;
    gFrontEnd.setStatusBarText = savedStatus;
    gPlanDrawSettings.gridVisible = savedGrid;
    gContextFoundObj = gContextParentObj = nullptr;
    gCurTool = kToolSelection;
    ResetTrackingState();
  }

  Objex* add(int16_t type, int32_t subtype, bool closed, std::initializer_list<std::pair<float, float>> pts,
             int32_t planMask = 2) {
    RGBColor black{};
    Objex* o = CreateObject(type, closed, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr);
    o->subtype = subtype;
    for (auto [x, z] : pts) AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
    o->planMask = planMask;
    AppendObjectToLayer(o, model->itsCurLayer);
    UpdateObjectBounds(o);
    return o;
  }
  Objex* square(int16_t type, int32_t subtype, float half) {
    return add(type, subtype, true, {{-half, -half}, {half, -half}, {half, half}, {-half, half}});
  }
  std::unique_ptr<QMenu> menuFor(Objex* object) {
    ClickInfo click{};
    click.hitObject = object;
    return ContextMenuFactory::objectContextMenuWithClickInfo(&click);
  }
  QPoint at(float x, float z) const {
    return WidgetPointOf(view, x, z);
  }
  // A right-click whose pop-up records what it showed and chooses the item titled `choice`.
  void rightClick(QPoint where, const std::string& choice) {
    shown.clear();
    ZLKDocumentView::contextMenuPresenter = [this, choice](QMenu* menu, const QPoint&) -> QAction* {
      shown = Titles(menu);
      contextObjectWhileShown = gContextFoundObj;
      for (QAction* item : menu->actions())
        if (item->text().toStdString() == choice) return item;
      return nullptr;
    };
    QTest::mousePress(view, Qt::RightButton, {}, where);
    QTest::mouseRelease(view, Qt::RightButton, {}, where);
  }
  std::string undoName() { return doc->undoManager().undoActionName(); }

  uint8_t savedGrid = 1;
  void (*savedStatus)(const char*) = nullptr;
  ZLKDocumentView* view = nullptr;
  std::vector<std::string> shown;
  Objex* contextObjectWhileShown = nullptr;
};

}  // namespace

TEST_F(ContextMenus, ObjectMenusFollowTheHitObjectsType) {
  Objex* exterior = add(kObjWall, kSubExteriorWall, false, {{0, 0}, {100, 0}}, 1);
  auto menu = menuFor(exterior);
  ASSERT_TRUE(menu);
  EXPECT_EQ(Titles(menu.get()), (std::vector<std::string>{"Convert Wall to Interior"}));
  EXPECT_EQ(Tags(menu.get()), (std::vector<int>{kCmdConvertWallToInterior}));
  EXPECT_EQ(menu->actions()[0]->objectName(), "convertWallType:");
  EXPECT_EQ(gContextFoundObj, exterior);
  EXPECT_EQ(gContextParentObj, exterior);

  Objex* interior = add(kObjWall, 0, false, {{0, 50}, {100, 50}});
  EXPECT_EQ(Titles(menuFor(interior).get()), (std::vector<std::string>{"Convert Wall to Exterior"}));

  Objex* detail = square(kObjDetail, 1, 20);
  menu = menuFor(detail);
  ASSERT_TRUE(menu);
  EXPECT_EQ(Titles(menu.get()), (std::vector<std::string>{"Bring to Front", "Send to Back", "-", "Calculate Area"}));
  EXPECT_EQ(Tags(menu.get()), (std::vector<int>{kCmdBringToFront, kCmdSendToBack, kTagCalculateAndDisplayArea}));
  EXPECT_FALSE(menuFor(square(kObjDetail, 0, 20)));
  EXPECT_FALSE(menuFor(square(kObjDetail, 8, 20)));
  EXPECT_EQ(Titles(menuFor(square(kObjDetail, 7, 20)).get()),
            (std::vector<std::string>{"Bring to Front", "Send to Back", "-", "Calculate Area"}));
  // Every type of a shared menu, not only the first named.
  const std::pair<int16_t, std::vector<std::string>> sharedMenus[] = {
      {kObjPropertyLine, {"Calculate Area"}},
      {kObjDeck, {"Calculate Area"}},
      {kObjPath, {"Set Elevation...", "Float Above Topography", "-", "Calculate Area"}},
      {kObjGroundFill, {"Set Elevation...", "Float Above Topography", "-", "Calculate Area"}},
      {kObjFence, {"Set Elevation...", "Float Above Topography"}},
  };
  for (const auto& [type, titles] : sharedMenus) EXPECT_EQ(Titles(menuFor(square(type, 0, 10)).get()), titles) << type;
  EXPECT_EQ(Titles(menuFor(add(kObjDynamicText, 0, false, {{0, 0}})).get()), (std::vector<std::string>{"Edit Text..."}));

  Objex* stairs = add(kObjStaircase, 0, false, {{0, 0}, {0, 100}});
  EXPECT_EQ(Tags(menuFor(stairs).get()), (std::vector<int>{kCmdReverseStaircaseDirection}));
  EXPECT_EQ(Titles(menuFor(square(kObjCutout, 0, 10)).get()), (std::vector<std::string>{"Calculate Area"}));
  EXPECT_EQ(Titles(menuFor(square(kObjFill, 0, 10)).get()),
            (std::vector<std::string>{"Set Elevation...", "Float Above Topography", "-", "Calculate Area"}));
  EXPECT_EQ(Titles(menuFor(square(kObjFloor, 0, 10)).get()),
            (std::vector<std::string>{"Set Elevation...", "-", "Calculate Area"}));
  EXPECT_EQ(Titles(menuFor(add(kObjPlant, 0, false, {{5, 5}})).get()),
            (std::vector<std::string>{"Locate Plant", "Plant Details...", "-", "Set Elevation...", "Float Above Topography"}));

  // No menu: a door, no hit object; a text object offers its sheet.
  gContextFoundObj = nullptr;
  Objex* door = add(kObjDoor, 500, false, {{0, 0}, {30, 0}});
  EXPECT_FALSE(menuFor(door));
  EXPECT_EQ(gContextFoundObj, door);
  EXPECT_EQ(Titles(menuFor(add(kObjText, 0, false, {{0, 0}})).get()), (std::vector<std::string>{"Edit Text..."}));
  EXPECT_FALSE(ContextMenuFactory::objectContextMenuWithClickInfo(nullptr));
  ClickInfo empty{};
  EXPECT_FALSE(ContextMenuFactory::objectContextMenuWithClickInfo(&empty));
}

TEST_F(ContextMenus, AFloorInAMarkedGroupHasNoMenu) {
  Objex* floor = square(kObjFloor, 0, 30);
  Objex* other = square(kObjFloor, 0, 10);
  SelectObj(floor, kSelectOn, 1);
  SelectObj(other, kSelectOn, 1);
  Win32EventHandler::sharedEventHandler()->groupObjects();
  Objex* group = GetRootObject(floor);
  ASSERT_NE(group, floor);
  ASSERT_EQ(group->type, kObjGroup);
  EXPECT_TRUE(menuFor(floor));
  group->groupMarker = 5;
  EXPECT_FALSE(menuFor(floor));
  EXPECT_EQ(gContextParentObj, group);
}

TEST_F(ContextMenus, ToolbarPaletteAndSliderMenus) {
  auto plans = ContextMenuFactory::visiblePlanMenu();
  ASSERT_EQ(plans->actions().size(), 10);
  EXPECT_TRUE(plans->actions()[0]->text().isEmpty());
  EXPECT_FALSE(plans->actions()[0]->data().isValid());
  EXPECT_EQ(plans->actions()[1]->text(), "Foundation Plan");
  EXPECT_EQ(plans->actions()[9]->text(), "Detail Plan");
  EXPECT_EQ(plans->actions()[9]->data().toInt(), 11008);
  EXPECT_EQ(ContextMenuFactory::toolbarVisiblePlanMenu()->actions().size(), 9);

  EXPECT_EQ(Tags(ContextMenuFactory::toolbarFloorMenu().get()), (std::vector<int>{5275, 5276, 5277}));
  EXPECT_EQ(Tags(ContextMenuFactory::toolbarLiveViewRenderStyleMenu().get()),
            (std::vector<int>{10000, 10001, 10002, 10003}));
  EXPECT_EQ(Titles(ContextMenuFactory::liveViewRenderStyleMenu().get())[3], "ClearView");
  EXPECT_EQ(Tags(ContextMenuFactory::toolbarLiveViewViewpointMenu().get()), (std::vector<int>{5154, 5153, 5151, 5152}));
  EXPECT_EQ(Titles(ContextMenuFactory::liveViewViewpointMenu().get())[1], "View from Lot's Top Edge");

  // Plants and objects get the icon item only, like every category but the colours.
  EXPECT_EQ(Titles(ContextMenuFactory::contentActionMenuUsingTarget(nullptr, 5, 0).get()),
            (std::vector<std::string>{""}));
  EXPECT_EQ(Titles(ContextMenuFactory::contentActionMenuUsingTarget(nullptr, 4, 19).get()),
            (std::vector<std::string>{""}));
  EXPECT_EQ(Titles(ContextMenuFactory::contentActionMenuUsingTarget(nullptr, 2, 10).get()),
            (std::vector<std::string>{""}));
  auto colours = ContextMenuFactory::contentActionMenuUsingTarget(nullptr, 1, 0);
  EXPECT_EQ(Titles(colours.get()), (std::vector<std::string>{"", "Change Color..."}));
  EXPECT_EQ(colours->actions()[1]->data().toInt(), 12000);
  // The leading item shows the content actions image and carries no action or tag.
  const QAction* image = colours->actions()[0];
  EXPECT_FALSE(image->icon().pixmap(16, 16).isNull());
  EXPECT_TRUE(image->objectName().isEmpty());
  EXPECT_FALSE(image->data().isValid());

  ds->selectionState40.ssStateFresh = 1;
  EXPECT_EQ(Titles(ContextMenuFactory::elevationSliderContextMenu().get()),
            (std::vector<std::string>{"Set Working Elevation..."}));
  ds->selectionState40.ssStateFresh = 0;
  EXPECT_EQ(Titles(ContextMenuFactory::elevationSliderContextMenu().get()),
            (std::vector<std::string>{"Set Elevation...", "Float Above Topography"}));
  gCurDocument = nullptr;
  EXPECT_FALSE(ContextMenuFactory::elevationSliderContextMenu());
  gCurDocument = model;
}

TEST_F(ContextMenus, TheToolbarsVisiblePlanPullDownShowsOrHidesTheChosenPlan) {
  QWidget* item = window->docToolbar();
  ASSERT_NE(item, nullptr);
  QPoint shownAt;
  std::vector<std::string> listed;
  bool floorChecked = false, roofingChecked = true;
  auto choose = [&](const std::string& choice) {
    ZLKDocumentView::contextMenuPresenter = [&, choice](QMenu* menu, const QPoint& at) -> QAction* {
      shownAt = at;
      listed.clear();
      QAction* chosen = nullptr;
      for (QAction* entry : menu->actions()) {
        if (!entry->isVisible()) continue;
        listed.push_back(entry->text().toStdString());
        if (entry->text().toStdString() == "Floor Plan") floorChecked = entry->isChecked();
        if (entry->text().toStdString() == "Roofing Plan") roofingChecked = entry->isChecked();
        if (entry->text().toStdString() == choice) chosen = entry;
      }
      return chosen;
    };
    window->setVisiblePlanUsingTBMenu(item);
  };
  ASSERT_EQ(ds->currentPlanMask, 3);
  choose("Roofing Plan");
  // Pulled down under the item, the nine plans without the pull-down's title, checked as shown.
  EXPECT_EQ(shownAt, item->mapToGlobal(QPoint(0, item->height())));
  ASSERT_EQ(listed.size(), 9u);
  EXPECT_EQ(listed.front(), "Foundation Plan");
  EXPECT_TRUE(floorChecked);
  EXPECT_FALSE(roofingChecked);
  EXPECT_EQ(ds->currentPlanMask, 3 | 16);
  choose("Foundation Plan");
  EXPECT_TRUE(roofingChecked);
  EXPECT_EQ(ds->currentPlanMask, 2 | 16);
  // The working plan's item cannot hide it; a dismissed menu changes nothing either.
  choose("Floor Plan");
  EXPECT_EQ(ds->currentPlanMask, 2 | 16);
  choose("");
  EXPECT_EQ(ds->currentPlanMask, 2 | 16);
}

TEST_F(ContextMenus, ARightClickOnEmptyPlanShowsThePlanMenuAndRunsItsChoice) {
  gPlanDrawSettings.gridVisible = 0;
  ShowAutoDimensions(ds) = 0;
  rightClick(at(0, 150), "Show Grid");
  EXPECT_EQ(shown, (std::vector<std::string>{"Show Automatic Dimensions", "-", "View All Floors",
                                             "View Working Floor Only", "-", "Grid Properties...", "Show Grid",
                                             "Snap to Grid", "-", "Paste"}));
  EXPECT_EQ(gPlanDrawSettings.gridVisible, 1);
  EXPECT_FALSE(view->isTracking());
  EXPECT_EQ(gMouseCaptured, 0);
  // The validation retitles the grid item now that the grid shows.
  rightClick(at(0, 150), "");
  ASSERT_EQ(shown.size(), 10u);
  EXPECT_EQ(shown[6], "Hide Grid");
  EXPECT_EQ(gPlanDrawSettings.gridVisible, 1);

  // "View Working Floor Only" hides the other floors.
  rightClick(at(0, 150), "View Working Floor Only");
  EXPECT_EQ(GetLayerFromName("First Floor")->visible, 1);
  EXPECT_EQ(GetLayerFromName("Second Floor")->visible, 0);
  rightClick(at(0, 150), "View All Floors");
  EXPECT_EQ(GetLayerFromName("Second Floor")->visible, 1);
}

TEST_F(ContextMenus, ARightClickOnAWallConvertsItUnderItsUndoName) {
  Objex* wall = add(kObjWall, kSubExteriorWall, false, {{-100, 0}, {100, 0}}, 1);
  // The outline the building elements would make: what the hit test measures a wall by.
  RGBColor black{};
  Objex* outline = CreateObject(kObjClosedPoly, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr);
  for (auto [x, z] : {std::pair{-100.0f, -3.0f}, {100.0f, -3.0f}, {100.0f, 3.0f}, {-100.0f, 3.0f}})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, outline), outline);
  UpdateObjectBounds(outline);
  wall->typeData = outline;
  UpdateObjectBounds(wall);
  rightClick(at(0, 0), "Convert Wall to Interior");
  EXPECT_EQ(shown, (std::vector<std::string>{"Convert Wall to Interior"}));
  EXPECT_EQ(contextObjectWhileShown, wall);
  EXPECT_EQ(wall->subtype, 0);
  EXPECT_EQ(undoName(), "Convert Wall to Interior");
  // The pop-up is over: the clicked object is forgotten.
  EXPECT_EQ(gContextFoundObj, nullptr);
  EXPECT_EQ(gContextParentObj, nullptr);
  EXPECT_FALSE(view->isTracking());

  rightClick(at(0, 0), "Convert Wall to Exterior");
  EXPECT_EQ(wall->subtype, kSubExteriorWall);
  EXPECT_EQ(undoName(), "Convert Wall to Exterior");

  // Dismissing the menu changes nothing.
  rightClick(at(0, 0), "");
  EXPECT_EQ(wall->subtype, kSubExteriorWall);
}

TEST_F(ContextMenus, ContextCommandsNeedTheirObject) {
  Objex* detail = square(kObjDetail, 1, 20);
  auto& handler = *Win32EventHandler::sharedEventHandler();
  gContextFoundObj = detail;  // not a wall, not a staircase
  handler.convertWallTypeUsingCommand(kCmdConvertWallToExterior);
  handler.reverseStairDirection();
  EXPECT_EQ(detail->type, kObjDetail);
  EXPECT_EQ(detail->subtype, 1);
  gContextFoundObj = nullptr;
  handler.convertWallTypeUsingCommand(kCmdConvertWallToExterior);  // nothing to act on

  Objex* stairs = add(kObjStaircase, 0, false, {{0, 0}, {0, 100}});
  gContextFoundObj = stairs;
  ServiceCallRecorder calls;
  handler.reverseStairDirection();
  EXPECT_FLOAT_EQ(stairs->firstPoint->position[2], 100);
  EXPECT_TRUE(calls.called("UpdateStairObject", stairs->objectID));
  EXPECT_EQ(undoName(), "Reverse Staircase Direction");
}

TEST_F(ContextMenus, CalculateAreaSumsTheSelectedShapesOfTheFloor) {
  gFrontEnd.setStatusBarText = CaptureStatusText;
  Objex* big = square(kObjDetail, 1, 300);
  Objex* hole = square(kObjCutout, 0, 150);
  square(kObjDetail, 1, 500);  // not selected
  auto& handler = *Win32EventHandler::sharedEventHandler();
  ds->measureSystem = 3;
  SelectObj(big, kSelectOn, 1);
  const float bigArea = ComputeObjectCurvedArea(big);
  ASSERT_GT(bigArea, 4);
  handler.calculateAndDisplayArea();
  EXPECT_EQ(sStatusText, "Area: " + std::to_string(static_cast<long>(bigArea + 0.5)) + " sq.ft.");
  // A cutout takes its area away.
  ds->measureSystem = 4;
  SelectObj(hole, kSelectOn, 1);
  const float metricBig = ComputeObjectCurvedArea(big), metricHole = ComputeObjectCurvedArea(hole);
  ASSERT_NEAR(metricHole * 4, metricBig, 0.01f * metricBig);
  handler.calculateAndDisplayArea();
  EXPECT_EQ(sStatusText, "Area: " + std::to_string(static_cast<long>(metricBig - metricHole + 0.5)) + " sq.m.");

  // A path counts the area of the ribbon surface its rebuild made.
  ds->measureSystem = 3;
  SelectAllLayers(model->itsLayers, kSelectOff, 0);
  Objex* path = add(kObjPath, 0, false, {{-100, 600}, {100, 600}});
  path->width = 40;
  Update3DPath(path);
  const Objex* surface = nullptr;
  for (auto* part = static_cast<const Objex*>(path->typeData); part; part = part->next)
    if (part->type == kObjPathSurface) surface = part;
  ASSERT_TRUE(surface);
  const float pathArea = ComputeObjectCurvedArea(surface);
  ASSERT_GT(pathArea, 4);
  SelectObj(path, kSelectOn, 1);
  handler.calculateAndDisplayArea();
  EXPECT_EQ(sStatusText, "Area: " + std::to_string(static_cast<long>(pathArea + 0.5)) + " sq.ft.");
}
