// Plants: the planting age in whole years; a changed age resizes the plant at once.
#include "inspectors/PlantInspectorController.h"

#include <QLineEdit>

#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Plants.h"
#include "model/Records.h"
#include "model/Services.h"

PlantInspectorController::PlantInspectorController() : InspectorPane("PlantInspector") {
  plantAgeText = addField("Age Planted (years)", "plantAgeText");
}

PlantInspectorController* PlantInspectorController::sharedInspectorController() {
  static auto* controller = new PlantInspectorController;
  return controller;
}

void PlantInspectorController::updatePropertiesForObject(Objex* plant, bool init) {
  if (!InspectorDocState() || !plant || plant->type != kObjPlant) return;
  Fill fill(this);
  const int32_t age = plant->fillPattern;
  if (init) {
    SetLongItem(plantAgeText, age);
    prevAgeValue = static_cast<int16_t>(age);
    shownAge_ = age;
  } else if (shownAge_ != age) {
    blankField(plantAgeText);
    shownAge_ = -1;
  }
  rememberShown(plantAgeText);
}

void PlantInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  if (field != plantAgeText || !InspectorDocState() || !InspectorCurLayer()) return;
  int32_t typed = 0;
  // A refused age (an emptied mixed field too) shows the age last shown or accepted.
  if (!readWholeNumber(field, &typed) || !(typed >= 0 && typed <= kMostPlantingAge)) {
    echoWith(field, [&] { SetLongItem(field, prevAgeValue); });
    return;
  }
  const auto age = static_cast<int16_t>(typed);
  bool changed = false;
  ForEachSelectedOfType(kObjPlant, [&](Objex* plant) {
    if (plant->fillPattern == age) return;
    plant->fillPattern = age;
    float width = 0, height = 0;
    GetPlantBounds(plant, &width, &height, 1);
    ReRenderObject(plant);
    changed = true;
  });
  if (changed) StoreInspectorUndo("Age Planted");
  Refresh();
  prevAgeValue = age;
  shownAge_ = age;
  echoWith(field, [&] { SetLongItem(field, age); });
}
