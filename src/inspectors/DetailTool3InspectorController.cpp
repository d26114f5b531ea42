// The circular arc tool's pane.
#include "inspectors/DetailTool3InspectorController.h"

#include "model/DocState.h"

DetailTool3InspectorController::DetailTool3InspectorController() : DetailToolInspectorBase("DetailTool3Inspector") {
  addLineControls();
  addEditLevel();
}

DetailTool3InspectorController* DetailTool3InspectorController::sharedInspectorController() {
  static auto* controller = new DetailTool3InspectorController;
  return controller;
}

void DetailTool3InspectorController::updatePropertiesForObject(Objex* object, bool) {
  if (!object) updateToolProperties();
}

void DetailTool3InspectorController::updateToolProperties() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  selectEditLevel(ds);
}
