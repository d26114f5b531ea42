// The plan view's menu actions: each forwards one menu item (by its tag) to the command
// bridge, and the menu validation enables, checks and retitles the items from the state of
// the current document.
#pragma once
#include <cstdint>
#include <string>

class QAction;

// Tags of the plan menu items that the command table gives no code.
enum : int32_t {
  kTagCopyObjects = 90001,
  kTagPasteObjects = 90002,
  kTagSelectAllObjects = 90003,
  kTagResetPlanView = 90004,
  kTagRefreshView = 90005,
  kTagLoadFloorplanTraceImage = 90006,
  kTagImport3DObject = 90007,
  kTagCalculateAndDisplayArea = 90008,
  kTagFitToWindow = 90009,
  kTagPrint = 90010,
  kTagPrintToScale = 90011,
  // The 3D window's commands reached from the plan window's menus.
  kTagShowLVAndRenderFinal = 90012,
  kTagShowLVAndRenderShadows = 90013,
  kTagResetLV3DView = 90014,
  kTagSetLVWalkThroughElevation = 90015,
  kTagSetLVFlyAroundAltitude = 90016,
  kTagShowLVRenderProperties = 90017,
  kTagShowLVLightProperties = 90018,
  // The 3D model written as a VRML file.
  kTagExportVRML = 90041,
  // The 3D view exported as an image and printed.
  kTagExportLiveViewImage = 90042,
  kTagPrint3DLiveViewImage = 90043,
};

// Tags of the items that open the value sheets, the preferences, the snap palette and the
// About window.
enum : int32_t {
  kTagMoveObjects = 90100,
  kTagMovePlan = 90101,
  kTagRotateObjects = 90102,
  kTagRotatePlan = 90103,
  kTagSetObjectElevation = 90104,
  kTagSetWorkingElevation = 90105,
  kTagCeilingHeightFirstFloor = 5156,  // 5156..5158: first, second, third floor
  kTagCeilingHeightThirdFloor = 5158,
  kTagSetLotSize = 90109,
  kTagSetTrueNorthAngle = 90110,
  kTagSetGridProperties = 90111,
  kTagSetDimensionProperties = 90112,
  kTagSetPlanScale = 90113,
  kTagSetPlanZoom = 90114,
  kTagSetMeasurementUnits = 90115,
  kTagEditTextObject = 90116,
  kTagSmoothCurves = 90117,
  kTagShowPreferences = 90118,
  kTagShowAbout = 90119,
  // Plan > Addkits...: the plug-in launcher of the application delegate.
  kTagShowAddkitLauncher = 90120,
  // Help > the manual and the home page, items of the application delegate.
  kTagLaunchManual = 90121,
  kTagVisitHomePage = 90122,
  kTagSetPlantingAge = 90140,
  kTagSetPlantGrowthProjection = 90141,
  kTagFillObjectWithPlants = 90142,
};

// Menu tags with a fixed meaning in the validation.
enum : int32_t {
  kTagShowGrid = 5044,
  kTagSnapToGrid = 5045,
  kTagToggleVirtualRuler = 5274,
  kTagFirstFloor = 5275,
  kTagViewAllFloors = 5278,
  kTagViewWorkingFloorOnly = 5279,
  kTagFirstFloorArea = 5300,  // 5300..5302: the area of the first, second, third floor
  kTagWorkOnFoundationPlan = 5343,  // 5343..5350: the working plan, foundation to landscape
  kTagWorkOnDetailPlan = 5390,
  kTagToggleFloorplanTraceImage = 5281,
  kTagResizeFloorplanTraceImage = 5282,
  kTagToggleCallouts = 5289,
  kTagShowAutomaticDimensions = 5290,
  kTagToggleTopographyLines = 5418,
  kTagRemoveFloorplanTraceImage = 5440,
  kTagShowFoundationPlan = 11000,  // 11000..11008: show or hide a plan
};

// What the validation decided for one item: enabled, a check mark when `hasState`, and a new
// title when `title` is not empty.
struct MenuItemValidation {
  bool enabled = true;
  bool hasState = false;
  bool checked = false;
  std::string title;
};

class PlanViewActions {
 public:
  // The actions, each handing its tag (when it takes one) to the command bridge.
  void cut();
  void copy();
  void paste();
  void selectAll();
  void deleteSelection();
  void moveObjectsToPlan(int32_t tag);
  void flipObjects(int32_t tag);
  void flipPlan(int32_t tag);
  void mirrorObjects(int32_t tag);
  void nudgeObjects(int32_t tag);
  void alterObjectPosition(int32_t tag);
  void copyObjectsToFloor(int32_t tag);  // 5170 up, 5171 down
  void moveObjectsToFloor(int32_t tag);  // 5168 up, 5169 down
  void groupObjects();
  void ungroupObjects();
  void unsmoothObjects();
  void floatObjectAboveTopo();
  void convertObjects(int32_t tag);
  void resetPlanView();
  void refreshView();
  void toggleGrid();
  void snapToGrid();
  void setVisiblePlans(int32_t tag);
  void toggleDimensions();
  void toggleCallouts();
  void toggleTopographyLines();
  void toggleVirtualRuler();
  void loadFloorplanTraceImage();
  void import3DObject();
  // Floors (5275..5279) and the object context commands.
  void setFloorView(int32_t tag);
  void convertWallType(int32_t tag);  // 13000, 13001
  void reverseStairDirection();
  // The cabinet plug-in for the cabinet under the last context click.
  void launchObjectAddkit();
  // The plug-in launcher (the application delegate's).
  void showAddkitLauncher();
  void calculateAndDisplayArea();
  void toggleFloorplanTraceImage();
  void removeFloorplanTraceImage();
  void fitToWindow();
  // The current document's plan, fitted to a page or at its plan scale.
  void print();
  void printToScale();
  void workOnPlan(int32_t tag);          // 5343..5350, 5390
  void calculateFloorArea(int32_t tag);  // 5300..5302
  // 3D view settings and the 3D window.
  void setLVInteractionMethod(int32_t tag);  // 10004..10007
  void setRenderStyle(int32_t tag);          // 10000..10003
  void setViewpoint(int32_t tag);            // 5151..5154
  void setLVNavigationSpeed(int32_t tag);    // 10500..10504
  void setRenderQuality(int32_t tag);        // 5291..5294
  void setShadowQuality(int32_t tag);        // 5333, 5334
  void showLVAndRenderFinal();
  void showLVAndRenderShadows();
  void resetLV3DView();
  void setLVWalkThroughElevation();
  void setLVFlyAroundAltitude();
  void showLVRenderProperties();
  void showLVLightProperties();

  // The sheet, panel and window items (kTagMoveObjects.., 5282, 14002): opens what the tag
  // names; false for another tag.
  static bool openSheet(int32_t tag);
  static bool opensSheet(int32_t tag);
  static MenuItemValidation validateSheetItem(int32_t tag);

  // Runs the action of a menu item by its tag; false for a tag no action takes.
  bool perform(int32_t tag);
  static bool understands(int32_t tag);

  // The state of the item with this tag for the current document.
  static MenuItemValidation validate(int32_t tag);
  // Applies validate() to the item (its tag is the action's data); returns whether enabled.
  static bool validateMenuItem(QAction* item);
};
