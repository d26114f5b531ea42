// The pane of the foundation plan's stiffener beams and of the beam tool: width and depth.
#pragma once
#include "inspectors/InspectorPane.h"

class StiffenerBeamInspectorController : public InspectorPane {
 public:
  static StiffenerBeamInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;

  QLineEdit *beamWidthText, *beamDepthText;

 private:
  StiffenerBeamInspectorController();
};
