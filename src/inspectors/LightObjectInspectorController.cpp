// The placed fixtures' pane. A fixture is a group on its floor whose texture word holds the
// kind; the group and each of its parts carry the light settings.
#include "inspectors/LightObjectInspectorController.h"

#include "model/DocState.h"
#include "model/Grouping.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/Services.h"

namespace {
int32_t KindOfFixture(const Objex* group) { return group->textureID; }
constexpr int32_t kFloodLightSubtype = 83;
}  // namespace

LightObjectInspectorController::LightObjectInspectorController() : LightPane("LightObjectInspector", true) {
  buildLightControls();
}

LightObjectInspectorController* LightObjectInspectorController::sharedInspectorController() {
  static auto* controller = new LightObjectInspectorController;
  return controller;
}

void LightObjectInspectorController::updatePropertiesForObject(Objex* part, bool init) {
  if (!InspectorDocState() || !InspectorCurLayer() || !part || !IsLightFixtureKind(part->type)) return;
  Fill fill(this);
  showLight(part, init);
  // A control stays enabled only while no selected fixture disables it.
  enableForKind(part->type, init);
}

void LightObjectInspectorController::settingChanged(Setting setting, bool release) {
  DocState* ds = InspectorDocState();
  Layer* layer = InspectorCurLayer();
  if (!ds || !layer) return;
  showSliderLabel(setting);
  if (!release) return;
  const int32_t value = controlValue(setting);
  for (Objex* group = layer->firstObject; group; group = group->next) {
    if (group->type != kObjGroup || !IsLightFixtureKind(KindOfFixture(group)) || !IsObjectSelected(group)) continue;
    writeLight(group, setting, value, false);
    if (group->subtype != kFloodLightSubtype)
      for (Objex* part = GetRootObject(group)->firstChild; part; part = part->next)
        writeLight(part, setting, value, true);
    group->needsRender = 1;
    gRefreshRender = 1;
  }
  // One step whether or not a fixture was selected; the tools place what was chosen last.
  StoreInspectorUndo(undoLabel(setting));
  if (setting == Setting::kGlow) Refresh();
  writeDefault(ds, setting, value);
}
