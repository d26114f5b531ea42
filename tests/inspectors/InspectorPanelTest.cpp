// The inspector panel: which pane the dock shows for a selection or a tool, the tool table,
// the pane host, and the dock's toolbar item and menu item.
#include <QMenuBar>
#include <QToolBar>
#include <QImage>

#include "InspectorTestSupport.h"
#include "app/AppController.h"
#include "app/ZLKWindowController.h"
#include "inspectors/ValueFields.h"
#include "model/CommandCodes.h"
#include "model/Selection.h"

namespace {

class InspectorPanelTest : public InspectorTest {};

TEST_F(InspectorPanelTest, ToolPaneOrNoPropertiesWithNothingSelected) {
  update();
  EXPECT_EQ(shown(), inspector->noPropertiesView());

  gCurTool = 7050;
  update();
  EXPECT_EQ(shownName(), "WallToolInspector");
  EXPECT_EQ(gToolProperties, 1);
  QLineEdit scratch;
  SetFloatItem(&scratch, ds->wallHeight);
  EXPECT_EQ(text("wallHeightText"), scratch.text().toStdString());

  // A key without a pane and a tool without a key.
  for (uint16_t tool : {7510, 7515, 200, 7055, 7103, 7105, 7108}) {
    gCurTool = tool;
    update();
    EXPECT_EQ(shown(), inspector->noPropertiesView()) << tool;
  }
}

TEST_F(InspectorPanelTest, ToolTable) {
  EXPECT_EQ(inspector->getToolPropertyType(7110), 83);
  EXPECT_EQ(inspector->getToolPropertyType(208), 138);
  EXPECT_EQ(inspector->getToolPropertyType(7510), 62);
  EXPECT_EQ(inspector->getToolPropertyType(7515), 62);
  for (int16_t tool : {200, 7055, 7103, 7105, 7108}) EXPECT_EQ(inspector->getToolPropertyType(tool), 0) << tool;
  EXPECT_EQ(inspector->getToolPropertyType(7507), 12);
  EXPECT_EQ(inspector->getToolPropertyType(7606), 13);
  EXPECT_EQ(inspector->getToolPropertyType(7308), 57);
  EXPECT_EQ(inspector->getToolPropertyType(7703), 7703);
  EXPECT_EQ(inspector->loadInspectorView(62), nullptr);
  gCurTool = 7705;
  update();
  EXPECT_EQ(shownName(), "DetailTool3Inspector");
  gCurTool = 7706;
  update();
  EXPECT_EQ(shownName(), "DetailTool2Inspector");
  gCurTool = 7704;
  update();
  EXPECT_EQ(shownName(), "DetailTool1Inspector");
  // Tool and object forms of one key.
  gToolProperties = 0;
  EXPECT_EQ(inspector->loadInspectorView(12)->objectName(), "WallObjectInspector");
  EXPECT_EQ(inspector->loadInspectorView(7702)->objectName(), "DetailObjectInspector");
  gToolProperties = 1;
  EXPECT_EQ(inspector->loadInspectorView(12)->objectName(), "WallToolInspector");
  EXPECT_EQ(inspector->loadInspectorView(29)->objectName(), "DetailTool1Inspector");
}

TEST_F(InspectorPanelTest, WhatHasProperties) {
  Objex* cabinet = add(kObjGroup, {}, false, false);
  cabinet->subtype = kSubCabinet;
  Objex* part = add(kObjSymbolPart3D, {{0, 0}, {1, 0}}, false, true, cabinet);
  EXPECT_FALSE(inspector->objectHasProperties(part));
  cabinet->subtype = 0;
  EXPECT_TRUE(inspector->objectHasProperties(part));
  Objex* connector = add(kObjDetail, {{0, 0}, {5, 0}});
  connector->subtype = kSubSwitchConnector;
  EXPECT_FALSE(inspector->objectHasProperties(connector));
  connector->subtype = kSubDetailRect;
  EXPECT_TRUE(inspector->objectHasProperties(connector));
  Objex* component = add(kObjComponent, {{0, 0}});
  component->subtype = 84;
  EXPECT_FALSE(inspector->objectHasProperties(component));
  component->subtype = 83;
  EXPECT_TRUE(inspector->objectHasProperties(component));
  EXPECT_FALSE(inspector->objectHasProperties(nullptr));
  EXPECT_TRUE(inspector->isCommonPropertyTypes(13, 48));
  EXPECT_TRUE(inspector->isCommonPropertyTypes(80, 150));
  EXPECT_FALSE(inspector->isCommonPropertyTypes(12, 25));
}

TEST_F(InspectorPanelTest, FloorAndCutoutShareOnePaneBlankedWhereTheyDiffer) {
  Objex* floor = addSquare(kObjFloor);
  Objex* cutout = addSquare(kObjCutout);
  floor->params[2] = 6;
  cutout->params[2] = 8;
  floor->extraLong = 1;
  cutout->extraLong = 1;
  update();
  EXPECT_EQ(shownName(), "FloorInspector");
  EXPECT_EQ(gCurPropertiesObjectCount, 2);
  EXPECT_EQ(text("floorThicknessText"), "");
  EXPECT_TRUE(control<QCheckBox>("displayDimsButton")->isChecked());
  cutout->params[2] = 6;
  update();
  EXPECT_NE(text("floorThicknessText"), "");
}

TEST_F(InspectorPanelTest, DoorCountsAndItsWallIsPassedOver) {
  Objex* wall = add(kObjWall, {{0, 0}, {200, 0}}, false, false);
  Objex* door = add(kObjDoor, {{50, 0}, {80, 0}}, false, true, wall);
  (void)door;
  update();
  EXPECT_EQ(gCurPropertiesObjectCount, 1);
  EXPECT_EQ(shownName(), "DoorInspector");
  int32_t key = 0;
  gCurPropertiesObjectCount = 0;
  EXPECT_TRUE(inspector->updatePropertiesObjectState(wall, &key));
  EXPECT_EQ(key, 0);
  EXPECT_TRUE(inspector->updatePropertiesObjectState(door, &key));
  EXPECT_EQ(key, 16);
}

TEST_F(InspectorPanelTest, MixedKindsShowNoProperties) {
  add(kObjWall, {{0, 0}, {200, 0}});
  add(kObjFence, {{0, 50}, {200, 50}});
  gCurTool = 7050;
  update();
  EXPECT_EQ(shown(), inspector->noPropertiesView());
  EXPECT_EQ(gCurPropertiesObjectCount, 0);
}

TEST_F(InspectorPanelTest, WallWithOneSelectedCornerCountsNoSegment) {
  Objex* wall = add(kObjWall, {{0, 0}, {200, 0}, {200, 200}}, false, false);
  wall->firstPoint->next->selected = 1;
  update();
  EXPECT_EQ(gCurPropertiesObjectCount, 0);
  EXPECT_EQ(shown(), inspector->noPropertiesView());
  gCurTool = 7051;
  update();
  EXPECT_EQ(shownName(), "WallToolInspector");
}

TEST_F(InspectorPanelTest, GroupWithoutPropertiesFirstShowsTheToolPane) {
  Objex* group = add(kObjGroup, {}, false, false);
  add(kObjLine, {{0, 0}, {10, 0}}, false, true, group);
  add(kObjAirDuct, {{0, 50}, {100, 50}});
  gCurTool = 7400;
  update();
  EXPECT_EQ(gCurPropertiesObjectCount, 0);
  EXPECT_EQ(shownName(), "AirDuctInspector");
  EXPECT_EQ(gToolProperties, 1);
}

TEST_F(InspectorPanelTest, ChildrenAfterARoofPanelAreNotScanned) {
  add(kObjRoofPanel, {{0, 0}, {100, 0}, {100, 100}}, true);
  Objex* wall = add(kObjWall, {{0, 200}, {200, 200}}, false, false);
  add(kObjDoor, {{50, 200}, {80, 200}}, false, true, wall);
  update();
  EXPECT_EQ(shownName(), "Roof2Inspector");
  EXPECT_EQ(gCurPropertiesObjectCount, 1);
}

TEST_F(InspectorPanelTest, SwappingInTheShownPaneOnlyRefits) {
  gCurTool = 7502;
  update();
  QWidget* pane = shown();
  ASSERT_NE(pane, nullptr);
  const int children = inspector->parentInspectorView()->findChildren<QWidget*>(
      QString(), Qt::FindDirectChildrenOnly).size();
  inspector->parentInspectorView()->resize(10, 10);
  inspector->swapCurrentViewWithInspectorView(pane);
  EXPECT_EQ(shown(), pane);
  EXPECT_EQ(pane->parentWidget(), inspector->parentInspectorView());
  EXPECT_EQ(inspector->parentInspectorView()->size(), pane->size());
  EXPECT_EQ(inspector->parentInspectorView()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(),
            children);
  // Another pane takes its place; the first leaves the host.
  gCurTool = 7400;
  update();
  EXPECT_NE(shown(), pane);
  EXPECT_EQ(pane->parentWidget(), nullptr);
}

// The host takes the size of what it shows, also after a larger pane.
TEST_F(InspectorPanelTest, HostShrinksToASmallerPaneAndToTheNoPropertiesView) {
  gCurTool = 7050;
  update();
  const QSize large = shown()->size();
  gCurTool = 7400;
  update();
  const QSize small = shown()->size();
  ASSERT_TRUE(small.width() < large.width() || small.height() < large.height());
  EXPECT_EQ(inspector->parentInspectorView()->size(), small);

  gCurTool = 7050;
  update();
  auto* scroll = dock->findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  const QSize visible = scroll->viewport()->size();
  inspector->swapCurrentViewWithInspectorView(nullptr);
  EXPECT_EQ(shown(), inspector->noPropertiesView());
  EXPECT_EQ(inspector->noPropertiesView()->geometry(), QRect(QPoint(0, 0), visible));
  EXPECT_EQ(inspector->parentInspectorView()->size(), visible);
}

TEST_F(InspectorPanelTest, NothingWithoutACurrentLayer) {
  gCurTool = 7400;
  update();
  QWidget* before = shown();
  Layer* layer = model->itsCurLayer;
  model->itsCurLayer = nullptr;
  gCurTool = 7050;
  update();
  EXPECT_EQ(shown(), before);
  model->itsCurLayer = layer;
}

TEST_F(InspectorPanelTest, ToolbarItemAndWindowMenuShowAndHideTheDock) {
  QAction* item = window->findChild<QAction*>(QString::fromLatin1(ZLKWindowController::DocTBInspectorItemIdentifier));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->toolTip().toStdString(), "Toggle the object inspector");
  dock->show();
  item->trigger();
  EXPECT_TRUE(dock->isHidden());
  EXPECT_FALSE(defaults.getBool("ShowInspectorPanel"));
  EXPECT_FALSE(AppController::inspectorVisible());
  EXPECT_TRUE(defaults.hasValue("NSWindow Frame InspectorPanel"));
  item->trigger();
  EXPECT_FALSE(dock->isHidden());
  EXPECT_TRUE(defaults.getBool("ShowInspectorPanel"));
  EXPECT_TRUE(AppController::inspectorVisible());
  EXPECT_TRUE(dock->features() & QDockWidget::DockWidgetFloatable);

  QAction* menuItem = nullptr;
  for (QAction* a : window->findChildren<QAction*>())
    if (a->data().toInt() == kCmdToggleInspector) menuItem = a;
  ASSERT_NE(menuItem, nullptr);
  window->validatePlanMenus();
  EXPECT_EQ(menuItem->text().toStdString(), "Hide Inspector");
  menuItem->trigger();
  EXPECT_TRUE(dock->isHidden());
  window->validatePlanMenus();
  EXPECT_EQ(menuItem->text().toStdString(), "Show Inspector");
}

// The design window holds its inspector in a scroll area inside the dock.
TEST_F(InspectorPanelTest, PaneHostLivesInAScrollArea) {
  auto* scroll = dock->findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  EXPECT_EQ(scroll->widget(), inspector->parentInspectorView());
  gCurTool = 7001;
  update();
  EXPECT_EQ(shownName(), "StiffenerBeamInspector");
  EXPECT_EQ(shown()->parentWidget(), scroll->widget());
}

TEST_F(InspectorPanelTest, ContentViewIsAFramedWhiteBackground) {
  ZLKContentView view;
  view.resize(40, 20);
  const QImage image = view.grab().toImage();
  EXPECT_EQ(QColor(image.pixel(10, 10)), QColor(Qt::white));
  EXPECT_EQ(QColor(image.pixel(0, 10)), QColor(Qt::gray));
  EXPECT_EQ(QColor(image.pixel(38, 10)), QColor(Qt::gray));
  EXPECT_EQ(QColor(image.pixel(39, 10)), QColor(Qt::white));
  EXPECT_EQ(QColor(image.pixel(10, 19)), QColor(Qt::gray));
}

TEST_F(InspectorPanelTest, CurveButtonsReachTheCommandHandler) {
  Objex* floor = addSquare(kObjFloor);
  floor->firstPoint->next->outHandle[0] = 10;
  update();
  mark();
  click("straightenCurveButton");
  EXPECT_EQ(floor->firstPoint->next->outHandle[0], 0);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Unsmooth Objects"}));
}

}  // namespace
