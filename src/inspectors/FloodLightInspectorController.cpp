// The flood lights' pane: components of their own subtype among a wall's children.
#include "inspectors/FloodLightInspectorController.h"

#include "inspectors/WallChildWalk.h"
#include "model/DocState.h"
#include "model/Records.h"
#include "model/Services.h"

namespace {
constexpr int32_t kFloodLightSubtype = 83;
}

FloodLightInspectorController::FloodLightInspectorController() : LightPane("FloodLightInspector", false) {
  buildLightControls();
}

FloodLightInspectorController* FloodLightInspectorController::sharedInspectorController() {
  static auto* controller = new FloodLightInspectorController;
  return controller;
}

void FloodLightInspectorController::updatePropertiesForObject(Objex* light, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  if (!light) showDefaults(ds);
  else if (light->type == kObjComponent && light->subtype == kFloodLightSubtype) showLight(light, init);
}

void FloodLightInspectorController::settingChanged(Setting setting, bool release) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  showSliderLabel(setting);
  if (!release) return;
  const int32_t value = controlValue(setting);
  ForEachSelectedWallChild(kObjComponent, kFloodLightSubtype, false, [&](Objex* wall, Objex* light) {
    wall->needsRender = 1;
    gRefreshRender = 1;
    writeLight(light, setting, value, false);
    return true;
  });
  StoreInspectorUndo(undoLabel(setting));
  if (setting == Setting::kGlow) Refresh();
  writeDefault(ds, setting, value);
}
