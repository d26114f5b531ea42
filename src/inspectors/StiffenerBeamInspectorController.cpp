// Stiffener beams: plan-only objects, so an edit rebuilds nothing.
#include "inspectors/StiffenerBeamInspectorController.h"

#include <QLineEdit>

#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Records.h"

StiffenerBeamInspectorController::StiffenerBeamInspectorController() : InspectorPane("StiffenerBeamInspector") {
  beamWidthText = addField("Width", "beamWidthText");
  beamDepthText = addField("Depth", "beamDepthText");
}

StiffenerBeamInspectorController* StiffenerBeamInspectorController::sharedInspectorController() {
  static auto* controller = new StiffenerBeamInspectorController;
  return controller;
}

void StiffenerBeamInspectorController::updatePropertiesForObject(Objex* beam, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  if (!beam) {
    SetFloatItem(beamWidthText, ds->beamSetting1);
    SetFloatItem(beamDepthText, ds->beamSetting2);
  } else if (beam->type == kObjFoundationBeam) {
    mergeFloat(beamWidthText, beam->params[3], init);
    mergeFloat(beamDepthText, beam->params[2], init);
  }
}

void StiffenerBeamInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  if (field == beamWidthText)
    editObjectFloat(field, kObjFoundationBeam, 0.01f, 51.0f, [](Objex* o) -> float& { return o->params[3]; },
                    ds->beamSetting1, "Foundation Beam Width", true, nullptr);
  else if (field == beamDepthText)
    editObjectFloat(field, kObjFoundationBeam, 0.01f, 51.0f, [](Objex* o) -> float& { return o->params[2]; },
                    ds->beamSetting2, "Foundation Beam Depth", true, nullptr);
}
