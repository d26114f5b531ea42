// Foundation piers: plan-only objects, so an edit rebuilds nothing.
#include "inspectors/FoundationPierInspectorController.h"

#include <QLineEdit>

#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Records.h"

FoundationPierInspectorController::FoundationPierInspectorController() : InspectorPane("FoundationPierInspector") {
  pierDiameterText = addField("Diameter", "pierDiameterText");
}

FoundationPierInspectorController* FoundationPierInspectorController::sharedInspectorController() {
  static auto* controller = new FoundationPierInspectorController;
  return controller;
}

void FoundationPierInspectorController::updatePropertiesForObject(Objex* pier, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  if (!pier) SetFloatItem(pierDiameterText, ds->pierSetting);
  else if (pier->type == kObjFoundationPier) mergeFloat(pierDiameterText, pier->params[0], init);
}

void FoundationPierInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer() || field != pierDiameterText) return;
  editObjectFloat(field, kObjFoundationPier, 0.01f, 51.0f, [](Objex* o) -> float& { return o->params[0]; },
                  ds->pierSetting, "Foundation Pier Diameter", true, nullptr);
}
