// The command bridge: the one object through which the plan window's menu commands reach
// the core. Each command works on the current document (gCurDocument), redraws the plan
// and stores an undo snapshot for an edit; ids come in as the menu item's tag.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

class QWidget;
struct Layer;
struct Objex;
struct Poinz;

class Win32EventHandler {
 public:
  // The single handler, made on first use and never freed.
  static Win32EventHandler* sharedEventHandler();
  bool acceptsFirstResponder() const { return true; }

  // Clipboard and selection.
  void cutObjects();
  void copyObjects();
  void pasteObjects();
  void selectAllObjects();
  // Deletes the selected objects (the plan view's Delete key and Edit > Delete).
  void deleteObjects();

  // Floors: the selection moved or copied one floor up or down (an alert on the top or
  // bottom floor).
  void copyObjectsToUpperFloor();
  void copyObjectsToLowerFloor();
  void moveObjectsToUpperFloor();
  void moveObjectsToLowerFloor();

  // Plans.
  void moveObjectsToPlanUsingCommand(int32_t command);  // 5335..5342, 5389
  void moveToPlanUsingCommand(int32_t command);         // the same, from the context menu
  void setVisiblePlansUsingCommand(int32_t command);    // 11000..11008
  void flipPlanUsingCommand(int32_t command);           // 5363, 5364

  // Edits of the selection.
  void flipObjectsUsingCommand(int32_t command);          // 5034, 5035
  void mirrorObjectsUsingCommand(int32_t command);        // 5008, 5138
  void nudgeObjectsUsingCommand(int32_t command);         // 5036..5039
  void alterObjectPositionUsingCommand(int32_t command);  // 5105, 5106
  // Groups the selected top-level objects without redraw or undo (after placing content). A
  // selected tree of more than kMaxGroupsToGroup groups groups nothing, with an alert saying why.
  void groupNoRedraw();
  void groupObjects();
  void ungroupObjects();
  void unsmoothSelected();
  void floatObjectAboveTopo();
  // Converts the selected 2D detail objects of the current floor (10050..10079); each
  // conversion stores its own undo snapshot.
  void convertObjectsUsingCommand(int32_t command);

  // Object context commands: they act on gContextFoundObj and do nothing without it.
  void convertWallTypeUsingCommand(int32_t command);  // 13000 interior, 13001 exterior
  void reverseStairDirection();
  // The cabinet under the last context click: alone selected, then the cabinet plug-in (131)
  // as launchCabinetAddkit does. Nothing without a cabinet, layers or that plug-in.
  void launchObjectAddkit();
  // The cabinet plug-in for the current design: a plug-in another design holds, or one that
  // does not start, gets its alert; a started one covers the design window with its progress
  // sheet, the palettes put away. False when not launched.
  bool launchCabinetAddkit();
  // Sums the areas of the selected top-level objects of the current floor into the status line.
  void calculateAndDisplayArea();

  // Views of the plan.
  void resetView();
  void updateViewingHeight();
  void viewTop();
  void actualSize();
  void resetPlanView();
  void refreshView();
  // Zoom 0.6 and the view reset, then FitToWindow: everything drawn fits the plan view.
  void fitToWindow();

  // Floors and plans.
  // 5275..5277 make that floor the working floor (and select it in the toolbar's floor
  // pop-up); 5278 shows all floors, 5279 only the working floor.
  void workOnFloorUsingCommand(int32_t command);
  // 5343..5350, 5390: shows the tab of that plan, which makes it the working plan.
  void workOnPlanUsingCommand(int32_t command);
  // 5300..5302: the exterior-wall area of the first, second or third floor in the status line.
  void calculateFloorAreaUsingCommand(int32_t command);

  // Toggles.
  void toggleGrid();
  void snapToGrid();
  void toggleDimensions();
  void toggleCallouts();
  void toggleTopographyLines();
  void toggleVirtualRuler();
  void toggleFloorplanTraceImage();
  // Asks for an image file (chooseTraceImagePath) and hands it to the main window's panel end.
  void loadFloorplanTraceImage();
  void removeFloorplanTraceImage();

  // Asks for the trace image file; "" when cancelled. Unset: an open dialog on the main
  // window. Tests replace it.
  std::function<std::string()> chooseTraceImagePath;

  // Asks for an object file ("QOB"; chooseObjectFilePath) and hands it to the main window's
  // panel end, which imports it into the plan.
  void import3DObjectUsingWindow(QWidget* window = nullptr);
  std::function<std::string()> chooseObjectFilePath;
  // Asks where to write the 3D model as VRML ("wrl"; chooseVRMLSavePath, "" when cancelled)
  // and hands the path to the main window's panel end.
  void exportVRMLUsingWindow(QWidget* window);
  std::function<std::string()> chooseVRMLSavePath;
  // The 3D window shown, then its image export panel or its print settings sheet.
  void exportLiveViewImage();
  void print3DLiveViewImage();

  // 3D view settings.
  // 10004..10007: free walk, free fly, controlled walk, controlled fly (the 3D window's
  // navigation actions).
  void setLVInteractionMethodUsingCommand(int32_t command);
  // 10000..10003: wireframe, textured wireframe, ClearView, solid.
  void setRenderStyleUsingCommand(int32_t command);
  // 5151..5154: the walk camera 125 units inside the left, right, bottom or top lot edge.
  void setViewpointUsingCommand(int32_t command);
  // These three store their value only (no redraw, no undo).
  void setNavigationSpeedUsingCommand(int32_t command);  // 10500..10504: 6..10
  void setRenderQualityUsingCommand(int32_t command);    // 5291..5294: 4, 8, 15, 24 passes
  void setShadowQualityUsingCommand(int32_t command);    // 5333: 0, 5334: 5
  // Brings the 3D window forward (rebuilding a deferred scene) and renders.
  void showLVAndRenderFinal();
  void showLVAndRenderShadows();

  // Sheets on the design window: each opens its sheet (nothing without a window or while the
  // window carries a sheet).
  void moveObjectsUsingWindow(QWidget* window);
  void movePlanUsingWindow(QWidget* window);
  void rotateObjectsUsingWindow(QWidget* window);
  void rotatePlanUsingWindow(QWidget* window);
  // Primes the elevation sheet (float off, the elevation shown) and opens it.
  void setObjectElevationUsingWindow(QWidget* window);
  void setWorkingElevationUsingWindow(QWidget* window);
  void setCeilingHeightForLayer(Layer* layer, QWidget* window);
  void resizeFloorplanTraceImageUsingWindow(QWidget* window);
  void setLotSizeUsingWindow(QWidget* window);
  void setTrueNorthAngleUsingWindow(QWidget* window);
  void setGridPropertiesUsingWindow(QWidget* window);
  void setDimensionPropertiesUsingWindow(QWidget* window);
  void setPlanScaleUsingWindow(QWidget* window);
  void setPlanZoomUsingWindow(QWidget* window);
  void setMeasurementUnitsUsingWindow(QWidget* window);
  // The text sheet for gContextFoundObj.
  void editTextObjectUsingWindow(QWidget* window);
  void showCeilingBuilderUsingWindow(QWidget* window);
  // The planting age of the selected plants; the years the plant growth control projects.
  void setPlantingAgeUsingWindow(QWidget* window);
  void setPlantGrowthProjectionUsingWindow(QWidget* window);
  // Shows the plants in the content palette; opens the fill sheet when a plant is selected
  // there, else says that none is.
  void fillObjectWithPlantsUsingWindow(QWidget* window);
  // The details window of the plant under the last context click (not modal).
  void showPlantDetailsWindow();
  // The curve tension sheet on the main design window.
  void smoothSelected();
  // The key entry sheet for the segment from start to end of the object, on the main design
  // window: the length shown is the wall's dimensioned length for a wall, else the points'.
  void keyEntrySheetForObject(Objex* object, Poinz* startPoint, Poinz* endPoint);

 private:
  Win32EventHandler() = default;
  void floorMove(int32_t command);
};

// The plan view's edit check: an object of the current floor, or one of its children, is
// selected.
bool ShouldProceedWithEditEvent();
// Choosing a floor hides the other floors ("View Working Floor Only").
extern uint8_t gWorkingFloorVisibleOnly;
// The status text of a floor's area (5300..5302); "" for another id, a missing floor or an
// area that is not at least 0.
std::string FloorAreaStatusText(int32_t command);
// Whether the current document holds a loaded trace image.
bool DocumentHasTraceImage();
// Gives the sheets, the preferences window and the snap palette what they need of the design
// window and the application (called at start-up).
void InstallSheetHooks();
