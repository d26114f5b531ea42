// Air ducts: drawn on the plan only, so an edit shows through the redraw.
#include "inspectors/AirDuctInspectorController.h"

#include <QLineEdit>

#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Records.h"

namespace {
float& DuctWidthOf(Objex* o) { return o->params[2]; }
float& DuctDepthOf(Objex* o) { return o->params[3]; }
}  // namespace

AirDuctInspectorController::AirDuctInspectorController() : InspectorPane("AirDuctInspector") {
  ductWidthText = addField("Width", "ductWidthText");
  ductDepthText = addField("Depth", "ductDepthText");
}

AirDuctInspectorController* AirDuctInspectorController::sharedInspectorController() {
  static auto* controller = new AirDuctInspectorController;
  return controller;
}

void AirDuctInspectorController::updatePropertiesForObject(Objex* duct, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  if (!duct) {
    SetFloatItem(ductWidthText, ds->airDuctSetting1);
    SetFloatItem(ductDepthText, ds->airDuctSetting2);
  } else if (duct->type == kObjAirDuct) {
    mergeFloat(ductWidthText, DuctWidthOf(duct), init);
    mergeFloat(ductDepthText, DuctDepthOf(duct), init);
  }
}

void AirDuctInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  if (field == ductWidthText)
    editObjectFloat(field, kObjAirDuct, 0.01f, 10000.0f, DuctWidthOf, ds->airDuctSetting1, "HVAC Duct Width", true,
                    nullptr);
  else if (field == ductDepthText)
    editObjectFloat(field, kObjAirDuct, 0.01f, 10000.0f, DuctDepthOf, ds->airDuctSetting2, "HVAC Duct Depth", true,
                    nullptr);
}
